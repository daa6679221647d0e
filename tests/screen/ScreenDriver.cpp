// The screen driver: the script's thread, calls run on the GUI thread,
// waiting for what the screen shows, and X input through xdotool.
#include "ScreenDriver.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include "platform/canvas/QtCanvasSupport.h"

extern char** environ;

namespace {
std::atomic<bool> gProgramEnded{false};

QMessageBox* ShownMessageBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}
} // namespace

int TScreenDriver::Run(const std::function<int()>& Program,
                       const std::function<void(TScreenDriver&)>& Script) {
    // The application exists before the script asks anything of it.
    EnsureGuiApplication();
    gProgramEnded = false;
    std::thread script([&] {
        try {
            Script(*this);
        } catch (const TStop&) {
            CloseEverything();
        }
    });
    int result = -1;
    try {
        result = Program();
    } catch (...) {
        ADD_FAILURE() << "the program raised an exception";
    }
    gProgramEnded = true;
    script.join();
    return result;
}

void TScreenDriver::OnGui(const std::function<void()>& Fn) {
    auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> result = done->get_future();
    QMetaObject::invokeMethod(
        qApp,
        [Fn, done] {
            try {
                Fn();
                done->set_value(true);
            } catch (...) {
                done->set_value(false);
            }
        },
        Qt::QueuedConnection);
    while (result.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
        if (gProgramEnded) {
            ADD_FAILURE() << "the program ended while the road went on";
            throw TStop{};
        }
    if (!result.get()) {
        ADD_FAILURE() << "a look at the screen raised an exception";
        throw TStop{};
    }
}

void TScreenDriver::WaitFor(const std::string& What, const std::function<bool()>& Condition, double Seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(Seconds);
    for (;;) {
        bool holds = false;
        OnGui([&] { holds = Condition(); });
        if (holds) return;
        if (std::chrono::steady_clock::now() > until) {
            std::string shown;
            OnGui([&] { shown = OnScreen(); });
            ADD_FAILURE() << "waited in vain for " << What << "; on the screen: " << shown;
            throw TStop{};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

unsigned long TScreenDriver::WindowId(TCustomForm* Form) {
    return Form->HandleAllocated() ? (unsigned long)Form->Widget()->winId() : 0;
}

unsigned long TScreenDriver::XFocus() {
    FILE* out = popen("xdotool getwindowfocus 2>/dev/null", "r");
    if (!out) return 0;
    unsigned long id = 0;
    if (std::fscanf(out, "%lu", &id) != 1) id = 0;
    pclose(out);
    return id;
}

void TScreenDriver::WaitForFocus(const std::string& What, const std::function<unsigned long()>& Window) {
    // Keys sent before the window system gives the window the focus would
    // go elsewhere.
    WaitFor(What, [&] { return Window() != 0; });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        unsigned long wanted = 0;
        OnGui([&] { wanted = Window(); });
        if (wanted != 0 && XFocus() == wanted) return;
        if (std::chrono::steady_clock::now() > until) {
            std::string shown;
            OnGui([&] { shown = OnScreen(); });
            ADD_FAILURE() << "the window system never gave the focus to " << What << " (window " << wanted
                          << ", the focus on " << XFocus() << "); on the screen: " << shown;
            throw TStop{};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

TScreenDriver::TBox TScreenDriver::WaitForMessageBox(const std::string& What) {
    TBox box;
    WaitForFocus(What, [&]() -> unsigned long {
        QMessageBox* shown = ShownMessageBox();
        if (!shown || !shown->isActiveWindow()) return 0;
        box.Text = shown->text();
        box.Title = shown->windowTitle();
        box.Buttons.clear();
        for (QAbstractButton* b : shown->buttons())
            box.Buttons.push_back(b->text());
        return (unsigned long)shown->winId();
    });
    return box;
}

void TScreenDriver::WaitForNoMessageBox(const std::string& What) {
    WaitFor(What, [] { return ShownMessageBox() == nullptr; });
}

TCustomForm* TScreenDriver::ActiveForm() {
    QWidget* active = QApplication::activeWindow();
    QWidget* modal = QApplication::activeModalWidget();
    if (!active || (modal && modal != active)) return nullptr;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (form->HandleAllocated() && form->Widget() == active && form->Visible()) return form;
    }
    return nullptr;
}

std::string TScreenDriver::OnScreen() {
    auto describe = [](QWidget* W) {
        return W ? std::string(W->metaObject()->className()) + " \"" + W->windowTitle().toStdString() + "\""
                 : std::string("none");
    };
    TCustomForm* active = Screen->ActiveForm();
    return "active window " + describe(QApplication::activeWindow()) + ", modal " +
           describe(QApplication::activeModalWidget()) + ", focus " + describe(QApplication::focusWidget()) +
           ", active form " + (active ? std::string(active->Name()) : std::string("none"));
}

bool TScreenDriver::Alive(const TCustomForm* Form) {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == Form) return true;
    return false;
}

QWidget* TScreenDriver::FocusWidget() {
    return QApplication::focusWidget();
}

void TScreenDriver::Key(const std::string& Keys) {
    std::vector<std::string> arguments{"xdotool", "key", "--delay", "40"};
    std::size_t from = 0;
    while (from < Keys.size()) {
        std::size_t to = Keys.find(' ', from);
        if (to == std::string::npos) to = Keys.size();
        if (to > from) arguments.push_back(Keys.substr(from, to - from));
        from = to + 1;
    }
    RunTool(arguments);
}

void TScreenDriver::Type(const QString& Text) {
    RunTool({"xdotool", "type", "--delay", "100", "--", Text.toStdString()});
}

void TScreenDriver::Click(TControl* Control, int X, int Y) {
    ClickAt(ScreenPoint(Control, X, Y));
}

void TScreenDriver::Drag(TControl* Control, QPoint From, QPoint To) {
    const QPoint from = ScreenPoint(Control, From.x(), From.y());
    const QPoint to = ScreenPoint(Control, To.x(), To.y());
    RunTool({"xdotool", "mousemove", "--sync", std::to_string(from.x()), std::to_string(from.y()),
             "mousedown", "1"});
    // Through a point between, as a hand moves.
    RunTool({"xdotool", "mousemove", "--sync", std::to_string((from.x() + to.x()) / 2),
             std::to_string((from.y() + to.y()) / 2)});
    RunTool(
        {"xdotool", "mousemove", "--sync", std::to_string(to.x()), std::to_string(to.y()), "mouseup", "1"});
}

void TScreenDriver::Wheel(TControl* Control, bool Down) {
    const QPoint at = ScreenPoint(Control, -1, -1);
    RunTool({"xdotool", "mousemove", "--sync", std::to_string(at.x()), std::to_string(at.y()), "click",
             Down ? "5" : "4"});
}

QPoint TScreenDriver::ScreenPoint(TControl* Control, int X, int Y) {
    QPoint at;
    OnGui([&] {
        TWinControl* host = dynamic_cast<TWinControl*>(Control);
        QPoint local(X >= 0 ? X : Control->Width() / 2, Y >= 0 ? Y : Control->Height() / 2);
        // A control without a window of its own lies in its parent's.
        if (!host) {
            host = Control->Parent();
            local += QPoint(Control->Left(), Control->Top());
        }
        at = host->Widget()->mapToGlobal(local);
    });
    return at;
}

void TScreenDriver::ClickAt(QPoint At) {
    RunTool({"xdotool", "mousemove", "--sync", std::to_string(At.x()), std::to_string(At.y()), "click", "1"});
}

void TScreenDriver::ChooseMenu(TCustomForm* Form, const QString& Menu, const QString& Item) {
    auto actionAt = [](QWidget* Owner, const QString& Text, QPoint& At) {
        for (QAction* a : Owner->actions()) {
            if (QString(a->text()).remove('&') != Text) continue;
            QRect r = qobject_cast<QMenuBar*>(Owner) ? static_cast<QMenuBar*>(Owner)->actionGeometry(a)
                                                     : static_cast<QMenu*>(Owner)->actionGeometry(a);
            At = Owner->mapToGlobal(r.center());
            return true;
        }
        return false;
    };
    QPoint at;
    WaitFor("the menu " + Menu.toStdString(), [&] {
        auto* bar = Form->Widget()->findChild<QMenuBar*>();
        return bar && actionAt(bar, Menu, at);
    });
    ClickAt(at);
    WaitFor("the item " + Item.toStdString(), [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return popup && actionAt(popup, Item, at);
    });
    ClickAt(at);
}

void TScreenDriver::RunTool(const std::vector<std::string>& Arguments) {
    std::vector<char*> argv;
    for (const std::string& a : Arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << Arguments[0] << " could not be started";
        throw TStop{};
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << Arguments[0] << " " << Arguments[1] << " failed";
        throw TStop{};
    }
}

void TScreenDriver::CloseEverything() {
    // The program is asked to end; boxes are answered as a user who wants
    // out does. One that will not end is ended here.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!gProgramEnded && std::chrono::steady_clock::now() < until) {
        QMetaObject::invokeMethod(
            qApp,
            [] {
                Application->Terminate();
                if (QMessageBox* box = ShownMessageBox()) {
                    QAbstractButton* yes = box->button(QMessageBox::Yes);
                    if (yes)
                        yes->click();
                    else
                        box->reject();
                }
            },
            Qt::QueuedConnection);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    if (!gProgramEnded) {
        std::fprintf(stderr, "the program did not end after the road stopped\n");
        std::fflush(nullptr);
        std::_Exit(1);
    }
}
