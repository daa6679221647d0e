// Wrappers over the platform's type information, one class per family of
// types, and the conversions between set values and texts.
#pragma once

#include <memory>

#include "platform/rtl/StringLists.h"
#include "platform/rtl/TypInfo.h"
#include "util/JclBase.h"

class EJclRTTIError : public EJclError {
public:
    using EJclError::EJclError;
};

// Receives the description and declaration texts of a type.
class ITypeTextWriter {
public:
    virtual ~ITypeTextWriter() = default;
    virtual void Write(const AnsiString& S) = 0;
    virtual void Writeln(const AnsiString& S = AnsiString()) = 0;
    virtual void Indent() = 0;
    virtual void Outdent() = 0;
};

class TJclTypeInfo;
using IJclTypeInfo = std::shared_ptr<TJclTypeInfo>;

class TJclTypeInfo : public std::enable_shared_from_this<TJclTypeInfo> {
public:
    explicit TJclTypeInfo(const TTypeInfo* ATypeInfo) : FTypeInfo(ATypeInfo) {}
    virtual ~TJclTypeInfo() = default;
    AnsiString Name() const { return FTypeInfo->Name; }
    const TTypeInfo* TypeData() const { return FTypeInfo; }
    const TTypeInfo* TypeInfo() const { return FTypeInfo; }
    TTypeKind TypeKind() const { return FTypeInfo->Kind; }
    // The description lines and the declaration in the library language.
    void WriteTo(ITypeTextWriter& Dest) { Describe(Dest); }
    void DeclarationTo(ITypeTextWriter& Dest) { WriteDeclaration(Dest); }

protected:
    virtual void Describe(ITypeTextWriter& Dest);
    virtual void WriteDeclaration(ITypeTextWriter& Dest);
    const TTypeInfo* FTypeInfo;
};

class TJclOrdinalTypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    TOrdType OrdinalType() const { return FTypeInfo->OrdType; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
};

