// Drives the program's windows on a real X server as a user does: keys and
// mouse clicks go through the window system (xdotool's XTEST input), never
// through the controls' methods. The program runs on the GUI thread; a
// script runs on a thread of its own, sends input, and looks at what the Qt
// widgets show through calls run on the GUI thread. Each window of the road
// is a small step here, so later windows join the same road.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/Forms.h"

class QWidget;

class TScreenDriver {
public:
    // Runs Program (which runs the message loop) on this thread and Script
    // on a thread of its own; answers the program's result. A step that
    // fails ends the script, and the driver closes the program's windows.
    int Run(const std::function<int()>& Program, const std::function<void(TScreenDriver&)>& Script);

    // Runs Fn on the GUI thread and waits for it.
    void OnGui(const std::function<void()>& Fn);
    template <class T> T OnGui(const std::function<T()>& Fn) {
        T result{};
        OnGui([&] { result = Fn(); });
        return result;
    }

    // Waits until Condition (run on the GUI thread) holds; after Seconds the
    // test fails with What and the script ends.
    void WaitFor(const std::string& What, const std::function<bool()>& Condition, double Seconds = 20);
    // Waits for a shown, active window of type T that has the window
    // system's keyboard focus, and answers it.
    template <class T> T* WaitForWindow(const std::string& What) {
        T* found = nullptr;
        WaitForFocus(What, [&] {
            found = dynamic_cast<T*>(ActiveForm());
            return found ? WindowId(found) : 0;
        });
        return found;
    }
    // Waits until Window (run on the GUI thread; 0 for none yet) names the
    // window that has the window system's keyboard focus.
    void WaitForFocus(const std::string& What, const std::function<unsigned long()>& Window);
    static unsigned long WindowId(TCustomForm* Form);
    // Waits for a message box; answers its text and its buttons' texts.
    struct TBox {
        QString Text;
        QString Title;
        std::vector<QString> Buttons;
    };
    TBox WaitForMessageBox(const std::string& What);
    // Waits until no message box or modal window of type T is shown.
    void WaitForNoMessageBox(const std::string& What);

    // Input through the window system. Keys are xdotool's key names
    // ("Return", "ctrl+t", "Escape", "alt+F4"); Text is typed as a
    // keyboard sends it.
    void Key(const std::string& Keys);
    void Type(const QString& Text);
    // A left click in the middle of Control (or at X, Y of its client area).
    void Click(TControl* Control, int X = -1, int Y = -1);
    // A left-button drag in Control's client area, From to To.
    void Drag(TControl* Control, QPoint From, QPoint To);
    // One notch of the wheel over the middle of Control.
    void Wheel(TControl* Control, bool Down);
    // Chooses Item of the menu Menu in the menu bar of Form, with clicks.
    void ChooseMenu(TCustomForm* Form, const QString& Menu, const QString& Item);

    // The form that is active, shown, on the GUI thread.
    static TCustomForm* ActiveForm();
    // Form still exists (it may have been freed since it was seen).
    static bool Alive(const TCustomForm* Form);
    // The widget with the keyboard focus, on the GUI thread.
    static QWidget* FocusWidget();
    // What the screen shows, for a failure's message, on the GUI thread.
    static std::string OnScreen();

    // Ends the script: a step failed.
    struct TStop {};

private:
    void RunTool(const std::vector<std::string>& Arguments);
    // The X window that has the keyboard focus.
    unsigned long XFocus();
    void ClickAt(QPoint At);
    QPoint ScreenPoint(TControl* Control, int X, int Y);
    // Closes whatever the program shows, so that it ends.
    void CloseEverything();
};
