// The table's writers: RTF rows and cells with merged cells, borders,
// widths, nesting and the system's own words; HTML and plain text byte for
// byte on small tables.
#include <gtest/gtest.h>

#include <regex>

#include "TableTestData.h"
#include "richtext/editor/tables/RVTableHtml.h"

namespace {

std::string SaveRtf(TTableHost& Host) {
    TRVMemoryStream stream;
    EXPECT_TRUE(Host.SaveRtf(stream, "", false, 0, clWindow, nullptr, true));
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

// The table's rows with every cell document cut down to "<doc>" and the
// shading index to "#".
std::string TableRtf(TTableHost& Host) {
    std::string rtf = SaveRtf(Host);
    std::size_t from = rtf.find("{\\trowd");
    if (from == std::string::npos) from = rtf.find("{\\*\\nesttableprops");
    std::size_t to = rtf.rfind("row}");
    if (from == std::string::npos || to == std::string::npos) return "";
    std::string table = rtf.substr(from, to + 4 - from);
    table = std::regex_replace(table, std::regex("\\{[\\r\\n]*\\\\pard[^{}]*\\\\(nest)?cell\\}"),
                               "{<doc>\\$1cell}");
    return std::regex_replace(table, std::regex("clcbpat[0-9]+"), "clcbpat#");
}

} // namespace

TEST(RVTableRtf, NewTable) {
    TTableFixture f;
    f.AddTable(1, 1);
    f.Host.Format();
    // 2 + 194 px to the column's right, half the spacing beyond: 2955 twips.
    EXPECT_EQ(
        TableRtf(f.Host),
        "{\\trowd\\trgaph30\\trleft0\\itap1\\trpaddl15\\trpaddt15\\trpaddr15\\trpaddb15\\trpaddfl3\\trpaddft3"
        "\\trpaddfr3\\trpaddfb3\\trspdl15\\trspdr15\\trspdfl3\\trspdfr3\\trspdt15\\trspdft3\\trspdb15\\trspdf"
        "b3"
        "\\trftsWidth1\\lastrow\\zorozudotbw0\\clftsWidth1\\zorozudocbw0\\zorozudocbh0\\clcbpat#\\cellx2955"
        "\\pard\\intbl\\itap1{{<doc>\\cell}}\\pard\\intbl\\itap1\\row}");
    // The shading is the table's colour; the cell's text is in the table.
    std::string rtf = SaveRtf(f.Host);
    EXPECT_NE(rtf.find("\\itap1\\intbl "), std::string::npos);
    // Nothing starts an empty paragraph after the table.
    EXPECT_EQ(rtf.find("\\row}\\par "), std::string::npos);
}

TEST(RVTableRtf, RowWords) {
    struct TCase {
        const char* Name;
        std::function<void(TRVTableItemInfo&)> Set;
        const char* Expected;
    };
    const TCase cases[] = {
        {"odd spacing rounds up", [](TRVTableItemInfo& T) { T.CellHSpacing = 1; }, "\\trspdl8\\trspdr8"},
        {"to the even neighbour", [](TRVTableItemInfo& T) { T.CellHSpacing = 3; }, "\\trspdl22\\trspdr22"},
        {"per cent", [](TRVTableItemInfo& T) { T.BestWidth = -10; }, "\\trwWidth500\\trftsWidth2"},
        {"per cent, own word", [](TRVTableItemInfo& T) { T.BestWidth = -10; }, "\\zorozudotbw-10"},
        {"pixels with border",
         [](TRVTableItemInfo& T) {
             T.BestWidth = 30;
             T.BorderWidth = 1;
         },
         "\\trwWidth480\\trftsWidth3"},
        {"autofit", [](TRVTableItemInfo& T) { T.Options |= rvtoRTFAllowAutofit; },
         "\\trftsWidth1\\trautofit1"},
        {"rows kept", [](TRVTableItemInfo& T) { T.PrintOptions = 0; }, "\\trkeep\\trkeepfollow"},
        {"heading row", [](TRVTableItemInfo& T) { T.HeadingRowCount = 1; }, "\\itap1\\trhdr"},
        {"row height", [](TRVTableItemInfo& T) { T.GetCell(0, 0)->BestHeight = 20; }, "\\trrh300"},
        {"cell pixel width", [](TRVTableItemInfo& T) { T.GetCell(0, 0)->BestWidth = 100; },
         "\\clwWidth0\\zorozudocbw100\\zorozudocbh0"},
        {"cell pixel width saved",
         [](TRVTableItemInfo& T) {
             T.GetCell(0, 0)->BestWidth = 100;
             T.Options |= rvtoRTFSaveCellPixelBestWidth;
         },
         "\\clwWidth1500\\clftsWidth3"},
        {"cell per cent", [](TRVTableItemInfo& T) { T.GetCell(0, 0)->BestWidth = -20; },
         "\\clwWidth1000\\clftsWidth2"},
        {"border without its top",
         [](TRVTableItemInfo& T) {
             T.BorderWidth = 1;
             T.VisibleBorders.Top = false;
         },
         "\\zorozudotbw0\\trbrdrl\\brdroutset\\brdrw15\\trbrdrr\\brdroutset\\brdrw15\\trbrdrb\\brdroutset\\br"
         "drw15"
         "\\clftsWidth1"},
        {"centred", [](TRVTableItemInfo& T) { T.Rows[0]->VAlign = rvcVDefault; }, "\\clvertalc"},
    };
    for (const TCase& c : cases) {
        TTableFixture f;
        TRVTableItemInfo& table = f.AddTable(1, 1);
        c.Set(table);
        f.Host.Format();
        EXPECT_NE(TableRtf(f.Host).find(c.Expected), std::string::npos) << c.Name << "\n" << TableRtf(f.Host);
    }
}

TEST(RVTableRtf, ColourBordersUseTheColourTable) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(1, 1);
    table.CellBorderWidth = 2;
    table.CellBorderStyle = rvtbRaisedColor;
    table.CellBorderColor = RGB(1, 2, 3);
    table.GetCell(0, 0)->BorderLightColor = RGB(4, 5, 6);
    f.Host.Format();
    std::string rtf = SaveRtf(f.Host);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(rtf, m,
                                  std::regex("\\\\clbrdrl\\\\brdrs\\\\brdrw30\\\\brdrcf([0-9]+)"
                                             "\\\\clbrdrt\\\\brdrs\\\\brdrw30\\\\brdrcf\\1"
                                             "\\\\clbrdrr\\\\brdrs\\\\brdrw30\\\\brdrcf([0-9]+)")));
    // The light colour on the left and top, the dark one right and bottom.
    std::size_t table0 = rtf.find("{\\colortbl;");
    std::vector<std::string> colours;
    std::string list = rtf.substr(table0 + 11, rtf.find('}', table0) - table0 - 11);
    for (std::size_t at = 0; at < list.size();) {
        std::size_t end = list.find(';', at);
        colours.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    EXPECT_EQ(colours[std::size_t(std::stoi(m[1])) - 1], "\\red4\\green5\\blue6");
    EXPECT_EQ(colours[std::size_t(std::stoi(m[2])) - 1], "\\red1\\green2\\blue3");
}

