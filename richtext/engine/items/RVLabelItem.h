// Labels: read-only text that sits in a line as one object, drawn in a
// text style of the style sheet; and numbered sequences, labels whose text
// is a counter of all sequence items of one name, with the document's
// sequence list that numbers them in order.
#pragma once

#include <vector>

#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/style/RVStyle.h"

class TRVLabelItemInfo : public TRVRectItemInfo {
public:
    explicit TRVLabelItemInfo(TCustomRVData* RVData);
    TRVLabelItemInfo(TCustomRVData* RVData, int ATextStyleNo, const AnsiString& AText);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVLabelItemInfo>(); }

    // The measured size on the screen, valid while SizeValid is set.
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Descent = 0;
    uint8_t Alignment = 0; // 0 left, 1 right, 2 centre inside MinWidth
    bool UseResolutionOverride = false;
    TCustomRVData* OwnerRVData = nullptr;
    bool SizeValid = false;
    AnsiString Text;
    int32_t TextStyleNo = 0;
    bool ProtectTextStyleNo = false;
    TCursor Cursor = 0;

    int32_t MinWidth() const { return FMinWidth; }
    void SetMinWidth(int32_t Value);
    void SetAlignment(uint8_t Value) { Alignment = Value; }
    TRVStyle* GetRVStyle() const;
    void UpdateSize();

    virtual void SetOwnerRVData(TCustomRVData* RVData);
    virtual AnsiString GetTextForPrinting(TCustomRVData*) const { return Text; }
    virtual void DrawLabelText(const TRect& R, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
                               TRVColorMode ColorMode, const AnsiString& AText);
    void Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
               TRVDrawLineInfo* DrawItem) override;
    virtual AnsiString GetTextForPrintMeasuring(TCustomRVData*) const { return Text; }

    int GetAssociatedTextStyleNo() const override { return TextStyleNo; }
    void SetAssociatedTextStyleNo(int Value) override { TextStyleNo = Value; }
    int GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                    TCustomRVData* RVData) const override;
    int GetWidth(TRVStyle* RVStyle) const override;
    int GetHeight(TRVStyle* RVStyle) const override;
    bool GetBoolValue(TRVItemBoolQuery Query) const override;
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    void Inserted(TCustomRVData* RVData, int ItemNo) override;
    void AssignProperties(const TCustomRVItemInfo& Source) override;
    void MarkUsedStyles(TRVStyleUsageInfo& Usage) const override;
    void RenumberStyles(const TRVStyleUsageInfo& Usage) override;
    void MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) override;
    void MovingFromUndoList(int ItemNo, TCustomRVData* RVData) override;
    // Measured on the formatting canvas in the label's text style.
    void AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool ItemFlagB, bool ItemFlagA,
                          TCanvas& Canvas, TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                          bool Printing, int& Descent, int& HShift) override;
    AnsiString AsText(int LineWidth, TCustomRVData* RVData, const AnsiString& Text, const AnsiString& Path,
                      bool TextOnly, bool Unicode) const override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;
    bool ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo, int LineCount,
                     AnsiString& Name, bool& NextLineBinary) override;

protected:
    // The label's own lines after the header (text to name).
    void WriteLabelLines(TStream& Stream, const AnsiString& Name) const;

private:
    int32_t FMinWidth = 0;
};

class TRVSeqList;

class TRVSeqItemInfo : public TRVLabelItemInfo {
public:
    explicit TRVSeqItemInfo(TCustomRVData* RVData);
    TRVSeqItemInfo(TCustomRVData* RVData, const AnsiString& ASeqName, TRVSeqType ANumberType,
                   int ATextStyleNo, int AStartFrom, bool AReset);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVSeqItemInfo>(); }

    // 0 until the item is counted.
    int32_t Counter = 0;
    int32_t StartFrom = 0;
    bool Reset = false;
    // Compared without regard to case.
    AnsiString SeqName;
    // Empty, or a pattern that takes the counter text as its one %s.
    AnsiString FormatString;

    virtual TRVSeqType GetNumberType() const { return FNumberType; }
    virtual void SetNumberType(TRVSeqType Value) { FNumberType = Value; }
    AnsiString GetCounterText(int Value) const;
    void UpdateText();
    int GetIndexInList(const TRVSeqList* List) const;

    void AssignProperties(const TCustomRVItemInfo& Source) override;
    void MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) override;
    void MovingFromUndoList(int ItemNo, TCustomRVData* RVData) override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;
    bool ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo, int LineCount,
                     AnsiString& Name, bool& NextLineBinary) override;

private:
    friend class TRVSeqList;
    TRVSeqType FNumberType = rvseqDecimal;
    mutable int FIndexInList = -1;
};

// The sequence items of a document tree in document order (not owned).
class TRVSeqList : public TObject {
public:
    int Count() const { return int(FItems.size()); }
    TRVSeqItemInfo* Items(int Index) const { return FItems.at(std::size_t(Index)); }
    int IndexOf(const TRVSeqItemInfo* Item) const;
    // Right after Previous (first when it is nil or not in the list).
    int InsertAfter(TRVSeqItemInfo* Item, TRVSeqItemInfo* Previous);
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    // Appends an item that follows every item of the list.
    void Append(TRVSeqItemInfo* Item);
    // Recounts the sequence of the item at Index, from there to the end.
    void RecalcCounters(int Index);
    // Recounts every sequence.
    void RecalcAllCounters();

private:
    std::vector<TRVSeqItemInfo*> FItems;
};
