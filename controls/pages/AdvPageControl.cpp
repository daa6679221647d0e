// The page control and its sheets: construction, the page list, activation,
// tab texts and properties.
#include "controls/pages/AdvPageControl_p.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
// Spaces appended to the active tab's text never exceed this many, whatever
// the fonts measure.
constexpr int MaxPadSpaces = 64;

// Steps of a sheet's background gradient.
constexpr int SheetGradientSteps = 64;

// The first control inside Parent that the Tab key would reach.
TWinControl* FirstTabStop(TWinControl* Parent) {
    for (TWinControl* w : Parent->TabOrderList())
        if (w->TabStop() && w->CanFocus()) return w;
    return nullptr;
}
} // namespace

// TTabMargin

void TTabMargin::Assign(TPersistent* Source) {
    if (auto* m = dynamic_cast<TTabMargin*>(Source)) {
        std::copy(std::begin(m->FMargins), std::end(m->FMargins), std::begin(FMargins));
        return;
    }
    // Any other source is ignored.
}

void TTabMargin::SetMargin(int Index, int Value) {
    if (FMargins[Index] == Value) return;
    if (OnMarginChange) OnMarginChange(Value, FMargins[Index], Index);
    FMargins[Index] = Value;
}

// TAdvTabSheet

TAdvTabSheet::TAdvTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle |= csAcceptsControls | csNoDesignVisible;
    SetAlign(TAlign::alClient);
    SetVisible(false);
    SetColor(clNone);
}

TAdvTabSheet::~TAdvTabSheet() {
    if (FPageControl && FPageControl->FUndockSheet == this) FPageControl->FUndockSheet = nullptr;
    if (FPageControl) FPageControl->RemovePage(this);
}

void TAdvTabSheet::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        ComputeTabText();
        if (FPageControl && FTabShowing) FPageControl->UpdateTab(this);
        break;
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
        if (FPageControl) FPageControl->Invalidate();
        break;
    case CM_SHOWINGCHANGED:
        // A handler's error is reported here and stays inside the message.
        CallAtEventBoundary(this, [this] {
            if (Showing())
                DoShow();
            else
                DoHide();
        });
        break;
    case WM_ERASEBKGND:
        if (auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam)) {
            canvas->Brush()->SetColor(BackColor());
            canvas->FillRect(ClientRect());
        }
        Message.Result = 1;
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

TColor TAdvTabSheet::BackColor() const {
    if (Color() != clNone) return Color();
    return FPageControl ? FPageControl->Color() : clBtnFace;
}

void TAdvTabSheet::ComputeTabText() {
    const AnsiString& caption = Caption();
    if (FShowClose)
        FTabText = caption + " ";
    else
        FTabText = caption.size() < 3 ? AnsiString() : caption.substr(0, caption.size() - 2);
}

void TAdvTabSheet::SetPageControl(TAdvPageControl* Value) {
    if (Value == FPageControl) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value) Value->InsertPage(this);
}

int TAdvTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    auto& pages = FPageControl->FPages;
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : int(it - pages.begin());
}

int TAdvTabSheet::TabIndex() const {
    if (!FTabShowing || !FPageControl) return -1;
    int index = 0;
    for (TAdvTabSheet* p : FPageControl->FPages) {
        if (p == this) return index;
        if (p->FTabShowing) ++index;
    }
    return -1;
}

void TAdvTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    int count = FPageControl->PageCount();
    if (Value < 0 || Value > count - 1)
        throw EListError(Format("%d is an invalid PageIndex value.  PageIndex must be between 0 and %d",
                                {Value, count - 1}));
    int oldTab = TabIndex();
    auto& pages = FPageControl->FPages;
    pages.erase(pages.begin() + PageIndex());
    pages.insert(pages.begin() + Value, this);
    if (oldTab >= 0) FPageControl->MoveTab(oldTab, TabIndex());
}

void TAdvTabSheet::SetColorTo(TColor Value) {
    if (Value == FColorTo) return;
    FColorTo = Value;
    Invalidate();
    if (FPageControl) FPageControl->Invalidate();
}

void TAdvTabSheet::SetTabColor(TColor Value) {
    FTabColor = Value;
    if (FPageControl) FPageControl->Invalidate();
}

