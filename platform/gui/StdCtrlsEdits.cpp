// The one-line edit on a Qt line edit and the memo on a Qt plain-text edit:
// text, limits, password characters, letter case, selection, clipboard
// and undo, and a memo's lines.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QTextBlock>
#include <QTimer>
#include <QValidator>
#include <algorithm>

#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdCtrls_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultEditWidth = 121;
constexpr int DefaultEditHeight = 21;
constexpr int DefaultMemoWidth = 185;
constexpr int DefaultMemoHeight = 89;
// The longest text a line edit holds when the control sets no limit.
constexpr int UnlimitedLength = 32767;

// Shows every character of a password edit as the control's own.
class TPasswordStyle : public QProxyStyle {
public:
    explicit TPasswordStyle(QChar Char) : FChar(Char) {}
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override {
        if (Hint == SH_LineEdit_PasswordCharacter) return FChar.unicode();
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }

private:
    QChar FChar;
};

// Refuses a text with characters outside the program's code page when the
// edit asks for it, and tells the edit once the widget's change is undone.
class TCodePageValidator : public QValidator {
public:
    TCodePageValidator(TCustomEdit* Edit, QObject* Parent) : QValidator(Parent), FEdit(Edit) {}
    State validate(QString& Input, int&) const override {
        if (!FEdit->OnRefusedCharacters || QtString(FromQtString(Input)) == Input) return Acceptable;
        if (!FPending) {
            FPending = true;
            // Not inside the widget's own change: a message box may follow.
            QTimer::singleShot(0, this, [this] {
                FPending = false;
                CallAtEventBoundary(FEdit, [this] {
                    if (FEdit->OnRefusedCharacters) FEdit->OnRefusedCharacters(FEdit);
                });
            });
        }
        return Invalid;
    }

private:
    TCustomEdit* FEdit;
    mutable bool FPending = false;
};

QLineEdit* LineEditOf(const TCustomEdit* Edit) {
    return qobject_cast<QLineEdit*>(Edit->Widget());
}

QPlainTextEdit* MemoOf(const TCustomEdit* Edit) {
    return qobject_cast<QPlainTextEdit*>(Edit->Widget());
}

// The line edit's limit: the control's, or more for a longer text set in
// code. Setting a limit resets Qt's undo history, so only a new one is set.
void SetLimit(QLineEdit* Edit, int MaxLength, std::size_t TextLength) {
    int limit = std::max<int>(MaxLength ? MaxLength : UnlimitedLength, int(TextLength));
    if (Edit->maxLength() != limit) Edit->setMaxLength(limit);
}

// A memo's text with CR LF line breaks, as the platform gives it, and back.
AnsiString WithCrLf(const QString& Text) {
    AnsiString lf = FromQtString(Text);
    AnsiString out;
    out.reserve(lf.size());
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

QString WithLf(const AnsiString& Text) {
    AnsiString out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') continue;
        out += Text[i] == '\r' ? '\n' : Text[i];
    }
    return QtString(out);
}

// Positions in a memo count a line break as two characters (CR LF), Qt's as
// one.
int MemoToControlPos(QPlainTextEdit* Memo, int Pos) {
    return Pos + Memo->document()->findBlock(Pos).blockNumber();
}

int ControlToMemoPos(QPlainTextEdit* Memo, int Pos) {
    int lineStart = 0;
    for (QTextBlock b = Memo->document()->begin(); b.isValid(); b = b.next()) {
        int length = b.length() - 1; // without the break
        int next = lineStart + length + 2;
        if (Pos < next || !b.next().isValid()) return b.position() + std::clamp(Pos - lineStart, 0, length);
        lineStart = next;
    }
    return 0;
}
} // namespace

// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, DefaultEditWidth, DefaultEditHeight);
}

QWidget* TCustomEdit::CreateWidget() {
    auto* edit = new QLineEdit();
    QObject::connect(edit, &QLineEdit::textChanged, [this](const QString& Text) {
        CallAtEventBoundary(this, [&] { WidgetTextChanged(FromQtString(Text)); });
    });
    edit->setValidator(new TCodePageValidator(this, edit));
    return edit;
}

void TCustomEdit::WidgetCreated() {
    ApplyControlColors(Widget(), this, true);
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    if (QLineEdit* edit = LineEditOf(this)) {
        SetLimit(edit, FMaxLength, Text().size());
        edit->setText(QtString(Text()));
        edit->setReadOnly(FReadOnly);
        SetPasswordChar(FPasswordChar);
        ApplyAlignmentAndMargins();
    } else if (QPlainTextEdit* memo = MemoOf(this)) {
        memo->setPlainText(WithLf(Text()));
        memo->setReadOnly(FReadOnly);
    }
}

