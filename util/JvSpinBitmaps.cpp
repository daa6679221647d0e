// The spin button's bitmap sets and their manager: the pictures of every
// state drawn once per size and look, and shared by the buttons.
#include <algorithm>
#include <tuple>

#include "util/JvFormUtils.h"
#include "util/JvSpin.h"
#include "util/JvThemes.h"

namespace {
TSpinButtonBitmapsManager* gManager = nullptr;

using TKey = std::tuple<int, int, int, int>;
TKey KeyOf(int Width, int Height, TJvSpinButtonStyle Style, bool CustomGlyphs) {
    return {Width, Height, int(Style), CustomGlyphs ? 1 : 0};
}

// Arrow rows, X marks a black pixel.
const char* const UpArrow[] = {"..XX..", ".XXXX.", "XXXXXX", "..XX..", "..XX..", "..XX.."};
const char* const UpPole[] = {"...X...", "..XXX..", ".XXXXX.", "XXXXXXX"};

void Line(TCanvas* Canvas, TColor Color, int X1, int Y1, int X2, int Y2) {
    Canvas->Pen()->SetColor(Color);
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
}

// The built-in arrows of a look, placed as glyphs are.
void DrawBuiltInArrows(TCanvas* Canvas, int W, int H, TJvSpinButtonStyle Style, bool TopPressed,
                       bool Disabled, bool Themed) {
    bool classic = Style == TJvSpinButtonStyle::sbsClassic;
    auto up = SpinArrowBitmap(classic ? TSpinArrow::UpPole : TSpinArrow::Up);
    auto down = SpinArrowBitmap(classic ? TSpinArrow::DownPole : TSpinArrow::Down);
    if (Disabled) {
        up = BuildDisabledBitmap(up.get(), clBlack);
        down = BuildDisabledBitmap(down.get(), clBlack);
    }
    TColor transparent = Disabled ? clBtnFace : clWhite;
    auto draw = [&](TBitmap* B, int X, int Y) {
        Canvas->DrawBitmapPart(Bounds(X, Y, B->Width(), B->Height()), B, {0, 0, B->Width(), B->Height()},
                               ColorToRGB(transparent));
    };
    if (classic) {
        int topHeight = H / 2 + (TopPressed ? 0 : 1);
        draw(up.get(), (W - up->Width()) / 2, std::max(0, (topHeight - 1 - up->Height()) / 2));
        int areaTop = H / 2 + (TopPressed ? 1 : 0), d = topHeight - 1;
        draw(down.get(), (W - down->Width()) / 2, areaTop + std::max(0, (d - down->Height()) / 2));
        return;
    }
    int s = TopPressed && !Themed ? 2 : 1;
    draw(up.get(), int(Round(W / 4.0 - up->Width() / 2.0)) + s, int(Round(H / 4.0 - up->Height() / 2.0)) + s);
    draw(down.get(), int(Round(3 * W / 4.0 - down->Width() / 2.0)) - 1,
         int(Round(3 * H / 4.0 - down->Height() / 2.0)) - 1);
}
} // namespace

std::unique_ptr<TBitmap> SpinArrowBitmap(TSpinArrow Arrow) {
    bool pole = Arrow == TSpinArrow::UpPole || Arrow == TSpinArrow::DownPole;
    bool up = Arrow == TSpinArrow::Up || Arrow == TSpinArrow::UpPole;
    const char* const* rows = pole ? UpPole : UpArrow;
    int w = pole ? 7 : 6, h = pole ? 4 : 6;
    auto b = std::make_unique<TBitmap>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixel(x, y, rows[up ? y : h - 1 - y][x] == 'X' ? clBlack : clWhite);
    b->Transparent = true;
    b->TransparentMode = TTransparentMode::tmFixed;
    b->TransparentColorValue = clWhite;
    return b;
}

// TSpinButtonBitmaps

TSpinButtonBitmaps::TSpinButtonBitmaps(TSpinButtonBitmapsManager* Manager, int Width, int Height,
                                       TJvSpinButtonStyle Style, bool CustomGlyphs)
    : FManager(Manager), FWidth(Width), FHeight(Height), FStyle(Style), FCustomGlyphs(CustomGlyphs) {
    DrawAll();
}

TSpinButtonBitmaps::~TSpinButtonBitmaps() {
    if (FManager) FManager->Remove(this);
}

void TSpinButtonBitmaps::RemoveUser() {
    if (--FUserCount <= 0) delete this;
}

