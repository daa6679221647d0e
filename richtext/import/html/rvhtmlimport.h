// The HTML importer: the tokenizer of HTML text with its entities, the
// parsers of attribute values, the CSS reader of the family's own style
// sheets, TRvHtmlImporter that builds a document from HTML, and the one
// entry point (text in, document or error out).
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/style/RVStyle.h"

enum TRVHTMLEncoding : uint8_t { rvhtmleANSI, rvhtmleUTF8 };

// ---- the tokenizer
enum THtmlTokenKind : uint8_t { htkComment, htkText, htkTag };

class THtmlParser {
public:
    THtmlParser(std::string_view AText, TRVHTMLEncoding AEncoding, int ACodePage);

    AnsiString Text;
    bool LastWasSpace = false;
    TRVHTMLEncoding Encoding;
    AnsiString Token;
    // "name=value" or a bare name, as written.
    std::vector<AnsiString> Attributes;
    THtmlTokenKind TokenKind = htkText;
    bool CollapseSpaces = true;
    int Line = 1;
    int CodePage;
    // Entities that no table knows, since the parser was made.
    int UnknownEntities = 0;

    bool AtEnd() const { return FPosition >= Text.size(); }
    int Position() const { return int(FPosition); }
    void Next();

private:
    void ReadComment();
    void ReadTag();
    void ReadText();
    std::size_t FPosition = 0;
};

// The text of an entity name in the parser's encoding; Known is cleared
// for a name kept as written.
AnsiString DecodeHtmlEntity(const AnsiString& Name, TRVHTMLEncoding Encoding, int CodePage, bool& Known);

// ---- values of attributes and CSS
// The value of the first "Name=..." entry, case ignored; empty when none.
AnsiString HtmlAttribute(const std::vector<AnsiString>& Attributes, const AnsiString& Name);
bool HasHtmlAttribute(const std::vector<AnsiString>& Attributes, const AnsiString& Name);
TColor HtmlColor(const AnsiString& Text);
// HTML font sizes 1..7 and points.
int HtmlSizeToPoints(int Size);
int HtmlPointsToSize(int Points);
// List kinds: 0 none, 1 disc, 2 circle, 3 square, 4 decimal, 5 a, 6 A, 7 i, 8 I.
int HtmlListKind(const AnsiString& Text, int Default);
// "align": 0 left, 1 right, 2 centre, 3 justify, else Default.
int HtmlAlignment(const std::vector<AnsiString>& Attributes, int Default);
// The value of property Name in a CSS rule text; empty when absent.
AnsiString CssValue(const AnsiString& Rule, const AnsiString& Name);

// ---- the importer
using TRVHTMLOptions = uint8_t;
enum TRVHTMLOption : uint8_t {
    rvhtmloAutoHyperlinks = 1 << 0,
    rvhtmloBasePathLinks = 1 << 1,
    rvhtmloImgSrcToImageName = 1 << 2,
};

enum TBackgroundStyle : uint8_t {
    bsNoBitmap,
    bsStretched,
    bsTiled,
    bsTiledAndScrolled,
    bsCentered,
    bsTopLeft,
    bsTopRight,
    bsBottomLeft,
    bsBottomRight
};

// What HTML says of the page that shows the document: a document has no
// control here, so its host applies these.
struct TRVHtmlPageSettings {
    TColor Color = clNone;
    std::unique_ptr<TRVBitmapImage> BackgroundBitmap;
    TBackgroundStyle BackgroundStyle = bsNoBitmap;
    bool MarginsSet = false;
    int LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
};

using TOnComment = std::function<void(TObject* Sender, const AnsiString& Comment)>;
using TOnImageRequired2 = std::function<void(TObject* Sender, const AnsiString& Src, int Width, int Height,
                                             std::unique_ptr<TRVGraphic>& Img)>;
// May turn a link into a style, tag and text of the application's.
using TRVHtmlReadHyperlinkEvent = std::function<void(TCustomRVData* RVData, const AnsiString& Target,
                                                     AnsiString& Text, TRVTag& Tag, int& StyleNo)>;

class THtmlImportRun;
class TRVTableItemInfo;

class TRvHtmlImporter : public TComponent {
public:
    explicit TRvHtmlImporter(TComponent* AOwner);
    ~TRvHtmlImporter() override;

    // ---- published
    // The document filled, with the style sheet it answers; not owned.
    TCustomRVData* Document = nullptr;
    bool ClearDocument = true;
    bool SeparateLines = false;
    AnsiString DefaultFontName = "Times New Roman";
    AnsiString DefaultCFontName = "Courier New";
    int DefaultFontSize = 12;
    int DefaultCFontSize = 10;
    TColor DefaultColor = clWindowText;
    TColor DefaultLinkCol = 0xFF0000;
    TFontStyles DefaultLinkStyle = fsUnderline;
    TColor DefaultBGColor = clWindow;
    bool EnforceListLevels = true;
    TRVHTMLOptions Options = rvhtmloAutoHyperlinks | rvhtmloBasePathLinks;
    TRVHTMLEncoding Encoding = rvhtmleANSI;
    TOnComment OnComment;
    TNotifyEvent OnNewLine;
    TOnImageRequired2 OnImageRequired2;
    TRVHtmlReadHyperlinkEvent OnReadHyperlink;

    // ---- public
    AnsiString BasePath;
    AnsiString PageTitle;
    bool UseExistingStyles = false;
    int SourceSelStart = -1;
    int SourceSelEnd = -1;
    TCustomRVData* SelData = nullptr;
    int SelStartItem = -1;
    int SelEndItem = -1;
    // Of the last import.
    TRVHtmlPageSettings Page;
    // What the last import could not take as written: unknown tags and
    // entities, pictures not loaded, cells outside tables, caps reached.
    std::vector<AnsiString> Warnings;

    // Imports the whole text into Document (EZoroZudoError without one);
    // the caller formats the document afterwards.
    void ImportHtml(std::string_view Html);

private:
    friend class THtmlImportRun;
    int FLastLine = 0;
};

// ---- the one entry point
// A top-level document with a style sheet of its own; hyperlink targets
// are kept as the items' text tags.
class TRVHtmlDocument : public TCustomRVData {
public:
    TRVHtmlDocument();
    ~TRVHtmlDocument() override;
    std::unique_ptr<TRVStyle> Style;
    uint16_t Flags = 0;
    TRVOptions Options = RVDefaultOptions | rvoTagsArePChars;

    TRVStyle* GetRVStyle() const override { return Style.get(); }
    TRVOptions GetOptions() const override { return Options; }
    void SetOptions(TRVOptions Value) override { Options = Value; }
    uint16_t GetFlags() const override { return Flags; }
    void SetFlags(uint16_t Value) override { Flags = Value; }
};

struct TRVHtmlReadResult {
    // Empty when the import ran through.
    AnsiString Error;
    std::unique_ptr<TRVHtmlDocument> Document;
    TRVHtmlPageSettings Page;
    std::vector<AnsiString> Warnings;
};

// Imports HTML into a new document with the importer's defaults, or with
// the settings of Importer (its Document is set for the call).
TRVHtmlReadResult ReadHtmlDocument(std::string_view Html);
TRVHtmlReadResult ReadHtmlDocument(std::string_view Html, TRvHtmlImporter& Importer);

// Describes the first broken invariant of a document built from HTML (its
// structure, and style, paragraph and list numbers its style sheet has, in
// table cells too), or returns empty.
AnsiString CheckHtmlDocumentInvariants(const TCustomRVData& Data);