AnsiString TCustomEdit::CasedText(const AnsiString& Value) const {
    switch (FCharCase) {
    case TEditCharCase::ecUpperCase:
        return AnsiUpperCase(Value);
    case TEditCharCase::ecLowerCase:
        return AnsiLowerCase(Value);
    default:
        return Value;
    }
}

void TCustomEdit::WidgetTextChanged(const AnsiString& Value) {
    if (FSyncing) return;
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    AnsiString text = Value;
    if (QLineEdit* edit = LineEditOf(this)) {
        AnsiString cased = CasedText(text);
        if (cased != text) {
            int caret = edit->cursorPosition();
            edit->setText(QtString(cased));
            edit->setCursorPosition(caret);
            text = cased;
        }
        // A text set longer than the limit can only be shortened.
        SetLimit(edit, FMaxLength, text.size());
    } else if (MemoOf(this)) {
        text = WithCrLf(MemoOf(this)->toPlainText());
    }
    FModified = true;
    SetText(text);
    Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
    if (AutoSelect && HandleAllocated() && LineEditOf(this) && !(ControlState() & csLButtonDown))
        LineEditOf(this)->selectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        if (!FSyncing) {
            // Text set in code takes the case too, as the platform's edit
            // does; the cased text comes back here.
            if (AnsiString cased = CasedText(Text()); cased != Text()) {
                SetText(cased);
                break;
            }
            FModified = false;
            // A new widget takes the text when it is made.
            if (HandleAllocated()) {
                FSyncing = true;
                TScopeGuard end([this] { FSyncing = false; });
                if (QLineEdit* edit = LineEditOf(this)) {
                    SetLimit(edit, FMaxLength, Text().size());
                    edit->setText(QtString(Text()));
                } else if (QPlainTextEdit* memo = MemoOf(this)) {
                    memo->setPlainText(WithLf(Text()));
                }
            }
            Change();
        }
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        return;
    // The clipboard and the undo history live in the widget.
    case WM_CUT:
        if (!FReadOnly) {
            if (QLineEdit* edit = LineEditOf(this))
                edit->cut();
            else
                MemoOf(this)->cut();
        }
        return;
    case WM_COPY:
        if (QLineEdit* edit = LineEditOf(this))
            edit->copy();
        else
            MemoOf(this)->copy();
        return;
    case WM_PASTE:
        if (!FReadOnly) {
            if (QLineEdit* edit = LineEditOf(this))
                edit->paste();
            else
                MemoOf(this)->paste();
        }
        return;
    case WM_CLEAR:
        if (!FReadOnly) {
            if (QLineEdit* edit = LineEditOf(this))
                edit->del();
            else
                MemoOf(this)->textCursor().removeSelectedText();
        }
        return;
    case WM_UNDO:
    case EM_UNDO:
        if (!FReadOnly) {
            if (QLineEdit* edit = LineEditOf(this))
                edit->undo();
            else
                MemoOf(this)->undo();
        }
        Message.Result = 1;
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
    FollowControlColors(this, Message.Msg, true);
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (!HandleAllocated()) return;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setReadOnly(Value);
    else if (QPlainTextEdit* memo = MemoOf(this))
        memo->setReadOnly(Value);
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (!HandleAllocated()) return;
    if (QLineEdit* edit = LineEditOf(this)) SetLimit(edit, FMaxLength, Text().size());
}

void TCustomEdit::SetPasswordChar(char Value) {
    FPasswordChar = Value;
    if (!HandleAllocated()) return;
    QLineEdit* edit = LineEditOf(this);
    if (!edit) return;
    if (!Value) {
        edit->setEchoMode(QLineEdit::Normal);
        if (dynamic_cast<TPasswordStyle*>(edit->style())) edit->setStyle(nullptr);
        return;
    }
    auto* style = new TPasswordStyle(QtString(AnsiString(1, Value)).at(0));
    style->setParent(edit); // freed with the edit
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    AnsiString cased = CasedText(Text());
    if (cased != Text()) SetText(cased);
}

void TCustomEdit::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    if (HandleAllocated()) ApplyAlignmentAndMargins();
}

void TCustomEdit::SetTextMargins(int Left, int Right) {
    FLeftMargin = std::max(0, Left);
    FRightMargin = std::max(0, Right);
    if (HandleAllocated()) ApplyAlignmentAndMargins();
}

