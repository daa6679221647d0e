// The canvas's own logic over its primitives: pen position, shapes, text
// measured and placed by character advances, text layout for DrawText,
// edges, bitmaps, resolution, and the origin and clip it keeps.
#include "platform/canvas/Graphics.h"

#include <algorithm>
#include <array>

namespace {
// Texts up to this many characters are measured without the heap.
constexpr std::size_t ShortText = 256;

// Room for N values: on the stack for short texts.
template <typename T> class TScratch {
public:
    explicit TScratch(std::size_t N) {
        if (N > FLocal.size()) FHeap.resize(N);
    }
    T* Data() { return FHeap.empty() ? FLocal.data() : FHeap.data(); }

private:
    std::array<T, ShortText> FLocal;
    std::vector<T> FHeap;
};

// CP1251 text as UTF-16: one unit for every byte.
class TWideText {
public:
    explicit TWideText(const AnsiString& Text) : FUnits(Text.size()), FSize(Text.size()) {
        char16_t* out = FUnits.Data();
        for (std::size_t i = 0; i < FSize; ++i)
            out[i] = Cp1251ToUnicode(static_cast<unsigned char>(Text[i]));
    }
    operator std::u16string_view() { return {FUnits.Data(), FSize}; }

private:
    TScratch<char16_t> FUnits;
    std::size_t FSize;
};

bool IsLowSurrogate(char16_t C) {
    return C >= 0xDC00 && C <= 0xDFFF;
}
} // namespace

AnsiString StripHotkey(const AnsiString& Text) {
    AnsiString out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += Text[i];
    }
    return out;
}

TCanvas::TCanvas(int PixelsPerInch)
    : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()),
      FPixelsPerInch(PixelsPerInch > 0 ? PixelsPerInch : ScreenPixelsPerInch) {
    FFont->SetPixelsPerInch(FPixelsPerInch);
}

TCanvas::~TCanvas() = default;

void TCanvas::MoveTo(int X, int Y) {
    FPenPos = {X, Y};
}

void TCanvas::LineTo(int X, int Y) {
    if (FPen->Style() != TPenStyle::psClear) DoLine(FPenPos, {X, Y});
    FPenPos = {X, Y};
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    if (Points.empty()) return;
    TPoint saved = FPenPos;
    MoveTo(Points[0].X, Points[0].Y);
    for (std::size_t i = 1; i < Points.size(); ++i)
        LineTo(Points[i].X, Points[i].Y);
    FPenPos = saved;
}

void TCanvas::FillRect(const TRect& R) {
    if (R.IsEmpty() || FBrush->Style() == TBrushStyle::bsClear) return;
    DoFillRect(R);
}

void TCanvas::FrameRect(const TRect& R) {
    if (R.IsEmpty()) return;
    FillRect({R.Left, R.Top, R.Right, R.Top + 1});
    FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
    FillRect({R.Left, R.Top, R.Left + 1, R.Bottom});
    FillRect({R.Right - 1, R.Top, R.Right, R.Bottom});
}

void TCanvas::Rectangle(int L, int T, int R, int B) {
    if (L > R) std::swap(L, R);
    if (T > B) std::swap(T, B);
    if (R - L < 1 || B - T < 1) return;
    DoRectangle({L, T, R, B});
}

void TCanvas::Ellipse(int L, int T, int R, int B) {
    if (R - L < 1 || B - T < 1) return;
    DoEllipse({L, T, R, B});
}

void TCanvas::RoundRect(int L, int T, int R, int B, int EllipseWidth, int EllipseHeight) {
    if (L > R) std::swap(L, R);
    if (T > B) std::swap(T, B);
    if (R - L < 1 || B - T < 1) return;
    DoRoundRect({L, T, R, B}, std::max(0, EllipseWidth), std::max(0, EllipseHeight));
}

void TCanvas::SetPixelsPerInch(int Value) {
    if (Value <= 0 || Value == FPixelsPerInch) return;
    FFont->SetHeight(MulDiv(FFont->Height(), Value, FPixelsPerInch));
    FFont->SetPixelsPerInch(Value);
    FPixelsPerInch = Value;
}

int TCanvas::Advances(std::u16string_view Text, int* Out) {
    if (Text.empty()) return 0;
    DoCharAdvances(Text, Out);
    int sum = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        // The second unit of a pair belongs to the character before it.
        if (FCharacterExtra != 0 && !IsLowSurrogate(Text[i])) Out[i] += FCharacterExtra;
        sum += Out[i];
    }
    return sum;
}

