// Version resources: string tables, translations and malformed records.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/win/Module.h"
#include "platform/win/WinBase.h"
#include "support/TestSupport.h"
#include "util/JclFileUtils.h"

// This test program carries version facts the way our executables do.
TARVIK_VERSION_RECORD("ProductName=Luvora Test\n"
                      "CompanyName=Tarvik\n"
                      "FileVersion=1.2.3.4\n"
                      "ProductVersion=1.2.0.0\n"
                      "FileFlags=9\n")

namespace {

void Put16(std::string& Out, uint16_t V) {
    Out.append(reinterpret_cast<const char*>(&V), 2);
}
void Align4(std::string& Out) {
    while (Out.size() % 4)
        Out += '\0';
}

// One block of a hand-made resource, in the 32-bit layout or (Wide false)
// the 16-bit one. ValueLength is given as it is stored.
std::string Blk(const std::string& Key, uint16_t Type, const std::string& Value, uint16_t ValueLength,
                const std::vector<std::string>& Children, bool Wide = true) {
    std::string b;
    Put16(b, 0);
    Put16(b, ValueLength);
    if (Wide) {
        Put16(b, Type);
        for (char c : Key)
            Put16(b, uint16_t(static_cast<unsigned char>(c)));
        Put16(b, 0);
    } else {
        b += Key;
        b += '\0';
    }
    Align4(b);
    b += Value;
    for (const std::string& c : Children) {
        Align4(b);
        b += c;
    }
    uint16_t len = uint16_t(b.size());
    std::memcpy(b.data(), &len, 2);
    return b;
}

std::string WideValue(const std::string& Text) {
    std::string v;
    for (char c : Text)
        Put16(v, uint16_t(static_cast<unsigned char>(c)));
    Put16(v, 0);
    return v;
}

std::string Str(const std::string& Key, const std::string& Text) {
    return Blk(Key, 1, WideValue(Text), uint16_t(Text.size() + 1), {});
}

std::string Fixed(uint32_t Flags = 0, uint32_t Mask = 0x3F) {
    VS_FIXEDFILEINFO f;
    f.dwFileFlags = Flags;
    f.dwFileFlagsMask = Mask;
    return std::string(reinterpret_cast<const char*>(&f), sizeof f);
}

std::string Resource(const std::vector<std::string>& Children, bool Wide = true, uint32_t Flags = 0) {
    return Blk("VS_VERSION_INFO", 0, Fixed(Flags), 52, Children, Wide);
}

std::string Translation(uint32_t Word) {
    return Blk("VarFileInfo", 1, "", 0,
               {Blk("Translation", 0, std::string(reinterpret_cast<char*>(&Word), 4), 4, {})});
}

TEST(JclFileUtilsTest, ParsesStringTablesAndTranslations) {
    std::string binary = "\x34\x12";
    std::string raw = Resource(
        {Translation(0x04E40409),
         Blk("StringFileInfo", 1, "", 0,
             {Blk("040904E4", 1, "", 0,
                  {Str("CompanyName", "Tarvik"), Blk("Build", 0, binary, 2, {}), Blk("Empty", 1, "", 0, {})}),
              Blk("041904E3", 1, "", 0, {Str("CompanyName", "Other")})})},
        true, VS_FF_DEBUG | VS_FF_PATCHED | VS_FF_SPECIALBUILD);
    auto info = TJclFileVersionInfo::FromBuffer(raw);
    ASSERT_EQ(info->Languages(), (std::vector<uint32_t>{0x04E40409, 0x04E30419}));
    EXPECT_EQ(info->Translations(), (std::vector<uint32_t>{0x04E40409}));
    ASSERT_EQ(info->AllEntries().size(), 4u);
    EXPECT_EQ(info->AllEntries()[0].Text, "CompanyName=Tarvik");
    EXPECT_EQ(info->AllEntries()[1].Text, "Build=$1234");
    EXPECT_EQ(info->AllEntries()[2].Text, "Empty=");
    EXPECT_EQ(info->AllEntries()[3].Tag, 1u);
    ASSERT_EQ(info->LanguageEntries().size(), 3u);
    EXPECT_EQ(info->LanguageEntries()[0].Tag, 0x04E40409u);
    EXPECT_EQ(info->VersionKeyValue(2), "Tarvik");
    EXPECT_EQ(info->VersionKeyValue(9), "");
    EXPECT_EQ(info->VersionKeyValue(99), "");
    EXPECT_EQ(info->FileFlags(), FileFlagDebug | FileFlagPatched | FileFlagSpecialBuild);
}

TEST(JclFileUtilsTest, TableKeysAreCleanedOrRefused) {
    struct Case {
        const char* Key;
        bool Accepted;
    };
    const Case cases[] = {
        {"0x0409 0x04E4", true}, {"040904E4", true}, {"040904E", false}, {"040904E45", false}};
    for (const Case& c : cases) {
        std::string raw =
            Resource({Blk("StringFileInfo", 1, "", 0, {Blk(c.Key, 1, "", 0, {Str("A", "b")})})});
        if (c.Accepted) {
            auto info = TJclFileVersionInfo::FromBuffer(raw);
            EXPECT_EQ(info->Languages(), (std::vector<uint32_t>{0x04E40409})) << c.Key;
        } else {
            EXPECT_THROW(TJclFileVersionInfo::FromBuffer(raw), EJclFileVersionInfoError) << c.Key;
        }
    }
}

TEST(JclFileUtilsTest, MalformedResourcesAreRefused) {
    std::string good =
        Resource({Blk("StringFileInfo", 1, "", 0, {Blk("040904E4", 1, "", 0, {Str("A", "b")})})});
    std::string badSignature = good;
    std::memset(badSignature.data() + 40, 0, 4); // the fixed part starts at 40
    std::string badRoot = Blk("VS_VERSION_INFX", 0, Fixed(), 52, {});
    std::string truncated = good.substr(0, good.size() - 6);
    std::string badType =
        Resource({Blk("StringFileInfo", 1, "", 0, {Blk("040904E4", 1, "", 0, {Blk("A", 7, "", 0, {})})})});
    for (const std::string& raw :
         {badSignature, badRoot, truncated, badType, std::string("\0\0\0\0", 4), std::string()}) {
        try {
            TJclFileVersionInfo::FromBuffer(raw);
            ADD_FAILURE() << "accepted a malformed resource of " << raw.size() << " bytes";
        } catch (const EJclFileVersionInfoError& e) {
            EXPECT_EQ(e.Message, "File contains no version information");
        }
    }
}

TEST(JclFileUtilsTest, RecordsTooLargeForTheLayoutGiveNoResource) {
    // Just past 64 KiB the 16-bit lengths would wrap and the later strings
    // would be lost without a word.
    const struct {
        int Length;
        bool Fits;
    } cases[] = {{32000, true}, {32602, false}, {40000, false}};
    for (const auto& c : cases) {
        const std::string raw = BuildVersionResource(
            {{"CompanyName", "Tarvik"}, {"Comments", AnsiString(c.Length, 'c')}, {"ProductName", "Luvora"}});
        if (!c.Fits) {
            EXPECT_TRUE(raw.empty()) << c.Length;
            continue;
        }
        auto info = TJclFileVersionInfo::FromBuffer(raw);
        EXPECT_EQ(info->VersionKeyValue(1).size(), std::size_t(c.Length));
        EXPECT_EQ(info->VersionKeyValue(9), "Luvora");
    }
}

TEST(JclFileUtilsTest, SixteenBitLayoutIsRead) {
    std::string raw =
        Resource({Blk("StringFileInfo", 1, "", 0,
                      {Blk("040904E4", 1, "", 0,
                           {Blk("ProductName", 1, std::string("Luv\0", 4), 4, {}, false)}, false)},
                      false)},
                 false);
    auto info = TJclFileVersionInfo::FromBuffer(raw);
    EXPECT_EQ(info->VersionKeyValue(9), "Luv");
}

TEST(JclFileUtilsTest, OurExecutablesCarryTheirVersion) {
    const AnsiString exe = ModuleFilePath(0);
    ASSERT_FALSE(exe.empty());
    TJclFileVersionInfo info(exe);
    EXPECT_EQ(info.VersionKeyValue(9), "Luvora Test");
    EXPECT_EQ(info.VersionKeyValue(2), "Tarvik");
    EXPECT_EQ(info.VersionKeyValue(4), "1.2.3.4");
    EXPECT_EQ(info.FileFlags(), FileFlagDebug | FileFlagPrivateBuild);
    VS_FIXEDFILEINFO fixed;
    ASSERT_TRUE(ReadFixedFileInfo(exe, fixed));
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010002u);
}

TEST(JclFileUtilsTest, FilesWithoutVersionInformation) {
    TTempFolder folder;
    const std::string plain = folder.Path() + "plain.bin";
    std::ofstream(plain) << "no executable";
    for (const std::string& file : {plain, folder.Path() + "missing"}) {
        EXPECT_THROW(TJclFileVersionInfo info(file), EJclFileVersionInfoError) << file;
        VS_FIXEDFILEINFO fixed;
        EXPECT_FALSE(ReadFixedFileInfo(file, fixed)) << file;
    }
}

TEST(JclFileUtilsTest, TemporaryFolderAndModulePath) {
    const AnsiString temp = GetSystemTempPath();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '/');
    EXPECT_TRUE(DirectoryExists(temp));
    EXPECT_EQ(GetSystemTempPath(), temp); // one folder for the whole run
    TTempFolder folder;
    SetTempPathOverride(folder.Path());
    EXPECT_EQ(GetSystemTempPath(), folder.Path());
    SetTempPathOverride("");
    SetModuleFileNameOverride("/opt/tarvik/Luvora");
    EXPECT_EQ(ModuleFilePath(0), "/opt/tarvik/Luvora");
    SetModuleFileNameOverride("");
}

} // namespace