void TAdvTabSheet::SetTabColorTo(TColor Value) {
    FTabColorTo = Value;
    if (FPageControl) FPageControl->Invalidate();
}

void TAdvTabSheet::SetTextColor(TColor Value) {
    FTextColor = Value;
    if (FPageControl) FPageControl->Invalidate();
}

void TAdvTabSheet::SetTabGradientDirection(TGradientDirection Value) {
    if (Value == FTabGradientDirection) return;
    FTabGradientDirection = Value;
    if (FPageControl) FPageControl->Invalidate();
}

void TAdvTabSheet::SetImageIndex(int Value) {
    FImageIndex = Value < 0 ? -1 : Value;
    ComputeTabText();
    if (FPageControl && FTabShowing) FPageControl->UpdateTab(this);
}

void TAdvTabSheet::SetShowClose(bool Value) {
    FShowClose = Value;
    ComputeTabText();
    if (FPageControl) {
        if (FTabShowing) FPageControl->UpdateTab(this);
        FPageControl->Invalidate();
    }
}

void TAdvTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible) return;
    FTabVisible = Value;
    UpdateTabShowing();
    if (FPageControl && FTabShowing) FPageControl->UpdateTab(this);
}

void TAdvTabSheet::SetTabEnable(bool Value) {
    if (Value == FTabEnable) return;
    if (FPageControl && FPageControl->FActivePage == this) throw Exception("Can not disable active tab.");
    FTabEnable = Value;
    if (FPageControl) FPageControl->Invalidate();
}

void TAdvTabSheet::SetHighlighted(bool Value) {
    FHighlighted = Value;
    // A sheet being read tells its control when everything is loaded.
    if (FPageControl && FTabShowing && !(ComponentState() & csReading))
        FPageControl->Perform(TCM_HIGHLIGHTITEM, WPARAM(TabIndex()), Value ? 1 : 0);
}

void TAdvTabSheet::UpdateTabShowing() {
    SetTabShowing(FPageControl && FTabVisible);
}

void TAdvTabSheet::SetTabShowing(bool Value) {
    if (Value == FTabShowing) return;
    TAdvPageControl* control = FPageControl;
    if (Value) {
        FTabShowing = true;
        control->InsertTab(TabIndex(), FTabText, this);
        if (FHighlighted) control->Perform(TCM_HIGHLIGHTITEM, WPARAM(TabIndex()), 1);
        // The shown page's own tab comes back selected.
        if (control->FActivePage == this) control->SetTabIndex(TabIndex());
    } else {
        int index = TabIndex();
        FTabShowing = false;
        if (!control) return;
        control->DeleteTab(index);
        if (control->FActivePage == this) control->SetTabIndex(control->SuccessorTab(index));
    }
    // A shown page whose tab is hidden leaves the strip without a selection:
    // other tabs coming and going must not take that for "no page".
    TAdvTabSheet* active = control->FActivePage;
    if (active && active != this && !active->FTabShowing) return;
    control->SyncActivePageFromTab();
}

void TAdvTabSheet::Paint() {
    if (FColorTo != clNone)
        DrawGradient(Canvas(), BackColor(), FColorTo, SheetGradientSteps, ClientRect(), false);
}

void TAdvTabSheet::DoShow() {
    if (OnShow) OnShow(this);
}

void TAdvTabSheet::DoHide() {
    if (OnHide) OnHide(this);
}

// TAdvPageControl

TAdvPageControl::TAdvPageControl(TComponent* AOwner)
    : TCustomTabControl(AOwner), FActiveFont(std::make_unique<TFont>()),
      FTabBackGround(std::make_unique<TBitmap>()), FTabBackGroundActive(std::make_unique<TBitmap>()),
      FTabMargin(std::make_unique<TTabMargin>()), FCloseGlyph(std::make_unique<TBitmap>()) {
    FControlStyle |= csOpaque | csDoubleClicks;
    SetColor(clBtnFace);
    FActiveFont->SetName("Tahoma");
    FActiveFont->OnChange = [this](TObject*) {
        UpdateActiveTabText(FActivePage);
        Invalidate();
    };
    FTabMargin->OnMarginChange = [this](int NewValue, int OldValue, int Index) {
        MarginChanged(NewValue, OldValue, Index);
    };
    FSpacer = new TImageList(this);
    FSpacer->SetSize(1, 1);
    SetNativeImages(FSpacer);
    SetOwnerDraw(!FTabBorder3D);
    OnTabChanged = [this](TObject*) { Change(); };
    // Built in code, the control counts as loaded from the start.
    FLoaded = true;
}

