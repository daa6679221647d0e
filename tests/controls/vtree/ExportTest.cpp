// The string tree's text exports: quoting in every text variant, levels as
// separators, indent cells and tabs, escaping in HTML and RTF, the CF_HTML
// envelope's offsets, and the blocks rendered for the clipboard.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TreeHarness.h"
#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesClipboard.h"

namespace {

// Texts by node path ("0.1") and column; a missing cell shows the path.
struct TExportFixture {
    TTestView View;
    TVirtualStringTree Tree{nullptr};
    std::map<std::pair<std::string, TColumnIndex>, WideString> Texts;

    TExportFixture() {
        Tree.SetView(&View);
        Tree.WMSize();
        Tree.OnGetText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex Column, TVSTTextType,
                                WideString& Text) {
            auto it = Texts.find({Path(Node), Column});
            Text = it != Texts.end() ? it->second : AnsiToWide(Path(Node));
        };
    }
    std::string Path(PVirtualNode Node) {
        std::string path;
        for (; Node != Tree.RootNode(); Node = Node->Parent)
            path = std::to_string(Node->Index) + (path.empty() ? "" : "." + path);
        return path;
    }
    // A chain of Depth nodes below the first top-level node, and Roots top-level nodes.
    void Chain(int Roots, int Depth) {
        Tree.SetRootNodeCount(uint32_t(Roots));
        PVirtualNode node = Tree.RootNode()->FirstChild;
        for (int i = 0; i < Depth; ++i) {
            Tree.SetChildCount(node, 1);
            node = node->FirstChild;
        }
        Tree.FullExpand();
    }
    void Columns(std::initializer_list<const char16_t*> Captions) {
        for (const char16_t* caption : Captions) {
            TVirtualTreeColumn* column = Tree.Header()->Columns()->Add();
            column->SetWidth(50);
            column->SetText(caption);
        }
        Tree.Header()->SetMainColumn(0);
    }
};

// ---- Text and CSV ------------------------------------------------------------------------

TEST(VirtualTreeExport, CellsWithASeparatorAQuoteOrALineBreakAreQuotedInEveryVariant) {
    struct TCase {
        const char* Name;
        std::u16string Cell;
        std::string Tab; // 8-bit, tab-separated
        std::string Csv; // 8-bit, ';'
        std::u16string Unicode;
    };
    const std::vector<TCase> cases = {
        {"plain", u"ab", "ab", "ab", u"ab"},
        {"a tab", u"a\tb", "\"a\tb\"", "a\tb", u"\"a\tb\""},
        {"a semicolon", u"a;b", "a;b", "\"a;b\"", u"a;b"},
        {"quotes", u"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\"", u"\"say \"\"hi\"\"\""},
        {"a line break", u"one\r\ntwo", "\"one\r\ntwo\"", "\"one\r\ntwo\"", u"\"one\r\ntwo\""},
        {"a lone surrogate", u"x\xD800y", "x?y", "x?y", u"x\xFFFDy"},
    };
    for (bool withColumns : {false, true}) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (withColumns ? ", columns" : ", no columns"));
            TExportFixture f;
            f.Chain(1, 0);
            if (withColumns) f.Columns({u"N"});
            f.Texts[{"0", withColumns ? 0 : NoColumn}] = c.Cell;
            const std::string head = withColumns ? "N\r\n" : "";
            EXPECT_EQ(head + c.Tab + "\r\n", f.Tree.ExportToText(skAll, '\t'));
            EXPECT_EQ(head + c.Csv + "\r\n", f.Tree.ExportToText(skAll, ';'));
            EXPECT_EQ(AnsiToWide(head) + c.Unicode + u"\r\n", f.Tree.ExportToUnicodeText(skAll, u'\t'));
        }
    }
}

TEST(VirtualTreeExport, LevelsBecomeLeadingAndTrailingSeparators) {
    TExportFixture f;
    f.Chain(2, 2);
    EXPECT_EQ("0\r\n\t0.0\r\n\t\t0.0.0\r\n1\r\n", f.Tree.ExportToText(skAll, '\t'));

    f.Columns({u"Name", u"Value, \"unit\""});
    f.Texts[{"0", 1}] = u"a";
    f.Texts[{"0.0", 1}] = u"b";
    f.Texts[{"0.0.0", 1}] = u"c";
    f.Texts[{"1", 1}] = u"d";
    EXPECT_EQ("Name,,,\"Value, \"\"unit\"\"\"\r\n"
              "0,,,a\r\n"
              ",0.0,,b\r\n"
              ",,0.0.0,c\r\n"
              "1,,,d\r\n",
              f.Tree.ExportToText(skAll, ','));
    // Only the chosen nodes go, the levels counted among them.
    f.Tree.SetSelected(f.Tree.RootNode()->FirstChild->FirstChild, true);
    EXPECT_EQ(u"Name\t\t\"Value, \"\"unit\"\"\"\r\n\t0.0\tb\r\n",
              f.Tree.ExportToUnicodeText(skSelected, u'\t'));
}

