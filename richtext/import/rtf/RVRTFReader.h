// The RTF reader: a tokenizer and parser that reports what a stream of RTF
// holds through events (text runs with their formatting, breaks, pictures,
// objects, table structure, markers, notes, headers and footers,
// bookmarks and sequence fields) and never raises to its caller.
#pragma once

#include <functional>
#include <memory>

#include "platform/rtl/Streams.h"
#include "richtext/engine/items/RVGraphic.h"
#include "richtext/import/rtf/RVRTFRecords.h"
#include "richtext/import/rtf/RVRTFState.h"

class TRVRTFReader;

using TRVRTFNewTextEvent =
    std::function<void(TRVRTFReader* Sender, const AnsiString& Text, TRVRTFPosition Position)>;
using TRVRTFNewUnicodeTextEvent =
    std::function<void(TRVRTFReader* Sender, const WideString& Text, TRVRTFPosition Position)>;
// The handler takes Graphic over (moving it out) when it keeps it; what is
// left is freed by the reader.
using TRVRTFNewPictureEvent =
    std::function<void(TRVRTFReader* Sender, TRVRTFPicture* RTFPicture, std::unique_ptr<TRVGraphic>& Graphic,
                       TRVRTFPosition Position, const AnsiString& FileName, bool& Inserted)>;
using TRVRTFNewObjectEvent = std::function<void(TRVRTFReader* Sender, TRVRTFObject* RTFObject,
                                                TRVRTFPosition Position, bool& Inserted)>;
using TRVRTFNewSeqEvent =
    std::function<void(TRVRTFReader* Sender, TRVRTFPosition Position, const AnsiString& SeqName,
                       TRVRTFSeqType NumberingType, bool Reset, int StartFrom)>;
using TRVRTFTableEvent =
    std::function<void(TRVRTFReader* Sender, TRVRTFTableEventKind WhatHappens, bool& Processed)>;
using TRVRTFHeaderFooterEvent =
    std::function<void(TRVRTFReader* Sender, TRVRTFHeaderFooterType HFType, bool Starting, bool& Supported)>;
using TRVRTFNoteEvent =
    std::function<void(TRVRTFReader* Sender, TRVRTFNoteEventType What, TRVRTFPosition Position)>;
using TRVRTFImportPictureEvent = std::function<void(TRVRTFReader* Sender, const AnsiString& Location,
                                                    std::unique_ptr<TRVGraphic>& Graphic, bool& Invalid)>;
using TRVRTFTranslateKeywordEvent =
    std::function<void(TRVRTFReader* Sender, const AnsiString& Keyword, int Param, bool fParam,
                       AnsiString& Text, bool& DoDefault)>;
using TRVRTFProgressEvent =
    std::function<void(TRVRTFReader* Sender, TRVRTFProgressStage Stage, uint8_t PercentDone)>;
using TRVBookmarkEvent = std::function<void(TRVRTFReader* Sender, const AnsiString& BookmarkName)>;

class TRVRTFReader : public TComponent {
public:
    explicit TRVRTFReader(TComponent* AOwner);
    ~TRVRTFReader() override;

    // ---- published
    // The code page assumed until \ansicpg.
    uint32_t DefCodePage = 0;
    TRVRTFHighlightConvert ConvertHighlight = rtf_hl_FixedColors;
    // Kept for callers; metafiles are never played here, so no bitmap is
    // taken out of one.
    bool ExtractMetafileBitmaps = true;
    // 0: the screen's at the next reset.
    int32_t PixelsPerInch = 0;

    TRVRTFNewTextEvent OnNewText;
    TRVRTFNewUnicodeTextEvent OnNewUnicodeText;
    TRVRTFNewPictureEvent OnNewPicture;
    TRVRTFNewObjectEvent OnNewObject;
    TRVRTFNewSeqEvent OnNewSeq;
    TRVRTFTableEvent OnTable;
    TNotifyEvent OnUpdateMarker;
    TNotifyEvent OnRequiredPageBreak;
    TRVRTFHeaderFooterEvent OnHeaderFooter;
    TRVRTFNoteEvent OnNote;
    TRVRTFImportPictureEvent OnImportPicture;
    TRVRTFTranslateKeywordEvent OnTranslateKeyword;
    TRVRTFProgressEvent OnProgress;
    TNotifyEvent OnEndParsing;
    TRVBookmarkEvent OnBookmarkStart;

