// The document data container: the list of items with their strings, the
// checkpoint chain, the questions a document asks its root, adding,
// deleting and freeing items, and the operations on the document's
// structure (paragraphs, lines, characters, moving and merging items,
// searching sub-documents, comparing positions, styles in use).
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/style/RVStyleTypes.h"
#include "richtext/engine/text/RVErrors.h"

class TStringList;
class TRVMarkerItemInfo;
class TRVMarkerList;
class TRVSeqItemInfo;
class TRVSeqList;
class TRVDocParameters;

// ---- RTF save options (a set)
using TRVRTFOptions = uint16_t;
enum TRVRTFOption : uint16_t {
    rvrtfSaveStyleSheet = 1 << 0,
    rvrtfDuplicateUnicode = 1 << 1,
    rvrtfSaveEMFAsWMF = 1 << 2,
    rvrtfSaveJpegAsJpeg = 1 << 3,
    rvrtfSaveBitmapDefault = 1 << 4,
    rvrtfSaveEMFDefault = 1 << 5,
    rvrtfSavePicturesBinary = 1 << 6,
    rvrtfPNGInsteadOfBitmap = 1 << 7,
    rvrtfSaveDocParameters = 1 << 8,
};
// What the viewer starts with.
inline constexpr TRVRTFOptions RVDefaultRTFOptions =
    rvrtfDuplicateUnicode | rvrtfSaveEMFAsWMF | rvrtfSaveJpegAsJpeg;

// ---- RVF options (a set; the bit number is the option's ordinal)
using TRVFOptions = uint16_t;
enum TRVFOption : uint16_t {
    rvfoSavePicturesBody = 1 << 0,
    rvfoSaveControlsBody = 1 << 1,
    rvfoIgnoreUnknownPicFmt = 1 << 2,
    rvfoIgnoreUnknownCtrls = 1 << 3,
    rvfoConvUnknownStylesToZero = 1 << 4,
    rvfoConvLargeImageIdxToZero = 1 << 5,
    rvfoSaveBinary = 1 << 6,
    rvfoUseStyleNames = 1 << 7,
    rvfoSaveBack = 1 << 8,
    rvfoLoadBack = 1 << 9,
    rvfoSaveTextStyles = 1 << 10,
    rvfoSaveParaStyles = 1 << 11,
    rvfoSaveLayout = 1 << 12,
    rvfoLoadLayout = 1 << 13,
    rvfoSaveDocProperties = 1 << 14,
    rvfoLoadDocProperties = 1 << 15,
};
// What the viewer starts with.
inline constexpr TRVFOptions RVDefaultRVFOptions = 0xC043;
// What the last RVF reading had to repair or skip (a set).
using TRVFWarnings = uint8_t;
enum TRVFWarning : uint8_t {
    rvfwUnknownPictureClass = 1,
    rvfwUnknownControlClass = 2,
    rvfwInvalidStyleIndex = 4,
    rvfwInvalidImageIndex = 8,
    rvfwTextToUnicode = 16,
    rvfwTextFromUnicode = 32,
    rvfwDamagedPicture = 64,
    rvfwStyleReadError = 128,
};
// How the RVF reader takes the style blocks of a stream it inserts.
enum TRVFReaderStyleMode : uint8_t { rvf_sIgnore, rvf_sInsertMap, rvf_sInsertMerge };
enum TRVFSaveScope : uint8_t { rvfssDocument, rvfssSelection, rvfssPage };
class TRVLayoutInfo;

// The formats an item may be saved in by the application's hook.
enum TRVSaveFormat : uint8_t { rvsfText, rvsfHTML, rvsfRTF, rvsfRVF };
// Where the application may add its own RTF code.
enum TRVRTFSaveArea : uint8_t {
    rv_rtfs_TextStyle,
    rv_rtfs_ParaStyle,
    rv_rtfs_CellProps,
    rv_rtfs_RowProps,
    rv_rtfs_Doc
};
struct TRVRTFTables;