int TCanvas::DrawTextAt(int X, int Y, std::u16string_view Text, const TRect* Clip) {
    TScratch<int> advances(Text.size());
    int width = Advances(Text, advances.Data());
    DoText(X, Y, Text, advances.Data(), Clip);
    return width;
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    FPenPos = {X + DrawTextAt(X, Y, TWideText(Text), nullptr), Y};
}

void TCanvas::TextOut(int X, int Y, const WideString& Text) {
    FPenPos = {X + DrawTextAt(X, Y, Text, nullptr), Y};
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text) {
    DrawTextAt(X, Y, TWideText(Text), &R);
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const WideString& Text) {
    DrawTextAt(X, Y, Text, &R);
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
    TWideText wide(Text);
    TScratch<int> advances(Text.size());
    return {Advances(wide, advances.Data()), TextMetrics().tmHeight};
}

TSize TCanvas::TextExtent(const WideString& Text) {
    TScratch<int> advances(Text.size());
    return {Advances(Text, advances.Data()), TextMetrics().tmHeight};
}

std::vector<int> TCanvas::CharAdvances(const AnsiString& Text) {
    std::vector<int> out(Text.size());
    Advances(TWideText(Text), out.data());
    return out;
}

std::vector<int> TCanvas::CharAdvances(const WideString& Text) {
    std::vector<int> out(Text.size());
    Advances(Text, out.data());
    return out;
}

int TCanvas::CharAdvances(std::u16string_view Text, int* Out) {
    return Advances(Text, Out);
}

TSize TCanvas::TextExtentEx(const AnsiString& Text, int MaxWidth, int& Fit, std::vector<int>* Extents) {
    return TextExtentEx(AnsiToWide(Text), MaxWidth, Fit, Extents);
}

TSize TCanvas::TextExtentEx(const WideString& Text, int MaxWidth, int& Fit, std::vector<int>* Extents) {
    std::vector<int> local;
    std::vector<int>& extents = Extents ? *Extents : local;
    extents.resize(Text.size());
    Advances(Text, extents.data());
    Fit = 0;
    int x = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        x += extents[i];
        extents[i] = x;
        if (x <= MaxWidth && Fit == int(i)) ++Fit;
    }
    return {x, TextMetrics().tmHeight};
}

TTextMetric TCanvas::TextMetrics() {
    return DoTextMetrics();
}

int TCanvas::DrawText(const AnsiString& Text, TRect& R, unsigned Format) {
    AnsiString shown = (Format & DT_NOPREFIX) ? Text : StripHotkey(Text);
    std::vector<AnsiString> lines;
    if (Format & DT_SINGLELINE) {
        lines.push_back(shown);
    } else {
        std::size_t start = 0;
        while (true) {
            std::size_t nl = shown.find('\n', start);
            AnsiString line = shown.substr(start, nl == AnsiString::npos ? AnsiString::npos : nl - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            if (nl == AnsiString::npos) break;
            start = nl + 1;
        }
    }
    int lineHeight = TextExtent("Wg").cy;
    int width = 0;
    for (auto& l : lines)
        width = std::max(width, TextExtent(l).cx);
    int height = lineHeight * int(lines.size());
    if (Format & DT_CALCRECT) {
        R.Right = R.Left + width;
        R.Bottom = R.Top + height;
        return height;
    }
    int y = R.Top;
    if (Format & DT_SINGLELINE) {
        if (Format & DT_VCENTER)
            y = R.Top + (R.Height() - lineHeight) / 2;
        else if (Format & DT_BOTTOM)
            y = R.Bottom - lineHeight;
    }
    for (auto& l : lines) {
        int w = TextExtent(l).cx;
        int x = R.Left;
        if (Format & DT_CENTER)
            x = R.Left + (R.Width() - w) / 2;
        else if (Format & DT_RIGHT)
            x = R.Right - w;
        DrawTextAt(x, y, TWideText(l), (Format & DT_NOCLIP) ? nullptr : &R);
        y += lineHeight;
    }
    return height;
}

void TCanvas::Draw(int X, int Y, TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty()) return;
    TRect all{0, 0, Bitmap->Width(), Bitmap->Height()};
    DoDrawBitmap(Bounds(X, Y, all.Right, all.Bottom), Bitmap, all,
                 Bitmap->Transparent ? Bitmap->TransparentColor() : clNone);
}

void TCanvas::StretchDraw(const TRect& Dest, TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty() || Dest.IsEmpty()) return;
    DoDrawBitmap(Dest, Bitmap, {0, 0, Bitmap->Width(), Bitmap->Height()},
                 Bitmap->Transparent ? Bitmap->TransparentColor() : clNone);
}

