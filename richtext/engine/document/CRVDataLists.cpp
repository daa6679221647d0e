// The document's list markers and numbered sequences in their lists, list
// markers given to paragraphs, the page setup, and the base answers of the
// questions the writers ask.
#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/items/RVLabelItem.h"
#include "richtext/engine/items/RVMarker.h"

// ---------------------------------------------------------------- the lists

TRVMarkerList* TCustomRVData::GetMarkerList(bool Create) {
    TCustomRVData* root = GetOuterRootData();
    if (root != this) return root->GetMarkerList(Create);
    if (!FMarkerList && Create) {
        FMarkerList = std::make_unique<TRVMarkerList>();
        FMarkerList->PrevMarkerList = GetPrevMarkerList();
    }
    return FMarkerList.get();
}

void TCustomRVData::FreeMarkerList() {
    TCustomRVData* root = GetOuterRootData();
    if (root != this)
        root->FreeMarkerList();
    else
        FMarkerList.reset();
}

TRVSeqList* TCustomRVData::GetSeqList(bool Create) {
    TCustomRVData* root = GetOuterRootData();
    if (root != this) return root->GetSeqList(Create);
    if (!FSeqList && Create) FSeqList = std::make_unique<TRVSeqList>();
    return FSeqList.get();
}

void TCustomRVData::FreeSeqList() {
    TCustomRVData* root = GetOuterRootData();
    if (root != this)
        root->FreeSeqList();
    else
        FSeqList.reset();
}

// Before item 0 of a cell lie the cells before it and the document around
// its table: the search goes on there.
TRVMarkerItemInfo* TCustomRVData::FindPrevMarker(int ItemNo) const {
    return FindPrevItemOfClass<TRVMarkerItemInfo>(ItemNo);
}

TRVSeqItemInfo* TCustomRVData::FindPrevSeqItem(int ItemNo) const {
    return FindPrevItemOfClass<TRVSeqItemInfo>(ItemNo);
}

void TCustomRVData::AddMarkerInList(int ItemNo) {
    auto* marker = dynamic_cast<TRVMarkerItemInfo*>(GetItem(ItemNo));
    if (!marker) return;
    TRVMarkerList* list = GetMarkerList(true);
    if (marker->GetIndexInList(list) >= 0) return;
    int index = list->InsertAfter(marker, FindPrevMarker(ItemNo - 1));
    list->RecalcCounters(index, GetRVStyle());
}

void TCustomRVData::RemoveMarkerFromList(TCustomRVItemInfo* Item, bool Clearing) {
    auto* marker = dynamic_cast<TRVMarkerItemInfo*>(Item);
    TRVMarkerList* list = marker ? GetMarkerList(false) : nullptr;
    if (!list) return;
    int index = marker->GetIndexInList(list);
    if (index < 0) return;
    list->Delete(index);
    if (list->Count() == 0)
        FreeMarkerList();
    else if (!Clearing)
        list->RecalcCounters(index, GetRVStyle());
}

void TCustomRVData::RenumberMarkersFrom(int ItemNo, bool CreateList) {
    auto* marker = dynamic_cast<TRVMarkerItemInfo*>(GetItem(ItemNo));
    TRVMarkerList* list = marker ? GetMarkerList(CreateList) : nullptr;
    if (!list) return;
    int index = marker->GetIndexInList(list);
    if (index >= 0) list->RecalcCounters(index, GetRVStyle());
}

int TCustomRVData::ApplyListMarker(int ItemNo, int ListNo, int ListLevel, int StartFrom, bool UseStartFrom,
                                   int ParaNo) {
    bool append = ItemNo < 0 || ItemNo >= ItemCount();
    int target = append ? ItemCount() : GetFirstParaItem(ItemNo);
    if (!append) {
        TCustomRVItemInfo& first = LiveItem(target);
        if (first.GetBoolValue(iqFullLine)) return -1;
        if (auto* existing = dynamic_cast<TRVMarkerItemInfo*>(&first)) {
            bool otherList = existing->ListNo != ListNo;
            existing->ListNo = ListNo;
            existing->Level = ListLevel;
            existing->StartFrom = StartFrom;
            existing->Reset = UseStartFrom;
            // A marker that leaves a list renumbers the markers it leaves too.
            if (TRVMarkerList* list = GetMarkerList(false)) {
                if (otherList)
                    list->RecalcAllCounters(GetRVStyle());
                else
                    RenumberMarkersFrom(target, false);
            }
            RVCheckAfterOperation(*this);
            return target;
        }
    }
    auto marker = std::make_unique<TRVMarkerItemInfo>(this, ListNo, ListLevel, StartFrom, UseStartFrom);
    AnsiString text;
    marker->Inserting(this, text, false);
    if (!append) {
        TCustomRVItemInfo& first = LiveItem(target);
        marker->ParaNo = first.ParaNo;
        // The marker takes the paragraph start over, page break included.
        if (first.GetPageBreakBefore()) marker->SetPageBreakBefore(true);
        first.SetContinuesParagraph(true);
    } else {
        marker->ParaNo = ParaNo >= 0 ? ParaNo : ItemCount() > 0 ? LiveItem(ItemCount() - 1).ParaNo : 0;
    }
    TCustomRVItemInfo* item = marker.get();
    ItemList->InsertObject(target, text, std::move(marker));
    item->Inserted(this, target);
    AddMarkerInList(target);
    if (append) {
        // A marker never ends its paragraph: an empty text holds its place
        // until the paragraph's first item comes.
        AddTextItem("", 0, -1);
        FMarkerPlaceholder = &LiveItem(ItemCount() - 1);
    }
    RVCheckAfterOperation(*this);
    return target;
}

