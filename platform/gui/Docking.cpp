// Docking: a control dragged or moved onto a dock site, the site's
// questions and notifications, and undocking.
#include <algorithm>
#include <cstdlib>

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DragThreshold = 5; // pixels the mouse moves before a drag starts

// The one dock drag under way.
struct TDockDrag {
    TControl* Control = nullptr;
    TPoint Start;
    bool Started = false;
    TDragDockObject Object;
};
TDockDrag Drag;

TRect ScreenRect(const TControl* Control) {
    TPoint origin = Control->Parent() ? Control->Parent()->ClientToScreen({Control->Left(), Control->Top()})
                                      : TPoint{Control->Left(), Control->Top()};
    return Bounds(origin.X, origin.Y, Control->Width(), Control->Height());
}

bool Inside(const TControl* Control, const TControl* Ancestor) {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == Ancestor) return true;
    return false;
}

// The innermost shown control at a screen point, searched from the form
// shown last.
TControl* ControlAt(const TPoint& P) {
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        TWinControl* at = Screen->Forms(i);
        if (!at->Visible() || !ScreenRect(at).Contains(P)) continue;
        for (;;) {
            TControl* child = at->ControlAtPos(at->ScreenToClient(P));
            auto* win = dynamic_cast<TWinControl*>(child);
            if (!win) return child ? child : at;
            at = win;
        }
    }
    return nullptr;
}

// The dock site that takes Client at a screen point: the innermost site
// there that is not the client or inside it, asked whether it would.
TWinControl* SiteAt(TControl* Client, const TPoint& P) {
    for (TControl* c = ControlAt(P); c; c = c->Parent()) {
        auto* site = dynamic_cast<TWinControl*>(c);
        if (!site || !site->DockSite() || Inside(site, Client)) continue;
        TRect influence = ScreenRect(site);
        bool canDock = true;
        site->GetSiteInfo(Client, influence, P, canDock);
        if (canDock && influence.Contains(P)) return site;
    }
    return nullptr;
}
} // namespace

// TControl

bool TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide) {
    TDragDockObject dock;
    if (NewDockSite) {
        dock.Control = this;
        dock.DragTarget = NewDockSite;
        dock.DockRect = ScreenRect(NewDockSite);
        dock.DragPos = NewDockSite->ClientToScreen({0, 0});
        dock.DropAlign = ControlSide;
        dock.DropOnControl = DropControl;
    }
    return MoveToDockSite(NewDockSite, &dock);
}

bool TControl::MoveToDockSite(TWinControl* Site, TDragDockObject* Dock) {
    TWinControl* old = FHostDockSite;
    if (old && !old->Perform(CM_UNDOCKCLIENT, WPARAM(Site), LPARAM(this))) return false;
    if (old) std::erase(old->FDockClients, this);
    FHostDockSite = nullptr;
    if (Site) {
        TPoint p = Site->ScreenToClient(Dock->DragPos);
        Site->Perform(CM_DOCKCLIENT, WPARAM(Dock), MAKELPARAM(p.X, p.Y));
    } else {
        SetParent(nullptr);
    }
    if (old) old->DoRemoveDockClient(this);
    return true;
}

void TControl::NotifyDockHost(TMessage& Message) {
    FHostDockSite->Perform(CM_DOCKNOTIFICATION, WPARAM(this), LPARAM(&Message));
}

void TControl::BeginDrag(bool Immediate) {
    if (Drag.Control) Drag.Control->EndDrag(false);
    Drag = {};
    Drag.Control = this;
    Drag.Start = Mouse.CursorPos();
    Drag.Object.Control = this;
    Drag.Object.DockRect = ScreenRect(this);
    SetMouseCapture(true);
    if (Immediate) {
        Drag.Started = true;
        if (OnStartDock) OnStartDock(this);
    }
}

bool TControl::Dragging() const {
    return Drag.Control == this;
}

