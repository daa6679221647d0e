// The type-information wrappers and the conversions between set values and
// texts.
#include "util/JclRTTI.h"

#include <cstring>

#include "util/JclLogic.h"
#include "util/JclStrings.h"
#include "util/JclSysUtils.h"
#include "util/JclUnitVersioning.h"

namespace {

AnsiString KindName(TTypeKind K) {
    return GetEnumName(TypeInfoTypeKind(), K);
}
AnsiString OrdName(TOrdType T) {
    return GetEnumName(TypeInfoOrdType(), T);
}
AnsiString FloatName(TFloatType T) {
    return GetEnumName(TypeInfoFloatType(), T);
}
bool IsAnonymous(const TTypeInfo* T) {
    return !T->Name.empty() && T->Name[0] == '.';
}

// "A, B, C": the names from the lowest to the highest value.
AnsiString NameList(const TJclEnumerationTypeInfo& E) {
    AnsiString names;
    for (int64_t v = E.MinValue(); v <= E.MaxValue(); ++v)
        names += (v > E.MinValue() ? ", " : "") + E.Names(int(v));
    return names;
}

} // namespace

// ------------------------------------------------------------- wrappers

int64_t TJclOrdinalRangeTypeInfo::MinValue() const {
    return FTypeInfo->OrdType == otULong ? int64_t(uint32_t(FTypeInfo->MinValue))
                                         : int64_t(FTypeInfo->MinValue);
}

int64_t TJclOrdinalRangeTypeInfo::MaxValue() const {
    return FTypeInfo->OrdType == otULong ? int64_t(uint32_t(FTypeInfo->MaxValue))
                                         : int64_t(FTypeInfo->MaxValue);
}

std::shared_ptr<IJclEnumerationTypeInfo> TJclEnumerationTypeInfo::BaseType() const {
    const TTypeInfo* base = FTypeInfo->BaseType ? FTypeInfo->BaseType : FTypeInfo;
    if (base != FTypeInfo) return std::make_shared<TJclEnumerationTypeInfo>(base);
    // Wrappers hold no state of their own, so handing out this one is safe.
    return std::static_pointer_cast<TJclEnumerationTypeInfo>(
        std::const_pointer_cast<TJclTypeInfo>(shared_from_this()));
}

AnsiString TJclEnumerationTypeInfo::Names(int Index) const {
    return GetEnumName(FTypeInfo, Index);
}

AnsiString TJclEnumerationTypeInfo::UnitName() const {
    return FTypeInfo->UnitName;
}

int TJclEnumerationTypeInfo::IndexOfName(const AnsiString& Name) const {
    for (int64_t v = MaxValue(); v >= MinValue(); --v)
        if (SameText(Names(int(v)), Name)) return int(v);
    return -1;
}

std::shared_ptr<IJclOrdinalTypeInfo> TJclSetTypeInfo::BaseType() const {
    return std::dynamic_pointer_cast<IJclOrdinalTypeInfo>(TypeInfoWrapper(FTypeInfo->CompType));
}

namespace {
AnsiString ElementText(const TTypeInfo* Elem, int64_t V) {
    return Elem->Kind == tkEnumeration ? GetEnumName(Elem, int(V)) : IntToStr(V);
}
} // namespace

void TJclSetTypeInfo::GetAsList(const TSetValue& Value, bool WantRanges, TStrings& Strings) const {
    const TTypeInfo* elem = FTypeInfo->CompType;
    uint32_t words[8];
    std::memcpy(words, Value.data(), sizeof words);
    TUpdateBracket bracket(Strings);
    int64_t runStart = -1;
    bool inRun = false;
    auto flush = [&](int64_t RunEnd) {
        if (!inRun) return;
        if (WantRanges && runStart != RunEnd)
            Strings.Add(ElementText(elem, runStart) + " .. " + ElementText(elem, RunEnd));
        else
            for (int64_t e = runStart; e <= RunEnd; ++e)
                Strings.Add(ElementText(elem, e));
        inRun = false;
    };
    int64_t e = elem->MinValue;
    for (int bit; e <= elem->MaxValue && (bit = SetElementBit(FTypeInfo, int(e))) >= 0; ++e) {
        if (TestBitInArray(words, bit)) {
            if (!inRun) runStart = e;
            inRun = true;
        } else {
            flush(e - 1);
        }
    }
    flush(e - 1);
}

