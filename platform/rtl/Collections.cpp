// Collections: owning item lists, their indexes and change notification.
#include "platform/rtl/Collections.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* ACollection) : FCollection(ACollection) {
    if (FCollection) FCollection->FItems.push_back(this);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) {
        auto& items = FCollection->FItems;
        items.erase(std::remove(items.begin(), items.end(), this), items.end());
    }
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    const auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : int(it - items.begin());
}

AnsiString TCollectionItem::DisplayName() const {
    return AnsiString();
}

TCollection::TCollection(TItemFactory ItemFactory) : FItemFactory(std::move(ItemFactory)) {}

TCollection::~TCollection() {
    Clear();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[std::size_t(Index)];
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = FItemFactory(this);
    if (item && item->FCollection != this) {
        item->FCollection = this;
        FItems.push_back(item);
    }
    return item;
}

void TCollection::Delete(int Index) {
    delete Items(Index);
}

void TCollection::Clear() {
    while (!FItems.empty())
        delete FItems.back();
}

void TCollectionItem::SetIndex(int Value) {
    int current = Index();
    if (current < 0) return;
    auto& items = FCollection->FItems;
    Value = std::clamp(Value, 0, int(items.size()) - 1);
    if (Value == current) return;
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
}
