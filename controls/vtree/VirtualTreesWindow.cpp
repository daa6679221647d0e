// The tree on screen: the view over the control's own window (header strip
// above the client area, timers, repaints, focus and accessibility events,
// the picture of a dragged column) and the window procedure that turns
// messages into the tree's handlers.
#include <climits>
#include <map>
#include <memory>

#include "controls/vtree/VTAccessibilityFactory.h"
#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesDragImage.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/Accessibility.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Cursors.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/ScrollBars.h"
#include "platform/rtl/ScopeGuard.h"

// The window of a tree: the control's widget, the header drawn in its top
// strip. Client coordinates start below the header.
class TVTWindowView : public IVTView {
public:
    explicit TVTWindowView(TBaseVirtualTree* Tree) : FTree(Tree) {}

    int HeaderHeight() const {
        TVTHeader* header = FTree->Header();
        return header && header->Options().Contains(hoVisible) ? int(header->Height()) : 0;
    }

    bool HandleAllocated() const override { return FTree->TWinControl::HandleAllocated(); }
    void Invalidate() override { FTree->TWinControl::Invalidate(); }
    void InvalidateRect(const TRect& R) override {
        TRect r = R;
        OffsetRect(r, 0, HeaderHeight());
        FTree->TControl::InvalidateRect(r);
    }
    void InvalidateNode(PVirtualNode Node) override {
        TRect r = FTree->GetDisplayRect(Node, NoColumn, false);
        if (!r.IsEmpty()) {
            r.Left = 0;
            r.Right = ClientWidth();
            InvalidateRect(r);
        }
    }
    void InvalidateToBottom(PVirtualNode Node) override {
        TRect r = FTree->GetDisplayRect(Node, NoColumn, false);
        InvalidateRect(TRect{0, r.Top, ClientWidth(), ClientHeight()});
    }
    void RepaintNode(PVirtualNode Node) override { InvalidateNode(Node); }
    void SetRedraw(bool Value) override { FTree->TWinControl::SetRedraw(Value); }
    int ClientWidth() const override { return FTree->ClientRect().Width(); }
    int ClientHeight() const override { return FTree->ClientRect().Height(); }
    int TextWidth(const WideString& Text) const override {
        TCanvas* canvas = FTree->Canvas();
        canvas->Font()->Assign(FTree->Font());
        return canvas->TextWidth(Text);
    }
    int ImageListWidth(TCustomImageList* Images) const override { return Images ? Images->Width() : 0; }
    TShiftState KeyboardShiftState() const override { return GetShiftState(); }
    TPoint CursorPos() const override {
        TPoint p = FTree->ScreenToClient(Mouse.CursorPos());
        p.Y -= HeaderHeight();
        return p;
    }
    TPoint ClientToScreen(TPoint P) const override {
        return FTree->TControl::ClientToScreen(TPoint{P.X, P.Y + HeaderHeight()});
    }
    void ScrollClientArea(int, int64_t, const TRect*) override {
        DropPicture();
        Invalidate();
    }
    void RepaintHeader(const TRect* R) override {
        if (!R) {
            FTree->TControl::InvalidateRect(TRect{0, 0, FTree->Width(), HeaderHeight()});
            return;
        }
        TRect r = *R;
        OffsetRect(r, 0, HeaderHeight());
        FTree->TControl::InvalidateRect(r);
    }
    void RedrawFrame() override { Invalidate(); }
    void AcceptOLEDropChanged(bool Accept) override { FTree->UpdateDropRegistration(Accept); }
    void RecreateWindow() override { Invalidate(); }
    void ThemeAwareChanged(bool) override { Invalidate(); }
    void SetCursor(TCursor Cursor) override {
        FCursor = Cursor;
        // The column edge shows the screen's own split shape.
        const TCursor shape = Cursor == crHeaderSplit ? crHSplit : Cursor == crDefault ? crArrow : Cursor;
        ::SetCursor(Screen->Cursors(shape));
    }
    void SetCapture() override { ::SetCapture(FTree); }
    void ReleaseCapture() override {
        if (MouseCaptured()) ::ReleaseCapture();
    }
    bool MouseCaptured() const override { return GetCapture() == FTree; }
    void CancelHint() override {
        if (Application) Application->CancelHint();
    }
    void UpdateWindow() override { FTree->Update(); }
    // The editor follows its cell when columns, nodes or the control change size.
    void UpdateEditBounds() override { FTree->UpdateEditBounds(); }
    int ScrollBarSize() const override { return GetSystemMetrics(SM_CXVSCROLL); }

