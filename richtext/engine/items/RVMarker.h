// List markers: the item that begins a list paragraph, its counter and
// text, the document's marker list that numbers markers in order, and the
// marker-list state that printed parts carry.
#pragma once

#include <memory>
#include <vector>

#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/style/RVListInfo.h"

class TRVMarkerList;

class TRVMarkerItemInfo : public TRVRectItemInfo {
public:
    explicit TRVMarkerItemInfo(TCustomRVData* RVData);
    TRVMarkerItemInfo(TCustomRVData* RVData, int AListNo, int ALevel, int AStartFrom, bool AReset);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVMarkerItemInfo>(); }

    // -1: no list, the marker shows nothing.
    int32_t ListNo = -1;
    int32_t Level = 0;
    int32_t Counter = 1;
    bool Reset = false;
    int32_t StartFrom = 0;
    AnsiString DisplayString;
    bool NoHtmlSize = false;

    // Nil without a list or a level; a level beyond the style's last is its
    // last.
    TRVListLevel* GetLevelInfo(TRVStyle* RVStyle) const;
    TRVListLevel* GetLevelInfoAt(TRVStyle* RVStyle, int ALevel) const;
    void CalcDisplayString(TRVStyle* RVStyle, TRVMarkerList& List, int Index);
    int GetIndexInList(const TRVMarkerList* List) const;

    bool GetBoolValue(TRVItemBoolQuery Query) const override;
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    int GetImageWidth(TRVStyle* RVStyle) const override;
    int GetImageHeight(TRVStyle* RVStyle) const override;
    void AssignProperties(const TCustomRVItemInfo& Source) override;
    void MarkUsedStyles(TRVStyleUsageInfo& Usage) const override;
    void RenumberStyles(const TRVStyleUsageInfo& Usage) override;
    void MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) override;
    void MovingFromUndoList(int ItemNo, TCustomRVData* RVData) override;
    bool SetExtraIntProperty(int Code, int Value) override;
    bool GetExtraIntProperty(int Code, int& Value) const override;
    AnsiString AsText(int LineWidth, TCustomRVData* RVData, const AnsiString& Text, const AnsiString& Path,
                      bool TextOnly, bool Unicode) const override;
    void FillRTFTables(TRVRTFTables& Tables, TCustomRVData* RVData) const override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    AnsiString GetRVFHeaderExtra() const override;
    bool ReadRVFHeaderExtra(std::string_view Rest, TRVFReader& Reader) override;
    int GetRVFExtraPropertyCount() const override;
    void SaveRVFExtraProperties(TStream& Stream) const override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;

    // ---- size: the content split around the marker's position by its
    // alignment, and the room up to the text (the level's indents)
    // The part after the position or the room, whichever is larger.
    int GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                    TCustomRVData* RVData) const override;
    // Sets DrawItem's size and keeps the content offset in its SpaceBefore.
    void AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool ItemFlagB, bool ItemFlagA,
                          TCanvas& Canvas, TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                          bool Printing, int& Descent, int& HShift) override;
    // The size AdjustToDocWidth found last.
    int GetWidth(TRVStyle*) const override { return FWidth; }
    int GetHeight(TRVStyle*) const override { return FHeight; }
    int GetLeftOverhang(TRVStyle*) const override { return FOverhang; }
    void Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
               TRVDrawLineInfo* DrawItem) override;
    // The marker's picture, image or text at X, Y.
    void DrawMarker(TCanvas& Canvas, int X, int Y, TRVStyle& RVStyle, TRVColorMode ColorMode);

private:
    // Measures the content on Canvas: width, height and descent.
    void MeasureContent(TCanvas& Canvas, TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                        int& Width, int& Height, int& Descent) const;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    int32_t FDescent = 0;
    int32_t FOverhang = 0;
    friend class TRVMarkerList;
    mutable int FIndexInList = -1;
};

// The markers of a document in document order (not owned), and a link to
// the list of the part printed before, where higher levels are looked up.
class TRVMarkerList : public TObject {
public:
    TRVMarkerList* PrevMarkerList = nullptr;

    int Count() const { return int(FItems.size()); }
    TRVMarkerItemInfo* Items(int Index) const { return FItems.at(std::size_t(Index)); }
    int IndexOf(const TRVMarkerItemInfo* Marker) const;
    // After Previous (its GetIndexInList + 1), or first without one.
    int InsertAfter(TRVMarkerItemInfo* Marker, TRVMarkerItemInfo* Previous);
    void Delete(int Index);
    void Clear();
    // Appends a marker that follows every marker of the list.
    void Append(TRVMarkerItemInfo* Marker);
    // Counters and texts from the marker at Index to the end, for its list.
    void RecalcCounters(int Index, TRVStyle* RVStyle);
    // Counters and texts of every marker.
    void RecalcAllCounters(TRVStyle* RVStyle);

    // The state of the first Count markers: a 0, the count, then per marker
    // ListNo, Level, Reset, StartFrom and Counter; with its length first
    // when asked. Integers are little-endian.
    void SaveState(TStream& Stream, int ACount, bool WithLength) const;
    // The same without the length, as one line of upper-case hexadecimal.
    void SaveStateHex(TStream& Stream, int ACount) const;
    // Replaces the list by markers read from a state, which the list then
    // owns (they belong to no document). Malformed data raises EReadError
    // and leaves the list empty.
    void LoadState(TStream& Stream, TCustomRVData* RVData, bool WithLength);
    void LoadStateFromBytes(const AnsiString& Bytes, TCustomRVData* RVData);
    void LoadStateFromHex(const AnsiString& Hex, TCustomRVData* RVData);

private:
    std::vector<TRVMarkerItemInfo*> FItems;
    std::vector<std::unique_ptr<TRVMarkerItemInfo>> FOwned;
};

// The level object of a list style without a marker; nil for a ListNo out
// of the style sheet's list styles.
TRVListLevel* GetListLevelInfo(TRVStyle* RVStyle, int ListNo, int Level);
// A counter in the notation of a list type; empty for types without one.
AnsiString GetMarkerCounterText(int Number, TRVListType ListType);
// The nearest marker before Index of List (then of the lists before it)
// with Marker's list and a smaller level; false when there is none.
bool FindParentMarker(TRVMarkerList& List, int Index, const TRVMarkerItemInfo& Marker, int& ParentIndex,
                      TRVMarkerList*& ParentList);
