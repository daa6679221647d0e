// The colour button's drop-down palette: twenty colour squares, a button
// for the colour dialog and a square with the colour last chosen there.
#pragma once

#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "util/JvColorBox.h"
#include "util/JvComponent.h"

class TJvColorButton;

class TJvColorDialog : public TColorDialog {
public:
    using TColorDialog::TColorDialog;
};

class TJvColorForm : public TJvForm {
public:
    // The palette of Owner, a colour button.
    explicit TJvColorForm(TComponent* AOwner);

    TButton* OtherBtn = nullptr;
    TJvColorSquare* CustomSquare() const { return FCustomSquare; }
    TJvColorDialog* ColorDialog() const { return FColorDialog; }
    int CellSize() const { return FCellSize; }
    TColor CurrentColor() const { return FCurrentColor; }
    bool DialogShowing() const { return FDialogShowing; }
    TJvColorButton* ColorButton() const { return FOwner; }
    void SetColorButton(TJvColorButton* Value) { FOwner = Value; }

    void BuildPalette();
    virtual void FitToPalette();
    void OtherBtnClick(TObject* Sender);
    void DoColorClick(TObject* Sender);
    void DoColorChange(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormDeactivate(TObject* Sender);
    void FormKeyUp(TObject* Sender, uint16_t& Key, TShiftState Shift);
    // A close request from outside (the window manager) only hides the
    // palette: the button keeps it for the next drop-down.
    void FormClose(TObject* Sender, TCloseAction& Action);
    void WndProc(TMessage& Message) override;

private:
    TJvColorButton* FOwner = nullptr;
    int FCellSize = 22;
    TColor FCurrentColor = clBlack;
    TJvColorSquare* FCustomSquare = nullptr;
    TJvColorDialog* FColorDialog = nullptr;
    bool FDialogShowing = false;
};

// The palette's colours, in order.
extern const TColor PaletteColors[20];
