// The RTF reader: paragraphs, character formatting, code pages and escapes,
// skipped destinations, and damaged or hostile input.
#include <gtest/gtest.h>

#include <string>

#include "platform/gui/RtfReader.h"

namespace {
std::string Utf8(const WideString& Text) {
    return WideToUtf8(Text);
}
} // namespace

TEST(RtfReaderTest, TextOfParagraphs) {
    struct {
        const char* Rtf;
        const char* Text; // UTF-8, paragraphs ended by "\n"
    } cases[] = {
        {R"({\rtf1 Hello\par World})", "Hello\nWorld\n"},
        {R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2\par})", "Привет\n"},
        {R"({\rtf1\ansi\ansicpg1252 caf\'e9\par})", "café\n"},
        {R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset0 Arial;}}\f0 \'e9\par})", "é\n"},
        {R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset204 Arial;}}\f0 \'e0\par})", "а\n"},
        {R"({\rtf1\ansi\ansicpg866 \'e0\par})", "?\n"},
        {R"({\rtf1 \uc1\u1072?\u1073?\par})", "аб\n"},
        {R"({\rtf1 \uc0\u1072 b\par})", "аb\n"},
        {R"({\rtf1 \u-3913?\par})", "\xEF\x82\xB7\n"}, // negative: 65536 - 3913
        {R"({\rtf1 a\line b\tab c\par})", "a\nb\tc\n"},
        {R"({\rtf1 \{braces\}\\\par})", "{braces}\\\n"},
        {R"({\rtf1{\colortbl;\red255\green0\blue0;}{\*\unknown hidden}{\info{\title T}}seen\par})", "seen\n"},
        {R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}}\par})", "shown\n"},
        {"{\\rtf1 split\r\nline\\par}", "splitline\n"},
        {R"({\rtf1 last paragraph without par})", "last paragraph without par\n"},
    };
    for (auto& c : cases)
        EXPECT_EQ(Utf8(ReadRtf(c.Rtf).Text()), c.Text) << c.Rtf;
}

TEST(RtfReaderTest, RunsKeepTheirFormattingAndGroupsRestoreIt) {
    TRtfDocument doc = ReadRtf(R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Times New Roman;}})"
                               R"(\f0\fs28 plain {\b bold {\i both}} \ul under\ul0  after\par)"
                               R"(\pard\qc\f1 centre\par\pard\qr right\par\qj just\par})");
    ASSERT_EQ(doc.Paragraphs.size(), 4u);
    auto& runs = doc.Paragraphs[0].Runs;
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(Utf8(runs[0].Text), "plain ");
    EXPECT_EQ(runs[0].FontName, "Arial");
    EXPECT_EQ(runs[0].FontSize, 28);
    EXPECT_FALSE(runs[0].Bold);
    EXPECT_EQ(Utf8(runs[1].Text), "bold ");
    EXPECT_TRUE(runs[1].Bold);
    EXPECT_FALSE(runs[1].Italic);
    EXPECT_EQ(Utf8(runs[2].Text), "both");
    EXPECT_TRUE(runs[2].Bold && runs[2].Italic);
    // Leaving the groups gives back plain text.
    EXPECT_FALSE(runs.back().Bold || runs.back().Italic);
    EXPECT_FALSE(runs.back().Underline) << "\\ul0 ends the underline";
    EXPECT_EQ(doc.Paragraphs[0].Alignment, TRtfAlignment::raLeft);
    EXPECT_EQ(doc.Paragraphs[1].Alignment, TRtfAlignment::raCenter);
    EXPECT_EQ(doc.Paragraphs[1].Runs.at(0).FontName, "Times New Roman");
    EXPECT_EQ(doc.Paragraphs[2].Alignment, TRtfAlignment::raRight);
    EXPECT_EQ(doc.Paragraphs[3].Alignment, TRtfAlignment::raJustify) << "\\par keeps the paragraph's format";
}

