// The RVF reader: the entry point that reads an RVF stream into a
// document, and what the items' record readers ask of the reading.
#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/formats/rvf/RVRvfFuncs.h"

class TStringList;
class TFontInfos;
class TParaInfos;
class TRVListInfos;
class TRVDocParameters;

// Nested note bodies and sub-documents deeper than this are refused.
inline constexpr int RVFMaxDepth = 32;

// The reader's entry point: reads Bytes into Data, the first item going to
// Index (cut to the item count; on return the index of the first item
// read). WholeDocument: Data is cleared and takes the stream's styles,
// layout (into Layout, when given), background colour (into Color),
// document properties and parameters. Answers false for a damaged stream
// and then leaves Data and its style sheet as they were; RVFWarnings of
// Data's root tells what was repaired.
bool RVReadRvf(std::string_view Bytes, TCustomRVData& Data, int& Index, bool WholeDocument,
               TRVLayoutInfo* Layout, TColor& Color);

// One reading: the stream's records are read into items held here, and
// only a whole stream enters the document.
class TRVFReader {
public:
    TRVFReader(TCustomRVData& AData, bool AWholeDocument, int ADepth, TRVFReader* AParent);
    ~TRVFReader();

    // ---- what item readers ask
    TCustomRVData& Data() const { return FData; }
    TRVFOptions Options() const { return FOptions; }
    void AddWarning(TRVFWarnings Warning);
    // Reads a complete RVF stream into Doc, an item's own empty document,
    // one level deeper; false when it is damaged or too deep.
    bool ReadSubDocument(std::string_view Bytes, TCustomRVData& Doc);

    // Reads the records; false for a damaged stream (nothing entered Data).
    bool Read(std::string_view Bytes);
    // Puts what was read into Data at Index.
    void Commit(int& Index, TRVLayoutInfo* Layout, TColor& Color);
    TRVFWarnings Warnings() const { return FWarnings; }
    // Where the first item will go (for paragraphs that continue the line
    // before it).
    int StartIndex = 0;

private:
    struct THeader;
    bool ReadLine(std::string_view& Line);
    bool SkipLineEnd();
    bool ParseHeader(std::string_view Line);
    bool ReadDataLine(const AnsiString& Line);
    bool ReadDocBlockLine(const AnsiString& Line);
    bool ReadStyleBlock(std::string_view Payload);
    bool ReadRecordItem(const AnsiString* Line);
    bool MapTextStyle(int& StyleNo);
    bool MapParaStyle(int& ParaNo);
    void MapListNo(TCustomRVItemInfo& Item);
    int TextStyleCount() const;
    int ParaStyleCount() const;
    int ListStyleCount() const;
    bool IsUnicodeStyle(int StyleNo) const;
    unsigned StyleCodePage(int StyleNo) const;
    // The maps of the outermost reading, which nested ones share.
    TRVFReader& Root() { return FParent ? FParent->Root() : *this; }
    const TRVFReader& Root() const { return FParent ? FParent->Root() : *this; }

    TCustomRVData& FData;
    bool FWholeDocument;
    int FDepth;
    TRVFReader* FParent;
    TRVFOptions FOptions;
    TRVFWarnings FWarnings = 0;

    std::string_view FBytes;
    std::size_t FPos = 0;
    int FLineMode = 0;
    int FRecordState = 0;
    std::unique_ptr<THeader> FHeader;
    int FVersion = 1;
    int FSubVersion = 0;

    // Read items, each with the checkpoint it carries.
    struct TReadItem {
        AnsiString Text;
        std::unique_ptr<TCustomRVItemInfo> Item;
    };
    std::vector<TReadItem> FItems;
    std::unique_ptr<TRVCPInfo> FPendingCheckpoint;

    // Style blocks: the style sheet's collections as they will be, and the
    // maps from the stream's numbers to theirs.
    std::unique_ptr<TFontInfos> FTextStyles;
    std::unique_ptr<TParaInfos> FParaStyles;
    std::unique_ptr<TRVListInfos> FListStyles;
    std::unique_ptr<TRVIntegerList> FTextMap, FParaMap, FListMap;

    std::optional<std::vector<AnsiString>> FDocProperties;
    std::unique_ptr<TRVDocParameters> FDocParameters;
    std::unique_ptr<TRVLayoutInfo> FLayout;
    std::optional<TColor> FColor;
};
