// What the page control's sources share beyond its public header: the paint
// state, the close glyph's size and the line helpers of the painters.
#pragma once

#include <initializer_list>

#include "controls/pages/AdvPageControl.h"

// Tabs along the top or the bottom edge, as against the sides.
inline bool Horizontal(TTabPosition P) {
    return P == TTabPosition::tpTop || P == TTabPosition::tpBottom;
}

// The close glyph's box, and how far it keeps from the corner of the tab
// (after the tab margins).
constexpr int CloseGlyphWidth = 12;
constexpr int CloseGlyphHeight = 11;
constexpr int CloseGlyphInset = 2;

// Steps of the gradients that fill tabs and the band inside the page frame.
constexpr int TabGradientSteps = 16;

// A tab that ends this close to the control's far edge stays inside it.
constexpr int FarEdgeSlack = 5;

// What one paint of the tab area carries from step to step.
struct TAdvPageControl::TPaintState {
    // Extents of the visible tabs.
    int MaxBottom = 0, MinTop = 0, MinLeft = 0, MaxRight = 0;
    bool AnyTab = false;
    // The extent on the page side, where the page frame meets the tabs.
    int Edge = 0;
    // The active page has colours of its own.
    bool PageColoured = false;
    // 1 when the native control keeps its own frame, which takes a pixel.
    int Inset = 0;
    // 1 while inactive classic tabs reach a pixel into the opened frame.
    int Split = 0;
    // The active tab whose picture goes over the others, drawn last.
    int DeferredPage = -1;
    TRect DeferredRect;
    TPoint DeferredText;
};

// One tab being painted.
struct TAdvPageControl::TTabPaint {
    TAdvTabSheet* Sheet = nullptr;
    int Page = -1;
    bool Active = false;
    // OnDrawTab paints fills, pictures, images and captions itself.
    bool OwnerDrawn = false;
    // The native item rectangle, and the box the drawing follows.
    TRect Item, Box;
    // Where the caption starts.
    TPoint Text;
};

// The colours a tab is filled with.
struct TAdvPageControl::TTabFill {
    TColor Color = clNone;
    TColor ColorTo = clNone;
    TGradientDirection Direction = TGradientDirection::gdVertical;
};

inline void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

// Connected lines through the points.
inline void Poly(TCanvas* C, std::initializer_list<TPoint> Points) {
    auto it = Points.begin();
    C->MoveTo(it->X, it->Y);
    for (++it; it != Points.end(); ++it)
        C->LineTo(it->X, it->Y);
}
