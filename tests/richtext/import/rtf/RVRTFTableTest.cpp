// Tables read from RTF: the grid's operations and checker, the column grid
// built from the rows' boundaries with merged cells, the table's look, and
// the tables kept as paragraphs until the table item exists.
#include <algorithm>

#include "RVRTFTestSupport.h"

namespace {

// The grid as text: rows in brackets, cells by commas; a cell is its text,
// its spans when above 1 ("r2", "c3") and its best width after ":".
std::string GridText(const TRVRTFTableGrid& Grid) {
    std::string out;
    for (int r = 0; r < Grid.RowCount(); ++r) {
        out += "[";
        bool first = true;
        for (int c = 0; c < Grid.ColCount(); ++c) {
            const TRVRTFGridCell* cell = Grid.Cell(r, c);
            if (!cell) continue;
            if (!first) out += ",";
            first = false;
            out += Summary(*cell->Data);
            if (cell->RowSpan > 1) out += " r" + std::to_string(cell->RowSpan);
            if (cell->ColSpan > 1) out += " c" + std::to_string(cell->ColSpan);
            out += ":" + std::to_string(cell->BestWidth);
        }
        out += "]";
    }
    return out;
}

// Keeps what it is given as text instead of building anything.
class TRecordingTableBuilder : public TRVRTFTableBuilder {
public:
    std::vector<std::string> Tables;
    std::vector<TRVRTFTableProperties> Props;
    void BuildTable(TRVRTFTableGrid& Grid, int, TRVRTFTablePlacer& Placer) override {
        EXPECT_EQ(CheckRTFTableGridInvariants(Grid), "");
        Tables.push_back(GridText(Grid));
        Props.push_back(Grid.Props);
        auto item = std::make_unique<TRVTabItemInfo>(&Placer.Document());
        Placer.PlaceItem(std::move(item), AnsiString(), rtf_ts_NewPara);
    }
};

struct TTableRead {
    TRecordingTableBuilder Builder;
    TRVRTFReadResult Result;
};

std::unique_ptr<TTableRead> ReadTables(const std::string& Body, bool IgnoreTables = false) {
    auto read = std::make_unique<TTableRead>();
    TRVRTFReaderProperties options;
    SetRtfDocumentReadOptions(options);
    options.TableBuilder = &read->Builder;
    options.IgnoreTables = IgnoreTables;
    read->Result = ReadChecked("{\\rtf1{\\fonttbl{\\f0 Arial;}}" + Body + "}", options);
    EXPECT_EQ(read->Result.Code, rtf_ec_OK);
    return read;
}

std::string Row(const std::string& Defs, const std::string& Cells) {
    return "\\trowd" + Defs + Cells + "\\row";
}

// ---------------------------------------------------------------- the grid

TEST(RVRTFTableGridTest, InsertingAcrossMergedCellsGrowsThem) {
    TRVRTFDocument host;
    TRVRTFTableGrid grid(&host);
    grid.InsertCols(0, 3);
    grid.InsertRows(0, 3);
    ASSERT_TRUE(grid.MergeCells(0, 0, 1, 2));
    ASSERT_TRUE(grid.MergeCells(1, 1, 2, 1));
    grid.InsertRows(1, 1);
    EXPECT_EQ(grid.Cell(0, 0)->RowSpan, 3) << "the cell over the new row grows";
    EXPECT_EQ(grid.Cell(1, 0), nullptr);
    EXPECT_NE(grid.Cell(1, 1), nullptr);
    grid.InsertCols(2, 1);
    EXPECT_EQ(grid.Cell(2, 1)->ColSpan, 3);
    grid.SplitColumn(0);
    EXPECT_EQ(grid.Cell(0, 0)->ColSpan, 2);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(CheckRTFTableGridInvariants(grid), "");
    EXPECT_THROW(grid.InsertRows(9, 1), EZoroZudoError);
    EXPECT_THROW(grid.Cell(0, 5), EZoroZudoError);
}

TEST(RVRTFTableGridTest, MergingMovesContentAndRefusesCrossedCells) {
    TRVRTFDocument host;
    TRVRTFTableGrid grid(&host);
    grid.InsertCols(0, 2);
    grid.InsertRows(0, 2);
    int n = 0;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            grid.Cell(r, c)->Data->AddTextItem(AnsiString(1, char('a' + n++)), 0, 0);
            grid.Cell(r, c)->BestWidth = 10;
        }
    grid.Cell(1, 1)->BestWidth = -20;
    ASSERT_TRUE(grid.MergeCells(0, 1, 1, 2));
    EXPECT_FALSE(grid.MergeCells(0, 0, 1, 1) && grid.MergeCells(1, 0, 2, 1)) << "crosses the merged column";
    EXPECT_EQ(GridText(grid), "[a:10,b|d r2:-20][c:10]");
    ASSERT_TRUE(grid.MergeCells(0, 0, 2, 2));
    EXPECT_EQ(GridText(grid), "[a|b|d|c r2 c2:-20][]") << "content in row order; a per-cent row wins";
    EXPECT_EQ(CheckRTFTableGridInvariants(grid), "");
}

