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

// Accessor kinds of a property.
enum TJclPropSpecKind { pskNone, pskStaticMethod, pskVirtualMethod, pskField, pskConstant };

// The interfaces of the wrappers, each with its identifier. Every wrapper
// class implements one of them, which extends the interface of the class it
// derives from; a wrapper lives while a reference to one of its interfaces
// does.

// The two texts every type wrapper writes: a description and a declaration.
class IJclBaseInfo {
public:
    virtual ~IJclBaseInfo() = default;
    virtual void WriteTo(ITypeTextWriter& Dest) = 0;
    virtual void DeclarationTo(ITypeTextWriter& Dest) = 0;
};

class IJclTypeInfo : public virtual IJclBaseInfo {
public:
    static constexpr TGUID IID{0x7DAD5220, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual AnsiString Name() const = 0;
    virtual const TTypeData* TypeData() const = 0;
    virtual const TTypeInfo* TypeInfo() const = 0;
    virtual TTypeKind TypeKind() const = 0;
};

class IJclOrdinalTypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD5221, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual TOrdType OrdinalType() const = 0;
};

class IJclOrdinalRangeTypeInfo : public virtual IJclOrdinalTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD5222, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual int64_t MinValue() const = 0;
    virtual int64_t MaxValue() const = 0;
};

class IJclEnumerationTypeInfo : public virtual IJclOrdinalRangeTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD5223, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    // The wrapper itself when the type is its own base.
    virtual std::shared_ptr<IJclEnumerationTypeInfo> BaseType() const = 0;
    virtual AnsiString Names(int Index) const = 0;
    virtual AnsiString UnitName() const = 0;
    // The value of a name, ignoring case; -1 when none.
    virtual int IndexOfName(const AnsiString& Name) const = 0;
};

class IJclSetTypeInfo : public virtual IJclOrdinalTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD5224, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    // The element type.
    virtual std::shared_ptr<IJclOrdinalTypeInfo> BaseType() const = 0;
    // Appends the members to Strings (which is not cleared).
    virtual void GetAsList(const TSetValue& Value, bool WantRanges, TStrings& Strings) const = 0;
    // Rebuilds Value from the entries; an unknown name raises EJclRTTIError,
    // a number that is no number or lies outside the range EConvertError.
    virtual void SetAsList(TSetValue& Value, const TStrings& Strings) const = 0;
};

class IJclFloatTypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD5225, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual TFloatType FloatType() const = 0;
};

class IJclStringTypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD5226, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual int MaxLength() const = 0;
};

// One published property of a class.
class IJclPropInfo {
public:
    static constexpr TGUID IID{0x7DAD5227, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual ~IJclPropInfo() = default;
    virtual std::shared_ptr<IJclTypeInfo> PropType() const = 0;
    virtual int32_t Index() const = 0;
    virtual int32_t Default() const = 0;
    virtual int NameIndex() const = 0;
    virtual AnsiString Name() const = 0;
    virtual TJclPropSpecKind ReaderType() const = 0;
    virtual TJclPropSpecKind WriterType() const = 0;
    virtual TJclPropSpecKind StoredType() const = 0;
    virtual bool IsStored(TObject* Instance) const = 0;
    virtual bool HasDefault() const = 0;
    virtual bool HasIndex() const = 0;
    // The property's record.
    virtual const TPropInfo* PropInfo() const = 0;
};

class IJclClassTypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD5228, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual const TClassInfo* ClassRef() const = 0;
    // None for the root class.
    virtual std::shared_ptr<IJclClassTypeInfo> Parent() const = 0;
    virtual int TotalPropertyCount() const = 0;
    virtual int PropertyCount() const = 0; // its own
    // Own properties first, then the parent's; none past the end.
    virtual std::shared_ptr<IJclPropInfo> Properties(int Index) const = 0;
    // Ignoring case, ancestors included; none when absent.
    virtual std::shared_ptr<IJclPropInfo> PropByName(const AnsiString& Name) const = 0;
    virtual AnsiString UnitName() const = 0;
};

// One parameter of a method type.
class IJclEventParamInfo {
public:
    static constexpr TGUID IID{0x7DAD5229, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual ~IJclEventParamInfo() = default;
    virtual uint8_t Flags() const = 0; // bits of TParamFlag
    virtual AnsiString Name() const = 0;
    virtual int RecSize() const = 0;
    virtual AnsiString TypeName() const = 0;
    // The parameter's record.
    virtual const TParamRecord* Param() const = 0;
};

class IJclEventTypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD522A, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual TMethodKind MethodKind() const = 0;
    virtual int ParameterCount() const = 0;
    // None past the end.
    virtual std::shared_ptr<IJclEventParamInfo> Parameters(int Index) const = 0;
    // Empty unless the method is a function.
    virtual AnsiString ResultTypeName() const = 0;
};

class IJclInterfaceTypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD522B, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    // None without a parent.
    virtual std::shared_ptr<IJclInterfaceTypeInfo> Parent() const = 0;
    virtual uint8_t Flags() const = 0; // bits of TIntfFlag
    // The all-zero GUID when the interface has none.
    virtual TGUID GUID() const = 0;
    virtual int PropertyCount() const = 0;
    virtual AnsiString UnitName() const = 0;
};

class IJclInt64TypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD522C, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual int64_t MinValue() const = 0;
    virtual int64_t MaxValue() const = 0;
};

class IJclDynArrayTypeInfo : public virtual IJclTypeInfo {
public:
    static constexpr TGUID IID{0x7DAD522E, 0x46EA, 0x11D5, {0xB0, 0xC0, 0x48, 0x54, 0xE8, 0x25, 0xF3, 0x45}};
    virtual int ElementSize() const = 0;
    // The element type that needs clean-up, else the other one; none
    // without either.
    virtual std::shared_ptr<IJclTypeInfo> ElementType() const = 0;
    virtual bool ElementsNeedCleanup() const = 0;
    virtual int VarType() const = 0;
    virtual AnsiString UnitName() const = 0;
};

// The wrappers.

class TJclTypeInfo : public virtual IJclTypeInfo, public std::enable_shared_from_this<TJclTypeInfo> {
public:
    explicit TJclTypeInfo(const TTypeInfo* ATypeInfo) : FTypeInfo(ATypeInfo) {}
    AnsiString Name() const override { return FTypeInfo->Name; }
    const TTypeData* TypeData() const override { return FTypeInfo; }
    const TTypeInfo* TypeInfo() const override { return FTypeInfo; }
    TTypeKind TypeKind() const override { return FTypeInfo->Kind; }
    // The description lines and the declaration in the library language.
    void WriteTo(ITypeTextWriter& Dest) override { Describe(Dest); }
    void DeclarationTo(ITypeTextWriter& Dest) override { WriteDeclaration(Dest); }

protected:
    virtual void Describe(ITypeTextWriter& Dest);
    virtual void WriteDeclaration(ITypeTextWriter& Dest);
    const TTypeInfo* FTypeInfo;
};

class TJclOrdinalTypeInfo : public TJclTypeInfo, public virtual IJclOrdinalTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    TOrdType OrdinalType() const override { return FTypeInfo->OrdType; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
};

