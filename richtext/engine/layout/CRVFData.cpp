// The formatted document's life and state: construction, forgetting the
// layout, the font cache of a run, the whole-document formatting run,
// hyperlink areas and the lookups between items and drawing items.
#include "richtext/engine/layout/CRVFData.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/layout/CRVFDataCheck.h"
#include "richtext/engine/layout/CRVFData_p.h"
#include "richtext/engine/style/RVStyle.h"

using namespace rvlayout;

bool RVWrapAnywhere = false;
bool RVFitByExtentEx = false;

// ---------------------------------------------------------------- life

TCustomRVFormattedData::TCustomRVFormattedData() = default;

TCustomRVFormattedData::~TCustomRVFormattedData() {
    // Items may still ask the layout while they go; it goes first.
    DrawItems.Clear();
    Jumps.clear();
}

void TCustomRVFormattedData::ResetFormatting() {
    DrawItems.Clear();
    ClearJumps();
    if (HoverJumpData) HoverJumpData->StateBits &= ~TRVDataStates(rvstDrawHover);
    HoverJumpNo = DownJumpNo = -1;
    HoverJumpData = nullptr;
    JumpCount = 0;
    ActiveItem = CapturedItem = nullptr;
    HoverDrawItem = DownDrawItem = -1;
    StateBits &= ~TRVDataStates(rvstMouseSelecting | rvstLineSelection | rvstDrawHover);
    LastFormattedItem = -1;
    DocumentHeight = GetTopMargin() + GetBottomMargin();
    if (FreesItems())
        for (int i = 0; i < ItemCount(); ++i)
            if (TCustomRVItemInfo* item = GetItem(i)) item->DrawItemNo = -1;
}

void TCustomRVFormattedData::Clear() {
    bool wasClearing = StateBits & rvdsClearing;
    StateBits |= rvdsClearing;
    TScopeGuard restore([&] {
        if (!wasClearing) StateBits &= ~TRVDataStates(rvdsClearing);
    });
    SelStartDrawItem = SelEndDrawItem = -1;
    SelStartDrawOffs = SelEndDrawOffs = 0;
    ResetFormatting();
    TCustomRVData::Clear();
}

void TCustomRVFormattedData::DeleteItems(int Index, int Count) {
    SelStartDrawItem = SelEndDrawItem = -1;
    SelStartDrawOffs = SelEndDrawOffs = 0;
    TCustomRVData::DeleteItems(Index, Count);
}

void TCustomRVFormattedData::FreeItemObject(std::unique_ptr<TCustomRVItemInfo> Item, bool Clearing) {
    if (Item.get() == CapturedItem) CapturedItem = nullptr;
    if (Item.get() == ActiveItem) ActiveItem = nullptr;
    if (Item.get() == PartialSelectedItem) PartialSelectedItem = nullptr;
    TCustomRVData::FreeItemObject(std::move(Item), Clearing);
}

// ---------------------------------------------------------------- geometry

void TCustomRVFormattedData::GetDeviceScaling(TCanvas& Canvas, TRVScreenDeviceResolution& Resolution) const {
    FillScreenDeviceResolution(Resolution, Canvas);
}

bool TCustomRVFormattedData::GetContinuedListLevel(int& ListNo, int& Level) const {
    ListNo = Level = -1;
    return false;
}

void TCustomRVFormattedData::GetOrigin(int& X, int& Y) const {
    X = Y = 0;
}

TCanvas* TCustomRVFormattedData::GetCanvas() const {
    auto* root = dynamic_cast<TCustomRVFormattedData*>(GetRootData());
    return root && root != this ? root->GetCanvas() : nullptr;
}

void TCustomRVFormattedData::ScaleMargins(TRVLineFormatState& State) const {
    State.LeftMargin = ScaleX(GetLeftMargin(), State.Resolution);
}

bool TCustomRVFormattedData::ParaWraps(int ParaNo) const {
    TRVStyle* style = GetRVStyle();
    bool noWrap = style && (style->ParaStyles().GetItem(ParaNo)->Options & rvpaoNoWrap);
    return !noWrap && GetWordWrap();
}