// ---- the document options a control keeps (TRVOptions)
using TRVOptions = uint32_t;
enum TRVOption : uint32_t {
    rvoAllowSelection = 1 << 0,
    rvoSingleClick = 1 << 1,
    rvoScrollToEnd = 1 << 2,
    rvoClientTextWidth = 1 << 3,
    rvoShowCheckpoints = 1 << 4,
    rvoShowPageBreaks = 1 << 5,
    rvoShowSpecialCharacters = 1 << 6,
    // Tags are texts; else integers. One kind for a whole document.
    rvoTagsArePChars = 1 << 7,
    rvoAutoCopyText = 1 << 8,
    rvoAutoCopyUnicodeText = 1 << 9,
    rvoAutoCopyRVF = 1 << 10,
    rvoAutoCopyImage = 1 << 11,
    rvoAutoCopyRTF = 1 << 12,
    rvoFormatInvalidate = 1 << 13,
    rvoDblClickSelectsWord = 1 << 14,
    rvoRClickDeselects = 1 << 15,
    rvoDisallowDrag = 1 << 16,
    rvoShowItemHints = 1 << 17,
    rvoFastFormatting = 1 << 18,
};
// What the viewer starts with.
inline constexpr TRVOptions RVDefaultOptions = 0x4FD25;

// ---- state bits of a document; others belong to the descendants
using TRVDataStates = uint32_t;
enum TRVDataState : uint32_t {
    rvdsClearing = 0x100,
    rvdsReadingBlock = 0x40000,
    rvdsContinuesPrevPara = 0x400000,
    rvdsParaContinuesNext = 0x800000,
    rvdsItemsMovedOut = 0x80000000,
};

// The characters that separate words unless the document's owner sets
// others: blank . ; , : ( ) { } " / \ < > ! ? [ ], the code-page 1251
// typographic quotes, - + * =, the no-break space and the low double quote.
inline constexpr std::string_view RVDefaultDelimiters = " .;,:(){}\"/\\<>!?[]\x91\x92\x93\x94-+*=\xA0\x84";

// The items of a document in order: each entry is the item's string and
// the item, which the list owns. Every index is checked.
class TRVItemList {
public:
    int Count() const { return int(FItems.size()); }
    const AnsiString& Strings(int Index) const;
    void SetString(int Index, const AnsiString& S);
    // Nil only while a caller frees an entry's item before removing it.
    TCustomRVItemInfo* Objects(int Index) const;
    // Takes the entry's item out, leaving nil in its place.
    std::unique_ptr<TCustomRVItemInfo> ReleaseObject(int Index);
    int AddObject(const AnsiString& S, std::unique_ptr<TCustomRVItemInfo> Item);
    void InsertObject(int Index, const AnsiString& S, std::unique_ptr<TCustomRVItemInfo> Item);
    // Removes entries; items still in them are freed.
    void Delete(int Index) { DeleteRange(Index, 1); }
    void DeleteRange(int Index, int Count);
    void Clear() {
        FItems.clear();
        Changed();
    }
    // Counts the changes of the list; a copy that borrows the items (a
    // printout) keeps the token and sees a change, or the list's end, by it.
    std::weak_ptr<const uint64_t> ChangeToken() const { return FVersion; }
    uint64_t Version() const { return *FVersion; }
    void Changed() { ++*FVersion; }
    // Looks where the item last stood, then outwards from there: after an
    // edit an item has moved by the few entries inserted or deleted.
    int IndexOfObject(const TCustomRVItemInfo* Item) const;
    // Entries compared by IndexOfObject so far, a measure of its cost.
    int64_t SearchSteps() const { return FSearchSteps; }

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() {
        if (FUpdateCount > 0) --FUpdateCount;
    }
    int UpdateCount() const { return FUpdateCount; }

private:
    struct TEntry {
        AnsiString Text;
        std::unique_ptr<TCustomRVItemInfo> Item;
    };
    void CheckIndex(int Index) const;
    std::vector<TEntry> FItems;
    std::shared_ptr<uint64_t> FVersion = std::make_shared<uint64_t>(0);
    int FUpdateCount = 0;
    mutable int64_t FSearchSteps = 0;
};

