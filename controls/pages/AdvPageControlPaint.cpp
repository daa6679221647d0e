// Painting of the tab area: the strip, the page frame and every tab.
#include "controls/pages/AdvPageControl_p.h"

#include <algorithm>
#include <initializer_list>

namespace {
void Poly(TCanvas* C, std::initializer_list<TPoint> Points) {
    auto it = Points.begin();
    C->MoveTo(it->X, it->Y);
    for (++it; it != Points.end(); ++it)
        C->LineTo(it->X, it->Y);
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}
} // namespace

std::unique_ptr<TFont> TAdvPageControl::RotatedFont(TFont* Source) const {
    auto font = std::make_unique<TFont>();
    font->Assign(Source);
    font->SetOrientation(TabPosition() == TTabPosition::tpLeft ? -2700 : -900);
    return font;
}

void TAdvPageControl::DrawTabArea(TCanvas* Canvas) {
    if (FRedrawLock > 0) return;
    TPaintState state;
    FPaint = &state;
    struct TReset {
        TPaintState*& Target;
        ~TReset() { Target = nullptr; }
    } reset{FPaint};

    const int w = Width(), h = Height();
    const TTabPosition pos = TabPosition();
    TCanvas* c = Canvas;
    c->Pen()->SetStyle(TPenStyle::psSolid);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);

    // Parent's colour, control's font.
    c->Brush()->SetColor(Parent() ? Parent()->Color() : clBtnFace);
    c->Font()->Assign(Font());

    // Extents, and the tab surroundings erased.
    state.MaxBottom = 0;
    state.MinTop = TabCount() ? TabRect(0).Top : 0;
    state.MinLeft = w;
    state.MaxRight = 0;
    bool anyTab = false;
    for (int p = PageCount() - 1; p >= 0; --p) {
        if (!FPages[std::size_t(p)]->FTabVisible) continue;
        anyTab = true;
        TRect r = TabRectOfPage(p);
        state.MaxBottom = std::max(state.MaxBottom, r.Bottom);
        state.MinTop = std::min(state.MinTop, r.Top);
        state.MinLeft = std::min(state.MinLeft, r.Left);
        state.MaxRight = std::max(state.MaxRight, r.Right);
        r.Right += 2;
        switch (pos) {
        case TTabPosition::tpTop:
            r.Left -= 2, r.Top -= 2;
            break;
        case TTabPosition::tpBottom:
            r.Left -= 2, r.Bottom += 2;
            break;
        case TTabPosition::tpLeft:
            r.Left -= 2, r.Bottom += 2, r.Right -= 2, r.Top -= 2;
            break;
        case TTabPosition::tpRight:
            r.Bottom += 2, r.Top -= 2;
            break;
        }
        c->FillRect(r);
    }

    // Without tabs the page frame keeps a tab edge 2 pixels from the side.
    if (!anyTab) {
        switch (pos) {
        case TTabPosition::tpTop:
            state.MaxBottom = 2;
            break;
        case TTabPosition::tpBottom:
            state.MinTop = h - 2;
            break;
        case TTabPosition::tpLeft:
            state.MaxRight = 2;
            break;
        case TTabPosition::tpRight:
            state.MinLeft = w - 2;
            break;
        }
    }
    const int E = pos == TTabPosition::tpTop      ? state.MaxBottom
                  : pos == TTabPosition::tpBottom ? state.MinTop
                  : pos == TTabPosition::tpLeft   ? state.MaxRight
                                                  : state.MinLeft;
    state.E = E;

    // The scroll-button corner of a single row.
    if (!MultiLine() && Horizontal(pos)) {
        c->Brush()->SetColor(Color());
        bool top = pos == TTabPosition::tpTop;
        c->FillRect(top ? TRect{w - 35, 0, w, state.MaxBottom} : TRect{w - 35, state.MinTop, w, h});
        c->Pen()->SetColor(top ? clWhite : cl3DDkShadow);
        int y = top ? state.MaxBottom : state.MinTop - 1;
        Line(c, std::max(w - 35, state.MaxRight), y, w, y);
    }

    // Strip background.
    c->Brush()->SetColor(FTabBackGroundColor);
    switch (pos) {
    case TTabPosition::tpLeft:
        c->FillRect({0, 0, state.MaxRight, h});
        break;
    case TTabPosition::tpRight:
        c->FillRect({state.MinLeft, 0, w, h});
        break;
    case TTabPosition::tpBottom:
        c->FillRect({0, state.MinTop, w, h});
        break;
    case TTabPosition::tpTop:
        c->FillRect({0, 0, w, state.MaxBottom});
        break;
    }

    // The band inside the page frame in the page's colours.
    TAdvTabSheet* active = FActivePage;
    state.Coloured = active && (active->Color() != clNone || active->FColorTo != clNone);
    state.I = FTabSheet3D ? 1 : 0;
    const int I = state.I;
    if (state.Coloured) {
        TRect bands[4];
        switch (pos) {
        case TTabPosition::tpTop:
            bands[0] = {1, E + I, 4, h - 1}, bands[1] = {1, E + I, w - 1, E + 4};
            bands[2] = {w - 4, E + I, w - 1, h - 1}, bands[3] = {1, h - 4, w - 1, h - 1};
            break;
        case TTabPosition::tpBottom:
            bands[0] = {1, 1, 4, E - I}, bands[1] = {1, E - 4, w - 1, E - I};
            bands[2] = {w - 4, 1, w - 1, E - I}, bands[3] = {1, 1, w - 1, 4};
            break;
        case TTabPosition::tpLeft:
            bands[0] = {E + I, 1, E + 4, h - 1}, bands[1] = {E + I, 1, w - 1, 4};
            bands[2] = {w - 4, 1, w - 1, h - 1}, bands[3] = {E + I, h - 4, w - 1, h - 1};
            break;
        case TTabPosition::tpRight:
            bands[0] = {1, 1, 4, h - 2}, bands[1] = {1, 1, E - I, 4};
            bands[2] = {E - 4, 1, E - I, h - 2}, bands[3] = {1, h - 4, E - I, h - 1};
            break;
        }
        TRect topBand = pos == TTabPosition::tpTop      ? TRect{1, E + 1, w - 1, E + 4}
                        : pos == TTabPosition::tpBottom ? TRect{1, 1, w - 1, 4}
                        : pos == TTabPosition::tpLeft   ? TRect{E + I, 1, w - 1, 4}
                                                        : TRect{1, 1, E - I, 4};
        // The union of the bands is painted band by band: each is clipped.
        for (const TRect& band : bands) {
            if (band.IsEmpty()) continue;
            c->SaveState();
            c->IntersectClipRect(band);
            if (active->FColorTo == clNone) {
                c->Brush()->SetColor(active->Color());
                c->Pen()->SetColor(active->Color());
                c->Rectangle(ClientRect());
            } else {
                DrawGradient(c, active->Color(), active->FColorTo, 16, ClientRect(), false);
                c->Brush()->SetColor(active->Color());
                c->Pen()->SetColor(active->Color());
                c->Rectangle(topBand);
            }
            c->RestoreState();
        }
    }

    // Page frame.
    const bool coloured = state.Coloured;
    if (!FTabSheet3D) {
        c->Pen()->SetColor(FTabSheetBorderColor);
        switch (pos) {
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

    // Rounded corners away from the tabs.
    if (FRoundEdges && !FTabSheet3D) {
        TColor border = FTabSheetBorderColor;
        switch (pos) {
        case TTabPosition::tpTop:
            c->Pen()->SetColor(Color());
            Poly(c, {{0, h - 4}, {0, h - 1}, {4, h - 1}});
            Poly(c, {{w - 4, h - 1}, {w - 1, h - 1}, {w - 1, h - 5}});
            c->Pen()->SetColor(border);
            Line(c, 1, h - 4, 1, h - 2);
            Line(c, 2, h - 2, 4, h - 2);
            Line(c, w - 4, h - 2, w - 2, h - 2);
            Line(c, w - 2, h - 3, w - 2, h - 5);
            break;
        case TTabPosition::tpBottom:
            c->Pen()->SetColor(Color());
            Poly(c, {{0, 3}, {0, 0}, {5, 0}});
            Poly(c, {{w - 1, 3}, {w - 1, 0}, {w - 5, 0}});
            c->Pen()->SetColor(border);
            Line(c, 1, 3, 1, 1);
            Line(c, 2, 1, 5, 0);
            Line(c, w - 2, 3, w - 2, 1);
            Line(c, w - 3, 1, w - 5, 1);
            break;
        case TTabPosition::tpLeft:
            c->Pen()->SetColor(Color());
            Poly(c, {{w - 5, h - 2}, {w - 2, h - 2}, {w - 2, h - 6}});
            Poly(c, {{w - 2, 3}, {w - 2, 0}, {w - 6, 0}});
            c->Pen()->SetColor(border);
            Line(c, w - 5, h - 3, w - 3, h - 3);
            Line(c, w - 3, h - 4, w - 3, h - 6);
            Line(c, w - 3, 3, w - 3, 1);
            Line(c, w - 4, 1, w - 6, 1);
            break;
        case TTabPosition::tpRight:
            c->Pen()->SetColor(Color());
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

    // The frame opens under the tabs.
    if (!FTabSheet3D && !FTabSplitLine && PageCount() > 0 && anyTab) {
        state.S = 1;
        TColor pen = Color();
        if (coloured) {
            pen = active->Color();
            if (pos == TTabPosition::tpBottom && active->FColorTo != clNone) pen = active->FColorTo;
        }
        c->Pen()->SetColor(pen);
        switch (pos) {
        case TTabPosition::tpTop:
            Line(c, 3, E, state.MaxRight + FTabOverlap, E);
            break;
        case TTabPosition::tpBottom:
            Line(c, 2, E - 1, state.MaxRight + FTabOverlap, E - 1);
            break;
        case TTabPosition::tpLeft: {
            int extra = FTabStyle == TTabStyle::tsClassic && !FTabBackGround->Empty() ? 2 : 0;
            Line(c, E, 2, E, state.MaxBottom + FTabOverlap + extra);
            break;
        }
        case TTabPosition::tpRight:
            Line(c, E - 1, state.MaxBottom + FTabOverlap - 1, E - 1, 2);
            break;
        }
    }

    // Tabs, the later ones first.
    for (int p = PageCount() - 1; p >= 0; --p)
        if (FPages[std::size_t(p)]->FTabVisible) PaintTab(c, p);

    // The active tab whose picture had to wait.
    if (state.DeferredPage >= 0 && !OnDrawTab) PaintDeferredTab(c);

    // Hover outline.
    if (FHoverTab >= 0 && FHoverTab < PageCount() && FTabHoverBorder != clNone &&
        FHoverTab != ActivePageIndex()) {
        TRect r = TabRectOfPage(FHoverTab);
        int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
        c->Pen()->SetColor(FTabHoverBorder);
        switch (pos) {
        case TTabPosition::tpBottom:
            if (R > w - 5) R -= 1;
            Poly(c, {{L, T + 1}, {L, B}, {R, B}, {R, T}});
            break;
        case TTabPosition::tpLeft:
            L -= 1, T -= 2;
            if (B > h - 5) B -= 1;
            Poly(c, {{R - 1, T + 2}, {L, T + 2}, {L, B}, {R, B}});
            break;
        case TTabPosition::tpRight:
            L += 1;
            if (B > h - 5) B -= 1;
            Poly(c, {{L, T}, {R, T}, {R, B}, {L - 1, B}});
            break;
        case TTabPosition::tpTop:
            T -= 1;
            if (R > w - 5) R -= 1;
            Poly(c, {{L, B - 2}, {L, T}, {R, T}, {R, B - 1}});
            break;
        }
    }
}

void TAdvPageControl::PaintTab(TCanvas* c, int P) {
    TPaintState& st = *FPaint;
    TAdvTabSheet* sheet = FPages[std::size_t(P)];
    const TTabPosition pos = TabPosition();
    const int w = Width(), h = Height();
    const TRect R0 = TabRectOfPage(P);
    int L = R0.Left, T = R0.Top, R = R0.Right, B = R0.Bottom;
    const bool active = P == ActivePageIndex();
    const bool owner = OnDrawTab != nullptr;

    if (owner) OnDrawTab(this, P, R0, active);
    int X = 0, Y = 0;
    const bool hasBack = !FTabBackGround->Empty();
    if (!st.Scratch) st.Scratch = std::make_unique<TBitmap>();
    if (hasBack) st.Scratch->SetSize(FTabBackGround->Width(), FTabBackGround->Height());

    // Colours.
    TColor fill, fillTo;
    TGradientDirection direction;
    if (active && FActiveColor != clNone) {
        fill = FActiveColor, fillTo = FActiveColorTo, direction = sheet->FTabGradientDirection;
    } else if (P == FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
        fill = FTabHoverColor, fillTo = FTabHoverColorTo, direction = sheet->FHoverGradientDirection;
    } else {
        fill = sheet->FTabColor, fillTo = sheet->FTabColorTo, direction = sheet->FTabGradientDirection;
    }
    c->Brush()->SetColor(fill);
    const bool gradient = fillTo != clNone;
    const bool horizontalBands = direction == TGradientDirection::gdHorizontal;

    // Text origin.
    const bool close = sheet->FShowClose;
    switch (pos) {
    case TTabPosition::tpTop:
        X = L + (close ? 18 : 4);
        Y = active ? T + FLowerActive + 1 : T + 1;
        break;
    case TTabPosition::tpBottom:
        B += 1;
        X = L + (close ? 18 : 4);
        Y = active ? T + FLowerActive + 1 : T;
        break;
    case TTabPosition::tpLeft:
        X = active ? L + FLowerActive + 1 : L + 1;
        Y = B - (close ? 17 : 4);
        break;
    case TTabPosition::tpRight:
        X = active ? R - FLowerActive - 1 : R - 1;
        Y = T + (close ? 17 : 4);
        break;
    }

    bool deferred = false;
    if (!hasBack) {
        // Fill and outline.
        if (pos == TTabPosition::tpTop) T -= 1;
        if (pos == TTabPosition::tpLeft) L -= 1;
        if (!owner) {
            if (gradient) {
                TRect g{L, T, R, B};
                switch (pos) {
                case TTabPosition::tpTop:
                    g.Bottom -= 1;
                    if (horizontalBands) g.Right -= 1;
                    break;
                case TTabPosition::tpBottom:
                    if (horizontalBands)
                        g.Right -= 1;
                    else
                        g.Bottom -= 1;
                    break;
                case TTabPosition::tpLeft:
                    g.Right -= 1;
                    if (!horizontalBands) g.Bottom -= 1;
                    break;
                case TTabPosition::tpRight:
                    if (!active && !horizontalBands) g.Bottom -= 1;
                    break;
                }
                DrawGradient(c, fill, fillTo, 16, g, horizontalBands);
            } else if (fill != clNone) {
                c->FillRect({L, T, R, B});
            }
        }
        if (pos == TTabPosition::tpRight) R += 1;
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->Pen()->SetColor(FTabBorderColor);
        TAdvTabSheet* next = FindNextPage(sheet, true, true);
        const bool nextActive = next && next == FActivePage;
        const bool edge = Horizontal(pos) ? R > st.MaxRight - 3 : B > st.MaxBottom - 3;
        if (FTabStyle == TTabStyle::tsClassic) {
            if (active) {
                switch (pos) {
                case TTabPosition::tpTop:
                    Poly(c, {{L, B - 1}, {L, T}, {R, T}, {R, B}});
                    break;
                case TTabPosition::tpBottom:
                    Poly(c, {{L, T}, {L, B}, {R, B}, {R, T - 1}});
                    break;
                case TTabPosition::tpLeft:
                    Poly(c, {{R - 1, T}, {L, T}, {L, B}, {R, B}});
                    break;
                case TTabPosition::tpRight:
                    Poly(c, {{L, T}, {R - 1, T}, {R - 1, B}, {L - 1, B}});
                    break;
                }
            } else {
                bool farRow = pos == TTabPosition::tpTop      ? B < st.MaxBottom
                              : pos == TTabPosition::tpBottom ? T > st.MinTop
                              : pos == TTabPosition::tpLeft   ? R < st.MaxRight
                                                              : L > st.MinLeft;
                if (st.S == 1 && farRow) st.S = 0;
                int R1 = R > w - 5 ? R : R + 1;
                int B1 = B > h - 5 ? B : B + 1;
                switch (pos) {
                case TTabPosition::tpTop:
                    c->Rectangle(L, T, R1, B + st.S);
                    break;
                case TTabPosition::tpBottom:
                    c->Rectangle(L, T - st.S, R1, B);
                    Y += 2;
                    break;
                case TTabPosition::tpLeft:
                    c->Rectangle(L, T, R + st.S, B1);
                    break;
                case TTabPosition::tpRight:
                    c->Rectangle(L - st.S, T, R, B1);
                    break;
                }
                if (!FTabSheet3D && !FTabSplitLine) st.S = 1;
            }
        } else {
            const bool dotNet = FTabStyle == TTabStyle::tsDotNet;
            if (active) {
                switch (pos) {
                case TTabPosition::tpTop:
                    if (dotNet)
                        Poly(c, {{L, B}, {L, T}, {R, T}, {R, B}});
                    else
                        Line(c, L, B, L, T), Line(c, R, T, R, B);
                    break;
                case TTabPosition::tpBottom:
                    if (dotNet)
                        Poly(c, {{L, T - 1}, {L, B}, {R, B}, {R, T - 1}});
                    else
                        Line(c, L, T - 1, L, B), Line(c, R, B - 1, R, T - 1);
                    break;
                case TTabPosition::tpLeft:
                    if (dotNet)
                        Poly(c, {{R, T}, {L, T}, {L, B}, {R, B}});
                    else
                        Line(c, R, T, L, T), Line(c, L, B, R, B);
                    break;
                case TTabPosition::tpRight:
                    if (dotNet)
                        Poly(c, {{L - 1, T}, {R - 1, T}, {R - 1, B}, {L - 1, B}});
                    else
                        Line(c, L - 1, T, R - 1, T), Line(c, R - 1, B, L - 1, B);
                    break;
                }
            } else {
                switch (pos) {
                case TTabPosition::tpTop:
                    Line(c, L, B, R, B);
                    break;
                case TTabPosition::tpBottom:
                    Line(c, L, T - 1, R, T - 1);
                    break;
                case TTabPosition::tpLeft:
                    Line(c, R, T, R, B);
                    break;
                case TTabPosition::tpRight:
                    Line(c, L - 1, T, L - 1, B);
                    break;
                }
                if (!nextActive || edge) {
                    if (dotNet) {
                        c->Pen()->SetColor(FActiveColor);
                        if (Horizontal(pos)) {
                            Line(c, R - 2, B - 3, R - 2, T + 2);
                            Line(c, R - 3, B - 3, R - 3, T + 2);
                        } else {
                            Line(c, L + 2, B - 2, R - 2, B - 2);
                            Line(c, L + 2, B - 3, R - 2, B - 3);
                        }
                    } else {
                        c->Pen()->SetColor(FTabBorderColor);
                        switch (pos) {
                        case TTabPosition::tpTop:
                            Line(c, R - 2, B, R - 2, T);
                            break;
                        case TTabPosition::tpBottom:
                            Line(c, R - 2, B - 1, R - 2, T - 1);
                            break;
                        default:
                            Line(c, L, B - 2, R, B - 2);
                            break;
                        }
                    }
                }
            }
        }
    } else {
        // Tab pictures.
        switch (pos) {
        case TTabPosition::tpBottom:
            Y += 3;
            break;
        case TTabPosition::tpLeft:
            X -= 2, Y -= 3;
            break;
        case TTabPosition::tpRight:
            X -= TabHeight() / 3, Y -= 3;
            break;
        default:
            break;
        }
        if (!owner) {
            if (active && !FTabBackGroundActive->Empty()) {
                st.Scratch->Assign(FTabBackGroundActive.get());
                st.DeferredPage = P;
                st.DeferredRect = {L, T, R, B};
                deferred = true;
            } else {
                st.Scratch->Assign(FTabBackGround.get());
                int along = R + FTabOverlap - L + 2, down = B + FTabOverlap - T + 3;
                switch (pos) {
                case TTabPosition::tpTop:
                    DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 1, T - 2, along);
                    break;
                case TTabPosition::tpBottom:
                    DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 2, T - 1, along);
                    break;
                case TTabPosition::tpLeft:
                    DrawBitmapSlicesVertical(st.Scratch.get(), c, L, T, down);
                    break;
                case TTabPosition::tpRight:
                    DrawBitmapSlicesVertical(st.Scratch.get(), c, L - 1, T - 2, down);
                    break;
                }
            }
        }
    }

    // Rotated caption font for tabs at the sides.
    if (!Horizontal(pos)) c->Font()->Assign(RotatedFont(active ? FActiveFont.get() : Font()).get());

    // Margins.
    if (pos == TTabPosition::tpLeft) {
        X += FTabMargin->LeftMargin();
        Y -= FTabMargin->TopMargin();
        if (!FTabBackGroundActive->Empty()) Y += FTabOverlap + 3;
    } else {
        X += FTabMargin->LeftMargin();
        Y += FTabMargin->TopMargin();
    }
    if (deferred && st.DeferredText == TPoint{-10, -10}) {
        st.DeferredText = {X, Y};
        return;
    }

    // Close glyph.
    if (close) {
        if (active && FGlyphState == TGlyphState::gsHot)
            DrawCloseGlyphHot(c, R0);
        else if (active && FGlyphState == TGlyphState::gsDown)
            DrawCloseGlyphDown(c, R0);
        else
            DrawCloseGlyph(c, R0, active);
    }

    if (!owner) DrawTabImage(c, sheet, X, Y, 1, 18);

    // Caption font.
    if (!active) {
        if (Horizontal(pos)) c->Font()->Assign(Font());
        c->Font()->SetColor(sheet->FTextColor);
    } else if (Horizontal(pos)) {
        c->Font()->Assign(FActiveFont.get());
    }
    if (!sheet->FTabEnable) c->Font()->SetColor(clGray);
    if (!sheet->Enabled()) c->Font()->SetColor(clGrayText);

    c->Brush()->SetStyle(TBrushStyle::bsClear);
    if (!owner) DrawTabCaption(c, sheet, X, Y, R0.Right, R0.Bottom);
    if (active) c->Font()->Assign(Font());

    if (active) DrawTabFocus(c, {L, T, R, B}, 0);
}

void TAdvPageControl::PaintDeferredTab(TCanvas* c) {
    TPaintState& st = *FPaint;
    TAdvTabSheet* sheet = FPages[std::size_t(st.DeferredPage)];
    const TTabPosition pos = TabPosition();
    st.Scratch->Assign(FTabBackGroundActive.get());
    TRect r = st.DeferredRect;
    int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    int along = R + FTabOverlap - L + 2, down = B + FTabOverlap - T + 3;
    bool lowered = FLowerActive >= 1;
    switch (pos) {
    case TTabPosition::tpTop:
        DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 2, lowered ? T - 1 : T - 2, along);
        break;
    case TTabPosition::tpBottom:
        DrawBitmapSlicesHorizontal(st.Scratch.get(), c, L - 2, lowered ? T - 3 : T - 1, along);
        break;
    case TTabPosition::tpLeft:
        DrawBitmapSlicesVertical(st.Scratch.get(), c, lowered ? L + 1 : L, T, down);
        break;
    case TTabPosition::tpRight:
        DrawBitmapSlicesVertical(st.Scratch.get(), c, lowered ? L - 3 : L - 1, T - 2, down);
        break;
    }
    if (sheet->FShowClose) DrawCloseGlyph(c, r, true);
    int X = st.DeferredText.X, Y = st.DeferredText.Y;
    DrawTabImage(c, sheet, X, Y, 0, 14);
    if (Horizontal(pos))
        c->Font()->Assign(FActiveFont.get());
    else
        c->Font()->Assign(RotatedFont(FActiveFont.get()).get());
    if (!sheet->Enabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    DrawTabCaption(c, sheet, X, pos == TTabPosition::tpBottom ? Y - 2 : Y, R, B);
    c->Font()->Assign(Font());
    DrawTabFocus(c, r, FTabOverlap);
}

void TAdvPageControl::DrawTabImage(TCanvas* c, TAdvTabSheet* Sheet, int& X, int& Y, int LeftShift,
                                   int RightShift) {
    if (!FImages || Sheet->FImageIndex < 0) return;
    switch (TabPosition()) {
    case TTabPosition::tpLeft:
        FImages->Draw(c, X + LeftShift, Y - 14, Sheet->FImageIndex);
        Y -= FImages->Height();
        break;
    case TTabPosition::tpRight:
        FImages->Draw(c, X - RightShift, Y, Sheet->FImageIndex);
        Y += FImages->Height();
        break;
    default:
        FImages->Draw(c, X - 2, Y, Sheet->FImageIndex);
        X += FImages->Width();
        break;
    }
}

void TAdvPageControl::DrawTabCaption(TCanvas* c, TAdvTabSheet* Sheet, int X, int Y, int Right, int Bottom) {
    if (!Horizontal(TabPosition())) {
        c->TextOut(X, Y, Sheet->Caption());
        return;
    }
    TRect r{X, Y, Right, Bottom};
    c->DrawText(Sheet->Caption(), r, DT_NOCLIP | DT_SINGLELINE);
}

void TAdvPageControl::DrawTabFocus(TCanvas* c, const TRect& TabRect, int Extra) {
    if (!FShowFocus || !Focused()) return;
    const bool horizontal = Horizontal(TabPosition());
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(TPenStyle::psDot);
    c->Rectangle(TabRect.Left + 5, TabRect.Top + 3, TabRect.Right - (horizontal ? Extra : 0) - 5,
                 TabRect.Bottom - (horizontal ? 0 : Extra) - 3);
    c->Pen()->SetStyle(TPenStyle::psSolid);
}

void TAdvPageControl::DrawGlyph(TCanvas* c, const TRect& TabRect, int D, int K, TColor Box, TColor BoxPen,
                                TColor Cross) {
    int gx = 0, gy = 0;
    switch (TabPosition()) {
    case TTabPosition::tpLeft:
        gx = TabRect.Left + FTabMargin->LeftMargin() + D + 2;
        gy =
            TabRect.Bottom - FTabMargin->TopMargin() - 13 + (FTabBackGroundActive->Empty() ? 0 : FTabOverlap);
        break;
    case TTabPosition::tpRight:
        gx = TabRect.Left + FTabMargin->LeftMargin() + 2 + K;
        gy = TabRect.Top + FTabMargin->TopMargin() + 2;
        break;
    default:
        gx = TabRect.Left + FTabMargin->LeftMargin() + 2;
        gy = TabRect.Top + FTabMargin->TopMargin() + D + 2;
        break;
    }
    if (!FCloseGlyph->Empty()) {
        DrawCloseGlyphBitmap(c, gx, gy);
        return;
    }
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Box);
    c->Pen()->SetColor(BoxPen);
    c->Rectangle(gx, gy, gx + 12, gy + 11);
    c->Pen()->SetColor(Cross);
    if (TabPosition() == TTabPosition::tpLeft) {
        Line(c, gx + 3, gy + 3, gx + 9, gy + 8);
        Line(c, gx + 4, gy + 3, gx + 8, gy + 8);
        Line(c, gx + 3, gy + 7, gx + 9, gy + 2);
        Line(c, gx + 4, gy + 7, gx + 8, gy + 2);
    } else {
        Line(c, gx + 3, gy + 7, gx + 9, gy + 2);
        Line(c, gx + 4, gy + 7, gx + 8, gy + 2);
        Line(c, gx + 3, gy + 3, gx + 9, gy + 8);
        Line(c, gx + 4, gy + 3, gx + 8, gy + 8);
    }
    c->Brush()->SetStyle(TBrushStyle::bsClear);
}

void TAdvPageControl::DrawCloseGlyph(TCanvas* Canvas, const TRect& TabRect, bool Active) {
    int d = Active ? FLowerActive : 0;
    DrawGlyph(Canvas, TabRect, d, 2 - d, clWhite, clGray, clBlack);
}

void TAdvPageControl::DrawCloseGlyphHot(TCanvas* Canvas, const TRect& TabRect) {
    DrawGlyph(Canvas, TabRect, FLowerActive, 0, clWhite, clBlack, clGray);
}

void TAdvPageControl::DrawCloseGlyphDown(TCanvas* Canvas, const TRect& TabRect) {
    DrawGlyph(Canvas, TabRect, FLowerActive, 2 - FLowerActive, clSilver, clBlack, clBlack);
}

void TAdvPageControl::DrawCloseGlyphBitmap(TCanvas* Canvas, int X, int Y) {
    Canvas->SaveState();
    Canvas->IntersectClipRect({X, Y, X + 12, Y + 11});
    FCloseGlyph->Transparent = true;
    FCloseGlyph->TransparentMode = TTransparentMode::tmAuto;
    Canvas->Draw(X, Y, FCloseGlyph.get());
    Canvas->RestoreState();
}
