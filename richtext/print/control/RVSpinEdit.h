// The dialogs' numeric edit: a value kept within a range, whole or with a
// fixed number of decimals, or no value at all (an empty box), with a small
// up-down button inside its edge that reports each step as a signed count.
#pragma once

#include <functional>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/StdCtrls.h"

using TRVUpDownDeltaEvent = std::function<void(TObject* Sender, int Delta)>;

// The up-down button of the spin edit: it keeps no position (it goes back
// to 0 after every step) and tells each step's change through OnDelta.
class TRVUpDown : public TCustomUpDown {
public:
    explicit TRVUpDown(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    TRVUpDownDeltaEvent OnDelta;

protected:
    // A press puts the focus into the edit the button belongs to.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TRVSpinEdit : public TCustomEdit {
public:
    explicit TRVSpinEdit(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    // Off: only the button, the keys and the wheel change the value.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    // The step of the button, the arrow keys and the wheel; the page keys
    // step ten times as far.
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    // Equal bounds (within 1e-20) mean no bounds at all.
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value) { FMaxValue = Value; }
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value) { FMinValue = Value; }
    // The text as a number in the locale's format; a text that is not one,
    // or an empty box, reads as CheckValue(0). A typed number is read as it
    // stands, out of range or not. Setting it writes CheckValue(Value).
    double Value() const;
    void SetValue(double Value);
    // The value rounded to a whole number, halves to even.
    int64_t AsInteger() const;
    // The box holds no value: its text is blank.
    bool Indeterminate() const;
    void SetIndeterminate(bool Value);
    bool IntegerValue() const { return FIntegerValue; }
    void SetIntegerValue(bool Value) { FIntegerValue = Value; }
    // Decimals shown when IntegerValue is off.
    int Digits() const { return FDigits; }
    void SetDigits(int Value) { FDigits = Value; }

    // The rule for every value that enters the box: rounded when
    // IntegerValue is on, then brought to a bound it passes.
    double CheckValue(double X) const;
    // A step of the button: Delta increments, or a beep when read only.
    void UpDownDelta(int Delta);
    TRVUpDown* Button() const { return FButton; }
    // The smallest height the box takes for its font.
    int MinHeight() const;

protected:
    // Whether Key may be typed: digits, signs, the locale's decimal
    // separator for decimals, and control characters other than Enter; with
    // the editor off only those control characters other than Backspace.
    virtual bool IsValidChar(char Key) const;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;
    bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) override;

private:
    void Step(double By);
    // Places the button inside the box and keeps the text clear of it.
    void LayoutButton();

    bool FEditorEnabled = true;
    double FIncrement = 1.0;
    double FMaxValue = 1000.0;
    double FMinValue = 0.0;
    bool FIntegerValue = true;
    int FDigits = 2;
    TRVUpDown* FButton = nullptr;
};
