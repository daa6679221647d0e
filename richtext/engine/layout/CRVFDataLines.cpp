// Line building: items and pieces of text placed on lines from left to
// right, text fitted to the free width, wrap points and soft hyphens, new
// lines with their indents and paragraph spacing, rectangle and full-line
// items, and hyperlink numbers.
#include <algorithm>
#include <unicode/uchar.h>

#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/layout/CRVFData_p.h"

using namespace rvlayout;

namespace {

// Moves a character count forward over the second half of a surrogate pair
// and the combining marks that belong to the character before it.
int NextBoundary(const WideString& Text, int Index) {
    int n = int(Text.size());
    if (Index > 0 && Index < n && IsLowSurrogate(Text[std::size_t(Index)]) &&
        IsHighSurrogate(Text[std::size_t(Index - 1)]))
        ++Index;
    while (Index > 0 && Index < n &&
           (U_GET_GC_MASK(Text[std::size_t(Index)]) & (U_GC_MN_MASK | U_GC_ME_MASK)))
        ++Index;
    return Index;
}

// Moves a character count back to the start of the character it cuts.
int PrevBoundary(const WideString& Text, int Index) {
    while (Index > 0 && Index < int(Text.size()) &&
           ((U_GET_GC_MASK(Text[std::size_t(Index)]) & (U_GC_MN_MASK | U_GC_ME_MASK)) ||
            (IsLowSurrogate(Text[std::size_t(Index)]) && IsHighSurrogate(Text[std::size_t(Index - 1)]))))
        --Index;
    return Index;
}

} // namespace

// ---------------------------------------------------------------- text style and text

void TCustomRVFormattedData::SelectTextStyle(TRVLineFormatState& State, int ItemNo) {
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    int style = GetActualStyle(item);
    if (style != State.CurTextStyle || !State.StyleInfo) {
        State.FontCache->LastStyleNo = State.CurTextStyle;
        State.FontCache->DefBiDiMode = GetParaBiDiMode(item.ParaNo);
        State.StyleInfo = State.FontCache->GetItem(style);
        State.CurTextStyle = style;
        State.VerticalOffset = State.StyleInfo->VerticalOffset;
        const TFontInfo& textStyle = *State.StyleInfo->TextStyle;
        const TRVScreenDeviceResolution& r = State.Resolution;
        if (textStyle.CharSpacing != 0 && (r.DevicePpiX != r.ScreenPpiX) &&
            GetItemBiDiMode(ItemNo) == rvbdUnspecified)
            State.Canvas->SetTextCharacterExtra(ScaleX(textStyle.CharSpacing, r));
    }
    State.Lead = (State.Flags & rvflUseExternalLeading) ? State.StyleInfo->TextMetric.tmExternalLeading : 0;
    if (State.TextItemNo == ItemNo) return;
    // The item's characters as shown, one unit each, and their advances.
    State.TextItemNo = ItemNo;
    State.Raw.clear();
    RVItemTextToWide(GetItemText(ItemNo), item.ItemOptions, State.StyleInfo->CodePage, State.Raw);
    bool allCaps = State.StyleInfo->TextStyle->StyleEx & rvfsAllCaps;
    State.Display =
        AdjustTextForDisplay(State.Raw, allCaps, false, GetOptions() & rvoShowSpecialCharacters, false);
    std::size_t n = State.Display.size();
    State.Advances.resize(n);
    State.Prefix.resize(n + 1);
    GetTextAdvancesW(*State.Canvas, State.Display, State.Advances.data());
    State.Prefix[0] = 0;
    for (std::size_t i = 0; i < n; ++i)
        State.Prefix[i + 1] = State.Prefix[i] + State.Advances[i];
}

