// Picture items: their size, queries, copying, extra properties, drawing,
// and the cutting of a picture over printed pages.
#include "richtext/engine/items/RVPictures.h"

#include <algorithm>

#include "richtext/engine/style/RVStyle.h"
#include "richtext/engine/text/RVErrors.h"

// ---------------------------------------------------------------- picture

TRVGraphicItemInfo::TRVGraphicItemInfo(TCustomRVData* RVData) : TRVRectItemInfo(RVData) {
    StyleNo = rvsPicture;
}

TRVGraphicItemInfo::TRVGraphicItemInfo(TCustomRVData* RVData, std::unique_ptr<TRVGraphic> Graphic,
                                       TRVVAlign AVAlign)
    : TRVGraphicItemInfo(RVData) {
    Image = std::move(Graphic);
    VAlign = AVAlign;
}

int TRVGraphicItemInfo::GetImageWidth(TRVStyle*) const {
    if (ImageWidth > 0) return ImageWidth;
    return Image ? Image->Width() : 0;
}

int TRVGraphicItemInfo::GetImageHeight(TRVStyle*) const {
    if (ImageHeight > 0) return ImageHeight;
    return Image ? Image->Height() : 0;
}

int TRVGraphicItemInfo::GetWidth(TRVStyle* RVStyle) const {
    return GetImageWidth(RVStyle) + 2 * Spacing;
}

int TRVGraphicItemInfo::GetHeight(TRVStyle* RVStyle) const {
    return GetImageHeight(RVStyle) + 2 * Spacing;
}

int TRVGraphicItemInfo::GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas*,
                                    TCustomRVData*) const {
    int width = GetWidth(nullptr);
    return Resolution ? MulDiv(width, Resolution->DevicePpiX, Resolution->ScreenPpiX) : width;
}

bool TRVGraphicItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    switch (Query) {
    case iqValid:
        return Image != nullptr;
    case iqPaintChangesFont:
        return true;
    case iqResizable:
        return Image != nullptr && Resizable;
    case iqHandlesOutside:
        return false; // no animator runs here
    default:
        return TRVRectItemInfo::GetBoolValue(Query);
    }
}

bool TRVGraphicItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    switch (Query) {
    case iqxCurrentItemFrame:
    case iqxPrintViaBitmap:
        return true; // no metafiles here: every picture prints through a bitmap
    default:
        return TRVRectItemInfo::GetBoolValueEx(Query, RVStyle);
    }
}

void TRVGraphicItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVGraphicItemInfo*>(&Source)) {
        Alt = src->Alt;
        Resizable = src->Resizable;
        ImageFileName = src->ImageFileName;
        ImageWidth = src->ImageWidth;
        ImageHeight = src->ImageHeight;
        NoHtmlSize = src->NoHtmlSize;
        Image = src->Image ? src->Image->Clone() : nullptr;
        ImageCopy = src->ImageCopy ? src->ImageCopy->Clone() : nullptr;
    }
    TRVRectItemInfo::AssignProperties(Source);
}

bool TRVGraphicItemInfo::SetExtraIntProperty(int Code, int Value) {
    auto* bitmap = dynamic_cast<TRVBitmapImage*>(Image.get());
    switch (Code) {
    case rvepWidth:
        ImageWidth = Value;
        return true;
    case rvepHeight:
        ImageHeight = Value;
        return true;
    case rvepMinHeightOnPage:
        MinHeightOnPage = Value;
        return true;
    case rvepResizable:
        Resizable = Value != 0;
        return true;
    case rvepNoHtmlSize:
        NoHtmlSize = Value != 0;
        return true;
    case rvepAnimationInterval:
        AnimationInterval = Value;
        return true;
    case rvepTransparent:
    case rvepTransparentMode:
    case rvepTransparentColor:
        if (!bitmap) return false;
        if (Code == rvepTransparent) bitmap->Transparent = Value != 0;
        if (Code == rvepTransparentMode)
            bitmap->TransparentMode = Value ? TTransparentMode::tmFixed : TTransparentMode::tmAuto;
        if (Code == rvepTransparentColor) bitmap->TransparentColorValue = TColor(Value);
        return true;
    default:
        return TRVRectItemInfo::SetExtraIntProperty(Code, Value);
    }
}

