// The document's item list, its construction, the questions it asks its
// root, item access, freeing and deleting items, and its text helpers.
#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/document/CRVDataCheck.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringLists.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/items/RVLabelItem.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/style/RVStyle.h"
#include "richtext/engine/text/RVCodePages.h"

// ---------------------------------------------------------------- item list

void TRVItemList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EZoroZudoError(Format("List index out of bounds (%d)", {Index}));
}

const AnsiString& TRVItemList::Strings(int Index) const {
    CheckIndex(Index);
    return FItems[std::size_t(Index)].Text;
}

void TRVItemList::SetString(int Index, const AnsiString& S) {
    CheckIndex(Index);
    FItems[std::size_t(Index)].Text = S;
    Changed();
}

TCustomRVItemInfo* TRVItemList::Objects(int Index) const {
    CheckIndex(Index);
    return FItems[std::size_t(Index)].Item.get();
}

std::unique_ptr<TCustomRVItemInfo> TRVItemList::ReleaseObject(int Index) {
    CheckIndex(Index);
    Changed();
    return std::move(FItems[std::size_t(Index)].Item);
}

int TRVItemList::AddObject(const AnsiString& S, std::unique_ptr<TCustomRVItemInfo> Item) {
    if (Item) Item->ItemNoHint = Count();
    FItems.push_back({S, std::move(Item)});
    Changed();
    return Count() - 1;
}

void TRVItemList::InsertObject(int Index, const AnsiString& S, std::unique_ptr<TCustomRVItemInfo> Item) {
    if (Index != Count()) CheckIndex(Index);
    if (Item) Item->ItemNoHint = Index;
    FItems.insert(FItems.begin() + Index, TEntry{S, std::move(Item)});
    Changed();
}

void TRVItemList::DeleteRange(int Index, int ACount) {
    if (ACount <= 0) return;
    CheckIndex(Index);
    CheckIndex(Index + ACount - 1);
    FItems.erase(FItems.begin() + Index, FItems.begin() + Index + ACount);
    Changed();
}

int TRVItemList::IndexOfObject(const TCustomRVItemInfo* Item) const {
    if (!Item) return -1;
    int count = Count();
    int hint = std::clamp(Item->ItemNoHint, 0, std::max(count - 1, 0));
    auto at = [&](int i) {
        ++FSearchSteps;
        return FItems[std::size_t(i)].Item.get() == Item;
    };
    for (int d = 0; hint - d >= 0 || hint + d < count; ++d) {
        if (hint + d < count && at(hint + d)) return Item->ItemNoHint = hint + d;
        if (d > 0 && hint - d >= 0 && at(hint - d)) return Item->ItemNoHint = hint - d;
    }
    return -1;
}

// ---------------------------------------------------------------- life

TCustomRVData::TCustomRVData() : FOwnItems(std::make_unique<TRVItemList>()) {
    // Before the first document exists, as the item classes' own units
    // would at start-up.
    RVRegisterDocumentItemClasses();
    ItemList = FOwnItems.get();
}

TCustomRVData::~TCustomRVData() {
    // Borrowed items belong to their own document.
    ItemList = FOwnItems.get();
    TCustomRVData::Clear();
}

// ---------------------------------------------------------------- root questions

TRVStyle* TCustomRVData::GetRVStyle() const {
    TCustomRVData* parent = GetParentData();
    return parent ? parent->GetRVStyle() : nullptr;
}

TRVBiDiMode TCustomRVData::GetBiDiMode() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetBiDiMode() : rvbdUnspecified;
}

AnsiString TCustomRVData::GetDelimiters() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetDelimiters() : AnsiString(RVDefaultDelimiters);
}

TRVOptions TCustomRVData::GetOptions() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetOptions() : RVDefaultOptions;
}

void TCustomRVData::SetOptions(TRVOptions Value) {
    TCustomRVData* root = GetRootData();
    if (root != this) root->SetOptions(Value);
}

bool TCustomRVData::GetWordWrap() const {
    TCustomRVData* root = GetOuterRootData();
    return root != this ? root->GetWordWrap() : true;
}

int TCustomRVData::GetMaxLength() const {
    TCustomRVData* root = GetOuterRootData();
    return root != this ? root->GetMaxLength() : 0;
}

void TCustomRVData::GetParentInfo(int& ItemNo, std::unique_ptr<TRVStoreSubRVData>& Location) const {
    ItemNo = -1;
    Location.reset();
}

// ---------------------------------------------------------------- item access

TCustomRVItemInfo* TCustomRVData::GetItem(int Index) const {
    return ItemList->Objects(Index);
}

TCustomRVItemInfo& TCustomRVData::LiveItem(int Index) const {
    TCustomRVItemInfo* item = ItemList->Objects(Index);
    if (!item) throw EZoroZudoError(errRVItemIndex);
    return *item;
}

