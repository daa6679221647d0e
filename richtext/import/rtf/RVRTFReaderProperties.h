// The RTF import options of a rich-text document and the builder that
// turns what the RTF reader reports into items: text with its text and
// paragraph styles, tabs, pictures, sequences, notes, bookmarks, page
// breaks, list markers, tables and the page parameters.
#pragma once

#include <functional>
#include <memory>

#include "richtext/import/rtf/RVRTFReader.h"
#include "richtext/import/rtf/RVRTFTableBuilder.h"

enum TRVReaderUnicode : uint8_t { rvruMixed, rvruNoUnicode, rvruOnlyUnicode };
enum TRVReaderStyleMode : uint8_t { rvrsUseSpecified, rvrsUseClosest, rvrsAddIfNeeded };
enum TRVRTFHighlight : uint8_t { rtfhlIgnore, rtfhlFixedColors, rtfhlColorTable };

// Whether a style may take part in a closest match.
using TRVAllowUseStyleEvent = std::function<void(int StyleNo, bool TextStyle, bool& Allow)>;
// May give the item of a picture (and take the graphic over); the item is
// nil when the event leaves the choice to the reader.
using TRVRTFPictureItemEvent =
    std::function<void(TCustomRVData* RVData, std::unique_ptr<TRVGraphic>& Graphic, TRVRTFPosition Position,
                       TRVRTFPicture* RTFPicture, bool Hypertext, std::unique_ptr<TCustomRVItemInfo>& Item)>;

// ---- the questions the builder asks the document it fills; the defaults
// are what a document without a control answers
// Places one item read at Index (not advancing it) and takes it over;
// Left tells that the document holds it at Index (rather than merged into
// what is there). False aborts the read.
using TRVInsertLoadedItemEvent = std::function<bool(TCustomRVData& RVData, int& Index, AnsiString& Text,
                                                    std::unique_ptr<TCustomRVItemInfo>& Item, bool InsertMode,
                                                    bool& FullReformat, bool& Left)>;
// An imported hyperlink: may change the text, give a tag and a style
// number (a number of 0 or more replaces the chosen style).
using TRVReadHyperlinkEvent =
    std::function<void(TCustomRVData* RVData, const AnsiString& Target, const AnsiString& Extras,
                       AnsiString& Text, TRVTag& Tag, int& StyleNo)>;
// A picture for a location (INCLUDEPICTURE), or nil.
using TRVImportPictureEvent = std::function<std::unique_ptr<TRVGraphic>(const AnsiString& Location)>;
using TRVRTFLoadProgressEvent = std::function<void(TRVRTFProgressStage Stage, uint8_t PercentDone)>;

class TRVRTFImportRun;

class TRVRTFReaderProperties : public TPersistent {
public:
    TRVRTFReaderProperties();
    ~TRVRTFReaderProperties() override;

    // ---- published
    TRVReaderUnicode UnicodeMode = rvruNoUnicode;
    TRVReaderStyleMode TextStyleMode = rvrsUseClosest;
    TRVReaderStyleMode ParaStyleMode = rvrsUseClosest;
    bool IgnorePictures = false;
    bool IgnoreTables = false;
    bool IgnoreBookmarks = false;
    bool IgnoreNotes = false;
    bool IgnoreSequences = false;
    bool ReadDocParameters = false;
    bool UseHypertextStyles = false;
    int TextStyleNo() const { return FTextStyleNo; }
    // Raises Exception "Value must not be negative" for a negative value.
    void SetTextStyleNo(int Value);
    int ParaStyleNo() const { return FParaStyleNo; }
    void SetParaStyleNo(int Value);
    bool SkipHiddenText = true;
    bool AutoHideTableGridLines = false;
    bool LineBreaksAsParagraphs = false;
    bool UseSingleCellPadding = false;
    bool ExtractMetafileBitmaps = true;
    TRVRTFHighlight ConvertHighlight = rtfhlColorTable;
    bool StoreImagesFileNames = false;
    bool BasePathLinks = true;
    // INCLUDEPICTURE fields may load local picture files (never URLs).
    bool AllowIncludedPictureFiles = false;

    // Copies the options a control's import settings share.
    void Assign(TPersistent* Source) override;

    // ---- public
    // Set by the editor before reading; picture files and relative links
    // are taken from there.
    AnsiString BasePath;
    // The result of the last read.
    TRVRTFErrorCode ErrorCode = rtf_ec_OK;
    // Documents that receive the header and the footer, and their
    // distances from the page edge (millimetres).
    TCustomRVData* Header = nullptr;
    TCustomRVData* Footer = nullptr;
    int HeaderY = 0;
    int FooterY = 0;
    TRVAllowUseStyleEvent OnAllowUseStyle;
    TRVRTFPictureItemEvent OnNewPictureItem;
    TRVInsertLoadedItemEvent OnInsertLoadedItem;
    TRVReadHyperlinkEvent OnReadHyperlink;
    TRVImportPictureEvent OnImportPicture;
    TRVRTFLoadProgressEvent OnProgress;
    // What turns tables into items; nil keeps them as paragraphs
    // (TRVRTFParagraphTableBuilder). Not owned.
    TRVRTFTableBuilder* TableBuilder = nullptr;
    // Of the last read: the items placed into the root after the first
    // one, and whether the document asked for a full re-format.
    int InsertedItemCount = 0;
    bool FullReformat = false;

    // Inserts the RTF of Stream (from its position) into RVData at Index;
    // Index becomes the index of the first item placed (-1 when none).
    // The reader's result code; what was placed before a failure stays.
    TRVRTFErrorCode ReadRTFFromStream(TStream& Stream, TCustomRVData* RVData, int& Index);
    // Loads the RTF of Stream as the whole content of RVData (appended to
    // what is there), reading the page parameters when ReadDocParameters.
    TRVRTFErrorCode LoadRTFFromStream(TStream& Stream, TCustomRVData* RVData);

protected:
    // Installed as the reader's keyword translation: does nothing, so that
    // descendants may translate control words.
    virtual void TranslateKeyword(TRVRTFReader* Sender, const AnsiString& Keyword, int Param, bool fParam,
                                  AnsiString& Text, bool& DoDefault);

private:
    friend class TRVRTFImportRun;
    TRVRTFErrorCode Read(TStream& Stream, TCustomRVData* RVData, int& Index, bool InsertMode);
    int FTextStyleNo = 0;
    int FParaStyleNo = 0;
};
