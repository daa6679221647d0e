// Fuzz target of the HTML importer: whatever the bytes, importing them as
// 8-bit and as UTF-8 text gives a document that its checker finds sound,
// and no error; pictures come from the target, never from files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "richtext/import/html/rvhtmlimport.h"

namespace {

[[noreturn]] void Broken(const char* Rule, const AnsiString& Detail) {
    std::fprintf(stderr, "html importer: %s %s\n", Rule, Detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view html(reinterpret_cast<const char*>(Data), Size);
    for (TRVHTMLEncoding encoding : {rvhtmleANSI, rvhtmleUTF8}) {
        TRvHtmlImporter importer(nullptr);
        importer.Encoding = encoding;
        // A small picture for every source that asks a sensible size.
        importer.OnImageRequired2 = [](TObject*, const AnsiString& Src, int, int,
                                       std::unique_ptr<TRVGraphic>& Img) {
            if (Src.size() % 2 == 0) Img = std::make_unique<TRVBitmapImage>(3, 2);
        };
        importer.SourceSelStart = int(Size / 3);
        importer.SourceSelEnd = int(Size / 2);
        TRVHtmlReadResult read = ReadHtmlDocument(html, importer);
        if (!read.Error.empty()) Broken("import failed:", read.Error);
        AnsiString faults = CheckHtmlDocumentInvariants(*read.Document);
        if (!faults.empty()) Broken("broken document:", faults);
    }
    return 0;
}
