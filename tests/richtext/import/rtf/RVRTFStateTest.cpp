// The control-word table, what property words do to the reader's state,
// the tables of the document header, and the state shared between groups
// until one changes it.
#include "RVRTFTestSupport.h"
#include "richtext/import/rtf/RVRTFKeywords.h"

namespace {

// The reader's state when the first text of Body is emitted.
struct TSeen {
    TRVRTFCharProperties Char;
    TRVRTFParaProperties Para;
    TRVRTFDocProperties Doc;
    std::optional<TRVRTFRowProperties> Row;
    std::vector<TColor> Colors;
    std::vector<TRVRTFFont> Fonts;
    int32_t HeaderY = 0;
};

TSeen SeenAtText(const std::string& Header, const std::string& Body) {
    TSeen seen;
    bool done = false;
    TRVRTFReader reader(nullptr);
    reader.OnNewText = [&](TRVRTFReader* R, const AnsiString&, TRVRTFPosition) {
        if (done) return;
        done = true;
        seen.Char = R->State().Char();
        seen.Para = R->FinalisedPara();
        seen.Doc = R->State().Doc();
        if (R->State().Row()) seen.Row = *R->State().Row();
        seen.Colors = R->ColorList();
        for (int i = 0; i < R->FontList().Count(); ++i)
            seen.Fonts.push_back(R->FontList().Items(i));
        seen.HeaderY = R->HeaderY();
    };
    auto stream = StreamOf("{\\rtf1" + Header + Body + " x}");
    EXPECT_EQ(reader.ParseRtfStream(*stream), rtf_ec_OK) << Body;
    EXPECT_TRUE(done) << Body;
    return seen;
}

const char* Colors3 = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

TEST(RVRTFKeywordsTest, TheTableIsSortedAndEveryWordIsFound) {
    for (int i = 1; i < RVRTFKeywordCount; ++i)
        EXPECT_LE(RtfKeywordRecord(i - 1).Keyword, RtfKeywordRecord(i).Keyword);
    for (int i = 0; i < RVRTFKeywordCount; ++i) {
        const TRVRTFsymbol& r = RtfKeywordRecord(i);
        int found = FindRtfKeyword(r.Keyword);
        ASSERT_GE(found, 0) << r.Keyword;
        EXPECT_EQ(RtfKeywordRecord(found).Keyword, r.Keyword);
    }
    EXPECT_EQ(FindRtfKeyword("B"), -1) << "keywords are case-sensitive";
    EXPECT_EQ(FindRtfKeyword("zzzz"), -1);
    EXPECT_EQ(FindRtfKeyword(""), -1);
    EXPECT_EQ(RtfKeywordRecord(FindRtfKeyword("pard")).Index, ipropParaReset);
}

TEST(RVRTFStateTest, CharacterWords) {
    struct TCase {
        const char* Body;
        std::function<void(const TRVRTFCharProperties&)> Check;
    } cases[] = {
        {"\\fs23", [](auto& C) { EXPECT_EQ(C.Size, 12); }},
        {"\\fs21", [](auto& C) { EXPECT_EQ(C.Size, 10); }},
        {"\\fs", [](auto& C) { EXPECT_EQ(C.Size, 12); }},
        {"\\fs-8", [](auto& C) { EXPECT_EQ(C.Size, 0); }},
        {"\\ul\\ulnone7", [](auto& C) { EXPECT_FALSE(C.Style & fsUnderline); }},
        {"\\uldb\\uld0",
         [](auto& C) {
             EXPECT_FALSE(C.Style & fsUnderline);
             EXPECT_EQ(C.UnderlineType, rvutDouble);
         }},
        {"\\ulwave99", [](auto& C) { EXPECT_EQ(C.UnderlineType, rvutNormal); }},
        {"\\cf1\\cf5", [](auto& C) { EXPECT_EQ(C.Color, TColor(0x0000FF)); }},
        {"\\cf0", [](auto& C) { EXPECT_EQ(C.Color, RVRTFAutoColor); }},
        {"\\chcbpat0", [](auto& C) { EXPECT_EQ(C.BackColor, clNone); }},
        {"\\chcbpat2", [](auto& C) { EXPECT_EQ(C.BackColor, TColor(0xFF0000)); }},
        {"\\highlight3", [](auto& C) { EXPECT_EQ(C.BackColor, TColor(0xFFFF00)); }},
        {"\\highlight2\\highlight0", [](auto& C) { EXPECT_EQ(C.BackColor, clNone); }},
        {"\\b\\i\\strike\\caps\\super\\up4",
         [](auto& C) {
             EXPECT_EQ(C.Style, TFontStyles(fsBold | fsItalic | fsStrikeOut));
             EXPECT_EQ(C.StyleEx, rvfsAllCaps);
             EXPECT_EQ(C.SubSuperScript, rvsssSuperScript);
             EXPECT_EQ(C.VShift, 4);
         }},
        {"\\b\\plain", [](auto& C) { EXPECT_EQ(C.Style, 0u); }},
        {"\\dn", [](auto& C) { EXPECT_EQ(C.VShift, -6); }},
        {"\\f1", [](auto& C) { EXPECT_EQ(C.FontIndex, 1); }},
        {"\\f9", [](auto& C) { EXPECT_EQ(C.FontIndex, 0) << "an unknown font is the default one"; }},
        {"\\charscalex50\\expndtw-20",
         [](auto& C) {
             EXPECT_EQ(C.CharScale, 50);
             EXPECT_EQ(C.CharSpacing, -20);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Body);
        c.Check(SeenAtText(std::string("{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}") + Colors3, c.Body).Char);
    }
}

TEST(RVRTFStateTest, ParagraphWords) {
    struct TCase {
        const char* Body;
        std::function<void(const TRVRTFParaProperties&)> Check;
    } cases[] = {
        {"\\brdrt\\brdrs\\brdrdb",
         [](auto& P) {
             ASSERT_TRUE(P.Border);
             EXPECT_EQ(P.Border->Sides[rtf_side_Top].Type, 1);
             EXPECT_EQ(P.Border->Sides[rtf_side_Top].Width, 10);
         }},
        {"\\brdrb\\brdrs\\brdrw15\\brsp40\\brdrcf1",
         [](auto& P) {
             ASSERT_TRUE(P.Border);
             const TRVRTFBorderSide& s = P.Border->Sides[rtf_side_Bottom];
             EXPECT_EQ(s.Width, 15);
             EXPECT_EQ(s.Space, 40);
             EXPECT_EQ(s.Color, TColor(0x0000FF));
         }},
        {"\\tqr\\tldot\\tx1440\\tx2880",
         [](auto& P) {
             ASSERT_EQ(P.Tabs.size(), 2u);
             EXPECT_EQ(P.Tabs[0].Position, 1440);
             EXPECT_EQ(P.Tabs[0].Align, 1);
             EXPECT_EQ(P.Tabs[0].Leader, 1);
             EXPECT_EQ(P.Tabs[1].Position, 2880);
             EXPECT_EQ(P.Tabs[1].Align, 0);
             EXPECT_EQ(P.Tabs[1].Leader, 0);
         }},
        {"\\fi-360\\li720\\jclisttab\\tx720\\tx2000",
         [](auto& P) {
             EXPECT_EQ(P.ListTabPosition, 720);
             ASSERT_EQ(P.Tabs.size(), 1u);
             EXPECT_EQ(P.Tabs[0].Position, 2000);
         }},
        {"\\cbpat1\\shading5000\\cfpat2",
         [](auto& P) {
             EXPECT_EQ(P.Shading, 0) << "finalised";
             EXPECT_EQ(P.Background, TColor(0x7F007F));
         }},
        {"\\shading2500", [](auto& P) { EXPECT_EQ(P.Background, TColor(0xBFBFBF)); }},
        {"\\qc\\sb120\\sa60\\keepn\\sl360\\slmult1",
         [](auto& P) {
             EXPECT_EQ(P.Alignment, rvaCenter);
             EXPECT_EQ(P.SpaceBefore, 120);
             EXPECT_EQ(P.SpaceAfter, 60);
             EXPECT_TRUE(P.KeepWithNext);
             EXPECT_EQ(P.LineSpacing, 360);
         }},
        {"\\qc\\li100\\pard",
         [](auto& P) {
             EXPECT_EQ(P.Alignment, rvaLeft);
             EXPECT_EQ(P.LeftIndent, 0);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Body);
        c.Check(SeenAtText(Colors3, c.Body).Para);
    }
}

TEST(RVRTFStateTest, RowAndDocumentWords) {
    TSeen seen = SeenAtText(Colors3, "\\trowd\\trrh-400\\trleft-100\\clvmgf\\clcbpat1\\cellx1000\\cellx2000");
    ASSERT_TRUE(seen.Row);
    EXPECT_EQ(seen.Row->Height, 400);
    EXPECT_EQ(seen.Row->Left, -100);
    ASSERT_EQ(seen.Row->Cells.size(), 3u) << "two cells and the one being described";
    EXPECT_EQ(seen.Row->Cells[0].VMerge, 1);
    EXPECT_EQ(seen.Row->Cells[0].Color, TColor(0x0000FF));
    EXPECT_EQ(seen.Row->Cells[1].RightBoundary, 2000);
    seen = SeenAtText("", "\\paperh\\paperw5000\\landscape\\margl10");
    EXPECT_EQ(seen.Doc.PaperHeight, 15840);
    EXPECT_EQ(seen.Doc.PaperWidth, 5000);
    EXPECT_TRUE(seen.Doc.Landscape);
    EXPECT_EQ(seen.Doc.LeftMargin, 10);
    // The header distance is not restored at a group's end.
    EXPECT_EQ(SeenAtText("", "{\\headery100}").HeaderY, 100);
}

TEST(RVRTFStateTest, AccumulationsHaveLimits) {
    std::string tabs;
    for (int i = 1; i <= RVRTFMaxTabs + 30; ++i)
        tabs += "\\tx" + std::to_string(i * 10);
    EXPECT_EQ(int(SeenAtText("", tabs).Para.Tabs.size()), RVRTFMaxTabs);
    std::string name(RVRTFMaxNameLength * 2, 'n');
    TSeen seen = SeenAtText("{\\fonttbl{\\f0 " + name + ";}}", "");
    ASSERT_EQ(seen.Fonts.size(), 1u);
    EXPECT_EQ(int(seen.Fonts[0].Name.size()), RVRTFMaxNameLength);
    // A long field instruction is cut, and what follows is still read.
    TReaderLog log =
        ReadEvents("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"" +
                   std::string(RVRTFMaxFieldInstruction * 2, 'x') + "\"}{\\fldrslt link}} after}");
    EXPECT_EQ(log.Result, rtf_ec_OK);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"p:link", "c: after"}));
}

