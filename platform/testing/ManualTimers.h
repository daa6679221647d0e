// The timer service of the tests: a manual clock that the test advances.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gui/ExtCtrls.h"

// Installs itself for its lifetime. Advance moves the clock and fires every
// timer that falls due, in order of time.
class TManualTimers : public ITimerService {
public:
    TManualTimers();
    ~TManualTimers() override;
    void Start(TTimer* Timer) override;
    void Stop(TTimer* Timer) override;
    int64_t TickCount() override { return FNow; }
    void Advance(int64_t Milliseconds);
    bool Running(TTimer* Timer) const;

private:
    struct TEntry {
        TTimer* Timer;
        int64_t Due;
    };
    std::vector<TEntry> FEntries;
    int64_t FNow = 0;
    ITimerService* FPrevious;
};
