// The registry functions over the process's copy of the store: key
// handles, reading values and keys, and changes made through the store's
// change protocol.
#include "platform/win/WinReg.h"

#include <algorithm>
#include <cstring>

#include "platform/win/RegistryStore_p.h"

bool TRegistryStore::Resolve(HKEY Key, HKEY& Root, std::vector<AnsiString>& Path) const {
    if (Key >= HKEY_CLASSES_ROOT && Key <= HKEY_DYN_DATA) {
        Root = Key;
        Path.clear();
        return true;
    }
    auto it = Handles.find(Key);
    if (it == Handles.end()) return false;
    Root = it->second.Root;
    Path = it->second.Path;
    return true;
}

bool TRegistryStore::ResolveBelow(HKEY Key, const char* SubKey, HKEY& Root,
                                  std::vector<AnsiString>& Path) const {
    if (!Resolve(Key, Root, Path)) return false;
    const AnsiString sub = SubKey ? SubKey : "";
    for (std::size_t start = 0; start <= sub.size();) {
        std::size_t end = std::min(sub.find('\\', start), sub.size());
        if (end > start) Path.push_back(sub.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

TRegStoreKey* TRegistryStore::Find(HKEY Root, const std::vector<AnsiString>& Path) {
    TRegStoreKey* k = &Tree.Roots[Root];
    for (const AnsiString& p : Path) {
        k = k->FindSubKey(p);
        if (!k) return nullptr;
    }
    return k;
}

TRegStoreKey* TRegistryStore::KeyOf(HKEY Key, LONG& Rc) {
    HKEY root;
    std::vector<AnsiString> path;
    if (!Resolve(Key, root, path)) {
        Rc = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    TRegStoreKey* k = Find(root, path);
    Rc = k ? ERROR_SUCCESS : ERROR_KEY_DELETED;
    return k;
}

HKEY TRegistryStore::NewHandle(HKEY Root, std::vector<AnsiString> Path) {
    HKEY h = FNextHandle++;
    Handles[h] = THandle{Root, std::move(Path)};
    return h;
}

namespace {

bool IsRoot(HKEY Key) {
    return Key >= HKEY_CLASSES_ROOT && Key <= HKEY_DYN_DATA;
}

// Runs Action on the key a handle stands for, under the store's lock and on
// the file's latest state; an unknown or deleted key gives its error.
template <class F> LONG WithKey(HKEY Key, F&& Action) {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    LONG rc;
    TRegStoreKey* k = s.KeyOf(Key, rc);
    return k ? Action(*k) : rc;
}

// Runs Change on the latest store under the file's lock and writes the
// store when Change reports that it changed something (or leaves that to
// the end of the batch). Change looks its keys up itself: the tree may have
// been read again.
template <class F> LONG Changing(TRegistryStore& S, F&& Change) {
    LONG rc = S.BeginChange();
    if (rc != ERROR_SUCCESS) return rc;
    rc = Change();
    LONG end = S.EndChange();
    return rc != ERROR_SUCCESS ? rc : end;
}

bool HasLineBreak(const char* Name) {
    return Name && (std::strchr(Name, '\n') || std::strchr(Name, '\r'));
}

LONG CopyOut(const std::string& Data, BYTE* Buffer, DWORD* Size) {
    if (!Size) return Buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD needed = DWORD(Data.size());
    if (Buffer && *Size < needed) {
        *Size = needed;
        return ERROR_MORE_DATA;
    }
    if (Buffer && needed) std::memcpy(Buffer, Data.data(), needed);
    *Size = needed;
    return ERROR_SUCCESS;
}

LONG CopyName(const AnsiString& Name, char* Buffer, DWORD* Size) {
    if (!Buffer || !Size) return ERROR_INVALID_PARAMETER;
    if (*Size < Name.size() + 1) {
        *Size = DWORD(Name.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(Buffer, Name.c_str(), Name.size() + 1);
    *Size = DWORD(Name.size());
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyExA(HKEY Key, const char* SubKey, DWORD, REGSAM, HKEY* Result) {
    if (!Result) return ERROR_INVALID_PARAMETER;
    *Result = 0;
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    HKEY root;
    std::vector<AnsiString> path;
    if (!s.ResolveBelow(Key, SubKey, root, path)) return ERROR_INVALID_HANDLE;
    if (!s.Find(root, path)) return ERROR_FILE_NOT_FOUND;
    *Result = s.NewHandle(root, std::move(path));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY Key, const char* SubKey, DWORD, const char*, DWORD, REGSAM, void*, HKEY* Result,
                     DWORD* Disposition) {
    if (!Result || HasLineBreak(SubKey)) return ERROR_INVALID_PARAMETER;
    *Result = 0;
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    LONG rc;
    if (!s.KeyOf(Key, rc)) return rc;
    HKEY root;
    std::vector<AnsiString> path;
    s.ResolveBelow(Key, SubKey, root, path);
    if (path.size() > RegistryMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    bool existed = s.Find(root, path) != nullptr;
    if (!existed) {
        rc = Changing(s, [&] {
            LONG parent;
            if (!s.KeyOf(Key, parent)) return parent; // gone meanwhile
            existed = s.Find(root, path) != nullptr;
            if (existed) return ERROR_SUCCESS; // made meanwhile
            TRegStoreKey* k = &s.Tree.Roots[root];
            for (const AnsiString& p : path)
                k = &k->FindOrAddSubKey(p);
            s.Changed();
            return ERROR_SUCCESS;
        });
        if (rc != ERROR_SUCCESS) return rc;
    }
    if (Disposition) *Disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *Result = s.NewHandle(root, std::move(path));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyA(HKEY Key, const char* SubKey, HKEY* Result) {
    return RegCreateKeyExA(Key, SubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, Result,
                           nullptr);
}

LONG RegCloseKey(HKEY Key) {
    if (IsRoot(Key)) return ERROR_SUCCESS;
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    return s.Handles.erase(Key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY Key, const char* ValueName, DWORD*, DWORD* Type, BYTE* Data, DWORD* DataSize) {
    return WithKey(Key, [&](TRegStoreKey& k) -> LONG {
        TRegStoreValue* v = k.FindValue(ValueName ? ValueName : "");
        if (!v) return ERROR_FILE_NOT_FOUND;
        if (Type) *Type = v->Type;
        return CopyOut(v->Data, Data, DataSize);
    });
}

LONG RegSetValueExA(HKEY Key, const char* ValueName, DWORD, DWORD Type, const BYTE* Data, DWORD DataSize) {
    if (HasLineBreak(ValueName) || (!Data && DataSize)) return ERROR_INVALID_PARAMETER;
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    LONG rc;
    if (!s.KeyOf(Key, rc)) return rc;
    return Changing(s, [&] {
        LONG found;
        TRegStoreKey* k = s.KeyOf(Key, found);
        if (!k) return found;
        const AnsiString name = ValueName ? ValueName : "";
        TRegStoreValue* v = k->FindValue(name);
        if (!v) {
            k->Values.push_back(TRegStoreValue{name, REG_NONE, {}});
            v = &k->Values.back();
        }
        v->Type = Type;
        v->Data.assign(reinterpret_cast<const char*>(Data), DataSize);
        s.Changed();
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY Key, const char* ValueName) {
    const AnsiString name = ValueName ? ValueName : "";
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    LONG rc;
    TRegStoreKey* k = s.KeyOf(Key, rc);
    if (!k) return rc;
    if (!k->FindValue(name)) return ERROR_FILE_NOT_FOUND;
    return Changing(s, [&] {
        LONG found;
        TRegStoreKey* key = s.KeyOf(Key, found);
        if (!key) return found;
        if (!key->FindValue(name)) return ERROR_FILE_NOT_FOUND;
        std::erase_if(key->Values, [&](const TRegStoreValue& v) { return SameText(v.Name, name); });
        s.Changed();
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKeyA(HKEY Key, const char* SubKey) {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Refresh();
    HKEY root;
    std::vector<AnsiString> path;
    if (!s.ResolveBelow(Key, SubKey, root, path)) return ERROR_INVALID_HANDLE;
    if (path.empty()) return ERROR_ACCESS_DENIED; // a root is never deleted
    // Checked on the latest store, under the file's lock.
    auto check = [&]() -> LONG {
        TRegStoreKey* k = s.Find(root, path);
        if (!k) return ERROR_FILE_NOT_FOUND;
        return k->SubKeys.empty() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    };
    if (LONG rc = check(); rc != ERROR_SUCCESS) return rc;
    return Changing(s, [&] {
        if (LONG rc = check(); rc != ERROR_SUCCESS) return rc;
        std::vector<AnsiString> parentPath(path.begin(), path.end() - 1);
        s.Find(root, parentPath)->RemoveSubKey(path.back());
        s.Changed();
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY Key, DWORD Index, char* Name, DWORD* NameSize, DWORD*, char*, DWORD*, void*) {
    return WithKey(Key, [&](TRegStoreKey& k) -> LONG {
        if (Index >= k.SubKeys.size()) return ERROR_NO_MORE_ITEMS;
        return CopyName(k.SubKeys[Index].Name, Name, NameSize);
    });
}

LONG RegEnumValueA(HKEY Key, DWORD Index, char* ValueName, DWORD* ValueNameSize, DWORD*, DWORD* Type,
                   BYTE* Data, DWORD* DataSize) {
    return WithKey(Key, [&](TRegStoreKey& k) -> LONG {
        if (Index >= k.Values.size()) return ERROR_NO_MORE_ITEMS;
        const TRegStoreValue& v = k.Values[Index];
        LONG rc = CopyName(v.Name, ValueName, ValueNameSize);
        if (rc != ERROR_SUCCESS) return rc;
        if (Type) *Type = v.Type;
        return CopyOut(v.Data, Data, DataSize);
    });
}

LONG RegEnumKeyName(HKEY Key, DWORD Index, AnsiString& Name) {
    return WithKey(Key, [&](TRegStoreKey& k) -> LONG {
        if (Index >= k.SubKeys.size()) return ERROR_NO_MORE_ITEMS;
        Name = k.SubKeys[Index].Name;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValueName(HKEY Key, DWORD Index, AnsiString& Name) {
    return WithKey(Key, [&](TRegStoreKey& k) -> LONG {
        if (Index >= k.Values.size()) return ERROR_NO_MORE_ITEMS;
        Name = k.Values[Index].Name;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryInfoKeyA(HKEY Key, char*, DWORD*, DWORD*, DWORD* SubKeys, DWORD* MaxSubKeyLen, DWORD*,
                      DWORD* Values, DWORD* MaxValueNameLen, DWORD* MaxValueLen, DWORD*, void*) {
    return WithKey(Key, [&](TRegStoreKey& k) -> LONG {
        DWORD maxSub = 0, maxName = 0, maxData = 0;
        for (const TRegStoreKey& sub : k.SubKeys)
            maxSub = std::max(maxSub, DWORD(sub.Name.size()));
        for (const TRegStoreValue& v : k.Values) {
            maxName = std::max(maxName, DWORD(v.Name.size()));
            maxData = std::max(maxData, DWORD(v.Data.size()));
        }
        if (SubKeys) *SubKeys = DWORD(k.SubKeys.size());
        if (MaxSubKeyLen) *MaxSubKeyLen = maxSub;
        if (Values) *Values = DWORD(k.Values.size());
        if (MaxValueNameLen) *MaxValueNameLen = maxName;
        if (MaxValueLen) *MaxValueLen = maxData;
        return ERROR_SUCCESS;
    });
}

AnsiString RegistryStoreFileName() {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    return s.FileName();
}

void SetRegistryStoreFileOverride(const AnsiString& FileName) {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    s.Override = FileName;
}

AnsiString TakeRegistryStoreProblem() {
    TRegistryStore& s = RegistryStore();
    std::lock_guard guard(s.Lock);
    AnsiString p = s.Problem;
    s.Problem.clear();
    return p;
}
