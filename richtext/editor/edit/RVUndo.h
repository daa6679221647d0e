// Undo and redo of the editing document: the lists of groups, the groups
// (one user-visible step each) and one record class per kind of elementary
// change. A record's Undo calls the opposite primitive of the editing data,
// which records its own reversal into the other list.
#pragma once

#include <algorithm>
#include <memory>
#include <typeinfo>
#include <vector>

#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/text/RVErrors.h"

class TRVEditRVData;
class TRVUndoList;

// What a record undoes (its Kind).
enum TRVUndoAction : uint8_t {
    rvuMisc,
    rvuDeleteItem,
    rvuDeleteItems,
    rvuDeleteSubstring,
    rvuInsertItem,
    rvuInsertItems,
    rvuInsertSubstring,
    rvuNewLine,
    rvuBR,
    rvuPara,
    rvuPageBreak,
    rvuTyping,
    rvuTag,
    rvuStyleNo,
    rvuCheckpoint,
    rvuModifyItem,
    rvuChangeText,
};

// The step a group is (the numbers are fixed).
enum TRVUndoType : uint8_t {
    rvutNone = 0,
    rvutDelete = 1,
    rvutInsert = 2,
    rvutPara = 3,
    rvutMiscTyping = 4,
    rvutRemovePageBreak = 6,
    rvutTyping = 7,
    rvutStyleNo = 9,
    rvutModifyItem = 13,
};

// Raised by a record whose item no longer is what it was made for: the
// undo stops there instead of changing an item of another kind.
class ERVUndoMismatch : public EZoroZudoError {
public:
    using EZoroZudoError::EZoroZudoError;
};

// A record held by an editing document's list.
class TRVEditUndoInfo : public TRVUndoInfo {
public:
    TRVUndoList* List = nullptr;

    TCustomRVData* GetRVData() const override;
    void Undo(TCustomRVData* RVData) override;
    // The editing data the record works on; a record never leaves it.
    virtual void UndoEdit(TRVEditRVData& Data) = 0;

protected:
    static TRVEditRVData& EditData(TCustomRVData* RVData);
};

// ---- records about one item
class TRVUndoItemNoInfo : public TRVEditUndoInfo {
public:
    int32_t ItemNo = -1;
    // The last item whose paragraph style the change also set; -1: the item.
    int32_t LastAffectedItemNo = -1;
    void GetAffectedRange(TCustomRVData*, int& First, int& Last) const override;

protected:
    // Raises ERVUndoMismatch unless ItemNo is an item of the document.
    void CheckItemNo(TRVEditRVData& Data) const;
    // The same, and the item must be text.
    void CheckTextItem(TRVEditRVData& Data) const;
};

class TRVUndoStringInfo : public TRVUndoItemNoInfo {
public:
    AnsiString S;
};

class TRVUndoSubStringInfo : public TRVUndoStringInfo {
public:
    int32_t Index = 0;
};

// Stores the minimum width of the item's paragraph before Undo and tells
// afterwards whether the paragraph now needs a full format.
class TRVUndoWidthTest {
public:
    int32_t OldWidth = 0;
    void StoreWidth(TRVEditRVData& Data, int ItemNo);
    bool WidthChanged(TRVEditRVData& Data, int ItemNo) const;
};

// Holds a deleted item until the undo gives it back; frees it otherwise.
class TRVUndoItemInfo : public TRVUndoStringInfo {
public:
    ~TRVUndoItemInfo() override;
    std::unique_ptr<TCustomRVItemInfo> Item;
};

class TRVUndoDeleteItemInfo : public TRVUndoItemInfo {
public:
    TRVUndoDeleteItemInfo() { Kind = rvuDeleteItem; }
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
    int GetItemCountDelta() const override { return 1; }

private:
    bool FFullReformat = false;
};

// Deleted items with their texts, held from the last to the first.
class TRVUndoStringItemListInfo : public TRVEditUndoInfo {
public:
    ~TRVUndoStringItemListInfo() override;
    struct TEntry {
        AnsiString Text;
        std::unique_ptr<TCustomRVItemInfo> Item;
    };
    std::vector<TEntry> Entries;
};

class TRVUndoItemRangeInfo : public TRVUndoStringItemListInfo {
public:
    int32_t StartItemNo = 0;
    int32_t LastAffectedItemNo = -1;
    void GetAffectedRange(TCustomRVData*, int& First, int& Last) const override;
};

class TRVUndoDeleteItemsInfo : public TRVUndoItemRangeInfo {
public:
    TRVUndoDeleteItemsInfo() { Kind = rvuDeleteItems; }
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
    int GetItemCountDelta() const override { return std::max(FCount, int(Entries.size())); }

private:
    bool FFullReformat = false;
    int32_t FCount = 0;
};

