// The dialog base window: its language's character set, right-to-left
// layout and texts, the dialog font, the theme switch, the help button and
// the control accessors.
#include <gtest/gtest.h>

#include "DialogTesting.h"
#include "platform/gui/ExtCtrls.h"
#include "richtext/print/control/BaseRVFrm.h"
#include "richtext/print/control/RVOfficeRadioBtn.h"
#include "support/TestSupport.h"

namespace {
// A small dialog made as the family's windows are: controls, then the
// base's fitting.
class TSampleForm : public TfrmRVBase {
public:
    TSampleForm(const TRVADialogSettings& Settings, bool WithOK = true) : TfrmRVBase(nullptr, Settings) {
        Label = new TLabel(this);
        Label->SetParent(this);
        Label->SetBounds(10, 20, 50, 13);
        Box = new TCheckBox(this);
        Box->SetParent(this);
        Box->SetBounds(100, 20, 120, 17);
        Radio = new TRVOfficeRadioButton(this);
        Radio->SetParent(this);
        Group = new TRVOfficeRadioGroup(this);
        Group->SetParent(this);
        Group->SetBounds(300, 100, 150, 100);
        if (WithOK) {
            OK = new TButton(this);
            OK->SetParent(this);
            OK->SetBounds(400, 390, 75, 25);
            OK->ModalResult = mrOk;
        }
        Cancel = new TButton(this);
        Cancel->SetParent(this);
        Cancel->SetBounds(480, 390, 75, 25);
        Cancel->ModalResult = mrCancel;
        FormCreate(this);
    }
    TLabel* Label;
    TCheckBox* Box;
    TRVOfficeRadioButton* Radio;
    TRVOfficeRadioGroup* Group;
    TButton* OK = nullptr;
    TButton* Cancel;
    int Localized = 0;

protected:
    void Localize() override {
        TfrmRVBase::Localize();
        ++Localized;
        SetCaption(Text(586));
    }
};

TRVADialogSettings In(const char* Language) {
    TRVADialogSettings settings;
    settings.Language = RVALanguages().Get(Language);
    return settings;
}
} // namespace

TEST(BaseRVFrmTest, TheWindowTakesItsLanguageNotTheProcesssOne) {
    TSampleForm russian(In("Russian"));
    EXPECT_EQ(russian.Localized, 1);
    EXPECT_EQ(russian.Caption(), "Параметры страницы"_cp);
    EXPECT_EQ(russian.FontCharset(), RUSSIAN_CHARSET);
    EXPECT_FALSE(russian.RightToLeft());
    EXPECT_EQ(russian.Label->Left(), 10);
    EXPECT_EQ(russian.HelpButton(), nullptr) << "no linked language names a help file";
    EXPECT_EQ(russian.ClientWidth(), 662);
    EXPECT_EQ(russian.ClientHeight(), 426);
    EXPECT_EQ(russian.BorderIcons(), unsigned(biSystemMenu));
    EXPECT_EQ(CurrentLanguageName(), "English (US)");
    // Without a language of its own a window takes the current one.
    TLanguageScope scope("Russian");
    TSampleForm current({});
    EXPECT_EQ(current.Caption(), "Параметры страницы"_cp);
}

TEST(BaseRVFrmTest, ALanguageWrittenRightToLeftMirrorsTheWindow) {
    struct TCase {
        const char* Locale;
        TAlignment Label, Box;
    };
    // Only a desktop of another locale needs the texts' sides mirrored.
    for (const TCase& c : {TCase{"C.UTF-8", taRightJustify, taLeftJustify},
                           TCase{"fa_IR.UTF-8", taLeftJustify, taRightJustify}}) {
        TEnvironmentValue all("LC_ALL", std::string(c.Locale));
        TSampleForm farsi(In("Farsi"));
        EXPECT_TRUE(farsi.RightToLeft());
        EXPECT_EQ(farsi.FontCharset(), ARABIC_CHARSET);
        EXPECT_EQ(farsi.Label->Left(), 662 - 10 - 50) << c.Locale;
        EXPECT_EQ(farsi.Box->Left(), 662 - 100 - 120);
        EXPECT_EQ(farsi.Label->Alignment(), c.Label) << c.Locale;
        EXPECT_EQ(farsi.Box->Alignment(), c.Box) << c.Locale;
    }
}

