// Painting the tree beside a tree view over a minimal item model with the
// same rows and three text columns in a 600 x 400 viewport: the first paint
// after setting the row count, scrolling to the end and painting, and a
// paint of full-row selected rows. Qt stays in this program.
#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTreeView>
#include <memory>

#include "controls/vtree/VirtualStringTree.h"
#include "platform/canvas/Graphics.h"

namespace {

constexpr int ViewWidth = 600, ViewHeight = 400, Columns = 3;

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

struct TQtTestee {
    TMinimalModel Model;
    QTreeView View;
    QImage Target{ViewWidth, ViewHeight, QImage::Format_RGB32};
    TQtTestee() {
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

BENCHMARK_MAIN();
