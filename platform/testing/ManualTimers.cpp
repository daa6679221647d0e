// The manual clock: timers fall due as the test advances it.
#include "platform/testing/ManualTimers.h"

#include <algorithm>

TManualTimers::TManualTimers() : FPrevious(SetTimerService(this)) {}

TManualTimers::~TManualTimers() {
    SetTimerService(FPrevious);
}

void TManualTimers::Start(TTimer* Timer) {
    Stop(Timer);
    FEntries.push_back({Timer, FNow + int64_t(Timer->Interval())});
}

void TManualTimers::Stop(TTimer* Timer) {
    FEntries.erase(
        std::remove_if(FEntries.begin(), FEntries.end(), [&](const TEntry& e) { return e.Timer == Timer; }),
        FEntries.end());
}

bool TManualTimers::Running(TTimer* Timer) const {
    return std::any_of(FEntries.begin(), FEntries.end(), [&](const TEntry& e) { return e.Timer == Timer; });
}

void TManualTimers::Advance(int64_t Milliseconds) {
    int64_t end = FNow + Milliseconds;
    while (true) {
        auto next = std::min_element(FEntries.begin(), FEntries.end(),
                                     [](const TEntry& a, const TEntry& b) { return a.Due < b.Due; });
        if (next == FEntries.end() || next->Due > end) break;
        FNow = next->Due;
        TTimer* timer = next->Timer;
        // A zero interval would never leave the loop.
        next->Due += std::max<int64_t>(1, timer->Interval());
        timer->Fire();
    }
    FNow = end;
}