// How many of the N characters from Pos fit into Free pixels.
static int FitText(const TRVLineFormatState& State, int Pos, int N, int Free, bool Wraps) {
    if (N <= 0) return 0;
    if (!Wraps) return N;
    int whole = PieceWidth(State, Pos, N);
    if (whole <= Free && Free >= 0) return N;
    int lo = 0, hi = N;
    // The largest count whose width is within the free width.
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        if (PieceWidth(State, Pos, mid) <= Free)
            lo = mid;
        else
            hi = mid - 1;
    }
    const WideString& raw = State.Raw;
    int hyphen = State.StyleInfo->HyphenWidth;
    // A run that ends at a soft hyphen shows a hyphen, which must fit too.
    while (lo > 0 && raw[std::size_t(Pos + lo - 1)] == SoftHyphen &&
           PieceWidth(State, Pos, lo) + hyphen > Free)
        --lo;
    // A line never ends just before a soft hyphen.
    if (lo > 0 && lo < N && raw[std::size_t(Pos + lo)] == SoftHyphen) --lo;
    int bounded = NextBoundary(raw, Pos + lo) - Pos;
    if (bounded != lo)
        lo = bounded <= N && PieceWidth(State, Pos, bounded) <= Free ? bounded
                                                                     : PrevBoundary(raw, Pos + lo) - Pos;
    return std::max(lo, 0);
}

// ---------------------------------------------------------------- placing items

void TCustomRVFormattedData::FormatItemPart(TRVLineFormatState& State, int ItemNo, int Offset, int Length) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (!item.GetContinuesParagraph() && Offset == 0) {
        State.StartsNewLine = true;
        State.SkipSpace = false;
    }
    if (item.StyleNo >= 0) {
        FormatTextPart(State, ItemNo, Offset, Length);
        return;
    }
    if (!dynamic_cast<TRVRectItemInfo*>(&item)) {
        FormatFullLineItem(State, ItemNo);
        State.CurTextStyle = -1;
        return;
    }
    PlaceRectItem(State, ItemNo);
    // Items measure with fonts of their own on the run's canvas; no space
    // waits to be skipped behind them.
    State.CurTextStyle = -1;
    State.SkipSpace = false;
    if (item.GetBoolValueEx(iqxHyperlink, State.Style)) {
        if (State.Flags & rvflUseJumps)
            AddJump(State, State.DrawItemIndex - 1, State.JumpCount, State.Style->JumpCursor);
        item.JumpID = State.JumpCount++;
    }
}

int TCustomRVFormattedData::SpacingBefore(const TRVLineFormatState& State, int ItemNo) const {
    TParaInfos& paras = State.Style->ParaStyles();
    int64_t spacing = paras.GetItem(GetItemPara(ItemNo))->SpaceBefore;
    if (ItemNo > 0) spacing += paras.GetItem(GetItemPara(ItemNo - 1))->SpaceAfter;
    return ScaleY(spacing, State.Resolution);
}

void TCustomRVFormattedData::FormatFullLineItem(TRVLineFormatState& State, int ItemNo) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    FinishPendingTab(State);
    State.BaselineY += FinishLine(State, true, State.DrawItemIndex) + State.FinishedLineExtra;
    State.FinishedLineExtra = 0;
    State.LineDescent += SpacingBefore(State, ItemNo);
    const TRVScreenDeviceResolution& r = State.Resolution;
    std::unique_ptr<TRVDrawLineInfo> drawItem;
    if (item.StyleNo == rvsBreak) {
        State.LineDescent += ScaleY(State.Style->ParaStyles().GetItem(0)->SpaceBefore, r);
        int d = ScaleY(5, r);
        drawItem = std::make_unique<TRVDrawLineInfo>(State.LeftMargin, State.BaselineY + State.LineDescent,
                                                     TextWidth, 2 * d + 1, ItemNo, true);
        State.BaselineY += d + State.LineDescent + 1;
        State.LineDescent = State.LineAscent = d;
    } else {
        const TParaInfo& para = *State.Style->ParaStyles().GetItem(item.ParaNo);
        State.LineWidth =
            SaturatedInt(int64_t(TextWidth) - ScaleX(int64_t(para.LeftIndent) + para.RightIndent, r));
        drawItem = (State.Flags & rvflShareContents) ? item.CreatePrintingDrawItem(this, r)
                                                     : std::make_unique<TRVDrawLineInfo>();
        int descent = 0, shift = 0;
        item.AdjustToDocWidth(State.LineWidth, *drawItem, State.ItemFlagB, State.ItemFlagA, *State.Canvas,
                              this, &r, State.Flags & rvflPrinting, descent, shift);
        auto& nonText = static_cast<TRVNonTextItemInfo&>(item);
        int width = drawItem->Width, height = drawItem->Height;
        if (!item.GetBoolValueEx(iqxDeviceSized, State.Style)) {
            width = ScaleX(nonText.GetWidth(State.Style), r);
            height = ScaleY(nonText.GetHeight(State.Style), r);
        }
        int64_t x = int64_t(ScaleX(para.LeftIndent, r)) + State.LeftMargin;
        if (para.Alignment == rvaRight)
            x += State.LineWidth - width;
        else if (para.Alignment == rvaCenter)
            x += std::max((State.LineWidth - width) / 2, 0);
        drawItem->SetData(SaturatedInt(x + shift), State.BaselineY + State.LineDescent, ItemNo, true);
        drawItem->SetSize(width, height);
        State.BaselineY += State.LineDescent + height;
        State.LineAscent = height;
        State.LineDescent = 0;
    }
    State.LineStart = State.DrawItemIndex;
    SetItemDrawItemNo(ItemNo, State.DrawItemIndex);
    DrawItems.Insert(State.DrawItemIndex++, std::move(drawItem));
    State.CharsOnLine = 0;
    State.X = 0;
}

