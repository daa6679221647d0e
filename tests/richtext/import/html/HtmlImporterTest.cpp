// Documents built from HTML: text and its styles, paragraphs and breaks,
// lists, pictures, links, fonts, the style sheet of "style" elements, and
// what the importer refuses.
#include "HtmlTestSupport.h"
#include "support/TestSupport.h"

using Items = std::vector<std::string>;

TEST(HtmlImporter, BuildsParagraphsOfStyledText) {
    TImported a = ImportUtf8("<p>Hello <b>world</b></p>");
    EXPECT_EQ(a.Items, (Items{"|s0:Hello ", "s1:world"}));
    ASSERT_EQ(a.Style().TextStyles().Count(), 2);
    EXPECT_EQ(a.Style().TextStyles()[1]->Style, TFontStyles(fsBold));
    EXPECT_EQ(a.Style().TextStyles()[0]->FontName, "Times New Roman");
    EXPECT_EQ(a.Style().TextStyles()[0]->Size, 12);

    // Importing again into the same document gives the same numbers.
    TRvHtmlImporter importer(nullptr);
    TRVHtmlDocument document;
    importer.Document = &document;
    for (int round = 0; round < 2; ++round) {
        importer.ImportHtml("<p>Hello <b>world</b></p>");
        EXPECT_EQ(DescribeItems(document), a.Items);
        EXPECT_EQ(document.Style->TextStyles().Count(), 2);
    }
}

TEST(HtmlImporter, ImportsEachTagOfItsTable) {
    const std::pair<const char*, Items> cases[] = {
        {"a<br><br>b", {"|s0:a", "|s0:", "|s0:b"}},
        {"<br>a", {"|s0:", "|s0:a"}},
        {"<p align=center>c</p><p>l</p>", {"|s0:c", "|s0:l"}},
        {"a<i>b</i><u>c</u><s>d</s><strong>e</strong>", {"|s0:a", "s1:b", "s2:c", "s3:d", "s4:e"}},
        {"<h1>T</h1>x", {"|s0:", "|s1:T", "|s0:x"}},
        {"a<hr>b", {"|s0:a", "|item -1", "|s0:b"}},
        {"<pre>a  b\nc</pre>", {"|s1:a  b", "|s1:", "s1:c"}},
        {"<script>x<b>y</b></script>z", {"|s0:z"}},
        {"<title>Doc</title>body", {"|s0:body"}},
        {"x<sup>2</sup>y", {"|s0:x", "s1:2", "s0:y"}},
        {"<span>a</span><span class=rvts9>b</span>", {"|s0:a", "s0:b"}},
        {"<center>c</center>", {"|s0:c"}},
        {"a<unknown>b", {"|s0:ab"}},
    };
    for (auto& [html, items] : cases)
        EXPECT_EQ(ImportUtf8(html).Items, items) << html;
}

TEST(HtmlImporter, KeepsAlignmentsAsParagraphStyles) {
    TImported a = ImportUtf8("<p align=center>c</p><div align=right>r</div><p>l</p>");
    const TCustomRVData& d = *a.Result.Document;
    ASSERT_EQ(d.ItemCount(), 3);
    EXPECT_EQ(a.Style().ParaStyles()[d.GetItemPara(0)]->Alignment, rvaCenter);
    EXPECT_EQ(a.Style().ParaStyles()[d.GetItemPara(1)]->Alignment, rvaRight);
    EXPECT_EQ(a.Style().ParaStyles()[d.GetItemPara(2)]->Alignment, rvaLeft);
}

TEST(HtmlImporter, ChangesFonts) {
    struct TCase {
        const char* Html;
        int Size;
    };
    const TCase cases[] = {
        {"<font size=+1>x</font>", 14},
        {"<font size=\"+1\"><font size=+1>x</font></font>", 18},
        {"<font size=+9>x</font>", 36},
        {"<font size=1>x</font>", 8},
        {"<sup>x</sup>", 6},
        {"<h2>x</h2>", 24},
    };
    for (const TCase& c : cases) {
        TImported a = ImportUtf8(c.Html);
        const TCustomRVData& d = *a.Result.Document;
        EXPECT_EQ(a.Style().TextStyles()[d.GetItemStyle(d.ItemCount() - 1)]->Size, c.Size) << c.Html;
    }
    // Superscript halves an 11-point font and gives it back as 12 points.
    TRvHtmlImporter importer(nullptr);
    importer.DefaultFontSize = 11;
    TImported sup = ImportUtf8("<sup>2</sup>x", &importer);
    EXPECT_EQ(sup.Style().TextStyles()[sup.Result.Document->GetItemStyle(1)]->Size, 12);
    // Repeated halving stops at one point.
    std::string subs;
    for (int i = 0; i < 20; ++i)
        subs += "<sub>";
    TImported deep = ImportUtf8(subs + "x");
    EXPECT_EQ(deep.Style().TextStyles()[deep.Result.Document->GetItemStyle(0)]->Size, 1);
    TImported face = ImportUtf8("<font face=\"Arial, Helvetica\" color=red>x</font>");
    EXPECT_EQ(face.Style().TextStyles()[1]->FontName, "Arial");
    EXPECT_EQ(face.Style().TextStyles()[1]->Color, clRed);
}

