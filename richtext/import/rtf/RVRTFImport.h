// The one entry point of RTF into a document (bytes in, document and result
// code out), the document it builds when no editor holds one, and the
// checker of documents built from RTF.
#pragma once

#include <memory>
#include <string_view>

#include "richtext/engine/style/RVStyle.h"
#include "richtext/import/rtf/RVRTFReaderProperties.h"

// A top-level document with a style sheet of its own (one text and one
// paragraph style to begin with). Hyperlinks keep their target as the
// item's text tag, and are written back from there.
class TRVRTFDocument : public TCustomRVData {
public:
    TRVRTFDocument();
    ~TRVRTFDocument() override;
    std::unique_ptr<TRVStyle> Style;
    uint16_t Flags = 0;
    // Hyperlink targets are kept as the items' tags, so the tags are text.
    TRVOptions Options = RVDefaultOptions | rvoTagsArePChars;

    TRVStyle* GetRVStyle() const override { return Style.get(); }
    TRVOptions GetOptions() const override { return Options; }
    void SetOptions(TRVOptions Value) override { Options = Value; }
    uint16_t GetFlags() const override { return Flags; }
    void SetFlags(uint16_t Value) override { Flags = Value; }
    void DoWriteHyperlink(int Id, TCustomRVData* RVData, int ItemNo, TRVSaveFormat SaveFormat,
                          AnsiString& Target, AnsiString& Extras) override;
};

struct TRVRTFReadResult {
    TRVRTFErrorCode Code = rtf_ec_OK;
    // What was read, also when the result is an error.
    std::unique_ptr<TRVRTFDocument> Document;
};

// The options the entry point reads with: all text as Unicode (so that
// runs that only change between \u and 8-bit text stay one item), styles
// added as the RTF needs them (lists with them), page parameters read,
// and hyperlink targets kept as the items' tags.
void SetRtfDocumentReadOptions(TRVRTFReaderProperties& Options);
// Reads RTF bytes into a new document, with the options above or given.
TRVRTFReadResult ReadRtfDocument(std::string_view Bytes);
TRVRTFReadResult ReadRtfDocument(std::string_view Bytes, TRVRTFReaderProperties& Options);

// Describes the first broken invariants of a document built from RTF (its
// structure and checkpoints, in its notes too, and style, paragraph and
// list numbers that its style sheet has), or returns empty.
AnsiString CheckRTFDocumentInvariants(const TCustomRVData& Data);
