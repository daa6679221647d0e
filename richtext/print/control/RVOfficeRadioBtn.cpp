// The picture radio button: its look, its drawing, and what the mouse, the
// keys and the focus do to it.
#include "richtext/print/control/RVOfficeRadioBtn.h"

#include <algorithm>
#include <utility>

#include "platform/gui/Themes.h"

namespace {
constexpr int DefaultSize = 100;
// The selection frame lies this far inside the box, unless it is large.
constexpr int SelectionInset = 4;
constexpr int FocusInset = 3;
constexpr int CaptionGap = 2;
} // namespace

TRVOfficeRadioButton::TRVOfficeRadioButton(TComponent* AOwner) : TRadioButton(AOwner) {
    FOwnerDraw = true;
    // A double click is a command of the button, not the base's event.
    // Themed, the button lies on its parent's background.
    SetControlStyle((ControlStyle() & ~csDoubleClicks) | csParentBackground);
    SetBounds(0, 0, DefaultSize, DefaultSize);
}

bool TRVOfficeRadioButton::Themed() const {
    return FUseXPThemes && ThemeServices()->ThemesEnabled();
}

void TRVOfficeRadioButton::Changed() {
    Invalidate();
}

void TRVOfficeRadioButton::SetFillColor(TColor Value) {
    if (Value == FFillColor) return;
    FFillColor = Value;
    Changed();
}

void TRVOfficeRadioButton::SetSelColor(TColor Value) {
    if (Value == FSelColor) return;
    FSelColor = Value;
    if (Checked()) Changed();
}

void TRVOfficeRadioButton::SetSelWidth(int Value) {
    if (Value == FSelWidth) return;
    FSelWidth = Value;
    if (Checked()) Changed();
}

void TRVOfficeRadioButton::SetTextAreaHeight(int Value) {
    if (Value == FTextAreaHeight) return;
    FTextAreaHeight = Value;
    Changed();
}

void TRVOfficeRadioButton::SetDisabled3D(bool Value) {
    if (Value == FDisabled3D) return;
    FDisabled3D = Value;
    if (!Enabled()) Changed();
}

void TRVOfficeRadioButton::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    Changed();
}

void TRVOfficeRadioButton::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed();
}

void TRVOfficeRadioButton::SetSquare(bool Value) {
    if (Value == FSquare) return;
    FSquare = Value;
    Changed();
}

void TRVOfficeRadioButton::SetLargeSelection(bool Value) {
    if (Value == FLargeSelection) return;
    FLargeSelection = Value;
    Changed();
}

void TRVOfficeRadioButton::SetTextPosition(TORBTextPosition Value) {
    if (Value == FTextPosition) return;
    FTextPosition = Value;
    Changed();
}

void TRVOfficeRadioButton::SetUseXPThemes(bool Value) {
    if (Value == FUseXPThemes) return;
    FUseXPThemes = Value;
    Changed();
}

void TRVOfficeRadioButton::Notification(TComponent* AComponent, TOperation Operation) {
    TRadioButton::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) {
        FImages = nullptr;
        Changed();
    }
}

void TRVOfficeRadioButton::CommandClicked() {
    SetChecked(true);
}

void TRVOfficeRadioButton::CommandDoubleClicked() {
    DblClick();
}

void TRVOfficeRadioButton::CommandSetFocus() {
    // Moving the focus onto a button chooses it.
    SetChecked(true);
}

void TRVOfficeRadioButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // The drawing covers the whole button.
        Message.Result = 1;
        return;
    case WM_PAINT:
        if (auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam)) {
            canvas->SetFont(Font());
            DrawButton(canvas, ClientRect(), Focused());
        }
        return;
    case WM_LBUTTONDOWN:
        FPressed = true;
        TRadioButton::Dispatch(Message);
        return;
    case WM_LBUTTONUP: {
        bool pressed = std::exchange(FPressed, false);
        TRadioButton::Dispatch(Message);
        if (pressed && PtInRect(ClientRect(), {LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)}))
            CommandClicked();
        return;
    }
    case WM_LBUTTONDBLCLK:
        TRadioButton::Dispatch(Message);
        CommandDoubleClicked();
        return;
    case WM_SETFOCUS:
        TRadioButton::Dispatch(Message);
        Invalidate();
        CommandSetFocus();
        return;
    case WM_KILLFOCUS:
        TRadioButton::Dispatch(Message);
        Invalidate();
        return;
    case WM_KEYUP:
        TRadioButton::Dispatch(Message);
        if (Message.WParam == VK_SPACE) CommandClicked();
        return;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        TRadioButton::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TRadioButton::Dispatch(Message);
}

