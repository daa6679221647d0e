// The registry store file: value kinds, names, enumeration, what the reader
// accepts, batches, and a damaged file at start-up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/win/Registry.h"
#include "platform/win/RegistryFile.h"
#include "platform/win/WinReg.h"
#include "support/TestSupport.h"

namespace {

std::string ReadAll(const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& File, const std::string& Text) {
    std::filesystem::create_directories(std::filesystem::path(File).parent_path());
    std::ofstream(File, std::ios::binary) << Text;
}

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        File = Folder.Path() + "tarvik/registry.reg";
        SetRegistryStoreFileOverride(File);
        TakeRegistryStoreProblem();
    }
    void TearDown() override { SetRegistryStoreFileOverride(""); }
    // Makes the store read its file again, as a new process would.
    void Reload() {
        SetRegistryStoreFileOverride(Folder.Path() + "elsewhere.reg");
        HKEY k;
        RegOpenKeyExA(HKEY_CURRENT_USER, "x", 0, KEY_READ, &k);
        SetRegistryStoreFileOverride(File);
    }
    HKEY Create(const char* Path, HKEY Root = HKEY_CURRENT_USER) {
        HKEY k = 0;
        EXPECT_EQ(RegCreateKeyA(Root, Path, &k), ERROR_SUCCESS);
        return k;
    }
    std::string Query(HKEY Key, const char* Name, DWORD& Type) {
        DWORD size = 0;
        if (RegQueryValueExA(Key, Name, nullptr, &Type, nullptr, &size) != ERROR_SUCCESS) return "<missing>";
        std::string data(size, '\0');
        EXPECT_EQ(RegQueryValueExA(Key, Name, nullptr, &Type, reinterpret_cast<BYTE*>(data.data()), &size),
                  ERROR_SUCCESS);
        return data;
    }
    TTempFolder Folder;
    std::string File;
};

TEST_F(RegistryStoreTest, EveryValueKindSurvivesTheFile) {
    struct Case {
        const char* Name;
        DWORD Type;
        std::string Data;
    };
    const std::string binary("\x00\x01\xFF\x7F\x80", 5);
    const Case cases[] = {
        {"Text", REG_SZ, "Ivanov \"quoted\" back\\slash" + std::string(1, '\0')},
        {"Russian", REG_SZ, "Иванов"_cp + std::string(1, '\0')},
        {"NoNul", REG_SZ, "abc"},
        {"TwoLines", REG_SZ, std::string("a\r\nb\0", 5)},
        {"Expand", REG_EXPAND_SZ, std::string("%HOME%\\x\0", 9)},
        {"Binary", REG_BINARY, binary},
        {"Empty", REG_BINARY, ""},
        {"Dword", REG_DWORD, std::string("\x18\x00\x00\xFF", 4)},
        {"Qword", REG_QWORD, std::string("\x05\x00\x00\x00\x01\x00\x00\x00", 8)},
        {"", REG_SZ, std::string("default\0", 8)},
        {"AllBytes", REG_SZ,
         [] {
             std::string all;
             for (int b = 1; b < 256; ++b)
                 if (b != '\r' && b != '\n') all += char(b);
             return all + std::string(1, '\0');
         }()},
    };
    HKEY key = Create("Software\\Tarvik\\Luvora");
    for (const Case& c : cases)
        ASSERT_EQ(RegSetValueExA(key, c.Name, 0, c.Type, reinterpret_cast<const BYTE*>(c.Data.data()),
                                 DWORD(c.Data.size())),
                  ERROR_SUCCESS)
            << c.Name;
    RegCloseKey(key);
    Reload();
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\TARVIK\\luvora", 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const Case& c : cases) {
        DWORD type = 0;
        EXPECT_EQ(Query(key, c.Name, type), c.Data) << c.Name;
        EXPECT_EQ(type, c.Type) << c.Name;
    }
    RegCloseKey(key);

    std::string text = ReadAll(File);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Tarvik\\Luvora]\n"), std::string::npos);
    EXPECT_NE(text.find("\"Russian\"=\"Иванов\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Dword\"=dword:ff000018\n"), std::string::npos);
    EXPECT_NE(text.find("\"Text\"=\"Ivanov \\\"quoted\\\" back\\\\slash\"\n"), std::string::npos);
    EXPECT_NE(text.find("@=\"default\"\n"), std::string::npos);
}

