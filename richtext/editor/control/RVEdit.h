// The rich-text editor control: a viewer whose document data is the
// editing data, with a read-only mode in which hyperlinks are live and
// every change is refused, the change and caret notifications, the current
// styles, the undo limit, and the caret drawn over the document while the
// control has the focus.
#pragma once

#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/view/ZoroZudo.h"

using TRVDragDropFormats = uint8_t;
enum TRVDragDropFormat : uint8_t {
    rvddRVF = 1 << 0,
    rvddRTF = 1 << 1,
    rvddText = 1 << 2,
    rvddUnicodeText = 1 << 3,
    rvddBitmap = 1 << 4,
    rvddMetafile = 1 << 5,
    rvddURL = 1 << 6,
    rvddFiles = 1 << 7,
};
// Every format but URLs (stored value 191).
inline constexpr TRVDragDropFormats RVDefaultDragDropFormats = 0xBF;

using TRVChangingEvent = std::function<void(TObject* Sender, bool& CanEdit)>;
using TRVItemTextEditEvent =
    std::function<void(TObject* Sender, const AnsiString& OldText, TCustomRVData* RVData, int ItemNo,
                       TRVTag& NewTag, int& NewStyleNo)>;

class TCustomZoroZudoEdit : public TCustomZoroZudo, private TRVEditorLink {
public:
    explicit TCustomZoroZudoEdit(TComponent* AOwner);
    ~TCustomZoroZudoEdit() override;

    TRVEditRVData* EditData() const { return static_cast<TRVEditRVData*>(RVData()); }

    // ---- properties
    bool Modified = false;
    TRVEditorOptions EditorOptions = RVDefaultEditorOptions;
    TRVDragDropFormats AcceptDragDropFormats = RVDefaultDragDropFormats;
    int CustomCaretInterval = 0;
    virtual bool GetReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool Value);
    // Stores the flag alone (table undo).
    void SetReadOnlyFlag(bool Value) { FReadOnly = Value; }
    int GetUndoLimit() const { return EditData()->UndoList->Limit; }
    void SetUndoLimit(int Value) { EditData()->UndoList->SetLimit(Value); }
    // Any value but rvtnNone raises "Not supported in editor".
    void SetTabNavigation(TRVTabNavigationType Value);
    int CurTextStyleNo() const { return EditData()->CurrentTextStyle; }
    int CurParaStyleNo() const { return EditData()->CurrentParaStyle; }
    void SetCurTextStyleNo(int Value) override;
    void SetCurParaStyleNo(int Value) override;
    // Times the control beeped through the style sheet or the system.
    int BeepCount = 0;

    // ---- events
    TNotifyEvent OnChange;
    TRVChangingEvent OnChanging;
    TNotifyEvent OnCaretMove;
    TNotifyEvent OnCurTextStyleChanged;
    TNotifyEvent OnCurParaStyleChanged;
    TRVItemTextEditEvent OnItemTextEdit;

    // ---- changes
    // Whether a change may start now; refuses with a beep.
    virtual bool CanChange(bool AllowCapture = false);
    bool DoChanging();
    void DoChange(bool ClearRedo) override;
    void Change() { DoChange(true); }
    void DoCaretMove() override;
    virtual void SelectionChanging() {}
    bool CanUndo() const { return EditData()->CanUndo(); }
    bool CanRedo() const { return EditData()->CanRedo(); }
    virtual void Undo();
    virtual void Redo();
    TCustomZoroZudoEdit* GetRootEditor() { return this; }
    TCustomZoroZudoEdit* GetActiveEditor() { return this; }
    // The caret rectangle shown now (client pixels); empty when hidden.
    TRect ShownCaret() const { return FCaretShown ? FCaret : TRect(); }

    // Deletes the selection when there is one and changes are allowed.
    bool DeleteSelection();

protected:
    std::unique_ptr<TZoroZudoRVData> CreateData() override;
    // Editing keys, caret keys, undo and redo shortcuts.
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    // Typed characters; WM_UNICHAR brings those outside the code page.
    void KeyPress(char& Key) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoVScrolled() override;
    void DoHScrolled() override;
    // Updates the caret from a handler of the toolkit: an invalid caret is
    // reset and reported to the top-level handler once.
    void SafeUpdateCaret(bool ScrollToCaret);

private:
    // ---- what the editing data asks
    bool IsReadOnly() const override { return GetReadOnly(); }
    TRVEditorOptions GetEditorOptions() const override { return EditorOptions; }
    bool IsFocused() const override { return Focused(); }
    bool IsDestroying() const override { return Destroying(); }
    int GetCustomCaretInterval() const override { return CustomCaretInterval; }
    void SetModified(bool Value) override { Modified = Value; }
    void ShowSystemCaret(const TRect& Rect) override;
    void HideSystemCaret() override;
    void Beep() override;
    bool ItemTextEdit(const AnsiString& OldText, TCustomRVData* RVData, int ItemNo, TRVTag& NewTag,
                      int& NewStyleNo) override;
    bool AllowsChange() override { return CanChange(false); }
    // A caret key: the selection dropped or (Shift) extended to the caret.
    void MoveCaretByKey(uint16_t Key, TShiftState Shift);
    void TypeRaw(const AnsiString& Raw, char Key);

    bool FReadOnly = false;
    bool FCaretShown = false;
    bool FCaretErrorReported = false;
    TRect FCaret;
};

// The editor with its properties published; nothing more.
class TZoroZudoEdit : public TCustomZoroZudoEdit {
public:
    using TCustomZoroZudoEdit::TCustomZoroZudoEdit;
};