void TCustomRVData::AddSeqInList(int ItemNo) {
    auto* seq = dynamic_cast<TRVSeqItemInfo*>(GetItem(ItemNo));
    if (!seq) return;
    TRVSeqList* list = GetSeqList(true);
    if (seq->GetIndexInList(list) >= 0) return;
    int index = list->InsertAfter(seq, FindPrevSeqItem(ItemNo - 1));
    list->RecalcCounters(index);
}

void TCustomRVData::RemoveSeqFromList(TCustomRVItemInfo* Item, bool Clearing) {
    auto* seq = dynamic_cast<TRVSeqItemInfo*>(Item);
    TRVSeqList* list = seq ? GetSeqList(false) : nullptr;
    if (!list) return;
    int index = seq->GetIndexInList(list);
    if (index < 0) return;
    list->Delete(index);
    if (list->Count() == 0)
        FreeSeqList();
    else if (!Clearing)
        list->RecalcCounters(index);
}

namespace {

// Markers and sequence items of Data and its sub-documents in document order.
void CollectNumbered(TCustomRVData& Data, std::vector<TRVMarkerItemInfo*>& Markers,
                     std::vector<TRVSeqItemInfo*>& Sequences) {
    for (int i = 0; i < Data.ItemCount(); ++i) {
        TCustomRVItemInfo& item = Data.LiveItem(i);
        if (auto* marker = dynamic_cast<TRVMarkerItemInfo*>(&item)) Markers.push_back(marker);
        if (auto* seq = dynamic_cast<TRVSeqItemInfo*>(&item)) Sequences.push_back(seq);
        std::unique_ptr<TRVStoreSubRVData> position;
        for (TCustomRVData* sub = item.GetSubDocument(position, rvsdFirst); sub;
             sub = item.GetSubDocument(position, rvsdNext))
            CollectNumbered(*sub, Markers, Sequences);
    }
}

} // namespace

void TCustomRVData::RebuildNumberingLists() {
    TCustomRVData* root = GetNumberingRoot();
    if (root != this) {
        root->RebuildNumberingLists();
        return;
    }
    std::vector<TRVMarkerItemInfo*> markers;
    std::vector<TRVSeqItemInfo*> sequences;
    CollectNumbered(*this, markers, sequences);
    if (markers.empty()) {
        FreeMarkerList();
    } else {
        TRVMarkerList* list = GetMarkerList(true);
        list->Clear();
        for (TRVMarkerItemInfo* marker : markers)
            list->Append(marker);
        list->RecalcAllCounters(GetRVStyle());
    }
    if (sequences.empty()) {
        FreeSeqList();
    } else {
        TRVSeqList* list = GetSeqList(true);
        list->Clear();
        for (TRVSeqItemInfo* seq : sequences)
            list->Append(seq);
        list->RecalcAllCounters();
    }
}

void TCustomRVData::EndItemsLoad() {
    if (FItemsLoading > 0 && --FItemsLoading == 0) RebuildNumberingLists();
}

AnsiString TCustomRVData::GetNoteText() const {
    TCustomRVData* root = GetOuterRootData();
    return root != this ? root->GetNoteText() : AnsiString();
}

// ---------------------------------------------------------------- page setup

TRVDocParameters* TCustomRVData::GetDocParameters(bool Create) {
    TCustomRVData* root = GetRootData();
    if (root != this) return root->GetDocParameters(Create);
    if (!FDocParameters && Create) FDocParameters = std::make_unique<TRVDocParameters>();
    return FDocParameters.get();
}

// ---------------------------------------------------------------- what writers ask

TRVRTFOptions TCustomRVData::GetRTFOptions() const {
    TCustomRVData* root = GetRootData();
    return root != this ? root->GetRTFOptions() : RVDefaultRTFOptions;
}

void TCustomRVData::GetSaveRange(bool, int& StartItemNo, int& StartOffs, int& EndItemNo, int& EndOffs,
                                 bool& PartialItem) const {
    PartialItem = false;
    if (ItemCount() == 0) {
        StartItemNo = EndItemNo = -1;
        StartOffs = EndOffs = 0;
        return;
    }
    StartItemNo = 0;
    StartOffs = ItemStartOffset(0);
    EndItemNo = ItemCount() - 1;
    EndOffs = ItemEndOffset(EndItemNo);
}

bool TCustomRVData::DoSaveItemToFile(const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                                     TRVSaveFormat SaveFormat, bool Unicode, AnsiString& Text) {
    TCustomRVData* root = GetOuterRootData();
    return root != this && root->DoSaveItemToFile(Path, RVData, ItemNo, SaveFormat, Unicode, Text);
}

void TCustomRVData::DoSaveRTFExtra(TRVRTFSaveArea Area, TObject* Obj, int Index1, int Index2,
                                   bool InStyleSheet, AnsiString& RTFCode) {
    TCustomRVData* root = GetOuterRootData();
    if (root != this) root->DoSaveRTFExtra(Area, Obj, Index1, Index2, InStyleSheet, RTFCode);
}

void TCustomRVData::DoWriteHyperlink(int Id, TCustomRVData* RVData, int ItemNo, TRVSaveFormat SaveFormat,
                                     AnsiString& Target, AnsiString& Extras) {
    TCustomRVData* root = GetOuterRootData();
    if (root != this)
        root->DoWriteHyperlink(Id, RVData, ItemNo, SaveFormat, Target, Extras);
    else
        DoURLNeeded(Id, Target);
}

void TCustomRVData::DoURLNeeded(int, AnsiString&) {}
