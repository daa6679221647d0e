// Xvfb started on a free display, a thread that notes every top-level window
// mapped or unmapped there, and synthetic keys and close requests, over XCB.
#include "platform/testing/XSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/testing/ChildProcess.h"

namespace {

constexpr auto kServerPatience = std::chrono::seconds(15);
// How long the watcher sleeps between looks for its stop.
constexpr int kWatchPollMs = 100;

// The display number Xvfb writes once it listens, or -1.
int ReadDisplayNumber(int Fd, std::chrono::steady_clock::time_point Deadline) {
    std::string text;
    while (std::chrono::steady_clock::now() < Deadline) {
        pollfd p{Fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char c;
        const ssize_t n = ::read(Fd, &c, 1);
        if (n <= 0) break;
        if (c == '\n') return text.empty() ? -1 : std::atoi(text.c_str());
        text += c;
    }
    return -1;
}

} // namespace

TXSession::TXSession() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        FError = "no pipe for Xvfb";
        return;
    }
    // The server writes its display number into the write end it inherits.
    ::fcntl(fds[1], F_SETFD, 0);
    FServer = std::make_unique<TChildProcess>(
        "Xvfb",
        std::vector<std::string>{"-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                                 "-nolisten", "tcp", "-noreset"},
        std::map<std::string, std::optional<std::string>>{}, "/dev/null");
    ::close(fds[1]);
    const int number = FServer->Started() ? ReadDisplayNumber(fds[0], TClock::now() + kServerPatience) : -1;
    ::close(fds[0]);
    if (number < 0) {
        FError = FServer->Started() ? "Xvfb did not come up" : "Xvfb cannot be started (is it installed?)";
        FServer.reset();
        return;
    }
    FDisplay = ":" + std::to_string(number);
    xcb_connection_t* c = xcb_connect(FDisplay.c_str(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        FError = "cannot connect to Xvfb on " + FDisplay;
        FServer.reset();
        return;
    }
    // Keys and close requests go through a connection of their own: only
    // the watcher reads this one.
    FActions = xcb_connect(FDisplay.c_str(), nullptr);
    FConnection = c;
    FRoot = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    FNetWmName = Atom("_NET_WM_NAME");
    FUtf8String = Atom("UTF8_STRING");
    FWmProtocols = Atom("WM_PROTOCOLS");
    FWmDeleteWindow = Atom("WM_DELETE_WINDOW");
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t selected = xcb_change_window_attributes_checked(c, FRoot, XCB_CW_EVENT_MASK, &mask);
    free(xcb_request_check(c, selected));
    FWatcher = std::thread([this] { Watch(); });
}

TXSession::~TXSession() {
    if (FWatcher.joinable()) {
        {
            std::lock_guard guard(FLock);
            FStop = true;
        }
        FWatcher.join();
    }
    if (FConnection) xcb_disconnect(FConnection);
    if (FActions) xcb_disconnect(FActions);
    if (FServer) {
        FServer->Signal(SIGTERM);
        FServer->WaitUntilEnded(TClock::now() + std::chrono::seconds(5));
    }
}

uint32_t TXSession::Atom(const char* Name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        FConnection, xcb_intern_atom(FConnection, 0, uint16_t(std::strlen(Name)), Name), nullptr);
    const uint32_t atom = r ? r->atom : 0;
    free(r);
    return atom;
}

std::string TXSession::TitleOf(TWindow Window) {
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        FConnection, xcb_get_property(FConnection, 0, Window, FNetWmName, FUtf8String, 0, 1024), nullptr);
    std::string title;
    if (r)
        title.assign(static_cast<const char*>(xcb_get_property_value(r)), xcb_get_property_value_length(r));
    free(r);
    return title;
}

