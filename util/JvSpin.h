// The spin button with its shared bitmap cache, and the numeric spin edit
// that holds one (or the platform's up-down) at its side.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "util/JvExControls.h"
#include "util/JvExMask.h"

enum class TJvSpinButtonStyle { sbsDefault, sbsClassic };

class TSpinButtonBitmapsManager;

// The pictures of one size and look of spin button, drawn once and shared.
class TSpinButtonBitmaps : public TObject {
public:
    TSpinButtonBitmaps(TSpinButtonBitmapsManager* Manager, int Width, int Height, TJvSpinButtonStyle Style,
                       bool CustomGlyphs);
    ~TSpinButtonBitmaps() override;

    enum TState { sTopPressed, sBottomPressed, sNotPressed, sDisabled, sTopHot, sBottomHot, StateCount };

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TJvSpinButtonStyle Style() const { return FStyle; }
    bool CustomGlyphs() const { return FCustomGlyphs; }
    int UserCount() const { return FUserCount; }
    bool IsThemed() const { return FIsThemed; }
    bool RedrawPending() const { return FRedrawPending; }

    void AddUser() { ++FUserCount; }
    // Frees the set when the last user lets go.
    void RemoveUser();
    void MarkForRedraw() { FRedrawPending = true; }
    // Draws the background of State at X, Y, drawing the set anew first when
    // it was marked.
    void Draw(TCanvas* Canvas, int X, int Y, TState State);
    TBitmap* Bitmap(TState State) const { return FBitmaps[State].get(); }
    // How many times the set has drawn all its pictures.
    int DrawCount() const { return FDrawCount; }

private:
    void DrawAll();
    void DrawClassic();
    void DrawDiagonal();
    void DrawThemedClassic();
    void DrawThemedDiagonal();
    TSpinButtonBitmapsManager* FManager;
    int FWidth, FHeight;
    TJvSpinButtonStyle FStyle;
    bool FCustomGlyphs;
    int FUserCount = 0;
    bool FRedrawPending = false;
    bool FIsThemed = false;
    int FDrawCount = 0;
    std::unique_ptr<TBitmap> FBitmaps[StateCount];
};

// Keeps the sets sorted by size, style and whether the glyphs are custom.
class TSpinButtonBitmapsManager : public TObject {
public:
    ~TSpinButtonBitmapsManager() override;
    void AddButton() { ++FButtonCount; }
    // Frees the manager (and the process-wide reference) with the last one.
    void RemoveButton();
    int ButtonCount() const { return FButtonCount; }
    // The first index whose key is not below the wanted key; true when the
    // set there has it.
    bool Find(int Width, int Height, TJvSpinButtonStyle Style, bool CustomGlyphs, int& Index) const;
    // The set of that key, made when missing; the caller becomes a user.
    TSpinButtonBitmaps* Acquire(int Width, int Height, TJvSpinButtonStyle Style, bool CustomGlyphs);
    void Remove(TSpinButtonBitmaps* Set);
    int Count() const { return int(FList.size()); }

private:
    std::vector<TSpinButtonBitmaps*> FList;
    int FButtonCount = 0;
};
// The process-wide manager, made on first use; nullptr once the last spin
// button has gone.
TSpinButtonBitmapsManager* SpinBitmapsManager();
TSpinButtonBitmapsManager* SpinBitmapsManagerIfAny();

// The built-in arrows (white is transparent): 6 x 6 for the diagonal look,
// 7 x 4 triangles for the classic one.
enum class TSpinArrow { Up, Down, UpPole, DownPole };
std::unique_ptr<TBitmap> SpinArrowBitmap(TSpinArrow Arrow);

// A graphic control of two halves, up and down, split by the diagonal from
// the bottom-left to the top-right corner or stacked; a press on a half
// clicks it and repeats while held.
class TJvSpinButton : public TJvExGraphicControl {
public:
    explicit TJvSpinButton(TComponent* AOwner);
    ~TJvSpinButton() override;
    void WndProc(TMessage& Message) override;

    TJvSpinButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TJvSpinButtonStyle Value);
    // Copies of the given bitmaps; nullptr empties a glyph.
    TBitmap* UpGlyph() const { return FUpGlyph.get(); }
    void SetUpGlyph(TBitmap* Value);
    TBitmap* DownGlyph() const { return FDownGlyph.get(); }
    void SetDownGlyph(TBitmap* Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    unsigned InitRepeatPause = 400;
    unsigned RepeatPause = 100;
    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

    bool IsInBottomHalf(const TPoint& P) const;
    // 0 none, 1 the top half, 2 the bottom half.
    int PressedHalf() const { return FPressedHalf; }
    bool TopHot() const { return FTopHot; }
    bool BottomHot() const { return FBottomHot; }
    TSpinButtonBitmaps* BitmapSet() const { return FBitmaps; }
    TTimer* RepeatTimer() const { return FRepeatTimer; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void NotifyMouseEnter(TControl* Control) override;
    void NotifyMouseLeave(TControl* Control) override;
    void TopClick();
    void BottomClick();

private:
    void RepeatTimerTick(TObject* Sender);
    void GlyphChanged();
    void ReleaseBitmaps();
    void AcquireBitmaps();
    void DrawGlyphs(TCanvas* Canvas);
    // The half under P: 1 the top, 2 the bottom.
    int HalfAt(int X, int Y) const { return IsInBottomHalf({X, Y}) ? 2 : 1; }
    void SetHot(bool Top, bool Bottom);

    TJvSpinButtonStyle FButtonStyle = TJvSpinButtonStyle::sbsDefault;
    std::unique_ptr<TBitmap> FUpGlyph;
    std::unique_ptr<TBitmap> FDownGlyph;
    TWinControl* FFocusControl = nullptr;
    int FPressedHalf = 0;
    int FLastPressedHalf = 0;
    bool FHeldDown = false;
    bool FTopHot = false;
    bool FBottomHot = false;
    TTimer* FRepeatTimer = nullptr;
    TSpinButtonBitmaps* FBitmaps = nullptr;
};

enum class TValueType { vtInteger, vtFloat, vtHex };
enum class TSpinButtonKind { bkStandard, bkDiagonal, bkClassic };
enum TJvCheckOption : unsigned { coCheckOnChange = 1, coCheckOnExit = 2, coCropBeyondLimit = 4 };
using TJvCheckOptions = unsigned;

// The platform's up-down turned into clicks: its position never leaves 0.
class TJvUpDown : public TCustomUpDown {
public:
    explicit TJvUpDown(TComponent* AOwner);
    ~TJvUpDown() override;
    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

private:
    bool FChanging = false;
};

// The numeric edit. Typing never rewrites the text: a number out of range
// or not finished stays as typed until the edit is left, Enter is pressed or
// the value is spun, when it is brought into range and the text shows the
// value used. OnChange fires when the value really changed.
class TJvCustomSpinEdit : public TJvExCustomMaskEdit {
public:
    explicit TJvCustomSpinEdit(TComponent* AOwner);
    ~TJvCustomSpinEdit() override;
    void WndProc(TMessage& Message) override;
    // Streaming has finished: derived range checks may be set up again, and
    // the value so far counts as notified.
    virtual void Loaded();

    // The value truncated toward zero; beyond the 64-bit range it saturates.
    int64_t GetValueAsInteger();
    double Value() { return GetValue(); }
    virtual double GetValue() = 0;
    virtual void SetValue(double NewValue) = 0;

    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value);
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    uint8_t Decimal() const { return FDecimal; }
    void SetDecimal(uint8_t Value);
    TValueType ValueType() const { return FValueType; }
    virtual void SetValueType(TValueType Value);
    const AnsiString& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const AnsiString& Value);
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);
    TJvCheckOptions CheckOptions() const { return FCheckOptions; }
    void SetCheckOptions(TJvCheckOptions Value) { FCheckOptions = Value; }
    bool CheckMinValue() const { return FCheckMinValue; }
    void SetCheckMinValue(bool Value);
    bool CheckMaxValue() const { return FCheckMaxValue; }
    void SetCheckMaxValue(bool Value);
    TSpinButtonKind ButtonKind() const { return FButtonKind; }
    void SetButtonKind(TSpinButtonKind Value);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    // An empty text stays empty when the edit is left, for a window where
    // no value is a value; the value of an empty text is MinValue.
    bool AllowEmpty() const { return FAllowEmpty; }
    void SetAllowEmpty(bool Value) { FAllowEmpty = Value; }
    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

    virtual void SpinUp();
    virtual void SpinDown();
    double ClampValue(double NewValue) const;
    // Raises ERangeError "Value must be between %0:g and %1:g" for a value
    // out of range when asked to and a check is on.
    double ValidateValueRange(bool RaiseOnError, double NewValue) const;
    bool HasRangeLimits() const { return FMinValue != 0 || FMaxValue != 0; }
    // Brings the text's value into range and shows the value used. A text
    // that reads as no number raises EConvertError and stays as it is: it
    // never becomes another value.
    void CommitValue();
    // The text reads as a number, or is empty.
    virtual bool TextIsNumber() = 0;

    TJvSpinButton* SpinButton() const { return FButton; }
    TJvUpDown* UpDown() const { return FUpDown; }
    TWinControl* ButtonContainer() const { return FBtnWindow; }
    int SpinButtonWidth() const;
    static int DefaultSpinButtonWidth();
    // The smallest height that shows a line of the edit's font.
    int MinHeight() const;

