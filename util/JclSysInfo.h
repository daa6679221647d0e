// The Windows version the program runs on, and process-wide system facts.
#pragma once

#include <cstdint>

#include "platform/rtl/SysUtils.h"
#include "platform/win/WinBase.h"

// What the classification reads of the system.
struct TWindowsVersionFacts {
    bool NT = false;
    int Major = 0;
    int Minor = 0;
    AnsiString ServicePack; // trimmed
    uint32_t KernelVersion = 0;
    int ServerR2Metric = 0;          // SM_SERVERR2
    uint16_t NativeArchitecture = 0; // 0 is x86
    bool HaveProductType = false;    // the extended version query worked
    uint8_t ProductType = 0;         // 1 VER_NT_WORKSTATION
};

// Codes 0 (unrecognised) to 16, Windows 95 to Windows Server 2008.
int ClassifyWindowsVersion(const TWindowsVersionFacts& Facts);
// The running system: not Windows, so 0.
int ClassifyWindowsVersion();
// The system information of the native processor; false when only the
// plain one is known (as here).
bool ReadNativeSystemInfo(SYSTEM_INFO& Info);

int ProcessorCount();
DWORD AllocationGranularity();
DWORD PageSize();
