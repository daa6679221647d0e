// The document data of an editing control: the formatted document with a
// caret, the caret's line of positions, the current text and paragraph
// styles, the undo and redo lists with the recording state, and every
// undoable elementary change. It is the viewer's document data; what only
// an editor keeps is reached through TRVEditorLink, which the editor
// implements (nil: the defaults of a fresh editable editor).
#pragma once

#include <memory>
#include <vector>

#include "richtext/editor/edit/RVUndo.h"
#include "richtext/engine/viewdata/ZoroZudoRVData.h"

// ---- the editor's switches that the data reads (TRVEditorOptions)
using TRVEditorOptions = uint16_t;
enum TRVEditorOption : uint16_t {
    rvoClearTagOnStyleApp = 1 << 0,
    rvoCtrlJumps = 1 << 1,
    rvoDoNotWantReturns = 1 << 2,
    rvoDoNotWantShiftReturns = 1 << 3,
    rvoWantTabs = 1 << 4,
    rvoAutoSwitchLang = 1 << 5,
    rvoHideReadOnlyCaret = 1 << 6,
    rvoNoImageResize = 1 << 7,
    rvoNoCaretHighlightJumps = 1 << 8,
};
inline constexpr TRVEditorOptions RVDefaultEditorOptions = rvoCtrlJumps | rvoWantTabs;

// State of the editing data beside the engine's (EditStates).
using TRVEditStates = uint16_t;
enum TRVEditState : uint16_t {
    rvesLayoutApplying = 1 << 0,
    rvesHyperlinkHighlighted = 1 << 1,
    rvesStylesAnnounceAgain = 1 << 2,
    rvesStylesReread = 1 << 3,
    rvesMergingSubDocUndo = 1 << 4,
    rvesStyleAppReformat = 1 << 5,
    rvesControlInsertsText = 1 << 6,
    rvesBackspaceAsksChange = 1 << 7,
};

// What the editing data asks of and tells its control. The control owns
// the flags and events; the data calls these and nothing of the toolkit.
class TRVEditorLink {
public:
    virtual ~TRVEditorLink() = default;
    virtual bool IsReadOnly() const = 0;
    virtual TRVEditorOptions GetEditorOptions() const = 0;
    virtual bool IsFocused() const = 0;
    virtual bool IsDestroying() const = 0;
    virtual int GetCustomCaretInterval() const = 0;
    virtual void SetModified(bool Value) = 0;
    // The control's change notification (sets Modified, clears the redo
    // list when asked, fires OnChange).
    virtual void DoChange(bool ClearRedo) = 0;
    virtual void DoCaretMove() = 0;
    // Store the number in the data and fire the style events.
    virtual void SetCurTextStyleNo(int Value) = 0;
    virtual void SetCurParaStyleNo(int Value) = 0;
    // The system caret of the control's window, in client pixels.
    virtual void ShowSystemCaret(const TRect& Rect) = 0;
    virtual void HideSystemCaret() = 0;
    virtual void Beep() = 0;
    // OnItemTextEdit; false when no handler is assigned.
    virtual bool ItemTextEdit(const AnsiString& OldText, TCustomRVData* RVData, int ItemNo, TRVTag& NewTag,
                              int& NewStyleNo) = 0;
};

// One caret position of the caret's line.
class TRVCharPos : public TObject {
public:
    int32_t Left = 0;
    int32_t DrawItem = -1;
    int32_t DrawItemOffset = -1;
    // The caret line is drawn at Left + CaretShift - 1.
    int32_t CaretShift = 0;
    // Copies a TRVCharPos's place, never its shift; ignores other sources.
    void Assign(const TObject* Source);
};

class TRVCharPosCollection {
public:
    int Count() const { return int(FItems.size()); }
    TRVCharPos& GetItem(int Index) { return *FItems.at(size_t(Index)); }
    const TRVCharPos& GetItem(int Index) const { return *FItems.at(size_t(Index)); }
    TRVCharPos& Add() { return *FItems.emplace_back(std::make_unique<TRVCharPos>()); }
    void Delete(int Index) { FItems.erase(FItems.begin() + Index); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TRVCharPos>> FItems;
};

class TRVEditRVData : public TZoroZudoRVData {
public:
    TRVEditRVData(IRVControlHost& Host, TRVEditorLink* Editor);
    ~TRVEditRVData() override;

    TRVEditorLink* Editor;
    int32_t LastSwitchableTextStyle = 0;
    TRVTag CaretTag;
    bool FirstLoadedItemPlaced = false;
    bool CustomCaretShown = false;
    TRect CaretRect;
    TPoint CustomCaretBackPos;
    std::unique_ptr<TBitmap> CustomCaretBack;
    int32_t CurrentTextStyle = 0;
    int32_t CurrentParaStyle = 0;
    std::unique_ptr<TRVUndoList> UndoList;
    std::unique_ptr<TRVRedoList> RedoList;
    // 0 nowhere, 1 the undo list, 2 the redo list.
    uint8_t UndoRecording = 0;
    int32_t CaretDrawItem = -1;
    int32_t CaretPosIndex = -1;
    TRVCharPosCollection CharPositions;
    int32_t CaretHeight = 0;
    TRVEditStates EditStates = 0;

