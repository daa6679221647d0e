// The application storage's paths, options, typed values, lists,
// enumerations, sets and whole objects over a back end's primitives.
#include "util/JvAppStorage.h"

#include <cmath>
#include <cstring>

#include "util/JclMime.h"
#include "util/JclRTTI.h"
#include "util/JclUnitVersioning.h"

// ------------------------------------------------------------- paths

AnsiString CombineStoragePaths(const std::vector<AnsiString>& Parts) {
    std::size_t start = 0;
    for (std::size_t i = 1; i < Parts.size(); ++i)
        if (!Parts[i].empty() && Parts[i][0] == '\\') start = i;
    std::vector<AnsiString> segments;
    for (std::size_t i = start; i < Parts.size(); ++i) {
        const AnsiString& part = Parts[i];
        std::size_t pos = 0;
        while (pos <= part.size()) {
            std::size_t end = part.find('\\', pos);
            if (end == AnsiString::npos) end = part.size();
            AnsiString seg = part.substr(pos, end - pos);
            pos = end + 1;
            if (seg.empty()) continue;
            if (seg.find_first_not_of('.') != AnsiString::npos) {
                segments.push_back(seg);
                continue;
            }
            const std::size_t climb = seg.size() - 1;
            segments.resize(segments.size() > climb ? segments.size() - climb : 0);
        }
    }
    AnsiString out;
    for (std::size_t i = 0; i < segments.size(); ++i)
        out += (i ? "\\" : "") + segments[i];
    return out;
}

// ------------------------------------------------------------- options

TJvCustomAppStorageOptions::TJvCustomAppStorageOptions() = default;

void TJvCustomAppStorageOptions::Assign(TPersistent* Source) {
    auto* o = dynamic_cast<TJvCustomAppStorageOptions*>(Source);
    if (!o) return TPersistent::Assign(Source);
    FBooleanStringTrueValues = o->FBooleanStringTrueValues;
    FBooleanStringFalseValues = o->FBooleanStringFalseValues;
    FBooleanAsString = o->FBooleanAsString;
    EnumerationAsString = o->EnumerationAsString;
    TypedIntegerAsString = o->TypedIntegerAsString;
    SetAsString = o->SetAsString;
    DateTimeAsString = o->DateTimeAsString;
    FloatAsString = o->FloatAsString;
    DefaultIfReadConvertError = o->DefaultIfReadConvertError;
    DefaultIfValueNotExists = o->DefaultIfValueNotExists;
    StoreDefaultValues = o->StoreDefaultValues;
}

void TJvCustomAppStorageOptions::SetBooleanAsString(bool Value) {
    FBooleanAsString = Value && !FirstTrueText().empty() && !FirstFalseText().empty();
}

void TJvCustomAppStorageOptions::SetBooleanStringTrueValues(const AnsiString& Value) {
    FBooleanStringTrueValues = Value;
    if (FirstTrueText().empty()) FBooleanAsString = false;
}

void TJvCustomAppStorageOptions::SetBooleanStringFalseValues(const AnsiString& Value) {
    FBooleanStringFalseValues = Value;
    if (FirstFalseText().empty()) FBooleanAsString = false;
}

namespace {
AnsiString FirstItem(const AnsiString& List) {
    return Trim(List.substr(0, List.find(',')));
}
} // namespace

AnsiString TJvCustomAppStorageOptions::FirstTrueText() const {
    return FirstItem(FBooleanStringTrueValues);
}
AnsiString TJvCustomAppStorageOptions::FirstFalseText() const {
    return FirstItem(FBooleanStringFalseValues);
}

bool TJvCustomAppStorageOptions::TextInList(const AnsiString& S, const AnsiString& List) const {
    TStringList items;
    items.SetCommaText(AnsiUpperCase(List));
    const AnsiString upper = AnsiUpperCase(S);
    for (int i = 0; i < items.Count(); ++i)
        if (items[i] == upper) return true;
    return false;
}

// ------------------------------------------------------------- engines

TJvAppStoragePropertyEngineList::~TJvAppStoragePropertyEngineList() {
    // An engine registered later may rely on one registered before it.
    while (!FEngines.empty())
        FEngines.pop_back();
}

void TJvAppStoragePropertyEngineList::Add(std::unique_ptr<TJvAppStoragePropertyBaseEngine> Engine) {
    if (Engine) FEngines.push_back(std::move(Engine));
}

TJvAppStoragePropertyBaseEngine* TJvAppStoragePropertyEngineList::FindEngine(TObject* Instance,
                                                                             TPersistent* PropObject) const {
    for (auto& engine : FEngines)
        if (engine->SupportsProperty(Instance, PropObject)) return engine.get();
    return nullptr;
}

bool TJvAppStoragePropertyEngineList::LoadProperty(TJvCustomAppStorage* Storage, const AnsiString& Path,
                                                   bool Recursive, bool ClearFirst, TPersistent* PropObject,
                                                   TObject* Instance) const {
    TJvAppStoragePropertyBaseEngine* engine = FindEngine(Instance, PropObject);
    if (engine) engine->LoadProperty(Storage, Path, Recursive, ClearFirst, PropObject, Instance);
    return engine != nullptr;
}

bool TJvAppStoragePropertyEngineList::SaveProperty(TJvCustomAppStorage* Storage, const AnsiString& Path,
                                                   bool Recursive, TPersistent* PropObject,
                                                   TObject* Instance) const {
    TJvAppStoragePropertyBaseEngine* engine = FindEngine(Instance, PropObject);
    if (engine) engine->SaveProperty(Storage, Path, Recursive, PropObject, Instance);
    return engine != nullptr;
}

