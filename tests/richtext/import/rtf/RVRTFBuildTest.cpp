// Documents built from RTF: paragraphs and lines, tabs, hidden text,
// hyperlinks, sequences, notes, bookmarks, page breaks, pictures, page
// parameters, headers and footers, and insertion into a document.
#include <fstream>

#include "RVRTFTestSupport.h"
#include "richtext/engine/document/RVDocParams.h"
#include "support/TestSupport.h"

namespace {

std::string Hex(const uint8_t* Data, std::size_t Size) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < Size; ++i) {
        out += digits[Data[i] >> 4];
        out += digits[Data[i] & 15];
    }
    return out;
}

// A bitmap of the size as the data of an RTF picture (no file header).
std::string DibHex(int Width, int Height) {
    TRVBitmapImage image(Width, Height);
    image.Fill(RGB(10, 20, 30));
    TRVMemoryStream stream;
    image.SaveDibToStream(stream);
    return Hex(stream.Memory(), std::size_t(stream.Size()));
}

std::string DibBytes(int Width, int Height) {
    TRVBitmapImage image(Width, Height);
    TRVMemoryStream stream;
    image.SaveDibToStream(stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

std::string JpegHex(int Width, int Height) {
    TRVBitmapImage image(Width, Height);
    image.Fill(RGB(200, 20, 30));
    TRVJpegImage jpeg;
    jpeg.CompressFrom(image, 80);
    return Hex(jpeg.Data().data(), jpeg.Data().size());
}

const std::string Fonts = "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\froman Times New Roman;}}";

struct TBuildCase {
    const char* Name;
    std::string Body;
    std::string Summary;
};

class RVRTFBuildCaseTest : public ::testing::TestWithParam<TBuildCase> {};

TEST_P(RVRTFBuildCaseTest, BuildsTheDocument) {
    const TBuildCase& c = GetParam();
    TRVRTFReadResult r = ReadChecked("{\\rtf1\\ansi\\ansicpg1251" + Fonts + c.Body + "}");
    EXPECT_EQ(r.Code, rtf_ec_OK);
    EXPECT_EQ(Summary(*r.Document), c.Summary);
}

const TBuildCase BuildCases[] = {
    {"Paragraphs", "a\\par b\\line c\\par\\par d", "a|b/c||d"},
    {"FormattingKeepsTheParagraph", "a{\\b b}c\\par", "a+b+c"},
    {"CyrillicBytes", "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2", "Привет"},
    {"CyrillicAsUnicode", "\\uc1\\u1055?\\u1088?\\u1080?", "При"},
    {"HiddenTextIsSkipped", "a\\par {\\v h}b", "ab"},
    {"TabsAreItems", "a\\tab b", "a+[tab]+b"},
    {"BookmarkOnTheNextItem", "a{\\*\\bkmkstart m1}{\\*\\bkmkend m1}b", "a+[#m1]b"},
    {"PageBreak", "a\\par\\page b", "a|[page]b"},
    {"Footnote", "a{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} note}b",
     "a+[footnote [ref]+ note]+b"},
    {"Endnote", "a\\chftn{\\footnote\\ftnalt\\pard\\chftn  end}b", "a+[endnote [ref]+ end]+b"},
    {"SeqField", "{\\field{\\*\\fldinst SEQ Table \\\\* ROMAN \\\\r 4}{\\fldrslt IV}} x",
     "[seq Table IV]+ x"},
    {"NotesNameGetsAMark", "{\\field{\\*\\fldinst SEQ @FOOTNOTE@}{\\fldrslt 1}}", "[seq _@FOOTNOTE@ 1]"},
    {"ObjectShowsItsResult", "{\\object\\objemb{\\*\\objdata 0102}{\\result r}}", "r"},
    {"Picture", "{\\pict\\dibitmap0\\picw3\\pich2 " + DibHex(3, 2) + "}", "[picture 3x2]"},
    {"BinaryPicture",
     "{\\pict\\dibitmap0\\bin" + std::to_string(DibHex(2, 3).size() / 2) + " " + DibBytes(2, 3) + "}",
     "[picture 2x3]"},
    {"UnusableBitmapIsShownAsInvalid", "{\\pict\\dibitmap0{\\bin48 " + std::string(48, '\0') + "}}",
     "[picture 20x20]"},
    {"Jpeg", "{\\pict\\jpegblip " + JpegHex(8, 4) + "}", "[picture 8x4]"},
    {"MetafileIsShownAsInvalid", "{\\pict\\wmetafile8\\picw100\\pich100 0102}", "[picture 20x20]"},
    {"ShapePictureWins",
     "{\\*\\shppict{\\pict\\dibitmap0 " + DibHex(2, 2) + "}}{\\nonshppict{\\pict\\wmetafile8 00}}",
     "[picture 2x2]"},
    {"AlternativeOfAPngIsRead",
     "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict\\dibitmap0 " + DibHex(1, 1) + "}}",
     "[picture 1x1]"},
    {"EmptyTableCellsKeepTheirParagraphs",
     "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl a\\cell\\cell c\\cell\\row\\pard d",
     "a+[tab]+[tab]+c|d"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RVRTFBuildCaseTest, ::testing::ValuesIn(BuildCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(RVRTFBuildTest, SpacesInTabReplaceTabs) {
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    TRVRTFDocument data;
    data.Style->SpacesInTab = 4;
    auto stream = StreamOf("{\\rtf1 a\\tab b}");
    ASSERT_EQ(options.LoadRTFFromStream(*stream, &data), rtf_ec_OK);
    EXPECT_EQ(Summary(data), "a    b");
}

TEST(RVRTFBuildTest, HyperlinkTargets) {
    struct TCase {
        const char* Instruction;
        const char* BasePath;
        bool BasePathLinks;
        const char* Target;
        const char* Hint;
    } cases[] = {
        {"HYPERLINK \"a.htm\"", "", true, "a.htm", ""},
        {"HYPERLINK \"a.htm\"", "C:\\\\doc\\\\", true, "C:\\doc\\a.htm", ""},
        {"HYPERLINK \"a.htm\"", "C:\\\\doc\\\\", false, "a.htm", ""},
        {"HYPERLINK \"#top\"", "C:\\\\doc\\\\", true, "#top", ""},
        {"HYPERLINK \\\\l \"bookmark1\"", "/doc/", true, "#bookmark1", ""},
        {"HYPERLINK \"http://x.ru/a%20b\" \\\\o \"Tip here\"", "/doc/", true, "http://x.ru/a b", "Tip here"},
        {"HYPERLINK \"b.htm\" \\\\l \"part\"", "", true, "b.htm#part", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Instruction);
        TRVRTFReaderProperties options;
        SetRtfDocumentReadOptions(options);
        AnsiString base = c.BasePath;
        for (std::size_t i; (i = base.find("\\\\")) != AnsiString::npos;)
            base.replace(i, 2, "\\");
        options.BasePath = base;
        options.BasePathLinks = c.BasePathLinks;
        TRVRTFReadResult r =
            ReadChecked(std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\field{\\*\\fldinst ") + c.Instruction +
                            "}{\\fldrslt link}}}",
                        options);
        ASSERT_EQ(r.Document->ItemCount(), 1);
        const auto* target = std::get_if<AnsiString>(&r.Document->GetItemTag(0));
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(*target, c.Target);
        EXPECT_EQ(r.Document->GetItem(0)->Hint, c.Hint);
        EXPECT_TRUE(TextStyleOf(*r.Document, 0).Jump);
    }
}

TEST(RVRTFBuildTest, HyperlinkedPictureIsAHotPicture) {
    TRVRTFReadResult r =
        ReadChecked("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x.htm\"}{\\fldrslt{\\pict\\dibitmap0 " +
                    DibHex(2, 2) + "}}}}");
    ASSERT_EQ(r.Document->ItemCount(), 1);
    EXPECT_EQ(r.Document->GetItem(0)->StyleNo, rvsHotPicture);
    EXPECT_EQ(std::get<AnsiString>(r.Document->GetItemTag(0)), "x.htm");
}

TEST(RVRTFBuildTest, PictureScaleGivesTheShownSize) {
    TRVRTFReadResult r = ReadChecked("{\\rtf1{\\pict\\picscalex50\\picscaley200\\dibitmap0\\picw4\\pich4 " +
                                     DibHex(4, 4) + "}}");
    auto& picture = r.Document->CheckItemClass<TRVGraphicItemInfo>(0);
    EXPECT_EQ(picture.ImageWidth, 2);
    EXPECT_EQ(picture.ImageHeight, 8);
}

TEST(RVRTFBuildTest, BrokenPictureDataEndsTheRead) {
    // A device-dependent bitmap whose data is shorter than its size.
    TRVRTFReadResult r =
        ReadRtfDocument("{\\rtf1 a\\par{\\pict\\wbitmap0\\picw100\\pich100\\wbmwidthbytes300 "
                        "000000}b}");
    EXPECT_EQ(r.Code, rtf_ec_InvalidPicture);
    EXPECT_EQ(Summary(*r.Document), "a") << "what was read before stays";
    r = ReadRtfDocument("{\\rtf1{\\pict\\jpegblip 00112233}}");
    EXPECT_EQ(r.Code, rtf_ec_InvalidPicture);
}

TEST(RVRTFBuildTest, IncludedPicturesComeOnlyFromLocalFilesWhenAllowed) {
    TTempFolder folder;
    {
        TRVBitmapImage image(5, 3);
        TRVMemoryStream bytes;
        image.SaveToStream(bytes);
        std::ofstream(folder.Path() + "pic.bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.Memory()), std::streamsize(bytes.Size()));
    }
    auto read = [&](const std::string& Name, bool Allow) {
        TRVRTFReaderProperties options;
        SetRtfDocumentReadOptions(options);
        options.AllowIncludedPictureFiles = Allow;
        options.BasePath = folder.Path();
        return Summary(*ReadChecked("{\\rtf1{\\field{\\*\\fldinst INCLUDEPICTURE \"" + Name +
                                        "\" \\\\* MERGEFORMAT}{\\fldrslt{\\pict\\dibitmap0 " + DibHex(1, 1) +
                                        "}}}}",
                                    options)
                            .Document);
    };
    EXPECT_EQ(read("pic.bmp", true), "[picture 5x3]") << "the picture of the result is not used";
    EXPECT_EQ(read("pic.bmp", false), "[picture 1x1]");
    EXPECT_EQ(read("file:pic.bmp", true), "[picture 1x1]") << "no URL is loaded";
    EXPECT_EQ(read("missing.bmp", true), "[picture 1x1]");
}

TEST(RVRTFBuildTest, PageParametersOfALoadedDocument) {
    TRVRTFReadResult r =
        ReadChecked("{\\rtf1\\paperw11906\\paperh16838\\margl1134\\margr850\\margt1134\\margb1134"
                    "\\landscape\\viewscale120\\viewzk2\\margmirror\\headery709 a}");
    TRVDocParameters* params = r.Document->GetDocParameters(false);
    ASSERT_NE(params, nullptr);
    EXPECT_NEAR(params->PageWidth, 11906 / 1440.0, 1e-9);
    EXPECT_NEAR(params->LeftMargin, 1134 / 1440.0, 1e-9);
    EXPECT_NEAR(params->HeaderY, 709 / 1440.0, 1e-9);
    EXPECT_EQ(params->Orientation, poLandscape);
    EXPECT_EQ(params->ZoomPercent, 120);
    EXPECT_EQ(params->ZoomMode, rvzmPageWidth);
    EXPECT_TRUE(params->MirrorMargins);
}

TEST(RVRTFBuildTest, InsertsAtAnIndexOfADocument) {
    TRVRTFDocument data;
    data.AddTextItem("before", 0, 0);
    data.AddTextItem("after", 0, 0);
    TRVRTFReaderProperties options;
    options.ReadDocParameters = true;
    int index = 1;
    auto stream = StreamOf("{\\rtf1\\paperw1000 x\\par y\\par z}");
    ASSERT_EQ(options.ReadRTFFromStream(*stream, &data, index), rtf_ec_OK);
    EXPECT_EQ(index, 1) << "the first item placed";
    EXPECT_EQ(options.InsertedItemCount, 2);
    EXPECT_EQ(Summary(data), "before|x|y|z|after");
    EXPECT_EQ(data.GetDocParameters(false), nullptr) << "an insertion reads no page parameters";
    // At the end of the stream nothing is placed.
    index = 0;
    stream = StreamOf("");
    EXPECT_EQ(options.ReadRTFFromStream(*stream, &data, index), rtf_ec_OK);
    EXPECT_EQ(index, -1);
}

TEST(RVRTFBuildTest, ARefusedItemAbortsTheRead) {
    TRVRTFDocument data;
    TRVRTFReaderProperties options;
    options.OnInsertLoadedItem = [](TCustomRVData&, int&, AnsiString&, std::unique_ptr<TCustomRVItemInfo>&,
                                    bool, bool&, bool&) { return false; };
    int index = 0;
    auto stream = StreamOf("{\\rtf1 x\\par y}");
    EXPECT_EQ(options.ReadRTFFromStream(*stream, &data, index), rtf_ec_Aborted);
    EXPECT_EQ(data.ItemCount(), 0);
}

TEST(RVRTFBuildTest, HeaderAndFooterGoToTheirDocuments) {
    TRVRTFDocument data, header, footer;
    header.AddTextItem("old", 0, 0);
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    options.Header = &header;
    options.Footer = &footer;
    auto stream = StreamOf("{\\rtf1\\headery720\\footery1440{\\header top}{\\footer bottom}body}");
    ASSERT_EQ(options.LoadRTFFromStream(*stream, &data), rtf_ec_OK);
    EXPECT_EQ(Summary(data), "body");
    EXPECT_EQ(Summary(header), "top");
    EXPECT_EQ(Summary(footer), "bottom");
    EXPECT_EQ(options.HeaderY, 13);
    EXPECT_EQ(options.FooterY, 25);
    // Without documents for them, headers and footers are skipped.
    EXPECT_EQ(Summary(*ReadChecked("{\\rtf1{\\header top}body}").Document), "body");
}

TEST(RVRTFBuildTest, UnicodeModes) {
    const std::string rtf = "{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\uc1\\u1055?\\'e0}";
    struct TCase {
        TRVReaderUnicode Mode;
        const char* Summary;
        bool FirstUnicode;
    } cases[] = {{rvruNoUnicode, "?а", false}, {rvruMixed, "П+а", true}, {rvruOnlyUnicode, "Па", true}};
    for (const TCase& c : cases) {
        TRVRTFReaderProperties options;
        SetRtfDocumentReadOptions(options);
        options.UnicodeMode = c.Mode;
        TRVRTFReadResult r = ReadChecked(rtf, options);
        EXPECT_EQ(Summary(*r.Document), c.Summary) << int(c.Mode);
        EXPECT_EQ(r.Document->GetItem(0)->IsUnicode(), c.FirstUnicode) << int(c.Mode);
    }
}

TEST(RVRTFBuildTest, TextStyleNoMustNotBeNegative) {
    TRVRTFReaderProperties options;
    EXPECT_THROW(options.SetTextStyleNo(-1), Exception);
    EXPECT_THROW(options.SetParaStyleNo(-2), Exception);
    options.SetTextStyleNo(3);
    TRVRTFReaderProperties copy;
    copy.Assign(&options);
    EXPECT_EQ(copy.TextStyleNo(), 3);
}

} // namespace
