// List markers and their counters, sequences, notes, and picture items.
#include <gtest/gtest.h>

#include "RVWriterTestData.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/items/RVPictures.h"

namespace {

// ---------------------------------------------------------------- list markers

struct TMarkerPlan {
    int Level;
    bool Reset = false;
    int StartFrom = 0;
};

class RVMarkerTest : public ::testing::Test {
protected:
    std::unique_ptr<TRVStyle> Style = MakePlainStyle();
    TWriterTestData Data{Style.get()};

    TRVListInfo& AddList(std::vector<std::pair<TRVListType, AnsiString>> Levels) {
        TRVListInfo& list = *Style->ListStyles().Add();
        for (auto& [type, pattern] : Levels) {
            TRVListLevel& level = *list.Levels().Add();
            level.ListType = type;
            level.FormatString = pattern;
        }
        return list;
    }
    void AddMarkers(const std::vector<TMarkerPlan>& Markers, int ListNo = 0) {
        for (const TMarkerPlan& m : Markers) {
            Data.ApplyListMarker(-1, ListNo, m.Level, m.StartFrom, m.Reset, 0);
            Data.AddTextItem("x", 0, -1);
        }
    }
    std::vector<int> Counters() {
        std::vector<int> out;
        TRVMarkerList* list = Data.GetMarkerList(false);
        for (int i = 0; list && i < list->Count(); ++i)
            out.push_back(list->Items(i)->Counter);
        return out;
    }
    std::vector<AnsiString> Texts() {
        std::vector<AnsiString> out;
        TRVMarkerList* list = Data.GetMarkerList(false);
        for (int i = 0; list && i < list->Count(); ++i)
            out.push_back(list->Items(i)->DisplayString);
        return out;
    }
};

TEST_F(RVMarkerTest, CountersFollowLevelsAndResets) {
    struct Case {
        const char* Name;
        bool LevelReset;
        std::vector<TMarkerPlan> Markers;
        std::vector<int> Counters;
    } cases[] = {
        {"levels restart below a higher one", true, {{0}, {0}, {1}, {1}, {0}}, {1, 2, 1, 2, 3}},
        {"without level reset level 1 goes on", false, {{0}, {0}, {1}, {1}, {0}, {1}}, {1, 2, 1, 2, 3, 3}},
        {"a list starting deeper counts an unseen item", true, {{1}, {0}}, {1, 2}},
        {"a restarting marker and the one after it", true, {{0}, {0, true, 5}, {0}}, {1, 5, 6}},
    };
    for (const Case& c : cases) {
        Data.Clear();
        Style->ListStyles().Clear();
        TRVListInfo& list = AddList({{rvlstDecimal, "%0:s."}, {rvlstDecimal, "%0:s.%1:s."}});
        if (!c.LevelReset) list.Levels()[1]->Options = rvloContinuous;
        AddMarkers(c.Markers);
        EXPECT_EQ(Counters(), c.Counters) << c.Name;
    }
    EXPECT_EQ(Texts(), (std::vector<AnsiString>{"1.", "5.", "6."}));
}

TEST_F(RVMarkerTest, TextsJoinTheNumbersOfHigherLevels) {
    AddList({{rvlstDecimal, "%0:s."}, {rvlstDecimal, "%0:s.%1:s."}});
    AddMarkers({{0}, {0}, {1}, {1}, {0}});
    EXPECT_EQ(Texts(), (std::vector<AnsiString>{"1.", "2.", "2.1.", "2.2.", "3."}));
}

TEST_F(RVMarkerTest, NotationsAndLegalNumbering) {
    struct Case {
        const char* Name;
        TRVListType Level0;
        TRVListType Level1;
        bool Legal;
        int Level0Start;
        AnsiString Expected;
    } cases[] = {
        {"lower letters", rvlstLowerAlpha, rvlstLowerAlpha, false, 27, "aa.a"},
        {"lower roman", rvlstLowerRoman, rvlstLowerRoman, false, 4, "iv.i"},
        {"upper roman above a legal level is decimal", rvlstUpperRoman, rvlstDecimal, true, 2, "2.1"},
        {"upper roman without legal numbering", rvlstUpperRoman, rvlstDecimal, false, 2, "II.1"},
    };
    for (const Case& c : cases) {
        Data.Clear();
        Style->ListStyles().Clear();
        TRVListInfo& list = AddList({{c.Level0, "%0:s."}, {c.Level1, "%0:s.%1:s"}});
        if (c.Legal) list.Levels()[1]->Options |= rvloLegalStyleNumbering;
        AddMarkers({{0, true, c.Level0Start}, {1}});
        EXPECT_EQ(Texts().back(), c.Expected) << c.Name;
    }
}

TEST_F(RVMarkerTest, RemovingAMarkerRenumbersItsList) {
    AddList({{rvlstDecimal, "%0:s."}});
    AddMarkers({{0}, {0}, {0}});
    Data.DeleteItems(0, 2);
    EXPECT_EQ(Counters(), (std::vector<int>{1, 2}));
    Data.Clear();
    EXPECT_EQ(Data.GetMarkerList(false), nullptr);
}

TEST_F(RVMarkerTest, ApplyingAMarkerPutsItBeforeTheParagraph) {
    AddList({{rvlstBullet, "\xB7"}});
    Data.AddTextItem("a", 0, 0);
    Data.AddTextItem("b", 0, -1);
    EXPECT_EQ(Data.ApplyListMarker(1, 0, 0, 1, false, 0), 0);
    ASSERT_EQ(Data.ItemCount(), 3);
    EXPECT_EQ(Data.GetItemStyle(0), rvsListMarker);
    EXPECT_TRUE(Data.GetItem(1)->GetContinuesParagraph());
    // Again: the marker changes instead of a second one coming.
    EXPECT_EQ(Data.ApplyListMarker(2, 0, 1, 1, false, 0), 0);
    EXPECT_EQ(Data.ItemCount(), 3);
    EXPECT_EQ(static_cast<TRVMarkerItemInfo*>(Data.GetItem(0))->Level, 1);
    Data.AddBreak();
    EXPECT_EQ(Data.ApplyListMarker(3, 0, 0, 1, false, 0), -1);
    EXPECT_EQ(CheckRVDataInvariants(Data), "");
}

TEST_F(RVMarkerTest, TheMarkerListStateRoundTrips) {
    AddList({{rvlstDecimal, "%0:s."}, {rvlstDecimal, "%0:s.%1:s."}});
    AddMarkers({{0}, {1, true, 7}});
    TRVMarkerList& list = *Data.GetMarkerList(false);
    TRVMemoryStream stream;
    list.SaveState(stream, list.Count(), true);
    ASSERT_EQ(stream.Size(), 4 + 42);
    EXPECT_EQ(stream.Memory()[0], 42);
    stream.SetPosition(0);
    TRVMarkerList loaded;
    loaded.LoadState(stream, nullptr, true);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded.Items(1)->Level, 1);
    EXPECT_EQ(loaded.Items(1)->StartFrom, 7);
    EXPECT_TRUE(loaded.Items(1)->Reset);
    EXPECT_EQ(loaded.Items(1)->Counter, 7);