TRect TRVOfficeRadioButton::PictureBox(const TRect& R) const {
    TRect box = R;
    if (FTextPosition == orbtpBottom)
        box.Bottom = R.Bottom - FTextAreaHeight;
    else
        box.Top = R.Top + FTextAreaHeight;
    if (FSquare) {
        int w = box.Width(), h = box.Height();
        if (w > h) {
            box.Left += (w - h) / 2;
            box.Right = box.Left + h;
        } else {
            box.Top += (h - w) / 2;
            box.Bottom = box.Top + w;
        }
    }
    return box;
}

void TRVOfficeRadioButton::DrawButton(TCanvas* Canvas, const TRect& R, bool Focused) {
    const bool themed = Themed(), enabled = Enabled();
    // The forms of this program all have the screen's resolution, so the
    // strip keeps its height.
    const int tah = FTextAreaHeight;
    // Themed, the parent's background shows around the box.
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    if (!themed) {
        Canvas->Brush()->SetColor(Color());
        Canvas->FillRect(R);
    }

    TRect box = PictureBox(R);
    Canvas->Brush()->SetColor(enabled ? FFillColor : clBtnFace);
    Canvas->FillRect(box);
    if (themed)
        ThemeServices()->DrawElement(Canvas,
                                     !enabled  ? TThemedEdit::teEditTextDisabled
                                     : Focused ? TThemedEdit::teEditTextFocused
                                               : TThemedEdit::teEditTextNormal,
                                     box);
    bool doDefault = true;
    if (OnCustomDraw) {
        TRect inner = box;
        InflateRect(inner, -(SelectionInset + FSelWidth), -(SelectionInset + FSelWidth));
        OnCustomDraw(this, Canvas, inner, doDefault);
    }
    if (doDefault && FImages && FImageIndex >= 0 && FImageIndex < FImages->Count())
        FImages->Draw(Canvas, (box.Left + box.Right - FImages->Width()) / 2,
                      (box.Top + box.Bottom - FImages->Height()) / 2, FImageIndex, enabled);

    box = PictureBox(R);
    if (!themed) Canvas->DrawEdge(box, EDGE_SUNKEN, BF_RECT);
    if (!FLargeSelection) {
        if (Focused) {
            InflateRect(box, -FocusInset, -FocusInset);
            Canvas->Brush()->SetColor(FFillColor);
            Canvas->Font()->SetColor(clBlack);
            Canvas->DrawFocusRect(box);
            InflateRect(box, -1, -1);
        } else {
            InflateRect(box, -SelectionInset, -SelectionInset);
        }
    }
    if (Checked()) {
        // A frame drawn inside the box, SelWidth pixels wide.
        Canvas->Brush()->SetColor(FSelColor);
        TRect frame = box;
        for (int i = 0; i < FSelWidth && !frame.IsEmpty(); ++i) {
            Canvas->FrameRect(frame);
            InflateRect(frame, -1, -1);
        }
    }

    if (FTextAreaHeight <= 0) return;
    TRect text = R;
    if (FTextPosition == orbtpBottom) {
        text.Top = R.Bottom - tah + CaptionGap;
    } else {
        int bottom = tah - CaptionGap;
        TRect measure{0, 0, R.Right, bottom};
        Canvas->DrawText(Caption(), measure, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
        text = {0, bottom - measure.Height(), R.Right, bottom};
    }
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    Canvas->SetFont(Font());
    const unsigned format = DT_CENTER | DT_WORDBREAK;
    if (!enabled && FDisabled3D && !themed) {
        TRect raised = text;
        OffsetRect(raised, 1, 1);
        Canvas->Font()->SetColor(clBtnHighlight);
        Canvas->DrawText(Caption(), raised, format);
        Canvas->Font()->SetColor(clBtnShadow);
        Canvas->DrawText(Caption(), text, format);
    } else {
        if (!enabled) Canvas->Font()->SetColor(clBtnShadow);
        Canvas->DrawText(Caption(), text, format);
    }
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
}
