// Forms, the application object with its top-level exception handler, the
// screen, and the dialog seam through which every modal form is shown.
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/Cursors.h"

class TCommonDialog;
class TMainMenu;

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

class TCustomForm;

// The smallest and largest size of a window; 0 is no limit.
class TSizeConstraints {
public:
    explicit TSizeConstraints(TCustomForm* Form) : FForm(Form) {}
    int MinWidth() const { return FMinWidth; }
    int MinHeight() const { return FMinHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMinWidth(int Value);
    void SetMinHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMaxHeight(int Value);
    // Width and height within the limits.
    void Apply(int& Width, int& Height) const;

private:
    void Changed();
    TCustomForm* FForm;
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// The platform's placement record of a window: its state as a show command,
// where it goes when minimised and maximised, and the rectangle it has when
// it is neither. GetWindowPlacement and SetWindowPlacement (FormsPlacement.cpp)
// read and write it; setting it never shows or hides the window.
constexpr unsigned SW_HIDE = 0;
constexpr unsigned SW_SHOWNORMAL = 1;
constexpr unsigned SW_SHOWMINIMIZED = 2;
constexpr unsigned SW_SHOWMAXIMIZED = 3;
constexpr unsigned SW_SHOW = 5;
constexpr unsigned SW_MINIMIZE = 6;
constexpr unsigned SW_SHOWMINNOACTIVE = 7;
constexpr unsigned SW_RESTORE = 9;
constexpr unsigned WPF_SETMINPOSITION = 1;
struct TWindowPlacement {
    uint32_t length = 44;
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    TPoint ptMinPosition;
    TPoint ptMaxPosition;
    TRect rcNormalPosition;
};
bool GetWindowPlacement(TCustomForm* Form, TWindowPlacement& Placement);
bool SetWindowPlacement(TCustomForm* Form, const TWindowPlacement& Placement);
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

class TCustomForm : public TWinControl {
public:
    // An empty form (the platform's CreateNew).
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void Dispatch(TMessage& Message) override;
    void SetVisible(bool Value) override;

    // Shows the form modally through the dialog service and answers its
    // ModalResult; raises EInvalidOperation for a visible or modal form.
    // A modal result (a button's, or Cancel from Close) ends the modal loop
    // once CloseModal lets it.
    virtual int ShowModal();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value);
    bool Modal() const { return FModal; }
    // The modal loop's step when the form has a modal result: OnCloseQuery
    // and OnClose may refuse (caNone), which clears the result and keeps
    // the form open. An error in them goes to the top-level handler and
    // keeps the form open too.
    void CloseModal();
    // A modal form gets the result Cancel; any other is closed: OnCloseQuery,
    // OnClose, then hidden (and freed with caFree).
    void Close();
    virtual bool CloseQuery();
    void Release();

    TWinControl* ActiveControl() const { return FActiveControl; }
    // Moves the focus inside the form; false when Control cannot take it.
    bool SetActiveControl(TWinControl* Control);
    // Tab order navigation from CurControl.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    // A window that never takes the focus when shown or clicked.
    void SetTakesFocus(bool Value);
    // The window this one is kept above; nullptr is the application window.
    TCustomForm* WindowOwner() const { return FWindowOwner; }
    void SetWindowOwner(TCustomForm* Value);
    // Run when the form becomes the active one or stops being it (CM_ACTIVATE,
    // CM_DEACTIVATE): they fire OnActivate and OnDeactivate.
    virtual void Activate();
    virtual void Deactivate();
    // Activation (Activation.cpp). The form has the activation: it got
    // WM_ACTIVATE with WA_ACTIVE or WA_CLICKACTIVE and no WA_INACTIVE since.
    bool Active() const { return FActive; }
    // Shows the window above the others; the active form stays active until
    // the user clicks this one.
    void ShowNoActivate();
    // The user pressed a mouse button on the window: it asks
    // WM_MOUSEACTIVATE and becomes active unless told not to.
    void ClickActivate();
    // Neither shown nor clicked into activation now.
    bool RefusesActivation() const { return !FTakesFocus || FNoActivatePending; }

    // Menus and shortcuts (FormsMenus.cpp). The main menu's bar sits at the
    // top of the window, above the aligned controls; setting a menu makes
    // the window.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // Runs the first enabled item, of the pop-up menus of the focused
    // control and its parents, then of the main menu, or else the first
    // enabled action of the form's action lists, that Key with Shift is the
    // shortcut of; false when there is none. Keys reach it before the
    // focused control.
    virtual bool IsShortCut(uint16_t Key, TShiftState Shift);
    void AdjustClientRect(TRect& R) override;

    // The form sees the keys of its controls first (OnKeyDown, OnKeyPress,
    // OnKeyUp) and may change or take them.
    bool KeyPreview = false;
    // Escape that no Cancel button takes closes the form; off, Escape alone
    // never closes a window, as on the platform.
    bool CloseOnEscape = false;

    // The window's frame and place (FormsBorders.cpp). A window that is
    // not sizeable keeps its size; Position places it when it is first shown.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Normal, minimised or maximised (FormsPlacement.cpp). A hidden window
    // takes its state when it shows; the rectangle it had while normal comes
    // back when it is restored. WM_SYSCOMMAND's SC_MINIMIZE, SC_MAXIMIZE and
    // SC_RESTORE set it too.
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    // The window system changed the state (the user's buttons).
    void WindowStateShown(TWindowState Value);
    TRect NormalBounds() const {
        return FWindowState == TWindowState::wsNormal ? BoundsRect() : FNormalBounds;
    }
    // The limits of the user's sizing: the constraints (0: none), then
    // whatever the handlers of WM_GETMINMAXINFO make of them.
    TMinMaxInfo MinMaxInfo();
    // Asks for the limits again, after a handler changed its answer.
    void UpdateSizeLimits();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    virtual void DoShow();
    virtual void DoHide();
    void WidgetCreated() override;

private:
    // Gives the widget the chosen style, focus taking, or both.
    void ApplyWindowFlags(bool Style, bool Focus);
    // The window's flags for its border style and icons, and its size
    // limits.
    void ApplyBorder();
    // Places the window as Position asks, the first time it shows.
    void ApplyPosition();
    // The widget's smallest and largest size: fixed unless sizeable.
    void ApplySizeLimits();
    friend class TSizeConstraints;
    // WM_ACTIVATE: the activation comes or goes, with the keyboard focus.
    void Activated(bool On, TCustomForm* Other);

    int FModalResult = mrNone;
    bool FModal = false;
    TWinControl* FActiveControl = nullptr;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TCustomForm* FWindowOwner = nullptr;
    bool FTakesFocus = true;
    bool FReleased = false;
    TMainMenu* FMenu = nullptr;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = TPosition::poDesigned;
    bool FPositioned = false;
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FActive = false;
    bool FNoActivatePending = false;
    // The placement (FormsPlacement.cpp).
    void ApplyWindowState();
    TWindowState FWindowState = TWindowState::wsNormal;
    TRect FNormalBounds;
    TPoint FMinPosition{-1, -1};
    TPoint FMaxPosition{-1, -1};
    uint32_t FPlacementFlags = 0;
    friend bool GetWindowPlacement(TCustomForm*, TWindowPlacement&);
    friend bool SetWindowPlacement(TCustomForm*, const TWindowPlacement&);
    friend class TScreen;
    friend class TApplication;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// The dialog seam: modal forms are shown through it. The layer installs a
// Qt implementation; tests install the scripted one of platform/testing.
class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Runs Form modally and answers its modal result.
    virtual int ShowModal(TCustomForm* Form) = 0;
    // Runs a common dialog (open, save, colour, font, print, page set-up)
    // and answers whether it was confirmed; Qt's dialogs unless overridden
    // (Dialogs.cpp).
    virtual bool ExecuteDialog(TCommonDialog* Dialog);
};
// Installs a service and returns the one it replaces (nullptr: the Qt one).
IDialogService* SetDialogService(IDialogService* Service);
IDialogService* DialogService();

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Creates the Qt application and installs the Qt message boxes.
    void Initialize();
    // Runs the message loop until the main form closes or Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    void ProcessMessages();

    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }

    // Activation (Activation.cpp): the program has the activation. Losing it
    // deactivates the active form, which keeps its place; every form gets
    // WM_ACTIVATEAPP. The layer sets it from the desktop; tests may too.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Hints (Hints.cpp): the pause before a hint, the shorter one from a
    // shown hint to the next, how long a hint stays (milliseconds).
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    // Shows at once the hint of the control under CursorPos (screen).
    void ActivateHint(const TPoint& CursorPos);
    // Hides the hint and forgets its control.
    void CancelHint();
    // The window that shows hints, once one has been shown.
    THintWindow* HintWindow() const;

    // Requests to end the program: SIGTERM and SIGINT (EndSignals.h) and
    // RequestEnd. At the first, the modal forms are cancelled as their user
    // would cancel them (a form may still ask, and a form that refuses stays),
    // the message boxes open now answer their cancel answer, and the main
    // form closes once no modal form is left. From the second on, modal forms
    // close whatever they answer and every message box answers its cancel
    // answer unseen. A modal form asked for after a request is not shown.
    void RequestEnd();
    int EndRequests() const;
    bool Ending() const { return EndRequests() > 0; }
    // Tests start afresh.
    void ForgetEndRequests();

    // The top-level handler: called inside a catch block at every event
    // boundary. OnException, when set, takes the error; otherwise it is shown.
    void HandleException(TObject* Sender);
    // The program's windows as one: minimised when its main form is.
    void Minimize();
    bool Minimized() const;
    // A message box with the title and the error icon.
    void ShowException(const Exception& E);
    TExceptionEvent OnException;

