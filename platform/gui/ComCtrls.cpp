// The tab strip: its tabs, selection by the user, and the plain look.
#include "platform/gui/ComCtrls.h"

#include <algorithm>

#include "platform/gui/ComCtrlsTabStrip_p.h"
#include "platform/rtl/ScopeGuard.h"

using namespace TabStrip;

namespace {
constexpr int PageInset = 4;      // between the strip's edge and the pages
constexpr int SelectedGrowth = 2; // the selected tab stands out by this much
// The focus rectangle inside the chosen tab of a focused strip.
constexpr int FocusInset = 3;
constexpr int DefaultWidth = 289;
constexpr int DefaultHeight = 193;
} // namespace

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, DefaultWidth, DefaultHeight);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case CM_FONTCHANGED:
        LayoutChanged();
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The chosen tab shows whether the strip has the focus.
        Invalidate();
        break;
    case TCM_HIGHLIGHTITEM:
        if (Message.WParam < WPARAM(TabCount())) {
            FTabs[Message.WParam].Highlighted = LoWordSigned(Message.LParam) != 0;
            Invalidate();
            Message.Result = 1;
        }
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomTabControl::InsertTab(int Index, const AnsiString& Text, TObject* Object) {
    Index = std::clamp(Index, 0, TabCount());
    FTabs.insert(FTabs.begin() + Index, TTab{Text, Object, {}, false});
    if (FTabIndex >= Index) ++FTabIndex;
    LayoutChanged();
}

void TCustomTabControl::DeleteTab(int Index) {
    if (Index < 0 || Index >= TabCount()) return;
    FTabs.erase(FTabs.begin() + Index);
    // The strip loses its selection with the selected tab.
    if (FTabIndex == Index)
        FTabIndex = -1;
    else if (FTabIndex > Index)
        --FTabIndex;
    LayoutChanged();
}

void TCustomTabControl::SetTabText(int Index, const AnsiString& Text) {
    if (Index < 0 || Index >= TabCount()) return;
    FTabs[std::size_t(Index)].Text = Text;
    LayoutChanged();
}

void TCustomTabControl::MoveTab(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || FromIndex >= TabCount() || ToIndex < 0 || ToIndex >= TabCount() ||
        FromIndex == ToIndex)
        return;
    TTab tab = FTabs[std::size_t(FromIndex)];
    FTabs.erase(FTabs.begin() + FromIndex);
    FTabs.insert(FTabs.begin() + ToIndex, tab);
    if (FTabIndex == FromIndex)
        FTabIndex = ToIndex;
    else if (FromIndex < FTabIndex && ToIndex >= FTabIndex)
        --FTabIndex;
    else if (FromIndex > FTabIndex && ToIndex <= FTabIndex)
        ++FTabIndex;
    LayoutChanged();
}

void TCustomTabControl::SetTabIndex(int Value) {
    if (Value < -1 || Value >= TabCount()) Value = -1;
    if (Value == FTabIndex) return;
    FTabIndex = Value;
    // A selected tab scrolls into view.
    FFollowSelection = true;
    LayoutChanged();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
    if (Value == FTabPosition) return;
    FTabPosition = Value;
    LayoutChanged();
}

void TCustomTabControl::SetMultiLine(bool Value) {
    FMultiLine = Value;
    LayoutChanged();
}

void TCustomTabControl::SetRaggedRight(bool Value) {
    FRaggedRight = Value;
    LayoutChanged();
}

void TCustomTabControl::SetScrollOpposite(bool Value) {
    FScrollOpposite = Value;
    FRowsOnTabSide = 0;
    LayoutChanged();
}

void TCustomTabControl::SetTabHeight(int Value) {
    FTabHeight = std::max(0, Value);
    LayoutChanged();
}

void TCustomTabControl::SetTabWidth(int Value) {
    FTabWidth = std::max(0, Value);
    LayoutChanged();
}

void TCustomTabControl::SetNativeImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    LayoutChanged();
}

void TCustomTabControl::SetOwnerDraw(bool Value) {
    FOwnerDraw = Value;
    Invalidate();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) {
        FImages = nullptr;
        LayoutChanged();
    }
}

void TCustomTabControl::LayoutChanged() {
    Realign();
    Invalidate();
}

TRect TCustomTabControl::TabRect(int Index) {
    if (Index < 0 || Index >= TabCount()) return {};
    Layout();
    return FTabs[std::size_t(Index)].Rect;
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
    if (!ClientRect().Contains({X, Y})) return -1;
    Layout();
    // A scrolled row shows its tabs between the margin and the buttons.
    if (FScrolling && (X < StripMargin || X >= FButtons.Left)) return -1;
    for (int i = 0; i < TabCount(); ++i)
        if (FTabs[std::size_t(i)].Rect.Contains({X, Y})) return i;
    return -1;
}