TEST(RVTableRtf, MergedCells) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(2, 3);
    table.MergeCells(0, 0, 1, 2);
    table.MergeCells(0, 1, 2, 1);
    table.GetCell(0, 0)->BestWidth = 50;
    f.Host.Format();
    std::string rtf = TableRtf(f.Host);
    std::string cellx2 =
        "\\cellx" + IntToStr(int(Round(
                        (table.FormatInfo.ColLeftList[2] + table.FormatInfo.ColWidthList[2]) * 15.0 + 15)));
    std::size_t row1 = rtf.find("row}{");
    ASSERT_NE(row1, std::string::npos);
    std::string first = rtf.substr(0, row1), second = rtf.substr(row1);
    // Row 0: the tall cell starts, the wide one ends at column 2's boundary.
    EXPECT_NE(first.find("\\clvmgf\\clwWidth0\\zorozudocbw50"), std::string::npos);
    EXPECT_NE(first.find(cellx2), std::string::npos);
    EXPECT_EQ(first.find("<doc>\\cell}{<doc>\\cell}{<doc>"), std::string::npos);
    EXPECT_NE(first.find("{{<doc>\\cell}{<doc>\\cell}}"), std::string::npos);
    // Row 1: the covered position continues it, with no width words and an empty cell.
    EXPECT_NE(second.find("\\clvmrg\\clcbpat#"), std::string::npos);
    EXPECT_EQ(second.find("\\clvmrg\\clwWidth"), std::string::npos);
    EXPECT_NE(second.find("{{\\cell}{<doc>\\cell}{<doc>\\cell}}"), std::string::npos);
}

TEST(RVTableRtf, NestedTable) {
    TTableFixture f;
    TRVTableItemInfo& outer = f.AddTable(1, 1);
    TRVTableCellData& cell = *outer.GetCell(0, 0);
    cell.Clear();
    cell.AddItem("", std::make_unique<TRVTableItemInfo>(1, 1, &cell));
    f.Host.Format();
    std::string rtf = SaveRtf(f.Host);
    std::size_t inner = rtf.find("{\\*\\nesttableprops\\trowd\\trgaph30\\trleft0\\itap2");
    ASSERT_NE(inner, std::string::npos);
    std::string nested = rtf.substr(inner, rtf.find("\\nestrow}", inner) - inner);
    EXPECT_EQ(nested.find("\\lastrow"), std::string::npos);
    EXPECT_NE(nested.find("\\pard\\intbl\\itap2{{"), std::string::npos);
    EXPECT_NE(nested.find("\\nestcell}}"), std::string::npos);
    EXPECT_NE(rtf.find("\\nestrow}\\cell}}"), std::string::npos);
}

TEST(RVTableRtf, ATableNeverShownIsLaidOutForSixHundredPixels) {
    TTableFixture f;
    f.AddTable(1, 1);
    // 2 + 594 px, then half the spacing: 8955 twips.
    EXPECT_NE(SaveRtf(f.Host).find("\\cellx8955"), std::string::npos);
}