// Called for every item of a document tree; clearing Continue stops.
using TRVEnumItemsProc = std::function<void(TCustomRVData& Data, int ItemNo, bool& Continue)>;
using TRVItemPredicate = std::function<bool(const TCustomRVItemInfo& Item)>;

class TCustomRVData : public TPersistent {
public:
    TCustomRVData();
    // Descendants that free items their own way clear the document in their
    // destructor: here only the base behaviour is left.
    ~TCustomRVData() override;

    int32_t FirstJumpNo = 0;
    // The data's own list, or the one it shares with another data.
    TRVItemList* ItemList = nullptr;
    // False: items that would start a paragraph start a line instead.
    bool NewParaAllowed = true;
    TRVCPInfo* CheckpointHead = nullptr;
    TRVCPInfo* CheckpointTail = nullptr;
    // Taken by the next item added; else the checkpoint after the last item.
    std::unique_ptr<TRVCPInfo> PendingCheckpoint;
    TRVDataStates StateBits = 0;
    int32_t ContinuedListNo = -1;
    int32_t ContinuedListLevel = -1;
    // The linked checkpoints plus the pending one.
    int32_t CheckpointCount = 0;

    // ---- what a document asks its parent, root and outer root
    virtual TRVStyle* GetRVStyle() const;
    virtual TCustomRVData* GetParentData() const { return nullptr; }
    virtual TCustomRVData* GetRootData() const { return const_cast<TCustomRVData*>(this); }
    // The same two, passing through an in-place editor to the edited document.
    virtual TCustomRVData* GetOuterParentData() const { return nullptr; }
    virtual TCustomRVData* GetOuterRootData() const { return const_cast<TCustomRVData*>(this); }
    // The data that really holds the content now, and the one it shows.
    virtual TCustomRVData* GetRVData() const { return const_cast<TCustomRVData*>(this); }
    virtual TCustomRVData* GetSourceRVData() const { return const_cast<TCustomRVData*>(this); }
    // The document's flags word, which each descendant keeps.
    virtual uint16_t GetFlags() const = 0;
    virtual void SetFlags(uint16_t Value) = 0;
    virtual TRVBiDiMode GetBiDiMode() const;
    virtual AnsiString GetDelimiters() const;
    // ---- settings of the document's control, asked of the root (options)
    // or the outer root (word wrap, maximum length); a root without a
    // control answers the viewer's defaults
    virtual TRVOptions GetOptions() const;
    virtual void SetOptions(TRVOptions Value);
    bool TagsArePChars() const { return GetOptions() & rvoTagsArePChars; }
    virtual bool GetWordWrap() const;
    // Characters per line; 0 or less: no limit.
    virtual int GetMaxLength() const;
    // The document's background colour; clNone here.
    virtual TColor GetColor() const { return clNone; }
    // ---- what the document is in its tree
    // Whether the document may hold page breaks (table cells may not).
    virtual bool AllowsPageBreaks() const { return true; }
    // Whether the data belongs to a control directly.
    virtual bool IsTopLevelDocument() const { return false; }
    virtual void DoItemAction(TRVItemAction, TCustomRVItemInfo*, AnsiString&, TCustomRVData*) {}
    // Printing data borrows the items of the document it prints.
    virtual bool SharesItems() const { return false; }
    // The index of the parent's item that owns this sub-document and where
    // it lies among that item's sub-documents; -1 and nil at the top.
    virtual void GetParentInfo(int& ItemNo, std::unique_ptr<TRVStoreSubRVData>& Location) const;
    virtual TStringList* GetDocProperties() const { return nullptr; }

