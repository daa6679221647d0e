// Item-formatted documents and their owning list.
#include "richtext/engine/layout/RVDataList.h"

TRVDataList::~TRVDataList() = default;

TRVItemFormattedData* TRVDataList::Get(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[std::size_t(Index)].get();
}

int TRVDataList::Add(std::unique_ptr<TRVItemFormattedData> Data) {
    FItems.push_back(std::move(Data));
    return Count() - 1;
}

void TRVDataList::Insert(int Index, std::unique_ptr<TRVItemFormattedData> Data) {
    if (Index < 0 || Index > Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    FItems.insert(FItems.begin() + Index, std::move(Data));
}

void TRVDataList::Delete(int Index) {
    Get(Index);
    FItems.erase(FItems.begin() + Index);
}

void TRVItemFormattedData::SetFlags(uint16_t) {
    throw EZoroZudoError(errRVNotSupported);
}

TCustomRVData* TRVItemFormattedData::GetRootData() const {
    TCustomRVData* parent = GetParentData();
    return parent ? parent->GetRootData() : const_cast<TRVItemFormattedData*>(this);
}

TCustomRVData* TRVItemFormattedData::GetOuterRootData() const {
    TCustomRVData* parent = GetOuterParentData();
    return parent ? parent->GetOuterRootData() : const_cast<TRVItemFormattedData*>(this);
}

void TRVItemFormattedData::DoURLNeeded(int Id, AnsiString& URL) {
    TCustomRVData* root = GetRootData();
    if (root != this)
        root->DoURLNeeded(Id, URL);
    else
        URL.clear();
}

void TRVItemFormattedData::ShowRectangle(int Left, int Top, int Width, int Height) {
    auto* root = dynamic_cast<TCustomRVFormattedData*>(GetRootData());
    if (!root || root == this) return;
    int x, y;
    GetOrigin(x, y);
    root->ShowRectangle(Left + x, Top + y, Width, Height);
}
