#include "util/JclUnitVersioning.h"

#include <cstring>

#include "platform/win/WinBase.h"

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

// Layout of the shared page.
constexpr std::size_t kMarker1 = 0, kId = 8, kRefCount = 264, kMarker2 = 272, kSlot = 280;
constexpr uint64_t kMask1 = 0xABCDEF0123456789ULL, kMask2 = 0x9876543210FEDCBAULL;

unsigned char* PageOfSlot(TUnitVersioning** Slot) {
    return reinterpret_cast<unsigned char*>(Slot) - kSlot;
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
    SYSTEM_INFO info;
    GetSystemInfo(info);
    const uint64_t pid = GetCurrentProcessId();
    const std::uintptr_t top =
        reinterpret_cast<std::uintptr_t>(info.lpMaximumApplicationAddress) & ~std::uintptr_t(0xFFFF);
    unsigned char id[256] = {};
    id[0] = static_cast<unsigned char>(Id.size());
    std::memcpy(id + 1, Id.data(), Id.size());
    for (std::uintptr_t i = 0; i <= 20; ++i) {
        std::uintptr_t candidate = top - i * 65536;
        candidate -= candidate % info.dwPageSize;
        void* want = reinterpret_cast<void*>(candidate);
        if (void* got = VirtualAlloc(want, info.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)) {
            if (got == want) {
                auto* page = static_cast<unsigned char*>(got);
                uint64_t m1 = pid ^ kMask1, m2 = pid ^ kMask2;
                int32_t one = 1;
                std::memcpy(page + kMarker1, &m1, 8);
                std::memcpy(page + kId, id, std::size_t(id[0]) + 1);
                std::memcpy(page + kRefCount, &one, 4);
                std::memcpy(page + kMarker2, &m2, 8);
                RefCount = 1;
                return reinterpret_cast<TUnitVersioning**>(page + kSlot);
            }
            VirtualFree(got, info.dwPageSize, MEM_RELEASE);
            continue;
        }
        MEMORY_BASIC_INFORMATION mbi;
        if (!VirtualQuery(want, mbi) || mbi.RegionSize < kSlot + sizeof(void*) ||
            mbi.Protect != PAGE_READWRITE)
            continue;
        auto* page = static_cast<unsigned char*>(want);
        uint64_t m1, m2;
        std::memcpy(&m1, page + kMarker1, 8);
        std::memcpy(&m2, page + kMarker2, 8);
        if ((m1 ^ kMask1) != pid || (m2 ^ kMask2) != pid) continue;
        if (std::memcmp(page + kId, id, std::size_t(id[0]) + 1) != 0) continue;
        int32_t count;
        std::memcpy(&count, page + kRefCount, 4);
        ++count;
        std::memcpy(page + kRefCount, &count, 4);
        RefCount = count;
        return reinterpret_cast<TUnitVersioning**>(page + kSlot);
    }
    return nullptr;
}

int32_t ReleaseSharedProcessSlot(TUnitVersioning** Slot) {
    if (!Slot) return 0;
    unsigned char* page = PageOfSlot(Slot);
    int32_t count;
    std::memcpy(&count, page + kRefCount, 4);
    --count;
    std::memcpy(page + kRefCount, &count, 4);
    if (count <= 0) {
        SYSTEM_INFO info;
        GetSystemInfo(info);
        VirtualFree(page, info.dwPageSize, MEM_RELEASE);
    }
    return count;
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
