// The table's HTML writer: a table element whose cells hold the HTML of the
// cell documents. The engine's HTML writers call it for a table and hand it
// the writer of a cell's document.
#pragma once

#include <functional>

#include "richtext/editor/tables/RVTable.h"

class TRVTableHtmlWriter {
public:
    // The engine's save options; CSS mode with UseCSS or rvhsNonTextCSS.
    TRVHtmlSaveOptions Options = 0;
    // True when the CSS writer calls.
    bool UseCSS = false;
    // Writes one cell's document, body only, in the document colour given
    // (the engine's writer that called, with its picture state).
    std::function<void(TStream& Stream, TCustomRVData& Document, TColor Color, TRVHtmlSaveOptions Options)>
        WriteDocument;

    void Write(TStream& Stream, const TRVTableItemInfo& Table) const;

private:
    bool CssMode() const { return UseCSS || (Options & rvhsNonTextCSS); }
    AnsiString Attribute(const char* Name, const AnsiString& Value, const AnsiString& Default = "") const;
    AnsiString CellBorderCss(const TRVTableItemInfo& Table, const TRVTableCellData* Cell) const;
};