    // ---- public
    // Prefix of relative picture file names of INCLUDEPICTURE fields.
    AnsiString BasePath;
    // INCLUDEPICTURE may load local picture files (never a URL) only when set.
    bool AllowIncludedPictureFiles = false;
    // Every tab character is emitted as a text of its own.
    bool TabsAsItems = false;

    // Reads Stream from its position to the size it has at the start;
    // the result code, 0 on success. Never raises.
    TRVRTFErrorCode ParseRtfStream(TStream& Stream);
    void Clear();

    // ---- what the event handlers read
    const TRVRTFReaderState& State() const { return FState; }
    TRVRTFReaderState& EditState() { return FState; }
    // The paragraph finalised (shading and tabs) before its properties are read.
    const TRVRTFParaProperties& FinalisedPara();
    const TRVRTFFontList& FontList() const { return FFontList; }
    const std::vector<TColor>& ColorList() const { return FColorList; }
    const std::vector<TRVRTFStyleSheetEntry>& StyleSheet() const { return FStyleSheet; }
    const std::vector<TRVRTFList97>& ListTable() const { return FListTable; }
    std::vector<TRVRTFList97>& EditListTable() { return FListTable; }
    const std::vector<TRVRTFListOverride97>& ListOverrideTable() const { return FListOverrideTable; }
    uint32_t CodePage() const { return FCodePage; }
    // The reader's row alignment (\trql 0, \trqr 1, \trqc 2) and whether one
    // was given since the table started.
    uint8_t RowAlignment() const { return FRowAlignment; }
    bool RowAlignmentSet() const { return FRowAlignmentSet; }
    // The header and footer distances of the section (twips); they are not
    // restored at group ends.
    int32_t HeaderY() const { return FHeaderY; }
    int32_t FooterY() const { return FFooterY; }
    // Of the row being described: \trhdr since its \trowd.
    bool RowIsHeading() const { return FRowHeading; }
    int TableLevel() const { return FTableLevel; }
    // The font the character state names; nil when the font list does not
    // hold it.
    const TRVRTFFont* CurrentFont() const;

private:
    // ---- reading bytes
    bool ReadByte(uint8_t& Byte);
    void PushBack() { FPushedBack = true; }

    // ---- the parse
    TRVRTFErrorCode MainLoop();
    TRVRTFErrorCode FinishParse();
    TRVRTFErrorCode ParseKeyword();
    TRVRTFErrorCode TranslateKeyword(const AnsiString& Keyword, int Param, bool fParam, bool& Done);
    TRVRTFErrorCode Dispatch(int RecordIndex, int Param, bool fParam);
    TRVRTFErrorCode PushState();
    TRVRTFErrorCode PopState();
    TRVRTFErrorCode ParseChar(uint8_t Ch);
    TRVRTFErrorCode CollectText(uint8_t Ch, bool SyncTables, bool AllowClosing);
    // Emits at the next-text position; Q becomes the next one (when HasQ).
    TRVRTFErrorCode Emit(TRVRTFPosition Q, bool HasQ);
    TRVRTFErrorCode EmitPending(bool SyncTables, bool AllowClosing);
    TRVRTFErrorCode FireText(TRVRTFPosition Position);
    TRVRTFErrorCode SyncTableLevel(bool AllowClosing);
    bool FireTable(TRVRTFTableEventKind Kind);
    void UpdateMarker();
    TRVRTFErrorCode UnicodeChar(int Param);
    TRVRTFErrorCode UnicodeUnit(char16_t Unit);
    TRVRTFErrorCode SetHidden(bool Value);

