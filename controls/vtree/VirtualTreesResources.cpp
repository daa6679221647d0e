// The resources every tree of the process shares: the check-box, node-button
// and utility images (drawn here as strips of 16-pixel squares and cut into
// image lists), and the byte-wise blending of 32-bit bitmaps.
#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/ImgList.h"

namespace {

// The strips are drawn in these colours and mapped to the system's when
// loaded, as the platform maps the colours of resource bitmaps.
constexpr TColor MaskColor = RGB(255, 0, 255);
constexpr TColor White = RGB(255, 255, 255), Silver = RGB(192, 192, 192), Grey = RGB(128, 128, 128),
                 Black = RGB(0, 0, 0);

struct TCheckLook {
    TColor Frame;
    TColor Fill;
    TColor Mark;
    bool Tick; // a slanted tick instead of a square check
    bool Flat;
};

void Fill(TCanvas* C, int L, int T, int R, int B, TColor Color) {
    C->Brush()->SetStyle(TBrushStyle::bsSolid);
    C->Brush()->SetColor(Color);
    C->FillRect(TRect{L, T, R, B});
}

void Frame(TCanvas* C, int L, int T, int R, int B, TColor Color) {
    Fill(C, L, T, R, T + 1, Color);
    Fill(C, L, B - 1, R, B, Color);
    Fill(C, L, T, L + 1, B, Color);
    Fill(C, R - 1, T, R, B, Color);
}

// Check mark (state 1) or mixed mark (state 2) inside a 13-pixel box at X, Y.
void DrawMark(TCanvas* C, int X, int Y, int State, const TCheckLook& Look, TColor Mark) {
    if (State == 2) {
        Fill(C, X + 3, Y + 3, X + 10, Y + 10, Mark);
        return;
    }
    if (State != 1) return;
    if (Look.Tick) {
        for (int i = 0; i < 3; ++i)
            Fill(C, X + 3 + i, Y + 6 + i, X + 4 + i, Y + 9 + i, Mark);
        for (int i = 0; i < 5; ++i)
            Fill(C, X + 6 + i, Y + 7 - i, X + 7 + i, Y + 10 - i, Mark);
    } else {
        for (int i = 0; i < 3; ++i)
            Fill(C, X + 3 + i, Y + 5 + i, X + 4 + i, Y + 8 + i, Mark);
        for (int i = 0; i < 4; ++i)
            Fill(C, X + 6 + i, Y + 6 - i, X + 7 + i, Y + 9 - i, Mark);
    }
}

// 25 images: 0 empty, 1-8 radio buttons, 9-20 check boxes, 21-24 node buttons;
// within each group of four: normal, hot, pressed, disabled.
std::unique_ptr<TBitmap> DrawCheckStrip(const TCheckLook& Look) {
    auto strip = std::make_unique<TBitmap>(25 * 16, 16);
    TCanvas* c = strip->Canvas();
    Fill(c, 0, 0, 25 * 16, 16, MaskColor);
    for (int i = 1; i <= 24; ++i) {
        const int x = i * 16;
        const int variant = (i - 1) % 4; // normal, hot, pressed, disabled
        const TColor fill = variant == 2 ? Silver : variant == 3 ? RGB(224, 224, 224) : Look.Fill;
        const TColor frame = variant == 1 ? RGB(0, 0, 255) : variant == 3 ? Grey : Look.Frame;
        const TColor mark = variant == 3 ? Grey : Look.Mark;
        if (i <= 8) {
            // Radio button: a round box of rows.
            static const int widths[12] = {4, 8, 10, 10, 12, 12, 12, 12, 10, 10, 8, 4};
            for (int r = 0; r < 12; ++r) {
                const int w = widths[r];
                Fill(c, x + 2 + (12 - w) / 2, 2 + r, x + 2 + (12 - w) / 2 + w, 3 + r, frame);
                if (r > 0 && r < 11 && w > 2)
                    Fill(c, x + 3 + (12 - w) / 2, 2 + r, x + 1 + (12 - w) / 2 + w, 3 + r, fill);
            }
            if (i >= 5) Fill(c, x + 6, 6, x + 10, 10, mark);
        } else if (i <= 20) {
            Fill(c, x + 1, 1, x + 14, 14, fill);
            Frame(c, x + 1, 1, x + 14, 14, frame);
            if (!Look.Flat) Frame(c, x + 2, 2, x + 13, 13, variant == 2 ? Grey : Silver);
            const int state = i <= 12 ? 0 : i <= 16 ? 1 : 2;
            DrawMark(c, x + 1, 1, state, Look, mark);
        } else {
            // Node buttons: a plain push button face.
            Fill(c, x + 1, 1, x + 15, 15, variant == 2 ? Silver : RGB(236, 233, 216));
            Frame(c, x + 1, 1, x + 15, 15, frame);
        }
    }
    return strip;
}

// Drop marks, sort glyphs (plain and themed) and the three parts of the
// hot bar under a hot header button.
std::unique_ptr<TBitmap> DrawUtilityStrip() {
    auto strip = std::make_unique<TBitmap>(9 * 16, 16);
    TCanvas* c = strip->Canvas();
    Fill(c, 0, 0, 9 * 16, 16, MaskColor);
    // Drop marks: arrows pointing at the edge.
    for (int r = 0; r < 5; ++r) {
        Fill(c, 0 + 1, 3 + r, 0 + 2 + r, 4 + r, Black);
        Fill(c, 0 + 1, 12 - r, 0 + 2 + r, 13 - r, Black);
        Fill(c, 16 + 14 - r, 3 + r, 16 + 15, 4 + r, Black);
        Fill(c, 16 + 14 - r, 12 - r, 16 + 15, 13 - r, Black);
    }
    Fill(c, 0, 2, 1, 14, Black);
    Fill(c, 16 + 15, 2, 16 + 16, 14, Black);
    // Sort glyphs: descending points down, ascending points up.
    for (int pair = 0; pair < 2; ++pair) {
        const TColor colour = pair == 0 ? Grey : RGB(172, 168, 153);
        const int down = (2 + pair * 2) * 16, up = (3 + pair * 2) * 16;
        for (int r = 0; r < 4; ++r) {
            Fill(c, down + 4 + r, 6 + r, down + 11 - r, 7 + r, colour);
            Fill(c, up + 4 + r, 9 - r, up + 11 - r, 10 - r, colour);
        }
    }
    // The hot bar: three rows at the top of each part.
    const TColor bar[3] = {RGB(255, 199, 60), RGB(255, 180, 30), RGB(248, 169, 0)};
    for (int part = 6; part <= 8; ++part)
        for (int r = 0; r < 3; ++r) {
            int l = part * 16, rr = part * 16 + 16;
            if (part == 6 && r == 0) ++l;
            if (part == 8 && r == 0) --rr;
            Fill(c, l, r, rr, r + 1, bar[r]);
        }
    return strip;
}

TColor MapColor(TColor C) {
    switch (C & 0xFFFFFF) {
    case White:
        return ColorToRGB(clWindow);
    case Silver:
        return ColorToRGB(clBtnFace);
    case Grey:
        return ColorToRGB(clBtnShadow);
    case Black:
        return ColorToRGB(clBtnText);
    default:
        return C;
    }
}

// Cuts Strip into square images as high as the strip; its top-left pixel
// is the mask colour.
void LoadImageListFromStrip(TCustomImageList* List, TBitmap* Strip, bool MapColors) {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    TBitmap mapped;
    mapped.Assign(Strip);
    if (MapColors)
        for (int y = 0; y < mapped.Height(); ++y) {
            uint32_t* row = mapped.ScanLine(y);
            for (int x = 0; x < mapped.Width(); ++x) {
                const uint32_t p = row[x];
                const TColor c = RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
                const TColor m = MapColor(c);
                row[x] = 0xFF000000u | uint32_t(GetRValue(m)) << 16 | uint32_t(GetGValue(m)) << 8 |
                         uint32_t(GetBValue(m));
            }
        }
    List->Clear();
    List->SetSize(mapped.Height(), mapped.Height());
    List->AddMasked(&mapped, mapped.Pixel(0, 0));
}

struct TSharedImages {
    std::array<std::unique_ptr<TImageList>, 9> Check; // by TCheckImageKind, ckCustom unused
    std::unique_ptr<TImageList> Utility;

