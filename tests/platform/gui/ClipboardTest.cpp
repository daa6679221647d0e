// The clipboard through the layer: formats registered by name, blocks and
// text on the in-memory clipboard, data objects rendered on demand and
// withdrawn with their owner, and the checked readers of blocks.
#include <gtest/gtest.h>

#include "platform/gui/Clipbrd.h"
#include "platform/testing/MemoryClipboard.h"

namespace {
// A data object that renders its text only when asked, counting the
// renderings, and tells when it is released.
class TLazyText : public IDataObject {
public:
    explicit TLazyText(int* Released = nullptr) : FReleased(Released) {}
    ~TLazyText() override {
        if (FReleased) ++*FReleased;
    }
    int Renders = 0;

    HRESULT GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) override {
        if (HRESULT r = QueryGetData(FormatEtcIn); r != S_OK) return r;
        ++Renders;
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = std::make_shared<TBytes>(UnicodeTextBlock(u"Привет"));
        return S_OK;
    }
    HRESULT QueryGetData(const FORMATETC& FormatEtc) override {
        if (FormatEtc.cfFormat != CF_UNICODETEXT) return DV_E_FORMATETC;
        return FormatEtc.tymed & TYMED_HGLOBAL ? S_OK : DV_E_TYMED;
    }
    HRESULT EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFORMATETC>& Enum) override {
        if (Direction != DATADIR_GET) return E_NOTIMPL;
        Enum = std::make_shared<TEnumFormatEtcList>(std::vector<FORMATETC>{MakeFormatEtc(CF_UNICODETEXT)});
        return S_OK;
    }

private:
    int* FReleased;
};

TBytes Bytes(std::initializer_list<int> Values) {
    TBytes bytes;
    for (int v : Values)
        bytes.push_back(uint8_t(v));
    return bytes;
}
} // namespace

TEST(ClipboardFormatTest, NamesGetStableNumbersWhateverTheirCase) {
    const char* names[] = {"Virtual Tree Data", "ZoroZudo Format",        "Rich Text Format",
                           "HTML Format",       "UniformResourceLocator", "Virtual Tree Reference"};
    std::vector<TClipFormat> formats;
    for (const char* name : names) {
        TClipFormat f = RegisterClipboardFormat(name);
        EXPECT_GE(f, 0xC000) << name;
        EXPECT_EQ(GetClipboardFormatName(f), name);
        EXPECT_EQ(RegisterClipboardFormat(AnsiUpperCase(name)), f) << "letter case does not matter";
        EXPECT_EQ(std::count(formats.begin(), formats.end(), f), 0) << name;
        formats.push_back(f);
    }
    EXPECT_EQ(RegisterClipboardFormat(""), 0);
    EXPECT_EQ(GetClipboardFormatName(CF_TEXT), "") << "predefined formats have no registered name";
    EXPECT_EQ(GetClipboardFormatName(0xFFFF), "");
}

