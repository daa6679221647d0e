// The colour square and the drop button: painting, hot tracking and clicks.
#include "util/JvColorBox.h"

#include "util/JclUnitVersioning.h"
#include "util/JvThemes.h"

LIBRARY_UNIT_VERSION("util/JvColorBox.cpp", "1", "2026-12-11", "JvLib\\run")

namespace {
constexpr int SquareSize = 18;
constexpr int DropButtonWidth = 42;
constexpr int DropButtonHeight = 21;
} // namespace

void Frame3D(TCanvas* Canvas, TRect& R, TColor TopLeft, TColor BottomRight) {
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(TopLeft);
    Canvas->FillRect({R.Left, R.Top, R.Right, R.Top + 1});
    Canvas->FillRect({R.Left, R.Top, R.Left + 1, R.Bottom});
    Canvas->Brush()->SetColor(BottomRight);
    Canvas->FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
    Canvas->FillRect({R.Right - 1, R.Top, R.Right, R.Bottom});
    InflateRect(R, -1, -1);
}

// TJvColorSquare

TJvColorSquare::TJvColorSquare(TComponent* AOwner) : TJvExGraphicControl(AOwner) {
    SetBounds(0, 0, SquareSize, SquareSize);
}

void TJvColorSquare::SetColor(TColor Value) {
    FColor = Value;
    if (OnChange) OnChange(this);
    Invalidate();
}

void TJvColorSquare::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    Invalidate();
}

void TJvColorSquare::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (FBorderStyle == TBorderStyle::bsSingle) {
        Frame3D(c, r, clBtnFace, clBtnFace);
        Frame3D(c, r, clBtnShadow, clBtnHighlight);
        Frame3D(c, r, cl3DDkShadow, clBtnFace);
    }
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(FColor);
    c->FillRect(r);
    if (FHot && Enabled()) {
        TRect hot = ClientRect();
        Frame3D(c, hot, cl3DDkShadow, cl3DDkShadow);
        Frame3D(c, hot, clBtnHighlight, clBtnHighlight);
        Frame3D(c, hot, cl3DDkShadow, cl3DDkShadow);
    }
}

void TJvColorSquare::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TJvExGraphicControl::MouseUp(Button, Shift, X, Y);
    if (OnColorClick) OnColorClick(this, Button, Shift, FColor);
}

void TJvColorSquare::NotifyMouseEnter(TControl* Control) {
    TJvExGraphicControl::NotifyMouseEnter(Control);
    FHot = true;
    Invalidate();
}

void TJvColorSquare::NotifyMouseLeave(TControl* Control) {
    TJvExGraphicControl::NotifyMouseLeave(Control);
    FHot = false;
    Invalidate();
}

// TJvCustomDropButton

TJvCustomDropButton::TJvCustomDropButton(TComponent* AOwner) : TJvExCustomControl(AOwner) {
    SetBounds(0, 0, DropButtonWidth, DropButtonHeight);
    SetControlStyle(ControlStyle() | csSetCaption);
    AddThemeControlStyle(this, csParentBackground);
}

void TJvCustomDropButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (CurrentThemeServices()->ThemesEnabled() && Enabled()) Invalidate();
        break;
    case CM_ENABLEDCHANGED:
    case CM_SYSCOLORCHANGE:
    case WM_SIZE:
        Invalidate();
        break;
    default:
        break;
    }
    TJvExCustomControl::WndProc(Message);
}

void TJvCustomDropButton::SetArrowWidth(int Value) {
    if (Value == FArrowWidth) return;
    FArrowWidth = Value;
    Invalidate();
}

void TJvCustomDropButton::SetDropDownMenu(TPopupMenu* Value) {
    if (Value == FDropDownMenu) return;
    if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = Value;
    if (FDropDownMenu) FDropDownMenu->FreeNotification(this);
}

void TJvCustomDropButton::Notification(TComponent* AComponent, TOperation Operation) {
    TJvExCustomControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TJvCustomDropButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TJvExCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft) FPressed = true;
}

void TJvCustomDropButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TJvExCustomControl::MouseUp(Button, Shift, X, Y);
    FPressed = false;
    Invalidate();
    if (FDropDownMenu) {
        TPoint p = ClientToScreen({0, Height()});
        FDropDownMenu->Popup(p.X, p.Y);
    }
}

TRect TJvCustomDropButton::ArrowRect() const {
    int p = FPressed ? 1 : 0;
    return {Width() - FArrowWidth + p, p, Width() + p, Height() + p};
}

void TJvCustomDropButton::Paint() {
    TCanvas* c = Canvas();
    PaintThemedButtonFace(this, c, ClientRect(), 1, TButtonStyle::bsAutoDetect, false, FPressed, Focused(),
                          MouseInside());
    if (FArrowWidth <= 0) return;
    TRect a = ArrowRect();
    int p = FPressed ? 1 : 0;
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(a.Left, a.Top + 4);
    c->LineTo(a.Left, a.Bottom - 4);
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(a.Left + 1, a.Top + 4);
    c->LineTo(a.Left + 1, a.Bottom - 4);
    c->Pen()->SetColor(Enabled() ? clWindowText : clBtnShadow);
    int left = a.Left + 4, right = a.Right - 4, y = p + Height() / 2 - 1;
    while (left < right) {
        c->MoveTo(left, y);
        c->LineTo(right, y);
        ++left;
        --right;
        ++y;
    }
}