void TJclSetTypeInfo::SetAsList(TSetValue& Value, const TStrings& Strings) const {
    const TTypeInfo* elem = FTypeInfo->CompType;
    TSetValue result{};
    uint32_t words[8] = {};
    auto toValue = [&](const AnsiString& Part) -> int {
        int v;
        if (elem->Kind == tkEnumeration) {
            v = TJclEnumerationTypeInfo(elem).IndexOfName(Part);
            if (v < 0) throw EJclRTTIError(Format("Unknown identifier '%s'.", {Part}));
        } else {
            v = StrToInt(Part);
        }
        // A value outside the element range would land outside the set.
        if (SetElementBit(FTypeInfo, v) < 0)
            throw EConvertError(Format("'%s' is not within the range of the set", {Part}));
        return v;
    };
    for (int i = 0; i < Strings.Count(); ++i) {
        AnsiString entry = Trim(Strings[i]);
        if (entry.empty()) continue;
        std::size_t dots = entry.find("..");
        AnsiString first = Trim(dots == AnsiString::npos ? entry : entry.substr(0, dots));
        AnsiString last = Trim(dots == AnsiString::npos ? entry : entry.substr(dots + 2));
        int a = toValue(first), b = toValue(last);
        for (int e = a; e <= b; ++e)
            SetBitInArray(words, SetElementBit(FTypeInfo, e));
    }
    std::memcpy(result.data(), words, sizeof words);
    Value = result;
}

std::shared_ptr<IJclTypeInfo> TJclPropInfo::PropType() const {
    return TypeInfoWrapper(FProp->PropType);
}

std::shared_ptr<IJclClassTypeInfo> TJclClassTypeInfo::Parent() const {
    const TClassInfo* c = ClassRef();
    if (!c || !c->Parent) return nullptr;
    return std::make_shared<TJclClassTypeInfo>(c->Parent->TypeInfo());
}

int TJclClassTypeInfo::TotalPropertyCount() const {
    return ::PropertyCount(ClassRef());
}

int TJclClassTypeInfo::PropertyCount() const {
    return ClassRef() ? int(ClassRef()->Props.size()) : 0;
}

std::shared_ptr<IJclPropInfo> TJclClassTypeInfo::Properties(int Index) const {
    if (Index < 0) return nullptr;
    if (Index < PropertyCount())
        return std::make_shared<TJclPropInfo>(&ClassRef()->Props[std::size_t(Index)]);
    auto parent = Parent();
    return parent ? parent->Properties(Index - PropertyCount()) : nullptr;
}

std::shared_ptr<IJclPropInfo> TJclClassTypeInfo::PropByName(const AnsiString& Name) const {
    const TPropInfo* p = GetPropInfo(ClassRef(), Name);
    return p ? std::make_shared<TJclPropInfo>(p) : nullptr;
}

std::shared_ptr<IJclTypeInfo> TypeInfoWrapper(const TTypeInfo* T) {
    switch (T->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
        return std::make_shared<TJclOrdinalRangeTypeInfo>(T);
    case tkEnumeration:
        return std::make_shared<TJclEnumerationTypeInfo>(T);
    case tkFloat:
        return std::make_shared<TJclFloatTypeInfo>(T);
    case tkString:
        return std::make_shared<TJclStringTypeInfo>(T);
    case tkSet:
        return std::make_shared<TJclSetTypeInfo>(T);
    case tkClass:
        return std::make_shared<TJclClassTypeInfo>(T);
    case tkInt64:
        return std::make_shared<TJclInt64TypeInfo>(T);
    case tkMethod:
        return std::make_shared<TJclEventTypeInfo>(T);
    case tkInterface:
        return std::make_shared<TJclInterfaceTypeInfo>(T);
    case tkDynArray:
        return std::make_shared<TJclDynArrayTypeInfo>(T);
    default:
        return std::make_shared<TJclTypeInfo>(T);
    }
}

// ------------------------------------------------------------- conversions

AnsiString EnumValueName(const TTypeInfo* T, const void* Value) {
    // Little-endian: the low bytes hold the ordinal.
    int64_t raw = 0;
    std::memcpy(&raw, Value, std::size_t(OrdSize(T->OrdType)));
    const int64_t v = NarrowOrdinal(T->OrdType, raw);
    TJclOrdinalRangeTypeInfo range(T);
    if (v >= range.MinValue() && v <= range.MaxValue()) {
        if (T->Kind == tkEnumeration) return GetEnumName(T, int(v));
        return IntToStr(v);
    }
    return Format("Value out of range (%s).", {"ordinal=" + IntToStr(v)});
}

