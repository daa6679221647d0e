// Version resources. An executable of ours carries its version facts as a
// small text record in the ELF section ".tarvik_version" (see
// TARVIK_VERSION_RECORD); reading it gives the layout of a Windows version
// resource (VS_VERSIONINFO with VS_FIXEDFILEINFO, one string table and the
// translation), so the readers above walk it as they would on Windows. A file
// without the section has no version information.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/win/WinReg.h"

using UINT = unsigned;

struct VS_FIXEDFILEINFO {
    DWORD dwSignature = 0xFEEF04BD;
    DWORD dwStrucVersion = 0x00010000;
    DWORD dwFileVersionMS = 0;
    DWORD dwFileVersionLS = 0;
    DWORD dwProductVersionMS = 0;
    DWORD dwProductVersionLS = 0;
    DWORD dwFileFlagsMask = 0x3F;
    DWORD dwFileFlags = 0;
    DWORD dwFileOS = 0x40004;
    DWORD dwFileType = 1;
    DWORD dwFileSubtype = 0;
    DWORD dwFileDateMS = 0;
    DWORD dwFileDateLS = 0;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

constexpr DWORD VS_FF_DEBUG = 0x01;
constexpr DWORD VS_FF_PRERELEASE = 0x02;
constexpr DWORD VS_FF_PATCHED = 0x04;
constexpr DWORD VS_FF_PRIVATEBUILD = 0x08;
constexpr DWORD VS_FF_INFOINFERRED = 0x10;
constexpr DWORD VS_FF_SPECIALBUILD = 0x20;

// The record is lines of Key=Value (CP1251). "FileVersion" and
// "ProductVersion" of the form a.b.c.d also fill the fixed part; the
// optional "Translation" (such as 041904E3) names the string table's
// language and code page, Russian and 1251 by default; "FileFlags" is a
// number. Every other key is a string of the table.
#define TARVIK_VERSION_RECORD(Text)                                                                          \
    __attribute__((section(".tarvik_version"), used)) extern const char TarvikVersionRecord[] = Text;

// Size of the version resource of the file, 0 when it has none.
DWORD GetFileVersionInfoSizeA(const AnsiString& FileName, DWORD* Handle);
bool GetFileVersionInfoA(const AnsiString& FileName, DWORD Handle, DWORD Len, void* Data);
// Walks a resource in the 32-bit layout: "\" gives the fixed part,
// "\VarFileInfo\Translation" the translations, "\StringFileInfo\<table>\<key>"
// a string (its length counting UTF-16 units).
bool VerQueryValueA(const void* Block, const AnsiString& SubBlock, const void** Buffer, UINT* Len);

// Builds a resource in the 32-bit (Unicode) layout from the record's lines;
// empty when it would not fit the layout's 16-bit lengths.
std::string BuildVersionResource(const std::vector<std::pair<AnsiString, AnsiString>>& Entries);
// The record of our own section in an ELF file; false when there is none.
bool ReadVersionRecord(const AnsiString& FileName, std::string& Record);
