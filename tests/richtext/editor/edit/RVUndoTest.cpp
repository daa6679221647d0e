// Undo and redo of the editing data: the undoable primitives, the groups,
// the typing merge, the limit, and random sequences of primitives undone and
// redone back to exactly the earlier documents.
#include <gtest/gtest.h>

#include <random>

#include "RVEditTestData.h"
#include "richtext/engine/document/CRVDataCheck.h"

namespace {

class RVUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        Style = MakeEditStyle();
        Data = std::make_unique<TTestEditData>(Style.get(), &Canvas, &Editor);
        Editor.Data = Data.get();
    }

    void Check() { EXPECT_EQ(CheckEditInvariants(*Data), ""); }

    // Types Text at Position of a text item as the typing operation does.
    void Type(int ItemNo, int Position, const std::string& Text) {
        for (char ch : Text) {
            AnsiString text = Data->GetItemText(ItemNo);
            text.insert(size_t(Position - 1), 1, ch);
            Data->ItemList->SetString(ItemNo, text);
            Data->UndoList->AddTyping(ItemNo, Position, false);
            Data->Changed();
            ++Position;
        }
        Data->Format();
    }

    std::unique_ptr<TRVStyle> Style;
    TFixedMetricsCanvas Canvas;
    TFakeEditor Editor;
    std::unique_ptr<TTestEditData> Data;
};

TEST_F(RVUndoTest, TypingIsUndoneAndRedoneOneCharacterAtATime) {
    Data->AddTextItem("xy", 0, 0);
    Data->Format();
    Type(0, 2, "abc");
    EXPECT_EQ(Data->GetItemText(0), "xabcy");
    ASSERT_EQ(Data->UndoList->Count(), 1);
    EXPECT_EQ(Data->UndoList->CurrentUndoType(), rvutTyping);
    for (const char* expected : {"xaby", "xay", "xy"}) {
        Data->Undo();
        EXPECT_EQ(Data->GetItemText(0), expected);
        Check();
    }
    EXPECT_FALSE(Data->CanUndo());
    EXPECT_EQ(Data->RedoList->Count(), 1);
    Data->Redo();
    EXPECT_EQ(Data->GetItemText(0), "xay");
    EXPECT_EQ(Data->GetCaretItemOffset(), 3);
    Data->Redo();
    EXPECT_EQ(Data->GetItemText(0), "xaby");
    // Typing anew clears what could be redone.
    Type(0, 1, "z");
    EXPECT_FALSE(Data->CanRedo());
    Check();
}

TEST_F(RVUndoTest, TypingElsewhereOrAfterACaretMoveStartsANewGroup) {
    Data->AddTextItem("0123456789", 0, 0);
    Data->AddTextItem("abc", 0, 0);
    Data->Format();
    Type(0, 2, "xx");
    Type(0, 4, "y"); // right after the run: the same group
    EXPECT_EQ(Data->UndoList->Count(), 1);
    Type(0, 9, "z"); // elsewhere in the item
    Type(1, 1, "w"); // another item
    EXPECT_EQ(Data->UndoList->Count(), 3);
    // A typing group takes no other record, even in group mode.
    Data->SetUndoGroupMode(true);
    Data->BeginUndoGroup(rvutInsert);
    EXPECT_EQ(Data->UndoList->Count(), 4);
    Data->SetUndoGroupMode(false);
    Data->UndoList->DropEmptyGroup();
    EXPECT_THROW(Data->UndoList->AddInfo(std::make_unique<TRVUndoTagInfo>()), EZoroZudoError);
}

