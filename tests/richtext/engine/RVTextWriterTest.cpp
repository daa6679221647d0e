// The plain-text writer in both encodings, and the document parameters' lines.
#include <gtest/gtest.h>

#include "RVWriterTestData.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/items/RVPictures.h"
#include "support/TestSupport.h"

namespace {

std::string Wide(const std::string& Ascii) {
    std::string out;
    for (char c : Ascii)
        out += std::string{c, '\0'};
    return out;
}

TEST(RVTextWriterTest, ParagraphsAndLineBreaksEndLines) {
    auto style = MakePlainStyle();
    TSelectionData data(style.get());
    data.AddTextItem("a", 0, 0);
    data.AddTextItem("b", 0, 0);
    EXPECT_EQ(SaveTextString(data, false, false), "a\r\nb");
    EXPECT_EQ(SaveTextString(data, true, true), "\xFF\xFE" + Wide("a\r\nb"));
    auto lineBreak = std::make_unique<TRVTextItemInfo>(&data);
    lineBreak->ItemOptions = ioLineBreakBefore;
    data.AddItem("c", std::move(lineBreak));
    data.GetItem(2)->SetPageBreakBefore(false);
    EXPECT_EQ(SaveTextString(data, false, false), "a\r\nb\r\nc");
}

TEST(RVTextWriterTest, TextIsConvertedToTheOutputEncoding) {
    auto style = MakePlainStyle();
    TFontInfo* unicode = style->TextStyles().Add();
    unicode->Unicode = true;
    TSelectionData data(style.get());
    data.AddTextItem("\xE0", 0, 0);
    data.AddWideTextTag(u"\u0431\u4E00", 1, -1, 0);
    EXPECT_EQ(SaveTextString(data, false, false), "\xE0\xE1?");
    EXPECT_EQ(SaveTextString(data, true, false), std::string("\x30\x04\x31\x04\x00\x4E", 6));
}

TEST(RVTextWriterTest, TextOnlySkipsPicturesButNotTabs) {
    auto style = MakePlainStyle();
    TSelectionData data(style.get());
    data.AddTextItem("a", 0, 0);
    auto picture =
        std::make_unique<TRVGraphicItemInfo>(&data, std::make_unique<TRVBitmapImage>(1, 1), vaBaseline);
    picture->ParaNo = -1;
    data.AddItem("", std::move(picture));
    auto tab = std::make_unique<TRVTabItemInfo>(&data);
    tab->ParaNo = -1;
    data.AddItem("", std::move(tab));
    data.AddTextItem("b", 0, -1);
    EXPECT_EQ(SaveTextString(data, false, false, true), "a\tb");
    data.AddBreak();
    EXPECT_EQ(SaveTextString(data, false, false), "a\tb\r\n----------");
}

TEST(RVTextWriterTest, ASelectionWritesItsPartsAndItsListNumber) {
    auto style = MakePlainStyle();
    TRVListLevel& level = *style->ListStyles().Add()->Levels().Add();
    level.ListType = rvlstDecimal;
    level.FormatString = "%0:s.";
    TSelectionData data(style.get());
    data.AddTextItem("first", 0, 0);
    data.ApplyListMarker(-1, 0, 0, 1, false, 0);
    data.AddTextItem("second", 0, -1);
    struct Case {
        int StartNo, StartOffs, EndNo, EndOffs;
        std::string Text;
    } cases[] = {
        {0, 3, 2, 4, "rst\r\n1. sec"},
        {2, 2, 2, 5, "1. eco"},
        {1, 0, 1, 1, "1. "},
        {0, 2, 0, 2, ""},
    };
    for (const Case& c : cases) {
        data.StartNo = c.StartNo, data.StartOffs = c.StartOffs, data.EndNo = c.EndNo,
        data.EndOffs = c.EndOffs;
        EXPECT_EQ(SaveTextString(data, false, false, false, true), c.Text) << c.StartNo << " " << c.StartOffs;
    }
}

TEST(RVTextWriterTest, EmptyDocumentsWriteNothingNotEvenTheSignature) {
    TSelectionData data(nullptr);
    EXPECT_EQ(SaveTextString(data, true, true), "");
}

TEST(RVTextWriterTest, FilesAreWrittenInBothEncodings) {
    TTempFolder folder;
    auto style = MakePlainStyle();
    TSelectionData data(style.get());
    data.AddTextItem("a", 0, 0);
    data.AddTextItem("b", 0, 0);
    ASSERT_TRUE(data.SaveTextFile(folder.Path() + "a.txt", 80, false));
    EXPECT_EQ(ReadFileBytes(folder.Path() + "a.txt"), "a\r\nb");
    ASSERT_TRUE(data.SaveTextFile(folder.Path() + "a.txt", 80, true));
    EXPECT_EQ(ReadFileBytes(folder.Path() + "a.txt"), std::string("\xFF\xFE") + Wide("a\r\nb"));
    EXPECT_FALSE(data.SaveTextFile(folder.Path() + "none/a.txt", 80, true));
}

// ---------------------------------------------------------------- document parameters

std::string RvfLines(const TRVDocParameters& Params) {
    TRVMemoryStream stream;
    Params.WriteDocParametersRvf(stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

TEST(RVDocParametersTest, OnlyValuesOtherThanTheDefaultsAreStored) {
    TRVDocParameters params;
    EXPECT_EQ(RvfLines(params), "");
    EXPECT_TRUE(params.AreAllValuesDefault());
    params.Orientation = poLandscape;
    EXPECT_EQ(RvfLines(params), "Orientation=1\r\n");
    params.Reset();
    params.Units = rvuMillimeters;
    params.PageWidth = 210;
    params.PageHeight = 297;
    EXPECT_EQ(RvfLines(params), "Units=2\r\nPageHeight=297\r\nPageWidth=210\r\n");
    EXPECT_EQ(params.GetRVFLineCount(), 3);
    EXPECT_EQ(params.ToTwips(210), 11906);
    params.Reset();
    EXPECT_EQ(params.ToTwips(params.PageWidth), 11906);
    params.Units = rvuPixels;
    EXPECT_EQ(UnitsPerInch(rvuPixels), 96);
    params.ZoomMode = rvzmFullPage;
    params.MirrorMargins = true;
    EXPECT_EQ(RvfLines(params), "Units=4\r\nZoomMode=0\r\nMirrorMargins=1\r\n");
}

TEST(RVDocParametersTest, ReadsLinesWhateverTheLocale) {
    TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = ',';
    TRVDocParameters params;
    params.ReadDocParameterRvf("LeftMargin=1.5");
    EXPECT_DOUBLE_EQ(params.LeftMargin, 1.5);
    EXPECT_EQ(RvfLines(params), "LeftMargin=1.5\r\n");
    params.ReadDocParameterRvf("MirrorMargins=yes");
    EXPECT_TRUE(params.MirrorMargins);
    params.ReadDocParameterRvf("MirrorMargins=0");
    EXPECT_FALSE(params.MirrorMargins);
    params.ReadDocParameterRvf("Colour=red");
    params.ReadDocParameterRvf("PageWidth");
    EXPECT_DOUBLE_EQ(params.PageWidth, 8.2677165354);
    EXPECT_THROW(params.ReadDocParameterRvf("TopMargin=wide"), EConvertError);
    EXPECT_DOUBLE_EQ(params.TopMargin, 1);
    FormatSettings = saved;
}

} // namespace
