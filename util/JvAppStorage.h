// The application storage: settings kept as a tree of named, typed values
// addressed by backslash paths below a root. A back end (the registry one)
// supplies the primitive operations on full paths; this class builds the
// typed values, the conversion policy, lists, enumerations, sets, whole
// objects through their published properties, and sub-storages.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Collections.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringLists.h"
#include "platform/rtl/TypInfo.h"
#include "util/JvTranslateString.h"

class EJvLibException : public Exception {
public:
    using Exception::Exception;
};

class EJvLibAppStorageError : public EJvLibException {
public:
    using EJvLibException::EJvLibException;
};

// Joins the parts into one normalised relative path: repeated backslashes
// collapse, "." is dropped, n dots climb n - 1 levels (never above the
// start), and a part that starts with a backslash restarts the path.
AnsiString CombineStoragePaths(const std::vector<AnsiString>& Parts);

class TJvCustomAppStorageOptions : public TPersistent {
public:
    TJvCustomAppStorageOptions();
    void Assign(TPersistent* Source) override;

    bool BooleanAsString() const { return FBooleanAsString; }
    virtual void SetBooleanAsString(bool Value);
    const AnsiString& BooleanStringTrueValues() const { return FBooleanStringTrueValues; }
    virtual void SetBooleanStringTrueValues(const AnsiString& Value);
    const AnsiString& BooleanStringFalseValues() const { return FBooleanStringFalseValues; }
    virtual void SetBooleanStringFalseValues(const AnsiString& Value);
    bool EnumerationAsString = true;
    bool TypedIntegerAsString = true;
    bool SetAsString = false;
    bool DateTimeAsString = true;
    bool FloatAsString = false;
    bool DefaultIfReadConvertError = false;
    bool DefaultIfValueNotExists = true;
    bool StoreDefaultValues = true;

    AnsiString FirstTrueText() const;
    AnsiString FirstFalseText() const;
    bool IsTrueText(const AnsiString& S) const { return TextInList(S, FBooleanStringTrueValues); }
    bool IsFalseText(const AnsiString& S) const { return TextInList(S, FBooleanStringFalseValues); }
    virtual bool TextInList(const AnsiString& S, const AnsiString& List) const;

private:
    bool FBooleanAsString = true;
    AnsiString FBooleanStringTrueValues = "TRUE, YES, Y";
    AnsiString FBooleanStringFalseValues = "FALSE, NO, N";
};

class TJvAppStorageOptions : public TJvCustomAppStorageOptions {};

class TJvCustomAppStorage;
class TJvAppSubStorages;

// Offered by objects that store themselves.
class IStorageSelfPersist {
public:
    virtual ~IStorageSelfPersist() = default;
    virtual void LoadFromStorage(TJvCustomAppStorage* Storage, const AnsiString& BasePath) = 0;
    virtual void SaveToStorage(TJvCustomAppStorage* Storage, const AnsiString& BasePath) = 0;
};
// Marker: an object that stores itself has its published properties
// handled too.
class IStorePublishedToo {
public:
    virtual ~IStorePublishedToo() = default;
};

// Handles object properties the storage cannot map itself.
class TJvAppStoragePropertyBaseEngine {
public:
    virtual ~TJvAppStoragePropertyBaseEngine() = default;
    virtual bool SupportsProperty(TObject* Instance, TPersistent* PropObject) = 0;
    virtual void LoadProperty(TJvCustomAppStorage* Storage, const AnsiString& Path, bool Recursive,
                              bool ClearFirst, TPersistent* PropObject, TObject* Instance) = 0;
    virtual void SaveProperty(TJvCustomAppStorage* Storage, const AnsiString& Path, bool Recursive,
                              TPersistent* PropObject, TObject* Instance) = 0;
};

// Property engines in the order they were added; the first that supports an
// (instance, property object) pair handles it. The list owns its engines and
// frees them last first.
class TJvAppStoragePropertyEngineList {
public:
    TJvAppStoragePropertyEngineList() = default;
    TJvAppStoragePropertyEngineList(const TJvAppStoragePropertyEngineList&) = delete;
    TJvAppStoragePropertyEngineList& operator=(const TJvAppStoragePropertyEngineList&) = delete;
    ~TJvAppStoragePropertyEngineList();