TEST_F(RVUndoTest, TheLimitDropsTheOldestGroups) {
    Data->AddTextItem("abc", 0, 0);
    Data->Format();
    auto step = [&](const char* text) {
        Data->BeginUndoGroup(rvutInsert);
        Data->UndoableInsertSubstring(0, 1, text);
        Data->Changed();
        Data->Format();
    };
    Data->UndoList->SetLimit(3);
    for (const char* text : {"1", "2", "3", "4"})
        step(text);
    EXPECT_EQ(Data->UndoList->Count(), 3);
    for (int i = 0; i < 3; ++i)
        Data->Undo();
    // The first insertion fell out of the list.
    EXPECT_EQ(Data->GetItemText(0), "1abc");
    // Lowering the limit below the count trims at once; a list at its limit
    // never grows.
    for (int i = 0; i < 3; ++i)
        Data->Redo();
    Data->UndoList->SetLimit(2);
    EXPECT_EQ(Data->UndoList->Count(), 2);
    step("5");
    EXPECT_EQ(Data->UndoList->Count(), 2);
    // 0: nothing is recorded; -1: nothing is dropped.
    Data->UndoList->SetLimit(0);
    EXPECT_EQ(Data->UndoList->Count(), 0);
    step("6");
    EXPECT_EQ(Data->UndoList->Count(), 0);
    EXPECT_EQ(Data->UndoRecording, 0);
    Data->UndoList->SetLimit(-1);
    for (int i = 0; i < 10; ++i)
        step("7");
    EXPECT_EQ(Data->UndoList->Count(), 10);
    Check();
}

TEST_F(RVUndoTest, GroupModeMakesOneStepAndAnEmptyGroupGivesWayToTheNext) {
    Data->AddTextItem("abc", 0, 0);
    Data->Format();
    Data->SetCaretAt(0, 3);
    Data->BeginUndoGroup(rvutDelete);
    EXPECT_EQ(Data->UndoList->GetItem(0)->CaretOffs, 3);
    // Left empty: the next group replaces it and takes its caret.
    Data->SetCaretAt(0, 1);
    Data->BeginUndoGroup(rvutInsert);
    ASSERT_EQ(Data->UndoList->Count(), 1);
    EXPECT_EQ(Data->UndoList->GetItem(0)->CaretOffs, 3);
    EXPECT_EQ(Data->UndoList->CurrentUndoType(), rvutInsert);
    Data->SetUndoGroupMode(true);
    Data->UndoableInsertSubstring(0, 1, "x");
    Data->BeginUndoGroup(rvutStyleNo);
    Data->UndoableSetStyleNo(0, 1);
    Data->SetUndoGroupMode(false);
    EXPECT_EQ(Data->UndoList->Count(), 1);
    Data->Format();
    Data->Undo();
    EXPECT_EQ(Data->GetItemText(0), "abc");
    EXPECT_EQ(Data->GetItemStyle(0), 0);
    EXPECT_EQ(Data->GetCaretItemOffset(), 3);
    Check();
}

TEST_F(RVUndoTest, AnEmptyListRefusesUndoAndRecords) {
    EXPECT_THROW(Data->Undo(), EZoroZudoError);
    EXPECT_THROW(Data->Redo(), EZoroZudoError);
    EXPECT_THROW(Data->UndoList->AddInfo(std::make_unique<TRVUndoTagInfo>()), EZoroZudoError);
}

TEST_F(RVUndoTest, ADeletedItemSurvivesInItsRecordAndComesBack) {
    Data->AddTextItem("a", 0, 0);
    Data->AddTextItem("b", 0, 0);
    Data->AddTextItem("c", 0, 0);
    Data->AddTextItem("d", 0, 0);
    Data->AddTextItem("e", 0, 0);
    Data->AddTextItem("f", 0, 0);
    Data->Format();
    TCustomRVItemInfo* b = Data->GetItem(1);
    std::vector<TCustomRVItemInfo*> range{Data->GetItem(3), Data->GetItem(4), Data->GetItem(5)};
    bool full;
    Data->BeginUndoGroup(rvutDelete);
    Data->UndoableDeleteItem(1, full);
    Data->BeginUndoGroup(rvutDelete);
    Data->UndoableDeleteItems(2, 4, full);
    Data->Format();
    // Kept from the last to the first.
    auto* record = dynamic_cast<TRVUndoDeleteItemsInfo*>(Data->UndoList->Last()->First());
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->Entries.size(), 3u);
    EXPECT_EQ(record->Entries[0].Text, "f");
    EXPECT_EQ(record->Entries[2].Text, "d");
    Data->Undo();
    Data->Undo();
    EXPECT_EQ(Data->GetItem(1), b);
    EXPECT_EQ(std::vector<TCustomRVItemInfo*>({Data->GetItem(3), Data->GetItem(4), Data->GetItem(5)}), range);
    Check();
}