TJvAppStoragePropertyEngineList& RegisteredAppStoragePropertyEngineList() {
    static TJvAppStoragePropertyEngineList list;
    return list;
}

void RegisterAppStoragePropertyEngine(std::unique_ptr<TJvAppStoragePropertyBaseEngine> Engine) {
    RegisteredAppStoragePropertyEngineList().Add(std::move(Engine));
}

// ------------------------------------------------------------- storage

TJvCustomAppStorage::TJvCustomAppStorage(TComponent* AOwner)
    : TComponent(AOwner), FStorageOptions(std::make_unique<TJvAppStorageOptions>()),
      FSubStorages(std::make_unique<TJvAppSubStorages>(this)),
      FInternalTranslateStringEngine(std::make_unique<TJvTranslateString>(nullptr)) {}

TJvCustomAppStorage::~TJvCustomAppStorage() {
    FInternalTranslateStringEngine.reset();
    if (FFlushOnDestroy) {
        try {
            CommitChanges();
        } catch (...) {
        }
    }
    FSubStorages.reset();
}

void TJvCustomAppStorage::SetRoot(const AnsiString& Value) {
    FRoot = CombineStoragePaths({Value});
}

AnsiString TJvCustomAppStorage::FullPath(const AnsiString& Path) const {
    AnsiString full = FRoot + "\\" + CombineStoragePaths({Path});
    std::size_t p = full.find_first_not_of('\\');
    return p == AnsiString::npos ? AnsiString() : full.substr(p);
}

void TJvCustomAppStorage::SplitValuePath(const AnsiString& Path, AnsiString& Key,
                                         AnsiString& ValueName) const {
    const AnsiString full = FullPath(Path);
    std::size_t p = full.find_last_of('\\');
    if (p == AnsiString::npos) {
        Key.clear();
        ValueName = full;
    } else {
        Key = full.substr(0, p);
        ValueName = full.substr(p + 1);
    }
}

void TJvCustomAppStorage::ResolveTarget(const AnsiString& Path, TJvCustomAppStorage*& TargetStore,
                                        AnsiString& TargetPath) {
    const AnsiString normal = CombineStoragePaths({Path});
    TargetStore = this;
    TargetPath = "\\" + normal;
    TJvAppSubStorage* item = FSubStorages->FindForPath(normal);
    if (!item || !item->AppStorage()) return;
    AnsiString rest = CombineStoragePaths({normal.substr(item->RootPath().size())});
    if (rest.empty()) throw EJvLibAppStorageError("Invalid path");
    TargetStore = item->AppStorage();
    TargetPath = "\\" + rest;
}

void TJvCustomAppStorage::SetStorageOptions(TJvCustomAppStorageOptions* Value) {
    if (Value && Value != FStorageOptions.get()) FStorageOptions->Assign(Value);
}

void TJvCustomAppStorage::SetTranslateStringEngine(TJvTranslateString* Value) {
    if (FTranslateStringEngine == Value) return;
    if (FTranslateStringEngine) FTranslateStringEngine->RemoveFreeNotification(this);
    FTranslateStringEngine = Value;
    if (Value) Value->FreeNotification(this);
}

TJvTranslateString* TJvCustomAppStorage::ActiveTranslateStringEngine() const {
    return FTranslateStringEngine ? FTranslateStringEngine : FInternalTranslateStringEngine.get();
}

bool TJvCustomAppStorage::ReadOnly() const {
    if (ComponentState() & csDesigning) return FReadOnly;
    return FReadOnly || IsPhysicallyReadOnly();
}

void TJvCustomAppStorage::Loaded() {
    ReloadChanges();
}

void TJvCustomAppStorage::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FTranslateStringEngine) FTranslateStringEngine = nullptr;
    // The component is being destroyed: compare addresses, its class is gone.
    if (FSubStorages) FSubStorages->RemoveStorage(AComponent);
}

void TJvCustomAppStorage::ReportError(const AnsiString& Text) {
    if (OnError) OnError(this, Text);
}

namespace {
// The storage and path a call on Path lands on, sub-storages resolved.
struct TTarget {
    TJvCustomAppStorage* Store;
    AnsiString Path;
};
TTarget Resolve(TJvCustomAppStorage& Storage, const AnsiString& Path) {
    TTarget t;
    Storage.ResolveTarget(Path, t.Store, t.Path);
    return t;
}
} // namespace

bool TJvCustomAppStorage::HasValue(const AnsiString& Path) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->RawValueExists(t.Path);
}

bool TJvCustomAppStorage::HasFolder(const AnsiString& Path, bool ListIsValue) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->RawIsFolder(t.Path, ListIsValue);
}

bool TJvCustomAppStorage::HasList(const AnsiString& Path) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->RawHasList(t.Path);
}

void TJvCustomAppStorage::RemoveValue(const AnsiString& Path) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->RawRemoveValue(t.Path); });
}

void TJvCustomAppStorage::RemoveTree(const AnsiString& Path) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->RawRemoveTree(t.Path); });
}

void TJvCustomAppStorage::ListFolders(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue) {
    const TTarget t = Resolve(*this, Path);
    t.Store->RawListFolders(t.Path, Strings, ReportListAsValue);
}

void TJvCustomAppStorage::ListValues(const AnsiString& Path, TStrings& Strings, bool ReportListAsValue) {
    const TTarget t = Resolve(*this, Path);
    t.Store->RawListValues(t.Path, Strings, ReportListAsValue);
}

int32_t TJvCustomAppStorage::FetchInteger(const AnsiString& Path, int32_t Default) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchInteger(t.Path, Default);
}

