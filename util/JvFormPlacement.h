// Form placement and form storage: components on a form that remember its
// window placement (and, for the form storage, named values and listed
// properties of its components) in an application storage, writing them
// when the form closes and applying them when it is first shown.
#pragma once

#include <memory>

#include "platform/rtl/Collections.h"
#include "platform/rtl/Variants.h"
#include "util/JvAppStorage.h"
#include "util/JvComponent.h"
#include "util/JvFormUtils.h"
#include "util/JvWndProcHook.h"

class TJvFormPlacement;

// The tracking and maximise limits of a form; 0 leaves the platform's.
class TJvWinMinMaxInfo : public TPersistent {
public:
    explicit TJvWinMinMaxInfo(TJvFormPlacement* Owner) : FOwner(Owner) {}
    void Assign(TPersistent* Source) override;
    const TMinMaxInfo& Info() const { return FInfo; }

    int MaxPosLeft() const { return FInfo.ptMaxPosition.X; }
    int MaxPosTop() const { return FInfo.ptMaxPosition.Y; }
    int MaxSizeHeight() const { return FInfo.ptMaxSize.Y; }
    int MaxSizeWidth() const { return FInfo.ptMaxSize.X; }
    int MaxTrackHeight() const { return FInfo.ptMaxTrackSize.Y; }
    int MaxTrackWidth() const { return FInfo.ptMaxTrackSize.X; }
    int MinTrackHeight() const { return FInfo.ptMinTrackSize.Y; }
    int MinTrackWidth() const { return FInfo.ptMinTrackSize.X; }
    void SetMaxPosLeft(int Value) { Set(FInfo.ptMaxPosition.X, Value); }
    void SetMaxPosTop(int Value) { Set(FInfo.ptMaxPosition.Y, Value); }
    void SetMaxSizeHeight(int Value) { Set(FInfo.ptMaxSize.Y, Value); }
    void SetMaxSizeWidth(int Value) { Set(FInfo.ptMaxSize.X, Value); }
    void SetMaxTrackHeight(int Value) { Set(FInfo.ptMaxTrackSize.Y, Value); }
    void SetMaxTrackWidth(int Value) { Set(FInfo.ptMaxTrackSize.X, Value); }
    void SetMinTrackHeight(int Value) { Set(FInfo.ptMinTrackSize.Y, Value); }
    void SetMinTrackWidth(int Value) { Set(FInfo.ptMinTrackSize.X, Value); }
    // Any of the eight values is set.
    bool HasMinMaxLimits() const;

private:
    void Set(int& Field, int Value);
    TJvFormPlacement* FOwner;
    TMinMaxInfo FInfo;
};

enum class TJvFormPlacementVersionCheck { fpvcNocheck, fpvcCheckGreaterEqual, fpvcCheckEqual };

class TJvFormPlacement : public TJvComponent {
public:
    explicit TJvFormPlacement(TComponent* AOwner);
    ~TJvFormPlacement() override;

    // Streaming has finished: the form's show, close-query and destroy
    // handlers are taken over, with the form's own called from them. A form
    // that is shown before this ran is taken over at its first show.
    virtual void Loaded();

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TJvCustomAppStorage* AppStorage() const { return FAppStorage; }
    void SetAppStorage(TJvCustomAppStorage* Value);
    const AnsiString& AppStoragePath() const { return FAppStoragePath; }
    // A non-empty path gets a trailing backslash; "%FORM_NAME%" becomes the
    // form's name.
    void SetAppStoragePath(const AnsiString& Value);
    TJvWinMinMaxInfo* MinMaxInfo() const { return FWinMinMaxInfo.get(); }
    void SetMinMaxInfo(TJvWinMinMaxInfo* Value) { FWinMinMaxInfo->Assign(Value); }
    TPlacementOptions Options() const { return FOptions; }
    void SetOptions(TPlacementOptions Value) { FOptions = Value; }
    bool PreventResize() const { return FPreventResize; }
    void SetPreventResize(bool Value);
    int32_t Version() const { return FVersion; }
    void SetVersion(int32_t Value) { FVersion = Value; }
    TJvFormPlacementVersionCheck VersionCheck() const { return FVersionCheck; }
    void SetVersionCheck(TJvFormPlacementVersionCheck Value) { FVersionCheck = Value; }

    TNotifyEvent BeforeSavePlacement;
    TNotifyEvent OnSavePlacement;
    TNotifyEvent AfterSavePlacement;
    TNotifyEvent BeforeRestorePlacement;
    TNotifyEvent OnRestorePlacement;
    TNotifyEvent AfterRestorePlacement;

    void SaveState();
    void RestoreState();
    bool Restored() const { return FRestored; }
    bool Saved() const { return FSaved; }

    AnsiString FetchString(const AnsiString& Name, const AnsiString& Default);
    void StoreString(const AnsiString& Name, const AnsiString& Value);
    bool FetchBoolean(const AnsiString& Name, bool Default);
    void StoreBoolean(const AnsiString& Name, bool Value);
    double FetchFloat(const AnsiString& Name, double Default);
    void StoreFloat(const AnsiString& Name, double Value);
    int32_t FetchInteger(const AnsiString& Name, int32_t Default);
    void StoreInteger(const AnsiString& Name, int32_t Value);
    TDateTime FetchDateTime(const AnsiString& Name, TDateTime Default);
    void StoreDateTime(const AnsiString& Name, TDateTime Value);
    AnsiString JoinPaths(const std::vector<AnsiString>& Parts) const;

