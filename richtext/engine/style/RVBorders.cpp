// Side values and flags, paragraph borders and backgrounds (comparing,
// likeness, drawing) and the tab stops that keep themselves sorted.
#include "richtext/engine/style/RVBorders.h"

#include <algorithm>

#include "platform/rtl/StringLists.h"
#include "richtext/engine/text/RVClasses.h"

namespace {

bool Has(TRVParaInfoProperties Set, TRVParaInfoProperty P) {
    return Set & RVParaProp(P);
}

TColor PenColor(TColor Color, TRVColorMode Mode) {
    switch (Mode) {
    case rvcmColor:
        return Color;
    case rvcmPrinterColor:
        return SystemColorToPrintColor(Color);
    case rvcmGrayScale:
        return ColorToGray(SystemColorToPrintColor(Color));
    default:
        return clBlack;
    }
}

} // namespace

// ---------------------------------------------------------------- TRVRect

void TRVRect::Assign(TPersistent* Source) {
    if (auto* r = dynamic_cast<TRVRect*>(Source)) {
        CopySides(*r, true, true, true, true);
        return;
    }
    TPersistent::Assign(Source);
}

TRVRect& TRVRect::CopySides(const TRVRect& Source, bool WithLeft, bool WithTop, bool WithRight,
                            bool WithBottom) {
    if (WithLeft) Left = Source.Left;
    if (WithTop) Top = Source.Top;
    if (WithRight) Right = Source.Right;
    if (WithBottom) Bottom = Source.Bottom;
    return *this;
}

void TRVRect::SetAll(int Value) {
    Left = Right = Top = Bottom = Value;
}

bool TRVRect::IsEqual(const TRVRect& Value) const {
    return IsEqualEx(Value, false, false, false, false);
}

bool TRVRect::IsEqualEx(const TRVRect& V, bool IgnoreLeft, bool IgnoreTop, bool IgnoreRight,
                        bool IgnoreBottom) const {
    return (IgnoreLeft || Left == V.Left) && (IgnoreTop || Top == V.Top) &&
           (IgnoreRight || Right == V.Right) && (IgnoreBottom || Bottom == V.Bottom);
}

int TRVRect::Likeness(const TRVRect& V, int Weight) const {
    return NumberSimilarity(Left, V.Left, Weight) + NumberSimilarity(Right, V.Right, Weight) +
           NumberSimilarity(Top, V.Top, Weight) + NumberSimilarity(Bottom, V.Bottom, Weight);
}

void TRVRect::RaiseRect(TRect& R) const {
    R.Left = std::max(R.Left, Left);
    R.Top = std::max(R.Top, Top);
    R.Right = std::max(R.Right, Right);
    R.Bottom = std::max(R.Bottom, Bottom);
}

void TRVRect::ExpandRect(TRect& R) const {
    R.Left -= Left;
    R.Top -= Top;
    R.Right += Right;
    R.Bottom += Bottom;
}

void TRVRect::ExpandRectToDevice(TRect& R, const TRVScreenDeviceResolution& Resolution) const {
    R.Left -= ScaleXToDevice(Left, Resolution);
    R.Top -= ScaleYToDevice(Top, Resolution);
    R.Right += ScaleXToDevice(Right, Resolution);
    R.Bottom += ScaleYToDevice(Bottom, Resolution);
}

void ScaleRect(TRect& R, int MulX, int DivX, int MulY, int DivY) {
    R.Left = MulDiv(R.Left, MulX, DivX);
    R.Right = MulDiv(R.Right, MulX, DivX);
    R.Top = MulDiv(R.Top, MulY, DivY);
    R.Bottom = MulDiv(R.Bottom, MulY, DivY);
}

// ---------------------------------------------------------------- TRVBooleanRect

void TRVBooleanRect::Assign(TPersistent* Source) {
    if (auto* r = dynamic_cast<TRVBooleanRect*>(Source)) {
        CopySides(*r, true, true, true, true);
        return;
    }
    TPersistent::Assign(Source);
}

void TRVBooleanRect::SetAll(bool Value) {
    Left = Right = Top = Bottom = Value;
}

void TRVBooleanRect::SetValues(bool ALeft, bool ATop, bool ARight, bool ABottom) {
    Left = ALeft;
    Top = ATop;
    Right = ARight;
    Bottom = ABottom;
}

void TRVBooleanRect::CopySides(const TRVBooleanRect& Source, bool WithLeft, bool WithTop, bool WithRight,
                               bool WithBottom) {
    if (WithLeft) Left = Source.Left;
    if (WithTop) Top = Source.Top;
    if (WithRight) Right = Source.Right;
    if (WithBottom) Bottom = Source.Bottom;
}

