// The Qt application of a program with widgets, installed as the canvas's
// application factory before the program starts.
#include "platform/gui/QtSupport_p.h"

#include <QApplication>

#include "platform/rtl/SysUtils.h"

namespace {
void MakeWidgetApplication(int& Argc, char** Argv) {
    new QApplication(Argc, Argv);
}

// Before main: the canvas may create the application first (measuring text)
// and must then create one that widgets can live in.
[[maybe_unused]] const bool gFactoryInstalled = (SetQtApplicationFactory(&MakeWidgetApplication), true);
} // namespace

void EnsureQtApplication() {
    EnsureGuiApplication();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw Exception("The Qt application was created without widget support");
}
