// The style sheet component: its collections and default styles, the
// drawing entry points with their events, hover sensitivity and tab stops.
#include "richtext/engine/style/RVStyle.h"

TRVStyle::TRVStyle(TComponent* AOwner) : TComponent(AOwner) {
    CreateCollections();
    ResetParaStyles();
    ResetTextStyles();
}

TRVStyle::~TRVStyle() = default;

void TRVStyle::CreateCollections() {
    // The factories ask the style sheet each time, so a derived style sheet
    // makes its own classes once it is constructed.
    FTextStyles = std::make_unique<TFontInfos>(
        this, [this](TCollection* C) -> TCollectionItem* { return NewTextStyleClass(C); });
    FParaStyles = std::make_unique<TParaInfos>(
        this, [this](TCollection* C) -> TCollectionItem* { return NewParaStyleClass(C); });
    FListStyles = std::make_unique<TRVListInfos>(
        this, [this](TCollection* C) -> TCollectionItem* { return NewListStyleClass(C); });
}

namespace {

template <class Infos> void AssignInfos(Infos& Target, Infos& Source) {
    if (&Target == &Source) return;
    Target.Clear();
    for (int i = 0; i < Source.Count(); ++i)
        Target.Add()->Assign(Source.Items(i));
}

} // namespace

void TRVStyle::SetTextStyles(TFontInfos& Value) {
    AssignInfos(*FTextStyles, Value);
}

void TRVStyle::SetParaStyles(TParaInfos& Value) {
    AssignInfos(*FParaStyles, Value);
}

void TRVStyle::SetListStyles(TRVListInfos& Value) {
    AssignInfos(*FListStyles, Value);
}

void TRVStyle::ResetParaStyles() {
    FParaStyles->Clear();
    FParaStyles->Add();
    TParaInfo* centered = FParaStyles->Add();
    centered->StyleName = "Centered";
    centered->Alignment = rvaCenter;
}

void TRVStyle::ResetTextStyles() {
    FTextStyles->Clear();
    struct TDefault {
        const char* Name;
        TFontStyles Style;
        TColor Color;
        bool Jump;
    } defaults[] = {
        {"Normal text", 0, clWindowText, false}, {"Heading", fsBold, clBlue, false},
        {"Subheading", fsBold, clNavy, false},   {"Keywords", fsItalic, clMaroon, false},
        {"Jump 1", fsUnderline, clGreen, true},  {"Jump 2", fsUnderline, clGreen, true},
    };
    for (const TDefault& d : defaults) {
        TFontInfo* style = FTextStyles->Add();
        style->StyleName = d.Name;
        style->Style = d.Style;
        style->Color = d.Color;
        if (d.Jump) {
            style->Jump = true;
            style->JumpCursor = JumpCursor;
        }
    }
}

void TRVStyle::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && FListStyles) FListStyles->RemoveImageList(AComponent);
}

// ---------------------------------------------------------------- drawing entry points

void TRVStyle::ApplyStyle(TCanvas& Canvas, int StyleNo, TRVBiDiMode DefBiDiMode, bool UseResolutionOverride,
                          const int* SubSuperHeight, bool IgnoreSubSuperScript) {
    bool doDefault = true;
    if (OnApplyStyle) OnApplyStyle(this, Canvas, StyleNo, doDefault);
    if (doDefault)
        FTextStyles->GetItem(StyleNo)->ApplyToCanvas(Canvas, DefBiDiMode, UseResolutionOverride,
                                                     SubSuperHeight, IgnoreSubSuperScript);
}

void TRVStyle::ApplyStyleColor(TCanvas& Canvas, int StyleNo, TRVTextDrawStates DrawState, bool Printing,
                               TRVColorMode ColorMode) {
    bool doDefault = true;
    if (OnApplyStyleColor) OnApplyStyleColor(this, Canvas, StyleNo, DrawState, doDefault);
    if (doDefault) FTextStyles->GetItem(StyleNo)->ApplyColor(Canvas, *this, DrawState, Printing, ColorMode);
}

void TRVStyle::DrawStyleText(const AnsiString& S, TRVItemOptions ItemOptions, TCanvas& Canvas, int AItemNo,
                             int AOffsetInItem, int StyleNo, TPersistent* ARVData, int SpaceBefore, int Left,
                             int Top, int Width, int Height, TRVTextDrawStates DrawState, bool Printing,
                             bool PreviewCorrection, TRVColorMode ColorMode, TRVBiDiMode DefBiDiMode) {
    bool doDefault = true;
    if (OnDrawStyleText) {
        ItemNo = AItemNo;
        OffsetInItem = AOffsetInItem;
        RVData = ARVData;
        OnDrawStyleText(this, S, Canvas, StyleNo, SpaceBefore, Left, Top, Width, Height, DrawState,
                        doDefault);
    }
    if (doDefault)
        FTextStyles->GetItem(StyleNo)->Draw(S, ItemOptions, Canvas, StyleNo, SpaceBefore, Left, Top, Width,
                                            Height, *this, DrawState, Printing, PreviewCorrection, ColorMode,
                                            DefBiDiMode);
}

bool TRVStyle::GetHoverSensitive(int StyleNo) {
    TFontInfo* style = FTextStyles->GetItem(StyleNo);
    bool sensitive = GetHoverColor(StyleNo) != clNone || style->HoverBackColor != style->BackColor ||
                     style->HoverUnderlineColor != clNone || style->HoverEffects != 0;
    if (OnStyleHoverSensitive) OnStyleHoverSensitive(this, StyleNo, sensitive);
    return sensitive;
}

