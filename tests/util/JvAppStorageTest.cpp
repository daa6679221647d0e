// The application storage: paths, typed values, lists, sub-storages and errors.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/TestSupport.h"
#include "util/JclMime.h"
#include "util/JclRegistry.h"
#include "util/JvAppRegistryStorage.h"

namespace {

// ------------------------------------------------------------- reflected fixtures

const TTypeInfo* AlignType() {
    static const TTypeInfo* t =
        MakeEnumTypeInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft"}, "uTest");
    return t;
}
const TTypeInfo* AlignSetType() {
    static const TTypeInfo* t = MakeSetTypeInfo("TAligns", AlignType());
    return t;
}
const TTypeInfo* CharSetType() {
    static const TTypeInfo* t = MakeSetTypeInfo("TChars", TypeInfoChar());
    return t;
}
const TTypeInfo* SmallIntSetType() {
    static const TTypeInfo* t =
        MakeSetTypeInfo("TSmalls", MakeRangeTypeInfo("TSmall", TypeInfoInteger(), 3, 10));
    return t;
}
const TTypeInfo* ColorType() {
    static const TTypeInfo* t = [] {
        const TTypeInfo* c = MakeRangeTypeInfo("TColor", TypeInfoInteger(), INT32_MIN, INT32_MAX);
        RegisterIntegerConsts(c, {{0x0000FF, "clRed"}, {0xFFFFFF, "clWhite"}});
        return c;
    }();
    return t;
}

TSetValue SetOf(const TTypeInfo* SetType, std::initializer_list<int> Elements) {
    TSetValue v{};
    const int lo = SetType->CompType->MinValue;
    for (int e : Elements) {
        int bit = e - lo + lo % 8;
        v[std::size_t(bit / 8)] |= uint8_t(1 << (bit % 8));
    }
    return v;
}

class TFont : public TPersistent {
public:
    AnsiString Name = "Arial";
    int Size = 8;
};
const TClassInfo* FontInfo() {
    static const TClassInfo* info = TClassInfoBuilder<TFont>("TFont", TPersistentClassInfo(), "uTest")
                                        .Property("Name", TypeInfoAnsiString(), &TFont::Name)
                                        .Property("Size", TypeInfoInteger(), &TFont::Size, 8)
                                        .Register();
    return info;
}

class TColumn : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    int Width = 0;
    AnsiString Title;
    int64_t Id = 0;
};
const TClassInfo* ColumnInfo() {
    static const TClassInfo* info = TClassInfoBuilder<TColumn>("TColumn", TPersistentClassInfo(), "uTest")
                                        .Property("Width", TypeInfoInteger(), &TColumn::Width)
                                        .Property("Title", TypeInfoAnsiString(), &TColumn::Title)
                                        .Property("Id", TypeInfoInt64(), &TColumn::Id)
                                        .Register();
    return info;
}

class TSettings : public TPersistent {
public:
    TSettings() : Columns([](TCollection* C) { return new TColumn(C); }) {}
    int Count = 0;
    AnsiString Caption;
    WideString Note;
    bool Visible = false;
    int Align = 0;
    double Ratio = 0;
    TDateTime When = 0;
    TSetValue Anchors{};
    int64_t Big = 0;
    int Color = 0;
    TFont Font;
    TStringList Lines;
    TCollection Columns;
};
const TClassInfo* SettingsInfo() {
    static const TClassInfo* info =
        TClassInfoBuilder<TSettings>("TSettings", TPersistentClassInfo(), "uTest")
            .Property("Count", TypeInfoInteger(), &TSettings::Count, 0)
            .Property("Caption", TypeInfoAnsiString(), &TSettings::Caption)
            .Property("Note", TypeInfoWideString(), &TSettings::Note)
            .Property("Visible", TypeInfoBoolean(), &TSettings::Visible, 0)
            .Property("Align", AlignType(), &TSettings::Align, 0)
            .Property("Ratio", TypeInfoDouble(), &TSettings::Ratio)
            .Property("When", TypeInfoDateTime(), &TSettings::When)
            .Property("Anchors", AlignSetType(), &TSettings::Anchors, 0)
            .Property("Big", TypeInfoInt64(), &TSettings::Big)
            .Property("Color", ColorType(), &TSettings::Color, 0)
            .Property(
                "Font", FontInfo()->TypeInfo(), [](TSettings& S) -> TPropValue { return &S.Font; }, nullptr)
            .Property(
                "Lines", TypeInfoAnsiString() /* replaced below */,
                [](TSettings& S) -> TPropValue { return &S.Lines; }, nullptr)
            .Property(
                "Columns", TypeInfoAnsiString(), [](TSettings& S) -> TPropValue { return &S.Columns; },
                nullptr)
            .Register();
    return info;
}

// Object properties need a class type; the list and the collection use
// class types of their own.
const TClassInfo* Settings() {
    static const TClassInfo* info = [] {
        const TClassInfo* s = SettingsInfo();
        static TClassInfo strings, collection;
        strings.Name = "TStrings";
        collection.Name = "TCollection";
        for (TClassInfo* c : {&strings, &collection}) {
            c->Parent = TPersistentClassInfo();
            c->UnitName = "Classes";
            c->FTypeInfo.Kind = tkClass;
            c->FTypeInfo.Name = c->Name;
            c->FTypeInfo.ClassType = c;
        }
        auto& props = const_cast<TClassInfo*>(s)->Props;
        props[11].PropType = strings.TypeInfo();
        props[12].PropType = collection.TypeInfo();
        ColumnInfo();
        return s;
    }();
    return info;
}

