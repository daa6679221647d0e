// The timer seam, the Qt timers behind it, and TTimer.
#include "platform/gui/ExtCtrls.h"

#include <QElapsedTimer>
#include <QTimer>
#include <map>
#include <set>

#include "platform/gui/Controls.h"
#include "platform/gui/QtSupport_p.h"

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
