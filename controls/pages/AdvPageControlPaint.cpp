// Painting of the tab area around the tabs: the strip, the page frame and the
// hover outline, with the tabs painted in between.
#include "controls/pages/AdvPageControl_p.h"

#include <algorithm>
#include <array>

#include "platform/rtl/ScopeGuard.h"

namespace {
// The tab strip is erased this far around each tab.
constexpr int EraseMargin = 2;

// Without a visible tab the page frame keeps a tab edge this far from the
// side of the tabs.
constexpr int EdgeWithoutTabs = 2;

// The corner of a single-row strip that its scroll buttons take.
constexpr int ScrollCornerWidth = 35;

// Depth of the band inside the page frame that takes the page's colours.
constexpr int RingDepth = 4;

// The item rectangle widened by what a tab's drawing reaches beyond it.
TRect ErasedAround(TRect R, TTabPosition Position) {
    R.Right += EraseMargin;
    switch (Position) {
    case TTabPosition::tpTop:
        R.Left -= EraseMargin, R.Top -= EraseMargin;
        break;
    case TTabPosition::tpBottom:
        R.Left -= EraseMargin, R.Bottom += EraseMargin;
        break;
    case TTabPosition::tpLeft:
        R.Left -= EraseMargin, R.Bottom += EraseMargin, R.Right -= EraseMargin, R.Top -= EraseMargin;
        break;
    case TTabPosition::tpRight:
        R.Bottom += EraseMargin, R.Top -= EraseMargin;
        break;
    }
    return R;
}

// The four bands of the ring inside the page frame (the side at the tabs,
// across at the tabs or the top, the far side, across the far end) and the
// band across the top, for a control of W x H with its tab edge at E and
// the frame's inset I.
struct TPageRing {
    std::array<TRect, 4> Bands;
    TRect TopBand;
};

TPageRing PageRing(TTabPosition Position, int W, int H, int E, int I) {
    const int D = RingDepth;
    switch (Position) {
    case TTabPosition::tpTop:
        return {{{{1, E + I, D, H - 1},
                  {1, E + I, W - 1, E + D},
                  {W - D, E + I, W - 1, H - 1},
                  {1, H - D, W - 1, H - 1}}},
                {1, E + 1, W - 1, E + D}};
    case TTabPosition::tpBottom:
        return {{{{1, 1, D, E - I}, {1, E - D, W - 1, E - I}, {W - D, 1, W - 1, E - I}, {1, 1, W - 1, D}}},
                {1, 1, W - 1, D}};
    case TTabPosition::tpLeft:
        return {{{{E + I, 1, E + D, H - 1},
                  {E + I, 1, W - 1, D},
                  {W - D, 1, W - 1, H - 1},
                  {E + I, H - D, W - 1, H - 1}}},
                {E + I, 1, W - 1, D}};
    default: // tabs at the right
        return {{{{1, 1, D, H - 2}, {1, 1, E - I, D}, {E - D, 1, E - I, H - 2}, {1, H - D, E - I, H - 1}}},
                {1, 1, E - I, D}};
    }
}
} // namespace

void TAdvPageControl::DrawTabArea(TCanvas* Canvas) {
    if (FRedrawLock > 0) return;
    TPaintState state;
    PrepareTabArea(Canvas);
    MeasureTabs(state);
    EraseAroundTabs(Canvas);
    PlaceTabEdge(state);
    if (!MultiLine() && Horizontal(TabPosition())) DrawScrollCorner(Canvas, state);
    FillTabStrip(Canvas, state);

    state.PageColoured = FActivePage && (FActivePage->Color() != clNone || FActivePage->FColorTo != clNone);
    state.Inset = FTabSheet3D ? 1 : 0;
    if (state.PageColoured) FillPageRing(Canvas, state);
    if (!FTabSheet3D) {
        DrawPageFrame(Canvas, state);
        if (FRoundEdges) DrawRoundEdges(Canvas);
        if (!FTabSplitLine && state.AnyTab) OpenFrameUnderTabs(Canvas, state);
    }

    // Later tabs first, so that each tab overlaps the one after it.
    for (int p = PageCount() - 1; p >= 0; --p)
        if (FPages[std::size_t(p)]->FTabVisible) PaintTab(Canvas, state, p);
    if (state.DeferredPage >= 0 && !OnDrawTab) PaintDeferredTab(Canvas, state);

    if (FHoverTab >= 0 && FHoverTab < PageCount() && FTabHoverBorder != clNone &&
        FHoverTab != ActivePageIndex())
        DrawHoverOutline(Canvas);
}

