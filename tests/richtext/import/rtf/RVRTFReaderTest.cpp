// The RTF reader's tokenizer and parser: result codes, text emission and
// positions, Unicode, hidden text, binary data, groups and progress.
#include "RVRTFTestSupport.h"

namespace {

using TEvents = std::vector<std::string>;

struct TParseCase {
    const char* Name;
    std::string Rtf;
    bool Unicode;
    TRVRTFErrorCode Result;
    TEvents Events;
};

class RVRTFReaderParseTest : public ::testing::TestWithParam<TParseCase> {};

TEST_P(RVRTFReaderParseTest, GivesTheEventsAndResult) {
    const TParseCase& c = GetParam();
    TReaderLog log = ReadEvents(c.Rtf, c.Unicode);
    EXPECT_EQ(log.Result, c.Result);
    EXPECT_EQ(log.Events, c.Events);
}

const TParseCase ParseCases[] = {
    {"StopsAtTheOutermostBrace", "{\\rtf1 a}b", false, rtf_ec_OK, {"p:a"}},
    {"UnclosedGroupKeepsItsText", "{\\rtf1 a", false, rtf_ec_UnmatchedBrace, {"p:a"}},
    {"BraceWithoutGroup", "}", false, rtf_ec_StackUnderflow, {}},
    {"TextThenBraceWithoutGroup", "a}", false, rtf_ec_StackUnderflow, {}},
    {"BadHexDigit", "{\\rtf1 \\'4x}", false, rtf_ec_InvalidHex, {}},
    {"HexDigitsAcrossAGroup", "{\\rtf1 \\'4{}1}", false, rtf_ec_OK, {"p:A"}},
    {"HexInCodePage", "{\\rtf1\\ansicpg1251 \\'cf\\'f0\\'e8}", false, rtf_ec_OK, {"p:При"}},
    {"BackslashAtTheEnd", "{\\rtf1 a\\", false, rtf_ec_EndOfFile, {}},
    {"UnicodeDropsItsFallback", "{\\rtf1\\uc1\\u1055?}", true, rtf_ec_OK, {"up:П"}},
    {"UnicodeWithoutFallback", "{\\rtf1\\uc0\\u1055?}", true, rtf_ec_OK, {"up:П", "c:?"}},
    {"UnicodeIgnoredWithoutItsHandler", "{\\rtf1\\uc1\\u1055?}", false, rtf_ec_OK, {"p:?"}},
    {"NegativeUnicode", "{\\rtf1\\u-3913?}", true, rtf_ec_OK, {"up:\xEF\x82\xB7"}},
    {"HugeUnicodeSaturates", "{\\rtf1\\u99999999999?}", true, rtf_ec_OK, {"up:\xEF\xBF\xBF"}},
    {"FallbackAsHexByte", "{\\rtf1\\uc1\\u1055\\'3f x}", true, rtf_ec_OK, {"up:П", "c: x"}},
    {"TwoParagraphMarksAtTheStart", "{\\rtf1\\par\\par}", false, rtf_ec_OK, {"p:", "p:"}},
    {"FormattingSplitsText", "{\\rtf1 a\\b b}", false, rtf_ec_OK, {"p:a", "c:b"}},
    {"LineBreak", "{\\rtf1 a\\line b\\par c}", false, rtf_ec_OK, {"p:a", "l:b", "p:c"}},
    {"IgnorableUnknownGroupSkipped", "{\\rtf1{\\*\\foo skipped}kept}", false, rtf_ec_OK, {"p:kept"}},
    {"UnknownWordIgnored", "{\\rtf1{\\foo kept}}", false, rtf_ec_OK, {"p:kept"}},
    {"SymbolsAndEscapes", "{\\rtf1 \\{\\}\\\\\\tab\\~}", false, rtf_ec_OK, {"p:{}\\\t\xC2\xA0"}},
    {"SpaceEndsAWordOnce", "{\\rtf1\\b  a}", false, rtf_ec_OK, {"p: a"}},
    {"MinusWithoutDigitIsLost", "{\\rtf1\\li-a}", false, rtf_ec_OK, {"p:a"}},
    {"BinZeroTakesOneByte", "{\\rtf1\\bin0 }a}", false, rtf_ec_OK, {"p:}a"}},
    {"BinCountBeyondTheInputStops", "{\\rtf1\\bin999 ab", false, rtf_ec_UnmatchedBrace, {"p:ab"}},
    {"HiddenTextCarriesThePosition",
     "{\\rtf1 a\\par {\\v h}b}",
     false,
     rtf_ec_OK,
     {"p:a", "p:", "c:h", "c:b"}},
    {"PageBreak", "{\\rtf1 a\\page b}", false, rtf_ec_OK, {"p:a", "page", "c:b"}},
    {"Bookmark", "{\\rtf1 a{\\*\\bkmkstart here}b}", false, rtf_ec_OK, {"p:a", "bookmark here", "c:b"}},
    {"TableEvents",
     "{\\rtf1\\intbl a\\cell\\row\\pard b}",
     false,
     rtf_ec_OK,
     {"table start", "p:a", "cell end", "row end", "table end", "p:b"}},
    {"OpenTablesEndAtTheEnd",
     "{\\rtf1\\itap2 a}",
     false,
     rtf_ec_OK,
     {"table start", "table start", "p:a", "table forced end", "table forced end"}},
    {"Footnote",
     "{\\rtf1 a{\\super\\chftn}{\\footnote \\chftn b}c}",
     false,
     rtf_ec_OK,
     {"p:a", "note mark c", "note start c", "note mark c", "c:b", "note end c", "c:c"}},
    {"SeqField",
     "{\\rtf1{\\field{\\*\\fldinst SEQ Table \\\\* ROMAN \\\\r 5}{\\fldrslt V}}x}",
     false,
     rtf_ec_OK,
     {"seq p Table 4 reset 5", "c:x"}},
    {"SeqAsThisProgramWritesIt",
     "{\\rtf1{\\field{\\*\\fldinst {SEQ figure\\\\*ROMAN \\\\r 3 \\\\* MERGEFORMAT }}{\\fldrslt {III}}}}",
     false,
     rtf_ec_OK,
     {"seq p figure 4 reset 3"}},
    {"SymbolWithoutSizeKeepsItsResult",
     "{\\rtf1{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}{\\fldrslt r}}}",
     false,
     rtf_ec_OK,
     {"p:r"}},
    {"SymbolCodeNoNumber",
     "{\\rtf1{\\field{\\*\\fldinst SYMBOL x1 \\\\f \"Symbol\" \\\\s 10}{\\fldrslt r}}}",
     false,
     rtf_ec_Exception,
     {}},
    {"FontTableTextBeforeAnyFont", "{\\rtf1{\\fonttbl Arial;}}", false, rtf_ec_Exception, {}},
    {"PictureInPicture", "{\\rtf1{\\pict{\\pict 00}}}", false, rtf_ec_OK, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RVRTFReaderParseTest, ::testing::ValuesIn(ParseCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(RVRTFReaderTest, PictureInsidePictureIsABadFile) {
    TReaderLog log = ReadEvents("{\\rtf1{\\pict{\\pict 00}}}", false, [](TRVRTFReader& R) {
        R.OnNewPicture = [](TRVRTFReader*, TRVRTFPicture*, std::unique_ptr<TRVGraphic>&, TRVRTFPosition,
                            const AnsiString&, bool&) {};
    });
    EXPECT_EQ(log.Result, rtf_ec_InvalidPicture);
}

TEST(RVRTFReaderTest, AnExceptionOfTheTextHandlerEndsTheParse) {
    TRVRTFReader reader(nullptr);
    int calls = 0;
    reader.OnNewText = [&](TRVRTFReader*, const AnsiString&, TRVRTFPosition) {
        if (++calls == 2) throw Exception("refused");
    };
    auto stream = StreamOf("{\\rtf1 a\\par b\\par c\\par}");
    EXPECT_EQ(reader.ParseRtfStream(*stream), rtf_ec_Aborted);
    EXPECT_EQ(calls, 2);
    // Other handlers' exceptions are errors of the parse.
    reader.OnNewText = nullptr;
    reader.OnRequiredPageBreak = [](TObject*) { throw Exception("refused"); };
    stream = StreamOf("{\\rtf1 a\\page b}");
    EXPECT_EQ(reader.ParseRtfStream(*stream), rtf_ec_Exception);
}

TEST(RVRTFReaderTest, ReadsFromTheStreamPositionToItsEnd) {
    TReaderLog log;
    TRVRTFReader reader(nullptr);
    LogEvents(reader, log, false);
    auto stream = StreamOf("xxxx{\\rtf1 a}");
    stream->SetPosition(4);
    EXPECT_EQ(reader.ParseRtfStream(*stream), rtf_ec_OK);
    EXPECT_EQ(log.Events, TEvents{"p:a"});
    // The reader is reset for every stream.
    log.Events.clear();
    stream = StreamOf("{\\rtf1\\b b}");
    EXPECT_EQ(reader.ParseRtfStream(*stream), rtf_ec_OK);
    EXPECT_EQ(log.Events, TEvents{"p:b"});
    EXPECT_FALSE(reader.State().Char().Style & fsBold) << "the group's state was left with the group";
}

TEST(RVRTFReaderTest, ProgressOnlyAboveTwentyKilobytes) {
    for (int size : {20480, 20481, 40000}) {
        std::string rtf = "{\\rtf1 " + std::string(std::size_t(size) - 8, 'a') + "}";
        ASSERT_EQ(int(rtf.size()), size);
        std::vector<std::string> stages;
        TRVRTFReader reader(nullptr);
        reader.OnProgress = [&](TRVRTFReader*, TRVRTFProgressStage Stage, uint8_t Percent) {
            stages.push_back(std::to_string(int(Stage)) + ":" + std::to_string(Percent));
        };
        auto stream = StreamOf(rtf);
        EXPECT_EQ(reader.ParseRtfStream(*stream), rtf_ec_OK);
        if (size == 20480) {
            EXPECT_TRUE(stages.empty());
            continue;
        }
        int blocks = (size + 4095) / 4096;
        ASSERT_EQ(int(stages.size()), blocks + 2) << size;
        EXPECT_EQ(stages.front(), "0:0");
        EXPECT_EQ(stages[1], "1:0");
        EXPECT_EQ(stages.back(), "2:0");
    }
}

TEST(RVRTFReaderTest, DeepNestingCostsOnlyWhatItChanges) {
    constexpr int depth = 100000;
    std::string rtf = "{\\rtf1" + std::string(depth, '{') + "x" + std::string(depth, '}') + "}";
    TReaderLog log = ReadEvents(rtf);
    EXPECT_EQ(log.Result, rtf_ec_OK);
    EXPECT_EQ(log.Events, TEvents{"p:x"});
    // Changing groups restore what they changed.
    std::string changing = "{\\rtf1";
    for (int i = 0; i < 1000; ++i)
        changing += i % 2 ? "{\\b0 " : "{\\b ";
    changing += "x" + std::string(1000, '}') + "y}";
    TRVRTFReader reader(nullptr);
    std::vector<bool> bold;
    reader.OnNewText = [&](TRVRTFReader* R, const AnsiString&, TRVRTFPosition) {
        bold.push_back(R->State().Char().Style & fsBold);
    };
    auto stream = StreamOf(changing);
    EXPECT_EQ(reader.ParseRtfStream(*stream), rtf_ec_OK);
    EXPECT_EQ(bold, (std::vector<bool>{false, false}));
}

TEST(RVRTFReaderTest, NestingDeeperThanTheLimitIsABadFile) {
    std::string rtf = std::string(RVRTFMaxGroupDepth + 1, '{');
    EXPECT_EQ(ReadEvents(rtf).Result, rtf_ec_StackOverflow);
    EXPECT_EQ(ReadEvents(std::string(RVRTFMaxGroupDepth, '{')).Result, rtf_ec_UnmatchedBrace);
}

TEST(RVRTFReaderTest, TranslatedKeywordsBecomeText) {
    TReaderLog log = ReadEvents("{\\rtf1 a\\mine b}", false, [](TRVRTFReader& R) {
        R.OnTranslateKeyword = [](TRVRTFReader*, const AnsiString& Keyword, int, bool, AnsiString& Text,
                                  bool& DoDefault) {
            if (Keyword == "mine") {
                Text = "[x]";
                DoDefault = false;
            }
        };
    });
    EXPECT_EQ(log.Events, TEvents{"p:a[x]b"});
}

} // namespace