// ---------------------------------------------------------------- the font cache

void TCustomRVFormattedData::CreateFontInfoCache(TCanvas& Canvas) {
    // The outer root keeps the cache of its run for its sub-documents.
    if (GetOuterRootData() != this || !GetRVStyle()) return;
    FOwnFontInfoCache.reset();
    FOwnFontInfoCache.reset(GetFontInfoCache(Canvas, this));
}

TRVFontInfoCache* TCustomRVFormattedData::GetFontInfoCache(TCanvas& Canvas, TCustomRVFormattedData* Owner) {
    auto* root = dynamic_cast<TCustomRVFormattedData*>(GetOuterRootData());
    if (root && root != this) return root->GetFontInfoCache(Canvas, Owner);
    if (FOwnFontInfoCache && FOwnFontInfoCache->Canvas == &Canvas) return FOwnFontInfoCache.get();
    TRVStyle* style = Owner->GetRVStyle();
    bool customPpi = Owner->GetFlags() & rvflCanUseCustomPPI;
    if (Owner->GetOptions() & rvoFastFormatting)
        return new TRVFontInfoCacheFast(Owner, style, &Canvas, customPpi);
    return new TRVFontInfoCacheLowResource(Owner, style, &Canvas, customPpi);
}

void TCustomRVFormattedData::DestroyFontInfoCache(TRVFontInfoCache*& Cache) {
    if (!Cache) return;
    auto* root = dynamic_cast<TCustomRVFormattedData*>(GetOuterRootData());
    bool shared = root && root->FOwnFontInfoCache.get() == Cache;
    if (shared && root == this)
        FOwnFontInfoCache.reset();
    else if (!shared)
        delete Cache;
    Cache = nullptr;
}

// ---------------------------------------------------------------- formatting run

void TCustomRVFormattedData::FormatOnOwnCanvas(bool ItemFlagB) {
    FormatDocument(false, true, false, 0, GetCanvas(), false, ItemFlagB, false);
}

void TCustomRVFormattedData::FormatDocument(bool Preserve, bool Force, bool NoScroll, int Depth,
                                            TCanvas* Canvas, bool OnlyTail, bool ItemFlagB, bool ItemFlagA) {
    bool top = Depth == 0 && !InAreaSizeUpdate && !(StateBits & rvstFormatting);
    FormatRun(Preserve, Force, NoScroll, Depth, Canvas, OnlyTail, ItemFlagB, ItemFlagA);
    if (top) RVCheckLayoutAfterOperation(*this);
}

