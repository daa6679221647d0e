// Registration-based type information for published properties. A class
// that is stored or described declares its published properties once, next
// to the class (see TClassInfoBuilder); the storage and the type-information
// wrappers read them here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <variant>
#include <vector>

#include "platform/rtl/Classes.h"

enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkWString,
    tkVariant,
    tkArray,
    tkRecord,
    tkInterface,
    tkInt64,
    tkDynArray
};
enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TMethodKind { mkProcedure, mkFunction, mkConstructor, mkDestructor, mkClassProcedure, mkClassFunction };
// Bits of a parameter's flags and of an interface's flags.
enum TParamFlag { pfVar, pfConst, pfArray, pfAddress, pfReference, pfOut };
enum TIntfFlag { ifHasGuid, ifDispInterface, ifDispatch };

struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    uint8_t D4[8] = {};
};

struct TParamRecord {
    uint8_t Flags = 0; // bits of TParamFlag
    AnsiString Name;
    AnsiString TypeName;
};
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

struct TClassInfo;

struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    AnsiString Name; // a name starting with "." marks an anonymous type
    // Ordinal types.
    TOrdType OrdType = otSLong;
    int32_t MinValue = 0;
    int32_t MaxValue = 0;
    const TTypeInfo* BaseType = nullptr; // enumerations: itself, or the type it is a range of
    std::vector<AnsiString> Names;       // enumerations that are their own base
    AnsiString UnitName;
    const TTypeInfo* CompType = nullptr; // sets: the element type
    TFloatType FloatType = ftDouble;
    int MaxLength = 255; // short strings
    const TClassInfo* ClassType = nullptr;
    int64_t MinInt64 = 0;
    int64_t MaxInt64 = 0;
    // Method types.
    TMethodKind MethodKind = mkProcedure;
    std::vector<TParamRecord> Params;
    AnsiString ResultType; // functions only
    // Interfaces.
    const TTypeInfo* IntfParent = nullptr;
    uint8_t IntfFlags = 0; // bits of TIntfFlag
    TGUID Guid;
    int IntfPropCount = 0;
    // Dynamic arrays.
    int ElSize = 0;
    const TTypeInfo* ElType = nullptr;  // the element type that needs clean-up
    const TTypeInfo* ElType2 = nullptr; // the element type otherwise recorded
    int VarType = 0;
};

// The facts of a type that depend on its kind; here they live in the type
// record itself.
using TTypeData = TTypeInfo;

// Bytes of an ordinal of that storage type.
int OrdSize(TOrdType T);
// Value as a variable of that storage type holds it.
int64_t NarrowOrdinal(TOrdType T, int64_t Value);

// A set value: element e of the range [L, H] is bit (e - L) + (L mod 8).
using TSetValue = std::array<uint8_t, 32>;
int SetByteSize(const TTypeInfo* SetType);
// The bit of element E in a set value of that type; -1 when E lies outside
// the element range or past the value's 256 bits.
int SetElementBit(const TTypeInfo* SetType, int E);

// The value a property holds.
using TPropValue = std::variant<int64_t, double, AnsiString, WideString, TSetValue, TObject*>;

constexpr int32_t NoDefault = int32_t(0x80000000);

struct TPropInfo {
    AnsiString Name;
    const TTypeInfo* PropType = nullptr;
    std::function<TPropValue(TObject*)> Get;
    std::function<void(TObject*, const TPropValue&)> Set; // empty for a read-only property
    std::function<bool(TObject*)> Stored;                 // empty: always stored
    int32_t Default = NoDefault;
    int32_t Index = NoDefault;
    int NameIndex = 0;
};

struct TClassInfo {
    AnsiString Name;
    const TClassInfo* Parent = nullptr;
    AnsiString UnitName;
    std::vector<TPropInfo> Props; // its own published properties, in declaration order
    std::function<bool(const TObject*)> IsInstance;
    const std::type_info* Type = nullptr; // the class the information was registered for
    // Makes a component of the class; empty for classes a stream cannot make
    // (not components, abstract, or without an owner constructor).
    std::function<std::unique_ptr<TComponent>(TComponent* Owner)> Create;
    const TTypeInfo* TypeInfo() const { return &FTypeInfo; }
    TTypeInfo FTypeInfo;
};

