// The spin edit's value rule, text, keys, wheel and button, and the button
// that reports steps instead of keeping a position.
#include "richtext/print/control/RVSpinEdit.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/Mask.h"
#include "platform/gui/ScrollBars.h"

namespace {
constexpr double Epsilon = 1e-20;
constexpr int ButtonWidth = 15;
constexpr int ButtonHeight = 17;
constexpr int ButtonRange = 10;
constexpr int PageSteps = 10;
// The border the box's frame takes, and the room kept beside the button.
constexpr int Border = 1;
constexpr int ButtonGap = 2;
// Rounding beyond these overflows a 64-bit integer.
constexpr double Int64Limit = 9.2e18;

bool IsBlank(const AnsiString& Text) {
    return std::all_of(Text.begin(), Text.end(), [](char C) { return C == ' '; });
}

int TextHeightOf(TFont* Font) {
    TBitmap measure(1, 1);
    measure.Canvas()->SetFont(Font);
    return measure.Canvas()->TextMetrics().tmHeight;
}
} // namespace

// TRVUpDown

TRVUpDown::TRVUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {
    SetMin(-ButtonRange);
    SetMax(ButtonRange);
    SetPosition(0);
    SetBounds(0, 0, ButtonWidth, ButtonHeight);
}

void TRVUpDown::Dispatch(TMessage& Message) {
    if ((Message.Msg == CN_VSCROLL || Message.Msg == CN_HSCROLL) &&
        (Message.WParam & LowWordMask) == WPARAM(SB_THUMBPOSITION)) {
        // The step is the change from 0, where the position always rests.
        int delta = HiWordSigned(LPARAM(Message.WParam));
        SetPosition(0);
        if (delta != 0 && OnDelta) OnDelta(this, delta);
        return;
    }
    TCustomUpDown::Dispatch(Message);
}

void TRVUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (TWinControl* edit = Parent(); edit && edit->CanFocus() && !edit->Focused()) edit->SetFocus();
    TCustomUpDown::MouseDown(Button, Shift, X, Y);
}

// TRVSpinEdit

TRVSpinEdit::TRVSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetControlStyle(ControlStyle() & ~csSetCaption);
    SetText("0");
    FButton = new TRVUpDown(this);
    FButton->SetParent(this);
    FButton->OnDelta = [this](TObject*, int Delta) { UpDownDelta(Delta); };
    SetHeight(std::max(Height(), MinHeight()));
    LayoutButton();
}

double TRVSpinEdit::CheckValue(double X) const {
    double v = X;
    if (FIntegerValue) {
        if (std::isnan(X) || std::fabs(X) >= Int64Limit) return CheckValue(0);
        v = double(Round(X));
    }
    if (std::fabs(FMaxValue - FMinValue) >= Epsilon) {
        // The bounds are tested against the value given, not the rounded one.
        if (FMinValue - X > Epsilon)
            v = FMinValue;
        else if (X - FMaxValue > Epsilon)
            v = FMaxValue;
    }
    return v;
}

double TRVSpinEdit::Value() const {
    double v = 0;
    if (Text().empty() || !TryStrToFloat(Text(), v)) return CheckValue(0);
    return v;
}

void TRVSpinEdit::SetValue(double Value) {
    double v = CheckValue(Value);
    SetText(FIntegerValue || FDigits == 0 ? FloatToStr(v)
                                          : FloatToStrF(v, TFloatFormat::ffFixed, 18, FDigits));
}

int64_t TRVSpinEdit::AsInteger() const {
    double v = Value();
    if (std::isnan(v) || std::fabs(v) >= Int64Limit) return 0;
    return Round(v);
}

bool TRVSpinEdit::Indeterminate() const {
    return IsBlank(Text());
}

void TRVSpinEdit::SetIndeterminate(bool Value) {
    if (Value)
        SetText("");
    else if (Text().empty())
        SetValue(CheckValue(0));
}

