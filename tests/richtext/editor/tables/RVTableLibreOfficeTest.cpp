// A table with merged cells and borders saved as RTF and opened by
// LibreOffice: its HTML export shows the same grid of texts. Runs when
// LibreOffice is installed (libreoffice-writer-nogui); skipped otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "TableTestData.h"
#include "support/TestSupport.h"

namespace {

bool HasProgram(const std::string& Name) {
    return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

// The texts of the cells of the first table, row by row.
std::vector<std::vector<std::string>> HtmlGrid(const std::string& Html) {
    std::vector<std::vector<std::string>> grid;
    std::size_t table = Html.find("<table");
    std::size_t end = Html.find("</table>", table);
    if (table == std::string::npos || end == std::string::npos) return grid;
    std::string body = Html.substr(table, end - table);
    std::regex row("<tr[^>]*>([\\s\\S]*?)</tr>", std::regex::icase),
        cell("<td[^>]*>([\\s\\S]*?)</td>", std::regex::icase);
    std::regex tag("<[^>]*>"), space("^\\s+|\\s+$");
    for (std::sregex_iterator r(body.begin(), body.end(), row), none; r != none; ++r) {
        std::string inner = (*r)[1];
        std::vector<std::string> cells;
        for (std::sregex_iterator c(inner.begin(), inner.end(), cell); c != none; ++c)
            cells.push_back(std::regex_replace(std::regex_replace(std::string((*c)[1]), tag, ""), space, ""));
        grid.push_back(cells);
    }
    return grid;
}

} // namespace

TEST(RVTableLibreOffice, ReadsTheGridOfTexts) {
    if (!HasProgram("soffice"))
        GTEST_SKIP()
            << "soffice is missing: apt-get install libreoffice-writer-nogui (or libreoffice-writer)";
    TTempFolder folder;
    TTableFixture f;
    f.Host.Width = 500;
    TRVTableItemInfo& table = f.AddTable(3, 3);
    const char* texts[] = {"Scale", "Raw", "Sten", "Anxiety", "12", "7", "Mood", "8", "5"};
    for (int i = 0; i < 9; ++i)
        SetCellText(table, i / 3, i % 3, texts[i]);
    table.BorderWidth = 1;
    table.BorderStyle = rvtbColor;
    table.BorderColor = clBlack;
    table.CellBorderWidth = 1;
    table.CellBorderStyle = rvtbColor;
    table.CellBorderColor = clNavy;
    table.GetCell(0, 0)->Color = clSilver;
    ASSERT_TRUE(table.MergeCells(0, 0, 2, 1));
    ASSERT_TRUE(table.MergeCells(1, 2, 1, 2));
    f.Host.AddTextItem("after", 0, 0);
    f.Host.Format();
    ASSERT_TRUE(f.Host.SaveRtfFile(folder.Path() + "table.rtf", false, clWindow));

    // A profile of this test's own, kept in the build tree: making one takes
    // most of the time, and programs running at once must not share one.
    const char* binary = std::getenv("LUVORA_BINARY_DIR");
    std::string profile =
        binary ? std::string(binary) + "/soffice-profile-tables" : folder.Path() + "profile";
    std::string command = "cd '" + folder.Path() + "' && timeout 300 soffice -env:UserInstallation=file://" +
                          profile + " --headless --convert-to html --outdir '" + folder.Path() +
                          "' table.rtf >convert.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(folder.Path() + "convert.log");
    std::string html = ReadFileBytes(folder.Path() + "table.html");
    std::vector<std::vector<std::string>> expected{
        {"Scale\nRaw", "Sten"}, {"Anxiety", "12", "7\n5"}, {"Mood", "8"}};
    std::vector<std::vector<std::string>> grid = HtmlGrid(html);
    // LibreOffice writes each paragraph of a cell as its own element; compare
    // the texts without the white space between them.
    for (auto& row : expected)
        for (std::string& text : row)
            text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
    for (auto& row : grid)
        for (std::string& text : row)
            text = std::regex_replace(text, std::regex("\\s+"), "");
    EXPECT_EQ(grid, expected) << html;
    std::printf("LibreOffice's cells:");
    for (const auto& row : grid) {
        std::printf("\n ");
        for (const std::string& text : row)
            std::printf(" [%s]", text.c_str());
    }
    std::printf("\n");
    EXPECT_TRUE(std::regex_search(html, std::regex("colspan=\"?2", std::regex::icase))) << html;
    EXPECT_TRUE(std::regex_search(html, std::regex("rowspan=\"?2", std::regex::icase))) << html;
    EXPECT_NE(html.find("after"), std::string::npos);
}
