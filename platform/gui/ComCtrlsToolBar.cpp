// The tool bar and its buttons on Qt tool buttons: images from the bar's
// image list, captions, separators, check buttons, the layout in a row,
// and what a linked action gives a button.
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <algorithm>

#include "platform/canvas/QtCanvas.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls_p.h"

namespace {
constexpr int DefaultToolBarHeight = 29;
constexpr int DefaultToolBarWidth = 150;
constexpr int SeparatorWidth = 8;
// Room around a button's image and caption.
constexpr int ButtonPadding = 4;
constexpr int ImageTextGap = 4;

bool IsSeparator(TToolButtonStyle Style) {
    return Style == TToolButtonStyle::tbsSeparator || Style == TToolButtonStyle::tbsDivider;
}

// A tool button, or a separator that draws the tool bar's line.
class TQtToolButton : public QToolButton {
public:
    bool Separator = false;

protected:
    void paintEvent(QPaintEvent* Event) override {
        if (!Separator) {
            QToolButton::paintEvent(Event);
            return;
        }
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }
};

// Image Index of the list, its transparent pixels transparent.
QPixmap ImagePixmap(TCustomImageList* Images, int Index) {
    QImage image(Images->Width(), Images->Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        TQtCanvas canvas(&painter);
        Images->Draw(&canvas, 0, 0, Index);
    }
    return QPixmap::fromImage(image);
}
} // namespace

// TToolButton

TToolButton::TToolButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle &= ~csClickEvents; // the widget reports clicks
    SetBounds(0, 0, 23, 22);
}

// The bar forgets the button here: the base class's destructor no longer
// reaches this class's SetParent.
TToolButton::~TToolButton() {
    SetParent(nullptr);
}

TToolBar* TToolButton::ToolBar() const {
    return dynamic_cast<TToolBar*>(Parent());
}

void TToolButton::SetParent(TWinControl* AParent) {
    if (AParent == Parent()) return;
    if (TToolBar* old = ToolBar()) {
        auto& list = old->FButtons;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        old->Rearrange();
    }
    TWinControl::SetParent(AParent);
    if (TToolBar* bar = ToolBar()) {
        bar->FButtons.push_back(this);
        UpdateLook();
        bar->Rearrange();
    }
}

QWidget* TToolButton::CreateWidget() {
    auto* button = new TQtToolButton();
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QToolButton::clicked, [this, button] {
        CallAtEventBoundary(this, [&] {
            if (FStyle == TToolButtonStyle::tbsCheck) FDown = button->isChecked();
            Click();
        });
    });
    return button;
}

void TToolButton::WidgetCreated() {
    UpdateLook();
}

void TToolButton::UpdateLook() {
    if (!HandleAllocated()) return;
    auto* button = static_cast<TQtToolButton*>(Widget());
    button->Separator = IsSeparator(FStyle);
    button->setEnabled(Enabled() && !button->Separator);
    button->update();
    TToolBar* bar = ToolBar();
    TCustomImageList* images = bar ? bar->Images() : nullptr;
    bool hasImage = images && FImageIndex >= 0 && FImageIndex < images->Count();
    bool caption = bar && bar->ShowCaptions() && FShowCaption && !Caption().empty();
    button->setText(QtCaption(Caption()));
    button->setShortcut(QKeySequence());
    button->setIcon(hasImage ? QIcon(ImagePixmap(images, FImageIndex)) : QIcon());
    if (hasImage) button->setIconSize(QSize(images->Width(), images->Height()));
    button->setToolButtonStyle(!caption      ? Qt::ToolButtonIconOnly
                               : !hasImage   ? Qt::ToolButtonTextOnly
                               : bar->List() ? Qt::ToolButtonTextBesideIcon
                                             : Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(!bar || bar->Flat());
    button->setCheckable(FStyle == TToolButtonStyle::tbsCheck);
    button->setChecked(FDown);
}

void TToolButton::Dispatch(TMessage& Message) {
    TWinControl::Dispatch(Message);
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        UpdateLook();
        if (TToolBar* bar = ToolBar()) bar->Rearrange();
        break;
    default:
        break;
    }
}

void TToolButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TWinControl::ActionChange(Sender, CheckDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(Sender)) SetImageIndex(action->ImageIndex());
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    UpdateLook();
    if (TToolBar* bar = ToolBar()) bar->Rearrange();
}

void TToolButton::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    UpdateLook();
    if (TToolBar* bar = ToolBar()) bar->Rearrange();
}

void TToolButton::SetShowCaption(bool Value) {
    FShowCaption = Value;
    UpdateLook();
    if (TToolBar* bar = ToolBar()) bar->Rearrange();
}

void TToolButton::SetDown(bool Value) {
    FDown = Value;
    UpdateLook();
}

// TToolBar

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle |= csAcceptsControls;
    SetColor(clBtnFace);
    SetBounds(0, 0, DefaultToolBarWidth, DefaultToolBarHeight);
    SetAlign(TAlign::alTop);
}

TToolBar::~TToolBar() {
    // The buttons are children: freed after this, they must not come back.
    FButtons.clear();
}

void TToolBar::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    Rearrange();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) {
        FImages = nullptr;
        Rearrange();
    }
}

void TToolBar::SetShowCaptions(bool Value) {
    FShowCaptions = Value;
    Rearrange();
}

void TToolBar::SetList(bool Value) {
    FList = Value;
    Rearrange();
}

void TToolBar::SetFlat(bool Value) {
    FFlat = Value;
    Rearrange();
}

void TToolBar::SetButtonWidth(int Value) {
    FButtonWidth = std::max(1, Value);
    Rearrange();
}

void TToolBar::SetButtonHeight(int Value) {
    FButtonHeight = std::max(1, Value);
    Rearrange();
}

void TToolBar::Rearrange() {
    TBitmap scratch(1, 1);
    TCanvas* canvas = scratch.Canvas();
    canvas->Font()->Assign(Font());
    int imageWidth = FImages ? FImages->Width() : 0, imageHeight = FImages ? FImages->Height() : 0;
    int textHeight = canvas->TextHeight("0");
    int x = 0;
    for (TToolButton* b : FButtons) {
        b->UpdateLook();
        if (!b->Visible()) continue;
        int width = FButtonWidth, height = FButtonHeight;
        if (IsSeparator(b->Style())) {
            width = SeparatorWidth;
        } else if (FShowCaptions && b->ShowCaption() && !b->Caption().empty()) {
            int text = canvas->TextWidth(StripHotkey(b->Caption()));
            bool image = FImages && b->ImageIndex() >= 0;
            if (FList) {
                width = ButtonPadding + (image ? imageWidth + ImageTextGap : 0) + text + ButtonPadding;
            } else {
                width = std::max(FButtonWidth, std::max(text, imageWidth) + 2 * ButtonPadding);
                height = std::max(FButtonHeight, imageHeight + textHeight + 2 * ButtonPadding);
            }
        }
        b->SetBounds(x, 0, width, height);
        x += width;
    }
}

void TToolBar::Dispatch(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_FONTCHANGED) Rearrange();
}
