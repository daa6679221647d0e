// One read of RTF into a document: the run-time state of the builder and
// its handlers of the reader's events, shared by the sources that build
// text, styles, tables and lists.
#pragma once

#include <array>
#include <unordered_map>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/style/RVStyle.h"
#include "richtext/import/rtf/RVRTFFields.h"
#include "richtext/import/rtf/RVRTFReaderProperties.h"
#include "richtext/import/rtf/RVRTFTableAssembler.h"

// Styles chosen before, by the bytes of what was wanted: the last few are
// compared first, the rest found by hash.
class TRVRTFStyleCache {
public:
    // -1 when Key was not chosen before.
    int Find(const std::string& Key) {
        for (const auto& [key, styleNo] : FRecent)
            if (key == Key) return styleNo;
        auto it = FAll.find(Key);
        if (it == FAll.end()) return -1;
        Remember(Key, it->second);
        return it->second;
    }
    void Add(const std::string& Key, int StyleNo) {
        FAll.emplace(Key, StyleNo);
        Remember(Key, StyleNo);
    }

private:
    void Remember(const std::string& Key, int StyleNo) {
        FRecent[FNext] = {Key, StyleNo};
        FNext = (FNext + 1) % FRecent.size();
    }
    std::array<std::pair<std::string, int>, 4> FRecent;
    std::size_t FNext = 0;
    std::unordered_map<std::string, int> FAll;
};

// A document the builder entered (a note, a header, a table) and what to
// go back to.
struct TRVRTFSubDataInfo {
    TCustomRVData* Document = nullptr;
    int Row = -1;
    int Col = -1;
    // Set for a table: the row collector and the grid.
    std::unique_ptr<TRVRTFTableAssembler> Table;
    // No content was placed since the last row end.
    bool RowComplete = true;
    // The last completed row had \lastrow (or the table is full).
    bool LastRow = false;
    // A page break that was pending before the table: the table takes it.
    bool PageBreak = false;
};

class TRVRTFImportRun : public TRVRTFTablePlacer {
public:
    TRVRTFImportRun(TRVRTFReaderProperties& AProps, TCustomRVData* ARoot, int AIndex, bool AInsertMode);
    ~TRVRTFImportRun() override;
    TRVRTFErrorCode Run(TStream& Stream);
    int FirstItemPlaced = -1;

    // ---- the reader's events (RVRTFImportText.cpp)
    void NewText(const AnsiString& Text, TRVRTFPosition Position);
    void NewUnicodeText(const WideString& Text, TRVRTFPosition Position);
    void NewPicture(TRVRTFPicture* RTFPicture, std::unique_ptr<TRVGraphic>& Graphic, TRVRTFPosition Position,
                    const AnsiString& FileName, bool& Inserted);
    void ImportPicture(const AnsiString& Location, std::unique_ptr<TRVGraphic>& Graphic, bool& Invalid);
    void NewSeq(TRVRTFPosition Position, const AnsiString& SeqName, TRVRTFSeqType NumberingType, bool Reset,
                int StartFrom);
    void Note(TRVRTFNoteEventType What, TRVRTFPosition Position);
    void BookmarkStart(const AnsiString& Name);
    void RequiredPageBreak();
    void HeaderFooter(TRVRTFHeaderFooterType HFType, bool Starting, bool& Supported);
    void EndParsing();
    // (RVRTFImportTables.cpp)
    void Table(TRVRTFTableEventKind WhatHappens, bool& Processed);
    // (RVRTFImportLists.cpp)
    void UpdateMarker();

    // ---- placing items
    // Places Item at Position (text, tab, picture, sequence, note
    // reference, marker or table) as the builder's step of placing says.
    void Place(std::unique_ptr<TCustomRVItemInfo> Item, AnsiString Text, TRVRTFPosition Position);
    // The paragraph style of an item at Position.
    int ParaStyleAt(TRVRTFPosition Position);

    // ---- what table builders get
    TCustomRVData& Document() override { return *FCurrent; }
    TRVStyle* Style() override { return FStyle; }
    void PlaceItem(std::unique_ptr<TCustomRVItemInfo> Item, const AnsiString& Text,
                   TRVRTFPosition Position) override;
    void PlaceTab(int TextStyleNo, int ParaNo, TRVRTFPosition Position) override;