TEST_F(RegistryStoreTest, NamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
    HKEY key = Create("Software\\Tarvik");
    DWORD one = 1, two = 2;
    RegSetValueExA(key, "Value", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
    RegSetValueExA(key, "VALUE", 0, REG_DWORD, reinterpret_cast<BYTE*>(&two), 4);
    HKEY again = Create("SOFTWARE\\tarvik");
    DWORD type;
    EXPECT_EQ(Query(again, "value", type), std::string("\x02\0\0\0", 4));
    DWORD values = 0;
    RegQueryInfoKeyA(again, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(values, 1u);
    char name[32];
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumValueA(again, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Value");
    RegCloseKey(key);
    RegCloseKey(again);
}

TEST_F(RegistryStoreTest, EnumerationDeletionAndBufferSizes) {
    HKEY base = Create("Software\\T");
    for (const char* sub : {"b", "C", "a\\deep"})
        RegCloseKey(Create(sub, base));
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[16];
        DWORD size = sizeof name;
        LONG rc = RegEnumKeyExA(base, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(rc, ERROR_SUCCESS);
        names.emplace_back(name, size);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "C"}));
    char tiny[2];
    DWORD tinySize = sizeof tiny;
    RegCloseKey(Create("longname", base));
    EXPECT_EQ(RegEnumKeyExA(base, 3, tiny, &tinySize, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

    const char data[] = "0123456789";
    RegSetValueExA(base, "v", 0, REG_BINARY, reinterpret_cast<const BYTE*>(data), 10);
    BYTE small[4] = {9, 9, 9, 9};
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(base, "v", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(small[0], 9); // nothing copied into a buffer that is too small

    EXPECT_EQ(RegDeleteKeyA(base, "a"), ERROR_ACCESS_DENIED); // it still has a sub-key
    EXPECT_EQ(RegDeleteKeyA(base, "a\\deep"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(base, "A"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(base, "a"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(base, "V"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(base, "v"), ERROR_FILE_NOT_FOUND);
    HKEY gone;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\T\\b", 0, KEY_READ, &gone), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(base, "b"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(gone, "x", 0, REG_BINARY, nullptr, 0), ERROR_KEY_DELETED);
    RegCloseKey(gone);
    RegCloseKey(base);
    EXPECT_EQ(RegCloseKey(base), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryStoreTest, DamagedFileGivesDefaultsAndIsKeptAside) {
    const std::string garbage = "this is no registry file\n\x01\x02";
    WriteAll(File, garbage);
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadAll(File), garbage); // reading never touches the file
    key = Create("Software\\Tarvik");
    DWORD v = 7;
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4), ERROR_SUCCESS);
    RegCloseKey(key);
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Folder.Path() + "tarvik")) {
        std::string name = entry.path().filename().string();
        if (name.rfind("registry.reg.damaged-", 0) == 0) {
            ++aside;
            EXPECT_EQ(ReadAll(entry.path().string()), garbage);
        }
    }
    EXPECT_EQ(aside, 1);
    EXPECT_NE(TakeRegistryStoreProblem().find("kept as"), std::string::npos);
    Reload();
    DWORD type;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvik", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "v", type), std::string("\x07\0\0\0", 4));
    RegCloseKey(key);
}

TEST_F(RegistryStoreTest, BrokenLinesMakeTheFileDamaged) {
    const char* bad[] = {
        "Windows Registry Editor Version 5.00\n\n[HKEY_NOWHERE\\a]\n",
        "Windows Registry Editor Version 5.00\n\"v\"=dword:1\n", // value before any key
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"v\"=hex:0g\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"v\"=dword:123456789\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"v=\"x\"\n",
        "[HKEY_CURRENT_USER\\a]\n",
    };
    for (const char* text : bad) {
        WriteAll(File, text);
        Reload();
        HKEY key;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "a", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND) << text;
        EXPECT_FALSE(TakeRegistryStoreProblem().empty()) << text;
    }
}

TEST_F(RegistryStoreTest, ReadsAnExportWithContinuedLines) {
    WriteAll(File, "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                   "; a comment\r\n"
                   "[HKEY_CURRENT_USER\\Software\\A]\r\n"
                   "\"Q\"=hex(b):05,00,00,00,\\\r\n"
                   "  01,00,00,00\r\n"
                   "\"S\"=\"x\"\r\n");
    Reload();
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type;
    EXPECT_EQ(Query(key, "Q", type), std::string("\x05\0\0\0\x01\0\0\0", 8));
    EXPECT_EQ(type, REG_QWORD);
    EXPECT_EQ(Query(key, "S", type), std::string("x\0", 2));
    RegCloseKey(key);
}

TEST_F(RegistryStoreTest, FailedWriteKeepsThePreviousStore) {
    HKEY key = Create("Software\\Tarvik");
    DWORD one = 1, two = 2;
    RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
    const std::string before = ReadAll(File);
    // A folder where the temporary file should go: the write cannot happen.
    std::filesystem::create_directory(File + ".tmp-" + std::to_string(::getpid()));
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&two), 4), ERROR_WRITE_FAULT);
    EXPECT_NE(TakeRegistryStoreProblem().find("Cannot write"), std::string::npos);
    DWORD type;
    EXPECT_EQ(Query(key, "v", type), std::string("\x01\0\0\0", 4)); // memory keeps the old value too
    HKEY fresh = 0;
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\New", &fresh), ERROR_WRITE_FAULT);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\New", 0, KEY_READ, &fresh), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadAll(File), before);
    RegCloseKey(key);

    // No folder can be made below a plain file.
    WriteAll(Folder.Path() + "blocker", "x");
    SetRegistryStoreFileOverride(Folder.Path() + "blocker/registry.reg");
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\New", &fresh), ERROR_WRITE_FAULT);
    EXPECT_NE(TakeRegistryStoreProblem().find("Cannot create"), std::string::npos);
}

