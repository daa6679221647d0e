// The spin edit: text and value, the range and its derived checks, keys,
// spinning, focus, and the buttons at its side; and the up-down it may use.
#include <cmath>
#include <limits>
#include <utility>

#include "platform/gui/ScrollBars.h"

#include "util/JclStrings.h"
#include "util/JvJCLUtils.h"
#include "util/JvSpin.h"

namespace {
// Puts the focus back into an edit that refused to be left.
constexpr unsigned CM_SPINEDITREFOCUS = CM_BASE + 0x310;
// The largest doubles that still fit a 64-bit integer.
constexpr double Int64Top = 9223372036854774784.0;
constexpr double Int64Bottom = -9223372036854775808.0;

int64_t Saturated(double V, int64_t (*Convert)(double)) {
    if (std::isnan(V)) return 0;
    if (V >= Int64Top) return std::numeric_limits<int64_t>::max();
    if (V <= Int64Bottom) return std::numeric_limits<int64_t>::min();
    return Convert(V);
}

int64_t RoundHalfEven(double V) {
    return Saturated(V, [](double X) { return Round(X); });
}

int64_t RoundHalfAway(double V) {
    return Saturated(V, [](double X) { return int64_t(std::llround(X)); });
}

AnsiString GroupThousands(const AnsiString& Digits) {
    bool negative = !Digits.empty() && Digits[0] == '-';
    AnsiString body = negative ? Digits.substr(1) : Digits, out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (i && (body.size() - i) % 3 == 0) out += FormatSettings.ThousandSeparator;
        out += body[i];
    }
    return negative ? "-" + out : out;
}

AnsiString WithoutThousands(const AnsiString& Text) {
    if (FormatSettings.ThousandSeparator == FormatSettings.DecimalSeparator) return Text;
    return DeleteAllChars(Text, FormatSettings.ThousandSeparator);
}

// A sign and digits only: a whole number, however long.
bool IsWholeNumberText(const AnsiString& Text) {
    std::size_t i = !Text.empty() && (Text[0] == '-' || Text[0] == '+') ? 1 : 0;
    if (i >= Text.size()) return false;
    for (; i < Text.size(); ++i)
        if (Text[i] < '0' || Text[i] > '9') return false;
    return true;
}

bool TryHexToInt64(const AnsiString& Text, int64_t& Value) {
    AnsiString t = Trim(Text);
    if (t.empty() || t.size() > 16) return false;
    uint64_t v = 0;
    for (char c : t) {
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                       : -1;
        if (d < 0) return false;
        v = v << 4 | uint64_t(d);
    }
    Value = int64_t(v);
    return true;
}
} // namespace

// TJvUpDown

TJvUpDown::TJvUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {
    SetOrientation(TUDOrientation::udVertical);
    SetMin(-1);
    SetMax(1);
    SetPosition(0);
}

TJvUpDown::~TJvUpDown() {
    OnClick = nullptr;
}

void TJvUpDown::WndProc(TMessage& Message) {
    if ((Message.Msg == CN_VSCROLL || Message.Msg == CN_HSCROLL) &&
        (Message.WParam & LowWordMask) == WPARAM(SB_THUMBPOSITION) && !FChanging) {
        FChanging = true;
        struct TDone {
            TJvUpDown* Self;
            ~TDone() { Self->FChanging = false; }
        } done{this};
        int pos = HiWordSigned(LPARAM(Message.WParam));
        if (pos > 0)
            Click(TUDBtnType::btNext);
        else if (pos < 0)
            Click(TUDBtnType::btPrev);
        // The native control never runs out of range.
        SetPosition(0);
        return;
    }
    TCustomUpDown::WndProc(Message);
}

void TJvUpDown::SetBounds(int ALeft, int ATop, int, int AHeight) {
    TCustomUpDown::SetBounds(ALeft, ATop, TJvCustomSpinEdit::DefaultSpinButtonWidth(), AHeight);
}

// TJvCustomSpinEdit

TJvCustomSpinEdit::TJvCustomSpinEdit(TComponent* AOwner) : TJvExCustomMaskEdit(AOwner) {
    SetControlStyle(ControlStyle() & ~csSetCaption);
    SetTextQuietly("0");
    RebuildButton();
}

TJvCustomSpinEdit::~TJvCustomSpinEdit() {
    // No change handling while the buttons go.
    FInChange = true;
}

void TJvCustomSpinEdit::Loaded() {
    FAutoCheckMax = true;
    FAutoCheckMin = true;
    FLastNotifiedValue = GetValue();
}

