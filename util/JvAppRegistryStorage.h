// The application storage kept in the registry: a folder is a key, a value
// is a registry value, below one of the predefined roots.
#pragma once

#include <cstdint>

#include "platform/win/WinReg.h"
#include "util/JvAppStorage.h"

enum TJvRegKey {
    hkClassesRoot,
    hkCurrentUser,
    hkLocalMachine,
    hkUsers,
    hkPerformanceData,
    hkCurrentConfig,
    hkDynData
};

// The 80-bit extended layout of a native float value (64-bit mantissa with
// its integer bit, then sign and 15-bit exponent), little-endian.
void DoubleToExtended(double Value, uint8_t (&Bytes)[10]);
double ExtendedToDouble(const uint8_t (&Bytes)[10]);

class TJvAppRegistryStorage : public TJvCustomAppStorage {
public:
    explicit TJvAppRegistryStorage(TComponent* AOwner);

    TJvRegKey RegRoot() const { return TJvRegKey(FRegHKEY & 0xFF); }
    void SetRegRoot(TJvRegKey Value) { FRegHKEY = HKEY(0x80000000u + unsigned(Value)); }
    HKEY RootKey() const { return FRegHKEY; }
    bool UseOldDefaultRoot() const { return FUseOldDefaultRoot; }
    void SetUseOldDefaultRoot(bool Value);
    // Outside design time "%NONE%" is the empty root and any other root is
    // expanded by the active macro expander.
    void SetRoot(const AnsiString& Value) override;
    void Loaded() override;
    // Creates the key with its missing parents; "Unable to create key '%s'".
    void EnsureKey(const AnsiString& Key);

    // A batch of the registry store: one write of its file at the end; a
    // failed write raises EJclRegistryError "Unable to open key ... for write"
    // with the root, and every change of the batch is undone.
    void BeginBatch() override;
    void EndBatch() override;

    void RawListFolders(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue) override;
    void RawListValues(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue) override;
    bool RawIsFolder(const AnsiString& Path, bool ListIsValue) override;
    bool RawKeyExists(const AnsiString& Path) override;
    bool RawValueExists(const AnsiString& Path) override;
    void RawRemoveValue(const AnsiString& Path) override;
    void RawRemoveTree(const AnsiString& Path) override;
    int32_t RawFetchInteger(const AnsiString& Path, int32_t Default) override;
    void RawStoreInteger(const AnsiString& Path, int32_t Value) override;
    bool RawFetchBoolean(const AnsiString& Path, bool Default) override;
    void RawStoreBoolean(const AnsiString& Path, bool Value) override;
    // Only a binary value of exactly 10 bytes is a native float; anything
    // else is a conversion error, so the text route is tried.
    double RawFetchFloat(const AnsiString& Path, double Default) override;
    void RawStoreFloat(const AnsiString& Path, double Value) override;
    AnsiString RawFetchString(const AnsiString& Path, const AnsiString& Default) override;
    void RawStoreString(const AnsiString& Path, const AnsiString& Value) override;
    int RawFetchBinary(const AnsiString& Path, void* Buffer, int Size) override;
    void RawStoreBinary(const AnsiString& Path, const void* Buffer, int Size) override;

private:
    AnsiString KeyOf(const AnsiString& Path) const; // the full key of a folder path
    HKEY FRegHKEY = HKEY_CURRENT_USER;
    bool FUseOldDefaultRoot = false;
    int FExpandDepth = 0;
};

// A name without a backslash: "Item" in any case and a decimal digit.
bool IsListItemName(const AnsiString& Name);
