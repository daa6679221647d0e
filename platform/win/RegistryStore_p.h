// The process's copy of the registry store: the key tree read from the file,
// the open key handles, and the change protocol that keeps several processes
// writing one file without losing each other's changes.
#pragma once

#include <sys/types.h>

#include <map>
#include <mutex>
#include <vector>

#include "platform/win/RegistryFile.h"

struct TRegFileStamp {
    bool Exists = false;
    dev_t Dev = 0;
    ino_t Ino = 0;
    off_t Size = 0;
    long long MTimeNs = 0;
    bool operator==(const TRegFileStamp&) const = default;
};

class TRegistryStore {
public:
    // Guards everything here; each registry function holds it throughout.
    std::mutex Lock;
    TRegStoreTree Tree;
    AnsiString Override;
    AnsiString Problem;

    AnsiString FileName() const;

    // Brings the tree in line with the file when the file changed since it
    // was read. While this process holds the file's lock the tree is ahead
    // of the file and stays as it is.
    void Refresh();

    // A change: BeginChange takes the lock beside the file (waiting for a
    // writer of another process) and reads the file again when it changed,
    // so the change applies to the latest store; the caller then changes
    // the tree, calls Changed when it did, and EndChange writes the file
    // through a temporary file and a rename, undoing the change in memory
    // when that fails, and lets the lock go. Inside a batch the lock stays
    // and the file is written once when the outermost batch ends.
    LONG BeginChange();
    void Changed() { FDirty = true; }
    LONG EndChange();
    void BeginBatch() { ++FBatchDepth; }
    LONG EndBatch();

    // The program's start-up: see OpenRegistryStore.
    void Open();
    bool TakeDamage(TRegistryStoreDamage& Damage);

    // Key handles: a handle stands for a root and a key path below it.
    struct THandle {
        HKEY Root;
        std::vector<AnsiString> Path;
    };
    std::map<HKEY, THandle> Handles;
    bool Resolve(HKEY Key, HKEY& Root, std::vector<AnsiString>& Path) const;
    // The root and key path of SubKey below the key a handle stands for.
    bool ResolveBelow(HKEY Key, const char* SubKey, HKEY& Root, std::vector<AnsiString>& Path) const;
    TRegStoreKey* Find(HKEY Root, const std::vector<AnsiString>& Path);
    // The key a handle stands for: null when the handle is unknown (Rc
    // ERROR_INVALID_HANDLE) or its key was deleted (ERROR_KEY_DELETED).
    TRegStoreKey* KeyOf(HKEY Key, LONG& Rc);
    HKEY NewHandle(HKEY Root, std::vector<AnsiString> Path);

private:
    void Load(const AnsiString& File);
    bool TakeFileLock(const AnsiString& File);
    void ReleaseFileLock();
    bool MoveAside(const AnsiString& File, AnsiString& Aside);
    bool Save();
    LONG Commit();
    void RemoveDeadWritersFiles(const AnsiString& File);

    bool FLoaded = false;
    AnsiString FLoadedFile;
    TRegFileStamp FLoadedStamp;
    std::string FLoadedText; // the bytes the tree was read from or written as
    bool FDamaged = false;   // the file on disk is no store; put it aside before writing
    bool FTooLarge = false;  // ... because it is past the store's limit
    int FLockFd = -1;
    AnsiString FLockedFile;
    TRegStoreTree FBefore; // the tree when the lock was taken, for undoing
    bool FDirty = false;
    int FBatchDepth = 0;
    bool FHasDamage = false;
    TRegistryStoreDamage FDamage;
    HKEY FNextHandle = 0x1000;
};

TRegistryStore& RegistryStore();
