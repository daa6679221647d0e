// Lengths between screen and device, colours of the print colour modes,
// scaled pictures and the patterned lines of underlines and breaks.
#include <algorithm>

#include "richtext/engine/text/RVFuncs.h"

int RVPixelsPerInchOverride = 0;

int ScaleXToDevice(int Length, const TRVScreenDeviceResolution& Resolution) {
    return MulDiv(Length, Resolution.DevicePpiX, Resolution.ScreenPpiX);
}

int ScaleYToDevice(int Length, const TRVScreenDeviceResolution& Resolution) {
    return MulDiv(Length, Resolution.DevicePpiY, Resolution.ScreenPpiY);
}

int ScaleXToScreen(int Length, const TRVScreenDeviceResolution& Resolution) {
    return MulDiv(Length, Resolution.ScreenPpiX, Resolution.DevicePpiX);
}

int ScaleYToScreen(int Length, const TRVScreenDeviceResolution& Resolution) {
    return MulDiv(Length, Resolution.ScreenPpiY, Resolution.DevicePpiY);
}

void ScaleRectToScreen(TRect& R, const TRVScreenDeviceResolution& Resolution) {
    R.Left = ScaleXToScreen(R.Left, Resolution);
    R.Right = ScaleXToScreen(R.Right, Resolution);
    R.Top = ScaleYToScreen(R.Top, Resolution);
    R.Bottom = ScaleYToScreen(R.Bottom, Resolution);
}

void FillScreenDeviceResolution(TRVScreenDeviceResolution& Resolution, TCanvas& DeviceCanvas) {
    // The device is the canvas's (a printer's has its own); the screen is
    // the layer's, or the override.
    Resolution.DevicePpiX = DeviceCanvas.PixelsPerInch();
    Resolution.DevicePpiY = DeviceCanvas.PixelsPerInch();
    int screen = RVPixelsPerInchOverride > 0 ? RVPixelsPerInchOverride : RVScreenPixelsPerInch;
    Resolution.ScreenPpiX = screen;
    Resolution.ScreenPpiY = screen;
}

int GetScreenPixelsPerInchY() {
    return RVPixelsPerInchOverride > 0 ? RVPixelsPerInchOverride : RVScreenPixelsPerInch;
}

bool PointInBounds(int X, int Y, int Left, int Top, int Width, int Height) {
    return Left <= X && X < Left + Width && Top <= Y && Y < Top + Height;
}

int SignOf(int Value) {
    return (Value > 0) - (Value < 0);
}

int TwoThirds(int Value) {
    // 2n / 3 to the nearest integer without floating point.
    int64_t twice = 2 * int64_t(Value);
    int64_t q = twice / 3, r = twice % 3;
    if (r >= 2)
        ++q;
    else if (r <= -2)
        --q;
    return int(q);
}

int LineThicknessForHeight(int Height) {
    return Height <= 22 ? 1 : (Height - 23) / 15 + 2;
}

int GrayLevel(TColor Color) {
    TColor rgb = ColorToRGB(Color);
    return int(Round(0.3 * GetRValue(rgb) + 0.59 * GetGValue(rgb) + 0.11 * GetBValue(rgb)));
}

TColor ColorToGray(TColor Color) {
    if (Color == clNone) return clNone;
    int level = std::min(GrayLevel(Color), 255);
    return RGB(level, level, level);
}

TColor SystemColorToPrintColor(TColor Color) {
    switch (Color) {
    case clScrollBar:
    case clBtnFace:
        return clSilver;
    case clWindow:
    case clBtnHighlight:
        return clWhite;
    case clWindowText:
        return clBlack;
    case clBtnShadow:
        return clGray;
    default:
        return Color;
    }
}

TColor ApplyColorModeToTextColor(TColor Color, TRVColorMode ColorMode) {
    if (Color == clNone) return clNone;
    switch (ColorMode) {
    case rvcmColor:
        return Color;
    case rvcmPrinterColor:
        return SystemColorToPrintColor(Color);
    case rvcmGrayScale:
        return ColorToGray(SystemColorToPrintColor(Color));
    case rvcmBlackAndWhite:
    case rvcmBlackOnWhite:
        return ColorToRGB(SystemColorToPrintColor(Color)) == clWhite ? clWhite : clBlack;
    }
    return Color;
}

