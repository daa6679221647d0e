// The report in a read-only QTextEdit: the HTML parsed by QTextDocument,
// laid out and painted.
#include "QtReportPeer.h"

#include <QApplication>
#include <QTest>
#include <QTextEdit>

namespace {
class TPeer : public TQtReportPeer {
public:
    TPeer(int Width, int Height) {
        FEdit.setReadOnly(true);
        FEdit.resize(Width, Height);
    }
    void Show(const std::string& Html) override {
        FEdit.setHtml(QString::fromStdString(Html));
        if (!FEdit.isVisible()) {
            FEdit.show();
            (void)QTest::qWaitForWindowExposed(&FEdit);
        }
        FEdit.viewport()->repaint();
    }
    void Close() override { FEdit.hide(); }

private:
    QTextEdit FEdit;
};
} // namespace

std::unique_ptr<TQtReportPeer> MakeQtReportPeer(int Width, int Height) {
    return std::make_unique<TPeer>(Width, Height);
}
