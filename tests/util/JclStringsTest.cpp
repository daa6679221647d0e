// String utilities: suffixes, parts, case-insensitive finding and splitting.
#include <gtest/gtest.h>

#include "util/JclBase.h"
#include "util/JclStrings.h"
#include "util/JvJCLUtils.h"

namespace {

std::vector<AnsiString> Items(const TStrings& L) {
    std::vector<AnsiString> v;
    for (int i = 0; i < L.Count(); ++i)
        v.push_back(L.Strings(i));
    return v;
}

TEST(JclStringsTest, SuffixesPartsAndCounts) {
    EXPECT_EQ(EnsureSuffix("\\", "Software"), "Software\\");
    EXPECT_EQ(EnsureSuffix("\\", "Software\\"), "Software\\");
    EXPECT_EQ(EnsureSuffix("", "a"), "a");
    EXPECT_EQ(EnsureSuffix("abc", "bc"), "bcabc");
    EXPECT_EQ(LeftPart("abc", 2), "ab");
    EXPECT_EQ(LeftPart("abc", 9), "abc");
    EXPECT_EQ(LeftPart("abc", -1), "");
    EXPECT_EQ(RestFrom("abc", 2), "bc");
    EXPECT_EQ(RestFrom("abc", 0), "abc");
    EXPECT_EQ(RestFrom("abc", 4), "");
    AnsiString t("ab\0cd", 5);
    TrimAtNul(t);
    EXPECT_EQ(t, "ab");
    EXPECT_EQ(NulTerminatedLength("abc"), 3u);
    EXPECT_EQ(NulTerminatedLength(nullptr), 0u);
    EXPECT_EQ(CountChar("a,b,,c", ','), 3);
    EXPECT_EQ(RepeatChar('x', 3), "xxx");
    EXPECT_EQ(RepeatChar('x', -2), "");
    EXPECT_EQ(DeleteAllChars("1 234 5", ' '), "12345");
}

TEST(JclStringsTest, FindTextNoCase) {
    struct Case {
        AnsiString Sub, Text;
        int Start, Expected;
    };
    const Case cases[] = {
        {"%form_name%", "Root\\%FORM_NAME%\\x", 1, 6},
        {"%form_name%", "Root\\%FORM_NAME%\\x", 7, 0},
        {"Иван"_cp, "гр. ИВАНОВ"_cp, 1, 5},
        {"", "abc", 1, 0},
        {"a", "", 1, 0},
        {"b", "abc", 0, 0},
        {"abcd", "abc", 1, 0},
        {"c", "abc", 3, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindTextNoCase(c.Sub, c.Text, c.Start), c.Expected) << c.Sub << " in " << c.Text;
}

TEST(JclStringsTest, SplitToList) {
    TStringList list;
    list.Add("old");
    SplitToList("a,,b,", ",", list, false);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"a", "b"}));
    SplitToList("a,,b,", ",", list, true);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"a", "", "b"}));
    SplitToList("a::b", "::", list, false);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"a", "b"}));
    SplitToList("", ",", list, true);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(JclStringsTest, CopyCharsAtChecksItsBounds) {
    AnsiString dest = "......";
    CopyCharsAt("abcdef", 2, dest, 1, 3);
    EXPECT_EQ(dest, ".cde..");
    EXPECT_THROW(CopyCharsAt("abc", 1, dest, 0, 3), EJclError);
    EXPECT_THROW(CopyCharsAt("abc", 0, dest, 5, 2), EJclError);
    EXPECT_EQ(dest, ".cde..");
}

TEST(JvJCLUtilsTest, WordsTrimsAndReplacement) {
    const TSysCharSet comma{','};
    EXPECT_EQ(NthWord(2, "10,20,30,40", comma), "20");
    EXPECT_EQ(NthWord(5, "10,20,30,40", comma), "");
    EXPECT_EQ(NthWord(1, ",,x,,y", comma), "x");
    EXPECT_EQ(NthWordStart(2, ",,x,,y", comma), 6);
    EXPECT_EQ(NthWordStart(0, "a", comma), 0);
    EXPECT_EQ(TrimSpaces("  a b \t "), "a b \t");
    EXPECT_EQ(TrimLeadingSpaces("\t a"), "\t a");
    EXPECT_EQ(TrimTrailingSpaces("a  "), "a");
    EXPECT_EQ(ReplaceAllText("aaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAllText("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAllText("a.b.c", ".", "::"), "a::b::c");
}

TEST(JvJCLUtilsTest, NormalizeNumberText) {
    TFormatSettings ru;
    ru.DecimalSeparator = ',';
    ru.ThousandSeparator = ' ';
    TFormatSettings en;
    en.DecimalSeparator = '.';
    en.ThousandSeparator = ',';
    struct Case {
        AnsiString Text;
        const TFormatSettings& Settings;
        AnsiString Expected;
    };
    const Case cases[] = {
        {"1 234.5", ru, "1234,5"}, {"", ru, "0"},          {"   ", ru, "0"},
        {"-", ru, "-0"},           {"1a2b,3", ru, "12,3"}, {"1,234.5", en, "1234.5"},
        {"+7", en, "+7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizeNumberText(c.Text, c.Settings), c.Expected) << c.Text;
}

TEST(JvJCLUtilsTest, XorHexCoderRoundTrips) {
    const AnsiString texts[] = {"", "abc", AnsiString("\0\xFF\x10", 3), "Пароль"_cp};
    for (const AnsiString& key : {AnsiString(), AnsiString("k"), AnsiString("longer key")})
        for (const AnsiString& text : texts) {
            AnsiString code = XorHexEncode(key, text);
            EXPECT_EQ(code.size(), text.size() * 2);
            EXPECT_EQ(XorHexDecode(key, code), text);
        }
    EXPECT_EQ(XorHexEncode("", "AB"), "4142");
    EXPECT_EQ(XorHexDecode("", "4142"), "AB");
    for (const AnsiString bad : {"41zz", "414", "4 "}) {
        EXPECT_THROW(XorHexDecode("", bad), EConvertError) << bad;
        AnsiString text = "x";
        EXPECT_FALSE(TryXorHexDecode("k", bad, text)) << bad;
        EXPECT_EQ(text, "");
    }
}

TEST(JvJCLUtilsTest, IntegerVariantsAndRectangles) {
    for (uint16_t code : {2, 3, 16, 17, 18, 19})
        EXPECT_TRUE(VariantIsInteger(code)) << code;
    for (uint16_t code : {0, 4, 5, 11, 20, 21, 0x2003, 0x4003})
        EXPECT_FALSE(VariantIsInteger(code)) << code;
    EXPECT_TRUE(VariantIsInteger(Variant(5)));
    EXPECT_FALSE(VariantIsInteger(Variant(int64_t(1) << 40)));
    EXPECT_FALSE(VariantIsInteger(Variant(2.0)));
    EXPECT_EQ(AbsRectWidth(Rect(10, 0, 4, 0)), 6);
    EXPECT_EQ(AbsRectHeight(Rect(0, 3, 0, 10)), 7);
}

} // namespace
