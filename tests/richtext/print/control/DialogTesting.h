// Driving the dialogs' windows and controls in the tests: windows shown
// offscreen, keys and characters sent as a keyboard sends them, and the
// language of the process chosen for one test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>
#include <functional>

#include "platform/gui/Forms.h"
#include "richtext/print/control/RVALocalize.h"

inline void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Shows Form offscreen and waits until it is on the screen.
inline void ShowWindow(TCustomForm& Form) {
    Form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
    Pump();
}

// Types Utf8 into Control, which takes the focus first.
inline void Type(TWinControl* Control, const char* Utf8) {
    Control->SetFocus();
    Pump();
    for (QChar c : QString::fromUtf8(Utf8)) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(Control->Widget(), &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(Control->Widget(), &release);
    }
    Pump();
}

// Clears Control's text as the user does (select all, delete).
inline void Erase(TWinControl* Control) {
    Control->SetFocus();
    Pump();
    QTest::keyClick(Control->Widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Control->Widget(), Qt::Key_Delete);
    Pump();
}

// Presses Key on Control, which takes the focus first.
inline void Press(TWinControl* Control, Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    Control->SetFocus();
    Pump();
    QTest::keyClick(Control->Widget(), Key, Modifiers);
    Pump();
}

// A scripted answer for a modal window of type T: the window shows
// offscreen, Script acts on it as the user would and the answer is Result.
template <class T> std::function<int(TCustomForm*)> Play(std::function<void(T&)> Script, int Result = mrOk) {
    return [Script, Result](TCustomForm* Form) {
        auto* window = dynamic_cast<T*>(Form);
        EXPECT_NE(window, nullptr) << Form->Name();
        if (!window) return int(mrCancel);
        Form->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form->Widget()));
        Pump();
        Script(*window);
        Pump();
        Form->Hide();
        return Result;
    };
}

// Selects a language of the process for one scope.
class TLanguageScope {
public:
    explicit TLanguageScope(const char* Name) : FOld(CurrentLanguageName()) { SelectLanguage(Name); }
    ~TLanguageScope() { SelectLanguage(FOld); }
    TLanguageScope(const TLanguageScope&) = delete;
    TLanguageScope& operator=(const TLanguageScope&) = delete;

private:
    TRVALanguageName FOld;
};