// ------------------------------------------------------------- fixture

class JvAppStorageTest : public ::testing::Test {
protected:
    JvAppStorageTest() : Storage(nullptr) {
        SetRegistryStoreFileOverride(Folder.Path() + "registry.reg");
        Storage.SetRoot("Software\\Tarvik\\Luvora");
        Settings();
    }
    ~JvAppStorageTest() override { SetRegistryStoreFileOverride(""); }
    DWORD Kind(const AnsiString& Key, const AnsiString& Name) {
        DWORD kind = 0;
        RegistryValueKind(HKEY_CURRENT_USER, Key, Name, kind);
        return kind;
    }
    TTempFolder Folder;
    TJvAppRegistryStorage Storage;
    const AnsiString Root = "Software\\Tarvik\\Luvora";
};

TEST(CombineStoragePathsTest, Normalisation) {
    struct Case {
        std::vector<AnsiString> Parts;
        AnsiString Expected;
    };
    const Case cases[] = {
        {{"\\a\\\\b\\"}, "a\\b"},
        {{"a", "\\b"}, "b"},
        {{"a", "", "b"}, "a\\b"},
        {{"a\\b\\c", ".."}, "a\\b"},
        {{"a\\b\\c", "..."}, "a"},
        {{"a\\b\\..\\c"}, "a\\c"},
        {{"..\\a"}, "a"},
        {{"Main_Form\\", "\\ShowCmd"}, "ShowCmd"},
        {{"Main_Form\\\\ShowCmd"}, "Main_Form\\ShowCmd"},
        {{"a\\b", ".."}, "a"},
        {{"a\\b\\c\\..."}, "a"},
        {{"."}, ""},
        {{"...\\x"}, "x"},
        {{}, ""},
        {{"a", ".\\b", "....", "c"}, "c"},
    };
    for (const Case& c : cases) {
        AnsiString joined;
        for (const AnsiString& p : c.Parts)
            joined += "[" + p + "]";
        EXPECT_EQ(CombineStoragePaths(c.Parts), c.Expected) << joined;
    }
}

TEST_F(JvAppStorageTest, FullPathAndSplit) {
    EXPECT_EQ(Storage.FullPath("Main_Form\\\\ShowCmd"), "Software\\Tarvik\\Luvora\\Main_Form\\ShowCmd");
    AnsiString key, name;
    Storage.SplitValuePath("Main_Form\\\\ShowCmd", key, name);
    EXPECT_EQ(key, "Software\\Tarvik\\Luvora\\Main_Form");
    EXPECT_EQ(name, "ShowCmd");
    Storage.SplitValuePath("..", key, name);
    EXPECT_EQ(key, Root);
    EXPECT_EQ(name, "");
    Storage.SetRoot("");
    EXPECT_EQ(Storage.FullPath("\\a\\b"), "a\\b");
    Storage.SetRoot("%NONE%");
    EXPECT_EQ(Storage.Root(), "");
}

TEST_F(JvAppStorageTest, TypedValuesRoundTripUnderTheDefaults) {
    const WideString wide = u"Ж\u4E2D\U0001F600";
    Storage.StoreInteger("A\\B\\C", -16777192);
    Storage.StoreString("Text", "Иванов"_cp);
    Storage.StoreWideString("Wide", wide);
    Storage.StoreFloat("Float", 1.0 / 3);
    Storage.StoreDateTime("When", EncodeDate(2026, 12, 9) + EncodeTime(1, 52, 7, 0));
    Storage.StoreDateTime("Midnight", EncodeDate(2026, 12, 9));
    Storage.StoreBoolean("Yes", true);
    Storage.StoreBoolean("No", false);
    Storage.StoreBinary("Bin", "\x01\x02", 2);

    EXPECT_EQ(Storage.FetchInteger("A\\B\\C", 0), -16777192);
    EXPECT_EQ(Kind(Root + "\\A\\B", "C"), REG_DWORD);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Root + "\\A"));
    EXPECT_EQ(Storage.FetchString("Text", ""), "Иванов"_cp);
    EXPECT_EQ(Storage.FetchWideString("Wide", u""), wide);
    EXPECT_EQ(Storage.FetchFloat("Float", 0), 1.0 / 3);
    EXPECT_EQ(Kind(Root, "Float"), REG_BINARY);
    EXPECT_NEAR(Storage.FetchDateTime("When", 0), EncodeDate(2026, 12, 9) + EncodeTime(1, 52, 7, 0), 1e-8);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "Midnight"), DateToStr(EncodeDate(2026, 12, 9)));
    EXPECT_EQ(Storage.FetchDateTime("Midnight", 0), EncodeDate(2026, 12, 9));
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "Yes"), "TRUE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "No"), "FALSE");
    EXPECT_TRUE(Storage.FetchBoolean("Yes", false));
    EXPECT_FALSE(Storage.FetchBoolean("No", true));
    char bin[4] = {};
    EXPECT_EQ(Storage.FetchBinary("Bin", bin, 4), 2);

    // Missing values give the default.
    EXPECT_EQ(Storage.FetchInteger("Missing\\Value", 7), 7);
    EXPECT_EQ(Storage.FetchString("Missing", "d"), "d");
    EXPECT_EQ(Storage.FetchFloat("Missing", 2.5), 2.5);
    EXPECT_TRUE(Storage.FetchBoolean("Missing", true));
    EXPECT_FALSE(Storage.HasValue("No\\Such\\Key"));
}

