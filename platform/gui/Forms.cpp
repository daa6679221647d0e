// Forms and their modal loop, the dialog and message box services on
// screen, the application object with its top-level handler, and the screen.
#include "platform/gui/Forms.h"

#include <exception>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <utility>

#include "platform/gui/QtEvents_p.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/EndSignals.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Module.h"

namespace {
// A new form's size, and the screen's when Qt knows no screen.
constexpr int DefaultFormWidth = 320;
constexpr int DefaultFormHeight = 240;
constexpr int FallbackScreenWidth = 1024;
constexpr int FallbackScreenHeight = 768;

void WakeEventLoop() {
    if (auto* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

// A modal window on screen belongs to the window that was active when it
// came: the window manager keeps it above that one, and that one takes the
// activation back when it goes, rather than no window at all having the
// keyboard.
class TWindowReturn {
public:
    explicit TWindowReturn(QWidget* Modal) : FBefore(QApplication::activeWindow()) {
        if (FBefore == Modal) FBefore = nullptr;
        Modal->winId();
        QWindow* window = Modal->windowHandle();
        if (window && FBefore && FBefore->windowHandle()) {
            FWindow = window;
            FWindow->setTransientParent(FBefore->windowHandle());
        }
    }
    void Return() {
        if (FWindow) FWindow->setTransientParent(nullptr);
        QWidget* modal = QApplication::activeModalWidget();
        if (FBefore && FBefore->isVisible() && (!modal || modal == FBefore)) FBefore->activateWindow();
    }

private:
    QPointer<QWidget> FBefore;
    QPointer<QWindow> FWindow;
};

// The message boxes on screen, the innermost last.
std::vector<QMessageBox*>& OpenMessageBoxes() {
    static std::vector<QMessageBox*> boxes;
    return boxes;
}

// Modal forms on screen: a local event loop until the form has a modal
// result or is hidden.
class TQtDialogsImpl : public IDialogService {
public:
    int ShowModal(TCustomForm* Form) override {
        QWidget* w = Form->Widget();
        w->setWindowModality(Qt::ApplicationModal);
        TWindowReturn back(w);
        // The window goes away however the loop ends, a failed OnShow or
        // OnActivate included, so it never blocks the rest of the program.
        TScopeGuard end([&] {
            Form->SetVisible(false);
            w->setWindowModality(Qt::NonModal);
            back.Return();
        });
        // A form is not shown once a request to end came (ShowModal), so every
        // request counts here, also one that came while it was being shown.
        int endRequests = 0;
        bool force = false;
        Form->SetVisible(true);
        while (w->isVisible()) {
            if (Application->Terminated()) Form->SetModalResult(mrCancel);
            // Each new request to end is one cancel; from the second on the
            // form closes whatever it answers.
            if (Application->EndRequests() > endRequests) {
                endRequests = Application->EndRequests();
                force = endRequests > 1;
                Form->SetModalResult(mrCancel);
            }
            if (Form->ModalResult() != mrNone) {
                Form->CloseModal();
                if (Form->ModalResult() != mrNone) break;
                if (force) {
                    Form->SetModalResult(mrCancel);
                    break;
                }
                continue;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return Form->ModalResult();
    }
};

IDialogService* gDialogs = nullptr;

IDialogService* QtDialogs() {
    static TQtDialogsImpl dialogs;
    return &dialogs;
}

// Message boxes on screen.
class TQtMessageBoxes : public IMessageBoxService {
public:
    int Show(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) override {
        EnsureQtApplication();
        SendCancelMode();
        QMessageBox box;
        box.setWindowTitle(QtString(Caption));
        box.setText(QtString(Text));
        switch (Flags & MB_ICONMASK) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        struct TButton {
            int Id;
            QMessageBox::StandardButton Qt;
        };
        static const std::vector<TButton> sets[] = {
            {{IDOK, QMessageBox::Ok}},
            {{IDOK, QMessageBox::Ok}, {IDCANCEL, QMessageBox::Cancel}},
            {{IDABORT, QMessageBox::Abort}, {IDRETRY, QMessageBox::Retry}, {IDIGNORE, QMessageBox::Ignore}},
            {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}, {IDCANCEL, QMessageBox::Cancel}},
            {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}},
            {{IDRETRY, QMessageBox::Retry}, {IDCANCEL, QMessageBox::Cancel}}};
        unsigned type = Flags & MB_TYPEMASK;
        const auto& buttons = sets[type <= MB_RETRYCANCEL ? type : MB_OK];
        int def = DefaultMessageBoxAnswer(Flags);
        // Closed without a button: the box's cancel answer.
        auto cancelAnswer = [&] {
            for (int id : {IDCANCEL, IDNO, IDIGNORE})
                for (const TButton& b : buttons)
                    if (b.Id == id) return id;
            return def;
        };
        // A program told twice to end asks nothing more.
        if (Application->EndRequests() > 1) return cancelAnswer();
        for (const TButton& b : buttons) {
            box.addButton(b.Qt);
            if (b.Id == def) box.setDefaultButton(b.Qt);
        }
        TWindowReturn back(&box);
        auto& open = OpenMessageBoxes();
        open.push_back(&box);
        TScopeGuard closed([&] { open.erase(std::find(open.begin(), open.end(), &box)); });
        int pressed = box.exec();
        back.Return();
        for (const TButton& b : buttons)
            if (b.Qt == pressed) return b.Id;
        return cancelAnswer();
    }
};

} // namespace

IDialogService* SetDialogService(IDialogService* Service) {
    IDialogService* old = gDialogs;
    gDialogs = Service;
    return old;
}

IDialogService* DialogService() {
    return gDialogs ? gDialogs : QtDialogs();
}

// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)) {
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    SetColor(clBtnFace);
    SetBounds(0, 0, DefaultFormWidth, DefaultFormHeight);
    Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
    if (OnDestroy) CallAtEventBoundary(this, [&] { OnDestroy(this); });
    auto& forms = Screen->FForms;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->FActiveForm == this) Screen->FActiveForm = nullptr;
    for (TCustomForm* f : forms)
        if (f->FWindowOwner == this) f->FWindowOwner = nullptr;
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        break;
    case WM_SYSCOMMAND:
        switch (unsigned(Message.WParam) & 0xFFF0) {
        case SC_MINIMIZE:
            SetWindowState(TWindowState::wsMinimized);
            break;
        case SC_MAXIMIZE:
            SetWindowState(TWindowState::wsMaximized);
            break;
        case SC_RESTORE:
            SetWindowState(TWindowState::wsNormal);
            break;
        default:
            break;
        }
        break;
    case CM_SHOWINGCHANGED:
        if (Showing())
            DoShow();
        else
            DoHide();
        break;
    case CM_DIALOGKEY:
        if (Message.WParam == VK_TAB && !(GetShiftState() & ssCtrl)) {
            SelectNext(FActiveControl, !(GetShiftState() & ssShift), true);
            Message.Result = 1;
            break;
        }
        TWinControl::Dispatch(Message);
        // Escape that no Cancel button took closes only a form that asks so.
        if (!Message.Result && Message.WParam == VK_ESCAPE && CloseOnEscape &&
            KeyDataToShiftState(Message.LParam) == 0) {
            Close();
            Message.Result = 1;
        }
        break;
    case CM_FOCUSCHANGED: {
        TMessage copy = Message;
        Broadcast(copy);
        break;
    }
    case WM_ACTIVATE:
        Activated(unsigned(Message.WParam & LowWordMask) != WA_INACTIVE,
                  reinterpret_cast<TCustomForm*>(Message.LParam));
        break;
    case CM_ACTIVATE:
        Activate();
        break;
    case CM_DEACTIVATE:
        Deactivate();
        break;
    default:
        TWinControl::Dispatch(Message);
    }
}