void TRVSpinEdit::Step(double By) {
    SetValue(Value() + By);
}

void TRVSpinEdit::UpDownDelta(int Delta) {
    if (ReadOnly()) {
        Beep();
        return;
    }
    Step(Delta * FIncrement);
}

bool TRVSpinEdit::IsValidChar(char Key) const {
    bool control = (unsigned char)Key < ' ' && Key != '\r';
    if (!FEditorEnabled) return control && Key != '\b';
    return control || (Key >= '0' && Key <= '9') || Key == '+' || Key == '-' ||
           (!FIntegerValue && Key == FormatSettings.DecimalSeparator);
}

void TRVSpinEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (!Enabled()) return;
    double by = 0;
    switch (Key) {
    case VK_PRIOR:
        by = PageSteps * FIncrement;
        break;
    case VK_NEXT:
        by = -PageSteps * FIncrement;
        break;
    case VK_UP:
        by = FIncrement;
        break;
    case VK_DOWN:
        by = -FIncrement;
        break;
    default:
        break;
    }
    bool spinKey = by != 0 || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
    if (spinKey) {
        if (ReadOnly())
            Beep();
        else
            Step(by);
    }
    // Pasting and cutting with the keyboard go the way the messages go.
    bool paste = (Shift == ssCtrl && Key == 'V') || (Shift == ssShift && Key == VK_INSERT);
    bool cut = (Shift == ssCtrl && Key == 'X') || (Shift == ssShift && Key == VK_DELETE);
    if ((paste || cut) && (!FEditorEnabled || ReadOnly())) Key = 0;
    TCustomEdit::KeyDown(Key, Shift);
    // The widget would move the caret: the step was the key's whole work.
    if (spinKey) Key = 0;
}

void TRVSpinEdit::KeyPress(char& Key) {
    if (!Enabled()) return;
    if (!IsValidChar(Key)) {
        Key = 0;
        Beep();
        return;
    }
    TCustomEdit::KeyPress(Key);
}

void TRVSpinEdit::DoExit() {
    TCustomEdit::DoExit();
    if (Text().empty()) return; // stays without a value
    double v = Value();
    if (std::fabs(CheckValue(v) - v) >= Epsilon) SetValue(v);
}

bool TRVSpinEdit::DoMouseWheelDown(TShiftState, const TPoint&) {
    if (!ReadOnly()) Step(-FIncrement);
    return true;
}

bool TRVSpinEdit::DoMouseWheelUp(TShiftState, const TPoint&) {
    if (!ReadOnly()) Step(FIncrement);
    return true;
}

int TRVSpinEdit::MinHeight() const {
    TFont system;
    int h1 = TextHeightOf(&system), h2 = TextHeightOf(Font());
    return h2 + std::min(h1, h2) / 4 + 4 * Border + 2;
}

void TRVSpinEdit::LayoutButton() {
    if (!FButton) return;
    FButton->SetBounds(Width() - FButton->Width() - ButtonGap, ButtonGap, FButton->Width(),
                       std::max(0, Height() - 2 * ButtonGap));
    SetTextMargins(0, FButton->Width() + ButtonGap);
}

void TRVSpinEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CUT:
    case WM_PASTE:
        if (!FEditorEnabled || ReadOnly()) return;
        break;
    case WM_SIZE:
        TCustomEdit::Dispatch(Message);
        if (int least = MinHeight(); Height() < least) {
            // The new size comes back here and places the button.
            SetHeight(least);
            return;
        }
        LayoutButton();
        return;
    case CM_FONTCHANGED:
        TCustomEdit::Dispatch(Message);
        if (Height() < MinHeight()) SetHeight(MinHeight());
        return;
    case CM_ENABLEDCHANGED:
        TCustomEdit::Dispatch(Message);
        if (FButton) FButton->SetEnabled(Enabled());
        return;
    default:
        break;
    }
    TCustomEdit::Dispatch(Message);
}
