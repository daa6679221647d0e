// Reading RTF bytes into a new document, and checking what was built.
#include "richtext/import/rtf/RVRTFImport.h"

#include <cstring>

#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/items/RVMarker.h"

namespace {

// The bytes given, read in place.
class TBytesStream : public TStream {
public:
    explicit TBytesStream(std::string_view Bytes) : FBytes(Bytes) {}
    int64_t Read(void* Buffer, int64_t Count) override {
        int64_t n = std::clamp<int64_t>(Count, 0, int64_t(FBytes.size()) - FPosition);
        if (n > 0) std::memcpy(Buffer, FBytes.data() + FPosition, std::size_t(n));
        FPosition += std::max<int64_t>(n, 0);
        return std::max<int64_t>(n, 0);
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t Offset, int Origin) override {
        int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : int64_t(FBytes.size());
        if (Origin >= soBeginning && Origin <= soEnd)
            FPosition = std::clamp<int64_t>(base + Offset, 0, int64_t(FBytes.size()));
        return FPosition;
    }
    void SetSize(int64_t) override {}
    int64_t Size() override { return int64_t(FBytes.size()); }

private:
    std::string_view FBytes;
    int64_t FPosition = 0;
};

void CheckStyles(const TCustomRVData& Data, AnsiString& Faults) {
    TRVStyle* style = Data.GetRVStyle();
    if (!style) return;
    int texts = style->TextStyles().Count(), paras = style->ParaStyles().Count(),
        lists = style->ListStyles().Count();
    for (int i = 0; i < Data.ItemCount() && Faults.empty(); ++i) {
        const TCustomRVItemInfo* item = Data.GetItem(i);
        if (!item) continue;
        if (item->ParaNo < 0 || item->ParaNo >= paras)
            Faults = Format("item %d has paragraph style %d of %d", {i, item->ParaNo, paras});
        else if (item->StyleNo >= texts && item->StyleNo != rvsDefStyle)
            Faults = Format("item %d has text style %d of %d", {i, item->StyleNo, texts});
        else if (int assoc = item->GetAssociatedTextStyleNo(); assoc >= texts && assoc != rvsDefStyle)
            Faults = Format("item %d refers to text style %d of %d", {i, assoc, texts});
        else if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(item);
                 marker && marker->ListNo >= lists)
            Faults = Format("marker %d has list style %d of %d", {i, marker->ListNo, lists});
        else if (marker && !marker->StartsParagraph())
            Faults = Format("marker %d does not begin its paragraph", {i});
    }
}

} // namespace

TRVRTFDocument::TRVRTFDocument() : Style(std::make_unique<TRVStyle>(nullptr)) {
    Style->TextStyles().Clear();
    Style->TextStyles().Add();
    Style->ParaStyles().Clear();
    Style->ParaStyles().Add();
}

TRVRTFDocument::~TRVRTFDocument() {
    Clear();
}

void TRVRTFDocument::DoWriteHyperlink(int, TCustomRVData* RVData, int ItemNo, TRVSaveFormat,
                                      AnsiString& Target, AnsiString&) {
    if (!RVData || ItemNo < 0 || ItemNo >= RVData->ItemCount()) return;
    if (const auto* target = std::get_if<AnsiString>(&RVData->GetItemTag(ItemNo))) Target = *target;
}

void SetRtfDocumentReadOptions(TRVRTFReaderProperties& Options) {
    Options.UnicodeMode = rvruOnlyUnicode;
    Options.TextStyleMode = rvrsAddIfNeeded;
    Options.ParaStyleMode = rvrsAddIfNeeded;
    Options.ReadDocParameters = true;
    Options.OnReadHyperlink = [](TCustomRVData*, const AnsiString& Target, const AnsiString&, AnsiString&,
                                 TRVTag& Tag, int&) { Tag = Target; };
}

TRVRTFReadResult ReadRtfDocument(std::string_view Bytes) {
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    return ReadRtfDocument(Bytes, options);
}

TRVRTFReadResult ReadRtfDocument(std::string_view Bytes, TRVRTFReaderProperties& Options) {
    TRVRTFReadResult result;
    result.Document = std::make_unique<TRVRTFDocument>();
    TBytesStream stream(Bytes);
    try {
        result.Code = Options.LoadRTFFromStream(stream, result.Document.get());
    } catch (...) {
        result.Code = rtf_ec_Exception;
    }
    return result;
}

AnsiString CheckRTFDocumentInvariants(const TCustomRVData& Data) {
    AnsiString faults = CheckRVDataInvariants(Data);
    if (faults.empty()) CheckStyles(Data, faults);
    for (int i = 0; i < Data.ItemCount() && faults.empty(); ++i)
        if (auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(Data.GetItem(i));
            note && note->Document) {
            AnsiString inner = CheckRTFDocumentInvariants(*note->Document);
            if (!inner.empty()) faults = Format("note %d: %s", {i, inner});
        }
    return faults;
}
