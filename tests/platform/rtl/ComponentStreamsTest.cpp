// Component streams: a component with its children written and read back
// through the class registry, children put back in their order, references
// set after everything is read, and damaged or refused streams leaving
// nothing behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/ComponentStreams.h"

namespace {

class TSizes : public TPersistent {
public:
    int Width = 0;
    int Height = 0;
};

enum class TShade { shLight, shMedium, shDark };

// A component with a property of every kind a stream carries. Its parts
// are its children; one read back puts itself first among its parent's
// parts, so that only SetChildOrder gives them their order again.
class TPart : public TComponent {
public:
    explicit TPart(TComponent* AOwner) : TComponent(AOwner) { ++Alive; }
    ~TPart() override {
        --Alive;
        if (FParentPart) std::erase(FParentPart->Parts, this);
        for (TPart* p : Parts)
            p->FParentPart = nullptr;
    }

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
        (void)Root;
        for (TPart* p : Parts)
            Proc(p);
    }
    void SetChildOrder(TComponent* Child, int Order) override {
        auto it = std::find(Parts.begin(), Parts.end(), Child);
        if (it == Parts.end()) return;
        Parts.erase(it);
        Parts.insert(Parts.begin() + Order, static_cast<TPart*>(Child));
    }
    void ReadState(TReader& Reader) override {
        ReadParent = Reader.Parent();
        if (auto* parent = dynamic_cast<TPart*>(Reader.Parent())) parent->Add(this, true);
        TComponent::ReadState(Reader);
    }
    void Loaded() override {
        ++LoadedCalls;
        BuddyWhenLoaded = Buddy;
        StateWhenLoaded = ComponentState();
    }
    void Add(TPart* Part, bool First = false) {
        Parts.insert(First ? Parts.begin() : Parts.end(), Part);
        Part->FParentPart = this;
    }
    void SetCount(int Value) {
        if (Value < 0) throw Exception("A count is never negative");
        Count = Value;
    }

    static inline int Alive = 0;
    int Count = 7; // declared default
    TShade Shade = TShade::shLight;
    bool Enabled = true;
    double Ratio = 0;
    AnsiString Caption;
    WideString Title;
    TSetValue Shades{};
    TSizes Sizes;
    TPart* Buddy = nullptr;
    std::vector<TPart*> Parts;
    TComponent* ReadParent = nullptr;
    int LoadedCalls = 0;
    TPart* BuddyWhenLoaded = nullptr;
    unsigned StateWhenLoaded = 0;

private:
    TPart* FParentPart = nullptr;
};

const TClassInfo* SizesInfo() {
    static const TClassInfo* info = TClassInfoBuilder<TSizes>("TSizes", TPersistentClassInfo(), "uTest")
                                        .Property("Width", TypeInfoInteger(), &TSizes::Width, 0)
                                        .Property("Height", TypeInfoInteger(), &TSizes::Height, 0)
                                        .Register();
    return info;
}

void RegisterPart() {
    static const TTypeInfo* shade = MakeEnumTypeInfo("TShade", {"shLight", "shMedium", "shDark"}, "uTest");
    static const TClassInfo* info =
        TClassInfoBuilder<TPart>("TPart", TComponentClassInfo(), "uTest")
            .Property(
                "Count", TypeInfoInteger(), [](TPart& P) -> TPropValue { return int64_t(P.Count); },
                [](TPart& P, const TPropValue& V) { P.SetCount(int(std::get<int64_t>(V))); }, 7)
            .Property("Shade", shade, &TPart::Shade)
            .Property("Enabled", TypeInfoBoolean(), &TPart::Enabled, 1)
            .Property("Ratio", TypeInfoDouble(), &TPart::Ratio)
            .Property("Caption", TypeInfoAnsiString(), &TPart::Caption)
            .Property("Title", TypeInfoWideString(), &TPart::Title)
            .Property("Shades", MakeSetTypeInfo("TShades", shade), &TPart::Shades)
            .Property(
                "Sizes", SizesInfo()->TypeInfo(),
                [](TPart& P) -> TPropValue { return static_cast<TObject*>(&P.Sizes); }, nullptr)
            .Property(
                "Buddy", TComponentClassInfo()->TypeInfo(),
                [](TPart& P) -> TPropValue { return static_cast<TObject*>(P.Buddy); },
                [](TPart& P, const TPropValue& V) { P.Buddy = dynamic_cast<TPart*>(std::get<TObject*>(V)); })
            .Register();
    (void)info;
}