void TCanvas::DrawBitmapPart(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) {
    if (!Bitmap || Bitmap->Empty() || Dest.IsEmpty() || Source.IsEmpty()) return;
    DoDrawBitmap(Dest, Bitmap, Source, Transparent);
}

void TCanvas::DrawFocusRect(const TRect& R) {
    if (!R.IsEmpty()) DoFocusRect(R);
}

void TCanvas::DrawEdge(TRect& R, unsigned Edge, unsigned Flags) {
    // Outer ring first, then the inner one, each side in its light or dark
    // colour.
    struct TRing {
        unsigned Raised, Sunken;
        TColor Light, Dark, SunkLight, SunkDark;
    };
    const TRing rings[2] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, clBtnHighlight, clBtnShadow, cl3DLight, cl3DDkShadow}};
    TRect r = R;
    TColor savedBrush = FBrush->Color();
    TBrushStyle savedStyle = FBrush->Style();
    for (const TRing& ring : rings) {
        bool raised = Edge & ring.Raised, sunken = Edge & ring.Sunken;
        if (!raised && !sunken) continue;
        TColor topLeft = raised ? ring.Light : ring.SunkDark;
        TColor bottomRight = raised ? ring.Dark : ring.SunkLight;
        if (sunken && &ring == &rings[1]) topLeft = ring.SunkDark, bottomRight = ring.SunkLight;
        FBrush->SetColor(topLeft);
        if (Flags & BF_LEFT) FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
        if (Flags & BF_TOP) FillRect({r.Left, r.Top, r.Right, r.Top + 1});
        FBrush->SetColor(bottomRight);
        if (Flags & BF_RIGHT) FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
        if (Flags & BF_BOTTOM) FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
        if (Flags & BF_LEFT) ++r.Left;
        if (Flags & BF_TOP) ++r.Top;
        if (Flags & BF_RIGHT) --r.Right;
        if (Flags & BF_BOTTOM) --r.Bottom;
    }
    if (Flags & BF_MIDDLE) {
        FBrush->SetColor(clBtnFace);
        FillRect(r);
    }
    FBrush->SetColor(savedBrush);
    FBrush->SetStyle(savedStyle);
    if (Flags & BF_ADJUST) R = r;
}

TColor TCanvas::Pixel(int, int) {
    return clNone;
}
void TCanvas::SetPixel(int, int, TColor) {}

void TCanvas::MoveOrigin(int DX, int DY) {
    FOrigin.X += MulDiv(DX, FScale.Viewport.cx, FScale.Window.cx);
    FOrigin.Y += MulDiv(DY, FScale.Viewport.cy, FScale.Window.cy);
}

void TCanvas::SetScale(TSize Window, TSize Viewport) {
    if (Window.cx <= 0 || Window.cy <= 0 || Viewport.cx <= 0 || Viewport.cy <= 0)
        FScale = {};
    else
        FScale = {Window, Viewport};
}

TPoint TCanvas::ToDevice(int X, int Y) const {
    return {FOrigin.X + MulDiv(X, FScale.Viewport.cx, FScale.Window.cx),
            FOrigin.Y + MulDiv(Y, FScale.Viewport.cy, FScale.Window.cy)};
}

void TCanvas::IntersectClipRect(const TRect& R) {
    TPoint topLeft = ToDevice(R.Left, R.Top), bottomRight = ToDevice(R.Right, R.Bottom);
    TRect device{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
    if (FClip) {
        TRect both;
        IntersectRect(both, *FClip, device);
        FClip = both;
    } else {
        FClip = device;
    }
}

void TCanvas::ResetClip() {
    FClip.reset();
}

std::optional<TRect> TCanvas::ClipRect() const {
    if (!FClip) return std::nullopt;
    TRect r = *FClip;
    OffsetRect(r, -FOrigin.X, -FOrigin.Y);
    if (!Scaled()) return r;
    return TRect{MulDiv(r.Left, FScale.Window.cx, FScale.Viewport.cx),
                 MulDiv(r.Top, FScale.Window.cy, FScale.Viewport.cy),
                 MulDiv(r.Right, FScale.Window.cx, FScale.Viewport.cx),
                 MulDiv(r.Bottom, FScale.Window.cy, FScale.Viewport.cy)};
}

void TCanvas::SaveState() {
    FStates.push_back({FOrigin, FClip, FScale});
}

void TCanvas::RestoreState() {
    if (FStates.empty()) return;
    FOrigin = FStates.back().Origin;
    FClip = FStates.back().Clip;
    FScale = FStates.back().Scale;
    FStates.pop_back();
}
