// The table benchmark's peer: the table built through Qt's text document
// API and laid out by its own layout, timed apart from the building.
#include "QtTablePeer.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <chrono>

namespace {

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

class TQtPeer : public TQtTablePeer {
public:
    explicit TQtPeer(const std::vector<std::vector<std::u16string>>& Texts) {
        FDocument.setUndoRedoEnabled(false);
        FDocument.setDocumentMargin(0);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(13);
        font.setKerning(false);
        FDocument.setDefaultFont(font);
        FDocument.setPageSize(QSizeF(0, 0));
        QTextCursor cursor(&FDocument);
        QTextTableFormat format;
        format.setCellPadding(1);
        format.setCellSpacing(2);
        format.setBorder(0);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        int rows = int(Texts.size()), cols = rows ? int(Texts[0].size()) : 0;
        QTextTable* table = cursor.insertTable(rows, cols, format);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                QTextCursor cell = table->cellAt(r, c).firstCursorPosition();
                const std::u16string& text = Texts[std::size_t(r)][std::size_t(c)];
                cell.insertText(QString::fromUtf16(text.data(), qsizetype(text.size())));
            }
        FCells = int64_t(rows) * cols;
    }

    double LayOut(int Width) override {
        double start = NowMs();
        FDocument.setTextWidth(Width);
        FDocument.markContentsDirty(0, FDocument.characterCount());
        FDocument.documentLayout()->documentSize();
        return NowMs() - start;
    }
    int64_t Height() override { return int64_t(FDocument.documentLayout()->documentSize().height()); }
    int64_t Cells() override { return FCells; }

private:
    QTextDocument FDocument;
    int64_t FCells = 0;
};

} // namespace

std::unique_ptr<TQtTablePeer> MakeQtTablePeer(const std::vector<std::vector<std::u16string>>& Texts) {
    if (!QGuiApplication::instance()) {
        static int argc = 1;
        static char name[] = "bench_table";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    return std::make_unique<TQtPeer>(Texts);
}
