// The common dialogs through the dialog seam: each answered by the scripted
// service and cancelled, file names completed and checked, and the print
// dialogs configuring the printer.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/gui/Dialogs.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"

namespace {
const AnsiString ReportFilter = "RTF файлы (*.rtf)|*.rtf|Все файлы (*.*)|*.*"_cp;

class TFakePrinter : public IDialogPrinter {
public:
    TFakePrinter() : FPrevious(SetDialogPrinter(this)) {}
    ~TFakePrinter() override { SetDialogPrinter(FPrevious); }
    TPrintSettings PrintSettings() const override { return Settings; }
    void ApplyPrintSettings(const TPrintSettings& Value) override {
        Settings = Value;
        ++Applied;
    }
    TPrintSettings Settings;
    int Applied = 0;

private:
    IDialogPrinter* FPrevious;
};
} // namespace

TEST(FileDialogTest, AChosenNameGetsTheChosenFiltersExtensionAndAnExistingFileIsAskedFor) {
    TScriptedDialogs dialogs;
    TScriptedMessageBoxes boxes;
    TTempFolder folder;
    TSaveDialog save(nullptr);
    save.Filter =
        "ZoroZudo Files (*.rvf)|*.rvf|RTF Files (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|All (*.*)|*.*";
    save.DefaultExt = "rvf";
    save.Options |= ofOverwritePrompt;
    save.Title = "Сохранить как"_cp;
    struct {
        AnsiString Typed;
        int FilterIndex;
        AnsiString Saved;
    } cases[] = {
        {"report", 3, "report.txt"},     // the filter names an extension
        {"report", 4, "report.rvf"},     // "*.*" names none: the default one
        {"report.rtf", 3, "report.rtf"}, // an extension typed stays
    };
    for (const auto& c : cases) {
        dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(folder.Path() + c.Typed, c.FilterIndex));
        ASSERT_TRUE(save.Execute()) << c.Typed;
        EXPECT_EQ(save.FileName, folder.Path() + c.Saved);
        EXPECT_EQ(save.FilterIndex, c.FilterIndex);
        ASSERT_EQ(save.Files()->Count(), 1);
        EXPECT_EQ(save.Files()->Strings(0), save.FileName);
    }
    EXPECT_TRUE(boxes.Log.empty()) << "no file existed";

    // An existing file: No sends the user back to the dialog, Yes keeps it.
    std::ofstream(folder.Path() + "report.rtf") << "{\\rtf1}";
    int shown = 0, closed = 0;
    save.OnShow = [&](TObject*) { ++shown; };
    save.OnClose = [&](TObject*) { ++closed; };
    boxes.Answers = {IDNO, IDYES};
    for (int i = 0; i < 2; ++i)
        dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(folder.Path() + "report.rtf", 2));
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(dialogs.DialogAnswers.size(), 0u) << "asked twice";
    ASSERT_EQ(boxes.Log.size(), 2u);
    EXPECT_EQ(boxes.Log[0].Text, "report.rtf already exists.\nDo you want to replace it?");
    EXPECT_EQ(boxes.Log[0].Caption, "Сохранить как"_cp);
    EXPECT_EQ(boxes.Log[0].Buttons(), MB_YESNO);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(closed, 1);

    // Cancelled: the name stays as it was.
    dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
    EXPECT_FALSE(save.Execute());
    EXPECT_FALSE(save.Execute()) << "no answer left: cancelled";
    EXPECT_EQ(save.FileName, folder.Path() + "report.rtf");
    ASSERT_FALSE(dialogs.DialogLog.empty());
    EXPECT_EQ(dialogs.DialogLog.back().Kind, TDialogKind::dkSave);
    EXPECT_EQ(dialogs.DialogLog.back().Title, "Сохранить как"_cp);
    EXPECT_FALSE(dialogs.DialogLog.back().Result);
}

TEST(FileDialogTest, OpenDialogsTakeTheNameAndReadTheirFilter) {
    TScriptedDialogs dialogs;
    TOpenDialog open(nullptr);
    open.Filter = ReportFilter;
    EXPECT_EQ(open.FilterDescriptions(),
              (std::vector<AnsiString>{"RTF файлы (*.rtf)"_cp, "Все файлы (*.*)"_cp}));
    EXPECT_EQ(open.FilterPatterns(1), std::vector<AnsiString>{"*.rtf"});
    EXPECT_TRUE(open.FilterPatterns(3).empty());
    open.Filter = "HTML (*.htm;*.html)|*.htm; *.html";
    EXPECT_EQ(open.FilterPatterns(1), (std::vector<AnsiString>{"*.htm", "*.html"}));

    dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen("/data/Instr.rtf"));
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/data/Instr.rtf");
    dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(""));
    EXPECT_FALSE(open.Execute()) << "no name chosen is no choice";
    dialogs.DialogAnswers.push_back(TScriptedDialogs::ColorChosen(clRed));
    EXPECT_THROW(open.Execute(), Exception) << "a colour answer for a file dialog is a broken script";
}