TEST_F(JvAppStorageTest, NativeAndTextForms) {
    Storage.StorageOptions()->FloatAsString = true;
    Storage.StoreFloat("F", 2.5);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "F"), FloatToStr(2.5));
    Storage.StorageOptions()->FloatAsString = false;
    EXPECT_EQ(Storage.FetchFloat("F", 0), 2.5); // the text route is tried when no native value is there
    Storage.StorageOptions()->DateTimeAsString = false;
    Storage.StoreDateTime("D", 46000.25);
    EXPECT_EQ(Kind(Root, "D"), REG_BINARY);
    EXPECT_EQ(Storage.FetchDateTime("D", 0), 46000.25);
    // A binary value of another size is no native float: its text does not
    // parse, so the conversion error follows the policy.
    RegistryWriteBytes(HKEY_CURRENT_USER, Root, "Twelve", "abcdefghijkl", 12);
    EXPECT_THROW(Storage.FetchFloat("Twelve", 1), EConvertError);
    RegistryWriteBytes(HKEY_CURRENT_USER, Root, "Twenty", "abcdefghijklmnopqrst", 20);
    EXPECT_THROW(Storage.FetchFloat("Twenty", 1), EConvertError);
    // A number text kept as a long binary value is read through its text.
    const AnsiString longText = FloatToStr(12345.6789012345);
    ASSERT_GT(longText.size() + 1, 16u);
    RegistryWriteTextAs(HKEY_CURRENT_USER, Root, "LongText", longText, REG_BINARY);
    EXPECT_EQ(Storage.FetchFloat("LongText", 1), StrToFloat(longText));
    Storage.StorageOptions()->DefaultIfReadConvertError = true;
    EXPECT_EQ(Storage.FetchFloat("Twelve", 1), 1);
    for (double v : {0.0, -0.0, 1e-310, -123456.789, 1e300}) {
        uint8_t ext[10];
        DoubleToExtended(v, ext);
        EXPECT_EQ(ExtendedToDouble(ext), v);
    }
    uint8_t one[10];
    DoubleToExtended(1.0, one);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(one), 10), std::string("\0\0\0\0\0\0\0\x80\xFF\x3F", 10));
}

TEST_F(JvAppStorageTest, BooleanTexts) {
    struct Case {
        const char* Stored;
        bool Default, Expected;
    };
    const Case cases[] = {{"yes", false, true},  {"n", true, false},    {"Y", false, true},
                          {"True", false, true}, {"maybe", true, true}, {"maybe", false, false},
                          {"1", false, true}};
    for (const Case& c : cases) {
        RegistryWriteText(HKEY_CURRENT_USER, Root, "B", c.Stored);
        EXPECT_EQ(Storage.FetchBoolean("B", c.Default), c.Expected) << c.Stored;
    }
    // A boolean kept as an integer reads as that boolean, whatever the form wanted.
    Storage.StorageOptions()->SetBooleanAsString(false);
    Storage.StoreBoolean("Native", true);
    EXPECT_EQ(Kind(Root, "Native"), REG_DWORD);
    Storage.StorageOptions()->SetBooleanAsString(true);
    EXPECT_TRUE(Storage.StorageOptions()->BooleanAsString());
    EXPECT_TRUE(Storage.FetchBoolean("Native", false));
    Storage.StorageOptions()->SetBooleanStringTrueValues(" , x");
    EXPECT_FALSE(Storage.StorageOptions()->BooleanAsString());
}

TEST_F(JvAppStorageTest, StoredTextsAreEncodedOnlyWhileEnabled) {
    auto reverse = [](AnsiString& V) { V.assign(V.rbegin(), V.rend()); };
    Storage.OnEncryptPropertyValue = reverse;
    Storage.OnDecryptPropertyValue = reverse;
    Storage.StoreString("Plain", "abc");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "Plain"), "abc");

    Storage.EnablePropertyValueCrypt();
    const AnsiString longText(100, 'x'); // encodes to more than one line
    Storage.StoreString("Coded", "abc");
    Storage.StoreString("Long", longText + "y");
    Storage.StoreBoolean("Flag", true);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "Coded"), Base64EncodeText("cba"));
    EXPECT_EQ(Storage.FetchString("Coded", ""), "abc");
    EXPECT_EQ(Storage.FetchString("Long", ""), longText + "y");
    EXPECT_TRUE(Storage.FetchBoolean("Flag", false));
    EXPECT_EQ(Storage.FetchString("Missing", "def"), "def");
    Storage.DisablePropertyValueCrypt();
    EXPECT_EQ(Storage.FetchString("Plain", ""), "abc");
}

class TCountingStorage : public TJvAppRegistryStorage {
public:
    using TJvAppRegistryStorage::TJvAppRegistryStorage;
    int32_t RawFetchInteger(const AnsiString& Path, int32_t Default) override {
        ++Reads;
        return TJvAppRegistryStorage::RawFetchInteger(Path, Default);
    }
    bool RawValueExists(const AnsiString& Path) override {
        ++Tests;
        return TJvAppRegistryStorage::RawValueExists(Path);
    }
    int Reads = 0, Tests = 0;
};

