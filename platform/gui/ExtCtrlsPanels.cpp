// Panels and bevels painted through the canvas, and radio groups of radio
// buttons.
#include <algorithm>

#include "platform/gui/ExtCtrls.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultPanelWidth = 185;
constexpr int DefaultPanelHeight = 41;
constexpr int DefaultBevelSize = 50;
// Room the radio group leaves around its buttons.
constexpr int RadioGroupSideMargin = 8;
constexpr int RadioGroupWidthMargin = 10;
constexpr int RadioGroupBottomMargin = 5;

// A frame Width pixels thick: TopColor along the left and top edges,
// BottomColor along the right and bottom ones. R shrinks inside it.
void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
    for (; Width > 0 && !R.IsEmpty(); --Width) {
        int right = R.Right - 1, bottom = R.Bottom - 1;
        Canvas->Brush()->SetColor(TopColor);
        Canvas->FillRect({R.Left, R.Top, R.Left + 1, bottom});
        Canvas->FillRect({R.Left, R.Top, right, R.Top + 1});
        Canvas->Brush()->SetColor(BottomColor);
        Canvas->FillRect({right, R.Top, right + 1, bottom + 1});
        Canvas->FillRect({R.Left, bottom, right + 1, bottom + 1});
        InflateRect(R, -1, -1);
    }
}

void BevelColors(TPanelBevel Bevel, TColor& Top, TColor& Bottom) {
    bool lowered = Bevel == TPanelBevel::bvLowered;
    Top = lowered ? clBtnShadow : clBtnHighlight;
    Bottom = lowered ? clBtnHighlight : clBtnShadow;
}

unsigned DrawTextAlignment(TAlignment Alignment) {
    switch (Alignment) {
    case TAlignment::taRightJustify:
        return DT_RIGHT;
    case TAlignment::taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}
} // namespace

// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle |= csAcceptsControls | csOpaque;
    SetColor(clBtnFace);
    SetBounds(0, 0, DefaultPanelWidth, DefaultPanelHeight);
}

void TCustomPanel::Dispatch(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& R) {
    TCustomControl::AdjustClientRect(R);
    int inset = FBorderWidth;
    if (FBevelOuter != TPanelBevel::bvNone) inset += FBevelWidth;
    if (FBevelInner != TPanelBevel::bvNone) inset += FBevelWidth;
    InflateRect(R, -inset, -inset);
    if (R.Right < R.Left) R.Right = R.Left;
    if (R.Bottom < R.Top) R.Bottom = R.Top;
}

void TCustomPanel::LayoutChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    FBevelOuter = Value;
    LayoutChanged();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    FBevelInner = Value;
    LayoutChanged();
}

void TCustomPanel::SetBevelWidth(int Value) {
    FBevelWidth = std::max(1, Value);
    LayoutChanged();
}

