// Form utilities: a form's window placement written to and read from an
// application storage, the greyed picture of a disabled glyph, and the
// extra drag cursors.
#pragma once

#include <memory>

#include "platform/gui/Forms.h"
#include "util/JvAppStorage.h"

enum TPlacementOption : unsigned { fpState = 1, fpSize = 2, fpLocation = 4, fpActiveControl = 8 };
using TPlacementOptions = unsigned;

// "(<width>x<height>)" of the primary screen.
AnsiString ScreenSizeSuffix();
// Text under Path + the suffix, then under Path.
void WriteScreenKeyedText(TJvCustomAppStorage* Storage, const AnsiString& Path, const AnsiString& Text);
// The text of this screen size when there is one, else the plain one.
AnsiString ReadScreenKeyedText(TJvCustomAppStorage* Storage, const AnsiString& Path);
// The program's main window is minimised.
bool IsApplicationIconic();

// The values "ShowCmd", "Flags", "PixelsPerInch", "MinMaxPos" and "NormPos"
// in the folder StorePath.
void WriteWindowPlacement(TCustomForm* Form, TJvCustomAppStorage* Storage, const AnsiString& StorePath,
                          TPlacementOptions Options);
// Applies them. A normal rectangle is applied only when it has a size, lies
// on a screen there is now and keeps the form's size limits; otherwise the
// form keeps the place it has.
void ReadWindowPlacement(TCustomForm* Form, TJvCustomAppStorage* Storage, const AnsiString& StorePath,
                         TPlacementOptions Options);
// Whether a window's normal rectangle can be shown as it is now: a size
// within the form's limits, its top edge on a screen and enough of it there
// to take hold of.
bool PlacementRectUsable(TCustomForm* Form, const TRect& R);

// BackColor where Glyph's pixels differ from OutlineColor; those pixels in
// ShadowColor, with a HighlightColor copy one pixel right and down.
std::unique_ptr<TBitmap> BuildDisabledBitmapEx(TBitmap* Glyph, TColor OutlineColor, TColor BackColor,
                                               TColor HighlightColor, TColor ShadowColor, bool DrawHighlight);
std::unique_ptr<TBitmap> BuildDisabledBitmap(TBitmap* Glyph, TColor OutlineColor);

// The drag cursors the unit registers with the screen at start-up.
constexpr TCursor crDragCursorFirst = 100;
constexpr TCursor crDragCursorLast = 103;
