// HTML and RTF text helpers, stream output and the graphic helpers.
#include <gtest/gtest.h>

#include "platform/testing/TestCanvases.h"
#include "richtext/engine/text/RVErrors.h"
#include "richtext/engine/text/RVFuncs.h"
#include "richtext/engine/text/RVUni.h"

namespace {

AnsiString Raw(std::u16string_view Wide) {
    return WideToRawUnicode(Wide);
}

TEST(HtmlTextTest, AnsiEscapes) {
    struct Case {
        AnsiString Text, Html;
    } cases[] = {
        {"a b", "a b"},
        {"a  b", "a&nbsp; b"},
        {"a   b", "a&nbsp;&nbsp; b"},
        {"a    b", "a&nbsp; &nbsp; b"},
        {"a     b", "a&nbsp; &nbsp;&nbsp; b"},
        {"<&>", "&lt;&amp;&gt;"},
        {"&amp;", "&amp;amp;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlEscapeAnsi(c.Text, false), c.Html) << c.Text;
    EXPECT_EQ(HtmlEscapeAnsi("<b>  x", true), "<b>  x");
}

TEST(HtmlTextTest, UnicodeEscapes) {
    struct Case {
        std::u16string Text;
        AnsiString Html;
        std::string Utf8;
    } cases[] = {
        {u" a b ", "&nbsp;a b&nbsp;", "&nbsp;a b&nbsp;"},
        {u"a  b", "a &nbsp;b", "a &nbsp;b"},
        {u"\u00E9<\u00A0", "&#233;&lt;&nbsp;", "\xC3\xA9&lt;&nbsp;"},
        {u"\U0001F600", "&#128512;", "\xF0\x9F\x98\x80"},
        {u"\u044F&", "&#1103;&amp;", "\xD1\x8F&amp;"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HtmlEscapeUnicode(Raw(c.Text), false), c.Html);
        EXPECT_EQ(HtmlEscapeUnicodeUtf8(Raw(c.Text), false), c.Utf8);
    }
    EXPECT_EQ(HtmlEscapeUnicode(Raw(u"<b>\u00E9"), true), "<b>&#233;");
    EXPECT_EQ(HtmlEscapeUnicodeUtf8(Raw(u"<b>\u00E9"), true), "<b>\xC3\xA9");
    EXPECT_THROW(HtmlEscapeUnicode("abc", false), EZoroZudoError);
}

TEST(HtmlTextTest, SymbolFontEntities) {
    EXPECT_EQ(SymbolTextToHtml("a\"\xB0\xC6\x80\x01Z1"), "&alpha;&forall;\xB0&empty;&Zeta;1");
    EXPECT_EQ(SymbolTextToHtml("J\xFE"), "&#977;/");
    EXPECT_EQ(SymbolTextToHtmlW(Raw(u"\uF061b\u0100")), "&alpha;&beta;");
}

TEST(HtmlTextTest, ColoursAndAttributes) {
    EXPECT_EQ(ColorToHtml(clRed), "#ff0000");
    EXPECT_EQ(ColorToHtml(RGB(0x12, 0xAB, 0x0F), true), "\"#12ab0f\"");
    EXPECT_EQ(ColorToHtml(clNone), "");
    EXPECT_EQ(ColorToHtml(clWindowText), "#000000");
    EXPECT_EQ(ColorToHtmlOrTransparent(clNone), "transparent");
    EXPECT_EQ(ColorToHtmlOrTransparent(clBlue), "#0000ff");
    EXPECT_EQ(HtmlQuoteAttribute("\"x\"", rvhsXHTML), "\"x\"");
    EXPECT_EQ(HtmlQuoteAttribute("x", rvhsXHTML), "\"x\"");
    EXPECT_EQ(HtmlQuoteAttribute("\"", rvhsXHTML), "\"\"\"");
    EXPECT_EQ(HtmlQuoteAttribute("x", 0), "x");
    EXPECT_EQ(HtmlBoolAttribute("noshade", rvhsXHTML), "noshade=\"noshade\"");
    EXPECT_EQ(HtmlBoolAttribute("noshade", 0), "noshade");
    EXPECT_EQ(HtmlIntAttribute(-3, rvhsXHTML), "\"-3\"");
    EXPECT_EQ(HtmlTagCloser(rvhsXHTML) + HtmlTagCloser(0), " /");
    EXPECT_EQ(FileNameToHtmlPath("a\\b\xFF", rvhsUTF8, 1251), "a/b\xD1\x8F");
    EXPECT_EQ(FileNameToHtmlPath("a\\b\xFF", 0, 1251), "a/b\xFF");
    EXPECT_EQ(CharsetToHtmlName(204), "Windows-1251");
    EXPECT_EQ(CharsetToHtmlName(99), "");
    struct SizeCase {
        int Points, Size;
    } sizes[] = {{8, 1}, {9, 2}, {10, 2}, {12, 3}, {14, 4}, {18, 5}, {24, 6}, {25, 7}};
    for (const SizeCase& c : sizes)
        EXPECT_EQ(HtmlFontSize(c.Points), c.Size) << c.Points;
    EXPECT_EQ(HintAttribute(1, "say \"hi\""), "title=\"say 'hi'\"");
    EXPECT_EQ(HintAttribute(2, "a{b\""), "\\o \"a_b'\"");
    EXPECT_EQ(HintAttribute(3, "a\"b"), "a\"b");
    EXPECT_EQ(HintAttribute(1, ""), "");
}

TEST(HtmlTextTest, MarkerFontCss) {
    TFont font;
    font.SetName("Arial");
    font.SetSize(8);
    font.SetStyle(fsBold | fsUnderline);
    font.SetColor(clRed);
    EXPECT_EQ(MarkerFontCss(font, true), "font-weight: bold; font-size: 8pt; font-family: 'Arial'; "
                                         "text-decoration: underline; color: #ff0000;");
    font.SetName("symbol");
    font.SetStyle(fsItalic | fsUnderline | fsStrikeOut);
    EXPECT_EQ(MarkerFontCss(font, true),
              "font-style: italic; font-size: 8pt; font-family: 'Arial Unicode MS', 'Lucida Sans Unicode', "
              "'Arial'; text-decoration: underline line-through; color: #ff0000;");
    font.SetStyle(0);
    EXPECT_EQ(MarkerFontCss(font, false), "font-size: 8pt; color: #ff0000;");
}

TEST(RtfTextTest, Escapes) {
    EXPECT_EQ(RtfEscapeAnsi("\x95\xA0\x01{a}\\\xFF", false, true), "\\bullet \\~\\'01\\{a\\}\\\\\\'ff");
    EXPECT_EQ(RtfEscapeAnsi("\x95{", true, false), "\\'95{");
    EXPECT_EQ(RtfEscapeFieldInstruction("\\{"), "\\\\\\\\\\{");
    EXPECT_EQ(RtfSafeName("a{b}\\c\xFF"), "a_b__c\\'ff");
    EXPECT_EQ(RtfBookmarkName("\xC8\xEC\xFF 1-a"), "\\'c8\\'ec\\'ff_1_a");
}

TEST(RtfTextTest, UnicodeText) {
    struct Case {
        std::u16string Text;
        unsigned CodePage;
        bool Duplicate, IsRtfCode;
        AnsiString Rtf;
    } cases[] = {
        {u"\u044F", 1251, true, false, "\\u1103 \\'ff"},
        {u"\u044F", 1251, false, false, "\\u1103 "},
        {u"\uF020", 1251, false, false, "\\u-4064 "},
        {u"\u65E5", 932, true, false, "\\uc2\\u26085 \\'93\\'fa\\uc1 "},
        {u"\u4E2D", 1251, true, false, "\\u20013 ?"},
        {u"a{\u2014\u00A0", 1251, true, false, "a\\{\\emdash \\~"},
        {u"a{\u2014", 1251, false, true, "a{\\u8212 "},
    };
    for (const Case& c : cases) {
        TRVMemoryStream stream;
        WriteRtfUnicodeText(stream, Raw(c.Text), c.CodePage, c.Duplicate, c.IsRtfCode);
        EXPECT_EQ(AnsiString(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size())), c.Rtf);
    }
}

TEST(TextHelpersTest, UrlsAndAddresses) {
    EXPECT_EQ(DecodeUrlEscapes("a%20b%0D%0a%25%2", false), "a b%0D%0a%%2");
    EXPECT_EQ(DecodeUrlEscapes("a%20b%0D%0a%2541", true), "a b\r\n%41");
    EXPECT_EQ(DecodeUrlEscapes("%4g%41", false), "%4gA");
    EXPECT_FALSE(RVIsURL("www."));
    EXPECT_TRUE(RVIsURL("www.x"));
    EXPECT_TRUE(RVIsURL("MAILTO:a@b"));
    EXPECT_FALSE(RVIsURL("abc"));
    RVIsURLHook = [](const AnsiString& Text) { return Text == "abc"; };
    EXPECT_TRUE(RVIsURL("abc"));
    RVIsURLHook = nullptr;
    EXPECT_TRUE(RVIsEmailAddress("a@b.c"));
    EXPECT_FALSE(RVIsEmailAddress("a.b@c"));
    EXPECT_FALSE(RVIsEmailAddress("ab.c"));
}

TEST(TextHelpersTest, CountersAreCapped) {
    struct Case {
        int Value;
        AnsiString Roman, Letters;
    } cases[] = {
        {-1, "?", ""},
        {0, "?", ""},
        {1, "I", "A"},
        {26, "XXVI", "Z"},
        {27, "XXVII", "AA"},
        {28, "XXVIII", "AB"},
        {702, "DCCII", "ZZ"},
        {703, "DCCIII", "AAA"},
        {1994, "MCMXCIV", "BXR"},
        {4000, "MMMM", "EWV"},
        {4999, "MMMMCMXCIX", "GJG"},
        {5000, "5000", "GJH"},
        {18278, "18278", "ZZZ"},
        {18279, "18279", "18279"},
        {2147483647, "2147483647", "2147483647"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntToRoman(c.Value), c.Roman) << c.Value;
        EXPECT_EQ(IntToLetters(c.Value), c.Letters) << c.Value;
    }
}

TEST(TextHelpersTest, StringsAndTags) {
    EXPECT_EQ(ExpandTabs("a\tb\t", 2), "a  b  ");
    EXPECT_EQ(ExpandTabsW(Raw(u"\tx"), 1), Raw(u" x"));
    AnsiString text;
    AppendWithSeparator(text, "a", ", ");
    AppendWithSeparator(text, "", ", ");
    AppendWithSeparator(text, "b", ", ");
    AppendWithSpace(text, "c");
    EXPECT_EQ(text, "a, b c");
    EXPECT_EQ(CharPosInBuffer("abcb", 'b', 4), 2);
    EXPECT_EQ(CharPosInBuffer("abcb", 'b', 1), 0);
    struct Case {
        TRVTag A, B;
        bool Equal;
    } tags[] = {{1, 1, true},
                {1, 2, false},
                {AnsiString("a"), AnsiString("a"), true},
                {AnsiString("a"), AnsiString("A"), false},
                {0, AnsiString(), true},
                {1, AnsiString("1"), false},
                {AnsiString(), AnsiString(), true}};
    for (const Case& c : tags)
        EXPECT_EQ(TagsAreEqual(c.A, c.B), c.Equal);
    TRVTag tag = AnsiString("x");
    TRVTag copy = DuplicateTag(tag);
    std::get<AnsiString>(tag) += "y";
    EXPECT_EQ(std::get<AnsiString>(copy), "x");
}

TEST(GraphicHelpersTest, LengthsAndColours) {
    TRVScreenDeviceResolution printer{96, 96, 600, 300, 0, 0};
    EXPECT_EQ(ScaleXToDevice(96, printer), 600);
    EXPECT_EQ(ScaleYToDevice(96, printer), 300);
    EXPECT_EQ(ScaleXToScreen(600, printer), 96);
    TRect r{600, 300, 1200, 600};
    ScaleRectToScreen(r, printer);
    EXPECT_EQ(r, (TRect{96, 96, 192, 192}));
    EXPECT_FALSE(PointInBounds(10, 0, 0, 0, 10, 5));
    EXPECT_TRUE(PointInBounds(9, 4, 0, 0, 10, 5));
    EXPECT_EQ(SignOf(-7) + SignOf(0) * 10 + SignOf(3) * 100, 99);
    for (auto [n, t] : {std::pair{1, 1}, {2, 1}, {3, 2}, {4, 3}, {5, 3}, {-4, -3}, {0, 0}})
        EXPECT_EQ(TwoThirds(n), t) << n;
    for (auto [h, t] : {std::pair{22, 1}, {23, 2}, {37, 2}, {38, 3}})
        EXPECT_EQ(LineThicknessForHeight(h), t) << h;
    EXPECT_EQ(GrayLevel(clRed), 76);
    EXPECT_EQ(ColorToGray(clRed), TColor(0x4C4C4C));
    EXPECT_EQ(ColorToGray(clNone), clNone);
    struct Case {
        TColor Color;
        TRVColorMode Mode;
        TColor Text, Back;
    } cases[] = {
        {clBlue, rvcmBlackOnWhite, clBlack, clWhite},      {clWhite, rvcmBlackOnWhite, clWhite, clWhite},
        {clRed, rvcmBlackAndWhite, clBlack, clWhite},      {clNone, rvcmBlackAndWhite, clNone, clNone},
        {clBtnFace, rvcmPrinterColor, clSilver, clSilver}, {clWindowText, rvcmGrayScale, 0, 0},
        {clWindow, rvcmColor, clWindow, clWindow},         {clWindow, rvcmBlackOnWhite, clWhite, clWhite},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyColorModeToTextColor(c.Color, c.Mode), c.Text) << std::hex << c.Color << " " << c.Mode;
        EXPECT_EQ(ApplyColorModeToBackColor(c.Color, c.Mode), c.Back) << std::hex << c.Color << " " << c.Mode;
    }
}

TEST(GraphicHelpersTest, StyledLinePatterns) {
    struct Case {
        int Pattern, Thickness, Left, Right, Unit;
        std::vector<AnsiString> Calls;
    } cases[] = {
        {0, 1, 0, 5, 0, {"Line 0,5-5,5 pen=0000FF"}},
        {0, 2, 0, 5, 0, {"Fill 0,4-5,6 brush=0000FF"}},
        {1, 1, 0, 5, 0, {"Fill 0,5-1,6 brush=0000FF", "Fill 2,5-3,6 brush=0000FF"}},
        {1, 3, 0, 9, 0, {"Ellipse 0,4-4,8"}},
        {2,
         1,
         0,
         9,
         4,
         {"Fill 0,5-2,6 brush=0000FF", "Fill 4,5-6,6 brush=0000FF", "Fill 8,5-9,6 brush=0000FF"}},
        {3,
         1,
         0,
         7,
         0,
         {"Fill 0,5-2,6 brush=0000FF", "Fill 3,5-5,6 brush=0000FF", "Fill 6,5-7,6 brush=0000FF"}},
        {4,
         1,
         0,
         7,
         0,
         {"Fill 0,5-2,6 brush=0000FF", "Fill 3,5-4,6 brush=0000FF", "Fill 5,5-7,6 brush=0000FF"}},
        {5,
         1,
         0,
         9,
         0,
         {"Fill 0,5-2,6 brush=0000FF", "Fill 3,5-4,6 brush=0000FF", "Fill 5,5-6,6 brush=0000FF",
          "Fill 7,5-9,6 brush=0000FF"}},
        {3, 0, 0, 2, 0, {"Fill 0,5-2,6 brush=0000FF"}}, // no thickness draws one pixel, not forever
    };
    for (const Case& c : cases) {
        TRecordingCanvas canvas;
        DrawStyledLine(canvas, clRed, c.Pattern, c.Thickness, c.Left, c.Right, 5, c.Unit);
        EXPECT_EQ(canvas.Log, c.Calls) << c.Pattern << "/" << c.Thickness;
    }
}

TEST(StreamOutputTest, LinesEndWithCrLf) {
    TRVMemoryStream stream;
    WriteText(stream, "a");
    WriteTextLine(stream, "b");
    WriteTextOptLine(stream, "c", false);
    WriteTextOptLine(stream, "d", true);
    EXPECT_EQ(AnsiString(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size())),
              "ab\r\ncd\r\n");
}

} // namespace
