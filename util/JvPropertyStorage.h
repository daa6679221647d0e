// Stores and loads a chosen list of published properties of the components
// of one owner. A line names a component and a property ("Memo1.Lines");
// each property is kept as the value (or folder) "<component>_<property>".
#pragma once

#include <memory>
#include <set>
#include <vector>

#include "platform/rtl/StringLists.h"
#include "platform/rtl/TypInfo.h"
#include "util/JvAppStorage.h"

// Component and property names of a line, both trimmed and non-empty.
bool SplitStoredItem(const AnsiString& Item, AnsiString& ComponentName, AnsiString& PropertyName);
AnsiString JoinStoredItem(const AnsiString& ComponentName, const AnsiString& PropertyName);
AnsiString RenameStoredItem(const AnsiString& Item, const AnsiString& ComponentName);
// FromOwner: each line gets the owner's component of its name as its object
// (lines naming none are deleted). Otherwise each line is renamed after its
// object (lines without one are deleted). Lines that do not parse go.
void SyncStoredList(TComponent* Owner, TStrings* List, bool FromOwner);

using TTypeKinds = std::set<TTypeKind>;

// The published properties of an object's class whose kinds are in the
// filter, sorted by name.
class TJvPropInfoList : public TObject {
public:
    TJvPropInfoList(TObject* AObject, const TTypeKinds& Filter);
    int Count() const { return int(FList.size()); }
    const TPropInfo* Items(int Index) const { return FList.at(std::size_t(Index)); }
    const TPropInfo* Lookup(const AnsiString& Name) const; // ignoring case

private:
    std::vector<const TPropInfo*> FList;
};

class TJvPropertyStorage : public TObject {
public:
    TJvCustomAppStorage* AppStorage = nullptr;
    AnsiString AppStoragePath;

    virtual AnsiString FetchItemText(const AnsiString& Path, const AnsiString& Item,
                                     const AnsiString& Default);
    virtual void StoreItemText(const AnsiString& Path, const AnsiString& Item, const AnsiString& Value);
    virtual void ClearBranch(const AnsiString& Path);
    virtual AnsiString ItemKeyName(const AnsiString& PropertyName) const { return FPrefix + PropertyName; }
    virtual std::unique_ptr<TJvPropertyStorage> CloneStorage() const;

    // Load or store every listed property of the owner's components. A
    // property that fails to load keeps its value (the error goes to the
    // storage's OnError); errors while storing propagate.
    void LoadListedProperties(TComponent* Owner, TStrings* List);
    void SaveListedProperties(TComponent* Owner, TStrings* List);
    void LoadPropertyAt(const AnsiString& Path, const AnsiString& StorageName, const AnsiString& PropertyName,
                        TPersistent* Object);
    void SavePropertyAt(const AnsiString& Path, const AnsiString& StorageName, const AnsiString& PropertyName,
                        TPersistent* Object);

private:
    // The property information of each component a list names, under the
    // component's name.
    struct TInfoLists {
        TStringList Names; // sorted; each object is the entry of Lists for that name
        std::vector<std::unique_ptr<TJvPropInfoList>> Lists;
    };
    // Brings the list in line with its components' names first.
    std::unique_ptr<TInfoLists> BuildInfoLists(TComponent* Owner, TStrings* List);
    // Runs One for each listed property that the named component has.
    void ForEachListed(TComponent* Owner, TStrings* List, const TInfoLists& Infos,
                       void (TJvPropertyStorage::*One)(const TPropInfo*));
    // A property that fails to load keeps its value; the error goes to the
    // storage's OnError.
    void LoadOneProperty(const TPropInfo* PropInfo);
    void SaveOneProperty(const TPropInfo* PropInfo);
    TComponent* FObject = nullptr;
    TComponent* FOwner = nullptr;
    AnsiString FPrefix;
};
