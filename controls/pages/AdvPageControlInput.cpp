// The page control's messages and input: keys, accelerators, the mouse, hover
// tracking and the close glyph.
#include "controls/pages/AdvPageControl_p.h"

#include "platform/gui/Forms.h"

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

void TAdvPageControl::SelectTabByUser(int NewIndex) {
    TRedrawLock lock(this);
    TCustomTabControl::SelectTabByUser(NewIndex);
}

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