// Solid pen and brush, the parent's colour, the control's font.
void TAdvPageControl::PrepareTabArea(TCanvas* c) {
    c->Pen()->SetStyle(TPenStyle::psSolid);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Parent() ? Parent()->Color() : clBtnFace);
    c->Font()->Assign(Font());
}

void TAdvPageControl::MeasureTabs(TPaintState& st) {
    st.MaxBottom = 0;
    st.MinTop = TabCount() ? TabRect(0).Top : 0;
    st.MinLeft = Width();
    st.MaxRight = 0;
    for (int p = PageCount() - 1; p >= 0; --p) {
        if (!FPages[std::size_t(p)]->FTabVisible) continue;
        st.AnyTab = true;
        const TRect r = TabRectOfPage(p);
        st.MaxBottom = std::max(st.MaxBottom, r.Bottom);
        st.MinTop = std::min(st.MinTop, r.Top);
        st.MinLeft = std::min(st.MinLeft, r.Left);
        st.MaxRight = std::max(st.MaxRight, r.Right);
    }
}

// Around each visible tab, in the parent's colour that the brush holds.
void TAdvPageControl::EraseAroundTabs(TCanvas* c) {
    for (int p = PageCount() - 1; p >= 0; --p)
        if (FPages[std::size_t(p)]->FTabVisible) c->FillRect(ErasedAround(TabRectOfPage(p), TabPosition()));
}

// The extent on the page side becomes the edge where the frame meets the
// tabs.
void TAdvPageControl::PlaceTabEdge(TPaintState& st) {
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        if (!st.AnyTab) st.MaxBottom = EdgeWithoutTabs;
        st.Edge = st.MaxBottom;
        break;
    case TTabPosition::tpBottom:
        if (!st.AnyTab) st.MinTop = Height() - EdgeWithoutTabs;
        st.Edge = st.MinTop;
        break;
    case TTabPosition::tpLeft:
        if (!st.AnyTab) st.MaxRight = EdgeWithoutTabs;
        st.Edge = st.MaxRight;
        break;
    case TTabPosition::tpRight:
        if (!st.AnyTab) st.MinLeft = Width() - EdgeWithoutTabs;
        st.Edge = st.MinLeft;
        break;
    }
}

void TAdvPageControl::DrawScrollCorner(TCanvas* c, const TPaintState& st) {
    const int w = Width(), h = Height();
    const int left = w - ScrollCornerWidth;
    const bool top = TabPosition() == TTabPosition::tpTop;
    c->Brush()->SetColor(Color());
    c->FillRect(top ? TRect{left, 0, w, st.MaxBottom} : TRect{left, st.MinTop, w, h});
    c->Pen()->SetColor(top ? clWhite : cl3DDkShadow);
    const int y = top ? st.MaxBottom : st.MinTop - 1;
    Line(c, std::max(left, st.MaxRight), y, w, y);
}

void TAdvPageControl::FillTabStrip(TCanvas* c, const TPaintState& st) {
    const int w = Width(), h = Height();
    c->Brush()->SetColor(FTabBackGroundColor);
    switch (TabPosition()) {
    case TTabPosition::tpLeft:
        c->FillRect({0, 0, st.MaxRight, h});
        break;
    case TTabPosition::tpRight:
        c->FillRect({st.MinLeft, 0, w, h});
        break;
    case TTabPosition::tpBottom:
        c->FillRect({0, st.MinTop, w, h});
        break;
    case TTabPosition::tpTop:
        c->FillRect({0, 0, w, st.MaxBottom});
        break;
    }
}

