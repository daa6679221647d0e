// Tables of the HTML importer: a table item grows row by row and cell by
// cell as its tags come, with spans merged, and joins the document that
// holds it at its closing tag (or at the end of the text).
#include "richtext/editor/tables/RVTable.h"
#include "richtext/import/html/rvhtmlimport_p.h"

// A table under construction with the row and column of its last cell.
class THtmlTable {
public:
    std::unique_ptr<TRVTableItemInfo> Item;
    int Row = -1;
    int Col = -1;
};

TContainerDataType::TContainerDataType() = default;
TContainerDataType::~TContainerDataType() = default;

namespace {

TRVCellVAlign VAlignOf(const std::vector<AnsiString>& Attrs, TRVCellVAlign Default) {
    AnsiString v = HtmlLower(HtmlAttribute(Attrs, "valign"));
    return v == "top" ? rvcTop : v == "middle" ? rvcMiddle : v == "bottom" ? rvcBottom : Default;
}

// "N%" as minus N (per cent), else pixels.
int BestWidthOf(const std::vector<AnsiString>& Attrs, const char* Name) {
    AnsiString v = Trim(HtmlAttribute(Attrs, Name));
    if (v.empty()) return 0;
    if (v.back() == '%') return -std::clamp(HtmlNumber(v.substr(0, v.size() - 1), 100), 0, 100);
    return std::clamp(HtmlNumber(v, 0), 0, RVMaxPictureSide);
}

int SmallNumber(const std::vector<AnsiString>& Attrs, const char* Name, int Default) {
    return std::clamp(HtmlNumber(HtmlAttribute(Attrs, Name), Default), 0, 100);
}

// Cells emptied for their content and left without any get their one
// empty text item back.
void FillEmptyCells(TRVTableItemInfo& Table) {
    for (int r = 0; r < Table.RowCount(); ++r)
        for (int c = 0; c < Table.Rows[r]->Count(); ++c)
            if (TRVTableCellData* cell = Table.GetCell(r, c); cell && cell->ItemCount() == 0)
                cell->ResetContent(0, 0);
}

} // namespace

bool THtmlImportRun::InCell() const {
    return CurData && FContainers.back()->Kind == ckCell;
}

void THtmlImportRun::LeaveCell() {
    if (!InCell()) return;
    CurTable = Top().OwnTable;
    CurData = nullptr;
}