TEST(RVRTFStateTest, HeaderTables) {
    TSeen seen =
        SeenAtText("{\\fonttbl{\\f0\\fcharset204 Arial Cyr;}{\\f1\\fcharset0 Times Cyr;}{\\f2\\fcharset300 "
                   "Other;}}{\\colortbl;\\red300\\green-5\\blue7;;}",
                   "");
    ASSERT_EQ(seen.Fonts.size(), 3u);
    EXPECT_EQ(seen.Fonts[0].Name, "Arial") << "the charset's ending goes";
    EXPECT_EQ(seen.Fonts[1].Name, "Times Cyr") << "another charset keeps it";
    EXPECT_EQ(seen.Fonts[2].Charset, 77);
    ASSERT_GE(seen.Colors.size(), 3u);
    EXPECT_EQ(seen.Colors[0], RVRTFAutoColor);
    EXPECT_EQ(seen.Colors[1], RGB(255, 0, 7)) << "components are clamped to 0..255";
    EXPECT_EQ(seen.Colors[2], RVRTFAutoColor);
}

TEST(RVRTFStateTest, ListTables) {
    TRVRTFReader reader(nullptr);
    auto stream =
        StreamOf("{\\rtf1{\\*\\listtable{\\list\\listid7{\\listlevel\\levelnfc4{\\leveltext\\'02\\'00."
                 "tail;}{\\levelnumbers\\'01;}}{\\listname Mine;}}}{\\*\\listoverridetable{\\listoverride"
                 "\\listid7\\ls3{\\lfolevel\\listoverridestartat\\levelstartat5}}}\\ls3 x}");
    ASSERT_EQ(reader.ParseRtfStream(*stream), rtf_ec_OK);
    ASSERT_EQ(reader.ListTable().size(), 1u);
    const TRVRTFList97& list = reader.ListTable()[0];
    EXPECT_EQ(list.Id, 7);
    EXPECT_EQ(list.Name, "Mine;") << "the list name keeps its semicolon";
    ASSERT_EQ(list.Levels.size(), 1u);
    EXPECT_EQ(list.Levels[0].LevelText, AnsiString("\x02\x00.", 3)) << "cut to its count";
    EXPECT_EQ(list.Levels[0].NumberType, 2);
    ASSERT_EQ(reader.ListOverrideTable().size(), 1u);
    const TRVRTFListOverride97& o = reader.ListOverrideTable()[0];
    EXPECT_EQ(o.ListIndex, 0);
    EXPECT_EQ(o.Number, 3);
    ASSERT_EQ(o.Levels.size(), 1u);
    EXPECT_TRUE(o.Levels[0].StartOverride);
    EXPECT_EQ(o.Levels[0].Start, 5);
}

