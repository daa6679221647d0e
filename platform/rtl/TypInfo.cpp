// The type-information registry and reading and writing published properties.
#include "platform/rtl/TypInfo.h"

#include <map>
#include <mutex>

int OrdSize(TOrdType T) {
    switch (T) {
    case otSByte:
    case otUByte:
        return 1;
    case otSWord:
    case otUWord:
        return 2;
    default:
        return 4;
    }
}

namespace {
// (L mod 8) of the set layout, never negative.
int SetBitShift(int Low) {
    return ((Low % 8) + 8) % 8;
}
} // namespace

int64_t NarrowOrdinal(TOrdType T, int64_t Value) {
    switch (T) {
    case otSByte:
        return int8_t(Value);
    case otUByte:
        return uint8_t(Value);
    case otSWord:
        return int16_t(Value);
    case otUWord:
        return uint16_t(Value);
    case otSLong:
        return int32_t(Value);
    default:
        return uint32_t(Value);
    }
}

int SetByteSize(const TTypeInfo* SetType) {
    if (!SetType || !SetType->CompType) return 0;
    const TTypeInfo* e = SetType->CompType;
    int lo = e->MinValue, hi = e->MaxValue;
    return ((hi - lo + 1) + SetBitShift(lo) + 7) / 8;
}

int SetElementBit(const TTypeInfo* SetType, int E) {
    const TTypeInfo* elem = SetType->CompType;
    if (E < elem->MinValue || E > elem->MaxValue) return -1;
    const int64_t bit = int64_t(E) - elem->MinValue + SetBitShift(elem->MinValue);
    return bit < 256 ? int(bit) : -1;
}

namespace {

// Types live for the whole run; units keep pointers to them.
std::vector<std::unique_ptr<TTypeInfo>>& OwnedTypes() {
    static std::vector<std::unique_ptr<TTypeInfo>> types;
    return types;
}
std::mutex gTypesLock;

TTypeInfo* NewType() {
    std::lock_guard guard(gTypesLock);
    OwnedTypes().push_back(std::make_unique<TTypeInfo>());
    return OwnedTypes().back().get();
}

const TTypeInfo* Ordinal(TTypeKind Kind, const char* Name, TOrdType Ord, int32_t Min, int32_t Max) {
    TTypeInfo* t = NewType();
    t->Kind = Kind;
    t->Name = Name;
    t->OrdType = Ord;
    t->MinValue = Min;
    t->MaxValue = Max;
    t->UnitName = "System";
    return t;
}

const TTypeInfo* Float(const char* Name, TFloatType F) {
    TTypeInfo* t = NewType();
    t->Kind = tkFloat;
    t->Name = Name;
    t->FloatType = F;
    t->UnitName = "System";
    return t;
}

struct TRegistry {
    std::mutex Lock;
    std::map<std::type_index, const TClassInfo*> Classes;
    std::map<AnsiString, const TClassInfo*> Creatable; // by name
    std::vector<std::unique_ptr<TClassInfo>> Owned;
    std::map<const TTypeInfo*, std::vector<TIdentMapEntry>> Consts;
};
TRegistry& Registry() {
    static TRegistry r;
    return r;
}

int Depth(const TClassInfo* C) {
    int d = 0;
    for (; C; C = C->Parent)
        ++d;
    return d;
}

} // namespace