    TSharedImages() { Load(); }
    void Load() {
        const TCheckLook looks[9] = {
            {Grey, White, Black, false, false},                                   // light check
            {Black, White, Black, false, false},                                  // dark check
            {Grey, White, RGB(0, 128, 0), true, false},                           // light tick
            {Black, White, RGB(0, 128, 0), true, false},                          // dark tick
            {Black, White, Black, false, true},                                   // flat
            {RGB(28, 81, 128), RGB(244, 244, 240), RGB(33, 161, 33), true, true}, // XP
            {Grey, White, Black, false, false},                                   // custom: not used
            {Grey, White, Black, false, false},                                   // system
            {Black, White, Black, false, true},                                   // system flat
        };
        for (int k = 0; k < 9; ++k) {
            if (k == ckCustom) continue;
            if (!Check[size_t(k)]) Check[size_t(k)] = std::make_unique<TImageList>(nullptr);
            std::unique_ptr<TBitmap> strip = DrawCheckStrip(looks[k]);
            LoadImageListFromStrip(Check[size_t(k)].get(), strip.get(), k != ckXP);
        }
        if (!Utility) Utility = std::make_unique<TImageList>(nullptr);
        std::unique_ptr<TBitmap> strip = DrawUtilityStrip();
        LoadImageListFromStrip(Utility.get(), strip.get(), true);
    }
};

TSharedImages& Shared() {
    // Made by the first tree that needs them, kept until the program ends.
    static TSharedImages images;
    return images;
}

} // namespace

