// The string tree: cell texts from the owner, their painting with
// shortening and static text, the width cache of the main column, cell
// spanning, hints and the default incremental search.
#include "controls/vtree/VirtualStringTree.h"

#include <algorithm>

#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/rtl/ScopeGuard.h"

// ---- Options -----------------------------------------------------------------------------

void TCustomStringTreeOptions::SetStringOptions(TVTStringOptions Value) {
    const bool staticChanged = Value.Contains(toShowStaticText) != FStringOptions.Contains(toShowStaticText);
    FStringOptions = Value;
    TBaseVirtualTree* tree = Owner();
    if (staticChanged && tree && !(tree->ComponentState() & csLoading) && tree->View()->HandleAllocated())
        tree->View()->Invalidate();
}

void TCustomStringTreeOptions::AssignTo(TPersistent* Dest) {
    if (auto* d = dynamic_cast<TCustomStringTreeOptions*>(Dest)) d->SetStringOptions(FStringOptions);
    TCustomVirtualTreeOptions::AssignTo(Dest);
}

// ---- Construction ------------------------------------------------------------------------

TCustomVirtualStringTree::TCustomVirtualStringTree(TComponent* AOwner) : TBaseVirtualTree(AOwner) {
    SetOptionsObject(std::make_unique<TCustomStringTreeOptions>(this));
    FInternalDataOffset = AllocateInternalDataArea(sizeof(uint32_t));
    TreeFontChanged();
}

TVirtualStringTree::TVirtualStringTree(TComponent* AOwner) : TCustomVirtualStringTree(AOwner) {
    SetOptionsObject(std::make_unique<TStringTreeOptions>(this));
}

void TCustomVirtualStringTree::SetDefaultText(const WideString& Value) {
    if (Value == FDefaultText) return;
    FDefaultText = Value;
    if (!IsLoading() && HandleAllocated()) View()->Invalidate();
}

TCanvas* TCustomVirtualStringTree::MeasureCanvas() {
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    return canvas;
}

void TCustomVirtualStringTree::TreeFontChanged() {
    TCanvas* canvas = MeasureCanvas();
    FTextHeight = canvas->TextMetrics().tmHeight;
    FEllipsisWidth = canvas->TextWidth(WideString(u"..."));
    ClearWidthCache();
}

void TCustomVirtualStringTree::Dispatch(TMessage& Message) {
    TBaseVirtualTree::Dispatch(Message);
    if (Message.Msg == CM_FONTCHANGED) TreeFontChanged();
}

// ---- Texts -------------------------------------------------------------------------------

WideString TCustomVirtualStringTree::GetCellText(PVirtualNode Node, TColumnIndex Column) {
    const bool painting = TreeStates().Contains(tsPainting);
    if (painting && Node == FPaintTextNode && Column == FPaintTextColumn) return FPaintText;
    EnsureInitialized(Node);
    WideString result = FDefaultText;
    DoGetText(Node, Column, ttNormal, result);
    if (painting) {
        FPaintTextNode = Node;
        FPaintTextColumn = Column;
        FPaintText = result;
    } else {
        FPaintTextNode = nullptr;
    }
    return result;
}

void TCustomVirtualStringTree::SetCellText(PVirtualNode Node, TColumnIndex Column, const WideString& Value) {
    DoNewText(Node, Column, Value);
    InvalidateNode(Node);
}

void TCustomVirtualStringTree::DoGetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType,
                                         WideString& Text) {
    if (OnGetText) OnGetText(this, Node, Column, TextType, Text);
}

void TCustomVirtualStringTree::DoNewText(PVirtualNode Node, TColumnIndex Column, const WideString& Text) {
    if (OnNewText) OnNewText(this, Node, Column, Text);
    if (UpdateCount() == 0) UpdateHorizontalScrollBar(true);
}

void TCustomVirtualStringTree::DoPaintText(PVirtualNode Node, TCanvas* Canvas, TColumnIndex Column,
                                           TVSTTextType TextType) {
    if (OnPaintText) OnPaintText(this, Canvas, Node, Column, TextType);
}

WideString TCustomVirtualStringTree::DoShortenString(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                                     const WideString& S, int Width, int EllipsisWidth) {
    bool done = false;
    WideString result;
    if (OnShortenString) OnShortenString(this, Canvas, Node, Column, S, Width, result, done);
    if (!done) result = ShortenText(Canvas, S, Width, EllipsisWidth);
    return result;
}

