// Painting of one tab: its fill or picture, its outline in the tab style, its
// close glyph, image, caption and focus frame.
#include "controls/pages/AdvPageControl_p.h"

#include "platform/rtl/ScopeGuard.h"

namespace {
// From the tab's start to its caption, and past a close glyph; the rotated
// captions of tabs at the sides start a pixel nearer past the glyph.
constexpr int CaptionIndent = 4;
constexpr int CaptionIndentPastGlyph = 18;
constexpr int SideCaptionIndentPastGlyph = 17;

// The caption keeps this far from the tab's edge, and LowerActive further
// on the active tab.
constexpr int CaptionInset = 1;

// The caption of an inactive classic tab below the page drops with its
// outline.
constexpr int ClassicBottomCaptionDrop = 2;

// Captions over tab pictures move in from the pictures' rims.
constexpr int PictureCaptionShift = 3;
constexpr int PictureCaptionBack = 2;
// ... and below the page the active tab's caption over its own picture
// rises again.
constexpr int ActivePictureCaptionRise = 2;

// A tab picture reaches this much further than the tab, along the strip
// (tabs top or bottom) and down it (tabs left or right).
constexpr int PictureReachAlong = 2;
constexpr int PictureReachDown = 3;

// Where a tab picture starts from the corner of its tab, by tab position
// (top, bottom, left, right): an inactive one, and the active one drawn
// last, at its place or lowered.
constexpr TPoint PictureOffset[] = {{-1, -2}, {-2, -1}, {0, 0}, {-1, -2}};
constexpr TPoint ActivePictureOffset[] = {{-2, -2}, {-2, -1}, {0, 0}, {-1, -2}};
constexpr TPoint LoweredPictureOffset[] = {{-2, -1}, {-2, -3}, {1, 0}, {-3, -2}};

// The image before the caption: on tabs at the left it rises above the
// caption's start, at the right it stands before it (nearer over a picture),
// elsewhere it starts just left of it.
constexpr int ImageRise = 14;
constexpr int ImageBack = 2;
constexpr int RightImageBack = 18;
constexpr int RightImageBackOnPicture = 14;
constexpr int LeftImageInset = 1;

// The dotted focus frame keeps this far inside the tab.
constexpr int FocusInsetX = 5;
constexpr int FocusInsetY = 3;

// Rotated captions, in tenths of a degree.
constexpr int LeftCaptionOrientation = -2700;
constexpr int RightCaptionOrientation = -900;

// A tab ending this close to the end of the strip ends the strip.
constexpr int StripEndSlack = 3;

// On tabs at the right the close glyph moves this far less the lowering.
constexpr int RightGlyphShift = 2;

// The cross in the close glyph's box, as strokes from its corner; tabs at
// the left draw the two diagonals the other way round.
struct TStroke {
    int X1, Y1, X2, Y2;
};
constexpr TStroke CrossStrokes[] = {{3, 7, 9, 2}, {4, 7, 8, 2}, {3, 3, 9, 8}, {4, 3, 8, 8}};
constexpr TStroke LeftCrossStrokes[] = {{3, 3, 9, 8}, {4, 3, 8, 8}, {3, 7, 9, 2}, {4, 7, 8, 2}};

TPoint operator+(TPoint A, TPoint B) {
    return {A.X + B.X, A.Y + B.Y};
}
} // namespace

std::unique_ptr<TFont> TAdvPageControl::RotatedFont(TFont* Source) const {
    auto font = std::make_unique<TFont>();
    font->Assign(Source);
    font->SetOrientation(TabPosition() == TTabPosition::tpLeft ? LeftCaptionOrientation
                                                               : RightCaptionOrientation);
    return font;
}