namespace {

std::string Html(const TRVTableItemInfo& Table, TRVHtmlSaveOptions Options, bool UseCSS) {
    TRVMemoryStream stream;
    TRVTableHtmlWriter writer;
    writer.Options = Options;
    writer.UseCSS = UseCSS;
    writer.WriteDocument = [](TStream& Stream, TCustomRVData& Document, TColor, TRVHtmlSaveOptions) {
        for (int i = 0; i < Document.ItemCount(); ++i)
            WriteText(Stream, "[" + Document.GetItemText(i) + "]");
    };
    writer.Write(stream, Table);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

} // namespace

TEST(RVTableHtml, SmallTables) {
    struct TCase {
        const char* Name;
        std::function<void(TRVTableItemInfo&)> Set;
        TRVHtmlSaveOptions Options;
        bool UseCSS;
        const char* Expected;
    };
    const TCase cases[] = {
        {"new table", [](TRVTableItemInfo&) {}, 0, false,
         "<table border=0 cellpadding=1 cellspacing=2 bgcolor=\"#ffffff\">\r\n<tr valign=top>\r\n<td><br>\r\n"
         "</td>\r\n</tr>\r\n</table>\r\n"},
        {"XHTML", [](TRVTableItemInfo&) {}, rvhsXHTML, false,
         "<table border=\"0\" cellpadding=\"1\" cellspacing=\"2\" bgcolor=\"#ffffff\">\r\n<tr "
         "valign=\"top\">\r\n"
         "<td><br />\r\n</td>\r\n</tr>\r\n</table>\r\n"},
        {"per cent and pixels",
         [](TRVTableItemInfo& T) {
             T.BestWidth = -50;
             T.GetCell(0, 0)->BestWidth = 300;
             T.GetCell(0, 0)->VAlign = rvcBottom;
         },
         0, false,
         "<table width=\"50%\" border=0 cellpadding=1 cellspacing=2 bgcolor=\"#ffffff\">\r\n<tr "
         "valign=top>\r\n"
         "<td width=300 valign=bottom><br>\r\n</td>\r\n</tr>\r\n</table>\r\n"},
        {"collapsed borders in CSS",
         [](TRVTableItemInfo& T) {
             T.CellHSpacing = T.CellVSpacing = -1;
             T.CellBorderWidth = 1;
             T.Color = clNone;
         },
         0, true,
         "<table border=1 cellpadding=1 cellspacing=-1 style=\"border-width: 0px; border-collapse: "
         "collapse;\">\r\n"
         "<tr valign=top>\r\n<td style=\"border-width : 1px; border-style: "
         "inset;\"><br>\r\n</td>\r\n</tr>\r\n"
         "</table>\r\n"},
        {"content, colours and colour borders",
         [](TRVTableItemInfo& T) {
             T.BorderStyle = rvtbColor;
             T.BorderColor = clRed;
             T.GetCell(0, 0)->Color = clWindow;
             T.GetCell(0, 0)->AddTextItem("x", 0, 0);
             T.Rows[0]->VAlign = rvcVDefault;
         },
         0, false,
         "<table border=0 cellpadding=1 bordercolor=\"#ff0000\" cellspacing=2 "
         "bgcolor=\"#ffffff\">\r\n<tr>\r\n"
         "<td>[][x]</td>\r\n</tr>\r\n</table>\r\n"},
    };
    for (const TCase& c : cases) {
        TRVTableItemInfo table(nullptr);
        c.Set(table);
        EXPECT_EQ(Html(table, c.Options, c.UseCSS), c.Expected) << c.Name;
    }
}

TEST(RVTableHtml, SpansAndCoveredPositions) {
    TRVTableItemInfo table(1, 3, nullptr);
    table.GetCell(0, 0)->ResetContent(2, 0);
    table.MergeCells(0, 0, 2, 1);
    table.GetCell(0, 2)->Color = clRed;
    EXPECT_EQ(Html(table, 0, false),
              "<table border=0 cellpadding=1 cellspacing=2 bgcolor=\"#ffffff\">\r\n<tr valign=top>\r\n"
              "<td colspan=2>[]</td>\r\n<td bgcolor=\"#ff0000\"><br>\r\n</td>\r\n</tr>\r\n</table>\r\n");
}

TEST(RVTableText, CellsBetweenSeparators) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(2, 3);
    const char* texts[] = {"a", "b", "c", "d", "e", "f"};
    for (int i = 0; i < 6; ++i)
        SetCellText(table, i / 3, i % 3, texts[i]);
    table.MergeCells(0, 1, 2, 1);
    EXPECT_EQ(table.AsText(80, &f.Host, "", "", false, false), "a\r\nb\r\nc\r\n\r\nd\r\ne\r\nf\r\n");
    table.TextColSeparator = "\t";
    table.TextRowSeparator = ";";
    EXPECT_EQ(table.AsText(80, &f.Host, "", "", false, false), "a\tb\r\nc\t;d\te\tf;");
    std::string wide = table.AsText(80, &f.Host, "", "", false, true);
    EXPECT_EQ(wide.substr(0, 6), std::string("a\0\t\0b\0", 6));
}