    // The bars count in int; a taller tree is shown at a coarser step, and
    // positions read back from a bar are scaled up again.
    void SetScrollInfo(int Bar, int64_t Max, int64_t Position, int64_t Page, bool DisableNoScroll,
                       bool Redraw) override {
        const int bar = BarOf(Bar);
        int64_t& scale = FScale[bar];
        scale = std::max<int64_t>(1, (std::max<int64_t>(Max, 0) + INT_MAX - 1) / (INT_MAX - 1));
        TScrollInfo info;
        info.Mask = SIF_RANGE | SIF_PAGE | SIF_POS | (DisableNoScroll ? SIF_DISABLENOSCROLL : 0u);
        info.Min = 0;
        info.Max = int(std::max<int64_t>(Max, 0) / scale);
        info.Page = unsigned(std::clamp<int64_t>(Page / scale, 0, INT_MAX));
        info.Pos = int(std::clamp<int64_t>(Position / scale, 0, info.Max));
        ::SetScrollInfo(FTree, bar, info, Redraw);
    }
    void ShowScrollBar(int Bar, bool Show) override { ::ShowScrollBar(FTree, BarOf(Bar), Show); }
    // Where the user holds the thumb of a bar, in tree pixels.
    int64_t TrackPosition(int Bar) const {
        TScrollInfo info;
        info.Mask = SIF_TRACKPOS;
        if (!::GetScrollInfo(FTree, Bar, info)) return 0;
        return int64_t(info.TrackPos) * FScale[Bar == SB_VERT ? 1 : 0];
    }
    void Popup(TPopupMenu* Menu, TPoint ClientP) override {
        if (!Menu) return;
        Menu->SetPopupComponent(FTree);
        const TPoint screen = ClientToScreen(ClientP);
        Menu->Popup(screen.X, screen.Y);
    }
    bool Focused() const override { return FTree->TWinControl::Focused(); }
    bool CanFocus() const override { return FTree->TWinControl::CanFocus(); }
    void SetFocus() override { FTree->TWinControl::SetFocus(); }

    // Timers run on the timer seam: a Qt timer on screen, the manual clock
    // in tests. Without a window there are none.
    void SetTimer(unsigned TimerID, unsigned Milliseconds) override {
        if (!HandleAllocated()) return;
        std::unique_ptr<TTimer>& timer = FTimers[TimerID];
        if (!timer) {
            timer = std::make_unique<TTimer>(nullptr);
            TBaseVirtualTree* tree = FTree;
            timer->OnTimer = [tree, TimerID](TObject*) { tree->WMTimer(TimerID); };
        }
        timer->SetEnabled(false);
        timer->SetInterval(std::max(1u, Milliseconds));
        timer->SetEnabled(true);
    }
    void KillTimer(unsigned TimerID) override {
        auto it = FTimers.find(TimerID);
        if (it != FTimers.end() && it->second) it->second->SetEnabled(false);
    }
    int64_t TickCount() const override { return GetTickCount(); }

