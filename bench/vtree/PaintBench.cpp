// Painting the tree beside a tree view over a minimal item model with the
// same rows and three text columns in a 600 x 400 viewport: the first paint
// after setting the row count, scrolling to the end and painting, a paint of
// full-row selected rows, and the paints at the end of the rows after sorting
// them. Qt stays in this program.
#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "controls/vtree/VirtualStringTree.h"
#include "platform/canvas/Graphics.h"

namespace {

constexpr int ViewWidth = 600, ViewHeight = 400, Columns = 3;
// Sort keys scattered over [0, KeyModulus) by a multiplicative hash of the
// row, all different below a million rows (the modulus is prime).
constexpr uint32_t KeyMultiplier = 2654435761u;
constexpr uint32_t KeyModulus = 1000003u;
// Sorts measured, each followed by the paints after it.
constexpr int SortRounds = 5;
constexpr int PaintsPerSort = 3;

uint32_t RowKey(uint32_t Row) {
    return uint32_t(uint64_t(Row) * KeyMultiplier % KeyModulus);
}

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    size_t n = Values.size();
    return n == 0 ? 0 : n % 2 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
}

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? static_cast<QApplication*>(QApplication::instance())
                                                        : new QApplication(argc, argv);
    return *app;
}

// ---- The tree ----------------------------------------------------------------------------

class TBenchView : public IVTView {
public:
    bool HandleAllocated() const override { return true; }
    int ClientWidth() const override { return ViewWidth; }
    int ClientHeight() const override { return ViewHeight; }
    bool Focused() const override { return true; }
};

struct TTreeTestee {
    TBenchView View;
    TVirtualStringTree Tree{nullptr};
    TBitmap Target{ViewWidth, ViewHeight};
    TTreeTestee() {
        Tree.SetView(&View);
        for (int i = 0; i < Columns; ++i)
            Tree.Header()->Columns()->Add()->SetWidth(ViewWidth / Columns);
        Tree.TreeOptions()->SetPaintOptions(Tree.TreeOptions()->PaintOptions() - TVTPaintOptions{toShowRoot});
        Tree.OnGetText = [](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex Column, TVSTTextType,
                            WideString& Text) {
            Text = u"Cell " + AnsiToWide(std::to_string(Node->Index)) + u"," + char16_t(u'0' + Column);
        };
    }
    void Paint() {
        const int top = int(-Tree.OffsetY());
        Tree.PaintTree(Target.Canvas(), TRect{0, top, ViewWidth, top + ViewHeight}, {0, 0},
                       WindowPaintOptions);
        benchmark::DoNotOptimize(Target.ScanLine(0));
    }
};

// The tree whose rows keep a sort key and show it.
struct TSortedTreeTestee : TTreeTestee {
    TSortedTreeTestee() {
        Tree.SetNodeDataSize(int(sizeof(uint32_t)));
        Tree.OnInitNode = [](TBaseVirtualTree* T, PVirtualNode, PVirtualNode Node, TVirtualNodeInitStates&) {
            *T->GetNodeData<uint32_t>(Node) = RowKey(Node->Index);
        };
        Tree.OnCompareNodes = [](TBaseVirtualTree* T, PVirtualNode A, PVirtualNode B, TColumnIndex,
                                 int& Result) {
            uint32_t a = *T->GetNodeData<uint32_t>(A), b = *T->GetNodeData<uint32_t>(B);
            Result = (a > b) - (a < b);
        };
        Tree.OnGetText = [](TBaseVirtualTree* T, PVirtualNode Node, TColumnIndex Column, TVSTTextType,
                            WideString& Text) {
            Text = u"Cell " + AnsiToWide(std::to_string(*T->GetNodeData<uint32_t>(Node))) + u"," +
                   char16_t(u'0' + Column);
        };
    }
    void ScrollToEnd() { Tree.SetOffsetY(-(Tree.RangeY() - ViewHeight)); }
    // The key of the last row when it is at the bottom of the viewport.
    uint32_t BottomKey() {
        PVirtualNode node = Tree.GetNodeAt(0, ViewHeight - 1);
        return node && node == Tree.GetLastVisibleNoInit() ? *Tree.GetNodeData<uint32_t>(node) : UINT32_MAX;
    }
};