void TCustomForm::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (Value) ApplyPosition();
    // A state chosen while hidden is the window's when it shows.
    if (Value && FWindowState != TWindowState::wsNormal) ApplyWindowState();
    // Showing makes the window; a form never shown needs none to hide.
    if (Value || HandleAllocated()) Widget()->setVisible(Value);
    // The control chosen while hidden takes the window's focus, not the
    // first one in Qt's focus chain.
    if (Value) Widget()->setAttribute(Qt::WA_KeyboardFocusChange);
    if (Value && FActiveControl && !FActiveControl->Widget()->hasFocus())
        FActiveControl->Widget()->setFocus();
    if (!Value) FNoActivatePending = false;
    if (Value && !RefusesActivation()) {
        // A window shown to take the activation brings the program's too.
        Application->SetActive(true);
        Screen->SetActiveForm(this);
    } else if (!Value && Screen->ActiveForm() == this)
        Screen->SetActiveForm(nullptr);
    Perform(CM_VISIBLECHANGED, Value, 0);
}

int TCustomForm::ShowModal() {
    if (FVisible || FModal) throw EInvalidOperation("Cannot make a visible window modal");
    // The program is ending: nothing new is asked.
    if (Application->Ending()) return FModalResult = mrCancel;
    SendCancelMode();
    FModal = true;
    FModalResult = mrNone;
    TScopeGuard end([this] { FModal = false; });
    int result = DialogService()->ShowModal(this);
    FModalResult = result;
    return result;
}

