// Conversions between the canvas's types and Qt Gui's, and the creation of
// the Qt application.
#include "platform/canvas/QtCanvasSupport.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QString>
#include <clocale>
#include <cstdlib>

namespace {
TQtApplicationFactory gFactory = nullptr;
} // namespace

QColor QtColor(TColor Color) {
    TColor rgb = ColorToRGB(Color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQtColor(const QColor& Color) {
    return RGB(Color.red(), Color.green(), Color.blue());
}

QFont QtFont(const TFont* Font) {
    EnsureGuiApplication();
    QFont font(QtString(Font->Name()));
    font.setPixelSize(Font->PixelSize());
    font.setBold(Font->Style() & fsBold);
    font.setItalic(Font->Style() & fsItalic);
    font.setUnderline(Font->Style() & fsUnderline);
    font.setStrikeOut(Font->Style() & fsStrikeOut);
    font.setKerning(false);
    return font;
}

QString QtString(const AnsiString& Text) {
    WideString wide = AnsiToWide(Text);
    return QString::fromUtf16(wide.data(), qsizetype(wide.size()));
}

AnsiString FromQtString(const QString& Text) {
    return WideToAnsi(
        std::u16string_view(reinterpret_cast<const char16_t*>(Text.utf16()), std::size_t(Text.size())));
}

void SetQtApplicationFactory(TQtApplicationFactory Factory) {
    gFactory = Factory;
}

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    // Without a display (a build machine) windows are made offscreen.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt keeps references to both for the application's lifetime.
    static int argc = 1;
    static char name[] = "luvora";
    static char* argv[] = {name, nullptr};
    if (gFactory)
        gFactory(argc, argv);
    else
        new QGuiApplication(argc, argv);
    // The program ends when its main form closes, not with its last window.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Qt takes the user's locale for the C library as well; the program's
    // numbers follow its format settings, and the library's conversions
    // (strtod, printf) stay those of the C locale they are written for.
    std::setlocale(LC_NUMERIC, "C");
}
