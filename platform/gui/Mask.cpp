// The platform's beep.
#include "platform/gui/Mask.h"

#include <QApplication>

#include "platform/gui/QtSupport_p.h"

namespace {
int gBeeps = 0;
} // namespace

void Beep() {
    ++gBeeps;
    EnsureQtApplication();
    QApplication::beep();
}

int BeepCount() {
    return gBeeps;
}