TEST_F(RegistryStoreTest, TheStoreLivesUnderXdgConfigHome) {
    SetRegistryStoreFileOverride("");
    TEnvironmentValue config("XDG_CONFIG_HOME", Folder.Path() + "config");
    EXPECT_EQ(RegistryStoreFileName(), Folder.Path() + "config/tarvik/registry.reg");
    HKEY key = Create("Software\\Tarvik");
    RegCloseKey(key);
    EXPECT_TRUE(std::filesystem::exists(Folder.Path() + "config/tarvik/registry.reg"));
}

TEST_F(RegistryStoreTest, TRegistryReadsWritesAndTellsTypes) {
    {
        TRegistry reg;
        EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
        EXPECT_FALSE(reg.OpenKey("Software\\Tarvik\\Luvora", false));
        ASSERT_TRUE(reg.OpenKey("Software\\Tarvik\\Luvora", true));
        EXPECT_EQ(reg.CurrentPath(), "Software\\Tarvik\\Luvora");
        reg.WriteInteger("FirstGridRowColor", -16777192);
        reg.WriteString("Name", "Луво"_cp);
        reg.WriteBool("Flag", true);
        const char bytes[3] = {1, 2, 3};
        reg.WriteBinaryData("Bin", bytes, 3);
        ASSERT_TRUE(reg.OpenKey("Sub", true)); // relative to the open key
        EXPECT_EQ(reg.CurrentPath(), "Software\\Tarvik\\Luvora\\Sub");
        reg.WriteInteger("x", 1);
    }
    Reload();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\tarvik\\luvora"));
    EXPECT_EQ(reg.ReadInteger("FirstGridRowColor"), -16777192);
    EXPECT_EQ(reg.ReadString("name"), "Луво"_cp);
    EXPECT_TRUE(reg.ReadBool("Flag"));
    EXPECT_EQ(reg.ReadBinaryData("Bin"), std::string("\x01\x02\x03", 3));
    EXPECT_EQ(reg.GetDataType("FirstGridRowColor"), TRegDataType::rdInteger);
    EXPECT_EQ(reg.GetDataType("Name"), TRegDataType::rdString);
    EXPECT_EQ(reg.GetDataType("Bin"), TRegDataType::rdBinary);
    EXPECT_EQ(reg.GetDataType("Missing"), TRegDataType::rdUnknown);
    EXPECT_TRUE(reg.ValueExists("NAME"));
    EXPECT_FALSE(reg.ValueExists("Missing"));
    EXPECT_THROW(reg.ReadInteger("Name"), ERegistryException);
    EXPECT_THROW(reg.ReadString("FirstGridRowColor"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
    EXPECT_EQ(reg.GetValueNames(), (std::vector<AnsiString>{"FirstGridRowColor", "Name", "Flag", "Bin"}));
    EXPECT_EQ(reg.GetKeyNames(), (std::vector<AnsiString>{"Sub"}));
    EXPECT_TRUE(reg.HasSubKeys());
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("Software\\Tarvik\\Luvora\\Sub"));
    EXPECT_TRUE(reg.DeleteKey("Software\\Tarvik"));
    EXPECT_FALSE(reg.KeyExists("Software\\Tarvik"));
    EXPECT_TRUE(reg.KeyExists("Software"));
}

TEST_F(RegistryStoreTest, LongNamesAreListedAndDeleted) {
    const AnsiString longName(2000, 'n');
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Long", true));
    reg.WriteInteger("a", 1);
    reg.WriteInteger(longName, 2);
    reg.WriteInteger("z", 3);
    ASSERT_TRUE(reg.CreateKey(longName));
    ASSERT_TRUE(reg.OpenKey(longName + "\\" + longName, true));
    ASSERT_TRUE(reg.OpenKey("\\Software\\Long", false));
    EXPECT_EQ(reg.GetValueNames(), (std::vector<AnsiString>{"a", longName, "z"}));
    EXPECT_EQ(reg.GetKeyNames(), (std::vector<AnsiString>{longName}));
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey("Software\\Long"));
    EXPECT_FALSE(reg.KeyExists("Software\\Long"));
}

