// Process-wide registry of the library units' version records. Every library
// unit registers its record at start-up under the program's module and
// removes its module at the end. All modules of a process share one registry
// through a slot of a process-local table; nothing is mapped at a fixed
// address, which could land next to the stack.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"

struct TUnitVersionInfo {
    const char* UrlKeyword;
    const char* RevisionKeyword;
    const char* DateKeyword;
    const char* LogicalPath;
    const char* Extra;
    void* UserData;
};

class TUnitVersion : public TObject {
public:
    explicit TUnitVersion(const TUnitVersionInfo* Info) : FInfo(Info) {}
    const TUnitVersionInfo* Info() const { return FInfo; }
    AnsiString LogicalPath() const { return FInfo->LogicalPath; }

private:
    const TUnitVersionInfo* FInfo; // the unit's constant, not a copy
};

class TUnitVersioningModule : public TObject {
public:
    explicit TUnitVersioningModule(std::uintptr_t Instance) : FInstance(Instance) {}
    std::uintptr_t Instance() const { return FInstance; }
    int Count() const { return int(FItems.size()); }
    TUnitVersion* Items(int Index) const { return FItems.at(std::size_t(Index)).get(); }
    int IndexOfInfo(const TUnitVersionInfo* Info) const;
    void Add(const TUnitVersionInfo* Info); // once per record

private:
    std::uintptr_t FInstance;
    std::vector<std::unique_ptr<TUnitVersion>> FItems;
};

class TUnitVersioning : public TObject {
public:
    int ModuleCount() const { return int(FModules.size()); }
    TUnitVersioningModule* Modules(int Index) const { return FModules.at(std::size_t(Index)).get(); }
    TUnitVersioningModule* FindModule(std::uintptr_t Instance) const;
    void Add(std::uintptr_t Instance, const TUnitVersionInfo* Info);
    void UnregisterModule(std::uintptr_t Instance); // the last module of that instance

private:
    std::vector<std::unique_ptr<TUnitVersioningModule>> FModules;
};

// What one module knows of the shared registry. The program has one; tests
// make more to stand for other modules of the same process.
struct TUnitVersioningState {
    TUnitVersioning* Registry = nullptr;
    TUnitVersioning** Slot = nullptr;
    bool Owns = false;
};
TUnitVersioningState& ModuleUnitVersioningState();

// The program's module instance.
std::uintptr_t HInstance();

void AddUnitVersionRecord(std::uintptr_t Instance, const TUnitVersionInfo* Info,
                          TUnitVersioningState& State = ModuleUnitVersioningState());
void RemoveUnitVersionModule(std::uintptr_t Instance,
                             TUnitVersioningState& State = ModuleUnitVersioningState());
TUnitVersioning* SharedUnitVersionRegistry(TUnitVersioningState& State = ModuleUnitVersioningState());
void FreeUnitVersionRegistry(TUnitVersioningState& State = ModuleUnitVersioningState());

// The process's shared slot for Id (at most 255 characters), or null;
// RefCount gets the number of modules now holding the slot.
TUnitVersioning** ClaimSharedProcessSlot(const AnsiString& Id, int32_t& RefCount);
int32_t ReleaseSharedProcessSlot(TUnitVersioning** Slot);

// A unit's start and end code: registers Info for the program's module while
// it lives.
class TUnitVersionRegistration {
public:
    explicit TUnitVersionRegistration(const TUnitVersionInfo* Info);
    ~TUnitVersionRegistration();
    TUnitVersionRegistration(const TUnitVersionRegistration&) = delete;
    TUnitVersionRegistration& operator=(const TUnitVersionRegistration&) = delete;

private:
    const TUnitVersionInfo* FInfo;
};

#define LIBRARY_UNIT_VERSION(File, Revision, Date, Logical)                                                  \
    namespace {                                                                                              \
    const TUnitVersionInfo kUnitVersionInfo = {                                                              \
        "$URL: " File " $", "$Revision: " Revision " $", "$Date: " Date " $", Logical, "", nullptr};         \
    const TUnitVersionRegistration kUnitVersionRegistration(&kUnitVersionInfo);                              \
    }
