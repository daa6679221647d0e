// Published properties of registered classes, and collections owning their items.
#include <gtest/gtest.h>

#include "platform/rtl/Collections.h"
#include "platform/rtl/TypInfo.h"

namespace {

class TBase : public TPersistent {
public:
    int Width = 0;
};
class TDerived : public TBase {
public:
    AnsiString Title;
    double Ratio = 0;
};
class TUnregistered : public TDerived {};

const TClassInfo* BaseInfo() {
    static const TClassInfo* info = TClassInfoBuilder<TBase>("TBase", TPersistentClassInfo(), "uTest")
                                        .Property("Width", TypeInfoInteger(), &TBase::Width)
                                        .Register();
    return info;
}
const TClassInfo* DerivedInfo() {
    static const TClassInfo* info = TClassInfoBuilder<TDerived>("TDerived", BaseInfo(), "uTest")
                                        .Property("Title", TypeInfoAnsiString(), &TDerived::Title)
                                        .Property("Ratio", TypeInfoDouble(), &TDerived::Ratio)
                                        .Register();
    return info;
}

TEST(TypInfoTest, PropertiesOfRegisteredClasses) {
    DerivedInfo();
    TUnregistered obj;
    ASSERT_EQ(GetClassInfo(&obj), DerivedInfo()); // the nearest registered class
    std::vector<AnsiString> names;
    for (const TPropInfo* p : GetPropList(DerivedInfo()))
        names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<AnsiString>{"Width", "Title", "Ratio"}));
    const TPropInfo* width = GetPropInfo(&obj, "WIDTH");
    ASSERT_NE(width, nullptr);
    SetOrdProp(&obj, width, 42);
    EXPECT_EQ(obj.Width, 42);
    SetStrProp(&obj, GetPropInfo(&obj, "Title"), "t");
    EXPECT_EQ(GetStrProp(&obj, GetPropInfo(&obj, "title")), "t");
    EXPECT_THROW(GetStrProp(&obj, width), EConvertError);
    EXPECT_EQ(GetPropInfo(&obj, "Missing"), nullptr);
    EXPECT_EQ(GetEnumName(TypeInfoBoolean(), 1), "True");
    EXPECT_EQ(GetEnumName(TypeInfoBoolean(), 2), "");
    EXPECT_EQ(GetEnumValue(TypeInfoBoolean(), "false"), 0);
}

class TItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    int Value = 0;
};

TEST(TypInfoTest, CollectionsOwnTheirItems) {
    TCollection items([](TCollection* C) { return new TItem(C); });
    static_cast<TItem*>(items.Add())->Value = 1;
    TItem* second = static_cast<TItem*>(items.Add());
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(second->Index(), 1);
    items.Delete(0);
    EXPECT_EQ(second->Index(), 0);
    // A bad index is the run-time's list error, which Exception handlers see.
    EXPECT_THROW(items.Items(1), EListError);
    EXPECT_THROW(items.Delete(-1), EListError);
    delete second;
    EXPECT_EQ(items.Count(), 0);
}

} // namespace
