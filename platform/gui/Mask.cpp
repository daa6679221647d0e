// The masked edit on a Qt line edit, and the platform's beep.
#include "platform/gui/Mask.h"

#include <QApplication>
#include <QLineEdit>

#include "platform/gui/QtSupport_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultEditWidth = 121;
constexpr int DefaultEditHeight = 21;
// The longest text a line edit holds when the control sets no limit.
constexpr int UnlimitedLength = 32767;

int gBeeps = 0;

QLineEdit* EditOf(const TCustomMaskEdit* Edit) {
    return static_cast<QLineEdit*>(Edit->Widget());
}
} // namespace

void Beep() {
    ++gBeeps;
    EnsureQtApplication();
    QApplication::beep();
}

int BeepCount() {
    return gBeeps;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, DefaultEditWidth, DefaultEditHeight);
}

QWidget* TCustomMaskEdit::CreateWidget() {
    auto* edit = new QLineEdit(QtString(Text()));
    edit->setReadOnly(FReadOnly);
    edit->setMaxLength(FMaxLength ? FMaxLength : UnlimitedLength);
    QObject::connect(edit, &QLineEdit::textChanged,
                     [this](const QString&) { CallAtEventBoundary(this, [this] { TextEdited(); }); });
    return edit;
}

void TCustomMaskEdit::TextEdited() {
    if (FSyncing) return;
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    SetText(FromQtString(EditOf(this)->text()));
    Change();
}

void TCustomMaskEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        if (!FSyncing) {
            // A new widget takes the text when it is made.
            if (HandleAllocated()) {
                FSyncing = true;
                TScopeGuard end([this] { FSyncing = false; });
                EditOf(this)->setText(QtString(Text()));
            }
            Change();
        }
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        return;
    // The clipboard and the undo history live in the widget.
    case WM_CUT:
        if (!FReadOnly) EditOf(this)->cut();
        return;
    case WM_COPY:
        EditOf(this)->copy();
        return;
    case WM_PASTE:
        if (!FReadOnly) EditOf(this)->paste();
        return;
    case WM_CLEAR:
        if (!FReadOnly) EditOf(this)->del();
        return;
    case WM_UNDO:
    case EM_UNDO:
        if (!FReadOnly) EditOf(this)->undo();
        Message.Result = 1;
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomMaskEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (HandleAllocated()) EditOf(this)->setReadOnly(Value);
}

void TCustomMaskEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (HandleAllocated()) EditOf(this)->setMaxLength(FMaxLength ? FMaxLength : UnlimitedLength);
}

int TCustomMaskEdit::SelStart() const {
    QLineEdit* edit = EditOf(this);
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

int TCustomMaskEdit::SelLength() const {
    return int(EditOf(this)->selectedText().size());
}

void TCustomMaskEdit::SetSelStart(int Value) {
    EditOf(this)->setCursorPosition(Value);
}

void TCustomMaskEdit::SetSelLength(int Value) {
    QLineEdit* edit = EditOf(this);
    edit->setSelection(edit->cursorPosition(), Value);
}

void TCustomMaskEdit::SelectAll() {
    EditOf(this)->selectAll();
}