void THtmlImportRun::TableTag(const AnsiString& Name) {
    Flush();
    const std::vector<AnsiString>& attrs = Parser.Attributes;
    if (Name == "table") {
        if (!CurData) return;
        if (int(FContainers.size()) + 3 > HtmlMaxContainers) {
            Warn("tables nested too deep");
            return;
        }
        auto table = std::make_unique<THtmlTable>();
        table->Item = std::make_unique<TRVTableItemInfo>(0, 0, CurData);
        TRVTableItemInfo& t = *table->Item;
        t.BorderWidth = SmallNumber(attrs, "border", 0);
        if (t.BorderWidth > 0) t.CellBorderWidth = 1;
        int spacing = SmallNumber(attrs, "cellspacing", 2);
        t.BorderVSpacing = t.BorderHSpacing = t.CellVSpacing = t.CellHSpacing = spacing;
        t.BorderStyle = rvtbRaisedColor;
        t.CellBorderStyle = rvtbLoweredColor;
        t.CellHPadding = t.CellVPadding = SmallNumber(attrs, "cellpadding", 1);
        AnsiString style = HtmlLower(HtmlAttribute(attrs, "style"));
        if (HasHtmlAttribute(attrs, "bordercolor")) {
            t.BorderColor = HtmlColor(HtmlAttribute(attrs, "bordercolor"));
            t.BorderStyle = t.CellBorderStyle = rvtbColor;
        } else if (AnsiString color = CssValue(style, "border-color"); !color.empty()) {
            t.BorderColor = HtmlColor(color);
            t.BorderStyle = t.CellBorderStyle = rvtbColor;
        } else {
            t.BorderColor = clBtnShadow;
        }
        t.CellBorderColor = t.BorderColor;
        t.BorderLightColor = HasHtmlAttribute(attrs, "bordercolorlight")
                                 ? HtmlColor(HtmlAttribute(attrs, "bordercolorlight"))
                                 : clBtnHighlight;
        t.CellBorderLightColor = t.BorderLightColor;
        t.BestWidth = BestWidthOf(attrs, "width");
        t.ParaNo = ParaForAlignment(HtmlAlignment(attrs, Top().Alignments.back()));
        THtmlTable* current = table.get();
        Top().Table = std::move(table);
        CurTable = current;
        PushContainer(ckTable, 0);
        Top().OwnTable = current;
        Top().VAlign = VAlignOf(attrs, TRVCellVAlign(Top().VAlign));
        TColor color = clNone;
        if (HasHtmlAttribute(attrs, "bgcolor"))
            color = HtmlColor(HtmlAttribute(attrs, "bgcolor"));
        else if (AnsiString back = CssValue(style, "background-color"); !back.empty())
            color = HtmlColor(back);
        Top().Color = color;
        t.Color = color;
        CurData = nullptr;
    } else if (Name == "tr") {
        LeaveCell();
        PopContainers(ckRow);
        if (CurData || !CurTable) return;
        THtmlTable& t = *CurTable;
        TRVTableRows& rows = t.Item->Rows;
        if (t.Row + 1 >= rows.Count() &&
            int64_t(rows.Count() + 1) * std::max(1, rows.ColCount()) > HtmlMaxTableCells) {
            Warn("table too large");
            return;
        }
        ++t.Row;
        if (t.Row >= rows.Count()) rows.AddRow(rows.ColCount());
        t.Col = -1;
        PushContainer(ckRow, HtmlAlignment(attrs, 0));
        Top().OwnTable = &t;
        Top().VAlign = VAlignOf(attrs, TRVCellVAlign(Top().VAlign));
        if (HasHtmlAttribute(attrs, "bgcolor")) Top().Color = HtmlColor(HtmlAttribute(attrs, "bgcolor"));
    } else if (Name == "td" || Name == "th") {
        LeaveCell();
        PopContainers(ckCell);
        Parser.LastWasSpace = true;
        Pending.clear();
        if (CurData) {
            Warn("a cell outside a table");
            return;
        }
        if (!CurTable) return;
        THtmlTable& t = *CurTable;
        TRVTableRows& rows = t.Item->Rows;
        if (t.Row == -1) {
            PushContainer(ckRow, 0);
            Top().OwnTable = &t;
            t.Row = 0;
        }
        if (rows.Count() <= t.Row) rows.AddRow(rows.ColCount());
        do {
            ++t.Col;
            if (t.Col >= rows[t.Row]->Count()) {
                if (int64_t(rows.Count()) * (rows.ColCount() + 1) > HtmlMaxTableCells ||
                    rows.ColCount() >= RVTableMaxCols) {
                    Warn("table too large");
                    return;
                }
                for (int r = 0; r < rows.Count(); ++r)
                    rows[r]->AddCell();
            }
        } while (!t.Item->GetCell(t.Row, t.Col));
        int colSpan = std::clamp(HtmlNumber(HtmlAttribute(attrs, "colspan"), 1), 1, HtmlMaxSpan);
        int rowSpan = std::clamp(HtmlNumber(HtmlAttribute(attrs, "rowspan"), 1), 1, HtmlMaxSpan);
        if (colSpan > 1 || rowSpan > 1) {
            int64_t wantRows = std::max(rows.Count(), t.Row + rowSpan);
            int64_t wantCols = std::max(rows.ColCount(), t.Col + colSpan);
            if (wantRows * wantCols > HtmlMaxTableCells || wantCols > RVTableMaxCols) {
                Warn("table too large");
            } else {
                while (rows.Count() < wantRows)
                    rows.AddRow(rows.ColCount());
                for (int extra = int(wantCols) - rows.ColCount(); extra > 0; --extra)
                    for (int r = 0; r < rows.Count(); ++r)
                        rows[r]->AddCell();
                t.Item->MergeCells(t.Row, t.Col, colSpan, rowSpan);
            }
        }
        TRVTableCellData* cell = t.Item->GetCell(t.Row, t.Col);
        cell->Clear();
        int align = HtmlAlignment(attrs, Top().Alignments.back());
        TRVCellVAlign valign = VAlignOf(attrs, TRVCellVAlign(Top().VAlign));
        CurData = cell;
        PushContainer(ckCell, align);
        Top().OwnTable = &t;
        Top().VAlign = valign;
        if (Name == "th") {
            Font.Style |= fsBold;
            SelectStyle(1);
        }
        cell->VAlign = valign;
        if (HasHtmlAttribute(attrs, "bordercolor"))
            cell->BorderColor = HtmlColor(HtmlAttribute(attrs, "bordercolor"));
        if (HasHtmlAttribute(attrs, "bgcolor")) Top().Color = HtmlColor(HtmlAttribute(attrs, "bgcolor"));
        cell->Color = Top().Color;
        cell->BestWidth = BestWidthOf(attrs, "width");
        cell->BestHeight = std::clamp(HtmlNumber(HtmlAttribute(attrs, "height"), 0), 0, RVMaxPictureSide);
    } else if (Name == "/td" || Name == "/th") {
        if (!InCell()) return;
        LeaveCell();
        PopContainers(ckCell);
        Parser.LastWasSpace = true;
        if (Name == "/th") RestoreStyle(false);
    } else if (Name == "/tr") {
        LeaveCell();
        PopContainers(ckRow);
    } else if (Name == "/table") {
        CloseTable();
    }
}

void THtmlImportRun::CloseTable() {
    PopContainers(ckTable);
    CurData = Top().Data;
    if (std::unique_ptr<THtmlTable> table = std::move(Top().Table); table && CurData) {
        // A table without a cell shows nothing.
        if (table->Item->RowCount() > 0 && table->Item->ColCount() > 0) {
            FillEmptyCells(*table->Item);
            CurData->AddItem("", std::move(table->Item));
        }
    }
    CurTable = nullptr;
    ParaMark = -1;
}

void THtmlImportRun::CloseOpenTables() {
    // The innermost open table closes; one open further out is dropped.
    CloseTable();
}
