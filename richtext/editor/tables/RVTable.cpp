// The table's model: cells, rows, the grid with its main-cell lookup, the
// table's construction, owner lookups, colours and its item protocol.
#include "richtext/editor/tables/RVTable.h"

#include "richtext/editor/tables/RVTableCheck.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVStyleUsage.h"
#include "richtext/engine/style/RVStyle.h"

TPenStyle RVTableGridStyle = TPenStyle::psDot;
TPenStyle RVTableGridStyle2 = TPenStyle::psClear;
TColor RVTableGridColor = clBtnFace;

namespace {

// Detached cells report these flags and no parent.
TRVDataList& DetachedList() {
    static TRVDataList list;
    return list;
}

} // namespace

// ---------------------------------------------------------------- undo record

TCustomRVData* TRVTableUndoRecord::GetRVData() const {
    return Table.Rows.HostData;
}

void TRVTableUndoRecord::Undo(TCustomRVData*) {
    uint16_t saved = Table.TableState;
    Table.TableState &= uint16_t(~rvtsInserted);
    TScopeGuard restore([&] { Table.TableState = uint16_t(saved | rvtsFormatInplace); });
    if (!FUndone)
        for (auto it = Steps.rbegin(); it != Steps.rend(); ++it)
            (*it)->Toggle(Table);
    else
        for (auto& step : Steps)
            step->Toggle(Table);
    FUndone = !FUndone;
    RVCheckTableAfterOperation(Table);
}

// ---------------------------------------------------------------- cell

TRVTableCellData::TRVTableCellData(TRVTableRow* ARow)
    : TRVItemFormattedData(ARow ? static_cast<TRVDataList*>(ARow) : &DetachedList()), FRow(ARow) {
    AddTextItem("", 0, 0);
}

TRVTableCellData::~TRVTableCellData() {
    Clear();
}

void TRVTableCellData::Attach(TRVTableRow* Row, TRVUndoInfo* Owner) {
    FRow = Row;
    List = Row ? static_cast<TRVDataList*>(Row) : &DetachedList();
    UndoOwner = Row ? nullptr : Owner;
}

TRVTableItemInfo* TRVTableCellData::GetTable() const {
    if (UndoOwner || !FRow || !FRow->Owner) return nullptr;
    return FRow->Owner->Table;
}

bool TRVTableCellData::HasContent(bool IgnoreStyles) const {
    const TCustomRVData& data = *GetRVData();
    if (data.ItemCount() > 1) return true;
    if (data.ItemCount() == 0) return false;
    const TCustomRVItemInfo& item = data.LiveItem(0);
    if (item.StyleNo < 0 || !data.GetItemText(0).empty()) return true;
    if (IgnoreStyles) return item.StyleNo != 0 || item.ParaNo != 0;
    return false;
}

void TRVTableCellData::AssignProperties(const TRVTableCellData& Source, bool CopySizes, int RowDivisor,
                                        int ColDivisor) {
    Color = Source.Color;
    BorderColor = Source.BorderColor;
    BorderLightColor = Source.BorderLightColor;
    SetVisibleBorders(Source.VisibleBorders);
    VAlign = Source.VAlign;
    BackgroundStyle = Source.BackgroundStyle;
    BackgroundImageFileName = Source.BackgroundImageFileName;
    Hint = Source.Hint;
    if (CopySizes) {
        BestWidth = ColDivisor ? Source.BestWidth / ColDivisor : Source.BestWidth;
        BestHeight = RowDivisor ? Source.BestHeight / RowDivisor : Source.BestHeight;
    }
}

void TRVTableCellData::AssignLayout(const TRVTableCellData& Source) {
    CellLeft = Source.CellLeft;
    CellTop = Source.CellTop;
    CellWidth = Source.CellWidth;
    CellHeight = Source.CellHeight;
}

TRVCellVAlign TRVTableCellData::GetRealVAlign() const {
    if (VAlign != rvcVDefault) return VAlign;
    if (FRow && FRow->VAlign != rvcVDefault) return FRow->VAlign;
    return rvcMiddle;
}

int TRVTableCellData::GetVShift() const {
    TRVTableItemInfo* table = GetTable();
    int padding = table ? table->CellVPadding : 0;
    int h = DocumentHeight;
    switch (GetRealVAlign()) {
    case rvcMiddle:
        return (CellHeight - h) / 2 - padding;
    case rvcBottom:
        return CellHeight - h - 2 * padding;
    default:
        return 0;
    }
}