bool TRVBooleanRect::IsEqual(const TRVBooleanRect& Value) const {
    return IsEqualToValues(Value.Left, Value.Top, Value.Right, Value.Bottom);
}

bool TRVBooleanRect::IsEqualToValues(bool ALeft, bool ATop, bool ARight, bool ABottom) const {
    return Left == ALeft && Top == ATop && Right == ARight && Bottom == ABottom;
}

bool TRVBooleanRect::IsAll(bool Value) const {
    return IsEqualToValues(Value, Value, Value, Value);
}

bool TRVBooleanRect::IsEqualEx(const TRVBooleanRect& V, bool IgnoreLeft, bool IgnoreTop, bool IgnoreRight,
                               bool IgnoreBottom) const {
    return (IgnoreLeft || Left == V.Left) && (IgnoreTop || Top == V.Top) &&
           (IgnoreRight || Right == V.Right) && (IgnoreBottom || Bottom == V.Bottom);
}

// ---------------------------------------------------------------- TRVBorder

void TRVBorder::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TRVBorder*>(Source)) {
        Width = b->Width;
        InternalWidth = b->InternalWidth;
        Color = b->Color;
        Style = b->Style;
        SetVisibleBorders(b->FVisibleBorders);
        SetBorderOffsets(b->FBorderOffsets);
        return;
    }
    TPersistent::Assign(Source);
}

bool TRVBorder::IsEqual(const TRVBorder& V) const {
    return Style == V.Style && Color == V.Color && Width == V.Width && InternalWidth == V.InternalWidth &&
           FBorderOffsets.IsEqual(V.FBorderOffsets) && FVisibleBorders.IsEqual(V.FVisibleBorders);
}

bool TRVBorder::IsEqualEx(const TRVBorder& V, TRVParaInfoProperties Ignored) const {
    auto ig = [&](TRVParaInfoProperty P) { return Has(Ignored, P); };
    return (ig(rvpiBorder_Color) || Color == V.Color) && (ig(rvpiBorder_Style) || Style == V.Style) &&
           (ig(rvpiBorder_Width) || Width == V.Width) &&
           (ig(rvpiBorder_InternalWidth) || InternalWidth == V.InternalWidth) &&
           FBorderOffsets.IsEqualEx(V.FBorderOffsets, ig(rvpiBorder_BO_Left), ig(rvpiBorder_BO_Top),
                                    ig(rvpiBorder_BO_Right), ig(rvpiBorder_BO_Bottom)) &&
           FVisibleBorders.IsEqualEx(V.FVisibleBorders, ig(rvpiBorder_Vis_Left), ig(rvpiBorder_Vis_Top),
                                     ig(rvpiBorder_Vis_Right), ig(rvpiBorder_Vis_Bottom));
}

void TRVBorder::CopyProperties(const TRVBorder& Source, TRVParaInfoProperties Props) {
    auto has = [&](TRVParaInfoProperty P) { return Has(Props, P); };
    if (has(rvpiBorder_Color)) Color = Source.Color;
    if (has(rvpiBorder_Style)) Style = Source.Style;
    if (has(rvpiBorder_Width)) Width = Source.Width;
    if (has(rvpiBorder_InternalWidth)) InternalWidth = Source.InternalWidth;
    FBorderOffsets.CopySides(Source.FBorderOffsets, has(rvpiBorder_BO_Left), has(rvpiBorder_BO_Top),
                             has(rvpiBorder_BO_Right), has(rvpiBorder_BO_Bottom));
    FVisibleBorders.CopySides(Source.FVisibleBorders, has(rvpiBorder_Vis_Left), has(rvpiBorder_Vis_Top),
                              has(rvpiBorder_Vis_Right), has(rvpiBorder_Vis_Bottom));
}

int TRVBorder::GetTotalWidth() const {
    switch (Style) {
    case rvbNone:
        return 0;
    case rvbSingle:
        return Width;
    case rvbDouble:
        return 2 * Width + InternalWidth;
    case rvbTriple:
        return 3 * Width + 2 * InternalWidth;
    case rvbThickInside:
    case rvbThickOutside:
        return 3 * Width + InternalWidth;
    }
    return 0;
}

