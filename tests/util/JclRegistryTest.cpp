// Registry utilities: typed reads and writes and their failures.
#include <gtest/gtest.h>

#include <cstring>

#include "support/TestSupport.h"
#include "util/JclRegistry.h"

namespace {

class JclRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryStoreFileOverride(Folder.Path() + "registry.reg"); }
    void TearDown() override { SetRegistryStoreFileOverride(""); }
    void Raw(const AnsiString& Name, DWORD Kind, const std::string& Data) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Key.c_str(), &key), ERROR_SUCCESS);
        RegSetValueExA(key, Name.c_str(), 0, Kind, reinterpret_cast<const BYTE*>(Data.data()),
                       DWORD(Data.size()));
        RegCloseKey(key);
    }
    static std::string Message(const std::function<void()>& F) {
        try {
            F();
        } catch (const EJclRegistryError& e) {
            return e.Message;
        }
        return "<no error>";
    }
    TTempFolder Folder;
    const AnsiString Key = "Software\\Tarvik\\Test";
};

TEST_F(JclRegistryTest, IntegerReadsFromEveryKind) {
    struct Case {
        const char* Name;
        DWORD Kind;
        std::string Data;
        int32_t Expected;
    };
    const Case cases[] = {
        {"Text", REG_SZ, std::string("123\0", 4), 123},
        {"BadText", REG_SZ, std::string("12x\0", 4), -7},
        {"Negative", REG_EXPAND_SZ, std::string("-5\0", 3), -5},
        {"Dword", REG_DWORD, std::string("\x18\0\0\xFF", 4), -16777192},
        {"SmallQword", REG_QWORD, std::string("\x05\0\0\0\0\0\0\0", 8), 5},
        {"HugeQword", REG_QWORD, std::string("\x05\0\0\0\x01\0\0\0", 8), -7}, // 2^32 + 5 is no 32-bit value
        {"NegQword", REG_QWORD, std::string("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8), -2},
        {"TwoBytes", REG_BINARY, std::string("\x34\x12", 2), 0x1234},
        {"NineBytes", REG_BINARY, std::string(9, '\1'), -7},
        {"Multi", REG_MULTI_SZ, std::string("1\0\0", 3), -7},
        {"Missing", REG_NONE, "", -7},
    };
    for (const Case& c : cases) {
        if (c.Kind != REG_NONE) Raw(c.Name, c.Kind, c.Data);
        EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, Key, c.Name, -7), c.Expected) << c.Name;
    }
    EXPECT_FALSE(RegistryReadBooleanOr(HKEY_CURRENT_USER, Key, "Missing", false));
    EXPECT_TRUE(RegistryReadBooleanOr(HKEY_CURRENT_USER, Key, "Text", false));
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, "No\\Such", "x", 3), 3);
}

TEST_F(JclRegistryTest, EveryWriterRoundTrips) {
    RegistryWriteInteger(HKEY_CURRENT_USER, Key, "Int", -16777192);
    RegistryWriteIntegerAs(HKEY_CURRENT_USER, Key, "IntText", -12, REG_SZ);
    RegistryWriteIntegerAs(HKEY_CURRENT_USER, Key, "IntQ", -12, REG_QWORD);
    RegistryWriteCardinalAs(HKEY_CURRENT_USER, Key, "Card", 4000000000u, REG_EXPAND_SZ);
    RegistryWriteCardinalAs(HKEY_CURRENT_USER, Key, "CardQ", 4000000000u, REG_QWORD);
    RegistryWriteBoolean(HKEY_CURRENT_USER, Key, "Bool", true);
    RegistryWriteText(HKEY_CURRENT_USER, Key, "Text", "abc");
    RegistryWriteTextAs(HKEY_CURRENT_USER, Key, "Expand", "%HOME%", REG_EXPAND_SZ);
    RegistryWriteBytes(HKEY_CURRENT_USER, Key, "Bytes", "\x01\x00\x02", 3);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, Key, "Int", 0), -16777192);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, Key, "IntText", 0), -12);
    EXPECT_EQ(RegistryReadIntegerOr(HKEY_CURRENT_USER, Key, "IntQ", 0), -12);
    EXPECT_EQ(uint32_t(RegistryReadIntegerOr(HKEY_CURRENT_USER, Key, "Card", 0)), 4000000000u);
    EXPECT_EQ(uint32_t(RegistryReadIntegerOr(HKEY_CURRENT_USER, Key, "CardQ", 0)), 4000000000u);
    EXPECT_TRUE(RegistryReadBooleanOr(HKEY_CURRENT_USER, Key, "Bool", false));
    DWORD kind;
    ASSERT_TRUE(RegistryValueKind(HKEY_CURRENT_USER, Key, "Bool", kind));
    EXPECT_EQ(kind, REG_DWORD);
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Key, "Text"), "abc");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Key, "Expand"), "%HOME%"); // never expanded
    char buf[4] = {};
    EXPECT_EQ(RegistryReadBytes(HKEY_CURRENT_USER, Key, "Text", buf, 4), 4u); // abc and its NUL
    EXPECT_EQ(std::string(buf, 4), std::string("abc\0", 4));
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Key, "Bytes"), std::string("\x01\x00\x02", 3));
    EXPECT_EQ(Message([&] { RegistryWriteIntegerAs(HKEY_CURRENT_USER, Key, "x", 1, REG_MULTI_SZ); }),
              "\"HKEY_CURRENT_USER\\Software\\Tarvik\\Test\\x\" is of wrong kind or size");
    EXPECT_FALSE(RegistryValueKind(HKEY_CURRENT_USER, Key, "x", kind));
}

