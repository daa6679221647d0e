// The dialog base window: its resource, its fitting to the language, font
// and themes, the help button, and the control accessors.
#include "richtext/print/control/BaseRVFrm.h"

#include <algorithm>

#include "platform/gui/ExtCtrls.h"
#include "platform/win/Module.h"
#include "platform/win/ShellAPI.h"
#include "platform/win/WinBase.h"
#include "richtext/engine/view/RVScroll.h"
#include "richtext/print/control/RVOfficeRadioBtn.h"

namespace {
constexpr int ResourceClientWidth = 662;
constexpr int ResourceClientHeight = 426;
constexpr int ResourceFontHeight = -11;

TAlignment Mirrored(TAlignment Value) {
    return Value == taLeftJustify ? taRightJustify : Value == taRightJustify ? taLeftJustify : Value;
}
} // namespace

TfrmRVBase::TfrmRVBase(TComponent* AOwner, const TRVADialogSettings& Settings)
    : TForm(AOwner), FLanguage(Settings.Language ? Settings.Language : &RVALanguages().Current()),
      FSettings(Settings) {
    SetName("frmRVBase");
    SetCaption("frmRVBase");
    SetClientWidth(ResourceClientWidth);
    SetClientHeight(ResourceClientHeight);
    SetBorderIcons(biSystemMenu);
    SetColor(clBtnFace);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(ResourceFontHeight);
}

void TfrmRVBase::FormCreate(TObject*) {
    FFontCharset = FLanguage->Charset;
    std::vector<AnsiString> fonts = Screen->Fonts();
    if (std::find(fonts.begin(), fonts.end(), FSettings.DialogFontName) != fonts.end())
        Font()->SetName(FSettings.DialogFontName);
    ApplyXPThemes(FSettings.UseXPThemes);
    if (FFontCharset == HEBREW_CHARSET || FFontCharset == ARABIC_CHARSET) {
        FRightToLeft = true;
        FlipChildren(this);
        // A desktop of such a locale mirrors the texts' sides itself.
        if (!SysLocaleMiddleEast()) MirrorAlignments(this);
    }
    Localize();
    if (!FLanguage->HelpFile.empty()) {
        FHelpFile = ExtractFilePath(GetModuleFileName()) + FLanguage->HelpFile;
        AddHelpButton();
    }
}

void TfrmRVBase::ApplyXPThemes(bool Value) {
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (auto* scroller = dynamic_cast<TRVScroller*>(c))
            scroller->SetUseXPThemes(Value);
        else if (auto* button = dynamic_cast<TRVOfficeRadioButton*>(c))
            button->SetUseXPThemes(Value);
        else if (auto* group = dynamic_cast<TRVOfficeRadioGroup*>(c))
            group->SetUseXPThemes(Value);
    }
}

TButton* TfrmRVBase::FindButtonByModalResult(int Result) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* button = dynamic_cast<TButton*>(Components(i)); button && button->ModalResult == Result)
            return button;
    return nullptr;
}

void TfrmRVBase::FlipChildren(TWinControl* Parent) {
    const int width = Parent->ClientWidth();
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (c->Align() == TAlign::alNone) c->SetLeft(width - c->Left() - c->Width());
        if (auto* inner = dynamic_cast<TWinControl*>(c)) FlipChildren(inner);
    }
}

void TfrmRVBase::MirrorAlignments(TWinControl* Parent) {
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (auto* label = dynamic_cast<TCustomLabel*>(c))
            label->SetAlignment(Mirrored(label->Alignment()));
        else if (auto* box = dynamic_cast<TCustomCheckBox*>(c))
            box->SetAlignment(Mirrored(box->Alignment()));
        else if (auto* radio = dynamic_cast<TRadioButton*>(c))
            radio->SetAlignment(Mirrored(radio->Alignment()));
        if (auto* inner = dynamic_cast<TWinControl*>(c)) MirrorAlignments(inner);
    }
}

void TfrmRVBase::AddHelpButton() {
    TButton* ok = GetOKButton();
    TButton* cancel = GetCancelButton();
    if (!ok || !cancel) return;
    FHelpButton = new TButton(this);
    FHelpButton->SetParent(cancel->Parent());
    FHelpButton->SetCaption(Text(211));
    // Help takes Cancel's place, Cancel OK's, and OK moves one step further.
    const TRect okPlace = ok->BoundsRect(), cancelPlace = cancel->BoundsRect();
    FHelpButton->SetBoundsRect(cancelPlace);
    cancel->SetBoundsRect(okPlace);
    ok->SetBounds(2 * cancel->Left() - FHelpButton->Left(), 2 * cancel->Top() - FHelpButton->Top(),
                  ok->Width(), ok->Height());
    FHelpButton->SetTabOrder(cancel->TabOrder() + 1);
    FHelpButton->OnClick = [this](TObject*) { ShellOpen(FHelpFile); };
}

TStrings* TfrmRVBase::GetListItems(TControl* Control) const {
    if (auto* combo = dynamic_cast<TCustomComboBox*>(Control)) return combo->Items();
    if (auto* list = dynamic_cast<TCustomListBox*>(Control)) return list->Items();
    if (auto* group = dynamic_cast<TCustomRadioGroup*>(Control)) return group->Items();
    throw EComponentError(Control->Name() + " has no list of items");
}

int TfrmRVBase::GetListItemIndex(TControl* Control) const {
    if (auto* combo = dynamic_cast<TCustomComboBox*>(Control)) return combo->ItemIndex();
    if (auto* list = dynamic_cast<TCustomListBox*>(Control)) return list->ItemIndex();
    if (auto* group = dynamic_cast<TCustomRadioGroup*>(Control)) return group->ItemIndex();
    throw EComponentError(Control->Name() + " has no list of items");
}

void TfrmRVBase::SetListItemIndex(TControl* Control, int Value) {
    if (auto* combo = dynamic_cast<TCustomComboBox*>(Control))
        combo->SetItemIndex(Value);
    else if (auto* list = dynamic_cast<TCustomListBox*>(Control))
        list->SetItemIndex(Value);
    else if (auto* group = dynamic_cast<TCustomRadioGroup*>(Control))
        group->SetItemIndex(Value);
    else
        throw EComponentError(Control->Name() + " has no list of items");
}