void TRVTableCellData::ResetContent(int StyleNo, int ParaNo) {
    Clear();
    AddTextItem("", StyleNo, ParaNo);
}

void TRVTableCellData::GetFirstStyles(int& StyleNo, int& ParaNo) const {
    StyleNo = 0;
    ParaNo = ItemCount() > 0 ? GetItemPara(0) : 0;
    for (int i = 0; i < ItemCount(); ++i) {
        const TCustomRVItemInfo& item = LiveItem(i);
        if (item.StyleNo >= 0 && item.StyleNo != rvsDefStyle && TagsAreEqual(item.Tag, TRVTag(0))) {
            StyleNo = item.StyleNo;
            return;
        }
    }
}

int TRVTableCellData::GetWidth() const {
    TRVTableItemInfo* table = GetTable();
    return CellWidth - 2 * (table ? table->ScaleX(table->CellHPadding) : 0);
}

int TRVTableCellData::GetHeight() const {
    TRVTableItemInfo* table = GetTable();
    return CellHeight - 2 * (table ? table->ScaleY(table->CellVPadding) : 0);
}

TColor TRVTableCellData::GetColor() const {
    TRVTableItemInfo* table = GetTable();
    return table ? table->GetEffectiveCellColor(*this) : Color;
}

TRVOptions TRVTableCellData::GetOptions() const {
    TCustomRVData* source = nullptr;
    if (UndoOwner)
        source = UndoOwner->GetRVData();
    else if (TRVTableItemInfo* table = GetTable())
        source = table->Rows.HostData;
    TRVOptions options = source ? source->GetOptions() : RVDefaultOptions;
    return options & ~TRVOptions(rvoClientTextWidth);
}

void TRVTableCellData::GetOrigin(int& X, int& Y) const {
    X = Y = 0;
    TRVTableItemInfo* table = GetTable();
    if (!table) return;
    if (auto* host = dynamic_cast<TCustomRVFormattedData*>(table->Rows.HostData)) {
        host->GetOrigin(X, Y);
        int left = 0, top = 0;
        if (host->GetItemCoords(table->GetItemNo(), left, top)) {
            X += left;
            Y += top;
        }
    }
    X += CellLeft + table->CellHPadding;
    Y += CellTop + table->CellVPadding + GetVShift();
}

int TRVTableCellData::GetHOffs() const {
    TRVTableItemInfo* table = GetTable();
    return table ? -(table->ClientLeft + table->CellHPadding + CellLeft) : 0;
}

int TRVTableCellData::GetVOffs() const {
    TRVTableItemInfo* table = GetTable();
    return table ? -(GetVShift() + table->ClientTop + table->CellVPadding + CellTop) : 0;
}

void TRVTableCellData::GetParentInfo(int& ItemNo, std::unique_ptr<TRVStoreSubRVData>& Location) const {
    ItemNo = -1;
    Location.reset();
    TRVTableItemInfo* table = GetTable();
    if (!table) return;
    ItemNo = table->GetItemNo();
    int row, col;
    table->FindCell(this, row, col);
    Location = std::make_unique<TRVTableStoreSubRVData>(row, col);
}

int TRVTableStoreSubRVData::Compare(const TRVStoreSubRVData& Other) const {
    auto* other = dynamic_cast<const TRVTableStoreSubRVData*>(&Other);
    if (!other) return 0;
    if (Row != other->Row) return Row < other->Row ? -1 : 1;
    return Col == other->Col ? 0 : (Col < other->Col ? -1 : 1);
}

// ---------------------------------------------------------------- row

TRVTableRow::~TRVTableRow() {
    FCells.clear();
}

TCustomRVData* TRVTableRow::GetParentData() const {
    return Owner ? Owner->HostData : nullptr;
}

void TRVTableRow::SwapCell(int Col, std::unique_ptr<TRVTableCellData>& Cell) {
    std::swap(FCells[std::size_t(Col)], Cell);
    if (FCells[std::size_t(Col)]) FCells[std::size_t(Col)]->Attach(this, nullptr);
}

TRVTableCellData* TRVTableRow::AddCell() {
    FCells.push_back(std::make_unique<TRVTableCellData>(this));
    return FCells.back().get();
}

TRVTableCellData* TRVTableRow::InsertCell(int Col) {
    auto it = FCells.insert(FCells.begin() + Col, std::make_unique<TRVTableCellData>(this));
    return it->get();
}

void TRVTableRow::InsertEmptySlot(int Col) {
    FCells.insert(FCells.begin() + Col, nullptr);
}

