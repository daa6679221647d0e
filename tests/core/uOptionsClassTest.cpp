// The grid row colours in the registry store: defaults, round trips, a
// damaged store and a store that cannot be written.
#include "core/uOptionsClass.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/uTarvikApplicationClass.h"
#include "platform/win/Module.h"
#include "platform/win/Registry.h"
#include "platform/win/WinReg.h"
#include "support/TestSupport.h"

namespace {

constexpr uint32_t clInfoBk = 0xFF000018;
constexpr uint32_t clWhite = 0x00FFFFFF;

void WriteFile(const std::string& Name, const std::string& Text) {
    std::ofstream(Name, std::ios::binary) << Text;
}

// Options of a pretended executable "Luvora" in a private registry store.
class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Store = Folder.Path() + "tarvik/registry.reg";
        SetRegistryStoreFileOverride(Store);
        SetModuleFileNameOverride(Folder.Path() + "Luvora");
    }
    void TearDown() override {
        SetModuleFileNameOverride("");
        SetRegistryStoreFileOverride("");
        TakeRegistryStoreProblem();
    }
    // Makes the store read its file again, as the next start would.
    void Reload() {
        SetRegistryStoreFileOverride(Folder.Path() + "elsewhere.reg");
        TRegistry().KeyExists("Software");
        SetRegistryStoreFileOverride(Store);
    }

    TTempFolder Folder;
    std::string Store;
};

} // namespace

TEST_F(OptionsTest, FirstStartCreatesTheKeyAndUsesTheDefaults) {
    EXPECT_EQ(TApplicationOptions::RegistryKey(), "Software\\Tarvik\\Luvora");
    SetModuleFileNameOverride(Folder.Path() + "luvora.exe");
    EXPECT_EQ(TApplicationOptions::RegistryKey(), "Software\\Tarvik\\luvora");
    SetModuleFileNameOverride(Folder.Path() + "Luvora");

    TApplicationOptions o;
    o.FirstGridRowColor = 1;
    o.SecondGridRowColor = 2;
    o.Load();
    EXPECT_EQ(o.FirstGridRowColor, clInfoBk);
    EXPECT_EQ(o.SecondGridRowColor, clWhite);
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("Software\\Tarvik\\Luvora"));
}

TEST_F(OptionsTest, ColoursSurviveASaveAndALoad) {
    TApplicationOptions o;
    ASSERT_TRUE(o.Save());
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("software\\tarvik\\luvora", false));
    EXPECT_EQ(reg.ReadInteger("FirstGridRowColor"), -16777192);
    EXPECT_EQ(reg.ReadInteger("SecondGridRowColor"), 16777215);
    reg.CloseKey();

    o.FirstGridRowColor = 0x00336699;
    o.SecondGridRowColor = 0xFF00000F;
    ASSERT_TRUE(o.Save());
    Reload();
    TApplicationOptions loaded;
    loaded.Load();
    EXPECT_EQ(loaded.FirstGridRowColor, 0x00336699u);
    EXPECT_EQ(loaded.SecondGridRowColor, 0xFF00000Fu);
}

TEST_F(OptionsTest, DamagedStoreGivesTheDefaults) {
    TApplicationOptions o;
    o.FirstGridRowColor = 0x00336699;
    ASSERT_TRUE(o.Save());
    WriteFile(Store, "\x01\x02 not a registry export [\n");
    Reload();
    TApplicationOptions loaded;
    loaded.Load();
    EXPECT_EQ(loaded.FirstGridRowColor, clInfoBk);
    EXPECT_EQ(loaded.SecondGridRowColor, clWhite);
}

TEST_F(OptionsTest, ValueOfTheWrongTypeIsIgnored) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Tarvik\\Luvora", true));
        reg.WriteString("FirstGridRowColor", "red");
        reg.WriteInteger("SecondGridRowColor", 0x00112233);
    }
    TApplicationOptions o;
    o.Load();
    EXPECT_EQ(o.FirstGridRowColor, clInfoBk);
    EXPECT_EQ(o.SecondGridRowColor, 0x00112233u);
}

TEST_F(OptionsTest, SaveReportsAStoreThatCannotBeWritten) {
    WriteFile(Folder.Path() + "blocker", "x");
    SetRegistryStoreFileOverride(Folder.Path() + "blocker/registry.reg");
    TApplicationOptions o;
    EXPECT_FALSE(o.Save());
    o.Load();
    EXPECT_EQ(o.FirstGridRowColor, clInfoBk);
}

TEST_F(OptionsTest, ApplicationObjectOwnsOptionsAndPassword) {
    TTarvikApplication app;
    ASSERT_TRUE(app.Options);
    ASSERT_TRUE(app.Security);
    EXPECT_EQ(app.Options->FirstGridRowColor, clInfoBk);
    EXPECT_EQ(app.Options->SecondGridRowColor, clWhite);
    EXPECT_EQ(app.Security->GetPassword(), "");
}
