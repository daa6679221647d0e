#include "controls/pages/AdvPageControl.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/Forms.h"

namespace {
bool Horizontal(TTabPosition P) {
    return P == TTabPosition::tpTop || P == TTabPosition::tpBottom;
}

// Spaces appended to the active tab's text never exceed this many, whatever
// the fonts measure.
constexpr int MaxPadSpaces = 64;

// The first control inside Parent that the Tab key would reach.
TWinControl* FirstTabStop(TWinControl* Parent) {
    for (TWinControl* w : Parent->TabOrderList())
        if (w->TabStop() && w->CanFocus()) return w;
    return nullptr;
}
} // namespace

// Takes one redraw lock around a selection change of a multi-line strip and
// gives it back however the change ends.
class TRedrawLock {
public:
    explicit TRedrawLock(TAdvPageControl* Control) : FControl(Control) {
        if (!Control->MultiLine() || !Control->Visible() || !Control->FLoaded) return;
        ++Control->FRedrawLock;
        Control->SetRedraw(false);
        FTaken = true;
    }
    // Given back even when a handler hid the control meanwhile: a lock kept
    // would stop it from ever painting again.
    ~TRedrawLock() {
        if (!FTaken) return;
        if (FControl->FRedrawLock > 0) --FControl->FRedrawLock;
        if (FControl->FRedrawLock == 0) {
            FControl->SetRedraw(true);
            FControl->Invalidate();
        }
    }
    TRedrawLock(const TRedrawLock&) = delete;
    TRedrawLock& operator=(const TRedrawLock&) = delete;

private:
    TAdvPageControl* FControl;
    bool FTaken = false;
};

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
            TColor color = Color();
            if (color == clNone) color = FPageControl ? FPageControl->Color() : clBtnFace;
            canvas->Brush()->SetColor(color);
            canvas->FillRect(ClientRect());
        }
        Message.Result = 1;
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
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
    if (FPageControl && FTabShowing)
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
        if (control->FActivePage == this) {
            int count = control->TabCount();
            control->SetTabIndex(index < count ? index : count - 1);
        }
    }
    // A shown page whose tab is hidden leaves the strip without a selection:
    // other tabs coming and going must not take that for "no page".
    TAdvTabSheet* active = control->FActivePage;
    if (active && active != this && !active->FTabShowing) return;
    control->SyncActivePageFromTab();
}

void TAdvTabSheet::Paint() {
    if (FColorTo != clNone) DrawGradient(Canvas(), Color(), FColorTo, 64, ClientRect(), false);
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
    TAdvTabSheet* next = FindNextPage(Page, true, true);
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
        if (FActivePage) {
            TAdvTabSheet* old = FActivePage;
            FActivePage = nullptr;
            // The focus does not stay on a page that goes out of sight.
            TCustomForm* form = GetParentForm(this);
            if (form && form->ActiveControl() && old->ContainsControl(form->ActiveControl()))
                if (!form->SetActiveControl(CanFocus() ? this : nullptr)) form->SetActiveControl(nullptr);
            old->SetVisible(false);
            UpdateActiveTabText(old);
        }
    } else {
        // A refused page leaves the strip on the page that is shown.
        SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
    }
    Invalidate();
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

void TAdvPageControl::SelectTabByUser(int NewIndex) {
    TRedrawLock lock(this);
    TCustomTabControl::SelectTabByUser(NewIndex);
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

void TAdvPageControl::SelectNextPage(bool GoForward) {
    TAdvTabSheet* next = FindNextPage(FActivePage, GoForward, true);
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
    int index = Page->TabIndex();
    if (Page == FActivePage && (FActiveFont->Style() & (fsBold | fsItalic))) {
        TCanvas* canvas = Canvas();
        TFont saved;
        saved.Assign(canvas->Font());
        canvas->Font()->Assign(FActiveFont.get());
        int extra = canvas->TextWidth(Page->FTabText);
        canvas->Font()->Assign(Font());
        extra -= canvas->TextWidth(Page->FTabText);
        // Enough spaces of the control's font to cover the wider text,
        // computed from a run of them (a space's advance is fractional).
        const double space = canvas->TextWidth(AnsiString(std::size_t(MaxPadSpaces), ' ')) / double(MaxPadSpaces);
        int spaces = 0;
        if (extra > 0 && space > 0) spaces = std::min(MaxPadSpaces, int(std::ceil(extra / space - 1e-9)));
        const AnsiString pad(std::size_t(spaces), ' ');
        canvas->Font()->Assign(&saved);
        if (index >= 0 && index < TabCount()) SetTabText(index, Page->FTabText + pad);
        return;
    }
    if (index >= 0 && index < TabCount()) SetTabText(index, Page->FTabText);
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
    if (!FLoaded) return;
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

// Messages and input

void TAdvPageControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (!FTabBorder3D && TabCount() >= 1 && FRedrawLock <= 0) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_PAINT: {
        auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
        if (!canvas) break;
        if (FRedrawLock > 0) return;
        TCustomTabControl::Dispatch(Message);
        // The tab area goes over the strip's own drawing in the same paint.
        if (!FTabBorder3D) {
            canvas->Font()->Assign(Font());
            DrawTabArea(canvas);
        }
        return;
    }
    case CM_DIALOGKEY: {
        TCustomForm* form = GetParentForm(this);
        TWinControl* focused = form ? form->ActiveControl() : nullptr;
        if (Message.WParam == VK_TAB && (GetShiftState() & ssCtrl) && focused && ContainsControl(focused)) {
            SelectNextPage(!(GetShiftState() & ssShift));
            Message.Result = 1;
            return;
        }
        break;
    }
    case CM_DIALOGCHAR:
        for (int i = 0; i < PageCount(); ++i) {
            TAdvTabSheet* page = FPages[std::size_t(i)];
            if (!IsAccel(uint16_t(Message.WParam), page->Caption()) || !CanShowTab(i) || !CanFocus())
                continue;
            Message.Result = 1;
            if (AllowChangeTo(i, false)) {
                SetTabIndex(page->TabIndex());
                TabChanged();
            } else {
                SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
            }
            return;
        }
        break;
    case CM_MOUSELEAVE:
        if (FTabBackGround->Empty() && FHoverTab >= 0) InvalidateRect(TabRectOfPage(FHoverTab));
        FHoverTab = -1;
        SetGlyphState(TGlyphState::gsNormal);
        break;
    default:
        break;
    }
    TCustomTabControl::Dispatch(Message);
}