void TCustomRVFormattedData::FormatRun(bool Preserve, bool Force, bool NoScroll, int Depth, TCanvas* Canvas,
                                       bool OnlyTail, bool ItemFlagB, bool ItemFlagA) {
    if (InAreaSizeUpdate) {
        InAreaSizeUpdate = false;
        return;
    }
    TRVStyle* style = GetRVStyle();
    if (Depth > 1 || !style || (StateBits & rvstFormatting)) return;
    if (OnlyTail && LastFormattedItem == ItemCount() - 1) return;
    // Appended items that continue the last paragraph need it all again.
    if (OnlyTail && (LastFormattedItem < 0 || !IsFromNewLine(LastFormattedItem + 1))) OnlyTail = false;
    if (!Canvas) Canvas = GetCanvas();
    if (!Canvas) return;
    bool top = Depth == 0;
    if (top) BeginFormatting();
    TScopeGuard finish([&] {
        if (!top) return;
        EndFormatting();
        LastFormattedItem = ItemCount() - 1;
        Formatted(0, ItemCount() - 1, false);
        AfterFormatting();
    });

    int selStartNo = -1, selEndNo = -1, selStartOffs = 0, selEndOffs = 0;
    int keptItemNo = -1, keptDistance = 0, keptVOffs = 0;
    if (Preserve && top) {
        GetSelectionItemBounds(selStartNo, selEndNo, selStartOffs, selEndOffs, false);
        if (!NoScroll) {
            int d = FindDrawItemByY(GetVOffs());
            if (d >= 0) {
                keptItemNo = DrawItems[d]->ItemNo;
                int first;
                if (GetItemFirstDrawItem(keptItemNo, first))
                    keptDistance = GetVOffs() - DrawItems[first]->Top;
            }
        }
    }
    if (OnlyTail) keptVOffs = GetVOffs();

    TRVLineFormatState state;
    state.Canvas = Canvas;
    state.Style = style;
    state.Flags = GetFlags();
    GetDeviceScaling(*Canvas, state.Resolution);
    ScaleMargins(state);
    int rightMargin = ScaleX(GetRightMargin(), state.Resolution);
    int minTextWidth = ScaleX(GetMinTextWidth(), state.Resolution);
    int firstToFormat = OnlyTail ? LastFormattedItem + 1 : 0;
    int oldDocumentWidth = DocumentWidth, oldTextWidth = TextWidth;
    DocumentWidth = std::max(GetWidth() - state.LeftMargin - rightMargin,
                             CalculateMinDocumentWidth(firstToFormat, &state.Resolution, Canvas));
    DocumentWidth = std::max(DocumentWidth, minTextWidth);
    if (GetOptions() & rvoClientTextWidth) {
        TextWidth = std::max(GetWidth() - state.LeftMargin - rightMargin, minTextWidth);
    } else {
        int maxTextWidth = ScaleX(GetMaxTextWidth(), state.Resolution);
        TextWidth = maxTextWidth > 0 && maxTextWidth < DocumentWidth ? maxTextWidth : DocumentWidth;
    }

    bool skip = !Force && Preserve && DocumentWidth == oldDocumentWidth && TextWidth == oldTextWidth;
    if (!skip) {
        if (OnlyTail) {
            state.BaselineY = DocumentHeight - GetBottomMargin();
            if (LastFormattedItem >= 0)
                state.BaselineY -=
                    ScaleY(style->ParaStyles().GetItem(GetItemPara(LastFormattedItem))->SpaceAfter,
                           state.Resolution);
            // The run goes on where the last one stopped.
            DrawItems.ApplyPendingDeletion();
        } else {
            ResetFormatting();
            state.BaselineY = GetTopMargin();
        }
        state.DrawItemIndex = DrawItems.Count();
        state.MaxLength = GetMaxLength();
        state.WordWrap = GetWordWrap();
        state.ItemFlagA = ItemFlagA;
        state.ItemFlagB = ItemFlagB;
        state.JumpTarget = &Jumps;
        state.JumpCount = OnlyTail ? JumpCount : 0;
        CreateFontInfoCache(*Canvas);
        state.FontCache = GetFontInfoCache(*Canvas, this);
        TRVFontInfoCache* cache = state.FontCache;
        TScopeGuard releaseCache([&] { DestroyFontInfoCache(cache); });
        FormatItems(state, firstToFormat, ItemCount() - 1);
        FinishPendingTab(state);
        int extra = FinishLine(state, !(StateBits & rvdsParaContinuesNext), state.DrawItemIndex);
        JumpCount = state.JumpCount;
        DocumentHeight = GetBottomMargin() + state.BaselineY + state.LineDescent + extra;
        if (ItemCount() > 0)
            DocumentHeight += ScaleY(style->ParaStyles().GetItem(GetItemPara(ItemCount() - 1))->SpaceAfter,
                                     state.Resolution);
        AdjustVScrollUnits();
        AdjustJumpsCoords();
    }

    int oldWidth = GetWidth(), oldHeight = GetHeight();
    InAreaSizeUpdate = true;
    {
        TScopeGuard clear([&] { InAreaSizeUpdate = false; });
        SetDocumentAreaSize(GetLeftMargin() + DocumentWidth + GetRightMargin(), DocumentHeight, true);
    }
    if (GetWidth() != oldWidth || GetHeight() != oldHeight) {
        // A scroll bar came or went: once more for the new client size.
        EndFormatting();
        TScopeGuard again([&] {
            if (top) BeginFormatting();
        });
        FormatDocument(Preserve, Force, false, Depth + 1, Canvas, false, ItemFlagB, ItemFlagA);
    }
    if (!top) return;
    if (Preserve && !NoScroll) {
        int first;
        if (keptItemNo >= 0 && keptItemNo < ItemCount() && GetItemFirstDrawItem(keptItemNo, first))
            VScrollTo(DrawItems[first]->Top + keptDistance, false);
        else
            VScrollTo(0, false);
    }
    PlaceControls();
    if (OnlyTail) VScrollTo((GetOptions() & rvoScrollToEnd) ? DocumentHeight : keptVOffs, false);
    if (Preserve) StoreSelectionBounds(selStartNo, selStartOffs, selEndNo, selEndOffs);
}

