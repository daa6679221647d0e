// The colour button: a swatch of its colour beside a drop-down arrow that
// opens the palette window.
#pragma once

#include "platform/rtl/StringLists.h"
#include "util/JvColorBox.h"
#include "util/JvColorForm.h"

// The palette closes (posted when the button loses the focus).
constexpr unsigned CM_PALETTECLOSEUP = CM_BASE + 0x300;

using TJvColorButtonPaletteShowing = std::function<void(TObject* Sender, bool& CanShowPalette)>;

class TJvColorButton : public TJvCustomDropButton {
public:
    explicit TJvColorButton(TComponent* AOwner);
    ~TJvColorButton() override;
    void WndProc(TMessage& Message) override;

    TColor Color() const { return FColor; }
    // A different colour is stored, OnChange fires and the button repaints.
    void SetColor(TColor Value);
    // The button's own list; callers may change it.
    TStrings* GetCustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }
    const AnsiString& OtherCaption() const { return FOtherCaption; }
    void SetOtherCaption(const AnsiString& Value);
    int EdgeWidth() const { return FEdgeWidth; }
    void SetEdgeWidth(int Value);
    bool ButtonShowsPalette = true;
    unsigned Options() const { return FOptions; }
    void SetOptions(unsigned Value) { FOptions = Value; }
    TNotifyEvent OnChange;
    TJvColorButtonPaletteShowing OnPaletteShowing;

    TJvColorForm* Palette() const { return FColorsForm; }
    bool IsDown() const { return FIsDown; }
    virtual void OpenPicker(TMouseButton Button, TShiftState Shift, int X, int Y);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void NotifyFocusKilled(void* NextWnd) override;
    // While the palette shows, Escape is the button's: it closes the
    // palette, not the window the button is on.
    void AdjustDialogCodes(TDialogCodeFlags& Codes) override;

private:
    // The palette window or a control inside it.
    bool IsPaletteControl(const TControl* Control) const;
    void HidePalette();
    TColor FColor = clBlack;
    AnsiString FOtherCaption = "&Other...";
    int FEdgeWidth = 4;
    unsigned FOptions = 0;
    std::unique_ptr<TStringList> FCustomColors = std::make_unique<TStringList>();
    TJvColorForm* FColorsForm = nullptr;
    bool FIsDown = false;
};
