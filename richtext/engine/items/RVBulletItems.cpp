// Image-list items: their size, queries, properties and painting.
#include "richtext/engine/items/RVBulletItems.h"

#include "richtext/engine/style/RVStyle.h"

TRVImageListAccess* RVImageLists = nullptr;

TRVBulletItemInfo::TRVBulletItemInfo(TCustomRVData* RVData) : TRVRectItemInfo(RVData) {
    StyleNo = rvsBullet;
}

int TRVBulletItemInfo::GetImageWidth(TRVStyle*) const {
    return RVImageLists && ImageList ? RVImageLists->ImageSize(ImageList).cx : 0;
}

int TRVBulletItemInfo::GetImageHeight(TRVStyle*) const {
    return RVImageLists && ImageList ? RVImageLists->ImageSize(ImageList).cy : 0;
}

int TRVBulletItemInfo::GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas*,
                                   TCustomRVData*) const {
    int w = GetWidth(nullptr);
    return Resolution ? ScaleXToDevice(w, *Resolution) : w;
}

bool TRVBulletItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    if (Query == iqValid) return ImageList != nullptr;
    return TRVRectItemInfo::GetBoolValue(Query);
}

bool TRVBulletItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    if (Query == iqxCurrentItemFrame) return true;
    return TRVRectItemInfo::GetBoolValueEx(Query, RVStyle);
}

void TRVBulletItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* b = dynamic_cast<const TRVBulletItemInfo*>(&Source)) {
        ImageList = b->ImageList;
        ImageIndex = b->ImageIndex;
        NoHtmlSize = b->NoHtmlSize;
    }
    TRVRectItemInfo::AssignProperties(Source);
}

bool TRVBulletItemInfo::SetExtraIntProperty(int Code, int Value) {
    if (Code != rvepNoHtmlSize) return TRVRectItemInfo::SetExtraIntProperty(Code, Value);
    NoHtmlSize = Value != 0;
    return true;
}

bool TRVBulletItemInfo::GetExtraIntProperty(int Code, int& Value) const {
    if (Code != rvepNoHtmlSize) return TRVRectItemInfo::GetExtraIntProperty(Code, Value);
    Value = NoHtmlSize;
    return true;
}

bool TRVBulletItemInfo::SetExtraStrProperty(int Code, const AnsiString& Value) {
    if (Code != rvespAlt) return TRVRectItemInfo::SetExtraStrProperty(Code, Value);
    Alt = Value;
    return true;
}

bool TRVBulletItemInfo::GetExtraStrProperty(int Code, AnsiString& Value) const {
    if (Code != rvespAlt) return TRVRectItemInfo::GetExtraStrProperty(Code, Value);
    Value = Alt;
    return true;
}

void TRVBulletItemInfo::Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
                              TRVDrawLineInfo*) {
    TColor blend = clNone;
    if (State & rvidsSelected)
        blend = (State & rvidsControlFocused) ? RVStyle.SelColor : RVStyle.InactiveSelColor;
    if (RVImageLists && ImageList) {
        int index = GetImageIndex(State & rvidsHover);
        if (index >= 0 && index < RVImageLists->Count(ImageList))
            RVImageLists->Draw(ImageList, Canvas, X + Spacing, Y + Spacing, index, blend);
    }
    if ((State & rvidsCurrent) && RVStyle.CurrentItemColor != clNone) {
        TPen& pen = *Canvas.Pen();
        pen.SetColor(RVStyle.CurrentItemColor);
        pen.SetStyle(TPenStyle::psSolid);
        pen.SetWidth(1);
        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        Canvas.Rectangle(X, Y, X + GetWidth(&RVStyle), Y + GetHeight(&RVStyle));
    }
}

bool TRVBulletItemInfo::PrintToBitmap(TBitmap& Bitmap, bool, TRVColorMode, int, TRVDrawLineInfo*, TObject*) {
    if (RVImageLists && ImageList && ImageIndex >= 0 && ImageIndex < RVImageLists->Count(ImageList))
        RVImageLists->Draw(ImageList, *Bitmap.Canvas(), 0, 0, ImageIndex, clNone);
    return true;
}

// ---------------------------------------------------------------- hotspot

TRVHotspotItemInfo::TRVHotspotItemInfo(TCustomRVData* RVData) : TRVBulletItemInfo(RVData) {
    StyleNo = rvsHotspot;
}

bool TRVHotspotItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    switch (Query) {
    case iqxHyperlink:
    case iqxFocusable:
    case iqxFocusRectangle:
        return true;
    case iqxHoverSensitive:
        return ImageIndex != HotImageIndex;
    default:
        return TRVBulletItemInfo::GetBoolValueEx(Query, RVStyle);
    }
}

void TRVHotspotItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* h = dynamic_cast<const TRVHotspotItemInfo*>(&Source)) HotImageIndex = h->HotImageIndex;
    TRVBulletItemInfo::AssignProperties(Source);
}
