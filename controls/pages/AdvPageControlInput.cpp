// The page control's messages and input: keys, accelerators, the mouse, hover
// tracking and the close glyph.
#include "controls/pages/AdvPageControl_p.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
// Over an active tab picture the close glyph's hit box at the left moves in.
constexpr int PictureGlyphShift = 2;
} // namespace

void TAdvPageControl::SelectTabByUser(int NewIndex) {
    const bool locked = TakeRedrawLock();
    TScopeGuard release([this, locked] {
        if (locked) ReleaseRedrawLock();
    });
    TCustomTabControl::SelectTabByUser(NewIndex);
}

bool TAdvPageControl::TakeRedrawLock() {
    if (!MultiLine() || !Visible() || !FLoaded || (ComponentState() & csLoading)) return false;
    ++FRedrawLock;
    SetRedraw(false);
    return true;
}

// Given back even when a handler hid the control meanwhile: a lock kept
// would stop it from ever painting again.
void TAdvPageControl::ReleaseRedrawLock() {
    if (FRedrawLock > 0) --FRedrawLock;
    if (FRedrawLock == 0) {
        SetRedraw(true);
        Invalidate();
    }
}

void TAdvPageControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // The tab area is painted whole: erasing first would only flicker.
        if (!FTabBorder3D && TabCount() >= 1 && FRedrawLock <= 0) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        if (!Message.WParam) break;
        PaintOverStrip(Message);
        return;
    case CM_DIALOGKEY:
        if (SelectByCtrlTab(Message)) return;
        break;
    case CM_DIALOGCHAR:
        if (SelectByAccelerator(Message)) return;
        break;
    case CM_MOUSELEAVE:
        MouseLeft();
        break;
    default:
        if (HandleDockMessage(Message)) return;
        break;
    }
    TCustomTabControl::Dispatch(Message);
}

// The strip's own drawing, then the tab area over it in the same paint.
void TAdvPageControl::PaintOverStrip(TMessage& Message) {
    if (FRedrawLock > 0) return;
    TCustomTabControl::Dispatch(Message);
    if (FTabBorder3D) return;
    auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
    canvas->Font()->Assign(Font());
    DrawTabArea(canvas);
    PaintScrollButtons(canvas);
}

// Ctrl+Tab, with Shift backwards, from inside the control.
bool TAdvPageControl::SelectByCtrlTab(TMessage& Message) {
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    if (Message.WParam != VK_TAB || !(GetShiftState() & ssCtrl) || !focused || !ContainsControl(focused))
        return false;
    SelectNextPage(!(GetShiftState() & ssShift));
    Message.Result = 1;
    return true;
}

// The first page whose caption has the character as its accelerator wins,
// when its tab can show and the control can take the focus.
bool TAdvPageControl::SelectByAccelerator(TMessage& Message) {
    for (int i = 0; i < PageCount(); ++i) {
        TAdvTabSheet* page = FPages[std::size_t(i)];
        if (!IsAccel(uint16_t(Message.WParam), page->Caption()) || !CanShowTab(i) || !CanFocus()) continue;
        Message.Result = 1;
        if (AllowChangeTo(i, false)) {
            SetTabIndex(page->TabIndex());
            TabChanged();
        } else {
            SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
        }
        return true;
    }
    return false;
}

void TAdvPageControl::MouseLeft() {
    if (FTabBackGround->Empty() && FHoverTab >= 0) InvalidateRect(TabRectOfPage(FHoverTab));
    FHoverTab = -1;
    SetGlyphState(TGlyphState::gsNormal);
}

TRect TAdvPageControl::CloseGlyphRect() {
    if (FTabBorder3D || !FActivePage || !FActivePage->FShowClose || !FActivePage->FTabShowing) return {};
    TRect r = TabRectOfPage(ActivePageIndex());
    const int inset = CloseGlyphInset;
    r.Left += FTabMargin->LeftMargin() + inset;
    if (TabPosition() == TTabPosition::tpLeft) {
        r.Bottom -= FTabMargin->TopMargin() + inset;
        if (!FTabBackGroundActive->Empty()) {
            r.Left += PictureGlyphShift;
            r.Bottom += FTabOverlap;
        }
        return {r.Left, r.Bottom - CloseGlyphHeight, r.Left + CloseGlyphWidth, r.Bottom};
    }
    r.Top += FTabMargin->TopMargin() + inset;
    return {r.Left, r.Top, r.Left + CloseGlyphWidth, r.Top + CloseGlyphHeight};
}

// The glyph counts where the active tab shows: not behind the scroll
// buttons, nor scrolled out of the row.
bool TAdvPageControl::OverCloseGlyph(int X, int Y) {
    return CloseGlyphRect().Contains({X, Y}) && IndexOfTabAt(X, Y) == FActivePage->TabIndex();
}

void TAdvPageControl::SetGlyphState(TGlyphState State) {
    if (State == FGlyphState) return;
    FGlyphState = State;
    if (FActivePage && FActivePage->FTabShowing) InvalidateRect(TabRectOfPage(ActivePageIndex()));
}

void TAdvPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TComponentWatch self(this);
    TCustomTabControl::MouseDown(Button, Shift, X, Y);
    if (!self.Target()) return;
    if (!OverCloseGlyph(X, Y)) {
        if (Button == TMouseButton::mbLeft) DragDockedPage(Shift, X, Y);
        return;
    }
    // A dock site closes at once: a drag may follow the press.
    if (DockSite())
        CloseActivePage();
    else
        SetGlyphState(TGlyphState::gsDown);
}

void TAdvPageControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomTabControl::MouseMove(Shift, X, Y);
    if (FTabHoverColor == clNone || FTabBorder3D) return;
    if (FTabBackGround->Empty()) TrackHoverTab(X, Y);
    if (CloseGlyphRect().IsEmpty() || FGlyphState == TGlyphState::gsDown) return;
    SetGlyphState(OverCloseGlyph(X, Y) ? TGlyphState::gsHot : TGlyphState::gsNormal);
}

// The tab under the mouse is repainted in the hover colours, the one it
// left in its own.
void TAdvPageControl::TrackHoverTab(int X, int Y) {
    const int hover = TabAtPos(X, Y);
    if (hover == FHoverTab || (FTabHoverColor == clNone && FTabHoverColorTo == clNone)) return;
    if (FHoverTab >= 0) InvalidateRect(TabRectOfPage(FHoverTab));
    FHoverTab = hover;
    if (hover >= 0) InvalidateRect(TabRectOfPage(hover));
}

void TAdvPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetGlyphState(TGlyphState::gsNormal);
    TComponentWatch self(this);
    TCustomTabControl::MouseUp(Button, Shift, X, Y);
    if (!self.Target()) return;
    if (Button == TMouseButton::mbLeft && OverCloseGlyph(X, Y)) CloseActivePage();
}

void TAdvPageControl::CloseActivePage() {
    TAdvTabSheet* sheet = FActivePage;
    if (!sheet) return;
    TAdvTabSheet* next = FindNextEnabledPage(sheet, true);
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
    if (next && (!nextWatch.Target() || next->FPageControl != this)) next = FindNextEnabledPage(sheet, true);
    SetActivePage(next == sheet ? nullptr : next);
    Change();
    if (!watch.Target()) return;
    sheet->SetPageControl(nullptr);
    if (FFreeOnClose) FreeAfterEvent(sheet);
    Invalidate();
}