void TCustomForm::SetModalResult(int Value) {
    FModalResult = Value;
    if (FModal && Value != mrNone) WakeEventLoop();
}

void TCustomForm::CloseModal() {
    CallAtEventBoundary(this, [this] {
        TCloseAction action = TCloseAction::caNone;
        // An error leaves the form open.
        int result = std::exchange(FModalResult, mrNone);
        if (CloseQuery()) {
            action = TCloseAction::caHide;
            if (OnClose) OnClose(this, action);
        }
        if (action != TCloseAction::caNone) FModalResult = result;
        if (action == TCloseAction::caFree) Release();
    });
}

void TCustomForm::Close() {
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caHide || action == TCloseAction::caFree) Hide();
    if (action == TCloseAction::caFree) Release();
    if (Application->MainForm() == this && action != TCloseAction::caNone) Application->Terminate();
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Release() {
    if (FReleased) return;
    FReleased = true;
    if (HandleAllocated()) Widget()->hide();
    // Freed once the event that asked for it has been handled.
    FreeAfterEvent(this);
}

bool TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control == FActiveControl) return true;
    if (Control && (!ContainsControl(Control) || !Control->CanFocus())) return false;
    TWinControl* old = FActiveControl;
    FActiveControl = Control;
    // The layer moves the focus itself (Tab, accelerators, a window that
    // chooses its control); Qt's styles draw the focus only in a window
    // marked as one where the keyboard moved it, which a click unmarks.
    if (HandleAllocated()) Widget()->setAttribute(Qt::WA_KeyboardFocusChange);
    // Handlers may move the focus on: each step checks it is still wanted.
    if (old) old->Perform(CM_EXIT, 0, 0);
    if (FActiveControl != Control) return false;
    // The keyboard focus moves with it while the form has the activation;
    // a form of its own, with no form active, behaves as active.
    if (FActive || !Screen->ActiveForm()) MoveFocus(Control);
    if (FActiveControl != Control) return false;
    if (Control) {
        Control->Perform(CM_ENTER, 0, 0);
        if (Showing() && FActiveControl == Control && !Control->Widget()->hasFocus())
            Control->Widget()->setFocus();
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
    return FActiveControl == Control;
}

void TCustomForm::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    std::vector<TWinControl*> list = TabOrderList();
    if (list.empty()) return;
    int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[std::size_t(i)] == CurControl) start = i;
    if (start < 0) start = GoForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[std::size_t(i)];
        if ((!CheckTabStop || c->TabStop()) && c->CanFocus()) {
            SetActiveControl(c);
            return;
        }
    }
}

void TCustomForm::SetWindowOwner(TCustomForm* Value) {
    if (Value == this) return;
    FWindowOwner = Value;
    // Kept above its owner without being reparented (which would hide it).
    QWindow* window = HandleAllocated() ? Widget()->windowHandle() : nullptr;
    QWindow* owner = Value && Value->HandleAllocated() ? Value->Widget()->windowHandle() : nullptr;
    if (window) window->setTransientParent(owner);
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    FFormStyle = Value;
    if (HandleAllocated()) ApplyWindowFlags(true, false);
}

void TCustomForm::SetTakesFocus(bool Value) {
    FTakesFocus = Value;
    if (HandleAllocated()) ApplyWindowFlags(false, true);
}