TCustomImageList* UtilityImages() {
    return Shared().Utility.get();
}

TCustomImageList* SharedCheckImages(TCheckImageKind Kind) {
    if (Kind == ckCustom) return nullptr;
    return Shared().Check[size_t(Kind)].get();
}

void RefreshSharedImages() {
    Shared().Load();
}

TCustomImageList* TBaseVirtualTree::GetCheckImageListFor(TCheckImageKind Kind) {
    return SharedCheckImages(Kind);
}

// ---- Blending ----------------------------------------------------------------------------

bool ProcessorHasMMX() {
    // The per-byte arithmetic below gives the same results on every processor.
    return true;
}

namespace {

uint8_t BlendByte(int S, int D, int A, int Bias) {
    const int v = ((S - D) * A + 256 * D) >> 8;
    int biased = std::clamp(v - 128 + Bias, -32768, 32767) + 128;
    return uint8_t(std::clamp(biased, 0, 255));
}

} // namespace

void BlendBitmaps(TBitmap* Source, TBitmap* Destination, const TRect& R, TPoint Target, TBlendMode Mode,
                  int ConstantAlpha, int Bias) {
    if (R.IsEmpty() || !Destination) return;
    if (Mode == bmConstantAlphaAndColor) {
        const int alpha = std::clamp(ConstantAlpha, 0, 255);
        const uint32_t colour = uint32_t(Bias);
        const int cb = GetBValue(colour), cg = GetGValue(colour), cr = GetRValue(colour);
        TRect r = R;
        r.Left = std::max(r.Left, 0);
        r.Top = std::max(r.Top, 0);
        r.Right = std::min(r.Right, Destination->Width());
        r.Bottom = std::min(r.Bottom, Destination->Height());
        for (int y = r.Top; y < r.Bottom; ++y) {
            uint32_t* row = Destination->ScanLine(y);
            for (int x = r.Left; x < r.Right; ++x) {
                const uint32_t p = row[x];
                auto mix = [&](int shift, int c) {
                    const int d = int((p >> shift) & 0xFF);
                    return uint32_t((d * (256 - alpha) + c * alpha) >> 8) << shift;
                };
                row[x] = mix(0, cb) | mix(8, cg) | mix(16, cr) | mix(24, 0);
            }
        }
        return;
    }
    if (!Source) return;
    for (int y = 0; y < R.Height(); ++y) {
        const int sy = R.Top + y, dy = Target.Y + y;
        if (sy < 0 || sy >= Source->Height() || dy < 0 || dy >= Destination->Height()) continue;
        const uint32_t* src = Source->ScanLine(sy);
        uint32_t* dst = Destination->ScanLine(dy);
        for (int x = 0; x < R.Width(); ++x) {
            const int sx = R.Left + x, dx = Target.X + x;
            if (sx < 0 || sx >= Source->Width() || dx < 0 || dx >= Destination->Width()) continue;
            const uint32_t s = src[sx], d = dst[dx];
            int alpha = ConstantAlpha;
            if (Mode == bmPerPixelAlpha)
                alpha = int(s >> 24);
            else if (Mode == bmMasterAlpha)
                alpha = (int(s >> 24) * ConstantAlpha) >> 8;
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8)
                out |= uint32_t(BlendByte(int((s >> shift) & 0xFF), int((d >> shift) & 0xFF), alpha, Bias))
                       << shift;
            dst[dx] = out;
        }
    }
}
