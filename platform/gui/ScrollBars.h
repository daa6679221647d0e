// The scroll bars every windowed control has, one horizontal and one
// vertical: a range, a page and a position set by the control, shown when
// there is something to scroll. What the user does with a bar reaches the
// control as WM_HSCROLL or WM_VSCROLL with a scroll code. Also the move of a
// window's pixels when its content scrolls.
#pragma once

#include "platform/gui/Controls.h"

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_BOTH = 3;

// Scroll codes: the low word of WM_HSCROLL's and WM_VSCROLL's WParam. The
// high word carries the thumb's position, cut to 16 bits, for
// SB_THUMBPOSITION and SB_THUMBTRACK; GetScrollInfo gives all of it.
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// Which parts of TScrollInfo a call sets or reads. SIF_DISABLENOSCROLL
// keeps a bar that has nothing to scroll on screen, disabled.
constexpr unsigned SIF_RANGE = 0x1;
constexpr unsigned SIF_PAGE = 0x2;
constexpr unsigned SIF_POS = 0x4;
constexpr unsigned SIF_DISABLENOSCROLL = 0x8;
constexpr unsigned SIF_TRACKPOS = 0x10;
constexpr unsigned SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

constexpr unsigned ESB_ENABLE_BOTH = 0;
constexpr unsigned ESB_DISABLE_BOTH = 3;

// The position runs from Min to Max - Page + 1; Page is at most the range.
struct TScrollInfo {
    unsigned Mask = SIF_ALL;
    int Min = 0;
    int Max = 0;
    unsigned Page = 0;
    int Pos = 0;
    // Where the thumb is while the user drags it.
    int TrackPos = 0;
};

// Sets a bar (SB_HORZ or SB_VERT) and answers its position, kept in its
// bounds. A new range or page shows the bar when it has something to
// scroll and hides it otherwise; a bar that comes or goes changes the
// client area, and the control gets WM_SIZE. Works without a window; the
// widget's bars follow once there is one. Redraw is there for the callers:
// the bar on screen always shows the new values.
int SetScrollInfo(TWinControl* Control, int Bar, const TScrollInfo& Info, bool Redraw);
// Fills the parts Info.Mask asks for; false for an unknown bar.
bool GetScrollInfo(const TWinControl* Control, int Bar, TScrollInfo& Info);
// Answers the earlier position.
int SetScrollPos(TWinControl* Control, int Bar, int Pos, bool Redraw);
int GetScrollPos(const TWinControl* Control, int Bar);
// Bar may be SB_BOTH.
bool ShowScrollBar(TWinControl* Control, int Bar, bool Show);
bool EnableScrollBar(TWinControl* Control, int Bar, unsigned Arrows);
bool ScrollBarVisible(const TWinControl* Control, int Bar);
bool ScrollBarEnabled(const TWinControl* Control, int Bar);

// The width of a vertical bar and the height of a horizontal one, the
// same on every desktop.
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
int GetSystemMetrics(int Index);

// Moves the pixels of the client area inside Clip (the whole client area
// when nullptr) by DX and DY and repaints the part uncovered; child
// controls stay where they are. Nothing happens without a window.
void ScrollWindowEx(TWinControl* Control, int DX, int DY, const TRect* Clip);
