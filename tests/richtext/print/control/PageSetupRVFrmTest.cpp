// The page set-up window through the dialog seam: its Russian texts, the
// values it takes and gives back, margins in millimetres and inches, the
// printer's paper, source and orientation, the fonts, and Cancel.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "DialogTesting.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/ScriptedDialogs.h"
#include "richtext/print/control/PageSetupRVFrm.h"

namespace {
TRVADialogSettings Russian() {
    TRVADialogSettings settings;
    settings.Language = RVALanguages().Get("Russian");
    return settings;
}

// Decimals with a comma, as a Russian desktop writes them.
class TCommaDecimals {
public:
    TCommaDecimals() : FOld(FormatSettings.DecimalSeparator) { FormatSettings.DecimalSeparator = ','; }
    ~TCommaDecimals() { FormatSettings.DecimalSeparator = FOld; }

private:
    char FOld;
};

class PageSetupRVFrmTest : public ::testing::Test {
protected:
    void SetUp() override {
        Printer.OfferedPapers = {{"A4", 21000, 29700}, {"A5", 14800, 21000}, {"Letter", 21590, 27940}};
        Printer.OfferedBins = {{"Auto", 7}, {"Tray 1", 1}, {"Tray 2", 2}};
    }
    TRecordingPrinter Printer;
    TScriptedDialogs Dialogs;
    TCommaDecimals Comma;
};

AnsiString Shown(TCustomEdit* Edit) {
    return Utf8ToAnsi(static_cast<QLineEdit*>(Edit->Widget())->text().toUtf8().toStdString());
}
} // namespace

TEST_F(PageSetupRVFrmTest, TheWindowSpeaksRussian) {
    TfrmRVPageSetup form(nullptr, Russian(), &Printer);
    const std::pair<TControl*, AnsiString> texts[] = {
        {&form, "Параметры страницы"_cp},
        {form.btnOk, "ОК"_cp},
        {form.btnCancel, "Отмена"_cp},
        {form.tsPage, " Страница "_cp},
        {form.tsHF, " Колонтитулы "_cp},
        {form.gbMargins, " Поля (миллиметры) "_cp},
        {form.lblLeft, "&Левое:"_cp},
        {form.lblTop, "&Верхнее:"_cp},
        {form.lblRight, "&Правое:"_cp},
        {form.lblBottom, "&Нижнее:"_cp},
        {form.cbMirrorMargins, "&Зеркальные поля"_cp},
        {form.rgOrientation, " Ориентация "_cp},
        {form.rgOrientation->Buttons(0), "&Книжная"_cp},
        {form.rgOrientation->Buttons(1), "&Альбомная"_cp},
        {form.gbPaper, " Бумага "_cp},
        {form.lblSize, "&Размер:"_cp},
        {form.lblSource, "П&одача:"_cp},
        {form.gbHeader, " Верхний колонтитул "_cp},
        {form.lblHText, "&Текст:"_cp},
        {form.cbHOnFirstPage, "&Печатать на первой странице"_cp},
        {form.btnHFont, "&Шрифт..."_cp},
        {form.rbHLeft, "С&лева"_cp},
        {form.rbHCenter, "В &центре"_cp},
        {form.rbHRight, "Сп&рава"_cp},
        {form.gbFooter, " Нижний колонтитул "_cp},
        {form.lblFText, "Т&екст:"_cp},
        {form.cbFOnFirstPage, "Пе&чатать на первой странице"_cp},
        {form.btnFFont, "Шр&ифт..."_cp},
        {form.rbFLeft, "&Слева"_cp},
        {form.rbFCenter, "&В центре"_cp},
        {form.rbFRight, "Спр&ава"_cp},
        {form.gbNumbers, " Номера страниц "_cp},
        {form.lblStartFrom, "&Начать с:"_cp},
        {form.lblCodes, "Вы можете использовать специальные сочетания:\r&&p - номер страницы; &&P - число "
                        "страниц; &&d - дата; &&t - время."_cp},
    };
    for (auto& [control, text] : texts)
        EXPECT_EQ(control->Caption(), text) << control->Name();
    form.UseInches();
    EXPECT_EQ(form.gbMargins->Caption(), " Поля (дюймы) "_cp);
    ASSERT_TRUE(form.InitFromSettings({}));
    ShowWindow(form);
    EXPECT_EQ(form.Widget()->windowTitle(), QString::fromUtf8("Параметры страницы"));
    EXPECT_EQ(form.pc->TabText(1), " Колонтитулы "_cp);
}