void TJvCustomSpinEdit::SetTextQuietly(const AnsiString& Text) {
    bool inChange = FInChange, modified = Modified();
    FInChange = true;
    struct TBack {
        TJvCustomSpinEdit* Self;
        bool InChange, Modified;
        ~TBack() {
            Self->FInChange = InChange;
            Self->SetModified(Modified);
        }
    } back{this, inChange, modified};
    SetText(Text);
}

int64_t TJvCustomSpinEdit::GetValueAsInteger() {
    return Saturated(GetValue(), [](double X) { return int64_t(std::trunc(X)); });
}

double TJvCustomSpinEdit::ClampValue(double NewValue) const {
    if (!FCheckMinValue && !FCheckMaxValue) return NewValue;
    double result = NewValue;
    if (FCheckMinValue && NewValue < FMinValue) result = FMinValue;
    if (FCheckMaxValue && NewValue > FMaxValue) result = FMaxValue;
    return result;
}

double TJvCustomSpinEdit::ValidateValueRange(bool RaiseOnError, double NewValue) const {
    double c = ClampValue(NewValue);
    if ((FCheckMinValue || FCheckMaxValue) && RaiseOnError && c != NewValue)
        throw ERangeError(Format("Value must be between %0:g and %1:g", {FMinValue, FMaxValue}));
    return c;
}

void TJvCustomSpinEdit::CommitValue() {
    if (FAllowEmpty && Trim(Text()).empty()) return;
    // An empty text is no number typed: the range's start.
    if (!TextIsNumber()) {
        AnsiString text = Trim(Text());
        AnsiString message = "Не удалось прочитать число \""_cp + text + "\".";
        if (FValueType == TValueType::vtFloat)
            message += " Целую и дробную части числа разделяет знак \""_cp +
                       AnsiString(1, FormatSettings.DecimalSeparator) + "\".";
        throw EConvertError(message);
    }
    SetValue(ClampValue(GetValue()));
}

void TJvCustomSpinEdit::Change() {
    if (FInChange) return;
    // The text is the user's: it stays as typed, only the value is told.
    double v = GetValue();
    if (!HandleAllocated()) {
        FLastNotifiedValue = v;
        return;
    }
    if (v == FLastNotifiedValue) return;
    FLastNotifiedValue = v;
    TJvExCustomMaskEdit::Change();
}

void TJvCustomSpinEdit::RefreshFocusedText() {
    if (!FHasEditFocus || FValueType != TValueType::vtFloat || FDisplayFormat.empty()) return;
    AnsiString pattern = "0";
    if (FDecimal > 0) pattern += "." + RepeatChar('0', FDecimal);
    SetTextQuietly(FormatFloat(pattern, GetValue()));
}

void TJvCustomSpinEdit::SetMinValue(double Value) {
    if (Value == FMinValue) return;
    bool derived = MinDerived();
    bool oneZero = (FMinValue == 0) != (Value == 0);
    FMinValue = Value;
    if (oneZero && FAutoCheckMin) {
        SetCheckMinValue(HasRangeLimits());
        if (derived && FAutoCheckMax) SetCheckMaxValue(HasRangeLimits());
    }
    ReassignValue();
}

void TJvCustomSpinEdit::SetMaxValue(double Value) {
    if (Value == FMaxValue) return;
    bool derived = MaxDerived();
    bool oneZero = (FMaxValue == 0) != (Value == 0);
    FMaxValue = Value;
    if (oneZero && FAutoCheckMax) {
        SetCheckMaxValue(HasRangeLimits());
        if (derived && FAutoCheckMin) SetCheckMinValue(HasRangeLimits());
    }
    ReassignValue();
}

void TJvCustomSpinEdit::SetCheckMinValue(bool Value) {
    FCheckMinValue = FMinValue != 0 ? true : Value;
    if (ComponentState() & csLoading) FAutoCheckMin = false;
    ReassignValue();
}

void TJvCustomSpinEdit::SetCheckMaxValue(bool Value) {
    FCheckMaxValue = FMaxValue != 0 ? true : Value;
    if (ComponentState() & csLoading) FAutoCheckMax = false;
    ReassignValue();
}

void TJvCustomSpinEdit::SetDecimal(uint8_t Value) {
    if (Value == FDecimal) return;
    FDecimal = Value;
    ReassignValue();
}

void TJvCustomSpinEdit::SetValueType(TValueType Value) {
    if (Value == FValueType) return;
    FValueType = Value;
    ReassignValue();
    if (Value != TValueType::vtFloat) {
        FIncrement = double(RoundHalfEven(FIncrement));
        if (FIncrement == 0) FIncrement = 1;
    }
    if (Value == TValueType::vtHex) FThousands = false;
}