TEST_F(RVUndoTest, APrimitiveWithoutRecordingFreesAtOnce) {
    Data->AddTextItem("a", 0, 0);
    Data->AddTextItem("b", 0, 0);
    Data->Format();
    Data->UndoList->SetLimit(0);
    Data->BeginUndoGroup(rvutDelete);
    auto cp = std::make_unique<TRVCPInfo>();
    cp->Name = "x";
    Data->UndoableAddCheckpoint(1, std::move(cp));
    bool full;
    Data->UndoableDeleteItem(1, full);
    EXPECT_EQ(Data->ItemCount(), 1);
    EXPECT_EQ(Data->CheckpointCount, 0);
    EXPECT_EQ(CheckRVDataInvariants(*Data), "");
}

TEST_F(RVUndoTest, PrimitivesRefuseWhatTheyCannotDo) {
    Data->AddTextItem("a", 0, 0);
    Data->AddBreak();
    Data->Format();
    Data->BeginUndoGroup(rvutInsert);
    EXPECT_THROW(Data->UndoableInsertSubstring(1, 1, "x"), Exception);
    EXPECT_THROW(Data->UndoableInsertSubstring(5, 1, "x"), Exception);
    EXPECT_THROW(Data->UndoableDeleteCheckpoint(0), EZoroZudoError);
    Data->UndoableAddCheckpoint(0, std::make_unique<TRVCPInfo>());
    EXPECT_THROW(Data->UndoableAddCheckpoint(0, std::make_unique<TRVCPInfo>()), EZoroZudoError);
    EXPECT_EQ(Data->UndoList->Last()->Count(), 1);
    EXPECT_EQ(Data->GetItemText(0), "a");
}

TEST_F(RVUndoTest, InsertingAParagraphStartGivesTheRestOfTheParagraphItsStyle) {
    Data->AddTextItem("a", 0, 0);
    Data->AddTextItem("b", 0, -1);
    Data->AddTextItem("c", 0, -1);
    Data->AddTextItem("d", 0, 0);
    Data->Format();
    Data->BeginUndoGroup(rvutInsert);
    AnsiString text = "new";
    bool full;
    Data->UndoableInsertItem(1, text, full, false, Data->CreateTextItem(0, 1, false, false, 0));
    EXPECT_EQ(std::vector<int>(
                  {Data->GetItemPara(1), Data->GetItemPara(2), Data->GetItemPara(3), Data->GetItemPara(4)}),
              std::vector<int>({1, 1, 1, 0}));
    auto* record = dynamic_cast<TRVUndoInsertItemInfo*>(Data->UndoList->Last()->First());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->LastAffectedItemNo, 2);
    Data->Format();
    Check();
    Data->Undo();
    EXPECT_EQ(Data->ItemCount(), 4);
    EXPECT_EQ(Data->GetItemPara(2), 0);
    Check();
}

TEST_F(RVUndoTest, FlagPrimitivesChangeOnlyWhatTheyMay) {
    Style->ListStyles().Add()->Levels().Add();
    Data->AddTextItem("a", 0, 0);
    Data->AddTextItem("b", 0, -1);
    Data->ApplyListMarker(-1, 0, 0, 1, false, 0);
    Data->AddTextItem("c", 0, -1);
    Data->Format();
    bool full;
    Data->BeginUndoGroup(rvutMiscTyping);
    // A continuing item takes no line break.
    Data->UndoableSetLineBreakBefore(1, true, full);
    EXPECT_EQ(Data->UndoList->Last()->Count(), 0);
    // The page break of the text after a marker goes on the marker.
    Data->UndoableSetPageBreakBefore(3, true);
    EXPECT_TRUE(Data->GetItem(2)->GetPageBreakBefore());
    EXPECT_FALSE(Data->GetItem(3)->GetPageBreakBefore());
    Data->Format();
    Check();
    Data->Undo();
    EXPECT_FALSE(Data->GetItem(2)->GetPageBreakBefore());
}