    // ---- styles (RVRTFImportStyles.cpp)
    int TextStyleFor(bool Unicode, bool Hypertext, TRVProtectOptions Protection);
    int ParaStyleFor();
    int DefaultParaStyle(TRVAlignment Alignment);
    int EmptyCellTextStyle() const;

private:
    // Text (ANSI or raw UTF-16 of the unicode flag) made an item.
    void AddText(AnsiString Text, bool Unicode, TRVRTFPosition Position);
    // Hyperlink of the field in effect; false when there is none.
    bool CurrentHyperlink(TRVRTFHyperlink& Link);
    bool Hypertext() const;
    void ApplyHyperlink(TRVRTFHyperlink& Link, AnsiString& Text, TRVTag& Tag, int& StyleNo);
    bool PlaceInRoot(std::unique_ptr<TCustomRVItemInfo>& Item, AnsiString& Text);
    // Loading (not inserting): text that continues a run of the same look
    // joins the item before it.
    bool AppendToPreviousText(const TCustomRVItemInfo& Item, const AnsiString& Text);
    void PlaceInSubDocument(std::unique_ptr<TCustomRVItemInfo> Item, const AnsiString& Text);
    void TakePendingCheckpoint(TCustomRVItemInfo& Item);
    void PlaceNoteReference(TRVRTFPosition Position);
    void DoAbort();

    // ---- tables (RVRTFImportTables.cpp)
    TRVRTFSubDataInfo* TopTable();
    void TableStart();
    bool TableEnd(bool Forced);
    void CellEnd();
    void RowEnd();
    void FillEmptyCell(TRVRTFCellData& Cell);
    // Places the items of Cell into the current document, each paragraph
    // of it a paragraph there.
    void MoveOutCell(TRVRTFCellData& Cell);

    // ---- lists (RVRTFImportLists.cpp)
    bool PlaceMarker();
    void CompleteMarker();
    void BuildListStyles();
    int OldStyleListStyle(const TRVRTFMarkerProperties& Numbering, const TRVRTFParaProperties& Para);

    // ---- styles
    int ToPixels(double Twips) const;
    bool AllowStyle(int StyleNo, bool TextStyle) const;
    int ClosestTextStyle(const struct TRVRTFTextStyleWish& Wish);
    int AddedTextStyle(const struct TRVRTFTextStyleWish& Wish);
    int ClosestParaStyle(const struct TRVRTFParaStyleWish& Wish);
    int AddedParaStyle(const struct TRVRTFParaStyleWish& Wish);

public:
    TRVRTFReaderProperties& Props;
    TCustomRVData* Root;
    TCustomRVData* FCurrent;
    TRVStyle* FStyle = nullptr;
    std::unique_ptr<TRVRTFReader> Reader;
    int FIndex;
    bool FInsertMode;
    bool FFirstItem = true;
    bool FAborted = false;
    double FTwipsToPixels = 96.0 / 1440;
    bool FHasPendingCheckpoint = false;
    AnsiString FPendingCheckpoint;
    TCustomRVData* FPageBreakData = nullptr;
    int FLastNoteRef = -1;
    TCustomRVData* FLastNoteRefData = nullptr;
    int FLastMarker = -1;
    TCustomRVData* FLastMarkerData = nullptr;
    bool FLastMarkerFromList = false;
    // The note whose document is being filled: its document, index and
    // the depth of the sub-document stack it pushed.
    TCustomRVData* FOpenNoteData = nullptr;
    int FOpenNote = -1;
    int FOpenNoteDepth = 0;
    // Items of an unfinished table row or of a table builder are being
    // placed: no list markers are added before them.
    bool FMovingOut = false;
    int FRow = -1;
    int FCol = -1;
    std::vector<std::unique_ptr<TRVRTFSubDataInfo>> FSubStack;
    int FLeftParaStyle = -1;
    // Lists: the list style chosen per old-style level 1..11 (-1 not yet),
    // empty while no old-style paragraph is going on; one per RTF list.
    std::vector<int> FLevelMap;
    std::vector<int> FListMap;
    bool FListsBuilt = false;
    int FListStylesBefore = 0;
    // Styles chosen before, by what was wanted.
    TRVRTFStyleCache FTextStyleCache;
    TRVRTFStyleCache FParaStyleCache;
    std::string FKey;
    TRVRTFParagraphTableBuilder FDefaultTableBuilder;
};

// Aborting a read: the reader reports it through its result code.
class ERVRTFAbort : public Exception {
public:
    ERVRTFAbort() : Exception("Aborted") {}
};
