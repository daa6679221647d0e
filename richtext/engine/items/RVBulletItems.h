// Items that show an image of an image list: the bullet and the hotspot,
// its hypertext variant with an image of its own under the mouse; and how
// the engine reaches image lists, which belong to the toolkit.
#pragma once

#include "richtext/engine/items/RVItem.h"

// What items and list markers ask of an image list. The viewer's library
// installs the toolkit's; without one image lists show nothing.
class TRVImageListAccess {
public:
    virtual ~TRVImageListAccess() = default;
    virtual int Count(TComponent* List) const = 0;
    virtual TSize ImageSize(TComponent* List) const = 0;
    // Blend: clNone, or a colour mixed in at half (a selected image).
    virtual void Draw(TComponent* List, TCanvas& Canvas, int X, int Y, int Index, TColor Blend) = 0;
};
extern TRVImageListAccess* RVImageLists;

class TRVBulletItemInfo : public TRVRectItemInfo {
public:
    explicit TRVBulletItemInfo(TCustomRVData* RVData);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVBulletItemInfo>(); }

    TComponent* ImageList = nullptr;
    int32_t ImageIndex = 0;
    bool NoHtmlSize = false;
    AnsiString Alt;

    virtual int GetImageIndex(bool Hot) const { return (void)Hot, ImageIndex; }
    int GetImageWidth(TRVStyle*) const override;
    int GetImageHeight(TRVStyle*) const override;
    int GetWidth(TRVStyle* RVStyle) const override { return GetImageWidth(RVStyle) + 2 * Spacing; }
    int GetHeight(TRVStyle* RVStyle) const override { return GetImageHeight(RVStyle) + 2 * Spacing; }
    int GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                    TCustomRVData* RVData) const override;
    bool GetBoolValue(TRVItemBoolQuery Query) const override;
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    void AssignProperties(const TCustomRVItemInfo& Source) override;
    bool SetExtraIntProperty(int Code, int Value) override;
    bool GetExtraIntProperty(int Code, int& Value) const override;
    bool SetExtraStrProperty(int Code, const AnsiString& Value) override;
    bool GetExtraStrProperty(int Code, AnsiString& Value) const override;
    void Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
               TRVDrawLineInfo* DrawItem) override;
    bool PrintToBitmap(TBitmap& Bitmap, bool Preview, TRVColorMode ColorMode, int PartIndex,
                       TRVDrawLineInfo* DrawItem, TObject* Control) override;
};

class TRVHotspotItemInfo : public TRVBulletItemInfo {
public:
    explicit TRVHotspotItemInfo(TCustomRVData* RVData);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVHotspotItemInfo>(); }

    int32_t HotImageIndex = 0;

    int GetImageIndex(bool Hot) const override { return Hot ? HotImageIndex : ImageIndex; }
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    void AssignProperties(const TCustomRVItemInfo& Source) override;
};