    TRVMemoryStream hex;
    list.SaveStateHex(hex, 1);
    std::string text(reinterpret_cast<const char*>(hex.Memory()), std::size_t(hex.Size()));
    EXPECT_EQ(text, std::string("00000000") + "01000000" + "00000000" + "00000000" + "00" + "00000000" +
                        "01000000" + "\r\n");
    loaded.LoadStateFromHex(text.substr(0, text.size() - 2), nullptr);
    EXPECT_EQ(loaded.Count(), 1);
}

TEST_F(RVMarkerTest, AMalformedMarkerListStateIsRefused) {
    struct Case {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"empty", ""},
        {"a count without records", std::string("\0\0\0\0\x05\0\0\0", 8)},
        {"a negative count", std::string("\0\0\0\0\xFF\xFF\xFF\xFF", 8)},
        {"a huge count", std::string("\0\0\0\0\xFF\xFF\xFF\x7F", 8)},
    };
    for (const Case& c : cases) {
        TRVMarkerList list;
        EXPECT_THROW(list.LoadStateFromBytes(c.Bytes, nullptr), EReadError) << c.Name;
        EXPECT_EQ(list.Count(), 0) << c.Name;
    }
    TRVMarkerList list;
    EXPECT_THROW(list.LoadStateFromHex("0G", nullptr), EReadError);
}

TEST_F(RVMarkerTest, MarkersAsPlainText) {
    TRVListInfo& list = AddList({{rvlstBullet, "\xB7"}});
    AddMarkers({{0}});
    EXPECT_EQ(SaveTextString(Data, false, false), "\xB7 x");
    EXPECT_EQ(SaveTextString(Data, true, false), std::string("\xB7\0 \0x\0", 6));
    list.Levels()[0]->Font().SetName("Symbol");
    Data.RenumberMarkersFrom(0, false);
    EXPECT_EQ(SaveTextString(Data, false, false), "* x");
}

// ---------------------------------------------------------------- sequences and labels