TEST_F(RegistryStoreTest, RegistryStringsWithoutNulReadWhole) {
    HKEY key = Create("K");
    RegSetValueExA(key, "s", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    RegCloseKey(key);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", false));
    EXPECT_EQ(reg.ReadString("s"), "abc");
}

} // namespace

// ------------------------------------------------------------- what the reader accepts

namespace {

std::string Header() {
    return "Windows Registry Editor Version 5.00\n\n";
}

// A header of one key Depth levels below HKEY_CURRENT_USER.
std::string DeepKeyHeader(std::size_t Depth) {
    std::string line = "[HKEY_CURRENT_USER";
    for (std::size_t i = 0; i < Depth; ++i)
        line += "\\k";
    return line + "]\n";
}

} // namespace

TEST_F(RegistryStoreTest, KeyNamesAndDepthAreCheckedAsTheRegistryDoes) {
    struct Case {
        const char* Name;
        std::string Text;
        bool Damaged;
    };
    const Case cases[] = {
        {"NUL in a key name",
         Header() + "[HKEY_CURRENT_USER\\a\\" + std::string(1, '\0') + "x]\n\"v\"=dword:1\n", true},
        {"NUL in a value name",
         Header() + "[HKEY_CURRENT_USER\\a]\n\"v" + std::string(1, '\0') + "\"=dword:1\n", true},
        {"512 levels", Header() + DeepKeyHeader(512), false},
        {"513 levels", Header() + DeepKeyHeader(513), true},
        {"12000 levels", Header() + DeepKeyHeader(12000), true},
        {"50000 levels", Header() + DeepKeyHeader(50000), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteAll(File, c.Text);
        Reload();
        TRegistry reg;
        EXPECT_EQ(reg.KeyExists("k\\k\\k"), !c.Damaged && c.Text.find("\\k\\k\\k") != std::string::npos);
        EXPECT_EQ(TakeRegistryStoreProblem().empty(), !c.Damaged);
        // Deleting and writing work on whatever was read, without recursing over the depth.
        reg.DeleteKey("a");
        reg.DeleteKey("k");
        EXPECT_FALSE(reg.KeyExists("k"));
        ASSERT_TRUE(reg.OpenKey("Software\\After", true));
        reg.WriteInteger("v", 1);
        Reload();
        EXPECT_TRUE(reg.KeyExists("\\Software\\After"));
        std::filesystem::remove_all(Folder.Path() + "tarvik");
        TakeRegistryStoreProblem(); // the copy put aside
    }
}

TEST_F(RegistryStoreTest, DeepKeysDoNotGrowTheFile) {
    const std::string text = Header() + DeepKeyHeader(512);
    WriteAll(File, text);
    Reload();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", true));
    reg.WriteInteger("v", 1);
    // Only the deepest key needs its header: the file stays about as small as it was.
    EXPECT_LT(ReadAll(File).size(), text.size() + 100);
    Reload();
    std::string deep = "k";
    for (int i = 1; i < 512; ++i)
        deep += "\\k";
    EXPECT_TRUE(reg.KeyExists("\\" + deep));
    // Nothing can be made below the deepest level.
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (deep + "\\k").c_str(), &key), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryStoreTest, EveryLineIsReadAsWhatItIs) {
    WriteAll(File, Header() + "[HKEY_CURRENT_USER\\a]\n"
                              "\"v\"=dword:00000001\n"
                              "; x=1 means on, as for C:\\\n"
                              "[HKEY_CURRENT_USER\\b]\n"
                              "\"w\"=dword:00000002\n"
                              "\"Path\"=\"C:\\\\\"\n"
                              "\"Hex\"=hex:01,\\\n"
                              "  02\n");
    Reload();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("b", false));
    EXPECT_EQ(TakeRegistryStoreProblem(), "");
    EXPECT_EQ(reg.ReadInteger("w"), 2);
    EXPECT_EQ(reg.ReadString("Path"), "C:\\");
    EXPECT_EQ(reg.ReadBinaryData("Hex"), "\x01\x02");
    ASSERT_TRUE(reg.OpenKey("\\a", false));
    EXPECT_EQ(reg.GetValueNames(), std::vector<AnsiString>{"v"});
}