TRect TAdvPageControl::CloseGlyphRect() {
    if (FTabBorder3D || !FActivePage || !FActivePage->FShowClose || !FActivePage->FTabShowing) return {};
    TRect r = TabRectOfPage(ActivePageIndex());
    if (TabPosition() == TTabPosition::tpLeft) {
        r.Left += FTabMargin->LeftMargin();
        r.Bottom -= FTabMargin->TopMargin();
        if (!FTabBackGroundActive->Empty()) {
            r.Left += 2;
            r.Bottom += FTabOverlap;
        }
        return {r.Left + 2, r.Bottom - 13, r.Left + 14, r.Bottom - 2};
    }
    r.Left += FTabMargin->LeftMargin();
    r.Top += FTabMargin->TopMargin();
    return {r.Left + 2, r.Top + 2, r.Left + 14, r.Top + 13};
}

void TAdvPageControl::SetGlyphState(TGlyphState State) {
    if (State == FGlyphState) return;
    FGlyphState = State;
    if (FActivePage && FActivePage->FTabShowing) InvalidateRect(TabRectOfPage(ActivePageIndex()));
}

void TAdvPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomTabControl::MouseDown(Button, Shift, X, Y);
    if (CloseGlyphRect().Contains({X, Y})) SetGlyphState(TGlyphState::gsDown);
}

void TAdvPageControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomTabControl::MouseMove(Shift, X, Y);
    if (FTabHoverColor == clNone || FTabBorder3D) return;
    if (FTabBackGround->Empty()) {
        int hover = TabAtPos(X, Y);
        if (hover != FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
            if (FHoverTab >= 0) InvalidateRect(TabRectOfPage(FHoverTab));
            FHoverTab = hover;
            if (hover >= 0) InvalidateRect(TabRectOfPage(hover));
        }
    }
    TRect box = CloseGlyphRect();
    if (box.IsEmpty() || FGlyphState == TGlyphState::gsDown) return;
    SetGlyphState(box.Contains({X, Y}) ? TGlyphState::gsHot : TGlyphState::gsNormal);
}

void TAdvPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetGlyphState(TGlyphState::gsNormal);
    TComponentWatch self(this);
    TCustomTabControl::MouseUp(Button, Shift, X, Y);
    if (!self.Target()) return;
    if (Button == TMouseButton::mbLeft && CloseGlyphRect().Contains({X, Y})) CloseActivePage();
}

void TAdvPageControl::CloseActivePage() {
    TAdvTabSheet* sheet = FActivePage;
    if (!sheet) return;
    TAdvTabSheet* next = FindNextPage(sheet, true, true);
    bool canClose = true;
    TComponentWatch watch(sheet), nextWatch(next);
    if (sheet->OnCanClose) sheet->OnCanClose(sheet, canClose);
    if (!canClose || !watch.Target()) return;
    if (sheet->OnClose) sheet->OnClose(sheet);
    // A handler may have freed the sheet or moved it elsewhere.
    if (!watch.Target() || sheet->FPageControl != this) {
        Invalidate();
        return;
    }
    // ... or taken away the page that was to follow it.
    if (next && (!nextWatch.Target() || next->FPageControl != this)) next = FindNextPage(sheet, true, true);
    SetActivePage(next == sheet ? nullptr : next);
    Change();
    if (!watch.Target()) return;
    sheet->SetPageControl(nullptr);
    if (FFreeOnClose) FreeAfterEvent(sheet);
    Invalidate();
}

// Shared drawing routines

void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                  bool Horizontal) {
    if (Steps < 1) Steps = 1;
    TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    double stepR = (GetRValue(to) - GetRValue(from)) / double(Steps);
    double stepG = (GetGValue(to) - GetGValue(from)) / double(Steps);
    double stepB = (GetBValue(to) - GetBValue(from)) / double(Steps);
    double band = (Horizontal ? R.Right - R.Left : R.Bottom - R.Top) / double(Steps);
    if (band < 0) return;
    int size = int(Round(band));
    for (int i = 0; i < Steps; ++i) {
        int r = GetRValue(from) + int(Round(i * stepR));
        int g = GetGValue(from) + int(Round(i * stepG));
        int b = GetBValue(from) + int(Round(i * stepB));
        TColor c = TColor(r + g * 256 + b * 65536);
        Canvas->Pen()->SetColor(c);
        Canvas->Brush()->SetColor(c);
        int o = int(Round(i * band)) % 65536;
        if (Horizontal)
            Canvas->Rectangle(R.Left + o, R.Top, R.Left + o + size + 1, R.Bottom);
        else
            Canvas->Rectangle(R.Left, R.Top + o, R.Right, R.Top + o + size + 1);
    }
}

void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, int Width, int Height, int SourceX,
                           int SourceY, TColor TransparentColor) {
    if (Width <= 0 || Height <= 0) return;
    Canvas->DrawBitmapPart(Bounds(X, Y, Width, Height), Bitmap, Bounds(SourceX, SourceY, Width, Height),
                           TransparentColor);
}

void StretchTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, int Width, int Height,
                              int SourceX, int SourceY, int SourceWidth, int SourceHeight,
                              TColor TransparentColor) {
    if (Width <= 0 || Height <= 0 || SourceWidth <= 0 || SourceHeight <= 0) return;
    Canvas->DrawBitmapPart(Bounds(X, Y, Width, Height), Bitmap,
                           Bounds(SourceX, SourceY, SourceWidth, SourceHeight), TransparentColor);
}

void DrawBitmapSlicesVertical(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, int Length) {
    if (!Bitmap || Bitmap->Empty()) return;
    int bw = Bitmap->Width(), bh = Bitmap->Height();
    TColor key = Bitmap->Pixel(0, bh - 1);
    // Too small to slice: drawn whole.
    if (bh < 2) {
        DrawTransparentBitmap(Canvas, Bitmap, X, Y, bw, bh, 0, 0, key);
        return;
    }
    int half = bh / 2;
    int stretch = std::max(0, Length - bh);
    DrawTransparentBitmap(Canvas, Bitmap, X, Y, bw, half, 0, 0, key);
    StretchTransparentBitmap(Canvas, Bitmap, X, Y + half, bw, stretch, 0, half - 1, bw, 2, key);
    DrawTransparentBitmap(Canvas, Bitmap, X, Y + half + stretch, bw, half, 0, half, key);
}

void DrawBitmapSlicesHorizontal(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, int Length) {
    if (!Bitmap || Bitmap->Empty()) return;
    int bw = Bitmap->Width(), bh = Bitmap->Height();
    TColor key = Bitmap->Pixel(0, bh - 1);
    if (bw < 2) {
        DrawTransparentBitmap(Canvas, Bitmap, X, Y, bw, bh, 0, 0, key);
        return;
    }
    int half = bw / 2;
    int stretch = std::max(0, Length - bw);
    DrawTransparentBitmap(Canvas, Bitmap, X, Y, half, bh, 0, 0, key);
    StretchTransparentBitmap(Canvas, Bitmap, X + half, Y, stretch, bh, half - 1, 0, 2, bh, key);
    DrawTransparentBitmap(Canvas, Bitmap, X + half + stretch, Y, half, bh, half, 0, key);
}

// Tab area painting

namespace {
void Poly(TCanvas* C, std::initializer_list<TPoint> Points) {
    auto it = Points.begin();
    C->MoveTo(it->X, it->Y);
    for (++it; it != Points.end(); ++it)
        C->LineTo(it->X, it->Y);
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}
} // namespace

std::unique_ptr<TFont> TAdvPageControl::RotatedFont(TFont* Source) const {
    auto font = std::make_unique<TFont>();
    font->Assign(Source);
    font->SetOrientation(TabPosition() == TTabPosition::tpLeft ? -2700 : -900);
    return font;
}