TEST(RVRTFTableGridTest, DeletingColumnsKeepsTheirContent) {
    TRVRTFDocument host;
    TRVRTFTableGrid grid(&host);
    grid.InsertCols(0, 3);
    grid.InsertRows(0, 2);
    grid.Cell(0, 2)->Data->AddTextItem("z", 0, 0);
    grid.Cell(0, 0)->Data->AddTextItem("a", 0, 0);
    ASSERT_TRUE(grid.MergeCells(1, 1, 2, 1));
    grid.DeleteCols(2, 1);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(Summary(*grid.Cell(0, 1)->Data), "z") << "moved to the cell left of it";
    EXPECT_EQ(grid.Cell(1, 1)->ColSpan, 1);
    EXPECT_EQ(CheckRTFTableGridInvariants(grid), "");
}

TEST(RVRTFTableGridTest, EmptyRowsGoAndCellsOverThemShrink) {
    TRVRTFDocument host;
    TRVRTFTableGrid grid(&host);
    grid.InsertCols(0, 2);
    grid.InsertRows(0, 3);
    ASSERT_TRUE(grid.MergeCells(0, 0, 1, 2));
    ASSERT_TRUE(grid.MergeCells(0, 1, 1, 2));
    grid.DeleteEmptyRows();
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(0, 0)->RowSpan, 1);
    EXPECT_EQ(CheckRTFTableGridInvariants(grid), "");
}

// ---------------------------------------------------------------- the column grid from RTF rows

struct TGridCase {
    const char* Name;
    std::string Body;
    std::vector<std::string> Tables;
    std::string Document;
};

class RVRTFTableGridCaseTest : public ::testing::TestWithParam<TGridCase> {};

TEST_P(RVRTFTableGridCaseTest, BuildsTheGrid) {
    const TGridCase& c = GetParam();
    auto read = ReadTables(c.Body);
    EXPECT_EQ(read->Builder.Tables, c.Tables);
    EXPECT_EQ(Summary(*read->Result.Document), c.Document);
}

const std::string Three = "\\trleft0\\cellx1000\\cellx2000\\cellx3000";
const std::string Cells3 = "\\pard\\intbl a\\cell b\\cell c\\cell";

