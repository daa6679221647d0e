// Waiting for a shown window to be exposed on the screen.
#include "platform/testing/ShownWindows.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWidget>
#include <QWindow>

bool WaitUntilExposed(TWinControl* Control, int TimeoutMs) {
    QWidget* widget = Control->Widget();
    const QDeadlineTimer deadline(TimeoutMs);
    auto exposed = [widget] { return widget->windowHandle() && widget->windowHandle()->isExposed(); };
    while (!exposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    return exposed();
}