TEST_F(PageSetupRVFrmTest, ValuesComeInAndGoBackOut) {
    TRVPageSetupValues values;
    values.LeftMarginMM = 25;
    values.RightMarginMM = 15;
    values.TopMarginMM = 30;
    values.BottomMarginMM = 10;
    values.Header.Alignment = 2;
    values.Footer = {"&P", 0, false, "Courier New", 12, fsItalic, clRed};
    values.FirstPageNumber = 3;
    Printer.SetPaperBin(1);

    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([&](TfrmRVPageSetup& w) {
        // What the window shows.
        EXPECT_EQ(Shown(w.seLeft), "25");
        EXPECT_EQ(Shown(w.seTop), "30");
        EXPECT_EQ(w.cmbSize->Text(), "A4");
        EXPECT_EQ(w.cmbSource->Text(), "Tray 1");
        EXPECT_EQ(w.rgOrientation->ItemIndex(), 0);
        EXPECT_TRUE(w.rbHCenter->Checked());
        EXPECT_TRUE(w.rbFLeft->Checked());
        EXPECT_FALSE(w.cbFOnFirstPage->Checked());
        EXPECT_EQ(Shown(w.txtHText), "- &p -");
        EXPECT_EQ(w.txtFText->Font()->Name(), "Courier New");
        EXPECT_EQ(w.txtFText->Font()->Size(), 8) << "the face shows at a readable size";
        EXPECT_EQ(Shown(w.seStartFrom), "3");
        // What the user changes.
        Erase(w.seLeft);
        Type(w.seLeft, "12");
        Erase(w.seBottom);
        w.cbMirrorMargins->SetChecked(true);
        w.rgOrientation->SetItemIndex(1);
        w.cmbSize->SetItemIndex(1);
        w.cmbSource->SetItemIndex(2);
        Erase(w.txtHText);
        Type(w.txtHText, "Отчёт &d");
        w.rbHRight->SetChecked(true);
        w.cbHOnFirstPage->SetChecked(false);
        Erase(w.seStartFrom);
        Type(w.seStartFrom, "7");
    }));
    ASSERT_TRUE(ExecutePageSetup(values, false, Russian(), &Printer));
    EXPECT_EQ(values.LeftMarginMM, 12);
    EXPECT_EQ(values.BottomMarginMM, 10) << "an emptied box keeps its margin";
    EXPECT_EQ(values.TopMarginMM, 30);
    EXPECT_TRUE(values.MirrorMargins);
    EXPECT_EQ(values.Header.Text, "Отчёт &d"_cp);
    EXPECT_EQ(values.Header.Alignment, 1);
    EXPECT_FALSE(values.Header.PrintOnFirstPage);
    EXPECT_EQ(values.Footer.Alignment, 0);
    EXPECT_EQ(values.Footer.FontName, "Courier New");
    EXPECT_EQ(values.Footer.FontSize, 12);
    EXPECT_EQ(values.Footer.FontStyle, TFontStyles(fsItalic));
    EXPECT_EQ(values.FirstPageNumber, 7);
    EXPECT_EQ(Printer.Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_EQ(Printer.PaperWidth(), 14800);
    EXPECT_EQ(Printer.PaperHeight(), 21000);
    EXPECT_EQ(Printer.PaperBin(), 2);
}

