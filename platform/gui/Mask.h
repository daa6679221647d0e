// The masked edit beneath the library's spin edit: a one-line edit on a Qt
// line edit. Clipboard and undo commands arrive as message records.
#pragma once

#include "platform/gui/Controls.h"

class TCustomMaskEdit : public TWinControl {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    const AnsiString& EditMask() const { return FEditMask; }
    void SetEditMask(const AnsiString& Value) { FEditMask = Value; }
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    void SelectAll();
    void Clear() { SetText(""); }
    void CutToClipboard() { Perform(WM_CUT, 0, 0); }
    void CopyToClipboard() { Perform(WM_COPY, 0, 0); }
    void PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
    void ClearSelection() { Perform(WM_CLEAR, 0, 0); }
    void Undo() { Perform(WM_UNDO, 0, 0); }

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    // Selection, clipboard and undo need the widget, and make it.
    QWidget* CreateWidget() override;

private:
    void TextEdited();
    bool FReadOnly = false;
    int FMaxLength = 0;
    AnsiString FEditMask;
    bool FSyncing = false;
};

// The platform's beep; the count lets tests see it.
void Beep();
int BeepCount();
