// The road of one test on a real X server, driven by keys and clicks sent
// through the window system under the locale the run was started with:
// start-up and a new logical database, a testee with a seniority typed the
// locale's way, the whole questionnaire, the psychologist's password, a
// paper answer sheet, the testee's results saved as RTF and their dynamics,
// a group entry and its results, a confirmation dismissed, and the end.
// At each window it looks at what the Qt widgets show.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>

#include "ScreenDriver.h"
#include "app/AddTester_Frm.h"
#include "app/Blank_Frm.h"
#include "app/DBEdit_Frm.h"
#include "app/DB_Frm.h"
#include "app/Instr_Frm.h"
#include "app/Luvora.h"
#include "app/MainFrm.h"
#include "app/Option_Frm.h"
#include "app/Password_Frm.h"
#include "app/TeamBlank_Frm.h"
#include "app/Test_Frm.h"
#include "app/results/Dinamics_Frm.h"
#include "app/results/Result_Frm.h"
#include "app/uOnlyOne.h"
#include "controls/pages/AdvPageControl.h"
#include "core/DataMod.h"
#include "platform/canvas/QtCanvasSupport.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Grids.h"
#include "platform/gui/Printers.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Module.h"
#include "platform/win/Mutex.h"
#include "platform/win/WinReg.h"
#include "richtext/print/control/PageSetupRVFrm.h"
#include "richtext/print/control/PreviewRVFrm.h"
#include "richtext/print/control/RVPrint.h"
#include "support/TestSupport.h"
#include "util/JvColorButton.h"
#include "util/JvColorForm.h"

namespace {

// The program beside fresh database files, with a settings store and a
// mutex folder of its own.
class RoadOnScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server: run it through tools/on_screen.sh";
        SetRegistryStoreFileOverride(Folder.Path() + "registry.reg");
        CreateFreshDatabases(Folder.Path() + "DB/");
        SetModuleFileNameOverride(Folder.Path() + "Luvora");
        SetMutexFolderOverride(Folder.Path());
        std::filesystem::copy_file(SourceDir() + "/app/Instr.rtf", Folder.Path() + "Instr.rtf");
    }
    void TearDown() override {
        CloseInstanceHandle();
        SetMutexFolderOverride("");
        SetModuleFileNameOverride("");
        SetRegistryStoreFileOverride("");
    }
    TTempFolder Folder;
};

QString Shown(TWinControl* Control) {
    QWidget* w = Control->Widget();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return "<" + QString(w->metaObject()->className()) + ">";
}

QString WithoutAccel(QString Text) {
    return Text.remove('&');
}

// The tool button of Action on Bar.
TToolButton* ButtonOf(TToolBar* Bar, TBasicAction* Action) {
    for (int i = 0; i < Bar->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Bar->Controls(i)); b && b->Action() == Action) return b;
    return nullptr;
}

// The steps of the road, one window each. What is typed is Latin: the
// virtual keyboard has no Russian layout, and a keyboard's own letters are
// what the window system sends reliably.

void ChooseNewDatabase(TScreenDriver& D) {
    auto* chooser = D.WaitForWindow<TDB_Form>("the database chooser at start");
    D.OnGui([&] {
        EXPECT_EQ(Shown(chooser->OK_But), "&Открыть");
        EXPECT_EQ(Shown(chooser->Cancel_But), "&Отмена");
    });
    D.Key("Insert");
    auto* card = D.WaitForWindow<TDBEdit_Form>("the new database's card");
    D.OnGui([&] { EXPECT_EQ(D.FocusWidget(), card->DB_Edit->Widget()); });
    D.Type("Otdel kadrov");
    D.WaitFor("the name in the card", [&] { return Shown(card->DB_Edit) == "Otdel kadrov"; });
    D.Key("Return");
    D.WaitForWindow<TDB_Form>("the chooser again");
    D.Key("Return");
}

TMain_Form* MainWindow(TScreenDriver& D, const std::string& When, bool GridFocused = false) {
    auto* main = D.WaitForWindow<TMain_Form>("the main window " + When);
    if (!GridFocused) return main;
    // Its selected row shows as the one the keys act on.
    D.WaitFor("the grid focused " + When, [&] {
        TWinControl* grid = main->Main_PageControl->ActivePageIndex() == 0
                                ? static_cast<TWinControl*>(main->Users_Grid)
                                : main->Teams_Grid;
        return D.FocusWidget() == grid->Widget();
    });
    return main;
}

