// The form storage's part of the form placement unit: stored values, the
// list of stored properties, and their save and restore.
#include "util/JvFormPlacement.h"

#include "util/JvJCLUtils.h"
#include "util/JvPropertyStorage.h"

// TJvStoredValue

TJvFormStorage* TJvStoredValue::Storage() const {
    auto* values = dynamic_cast<TJvStoredValues*>(Collection());
    return values ? values->Storage() : nullptr;
}

AnsiString TJvStoredValue::DisplayName() const {
    return FName.empty() ? TCollectionItem::DisplayName() : FName;
}

void TJvStoredValue::SetName(const AnsiString& Value) {
    auto* values = dynamic_cast<TJvStoredValues*>(Collection());
    if (!Value.empty() && values && !SameText(Value, FName)) {
        TJvStoredValue* other = values->FindByName(Value);
        if (other && other != this) throw EJvLibException("String list does not allow duplicates");
    }
    FName = Value;
}

void TJvStoredValue::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TJvStoredValue*>(Source);
    if (!other || other == this) {
        if (!other) TCollectionItem::Assign(Source);
        return;
    }
    Value = other->Value;
    SetName(other->FName);
    KeyString = other->KeyString;
}

AnsiString TJvStoredValue::StoredPath() const {
    TJvFormStorage* storage = Storage();
    auto* values = dynamic_cast<TJvStoredValues*>(Collection());
    return storage ? storage->JoinPaths({values->StoredValuesPath, FName}) : AnsiString();
}

void TJvStoredValue::Persist() {
    TJvFormStorage* storage = Storage();
    if (!storage) return;
    Variant v = Value;
    if (OnSave) OnSave(this, v);
    AnsiString path = StoredPath();
    if (!KeyString.empty())
        storage->StoreString(path, XorHexEncode(KeyString, v.AsString()));
    else if (v.IsInteger() && VariantIsInteger(v))
        storage->StoreInteger(path, v.AsInteger());
    else if (v.IsFloat())
        storage->StoreFloat(path, v.AsFloat());
    else if (v.IsDateTime())
        storage->StoreDateTime(path, v.AsDateTime());
    else if (v.IsBoolean())
        storage->StoreBoolean(path, v.AsBoolean());
    else
        storage->StoreString(path, v.IsEmptyOrNull() ? AnsiString() : v.AsString());
}

namespace {
// A text read back in the kind of Like; Like itself when it does not convert.
Variant TextAs(const Variant& Like, const AnsiString& Text) {
    try {
        Variant text(Text);
        if (Like.IsInteger()) return Variant(text.AsInt64());
        if (Like.IsFloat()) return Variant(text.AsFloat());
        if (Like.IsDateTime()) return Variant::FromDateTime(text.AsDateTime());
        if (Like.IsBoolean()) return Variant(text.AsBoolean());
        return text;
    } catch (const Exception&) {
        return Like;
    }
}
} // namespace

void TJvStoredValue::Recall() {
    TJvFormStorage* storage = Storage();
    if (!storage) return;
    AnsiString path = StoredPath();
    Variant v;
    if (!KeyString.empty()) {
        AnsiString current = Value.IsEmptyOrNull() ? AnsiString() : Value.AsString();
        AnsiString code = storage->FetchString(path, XorHexEncode(KeyString, current));
        AnsiString text;
        // A code that does not decode leaves the value as it is.
        v = TryXorHexDecode(KeyString, code, text) ? TextAs(Value, text) : Value;
    } else if (Value.IsInteger()) {
        v = Variant(storage->FetchInteger(path, Value.AsInteger()));
    } else if (Value.IsFloat()) {
        v = Variant(storage->FetchFloat(path, Value.AsFloat()));
    } else if (Value.IsDateTime()) {
        v = Variant::FromDateTime(storage->FetchDateTime(path, Value.AsDateTime()));
    } else if (Value.IsBoolean()) {
        v = Variant(storage->FetchBoolean(path, Value.AsBoolean()));
    } else {
        v = Variant(storage->FetchString(path, Value.IsEmptyOrNull() ? AnsiString() : Value.AsString()));
    }
    if (OnRestore) OnRestore(this, v);
    Value = v;
}

// TJvStoredValues

TJvStoredValues::TJvStoredValues(TJvFormStorage* AOwner)
    : TOwnedCollection(AOwner, [](TCollection* C) { return new TJvStoredValue(C); }), FStorage(AOwner) {}

TJvStoredValue* TJvStoredValues::FindByName(const AnsiString& Name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name(), Name)) return Items(i);
    return nullptr;
}

void TJvStoredValues::PersistAll() {
    for (int i = 0; i < Count(); ++i)
        Items(i)->Persist();
}

void TJvStoredValues::RecallAll() {
    for (int i = 0; i < Count(); ++i)
        Items(i)->Recall();
}

// TJvFormStorageStringList

void TJvFormStorageStringList::Assign(TPersistent* Source) {
    TStringList::Assign(Source);
    if (FStorage && !(FStorage->ComponentState() & csLoading)) FStorage->ResolveStoredProps();
}

// TJvFormStorage

TJvFormStorage::TJvFormStorage(TComponent* AOwner)
    : TJvFormPlacement(AOwner), FStoredProps(std::make_unique<TJvFormStorageStringList>(this)),
      FStoredValues(std::make_unique<TJvStoredValues>(this)) {}

TJvFormStorage::~TJvFormStorage() {
    // No removal notices are asked while the lists go.
    FStoredProps.reset();
}

void TJvFormStorage::Loaded() {
    TJvFormPlacement::Loaded();
    ResolveStoredProps();
}

void TJvFormStorage::SetStoredProps(TStrings* Value) {
    FStoredProps->Assign(Value);
}

void TJvFormStorage::ResolveStoredProps() {
    if (!Owner()) return;
    SyncStoredList(Owner(), FStoredProps.get(), true);
    for (int i = 0; i < FStoredProps->Count(); ++i)
        if (auto* component = dynamic_cast<TComponent*>(FStoredProps->Objects(i)))
            component->FreeNotification(this);
}

void TJvFormStorage::Notification(TComponent* AComponent, TOperation Operation) {
    TJvFormPlacement::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || !FStoredProps || IsDestroying()) return;
    for (int i = FStoredProps->Count() - 1; i >= 0; --i)
        if (FStoredProps->Objects(i) == AComponent) FStoredProps->Delete(i);
}

void TJvFormStorage::PersistStoredProps() {
    if (!AppStorage() || FStoredProps->Count() == 0) return;
    TJvPropertyStorage props;
    props.AppStorage = AppStorage();
    props.AppStoragePath = JoinPaths({AppStoragePath(), FStoredPropsPath});
    props.SaveListedProperties(Owner(), FStoredProps.get());
}

void TJvFormStorage::ApplyStoredProps() {
    if (!AppStorage() || FStoredProps->Count() == 0) return;
    TJvPropertyStorage props;
    props.AppStorage = AppStorage();
    props.AppStoragePath = JoinPaths({AppStoragePath(), FStoredPropsPath});
    props.LoadListedProperties(Owner(), FStoredProps.get());
}

void TJvFormStorage::PersistPlacement() {
    TJvFormPlacement::PersistPlacement();
    PersistStoredProps();
    FStoredValues->PersistAll();
}

void TJvFormStorage::ApplyPlacement() {
    TJvFormPlacement::ApplyPlacement();
    FRestored = true;
    try {
        ApplyStoredProps();
    } catch (const Exception&) {
        // A property that does not load keeps its value.
    }
    FStoredValues->RecallAll();
}
