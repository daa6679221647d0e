#include "platform/gui/ExtCtrls.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <map>
#include <set>

#include "platform/gui/Controls.h"
#include "platform/gui/QtSupport.h"

namespace {
class TQtTimers : public ITimerService {
public:
    void Start(TTimer* Timer) override {
        EnsureQtApplication();
        QTimer*& t = FTimers[Timer];
        if (!t) {
            t = new QTimer();
            QObject::connect(t, &QTimer::timeout, [Timer] { Timer->Fire(); });
        }
        t->start(int(Timer->Interval()));
    }
    void Stop(TTimer* Timer) override {
        auto it = FTimers.find(Timer);
        if (it == FTimers.end()) return;
        it->second->stop();
        it->second->deleteLater();
        FTimers.erase(it);
    }
    int64_t TickCount() override {
        static QElapsedTimer clock = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return clock.elapsed();
    }

private:
    std::map<TTimer*, QTimer*> FTimers;
};

ITimerService* gTimers = nullptr;

std::set<ITimerService*>& LiveServices() {
    static std::set<ITimerService*> services;
    return services;
}

ITimerService* QtTimers() {
    static TQtTimers timers;
    return &timers;
}
} // namespace

ITimerService::ITimerService() {
    LiveServices().insert(this);
}

ITimerService::~ITimerService() {
    LiveServices().erase(this);
}

bool ITimerService::Alive(ITimerService* Service) {
    return LiveServices().count(Service) != 0;
}

ITimerService* SetTimerService(ITimerService* Service) {
    ITimerService* old = gTimers;
    gTimers = Service;
    return old;
}

ITimerService* TimerService() {
    return gTimers ? gTimers : QtTimers();
}

int64_t GetTickCount() {
    return TimerService()->TickCount();
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    Update();
}

TTimer::~TTimer() {
    if (FService && ITimerService::Alive(FService)) FService->Stop(this);
}

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Update();
}

void TTimer::SetInterval(unsigned Value) {
    if (Value == FInterval) return;
    FInterval = Value;
    Update();
}

void TTimer::Update() {
    if (FService && ITimerService::Alive(FService)) FService->Stop(this);
    FService = nullptr;
    if (FEnabled && FInterval > 0) {
        FService = TimerService();
        FService->Start(this);
    }
}

void TTimer::Fire() {
    if (!FEnabled || !OnTimer) return;
    CallAtEventBoundary(this, [this] { OnTimer(this); });
}

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
        next->Due += std::max<int64_t>(1, timer->Interval());
        timer->Fire();
    }
    FNow = end;
}