private:
    // Wakes the loops and closes the message boxes open now.
    void EndRequestsChanged();
    AnsiString FTitle;
    TCustomForm* FMainForm = nullptr;
    int FEndRequests = 0;
    TColor FHintColor = clInfoBk;
    bool FTerminated = false;
    bool FActive = true;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
};
extern TApplication* Application;

class TScreen {
public:
    int PixelsPerInch() const { return 96; }
    // The primary screen.
    int Width() const;
    int Height() const;
    // The screens there are now, the primary first; the work area leaves out
    // the desktop's panels.
    int MonitorCount() const;
    TRect MonitorBounds(int Index) const;
    TRect MonitorWorkArea(int Index) const;
    TRect WorkAreaRect() const { return MonitorWorkArea(0); }
    // The form that has or last had the activation, or nullptr. Setting it
    // sends WM_ACTIVATE to the form that loses the activation and to the
    // one that takes it (Activation.cpp).
    TCustomForm* ActiveForm() const { return FActiveForm; }
    void SetActiveForm(TCustomForm* Form);
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return ListItem(FForms, Index); }
    // The font families installed.
    std::vector<AnsiString> Fonts() const;

    // Cursors (Cursors.cpp). The cursors by id: the standard ids and those
    // registered, which then belong to the screen; an unknown id gives the
    // arrow.
    HCURSOR Cursors(TCursor Id) const;
    void SetCursors(TCursor Id, HCURSOR Cursor);
    // One cursor over the whole program (crHourGlass while it works);
    // crDefault leaves each control its own.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

private:
    TCustomForm* FActiveForm = nullptr;
    std::vector<TCustomForm*> FForms;
    TCursor FCursor = crDefault;
    std::map<TCursor, std::shared_ptr<const TCursorImage>> FCursors;
    friend class TCustomForm;
};
extern TScreen* Screen;
// The screen object, also while static objects are being made.
TScreen* ScreenInstance();

// The system colours change (index, RGB colour): every form hears it with
// CM_SYSCOLORCHANGE, and through it every control, as when the desktop's
// colours change. A change of the Qt application's palette tells them too.
void SetSysColors(std::initializer_list<std::pair<int, TColor>> Colors);