TEST_F(JvAppStorageTest, PoliciesForMissingAndReadOnly) {
    TCountingStorage counting(nullptr);
    counting.SetRoot(Root);
    EXPECT_EQ(counting.FetchInteger("Nope", 5), 5);
    EXPECT_EQ(counting.Reads, 0);
    EXPECT_EQ(counting.Tests, 1);
    counting.StorageOptions()->DefaultIfValueNotExists = false;
    EXPECT_EQ(counting.FetchInteger("Nope", 5), 5); // the back end's own default
    EXPECT_EQ(counting.Reads, 1);
    EXPECT_THROW(counting.FetchFloat("Nope", 1), EJclRegistryError);

    Storage.StoreInteger("V", 1);
    Storage.SetReadOnly(true);
    Storage.StoreInteger("V", 2);
    Storage.StoreString("New", "x");
    Storage.RemoveValue("V");
    Storage.SetReadOnly(false);
    EXPECT_EQ(Storage.FetchInteger("V", 0), 1);
    EXPECT_FALSE(Storage.HasValue("New"));
}

TEST_F(JvAppStorageTest, RootsAndPrefixes) {
    TJvAppRegistryStorage machine(nullptr);
    machine.SetRegRoot(hkLocalMachine);
    EXPECT_EQ(machine.RootKey(), HKEY(0x80000002));
    EXPECT_EQ(machine.RegRoot(), hkLocalMachine);
    machine.SetRoot("Software\\X");
    machine.StoreInteger("v", 3);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_LOCAL_MACHINE, "Software\\X", "v", 0), 3);
    EXPECT_FALSE(Storage.HasValue("..\\..\\X\\v"));
    // The root's own name in front means the same keys.
    TJvAppRegistryStorage prefixed(nullptr);
    prefixed.SetRoot("HKEY_CURRENT_USER\\" + Root);
    prefixed.StoreInteger("P\\v", 9);
    EXPECT_EQ(Storage.FetchInteger("P\\v", 0), 9);
    TStringList folders;
    prefixed.ListFolders("", folders);
    EXPECT_EQ(folders.IndexOf("P"), 0);
    EXPECT_TRUE(prefixed.HasFolder("P"));
    prefixed.RemoveTree("P");
    EXPECT_FALSE(Storage.HasFolder("P"));
    // A root that is the root key's name alone keeps values and folders together.
    TJvAppRegistryStorage bare(nullptr);
    bare.SetRoot("HKEY_CURRENT_USER");
    bare.StoreInteger("Top", 4);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, "", "Top", 0), 4);
    folders.Clear();
    bare.ListFolders("", folders);
    EXPECT_GE(folders.IndexOf("Software"), 0);
    TStringList values;
    bare.ListValues("", values);
    EXPECT_GE(values.IndexOf("Top"), 0);
    // Macros in the root expand once the expander knows them.
    TJvAppRegistryStorage macro(nullptr);
    macro.SetRoot("Software\\%FILENAME%");
    EXPECT_EQ(macro.Root(), "Software\\test_util");
}

TEST_F(JvAppStorageTest, StringListsAndCollections) {
    TStringList lines;
    lines.SetText("one\ntwo\nthree");
    Storage.StoreStringList("Lines", lines);
    lines.SetText("only");
    Storage.StoreStringList("Lines", lines);
    EXPECT_EQ(Storage.FetchInteger("Lines\\Count", 0), 1);
    EXPECT_EQ(Storage.FetchString("Lines\\Item0", ""), "only");
    EXPECT_FALSE(Storage.HasValue("Lines\\Item1"));
    EXPECT_FALSE(Storage.HasValue("Lines\\Item2"));
    TStringList read;
    read.Add("kept");
    EXPECT_EQ(Storage.FetchStringList("Lines", read, false), 1);
    EXPECT_EQ(read.Text(), "kept\r\nonly\r\n");
    EXPECT_EQ(Storage.FetchStringList("NoList", read), 2); // unchanged
    EXPECT_EQ(read.Count(), 2);

    TCollection columns([](TCollection* C) { return new TColumn(C); });
    for (int i = 0; i < 3; ++i) {
        auto* c = static_cast<TColumn*>(columns.Add());
        c->Width = 10 * (i + 1);
        c->Title = "C" + IntToStr(i);
    }
    Storage.StoreCollection("Cols", columns);
    EXPECT_EQ(Storage.FetchInteger("Cols\\Item2\\Width", 0), 30);
    columns.Delete(2);
    columns.Delete(1);
    Storage.StoreCollection("Cols", columns);
    EXPECT_FALSE(Storage.HasFolder("Cols\\Item1"));
    EXPECT_FALSE(Storage.HasFolder("Cols\\Item2"));
    TCollection back([](TCollection* C) { return new TColumn(C); });
    EXPECT_EQ(Storage.FetchCollection("Cols", back), 1);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(static_cast<TColumn*>(back.Items(0))->Title, "C0");

    // Lists count as values in listings.
    TStringList names;
    Storage.ListValues("Lines", names);
    EXPECT_EQ(names.Count(), 1);
    EXPECT_EQ(names[0], "");
    Storage.StoreString("Lines\\Extra", "x");
    names.Clear();
    Storage.ListValues("Lines", names);
    EXPECT_EQ(names.Text(), "\r\nExtra\r\n");
    EXPECT_TRUE(Storage.HasFolder("Lines", true));
    Storage.RemoveValue("Lines\\Extra");
    EXPECT_FALSE(Storage.HasFolder("Lines", true));
    EXPECT_TRUE(Storage.HasFolder("Lines", false));
    Storage.StoreInteger("Plain\\v", 1);
    TStringList folders;
    Storage.ListFolders("", folders);
    EXPECT_EQ(folders.Text(), "Plain\r\n"); // lists count as values
    folders.Clear();
    Storage.ListFolders("", folders, false);
    EXPECT_EQ(folders.Text(), "Cols\r\nLines\r\nPlain\r\n");
    EXPECT_TRUE(IsListItemName("item12"));
    EXPECT_TRUE(IsListItemName("ITEM3x"));
    EXPECT_FALSE(IsListItemName("Item"));
    EXPECT_FALSE(IsListItemName("Items"));
    EXPECT_FALSE(IsListItemName("Item1\\x"));
}