TEST(BaseRVFrmTest, TheDialogFontIsTakenOnlyWhenInstalled) {
    TRVADialogSettings settings = In("English (US)");
    settings.DialogFontName = "No Such Face";
    TSampleForm missing(settings);
    EXPECT_EQ(missing.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(missing.Font()->Height(), -11);
    std::vector<AnsiString> fonts = Screen->Fonts();
    ASSERT_FALSE(fonts.empty());
    settings.DialogFontName = fonts.back();
    TSampleForm present(settings);
    EXPECT_EQ(present.Font()->Name(), fonts.back());
}

TEST(BaseRVFrmTest, TheThemeSwitchReachesThePictureButtons) {
    TRVADialogSettings settings = In("English (US)");
    settings.UseXPThemes = false;
    TSampleForm form(settings);
    EXPECT_FALSE(form.Radio->UseXPThemes());
    EXPECT_FALSE(form.Group->UseXPThemes());
    form.ApplyXPThemes(true);
    EXPECT_TRUE(form.Radio->UseXPThemes());
    EXPECT_TRUE(form.Group->UseXPThemes());
}

TEST(BaseRVFrmTest, ALanguageWithAHelpFileAddsAHelpButtonBesideOKAndCancel) {
    TRVALanguageInfo language("Helped", 0, &RVAEnglishMessages(), "help.chm");
    TRVADialogSettings settings;
    settings.Language = &language;
    TSampleForm form(settings);
    ASSERT_NE(form.HelpButton(), nullptr);
    EXPECT_EQ(form.HelpButton()->Caption(), "Help");
    EXPECT_EQ(form.HelpButton()->BoundsRect(), Bounds(480, 390, 75, 25));
    EXPECT_EQ(form.Cancel->BoundsRect(), Bounds(400, 390, 75, 25));
    EXPECT_EQ(form.OK->BoundsRect(), Bounds(320, 390, 75, 25));
    EXPECT_EQ(form.HelpButton()->TabOrder(), form.Cancel->TabOrder() + 1);
    EXPECT_EQ(ExtractFileName(form.HelpFile()), "help.chm");
    EXPECT_EQ(form.GetOKButton(), form.OK);
    EXPECT_EQ(form.GetCancelButton(), form.Cancel);

    TSampleForm withoutOK(settings, false);
    EXPECT_EQ(withoutOK.HelpButton(), nullptr);
    EXPECT_EQ(withoutOK.GetOKButton(), nullptr);
}

TEST(BaseRVFrmTest, TheAccessorsReachListsOfEveryKindAndRefuseOtherControls) {
    TSampleForm form(In("English (US)"));
    auto* combo = new TComboBox(&form);
    auto* list = new TListBox(&form);
    auto* group = new TRadioGroup(&form);
    for (TControl* c : std::initializer_list<TControl*>{combo, list, group}) {
        form.GetListItems(c)->Add("one");
        form.GetListItems(c)->Add("two");
        form.SetListItemIndex(c, 1);
        EXPECT_EQ(form.GetListItemIndex(c), 1);
    }
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(group->Items()->Count(), 2);
    EXPECT_THROW(form.GetListItems(form.Label), EComponentError);
    EXPECT_THROW(form.SetListItemIndex(form.Box, 0), EComponentError);
    form.SetCheckBoxChecked(form.Box, true);
    EXPECT_TRUE(form.GetCheckBoxChecked(form.Box));
    form.SetEditText(form.Label, "text");
    EXPECT_EQ(form.GetEditText(form.Label), "text");
    EXPECT_EQ(form.GetEditFont(form.Label), form.Label->Font());
}