// The band just inside the page frame in the active page's colours, band by
// band, each clipped: a gradient, with the band across the top kept solid.
void TAdvPageControl::FillPageRing(TCanvas* c, const TPaintState& st) {
    const TPageRing ring = PageRing(TabPosition(), Width(), Height(), st.Edge, st.Inset);
    const TAdvTabSheet* page = FActivePage;
    for (const TRect& band : ring.Bands) {
        if (band.IsEmpty()) continue;
        c->SaveState();
        TScopeGuard restore([c] { c->RestoreState(); });
        c->IntersectClipRect(band);
        if (page->FColorTo != clNone)
            DrawGradient(c, page->BackColor(), page->FColorTo, TabGradientSteps, ClientRect(), false);
        c->Brush()->SetColor(page->BackColor());
        c->Pen()->SetColor(page->BackColor());
        c->Rectangle(page->FColorTo == clNone ? ClientRect() : ring.TopBand);
    }
}

// Outer lines in the frame's colour, inner ones in the control's; a page
// with colours of its own keeps its colour where the inner lines would be.
void TAdvPageControl::DrawPageFrame(TCanvas* c, const TPaintState& st) {
    const int w = Width(), h = Height(), E = st.Edge;
    const bool coloured = st.PageColoured;
    c->Pen()->SetColor(FTabSheetBorderColor);
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        Line(c, 0, E, 0, h);
        Line(c, 0, h - 1, w, h - 1);
        Line(c, w - 1, h - 2, w - 1, E);
        Line(c, 0, E, w, E);
        c->Pen()->SetColor(Color());
        if (!coloured) {
            Line(c, 1, h - 2, w - 1, h - 2);
            Line(c, w - 2, h - 2, w - 2, E);
        }
        break;
    case TTabPosition::tpBottom:
        Line(c, 0, 0, 0, E);
        Line(c, 0, E - 1, w, E - 1);
        Line(c, w - 1, E - 1, w - 1, 0);
        Line(c, 0, 0, w, 0);
        c->Pen()->SetColor(Color());
        if (!coloured) {
            Line(c, 1, E - 2, w - 1, E - 2);
            Line(c, w - 2, E - 2, w - 2, 0);
        }
        break;
    case TTabPosition::tpLeft:
        Line(c, E, 0, E, h);
        Line(c, E, h - 2, w - 2, h - 2);
        Line(c, w - 2, h, w - 2, 0);
        Line(c, w - 2, 0, E, 0);
        c->Pen()->SetColor(Color());
        Line(c, E, h - 1, w - 1, h - 1);
        Line(c, w - 1, h - 1, w - 1, -1);
        break;
    case TTabPosition::tpRight:
        Line(c, 0, 0, 0, h);
        Line(c, 0, h - 2, E, h - 2);
        Line(c, E - 1, h, E - 1, 0);
        Line(c, E - 1, 0, 0, 0);
        c->Pen()->SetColor(Color());
        Line(c, 0, h - 1, E, h - 1);
        if (!coloured) Line(c, E - 2, h - 3, E - 2, 0);
        break;
    }
}

