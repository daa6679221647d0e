// The HTML import benchmark's peer: setHtml and the first layout of Qt's
// text document, timed together.
#include "QtHtmlPeer.h"

#include <QAbstractTextDocumentLayout>
#include <QString>
#include <QTextDocument>

#include <chrono>

double QtSetHtmlAndLayOut(const std::string& Utf8Html, int Width, int64_t& Characters) {
    const QString html = QString::fromStdString(Utf8Html);
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    auto start = std::chrono::steady_clock::now();
    document.setHtml(html);
    document.setTextWidth(Width);
    document.documentLayout()->documentSize();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    Characters = document.characterCount();
    return ms;
}