bool TRVGraphicItemInfo::GetExtraIntProperty(int Code, int& Value) const {
    auto* bitmap = dynamic_cast<const TRVBitmapImage*>(Image.get());
    switch (Code) {
    case rvepWidth:
        Value = ImageWidth;
        return true;
    case rvepHeight:
        Value = ImageHeight;
        return true;
    case rvepMinHeightOnPage:
        Value = MinHeightOnPage;
        return true;
    case rvepResizable:
        Value = Resizable;
        return true;
    case rvepNoHtmlSize:
        Value = NoHtmlSize;
        return true;
    case rvepAnimationInterval:
        Value = AnimationInterval;
        return true;
    case rvepTransparent:
    case rvepTransparentMode:
    case rvepTransparentColor:
        if (!bitmap) return false;
        if (Code == rvepTransparent) Value = bitmap->Transparent;
        if (Code == rvepTransparentMode) Value = bitmap->TransparentMode == TTransparentMode::tmFixed;
        if (Code == rvepTransparentColor) Value = int(bitmap->TransparentColorValue);
        return true;
    default:
        return TRVRectItemInfo::GetExtraIntProperty(Code, Value);
    }
}

bool TRVGraphicItemInfo::SetExtraStrProperty(int Code, const AnsiString& Value) {
    switch (Code) {
    case rvespAlt:
        Alt = Value;
        return true;
    case rvespFileName:
        ImageFileName = Value;
        return true;
    default:
        return TRVRectItemInfo::SetExtraStrProperty(Code, Value);
    }
}

bool TRVGraphicItemInfo::GetExtraStrProperty(int Code, AnsiString& Value) const {
    switch (Code) {
    case rvespAlt:
        Value = Alt;
        return true;
    case rvespFileName:
        Value = ImageFileName;
        return true;
    default:
        return TRVRectItemInfo::GetExtraStrProperty(Code, Value);
    }
}

void TRVGraphicItemInfo::MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) {
    ImageCopy.reset();
    TRVRectItemInfo::MovingToUndoList(ItemNo, RVData, ContainerUndoItem);
}

void TRVGraphicItemInfo::Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
                               TRVDrawLineInfo*) {
    int w = GetImageWidth(&RVStyle), h = GetImageHeight(&RVStyle), s = Spacing;
    X += s;
    Y += s;
    if (const TRVGraphic* picture = ImageCopy ? ImageCopy.get() : Image.get()) {
        if (IsStretched())
            picture->StretchDraw(Canvas, Bounds(X, Y, w, h));
        else
            picture->Draw(Canvas, X, Y);
    }
    auto frame = [&](TColor Color, int Out) {
        if (Color == clNone) return;
        Canvas.Pen()->SetColor(Color);
        Canvas.Pen()->SetStyle(TPenStyle::psSolid);
        Canvas.Pen()->SetWidth(1);
        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        Canvas.Rectangle(X - s - Out, Y - s - Out, X + w + s + Out, Y + h + s + Out);
    };
    if (State & rvidsSelected)
        frame(State & rvidsControlFocused ? RVStyle.SelColor : RVStyle.InactiveSelColor, 0);
    if (State & rvidsCurrent) frame(RVStyle.CurrentItemColor, 1);
}

bool TRVGraphicItemInfo::PrintToBitmap(TBitmap& Bitmap, bool, TRVColorMode, int PartIndex,
                                       TRVDrawLineInfo* DrawItem, TObject*) {
    const TRVGraphic* picture = ImageCopy ? ImageCopy.get() : Image.get();
    if (!picture) return false;
    int top = 0;
    if (auto* info = dynamic_cast<TRVMultiImagePrintInfo*>(DrawItem))
        if (PartIndex >= 0 && PartIndex < info->PartsList.Count()) top = info->Part(PartIndex)->ContentTop;
    picture->StretchDraw(*Bitmap.Canvas(), Bounds(0, -top, GetImageWidth(nullptr), GetImageHeight(nullptr)));
    return true;
}