TEST(ClipboardTest, TextAndBlocksRoundTripAndTextFormatsStandInForEachOther) {
    TMemoryClipboard memory;
    TClipboard* clipboard = Clipboard();
    clipboard->SetAsText("Тестируемые"_cp);
    EXPECT_EQ(clipboard->AsText(), "Тестируемые"_cp);
    ASSERT_TRUE(clipboard->HasFormat(CF_UNICODETEXT)) << "plain text stands in for Unicode text";
    EXPECT_EQ(UnicodeTextFromBlock(*clipboard->GetAsHandle(CF_UNICODETEXT)), u"Тестируемые");

    // Only Unicode text written, as a copy with both text options does.
    clipboard->SetBlock(CF_UNICODETEXT, UnicodeTextBlock(u"Группы"));
    EXPECT_TRUE(clipboard->HasFormat(CF_TEXT));
    EXPECT_EQ(clipboard->AsText(), "Группы"_cp);
    EXPECT_EQ(clipboard->Formats(), (std::vector<TClipFormat>{CF_UNICODETEXT, CF_TEXT}));

    // A batch reaches the clipboard as one content and replaces what was
    // there; a later single write replaces the batch.
    TClipFormat rvf = RegisterClipboardFormat("ZoroZudo Format");
    TClipFormat rtf = RegisterClipboardFormat("Rich Text Format");
    int writes = memory.Writes;
    clipboard->Open();
    clipboard->Clear();
    std::string native = "native document";
    clipboard->SetBlock(rvf, MakeSizedBlock(native.data(), native.size()));
    clipboard->SetBlock(rtf, TextBlock("{\\rtf1 x}"));
    EXPECT_TRUE(clipboard->HasFormat(rvf)) << "a batch reads what it wrote";
    clipboard->Close();
    EXPECT_EQ(memory.Writes, writes + 1);
    EXPECT_FALSE(clipboard->HasFormat(CF_TEXT));
    EXPECT_EQ(clipboard->Formats(), (std::vector<TClipFormat>{rvf, rtf}));
    auto payload = ReadSizedBlock(*clipboard->GetAsHandle(rvf));
    ASSERT_TRUE(payload);
    EXPECT_EQ(std::string(payload->begin(), payload->end()), native);
    clipboard->SetAsText("x");
    EXPECT_FALSE(clipboard->HasFormat(rvf));
    clipboard->Clear();
    EXPECT_TRUE(clipboard->Formats().empty());
    EXPECT_EQ(clipboard->GetAsHandle(CF_TEXT), nullptr);
}

TEST(ClipboardTest, BlockReadersCheckEveryLengthAgainstTheBlock) {
    struct {
        TBytes Block;
        bool Read;
        TBytes Payload;
    } cases[] = {
        {Bytes({}), false, {}},
        {Bytes({2, 0, 0}), false, {}},
        {Bytes({0, 0, 0, 0}), true, {}},
        {Bytes({2, 0, 0, 0, 'a', 'b'}), true, Bytes({'a', 'b'})},
        {Bytes({1, 0, 0, 0, 'a', 'b'}), true, Bytes({'a'})},
        {Bytes({3, 0, 0, 0, 'a', 'b'}), false, {}},
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a'}), false, {}},
    };
    for (const auto& c : cases) {
        auto payload = ReadSizedBlock(c.Block);
        ASSERT_EQ(payload.has_value(), c.Read) << c.Block.size();
        if (payload) EXPECT_EQ(*payload, c.Payload);
    }
    EXPECT_EQ(TextFromBlock(Bytes({'a', 'b'})), "ab") << "no terminating zero";
    EXPECT_EQ(TextFromBlock(Bytes({'a', 0, 'b'})), "a");
    EXPECT_EQ(UnicodeTextFromBlock(Bytes({'a', 0, 'b'})), u"a") << "an odd last byte is no character";
    EXPECT_EQ(UnicodeTextFromBlock(Bytes({'a', 0, 0, 0, 'b', 0})), u"a");
}

TEST(ClipboardTest, ADataObjectIsRenderedOnDemandAndWithdrawnWithItsOwner) {
    TMemoryClipboard memory;
    int released = 0;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto lazy = std::make_shared<TLazyText>(&released);
    TLazyText* object = lazy.get();
    ASSERT_EQ(OleSetClipboard(std::move(lazy), owner.get()), S_OK);
    EXPECT_EQ(object->Renders, 0) << "nothing is rendered before a reader asks";
    EXPECT_EQ(OleIsCurrentClipboard(object), S_OK);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
    EXPECT_EQ(Clipboard()->AsText(), "Привет"_cp);
    EXPECT_EQ(object->Renders, 1);

    owner.reset();
    EXPECT_EQ(released, 1) << "the owner's content is withdrawn and released";
    std::shared_ptr<IDataObject> content;
    ASSERT_EQ(OleGetClipboard(content), S_OK);
    EXPECT_TRUE(OfferedFormats(*content).empty());

    // Replacing the content releases the object before it; a flushed
    // content no longer needs its source nor its owner.
    auto second = std::make_unique<TComponent>(nullptr);
    ASSERT_EQ(OleSetClipboard(std::make_shared<TLazyText>(&released)), S_OK);
    ASSERT_EQ(OleSetClipboard(std::make_shared<TLazyText>(&released), second.get()), S_OK);
    EXPECT_EQ(released, 2);
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    EXPECT_EQ(released, 3);
    second.reset();
    EXPECT_EQ(Clipboard()->AsText(), "Привет"_cp);
}