protected:
    virtual void RefreshFocusedText();
    virtual AnsiString DefaultDisplayFormat() const { return ",0.##"; }
    virtual bool AcceptsChar(char Key);
    void Change() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;
    void NotifyFocusKilled(void* NextWnd) override;
    void NotifyEnabledChange() override;
    void NotifyFontChange() override;
    void NotifyBoundsChange() override;
    void AdjustDialogCodes(TDialogCodeFlags& Codes) override;
    // Sets the text without the change handling, keeping Modified.
    void SetTextQuietly(const AnsiString& Text);
    bool FInChange = false;
    bool FHasEditFocus = false;
    double FLastNotifiedValue = 0;

private:
    void RebuildButton();
    void LayoutButton();
    void SetEditRect();
    void UpDownClicked(TObject* Sender, TUDBtnType Button);
    void Spin(bool Up);
    bool IsDesigning() const { return ComponentState() & csDesigning; }
    // CheckMaxValue counts as derived from MaxValue.
    bool MaxDerived() const { return FMaxValue != 0 || FCheckMaxValue == HasRangeLimits(); }
    bool MinDerived() const { return FMinValue != 0 || FCheckMinValue == HasRangeLimits(); }
    void ReassignValue() { SetValue(GetValue()); }

    double FMinValue = 0, FMaxValue = 0, FIncrement = 1;
    uint8_t FDecimal = 2;
    TValueType FValueType = TValueType::vtInteger;
    AnsiString FDisplayFormat;
    bool FThousands = false;
    TJvCheckOptions FCheckOptions = coCheckOnChange | coCheckOnExit | coCropBeyondLimit;
    bool FCheckMinValue = false, FCheckMaxValue = false;
    bool FAutoCheckMin = true, FAutoCheckMax = true;
    TSpinButtonKind FButtonKind = TSpinButtonKind::bkDiagonal;
    bool FShowButton = true;
    bool FArrowKeys = true;
    bool FEditorEnabled = true;
    bool FAllowEmpty = false;
    TJvUpDown* FUpDown = nullptr;
    TWinControl* FBtnWindow = nullptr;
    TJvSpinButton* FButton = nullptr;
};

class TJvSpinEdit : public TJvCustomSpinEdit {
public:
    using TJvCustomSpinEdit::TJvCustomSpinEdit;
    double GetValue() override;
    void SetValue(double NewValue) override;
    bool TextIsNumber() override;

private:
    // The text's number; false when it reads as none.
    bool ReadText(double& Value);
};
