// Driving the program's dialogs as a user does: the window shown offscreen,
// text typed key by key, keys pressed on a control, and the scripted answer
// that hands back the result the window closed with.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>
#include <functional>

#include "platform/gui/Forms.h"

inline void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Types Utf8 into Control, which takes the focus first, one character at a
// time as a keyboard sends them.
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

// Presses Key on Control, which has the focus.
inline void Press(TWinControl* Control, Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    Control->SetFocus();
    Pump();
    QTest::keyClick(Control->Widget(), Key, Modifiers);
    Pump();
}

// A scripted answer for a modal window of type T: the window shows, the
// user acts on it, and the answer is what the window closed with. A window
// the user left open fails the test.
template <class T> std::function<int(TCustomForm*)> AsUser(std::function<void(T&)> Acts) {
    return [Acts](TCustomForm* Form) {
        auto* window = dynamic_cast<T*>(Form);
        EXPECT_NE(window, nullptr) << Form->Name();
        if (!window) return int(mrCancel);
        Form->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form->Widget()));
        Pump();
        Acts(*window);
        Pump();
        const int result = Form->ModalResult();
        Form->Hide();
        EXPECT_NE(result, mrNone) << Form->Name() << " was left open";
        return result == mrNone ? int(mrCancel) : result;
    };
}