TEST(ClipboardTest, AClipboardThatCannotBeOpenedFailsEveryAccess) {
    TMemoryClipboard memory;
    Clipboard()->SetAsText("kept");
    memory.Locked = true;
    std::shared_ptr<IDataObject> content;
    EXPECT_EQ(OleGetClipboard(content), CLIPBRD_E_CANT_OPEN);
    EXPECT_EQ(OleSetClipboard(std::make_shared<TLazyText>()), CLIPBRD_E_CANT_OPEN);
    EXPECT_THROW(Clipboard()->AsText(), EClipboardException);
    EXPECT_THROW(Clipboard()->SetAsText("lost"), EClipboardException);
    memory.Locked = false;
    EXPECT_EQ(Clipboard()->AsText(), "kept");
}

TEST(DataObjectTest, EnumeratorAndQueriesAnswerAsTheInterfaceSays) {
    std::vector<FORMATETC> seven(7, MakeFormatEtc(CF_TEXT));
    TEnumFormatEtcList walk(seven);
    FORMATETC records[10];
    uint32_t fetched = 0;
    EXPECT_EQ(walk.Next(10, records, &fetched), S_OK);
    EXPECT_EQ(fetched, 7u);
    EXPECT_EQ(walk.Next(10, records, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    TEnumFormatEtcList three(std::vector<FORMATETC>(3, MakeFormatEtc(CF_TEXT)));
    EXPECT_EQ(three.Skip(4), S_FALSE) << "too far: the position stays";
    EXPECT_EQ(three.Skip(3), S_OK);
    EXPECT_EQ(three.Next(1, records, nullptr), S_FALSE);

    TBlockDataObject data;
    data.SetBlock(CF_TEXT, TextBlock("abc"));
    struct {
        FORMATETC Query;
        HRESULT Answer;
    } queries[] = {
        {MakeFormatEtc(CF_TEXT), S_OK},
        {MakeFormatEtc(CF_TEXT, TYMED_ISTREAM), S_OK},
        {MakeFormatEtc(CF_UNICODETEXT), DV_E_FORMATETC},
        {MakeFormatEtc(CF_TEXT, TYMED_GDI), DV_E_TYMED},
        {{CF_TEXT, nullptr, 4, -1, TYMED_HGLOBAL}, DV_E_DVASPECT},
        {{CF_TEXT, nullptr, DVASPECT_CONTENT, 2, TYMED_HGLOBAL}, DV_E_LINDEX},
    };
    for (const auto& q : queries)
        EXPECT_EQ(data.QueryGetData(q.Query), q.Answer);
    STGMEDIUM medium;
    ASSERT_EQ(data.GetData(MakeFormatEtc(CF_TEXT, TYMED_ISTREAM), medium), S_OK);
    ASSERT_EQ(medium.tymed, TYMED_ISTREAM);
    EXPECT_EQ(MediumBytes(medium), TextBlock("abc"));
    medium.hGlobal = GlobalBlock("xy", 2);
    medium.tymed = TYMED_HGLOBAL;
    ASSERT_EQ(data.SetData(MakeFormatEtc(CF_TEXT), medium, true), S_OK);
    EXPECT_EQ(*data.Block(CF_TEXT), Bytes({'x', 'y'}));
}
