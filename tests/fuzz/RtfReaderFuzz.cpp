// Fuzz target of the RTF reader: whatever the bytes, the reader refuses them
// as not RTF (only when they do not begin with the RTF header) or gives a
// document no larger than its input, with sound formatting.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/gui/RtfReader.h"

namespace {
[[noreturn]] void Broken(const char* Rule) {
    std::fprintf(stderr, "rtf reader: %s\n", Rule);
    std::abort();
}

bool LooksLikeRtf(std::string_view Bytes) {
    std::size_t start = Bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && Bytes.substr(start, 5) == "{\\rtf";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    TRtfDocument doc;
    try {
        doc = ReadRtf(bytes);
    } catch (const ERtfError&) {
        if (LooksLikeRtf(bytes)) Broken("RTF refused");
        return 0;
    }
    if (!LooksLikeRtf(bytes)) Broken("not RTF read");
    // Every character and paragraph comes from at least one byte.
    if (doc.Paragraphs.size() > Size || doc.Text().size() > Size) Broken("document larger than its input");
    for (const TRtfParagraph& p : doc.Paragraphs)
        for (const TRtfRun& r : p.Runs) {
            if (r.FontSize <= 0) Broken("font size not positive");
            if (r.FontName.size() > Size) Broken("font name larger than the input");
        }
    return 0;
}