void TSpinButtonBitmaps::Draw(TCanvas* Canvas, int X, int Y, TState State) {
    if (FRedrawPending) {
        FRedrawPending = false;
        DrawAll();
    }
    TBitmap* b = FBitmaps[State].get();
    if (b && !b->Empty()) Canvas->Draw(X, Y, b);
}

void TSpinButtonBitmaps::DrawAll() {
    ++FDrawCount;
    FIsThemed = CurrentThemeServices()->ThemesEnabled();
    for (auto& b : FBitmaps)
        b = std::make_unique<TBitmap>();
    // A button of no size has no halves to draw.
    if (FWidth <= 0 || FHeight <= 0) return;
    for (int s = 0; s < StateCount; ++s)
        if (FIsThemed || (s != sTopHot && s != sBottomHot)) FBitmaps[s]->SetSize(FWidth, FHeight);
    if (FStyle == TJvSpinButtonStyle::sbsClassic)
        FIsThemed ? DrawThemedClassic() : DrawClassic();
    else
        FIsThemed ? DrawThemedDiagonal() : DrawDiagonal();
}

void TSpinButtonBitmaps::DrawDiagonal() {
    for (int s = sTopPressed; s <= sDisabled; ++s) {
        TCanvas* c = FBitmaps[s]->Canvas();
        c->Brush()->SetColor(clBtnFace);
        c->FillRect({0, 0, FWidth, FHeight});
        bool top = s == sTopPressed, bottom = s == sBottomPressed;
        TRect r{0, 0, FWidth, FHeight};
        c->DrawEdge(r, top ? EDGE_SUNKEN : EDGE_RAISED, BF_LEFT | BF_TOP);
        r = {0, 0, FWidth, FHeight};
        c->DrawEdge(r, bottom ? EDGE_SUNKEN : EDGE_RAISED, BF_RIGHT | BF_BOTTOM);
        TColor a = top ? clBtnFace : clBtnShadow;
        TColor b = bottom ? clWindowFrame : clBtnHighlight;
        TColor cc = top ? clBtnHighlight : bottom ? clBtnShadow : cl3DDkShadow;
        int L = 1, T = 1, R = FWidth - 1, B = FHeight - 1;
        Line(c, a, L, B - 2, R - 1, T - 1);
        Line(c, cc, R - 1, T, L, B - 1);
        Line(c, b, L + 1, B - 1, R, T);
        if (!FCustomGlyphs) DrawBuiltInArrows(c, FWidth, FHeight, FStyle, top, s == sDisabled, false);
    }
}

