// Fuzz target of the rich-text engine's native-format reader: whatever the
// bytes, a reading either fails and leaves the document as it was, or gives
// a document that its checker finds sound and that writes itself in both
// forms, each of which reads again into as many items.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/formats/rvf/RVRvfReader.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

[[noreturn]] void Broken(const char* Rule, const AnsiString& Detail = AnsiString()) {
    std::fprintf(stderr, "rich-text rvf reader: %s %s\n", Rule, Detail.c_str());
    std::abort();
}

// A top-level document that saves its styles.
class TFuzzData : public TCustomRVData {
public:
    explicit TFuzzData(TRVStyle* AStyle) : Style(AStyle) {}
    ~TFuzzData() override { Clear(); }
    TRVStyle* Style;
    TRVStyle* GetRVStyle() const override { return Style; }
    uint16_t GetFlags() const override { return 0x100; }
    void SetFlags(uint16_t) override {}
};

void CheckSound(const TCustomRVData& Data) {
    AnsiString faults = CheckRVDataInvariants(Data);
    if (!faults.empty()) Broken("broken document:", faults);
}

void CheckWritesAndReadsAgain(TFuzzData& Data) {
    for (bool binary : {false, true}) {
        Data.SetRVFOptions(TRVFOptions(RVDefaultRVFOptions | rvfoSaveTextStyles | rvfoSaveParaStyles |
                                       rvfoConvUnknownStylesToZero) &
                           TRVFOptions(binary ? 0xFFFF : ~rvfoSaveBinary));
        TRVMemoryStream stream;
        // A document read may hold what a save refuses (a text with a
        // line end), which a save reports.
        if (!Data.SaveRvf(stream, false, nullptr, clNone)) continue;
        TRVStyle style(nullptr);
        TFuzzData copy(&style);
        copy.SetRVFOptions(Data.GetRVFOptions());
        int index = 0;
        TColor color = clNone;
        std::string_view bytes(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
        if (!RVReadRvf(bytes, copy, index, true, nullptr, color)) Broken("own RVF not read");
        CheckSound(copy);
        if (copy.ItemCount() != Data.ItemCount()) Broken("own RVF read into another item count");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    {
        // As a document is loaded.
        TRVStyle style(nullptr);
        TFuzzData document(&style);
        document.SetRVFOptions(RVDefaultRVFOptions | rvfoLoadLayout | rvfoLoadBack |
                               rvfoConvUnknownStylesToZero);
        TRVLayoutInfo layout;
        TColor color = clNone;
        int index = 0;
        bool read = RVReadRvf(bytes, document, index, true, &layout, color);
        CheckSound(document);
        if (!read && document.ItemCount() != 0) Broken("a failed load left items");
        if (read) CheckWritesAndReadsAgain(document);
    }
    {
        // As an editor pastes it between two paragraphs.
        TRVStyle style(nullptr);
        TFuzzData document(&style);
        document.AddTextItem("before", 0, 0);
        document.AddTextItem("after", 0, 0);
        int index = 1;
        TColor color = clNone;
        bool read = RVReadRvf(bytes, document, index, false, nullptr, color);
        CheckSound(document);
        if (!read && document.ItemCount() != 2) Broken("a failed insertion changed the document");
        if (index < 0 || index > document.ItemCount()) Broken("index out of the document");
    }
    return 0;
}