void TCustomEdit::ApplyAlignmentAndMargins() {
    QLineEdit* edit = LineEditOf(this);
    if (!edit) return;
    Qt::Alignment h = FAlignment == taRightJustify ? Qt::AlignRight
                      : FAlignment == taCenter     ? Qt::AlignHCenter
                                                   : Qt::AlignLeft;
    edit->setAlignment(h | Qt::AlignVCenter);
    edit->setTextMargins(FLeftMargin, 0, FRightMargin, 0);
}

int TCustomEdit::SelStart() const {
    if (QLineEdit* edit = LineEditOf(this))
        return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    QPlainTextEdit* memo = MemoOf(this);
    return MemoToControlPos(memo, memo->textCursor().selectionStart());
}

int TCustomEdit::SelLength() const {
    if (QLineEdit* edit = LineEditOf(this)) return int(edit->selectedText().size());
    QPlainTextEdit* memo = MemoOf(this);
    QTextCursor c = memo->textCursor();
    return MemoToControlPos(memo, c.selectionEnd()) - MemoToControlPos(memo, c.selectionStart());
}

AnsiString TCustomEdit::SelText() const {
    if (QLineEdit* edit = LineEditOf(this)) return FromQtString(edit->selectedText());
    QString s = MemoOf(this)->textCursor().selectedText();
    s.replace(QChar::ParagraphSeparator, QChar('\n'));
    return WithCrLf(s);
}

void TCustomEdit::SetSelStart(int Value) {
    if (QLineEdit* edit = LineEditOf(this)) {
        edit->setCursorPosition(Value);
        return;
    }
    QPlainTextEdit* memo = MemoOf(this);
    QTextCursor c = memo->textCursor();
    c.setPosition(ControlToMemoPos(memo, Value));
    memo->setTextCursor(c);
}

void TCustomEdit::SetSelLength(int Value) {
    int start = SelStart();
    if (QLineEdit* edit = LineEditOf(this)) {
        edit->setSelection(start, Value);
        return;
    }
    QPlainTextEdit* memo = MemoOf(this);
    QTextCursor c = memo->textCursor();
    c.setPosition(ControlToMemoPos(memo, start));
    c.setPosition(ControlToMemoPos(memo, start + Value), QTextCursor::KeepAnchor);
    memo->setTextCursor(c);
}

void TCustomEdit::SetSelText(const AnsiString& Value) {
    if (QLineEdit* edit = LineEditOf(this)) {
        edit->insert(QtString(Value));
        return;
    }
    MemoOf(this)->insertPlainText(WithLf(Value));
}

void TCustomEdit::SelectAll() {
    if (QLineEdit* edit = LineEditOf(this))
        edit->selectAll();
    else
        MemoOf(this)->selectAll();
}

// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner),
      FLines(std::make_unique<TControlStrings>([this](TControlStrings::TChange, int) { LinesChanged(); })) {
    AutoSelect = false;
    SetBounds(0, 0, DefaultMemoWidth, DefaultMemoHeight);
}

TCustomMemo::~TCustomMemo() = default;

QWidget* TCustomMemo::CreateWidget() {
    if (FOneLine) return TCustomEdit::CreateWidget();
    auto* memo = new QPlainTextEdit();
    QObject::connect(memo, &QPlainTextEdit::textChanged, [this, memo] {
        CallAtEventBoundary(this, [&] { WidgetTextChanged(FromQtString(memo->toPlainText())); });
    });
    return memo;
}

void TCustomMemo::WidgetCreated() {
    TCustomEdit::WidgetCreated();
    auto* memo = MemoOf(this);
    if (!memo) return;
    memo->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo->setTabChangesFocus(!WantTabs);
    bool h = FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    bool v = FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
    memo->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TCustomMemo::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        if (WantReturns) Message.Result |= DLGC_WANTALLKEYS;
        if (WantTabs) Message.Result |= DLGC_WANTTAB;
        return;
    }
    if (Message.Msg == CM_TEXTCHANGED) TextToLines();
    TCustomEdit::Dispatch(Message);
}

void TCustomMemo::TextToLines() {
    if (FLinesSyncing) return;
    FLinesSyncing = true;
    TScopeGuard end([this] { FLinesSyncing = false; });
    FLines->SetText(Text());
}

void TCustomMemo::LinesChanged() {
    if (FLinesSyncing) return;
    FLinesSyncing = true;
    TScopeGuard end([this] { FLinesSyncing = false; });
    AnsiString text;
    for (int i = 0; i < FLines->Count(); ++i) {
        if (i) text += "\r\n";
        text += FLines->Strings(i);
    }
    SetText(text);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    if (HandleAllocated()) WidgetCreated();
}

void TCustomMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    if (HandleAllocated() && MemoOf(this))
        MemoOf(this)->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}
