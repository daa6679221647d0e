// System information: Windows versions, GUID texts and native facts.
#include <gtest/gtest.h>

#include "util/JclLogic.h"
#include "util/JclSysInfo.h"
#include "util/JclSysUtils.h"

namespace {

TEST(JclSysInfoTest, ClassifyWindowsVersion) {
    struct Case {
        TWindowsVersionFacts Facts;
        int Code;
    };
    auto nt = [](int Major, int Minor) {
        TWindowsVersionFacts f;
        f.NT = true;
        f.Major = Major;
        f.Minor = Minor;
        return f;
    };
    auto win9x = [](int Minor, const char* Sp, uint32_t Kernel = 0) {
        TWindowsVersionFacts f;
        f.Major = 4;
        f.Minor = Minor;
        f.ServicePack = Sp;
        f.KernelVersion = Kernel;
        return f;
    };
    TWindowsVersionFacts r2 = nt(5, 2), xp64 = nt(5, 2), vista = nt(6, 0), server2008 = nt(6, 0);
    r2.ServerR2Metric = 1;
    r2.NativeArchitecture = 9;
    r2.HaveProductType = true;
    r2.ProductType = 1;
    xp64.NativeArchitecture = 9;
    xp64.HaveProductType = true;
    xp64.ProductType = 1;
    vista.HaveProductType = true;
    vista.ProductType = 1;
    const Case cases[] = {
        {win9x(0, ""), 1},
        {win9x(0, "C"), 2},
        {win9x(10, ""), 3},
        {win9x(10, "A"), 4},
        {win9x(10, "", 0x0004005A), 5},
        {win9x(90, ""), 5},
        {nt(3, 1), 6},
        {nt(3, 5), 7},
        {nt(3, 51), 8},
        {nt(4, 7), 9},
        {nt(5, 0), 10},
        {nt(5, 1), 11},
        {nt(5, 2), 12},
        {xp64, 13},
        {r2, 14},
        {vista, 15},
        {server2008, 16},
        {nt(6, 1), 0},
        {nt(10, 0), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyWindowsVersion(c.Facts), c.Code) << c.Facts.Major << "." << c.Facts.Minor;
    EXPECT_EQ(ClassifyWindowsVersion(), 0);
    SYSTEM_INFO info;
    EXPECT_FALSE(ReadNativeSystemInfo(info));
    EXPECT_GT(info.dwPageSize, 0u);
}

TEST(JclSysInfoTest, GuidTextBitsAndLock) {
    TGUID unknown{0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(GuidToText(unknown), "{00000000-0000-0000-C000-000000000046}");
    TGUID g{0x7DAD5220, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    EXPECT_EQ(GuidToText(g), "{7DAD5220-46EA-11D5-B0C0-4854E825F345}");
    uint32_t words[3] = {};
    SetBitInArray(words, 33);
    EXPECT_EQ(words[1], 2u);
    EXPECT_TRUE(TestBitInArray(words, 33));
    EXPECT_FALSE(TestBitInArray(words, 1));
    {
        auto lock = AcquireMappingListLock();
        EXPECT_TRUE(lock.owns_lock());
        ReleaseAllMappings(); // takes the same lock again, an empty list
    }
    void* handle = nullptr;
    ReleaseLibraryHandle(handle);
    EXPECT_EQ(handle, nullptr);
}

} // namespace
