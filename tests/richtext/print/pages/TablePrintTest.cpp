// Printed tables on the recording printer (600 dpi, A4, lines 88 device
// pixels high): cut between rows with the heading rows repeated, a row cut
// inside its cells, a table kept whole, footnotes of cells, the pages as
// drawn, and the tables of reports imported from their templates.
#include <gtest/gtest.h>

#include "platform/testing/RecordingPrinter.h"
#include "richtext/editor/tables/RVTablePrint.h"
#include "richtext/engine/RVLayoutTestData.h"
#include "richtext/import/html/rvhtmlimport.h"
#include "richtext/print/control/RVPrint.h"
#include "support/TestSupport.h"

namespace {

class TablePrintTest : public ::testing::Test {
public:
    TablePrintTest() : Style(MakeLayoutStyle()), Source(Style.get(), &ScreenCanvas), Print(nullptr) {
        RVRegisterDocumentItemClasses();
        Source.Width = 600;
    }

    // A table whose cells hold "r<row>c<col>"; the first Heading rows say "head".
    TRVTableItemInfo& AddTable(int Rows, int Cols, int Heading = 0) {
        auto owned = std::make_unique<TRVTableItemInfo>(Rows, Cols, &Source);
        TRVTableItemInfo& table = *owned;
        Source.AddItem("", std::move(owned));
        table.HeadingRowCount = Heading;
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                SetText(table, r, c, (r < Heading ? "head" : "r") + IntToStr(r) + "c" + IntToStr(c));
        return table;
    }
    static void SetText(TRVTableItemInfo& Table, int Row, int Col, const AnsiString& Text) {
        TRVTableCellData& cell = *Table.GetCell(Row, Col);
        cell.Clear();
        cell.AddTextItem(Text, 0, 0);
    }

    int Format() {
        Print.AssignSource(Source);
        return Print.FormatPages();
    }
    TCustomMainPtblRVData& Data() { return Print.PrintableRV->RVData(); }
    TRVTablePrintInfo& Printed(int DrawItemNo) {
        return dynamic_cast<TRVTablePrintInfo&>(*Data().DrawItems[DrawItemNo]);
    }
    int Room() const { return Print.PrintableRV->ClientHeight; }
    // The texts drawn on every printed page, in drawing order.
    std::vector<std::vector<std::string>> PrintedTexts() {
        Print.Print("Table", 1, false);
        std::vector<std::vector<std::string>> out;
        for (const std::vector<AnsiString>& page : Printer.Pages) {
            out.emplace_back();
            for (const AnsiString& line : page) {
                std::size_t a = line.find('\'');
                if (line.rfind("Text ", 0) == 0 && a != std::string::npos)
                    out.back().push_back(line.substr(a + 1, line.rfind('\'') - a - 1));
            }
        }
        return out;
    }

