// Theme routines of the library's buttons.
#pragma once

#include "platform/gui/Controls.h"
#include "platform/gui/Themes.h"

TThemeServices* CurrentThemeServices();
// The cursor lies inside Control's client area.
bool IsCursorOverControl(TControl* Control);
// Adds only csNeedsBorderPaint and csParentBackground of Style.
void AddThemeControlStyle(TControl* Control, TControlStyle Style);
// A push-button face, themed when themes are on; answers the rectangle
// inside the face, shrunk by BevelWidth. State precedence: pressed,
// focused (defaulted), hot, normal.
TRect PaintThemedButtonFace(TControl* Control, TCanvas* Canvas, const TRect& Client, int BevelWidth,
                            TButtonStyle Style, bool IsRounded, bool IsDown, bool IsFocused, bool IsHot);