void TreeFirstPaint(benchmark::State& State) {
    TTreeTestee t;
    for (auto _ : State) {
        t.Tree.SetRootNodeCount(0);
        t.Tree.SetRootNodeCount(uint32_t(State.range(0)));
        t.Paint();
    }
}

void TreeScrollToEnd(benchmark::State& State) {
    TTreeTestee t;
    t.Tree.SetRootNodeCount(uint32_t(State.range(0)));
    t.Paint();
    for (auto _ : State) {
        t.Tree.SetOffsetY(0);
        t.Tree.SetOffsetY(-(t.Tree.RangeY() - ViewHeight));
        t.Paint();
    }
}

void TreeSelectedRows(benchmark::State& State) {
    TTreeTestee t;
    t.Tree.TreeOptions()->SetSelectionOptions({toFullRowSelect, toMultiSelect});
    t.Tree.SetRootNodeCount(uint32_t(State.range(0)));
    int i = 0;
    for (PVirtualNode n = t.Tree.GetFirst(); n && i < 30; n = t.Tree.GetNext(n), ++i)
        if (i % 2 == 0) t.Tree.SetSelected(n, true);
    for (auto _ : State)
        t.Paint();
}

// ---- The tree view -----------------------------------------------------------------------

class TMinimalModel : public QAbstractItemModel {
public:
    int Rows = 0;
    void SetRows(int Value) {
        beginResetModel();
        Rows = Value;
        endResetModel();
    }
    QModelIndex index(int Row, int Column, const QModelIndex& Parent) const override {
        return Parent.isValid() ? QModelIndex() : createIndex(Row, Column);
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : Rows; }
    int columnCount(const QModelIndex&) const override { return Columns; }
    QVariant data(const QModelIndex& Index, int Role) const override {
        if (Role != Qt::DisplayRole) return {};
        return QStringLiteral("Cell %1,%2").arg(Index.row()).arg(Index.column());
    }
};