// Built-in types.
const TTypeInfo* TypeInfoInteger();
const TTypeInfo* TypeInfoCardinal();
const TTypeInfo* TypeInfoInt64();
const TTypeInfo* TypeInfoChar();
const TTypeInfo* TypeInfoWideChar();
const TTypeInfo* TypeInfoBoolean();
const TTypeInfo* TypeInfoDouble();
const TTypeInfo* TypeInfoExtended();
const TTypeInfo* TypeInfoDateTime();
const TTypeInfo* TypeInfoAnsiString();
const TTypeInfo* TypeInfoWideString();
const TTypeInfo* TypeInfoTypeKind();
const TTypeInfo* TypeInfoOrdType();
const TTypeInfo* TypeInfoFloatType();
const TTypeInfo* TypeInfoMethodKind();
const TTypeInfo* TypeInfoParamFlags(); // the set of TParamFlag
const TTypeInfo* TypeInfoIntfFlags();  // the set of TIntfFlag
// An empty type record of a kind, for the types made by hand (method,
// interface and dynamic-array types); it lives for the whole run.
TTypeInfo* NewTypeInfo(TTypeKind Kind, const AnsiString& Name);

// Types made by a unit once (keep the result in a static).
const TTypeInfo* MakeEnumTypeInfo(const AnsiString& Name, std::initializer_list<const char*> Names,
                                  const AnsiString& UnitName);
// A sub-range of an enumeration, or of an integer or character type.
const TTypeInfo* MakeRangeTypeInfo(const AnsiString& Name, const TTypeInfo* Base, int32_t Min, int32_t Max);
const TTypeInfo* MakeSetTypeInfo(const AnsiString& Name, const TTypeInfo* Element);
const TTypeInfo* MakeShortStringTypeInfo(const AnsiString& Name, int MaxLength);

// Identifier converters of an integer type (colours, cursors and the like).
struct TIdentMapEntry {
    int32_t Value;
    const char* Name;
};
void RegisterIntegerConsts(const TTypeInfo* IntType, std::vector<TIdentMapEntry> Map);
// Null when the type has none.
const std::vector<TIdentMapEntry>* FindIntegerConsts(const TTypeInfo* IntType);

// Classes.
// The registry keeps the information for the rest of the process.
const TClassInfo* RegisterClassInfo(std::type_index Type, std::unique_ptr<TClassInfo> Info);
// The class information of the object's most derived registered class.
const TClassInfo* GetClassInfo(const TObject* Obj);
// The class registry of component streams: the registered component class
// that a stream can make by this name (the last one registered under it),
// or nullptr.
const TClassInfo* FindComponentClass(const AnsiString& Name);
// Ancestors' properties first, then the class's own, in declaration order.
std::vector<const TPropInfo*> GetPropList(const TClassInfo* Info);
int PropertyCount(const TClassInfo* Info);
// Searches the class and its ancestors, ignoring case.
const TPropInfo* GetPropInfo(const TClassInfo* Info, const AnsiString& Name);
const TPropInfo* GetPropInfo(const TObject* Obj, const AnsiString& Name);

AnsiString GetEnumName(const TTypeInfo* T, int Value);        // "" outside the range
int GetEnumValue(const TTypeInfo* T, const AnsiString& Name); // -1 when unknown, ignoring case

int64_t GetOrdProp(TObject* Obj, const TPropInfo* P);
void SetOrdProp(TObject* Obj, const TPropInfo* P, int64_t Value);
double GetFloatProp(TObject* Obj, const TPropInfo* P);
void SetFloatProp(TObject* Obj, const TPropInfo* P, double Value);
AnsiString GetStrProp(TObject* Obj, const TPropInfo* P);
void SetStrProp(TObject* Obj, const TPropInfo* P, const AnsiString& Value);
WideString GetWideStrProp(TObject* Obj, const TPropInfo* P);
void SetWideStrProp(TObject* Obj, const TPropInfo* P, const WideString& Value);
TSetValue GetSetProp(TObject* Obj, const TPropInfo* P);
void SetSetProp(TObject* Obj, const TPropInfo* P, const TSetValue& Value);
TObject* GetObjectProp(TObject* Obj, const TPropInfo* P);
bool IsStoredProp(TObject* Obj, const TPropInfo* P);