void TAdvPageControl::PaintTab(TCanvas* c, TPaintState& st, int P) {
    TTabPaint tab;
    tab.Sheet = FPages[std::size_t(P)];
    tab.Page = P;
    tab.Item = TabRectOfPage(P);
    tab.Active = P == ActivePageIndex();
    tab.OwnerDrawn = OnDrawTab != nullptr;
    if (tab.OwnerDrawn) OnDrawTab(this, P, tab.Item, tab.Active);

    const TTabFill fill = TabFill(tab);
    c->Brush()->SetColor(fill.Color);
    tab.Box = TabBox(tab.Item);
    tab.Text = CaptionOrigin(tab);
    const bool plain = FTabBackGround->Empty();
    // The active tab's own picture goes over the others, so it waits.
    const bool deferred = !plain && !tab.OwnerDrawn && tab.Active && !FTabBackGroundActive->Empty();
    if (plain)
        DrawPlainTab(c, st, tab, fill);
    else if (!tab.OwnerDrawn && !deferred)
        DrawTabPicture(c, FTabBackGround.get(), tab.Box, PictureOffset[int(TabPosition())]);

    if (!Horizontal(TabPosition()))
        c->Font()->Assign(RotatedFont(tab.Active ? FActiveFont.get() : Font()).get());
    if (deferred) {
        st.DeferredPage = P;
        st.DeferredRect = tab.Box;
        st.DeferredText = tab.Text;
        return;
    }
    DrawTabContent(c, tab);
}

// Fill and outline of a tab without pictures.
void TAdvPageControl::DrawPlainTab(TCanvas* c, TPaintState& st, const TTabPaint& Tab, const TTabFill& Fill) {
    if (!Tab.OwnerDrawn) FillTab(c, Tab, Fill);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Pen()->SetColor(FTabBorderColor);
    if (FTabStyle == TTabStyle::tsClassic)
        DrawClassicOutline(c, st, Tab);
    else
        DrawFlatOutline(c, st, Tab);
}

// Close glyph, image, caption and focus frame.
void TAdvPageControl::DrawTabContent(TCanvas* c, TTabPaint& Tab) {
    if (Tab.Sheet->FShowClose) DrawTabCloseGlyph(c, Tab);
    if (!Tab.OwnerDrawn) DrawTabImage(c, Tab.Sheet, Tab.Text.X, Tab.Text.Y, LeftImageInset, RightImageBack);
    SetCaptionFont(c, Tab);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    if (!Tab.OwnerDrawn)
        DrawTabCaption(c, Tab.Sheet, Tab.Text.X, Tab.Text.Y, Tab.Item.Right, Tab.Item.Bottom);
    if (Tab.Active) {
        c->Font()->Assign(Font());
        DrawTabFocus(c, Tab.Box, 0);
    }
}

// The active tab over its picture, after all the others.
void TAdvPageControl::PaintDeferredTab(TCanvas* c, const TPaintState& st) {
    TAdvTabSheet* sheet = FPages[std::size_t(st.DeferredPage)];
    const TRect& box = st.DeferredRect;
    const int side = int(TabPosition());
    DrawTabPicture(c, FTabBackGroundActive.get(), box,
                   FLowerActive >= 1 ? LoweredPictureOffset[side] : ActivePictureOffset[side]);
    if (sheet->FShowClose) DrawCloseGlyph(c, box, true);
    int X = st.DeferredText.X, Y = st.DeferredText.Y;
    DrawTabImage(c, sheet, X, Y, 0, RightImageBackOnPicture);
    if (Horizontal(TabPosition()))
        c->Font()->Assign(FActiveFont.get());
    else
        c->Font()->Assign(RotatedFont(FActiveFont.get()).get());
    if (!sheet->Enabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    if (TabPosition() == TTabPosition::tpBottom) Y -= ActivePictureCaptionRise;
    DrawTabCaption(c, sheet, X, Y, box.Right, box.Bottom);
    c->Font()->Assign(Font());
    DrawTabFocus(c, box, FTabOverlap);
}

// The active colours, the hover colours, or the sheet's own.
TAdvPageControl::TTabFill TAdvPageControl::TabFill(const TTabPaint& Tab) const {
    const TAdvTabSheet* sheet = Tab.Sheet;
    if (Tab.Active && FActiveColor != clNone)
        return {FActiveColor, FActiveColorTo, sheet->FTabGradientDirection};
    if (Tab.Page == FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone))
        return {FTabHoverColor, FTabHoverColorTo, sheet->FHoverGradientDirection};
    return {sheet->FTabColor, sheet->FTabColorTo, sheet->FTabGradientDirection};
}