void TCustomRVFormattedData::PlaceRectItem(TRVLineFormatState& State, int ItemNo) {
    auto& item = static_cast<TRVRectItemInfo&>(LiveItem(ItemNo));
    const TRVScreenDeviceResolution& r = State.Resolution;
    TRVStyle& style = *State.Style;
    const TParaInfo& para = *style.ParaStyles().GetItem(item.ParaNo);
    std::unique_ptr<TRVDrawLineInfo> drawItem = (State.Flags & rvflShareContents)
                                                    ? item.CreatePrintingDrawItem(this, r)
                                                    : std::make_unique<TRVDrawLineInfo>();
    int descent = 0, hshift = 0;
    int available = SaturatedInt(int64_t(TextWidth) -
                                 ScaleX(int64_t(para.LeftIndent) + para.RightIndent + para.FirstIndent, r));
    item.AdjustToDocWidth(available, *drawItem, State.ItemFlagB, State.ItemFlagA, *State.Canvas, this, &r,
                          State.Flags & rvflPrinting, descent, hshift);
    int width = drawItem->Width, height = drawItem->Height;
    if (!item.GetBoolValueEx(iqxDeviceSized, &style)) {
        width = ScaleX(item.GetWidth(&style), r);
        height = ScaleY(item.GetHeight(&style), r);
        descent = ScaleY(descent, r);
    }
    bool isTab = item.StyleNo == rvsTab;
    int tabPosition = 0;
    AnsiString leader;
    TRVTabAlign tabAlign = rvtaLeft;
    TRVBiDiMode bidi = GetBiDiMode();
    if (isTab) {
        FinishPendingTab(State);
        style.GetNextTab(item.ParaNo, State.X + State.LineLeft, r, tabPosition, leader, tabAlign, bidi,
                         State.ParaLeftIndent, State.ParaRightIndent);
        width = tabPosition - State.X - State.LineLeft;
        if (tabPosition <= State.LineWidth + State.LineLeft) {
            if (tabAlign == rvtaRight)
                width = 0;
            else if (tabAlign == rvtaCenter)
                width = std::max((tabPosition - State.X - State.LineLeft) +
                                     (tabPosition - State.LineWidth - State.LineLeft),
                                 0);
        }
    }
    int vshift;
    int associated = item.GetAssociatedTextStyleNo();
    if (associated != -1) {
        if (associated == rvsDefStyle) associated = item.GetActualStyleNo(&style);
        State.FontCache->LastStyleNo = State.CurTextStyle;
        vshift = State.FontCache->GetItem(associated)->VerticalOffset;
        State.CurTextStyle = associated;
        State.StyleInfo = nullptr;
    } else {
        vshift = item.VShiftAbs ? ScaleY(item.VShift, r) : StyleLength(int64_t(height) * item.VShift / 100);
    }
    bool stays = false;
    if (item.GetContinuesParagraph()) {
        bool fits = State.X + width <= State.LineWidth &&
                    !(State.MaxLength > 0 && State.CharsOnLine == State.MaxLength);
        bool afterMarker = ItemNo > 0 && LiveItem(ItemNo - 1).StyleNo == rvsListMarker;
        stays = fits || !ParaWraps(item.ParaNo) || afterMarker;
    }
    if (!stays) {
        if (item.GetContinuesParagraph()) State.StartsNewLine = false;
        StartNewLine(State, ItemNo, item.GetContinuesParagraph());
        State.X = 0;
        if (isTab)
            style.GetNextTab(item.ParaNo, State.X + State.LineLeft, r, tabPosition, leader, tabAlign, bidi,
                             State.ParaLeftIndent, State.ParaRightIndent);
    }
    int ascent = 0;
    bool lineAligned = false;
    switch (item.VAlign) {
    case vaBaseline:
        ascent = height - descent;
        break;
    case vaMiddle:
        ascent = height / 2;
        break;
    default:
        lineAligned = true;
        State.HasLineAlignedItems = true;
        break;
    }
    int top;
    if (stays) {
        RaiseLine(State, ascent + vshift);
        top = State.BaselineY - ascent - vshift;
        if (!lineAligned) State.LineDescent = std::max(State.LineDescent, height - ascent - vshift);
    } else {
        State.BaselineY += State.FinishedLineExtra;
        State.FinishedLineExtra = 0;
        top = State.BaselineY + State.LineDescent;
        State.LineAscent = ascent + vshift;
        State.BaselineY += State.LineDescent + State.LineAscent;
        State.LineDescent = lineAligned ? 0 : height - State.LineAscent;
        State.LineStart = State.DrawItemIndex;
    }
    int left = State.X + State.LineLeft + hshift;
    if (isTab) {
        style.GetNextTab(item.ParaNo, left, r, tabPosition, leader, tabAlign, bidi, State.ParaLeftIndent,
                         State.ParaRightIndent);
        static_cast<TRVTabItemInfo&>(static_cast<TCustomRVItemInfo&>(item)).Leader = leader;
        width = tabPosition - left;
        if (tabAlign == rvtaRight)
            width = 0;
        else if (tabAlign == rvtaCenter)
            width = std::max((tabPosition - left) + (tabPosition - State.LineWidth - State.LineLeft), 0);
        if (tabAlign != rvtaLeft) {
            State.PendingTab = State.DrawItemIndex;
            State.PendingTabAlign = tabAlign == rvtaRight ? 1 : 2;
            State.PendingTabPos = tabPosition;
        }
        width = std::max(width, 0);
    }
    drawItem->SetData(left, top, ItemNo, !stays);
    drawItem->Width = width;
    drawItem->Height = height;
    drawItem->Offs = drawItem->Length = 0;
    State.X += width + hshift;
    SetItemDrawItemNo(ItemNo, State.DrawItemIndex);
    DrawItems.Insert(State.DrawItemIndex++, std::move(drawItem));
    if (stays) ++State.CharsOnLine;
}