TEST_F(RegistryStoreTest, AnEmptyFileIsAnEmptyStore) {
    for (const char* text : {"", "\n\r\n  \n", "\xEF\xBB\xBF"}) {
        WriteAll(File, text);
        Reload();
        HKEY key = Create("Software\\Tarvik");
        RegCloseKey(key);
        EXPECT_EQ(TakeRegistryStoreProblem(), "") << text; // nothing was put aside
    }
    for (const auto& entry : std::filesystem::directory_iterator(Folder.Path() + "tarvik"))
        EXPECT_EQ(entry.path().filename().string().find("damaged"), std::string::npos) << entry.path();
}

// ------------------------------------------------------------- batches

TEST_F(RegistryStoreTest, ABatchWritesOnceAtItsOutermostEnd) {
    HKEY key = Create("Software\\Tarvik");
    const std::string before = ReadAll(File);
    RegBeginBatch();
    RegBeginBatch();
    DWORD v = 1;
    for (const char* name : {"a", "b", "c"})
        ASSERT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4), ERROR_SUCCESS);
    RegCloseKey(Create("Software\\Tarvik\\Sub"));
    EXPECT_EQ(RegEndBatch(), ERROR_SUCCESS);
    EXPECT_EQ(ReadAll(File), before);
    DWORD type;
    EXPECT_EQ(Query(key, "b", type), std::string("\x01\0\0\0", 4)); // the batch sees its own changes
    EXPECT_EQ(RegEndBatch(), ERROR_SUCCESS);
    const std::string after = ReadAll(File);
    EXPECT_NE(after.find("\"c\"=dword:00000001"), std::string::npos);
    EXPECT_NE(after.find("[HKEY_CURRENT_USER\\Software\\Tarvik\\Sub]"), std::string::npos);
    EXPECT_EQ(RegEndBatch(), ERROR_INVALID_PARAMETER); // no batch is open

    // A batch whose write fails undoes all of its changes.
    std::filesystem::create_directory(File + ".tmp-" + std::to_string(::getpid()));
    RegBeginBatch();
    v = 2;
    EXPECT_EQ(RegSetValueExA(key, "a", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "new", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key, "Sub"), ERROR_SUCCESS);
    EXPECT_EQ(RegEndBatch(), ERROR_WRITE_FAULT);
    EXPECT_NE(TakeRegistryStoreProblem().find("Cannot write"), std::string::npos);
    EXPECT_EQ(Query(key, "a", type), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(Query(key, "new", type), "<missing>");
    EXPECT_TRUE(TRegistry().KeyExists("Software\\Tarvik\\Sub"));
    EXPECT_EQ(ReadAll(File), after);
    RegCloseKey(key);
}

