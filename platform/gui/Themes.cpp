// Push buttons and edit boxes drawn by the desktop's style, and the classic
// button face.
#include "platform/gui/Themes.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include "platform/gui/QtSupport_p.h"

TThemeServices* ThemeServices() {
    static TThemeServices services;
    return &services;
}

namespace {
QStyleOptionButton ButtonOption(TThemedButton Element, const QRect& R) {
    QStyleOptionButton option;
    option.rect = R;
    option.state = QStyle::State_Enabled | QStyle::State_Raised;
    switch (Element) {
    case TThemedButton::tbPushButtonHot:
        option.state |= QStyle::State_MouseOver;
        break;
    case TThemedButton::tbPushButtonPressed:
        option.state |= QStyle::State_Sunken;
        option.state &= ~QStyle::State_Raised;
        break;
    case TThemedButton::tbPushButtonDefaulted:
        option.features |= QStyleOptionButton::DefaultButton;
        break;
    case TThemedButton::tbPushButtonDisabled:
        option.state &= ~QStyle::State_Enabled;
        break;
    default:
        break;
    }
    return option;
}
} // namespace

void TThemeServices::DrawElement(TCanvas* Canvas, TThemedButton Element, const TRect& R) const {
    if (R.IsEmpty()) return;
    EnsureQtApplication();
    TBitmap face(R.Width(), R.Height());
    auto* image = static_cast<QImage*>(face.Image());
    image->fill(QtColor(clBtnFace));
    {
        QPainter p(image);
        QStyleOptionButton option = ButtonOption(Element, QRect(0, 0, R.Width(), R.Height()));
        QApplication::style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p);
    }
    Canvas->Draw(R.Left, R.Top, &face);
}

void TThemeServices::DrawElement(TCanvas* Canvas, TThemedEdit Element, const TRect& R) const {
    if (R.IsEmpty()) return;
    EnsureQtApplication();
    bool disabled = Element == TThemedEdit::teEditTextDisabled;
    TBitmap box(R.Width(), R.Height());
    auto* image = static_cast<QImage*>(box.Image());
    image->fill(QtColor(disabled ? clBtnFace : clWindow));
    {
        QPainter p(image);
        QStyleOptionFrame option;
        option.rect = QRect(0, 0, R.Width(), R.Height());
        option.lineWidth = 1;
        option.state = QStyle::State_Sunken;
        if (!disabled) option.state |= QStyle::State_Enabled;
        if (Element == TThemedEdit::teEditTextFocused) option.state |= QStyle::State_HasFocus;
        QApplication::style()->drawPrimitive(QStyle::PE_FrameLineEdit, &option, &p);
    }
    Canvas->Draw(R.Left, R.Top, &box);
}

TRect TThemeServices::ContentRect(TThemedButton Element, const TRect& R) const {
    EnsureQtApplication();
    QStyleOptionButton option = ButtonOption(Element, QRect(R.Left, R.Top, R.Width(), R.Height()));
    QRect c = QApplication::style()->subElementRect(QStyle::SE_PushButtonContents, &option);
    if (!c.isValid()) return R;
    return {c.left(), c.top(), c.left() + c.width(), c.top() + c.height()};
}

TRect DrawButtonFace(TCanvas* Canvas, const TRect& Client, int BevelWidth, TButtonStyle Style, bool IsRounded,
                     bool IsDown, bool IsFocused) {
    (void)IsRounded;
    TRect r = Client;
    TColor savedBrush = Canvas->Brush()->Color();
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(r);
    if (IsFocused || Style == TButtonStyle::bsWin31) {
        // The default button's dark outline.
        Canvas->Brush()->SetColor(clWindowFrame);
        Canvas->FrameRect(r);
        InflateRect(r, -1, -1);
    }
    for (int i = 0; i < std::max(1, BevelWidth); ++i) {
        if (IsDown) {
            Canvas->Brush()->SetColor(clBtnShadow);
            Canvas->FrameRect(r);
            InflateRect(r, -1, -1);
        } else {
            Canvas->DrawEdge(r, i == 0 ? BDR_RAISEDOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        }
    }
    Canvas->Brush()->SetColor(savedBrush);
    return r;
}