AnsiString SetAsTextList(const TTypeInfo* T, const TSetValue& Value, bool WantBrackets, bool WantRanges,
                         TStrings& Strings) {
    const int first = Strings.Count();
    TJclSetTypeInfo(T).GetAsList(Value, WantRanges, Strings);
    AnsiString text;
    for (int i = first; i < Strings.Count(); ++i)
        text += (i > first ? ", " : "") + Strings[i];
    return WantBrackets ? "[" + text + "]" : text;
}

AnsiString SetAsText(const TTypeInfo* T, const TSetValue& Value, bool WantBrackets, bool WantRanges) {
    TStringList list;
    return SetAsTextList(T, Value, WantBrackets, WantRanges, list);
}

void TextAsSet(const TTypeInfo* T, TSetValue& Value, const AnsiString& Text) {
    AnsiString text = Trim(Text);
    if (!text.empty() && text.front() == '[') text.erase(0, 1);
    if (!text.empty() && text.back() == ']') text.pop_back();
    TStringList list;
    SplitToList(text, ",", list, true);
    TJclSetTypeInfo(T).SetAsList(Value, list);
}

// ------------------------------------------------------------- descriptions

void TJclTypeInfo::Describe(ITypeTextWriter& D) {
    D.Writeln("Name: " + Name());
    D.Writeln("Type kind: " + KindName(TypeKind()));
    D.Writeln(Format("Type info: %p", {static_cast<const void*>(FTypeInfo)}));
}

void TJclTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    D.Write(Format("// Declaration for '%s' not supported.", {Name()}));
}

void TJclOrdinalTypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    D.Writeln("Ordinal type: " + OrdName(OrdinalType()));
}

void TJclOrdinalRangeTypeInfo::Describe(ITypeTextWriter& D) {
    TJclOrdinalTypeInfo::Describe(D);
    D.Writeln("Min value: " + IntToStr(MinValue()));
    D.Writeln("Max value: " + IntToStr(MaxValue()));
}

void TJclOrdinalRangeTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    AnsiString range;
    if (TypeKind() == tkChar || TypeKind() == tkWChar) {
        auto bound = [](int64_t V) {
            return V >= 32 && V <= 126 ? "'" + AnsiString(1, char(V)) + "'" : "#" + IntToStr(V);
        };
        range = bound(MinValue()) + ".." + bound(MaxValue());
    } else {
        range = IntToStr(MinValue()) + ".." + IntToStr(MaxValue());
    }
    D.Writeln(Name() + " = " + range + "; // " + OrdName(OrdinalType()));
}

void TJclEnumerationTypeInfo::Describe(ITypeTextWriter& D) {
    TJclOrdinalRangeTypeInfo::Describe(D);
    D.Writeln("Unit name: " + UnitName());
    D.Writeln("Names: (" + NameList(*this) + ")");
}

void TJclEnumerationTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    const bool named = !IsAnonymous(FTypeInfo);
    if (named) D.Write(Name() + " = ");
    const TTypeInfo* base = FTypeInfo->BaseType ? FTypeInfo->BaseType : FTypeInfo;
    if (base == FTypeInfo)
        D.Write("(" + NameList(*this) + ")");
    else
        D.Write(Names(int(MinValue())) + " .. " + Names(int(MaxValue())));
    if (named) D.Writeln("; // " + OrdName(OrdinalType()));
}

void TJclSetTypeInfo::Describe(ITypeTextWriter& D) {
    TJclOrdinalTypeInfo::Describe(D);
    D.Writeln("Based on: ");
    D.Indent();
    TypeInfoWrapper(FTypeInfo->CompType)->WriteTo(D);
    D.Outdent();
}

void TJclSetTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    const bool named = !IsAnonymous(FTypeInfo);
    if (named) D.Write(Name() + " = set of ");
    const TTypeInfo* elem = FTypeInfo->CompType;
    if (!IsAnonymous(elem))
        D.Write(elem->Name);
    else if (elem->Kind == tkEnumeration)
        TypeInfoWrapper(elem)->DeclarationTo(D);
    else
        D.Write("???");
    if (named) D.Writeln("; // " + OrdName(OrdinalType()));
}

void TJclFloatTypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    D.Writeln("Float type: " + FloatName(FloatType()));
}

void TJclFloatTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    D.Writeln(Name() + " = type " + FloatName(FloatType()).substr(2) + ";");
}

void TJclStringTypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    D.Writeln("Max length: " + IntToStr(MaxLength()));
}

void TJclStringTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    const bool named = !IsAnonymous(FTypeInfo);
    if (named) D.Write(Name() + " = ");
    D.Write("string[" + IntToStr(MaxLength()) + "]");
    if (named) D.Writeln(";");
}

