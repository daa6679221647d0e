// The spin button: its halves, pressing and repeating, hot halves, and
// painting from the shared bitmap set.
#include "util/JvSpin.h"

#include <utility>

#include "util/JclUnitVersioning.h"
#include "util/JvFormUtils.h"
#include "util/JvThemes.h"

LIBRARY_UNIT_VERSION("util/JvSpin.cpp", "1", "2026-12-11", "JvLib\\run")

namespace {
constexpr int DefaultSpinButtonSize = 20;

std::unique_ptr<TBitmap> CopyGlyph(TBitmap* Value) {
    if (!Value || Value->Empty()) return nullptr;
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(Value);
    copy->Transparent = true;
    return copy;
}
} // namespace

TJvSpinButton::TJvSpinButton(TComponent* AOwner) : TJvExGraphicControl(AOwner) {
    SetBounds(0, 0, DefaultSpinButtonSize, DefaultSpinButtonSize);
    SpinBitmapsManager()->AddButton();
}

TJvSpinButton::~TJvSpinButton() {
    ReleaseBitmaps();
    FUpGlyph.reset();
    FDownGlyph.reset();
    delete FRepeatTimer;
    FRepeatTimer = nullptr;
    if (TSpinButtonBitmapsManager* manager = SpinBitmapsManagerIfAny()) manager->RemoveButton();
}

void TJvSpinButton::WndProc(TMessage& Message) {
    if (Message.Msg == CM_SYSCOLORCHANGE) {
        if (FBitmaps) FBitmaps->MarkForRedraw();
        Invalidate();
    }
    TJvExGraphicControl::WndProc(Message);
}

void TJvSpinButton::SetButtonStyle(TJvSpinButtonStyle Value) {
    if (Value == FButtonStyle) return;
    FButtonStyle = Value;
    GlyphChanged();
}

void TJvSpinButton::SetUpGlyph(TBitmap* Value) {
    FUpGlyph = CopyGlyph(Value);
    GlyphChanged();
}

void TJvSpinButton::SetDownGlyph(TBitmap* Value) {
    FDownGlyph = CopyGlyph(Value);
    GlyphChanged();
}

void TJvSpinButton::GlyphChanged() {
    ReleaseBitmaps();
    Invalidate();
}

void TJvSpinButton::SetFocusControl(TWinControl* Value) {
    if (Value == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TJvSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TJvExGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

bool TJvSpinButton::IsInBottomHalf(const TPoint& P) const {
    // A button of no size has no halves: everything is the top one.
    if (Width() <= 0 || Height() <= 0) return false;
    if (FButtonStyle == TJvSpinButtonStyle::sbsClassic) return P.Y > Height() / 2;
    return P.Y > Height() - double(Height()) / Width() * P.X;
}

void TJvSpinButton::TopClick() {
    if (OnTopClick) OnTopClick(this);
}

void TJvSpinButton::BottomClick() {
    if (OnBottomClick) OnBottomClick(this);
}

void TJvSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TJvExGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !Enabled()) return;
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    if (FPressedHalf == 0) {
        FLastPressedHalf = 0;
        TComponentWatch self(this);
        if (IsInBottomHalf({X, Y})) {
            FPressedHalf = 2;
            BottomClick();
        } else {
            FPressedHalf = 1;
            TopClick();
        }
        if (!self.Target()) return;
        if (!(ControlState() & csLButtonDown)) FPressedHalf = 0;
    }
    if (FPressedHalf != FLastPressedHalf) {
        FLastPressedHalf = FPressedHalf;
        Invalidate();
    }
    if (!FRepeatTimer) FRepeatTimer = new TTimer(nullptr);
    FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTimerTick(Sender); };
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(InitRepeatPause);
    FRepeatTimer->SetEnabled(true);
    FHeldDown = true;
}

void TJvSpinButton::RepeatTimerTick(TObject*) {
    FRepeatTimer->SetInterval(RepeatPause);
    if (FPressedHalf == 0 || GetCaptureControl() != this) return;
    try {
        if (FPressedHalf == 1)
            TopClick();
        else
            BottomClick();
    } catch (...) {
        FRepeatTimer->SetEnabled(false);
        throw;
    }
}

void TJvSpinButton::MouseMove(TShiftState Shift, int X, int Y) {
    TJvExGraphicControl::MouseMove(Shift, X, Y);
    bool inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
    if (FHeldDown) {
        int shown = 0;
        if (inside && FLastPressedHalf != 0) shown = HalfAt(X, Y) == FLastPressedHalf ? FLastPressedHalf : 0;
        if (shown != FPressedHalf) {
            FPressedHalf = shown;
            Invalidate();
        }
        return;
    }
    if (CurrentThemeServices()->ThemesEnabled() && inside) {
        bool bottom = HalfAt(X, Y) == 2;
        SetHot(!bottom, bottom);
    }
}

void TJvSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TJvExGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FHeldDown) return;
    FHeldDown = false;
    if (X >= 0 && X <= Width() && Y >= 0 && Y <= Height()) {
        FPressedHalf = 0;
        FLastPressedHalf = 0;
        Invalidate();
    }
}

void TJvSpinButton::SetHot(bool Top, bool Bottom) {
    if (Top == FTopHot && Bottom == FBottomHot) return;
    FTopHot = Top;
    FBottomHot = Bottom;
    if (CurrentThemeServices()->ThemesEnabled()) Invalidate();
}

void TJvSpinButton::NotifyMouseEnter(TControl* Control) {
    TJvExGraphicControl::NotifyMouseEnter(Control);
    if ((ComponentState() & csDesigning) || FTopHot || FBottomHot) return;
    TPoint p = ScreenToClient(Mouse.CursorPos());
    bool bottom = HalfAt(p.X, p.Y) == 2;
    SetHot(!bottom, bottom);
}

void TJvSpinButton::NotifyMouseLeave(TControl* Control) {
    TJvExGraphicControl::NotifyMouseLeave(Control);
    if (FTopHot || FBottomHot) SetHot(false, false);
}

void TJvSpinButton::ReleaseBitmaps() {
    if (FBitmaps) std::exchange(FBitmaps, nullptr)->RemoveUser();
}

void TJvSpinButton::AcquireBitmaps() {
    if (FBitmaps && (FBitmaps->Width() != Width() || FBitmaps->Height() != Height())) ReleaseBitmaps();
    if (!FBitmaps)
        FBitmaps = SpinBitmapsManager()->Acquire(Width(), Height(), FButtonStyle, FUpGlyph || FDownGlyph);
}

void TJvSpinButton::Paint() {
    if (!Enabled() && !(ComponentState() & csDesigning)) FHeldDown = false;
    AcquireBitmaps();
    using S = TSpinButtonBitmaps;
    S::TState state = S::sNotPressed;
    if (!Enabled())
        state = S::sDisabled;
    else if (FPressedHalf == 1)
        state = S::sTopPressed;
    else if (FPressedHalf == 2)
        state = S::sBottomPressed;
    else if (FBitmaps->IsThemed() && FTopHot)
        state = S::sTopHot;
    else if (FBitmaps->IsThemed() && FBottomHot)
        state = S::sBottomHot;
    FBitmaps->Draw(Canvas(), 0, 0, state);
    if (FUpGlyph || FDownGlyph) DrawGlyphs(Canvas());
}

void TJvSpinButton::DrawGlyphs(TCanvas* C) {
    const int W = Width(), H = Height();
    bool themed = FBitmaps->IsThemed();
    auto draw = [&](TBitmap* Glyph, int X, int Y, const TRect* Clip) {
        if (!Glyph) return;
        std::unique_ptr<TBitmap> disabled;
        TBitmap* shown = Glyph;
        TColor transparent = Glyph->TransparentColor();
        if (!Enabled()) {
            disabled = BuildDisabledBitmap(Glyph, clBlack);
            shown = disabled.get();
            transparent = ColorToRGB(clBtnFace);
        }
        C->SaveState();
        if (Clip) C->IntersectClipRect(*Clip);
        C->DrawBitmapPart(Bounds(X, Y, shown->Width(), shown->Height()), shown,
                          {0, 0, shown->Width(), shown->Height()}, transparent);
        C->RestoreState();
    };
    auto nearest = [](double V) { return int(Round(V)); };
    TBitmap* up = FUpGlyph.get();
    TBitmap* down = FDownGlyph.get();
    if (FButtonStyle == TJvSpinButtonStyle::sbsDefault) {
        int s = FPressedHalf == 1 && !themed ? 2 : 1;
        if (up)
            draw(up, nearest(W / 4.0 - up->Width() / 2.0) + s, nearest(H / 4.0 - up->Height() / 2.0) + s,
                 nullptr);
        if (down)
            draw(down, nearest(3 * W / 4.0 - down->Width() / 2.0) - 1,
                 nearest(3 * H / 4.0 - down->Height() / 2.0) - 1, nullptr);
        return;
    }
    bool topPressed = FPressedHalf == 1;
    TRect top{0, 0, W, H / 2 + (topPressed ? 0 : 1)};
    int d = top.Height() - 1;
    if (up) {
        int y = (H / 2 - up->Height()) / 2;
        if (H - H / 2 - 1 < up->Height()) y = 0;
        draw(up, (W - up->Width()) / 2, y, &top);
    }
    if (down) {
        int areaTop = H / 2 + (topPressed ? 1 : 0);
        int y = areaTop + (d - down->Height()) / 2;
        if (d < down->Height()) {
            areaTop -= 1;
            y = areaTop + d - down->Height();
        }
        TRect area{0, areaTop, W, areaTop + d};
        draw(down, (W - down->Width()) / 2, y, &area);
    }
}