namespace {
std::string FileText(const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST_F(JvAppStorageTest, AnOperationWritesTheStoreOnceAtItsEnd) {
    const std::string file = Folder.Path() + "registry.reg";
    Storage.StoreString("Before", "x");
    const std::string before = FileText(file);
    int checked = 0;
    Storage.StoreListItems(
        "List", nullptr, 3, "Item",
        [&](TJvCustomAppStorage* S, const AnsiString& P, TObject*, int I, const AnsiString& N) {
            TStringList nested;
            nested.Add("n");
            S->StoreStringList(P + "\\" + N + IntToStr(I), nested);
            S->StoreString(P + "\\" + N + IntToStr(I) + "\\Text", "t" + IntToStr(I));
            checked += FileText(file) == before; // nothing written yet, however deep the operation
        },
        nullptr);
    EXPECT_EQ(checked, 3);
    const std::string after = FileText(file);
    EXPECT_NE(after.find("\"Text\"=\"t2\""), std::string::npos);
    EXPECT_EQ(Storage.FetchInteger("List\\Count", 0), 3);

    // A write that fails undoes the whole operation and is raised at its end.
    std::filesystem::create_directory(file + ".tmp-" + std::to_string(::getpid()));
    TStringList lines;
    lines.SetText("a\nb");
    EXPECT_THROW(Storage.StoreStringList("Lines", lines), EJclRegistryError);
    EXPECT_FALSE(Storage.HasValue("Lines\\Count"));
    EXPECT_FALSE(Storage.HasValue("Lines\\Item0"));
    EXPECT_EQ(FileText(file), after);
    // An error of the operation itself comes first; what it wrote before is kept, as ever.
    std::filesystem::remove(file + ".tmp-" + std::to_string(::getpid()));
    EXPECT_THROW(Storage.StoreListItems(
                     "Failing", nullptr, 2, "Item",
                     [](TJvCustomAppStorage* S, const AnsiString& P, TObject*, int I, const AnsiString&) {
                         if (I == 1) throw EConvertError("no second item");
                         S->StoreInteger(P + "\\Item0", 7);
                     },
                     nullptr),
                 EConvertError);
    EXPECT_EQ(Storage.FetchInteger("Failing\\Item0", 0), 7);
    EXPECT_NE(FileText(file).find("\"Item0\"=dword:00000007"), std::string::npos);
}

TEST_F(JvAppStorageTest, Enumerations) {
    Storage.StoreEnum("E", AlignType(), 2);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "E"), "alBottom");
    Storage.StorageOptions()->EnumerationAsString = false;
    EXPECT_EQ(Storage.FetchEnum("E", AlignType(), 0), 2);
    Storage.StoreEnum("N", AlignType(), 3);
    EXPECT_EQ(Kind(Root, "N"), REG_DWORD);
    Storage.StorageOptions()->EnumerationAsString = true;
    EXPECT_EQ(Storage.FetchEnum("N", AlignType(), 0), 3);
    RegistryWriteText(HKEY_CURRENT_USER, Root, "Bad", "neither");
    EXPECT_EQ(Storage.FetchEnum("Bad", AlignType(), 1), 1);
    RegistryWriteInteger(HKEY_CURRENT_USER, Root, "Far", 40);
    EXPECT_EQ(Storage.FetchEnum("Far", AlignType(), 1), 1);
    RegistryWriteText(HKEY_CURRENT_USER, Root, "Case", "ALLEFT");
    EXPECT_EQ(Storage.FetchEnum("Case", AlignType(), 0), 3);
    // Integers with names, characters and booleans.
    Storage.StoreEnum("Color", ColorType(), 0xFFFFFF);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "Color"), "clWhite");
    EXPECT_EQ(Storage.FetchEnum("Color", ColorType(), 0), 0xFFFFFF);
    Storage.StoreEnum("Color2", ColorType(), 0x123456);
    EXPECT_EQ(Storage.FetchEnum("Color2", ColorType(), 0), 0x123456);
    Storage.StoreEnum("Ch", TypeInfoChar(), 'A');
    EXPECT_EQ(Storage.FetchInteger("Ch", 0), 'A');
    Storage.StoreEnum("Bool", TypeInfoBoolean(), 1);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "Bool"), "TRUE");
    EXPECT_THROW(Storage.StoreEnum("X", TypeInfoDouble(), 1), EJvLibAppStorageError);
}