AnsiString TCustomRVData::GetItemTextAnsi(int Index) const {
    const TCustomRVItemInfo& item = LiveItem(Index);
    const AnsiString& text = GetItemText(Index);
    if (item.StyleNo < 0 || !item.IsUnicode()) return text;
    return RawUnicodeToAnsi(unsigned(GetStyleCodePage(GetActualStyle(item))), text);
}

int TCustomRVData::ResolveStyleNo(int StyleNo, int ParaNo) const {
    if (StyleNo != rvsDefStyle) return StyleNo;
    TRVStyle* style = GetRVStyle();
    if (!style) return 0;
    int def = style->ParaStyles().GetItem(ParaNo)->DefStyleNo;
    return def < 0 ? 0 : def;
}

bool TCustomRVData::PageBreakBefore(int Index) const {
    if (Index < 0 || Index >= ItemCount()) throw EZoroZudoError(errRVItemIndex);
    if (Index > 0 && LiveItem(Index - 1).StyleNo == rvsListMarker)
        return LiveItem(Index - 1).GetPageBreakBefore();
    return LiveItem(Index).GetPageBreakBefore();
}

int TCustomRVData::ItemLength(int Index) const {
    const TCustomRVItemInfo& item = LiveItem(Index);
    return item.StyleNo >= 0 ? ItemTextLength(GetItemText(Index), item.ItemOptions) : 1;
}

int TCustomRVData::ItemEndOffset(int Index) const {
    return LiveItem(Index).StyleNo >= 0 ? ItemLength(Index) + 1 : 1;
}

void TCustomRVData::ClampItemNo(int& Index) const {
    Index = std::max(std::min(Index, ItemCount() - 1), 0);
}

bool TCustomRVData::SetItemExtraIntProperty(int Index, int Code, int Value) {
    TCustomRVItemInfo* item = &LiveItem(Index);
    bool done = item->SetExtraIntProperty(Code, Value);
    // A picture of another size or pace needs a fresh animator.
    if (done && (Code == rvepWidth || Code == rvepHeight || Code == rvepAnimationInterval))
        item->UpdateAnimator(this);
    return done;
}

bool TCustomRVData::GetItemExtraIntProperty(int Index, int Code, int& Value) const {
    return LiveItem(Index).GetExtraIntProperty(Code, Value);
}

bool TCustomRVData::SetItemExtraStrProperty(int Index, int Code, const AnsiString& Value) {
    return LiveItem(Index).SetExtraStrProperty(Code, Value);
}

bool TCustomRVData::GetItemExtraStrProperty(int Index, int Code, AnsiString& Value) const {
    return LiveItem(Index).GetExtraStrProperty(Code, Value);
}

TRVBiDiMode TCustomRVData::GetItemBiDiMode(int Index) const {
    const TCustomRVItemInfo& item = LiveItem(Index);
    TRVStyle* style = GetRVStyle();
    if (item.StyleNo >= 0 && style) {
        TRVBiDiMode mode = style->TextStyles().GetItem(GetActualStyle(item))->BiDiMode;
        if (mode != rvbdUnspecified) return mode;
    }
    return GetParaBiDiMode(item.ParaNo);
}

TRVBiDiMode TCustomRVData::GetParaBiDiMode(int ParaNo) const {
    if (TRVStyle* style = GetRVStyle()) {
        TRVBiDiMode mode = style->ParaStyles().GetItem(ParaNo)->BiDiMode;
        if (mode != rvbdUnspecified) return mode;
    }
    return GetBiDiMode();
}

int TCustomRVData::GetStyleCodePage(int StyleNo) const {
    TRVStyle* style = GetRVStyle();
    if (!style) return 0;
    if (StyleNo < 0) return int(style->DefCodePage);
    return int(style->GetStyleCodePage(StyleNo));
}

int TCustomRVData::GetDefCodePage() const {
    TRVStyle* style = GetRVStyle();
    return style ? int(style->DefCodePage) : 0;
}

// ---------------------------------------------------------------- freeing and deleting

void TCustomRVData::FreeItem(int Index, bool Clearing) {
    TCustomRVItemInfo* item = GetItem(Index);
    if (!item) return;
    AnsiString text = GetItemText(Index);
    DoItemAction(rviaDestroying, item, text, this);
    FreeItemObject(ItemList->ReleaseObject(Index), Clearing);
}

void TCustomRVData::FreeItemObject(std::unique_ptr<TCustomRVItemInfo> Item, bool Clearing) {
    if (!Item) return;
    RemoveSeqFromList(Item.get(), Clearing);
    RemoveMarkerFromList(Item.get(), Clearing);
    FreeCheckpoint(Item->Checkpoint, true, true);
}