TEST_F(PageSetupRVFrmTest, InchesShowThreeDecimalsAndGoBackAsWholeMillimetres) {
    TRVPageSetupValues values;
    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([&](TfrmRVPageSetup& w) {
        EXPECT_TRUE(w.InInches());
        EXPECT_EQ(Shown(w.seLeft), "0,787");
        Erase(w.seLeft);
        Type(w.seLeft, "0,79");
        Erase(w.seRight);
        Type(w.seRight, "1");
        Erase(w.seTop);
        Type(w.seTop, "55");
        w.seBottom->SetFocus();
        Pump();
        EXPECT_EQ(Shown(w.seTop), "40,000") << "at most 40 inches";
    }));
    ASSERT_TRUE(ExecutePageSetup(values, true, Russian(), &Printer));
    EXPECT_EQ(values.LeftMarginMM, 20) << "0.79 inches are 20.066 mm";
    EXPECT_EQ(values.RightMarginMM, 25) << "1 inch is 25.4 mm";
    EXPECT_EQ(values.TopMarginMM, 1016);
    EXPECT_EQ(values.BottomMarginMM, 20);
}

TEST_F(PageSetupRVFrmTest, TheFontDialogChangesTheFaceButNotTheShownSize) {
    TRVPageSetupValues values;
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::FontChosen("Liberation Serif", 14, fsBold));
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([&](TfrmRVPageSetup& w) {
        w.btnHFont->Click();
        EXPECT_EQ(w.txtHText->Font()->Name(), "Liberation Serif");
        EXPECT_EQ(w.txtHText->Font()->Size(), 8);
        EXPECT_EQ(w.HeaderFont()->Size(), 14);
        w.btnFFont->Click();
        EXPECT_EQ(w.FooterFont()->Name(), "Arial") << "a cancelled font dialog changes nothing";
    }));
    ASSERT_TRUE(ExecutePageSetup(values, false, Russian(), &Printer));
    ASSERT_EQ(Dialogs.DialogLog.size(), 2u);
    EXPECT_EQ(Dialogs.DialogLog[0].Kind, TDialogKind::dkFont);
    EXPECT_EQ(values.Header.FontName, "Liberation Serif");
    EXPECT_EQ(values.Header.FontSize, 14);
    EXPECT_EQ(values.Header.FontStyle, TFontStyles(fsBold));
    EXPECT_EQ(values.Footer.FontName, "Arial");
}

TEST_F(PageSetupRVFrmTest, CancelChangesNothingAndNoPrinterShowsNothing) {
    TRVPageSetupValues values;
    values.LeftMarginMM = 33;
    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>(
        [&](TfrmRVPageSetup& w) {
            w.seLeft->SetValue(5);
            w.rgOrientation->SetItemIndex(1);
            w.cmbSize->SetItemIndex(2);
        },
        mrCancel));
    EXPECT_FALSE(ExecutePageSetup(values, false, Russian(), &Printer));
    EXPECT_EQ(values.LeftMarginMM, 33);
    EXPECT_EQ(Printer.Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(Printer.PaperWidth(), 21000);

    // A printer without sources or papers: the lists stay empty and OK
    // leaves the printer's paper as it was.
    Printer.OfferedBins.clear();
    Printer.OfferedPapers.clear();
    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([&](TfrmRVPageSetup& w) {
        EXPECT_EQ(w.cmbSource->Items()->Count(), 0);
        EXPECT_EQ(w.cmbSize->Items()->Count(), 0);
    }));
    EXPECT_TRUE(ExecutePageSetup(values, false, Russian(), &Printer));
    EXPECT_EQ(Printer.PaperBin(), -1);
    EXPECT_EQ(Printer.PaperWidth(), 21000);

    Printer.Names.clear();
    const std::size_t shown = Dialogs.Log.size();
    EXPECT_FALSE(ExecutePageSetup(values, false, Russian(), &Printer));
    EXPECT_EQ(Dialogs.Log.size(), shown) << "no printer, no window";
}
