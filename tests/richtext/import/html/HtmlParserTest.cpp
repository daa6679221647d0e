// The HTML tokenizer, its entities and white space, and the parsers of
// attribute and CSS values.
#include "HtmlTestSupport.h"

namespace {

// "!text" for a comment, "'text'" for text, "<name attr|attr>" for a tag.
std::string Tokens(const std::string& Html, TRVHTMLEncoding Encoding = rvhtmleANSI) {
    THtmlParser parser(Utf8ToAnsi(Html), Encoding, 0);
    parser.LastWasSpace = true;
    std::string out;
    for (int guard = 0; !parser.AtEnd() && guard < 1000; ++guard) {
        parser.Next();
        AnsiString token = Encoding == rvhtmleUTF8 ? parser.Token : AnsiToUtf8(0, parser.Token);
        if (parser.TokenKind == htkComment) out += "!" + token;
        if (parser.TokenKind == htkText) out += "'" + token + "'";
        if (parser.TokenKind == htkTag) {
            out += "<" + token;
            for (std::size_t i = 0; i < parser.Attributes.size(); ++i)
                out += (i ? "|" : " ") + parser.Attributes[i];
            out += ">";
        }
    }
    return out;
}

struct TTokenCase {
    const char* Html;
    const char* Tokens;
};

} // namespace

TEST(HtmlParser, CutsTextIntoTokens) {
    const TTokenCase cases[] = {
        {"<p>Hello</p>", "<p>'Hello'</p>"},
        {"<!-- a > b -->x", "!<!-- a > b -->'x'"},
        // Unterminated comment, tag and quoted value end at the end of the text.
        {"a<!-- open", "'a'!<!-- open"},
        {"<a href=\"x", "<a href=x>"},
        {"<b", "<b>"},
        {"<", "<>"},
        {"<a href=\"x y\" b=1 c='q r' d>", "<a href=x y|b=1|c='q|r'|d>"},
        {"<a  href = \"v\" >t", "<a href=v>'t'"},
        {"<br/>x", "<br>'x'"},
        {"<img src=\"c.bmp\"/>", "<img src=c.bmp|/>"},
        {"<TD\tALIGN=center\n>", "<TD ALIGN=center>"},
        {"</p >", "</p>"},
        // A line end ends a text token.
        {"one\ntwo", "'one ''two'"},
    };
    for (const TTokenCase& c : cases)
        EXPECT_EQ(Tokens(c.Html), c.Tokens) << c.Html;
}

TEST(HtmlParser, CollapsesWhiteSpaceAndDecodesEntities) {
    const TTokenCase cases[] = {
        {"a  \t b", "'a b'"},
        {"<p> lead", "<p>'lead'"},
        {"x<b> y</b>", "'x'<b>' y'</b>"},
        {"&amp;&lt;&gt;&quot;", "'&<>\"'"},
        {"&nbsp;&nbsp;x", "'  x'"},
        {"&copy", "'©'"},
        {"AT&T rocks", "'AT&T rocks;'"},
        {"&bogus;", "'&bogus;'"},
        {"&#65;&#1046;", "'AЖ'"},
        {"&#x41;&#X416;", "'AЖ'"},
        {"[&#0;&#abc;]", "'[]'"},
        // What the program's code page lacks is a question mark; so is a
        // reference to a surrogate or beyond Unicode.
        {"&eacute;&#70000;&#55296;&#99999999;", "'????"
                                                "'"},
    };
    for (const TTokenCase& c : cases)
        EXPECT_EQ(Tokens(c.Html), c.Tokens) << c.Html;
}

TEST(HtmlParser, DecodesEntitiesToUtf8) {
    EXPECT_EQ(Tokens("&eacute;&#1046;&#70000;&#55296;", rvhtmleUTF8),
              "'é\xD0\x96\xF0\x91\x85\xB0\xEF\xBF\xBD'");
}

TEST(HtmlParser, KeepsWhiteSpaceWhenNotCollapsing) {
    THtmlParser parser("a  \r\nb", rvhtmleANSI, 0);
    parser.CollapseSpaces = false;
    parser.Next();
    EXPECT_EQ(parser.Token, "a  \r");
    EXPECT_EQ(parser.Line, 2);
    parser.Next();
    EXPECT_EQ(parser.Token, "b");
    EXPECT_TRUE(parser.AtEnd());
}

TEST(HtmlParser, FindsAttributesIgnoringCase) {
    const std::vector<AnsiString> attrs = {"bare", "Align=Center", "align=left", "empty="};
    EXPECT_EQ(HtmlAttribute(attrs, "ALIGN"), "Center");
    EXPECT_EQ(HtmlAttribute(attrs, "bare"), "");
    EXPECT_FALSE(HasHtmlAttribute(attrs, "bare"));
    EXPECT_TRUE(HasHtmlAttribute(attrs, "empty"));
    EXPECT_EQ(HtmlAlignment(attrs, 3), 2);
    EXPECT_EQ(HtmlAlignment({"align=middle"}, 3), 3);
}

TEST(HtmlValues, ReadsColours) {
    const std::pair<const char*, TColor> cases[] = {
        {"#ff0000", 0x0000FF},   {"SiLvEr", 0xC0C0C0},
        {"silver", 0xC0C0C0},    {"zz", 0},
        {"00ff00", 0x00FF00},    {"#", 0},
        {"#FF000005", 0x050000}, {"#123456789", 0},
    };
    for (auto& [text, color] : cases)
        EXPECT_EQ(HtmlColor(text), color) << text;
}

TEST(HtmlValues, ConvertsSizesAndListKinds) {
    EXPECT_EQ(HtmlSizeToPoints(0), 8);
    EXPECT_EQ(HtmlSizeToPoints(3), 12);
    EXPECT_EQ(HtmlSizeToPoints(99), 36);
    EXPECT_EQ(HtmlPointsToSize(12), 3);
    EXPECT_EQ(HtmlPointsToSize(13), 4);
    EXPECT_EQ(HtmlPointsToSize(40), 7);
    const std::pair<const char*, int> kinds[] = {{"Disc", 1}, {"circle", 2}, {"SQUARE", 3},
                                                 {"1", 4},    {"a", 5},      {"A", 6},
                                                 {"i", 7},    {"I", 8},      {"x", 0}};
    for (auto& [text, kind] : kinds)
        EXPECT_EQ(HtmlListKind(text, 0), kind) << text;
}

TEST(HtmlValues, ReadsCssValues) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"color: #ff0000; margin: 5px", "color", "#ff0000"},
        {"background-color: red; color: blue", "color", "red"},
        {"font-family: 'times new roman', serif", "font-family", "times new roman"},
        {"background-image: url(\"a.bmp\")", "background-image", "url(\"a.bmp\""},
        {"margin:5px}", "margin", "5px"},
        {"color red", "width", ""},
    };
    for (auto& [rule, name, value] : cases)
        EXPECT_EQ(CssValue(rule, name), value) << rule;
    // At most 100 characters are read.
    EXPECT_EQ(CssValue("x:" + std::string(200, 'a'), "x").size(), 99u);
}
