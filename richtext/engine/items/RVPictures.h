// Picture items and hot pictures, and the printing record that cuts a tall
// picture over printed pages.
#pragma once

#include <vector>

#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/items/RVItem.h"

class TRVGraphicItemInfo : public TRVRectItemInfo {
public:
    explicit TRVGraphicItemInfo(TCustomRVData* RVData);
    TRVGraphicItemInfo(TCustomRVData* RVData, std::unique_ptr<TRVGraphic> Graphic, TRVVAlign AVAlign);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVGraphicItemInfo>(); }

    bool Resizable = true;
    std::unique_ptr<TRVGraphic> Image;
    // A copy realised in the document's palette; nil on every display here.
    std::unique_ptr<TRVGraphic> ImageCopy;
    // Displayed size; 0 or less takes the picture's own.
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    int32_t AnimationInterval = 0;
    bool NoHtmlSize = false;
    AnsiString Alt;
    AnsiString ImageFileName;

    TRVGraphic* GetGraphic() const { return Image.get(); }
    int GetImageWidth(TRVStyle* RVStyle) const override;
    int GetImageHeight(TRVStyle* RVStyle) const override;
    int GetWidth(TRVStyle* RVStyle) const override;
    int GetHeight(TRVStyle* RVStyle) const override;
    int GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                    TCustomRVData* RVData) const override;
    bool GetBoolValue(TRVItemBoolQuery Query) const override;
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    void AssignProperties(const TCustomRVItemInfo& Source) override;
    bool SetExtraIntProperty(int Code, int Value) override;
    bool GetExtraIntProperty(int Code, int& Value) const override;
    bool SetExtraStrProperty(int Code, const AnsiString& Value) override;
    bool GetExtraStrProperty(int Code, AnsiString& Value) const override;
    void MovingToUndoList(int ItemNo, TCustomRVData* RVData) override;
    void Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
               TRVDrawLineInfo* DrawItem) override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;

    // Whether printing may cut the picture over pages: printed through a
    // bitmap, a minimum piece set, and shown at its own height.
    bool CanSplitForPrinting() const;

private:
    bool IsStretched() const { return ImageWidth > 0 || ImageHeight > 0; }
};

// A picture that acts as a hyperlink.
class TRVHotGraphicItemInfo : public TRVGraphicItemInfo {
public:
    explicit TRVHotGraphicItemInfo(TCustomRVData* RVData);
    TRVHotGraphicItemInfo(TCustomRVData* RVData, std::unique_ptr<TRVGraphic> Graphic, TRVVAlign AVAlign);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVHotGraphicItemInfo>(); }
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
};

// One page's piece of a cut picture: its height on the page (device units,
// spacing included) and which rows of the content it shows (screen pixels).
struct TRVImagePrintPart {
    int Height = 0;
    int ContentTop = 0;
    int ContentHeight = 0;
};

// The printing record of a picture (or control) that may be cut between
// printed pages. Heights asked by pagination are device units; the content
// is measured in screen pixels.
class TRVMultiImagePrintInfo : public TObject {
public:
    TRVMultiImagePrintInfo(TRVRectItemInfo& AItem, const TRVScreenDeviceResolution& AResolution);

    TRVRectItemInfo& Item;
    TRVScreenDeviceResolution Resolution;
    // The item's size at the device, set once.
    int Width = 0;
    int Height = 0;
    std::vector<TRVImagePrintPart> PartsList;

    // One part with the whole content; false when the item is never cut.
    bool InitSplit();
    // Whether a first piece of Y device units may stay on the current page.
    bool CanSplitFirst(int Y) const;
    // Cuts the last part so that it is Y device units high; raises
    // EZoroZudoError "Internal printing error" without a part.
    bool SplitAt(int Y);

private:
    int ContentHeight() const;
    int ToScreen(int Y) const { return ScaleYToScreen(Y, Resolution); }
    int ToDevice(int Y) const { return ScaleYToDevice(Y, Resolution); }
};