// ---- HTML --------------------------------------------------------------------------------

std::vector<std::string> Rows(const std::string& Html) {
    std::vector<std::string> rows;
    const std::string mark = " <tr class=\"default\">";
    for (size_t at = Html.find(mark); at != std::string::npos;) {
        const size_t next = Html.find(mark, at + 1);
        rows.push_back(Html.substr(at, next == std::string::npos ? std::string::npos : next - at));
        at = next;
    }
    return rows;
}

int Count(const std::string& Text, const std::string& Part) {
    int n = 0;
    for (size_t at = Text.find(Part); at != std::string::npos; at = Text.find(Part, at + 1))
        ++n;
    return n;
}

TEST(VirtualTreeExport, HtmlIndentsByLevelAndEscapesEveryText) {
    TExportFixture f;
    f.Chain(1, 3);
    f.Columns({u"<Name>"});
    f.Texts[{"0.0.0", 0}] = u"a<b>&\"c\"";
    f.Texts[{"0", 0}] = u"\xD83D\xDE00\xDC00";
    f.Tree.Font()->SetName("Sans & \"Co\"");
    const std::string html = f.Tree.ExportToHTML(skAll, u"T&C");
    const std::vector<std::string> rows = Rows(html);
    ASSERT_EQ(4u, rows.size());
    // Level 2 of 3: two indent cells and a cell spanning the two levels below it.
    EXPECT_EQ(2, Count(rows[2], "&nbsp;</td>"));
    EXPECT_NE(std::string::npos, rows[2].find("colspan=\"2\""));
    EXPECT_NE(std::string::npos, rows[2].find(">a&lt;b&gt;&amp;&quot;c&quot;</td>"));
    EXPECT_EQ(0, Count(rows[3], "colspan"));
    // A pair is one character; a low surrogate alone is replaced.
    EXPECT_NE(std::string::npos, rows[0].find(">\xF0\x9F\x98\x80\xEF\xBF\xBD</td>"));
    EXPECT_NE(std::string::npos, html.find("colspan=\"4\""));
    EXPECT_NE(std::string::npos, html.find(">&lt;Name&gt;</th>"));
    EXPECT_NE(std::string::npos, html.find("caption=\"T&amp;C\""));
    EXPECT_NE(std::string::npos, html.find("Sans &amp; &quot;Co&quot;"));
    EXPECT_EQ(std::string::npos, html.find("\"Co\""));
}

