// Sub-documents and notes: what a note's body asks its main document,
// note construction, numbering, copying, undo and styles in use, the note
// finders and the registration of the document's own item classes.
#include "richtext/engine/document/RVNote.h"

// ---------------------------------------------------------------- sub-document

TRVSubData::TRVSubData(TCustomRVItemInfo* AOwnerItem, TCustomRVData* AMainRVData)
    : OwnerItem(AOwnerItem), MainRVData(AMainRVData ? AMainRVData->GetOuterRootData() : nullptr) {}

TRVSubData::~TRVSubData() {
    // Items leave the lists kept here before the lists go.
    Clear();
}

TCustomRVData* TRVSubData::GetParentData() const {
    return MainRVData ? MainRVData->GetOuterRootData() : nullptr;
}

TCustomRVData* TRVSubData::GetRootData() const {
    return MainRVData ? MainRVData->GetOuterRootData() : const_cast<TRVSubData*>(this);
}

TCustomRVData* TRVSubData::GetOuterParentData() const {
    return GetParentData();
}

TCustomRVData* TRVSubData::GetOuterRootData() const {
    return GetRootData();
}

TRVMarkerList* TRVSubData::GetMarkerList(bool Create) {
    if (!FOwnMarkerList && Create) {
        FOwnMarkerList = std::make_unique<TRVMarkerList>();
        FOwnMarkerList->PrevMarkerList = GetPrevMarkerList();
    }
    return FOwnMarkerList.get();
}

TRVSeqList* TRVSubData::GetSeqList(bool Create) {
    if (!FOwnSeqList && Create) FOwnSeqList = std::make_unique<TRVSeqList>();
    return FOwnSeqList.get();
}

void TRVSubData::ItemsMovingToUndoList(TRVUndoInfo* ContainerUndoItem) {
    for (int i = 0; i < ItemCount(); ++i)
        LiveItem(i).MovingToUndoList(i, this, ContainerUndoItem);
}

void TRVSubData::ItemsMovingFromUndoList() {
    for (int i = 0; i < ItemCount(); ++i)
        LiveItem(i).MovingFromUndoList(i, this);
}

AnsiString TRVNoteData::GetNoteText() const {
    auto* note = dynamic_cast<TCustomRVNoteItemInfo*>(OwnerItem);
    return note ? note->Text : AnsiString();
}

// ---------------------------------------------------------------- notes

TCustomRVNoteItemInfo::TCustomRVNoteItemInfo(TCustomRVData* RVData) : TRVSeqItemInfo(RVData) {
    Document = std::make_unique<TRVNoteData>(this, RVData);
}

TCustomRVNoteItemInfo::~TCustomRVNoteItemInfo() = default;

void TCustomRVNoteItemInfo::InitNote(const char* ASeqName, int AStyleNo) {
    SeqName = ASeqName;
    StyleNo = AStyleNo;
}

void TCustomRVNoteItemInfo::SetOwnerRVData(TCustomRVData* RVData) {
    TRVSeqItemInfo::SetOwnerRVData(RVData);
    if (Document) Document->MainRVData = RVData ? RVData->GetOuterRootData() : nullptr;
}

TRVSeqType TCustomRVNoteItemInfo::GetNumberType() const {
    TRVStyle* style = GetRVStyle();
    return style ? StyleNumbering(*style) : rvseqDecimal;
}

// The body is copied item by item, so the copy's body is its own.
void TCustomRVNoteItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TCustomRVNoteItemInfo*>(&Source); src && src != this) {
        Document->Clear();
        for (int i = 0; i < src->Document->ItemCount(); ++i)
            Document->AddItemAsIs(src->Document->GetItemText(i),
                                  CreateItemCopy(src->Document->LiveItem(i), Document.get(), true));
    }
    TRVSeqItemInfo::AssignProperties(Source);
}

void TCustomRVNoteItemInfo::MovingToUndoList(int ItemNo, TCustomRVData* RVData,
                                             TRVUndoInfo* ContainerUndoItem) {
    TRVSeqItemInfo::MovingToUndoList(ItemNo, RVData, ContainerUndoItem);
    // The body's own items stay with the body; their labels keep it.
    Document->ItemsMovingToUndoList(nullptr);
}

void TCustomRVNoteItemInfo::MovingFromUndoList(int ItemNo, TCustomRVData* RVData) {
    TRVSeqItemInfo::MovingFromUndoList(ItemNo, RVData);
    Document->ItemsMovingFromUndoList();
}

void TCustomRVNoteItemInfo::MarkUsedStyles(TRVStyleUsageInfo& Usage) const {
    TRVSeqItemInfo::MarkUsedStyles(Usage);
    Document->MarkItemsUsedStyles(Usage);
}

void TCustomRVNoteItemInfo::RenumberStyles(const TRVStyleUsageInfo& Usage) {
    TRVSeqItemInfo::RenumberStyles(Usage);
    Document->RenumberItemsStyles(Usage);
}