    void Add(std::unique_ptr<TJvAppStoragePropertyBaseEngine> Engine);
    int Count() const { return int(FEngines.size()); }
    // The first engine that supports the pair, or null.
    TJvAppStoragePropertyBaseEngine* FindEngine(TObject* Instance, TPersistent* PropObject) const;
    // Through the first engine that supports the pair; false when none does.
    bool LoadProperty(TJvCustomAppStorage* Storage, const AnsiString& Path, bool Recursive, bool ClearFirst,
                      TPersistent* PropObject, TObject* Instance) const;
    bool SaveProperty(TJvCustomAppStorage* Storage, const AnsiString& Path, bool Recursive,
                      TPersistent* PropObject, TObject* Instance) const;

private:
    std::vector<std::unique_ptr<TJvAppStoragePropertyBaseEngine>> FEngines;
};
// The process-wide list that the storages consult; it lives until the
// program ends.
TJvAppStoragePropertyEngineList& RegisteredAppStoragePropertyEngineList();
void RegisterAppStoragePropertyEngine(std::unique_ptr<TJvAppStoragePropertyBaseEngine> Engine);

using TJvAppStoragePropTranslateEvent =
    std::function<void(TJvCustomAppStorage* Sender, TPersistent* Instance, AnsiString& Name, bool Reading)>;
using TJvAppStorageCryptEvent = std::function<void(AnsiString& Value)>;
using TJvAppStorageErrorEvent = std::function<void(TJvCustomAppStorage* Sender, const AnsiString& Value)>;
using TJvAppStorageListItemEvent = std::function<void(TJvCustomAppStorage* Sender, const AnsiString& Path,
                                                      TObject* List, int Index, const AnsiString& ItemName)>;
using TJvAppStorageListDeleteEvent =
    std::function<void(TJvCustomAppStorage* Sender, const AnsiString& Path, TObject* List, int First,
                       int Last, const AnsiString& ItemName)>;

class TJvCustomAppStorage : public TComponent {
public:
    explicit TJvCustomAppStorage(TComponent* AOwner);
    ~TJvCustomAppStorage() override;

    // Paths.
    const AnsiString& Root() const { return FRoot; }
    virtual void SetRoot(const AnsiString& Value);
    AnsiString FullPath(const AnsiString& Path) const;
    virtual void SplitValuePath(const AnsiString& Path, AnsiString& Key, AnsiString& ValueName) const;
    void ResolveTarget(const AnsiString& Path, TJvCustomAppStorage*& TargetStore, AnsiString& TargetPath);

    // Options and state.
    TJvCustomAppStorageOptions* StorageOptions() const { return FStorageOptions.get(); }
    void SetStorageOptions(TJvCustomAppStorageOptions* Value);
    TJvAppSubStorages* SubStorages() const { return FSubStorages.get(); }
    TJvTranslateString* TranslateStringEngine() const { return FTranslateStringEngine; }
    void SetTranslateStringEngine(TJvTranslateString* Value);
    TJvTranslateString* ActiveTranslateStringEngine() const;
    bool ReadOnly() const;
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool FlushOnDestroy() const { return FFlushOnDestroy; }
    virtual void SetFlushOnDestroy(bool Value) { FFlushOnDestroy = Value; }
    void EnablePropertyValueCrypt() { ++FCryptEnabledStatus; }
    void DisablePropertyValueCrypt() { --FCryptEnabledStatus; }
    // The platform's loaded notification: streaming has finished.
    void Loaded() override;

    TJvAppStoragePropTranslateEvent OnTranslatePropertyName;
    TJvAppStorageCryptEvent OnEncryptPropertyValue;
    TJvAppStorageCryptEvent OnDecryptPropertyValue;
    // Told of load errors that are otherwise swallowed.
    TJvAppStorageErrorEvent OnError;

    // Runs Operation as one batch of the back end: the writes made inside
    // reach the store once, at the end (batches nest; the outermost end
    // writes). Operation's own error is raised first, else a failing write.
    template <class F> void Batch(F&& Operation) {
        BeginBatch();
        TFirstError errors;
        errors.Run(std::forward<F>(Operation));
        errors.Run([this] { EndBatch(); });
        errors.RaiseIfAny();
    }
    virtual void BeginBatch() {}
    // Raises when the outermost end cannot write the store.
    virtual void EndBatch() {}

    // Queries.
    bool HasValue(const AnsiString& Path);
    bool HasFolder(const AnsiString& Path, bool ListIsValue = true);
    bool HasList(const AnsiString& Path);
    void RemoveValue(const AnsiString& Path);
    void RemoveTree(const AnsiString& Path);
    void ListFolders(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue = true);
    void ListValues(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue = true);

    // Typed values.
    int32_t FetchInteger(const AnsiString& Path, int32_t Default);
    void StoreInteger(const AnsiString& Path, int32_t Value);
    double FetchFloat(const AnsiString& Path, double Default);
    void StoreFloat(const AnsiString& Path, double Value);
    AnsiString FetchString(const AnsiString& Path, const AnsiString& Default);
    void StoreString(const AnsiString& Path, const AnsiString& Value);
    WideString FetchWideString(const AnsiString& Path, const WideString& Default);
    void StoreWideString(const AnsiString& Path, const WideString& Value);
    TDateTime FetchDateTime(const AnsiString& Path, TDateTime Default);
    void StoreDateTime(const AnsiString& Path, TDateTime Value);
    bool FetchBoolean(const AnsiString& Path, bool Default);
    void StoreBoolean(const AnsiString& Path, bool Value);
    int FetchBinary(const AnsiString& Path, void* Buffer, int Size);
    void StoreBinary(const AnsiString& Path, const void* Buffer, int Size);

