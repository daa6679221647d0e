// The report view over the reports the testing core builds from the data
// file's templates: every construct they use comes through the importer
// into the read-only editor (headings, paragraphs, bold, lists, tables,
// rules, breaks, the chart picture) and onto the printed pages, and pages
// made of a report that is then replaced never draw its freed items.
#include <gtest/gtest.h>

#include <set>

#include "ResultsFixture.h"
#include "app/results/ReportView.h"
#include "core/CalcGroup_Unit.h"
#include "richtext/editor/control/RVEdit.h"
#include "richtext/editor/tables/RVTable.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/print/control/RVPrint.h"

namespace {

class ReportViewTest : public ResultsFixture {
protected:
    ReportViewTest() {
        Form.SetBounds(0, 0, 700, 500);
        View = CreateReportView(&Form);
        View->Control()->SetParent(&Form);
        View->Control()->SetAlign(TAlign::alClient);
        TBitmap chart(ReportChartWidth, ReportChartHeight);
        for (const char* name : {ResultChartFileName, DynamicsChartFileName})
            chart.SaveToFile(Folder.Path() + name);
    }

    AnsiString TestReport(const TUser& User) {
        TTestData test;
        test.TEST_ID = StoreTest(User.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
        DM->OpenUserTests(User.USER_ID, test.TEST_ID);
        DM->ReadTest(test);
        TTestResult result;
        result.SetAnswers(test.ANSWERS);
        AnsiString html;
        result.BuildReport(User, test, Folder.Path(), html);
        return html;
    }
    AnsiString GroupReport() {
        TTeam t;
        t.DB_ID = Database.DB_ID;
        t.JOB = "Завод"_cp;
        t.NUMBEROFEMPLOYES = 1;
        t.NUMBEROFTESTED = 1;
        t.DATETEST = EncodeDate(2007, 5, 14);
        t.EMPNAMES = "1#";
        t.DATA = "10/12/14/16/18/20/22/24/";
        TGroupTestResult group;
        group.SetTeam(t);
        AnsiString html;
        group.BuildGroupReport(Folder.Path(), html);
        return html;
    }
    AnsiString DynamicsReport(const TUser& User) {
        AnsiString html;
        BuildDynamicsReport(User, Folder.Path(), html);
        return html;
    }

    TCustomZoroZudoEdit& Editor() { return View->Editor(); }
    // The item kinds of the document, cells of tables included.
    static void CollectKinds(const TCustomRVData& Data, std::multiset<int>& Kinds) {
        for (int i = 0; i < Data.ItemCount(); ++i) {
            Kinds.insert(Data.GetItemStyle(i));
            if (auto* table = dynamic_cast<const TRVTableItemInfo*>(Data.GetItem(i)))
                for (int r = 0; r < table->RowCount(); ++r)
                    for (int c = 0; c < table->ColCount(); ++c)
                        if (const TRVTableCellData* cell = table->GetCell(r, c)) CollectKinds(*cell, Kinds);
        }
    }
    // Pages the report and prints it all, as the print action does; the
    // number of pages.
    int PrintReport() {
        TRVPrint& print = View->Printout();
        print.AssignSource(*Editor().RVData());
        const int pages = print.FormatPages();
        if (pages > 0) print.Print("Report", 1, false);
        return pages;
    }
    TForm Form{nullptr};
    TReportView* View;
};

TEST_F(ReportViewTest, EveryConstructOfTheTemplatesComesThroughAndPrints) {
    const TUser u = Testee();
    struct TCase {
        const char* Name;
        AnsiString Html;
        std::vector<const char*> Headings;
        bool Rule;
        // A text that stands only in a table.
        const char* Cell;
    } cases[] = {
        {"concl",
         TestReport(u),
         {"ЗАКЛЮЧЕНИЕ", "1. Сведения об испытуемом", "4. Тип мотивационного профиля"},
         true,
         "Иванов Петр Сергеевич"},
        {"grcon",
         GroupReport(),
         {"ГРУППОВОЙ ПРОФИЛЬ ТРУДОВОЙ МОТИВАЦИИ", "1. Сведения о группе"},
         true,
         "Завод"},
        {"dyn",
         DynamicsReport(u),
         {"ДИНАМИКА ТРУДОВОЙ МОТИВАЦИИ", "Как оценивать изменения"},
         false,
         "гигиенический фактор"},
    };
    for (TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        View->ShowHtml(c.Html);
        ASSERT_FALSE(View->Empty());
        const AnsiString text = View->Text();
        for (const char* heading : c.Headings)
            EXPECT_TRUE(Contains(text, heading)) << heading;
        std::multiset<int> kinds;
        CollectKinds(*Editor().RVData(), kinds);
        EXPECT_GT(kinds.count(rvsTable), 0u) << "tables";
        EXPECT_GT(kinds.count(rvsListMarker), 0u) << "lists";
        EXPECT_GT(kinds.count(rvsPicture), 0u) << "the chart picture";
        EXPECT_EQ(kinds.count(rvsBreak) > 0, c.Rule) << "rules";
        // Headings are larger and bold, and bold runs stand in the text.
        TRVStyle& style = *Editor().Style();
        const int body = style.TextStyles()[0]->Size;
        bool heading = false, bold = false;
        for (int s = 0; s < style.TextStyles().Count(); ++s) {
            heading |= style.TextStyles()[s]->Size > body && (style.TextStyles()[s]->Style & fsBold);
            bold |= style.TextStyles()[s]->Size == body && (style.TextStyles()[s]->Style & fsBold);
        }
        EXPECT_TRUE(heading);
        EXPECT_TRUE(bold);
        for (int i = 0; i < Editor().GetItemCount(); ++i) {
            if (auto* picture = dynamic_cast<TRVGraphicItemInfo*>(Editor().GetItem(i))) {
                EXPECT_EQ(picture->Image->Width(), ReportChartWidth);
            }
        }

        Printer.Pages.clear();
        EXPECT_GT(PrintReport(), 0);
        const std::string printed = PrintedText();
        EXPECT_NE(printed.find("Bitmap "), std::string::npos) << "the chart is printed";
        for (const char* heading : c.Headings)
            EXPECT_NE(printed.find(Utf8ToAnsi(heading)), std::string::npos) << heading;
        EXPECT_NE(printed.find(Utf8ToAnsi(c.Cell)), std::string::npos) << "the tables print: " << c.Cell;
    }
}

TEST_F(ReportViewTest, PagesOfAReplacedReportDrawNothingOfIt) {
    const TUser u = Testee();
    View->ShowHtml(TestReport(u));
    ASSERT_GT(PrintReport(), 0);
    TRVPrint& print = View->Printout();
    ASSERT_GT(print.GetPagesCount(), 0);

    struct TCase {
        const char* What;
        std::function<void()> Replace;
    } cases[] = {
        {"another report", [&] { View->ShowHtml(DynamicsReport(u)); }},
        {"an empty report", [&] { View->Clear(); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        // Paged as a preview would page it, then replaced.
        print.AssignSource(*Editor().RVData());
        ASSERT_GT(print.FormatPages(), 0);
        c.Replace();
        EXPECT_EQ(print.GetPagesCount(), 0);
        TRecordingCanvas canvas;
        EXPECT_THROW(print.DrawPage(1, canvas, true), EZoroZudoError);
        EXPECT_TRUE(canvas.Log.empty());
    }
}

TEST_F(ReportViewTest, PrintingLeavesTheScreensLayoutAsItWas) {
    const TUser u = Testee();
    Form.Show();
    View->ShowHtml(TestReport(u));
    const int height = Editor().GetDocumentHeight();
    ASSERT_GT(PrintReport(), 0);
    EXPECT_EQ(Editor().GetDocumentHeight(), height);
    for (int i = 0; i < Editor().GetItemCount(); ++i) {
        if (auto* table = dynamic_cast<TRVTableItemInfo*>(Editor().GetItem(i))) {
            EXPECT_LE(table->FormatInfo.TotalWidth, Editor().ClientWidth());
        }
    }
}

} // namespace
