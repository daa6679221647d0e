// The Qt application of a program with widgets, installed as the canvas's
// application factory before the program starts, speaking Russian.
#include "platform/gui/QtSupport_p.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/rtl/SysUtils.h"

namespace {
void MakeWidgetApplication(int& Argc, char** Argv) {
    auto* app = new QApplication(Argc, Argv);
    // The program speaks Russian whatever the locale, and so do Qt's own
    // standard buttons and dialogs; without the translations they stay
    // English.
    auto* translator = new QTranslator(app);
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), "qt", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
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