    // Lists: Path\Count and Path\<ItemName><n>.
    int FetchListItems(const AnsiString& Path, TObject* List, const AnsiString& ItemName,
                       const TJvAppStorageListItemEvent& OnReadItem);
    void StoreListItems(const AnsiString& Path, TObject* List, int ItemCount, const AnsiString& ItemName,
                        const TJvAppStorageListItemEvent& OnWriteItem,
                        const TJvAppStorageListDeleteEvent& OnDeleteItems);
    int FetchStringList(const AnsiString& Path, TStrings& List, bool ClearFirst = true,
                        const AnsiString& ItemName = "Item");
    void StoreStringList(const AnsiString& Path, TStrings& List, const AnsiString& ItemName = "Item");
    int FetchCollection(const AnsiString& Path, TCollection& List, bool ClearFirst = true,
                        const AnsiString& ItemName = "Item");
    void StoreCollection(const AnsiString& Path, TCollection& List, const AnsiString& ItemName = "Item");

    // Ordinals of integer, character or enumeration types; sets.
    int64_t FetchEnum(const AnsiString& Path, const TTypeInfo* TypeInfo, int64_t Default);
    void StoreEnum(const AnsiString& Path, const TTypeInfo* TypeInfo, int64_t Value);
    TSetValue FetchSetValue(const AnsiString& Path, const TTypeInfo* TypeInfo, const TSetValue& Default);
    void StoreSetValue(const AnsiString& Path, const TTypeInfo* TypeInfo, const TSetValue& Value);

    // Objects through their published properties.
    void FetchObject(const AnsiString& Path, TPersistent* Instance, bool Recursive = true,
                     bool ClearFirst = true, TStrings* IgnoreProperties = nullptr);
    void StoreObject(const AnsiString& Path, TPersistent* Instance, bool Recursive = true,
                     TStrings* IgnoreProperties = nullptr);
    void FetchObjectProperty(const AnsiString& Path, TPersistent* Instance, const AnsiString& PropertyName,
                             bool Recursive = true, bool ClearFirst = true);
    void StoreObjectProperty(const AnsiString& Path, TPersistent* Instance, const AnsiString& PropertyName,
                             bool Recursive = true);
    static int PublishedCount(TObject* Instance);
    static AnsiString PublishedName(TObject* Instance, int Index);
    bool ContainsSubStorage(TJvCustomAppStorage* Storage) const;

    AnsiString MapPropertyName(TPersistent* Instance, const AnsiString& Name, bool Reading);
    AnsiString EncodeValueText(const AnsiString& S);
    AnsiString DecodeValueText(const AnsiString& S);

    // Back-end primitives on resolved paths.
    virtual void RawListFolders(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue) = 0;
    virtual void RawListValues(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue) = 0;
    virtual bool RawIsFolder(const AnsiString& Path, bool ListIsValue) = 0;
    virtual bool RawKeyExists(const AnsiString& Path) = 0;
    virtual bool RawValueExists(const AnsiString& Path) = 0;
    virtual void RawRemoveValue(const AnsiString& Path) = 0;
    virtual void RawRemoveTree(const AnsiString& Path) = 0;
    virtual int32_t RawFetchInteger(const AnsiString& Path, int32_t Default) = 0;
    virtual void RawStoreInteger(const AnsiString& Path, int32_t Value) = 0;
    virtual double RawFetchFloat(const AnsiString& Path, double Default) = 0;
    virtual void RawStoreFloat(const AnsiString& Path, double Value) = 0;
    virtual AnsiString RawFetchString(const AnsiString& Path, const AnsiString& Default) = 0;
    virtual void RawStoreString(const AnsiString& Path, const AnsiString& Value) = 0;
    virtual int RawFetchBinary(const AnsiString& Path, void* Buffer, int Size) = 0;
    virtual void RawStoreBinary(const AnsiString& Path, const void* Buffer, int Size) = 0;
    virtual TDateTime RawFetchDateTime(const AnsiString& Path, TDateTime Default) {
        return RawFetchFloat(Path, Default);
    }
    virtual void RawStoreDateTime(const AnsiString& Path, TDateTime Value) { RawStoreFloat(Path, Value); }
    virtual bool RawFetchBoolean(const AnsiString& Path, bool Default) {
        return RawFetchInteger(Path, Default ? 1 : 0) != 0;
    }
    virtual void RawStoreBoolean(const AnsiString& Path, bool Value) { RawStoreInteger(Path, Value ? 1 : 0); }
    bool RawHasList(const AnsiString& Path) { return RawValueExists(CombineStoragePaths({Path, "Count"})); }