TEST_F(JclRegistryTest, TextReadsAndTheirFailures) {
    Raw("NoNul", REG_SZ, "abc");
    Raw("Dword", REG_DWORD, std::string(4, '\0'));
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Key, "NoNul"), "abc");
    EXPECT_EQ(RegistryReadTextOr(HKEY_CURRENT_USER, Key, "Dword", "def"), "def");
    EXPECT_EQ(RegistryReadTextOr(HKEY_CURRENT_USER, Key, "Missing", "def"), "def");
    AnsiString text = "x";
    EXPECT_FALSE(RegistryReadTextEx(HKEY_CURRENT_USER, Key, "Missing", text, false));
    EXPECT_EQ(text, "");
    EXPECT_THROW(RegistryReadTextEx(HKEY_CURRENT_USER, Key, "Dword", text, false), EJclRegistryError);
    EXPECT_EQ(Message([&] { RegistryReadText(HKEY_CURRENT_USER, "Nowhere", "v"); }),
              "Unable to open key \"HKEY_CURRENT_USER\\Nowhere\" for read");
    EXPECT_EQ(
        Message([&] { RegistryReadText(HKEY_CURRENT_USER, Key, "Missing"); }),
        "Unable to open key \"HKEY_CURRENT_USER\\Software\\Tarvik\\Test\" and access value \"Missing\"");
}

TEST_F(JclRegistryTest, BytesNeverOverflowTheBuffer) {
    Raw("Twelve", REG_BINARY, std::string(12, '\x55'));
    char buffer[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(Message([&] { RegistryReadBytes(HKEY_CURRENT_USER, Key, "Twelve", buffer, sizeof buffer); }),
              "\"HKEY_CURRENT_USER\\Software\\Tarvik\\Test\\Twelve\" is of wrong kind or size");
    EXPECT_EQ(buffer[0], 1);
    DWORD count = 99;
    EXPECT_FALSE(RegistryReadBytesEx(HKEY_CURRENT_USER, Key, "Twelve", buffer, sizeof buffer, count, false));
    char big[16] = {};
    EXPECT_EQ(RegistryReadBytes(HKEY_CURRENT_USER, Key, "Twelve", big, sizeof big), 12u);
}

TEST_F(JclRegistryTest, RootPrefixesAndNames) {
    EXPECT_EQ(RegistryRelativePath(HKEY_CURRENT_USER, "HKEY_CURRENT_USER\\Software\\X"), "\\Software\\X");
    EXPECT_EQ(RegistryRelativePath(HKEY_CURRENT_USER, "\\HKCU\\Software"), "\\Software");
    EXPECT_EQ(RegistryRelativePath(HKEY_CURRENT_USER, "\\Software"), "Software");
    EXPECT_EQ(RegistryRelativePath(HKEY_CURRENT_USER, "HKEY_CURRENT_USERS\\x"), "HKEY_CURRENT_USERS\\x");
    EXPECT_EQ(RegistryRelativePath(HKEY_CURRENT_USER, "\\HKCU"), ""); // the name alone is the root
    EXPECT_EQ(Message([&] { RegistryRelativePath(HKEY_LOCAL_MACHINE, "HKCU"); }),
              "\"HKCU\" does not match RootKey");
    EXPECT_EQ(Message([&] { RegistryRelativePath(HKEY_LOCAL_MACHINE, "HKEY_CURRENT_USER\\Software"); }),
              "\"HKEY_CURRENT_USER\\Software\" does not match RootKey");
    // The prefix names the same key on every path: write, read, test and delete.
    RegistryWriteText(HKEY_CURRENT_USER, "HKEY_CURRENT_USER\\" + Key, "v", "1");
    EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, Key, "v"), "1");
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "HKCU\\" + Key));
    EXPECT_TRUE(RegistryDeleteValue(HKEY_CURRENT_USER, "\\HKEY_CURRENT_USER\\" + Key, "v"));
    EXPECT_EQ(RegistryRootName(HKEY_LOCAL_MACHINE), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(RegistryRootName(0x12AB), "$000012AB");
}

TEST_F(JclRegistryTest, DeletingValuesAndTrees) {
    for (const char* sub : {"\\a\\b\\c", "\\a\\d", "\\e"})
        RegistryWriteInteger(HKEY_CURRENT_USER, Key + sub, "v", 1);
    EXPECT_TRUE(RegistryDeleteTree(HKEY_CURRENT_USER, Key + "\\a"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Key + "\\a"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Key + "\\e"));
    EXPECT_EQ(Message([&] { RegistryDeleteTree(HKEY_CURRENT_USER, Key + "\\a"); }),
              "Unable to open key \"HKEY_CURRENT_USER\\Software\\Tarvik\\Test\\a\" for write");
    EXPECT_TRUE(RegistryDeleteValue(HKEY_CURRENT_USER, Key + "\\e", "v"));
    EXPECT_EQ(Message([&] { RegistryDeleteValue(HKEY_CURRENT_USER, Key + "\\e", "v"); }),
              "Unable to open key \"HKEY_CURRENT_USER\\Software\\Tarvik\\Test\\e\" and access value \"v\"");
    EXPECT_EQ(RegistryCreateKey(HKEY_CURRENT_USER, "x\\y"), ERROR_SUCCESS);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "X\\Y"));
    // Sub-keys named like a root are deleted as what they are, down from the root itself.
    for (const char* path : {"HKCU\\x", "HKEY_CURRENT_USER\\HKCU\\y"}) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    EXPECT_FALSE(RegistryDeleteTree(HKEY_CURRENT_USER, "")); // the root itself stays
    DWORD left = 99;
    ASSERT_EQ(RegQueryInfoKeyA(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, &left, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(left, 0u);
}

} // namespace