TAdvPageControl::~TAdvPageControl() {
    // Sheets are freed by their owners (or as children), never through a
    // control that is going away.
    for (TAdvTabSheet* page : FPages) {
        page->FPageControl = nullptr;
        page->FTabShowing = false;
    }
    FPages.clear();
    FActivePage = nullptr;
    FActiveFont->OnChange = nullptr;
    FTabMargin->OnMarginChange = nullptr;
}

void TAdvPageControl::Loaded() {
    for (TAdvTabSheet* page : FPages)
        page->SetHighlighted(page->Highlighted());
    UpdateSpacer();
    FLoaded = true;
    for (int i = PageCount() - 1; i >= 0; --i)
        UpdateTab(FPages[std::size_t(i)]);
    if (FActivePage) UpdateActiveTabText(FActivePage);
}

AnsiString TAdvPageControl::Version() const {
    const uint32_t version = 0x01050008;
    return IntToStr(version >> 24) + "." + IntToStr((version >> 16) & 0xFF) + "." +
           IntToStr((version >> 8) & 0xFF) + "." + IntToStr(version & 0xFF);
}

void TAdvPageControl::InsertPage(TAdvTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    Page->UpdateTabShowing();
    if (Page->FTextColor == 0) Page->FTextColor = FDefaultTextColor;
    if (Page->FTabColor == clNone) Page->FTabColor = FDefaultTabColor;
    if (Page->FTabColorTo == clNone) Page->FTabColorTo = FDefaultTabColorTo;
}

void TAdvPageControl::RemovePage(TAdvTabSheet* Page) {
    TAdvTabSheet* next = FindNextEnabledPage(Page, true);
    if (next == Page) next = nullptr;
    bool wasActive = FActivePage == Page;
    Page->SetTabShowing(false);
    Page->FPageControl = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    // Only the loss of the shown page moves the control to another page.
    if (wasActive || FActivePage == Page) {
        SetActivePage(next);
        if (FActivePage == Page) {
            FActivePage = nullptr;
            SetTabIndex(-1);
        }
        Page->SetVisible(false);
    }
    if (FHoverTab >= PageCount()) FHoverTab = -1;
    Invalidate();
}

int TAdvPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TAdvPageControl::ActivatePage(TAdvTabSheet* Page) {
    if (Page == FActivePage || !Page || !Page->FTabEnable) return;
    TCustomForm* form = GetParentForm(this);
    TAdvTabSheet* old = FActivePage;
    if (form && old && form->ActiveControl() && old->ContainsControl(form->ActiveControl())) {
        form->SetActiveControl(old);
        if (form->ActiveControl() != old) {
            SetTabIndex(old->TabIndex());
            return;
        }
    }
    Page->BringToFront();
    Page->SetVisible(true);
    if (form && old && form->ActiveControl() == old) {
        if (Page->CanFocus())
            form->SetActiveControl(Page);
        else
            form->SetActiveControl(this);
    }
    if (old) old->SetVisible(false);
    FActivePage = Page;
    UpdateActiveTabText(old);
    UpdateActiveTabText(Page);
    if (form && form->ActiveControl() == Page)
        if (TWinControl* first = FirstTabStop(Page)) form->SetActiveControl(first);
}

void TAdvPageControl::SetActivePage(TAdvTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    ActivatePage(Page);
    if (!Page) {
        SetTabIndex(-1);
        if (FActivePage) HideActivePage();
    } else {
        // A refused page leaves the strip on the page that is shown.
        SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
    }
    Invalidate();
}

// No page shows any more; the focus does not stay on a page out of sight.
void TAdvPageControl::HideActivePage() {
    TAdvTabSheet* old = FActivePage;
    FActivePage = nullptr;
    TCustomForm* form = GetParentForm(this);
    if (form && form->ActiveControl() && old->ContainsControl(form->ActiveControl()))
        if (!form->SetActiveControl(CanFocus() ? this : nullptr)) form->SetActiveControl(nullptr);
    old->SetVisible(false);
    UpdateActiveTabText(old);
}