// ------------------------------------------------------------- start-up

TEST_F(RegistryStoreTest, StartUpPutsADamagedStoreAsideAndTellsOnce) {
    const std::string garbage = "no settings here\n";
    WriteAll(File, garbage);
    OpenRegistryStore();
    TRegistryStoreDamage damage;
    ASSERT_TRUE(TakeRegistryStoreDamage(damage));
    EXPECT_EQ(damage.FileName, File);
    EXPECT_EQ(damage.KeptAs.rfind(File + ".damaged-", 0), 0u);
    EXPECT_EQ(ReadAll(damage.KeptAs), garbage);
    EXPECT_FALSE(std::filesystem::exists(File));
    const AnsiString notice = RegistryStoreDamageNotice(damage);
    EXPECT_NE(notice.find(damage.KeptAs), std::string::npos);
    EXPECT_NE(notice.find("повреждён"_cp), std::string::npos);
    EXPECT_NE(notice.find("настройки по умолчанию"_cp), std::string::npos);
    EXPECT_FALSE(TakeRegistryStoreDamage(damage)); // told once
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

    // The next start finds no damage, nor does one with an empty or a sound file.
    for (const char* text : {"", "Windows Registry Editor Version 5.00\n"}) {
        OpenRegistryStore();
        EXPECT_FALSE(TakeRegistryStoreDamage(damage));
        WriteAll(File, text);
    }
    OpenRegistryStore();
    EXPECT_FALSE(TakeRegistryStoreDamage(damage));
}

TEST_F(RegistryStoreTest, StartUpRemovesTheTemporaryFilesOfKilledWriters) {
    HKEY key = Create("Software\\Tarvik");
    RegCloseKey(key);
    const std::string folder = Folder.Path() + "tarvik/";
    const char* stale[] = {"registry.reg.tmp-1", "registry.reg.tmp-999999"};
    const char* others[] = {"registry.reg.tmp-x", "other.reg.tmp-1", "registry.reg.damaged-1"};
    WriteAll(folder + "registry.reg.tmp-" + std::to_string(::getpid()), "half");
    for (const char* name : stale)
        WriteAll(folder + name, "half a file");
    for (const char* name : others)
        WriteAll(folder + name, "not ours");
    OpenRegistryStore();
    for (const char* name : stale)
        EXPECT_FALSE(std::filesystem::exists(folder + name)) << name;
    // With the lock taken no writer is at work, this process included.
    EXPECT_FALSE(std::filesystem::exists(folder + "registry.reg.tmp-" + std::to_string(::getpid())));
    for (const char* name : others)
        EXPECT_TRUE(std::filesystem::exists(folder + name)) << name;
    TRegistryStoreDamage damage;
    EXPECT_FALSE(TakeRegistryStoreDamage(damage));
    EXPECT_TRUE(TRegistry().KeyExists("Software\\Tarvik"));
}

