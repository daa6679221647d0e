// The document data of an editing control: the formatted document with a
// caret, the caret's line of positions, the current text and paragraph
// styles, the undo and redo lists with the recording state, and every
// undoable elementary change. It is the viewer's document data; what only
// an editor keeps is reached through TRVEditorLink, which the editor
// implements (nil: the defaults of a fresh editable editor).
#pragma once

#include <functional>
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
    // Whether a change may start now; the control refuses with a beep.
    virtual bool AllowsChange() {
        if (!IsReadOnly()) return true;
        Beep();
        return false;
    }
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
    // The control's consent to a change (beeps when refused).
    bool EditorCanChange() { return !Editor || Editor->AllowsChange(); }
    // A refusal of the document: the control's beep.
    void BeepRefusal() {
        if (Editor) Editor->Beep();
    }
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

    // ---- inserting items at the caret
    // Puts Item at the caret: splits or replaces the caret's text item and
    // keeps markers, persistent checkpoints and sticking items sound; no
    // format, no caret move. Item is taken (nil afterwards); ItemNo -1 when
    // a list marker was consumed without an insertion.
    bool PlaceItemAtCaret(std::unique_ptr<TCustomRVItemInfo>& Item, AnsiString& Text, int& ListNo,
                          bool& FullReformat, int& NewCount, int& ItemNo, bool NotifyTextEdit,
                          bool InheritTag, AnsiString& SplitText);
    // The whole insertion of one item: placed, formatted, the caret moved.
    bool InsertItemAtCaret(std::unique_ptr<TCustomRVItemInfo> Item, AnsiString& Text, bool NotifyTextEdit,
                           bool CaretBeforeItem, bool InheritTag, AnsiString& SplitText);
    void InsertNewTextItem(const AnsiString& Text, int ItemNo, bool& FullReformat, bool LineBreakBefore,
                           bool ContinuesParagraph, int StyleNo, int ParaNo, const TRVTag& Tag);
    void InsertTextItemLike(const AnsiString& Text, int ItemNo, bool& FullReformat, bool LineBreakBefore,
                            bool ContinuesParagraph, const TCustomRVItemInfo& Source, const TRVTag& Tag);
    void InsertEmptyTextItem(int ItemNo, const TRVTag& Tag, bool LineBreakBefore, bool ContinuesParagraph,
                             int StyleNo, int ParaNo);
    // A copy of the list marker that starts From's paragraph inserted at
    // At; false when that paragraph has no marker.
    bool InsertListMarkerCopy(int From, int At);

    // ---- deleting the selection
    bool CanDeleteSelection();
    bool DeleteSelection();
    // Formats the paragraphs of the drawing items again, or the whole
    // document when the change asks for it and the width changed.
    void ReformatAfterEdit(bool FullReformat, int FirstDrawItem, int LastDrawItem, int ItemCountDelta);
    // Gives the whole paragraph of the caret one paragraph style, recorded.
    void ApplyParaNoToCaretParagraph(int ParaNo);
    // The caret at an item position: off a list marker, its line built,
    // shown; the current styles follow it unless KeepStyles.
    void PlaceCaret(int ItemNo, int ItemOffset, bool KeepStyles, bool CheckResizer = false);

    // ---- typing and Enter
    // One typed character (raw: one byte, two for a Unicode style).
    void TypeText(const AnsiString& Text, char Key);
    bool PressEnter(bool LineBreak, bool SkipListExit);

    // ---- Delete and Backspace (nothing selected)
    void PressBackspace(bool ByWord, bool FromDelete, bool AtDrawItemEnd);
    void PressDelete(bool ByWord, bool Repeated);
    bool IsEmptyTextItem(int ItemNo) const;

    // ---- caret movement; each answers whether the caret stood at the
    // document's edge in the direction of the move
    bool MoveCaretLeft(bool Shift, bool Ctrl);
    bool MoveCaretRight(bool Shift, bool Ctrl);
    bool MoveCaretUp(bool Shift, bool Ctrl);
    bool MoveCaretDown(bool Shift, bool Ctrl);
    bool MoveCaretHome(bool ToDocumentStart);
    bool MoveCaretEnd(bool ToDocumentEnd);
    bool MoveCaretPageUp();
    bool MoveCaretPageDown();
    void MoveCaretParaUp();
    void MoveCaretParaDown();
    // A word starts between characters Index - 1 and Index of a text.
    bool IsWordBoundary(const AnsiString& Text, int Index, TRVItemOptions Options) const;

    // ---- applying styles
    // The control's conversion: the new style for an old one (a text style,
    // or a paragraph style when AppliedToText is false and the call is
    // about paragraphs). Nil: UserData is the new style.
    using TRVStyleConversion = std::function<void(int StyleNo, int ParaNo, int UserData, bool AppliedToText,
                                                  int& NewStyleNo, bool ToWholeParagraphs)>;
    TRVStyleConversion CurStyleConversion;
    int ConvertStyle(int StyleNo, int ParaNo, int UserData, bool AppliedToText, bool ToWholeParagraphs);
    // Text stored for one style, as the kind (ANSI or UTF-16) of another.
    AnsiString TextInStyleKind(const AnsiString& Text, bool Unicode, int OldStyle, int NewStyle,
                               int ParaNo) const;
    void ConvertWholeItem(int ItemNo, int UserData, bool ToWholeParagraphs);
    // Mode: what items with sub-documents repeat inside (0 paragraph style,
    // 1 text style, 2 and 3 the user's conversions, 4 and 5 templates).
    void ApplyTextStyleToSelection(int UserData, uint8_t Mode, bool ToWholeParagraphs);
    void ApplyParaStyleToSelection(int UserData, uint8_t Mode);

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
    // ---- the steps of Backspace and Delete
    void BackspaceCharacters(int ItemNo, int Index, int Count, int RangeFirst, int RangeLast);
    void ReplaceByEmptyItem(int ItemNo, int RangeFirst, int RangeLast);
    void RemoveItem(int ItemNo, int RangeFirst, int RangeLast);
    void BackspaceAtParaStart(int ItemNo, int RangeFirst, int RangeLast);
    void DeleteAtParaEnd(int ItemNo, int RangeFirst, int RangeLast);
    // The tail of a deleted range joins the paragraph before it, unless a
    // full-line item stands between.
    void JoinTail(int ItemNo, bool& FullReformat);
    void RemoveEmptyItemAtParaEnd(int ItemNo, bool Current, int RangeFirst, int RangeLast);
    // The caret to a drawing item and offset, off a list marker.
    void GoToDrawItem(int DrawItemNo, int Offset, bool Forward);
    // Shift with a paragraph selection across a paragraph start moves by
    // paragraphs; true when it did.
    bool ParagraphSelecting(bool Shift, bool Forward);
};

// The flags of an editor's document: the viewer's, editing, with
// hyperlinks not live and no external leading.
inline constexpr uint16_t RVEditorControlFlags =
    uint16_t((RVDefaultControlFlags | rvflEdited) & ~(rvflUseJumps | rvflUseExternalLeading));

// A new text item with Source's properties, options and tag, and no
// checkpoint.
std::unique_ptr<TRVTextItemInfo> CreateTextItemFrom(const TCustomRVItemInfo& Source, TCustomRVData* Data);
