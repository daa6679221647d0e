// Cursors: the standard shapes, cursors made from bitmaps, and the cursor
// shown now. The layer asks the window under the mouse for its cursor at
// every move (WM_NCHITTEST, then WM_SETCURSOR with the hit code in the low
// word of LParam and the mouse message in the high word); a handler that
// sets one with SetCursor answers 1. The screen keeps the cursors by id
// (Screen->Cursors, Forms.h).
#pragma once

#include "platform/gui/Controls.h"

struct TCursorImage;
using HCURSOR = const TCursorImage*;

// The cursor of a standard id (crArrow, crIBeam, ...); crDefault and ids
// the layer does not know give the arrow. Never freed.
HCURSOR StandardCursor(TCursor Id);
// A cursor of Image's pixels with its hot spot at (HotX, HotY); the pixels
// of a transparent bitmap's transparent colour are see-through. The caller
// frees it with DestroyCursor, unless it hands it to the screen.
HCURSOR CreateCursorFromBitmap(TBitmap* Image, int HotX, int HotY);
// Standard cursors are left alone.
void DestroyCursor(HCURSOR Cursor);
// The cursor over the program's windows now, until the next move asks
// again; answers the one before. Inside a control's members write
// ::SetCursor: TControl has a SetCursor of its own.
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
