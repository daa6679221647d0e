// Storing and loading the listed published properties of an owner's
// components.
#include "util/JvPropertyStorage.h"

#include <algorithm>

#include "util/JclUnitVersioning.h"

bool SplitStoredItem(const AnsiString& Item, AnsiString& ComponentName, AnsiString& PropertyName) {
    const std::size_t dot = Item.find('.');
    if (dot == AnsiString::npos) return false;
    ComponentName = Trim(Item.substr(0, dot));
    PropertyName = Trim(Item.substr(dot + 1));
    return !ComponentName.empty() && !PropertyName.empty();
}

AnsiString JoinStoredItem(const AnsiString& ComponentName, const AnsiString& PropertyName) {
    if (ComponentName.empty() || PropertyName.empty()) return AnsiString();
    return ComponentName + "." + PropertyName;
}

AnsiString RenameStoredItem(const AnsiString& Item, const AnsiString& ComponentName) {
    AnsiString component, property;
    return SplitStoredItem(Item, component, property) ? JoinStoredItem(ComponentName, property)
                                                      : AnsiString();
}

void SyncStoredList(TComponent* Owner, TStrings* List, bool FromOwner) {
    if (!Owner || !List) return;
    for (int i = List->Count() - 1; i >= 0; --i) {
        AnsiString component, property;
        if (!SplitStoredItem(List->Strings(i), component, property)) {
            List->Delete(i);
        } else if (FromOwner) {
            if (TComponent* c = Owner->FindComponent(component))
                List->SetObject(i, c);
            else
                List->Delete(i);
        } else if (auto* c = dynamic_cast<TComponent*>(List->Objects(i))) {
            List->SetString(i, RenameStoredItem(List->Strings(i), c->Name()));
        } else {
            List->Delete(i);
        }
    }
}

TJvPropInfoList::TJvPropInfoList(TObject* AObject, const TTypeKinds& Filter) {
    if (!AObject) return;
    for (const TPropInfo* p : GetPropList(GetClassInfo(AObject)))
        if (Filter.count(p->PropType->Kind)) FList.push_back(p);
    std::stable_sort(FList.begin(), FList.end(), [](const TPropInfo* A, const TPropInfo* B) {
        return AnsiCompareText(A->Name, B->Name) < 0;
    });
}

const TPropInfo* TJvPropInfoList::Lookup(const AnsiString& Name) const {
    for (const TPropInfo* p : FList)
        if (SameText(p->Name, Name)) return p;
    return nullptr;
}

AnsiString TJvPropertyStorage::FetchItemText(const AnsiString& Path, const AnsiString& Item,
                                             const AnsiString& Default) {
    if (!AppStorage) return Default;
    return AppStorage->FetchString(
        CombineStoragePaths({Path, AppStorage->MapPropertyName(nullptr, Item, true)}), Default);
}

void TJvPropertyStorage::StoreItemText(const AnsiString& Path, const AnsiString& Item,
                                       const AnsiString& Value) {
    if (AppStorage)
        AppStorage->StoreString(
            CombineStoragePaths({Path, AppStorage->MapPropertyName(nullptr, Item, false)}), Value);
}

void TJvPropertyStorage::ClearBranch(const AnsiString& Path) {
    if (AppStorage) AppStorage->RemoveTree(Path);
}

std::unique_ptr<TJvPropertyStorage> TJvPropertyStorage::CloneStorage() const {
    auto clone = std::make_unique<TJvPropertyStorage>();
    clone->AppStorage = AppStorage;
    return clone;
}

void TJvPropertyStorage::LoadPropertyAt(const AnsiString& Path, const AnsiString& StorageName,
                                        const AnsiString& PropertyName, TPersistent* Object) {
    if (!AppStorage) return;
    const AnsiString path =
        CombineStoragePaths({Path, AppStorage->MapPropertyName(Object, StorageName, true)});
    if (AppStorage->HasValue(path) || AppStorage->HasFolder(path, false))
        AppStorage->FetchObjectProperty(path, Object, PropertyName, true, true);
}

void TJvPropertyStorage::SavePropertyAt(const AnsiString& Path, const AnsiString& StorageName,
                                        const AnsiString& PropertyName, TPersistent* Object) {
    if (!AppStorage) return;
    const AnsiString path =
        CombineStoragePaths({Path, AppStorage->MapPropertyName(Object, StorageName, false)});
    AppStorage->StoreObjectProperty(path, Object, PropertyName, true);
}

template <class F> void TJvPropertyStorage::ForEachListed(TComponent* Owner, TStrings* List, F&& Each) {
    if (!Owner || !List) return;
    // Information lists, one per component named in the list.
    SyncStoredList(Owner, List, false);
    const TTypeKinds filter = {tkInteger, tkChar,      tkEnumeration, tkFloat,   tkString,  tkSet,
                               tkClass,   tkWChar,     tkLString,     tkWString, tkVariant, tkArray,
                               tkRecord,  tkInterface, tkInt64,       tkDynArray};
    TStringList names;
    names.SetSorted(true);
    std::vector<std::unique_ptr<TJvPropInfoList>> infos;
    for (int i = 0; i < List->Count(); ++i) {
        auto* c = dynamic_cast<TComponent*>(List->Objects(i));
        if (!c || names.IndexOf(c->Name()) >= 0) continue;
        infos.push_back(std::make_unique<TJvPropInfoList>(c, filter));
        names.AddObject(c->Name(), infos.back().get());
    }
    FOwner = Owner;
    struct TReset {
        TJvPropertyStorage* S;
        ~TReset() {
            S->FOwner = nullptr;
            S->FObject = nullptr;
        }
    } reset{this};
    for (int i = 0; i < List->Count(); ++i) {
        AnsiString component, property;
        if (!SplitStoredItem(List->Strings(i), component, property)) continue;
        FObject = dynamic_cast<TComponent*>(List->Objects(i));
        if (!FObject) continue;
        FPrefix = FObject->Name();
        const int index = names.IndexOf(FPrefix);
        if (index < 0) continue;
        FPrefix += "_";
        const TPropInfo* info = static_cast<TJvPropInfoList*>(names.Objects(index))->Lookup(property);
        if (info) Each(info);
    }
}

void TJvPropertyStorage::LoadListedProperties(TComponent* Owner, TStrings* List) {
    ForEachListed(Owner, List, [this](const TPropInfo* Info) {
        try {
            LoadPropertyAt(AppStoragePath, ItemKeyName(Info->Name), Info->Name, FObject);
        } catch (const std::exception& e) {
            // The property keeps its value and the load goes on; the error is told.
            if (AppStorage) AppStorage->ReportError(e.what());
        }
    });
}

void TJvPropertyStorage::SaveListedProperties(TComponent* Owner, TStrings* List) {
    auto save = [&] {
        ForEachListed(Owner, List, [this](const TPropInfo* Info) {
            SavePropertyAt(AppStoragePath, ItemKeyName(Info->Name), Info->Name, FObject);
        });
    };
    // The whole set reaches the store in one write.
    if (AppStorage)
        AppStorage->Batch(save);
    else
        save();
}

LIBRARY_UNIT_VERSION("util/JvPropertyStorage.cpp", "1", "2026-12-10", "JvLib\\run")
