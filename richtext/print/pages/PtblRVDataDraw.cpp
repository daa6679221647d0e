// Drawing a page of printable data: the page's colour, the page events
// and clipping, paragraph backgrounds and borders, text through the style
// sheet, pictures through a screen-resolution bitmap stretched to the
// device, other items directly, then the page's footnotes.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/print/pages/PrintableRV.h"
#include "richtext/print/pages/PtblRVData.h"

namespace {

TColor PrintColor(TColor Color, TRVColorMode Mode) {
    switch (Mode) {
    case rvcmColor:
        return Color;
    case rvcmPrinterColor:
        return SystemColorToPrintColor(Color);
    case rvcmGrayScale:
        return ColorToGray(SystemColorToPrintColor(Color));
    case rvcmBlackAndWhite:
    case rvcmBlackOnWhite:
        return clWhite;
    }
    return Color;
}

TRVMultiDrawItemInfo* SplitItemWithParts(TRVDrawLineInfo* D) {
    auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(D);
    return multi && multi->PartsList.Count() > 0 ? multi : nullptr;
}

} // namespace

void TCustomPrintableRVData::DrawPage(int PageNo, TCanvas& Canvas, bool Preview, bool Correction) {
    CurrentPage = PageNo;
    FDrawnStyleNo = -1;
    TRVStyle* style = GetRVStyle();
    if (!style) throw EZoroZudoError("Style of printable TZoroZudo component is not assigned");
    TRVScreenDeviceResolution r = MainData()->Resolution;
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    TScopeGuard finish([&] { CurrentDrawItem = nullptr; });

    // The page's colour.
    TColor color = GetColor();
    if (!NoBackground && color != clNone) {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(PrintColor(color, GetColorMode()));
        Canvas.FillRect(Bounds(GetPageLeft(PageNo), GetTopOffset(), GetWidth(), GetHeight()));
        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    }
    BeforeDrawPage(Canvas, PageNo, Preview, Correction);
    FDrawnStyleNo = -1;
    if (!HasPage(PageNo)) {
        AfterDrawPage(Canvas, PageNo, Preview);
        return;
    }
    // The clip and the page events are restored also when an item fails.
    try {
        int first, part, last;
        GetPageDrawItems(PageNo, first, part, last);
        int X0 = GetPageLeft(PageNo);

        // Paragraph backgrounds and borders first, under the text.
        int Y0 = GetPageTop(PageNo), p = part;
        for (int i = first; i <= last; ++i) {
            if (i == last && i != first && SplitItemWithParts(DrawItems[i])) p = 0;
            bool start =
                i == first || (DrawItems[i]->ItemNo != DrawItems[i - 1]->ItemNo && IsDrawItemParaStart(i));
            if (start && GetItemStyle(DrawItems[i]->ItemNo) != rvsBreak)
                DrawParaBack(Canvas, PageNo, i, last, p, Y0, X0, r);
            if (p != -1) {
                if (i == first) Y0 = GetPageTop2(PageNo);
                p = -1;
            }
        }
        Y0 = GetPageTop(PageNo);
        p = part;
        for (int i = first; i <= last; ++i) {
            if (i == last && i != first && SplitItemWithParts(DrawItems[i])) p = 0;
            DrawPageItem(Canvas, i, first, p, Y0, X0, Preview, Correction, r);
            if (p != -1) {
                if (i == first) Y0 = GetPageTop2(PageNo);
                p = -1;
            }
        }
    } catch (...) {
        AfterDrawPage(Canvas, PageNo, Preview);
        throw;
    }
    AfterDrawPage(Canvas, PageNo, Preview);
}

