// Printing to a PDF file through the layer's printer: the file holds the
// document's text in order and the page count the component reported.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <optional>
#include <regex>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/editor/tables/RVTable.h"
#include "richtext/engine/RVLayoutTestData.h"
#include "richtext/print/control/RVPrint.h"
#include "support/TestSupport.h"

namespace {

// The standard output of a command, or nothing when it cannot run.
std::optional<std::string> Output(const std::string& Command) {
    FILE* pipe = popen((Command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    std::array<char, 4096> buffer;
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), n);
    return pclose(pipe) == 0 ? std::optional<std::string>(out) : std::nullopt;
}

bool HavePoppler() {
    return Output("command -v pdftotext && command -v pdfinfo").has_value();
}

// The page count pdfinfo reads from a PDF file.
int PdfPages(const std::string& Pdf) {
    std::optional<std::string> info = Output("pdfinfo '" + Pdf + "'");
    std::smatch m;
    if (!info || !std::regex_search(*info, m, std::regex(R"(Pages:\s+(\d+))"))) return -1;
    return std::stoi(m[1]);
}

// The layer's printer writes into a PDF file while it lives.
class TPdfPrinter {
public:
    TPdfPrinter() : Pdf(Folder.Path() + "report.pdf"), FPrevious(SetPrinter(nullptr)) {
        Printer()->SetFileName(Pdf);
    }
    ~TPdfPrinter() {
        Printer()->SetFileName("");
        SetPrinter(FPrevious);
    }
    TTempFolder Folder;
    std::string Pdf;

private:
    TPrinter* FPrevious;
};

TEST(RVPrintPdfTest, APdfHoldsTheTextInOrderAndTheReportedPageCount) {
    if (!HavePoppler()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TPdfPrinter printer;
    std::string pdf = printer.Pdf;

    TFixedMetricsCanvas screen;
    std::unique_ptr<TRVStyle> style = MakeLayoutStyle();
    TTestFormattedData source(style.get(), &screen);
    for (int i = 0; i < 150; ++i)
        source.AddTextItem("paragraph" + IntToStr(i) + " of the report", 0, 0);
    TRVPrint print(nullptr);
    print.AssignSource(source);
    int pages = print.FormatPages();
    ASSERT_GT(pages, 1);
    print.Print("Report", 1, false);

    std::optional<std::string> text = Output("pdftotext -layout '" + pdf + "' -");
    ASSERT_TRUE(text);
    std::size_t at = 0;
    for (int i = 0; i < 150; ++i) {
        std::size_t next = text->find("paragraph" + IntToStr(i) + " of the report", at);
        ASSERT_NE(next, std::string::npos) << "paragraph " << i;
        at = next;
    }
    EXPECT_EQ(PdfPages(pdf), pages);
}

TEST(RVPrintPdfTest, APdfOfALongTableHoldsEveryCellInOrderOnTheReportedPages) {
    if (!HavePoppler()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TPdfPrinter printer;
    TFixedMetricsCanvas screen;
    std::unique_ptr<TRVStyle> style = MakeLayoutStyle();
    TTestFormattedData source(style.get(), &screen);
    source.Width = 600;
    source.AddTextItem("before the table", 0, 0);
    auto owned = std::make_unique<TRVTableItemInfo>(150, 3, &source);
    TRVTableItemInfo& table = *owned;
    source.AddItem("", std::move(owned));
    table.HeadingRowCount = 1;
    for (int r = 0; r < 150; ++r)
        for (int c = 0; c < 3; ++c) {
            TRVTableCellData& cell = *table.GetCell(r, c);
            cell.Clear();
            cell.AddTextItem(r == 0 ? "heading" + IntToStr(c) : "cell" + IntToStr(r) + "x" + IntToStr(c), 0,
                             0);
        }
    source.AddTextItem("after the table", 0, 0);
    TRVPrint print(nullptr);
    print.AssignSource(source);
    int pages = print.FormatPages();
    ASSERT_GT(pages, 1);
    print.Print("Table", 1, false);

    std::optional<std::string> text = Output("pdftotext -layout '" + printer.Pdf + "' -");
    ASSERT_TRUE(text);
    std::vector<std::string> expected{"before the table"};
    for (int r = 1; r < 150; ++r)
        for (int c = 0; c < 3; ++c)
            expected.push_back("cell" + std::to_string(r) + "x" + std::to_string(c));
    expected.push_back("after the table");
    std::size_t at = 0;
    for (const std::string& piece : expected) {
        std::size_t next = text->find(piece, at);
        ASSERT_NE(next, std::string::npos) << piece;
        at = next + piece.size();
    }
    // The heading row stands on every page of the table.
    auto& printed = dynamic_cast<TRVMultiDrawItemInfo&>(*print.PrintableRV->RVData().DrawItems[1]);
    std::size_t headings = 0;
    for (std::size_t p = text->find("heading1"); p != std::string::npos; p = text->find("heading1", p + 1))
        ++headings;
    EXPECT_EQ(int(headings), printed.PartsList.Count());
    EXPECT_GT(printed.PartsList.Count(), 1);
    EXPECT_EQ(PdfPages(printer.Pdf), pages);
}

} // namespace
