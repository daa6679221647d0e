// Fuzz target of the RTF reader: whatever the bytes, the reader refuses them
// as not RTF (only when they do not begin with the RTF header) or gives a
// document no larger than its input, with sound formatting; asked to keep
// fewer parts, it gives the start of that document.
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
    // Read again keeping half the parts: the first ones of the whole, the
    // last paragraph perhaps cut within, and marked cut.
    const std::size_t half = doc.PartCount() / 2;
    const TRtfDocument part = ReadRtf(bytes, half);
    if (part.PartCount() > half) Broken("more parts kept than asked for");
    if (half < doc.PartCount() && part.Cut != TRtfCut::rcLength)
        Broken("a shortened document not marked cut");
    if (part.Paragraphs.size() > doc.Paragraphs.size()) Broken("a shortened document with more paragraphs");
    for (std::size_t i = 0; i < part.Paragraphs.size(); ++i) {
        const WideString kept = part.Paragraphs[i].Text(), whole = doc.Paragraphs[i].Text();
        if (i + 1 < part.Paragraphs.size() ? kept != whole : !whole.starts_with(kept))
            Broken("a shortened document that is not the start of the whole");
    }
    return 0;
}
