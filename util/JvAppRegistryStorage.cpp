// The registry back end of the application storage: keys as folders,
// registry values as values.
#include "util/JvAppRegistryStorage.h"

#include <cmath>
#include <cstring>

#include "platform/rtl/ScopeGuard.h"
#include "util/JclRegistry.h"
#include "util/JclUnitVersioning.h"

namespace {
const char kOldDefaultRoot[] = "Software\\%COMPANY_NAME%\\%APPL_NAME%";
}

void DoubleToExtended(double Value, uint8_t (&Bytes)[10]) {
    uint64_t bits;
    std::memcpy(&bits, &Value, 8);
    const uint16_t sign = uint16_t(bits >> 63) << 15;
    const int exp = int((bits >> 52) & 0x7FF);
    const uint64_t frac = bits & ((uint64_t(1) << 52) - 1);
    uint64_t mant = 0;
    uint16_t e = 0;
    if (exp == 0x7FF) {
        e = 0x7FFF;
        mant = frac ? (uint64_t(3) << 62) | (frac << 11) : uint64_t(1) << 63;
    } else if (exp != 0) {
        e = uint16_t(exp - 1023 + 16383);
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (frac != 0) {
        int high = 63 - __builtin_clzll(frac);
        e = uint16_t(high - 1074 + 16383);
        mant = frac << (63 - high);
    }
    uint16_t se = sign | e;
    std::memcpy(Bytes, &mant, 8);
    std::memcpy(Bytes + 8, &se, 2);
}

double ExtendedToDouble(const uint8_t (&Bytes)[10]) {
    uint64_t mant;
    uint16_t se;
    std::memcpy(&mant, Bytes, 8);
    std::memcpy(&se, Bytes + 8, 2);
    const bool negative = se >> 15;
    const int e = se & 0x7FFF;
    double v;
    if (e == 0x7FFF)
        v = (mant << 1) ? std::nan("") : INFINITY;
    else if (e == 0 && mant == 0)
        v = 0;
    else
        v = std::ldexp(double(mant), e - 16383 - 63);
    return negative ? -v : v;
}

bool IsListItemName(const AnsiString& Name) {
    return Name.size() > 4 && Name.find('\\') == AnsiString::npos && SameText(Name.substr(0, 4), "Item") &&
           Name[4] >= '0' && Name[4] <= '9';
}

TJvAppRegistryStorage::TJvAppRegistryStorage(TComponent* AOwner) : TJvCustomAppStorage(AOwner) {}

void TJvAppRegistryStorage::SetUseOldDefaultRoot(bool Value) {
    FUseOldDefaultRoot = Value;
    if (Value) SetRoot(kOldDefaultRoot);
}

void TJvAppRegistryStorage::SetRoot(const AnsiString& Value) {
    TJvCustomAppStorage::SetRoot(Value);
    if (ComponentState() & csDesigning) {
        if (Root() != CombineStoragePaths({kOldDefaultRoot})) FUseOldDefaultRoot = false;
        if (Root().empty()) TJvCustomAppStorage::SetRoot("%NONE%");
        return;
    }
    if (Root() == "%NONE%") {
        TJvCustomAppStorage::SetRoot("");
        return;
    }
    bool changed = false;
    AnsiString expanded = ActiveTranslateStringEngine()->ExpandMacros(Root(), changed);
    // A value that expands to another macro is expanded again, a few times at most.
    if (changed && FExpandDepth < 8) {
        ++FExpandDepth;
        TScopeGuard back([this] { --FExpandDepth; });
        SetRoot(expanded);
    }
}

void TJvAppRegistryStorage::Loaded() {
    TJvCustomAppStorage::Loaded();
    SetUseOldDefaultRoot(FUseOldDefaultRoot);
    SetRoot(Root());
}

AnsiString TJvAppRegistryStorage::KeyOf(const AnsiString& Path) const {
    AnsiString key = FullPath(Path);
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

void TJvAppRegistryStorage::EnsureKey(const AnsiString& Key) {
    if (RegistryKeyExists(FRegHKEY, Key)) return;
    if (RegistryCreateKey(FRegHKEY, Key) != ERROR_SUCCESS)
        throw EJvLibException(Format("Unable to create key '%s'", {Key}));
}

void TJvAppRegistryStorage::BeginBatch() {
    RegBeginBatch();
}

void TJvAppRegistryStorage::EndBatch() {
    if (RegEndBatch() != ERROR_SUCCESS)
        throw EJclRegistryError(
            Format("Unable to open key \"%s\\%s\" for write", {RegistryRootName(FRegHKEY), Root()}));
}

namespace {
bool OpenRead(HKEY Root, const AnsiString& Key, TRegKeyGuard& Handle) {
    return RegOpenKeyExA(Root, RegistryRelativePath(Root, Key).c_str(), 0, KEY_READ, &Handle.Key) ==
           ERROR_SUCCESS;
}

// Calls Each for every value name until it returns true; false at the end.
template <class F> bool EnumValues(HKEY Key, F&& Each) {
    AnsiString name;
    for (DWORD i = 0;; ++i) {
        LONG rc = RegEnumValueName(Key, i, name);
        if (rc == ERROR_NO_MORE_ITEMS) return false;
        if (rc != ERROR_SUCCESS) throw EJclRegistryError("Error enumerating registry");
        if (Each(name)) return true;
    }
}

} // namespace

void TJvAppRegistryStorage::RawListFolders(const AnsiString& Path, TStrings& Strings,
                                           bool ReportListAsValue) {
    TUpdateBracket bracket(Strings);
    TRegKeyGuard key;
    if (!OpenRead(FRegHKEY, KeyOf(Path), key)) return;
    AnsiString sub;
    for (DWORD i = 0;; ++i) {
        LONG rc = RegEnumKeyName(key.Key, i, sub);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) throw EJclRegistryError("Error enumerating registry");
        if (ReportListAsValue && RawHasList(CombineStoragePaths({Path, sub}))) continue;
        Strings.Add(sub);
    }
}

void TJvAppRegistryStorage::RawListValues(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue) {
    TUpdateBracket bracket(Strings);
    const bool list = ReportListAsValue && RawHasList(Path);
    if (list) Strings.Add("");
    TRegKeyGuard key;
    if (!OpenRead(FRegHKEY, KeyOf(Path), key)) return;
    EnumValues(key.Key, [&](const AnsiString& Name) {
        if (!list || (!SameText(Name, "Count") && !IsListItemName(Name))) Strings.Add(Name);
        return false;
    });
}

bool TJvAppRegistryStorage::RawIsFolder(const AnsiString& Path, bool ListIsValue) {
    TRegKeyGuard key;
    if (!OpenRead(FRegHKEY, KeyOf(Path), key)) return false;
    if (!ListIsValue ||
        RegQueryValueExA(key.Key, "Count", nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    return EnumValues(
        key.Key, [](const AnsiString& Name) { return !SameText(Name, "Count") && !IsListItemName(Name); });
}

bool TJvAppRegistryStorage::RawKeyExists(const AnsiString& Path) {
    return RegistryKeyExists(FRegHKEY, KeyOf(Path));
}

bool TJvAppRegistryStorage::RawValueExists(const AnsiString& Path) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    if (!RegistryKeyExists(FRegHKEY, key)) return false;
    TRegKeyGuard handle;
    if (!OpenRead(FRegHKEY, key, handle))
        throw EJclRegistryError(Format("Unable to open key \"%s\\%s\" for read", {key, name}));
    return RegQueryValueExA(handle.Key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void TJvAppRegistryStorage::RawRemoveValue(const AnsiString& Path) {
    if (!RawValueExists(Path)) return;
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    RegistryDeleteValue(FRegHKEY, key, name);
}

void TJvAppRegistryStorage::RawRemoveTree(const AnsiString& Path) {
    const AnsiString key = KeyOf(Path);
    if (RegistryKeyExists(FRegHKEY, key)) RegistryDeleteTree(FRegHKEY, key);
}

int32_t TJvAppRegistryStorage::RawFetchInteger(const AnsiString& Path, int32_t Default) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    return RegistryReadIntegerOr(FRegHKEY, key, name, Default);
}

void TJvAppRegistryStorage::RawStoreInteger(const AnsiString& Path, int32_t Value) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    EnsureKey(key);
    RegistryWriteInteger(FRegHKEY, key, name, Value);
}

bool TJvAppRegistryStorage::RawFetchBoolean(const AnsiString& Path, bool Default) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    return RegistryReadBooleanOr(FRegHKEY, key, name, Default);
}

void TJvAppRegistryStorage::RawStoreBoolean(const AnsiString& Path, bool Value) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    EnsureKey(key);
    RegistryWriteBoolean(FRegHKEY, key, name, Value);
}

