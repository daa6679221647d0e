// Fuzz target of the results windows' report as the importer reads it:
// whatever the bytes, the importer with the report's settings builds a
// document that its checker finds sound and that writes itself as RTF and
// as text. Pictures come from the target, never from files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "richtext/engine/text/RVClasses.h"
#include "richtext/import/html/rvhtmlimport.h"

namespace {
[[noreturn]] void Broken(const char* Rule, const AnsiString& Detail = AnsiString()) {
    std::fprintf(stderr, "report html: %s %s\n", Rule, Detail.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size > (1u << 16)) return 0;
    const std::string_view html(reinterpret_cast<const char*>(Data), Size);
    TRvHtmlImporter importer(nullptr);
    importer.DefaultFontName = "Times New Roman";
    importer.DefaultCFontName = "Courier New";
    importer.OnImageRequired2 = [](TObject*, const AnsiString&, int, int, std::unique_ptr<TRVGraphic>& Img) {
        Img = std::make_unique<TRVBitmapImage>(6, 5);
    };
    TRVHtmlReadResult read = ReadHtmlDocument(html, importer);
    if (!read.Error.empty()) Broken("import failed:", read.Error);
    if (AnsiString broken = CheckHtmlDocumentInvariants(*read.Document); !broken.empty())
        Broken("document", broken);
    TRVMemoryStream rtf;
    if (!read.Document->SaveRtf(rtf, "", false, 0, clWindow, nullptr, true)) Broken("rtf not written");
    TRVMemoryStream text;
    read.Document->SaveTextStream("", text, 80, false, true, false, false);
    return 0;
}
