// The standard controls' shared pieces, the control item lists, labels,
// static texts and group boxes.
#include "platform/gui/StdCtrls.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

#include "platform/gui/Forms.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultLabelWidth = 65;
constexpr int DefaultLabelHeight = 13;
constexpr int DefaultGroupBoxWidth = 185;
constexpr int DefaultGroupBoxHeight = 105;
// The frame's inset and the caption's line inside a group box.
constexpr int GroupBoxFrame = 2;

Qt::Alignment QtAlignment(TAlignment Alignment) {
    switch (Alignment) {
    case TAlignment::taRightJustify:
        return Qt::AlignRight;
    case TAlignment::taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

Qt::Alignment QtLayout(TTextLayout Layout) {
    switch (Layout) {
    case TTextLayout::tlCenter:
        return Qt::AlignVCenter;
    case TTextLayout::tlBottom:
        return Qt::AlignBottom;
    default:
        return Qt::AlignTop;
    }
}
} // namespace

void ApplyControlColors(QWidget* Widget, const TControl* Control, bool Fill) {
    QPalette palette = Widget->palette();
    QColor text = QtColor(Control->Font()->Color());
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Active, role, text), palette.setColor(QPalette::Inactive, role, text);
    if (Fill) {
        QColor back = QtColor(Control->Color());
        palette.setColor(QPalette::Window, back);
        palette.setColor(QPalette::Base, back);
        // Check boxes fill with their background role; a drop-down list is
        // drawn on the button colour.
        palette.setColor(Widget->backgroundRole(), back);
        if (qobject_cast<QComboBox*>(Widget)) palette.setColor(QPalette::Button, back);
    }
    Widget->setPalette(palette);
    Widget->setAutoFillBackground(Fill);
}

void FollowControlColors(TWinControl* Control, unsigned Msg, bool Fill) {
    if (!Control->HandleAllocated()) return;
    if (Msg == CM_FONTCHANGED || Msg == CM_COLORCHANGED || Msg == CM_PARENTCOLORCHANGED)
        ApplyControlColors(Control->Widget(), Control, Fill);
}

QString QtCaption(const AnsiString& Caption) {
    return QtString(Caption);
}

QString QtPlainCaption(const AnsiString& Caption, bool ShowAccelChar) {
    return QtString(ShowAccelChar ? StripHotkey(Caption) : Caption);
}

bool IsAccelMessage(const TMessage& Message, const TControl* Control) {
    auto* w = dynamic_cast<const TWinControl*>(Control);
    return Message.Msg == CM_DIALOGCHAR && IsAccel(uint16_t(Message.WParam), Control->Caption()) &&
           Control->Visible() && Control->Enabled() && (!w || w->CanFocus());
}

// TControlStrings

int TControlStrings::AddObject(const AnsiString& S, TObject* Object) {
    int index = TStrings::AddObject(S, Object);
    if (FOnChange) FOnChange(TChange::Inserted, index);
    return index;
}

void TControlStrings::Insert(int Index, const AnsiString& S, TObject* Object) {
    TStrings::Insert(Index, S, Object);
    if (FOnChange) FOnChange(TChange::Inserted, Index);
}

void TControlStrings::SetString(int Index, const AnsiString& S) {
    TStrings::SetString(Index, S);
    if (FOnChange) FOnChange(TChange::Changed, Index);
}

void TControlStrings::Delete(int Index) {
    TStrings::Delete(Index);
    if (FOnChange) FOnChange(TChange::Deleted, Index);
}

void TControlStrings::Clear() {
    TStrings::Clear();
    if (FOnChange) FOnChange(TChange::Cleared, -1);
}

// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, DefaultLabelWidth, DefaultLabelHeight);
}

QWidget* TCustomLabel::CreateWidget() {
    auto* label = new QLabel();
    label->setTextFormat(Qt::PlainText);
    // Moves reach the control only with tracking on.
    label->setMouseTracking(true);
    return label;
}

void TCustomLabel::WidgetCreated() {
    UpdateLook();
}

void TCustomLabel::UpdateLook() {
    if (!HandleAllocated()) return;
    auto* label = static_cast<QLabel*>(Widget());
    label->setText(QtPlainCaption(Caption(), FShowAccelChar));
    label->setAlignment(QtAlignment(FAlignment) | QtLayout(FLayout));
    label->setWordWrap(FWordWrap);
    ApplyControlColors(label, this, !FTransparent && !ParentColor());
}

void TCustomLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FAdjusting && !Caption().empty()) AdjustBounds();
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || FAdjusting) return;
    FAdjusting = true;
    TScopeGuard done([this] { FAdjusting = false; });
    // Measured as the canvas draws, so the size is the same on every desktop.
    TBitmap scratch(1, 1);
    TCanvas* canvas = scratch.Canvas();
    canvas->Font()->Assign(Font());
    AnsiString text = FShowAccelChar ? StripHotkey(Caption()) : Caption();
    if (text.empty()) text = " ";
    TRect r{0, 0, FWordWrap ? Width() : 0, 0};
    canvas->DrawText(text, r, DT_CALCRECT | DT_NOPREFIX | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE));
    int width = FWordWrap ? Width() : r.Width();
    // The widget lays the text out in whole pixels of its own: never less.
    if (!FWordWrap) width = std::max(width, QFontMetrics(QtFont(Font())).horizontalAdvance(QtString(text)));
    int left = Left();
    // A label that is not left-aligned keeps its other edge in place.
    if (!FWordWrap && FAlignment == TAlignment::taRightJustify) left += Width() - width;
    if (!FWordWrap && FAlignment == TAlignment::taCenter) left += (Width() - width) / 2;
    SetBounds(left, Top(), width, r.Height());
}

void TCustomLabel::Dispatch(TMessage& Message) {
    if (IsAccelMessage(Message, this)) {
        if (FFocusControl && FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            Message.Result = 1;
        }
        return;
    }
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        UpdateLook();
        break;
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
        TWinControl::Dispatch(Message);
        UpdateLook();
        return;
    case CM_MOUSEENTER:
        if (OnMouseEnter) OnMouseEnter(this);
        break;
    case CM_MOUSELEAVE:
        if (OnMouseLeave) OnMouseLeave(this);
        break;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    UpdateLook();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    FLayout = Value;
    UpdateLook();
}

void TCustomLabel::SetWordWrap(bool Value) {
    FWordWrap = Value;
    AdjustBounds();
    UpdateLook();
}

void TCustomLabel::SetAutoSize(bool Value) {
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool Value) {
    FTransparent = Value;
    UpdateLook();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    FShowAccelChar = Value;
    AdjustBounds();
    UpdateLook();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

// TCustomStaticText

TCustomStaticText::TCustomStaticText(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, DefaultLabelWidth, DefaultLabelHeight + 4);
}

QWidget* TCustomStaticText::CreateWidget() {
    auto* label = new QLabel();
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMouseTracking(true);
    return label;
}

void TCustomStaticText::WidgetCreated() {
    UpdateLook();
}

void TCustomStaticText::UpdateLook() {
    if (!HandleAllocated()) return;
    auto* label = static_cast<QLabel*>(Widget());
    label->setText(QtPlainCaption(Caption(), FShowAccelChar));
    label->setAlignment(QtAlignment(FAlignment) | Qt::AlignTop);
    switch (FBorderStyle) {
    case TStaticBorderStyle::sbsSingle:
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
    case TStaticBorderStyle::sbsSunken:
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    default:
        label->setFrameStyle(QFrame::NoFrame);
        break;
    }
    label->setLineWidth(1);
    ApplyControlColors(label, this, true);
}

void TCustomStaticText::Dispatch(TMessage& Message) {
    if (IsAccelMessage(Message, this)) {
        if (FFocusControl && FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            Message.Result = 1;
        }
        return;
    }
    TWinControl::Dispatch(Message);
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
        UpdateLook();
        break;
    default:
        break;
    }
}

void TCustomStaticText::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    UpdateLook();
}

void TCustomStaticText::SetBorderStyle(TStaticBorderStyle Value) {
    FBorderStyle = Value;
    UpdateLook();
}

void TCustomStaticText::SetShowAccelChar(bool Value) {
    FShowAccelChar = Value;
    UpdateLook();
}

void TCustomStaticText::SetFocusControl(TWinControl* Value) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TCustomStaticText::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle |= csAcceptsControls;
    SetBounds(0, 0, DefaultGroupBoxWidth, DefaultGroupBoxHeight);
}

QWidget* TCustomGroupBox::CreateWidget() {
    auto* box = new QGroupBox(QtCaption(Caption()));
    // A colour of its own fills it; otherwise its parent shows through.
    ApplyControlColors(box, this, !ParentColor());
    return box;
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    if (IsAccelMessage(Message, this)) {
        // The accelerator takes the focus into the box.
        if (TCustomForm* form = GetParentForm(this)) {
            for (TWinControl* c : TabOrderList())
                if (c->TabStop() && c->CanFocus()) {
                    form->SetActiveControl(c);
                    break;
                }
        }
        Message.Result = 1;
        return;
    }
    TWinControl::Dispatch(Message);
    FollowControlColors(this, Message.Msg, !ParentColor());
    if (Message.Msg == CM_TEXTCHANGED && HandleAllocated())
        static_cast<QGroupBox*>(Widget())->setTitle(QtCaption(Caption()));
    if (Message.Msg == CM_FONTCHANGED) Realign();
}

void TCustomGroupBox::AdjustClientRect(TRect& R) {
    TWinControl::AdjustClientRect(R);
    // The caption's line, in the box's own font.
    TBitmap scratch(1, 1);
    scratch.Canvas()->Font()->Assign(Font());
    int captionHeight = scratch.Canvas()->TextHeight("0");
    R.Left += GroupBoxFrame;
    R.Right -= GroupBoxFrame;
    R.Top += captionHeight;
    R.Bottom -= GroupBoxFrame;
    if (R.Right < R.Left) R.Right = R.Left;
    if (R.Bottom < R.Top) R.Bottom = R.Top;
}
