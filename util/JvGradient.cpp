// The gradient control: rendering the bands and shapes, and painting from
// the rendered bitmap.
#include "util/JvGradient.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvGradient.cpp", "1", "2026-12-11", "JvLib\\run")

TJvGradient::TJvGradient(TComponent* AOwner) : TJvExGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() | csOpaque);
    SetAlign(TAlign::alClient);
}

void TJvGradient::WndProc(TMessage& Message) {
    // System colours are looked up when rendering: a new palette needs a
    // new picture.
    if (Message.Msg == CM_SYSCOLORCHANGE) Changed();
    TJvExGraphicControl::WndProc(Message);
}

void TJvGradient::Changed() {
    FRenderedWidth = 0;
    Invalidate();
}

void TJvGradient::SetStyle(TJvGradientStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TJvGradient::SetStartColor(TColor Value) {
    if (Value == FStartColor) return;
    FStartColor = Value;
    Changed();
}

void TJvGradient::SetEndColor(TColor Value) {
    if (Value == FEndColor) return;
    FEndColor = Value;
    Changed();
}

void TJvGradient::SetSteps(uint16_t Value) {
    if (Value == FSteps) return;
    FSteps = Value;
    Changed();
}

void TJvGradient::Paint() {
    if (IsDestroying()) return;
    const int W = Width(), H = Height();
    if (W != FRenderedWidth || H != FRenderedHeight) {
        FRenderedWidth = W;
        FRenderedHeight = H;
        if (W == 0 || H == 0) return;
        Render(W, H);
    }
    if (W == 0 || H == 0) return;
    Canvas()->Draw(0, 0, FBitmap.get());
}

void TJvGradient::Render(int W, int H) {
    ++FRenderCount;
    const TColor s = ColorToRGB(FStartColor), e = ColorToRGB(FEndColor);
    FBitmap->SetSize(W, H);
    TCanvas* c = FBitmap->Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Pen()->SetStyle(TPenStyle::psSolid);
    int n = FSteps;
    auto colour = [&](int I) {
        auto channel = [&](int From, int To) { return int(Round(From + I * (double(To - From) / n))); };
        return RGB(channel(GetRValue(s), GetRValue(e)), channel(GetGValue(s), GetGValue(e)),
                   channel(GetBValue(s), GetBValue(e)));
    };
    switch (FStyle) {
    case TJvGradientStyle::grFilled:
        c->Brush()->SetColor(s);
        c->FillRect({0, 0, W, H});
        break;
    case TJvGradientStyle::grHorizontal:
    case TJvGradientStyle::grVertical: {
        bool horizontal = FStyle == TJvGradientStyle::grHorizontal;
        int extent = horizontal ? W : H;
        if (n > extent) n = extent;
        if (n == 0) n = 1;
        double band = double(extent) / n;
        for (int i = 0; i <= n; ++i) {
            int from = int(Round(i * band)), to = int(Round((i + 1) * band));
            c->Brush()->SetColor(colour(i));
            c->FillRect(horizontal ? TRect{from, 0, to, H} : TRect{0, from, W, to});
        }
        break;
    }
    default: {
        c->Brush()->SetColor(s);
        c->FillRect({0, 0, W, H});
        if (n > W / 2) n = W / 2;
        if (n > H / 2) n = H / 2;
        if (n == 0) n = 1;
        double sx = double(W) / n / 2, sy = double(H) / n / 2;
        for (int i = 0; i <= n; ++i) {
            int l = int(Round(i * sx)), t = int(Round(i * sy));
            TColor col = colour(i);
            c->Brush()->SetColor(col);
            c->Pen()->SetColor(col);
            if (FStyle == TJvGradientStyle::grEllipse)
                c->Ellipse(l, t, W - l, H - t);
            else if (FStyle == TJvGradientStyle::grPyramid)
                c->FillRect({l, t, W - l, H - t});
            else
                c->RoundRect(l, t, W - l, H - t, (W - 2 * l) / 2, (H - 2 * t) / 2);
        }
        break;
    }
    }
}
