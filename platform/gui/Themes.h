// Theme services: push buttons and edit boxes drawn by the desktop's
// style, and the classic button face for when themes are off.
#pragma once

#include "platform/canvas/Graphics.h"

enum class TThemedButton {
    tbPushButtonNormal,
    tbPushButtonHot,
    tbPushButtonPressed,
    tbPushButtonDefaulted,
    tbPushButtonDisabled
};

// The box of an edit control.
enum class TThemedEdit { teEditTextNormal, teEditTextFocused, teEditTextDisabled };

class TThemeServices {
public:
    bool ThemesEnabled() const { return FEnabled; }
    // Tests switch themes off to get the classic look.
    void SetThemesEnabled(bool Value) { FEnabled = Value; }
    // Draws the element into R on Canvas (through a bitmap, so that any
    // canvas takes it).
    void DrawElement(TCanvas* Canvas, TThemedButton Element, const TRect& R) const;
    // An edit box: its frame on the window colour (the button face while
    // disabled), as the style draws the box of a line edit.
    void DrawElement(TCanvas* Canvas, TThemedEdit Element, const TRect& R) const;
    // The part of R inside the element's frame.
    TRect ContentRect(TThemedButton Element, const TRect& R) const;

private:
    bool FEnabled = true;
};
TThemeServices* ThemeServices();

enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// The classic raised (or pressed) face; answers the rectangle inside it.
TRect DrawButtonFace(TCanvas* Canvas, const TRect& Client, int BevelWidth, TButtonStyle Style, bool IsRounded,
                     bool IsDown, bool IsFocused);