void TCustomVirtualStringTree::DrawCellText(TVTPaintInfo& PaintInfo, const WideString& Text, TRect R,
                                            unsigned DrawFormat) {
    DrawWideText(PaintInfo.Canvas, Text, false, DrawFormat, R);
}

int TCustomVirtualStringTree::MeasureCellText(TCanvas* Canvas, PVirtualNode, TColumnIndex,
                                              const WideString& Text) {
    return Canvas->TextWidth(Text);
}

int TCustomVirtualStringTree::CalculateTextWidth(TCanvas* Canvas, PVirtualNode Node, const WideString& Text,
                                                 TColumnIndex Column) {
    int result = 2 * TextMargin();
    if (!Text.empty()) {
        Canvas->Font()->Assign(Font());
        DoPaintText(Node, Canvas, Column, ttNormal);
        result += MeasureCellText(Canvas, Node, Column, Text);
    }
    return result;
}

// ---- Widths ------------------------------------------------------------------------------

uint32_t* TCustomVirtualStringTree::WidthSlot(PVirtualNode Node) const {
    if (!Node || Node == RootNode()) return nullptr;
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(Node) + FInternalDataOffset);
}

void TCustomVirtualStringTree::ClearWidthCache() {
    for (PVirtualNode node = GetFirstNoInit(); node; node = GetNextNoInit(node))
        *WidthSlot(node) = 0;
}

int TCustomVirtualStringTree::DoGetNodeWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) {
    if (Column >= 0 && Node->States.Contains(vsMultiline))
        return Header()->Columns()->GetItem(Column)->Width();
    if (!Canvas) Canvas = MeasureCanvas();
    if (Column != Header()->MainColumn())
        return CalculateTextWidth(Canvas, Node, GetCellText(Node, Column), Column);
    uint32_t* slot = WidthSlot(Node);
    if (slot && *slot != 0) return int(*slot);
    const int width = CalculateTextWidth(Canvas, Node, GetCellText(Node, Column), Column);
    if (slot) *slot = uint32_t(std::max(width, 0));
    return width;
}

void TCustomVirtualStringTree::InvalidateNode(PVirtualNode Node) {
    TBaseVirtualTree::InvalidateNode(Node);
    if (uint32_t* slot = WidthSlot(Node)) {
        *slot = 0;
        Node->States.Exclude(vsHeightMeasured);
    }
}

void TCustomVirtualStringTree::ReinitNode(PVirtualNode Node, bool Recursive) {
    TBaseVirtualTree::ReinitNode(Node, Recursive);
    if (uint32_t* slot = WidthSlot(Node)) *slot = 0;
}

void TCustomVirtualStringTree::DoBeforePaint(TCanvas* Canvas) {
    FPaintTextNode = nullptr;
    TBaseVirtualTree::DoBeforePaint(Canvas);
}

void TCustomVirtualStringTree::DoAfterPaint(TCanvas* Canvas) {
    FPaintTextNode = nullptr;
    TBaseVirtualTree::DoAfterPaint(Canvas);
}

void TCustomVirtualStringTree::MainColumnChanged() {
    TBaseVirtualTree::MainColumnChanged();
    ClearWidthCache();
}

// ---- Cells -------------------------------------------------------------------------------

void TCustomVirtualStringTree::AdjustPaintCellRect(TVTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty) {
    TVirtualTreeColumns* columns = Header()->Columns();
    if (TreeOptions()->AutoOptions().Contains(toAutoSpanColumns) && Header()->HasColumns() &&
        PaintInfo.BidiMode == bdLeftToRight) {
        NextNonEmpty = columns->NextVisibleColumn(PaintInfo.Column);
        while (NextNonEmpty >= 0 && ColumnIsEmpty(PaintInfo.Node, NextNonEmpty) &&
               columns->GetItem(NextNonEmpty)->BiDiMode() == bdLeftToRight) {
            PaintInfo.CellRect.Right += columns->GetItem(NextNonEmpty)->Width();
            NextNonEmpty = columns->NextVisibleColumn(NextNonEmpty);
        }
        return;
    }
    TBaseVirtualTree::AdjustPaintCellRect(PaintInfo, NextNonEmpty);
}

bool TCustomVirtualStringTree::ColumnIsEmpty(PVirtualNode Node, TColumnIndex Column) {
    if (!GetCellText(Node, Column).empty()) return false;
    return TBaseVirtualTree::ColumnIsEmpty(Node, Column);
}