void TJvCustomAppStorage::StoreInteger(const AnsiString& Path, int32_t Value) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreInteger(t.Path, Value); });
}

double TJvCustomAppStorage::FetchFloat(const AnsiString& Path, double Default) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchFloat(t.Path, Default);
}

void TJvCustomAppStorage::StoreFloat(const AnsiString& Path, double Value) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreFloat(t.Path, Value); });
}

AnsiString TJvCustomAppStorage::FetchString(const AnsiString& Path, const AnsiString& Default) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchString(t.Path, Default);
}

void TJvCustomAppStorage::StoreString(const AnsiString& Path, const AnsiString& Value) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreString(t.Path, Value); });
}

WideString TJvCustomAppStorage::FetchWideString(const AnsiString& Path, const WideString& Default) {
    return Utf8ToWide(FetchString(Path, WideToUtf8(Default)));
}

void TJvCustomAppStorage::StoreWideString(const AnsiString& Path, const WideString& Value) {
    StoreString(Path, WideToUtf8(Value));
}

TDateTime TJvCustomAppStorage::FetchDateTime(const AnsiString& Path, TDateTime Default) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchDateTime(t.Path, Default);
}

void TJvCustomAppStorage::StoreDateTime(const AnsiString& Path, TDateTime Value) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreDateTime(t.Path, Value); });
}

bool TJvCustomAppStorage::FetchBoolean(const AnsiString& Path, bool Default) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchBoolean(t.Path, Default);
}

void TJvCustomAppStorage::StoreBoolean(const AnsiString& Path, bool Value) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreBoolean(t.Path, Value); });
}

int TJvCustomAppStorage::FetchBinary(const AnsiString& Path, void* Buffer, int Size) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchBinary(t.Path, Buffer, Size);
}

void TJvCustomAppStorage::StoreBinary(const AnsiString& Path, const void* Buffer, int Size) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreBinary(t.Path, Buffer, Size); });
}

int64_t TJvCustomAppStorage::FetchEnum(const AnsiString& Path, const TTypeInfo* TypeInfo, int64_t Default) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchEnum(t.Path, TypeInfo, Default);
}

void TJvCustomAppStorage::StoreEnum(const AnsiString& Path, const TTypeInfo* TypeInfo, int64_t Value) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreEnum(t.Path, TypeInfo, Value); });
}

TSetValue TJvCustomAppStorage::FetchSetValue(const AnsiString& Path, const TTypeInfo* TypeInfo,
                                             const TSetValue& Default) {
    const TTarget t = Resolve(*this, Path);
    return t.Store->DoFetchSetValue(t.Path, TypeInfo, Default);
}

void TJvCustomAppStorage::StoreSetValue(const AnsiString& Path, const TTypeInfo* TypeInfo,
                                        const TSetValue& Value) {
    const TTarget t = Resolve(*this, Path);
    if (!t.Store->ReadOnly()) t.Store->Batch([&] { t.Store->DoStoreSetValue(t.Path, TypeInfo, Value); });
}

// ------------------------------------------------------------- conversion layer

template <class T, class F> T TJvCustomAppStorage::GuardConvert(T Default, F&& Read) {
    try {
        return Read();
    } catch (const EConvertError&) {
        if (FStorageOptions->DefaultIfReadConvertError) return Default;
        throw;
    }
}

AnsiString TJvCustomAppStorage::FloatText(double Value) {
    return FloatToStr(Value);
}

AnsiString TJvCustomAppStorage::DateTimeText(TDateTime Value) {
    AnsiString text = FormatDateTime(FormatSettings.ShortDateFormat, Value);
    if (Value != std::floor(Value)) text += " " + FormatDateTime(FormatSettings.LongTimeFormat, Value);
    return text;
}

namespace {
// The locale's short date, optionally a blank and the time.
TDateTime ParseDateTimeText(const AnsiString& Text) {
    const AnsiString t = Trim(Text);
    const std::size_t blank = t.find(' ');
    TDateTime date;
    if (!TryStrToDate(t.substr(0, blank), date))
        throw EConvertError(Format("'%s' is not a valid date and time", {Text}));
    if (blank == AnsiString::npos) return date;
    int parts[3] = {0, 0, 0}, n = 0;
    AnsiString time = Trim(t.substr(blank + 1));
    std::size_t pos = 0;
    while (pos <= time.size() && n < 3) {
        std::size_t end = time.find(FormatSettings.TimeSeparator, pos);
        if (end == AnsiString::npos) end = time.size();
        if (!TryStrToInt(time.substr(pos, end - pos), parts[n++]))
            throw EConvertError(Format("'%s' is not a valid date and time", {Text}));
        pos = end + 1;
        if (end == time.size()) break;
    }
    if (pos <= time.size() || n < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59 || parts[0] < 0 ||
        parts[1] < 0 || parts[2] < 0)
        throw EConvertError(Format("'%s' is not a valid date and time", {Text}));
    return date + EncodeTime(parts[0], parts[1], parts[2], 0);
}

// A value kept as text or natively: the form the options name is read
// first, the other when that one does not convert.
template <class FText, class FRaw> auto EitherForm(bool TextFirst, FText&& Text, FRaw&& Raw) {
    try {
        return TextFirst ? Text() : Raw();
    } catch (const EConvertError&) {
        return TextFirst ? Raw() : Text();
    }
}
} // namespace

int32_t TJvCustomAppStorage::DoFetchInteger(const AnsiString& Path, int32_t Default) {
    if (FStorageOptions->DefaultIfValueNotExists && !RawValueExists(Path)) return Default;
    return GuardConvert(Default, [&] { return RawFetchInteger(Path, Default); });
}