void TControl::DragTo(const TPoint& ScreenPos) {
    if (!Dragging()) return;
    if (!Drag.Started) {
        if (std::abs(ScreenPos.X - Drag.Start.X) < DragThreshold &&
            std::abs(ScreenPos.Y - Drag.Start.Y) < DragThreshold)
            return;
        Drag.Started = true;
        if (OnStartDock) OnStartDock(this);
    }
    TDragDockObject& dock = Drag.Object;
    dock.DragPos = ScreenPos;
    TWinControl* site = SiteAt(this, ScreenPos);
    TWinControl* was = dock.DragTarget;
    if (was && was != site) {
        bool accept = false;
        TPoint p = was->ScreenToClient(ScreenPos);
        was->DockOver(dock, p.X, p.Y, TDragState::dsDragLeave, accept);
    }
    dock.DragTarget = nullptr;
    if (!site) return;
    // Until the site says otherwise, the client keeps its size at the mouse.
    dock.DockRect = Bounds(ScreenPos.X, ScreenPos.Y, Width(), Height());
    bool accept = true;
    TPoint p = site->ScreenToClient(ScreenPos);
    site->DockOver(dock, p.X, p.Y, site == was ? TDragState::dsDragMove : TDragState::dsDragEnter, accept);
    if (accept) dock.DragTarget = site;
}

void TControl::EndDrag(bool Drop) {
    if (!Dragging()) return;
    TDockDrag drag = Drag;
    Drag = {};
    SetMouseCapture(false);
    if (!drag.Started) return;
    TWinControl* target = Drop ? drag.Object.DragTarget : nullptr;
    if (target && !MoveToDockSite(target, &drag.Object)) target = nullptr;
    TPoint at = target ? target->ScreenToClient(drag.Object.DragPos) : TPoint{0, 0};
    if (OnEndDock) OnEndDock(this, target, at.X, at.Y);
}

bool TControl::DragMessage(TMessage& Message) {
    if (!Dragging() || (Message.Msg != WM_MOUSEMOVE && Message.Msg != WM_LBUTTONUP)) return false;
    TPoint at = ClientToScreen({LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)});
    if (Message.Msg == WM_MOUSEMOVE) {
        DragTo(at);
        return true;
    }
    // A release before the drag started is an ordinary one.
    if (!Drag.Started) {
        EndDrag(false);
        return false;
    }
    DragTo(at);
    EndDrag(true);
    return true;
}

// TWinControl

void TWinControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) {
    // A site takes drops a little beyond its edges.
    InflateRect(InfluenceRect, 10, 10);
    if (OnGetSiteInfo) OnGetSiteInfo(this, Client, InfluenceRect, MousePos, CanDock);
}

void TWinControl::DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept) {
    if (OnDockOver) OnDockOver(this, Source, X, Y, State, Accept);
}

void TWinControl::DockDrop(TDragDockObject& Source, int X, int Y) {
    TRect r = Source.DockRect;
    TPoint topLeft = ScreenToClient({r.Left, r.Top});
    DoAddDockClient(Source.Control, Bounds(topLeft.X, topLeft.Y, r.Width(), r.Height()));
    if (OnDockDrop) OnDockDrop(this, Source, X, Y);
    Realign();
}

void TWinControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
    Client->SetParent(this);
    Client->SetBoundsRect(ARect);
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client) {
    bool allow = true;
    if (OnUnDock) OnUnDock(this, Client, NewTarget, allow);
    return allow;
}

void TWinControl::DoRemoveDockClient(TControl* Client) {
    (void)Client;
}

bool TWinControl::DockMessage(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DOCKCLIENT: {
        auto& source = *reinterpret_cast<TDragDockObject*>(Message.WParam);
        TControl* client = source.Control;
        DockDrop(source, LoWordSigned(Message.LParam), HiWordSigned(Message.LParam));
        client->FHostDockSite = this;
        if (std::find(FDockClients.begin(), FDockClients.end(), client) == FDockClients.end())
            FDockClients.push_back(client);
        Message.Result = 1;
        return true;
    }
    case CM_UNDOCKCLIENT:
        Message.Result = DoUnDock(reinterpret_cast<TWinControl*>(Message.WParam),
                                  reinterpret_cast<TControl*>(Message.LParam));
        return true;
    case CM_DOCKNOTIFICATION:
        return true;
    default:
        return false;
    }
}
