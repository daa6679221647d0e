// The colour button: opening and closing its palette, the colour dialog
// without a palette, keys, and the swatch.
#include "util/JvColorButton.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvColorButton.cpp", "1", "2026-12-11", "JvLib\\run")

TJvColorButton::TJvColorButton(TComponent* AOwner) : TJvCustomDropButton(AOwner) {
    SetTabStop(false);
    FColorsForm = new TJvColorForm(this);
}

TJvColorButton::~TJvColorButton() {
    // The palette is owned, and freed with the button; it must not call back.
    if (FColorsForm) FColorsForm->SetColorButton(nullptr);
}

void TJvColorButton::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    if (OnChange) OnChange(this);
    Invalidate();
    if (HandleAllocated()) Update();
}

void TJvColorButton::SetOtherCaption(const AnsiString& Value) {
    FOtherCaption = Value;
    Invalidate();
}

void TJvColorButton::SetEdgeWidth(int Value) {
    if (Value == FEdgeWidth) return;
    FEdgeWidth = Value;
    Invalidate();
}

bool TJvColorButton::IsPaletteControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == FColorsForm) return true;
    return false;
}

void TJvColorButton::HidePalette() {
    if (FColorsForm && FColorsForm->Visible()) FColorsForm->Hide();
}

void TJvColorButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused()) SetFocus();
    TJvCustomDropButton::MouseDown(Button, Shift, X, Y);
    if (ButtonShowsPalette || X > Width() - ArrowWidth()) {
        bool canShow = true;
        if (OnPaletteShowing) OnPaletteShowing(this, canShow);
        if (canShow) {
            OpenPicker(Button, Shift, X, Y);
            FIsDown = true;
        }
    }
    Invalidate();
}

void TJvColorButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FIsDown = false;
    TJvCustomDropButton::MouseUp(Button, Shift, X, Y);
}

void TJvColorButton::OpenPicker(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != TMouseButton::mbLeft || !Enabled() || !FColorsForm) return;
    TJvColorDialog* dialog = FColorsForm->ColorDialog();
    dialog->Options = FOptions;
    FColorsForm->OtherBtn->SetCaption(FOtherCaption);
    dialog->Color = FColor;
    dialog->CustomColors()->Assign(FCustomColors.get());
    if (ArrowWidth() != 0) {
        if (FColorsForm->Visible())
            FColorsForm->Hide();
        else
            FColorsForm->ShowWithoutActivation(true);
        return;
    }
    if (dialog->Execute()) {
        // Through the setter, so that OnChange tells of the new colour.
        SetColor(dialog->Color);
        FCustomColors->Assign(dialog->CustomColors());
    }
    MouseUp(TMouseButton::mbLeft, Shift, X, Y);
}

void TJvColorButton::KeyDown(uint16_t& Key, TShiftState Shift) {
    TJvCustomDropButton::KeyDown(Key, Shift);
    if ((Key == VK_RETURN || Key == VK_SPACE) && !(Shift & (ssAlt | ssCtrl))) {
        MouseDown(TMouseButton::mbLeft, Shift | ssLeft, 0, 0);
    } else if (Key == VK_ESCAPE && !(Shift & (ssShift | ssAlt | ssCtrl))) {
        HidePalette();
        Key = 0;
    }
}

void TJvColorButton::AdjustDialogCodes(TDialogCodeFlags& Codes) {
    TJvCustomDropButton::AdjustDialogCodes(Codes);
    if (FColorsForm && FColorsForm->Visible()) Codes = (Codes | dcfWantAllKeys) & ~dcfNative;
}

void TJvColorButton::KeyUp(uint16_t& Key, TShiftState Shift) {
    TJvCustomDropButton::KeyUp(Key, Shift);
    if ((Key == VK_RETURN || Key == VK_SPACE) && !(Shift & (ssAlt | ssCtrl)))
        MouseUp(TMouseButton::mbLeft, Shift, 0, 0);
}

void TJvColorButton::NotifyFocusKilled(void* NextWnd) {
    TJvCustomDropButton::NotifyFocusKilled(NextWnd);
    auto* next = static_cast<TControl*>(NextWnd);
    if (next != this && !IsPaletteControl(next)) PostMessage(this, CM_PALETTECLOSEUP, 0, 0);
}

void TJvColorButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_PALETTECLOSEUP:
        HidePalette();
        return;
    case WM_CANCELMODE:
        // A modal window or message box comes: the palette goes at once.
        HidePalette();
        break;
    default:
        break;
    }
    TJvCustomDropButton::WndProc(Message);
}

void TJvColorButton::Paint() {
    TJvCustomDropButton::Paint();
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    r.Right -= ArrowWidth();
    InflateRect(r, -FEdgeWidth, -FEdgeWidth);
    if (FIsDown) OffsetRect(r, 1, 1);
    if (Enabled())
        Frame3D(c, r, cl3DDkShadow, cl3DDkShadow);
    else
        Frame3D(c, r, clBtnShadow, clBtnHighlight);
    c->Brush()->SetColor(FColor);
    c->Brush()->SetStyle(Enabled() ? TBrushStyle::bsSolid : TBrushStyle::bsBDiagonal);
    c->FillRect(r);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
}