void TRVTableRow::InsertCellObject(int Col, std::unique_ptr<TRVTableCellData> Cell) {
    if (Cell) Cell->Attach(this, nullptr);
    FCells.insert(FCells.begin() + Col, std::move(Cell));
}

std::unique_ptr<TRVTableCellData> TRVTableRow::RemoveEntry(int Col) {
    std::unique_ptr<TRVTableCellData> cell = std::move(FCells[std::size_t(Col)]);
    FCells.erase(FCells.begin() + Col);
    return cell;
}

// ---------------------------------------------------------------- rows

TRVTableRows::~TRVTableRows() {
    FRows.clear();
}

TRVTableCellData* TRVTableRows::GetMainCell(int Row, int Col, int& MainRow, int& MainCol) const {
    MainRow = Row;
    MainCol = Col;
    if (TRVTableCellData* cell = FRows[std::size_t(Row)]->GetCell(Col)) return cell;
    while (MainRow >= 0) {
        TRVTableRow& row = *FRows[std::size_t(MainRow)];
        while (MainCol > 0 && !row.GetCell(MainCol))
            --MainCol;
        TRVTableCellData* cell = row.GetCell(MainCol);
        if (cell && cell->ColSpan > Col - MainCol && cell->RowSpan > Row - MainRow) return cell;
        MainCol = Col;
        --MainRow;
    }
    // Only a broken grid gets here; the checker names it.
    MainRow = MainCol = -1;
    return nullptr;
}

void TRVTableRows::Reset(int Rows, int Cols) {
    FRows.clear();
    for (int r = 0; r < Rows; ++r)
        AddRow(Cols);
}

TRVTableRow* TRVTableRows::AddRow(int Cols) {
    return InsertRow(Count(), Cols);
}

TRVTableRow* TRVTableRows::InsertRow(int Index, int Cols) {
    auto row = std::make_unique<TRVTableRow>(this);
    for (int c = 0; c < Cols; ++c)
        row->AddCell();
    TRVTableRow* result = row.get();
    FRows.insert(FRows.begin() + Index, std::move(row));
    return result;
}

void TRVTableRows::InsertRowObject(int Index, std::unique_ptr<TRVTableRow> Row) {
    Row->Owner = this;
    for (int c = 0; c < Row->Count(); ++c)
        if (TRVTableCellData* cell = Row->GetCell(c)) cell->Attach(Row.get(), nullptr);
    FRows.insert(FRows.begin() + Index, std::move(Row));
}

std::unique_ptr<TRVTableRow> TRVTableRows::RemoveRow(int Index) {
    std::unique_ptr<TRVTableRow> row = std::move(FRows[std::size_t(Index)]);
    FRows.erase(FRows.begin() + Index);
    row->Owner = nullptr;
    return row;
}

// ---------------------------------------------------------------- table

TRVTableItemInfo::TRVTableItemInfo(TCustomRVData* RVData) : TRVTableItemInfo(1, 1, RVData) {}

TRVTableItemInfo::TRVTableItemInfo(int RowCount, int ColCount, TCustomRVData* RVData)
    : TRVFullLineItemInfo(RVData), Rows(this, RVData) {
    InitDefaults(RowCount, ColCount, RVData);
    TableState = rvtsJustCreated;
}

TRVTableItemInfo::~TRVTableItemInfo() {
    ResetLayout();
    Rows.Clear();
}

void TRVTableItemInfo::InitDefaults(int RowCount, int ColCount, TCustomRVData* RVData) {
    StyleNo = rvsTable;
    Rows.HostData = RVData;
    CheckSize(RowCount, ColCount);
    Rows.Reset(RowCount, ColCount);
}

void TRVTableItemInfo::CheckSize(int64_t RowCount, int64_t ColCount) const {
    if (RowCount < 0 || ColCount < 0) throw EZoroZudoError(errRVTableIndex);
    if (ColCount > RVTableMaxCols || RowCount * ColCount > RVTableMaxCells)
        throw EZoroZudoError(errRVTableTooLarge);
}

void TRVTableItemInfo::FindCell(const TRVTableCellData* Cell, int& Row, int& Col) const {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < Rows[r]->Count(); ++c)
            if (Rows[r]->GetCell(c) == Cell) {
                Row = r;
                Col = c;
                return;
            }
    Row = Col = -1;
}

int TRVTableItemInfo::GetItemNo() const {
    TCustomRVData* host = Rows.HostData;
    if (!host) return -1;
    if (ItemNoCache >= 0 && ItemNoCache < host->ItemCount() && host->GetItem(ItemNoCache) == this)
        return ItemNoCache;
    ItemNoCache = host->GetItemNo(this);
    return ItemNoCache;
}

