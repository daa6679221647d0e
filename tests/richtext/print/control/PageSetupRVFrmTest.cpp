// The page set-up window through the dialog seam: its Russian texts, the
// values it takes from the print component and gives back to it, margins in
// millimetres and inches and margins that leave no room, the printer's
// paper, source and orientation, the fonts, and Cancel.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "DialogTesting.h"
#include "platform/gui/Mask.h"
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
    TRVPrint Print{nullptr};
    TScriptedDialogs Dialogs;
    TCommaDecimals Comma;
};

AnsiString Shown(TCustomEdit* Edit) {
    return Utf8ToAnsi(static_cast<QLineEdit*>(Edit->Widget())->text().toUtf8().toStdString());
}
} // namespace

TEST_F(PageSetupRVFrmTest, TheWindowSpeaksRussian) {
    TfrmRVPageSetup form(nullptr, Russian());
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
    ASSERT_TRUE(form.InitFromSettings(Print, {}));
    ShowWindow(form);
    EXPECT_EQ(form.Widget()->windowTitle(), QString::fromUtf8("Параметры страницы"));
    EXPECT_EQ(form.pc->TabText(1), " Колонтитулы "_cp);
}

TEST_F(PageSetupRVFrmTest, ValuesComeInAndGoBackOut) {
    Print.SetMarginsMM(25, 15, 30, 10);
    TRVPageSetupValues values;
    values.Header.Alignment = 2;
    values.Footer = {"&P", 0, false, "Courier New", 12, fsItalic, clRed};
    values.FirstPageNumber = 3;
    Printer.SetPaperBin(1);

    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([&](TfrmRVPageSetup& w) {
        // What the window shows.
        EXPECT_EQ(Shown(w.seLeft), "25");
        EXPECT_EQ(Shown(w.seRight), "15");
        EXPECT_EQ(Shown(w.seTop), "30");
        EXPECT_EQ(Shown(w.seBottom), "10");
        EXPECT_FALSE(w.cbMirrorMargins->Checked());
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
        // Typed, then confirmed with Enter without leaving the box.
        Erase(w.seRight);
        Type(w.seRight, "250");
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
    ASSERT_TRUE(ExecutePageSetup(Print, values, false, Russian()));
    EXPECT_EQ(Print.LeftMarginMM(), 12);
    EXPECT_EQ(Print.RightMarginMM(), 100) << "a typed value is bounded as leaving the box bounds it";
    EXPECT_EQ(Print.TopMarginMM(), 30);
    EXPECT_EQ(Print.BottomMarginMM(), 10) << "an emptied box keeps its margin";
    EXPECT_TRUE(Print.MirrorMargins());
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

    // The print component's new values come back into the next window.
    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([&](TfrmRVPageSetup& w) {
        EXPECT_EQ(Shown(w.seLeft), "12");
        EXPECT_EQ(Shown(w.seRight), "100");
        EXPECT_EQ(Shown(w.seBottom), "10");
        EXPECT_TRUE(w.cbMirrorMargins->Checked());
        EXPECT_EQ(w.rgOrientation->ItemIndex(), 1);
        EXPECT_EQ(w.cmbSize->Text(), "A5");
        EXPECT_EQ(w.cmbSource->Text(), "Tray 2");
        EXPECT_TRUE(w.rbHRight->Checked());
        EXPECT_EQ(Shown(w.seStartFrom), "7");
    }));
    ASSERT_TRUE(ExecutePageSetup(Print, values, false, Russian()));
    EXPECT_EQ(Print.RightMarginMM(), 100);
    EXPECT_EQ(values.Header.Text, "Отчёт &d"_cp);
}

TEST_F(PageSetupRVFrmTest, MarginsThatLeaveNoRoomOnTheChosenPaperAreRefused) {
    TRVPageSetupValues values;
    TfrmRVPageSetup form(nullptr, Russian());
    ASSERT_TRUE(form.InitFromSettings(Print, values));
    ShowWindow(form);
    EXPECT_EQ(form.MarginLeavingNoRoom(), nullptr);
    // 150 mm fit across A4 (210 mm), not across A5 (148 mm); 155 mm fit
    // down A5 standing (210 mm), not lying (148 mm).
    form.seLeft->SetValue(80);
    form.seRight->SetValue(70);
    EXPECT_EQ(form.MarginLeavingNoRoom(), nullptr);
    form.cmbSize->SetItemIndex(1);
    EXPECT_EQ(form.MarginLeavingNoRoom(), form.seLeft) << "the wider of the two";
    form.seRight->SetValue(60);
    form.seTop->SetValue(75);
    form.seBottom->SetValue(80);
    EXPECT_EQ(form.MarginLeavingNoRoom(), nullptr);
    form.rgOrientation->SetItemIndex(1);
    EXPECT_EQ(form.MarginLeavingNoRoom(), form.seBottom);

    // OK beeps, shows the box and keeps the window open.
    form.pc->SetActivePage(form.tsHF);
    const int beeps = BeepCount();
    form.btnOk->Click();
    form.CloseModal();
    EXPECT_EQ(form.ModalResult(), mrNone);
    EXPECT_EQ(BeepCount(), beeps + 1);
    EXPECT_EQ(form.pc->ActivePage(), form.tsPage);
    EXPECT_TRUE(form.seBottom->Focused());
    // Applying them anyway changes nothing anywhere.
    EXPECT_THROW(form.ApplySettings(Print, values), EZoroZudoError);
    EXPECT_EQ(Print.BottomMarginMM(), 20);
    EXPECT_EQ(Print.LeftMarginMM(), 20);
    EXPECT_EQ(Printer.Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(Printer.PaperWidth(), 21000);

    // Standing again they fit, and OK closes.
    form.rgOrientation->SetItemIndex(0);
    form.btnOk->Click();
    form.CloseModal();
    EXPECT_EQ(form.ModalResult(), mrOk);
    form.ApplySettings(Print, values);
    EXPECT_EQ(Print.LeftMarginMM(), 80);
    EXPECT_EQ(Print.BottomMarginMM(), 80);
    EXPECT_EQ(Printer.PaperWidth(), 14800);
    form.Hide();
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
        Erase(w.seTop);
        Type(w.seTop, "2");
    }));
    ASSERT_TRUE(ExecutePageSetup(Print, values, true, Russian()));
    EXPECT_EQ(Print.LeftMarginMM(), 20) << "0.79 inches are 20.066 mm";
    EXPECT_EQ(Print.RightMarginMM(), 25) << "1 inch is 25.4 mm";
    EXPECT_EQ(Print.TopMarginMM(), 51);
    EXPECT_EQ(Print.BottomMarginMM(), 20);
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
    ASSERT_TRUE(ExecutePageSetup(Print, values, false, Russian()));
    ASSERT_EQ(Dialogs.DialogLog.size(), 2u);
    EXPECT_EQ(Dialogs.DialogLog[0].Kind, TDialogKind::dkFont);
    EXPECT_EQ(values.Header.FontName, "Liberation Serif");
    EXPECT_EQ(values.Header.FontSize, 14);
    EXPECT_EQ(values.Header.FontStyle, TFontStyles(fsBold));
    EXPECT_EQ(values.Footer.FontName, "Arial");
}

