// Kernel services of the platform that the libraries call: system facts,
// pages of memory at chosen addresses, the process id, the temporary folder
// and the locale's character classes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/SysUtils.h"
#include "platform/win/WinReg.h"

struct SYSTEM_INFO {
    uint16_t wProcessorArchitecture = 0; // 0 x86, 9 x64, 12 arm64
    DWORD dwPageSize = 0;
    void* lpMinimumApplicationAddress = nullptr;
    void* lpMaximumApplicationAddress = nullptr;
    DWORD dwNumberOfProcessors = 0;
    DWORD dwAllocationGranularity = 0;
};
void GetSystemInfo(SYSTEM_INFO& Info);
DWORD GetCurrentProcessId();

constexpr DWORD MEM_COMMIT = 0x1000;
constexpr DWORD MEM_RESERVE = 0x2000;
constexpr DWORD MEM_RELEASE = 0x8000;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;

// Maps pages at Address when it is free there, else somewhere else (the
// caller compares); null on failure.
void* VirtualAlloc(void* Address, std::size_t Size, DWORD AllocationType, DWORD Protect);
bool VirtualFree(void* Address, std::size_t Size, DWORD FreeType);
struct MEMORY_BASIC_INFORMATION {
    void* BaseAddress = nullptr;
    std::size_t RegionSize = 0; // from the asked address to the end of its region
    DWORD Protect = 0;          // 0 when nothing is mapped there
};
// Fills Info for the region holding Address; returns false when nothing is
// mapped there.
bool VirtualQuery(const void* Address, MEMORY_BASIC_INFORMATION& Info);

// The process's private temporary folder (mode 0700, made on first use and
// removed with its contents when the process ends), with a trailing "/".
// Tests may point it at a folder of their own; an empty text ends that.
// Its name holds the pid and the start time of the process.
AnsiString GetTempPath();
void SetTempPathOverride(const AnsiString& Path);
// Removes the private temporary folders of processes that no longer run
// (killed ones never remove theirs); returns how many went.
int RemoveStaleTempFolders();

// Makes Path a folder of the user's alone (mode 0700), or takes it when it
// already is one of the user's own (not a link to one), closing it to others.
// False when the name is taken otherwise or the folder cannot be made.
bool MakePrivateFolder(const AnsiString& Path);

// The user's locale is one of the Middle East (Arabic, Persian, Hebrew,
// Urdu), whose texts run right to left: read from the environment's
// LC_ALL, LC_CTYPE or LANG, the first one set.
bool SysLocaleMiddleEast();

// Character classes of the program's code page.
constexpr uint16_t C1_UPPER = 0x0001;
constexpr uint16_t C1_LOWER = 0x0002;
constexpr uint16_t C1_DIGIT = 0x0004;
constexpr uint16_t C1_SPACE = 0x0008;
constexpr uint16_t C1_PUNCT = 0x0010;
constexpr uint16_t C1_CNTRL = 0x0020;
constexpr uint16_t C1_BLANK = 0x0040;
constexpr uint16_t C1_XDIGIT = 0x0080;
constexpr uint16_t C1_ALPHA = 0x0100;
uint16_t GetCharType1(unsigned char Ch);
