// The OK and Cancel buttons of the program's dialogs.
#include "app/DialogButtons.h"

namespace {
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

TButton* NewButton(TCustomForm* Form, const char* Name, const AnsiString& Caption, int Left, int Top,
                   TNotifyEvent OnClick) {
    auto* button = new TButton(Form);
    button->SetName(Name);
    button->SetParent(Form);
    button->SetCaption(Caption);
    button->SetBounds(Left, Top, kButtonWidth, kButtonHeight);
    button->SetAnchors(akRight | akBottom);
    button->OnClick = std::move(OnClick);
    return button;
}
} // namespace

TDialogButtons NewDialogButtons(TCustomForm* Form, int Margin, TNotifyEvent OnOK, TNotifyEvent OnCancel) {
    const int top = Form->ClientHeight() - Margin - kButtonHeight;
    const int right = Form->ClientWidth() - Margin;
    TDialogButtons buttons;
    buttons.OK = NewButton(Form, "OK_Button", "&OK", right - 2 * kButtonWidth - Margin, top, std::move(OnOK));
    buttons.OK->SetDefault(true);
    buttons.Cancel =
        NewButton(Form, "Cancel_Button", "&Отмена"_cp, right - kButtonWidth, top, std::move(OnCancel));
    buttons.Cancel->Cancel = true;
    return buttons;
}
