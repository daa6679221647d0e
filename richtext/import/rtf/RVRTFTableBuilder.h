// What becomes of a table read from RTF: the builder that turns the
// finished grid into items of the document, and the one used until the
// table item exists, which keeps every cell's content as paragraphs.
#pragma once

#include <memory>

#include "richtext/import/rtf/RVRTFTableGrid.h"

class TRVStyle;

// Where a table goes, as the RTF reader offers it to a table builder.
class TRVRTFTablePlacer {
public:
    virtual ~TRVRTFTablePlacer() = default;
    // The document the table goes into and its style sheet.
    virtual TCustomRVData& Document() = 0;
    virtual TRVStyle* Style() = 0;
    // Places an item as the reader places what it reads (a table item with
    // rtf_ts_NewPara, or the items of cells); the item's own paragraph
    // style is kept when it starts a paragraph.
    virtual void PlaceItem(std::unique_ptr<TCustomRVItemInfo> Item, const AnsiString& Text,
                           TRVRTFPosition Position) = 0;
    // Places a tab as the reader places a tab of the text, in a text style
    // and, when it starts a paragraph, a paragraph style.
    virtual void PlaceTab(int TextStyleNo, int ParaNo, TRVRTFPosition Position) = 0;
};

// Turns a finished table into document items. The table's paragraph
// style (its alignment) is ParaNo.
class TRVRTFTableBuilder {
public:
    virtual ~TRVRTFTableBuilder() = default;
    // The builder may take the items of Grid's cells; what it leaves there
    // is freed with the grid.
    virtual void BuildTable(TRVRTFTableGrid& Grid, int ParaNo, TRVRTFTablePlacer& Placer) = 0;
};

// Until the document has a table item: each grid row becomes one paragraph
// with the cells' content separated by tabs; a cell's own paragraphs go on
// after line breaks. List markers inside cells are dropped, as a marker
// can only begin a paragraph.
class TRVRTFParagraphTableBuilder : public TRVRTFTableBuilder {
public:
    void BuildTable(TRVRTFTableGrid& Grid, int ParaNo, TRVRTFTablePlacer& Placer) override;
};