TEST(RtfReaderTest, NotRtfIsRefusedAndDamagedRtfKeepsWhatWasRead) {
    for (const char* bytes : {"", "plain text", "{\\rt", "\xEF\xBB\xBF{\\rtf1 x}"})
        EXPECT_THROW(ReadRtf(bytes), ERtfError) << bytes;
    // Whatever the damage, the text read before it stays.
    // Only groups nested past the reader's limit leave text unread.
    struct {
        std::string Rtf;
        const char* Prefix;
        bool Cut;
    } cases[] = {
        {"{\\rtf1 cut short", "cut short", false},
        {"{\\rtf1 a}}}} b", "a", false},
        {"{\\rtf1 bad hex \\'zz\\'", "bad hex ", false},
        {"{\\rtf1 big \\u99999999999999999999? x\\par}", "big ", false},
        {"{\\rtf1 \\fs-5 small\\fs999999999999 big\\uc999999999999 x\\par}", "small", false},
        {std::string("{\\rtf1 nul\0 byte\\par}", 20), "nul", false},
        {"{\\rtf1 a" + std::string(100000, '{') + "deep" + std::string(100000, '}'), "a", true},
        {"{\\rtf1 a\\" + std::string(5000, 'x') + " after\\par}", "a", false},
        {"{\\rtf1 a{\\*" + std::string(3000, '{'), "a", true},
        {"{\\rtf1 a" + std::string(999, '{') + "deep enough" + std::string(999, '}'), "adeep enough", false},
    };
    for (auto& c : cases) {
        TRtfDocument doc;
        EXPECT_NO_THROW(doc = ReadRtf(c.Rtf)) << c.Rtf.substr(0, 40);
        EXPECT_TRUE(Utf8(doc.Text()).starts_with(c.Prefix))
            << c.Rtf.substr(0, 40) << " -> " << Utf8(doc.Text());
        EXPECT_EQ(doc.Cut, c.Cut ? TRtfCut::rcNesting : TRtfCut::rcNone) << c.Rtf.substr(0, 40);
    }
}

TEST(RtfReaderTest, AtMostTheParagraphsAndRunsAskedForAreKept) {
    const std::string rtf = R"({\rtf1 one\par two {\b bold} three\par\par four\par})";
    EXPECT_EQ(ReadRtf(rtf).PartCount(), 9u);
    struct {
        std::size_t MaxParts;
        const char* Text;
        TRtfCut Cut;
    } cases[] = {
        {9, "one\ntwo bold three\n\nfour\n", TRtfCut::rcNone},
        {8, "one\ntwo bold three\n\n", TRtfCut::rcLength},
        {5, "one\ntwo bold\n", TRtfCut::rcLength}, // the runs read stay with their paragraph
        {0, "", TRtfCut::rcLength},
    };
    for (const auto& c : cases) {
        const TRtfDocument doc = ReadRtf(rtf, c.MaxParts);
        EXPECT_EQ(Utf8(doc.Text()), c.Text) << c.MaxParts;
        EXPECT_EQ(doc.Cut, c.Cut) << c.MaxParts;
        EXPECT_LE(doc.PartCount(), c.MaxParts) << c.MaxParts;
    }
}

TEST(RtfReaderTest, ALongParagraphIsOneRunWhileItsFormattingStays) {
    // A formatting change anywhere starts a new run; so does its end.
    const std::string text(20000, 'x');
    const TRtfDocument doc =
        ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 " + text + "{\\b " + text + "}" + text + "}");
    ASSERT_EQ(doc.Paragraphs.size(), 1u);
    const auto& runs = doc.Paragraphs[0].Runs;
    ASSERT_EQ(runs.size(), 3u);
    for (const TRtfRun& run : runs) {
        EXPECT_EQ(run.Text.size(), text.size());
        EXPECT_EQ(run.FontName, "Arial");
    }
    EXPECT_TRUE(runs[1].Bold);
    EXPECT_FALSE(runs[0].Bold || runs[2].Bold);
}
