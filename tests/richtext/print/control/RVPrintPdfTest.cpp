// Printing to a PDF file through the layer's printer: the file holds the
// document's text in order and the page count the component reported.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <optional>
#include <regex>

#include "platform/rtl/ScopeGuard.h"
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

TEST(RVPrintPdfTest, APdfHoldsTheTextInOrderAndTheReportedPageCount) {
    if (!HavePoppler()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TTempFolder folder;
    std::string pdf = folder.Path() + "report.pdf";
    TPrinter* previous = SetPrinter(nullptr);
    TPrinter& printer = *Printer();
    printer.SetFileName(pdf);
    TScopeGuard restore([&] {
        printer.SetFileName("");
        SetPrinter(previous);
    });

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
    std::optional<std::string> info = Output("pdfinfo '" + pdf + "'");
    ASSERT_TRUE(info);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(*info, m, std::regex(R"(Pages:\s+(\d+))"))) << *info;
    EXPECT_EQ(std::stoi(m[1]), pages);
}

} // namespace
