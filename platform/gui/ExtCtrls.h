// Timers through the timer seam: on screen a Qt timer, in tests the manual
// clock of platform/testing that the test advances.
#pragma once

#include <cstdint>

#include "platform/rtl/Classes.h"

class TTimer;

class ITimerService {
public:
    ITimerService();
    virtual ~ITimerService();
    ITimerService(const ITimerService&) = delete;
    ITimerService& operator=(const ITimerService&) = delete;
    // The service still exists.
    static bool Alive(ITimerService* Service);
    // (Re)starts Timer with its Interval; Stop forgets it.
    virtual void Start(TTimer* Timer) = 0;
    virtual void Stop(TTimer* Timer) = 0;
    // Milliseconds of the service's clock.
    virtual int64_t TickCount() = 0;
};
// Installs a service and returns the one it replaces (nullptr: the Qt one).
ITimerService* SetTimerService(ITimerService* Service);
ITimerService* TimerService();
int64_t GetTickCount();

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer;
    // Called by the service when the interval has passed; an exception goes
    // to the application's handler.
    void Fire();

private:
    void Update();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    // The service the timer runs on; a timer stops where it started.
    ITimerService* FService = nullptr;
};