void TAdvPageControl::DrawTabArea(TCanvas* Canvas) {
    if (FRedrawLock > 0) return;
    TPaintState state;
    FPaint = &state;
    struct TReset {
        TPaintState*& Target;
        ~TReset() { Target = nullptr; }
    } reset{FPaint};

    const int w = Width(), h = Height();
    const TTabPosition pos = TabPosition();
    TCanvas* c = Canvas;
    c->Pen()->SetStyle(TPenStyle::psSolid);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);

    // Parent's colour, control's font.
    c->Brush()->SetColor(Parent() ? Parent()->Color() : clBtnFace);
    c->Font()->Assign(Font());

    // Extents, and the tab surroundings erased.
    state.MaxBottom = 0;
    state.MinTop = TabCount() ? TabRect(0).Top : 0;
    state.MinLeft = w;
    state.MaxRight = 0;
    bool anyTab = false;
    for (int p = PageCount() - 1; p >= 0; --p) {
        if (!FPages[std::size_t(p)]->FTabVisible) continue;
        anyTab = true;
        TRect r = TabRectOfPage(p);
        state.MaxBottom = std::max(state.MaxBottom, r.Bottom);
        state.MinTop = std::min(state.MinTop, r.Top);
        state.MinLeft = std::min(state.MinLeft, r.Left);
        state.MaxRight = std::max(state.MaxRight, r.Right);
        r.Right += 2;
        switch (pos) {
        case TTabPosition::tpTop:
            r.Left -= 2, r.Top -= 2;
            break;
        case TTabPosition::tpBottom:
            r.Left -= 2, r.Bottom += 2;
            break;
        case TTabPosition::tpLeft:
            r.Left -= 2, r.Bottom += 2, r.Right -= 2, r.Top -= 2;
            break;
        case TTabPosition::tpRight:
            r.Bottom += 2, r.Top -= 2;
            break;
        }
        c->FillRect(r);
    }

    // Without tabs the page frame keeps a tab edge 2 pixels from the side.
    if (!anyTab) {
        switch (pos) {
        case TTabPosition::tpTop:
            state.MaxBottom = 2;
            break;
        case TTabPosition::tpBottom:
            state.MinTop = h - 2;
            break;
        case TTabPosition::tpLeft:
            state.MaxRight = 2;
            break;
        case TTabPosition::tpRight:
            state.MinLeft = w - 2;
            break;
        }
    }
    const int E = pos == TTabPosition::tpTop      ? state.MaxBottom
                  : pos == TTabPosition::tpBottom ? state.MinTop
                  : pos == TTabPosition::tpLeft   ? state.MaxRight
                                                  : state.MinLeft;
    state.E = E;

    // The scroll-button corner of a single row.
    if (!MultiLine() && Horizontal(pos)) {
        c->Brush()->SetColor(Color());
        bool top = pos == TTabPosition::tpTop;
        c->FillRect(top ? TRect{w - 35, 0, w, state.MaxBottom} : TRect{w - 35, state.MinTop, w, h});
        c->Pen()->SetColor(top ? clWhite : cl3DDkShadow);
        int y = top ? state.MaxBottom : state.MinTop - 1;
        Line(c, std::max(w - 35, state.MaxRight), y, w, y);
    }

    // Strip background.
    c->Brush()->SetColor(FTabBackGroundColor);
    switch (pos) {
    case TTabPosition::tpLeft:
        c->FillRect({0, 0, state.MaxRight, h});
        break;
    case TTabPosition::tpRight:
        c->FillRect({state.MinLeft, 0, w, h});
        break;
    case TTabPosition::tpBottom:
        c->FillRect({0, state.MinTop, w, h});
        break;
    case TTabPosition::tpTop:
        c->FillRect({0, 0, w, state.MaxBottom});
        break;
    }

    // The band inside the page frame in the page's colours.
    TAdvTabSheet* active = FActivePage;
    state.Coloured = active && (active->Color() != clNone || active->FColorTo != clNone);
    state.I = FTabSheet3D ? 1 : 0;
    const int I = state.I;
    if (state.Coloured) {
        TRect bands[4];
        switch (pos) {
        case TTabPosition::tpTop:
            bands[0] = {1, E + I, 4, h - 1}, bands[1] = {1, E + I, w - 1, E + 4};
            bands[2] = {w - 4, E + I, w - 1, h - 1}, bands[3] = {1, h - 4, w - 1, h - 1};
            break;
        case TTabPosition::tpBottom:
            bands[0] = {1, 1, 4, E - I}, bands[1] = {1, E - 4, w - 1, E - I};
            bands[2] = {w - 4, 1, w - 1, E - I}, bands[3] = {1, 1, w - 1, 4};
            break;
        case TTabPosition::tpLeft:
            bands[0] = {E + I, 1, E + 4, h - 1}, bands[1] = {E + I, 1, w - 1, 4};
            bands[2] = {w - 4, 1, w - 1, h - 1}, bands[3] = {E + I, h - 4, w - 1, h - 1};
            break;
        case TTabPosition::tpRight:
            bands[0] = {1, 1, 4, h - 2}, bands[1] = {1, 1, E - I, 4};
            bands[2] = {E - 4, 1, E - I, h - 2}, bands[3] = {1, h - 4, E - I, h - 1};
            break;
        }
        TRect topBand = pos == TTabPosition::tpTop      ? TRect{1, E + 1, w - 1, E + 4}
                        : pos == TTabPosition::tpBottom ? TRect{1, 1, w - 1, 4}
                        : pos == TTabPosition::tpLeft   ? TRect{E + I, 1, w - 1, 4}
                                                        : TRect{1, 1, E - I, 4};
        // The union of the bands is painted band by band: each is clipped.
        for (const TRect& band : bands) {
            if (band.IsEmpty()) continue;
            c->SaveState();
            c->IntersectClipRect(band);
            if (active->FColorTo == clNone) {
                c->Brush()->SetColor(active->Color());
                c->Pen()->SetColor(active->Color());
                c->Rectangle(ClientRect());
            } else {
                DrawGradient(c, active->Color(), active->FColorTo, 16, ClientRect(), false);
                c->Brush()->SetColor(active->Color());
                c->Pen()->SetColor(active->Color());
                c->Rectangle(topBand);
            }
            c->RestoreState();
        }
    }

    // Page frame.
    const bool coloured = state.Coloured;
    if (!FTabSheet3D) {
        c->Pen()->SetColor(FTabSheetBorderColor);
        switch (pos) {
        case TTabPosition::tpTop:
            Line(c, 0, E, 0, h);
            Line(c, 0, h - 1, w, h - 1);
            Line(c, w - 1, h - 2, w - 1, E);
            Line(c, 0, E, w, E);
            c->Pen()->SetColor(Color());
            if (!coloured) {
                Line(c, 1, h - 2, w - 1, h - 2);
                Line(c, w - 2, h - 2, w - 2, E);
            }
            break;
        case TTabPosition::tpBottom:
            Line(c, 0, 0, 0, E);
            Line(c, 0, E - 1, w, E - 1);
            Line(c, w - 1, E - 1, w - 1, 0);
            Line(c, 0, 0, w, 0);
            c->Pen()->SetColor(Color());
            if (!coloured) {
                Line(c, 1, E - 2, w - 1, E - 2);
                Line(c, w - 2, E - 2, w - 2, 0);
            }
            break;
        case TTabPosition::tpLeft:
            Line(c, E, 0, E, h);
            Line(c, E, h - 2, w - 2, h - 2);
            Line(c, w - 2, h, w - 2, 0);
            Line(c, w - 2, 0, E, 0);
            c->Pen()->SetColor(Color());
            Line(c, E, h - 1, w - 1, h - 1);
            Line(c, w - 1, h - 1, w - 1, -1);
            break;
        case TTabPosition::tpRight:
            Line(c, 0, 0, 0, h);
            Line(c, 0, h - 2, E, h - 2);
            Line(c, E - 1, h, E - 1, 0);
            Line(c, E - 1, 0, 0, 0);
            c->Pen()->SetColor(Color());
            Line(c, 0, h - 1, E, h - 1);
            if (!coloured) Line(c, E - 2, h - 3, E - 2, 0);
            break;
        }
    }

    // Rounded corners away from the tabs.
    if (FRoundEdges && !FTabSheet3D) {
        TColor border = FTabSheetBorderColor;
        switch (pos) {
        case TTabPosition::tpTop:
            c->Pen()->SetColor(Color());
            Poly(c, {{0, h - 4}, {0, h - 1}, {4, h - 1}});
            Poly(c, {{w - 4, h - 1}, {w - 1, h - 1}, {w - 1, h - 5}});
            c->Pen()->SetColor(border);
            Line(c, 1, h - 4, 1, h - 2);
            Line(c, 2, h - 2, 4, h - 2);
            Line(c, w - 4, h - 2, w - 2, h - 2);
            Line(c, w - 2, h - 3, w - 2, h - 5);
            break;
        case TTabPosition::tpBottom:
            c->Pen()->SetColor(Color());
            Poly(c, {{0, 3}, {0, 0}, {5, 0}});
            Poly(c, {{w - 1, 3}, {w - 1, 0}, {w - 5, 0}});
            c->Pen()->SetColor(border);
            Line(c, 1, 3, 1, 1);
            Line(c, 2, 1, 5, 0);
            Line(c, w - 2, 3, w - 2, 1);
            Line(c, w - 3, 1, w - 5, 1);
            break;
        case TTabPosition::tpLeft:
            c->Pen()->SetColor(Color());
            Poly(c, {{w - 5, h - 2}, {w - 2, h - 2}, {w - 2, h - 6}});
            Poly(c, {{w - 2, 3}, {w - 2, 0}, {w - 6, 0}});
            c->Pen()->SetColor(border);
            Line(c, w - 5, h - 3, w - 3, h - 3);
            Line(c, w - 3, h - 4, w - 3, h - 6);
            Line(c, w - 3, 3, w - 3, 1);
            Line(c, w - 4, 1, w - 6, 1);
            break;
        case TTabPosition::tpRight:
            c->Pen()->SetColor(Color());
            Poly(c, {{0, 3}, {0, 0}, {5, 0}});
            Poly(c, {{0, h - 5}, {0, h - 2}, {4, h - 2}});
            c->Pen()->SetColor(border);
            Line(c, 1, 3, 1, 1);
            Line(c, 2, 1, 5, 0);
            Line(c, 1, h - 5, 1, h - 3);
            Line(c, 2, h - 3, 4, h - 3);
            break;
        }
    }

    // The frame opens under the tabs.
    if (!FTabSheet3D && !FTabSplitLine && PageCount() > 0 && anyTab) {
        state.S = 1;
        TColor pen = Color();
        if (coloured) {
            pen = active->Color();
            if (pos == TTabPosition::tpBottom && active->FColorTo != clNone) pen = active->FColorTo;
        }
        c->Pen()->SetColor(pen);
        switch (pos) {
        case TTabPosition::tpTop:
            Line(c, 3, E, state.MaxRight + FTabOverlap, E);
            break;
        case TTabPosition::tpBottom:
            Line(c, 2, E - 1, state.MaxRight + FTabOverlap, E - 1);
            break;
        case TTabPosition::tpLeft: {
            int extra = FTabStyle == TTabStyle::tsClassic && !FTabBackGround->Empty() ? 2 : 0;
            Line(c, E, 2, E, state.MaxBottom + FTabOverlap + extra);
            break;
        }
        case TTabPosition::tpRight:
            Line(c, E - 1, state.MaxBottom + FTabOverlap - 1, E - 1, 2);
            break;
        }
    }

    // Tabs, the later ones first.
    for (int p = PageCount() - 1; p >= 0; --p)
        if (FPages[std::size_t(p)]->FTabVisible) PaintTab(c, p);

    // The active tab whose picture had to wait.
    if (state.DeferredPage >= 0 && !OnDrawTab) PaintDeferredTab(c);

    // Hover outline.
    if (FHoverTab >= 0 && FHoverTab < PageCount() && FTabHoverBorder != clNone &&
        FHoverTab != ActivePageIndex()) {
        TRect r = TabRectOfPage(FHoverTab);
        int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
        c->Pen()->SetColor(FTabHoverBorder);
        switch (pos) {
        case TTabPosition::tpBottom:
            if (R > w - 5) R -= 1;
            Poly(c, {{L, T + 1}, {L, B}, {R, B}, {R, T}});
            break;
        case TTabPosition::tpLeft:
            L -= 1, T -= 2;
            if (B > h - 5) B -= 1;
            Poly(c, {{R - 1, T + 2}, {L, T + 2}, {L, B}, {R, B}});
            break;
        case TTabPosition::tpRight:
            L += 1;
            if (B > h - 5) B -= 1;
            Poly(c, {{L, T}, {R, T}, {R, B}, {L - 1, B}});
            break;
        case TTabPosition::tpTop:
            T -= 1;
            if (R > w - 5) R -= 1;
            Poly(c, {{L, B - 2}, {L, T}, {R, T}, {R, B - 1}});
            break;
        }
    }
}

