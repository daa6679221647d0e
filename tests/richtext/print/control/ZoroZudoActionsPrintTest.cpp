// The print action on the recording printer: the header and footer on
// every page with their macros, the print dialog's ranges, the print
// component it finds or makes, and what it leaves behind.
#include <gtest/gtest.h>

#include <regex>

#include "ActionTesting.h"
#include "DialogTesting.h"
#include "platform/gui/Mask.h"

namespace {

// The header and footer of the program as they start, again after a test.
class THFScope {
public:
    THFScope() { Reset(); }
    ~THFScope() { Reset(); }
    THFScope(const THFScope&) = delete;
    THFScope& operator=(const THFScope&) = delete;

private:
    static void Reset() {
        for (THFInfo* info : {&RVAHeaderInfo(), &RVAFooterInfo()}) {
            info->Text.clear();
            info->Alignment = 2;
            info->PrintOnFirstPage = true;
            info->Font->SetName("Arial");
            info->Font->SetSize(10);
        }
        RVAHeaderInfo().Text = "- &p -";
        SetRVAFirstPageNumber(1);
    }
};

class PrintAction : public ActionTest {
protected:
    THFScope HF;
};

// The texts drawn on a printed page, in order.
std::vector<AnsiString> Texts(const std::vector<AnsiString>& Page) {
    std::vector<AnsiString> out;
    for (const AnsiString& line : Page)
        if (line.compare(0, 5, "Text ") == 0) out.push_back(line);
    return out;
}

// The logged call that drew exactly Text, or empty.
AnsiString Drawn(const std::vector<AnsiString>& Page, const AnsiString& Text) {
    for (const AnsiString& line : Texts(Page))
        if (line.find(" '" + Text + "' ") != AnsiString::npos) return line;
    return {};
}

// Shows the window, formats the editor and selects in it.
void Select(TActionWindow& W, int StartNo, int StartOffs, int EndNo, int EndOffs) {
    ShowWindow(W.Form);
    W.Editor->FormatDocument();
    W.Editor->SetSelectionBounds(StartNo, StartOffs, EndNo, EndOffs);
    ASSERT_TRUE(W.Editor->SelectionExists());
}

TEST(HeaderFooterMacros, ExpandAsWritten) {
    TDateTime now = EncodeDate(2026, 3, 9) + EncodeTime(14, 5, 0, 0);
    struct TCase {
        const char* Text;
        int PageNo, PageCount, First;
        AnsiString Expected;
    };
    const TCase cases[] = {
        {"- &p -", 1, 3, 1, "- 1 -"},
        {"&p of &P", 2, 5, 3, "4 of 5"},
        {"a && b", 1, 1, 1, "a & b"},
        {"&x&p", 1, 1, 1, "&x1"},
        {"&pX", 1, 1, 1, "1X"},
        {"page &p.", 7, 9, 1, "page 7."},
        {"end &", 1, 1, 1, "end &"},
        {"", 1, 1, 1, ""},
        {"&d &t", 1, 1, 1,
         FormatDateTime(FormatSettings.ShortDateFormat, now) + " " +
             FormatDateTime(FormatSettings.ShortTimeFormat, now)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(RVAExpandHFText(c.Text, c.PageNo, c.PageCount, c.First, now), c.Expected) << c.Text;
}

TEST_F(PrintAction, EveryPageCarriesItsNumberCentredAboveTheText) {
    TActionWindow w(200);
    auto* print = new TRVPrint(&w.Form);
    std::vector<TRect> areas;
    int earlier = 0;
    print->OnPagePrepaint = [&](TCustomRVPrint*, int, TCanvas&, bool, const TRect&, const TRect& Area) {
        ++earlier;
        areas.push_back(Area);
    };
    w.Panel->SetRVPrint(print);
    auto* action = w.Add<TrvActionPrint>();
    action->Title = "Report";
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
    action->ExecuteTarget(w.Editor);

    ASSERT_EQ(Dialogs.DialogLog.size(), 1u);
    EXPECT_EQ(Dialogs.DialogLog[0].Kind, TDialogKind::dkPrint);
    ASSERT_EQ(Printer.Pages.size(), 3u);
    EXPECT_EQ(Printer.Log.front(), "BeginDoc 'Report' copies=1");
    // The window's own handler still runs, first; it is back alone after.
    EXPECT_EQ(earlier, 3);
    ASSERT_EQ(areas.size(), 3u);
    const int ppi = TRecordingPrinter::DefaultPixelsPerInch;
    for (int p = 1; p <= 3; ++p) {
        SCOPED_TRACE(p);
        AnsiString text = "- " + IntToStr(p) + " -";
        AnsiString line = Drawn(Printer.Pages[p - 1], text);
        ASSERT_FALSE(line.empty());
        std::smatch m;
        std::string s = line;
        ASSERT_TRUE(std::regex_search(s, m, std::regex(R"(Text (-?\d+),(-?\d+) .* font=Arial,(-?\d+),)")));
        const TRect& area = areas[std::size_t(p - 1)];
        // Arial 10 at the printer's resolution; 1/20 inch above the area.
        EXPECT_EQ(std::stoi(m[3]), -MulDiv(10, ppi, 72));
        int y = std::stoi(m[2]);
        EXPECT_LT(y, area.Top - ppi / 20);
        EXPECT_GT(y, area.Top - ppi / 20 - 2 * MulDiv(10, ppi, 72));
        // Centred: as far from the area's left as its end from the right.
        TCanvas& canvas = *Printer.Canvas();
        canvas.Font()->SetName("Arial");
        canvas.Font()->SetPixelsPerInch(ppi);
        canvas.Font()->SetSize(10);
        int x = std::stoi(m[1]);
        EXPECT_NEAR(x - area.Left, area.Right - (x + canvas.TextWidth(text)), 1);
    }
    earlier = 0;
    print->AssignSource(*w.Editor->RVData());
    print->FormatPages();
    TRecordingCanvas canvas;
    print->DrawPage(1, canvas, true);
    EXPECT_EQ(earlier, 1);
    EXPECT_TRUE(Drawn(canvas.Log, "- 1 -").empty());
}

TEST_F(PrintAction, TheFooterAndTheFirstPageFollowTheirDescriptions) {
    TActionWindow w(200);
    RVAHeaderInfo().PrintOnFirstPage = false;
    RVAHeaderInfo().Text = "&p / &P";
    RVAFooterInfo().Text = "Footer &&";
    RVAFooterInfo().Alignment = 0;
    SetRVAFirstPageNumber(3);
    auto* print = new TRVPrint(&w.Form);
    TRect area;
    print->OnPagePrepaint = [&](TCustomRVPrint*, int, TCanvas&, bool, const TRect&, const TRect& Area) {
        area = Area;
    };
    auto* action = w.Add<TrvActionPrint>();
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
    action->ExecuteTarget(w.Editor);
    ASSERT_EQ(Printer.Pages.size(), 3u);

    EXPECT_TRUE(Drawn(Printer.Pages[0], "3 / 3").empty());
    EXPECT_FALSE(Drawn(Printer.Pages[1], "4 / 3").empty());
    EXPECT_FALSE(Drawn(Printer.Pages[2], "5 / 3").empty());
    AnsiString footer = Drawn(Printer.Pages[0], "Footer &");
    ASSERT_FALSE(footer.empty());
    // Left-aligned, 1/20 inch below the text area.
    const int ppi = TRecordingPrinter::DefaultPixelsPerInch;
    EXPECT_EQ(footer.substr(0, footer.find(" '")),
              "Text " + IntToStr(area.Left) + "," + IntToStr(area.Bottom + ppi / 20));
}

TEST_F(PrintAction, TheDialogsRangeDecidesWhatIsPrinted) {
    struct TCase {
        const char* Name;
        TScriptedDialogs::TDialogAnswer Answer;
        bool Select;
        std::size_t Pages;
    };
    auto range = [](TPrintRange Range, int From, int To, int Copies, bool Collate) {
        return [=](TCommonDialog* D) {
            auto* dialog = static_cast<TPrintDialog*>(D);
            EXPECT_EQ(dialog->MinPage, 1);
            EXPECT_EQ(dialog->MaxPage, 3);
            EXPECT_EQ(dialog->FromPage, 1);
            EXPECT_EQ(dialog->ToPage, 3);
            EXPECT_TRUE(dialog->Options & poPageNums);
            dialog->PrintRange = Range;
            dialog->FromPage = From;
            dialog->ToPage = To;
            dialog->Settings.Copies = Copies;
            dialog->Settings.Collate = Collate;
            return true;
        };
    };
    const TCase cases[] = {
        {"cancelled", TScriptedDialogs::Cancelled(), false, 0},
        {"all pages", range(TPrintRange::prAllPages, 1, 3, 1, false), false, 3},
        {"pages 2 to 3", range(TPrintRange::prPageNums, 2, 3, 1, false), false, 2},
        {"two copies collated", range(TPrintRange::prAllPages, 1, 3, 2, true), false, 3},
        {"two copies not collated", range(TPrintRange::prAllPages, 1, 3, 2, false), false, 6},
        {"the selection", range(TPrintRange::prSelection, 1, 3, 1, false), true, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TActionWindow w(200);
        if (c.Select) Select(w, 0, 1, 9, 5);
        auto* action = w.Add<TrvActionPrint>();
        auto* print = new TRVPrint(&w.Form);
        Printer.Pages.clear();
        Printer.Log.clear();
        Dialogs.DialogAnswers.push_back(c.Answer);
        action->ExecuteTarget(w.Editor);
        EXPECT_EQ(Printer.Pages.size(), c.Pages);
        // The print component is left empty either way.
        EXPECT_FALSE(print->Ready());
    }
}

TEST_F(PrintAction, TheSelectionIsPrintedAloneWithItsOwnText) {
    TActionWindow w(200);
    Select(w, 4, 1, 5, 1 + int(AnsiString("Paragraph 6").size()));
    auto* action = w.Add<TrvActionPrint>();
    Dialogs.DialogAnswers.push_back([](TCommonDialog* D) {
        auto* dialog = static_cast<TPrintDialog*>(D);
        EXPECT_TRUE(dialog->Options & poSelection);
        dialog->PrintRange = TPrintRange::prSelection;
        return true;
    });
    action->ExecuteTarget(w.Editor);
    ASSERT_EQ(Printer.Pages.size(), 1u);
    EXPECT_FALSE(Drawn(Printer.Pages[0], "Paragraph 5 of the report").empty());
    EXPECT_FALSE(Drawn(Printer.Pages[0], "Paragraph 6").empty());
    EXPECT_TRUE(Drawn(Printer.Pages[0], "Paragraph 7 of the report").empty());
    EXPECT_TRUE(Drawn(Printer.Pages[0], "Paragraph 1 of the report").empty());
}

TEST_F(PrintAction, AnEmptyDocumentBeepsAndAsksNothing) {
    TActionWindow w(0);
    auto* action = w.Add<TrvActionPrint>();
    int beeps = BeepCount();
    action->ExecuteTarget(w.Editor);
    EXPECT_EQ(BeepCount(), beeps + 1);
    EXPECT_TRUE(Dialogs.DialogLog.empty());
    EXPECT_TRUE(Printer.Log.empty());
}

TEST_F(PrintAction, ThePrintComponentIsThePanelsThenTheFirstOfTheWindowThenOneMadeForTheRun) {
    TActionWindow w(3);
    auto* action = w.Add<TrvActionPrint>();
    auto* first = new TRVPrint(&w.Form);
    auto* second = new TRVPrint(&w.Form);
    std::vector<TCustomRVPrint*> used;
    auto record = [&](TCustomRVPrint* Sender, int, TCanvas&, bool, const TRect&, const TRect&) {
        used.push_back(Sender);
    };
    first->OnPagePrepaint = record;
    second->OnPagePrepaint = record;

    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
    action->ExecuteTarget(w.Editor);
    w.Panel->SetRVPrint(second);
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
    action->ExecuteTarget(w.Editor);
    EXPECT_EQ(used, (std::vector<TCustomRVPrint*>{first, second}));

    // Without one, a component is made for the run and freed after it.
    delete first;
    delete second;
    int components = w.Form.ComponentCount();
    Printer.Pages.clear();
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
    action->ExecuteTarget(w.Editor);
    EXPECT_EQ(Printer.Pages.size(), 1u);
    EXPECT_FALSE(Drawn(Printer.Pages[0], "- 1 -").empty());
    EXPECT_EQ(w.Form.ComponentCount(), components);
}

TEST_F(PrintAction, TheEditorShowsWherePagesBegin) {
    TActionWindow w(200);
    auto* action = w.Add<TrvActionPrint>();
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
    action->ExecuteTarget(w.Editor);
    const auto& breaks = w.Editor->RVData()->SoftPageBreaks;
    ASSERT_TRUE(breaks);
    ASSERT_EQ(breaks->Count(), 2);
    EXPECT_GT(breaks->Get(0)->ItemNo, 0);
    EXPECT_GT(breaks->Get(1)->ItemNo, breaks->Get(0)->ItemNo);

    TActionWindow off(200);
    off.Panel->ShowSoftPageBreaks = false;
    auto* quiet = off.Add<TrvActionPrint>();
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
    quiet->ExecuteTarget(off.Editor);
    EXPECT_FALSE(off.Editor->RVData()->SoftPageBreaks);
}

TEST_F(PrintAction, APrinterThatFailsLeavesTheComponentAsItWas) {
    TActionWindow w(3);
    auto* print = new TRVPrint(&w.Form);
    int calls = 0;
    print->OnPagePrepaint = [&](TCustomRVPrint*, int, TCanvas&, bool, const TRect&, const TRect&) {
        ++calls;
    };
    auto* action = w.Add<TrvActionPrint>();
    Printer.Offline = true;
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
    EXPECT_THROW(action->ExecuteTarget(w.Editor), EPrinter);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_FALSE(print->Ready());
    // Only the window's own handler is left.
    Printer.Offline = false;
    print->AssignSource(*w.Editor->RVData());
    print->FormatPages();
    TRecordingCanvas canvas;
    print->DrawPage(1, canvas, true);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(Drawn(canvas.Log, "- 1 -").empty());
}

} // namespace