class TJclOrdinalRangeTypeInfo : public TJclOrdinalTypeInfo {
public:
    using TJclOrdinalTypeInfo::TJclOrdinalTypeInfo;
    int64_t MinValue() const;
    int64_t MaxValue() const;

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclEnumerationTypeInfo : public TJclOrdinalRangeTypeInfo {
public:
    using TJclOrdinalRangeTypeInfo::TJclOrdinalRangeTypeInfo;
    std::shared_ptr<TJclEnumerationTypeInfo> BaseType();
    AnsiString Names(int Index) const;
    AnsiString UnitName() const;
    // The value of a name, ignoring case; -1 when none.
    int IndexOfName(const AnsiString& Name) const;

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclSetTypeInfo : public TJclOrdinalTypeInfo {
public:
    using TJclOrdinalTypeInfo::TJclOrdinalTypeInfo;
    std::shared_ptr<TJclOrdinalRangeTypeInfo> BaseType() const;
    // Appends the members to Strings (which is not cleared).
    void GetAsList(const TSetValue& Value, bool WantRanges, TStrings& Strings) const;
    // Rebuilds Value from the entries; an unknown name raises EJclRTTIError,
    // a number that is no number or lies outside the range EConvertError.
    void SetAsList(TSetValue& Value, const TStrings& Strings) const;

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclFloatTypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    TFloatType FloatType() const { return FTypeInfo->FloatType; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclStringTypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    int MaxLength() const { return FTypeInfo->MaxLength; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

// Accessor kinds of a property.
enum TJclPropSpecKind { pskNone, pskStaticMethod, pskVirtualMethod, pskField, pskConstant };

class TJclPropInfo {
public:
    explicit TJclPropInfo(const TPropInfo* AProp) : FProp(AProp) {}
    IJclTypeInfo PropType() const;
    AnsiString Name() const { return FProp->Name; }
    int32_t Index() const { return FProp->Index; }
    int32_t Default() const { return FProp->Default; }
    int NameIndex() const { return FProp->NameIndex; }
    TJclPropSpecKind ReaderType() const { return FProp->Get ? pskStaticMethod : pskNone; }
    TJclPropSpecKind WriterType() const { return FProp->Set ? pskStaticMethod : pskNone; }
    TJclPropSpecKind StoredType() const { return FProp->Stored ? pskStaticMethod : pskConstant; }
    bool IsStored(TObject* Instance) const { return IsStoredProp(Instance, FProp); }
    bool HasDefault() const { return FProp->Default != NoDefault; }
    bool HasIndex() const { return FProp->Index != NoDefault; }
    const TPropInfo* PropInfo() const { return FProp; }

private:
    const TPropInfo* FProp;
};

class TJclClassTypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    const TClassInfo* ClassRef() const { return FTypeInfo->ClassType; }
    std::shared_ptr<TJclClassTypeInfo> Parent() const;
    int TotalPropertyCount() const;
    int PropertyCount() const; // its own
    // Own properties first, then the parent's.
    std::shared_ptr<TJclPropInfo> Properties(int Index) const;
    std::shared_ptr<TJclPropInfo> PropByName(const AnsiString& Name) const;
    AnsiString UnitName() const { return FTypeInfo->UnitName; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclInt64TypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    int64_t MinValue() const { return FTypeInfo->MinInt64; }
    int64_t MaxValue() const { return FTypeInfo->MaxInt64; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclEventParamInfo {
public:
    explicit TJclEventParamInfo(const TParamRecord* AParam) : FParam(AParam) {}
    uint8_t Flags() const { return FParam->Flags; }
    AnsiString Name() const { return FParam->Name; }
    int RecSize() const { return int(FParam->Name.size() + FParam->TypeName.size() + 3); }
    AnsiString TypeName() const { return FParam->TypeName; }
    const TParamRecord* Param() const { return FParam; }

private:
    const TParamRecord* FParam;
};

class TJclEventTypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    TMethodKind MethodKind() const { return FTypeInfo->MethodKind; }
    int ParameterCount() const { return int(FTypeInfo->Params.size()); }
    std::shared_ptr<TJclEventParamInfo> Parameters(int Index) const;
    AnsiString ResultTypeName() const {
        return MethodKind() == mkFunction ? FTypeInfo->ResultType : AnsiString();
    }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclInterfaceTypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    std::shared_ptr<TJclInterfaceTypeInfo> Parent() const;
    uint8_t Flags() const { return FTypeInfo->IntfFlags; }
    // The all-zero GUID when the interface has none.
    TGUID GUID() const;
    int PropertyCount() const { return FTypeInfo->IntfPropCount; }
    AnsiString UnitName() const { return FTypeInfo->UnitName; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclDynArrayTypeInfo : public TJclTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    int ElementSize() const { return FTypeInfo->ElSize; }
    IJclTypeInfo ElementType() const;
    bool ElementsNeedCleanup() const { return FTypeInfo->ElType != nullptr; }
    int VarType() const { return FTypeInfo->VarType; }
    AnsiString UnitName() const { return FTypeInfo->UnitName; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

// A new wrapper of the class that fits the type's kind.
IJclTypeInfo TypeInfoWrapper(const TTypeInfo* ATypeInfo);

// The name of the ordinal at Value (read by the type's storage size), or
// "Value out of range (ordinal=N)." outside the type's range.
AnsiString EnumValueName(const TTypeInfo* ATypeInfo, const void* Value);
AnsiString SetAsTextList(const TTypeInfo* ATypeInfo, const TSetValue& Value, bool WantBrackets,
                         bool WantRanges, TStrings& Strings);
AnsiString SetAsText(const TTypeInfo* ATypeInfo, const TSetValue& Value, bool WantBrackets, bool WantRanges);
// Brackets are removed only where they are present.
void TextAsSet(const TTypeInfo* ATypeInfo, TSetValue& Value, const AnsiString& Text);