bool TRVGraphicItemInfo::CanSplitForPrinting() const {
    if (!GetBoolValueEx(iqxPrintViaBitmap, nullptr) || MinHeightOnPage <= 0) return false;
    return ImageHeight <= 0 || !Image || ImageHeight == Image->Height();
}

// ---------------------------------------------------------------- hot picture

TRVHotGraphicItemInfo::TRVHotGraphicItemInfo(TCustomRVData* RVData) : TRVGraphicItemInfo(RVData) {
    StyleNo = rvsHotPicture;
}

TRVHotGraphicItemInfo::TRVHotGraphicItemInfo(TCustomRVData* RVData, std::unique_ptr<TRVGraphic> Graphic,
                                             TRVVAlign AVAlign)
    : TRVGraphicItemInfo(RVData, std::move(Graphic), AVAlign) {
    StyleNo = rvsHotPicture;
}

bool TRVHotGraphicItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    switch (Query) {
    case iqxHyperlink:
    case iqxFocusable:
    case iqxFocusRectangle:
        return true;
    default:
        return TRVGraphicItemInfo::GetBoolValueEx(Query, RVStyle);
    }
}

// ---------------------------------------------------------------- printing drawing item

std::unique_ptr<TRVDrawLineInfo>
TRVGraphicItemInfo::CreatePrintingDrawItem(TCustomRVData* RVData,
                                           const TRVScreenDeviceResolution& Resolution) {
    if (!CanSplitForPrinting()) return TRVRectItemInfo::CreatePrintingDrawItem(RVData, Resolution);
    auto info = std::make_unique<TRVMultiImagePrintInfo>(*this);
    info->Width = ScaleXToDevice(GetWidth(nullptr), Resolution);
    info->Height = ScaleYToDevice(GetHeight(nullptr), Resolution);
    return info;
}

int TRVMultiImagePrintInfo::ContentHeight() const {
    return Item.GetImageHeight(nullptr);
}

bool TRVMultiImagePrintInfo::InitSplit(const TRVScreenDeviceResolution& Resolution) {
    if (Item.MinHeightOnPage == 0) return false;
    int content = ContentHeight();
    PartsList.Add(std::make_unique<TRVImagePrintPart>(
        ScaleYToDevice(2 * Item.GetVertSpacing() + content, Resolution), 0, content));
    return true;
}

bool TRVMultiImagePrintInfo::CanSplitFirst(int Room, const TRVScreenDeviceResolution& Resolution, bool, bool,
                                           bool) {
    int h = ScaleYToScreen(Room, Resolution), s = Item.GetVertSpacing(), m = Item.MinHeightOnPage,
        c = ContentHeight();
    if (h <= 0 || !Item.GetBoolValueEx(iqxPrintViaBitmap, nullptr) || m <= 0 || h < 2 * s + m) return false;
    if (c - h >= m) return true;
    return h > c + 2 * s;
}

bool TRVMultiImagePrintInfo::SplitAt(int Room, const TRVScreenDeviceResolution& Resolution, bool,
                                     TRVFootnoteRefList*&, int&, bool) {
    int m = Item.MinHeightOnPage, s = Item.GetVertSpacing();
    if (m <= 0) return false;
    if (PartsList.Count() == 0) throw EZoroZudoError(errRVPrint);
    auto& last = *static_cast<TRVImagePrintPart*>(PartsList.Last());
    if (m >= last.ContentHeight) return false;
    int a = ScaleYToScreen(Room, Resolution) - 2 * s;
    if (last.ContentHeight - a < m || a < m) return false;
    int rest = last.ContentHeight - a;
    last.ContentHeight = a;
    last.Height = ScaleYToDevice(2 * s + a, Resolution);
    PartsList.Add(std::make_unique<TRVImagePrintPart>(ScaleYToDevice(2 * s + rest, Resolution),
                                                      last.ContentTop + a, rest));
    return true;
}