namespace {

// Frees item Index even when telling the owner fails, so that no checkpoint
// of a freed item stays in the chain.
void FreeItemAnyway(TCustomRVData& Data, int Index, bool Clearing, TFirstError& Errors) {
    Errors.Run([&] { Data.FreeItem(Index, Clearing); });
    if (Data.ItemList->Objects(Index))
        Errors.Run([&] { Data.FreeItemObject(Data.ItemList->ReleaseObject(Index), Clearing); });
}

} // namespace

void TCustomRVData::DeleteItems(int Index, int Count) {
    FMarkerPlaceholder = nullptr;
    if (!FreesItems() || Index >= ItemCount() || Count <= 0) return;
    GetItem(Index); // a negative index raises the list's error
    Count = std::min(Count, ItemCount() - Index);
    TFirstError errors;
    {
        TUpdateBracket<TRVItemList> update(*ItemList);
        for (int i = Index; i < Index + Count; ++i)
            FreeItemAnyway(*this, i, false, errors);
        ItemList->DeleteRange(Index, Count);
    }
    errors.RaiseIfAny();
    RVCheckAfterOperation(*this);
}

void TCustomRVData::Clear() {
    FMarkerPlaceholder = nullptr;
    bool wasClearing = StateBits & rvdsClearing;
    StateBits |= rvdsClearing;
    TScopeGuard restore([&] {
        if (!wasClearing) StateBits &= ~TRVDataStates(rvdsClearing);
    });
    StateBits &= ~TRVDataStates(rvdsContinuesPrevPara | rvdsParaContinuesNext);
    ContinuedListNo = ContinuedListLevel = -1;
    TFirstError errors;
    if (FreesItems()) {
        TUpdateBracket<TRVItemList> update(*ItemList);
        for (int i = 0; i < ItemCount(); ++i)
            FreeItemAnyway(*this, i, true, errors);
        ItemList->Clear();
    }
    FreeCheckpoint(PendingCheckpoint, false, true);
    CheckpointHead = CheckpointTail = nullptr;
    CheckpointCount = 0;
    if (TStringList* props = GetDocProperties()) props->Clear();
    errors.RaiseIfAny();
}

bool TCustomRVData::FreesItems() const {
    return !SharesItems() && ItemList == FOwnItems.get();
}

void TCustomRVData::ShareItemsFrom(TCustomRVData& Data) {
    if (!SharesItems()) return;
    Clear();
    ItemList = Data.ItemList;
}

void TCustomRVData::UseItemsOf(TCustomRVData* Data) {
    ItemList = Data ? Data->ItemList : FOwnItems.get();
}

// ---------------------------------------------------------------- text

AnsiString TCustomRVData::ReplaceTabs(const AnsiString& Text, int StyleNo, bool Unicode) const {
    constexpr int DefaultSpacesInTab = 8;
    int spaces = DefaultSpacesInTab;
    if (TRVStyle* style = GetRVStyle()) {
        // A style sheet that asks for no spaces would lose the tab.
        if (style->SpacesInTab > 0) spaces = style->SpacesInTab;
        Unicode = IsUnicodeStyle(StyleNo);
    }
    return Unicode ? ExpandTabsW(Text, spaces) : ExpandTabs(Text, spaces);
}

bool TCustomRVData::DelimitersContain(const AnsiString& Delimiters, char16_t Ch) {
    return RVCodePageToWide(RVProgramCodePage, Delimiters).find(Ch) != WideString::npos;
}

bool TCustomRVData::IsDelimiter(const AnsiString& Text, int Pos, TRVItemOptions ItemOptions) const {
    if (Pos < 1) return false;
    if (ItemOptions & ioUnicodeText) {
        if (std::size_t(Pos) * 2 > Text.size()) return false;
        auto lo = uint8_t(Text[std::size_t(Pos - 1) * 2]), hi = uint8_t(Text[std::size_t(Pos - 1) * 2 + 1]);
        return IsDelimiterChar(char16_t(lo | hi << 8));
    }
    if (std::size_t(Pos) > Text.size()) return false;
    return GetDelimiters().find(Text[std::size_t(Pos - 1)]) != AnsiString::npos;
}

void TCustomRVData::ReplaceNulChars(AnsiString& Text) {
    std::replace(Text.begin(), Text.end(), '\0', '?');
}

void TCustomRVData::CheckUnicodeByteLength(const AnsiString& Text) {
    if (Text.size() % 2) RaiseUnicodeError();
}

bool TCustomRVData::IsUnicodeStyle(int StyleNo) const {
    TRVStyle* style = GetRVStyle();
    return style && style->TextStyles().GetItem(StyleNo)->Unicode;
}
