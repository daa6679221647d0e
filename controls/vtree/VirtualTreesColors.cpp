// The tree's colours, its scroll-bar options and the list of clipboard
// formats it offers, admitted by the process-wide registry.
#include "controls/vtree/VirtualTreesColors.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr TColor DefaultColors[TVTColors::Count] = {
    clBtnShadow,  clHighlight, clHighlight, clHighlight, clBtnFace,   clBtnShadow, clBtnFace,   clBtnFace,
    clWindowText, clHighlight, clBtnFace,   clHighlight, clHighlight, clHighlight, clBtnShadow,
};

constexpr int BorderColorIndex = 7;

} // namespace

// ---- Colours -----------------------------------------------------------------------------

TVTColors::TVTColors(TBaseVirtualTree* AOwner) : FOwner(AOwner) {
    std::copy(std::begin(DefaultColors), std::end(DefaultColors), FColors);
}

void TVTColors::SetColor(int Index, TColor Value) {
    if (Index < 0 || Index >= Count || FColors[Index] == Value) return;
    FColors[Index] = Value;
    if (FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
    // The tree-line colour also outlines the buttons, which the painter draws from it anew.
    if (Index == BorderColorIndex)
        FOwner->FView->RedrawFrame();
    else
        FOwner->FView->Invalidate();
}

void TVTColors::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TVTColors*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    std::copy(std::begin(source->FColors), std::end(source->FColors), FColors);
    if (FOwner->UpdateCount() == 0) FOwner->InvalidateView();
}

// ---- Scroll-bar options ------------------------------------------------------------------

TScrollBarOptions::TScrollBarOptions(TBaseVirtualTree* AOwner) : FOwner(AOwner) {}

void TScrollBarOptions::SetAlwaysVisible(bool Value) {
    if (Value == FAlwaysVisible) return;
    FAlwaysVisible = Value;
    if (!FOwner->IsLoading() && FOwner->HandleAllocated()) FOwner->FView->RecreateWindow();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    if (!FOwner->IsLoading() && FOwner->HandleAllocated()) FOwner->FView->RecreateWindow();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle Value) {
    FScrollBarStyle = Value;
}

void TScrollBarOptions::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TScrollBarOptions*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    SetAlwaysVisible(source->FAlwaysVisible);
    HorizontalIncrement = source->HorizontalIncrement;
    SetScrollBars(source->FScrollBars);
    SetScrollBarStyle(source->FScrollBarStyle);
    VerticalIncrement = source->VerticalIncrement;
}

// ---- Clipboard formats -------------------------------------------------------------------

TClipboardFormats::TClipboardFormats(TBaseVirtualTree* AOwner) : FOwner(AOwner) {
    SetSorted(true);
}

bool TClipboardFormats::Admitted(const AnsiString& S) const {
    TClipFormat format;
    const TClipboardFormatListEntry* entry = ClipboardFormatRegistry().FindByDescription(S, format);
    return entry && entry->TreeClass && entry->TreeClass(FOwner);
}

int TClipboardFormats::Add(const AnsiString& S) {
    if (!Admitted(S)) return -1;
    int index;
    if (Find(S, index)) return index;
    return TStringList::Add(S);
}

void TClipboardFormats::Insert(int Index, const AnsiString& S, TObject* Object) {
    if (!Admitted(S)) return;
    (void)Index;
    (void)Object;
    throw EStringListError("Operation not allowed on sorted list");
}

// ---- The tree's setters ------------------------------------------------------------------

void TBaseVirtualTree::SetColors(TVTColors* Value) {
    FColors->Assign(Value);
}

void TBaseVirtualTree::SetScrollBarOptions(TScrollBarOptions* Value) {
    FScrollBarOptions->Assign(Value);
}

void TBaseVirtualTree::SetClipboardFormats(TClipboardFormats* Value) {
    FClipboardFormats->Clear();
    for (int i = 0; Value && i < Value->Count(); ++i)
        FClipboardFormats->Add(Value->Strings(i));
}

void TBaseVirtualTree::CreateParts() {
    FHeader = std::make_unique<TVTHeader>(this);
    FColors = std::make_unique<TVTColors>(this);
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(this);
    FClipboardFormats = std::make_unique<TClipboardFormats>(this);
    FCheckImages = GetCheckImageListFor(FCheckImageKind);
}
