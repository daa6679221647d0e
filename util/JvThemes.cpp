// Theme routines of the library's buttons.
#include "util/JvThemes.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvThemes.cpp", "1", "2026-12-10", "JvLib\\run")

TThemeServices* CurrentThemeServices() {
    return ThemeServices();
}

bool IsCursorOverControl(TControl* Control) {
    if (!Control) return false;
    return PtInRect(Control->ClientRect(), Control->ScreenToClient(Mouse.CursorPos()));
}

void AddThemeControlStyle(TControl* Control, TControlStyle Style) {
    Control->SetControlStyle(Control->ControlStyle() | (Style & (csNeedsBorderPaint | csParentBackground)));
}

TRect PaintThemedButtonFace(TControl* Control, TCanvas* Canvas, const TRect& Client, int BevelWidth,
                            TButtonStyle Style, bool IsRounded, bool IsDown, bool IsFocused, bool IsHot) {
    bool designing = Control && (Control->ComponentState() & csDesigning);
    if (Style == TButtonStyle::bsWin31 || designing || !CurrentThemeServices()->ThemesEnabled())
        return DrawButtonFace(Canvas, Client, BevelWidth, Style, IsRounded, IsDown, IsFocused);
    TThemedButton part = IsDown      ? TThemedButton::tbPushButtonPressed
                         : IsFocused ? TThemedButton::tbPushButtonDefaulted
                         : IsHot     ? TThemedButton::tbPushButtonHot
                                     : TThemedButton::tbPushButtonNormal;
    TRect result = Client;
    CurrentThemeServices()->DrawElement(Canvas, part, result);
    result = CurrentThemeServices()->ContentRect(part, Client);
    if (IsFocused) Canvas->DrawFocusRect(result);
    InflateRect(result, -BevelWidth, -BevelWidth);
    return result;
}
