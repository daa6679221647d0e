// The 8-bit registry functions of the platform, kept in one per-user store
// file: $XDG_CONFIG_HOME/tarvik/registry.reg (default ~/.config/tarvik/), in
// the text layout of a registry export. Every change rewrites the file
// through a temporary file and a rename, so the file is never half written,
// under an advisory lock on registry.reg.lock beside it and on the file's
// latest contents, so that writers in several processes lose nothing of
// each other. Key and value names are case-insensitive. A store file that
// cannot be read or parsed counts as empty; before anything is written over
// it, it is moved aside as registry.reg.damaged-<time>, so it is never lost.
#pragma once

#include <cstdint>

#include "platform/rtl/SysUtils.h"

using HKEY = std::uintptr_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using REGSAM = DWORD;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;
constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;
constexpr HKEY HKEY_DYN_DATA = 0x80000006;

// Value kinds.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// Access rights; the store keeps no permissions, they are accepted as given.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Result codes.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_KEY_DELETED = 1018;

LONG RegOpenKeyExA(HKEY Key, const char* SubKey, DWORD Options, REGSAM Sam, HKEY* Result);
LONG RegCreateKeyExA(HKEY Key, const char* SubKey, DWORD Reserved, const char* Class, DWORD Options,
                     REGSAM Sam, void* Security, HKEY* Result, DWORD* Disposition);
LONG RegCreateKeyA(HKEY Key, const char* SubKey, HKEY* Result);
LONG RegCloseKey(HKEY Key);
// Data may be null to ask only for the kind and size; with a buffer too
// small, *DataSize gets the size needed and ERROR_MORE_DATA is returned.
LONG RegQueryValueExA(HKEY Key, const char* ValueName, DWORD* Reserved, DWORD* Type, BYTE* Data,
                      DWORD* DataSize);
LONG RegSetValueExA(HKEY Key, const char* ValueName, DWORD Reserved, DWORD Type, const BYTE* Data,
                    DWORD DataSize);
LONG RegDeleteValueA(HKEY Key, const char* ValueName);
// Deletes a key that has no sub-keys.
LONG RegDeleteKeyA(HKEY Key, const char* SubKey);
// Sub-keys are enumerated in name order, values in the order they were made.
LONG RegEnumKeyExA(HKEY Key, DWORD Index, char* Name, DWORD* NameSize, DWORD* Reserved, char* Class,
                   DWORD* ClassSize, void* LastWriteTime);
LONG RegEnumValueA(HKEY Key, DWORD Index, char* ValueName, DWORD* ValueNameSize, DWORD* Reserved, DWORD* Type,
                   BYTE* Data, DWORD* DataSize);
// The Index-th sub-key or value name of Key, whatever its length; the
// codes are those of the enumerations above.
LONG RegEnumKeyName(HKEY Key, DWORD Index, AnsiString& Name);
LONG RegEnumValueName(HKEY Key, DWORD Index, AnsiString& Name);
LONG RegQueryInfoKeyA(HKEY Key, char* Class, DWORD* ClassSize, DWORD* Reserved, DWORD* SubKeys,
                      DWORD* MaxSubKeyLen, DWORD* MaxClassLen, DWORD* Values, DWORD* MaxValueNameLen,
                      DWORD* MaxValueLen, DWORD* SecurityDescriptor, void* LastWriteTime);

// Closes the key it holds when it goes.
struct TRegKeyGuard {
    HKEY Key = 0;
    TRegKeyGuard() = default;
    TRegKeyGuard(const TRegKeyGuard&) = delete;
    TRegKeyGuard& operator=(const TRegKeyGuard&) = delete;
    ~TRegKeyGuard() {
        if (Key) RegCloseKey(Key);
    }
};

// The store file in use. Tests point it elsewhere; an empty path returns to
// the XDG location.
AnsiString RegistryStoreFileName();
void SetRegistryStoreFileOverride(const AnsiString& FileName);
// The text of the last problem with the store file (a damaged file put
// aside, a failed write), empty when there was none; cleared by reading.
AnsiString TakeRegistryStoreProblem();

// Groups the changes made until the matching RegEndBatch into one write of
// the store file; batches nest and the outermost end writes. From its first
// change on, the batch holds the store's lock, so other processes wait to
// write. RegEndBatch returns ERROR_WRITE_FAULT when the write fails, and
// every change of the batch is undone.
void RegBeginBatch();
LONG RegEndBatch();

// The largest store file read or written. Every change rewrites and syncs
// the whole file, so a change costs time in proportion to the store (near a
// tenth of a second at this size, some 100,000 values); a file past it is
// taken for damaged, and a change that would make one is refused.
constexpr int64_t RegistryStoreMaxSize = int64_t(4) << 20;

// The program's start-up: takes away the temporary files of writers that
// were killed, reads the store, and moves a damaged or unreadable file aside
// at once, so that the user can be told where it is kept.
void OpenRegistryStore();
struct TRegistryStoreDamage {
    AnsiString FileName;
    AnsiString KeptAs;     // the file itself when it could not be moved
    bool TooLarge = false; // past RegistryStoreMaxSize, not read at all
};
// True, once, when OpenRegistryStore found the store damaged.
bool TakeRegistryStoreDamage(TRegistryStoreDamage& Damage);
// What the user is told of it (CP1251).
AnsiString RegistryStoreDamageNotice(const TRegistryStoreDamage& Damage);