    // ---- properties (RVRTFReaderProps.cpp)
    TRVRTFErrorCode ChangeProperty(int Index, int Param, bool fParam);
    TRVRTFErrorCode GeneralProperty(int Index, int Param, bool fParam);
    TRVRTFErrorCode TableProperty(int Index, int Param);
    TRVRTFErrorCode StyleSheetEntryProperty(int Index, int Param);
    TRVRTFErrorCode PictureProperty(int Index, int Param);
    TRVRTFErrorCode ObjectProperty(int Index, int Param);
    TRVRTFErrorCode NumberingProperty(int Index, int Param);
    TRVRTFErrorCode ListProperty(int Index, int Param);
    TRVRTFErrorCode ListLevelProperty(int Index, int Param);
    TRVRTFErrorCode ListOverrideProperty(int Index, int Param);
    TRVRTFErrorCode ListOverrideLevelProperty(int Index, int Param);
    TRVRTFBorderSide* CurrentBorderSide();
    TColor ColorOf(int Index, TColor Default) const;
    int FontLookup(int Number) const;
    int DefaultFontIndex();

    // ---- destinations (RVRTFReaderDest.cpp)
    TRVRTFErrorCode ChangeDestination(int Index, int Param);
    TRVRTFErrorCode DestinationChar(uint8_t Ch);
    TRVRTFErrorCode EndDestination(TRVRTFDestination Ending);
    TRVRTFErrorCode ReadHexPictureData(uint8_t First);
    void NewStyleSheetEntry();

    // ---- fields and pictures (RVRTFReaderFields.cpp)
    TRVRTFErrorCode EndFieldInstruction();
    TRVRTFErrorCode EndPicture();
    TRVRTFErrorCode EndField();
    TRVRTFErrorCode IncludePicture(const AnsiString& Instruction);
    TRVRTFErrorCode SymbolField(const AnsiString& Instruction);
    TRVRTFErrorCode SeqField(const AnsiString& Instruction);
    TRVRTFErrorCode OfferPicture(TRVRTFPicture* Picture, std::unique_ptr<TRVGraphic>& Graphic,
                                 const AnsiString& FileName, bool& Inserted);
    std::unique_ptr<TRVGraphic> LoadPicture(TRVRTFPicture& Picture);
    std::unique_ptr<TRVGraphic> LoadPictureFile(const AnsiString& FileName);
    TRVRTFErrorCode FireNewObject();

    // ---- input
    TStream* FStream = nullptr;
    int64_t FStreamSize = 0;
    int64_t FStreamPos = 0;
    std::unique_ptr<uint8_t[]> FBuffer;
    int FBufferLength = 0;
    int FBufferIndex = 0;
    uint8_t FLastChar = 0;
    bool FPushedBack = false;
    bool FProgress = false;

    // ---- parse state
    uint32_t FCodePage = 0;
    int FUnicodeSkip = 1;
    int FPendingSkip = 0;
    AnsiString FPendingText;
    WideString FPendingUnicode;
    TRVRTFPosition FNextPosition = rtf_ts_NewPara;
    int FDepth = 0;
    TRVRTFStateStack FStack;
    TRVRTFReaderState FState;
    int FTableLevel = 0;
    bool FForceEmit = false;
    int64_t FBinaryCount = 0;
    int FLastParam = 0;
    bool FSkipDestinationIfUnknown = false;
    int FHexDigits = 0;
    int FHexValue = 0;
    // Object data: a high nibble waiting for its low one.
    int FObjectNibble = -1;

    // ---- tables of the header
    std::vector<TRVRTFStyleSheetEntry> FStyleSheet;
    TRVRTFFontList FFontList;
    std::vector<TColor> FColorList;
    std::vector<TRVRTFList97> FListTable;
    std::vector<TRVRTFListOverride97> FListOverrideTable;
    std::unique_ptr<TRVRTFPicture> FPicture;
    std::unique_ptr<TRVRTFObject> FObject;
    std::unique_ptr<TRVRTFMarkerProperties> FOldNumbering;

    // ---- state that acts for the whole document (not restored at "}")
    AnsiString FBookmarkName;
    std::unique_ptr<TRVGraphic> FFieldPicture;
    bool FFieldPictureInserted = false;
    int32_t FDefFontNumber = 0;
    int FDefFontIndex = -1;
    int32_t FHeaderY = 720;
    int32_t FFooterY = 720;
    bool FRowHeading = false;

    bool FPictureInserted = false;
    bool FObjectInserted = false;
    uint8_t FRowAlignment = 0;
    bool FRowAlignmentSet = false;
    int FSectionNumberingLevel = 0;
};