TEST_F(JvAppStorageTest, Sets) {
    const TSetValue topLeft = SetOf(AlignSetType(), {1, 3});
    Storage.StoreSetValue("Folder", AlignSetType(), topLeft);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Folder", "alTop"), "TRUE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Folder", "alNone"), "FALSE");
    EXPECT_EQ(Storage.FetchSetValue("Folder", AlignSetType(), {}), topLeft);
    // Missing flags are no members, whatever the default holds.
    Storage.RemoveValue("Folder\\alLeft");
    EXPECT_EQ(Storage.FetchSetValue("Folder", AlignSetType(), SetOf(AlignSetType(), {0, 3})),
              SetOf(AlignSetType(), {1}));
    Storage.StorageOptions()->SetAsString = true;
    Storage.StoreSetValue("Text", AlignSetType(), topLeft);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root, "Text"), "[alTop, alLeft]");
    EXPECT_EQ(Storage.FetchSetValue("Text", AlignSetType(), {}), topLeft);
    RegistryWriteText(HKEY_CURRENT_USER, Root, "Bad", "[alTop, alNowhere]");
    EXPECT_THROW(Storage.FetchSetValue("Bad", AlignSetType(), {}), EConvertError);
    Storage.StorageOptions()->DefaultIfReadConvertError = true;
    EXPECT_EQ(Storage.FetchSetValue("Bad", AlignSetType(), topLeft), topLeft);
    Storage.StorageOptions()->SetAsString = false;

    const TSetValue chars = SetOf(CharSetType(), {'\\', 200, 'a', 'B'});
    Storage.StoreSetValue("Chars", CharSetType(), chars);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Chars", "Char#92"), "TRUE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Chars", "Char#66"), "TRUE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Chars", "Char#65"), "FALSE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Chars", "Char#200"), "TRUE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Chars", "Char_a"), "TRUE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Chars", "Char_b"), "FALSE");
    EXPECT_EQ(Storage.FetchSetValue("Chars", CharSetType(), {}), chars);

    Storage.StoreSetValue("Ints", SmallIntSetType(), SetOf(SmallIntSetType(), {3, 9}));
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Ints", "Int_3"), "TRUE");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Ints", "Int_4"), "FALSE");
    EXPECT_EQ(Storage.FetchSetValue("Ints", SmallIntSetType(), {}), SetOf(SmallIntSetType(), {3, 9}));
}

TEST_F(JvAppStorageTest, AReflectedObjectRoundTrips) {
    TSettings s;
    s.Count = 5;
    s.Caption = "Главное"_cp;
    s.Note = WideString(1, char16_t(0x4E2D));
    s.Visible = true;
    s.Align = 3;
    s.Ratio = 0.75;
    s.When = EncodeDate(2026, 1, 2) + EncodeTime(3, 4, 5, 0);
    s.Anchors = SetOf(AlignSetType(), {0, 2});
    s.Big = int64_t(1) << 40;
    s.Color = 0x0000FF;
    s.Font.Name = "Courier New";
    s.Font.Size = 12;
    s.Lines.SetText("a\nb");
    static_cast<TColumn*>(s.Columns.Add())->Width = 42;
    Storage.StoreObject("Obj", &s);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Obj", "Align"), "alLeft");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Obj", "Color"), "clRed");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Root + "\\Obj", "Big"), "1099511627776");
    EXPECT_EQ(Storage.FetchInteger("Obj\\Font\\Size", 0), 12);
    EXPECT_EQ(Storage.FetchInteger("Obj\\Lines\\Count", 0), 2);
    EXPECT_EQ(Storage.FetchInteger("Obj\\Columns\\Item0\\Width", 0), 42);
    EXPECT_EQ(Storage.FetchBoolean("Obj\\Anchors\\alBottom", false), true);

    TSettings r;
    r.Lines.Add("old");
    Storage.FetchObject("Obj", &r);
    EXPECT_EQ(r.Count, 5);
    EXPECT_EQ(r.Caption, s.Caption);
    EXPECT_EQ(r.Note, s.Note);
    EXPECT_TRUE(r.Visible);
    EXPECT_EQ(r.Align, 3);
    EXPECT_EQ(r.Ratio, 0.75);
    EXPECT_NEAR(r.When, s.When, 1e-8);
    EXPECT_EQ(r.Anchors, s.Anchors);
    EXPECT_EQ(r.Big, s.Big);
    EXPECT_EQ(r.Color, 0x0000FF);
    EXPECT_EQ(r.Font.Name, "Courier New");
    EXPECT_EQ(r.Lines.Text(), "a\r\nb\r\n");
    ASSERT_EQ(r.Columns.Count(), 1);
    EXPECT_EQ(static_cast<TColumn*>(r.Columns.Items(0))->Width, 42);

    // Ignored properties and a renaming hook.
    TStringList ignore;
    ignore.Add("Caption");
    Storage.OnTranslatePropertyName = [](TJvCustomAppStorage*, TPersistent*, AnsiString& Name, bool) {
        if (Name == "Count") Name = "Number";
    };
    Storage.StoreObject("Obj2", &s, true, &ignore);
    EXPECT_TRUE(Storage.HasValue("Obj2\\Number"));
    EXPECT_FALSE(Storage.HasValue("Obj2\\Count"));
    EXPECT_FALSE(Storage.HasValue("Obj2\\Caption"));
    Storage.OnTranslatePropertyName = nullptr;

    // Without default values, a property at its default is left out.
    TSettings plain;
    Storage.StorageOptions()->StoreDefaultValues = false;
    Storage.StoreObject("Plain", &plain);
    EXPECT_FALSE(Storage.HasValue("Plain\\Count"));
    EXPECT_FALSE(Storage.HasValue("Plain\\Caption"));
    EXPECT_FALSE(Storage.HasValue("Plain\\Visible"));
    EXPECT_FALSE(Storage.HasValue("Plain\\Font\\Size"));
    EXPECT_TRUE(Storage.HasValue("Plain\\Font\\Name"));

    // A stored Int64 that is no number is a conversion error.
    RegistryWriteText(HKEY_CURRENT_USER, Root + "\\Obj", "Big", "lots");
    EXPECT_THROW(Storage.FetchObjectProperty("Obj\\Big", &r, "Big"), EConvertError);
    EXPECT_EQ(TJvCustomAppStorage::PublishedCount(&s), 13);
    EXPECT_EQ(TJvCustomAppStorage::PublishedName(&s, 1), "Caption");
}