// Declares a class's published properties:
//   static const TClassInfo* Info = TClassInfoBuilder<TMyClass>("TMyClass", ParentInfo, "uMyUnit")
//       .Property("Count", TypeInfoInteger(), &TMyClass::Count)
//       .Register();
template <class T> class TClassInfoBuilder {
public:
    TClassInfoBuilder(const AnsiString& Name, const TClassInfo* Parent, const AnsiString& UnitName)
        : FInfo(std::make_unique<TClassInfo>()) {
        FInfo->Name = Name;
        FInfo->Parent = Parent;
        FInfo->UnitName = UnitName;
        FInfo->IsInstance = [](const TObject* O) { return dynamic_cast<const T*>(O) != nullptr; };
        FInfo->Type = &typeid(T);
        if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                      std::is_constructible_v<T, TComponent*>)
            FInfo->Create = [](TComponent* Owner) -> std::unique_ptr<TComponent> {
                return std::make_unique<T>(Owner);
            };
        FInfo->FTypeInfo.Kind = tkClass;
        FInfo->FTypeInfo.Name = Name;
        FInfo->FTypeInfo.UnitName = UnitName;
        FInfo->FTypeInfo.ClassType = FInfo.get();
    }

    // A property with its own getter and setter (Setter may be empty).
    TClassInfoBuilder& Property(const AnsiString& Name, const TTypeInfo* Type,
                                std::function<TPropValue(T&)> Getter,
                                std::function<void(T&, const TPropValue&)> Setter,
                                int32_t Default = NoDefault) {
        TPropInfo p;
        p.Name = Name;
        p.PropType = Type;
        p.Get = [Getter](TObject* O) { return Getter(static_cast<T&>(*O)); };
        if (Setter) p.Set = [Setter](TObject* O, const TPropValue& V) { Setter(static_cast<T&>(*O), V); };
        p.Default = Default;
        p.NameIndex = int(FInfo->Props.size());
        FInfo->Props.push_back(std::move(p));
        return *this;
    }

    // A property over a data member of an ordinal, float, text or object type.
    template <class M>
    TClassInfoBuilder& Property(const AnsiString& Name, const TTypeInfo* Type, M T::*Member,
                                int32_t Default = NoDefault) {
        return Property(
            Name, Type, [Member](T& O) { return ToValue(O.*Member); },
            [Member](T& O, const TPropValue& V) { FromValue(O.*Member, V); }, Default);
    }

    // A property read and written through member functions of the class or
    // of a base class, as a control's property is.
    template <class CG, class G, class CS, class S>
    TClassInfoBuilder& Property(const AnsiString& Name, const TTypeInfo* Type, G (CG::*Getter)() const,
                                void (CS::*Setter)(S), int32_t Default = NoDefault) {
        static_assert(std::is_base_of_v<CG, T> && std::is_base_of_v<CS, T>);
        return Property(
            Name, Type, [Getter](T& O) { return ToValue(std::decay_t<G>((static_cast<CG&>(O).*Getter)())); },
            [Setter](T& O, const TPropValue& V) {
                std::decay_t<S> value{};
                FromValue(value, V);
                (static_cast<CS&>(O).*Setter)(value);
            },
            Default);
    }

    TClassInfoBuilder& StoredIf(std::function<bool(T&)> Condition) {
        FInfo->Props.back().Stored = [Condition](TObject* O) { return Condition(static_cast<T&>(*O)); };
        return *this;
    }

    const TClassInfo* Register() { return RegisterClassInfo(std::type_index(typeid(T)), std::move(FInfo)); }

private:
    template <class M> static TPropValue ToValue(const M& V) {
        if constexpr (std::is_enum_v<M> || std::is_integral_v<M>)
            return int64_t(V);
        else if constexpr (std::is_floating_point_v<M>)
            return double(V);
        else if constexpr (std::is_same_v<M, AnsiString>)
            return V;
        else if constexpr (std::is_same_v<M, WideString>)
            return V;
        else if constexpr (std::is_same_v<M, TSetValue>)
            return V;
        else
            return static_cast<TObject*>(V);
    }
    template <class M> static void FromValue(M& Target, const TPropValue& V) {
        if constexpr (std::is_enum_v<M> || std::is_integral_v<M>)
            Target = M(std::get<int64_t>(V));
        else if constexpr (std::is_floating_point_v<M>)
            Target = M(std::get<double>(V));
        else if constexpr (std::is_same_v<M, AnsiString>)
            Target = std::get<AnsiString>(V);
        else if constexpr (std::is_same_v<M, WideString>)
            Target = std::get<WideString>(V);
        else if constexpr (std::is_same_v<M, TSetValue>)
            Target = std::get<TSetValue>(V);
        else
            (void)Target; // object properties are read-only references
    }
    std::unique_ptr<TClassInfo> FInfo;
};

// The information of the base classes, for classes that derive from them.
const TClassInfo* TObjectClassInfo();
const TClassInfo* TPersistentClassInfo();
const TClassInfo* TComponentClassInfo();