void TAdvPageControl::ShowControl(TControl* AControl) {
    if (auto* sheet = dynamic_cast<TAdvTabSheet*>(AControl); sheet && sheet->FPageControl == this)
        SetActivePage(sheet);
    TCustomTabControl::ShowControl(AControl);
}

void TAdvPageControl::SetActivePageIndex(int Index) {
    SetActivePage(Index >= 0 && Index < PageCount() ? FPages[std::size_t(Index)] : nullptr);
}

void TAdvPageControl::SyncActivePageFromTab() {
    int index = TabIndex();
    if (index < 0)
        SetActivePage(nullptr);
    else
        SetActivePage(static_cast<TAdvTabSheet*>(TabObject(index)));
}

void TAdvPageControl::TabChanged() {
    TAdvTabSheet* before = FActivePage;
    SyncActivePageFromTab();
    // OnChange tells of a page switch only.
    if (FActivePage != before) TCustomTabControl::TabChanged();
}

void TAdvPageControl::Change() {
    if (OnChange) OnChange(this);
    Invalidate();
}

bool TAdvPageControl::AllowChangeTo(int ToPage, bool AskChanging) {
    // A hidden or disabled page cannot be switched to.
    if (ToPage < 0 || ToPage >= PageCount()) return false;
    TAdvTabSheet* target = FPages[std::size_t(ToPage)];
    if (!target->FTabEnable || !target->FTabShowing) return false;
    bool allow = true;
    if (OnCanChange) OnCanChange(this, ActivePageIndex(), ToPage, allow);
    if (!allow) return false;
    return AskChanging ? TCustomTabControl::CanChange() : true;
}

bool TAdvPageControl::CanChange() {
    int target = -1;
    if (PendingTabIndex() >= 0 && PendingTabIndex() < TabCount())
        target = static_cast<TAdvTabSheet*>(TabObject(PendingTabIndex()))->PageIndex();
    return AllowChangeTo(target, true);
}

bool TAdvPageControl::CanShowTab(int TabIndex) {
    return TabIndex >= 0 && TabIndex < PageCount() && FPages[std::size_t(TabIndex)]->Enabled();
}

int TAdvPageControl::GetImageIndex(int TabIndex) {
    if (OnGetImageIndex) return TCustomTabControl::GetImageIndex(TabIndex);
    int visible = 0, hidden = 0;
    for (TAdvTabSheet* page : FPages) {
        if (page->FTabVisible) {
            if (++visible == TabIndex + 1) break;
        } else {
            ++hidden;
        }
    }
    int page = TabIndex + hidden;
    if (TabIndex < 0 || visible != TabIndex + 1 || page >= PageCount())
        throw EListError(Format("List index out of bounds (%d)", {TabIndex}));
    return FPages[std::size_t(page)]->NativeImageIndex();
}

TAdvTabSheet* TAdvPageControl::FindNextPage(TAdvTabSheet* Current, bool GoForward, bool VisibleOnly) const {
    int count = PageCount();
    if (count == 0) return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), Current);
    int start = it == FPages.end() ? (GoForward ? count - 1 : 0) : int(it - FPages.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TAdvTabSheet* page = FPages[std::size_t(i)];
        if (!VisibleOnly || page->FTabVisible) return page;
    } while (i != start);
    return nullptr;
}

// A disabled page would stop the walk for good: it is passed over like a
// hidden tab.
TAdvTabSheet* TAdvPageControl::FindNextEnabledPage(TAdvTabSheet* Current, bool GoForward) const {
    TAdvTabSheet* page = Current;
    for (int step = 0; step < PageCount(); ++step) {
        page = FindNextPage(page, GoForward, true);
        if (!page || page == Current || page->FTabEnable) return page;
    }
    return nullptr;
}

int TAdvPageControl::SuccessorTab(int Index) const {
    auto enabled = [this](int Tab) { return static_cast<TAdvTabSheet*>(TabObject(Tab))->FTabEnable; };
    for (int tab = Index; tab < TabCount(); ++tab)
        if (enabled(tab)) return tab;
    for (int tab = std::min(Index, TabCount()) - 1; tab >= 0; --tab)
        if (enabled(tab)) return tab;
    return -1;
}

