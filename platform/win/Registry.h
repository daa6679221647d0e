// TRegistry: a key-at-a-time view of the registry store, as the run-time
// offers it over the platform's registry functions.
#pragma once

#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/win/WinReg.h"

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(REGSAM AAccess);
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value); // closes the current key
    HKEY CurrentKey() const { return FCurrentKey; }
    const AnsiString& CurrentPath() const { return FCurrentPath; }
    REGSAM Access = KEY_ALL_ACCESS;

    // A key starting with "\" is taken from the root, any other from the
    // current key when one is open.
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const AnsiString& Key);
    void CloseKey();
    bool CreateKey(const AnsiString& Key);
    bool DeleteKey(const AnsiString& Key); // with everything below it
    bool KeyExists(const AnsiString& Key);
    bool HasSubKeys();
    std::vector<AnsiString> GetKeyNames();
    std::vector<AnsiString> GetValueNames();

    bool ValueExists(const AnsiString& Name);
    bool DeleteValue(const AnsiString& Name);
    TRegDataType GetDataType(const AnsiString& Name);
    int GetDataSize(const AnsiString& Name); // -1 when the value is missing

    // Readers raise ERegistryException for a missing value or one of
    // another type ("Invalid data type for '%s'"), so a caller that wants a
    // default checks GetDataType first or catches.
    int ReadInteger(const AnsiString& Name);
    bool ReadBool(const AnsiString& Name);
    AnsiString ReadString(const AnsiString& Name);
    std::string ReadBinaryData(const AnsiString& Name);
    // Writers raise ERegistryException when the store cannot be written.
    void WriteInteger(const AnsiString& Name, int Value);
    void WriteBool(const AnsiString& Name, bool Value);
    void WriteString(const AnsiString& Name, const AnsiString& Value);
    void WriteExpandString(const AnsiString& Name, const AnsiString& Value);
    void WriteBinaryData(const AnsiString& Name, const void* Buffer, int Size);

private:
    HKEY BaseKey(bool Relative) const;
    AnsiString JoinPath(const AnsiString& Key, bool& Relative) const;
    void PutData(const AnsiString& Name, DWORD Type, const void* Buffer, DWORD Size);
    std::string GetData(const AnsiString& Name, DWORD Expected1, DWORD Expected2);
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = 0;
    AnsiString FCurrentPath;
};
