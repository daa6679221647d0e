// Partial re-formatting: the drawing items of the paragraphs around an edit
// rebuilt in the pending gap, everything below moved, hyperlink areas kept
// in step; and the minimum widths that paragraphs, ranges and documents
// need.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/layout/CRVFDataCheck.h"
#include "richtext/engine/layout/CRVFData_p.h"

using namespace rvlayout;

// ---------------------------------------------------------------- ranges

void TCustomRVFormattedData::GetParaBoundsOfDrawItems(int First, int Last, int& NewLast,
                                                      int& NewFirst) const {
    int count = DrawItems.Count();
    NewFirst = std::clamp(First, 0, std::max(count - 1, 0));
    while (NewFirst > 0 && !IsDrawItemParaStart(NewFirst))
        --NewFirst;
    if (NewFirst > 0) {
        --NewFirst;
        while (NewFirst > 0 && !IsDrawItemParaStart(NewFirst))
            --NewFirst;
    }
    NewLast = std::clamp(Last, 0, std::max(count - 1, 0));
    int i = NewLast + 1;
    // The rest of Last's paragraph, then the whole next one.
    while (i < count && !IsDrawItemParaStart(i))
        ++i;
    if (i < count) ++i;
    while (i < count && !IsDrawItemParaStart(i))
        ++i;
    NewLast = i - 1;
}

void TCustomRVFormattedData::FormatParasOfDrawItems(int First, int Last, bool UpdateView, int ItemDelta) {
    int count = DrawItems.Count();
    if (count == 0) {
        FormatDocument(false, true, true, 0, nullptr, false, false, false);
        return;
    }
    First = std::clamp(First, 0, count - 1);
    Last = std::clamp(Last, First, count - 1);
    while (First > 0 && (DrawItems[First - 1]->ItemNo == DrawItems[First]->ItemNo ||
                         !IsFromNewLine(std::min(DrawItems[First]->ItemNo, ItemCount() - 1))))
        --First;
    while (First > 0 && !DrawItems[First]->FromNewLine)
        --First;
    int lastItem = DrawItems[Last]->ItemNo + ItemDelta;
    if (lastItem >= ItemCount() - 2) {
        Last = count - 1;
    } else {
        int item = DrawItems[Last]->ItemNo;
        int i = Last + 1;
        while (i < count && DrawItems[i]->ItemNo == item)
            ++i;
        while (i < count) {
            int itemNo = DrawItems[i]->ItemNo + ItemDelta;
            if (itemNo < 0 || itemNo >= ItemCount() || !LiveItem(itemNo).GetContinuesParagraph()) break;
            ++i;
        }
        Last = i >= count ? count - 1 : (i == count - 1 ? i : i - 1);
    }
    FormatDrawItemRange(First, Last, UpdateView, false, ItemDelta);
}

// ---------------------------------------------------------------- the partial run