class TJclOrdinalRangeTypeInfo : public TJclOrdinalTypeInfo, public virtual IJclOrdinalRangeTypeInfo {
public:
    using TJclOrdinalTypeInfo::TJclOrdinalTypeInfo;
    int64_t MinValue() const override;
    int64_t MaxValue() const override;

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclEnumerationTypeInfo : public TJclOrdinalRangeTypeInfo, public virtual IJclEnumerationTypeInfo {
public:
    using TJclOrdinalRangeTypeInfo::TJclOrdinalRangeTypeInfo;
    std::shared_ptr<IJclEnumerationTypeInfo> BaseType() const override;
    AnsiString Names(int Index) const override;
    AnsiString UnitName() const override;
    int IndexOfName(const AnsiString& Name) const override;

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclSetTypeInfo : public TJclOrdinalTypeInfo, public virtual IJclSetTypeInfo {
public:
    using TJclOrdinalTypeInfo::TJclOrdinalTypeInfo;
    std::shared_ptr<IJclOrdinalTypeInfo> BaseType() const override;
    void GetAsList(const TSetValue& Value, bool WantRanges, TStrings& Strings) const override;
    void SetAsList(TSetValue& Value, const TStrings& Strings) const override;

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclFloatTypeInfo : public TJclTypeInfo, public virtual IJclFloatTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    TFloatType FloatType() const override { return FTypeInfo->FloatType; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclStringTypeInfo : public TJclTypeInfo, public virtual IJclStringTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    int MaxLength() const override { return FTypeInfo->MaxLength; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclPropInfo : public IJclPropInfo {
public:
    explicit TJclPropInfo(const TPropInfo* AProp) : FProp(AProp) {}
    std::shared_ptr<IJclTypeInfo> PropType() const override;
    int32_t Index() const override { return FProp->Index; }
    int32_t Default() const override { return FProp->Default; }
    int NameIndex() const override { return FProp->NameIndex; }
    AnsiString Name() const override { return FProp->Name; }
    TJclPropSpecKind ReaderType() const override { return FProp->Get ? pskStaticMethod : pskNone; }
    TJclPropSpecKind WriterType() const override { return FProp->Set ? pskStaticMethod : pskNone; }
    TJclPropSpecKind StoredType() const override { return FProp->Stored ? pskStaticMethod : pskConstant; }
    bool IsStored(TObject* Instance) const override { return IsStoredProp(Instance, FProp); }
    bool HasDefault() const override { return FProp->Default != NoDefault; }
    bool HasIndex() const override { return FProp->Index != NoDefault; }
    const TPropInfo* PropInfo() const override { return FProp; }

private:
    const TPropInfo* FProp;
};

class TJclClassTypeInfo : public TJclTypeInfo, public virtual IJclClassTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    const TClassInfo* ClassRef() const override { return FTypeInfo->ClassType; }
    std::shared_ptr<IJclClassTypeInfo> Parent() const override;
    int TotalPropertyCount() const override;
    int PropertyCount() const override;
    std::shared_ptr<IJclPropInfo> Properties(int Index) const override;
    std::shared_ptr<IJclPropInfo> PropByName(const AnsiString& Name) const override;
    AnsiString UnitName() const override { return FTypeInfo->UnitName; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclInt64TypeInfo : public TJclTypeInfo, public virtual IJclInt64TypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    int64_t MinValue() const override { return FTypeInfo->MinInt64; }
    int64_t MaxValue() const override { return FTypeInfo->MaxInt64; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclEventParamInfo : public IJclEventParamInfo {
public:
    explicit TJclEventParamInfo(const TParamRecord* AParam) : FParam(AParam) {}
    uint8_t Flags() const override { return FParam->Flags; }
    AnsiString Name() const override { return FParam->Name; }
    int RecSize() const override { return int(FParam->Name.size() + FParam->TypeName.size() + 3); }
    AnsiString TypeName() const override { return FParam->TypeName; }
    const TParamRecord* Param() const override { return FParam; }

private:
    const TParamRecord* FParam;
};

class TJclEventTypeInfo : public TJclTypeInfo, public virtual IJclEventTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    TMethodKind MethodKind() const override { return FTypeInfo->MethodKind; }
    int ParameterCount() const override { return int(FTypeInfo->Params.size()); }
    std::shared_ptr<IJclEventParamInfo> Parameters(int Index) const override;
    AnsiString ResultTypeName() const override {
        return MethodKind() == mkFunction ? FTypeInfo->ResultType : AnsiString();
    }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclInterfaceTypeInfo : public TJclTypeInfo, public virtual IJclInterfaceTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    std::shared_ptr<IJclInterfaceTypeInfo> Parent() const override;
    uint8_t Flags() const override { return FTypeInfo->IntfFlags; }
    TGUID GUID() const override;
    int PropertyCount() const override { return FTypeInfo->IntfPropCount; }
    AnsiString UnitName() const override { return FTypeInfo->UnitName; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

class TJclDynArrayTypeInfo : public TJclTypeInfo, public virtual IJclDynArrayTypeInfo {
public:
    using TJclTypeInfo::TJclTypeInfo;
    int ElementSize() const override { return FTypeInfo->ElSize; }
    std::shared_ptr<IJclTypeInfo> ElementType() const override;
    bool ElementsNeedCleanup() const override { return FTypeInfo->ElType != nullptr; }
    int VarType() const override { return FTypeInfo->VarType; }
    AnsiString UnitName() const override { return FTypeInfo->UnitName; }

protected:
    void Describe(ITypeTextWriter& Dest) override;
    void WriteDeclaration(ITypeTextWriter& Dest) override;
};

// A new wrapper of the class that fits the type's kind.
std::shared_ptr<IJclTypeInfo> TypeInfoWrapper(const TTypeInfo* ATypeInfo);

// The name of the ordinal at Value (read by the type's storage size), or
// "Value out of range (ordinal=N)." outside the type's range.
AnsiString EnumValueName(const TTypeInfo* ATypeInfo, const void* Value);
AnsiString SetAsTextList(const TTypeInfo* ATypeInfo, const TSetValue& Value, bool WantBrackets,
                         bool WantRanges, TStrings& Strings);
AnsiString SetAsText(const TTypeInfo* ATypeInfo, const TSetValue& Value, bool WantBrackets, bool WantRanges);
// Brackets are removed only where they are present.
void TextAsSet(const TTypeInfo* ATypeInfo, TSetValue& Value, const AnsiString& Text);