    // ---- items
    int ItemCount() const { return ItemList->Count(); }
    // Nil only for an entry whose item is being freed.
    TCustomRVItemInfo* GetItem(int Index) const;
    // The same, raising for such an entry.
    TCustomRVItemInfo& LiveItem(int Index) const;
    int GetItemNo(const TCustomRVItemInfo* Item) const { return ItemList->IndexOfObject(Item); }
    const AnsiString& GetItemText(int Index) const { return ItemList->Strings(Index); }
    // Unicode text items converted to the code page of their text style.
    AnsiString GetItemTextAnsi(int Index) const;
    int GetItemStyle(int Index) const { return GetActualStyle(LiveItem(Index)); }
    int GetActualStyle(const TCustomRVItemInfo& Item) const {
        return ResolveStyleNo(Item.StyleNo, Item.ParaNo);
    }
    int ResolveStyleNo(int StyleNo, int ParaNo) const;
    int GetItemPara(int Index) const { return LiveItem(Index).ParaNo; }
    const TRVTag& GetItemTag(int Index) const { return LiveItem(Index).Tag; }
    TRVItemOptions GetItemOptions(int Index) const { return LiveItem(Index).ItemOptions; }
    bool IsParaStart(int Index) const { return LiveItem(Index).StartsParagraph(); }
    bool IsFromNewLine(int Index) const { return !LiveItem(Index).GetContinuesParagraph(); }
    // Of a paragraph that begins with a list marker, the marker keeps it.
    bool PageBreakBefore(int Index) const;
    TRVCPInfo* GetItemCheckpoint(int Index) const { return LiveItem(Index).Checkpoint.get(); }
    // Characters of a text item, 1 for any other item.
    int ItemLength(int Index) const;
    int ItemStartOffset(int Index) const { return LiveItem(Index).StyleNo >= 0 ? 1 : 0; }
    int ItemEndOffset(int Index) const;
    void ClampItemNo(int& Index) const;
    // The item at Index as T, or EZoroZudoError for an item of another class.
    template <class T> T& CheckItemClass(int Index) const;
    bool SetItemExtraIntProperty(int Index, int Code, int Value);
    bool GetItemExtraIntProperty(int Index, int Code, int& Value) const;
    bool SetItemExtraStrProperty(int Index, int Code, const AnsiString& Value);
    bool GetItemExtraStrProperty(int Index, int Code, AnsiString& Value) const;
    TRVBiDiMode GetItemBiDiMode(int Index) const;
    TRVBiDiMode GetParaBiDiMode(int ParaNo) const;
    int GetStyleCodePage(int StyleNo) const;
    int GetDefCodePage() const;

    // ---- adding items at the end
    void AddItem(const AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item);
    // Keeps the item's option bits and paragraph style.
    void AddItemAsIs(const AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item);
    // Text in the item's encoding: raw UTF-16 when its text style is Unicode.
    void AddTextItemTag(const AnsiString& Text, int StyleNo, int ParaNo, const TRVTag& Tag);
    void AddTextItem(const AnsiString& Text, int StyleNo, int ParaNo) {
        AddTextItemTag(Text, StyleNo, ParaNo, 0);
    }
    // Raw UTF-16, converted when the text style is not Unicode.
    void AddRawUnicodeTextTag(const AnsiString& Text, int StyleNo, int ParaNo, const TRVTag& Tag);
    void AddWideTextTag(std::u16string_view Text, int StyleNo, int ParaNo, const TRVTag& Tag);
    // 8-bit text, converted when the text style is Unicode.
    void AddAnsiTextTag(const AnsiString& Text, int StyleNo, int ParaNo, const TRVTag& Tag);
    void AddBreakEx(uint8_t Width, TRVBreakStyle Style, TColor Color, const TRVTag& Tag);
    void AddBreakTag(const TRVTag& Tag) { AddBreakEx(1, brkLine, clNone, Tag); }
    void AddBreak() { AddBreakTag(0); }
    // The number of the pending checkpoint; a pending one stays as it is.
    int AddCheckpoint(const AnsiString& Name, bool RaiseEvent, const TRVTag& Tag);

