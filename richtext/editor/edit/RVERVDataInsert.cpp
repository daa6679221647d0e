// Putting items into the editing document at the caret: where the item
// goes, whether it starts or continues a paragraph, the split or the
// replacement of the caret's text item, and list markers, persistent
// checkpoints and sticking items kept sound.
#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/items/RVMarker.h"

namespace {

bool IsMarker(const TCustomRVItemInfo& Item) {
    return Item.StyleNo == rvsListMarker;
}

bool HasPersistent(const TCustomRVItemInfo& Item) {
    return Item.Checkpoint && Item.Checkpoint->Persistent;
}

bool HasNoTag(const TRVTag& Tag) {
    if (const auto* n = std::get_if<int32_t>(&Tag)) return *n == 0;
    return std::get<AnsiString>(Tag).empty();
}

} // namespace

void TRVEditRVData::PlaceCaret(int ItemNo, int ItemOffset, bool KeepStyles, bool CheckResizer) {
    if (DrawItems.Count() == 0 || ItemCount() == 0) return;
    ItemNo = std::clamp(ItemNo, 0, ItemCount() - 1);
    ItemOffset = std::clamp(ItemOffset, ItemStartOffset(ItemNo), ItemEndOffset(ItemNo));
    int drawItem, drawOffs;
    ItemToDrawItem(ItemNo, ItemOffset, drawItem, drawOffs);
    if (drawItem < 0) {
        drawItem = 0;
        drawOffs = DrawItemStartOffset(0);
    }
    if (IsMarker(LiveItem(DrawItems[drawItem]->ItemNo)) && drawItem + 1 < DrawItems.Count()) {
        ++drawItem;
        drawOffs = DrawItemStartOffset(drawItem);
    }
    CaretDrawItem = drawItem;
    BuildCaretLine(drawOffs - 2);
    UpdateCaret(true, KeepStyles, CheckResizer);
}

// ---------------------------------------------------------------- new text items

void TRVEditRVData::InsertNewTextItem(const AnsiString& Text, int ItemNo, bool& FullReformat,
                                      bool LineBreakBefore, bool ContinuesParagraph, int StyleNo, int ParaNo,
                                      const TRVTag& Tag) {
    auto item = CreateTextItem(Tag, ParaNo, LineBreakBefore, ContinuesParagraph, StyleNo);
    AnsiString text = Text;
    UndoableInsertItem(ItemNo, text, FullReformat, false, std::move(item));
}

void TRVEditRVData::InsertTextItemLike(const AnsiString& Text, int ItemNo, bool& FullReformat,
                                       bool LineBreakBefore, bool ContinuesParagraph,
                                       const TCustomRVItemInfo& Source, const TRVTag& Tag) {
    auto item = CreateTextItemLike(Tag, Source, LineBreakBefore, ContinuesParagraph);
    AnsiString text = Text;
    UndoableInsertItem(ItemNo, text, FullReformat, false, std::move(item));
}

void TRVEditRVData::InsertEmptyTextItem(int ItemNo, const TRVTag& Tag, bool LineBreakBefore,
                                        bool ContinuesParagraph, int StyleNo, int ParaNo) {
    bool full = false;
    InsertNewTextItem(AnsiString(), ItemNo, full, LineBreakBefore, ContinuesParagraph, StyleNo, ParaNo, Tag);
}

bool TRVEditRVData::InsertListMarkerCopy(int From, int At) {
    if (From < 0 || From >= ItemCount()) return false;
    int first = GetFirstParaItem(From);
    auto* source = dynamic_cast<TRVMarkerItemInfo*>(GetItem(first));
    if (!source) return false;
    auto marker = std::make_unique<TRVMarkerItemInfo>(this);
    marker->AssignProperties(*source);
    marker->ItemOptions = 0;
    marker->Reset = false;
    marker->Checkpoint.reset();
    marker->ParaNo = source->ParaNo;
    AnsiString text;
    bool full = false;
    UndoableInsertItem(At, text, full, false, std::move(marker));
    return true;
}

// ---------------------------------------------------------------- placing