TEST(HtmlImporter, BuildsLists) {
    TImported a = ImportUtf8("<ul><li><b>One.</b> first<br></li><li>second</li></ul>after");
    EXPECT_EQ(a.Items,
              (Items{"|marker 0.0 #1", "s1:One.", "s0: first", "|marker 0.0 #2", "s0:second", "|s0:after"}));
    ASSERT_EQ(a.Style().ListStyles().Count(), 1);
    const TRVListLevel& level = *a.Style().ListStyles()[0]->Levels()[0];
    EXPECT_EQ(level.ListType, rvlstBullet);
    EXPECT_EQ(level.FormatString, "\xB7");
    EXPECT_EQ(level.LeftIndent, 48);

    TImported ol = ImportUtf8("<ol start=3><li>a<li value=7>b<li>c</ol>");
    EXPECT_EQ(ol.Items,
              (Items{"|marker 0.0 #3", "s0:a", "|marker 0.0 #7", "s0:b", "|marker 0.0 #8", "s0:c"}));
    EXPECT_EQ(ol.Style().ListStyles()[0]->Levels()[0]->ListType, rvlstDecimal);

    TImported nested = ImportUtf8("<ul><li>a<ul><li>b<ul><li>c</ul></ul></ul>");
    EXPECT_EQ(nested.Items,
              (Items{"|marker 0.0 #1", "s0:a", "|marker 0.1 #1", "s0:b", "|marker 0.2 #1", "s0:c"}));
    const TRVListLevelCollection& levels = nested.Style().ListStyles()[0]->Levels();
    ASSERT_EQ(levels.Count(), 3);
    EXPECT_EQ(levels[1]->FormatString, "o");
    EXPECT_EQ(levels[2]->FormatString, "\xA7");

    // A list after a closed one gets a list style of its own.
    TImported two = ImportUtf8("<ul><li>a</ul><ol><li>b</ol>");
    EXPECT_EQ(two.Items, (Items{"|marker 0.0 #1", "s0:a", "|marker 1.0 #1", "s0:b"}));
}

TEST(HtmlImporter, CapsListNesting) {
    std::string html;
    for (int i = 0; i < 100; ++i)
        html += "<ul><li>x";
    TImported a = ImportUtf8(html);
    EXPECT_EQ(a.Style().ListStyles()[0]->Levels().Count(), 32);
    EXPECT_FALSE(a.Result.Warnings.empty());
}

TEST(HtmlImporter, LoadsPicturesFromLocalFiles) {
    TTempFolder folder;
    WriteBmp(folder.Path() + "p.bmp", 40, 30);
    TRvHtmlImporter importer(nullptr);
    importer.BasePath = folder.Path();
    const std::pair<std::string, Items> cases[] = {
        {"<img src=\"p.bmp\">", {"|picture 0x0"}},
        {"<img src=\"p.bmp\" width=20>", {"|picture 20x15"}},
        {"<img src=\"p.bmp\" height=60>", {"|picture 80x60"}},
        {"<img src=\"p.bmp\" width=99999999>", {"|picture 32767x24575"}},
        {"a <img src=\"" + folder.Path() + "p.bmp\"/> b", {"|s0:a ", "picture 0x0", "s0:b"}},
    };
    for (auto& [html, items] : cases) {
        TImported a = ImportUtf8(html, &importer);
        EXPECT_EQ(a.Items, items) << html;
        EXPECT_TRUE(a.Result.Warnings.empty()) << html;
    }
    TImported shown = ImportUtf8("<img src=\"p.bmp\" alt=\"chart\">", &importer);
    auto& item = static_cast<TRVGraphicItemInfo&>(*shown.Result.Document->GetItem(0));
    EXPECT_EQ(item.Image->Width(), 40);
    AnsiString alt, file;
    shown.Result.Document->GetItemExtraStrProperty(0, rvespAlt, alt);
    shown.Result.Document->GetItemExtraStrProperty(0, rvespFileName, file);
    EXPECT_EQ(alt, "chart");
    EXPECT_EQ(file, folder.Path() + "p.bmp");
}