TEST_F(JvAppStorageTest, CollectionItemErrorsAreReported) {
    RegistryWriteInteger(HKEY_CURRENT_USER, Root + "\\Cols", "Count", 2);
    RegistryWriteInteger(HKEY_CURRENT_USER, Root + "\\Cols\\Item0", "Width", 5);
    RegistryWriteText(HKEY_CURRENT_USER, Root + "\\Cols\\Item0", "Id", "lots");
    RegistryWriteInteger(HKEY_CURRENT_USER, Root + "\\Cols\\Item1", "Width", 7);
    std::vector<AnsiString> errors;
    Storage.OnError = [&](TJvCustomAppStorage*, const AnsiString& Text) { errors.push_back(Text); };
    TCollection cols([](TCollection* C) { return new TColumn(C); });
    EXPECT_EQ(Storage.FetchCollection("Cols", cols), 2);
    ASSERT_EQ(cols.Count(), 2);
    EXPECT_EQ(static_cast<TColumn*>(cols.Items(1))->Width, 7);
    EXPECT_EQ(static_cast<TColumn*>(cols.Items(0))->Width, 5); // filled as far as it went
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("lots"), AnsiString::npos);
}

TEST_F(JvAppStorageTest, SubStorages) {
    TJvAppRegistryStorage first(nullptr), second(nullptr);
    first.SetRoot("Software\\First");
    second.SetRoot("Software\\Second");
    TJvAppSubStorage* ab = Storage.SubStorages()->Add();
    ab->SetRootPath("a\\b");
    ab->SetAppStorage(&first);
    TJvAppSubStorage* a = Storage.SubStorages()->Add();
    a->SetRootPath("\\a\\");
    a->SetAppStorage(&second);
    EXPECT_EQ(a->RootPath(), "a");
    Storage.StoreInteger("a\\b\\c", 1);
    Storage.StoreInteger("a\\x", 2);
    Storage.StoreInteger("ab\\x", 3);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, "Software\\First", "c", 0), 1);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, "Software\\Second", "x", 0), 2);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, Root + "\\ab", "x", 0), 3);
    EXPECT_EQ(Storage.FetchInteger("A\\B\\C", 0), 1);
    EXPECT_EQ(Storage.FetchInteger("a\\b", 4), 4); // goes to the storage of a
    try {
        Storage.SubStorages()->Add()->SetRootPath("a\\b\\d");
        FAIL();
    } catch (const EJvLibAppStorageError& e) {
        EXPECT_EQ(e.Message, "'a\\b\\d' is not a unique root path");
    }
    EXPECT_EQ(ab->DisplayName(), "\\a\\b=");

    TJvAppRegistryStorage other(nullptr);
    TJvAppSubStorage* o = other.SubStorages()->Add();
    o->SetRootPath("a");
    EXPECT_THROW(other.SubStorages()->Add()->SetRootPath("a\\b"), EJvLibAppStorageError);
    // Cycles are refused.
    EXPECT_THROW(first.SubStorages()->Add()->SetAppStorage(&Storage), EJvLibAppStorageError);
    EXPECT_THROW(o->SetAppStorage(&other), EJvLibAppStorageError);
    EXPECT_TRUE(Storage.ContainsSubStorage(&first));
    {
        TJvAppRegistryStorage gone(nullptr);
        TJvAppSubStorage* g = Storage.SubStorages()->Add();
        g->SetRootPath("g");
        g->SetAppStorage(&gone);
        EXPECT_EQ(Storage.SubStorages()->Count(), 4);
    }
    EXPECT_EQ(Storage.SubStorages()->Count(), 3); // the freed storage's item went with it
    {
        // Two items on one storage: moving one away keeps the other watched.
        TJvAppRegistryStorage shared(nullptr), kept(nullptr);
        TJvAppSubStorage* g1 = Storage.SubStorages()->Add();
        g1->SetRootPath("g1");
        g1->SetAppStorage(&shared);
        TJvAppSubStorage* g2 = Storage.SubStorages()->Add();
        g2->SetRootPath("g2");
        g2->SetAppStorage(&shared);
        g1->SetAppStorage(&kept);
        EXPECT_EQ(Storage.SubStorages()->Count(), 5);
    }
    EXPECT_EQ(Storage.SubStorages()->Count(), 3);
    EXPECT_EQ(Storage.FetchInteger("g2\\v", 6), 6);

    // A list written to a read-only target writes nothing, also not the count.
    first.SetReadOnly(true);
    TStringList lines;
    lines.Add("x");
    Storage.StoreStringList("a\\b\\L", lines);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\First\\L"));
}

class TDesignedStorage : public TJvAppRegistryStorage {
public:
    using TJvAppRegistryStorage::TJvAppRegistryStorage;
    void SetDesigning(bool On) { SetComponentState(csDesigning, On); }
};

TEST_F(JvAppStorageTest, RootsThroughDesignTimeAndLoading) {
    TDesignedStorage s(nullptr);
    s.SetDesigning(true);
    s.SetRoot("");
    EXPECT_EQ(s.Root(), "%NONE%"); // an empty design-time root is kept as %NONE%
    s.SetUseOldDefaultRoot(true);
    EXPECT_EQ(s.Root(), "Software\\%COMPANY_NAME%\\%APPL_NAME%");
    s.SetRoot("Software\\Mine");
    EXPECT_FALSE(s.UseOldDefaultRoot());
    s.SetUseOldDefaultRoot(true);
    s.SetDesigning(false);
    s.Loaded(); // streaming is done: the macros of the old default root expand
    EXPECT_EQ(s.Root(), "Software\\Tarvik\\Luvora Test");
    TDesignedStorage none(nullptr);
    none.SetDesigning(true);
    none.SetRoot("");
    none.SetDesigning(false);
    none.Loaded();
    EXPECT_EQ(none.Root(), "");
}

