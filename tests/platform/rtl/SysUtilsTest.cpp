// Run-time basics: code page, case, conversions, rounding, Format and dates.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

namespace {

class SysUtilsTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = TFormatSettings{}; }
    void TearDown() override { FormatSettings = TFormatSettings{}; }
};

TEST_F(SysUtilsTest, Cp1251RoundTripsEveryByte) {
    AnsiString all;
    for (int c = 1; c < 256; ++c)
        all += char(c);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
    EXPECT_EQ(WideToAnsi(AnsiToWide(all)), all);
}

TEST_F(SysUtilsTest, LiteralHelperGivesCp1251Bytes) {
    EXPECT_EQ("Ёж"_cp, AnsiString("\xA8\xE6"));
    EXPECT_EQ("уэя"_cp, AnsiString("\xF3\xFD\xFF"));
    EXPECT_EQ("№ 5 — «да»"_cp, AnsiString("\xB9 5 \x97 \xAB\xE4\xE0\xBB"));
}

TEST_F(SysUtilsTest, UnmappableAndInvalidBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD"
                         "b"),
              "a?b");                                 // CJK
    EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x98\x80"), "a?"); // emoji
    EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");             // cut sequence
    EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");          // overlong
    EXPECT_EQ(Utf8ToAnsi("\xF8\x80\x80"
                         "a"),
              "???a"); // no such lead byte
    EXPECT_EQ(Utf8ToWide("\xFF\x80\x80"), u"\xFFFD\xFFFD\xFFFD");
    EXPECT_EQ(WideToAnsi(u"x\xD800y"), "x?y"); // lone surrogate
    EXPECT_EQ(WideToUtf8(Utf8ToWide("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
}

TEST_F(SysUtilsTest, CaseOfCyrillicLetters) {
    EXPECT_EQ(AnsiUpperCase("иванов ёж abc"_cp), "ИВАНОВ ЁЖ ABC"_cp);
    EXPECT_EQ(AnsiLowerCase("ИВАНОВ ЁЖ ABC"_cp), "иванов ёж abc"_cp);
    EXPECT_TRUE(SameText("Петров"_cp, "пЕТРОВ"_cp));
    EXPECT_LT(AnsiCompareText("а"_cp, "Б"_cp), 0);
}

TEST_F(SysUtilsTest, FloatToStrGeneralFormat) {
    struct Case {
        double Value;
        const char* Text;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {-2.5, "-2,5"},
        {0.1, "0,1"},
        {1.0 / 3, "0,333333333333333"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {1.5e-7, "1,5E-7"},
        {10.25, "10,25"},
        {100, "100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.Value), c.Text) << c.Value;
}

TEST_F(SysUtilsTest, StrToFloatFollowsTheDecimalSeparator) {
    EXPECT_DOUBLE_EQ(StrToFloat("2,5"), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" -0,75 "), -0.75);
    double v;
    EXPECT_FALSE(TryStrToFloat("2.5", v));
    EXPECT_FALSE(TryStrToFloat("", v));
    EXPECT_FALSE(TryStrToFloat("1,2,3", v));
    EXPECT_THROW(StrToFloat("abc"), EConvertError);
}

TEST_F(SysUtilsTest, IntegerConversions) {
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToIntDef("12x", -1), -1);
    EXPECT_EQ(StrToIntDef("2147483648", -1), -1);
    EXPECT_EQ(StrToIntDef("-2147483648", 0), -2147483647 - 1);
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToStr(-12), "-12");
}

TEST_F(SysUtilsTest, RoundingRules) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.6), 3);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(10, 3, 4), 8);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(2147483647, 2, 1), -1);
    EXPECT_EQ(MulDiv(2147483647, 2147483647, 2147483647), 2147483647);
}

TEST_F(SysUtilsTest, FormatSpecifiers) {
    EXPECT_EQ(Format("%s=%d", {"a", 5}), "a=5");
    EXPECT_EQ(Format("%1:s %0:s %s", {"x", "y"}), "y x y");
    EXPECT_EQ(Format("[%5d|%-5d|%.3d]", {42, 42, 7}), "[   42|42   |007]");
    EXPECT_EQ(Format("%x %.4x", {255, 255}), "FF 00FF");
    EXPECT_EQ(Format("%.2f %n", {3.14159, 1234567.0}), "3,14 1 234 567,00");
    EXPECT_EQ(Format("%g", {0.5}), "0,5");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%*d", {4, 1}), "   1");
    EXPECT_EQ(Format("%.2s", {"abc"}), "ab");
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
    EXPECT_THROW(Format("%", {}), EConvertError);
}

// Fixed formats round the decimal value half away from zero; hexadecimal
// shows a 32-bit integer in 8 digits and a 64-bit one in 16.
TEST_F(SysUtilsTest, FixedFormatsRoundHalvesAwayFromZero) {
    struct {
        double Value;
        int Decimals;
        const char* Text;
    } cases[] = {
        {0.25, 1, "0,3"},
        {2.25, 1, "2,3"},
        {-2.25, 1, "-2,3"},
        {0.15, 1, "0,2"},
        {0.35, 1, "0,4"},
        {2.675, 2, "2,68"},
        {9.95, 1, "10,0"},
        {0.05, 1, "0,1"},
        {0.04, 1, "0,0"},
        {-0.04, 1, "0,0"},
        {0.006, 2, "0,01"},
        {0.0004, 2, "0,00"},
        {0, 2, "0,00"},
        {123.0, 0, "123"},
        {0.5, 0, "1"},
        {1e20, 1, "100000000000000000000,0"},
        {1234.5678, 3, "1234,568"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.Value, c.Decimals), c.Text) << c.Value;
    EXPECT_EQ(Format("%5.1f|%.1n", {2.25, 1234.25}), "  2,3|1 234,3");
    EXPECT_EQ(Format("%x|%x|%.2x", {-1, -1LL, 10u}), "FFFFFFFF|FFFFFFFFFFFFFFFF|0A");
}