// A part named Root with the parts First (holding Inner) and Second;
// Second is First's buddy and the root's buddy is Inner.
struct ComponentStreamsTest : ::testing::Test {
    ComponentStreamsTest() {
        RegisterPart();
        Root->SetName("Root");
        Root->Count = 3;
        Root->Shade = TShade::shDark;
        Root->Ratio = 0.25;
        Root->Caption = "Шкалы"_cp;
        Root->Title = u"Мотивация";
        Root->Shades[0] = 0b101;
        Root->Sizes.Width = 630;
        Root->Sizes.Height = 504;
        for (const char* name : {"First", "Second"}) {
            auto* part = new TPart(Root.get());
            part->SetName(name);
            Root->Add(part);
        }
        Inner->SetName("Inner");
        Inner->Enabled = false;
        Root->Parts[0]->Add(Inner);
        Root->Parts[0]->Buddy = Root->Parts[1];
        Root->Buddy = Inner;
    }
    ~ComponentStreamsTest() override {
        Root.reset();
        EXPECT_EQ(TPart::Alive, 0);
    }
    // Reads Bytes, which must be refused, and checks that nothing is left.
    void ExpectRefused(const std::string& Bytes, const char* Why) {
        int alive = TPart::Alive;
        EXPECT_THROW(ReadComponent(Bytes), EReadError) << Why;
        EXPECT_EQ(TPart::Alive, alive) << Why << ": nothing read is left";
    }
    std::unique_ptr<TPart> Root = std::make_unique<TPart>(nullptr);
    TPart* Inner = new TPart(Root.get());
};

// S with the first (or the last) occurrence of From replaced.
std::string Replaced(std::string S, const std::string& From, const std::string& To, bool Last = false) {
    std::size_t at = Last ? S.rfind(From) : S.find(From);
    if (at != std::string::npos) S.replace(at, From.size(), To);
    return S;
}
std::string Bytes(std::initializer_list<int> Values) {
    std::string s;
    for (int v : Values)
        s += char(v);
    return s;
}
} // namespace

TEST_F(ComponentStreamsTest, AComponentComesBackWithItsPropertiesChildrenAndReferences) {
    TComponent parent(nullptr);
    std::unique_ptr<TComponent> read = ReadComponent(WriteComponent(Root.get()), &parent);
    auto* root = dynamic_cast<TPart*>(read.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name(), "Root");
    EXPECT_EQ(root->Owner(), nullptr);
    EXPECT_EQ(root->ReadParent, &parent);
    EXPECT_EQ(root->Count, 3);
    EXPECT_EQ(root->Shade, TShade::shDark);
    EXPECT_TRUE(root->Enabled);
    EXPECT_EQ(root->Ratio, 0.25);
    EXPECT_EQ(root->Caption, "Шкалы"_cp);
    EXPECT_EQ(root->Title, u"Мотивация");
    EXPECT_EQ(root->Shades, Root->Shades);
    EXPECT_EQ(root->Sizes.Width, 630);
    EXPECT_EQ(root->Sizes.Height, 504);

    // The children in their written order, owned by the root, each read
    // with its written parent as the reader parent.
    ASSERT_EQ(root->Parts.size(), 2u);
    TPart *first = root->Parts[0], *second = root->Parts[1];
    EXPECT_EQ(first->Name(), "First");
    EXPECT_EQ(second->Name(), "Second");
    ASSERT_EQ(first->Parts.size(), 1u);
    TPart* inner = first->Parts[0];
    EXPECT_EQ(inner->Name(), "Inner");
    EXPECT_FALSE(inner->Enabled);
    EXPECT_EQ(inner->Count, 7);
    for (TPart* p : {first, second, inner})
        EXPECT_EQ(p->Owner(), root);
    EXPECT_EQ(first->ReadParent, root);
    EXPECT_EQ(inner->ReadParent, first);

    // References find the components read, before any of them is loaded.
    EXPECT_EQ(root->Buddy, inner);
    EXPECT_EQ(first->Buddy, second);
    for (TPart* p : {root, first, second, inner}) {
        EXPECT_EQ(p->LoadedCalls, 1) << p->Name();
        EXPECT_EQ(p->StateWhenLoaded & (csLoading | csReading), 0u) << p->Name();
        EXPECT_EQ(p->ComponentState() & (csLoading | csReading), 0u);
    }
    EXPECT_EQ(root->BuddyWhenLoaded, inner);
}