class TRVUndoDeleteSubstringInfo : public TRVUndoSubStringInfo, protected TRVUndoWidthTest {
public:
    TRVUndoDeleteSubstringInfo() { Kind = rvuDeleteSubstring; }
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
};

class TRVUndoInsertItemInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoInsertItemInfo() { Kind = rvuInsertItem; }
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatBefore(TCustomRVData* RVData) const override;
    bool NeedsFullFormatAfter(TCustomRVData*) const override { return FFullReformat; }
    int GetItemCountDelta() const override { return -1; }

private:
    bool FFullReformat = false;
};

class TRVUndoInsertItemsInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoInsertItemsInfo() { Kind = rvuInsertItems; }
    int32_t Count = 0;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatBefore(TCustomRVData* RVData) const override;
    bool NeedsFullFormatAfter(TCustomRVData*) const override { return FFullReformat; }
    int GetItemCountDelta() const override { return -Count; }

private:
    bool FFullReformat = false;
};

class TRVUndoInsertSubstringInfo : public TRVUndoItemNoInfo, protected TRVUndoWidthTest {
public:
    TRVUndoInsertSubstringInfo() { Kind = rvuInsertSubstring; }
    int32_t Index = 0;
    int32_t Length = 0;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
};

// A run of typed characters, undone one character at a time.
class TRVUndoTypingInfo : public TRVUndoInsertSubstringInfo {
public:
    TRVUndoTypingInfo() { Kind = rvuTyping; }
    bool Unicode = false;
    void UndoEdit(TRVEditRVData& Data) override;
};

// The characters undone typing took away, given back one at a time; Index
// is the position after the run.
class TRVRedoTypingInfo : public TRVUndoSubStringInfo, protected TRVUndoWidthTest {
public:
    TRVRedoTypingInfo() { Kind = rvuTyping; }
    bool Unicode = false;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
    // Characters held (UTF-16 units for Unicode text).
    int CharCount() const { return Unicode ? int(S.size() / 2) : int(S.size()); }
};

class TRVUndoNewLineInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoNewLineInfo() { Kind = rvuNewLine; }
    bool WasContinuesParagraph = false;
    int32_t WasParaNo = 0;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData*) const override { return FFullReformat; }

private:
    bool FFullReformat = false;
};

class TRVUndoBRInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoBRInfo() { Kind = rvuBR; }
    bool WasLineBreakBefore = false;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData*) const override { return FFullReformat; }

private:
    bool FFullReformat = false;
};

class TRVUndoPageBreakInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoPageBreakInfo() { Kind = rvuPageBreak; }
    bool WasPageBreakBefore = false;
    void UndoEdit(TRVEditRVData& Data) override;
};

// One paragraph style for Count items.
class TRVUndoParaInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoParaInfo() { Kind = rvuPara; }
    int32_t Count = 0;
    int32_t ParaNo = 0;
    void UndoEdit(TRVEditRVData& Data) override;
    void GetAffectedRange(TCustomRVData*, int& First, int& Last) const override;
    bool NeedsFullFormatAfter(TCustomRVData*) const override { return FFullReformat; }

private:
    bool FFullReformat = false;
};

// A paragraph style per item from StartItemNo on.
class TRVUndoParaListInfo : public TRVEditUndoInfo {
public:
    TRVUndoParaListInfo() { Kind = rvuPara; }
    int32_t StartItemNo = 0;
    std::vector<int32_t> List;
    void UndoEdit(TRVEditRVData& Data) override;
    void GetAffectedRange(TCustomRVData*, int& First, int& Last) const override;
    bool NeedsFullFormatAfter(TCustomRVData*) const override { return FFullReformat; }

private:
    bool FFullReformat = false;
};

class TRVUndoStyleNoInfo : public TRVUndoItemNoInfo, protected TRVUndoWidthTest {
public:
    TRVUndoStyleNoInfo() { Kind = rvuStyleNo; }
    int32_t WasStyleNo = 0;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
};

class TRVUndoAssociatedTextStyleNoInfo : public TRVUndoStyleNoInfo {
public:
    void UndoEdit(TRVEditRVData& Data) override;
    // The class of the item the style belongs to.
    const std::type_info* ItemClass = nullptr;
};

class TRVUndoTagInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoTagInfo() { Kind = rvuTag; }
    TRVTag WasTag;
    bool TagsArePChars = false;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFormat() const override { return false; }
};

// ItemNo -1: the pending checkpoint after the last item.
class TRVUndoAddCPInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoAddCPInfo() { Kind = rvuCheckpoint; }
    void UndoEdit(TRVEditRVData& Data) override;
    void GetAffectedRange(TCustomRVData*, int&, int&) const override {}
};

class TRVUndoDeleteCPInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoDeleteCPInfo() { Kind = rvuCheckpoint; }
    std::unique_ptr<TRVCPInfo> Checkpoint;
    bool TagsArePChars = false;
    void UndoEdit(TRVEditRVData& Data) override;
    void GetAffectedRange(TCustomRVData*, int&, int&) const override {}
};

class TRVUndoChangeTextInfo : public TRVUndoStringInfo, protected TRVUndoWidthTest {
public:
    TRVUndoChangeTextInfo() { Kind = rvuChangeText; }
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
};

class TRVUndoExtraIntProperty : public TRVUndoItemNoInfo, protected TRVUndoWidthTest {
public:
    TRVUndoExtraIntProperty() { Kind = rvuModifyItem; }
    int32_t Prop = 0;
    int32_t OldValue = 0;
    const std::type_info* ItemClass = nullptr;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
};

class TRVUndoExtraStrProperty : public TRVUndoItemNoInfo {
public:
    TRVUndoExtraStrProperty() { Kind = rvuModifyItem; }
    int32_t Prop = 0;
    AnsiString OldValue;
    const std::type_info* ItemClass = nullptr;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFormat() const override { return false; }
};

// Asks for the items First..Last to be formatted again; it records itself
// again when undone.
class TRVUndoReformateRange : public TRVUndoItemNoInfo {
public:
    TRVUndoReformateRange() { Kind = rvuMisc; }
    bool SuperReformat = false;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsRootFormat() const override { return SuperReformat; }
};

// Brackets a run of property records of one item: the full-format question
// is asked once for the whole run.
class TRVUndoModifyItemTerminator : public TRVUndoItemNoInfo {
public:
    TRVUndoModifyItemTerminator() { Kind = rvuModifyItem; }
    bool Opening = false;
    int32_t OldWidth = 0;
    void UndoEdit(TRVEditRVData& Data) override;
    bool NeedsFullFormatBefore(TCustomRVData* RVData) const override;
    bool NeedsFullFormatAfter(TCustomRVData* RVData) const override;
};

// ---- groups and lists

// One step: its records in the order they were made.
class TRVUndoInfos : public TObject {
public:
    std::vector<std::unique_ptr<TRVUndoInfo>> Items;
    AnsiString Caption;
    uint8_t UndoType = rvutNone;
    int32_t CaretItemNo = 0;
    int32_t CaretOffs = 0;

    int Count() const { return int(Items.size()); }
    TRVUndoInfo* First() const { return Items.empty() ? nullptr : Items.front().get(); }
    void SetOwnerList(TRVUndoList* List);
    // Nothing is left to undo in the group.
    bool IsConsumed() const;
    // Opens the same group in the other list, then reverses the records.
    void Undo(TRVEditRVData& Data, bool AllowReformat);
    void Redo(TRVEditRVData& Data, bool AllowReformat);
    void PerformUndo(TRVEditRVData& Data, bool AllowReformat);
};

class TRVUndoList : public TObject {
public:
    explicit TRVUndoList(TRVEditRVData* Data) : RVData(Data) {}
    ~TRVUndoList() override;

    TRVEditRVData* RVData;
    // -1 unlimited, 0 recording off, n: at most n groups.
    int32_t Limit = -1;
    int32_t GroupModeCount = 0;

    int Count() const { return int(FGroups.size()); }
    TRVUndoInfos* GetItem(int Index) const { return FGroups.at(size_t(Index)).get(); }
    TRVUndoInfos* Last() const { return FGroups.empty() ? nullptr : FGroups.back().get(); }
    void Clear();
    // Deletes the oldest groups until fewer than the limit are held; a
    // limit lowered below the count takes effect at once.
    void SetLimit(int Value);

    bool OpenGroup(uint8_t UndoType, const AnsiString& Caption, int CaretItemNo, int CaretOffs);
    uint8_t CurrentUndoType() const { return FGroups.empty() ? uint8_t(rvutNone) : FGroups.back()->UndoType; }
    void AddInfo(std::unique_ptr<TRVUndoInfo> Info);
    void AddTyping(int ItemNo, int Position, bool Unicode);
    void AddUntyping(const AnsiString& Text, int ItemNo, int Position);
    void AppendGroup(std::unique_ptr<TRVUndoInfos> Group);
    void DropEmptyGroup();
    void SetGroupMode(bool Enter) { GroupModeCount += Enter ? 1 : -1; }
    void Undo();
    void Redo();

protected:
    void Run(bool AsRedo);
    void DeleteFirst() { FGroups.erase(FGroups.begin()); }
    void DeleteEmptyLast();
    std::vector<std::unique_ptr<TRVUndoInfos>> FGroups;
};

class TRVRedoList : public TRVUndoList {
public:
    using TRVUndoList::TRVUndoList;
};