void TAdvPageControl::PaintTab(TCanvas* c, int P) {
    TPaintState& st = *FPaint;
    TAdvTabSheet* sheet = FPages[std::size_t(P)];
    const TTabPosition pos = TabPosition();
    const int w = Width(), h = Height();
    const TRect R0 = TabRectOfPage(P);
    int L = R0.Left, T = R0.Top, R = R0.Right, B = R0.Bottom;
    const bool active = P == ActivePageIndex();
    const bool owner = OnDrawTab != nullptr;

    if (owner) OnDrawTab(this, P, R0, active);
    int X = 0, Y = 0;
    const bool hasBack = !FTabBackGround->Empty();
    if (!st.Scratch) st.Scratch = std::make_unique<TBitmap>();
    if (hasBack) st.Scratch->SetSize(FTabBackGround->Width(), FTabBackGround->Height());

    // Colours.
    TColor fill, fillTo;
    TGradientDirection direction;
    if (active && FActiveColor != clNone) {
        fill = FActiveColor, fillTo = FActiveColorTo, direction = sheet->FTabGradientDirection;
    } else if (P == FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
        fill = FTabHoverColor, fillTo = FTabHoverColorTo, direction = sheet->FHoverGradientDirection;
    } else {
        fill = sheet->FTabColor, fillTo = sheet->FTabColorTo, direction = sheet->FTabGradientDirection;
    }
    c->Brush()->SetColor(fill);
    const bool gradient = fillTo != clNone;
    const bool horizontalBands = direction == TGradientDirection::gdHorizontal;

    // Text origin.
    const bool close = sheet->FShowClose;
    switch (pos) {
    case TTabPosition::tpTop:
        X = L + (close ? 18 : 4);
        Y = active ? T + FLowerActive + 1 : T + 1;
        break;
    case TTabPosition::tpBottom:
        B += 1;
        X = L + (close ? 18 : 4);
        Y = active ? T + FLowerActive + 1 : T;
        break;
    case TTabPosition::tpLeft:
        X = active ? L + FLowerActive + 1 : L + 1;
        Y = B - (close ? 17 : 4);
        break;
    case TTabPosition::tpRight:
        X = active ? R - FLowerActive - 1 : R - 1;
        Y = T + (close ? 17 : 4);
        break;
    }

    bool deferred = false;
    if (!hasBack) {
        // Fill and outline.
        if (pos == TTabPosition::tpTop) T -= 1;
        if (pos == TTabPosition::tpLeft) L -= 1;
        if (!owner) {
            if (gradient) {
                TRect g{L, T, R, B};
                switch (pos) {
                case TTabPosition::tpTop:
                    g.Bottom -= 1;
                    if (horizontalBands) g.Right -= 1;
                    break;
                case TTabPosition::tpBottom:
                    if (horizontalBands)
                        g.Right -= 1;
                    else
                        g.Bottom -= 1;
                    break;
                case TTabPosition::tpLeft:
                    g.Right -= 1;
                    if (!horizontalBands) g.Bottom -= 1;
                    break;
                case TTabPosition::tpRight:
                    if (!active && !horizontalBands) g.Bottom -= 1;
                    break;
                }
                DrawGradient(c, fill, fillTo, 16, g, horizontalBands);
            } else if (fill != clNone) {
                c->FillRect({L, T, R, B});
            }
        }
        if (pos == TTabPosition::tpRight) R += 1;
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->Pen()->SetColor(FTabBorderColor);
        TAdvTabSheet* next = FindNextPage(sheet, true, true);
        const bool nextActive = next && next == FActivePage;
        const bool edge = Horizontal(pos) ? R > st.MaxRight - 3 : B > st.MaxBottom - 3;
        if (FTabStyle == TTabStyle::tsClassic) {
            if (active) {
                switch (pos) {
                case TTabPosition::tpTop:
                    Poly(c, {{L, B - 1}, {L, T}, {R, T}, {R, B}});
                    break;
                case TTabPosition::tpBottom:
                    Poly(c, {{L, T}, {L, B}, {R, B}, {R, T - 1}});
                    break;
                case TTabPosition::tpLeft:
                    Poly(c, {{R - 1, T}, {L, T}, {L, B}, {R, B}});
                    break;
                case TTabPosition::tpRight:
                    Poly(c, {{L, T}, {R - 1, T}, {R - 1, B}, {L - 1, B}});
                    break;
                }
            } else {
                bool farRow = pos == TTabPosition::tpTop      ? B < st.MaxBottom
                              : pos == TTabPosition::tpBottom ? T > st.MinTop
                              : pos == TTabPosition::tpLeft   ? R < st.MaxRight
                                                              : L > st.MinLeft;
                if (st.S == 1 && farRow) st.S = 0;
                int R1 = R > w - 5 ? R : R + 1;
                int B1 = B > h - 5 ? B : B + 1;
                switch (pos) {
                case TTabPosition::tpTop:
                    c->Rectangle(L, T, R1, B + st.S);
                    break;
                case TTabPosition::tpBottom:
                    c->Rectangle(L, T - st.S, R1, B);
                    Y += 2;
                    break;
                case TTabPosition::tpLeft:
                    c->Rectangle(L, T, R + st.S, B1);
                    break;
                case TTabPosition::tpRight:
                    c->Rectangle(L - st.S, T, R, B1);
                    break;
                }
                if (!FTabSheet3D && !FTabSplitLine) st.S = 1;
            }
        } else {
            const bool dotNet = FTabStyle == TTabStyle::tsDotNet;
            if (active) {
                switch (pos) {
                case TTabPosition::tpTop:
                    if (dotNet)
                        Poly(c, {{L, B}, {L, T}, {R, T}, {R, B}});
                    else
                        Line(c, L, B, L, T), Line(c, R, T, R, B);
                    break;
                case TTabPosition::tpBottom:
                    if (dotNet)
                        Poly(c, {{L, T - 1}, {L, B}, {R, B}, {R, T - 1}});
                    else
                        Line(c, L, T - 1, L, B), Line(c, R, B - 1, R, T - 1);
                    break;
                case TTabPosition::tpLeft:
                    if (dotNet)
                        Poly(c, {{R, T}, {L, T}, {L, B}, {R, B}});
                    else
                        Line(c, R, T, L, T), Line(c, L, B, R, B);
                    break;
                case TTabPosition::tpRight:
                    if (dotNet)
                        Poly(c, {{L - 1, T}, {R - 1, T}, {R - 1, B}, {L - 1, B}});
                    else
                        Line(c, L - 1, T, R - 1, T), Line(c, R - 1, B, L - 1, B);
                    break;
                }
            } else {
                switch (pos) {
                case TTabPosition::tpTop:
                    Line(c, L, B, R, B);
                    break;
                case TTabPosition::tpBottom:
                    Line(c, L, T - 1, R, T - 1);
                    break;
                case TTabPosition::tpLeft:
                    Line(c, R, T, R, B);
                    break;
                case TTabPosition::tpRight:
                    Line(c, L - 1, T, L - 1, B);
                    break;
                }
                if (!nextActive || edge) {
                    if (dotNet) {
                        c->Pen()->SetColor(FActiveColor);
                        if (Horizontal(pos)) {
                            Line(c, R - 2, B - 3, R - 2, T + 2);
                            Line(c, R - 3, B - 3, R - 3, T + 2);
                        } else {
                            Line(c, L + 2, B - 2, R - 2, B - 2);
                            Line(c, L + 2, B - 3, R - 2, B - 3);
                        }
                    } else {
                        c->Pen()->SetColor(FTabBorderColor);
                        switch (pos) {
                        case TTabPosition::tpTop:
                            Line(c, R - 2, B, R - 2, T);
                            break;
                        case TTabPosition::tpBottom:
                            Line(c, R - 2, B - 1, R - 2, T - 1);
                            break;
                        default:
                            Line(c, L, B - 2, R, B - 2);
                            break;
                        }
                    }
                }
            }
        }
    } else {
        // Tab pictures.
        switch (pos) {
        case TTabPosition::tpBottom:
            Y += 3;
            break;
        case TTabPosition::tpLeft:
            X -= 2, Y -= 3;
            break;
        case TTabPosition::tpRight:
            X -= TabHeight() / 3, Y -= 3;
            break;
        default:
            break;
        }
        if (!owner) {
            if (active && !FTabBackGroundActive->Empty()) {
                st.Scratch->Assign(FTabBackGroundActive.get());
                st.DeferredPage = P;
                st.DeferredRect = {L, T, R, B};
                deferred = true;
            } else {
                st.Scratch->Assign(FTabBackGround.get());
                int along = R + FTabOverlap - L + 2, down = B + FTabOverlap - T + 3;
                switch (pos) {
                case TTabPosition::tpTop:
                    DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 1, T - 2, along);
                    break;
                case TTabPosition::tpBottom:
                    DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 2, T - 1, along);
                    break;
                case TTabPosition::tpLeft:
                    DrawBitmapSlicesVertical(st.Scratch.get(), c, L, T, down);
                    break;
                case TTabPosition::tpRight:
                    DrawBitmapSlicesVertical(st.Scratch.get(), c, L - 1, T - 2, down);
                    break;
                }
            }
        }
    }

    // Rotated caption font for tabs at the sides.
    if (!Horizontal(pos)) c->Font()->Assign(RotatedFont(active ? FActiveFont.get() : Font()).get());

    // Margins.
    if (pos == TTabPosition::tpLeft) {
        X += FTabMargin->LeftMargin();
        Y -= FTabMargin->TopMargin();
        if (!FTabBackGroundActive->Empty()) Y += FTabOverlap + 3;
    } else {
        X += FTabMargin->LeftMargin();
        Y += FTabMargin->TopMargin();
    }
    if (deferred && st.DeferredText == TPoint{-10, -10}) {
        st.DeferredText = {X, Y};
        return;
    }

    // Close glyph.
    if (close) {
        if (active && FGlyphState == TGlyphState::gsHot)
            DrawCloseGlyphHot(c, R0);
        else if (active && FGlyphState == TGlyphState::gsDown)
            DrawCloseGlyphDown(c, R0);
        else
            DrawCloseGlyph(c, R0, active);
    }

    if (!owner) DrawTabImage(c, sheet, X, Y, 1, 18);

    // Caption font.
    if (!active) {
        if (Horizontal(pos)) c->Font()->Assign(Font());
        c->Font()->SetColor(sheet->FTextColor);
    } else if (Horizontal(pos)) {
        c->Font()->Assign(FActiveFont.get());
    }
    if (!sheet->FTabEnable) c->Font()->SetColor(clGray);
    if (!sheet->Enabled()) c->Font()->SetColor(clGrayText);

    c->Brush()->SetStyle(TBrushStyle::bsClear);
    if (!owner) DrawTabCaption(c, sheet, X, Y, R0.Right, R0.Bottom);
    if (active) c->Font()->Assign(Font());

    if (active) DrawTabFocus(c, {L, T, R, B}, 0);
}