void TRVBorder::DoDraw(TRect R, TCanvas& Canvas, int LineWidth, int Step, int Internal,
                       TRVColorMode ColorMode) const {
    if (Style == rvbNone) return;
    TPen& pen = *Canvas.Pen();
    pen.SetColor(PenColor(Color, ColorMode));
    pen.SetStyle(TPenStyle::psSolid);
    int lines = Style == rvbTriple ? 3 : (Style == rvbSingle ? 1 : 2);
    auto stroke = [&](int X1, int Y1, int X2, int Y2) {
        // Both directions, so that both end points are painted.
        Canvas.MoveTo(X1, Y1);
        Canvas.LineTo(X2, Y2);
        Canvas.LineTo(X1, Y1);
    };
    for (int n = lines; n >= 1; --n) {
        bool thick = (n == 1 && Style == rvbThickOutside) || (n == 2 && Style == rvbThickInside);
        pen.SetWidth(thick ? 2 * LineWidth : LineWidth);
        if (FVisibleBorders.Top) stroke(R.Left, R.Top, R.Right, R.Top);
        if (FVisibleBorders.Right) stroke(R.Right, R.Top, R.Right, R.Bottom);
        if (FVisibleBorders.Bottom) stroke(R.Right, R.Bottom, R.Left, R.Bottom);
        if (FVisibleBorders.Left) stroke(R.Left, R.Bottom, R.Left, R.Top);
        InflateRect(R, Internal + Step, Internal + Step);
        if (LineWidth == 1) {
            if (Style == rvbThickOutside) ++R.Right, ++R.Bottom;
            if (Style == rvbThickInside) --R.Left, --R.Top;
        }
    }
    pen.SetWidth(1);
}

void TRVBorder::Draw(const TRect& Rect, TCanvas& Canvas, const TRVScreenDeviceResolution& Resolution,
                     TRVColorMode ColorMode) const {
    TRect r = Rect;
    FBorderOffsets.ExpandRectToDevice(r, Resolution);
    DoDraw(r, Canvas, ScaleYToDevice(Width, Resolution), ScaleYToDevice(1, Resolution),
           ScaleYToDevice(InternalWidth, Resolution), ColorMode);
}

void TRVBorder::DrawUnscaled(const TRect& Rect, TCanvas& Canvas) const {
    TRect r = Rect;
    FBorderOffsets.ExpandRect(r);
    DoDraw(r, Canvas, Width, 1, InternalWidth, rvcmColor);
}

int TRVBorder::Likeness(const TRVBorder& V) const {
    auto present = [](const TRVBorder& B, bool Side) { return B.Style != rvbNone && Side; };
    bool mine[4] = {present(*this, FVisibleBorders.Left), present(*this, FVisibleBorders.Top),
                    present(*this, FVisibleBorders.Right), present(*this, FVisibleBorders.Bottom)};
    bool theirs[4] = {present(V, V.FVisibleBorders.Left), present(V, V.FVisibleBorders.Top),
                      present(V, V.FVisibleBorders.Right), present(V, V.FVisibleBorders.Bottom)};
    int offsets[4] = {FBorderOffsets.Left, FBorderOffsets.Top, FBorderOffsets.Right, FBorderOffsets.Bottom};
    int others[4] = {V.FBorderOffsets.Left, V.FBorderOffsets.Top, V.FBorderOffsets.Right,
                     V.FBorderOffsets.Bottom};
    int both = 0;
    for (int i = 0; i < 4; ++i)
        both += mine[i] && theirs[i];
    int score = 0;
    if (both > 0)
        score = (ColorSimilarity(Color, V.Color, 3333, 3000) + NumberSimilarity(Width, V.Width, 1000) +
                 NumberSimilarity(InternalWidth, V.InternalWidth, 1000) + (Style == V.Style ? 1000 : 0)) *
                both;
    for (int i = 0; i < 4; ++i) {
        if (!mine[i] && !theirs[i])
            score += 20000;
        else if (mine[i] != theirs[i])
            score -= 20000;
        else
            score += NumberSimilarity(offsets[i], others[i], 100);
    }
    return score;
}

// ---------------------------------------------------------------- TRVBackgroundRect

void TRVBackgroundRect::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TRVBackgroundRect*>(Source)) {
        Color = b->Color;
        SetBorderOffsets(b->FBorderOffsets);
        return;
    }
    TPersistent::Assign(Source);
}

void TRVBackgroundRect::Draw(const TRect& Rect, TCanvas& Canvas, TRVColorMode ColorMode) const {
    if (Color == clNone || ColorMode == rvcmBlackAndWhite || ColorMode == rvcmBlackOnWhite) return;
    Canvas.Brush()->SetColor(PenColor(Color, ColorMode));
    Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    // FillRect leaves out the right and bottom edges.
    Canvas.FillRect(TRect{Rect.Left, Rect.Top, Rect.Right + 1, Rect.Bottom + 1});
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
}

