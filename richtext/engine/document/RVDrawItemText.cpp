// The characters of drawing items, read from the document's item list.
#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/lines/DLines.h"

AnsiString TRVDrawLines::GetDrawItemText(int Index, const TRVItemList& Items) const {
    const TRVDrawLineInfo& piece = *GetItem(Index);
    const TCustomRVItemInfo* item = Items.Objects(piece.ItemNo);
    return ItemTextCopy(Items.Strings(piece.ItemNo), piece.Offs, piece.Length, item ? item->ItemOptions : 0);
}

AnsiString TRVDrawLines::GetDrawItemTextPart(int Index, const TRVItemList& Items, int From, int Count) const {
    const TRVDrawLineInfo& piece = *GetItem(Index);
    if (From + Count > piece.Length + 1) Count = piece.Length - From + 1;
    const TCustomRVItemInfo* item = Items.Objects(piece.ItemNo);
    return ItemTextCopy(Items.Strings(piece.ItemNo), piece.Offs + From - 1, Count,
                        item ? item->ItemOptions : 0);
}