// The item rectangle, reaching a pixel further from the page: below the page
// always, on the other sides where no tab picture is drawn.
TRect TAdvPageControl::TabBox(const TRect& Item) const {
    TRect box = Item;
    const bool plain = FTabBackGround->Empty();
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        if (plain) box.Top -= 1;
        break;
    case TTabPosition::tpBottom:
        box.Bottom += 1;
        break;
    case TTabPosition::tpLeft:
        if (plain) box.Left -= 1;
        break;
    case TTabPosition::tpRight:
        if (plain) box.Right += 1;
        break;
    }
    return box;
}

// The strip sizes a tab from its native string, which is not what is painted
// there: the caption, in the active font on the active tab, after the close
// glyph. A tab is never narrower than what it shows.
int TAdvPageControl::TabTextWidth(TCanvas* Canvas, int TabIndex) {
    const int native = TCustomTabControl::TabTextWidth(Canvas, TabIndex);
    auto* sheet = dynamic_cast<TAdvTabSheet*>(TabObject(TabIndex));
    if (!sheet || FTabBorder3D || OnDrawTab) return native;
    const bool horizontal = Horizontal(TabPosition());
    TFont saved;
    saved.Assign(Canvas->Font());
    TScopeGuard restore([&] { Canvas->Font()->Assign(&saved); });
    Canvas->Font()->Assign(sheet == FActivePage ? FActiveFont.get() : Font());
    int shown = Canvas->TextWidth(horizontal ? StripHotkey(sheet->Caption()) : sheet->Caption());
    if (sheet->FShowClose)
        shown += (horizontal ? CaptionIndentPastGlyph : SideCaptionIndentPastGlyph) - CaptionIndent;
    return std::max(native, shown);
}

TPoint TAdvPageControl::CaptionOrigin(const TTabPaint& Tab) const {
    return CaptionStart(Tab) + CaptionShift(Tab) + MarginShift();
}

// Past the tab's start (and its close glyph), lowered on the active tab.
TPoint TAdvPageControl::CaptionStart(const TTabPaint& Tab) const {
    const auto [L, T, R, B] = Tab.Item;
    const bool close = Tab.Sheet->FShowClose;
    const int indent = close ? CaptionIndentPastGlyph : CaptionIndent;
    const int sideIndent = close ? SideCaptionIndentPastGlyph : CaptionIndent;
    const int lowered = FLowerActive + CaptionInset;
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        return {L + indent, Tab.Active ? T + lowered : T + CaptionInset};
    case TTabPosition::tpBottom:
        return {L + indent, Tab.Active ? T + lowered : T};
    case TTabPosition::tpLeft:
        return {Tab.Active ? L + lowered : L + CaptionInset, B - sideIndent};
    case TTabPosition::tpRight:
        return {Tab.Active ? R - lowered : R - CaptionInset, T + sideIndent};
    }
    return {};
}

// How the tab's drawing moves the caption: an outline below the page, or
// tab pictures.
TPoint TAdvPageControl::CaptionShift(const TTabPaint& Tab) const {
    const TTabPosition pos = TabPosition();
    if (FTabBackGround->Empty()) {
        const bool classicBelow = pos == TTabPosition::tpBottom && FTabStyle == TTabStyle::tsClassic;
        return {0, classicBelow && !Tab.Active ? ClassicBottomCaptionDrop : 0};
    }
    switch (pos) {
    case TTabPosition::tpBottom:
        return {0, PictureCaptionShift};
    case TTabPosition::tpLeft:
        return {-PictureCaptionBack, -PictureCaptionShift};
    case TTabPosition::tpRight:
        return {-(TabHeight() / 3), -PictureCaptionShift};
    default:
        return {};
    }
}

