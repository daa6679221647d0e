// Sizes the tab strip's layout and its painting share.
#pragma once

namespace TabStrip {
constexpr int StripMargin = 2; // between the control's edge and the first row
constexpr int TextPadding = 6; // each side of a tab's text
constexpr int ImageGap = 3;    // between a tab's image and its text
constexpr int ScrollButtonWidth = 16;
constexpr int ArrowSize = 4; // half the height of a scroll button's arrow
} // namespace TabStrip