TRVTableUndoHost* TRVTableItemInfo::UndoHost() const {
    return dynamic_cast<TRVTableUndoHost*>(Rows.HostData);
}

bool TRVTableItemInfo::IsInEditor() const {
    return UndoHost() != nullptr;
}

int TRVTableItemInfo::GetUndoItemNo() const {
    if (!(TableState & rvtsInserted)) return -1;
    TRVTableUndoHost* host = UndoHost();
    if (!host || !host->TableUndoEnabled()) return -1;
    return GetItemNo();
}

int TRVTableItemInfo::ScaleX(int Value) const {
    return DeviceScale ? MulDiv(Value, DeviceScale->DevicePpiX, DeviceScale->ScreenPpiX) : Value;
}

int TRVTableItemInfo::ScaleY(int Value) const {
    return DeviceScale ? MulDiv(Value, DeviceScale->DevicePpiY, DeviceScale->ScreenPpiY) : Value;
}

int TRVTableItemInfo::GetCellPadding() const {
    return int(Round((CellHPadding + CellVPadding) / 2.0));
}

TColor TRVTableItemInfo::GetEffectiveTableColor(bool UseDocumentColor) const {
    if (Color != clNone) return Color;
    auto* host = dynamic_cast<TCustomRVFormattedData*>(Rows.HostData);
    if (!host) return clNone;
    TColor color = clNone;
    if (TRVStyle* style = host->GetRVStyle()) color = style->ParaStyles().GetItem(ParaNo)->Background().Color;
    if (color == clNone && UseDocumentColor) color = host->GetColor();
    return color;
}

TColor TRVTableItemInfo::GetEffectiveCellColor(const TRVTableCellData& Cell) const {
    if (Cell.Color != clNone) return Cell.Color;
    return GetEffectiveTableColor(true);
}

bool TRVTableItemInfo::IsCellFullyTransparent(const TRVTableCellData& Cell) const {
    if (Cell.Color != clNone || Color != clNone) return false;
    auto* host = dynamic_cast<TCustomRVFormattedData*>(Rows.HostData);
    if (!host) return true;
    TRVStyle* style = host->GetRVStyle();
    return !style || style->ParaStyles().GetItem(ParaNo)->Background().Color == clNone;
}

// ---------------------------------------------------------------- item protocol

bool TRVTableItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    switch (Query) {
    case iqInTextOnlyOutput:
    case iqOwnsControlsDirectly:
    case iqResizable:
    case iqHasSubDocuments:
    case iqHtmlBlock:
        return true;
    default:
        return TRVFullLineItemInfo::GetBoolValue(Query);
    }
}

bool TRVTableItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    if (Query == iqxPrintViaBitmap) return false;
    // Its drawing item has the size of the layout made for its canvas.
    if (Query == iqxDeviceSized) return true;
    return TRVFullLineItemInfo::GetBoolValueEx(Query, RVStyle);
}

void TRVTableItemInfo::Inserting(TCustomRVData* RVData, AnsiString& Text, bool Safe) {
    Rows.HostData = RVData;
    TableState &= uint16_t(~(rvtsInserted | rvtsEditMode));
    if (RVData) {
        TableState |= rvtsInserted;
        if (dynamic_cast<TRVTableUndoHost*>(RVData->GetRootData())) TableState |= rvtsEditMode;
    }
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) {
                cell->Attach(Rows[r], nullptr);
                if (cell->ItemCount() == 0) cell->AddTextItem("", 0, 0);
                cell->RefreshItemTexts(cell, Safe);
            }
    TRVFullLineItemInfo::Inserting(RVData, Text, Safe);
}

namespace {

// List markers of Data and the documents inside it that joined the
// numbering before their table had a place in the document (an importer
// fills a table's cells before it adds the table) take their places in it.
void RelistMarkers(TCustomRVData& Data) {
    for (int i = 0; i < Data.ItemCount(); ++i) {
        TCustomRVItemInfo& item = Data.LiveItem(i);
        if (auto* marker = dynamic_cast<TRVMarkerItemInfo*>(&item)) {
            TRVMarkerList* list = Data.GetMarkerList(false);
            if (list && marker->GetIndexInList(list) >= 0) {
                Data.RemoveMarkerFromList(marker, true);
                Data.AddMarkerInList(i);
            }
        }
        std::unique_ptr<TRVStoreSubRVData> position;
        for (TCustomRVData* sub = item.GetSubDocument(position, rvsdFirst); sub;
             sub = item.GetSubDocument(position, rvsdNext))
            RelistMarkers(*sub->GetRVData());
    }
}

} // namespace