TEST(RVSeqItemTest, SequencesCountByNameInDocumentOrder) {
    auto style = MakePlainStyle();
    TWriterTestData data(style.get());
    auto add = [&](const char* Name, bool Reset, int StartFrom) {
        data.AddItem("", std::make_unique<TRVSeqItemInfo>(&data, Name, rvseqDecimal, 0, StartFrom, Reset));
        return static_cast<TRVSeqItemInfo*>(data.GetItem(data.ItemCount() - 1));
    };
    TRVSeqItemInfo* a = add("Figure", false, 0);
    TRVSeqItemInfo* other = add("table", false, 0);
    TRVSeqItemInfo* b = add("FIGURE", true, 5);
    TRVSeqItemInfo* c = add("figure", false, 0);
    EXPECT_EQ(a->Text + b->Text + c->Text + other->Text, "1561");
    data.DeleteItems(2, 1);
    EXPECT_EQ(c->Text, "2");
    EXPECT_EQ(SaveTextString(data, false, false), "1\r\n1\r\n2");
}

TEST(RVSeqItemTest, CounterTexts) {
    struct Case {
        TRVSeqType Type;
        int Value;
        AnsiString Format;
        AnsiString Text;
    } cases[] = {
        {rvseqUpperRoman, 0, "", "?"},    {rvseqLowerAlpha, 0, "", ""},          {rvseqDecimal, -3, "", "-3"},
        {rvseqLowerRoman, 14, "", "xiv"}, {rvseqUpperAlpha, 28, "(%s)", "(AB)"},
    };
    for (const Case& c : cases) {
        TRVSeqItemInfo seq(nullptr, "", c.Type, 0, 0, false);
        seq.FormatString = c.Format;
        EXPECT_EQ(seq.GetCounterText(c.Value), c.Text) << int(c.Type) << " " << c.Value;
        EXPECT_EQ(seq.SeqName, "tzorozudo");
    }
}

TEST(RVSeqItemTest, TheRegistryMakesLabelsSequencesAndNotes) {
    auto style = MakePlainStyle();
    TWriterTestData data(style.get());
    struct Case {
        int StyleNo;
        const std::type_info& Type;
    } cases[] = {{rvsLabel, typeid(TRVLabelItemInfo)},
                 {rvsSequence, typeid(TRVSeqItemInfo)},
                 {rvsFootnote, typeid(TRVFootnoteItemInfo)},
                 {rvsEndnote, typeid(TRVEndnoteItemInfo)},
                 {rvsNoteReference, typeid(TRVNoteReferenceItemInfo)},
                 {rvsPicture, typeid(TRVGraphicItemInfo)},
                 {rvsHotPicture, typeid(TRVHotGraphicItemInfo)},
                 {rvsListMarker, typeid(TRVMarkerItemInfo)}};
    for (const Case& c : cases) {
        std::unique_ptr<TCustomRVItemInfo> item = CreateItemForStyleNo(c.StyleNo, &data);
        ASSERT_NE(item, nullptr) << c.StyleNo;
        EXPECT_EQ(typeid(*item), c.Type) << c.StyleNo;
        EXPECT_EQ(item->StyleNo, c.StyleNo);
    }
}

// ---------------------------------------------------------------- notes

TEST(RVNoteTest, FindersWalkTheSequenceList) {
    auto style = MakePlainStyle();
    TWriterTestData data(style.get());
    EXPECT_EQ(FindFirstFootnoteInData(&data), nullptr);
    EXPECT_EQ(data.GetSeqList(false), nullptr);
    auto* a = new TRVFootnoteItemInfo(&data, 0, 1, false);
    auto* b = new TRVFootnoteItemInfo(&data, 0, 1, false);
    auto* c = new TRVEndnoteItemInfo(&data, 0, 1, false);
    data.AddItem("", std::unique_ptr<TCustomRVItemInfo>(a));
    data.AddItem("", std::unique_ptr<TCustomRVItemInfo>(c));
    data.AddItem("", std::unique_ptr<TCustomRVItemInfo>(b));
    EXPECT_EQ(FindFirstFootnoteInData(&data), a);
    EXPECT_EQ(FindNextFootnote(&data, a), b);
    EXPECT_EQ(FindNextFootnote(&data, b), nullptr);
    EXPECT_EQ(FindFirstEndnoteInData(&data), c);
    // Numbering by the style sheet: decimal footnotes, lower-roman endnotes.
    EXPECT_EQ(a->Text + b->Text + c->Text, "12i");
    EXPECT_EQ(b->GetHtmlAnchorName(), "footnote2");
}

TEST(RVNoteTest, ACopiedNoteHasABodyOfItsOwn) {
    auto style = MakePlainStyle();
    TWriterTestData data(style.get());
    auto note = std::make_unique<TRVFootnoteItemInfo>(&data, 0, 1, false);
    note->Document->AddTextItem("body", 0, 0);
    note->Document->AddItem("", std::make_unique<TRVNoteReferenceItemInfo>(note->Document.get(), 0));
    std::unique_ptr<TCustomRVItemInfo> copy = CreateItemCopy(*note, &data, false);
    auto& copied = static_cast<TRVFootnoteItemInfo&>(*copy);
    ASSERT_EQ(copied.Document->ItemCount(), 2);
    EXPECT_EQ(copied.Document->GetItemText(0), "body");
    note->Document->Clear();
    EXPECT_EQ(copied.Document->ItemCount(), 2);
    data.AddItem("", std::move(copy));
    EXPECT_EQ(copied.Document->GetNoteText(), "1");
}