void TCustomRVFormattedData::FormatDrawItemRange(int First, int Last, bool UpdateView, bool ItemFlagA,
                                                 int ItemDelta) {
    TRVStyle* style = GetRVStyle();
    TCanvas* canvas = GetCanvas();
    int oldCount = DrawItems.Count();
    if (!style || !canvas || (StateBits & rvstFormatting)) return;
    if (oldCount == 0 || First < 0 || Last >= oldCount || First > Last) {
        FormatDocument(false, true, true, 0, canvas, false, false, ItemFlagA);
        return;
    }
    TCustomRVData* outer = GetOuterRootData();
    TRVDataStates outerState = outer->StateBits & rvstFormattingPart;
    outer->StateBits |= rvstFormattingPart;
    TScopeGuard restoreOuter(
        [&] { outer->StateBits = (outer->StateBits & ~TRVDataStates(rvstFormattingPart)) | outerState; });

    // When every item of the range went (its first was the document's
    // first), nothing is formatted and the rest moves up.
    int firstItem = std::clamp(DrawItems[First]->ItemNo, 0, std::max(ItemCount() - 1, 0));
    int lastItem = std::min(DrawItems[Last]->ItemNo + ItemDelta, ItemCount() - 1);
    bool reachesEnd = Last == oldCount - 1;
    int top = GetTopMargin();
    if (First > 0) {
        int lineFirst, lineLast;
        GetLineDrawItemRange(First - 1, lineFirst, lineLast);
        for (int i = lineFirst; i <= lineLast; ++i) {
            const TRVDrawLineInfo& d = *DrawItems[i];
            top = std::max(top, d.Top + d.Height + d.ExtraSpaceBelow);
        }
    }
    int oldNextTop = 0;
    if (!reachesEnd) {
        oldNextTop = INT32_MAX;
        for (int i = Last + 1; i < oldCount && (i == Last + 1 || !DrawItems[i]->FromNewLine); ++i)
            oldNextTop = std::min(oldNextTop, DrawItems[i]->Top);
    }
    TRect invalid{0, top - GetVOffs() - 10, GetWidth(), 0};

    // Hyperlink areas of the range go; the run numbers on from the areas
    // before it.
    bool useJumps = GetFlags() & rvflUseJumps;
    auto firstJump = std::lower_bound(Jumps.begin(), Jumps.end(), First,
                                      [](const auto& J, int D) { return J->DrawItemNo < D; });
    auto afterJumps = std::lower_bound(firstJump, Jumps.end(), Last + 1,
                                       [](const auto& J, int D) { return J->DrawItemNo < D; });
    int jumpBase = 0, oldNextJumpNo = JumpCount;
    if (useJumps) {
        jumpBase = firstJump != Jumps.begin() ? (*(firstJump - 1))->JumpNo + 1 : 0;
        if (afterJumps != Jumps.end()) oldNextJumpNo = (*afterJumps)->JumpNo;
    } else {
        for (int i = firstItem - 1; i >= 0; --i)
            if (LiveItem(i).GetBoolValueEx(iqxHyperlink, style) && LiveItem(i).JumpID >= 0) {
                jumpBase = LiveItem(i).JumpID + 1;
                break;
            }
        for (int i = lastItem + 1; i < ItemCount(); ++i)
            if (LiveItem(i).GetBoolValueEx(iqxHyperlink, style) && LiveItem(i).JumpID >= 0) {
                oldNextJumpNo = LiveItem(i).JumpID;
                break;
            }
    }
    std::vector<std::unique_ptr<TRVJumpInfo>> fresh;

    TRVLineFormatState state;
    state.Canvas = canvas;
    state.Style = style;
    state.Flags = GetFlags();
    GetDeviceScaling(*canvas, state.Resolution);
    ScaleMargins(state);
    state.BaselineY = top;
    state.DrawItemIndex = First;
    state.MaxLength = GetMaxLength();
    state.WordWrap = GetWordWrap();
    state.ItemFlagA = ItemFlagA;
    state.ItemFlagB = false;
    state.JumpTarget = &fresh;
    state.JumpCount = jumpBase;
    DrawItems.MarkForDeletion(First, Last);
    CreateFontInfoCache(*canvas);
    state.FontCache = GetFontInfoCache(*canvas, this);
    int extra = 0;
    {
        TRVFontInfoCache* cache = state.FontCache;
        TScopeGuard releaseCache([&] { DestroyFontInfoCache(cache); });
        TScopeGuard purge([&] { DrawItems.ApplyPendingDeletion(); });
        if (lastItem >= firstItem) FormatItems(state, firstItem, lastItem);
        FinishPendingTab(state);
        bool paraEnd = lastItem < ItemCount() - 1 || !(StateBits & rvdsParaContinuesNext);
        if (lastItem < firstItem) lastItem = firstItem - 1;
        extra = FinishLine(state, paraEnd, state.DrawItemIndex);
    }
    state.BaselineY += extra + state.FinishedLineExtra;
    int nextItem = lastItem + 1;
    if (nextItem >= ItemCount()) {
        if (lastItem >= 0)
            state.LineDescent +=
                ScaleY(style->ParaStyles().GetItem(GetItemPara(lastItem))->SpaceAfter, state.Resolution);
    } else if (LiveItem(nextItem).StartsParagraph()) {
        state.LineDescent += SpacingBefore(state, nextItem);
        if (LiveItem(nextItem).StyleNo == rvsBreak)
            state.LineDescent += ScaleY(style->ParaStyles().GetItem(0)->SpaceBefore, state.Resolution);
    }
    int newBottom = state.BaselineY + state.LineDescent;
    int rangeEnd = state.DrawItemIndex; // the first drawing item after the range
    int countDelta = DrawItems.Count() - oldCount;
    invalid.Bottom = newBottom - GetVOffs() + 10;

    // Hyperlink areas: the range's new ones in place of the old, the later
    // ones renumbered and moved.
    int numberDelta = state.JumpCount - oldNextJumpNo;
    std::size_t at = std::size_t(firstJump - Jumps.begin());
    Jumps.erase(firstJump, afterJumps);
    for (auto& jump : fresh)
        Jumps.insert(Jumps.begin() + std::ptrdiff_t(at++), std::move(jump));
    const TCustomRVItemInfo* lastRenumbered = nullptr;
    for (std::size_t j = at; j < Jumps.size(); ++j) {
        TRVJumpInfo& jump = *Jumps[j];
        jump.DrawItemNo += countDelta;
        if (numberDelta == 0) continue;
        jump.JumpNo += numberDelta;
        TCustomRVItemInfo& item = LiveItem(DrawItems[jump.DrawItemNo]->ItemNo + ItemDelta);
        if (&item != lastRenumbered) item.JumpID += numberDelta;
        lastRenumbered = &item;
    }
    if (numberDelta != 0 && !useJumps)
        for (int i = lastItem + 1; i < ItemCount(); ++i)
            if (LiveItem(i).GetBoolValueEx(iqxHyperlink, style) && LiveItem(i).JumpID >= 0)
                LiveItem(i).JumpID += numberDelta;
    JumpCount += numberDelta;

    int oldHeight = DocumentHeight;
    if (reachesEnd || rangeEnd >= DrawItems.Count()) {
        DocumentHeight = GetBottomMargin() + newBottom;
    } else {
        int deltaY = newBottom - oldNextTop;
        if (ItemDelta != 0 || countDelta != 0 || deltaY != 0)
            ShiftDrawItemsBelow(rangeEnd, deltaY, ItemDelta);
        DocumentHeight += deltaY;
        if (deltaY != 0) invalid.Bottom = std::max(invalid.Bottom, DocumentHeight - GetVOffs() + 10);
    }
    AdjustJumpsCoords();
    if (DocumentHeight != oldHeight) {
        invalid.Bottom = std::max(invalid.Bottom, oldHeight - GetBottomMargin() - GetVOffs() + 10);
        AdjustVScrollUnits();
        InAreaSizeUpdate = true;
        TScopeGuard clear([&] { InAreaSizeUpdate = false; });
        SetDocumentAreaSize(GetAreaWidth(), DocumentHeight, false);
    }
    PlaceControls();
    LastFormattedItem = ItemCount() - 1;
    InvalidateRect(invalid);
    if (UpdateView) this->UpdateView();
    Formatted(firstItem, lastItem, true);
    RVCheckLayoutAfterOperation(*this);
}