void TCustomVirtualStringTree::GetCellTextInfo(PVirtualNode Node, TColumnIndex Column, TFont* Font, TRect& R,
                                               WideString& Text) {
    TBaseVirtualTree::GetCellTextInfo(Node, Column, Font, R, Text);
    TCanvas* canvas = MeasureCanvas();
    canvas->Font()->Assign(Font);
    FFontChanged = false;
    RedirectFontChangeEvent(canvas);
    {
        TScopeGuard restore([&] { RestoreFontChangeEvent(canvas); });
        DoPaintText(Node, canvas, Column, ttNormal);
    }
    int textHeight = FTextHeight;
    if (FFontChanged) {
        Font->Assign(canvas->Font());
        textHeight = canvas->TextMetrics().tmHeight;
    }
    Text = GetCellText(Node, Column);
    R = GetDisplayRect(Node, Column, true, !Node->States.Contains(vsMultiline));
    if (TreeOptions()->PaintOptions().Contains(toShowHorzGridLines)) R.Bottom -= 1;
    const int grow = (textHeight - R.Height()) / 2;
    R.Top -= grow;
    R.Bottom += grow;
}

int TCustomVirtualStringTree::ComputeNodeHeight(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                                WideString S) {
    if (S.empty()) S = GetCellText(Node, Column);
    if (!Canvas) Canvas = MeasureCanvas();
    unsigned format = DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK;
    TVTPaintInfo info;
    info.Canvas = Canvas;
    info.Node = Node;
    info.Column = Column;
    info.BidiMode = Column < 0 ? BiDiMode() : Header()->Columns()->GetItem(Column)->BiDiMode();
    const int width = Column < 0 ? View()->ClientWidth() : Header()->Columns()->GetItem(Column)->Width();
    info.CellRect = TRect{0, 0, width, 0};
    TColumnIndex next = NoColumn;
    AdjustPaintCellRect(info, next);
    if (info.BidiMode != bdLeftToRight) format |= DT_RIGHT | DT_RTLREADING;
    TRect r = info.CellRect;
    DrawWideText(Canvas, S, false, format, r);
    return r.Height();
}

// ---- Painting ----------------------------------------------------------------------------

void TCustomVirtualStringTree::DoPaintNode(TVTPaintInfo& PaintInfo) {
    TCanvas* canvas = PaintInfo.Canvas;
    RedirectFontChangeEvent(canvas);
    TScopeGuard restore([&] { RestoreFontChangeEvent(canvas); });
    WideString text = GetCellText(PaintInfo.Node, PaintInfo.Column);
    if (!text.empty()) PaintNormalText(PaintInfo, text);
    if (Alignment() != taCenter && !PaintInfo.Node->States.Contains(vsMultiline) &&
        StringTreeOptions()->StringOptions().Contains(toShowStaticText)) {
        WideString staticText;
        DoGetText(PaintInfo.Node, PaintInfo.Column, ttStatic, staticText);
        if (!staticText.empty()) PaintStaticText(PaintInfo, staticText);
    }
}

void TCustomVirtualStringTree::PrepareTextFont(TVTPaintInfo& PaintInfo) {
    TCanvas* canvas = PaintInfo.Canvas;
    canvas->Font()->Assign(Font());
    const TVTPaintOptions paint = TreeOptions()->PaintOptions();
    if (paint.Contains(toHotTrack) && PaintInfo.Node == HotNode()) {
        canvas->Font()->SetStyle(canvas->Font()->Style() | fsUnderline);
        canvas->Font()->SetColor(Colors()->HotColor());
    }
    if (PaintInfo.PaintOptions.Contains(poDrawSelection) &&
        (PaintInfo.Column == FocusedColumn() ||
         TreeOptions()->SelectionOptions().Contains(toFullRowSelect))) {
        if (PaintInfo.Node == DropTargetNode()) {
            if (LastDropMode() == dmOnNode || PaintInfo.Node->States.Contains(vsSelected))
                canvas->Font()->SetColor(clHighlightText);
        } else if (PaintInfo.Node->States.Contains(vsSelected)) {
            if (View()->Focused() || paint.Contains(toPopupMode)) canvas->Font()->SetColor(clHighlightText);
        }
    }
}