// The minimal model with a sort key per row, sorted in place.
class TSortedModel : public TMinimalModel {
public:
    std::vector<uint32_t> Keys;
    void SetRows(int Value) {
        beginResetModel();
        Rows = Value;
        Keys.resize(size_t(Value));
        for (uint32_t r = 0; r < Keys.size(); ++r)
            Keys[r] = RowKey(r);
        endResetModel();
    }
    QVariant data(const QModelIndex& Index, int Role) const override {
        if (Role != Qt::DisplayRole) return {};
        return QStringLiteral("Cell %1,%2").arg(Keys[size_t(Index.row())]).arg(Index.column());
    }
    void sort(int Column, Qt::SortOrder Order) override {
        if (Column != 0) return;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        // No persistent indexes are kept here; a view's current index would be remapped.
        if (Order == Qt::AscendingOrder)
            std::stable_sort(Keys.begin(), Keys.end());
        else
            std::stable_sort(Keys.begin(), Keys.end(), std::greater<>());
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
};

template <class TModel> struct TQtTesteeOf {
    TModel Model;
    QTreeView View;
    QImage Target{ViewWidth, ViewHeight, QImage::Format_RGB32};
    TQtTesteeOf() {
        App();
        View.setModel(&Model);
        View.setUniformRowHeights(true);
        View.setRootIsDecorated(false);
        View.header()->hide();
        View.setFrameShape(QFrame::NoFrame);
        View.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        View.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        View.resize(ViewWidth, ViewHeight);
        for (int i = 0; i < Columns; ++i)
            View.setColumnWidth(i, ViewWidth / Columns);
        View.setAttribute(Qt::WA_DontShowOnScreen);
        View.show();
    }
    void Paint() {
        QPainter painter(&Target);
        View.viewport()->render(&painter);
    }
};

using TQtTestee = TQtTesteeOf<TMinimalModel>;

void QtFirstPaint(benchmark::State& State) {
    TQtTestee t;
    for (auto _ : State) {
        t.Model.SetRows(0);
        t.Model.SetRows(int(State.range(0)));
        t.Paint();
    }
}

void QtScrollToEnd(benchmark::State& State) {
    TQtTestee t;
    t.Model.SetRows(int(State.range(0)));
    t.Paint();
    for (auto _ : State) {
        t.View.scrollToTop();
        t.View.scrollToBottom();
        t.Paint();
    }
}

void QtSelectedRows(benchmark::State& State) {
    TQtTestee t;
    t.View.setSelectionBehavior(QAbstractItemView::SelectRows);
    t.View.setSelectionMode(QAbstractItemView::MultiSelection);
    t.Model.SetRows(int(State.range(0)));
    for (int i = 0; i < 30 && i < t.Model.Rows; i += 2)
        t.View.selectionModel()->select(t.Model.index(i, 0, {}),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    t.View.setFocus();
    for (auto _ : State)
        t.Paint();
}

// ---- Both, after sorting -------------------------------------------------------------------

// Both scrolled to the end of the rows, then sorted by turns ascending and
// descending; each sort is followed by three paints, timed one by one. Both
// must show the same row at the bottom. The iteration time is the tree's
// first paint; the counters are medians in ms and the ratios tree / tree view.
void PaintsAfterSort(benchmark::State& State) {
    const auto rows = int(State.range(0));
    TSortedTreeTestee tree;
    TQtTesteeOf<TSortedModel> qt;
    tree.Tree.SetRootNodeCount(uint32_t(rows));
    qt.Model.SetRows(rows);
    tree.ScrollToEnd();
    qt.View.scrollToBottom();
    tree.Paint();
    qt.Paint();
    std::vector<double> treeTimes[PaintsPerSort], qtTimes[PaintsPerSort];
    bool ascending = true;
    for (auto _ : State) {
        tree.Tree.SortTree(0, ascending ? sdAscending : sdDescending, true);
        qt.Model.sort(0, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
        for (int p = 0; p < PaintsPerSort; ++p) {
            double start = NowMs();
            tree.Paint();
            treeTimes[p].push_back(NowMs() - start);
            start = NowMs();
            qt.Paint();
            qtTimes[p].push_back(NowMs() - start);
        }
        State.SetIterationTime(treeTimes[0].back() / 1000);
        // Both show the last row in full, and it is the same row.
        const QRect last = qt.View.visualRect(qt.Model.index(rows - 1, 0, {}));
        if (last.top() < 0 || last.bottom() >= ViewHeight || tree.BottomKey() != qt.Model.Keys.back()) {
            State.SkipWithError("the tree and the tree view end in different rows");
            break;
        }
    }
    static const char* const names[PaintsPerSort] = {"first", "second", "third"};
    for (int p = 0; p < PaintsPerSort; ++p) {
        double t = Median(treeTimes[p]), q = Median(qtTimes[p]);
        State.counters[std::string("tree_") + names[p] + "_ms"] = t;
        State.counters[std::string("qt_") + names[p] + "_ms"] = q;
        State.counters[std::string("ratio_") + names[p]] = q > 0 ? t / q : 0;
    }
}

void Sizes(benchmark::internal::Benchmark* B) {
    for (int64_t n : {1000, 10000, 100000, 1000000})
        B->Arg(n);
    B->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(TreeFirstPaint)->Apply(Sizes);
BENCHMARK(QtFirstPaint)->Apply(Sizes);
BENCHMARK(TreeScrollToEnd)->Apply(Sizes);
BENCHMARK(QtScrollToEnd)->Apply(Sizes);
BENCHMARK(TreeSelectedRows)->Apply(Sizes);
BENCHMARK(QtSelectedRows)->Apply(Sizes);
BENCHMARK(PaintsAfterSort)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(SortRounds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
