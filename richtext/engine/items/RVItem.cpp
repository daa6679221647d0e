// The item base classes and checkpoints: paragraph flags, the text style
// an item draws with, yes/no queries, copying and extra properties.
#include "richtext/engine/items/RVItem.h"

#include "richtext/engine/items/RVStyleUsage.h"
#include "richtext/engine/style/RVStyle.h"

// ---------------------------------------------------------------- checkpoints

void TRVCPInfo::AssignFrom(const TRVCPInfo& Source) {
    Name = Source.Name;
    RaiseEvent = Source.RaiseEvent;
    Tag = DuplicateTag(Source.Tag);
    Persistent = Source.Persistent;
}

std::unique_ptr<TRVCPInfo> TRVCPInfo::CreateCopy() const {
    auto copy = std::make_unique<TRVCPInfo>();
    copy->AssignFrom(*this);
    return copy;
}

// ---------------------------------------------------------------- item base

TCustomRVItemInfo::TCustomRVItemInfo(TCustomRVData*) {}

TCustomRVItemInfo::~TCustomRVItemInfo() = default;

void TCustomRVItemInfo::SetContinuesParagraph(bool Value) {
    if (Value)
        ItemOptions =
            TRVItemOptions((ItemOptions | ioContinuesParagraph) & ~(ioPageBreakBefore | ioLineBreakBefore));
    else
        ItemOptions &= TRVItemOptions(~ioContinuesParagraph);
}

void TCustomRVItemInfo::SetPageBreakBefore(bool Value) {
    if (Value)
        ItemOptions =
            TRVItemOptions((ItemOptions | ioPageBreakBefore) & ~(ioContinuesParagraph | ioLineBreakBefore));
    else
        ItemOptions &= TRVItemOptions(~ioPageBreakBefore);
}

void TCustomRVItemInfo::SetLineBreakBefore(bool Value) {
    if (Value && !GetBoolValue(iqFullLine))
        ItemOptions = TRVItemOptions((ItemOptions | ioLineBreakBefore) & ~ioContinuesParagraph);
    else
        ItemOptions &= TRVItemOptions(~ioLineBreakBefore);
}

int TCustomRVItemInfo::GetActualStyleNo(TRVStyle* RVStyle) const {
    if (StyleNo != rvsDefStyle) return StyleNo;
    if (!RVStyle) return 0;
    int def = RVStyle->ParaStyles().GetItem(ParaNo)->DefStyleNo;
    return def < 0 ? 0 : def;
}

int TCustomRVItemInfo::GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas*,
                                   TCustomRVData*) const {
    constexpr int MinWidth = 20;
    return Resolution ? MulDiv(MinWidth, Resolution->DevicePpiX, Resolution->ScreenPpiX) : MinWidth;
}

bool TCustomRVItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    switch (Query) {
    case iqValid:
    case iqHasRVFLines:
    case iqActsAsText:
        return true;
    case iqFullLine:
    case iqPaintChangesFont:
    case iqTextInOutputEncoding:
    case iqInTextOnlyOutput:
    case iqOwnsControlsDirectly:
    case iqResizable:
    case iqHandlesOutside:
    case iqHasSubDocuments:
    case iqClickSelects:
    case iqHtmlBlock:
        return false;
    }
    return true;
}

bool TCustomRVItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle*) const {
    return Query == iqxPrintViaBitmap;
}

bool TCustomRVItemInfo::PrintToBitmap(TBitmap&, bool, TRVColorMode, int, TRVDrawLineInfo*, TObject*) {
    return false;
}

void TCustomRVItemInfo::Print(TCanvas&, int, int, TCustomRVData*, TObject*, TRVColorMode, int,
                              TRVDrawLineInfo*, const TRVScreenDeviceResolution&, bool) {}

std::unique_ptr<TRVDrawLineInfo> TCustomRVItemInfo::CreatePrintingDrawItem(TCustomRVData*,
                                                                           const TRVScreenDeviceResolution&) {
    return std::make_unique<TRVDrawLineInfo>();
}