void TCustomRVFormattedData::FormatItems(TRVLineFormatState& State, int FirstItemNo, int LastItemNo) {
    TRVStyle* style = State.Style;
    for (int i = FirstItemNo; i <= LastItemNo; ++i) {
        const TCustomRVItemInfo& item = LiveItem(i);
        if (item.StartsParagraph()) State.FirstParaItem = i;
        if (item.StyleNo >= 0 && style->ParaStyles().GetItem(item.ParaNo)->Alignment == rvaJustify)
            FormatJustifiedText(State, i);
        else
            FormatItemPart(State, i, 0, item.StyleNo >= 0 ? ItemLength(i) : 0);
    }
}

// ---------------------------------------------------------------- hyperlink areas

void TCustomRVFormattedData::ClearJumps() {
    Jumps.clear();
}

void TCustomRVFormattedData::AdjustJumpsCoords() {
    int x, y;
    GetOrigin(x, y);
    int shift = GetVAlignShift();
    for (auto& jump : Jumps) {
        const TRVDrawLineInfo& d = *DrawItems[jump->DrawItemNo];
        jump->Left = d.Left + x;
        jump->Top = d.Top + y - shift;
    }
}

void TCustomRVFormattedData::AddJump(TRVLineFormatState& State, int DrawItemNo, int JumpNo, TCursor Cursor) {
    auto jump = std::make_unique<TRVJumpInfo>();
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    jump->Data = this;
    jump->Width = d.Width;
    jump->Height = d.Height;
    jump->JumpNo = JumpNo;
    jump->DrawItemNo = DrawItemNo;
    jump->Cursor = Cursor;
    State.JumpTarget->push_back(std::move(jump));
}

void TCustomRVFormattedData::PlaceControls() {
    // Embedded controls come with the controls; until then nothing is placed.
    if ((GetFlags() & rvflNoControls) || (StateBits & rvstNoControlsPlacing)) return;
}

// ---------------------------------------------------------------- items and drawing items

void TCustomRVFormattedData::SetItemDrawItemNo(int ItemNo, int DrawItemNo) {
    // Items shared with another document keep that document's numbers.
    if (!SharesItems()) LiveItem(ItemNo).DrawItemNo = DrawItemNo;
}

int TCustomRVFormattedData::DrawItemStartOffset(int DrawItemNo) const {
    return GetItemStyle(DrawItems[DrawItemNo]->ItemNo) >= 0 ? 1 : 0;
}

int TCustomRVFormattedData::DrawItemEndOffset(int DrawItemNo) const {
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    return GetItemStyle(d.ItemNo) >= 0 ? d.Length + 1 : 1;
}

bool TCustomRVFormattedData::IsDrawItemParaStart(int DrawItemNo) const {
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    return d.FromNewLine && d.Offs <= 1 && IsParaStart(d.ItemNo);
}