void TJvCustomAppStorage::DoStoreInteger(const AnsiString& Path, int32_t Value) {
    RawStoreInteger(Path, Value);
}

double TJvCustomAppStorage::DoFetchFloat(const AnsiString& Path, double Default) {
    if (FStorageOptions->DefaultIfValueNotExists && !RawValueExists(Path)) return Default;
    return GuardConvert(Default, [&] {
        return EitherForm(
            FStorageOptions->FloatAsString,
            [&] {
                return StrToFloat(DecodeValueText(RawFetchString(Path, EncodeValueText(FloatText(Default)))));
            },
            [&] { return RawFetchFloat(Path, Default); });
    });
}

void TJvCustomAppStorage::DoStoreFloat(const AnsiString& Path, double Value) {
    if (FStorageOptions->FloatAsString)
        RawStoreString(Path, EncodeValueText(FloatText(Value)));
    else
        RawStoreFloat(Path, Value);
}

AnsiString TJvCustomAppStorage::DoFetchString(const AnsiString& Path, const AnsiString& Default) {
    if (FStorageOptions->DefaultIfValueNotExists && !RawValueExists(Path)) return Default;
    return GuardConvert(Default,
                        [&] { return DecodeValueText(RawFetchString(Path, EncodeValueText(Default))); });
}

void TJvCustomAppStorage::DoStoreString(const AnsiString& Path, const AnsiString& Value) {
    RawStoreString(Path, EncodeValueText(Value));
}

TDateTime TJvCustomAppStorage::DoFetchDateTime(const AnsiString& Path, TDateTime Default) {
    if (FStorageOptions->DefaultIfValueNotExists && !RawValueExists(Path)) return Default;
    return GuardConvert(Default, [&] {
        return EitherForm(
            FStorageOptions->DateTimeAsString,
            [&] {
                return ParseDateTimeText(
                    DecodeValueText(RawFetchString(Path, EncodeValueText(DateTimeText(Default)))));
            },
            [&] { return RawFetchDateTime(Path, Default); });
    });
}

void TJvCustomAppStorage::DoStoreDateTime(const AnsiString& Path, TDateTime Value) {
    if (FStorageOptions->DateTimeAsString)
        RawStoreString(Path, EncodeValueText(DateTimeText(Value)));
    else
        RawStoreDateTime(Path, Value);
}

bool TJvCustomAppStorage::DoFetchBoolean(const AnsiString& Path, bool Default) {
    if (FStorageOptions->DefaultIfValueNotExists && !RawValueExists(Path)) return Default;
    return GuardConvert(Default, [&] {
        if (!FStorageOptions->BooleanAsString()) return RawFetchBoolean(Path, Default);
        // A value that is no text (a boolean kept as an integer) is read as
        // what it is, not as the default.
        const AnsiString none("\0none\0", 6);
        AnsiString text;
        try {
            text = RawFetchString(Path, none);
        } catch (const EConvertError&) {
            return RawFetchBoolean(Path, Default);
        }
        if (text == none) return RawFetchBoolean(Path, Default);
        text = DecodeValueText(text);
        if (FStorageOptions->IsTrueText(text)) return true;
        if (FStorageOptions->IsFalseText(text)) return false;
        return RawFetchBoolean(Path, Default);
    });
}

void TJvCustomAppStorage::DoStoreBoolean(const AnsiString& Path, bool Value) {
    if (FStorageOptions->BooleanAsString())
        RawStoreString(Path, EncodeValueText(Value ? FStorageOptions->FirstTrueText()
                                                   : FStorageOptions->FirstFalseText()));
    else
        RawStoreBoolean(Path, Value);
}

AnsiString TJvCustomAppStorage::EncodeValueText(const AnsiString& S) {
    if (!OnEncryptPropertyValue || FCryptEnabledStatus <= 0) return S;
    AnsiString v = S;
    OnEncryptPropertyValue(v);
    return Base64EncodeText(v);
}

AnsiString TJvCustomAppStorage::DecodeValueText(const AnsiString& S) {
    if (!OnDecryptPropertyValue || FCryptEnabledStatus <= 0) return S;
    AnsiString v = Base64DecodeText(S);
    OnDecryptPropertyValue(v);
    return v;
}

AnsiString TJvCustomAppStorage::MapPropertyName(TPersistent* Instance, const AnsiString& Name, bool Reading) {
    AnsiString result = Name;
    if (OnTranslatePropertyName) OnTranslatePropertyName(this, Instance, result, Reading);
    return result;
}

// ------------------------------------------------------------- lists

int TJvCustomAppStorage::FetchListItems(const AnsiString& Path, TObject* List, const AnsiString& ItemName,
                                        const TJvAppStorageListItemEvent& OnReadItem) {
    const int count = FetchInteger(CombineStoragePaths({Path, "Count"}), 0);
    for (int i = 0; i < count; ++i)
        OnReadItem(this, Path, List, i, ItemName);
    return count;
}

void TJvCustomAppStorage::StoreListItems(const AnsiString& Path, TObject* List, int ItemCount,
                                         const AnsiString& ItemName,
                                         const TJvAppStorageListItemEvent& OnWriteItem,
                                         const TJvAppStorageListDeleteEvent& OnDeleteItems) {
    Batch([&] {
        if (Resolve(*this, Path + "\\*").Store->ReadOnly()) return;
        const AnsiString countPath = CombineStoragePaths({Path, "Count"});
        const int previous = FetchInteger(countPath, 0);
        StoreInteger(countPath, ItemCount);
        for (int i = 0; i < ItemCount; ++i)
            OnWriteItem(this, Path, List, i, ItemName);
        if (previous > ItemCount && OnDeleteItems)
            OnDeleteItems(this, Path, List, ItemCount, previous - 1, ItemName);
    });
}