    // The conversion layer.
    virtual int32_t DoFetchInteger(const AnsiString& Path, int32_t Default);
    virtual void DoStoreInteger(const AnsiString& Path, int32_t Value);
    virtual double DoFetchFloat(const AnsiString& Path, double Default);
    virtual void DoStoreFloat(const AnsiString& Path, double Value);
    virtual AnsiString DoFetchString(const AnsiString& Path, const AnsiString& Default);
    virtual void DoStoreString(const AnsiString& Path, const AnsiString& Value);
    virtual int DoFetchBinary(const AnsiString& Path, void* Buffer, int Size) {
        return RawFetchBinary(Path, Buffer, Size);
    }
    virtual void DoStoreBinary(const AnsiString& Path, const void* Buffer, int Size) {
        RawStoreBinary(Path, Buffer, Size);
    }
    virtual TDateTime DoFetchDateTime(const AnsiString& Path, TDateTime Default);
    virtual void DoStoreDateTime(const AnsiString& Path, TDateTime Value);
    virtual bool DoFetchBoolean(const AnsiString& Path, bool Default);
    virtual void DoStoreBoolean(const AnsiString& Path, bool Value);
    virtual int64_t DoFetchEnum(const AnsiString& Path, const TTypeInfo* TypeInfo, int64_t Default);
    virtual void DoStoreEnum(const AnsiString& Path, const TTypeInfo* TypeInfo, int64_t Value);
    virtual TSetValue DoFetchSetValue(const AnsiString& Path, const TTypeInfo* TypeInfo,
                                      const TSetValue& Default);
    virtual void DoStoreSetValue(const AnsiString& Path, const TTypeInfo* TypeInfo, const TSetValue& Value);
    virtual bool IsPhysicallyReadOnly() const { return false; }
    virtual void CommitChanges() {}
    virtual void ReloadChanges() {}
    virtual AnsiString CharMemberName(int Ordinal) const;
    virtual AnsiString IntMemberName(int Value) const;

    // Number and date-time texts of the user's locale.
    static AnsiString FloatText(double Value);
    static AnsiString DateTimeText(TDateTime Value);

    // Tells OnError of an error that a load swallows.
    void ReportError(const AnsiString& Text);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    template <class T, class F> T GuardConvert(T Default, F&& Read);
    AnsiString FRoot;
    std::unique_ptr<TJvCustomAppStorageOptions> FStorageOptions;
    std::unique_ptr<TJvAppSubStorages> FSubStorages;
    TJvTranslateString* FTranslateStringEngine = nullptr;
    std::unique_ptr<TJvTranslateString> FInternalTranslateStringEngine;
    bool FReadOnly = false;
    bool FFlushOnDestroy = true;
    int FCryptEnabledStatus = 0;
    friend class TJvAppSubStorage;
};

class TJvAppSubStorage : public TCollectionItem {
public:
    explicit TJvAppSubStorage(TCollection* ACollection) : TCollectionItem(ACollection) {}
    const AnsiString& RootPath() const { return FRootPath; }
    // Normalised; a root inside or equal to another item's raises
    // "'%s' is not a unique root path".
    void SetRootPath(const AnsiString& Value);
    TJvCustomAppStorage* AppStorage() const { return FAppStorage; }
    // A storage that is the owner or holds the owner raises
    // "Circular reference of storages".
    void SetAppStorage(TJvCustomAppStorage* Value);
    AnsiString DisplayName() const override;
    TJvCustomAppStorage* OwnerStorage() const;

private:
    AnsiString FRootPath;
    TJvCustomAppStorage* FAppStorage = nullptr;
};

class TJvAppSubStorages : public TOwnedCollection {
public:
    explicit TJvAppSubStorages(TJvCustomAppStorage* AOwner);
    TJvAppSubStorage* Items(int Index) const {
        return static_cast<TJvAppSubStorage*>(TCollection::Items(Index));
    }
    TJvAppSubStorage* Add() { return static_cast<TJvAppSubStorage*>(TCollection::Add()); }
    TJvCustomAppStorage* OwnerStorage() const { return FOwnerStorage; }
    // The item with the longest root that holds Path, or null.
    TJvAppSubStorage* FindForPath(const AnsiString& Path, int IgnoreIndex = -1) const;
    bool IsUniqueRoot(const AnsiString& Path, int IgnoreIndex = -1) const;
    void RemoveStorage(TComponent* Storage);
    // Whether an item other than the one at IgnoreIndex refers to Storage.
    bool Refers(const TJvCustomAppStorage* Storage, int IgnoreIndex = -1) const;

private:
    TJvCustomAppStorage* FOwnerStorage;
};