void TRVTableItemInfo::Inserted(TCustomRVData* RVData, int ItemNo) {
    TRVFullLineItemInfo::Inserted(RVData, ItemNo);
    if (!RVData) return;
    std::unique_ptr<TRVStoreSubRVData> position;
    for (TCustomRVData* sub = GetSubDocument(position, rvsdFirst); sub;
         sub = GetSubDocument(position, rvsdNext))
        RelistMarkers(*sub->GetRVData());
    if (!(TableState & rvtsJustCreated)) return;
    if (!(RVData->GetFlags() & rvflRoot)) {
        int parentNo;
        std::unique_ptr<TRVStoreSubRVData> location;
        RVData->GetParentInfo(parentNo, location);
        if (parentNo < 0) return;
    }
    TScopeGuard clear([&] { TableState &= uint16_t(~rvtsJustCreated); });
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) {
                TCustomRVData& data = *cell->GetRVData();
                for (int i = 0; i < data.ItemCount(); ++i)
                    data.LiveItem(i).Inserted(&data, i);
            }
}

void TRVTableItemInfo::MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) {
                for (int i = 0; i < cell->ItemCount(); ++i)
                    cell->LiveItem(i).MovingToUndoList(i, cell, ContainerUndoItem);
                cell->UndoOwner = ContainerUndoItem;
            }
    Rows.HostData = nullptr;
    TRVFullLineItemInfo::MovingToUndoList(ItemNo, RVData, ContainerUndoItem);
}

void TRVTableItemInfo::MovingFromUndoList(int ItemNo, TCustomRVData* RVData) {
    Rows.HostData = RVData;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) {
                cell->Attach(Rows[r], nullptr);
                for (int i = 0; i < cell->ItemCount(); ++i)
                    cell->LiveItem(i).MovingFromUndoList(i, cell);
            }
    TRVFullLineItemInfo::MovingFromUndoList(ItemNo, RVData);
}

void TRVTableItemInfo::MarkUsedStyles(TRVStyleUsageInfo& Usage) const {
    TRVFullLineItemInfo::MarkUsedStyles(Usage);
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) cell->GetRVData()->MarkItemsUsedStyles(Usage);
}

void TRVTableItemInfo::RenumberStyles(const TRVStyleUsageInfo& Usage) {
    TRVFullLineItemInfo::RenumberStyles(Usage);
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) cell->GetRVData()->RenumberItemsStyles(Usage);
}

TCustomRVData* TRVTableItemInfo::GetSubDocument(std::unique_ptr<TRVStoreSubRVData>& Position,
                                                TRVSubDocumentCode Code) {
    // Cells in reading order; a position is the cell's own row and column.
    std::vector<std::pair<int, int>> cells;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (GetCell(r, c)) cells.emplace_back(r, c);
    if (cells.empty()) return nullptr;
    int index = -1;
    auto* at = dynamic_cast<TRVTableStoreSubRVData*>(Position.get());
    auto find = [&] {
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (at && cells[i].first == at->Row && cells[i].second == at->Col) return int(i);
        return -1;
    };
    switch (Code) {
    case rvsdFirst:
    case rvsdSelectionStart:
        index = 0;
        break;
    case rvsdLast:
    case rvsdSelectionEnd:
        index = int(cells.size()) - 1;
        break;
    case rvsdNext:
        index = find() < 0 ? -1 : find() + 1;
        break;
    case rvsdPrev:
        index = find() - 1;
        break;
    }
    if (index < 0 || index >= int(cells.size())) return nullptr;
    Position = std::make_unique<TRVTableStoreSubRVData>(cells[std::size_t(index)].first,
                                                        cells[std::size_t(index)].second);
    return GetCell(cells[std::size_t(index)].first, cells[std::size_t(index)].second)->GetRVData();
}

bool TRVTableItemInfo::SetExtraStrProperty(int Code, const AnsiString& Value) {
    if (Code != rvespFileName) return TRVFullLineItemInfo::SetExtraStrProperty(Code, Value);
    BackgroundFileName = Value;
    return true;
}

bool TRVTableItemInfo::GetExtraStrProperty(int Code, AnsiString& Value) const {
    if (Code != rvespFileName) return TRVFullLineItemInfo::GetExtraStrProperty(Code, Value);
    Value = BackgroundFileName;
    return true;
}
