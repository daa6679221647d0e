// What the layout's sources share: the state of one formatting run and the
// small helpers of line building.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/layout/RVFontCache.h"

// The state of one formatting run (a whole document or a partial range),
// handed to every step of line building and finishing.
struct TRVLineFormatState {
    // x inside the current line, from its left edge.
    int X = 0;
    // In a line: its baseline; between lines: the bottom of the last one
    // without its LineDescent.
    int BaselineY = 0;
    int LineDescent = 0;
    int LineAscent = 0;
    // The item being placed begins a line by itself (not by wrapping).
    bool StartsNewLine = true;
    int LineWidth = -1;
    int LineLeft = 0;
    // Where the next drawing item goes into DrawItems, and the first
    // drawing item of the current line.
    int DrawItemIndex = 0;
    int LineStart = 0;
    // Baseline shift of the current text style.
    int VerticalOffset = 0;
    int ParaLeftIndent = 0;
    int ParaRightIndent = 0;
    int CurTextStyle = -1;
    int FirstParaItem = -1;
    int CharsOnLine = 0;
    int MaxLength = 0;
    bool ItemFlagA = false;
    bool ItemFlagB = false;
    bool IsFirstLine = true;
    bool HasLineAlignedItems = false;
    // A right (1) or centre (2) tab waiting for the text after it.
    int PendingTab = -1;
    int PendingTabAlign = 0;
    int PendingTabPos = 0;
    // One space after the current piece is skipped (a wrap point).
    bool SkipSpace = false;
    bool WordWrap = true;
    // The height the last finished line adds below itself, taken by the
    // next line.
    int FinishedLineExtra = 0;
    // The line's left edge before the current line's indent (scaled margin).
    int LeftMargin = 0;
    // The external leading the text of the current style adds (flag bit 3).
    int Lead = 0;
    TRVFontInfoCache* FontCache = nullptr;
    TRVFontInfoCacheItem* StyleInfo = nullptr;
    TCanvas* Canvas = nullptr;
    TRVScreenDeviceResolution Resolution;
    uint16_t Flags = 0;
    TRVStyle* Style = nullptr;
    // Hyperlink areas made by the run (a partial run merges them in after).
    std::vector<std::unique_ptr<TRVJumpInfo>>* JumpTarget = nullptr;
    int JumpCount = 0;
    // The current text item: its display text (one unit per character) and
    // the running sum of its characters' advances.
    int TextItemNo = -1;
    WideString Display;
    WideString Raw;
    std::vector<int> Advances;
    std::vector<int> Prefix;
};

namespace rvlayout {

inline constexpr char16_t SoftHyphen = 0x00AD;

// A length from a style in device pixels: computed in 64 bits and kept
// within 32.
inline int SaturatedInt(int64_t Value) {
    return int(std::clamp<int64_t>(Value, INT32_MIN / 2, INT32_MAX / 2));
}
// Length * Mul / Div rounded half away from zero, as MulDiv, in 64 bits.
inline int64_t MulDiv64(int64_t Length, int64_t Mul, int64_t Div) {
    if (Div <= 0 || Mul == Div) return Length;
    int64_t p = Length * Mul;
    return p >= 0 ? (2 * p + Div) / (2 * Div) : -((-2 * p + Div) / (2 * Div));
}
// A length that comes from a style (an indent, a spacing, a shift), kept
// within a million pixels: sums of many of them still fit a coordinate.
inline constexpr int64_t MaxStyleLength = 1 << 20;
inline int StyleLength(int64_t Value) {
    return int(std::clamp<int64_t>(Value, -MaxStyleLength, MaxStyleLength));
}
inline int ScaleX(int64_t Length, const TRVScreenDeviceResolution& R) {
    return StyleLength(MulDiv64(StyleLength(Length), R.DevicePpiX, R.ScreenPpiX));
}
inline int ScaleY(int64_t Length, const TRVScreenDeviceResolution& R) {
    return StyleLength(MulDiv64(StyleLength(Length), R.DevicePpiY, R.ScreenPpiY));
}

// Width of characters [From, From + Count) of the current text item.
inline int PieceWidth(const TRVLineFormatState& State, int From, int Count) {
    return State.Prefix[std::size_t(From + Count)] - State.Prefix[std::size_t(From)];
}

inline bool IsHighSurrogate(char16_t C) {
    return C >= 0xD800 && C <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t C) {
    return C >= 0xDC00 && C <= 0xDFFF;
}

} // namespace rvlayout
