// The column table, the header built from it, the rows in memory and the
// node records made from them, cell texts, comparisons, header sorting, the
// focus mark and the header pop-up filter.
#include "app/VTAddons.h"

#include <cmath>
#include <new>

#include "platform/gui/ImgList.h"

namespace {

constexpr int kMarkColumnWidth = 12;
constexpr int kFocusImage = 19;
constexpr int kFocusImageShift = 3;
// Date-times closer than a millisecond are the same.
constexpr double kOneMillisecond = 1.0 / (24.0 * 60 * 60 * 1000);

TRecord* RecordOf(TBaseVirtualTree* Tree, PVirtualNode Node) {
    if (!Tree || !Node || !Node->States.Contains(vsInitDone)) return nullptr;
    return Tree->GetNodeData<TRecord>(Node);
}

// The value under header column Column of Node; nullptr for the mark column,
// a column past the table or a node without a record.
const Variant* CellValue(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) {
    TRecord* record = RecordOf(Tree, Node);
    if (!record || Column < 1 || Column > TColumnIndex(record->Values.size())) return nullptr;
    return &record->Values[std::size_t(Column - 1)];
}

AnsiString ValueText(const Variant& V) {
    if (V.IsEmptyOrNull()) return AnsiString();
    if (V.IsInteger()) return IntToStr(V.AsInt64());
    if (V.IsFloat()) return FloatToStr(V.AsFloat());
    if (V.IsDateTime()) return DateTimeToStr(V.AsDateTime());
    return V.AsString();
}

template <class T> int Sign(T A, T B) {
    return A < B ? -1 : (B < A ? 1 : 0);
}

int CompareValues(const Variant& V1, const Variant& V2) {
    if (V1.IsEmptyOrNull() || V2.IsEmptyOrNull()) return int(V2.IsEmptyOrNull()) - int(V1.IsEmptyOrNull());
    if (V1.IsInteger() && V2.IsInteger()) return Sign(V1.AsInt64(), V2.AsInt64());
    if ((V1.IsInteger() || V1.IsFloat()) && (V2.IsInteger() || V2.IsFloat()))
        return Sign(V1.AsFloat(), V2.AsFloat());
    if (V1.IsDateTime() && V2.IsDateTime()) {
        const double delta = V1.AsDateTime() - V2.AsDateTime();
        return std::fabs(delta) < kOneMillisecond ? 0 : (delta < 0 ? -1 : 1);
    }
    const AnsiString *s1 = V1.StringValue(), *s2 = V2.StringValue();
    const int c = s1 && s2 ? s1->compare(*s2) : ValueText(V1).compare(ValueText(V2));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int TVTDBColumns::Add(const TDataColumn& Column) {
    FColumns.push_back(Column);
    return Count() - 1;
}

void TVTDBColumns::Get(int Index, TDataColumn& Column) const {
    if (Index >= 0 && Index < Count()) Column = FColumns[std::size_t(Index)];
}

void TGridRows::Read(TIBQuery* DataSet, const TVTDBColumns& Columns, const TDataColumn& KeyColumn) {
    FRows.clear();
    FRows.reserve(std::size_t(DataSet->RecordCount()));
    std::vector<TIBField*> fields;
    std::vector<bool> dates;
    for (int i = 0; i < Columns.Count(); ++i) {
        TDataColumn column;
        Columns.Get(i, column);
        fields.push_back(&DataSet->FieldByName(column.FieldName));
        dates.push_back(column.FieldType == ftDate);
    }
    TIBField& key = DataSet->FieldByName(KeyColumn.FieldName);
    for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) {
        TRecord row;
        row.Key = key.Value();
        row.Values.reserve(fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Variant& value = fields[i]->Value();
            // The day alone, cut numerically: no date text can lose it.
            if (dates[i] && !value.IsEmptyOrNull())
                row.Values.push_back(Variant::FromDateTime(double(Trunc(value.AsDateTime()))));
            else
                row.Values.push_back(value.IsEmpty() ? Variant::Null() : value);
        }
        FRows.push_back(std::move(row));
    }
}

TRecord TGridRows::Take(int Index) {
    if (Index < 0 || Index >= Count()) return TRecord();
    return std::move(FRows[std::size_t(Index)]);
}

void BuildTreeColumns(TBaseVirtualTree* Tree, const TVTDBColumns& Columns) {
    TVTHeader* header = Tree->Header();
    TVirtualTreeColumns* columns = header->Columns();
    columns->Clear();
    TVirtualTreeColumn* mark = columns->Add();
    mark->SetMinWidth(kMarkColumnWidth);
    mark->SetMaxWidth(kMarkColumnWidth);
    mark->SetWidth(kMarkColumnWidth);
    mark->SetOptions(mark->Options() + TVTColumnOptions{coFixed} -
                     TVTColumnOptions{coAllowClick, coDraggable, coResizable, coShowDropMark});
    for (int i = 0; i < Columns.Count(); ++i) {
        TDataColumn data;
        Columns.Get(i, data);
        TVirtualTreeColumn* column = columns->Add();
        column->SetText(AnsiToWide(data.Title));
        TVTColumnOptions options = column->Options();
        if (data.DefaultVisible)
            options.Include(coVisible);
        else
            options.Exclude(coVisible);
        column->SetOptions(options);
        column->SetAlignment(data.Alignment == daCenter ? taCenter : taLeftJustify);
        column->SetWidth(data.DefaultWidth);
    }
    header->SetAutoSizeIndex(columns->Count() - 1);
    header->SetOptions(header->Options() + TVTHeaderOptions{hoAutoResize});
}

bool InitNodeFromDataSet(TBaseVirtualTree* Tree, TGridRows& Rows, const Variant& LocateId,
                         PVirtualNode Node) {
    auto* record = new (Tree->GetNodeData(Node)) TRecord(Rows.Take(int(Node->Index)));
    return !record->Key.IsEmptyOrNull() && record->Key == LocateId;
}

AnsiString GetNodeText(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) {
    const Variant* value = CellValue(Tree, Node, Column);
    return value ? ValueText(*value) : AnsiString();
}

void CompareNodeValues(TBaseVirtualTree* Tree, PVirtualNode Node1, PVirtualNode Node2, TColumnIndex Column,
                       int& Result) {
    const Variant* v1 = CellValue(Tree, Node1, Column);
    const Variant* v2 = CellValue(Tree, Node2, Column);
    if (v1 && v2) Result = CompareValues(*v1, *v2);
}

void HeaderClickSort(TVTHeader* Header, TColumnIndex Column, TMouseButton Button) {
    if (Button != TMouseButton::mbLeft || Column < 1) return;
    if (Header->SortColumn() == Column) {
        Header->SetSortDirection(Header->SortDirection() == sdAscending ? sdDescending : sdAscending);
    } else {
        Header->SetSortColumn(Column);
        Header->SetSortDirection(sdAscending);
    }
    Header->Treeview()->SortTree(Header->SortColumn(), Header->SortDirection(), true);
}

void PaintFocusMark(TBaseVirtualTree* Tree, TCanvas* Canvas, PVirtualNode Node, TCustomImageList* Images,
                    TRect CellRect, TColumnIndex Column) {
    if (Column != 0) return;
    TRect edge = CellRect;
    Canvas->DrawEdge(edge, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
    if (Images && Node == Tree->FocusedNode())
        Images->Draw(Canvas, CellRect.Left - kFocusImageShift, CellRect.Top, kFocusImage);
}

void FreeNodeData(TBaseVirtualTree* Tree, PVirtualNode Node) {
    if (TRecord* record = RecordOf(Tree, Node)) record->~TRecord();
}

void GetHeaderPopupItemCmd(TBaseVirtualTree*, TColumnIndex Column, const TVTDBColumns& Columns,
                           TAddPopupItemType& Cmd) {
    if (Column < 1) {
        Cmd = apHidden;
        return;
    }
    TDataColumn data;
    data.InHeaderPopup = false; // a column past the table is not offered
    Columns.Get(Column - 1, data);
    if (!data.InHeaderPopup) Cmd = apHidden;
}

void GetFocusedKey(TBaseVirtualTree* Tree, Variant& Key) {
    Key = Variant();
    if (Tree->GetRootNodeCount() == 0) return;
    PVirtualNode node = Tree->FocusedNode();
    if (!node) node = Tree->GetFirstSelected();
    if (TRecord* record = RecordOf(Tree, node)) Key = record->Key;
}
