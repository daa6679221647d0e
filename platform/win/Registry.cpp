// TRegistry over the registry functions: the current key and path, opening,
// creating and deleting keys, and typed values.
#include "platform/win/Registry.h"

#include <cstring>

#include "platform/rtl/ScopeGuard.h"
#include "platform/win/RegistryFile.h"

namespace {
// A key starting with "\\" is taken from the root.
bool IsFromRoot(const AnsiString& Key) {
    return !Key.empty() && Key[0] == '\\';
}
AnsiString WithoutRootMark(const AnsiString& Key) {
    return IsFromRoot(Key) ? Key.substr(1) : Key;
}
} // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM AAccess) : Access(AAccess) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(HKEY Value) {
    if (Value == FRootKey) return;
    CloseKey();
    FRootKey = Value;
}

AnsiString TRegistry::JoinPath(const AnsiString& Key, bool& Relative) const {
    Relative = !IsFromRoot(Key) && FCurrentKey != 0;
    AnsiString k = WithoutRootMark(Key);
    if (!Relative) return k;
    if (FCurrentPath.empty()) return k;
    return k.empty() ? FCurrentPath : FCurrentPath + "\\" + k;
}

HKEY TRegistry::BaseKey(bool Relative) const {
    return Relative ? FCurrentKey : FRootKey;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
    bool relative;
    AnsiString full = JoinPath(Key, relative);
    AnsiString sub = WithoutRootMark(Key);
    HKEY result = 0;
    LONG rc = CanCreate ? RegCreateKeyExA(BaseKey(relative), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          Access, nullptr, &result, nullptr)
                        : RegOpenKeyExA(BaseKey(relative), sub.c_str(), 0, Access, &result);
    if (rc != ERROR_SUCCESS) return false;
    CloseKey();
    FCurrentKey = result;
    FCurrentPath = full;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key) {
    TScopeGuard restore([this, saved = Access] { Access = saved; });
    Access = KEY_READ;
    return OpenKey(Key, false);
}

void TRegistry::CloseKey() {
    if (FCurrentKey) RegCloseKey(FCurrentKey);
    FCurrentKey = 0;
    FCurrentPath.clear();
}

bool TRegistry::CreateKey(const AnsiString& Key) {
    bool relative;
    JoinPath(Key, relative);
    AnsiString sub = WithoutRootMark(Key);
    HKEY result = 0;
    if (RegCreateKeyA(BaseKey(relative), sub.c_str(), &result) != ERROR_SUCCESS) return false;
    RegCloseKey(result);
    return true;
}

namespace {
// Deletes Sub below Parent with everything below it, deepest keys first,
// keeping the keys still to visit in a list rather than on the call stack.
bool DeleteTree(HKEY Parent, const AnsiString& Sub) {
    std::vector<AnsiString> pending = {Sub};
    while (!pending.empty()) {
        const AnsiString path = pending.back();
        AnsiString name;
        LONG rc;
        {
            TRegKeyGuard key;
            if (RegOpenKeyExA(Parent, path.c_str(), 0, KEY_ALL_ACCESS, &key.Key) != ERROR_SUCCESS)
                return false;
            rc = RegEnumKeyName(key.Key, 0, name);
        }
        if (rc == ERROR_SUCCESS) {
            if (pending.size() > RegistryMaxKeyDepth) return false;
            pending.push_back(path + "\\" + name);
        } else if (rc == ERROR_NO_MORE_ITEMS) {
            if (RegDeleteKeyA(Parent, path.c_str()) != ERROR_SUCCESS) return false;
            pending.pop_back();
        } else {
            return false;
        }
    }
    return true;
}
} // namespace

bool TRegistry::DeleteKey(const AnsiString& Key) {
    bool relative;
    JoinPath(Key, relative);
    AnsiString sub = WithoutRootMark(Key);
    if (sub.empty()) return false;
    // One write of the store for the whole tree.
    RegBeginBatch();
    TScopeGuard end([] { RegEndBatch(); }); // when an error passes
    const bool deleted = DeleteTree(BaseKey(relative), sub);
    end.Dismiss();
    return RegEndBatch() == ERROR_SUCCESS && deleted;
}