TEST_F(RVUndoTest, APageBreakOnALineBreakGivesTheLineBreakBack) {
    Data->AddTextItem("a", 0, 0);
    Data->AddItemAsIs("b", Data->CreateTextItem(0, 0, true, false, 0));
    Data->Format();
    Data->BeginUndoGroup(rvutMiscTyping);
    Data->UndoableSetPageBreakBefore(1, true);
    EXPECT_TRUE(Data->GetItem(1)->GetPageBreakBefore());
    Data->Format();
    Data->Undo();
    EXPECT_TRUE(Data->GetItem(1)->GetLineBreakBefore());
    EXPECT_FALSE(Data->GetItem(1)->GetPageBreakBefore());
    Check();
}

TEST_F(RVUndoTest, AProtectedParagraphKeepsItsStyle) {
    Data->AddTextItem("a", 0, 0);
    Data->AddTextItem("b", 0, 2);
    Data->AddTextItem("c", 0, -1);
    Data->AddTextItem("d", 0, 0);
    Data->Format();
    Data->BeginUndoGroup(rvutPara);
    bool full;
    Data->UndoableSetParaNoRange(0, 3, full, 1);
    EXPECT_EQ(std::vector<int>(
                  {Data->GetItemPara(0), Data->GetItemPara(1), Data->GetItemPara(2), Data->GetItemPara(3)}),
              std::vector<int>({1, 2, 2, 1}));
    Data->Format();
    auto before = ItemStates(*Data);
    Data->Undo();
    Data->Redo();
    EXPECT_EQ(ItemStates(*Data), before);
    Check();
}

TEST_F(RVUndoTest, JoiningAnEmptyItemWithUnicodeTextKeepsTheUnicodeItem) {
    auto cp = std::make_unique<TRVCPInfo>();
    cp->Name = "here";
    Data->AddTextItem("", 0, 1);
    Data->AddRawUnicodeTextTag(AnsiString("a\0b\0", 4), 4, -1, 7);
    Data->Format();
    Data->BeginUndoGroup(rvutDelete);
    Data->UndoableAddCheckpoint(0, std::move(cp));
    Data->UndoableJoinItems(0);
    ASSERT_EQ(Data->ItemCount(), 1);
    EXPECT_TRUE(Data->GetItem(0)->IsUnicode());
    EXPECT_TRUE(Data->GetItem(0)->StartsParagraph());
    EXPECT_EQ(Data->GetItemPara(0), 1);
    ASSERT_NE(Data->GetItem(0)->Checkpoint, nullptr);
    EXPECT_EQ(Data->GetItem(0)->Checkpoint->Name, "here");
    Data->Format();
    Check();
}

TEST_F(RVUndoTest, ARecordWhoseItemChangedKindEndsTheUndoCleanly) {
    Data->AddTextItem("abc", 0, 0);
    Data->AddTextItem("def", 0, 0);
    Data->Format();
    Data->BeginUndoGroup(rvutInsert);
    Data->UndoableInsertSubstring(1, 1, "x");
    Data->BeginUndoGroup(rvutInsert);
    Data->UndoableInsertSubstring(0, 1, "y");
    Data->Format();
    Data->Undo();
    ASSERT_TRUE(Data->CanRedo());
    // Behind the lists' back item 1 becomes a break.
    Data->ItemList->Delete(1);
    Data->ItemList->InsertObject(1, "", std::make_unique<TRVBreakItemInfo>(Data.get()));
    Data->Format();
    EXPECT_NO_THROW(Data->Undo());
    EXPECT_FALSE(Data->CanUndo());
    EXPECT_FALSE(Data->CanRedo());
    EXPECT_EQ(Data->GetItemText(0), "abc");
    Check();
}