// ---------------------------------------------------------------- pictures

TEST(RVPictureTest, SizesQueriesAndExtraProperties) {
    TRVGraphicItemInfo picture(nullptr, std::make_unique<TRVBitmapImage>(100, 50), vaBaseline);
    picture.ImageWidth = 200;
    EXPECT_EQ(picture.GetImageWidth(nullptr), 200);
    EXPECT_EQ(picture.GetImageHeight(nullptr), 50);
    picture.ImageWidth = 0;
    EXPECT_EQ(picture.GetMinWidth(nullptr, nullptr, nullptr), 102);
    TRVScreenDeviceResolution printer{96, 96, 600, 600};
    EXPECT_EQ(picture.GetMinWidth(&printer, nullptr, nullptr), 638);

    TRVHotGraphicItemInfo hot(nullptr, std::make_unique<TRVBitmapImage>(1, 1), vaBaseline);
    for (TRVItemBoolQueryEx q : {iqxHyperlink, iqxFocusable, iqxFocusRectangle}) {
        EXPECT_TRUE(hot.GetBoolValueEx(q, nullptr));
        EXPECT_FALSE(picture.GetBoolValueEx(q, nullptr));
    }
    EXPECT_EQ(hot.StyleNo, rvsHotPicture);

    int value = 0;
    EXPECT_TRUE(picture.SetExtraIntProperty(rvepTransparent, 1));
    EXPECT_TRUE(picture.GetExtraIntProperty(rvepTransparent, value));
    EXPECT_EQ(value, 1);
    TRVGraphicItemInfo jpegPicture(nullptr, std::make_unique<TRVJpegImage>(), vaBaseline);
    EXPECT_FALSE(jpegPicture.SetExtraIntProperty(rvepTransparent, 1));
    TRVGraphicItemInfo empty(nullptr);
    EXPECT_FALSE(empty.GetBoolValue(iqValid));
}

TEST(RVPictureTest, ATallPictureIsCutBetweenPages) {
    TRVGraphicItemInfo picture(nullptr, std::make_unique<TRVBitmapImage>(10, 300), vaBaseline);
    picture.MinHeightOnPage = 50;
    TRVScreenDeviceResolution screen;
    ASSERT_TRUE(picture.CanSplitForPrinting());
    std::unique_ptr<TRVDrawLineInfo> drawItem = picture.CreatePrintingDrawItem(nullptr, screen);
    auto* info = dynamic_cast<TRVMultiImagePrintInfo*>(drawItem.get());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Height, 302);
    info->SetSize(1, 1); // the size is the item's
    EXPECT_EQ(info->Height, 302);
    TRVFootnoteRefList* footnotes = nullptr;
    int height = 0;
    EXPECT_THROW(info->SplitAt(200, screen, false, footnotes, height, false), EZoroZudoError);
    ASSERT_TRUE(info->InitSplit(screen));
    EXPECT_FALSE(info->CanSplitFirst(40, screen, false, false, false));
    EXPECT_FALSE(info->SplitAt(40, screen, false, footnotes, height, false));
    EXPECT_TRUE(info->CanSplitFirst(200, screen, false, false, false));
    ASSERT_TRUE(info->SplitAt(200, screen, false, footnotes, height, false));
    ASSERT_EQ(info->PartsList.Count(), 2);
    EXPECT_EQ(info->Part(0)->ContentHeight, 198);
    EXPECT_EQ(info->Part(1)->ContentTop, 198);
    EXPECT_EQ(info->Part(1)->ContentHeight, 102);
    EXPECT_EQ(info->Part(1)->Height, 104);
    // The parts answer pagination through their base.
    const TRVMultiDrawItemPart& second = *info->PartsList[1];
    EXPECT_EQ(second.GetPageBreakExtra(), 198);
    EXPECT_EQ(second.GetPartImageHeight(), 102);
    EXPECT_FALSE(second.CutsContent());
    // A last piece below the minimum is not cut off.
    EXPECT_FALSE(info->SplitAt(80, screen, false, footnotes, height, false));

    picture.ImageHeight = 200;
    EXPECT_FALSE(picture.CanSplitForPrinting());
    EXPECT_EQ(dynamic_cast<TRVMultiDrawItemInfo*>(picture.CreatePrintingDrawItem(nullptr, screen).get()),
              nullptr);
    picture.ImageHeight = 0;
    picture.MinHeightOnPage = 0;
    EXPECT_FALSE(picture.CanSplitForPrinting());
}

} // namespace