const TGridCase GridCases[] = {
    {"OneRow", Row(Three, Cells3), {"[a:67,b:67,c:67]"}, "[tab]"},
    {"WiderSecondCell",
     Row(Three, Cells3) + Row("\\cellx1000\\cellx3000", "\\pard\\intbl d\\cell e\\cell"),
     {"[a:67,b:67,c:67][d:67,e c2:133]"},
     "[tab]"},
    {"SplitBoundary",
     Row("\\cellx1000\\cellx2000\\cellx3000", Cells3) +
         Row("\\cellx1500\\cellx3000", "\\pard\\intbl d\\cell e\\cell"),
     {"[a:67,b c2:67,c:67][d c2:100,e c2:100]"},
     "[tab]"},
    {"BoundariesWithinATwipAreShared",
     Row(Three, Cells3) + Row("\\cellx1001\\cellx1999\\cellx3000", "\\pard\\intbl d\\cell e\\cell f\\cell"),
     {"[a:67,b:67,c:67][d:67,e:67,f:67]"},
     "[tab]"},
    {"VerticalMerge",
     Row("\\clvmgf\\cellx1000\\cellx2000", "\\pard\\intbl a\\cell b\\cell") +
         Row("\\clvmrg\\cellx1000\\cellx2000", "\\pard\\intbl \\cell d\\cell"),
     {"[a r2:67,b:67][d:67]"},
     "[tab]"},
    {"HorizontalMerge",
     Row("\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000", Cells3),
     {"[a|b c2:67,c:67]"},
     "[tab]"},
    {"RowStartingLeftOfTheGrid",
     Row("\\trleft500\\cellx1000", "\\pard\\intbl a\\cell") +
         Row("\\trleft0\\cellx1000", "\\pard\\intbl b\\cell"),
     {"[:0,a:33][b c2:67]"},
     "[tab]"},
    {"LastRowEndsTheTable",
     Row("\\lastrow\\cellx1000", "\\pard\\intbl a\\cell") + Row("\\cellx1000", "\\pard\\intbl b\\cell"),
     {"[a:67]", "[b:67]"},
     "[tab]|[tab]"},
    {"MoreCellsThanBoundaries",
     Row("\\cellx1000", "\\pard\\intbl a\\cell b\\cell"),
     {"[a:67,b:67]"},
     "[tab]"},
    {"UnfinishedRowFollowsAsParagraphs",
     Row("\\cellx1000", "\\pard\\intbl a\\cell") + "\\trowd\\cellx1000\\pard\\intbl b\\par c\\cell\\pard d",
     {"[a:67]"},
     "[tab]|b|c|d"},
    {"NestedTable",
     "\\trowd\\cellx3000\\pard\\intbl a\\par\\itap2 "
     "x\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
     "\\itap1\\cell\\row",
     {"[x:67]", "[a|[tab]:200]"},
     "[tab]"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RVRTFTableGridCaseTest, ::testing::ValuesIn(GridCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(RVRTFTableTest, TheTableLookComesFromItsRows) {
    auto read = ReadTables(
        Row("\\trgaph108\\trbrdrt\\brdrs\\brdrw15\\trbrdrb\\brdrs\\brdrw15\\trpaddl60\\trpaddfl3"
            "\\trpaddr60\\trpaddfr3\\trwWidth3000\\trftsWidth3\\trhdr\\clbrdrt\\brdrs\\brdrw30\\cellx3000",
            "\\pard\\intbl a\\cell"));
    ASSERT_EQ(read->Builder.Props.size(), 1u);
    const TRVRTFTableProperties& p = read->Builder.Props[0];
    EXPECT_EQ(p.HeadingRowCount, 1);
    EXPECT_EQ(p.CellHPadding, 4);
    EXPECT_EQ(p.CellHSpacing, -1) << "no spacing in twips";
    EXPECT_EQ(p.BestWidth, 199) << "less the average border width";
    EXPECT_EQ(p.CellBorderWidth, 2);
    EXPECT_TRUE(p.VisibleBorders[rtf_side_Top]);
    EXPECT_FALSE(p.VisibleBorders[rtf_side_Left]);
    EXPECT_EQ(read->Builder.Tables, std::vector<std::string>{"[a:192]"}) << "the width less both paddings";
}

TEST(RVRTFTableTest, WidthsFromThisProgramsWriterAreTakenAsGiven) {
    auto read = ReadTables(
        Row("\\zorozudotbw300\\zorozudocbw120\\zorozudocbh40\\cellx1000\\zorozudocbw-30\\cellx2000",
            "\\pard\\intbl a\\cell b\\cell"));
    ASSERT_EQ(read->Builder.Tables.size(), 1u);
    EXPECT_EQ(read->Builder.Tables[0], "[a:120,b:-30]");
    EXPECT_EQ(read->Builder.Props[0].BestWidth, 300);
}

TEST(RVRTFTableTest, LimitsKeepEveryCellsContent) {
    // More cells than a row may have: the last one takes the rest.
    std::string defs, cells;
    for (int i = 1; i <= RVRTFMaxCellsPerRow + 40; ++i) {
        defs += "\\cellx" + std::to_string(i * 100);
        cells += "c" + std::to_string(i) + "\\cell ";
    }
    auto read = ReadTables(Row(defs, "\\pard\\intbl " + cells));
    ASSERT_EQ(read->Builder.Tables.size(), 1u);
    std::string grid = read->Builder.Tables[0];
    EXPECT_EQ(std::count(grid.begin(), grid.end(), ':'), RVRTFMaxCellsPerRow);
    EXPECT_NE(grid.find("c256|c257"), std::string::npos);
    EXPECT_NE(grid.find("c296"), std::string::npos);
    // More rows than a table may have: a new table goes on.
    std::string rows;
    for (int i = 0; i <= RVRTFMaxRowsPerTable; ++i)
        rows += "\\trowd\\cellx100\\pard\\intbl r\\cell\\row";
    read = ReadTables(rows);
    EXPECT_EQ(read->Builder.Tables.size(), 2u);
}

TEST(RVRTFTableTest, IgnoredTablesGiveParagraphs) {
    auto read = ReadTables(Row(Three, Cells3) + "\\pard d", true);
    EXPECT_TRUE(read->Builder.Tables.empty());
    EXPECT_EQ(Summary(*read->Result.Document), "a|b|c|d");
}

TEST(RVRTFTableTest, WithoutATableItemRowsBecomeParagraphs) {
    TRVRTFReadResult r = ReadChecked("{\\rtf1{\\fonttbl{\\f0 Arial;}}x\\par" + Row(Three, Cells3) +
                                     Row(Three, "\\pard\\intbl d\\par e\\cell\\cell f\\cell") + "\\pard y}");
    EXPECT_EQ(Summary(*r.Document), "x|a+[tab]+b+[tab]+c|d/e+[tab]+[tab]+f|y");
}

} // namespace