TEST_F(RegistryStoreTest, AStorePastItsLimitIsPutAsideAndNeverWritten) {
    const std::string header =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\A]\n\"v\"=dword:1\n";
    // A comment pads the file to the size wanted: the text is a sound store.
    auto padded = [&](std::size_t Size) {
        return header + ";" + std::string(Size - header.size() - 2, 'x') + "\n";
    };
    WriteAll(File, padded(RegistryStoreMaxSize));
    OpenRegistryStore();
    TRegistryStoreDamage damage;
    EXPECT_FALSE(TakeRegistryStoreDamage(damage)) << "a store as large as the limit is read";
    EXPECT_TRUE(TRegistry().KeyExists("Software\\A"));

    const std::string large = padded(RegistryStoreMaxSize + 1);
    WriteAll(File, large);
    OpenRegistryStore();
    ASSERT_TRUE(TakeRegistryStoreDamage(damage));
    EXPECT_TRUE(damage.TooLarge);
    EXPECT_EQ(damage.KeptAs.rfind(File + ".damaged-", 0), 0u);
    EXPECT_EQ(std::filesystem::file_size(damage.KeptAs), large.size()) << "kept as it was";
    const AnsiString notice = RegistryStoreDamageNotice(damage);
    EXPECT_NE(notice.find("больше 4 МБ"_cp), std::string::npos) << notice;
    EXPECT_NE(notice.find(damage.KeptAs), std::string::npos);
    EXPECT_NE(notice.find("настройки по умолчанию"_cp), std::string::npos);
    EXPECT_FALSE(TRegistry().KeyExists("Software\\A")) << "the defaults are used";

    // A change that would take the store past the limit is refused and undone.
    HKEY key = Create("Software\\B");
    DWORD one = 1;
    ASSERT_EQ(RegSetValueExA(key, "small", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_SUCCESS);
    const std::string before = ReadAll(File);
    TakeRegistryStoreProblem();
    const std::string bytes(RegistryStoreMaxSize / 3, '\x5a'); // three characters a byte in the file
    EXPECT_EQ(RegSetValueExA(key, "large", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                             DWORD(bytes.size())),
              ERROR_WRITE_FAULT);
    EXPECT_NE(TakeRegistryStoreProblem().find("grow past 4 MB"), std::string::npos);
    EXPECT_EQ(ReadAll(File), before);
    DWORD type;
    EXPECT_EQ(Query(key, "large", type), "<missing>");
    EXPECT_EQ(Query(key, "small", type), std::string("\x01\0\0\0", 4));
    RegCloseKey(key);
}

TEST_F(RegistryStoreTest, KeysReadInAnyOrderAreKeptInNameOrder) {
    const char* orders[][4] = {{"a", "B", "c", "D"}, {"D", "c", "B", "a"}, {"c", "a", "D", "B"}};
    for (const auto& order : orders) {
        std::string text = "Windows Registry Editor Version 5.00\n";
        for (const char* name : order)
            text += std::string("\n[HKEY_CURRENT_USER\\S\\") + name + "\\x]\n\"v\"=\"" + name + "\"\n";
        // The same key again under another spelling adds to the first one.
        text += "\n[HKEY_CURRENT_USER\\s\\C]\n\"w\"=dword:2\n";
        const TRegStoreParse read = ParseRegistryStoreFile(text);
        ASSERT_TRUE(read.Ok()) << read.Error;
        EXPECT_EQ(CheckRegistryStoreTree(read.Tree), "");
        const TRegStoreKey& root = read.Tree.Roots.at(HKEY_CURRENT_USER);
        ASSERT_EQ(root.SubKeys.size(), 1u);
        EXPECT_EQ(root.SubKeys[0].Name, "S") << "the first spelling stays";
        std::string names;
        for (const TRegStoreKey& k : root.SubKeys[0].SubKeys)
            names += k.Name + (k.SubKeys.size() == 1 ? "x" : "") + std::to_string(k.Values.size());
        EXPECT_EQ(names, "ax0Bx0cx1Dx0");
        const std::string written = WriteRegistryStoreFile(read.Tree);
        EXPECT_EQ(WriteRegistryStoreFile(ParseRegistryStoreFile(written).Tree), written);
    }
}