void TCustomRVFormattedData::ShiftDrawItemsBelow(int From, int DeltaY, int ItemDelta) {
    int count = DrawItems.Count();
    // Every later line moves: one pass, touching each item once.
    bool record = !SharesItems();
    int lastItemNo = -1;
    for (int i = From; i < count; ++i) {
        TRVDrawLineInfo& d = *DrawItems[i];
        d.Top += DeltaY;
        d.ItemNo += ItemDelta;
        if (record && d.ItemNo != lastItemNo) {
            lastItemNo = d.ItemNo;
            ItemList->Objects(d.ItemNo)->DrawItemNo = i;
        }
    }
}

// ---------------------------------------------------------------- minimum widths

void TCustomRVFormattedData::MinLineIndents(int ItemNo, const TRVScreenDeviceResolution* Resolution,
                                            int& Indent) const {
    TRVStyle* style = GetRVStyle();
    Indent = 0;
    if (!style) return;
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    const TParaInfo& para = *style->ParaStyles().GetItem(item.ParaNo);
    int first = GetFirstParaItem(ItemNo);
    const TRVListLevel* level = nullptr;
    if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&LiveItem(first)))
        level = marker->GetLevelInfo(style);
    if (!level && first == 0 && (StateBits & rvdsContinuesPrevPara)) {
        int listNo, levelNo;
        if (GetContinuedListLevel(listNo, levelNo) && listNo >= 0 && listNo < style->ListStyles().Count())
            level = style->ListStyles().GetItem(listNo)->GetLevelInfo(levelNo);
    }
    int64_t indent;
    if (level) {
        bool rtl = GetParaBiDiMode(item.ParaNo) == rvbdRightToLeft;
        indent = int64_t(level->LeftIndent) + std::max(level->FirstIndent, 0) +
                 (rtl ? para.LeftIndent : para.RightIndent);
    } else {
        indent = int64_t(para.LeftIndent) + para.RightIndent;
        if (para.FirstIndent >= 1 && !item.GetBoolValue(iqFullLine)) indent += para.FirstIndent;
    }
    Indent = Resolution ? ScaleX(indent, *Resolution) : StyleLength(indent);
}