bool TRegistry::KeyExists(const AnsiString& Key) {
    bool relative;
    JoinPath(Key, relative);
    AnsiString sub = WithoutRootMark(Key);
    HKEY key = 0;
    if (RegOpenKeyExA(BaseKey(relative), sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool TRegistry::HasSubKeys() {
    DWORD subKeys = 0;
    return FCurrentKey &&
           RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys > 0;
}

namespace {
template <class F> std::vector<AnsiString> Names(HKEY Key, F&& EnumName) {
    std::vector<AnsiString> names;
    AnsiString name;
    for (DWORD i = 0; Key && EnumName(Key, i, name) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    return names;
}
} // namespace

std::vector<AnsiString> TRegistry::GetKeyNames() {
    return Names(FCurrentKey, RegEnumKeyName);
}

std::vector<AnsiString> TRegistry::GetValueNames() {
    return Names(FCurrentKey, RegEnumValueName);
}

bool TRegistry::ValueExists(const AnsiString& Name) {
    return GetDataSize(Name) >= 0;
}

bool TRegistry::DeleteValue(const AnsiString& Name) {
    return FCurrentKey && RegDeleteValueA(FCurrentKey, Name.c_str()) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const AnsiString& Name) {
    DWORD type = REG_NONE;
    if (!FCurrentKey ||
        RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return TRegDataType::rdUnknown;
    switch (type) {
    case REG_SZ:
        return TRegDataType::rdString;
    case REG_EXPAND_SZ:
        return TRegDataType::rdExpandString;
    case REG_DWORD:
        return TRegDataType::rdInteger;
    case REG_BINARY:
        return TRegDataType::rdBinary;
    default:
        return TRegDataType::rdUnknown;
    }
}

int TRegistry::GetDataSize(const AnsiString& Name) {
    DWORD size = 0;
    if (!FCurrentKey ||
        RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return int(size);
}

std::string TRegistry::GetData(const AnsiString& Name, DWORD Expected1, DWORD Expected2) {
    DWORD type = REG_NONE, size = 0;
    if (!FCurrentKey ||
        RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        throw ERegistryException(Format("Invalid data type for '%s'", {Name}));
    if (type != Expected1 && type != Expected2)
        throw ERegistryException(Format("Invalid data type for '%s'", {Name}));
    std::string data(size, '\0');
    if (RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to get data for '%s'", {Name}));
    data.resize(size);
    return data;
}

int TRegistry::ReadInteger(const AnsiString& Name) {
    std::string data = GetData(Name, REG_DWORD, REG_DWORD);
    if (data.size() != 4) throw ERegistryException(Format("Invalid data type for '%s'", {Name}));
    int32_t v;
    std::memcpy(&v, data.data(), 4);
    return v;
}

bool TRegistry::ReadBool(const AnsiString& Name) {
    return ReadInteger(Name) != 0;
}

AnsiString TRegistry::ReadString(const AnsiString& Name) {
    std::string data = GetData(Name, REG_SZ, REG_EXPAND_SZ);
    // The stored text counts its terminating NUL; drop it only when it is there.
    if (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

std::string TRegistry::ReadBinaryData(const AnsiString& Name) {
    return GetData(Name, REG_BINARY, REG_BINARY);
}

void TRegistry::PutData(const AnsiString& Name, DWORD Type, const void* Buffer, DWORD Size) {
    if (!FCurrentKey || RegSetValueExA(FCurrentKey, Name.c_str(), 0, Type, static_cast<const BYTE*>(Buffer),
                                       Size) != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to set data for '%s'", {Name}));
}

void TRegistry::WriteInteger(const AnsiString& Name, int Value) {
    int32_t v = Value;
    PutData(Name, REG_DWORD, &v, 4);
}

void TRegistry::WriteBool(const AnsiString& Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) {
    PutData(Name, REG_SZ, Value.c_str(), DWORD(Value.size() + 1));
}

void TRegistry::WriteExpandString(const AnsiString& Name, const AnsiString& Value) {
    PutData(Name, REG_EXPAND_SZ, Value.c_str(), DWORD(Value.size() + 1));
}

void TRegistry::WriteBinaryData(const AnsiString& Name, const void* Buffer, int Size) {
    PutData(Name, REG_BINARY, Buffer, DWORD(Size < 0 ? 0 : Size));
}
