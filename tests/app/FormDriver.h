// Scripted answers that play a modal window as a person would: the window
// shows (offscreen), the script presses keys in it, and the answer ends as
// the modal loop does, offering a modal result to the window's closing.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <functional>

#include "platform/gui/Forms.h"

// Presses Key in the control that has the focus (or the window itself), as
// a real key press and release, then takes one step of the modal loop.
inline void Press(TCustomForm* Form, Qt::Key Key, const QString& Text = {}) {
    QWidget* target = Form->ActiveControl() ? Form->ActiveControl()->Widget() : Form->Widget();
    QKeyEvent down(QEvent::KeyPress, Key, Qt::NoModifier, Text);
    QKeyEvent up(QEvent::KeyRelease, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
    QApplication::processEvents();
    // The loop offers a modal result to OnClose, which may keep the window.
    if (Form->ModalResult() != mrNone) Form->CloseModal();
}

// Types the digit C in the window.
inline void TypeDigit(TCustomForm* Form, char C) {
    Press(Form, Qt::Key(Qt::Key_0 + (C - '0')), QString(QChar(C)));
}

// Shows the modal window of type T, runs Script on it and answers the result
// its closing left.
template <class T> std::function<int(TCustomForm*)> Play(std::function<void(T&)> Script) {
    return [Script](TCustomForm* Form) {
        auto* typed = dynamic_cast<T*>(Form);
        EXPECT_NE(typed, nullptr) << Form->Name();
        if (!typed) return int(mrCancel);
        Form->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form->Widget()));
        Script(*typed);
        const int result = Form->ModalResult();
        Form->Hide();
        return result;
    };
}