void TAdvPageControl::PaintDeferredTab(TCanvas* c) {
    TPaintState& st = *FPaint;
    TAdvTabSheet* sheet = FPages[std::size_t(st.DeferredPage)];
    const TTabPosition pos = TabPosition();
    st.Scratch->Assign(FTabBackGroundActive.get());
    TRect r = st.DeferredRect;
    int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    int along = R + FTabOverlap - L + 2, down = B + FTabOverlap - T + 3;
    bool lowered = FLowerActive >= 1;
    switch (pos) {
    case TTabPosition::tpTop:
        DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 2, lowered ? T - 1 : T - 2, along);
        break;
    case TTabPosition::tpBottom:
        DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 2, lowered ? T - 3 : T - 1, along);
        break;
    case TTabPosition::tpLeft:
        DrawBitmapSlicesVertical(st.Scratch.get(), c, lowered ? L + 1 : L, T, down);
        break;
    case TTabPosition::tpRight:
        DrawBitmapSlicesVertical(st.Scratch.get(), c, lowered ? L - 3 : L - 1, T - 2, down);
        break;
    }
    if (sheet->FShowClose) DrawCloseGlyph(c, r, true);
    int X = st.DeferredText.X, Y = st.DeferredText.Y;
    DrawTabImage(c, sheet, X, Y, 0, 14);
    if (Horizontal(pos))
        c->Font()->Assign(FActiveFont.get());
    else
        c->Font()->Assign(RotatedFont(FActiveFont.get()).get());
    if (!sheet->Enabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    DrawTabCaption(c, sheet, X, pos == TTabPosition::tpBottom ? Y - 2 : Y, R, B);
    c->Font()->Assign(Font());
    DrawTabFocus(c, r, FTabOverlap);
}

