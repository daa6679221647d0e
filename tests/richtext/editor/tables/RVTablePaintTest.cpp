// The table's painting: each border style on the recording canvas, grid
// lines of hidden sides, rules, backgrounds and cell text, and a report-like
// table on the Qt canvas.
#include <gtest/gtest.h>

#include "TableTestData.h"

namespace {

std::vector<std::string> Log(const TRecordingCanvas& Canvas) {
    return std::vector<std::string>(Canvas.Log.begin(), Canvas.Log.end());
}

const TRect Everything{-1000, -1000, 1000, 1000};

} // namespace

TEST(RVTablePaint, BorderStyles) {
    auto hex = [](TColor C) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%06X", unsigned(C));
        return std::string(buf);
    };
    std::string light = hex(clBtnHighlight), shadow = hex(clBtnShadow), face = hex(clBtnFace);
    std::string red = hex(clRed), blue = hex(clBlue);
    auto frame = [](const std::string& TopLeft, const std::string& BottomRight) {
        // A box 0,0-10,8 two pixels wide: right and bottom move in by one.
        return std::vector<std::string>{
            "Line 0,0-10,0 pen=" + TopLeft,     "Line 0,0-0,8 pen=" + TopLeft,
            "Line 1,1-9,1 pen=" + TopLeft,      "Line 1,1-1,7 pen=" + TopLeft,
            "Line 0,7-10,7 pen=" + BottomRight, "Line 9,0-9,8 pen=" + BottomRight,
            "Line 1,6-9,6 pen=" + BottomRight,  "Line 8,1-8,7 pen=" + BottomRight,
        };
    };
    struct TCase {
        const char* Name;
        TRVTableBorderStyle Style;
        TColor Background;
        std::vector<std::string> Expected;
    };
    const TCase cases[] = {
        {"raised", rvtbRaised, clWindow, frame(light, shadow)},
        {"raised on highlight", rvtbRaised, clBtnHighlight, frame(face, shadow)},
        {"lowered", rvtbLowered, clWindow, frame(shadow, light)},
        {"lowered on highlight", rvtbLowered, clBtnHighlight, frame(shadow, face)},
        {"raised colour", rvtbRaisedColor, clWindow, frame(blue, red)},
        {"lowered colour", rvtbLoweredColor, clWindow, frame(red, blue)},
        {"colour",
         rvtbColor,
         clWindow,
         {"Line 0,0-0,8 pen=" + red, "Line 9,0-9,8 pen=" + red, "Line 0,0-10,0 pen=" + red,
          "Line 0,7-10,7 pen=" + red, "Line 1,1-1,7 pen=" + red, "Line 8,1-8,7 pen=" + red,
          "Line 1,1-9,1 pen=" + red, "Line 1,6-9,6 pen=" + red}},
    };
    TRVTableItemInfo table(nullptr);
    TRVBooleanRect all(true);
    for (const TCase& c : cases) {
        TRecordingCanvas canvas;
        table.DrawBorder(canvas, 0, 0, 10, 8, 2, clRed, clBlue, c.Background, c.Style, -1, -1, all,
                         Everything, rvcmColor, false, false, true);
        EXPECT_EQ(Log(canvas), c.Expected) << c.Name;
        EXPECT_TRUE(canvas.DrawnWithNone().empty()) << c.Name;
    }
}