void TJvCustomSpinEdit::SetDisplayFormat(const AnsiString& Value) {
    if (Value == FDisplayFormat) return;
    FDisplayFormat = Value;
    Invalidate();
}

void TJvCustomSpinEdit::SetThousands(bool Value) {
    if (FValueType == TValueType::vtHex) return;
    FThousands = Value;
}

void TJvCustomSpinEdit::SetButtonKind(TSpinButtonKind Value) {
    if (Value == FButtonKind) return;
    FButtonKind = Value;
    RebuildButton();
}

void TJvCustomSpinEdit::SetShowButton(bool Value) {
    if (Value == FShowButton) return;
    FShowButton = Value;
    RebuildButton();
}

void TJvCustomSpinEdit::SetArrowKeys(bool Value) {
    FArrowKeys = Value;
    LayoutButton();
}

// Keys

bool TJvCustomSpinEdit::AcceptsChar(char Key) {
    const char dec = FormatSettings.DecimalSeparator, thousands = FormatSettings.ThousandSeparator;
    const AnsiString text = Text();
    auto has = [&](char C) { return text.find(C) != AnsiString::npos; };
    bool accepted =
        Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || static_cast<unsigned char>(Key) < 32;
    if (FValueType == TValueType::vtFloat) {
        if (Key == dec && !has(dec)) accepted = true;
        if (Key == '.' && !has(dec) && !(FThousands && thousands == '.')) accepted = true;
        if ((Key == 'E' || Key == 'e') && AnsiUpperCase(text).find('E') == AnsiString::npos) accepted = true;
    }
    if (FValueType == TValueType::vtHex && ((Key >= 'A' && Key <= 'F') || (Key >= 'a' && Key <= 'f')))
        accepted = true;
    if (!FEditorEnabled && (static_cast<unsigned char>(Key) >= 32 || Key == '\b')) accepted = false;
    return accepted;
}

void TJvCustomSpinEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    TJvExCustomMaskEdit::KeyDown(Key, Shift);
    if (FArrowKeys && (Key == VK_UP || Key == VK_DOWN)) {
        if (Key == VK_UP)
            SpinUp();
        else
            SpinDown();
        Key = 0;
        return;
    }
    if (Key != VK_DELETE && Key != VK_BACK) return;
    // A text that cannot be typed cannot be deleted either.
    if (!FEditorEnabled) {
        Key = 0;
        return;
    }
    if (SelLength() != 0) return;
    const AnsiString text = Text();
    const char dec = FormatSettings.DecimalSeparator;
    int at = SelStart();
    // Neither key deletes the decimal separator: the caret steps over it.
    if (Key == VK_DELETE && at < int(text.size()) && text[std::size_t(at)] == dec) {
        SetSelStart(at + 1);
        Key = 0;
    } else if (Key == VK_BACK && at > 0 && text[std::size_t(at - 1)] == dec) {
        SetSelStart(at - 1);
        Key = 0;
    }
}

void TJvCustomSpinEdit::KeyPress(char& Key) {
    const char dec = FormatSettings.DecimalSeparator;
    // A point or a comma is the decimal separator in force, unless it is
    // the thousands separator shown.
    if ((Key == '.' || Key == ',') && !(FThousands && FormatSettings.ThousandSeparator == Key)) Key = dec;
    if (FValueType == TValueType::vtFloat && Key == dec) {
        std::size_t at = Text().find(dec);
        if (at != AnsiString::npos) {
            SetSelStart(int(at) + 1);
            SetSelLength(0);
            Key = 0;
            return;
        }
    }
    if (!AcceptsChar(Key)) {
        Key = 0;
        SignalInputError();
        return;
    }
    TJvExCustomMaskEdit::KeyPress(Key);
    if (Key != '\r' && Key != '\x1b') return;
    TCustomForm* form = GetParentForm(this);
    if (Key == '\r') {
        // The default button gets the value the text shows; a text that
        // reads as no number is told, and the key goes no further.
        Key = 0;
        try {
            CommitValue();
        } catch (const Exception&) {
            Application->HandleException(this);
            return;
        }
        if (form) form->Perform(CM_DIALOGKEY, VK_RETURN, 0);
    } else if (form) {
        form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0);
    }
}

void TJvCustomSpinEdit::AdjustDialogCodes(TDialogCodeFlags& Codes) {
    // Enter and Escape come here first: Enter brings the value into range
    // before the form's buttons see it.
    Codes = (Codes | dcfWantAllKeys) & ~dcfNative;
}