TEST(ColorAndFontDialogTest, TheChoiceIsTakenAndACancelKeepsTheOldOne) {
    TScriptedDialogs dialogs;
    TColorDialog color(nullptr);
    color.Color = clBlue;
    color.CustomColors()->Add("ColorA=FFFFFF");
    dialogs.DialogAnswers = {TScriptedDialogs::ColorChosen(clRed), TScriptedDialogs::Cancelled()};
    EXPECT_TRUE(color.Execute());
    EXPECT_EQ(color.Color, clRed);
    EXPECT_FALSE(color.Execute());
    EXPECT_EQ(color.Color, clRed);
    EXPECT_EQ(color.CustomColors()->Strings(0), "ColorA=FFFFFF");

    TFontDialog font(nullptr);
    font.Font()->SetName("Arial");
    font.Font()->SetSize(10);
    dialogs.DialogAnswers = {TScriptedDialogs::FontChosen("Times New Roman", 14, fsBold),
                             TScriptedDialogs::FontChosen("Arial", 72), TScriptedDialogs::Cancelled()};
    EXPECT_TRUE(font.Execute());
    EXPECT_EQ(font.Font()->Name(), "Times New Roman");
    EXPECT_EQ(font.Font()->Size(), 14);
    EXPECT_EQ(font.Font()->Style(), fsBold);
    font.Options |= fdLimitSize;
    font.MinFontSize = 8;
    font.MaxFontSize = 36;
    EXPECT_TRUE(font.Execute());
    EXPECT_EQ(font.Font()->Size(), 36) << "kept within the limits";
    EXPECT_FALSE(font.Execute());
    EXPECT_EQ(font.Font()->Name(), "Arial");
    ASSERT_EQ(dialogs.DialogLog.size(), 5u);
    EXPECT_EQ(dialogs.DialogLog[0].Kind, TDialogKind::dkColor);
    EXPECT_EQ(dialogs.DialogLog[2].Kind, TDialogKind::dkFont);
}

TEST(PrintDialogTest, ThePrintersSettingsComeInAndAConfirmedChoiceGoesBack) {
    TScriptedDialogs dialogs;
    TFakePrinter printer;
    printer.Settings.PrinterName = "PDF";
    TPrintDialog print(nullptr);
    print.Options = poPageNums | poSelection;
    print.MinPage = 1;
    print.MaxPage = 5;
    print.FromPage = 1;
    print.ToPage = 5;
    dialogs.DialogAnswers.push_back([](TCommonDialog* D) {
        auto& p = dynamic_cast<TPrintDialog&>(*D);
        EXPECT_EQ(p.Settings.PrinterName, "PDF") << "the printer's settings are shown";
        p.Settings.Copies = 2;
        p.Settings.Collate = true;
        p.PrintRange = TPrintRange::prPageNums;
        p.FromPage = 9;
        p.ToPage = 2;
        return true;
    });
    ASSERT_TRUE(print.Execute());
    EXPECT_EQ(printer.Applied, 1);
    EXPECT_EQ(printer.Settings.Copies, 2);
    EXPECT_TRUE(printer.Settings.Collate);
    EXPECT_EQ(print.FromPage, 2) << "a range in order, within the pages";
    EXPECT_EQ(print.ToPage, 5);

    dialogs.DialogAnswers.push_back([](TCommonDialog* D) {
        dynamic_cast<TPrintDialog&>(*D).Settings.Copies = 7;
        return false;
    });
    EXPECT_FALSE(print.Execute());
    EXPECT_EQ(printer.Applied, 1) << "a cancelled dialog changes no printer";
    EXPECT_EQ(printer.Settings.Copies, 2);

    TPageSetupDialog setup(nullptr);
    setup.Units = TPageMeasureUnits::pmInches;
    dialogs.DialogAnswers.push_back([](TCommonDialog* D) {
        auto& s = dynamic_cast<TPageSetupDialog&>(*D);
        s.Settings.Orientation = TPrinterOrientation::poLandscape;
        s.Settings.PaperWidth = 21590; // Letter
        s.Settings.PaperHeight = 27940;
        return true;
    });
    ASSERT_TRUE(setup.Execute());
    EXPECT_EQ(printer.Settings.Orientation, TPrinterOrientation::poLandscape);
    EXPECT_EQ(printer.Settings.Copies, 2) << "what the page set-up does not choose stays";
    EXPECT_EQ(setup.PageWidth(), 8500) << "thousandths of an inch";
    EXPECT_EQ(setup.PageHeight(), 11000);
}
