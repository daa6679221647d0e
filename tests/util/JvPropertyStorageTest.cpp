// Storing and loading a component's listed properties.
#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "util/JclRegistry.h"
#include "util/JvAppRegistryStorage.h"
#include "util/JvPropertyStorage.h"
#include "util/JvPropertyStore.h"

namespace {

class TMemo : public TComponent {
public:
    using TComponent::TComponent;
    TStringList Lines;
    int Color = 0;
    AnsiString Hint;
    int64_t Big = 0;
};

const TClassInfo* ListsType() {
    static TClassInfo info;
    info.Name = "TStrings";
    info.Parent = TPersistentClassInfo();
    info.UnitName = "Classes";
    info.FTypeInfo.Kind = tkClass;
    info.FTypeInfo.Name = "TStrings";
    info.FTypeInfo.ClassType = &info;
    return &info;
}

const TClassInfo* MemoInfo() {
    static const TClassInfo* info =
        TClassInfoBuilder<TMemo>("TMemo", TComponentClassInfo(), "uTest")
            .Property(
                "Lines", ListsType()->TypeInfo(), [](TMemo& M) -> TPropValue { return &M.Lines; }, nullptr)
            .Property("Color", TypeInfoInteger(), &TMemo::Color)
            .Property("Hint", TypeInfoAnsiString(), &TMemo::Hint)
            .Property("Big", TypeInfoInt64(), &TMemo::Big)
            .Register();
    return info;
}

class JvPropertyStorageTest : public ::testing::Test {
protected:
    JvPropertyStorageTest() : Form(nullptr), Storage(nullptr) {
        MemoInfo();
        SetRegistryStoreFileOverride(Folder.Path() + "registry.reg");
        Storage.SetRoot("Software\\Tarvik\\Luvora");
        Memo = new TMemo(&Form);
        Memo->SetName("Memo1");
        Props.AppStorage = &Storage;
        Props.AppStoragePath = "Main_Form";
    }
    ~JvPropertyStorageTest() override { SetRegistryStoreFileOverride(""); }
    TTempFolder Folder;
    TComponent Form;
    TJvAppRegistryStorage Storage;
    TMemo* Memo;
    TJvPropertyStorage Props;
};

TEST_F(JvPropertyStorageTest, LinesParseJoinAndFollowTheirComponents) {
    AnsiString c, p;
    ASSERT_TRUE(SplitStoredItem(" Memo1 . Lines ", c, p));
    EXPECT_EQ(c, "Memo1");
    EXPECT_EQ(p, "Lines");
    EXPECT_FALSE(SplitStoredItem("Memo1.", c, p));
    EXPECT_FALSE(SplitStoredItem("Memo1", c, p));
    EXPECT_EQ(JoinStoredItem("A", ""), "");
    EXPECT_EQ(RenameStoredItem("Memo1.Lines", "Memo2"), "Memo2.Lines");

    TStringList list;
    for (const char* line : {"Memo1.Lines", "Memo1.", "NoDot", "Ghost.Color", " Memo1 . Color"})
        list.Add(line);
    SyncStoredList(&Form, &list, true);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Objects(0), Memo);
    Memo->SetName("Memo2");
    SyncStoredList(&Form, &list, false);
    EXPECT_EQ(list.Text(), "Memo2.Lines\r\nMemo2.Color\r\n");
    list.SetObject(1, nullptr);
    SyncStoredList(&Form, &list, false);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(JvPropertyStorageTest, SavesAndLoadsTheListedProperties) {
    TStringList list;
    list.Add("Memo1.Lines");
    list.Add("Memo1.Color");
    list.Add("Memo1.Missing");
    SyncStoredList(&Form, &list, true);
    Memo->Lines.SetText("first\nsecond");
    Memo->Color = 0xFF;
    Memo->Hint = "not listed";
    Props.SaveListedProperties(&Form, &list);
    const AnsiString key = "Software\\Tarvik\\Luvora\\Main_Form";
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, key + "\\Memo1_Lines", "Count", 0), 2);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, key + "\\Memo1_Lines", "Item1"), "second");
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, key, "Memo1_Color", 0), 0xFF);
    EXPECT_FALSE(Storage.HasValue("Main_Form\\Memo1_Hint"));

    Memo->Lines.Clear();
    Memo->Color = 1;
    Props.LoadListedProperties(&Form, &list);
    EXPECT_EQ(Memo->Lines.Text(), "first\r\nsecond\r\n");
    EXPECT_EQ(Memo->Color, 0xFF);

    // A listed property without a stored value keeps its value.
    Storage.RemoveValue("Main_Form\\Memo1_Color");
    Memo->Color = 5;
    Props.LoadListedProperties(&Form, &list);
    EXPECT_EQ(Memo->Color, 5);
}

TEST_F(JvPropertyStorageTest, ALoadErrorKeepsTheValueAndIsTold) {
    TStringList list;
    list.Add("Memo1.Big");
    list.Add("Memo1.Hint");
    SyncStoredList(&Form, &list, true);
    RegistryWriteText(HKEY_CURRENT_USER, "Software\\Tarvik\\Luvora\\Main_Form", "Memo1_Big", "lots");
    RegistryWriteText(HKEY_CURRENT_USER, "Software\\Tarvik\\Luvora\\Main_Form", "Memo1_Hint", "loaded");
    std::vector<AnsiString> errors;
    Storage.OnError = [&](TJvCustomAppStorage*, const AnsiString& Text) { errors.push_back(Text); };
    Memo->Big = 3;
    Props.LoadListedProperties(&Form, &list);
    EXPECT_EQ(Memo->Big, 3);
    EXPECT_EQ(Memo->Hint, "loaded"); // the load went on
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("lots"), AnsiString::npos);
}

TEST_F(JvPropertyStorageTest, ItemTextsAndTheIgnoreList) {
    Props.StoreItemText("Main_Form", "Key", "v");
    EXPECT_EQ(Props.FetchItemText("Main_Form", "Key", "d"), "v");
    EXPECT_EQ(Props.FetchItemText("Main_Form", "Other", "d"), "d");
    Props.ClearBranch("Main_Form");
    EXPECT_FALSE(Storage.HasFolder("Main_Form"));
    auto clone = Props.CloneStorage();
    EXPECT_EQ(clone->AppStorage, &Storage);
    EXPECT_EQ(clone->AppStoragePath, "");
    TJvPropertyStorage none;
    EXPECT_EQ(none.FetchItemText("x", "y", "d"), "d");

    TStringList own, all;
    own.Add("Mine");
    CombinedIgnoreProperties(own, all);
    ASSERT_EQ(all.Count(), 19);
    EXPECT_EQ(all[0], "Mine");
    EXPECT_EQ(all[1], "AboutJvLib");
    EXPECT_EQ(all[18], "SynchronizeStoreProperties");
    TJvPropInfoList infos(Memo, {tkInteger, tkLString});
    ASSERT_EQ(infos.Count(), 4); // Color, Hint, Name, Tag sorted by name; Big is of another kind
    EXPECT_EQ(infos.Items(0)->Name, "Color");
    EXPECT_EQ(infos.Lookup("hint")->Name, "Hint");
    EXPECT_EQ(infos.Lookup("Lines"), nullptr);
}

} // namespace