    // ---- life cycle
    void ResetFormatting() override;
    void Clear() override;
    void FormatDocument(bool Preserve, bool Force, bool NoScroll, int Depth, TCanvas* Canvas, bool OnlyTail,
                        bool ItemFlagB, bool ItemFlagA) override;
    // Formats the whole document as the control does.
    void Format() { FormatDocument(false, true, false, 0, nullptr, false, true, false); }
    // An empty document gets one empty text item in the current styles.
    void PrepareEmptyDocument();
    int ActivateJumps(bool Force);
    void DeactivateJumps();
    void AfterFormatting() override;
    void MarkUsedStyles(TRVStyleUsageInfo& Usage) override;
    void AfterStylesDeleted(TRVStyleUsageInfo& Usage) override;
    bool IsReadOnly() const { return Editor && Editor->IsReadOnly(); }
    TRVEditorOptions GetEditorOptions() const {
        return Editor ? Editor->GetEditorOptions() : RVDefaultEditorOptions;
    }

    // ---- the caret's line and its display
    void BuildCaretLine(int Target);
    void UpdateCaret(bool ScrollToCaret, bool KeepStyles, bool CheckResizer);
    // Puts the caret at an item position, without a selection.
    void SetCaretAt(int ItemNo, int ItemOffset);

    // ---- caret and selection queries
    int GetCaretItemNo();
    int GetCaretItemOffset();
    const TRVCharPos* CurrentCharPos() const;
    bool SelectionExists() const { return SelStartDrawItem >= 0 && SelEndDrawItem >= 0; }
    // Drops the selection; with RaiseEvent the caret moves.
    void Deselect(bool RaiseEvent);
    // The engine's selection changed (the mouse): the caret follows it.
    void DoSelect() override;
    void GetSelectionBounds(int& StartNo, int& StartOffs, int& EndNo, int& EndOffs, bool Normalize);
    void GetSelectionDrawBounds(int& StartDrawItem, int& StartOffs, int& EndDrawItem, int& EndOffs,
                                bool Normalize);
    void GetSelectionStartDrawItem(int& DrawItem, int& Offs) const;
    void SetSelectionBounds(int StartNo, int StartOffs, int EndNo, int EndOffs);
    void SelectionChanged(bool ShowCaret);
    void CollapseSelectionToCaret();
    void ExtendSelectionToCaret();
    bool IsCaretAtParaStart(bool ParaOnly);
    bool IsCaretAtParaEnd(bool ParaOnly);
    bool IsCaretOnLastLine() const;
    bool IsCaretAtLineStart() const { return CaretPosIndex == 0; }
    bool IsCaretAtLineEnd() const { return CaretPosIndex == CharPositions.Count() - 1; }
    void SkipMarkerAtBound(int& ItemNo, int& Offset, bool Forward) const;
    int SkipMarkerAtCaret(bool Forward);
    int GetSingleSelectedItem();
    void SetPartialSelectedItem(TCustomRVItemInfo* Item);
    void GetSearchStart(bool Forward, bool FromEdge, int& ItemNo, int& Offset);

    // ---- the custom caret (the control paints through OnDrawCustomCaret)
    bool HasNoDrawItems() const { return DrawItems.Count() == 0; }
    TPoint GetImeCaretPos() const;

    // ---- recording
    TRVUndoList* GetActiveUndoList() const;
    void BeginUndoGroup(uint8_t UndoType, bool MergeSubDocuments = false);
    void BeginUndoCustomGroup(uint8_t UndoType, const AnsiString& Caption, bool MergeSubDocuments = false);
    void BeginRedoGroup(uint8_t UndoType, const AnsiString& Caption);
    void SetUndoGroupMode(bool Enter) { UndoList->SetGroupMode(Enter); }
    void MergeSubDocumentUndo();
    void RecordModifyItemTerminator(int ItemNo, bool Opening);
    void RecordReformatRange(int ItemNo, int LastAffectedItemNo, bool SuperReformat);
    int GetParaEndItem(int ItemNo) const;
    bool SetParaNoRange(int First, int Last, bool& FullReformat, int ParaNo);
    // Undo and redo of the last group, with the least re-formatting.
    bool CanUndo() const { return UndoList->Count() > 0; }
    bool CanRedo() const { return RedoList->Count() > 0; }
    void Undo();
    void Redo();

