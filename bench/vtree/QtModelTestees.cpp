// The item models the tree is measured beside: a minimal model over vectors
// (sorting by comparing on demand, or by keys computed once), a sort proxy
// over it, and the standard item model.
#include <QAbstractItemModel>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QString>

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ModelTestees.h"

namespace {

QString QtText(uint32_t Id) {
    char buffer[16];
    size_t length = RowText(Id, buffer);
    return QString::fromLatin1(buffer, qsizetype(length));
}

// What a row keeps: its text as the model's own string, as an 8-bit string,
// or only the number its text is made from (as the model's own string or as
// an 8-bit string).
struct TQtRow {
    QString Text;
    explicit TQtRow(uint32_t Id) : Text(QtText(Id)) {}
    QString ToText() const { return Text; }
    const QString& Key() const { return Text; }
    using TSortKey = QStringView;
    TSortKey SortKey() const { return Text; }
};
struct TAnsiRow {
    std::string Text;
    explicit TAnsiRow(uint32_t Id) {
        char buffer[16];
        Text.assign(buffer, RowText(Id, buffer));
    }
    QString ToText() const { return QString::fromLatin1(Text.data(), qsizetype(Text.size())); }
    const std::string& Key() const { return Text; }
    using TSortKey = std::string_view;
    TSortKey SortKey() const { return Text; }
};
struct TAnsiIdRow {
    uint32_t Id;
    explicit TAnsiIdRow(uint32_t AId) : Id(AId) {}
    std::string Text() const {
        char buffer[16];
        return std::string(buffer, RowText(Id, buffer));
    }
    QString ToText() const {
        char buffer[16];
        return QString::fromLatin1(buffer, qsizetype(RowText(Id, buffer)));
    }
    std::string Key() const { return Text(); }
    using TSortKey = std::string;
    TSortKey SortKey() const { return Text(); }
};
struct TIdRow {
    uint32_t Id;
    explicit TIdRow(uint32_t AId) : Id(AId) {}
    QString ToText() const { return QtText(Id); }
    QString Key() const { return QtText(Id); }
    using TSortKey = QString;
    TSortKey SortKey() const { return QtText(Id); }
};

// A minimal two-level model over vectors. An index of a top row carries 0,
// an index of a child carries its parent's row + 1.
template <class TRow> class TVectorModel : public QAbstractItemModel {
public:
    explicit TVectorModel(bool KeyedSort) : FKeyedSort(KeyedSort) {}

    void Fill(const TShape& Shape) {
        beginResetModel();
        uint32_t id = 0;
        FTop.clear();
        FChildren.clear();
        FTop.reserve(Shape.Parents);
        for (uint32_t p = 0; p < Shape.Parents; ++p)
            FTop.emplace_back(id++);
        if (Shape.Children > 0) {
            FChildren.resize(Shape.Parents);
            for (auto& children : FChildren) {
                children.reserve(Shape.Children);
                for (uint32_t c = 0; c < Shape.Children; ++c)
                    children.emplace_back(id++);
            }
        }
        endResetModel();
    }

    void Empty() {
        beginResetModel();
        FTop.clear();
        FChildren.clear();
        endResetModel();
    }

    QModelIndex index(int Row, int Column, const QModelIndex& Parent = {}) const override {
        if (Column != 0 || Row < 0 || Row >= rowCount(Parent)) return {};
        return createIndex(Row, Column, Parent.isValid() ? quintptr(Parent.row()) + 1 : 0);
    }
    QModelIndex parent(const QModelIndex& Child) const override {
        if (!Child.isValid() || Child.internalId() == 0) return {};
        return createIndex(int(Child.internalId() - 1), 0, quintptr(0));
    }
    int rowCount(const QModelIndex& Parent = {}) const override {
        if (!Parent.isValid()) return int(FTop.size());
        if (Parent.internalId() != 0 || FChildren.empty()) return 0;
        return int(FChildren[size_t(Parent.row())].size());
    }
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override {
        if (!Index.isValid() || Role != Qt::DisplayRole) return {};
        return RowAt(Index).ToText();
    }

    void sort(int Column, Qt::SortOrder = Qt::AscendingOrder) override {
        if (Column != 0) return;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        // No view keeps persistent indexes here; a view would have them remapped.
        std::vector<uint32_t> order = SortedOrder(FTop);
        Permute(FTop, order);
        if (!FChildren.empty()) {
            Permute(FChildren, order);
            for (auto& children : FChildren)
                Permute(children, SortedOrder(children));
        }
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    const TRow& RowAt(const QModelIndex& Index) const {
        if (Index.internalId() == 0) return FTop[size_t(Index.row())];
        return FChildren[Index.internalId() - 1][size_t(Index.row())];
    }

private:
    std::vector<uint32_t> SortedOrder(const std::vector<TRow>& Rows) const {
        std::vector<uint32_t> order(Rows.size());
        std::iota(order.begin(), order.end(), 0u);
        if (FKeyedSort) {
            // Each row's key once, then the keys alone are compared.
            std::vector<std::pair<typename TRow::TSortKey, uint32_t>> keyed;
            keyed.reserve(Rows.size());
            for (uint32_t i = 0; i < Rows.size(); ++i)
                keyed.emplace_back(Rows[i].SortKey(), i);
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (size_t i = 0; i < keyed.size(); ++i)
                order[i] = keyed[i].second;
        } else {
            std::stable_sort(order.begin(), order.end(),
                             [&](uint32_t a, uint32_t b) { return Rows[a].Key() < Rows[b].Key(); });
        }
        return order;
    }

    template <class T> static void Permute(std::vector<T>& Items, const std::vector<uint32_t>& Order) {
        std::vector<T> sorted;
        sorted.reserve(Items.size());
        for (uint32_t i : Order)
            sorted.push_back(std::move(Items[i]));
        Items = std::move(sorted);
    }

    bool FKeyedSort;
    std::vector<TRow> FTop;
    std::vector<std::vector<TRow>> FChildren;
};

// Walks every row of Model through index() and data().
uint64_t WalkModel(const QAbstractItemModel& Model) {
    uint64_t sum = 0;
    int top = Model.rowCount();
    for (int r = 0; r < top; ++r) {
        QModelIndex parent = Model.index(r, 0);
        sum += uint64_t(Model.data(parent).toString().size());
        int children = Model.rowCount(parent);
        for (int c = 0; c < children; ++c)
            sum += uint64_t(Model.data(Model.index(c, 0, parent)).toString().size()) + 1;
    }
    return sum;
}

std::string VerifyModel(const QAbstractItemModel& Model, const TShape& Shape) {
    if (uint32_t(Model.rowCount()) != Shape.Parents) return "top row count";
    auto ordered = [&](const QModelIndex& Parent, uint32_t Expected) -> std::string {
        int rows = Model.rowCount(Parent);
        if (uint32_t(rows) != Expected) return "child row count";
        QString previous;
        for (int r = 0; r < rows; ++r) {
            QString text = Model.data(Model.index(r, 0, Parent)).toString();
            if (r > 0 && text < previous) return "rows out of order";
            previous = text;
        }
        return "";
    };
    std::string fault = ordered({}, Shape.Parents);
    for (uint32_t p = 0; fault.empty() && Shape.Children > 0 && p < Shape.Parents; ++p)
        fault = ordered(Model.index(int(p), 0), Shape.Children);
    return fault;
}

template <class TRow> class TVectorTestee : public ITestee {
public:
    explicit TVectorTestee(bool Keyed) : FModel(Keyed) {}
    void Create(const TShape& Shape) override { FModel.Fill(Shape); }
    uint64_t Walk() override { return WalkModel(FModel); }
    void Sort() override { FModel.sort(0); }
    void Clear() override { FModel.Empty(); }
    std::string Verify(const TShape& Shape) override { return VerifyModel(FModel, Shape); }

private:
    TVectorModel<TRow> FModel;
};

template <class TRow> class TProxyTestee : public ITestee {
public:
    TProxyTestee() : FSource(false) { FProxy.setSourceModel(&FSource); }
    void Create(const TShape& Shape) override { FSource.Fill(Shape); }
    uint64_t Walk() override { return WalkModel(FProxy); }
    void Sort() override {
        FProxy.sort(0);
        // The proxy orders a sibling list when it first maps it; every list
        // is mapped here, so the sort is complete when this returns.
        int top = FProxy.rowCount();
        for (int r = 0; r < top; ++r)
            FProxy.rowCount(FProxy.index(r, 0));
    }
    void Clear() override {
        FSource.Empty();
        // Back to the source's order, so that the next fill is not sorted as it comes.
        FProxy.sort(-1);
    }
    std::string Verify(const TShape& Shape) override { return VerifyModel(FProxy, Shape); }

private:
    TVectorModel<TRow> FSource;
    QSortFilterProxyModel FProxy;
};

class TStandardTestee : public ITestee {
public:
    void Create(const TShape& Shape) override {
        uint32_t id = 0;
        QList<QStandardItem*> top;
        top.reserve(Shape.Parents);
        for (uint32_t p = 0; p < Shape.Parents; ++p)
            top.append(new QStandardItem(QtText(id++)));
        for (QStandardItem* parent : top) {
            if (Shape.Children == 0) break;
            QList<QStandardItem*> children;
            children.reserve(Shape.Children);
            for (uint32_t c = 0; c < Shape.Children; ++c)
                children.append(new QStandardItem(QtText(id++)));
            parent->appendRows(children);
        }
        FModel.invisibleRootItem()->appendRows(top);
    }
    uint64_t Walk() override { return WalkModel(FModel); }
    void Sort() override { FModel.sort(0); }
    void Clear() override { FModel.clear(); }
    std::string Verify(const TShape& Shape) override { return VerifyModel(FModel, Shape); }

private:
    QStandardItemModel FModel;
};

} // namespace

std::unique_ptr<ITestee> MakeModelTestee(const std::string& Name, TTextKind Kind) {
    bool stored = Kind == TTextKind::Stored;
    if (Name == "custom")
        return stored ? std::unique_ptr<ITestee>(std::make_unique<TVectorTestee<TQtRow>>(false))
                      : std::make_unique<TVectorTestee<TIdRow>>(false);
    if (Name == "keyed")
        return stored ? std::unique_ptr<ITestee>(std::make_unique<TVectorTestee<TQtRow>>(true))
                      : std::make_unique<TVectorTestee<TIdRow>>(true);
    if (Name == "proxy")
        return stored ? std::unique_ptr<ITestee>(std::make_unique<TProxyTestee<TQtRow>>())
                      : std::make_unique<TProxyTestee<TIdRow>>();
    if (Name == "standard" && stored) return std::make_unique<TStandardTestee>();
    if (Name == "custom8")
        return stored ? std::unique_ptr<ITestee>(std::make_unique<TVectorTestee<TAnsiRow>>(false))
                      : std::make_unique<TVectorTestee<TAnsiIdRow>>(false);
    return nullptr;
}
