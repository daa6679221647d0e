// Substring replacement, case tables and the engine hook.
#include <gtest/gtest.h>

#include "util/JclAnsiStrings.h"
#include "util/JclPCRE.h"

namespace {

TEST(JclAnsiStringsTest, ReplaceSubstringsCases) {
    struct Case {
        AnsiString S, Search, Replacement;
        uint8_t Flags;
        AnsiString Expected;
    };
    const Case cases[] = {
        {"a $fio$ b $fio$", "$FIO$", "X", ReplaceAll | IgnoreCase, "a X b X"},
        {"a $fio$ b $fio$", "$FIO$", "X", IgnoreCase, "a X b $fio$"},
        {"a $fio$ b $fio$", "$FIO$", "X", ReplaceAll, "a $fio$ b $fio$"},
        {"aaa", "aa", "b", ReplaceAll, "ba"},
        {"ababab", "ab", "xyz1", ReplaceAll, "xyz1xyz1xyz1"},
        {"aab", "ab", "-", ReplaceAll, "a-"}, // a match may start inside a failed partial one
        {"x--y--", "--", "", ReplaceAll, "xy"},
        {"", "a", "b", ReplaceAll, ""},
        {"", "", "new", ReplaceAll, "new"},
        {"Фамилия: $ФИО$"_cp, "$фио$"_cp, "Иванов"_cp, ReplaceAll | IgnoreCase, "Фамилия: Иванов"_cp},
        {"$A$", "$a$", "$a$", ReplaceAll | IgnoreCase, "$a$"}, // the inserted text is not searched again
    };
    for (const Case& c : cases) {
        AnsiString s = c.S;
        ReplaceSubstrings(s, c.Search, c.Replacement, c.Flags);
        EXPECT_EQ(s, c.Expected) << c.S << " / " << c.Search;
    }
    AnsiString s = "text";
    try {
        ReplaceSubstrings(s, "", "x", ReplaceAll);
        FAIL() << "an empty search text must raise";
    } catch (const EJclError& e) {
        EXPECT_EQ(e.Message, "Search string cannot be blank");
    }
}

TEST(JclAnsiStringsTest, CaseTablesFollowTheCodePage) {
    const TCharTables& t = CharTables();
    const unsigned char ya = static_cast<unsigned char>("я"_cp[0]),
                        YA = static_cast<unsigned char>("Я"_cp[0]);
    EXPECT_EQ(t.UpperCaseTable[ya], YA);
    EXPECT_EQ(t.LowerCaseTable[YA], ya);
    EXPECT_EQ(t.SwapCaseTable[ya], YA);
    EXPECT_EQ(t.SwapCaseTable['Q'], 'q');
    EXPECT_EQ(t.SwapCaseTable['5'], '5');
    EXPECT_TRUE(t.CharTypeTable['a'] & 0x0002);
    EXPECT_TRUE(t.CharTypeTable[YA] & 0x0001);
}

TEST(JclAnsiStringsTest, TheEngineHookRaisesItsOwnError) {
    try {
        PCRELibraryNotLoaded();
        ADD_FAILURE() << "the hook returned";
    } catch (const EPCREError& e) {
        EXPECT_EQ(e.Message, "PCRE library not loaded");
        EXPECT_EQ(e.ErrorCode, 0);
    }
}

} // namespace
