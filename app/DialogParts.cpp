// The dialogs' common pieces: the window, labels, limited edits and buttons.
#include "app/DialogParts.h"

#include <algorithm>

#include "platform/win/MessageBox.h"

namespace {
constexpr int kEditHeight = 21;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
} // namespace

void SetUpDialog(TForm* Form, const char* Name, const AnsiString& Caption, int ClientWidth, int ClientHeight,
                 bool SystemMenuOnly) {
    Form->SetName(Name);
    Form->SetCaption(Caption);
    Form->SetBorderStyle(TFormBorderStyle::bsToolWindow);
    if (SystemMenuOnly) Form->SetBorderIcons(biSystemMenu);
    Form->SetPosition(TPosition::poScreenCenter);
    Form->SetClientWidth(ClientWidth);
    Form->SetClientHeight(ClientHeight);
}

TLabel* NewLabel(TForm* Form, TWinControl* Parent, const AnsiString& Caption, int Left, int Top,
                 const char* Name) {
    auto* label = new TLabel(Form);
    if (Name) label->SetName(Name);
    label->SetParent(Parent);
    label->SetLeft(Left);
    label->SetTop(Top);
    label->SetCaption(Caption);
    return label;
}

int BesideLabel(const TLabel* Label, int Left, int Gap) {
    return std::max(Left, Label->Left() + Label->Width() + Gap);
}

AnsiString RefusedCharactersText() {
    return "Этот символ не может быть сохранен в базе данных и не принят."_cp;
}

void KeepToCodePage(TCustomEdit* Edit) {
    Edit->OnRefusedCharacters = [](TObject*) {
        MessageBox(RefusedCharactersText(), "Ошибка ввода данных"_cp, MB_OK | MB_ICONWARNING);
    };
}

TEdit* NewEdit(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
               int MaxLength) {
    auto* edit = new TEdit(Form);
    edit->SetName(Name);
    edit->SetParent(Parent);
    edit->SetBounds(Left, Top, Width, kEditHeight);
    edit->SetMaxLength(MaxLength);
    edit->SetText("");
    KeepToCodePage(edit);
    return edit;
}

TEdit* NewPasswordEdit(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
                       int MaxLength) {
    TEdit* edit = NewEdit(Form, Parent, Name, Left, Top, Width, MaxLength);
    edit->SetPasswordChar('*');
    return edit;
}

TButton* NewButton(TForm* Form, TWinControl* Parent, const char* Name, const AnsiString& Caption, int Left,
                   int Top, bool Default, bool Cancel) {
    auto* button = new TButton(Form);
    button->SetName(Name);
    button->SetParent(Parent);
    button->SetBounds(Left, Top, kButtonWidth, kButtonHeight);
    button->SetCaption(Caption);
    button->SetDefault(Default);
    button->Cancel = Cancel;
    return button;
}

TDialogButtons NewDialogButtons(TForm* Form, int Margin, TNotifyEvent OnOK, TNotifyEvent OnCancel) {
    const int top = Form->ClientHeight() - Margin - kButtonHeight;
    const int right = Form->ClientWidth() - Margin;
    TDialogButtons buttons;
    buttons.OK = NewButton(Form, Form, "OK_Button", "&OK", right - 2 * kButtonWidth - Margin, top, true);
    buttons.Cancel =
        NewButton(Form, Form, "Cancel_Button", "&Отмена"_cp, right - kButtonWidth, top, false, true);
    for (TButton* button : {buttons.OK, buttons.Cancel})
        button->SetAnchors(akRight | akBottom);
    buttons.OK->OnClick = std::move(OnOK);
    buttons.Cancel->OnClick = std::move(OnCancel);
    return buttons;
}
