// The hint window: a small window above the others that shows a hint
// without taking the activation, painted through its canvas like any custom
// control. The application's hint machinery (Application->ActivateHint,
// CancelHint, the pauses, Forms.h) waits for the mouse to rest on a control
// with ShowHint, asks it CM_HINTSHOWPAUSE (LParam: the pause in
// milliseconds, an int to change) and CM_HINTSHOW (LParam: the THintInfo to
// change; a result other than 0 refuses the hint), and shows the hint in a
// window of the class the record names.
#pragma once

#include "platform/gui/Controls.h"

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);

    // The window the hint needs, with its top-left corner at (0, 0); the
    // text is broken into lines no wider than MaxWidth.
    virtual TRect CalcHintRect(int MaxWidth, const AnsiString& Hint, void* Data);
    // Shows Hint in Rect (screen coordinates), moved so that it stays on
    // the screen, above the other windows and without taking the
    // activation or the focus.
    virtual void ActivateHint(const TRect& Rect, const AnsiString& Hint);
    virtual void ActivateHintData(const TRect& Rect, const AnsiString& Hint, void* Data);
    // The message hides a shown hint: keys, mouse buttons, the wheel and
    // activation.
    virtual bool IsHintMsg(const TMessage& Msg);
    // Hides the window.
    void ReleaseHandle();
    bool Showing() const override;

protected:
    QWidget* CreateWidget() override;
    // The hint colour with a frame, the text in clInfoText.
    void Paint() override;
};

// The hint window class of the layer's own window, and the one hints use
// unless CM_HINTSHOW names another.
extern const THintWindowClass StandardHintWindowClass;
extern const THintWindowClass* HintWindowClass;

// What the program's windows show in R (screen coordinates), hint windows
// left out and the button face where none lies: the background a hint
// window fades or slides in over.
void CaptureScreen(const TRect& R, TBitmap* Into);

// A hint's short part comes before "|", its long part after it.
AnsiString GetShortHint(const AnsiString& Hint);
AnsiString GetLongHint(const AnsiString& Hint);