void TCustomForm::ApplyWindowFlags(bool Style, bool Focus) {
    QWidget* w = Widget();
    bool visible = w->isVisible();
    if (Style) w->setWindowFlag(Qt::WindowStaysOnTopHint, FFormStyle == TFormStyle::fsStayOnTop);
    if (Focus) {
        w->setAttribute(Qt::WA_ShowWithoutActivating, !FTakesFocus);
        w->setWindowFlag(Qt::WindowDoesNotAcceptFocus, !FTakesFocus);
    }
    // Changing the flags hides a window.
    if (visible) w->show();
}

void SetSysColors(std::initializer_list<std::pair<int, TColor>> Colors) {
    for (const auto& [index, color] : Colors)
        SetSysColor(index, color);
    NotifySysColorChange();
}

void TCustomForm::WidgetCreated() {
    TWinControl::WidgetCreated();
    ApplyBorder();
    WatchApplicationState();
    WatchSystemColors();
    // What was chosen before the window existed.
    bool style = FFormStyle == TFormStyle::fsStayOnTop, focus = !FTakesFocus;
    if (style || focus) ApplyWindowFlags(style, focus);
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

// TApplication

namespace {
TApplication& TheApplication() {
    static TApplication app;
    return app;
}
TScreen& TheScreen() {
    static TScreen screen;
    return screen;
}
} // namespace

TApplication* Application = &TheApplication();
TScreen* Screen = &TheScreen();

TScreen* ScreenInstance() {
    return &TheScreen();
}

TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() = default;

void TApplication::Initialize() {
    EnsureQtApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    static TQtMessageBoxes boxes;
    // A service a test installed stays in place.
    IMessageBoxService* previous = SetMessageBoxService(&boxes);
    if (previous) SetMessageBoxService(previous);
    if (FTitle.empty()) FTitle = ChangeFileExt(ExtractFileName(GetModuleFileName()), "");
    // Requests to end from outside reach the loops through this descriptor.
    static QSocketNotifier* endSignals = nullptr;
    if (!endSignals && EndSignalWakeupFd() >= 0) {
        endSignals =
            new QSocketNotifier(EndSignalWakeupFd(), QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(endSignals, &QSocketNotifier::activated, [this] {
            DrainEndSignalWakeups();
            EndRequestsChanged();
        });
    }
}

void TApplication::Run() {
    EnsureQtApplication();
    if (FMainForm) FMainForm->Show();
    while (!FTerminated && FMainForm) {
        // The modal forms of a request to end have closed by the time the
        // loop gets here: the main form closes as its user closes it, hidden
        // or not, and the program ends even if it would stay.
        if (Ending()) {
            FMainForm->Close();
            Terminate();
            break;
        }
        if (!FMainForm->Visible()) break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void TApplication::RequestEnd() {
    ++FEndRequests;
    EndRequestsChanged();
}

int TApplication::EndRequests() const {
    return FEndRequests + EndSignalCount();
}

void TApplication::ForgetEndRequests() {
    FEndRequests = 0;
    ForgetEndSignals();
}

void TApplication::EndRequestsChanged() {
    if (!Ending()) return;
    // Each box answers its cancel answer; the innermost first, so that the
    // loops unwind in order.
    std::vector<QMessageBox*> open = OpenMessageBoxes();
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        (*it)->done(QDialog::Rejected);
    WakeEventLoop();
}

void TApplication::Terminate() {
    FTerminated = true;
    WakeEventLoop();
}

void TApplication::ProcessMessages() {
    EnsureQtApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleException(TObject* Sender) {
    auto show = [&](const Exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    };
    // Only meaningful inside a handler; elsewhere there is nothing to report.
    if (!std::current_exception()) return;
    try {
        throw;
    } catch (const Exception& e) {
        show(e);
    } catch (const std::exception& e) {
        show(Exception(e.what()));
    } catch (...) {
        show(Exception("Unknown error"));
    }
}

void TApplication::ShowException(const Exception& E) {
    MessageBox(E.Message, FTitle, MB_OK | MB_ICONERROR);
}

// TScreen

int TScreen::Width() const {
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : FallbackScreenWidth;
}

int TScreen::Height() const {
    EnsureQtApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : FallbackScreenHeight;
}

std::vector<AnsiString> TScreen::Fonts() const {
    EnsureQtApplication();
    std::vector<AnsiString> names;
    for (const QString& family : QFontDatabase::families())
        names.push_back(FromQtString(family));
    return names;
}
