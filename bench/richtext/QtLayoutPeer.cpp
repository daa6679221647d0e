// The layout benchmark's peer: the report built through Qt's text document
// API and laid out by its own layout, timed apart from the building.
#include "QtLayoutPeer.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

#include <chrono>

namespace {

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

QFont ReportFont(int PixelSize, bool Bold, bool Italic) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(PixelSize);
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setKerning(false);
    return font;
}

class TQtPeer : public TQtLayoutPeer {
public:
    explicit TQtPeer(const std::vector<TReportParagraph>& Report) {
        FDocument.setUndoRedoEnabled(false);
        FDocument.setDocumentMargin(0);
        FDocument.setIndentWidth(24);
        FDocument.setDefaultFont(ReportFont(13, false, false));
        // No page size: the building lays nothing out.
        FDocument.setPageSize(QSizeF(0, 0));
        QTextCursor cursor(&FDocument);
        QTextBlockFormat body, heading;
        body.setBottomMargin(6);
        heading.setTopMargin(12);
        heading.setBottomMargin(6);
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bool first = true;
        for (const TReportParagraph& para : Report) {
            const QTextBlockFormat& format = para.Kind == TReportKind::Heading ? heading : body;
            if (first)
                cursor.setBlockFormat(format);
            else
                cursor.insertBlock(format);
            first = false;
            if (para.Kind == TReportKind::Bullet) cursor.createList(bullets);
            for (const TReportRun& run : para.Runs) {
                QTextCharFormat chars;
                bool headingRun = para.Kind == TReportKind::Heading;
                chars.setFont(ReportFont(headingRun ? 19 : 13, run.Bold || headingRun, run.Italic));
                cursor.insertText(QString::fromUtf16(run.Text.data(), qsizetype(run.Text.size())), chars);
            }
        }
    }

    double LayOut(int Width) override {
        double start = NowMs();
        FDocument.setTextWidth(Width);
        FDocument.documentLayout()->documentSize();
        return NowMs() - start;
    }

    double TypeCharacter(int Paragraph) override {
        QTextBlock block = FDocument.findBlockByNumber(Paragraph);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, block.length() / 2);
        double start = NowMs();
        cursor.insertText(QStringLiteral("x"));
        FDocument.documentLayout()->documentSize();
        return NowMs() - start;
    }

    int64_t Lines() override {
        int64_t lines = 0;
        for (QTextBlock b = FDocument.begin(); b.isValid(); b = b.next())
            lines += b.layout()->lineCount();
        return lines;
    }
    int64_t Height() override { return int64_t(FDocument.documentLayout()->documentSize().height()); }
    int64_t Characters() override { return FDocument.characterCount() - FDocument.blockCount(); }

    double PaintViewport(int Top, int Width, int Height) override {
        if (FImage.width() != Width || FImage.height() != Height)
            FImage = QImage(Width, Height, QImage::Format_ARGB32_Premultiplied);
        double start = NowMs();
        FImage.fill(Qt::white);
        QPainter painter(&FImage);
        painter.translate(0, -Top);
        FDocument.drawContents(&painter, QRectF(0, Top, Width, Height));
        painter.end();
        return NowMs() - start;
    }

private:
    QTextDocument FDocument;
    QImage FImage;
};

} // namespace

std::unique_ptr<TQtLayoutPeer> MakeQtLayoutPeer(const std::vector<TReportParagraph>& Report) {
    if (!QGuiApplication::instance()) {
        static int argc = 1;
        static char name[] = "bench_richtext_layout";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    return std::make_unique<TQtPeer>(Report);
}
