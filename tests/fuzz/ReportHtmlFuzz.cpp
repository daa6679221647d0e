// Fuzz target of the report HTML reader of the results windows: whatever
// the bytes, they read into a document that the engine's checker finds
// sound, that lays out soundly, pages without going backwards, and writes
// itself as RTF and as text. Pictures are not read: the reader opens no
// files here.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/results/ReportDocument.h"
#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/layout/CRVFDataCheck.h"
#include "richtext/engine/text/RVClasses.h"

namespace {
[[noreturn]] void Broken(const char* Rule, const AnsiString& Detail = AnsiString()) {
    std::fprintf(stderr, "report html reader: %s %s\n", Rule, Detail.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size > (1u << 16)) return 0;
    const AnsiString html(reinterpret_cast<const char*>(Data), Size);
    TReportDocument doc;
    doc.LoadHtml(html, {1, false});
    if (AnsiString broken = CheckRVDataInvariants(doc.Data()); !broken.empty()) Broken("document", broken);
    TBitmap measure(1, 1);
    doc.Layout(measure.Canvas(), 300);
    if (!doc.Empty())
        if (AnsiString broken = CheckFormattedInvariants(doc.Data()); !broken.empty())
            Broken("layout", broken);
    const std::vector<int> tops = doc.PageTops(200);
    for (std::size_t i = 1; i < tops.size(); ++i)
        if (tops[i] <= tops[i - 1]) Broken("pages go backwards");
    TRVMemoryStream rtf;
    if (!doc.Data().SaveRtf(rtf, "", false, 0, clWindow, nullptr, true)) Broken("rtf not written");
    doc.Text();
    return 0;
}
