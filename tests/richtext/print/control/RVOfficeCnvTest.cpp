// The registered export converters: none on this platform, and those a
// registry names, with their masks, paths and filter items.
#include <gtest/gtest.h>

#include "platform/win/WinReg.h"
#include "richtext/print/control/RVOfficeCnv.h"
#include "support/TestSupport.h"

namespace {
class RVOfficeCnvTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryStoreFileOverride(Folder.Path() + "registry.reg"); }
    void TearDown() override { SetRegistryStoreFileOverride(""); }

    // A converter's subkey with the values given (nullptr: no such value).
    void Register(const char* Sub, const char* Name, const char* Path, const char* Extensions) {
        TRegKeyGuard key;
        AnsiString path = AnsiString(RVExportConvertersKey) + "\\" + Sub;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key.Key, nullptr),
                  ERROR_SUCCESS);
        const std::pair<const char*, const char*> values[] = {
            {"Name", Name}, {"Path", Path}, {"Extensions", Extensions}};
        for (auto [value, text] : values)
            if (text)
                RegSetValueExA(key.Key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               DWORD(strlen(text) + 1));
    }

    TTempFolder Folder;
};
} // namespace

TEST_F(RVOfficeCnvTest, NoConvertersGiveAnEmptyListAndFilter) {
    TRVOfficeCnvList list(RVExportConvertersKey, nullptr, true);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.GetFilter(true), "");
    // The key there, its converters not.
    Register("Incomplete", "Half", "half.cnv", nullptr);
    TRVOfficeCnvList again(RVExportConvertersKey, nullptr, true);
    EXPECT_EQ(again.Count(), 0);
}

TEST_F(RVOfficeCnvTest, ConvertersAreListedWithTheirMasksAndFilterItems) {
    TEnvironmentValue common("COMMONPROGRAMFILES", std::string("C:\\Common"));
    Register("A", "Word 6.0", "%CommonProgramFiles%\\Conv\\mswrd6.cnv", "doc rtf");
    Register("B", "HTML Document", "C:\\Conv\\Html32.cnv", "htm html");
    Register("C", "No Extensions", "C:\\Conv\\none.cnv", nullptr);
    Register("D", "Works", "C:\\Conv\\works.cnv", "wps  wks");
    int owner = 0;
    TObject* requester = reinterpret_cast<TObject*>(&owner);
    TRVOfficeCnvList list(RVExportConvertersKey, requester, true);
    EXPECT_EQ(list.Owner(), requester);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Name, "Word 6.0");
    EXPECT_EQ(list.Items(0)->Path, "C:\\Common\\Conv\\mswrd6.cnv");
    EXPECT_EQ(list.Items(0)->Extensions, "*.doc;*.rtf");
    EXPECT_EQ(list.Items(1)->Extensions, "*.wps;*.;*.wks") << "two blanks leave an empty mask between";
    EXPECT_EQ(list.GetFilter(true),
              "Word 6.0 (*.doc;*.rtf)|*.doc;*.rtf|Works (*.wps;*.;*.wks)|*.wps;*.;*.wks");
    EXPECT_EQ(list.GetFilter(false), "Word 6.0|*.doc;*.rtf|Works|*.wps;*.;*.wks");

    TRVOfficeCnvList withHtml(RVExportConvertersKey, nullptr, false);
    ASSERT_EQ(withHtml.Count(), 3);
    EXPECT_EQ(withHtml.Items(1)->Name, "HTML Document");
}