// A GUI library sets the C library to the user's locale: a Russian one
// writes and reads "7,5" in printf and strtod. The conversions follow the
// format settings alone, whatever that locale.
TEST_F(SysUtilsTest, NumbersFollowTheFormatSettingsWhateverTheCLibraryLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* locale = nullptr;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) {
            locale = name;
            break;
        }
    if (!locale)
        GTEST_SKIP() << "no locale with a decimal comma is generated (test.sh generates ru_RU.UTF-8)";
    struct {
        char Decimal;
        const char* Text;
        double Value;
    } cases[] = {{',', "7,5", 7.5}, {'.', "7.5", 7.5}, {',', "-0,25", -0.25}, {'.', "12.5", 12.5}};
    for (const auto& c : cases) {
        FormatSettings.DecimalSeparator = c.Decimal;
        double v = 0;
        EXPECT_TRUE(TryStrToFloat(c.Text, v)) << locale << " " << c.Text;
        EXPECT_DOUBLE_EQ(v, c.Value) << locale << " " << c.Text;
        EXPECT_EQ(FloatToStr(c.Value), c.Text) << locale;
        EXPECT_EQ(Format("%.2e", {7.5}), AnsiString("7") + c.Decimal + "5E+000") << locale;
    }
    std::setlocale(LC_NUMERIC, before.c_str());
}

TEST_F(SysUtilsTest, NumberFormatsAndPatterns) {
    // Thousands in the number format; the general form beyond the precision.
    EXPECT_EQ(FloatToStrF(1234567.25, TFloatFormat::ffNumber, 15, 1), "1 234 567,3");
    EXPECT_EQ(FloatToStrF(-1234.5, TFloatFormat::ffFixed, 15, 2), "-1234,50");
    EXPECT_EQ(FloatToStrF(1e20, TFloatFormat::ffFixed, 15, 0), "1E20");
    struct {
        const char* Pattern;
        double Value;
        const char* Text;
    } cases[] = {
        {",0.##", 1234.5, "1 234,5"},
        {",0.##", 0.004, "0"},
        {"0.00", 3.14159, "3,14"},
        {"#.##", 0.5, ",5"},
        {"000", 7, "007"},
        {"0.0 'kg'", 2.25, "2,3 kg"},
        {"0.0;(0.0)", -2.5, "(2,5)"},
        {"0.0;-0.0;'none'", 0, "none"},
        {"0.0", -0.01, "0,0"},
        {"'text'", 5, "text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.Pattern, c.Value), c.Text) << c.Pattern;
}

TEST_F(SysUtilsTest, DatesCountDaysFrom1899) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 29), -1);
    for (TDateTime d : {-693593.0, -1.0, 0.0, 59.0, 60.0, 36526.0, 36585.0, 54000.0, 2958465.0}) {
        int y, m, day;
        DecodeDate(d, y, m, day);
        EXPECT_DOUBLE_EQ(EncodeDate(y, m, day), d) << d;
    }
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    int h, mi, s, ms;
    DecodeTime(EncodeTime(13, 45, 30, 250), h, mi, s, ms);
    EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 134530250);
    EXPECT_DOUBLE_EQ(UnixToDateTime(0), 25569);
}

TEST_F(SysUtilsTest, DateTexts) {
    TDateTime d = EncodeDate(2024, 3, 7) + EncodeTime(9, 5, 3, 0);
    EXPECT_EQ(DateToStr(d), "07.03.2024");
    EXPECT_EQ(DateTimeToStr(d), "07.03.2024 09:05:03");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", d), "2024-03-07 09:05");
    EXPECT_EQ(FormatDateTime("d/m/yy 'at' h", d), "7.3.24 at 9");
    // "m" after an hour is the minute, before one the month.
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:mm", d), "07.03.2024 09:05");
    EXPECT_EQ(FormatDateTime("h:m mm", d), "9:5 03");
    EXPECT_DOUBLE_EQ(StrToDate("07.03.2024"), EncodeDate(2024, 3, 7));
    TDateTime v;
    EXPECT_FALSE(TryStrToDate("31.02.2024", v));
    EXPECT_FALSE(TryStrToDate("7.3.2024.", v));
    EXPECT_FALSE(TryStrToDate("", v));
    EXPECT_FALSE(TryStrToDate("aa.bb.cccc", v));
}

TEST_F(SysUtilsTest, VariantFieldValues) {
    EXPECT_TRUE(Variant::Null().IsNull());
    EXPECT_EQ(Variant::Null().AsString(), "");
    EXPECT_EQ(Variant::Null().AsInteger(), 0);
    EXPECT_EQ(Variant("12").AsInteger(), 12);
    EXPECT_DOUBLE_EQ(Variant("2,5").AsFloat(), 2.5);
    EXPECT_EQ(Variant(3.5).AsString(), "3,5");
    EXPECT_EQ(Variant(int64_t(1) << 40).AsInt64(), int64_t(1) << 40);
    EXPECT_THROW(Variant(int64_t(1) << 40).AsInteger(), EVariantError);
    EXPECT_THROW(Variant("x").AsInteger(), EVariantError);
    EXPECT_TRUE(Variant::FromDateTime(1.0).IsDateTime());
    EXPECT_FALSE(Variant().IsNull());
    EXPECT_TRUE(Variant().IsEmpty());
}

} // namespace
