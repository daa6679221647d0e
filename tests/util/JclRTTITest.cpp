// Type information wrappers: sets as text both ways and type descriptions.
#include <gtest/gtest.h>

#include <array>

#include "util/JclRTTI.h"

namespace {

const TTypeInfo* Letters5() {
    static const TTypeInfo* t = MakeEnumTypeInfo("TFive", {"a", "b", "c", "d", "e"}, "uTest");
    return t;
}
const TTypeInfo* Letters5Set() {
    static const TTypeInfo* t = MakeSetTypeInfo("TFiveSet", Letters5());
    return t;
}
const TTypeInfo* SmallSet() {
    static const TTypeInfo* t =
        MakeSetTypeInfo("TSmallSet", MakeRangeTypeInfo("TSmall", TypeInfoInteger(), 3, 10));
    return t;
}
const TTypeInfo* ByteSet() {
    static const TTypeInfo* t =
        MakeSetTypeInfo("TByteSet", MakeRangeTypeInfo("Byte", TypeInfoInteger(), 0, 255));
    return t;
}

TSetValue Members(const TTypeInfo* SetType, std::initializer_list<int> Elements) {
    TSetValue v{};
    const int lo = SetType->CompType->MinValue;
    for (int e : Elements) {
        int bit = e - lo + lo % 8;
        v[std::size_t(bit / 8)] |= uint8_t(1 << (bit % 8));
    }
    return v;
}

TEST(JclRTTITest, SetsAsTextBothWays) {
    struct Case {
        const TTypeInfo* Type;
        TSetValue Value;
        bool Ranges;
        AnsiString Text;
    };
    const Case cases[] = {
        {Letters5Set(), Members(Letters5Set(), {}), false, "[]"},
        {Letters5Set(), Members(Letters5Set(), {0, 1, 2, 4}), false, "[a, b, c, e]"},
        {Letters5Set(), Members(Letters5Set(), {0, 1, 2, 4}), true, "[a .. c, e]"},
        {Letters5Set(), Members(Letters5Set(), {4}), true, "[e]"},
        {SmallSet(), Members(SmallSet(), {3, 4, 9}), false, "[3, 4, 9]"},
        {SmallSet(), Members(SmallSet(), {3, 4, 5, 10}), true, "[3 .. 5, 10]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetAsText(c.Type, c.Value, true, c.Ranges), c.Text);
        TSetValue back{};
        back[31] = 0xFF; // every byte is rebuilt
        TextAsSet(c.Type, back, c.Text);
        EXPECT_EQ(back, c.Value) << c.Text;
    }
    EXPECT_EQ(SetAsText(Letters5Set(), Members(Letters5Set(), {0, 1}), false, false), "a, b");
    // Bits 3, 4 and 9 of the first two bytes.
    TSetValue small = Members(SmallSet(), {3, 4, 9});
    EXPECT_EQ(small[0], 0x18);
    EXPECT_EQ(small[1], 0x02);
    EXPECT_EQ(SetByteSize(SmallSet()), 2);
}

TEST(JclRTTITest, SetsOverNegativeElementsKeepEveryMember) {
    static const TTypeInfo* t =
        MakeSetTypeInfo("TNegSet", MakeRangeTypeInfo("TNeg", TypeInfoInteger(), -3, 4));
    // Element -3 is bit 5 (-3 mod 8), so -3 and -2 are bits 5 and 6, 4 is bit 12.
    TSetValue v{};
    v[0] = 0x60;
    v[1] = 0x10;
    EXPECT_EQ(SetByteSize(t), 2);
    EXPECT_EQ(SetAsText(t, v, true, false), "[-3, -2, 4]");
    EXPECT_EQ(SetAsText(t, v, true, true), "[-3 .. -2, 4]");
    TSetValue back{};
    TextAsSet(t, back, "[-3 .. -2, 4]");
    EXPECT_EQ(back, v);
    EXPECT_THROW(TextAsSet(t, back, "[-4]"), EConvertError);
}

TEST(JclRTTITest, TextAsSetIsTolerantOfSpellingButNotOfUnknownMembers) {
    const TSetValue abe = Members(Letters5Set(), {0, 1, 4});
    for (const AnsiString text : {"[A, b ,E]", "a,b,e", "[a, b, e", " a .. b , e ]", "[a,,b, e]"}) {
        TSetValue v{};
        TextAsSet(Letters5Set(), v, text);
        EXPECT_EQ(v, abe) << text;
    }
    TSetValue empty{};
    for (const AnsiString text : {"", "[]", " [ ] "}) {
        TSetValue v = abe;
        TextAsSet(Letters5Set(), v, text);
        EXPECT_EQ(v, empty) << text;
    }
    TSetValue v = abe;
    try {
        TextAsSet(Letters5Set(), v, "[a, x]");
        FAIL();
    } catch (const EJclRTTIError& e) {
        EXPECT_EQ(e.Message, "Unknown identifier 'x'.");
    }
    EXPECT_EQ(v, abe); // nothing changes on failure
    EXPECT_THROW(TextAsSet(SmallSet(), v, "[3, 11]"), EConvertError);
    EXPECT_THROW(TextAsSet(SmallSet(), v, "[2]"), EConvertError);
    EXPECT_THROW(TextAsSet(SmallSet(), v, "[3x]"), EConvertError);
}

TEST(JclRTTITest, AFullByteSetIsWalkedOnce) {
    TSetValue all;
    all.fill(0xFF);
    TStringList list;
    list.Add("kept");
    SetAsTextList(ByteSet(), all, false, false, list);
    ASSERT_EQ(list.Count(), 257);
    EXPECT_EQ(list[256], "255");
    EXPECT_EQ(SetAsText(ByteSet(), all, true, true), "[0 .. 255]");
    TSetValue back{};
    TextAsSet(ByteSet(), back, "[0 .. 255]");
    EXPECT_EQ(back, all);
}

TEST(JclRTTITest, EnumValueNamesAndWrappers) {
    uint8_t seven = 7, forty = 40;
    EXPECT_EQ(EnumValueName(TypeInfoTypeKind(), &seven), "tkClass");
    EXPECT_EQ(EnumValueName(TypeInfoTypeKind(), &forty), "Value out of range (ordinal=40).");
    // Wider and signed storage sizes are read whole and sign-extended.
    const TTypeInfo* word = MakeRangeTypeInfo("TSignedWord", TypeInfoInteger(), -200, 200);
    int16_t below = -150, above = 300;
    int32_t negative = -5;
    EXPECT_EQ(EnumValueName(word, &below), "-150");
    EXPECT_EQ(EnumValueName(word, &above), "Value out of range (ordinal=300).");
    EXPECT_EQ(EnumValueName(TypeInfoInteger(), &negative), "-5");
    std::shared_ptr<IJclTypeInfo> s = TypeInfoWrapper(TypeInfoAnsiString());
    EXPECT_EQ(typeid(*s), typeid(TJclTypeInfo));
    EXPECT_EQ(s->TypeKind(), tkLString);
    auto e = std::dynamic_pointer_cast<IJclEnumerationTypeInfo>(TypeInfoWrapper(TypeInfoTypeKind()));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->IndexOfName("TKCLASS"), 7);
    EXPECT_EQ(e->IndexOfName("nothing"), -1);
    EXPECT_EQ(e->BaseType(), e);
    auto sub = std::dynamic_pointer_cast<IJclEnumerationTypeInfo>(
        TypeInfoWrapper(MakeRangeTypeInfo("TMiddle", Letters5(), 1, 3)));
    EXPECT_EQ(sub->BaseType()->Name(), "TFive");
    EXPECT_EQ(sub->IndexOfName("a"), -1); // outside the range
    auto card = std::dynamic_pointer_cast<IJclOrdinalRangeTypeInfo>(TypeInfoWrapper(TypeInfoCardinal()));
    EXPECT_EQ(card->MaxValue(), 4294967295LL);
}

class TRecordingWriter : public ITypeTextWriter {
public:
    void Write(const AnsiString& S) override { Line += S; }
    void Writeln(const AnsiString& S) override {
        Lines.push_back(std::string(std::size_t(Depth * 2), ' ') + Line + S);
        Line.clear();
    }
    void Indent() override { ++Depth; }
    void Outdent() override { --Depth; }
    std::vector<std::string> Lines;
    AnsiString Line;
    int Depth = 0;
};

class TDescribed : public TPersistent {
public:
    int Count = 0;
    AnsiString Caption;
};
const TClassInfo* DescribedInfo() {
    static const TClassInfo* info = TClassInfoBuilder<TDescribed>("TDescribed", TObjectClassInfo(), "uTest")
                                        .Property("Count", TypeInfoInteger(), &TDescribed::Count, 3)
                                        .Property("Caption", TypeInfoAnsiString(), &TDescribed::Caption)
                                        .Register();
    return info;
}

TEST(JclRTTITest, EachWrapperOffersItsInterfaceAndItsParentsOnly) {
    TTypeInfo* method = NewTypeInfo(tkMethod, "TProbeEvent");
    TTypeInfo* intf = NewTypeInfo(tkInterface, "IProbe");
    TTypeInfo* array = NewTypeInfo(tkDynArray, "TProbeArray");
    // The interfaces a wrapper offers, as a row of flags: ordinal, range,
    // enumeration, set, float, string, class, event, interface, 64-bit, array.
    using Offers = std::array<bool, 11>;
    auto offers = [](const TTypeInfo* T) {
        std::shared_ptr<IJclTypeInfo> w = TypeInfoWrapper(T);
        return Offers{bool(std::dynamic_pointer_cast<IJclOrdinalTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclOrdinalRangeTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclEnumerationTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclSetTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclFloatTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclStringTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclClassTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclEventTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclInterfaceTypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclInt64TypeInfo>(w)),
                      bool(std::dynamic_pointer_cast<IJclDynArrayTypeInfo>(w))};
    };
    const bool o = true, _ = false;
    struct {
        const TTypeInfo* Type;
        Offers Expected;
    } cases[] = {
        {TypeInfoInteger(), {o, o, _, _, _, _, _, _, _, _, _}},
        {TypeInfoChar(), {o, o, _, _, _, _, _, _, _, _, _}},
        {TypeInfoTypeKind(), {o, o, o, _, _, _, _, _, _, _, _}},
        {Letters5Set(), {o, _, _, o, _, _, _, _, _, _, _}},
        {TypeInfoDouble(), {_, _, _, _, o, _, _, _, _, _, _}},
        {MakeShortStringTypeInfo("TProbeName", 8), {_, _, _, _, _, o, _, _, _, _, _}},
        {DescribedInfo()->TypeInfo(), {_, _, _, _, _, _, o, _, _, _, _}},
        {method, {_, _, _, _, _, _, _, o, _, _, _}},
        {intf, {_, _, _, _, _, _, _, _, o, _, _}},
        {TypeInfoInt64(), {_, _, _, _, _, _, _, _, _, o, _}},
        {array, {_, _, _, _, _, _, _, _, _, _, o}},
        {TypeInfoAnsiString(), {_, _, _, _, _, _, _, _, _, _, _}},
    };
    for (auto& c : cases)
        EXPECT_EQ(offers(c.Type), c.Expected) << c.Type->Name;
    auto set = std::dynamic_pointer_cast<IJclSetTypeInfo>(TypeInfoWrapper(Letters5Set()));
    EXPECT_EQ(set->BaseType()->Name(), "TFive");
    EXPECT_TRUE(std::dynamic_pointer_cast<IJclEnumerationTypeInfo>(set->BaseType())) << "the element wrapper";
}

TEST(JclRTTITest, Declarations) {
    auto declare = [](const TTypeInfo* T) {
        TRecordingWriter w;
        TypeInfoWrapper(T)->DeclarationTo(w);
        if (!w.Line.empty()) w.Writeln("");
        return w.Lines;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(declare(MakeRangeTypeInfo("TLetters", TypeInfoChar(), 'a', 'z')),
              Lines{"TLetters = 'a'..'z'; // otUByte"});
    EXPECT_EQ(declare(MakeRangeTypeInfo("TCtl", TypeInfoChar(), 0, 'A')),
              Lines{"TCtl = #0..'A'; // otUByte"});
    EXPECT_EQ(
        declare(TypeInfoTypeKind()),
        Lines{"TTypeKind = (tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, "
              "tkMethod, tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, "
              "tkDynArray); // otUByte"});
    EXPECT_EQ(declare(MakeRangeTypeInfo("TMiddle", Letters5(), 1, 3)), Lines{"TMiddle = b .. d; // otUByte"});
    EXPECT_EQ(declare(MakeSetTypeInfo("TAnon", MakeEnumTypeInfo(".1", {"x", "y"}, "uTest"))),
              Lines{"TAnon = set of (x, y); // otUByte"});
    EXPECT_EQ(declare(TypeInfoDouble()), Lines{"Double = type Double;"});
    EXPECT_EQ(declare(MakeShortStringTypeInfo("TName", 20)), Lines{"TName = string[20];"});
    EXPECT_EQ(declare(TypeInfoInt64()), Lines{"Int64 = -9223372036854775808 .. 9223372036854775807;"});
    EXPECT_EQ(declare(TypeInfoAnsiString()), Lines{"// Declaration for 'AnsiString' not supported."});
    Lines cls = declare(DescribedInfo()->TypeInfo());
    ASSERT_EQ(cls.size(), 5u);
    EXPECT_EQ(cls[0], "TDescribed = class // unit uTest");
    EXPECT_EQ(cls[1], "published");
    EXPECT_EQ(cls[2].substr(0, 31), "  property Count: Integer read ");
    EXPECT_NE(cls[2].find("stored = True default 3;"), std::string::npos);
    EXPECT_EQ(cls[4], "end;");
}

TEST(JclRTTITest, Descriptions) {
    TRecordingWriter w;
    TypeInfoWrapper(Letters5Set())->WriteTo(w);
    ASSERT_GE(w.Lines.size(), 10u);
    EXPECT_EQ(w.Lines[0], "Name: TFiveSet");
    EXPECT_EQ(w.Lines[1], "Type kind: tkSet");
    EXPECT_EQ(w.Lines[3], "Ordinal type: otUByte");
    EXPECT_EQ(w.Lines[4], "Based on: ");
    EXPECT_EQ(w.Lines[5], "  Name: TFive");
    EXPECT_EQ(w.Lines.back(), "  Names: (a, b, c, d, e)");
    TRecordingWriter c;
    TypeInfoWrapper(DescribedInfo()->TypeInfo())->WriteTo(c);
    EXPECT_EQ(c.Lines[3], "Class name: TDescribed");
    EXPECT_EQ(c.Lines[4], "Parent: TObject");
    EXPECT_EQ(c.Lines[6], "Property count: 2 (2)");
    EXPECT_EQ(c.Lines[7], "  Count: Integer");
    EXPECT_EQ(c.Lines[8], "    [default 3]");
    auto cls = std::dynamic_pointer_cast<IJclClassTypeInfo>(TypeInfoWrapper(DescribedInfo()->TypeInfo()));
    EXPECT_EQ(cls->Properties(1)->Name(), "Caption");
    EXPECT_EQ(cls->PropByName("caption")->Name(), "Caption");
    EXPECT_EQ(cls->Properties(2), nullptr);
    EXPECT_EQ(cls->Parent()->Name(), "TObject");
}

TEST(JclRTTITest, MethodInterfaceAndArrayTypes) {
    TTypeInfo* notify = NewTypeInfo(tkMethod, "TNotifyEvent");
    notify->Params.push_back({0, "Sender", "TObject"});
    TTypeInfo* getter = NewTypeInfo(tkMethod, "TGetText");
    getter->MethodKind = mkFunction;
    getter->Params.push_back({1 << pfVar, "Text", "string"});
    getter->Params.push_back({(1 << pfConst) | (1 << pfArray), "Args", "TVarRec"});
    getter->ResultType = "Boolean";
    TTypeInfo* bare = NewTypeInfo(tkMethod, "TBare");
    TTypeInfo* unknown = NewTypeInfo(tkInterface, "IUnknown");
    TTypeInfo* intf = NewTypeInfo(tkInterface, "IStorageSelfPersist");
    intf->IntfParent = unknown;
    intf->IntfFlags = 1 << ifHasGuid;
    intf->Guid = {0xE3754817, 0x49A3, 0x4612, {0xA2, 0x28, 0x5D, 0x44, 0xA0, 0x88, 0x68, 0x1D}};
    intf->UnitName = "JvAppStorage";
    TTypeInfo* derived = NewTypeInfo(tkInterface, "IDerived");
    derived->IntfParent = intf;
    derived->UnitName = "uTest";
    TTypeInfo* array = NewTypeInfo(tkDynArray, "TIntArray");
    array->ElSize = 4;
    array->ElType2 = TypeInfoInteger();
    array->UnitName = "uTest";
    TTypeInfo* anonymous = NewTypeInfo(tkDynArray, ".2");
    anonymous->ElSize = 4;

    auto lines = [](const TTypeInfo* T, bool Declare) {
        TRecordingWriter w;
        if (Declare)
            TypeInfoWrapper(T)->DeclarationTo(w);
        else
            TypeInfoWrapper(T)->WriteTo(w);
        if (!w.Line.empty()) w.Writeln("");
        return w.Lines;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(lines(notify, true), Lines{"TNotifyEvent = procedure(Sender: TObject) of object;"});
    EXPECT_EQ(lines(getter, true),
              Lines{"TGetText = function(var Text: string; const Args: array of const): Boolean of object;"});
    EXPECT_EQ(lines(bare, true), Lines{"TBare = procedure of object;"});
    Lines described = lines(getter, false);
    ASSERT_EQ(described.size(), 13u);
    EXPECT_EQ(described[3], "Method kind: mkFunction");
    EXPECT_EQ(described[4], "Parameter count: 2");
    EXPECT_EQ(described[7], "  Flags: [pfVar]");
    EXPECT_EQ(described[8], "  ");
    EXPECT_EQ(described[11], "  Flags: [pfConst, pfArray]");
    EXPECT_EQ(described[12], "Return type: Boolean");
    Lines bareLines = lines(bare, false);
    EXPECT_EQ(bareLines.back(), "Parameter count: 0");
    auto event = std::dynamic_pointer_cast<IJclEventTypeInfo>(TypeInfoWrapper(getter));
    EXPECT_EQ(event->Parameters(0)->RecSize(), 13);
    EXPECT_EQ(event->Parameters(2), nullptr);

    EXPECT_EQ(lines(intf, true), (Lines{"IStorageSelfPersist = interface // unit JvAppStorage",
                                        "  ['{E3754817-49A3-4612-A228-5D44A088681D}']", "end;"}));
    EXPECT_EQ(lines(derived, true),
              (Lines{"IDerived = interface(IStorageSelfPersist) // unit uTest", "end;"}));
    Lines intfLines = lines(intf, false);
    EXPECT_EQ(intfLines[3], "GUID: {E3754817-49A3-4612-A228-5D44A088681D}");
    EXPECT_EQ(intfLines[4], "Flags: [ifHasGuid]");
    EXPECT_EQ(intfLines[6], "Parent: IUnknown");
    auto d = std::dynamic_pointer_cast<IJclInterfaceTypeInfo>(TypeInfoWrapper(derived));
    EXPECT_EQ(d->GUID().D1, 0u);

    EXPECT_EQ(lines(array, true), Lines{"TIntArray = array of Integer; // Unit uTest"});
    EXPECT_EQ(lines(anonymous, true), Lines{"array of ???"});
    Lines arrayLines = lines(array, false);
    EXPECT_EQ(arrayLines[4], "Element type: Integer");
    EXPECT_EQ(arrayLines[5], "Elements need clean up: False");
}

} // namespace