bool TCustomRVFormattedData::GetItemFirstDrawItem(int ItemNo, int& DrawItemNo) const {
    DrawItemNo = -1;
    if (ItemNo < 0 || ItemNo >= ItemCount()) return false;
    int count = DrawItems.Count();
    int stored = LiveItem(ItemNo).DrawItemNo;
    if (stored >= 0 && stored < count && DrawItems[stored]->ItemNo == ItemNo &&
        (stored == 0 || DrawItems[stored - 1]->ItemNo != ItemNo)) {
        DrawItemNo = stored;
        return true;
    }
    // Drawing items follow their items in order.
    int lo = 0, hi = count;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (DrawItems[mid]->ItemNo < ItemNo)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < count && DrawItems[lo]->ItemNo == ItemNo) DrawItemNo = lo;
    return DrawItemNo >= 0;
}

bool TCustomRVFormattedData::GetItemCoords(int ItemNo, int& Left, int& Top) const {
    int d;
    if (!GetItemFirstDrawItem(ItemNo, d)) return false;
    Left = DrawItems[d]->Left;
    Top = DrawItems[d]->Top;
    return true;
}

void TCustomRVFormattedData::GetLineDrawItemRange(int DrawItemNo, int& First, int& Last) const {
    First = DrawItemNo;
    while (First > 0 && !DrawItems[First]->FromNewLine)
        --First;
    Last = DrawItemNo;
    while (Last + 1 < DrawItems.Count() && !DrawItems[Last + 1]->FromNewLine)
        ++Last;
}

void TCustomRVFormattedData::ItemToDrawItem(int ItemNo, int ItemOffset, int& DrawItemNo,
                                            int& DrawItemOffset) const {
    DrawItemNo = -1;
    DrawItemOffset = 0;
    if (ItemNo < 0 || !GetItemFirstDrawItem(ItemNo, DrawItemNo)) return;
    if (GetItemStyle(ItemNo) < 0) {
        DrawItemOffset = ItemOffset;
        return;
    }
    while (DrawItemNo + 1 < DrawItems.Count() && DrawItems[DrawItemNo + 1]->ItemNo == ItemNo &&
           DrawItems[DrawItemNo + 1]->Offs <= ItemOffset)
        ++DrawItemNo;
    DrawItemOffset = ItemOffset - DrawItems[DrawItemNo]->Offs + 1;
}

void TCustomRVFormattedData::DrawItemToItem(int DrawItemNo, int DrawItemOffset, int& ItemNo,
                                            int& ItemOffset) const {
    if (DrawItemNo < 0 || DrawItemNo >= DrawItems.Count()) {
        ItemNo = -1;
        ItemOffset = 0;
        return;
    }
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    ItemNo = d.ItemNo;
    ItemOffset = GetItemStyle(ItemNo) >= 0 ? d.Offs + DrawItemOffset - 1 : DrawItemOffset;
}

int TCustomRVFormattedData::FindDrawItemByY(int Y) const {
    int count = DrawItems.Count();
    if (count == 0) return -1;
    // Lines come in order: the first drawing item whose bottom lies below Y.
    int lo = 0, hi = count;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        const TRVDrawLineInfo& d = *DrawItems[mid];
        if (d.Top + d.Height <= Y)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo >= count) lo = count - 1;
    while (lo > 0 && !DrawItems[lo]->FromNewLine)
        --lo;
    return lo;
}

void TCustomRVFormattedData::GetSelectionItemBounds(int& StartNo, int& EndNo, int& StartOffs, int& EndOffs,
                                                    bool Normalize) const {
    DrawItemToItem(SelStartDrawItem, SelStartDrawOffs, StartNo, StartOffs);
    DrawItemToItem(SelEndDrawItem, SelEndDrawOffs, EndNo, EndOffs);
    if (Normalize && (StartNo > EndNo || (StartNo == EndNo && StartOffs > EndOffs))) {
        std::swap(StartNo, EndNo);
        std::swap(StartOffs, EndOffs);
    }
}

void TCustomRVFormattedData::StoreSelectionBounds(int StartNo, int StartOffs, int EndNo, int EndOffs) {
    ItemToDrawItem(StartNo, StartOffs, SelStartDrawItem, SelStartDrawOffs);
    ItemToDrawItem(EndNo, EndOffs, SelEndDrawItem, SelEndDrawOffs);
}