namespace {
AnsiString ItemPath(const AnsiString& Path, const AnsiString& ItemName, int Index) {
    return CombineStoragePaths({Path, ItemName + IntToStr(Index)});
}

} // namespace

int TJvCustomAppStorage::FetchStringList(const AnsiString& Path, TStrings& List, bool ClearFirst,
                                         const AnsiString& ItemName) {
    if (!HasList(Path) && FStorageOptions->DefaultIfValueNotExists) return List.Count();
    TUpdateBracket bracket(List);
    if (ClearFirst) List.Clear();
    FetchObject(Path, &List, true, false);
    return FetchListItems(
        Path, &List, ItemName,
        [](TJvCustomAppStorage* S, const AnsiString& P, TObject* L, int I, const AnsiString& N) {
            static_cast<TStrings*>(L)->Add(S->FetchString(ItemPath(P, N, I), ""));
        });
}

void TJvCustomAppStorage::StoreStringList(const AnsiString& Path, TStrings& List,
                                          const AnsiString& ItemName) {
    Batch([&] {
        StoreListItems(
            Path, &List, List.Count(), ItemName,
            [](TJvCustomAppStorage* S, const AnsiString& P, TObject* L, int I, const AnsiString& N) {
                S->StoreString(ItemPath(P, N, I), static_cast<TStrings*>(L)->Strings(I));
            },
            [](TJvCustomAppStorage* S, const AnsiString& P, TObject*, int First, int Last,
               const AnsiString& N) {
                for (int i = First; i <= Last; ++i)
                    S->RemoveValue(ItemPath(P, N, i));
            });
        StoreObject(Path, &List, true, nullptr);
    });
}

int TJvCustomAppStorage::FetchCollection(const AnsiString& Path, TCollection& List, bool ClearFirst,
                                         const AnsiString& ItemName) {
    if (!HasList(Path) && FStorageOptions->DefaultIfValueNotExists) return List.Count();
    TUpdateBracket bracket(List);
    if (ClearFirst) List.Clear();
    FetchObject(Path, &List, true, false);
    return FetchListItems(
        Path, &List, ItemName,
        [](TJvCustomAppStorage* S, const AnsiString& P, TObject* L, int I, const AnsiString& N) {
            TCollectionItem* item = static_cast<TCollection*>(L)->Add();
            try {
                S->FetchObject(ItemPath(P, N, I), item, true, true);
            } catch (const std::exception& e) {
                // The item stays as far as it was filled; the error is told.
                S->ReportError(e.what());
            }
        });
}

void TJvCustomAppStorage::StoreCollection(const AnsiString& Path, TCollection& List,
                                          const AnsiString& ItemName) {
    Batch([&] {
        StoreListItems(
            Path, &List, List.Count(), ItemName,
            [](TJvCustomAppStorage* S, const AnsiString& P, TObject* L, int I, const AnsiString& N) {
                auto* c = static_cast<TCollection*>(L);
                if (I < c->Count() && c->Items(I))
                    S->StoreObject(ItemPath(P, N, I), c->Items(I), true, nullptr);
            },
            [](TJvCustomAppStorage* S, const AnsiString& P, TObject*, int First, int Last,
               const AnsiString& N) {
                for (int i = First; i <= Last; ++i)
                    S->RemoveTree(ItemPath(P, N, i));
            });
        StoreObject(Path, &List, true, nullptr);
    });
}

// ------------------------------------------------------------- enumerations and sets

namespace {
bool IsBooleanType(const TTypeInfo* T) {
    if (T == TypeInfoBoolean()) return true;
    const TTypeInfo* base = T->BaseType ? T->BaseType : T;
    return T->Kind == tkEnumeration && base->MinValue < 0;
}

bool InSet(const TTypeInfo* SetType, const TSetValue& V, int E) {
    const int bit = SetElementBit(SetType, E);
    return bit >= 0 && (V[std::size_t(bit / 8)] >> (bit % 8)) & 1;
}
} // namespace

void TJvCustomAppStorage::DoStoreEnum(const AnsiString& Path, const TTypeInfo* T, int64_t Value) {
    const int64_t ord = NarrowOrdinal(T->OrdType, Value);
    if (IsBooleanType(T)) return DoStoreBoolean(Path, ord != 0);
    switch (T->Kind) {
    case tkChar:
    case tkWChar:
        return DoStoreInteger(Path, int32_t(ord));
    case tkInteger:
        if (FStorageOptions->TypedIntegerAsString)
            if (const auto* consts = FindIntegerConsts(T))
                for (const TIdentMapEntry& e : *consts)
                    if (e.Value == int32_t(ord)) return DoStoreString(Path, e.Name);
        return DoStoreInteger(Path, int32_t(ord));
    case tkEnumeration:
        if (FStorageOptions->EnumerationAsString) return DoStoreString(Path, GetEnumName(T, int(ord)));
        return DoStoreInteger(Path, int32_t(ord));
    default:
        throw EJvLibAppStorageError("Invalid type");
    }
}