    // ---- the checkpoint chain
    // Pending becomes Item's checkpoint, linked after After (first when nil).
    void LinkCheckpoint(TCustomRVItemInfo& Item, TRVCPInfo* After, std::unique_ptr<TRVCPInfo>& Pending);
    void UnlinkCheckpoint(TRVCPInfo* CP, bool DecCount);
    void FreeCheckpoint(std::unique_ptr<TRVCPInfo>& CP, bool Unlink, bool DecCount);
    void UpdateCheckpointItemNos();
    // After UpdateCheckpointItemNos: the last checkpoint of an item before Index.
    TRVCPInfo* FindCheckpointBefore(int Index) const;
    // Links CP, whose item is ItemNo, in item order; nothing for ItemNo -1.
    void InsertCheckpointInOrder(TRVCPInfo* CP, int ItemNo);

    // ---- deleting and freeing
    // Tells the owner, then frees the item; the entry stays for the caller.
    void FreeItem(int Index, bool Clearing);
    virtual void FreeItemObject(std::unique_ptr<TCustomRVItemInfo> Item, bool Clearing);
    virtual void DeleteItems(int Index, int Count);
    virtual void Clear();
    void ShareItemsFrom(TCustomRVData& Data);
    // Nil goes back to the data's own list.
    void UseItemsOf(TCustomRVData* Data);
    // Items in a list borrowed from another document are that document's.
    bool FreesItems() const;

    // ---- text
    // Tabs become the style sheet's SpacesInTab spaces (8 without a style
    // sheet or when it asks for none).
    AnsiString ReplaceTabs(const AnsiString& Text, int StyleNo, bool Unicode) const;
    bool IsDelimiter(const AnsiString& Text, int Pos, TRVItemOptions ItemOptions) const;
    bool IsDelimiterChar(char16_t Ch) const { return DelimitersContain(GetDelimiters(), Ch); }
    // Delimiters are 8-bit text of the program's code page.
    static bool DelimitersContain(const AnsiString& Delimiters, char16_t Ch);
    static void ReplaceNulChars(AnsiString& Text);
    static void CheckUnicodeByteLength(const AnsiString& Text);

    // ---- paragraphs and lines
    int GetFirstParaItem(int ItemNo) const;
    int GetFirstLineItem(int ItemNo) const;
    void ExpandToParas(int StartNo, int EndNo, int& First, int& Last) const;
    void ExpandToLines(int StartNo, int EndNo, int& First, int& Last) const;
    void NormalizeParaNos(int ItemNo);
    int NextCharOffset(const AnsiString& Text, int ItemNo, int Offs) const;
    int PrevCharOffset(const AnsiString& Text, int ItemNo, int Offs) const;

    // ---- moving and joining items
    // Appends Source's items, which leave Source and its numbering lists;
    // Source is left empty. Documents with tags of different kinds raise.
    void MoveItemsFrom(TCustomRVData* Source);
    bool CanMergeItems(int ItemNo, const TCustomRVItemInfo* First, bool EvenIfNewLine,
                       const TCustomRVItemInfo* Second) const;
    void MergeItems(int ItemNo);
    void MergeAdjacentItems(int FirstNo, int LastNo);
    void MergeItemsInSubDocuments(int ItemNo);
    void RefreshItemTexts(TCustomRVData* Data, bool Safe);

    // ---- searching the document tree
    TCustomRVItemInfo* FindPrevItemOfClass(int ItemNo, const TRVItemPredicate& IsOfClass) const;
    template <class T> T* FindPrevItemOfClass(int ItemNo) const;
    int FindItemContaining(int StartNo, const TCustomRVItemInfo* Item) const;
    bool EnumItems(const TRVEnumItemsProc& Proc);
    int ComparePositions(int ItemNo1, TCustomRVData* Data2, int ItemNo2) const;

    // ---- styles in use
    virtual void MarkUsedStyles(TRVStyleUsageInfo& Usage);
    void MarkItemsUsedStyles(TRVStyleUsageInfo& Usage) const;
    void RenumberItemsStyles(const TRVStyleUsageInfo& Usage);
    virtual void AfterStylesDeleted(TRVStyleUsageInfo&) {}

    // The next free "<prefix><n><Ext>" for a picture written beside a file.
    virtual void GetNextFileName(const AnsiString& ImagesPrefix, const AnsiString& Path,
                                 const AnsiString& Ext, int& ImageCounter, bool ReuseWritable,
                                 AnsiString& FileName) const;