void TCustomRVFormattedData::FormatJustifiedText(TRVLineFormatState& State, int ItemNo) {
    int n = ItemLength(ItemNo);
    if (n == 0) {
        FormatItemPart(State, ItemNo, 0, 0);
        return;
    }
    SelectTextStyle(State, ItemNo);
    const WideString& raw = State.Raw;
    // Pieces run from a space (or the start) to the next space, so that
    // justification widens the gaps between words.
    for (int pos = 0; pos < n;) {
        int from = raw[std::size_t(pos)] == u' ' ? pos + 1 : pos;
        int next = from;
        while (next < n && raw[std::size_t(next)] != u' ')
            ++next;
        FormatItemPart(State, ItemNo, pos, next - pos);
        pos = next;
    }
}

void TCustomRVFormattedData::FormatTextPart(TRVLineFormatState& State, int ItemNo, int Offset, int Length) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    SelectTextStyle(State, ItemNo);
    bool hyperlink = item.GetBoolValueEx(iqxHyperlink, State.Style);
    bool wraps = ParaWraps(item.ParaNo) && State.WordWrap;
    bool newLine = Offset == 0 && !item.GetContinuesParagraph();
    bool firstPiece = true;

    // A piece of Count characters from Pos, on the current line or a new one.
    auto place = [&](int Pos, int Count, bool OnNewLine) {
        const TTextMetric& metric = State.StyleInfo->TextMetric;
        int ascent = metric.tmAscent + State.Lead + State.VerticalOffset;
        auto drawItem = std::make_unique<TRVDrawLineInfo>();
        int top;
        if (OnNewLine) {
            State.BaselineY += State.FinishedLineExtra;
            State.FinishedLineExtra = 0;
            top = State.BaselineY + State.LineDescent;
            State.LineAscent = ascent;
            State.BaselineY += State.LineDescent + State.LineAscent;
            State.LineDescent = metric.tmDescent - State.VerticalOffset;
            State.LineStart = State.DrawItemIndex;
        } else {
            RaiseLine(State, ascent);
            top = State.BaselineY - ascent;
            State.LineDescent = std::max(State.LineDescent, metric.tmDescent - State.VerticalOffset);
        }
        int width = Count > 0 ? PieceWidth(State, Pos, Count) : 0;
        int height = (Count > 0 ? metric.tmHeight : State.StyleInfo->HyphenHeight) + State.Lead;
        drawItem->SetData(State.X + State.LineLeft, top, ItemNo, OnNewLine);
        drawItem->SetSize(width, height);
        drawItem->Offs = Pos + 1;
        drawItem->Length = Count;
        State.CharsOnLine += Count;
        if (Offset == 0 && firstPiece) SetItemDrawItemNo(ItemNo, State.DrawItemIndex);
        firstPiece = false;
        int index = State.DrawItemIndex++;
        DrawItems.Insert(index, std::move(drawItem));
        if (hyperlink && Count > 0 && (State.Flags & rvflUseJumps))
            AddJump(State, index, Offset > 0 ? State.JumpCount - 1 : State.JumpCount,
                    State.StyleInfo->TextStyle->JumpCursor);
        State.X += width;
    };

    if (Length == 0) {
        if (newLine) {
            StartNewLine(State, ItemNo, !State.StartsNewLine);
            State.X = 0;
            State.SkipSpace = false;
        }
        place(Offset, 0, newLine);
        State.SkipSpace = false;
        if (hyperlink) item.JumpID = -3;
        return;
    }
    const WideString& raw = State.Raw;
    int pos = Offset, end = Offset + Length;
    bool unicode = item.IsUnicode();
    while (pos < end) {
        bool justOpened = false;
        if (newLine) {
            StartNewLine(State, ItemNo, !State.StartsNewLine);
            // Measuring another item's trimmed space may have changed the font.
            SelectTextStyle(State, ItemNo);
            State.X = 0;
            if ((State.Flags & rvflTrim) && !State.SkipSpace && !State.StartsNewLine && end - pos > 1 &&
                raw[std::size_t(pos)] == u' ')
                ++pos;
            State.SkipSpace = false;
            justOpened = true;
        }
        int n = end - pos;
        bool skipAfter = false;
        bool afterMarker = pos == 0 && ItemNo > 0 && LiveItem(ItemNo - 1).StyleNo == rvsListMarker;
        int c;
        if (State.MaxLength > 0 && State.CharsOnLine >= State.MaxLength && wraps) {
            c = 0;
        } else {
            int limit = n;
            if (State.MaxLength > 0 && wraps) limit = std::min(n, State.MaxLength - State.CharsOnLine);
            c = FitText(State, pos, limit, State.LineWidth - State.X, wraps);
        }
        if (c == 0) {
            if (!justOpened && !afterMarker) {
                // Nothing fits here: the rest goes to the next line.
                State.X = 0;
                State.StartsNewLine = false;
                newLine = true;
                continue;
            }
            c = std::min(NextBoundary(raw, pos + 1) - pos, n);
        }
        if (c < n && !RVWrapAnywhere && wraps) {
            int wrap = -1;
            std::u16string_view piece(raw.data() + pos, std::size_t(n));
            if (unicode) {
                wrap = CanBreakBetween(piece, c, c == n - 1);
            } else {
                int last = c + 1 < n ? c + 1 : c;
                for (int i = std::min(last, n) - 1; i >= 0 && wrap < 0; --i)
                    if (piece[std::size_t(i)] == u' ') wrap = i;
            }
            bool nextContinues = ItemNo + 1 < ItemCount() && LiveItem(ItemNo + 1).GetContinuesParagraph();
            if (wrap < 0 && (State.Flags & rvflTrim) && piece[std::size_t(c)] == u' ' &&
                (n - c > 1 || nextContinues))
                wrap = c;
            if (wrap >= 0) {
                bool space = piece[std::size_t(wrap)] == u' ';
                if ((State.Flags & rvflTrim) && space) {
                    if (wrap > 0) {
                        c = wrap;
                        skipAfter = true;
                    } else {
                        c = 1;
                    }
                } else {
                    c = wrap + 1;
                }
            } else if (!justOpened && !afterMarker) {
                // The word moves down whole.
                State.X = 0;
                State.StartsNewLine = false;
                newLine = true;
                continue;
            }
        }
        place(pos, c, justOpened);
        pos += c;
        // The space at the wrap point goes to neither line; the next line
        // learns that it went when it was this piece's last character. A
        // piece placed without one leaves no space to skip behind it.
        State.SkipSpace = false;
        if (skipAfter && pos < end) {
            ++pos;
            State.SkipSpace = pos >= end;
        }
        // Every further piece of this call begins a line.
        newLine = true;
        State.StartsNewLine = false;
    }
    if (hyperlink && Offset == 0) item.JumpID = State.JumpCount++;
}