int64_t TJvCustomAppStorage::DoFetchEnum(const AnsiString& Path, const TTypeInfo* T, int64_t Default) {
    if (FStorageOptions->DefaultIfValueNotExists && !RawValueExists(Path)) return Default;
    const int64_t def = NarrowOrdinal(T->OrdType, Default);
    if (IsBooleanType(T)) return DoFetchBoolean(Path, def != 0) ? 1 : 0;
    if (T->Kind != tkChar && T->Kind != tkWChar && T->Kind != tkInteger && T->Kind != tkEnumeration)
        throw EJvLibAppStorageError("Invalid type");
    return NarrowOrdinal(T->OrdType, GuardConvert(def, [&]() -> int64_t {
                             if (T->Kind == tkChar || T->Kind == tkWChar)
                                 return DoFetchInteger(Path, int32_t(def));
                             if (T->Kind == tkInteger) {
                                 if (const auto* consts = FindIntegerConsts(T)) {
                                     // A value that is no text is read as a number below.
                                     AnsiString text;
                                     try {
                                         text = DoFetchString(Path, "");
                                     } catch (const EConvertError&) {
                                     }
                                     for (const TIdentMapEntry& e : *consts)
                                         if (!text.empty() && SameText(e.Name, text)) return e.Value;
                                 }
                                 return DoFetchInteger(Path, int32_t(def));
                             }
                             const AnsiString text = DoFetchString(Path, " #!@not known@!# ");
                             int v = GetEnumValue(T, text);
                             if (v < T->MinValue || v > T->MaxValue) v = -1;
                             if (v >= 0) return v;
                             const int64_t n = DoFetchInteger(Path, int32_t(def));
                             // A number outside the type is no value of it.
                             return n >= T->MinValue && n <= T->MaxValue ? n : def;
                         }));
}

AnsiString TJvCustomAppStorage::CharMemberName(int Ordinal) const {
    // Value names are case-insensitive and a backslash ends a path: those
    // characters go by their code, so no two members share one flag.
    const bool clash = Ordinal == '\\' || (Ordinal >= 'A' && Ordinal <= 'Z');
    if (Ordinal >= 33 && Ordinal <= 122 && !clash) return "Char_" + AnsiString(1, char(Ordinal));
    return "Char#" + IntToStr(Ordinal);
}

AnsiString TJvCustomAppStorage::IntMemberName(int Value) const {
    return "Int_" + IntToStr(Value);
}

namespace {
// The flag name of member E when a set is kept as one flag per member;
// empty for a base type that has no such form.
AnsiString MemberFlagName(const TJvCustomAppStorage& Storage, const TTypeInfo* Base, int E) {
    switch (Base->Kind) {
    case tkInteger:
        return Storage.IntMemberName(E);
    case tkChar:
        return Storage.CharMemberName(E);
    case tkEnumeration:
        return GetEnumName(Base, E);
    default:
        return AnsiString();
    }
}

const TTypeInfo* FlaggableBase(const TTypeInfo* SetType) {
    const TTypeInfo* base = SetType->CompType;
    if (!base || (base->Kind != tkInteger && base->Kind != tkChar && base->Kind != tkEnumeration))
        throw EJvLibAppStorageError("Unknown base type for given set");
    return base;
}
} // namespace

void TJvCustomAppStorage::DoStoreSetValue(const AnsiString& Path, const TTypeInfo* T,
                                          const TSetValue& Value) {
    if (FStorageOptions->SetAsString) return DoStoreString(Path, SetAsText(T, Value, true, false));
    const TTypeInfo* base = FlaggableBase(T);
    for (int e = base->MinValue; e <= base->MaxValue; ++e)
        DoStoreBoolean(CombineStoragePaths({Path, MemberFlagName(*this, base, e)}), InSet(T, Value, e));
}

TSetValue TJvCustomAppStorage::DoFetchSetValue(const AnsiString& Path, const TTypeInfo* T,
                                               const TSetValue& Default) {
    const TTypeInfo* base = FlaggableBase(T);
    return GuardConvert(Default, [&] {
        TSetValue result{};
        if (RawIsFolder(Path, true)) {
            if (base->Kind == tkChar) {
                for (int e = base->MinValue, bit; e <= base->MaxValue && (bit = SetElementBit(T, e)) >= 0;
                     ++e)
                    if (DoFetchBoolean(CombineStoragePaths({Path, MemberFlagName(*this, base, e)}), false))
                        result[std::size_t(bit / 8)] |= uint8_t(1 << (bit % 8));
                return result;
            }
            TStringList members;
            for (int e = base->MinValue; e <= base->MaxValue; ++e)
                if (DoFetchBoolean(CombineStoragePaths({Path, MemberFlagName(*this, base, e)}), false))
                    members.Add(base->Kind == tkInteger ? IntToStr(e) : GetEnumName(base, e));
            TJclSetTypeInfo(T).SetAsList(result, members);
            return result;
        }
        try {
            TextAsSet(T, result, DoFetchString(Path, SetAsText(T, Default, true, false)));
        } catch (const EJclRTTIError& e) {
            throw EConvertError(e.Message); // an unknown member is a conversion error like any other
        }
        return result;
    });
}

// ------------------------------------------------------------- objects

int TJvCustomAppStorage::PublishedCount(TObject* Instance) {
    return PropertyCount(GetClassInfo(Instance));
}

AnsiString TJvCustomAppStorage::PublishedName(TObject* Instance, int Index) {
    auto props = GetPropList(GetClassInfo(Instance));
    return Index >= 0 && Index < int(props.size()) ? props[std::size_t(Index)]->Name : AnsiString();
}

bool TJvCustomAppStorage::ContainsSubStorage(TJvCustomAppStorage* Storage) const {
    for (int i = 0; i < FSubStorages->Count(); ++i) {
        TJvCustomAppStorage* s = FSubStorages->Items(i)->AppStorage();
        if (s && (s == Storage || s->ContainsSubStorage(Storage))) return true;
    }
    return false;
}