void AddTestee(TScreenDriver& D, TMain_Form* Main) {
    D.Key("Insert");
    auto* card = D.WaitForWindow<TAddTester_Form>("the testee card");
    D.OnGui([&] { EXPECT_EQ(D.FocusWidget(), card->FIO_Edit->Widget()) << "the card opens on the name"; });
    D.Type("Smirnova Anna");
    D.WaitFor("the name typed", [&] { return Shown(card->FIO_Edit) == "Smirnova Anna"; });
    TRect tab;
    D.OnGui([&] { tab = card->AddTester_PageControl->TabRect(1); });
    D.Click(card->AddTester_PageControl, (tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2);
    D.WaitFor("the work page",
              [&] { return card->AddTester_PageControl->ActivePage() == card->Work_TabSheet; });
    // The locale's own way of writing seven and a half years.
    const char decimal = D.OnGui<char>([] { return FormatSettings.DecimalSeparator; });
    const QString typed = decimal == ',' ? "7,5" : "7.5";
    D.Click(card->Seniority_Edit);
    D.Key("ctrl+a");
    D.Type(typed);
    D.Key("Tab");
    D.WaitFor("the seniority left", [&] { return !card->Seniority_Edit->Focused(); });
    D.OnGui([&] { EXPECT_EQ(Shown(card->Seniority_Edit), typed) << "the field shows the seniority typed"; });
    D.Key("Return");
    MainWindow(D, "after the card");
    D.OnGui([&] {
        TUser user;
        ASSERT_TRUE(Main->ReadFocusedTestee(user));
        EXPECT_EQ(user.FIO, "Smirnova Anna");
        EXPECT_DOUBLE_EQ(user.Seniority, 7.5) << "the seniority stored";
    });
}

void TakeTest(TScreenDriver& D, TMain_Form* Main) {
    D.Key("ctrl+t");
    auto* instruction = D.WaitForWindow<TInstr_Form>("the instruction");
    D.OnGui([&] {
        EXPECT_FALSE(Main->Visible());
        EXPECT_EQ(Shown(instruction->BeginTesting_But), "Начать тестирование");
    });
    D.Key("Return");
    auto* test = D.WaitForWindow<TTest_Form>("the questionnaire");
    const int count = D.OnGui<int>([&] { return test->Questions->Count; });
    ASSERT_EQ(count, 28);
    for (int pair = 1; pair <= count; ++pair) {
        D.WaitFor("pair " + std::to_string(pair), [&] { return test->Questions->Number == pair; });
        if (pair <= 2)
            D.OnGui([&] {
                // Each statement with its one full stop, on its white box.
                EXPECT_EQ(FromQtString(Shown(test->Statement1_Text)), test->Questions->Statement1 + ".");
                EXPECT_EQ(FromQtString(Shown(test->Statement2_Text)), test->Questions->Statement2 + ".");
                EXPECT_FALSE(Shown(test->Statement1_Text).endsWith(".."));
                EXPECT_TRUE(Shown(test->Rule_Text).startsWith("Оцените, пожалуйста"));
            });
        if (pair == 3) {
            // Closed halfway and the question dismissed: the test goes on.
            D.Key("alt+F4");
            TScreenDriver::TBox box = D.WaitForMessageBox("the question before the test is left");
            EXPECT_EQ(box.Title, "Подтверждение окончания тестирования");
            std::vector<QString> buttons;
            for (const QString& b : box.Buttons)
                buttons.push_back(WithoutAccel(b));
            EXPECT_EQ(buttons, (std::vector<QString>{"Да", "Нет"}));
            D.Key("Escape");
            D.WaitForNoMessageBox("the question dismissed");
            D.WaitForWindow<TTest_Form>("the questionnaire after Escape");
            D.OnGui([&] { EXPECT_EQ(test->Questions->Number, 3) << "the test goes on where it was"; });
        }
        D.Key(std::to_string((pair * 7 + 3) % 6));
        D.WaitFor("the choice on pair " + std::to_string(pair),
                  [&] { return test->Selection1_RG->ItemIndex() == (pair * 7 + 3) % 6; });
        D.Key("space");
    }
    TScreenDriver::TBox finished = D.WaitForMessageBox("the end of the test");
    EXPECT_EQ(finished.Text, "Тестирование закончено!");
    D.Key("Return");
    auto* password = D.WaitForWindow<TInputPassword_Form>("the psychologist's password");
    D.OnGui([&] {
        EXPECT_EQ(password->Caption(), "Введите пароль психолога"_cp);
        EXPECT_EQ(WithoutAccel(Shown(password->Cancel_But)), "Отмена");
    });
    D.Key("Return");
    MainWindow(D, "after the test", true);
    D.OnGui([&] {
        EXPECT_EQ(WideToAnsi(Main->Users_Grid->GetCellText(Main->Users_Grid->FocusedNode(), 10)), "1");
    });
}

void EnterAnswerSheet(TScreenDriver& D, TMain_Form* Main) {
    TToolButton* button =
        D.OnGui<TToolButton*>([&] { return ButtonOf(Main->Users_ToolBar, Main->Blank_Action); });
    ASSERT_NE(button, nullptr);
    D.Click(button);
    auto* sheet = D.WaitForWindow<TBlank_Form>("the answer sheet");
    D.OnGui([&] {
        TStringGrid* grid = sheet->Blank_Grid;
        EXPECT_EQ(grid->Row(), 1);
        for (int r = 0; r < 4; ++r)
            EXPECT_FALSE(grid->CellRect(0, r).IsEmpty()) << "row " << r << " of the sheet is in view";
        EXPECT_EQ(grid->Cells(0, 0), "1");
    });
    D.Click(sheet->AutoCalc_CheckBox, 8);
    D.WaitFor("automatic second answers", [&] { return sheet->AutoCalc_CheckBox->Checked(); });
    D.Click(sheet->Blank_Grid, 12, 18 + 1 + 9);
    D.Type("3214052314302415432105243102");
    D.WaitFor("the last answer", [&] { return sheet->Blank_Grid->Cells(27, 1) == "2"; });
    D.Click(sheet->Comment_Edit);
    D.Type("Na bumage");
    D.WaitFor("the note typed", [&] { return !sheet->Comment_Edit->Text().empty(); });
    // One click on OK stores the sheet.
    D.Click(sheet->OK_Button);
    MainWindow(D, "after the answer sheet");
    D.OnGui([&] {
        EXPECT_EQ(WideToAnsi(Main->Users_Grid->GetCellText(Main->Users_Grid->FocusedNode(), 10)), "2");
    });
}

// Leaves a window up long enough for tools/on_screen.sh to take its
// picture (it waits SHOT_DELAY, 0.8 s by default, for the paint).
void Linger() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}

