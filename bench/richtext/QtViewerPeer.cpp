// A read-only Qt text edit timed like the viewer: shown with the text,
// scrolled to the end, resized, each step painted before the clock stops.
#include "QtViewerPeer.h"

#include <QApplication>
#include <QFont>
#include <QScrollBar>
#include <QTextEdit>
#include <chrono>

namespace {

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

class TPeer : public TQtViewerPeer {
public:
    TPeer(int Width, int Height) : FWidth(Width), FHeight(Height) {}
    double OpenAndPaint(const std::u16string& Text) override {
        const double start = NowMs();
        FEdit = std::make_unique<QTextEdit>();
        FEdit->setReadOnly(true);
        FEdit->setFont(QFont("Arial", 10));
        FEdit->resize(FWidth, FHeight);
        FEdit->setPlainText(QString::fromUtf16(Text.data(), qsizetype(Text.size())));
        FEdit->show();
        FEdit->viewport()->repaint();
        QApplication::processEvents();
        return NowMs() - start;
    }
    double ScrollToEndAndPaint() override {
        const double start = NowMs();
        QScrollBar* bar = FEdit->verticalScrollBar();
        bar->setValue(bar->maximum());
        FEdit->viewport()->repaint();
        QApplication::processEvents();
        return NowMs() - start;
    }
    double ResizeAndPaint(int Width, int Height) override {
        const double start = NowMs();
        FEdit->resize(Width, Height);
        QApplication::processEvents();
        FEdit->viewport()->repaint();
        QApplication::processEvents();
        return NowMs() - start;
    }
    void Close() override { FEdit.reset(); }

private:
    int FWidth, FHeight;
    std::unique_ptr<QTextEdit> FEdit;
};

} // namespace

std::unique_ptr<TQtViewerPeer> MakeQtViewerPeer(int Width, int Height) {
    return std::make_unique<TPeer>(Width, Height);
}