TEST_F(PageSetupRVFrmTest, CancelChangesNothingAndNoPrinterShowsNothing) {
    TRVPageSetupValues values;
    Print.SetLeftMarginMM(33);
    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>(
        [&](TfrmRVPageSetup& w) {
            w.seLeft->SetValue(5);
            w.cbMirrorMargins->SetChecked(true);
            w.rgOrientation->SetItemIndex(1);
            w.cmbSize->SetItemIndex(2);
            w.txtFText->SetText("&t");
        },
        mrCancel));
    EXPECT_FALSE(ExecutePageSetup(Print, values, false, Russian()));
    EXPECT_EQ(Print.LeftMarginMM(), 33);
    EXPECT_FALSE(Print.MirrorMargins());
    EXPECT_EQ(values.Footer.Text, "");
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
    EXPECT_TRUE(ExecutePageSetup(Print, values, false, Russian()));
    EXPECT_EQ(Printer.PaperBin(), -1);
    EXPECT_EQ(Printer.PaperWidth(), 21000);

    Printer.Names.clear();
    const std::size_t shown = Dialogs.Log.size();
    EXPECT_FALSE(ExecutePageSetup(Print, values, false, Russian()));
    EXPECT_EQ(Dialogs.Log.size(), shown) << "no printer, no window";
}

TEST_F(PageSetupRVFrmTest, WithoutAPrintComponentTheMarginsComeAndGoInTheRecord) {
    TRVPageSetupValues values;
    values.LeftMarginMM = 25;
    values.MirrorMargins = true;
    Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([&](TfrmRVPageSetup& w) {
        EXPECT_EQ(Shown(w.seLeft), "25");
        EXPECT_TRUE(w.cbMirrorMargins->Checked());
        Erase(w.seTop);
        Type(w.seTop, "31");
    }));
    ASSERT_TRUE(ExecutePageSetup(values, false, Russian()));
    EXPECT_EQ(values.LeftMarginMM, 25);
    EXPECT_EQ(values.TopMarginMM, 31);
    EXPECT_TRUE(values.MirrorMargins);
    EXPECT_EQ(Print.TopMarginMM(), 20) << "the test's own print component is not touched";
}