// ---------------------------------------------------------------- lines

char16_t TCustomRVFormattedData::CharAt(int ItemNo, int Offs) const {
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    AnsiString one = ItemTextCopy(GetItemText(ItemNo), Offs, 1, item.ItemOptions);
    WideString wide;
    TRVStyle* style = GetRVStyle();
    unsigned codePage = style ? style->GetStyleCodePage(GetActualStyle(item)) : 0;
    RVItemTextToWide(one, item.ItemOptions, codePage, wide);
    return wide.empty() ? u'\0' : wide[0];
}

int TCustomRVFormattedData::MeasurePiece(TRVLineFormatState& State, const TRVDrawLineInfo& Piece) {
    if (Piece.ItemNo == State.TextItemNo && State.StyleInfo)
        return PieceWidth(State, Piece.Offs - 1, Piece.Length);
    const TCustomRVItemInfo& item = LiveItem(Piece.ItemNo);
    State.FontCache->LastStyleNo = State.CurTextStyle;
    TRVFontInfoCacheItem* info = State.FontCache->GetItem(GetActualStyle(item));
    // The current item's style goes back on the canvas when it is asked for.
    State.CurTextStyle = -1;
    State.StyleInfo = nullptr;
    WideString raw;
    RVItemTextToWide(ItemTextCopy(GetItemText(Piece.ItemNo), Piece.Offs, Piece.Length, item.ItemOptions),
                     item.ItemOptions, info->CodePage, raw);
    bool allCaps = info->TextStyle->StyleEx & rvfsAllCaps;
    return GetTextWidthW(*State.Canvas, AdjustTextForDisplay(raw, allCaps, false,
                                                             GetOptions() & rvoShowSpecialCharacters, false));
}