const TTypeInfo* TypeInfoInteger() {
    static const TTypeInfo* t = Ordinal(tkInteger, "Integer", otSLong, INT32_MIN, INT32_MAX);
    return t;
}
const TTypeInfo* TypeInfoCardinal() {
    static const TTypeInfo* t = Ordinal(tkInteger, "Cardinal", otULong, 0, -1);
    return t;
}
const TTypeInfo* TypeInfoInt64() {
    static const TTypeInfo* t = [] {
        TTypeInfo* i = NewType();
        i->Kind = tkInt64;
        i->Name = "Int64";
        i->MinInt64 = INT64_MIN;
        i->MaxInt64 = INT64_MAX;
        i->UnitName = "System";
        return i;
    }();
    return t;
}
const TTypeInfo* TypeInfoChar() {
    static const TTypeInfo* t = Ordinal(tkChar, "Char", otUByte, 0, 255);
    return t;
}
const TTypeInfo* TypeInfoWideChar() {
    static const TTypeInfo* t = Ordinal(tkWChar, "WideChar", otUWord, 0, 65535);
    return t;
}
const TTypeInfo* TypeInfoBoolean() {
    static const TTypeInfo* t = MakeEnumTypeInfo("Boolean", {"False", "True"}, "System");
    return t;
}
const TTypeInfo* TypeInfoDouble() {
    static const TTypeInfo* t = Float("Double", ftDouble);
    return t;
}
const TTypeInfo* TypeInfoExtended() {
    static const TTypeInfo* t = Float("Extended", ftExtended);
    return t;
}
const TTypeInfo* TypeInfoDateTime() {
    static const TTypeInfo* t = Float("TDateTime", ftDouble);
    return t;
}
const TTypeInfo* TypeInfoAnsiString() {
    static const TTypeInfo* t = [] {
        TTypeInfo* s = NewType();
        s->Kind = tkLString;
        s->Name = "AnsiString";
        return s;
    }();
    return t;
}
const TTypeInfo* TypeInfoWideString() {
    static const TTypeInfo* t = [] {
        TTypeInfo* s = NewType();
        s->Kind = tkWString;
        s->Name = "WideString";
        return s;
    }();
    return t;
}
const TTypeInfo* TypeInfoTypeKind() {
    static const TTypeInfo* t =
        MakeEnumTypeInfo("TTypeKind",
                         {"tkUnknown", "tkInteger", "tkChar", "tkEnumeration", "tkFloat", "tkString", "tkSet",
                          "tkClass", "tkMethod", "tkWChar", "tkLString", "tkWString", "tkVariant", "tkArray",
                          "tkRecord", "tkInterface", "tkInt64", "tkDynArray"},
                         "TypInfo");
    return t;
}
const TTypeInfo* TypeInfoOrdType() {
    static const TTypeInfo* t = MakeEnumTypeInfo(
        "TOrdType", {"otSByte", "otUByte", "otSWord", "otUWord", "otSLong", "otULong"}, "TypInfo");
    return t;
}
const TTypeInfo* TypeInfoFloatType() {
    static const TTypeInfo* t =
        MakeEnumTypeInfo("TFloatType", {"ftSingle", "ftDouble", "ftExtended", "ftComp", "ftCurr"}, "TypInfo");
    return t;
}

const TTypeInfo* TypeInfoMethodKind() {
    static const TTypeInfo* t = MakeEnumTypeInfo(
        "TMethodKind",
        {"mkProcedure", "mkFunction", "mkConstructor", "mkDestructor", "mkClassProcedure", "mkClassFunction"},
        "TypInfo");
    return t;
}
const TTypeInfo* TypeInfoParamFlags() {
    static const TTypeInfo* t = MakeSetTypeInfo(
        "TParamFlags",
        MakeEnumTypeInfo("TParamFlag", {"pfVar", "pfConst", "pfArray", "pfAddress", "pfReference", "pfOut"},
                         "TypInfo"));
    return t;
}
const TTypeInfo* TypeInfoIntfFlags() {
    static const TTypeInfo* t = MakeSetTypeInfo(
        "TIntfFlagsBase",
        MakeEnumTypeInfo("TIntfFlag", {"ifHasGuid", "ifDispInterface", "ifDispatch"}, "TypInfo"));
    return t;
}

TTypeInfo* NewTypeInfo(TTypeKind Kind, const AnsiString& Name) {
    TTypeInfo* t = NewType();
    t->Kind = Kind;
    t->Name = Name;
    return t;
}

const TTypeInfo* MakeEnumTypeInfo(const AnsiString& Name, std::initializer_list<const char*> Names,
                                  const AnsiString& UnitName) {
    TTypeInfo* t = NewType();
    t->Kind = tkEnumeration;
    t->Name = Name;
    for (const char* n : Names)
        t->Names.push_back(n);
    t->MinValue = 0;
    t->MaxValue = int32_t(t->Names.size()) - 1;
    t->OrdType = t->Names.size() <= 256 ? otUByte : t->Names.size() <= 65536 ? otUWord : otULong;
    t->BaseType = t;
    t->UnitName = UnitName;
    return t;
}