    // The picture of the whole widget, header included; slides come from it.
    void TakePicture() override {
        DropPicture();
        if (!HandleAllocated()) return;
        auto picture = std::make_unique<TBitmap>(FTree->Width(), FTree->Height());
        FTree->PaintTo(picture->Canvas(), 0, 0);
        FPicture = std::move(picture);
    }
    void ShowSlides(std::vector<TVTSlide> Slides) override {
        if (!FPicture) return;
        InvalidateSlides();
        FSlides = std::move(Slides);
        InvalidateSlides();
    }
    void DropPicture() override {
        if (!FPicture) return;
        InvalidateSlides();
        FSlides.clear();
        FPicture.reset();
    }
    // Over the tree's own painting; Canvas has its origin at the client area.
    void PaintSlides(TCanvas* Canvas) {
        if (!FPicture) return;
        for (const TVTSlide& slide : FSlides) {
            Canvas->SaveState();
            TScopeGuard restore([Canvas] { Canvas->RestoreState(); });
            Canvas->IntersectClipRect(slide.Area);
            if (slide.Fill) slide.Fill(Canvas, slide.Area);
            TRect dest = slide.Source;
            OffsetRect(dest, slide.Shift.X, slide.Shift.Y);
            TRect source = slide.Source;
            OffsetRect(source, 0, HeaderHeight());
            Canvas->DrawBitmapPart(dest, FPicture.get(), source);
        }
    }

    bool TimerRunning(unsigned TimerID) const {
        auto it = FTimers.find(TimerID);
        return it != FTimers.end() && it->second && it->second->Enabled();
    }

    void NotifyAccessibleEvent(unsigned Event) override {
        if (FTree->FAccessible) FTree->FAccessible->NotifyEvent(Event);
        // Screen readers hear it through the layer.
        NotifyWinEvent(Event, FTree, OBJID_CLIENT, CHILDID_SELF);
    }
    void NotifyAccessibleStateChange() override { NotifyAccessibleEvent(VTAccessibleEvent::StateChange); }
    void NotifyAccessibleFocus() override {
        for (unsigned e : {VTAccessibleEvent::LocationChange, VTAccessibleEvent::NameChange,
                           VTAccessibleEvent::ValueChange, VTAccessibleEvent::StateChange,
                           VTAccessibleEvent::Selection, VTAccessibleEvent::Focus})
            NotifyAccessibleEvent(e);
    }

    TCursor ShownCursor() const { return FCursor; }

    // The dragged column's button, as the header shows it unscrolled,
    // follows the mouse; HotSpot and P in client coordinates.
    void ShowHeaderDragImage(TColumnIndex Column, TPoint HotSpot, bool Horizontally) override {
        TVirtualTreeColumns* columns = FTree->Header()->Columns();
        if (!columns->IsValidIndex(Column)) return;
        TVirtualTreeColumn* column = columns->GetItem(Column);
        int left, right;
        column->GetAbsoluteBounds(left, right);
        const int height = int(FTree->Header()->Height());
        TBitmap picture(column->Width(), height);
        TCanvas* canvas = picture.Canvas();
        canvas->Brush()->SetColor(clBtnFace);
        canvas->FillRect(TRect{0, 0, picture.Width(), height});
        canvas->SaveState();
        canvas->MoveOrigin(-left, 0);
        FTree->DrawHeader(canvas, TRect{0, 0, columns->TotalVisibleWidth(), height}, 0);
        canvas->RestoreState();
        if (!FHeaderDragImage) {
            FHeaderDragImage = std::make_unique<TVTDragImage>(FTree);
            FHeaderDragImage->PreBlendBias = -50;
            FHeaderDragImage->Transparency = 140;
        }
        FHeaderDragImage->MoveRestriction = Horizontally ? dmrHorizontalOnly : dmrNone;
        TPoint position = ClientToScreen(TPoint{column->Left(), 0});
        position.Y -= height;
        FHeaderDragImage->Prepare(&picture, position, ClientToScreen(HotSpot), nullptr);
        FHeaderDragImage->Show();
    }
    void MoveHeaderDragImage(TPoint P, bool Force) override {
        if (FHeaderDragImage) FHeaderDragImage->MoveTo(ClientToScreen(P), Force);
    }
    void HideHeaderDragImage() override {
        if (FHeaderDragImage) FHeaderDragImage->Hide();
    }

private:
    static int BarOf(int Bar) { return Bar == VTScroll::Vertical ? SB_VERT : SB_HORZ; }
    void InvalidateSlides() {
        for (const TVTSlide& slide : FSlides)
            InvalidateRect(slide.Area);
    }