bool TRVBackgroundRect::IsEqual(const TRVBackgroundRect& V) const {
    return Color == V.Color && FBorderOffsets.IsEqual(V.FBorderOffsets);
}

bool TRVBackgroundRect::IsEqualEx(const TRVBackgroundRect& V, TRVParaInfoProperties Ignored) const {
    auto ig = [&](TRVParaInfoProperty P) { return Has(Ignored, P); };
    return (ig(rvpiBackground_Color) || Color == V.Color) &&
           FBorderOffsets.IsEqualEx(V.FBorderOffsets, ig(rvpiBackground_BO_Left), ig(rvpiBackground_BO_Top),
                                    ig(rvpiBackground_BO_Right), ig(rvpiBackground_BO_Bottom));
}

void TRVBackgroundRect::CopyProperties(const TRVBackgroundRect& Source, TRVParaInfoProperties Props) {
    auto has = [&](TRVParaInfoProperty P) { return Has(Props, P); };
    if (has(rvpiBackground_Color)) Color = Source.Color;
    FBorderOffsets.CopySides(Source.FBorderOffsets, has(rvpiBackground_BO_Left), has(rvpiBackground_BO_Top),
                             has(rvpiBackground_BO_Right), has(rvpiBackground_BO_Bottom));
}

int TRVBackgroundRect::Likeness(const TRVBackgroundRect& V) const {
    return ColorSimilarity(Color, V.Color, 10000, 50000) + FBorderOffsets.Likeness(V.FBorderOffsets, 100);
}

// ---------------------------------------------------------------- tabs

void TRVTabInfo::SetPosition(int32_t Value) {
    if (Value == FPosition) return;
    FPosition = Value;
    if (auto* tabs = dynamic_cast<TRVTabInfos*>(Collection())) tabs->SortTabs();
}

void TRVTabInfo::Assign(TPersistent* Source) {
    if (auto* t = dynamic_cast<TRVTabInfo*>(Source)) {
        SetPosition(t->FPosition);
        Align = t->Align;
        Leader = t->Leader;
        return;
    }
    TCollectionItem::Assign(Source);
}

bool TRVTabInfo::IsEqual(const TRVTabInfo& V) const {
    return FPosition == V.FPosition && Align == V.Align && Leader == V.Leader;
}

int TRVTabInfo::Likeness(const TRVTabInfo& V) const {
    return NumberSimilarity(FPosition, V.FPosition, 200) + (Align == V.Align ? 100 : 0) +
           (Leader == V.Leader ? 50 : 0);
}

AnsiString TRVTabInfo::DisplayName() const {
    static const char* const aligns[] = {"left", "right", "center"};
    AnsiString name = AnsiString(aligns[Align]) + " at " + IntToStr(FPosition);
    if (!Leader.empty()) {
        name += " (";
        for (int i = 0; i < 6; ++i)
            name += Leader;
        name += ")";
    }
    return name;
}

TRVTabInfos::TRVTabInfos(TPersistent* Owner)
    : TOwnedCollection(Owner, [](TCollection* C) -> TCollectionItem* { return new TRVTabInfo(C); }) {}

void TRVTabInfos::Assign(TPersistent* Source) {
    if (auto* tabs = dynamic_cast<TRVTabInfos*>(Source)) {
        if (tabs == this) return;
        Clear();
        for (int i = 0; i < tabs->Count(); ++i)
            Add()->Assign(tabs->GetItem(i));
        return;
    }
    TOwnedCollection::Assign(Source);
}

bool TRVTabInfos::IsEqual(const TRVTabInfos& V) const {
    if (Count() != V.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (!GetItem(i)->IsEqual(*V.GetItem(i))) return false;
    return true;
}

int TRVTabInfos::Likeness(const TRVTabInfos& V) const {
    int n = std::min(Count(), V.Count());
    int score = 800 * n - 400 * Count() - 400 * V.Count();
    for (int i = 0; i < n; ++i)
        score += GetItem(i)->Likeness(*V.GetItem(i));
    return score;
}

void TRVTabInfos::SortTabs() {
    TUpdateBracket<TRVTabInfos> update(*this);
    std::vector<TRVTabInfo*> tabs;
    for (int i = 0; i < Count(); ++i)
        tabs.push_back(GetItem(i));
    std::stable_sort(tabs.begin(), tabs.end(),
                     [](TRVTabInfo* A, TRVTabInfo* B) { return A->Position() < B->Position(); });
    for (int i = 0; i < int(tabs.size()); ++i)
        tabs[std::size_t(i)]->SetIndex(i);
}