// Only this thread reads the connection's events, so a quiet descriptor
// means that no event waits.
void TXSession::Watch() {
    const int fd = xcb_get_file_descriptor(FConnection);
    std::set<TWindow> mapped;
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(FConnection)) {
            const auto at = TClock::now();
            std::optional<TEvent> seen;
            switch (e->response_type & 0x7f) {
            case XCB_MAP_NOTIFY: {
                const TWindow w = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
                // A title set after the window was mapped is seen too.
                const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(FConnection, w, XCB_CW_EVENT_MASK, &mask);
                mapped.insert(w);
                seen = TEvent{true, w, TitleOf(w), at};
                break;
            }
            case XCB_PROPERTY_NOTIFY: {
                auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
                if (p->atom == FNetWmName && p->state == XCB_PROPERTY_NEW_VALUE && mapped.count(p->window))
                    seen = TEvent{true, p->window, TitleOf(p->window), at};
                break;
            }
            case XCB_UNMAP_NOTIFY:
                seen = TEvent{false, reinterpret_cast<xcb_unmap_notify_event_t*>(e)->window, "", at};
                mapped.erase(seen->Window);
                break;
            case XCB_DESTROY_NOTIFY:
                seen = TEvent{false, reinterpret_cast<xcb_destroy_notify_event_t*>(e)->window, "", at};
                mapped.erase(seen->Window);
                break;
            default:
                break;
            }
            free(e);
            if (seen) {
                std::lock_guard guard(FLock);
                FEvents.push_back(*seen);
                FChanged.notify_all();
            }
        }
        {
            std::lock_guard guard(FLock);
            if (FStop || xcb_connection_has_error(FConnection)) return;
        }
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, kWatchPollMs);
    }
}

std::optional<TXSession::TMapped> TXSession::WaitForWindow(const std::string& TitlePrefix,
                                                           TClock::time_point Since,
                                                           TClock::time_point Deadline) {
    if (!Available()) return std::nullopt;
    std::unique_lock guard(FLock);
    std::optional<TMapped> found;
    FChanged.wait_until(guard, Deadline, [&] {
        for (const TEvent& e : FEvents)
            if (e.Mapped && e.At >= Since && e.Title.compare(0, TitlePrefix.size(), TitlePrefix) == 0) {
                found = TMapped{e.Window, e.Title, e.At};
                return true;
            }
        return false;
    });
    return found;
}

std::optional<TXSession::TClock::time_point> TXSession::WaitUntilGone(TWindow Window,
                                                                      TClock::time_point Deadline) {
    if (!Available()) return std::nullopt;
    std::unique_lock guard(FLock);
    std::optional<TClock::time_point> gone;
    FChanged.wait_until(guard, Deadline, [&] {
        // The last word on the window counts: it may have been shown again.
        for (auto it = FEvents.rbegin(); it != FEvents.rend(); ++it)
            if (it->Window == Window) {
                if (!it->Mapped) gone = it->At;
                return !it->Mapped;
            }
        return false;
    });
    return gone;
}

std::vector<std::string> TXSession::MappedTitles() {
    std::lock_guard guard(FLock);
    std::vector<std::pair<TWindow, std::string>> mapped;
    for (const TEvent& e : FEvents) {
        std::erase_if(mapped, [&](const auto& m) { return m.first == e.Window; });
        if (e.Mapped) mapped.emplace_back(e.Window, e.Title);
    }
    std::vector<std::string> titles;
    for (const auto& m : mapped)
        titles.push_back(m.second);
    return titles;
}

uint8_t TXSession::KeyCode(uint32_t KeySym) {
    const xcb_setup_t* setup = xcb_get_setup(FActions);
    const uint8_t first = setup->min_keycode;
    const uint8_t count = uint8_t(setup->max_keycode - first + 1);
    xcb_get_keyboard_mapping_reply_t* r =
        xcb_get_keyboard_mapping_reply(FActions, xcb_get_keyboard_mapping(FActions, first, count), nullptr);
    if (!r) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r);
    uint8_t code = 0;
    for (int k = 0; k < count && !code; ++k)
        for (int i = 0; i < r->keysyms_per_keycode && i < 2; ++i)
            if (syms[k * r->keysyms_per_keycode + i] == KeySym) {
                code = uint8_t(first + k);
                break;
            }
    free(r);
    return code;
}

void TXSession::PressKey(TWindow Window, uint32_t KeySym, uint16_t Modifiers) {
    if (!Available()) return;
    const uint8_t code = KeyCode(KeySym);
    xcb_set_input_focus(FActions, XCB_INPUT_FOCUS_PARENT, Window, XCB_CURRENT_TIME);
    for (const uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
        xcb_key_press_event_t e{};
        e.response_type = type;
        e.detail = code;
        e.time = XCB_CURRENT_TIME;
        e.root = FRoot;
        e.event = Window;
        e.child = XCB_NONE;
        e.state = Modifiers;
        e.same_screen = 1;
        xcb_send_event(FActions, 1, Window,
                       type == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                       reinterpret_cast<const char*>(&e));
    }
    xcb_flush(FActions);
}

void TXSession::RequestClose(TWindow Window) {
    if (!Available()) return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = Window;
    e.type = FWmProtocols;
    e.data.data32[0] = FWmDeleteWindow;
    e.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(FActions, 0, Window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    xcb_flush(FActions);
}