TEST_F(ComponentStreamsTest, OnlyStoredValuesAreWrittenAndReferencesOutOfTheStreamAreLeftOut) {
    TPart outside(nullptr);
    outside.SetName("Outside");
    Inner->Buddy = &outside;
    std::string inner = WriteComponent(Inner);
    for (const char* left : {"Count", "Caption", "Title", "Ratio", "Sizes", "Buddy", "Tag"})
        EXPECT_EQ(inner.find(left), std::string::npos) << left;
    std::unique_ptr<TComponent> read = ReadComponent(inner);
    EXPECT_EQ(static_cast<TPart*>(read.get())->Buddy, nullptr);
    EXPECT_FALSE(static_cast<TPart*>(read.get())->Enabled) << "a value other than the default is";
}

TEST_F(ComponentStreamsTest, AComponentOfAnUnregisteredClassIsNotWritten) {
    TComponent plain(nullptr);
    EXPECT_NO_THROW(WriteComponent(&plain)) << "TComponent itself is registered";
    struct TLocal : TPart {
        using TPart::TPart;
    };
    Root->Add(new TLocal(Root.get()));
    EXPECT_THROW(WriteComponent(Root.get()), EWriteError);
}

TEST_F(ComponentStreamsTest, EveryCutOfAStreamIsRefusedAndLeavesNothing) {
    const std::string bytes = WriteComponent(Root.get());
    for (std::size_t size = 0; size < bytes.size(); ++size)
        ExpectRefused(bytes.substr(0, size), ("cut at " + std::to_string(size)).c_str());
    ExpectRefused(bytes + '\0', "a byte after the end");
}

TEST_F(ComponentStreamsTest, StreamsThatNameOrHoldWhatCannotBeAreRefused) {
    const std::string bytes = WriteComponent(Root.get());
    struct {
        std::string Bytes;
        const char* Why;
    } cases[] = {
        {Replaced(bytes, "\xA7", "T"), "another format"},
        {Replaced(bytes, "TPart", "TPert", true), "an unknown class, after others were made"},
        {Replaced(bytes, "Ratio", "Ratia"), "an unknown property"},
        {Replaced(bytes, "Shade" + Bytes({1, 2, 0}), "Shade" + Bytes({1, 7, 0})),
         "an enumeration out of its range"},
        {Replaced(bytes, "Shades" + Bytes({5, 1, 5}), "Shades" + Bytes({5, 1, 13})),
         "a set element past its type"},
        {Replaced(bytes, "Caption" + Bytes({3}), "Caption" + Bytes({6})), "a value of another kind"},
        {Replaced(bytes, "Ratio" + Bytes({2}), "Ratio" + Bytes({9})), "a value of no kind"},
        {Replaced(bytes, "Inner", "Other"), "a reference to no component"},
        {Replaced(bytes, "Count" + Bytes({1, 3, 0, 0, 0, 0, 0, 0, 0}),
                  "Count" + Bytes({1, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})),
         "a value the property refuses"},
        {Replaced(bytes, Bytes({6, 0, 0, 0}) + "Second", Bytes({5, 0, 0, 0}) + "Inner", true),
         "two components of one name"},
        {Replaced(bytes, Bytes({5, 0, 0, 0}) + "Title", Bytes({0xFF, 0xFF, 0xFF, 0x7F}) + "Title"),
         "a length far past the end"},
    };
    for (auto& c : cases) {
        ASSERT_NE(c.Bytes, bytes) << c.Why;
        ExpectRefused(c.Bytes, c.Why);
    }

    // A chain of children deeper than any window holds.
    TPart* end = Inner;
    for (int i = 0; i < 70; ++i) {
        auto* p = new TPart(Root.get());
        end->Add(p);
        end = p;
    }
    EXPECT_THROW(WriteComponent(Root.get()), EWriteError);
}
