// What the sources of the HTML importer share: one import's working
// records (containers, lists, the current font) and the pass over the
// tokens, whose members the sources define by concern.
#pragma once

#include <map>
#include <tuple>

#include "richtext/import/html/rvhtmlimport.h"

// ASCII letters lowered; the rest as it is.
AnsiString HtmlLower(std::string_view Text);
// A whole text as a signed decimal number, else Default.
int HtmlNumber(const AnsiString& Text, int Default);

// Caps that keep hostile input from growing the document without end.
inline constexpr int HtmlMaxContainers = 64;
inline constexpr int HtmlMaxListLevels = 32;
inline constexpr int HtmlMaxSpan = 64;
inline constexpr int HtmlMaxTableCells = 100000;
inline constexpr int64_t HtmlMaxPictureFile = int64_t(64) << 20;

// One open list.
struct TContainerIndentType {
    uint8_t Ordered = 0;
    uint8_t Kind = 1;
    int Counter = 1;
};

enum TContainerKind : uint8_t { ckDocument, ckTable, ckRow, ckCell };

class THtmlTable;

// One open container: the document, a table, a row or a cell.
struct TContainerDataType {
    std::vector<int> Alignments;
    std::vector<int> Paras;
    std::vector<int> TextStyles;
    std::vector<TContainerIndentType> Lists;
    TContainerKind Kind = ckDocument;
    int SavedStyle = 0;
    int ParaStyle = 0;
    int ListStyle = -1;
    uint8_t VAlign = 1;
    TColor Color = clNone;
    uint8_t PendingKind = 0;
    int PendingNumber = 0;
    bool ListPending = false;
    // A table waiting for its closing tag, and the data that receives items.
    std::unique_ptr<THtmlTable> Table;
    TCustomRVData* Data = nullptr;
    // Of a table, row or cell container: the table it belongs to.
    THtmlTable* OwnTable = nullptr;

    TContainerDataType();
    ~TContainerDataType();
};

struct TFontState {
    AnsiString Name;
    int Size = 12;
    TFontStyles Style = 0;
    TColor Color = clWindowText;
};

struct TParaClass {
    AnsiString Align;
    int Style = 0;
};

class THtmlImportRun {
public:
    THtmlImportRun(TRvHtmlImporter& Importer, std::string_view Html);
    ~THtmlImportRun();
    void Run();

private:
    // ---- the pass (rvhtmlimport.cpp)
    void HandleTag(const AnsiString& Name);
    void SkipTo(const char* Closing);
    void Warn(const AnsiString& Text);
    void UpdateSelection();

    // ---- text, styles and containers (rvhtmlimportText.cpp)
    TContainerDataType& Top() { return *FContainers.back(); }
    void Flush();
    // False for blank text, which waits for the next.
    bool AddTextItem(const AnsiString& Text);
    void AddEmptyParagraph();
    int NextParaNo();
    TRVTag LinkTag(int& StyleNo, AnsiString& Text);
    void SelectStyle(int Stack);
    void RestoreStyle(bool WithVShift);
    void FontFromStyle(int StyleNo, bool WithVShift);
    int FindTextStyle(const TFontState& Font, bool Jump, int VShift);
    // After styles changed in place.
    void ForgetStyleIndex();
    int ParaForAlignment(int Alignment);
    void PushAlignment(int Alignment, int ParaStyle);
    void PopAlignment();
    void PushContainer(TContainerKind Kind, int Alignment);
    void PopContainers(TContainerKind Kind);
    void StyleTag(TFontStyles Style, bool Add);
    void SubSuperTag(int VShift, bool Open);
    void FontTag();
    void SpanTag();
    void HeadingTag(int Level, bool Open);
    void LinkOpenTag();
    void LinkCloseTag();
    void ParagraphTag();

    // ---- lists (rvhtmlimportLists.cpp)
    void OpenList(bool Ordered, int Kind, int Start);
    void CloseList(bool Ordered);
    void ListItemTag();
    void AddListMarker();
    void SetUpLevel(TRVListLevel& Level, int Kind, int Depth);

    // ---- tables (rvhtmlimportTables.cpp)
    void TableTag(const AnsiString& Name);
    bool InCell() const;
    // From a cell to between the cells of its table.
    void LeaveCell();
    void CloseTable();
    void CloseOpenTables();

    // ---- pictures (rvhtmlimportPictures.cpp)
    std::unique_ptr<TRVGraphic> LoadPicture(const AnsiString& Source, int Width, int Height, bool Substitute);
    void PictureTag();
    // BasePath in front of a relative path; ResolvePath does it only under
    // rvhtmloBasePathLinks.
    AnsiString WithBasePath(const AnsiString& Path) const;
    AnsiString ResolvePath(const AnsiString& Path) const;

    // ---- the style sheet of "style" elements (rvhtmlimportCss.cpp)
    void ReadCss(const AnsiString& Css);

    TRvHtmlImporter& I;
    TRVStyle& Style;
    THtmlParser Parser;
    std::vector<std::unique_ptr<TContainerDataType>> FContainers;
    TCustomRVData* CurData = nullptr;
    THtmlTable* CurTable = nullptr;
    int BaseStyle = 0;
    TFontState Font;
    int CurStyle = 0;
    int VShift = 0;
    int ParaMark = -1;
    AnsiString Pending;
    bool LinkOpen = false;
    AnsiString LinkTarget;
    std::size_t LinkDepth = 0;
    TColor LinkColor = clNone;
    bool CssBackground = false;
    bool SelEndPassed = false;
    bool WarnedCaps = false;
    // Per import: text style per "rvts" class, alignment and style per "rvps" class.
    std::vector<int> SpanClasses;
    std::vector<TParaClass> ParaClasses;
    // The first text style of each font, jump flag and shift.
    using TStyleKey = std::tuple<AnsiString, int, TColor, bool, TFontStyles, int>;
    std::map<TStyleKey, int> FStyleIndex;
    int FIndexedStyles = 0;
};