// The tab margins; up the rotated captions at the left, which an active
// picture moves down by the overlap.
TPoint TAdvPageControl::MarginShift() const {
    TPoint shift{FTabMargin->LeftMargin(), FTabMargin->TopMargin()};
    if (TabPosition() == TTabPosition::tpLeft) {
        shift.Y = -shift.Y;
        if (!FTabBackGroundActive->Empty()) shift.Y += FTabOverlap + PictureCaptionShift;
    }
    return shift;
}

// A gradient stops a pixel short of the outline on some sides; a right tab's
// fill leaves the outline's extra column alone.
void TAdvPageControl::FillTab(TCanvas* c, const TTabPaint& Tab, const TTabFill& Fill) {
    TRect r = Tab.Box;
    if (TabPosition() == TTabPosition::tpRight) r.Right -= 1;
    if (Fill.ColorTo == clNone) {
        if (Fill.Color != clNone) c->FillRect(r);
        return;
    }
    const bool bands = Fill.Direction == TGradientDirection::gdHorizontal;
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        r.Bottom -= 1;
        if (bands) r.Right -= 1;
        break;
    case TTabPosition::tpBottom:
        if (bands)
            r.Right -= 1;
        else
            r.Bottom -= 1;
        break;
    case TTabPosition::tpLeft:
        r.Right -= 1;
        if (!bands) r.Bottom -= 1;
        break;
    case TTabPosition::tpRight:
        if (!Tab.Active && !bands) r.Bottom -= 1;
        break;
    }
    DrawGradient(c, Fill.Color, Fill.ColorTo, TabGradientSteps, r, bands);
}

