// The members of items that lay them out for formatting and ask the
// document holding them for its style sheet and flags: tabs, labels, note
// references and list markers measured on the formatting canvas.
#include <algorithm>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVTextItems.h"

namespace {

// Flag bit 10 of a document: text styles may use a resolution of their own.
constexpr uint16_t FlagResolutionOverride = 0x400;

bool UsesResolutionOverride(const TCustomRVData* RVData) {
    return RVData && (RVData->GetFlags() & FlagResolutionOverride);
}

TRVStyle* StyleOf(const TCustomRVData* RVData) {
    return RVData ? RVData->GetRVStyle() : nullptr;
}

} // namespace

// ---------------------------------------------------------------- tab

void TRVTabItemInfo::AdjustToDocWidth(int, TRVDrawLineInfo& DrawItem, bool, bool, TCanvas& Canvas,
                                      TCustomRVData* RVData, const TRVScreenDeviceResolution*, bool,
                                      int& Descent, int& HShift) {
    HShift = 0;
    Descent = 1;
    TRVStyle* style = StyleOf(RVData);
    if (!style) return;
    style->ApplyStyle(Canvas, GetActualTextStyleNo(style), rvbdUnspecified, UsesResolutionOverride(RVData),
                      nullptr, false);
    TTextMetric tm = Canvas.TextMetrics();
    Descent = tm.tmDescent;
    DrawItem.Height = tm.tmHeight;
    DrawItem.Width = 0;
}

// ---------------------------------------------------------------- label

void TRVLabelItemInfo::AdjustToDocWidth(int, TRVDrawLineInfo& DrawItem, bool, bool, TCanvas& Canvas,
                                        TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                                        bool, int& Descent, int& HShift) {
    HShift = 0;
    Descent = 1;
    TRVStyle* style = StyleOf(RVData);
    if (!style) return;
    style->ApplyStyle(Canvas, TextStyleNo, rvbdUnspecified, UsesResolutionOverride(RVData), nullptr, false);
    TTextMetric tm = Canvas.TextMetrics();
    bool device = Resolution && (Resolution->ScreenPpiX != Resolution->DevicePpiX ||
                                 Resolution->ScreenPpiY != Resolution->DevicePpiY);
    AnsiString text = device ? GetTextForPrintMeasuring(RVData) : Text;
    int width = GetTextWidthW(Canvas, RVItemTextToWide(text, 0, style->GetStyleCodePage(TextStyleNo)));
    // The minimum width is the screen's; a device measures the text alone.
    if (!device) width = std::max(width, MinWidth());
    Descent = tm.tmDescent;
    DrawItem.Width = width;
    DrawItem.Height = tm.tmHeight;
    if (!device) {
        Width = width;
        Height = tm.tmHeight;
        this->Descent = tm.tmDescent;
        SizeValid = true;
    }
}

void TRVNoteReferenceItemInfo::AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool ItemFlagB,
                                                bool ItemFlagA, TCanvas& Canvas, TCustomRVData* RVData,
                                                const TRVScreenDeviceResolution* Resolution, bool Printing,
                                                int& Descent, int& HShift) {
    if (RVData) {
        AnsiString noteText = RVData->GetNoteText();
        if (noteText != Text) {
            Text = noteText;
            SizeValid = false;
        }
    }
    TRVLabelItemInfo::AdjustToDocWidth(DocWidth, DrawItem, ItemFlagB, ItemFlagA, Canvas, RVData, Resolution,
                                       Printing, Descent, HShift);
}

// ---------------------------------------------------------------- marker