void TAdvPageControl::DrawTabImage(TCanvas* c, TAdvTabSheet* Sheet, int& X, int& Y, int LeftShift,
                                   int RightShift) {
    if (!FImages || Sheet->FImageIndex < 0) return;
    switch (TabPosition()) {
    case TTabPosition::tpLeft:
        FImages->Draw(c, X + LeftShift, Y - 14, Sheet->FImageIndex);
        Y -= FImages->Height();
        break;
    case TTabPosition::tpRight:
        FImages->Draw(c, X - RightShift, Y, Sheet->FImageIndex);
        Y += FImages->Height();
        break;
    default:
        FImages->Draw(c, X - 2, Y, Sheet->FImageIndex);
        X += FImages->Width();
        break;
    }
}

void TAdvPageControl::DrawTabCaption(TCanvas* c, TAdvTabSheet* Sheet, int X, int Y, int Right, int Bottom) {
    if (!Horizontal(TabPosition())) {
        c->TextOut(X, Y, Sheet->Caption());
        return;
    }
    TRect r{X, Y, Right, Bottom};
    c->DrawText(Sheet->Caption(), r, DT_NOCLIP | DT_SINGLELINE);
}

void TAdvPageControl::DrawTabFocus(TCanvas* c, const TRect& TabRect, int Extra) {
    if (!FShowFocus || !Focused()) return;
    const bool horizontal = Horizontal(TabPosition());
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(TPenStyle::psDot);
    c->Rectangle(TabRect.Left + 5, TabRect.Top + 3, TabRect.Right - (horizontal ? Extra : 0) - 5,
                 TabRect.Bottom - (horizontal ? 0 : Extra) - 3);
    c->Pen()->SetStyle(TPenStyle::psSolid);
}

