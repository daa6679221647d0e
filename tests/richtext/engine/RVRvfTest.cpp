// The native format: the writer's records and blocks, round trips of every
// item kind in both forms, the reader's repairs and refusals, and streams
// that must leave the document as it was.
#include <gtest/gtest.h>

#include "RVDocumentDump.h"
#include "RVReportDocument.h"
#include "RVWriterTestData.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/formats/rvf/RVRvfReader.h"
#include "richtext/engine/formats/rvf/RVRvfStyles.h"

namespace {

std::string Bytes(TRVMemoryStream& Stream) {
    return std::string(reinterpret_cast<const char*>(Stream.Memory()), std::size_t(Stream.Size()));
}

std::string SaveRvfString(TCustomRVData& Data, TRVLayoutInfo* Layout = nullptr, bool SelectionOnly = false) {
    TRVMemoryStream stream;
    EXPECT_TRUE(Data.SaveRvf(stream, SelectionOnly, Layout, clNone));
    return Bytes(stream);
}

// Text styles: 0 Arial, 1 bold, 2 Unicode. Paragraph styles: 0 plain,
// 1 centred. List style 0: decimal.
std::unique_ptr<TRVStyle> MakeRvfStyle() {
    auto style = std::make_unique<TRVStyle>(nullptr);
    style->TextStyles().Clear();
    for (int i = 0; i < 3; ++i) {
        TFontInfo& text = *style->TextStyles().Add();
        text.StyleName = i == 0 ? "Normal" : i == 1 ? "Bold \"text\"" : "Unicode";
        text.Style = i == 1 ? TFontStyles(fsBold) : TFontStyles(0);
        text.Unicode = i == 2;
    }
    style->ParaStyles().Clear();
    style->ParaStyles().Add()->StyleName = "Body";
    TParaInfo& centred = *style->ParaStyles().Add();
    centred.StyleName = "Centred";
    centred.Alignment = rvaCenter;
    TRVListLevel& level = *style->ListStyles().Add()->Levels().Add();
    level.ListType = rvlstDecimal;
    level.FormatString = "%0:s.";
    return style;
}

// A document whose tag kind a test sets.
class TTagOptionsData : public TWriterTestData {
public:
    using TWriterTestData::TWriterTestData;
    TRVOptions Options = RVDefaultOptions;
    TRVOptions GetOptions() const override { return Options; }
    void SetOptions(TRVOptions Value) override { Options = Value; }
};

class RVRvfTest : public ::testing::Test {
protected:
    std::unique_ptr<TRVStyle> Style = MakeRvfStyle();
    TSelectionData Data{Style.get()};

