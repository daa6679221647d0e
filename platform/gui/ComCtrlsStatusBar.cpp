// The status bar: panels of given widths, or one simple text, each shown
// in a Qt label.
#include <QFrame>
#include <QLabel>
#include <QWidget>
#include <algorithm>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls_p.h"

namespace {
constexpr int DefaultStatusBarHeight = 19;
constexpr int PanelTextMargin = 2;

Qt::Alignment PanelAlignment(TAlignment Alignment) {
    switch (Alignment) {
    case TAlignment::taRightJustify:
        return Qt::AlignRight | Qt::AlignVCenter;
    case TAlignment::taCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

int PanelFrame(TStatusPanelBevel Bevel) {
    switch (Bevel) {
    case TStatusPanelBevel::pbLowered:
        return QFrame::Panel | QFrame::Sunken;
    case TStatusPanelBevel::pbRaised:
        return QFrame::Panel | QFrame::Raised;
    default:
        return QFrame::NoFrame;
    }
}
} // namespace

// TStatusPanel

void TStatusPanel::SetText(const AnsiString& Value) {
    FText = Value;
    FOwner->PanelsChanged();
}

void TStatusPanel::SetWidth(int Value) {
    FWidth = std::max(0, Value);
    FOwner->PanelsChanged();
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FOwner->PanelsChanged();
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    FBevel = Value;
    FOwner->PanelsChanged();
}

int TStatusPanel::Index() const {
    const auto& panels = FOwner->Panels()->FPanels;
    for (std::size_t i = 0; i < panels.size(); ++i)
        if (panels[i].get() == this) return int(i);
    return -1;
}

// TStatusPanels

TStatusPanel* TStatusPanels::Add() {
    FPanels.push_back(std::make_unique<TStatusPanel>(FOwner));
    FOwner->PanelsChanged();
    return FPanels.back().get();
}

void TStatusPanels::Delete(int Index) {
    (void)Items(Index);
    FPanels.erase(FPanels.begin() + Index);
    FOwner->PanelsChanged();
}

void TStatusPanels::Clear() {
    FPanels.clear();
    FOwner->PanelsChanged();
}

// TStatusBar

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
    SetColor(clBtnFace);
    SetBounds(0, 0, 0, DefaultStatusBarHeight);
    SetAlign(TAlign::alBottom);
}

TStatusBar::~TStatusBar() = default;

QWidget* TStatusBar::CreateWidget() {
    return new QWidget();
}

void TStatusBar::WidgetCreated() {
    PanelsChanged();
}

TRect TStatusBar::PanelRect(int Index) const {
    if (FSimplePanel) return {0, 0, ClientWidth(), ClientHeight()};
    (void)FPanels->Items(Index);
    int left = 0;
    for (int i = 0; i < Index; ++i)
        left += FPanels->Items(i)->Width();
    // The last panel reaches the right edge.
    int right =
        Index == FPanels->Count() - 1 ? std::max(left, ClientWidth()) : left + FPanels->Items(Index)->Width();
    return {left, 0, right, ClientHeight()};
}

void TStatusBar::PanelsChanged() {
    if (!HandleAllocated()) return;
    QWidget* bar = Widget();
    ApplyControlColors(bar, this, true);
    QList<QLabel*> labels = bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    int wanted = FSimplePanel ? 1 : FPanels->Count();
    while (labels.size() > wanted)
        delete labels.takeLast();
    while (labels.size() < wanted) {
        auto* label = new QLabel(bar);
        label->setTextFormat(Qt::PlainText);
        label->setMargin(PanelTextMargin);
        label->show();
        labels.append(label);
    }
    for (int i = 0; i < wanted; ++i) {
        QLabel* label = labels[i];
        TRect r = PanelRect(i);
        label->setGeometry(r.Left, r.Top, r.Width(), r.Height());
        label->setFont(QtFont(Font()));
        ApplyControlColors(label, this, false);
        if (FSimplePanel) {
            label->setText(QtString(FSimpleText));
            label->setFrameStyle(QFrame::NoFrame);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            continue;
        }
        TStatusPanel* panel = FPanels->Items(i);
        label->setText(QtString(panel->Text()));
        label->setFrameStyle(PanelFrame(panel->Bevel()));
        label->setAlignment(PanelAlignment(panel->Alignment()));
    }
}

void TStatusBar::SetSimplePanel(bool Value) {
    FSimplePanel = Value;
    PanelsChanged();
}

void TStatusBar::SetSimpleText(const AnsiString& Value) {
    FSimpleText = Value;
    PanelsChanged();
}

void TStatusBar::Dispatch(TMessage& Message) {
    TWinControl::Dispatch(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        PanelsChanged();
        break;
    default:
        break;
    }
}