void TRVMarkerItemInfo::MeasureContent(TCanvas& Canvas, TCustomRVData* RVData,
                                       const TRVScreenDeviceResolution* Resolution, int& Width, int& Height,
                                       int& Descent) const {
    Width = Height = Descent = 0;
    TRVStyle* style = StyleOf(RVData);
    TRVListLevel* level = style ? GetLevelInfo(style) : nullptr;
    if (!level) return;
    switch (level->ListType) {
    case rvlstPicture:
    case rvlstImageList:
    case rvlstImageListCounter:
        if (level->ListType == rvlstPicture && level->HasPicture()) {
            Width = level->Picture().Width();
            Height = level->Picture().Height();
        }
        if (Resolution) {
            Width = MulDiv(Width, Resolution->DevicePpiX, Resolution->ScreenPpiX);
            Height = MulDiv(Height, Resolution->DevicePpiY, Resolution->ScreenPpiY);
        }
        return;
    default:
        break;
    }
    TRVMarkerFont& font = level->Font();
    Canvas.Font()->Assign(&font);
    int override = style->TextStyles().ResolutionOverride;
    if (override > 0 && UsesResolutionOverride(RVData) && font.Size() > 0)
        Canvas.Font()->SetHeight(-MulDiv(font.Size(), override, 72));
    Canvas.SetTextCharacterExtra(0);
    WideString text =
        level->ListType == rvlstUnicodeBullet
            ? level->FormatStringW
            : RVItemTextToWide(DisplayString, 0,
                               font.Charset == 1 ? style->DefCodePage : CharsetToCodePage(font.Charset));
    TTextMetric tm = Canvas.TextMetrics();
    Width = GetTextWidthW(Canvas, text);
    Height = tm.tmHeight;
    Descent = tm.tmDescent;
}

int TRVMarkerItemInfo::GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                                   TCustomRVData* RVData) const {
    TRVStyle* style = StyleOf(RVData);
    TRVListLevel* level = style ? GetLevelInfo(style) : nullptr;
    if (ListNo < 0 || Level < 0 || !level || !Canvas) return 0;
    int width, height, descent;
    MeasureContent(*Canvas, RVData, Resolution, width, height, descent);
    int after = level->MarkerAlignment == rvmaLeft    ? width
                : level->MarkerAlignment == rvmaRight ? 0
                                                      : width / 2;
    int64_t room = int64_t(level->LeftIndent) + level->FirstIndent - level->MarkerIndent;
    int m = int(std::clamp<int64_t>(room, INT32_MIN / 2, INT32_MAX / 2));
    if (Resolution) m = MulDiv(m, Resolution->DevicePpiX, Resolution->ScreenPpiX);
    return std::max(after, m);
}

void TRVMarkerItemInfo::AdjustToDocWidth(int, TRVDrawLineInfo& DrawItem, bool, bool, TCanvas& Canvas,
                                         TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                                         bool, int& Descent, int& HShift) {
    HShift = 0;
    Descent = 0;
    FWidth = FHeight = FDescent = FOverhang = 0;
    DrawItem.Width = DrawItem.Height = DrawItem.SpaceBefore = 0;
    TRVStyle* style = StyleOf(RVData);
    TRVListLevel* level = style ? GetLevelInfo(style) : nullptr;
    if (ListNo < 0 || Level < 0 || !level) return;
    int width, height, descent;
    MeasureContent(Canvas, RVData, Resolution, width, height, descent);
    int before = 0, after = width;
    if (level->MarkerAlignment == rvmaRight) {
        before = width;
        after = 0;
    } else if (level->MarkerAlignment == rvmaCenter) {
        before = width - width / 2;
        after = width / 2;
    }
    int64_t room = int64_t(level->LeftIndent) + level->FirstIndent - level->MarkerIndent;
    int m = int(std::clamp<int64_t>(room, INT32_MIN / 2, INT32_MAX / 2));
    bool picture = level->ListType == rvlstPicture || level->ListType == rvlstImageList ||
                   level->ListType == rvlstImageListCounter;
    if (Resolution && picture) m = MulDiv(m, Resolution->DevicePpiX, Resolution->ScreenPpiX);
    after = std::max(after, m);
    bool rtl = RVData && RVData->GetParaBiDiMode(ParaNo) == rvbdRightToLeft;
    int offset = 0;
    if (rtl) {
        HShift = before;
        offset = before + after - width;
    } else {
        HShift = -before;
    }
    DrawItem.Width = before + after;
    DrawItem.Height = height;
    DrawItem.SpaceBefore = offset;
    Descent = picture ? 0 : descent;
    FWidth = before + after;
    FHeight = height;
    FDescent = Descent;
    FOverhang = -HShift;
}