int TCustomRVFormattedData::MinLineWidth(int ItemNo, int& FirstParaItem, TCanvas& Canvas,
                                         const TRVScreenDeviceResolution* Resolution) const {
    TRVStyle* style = GetRVStyle();
    if (!style) return 0;
    int first, last;
    ExpandToLines(ItemNo, ItemNo, first, last);
    if (IsParaStart(first)) FirstParaItem = first;
    int indent;
    MinLineIndents(first, Resolution, indent);
    auto& self = const_cast<TCustomRVFormattedData&>(*this);
    auto itemMinWidth = [&](int i) {
        const TCustomRVItemInfo& item = LiveItem(i);
        return item.GetMinWidth(Resolution, &Canvas, &self);
    };
    if (!ParaWraps(GetItemPara(first))) {
        int64_t sum = indent;
        for (int i = first; i <= last; ++i) {
            const TCustomRVItemInfo& item = LiveItem(i);
            if (item.StyleNo < 0) {
                sum += itemMinWidth(i);
                continue;
            }
            int styleNo = GetActualStyle(item);
            style->ApplyStyle(Canvas, styleNo, GetParaBiDiMode(item.ParaNo), GetFlags() & rvflCanUseCustomPPI,
                              nullptr, false);
            sum +=
                GetItemTextWidth(GetItemText(i), Canvas, item.ItemOptions, style->GetStyleCodePage(styleNo));
        }
        return SaturatedInt(sum);
    }
    int64_t widest = 0;
    for (int i = first; i <= last; ++i) {
        int64_t width = int64_t(indent) + itemMinWidth(i);
        if (i > first && LiveItem(i - 1).StyleNo == rvsListMarker) width += itemMinWidth(i - 1);
        widest = std::max(widest, width);
    }
    return SaturatedInt(widest);
}

int TCustomRVFormattedData::CalculateMinParaWidth(int ItemNo) const {
    TCanvas* canvas = GetCanvas();
    if (!canvas || ItemNo < 0 || ItemNo >= ItemCount()) return 0;
    int firstPara = -1;
    return MinLineWidth(ItemNo, firstPara, *canvas, nullptr);
}

int TCustomRVFormattedData::CalculateMinParasWidth(int First, int Last) const {
    TCanvas* canvas = GetCanvas();
    if (!canvas || ItemCount() == 0) return 0;
    First = std::clamp(First, 0, ItemCount() - 1);
    Last = std::clamp(Last, First, ItemCount() - 1);
    int from, to;
    ExpandToLines(First, Last, from, to);
    int widest = 0, firstPara = -1;
    for (int i = from; i <= to; ++i)
        if (i == from || IsFromNewLine(i))
            widest = std::max(widest, MinLineWidth(i, firstPara, *canvas, nullptr));
    return widest;
}

int TCustomRVFormattedData::CalculateMinRangeWidth(int First, int Last) const {
    if (Last < First || ItemCount() == 0) return 0;
    TCanvas* canvas = GetCanvas();
    if (!canvas) return 0;
    // Lines cut by the range count as whole lines: a line's minimum does
    // not grow with what it holds when it wraps, and a line that does not
    // wrap keeps all of it.
    return CalculateMinParasWidth(First, Last);
}

int TCustomRVFormattedData::CalculateMinDocumentWidth(int From, const TRVScreenDeviceResolution* Resolution,
                                                      TCanvas* Canvas) const {
    if (!Canvas) Canvas = GetCanvas();
    if (!Canvas || From >= ItemCount()) return 0;
    if (Resolution && Resolution->ScreenPpiX == Resolution->DevicePpiX &&
        Resolution->ScreenPpiY == Resolution->DevicePpiY)
        Resolution = nullptr;
    From = std::max(From, 0);
    int from, to;
    ExpandToLines(From, ItemCount() - 1, from, to);
    int widest = 0, firstPara = -1;
    for (int i = from; i <= to; ++i)
        if (i == from || IsFromNewLine(i))
            widest = std::max(widest, MinLineWidth(i, firstPara, *Canvas, Resolution));
    return widest;
}
