// The editing data's invariant checker.
#include "richtext/editor/edit/RVERVDataCheck.h"

#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/layout/CRVFDataCheck.h"

namespace {

void Add(AnsiString& Out, const AnsiString& Fault) {
    if (!Out.empty()) Out += "; ";
    Out += Fault;
}

void CheckCaret(const TRVEditRVData& Data, AnsiString& Out) {
    int count = Data.DrawItems.Count();
    if (count == 0) {
        if (Data.CaretDrawItem != -1) Add(Out, "a caret in a document without drawing items");
        return;
    }
    if (Data.CaretDrawItem < 0 || Data.CaretDrawItem >= count) {
        Add(Out, Format("caret drawing item %d of %d", {Data.CaretDrawItem, count}));
        return;
    }
    const TRVCharPos* pos = Data.CurrentCharPos();
    if (!pos) {
        Add(Out, Format("caret position %d of %d", {Data.CaretPosIndex, Data.CharPositions.Count()}));
        return;
    }
    if (pos->DrawItem != Data.CaretDrawItem)
        Add(Out, Format("the caret's position is on drawing item %d, not %d",
                        {pos->DrawItem, Data.CaretDrawItem}));
    int first, last;
    Data.GetLineDrawItemRange(Data.CaretDrawItem, first, last);
    for (int i = 0; i < Data.CharPositions.Count(); ++i) {
        const TRVCharPos& p = Data.CharPositions.GetItem(i);
        if (p.DrawItem < first || p.DrawItem > last) {
            Add(Out, Format("caret position %d lies off the caret's line", {i}));
            return;
        }
        if (p.DrawItemOffset < Data.DrawItemStartOffset(p.DrawItem) ||
            p.DrawItemOffset > Data.DrawItemEndOffset(p.DrawItem)) {
            Add(Out,
                Format("caret position %d has offset %d outside its drawing item", {i, p.DrawItemOffset}));
            return;
        }
        if (Data.LiveItem(Data.DrawItems[p.DrawItem]->ItemNo).StyleNo == rvsListMarker) {
            Add(Out, Format("caret position %d lies on a list marker", {i}));
            return;
        }
    }
}

void CheckList(const TRVUndoList& List, const char* Name, AnsiString& Out) {
    for (int g = 0; g < List.Count(); ++g) {
        const TRVUndoInfos& group = *List.GetItem(g);
        for (const auto& info : group.Items) {
            auto* own = dynamic_cast<const TRVEditUndoInfo*>(info.get());
            if (own && own->List != &List) {
                Add(Out, Format("a record of %s group %d belongs to another list", {Name, g}));
                return;
            }
            if (info->Kind == rvuTyping && group.Count() != 1) {
                Add(Out, Format("%s group %d holds typing beside other records", {Name, g}));
                return;
            }
        }
    }
    if (List.Limit > 0 && List.Count() > List.Limit)
        Add(Out, Format("%s holds %d groups over its limit %d", {Name, List.Count(), List.Limit}));
}

} // namespace

AnsiString CheckEditInvariants(const TRVEditRVData& Data) {
    AnsiString out = CheckRVDataInvariants(Data);
    if (AnsiString layout = CheckFormattedInvariants(Data); !layout.empty()) Add(out, layout);
    CheckCaret(Data, out);
    CheckList(*Data.UndoList, "the undo list", out);
    CheckList(*Data.RedoList, "the redo list", out);
    return out;
}