    // The limits changed.
    void MinMaxInfoModified();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void PersistPlacement();
    virtual void ApplyPlacement();
    virtual void DoSavePlacement();
    virtual void DoRestorePlacement();
    TCustomForm* Form() const;
    bool Operational() const { return FActive && FAppStorage; }
    bool FRestored = false;

private:
    void TakeOverFormEvents();
    void GiveBackFormEvents();
    void HandleFormShow(TObject* Sender);
    void HandleFormCloseQuery(TObject* Sender, bool& CanClose);
    void HandleFormDestroy(TObject* Sender);
    void HandleHookedMessage(TObject* Sender, TMessage& Msg, bool& Handled);
    void ToggleWindowHook();
    void ApplyPreventResize();
    void AdjustMaximizedPosition();
    void ExpandFormNameMacro();
    // Runs Step; an error goes to the application's handler.
    void Guarded(const std::function<void()>& Step);
    // Takes the form over at its first show when nobody ran Loaded.
    bool FirstShowHook(TMessage& Msg);

    bool FActive = true;
    TJvCustomAppStorage* FAppStorage = nullptr;
    AnsiString FAppStoragePath = "%FORM_NAME%";
    std::unique_ptr<TJvWinMinMaxInfo> FWinMinMaxInfo;
    TPlacementOptions FOptions = 0;
    bool FPreventResize = false;
    int32_t FVersion = 0;
    TJvFormPlacementVersionCheck FVersionCheck = TJvFormPlacementVersionCheck::fpvcCheckGreaterEqual;
    TJvWindowHook* FWinHook;
    bool FSaved = false;
    bool FDefMaximize = false;
    bool FTakenOver = false;
    TNotifyEvent FSaveFormShow;
    TCloseQueryEvent FSaveFormCloseQuery;
    TNotifyEvent FSaveFormDestroy;
};

class TJvFormStorage;

using TJvStoredValueEvent = std::function<void(TObject* Sender, Variant& AValue)>;

class TJvStoredValue : public TCollectionItem {
public:
    explicit TJvStoredValue(TCollection* ACollection) : TCollectionItem(ACollection) {}
    void Assign(TPersistent* Source) override;
    AnsiString DisplayName() const override;

    const AnsiString& Name() const { return FName; }
    // Raises EJvLibException "String list does not allow duplicates" for a
    // name another item has, case ignored.
    void SetName(const AnsiString& Value);
    Variant Value;
    AnsiString KeyString;
    TJvStoredValueEvent OnSave;
    TJvStoredValueEvent OnRestore;

    virtual void Persist();
    virtual void Recall();
    TJvFormStorage* Storage() const;

private:
    AnsiString StoredPath() const;
    AnsiString FName;
};

class TJvStoredValues : public TOwnedCollection {
public:
    explicit TJvStoredValues(TJvFormStorage* AOwner);
    TJvStoredValue* Items(int Index) const { return static_cast<TJvStoredValue*>(TCollection::Items(Index)); }
    TJvStoredValue* Add() { return static_cast<TJvStoredValue*>(TCollection::Add()); }
    // The item of that name (case ignored), or nullptr.
    TJvStoredValue* FindByName(const AnsiString& Name) const;
    TJvFormStorage* Storage() const { return FStorage; }
    AnsiString StoredValuesPath;
    virtual void PersistAll();
    virtual void RecallAll();

private:
    TJvFormStorage* FStorage;
};

// The list of stored properties, which resolves its lines against the form
// whenever it is given new contents.
class TJvFormStorageStringList : public TStringList {
public:
    explicit TJvFormStorageStringList(TJvFormStorage* Storage) : FStorage(Storage) {}
    void Assign(TPersistent* Source) override;

private:
    TJvFormStorage* FStorage;
};

class TJvFormStorage : public TJvFormPlacement {
public:
    explicit TJvFormStorage(TComponent* AOwner);
    ~TJvFormStorage() override;
    void Loaded() override;

    TStrings* StoredProps() const { return FStoredProps.get(); }
    void SetStoredProps(TStrings* Value);
    TJvStoredValues* StoredValues() const { return FStoredValues.get(); }
    const AnsiString& StoredPropsPath() const { return FStoredPropsPath; }
    void SetStoredPropsPath(const AnsiString& Value) { FStoredPropsPath = Value; }
    const AnsiString& StoredValuesPath() const { return FStoredValues->StoredValuesPath; }
    void SetStoredValuesPath(const AnsiString& Value) { FStoredValues->StoredValuesPath = Value; }

    virtual void PersistStoredProps();
    virtual void ApplyStoredProps();
    // Lines naming missing components go; the others register for their
    // components' removal.
    void ResolveStoredProps();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PersistPlacement() override;
    void ApplyPlacement() override;

private:
    std::unique_ptr<TJvFormStorageStringList> FStoredProps;
    std::unique_ptr<TJvStoredValues> FStoredValues;
    AnsiString FStoredPropsPath;
};
