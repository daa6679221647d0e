// Text and paragraph styles of imported RTF: the style given, the closest
// existing one, and styles added when none is equal, with borders.
#include "RVRTFTestSupport.h"

namespace {

const std::string Header =
    "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}";

// Reads Body into a document whose style sheet Prepare fills, with the modes.
TRVRTFReadResult ReadWith(const std::string& Body, TRVReaderStyleMode Mode,
                          const std::function<void(TRVStyle&)>& Prepare = nullptr) {
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    options.TextStyleMode = options.ParaStyleMode = Mode;
    options.UnicodeMode = rvruNoUnicode;
    TRVRTFReadResult result;
    result.Document = std::make_unique<TRVRTFDocument>();
    if (Prepare) Prepare(*result.Document->Style);
    auto stream = StreamOf(Header + Body + "}");
    result.Code = options.LoadRTFFromStream(*stream, result.Document.get());
    EXPECT_EQ(CheckRTFDocumentInvariants(*result.Document), "") << Body;
    return result;
}

TEST(RVRTFStylesTest, AddedTextStylesAreSharedByEqualText) {
    TRVRTFReadResult r =
        ReadWith("\\caps\\f1\\fs28 A\\par \\pard\\caps\\f1\\fs28 B\\par\\pard\\plain\\b\\cf1 C\\par \\fs0 D",
                 rvrsAddIfNeeded);
    const TRVRTFDocument& d = *r.Document;
    ASSERT_EQ(d.ItemCount(), 4);
    EXPECT_EQ(d.GetItemStyle(0), d.GetItemStyle(1)) << "one new style for equal capitals";
    const TFontInfo& caps = TextStyleOf(d, 0);
    EXPECT_EQ(caps.FontName, "Courier New");
    EXPECT_EQ(caps.Size, 14);
    EXPECT_EQ(caps.StyleEx, rvfsAllCaps);
    EXPECT_FALSE(caps.Standard);
    const TFontInfo& bold = TextStyleOf(d, 2);
    EXPECT_EQ(bold.Style, TFontStyles(fsBold));
    EXPECT_EQ(bold.Color, RGB(255, 0, 0));
    EXPECT_EQ(TextStyleOf(d, 3).Size, 1) << "\\fs0 counts as size 1";
    // Without a font table every text has style 0.
    TRVRTFReadResult plain = ReadChecked("{\\rtf1\\b a\\par\\i b}");
    EXPECT_EQ(plain.Document->GetItemStyle(0), 0);
    EXPECT_EQ(plain.Document->GetItemStyle(1), 0);
}

TEST(RVRTFStylesTest, AddedParagraphStylesAreSharedByEqualParagraphs) {
    TRVRTFReadResult r = ReadWith("\\keepn\\qc\\li720 a\\par b\\par\\pard c", rvrsAddIfNeeded);
    const TRVRTFDocument& d = *r.Document;
    EXPECT_EQ(d.GetItemPara(0), d.GetItemPara(1));
    const TParaInfo& p = ParaStyleOf(d, 0);
    EXPECT_EQ(p.Alignment, rvaCenter);
    EXPECT_EQ(p.LeftIndent, 48);
    EXPECT_EQ(p.Options, TRVParaOptions(rvpaoKeepWithNext));
    EXPECT_EQ(d.GetItemPara(2), 0) << "a plain paragraph is the sheet's first style";
}

TEST(RVRTFStylesTest, AddedBorderWidensTheParagraph) {
    TRVRTFReadResult r = ReadWith("\\brdrb\\brdrs\\brdrw15\\brsp40\\sa20 a", rvrsAddIfNeeded);
    const TParaInfo& p = ParaStyleOf(*r.Document, 0);
    EXPECT_EQ(p.Border().Style, rvbSingle);
    EXPECT_EQ(p.Border().Width, 1);
    EXPECT_TRUE(p.Border().VisibleBorders().IsEqualToValues(false, false, false, true));
    EXPECT_EQ(p.Border().BorderOffsets().Bottom, 3);
    EXPECT_GE(p.SpaceAfter, 3 + 1 - 1) << "at least the offset and the width less one";
}

TEST(RVRTFStylesTest, BorderConversion) {
    struct TCase {
        const char* Words;
        TRVBorderStyle Style;
        int Width;
        int Internal;
    } cases[] = {
        {"\\brdrs\\brdrw30", rvbSingle, 2, 0},
        {"\\brdrth\\brdrw15", rvbSingle, 2, 0},
        {"\\brdrhair", rvbSingle, 1, 0},
        {"\\brdrdb\\brdrw30", rvbDouble, 2, 3},
        {"\\brdrtriple\\brdrw30", rvbTriple, 2, 3},
        {"\\brdrtnthsg\\brdrw60", rvbThickOutside, 2, 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Words);
        TRVRTFReadResult r = ReadWith(std::string("\\brdrt") + c.Words + " a", rvrsAddIfNeeded);
        const TRVBorder& b = ParaStyleOf(*r.Document, 0).Border();
        EXPECT_EQ(b.Style, c.Style);
        EXPECT_EQ(b.Width, c.Width);
        if (c.Style != rvbSingle) {
            EXPECT_EQ(b.InternalWidth, c.Internal);
        }
    }
}

TEST(RVRTFStylesTest, ClosestStyles) {
    auto sheet = [](TRVStyle& S) {
        S.TextStyles().Clear();
        TFontInfo& plain = *S.TextStyles().Add();
        plain.FontName = "Arial";
        TFontInfo& bold = *S.TextStyles().Add();
        bold.FontName = "Arial";
        bold.Style = fsBold;
        TFontInfo& boldOverline = *S.TextStyles().Add();
        boldOverline.FontName = "Arial";
        boldOverline.Style = fsBold;
        boldOverline.Size = 12;
        boldOverline.StyleEx = rvfsOverline;
        TFontInfo& red = *S.TextStyles().Add();
        red.FontName = "Courier New";
        red.Color = RGB(255, 0, 0);
        S.ParaStyles().Clear();
        S.ParaStyles().Add();
        S.ParaStyles().Add()->Alignment = rvaRight;
    };
    TRVRTFReadResult r =
        ReadWith("\\b\\fs24 bold\\par\\qr\\plain\\f1\\cf1 red\\par\\pard\\plain{\\field{\\*\\fldinst "
                 "HYPERLINK \"x\"}{\\fldrslt link}}",
                 rvrsUseClosest, sheet);
    const TRVRTFDocument& d = *r.Document;
    EXPECT_EQ(d.GetItemStyle(0), 1) << "the overlined style of the right size scores a quarter";
    EXPECT_EQ(d.GetItemStyle(1), 3);
    EXPECT_EQ(d.GetItemPara(1), 1);
    EXPECT_EQ(d.GetItemStyle(2), 0) << "no hypertext style: nothing scores";
    EXPECT_EQ(d.Style->TextStyles().Count(), 4) << "nothing is added";
    // A sheet of one style always gives it.
    r = ReadWith("\\b\\i\\fs50\\cf1 x", rvrsUseClosest, [](TRVStyle& S) {
        S.TextStyles().Clear();
        S.TextStyles().Add();
    });
    EXPECT_EQ(r.Document->GetItemStyle(0), 0);
}

TEST(RVRTFStylesTest, SpecifiedStylesAndTheFilter) {
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    options.TextStyleMode = options.ParaStyleMode = rvrsUseSpecified;
    options.SetTextStyleNo(1);
    options.SetParaStyleNo(0);
    TRVRTFDocument data;
    data.Style->TextStyles().Add()->Style = fsItalic;
    auto stream = StreamOf(Header + "\\b a\\par\\qc b}");
    ASSERT_EQ(options.LoadRTFFromStream(*stream, &data), rtf_ec_OK);
    EXPECT_EQ(data.GetItemStyle(0), 1);
    EXPECT_EQ(data.GetItemStyle(1), 1);
    EXPECT_EQ(data.GetItemPara(1), 0);
    // The filter keeps styles out of a closest match.
    TRVRTFReaderProperties closest;
    SetRtfDocumentReadOptions(closest);
    closest.TextStyleMode = rvrsUseClosest;
    closest.UnicodeMode = rvruNoUnicode;
    TRVRTFDocument unfiltered;
    unfiltered.Style->TextStyles().Add()->Style = fsBold;
    stream = StreamOf(Header + "\\b a}");
    ASSERT_EQ(closest.LoadRTFFromStream(*stream, &unfiltered), rtf_ec_OK);
    EXPECT_EQ(unfiltered.GetItemStyle(0), 1);
    closest.OnAllowUseStyle = [](int StyleNo, bool TextStyle, bool& Allow) {
        Allow = !TextStyle || StyleNo != 1;
    };
    TRVRTFDocument data2;
    data2.Style->TextStyles().Add()->Style = fsBold;
    stream = StreamOf(Header + "\\b a}");
    ASSERT_EQ(closest.LoadRTFFromStream(*stream, &data2), rtf_ec_OK);
    EXPECT_EQ(data2.GetItemStyle(0), 0);
}

} // namespace
