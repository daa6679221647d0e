// The drawing routines the painters share: gradients and transparent bitmaps
// stretched in slices.
#include "controls/pages/AdvPageControl.h"

#include <algorithm>

void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                  bool Horizontal) {
    if (Steps < 1) Steps = 1;
    TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    double stepR = (GetRValue(to) - GetRValue(from)) / double(Steps);
    double stepG = (GetGValue(to) - GetGValue(from)) / double(Steps);
    double stepB = (GetBValue(to) - GetBValue(from)) / double(Steps);
    double band = (Horizontal ? R.Right - R.Left : R.Bottom - R.Top) / double(Steps);
    if (band < 0) return;
    int size = int(Round(band));
    for (int i = 0; i < Steps; ++i) {
        int r = GetRValue(from) + int(Round(i * stepR));
        int g = GetGValue(from) + int(Round(i * stepG));
        int b = GetBValue(from) + int(Round(i * stepB));
        TColor c = TColor(r + g * 256 + b * 65536);
        Canvas->Pen()->SetColor(c);
        Canvas->Brush()->SetColor(c);
        int o = int(Round(i * band)) % 65536;
        if (Horizontal)
            Canvas->Rectangle(R.Left + o, R.Top, R.Left + o + size + 1, R.Bottom);
        else
            Canvas->Rectangle(R.Left, R.Top + o, R.Right, R.Top + o + size + 1);
    }
}

void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, int Width, int Height, int SourceX,
                           int SourceY, TColor TransparentColor) {
    if (Width <= 0 || Height <= 0) return;
    Canvas->DrawBitmapPart(Bounds(X, Y, Width, Height), Bitmap, Bounds(SourceX, SourceY, Width, Height),
                           TransparentColor);
}

void StretchTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, int Width, int Height,
                              int SourceX, int SourceY, int SourceWidth, int SourceHeight,
                              TColor TransparentColor) {
    if (Width <= 0 || Height <= 0 || SourceWidth <= 0 || SourceHeight <= 0) return;
    Canvas->DrawBitmapPart(Bounds(X, Y, Width, Height), Bitmap,
                           Bounds(SourceX, SourceY, SourceWidth, SourceHeight), TransparentColor);
}

void DrawBitmapSlicesVertical(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, int Length) {
    if (!Bitmap || Bitmap->Empty()) return;
    int bw = Bitmap->Width(), bh = Bitmap->Height();
    TColor key = Bitmap->Pixel(0, bh - 1);
    // Too small to slice: drawn whole.
    if (bh < 2) {
        DrawTransparentBitmap(Canvas, Bitmap, X, Y, bw, bh, 0, 0, key);
        return;
    }
    int half = bh / 2;
    int stretch = std::max(0, Length - bh);
    DrawTransparentBitmap(Canvas, Bitmap, X, Y, bw, half, 0, 0, key);
    StretchTransparentBitmap(Canvas, Bitmap, X, Y + half, bw, stretch, 0, half - 1, bw, 2, key);
    DrawTransparentBitmap(Canvas, Bitmap, X, Y + half + stretch, bw, half, 0, half, key);
}

void DrawBitmapSlicesHorizontal(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, int Length) {
    if (!Bitmap || Bitmap->Empty()) return;
    int bw = Bitmap->Width(), bh = Bitmap->Height();
    TColor key = Bitmap->Pixel(0, bh - 1);
    if (bw < 2) {
        DrawTransparentBitmap(Canvas, Bitmap, X, Y, bw, bh, 0, 0, key);
        return;
    }
    int half = bw / 2;
    int stretch = std::max(0, Length - bw);
    DrawTransparentBitmap(Canvas, Bitmap, X, Y, half, bh, 0, 0, key);
    StretchTransparentBitmap(Canvas, Bitmap, X + half, Y, stretch, bh, half - 1, 0, 2, bh, key);
    DrawTransparentBitmap(Canvas, Bitmap, X + half + stretch, Y, half, bh, half, 0, key);
}
