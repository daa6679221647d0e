// The base of the dialog windows of the rich-text family: it fits a new
// window to its language (font character set, right-to-left layout, texts),
// its dialog font and the theme switch, and gives the derived windows the
// accessors through which they read and write their controls.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "richtext/print/control/RVALocalize.h"

// What a dialog window is made with. Each window gets its own, so that no
// window changes another's language or font.
struct TRVADialogSettings {
    // nullptr: the language current when the window is made.
    const TRVALanguageInfo* Language = nullptr;
    // Taken when the screen has it installed.
    AnsiString DialogFontName = "MS Sans Serif";
    bool UseXPThemes = true;
};

class TfrmRVBase : public TForm {
public:
    TfrmRVBase(TComponent* AOwner, const TRVADialogSettings& Settings = {});

    const TRVALanguageInfo& Language() const { return *FLanguage; }
    // The character set of the window's font, the language's; the layer's
    // fonts draw every script, so it is kept for whoever asks.
    uint8_t FontCharset() const { return FFontCharset; }
    // The window is laid out right to left (languages of the Hebrew and
    // Arabic character sets).
    bool RightToLeft() const { return FRightToLeft; }
    // The help file the language names, beside the program; empty when it
    // names none.
    const AnsiString& HelpFile() const { return FHelpFile; }
    // The help button, when the language names a help file.
    TButton* HelpButton() const { return FHelpButton; }

    // Hands the theme switch to every scrolling view (such as the print
    // preview) and every picture radio button and group the window owns.
    virtual void ApplyXPThemes(bool Value);
    // The first button the window owns with that modal result, or nullptr.
    TButton* FindButtonByModalResult(int Result) const;
    virtual TButton* GetOKButton() const { return FindButtonByModalResult(mrOk); }
    TButton* GetCancelButton() const { return FindButtonByModalResult(mrCancel); }

    // The accessors of the derived windows.
    bool GetCheckBoxChecked(TCheckBox* CheckBox) const { return CheckBox->Checked(); }
    void SetCheckBoxChecked(TCheckBox* CheckBox, bool Value) { CheckBox->SetChecked(Value); }
    // The items and the chosen one of a combo box, list box or radio group;
    // any other control raises EComponentError.
    TStrings* GetListItems(TControl* Control) const;
    int GetListItemIndex(TControl* Control) const;
    void SetListItemIndex(TControl* Control, int Value);
    void SetEditText(TControl* Edit, const AnsiString& Text) { Edit->SetText(Text); }
    AnsiString GetEditText(TControl* Edit) const { return Edit->Text(); }
    TFont* GetEditFont(TControl* Edit) const { return Edit->Font(); }

protected:
    // Fits the window to its settings once the derived window has made its
    // controls: charset, dialog font, themes, right-to-left layout, texts
    // (Localize) and the help button. The derived constructor calls it last.
    void FormCreate(TObject* Sender);
    // Sets the window's texts from its language; derived windows call the
    // inherited one first.
    virtual void Localize() {}
    // Message Index of the window's language, plain and padded.
    const AnsiString& Text(TRVAMessageID Index) const { return FLanguage->Text(Index); }
    AnsiString TextPadded(TRVAMessageID Index) const { return FLanguage->TextPadded(Index); }

private:
    // Mirrors the controls inside Parent, and those inside them.
    void FlipChildren(TWinControl* Parent);
    void MirrorAlignments(TWinControl* Parent);
    void AddHelpButton();

    const TRVALanguageInfo* FLanguage;
    TRVADialogSettings FSettings;
    uint8_t FFontCharset = DEFAULT_CHARSET;
    bool FRightToLeft = false;
    AnsiString FHelpFile;
    TButton* FHelpButton = nullptr;
};
