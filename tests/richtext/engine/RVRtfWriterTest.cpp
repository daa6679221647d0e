// The RTF writer: the header and tables, paragraph and character words, lists,
// fields, notes, pictures, and saves to streams and files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "RVWriterTestData.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/formats/rtf/RVRtfTables.h"
#include "richtext/engine/items/RVPictures.h"
#include "support/TestSupport.h"

namespace {

class RVRtfWriterTest : public ::testing::Test {
protected:
    std::unique_ptr<TRVStyle> Style = MakePlainStyle();
    TWriterTestData Data{Style.get()};
    TCountingRandomSeam Random;

    // The text of one paragraph of the plain style.
    static std::string Para(const std::string& Body) { return std::string("\r\n") + PlainPara + Body; }
    // The whole file: header, an empty list table, and the body.
    static std::string Doc(const std::string& Body, const char* Uc = "\\uc1") {
        return ArialHeader() + "\r\n" + Uc + Body + "\\par}";
    }
};

TEST_F(RVRtfWriterTest, OneParagraphIsAWholeDocument) {
    Data.AddTextItem("abc", 0, 0);
    EXPECT_EQ(SaveRtfString(Data), Doc(Para("\\plain \\f0\\lang1049\\fs20 abc")));
}

TEST_F(RVRtfWriterTest, AnEmptyDocumentWritesNothing) {
    EXPECT_EQ(SaveRtfString(Data), "");
}

TEST_F(RVRtfWriterTest, ParagraphPropertiesAreWrittenWhenTheyChange) {
    TParaInfo* centered = Style->ParaStyles().Add();
    centered->Alignment = rvaCenter;
    Data.AddTextItem("a", 0, 0);
    Data.AddTextItem("b", 0, 0);
    Data.AddTextItem("c", 0, 1);
    auto lineBreak = std::make_unique<TRVTextItemInfo>(&Data);
    lineBreak->ItemOptions = ioLineBreakBefore;
    lineBreak->ParaNo = 1;
    Data.AddItem("d", std::move(lineBreak));
    EXPECT_EQ(SaveRtfString(Data),
              Doc(Para("\\plain \\f0\\lang1049\\fs20 a") + "\r\n\\par b" +
                  "\r\n\\par \\pard\\fi0\\li0\\qc\\ri0\\sb0\\sa0\\itap0 c" + "\r\n\\line d"));
}

TEST_F(RVRtfWriterTest, TextIsEscaped) {
    constexpr TRVRTFOptions dup = rvrtfDuplicateUnicode;
    struct Case {
        const char* Name;
        AnsiString Text;
        TRVTextOptions Options;
        TRVRTFOptions RTFOptions;
        const char* Rtf;
    } cases[] = {
        {"braces and backslash", "a{b}c\\d", 0, dup, "a\\{b\\}c\\\\d"},
        // Letters go as Unicode with the byte after them, so readers that
        // ignore the code page read them too.
        {"8-bit letters", "\xE0\xFF", 0, dup, "\\u1072 \\'e0\\u1103 \\'ff"},
        {"8-bit letters without Unicode", "\xE0\xFF", 0, 0, "\\'e0\\'ff"},
        {"bullet and no-break space", "\x95\xA0", 0, dup, "\\bullet \\~"},
        {"control characters", AnsiString("\x01", 1), 0, dup, "\\'01"},
        {"RTF code passes unchanged", "{\\b x}", rvteoRTFCode, dup, "{\\b x}"},
    };
    for (const Case& c : cases) {
        auto style = MakePlainStyle();
        style->TextStyles()[0]->Options = c.Options;
        TWriterTestData data(style.get());
        data.RTFOptions = c.RTFOptions;
        data.AddTextItem(c.Text, 0, 0);
        EXPECT_EQ(SaveRtfString(data), Doc(Para(std::string("\\plain \\f0\\lang1049\\fs20 ") + c.Rtf),
                                           c.RTFOptions ? "\\uc1" : "\\uc0"))
            << c.Name;
    }
}

TEST_F(RVRtfWriterTest, UnicodeTextWithAndWithoutItsAnsiDuplicate) {
    Style->TextStyles()[0]->Unicode = true;
    TFontInfo* japanese = Style->TextStyles().Add();
    japanese->Unicode = true;
    japanese->Charset = 128;
    struct Case {
        const char* Name;
        TRVRTFOptions Options;
        int StyleNo;
        std::u16string Text;
        const char* Uc;
        const char* Rtf;
    } cases[] = {
        {"duplicated", rvrtfDuplicateUnicode, 0, u"\u0430", "\\uc1", "\\u1072 \\'e0"},
        {"alone", 0, 0, u"\u0430", "\\uc0", "\\u1072 "},
        {"two-byte rendering", rvrtfDuplicateUnicode, 1, u"\u3042", "\\uc1",
         "\\uc2\\u12354 \\'82\\'a0\\uc1 "},
    };
    for (const Case& c : cases) {
        TWriterTestData data(Style.get());
        data.RTFOptions = c.Options;
        data.AddWideTextTag(c.Text, c.StyleNo, 0, 0);
        std::string rtf = SaveRtfString(data);
        std::string props =
            c.StyleNo == 0 ? "\\plain \\f0\\lang1049\\fs20 " : "\\plain \\f1\\lang1041\\fs20 ";
        std::string fonts = c.StyleNo == 0 ? "{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset128 Arial;}" : "";
        EXPECT_NE(rtf.find(std::string(c.Uc) + "\r\n" + PlainPara + props + c.Rtf + "\\par}"),
                  std::string::npos)
            << c.Name << "\n"
            << rtf;
        if (!fonts.empty()) {
            EXPECT_NE(rtf.find(fonts), std::string::npos) << c.Name;
        }
    }
}

TEST_F(RVRtfWriterTest, HyperlinksBecomeFields) {
    Style->TextStyles()[0]->Jump = true;
    struct Case {
        const char* Name;
        AnsiString Target;
        AnsiString Extras;
        const char* Instruction;
    } cases[] = {
        {"bookmark", "#Intro", "", "\\\\l \"Intro\" "},
        {"file with backslashes", "C:\\dir\\a.rtf", "", " \"C:\\\\\\\\dir\\\\\\\\a.rtf\" "},
        {"extras before and after", "http://x", AnsiString("\\m") + '\0' + "\\o tip",
         "\\\\m \"http://x\" \\\\o tip"},
        {"bookmark with extras", "#A b", AnsiString("\\t") + '\0', "\\\\l \\\\t \"A_b\" "},
    };
    for (const Case& c : cases) {
        TWriterTestData data(Style.get());
        data.Links[0] = {c.Target, c.Extras};
        data.AddTextItem("link", 0, 0);
        EXPECT_EQ(SaveRtfString(data),
                  Doc(Para(std::string("{\\field{\\*\\fldinst HYPERLINK ") + c.Instruction +
                           "}{\\fldrslt \\plain \\f0\\lang1049\\fs20 link}}")))
            << c.Name;
    }
}

TEST_F(RVRtfWriterTest, CheckpointsBecomeBookmarks) {
    Data.AddCheckpoint("", false, 0);
    Data.AddTextItem("a", 0, 0);
    Data.AddCheckpoint("Chapter 2", false, 0);
    Data.AddTextItem("b", 0, -1);
    Data.AddCheckpoint("", false, 0);
    Data.AddTextItem("c", 0, -1);
    Data.AddCheckpoint("end", false, 0);
    EXPECT_EQ(SaveRtfString(Data),
              Doc(Para("{\\*\\bkmkstart ZoroZudoCheckpoint0}{\\*\\bkmkend ZoroZudoCheckpoint0}\\plain "
                       "\\f0\\lang1049\\fs20 a"
                       "{\\*\\bkmkstart Chapter_2}{\\*\\bkmkend Chapter_2}b"
                       "{\\*\\bkmkstart ZoroZudoCheckpoint2}{\\*\\bkmkend ZoroZudoCheckpoint2}c"
                       "{\\*\\bkmkstart end}{\\*\\bkmkend end}")));
}

TEST_F(RVRtfWriterTest, LineSpacingAndBorders) {
    struct Case {
        const char* Name;
        int LineSpacing;
        TRVBorderStyle Border;
        const char* Props;
    } cases[] = {
        {"150 percent", 150, rvbNone, "\\sl360\\slmult1\\fi0\\li0\\ql\\ri0\\sb0\\sa0"},
        {"single spacing writes nothing", 100, rvbNone, "\\fi0\\li0\\ql\\ri0\\sb0\\sa0"},
        {"thick inside border", 100, rvbThickInside,
         "\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\brdrbtw\\brdrl\\brsp0\\brdrthtnmg\\brdrcf6\\brdrw30"
         "\\brdrt\\brsp0\\brdrthtnmg\\brdrcf6\\brdrw30\\brdrr\\brsp0\\brdrtnthmg\\brdrcf6\\brdrw30"
         "\\brdrb\\brsp0\\brdrtnthmg\\brdrcf6\\brdrw30"},
        {"double border", 100, rvbDouble,
         "\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\brdrbtw\\brdrl\\brsp0\\brdrdb\\brdrcf6\\brdrw15"
         "\\brdrt\\brsp0\\brdrdb\\brdrcf6\\brdrw15\\brdrr\\brsp0\\brdrdb\\brdrcf6\\brdrw15"
         "\\brdrb\\brsp0\\brdrdb\\brdrcf6\\brdrw15"},
    };
    for (const Case& c : cases) {
        auto style = MakePlainStyle();
        TParaInfo& para = *style->ParaStyles()[0];
        para.LineSpacing = c.LineSpacing;
        para.Border().Style = c.Border;
        para.Border().Color = clRed;
        para.Border().Width = 1;
        TWriterTestData data(style.get());
        data.AddTextItem("a", 0, 0);
        EXPECT_EQ(SaveRtfString(data),
                  Doc(std::string("\r\n\\pard") + c.Props + "\\itap0 \\plain \\f0\\lang1049\\fs20 a"))
            << c.Name;
    }
}

TRVListInfo& AddNumberedList(TRVStyle& Style, int Levels) {
    TRVListInfo& list = *Style.ListStyles().Add();
    for (int i = 0; i < Levels; ++i) {
        TRVListLevel& level = *list.Levels().Add();
        level.ListType = rvlstDecimal;
        level.LeftIndent = 24 * (i + 1);
        level.MarkerIndent = 24 * i;
        level.FirstIndent = 0;
        AnsiString pattern;
        for (int l = 0; l <= i; ++l)
            pattern += "%" + IntToStr(l) + ":s.";
        level.FormatString = pattern;
    }
    return list;
}

TEST_F(RVRtfWriterTest, TheStyleSheetNamesStandardStyles) {
    Style->ParaStyles()[0]->StyleName = "Normal";
    Style->TextStyles()[0]->StyleName = "Body {text}";
    Style->TextStyles().Add()->Standard = false;
    Data.RTFOptions |= rvrtfSaveStyleSheet;
    Data.AddTextItem("a", 0, 0);
    Data.AddTextItem("b", 1, -1);
    std::string rtf = SaveRtfString(Data);
    EXPECT_NE(rtf.find("}{\\stylesheet{\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0 Normal;}"
                       "{\\*\\cs1\\f0\\lang1049\\fs20 Body _text_;}}\r\n"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\pard\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\cs1\\f0\\lang1049\\fs20 a"
                       "\\plain \\f0\\lang1049\\fs20 b\\par}"),
              std::string::npos)
        << rtf;
}

TEST_F(RVRtfWriterTest, ASelectionKeepsItsListNumberAndEndsWhereItEnds) {
    AddNumberedList(*Style, 1);
    TSelectionData data(Style.get());
    data.ApplyListMarker(-1, 0, 0, 1, false, 0);
    data.AddTextItem("item", 0, -1);
    data.AddTextItem("next", 0, 0);
    struct Case {
        const char* Name;
        int StartNo, StartOffs, EndNo, EndOffs;
        std::string Body;
    } cases[] = {
        {"inside the list paragraph", 1, 2, 1, 4,
         "\\li360\\fi-360\\jclisttab\\tx360\\ql\\ri0\\sb0\\sa0\\itap0 "
         "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\lang1049\\fs20 te}"},
        {"to a paragraph end", 1, 3, 1, 5,
         "\\li360\\fi-360\\jclisttab\\tx360\\ql\\ri0\\sb0\\sa0\\itap0 "
         "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\lang1049\\fs20 em\\par}"},
        {"into the next paragraph", 1, 4, 2, 3,
         "\\li360\\fi-360\\jclisttab\\tx360\\ql\\ri0\\sb0\\sa0\\itap0 "
         "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\lang1049\\fs20 m"
         "\r\n\\par \\plain\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\lang1049\\fs20 ne}"},
    };
    for (const Case& c : cases) {
        data.StartNo = c.StartNo, data.StartOffs = c.StartOffs, data.EndNo = c.EndNo,
        data.EndOffs = c.EndOffs;
        std::string rtf = SaveRtfString(data, true);
        EXPECT_EQ(rtf.substr(rtf.rfind("\\uc1") + 4), c.Body) << c.Name;
    }
}

// ---------------------------------------------------------------- lists

TEST_F(RVRtfWriterTest, AOneLevelListIsWrittenWithItsTablesAndMarker) {
    AddNumberedList(*Style, 1);
    Data.ApplyListMarker(-1, 0, 0, 1, false, 0);
    Data.AddTextItem("x", 0, -1);
    Data.AddTextItem("y", 0, 0);
    EXPECT_EQ(SaveRtfString(Data),
              ArialHeader() +
                  "{\\*\\listtable{\\list\\listtemplateid1000\\listsimple1\r\n"
                  "{\\listlevel\\levelnfc0\\leveljc0\\li360\\fi-360\\jclisttab\\tx360\\levelstartat1"
                  "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\f0\\fs16}\r\n"
                  "\\listid1001}\r\n}\r\n"
                  "{\\*\\listoverridetable\r\n{\\listoverride\\listid1001\\listoverridecount0\\ls1}\r\n}\r\n"
                  "\\uc1"
                  "\r\n\\pard\\li360\\fi-360\\jclisttab\\tx360\\ql\\ri0\\sb0\\sa0\\itap0 "
                  "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\lang1049\\fs20 x"
                  "\r\n\\par \\plain\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\lang1049\\fs20 "
                  "y\\par}");
}

TEST_F(RVRtfWriterTest, AThreeLevelListWritesNineLevels) {
    AddNumberedList(*Style, 3);
    Data.ApplyListMarker(-1, 0, 2, 1, false, 0);
    Data.AddTextItem("x", 0, -1);
    std::string rtf = SaveRtfString(Data);
    std::size_t from = rtf.find("{\\listlevel"), to = rtf.find("\\listid");
    ASSERT_NE(from, std::string::npos);
    std::string levels = rtf.substr(from, to - from);
    const std::string third =
        "{\\listlevel\\levelnfc0\\leveljc0\\li1080\\fi-360\\jclisttab\\tx1080\\levelstartat1"
        "{\\leveltext\\'06\\'00.\\'01.\\'02.;}{\\levelnumbers\\'01\\'03\\'05;}\\f0\\fs16}\r\n";
    std::string expected = "{\\listlevel\\levelnfc0\\leveljc0\\li360\\fi-360\\jclisttab\\tx360\\levelstartat1"
                           "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\f0\\fs16}\r\n"
                           "{\\listlevel\\levelnfc0\\leveljc0\\li720\\fi-360\\jclisttab\\tx720\\levelstartat1"
                           "{\\leveltext\\'04\\'00.\\'01.;}{\\levelnumbers\\'01\\'03;}\\f0\\fs16}\r\n";
    for (int i = 0; i < 7; ++i)
        expected += third;
    EXPECT_EQ(levels, expected);
    EXPECT_EQ(rtf.find("\\listsimple1"), std::string::npos);
    // The unseen higher levels show their start values.
    EXPECT_NE(rtf.find("{\\listtext\\pard\\plain\\f0\\fs16 1.1.1.\\tab}\\ls1\\ilvl2 "), std::string::npos);
}

TEST_F(RVRtfWriterTest, RestartingMarkersGetListOverridesOfTheirOwn) {
    AddNumberedList(*Style, 1);
    AddNumberedList(*Style, 1);
    struct Marker {
        int ListNo;
        int StartFrom;
        bool Reset;
    } markers[] = {{0, 1, false}, {0, 5, true}, {1, 1, false}, {0, 9, true}, {0, 1, false}};
    for (const Marker& m : markers) {
        Data.ApplyListMarker(-1, m.ListNo, 0, m.StartFrom, m.Reset, 0);
        Data.AddTextItem("x", 0, -1);
    }
    std::string rtf = SaveRtfString(Data);
    const char* overrides = "{\\*\\listoverridetable\r\n"
                            "{\\listoverride\\listid1001\\listoverridecount0\\ls1}\r\n"
                            "{\\listoverride\\listid1001\\listoverridecount1"
                            "{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls2}\r\n"
                            "{\\listoverride\\listid1001\\listoverridecount1"
                            "{\\lfolevel\\listoverridestartat\\levelstartat9}\\ls3}\r\n"
                            "{\\listoverride\\listid1003\\listoverridecount0\\ls4}\r\n}\r\n";
    EXPECT_NE(rtf.find(overrides), std::string::npos) << rtf;
    const char* numbers[] = {"1.\\tab}\\ls1\\", "5.\\tab}\\ls2\\", "1.\\tab}\\ls4\\", "9.\\tab}\\ls3\\",
                             "10.\\tab}\\ls1\\"};
    std::size_t at = 0;
    for (const char* n : numbers) {
        at = rtf.find(n, at);
        EXPECT_NE(at, std::string::npos) << n;
    }
}

TEST_F(RVRtfWriterTest, LevelTextsOfAnyPatternStayWellFormed) {
    struct Case {
        const char* Name;
        TRVListType Type;
        AnsiString Pattern;
        std::string Text;
        std::string Numbers;
        const char* Font = nullptr;
    } cases[] = {
        {"literal digits are not level numbers", rvlstDecimal, "1-%0:s", "\\'031-\\'00", "\\'03"},
        {"braces are escaped", rvlstDecimal, "{%0:s}", "\\'03\\{\\'00\\}", "\\'02"},
        {"a bullet byte carries its letter", rvlstBullet, "\xB7", "\\'01\\u183 \\'b7", ""},
        {"a symbol font's bullet its private code", rvlstBullet, "\xB7", "\\'01\\u-3913 \\'b7", "", "Symbol"},
        {"a long pattern is cut to 255", rvlstBullet, AnsiString(300, 'x'), "\\'ff" + std::string(255, 'x'),
         ""},
        {"a picture", rvlstPicture, "", "\\'00", ""},
    };
    for (const Case& c : cases) {
        TRVListLevel level(nullptr);
        level.ListType = c.Type;
        level.FormatString = c.Pattern;
        if (c.Font) {
            level.Font().SetName(c.Font);
            level.Font().Charset = 2;
        }
        AnsiString text, numbers;
        GetLevelTextRtf(level, 1251, true, text, numbers);
        EXPECT_EQ(text, c.Text) << c.Name;
        EXPECT_EQ(numbers, c.Numbers) << c.Name;
    }
}

TEST_F(RVRtfWriterTest, ARuleIsOneParagraphAndKeepsItsNeighbours) {
    TParaInfo* centered = Style->ParaStyles().Add();
    centered->Alignment = rvaCenter;
    struct Case {
        const char* Name;
        bool RuleLast;
        std::string Body;
    } cases[] = {
        {"between paragraphs", false,
         "\r\n\\par {\\pard\\plain\\fs6\\brdrb\\brdrs\\brdrw15\\brdrcf0\\par}\r\n\\plain "
         "\\f0\\lang1049\\fs20 b\\par}"},
        {"last", true, "\r\n\\par {\\pard\\plain\\fs6\\brdrb\\brdrs\\brdrw15\\brdrcf0\\par}}"},
    };
    for (const Case& c : cases) {
        TWriterTestData data{Style.get()};
        data.AddTextItem("a", 0, 1);
        data.AddBreak();
        data.GetItem(1)->ParaNo = 1;
        if (!c.RuleLast) data.AddTextItem("b", 0, 1);
        std::string rtf = SaveRtfString(data);
        std::string head = "\\pard\\fi0\\li0\\qc\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\lang1049\\fs20 a";
        ASSERT_NE(rtf.find(head), std::string::npos) << c.Name;
        // The paragraph after the rule stays centred: the rule's own words
        // end with its group.
        EXPECT_EQ(rtf.substr(rtf.find(head) + head.size()), c.Body) << c.Name;
    }
}

// ---------------------------------------------------------------- items

TEST_F(RVRtfWriterTest, SequencesAreSeqFields) {
    struct Case {
        const char* Name;
        TRVSeqType Type;
        bool Reset;
        int StartFrom;
        const char* Rtf;
    } cases[] = {
        {"roman restarting", rvseqUpperRoman, true, 3,
         "{\\field{\\*\\fldinst {SEQ figure\\\\*ROMAN \\\\r 3 \\\\* MERGEFORMAT }}{\\fldrslt {III}}}"},
        {"decimal", rvseqDecimal, false, 0,
         "{\\field{\\*\\fldinst {SEQ figure \\\\* MERGEFORMAT }}{\\fldrslt {1}}}"},
        {"lower letters", rvseqLowerAlpha, false, 0,
         "{\\field{\\*\\fldinst {SEQ figure\\\\*alphabetic \\\\* MERGEFORMAT }}{\\fldrslt {a}}}"},
    };
    for (const Case& c : cases) {
        TWriterTestData data(Style.get());
        data.AddTextItem("Figure ", 0, 0);
        auto seq = std::make_unique<TRVSeqItemInfo>(&data, "figure", c.Type, 0, c.StartFrom, c.Reset);
        seq->ParaNo = -1;
        data.AddItem("", std::move(seq));
        EXPECT_EQ(SaveRtfString(data), Doc(Para(std::string("\\plain \\f0\\lang1049\\fs20 Figure ") + c.Rtf)))
            << c.Name;
    }
}

TEST_F(RVRtfWriterTest, NotesCarryTheirBodies) {
    auto footnote = std::make_unique<TRVFootnoteItemInfo>(&Data, 0, 1, false);
    footnote->Document->AddTextItem("body", 0, 0);
    footnote->ParaNo = 0;
    auto endnote = std::make_unique<TRVEndnoteItemInfo>(&Data, 0, 1, false);
    endnote->Document->AddTextItem("end", 0, 0);
    endnote->ParaNo = -1;
    Data.AddItem("", std::move(footnote));
    Data.AddItem("", std::move(endnote));
    std::string rtf = SaveRtfString(Data);
    EXPECT_NE(rtf.find("\\fet2{\\*\\aftnsep\\pard\\plain\\chftnsep }{\\*\\aftnsepc\\pard\\plain\\chftnsepc}"
                       "\\fet2{\\*\\ftnsep\\pard\\plain\\chftnsep }{\\*\\ftnsepc\\pard\\plain\\chftnsepc}"),
              std::string::npos);
    EXPECT_NE(rtf.find(Para("\\plain \\f0\\lang1049\\fs20 \\chftn{\\footnote \r\n") + PlainPara +
                       "\\plain \\f0\\lang1049\\fs20 body}" + "\\chftn{\\footnote\\ftnalt \r\n" + PlainPara +
                       "\\plain \\f0\\lang1049\\fs20 end}\\par}"),
              std::string::npos)
        << rtf;
}

TEST_F(RVRtfWriterTest, PicturesWriteTheirWordsScalingAndData) {
    auto white = std::make_unique<TRVBitmapImage>(1, 1);
    auto picture = std::make_unique<TRVGraphicItemInfo>(&Data, std::move(white), vaBaseline);
    picture->ParaNo = 0;
    Data.AddItem("", std::move(picture));
    const std::string header = "2800000001000000010000000100180000000000040000000000000000000000"
                               "0000000000000000";
    EXPECT_EQ(SaveRtfString(Data),
              Doc(Para("{\\pict\\dibitmap0\\wbmwidthbytes1\\picw1\\pich1\\picwgoal15\\pichgoal15 " + header +
                       "FFFFFF00}")));

    struct Case {
        const char* Name;
        int Width, Height;
        const char* Words;
    } cases[] = {
        {"wider", 200, 0,
         "{\\pict\\picscalex200\\dibitmap0\\wbmwidthbytes300\\picw100\\pich50\\picwgoal1500"
         "\\pichgoal750 "},
        {"both", 50, 100, "{\\pict\\picscalex50\\picscaley200\\dibitmap0"},
        {"own size", 0, 0, "{\\pict\\dibitmap0\\wbmwidthbytes300\\picw100\\pich50"},
    };
    for (const Case& c : cases) {
        TWriterTestData data(Style.get());
        auto item = std::make_unique<TRVGraphicItemInfo>(&data, std::make_unique<TRVBitmapImage>(100, 50),
                                                         vaBaseline);
        item->ImageWidth = c.Width;
        item->ImageHeight = c.Height;
        EXPECT_EQ(item->GetImageWidth(nullptr), c.Width ? c.Width : 100) << c.Name;
        data.AddItem("", std::move(item));
        std::string rtf = SaveRtfString(data);
        std::size_t at = rtf.find(c.Words);
        ASSERT_NE(at, std::string::npos) << c.Name;
        // 40 header bytes and 50 rows of 300 bytes, two digits each.
        std::size_t data0 = rtf.find(' ', rtf.find("\\pichgoal", at)) + 1;
        EXPECT_EQ(rtf.find('}', data0) - data0, std::size_t(2 * (40 + 300 * 50))) << c.Name;
    }
}

TEST_F(RVRtfWriterTest, JpegPicturesAreWrittenAsTheyAre) {
    TRVBitmapImage pixels(8, 8);
    auto jpeg = std::make_unique<TRVJpegImage>();
    jpeg->CompressFrom(pixels, 90);
    std::string hex;
    for (uint8_t b : jpeg->Data())
        hex += IntToHex(b, 2);
    Data.AddItem("", std::make_unique<TRVGraphicItemInfo>(&Data, std::move(jpeg), vaBaseline));
    EXPECT_NE(SaveRtfString(Data).find("{\\pict\\jpegblip\\picw8\\pich8 " + hex + "}"), std::string::npos);
    Data.RTFOptions = rvrtfSavePicturesBinary;
    EXPECT_NE(SaveRtfString(Data).find(
                  "{\\pict\\dibitmap0\\wbmwidthbytes24\\picw8\\pich8\\picwgoal120\\pichgoal120 "
                  "{\\bin" +
                  std::to_string(40 + 24 * 8) + " "),
              std::string::npos);
}

TEST_F(RVRtfWriterTest, DocumentParametersAreThePageWords) {
    Data.RTFOptions |= rvrtfSaveDocParameters;
    Data.AddTextItem("a", 0, 0);
    const std::string defaults = "\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440";
    EXPECT_NE(SaveRtfString(Data).find("\\deflangfe1049" + defaults + "\r\n{\\fonttbl"), std::string::npos);
    Data.GetDocParameters(true);
    EXPECT_NE(
        SaveRtfString(Data).find("\\deflangfe1049" + defaults + "\\viewscale100\\viewzk0\r\n{\\fonttbl"),
        std::string::npos);
    TRVDocParameters& params = *Data.GetDocParameters(false);
    params.Orientation = poLandscape;
    params.Units = rvuMillimeters;
    params.PageWidth = 297;
    params.PageHeight = 210;
    params.LeftMargin = params.RightMargin = params.TopMargin = params.BottomMargin = 20;
    params.HeaderY = 10;
    params.ZoomPercent = 75;
    params.ZoomMode = rvzmPageWidth;
    params.MirrorMargins = true;
    EXPECT_NE(
        SaveRtfString(Data).find("\\landscape\\paperw16838\\paperh11906\\margl1134\\margr1134\\margt1134"
                                 "\\margb1134\\headery567\\viewscale75\\viewzk2\\margmirror\r\n"),
        std::string::npos);
}

TEST_F(RVRtfWriterTest, FontNamesAreEscapedInTheFontTable) {
    Style->TextStyles()[0]->FontName = "Odd {Font}\\";
    Data.AddTextItem("a", 0, 0);
    EXPECT_NE(SaveRtfString(Data).find("{\\fonttbl{\\f0\\fnil Odd \\{Font\\}\\\\;}}"), std::string::npos);
}

// ---------------------------------------------------------------- failures and files

// A stream that takes only so many bytes.
class TShortStream : public TRVMemoryStream {
public:
    int64_t Room = 100;
    int64_t Write(const void* Buffer, int64_t Count) override {
        Count = std::min(Count, Room);
        Room -= Count;
        return TRVMemoryStream::Write(Buffer, Count);
    }
};

TEST_F(RVRtfWriterTest, AFailingStreamGivesFalse) {
    Data.AddTextItem("abc", 0, 0);
    TShortStream stream;
    EXPECT_FALSE(Data.SaveRtf(stream, "", false, 0, clWindow, nullptr, true));
    EXPECT_EQ(stream.Size(), 100);
}

// Picture data goes into a plain memory stream in place and into any other
// stream a block at a time, sixteen bytes at a time where it can: every
// length around those steps, every byte value, and a stream with data of
// its own give the same digits through either way.
TEST(RVRtfPictureDataTest, EveryStreamGetsTheSameDigits) {
    std::vector<uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 37 + 11); // every value within 256 bytes
    for (std::size_t length : {0, 1, 15, 16, 17, 31, 32, 33, 300}) {
        std::string hex;
        for (std::size_t i = 0; i < length; ++i)
            hex += IntToHex(bytes[i], 2);
        struct TCase {
            const char* Name;
            std::string Before; // the stream's bytes before the picture
            int64_t Position;
            std::string After;
        };
        const std::string tail = hex.size() < 3 ? std::string("xyz").substr(hex.size()) : "";
        const TCase cases[] = {
            {"empty", "", 0, hex},
            {"appended", "ab", 2, "ab" + hex},
            {"over its own data", "wxyz", 1, "w" + hex + tail},
        };
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + ", " + std::to_string(length) + " bytes");
            TRVMemoryStream plain;
            TShortStream derived;
            derived.Room = 1 << 20;
            for (TRVMemoryStream* stream : {&plain, static_cast<TRVMemoryStream*>(&derived)}) {
                stream->WriteBuffer(c.Before.data(), int64_t(c.Before.size()));
                stream->SetPosition(c.Position);
                WriteRtfPictureData(*stream, bytes.data(), length, false);
                EXPECT_EQ(
                    std::string(reinterpret_cast<const char*>(stream->Memory()), std::size_t(stream->Size())),
                    c.After);
                EXPECT_EQ(stream->Position(), c.Position + int64_t(hex.size()));
            }
        }
    }
    // A derived stream's own Write is obeyed: it takes what it has room for.
    TShortStream cramped;
    EXPECT_THROW(WriteRtfPictureData(cramped, bytes.data(), bytes.size(), false), EWriteError);
    EXPECT_EQ(cramped.Size(), 100);
}