const TTypeInfo* MakeRangeTypeInfo(const AnsiString& Name, const TTypeInfo* Base, int32_t Min, int32_t Max) {
    TTypeInfo* t = NewType();
    *t = *Base;
    t->Name = Name;
    t->MinValue = Min;
    t->MaxValue = Max;
    if (Base->Kind == tkEnumeration) {
        t->BaseType = Base->BaseType;
        t->Names.clear();
    } else {
        t->OrdType = Min >= 0 ? (Max <= 255     ? otUByte
                                 : Max <= 65535 ? otUWord
                                                : otULong)
                              : (Min >= -128 && Max <= 127       ? otSByte
                                 : Min >= -32768 && Max <= 32767 ? otSWord
                                                                 : otSLong);
    }
    return t;
}

const TTypeInfo* MakeSetTypeInfo(const AnsiString& Name, const TTypeInfo* Element) {
    TTypeInfo* t = NewType();
    t->Kind = tkSet;
    t->Name = Name;
    t->CompType = Element;
    int size = SetByteSize(t);
    t->OrdType = size <= 1 ? otUByte : size <= 2 ? otUWord : otULong;
    return t;
}

const TTypeInfo* MakeShortStringTypeInfo(const AnsiString& Name, int MaxLength) {
    TTypeInfo* t = NewType();
    t->Kind = tkString;
    t->Name = Name;
    t->MaxLength = MaxLength;
    return t;
}

void RegisterIntegerConsts(const TTypeInfo* IntType, std::vector<TIdentMapEntry> Map) {
    std::lock_guard guard(Registry().Lock);
    Registry().Consts[IntType] = std::move(Map);
}

const std::vector<TIdentMapEntry>* FindIntegerConsts(const TTypeInfo* IntType) {
    std::lock_guard guard(Registry().Lock);
    auto it = Registry().Consts.find(IntType);
    return it == Registry().Consts.end() ? nullptr : &it->second;
}

const TClassInfo* RegisterClassInfo(std::type_index Type, std::unique_ptr<TClassInfo> Info) {
    std::lock_guard guard(Registry().Lock);
    const TClassInfo* info = Info.get();
    Registry().Owned.push_back(std::move(Info));
    Registry().Classes[Type] = info;
    if (info->Create) Registry().Creatable[info->Name] = info;
    return info;
}

const TClassInfo* FindComponentClass(const AnsiString& Name) {
    std::lock_guard guard(Registry().Lock);
    auto it = Registry().Creatable.find(Name);
    return it == Registry().Creatable.end() ? nullptr : it->second;
}

const TClassInfo* GetClassInfo(const TObject* Obj) {
    if (!Obj) return nullptr;
    std::lock_guard guard(Registry().Lock);
    auto& classes = Registry().Classes;
    if (auto it = classes.find(std::type_index(typeid(*Obj))); it != classes.end()) return it->second;
    const TClassInfo* best = nullptr;
    for (const auto& [type, info] : classes)
        if (info->IsInstance && info->IsInstance(Obj) && (!best || Depth(info) > Depth(best))) best = info;
    return best;
}

std::vector<const TPropInfo*> GetPropList(const TClassInfo* Info) {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = Info; c; c = c->Parent)
        chain.push_back(c);
    std::vector<const TPropInfo*> props;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->Props)
            props.push_back(&p);
    return props;
}

int PropertyCount(const TClassInfo* Info) {
    return int(GetPropList(Info).size());
}

const TPropInfo* GetPropInfo(const TClassInfo* Info, const AnsiString& Name) {
    for (const TClassInfo* c = Info; c; c = c->Parent)
        for (const TPropInfo& p : c->Props)
            if (SameText(p.Name, Name)) return &p;
    return nullptr;
}