void TCustomPrintableRVData::DrawParaBack(TCanvas& Canvas, int, int DrawItemNo, int Last, int Part, int Y0,
                                          int X0, const TRVScreenDeviceResolution& r) {
    TRVStyle& style = *GetRVStyle();
    const TParaInfo& para = *style.ParaStyles().GetItem(GetItemPara(DrawItems[DrawItemNo]->ItemNo));
    bool hasBorder = para.Border().IsVisible(), hasBack = para.Background().Color != clNone;
    if (!hasBorder && !hasBack && !style.OnDrawParaBack) return;
    TRect rect;
    rect.Left = ScaleXToDevice(GetLeftMargin() + para.LeftIndent, r) + X0;
    if (para.FirstIndent < 0) rect.Left += ScaleXToDevice(para.FirstIndent, r);
    rect.Right = ScaleXToDevice(GetLeftMargin() - para.RightIndent, r) + X0 + TextWidth;
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    auto partHeight = [](TRVDrawLineInfo* D, int Index) {
        return static_cast<TRVMultiDrawItemInfo*>(D)->PartsList[Index]->Height;
    };
    if (DrawItemNo == Last && SplitItemWithParts(DrawItems[DrawItemNo]) && Part >= 0) {
        rect.Top = 0;
        rect.Bottom = partHeight(DrawItems[DrawItemNo], Part);
    } else {
        rect.Top = d.Top;
        rect.Bottom = d.Top + d.Height + d.ExtraSpaceBelow;
        for (int i = DrawItemNo + 1; i <= Last; ++i) {
            const TRVDrawLineInfo& e = *DrawItems[i];
            if (e.ItemNo != DrawItems[i - 1]->ItemNo && IsDrawItemParaStart(i)) break;
            rect.Top = std::min(rect.Top, e.Top);
            if (i == Last && SplitItemWithParts(DrawItems[i]))
                rect.Bottom = std::max(rect.Bottom, e.Top + partHeight(DrawItems[i], 0));
            else
                rect.Bottom = std::max(rect.Bottom, e.Top + e.Height + e.ExtraSpaceBelow);
        }
    }
    rect.Top -= Y0;
    rect.Bottom -= Y0;
    TRect back = rect;
    const TRVRect& offsets = para.Background().BorderOffsets();
    back.Left -= ScaleXToDevice(offsets.Left, r);
    back.Top -= ScaleYToDevice(offsets.Top, r);
    back.Right += ScaleXToDevice(offsets.Right, r);
    back.Bottom += ScaleYToDevice(offsets.Bottom, r);
    int paraNo = GetItemPara(DrawItems[DrawItemNo]->ItemNo);
    style.DrawParaBack(Canvas, paraNo, back, true, GetColorMode());
    if (hasBorder) para.Border().Draw(rect, Canvas, r, GetColorMode());
}

void TCustomPrintableRVData::DrawPageItem(TCanvas& Canvas, int i, int First, int Part, int Y0, int X0,
                                          bool Preview, bool Correction, const TRVScreenDeviceResolution& r) {
    TRVStyle& style = *GetRVStyle();
    TRVDrawLineInfo& d = *DrawItems[i];
    TCustomRVItemInfo& item = LiveItem(d.ItemNo);
    TRVBiDiMode biDi = GetParaBiDiMode(item.ParaNo);
    CurrentDrawItem = &d;
    int styleNo = GetItemStyle(d.ItemNo);
    if (styleNo >= 0) {
        // Runs of one style in a row keep the canvas's font and colours.
        if (styleNo != FDrawnStyleNo || biDi != FDrawnBiDiMode || style.OnApplyStyle ||
            style.OnApplyStyleColor) {
            style.ApplyStyleColor(Canvas, styleNo, 0, true, GetColorMode());
            style.ApplyStyle(Canvas, styleNo, biDi, false, nullptr, false);
            FDrawnStyleNo = styleNo;
            FDrawnBiDiMode = biDi;
        }
        const TFontInfo& font = *style.TextStyles().GetItem(styleNo);
        if (font.BiDiMode == rvbdUnspecified && biDi == rvbdUnspecified && font.CharSpacing != 0)
            Canvas.SetTextCharacterExtra(ScaleXToDevice(font.CharSpacing, r));
        if (style.OnDrawTextBack) {
            bool doDefault = true;
            style.OnDrawTextBack(&style, Canvas, styleNo, d.Left + X0, d.Top - Y0, d.Width, d.Height, 0,
                                 doDefault);
        }
        style.DrawStyleText(DrawItems.GetDrawItemText(i, *ItemList), item.ItemOptions, Canvas, d.ItemNo,
                            d.Offs, styleNo, this, d.SpaceBefore, d.Left + X0, d.Top - Y0, d.Width, d.Height,
                            0, true, Preview && Correction, GetColorMode(), biDi);
        Canvas.SetTextCharacterExtra(0);
        return;
    }
    FDrawnStyleNo = -1;
    CurrentYShift = (Part > 0 || (Part == 0 && i == First)) ? -Y0 : d.Top - Y0;
    if (item.GetBoolValueEx(iqxPrintViaBitmap, &style)) {
        int h = Part >= 0 && SplitItemWithParts(&d)
                    ? static_cast<TRVMultiDrawItemInfo&>(d).PartsList[Part]->GetPartImageHeight()
                    : item.GetImageHeight(&style);
        int w = item.GetBoolValue(iqFullLine)
                    ? ScaleXToScreen(GetWidth() - ScaleXToDevice(GetRightMargin(), r) - d.Left, r)
                    : item.GetImageWidth(&style);
        if (w <= 0 || h <= 0) return;
        // A whole opaque picture covers its background: it goes to the device
        // as it is, without a bitmap of its own.
        auto* graphic = dynamic_cast<TRVGraphicItemInfo*>(&item);
        const TRVGraphic* picture = graphic ? graphic->GetGraphic() : nullptr;
        if (picture && !graphic->ImageCopy && !picture->MayBeTransparent() && !SplitItemWithParts(&d)) {
            int x = ScaleXToDevice(item.GetHorzSpacing(), r) + d.Left + X0;
            int y = ScaleYToDevice(item.GetVertSpacing(), r) + CurrentYShift;
            picture->StretchDraw(Canvas, Bounds(x, y, ScaleXToDevice(w, r), ScaleYToDevice(h, r)));
            return;
        }
        TBitmap bitmap(w, h);
        DrawItemToBitmap(ScaleXToScreen(d.Left, r) + item.GetHorzSpacing(),
                         ScaleYToScreen(CurrentYShift - GetTopOffset(), r) + item.GetVertSpacing(), bitmap, r,
                         false);
        if (item.PrintToBitmap(bitmap, Preview, GetColorMode(), Part, &d, RV)) {
            int x = ScaleXToDevice(item.GetHorzSpacing(), r) + d.Left + X0;
            int y = ScaleYToDevice(item.GetVertSpacing(), r) + CurrentYShift;
            Canvas.StretchDraw(Bounds(x, y, ScaleXToDevice(w, r), ScaleYToDevice(h, r)), &bitmap);
        }
        return;
    }
    item.Print(Canvas, d.Left + X0, CurrentYShift, this, RV, GetColorMode(), Part, &d, r, Preview);
}

