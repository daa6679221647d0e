// The page control as a dock site: a docked control gets a page of its
// own, its text and visibility become the page's caption and tab, and
// undocking it frees the page.
#include "controls/pages/AdvPageControl.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"

TAdvTabSheet* TAdvPageControl::PageOfDockClient(TControl* Client) const {
    auto* page = dynamic_cast<TAdvTabSheet*>(Client ? Client->Parent() : nullptr);
    return page && page->FPageControl == this ? page : nullptr;
}

void TAdvPageControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) {
    // A control docked on one of the pages does not dock here again.
    CanDock = !(dynamic_cast<TAdvTabSheet*>(Client->Parent()) && Client->HostDockSite() == this);
    TCustomTabControl::GetSiteInfo(Client, InfluenceRect, MousePos, CanDock);
}

void TAdvPageControl::DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept) {
    // The docked control will fill the control, whatever its size now.
    TPoint origin = Parent() ? Parent()->ClientToScreen({Left(), Top()}) : TPoint{Left(), Top()};
    Source.DockRect = Bounds(origin.X, origin.Y, Width(), Height());
    TCustomTabControl::DockOver(Source, X, Y, State, Accept);
}

void TAdvPageControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
    if (!FNewDockSheet) {
        TCustomTabControl::DoAddDockClient(Client, ARect);
        return;
    }
    Client->SetParent(FNewDockSheet);
}

void TAdvPageControl::DoRemoveDockClient(TControl* Client) {
    TCustomTabControl::DoRemoveDockClient(Client);
    if (!FUndockSheet || IsDestroying()) return;
    SelectNextPage(true);
    TAdvTabSheet* sheet = FUndockSheet;
    FUndockSheet = nullptr;
    delete sheet;
}

bool TAdvPageControl::HandleDockMessage(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DOCKCLIENT:
        DockNewClient(Message);
        return true;
    case CM_DOCKNOTIFICATION:
        if (TAdvTabSheet* page = PageOfDockClient(reinterpret_cast<TControl*>(Message.WParam))) {
            const TMessage& told = *reinterpret_cast<const TMessage*>(Message.LParam);
            auto* client = reinterpret_cast<TControl*>(Message.WParam);
            if (told.Msg == CM_TEXTCHANGED) {
                const AnsiString& text = client->Text();
                int end = 0;
                while (end < int(text.size()) && text[std::size_t(end)] != '\r' &&
                       text[std::size_t(end)] != '\n')
                    ++end;
                page->SetCaption(text.substr(0, std::size_t(end)));
            } else if (told.Msg == CM_VISIBLECHANGED) {
                page->SetTabVisible(told.WParam != 0);
            }
        }
        return false;
    case CM_UNDOCKCLIENT: {
        // The site is asked first: a refused client keeps its page and still
        // fills it.
        TCustomTabControl::Dispatch(Message);
        if (!Message.Result) return true;
        auto* client = reinterpret_cast<TControl*>(Message.LParam);
        if (TAdvTabSheet* page = PageOfDockClient(client)) {
            FUndockSheet = page;
            client->SetAlign(TAlign::alNone);
        }
        return true;
    }
    default:
        return false;
    }
}

void TAdvPageControl::DockNewClient(TMessage& Message) {
    TControl* client = reinterpret_cast<TDragDockObject*>(Message.WParam)->Control;
    auto* sheet = new TAdvTabSheet(this);
    FNewDockSheet = sheet;
    TScopeGuard done([this] { FNewDockSheet = nullptr; });
    try {
        if (dynamic_cast<TCustomForm*>(client)) sheet->SetCaption(client->Caption());
        sheet->SetPageControl(this);
        TCustomTabControl::Dispatch(Message);
    } catch (...) {
        delete sheet;
        throw;
    }
    sheet->SetTabVisible(client->Visible());
    if (client->Visible()) SetActivePage(sheet);
    client->SetAlign(TAlign::alClient);
}

TControl* TAdvPageControl::DockClientAtTab(int X, int Y) {
    if (!DockSite()) return nullptr;
    int tab = IndexOfTabAt(X, Y);
    if (tab < 0) return nullptr;
    TAdvTabSheet* page = nullptr;
    for (int i = 0; i <= tab; ++i)
        page = FindNextPage(page, true, true);
    if (!page || page->ControlCount() == 0) return nullptr;
    TControl* client = page->Controls(0);
    return client->HostDockSite() == this ? client : nullptr;
}

void TAdvPageControl::DragDockedPage(TShiftState Shift, int X, int Y) {
    TControl* client = DockClientAtTab(X, Y);
    if (!client) return;
    if (Shift & ssDouble)
        client->ManualDock(nullptr, nullptr, TAlign::alNone);
    else
        client->BeginDrag(false);
}