    // ---- list markers and numbered sequences; the lists belong to the
    // outer root, are made on first need and freed when they empty
    virtual TRVMarkerList* GetMarkerList(bool Create);
    virtual TRVMarkerList* GetPrevMarkerList() const { return nullptr; }
    virtual void FreeMarkerList();
    virtual TRVSeqList* GetSeqList(bool Create);
    virtual void FreeSeqList();
    TRVMarkerItemInfo* FindPrevMarker(int ItemNo) const;
    TRVSeqItemInfo* FindPrevSeqItem(int ItemNo) const;
    void AddMarkerInList(int ItemNo);
    void RemoveMarkerFromList(TCustomRVItemInfo* Item, bool Clearing);
    void RenumberMarkersFrom(int ItemNo, bool CreateList);
    // Gives the paragraph of ItemNo (the end: a new paragraph) a list
    // marker, or changes the one it has; -1 for a paragraph that begins
    // with a full-line item.
    int ApplyListMarker(int ItemNo, int ListNo, int ListLevel, int StartFrom, bool UseStartFrom, int ParaNo);
    void AddSeqInList(int ItemNo);
    void RemoveSeqFromList(TCustomRVItemInfo* Item, bool Clearing);
    // The number text of the note this document belongs to (notes).
    virtual AnsiString GetNoteText() const;
    // The document whose lists number this one's markers and sequences: the
    // outer root, or a document that keeps lists of its own.
    virtual TCustomRVData* GetNumberingRoot() { return GetOuterRootData(); }
    // Makes the numbering root's marker and sequence lists those of one walk
    // of its document tree, and renumbers them.
    void RebuildNumberingLists();
    // Items appended between the two enter no list one by one; the end
    // rebuilds the lists in one walk.
    void BeginItemsLoad() { ++FItemsLoading; }
    void EndItemsLoad();

    // ---- page setup travelling with the document: the root's
    virtual TRVDocParameters* GetDocParameters(bool Create);

    // ---- what the writers ask
    virtual TRVRTFOptions GetRTFOptions() const;
    // The whole document, or the selection (none here): the first and last
    // item with offsets; PartialItem when the range lies inside one item.
    virtual void GetSaveRange(bool SelectionOnly, int& StartItemNo, int& StartOffs, int& EndItemNo,
                              int& EndOffs, bool& PartialItem) const;
    // A sub-document being edited inside an item (a table cell), and its item.
    virtual TCustomRVData* GetActiveSubDocument() const { return nullptr; }
    virtual TCustomRVItemInfo* GetActiveSubDocumentItem() const { return nullptr; }
    // True when the application wrote the item itself into Text.
    virtual bool DoSaveItemToFile(const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                                  TRVSaveFormat SaveFormat, bool Unicode, AnsiString& Text);
    virtual void DoSaveRTFExtra(TRVRTFSaveArea Area, TObject* Obj, int Index1, int Index2, bool InStyleSheet,
                                AnsiString& RTFCode);
    // The target of hyperlink Id; Extras may hold instruction text before
    // and after the target, separated by a #0.
    virtual void DoWriteHyperlink(int Id, TCustomRVData* RVData, int ItemNo, TRVSaveFormat SaveFormat,
                                  AnsiString& Target, AnsiString& Extras);
    virtual void DoURLNeeded(int Id, AnsiString& URL);

    // ---- RVF settings, asked of the root; a root without a control keeps
    // its own, starting from the viewer's defaults
    virtual TRVFOptions GetRVFOptions() const;
    virtual void SetRVFOptions(TRVFOptions Value);
    virtual TRVFReaderStyleMode GetRVFTextStylesReadMode() const;
    virtual TRVFReaderStyleMode GetRVFParaStylesReadMode() const;
    virtual TRVFWarnings GetRVFWarnings() const;
    virtual void SetRVFWarnings(TRVFWarnings Value);