void TAdvPageControl::SelectNextPage(bool GoForward) {
    TAdvTabSheet* next = FindNextEnabledPage(FActivePage, GoForward);
    if (!next || next == FActivePage || !AllowChangeTo(next->PageIndex(), true)) return;
    SetTabIndex(next->TabIndex());
    TabChanged();
}

int TAdvPageControl::TabAtPos(int X, int Y) {
    int result = IndexOfTabAt(X, Y);
    if (result < 0) return -1;
    for (int i = 0; i < PageCount() && i <= result; ++i)
        if (!FPages[std::size_t(i)]->FTabVisible) ++result;
    return result;
}

TRect TAdvPageControl::TabRectOfPage(int PageIndex) {
    int hidden = 0;
    for (int i = 0; i < PageIndex && i < PageCount(); ++i)
        if (!FPages[std::size_t(i)]->FTabVisible) ++hidden;
    return TabRect(PageIndex - hidden);
}

void TAdvPageControl::UpdateTab(TAdvTabSheet* Page) {
    int index = Page->TabIndex();
    if (index < 0) return;
    if (FTabBorder3D) {
        SetTabText(index, Page->Caption());
        return;
    }
    if (Page == FActivePage && (FActiveFont->Style() & (fsBold | fsItalic)))
        UpdateActiveTabText(Page);
    else
        SetTabText(index, Page->FTabText);
}

void TAdvPageControl::UpdateActiveTabText(TAdvTabSheet* Page) {
    if (FTabBorder3D || !Page) return;
    const int index = Page->TabIndex();
    AnsiString text = Page->FTabText;
    // The strip measures tabs in the control's font.
    if (Page == FActivePage && (FActiveFont->Style() & (fsBold | fsItalic))) text += ActiveTextPad(text);
    if (index >= 0 && index < TabCount()) SetTabText(index, text);
}

// Enough spaces of the control's font to cover what Text gains in the active
// font, computed from a run of them (a space's advance is fractional).
AnsiString TAdvPageControl::ActiveTextPad(const AnsiString& Text) {
    TCanvas* canvas = Canvas();
    TFont saved;
    saved.Assign(canvas->Font());
    TScopeGuard restore([&] { canvas->Font()->Assign(&saved); });
    canvas->Font()->Assign(FActiveFont.get());
    int extra = canvas->TextWidth(Text);
    canvas->Font()->Assign(Font());
    extra -= canvas->TextWidth(Text);
    const double space = canvas->TextWidth(AnsiString(std::size_t(MaxPadSpaces), ' ')) / double(MaxPadSpaces);
    int spaces = 0;
    if (extra > 0 && space > 0) spaces = std::min(MaxPadSpaces, int(std::ceil(extra / space - 1e-9)));
    return AnsiString(std::size_t(spaces), ' ');
}

void TAdvPageControl::UpdateSpacer() {
    if (Horizontal(TabPosition()))
        FSpacer->SetSize((FImages ? FImages->Width() : 0) + FTabMargin->RightMargin() +
                             FTabMargin->LeftMargin(),
                         FSpacer->Height());
    else
        FSpacer->SetSize(FSpacer->Width(), (FImages ? FImages->Height() : 0) + FTabMargin->RightMargin() +
                                               FTabMargin->TopMargin());
    LayoutChanged();
}

void TAdvPageControl::MarginChanged(int NewValue, int OldValue, int Index) {
    // While loading, Loaded works out the spacer once.
    if (!FLoaded || (ComponentState() & csLoading)) return;
    bool horizontal = Horizontal(TabPosition());
    int imagesW = FImages ? FImages->Width() : 0, imagesH = FImages ? FImages->Height() : 0;
    if (Index == 0 && horizontal)
        FSpacer->SetSize(imagesW + FTabMargin->RightMargin() + NewValue, FSpacer->Height());
    else if (Index == 1 && !horizontal)
        FSpacer->SetSize(FSpacer->Width(), imagesH + FTabMargin->RightMargin() + NewValue);
    else if (Index == 2 && horizontal)
        FSpacer->SetSize(FSpacer->Width() - OldValue + NewValue, FSpacer->Height());
    else if (Index == 2)
        FSpacer->SetSize(FSpacer->Width(), FSpacer->Height() - OldValue + NewValue);
    LayoutChanged();
}

void TAdvPageControl::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    if (FTabBorder3D) SetNativeImages(FImages);
    UpdateSpacer();
}

void TAdvPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomTabControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) {
        FImages = nullptr;
        if (FSpacer && !IsDestroying()) UpdateSpacer();
    }
}

void TAdvPageControl::SetTabPosition(TTabPosition Value) {
    if (Value == TabPosition()) return;
    TCustomImageList* images = FImages;
    SetImages(nullptr);
    TCustomTabControl::SetTabPosition(Value);
    SetImages(images);
    UpdateSpacer();
}

void TAdvPageControl::SetActiveFont(TFont* Value) {
    FActiveFont->Assign(Value);
}

void TAdvPageControl::SetActiveColor(TColor Value) {
    FActiveColor = Value;
    Invalidate();
}

void TAdvPageControl::SetActiveColorTo(TColor Value) {
    FActiveColorTo = Value;
    Invalidate();
}

template <class T> void TAdvPageControl::StoreAndRepaint(T& Field, T Value) {
    if (Value == Field) return;
    Field = Value;
    Invalidate();
}

void TAdvPageControl::SetSheetDefault(TColor TAdvTabSheet::*SheetField, TColor& Default, TColor Value) {
    // Sheets that kept the old default follow the new one.
    for (TAdvTabSheet* p : FPages)
        if (p->*SheetField == Default) p->*SheetField = Value;
    Default = Value;
    Invalidate();
}

void TAdvPageControl::SetDefaultTextColor(TColor Value) {
    SetSheetDefault(&TAdvTabSheet::FTextColor, FDefaultTextColor, Value);
}

void TAdvPageControl::SetDefaultTabColor(TColor Value) {
    SetSheetDefault(&TAdvTabSheet::FTabColor, FDefaultTabColor, Value);
}

void TAdvPageControl::SetDefaultTabColorTo(TColor Value) {
    SetSheetDefault(&TAdvTabSheet::FTabColorTo, FDefaultTabColorTo, Value);
}

void TAdvPageControl::SetTabBorder3D(bool Value) {
    if (Value == FTabBorder3D) return;
    FTabBorder3D = Value;
    SetOwnerDraw(!Value);
    SetNativeImages(Value ? FImages : FSpacer);
    for (TAdvTabSheet* p : FPages)
        UpdateTab(p);
    Invalidate();
}

void TAdvPageControl::SetTabBorderColor(TColor Value) {
    FTabBorderColor = Value;
    Invalidate();
}

void TAdvPageControl::SetTabSheet3D(bool Value) {
    StoreAndRepaint(FTabSheet3D, Value);
}

void TAdvPageControl::SetTabSheetBorderColor(TColor Value) {
    StoreAndRepaint(FTabSheetBorderColor, Value);
}

void TAdvPageControl::SetTabBackGroundColor(TColor Value) {
    StoreAndRepaint(FTabBackGroundColor, Value);
}

void TAdvPageControl::SetTabBackGround(TBitmap* Value) {
    FTabBackGround->Assign(Value);
    Invalidate();
}

void TAdvPageControl::SetTabBackGroundActive(TBitmap* Value) {
    FTabBackGroundActive->Assign(Value);
    Invalidate();
}

void TAdvPageControl::SetTabMargin(TTabMargin* Value) {
    if (!Value) return;
    FTabMargin->Assign(Value);
    UpdateSpacer();
}

void TAdvPageControl::SetTabOverlap(int Value) {
    FTabOverlap = std::clamp(Value, 0, 15);
    Invalidate();
}

void TAdvPageControl::SetTabSplitLine(bool Value) {
    if (Value && FTabStyle != TTabStyle::tsClassic)
        throw Exception("TabSplitLine must be false when TabStyle is tsDotNet/tsDelphi");
    FTabSplitLine = Value;
    Invalidate();
}

void TAdvPageControl::SetRoundEdges(bool Value) {
    StoreAndRepaint(FRoundEdges, Value);
}

void TAdvPageControl::SetTabStyle(TTabStyle Value) {
    StoreAndRepaint(FTabStyle, Value);
}

void TAdvPageControl::SetLowerActive(int Value) {
    StoreAndRepaint(FLowerActive, Value);
}

void TAdvPageControl::SetCloseGlyph(TBitmap* Value) {
    FCloseGlyph->Assign(Value);
    Invalidate();
}