void TAdvPageControl::DrawGlyph(TCanvas* c, const TRect& TabRect, int D, int K, TColor Box, TColor BoxPen,
                                TColor Cross) {
    int gx = 0, gy = 0;
    switch (TabPosition()) {
    case TTabPosition::tpLeft:
        gx = TabRect.Left + FTabMargin->LeftMargin() + D + 2;
        gy =
            TabRect.Bottom - FTabMargin->TopMargin() - 13 + (FTabBackGroundActive->Empty() ? 0 : FTabOverlap);
        break;
    case TTabPosition::tpRight:
        gx = TabRect.Left + FTabMargin->LeftMargin() + 2 + K;
        gy = TabRect.Top + FTabMargin->TopMargin() + 2;
        break;
    default:
        gx = TabRect.Left + FTabMargin->LeftMargin() + 2;
        gy = TabRect.Top + FTabMargin->TopMargin() + D + 2;
        break;
    }
    if (!FCloseGlyph->Empty()) {
        DrawCloseGlyphBitmap(c, gx, gy);
        return;
    }
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Box);
    c->Pen()->SetColor(BoxPen);
    c->Rectangle(gx, gy, gx + 12, gy + 11);
    c->Pen()->SetColor(Cross);
    if (TabPosition() == TTabPosition::tpLeft) {
        Line(c, gx + 3, gy + 3, gx + 9, gy + 8);
        Line(c, gx + 4, gy + 3, gx + 8, gy + 8);
        Line(c, gx + 3, gy + 7, gx + 9, gy + 2);
        Line(c, gx + 4, gy + 7, gx + 8, gy + 2);
    } else {
        Line(c, gx + 3, gy + 7, gx + 9, gy + 2);
        Line(c, gx + 4, gy + 7, gx + 8, gy + 2);
        Line(c, gx + 3, gy + 3, gx + 9, gy + 8);
        Line(c, gx + 4, gy + 3, gx + 8, gy + 8);
    }
    c->Brush()->SetStyle(TBrushStyle::bsClear);
}

void TAdvPageControl::DrawCloseGlyph(TCanvas* Canvas, const TRect& TabRect, bool Active) {
    int d = Active ? FLowerActive : 0;
    DrawGlyph(Canvas, TabRect, d, 2 - d, clWhite, clGray, clBlack);
}

void TAdvPageControl::DrawCloseGlyphHot(TCanvas* Canvas, const TRect& TabRect) {
    DrawGlyph(Canvas, TabRect, FLowerActive, 0, clWhite, clBlack, clGray);
}

void TAdvPageControl::DrawCloseGlyphDown(TCanvas* Canvas, const TRect& TabRect) {
    DrawGlyph(Canvas, TabRect, FLowerActive, 2 - FLowerActive, clSilver, clBlack, clBlack);
}

void TAdvPageControl::DrawCloseGlyphBitmap(TCanvas* Canvas, int X, int Y) {
    Canvas->SaveState();
    Canvas->IntersectClipRect({X, Y, X + 12, Y + 11});
    FCloseGlyph->Transparent = true;
    FCloseGlyph->TransparentMode = TTransparentMode::tmAuto;
    Canvas->Draw(X, Y, FCloseGlyph.get());
    Canvas->RestoreState();
}
