// The up-down control: two arrow halves painted by the layer, a press that
// steps the position and clicks the half through a reflected scroll message.
#include <algorithm>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ScrollBars.h"
#include "platform/gui/Themes.h"

namespace {
constexpr int DefaultUpDownWidth = 15;
constexpr int DefaultUpDownHeight = 21;

void DrawArrow(TCanvas* Canvas, const TRect& R, bool Up, bool Horizontal) {
    int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
    Canvas->Pen()->SetColor(clBtnText);
    for (int i = 0; i < 3; ++i) {
        int d = Up ? i - 1 : 1 - i;
        if (Horizontal) {
            Canvas->MoveTo(cx + d, cy - i);
            Canvas->LineTo(cx + d, cy + i + 1);
        } else {
            Canvas->MoveTo(cx - i, cy + d);
            Canvas->LineTo(cx + i + 1, cy + d);
        }
    }
}
} // namespace

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, DefaultUpDownWidth, DefaultUpDownHeight);
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
    FOrientation = Value;
    Invalidate();
}

void TCustomUpDown::Paint() {
    TCanvas* c = Canvas();
    bool horizontal = FOrientation == TUDOrientation::udHorizontal;
    TRect first{0, 0, horizontal ? Width() / 2 : Width(), horizontal ? Height() : Height() / 2};
    TRect second{horizontal ? Width() / 2 : 0, horizontal ? 0 : Height() / 2, Width(), Height()};
    for (const TRect& r : {first, second}) {
        TRect face = r;
        DrawButtonFace(c, face, 1, TButtonStyle::bsNew, false, false, false);
    }
    // Vertical: next above; horizontal: previous on the left.
    DrawArrow(c, first, !horizontal, horizontal);
    DrawArrow(c, second, horizontal, horizontal);
}

void TCustomUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !Enabled()) return;
    bool horizontal = FOrientation == TUDOrientation::udHorizontal;
    bool next = horizontal ? X >= Width() / 2 : Y < Height() / 2;
    FLastButton = next ? TUDBtnType::btNext : TUDBtnType::btPrev;
    int pos = std::clamp(FPosition + (next ? 1 : -1), std::min(FMin, FMax), std::max(FMin, FMax));
    FPosition = pos;
    Perform(horizontal ? CN_HSCROLL : CN_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
}

void TCustomUpDown::Dispatch(TMessage& Message) {
    if ((Message.Msg == CN_VSCROLL || Message.Msg == CN_HSCROLL) &&
        (Message.WParam & LowWordMask) == WPARAM(SB_THUMBPOSITION)) {
        Click(FLastButton);
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomUpDown::Click(TUDBtnType Button) {
    if (OnClick) OnClick(this, Button);
}
