// The process-wide registry of library units' version records.
#include "util/JclUnitVersioning.h"

#include <map>

int TUnitVersioningModule::IndexOfInfo(const TUnitVersionInfo* Info) const {
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->Info() == Info) return int(i);
    return -1;
}

void TUnitVersioningModule::Add(const TUnitVersionInfo* Info) {
    if (IndexOfInfo(Info) < 0) FItems.push_back(std::make_unique<TUnitVersion>(Info));
}

TUnitVersioningModule* TUnitVersioning::FindModule(std::uintptr_t Instance) const {
    for (const auto& m : FModules)
        if (m->Instance() == Instance) return m.get();
    return nullptr;
}

void TUnitVersioning::Add(std::uintptr_t Instance, const TUnitVersionInfo* Info) {
    TUnitVersioningModule* m = FindModule(Instance);
    if (!m) {
        FModules.push_back(std::make_unique<TUnitVersioningModule>(Instance));
        m = FModules.back().get();
    }
    m->Add(Info);
}

void TUnitVersioning::UnregisterModule(std::uintptr_t Instance) {
    for (std::size_t i = FModules.size(); i-- > 0;)
        if (FModules[i]->Instance() == Instance) {
            FModules.erase(FModules.begin() + std::ptrdiff_t(i));
            return;
        }
}

namespace {

// A slot that modules of the process share under one id. The table lives in
// the process's own memory and is never freed, so a unit ending late still
// finds it.
struct TSharedSlot {
    int32_t RefCount = 0;
    TUnitVersioning* Registry = nullptr;
};
std::map<AnsiString, std::unique_ptr<TSharedSlot>>& SharedSlots() {
    static auto* slots = new std::map<AnsiString, std::unique_ptr<TSharedSlot>>;
    return *slots;
}

// Frees the module's registry once every unit's end code has run: it is made
// during the first registration, so it ends after all of them.
struct TFinalizer {
    ~TFinalizer() { FreeUnitVersionRegistry(); }
};

} // namespace

std::uintptr_t HInstance() {
    static const char anchor = 0;
    // Stands for the module; every unit of the program uses this one value.
    return reinterpret_cast<std::uintptr_t>(&anchor);
}

TUnitVersioningState& ModuleUnitVersioningState() {
    static TUnitVersioningState state;
    return state;
}

TUnitVersioning** ClaimSharedProcessSlot(const AnsiString& Id, int32_t& RefCount) {
    RefCount = 0;
    if (Id.size() > 255) return nullptr;
    auto& slot = SharedSlots()[Id];
    if (!slot) slot = std::make_unique<TSharedSlot>();
    RefCount = ++slot->RefCount;
    return &slot->Registry;
}

int32_t ReleaseSharedProcessSlot(TUnitVersioning** Slot) {
    if (!Slot) return 0;
    auto& slots = SharedSlots();
    for (auto it = slots.begin(); it != slots.end(); ++it) {
        if (&it->second->Registry != Slot) continue;
        int32_t count = --it->second->RefCount;
        if (count <= 0) slots.erase(it);
        return count;
    }
    return 0;
}

TUnitVersioning* SharedUnitVersionRegistry(TUnitVersioningState& State) {
    // Once the page is held, the slot tells: another module may have put a
    // new registry there or taken it away.
    if (State.Slot) return State.Registry = *State.Slot;
    if (State.Registry) return State.Registry;
    int32_t refCount = 0;
    State.Slot = ClaimSharedProcessSlot("UnitVersioning", refCount);
    if (State.Slot && *State.Slot && refCount != 1) {
        State.Registry = *State.Slot;
        State.Owns = false;
    } else {
        State.Registry = new TUnitVersioning;
        State.Owns = true;
        if (State.Slot) *State.Slot = State.Registry;
    }
    if (&State == &ModuleUnitVersioningState()) static TFinalizer finalizer;
    return State.Registry;
}

void AddUnitVersionRecord(std::uintptr_t Instance, const TUnitVersionInfo* Info,
                          TUnitVersioningState& State) {
    if (TUnitVersioning* registry = SharedUnitVersionRegistry(State)) registry->Add(Instance, Info);
}

void RemoveUnitVersionModule(std::uintptr_t Instance, TUnitVersioningState& State) {
    if (TUnitVersioning* registry = SharedUnitVersionRegistry(State)) registry->UnregisterModule(Instance);
}

void FreeUnitVersionRegistry(TUnitVersioningState& State) {
    if (!State.Registry && !State.Slot) return;
    try {
        int32_t left = ReleaseSharedProcessSlot(State.Slot);
        if (State.Owns) {
            // Other modules still hold the page: they must not find a freed registry.
            if (left > 0 && State.Slot && *State.Slot == State.Registry) *State.Slot = nullptr;
            delete State.Registry;
        }
    } catch (...) {
    }
    State.Registry = nullptr;
    State.Slot = nullptr;
    State.Owns = false;
}

TUnitVersionRegistration::TUnitVersionRegistration(const TUnitVersionInfo* Info) : FInfo(Info) {
    AddUnitVersionRecord(HInstance(), FInfo);
}

TUnitVersionRegistration::~TUnitVersionRegistration() {
    RemoveUnitVersionModule(HInstance());
}

LIBRARY_UNIT_VERSION("util/JclUnitVersioning.cpp", "1", "2026-12-10", "JclLib\\common")
