// The binding of a tree grid to a query's rows: the column table, the header
// built from it, the rows read into memory with one node per row, cell texts,
// the comparison that sorts them, the focus mark, the header pop-up filter,
// and the layout kept in the settings store.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/vtree/VTHeaderPopup.h"
#include "controls/vtree/VirtualTrees.h"
#include "platform/db/IBQuery.h"

class TCustomImageList;

// Field types of a column; only ftDate changes what the grid does.
enum TDataFieldType : uint8_t {
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftFloat = 6,
    ftDate = 9,
    ftDateTime = 11
};
// Alignments of a column's text.
enum TDataAlignment : uint8_t { daLeft = 0, daCenter = 2 };

// One grid column bound to a field of the query's rows.
struct TDataColumn {
    AnsiString FieldName;
    AnsiString Title; // empty for the key column
    uint8_t FieldType = ftString;
    bool DefaultVisible = true;
    int32_t DefaultWidth = 50;
    uint8_t Alignment = daLeft;
    // The user may hide and show it from the header pop-up.
    bool InHeaderPopup = true;
};

// The data columns of one grid, in display order.
class TVTDBColumns : public TObject {
public:
    // Appends a copy; answers its index.
    int Add(const TDataColumn& Column);
    // Copies entry Index into Column; an index out of range leaves it as it was.
    void Get(int Index, TDataColumn& Column) const;
    int Count() const { return int(FColumns.size()); }

private:
    std::vector<TDataColumn> FColumns;
};

// The node data of a data-bound grid.
struct TRecord {
    Variant Key;
    // One value per data column, in table order; Null for a database NULL.
    std::vector<Variant> Values;
};

// The rows of a query as a grid shows them, read once per refresh, so that
// node i takes row i whenever it is first initialised: before any sorting
// every node has the index of its row, and sorting initialises them all.
class TGridRows {
public:
    // Reads every row of DataSet from its first: the key from KeyColumn's
    // field, the values by Columns, dates cut to the day.
    void Read(TIBQuery* DataSet, const TVTDBColumns& Columns, const TDataColumn& KeyColumn);
    int Count() const { return int(FRows.size()); }
    // Hands row Index over; a row handed over before, or out of range,
    // gives an empty record.
    TRecord Take(int Index);
    void Clear() { FRows.clear(); }

private:
    std::vector<TRecord> FRows;
};

// The header of Tree from Columns: a fixed 12-pixel mark column, then one
// column per data column, the last one sized with the grid.
void BuildTreeColumns(TBaseVirtualTree* Tree, const TVTDBColumns& Columns);

// The body of a grid's OnInitNode: the node's record from its row. True
// when its key is LocateId.
bool InitNodeFromDataSet(TBaseVirtualTree* Tree, TGridRows& Rows, const Variant& LocateId, PVirtualNode Node);
// The text of a cell: header column c >= 1 shows value c - 1; integers in
// decimal, floats as the locale writes them, dates with the time unless it
// is midnight. Empty for Null and for the mark column.
AnsiString GetNodeText(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column);
// The body of a grid's OnCompareNodes: Nulls first, numbers and dates by
// value, text by its bytes. Result is left alone for the mark column.
void CompareNodeValues(TBaseVirtualTree* Tree, PVirtualNode Node1, PVirtualNode Node2, TColumnIndex Column,
                       int& Result);
// A left click on a header column sorts by it: ascending, or the other way
// round when it already sorts.
void HeaderClickSort(TVTHeader* Header, TColumnIndex Column, TMouseButton Button);
// The mark column's raised cell, and image 19 of Images on the focused row.
void PaintFocusMark(TBaseVirtualTree* Tree, TCanvas* Canvas, PVirtualNode Node, TCustomImageList* Images,
                    TRect CellRect, TColumnIndex Column);
// The body of a grid's OnFreeNode.
void FreeNodeData(TBaseVirtualTree* Tree, PVirtualNode Node);
// Leaves the mark column and the columns the user may not hide out of the
// header pop-up.
void GetHeaderPopupItemCmd(TBaseVirtualTree* Tree, TColumnIndex Column, const TVTDBColumns& Columns,
                           TAddPopupItemType& Cmd);
// The key of the focused row (or of the first selected one); unassigned
// when there is none.
void GetFocusedKey(TBaseVirtualTree* Tree, Variant& Key);

// The sort order and every column's width, position and visibility under
// Software\Tarvik\<program>\<grid name>. A value that is missing or of
// another type leaves the column as it is (sorting by column 1 ascending).
bool SaveTreeLayout(TBaseVirtualTree* Tree);
bool LoadTreeLayout(TBaseVirtualTree* Tree);