    TRecordingPrinter Printer;
    TFixedMetricsCanvas ScreenCanvas;
    std::unique_ptr<TRVStyle> Style;
    TTestFormattedData Source;
    TRVPrint Print;
};

TEST_F(TablePrintTest, ALongTableIsCutBetweenRowsWithItsHeadingRowsOnEveryPage) {
    TRVTableItemInfo& table = AddTable(121, 2, 1);
    table.CellBorderWidth = 1;
    Source.AddTextItem("after", 0, 0);
    int pages = Format();
    ASSERT_GE(pages, 2);
    TRVTablePrintInfo& info = Printed(0);
    EXPECT_EQ(info.HeadingRows, 1);
    // What follows the table is laid out below it.
    EXPECT_EQ(Data().DrawItems[1]->Top, info.Top + info.Height);
    ASSERT_EQ(info.PartsList.Count(), pages);
    std::vector<int> starts;
    int next = 1;
    for (int p = 0; p < info.PartsList.Count(); ++p) {
        SCOPED_TRACE(p);
        TRVTablePrintPart& part = *info.Part(p);
        starts.push_back(part.FirstRow());
        EXPECT_EQ(part.FirstRow(), next);
        EXPECT_TRUE(part.LastRowWhole);
        EXPECT_TRUE(part.ContinuedPages.empty());
        // Every part places its first row at the same height below the heading row.
        EXPECT_EQ(part.RowYs[0], info.Part(0)->RowYs[0]);
        EXPECT_LE(part.Height, Room());
        next = part.LastRow() + 1;
        if (p + 1 < info.PartsList.Count()) {
            // The next row would not have fitted.
            int pitch = part.RowYs[1] - part.RowYs[0];
            EXPECT_GT(part.Height + pitch, Room());
            EXPECT_EQ(Data().Pages->Page(p + 2).FirstPart, p + 2);
            EXPECT_EQ(Data().Pages->Page(p + 2).FirstDrawItem, 0);
        }
    }
    EXPECT_EQ(next, 121);
    // The page starts handed back to the view name the first row of each page.
    std::vector<TRVPageStartPlace> breaks = Print.SoftPageBreaks();
    ASSERT_EQ(int(breaks.size()), pages - 1);
    for (int i = 0; i < pages - 1; ++i)
        EXPECT_EQ(breaks[std::size_t(i)].ExtraData, starts[std::size_t(i) + 1]);

    // Each printed page begins with the heading row, then its own rows in order.
    std::vector<std::vector<std::string>> texts = PrintedTexts();
    ASSERT_EQ(int(texts.size()), pages);
    for (int p = 0; p < pages; ++p) {
        SCOPED_TRACE(p);
        TRVTablePrintPart& part = *info.Part(p);
        std::vector<std::string> expected{"head0c0", "head0c1"};
        for (int r = part.FirstRow(); r <= part.LastRow(); ++r)
            for (int c = 0; c < 2; ++c)
                expected.push_back("r" + std::to_string(r) + "c" + std::to_string(c));
        if (p == pages - 1) expected.push_back("after");
        EXPECT_EQ(texts[std::size_t(p)], expected);
    }
}

TEST_F(TablePrintTest, ARowTallerThanAPageIsCutInsideItsCells) {
    TRVTableItemInfo& table = AddTable(3, 2, 1);
    // Row 1: a cell of 150 lines beside a cell of one.
    TRVTableCellData& tall = *table.GetCell(1, 0);
    tall.Clear();
    for (int i = 0; i < 150; ++i)
        tall.AddTextItem("line" + IntToStr(i), 0, 0);
    int pages = Format();
    ASSERT_EQ(pages, 3);
    TRVTablePrintInfo& info = Printed(0);
    ASSERT_EQ(info.PartsList.Count(), 3);
    TRVTablePrintPart& first = *info.Part(0);
    EXPECT_EQ(first.FirstRow(), 1);
    EXPECT_EQ(first.LastRow(), 1);
    EXPECT_FALSE(first.LastRowWhole);
    // The second page shows the cut cell's page 2 and nothing of its finished neighbour.
    TRVTablePrintPart& second = *info.Part(1);
    EXPECT_EQ(second.FirstRow(), 1);
    EXPECT_EQ(second.ContinuedPages, (std::vector<int32_t>{2, 0}));
    EXPECT_TRUE(second.CutsContent());
    EXPECT_FALSE(second.LastRowWhole);
    // The last page ends the tall cell and holds the last row whole.
    TRVTablePrintPart& third = *info.Part(2);
    EXPECT_EQ(third.ContinuedPages, (std::vector<int32_t>{3, 0}));
    EXPECT_TRUE(third.LastRowWhole);
    EXPECT_EQ(third.LastRow(), 2);
    for (int p = 0; p < 2; ++p)
        EXPECT_LE(info.Part(p)->Height, Room());

    // Every line of the tall cell is printed once, in order, under the heading row.
    std::vector<std::vector<std::string>> texts = PrintedTexts();
    ASSERT_EQ(texts.size(), 3u);
    std::vector<std::string> lines;
    for (std::size_t p = 0; p < texts.size(); ++p) {
        ASSERT_GE(texts[p].size(), 2u);
        EXPECT_EQ(texts[p][0], "head0c0");
        EXPECT_EQ(texts[p][1], "head0c1");
        for (const std::string& t : texts[p])
            if (t.rfind("line", 0) == 0) lines.push_back(t);
        EXPECT_EQ(std::count(texts[p].begin(), texts[p].end(), "r1c1"), p == 0 ? 1 : 0);
    }
    ASSERT_EQ(lines.size(), 150u);
    for (int i = 0; i < 150; ++i)
        EXPECT_EQ(lines[std::size_t(i)], "line" + std::to_string(i));
    EXPECT_EQ(texts[2].back(), "r2c1");
}

TEST_F(TablePrintTest, ATableThatMayNotBeCutMovesWholeToTheNextPage) {
    for (int i = 0; i < 60; ++i)
        Source.AddTextItem("text " + IntToStr(i), 0, 0);
    TRVTableItemInfo& table = AddTable(20, 2);
    table.PrintOptions &= uint8_t(~rvtoRowsSplit);
    ASSERT_EQ(Format(), 2);
    EXPECT_EQ(Data().Pages->Page(2).FirstDrawItem, 60);
    EXPECT_EQ(Printed(60).PartsList.Count(), 0);

    // With cutting allowed it begins on the first page, and all its rows are heading rows: it is whole.
    table.PrintOptions |= rvtoRowsSplit;
    ASSERT_EQ(Format(), 2);
    EXPECT_EQ(Data().Pages->Page(2).FirstDrawItem, 60);
    EXPECT_EQ(Printed(60).Part(1)->FirstRow(), Printed(60).Part(0)->LastRow() + 1);
    table.HeadingRowCount = 20;
    ASSERT_EQ(Format(), 2);
    EXPECT_EQ(Printed(60).HeadingRows, 20);
    EXPECT_EQ(Printed(60).PartsList.Count(), 0);
}

TEST_F(TablePrintTest, AFootnoteInACellStandsOnThePageOfItsRow) {
    TRVTableItemInfo& table = AddTable(100, 1);
    TRVTableCellData& cell = *table.GetCell(80, 0);
    auto note = std::make_unique<TRVFootnoteItemInfo>(&cell, 0, 1, false);
    note->Document->AddTextItem("note text", 0, 0);
    cell.AddItem("", std::move(note));
    ASSERT_EQ(Format(), 2);
    TRVTablePrintInfo& info = Printed(0);
    ASSERT_EQ(info.PartsList.Count(), 2);
    ASSERT_LE(info.Part(1)->FirstRow(), 80);
    ASSERT_TRUE(Data().Pages->Page(2).FootnoteList);
    EXPECT_FALSE(Data().Pages->Page(1).FootnoteList);
    std::vector<std::vector<std::string>> texts = PrintedTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].back(), "note text");
}

} // namespace