    // Reads Bytes into a fresh document of the same style sheet.
    bool Load(const std::string& Bytes, TWriterTestData& Target, TRVLayoutInfo* Layout = nullptr) {
        TRVMemoryStream stream;
        stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
        stream.SetPosition(0);
        TColor color = clNone;
        return Target.LoadRvf(stream, color, Layout);
    }
    void ExpectRoundTrip(TWriterTestData& Source) {
        for (bool binary : {false, true}) {
            SCOPED_TRACE(binary ? "binary" : "text");
            Source.SetRVFOptions(binary ? Source.GetRVFOptions() | rvfoSaveBinary
                                        : Source.GetRVFOptions() & ~rvfoSaveBinary);
            std::string bytes = SaveRvfString(Source);
            TTagOptionsData copy(Style.get());
            copy.Options = Source.GetOptions();
            ASSERT_TRUE(Load(bytes, copy)) << bytes;
            EXPECT_EQ(CheckRVDataInvariants(copy), "");
            EXPECT_EQ(DumpRVData(copy), DumpRVData(Source));
        }
    }
};

// ---------------------------------------------------------------- records

TEST_F(RVRvfTest, OneLineParagraphsOfOneStyleShareOneRecord) {
    Data.SetRVFOptions(0);
    for (const char* text : {"one", "two", "three"})
        Data.AddTextItem(text, 0, 0);
    EXPECT_EQ(SaveRvfString(Data), "-8 1 3\r\n0 3 0 0 0 0\r\none\r\ntwo\r\nthree\r\n");
}

TEST_F(RVRvfTest, AnEmptyDocumentWritesNothing) {
    EXPECT_EQ(SaveRvfString(Data), "");
}

TEST_F(RVRvfTest, AnItemContinuingTheLineHasTheContinuesBit) {
    Data.SetRVFOptions(0);
    Data.AddTextItem("a", 0, 0);
    Data.AddTextItem("b", 1, -1);
    EXPECT_EQ(SaveRvfString(Data), "-8 1 3\r\n0 1 0 0 0 0\r\na\r\n1 1 -1 1 0 0\r\nb\r\n");
}

TEST_F(RVRvfTest, StyleNamesAreQuotedWithInnerQuotesDoubled) {
    Data.SetRVFOptions(rvfoUseStyleNames);
    Data.AddTextItem("a", 1, 1);
    std::string bytes = SaveRvfString(Data);
    EXPECT_EQ(bytes, "-8 1 3\r\n\"Bold \"\"text\"\"\" 1 \"Centred\" 0 0 0\r\na\r\n");
    TWriterTestData copy(Style.get());
    ASSERT_TRUE(Load(bytes, copy));
    EXPECT_EQ(copy.GetItemStyle(0), 1);
    EXPECT_EQ(copy.GetItemPara(0), 1);
}

TEST_F(RVRvfTest, UnicodeTextEndsWithTheParagraphSeparatorInBinaryAndIsHexInText) {
    Data.AddWideTextTag(u"Жи", 2, 0, 0);
    Data.SetRVFOptions(rvfoSaveBinary);
    EXPECT_EQ(SaveRvfString(Data), std::string("-8 1 3\r\n2 1 0 8 0 0\r\n\x16\x04\x38\x04\x29\x20", 27));
    Data.SetRVFOptions(0);
    EXPECT_EQ(SaveRvfString(Data), "-8 1 3\r\n2 1 0 8 3 0\r\n16043804\r\n");
}

TEST_F(RVRvfTest, StringTagsAreQuotedAndAnEmptyTagIsZero) {
    TTagOptionsData data(Style.get());
    data.Options |= rvoTagsArePChars;
    data.SetRVFOptions(0);
    data.AddTextItemTag("a", 0, 0, AnsiString());
    data.AddTextItemTag("b", 0, 0, AnsiString("0"));
    data.AddTextItemTag("c", 0, 0, AnsiString("say \"hi\""));
    EXPECT_EQ(SaveRvfString(data), "-8 1 3\r\n0 1 0 0 0 0\r\na\r\n0 1 0 0 0 \"0\"\r\nb\r\n"
                                   "0 1 0 0 0 \"say \"\"hi\"\"\"\r\nc\r\n");
    ExpectRoundTrip(data);
}

TEST_F(RVRvfTest, ACheckpointEndsARunAndPrecedesItsItem) {
    Data.SetRVFOptions(0);
    Data.AddTextItem("a", 0, 0);
    Data.AddCheckpoint("mark", true, 5);
    Data.AddTextItem("b", 0, 0);
    Data.AddCheckpoint("end", false, 0);
    EXPECT_EQ(SaveRvfString(Data), "-8 1 3\r\n0 1 0 0 0 0\r\na\r\n-2 1 0 0 0 5 1 0\r\nmark\r\n"
                                   "0 1 0 0 0 0\r\nb\r\n-2 1 0 0 0 0 0 0\r\nend\r\n");
    ExpectRoundTrip(Data);
}

// ---------------------------------------------------------------- round trips

TEST_F(RVRvfTest, EveryItemKindComesBackInBothForms) {
    Data.AddTextItem("plain", 0, 0);
    Data.AddTextItemTag("tagged", 1, -1, 7);
    Data.AddWideTextTag(u"Юникод \u2603", 2, -1, 0);
    auto hinted = std::make_unique<TRVTextItemInfo>(&Data);
    hinted->StyleNo = 0;
    hinted->ParaNo = -1;
    hinted->Hint = "a \"quoted\" hint";
    Data.AddItem("hint", std::move(hinted));
    Data.AddBreakEx(3, brkDashed, clRed, 0);
    Data.AddBreak();
    auto tab = std::make_unique<TRVTabItemInfo>(&Data);
    tab->ParaNo = 1;
    tab->TextStyleNo = 1;
    Data.AddItem("", std::move(tab));
    auto picture =
        std::make_unique<TRVGraphicItemInfo>(&Data, std::make_unique<TRVBitmapImage>(7, 5), vaMiddle);
    picture->ParaNo = -1;
    picture->ImageWidth = 20;
    picture->Alt = "chart";
    picture->ImageFileName = "c.bmp";
    picture->Resizable = false;
    picture->Spacing = 3;
    picture->VShift = -2;
    picture->Unremovable = true;
    Data.AddItem("pic", std::move(picture));
    auto hot = std::make_unique<TRVHotGraphicItemInfo>(&Data, MakeReportChart(), vaBaseline);
    hot->ParaNo = -1;
    Data.AddItem("hot", std::move(hot));
    Data.ApplyListMarker(-1, 0, 0, 3, true, 0);
    Data.AddTextItem("listed", 0, -1);
    auto label = std::make_unique<TRVLabelItemInfo>(&Data, 1, "Label");
    label->ParaNo = -1;
    label->SetMinWidth(40);
    label->SetAlignment(2);
    label->ProtectTextStyleNo = true;
    Data.AddItem("lbl", std::move(label));
    auto seq = std::make_unique<TRVSeqItemInfo>(&Data, "fig", rvseqUpperRoman, 0, 4, true);
    seq->ParaNo = -1;
    seq->FormatString = "(%s)";
    Data.AddItem("seq", std::move(seq));
    auto note = std::make_unique<TRVFootnoteItemInfo>(&Data, 1, 1, false);
    note->ParaNo = -1;
    auto reference = std::make_unique<TRVNoteReferenceItemInfo>(note->Document.get(), 1);
    reference->Text = "1";
    note->Document->AddItem("", std::move(reference));
    note->Document->AddTextItem(" note body", 0, -1);
    note->Document->AddWideTextTag(u"и ещё", 2, 0, 0);
    Data.AddItem("fn", std::move(note));
    auto endnote = std::make_unique<TRVEndnoteItemInfo>(&Data, 0, 1, false);
    endnote->ParaNo = -1;
    endnote->Document->AddTextItem("end", 1, 0);
    Data.AddItem("en", std::move(endnote));
    Data.AddCheckpoint("last", false, 0);
    ASSERT_EQ(CheckRVDataInvariants(Data), "");
    ExpectRoundTrip(Data);
}

TEST_F(RVRvfTest, TheReportComesBackWithItsStylesLayoutAndProperties) {
    auto reportStyle = MakeReportStyle();
    TWriterTestData source(reportStyle.get());
    source.Flags |= 0x100;
    BuildReport(source);
    source.GetDocParameters(true)->LeftMargin = 1.5;
    source.SetRVFOptions(RVDefaultRVFOptions | rvfoSaveTextStyles | rvfoSaveParaStyles | rvfoSaveLayout |
                         rvfoLoadLayout);
    TRVLayoutInfo layout;
    layout.LeftMargin = 11;
    layout.MaxTextWidth = 700;
    layout.BiDiMode = rvbdLeftToRight;
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "text");
        source.SetRVFOptions(binary ? source.GetRVFOptions() | rvfoSaveBinary
                                    : source.GetRVFOptions() & ~rvfoSaveBinary);
        std::string bytes = SaveRvfString(source, &layout);
        TRVStyle otherStyle(nullptr);
        TWriterTestData copy(&otherStyle);
        copy.SetRVFOptions(source.GetRVFOptions());
        TRVLayoutInfo readLayout;
        ASSERT_TRUE(Load(bytes, copy, &readLayout));
        EXPECT_EQ(CheckRVDataInvariants(copy), "");
        EXPECT_EQ(DumpRVData(copy), DumpRVData(source));
        EXPECT_EQ(CompareStyles(otherStyle.TextStyles(), reportStyle->TextStyles()), "");
        EXPECT_EQ(CompareStyles(otherStyle.ParaStyles(), reportStyle->ParaStyles()), "");
        EXPECT_EQ(CompareStyles(otherStyle.ListStyles(), reportStyle->ListStyles()), "");
        EXPECT_TRUE(readLayout.WasRead);
        EXPECT_EQ(readLayout.LeftMargin, 11);
        EXPECT_EQ(readLayout.MaxTextWidth, 700);
        EXPECT_EQ(readLayout.BiDiMode, rvbdLeftToRight);
        ASSERT_NE(copy.GetDocParameters(false), nullptr);
        EXPECT_DOUBLE_EQ(copy.GetDocParameters(false)->LeftMargin, 1.5);
    }
}