class TSelfStored : public TPersistent, public IStorageSelfPersist {
public:
    void LoadFromStorage(TJvCustomAppStorage* S, const AnsiString& Base) override {
        Value = S->FetchInteger(Base + "\\Own", -1);
    }
    void SaveToStorage(TJvCustomAppStorage* S, const AnsiString& Base) override {
        S->StoreInteger(Base + "\\Own", Value);
    }
    int Value = 0;
};
class TSelfStoredToo : public TSelfStored, public IStorePublishedToo {
public:
    int Extra = 0;
};

TEST_F(JvAppStorageTest, ObjectsThatStoreThemselves) {
    static const TClassInfo* info =
        TClassInfoBuilder<TSelfStoredToo>("TSelfStoredToo", TPersistentClassInfo(), "uTest")
            .Property("Extra", TypeInfoInteger(), &TSelfStoredToo::Extra)
            .Register();
    (void)info;
    TSelfStored plain;
    plain.Value = 4;
    Storage.StoreObject("Self", &plain);
    EXPECT_EQ(Storage.FetchInteger("Self\\Own", 0), 4);
    TSelfStoredToo both;
    both.Value = 5;
    both.Extra = 6;
    Storage.StoreObject("Both", &both);
    TSelfStoredToo back;
    Storage.FetchObject("Both", &back);
    EXPECT_EQ(back.Value, 5);
    EXPECT_EQ(back.Extra, 6);

    TJvAppStorageOptions options;
    options.FloatAsString = true;
    options.SetBooleanStringTrueValues("JA, J");
    Storage.SetStorageOptions(&options);
    EXPECT_TRUE(Storage.StorageOptions()->FloatAsString);
    EXPECT_EQ(Storage.StorageOptions()->FirstTrueText(), "JA");
    Storage.SetStorageOptions(nullptr);
    EXPECT_TRUE(Storage.StorageOptions()->FloatAsString);
}

// Answers for objects of one kind and logs what it is asked to do.
class TLoggingEngine : public TJvAppStoragePropertyBaseEngine {
public:
    TLoggingEngine(const char* Name, bool Supports, std::vector<AnsiString>& Log)
        : FName(Name), FSupports(Supports), FLog(Log) {}
    ~TLoggingEngine() override { FLog.push_back(FName + " freed"); }
    bool SupportsProperty(TObject*, TPersistent*) override { return FSupports; }
    void LoadProperty(TJvCustomAppStorage*, const AnsiString& Path, bool, bool, TPersistent*,
                      TObject*) override {
        FLog.push_back(FName + " loads " + Path);
    }
    void SaveProperty(TJvCustomAppStorage*, const AnsiString& Path, bool, TPersistent*, TObject*) override {
        FLog.push_back(FName + " saves " + Path);
    }

private:
    AnsiString FName;
    bool FSupports;
    std::vector<AnsiString>& FLog;
};

TEST(JvAppStoragePropertyEngineListTest, TheFirstSupportingEngineHandlesAndEnginesGoLastFirst) {
    std::vector<AnsiString> log;
    {
        TJvAppStoragePropertyEngineList list;
        TFont object;
        EXPECT_FALSE(list.LoadProperty(nullptr, "A", true, true, &object, nullptr)) << "an empty list";
        list.Add(std::make_unique<TLoggingEngine>("first", false, log));
        list.Add(std::make_unique<TLoggingEngine>("second", true, log));
        list.Add(std::make_unique<TLoggingEngine>("third", true, log));
        EXPECT_EQ(list.Count(), 3);
        EXPECT_TRUE(list.LoadProperty(nullptr, "A", true, true, &object, nullptr));
        EXPECT_TRUE(list.SaveProperty(nullptr, "B", true, &object, nullptr));
    }
    EXPECT_EQ(log, (std::vector<AnsiString>{"second loads A", "second saves B", "third freed", "second freed",
                                            "first freed"}));
}

TEST_F(JvAppStorageTest, ARegisteredEngineTakesTheObjectsItSupports) {
    // Registered for the rest of the run: it answers only for fonts named
    // "Engine", which no other test uses.
    struct TFontEngine : TLoggingEngine {
        using TLoggingEngine::TLoggingEngine;
        bool SupportsProperty(TObject*, TPersistent* PropObject) override {
            auto* font = dynamic_cast<TFont*>(PropObject);
            return font && font->Name == "Engine";
        }
    };
    // Outlives the engine, which the list frees at the end of the program.
    static std::vector<AnsiString>& log = *new std::vector<AnsiString>;
    static const bool registered = [] {
        RegisterAppStoragePropertyEngine(std::make_unique<TFontEngine>("fonts", false, log));
        return true;
    }();
    (void)registered;
    TSettings s;
    s.Font.Name = "Engine";
    Storage.StoreObject("Obj", &s);
    Storage.FetchObject("Obj", &s);
    EXPECT_EQ(log, (std::vector<AnsiString>{"fonts saves Obj\\Font", "fonts loads Obj\\Font"}));
    EXPECT_FALSE(Storage.HasFolder("Obj\\Font"));
    Storage.StoreObject("Flat", &s, false);
    EXPECT_EQ(log.size(), 2u) << "engines serve recursive storing only";
}

} // namespace
