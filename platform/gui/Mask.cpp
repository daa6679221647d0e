#include "platform/gui/Mask.h"

#include <QApplication>
#include <QLineEdit>

#include "platform/gui/QtSupport.h"

namespace {
int gBeeps = 0;

QLineEdit* NewLineEdit() {
    EnsureQtApplication();
    return new QLineEdit();
}
} // namespace

void Beep() {
    ++gBeeps;
    QApplication::beep();
}

int BeepCount() {
    return gBeeps;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TWinControl(AOwner, NewLineEdit()) {
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
    auto* edit = static_cast<QLineEdit*>(Widget());
    QObject::connect(edit, &QLineEdit::textChanged,
                     [this](const QString&) { CallAtEventBoundary(this, [this] { TextEdited(); }); });
}

void TCustomMaskEdit::TextEdited() {
    if (FSyncing) return;
    FSyncing = true;
    struct TEnd {
        bool& Flag;
        ~TEnd() { Flag = false; }
    } end{FSyncing};
    SetText(FromQtString(static_cast<QLineEdit*>(Widget())->text()));
    Change();
}

void TCustomMaskEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
    auto* edit = static_cast<QLineEdit*>(Widget());
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        if (!FSyncing) {
            FSyncing = true;
            edit->setText(QtString(Text()));
            FSyncing = false;
            Change();
        }
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        return;
    case WM_CUT:
        if (!FReadOnly) edit->cut();
        return;
    case WM_COPY:
        edit->copy();
        return;
    case WM_PASTE:
        if (!FReadOnly) edit->paste();
        return;
    case WM_CLEAR:
        if (!FReadOnly) edit->del();
        return;
    case WM_UNDO:
    case EM_UNDO:
        if (!FReadOnly) edit->undo();
        Message.Result = 1;
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomMaskEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    static_cast<QLineEdit*>(Widget())->setReadOnly(Value);
}

void TCustomMaskEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    static_cast<QLineEdit*>(Widget())->setMaxLength(FMaxLength ? FMaxLength : 32767);
}

int TCustomMaskEdit::SelStart() const {
    auto* edit = static_cast<QLineEdit*>(Widget());
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

int TCustomMaskEdit::SelLength() const {
    return int(static_cast<QLineEdit*>(Widget())->selectedText().size());
}

void TCustomMaskEdit::SetSelStart(int Value) {
    static_cast<QLineEdit*>(Widget())->setCursorPosition(Value);
}

void TCustomMaskEdit::SetSelLength(int Value) {
    auto* edit = static_cast<QLineEdit*>(Widget());
    edit->setSelection(edit->cursorPosition(), Value);
}

void TCustomMaskEdit::SelectAll() {
    static_cast<QLineEdit*>(Widget())->selectAll();
}
