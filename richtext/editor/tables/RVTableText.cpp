// The table's plain text: the cells' texts joined by the column and row
// separators.
#include "richtext/editor/tables/RVTable_p.h"
#include "richtext/engine/text/RVUni.h"

AnsiString TRVTableItemInfo::AsText(int LineWidth, TCustomRVData* RVData, const AnsiString&,
                                    const AnsiString& Path, bool TextOnly, bool Unicode) const {
    AnsiString rowSeparator = TextRowSeparator, colSeparator = TextColSeparator;
    if (Unicode) {
        unsigned codePage = RVData ? unsigned(RVData->GetDefCodePage()) : 1251;
        rowSeparator = AnsiToRawUnicode(codePage, rowSeparator);
        colSeparator = AnsiToRawUnicode(codePage, colSeparator);
    }
    TRVMemoryStream stream;
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < ColCount(); ++c) {
            if (TRVTableCellData* cell = GetCell(r, c))
                cell->GetRVData()->SaveTextStream(Path, stream, LineWidth, false, TextOnly, Unicode, false);
            if (c < ColCount() - 1) WriteText(stream, colSeparator);
        }
        WriteText(stream, rowSeparator);
    }
    return AnsiString(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}