TEST_F(RVRvfTest, InsertingMergesTheStreamsStylesAndMapsItsNumbers) {
    TRVStyle otherStyle(nullptr);
    otherStyle.TextStyles().Clear();
    TFontInfo& red = *otherStyle.TextStyles().Add();
    red.Color = clRed;
    TWriterTestData source(&otherStyle);
    source.Flags |= 0x100;
    source.SetRVFOptions(RVDefaultRVFOptions | rvfoSaveTextStyles);
    source.AddTextItem("red", 0, 0);
    std::string bytes = SaveRvfString(source);

    Data.AddTextItem("first", 0, 0);
    TRVMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    int index = 0;
    TColor color = clNone;
    ASSERT_TRUE(Data.InsertRvfAt(stream, index, false, nullptr, color));
    EXPECT_EQ(index, 0);
    ASSERT_EQ(Style->TextStyles().Count(), 4);
    EXPECT_EQ(Style->TextStyles().GetItem(3)->Color, clRed);
    EXPECT_EQ(Data.GetItemText(0), "red");
    EXPECT_EQ(Data.GetItemStyle(0), 3);
    EXPECT_EQ(Data.GetItemText(1), "first");
    EXPECT_EQ(CheckRVDataInvariants(Data), "");
}

// ---------------------------------------------------------------- reading