TEST(RVTablePaint, GridLinesOnlyWhereBordersAreMissingInEditableTables) {
    std::string grid = "Rectangle 0,0-10,8 pen=" + std::string([] {
                           char buf[16];
                           std::snprintf(buf, sizeof buf, "%06X", unsigned(clBtnFace));
                           return std::string(buf);
                       }()) +
                       " brush=clear";
    TRVTableItemInfo table(nullptr);
    TRVBooleanRect all(true);
    struct TCase {
        const char* Name;
        int Width;
        TColor Color;
        bool Editable, DrawGrid;
        std::vector<std::string> Expected;
    };
    const TCase cases[] = {
        {"no width, editable", 0, clRed, true, true, {grid}},
        {"no width, read-only", 0, clRed, false, true, {}},
        {"no width, grid lines hidden", 0, clRed, true, false, {}},
        {"colour border without colour", 1, clNone, true, true, {}},
    };
    for (const TCase& c : cases) {
        TRecordingCanvas canvas;
        table.DrawBorder(canvas, 0, 0, 10, 8, c.Width, c.Color, clBlue, clWindow, rvtbColor, -1, -1, all,
                         Everything, rvcmColor, false, c.Editable, c.DrawGrid);
        EXPECT_EQ(Log(canvas), c.Expected) << c.Name;
    }
    // A hidden side of a coloured border gets a grid line, the others their border.
    TRecordingCanvas canvas;
    TRVBooleanRect noTop(true);
    noTop.Top = false;
    table.DrawBorder(canvas, 0, 0, 10, 8, 1, clRed, clBlue, clWindow, rvtbColor, -1, -1, noTop, Everything,
                     rvcmColor, false, true, true);
    ASSERT_EQ(canvas.Log.size(), 4u);
    EXPECT_EQ(canvas.Log[0].substr(0, 14), "Line 0,0-10,0 ");
    EXPECT_EQ(canvas.Calls("Line 0,0-10,0").size(), 1u);
    // Nothing outside the clipping rectangle.
    TRecordingCanvas clipped;
    table.DrawBorder(clipped, 0, 0, 10, 8, 1, clRed, clBlue, clWindow, rvtbColor, -1, -1, all,
                     TRect{20, 20, 30, 30}, rvcmColor, false, true, true);
    EXPECT_TRUE(clipped.Log.empty());
}

TEST(RVTablePaint, NoGridLineUnderANeighboursVisibleBorder) {
    TRVTableItemInfo table(2, 1, nullptr);
    table.CellVSpacing = -1;
    TRVBooleanRect noTop(true);
    noTop.Top = false;
    TRecordingCanvas canvas;
    // The lower cell's hidden top lies under the upper cell's visible bottom.
    table.DrawBorder(canvas, 0, 10, 10, 20, 1, clRed, clBlue, clWindow, rvtbColor, 1, 0, noTop, Everything,
                     rvcmColor, false, true, true);
    EXPECT_EQ(canvas.Log.size(), 3u);
    table.GetCell(0, 0)->VisibleBorders.Bottom = false;
    canvas.Log.clear();
    table.DrawBorder(canvas, 0, 10, 10, 20, 1, clRed, clBlue, clWindow, rvtbColor, 1, 0, noTop, Everything,
                     rvcmColor, false, true, true);
    EXPECT_EQ(canvas.Log.size(), 4u);
}

TEST(RVTablePaint, TableBackgroundRulesBordersAndText) {
    TTableFixture f;
    f.Host.Width = 200;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    table.Color = clYellow;
    table.CellBorderWidth = 1;
    table.CellBorderStyle = rvtbColor;
    table.CellBorderColor = clRed;
    table.VRuleWidth = 1;
    table.VRuleColor = clBlue;
    table.HRuleWidth = 2;
    table.HRuleColor = clGreen;
    table.GetCell(1, 1)->Color = clAqua;
    SetCellText(table, 0, 0, "ab");
    SetCellText(table, 1, 1, "cd");
    f.Host.Format();
    TRecordingCanvas canvas;
    table.PaintFullWidth(10, 210, 20, canvas, 0, *f.Style, Everything);
    EXPECT_EQ(table.ClientLeft, 10);
    EXPECT_TRUE(canvas.DrawnWithNone().empty());
    const auto& L = table.FormatInfo;
    // The table's colour under everything, the cell's own over it.
    ASSERT_FALSE(canvas.Log.empty());
    EXPECT_EQ(
        canvas.Log[0],
        "Fill 10,20-" + IntToStr(10 + L.TotalWidth) + "," + IntToStr(20 + L.TotalHeight) + " brush=" + [] {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%06X", unsigned(clYellow));
            return AnsiString(buf);
        }());
    TRVTableCellData& cell = *table.GetCell(1, 1);
    int cx = 10 + cell.CellLeft, cy = 20 + cell.CellTop;
    EXPECT_EQ(canvas.Calls("Fill " + IntToStr(cx) + "," + IntToStr(cy) + "-").size(), 1u);
    // One vertical rule between the columns, two lines for the 2 px horizontal rule.
    int ruleX = L.ColLeftList[1] + 10 - (2 + 2 + 1) / 2;
    EXPECT_EQ(canvas.Calls("Line " + IntToStr(ruleX) + ",").size(), 1u);
    int ruleY = L.RowTopList[1] + 20 - (2 + 2 + 1) / 2;
    EXPECT_EQ(canvas.Calls("Line 10," + IntToStr(ruleY - 1)).size(), 1u);
    EXPECT_EQ(canvas.Calls("Line 10," + IntToStr(ruleY)).size(), 1u);
    // The texts at their cells' content corners.
    EXPECT_EQ(canvas
                  .Calls("Text " + IntToStr(10 + table.GetCell(0, 0)->CellLeft + 1) + "," +
                         IntToStr(20 + table.GetCell(0, 0)->CellTop + 1) + " 'ab'")
                  .size(),
              1u);
    EXPECT_EQ(canvas.Calls("Text " + IntToStr(cx + 1) + "," + IntToStr(cy + 1) + " 'cd'").size(), 1u);
    // Four cell borders of one pixel in the cell border colour.
    EXPECT_EQ(canvas.Calls("Line " + IntToStr(cx - 1) + "," + IntToStr(cy - 1)).size(), 2u);
}

