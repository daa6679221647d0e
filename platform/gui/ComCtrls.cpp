// The tab strip: its tabs, their layout in rows, selection by the user,
// and the plain look.
#include "platform/gui/ComCtrls.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int StripMargin = 2;    // between the control's edge and the first row
constexpr int TextPadding = 6;    // each side of a tab's text
constexpr int PageInset = 4;      // between the strip's edge and the pages
constexpr int ImageGap = 3;       // between a tab's image and its text
constexpr int SelectedGrowth = 2; // the selected tab stands out by this much
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

void TCustomTabControl::Layout() {
    bool vertical = FTabPosition == TTabPosition::tpLeft || FTabPosition == TTabPosition::tpRight;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    int textHeight = canvas->TextHeight("Wg");
    // Images lie along the tab: for tabs at the sides their height counts.
    int imageAcross = FImages ? (vertical ? FImages->Width() : FImages->Height()) : 0;
    int imageAlong = FImages ? (vertical ? FImages->Height() : FImages->Width()) : 0;
    int across = FTabHeight > 0 ? FTabHeight : std::max(textHeight, imageAcross) + TextPadding;
    int room = (vertical ? Height() : Width()) - 2 * StripMargin;

    // Tabs in rows of at most the control's length; the row holding the
    // selected tab lies next to the pages.
    struct TPlace {
        int Row, Offset, Length;
    };
    std::vector<TPlace> places;
    int row = 0, offset = 0;
    for (int i = 0; i < TabCount(); ++i) {
        int length = FTabWidth;
        if (length <= 0) {
            length = canvas->TextWidth(StripHotkey(FTabs[std::size_t(i)].Text)) + 2 * TextPadding;
            if (FImages && GetImageIndex(i) >= 0) length += imageAlong + ImageGap;
        }
        if (FMultiLine && offset > 0 && offset + length > room) {
            ++row;
            offset = 0;
        }
        places.push_back({row, offset, length});
        offset += length;
    }
    int rows = TabCount() ? row + 1 : 0;
    int selectedRow = FTabIndex >= 0 && FTabIndex < TabCount() ? places[std::size_t(FTabIndex)].Row : 0;
    FStripExtent = StripMargin + rows * across;
    for (int i = 0; i < TabCount(); ++i) {
        const TPlace& p = places[std::size_t(i)];
        int r = (p.Row - selectedRow + rows) % rows; // 0: next to the pages
        int along = StripMargin + p.Offset;
        TRect& rect = FTabs[std::size_t(i)].Rect;
        switch (FTabPosition) {
        case TTabPosition::tpTop:
            rect = Bounds(along, StripMargin + (rows - 1 - r) * across, p.Length, across);
            break;
        case TTabPosition::tpBottom:
            rect = Bounds(along, Height() - FStripExtent + r * across, p.Length, across);
            break;
        case TTabPosition::tpLeft:
            rect = Bounds(StripMargin + (rows - 1 - r) * across, along, across, p.Length);
            break;
        case TTabPosition::tpRight:
            rect = Bounds(Width() - FStripExtent + r * across, along, across, p.Length);
            break;
        }
    }
}

TRect TCustomTabControl::TabRect(int Index) {
    if (Index < 0 || Index >= TabCount()) return {};
    Layout();
    return FTabs[std::size_t(Index)].Rect;
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
    if (!ClientRect().Contains({X, Y})) return -1;
    Layout();
    for (int i = 0; i < TabCount(); ++i)
        if (FTabs[std::size_t(i)].Rect.Contains({X, Y})) return i;
    return -1;
}

TRect TCustomTabControl::DisplayRect() {
    Layout();
    int e = TabCount() ? FStripExtent : 0;
    int w = Width(), h = Height();
    switch (FTabPosition) {
    case TTabPosition::tpBottom:
        return {PageInset, PageInset, w - PageInset, h - e - PageInset};
    case TTabPosition::tpLeft:
        return {e + PageInset, PageInset, w - PageInset, h - PageInset};
    case TTabPosition::tpRight:
        return {PageInset, PageInset, w - e - PageInset, h - PageInset};
    default:
        return {PageInset, e + PageInset, w - PageInset, h - PageInset};
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
    if (Button == TMouseButton::mbLeft) {
        int hit = IndexOfTabAt(X, Y);
        if (hit >= 0) {
            if (CanFocus() && TabStop()) SetFocus();
            SelectTabByUser(hit);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
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
    }
}