TEST(RVRTFStateTest, TablesBegunAgainInsideThemselves) {
    // A table of the header started again inside one of its entries
    // leaves the entry without its table.
    for (const char* rtf : {"{\\rtf1{\\*\\listtable{\\list{\\*\\listtable}{\\listlevel{\\leveltext x;}}}}x}",
                            "{\\rtf1{\\*\\listoverridetable{\\listoverride{\\*\\listoverridetable}{\\lfolevel"
                            "\\levelstartat2}}}x}",
                            "{\\rtf1{\\fonttbl{\\f0{\\fonttbl}\\fcharset204 a;}}x}",
                            "{\\rtf1{\\stylesheet{\\s1{\\stylesheet}\\sbasedon0 a;}}x}"}) {
        SCOPED_TRACE(rtf);
        TReaderLog log = ReadEvents(rtf);
        EXPECT_NE(log.Result, rtf_ec_Assertion);
    }
}

TEST(RVRTFStateTest, GroupsShareStateUntilOneChangesIt) {
    TRVRTFReaderState outer;
    outer.EditChar().Size = 20;
    TRVRTFReaderState inner = outer;
    EXPECT_EQ(&inner.Char(), &outer.Char()) << "a copy shares the record";
    inner.EditChar().Size = 8;
    EXPECT_NE(&inner.Char(), &outer.Char());
    EXPECT_EQ(outer.Char().Size, 20);

    TRVRTFStateStack stack;
    for (int i = 0; i < 1000; ++i)
        stack.Push(outer);
    stack.Push(inner);
    EXPECT_EQ(stack.Depth(), 1001);
    ASSERT_NE(stack.Outer(1), nullptr);
    EXPECT_EQ(stack.Outer(1)->Char().Size, 20);
    EXPECT_EQ(stack.Outer(1001), nullptr);
    EXPECT_EQ(stack.Pop().Char().Size, 8);
    // Changing the innermost of equal saved states changes it alone.
    stack.EditTop().EditChar().Size = 30;
    EXPECT_EQ(stack.Pop().Char().Size, 30);
    for (int i = 0; i < 999; ++i)
        EXPECT_EQ(stack.Pop().Char().Size, 20);
    EXPECT_TRUE(stack.Empty());
}

} // namespace