namespace {

// The texts of the cells of every table in Data, in reading order, without white space.
void CollectCellTexts(TCustomRVData& Data, std::vector<std::string>& Out) {
    for (int i = 0; i < Data.ItemCount(); ++i) {
        auto* table = dynamic_cast<TRVTableItemInfo*>(Data.GetItem(i));
        if (!table) continue;
        for (int r = 0; r < table->RowCount(); ++r)
            for (int c = 0; c < table->ColCount(); ++c)
                if (TRVTableCellData* cell = table->GetCell(r, c)) {
                    std::string text;
                    for (int k = 0; k < cell->ItemCount(); ++k)
                        if (cell->GetItem(k)->StyleNo >= 0) text += cell->GetItemTextAnsi(k);
                    std::erase_if(text, [](char Ch) { return Ch == ' ' || Ch == '\xA0'; });
                    if (!text.empty()) Out.push_back(text);
                    CollectCellTexts(*cell, Out);
                }
    }
}

} // namespace

TEST_F(TablePrintTest, AReportFromATemplatePrintsTheTextOfEveryTableCellInOrder) {
    for (const char* name : {"template_concl.html", "template_grcon.html", "template_dyn.html"}) {
        SCOPED_TRACE(name);
        std::string html = ReadFileBytes(SourceDir() + "/tests/fuzz/corpus/rv_html_import/" + name);
        ASSERT_FALSE(html.empty()) << name;
        Source.Clear();
        Style = std::make_unique<TRVStyle>(nullptr);
        Source.Style = Style.get();
        TRvHtmlImporter importer(nullptr);
        importer.Document = &Source;
        importer.ImportHtml(html);
        std::vector<std::string> cells;
        CollectCellTexts(Source, cells);
        ASSERT_FALSE(cells.empty());
        int pages = Format();
        ASSERT_GE(pages, 1);
        Printer.Pages.clear();
        std::string printed;
        for (const std::vector<std::string>& page : PrintedTexts())
            for (const std::string& text : page)
                printed += text;
        std::erase_if(printed, [](char Ch) { return Ch == ' ' || Ch == '\xA0'; });
        std::size_t at = 0;
        for (const std::string& cell : cells) {
            std::size_t found = printed.find(cell, at);
            ASSERT_NE(found, std::string::npos) << AnsiToUtf8(0, cell);
            at = found + cell.size();
        }
    }
}