bool TRVEditRVData::PlaceItemAtCaret(std::unique_ptr<TCustomRVItemInfo>& Item, AnsiString& Text, int& ListNo,
                                     bool& FullReformat, int& NewCount, int& ItemNo, bool NotifyTextEdit,
                                     bool InheritTag, AnsiString& SplitText) {
    SplitText.clear();
    ListNo = -1;
    FullReformat = false;
    NewCount = 1;
    ItemNo = -1;
    TRVStyle* style = GetRVStyle();
    TCustomRVItemInfo& item = *Item;
    bool fullLine = item.GetBoolValue(iqFullLine);
    bool marker = IsMarker(item);
    bool persistent = HasPersistent(item);
    bool validPara = style && item.ParaNo >= 0 && item.ParaNo < style->ParaStyles().Count();
    int ownPara = !item.GetContinuesParagraph() && validPara ? item.ParaNo : -1;
    const TRVCharPos* pos = CurrentCharPos();
    bool haveCaret = DrawItems.Count() > 0 && pos;
    if (haveCaret && !fullLine && !persistent && !marker) {
        item.SetContinuesParagraph(true);
        item.ParaNo = LiveItem(DrawItems[pos->DrawItem]->ItemNo).ParaNo;
    } else {
        item.SetContinuesParagraph(false);
        item.ParaNo = CurrentParaStyle;
    }
    if (IsParaOptionSet(item.ParaNo, rvpaoReadOnly)) {
        Item.reset();
        return false;
    }
    auto inheritFrom = [&](int From) {
        if (!InheritTag || item.StyleNo < 0 || !HasNoTag(item.Tag)) return;
        const TCustomRVItemInfo& source = LiveItem(From);
        if (source.StyleNo == item.StyleNo) item.Tag = DuplicateTag(source.Tag);
    };
    if (InheritTag && item.StyleNo >= 0 && HasNoTag(item.Tag) && item.StyleNo == CurrentTextStyle)
        item.Tag = DuplicateTag(CaretTag);
    auto fail = [&] {
        Item.reset();
        return false;
    };
    auto consume = [&] {
        Item.reset();
        ItemNo = -1;
        NewCount = 0;
        return true;
    };
    bool full = false;
    if (!haveCaret) {
        ItemNo = ItemCount();
    } else {
        const TRVDrawLineInfo& d = *DrawItems[pos->DrawItem];
        int c = d.ItemNo;
        TCustomRVItemInfo& caretItem = LiveItem(c);
        int o = pos->DrawItemOffset;
        bool prevMarker = c > 0 && IsMarker(LiveItem(c - 1));
        if (caretItem.StyleNo < 0) {
            if (marker) return consume();
            if (o == 0) {
                ItemNo = c;
                if (!caretItem.GetContinuesParagraph()) {
                    item.SetContinuesParagraph(false);
                    item.SetLineBreakBefore(caretItem.GetLineBreakBefore());
                    if (caretItem.GetLineBreakBefore()) ownPara = -1;
                    item.SetPageBreakBefore(caretItem.GetPageBreakBefore());
                    if (!caretItem.GetBoolValue(iqFullLine)) {
                        UndoableSetContinuesParagraph(c, true, full, -1);
                        FullReformat |= full;
                    }
                } else {
                    ownPara = -1;
                    if (prevMarker && (fullLine || (persistent && HasPersistent(LiveItem(c - 1))))) {
                        InsertEmptyTextItem(ItemNo, 0, false, true, CurrentTextStyle, caretItem.ParaNo);
                        ++ItemNo;
                        ++NewCount;
                    }
                }
            } else {
                ownPara = -1;
                ItemNo = c + 1;
                if (caretItem.GetBoolValue(iqFullLine)) item.SetContinuesParagraph(false);
            }
        } else if (!GetItemText(c).empty()) {
            if (marker) return consume();
            int p = d.Offs + o - 1;
            if (p > 1 ||
                (p == 1 && prevMarker && (fullLine || (persistent && HasPersistent(LiveItem(c - 1)))))) {
                if (p > ItemLength(c)) {
                    ownPara = -1;
                    ItemNo = c + 1;
                    if (AreItemsStuck(c)) {
                        BeepRefusal();
                        return fail();
                    }
                    inheritFrom(c);
                } else {
                    if (IsItemProtected(c, rvprModifyProtect)) return fail();
                    ownPara = -1;
                    ++NewCount;
                    ItemNo = c + 1;
                    AnsiString old = GetItemText(c);
                    AnsiString tail = ItemTextCopy(old, p, ItemLength(c) - p + 1, caretItem.ItemOptions);
                    auto tailItem = CreateTextItemFrom(caretItem, this);
                    tailItem->SetContinuesParagraph(true);
                    UndoableDeleteSubstring(c, p, -1);
                    UndoableInsertItem(ItemNo, tail, full, false, std::move(tailItem));
                    FullReformat |= full;
                    SplitText = old;
                    if (NotifyTextEdit) {
                        DoItemTextEdit(old, c);
                        DoItemTextEdit(old, c + 1);
                        SplitText.clear();
                    }
                    inheritFrom(c + 1);
                }
            } else {
                ItemNo = c;
                if (AreItemsStuck(c - 1)) {
                    BeepRefusal();
                    return fail();
                }
                if (fullLine) ownPara = -1;
                if (caretItem.GetContinuesParagraph()) {
                    ownPara = -1;
                } else if (!fullLine) {
                    item.SetContinuesParagraph(false);
                    item.SetLineBreakBefore(caretItem.GetLineBreakBefore());
                    if (caretItem.GetLineBreakBefore()) ownPara = -1;
                    item.SetPageBreakBefore(caretItem.GetPageBreakBefore());
                    UndoableSetContinuesParagraph(c, true, full, -1);
                    FullReformat |= full;
                }
                inheritFrom(c);
            }
        } else {
            if (AreItemsStuck(c - 1) || AreItemsStuck(c)) {
                BeepRefusal();
                return fail();
            }
            if (prevMarker && (fullLine || (persistent && ParaHasPersistentCheckpoint(c)))) {
                ItemNo = c + 1;
            } else {
                bool startsLine = !caretItem.GetContinuesParagraph();
                if (startsLine) {
                    item.SetContinuesParagraph(false);
                    if (!marker) item.SetLineBreakBefore(caretItem.GetLineBreakBefore());
                    if (caretItem.GetLineBreakBefore()) ownPara = -1;
                    item.SetPageBreakBefore(caretItem.GetPageBreakBefore());
                } else if (!fullLine && !marker) {
                    item.SetContinuesParagraph(true);
                }
                UndoableDeleteItem(c, full);
                FullReformat |= full;
                ItemNo = c;
                --NewCount;
                item.ParaNo = CurrentParaStyle;
                if (marker && ItemNo > 0 && IsMarker(LiveItem(ItemNo - 1))) {
                    UndoableDeleteItem(ItemNo - 1, full);
                    FullReformat |= full;
                    --ItemNo;
                    --NewCount;
                }
            }
        }
    }
    // After a list marker the item continues the marker's paragraph.
    if (ItemNo > 0 && IsMarker(LiveItem(ItemNo - 1)) && !fullLine) {
        item.SetContinuesParagraph(true);
        item.ParaNo = LiveItem(ItemNo - 1).ParaNo;
    }
    if (item.GetContinuesParagraph() && ItemNo > 0) {
        // A continuation carries its paragraph's style until OwnPara says
        // otherwise.
        if (ownPara < 0 || ownPara == LiveItem(ItemNo - 1).ParaNo) item.ParaNo = LiveItem(ItemNo - 1).ParaNo;
    } else if (item.GetContinuesParagraph()) {
        item.SetContinuesParagraph(false);
    }
    if (fullLine) {
        if (ItemNo < ItemCount()) {
            UndoableSetContinuesParagraph(ItemNo, false, full, -1);
            FullReformat |= full;
            UndoableSetLineBreakBefore(ItemNo, false, full);
            FullReformat |= full;
        }
        if (item.StyleNo == rvsBreak) item.ParaNo = 0;
    }
    bool isBreak = item.StyleNo == rvsBreak;
    bool insertedPersistent = persistent;
    int paraNo = item.ParaNo;
    UndoableInsertItem(ItemNo, Text, full, false, std::move(Item));
    FullReformat |= full;
    int next = ItemNo + 1;
    if (next < ItemCount() && HasPersistent(LiveItem(next)) && !IsParaStart(next) && !insertedPersistent)
        UndoableMoveCheckpoint(next, ItemNo);
    int target = ownPara >= 0 ? ownPara : -1;
    if (item.GetContinuesParagraph() && target < 0 && ItemNo > 0 && LiveItem(ItemNo - 1).ParaNo != paraNo)
        target = paraNo;
    if (target >= 0 && !isBreak) {
        int first, last;
        ExpandToParas(ItemNo, ItemNo, first, last);
        bool differs = false;
        for (int i = first; i <= last && !differs; ++i)
            differs = LiveItem(i).ParaNo != target;
        if (differs) {
            UndoableSetParaNoRange(first, last, full, target);
            FullReformat |= full;
        }
    }
    if (next < ItemCount() && !IsParaStart(next) && HasPersistent(LiveItem(next))) {
        UndoableSetContinuesParagraph(next, false, full, -1);
        FullReformat |= full;
        UndoableSetLineBreakBefore(next, false, full);
        FullReformat |= full;
    }
    return true;
}