TEST_F(RVRvfTest, AStreamWithoutAVersionRecordHasNoOptionsField) {
    TWriterTestData copy(Style.get());
    ASSERT_TRUE(Load("0 3 1 0 0\r\na\r\nb\r\nc\r\n", copy));
    ASSERT_EQ(copy.ItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(copy.IsParaStart(i));
        EXPECT_EQ(copy.GetItemPara(i), 1);
    }
}

TEST_F(RVRvfTest, LineEndsOfEveryKindAreAccepted) {
    TWriterTestData copy(Style.get());
    ASSERT_TRUE(Load(std::string("-8 1 3\n0 2 0 0 0 0\ra\0b", 22), copy));
    ASSERT_EQ(copy.ItemCount(), 2);
    EXPECT_EQ(copy.GetItemText(1), "b");
}

TEST_F(RVRvfTest, UnknownStyleNumbersFailOrBecomeZero) {
    struct Case {
        const char* Name;
        std::string Stream;
        bool Convert;
        bool Read;
    };
    const Case cases[] = {
        {"text style, no conversion", "-8 1 3\r\n9 1 0 0 0 0\r\nx\r\n", false, false},
        {"text style, converted", "-8 1 3\r\n9 1 0 0 0 0\r\nx\r\n", true, true},
        {"paragraph style, converted", "-8 1 3\r\n0 1 9 0 0 0\r\nx\r\n", true, true},
        {"tab's text style, converted", "-8 1 3\r\n-12 0 0 0 0 0 9\r\n", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TWriterTestData copy(Style.get());
        copy.AddTextItem("kept", 0, 0);
        copy.SetRVFOptions(c.Convert ? rvfoConvUnknownStylesToZero : 0);
        EXPECT_EQ(Load(c.Stream, copy), c.Read);
        EXPECT_EQ(copy.GetRVFWarnings() & rvfwInvalidStyleIndex, rvfwInvalidStyleIndex);
        if (c.Read) {
            ASSERT_EQ(copy.ItemCount(), 1);
            EXPECT_EQ(copy.LiveItem(0).StyleNo < 0 ? copy.LiveItem(0).GetAssociatedTextStyleNo()
                                                   : copy.GetItemStyle(0),
                      0);
        } else {
            EXPECT_EQ(copy.GetItemText(0), "kept");
        }
    }
}

TEST_F(RVRvfTest, TextIsConvertedToTheEncodingOfItsStyle) {
    TWriterTestData copy(Style.get());
    // Unicode hexadecimal into the 8-bit style 0, 8-bit text into the Unicode style 2.
    ASSERT_TRUE(Load("-8 1 3\r\n0 1 0 8 3 0\r\n16043804\r\n2 1 0 0 0 0\r\nab\r\n", copy));
    EXPECT_EQ(copy.GetItemText(0), "Жи"_cp);
    EXPECT_FALSE(copy.LiveItem(0).IsUnicode());
    EXPECT_TRUE(copy.LiveItem(1).IsUnicode());
    EXPECT_EQ(copy.GetItemText(1), std::string("a\0b\0", 4));
    EXPECT_EQ(copy.GetRVFWarnings(), rvfwTextFromUnicode | rvfwTextToUnicode);
}

TEST_F(RVRvfTest, AStreamEndingWithAMarkerGetsAnEmptyTextAfterIt) {
    TWriterTestData copy(Style.get());
    ASSERT_TRUE(Load("-8 1 3\r\n-11 0 0 0 0 0 0 0 1 0\r\n", copy));
    ASSERT_EQ(copy.ItemCount(), 2);
    EXPECT_EQ(copy.LiveItem(1).StyleNo, 0);
    EXPECT_EQ(CheckRVDataInvariants(copy), "");
}

TEST_F(RVRvfTest, TwoCheckpointRecordsInARowKeepTheFirst) {
    TWriterTestData copy(Style.get());
    ASSERT_TRUE(
        Load("-8 1 3\r\n-2 1 0 0 0 0 0 0\r\nfirst\r\n-2 1 0 0 0 0\r\nsecond\r\n0 1 0 0 0 0\r\nx\r\n", copy));
    ASSERT_NE(copy.GetItemCheckpoint(0), nullptr);
    EXPECT_EQ(copy.GetItemCheckpoint(0)->Name, "first");
    EXPECT_EQ(copy.CheckpointCount, 1);
}

TEST_F(RVRvfTest, ADamagedStreamLeavesTheDocumentAndItsStylesAsTheyWere) {
    auto reportStyle = MakeReportStyle();
    TWriterTestData source(reportStyle.get());
    source.Flags |= 0x100;
    BuildReport(source);
    source.SetRVFOptions(RVDefaultRVFOptions | rvfoSaveTextStyles | rvfoSaveParaStyles);
    std::string whole = SaveRvfString(source);
    Data.AddTextItem("kept", 0, 0);
    AnsiString before = DumpRVData(Data);
    int textStyles = Style->TextStyles().Count();
    // Cut inside the picture's line, and one record short of its lines.
    for (const std::string& damaged : {whole.substr(0, whole.size() / 4), whole.substr(0, whole.size() / 2),
                                       whole + "0 2 0 0 0 0\r\nx\r\n"}) {
        SCOPED_TRACE(damaged.size());
        EXPECT_FALSE(Load(damaged, Data));
        EXPECT_EQ(DumpRVData(Data), before);
        EXPECT_EQ(Style->TextStyles().Count(), textStyles);
    }
}

TEST_F(RVRvfTest, LengthsBeyondTheDataAndDeepNotesAreRefused) {
    TWriterTestData copy(Style.get());
    // A binary picture line that claims more bytes than follow.
    EXPECT_FALSE(Load(std::string("-8 1 3\r\n-3 3 0 0 2 0 0\r\np\r\nTBitmap\r\n\xff\xff\xff\x7f", 36), copy));
    // Notes inside notes, deeper than any document has them.
    std::string body = "-8 1 3\r\n0 1 0 0 0 0\r\nx\r\n";
    for (int depth = 0; depth < RVFMaxDepth + 2; ++depth) {
        auto n = uint32_t(body.size());
        std::string size{char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char(n >> 24)};
        body = "-8 1 3\r\n-203 8 0 0 2 0 0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n1\r\nfn\r\n" + size + body;
        if (depth == 2) {
            TWriterTestData shallow(Style.get());
            EXPECT_TRUE(Load(body, shallow));
        }
    }
    EXPECT_FALSE(Load(body, copy));
    EXPECT_EQ(copy.ItemCount(), 0);
}

// ---------------------------------------------------------------- what a save refuses or repairs

TEST_F(RVRvfTest, WhatWouldNotReadBackIsRefusedOrWrittenAsHex) {
    TWriterTestData bad(Style.get());
    bad.AddTextItem("line\r\nend", 0, 0);
    TRVMemoryStream stream;
    EXPECT_FALSE(bad.SaveRvf(stream, false, nullptr, clNone));

    // A Unicode text holding the paragraph separator goes as hexadecimal
    // even in the binary form.
    Data.AddWideTextTag(u"a\u2029b", 2, 0, 0);
    Data.AddWideTextTag(u"plain", 2, 0, 0);
    ExpectRoundTrip(Data);
}

TEST_F(RVRvfTest, ASelectionInsideAListParagraphCarriesItsMarker) {
    Data.SetRVFOptions(0);
    Data.AddTextItem("before", 0, 0);
    Data.ApplyListMarker(-1, 0, 0, 1, false, 0);
    Data.AddTextItem("item text", 0, -1);
    Data.StartNo = 2, Data.StartOffs = 6, Data.EndNo = 2, Data.EndOffs = 10;
    EXPECT_EQ(SaveRvfString(Data, nullptr, true), "-8 1 3\r\n0 1 -1 1 0 0\r\ntext\r\n");
    Data.StartNo = 1, Data.StartOffs = 0;
    Data.EndOffs = 5;
    std::string bytes = SaveRvfString(Data, nullptr, true);
    EXPECT_EQ(bytes, "-8 1 3\r\n-11 0 0 0 0 0 0 0 1 0\r\n0 1 -1 1 0 0\r\nitem\r\n");
}

} // namespace