void TJvCustomAppStorage::FetchObject(const AnsiString& Path, TPersistent* Instance, bool Recursive,
                                      bool ClearFirst, TStrings* IgnoreProperties) {
    if (!Instance) return;
    auto* self = dynamic_cast<IStorageSelfPersist*>(Instance);
    if (self) self->LoadFromStorage(this, Path);
    if (self && !dynamic_cast<IStorePublishedToo*>(Instance)) return;
    for (const TPropInfo* p : GetPropList(GetClassInfo(Instance))) {
        if (IgnoreProperties && IgnoreProperties->IndexOf(p->Name) >= 0) continue;
        const AnsiString path = CombineStoragePaths({Path, MapPropertyName(Instance, p->Name, true)});
        FetchObjectProperty(path, Instance, p->Name, Recursive, ClearFirst);
    }
}

void TJvCustomAppStorage::StoreObject(const AnsiString& Path, TPersistent* Instance, bool Recursive,
                                      TStrings* IgnoreProperties) {
    Batch([&] {
        if (!Instance) return;
        auto* self = dynamic_cast<IStorageSelfPersist*>(Instance);
        if (self) self->SaveToStorage(this, Path);
        if (self && !dynamic_cast<IStorePublishedToo*>(Instance)) return;
        for (const TPropInfo* p : GetPropList(GetClassInfo(Instance))) {
            if (IgnoreProperties && IgnoreProperties->IndexOf(p->Name) >= 0) continue;
            const AnsiString path = CombineStoragePaths({Path, MapPropertyName(Instance, p->Name, false)});
            StoreObjectProperty(path, Instance, p->Name, Recursive);
        }
    });
}

namespace {
bool IsDateTimeType(const TTypeInfo* T) {
    return T == TypeInfoDateTime() || SameText(T->Name, "TDateTime");
}
} // namespace

void TJvCustomAppStorage::FetchObjectProperty(const AnsiString& Path, TPersistent* Instance,
                                              const AnsiString& PropertyName, bool Recursive,
                                              bool ClearFirst) {
    const TPropInfo* p = Instance ? GetPropInfo(Instance, PropertyName) : nullptr;
    if (!p) return;
    const TTypeInfo* type = p->PropType;
    if (type->Kind != tkClass && !p->Set) return; // nothing to set back
    switch (type->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
        SetOrdProp(Instance, p, FetchEnum(Path, type, GetOrdProp(Instance, p)));
        break;
    case tkFloat:
        if (IsDateTimeType(type))
            SetFloatProp(Instance, p, FetchDateTime(Path, GetFloatProp(Instance, p)));
        else
            SetFloatProp(Instance, p, FetchFloat(Path, GetFloatProp(Instance, p)));
        break;
    case tkString:
    case tkLString:
        SetStrProp(Instance, p, FetchString(Path, GetStrProp(Instance, p)));
        break;
    case tkSet:
        SetSetProp(Instance, p, FetchSetValue(Path, type, GetSetProp(Instance, p)));
        break;
    case tkWString:
        SetWideStrProp(Instance, p, FetchWideString(Path, GetWideStrProp(Instance, p)));
        break;
    case tkInt64: {
        const AnsiString text = FetchString(Path, IntToStr(GetOrdProp(Instance, p)));
        int64_t v;
        if (!TryStrToInt64(text, v)) throw EConvertError(Format("'%s' is not a valid integer value", {text}));
        SetOrdProp(Instance, p, v);
        break;
    }
    case tkClass: {
        auto* obj = dynamic_cast<TPersistent*>(GetObjectProp(Instance, p));
        if (!obj) return;
        if (Recursive && RegisteredAppStoragePropertyEngineList().LoadProperty(this, Path, Recursive,
                                                                               ClearFirst, obj, Instance))
            return;
        if (auto* list = dynamic_cast<TStrings*>(obj))
            FetchStringList(Path, *list, ClearFirst, "Item");
        else if (!Recursive)
            return;
        else if (auto* coll = dynamic_cast<TCollection*>(obj))
            FetchCollection(Path, *coll, ClearFirst, "Item");
        else
            FetchObject(Path, obj, true, ClearFirst, nullptr);
        break;
    }
    default:
        break;
    }
}