void TCustomPrintableRVData::DrawItemToBitmap(int, int, TBitmap& Bitmap, const TRVScreenDeviceResolution&,
                                              bool) {
    TColor c = clNone;
    if (CurrentDrawItem)
        c = GetRVStyle()->ParaStyles().GetItem(GetItemPara(CurrentDrawItem->ItemNo))->Background().Color;
    if (c == clNone) c = GetColor();
    if (c == clNone) c = clWhite;
    Bitmap.Canvas()->Brush()->SetStyle(TBrushStyle::bsSolid);
    Bitmap.Canvas()->Brush()->SetColor(PrintColor(c, GetColorMode()));
    Bitmap.Canvas()->FillRect(TRect{0, 0, Bitmap.Width(), Bitmap.Height()});
}

void TRectPtblRVData::DrawItemToBitmap(int X, int Y, TBitmap& Bitmap, const TRVScreenDeviceResolution& r,
                                       bool Relative) {
    TColor c =
        CurrentDrawItem
            ? GetRVStyle()->ParaStyles().GetItem(GetItemPara(CurrentDrawItem->ItemNo))->Background().Color
            : clNone;
    if (c == clNone && Transparent) {
        ParentData->DrawItemToBitmap(X, Y, Bitmap, r, Relative);
        return;
    }
    TCustomMultiPagePtblRVData::DrawItemToBitmap(X, Y, Bitmap, r, Relative);
}

// ---------------------------------------------------------------- the main text's page

void TCustomMainPtblRVData::DrawPage(int PageNo, TCanvas& Canvas, bool Preview, bool Correction) {
    if (PageNo > 0) TCustomMultiPagePtblRVData::DrawPage(PageNo, Canvas, Preview, Correction);
}

void TCustomMainPtblRVData::AfterDrawPage(TCanvas& Canvas, int PageNo, bool Preview) {
    if (PageNo > Pages->Count()) return;
    TRVFootnoteRefList* list = Pages->Page(PageNo).FootnoteList.get();
    if (!list || list->Count() == 0) return;
    for (TRVFootnotePtblRVData* f : list->Items)
        f->DrawPage(1, Canvas, Preview, RV->PreviewCorrection);
    RV->DrawNoteSeparator(PageNo, (*list)[0]->Top, false, Canvas);
}

void TPrintableRVData::BeforeDrawPage(TCanvas& Canvas, int PageNo, bool Preview, bool) {
    TRect area = PrintAreaRect(PageNo);
    if (RV->OnPagePrepaint) RV->OnPagePrepaint(PageNo, Canvas, Preview, PageRect(), area);
    Canvas.SaveState();
    if (RV->ClipMargins) Canvas.IntersectClipRect(area);
}

void TPrintableRVData::AfterDrawPage(TCanvas& Canvas, int PageNo, bool Preview) {
    Canvas.RestoreState();
    TScopeGuard post([&] {
        if (RV->OnPagePostpaint)
            RV->OnPagePostpaint(PageNo, Canvas, Preview, PageRect(), PrintAreaRect(PageNo));
    });
    TCustomMainPtblRVData::AfterDrawPage(Canvas, PageNo, Preview);
}