// Spinning

void TJvCustomSpinEdit::Spin(bool Up) {
    if (ReadOnly()) {
        SignalInputError();
        return;
    }
    AnsiString old = Text();
    {
        FInChange = true;
        struct TDone {
            TJvCustomSpinEdit* Self;
            ~TDone() { Self->FInChange = false; }
        } done{this};
        // From the value in range, as the text will show it.
        double from = ClampValue(GetValue());
        SetValue(Up ? from + FIncrement : from - FIncrement);
    }
    if (!SameText(Text(), old)) {
        SetModified(true);
        Change();
    }
    TNotifyEvent& event = Up ? OnTopClick : OnBottomClick;
    if (event) event(this);
}

void TJvCustomSpinEdit::SpinUp() {
    Spin(true);
}

void TJvCustomSpinEdit::SpinDown() {
    Spin(false);
}

bool TJvCustomSpinEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) {
    TJvExCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (WheelDelta > 0)
        SpinUp();
    else
        SpinDown();
    return true;
}

// Focus

void TJvCustomSpinEdit::DoEnter() {
    if (!FHasEditFocus) {
        FHasEditFocus = true;
        Invalidate();
        RefreshFocusedText();
    }
    TJvExCustomMaskEdit::DoEnter();
}

void TJvCustomSpinEdit::DoExit() {
    FHasEditFocus = false;
    Invalidate();
    RefreshFocusedText();
    if (!IsDesigning() && (FCheckOptions & (coCheckOnExit | coCheckOnChange))) {
        try {
            if (FCheckOptions & coCheckOnExit)
                ValidateValueRange(!(FCheckOptions & coCropBeyondLimit), GetValue());
            CommitValue();
        } catch (const Exception&) {
            // The message is shown and the user stays in the edit.
            FHasEditFocus = true;
            if (HandleAllocated()) SelectAll();
            PostMessage(this, CM_SPINEDITREFOCUS, 0, 0);
            Application->HandleException(this);
        }
    }
    TJvExCustomMaskEdit::DoExit();
}

void TJvCustomSpinEdit::NotifyFocusKilled(void* NextWnd) {
    // A text that reads as no number is told when the edit is left.
    if ((FCheckOptions & coCheckOnExit) && (FCheckOptions & coCropBeyondLimit) && !IsDesigning() &&
        TextIsNumber())
        CommitValue();
    TJvExCustomMaskEdit::NotifyFocusKilled(NextWnd);
}

void TJvCustomSpinEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_SPINEDITREFOCUS:
        if (CanFocus()) {
            SetFocus();
            if (HandleAllocated()) SelectAll();
        }
        return;
    case WM_CUT:
    case WM_PASTE:
        if (!FEditorEnabled || ReadOnly()) return;
        break;
    default:
        break;
    }
    TJvExCustomMaskEdit::WndProc(Message);
}

// Buttons

int TJvCustomSpinEdit::DefaultSpinButtonWidth() {
    return std::min(GetSystemMetrics(SM_CXVSCROLL), 15);
}

int TJvCustomSpinEdit::SpinButtonWidth() const {
    if (!FShowButton) return 0;
    if (FUpDown) return FUpDown->Width();
    if (FButton) return FButton->Width();
    return DefaultSpinButtonWidth();
}

int TJvCustomSpinEdit::MinHeight() const {
    TBitmap measure(1, 1);
    measure.Canvas()->SetFont(Font());
    return measure.Canvas()->TextMetrics().tmHeight + 4 * 1 + 1;
}

void TJvCustomSpinEdit::RebuildButton() {
    if (IsDestroying()) return;
    delete std::exchange(FUpDown, nullptr);
    delete std::exchange(FButton, nullptr);
    delete std::exchange(FBtnWindow, nullptr);
    if (FShowButton) {
        if (FButtonKind == TSpinButtonKind::bkStandard) {
            FUpDown = new TJvUpDown(this);
            FUpDown->SetParent(this);
            FUpDown->OnClick = [this](TObject* Sender, TUDBtnType Button) { UpDownClicked(Sender, Button); };
        } else {
            FBtnWindow = new TWinControl(this);
            FBtnWindow->SetParent(this);
            FButton = new TJvSpinButton(this);
            FButton->SetButtonStyle(FButtonKind == TSpinButtonKind::bkClassic
                                        ? TJvSpinButtonStyle::sbsClassic
                                        : TJvSpinButtonStyle::sbsDefault);
            FButton->SetFocusControl(this);
            FButton->OnTopClick = [this](TObject*) { SpinUp(); };
            FButton->OnBottomClick = [this](TObject*) { SpinDown(); };
            FButton->SetEnabled(Enabled());
            FButton->SetParent(FBtnWindow);
        }
    }
    LayoutButton();
}