bool TRVEditRVData::InsertItemAtCaret(std::unique_ptr<TCustomRVItemInfo> Item, AnsiString& Text,
                                      bool NotifyTextEdit, bool CaretBeforeItem, bool InheritTag,
                                      AnsiString& SplitText) {
    SplitText.clear();
    if (!Item) return false;
    if (Item->StyleNo != rvsBreak && !HasPersistent(*Item)) Item->ParaNo = CurrentParaStyle;
    if (PartialSelectedItem) {
        BeepRefusal();
        return false;
    }
    int lineFirst = -1, lineLast = -1;
    if (CharPositions.Count() > 0) {
        GetLineDrawItemRange(CurrentCharPos() ? CurrentCharPos()->DrawItem : CaretDrawItem, lineFirst,
                             lineLast);
    }
    int listNo, newCount, itemNo;
    bool full = false;
    if (!PlaceItemAtCaret(Item, Text, listNo, full, newCount, itemNo, NotifyTextEdit, InheritTag,
                          SplitText)) {
        BeepRefusal();
        return false;
    }
    if (itemNo < 0) return true;
    bool partial = lineFirst >= 0 && ((!full && CalculateMinParaWidth(itemNo) <= DocumentWidth) ||
                                      CalculateMinDocumentWidth(0, nullptr, nullptr) == DocumentWidth);
    if (partial) {
        FormatParasOfDrawItems(lineFirst, lineLast, false, newCount);
    } else {
        FormatDocument(false, true, false, 0, GetCanvas(), false, true, false);
        InvalidateControl();
    }
    int offset = CaretBeforeItem ? ItemStartOffset(itemNo) : ItemEndOffset(itemNo);
    PlaceCaret(itemNo, offset, false);
    return true;
}