TEST_F(RVUndoTest, ItemTextEditRecordsOnlyRealChanges) {
    struct TEditor : TFakeEditor {
        int NewStyle = -1;
        bool ItemTextEdit(const AnsiString&, TCustomRVData*, int, TRVTag&, int& NewStyleNo) override {
            if (NewStyle >= 0) NewStyleNo = NewStyle;
            return true;
        }
    } editor;
    TTestEditData data(Style.get(), &Canvas, &editor);
    editor.Data = &data;
    data.AddTextItem("abc", 0, 0);
    data.Format();
    EXPECT_FALSE(data.DoItemTextEditGrouped("ab", 0, rvutModifyItem));
    EXPECT_EQ(data.UndoList->Count(), 0);
    editor.NewStyle = 1;
    EXPECT_TRUE(data.DoItemTextEditGrouped("ab", 0, rvutModifyItem));
    EXPECT_EQ(data.GetItemStyle(0), 1);
    EXPECT_EQ(data.UndoList->Count(), 1);
}

// ---------------------------------------------------------------- random sequences

// Applies random sound edits, each a group of one to three primitives.
class TRandomEditor {
public:
    TRandomEditor(TTestEditData& AData, unsigned Seed) : D(AData), Rng(Seed) {}

    int Random(int Count) { return int(std::uniform_int_distribution<int>(0, Count - 1)(Rng)); }

    std::string Text() {
        static const char letters[] = "ab cdefgh";
        std::string s;
        for (int n = 1 + Random(4); n > 0; --n)
            s += letters[Random(int(sizeof(letters)) - 1)];
        return s;
    }

    void Build(int Paragraphs) {
        for (int p = 0; p < Paragraphs; ++p) {
            if (Random(6) == 0) {
                D.AddBreak();
                continue;
            }
            D.AddTextItem(Text(), Random(4), Random(3));
            for (int n = Random(3); n > 0; --n)
                D.AddTextItem(Text(), Random(4), -1);
        }
    }

    bool IsText(int i) const { return D.LiveItem(i).StyleNo >= 0; }
    bool FullLine(int i) const { return D.LiveItem(i).GetBoolValue(iqFullLine); }
    int ParaStart(int i) const { return D.GetFirstParaItem(i); }
    int ParaEnd(int i) const { return D.GetParaEndItem(i); }
    // An item may continue the one before it.
    bool CanContinueAt(int i) const { return i > 0 && !FullLine(i - 1); }

    std::unique_ptr<TCustomRVItemInfo> NewItem(int Kind, int ParaNo, bool Continues) {
        std::unique_ptr<TCustomRVItemInfo> item;
        if (Kind == 0) {
            item = D.CreateTextItem(Random(3), ParaNo, false, Continues, Random(4));
        } else if (Kind == 1) {
            auto picture = std::make_unique<TRVGraphicItemInfo>(&D);
            picture->ImageWidth = 8 + Random(30);
            picture->ImageHeight = 5 + Random(20);
            item = std::move(picture);
        } else {
            auto tab = std::make_unique<TRVTabItemInfo>(&D);
            tab->TextStyleNo = Random(4);
            item = std::move(tab);
        }
        item->ParaNo = ParaNo;
        item->SetContinuesParagraph(Continues);
        return item;
    }