// The active tab opens towards the page.
void TAdvPageControl::DrawClassicActiveOutline(TCanvas* c, const TRect& Box) {
    const auto [L, T, R, B] = Box;
    switch (TabPosition()) {
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
}

// An inactive tab is a rectangle that reaches into the opened frame when it
// sits on the row next to it.
void TAdvPageControl::DrawClassicOutline(TCanvas* c, TPaintState& st, const TTabPaint& Tab) {
    if (Tab.Active) {
        DrawClassicActiveOutline(c, Tab.Box);
        return;
    }
    const auto [L, T, R, B] = Tab.Box;
    const TTabPosition pos = TabPosition();
    const bool farRow = pos == TTabPosition::tpTop      ? B < st.MaxBottom
                        : pos == TTabPosition::tpBottom ? T > st.MinTop
                        : pos == TTabPosition::tpLeft   ? R < st.MaxRight
                                                        : L > st.MinLeft;
    if (st.Split == 1 && farRow) st.Split = 0;
    const int S = st.Split;
    // A tab at the control's far edge does not reach past it.
    const int R1 = R > Width() - FarEdgeSlack ? R : R + 1;
    const int B1 = B > Height() - FarEdgeSlack ? B : B + 1;
    switch (pos) {
    case TTabPosition::tpTop:
        c->Rectangle(L, T, R1, B + S);
        break;
    case TTabPosition::tpBottom:
        c->Rectangle(L, T - S, R1, B);
        break;
    case TTabPosition::tpLeft:
        c->Rectangle(L, T, R + S, B1);
        break;
    case TTabPosition::tpRight:
        c->Rectangle(L - S, T, R, B1);
        break;
    }
    if (!FTabSheet3D && !FTabSplitLine) st.Split = 1;
}

// The styles without a classic frame: an inactive tab's line along the page
// and a separator after it, unless the active tab follows it inside the
// strip.
void TAdvPageControl::DrawFlatOutline(TCanvas* c, const TPaintState& st, const TTabPaint& Tab) {
    if (Tab.Active) {
        DrawFlatActiveOutline(c, Tab.Box);
        return;
    }
    const auto [L, T, R, B] = Tab.Box;
    const TTabPosition pos = TabPosition();
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
    TAdvTabSheet* next = FindNextPage(Tab.Sheet, true, true);
    const bool nextActive = next && next == FActivePage;
    const bool stripEnd =
        Horizontal(pos) ? R > st.MaxRight - StripEndSlack : B > st.MaxBottom - StripEndSlack;
    if (!nextActive || stripEnd) DrawTabSeparator(c, Tab.Box);
}

// The active tab's two sides, joined across its outer end in the tsDotNet
// style.
void TAdvPageControl::DrawFlatActiveOutline(TCanvas* c, const TRect& Box) {
    const auto [L, T, R, B] = Box;
    const bool dotNet = FTabStyle == TTabStyle::tsDotNet;
    switch (TabPosition()) {
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
}

void TAdvPageControl::DrawTabSeparator(TCanvas* c, const TRect& Box) {
    const auto [L, T, R, B] = Box;
    if (FTabStyle == TTabStyle::tsDotNet) {
        c->Pen()->SetColor(FActiveColor);
        if (Horizontal(TabPosition())) {
            Line(c, R - 2, B - 3, R - 2, T + 2);
            Line(c, R - 3, B - 3, R - 3, T + 2);
        } else {
            Line(c, L + 2, B - 2, R - 2, B - 2);
            Line(c, L + 2, B - 3, R - 2, B - 3);
        }
        return;
    }
    c->Pen()->SetColor(FTabBorderColor);
    switch (TabPosition()) {
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

void TAdvPageControl::DrawTabPicture(TCanvas* c, TBitmap* Picture, const TRect& Box, TPoint Offset) {
    const int x = Box.Left + Offset.X, y = Box.Top + Offset.Y;
    if (Horizontal(TabPosition()))
        DrawBitmapSlicesHorizontal(Picture, c, x, y, Box.Right + FTabOverlap - Box.Left + PictureReachAlong);
    else
        DrawBitmapSlicesVertical(Picture, c, x, y, Box.Bottom + FTabOverlap - Box.Top + PictureReachDown);
}

// Only the active tab's glyph shows the mouse.
void TAdvPageControl::DrawTabCloseGlyph(TCanvas* c, const TTabPaint& Tab) {
    if (Tab.Active && FGlyphState == TGlyphState::gsHot)
        DrawCloseGlyphHot(c, Tab.Item);
    else if (Tab.Active && FGlyphState == TGlyphState::gsDown)
        DrawCloseGlyphDown(c, Tab.Item);
    else
        DrawCloseGlyph(c, Tab.Item, Tab.Active);
}

// The active font on the active tab, else the control's in the sheet's text
// colour (tabs at the sides keep their rotated font); grey when disabled.
void TAdvPageControl::SetCaptionFont(TCanvas* c, const TTabPaint& Tab) {
    const bool horizontal = Horizontal(TabPosition());
    if (!Tab.Active) {
        if (horizontal) c->Font()->Assign(Font());
        c->Font()->SetColor(Tab.Sheet->FTextColor);
    } else if (horizontal) {
        c->Font()->Assign(FActiveFont.get());
    }
    if (!Tab.Sheet->FTabEnable) c->Font()->SetColor(clGray);
    if (!Tab.Sheet->Enabled()) c->Font()->SetColor(clGrayText);
}

void TAdvPageControl::DrawTabImage(TCanvas* c, TAdvTabSheet* Sheet, int& X, int& Y, int LeftShift,
                                   int RightShift) {
    if (!FImages || Sheet->FImageIndex < 0) return;
    switch (TabPosition()) {
    case TTabPosition::tpLeft:
        FImages->Draw(c, X + LeftShift, Y - ImageRise, Sheet->FImageIndex);
        Y -= FImages->Height();
        break;
    case TTabPosition::tpRight:
        FImages->Draw(c, X - RightShift, Y, Sheet->FImageIndex);
        Y += FImages->Height();
        break;
    default:
        FImages->Draw(c, X - ImageBack, Y, Sheet->FImageIndex);
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
    c->Rectangle(TabRect.Left + FocusInsetX, TabRect.Top + FocusInsetY,
                 TabRect.Right - (horizontal ? Extra : 0) - FocusInsetX,
                 TabRect.Bottom - (horizontal ? 0 : Extra) - FocusInsetY);
    c->Pen()->SetStyle(TPenStyle::psSolid);
}

// A close picture when there is one, else a box with a cross.
void TAdvPageControl::DrawGlyph(TCanvas* c, const TRect& TabRect, int D, int K, TColor Box, TColor BoxPen,
                                TColor Cross) {
    const auto [gx, gy] = CloseGlyphCorner(TabRect, D, K);
    if (!FCloseGlyph->Empty()) {
        DrawCloseGlyphBitmap(c, gx, gy);
        return;
    }
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Box);
    c->Pen()->SetColor(BoxPen);
    c->Rectangle(gx, gy, gx + CloseGlyphWidth, gy + CloseGlyphHeight);
    c->Pen()->SetColor(Cross);
    for (const TStroke& s : TabPosition() == TTabPosition::tpLeft ? LeftCrossStrokes : CrossStrokes)
        Line(c, gx + s.X1, gy + s.Y1, gx + s.X2, gy + s.Y2);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
}

// The glyph's box at the tab's corner past the margins, shifted by D (and
// by K on tabs at the right).
TPoint TAdvPageControl::CloseGlyphCorner(const TRect& TabRect, int D, int K) const {
    const int left = TabRect.Left + FTabMargin->LeftMargin() + CloseGlyphInset;
    switch (TabPosition()) {
    case TTabPosition::tpLeft:
        return {left + D, TabRect.Bottom - FTabMargin->TopMargin() - CloseGlyphHeight - CloseGlyphInset +
                              (FTabBackGroundActive->Empty() ? 0 : FTabOverlap)};
    case TTabPosition::tpRight:
        return {left + K, TabRect.Top + FTabMargin->TopMargin() + CloseGlyphInset};
    default:
        return {left, TabRect.Top + FTabMargin->TopMargin() + D + CloseGlyphInset};
    }
}

void TAdvPageControl::DrawCloseGlyph(TCanvas* Canvas, const TRect& TabRect, bool Active) {
    const int d = Active ? FLowerActive : 0;
    DrawGlyph(Canvas, TabRect, d, RightGlyphShift - d, clWhite, clGray, clBlack);
}

void TAdvPageControl::DrawCloseGlyphHot(TCanvas* Canvas, const TRect& TabRect) {
    DrawGlyph(Canvas, TabRect, FLowerActive, 0, clWhite, clBlack, clGray);
}

void TAdvPageControl::DrawCloseGlyphDown(TCanvas* Canvas, const TRect& TabRect) {
    DrawGlyph(Canvas, TabRect, FLowerActive, RightGlyphShift - FLowerActive, clSilver, clBlack, clBlack);
}

void TAdvPageControl::DrawCloseGlyphBitmap(TCanvas* Canvas, int X, int Y) {
    Canvas->SaveState();
    TScopeGuard restore([Canvas] { Canvas->RestoreState(); });
    Canvas->IntersectClipRect({X, Y, X + CloseGlyphWidth, Y + CloseGlyphHeight});
    FCloseGlyph->Transparent = true;
    FCloseGlyph->TransparentMode = TTransparentMode::tmAuto;
    Canvas->Draw(X, Y, FCloseGlyph.get());
}
