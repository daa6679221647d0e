// Fuzz target of the rich-text engine's RTF reader: whatever the bytes,
// reading them gives a known result code and a document that its checker
// finds sound, with every table's grid sound before it becomes paragraphs;
// the document then writes itself as RTF that reads again (without error
// when the first read had none).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "richtext/import/rtf/RVRTFImport.h"

namespace {

[[noreturn]] void Broken(const char* Rule, const AnsiString& Detail = AnsiString()) {
    std::fprintf(stderr, "rich-text rtf reader: %s %s\n", Rule, Detail.c_str());
    std::abort();
}

// A stream over a string that grows as it is written; cheaper than the
// engine's memory stream, which grows a quarter megabyte at a time.
class TStringStream : public TStream {
public:
    std::string Bytes;
    int64_t Read(void* Buffer, int64_t Count) override {
        int64_t n = std::clamp<int64_t>(Count, 0, int64_t(Bytes.size()) - FPosition);
        if (n > 0) std::memcpy(Buffer, Bytes.data() + FPosition, std::size_t(n));
        FPosition += std::max<int64_t>(n, 0);
        return std::max<int64_t>(n, 0);
    }
    int64_t Write(const void* Buffer, int64_t Count) override {
        if (Count <= 0) return 0;
        if (FPosition + Count > int64_t(Bytes.size())) Bytes.resize(std::size_t(FPosition + Count));
        std::memcpy(Bytes.data() + FPosition, Buffer, std::size_t(Count));
        FPosition += Count;
        return Count;
    }
    int64_t Seek(int64_t Offset, int Origin) override {
        int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : int64_t(Bytes.size());
        FPosition = std::clamp<int64_t>(base + Offset, 0, int64_t(Bytes.size()));
        return FPosition;
    }
    void SetSize(int64_t NewSize) override { Bytes.resize(std::size_t(std::max<int64_t>(NewSize, 0))); }
    int64_t Size() override { return int64_t(Bytes.size()); }

private:
    int64_t FPosition = 0;
};

// Checks each table's grid, then keeps it as paragraphs.
class TCheckingTableBuilder : public TRVRTFTableBuilder {
public:
    void BuildTable(TRVRTFTableGrid& Grid, int ParaNo, TRVRTFTablePlacer& Placer) override {
        AnsiString faults = CheckRTFTableGridInvariants(Grid);
        if (!faults.empty()) Broken("broken table grid:", faults);
        TRVRTFParagraphTableBuilder().BuildTable(Grid, ParaNo, Placer);
    }
};

void CheckResult(TRVRTFErrorCode Code, const TCustomRVData& Data) {
    if (Code > rtf_ec_Aborted || Code == 8) Broken("unknown result code");
    AnsiString faults = CheckRTFDocumentInvariants(Data);
    if (!faults.empty()) Broken("broken document:", faults);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    TCheckingTableBuilder tables;
    {
        // As a document is loaded.
        TRVRTFReaderProperties options;
        SetRtfDocumentReadOptions(options);
        options.TableBuilder = &tables;
        TRVRTFReadResult read = ReadRtfDocument(bytes, options);
        CheckResult(read.Code, *read.Document);
        // What was read writes itself, and that reads again.
        TStringStream stream;
        if (!read.Document->SaveRtf(stream, "", false, 0, clWindow, nullptr, true)) Broken("not written");
        TRVRTFReadResult reread = ReadRtfDocument(stream.Bytes, options);
        if (read.Code == rtf_ec_OK && reread.Code != rtf_ec_OK) Broken("own RTF not read");
        CheckResult(reread.Code, *reread.Document);
    }
    {
        // As an editor inserts it into text, with the closest styles.
        TRVRTFReaderProperties options;
        options.TableBuilder = &tables;
        options.UnicodeMode = rvruMixed;
        TRVRTFDocument document;
        document.AddTextItem("before", 0, 0);
        document.AddTextItem("after", 0, 0);
        TStringStream stream;
        stream.Bytes.assign(bytes);
        stream.SetPosition(0);
        int index = 1;
        TRVRTFErrorCode code = options.ReadRTFFromStream(stream, &document, index);
        if (index < -1 || index > document.ItemCount()) Broken("index out of the document");
        // An insertion leaves its checkpoints to the caller; none is linked.
        if (code > rtf_ec_Aborted || code == 8) Broken("unknown result code");
    }
    return 0;
}
