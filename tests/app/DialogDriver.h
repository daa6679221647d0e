// Driving the program's windows as a user does: the window shown offscreen,
// text typed key by key, keys pressed on a control or in a window, and the
// scripted answers that hand back the result the window closed with.
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

// Presses Key in the control of Form that has the focus (or the window
// itself), as a real key press and release, then takes one step of the
// modal loop: a modal result is offered to the window's closing, which may
// keep the window.
inline void PressInWindow(TCustomForm* Form, Qt::Key Key, const QString& Text = {}) {
    QWidget* target = Form->ActiveControl() ? Form->ActiveControl()->Widget() : Form->Widget();
    QKeyEvent down(QEvent::KeyPress, Key, Qt::NoModifier, Text);
    QKeyEvent up(QEvent::KeyRelease, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
    QApplication::processEvents();
    if (Form->ModalResult() != mrNone) Form->CloseModal();
}

// Types the digit C in Form.
inline void TypeDigit(TCustomForm* Form, char C) {
    PressInWindow(Form, Qt::Key(Qt::Key_0 + (C - '0')), QString(QChar(C)));
}

// A scripted answer for a modal window of type T: the window shows, Script
// acts on it, and the answer is the result its closing left, mrNone for a
// window still open.
template <class T> std::function<int(TCustomForm*)> Play(std::function<void(T&)> Script) {
    return [Script](TCustomForm* Form) {
        auto* window = dynamic_cast<T*>(Form);
        EXPECT_NE(window, nullptr) << Form->Name();
        if (!window) return int(mrCancel);
        Form->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form->Widget()));
        Pump();
        Script(*window);
        Pump();
        const int result = Form->ModalResult();
        Form->Hide();
        return result;
    };
}

// As Play, for a user who closes the window: one left open fails the test.
template <class T> std::function<int(TCustomForm*)> AsUser(std::function<void(T&)> Acts) {
    return [play = Play<T>(std::move(Acts))](TCustomForm* Form) {
        const int result = play(Form);
        EXPECT_NE(result, mrNone) << Form->Name() << " was left open";
        return result == mrNone ? int(mrCancel) : result;
    };
}