TEST(RVTablePaint, ReportTableOnTheQtCanvas) {
    auto style = MakeLayoutStyle();
    style->TextStyles().GetItem(0)->FontName = "Arial";
    style->TextStyles().GetItem(0)->Size = 10;
    TBitmap bitmap(400, 200);
    TCanvas& canvas = *bitmap.Canvas();
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(TRect{0, 0, 400, 200});
    TTableHost host(style.get(), &canvas);
    host.Width = 380;
    auto owned = std::make_unique<TRVTableItemInfo>(4, 3, &host);
    TRVTableItemInfo& table = *owned;
    host.AddItem("", std::move(owned));
    table.Color = clWhite;
    table.BorderWidth = 1;
    table.BorderStyle = rvtbColor;
    table.BorderColor = clBlack;
    table.CellBorderWidth = 1;
    table.CellBorderStyle = rvtbColor;
    table.CellBorderColor = clBlack;
    const char* texts[4][3] = {
        {"Scale", "Raw", "Sten"}, {"Anxiety", "12", "7"}, {"Mood", "8", "5"}, {"Energy", "15", "9"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            SetCellText(table, r, c, texts[r][c]);
            if (r == 0) table.GetCell(r, c)->Color = clSilver;
        }
    host.Format();
    table.PaintFullWidth(10, 390, 10, canvas, 0, *style, TRect{0, 0, 400, 200});
    TRVTableCellData& head = *table.GetCell(0, 1);
    // The heading cell's colour at its right edge, the border just outside it.
    EXPECT_EQ(ColorToRGB(bitmap.Pixel(10 + head.CellLeft + head.CellWidth - 2, 10 + head.CellTop + 2)),
              ColorToRGB(clSilver));
    EXPECT_EQ(ColorToRGB(bitmap.Pixel(10 + head.CellLeft - 1, 10 + head.CellTop + 2)), ColorToRGB(clBlack));
    // Some dark pixel of the text inside the first body cell.
    TRVTableCellData& body = *table.GetCell(1, 0);
    bool ink = false;
    for (int x = 0; x < body.CellWidth && !ink; ++x)
        for (int y = 0; y < body.CellHeight && !ink; ++y)
            ink = (ColorToRGB(bitmap.Pixel(10 + body.CellLeft + x, 10 + body.CellTop + y)) & 0xFF) < 0x80;
    EXPECT_TRUE(ink);
    EXPECT_EQ(CheckTableInvariants(table), "");
}

// Painted by its document, a table below a paragraph stands on its own
// line, its cells' text in it.
TEST(RVTablePaint, TheDocumentPaintsATableAtItsLine) {
    TTableFixture f;
    f.Host.AddTextItem("above", 0, 0);
    TRVTableItemInfo& table = f.AddTable(1, 1);
    SetCellText(table, 0, 0, "cell");
    f.Host.Format();
    const TRVDrawLineInfo& line = *f.Host.DrawItems[1];
    ASSERT_GT(line.Top, 0);
    TRecordingCanvas canvas;
    f.Host.PaintDocument(canvas, TRect(0, 0, 1000, 1000), false, true, false, false);
    EXPECT_EQ(table.ClientLeft, line.Left);
    EXPECT_EQ(table.ClientTop, line.Top);
    bool cell = false;
    for (const AnsiString& call : canvas.Log)
        cell |= call.rfind("Text ", 0) == 0 && call.find("'cell'") != AnsiString::npos;
    EXPECT_TRUE(cell);
}
