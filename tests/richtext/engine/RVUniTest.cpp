// Item text in both forms, code-page conversions and Unicode line breaking.
#include <gtest/gtest.h>

#include "platform/testing/TestCanvases.h"
#include "richtext/engine/text/RVCodePages.h"
#include "richtext/engine/text/RVErrors.h"
#include "richtext/engine/text/RVUni.h"

namespace {

AnsiString Raw(std::u16string_view Wide) {
    return WideToRawUnicode(Wide);
}

TEST(RVUniTest, ItemTextInBothForms) {
    EXPECT_EQ(ItemTextLength("abcdefg", 0), 7);
    EXPECT_EQ(ItemTextLength("abcdefg", ioUnicodeText), 3);
    AnsiString raw = Raw(u"a bcd");
    EXPECT_EQ(ItemTextCopy(raw, 2, 2, ioUnicodeText), Raw(u" b"));
    EXPECT_EQ(ItemTextCopy(raw, 4, 9, ioUnicodeText), Raw(u"cd"));
    EXPECT_EQ(ItemTextCopy("abc", 3, 5, 0), "c");
    EXPECT_EQ(ItemTextCopy("abc", 7, 1, 0), "");
    EXPECT_TRUE(IsSpaceCharAt(raw, 2, ioUnicodeText));
    EXPECT_FALSE(IsSpaceCharAt(raw, 9, ioUnicodeText));
    DeleteCharsAt(raw, 2, 2, ioUnicodeText);
    EXPECT_EQ(raw, Raw(u"acd"));
    InsertCharsAt(Raw(u"XY"), raw, 2, ioUnicodeText);
    EXPECT_EQ(raw, Raw(u"aXYcd"));
    AnsiString ansi = "abc";
    InsertCharsAt("-", ansi, 4, 0);
    DeleteCharsAt(ansi, 1, 1, 0);
    EXPECT_EQ(ansi, "bc-");
}

TEST(RVUniTest, CodePageConversionsFallBackToQuestionMarks) {
    struct Case {
        unsigned CodePage;
        AnsiString Ansi;
        std::u16string Wide;
    } roundTrips[] = {
        {1251, "\xDF\xFF", u"\u042F\u044F"}, {0, "\xDF", u"\u042F"}, // the system code page is the program's
        {12345, "\xFF", u"\u044F"}, // unknown code pages convert as the program's
        {1252, "\xE9\x80", u"\u00E9\u20AC"}, {932, "\x93\xFA", u"\u65E5"}, {866, "\x9F", u"\u042F"},
        {65001, "\xD0\xAF", u"\u042F"},
    };
    for (const Case& c : roundTrips) {
        EXPECT_EQ(AnsiToRawUnicode(c.CodePage, c.Ansi), Raw(c.Wide)) << c.CodePage;
        EXPECT_EQ(RawUnicodeToAnsi(c.CodePage, Raw(c.Wide)), c.Ansi) << c.CodePage;
    }
    EXPECT_EQ(RawUnicodeToAnsi(1251, Raw(u"a\u4E2Db")), "a?b");
    EXPECT_EQ(RawUnicodeToAnsi(1252, Raw(u"\U0001F600x")), "?x"); // one character, one "?"
    EXPECT_EQ(AnsiToRawUnicode(1252, "\x81"), Raw(u"?"));
    EXPECT_EQ(AnsiToRawUnicode(932, "a\x93"), Raw(u"a?")); // cut double-byte sequence
    EXPECT_EQ(AnsiToUtf8(1251, "\xDF"), "\xD0\xAF");
    EXPECT_EQ(AnsiToRawUnicode(1251, ""), "");
    EXPECT_TRUE(RVIsKnownCodePage(1250));
    EXPECT_FALSE(RVIsKnownCodePage(12345));
}

TEST(RVUniTest, OddRawTextRaisesTheUnicodeError) {
    try {
        RawUnicodeToWide("abc");
        FAIL();
    } catch (const EZoroZudoError& e) {
        EXPECT_STREQ(e.what(), "Can't perform Unicode operation");
    }
    EXPECT_THROW(RawUnicodeToAnsi(1251, "abc"), EZoroZudoError);
}

TEST(RVUniTest, ByteOrderMarks) {
    uint8_t le[] = {0xFF, 0xFE, 0x41, 0x00};
    uint8_t* p = le;
    int count = 2;
    SkipUnicodeByteOrderMark(p, count);
    EXPECT_EQ(p, le + 2);
    EXPECT_EQ(count, 1);
    uint8_t be[] = {0xFE, 0xFF, 0x00, 0x41};
    p = be;
    count = 2;
    SkipUnicodeByteOrderMark(p, count);
    EXPECT_EQ(p, be + 2);
    EXPECT_EQ(p[0], 0x41);
    EXPECT_EQ(p[1], 0x00);
    uint8_t none[] = {0x41, 0x00};
    p = none;
    count = 1;
    SkipUnicodeByteOrderMark(p, count);
    EXPECT_EQ(p, none);
    const char16_t text[] = u"abc";
    EXPECT_EQ(FindWideChar(text, u'c', 3), text + 2);
    EXPECT_EQ(FindWideChar(text, u'c', 0), nullptr);
}

TEST(RVUniTest, CharsetTables) {
    struct Case {
        int Charset;
        unsigned CodePage;
        int Language;
    } cases[] = {{0, 1252, 1033}, {204, 1251, 1049}, {238, 1250, 0},   {1, 0, 0},
                 {77, 2, 1024},   {255, 1, 1024},    {128, 932, 1041}, {99, 0, 1024}};
    for (const Case& c : cases) {
        EXPECT_EQ(CharsetToCodePage(c.Charset), c.CodePage) << c.Charset;
        EXPECT_EQ(CharsetToLanguage(c.Charset), c.Language) << c.Charset;
    }
    EXPECT_EQ(LanguageToLocale(0x19), 0x0419);
    EXPECT_EQ(MakeLocaleId(0x10419, 2), 0x20419);
}

TEST(RVUniTest, DisplayTextOfSoftHyphensAndCapitals) {
    struct Case {
        std::u16string Text;
        bool AllCaps, EndsLine, Show, Strip;
        std::u16string Shown;
    } cases[] = {
        {u"a\u00ADb\u00AD", false, false, false, false, u"a\u200Bb\u200B"},
        {u"a\u00ADb\u00AD", false, true, false, false, u"a\u200Bb\u00AD"}, // a line's last one stays
        {u"a\u00ADb\u00AD", false, true, true, false, u"a\u00ACb\u00AC"},
        {u"a\u00ADb\u2060c\u200D", false, false, false, true, u"abc"},
        {u"\u044Fz\u00E9", true, false, false, false, u"\u042FZ\u00C9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AdjustTextForDisplay(c.Text, c.AllCaps, c.EndsLine, c.Show, c.Strip), c.Shown);
}

// Every character of Wide, one unit each, as the canvas got it: 8 pixels
// for ASCII, 13 for the rest, so that a character measured as another shows.
class TWideCanvas : public TFixedMetricsCanvas {
public:
    std::vector<std::u16string> Drawn;

protected:
    void DoCharAdvances(std::u16string_view Text, int* Advances) override {
        for (std::size_t i = 0; i < Text.size(); ++i)
            Advances[i] = Text[i] < 0x80 ? 8 : 13;
    }
    void DoText(int, int, std::u16string_view Text, const int*, const TRect*) override {
        Drawn.emplace_back(Text);
    }
};

TEST(RVUniTest, ItemTextReachesTheCanvasAsUtf16OfItsOwnCodePage) {
    struct Case {
        const char* Name;
        AnsiString Text;
        TRVItemOptions Options;
        unsigned CodePage;
        std::u16string Wide;
    } cases[] = {
        {"raw UTF-16 whatever the code page", Raw(u"\u2265\u2265\u2265\u2265"), ioUnicodeText, 1251,
         u"\u2265\u2265\u2265\u2265"},
        {"8-bit text of code page 1252", "caf\xE9", 0, 1252, u"caf\u00E9"},
        {"8-bit text of code page 1251", "\xE9\xF1", 0, 1251, u"\u0439\u0441"},
        {"the program's code page for 0", "\xE9", 0, 0, u"\u0439"},
        {"a byte the code page lacks", "\x98", 0, 1253, u"?"},
        // Two bytes, one character: the second unit keeps the offsets and
        // measures nothing.
        {"double-byte code page", "a\x82\xA0", 0, 932, u"a\u3042\u200B"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RVItemTextToWide(c.Text, c.Options, c.CodePage), c.Wide) << c.Name;
        TWideCanvas canvas;
        int expected = 0;
        for (char16_t ch : c.Wide)
            if (ch != 0x200B) expected += ch < 0x80 ? 8 : 13;
        EXPECT_EQ(GetItemTextWidth(c.Text, canvas, c.Options, c.CodePage), expected) << c.Name;
    }
}

TEST(RVUniTest, MeasuringDiscountsZeroWidthCharacters) {
    TFixedMetricsCanvas canvas(8);
    EXPECT_EQ(GetItemTextWidth(Raw(u"a\u200Bb"), canvas, ioUnicodeText, 1251), 16);
    int fit = -1;
    int positions[6] = {};
    GetTextExtentEx(canvas, "abcdef", 20, fit, positions, 0, 1251);
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(positions[1], 16);
    GetTextExtentEx(canvas, Raw(u"a\u200Bbc"), 16, fit, positions, ioUnicodeText, 1251);
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(positions[1], 8);
    GetTextExtentEx(canvas, "", 16, fit, nullptr, 0, 1251);
    EXPECT_EQ(fit, 0);
    int carets[4];
    ASSERT_TRUE(GetTextCaretPositions(canvas, "abc", carets, 0, 1251, 25));
    EXPECT_EQ(std::vector<int>(carets, carets + 4), (std::vector<int>{0, 9, 17, 25}));
    EXPECT_FALSE(GetTextCaretPositions(canvas, "abc", carets, 0, 1251, 30));
    int left = 0, right = 0;
    ASSERT_TRUE(GetBiDiCharRange(canvas, "abc", 2, 2, 0, 1251, 24, left, right));
    EXPECT_EQ(left, 9);
    EXPECT_EQ(right, 25);
    // Extents go by the code page too: "\xE9" is one wide character in 1252.
    TWideCanvas wide;
    GetTextExtentEx(wide,
                    "a\xE9"
                    "b",
                    100, fit, positions, 0, 1252);
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(positions[2], 29);
}

TEST(RVLineBreakTest, ClassesOfTheRowsThatDecideCommonText) {
    struct Case {
        char16_t Ch;
        TRVLineBreakClass Class;
    } cases[] = {
        {0x20, rvlbAL},
        {0x0A, rvlbAL},
        {0x0C, rvlbAL},
        {0x0D, rvlbAL},
        {0x09, rvlbBA},
        {0x7C, rvlbBA},
        {0xAD, rvlbBA},
        {0x2000, rvlbBA},
        {0x2006, rvlbBA},
        {0x2008, rvlbBA},
        {0x200A, rvlbBA},
        {0x2010, rvlbBA},
        {0x2012, rvlbBA},
        {0x2013, rvlbBA},
        {0x2027, rvlbBA},
        {0x205F, rvlbBA},
        {0x1680, rvlbBA},
        {0x2D, rvlbHY},
        {0x21, rvlbEX},
        {0x3F, rvlbEX},
        {0x2F, rvlbSY},
        {0x2C, rvlbIS},
        {0x2E, rvlbIS},
        {0x3A, rvlbIS},
        {0x3B, rvlbIS},
        {0x24, rvlbPR},
        {0x2B, rvlbPR},
        {0x5C, rvlbPR},
        {0x25, rvlbPO},
        {0x28, rvlbOP},
        {0x5B, rvlbOP},
        {0x7B, rvlbOP},
        {0x29, rvlbCL},
        {0x5D, rvlbCL},
        {0x7D, rvlbCL},
        {0x22, rvlbQU},
        {0x27, rvlbQU},
        {0x30, rvlbNU},
        {0x39, rvlbNU},
        {'A', rvlbAL},
        {'z', rvlbAL},
        {'@', rvlbAL},
        {0x0410, rvlbAL},
        {0xA0, rvlbGL},
        {0x2007, rvlbGL},
        {0x2011, rvlbGL},
        {0x202F, rvlbGL},
        {0x2060, rvlbGL},
        {0xFEFF, rvlbGL},
        {0x0F0C, rvlbGL},
        {0xB4, rvlbBB},
        {0x2C8, rvlbBB},
        {0x2CC, rvlbBB},
        {0x1806, rvlbBB},
        {0x2014, rvlbB2},
        {0x200B, rvlbZW},
        {0x2024, rvlbIN},
        {0x2026, rvlbIN},
        {0x00, rvlbCM},
        {0x08, rvlbCM},
        {0x0E, rvlbCM},
        {0x1F, rvlbCM},
        {0x7F, rvlbCM},
        {0x85, rvlbCM},
        {0x9F, rvlbCM},
        {0x300, rvlbCM},
        {0x34E, rvlbCM},
        {0x363, rvlbCM},
        {0x36F, rvlbCM},
        {0x200C, rvlbCM},
        {0x200D, rvlbCM},
        {0x200F, rvlbCM},
        {0x202A, rvlbCM},
        {0x202E, rvlbCM},
        {0x3400, rvlbID},
        {0x4DB5, rvlbID},
        {0x4E00, rvlbID},
        {0x9FA5, rvlbID},
        {0xF900, rvlbID},
        {0xFA2D, rvlbID},
        {0xFA30, rvlbID},
        {0xFA6A, rvlbID},
        {0xAC00, rvlbID},
        {0xD7A3, rvlbID},
        {0x1100, rvlbID},
        {0x1159, rvlbID},
        {0x3042, rvlbID},
        {0x30A2, rvlbID},
        {0xFF21, rvlbID},
        {0x3041, rvlbNS},
        {0x3005, rvlbNS},
        {0x30FB, rvlbNS},
        {0x3001, rvlbCL},
        {0x3002, rvlbCL},
        {0xD800, rvlbAL},
        {0xDC00, rvlbAL},
        // Unicode has since reclassified these; the current data decides.
        {0x0B, rvlbAL},   // a mandatory break, folded to AL
        {0x3000, rvlbBA}, // the ideographic space breaks after itself
        {0x30FC, rvlbNS}, // the prolonged sound mark starts no line
        {0x34F, rvlbGL},  // joiners among the combining marks now glue
        {0x360, rvlbGL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(LineBreakClass(c.Ch)), int(c.Class)) << std::hex << unsigned(c.Ch);
}

TEST(RVLineBreakTest, PairTable) {
    for (int after = 0; after < 19; ++after)
        EXPECT_EQ(LineBreakPair(rvlbOP, TRVLineBreakClass(after)), 2) << after;
    EXPECT_EQ(LineBreakPair(rvlbOP, rvlbCM), 1);
    for (int after = 0; after < 18; ++after)
        EXPECT_EQ(LineBreakPair(rvlbZW, TRVLineBreakClass(after)), 0) << after;
    struct Case {
        TRVLineBreakClass Before, After;
        int Value;
    } cases[] = {{rvlbAL, rvlbAL, 1}, {rvlbHY, rvlbAL, 0}, {rvlbIS, rvlbAL, 0}, {rvlbB2, rvlbB2, 2},
                 {rvlbCL, rvlbNS, 2}, {rvlbNU, rvlbPO, 1}, {rvlbPR, rvlbNU, 1}, {rvlbID, rvlbID, 0},
                 {rvlbBB, rvlbAL, 1}, {rvlbAL, rvlbCL, 2}, {rvlbQU, rvlbOP, 2}, {rvlbGL, rvlbOP, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(LineBreakPair(c.Before, c.After), c.Value) << int(c.Before) << " " << int(c.After);
}

TEST(RVLineBreakTest, WhereALineMayEnd) {
    struct Case {
        std::u16string Text;
        int Index;
        bool SkipSpace;
        int Result;
    } cases[] = {
        {u"ab cd", 3, false, 2},        // the space stays on the line
        {u"a-b", 2, false, 1},          // after the hyphen
        {u"(a", 1, false, -1},          // never after an opening bracket
        {u"a, b", 3, false, 2},         // after the space that follows the comma
        {u"   a", 3, false, -1},        // only spaces before
        {u"a b", 1, true, -1},          // the space itself, skipped
        {u"ab  cd", 3, true, 1},        // skipping one of two spaces
        {u"\u4E00\u4E01", 1, false, 0}, // ideographs break anywhere
        {u"abc", 2, false, -1},         // one word
        {u"a (b", 3, false, 1},         // before the bracket, after the space
        {u"x", 5, false, -1},           // outside the text
    };
    for (const Case& c : cases)
        EXPECT_EQ(CanBreakBetween(c.Text, c.Index, c.SkipSpace), c.Result) << c.Index;
}

} // namespace
