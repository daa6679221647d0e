// The boundary between Qt's events and the controls, for the controls'
// sources: the widget the layer's own controls paint on, and the
// translation of a widget's events into message records.
#pragma once

#include "platform/gui/Controls.h"

class QCursor;
class QWidget;
struct TCursorImage;

// What a control's WM_CHAR answers: the key was taken back, or it became the
// key in WParam.
constexpr LRESULT CharTakenBack = 1;
constexpr LRESULT CharReplaced = 2;

// A widget painted through WM_ERASEBKGND and WM_PAINT of Control.
QWidget* NewLayerWidget(TWinControl* Control);
bool IsLayerWidget(const QWidget* Widget);
// The control of such a widget, or nullptr for any other widget.
TWinControl* LayerWidgetControl(const QWidget* Widget);
// Screen readers see the layer's widgets through their controls'
// accessible objects (QtAccessibility.cpp); installed with the first one.
void InstallAccessibilityBridge();

// Sends the events of Control's widget to Control as message records. Own:
// the layer's own widget, whose translated input goes no further.
void TranslateEvents(TWinControl* Control, QWidget* Widget, bool Own);
// Stops the translation of Widget's events, before the widget is freed.
void StopTranslatingEvents(QWidget* Widget);

// Makes, places and sets the Qt scroll bars of Control's widget as its
// scroll bars are set (ScrollBars.cpp).
void UpdateScrollBarWidgets(TWinControl* Control);

// Cursors (Cursors.cpp): the Qt cursor of a cursor; the window under the
// mouse asked for its cursor, which its widget then shows; and a control's
// cursor changed or its widget was made, which the screen then follows.
const QCursor& QtCursor(const TCursorImage* Cursor);
void AskCursor(TWinControl* Window);
void CursorChanged(TControl* Control);

// The control with the keyboard focus (Activation.cpp): moving it sends
// WM_KILLFOCUS and WM_SETFOCUS, each naming the other control in WParam;
// one that goes away is forgotten without being told.
TWinControl* FocusedControl();
void MoveFocus(TWinControl* To);
void ForgetFocus(TWinControl* Control);
// Answers Qt's activation of a form's window, and its loss.
void FormWindowActivated(TCustomForm* Form);
void FormWindowDeactivated(TCustomForm* Form);
// The program's activation follows the desktop's from the first window on.
void WatchApplicationState();
// So do the controls' system colours (NotifySysColorChange).
void WatchSystemColors();

// Hints (Hints.cpp): the mouse moved onto or over a control; a message
// that may hide a shown hint came in.
void HintMouseMove(TControl* Under);
void HintInputMessage(unsigned Msg);

// A control that goes away loses the capture, without being told.
void ReleaseMouseCapture(TControl* Control);
// Modes of the mouse end before a modal window or message box: the holder
// of the capture and the control with the focus get WM_CANCELMODE, and the
// capture is released.
void SendCancelMode();
