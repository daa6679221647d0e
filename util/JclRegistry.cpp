// Registry routines under a root key, each closing what it opened, and their
// error class.
#include "util/JclRegistry.h"

#include <cstring>
#include <vector>

#include "util/JclUnitVersioning.h"

namespace {

struct TRootKey {
    HKEY Key;
    const char* Name;
};
const TRootKey kRootKeys[14] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
    {HKEY_CLASSES_ROOT, "HKCR"},
    {HKEY_CURRENT_USER, "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKLM"},
    {HKEY_USERS, "HKUS"},
    {HKEY_PERFORMANCE_DATA, "HKPD"},
    {HKEY_CURRENT_CONFIG, "HKCC"},
    {HKEY_DYN_DATA, "HKDD"},
};

[[noreturn]] void RaiseRead(HKEY Root, const AnsiString& Key) {
    throw EJclRegistryError(Format("Unable to open key \"%s\\%s\" for read", {RegistryRootName(Root), Key}));
}
[[noreturn]] void RaiseWrite(HKEY Root, const AnsiString& Key) {
    throw EJclRegistryError(Format("Unable to open key \"%s\\%s\" for write", {RegistryRootName(Root), Key}));
}
[[noreturn]] void RaiseValue(HKEY Root, const AnsiString& Key, const AnsiString& Name) {
    throw EJclRegistryError(
        Format("Unable to open key \"%s\\%s\" and access value \"%s\"", {RegistryRootName(Root), Key, Name}));
}
[[noreturn]] void RaiseKind(HKEY Root, const AnsiString& Key, const AnsiString& Name) {
    throw EJclRegistryError(
        Format("\"%s\\%s\\%s\" is of wrong kind or size", {RegistryRootName(Root), Key, Name}));
}

// Opens the key for reading and queries the value's kind and size.
bool QueryRegistryValue(HKEY Root, const AnsiString& Key, const AnsiString& Name, bool RaiseErrors,
                        TRegKeyGuard& Opened, DWORD& Kind, DWORD& Size) {
    if (RegOpenKeyExA(Root, RegistryRelativePath(Root, Key).c_str(), 0, KEY_READ, &Opened.Key) !=
        ERROR_SUCCESS) {
        if (RaiseErrors) RaiseRead(Root, Key);
        return false;
    }
    if (RegQueryValueExA(Opened.Key, Name.c_str(), nullptr, &Kind, nullptr, &Size) != ERROR_SUCCESS) {
        if (RaiseErrors) RaiseValue(Root, Key, Name);
        return false;
    }
    return true;
}

// Opens the key, queries the value's kind and size, checks them and reads
// the data. Kinds is a bit set of the accepted kinds 0 to 15.
bool ReadRegistryData(HKEY Root, const AnsiString& Key, const AnsiString& Name, bool RaiseErrors, DWORD& Size,
                      void* Buffer, DWORD& Kind, DWORD MaxSize, uint32_t Kinds) {
    Kind = 0;
    Size = 0;
    TRegKeyGuard key;
    DWORD kind = 0, size = 0;
    if (!QueryRegistryValue(Root, Key, Name, RaiseErrors, key, kind, size)) return false;
    Kind = kind;
    if (kind > 15 || !(Kinds & (1u << kind)) || size > MaxSize) {
        if (RaiseErrors) RaiseKind(Root, Key, Name);
        return false;
    }
    DWORD got = size;
    if (RegQueryValueExA(key.Key, Name.c_str(), nullptr, &kind, static_cast<BYTE*>(Buffer), &got) !=
        ERROR_SUCCESS) {
        if (RaiseErrors) RaiseValue(Root, Key, Name);
        return false;
    }
    Size = got;
    return true;
}

constexpr uint32_t Bit(DWORD Kind) {
    return 1u << Kind;
}

// Text of a text kind; another kind raises whatever RaiseErrors says.
bool ReadRegistryText(HKEY Root, const AnsiString& Key, const AnsiString& Name, AnsiString& Text,
                      bool RaiseErrors) {
    Text.clear();
    TRegKeyGuard key;
    DWORD kind = 0, size = 0;
    if (!QueryRegistryValue(Root, Key, Name, RaiseErrors, key, kind, size)) return false;
    if (kind != REG_SZ && kind != REG_EXPAND_SZ && kind != REG_BINARY) RaiseKind(Root, Key, Name);
    std::string data(size, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key.Key, Name.c_str(), nullptr, &kind, reinterpret_cast<BYTE*>(data.data()), &got) !=
        ERROR_SUCCESS) {
        if (RaiseErrors) RaiseValue(Root, Key, Name);
        return false;
    }
    data.resize(got);
    if (!data.empty() && data.back() == '\0') data.pop_back();
    Text = data;
    return true;
}

