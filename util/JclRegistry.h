// Registry routines under a root key, with one error class. Each routine
// opens what it needs and closes it before it returns or raises.
#pragma once

#include <cstdint>

#include "platform/win/WinReg.h"
#include "util/JclBase.h"

class EJclRegistryError : public EJclError {
public:
    using EJclError::EJclError;
};

// The long name of a predefined root, else "$" and 8 hexadecimal digits.
AnsiString RegistryRootName(HKEY RootKey);
// Key without its leading "\" and without a root name that matches RootKey
// ("HKEY_CURRENT_USER\..." or "HKCU\...", or the name alone, which is the
// root itself); another root's name raises
// ""%s" does not match RootKey". Every routine here applies it.
AnsiString RegistryRelativePath(HKEY RootKey, const AnsiString& Key);

bool RegistryKeyExists(HKEY RootKey, const AnsiString& Key);
LONG RegistryCreateKey(HKEY RootKey, const AnsiString& Key);
bool RegistryValueKind(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, DWORD& Kind);

// 32-bit integer from a DWORD, a QWORD or binary of up to 8 bytes, or a
// decimal text. A value outside the 32-bit range (signed or unsigned) is a
// failed read, not a cut number. The default on any failure.
int32_t RegistryReadIntegerOr(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, int32_t Default);
bool RegistryReadBooleanOr(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, bool Default);
// Text of a REG_SZ, REG_EXPAND_SZ or REG_BINARY value; a terminating NUL is
// dropped only when there is one.
AnsiString RegistryReadText(HKEY RootKey, const AnsiString& Key, const AnsiString& Name);
bool RegistryReadTextEx(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, AnsiString& Text,
                        bool RaiseErrors);
AnsiString RegistryReadTextOr(HKEY RootKey, const AnsiString& Key, const AnsiString& Name,
                              const AnsiString& Default);
// Copies the value's bytes; a value larger than the buffer raises without
// touching the buffer.
DWORD RegistryReadBytes(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, void* Buffer,
                        DWORD BufSize);
bool RegistryReadBytesEx(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, void* Buffer,
                         DWORD BufSize, DWORD& Count, bool RaiseErrors);

void RegistryWriteInteger(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, int32_t Value);
void RegistryWriteIntegerAs(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, int32_t Value,
                            DWORD Kind);
void RegistryWriteCardinalAs(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, uint32_t Value,
                             DWORD Kind);
void RegistryWriteBoolean(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, bool Value);
void RegistryWriteText(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, const AnsiString& Value);
void RegistryWriteTextAs(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, const AnsiString& Value,
                         DWORD Kind);
void RegistryWriteBytes(HKEY RootKey, const AnsiString& Key, const AnsiString& Name, const void* Buffer,
                        DWORD Size);
bool RegistryDeleteValue(HKEY RootKey, const AnsiString& Key, const AnsiString& Name);
// The key with all its sub-keys.
bool RegistryDeleteTree(HKEY RootKey, const AnsiString& Key);