    // One primitive; false when the random choice does not apply here.
    bool Primitive() {
        int count = D.ItemCount();
        int i = Random(count);
        bool full = false;
        TCustomRVItemInfo& item = D.LiveItem(i);
        int len = IsText(i) ? D.ItemLength(i) : 0;
        switch (Random(19)) {
        case 0:
            if (!IsText(i)) return false;
            D.UndoableInsertSubstring(i, 1 + Random(len + 1), Text());
            return true;
        case 1: {
            if (!IsText(i) || len < 2) return false;
            int index = 1 + Random(len);
            int most = std::min(len - index + 1, len - 1);
            D.UndoableDeleteSubstring(i, index, 1 + Random(most));
            return true;
        }
        case 2:
            if (!IsText(i)) return false;
            D.UndoableChangeText(i, Text());
            return true;
        case 3: {
            int at = Random(count + 1);
            bool continues = Random(2) && CanContinueAt(at);
            int paraNo = continues ? D.GetItemPara(at - 1) : Random(3);
            int kind = continues ? Random(3) : 0;
            AnsiString text = kind == 0 ? Text() : "";
            D.UndoableInsertItem(at, text, full, false, NewItem(kind, paraNo, continues));
            return true;
        }
        case 4: {
            int at = Random(count + 1);
            if (at < count && !D.LiveItem(at).StartsParagraph()) return false;
            AnsiString text;
            D.UndoableInsertItem(at, text, full, false, std::make_unique<TRVBreakItemInfo>(&D));
            return true;
        }
        case 5: {
            if (count < 2) return false;
            bool alone = item.StartsParagraph() && (i + 1 == count || D.LiveItem(i + 1).StartsParagraph());
            if (item.StartsParagraph() && !alone) return false;
            D.UndoableDeleteItem(i, full);
            return true;
        }
        case 6: {
            int first = ParaStart(i), last = ParaEnd(i + Random(count - i));
            if (first == 0 && last == count - 1) return false;
            if (last + 1 < count && !D.LiveItem(last + 1).StartsParagraph()) return false;
            D.UndoableDeleteItems(first, last, full);
            return true;
        }
        case 7: {
            int first = ParaStart(i), last = ParaEnd(i + Random(count - i));
            D.UndoableSetParaNoRange(first, last, full, Random(3));
            return true;
        }
        case 8:
            if (!IsText(i)) return false;
            D.UndoableSetStyleNo(i, Random(4));
            return true;
        case 9:
            if (!item.StartsParagraph() || FullLine(i) || !CanContinueAt(i)) return false;
            D.UndoableSetContinuesParagraph(i, true, full, -1);
            return true;
        case 10:
            if (!item.GetContinuesParagraph()) return false;
            D.UndoableSetContinuesParagraph(i, false, full, Random(2) ? -1 : Random(3));
            return true;
        case 11:
            if (item.GetLineBreakBefore()) {
                D.UndoableSetLineBreakBefore(i, false, full);
                return true;
            }
            if (!item.StartsParagraph() || FullLine(i) || !CanContinueAt(i) || item.GetPageBreakBefore() ||
                D.GetItemPara(i - 1) != item.ParaNo)
                return false;
            D.UndoableSetLineBreakBefore(i, true, full);
            return true;
        case 12:
            if (item.GetContinuesParagraph()) return false;
            D.UndoableSetPageBreakBefore(i, Random(2));
            return true;
        case 13:
            D.UndoableSetTag(i, Random(3));
            return true;
        case 14:
            if (FullLine(i))
                D.UndoableSetExtraIntProperty(i, rvepUnremovable, Random(2));
            else if (!IsText(i))
                D.UndoableSetExtraIntProperty(i, rvepSpacing, Random(4));
            else
                return false;
            return true;
        case 15: {
            if (item.Checkpoint) {
                if (Random(2)) {
                    D.UndoableDeleteCheckpoint(i);
                } else {
                    int to = i + (Random(2) ? 1 : -1);
                    if (to < 0 || to >= count) return false;
                    D.UndoableMoveCheckpoint(i, to);
                }
                return true;
            }
            auto cp = std::make_unique<TRVCPInfo>();
            cp->Name = "cp" + std::to_string(Random(100));
            cp->Persistent = Random(2);
            D.UndoableAddCheckpoint(i, std::move(cp));
            return true;
        }
        case 16: {
            if (i + 1 >= count || !IsText(i) || !IsText(i + 1) ||
                !D.LiveItem(i + 1).GetContinuesParagraph() ||
                D.LiveItem(i).StyleNo != D.LiveItem(i + 1).StyleNo)
                return false;
            D.UndoableJoinItems(i);
            return true;
        }
        case 17: {
            int at = Random(count + 1);
            if (at < count && !D.LiveItem(at).StartsParagraph()) return false;
            std::vector<TRVUndoStringItemListInfo::TEntry> list;
            int n = 1 + Random(3);
            int paraNo = Random(3);
            for (int k = n - 1; k >= 0; --k)
                list.push_back({Text(), NewItem(0, paraNo, k > 0)});
            D.UndoableInsertItems(at, list, full, false);
            return true;
        }
        case 18:
            if (D.LiveItem(i).StyleNo != rvsTab) return false;
            D.UndoableSetAssociatedTextStyleNo(i, Random(4));
            return true;
        }
        return false;
    }