TEST(HtmlImporter, ShowsTheInvalidPictureForWhatItCannotLoad) {
    TTempFolder folder;
    std::ofstream(folder.Path() + "bad.bmp") << "not a picture";
    WriteBmp(folder.Path() + "p.bmp", 4, 4);
    for (const std::string& src :
         std::vector<std::string>{folder.Path() + "missing.bmp", folder.Path() + "bad.bmp",
                                  "file://" + folder.Path() + "p.bmp", "http://example.invalid/p.bmp"}) {
        TImported a = ImportUtf8("<img src=\"" + src + "\">");
        ASSERT_EQ(a.Items, (Items{"|picture 0x0"})) << src;
        EXPECT_EQ(static_cast<TRVGraphicItemInfo&>(*a.Result.Document->GetItem(0)).Image->Width(), 20) << src;
        ASSERT_EQ(a.Result.Warnings.size(), 1u) << src;
        EXPECT_NE(a.Result.Warnings[0].find("picture not loaded"), AnsiString::npos);
    }
}

TEST(HtmlImporter, BuildsTables) {
    TImported a = ImportUtf8("<p>before</p><table border=1 cellpadding=4 width=\"100%\">"
                             "<tr><td colspan=2><b>wide</b></td></tr>"
                             "<tr><td width=\"45%\">a</td><th>b</th></tr></table>after");
    EXPECT_EQ(a.Items, (Items{"|s0:before", "|table 2x2", "|s0:after"}));
    const TCustomRVData& d = *a.Result.Document;
    auto& table = dynamic_cast<const TRVTableItemInfo&>(*d.GetItem(1));
    EXPECT_EQ(CellItems(d, 1, 0, 0), "|s1:wide");
    EXPECT_EQ(CellItems(d, 1, 0, 1), "nil");
    EXPECT_EQ(table.GetCell(0, 0)->ColSpan, 2);
    EXPECT_EQ(CellItems(d, 1, 1, 0), "|s0:a");
    EXPECT_EQ(CellItems(d, 1, 1, 1), "|s1:b");
    EXPECT_EQ(table.BorderWidth, 1);
    EXPECT_EQ(table.CellBorderWidth, 1);
    EXPECT_EQ(table.CellHPadding, 4);
    EXPECT_EQ(table.BestWidth, -100);
    EXPECT_EQ(table.GetCell(1, 0)->BestWidth, -45);

    const std::pair<const char*, Items> cases[] = {
        // Text after an unclosed table is in its last cell; the table is kept.
        {"<table><tr><td>x</table", {"|table 1x1"}},
        {"<table><tr><td>x", {"|table 1x1"}},
        // A table open further out is not added.
        {"<table><tr><td><table><tr><td>in", {}},
        {"<table><tr><td>out<table><tr><td>in</table></td></tr></table>", {"|table 1x1"}},
        // Rows grow to the widest; cells, rows and tables out of place do little.
        {"<table><tr><td>1<tr><td>2<td>3</table>", {"|table 2x2"}},
        {"<td>x</td>y", {"|s0:x", "s0:y"}},
        {"<table></table>z", {"|s0:z"}},
        {"<table><tr><td rowspan=9999 colspan=9999>x</table>", {"|table 64x64"}},
    };
    for (auto& [html, items] : cases)
        EXPECT_EQ(ImportUtf8(html).Items, items) << html;
    TImported nested = ImportUtf8("<table><tr><td>out<table><tr><td>in</table></td></tr></table>");
    EXPECT_EQ(CellItems(*nested.Result.Document, 0, 0, 0), "|s0:out / |table 1x1");
    TImported last = ImportUtf8("<table><tr><td>x</table");
    EXPECT_EQ(CellItems(*last.Result.Document, 0, 0, 0), "|s0:x");
}

TEST(HtmlImporter, MakesLinksOfJumpStyles) {
    TRvHtmlImporter importer(nullptr);
    importer.BasePath = "/base/";
    TImported a =
        ImportUtf8("<a href=\"doc.html\">go</a> on <a name=here></a>x <a href=\"http://x\">y</a>", &importer);
    const TCustomRVData& d = *a.Result.Document;
    EXPECT_EQ(a.Items, (Items{"|s1:go", "s0: on ", "s0:x ", "s1:y"}));
    EXPECT_TRUE(a.Style().TextStyles()[1]->Jump);
    EXPECT_EQ(a.Style().TextStyles()[1]->Style, TFontStyles(fsUnderline));
    EXPECT_EQ(a.Style().TextStyles()[1]->Color, TColor(0xFF0000));
    EXPECT_EQ(std::get<AnsiString>(d.GetItemTag(0)), "/base/doc.html");
    EXPECT_EQ(std::get<AnsiString>(d.GetItemTag(3)), "http://x");
    ASSERT_NE(d.GetItemCheckpoint(2), nullptr);
    EXPECT_EQ(d.GetItemCheckpoint(2)->Name, "here");
}