TRect TCustomTabControl::DisplayRect() {
    Layout();
    int e = TabCount() ? FStripExtent : 0;
    int o = TabCount() ? FOppositeExtent : 0;
    int w = Width(), h = Height();
    switch (FTabPosition) {
    case TTabPosition::tpBottom:
        return {PageInset, o + PageInset, w - PageInset, h - e - PageInset};
    case TTabPosition::tpLeft:
        return {e + PageInset, PageInset, w - o - PageInset, h - PageInset};
    case TTabPosition::tpRight:
        return {o + PageInset, PageInset, w - e - PageInset, h - PageInset};
    default:
        return {PageInset, e + PageInset, w - PageInset, h - o - PageInset};
    }
}

void TCustomTabControl::AdjustClientRect(TRect& R) {
    TRect d = DisplayRect();
    IntersectRect(R, R, d);
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::TabChanged() {
    if (OnTabChanged) OnTabChanged(this);
}

bool TCustomTabControl::CanShowTab(int) {
    return true;
}

int TCustomTabControl::GetImageIndex(int TabIndex) {
    int index = TabIndex;
    if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TCustomTabControl::SelectTabByUser(int NewIndex) {
    if (NewIndex < 0 || NewIndex >= TabCount() || NewIndex == FTabIndex) return;
    FPendingTabIndex = NewIndex;
    TScopeGuard reset([this] { FPendingTabIndex = -1; });
    if (!CanChange()) return;
    SetTabIndex(NewIndex);
    TabChanged();
}

void TCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft && ScrollButtonsRect().Contains({X, Y})) {
        // The buttons scroll the row and leave the selection and the focus.
        FPressedButton = X < FButtons.Left + ScrollButtonWidth ? -1 : 1;
        ScrollTabs(FPressedButton);
        InvalidateRect(FButtons);
    } else if (Button == TMouseButton::mbLeft) {
        int hit = IndexOfTabAt(X, Y);
        if (hit >= 0) {
            if (CanFocus() && TabStop()) SetFocus();
            SelectTabByUser(hit);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTabControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft && FPressedButton) {
        FPressedButton = 0;
        InvalidateRect(FButtons);
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomTabControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (TabCount() == 0) return;
    int step = 0;
    if (Key == VK_LEFT || Key == VK_UP)
        step = -1;
    else if (Key == VK_RIGHT || Key == VK_DOWN)
        step = 1;
    if (!step) return;
    int target = FTabIndex < 0 ? 0 : FTabIndex + step;
    if (target >= 0 && target < TabCount()) SelectTabByUser(target);
    Key = 0;
}

void TCustomTabControl::Paint() {
    TCanvas* c = Canvas();
    TColor background = Parent() ? Parent()->Color() : clBtnFace;
    c->Brush()->SetColor(background);
    c->FillRect(ClientRect());
    if (FOwnerDraw) return;
    // The plain look: a raised page frame and raised tabs.
    TRect page = DisplayRect();
    InflateRect(page, PageInset, PageInset);
    c->Brush()->SetColor(Color());
    c->FillRect(page);
    c->DrawEdge(page, EDGE_RAISED, BF_RECT);
    for (int i = TabCount() - 1; i >= 0; --i) {
        TRect r = TabRect(i);
        if (i == FTabIndex) InflateRect(r, SelectedGrowth, SelectedGrowth);
        c->Brush()->SetColor(FTabs[std::size_t(i)].Highlighted ? clHighlight : Color());
        c->FillRect(r);
        c->DrawEdge(r, EDGE_RAISED, BF_RECT);
        int x = r.Left + TextPadding;
        if (FImages && GetImageIndex(i) >= 0) {
            FImages->Draw(c, x, r.Top + (r.Height() - FImages->Height()) / 2, GetImageIndex(i));
            x += FImages->Width() + ImageGap;
        }
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->Font()->Assign(Font());
        TRect text{x, r.Top, r.Right, r.Bottom};
        c->DrawText(FTabs[std::size_t(i)].Text, text, DT_SINGLELINE | DT_VCENTER);
        if (i == FTabIndex && Focused()) {
            TRect focus = r;
            InflateRect(focus, -FocusInset, -FocusInset);
            c->Brush()->SetStyle(TBrushStyle::bsSolid);
            c->DrawFocusRect(focus);
        }
    }
    PaintScrollButtons(c);
}