    // One edit as a group; false when it recorded nothing.
    bool Edit() {
        static const uint8_t types[] = {rvutDelete,     rvutInsert,  rvutPara,
                                        rvutMiscTyping, rvutStyleNo, rvutModifyItem};
        D.BeginUndoGroup(types[Random(6)]);
        int done = 0;
        for (int tries = 0; done < 1 + Random(3) && tries < 50; ++tries)
            if (Primitive()) ++done;
        bool recorded = D.UndoList->Last() && D.UndoList->Last()->Count() > 0;
        if (recorded) D.Changed();
        D.Format();
        int item = Random(D.ItemCount());
        D.SetCaretAt(item,
                     D.ItemStartOffset(item) + Random(D.ItemEndOffset(item) - D.ItemStartOffset(item) + 1));
        if (!recorded) D.UndoList->DropEmptyGroup();
        return recorded;
    }

    TTestEditData& D;
    std::mt19937 Rng;
};

class RVUndoPropertyTest : public RVUndoTest, public ::testing::WithParamInterface<unsigned> {
protected:
    // The document, its layout as a fresh format makes it, and the editing
    // data's invariants.
    void ExpectState(const std::vector<std::string>& Items, const char* Step, int Index) {
        ASSERT_EQ(ItemStates(*Data), Items) << Step << " " << Index;
        ASSERT_EQ(CheckEditInvariants(*Data), "") << Step << " " << Index;
        auto layout = DrawStates(*Data);
        int item = Data->GetCaretItemNo(), offset = Data->GetCaretItemOffset();
        Data->Format();
        ASSERT_EQ(DrawStates(*Data), layout) << Step << " " << Index << ": the partial format differs";
        Data->SetCaretAt(item, offset);
    }
};

TEST_P(RVUndoPropertyTest, RandomPrimitivesUndoneAndRedoneGiveBackTheExactDocuments) {
    TRandomEditor edits(*Data, GetParam());
    Data->Width = 120;
    edits.Build(8);
    Data->Format();
    std::vector<std::vector<std::string>> history{ItemStates(*Data)};
    size_t pos = 0;
    for (int step = 0; step < 300; ++step) {
        int choice = edits.Random(10);

        if (choice < 5) {
            if (!edits.Edit()) continue;
            history.resize(pos + 1);
            history.push_back(ItemStates(*Data));
            ++pos;
            ASSERT_EQ(CheckEditInvariants(*Data), "") << "edit " << step;
        } else if (choice < 8 && pos > 0) {
            Data->Undo();
            --pos;
            ExpectState(history[pos], "undo", step);
        } else if (pos + 1 < history.size()) {
            Data->Redo();
            ++pos;
            ExpectState(history[pos], "redo", step);
        }
    }
    while (pos > 0) {
        Data->Undo();
        --pos;
        ExpectState(history[pos], "final undo", int(pos));
    }
    EXPECT_FALSE(Data->CanUndo());
    while (pos + 1 < history.size()) {
        ++pos;
        Data->Redo();
        ExpectState(history[pos], "final redo", int(pos));
    }
    EXPECT_FALSE(Data->CanRedo());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RVUndoPropertyTest, ::testing::Range(1u, 41u));

} // namespace
