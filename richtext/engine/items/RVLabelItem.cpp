// Labels and sequences: queries, copying, styles in use, counter texts and
// the sequence list's numbering. What asks the owning document lives with
// the document.
#include "richtext/engine/items/RVLabelItem.h"

#include <algorithm>

#include "richtext/engine/items/RVStyleUsage.h"

// ---------------------------------------------------------------- label

void TRVLabelItemInfo::SetMinWidth(int32_t Value) {
    if (Value == FMinWidth) return;
    FMinWidth = Value;
    SizeValid = false;
}

void TRVLabelItemInfo::SetOwnerRVData(TCustomRVData* RVData) {
    OwnerRVData = RVData;
}

bool TRVLabelItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    switch (Query) {
    case iqPaintChangesFont:
    case iqInTextOnlyOutput:
        return true;
    case iqActsAsText:
        return !ProtectTextStyleNo;
    default:
        return TRVRectItemInfo::GetBoolValue(Query);
    }
}

bool TRVLabelItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    auto jump = [&] { return RVStyle && RVStyle->TextStyles().GetItem(TextStyleNo)->Jump; };
    switch (Query) {
    case iqxCurrentItemFrame:
        return RVStyle && RVStyle->FieldHighlightType == rvfhCurrent;
    case iqxPrintViaBitmap:
        return false;
    case iqxHyperlink:
    case iqxFocusable:
    case iqxFocusRectangle:
        return jump();
    case iqxHoverSensitive:
        return jump() && RVStyle->GetHoverSensitive(TextStyleNo);
    case iqxDeviceSized:
        return true;
    }
    return TRVRectItemInfo::GetBoolValueEx(Query, RVStyle);
}

void TRVLabelItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVLabelItemInfo*>(&Source)) {
        TextStyleNo = src->TextStyleNo;
        Text = src->Text;
        ProtectTextStyleNo = src->ProtectTextStyleNo;
        SetMinWidth(src->FMinWidth);
        Alignment = src->Alignment;
        Cursor = src->Cursor;
    }
    TRVRectItemInfo::AssignProperties(Source);
}

void TRVLabelItemInfo::MarkUsedStyles(TRVStyleUsageInfo& Usage) const {
    TRVRectItemInfo::MarkUsedStyles(Usage);
    TRVStyleUsageInfo::Mark(Usage.TextStyles, TextStyleNo);
}

void TRVLabelItemInfo::RenumberStyles(const TRVStyleUsageInfo& Usage) {
    TRVRectItemInfo::RenumberStyles(Usage);
    TextStyleNo = TRVStyleUsageInfo::Renumbered(Usage.TextStyles, TextStyleNo);
}

// ---------------------------------------------------------------- sequence

AnsiString TRVSeqItemInfo::GetCounterText(int Value) const {
    AnsiString text;
    switch (GetNumberType()) {
    case rvseqDecimal:
        text = IntToStr(Value);
        break;
    case rvseqUpperAlpha:
        text = IntToLetters(Value);
        break;
    case rvseqLowerAlpha:
        text = AnsiLowerCase(IntToLetters(Value));
        break;
    case rvseqUpperRoman:
        text = IntToRoman(Value);
        break;
    case rvseqLowerRoman:
        text = AnsiLowerCase(IntToRoman(Value));
        break;
    }
    return FormatString.empty() ? text : Format(FormatString, {text});
}

void TRVSeqItemInfo::UpdateText() {
    Text = GetCounterText(Counter);
    SizeValid = false;
}

int TRVSeqItemInfo::GetIndexInList(const TRVSeqList* List) const {
    if (!List) return -1;
    if (FIndexInList >= 0 && FIndexInList < List->Count() && List->Items(FIndexInList) == this)
        return FIndexInList;
    FIndexInList = List->IndexOf(this);
    return FIndexInList;
}

void TRVSeqItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVSeqItemInfo*>(&Source)) {
        SetNumberType(src->GetNumberType());
        StartFrom = src->StartFrom;
        Reset = src->Reset;
        SeqName = src->SeqName;
        FormatString = src->FormatString;
    }
    TRVLabelItemInfo::AssignProperties(Source);
}

// ---------------------------------------------------------------- sequence list

int TRVSeqList::IndexOf(const TRVSeqItemInfo* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

int TRVSeqList::InsertAfter(TRVSeqItemInfo* Item, TRVSeqItemInfo* Previous) {
    int index = Previous ? Previous->GetIndexInList(this) + 1 : 0;
    FItems.insert(FItems.begin() + index, Item);
    Item->FIndexInList = index;
    return index;
}

void TRVSeqList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    FItems.erase(FItems.begin() + Index);
}

void TRVSeqList::Append(TRVSeqItemInfo* Item) {
    FItems.push_back(Item);
    Item->FIndexInList = Count() - 1;
}

void TRVSeqList::RecalcAllCounters() {
    std::vector<AnsiString> done;
    for (int i = 0; i < Count(); ++i) {
        AnsiString name = AnsiLowerCase(Items(i)->SeqName);
        if (std::find(done.begin(), done.end(), name) != done.end()) continue;
        done.push_back(name);
        RecalcCounters(i);
    }
}

void TRVSeqList::RecalcCounters(int Index) {
    if (Index < 0 || Index >= Count()) return;
    AnsiString name = AnsiLowerCase(Items(Index)->SeqName);
    for (int i = Index; i < Count(); ++i) {
        TRVSeqItemInfo* item = Items(i);
        if (AnsiLowerCase(item->SeqName) != name) continue;
        if (item->Reset) {
            item->Counter = item->StartFrom;
        } else {
            item->Counter = 1;
            for (int j = i - 1; j >= 0; --j)
                if (AnsiLowerCase(Items(j)->SeqName) == name) {
                    item->Counter = Items(j)->Counter + 1;
                    break;
                }
        }
        item->UpdateText();
    }
}
