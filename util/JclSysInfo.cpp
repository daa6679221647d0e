// The Windows version the program runs on and process-wide system facts.
#include "util/JclSysInfo.h"

#include "util/JclUnitVersioning.h"

int ClassifyWindowsVersion(const TWindowsVersionFacts& F) {
    const AnsiString& sp = F.ServicePack;
    if (!F.NT) {
        if (F.Minor < 10) return sp == "B" || sp == "C" ? 2 : 1;
        if (F.Minor == 90 || (F.Minor <= 89 && F.KernelVersion == 0x0004005A)) return 5;
        if (F.Minor <= 89) return sp == "A" || sp == "B" ? 4 : 3;
        return 0;
    }
    if (F.Major == 3) {
        if (F.Minor == 1) return 6;
        if (F.Minor == 5) return 7;
        if (F.Minor == 51) return 8;
        return 0;
    }
    if (F.Major == 4) return 9;
    if (F.Major == 5) {
        if (F.Minor == 0) return 10;
        if (F.Minor == 1) return 11;
        if (F.Minor == 2) {
            if (F.ServerR2Metric != 0) return 14;
            if (F.NativeArchitecture != 0 && F.HaveProductType && F.ProductType == 1) return 13;
            return 12;
        }
        return 0;
    }
    if (F.Major == 6 && F.Minor == 0) return F.HaveProductType && F.ProductType == 1 ? 15 : 16;
    return 0;
}

int ClassifyWindowsVersion() {
    return 0;
}

bool ReadNativeSystemInfo(SYSTEM_INFO& Info) {
    GetSystemInfo(Info);
    return false;
}

namespace {
const SYSTEM_INFO& Facts() {
    static const SYSTEM_INFO info = [] {
        SYSTEM_INFO i;
        GetSystemInfo(i);
        return i;
    }();
    return info;
}
} // namespace

int ProcessorCount() {
    return int(Facts().dwNumberOfProcessors);
}
DWORD AllocationGranularity() {
    return Facts().dwAllocationGranularity;
}
DWORD PageSize() {
    return Facts().dwPageSize;
}

LIBRARY_UNIT_VERSION("util/JclSysInfo.cpp", "1", "2026-12-10", "JclLib\\source\\common")