void TJvCustomSpinEdit::LayoutButton() {
    const int W = Width(), H = Height();
    if (FUpDown) {
        FUpDown->SetBounds(W - DefaultSpinButtonWidth(), 0, DefaultSpinButtonWidth(), H);
    } else if (FButton) {
        const int B = DefaultSpinButtonWidth();
        TRect r = FButtonKind == TSpinButtonKind::bkClassic ? Bounds(W - B, 0, B, H) : Bounds(W - H, 0, H, H);
        FBtnWindow->SetBoundsRect(r);
        FButton->SetBounds(1, 1, r.Width() - 1, r.Height() - 1);
    }
    SetEditRect();
}

void TJvCustomSpinEdit::SetEditRect() {
    SetTextMargins(0, SpinButtonWidth());
}

void TJvCustomSpinEdit::NotifyBoundsChange() {
    TJvExCustomMaskEdit::NotifyBoundsChange();
    int least = MinHeight();
    if (Height() < least) {
        SetHeight(least);
        return;
    }
    LayoutButton();
}

void TJvCustomSpinEdit::NotifyEnabledChange() {
    TJvExCustomMaskEdit::NotifyEnabledChange();
    if (FUpDown) {
        FUpDown->SetEnabled(Enabled());
        LayoutButton();
    } else if (FButton) {
        FButton->SetEnabled(Enabled());
    }
}

void TJvCustomSpinEdit::NotifyFontChange() {
    TJvExCustomMaskEdit::NotifyFontChange();
    LayoutButton();
}

void TJvCustomSpinEdit::UpDownClicked(TObject*, TUDBtnType Button) {
    if (TabStop() && CanFocus()) SetFocus();
    if (Button == TUDBtnType::btNext)
        SpinUp();
    else
        SpinDown();
}

// TJvSpinEdit

bool TJvSpinEdit::ReadText(double& Value) {
    const AnsiString text = Trim(Text());
    try {
        switch (ValueType()) {
        case TValueType::vtFloat:
            if (!DisplayFormat().empty()) return TryStrToFloat(NormalizeNumberText(text), Value);
            return TryStrToFloat(WithoutThousands(text), Value);
        case TValueType::vtHex: {
            int64_t v = 0;
            if (!TryHexToInt64(text, v)) return false;
            Value = double(v);
            return true;
        }
        case TValueType::vtInteger: {
            AnsiString t = Trim(WithoutThousands(text));
            int64_t v = 0;
            if (TryStrToInt64(t, v)) {
                Value = double(v);
                return true;
            }
            // Too long for an integer: its size, so that it comes to the
            // range's edge rather than to its start.
            return IsWholeNumberText(t) && TryStrToFloat(t, Value);
        }
        }
    } catch (const Exception&) {
    }
    return false;
}

double TJvSpinEdit::GetValue() {
    double v = 0;
    if (ReadText(v)) return v;
    const double minimum = MinValue();
    return ValueType() == TValueType::vtFloat ? minimum : double(RoundHalfEven(minimum));
}

bool TJvSpinEdit::TextIsNumber() {
    double v = 0;
    return Trim(Text()).empty() || ReadText(v);
}

void TJvSpinEdit::SetValue(double NewValue) {
    bool modified = Modified();
    double c = ClampValue(NewValue);
    if (std::isnan(c)) c = MinValue();
    AnsiString text;
    switch (ValueType()) {
    case TValueType::vtFloat:
        if (std::isinf(c))
            c = c > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
        text =
            !DisplayFormat().empty()
                ? FormatFloat(DisplayFormat(), c)
                : FloatToStrF(c, Thousands() ? TFloatFormat::ffNumber : TFloatFormat::ffFixed, 15, Decimal());
        break;
    case TValueType::vtHex:
        text = IntToHex(uint64_t(RoundHalfEven(c)), 1);
        break;
    case TValueType::vtInteger: {
        // Written whole, so that it reads back as the same integer.
        AnsiString digits = IntToStr(RoundHalfAway(c));
        text = Thousands() ? GroupThousands(digits) : digits;
        break;
    }
    }
    SetTextQuietly(text);
    RefreshFocusedText();
    SetModified(modified);
    if (!FInChange) Change();
}
