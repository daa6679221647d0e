// The stand-in window of the windows still to come.
#include "app/results/StandIn_Frm.h"

namespace {
constexpr int kClientWidth = 340;
constexpr int kClientHeight = 110;
constexpr int kMargin = 12;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;
} // namespace

AnsiString NotAvailableText() {
    return "Это окно пока недоступно: оно появится в одной из следующих версий программы."_cp;
}

TStandIn_Form::TStandIn_Form(TComponent* AOwner, const AnsiString& ACaption, int CloseResult)
    : TForm(AOwner) {
    SetCaption(ACaption);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);

    Message_Label = new TLabel(this);
    Message_Label->SetName("Message_Label");
    Message_Label->SetParent(this);
    Message_Label->SetAutoSize(false);
    Message_Label->SetWordWrap(true);
    Message_Label->SetBounds(kMargin, kMargin, kClientWidth - 2 * kMargin,
                             kClientHeight - 3 * kMargin - kButtonHeight);
    Message_Label->SetCaption(NotAvailableText());

    Close_But = new TButton(this);
    Close_But->SetName("Close_But");
    Close_But->SetParent(this);
    Close_But->SetCaption(CloseResult == mrOk ? "OK" : "Закрыть"_cp);
    Close_But->SetBounds((kClientWidth - kButtonWidth) / 2, kClientHeight - kMargin - kButtonHeight,
                         kButtonWidth, kButtonHeight);
    Close_But->ModalResult = CloseResult;
    Close_But->SetDefault(true);
    // Escape must never confirm what the user did not see.
    Close_But->Cancel = CloseResult != mrOk;
    SetActiveControl(Close_But);
}
