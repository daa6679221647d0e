// The action framework and the control panel: when each action is enabled,
// which editor it works on, the panel of each window kept apart from the
// others', the language of the captions, and the references forgotten when
// their components go.
#include <gtest/gtest.h>

#include "ActionTesting.h"
#include "DialogTesting.h"
#include "richtext/editor/tables/RVTable.h"

namespace {

// Remembers the editor of every run.
class TRecordingAction : public TrvAction {
public:
    using TrvAction::TrvAction;
    void ExecuteTarget(TObject* Target) override { Runs.push_back(GetControl(Target)); }
    std::vector<TCustomZoroZudoEdit*> Runs;
};

enum class TKind { Save, SaveAs, Print, PageSetup };

TrvCustomAction* MakeAction(TActionWindow& W, TKind Kind) {
    switch (Kind) {
    case TKind::Save:
        return W.Add<TrvActionSave>();
    case TKind::SaveAs:
        return W.Add<TrvActionSaveAs>();
    case TKind::Print:
        return W.Add<TrvActionPrint>();
    case TKind::PageSetup:
        return W.Add<TrvActionPageSetup>();
    }
    return nullptr;
}

class ActionFramework : public ActionTest {};

TEST_F(ActionFramework, EachActionIsEnabledAsItsSettingsSay) {
    struct TCase {
        const char* Name;
        TKind Kind;
        bool ActionsEnabled;
        bool Disabled;
        bool Items;
        bool APrinter;
        bool PanelPrint;
        bool Enabled;
    };
    const TCase cases[] = {
        {"save", TKind::Save, true, false, true, true, false, true},
        {"save, empty document", TKind::Save, true, false, false, false, false, true},
        {"save, actions off", TKind::Save, false, false, true, true, true, false},
        {"save, disabled", TKind::Save, true, true, true, true, true, false},
        {"save as", TKind::SaveAs, true, false, true, true, false, true},
        {"save as, actions off", TKind::SaveAs, false, false, true, true, false, false},
        {"print", TKind::Print, true, false, true, true, false, true},
        {"print, empty document", TKind::Print, true, false, false, true, false, false},
        {"print, no printer", TKind::Print, true, false, true, false, false, false},
        {"print, actions off", TKind::Print, false, false, true, true, false, false},
        {"print, disabled", TKind::Print, true, true, true, true, false, false},
        {"page setup", TKind::PageSetup, true, false, true, true, true, true},
        {"page setup, no print component", TKind::PageSetup, true, false, true, true, false, false},
        {"page setup, no printer", TKind::PageSetup, true, false, true, false, true, false},
        {"page setup, actions off", TKind::PageSetup, false, false, true, true, true, false},
        {"page setup, disabled", TKind::PageSetup, true, true, true, true, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TActionWindow w(c.Items ? 3 : 0);
        Printer.Names = c.APrinter ? std::vector<AnsiString>{"Recording printer"} : std::vector<AnsiString>{};
        auto* print = new TRVPrint(&w.Form);
        if (c.PanelPrint) w.Panel->SetRVPrint(print);
        w.Panel->ActionsEnabled = c.ActionsEnabled;
        TrvCustomAction* action = MakeAction(w, c.Kind);
        action->Disabled = c.Disabled;
        action->SetEnabled(!c.Enabled);
        ASSERT_TRUE(action->HandlesTarget(w.Editor));
        action->UpdateTarget(w.Editor);
        EXPECT_EQ(action->Enabled(), c.Enabled);
    }
}

TEST_F(ActionFramework, TheEditorIsTheActionsOwnThenThePanelsThenTheTarget) {
    TActionWindow w;
    auto* other = new TZoroZudoEdit(&w.Form);
    auto* button = new TButton(&w.Form);
    auto* action = w.Add<TRecordingAction>();

    EXPECT_TRUE(action->HandlesTarget(w.Editor));
    EXPECT_FALSE(action->HandlesTarget(button));
    EXPECT_EQ(action->GetControl(w.Editor), w.Editor);

    w.Panel->SetDefaultControl(other);
    EXPECT_TRUE(action->HandlesTarget(button));
    EXPECT_EQ(action->GetControl(w.Editor), other);

    action->SetControl(w.Editor);
    EXPECT_TRUE(action->HandlesTarget(button));
    EXPECT_EQ(action->GetControl(other), w.Editor);

    // The references go with their components.
    delete other;
    EXPECT_EQ(w.Panel->DefaultControl(), nullptr);
    delete w.Editor;
    EXPECT_EQ(action->Control(), nullptr);
    EXPECT_FALSE(action->HandlesTarget(button));
}

TEST_F(ActionFramework, AnActionWithItsOwnEditorRunsOnItWhateverHasTheFocus) {
    TActionWindow w;
    auto* edit = new TEdit(&w.Form);
    edit->SetParent(&w.Form);
    edit->SetAlign(TAlign::alTop);
    auto* action = w.Add<TRecordingAction>();
    ShowWindow(w.Form);
    edit->SetFocus();
    Pump();
    ASSERT_EQ(Screen->ActiveForm(), &w.Form);

    // Offered to the focused edit, which it does not handle, then to the
    // form's controls: the editor.
    EXPECT_TRUE(action->Execute());
    auto* other = new TZoroZudoEdit(&w.Form);
    action->SetControl(other);
    EXPECT_TRUE(action->Execute());
    ASSERT_EQ(action->Runs.size(), 2u);
    EXPECT_EQ(action->Runs[0], w.Editor);
    EXPECT_EQ(action->Runs[1], other);

    w.Panel->ActionsEnabled = false;
    EXPECT_FALSE(action->Execute());
    EXPECT_EQ(action->Runs.size(), 2u);
    EXPECT_FALSE(action->Enabled());
}

TEST_F(ActionFramework, EachWindowKeepsItsOwnPanel) {
    TActionWindow report, dynamics;
    auto* reportSave = report.Add<TrvActionSave>();
    auto* dynamicsSave = dynamics.Add<TrvActionSave>();
    auto* print = new TRVPrint(&report.Form);
    report.Panel->SetRVPrint(print);
    report.Panel->SetLanguage("Russian");
    report.Panel->ActionsEnabled = false;

    EXPECT_EQ(&reportSave->ControlPanel(), report.Panel);
    EXPECT_EQ(reportSave->Caption(), "Со&хранить"_cp);
    EXPECT_EQ(dynamicsSave->Caption(), "&Save");
    EXPECT_EQ(dynamics.Panel->Language(), "English (US)");
    EXPECT_EQ(CurrentLanguageName(), "English (US)");
    EXPECT_EQ(dynamics.Panel->RVPrint(), nullptr);
    dynamicsSave->UpdateTarget(dynamics.Editor);
    EXPECT_TRUE(dynamicsSave->Enabled());

    // Freeing one window's panel clears nothing of the other's.
    dynamics.Panel->SetRVPrint(new TRVPrint(&dynamics.Form));
    delete report.Panel;
    EXPECT_NE(dynamics.Panel->RVPrint(), nullptr);
    EXPECT_EQ(&reportSave->ControlPanel(), &RVADefaultControlPanel());

    // A window without a panel has the program's start values.
    TRVAControlPanel& defaults = RVADefaultControlPanel();
    EXPECT_EQ(defaults.RVPrint(), nullptr);
    EXPECT_TRUE(defaults.ActionsEnabled);
    EXPECT_EQ(defaults.Language(), "English (US)");
}

TEST_F(ActionFramework, APanelsPrintComponentIsForgottenWhenItGoes) {
    TActionWindow w;
    auto* print = new TRVPrint(&w.Form);
    w.Panel->SetRVPrint(print);
    delete print;
    EXPECT_EQ(w.Panel->RVPrint(), nullptr);
    auto* dialog = new TColorDialog(&w.Form);
    w.Panel->SetColorDialog(dialog);
    delete dialog;
    EXPECT_EQ(w.Panel->ColorDialog(), nullptr);
}

TEST_F(ActionFramework, TheCaptionsAndHintsSpeakThePanelsLanguage) {
    TActionWindow w;
    w.Panel->SetLanguage("Russian");
    struct TCase {
        TKind Kind;
        AnsiString Caption, Hint;
    };
    const TCase cases[] = {
        {TKind::Save, "Со&хранить"_cp, "Сохранить|Сохранение документа"_cp},
        {TKind::SaveAs, "Сохранить &как..."_cp,
         "Сохранить как...|Сохранение документа под другим именем, в другом месте или формате"_cp},
        {TKind::Print, "&Печать..."_cp, "Печать|Задание параметров печати и печать документа"_cp},
        {TKind::PageSetup, "П&араметры страницы..."_cp,
         "Параметры страницы|Установка полей, размера и источника подачи бумаги, колонтитулов"_cp},
    };
    for (const TCase& c : cases) {
        TrvCustomAction* action = MakeAction(w, c.Kind);
        EXPECT_EQ(action->Caption(), c.Caption);
        EXPECT_EQ(action->Hint(), c.Hint);
    }
    // Actions made before the panel's language was chosen follow it.
    TActionWindow later;
    auto* save = later.Add<TrvActionSave>();
    EXPECT_EQ(save->Caption(), "&Save");
    EXPECT_EQ(save->Hint(), "Save|Saves the document to disk");
    later.Panel->SetLanguage("Russian");
    EXPECT_EQ(save->Caption(), "Со&хранить"_cp);
}

TEST_F(ActionFramework, AnUnknownLanguageIsRefusedAndTheOldOneStays) {
    TActionWindow w;
    w.Panel->SetLanguage("Russian");
    try {
        w.Panel->SetLanguage("Russian ");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Invalid language: Russian ");
    }
    EXPECT_EQ(w.Panel->Language(), "Russian");
    EXPECT_THROW(w.Panel->SetLanguage("russian"), Exception);
    EXPECT_EQ(w.Panel->LanguageInfo().Charset, RUSSIAN_CHARSET);
}

TEST_F(ActionFramework, TheDialogsOfAWindowGetItsLanguageAndFont) {
    TActionWindow w;
    w.Panel->SetLanguage("Russian");
    w.Panel->DialogFontName = "Liberation Sans";
    w.Panel->UseXPThemes = false;
    TRVADialogSettings settings = w.Panel->DialogSettings();
    EXPECT_EQ(settings.Language, RVALanguages().Get("Russian"));
    EXPECT_EQ(settings.DialogFontName, "Liberation Sans");
    EXPECT_FALSE(settings.UseXPThemes);
}

TEST_F(ActionFramework, TheTableGridStyleStaysOffUntilAPanelIsLoaded) {
    TPenStyle old = RVTableGridStyle;
    TActionWindow w;
    RVTableGridStyle = TPenStyle::psClear;
    w.Panel->SetTableGridStyle(TPenStyle::psDash);
    EXPECT_EQ(RVTableGridStyle, TPenStyle::psClear);
    w.Panel->Loaded();
    EXPECT_EQ(RVTableGridStyle, TPenStyle::psDash);
    w.Panel->SetTableGridStyle(TPenStyle::psDot);
    EXPECT_EQ(RVTableGridStyle, TPenStyle::psDot);
    RVTableGridStyle = old;
}

TEST_F(ActionFramework, ACustomFileOperationFailsWithoutAHandlerOrWhenItRaises) {
    TActionWindow w;
    auto* action = w.Add<TRecordingAction>();
    TrvFileSaveFilter format = ffeCustom;
    int index = 2;
    EXPECT_FALSE(w.Panel->CustomFileOperation(action, w.Editor, "a.xyz", rvafoSave, format, index));

    w.Panel->OnCustomFileOperation = [](TrvAction*, TCustomZoroZudoEdit*, const AnsiString&,
                                        TRVAFileOperation, TrvFileSaveFilter&, int&,
                                        bool&) { throw Exception("disk gone"); };
    EXPECT_FALSE(w.Panel->CustomFileOperation(action, w.Editor, "a.xyz", rvafoSave, format, index));

    w.Panel->OnCustomFileOperation = [](TrvAction*, TCustomZoroZudoEdit*, const AnsiString&,
                                        TRVAFileOperation, TrvFileSaveFilter& Format, int& Index,
                                        bool& Success) {
        Format = ffeRTF;
        Index = 7;
        Success = true;
    };
    // Only opening hands the format back.
    EXPECT_TRUE(w.Panel->CustomFileOperation(action, w.Editor, "a.xyz", rvafoSave, format, index));
    EXPECT_EQ(format, ffeCustom);
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(w.Panel->CustomFileOperation(action, w.Editor, "a.xyz", rvafoOpen, format, index));
    EXPECT_EQ(format, ffeRTF);
    EXPECT_EQ(index, 7);
}

} // namespace