TRVFootnoteItemInfo::TRVFootnoteItemInfo(TCustomRVData* RVData) : TCustomRVNoteItemInfo(RVData) {
    InitNote("@footnote@", rvsFootnote);
}

TRVFootnoteItemInfo::TRVFootnoteItemInfo(TCustomRVData* RVData, int ATextStyleNo, int AStartFrom, bool AReset)
    : TRVFootnoteItemInfo(RVData) {
    TextStyleNo = ATextStyleNo;
    StartFrom = AStartFrom;
    Reset = AReset;
}

AnsiString TRVFootnoteItemInfo::GetHtmlAnchorName() const {
    return "footnote" + IntToStr(OwnerRVData ? GetIndexInList(OwnerRVData->GetSeqList(false)) : -1);
}

std::unique_ptr<TRVDrawLineInfo>
TRVFootnoteItemInfo::CreatePrintingDrawItem(TCustomRVData* RVData,
                                            const TRVScreenDeviceResolution& Resolution) {
    TRVStyle* style = RVData ? RVData->GetRVStyle() : nullptr;
    if (style && style->FootnotePageReset) return std::make_unique<TRVFootnoteDrawItem>();
    return TCustomRVNoteItemInfo::CreatePrintingDrawItem(RVData, Resolution);
}

TRVEndnoteItemInfo::TRVEndnoteItemInfo(TCustomRVData* RVData) : TCustomRVNoteItemInfo(RVData) {
    InitNote("@endnote@", rvsEndnote);
}

TRVEndnoteItemInfo::TRVEndnoteItemInfo(TCustomRVData* RVData, int ATextStyleNo, int AStartFrom, bool AReset)
    : TRVEndnoteItemInfo(RVData) {
    TextStyleNo = ATextStyleNo;
    StartFrom = AStartFrom;
    Reset = AReset;
}

AnsiString TRVEndnoteItemInfo::GetHtmlAnchorName() const {
    return "endnote" + IntToStr(OwnerRVData ? GetIndexInList(OwnerRVData->GetSeqList(false)) : -1);
}

TRVNoteReferenceItemInfo::TRVNoteReferenceItemInfo(TCustomRVData* RVData) : TRVLabelItemInfo(RVData) {
    StyleNo = rvsNoteReference;
    Text = RVData ? RVData->GetNoteText() : AnsiString();
}

TRVNoteReferenceItemInfo::TRVNoteReferenceItemInfo(TCustomRVData* RVData, int ATextStyleNo)
    : TRVNoteReferenceItemInfo(RVData) {
    TextStyleNo = ATextStyleNo;
}

// ---------------------------------------------------------------- finders

TCustomRVNoteItemInfo* FindNextNoteOfClass(TCustomRVData* RVData, TCustomRVNoteItemInfo* Note,
                                           const std::type_info& NoteClass) {
    TRVSeqList* list = RVData ? RVData->GetSeqList(false) : nullptr;
    if (!list) return nullptr;
    int from = Note ? Note->GetIndexInList(list) + 1 : 0;
    for (int i = from; i < list->Count(); ++i)
        if (typeid(*list->Items(i)) == NoteClass) return static_cast<TCustomRVNoteItemInfo*>(list->Items(i));
    return nullptr;
}

TRVFootnoteItemInfo* FindFirstFootnoteInData(TCustomRVData* RVData) {
    return static_cast<TRVFootnoteItemInfo*>(
        FindNextNoteOfClass(RVData, nullptr, typeid(TRVFootnoteItemInfo)));
}

TRVFootnoteItemInfo* FindNextFootnote(TCustomRVData* RVData, TRVFootnoteItemInfo* Note) {
    return static_cast<TRVFootnoteItemInfo*>(FindNextNoteOfClass(RVData, Note, typeid(TRVFootnoteItemInfo)));
}

TRVEndnoteItemInfo* FindFirstEndnoteInData(TCustomRVData* RVData) {
    return static_cast<TRVEndnoteItemInfo*>(FindNextNoteOfClass(RVData, nullptr, typeid(TRVEndnoteItemInfo)));
}

TRVEndnoteItemInfo* FindNextEndnote(TCustomRVData* RVData, TRVEndnoteItemInfo* Note) {
    return static_cast<TRVEndnoteItemInfo*>(FindNextNoteOfClass(RVData, Note, typeid(TRVEndnoteItemInfo)));
}

// ---------------------------------------------------------------- registration

void RVRegisterDocumentItemClasses() {
    static const bool registered = [] {
        RegisterItemTypeClass(rvsSequence, TRVItemClass::Of<TRVSeqItemInfo>());
        RegisterItemTypeClass(rvsLabel, TRVItemClass::Of<TRVLabelItemInfo>());
        RegisterItemTypeClass(rvsEndnote, TRVItemClass::Of<TRVEndnoteItemInfo>());
        RegisterItemTypeClass(rvsFootnote, TRVItemClass::Of<TRVFootnoteItemInfo>());
        RegisterItemTypeClass(rvsNoteReference, TRVItemClass::Of<TRVNoteReferenceItemInfo>());
        return true;
    }();
    (void)registered;
}