// The two frame corners away from the tabs, rounded.
void TAdvPageControl::DrawRoundEdges(TCanvas* c) {
    const int w = Width(), h = Height();
    const TColor border = FTabSheetBorderColor;
    c->Pen()->SetColor(Color());
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        Poly(c, {{0, h - 4}, {0, h - 1}, {4, h - 1}});
        Poly(c, {{w - 4, h - 1}, {w - 1, h - 1}, {w - 1, h - 5}});
        c->Pen()->SetColor(border);
        Line(c, 1, h - 4, 1, h - 2);
        Line(c, 2, h - 2, 4, h - 2);
        Line(c, w - 4, h - 2, w - 2, h - 2);
        Line(c, w - 2, h - 3, w - 2, h - 5);
        break;
    case TTabPosition::tpBottom:
        Poly(c, {{0, 3}, {0, 0}, {5, 0}});
        Poly(c, {{w - 1, 3}, {w - 1, 0}, {w - 5, 0}});
        c->Pen()->SetColor(border);
        Line(c, 1, 3, 1, 1);
        Line(c, 2, 1, 5, 0);
        Line(c, w - 2, 3, w - 2, 1);
        Line(c, w - 3, 1, w - 5, 1);
        break;
    case TTabPosition::tpLeft:
        Poly(c, {{w - 5, h - 2}, {w - 2, h - 2}, {w - 2, h - 6}});
        Poly(c, {{w - 2, 3}, {w - 2, 0}, {w - 6, 0}});
        c->Pen()->SetColor(border);
        Line(c, w - 5, h - 3, w - 3, h - 3);
        Line(c, w - 3, h - 4, w - 3, h - 6);
        Line(c, w - 3, 3, w - 3, 1);
        Line(c, w - 4, 1, w - 6, 1);
        break;
    case TTabPosition::tpRight:
        Poly(c, {{0, 3}, {0, 0}, {5, 0}});
        Poly(c, {{0, h - 5}, {0, h - 2}, {4, h - 2}});
        c->Pen()->SetColor(border);
        Line(c, 1, 3, 1, 1);
        Line(c, 2, 1, 5, 0);
        Line(c, 1, h - 5, 1, h - 3);
        Line(c, 2, h - 3, 4, h - 3);
        break;
    }
}

// The frame line along the tabs is drawn over in the page's colour, so the
// page runs on into the tabs.
void TAdvPageControl::OpenFrameUnderTabs(TCanvas* c, TPaintState& st) {
    const int E = st.Edge;
    st.Split = 1;
    TColor pen = Color();
    if (st.PageColoured) {
        pen = FActivePage->BackColor();
        if (TabPosition() == TTabPosition::tpBottom && FActivePage->FColorTo != clNone)
            pen = FActivePage->FColorTo;
    }
    c->Pen()->SetColor(pen);
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        Line(c, 3, E, st.MaxRight + FTabOverlap, E);
        break;
    case TTabPosition::tpBottom:
        Line(c, 2, E - 1, st.MaxRight + FTabOverlap, E - 1);
        break;
    case TTabPosition::tpLeft: {
        // Classic tab pictures reach further down the side.
        const int extra = FTabStyle == TTabStyle::tsClassic && !FTabBackGround->Empty() ? 2 : 0;
        Line(c, E, 2, E, st.MaxBottom + FTabOverlap + extra);
        break;
    }
    case TTabPosition::tpRight:
        Line(c, E - 1, st.MaxBottom + FTabOverlap - 1, E - 1, 2);
        break;
    }
}

void TAdvPageControl::DrawHoverOutline(TCanvas* c) {
    const int w = Width(), h = Height();
    auto [L, T, R, B] = TabRectOfPage(FHoverTab);
    c->Pen()->SetColor(FTabHoverBorder);
    switch (TabPosition()) {
    case TTabPosition::tpBottom:
        if (R > w - FarEdgeSlack) R -= 1;
        Poly(c, {{L, T + 1}, {L, B}, {R, B}, {R, T}});
        break;
    case TTabPosition::tpLeft:
        L -= 1, T -= 2;
        if (B > h - FarEdgeSlack) B -= 1;
        Poly(c, {{R - 1, T + 2}, {L, T + 2}, {L, B}, {R, B}});
        break;
    case TTabPosition::tpRight:
        L += 1;
        if (B > h - FarEdgeSlack) B -= 1;
        Poly(c, {{L, T}, {R, T}, {R, B}, {L - 1, B}});
        break;
    case TTabPosition::tpTop:
        T -= 1;
        if (R > w - FarEdgeSlack) R -= 1;
        Poly(c, {{L, B - 2}, {L, T}, {R, T}, {R, B - 1}});
        break;
    }
}