double TJvAppRegistryStorage::RawFetchFloat(const AnsiString& Path, double Default) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    try {
        uint8_t ext[10] = {};
        DWORD kind = 0, n = 0;
        // A missing key or value raises its registry error; a value of any
        // other kind or size, however long, is no native float.
        if (!RegistryValueKind(FRegHKEY, key, name, kind))
            n = RegistryReadBytes(FRegHKEY, key, name, ext, sizeof ext);
        else if (kind != REG_BINARY || !RegistryReadBytesEx(FRegHKEY, key, name, ext, sizeof ext, n, false))
            n = 0;
        if (n != sizeof ext) throw EConvertError(Format("\"%s\\%s\" holds no native float", {key, name}));
        return ExtendedToDouble(ext);
    } catch (const EJclRegistryError&) {
        if (StorageOptions()->DefaultIfReadConvertError) return Default;
        throw;
    }
}

void TJvAppRegistryStorage::RawStoreFloat(const AnsiString& Path, double Value) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    EnsureKey(key);
    uint8_t ext[10];
    DoubleToExtended(Value, ext);
    RegistryWriteBytes(FRegHKEY, key, name, ext, 10);
}

AnsiString TJvAppRegistryStorage::RawFetchString(const AnsiString& Path, const AnsiString& Default) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    return RegistryReadTextOr(FRegHKEY, key, name, Default);
}

void TJvAppRegistryStorage::RawStoreString(const AnsiString& Path, const AnsiString& Value) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    EnsureKey(key);
    RegistryWriteText(FRegHKEY, key, name, Value);
}

int TJvAppRegistryStorage::RawFetchBinary(const AnsiString& Path, void* Buffer, int Size) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    return int(RegistryReadBytes(FRegHKEY, key, name, Buffer, DWORD(Size < 0 ? 0 : Size)));
}

void TJvAppRegistryStorage::RawStoreBinary(const AnsiString& Path, const void* Buffer, int Size) {
    AnsiString key, name;
    SplitValuePath(Path, key, name);
    EnsureKey(key);
    RegistryWriteBytes(FRegHKEY, key, name, Buffer, DWORD(Size < 0 ? 0 : Size));
}

LIBRARY_UNIT_VERSION("util/JvAppRegistryStorage.cpp", "1", "2026-12-10", "JvLib\\run")