// The text of a PDF file as poppler's pdftotext reads it (UTF-8); empty
// when it cannot be read.
std::string PdfText(const AnsiString& File) {
    std::string text;
    if (FILE* pipe = popen(("pdftotext -layout '" + File + "' - 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

// "Печать..." in the results: the preview, maximized, paged with a key,
// its page set-up with a wider top margin, then its print button; the
// machine has no printer, so printing asks for the PDF file, and the
// report is read back from it.
void PrintResults(TScreenDriver& D, TResult_Form* Results, const AnsiString& PdfFile) {
    D.Click(Results->SpeedButton2);
    auto* preview = D.WaitForWindow<TfrmRVPreview>("the preview");
    TCustomRVPrint* print = D.OnGui<TCustomRVPrint*>([&] { return preview->rvpp->RVPrint(); });
    D.OnGui([&] {
        EXPECT_EQ(preview->WindowState(), TWindowState::wsMaximized);
        EXPECT_GE(print->GetPagesCount(), 2);
        EXPECT_EQ(preview->rvpp->PageNo(), 1);
    });
    Linger();
    D.Click(preview->rvpp, 5, 5);
    D.Key("Next");
    D.WaitFor("Page Down to show page 2", [&] { return preview->rvpp->PageNo() == 2; });

    D.Click(preview->SpeedButton6);
    auto* setup = D.WaitForWindow<TfrmRVPageSetup>("the page set-up from the preview");
    D.OnGui([&] { EXPECT_EQ(setup->seTop->Value(), 20); });
    // Twice: the picture of the large preview is still being taken.
    Linger();
    Linger();
    D.Click(setup->seTop);
    D.Key("ctrl+a");
    D.Type("30");
    D.Key("Tab");
    D.Click(setup->btnOk);
    D.WaitForWindow<TfrmRVPreview>("the preview after the page set-up");
    D.OnGui([&] { EXPECT_EQ(static_cast<TRVPrint*>(print)->TopMarginMM(), 30); });

    D.Click(preview->SpeedButton5);
    D.WaitFor("the PDF file asked for",
              [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); });
    Linger();
    D.Key("Return");
    D.WaitFor(
        "the report printed into the PDF file", [&] { return FileExists(PdfFile); }, 60);
    D.WaitForWindow<TResult_Form>("the results after printing");
    const std::string text = PdfText(PdfFile);
    for (const char* expected : {"Smirnova Anna", "ЗАКЛЮЧЕНИЕ", "трудовой мотивации"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in the printed report:\n" << text;
}

// The testee's results: both tests listed, the chart and the report shown,
// the report saved as RTF through the save dialog on screen, then printed.
void OpenResults(TScreenDriver& D, TMain_Form* Main, const AnsiString& RtfFile, const AnsiString& PdfFile) {
    D.Key("ctrl+r");
    auto* results = D.WaitForWindow<TResult_Form>("the results");
    D.OnGui([&] {
        EXPECT_EQ(results->TestList_ComboBox->Items()->Count(), 2);
        EXPECT_GT(results->Scale_BarChart->Count(), 0);
        EXPECT_NE(results->Anketa_Report->Text().find("Smirnova Anna"), AnsiString::npos);
        EXPECT_EQ(WithoutAccel(Shown(results->Close_But)), "Закрыть");
    });
    Linger();
    D.Key("ctrl+s");
    D.WaitFor("the save dialog", [] { return QApplication::activeModalWidget() != nullptr; });
    D.Type(QString::fromStdString(RtfFile));
    D.Key("Return");
    D.WaitFor("the report saved", [&] { return FileExists(RtfFile); });
    D.WaitForWindow<TResult_Form>("the results after saving");
    PrintResults(D, results, PdfFile);
    D.Key("Escape");
    MainWindow(D, "after the results");
    D.ChooseMenu(Main, "Тестирование", "Динамика...");
    auto* dynamics = D.WaitForWindow<TDinamics_Form>("the dynamics");
    D.OnGui([&] {
        for (TLineSeries* s : dynamics->FSeries)
            EXPECT_EQ(s->Count(), 2) << "a point a test";
    });
    Linger();
    D.Key("Escape");
    MainWindow(D, "after the dynamics");
}

void OpenGroupResults(TScreenDriver& D, TMain_Form*) {
    D.Key("ctrl+r");
    auto* results = D.WaitForWindow<TResult_Form>("the group's results");
    D.OnGui([&] {
        EXPECT_FALSE(results->TestList_ComboBox->Visible());
        EXPECT_EQ(results->Scale_BarChart->Count(), 8);
        EXPECT_NE(results->Anketa_Report->Text().find("Zavod"), AnsiString::npos);
    });
    Linger();
    D.Key("Escape");
    MainWindow(D, "after the group's results");
}

void EnterGroup(TScreenDriver& D, TMain_Form* Main) {
    TRect tab;
    D.OnGui([&] { tab = Main->Main_PageControl->TabRectOfPage(1); });
    D.Click(Main->Main_PageControl, (tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2);
    D.WaitFor("the group page", [&] { return Main->Main_PageControl->ActivePageIndex() == 1; });
    TToolButton* button =
        D.OnGui<TToolButton*>([&] { return ButtonOf(Main->Teams_ToolBar, Main->TeamBlank_Action); });
    ASSERT_NE(button, nullptr);
    D.Click(button);
    auto* entry = D.WaitForWindow<TTeamBlnk_Form>("the group entry");
    D.OnGui([&] {
        TStringGrid* grid = entry->Blank_StringGrid;
        for (int c = 0; c < grid->ColCount(); ++c)
            EXPECT_FALSE(grid->CellRect(c, 0).IsEmpty()) << "the header of column " << c << " is in view";
        EXPECT_EQ(grid->Cells(2, 0), "A");
        EXPECT_EQ(grid->Cells(9, 0), "I");
        EXPECT_EQ(grid->Row(), 1);
        EXPECT_EQ(grid->Col(), 1);
    });
    D.Click(entry->Job_Edit);
    D.Type("Zavod");
    D.Click(entry->Blank_StringGrid, 35 + 1 + 20, 35 + 1 + 10);
    D.WaitFor("the first label's cell taking the keys", [&] {
        TInplaceEdit* editor = entry->Blank_StringGrid->InplaceEditor();
        return editor && D.FocusWidget() == editor->Widget();
    });
    for (int r = 1; r <= 2; ++r) {
        D.Type("R" + QString::number(r));
        D.Key("Return");
        for (int c = 2; c < 10; ++c) {
            D.Type(QString::number(10 + c + r));
            if (r < 2 || c < 9) D.Key("Return");
        }
    }
    D.WaitFor("the last score", [&] { return entry->Blank_StringGrid->Cells(9, 2) == "21"; });
    D.Click(entry->OK_Button);
    MainWindow(D, "after the group entry");
    D.OnGui([&] { EXPECT_EQ(Main->Teams_Grid->GetRootNodeCount(), 1u); });
}

void DismissDeletion(TScreenDriver& D, TMain_Form* Main) {
    TRect tab;
    D.OnGui([&] { tab = Main->Main_PageControl->TabRectOfPage(0); });
    D.Click(Main->Main_PageControl, (tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2);
    MainWindow(D, "back on the testee page");
    // The testee's row, clicked.
    D.Click(Main->Users_Grid, 100, 25 + 9);
    D.WaitFor("the grid focused", [&] { return D.FocusWidget() == Main->Users_Grid->Widget(); });
    // Once with Escape, once with the close box: the testee stays.
    for (const char* dismiss : {"Escape", "alt+F4"}) {
        D.Key("Delete");
        TScreenDriver::TBox box = D.WaitForMessageBox("the question before a deletion");
        std::vector<QString> buttons;
        for (const QString& b : box.Buttons)
            buttons.push_back(WithoutAccel(b));
        EXPECT_EQ(buttons, (std::vector<QString>{"Да", "Нет"})) << "Qt's buttons speak Russian";
        D.Key(dismiss);
        D.WaitForNoMessageBox(std::string("the question dismissed with ") + dismiss);
        MainWindow(D, "after the dismissed question");
        D.OnGui(
            [&] { EXPECT_EQ(Main->Users_Grid->GetRootNodeCount(), 1u) << "nothing deleted: " << dismiss; });
    }
}

// One Escape in the colour palette closes the palette only; the next one
// leaves the options.
void EscapeFromPalette(TScreenDriver& D, TMain_Form* Main) {
    D.ChooseMenu(Main, "Сервис", "Настройка...");
    auto* options = D.WaitForWindow<TOptions_Form>("the options");
    D.Click(options->FirstColor_Edit, options->FirstColor_Edit->Width() - 4);
    D.WaitFor("the palette", [&] {
        TJvColorForm* palette = options->FirstColor_Edit->Palette();
        return palette && palette->Visible();
    });
    D.Key("Escape");
    D.WaitFor("the palette closed", [&] {
        return !TScreenDriver::Alive(options) || !options->FirstColor_Edit->Palette()->Visible();
    });
    D.OnGui(
        [&] { ASSERT_TRUE(TScreenDriver::Alive(options)) << "Escape in the palette closed the options"; });
    D.WaitForWindow<TOptions_Form>("the options after Escape in the palette");
    D.Key("Escape");
    MainWindow(D, "after the options");
}

} // namespace

TEST_F(RoadOnScreenTest, OneTestFromStartToTheGroupEntry) {
    TScreenDriver driver;
    const AnsiString rtf = Folder.Path() + "report.rtf", pdf = Folder.Path() + "report.pdf";
    const int result = driver.Run(
        [&] {
            // The file the print command offers first.
            Printer()->SetFileName(pdf);
            TScopeGuard reset([] { Printer()->SetFileName(""); });
            return RunLuvora();
        },
        [&](TScreenDriver& D) {
            ChooseNewDatabase(D);
            TMain_Form* main = MainWindow(D, "at start", true);
            EscapeFromPalette(D, main);
            AddTestee(D, main);
            TakeTest(D, main);
            EnterAnswerSheet(D, main);
            OpenResults(D, main, rtf, pdf);
            EnterGroup(D, main);
            OpenGroupResults(D, main);
            DismissDeletion(D, main);
            D.Key("alt+F4");
        });
    EXPECT_EQ(result, 0);
}
