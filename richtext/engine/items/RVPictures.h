// Picture items and hot pictures, and the printing drawing item that cuts
// a tall picture over printed pages.
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
    void MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) override;
    void Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
               TRVDrawLineInfo* DrawItem) override;
    // The picture at its displayed size, from the top of the page part.
    bool PrintToBitmap(TBitmap& Bitmap, bool Preview, TRVColorMode ColorMode, int PartIndex,
                       TRVDrawLineInfo* DrawItem, TObject* Control) override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    std::unique_ptr<TRVDrawLineInfo>
    CreatePrintingDrawItem(TCustomRVData* RVData, const TRVScreenDeviceResolution& Resolution) override;
    int GetRVFExtraPropertyCount() const override;
    void SaveRVFExtraProperties(TStream& Stream) const override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;
    bool ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo, int LineCount,
                     AnsiString& Name, bool& NextLineBinary) override;

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

// One page's part of a cut picture or control: its height on the page
// (device pixels, spacing included) and which rows of the content it shows
// (screen pixels).
class TRVImagePrintPart : public TRVMultiDrawItemPart {
public:
    TRVImagePrintPart(int AHeight, int AContentTop, int AContentHeight)
        : ContentTop(AContentTop), ContentHeight(AContentHeight) {
        Height = AHeight;
    }
    int32_t ContentTop = 0;
    int32_t ContentHeight = 0;
    int GetPartImageHeight() const override { return ContentHeight; }
    int GetPageBreakExtra() const override { return ContentTop; }
};

// The printing drawing item of a picture (or control) that may be cut
// between printed pages. Its size, the item's at the device, is set once by
// its creator; pagination heights are device pixels, the content is
// measured in screen pixels.
class TRVMultiImagePrintInfo : public TRVMultiDrawItemInfo {
public:
    explicit TRVMultiImagePrintInfo(TRVRectItemInfo& AItem) : Item(AItem) {}

    TRVRectItemInfo& Item;

    // The size belongs to the item.
    void SetSize(int, int) override {}
    // One part with the whole content; false when the item is never cut.
    bool InitSplit(const TRVScreenDeviceResolution& Resolution) override;
    // Whether a first piece of Room device pixels may stay on the current page.
    bool CanSplitFirst(int Room, const TRVScreenDeviceResolution& Resolution, bool ItemStartsPage,
                       bool ListExists, bool CountFootnotes) override;
    // Cuts the last part so that it is Room device pixels high; raises
    // EZoroZudoError "Internal printing error" without a part.
    bool SplitAt(int Room, const TRVScreenDeviceResolution& Resolution, bool FirstOnPage,
                 TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) override;
    TRVImagePrintPart* Part(int Index) const { return static_cast<TRVImagePrintPart*>(PartsList[Index]); }

private:
    int ContentHeight() const;
};