    TBaseVirtualTree* FTree;
    std::map<unsigned, std::unique_ptr<TTimer>> FTimers;
    // Tree pixels per bar unit, horizontal and vertical.
    int64_t FScale[2] = {1, 1};
    TCursor FCursor = crDefault;
    std::unique_ptr<TVTDragImage> FHeaderDragImage;
    std::unique_ptr<TBitmap> FPicture;
    std::vector<TVTSlide> FSlides;
};

std::unique_ptr<IVTView> CreateTreeWindowView(TBaseVirtualTree* Tree) {
    return std::make_unique<TVTWindowView>(Tree);
}

// ---- The window procedure ----------------------------------------------------------------

TRect TBaseVirtualTree::ClientRect() const {
    TRect r = TCustomControl::ClientRect();
    if (FHeader && FHeader->Options().Contains(hoVisible))
        r.Bottom = std::max(r.Top, r.Bottom - int(FHeader->Height()));
    return TRect{0, 0, r.Width(), r.Height()};
}

void TBaseVirtualTree::WidgetCreated() {
    TCustomControl::WidgetCreated();
    UpdateScrollBars(false);
    FDropRegistered = false;
    UpdateDropRegistration(FOptions->MiscOptions().Contains(toAcceptOLEDrop));
}

namespace {

bool IsMouseMessage(unsigned Msg) {
    return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK;
}

TMouseButton ButtonOf(unsigned Msg) {
    switch (Msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return TMouseButton::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

} // namespace

void TBaseVirtualTree::WndProc(TMessage& Message) {
    // Mouse messages arrive in window coordinates; the tree works in client
    // coordinates below the header strip.
    if (IsMouseMessage(Message.Msg) && FView == FWindowView.get()) {
        const int header = static_cast<TVTWindowView*>(FWindowView.get())->HeaderHeight();
        Message.LParam = MAKELPARAM(LoWordSigned(Message.LParam), HiWordSigned(Message.LParam) - header);
    }
    TCustomControl::WndProc(Message);
}

void TBaseVirtualTree::Dispatch(TMessage& Message) {
    const unsigned msg = Message.Msg;
    if (IsMouseMessage(msg)) {
        const TPoint p{LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)};
        const TShiftState shift = KeysToShiftState(unsigned(Message.WParam));
        const TMouseButton button = ButtonOf(msg);
        const THeaderStates busy{hsTracking, hsTrackPending, hsDragging, hsDragPending};
        const bool inHeader = FHeader->PointInHeader(p);
        switch (msg) {
        case WM_MOUSEMOVE:
            if (FHeader->HandleMouseMove(shift, p)) return;
            FHeader->HandleHoverMove(shift, p);
            if (inHeader) return;
            TCustomControl::Dispatch(Message);
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (inHeader) {
                if (!FView->Focused() && FView->CanFocus()) FView->SetFocus();
                FHeader->HandleMouseDown(button, shift, p);
                return;
            }
            WMButtonDown(Message, button);
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (inHeader || !(FHeader->States() * busy).Empty()) {
                const bool handled = FHeader->HandleMouseUp(button, shift, p, inHeader);
                if (handled || inHeader) return;
            }
            WMButtonUp(Message, button);
            return;
        default: // double clicks
            if (inHeader) {
                FHeader->HandleDblClick(button, shift, p);
                return;
            }
            WMButtonDblClk(Message, button);
            return;
        }
    }
    switch (msg) {
    case WM_PAINT: {
        auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
        if (!canvas) break;
        const int header =
            FView == FWindowView.get() ? static_cast<TVTWindowView*>(FWindowView.get())->HeaderHeight() : 0;
        if (header > 0) DrawHeader(canvas, TRect{0, 0, Width(), header}, -EffectiveOffsetX());
        canvas->SaveState();
        TScopeGuard restore([canvas] { canvas->RestoreState(); });
        // The window clipped to a client area at its top; the tree's lies
        // under the header.
        if (header > 0) canvas->ResetClip();
        canvas->MoveOrigin(0, header);
        canvas->IntersectClipRect(ClientRect());
        TCustomControl::Dispatch(Message);
        if (FView == FWindowView.get()) {
            // Slides reach into the header too.
            canvas->RestoreState();
            canvas->SaveState();
            canvas->MoveOrigin(0, header);
            static_cast<TVTWindowView*>(FWindowView.get())->PaintSlides(canvas);
        }
        return;
    }
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(Message);
        WMSize();
        return;
    case WM_SETFOCUS:
        TCustomControl::Dispatch(Message);
        WMSetFocus();
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        WMKillFocus();
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        TCustomControl::Dispatch(Message);
        WMKeyDown(uint16_t(Message.WParam), KeyDataToShiftState(Message.LParam));
        return;
    case WM_KEYUP:
        TCustomControl::Dispatch(Message);
        WMKeyUp(uint16_t(Message.WParam), KeyDataToShiftState(Message.LParam));
        return;
    case WM_CHAR:
        TCustomControl::Dispatch(Message);
        WMChar(uint16_t(Message.WParam));
        return;
    case WM_GETDLGCODE:
        Message.Result = LRESULT(WMGetDlgCode());
        return;
    case WM_MOUSEWHEEL: {
        // WParam: keys in the low word, the signed delta in the high one.
        const int delta = int16_t(uint16_t(uint32_t(Message.WParam) >> 16));
        WMMouseWheel(delta, KeysToShiftState(unsigned(Message.WParam) & 0xFFFF));
        Message.Result = 1;
        return;
    }
    case WM_CANCELMODE:
        WMCancelMode();
        TCustomControl::Dispatch(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave();
        TCustomControl::Dispatch(Message);
        return;
    case CM_HINTSHOW: {
        // The layer's points are the widget's; the tree's lie below the header.
        auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
        const int header =
            FView == FWindowView.get() ? static_cast<TVTWindowView*>(FWindowView.get())->HeaderHeight() : 0;
        if (info) info->CursorPos.Y -= header;
        CMHintShow(Message);
        if (info) {
            info->CursorPos.Y += header;
            OffsetRect(info->CursorRect, 0, header);
        }
        return;
    }
    case CM_HINTSHOWPAUSE:
        CMHintShowPause(Message);
        return;
    case WM_CONTEXTMENU:
        WMContextMenu(Message);
        return;
    case CM_COLORCHANGED:
        TCustomControl::Dispatch(Message);
        if (!IsLoading()) {
            PrepareButtonBitmaps(true, false);
            InvalidateView();
        }
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        if (!IsLoading()) {
            PrepareButtonBitmaps(true, false);
            InvalidateView();
        }
        return;
    case CM_SYSCOLORCHANGE:
        TCustomControl::Dispatch(Message);
        // The shared check and utility images take the new colours, and so do
        // the tree's own buttons and line brush, which keep resolved colours.
        RefreshSharedImages();
        PrepareButtonBitmaps(true, true);
        return;
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        InvalidateView();
        return;
    case WM_GETOBJECT:
        WMGetObject(Message);
        return;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const int code = LoWordSigned(LPARAM(Message.WParam));
        const bool vertical = msg == WM_VSCROLL;
        int64_t track = 0;
        if ((code == VTScroll::ThumbPosition || code == VTScroll::ThumbTrack) && FView == FWindowView.get())
            track =
                static_cast<TVTWindowView*>(FWindowView.get())->TrackPosition(vertical ? SB_VERT : SB_HORZ);
        if (vertical)
            WMVScroll(code, track);
        else
            WMHScroll(code, int(track));
        return;
    }
    case WM_NCHITTEST: {
        // The header strip lies inside the widget's client area.
        const TPoint p =
            TControl::ScreenToClient({LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)});
        if (TCustomControl::ClientRect().Contains(p)) {
            Message.Result = HTCLIENT;
            return;
        }
        TCustomControl::Dispatch(Message);
        return;
    }
    case WM_SETCURSOR:
        if (LoWordSigned(Message.LParam) == HTCLIENT && FView == FWindowView.get() &&
            WMSetCursor(FView->CursorPos())) {
            Message.Result = 1;
            return;
        }
        TCustomControl::Dispatch(Message);
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}