void TSpinButtonBitmaps::DrawClassic() {
    for (int s = sTopPressed; s <= sDisabled; ++s) {
        TCanvas* c = FBitmaps[s]->Canvas();
        c->Brush()->SetColor(clBtnFace);
        c->FillRect({0, 0, FWidth, FHeight});
        bool top = s == sTopPressed, bottom = s == sBottomPressed;
        TRect upper{0, 0, FWidth, FHeight / 2 + (top ? 0 : 1)};
        c->DrawEdge(upper, top ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        TRect lower{0, FHeight / 2, FWidth, FHeight};
        c->DrawEdge(lower, bottom ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        if (!FCustomGlyphs) DrawBuiltInArrows(c, FWidth, FHeight, FStyle, top, s == sDisabled, false);
    }
}

namespace {
// The push-button look of a half's state.
TThemedButton HalfElement(int State, bool Top) {
    using S = TSpinButtonBitmaps;
    if (State == S::sDisabled) return TThemedButton::tbPushButtonDisabled;
    if ((State == S::sTopPressed && Top) || (State == S::sBottomPressed && !Top))
        return TThemedButton::tbPushButtonPressed;
    if ((State == S::sTopHot && Top) || (State == S::sBottomHot && !Top))
        return TThemedButton::tbPushButtonHot;
    return TThemedButton::tbPushButtonNormal;
}
} // namespace

void TSpinButtonBitmaps::DrawThemedDiagonal() {
    TThemeServices* theme = CurrentThemeServices();
    // The button in each look, grown by one pixel on every side.
    const TThemedButton looks[] = {TThemedButton::tbPushButtonNormal, TThemedButton::tbPushButtonHot,
                                   TThemedButton::tbPushButtonPressed, TThemedButton::tbPushButtonDisabled};
    std::unique_ptr<TBitmap> faces[4];
    for (int i = 0; i < 4; ++i) {
        faces[i] = std::make_unique<TBitmap>(FWidth, FHeight);
        theme->DrawElement(faces[i]->Canvas(), looks[i], {-1, -1, FWidth + 1, FHeight + 1});
    }
    auto face = [&](TThemedButton Look) {
        for (int i = 0; i < 4; ++i)
            if (looks[i] == Look) return faces[i].get();
        return faces[0].get();
    };
    for (int s = 0; s < StateCount; ++s) {
        TBitmap* out = FBitmaps[s].get();
        TBitmap* top = face(HalfElement(s, true));
        TBitmap* bottom = face(HalfElement(s, false));
        // Each pixel from the half it lies in.
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x) {
                bool lower = y > FHeight - double(FHeight) / FWidth * x;
                out->SetPixel(x, y, (lower ? bottom : top)->Pixel(x, y));
            }
        TCanvas* c = out->Canvas();
        int L = 1, T = 1, R = FWidth - 1, B = FHeight - 1;
        Line(c, clBtnHighlight, L, B - 2, R - 1, T - 1);
        Line(c, cl3DDkShadow, R - 1, T, L, B - 1);
        Line(c, clBtnShadow, L + 1, B - 1, R, T);
        if (!FCustomGlyphs) DrawBuiltInArrows(c, FWidth, FHeight, FStyle, false, s == sDisabled, true);
    }
}

void TSpinButtonBitmaps::DrawThemedClassic() {
    TThemeServices* theme = CurrentThemeServices();
    for (int s = 0; s < StateCount; ++s) {
        TCanvas* c = FBitmaps[s]->Canvas();
        c->Brush()->SetColor(clBtnFace);
        c->FillRect({0, 0, FWidth, FHeight});
        TThemedButton top = HalfElement(s, true), bottom = HalfElement(s, false);
        // The shared row belongs to the top part unless it is drawn normal.
        bool topOwnsRow = top != TThemedButton::tbPushButtonNormal;
        c->SaveState();
        c->IntersectClipRect({0, 0, FWidth, FHeight / 2 + (topOwnsRow ? 1 : 0)});
        theme->DrawElement(c, top, {-1, -1, FWidth + 1, FHeight / 2 + 1});
        c->RestoreState();
        c->SaveState();
        c->IntersectClipRect({0, FHeight / 2 + (topOwnsRow ? 1 : 0), FWidth, FHeight});
        theme->DrawElement(c, bottom, {-1, FHeight / 2, FWidth + 1, FHeight + 1});
        c->RestoreState();
        // The push-button look has no arrows of its own.
        if (!FCustomGlyphs)
            DrawBuiltInArrows(c, FWidth, FHeight, FStyle, s == sTopPressed, s == sDisabled, true);
    }
}

// TSpinButtonBitmapsManager

TSpinButtonBitmapsManager::~TSpinButtonBitmapsManager() {
    std::vector<TSpinButtonBitmaps*> sets = std::move(FList);
    FList.clear();
    for (TSpinButtonBitmaps* set : sets)
        delete set;
}

void TSpinButtonBitmapsManager::RemoveButton() {
    if (--FButtonCount > 0) return;
    if (gManager == this) gManager = nullptr;
    delete this;
}

bool TSpinButtonBitmapsManager::Find(int Width, int Height, TJvSpinButtonStyle Style, bool CustomGlyphs,
                                     int& Index) const {
    TKey key = KeyOf(Width, Height, Style, CustomGlyphs);
    int lo = 0, hi = int(FList.size());
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        const TSpinButtonBitmaps* s = FList[std::size_t(mid)];
        if (KeyOf(s->Width(), s->Height(), s->Style(), s->CustomGlyphs()) < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    if (lo >= int(FList.size())) return false;
    const TSpinButtonBitmaps* s = FList[std::size_t(lo)];
    return KeyOf(s->Width(), s->Height(), s->Style(), s->CustomGlyphs()) == key;
}

TSpinButtonBitmaps* TSpinButtonBitmapsManager::Acquire(int Width, int Height, TJvSpinButtonStyle Style,
                                                       bool CustomGlyphs) {
    int index = 0;
    if (!Find(Width, Height, Style, CustomGlyphs, index))
        FList.insert(FList.begin() + index, new TSpinButtonBitmaps(this, Width, Height, Style, CustomGlyphs));
    TSpinButtonBitmaps* set = FList[std::size_t(index)];
    set->AddUser();
    return set;
}

void TSpinButtonBitmapsManager::Remove(TSpinButtonBitmaps* Set) {
    std::erase(FList, Set);
}

TSpinButtonBitmapsManager* SpinBitmapsManager() {
    if (!gManager) gManager = new TSpinButtonBitmapsManager();
    return gManager;
}

TSpinButtonBitmapsManager* SpinBitmapsManagerIfAny() {
    return gManager;
}