// An item whose writer fails.
class TFailingItem : public TRVRectItemInfo {
public:
    using TRVRectItemInfo::TRVRectItemInfo;
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TFailingItem>(); }
    void SaveRTF(TStream&, const AnsiString&, TCustomRVData*, int, const AnsiString&, int,
                 TRVRTFTables&) override {
        throw EWriteError("item failed");
    }
};

TEST_F(RVRtfWriterTest, AFileIsReplacedOnlyByACompleteSave) {
    TTempFolder folder;
    std::string name = folder.Path() + "report.rtf";
    std::ofstream(name) << "old";
    Data.AddTextItem("abc", 0, 0);
    ASSERT_TRUE(Data.SaveRtfFile(name, false, clWindow));
    EXPECT_EQ(ReadFileBytes(name), SaveRtfString(Data));

    // A failing item leaves the previous file, and nothing beside it.
    std::ofstream(name) << "old";
    auto bad = std::make_unique<TFailingItem>(&Data);
    bad->StyleNo = -300;
    Data.AddItem("", std::move(bad));
    EXPECT_FALSE(Data.SaveRtfFile(name, false, clWindow));
    EXPECT_EQ(ReadFileBytes(name), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    EXPECT_FALSE(Data.SaveRtfFile(folder.Path() + "missing/report.rtf", false, clWindow));
}

} // namespace