void TJvCustomAppStorage::StoreObjectProperty(const AnsiString& Path, TPersistent* Instance,
                                              const AnsiString& PropertyName, bool Recursive) {
    Batch([&] {
        const TPropInfo* p = Instance ? GetPropInfo(Instance, PropertyName) : nullptr;
        if (!p) return;
        const TTypeInfo* type = p->PropType;
        if (!FStorageOptions->StoreDefaultValues && type->Kind != tkClass) {
            if (!p->Get || !p->Set || !IsStoredProp(Instance, p)) return;
            bool isDefault = false;
            switch (type->Kind) {
            case tkInteger:
            case tkChar:
            case tkWChar:
            case tkEnumeration:
                isDefault = p->Default != NoDefault && GetOrdProp(Instance, p) == p->Default;
                break;
            case tkSet: {
                if (p->Default == NoDefault) break;
                TSetValue def{};
                uint32_t bits = uint32_t(p->Default);
                std::memcpy(def.data(), &bits, 4);
                isDefault = GetSetProp(Instance, p) == def;
                break;
            }
            case tkFloat:
                isDefault = GetFloatProp(Instance, p) == 0;
                break;
            case tkInt64:
                isDefault = GetOrdProp(Instance, p) == 0;
                break;
            case tkString:
            case tkLString:
                isDefault = GetStrProp(Instance, p).empty();
                break;
            case tkWString:
                isDefault = GetWideStrProp(Instance, p).empty();
                break;
            default:
                break;
            }
            if (isDefault) return;
        }
        switch (type->Kind) {
        case tkInteger:
        case tkChar:
        case tkWChar:
            if (FStorageOptions->TypedIntegerAsString)
                StoreEnum(Path, type, GetOrdProp(Instance, p));
            else
                StoreInteger(Path, int32_t(GetOrdProp(Instance, p)));
            break;
        case tkEnumeration:
            StoreEnum(Path, type, GetOrdProp(Instance, p));
            break;
        case tkFloat:
            if (IsDateTimeType(type))
                StoreDateTime(Path, GetFloatProp(Instance, p));
            else
                StoreFloat(Path, GetFloatProp(Instance, p));
            break;
        case tkString:
        case tkLString:
            StoreString(Path, GetStrProp(Instance, p));
            break;
        case tkSet:
            StoreSetValue(Path, type, GetSetProp(Instance, p));
            break;
        case tkWString:
            StoreWideString(Path, GetWideStrProp(Instance, p));
            break;
        case tkInt64:
            StoreString(Path, IntToStr(GetOrdProp(Instance, p)));
            break;
        case tkClass: {
            auto* obj = dynamic_cast<TPersistent*>(GetObjectProp(Instance, p));
            if (!obj) return;
            if (Recursive &&
                RegisteredAppStoragePropertyEngineList().SaveProperty(this, Path, Recursive, obj, Instance))
                return;
            if (auto* list = dynamic_cast<TStrings*>(obj))
                StoreStringList(Path, *list, "Item");
            else if (!Recursive)
                return;
            else if (auto* coll = dynamic_cast<TCollection*>(obj))
                StoreCollection(Path, *coll, "Item");
            else
                StoreObject(Path, obj, true, nullptr);
            break;
        }
        default:
            break;
        }
    });
}

// ------------------------------------------------------------- sub-storages

TJvAppSubStorages::TJvAppSubStorages(TJvCustomAppStorage* AOwner)
    : TOwnedCollection(AOwner, [](TCollection* C) { return new TJvAppSubStorage(C); }),
      FOwnerStorage(AOwner) {}

TJvAppSubStorage* TJvAppSubStorages::FindForPath(const AnsiString& Path, int IgnoreIndex) const {
    const AnsiString normal = CombineStoragePaths({Path});
    TJvAppSubStorage* best = nullptr;
    for (int i = 0; i < Count(); ++i) {
        if (i == IgnoreIndex) continue;
        TJvAppSubStorage* item = Items(i);
        const AnsiString& root = item->RootPath();
        if (root.empty() || normal.size() <= root.size() || normal[root.size()] != '\\') continue;
        if (!SameText(normal.substr(0, root.size()), root)) continue;
        if (!best || root.size() > best->RootPath().size()) best = item;
    }
    return best;
}

bool TJvAppSubStorages::IsUniqueRoot(const AnsiString& Path, int IgnoreIndex) const {
    return !FindForPath(CombineStoragePaths({Path}) + "\\*", IgnoreIndex);
}

bool TJvAppSubStorages::Refers(const TJvCustomAppStorage* Storage, int IgnoreIndex) const {
    for (int i = 0; i < Count(); ++i)
        if (i != IgnoreIndex && Items(i)->AppStorage() == Storage) return true;
    return false;
}

void TJvAppSubStorages::RemoveStorage(TComponent* Storage) {
    for (int i = Count() - 1; i >= 0; --i)
        if (Items(i)->AppStorage() && static_cast<TComponent*>(Items(i)->AppStorage()) == Storage) Delete(i);
}

TJvCustomAppStorage* TJvAppSubStorage::OwnerStorage() const {
    auto* c = static_cast<TJvAppSubStorages*>(Collection());
    return c ? c->OwnerStorage() : nullptr;
}

void TJvAppSubStorage::SetRootPath(const AnsiString& Value) {
    const AnsiString normal = CombineStoragePaths({Value});
    if (normal == FRootPath) return;
    auto* c = static_cast<TJvAppSubStorages*>(Collection());
    if (c && !c->IsUniqueRoot(normal, Index()))
        throw EJvLibAppStorageError(Format("'%s' is not a unique root path", {normal}));
    FRootPath = normal;
}

void TJvAppSubStorage::SetAppStorage(TJvCustomAppStorage* Value) {
    if (Value == FAppStorage) return;
    TJvCustomAppStorage* owner = OwnerStorage();
    if (Value && owner && (Value == owner || Value->ContainsSubStorage(owner)))
        throw EJvLibAppStorageError("Circular reference of storages");
    // The owner stops watching the old storage only when no other item
    // still refers to it; else that item would outlive the storage.
    auto* items = static_cast<TJvAppSubStorages*>(Collection());
    if (owner && FAppStorage && !(items && items->Refers(FAppStorage, Index())))
        FAppStorage->RemoveFreeNotification(owner);
    FAppStorage = Value;
    if (owner && Value) Value->FreeNotification(owner);
}

AnsiString TJvAppSubStorage::DisplayName() const {
    if (!FRootPath.empty() && FAppStorage) return "\\" + FRootPath + "=" + FAppStorage->Name();
    return TCollectionItem::DisplayName();
}

LIBRARY_UNIT_VERSION("util/JvAppStorage.cpp", "1", "2026-12-10", "JvLib\\common")
