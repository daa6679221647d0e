#include "platform/gui/QtSupport.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QString>
#include <cstdlib>

QColor QtColor(TColor Color) {
    TColor rgb = ColorToRGB(Color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQtColor(const QColor& Color) {
    return RGB(Color.red(), Color.green(), Color.blue());
}

QFont QtFont(const TFont* Font) {
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

void EnsureQtApplication() {
    if (QCoreApplication::instance()) return;
    // Without a display (a build machine) windows are made offscreen.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "luvora";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    // The program ends when its main form closes, not with its last window.
    app->setQuitOnLastWindowClosed(false);
}