void TRVStyle::DrawTextBack(TCanvas& Canvas, int AItemNo, int StyleNo, TPersistent* ARVData, int Left,
                            int Top, int Width, int Height, TRVTextDrawStates DrawState) {
    if (!OnDrawTextBack) return;
    ItemNo = AItemNo;
    RVData = ARVData;
    bool doDefault = true;
    OnDrawTextBack(this, Canvas, StyleNo, Left, Top, Width, Height, DrawState, doDefault);
}

void TRVStyle::DrawCheckpoint(TCanvas& Canvas, int X, int Y, int AreaLeft, int Width, TPersistent* ARVData,
                              int AItemNo, int XShift, bool RaiseEvent, TObject* Control) {
    RVData = ARVData;
    ItemNo = AItemNo;
    bool doDefault = true;
    if (OnDrawCheckpoint)
        OnDrawCheckpoint(this, Canvas, X, Y, AItemNo, XShift, RaiseEvent, Control, doDefault);
    if (!doDefault) return;
    TPen& pen = *Canvas.Pen();
    pen.SetWidth(1);
    pen.SetColor(RaiseEvent ? CheckpointEvColor : CheckpointColor);
    pen.SetStyle(TPenStyle::psSolid);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (AItemNo != -1) Canvas.Ellipse(X - 2, Y - 2, X + 2, Y + 2);
    pen.SetStyle(TPenStyle::psDot);
    Canvas.MoveTo(AreaLeft - XShift, Y);
    Canvas.LineTo(AreaLeft + Width - XShift, Y);
    pen.SetStyle(TPenStyle::psSolid);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
}

void TRVStyle::DrawPageBreak(TCanvas& Canvas, int Y, int XShift, TRVPageBreakType PageBreakType,
                             TObject* Control, TPersistent* ARVData, int AItemNo, int Width) {
    RVData = ARVData;
    ItemNo = AItemNo;
    bool doDefault = true;
    if (OnDrawPageBreak) OnDrawPageBreak(this, Canvas, Y, XShift, PageBreakType, Control, doDefault);
    if (!doDefault) return;
    TPen& pen = *Canvas.Pen();
    pen.SetWidth(1);
    pen.SetStyle(TPenStyle::psSolid);
    pen.SetColor(PageBreakType == rvpbPageBreak ? PageBreakColor : SoftPageBreakColor);
    int right = Width - XShift;
    Canvas.MoveTo(-XShift, Y);
    Canvas.LineTo(right - 8, Y);
    // The folded corner: a right triangle filled row by row, then outlined.
    TBrush& brush = *Canvas.Brush();
    brush.SetStyle(TBrushStyle::bsSolid);
    brush.SetColor(clWindow);
    for (int r = 1; r < 8; ++r)
        Canvas.FillRect(Rect(right - 8, Y + r, right - 8 + r, Y + r + 1));
    Canvas.MoveTo(right - 8, Y);
    Canvas.LineTo(right, Y + 8);
    Canvas.LineTo(right - 8, Y + 8);
    Canvas.LineTo(right - 8, Y);
    brush.SetStyle(TBrushStyle::bsClear);
}

void TRVStyle::DrawParaBack(TCanvas& Canvas, int ParaNo, const TRect& ARect, bool, TRVColorMode ColorMode) {
    TRect rect = ARect;
    bool doDefault = true;
    if (OnDrawParaBack) OnDrawParaBack(this, Canvas, ParaNo, rect, doDefault);
    if (doDefault) FParaStyles->GetItem(ParaNo)->Background().Draw(rect, Canvas, ColorMode);
}

TColor TRVStyle::GetHoverColor(int StyleNo) {
    return GetHoverColorByColor(FTextStyles->GetItem(StyleNo)->HoverColor);
}

unsigned TRVStyle::GetStyleCodePage(int StyleNo) {
    return FTextStyles->GetItem(StyleNo)->GetCodePage(DefCodePage);
}

TColor TRVStyle::GetHoverColorByColor(TColor AColor) const {
    return AColor == clNone ? HoverColor : AColor;
}

void TRVStyle::GetNextTab(int ParaNo, int X, const TRVScreenDeviceResolution& Resolution, int& Position,
                          AnsiString& Leader, TRVTabAlign& Align, TRVBiDiMode BiDiMode, int LeftIndent,
                          int RightIndent) {
    TParaInfo* para = FParaStyles->GetItem(ParaNo);
    if (BiDiMode == rvbdUnspecified) BiDiMode = para->BiDiMode;
    int margin = Resolution.DeviceLeftMargin;
    int x = X - margin;
    int limit = LeftIndent;
    bool rightToLeft = BiDiMode == rvbdRightToLeft;
    if (rightToLeft) {
        x += RightIndent - LeftIndent;
        limit = RightIndent;
    }
    Leader.clear();
    Align = rvtaLeft;
    bool found = false;
    const TRVTabInfos& tabs = para->Tabs();
    int lastTab = 0;
    for (int i = 0; i < tabs.Count() && !found; ++i) {
        int p = ScaleXToDevice(tabs.GetItem(i)->Position(), Resolution);
        lastTab = p;
        if (x < limit && limit < p) {
            Position = limit + margin;
            found = true;
        } else if (x < p) {
            Position = p + margin;
            Align = tabs.GetItem(i)->Align;
            Leader = tabs.GetItem(i)->Leader;
            found = true;
        }
    }
    if (!found) {
        if (x >= limit || (tabs.Count() > 0 && lastTab >= limit)) {
            // A width of 0 or less acts as 1, and so does a device scale
            // that would round it to nothing.
            int d = std::max(ScaleXToDevice(std::max(DefTabWidth, 1), Resolution), 1);
            Position = int(int64_t(d) * ((int64_t(x) + d) / d)) + margin;
        } else {
            Position = limit + margin;
        }
    }
    if (rightToLeft) Position = LeftIndent + Position - RightIndent;
}