void TCustomRVItemInfo::AdjustToDocWidth(int, TRVDrawLineInfo&, bool, bool, TCanvas&, TCustomRVData*,
                                         const TRVScreenDeviceResolution*, bool, int& Descent, int& HShift) {
    Descent = 1;
    HShift = 0;
}

void TCustomRVItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (typeid(Source) == typeid(*this)) StyleNo = Source.StyleNo;
    ParaNo = Source.ParaNo;
    ItemOptions = Source.ItemOptions;
    Hint = Source.Hint;
}

TCustomRVData* TCustomRVItemInfo::GetSubDocument(std::unique_ptr<TRVStoreSubRVData>& Position,
                                                 TRVSubDocumentCode) {
    Position.reset();
    return nullptr;
}

AnsiString TCustomRVItemInfo::AsText(int, TCustomRVData*, const AnsiString&, const AnsiString&, bool,
                                     bool) const {
    return {};
}

void TCustomRVItemInfo::MarkUsedStyles(TRVStyleUsageInfo& Usage) const {
    TRVStyleUsageInfo::Mark(Usage.ParaStyles, ParaNo);
}

void TCustomRVItemInfo::RenumberStyles(const TRVStyleUsageInfo& Usage) {
    ParaNo = TRVStyleUsageInfo::Renumbered(Usage.ParaStyles, ParaNo);
}

bool TCustomRVItemInfo::SetExtraIntProperty(int, int) {
    return false;
}

bool TCustomRVItemInfo::GetExtraIntProperty(int, int&) const {
    return false;
}

bool TCustomRVItemInfo::SetExtraStrProperty(int Code, const AnsiString& Value) {
    if (Code != rvespHint) return false;
    Hint = Value;
    return true;
}

bool TCustomRVItemInfo::GetExtraStrProperty(int Code, AnsiString& Value) const {
    if (Code != rvespHint) return false;
    Value = Hint;
    return true;
}

// ---------------------------------------------------------------- non-text, full-line, rectangle

void TRVNonTextItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVNonTextItemInfo*>(&Source)) Unremovable = src->Unremovable;
    TCustomRVItemInfo::AssignProperties(Source);
}

bool TRVNonTextItemInfo::SetExtraIntProperty(int Code, int Value) {
    if (Code != rvepUnremovable) return TCustomRVItemInfo::SetExtraIntProperty(Code, Value);
    Unremovable = Value != 0;
    return true;
}

bool TRVNonTextItemInfo::GetExtraIntProperty(int Code, int& Value) const {
    if (Code != rvepUnremovable) return TCustomRVItemInfo::GetExtraIntProperty(Code, Value);
    Value = Unremovable;
    return true;
}

bool TRVFullLineItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    return Query == iqFullLine || TRVNonTextItemInfo::GetBoolValue(Query);
}

void TRVRectItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVRectItemInfo*>(&Source)) {
        MinHeightOnPage = src->MinHeightOnPage;
        VAlign = src->VAlign;
        VShift = src->VShift;
        VShiftAbs = src->VShiftAbs;
        Spacing = src->Spacing;
    }
    TRVNonTextItemInfo::AssignProperties(Source);
}

bool TRVRectItemInfo::SetExtraIntProperty(int Code, int Value) {
    switch (Code) {
    case rvepVShift:
        VShift = Value;
        return true;
    case rvepVShiftAbs:
        VShiftAbs = Value != 0;
        return true;
    case rvepSpacing:
        Spacing = Value < 0 ? 0 : Value;
        return true;
    default:
        return TRVNonTextItemInfo::SetExtraIntProperty(Code, Value);
    }
}

bool TRVRectItemInfo::GetExtraIntProperty(int Code, int& Value) const {
    switch (Code) {
    case rvepVShift:
        Value = VShift;
        return true;
    case rvepVShiftAbs:
        Value = VShiftAbs;
        return true;
    case rvepSpacing:
        Value = Spacing;
        return true;
    default:
        return TRVNonTextItemInfo::GetExtraIntProperty(Code, Value);
    }
}
