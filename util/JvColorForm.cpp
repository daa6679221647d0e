// The palette window: its squares, the other-colour button and dialog, and
// how it shows, hides and hands the chosen colour to its button.
#include "util/JvColorForm.h"

#include "util/JclUnitVersioning.h"
#include "util/JvColorButton.h"

LIBRARY_UNIT_VERSION("util/JvColorForm.cpp", "1", "2026-12-11", "JvLib\\run")

const TColor PaletteColors[20] = {
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 0, 0),
    RGB(128, 0, 0),     RGB(255, 255, 0),   RGB(128, 128, 0),   RGB(0, 255, 0),     RGB(0, 128, 0),
    RGB(0, 255, 255),   RGB(0, 128, 128),   RGB(0, 0, 255),     RGB(0, 0, 128),     RGB(255, 0, 255),
    RGB(128, 0, 128),   RGB(192, 220, 192), RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164)};

namespace {
constexpr int PaletteColumns = 4;
constexpr int PaletteRows = 5;
} // namespace

TJvColorForm::TJvColorForm(TComponent* AOwner) : TJvForm(AOwner) {
    FOwner = dynamic_cast<TJvColorButton*>(AOwner);
    SetBorderIcons(0);
    // No caption and no frame lines.
    SetBorderStyle(TFormBorderStyle::bsNone);
    KeyPreview = true;
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnKeyUp = [this](TObject* Sender, uint16_t& Key, TShiftState Shift) { FormKeyUp(Sender, Key, Shift); };
    FColorDialog = new TJvColorDialog(this);
    FColorDialog->OnShow = [this](TObject*) { FDialogShowing = true; };
    FColorDialog->OnClose = [this](TObject*) { FDialogShowing = false; };
    BuildPalette();
    // Clicks into the palette never take the activation from the window
    // that holds the button.
    SetIsFocusable(false);
}

void TJvColorForm::BuildPalette() {
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        TComponent* c = Components(i);
        if (dynamic_cast<TJvColorSquare*>(c) || dynamic_cast<TBevel*>(c)) delete c;
    }
    for (int i = 0; i < PaletteColumns * PaletteRows; ++i) {
        auto* square = new TJvColorSquare(this);
        square->SetParent(this);
        square->SetBounds((i % PaletteColumns) * FCellSize, (i / PaletteColumns) * FCellSize, FCellSize,
                          FCellSize);
        square->SetColor(PaletteColors[i]);
        square->SetBorderStyle(TBorderStyle::bsSingle);
        square->OnClick = [this](TObject* Sender) { DoColorClick(Sender); };
    }
    if (!OtherBtn) {
        OtherBtn = new TButton(this);
        OtherBtn->SetParent(this);
        OtherBtn->SetTabStop(false);
        OtherBtn->OnClick = [this](TObject* Sender) { OtherBtnClick(Sender); };
    }
    const int top = PaletteRows * FCellSize + 6;
    OtherBtn->SetBounds(0, top, 3 * FCellSize, FCellSize);
    FCustomSquare = new TJvColorSquare(this);
    FCustomSquare->SetParent(this);
    FCustomSquare->SetBounds(3 * FCellSize, top, FCellSize, FCellSize);
    FCustomSquare->SetColor(PaletteColors[0]);
    FCustomSquare->SetBorderStyle(TBorderStyle::bsSingle);
    FCustomSquare->OnClick = [this](TObject* Sender) { DoColorClick(Sender); };
    FCustomSquare->OnChange = [this](TObject* Sender) { DoColorChange(Sender); };
    FitToPalette();
    auto* bevel = new TBevel(this);
    bevel->SetParent(this);
    bevel->SetShape(TBevelShape::bsTopLine);
    bevel->SetBounds(2, PaletteRows * FCellSize, ClientWidth() - 4, 4);
    bevel->SetAnchors(akLeft | akRight | akBottom);
}

void TJvColorForm::FitToPalette() {
    SetHeight(OtherBtn->Top() + OtherBtn->Height() + 8);
    SetClientWidth(FCustomSquare->Left() + FCustomSquare->Width());
}

void TJvColorForm::FormActivate(TObject*) {
    if (FOwner) {
        TPoint p = FOwner->ClientToScreen({0, FOwner->Height()});
        SetBounds(p.X, p.Y, Width(), Height());
        FCurrentColor = FOwner->Color();
    }
    FitToPalette();
}

void TJvColorForm::FormDeactivate(TObject*) {
    if (FDialogShowing) return;
    if (Visible()) Hide();
    SetModalResult(mrCancel);
}

void TJvColorForm::WndProc(TMessage& Message) {
    TJvForm::WndProc(Message);
    if (Message.Msg == WM_ACTIVATE && (Message.WParam & LowWordMask) == WA_INACTIVE) FormDeactivate(this);
}

void TJvColorForm::DoColorClick(TObject* Sender) {
    if (auto* square = dynamic_cast<TJvColorSquare*>(Sender)) FCurrentColor = square->Color();
    Hide();
    if (FOwner) FOwner->SetColor(FCurrentColor);
    SetModalResult(mrOk);
}

void TJvColorForm::DoColorChange(TObject*) {
    FCurrentColor = FCustomSquare->Color();
    if (FOwner) FOwner->SetColor(FCurrentColor);
}

void TJvColorForm::OtherBtnClick(TObject*) {
    if (FOwner) FOwner->SetColor(FCurrentColor);
    FColorDialog->Color = FCurrentColor;
    // The palette goes whatever the dialog's answer.
    Hide();
    if (FColorDialog->Execute()) {
        FCustomSquare->SetColor(FColorDialog->Color);
        if (FOwner) {
            FOwner->GetCustomColors()->Assign(FColorDialog->CustomColors());
            FOwner->SetColor(FCurrentColor);
        }
        SetModalResult(mrOk);
    } else {
        SetModalResult(mrCancel);
    }
}

void TJvColorForm::FormKeyUp(TObject*, uint16_t& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE && !(Shift & (ssShift | ssAlt | ssCtrl))) {
        Hide();
        SetModalResult(mrCancel);
    }
}

void TJvColorForm::FormClose(TObject*, TCloseAction& Action) {
    Action = TCloseAction::caHide;
    SetModalResult(mrCancel);
}