void TCustomVirtualStringTree::PaintNormalText(TVTPaintInfo& PaintInfo, const WideString& Text) {
    PrepareTextFont(PaintInfo);
    TCanvas* canvas = PaintInfo.Canvas;
    TRect r = PaintInfo.ContentRect;
    r.Left += TextMargin();
    r.Right -= TextMargin();
    const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
    const unsigned alignFlag = PaintInfo.Alignment == taRightJustify ? DT_RIGHT
                               : PaintInfo.Alignment == taCenter     ? DT_CENTER
                                                                     : DT_LEFT;
    const bool disabled = PaintInfo.Node->States.Contains(vsDisabled) || !Enabled();
    unsigned format = 0;
    WideString text = Text;
    if (PaintInfo.Node->States.Contains(vsMultiline)) {
        DoPaintText(PaintInfo.Node, canvas, PaintInfo.Column, ttNormal);
        if (disabled) canvas->Font()->SetColor(Colors()->DisabledColor());
        format = alignFlag | DT_NOPREFIX | DT_WORDBREAK | DT_END_ELLIPSIS | DT_EDITCONTROL;
        if (rtl) format |= DT_RTLREADING;
    } else {
        FFontChanged = false;
        int ellipsis = FEllipsisWidth;
        DoPaintText(PaintInfo.Node, canvas, PaintInfo.Column, ttNormal);
        if (FFontChanged) {
            ellipsis = 0;
            PaintInfo.NodeWidth = 2 * TextMargin() + canvas->TextWidth(Text);
        }
        if (disabled) canvas->Font()->SetColor(Colors()->DisabledColor());
        format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
        if (rtl) format |= DT_RTLREADING;
        if (PaintInfo.Column < 0) {
            format |= alignFlag;
        } else if (r.Width() < PaintInfo.NodeWidth - 2 * TextMargin()) {
            text = DoShortenString(canvas, PaintInfo.Node, PaintInfo.Column, Text, r.Width(), ellipsis);
            if (PaintInfo.Alignment == taRightJustify) format |= DT_RIGHT;
        } else {
            format |= alignFlag;
        }
    }
    DrawCellText(PaintInfo, text, r, format);
}

void TCustomVirtualStringTree::PaintStaticText(TVTPaintInfo& PaintInfo, const WideString& Text) {
    TCanvas* canvas = PaintInfo.Canvas;
    canvas->Font()->Assign(Font());
    const TVTPaintOptions paint = TreeOptions()->PaintOptions();
    if (TreeOptions()->SelectionOptions().Contains(toFullRowSelect)) {
        if (PaintInfo.Node == DropTargetNode()) {
            if (LastDropMode() == dmOnNode || PaintInfo.Node->States.Contains(vsSelected))
                canvas->Font()->SetColor(clHighlightText);
        } else if (PaintInfo.Node->States.Contains(vsSelected) &&
                   (View()->Focused() || paint.Contains(toPopupMode))) {
            canvas->Font()->SetColor(clHighlightText);
        }
    }
    const unsigned format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
    DoPaintText(PaintInfo.Node, canvas, PaintInfo.Column, ttStatic);
    if (PaintInfo.Node->States.Contains(vsDisabled) || !Enabled())
        canvas->Font()->SetColor(Colors()->DisabledColor());
    TRect r = PaintInfo.ContentRect;
    if (PaintInfo.Alignment == taRightJustify)
        r.Right -= PaintInfo.NodeWidth + TextMargin();
    else
        r.Left += PaintInfo.NodeWidth + TextMargin();
    DrawCellText(PaintInfo, Text, r, format);
}

// ---- Hints and search --------------------------------------------------------------------

WideString TCustomVirtualStringTree::DoGetNodeHint(PVirtualNode Node, TColumnIndex Column,
                                                   TVTTooltipLineBreakStyle& LineBreakStyle) {
    WideString result = TBaseVirtualTree::DoGetNodeHint(Node, Column, LineBreakStyle);
    if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, result);
    return result;
}

WideString TCustomVirtualStringTree::DoGetNodeTooltip(PVirtualNode Node, TColumnIndex Column,
                                                      TVTTooltipLineBreakStyle& LineBreakStyle) {
    WideString result = TBaseVirtualTree::DoGetNodeTooltip(Node, Column, LineBreakStyle);
    if (OnGetHint)
        OnGetHint(this, Node, Column, LineBreakStyle, result);
    else
        result = GetCellText(Node, Column);
    return result;
}

int TCustomVirtualStringTree::DoIncrementalSearch(PVirtualNode Node, const WideString& Text) {
    if (OnIncrementalSearch) {
        int result = 0;
        OnIncrementalSearch(this, Node, Text, result);
        return result;
    }
    const WideString cell = GetCellText(Node, FocusedColumn());
    return cell.compare(0, Text.size(), Text) == 0 ? 0 : 1;
}