    // ---- RVF. The writer: false when anything failed (what was written
    // stays); an empty document writes nothing.
    bool SaveRvfEx(TStream& Stream, TRVFSaveScope Scope, TRVLayoutInfo* Layout, TColor Color);
    bool SaveRvf(TStream& Stream, bool SelectionOnly, TRVLayoutInfo* Layout, TColor Color);
    // Written beside the file and renamed over it.
    bool SaveRvfFile(const AnsiString& FileName, bool SelectionOnly, TRVLayoutInfo* Layout, TColor Color);
    // A sub-document block: its length, then an RVF stream of the document
    // without layout or background.
    void SaveRvfBlock(TStream& Stream);
    // The reader (formats/rvf/RVRvfReader.h holds its entry point): the
    // stream from its position to its end. A damaged stream changes nothing.
    bool LoadRvf(TStream& Stream, TColor& Color, TRVLayoutInfo* Layout);
    // Index: where the first item goes; on return, where it went.
    bool InsertRvfAt(TStream& Stream, int& Index, bool WholeDocument, TRVLayoutInfo* Layout, TColor& Color);
    void LoadRvfSubDocument(TStream& Stream);
    void ApplyLayoutContinuation(const TRVLayoutInfo& Layout);

    // ---- writers. RTF: Tables is nil for the top-level call, which builds
    // them; false when anything failed (what was written stays).
    virtual bool SaveRtf(TStream& Stream, const AnsiString& Path, bool SelectionOnly, int Level, TColor Color,
                         TRVRTFTables* Tables, bool CompleteDocument);
    // Written beside the file and renamed over it: a failed save keeps the
    // old file and answers false.
    bool SaveRtfFile(const AnsiString& FileName, bool SelectionOnly, TColor Color);
    // The colour table and list-override counts (with the styles when asked),
    // then every item's entries.
    void FillRtfTables(TRVRTFTables& Tables, bool AddStyles);
    // Plain text, ANSI or UTF-16; false when anything failed.
    bool SaveTextStream(const AnsiString& Path, TStream& Stream, int LineWidth, bool SelectionOnly,
                        bool TextOnly, bool Unicode, bool UnicodeWriteSignature);
    bool SaveTextFile(const AnsiString& FileName, int LineWidth, bool Unicode);

private:
    void AppendItem(const AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item, bool AsIs);
    void MoveAllItemsFrom(TCustomRVData& Source);
    void AddTextItemInEncoding(AnsiString Text, int StyleNo, int ParaNo, const TRVTag& Tag, bool Unicode);
    int NewItemTextStyle(int StyleNo, int ParaNo) const;
    bool IsUnicodeStyle(int StyleNo) const;
    // Links the checkpoints of the items in item order again.
    void RelinkCheckpoints();
    std::unique_ptr<TRVItemList> FOwnItems;
    int FItemsLoading = 0;
    // The empty text that ApplyListMarker put after a marker it appended,
    // while it is the last item: the paragraph's first item replaces it.
    const TCustomRVItemInfo* FMarkerPlaceholder = nullptr;
    // Kept here while this data is the outer root (or the root, for the
    // parameters); descendants that hold them elsewhere override the getters.
    std::unique_ptr<TRVMarkerList> FMarkerList;
    std::unique_ptr<TRVSeqList> FSeqList;
    std::unique_ptr<TRVDocParameters> FDocParameters;
    TRVFOptions FRVFOptions = RVDefaultRVFOptions;
    TRVFWarnings FRVFWarnings = 0;
};

// The items of T's class and its descendants.
template <class T> T& TCustomRVData::CheckItemClass(int Index) const {
    auto* item = dynamic_cast<T*>(GetItem(Index));
    if (!item) throw EZoroZudoError(errRVItemPropType);
    return *item;
}

template <class T> T* TCustomRVData::FindPrevItemOfClass(int ItemNo) const {
    return static_cast<T*>(FindPrevItemOfClass(
        ItemNo, [](const TCustomRVItemInfo& Item) { return dynamic_cast<const T*>(&Item) != nullptr; }));
}