bool ReadRegistryInteger(HKEY Root, const AnsiString& Key, const AnsiString& Name, bool RaiseErrors,
                         int32_t& Value) {
    Value = 0;
    DWORD kind = 0;
    RegistryValueKind(Root, Key, Name, kind);
    int64_t wide = 0;
    if (kind == REG_SZ || kind == REG_EXPAND_SZ) {
        AnsiString text;
        if (!ReadRegistryText(Root, Key, Name, text, RaiseErrors)) return false;
        if (!TryStrToInt64(text, wide)) {
            if (RaiseErrors) throw EConvertError(Format("'%s' is not a valid integer value", {text}));
            return false;
        }
    } else {
        unsigned char buffer[8] = {};
        DWORD size = 0, got = 0;
        if (!ReadRegistryData(Root, Key, Name, RaiseErrors, size, buffer, got, 8,
                              Bit(REG_BINARY) | Bit(REG_DWORD) | Bit(REG_QWORD)))
            return false;
        if (size <= 4) {
            int32_t low;
            std::memcpy(&low, buffer, 4);
            Value = low;
            return true;
        }
        std::memcpy(&wide, buffer, 8);
    }
    if (wide < INT32_MIN || wide > int64_t(UINT32_MAX)) {
        if (RaiseErrors) RaiseKind(Root, Key, Name);
        return false;
    }
    Value = int32_t(uint32_t(uint64_t(wide)));
    return true;
}

void WriteRegistryData(HKEY Root, const AnsiString& Key, const AnsiString& Name, DWORD Kind, const void* Data,
                       DWORD Size) {
    const AnsiString rel = RegistryRelativePath(Root, Key);
    if (!RegistryKeyExists(Root, Key)) RegistryCreateKey(Root, Key);
    TRegKeyGuard key;
    if (RegOpenKeyExA(Root, rel.c_str(), 0, KEY_WRITE, &key.Key) != ERROR_SUCCESS) RaiseWrite(Root, Key);
    if (RegSetValueExA(key.Key, Name.c_str(), 0, Kind, static_cast<const BYTE*>(Data), Size) != ERROR_SUCCESS)
        RaiseWrite(Root, Key);
}

} // namespace

AnsiString RegistryRootName(HKEY RootKey) {
    for (int i = 0; i < 7; ++i)
        if (kRootKeys[i].Key == RootKey) return kRootKeys[i].Name;
    return Format("$%.8x", {unsigned(RootKey)});
}

AnsiString RegistryRelativePath(HKEY RootKey, const AnsiString& Key) {
    std::size_t p = !Key.empty() && Key[0] == '\\' ? 1 : 0;
    for (const TRootKey& r : kRootKeys) {
        const std::size_t n = std::strlen(r.Name);
        // The name alone is the root itself, so a storage rooted at it finds
        // its values and its folders under the same key.
        if (Key.compare(p, n, r.Name) == 0 && (p + n == Key.size() || Key[p + n] == '\\')) {
            if (r.Key != RootKey) throw EJclRegistryError(Format("\"%s\" does not match RootKey", {Key}));
            p += n;
            break;
        }
    }
    return Key.substr(p);
}