TEST(VirtualTreeExport, AnHtmlTableOfATreeWithAFrameHasABorderOneWiderThanTheRing) {
    struct TCase {
        const char* Name;
        TBorderStyle Style;
        int Width;
        std::u16string Caption;
        std::string Attributes; // between the background colour and the cell spacing
    };
    const TCase cases[] = {
        {"a frame", TBorderStyle::bsSingle, 0, u"", "  border=\"1\" frame=box"},
        {"a frame and a ring", TBorderStyle::bsSingle, 2, u"", "  border=\"3\" frame=box"},
        {"a frame and a caption", TBorderStyle::bsSingle, 0, u"T", " caption=\"T\" border=\"1\" frame=box"},
        {"no frame", TBorderStyle::bsNone, 2, u"", " "},
        {"no frame, a caption", TBorderStyle::bsNone, 0, u"T", " caption=\"T\""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TExportFixture f;
        f.Chain(1, 0);
        f.Tree.SetColor(clRed);
        f.Tree.SetBorderStyle(c.Style);
        f.Tree.SetBorderWidth(c.Width);
        const std::string html = f.Tree.ExportToHTML(skAll, c.Caption);
        const std::string open = "<table class=\"default\" bgcolor=#FF0000";
        const size_t at = html.find(open);
        ASSERT_NE(std::string::npos, at);
        const size_t end = html.find("\r\n", at);
        EXPECT_EQ(open + c.Attributes + " cellspacing=\"0\" cellpadding=4>", html.substr(at, end - at));
    }
}

TEST(VirtualTreeExport, HtmlDeclaresItsEncodingOnceAlsoInTheEnvelope) {
    TExportFixture f;
    f.Chain(1, 0);
    const std::string charset = "<META http-equiv=Content-Type content=\"text/html; charset=utf-8\">";
    const std::string html = f.Tree.ExportToHTML(skAll);
    // First, so that it opens the head that holds the style sheet.
    const std::string opening = charset + "\r\n<style type=\"text/css\">\r\n";
    EXPECT_EQ(opening, html.substr(0, opening.size()));
    EXPECT_EQ(1, Count(html, "charset="));

    f.Tree.SetSelected(f.Tree.RootNode()->FirstChild, true);
    STGMEDIUM medium;
    ASSERT_EQ(S_OK, f.Tree.RenderOLEData(MakeFormatEtc(HTMLFormat()), medium, false));
    const std::string block(medium.hGlobal->begin(), medium.hGlobal->end());
    ReleaseStgMedium(medium);
    EXPECT_EQ(1, Count(block, "charset="));
    EXPECT_EQ(html.substr(charset.size() + 2), block.substr(269, html.size() - charset.size() - 2))
        << "the envelope holds the table as it is";
}

TEST(VirtualTreeExport, TheHtmlEnvelopeGivesTheByteOffsetsOfItsParts) {
    for (size_t size : {size_t(0), size_t(1000)}) {
        SCOPED_TRACE(size);
        const std::string fragment(size, 'x');
        std::string html = fragment;
        WrapClipboardHTML(html);
        auto field = [&](const std::string& Name) {
            const size_t at = html.find(Name + ":");
            return std::stoul(html.substr(at + Name.size() + 1, 8));
        };
        EXPECT_EQ(97u, field("StartHTML"));
        EXPECT_EQ(269u, field("StartFragment"));
        EXPECT_EQ(269u + size, field("EndFragment"));
        EXPECT_EQ(301u + size, field("EndHTML"));
        EXPECT_EQ(html.size(), field("EndHTML"));
        EXPECT_EQ("<!DOCTYPE", html.substr(97, 9));
        EXPECT_EQ(fragment, html.substr(269, size));
        EXPECT_NE(std::string::npos, html.find("charset=utf-8"));
    }
    std::string html(1000, 'x');
    WrapClipboardHTML(html);
    EXPECT_EQ("Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00001301\r\nStartFragment:00000269\r\n"
              "EndFragment:00001269\r\n",
              html.substr(0, 97));
}

// ---- RTF ---------------------------------------------------------------------------------

TEST(VirtualTreeExport, RtfWritesEveryUnitAsASignedEscapeAndTabsByLevel) {
    TExportFixture f;
    f.Chain(1, 3);
    f.Texts[{"0", NoColumn}] = u"A\x8000\xD83D\xDE00\xDC00";
    f.Tree.Font()->SetName("Odd{Name}\\");
    const std::string rtf = f.Tree.ExportToRTF(skAll);
    EXPECT_NE(std::string::npos,
              rtf.find(" \\u65\\'3f\\u-32768\\'3f\\u-10179\\'3f\\u-8704\\'3f\\u-3\\'3f\\cell"));
    EXPECT_NE(std::string::npos, rtf.find("\\pard\\intbl\\tab\\tab  \\u48\\'3f\\u46"));
    EXPECT_EQ(0,
              rtf.find("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1043{\\fonttbl{\\f0 Odd\\{Name\\}\\\\;}}"));
    EXPECT_EQ(4, Count(rtf, "\\row"));
    // Groups open and close in pairs, whatever the names held.
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(0, depth);
}

// ---- Rendering for the clipboard ---------------------------------------------------------

TEST(VirtualTreeExport, TheTextFormatsRenderTerminatedBlocksInTheirListOrder) {
    TExportFixture f;
    f.Chain(1, 0);
    f.Tree.ClipboardFormats()->Add("Plain text");
    f.Tree.ClipboardFormats()->Add("CSV");
    f.Tree.ClipboardFormats()->Add("Unicode text");
    f.Tree.ClipboardFormats()->Add("HTML Format");
    f.Tree.ClipboardFormats()->Add("Rich Text Format");
    TFormatEtcArray formats;
    f.Tree.GetNativeClipboardFormats(formats);
    std::vector<TClipFormat> order;
    for (const FORMATETC& e : formats)
        order.push_back(e.cfFormat);
    EXPECT_EQ((std::vector<TClipFormat>{HTMLFormat(), RTFFormat(), CSVFormat(), CF_UNICODETEXT, CF_TEXT}),
              order);

    f.Tree.SetSelected(f.Tree.RootNode()->FirstChild, true);
    auto render = [&](TClipFormat Format) {
        STGMEDIUM medium;
        EXPECT_EQ(S_OK, f.Tree.RenderOLEData(MakeFormatEtc(Format), medium, false));
        return medium.hGlobal ? *medium.hGlobal : TBytes();
    };
    EXPECT_EQ((TBytes{'0', '\r', '\n', 0}), render(CF_TEXT));
    EXPECT_EQ((TBytes{'0', 0, '\r', 0, '\n', 0, 0, 0}), render(CF_UNICODETEXT));
    const TBytes html = render(HTMLFormat());
    ASSERT_FALSE(html.empty());
    EXPECT_EQ(0, html.back());
    EXPECT_EQ(html.size() - 1, std::stoul(std::string(html.begin() + 41, html.begin() + 49)));

    // Nothing selected: the fixed parts still go.
    f.Tree.ClearSelection();
    EXPECT_EQ((TBytes{0}), render(CF_TEXT));
    STGMEDIUM medium;
    EXPECT_EQ(E_FAIL, f.Tree.RenderOLEData(MakeFormatEtc(CF_BITMAP), medium, false));
}

} // namespace
