// Storing and loading the listed published properties of an owner's
// components.
#include "util/JvPropertyStorage.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
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

std::unique_ptr<TJvPropertyStorage::TInfoLists> TJvPropertyStorage::BuildInfoLists(TComponent* Owner,
                                                                                   TStrings* List) {
    SyncStoredList(Owner, List, false);
    const TTypeKinds filter = {tkInteger, tkChar,      tkEnumeration, tkFloat,   tkString,  tkSet,
                               tkClass,   tkWChar,     tkLString,     tkWString, tkVariant, tkArray,
                               tkRecord,  tkInterface, tkInt64,       tkDynArray};
    auto infos = std::make_unique<TInfoLists>();
    infos->Names.SetSorted(true);
    for (int i = 0; i < List->Count(); ++i) {
        auto* c = dynamic_cast<TComponent*>(List->Objects(i));
        if (!c || infos->Names.IndexOf(c->Name()) >= 0) continue;
        infos->Lists.push_back(std::make_unique<TJvPropInfoList>(c, filter));
        infos->Names.AddObject(c->Name(), infos->Lists.back().get());
    }
    return infos;
}

void TJvPropertyStorage::ForEachListed(TComponent* Owner, TStrings* List, const TInfoLists& Infos,
                                       void (TJvPropertyStorage::*One)(const TPropInfo*)) {
    FOwner = Owner;
    TScopeGuard reset([this] {
        FOwner = nullptr;
        FObject = nullptr;
    });
    for (int i = 0; i < List->Count(); ++i) {
        AnsiString component, property;
        if (!SplitStoredItem(List->Strings(i), component, property)) continue;
        FObject = dynamic_cast<TComponent*>(List->Objects(i));
        if (!FObject) continue;
        FPrefix = FObject->Name();
        const int index = Infos.Names.IndexOf(FPrefix);
        if (index < 0) continue;
        FPrefix += "_";
        (this->*One)(static_cast<TJvPropInfoList*>(Infos.Names.Objects(index))->Lookup(property));
    }
}

void TJvPropertyStorage::LoadOneProperty(const TPropInfo* PropInfo) {
    if (!PropInfo) return;
    try {
        LoadPropertyAt(AppStoragePath, ItemKeyName(PropInfo->Name), PropInfo->Name, FObject);
    } catch (const std::exception& e) {
        // The property keeps its value and the load goes on; the error is told.
        if (AppStorage) AppStorage->ReportError(e.what());
    }
}

void TJvPropertyStorage::SaveOneProperty(const TPropInfo* PropInfo) {
    if (PropInfo) SavePropertyAt(AppStoragePath, ItemKeyName(PropInfo->Name), PropInfo->Name, FObject);
}

void TJvPropertyStorage::LoadListedProperties(TComponent* Owner, TStrings* List) {
    if (!Owner || !List) return;
    std::unique_ptr<TInfoLists> infos;
    try {
        infos = BuildInfoLists(Owner, List);
    } catch (const std::exception& e) {
        // Nothing is loaded; the error is told like that of one property.
        if (AppStorage) AppStorage->ReportError(e.what());
        return;
    }
    ForEachListed(Owner, List, *infos, &TJvPropertyStorage::LoadOneProperty);
}

void TJvPropertyStorage::SaveListedProperties(TComponent* Owner, TStrings* List) {
    if (!Owner || !List) return;
    // A failure here propagates: a save that did not happen is no success.
    std::unique_ptr<TInfoLists> infos = BuildInfoLists(Owner, List);
    auto save = [&] { ForEachListed(Owner, List, *infos, &TJvPropertyStorage::SaveOneProperty); };
    // The whole set reaches the store in one write.
    if (AppStorage)
        AppStorage->Batch(save);
    else
        save();
}

LIBRARY_UNIT_VERSION("util/JvPropertyStorage.cpp", "1", "2026-12-10", "JvLib\\run")
