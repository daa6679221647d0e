// TCollection: an owning list of items of one class, as the run-time's
// streaming and the storage use it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;
    TCollection* Collection() const { return FCollection; }
    int Index() const;
    // Moves the item to Value (clamped to the list), shifting the others.
    void SetIndex(int Value);
    virtual AnsiString DisplayName() const;

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
};

class TCollection : public TPersistent {
public:
    // ItemFactory makes an item that adds itself to the collection.
    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(TItemFactory ItemFactory);
    ~TCollection() override;

    int Count() const { return int(FItems.size()); }
    // An index out of range raises EListError.
    TCollectionItem* Items(int Index) const;
    TCollectionItem* Add();
    void Delete(int Index);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() {
        if (FUpdateCount > 0) --FUpdateCount;
    }
    virtual TPersistent* GetOwner() const { return nullptr; }

private:
    friend class TCollectionItem;
    TItemFactory FItemFactory;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
};

class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TItemFactory ItemFactory)
        : TCollection(std::move(ItemFactory)), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