bool RegistryKeyExists(HKEY RootKey, const AnsiString& Key) {
    HKEY key = 0;
    if (RegOpenKeyExA(RootKey, RegistryRelativePath(RootKey, Key).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

LONG RegistryCreateKey(HKEY RootKey, const AnsiString& Key) {
    HKEY key = 0;
    LONG rc = RegCreateKeyA(RootKey, RegistryRelativePath(RootKey, Key).c_str(), &key);
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc;
}

bool RegistryValueKind(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, DWORD& Kind) {
    Kind = 0;
    TRegKeyGuard key;
    DWORD size = 0;
    return QueryRegistryValue(RootKey, Key, Name, false, key, Kind, size);
}

int32_t RegistryReadIntegerOr(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, int32_t Default) {
    try {
        int32_t value;
        return ReadRegistryInteger(RootKey, Key, Name, false, value) ? value : Default;
    } catch (const std::exception&) {
        return Default;
    }
}

bool RegistryReadBooleanOr(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, bool Default) {
    return RegistryReadIntegerOr(RootKey, Key, Name, Default ? 1 : 0) != 0;
}

AnsiString RegistryReadText(HKEY RootKey, const AnsiString& Key, const AnsiString& Name) {
    AnsiString text;
    ReadRegistryText(RootKey, Key, Name, text, true);
    return text;
}

bool RegistryReadTextEx(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, AnsiString& Text,
                        bool RaiseErrors) {
    return ReadRegistryText(RootKey, Key, Name, Text, RaiseErrors);
}

AnsiString RegistryReadTextOr(HKEY RootKey, const AnsiString& Key, const AnsiString& Name,
                              const AnsiString& Default) {
    try {
        AnsiString text;
        return ReadRegistryText(RootKey, Key, Name, text, false) ? text : Default;
    } catch (const std::exception&) {
        return Default;
    }
}

bool RegistryReadBytesEx(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, void* Buffer,
                         DWORD BufSize, DWORD& Count, bool RaiseErrors) {
    DWORD kind;
    return ReadRegistryData(RootKey, Key, Name, RaiseErrors, Count, Buffer, kind, BufSize, 0xFFE);
}

DWORD RegistryReadBytes(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, void* Buffer,
                        DWORD BufSize) {
    DWORD count = 0;
    RegistryReadBytesEx(RootKey, Key, Name, Buffer, BufSize, count, true);
    return count;
}

void RegistryWriteInteger(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, int32_t Value) {
    RegistryWriteIntegerAs(RootKey, Key, Name, Value, REG_DWORD);
}

namespace {
// Value is the number widened as its type says: sign-extended for an
// integer, zero-extended for a cardinal.
void WriteNumberAs(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, int64_t Value, DWORD Kind) {
    switch (Kind) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        RegistryWriteTextAs(RootKey, Key, Name, IntToStr(Value), Kind);
        break;
    case REG_BINARY:
    case REG_DWORD: {
        uint32_t narrow = uint32_t(Value);
        WriteRegistryData(RootKey, Key, Name, Kind, &narrow, 4);
        break;
    }
    case REG_QWORD:
        WriteRegistryData(RootKey, Key, Name, Kind, &Value, 8);
        break;
    default:
        RaiseKind(RootKey, Key, Name);
    }
}
} // namespace

void RegistryWriteIntegerAs(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, int32_t Value,
                            DWORD Kind) {
    WriteNumberAs(RootKey, Key, Name, Value, Kind);
}

void RegistryWriteCardinalAs(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, uint32_t Value,
                             DWORD Kind) {
    WriteNumberAs(RootKey, Key, Name, Value, Kind);
}

void RegistryWriteBoolean(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, bool Value) {
    RegistryWriteCardinalAs(RootKey, Key, Name, Value ? 1 : 0, REG_DWORD);
}

void RegistryWriteText(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, const AnsiString& Value) {
    RegistryWriteTextAs(RootKey, Key, Name, Value, REG_SZ);
}

void RegistryWriteTextAs(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, const AnsiString& Value,
                         DWORD Kind) {
    if (Kind != REG_SZ && Kind != REG_EXPAND_SZ && Kind != REG_BINARY) RaiseKind(RootKey, Key, Name);
    WriteRegistryData(RootKey, Key, Name, Kind, Value.c_str(), DWORD(Value.size() + 1));
}

void RegistryWriteBytes(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, const void* Buffer,
                        DWORD Size) {
    WriteRegistryData(RootKey, Key, Name, REG_BINARY, Buffer, Size);
}

bool RegistryDeleteValue(HKEY RootKey, const AnsiString& Key, const AnsiString& Name) {
    TRegKeyGuard key;
    if (RegOpenKeyExA(RootKey, RegistryRelativePath(RootKey, Key).c_str(), 0, KEY_SET_VALUE, &key.Key) !=
        ERROR_SUCCESS)
        RaiseWrite(RootKey, Key);
    if (RegDeleteValueA(key.Key, Name.c_str()) != ERROR_SUCCESS) RaiseValue(RootKey, Key, Name);
    return true;
}

namespace {
// Rel is already relative to the root, so the names of sub-keys are never
// taken for a root's name; Key is what the messages show.
bool DeleteRegistryTree(HKEY RootKey, const AnsiString& Rel, const AnsiString& Key) {
    bool ok = true;
    {
        TRegKeyGuard key;
        if (RegOpenKeyExA(RootKey, Rel.c_str(), 0, KEY_ALL_ACCESS, &key.Key) != ERROR_SUCCESS)
            RaiseWrite(RootKey, Key);
        DWORD subKeys = 0;
        RegQueryInfoKeyA(key.Key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
        AnsiString sub;
        for (DWORD i = subKeys; ok && i-- > 0;)
            ok = RegEnumKeyName(key.Key, i, sub) == ERROR_SUCCESS &&
                 DeleteRegistryTree(RootKey, Rel + "\\" + sub, Key + "\\" + sub);
    }
    return ok && RegDeleteKeyA(RootKey, Rel.c_str()) == ERROR_SUCCESS;
}
} // namespace

bool RegistryDeleteTree(HKEY RootKey, const AnsiString& Key) {
    return DeleteRegistryTree(RootKey, RegistryRelativePath(RootKey, Key), Key);
}

LIBRARY_UNIT_VERSION("util/JclRegistry.cpp", "1", "2026-12-10", "JclLib\\source\\common")
