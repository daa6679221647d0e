// Qt's text document printing the report units: headings, body runs,
// bulleted lists, a table and a picture per unit, printed to a PDF file.
#include "QtPrintPeer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <chrono>

std::vector<TPrintUnit> MakePrintUnits(int Count) {
    std::vector<TPrintUnit> units;
    std::vector<TReportParagraph> text = MakeReport(Count * 8);
    for (int u = 0; u < Count; ++u) {
        TPrintUnit unit;
        unit.Paragraphs.assign(text.begin() + u * 8, text.begin() + (u + 1) * 8);
        for (int r = 0; r < 5; ++r) {
            std::vector<std::u16string> row;
            for (int c = 0; c < 3; ++c)
                row.push_back(u"scale " + std::u16string(1, char16_t(u'A' + c)) + u" " +
                              std::u16string(1, char16_t(u'0' + r)));
            unit.Table.push_back(row);
        }
        units.push_back(unit);
    }
    return units;
}

double QtPrintToPdf(const std::vector<TPrintUnit>& Units, const std::string& Pdf) {
    QTextDocument doc;
    QFont base("Arial");
    base.setPointSize(10); // points: the printer's pixels are not the screen's
    doc.setDefaultFont(base);
    QTextCursor cursor(&doc);
    bool first = true;
    int number = 0;
    for (const TPrintUnit& unit : Units) {
        // Every unit has a picture of its own, as the engine's document has.
        QString name = "picture" + QString::number(number++);
        QImage picture(unit.PictureWidth, unit.PictureHeight, QImage::Format_RGB32);
        picture.fill(Qt::white);
        doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
        for (const TReportParagraph& para : unit.Paragraphs) {
            QTextBlockFormat block;
            block.setBottomMargin(6);
            if (para.Kind == TReportKind::Heading) block.setTopMargin(12);
            if (!first)
                cursor.insertBlock(block);
            else
                cursor.setBlockFormat(block);
            first = false;
            if (para.Kind == TReportKind::Bullet) {
                QTextListFormat list;
                list.setStyle(QTextListFormat::ListDisc);
                cursor.createList(list);
            }
            for (const TReportRun& run : para.Runs) {
                QTextCharFormat format;
                format.setFont(base);
                if (para.Kind == TReportKind::Heading) {
                    format.setFontPointSize(14);
                    format.setFontWeight(QFont::Bold);
                } else {
                    format.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
                    format.setFontItalic(run.Italic);
                }
                cursor.insertText(QString::fromStdU16String(run.Text), format);
            }
        }
        cursor.insertBlock(QTextBlockFormat());
        QTextTable* table = cursor.insertTable(int(unit.Table.size()), 3);
        for (int r = 0; r < int(unit.Table.size()); ++r)
            for (int c = 0; c < 3; ++c)
                table->cellAt(r, c).firstCursorPosition().insertText(
                    QString::fromStdU16String(unit.Table[std::size_t(r)][std::size_t(c)]));
        cursor.movePosition(QTextCursor::End);
        cursor.insertBlock(QTextBlockFormat());
        QTextImageFormat image;
        image.setName(name);
        image.setWidth(unit.PictureWidth);
        image.setHeight(unit.PictureHeight);
        cursor.insertImage(image);
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    printer.setOutputFileName(QString::fromStdString(Pdf));
    auto start = std::chrono::steady_clock::now();
    doc.print(&printer);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void StartQtPeer(int& Argc, char** Argv) {
    static QGuiApplication app(Argc, Argv);
}