void TCustomPanel::SetBorderWidth(int Value) {
    FBorderWidth = std::max(0, Value);
    LayoutChanged();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = {0, 0, Width(), Height()};
    TColor top, bottom;
    if (FBevelOuter != TPanelBevel::bvNone) {
        BevelColors(FBevelOuter, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    Frame3D(c, r, Color(), Color(), FBorderWidth);
    if (FBevelInner != TPanelBevel::bvNone) {
        BevelColors(FBevelInner, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (Caption().empty()) return;
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Font()->Assign(Font());
    int h = c->TextHeight("W");
    r.Top = (r.Top + r.Bottom - h) / 2;
    r.Bottom = r.Top + h;
    c->DrawText(Caption(), r, DT_SINGLELINE | DT_VCENTER | DrawTextAlignment(FAlignment));
}

// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, DefaultBevelSize, DefaultBevelSize);
}

void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    TColor first = FStyle == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = FStyle == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
    int w = Width(), h = Height();
    auto line = [&](TColor Color, const TRect& R) {
        c->Brush()->SetColor(Color);
        c->FillRect(R);
    };
    TRect r{0, 0, w, h};
    switch (FShape) {
    case TBevelShape::bsBox:
        Frame3D(c, r, first, second, 1);
        break;
    case TBevelShape::bsFrame: {
        TRect outer{0, 0, w - 1, h - 1}, inner{1, 1, w, h};
        Frame3D(c, inner, second, second, 1);
        Frame3D(c, outer, first, first, 1);
        break;
    }
    case TBevelShape::bsTopLine:
        line(first, {0, 0, w, 1});
        line(second, {0, 1, w, 2});
        break;
    case TBevelShape::bsBottomLine:
        line(first, {0, h - 2, w, h - 1});
        line(second, {0, h - 1, w, h});
        break;
    case TBevelShape::bsLeftLine:
        line(first, {0, 0, 1, h});
        line(second, {1, 0, 2, h});
        break;
    case TBevelShape::bsRightLine:
        line(first, {w - 2, 0, w - 1, h});
        line(second, {w - 1, 0, w, h});
        break;
    case TBevelShape::bsSpacer:
        break;
    }
}

// TCustomRadioGroup

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner),
      FItems(std::make_unique<TControlStrings>([this](TControlStrings::TChange, int) { ItemsChanged(); })) {}

TCustomRadioGroup::~TCustomRadioGroup() {
    // The buttons are children: the group's own destructor frees them.
    FButtons.clear();
}

void TCustomRadioGroup::ItemsChanged() {
    if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
    FUpdating = true;
    TScopeGuard end([this] { FUpdating = false; });
    while (int(FButtons.size()) < FItems->Count()) {
        auto* button = new TRadioButton(nullptr);
        button->SetEnabled(Enabled());
        button->OnClick = [this, button](TObject*) { ButtonClick(button); };
        button->SetParent(this);
        FButtons.push_back(button);
    }
    while (int(FButtons.size()) > FItems->Count()) {
        delete FButtons.back();
        FButtons.pop_back();
    }
    for (int i = 0; i < int(FButtons.size()); ++i) {
        FButtons[std::size_t(i)]->SetCaption(FItems->Strings(i));
        FButtons[std::size_t(i)]->SetChecked(i == FItemIndex);
    }
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty()) return;
    TBitmap scratch(1, 1);
    scratch.Canvas()->Font()->Assign(Font());
    int textHeight = scratch.Canvas()->TextMetrics().tmHeight;
    int perColumn = (int(FButtons.size()) + FColumns - 1) / FColumns;
    int buttonWidth = (Width() - RadioGroupWidthMargin) / FColumns;
    int room = Height() - textHeight - RadioGroupBottomMargin;
    int buttonHeight = room / perColumn;
    int topMargin = textHeight + 1 + (room % perColumn) / 2;
    for (int i = 0; i < int(FButtons.size()); ++i)
        FButtons[std::size_t(i)]->SetBounds((i / perColumn) * buttonWidth + RadioGroupSideMargin,
                                            (i % perColumn) * buttonHeight + topMargin, buttonWidth,
                                            buttonHeight);
}

void TCustomRadioGroup::Dispatch(TMessage& Message) {
    TCustomGroupBox::Dispatch(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case CM_FONTCHANGED:
        ArrangeButtons();
        break;
    case CM_ENABLEDCHANGED:
        for (TRadioButton* b : FButtons)
            b->SetEnabled(Enabled());
        break;
    default:
        break;
    }
}

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (Value < -1) Value = -1;
    if (Value >= FItems->Count()) Value = FItems->Count() - 1;
    if (Value == FItemIndex) return;
    if (FItemIndex >= 0) {
        FUpdating = true;
        TScopeGuard end([this] { FUpdating = false; });
        FButtons[std::size_t(FItemIndex)]->SetChecked(false);
    }
    FItemIndex = Value;
    // Checking the button clicks it, and its click is the group's.
    if (FItemIndex >= 0) FButtons[std::size_t(FItemIndex)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int Value) {
    FColumns = std::clamp(Value, 1, 16);
    ArrangeButtons();
}

void TCustomRadioGroup::ButtonClick(TRadioButton* Button) {
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), Button);
    if (it == FButtons.end()) return;
    FItemIndex = int(it - FButtons.begin());
    Click();
}