int TCustomRVFormattedData::HyphenWidthOf(TRVLineFormatState& State, int ItemNo) {
    if (ItemNo == State.TextItemNo && State.StyleInfo) return State.StyleInfo->HyphenWidth;
    State.FontCache->LastStyleNo = State.CurTextStyle;
    int width = State.FontCache->GetItem(GetActualStyle(LiveItem(ItemNo)))->HyphenWidth;
    State.CurTextStyle = -1;
    State.StyleInfo = nullptr;
    return width;
}

void TCustomRVFormattedData::StartNewLine(TRVLineFormatState& State, int ItemNo, bool Wrapped) {
    TRVStyle& style = *State.Style;
    int lastIndex = State.DrawItemIndex - 1;
    bool lineHasItems = State.DrawItemIndex > State.LineStart && lastIndex >= 0;
    if (Wrapped && lineHasItems) {
        TRVDrawLineInfo& last = *DrawItems[lastIndex];
        const TCustomRVItemInfo& lastItem = LiveItem(last.ItemNo);
        if (!State.SkipSpace && lastItem.StyleNo >= 0 && last.Length > 0 && !last.FromNewLine &&
            IsSpaceCharAt(GetItemText(last.ItemNo), last.Offs + last.Length - 1, lastItem.ItemOptions)) {
            bool afterMarker = lastIndex - 1 == State.LineStart &&
                               LiveItem(DrawItems[lastIndex - 1]->ItemNo).StyleNo == rvsListMarker;
            if (!afterMarker) {
                if (last.Length == 1 && lastIndex > State.LineStart &&
                    DrawItems[lastIndex - 1]->ItemNo == last.ItemNo) {
                    DrawItems.Delete(lastIndex);
                    --State.DrawItemIndex;
                    if (State.PendingTab >= State.DrawItemIndex) State.PendingTab = -1;
                } else {
                    --last.Length;
                    last.Width = MeasurePiece(State, last);
                }
                State.SkipSpace = true;
            }
        }
    }
    lastIndex = State.DrawItemIndex - 1;
    if (Wrapped && State.DrawItemIndex > State.LineStart && lastIndex >= 0) {
        TRVDrawLineInfo& last = *DrawItems[lastIndex];
        const TCustomRVItemInfo& lastItem = LiveItem(last.ItemNo);
        bool shownHyphens =
            (GetOptions() & rvoShowSpecialCharacters) && (ShownSpecialCharacters & sscSoftHyphen);
        if (lastItem.StyleNo >= 0 && last.Length > 0 && !shownHyphens &&
            CharAt(last.ItemNo, last.Offs + last.Length - 1) == SoftHyphen)
            last.Width += HyphenWidthOf(State, last.ItemNo);
    }
    FinishPendingTab(State);
    State.FinishedLineExtra += FinishLine(State, State.StartsNewLine, State.DrawItemIndex);
    int paraLeft, right, lineLeft;
    GetLineIndents(State, ItemNo, State.StartsNewLine, paraLeft, right, lineLeft);
    State.ParaLeftIndent = paraLeft;
    State.ParaRightIndent = right;
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (State.StartsNewLine && !item.GetLineBreakBefore()) State.LineDescent += SpacingBefore(State, ItemNo);
    int width = ParaWraps(item.ParaNo) && State.WordWrap ? TextWidth : DocumentWidth;
    State.LineWidth = SaturatedInt(int64_t(width) - right - lineLeft);
    State.LineLeft = SaturatedInt(int64_t(State.LeftMargin) + lineLeft);
    State.CharsOnLine = 0;
    State.HasLineAlignedItems = false;
    State.LineStart = State.DrawItemIndex;
    (void)style;
}