const TPropInfo* GetPropInfo(const TObject* Obj, const AnsiString& Name) {
    return GetPropInfo(GetClassInfo(Obj), Name);
}

AnsiString GetEnumName(const TTypeInfo* T, int Value) {
    const TTypeInfo* base = T->BaseType ? T->BaseType : T;
    if (T->Kind != tkEnumeration || Value < 0 || Value >= int(base->Names.size())) return AnsiString();
    return base->Names[std::size_t(Value)];
}

int GetEnumValue(const TTypeInfo* T, const AnsiString& Name) {
    const TTypeInfo* base = T->BaseType ? T->BaseType : T;
    for (std::size_t i = 0; i < base->Names.size(); ++i)
        if (SameText(base->Names[i], Name)) return int(i);
    return -1;
}

namespace {
[[noreturn]] void Unsupported(const TPropInfo* P) {
    throw EConvertError("Property " + (P ? P->Name : AnsiString("?")) + " is of another kind");
}
template <class V> V Get(TObject* Obj, const TPropInfo* P) {
    TPropValue v = P->Get(Obj);
    if (auto* x = std::get_if<V>(&v)) return *x;
    Unsupported(P);
}
void Put(TObject* Obj, const TPropInfo* P, TPropValue V) {
    if (!P->Set) throw EConvertError("Property " + P->Name + " is read-only");
    P->Set(Obj, V);
}
} // namespace

int64_t GetOrdProp(TObject* Obj, const TPropInfo* P) {
    return Get<int64_t>(Obj, P);
}
void SetOrdProp(TObject* Obj, const TPropInfo* P, int64_t Value) {
    Put(Obj, P, Value);
}
double GetFloatProp(TObject* Obj, const TPropInfo* P) {
    return Get<double>(Obj, P);
}
void SetFloatProp(TObject* Obj, const TPropInfo* P, double Value) {
    Put(Obj, P, Value);
}
AnsiString GetStrProp(TObject* Obj, const TPropInfo* P) {
    return Get<AnsiString>(Obj, P);
}
void SetStrProp(TObject* Obj, const TPropInfo* P, const AnsiString& Value) {
    Put(Obj, P, Value);
}
WideString GetWideStrProp(TObject* Obj, const TPropInfo* P) {
    return Get<WideString>(Obj, P);
}
void SetWideStrProp(TObject* Obj, const TPropInfo* P, const WideString& Value) {
    Put(Obj, P, Value);
}
TSetValue GetSetProp(TObject* Obj, const TPropInfo* P) {
    return Get<TSetValue>(Obj, P);
}
void SetSetProp(TObject* Obj, const TPropInfo* P, const TSetValue& Value) {
    Put(Obj, P, Value);
}
TObject* GetObjectProp(TObject* Obj, const TPropInfo* P) {
    return Get<TObject*>(Obj, P);
}
bool IsStoredProp(TObject* Obj, const TPropInfo* P) {
    return !P->Stored || P->Stored(Obj);
}

const TClassInfo* TObjectClassInfo() {
    static const TClassInfo* info = TClassInfoBuilder<TObject>("TObject", nullptr, "System").Register();
    return info;
}

const TClassInfo* TPersistentClassInfo() {
    static const TClassInfo* info =
        TClassInfoBuilder<TPersistent>("TPersistent", TObjectClassInfo(), "Classes").Register();
    return info;
}

const TClassInfo* TComponentClassInfo() {
    static const TClassInfo* info =
        TClassInfoBuilder<TComponent>("TComponent", TPersistentClassInfo(), "Classes")
            .Property(
                "Name", TypeInfoAnsiString(), [](TComponent& C) -> TPropValue { return C.Name(); },
                [](TComponent& C, const TPropValue& V) { C.SetName(std::get<AnsiString>(V)); })
            .Property(
                "Tag", TypeInfoInteger(), [](TComponent& C) -> TPropValue { return int64_t(C.Tag); },
                [](TComponent& C, const TPropValue& V) { C.Tag = intptr_t(std::get<int64_t>(V)); }, 0)
            .Register();
    return info;
}