TColor ApplyColorModeToBackColor(TColor Color, TRVColorMode ColorMode) {
    if (Color == clNone) return clNone;
    if (ColorMode == rvcmBlackAndWhite || ColorMode == rvcmBlackOnWhite) return clWhite;
    return ApplyColorModeToTextColor(Color, ColorMode);
}

bool MayBeTransparent(const TBitmap& Picture) {
    return Picture.Transparent;
}

void DrawGraphicScaled(TCanvas& Canvas, int X, int Y, int Width, int Height,
                       const TRVScreenDeviceResolution* Resolution, TBitmap& Picture, bool) {
    if (Width < 0) Width = Picture.Width();
    if (Height < 0) Height = Picture.Height();
    if (Resolution) {
        Width = ScaleXToDevice(Width, *Resolution);
        Height = ScaleYToDevice(Height, *Resolution);
    }
    Canvas.StretchDraw(Bounds(X, Y, Width, Height), &Picture);
}

void DrawStyledLine(TCanvas& Canvas, TColor Color, int Pattern, int Thickness, int Left, int Right, int Y,
                    int PatternUnit) {
    // A thickness or step below one pixel would never get past Right.
    Thickness = std::max(Thickness, 1);
    int top = Y - Thickness / 2, bottom = top + Thickness;
    int u = int(Round(double(PatternUnit) * GetScreenPixelsPerInchY() / 96.0));
    auto fill = [&](int From, int To) {
        if (From < Right) Canvas.FillRect(Rect(From, top, std::min(To, Right), bottom));
    };
    auto round = [](double V) { return int(Round(V)); };
    Canvas.Pen()->SetColor(Color);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    Canvas.Pen()->SetWidth(1);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (Pattern == 0 && Thickness == 1) {
        Canvas.MoveTo(Left, Y);
        Canvas.LineTo(Right, Y);
        return;
    }
    bool circles = Pattern == 1 && Thickness > 2;
    if (!circles) {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(Color);
        Canvas.Pen()->SetStyle(TPenStyle::psClear);
    } else {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(Color);
    }
    int dash = Thickness, dashAdvance = 2 * Thickness, dot = Thickness, dotAdvance = 2 * Thickness;
    switch (Pattern) {
    case 0:
        Canvas.FillRect(Rect(Left, top, Right, bottom));
        break;
    case 1:
        for (int x = Left; x + Thickness < Right; x += 2 * Thickness) {
            if (circles)
                Canvas.Ellipse(x, top, x + Thickness + 1, bottom + 1);
            else
                Canvas.FillRect(Rect(x, top, x + Thickness, bottom));
        }
        break;
    case 2:
    case 3:
        if (Pattern == 2) {
            dash = u ? round(u / 2.0) : Thickness;
            dashAdvance = u ? u : 2 * Thickness;
        } else {
            dash = u ? round(2.0 * u / 3) : 2 * Thickness;
            dashAdvance = u ? u : 3 * Thickness;
        }
        dashAdvance = std::max(dashAdvance, 1);
        for (int x = Left; x < Right; x += dashAdvance)
            fill(x, x + dash);
        break;
    case 4:
    case 5: {
        if (u) {
            if (Pattern == 4) {
                dash = round(4.0 * u / 7), dashAdvance = round(5.0 * u / 7);
                dot = round(u / 7.0), dotAdvance = round(2.0 * u / 7);
            } else {
                dash = round(3.0 * u / 8), dashAdvance = round(u / 2.0);
                dot = round(u / 8.0), dotAdvance = round(u / 4.0);
            }
        } else {
            dash = 2 * Thickness, dashAdvance = 3 * Thickness;
        }
        dashAdvance = std::max(dashAdvance, 1);
        dotAdvance = std::max(dotAdvance, 1);
        int dots = Pattern == 4 ? 1 : 2;
        for (int x = Left; x < Right;) {
            fill(x, x + dash);
            x += dashAdvance;
            for (int i = 0; i < dots && x < Right; ++i) {
                fill(x, x + dot);
                x += dotAdvance;
            }
        }
        break;
    }
    default:
        break;
    }
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
}
