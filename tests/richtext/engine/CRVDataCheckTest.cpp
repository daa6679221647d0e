// The document's invariant checker, what it is run after, and the numbering
// lists, tags and undo hooks that it keeps honest.
#include <gtest/gtest.h>

#include "RVWriterTestData.h"
#include "richtext/engine/document/RVNote.h"

namespace {

// Items that go in as they are, so that a test can build what no
// structural operation would leave.
std::unique_ptr<TCustomRVItemInfo> Text(TCustomRVData& Data, int StyleNo, TRVItemOptions Options,
                                        int ParaNo = 0) {
    auto item = std::make_unique<TRVTextItemInfo>(&Data);
    item->StyleNo = StyleNo;
    item->ItemOptions = Options;
    item->ParaNo = ParaNo;
    return item;
}

std::unique_ptr<TCustomRVItemInfo> Marker(TCustomRVData& Data, int ListNo, TRVItemOptions Options = 0) {
    auto item = std::make_unique<TRVMarkerItemInfo>(&Data, ListNo, 0, 1, false);
    item->ItemOptions = Options;
    return item;
}

// A style sheet of two text styles (the second Unicode), one paragraph
// style and one bulleted list.
std::unique_ptr<TRVStyle> CheckStyle() {
    auto style = MakePlainStyle();
    style->TextStyles().Add()->Unicode = true;
    style->ListStyles().Add()->Levels().Add();
    return style;
}

TEST(RVDataCheckTest, BrokenDocumentsAreNamed) {
    struct Case {
        const char* Name;
        std::function<void(TWriterTestData&)> Build;
        const char* Fault;
    } cases[] = {
        {"text continuing a full-line break",
         [](TWriterTestData& D) {
             D.AddBreak();
             D.AddItemAsIs("x", Text(D, 0, ioContinuesParagraph));
         },
         "item 1 continues the full-line item before it"},
        {"a marker inside a paragraph",
         [](TWriterTestData& D) {
             D.AddItemAsIs("x", Text(D, 0, 0));
             D.AddItemAsIs("", Marker(D, 0, ioContinuesParagraph));
             D.AddItemAsIs("y", Text(D, 0, ioContinuesParagraph));
         },
         "list marker 1 is inside a paragraph"},
        {"a paragraph that is only a marker",
         [](TWriterTestData& D) {
             D.AddItemAsIs("", Marker(D, 0));
             D.AddItemAsIs("x", Text(D, 0, 0));
         },
         "the paragraph of list marker 0 holds only the marker"},
        {"a marker that ends the document begins a paragraph being built",
         [](TWriterTestData& D) { D.AddItem("", Marker(D, 0)); }, ""},
        {"8-bit text in a Unicode style", [](TWriterTestData& D) { D.AddItemAsIs("ab", Text(D, 1, 0)); },
         "item 0 holds 8-bit text in Unicode text style 1"},
        {"a page break off a paragraph start",
         [](TWriterTestData& D) {
             D.AddItemAsIs("x", Text(D, 0, 0));
             D.AddItemAsIs("y", Text(D, 0, ioContinuesParagraph | ioPageBreakBefore));
         },
         "item 1 has a page break off a paragraph start"},
        {"a text style out of range", [](TWriterTestData& D) { D.AddItemAsIs("x", Text(D, 7, 0)); },
         "item 0 has text style 7 out of range"},
        {"a paragraph style out of range", [](TWriterTestData& D) { D.AddItemAsIs("x", Text(D, 0, 0, 4)); },
         "item 0 has paragraph style 4 out of range"},
        {"a list style out of range",
         [](TWriterTestData& D) {
             D.AddItemAsIs("", Marker(D, 3));
             D.AddItemAsIs("x", Text(D, 0, ioContinuesParagraph));
         },
         "list marker 0 has list style 3 out of range"},
        {"a marker the list lacks",
         [](TWriterTestData& D) {
             D.ApplyListMarker(-1, 0, 0, 1, false, 0);
             D.GetMarkerList(false)->Delete(0);
         },
         "the marker list holds 0 markers, not the 1 of the document in order"},
        {"a counter that a recount changes",
         [](TWriterTestData& D) {
             D.ApplyListMarker(-1, 0, 0, 1, false, 0);
             static_cast<TRVMarkerItemInfo&>(D.LiveItem(0)).Counter = 7;
         },
         "list marker 0 of the list counts 7, not 1"},
        {"a sequence item the list lacks",
         [](TWriterTestData& D) {
             D.AddItem("", std::make_unique<TRVSeqItemInfo>(&D, "n", rvseqDecimal, 0, 0, false));
             D.GetSeqList(false)->Delete(0);
         },
         "the sequence list holds 0 items, not the 1 of the document in order"},
        {"a note body that belongs to another item",
         [](TWriterTestData& D) {
             D.AddItem("", std::make_unique<TRVFootnoteItemInfo>(&D, 0, 1, false));
             static_cast<TRVFootnoteItemInfo&>(D.LiveItem(0)).Document->OwnerItem = nullptr;
         },
         "the body of note 0 belongs to another item"},
        {"a broken note body",
         [](TWriterTestData& D) {
             D.AddItem("", std::make_unique<TRVFootnoteItemInfo>(&D, 0, 1, false));
             TRVNoteData& body = *static_cast<TRVFootnoteItemInfo&>(D.LiveItem(0)).Document;
             body.AddItemAsIs("x", Text(body, 0, ioContinuesParagraph));
         },
         "body of note 0: the first item continues a paragraph or line"},
        {"a broken sub-document",
         [](TWriterTestData& D) {
             D.AddItemAsIs("x", Text(D, 0, 0));
             TTestBoxItem& box = AddBox(D, 1);
             box.Cells[0]->AddItemAsIs("y", Text(*box.Cells[0], 9, 0));
         },
         "sub-document 0 of item 1: item 0 has text style 9 out of range"},
        {"a text tag in a document of number tags",
         [](TWriterTestData& D) {
             D.AddItemAsIs("x", Text(D, 0, 0));
             D.LiveItem(0).Tag = AnsiString("t");
         },
         "item 0 has a tag of the other kind"},
    };
    for (const Case& c : cases) {
        auto style = CheckStyle();
        TWriterTestData data(style.get());
        c.Build(data);
        EXPECT_EQ(CheckRVDataInvariants(data), c.Fault) << c.Name;
    }
}

TEST(RVDataCheckTest, StructuralOperationsAreCheckedInCheckingBuilds) {
    if (!RVChecksInvariants()) GTEST_SKIP() << "a build that does not check documents";
    auto style = CheckStyle();
    TWriterTestData data(style.get());
    data.AddItemAsIs("", Marker(data, 0));
    data.AddItemAsIs("x", Text(data, 0, ioContinuesParagraph));
    data.AddItemAsIs("y", Text(data, 0, 0));
    // Deleting the marker's text leaves a paragraph of the marker alone.
    EXPECT_THROW(data.DeleteItems(1, 1), EZoroZudoError);
}

// ---------------------------------------------------------------- numbering lists

TEST(RVDataCheckTest, MovedItemsLeaveTheListsOfTheirDocument) {
    auto style = CheckStyle();
    TWriterTestData source(style.get());
    for (const char* text : {"one", "two"}) {
        source.ApplyListMarker(-1, 0, 0, 1, false, 0);
        source.AddTextItem(text, 0, -1);
        source.AddItem("", std::make_unique<TRVSeqItemInfo>(&source, "n", rvseqDecimal, 0, 0, false));
    }
    {
        TWriterTestData target(style.get());
        target.ApplyListMarker(-1, 0, 0, 1, false, 0);
        target.AddTextItem("zero", 0, -1);
        target.MoveItemsFrom(&source);
        EXPECT_EQ(CheckRVDataInvariants(target), "");
        TRVMarkerList* markers = target.GetMarkerList(false);
        ASSERT_NE(markers, nullptr);
        ASSERT_EQ(markers->Count(), 3);
        EXPECT_EQ(markers->Items(2)->Counter, 3); // numbered on from the target's own
        ASSERT_NE(target.GetSeqList(false), nullptr);
        EXPECT_EQ(target.GetSeqList(false)->Count(), 2);
        EXPECT_EQ(source.GetMarkerList(false), nullptr);
        EXPECT_EQ(source.GetSeqList(false), nullptr);
        EXPECT_EQ(CheckRVDataInvariants(source), "");
    }
    // The moved markers are gone with the target; the source's lists never
    // see them again.
    source.ApplyListMarker(-1, 0, 0, 1, false, 0);
    source.AddTextItem("after", 0, -1);
    EXPECT_EQ(CheckRVDataInvariants(source), "");
    EXPECT_EQ(source.GetMarkerList(false)->Count(), 1);
    EXPECT_EQ(static_cast<TRVMarkerItemInfo&>(source.LiveItem(0)).Counter, 1);
}

TEST(RVDataCheckTest, AnAppendedMarkerIsNeverAParagraphOfItsOwn) {
    auto style = CheckStyle();
    TWriterTestData data(style.get());
    data.ApplyListMarker(-1, 0, 0, 1, false, 0);
    EXPECT_EQ(CheckRVDataInvariants(data), "");
    EXPECT_EQ(data.ItemCount(), 2);
    // The paragraph's text takes the empty text's place.
    data.AddTextItem("first", 0, -1);
    EXPECT_EQ(ItemTexts(data), "|first");
    EXPECT_EQ(data.GetItemStyle(0), rvsListMarker);
    // A new paragraph after a fresh marker keeps the marker's empty text.
    data.ApplyListMarker(-1, 0, 0, 1, false, 0);
    data.AddTextItem("second", 0, 0);
    EXPECT_EQ(ItemTexts(data), "|first|||second");
    EXPECT_EQ(CheckRVDataInvariants(data), "");
}

// ---------------------------------------------------------------- tags and undo

class TStringTagData : public TWriterTestData {
public:
    using TWriterTestData::TWriterTestData;
    TRVOptions GetOptions() const override { return RVDefaultOptions | rvoTagsArePChars; }
};

TEST(RVDataCheckTest, TagsAreOfOneKindPerDocument) {
    auto style = CheckStyle();
    TStringTagData strings(style.get());
    strings.AddTextItemTag("x", 0, 0, AnsiString("tag"));
    strings.AddTextItemTag("y", 0, 0, 0); // no tag fits either kind
    EXPECT_EQ(CheckRVDataInvariants(strings), "");
    TWriterTestData numbers(style.get());
    numbers.AddTextItemTag("z", 0, 0, 5);
    try {
        strings.MoveItemsFrom(&numbers);
        FAIL() << "documents of two tag kinds were joined";
    } catch (const EZoroZudoError& e) {
        EXPECT_STREQ(e.what(), "Can't assign ZoroZudo to ZoroZudo - tags types mismatch");
    }
    EXPECT_EQ(numbers.ItemCount(), 1);
    EXPECT_EQ(strings.ItemCount(), 2);
}

class TTestUndoInfo : public TRVUndoInfo {
public:
    explicit TTestUndoInfo(TCustomRVData* AData) : Data(AData) {}
    TCustomRVData* Data;
    TCustomRVData* GetRVData() const override { return Data; }
    void Undo(TCustomRVData*) override {}
};

TEST(RVDataCheckTest, ALabelInAnUndoListBelongsToTheListsDocument) {
    auto style = CheckStyle();
    TWriterTestData data(style.get()), undoDocument(style.get());
    data.AddItem("", std::make_unique<TRVLabelItemInfo>(&data, 0, "label"));
    auto& label = static_cast<TRVLabelItemInfo&>(data.LiveItem(0));
    TTestUndoInfo undo(&undoDocument);
    label.MovingToUndoList(0, &data, &undo);
    EXPECT_EQ(label.OwnerRVData, &undoDocument);
    label.MovingFromUndoList(0, &data);
    EXPECT_EQ(label.OwnerRVData, &data);
    EXPECT_TRUE(undo.NeedsFormat());
    EXPECT_EQ(undo.GetItemCountDelta(), 0);
}

} // namespace