namespace {
AnsiString SpecKindName(TJclPropSpecKind K) {
    switch (K) {
    case pskStaticMethod:
        return "static method";
    case pskVirtualMethod:
        return "virtual method";
    case pskField:
        return "field";
    default:
        return AnsiString();
    }
}
} // namespace

void TJclClassTypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    const TClassInfo* c = ClassRef();
    D.Writeln("Class name: " + Name());
    D.Writeln("Parent: " + AnsiString(c && c->Parent ? c->Parent->Name : AnsiString()));
    D.Writeln("Unit name: " + UnitName());
    D.Writeln("Property count: " + IntToStr(PropertyCount()) + " (" + IntToStr(TotalPropertyCount()) + ")");
    D.Indent();
    for (int i = 0; i < PropertyCount(); ++i) {
        auto p = Properties(i);
        D.Writeln(p->Name() + ": " + p->PropType()->Name());
        D.Indent();
        if (p->HasIndex()) D.Writeln(Format("[%s %d]", {"index", p->Index()}));
        if (p->HasDefault()) D.Writeln(Format("[%s %d]", {"default", p->Default()}));
        if (p->ReaderType() != pskNone)
            D.Writeln(Format("[%s %s $%p]",
                             {"read", SpecKindName(p->ReaderType()), static_cast<const void*>(nullptr)}));
        if (p->WriterType() != pskNone)
            D.Writeln(Format("[%s %s $%p]",
                             {"write", SpecKindName(p->WriterType()), static_cast<const void*>(nullptr)}));
        if (p->StoredType() == pskConstant)
            D.Writeln(Format("[%s=%s]", {"stored", "True"}));
        else
            D.Writeln(Format("[%s=%s $%p]",
                             {"stored", SpecKindName(p->StoredType()), static_cast<const void*>(nullptr)}));
        D.Outdent();
    }
    D.Outdent();
}

void TJclClassTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    const TClassInfo* c = ClassRef();
    if (c && c->Parent && !SameText(c->Parent->Name, "TObject"))
        D.Writeln(Name() + " = class(" + c->Parent->Name + ") // unit " + UnitName());
    else
        D.Writeln(Name() + " = class // unit " + UnitName());
    if (PropertyCount() > 0) {
        D.Writeln("published");
        D.Indent();
        for (int i = 0; i < PropertyCount(); ++i) {
            auto p = Properties(i);
            AnsiString line = "property " + p->Name() + ": " + p->PropType()->Name();
            if (p->HasIndex()) line += Format(" index %d", {p->Index()});
            if (p->ReaderType() != pskNone)
                line += Format(" read [%s $%p]",
                               {SpecKindName(p->ReaderType()), static_cast<const void*>(nullptr)});
            if (p->WriterType() != pskNone)
                line += Format(" write [%s $%p]",
                               {SpecKindName(p->WriterType()), static_cast<const void*>(nullptr)});
            if (p->StoredType() == pskConstant)
                line += " stored = True";
            else
                line += Format(" stored = [%s $%p]",
                               {SpecKindName(p->StoredType()), static_cast<const void*>(nullptr)});
            if (p->HasDefault()) line += " default " + IntToStr(p->Default());
            D.Writeln(line + ";");
        }
        D.Outdent();
    }
    D.Writeln("end;");
}

void TJclInt64TypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    D.Writeln("Min value: " + IntToStr(MinValue()));
    D.Writeln("Max value: " + IntToStr(MaxValue()));
}

void TJclInt64TypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    D.Writeln(Name() + " = " + IntToStr(MinValue()) + " .. " + IntToStr(MaxValue()) + ";");
}

// ------------------------------------------------------------- methods, interfaces, arrays

namespace {
TSetValue FlagsValue(uint8_t Flags) {
    TSetValue v{};
    v[0] = Flags;
    return v;
}
} // namespace

std::shared_ptr<IJclEventParamInfo> TJclEventTypeInfo::Parameters(int Index) const {
    if (Index < 0 || Index >= ParameterCount()) return nullptr;
    return std::make_shared<TJclEventParamInfo>(&FTypeInfo->Params[std::size_t(Index)]);
}

void TJclEventTypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    D.Writeln("Method kind: " + GetEnumName(TypeInfoMethodKind(), MethodKind()));
    D.Writeln("Parameter count: " + IntToStr(ParameterCount()));
    D.Indent();
    for (int i = 0; i < ParameterCount(); ++i) {
        if (i) D.Writeln();
        auto p = Parameters(i);
        D.Writeln("Name: " + p->Name());
        D.Writeln("Type: " + p->TypeName());
        D.Writeln("Flags: " + SetAsText(TypeInfoParamFlags(), FlagsValue(p->Flags()), true, false));
    }
    D.Outdent();
    if (MethodKind() == mkFunction) D.Writeln("Return type: " + ResultTypeName());
}

void TJclEventTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    AnsiString line = Name() + " = " + (MethodKind() == mkFunction ? "function" : "procedure");
    for (int i = 0; i < ParameterCount(); ++i) {
        auto p = Parameters(i);
        line += i ? "; " : "(";
        const uint8_t f = p->Flags();
        if (f & (1 << pfVar))
            line += "var ";
        else if (f & (1 << pfConst))
            line += "const ";
        else if (f & (1 << pfOut))
            line += "out ";
        line += p->Name();
        if (!p->TypeName().empty()) {
            line += ": ";
            if (f & (1 << pfArray)) line += "array of ";
            line += (f & (1 << pfArray)) && SameText(p->TypeName(), "TVarRec") ? AnsiString("const")
                                                                               : p->TypeName();
        }
    }
    if (ParameterCount()) line += ")";
    if (MethodKind() == mkFunction) line += ": " + ResultTypeName();
    D.Writeln(line + " of object;");
}

std::shared_ptr<IJclInterfaceTypeInfo> TJclInterfaceTypeInfo::Parent() const {
    return FTypeInfo->IntfParent ? std::make_shared<TJclInterfaceTypeInfo>(FTypeInfo->IntfParent) : nullptr;
}

TGUID TJclInterfaceTypeInfo::GUID() const {
    return Flags() & (1 << ifHasGuid) ? FTypeInfo->Guid : TGUID{};
}

void TJclInterfaceTypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    if (Flags() & (1 << ifHasGuid)) D.Writeln("GUID: " + GuidToText(GUID()));
    D.Writeln("Flags: " + SetAsText(TypeInfoIntfFlags(), FlagsValue(Flags()), true, false));
    D.Writeln("Unit name: " + UnitName());
    if (auto parent = Parent()) D.Writeln("Parent: " + parent->Name());
    D.Writeln("Property count: " + IntToStr(PropertyCount()));
}

void TJclInterfaceTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    AnsiString line = Name() + " = " + (Flags() & (1 << ifDispInterface) ? "dispinterface" : "interface");
    auto parent = Parent();
    if (!(Flags() & (1 << ifDispatch)) && parent && !SameText(parent->Name(), "IUnknown"))
        line += "(" + parent->Name() + ")";
    D.Writeln(line + " // unit " + UnitName());
    D.Indent();
    if (Flags() & (1 << ifHasGuid)) D.Writeln("['" + GuidToText(GUID()) + "']");
    D.Outdent();
    D.Writeln("end;");
}

std::shared_ptr<IJclTypeInfo> TJclDynArrayTypeInfo::ElementType() const {
    const TTypeInfo* e = FTypeInfo->ElType ? FTypeInfo->ElType : FTypeInfo->ElType2;
    return e ? TypeInfoWrapper(e) : nullptr;
}

void TJclDynArrayTypeInfo::Describe(ITypeTextWriter& D) {
    TJclTypeInfo::Describe(D);
    D.Writeln("Element size: " + IntToStr(ElementSize()));
    std::shared_ptr<IJclTypeInfo> e = ElementType();
    if (!e) {
        D.Writeln("Element type: ???");
    } else if (IsAnonymous(e->TypeInfo())) {
        D.Writeln("Element type: ");
        D.Indent();
        e->WriteTo(D);
        D.Outdent();
    } else {
        D.Writeln("Element type: " + e->Name());
    }
    D.Writeln(AnsiString("Elements need clean up: ") + (ElementsNeedCleanup() ? "True" : "False"));
    D.Writeln("Variant type: " + IntToStr(VarType()));
    D.Writeln("Unit name: " + UnitName());
}

void TJclDynArrayTypeInfo::WriteDeclaration(ITypeTextWriter& D) {
    const bool named = !IsAnonymous(FTypeInfo);
    D.Write(named ? Name() + " = array of " : AnsiString("array of "));
    std::shared_ptr<IJclTypeInfo> e = ElementType();
    if (!e)
        D.Write("???");
    else if (IsAnonymous(e->TypeInfo()))
        e->DeclarationTo(D);
    else
        D.Write(e->Name());
    if (named) D.Writeln("; // Unit " + UnitName());
}

LIBRARY_UNIT_VERSION("util/JclRTTI.cpp", "1", "2026-12-10", "JclLib\\source\\common")
