// The members of labels, sequences and list markers that ask the document
// holding them: binding to it, its style sheet and flags, measuring, and
// entering or leaving the document's numbering lists around undo.
#include <algorithm>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/items/RVLabelItem.h"
#include "richtext/engine/items/RVMarker.h"

namespace {

// Flag bit 10 of a document: text styles may use a resolution of their own.
constexpr uint16_t FlagResolutionOverride = 0x400;

bool UsesResolutionOverride(const TCustomRVData* RVData) {
    return RVData && (RVData->GetFlags() & FlagResolutionOverride);
}

} // namespace

// ---------------------------------------------------------------- label

TRVLabelItemInfo::TRVLabelItemInfo(TCustomRVData* RVData) : TRVRectItemInfo(RVData) {
    StyleNo = rvsLabel;
    SetOwnerRVData(RVData);
    UseResolutionOverride = UsesResolutionOverride(RVData);
}

TRVLabelItemInfo::TRVLabelItemInfo(TCustomRVData* RVData, int ATextStyleNo, const AnsiString& AText)
    : TRVLabelItemInfo(RVData) {
    VAlign = vaBaseline;
    TextStyleNo = ATextStyleNo;
    Text = AText;
}

TRVStyle* TRVLabelItemInfo::GetRVStyle() const {
    return OwnerRVData ? OwnerRVData->GetRVStyle() : nullptr;
}

void TRVLabelItemInfo::UpdateSize() {
    TRVStyle* style = GetRVStyle();
    if (!style || SizeValid) return;
    TBitmap screen(1, 1);
    TCanvas& canvas = *screen.Canvas();
    style->ApplyStyle(canvas, TextStyleNo, rvbdUnspecified, UseResolutionOverride, nullptr, false);
    TSize extent = canvas.TextExtent(Text.empty() ? AnsiString(" ") : Text);
    Height = extent.cy;
    Descent = 0;
    Width = std::max(Text.empty() ? 0 : extent.cx, FMinWidth);
    SizeValid = true;
}

int TRVLabelItemInfo::GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas*,
                                  TCustomRVData*) const {
    const_cast<TRVLabelItemInfo*>(this)->UpdateSize();
    int width = std::max(Width, FMinWidth);
    return Resolution ? MulDiv(width, Resolution->DevicePpiX, Resolution->ScreenPpiX) : width;
}

int TRVLabelItemInfo::GetWidth(TRVStyle*) const {
    const_cast<TRVLabelItemInfo*>(this)->UpdateSize();
    return Width;
}

int TRVLabelItemInfo::GetHeight(TRVStyle*) const {
    const_cast<TRVLabelItemInfo*>(this)->UpdateSize();
    return Height;
}

void TRVLabelItemInfo::Inserted(TCustomRVData* RVData, int) {
    if (!RVData) return;
    SetOwnerRVData(RVData);
    UseResolutionOverride = UsesResolutionOverride(RVData);
}

void TRVLabelItemInfo::MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) {
    TRVRectItemInfo::MovingToUndoList(ItemNo, RVData, ContainerUndoItem);
    // In the undo list the label belongs to the list's document.
    if (ContainerUndoItem) SetOwnerRVData(ContainerUndoItem->GetRVData());
}

void TRVLabelItemInfo::MovingFromUndoList(int ItemNo, TCustomRVData* RVData) {
    TRVRectItemInfo::MovingFromUndoList(ItemNo, RVData);
    SetOwnerRVData(RVData);
}

// ---------------------------------------------------------------- sequence

TRVSeqItemInfo::TRVSeqItemInfo(TCustomRVData* RVData) : TRVLabelItemInfo(RVData) {
    StyleNo = rvsSequence;
}

TRVSeqItemInfo::TRVSeqItemInfo(TCustomRVData* RVData, const AnsiString& ASeqName, TRVSeqType ANumberType,
                               int ATextStyleNo, int AStartFrom, bool AReset)
    : TRVLabelItemInfo(RVData, ATextStyleNo, AnsiString()) {
    StyleNo = rvsSequence;
    StartFrom = AStartFrom;
    Reset = AReset;
    SeqName = ASeqName.empty() ? AnsiString("tzorozudo") : ASeqName;
    SetNumberType(ANumberType);
}

void TRVSeqItemInfo::MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) {
    TRVLabelItemInfo::MovingToUndoList(ItemNo, RVData, ContainerUndoItem);
    if (RVData) RVData->RemoveSeqFromList(this, false);
}

void TRVSeqItemInfo::MovingFromUndoList(int ItemNo, TCustomRVData* RVData) {
    TRVLabelItemInfo::MovingFromUndoList(ItemNo, RVData);
    if (RVData) RVData->AddSeqInList(ItemNo);
}

// ---------------------------------------------------------------- marker

void TRVMarkerItemInfo::MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) {
    TRVRectItemInfo::MovingToUndoList(ItemNo, RVData, ContainerUndoItem);
    if (RVData) RVData->RemoveMarkerFromList(this, false);
}

void TRVMarkerItemInfo::MovingFromUndoList(int ItemNo, TCustomRVData* RVData) {
    TRVRectItemInfo::MovingFromUndoList(ItemNo, RVData);
    if (RVData) RVData->AddMarkerInList(ItemNo);
}