    // ---- the undoable primitives; each records its reversal first
    void UndoableDeleteItem(int ItemNo, bool& FullReformat);
    void UndoableDeleteItems(int First, int Last, bool& FullReformat);
    void UndoableDeleteSubstring(int ItemNo, int Index, int Count);
    void UndoableInsertSubstring(int ItemNo, int Index, const AnsiString& Text);
    void UndoableChangeText(int ItemNo, const AnsiString& NewText);
    void UndoableInsertItem(int ItemNo, AnsiString& Text, bool& FullReformat, bool FromUndoList,
                            std::unique_ptr<TCustomRVItemInfo> Item);
    // List is in reverse document order; its items are taken.
    void UndoableInsertItems(int ItemNo, std::vector<TRVUndoStringItemListInfo::TEntry>& List,
                             bool& FullReformat, bool FromUndoList);
    void UndoableSetParaNoRange(int First, int Last, bool& FullReformat, int ParaNo);
    bool UndoableSetParaNoList(int First, const std::vector<int32_t>& List, bool& FullReformat);
    void UndoableSetStyleNo(int ItemNo, int StyleNo);
    void UndoableSetAssociatedTextStyleNo(int ItemNo, int StyleNo);
    void UndoableSetContinuesParagraph(int ItemNo, bool Value, bool& FullReformat, int ParaNo);
    void UndoableSetLineBreakBefore(int ItemNo, bool Value, bool& FullReformat);
    void UndoableSetPageBreakBefore(int ItemNo, bool Value);
    void UndoableSetTag(int ItemNo, const TRVTag& Tag);
    void UndoableSetExtraIntProperty(int ItemNo, int Prop, int Value);
    void UndoableSetExtraStrProperty(int ItemNo, int Prop, const AnsiString& Value);
    void UndoableAddCheckpoint(int ItemNo, std::unique_ptr<TRVCPInfo> Checkpoint);
    void UndoableDeleteCheckpoint(int ItemNo);
    void UndoableMoveCheckpoint(int FromItemNo, int ToItemNo);
    void UndoableJoinItems(int ItemNo);
    // Plain constructors of text items, recording nothing.
    std::unique_ptr<TRVTextItemInfo> CreateTextItem(const TRVTag& Tag, int ParaNo, bool LineBreakBefore,
                                                    bool ContinuesParagraph, int StyleNo);
    std::unique_ptr<TRVTextItemInfo> CreateTextItemLike(const TRVTag& Tag, const TCustomRVItemInfo& Source,
                                                        bool LineBreakBefore, bool ContinuesParagraph);

    // ---- hooks of saving, styles and item texts
    void Changed() { ChangedEx(true); }
    void ChangedEx(bool ClearRedo);
    void SetCurTextStyle(int StyleNo);
    void SetCurParaStyle(int ParaNo);
    int GetResolvedCurTextStyle() const { return ResolveStyleNo(CurrentTextStyle, CurrentParaStyle); }
    void ClearCaretTag() { CaretTag = 0; }
    void RememberCaretTag();
    bool DoItemTextEdit(const AnsiString& OldText, int ItemNo);
    bool DoItemTextEditGrouped(const AnsiString& OldText, int ItemNo, uint8_t UndoType);
    bool HasPersistentCheckpoint(int ItemNo) const;
    bool ParaHasPersistentCheckpoint(int ItemNo) const;
    bool MovePersistentCheckpoint(int ItemNo, bool Backward);
    bool SaveRtf(TStream& Stream, const AnsiString& Path, bool SelectionOnly, int Level, TColor Color,
                 TRVRTFTables* Tables, bool CompleteDocument) override;

private:
    // A record goes into the active list; nothing without one.
    void Record(std::unique_ptr<TRVUndoInfo> Info);
    // Inserts an item as the primitives do: hooks, lists, from the undo list.
    void InsertItemAt(int ItemNo, AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item,
                      bool FromUndoList);
    // Takes an item out of the list for a record (nil record: frees it).
    std::unique_ptr<TCustomRVItemInfo> TakeItem(int ItemNo, TRVUndoInfo* Record);
    void FinishInsertItems(int ItemNo, int Count, bool& FullReformat, TRVUndoInsertItemsInfo* Record);
    void SetItemText(int ItemNo, AnsiString Text);
    void AddCaretLinePositions(int DrawItemNo, int FirstOfLine, int Target);
    void MoveCaretOffMarker();
};

// The flags of an editor's document: the viewer's, editing, with
// hyperlinks not live and no external leading.
inline constexpr uint16_t RVEditorControlFlags =
    uint16_t((RVDefaultControlFlags | rvflEdited) & ~(rvflUseJumps | rvflUseExternalLeading));

// A new text item with Source's properties, options and tag, and no
// checkpoint.
std::unique_ptr<TRVTextItemInfo> CreateTextItemFrom(const TCustomRVItemInfo& Source, TCustomRVData* Data);