void TCustomRVFormattedData::GetLineIndents(TRVLineFormatState& State, int ItemNo, bool FirstLine,
                                            int& ParaLeft, int& Right, int& LineLeft) const {
    TRVStyle& style = *State.Style;
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    const TParaInfo& para = *style.ParaStyles().GetItem(item.ParaNo);
    const TRVScreenDeviceResolution& r = State.Resolution;
    if (State.FirstParaItem < 0 || State.FirstParaItem > ItemNo)
        State.FirstParaItem = GetFirstParaItem(ItemNo);
    int first = State.FirstParaItem;
    bool rtl = GetParaBiDiMode(item.ParaNo) == rvbdRightToLeft;
    const TRVListLevel* level = nullptr;
    const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&LiveItem(first));
    bool continues = first == 0 && (StateBits & rvdsContinuesPrevPara);
    int64_t value = 0;
    if (marker) level = marker->GetLevelInfo(&style);
    if (continues) {
        if (!level) {
            int listNo, levelNo;
            if (GetContinuedListLevel(listNo, levelNo) && listNo >= 0 && listNo < style.ListStyles().Count())
                level = style.ListStyles().GetItem(listNo)->GetLevelInfo(levelNo);
        }
        if (level) value = level->LeftIndent;
    } else if (level) {
        value = FirstLine && ItemNo == first ? level->MarkerIndent : level->LeftIndent;
    }
    if (level) {
        if (rtl) {
            Right = ScaleX(value, r);
            ParaLeft = LineLeft = ScaleX(para.LeftIndent, r);
        } else {
            ParaLeft = LineLeft = ScaleX(value, r);
            Right = ScaleX(para.RightIndent, r);
        }
        return;
    }
    ParaLeft = ScaleX(para.LeftIndent, r);
    Right = ScaleX(para.RightIndent, r);
    int64_t lineLeft = para.LeftIndent;
    if (FirstLine && !continues && !item.GetLineBreakBefore() && !item.GetBoolValue(iqFullLine))
        lineLeft += para.FirstIndent;
    LineLeft = ScaleX(lineLeft, r);
}

void TCustomRVFormattedData::RaiseLine(TRVLineFormatState& State, int NewAscent) {
    if (State.LineAscent >= NewAscent) return;
    int d = NewAscent - State.LineAscent;
    for (int i = State.LineStart; i < State.DrawItemIndex; ++i)
        DrawItems[i]->Top += d;
    State.BaselineY += d;
    State.LineAscent = NewAscent;
}
