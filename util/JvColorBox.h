// The colour square of the palette and the drop button beneath the colour
// button: a push button face with a drop-down arrow part.
#pragma once

#include "platform/gui/Menus.h"
#include "util/JvExControls.h"

enum class TBorderStyle { bsNone, bsSingle };

// A one-pixel frame inside R, TopLeft on the top and left edges and
// BottomRight on the others; R shrinks by the frame.
void Frame3D(TCanvas* Canvas, TRect& R, TColor TopLeft, TColor BottomRight);

using TJvColorClickEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, TColor Color)>;

// A square of one colour that reports clicks with its colour.
class TJvColorSquare : public TJvExGraphicControl {
public:
    explicit TJvColorSquare(TComponent* AOwner);

    TColor Color() const { return FColor; }
    // Fires OnChange after every change.
    void SetColor(TColor Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Hot() const { return FHot; }
    TNotifyEvent OnChange;
    TJvColorClickEvent OnColorClick;

protected:
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void NotifyMouseEnter(TControl* Control) override;
    void NotifyMouseLeave(TControl* Control) override;

private:
    TColor FColor = clWhite;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    bool FHot = false;
};

// A button face with an arrow part at its right edge.
class TJvCustomDropButton : public TJvExCustomControl {
public:
    explicit TJvCustomDropButton(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    int ArrowWidth() const { return FArrowWidth; }
    virtual void SetArrowWidth(int Value);
    bool Pressed() const { return FPressed; }
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The arrow part, moved by a pixel while pressed.
    TRect ArrowRect() const;
    bool FPressed = false;

private:
    int FArrowWidth = 13;
    TPopupMenu* FDropDownMenu = nullptr;
};
