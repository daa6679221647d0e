// Lists and paragraph numbering from RTF: list styles made or found for
// the list table and for old-style numbering, markers and their numbers,
// and references to lists that are not there.
#include "RVRTFTestSupport.h"

namespace {

const std::string Fonts = "{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}";

std::string DecimalList(int Id, const std::string& Text = "\\'02\\'00.") {
    return "{\\list\\listid" + std::to_string(Id) + "{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext" +
           Text +
           ";}{\\levelnumbers\\'01;}\\fi-360\\li720}{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01);}\\li1440}"
           "}";
}

std::string Overrides(std::initializer_list<std::pair<int, int>> IdAndNumber) {
    std::string out = "{\\*\\listoverridetable";
    for (auto [id, number] : IdAndNumber)
        out += "{\\listoverride\\listid" + std::to_string(id) + "\\listoverridecount0\\ls" +
               std::to_string(number) + "}";
    return out + "}";
}

TEST(RVRTFListsTest, ListParagraphsGetNumberedMarkers) {
    TRVRTFReadResult r =
        ReadChecked("{\\rtf1" + Fonts + "{\\*\\listtable" + DecimalList(5) + "}" + Overrides({{5, 1}}) +
                    "\\pard\\ls1\\fi-360\\li720 one\\par two\\par\\ilvl1 sub\\par\\pard end}");
    ASSERT_EQ(r.Code, rtf_ec_OK);
    EXPECT_EQ(Summary(*r.Document), "[marker 0.0 1.]+one|[marker 0.0 2.]+two|[marker 0.1 a)]+sub|end");
    TRVListInfos& lists = r.Document->Style->ListStyles();
    ASSERT_EQ(lists.Count(), 1);
    const TRVListLevel& level = *lists[0]->Levels()[0];
    EXPECT_EQ(level.ListType, rvlstDecimal);
    EXPECT_EQ(level.FormatString, "%s.");
    EXPECT_EQ(level.LeftIndent, 48);
    EXPECT_EQ(level.MarkerIndent, 24);
    EXPECT_EQ(lists[0]->Levels()[1]->ListType, rvlstLowerAlpha);
    EXPECT_EQ(lists[0]->Levels()[1]->FormatString, "%1:s)");
}

TEST(RVRTFListsTest, EqualListsShareAStyleOnlyAcrossReads) {
    std::string rtf = "{\\rtf1" + Fonts + "{\\*\\listtable" + DecimalList(1) + DecimalList(2) + "}" +
                      Overrides({{1, 1}, {2, 2}}) +
                      "\\pard\\ls1\\fi-360\\li720 a\\par\\pard\\ls2\\fi-360\\li720 b\\par}";
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    TRVRTFDocument data;
    auto stream = StreamOf(rtf);
    ASSERT_EQ(options.LoadRTFFromStream(*stream, &data), rtf_ec_OK);
    EXPECT_EQ(data.Style->ListStyles().Count(), 2) << "the first style is taken by the first list";
    stream = StreamOf(rtf);
    ASSERT_EQ(options.LoadRTFFromStream(*stream, &data), rtf_ec_OK);
    EXPECT_EQ(data.Style->ListStyles().Count(), 2) << "a later read finds both";
    EXPECT_EQ(CheckRTFDocumentInvariants(data), "");
}

TEST(RVRTFListsTest, LevelTextsBecomeMarkerPatterns) {
    struct TCase {
        const char* Name;
        std::string Level;
        TRVListType Type;
        AnsiString Format;
    } cases[] = {
        {"DecimalWithTwoMarks", "\\levelnfc0{\\leveltext\\'03\\'00.);}", rvlstDecimal, "%s.)"},
        {"PercentOfTheText", "\\levelnfc0{\\leveltext\\'02\\'00%;}", rvlstDecimal, "%s%%"},
        {"SymbolBullet", "\\levelnfc23\\f1{\\leveltext\\'01\\u-3913 ?;}", rvlstBullet, "\xB7"},
        {"ByteBullet", "\\levelnfc23\\f1{\\leveltext\\'01\\'b7;}", rvlstBullet, "\xB7"},
        {"UpperRoman", "\\levelnfc1{\\leveltext\\'02\\'00.;}", rvlstUpperRoman, "%s."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRVRTFReadResult r = ReadChecked("{\\rtf1" + Fonts + "{\\*\\listtable{\\list\\listid9{\\listlevel" +
                                         c.Level + "}}}" + Overrides({{9, 1}}) + "\\pard\\ls1 a}");
        ASSERT_EQ(r.Document->Style->ListStyles().Count(), 1);
        const TRVListLevel& level = *r.Document->Style->ListStyles()[0]->Levels()[0];
        EXPECT_EQ(level.ListType, c.Type);
        EXPECT_EQ(level.FormatString, c.Format);
    }
}

TEST(RVRTFListsTest, OldStyleNumbering) {
    TRVRTFReadResult r =
        ReadChecked("{\\rtf1" + Fonts +
                    "{\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent360{\\pntxtb "
                    "\\'b7}}\\fi-360\\li360 a\\par}{\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta "
                    ".}}\\fi-360\\li360 b\\par}{\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li360 "
                    "c\\par}}");
    ASSERT_EQ(r.Code, rtf_ec_OK);
    EXPECT_EQ(Summary(*r.Document), "[marker 0.0 \xC2\xB7]+a|[marker 1.0 3.]+b|[marker 1.0 4.]+c");
    TRVListInfos& lists = r.Document->Style->ListStyles();
    ASSERT_EQ(lists.Count(), 2);
    EXPECT_EQ(lists[0]->Levels()[0]->ListType, rvlstBullet);
    EXPECT_EQ(lists[0]->Levels()[0]->FormatString, "\xB7");
    EXPECT_EQ(lists[1]->Levels()[0]->FormatString, "%s.");
}

TEST(RVRTFListsTest, OnlyAddedStylesGetMarkers) {
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    options.ParaStyleMode = rvrsUseClosest;
    TRVRTFReadResult r = ReadChecked("{\\rtf1" + Fonts + "{\\*\\listtable" + DecimalList(5) + "}" +
                                         Overrides({{5, 1}}) + "\\pard\\ls1 one\\par two}",
                                     options);
    EXPECT_EQ(Summary(*r.Document), "one|two");
    // Without a list table \ls names nothing.
    EXPECT_EQ(Summary(*ReadChecked("{\\rtf1" + Fonts + "\\pard\\ls1 one}").Document), "one");
}

TEST(RVRTFListsTest, ReferencesToMissingListsEndTheRead) {
    // The override's list is not in the list table.
    TRVRTFReadResult r = ReadRtfDocument("{\\rtf1" + Fonts + "{\\*\\listtable" + DecimalList(5) + "}" +
                                         Overrides({{6, 1}}) + "\\pard a\\par\\ls1 b\\par}");
    EXPECT_EQ(r.Code, rtf_ec_Aborted);
    EXPECT_EQ(Summary(*r.Document), "a");
    // A level the list does not have.
    r = ReadRtfDocument("{\\rtf1" + Fonts + "{\\*\\listtable" + DecimalList(5) + "}" + Overrides({{5, 1}}) +
                        "\\pard\\ls1\\ilvl7 b\\par c}");
    EXPECT_NE(r.Code, rtf_ec_OK);
    EXPECT_EQ(CheckRTFDocumentInvariants(*r.Document), "");
    EXPECT_EQ(Summary(*r.Document), "[marker 0.1 a)]+b") << "the marker keeps a level its list has";
}

} // namespace
