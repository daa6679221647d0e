// A private X server for tests and benchmarks that run the program as a
// process: Xvfb on a display of its own, the top-level windows that clients
// map and unmap there (each seen the moment the server tells), and what a
// user and a window manager send a window: keys and the request to close.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TChildProcess;

class TXSession {
public:
    using TClock = std::chrono::steady_clock;
    using TWindow = uint32_t;

    // Starts Xvfb and watches its screen; Available() is false, and Error()
    // says why, when there is no Xvfb or it did not come up.
    TXSession();
    ~TXSession();
    TXSession(const TXSession&) = delete;
    TXSession& operator=(const TXSession&) = delete;

    bool Available() const { return FConnection != nullptr; }
    const std::string& Error() const { return FError; }
    // ":N", the DISPLAY of a client of this server.
    const std::string& Display() const { return FDisplay; }

    // A top-level window that was mapped: its title (UTF-8) when it was
    // mapped, and when.
    struct TMapped {
        TWindow Window = 0;
        std::string Title;
        TClock::time_point At;
    };
    // The first window mapped at or after Since whose title begins with
    // TitlePrefix, waiting until Deadline; nullopt when none came.
    std::optional<TMapped> WaitForWindow(const std::string& TitlePrefix, TClock::time_point Since,
                                         TClock::time_point Deadline);
    // When Window was unmapped or destroyed, waiting until Deadline.
    std::optional<TClock::time_point> WaitUntilGone(TWindow Window, TClock::time_point Deadline);
    // The titles of the windows mapped now.
    std::vector<std::string> MappedTitles();

    // A key pressed and released while Window has the focus. KeySym is an X
    // key symbol (0xff0d Return, 0xff1b Escape, 0xff63 Insert, 0x61 "a" ...);
    // Modifiers an X state mask (1 Shift, 4 Control, 8 Alt).
    void PressKey(TWindow Window, uint32_t KeySym, uint16_t Modifiers = 0);
    // What a window manager sends on Alt+F4 or a click on the close box.
    void RequestClose(TWindow Window);

private:
    struct TEvent {
        bool Mapped; // else unmapped or destroyed
        TWindow Window;
        std::string Title;
        TClock::time_point At;
    };
    void Watch();
    uint32_t Atom(const char* Name);
    std::string TitleOf(TWindow Window);
    uint8_t KeyCode(uint32_t KeySym);

    std::unique_ptr<TChildProcess> FServer;
    std::string FDisplay;
    std::string FError;
    struct xcb_connection_t* FConnection = nullptr;
    struct xcb_connection_t* FActions = nullptr;
    TWindow FRoot = 0;
    uint32_t FNetWmName = 0, FUtf8String = 0, FWmProtocols = 0, FWmDeleteWindow = 0;
    std::mutex FLock;
    std::condition_variable FChanged;
    std::vector<TEvent> FEvents;
    bool FStop = false;
    std::thread FWatcher;
};