TEST(HtmlImporter, ReadsTheFamilysStyleSheet) {
    TImported a =
        ImportUtf8("<style><!--\nbody { font-family: 'Arial'; font-size: 10pt; color: #000080; margin: 5px; "
                   "background-color: #ffffff; }\n"
                   "span.rvts1 { font-weight: bold; color: #ff0000; }\n"
                   "p,ul,ol { margin: 2px 0px 4px 8px; }\n"
                   ".rvps1 { text-align: center; border-style: solid; }\n"
                   "--></style><p class=rvps1><span class=rvts1>red</span> plain</p>");
    EXPECT_EQ(a.Items, (Items{"|s1:red", "s0: plain"}));
    const TFontInfo& base = *a.Style().TextStyles()[0];
    EXPECT_EQ(base.FontName, "arial");
    EXPECT_EQ(base.Size, 10);
    EXPECT_EQ(base.Color, TColor(0x800000));
    EXPECT_EQ(a.Style().TextStyles()[1]->Style, TFontStyles(fsBold));
    EXPECT_EQ(a.Style().TextStyles()[1]->Color, clRed);
    const TRVHtmlPageSettings& page = a.Result.Page;
    EXPECT_TRUE(page.MarginsSet);
    EXPECT_EQ(page.LeftMargin, 5);
    EXPECT_EQ(page.BottomMargin, 5);
    EXPECT_EQ(page.Color, clWhite);
    const TParaInfo& p0 = *a.Style().ParaStyles()[0];
    EXPECT_EQ(p0.SpaceBefore, 2);
    EXPECT_EQ(p0.SpaceAfter, 4);
    EXPECT_EQ(p0.LeftIndent, 8);
    const TParaInfo& centred = *a.Style().ParaStyles()[a.Result.Document->GetItemPara(0)];
    EXPECT_EQ(centred.Alignment, rvaCenter);
    EXPECT_EQ(centred.Border().Style, rvbSingle);
    EXPECT_EQ(centred.LeftIndent, 8);
}

TEST(HtmlImporter, TellsWhatItCouldNotTake) {
    TImported a = ImportUtf8("<html><body><blink>x &zz; y</blink></body></html>");
    EXPECT_EQ(a.Items, (Items{"|s0:x &zz; y"}));
    EXPECT_EQ(a.Result.Warnings, (std::vector<AnsiString>{"unknown tag <blink>", "unknown tag </blink>",
                                                          "1 unknown entities kept as text"}));
    EXPECT_TRUE(ImportUtf8("<html><head><title>t</title></head><body><p>x</p></body></html>")
                    .Result.Warnings.empty());
}

TEST(HtmlImporter, MapsASourceRangeToItems) {
    TRvHtmlImporter importer(nullptr);
    const std::string html = "<p>one</p><p>two</p><p>three</p>";
    importer.SourceSelStart = int(html.find("<p>two"));
    importer.SourceSelEnd = int(html.find("</p><p>three"));
    TImported a = ImportUtf8(html, &importer);
    EXPECT_EQ(importer.SelStartItem, 1);
    EXPECT_EQ(importer.SelEndItem, 1);
}

TEST(HtmlImporter, ReadsUtf8) {
    TRvHtmlImporter importer(nullptr);
    importer.Encoding = rvhtmleUTF8;
    TRVHtmlReadResult r = ReadHtmlDocument("\xEF\xBB\xBF<p>Привет &eacute;</p>", importer);
    ASSERT_EQ(r.Error, "");
    ASSERT_EQ(r.Document->ItemCount(), 1);
    EXPECT_EQ(AnsiToUtf8(0, r.Document->GetItemTextAnsi(0)), "Привет ?");
}

TEST(HtmlImporter, NeedsADocument) {
    TRvHtmlImporter importer(nullptr);
    EXPECT_THROW(importer.ImportHtml("x"), EZoroZudoError);
}

TEST(HtmlImporter, ListsInCellsNumberInTheDocument) {
    // The cell's list joins the document's numbering when its table is
    // added; a table dropped at the end of the input takes its list along.
    for (const char* html :
         {"<table><td><ul>>", "<table><tr><td><ol><li>a<li>b</ol></table>",
          "<table><tr><td><table><tr><td><ul><li>lost", "<table><td><table><td><ul>x<table"}) {
        TImported d = ImportUtf8(html);
        TRVMarkerList* markers = d.Result.Document->GetMarkerList(false);
        int listed = markers ? markers->Count() : 0;
        int inCells = 0;
        for (const std::string& line : d.Items)
            inCells += line.find("table") != std::string::npos;
        EXPECT_EQ(listed > 0, inCells > 0) << html;
    }
}
