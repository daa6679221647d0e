// The About box: its window, the e-mail link and its entry function.
#include "app/About_Frm.h"

#include <cstddef>
#include <memory>

#include "app/DialogParts.h"
#include "platform/gui/ImgList.h"
#include "platform/win/MessageBox.h"
#include "platform/win/ShellAPI.h"

// The About box's picture, 65 x 65.
extern const unsigned char AboutPicturePng[];
extern const std::size_t AboutPicturePng_SIZE;

namespace {
constexpr int kPictureSize = 65;

TLabel* NewCentredLabel(TForm* Form, TWinControl* Parent, const AnsiString& Caption, int Top, int Height) {
    TLabel* label = NewLabel(Form, Parent, Caption, 0, 0);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetAlignment(taCenter);
    label->SetBounds(8, Top, 219, Height);
    return label;
}
} // namespace

AnsiString MakerEMail() {
    return "info@tarvik.ru";
}

TAbout_Form::TAbout_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpDialog(this, "About_Form", "О программе"_cp, 251, 302);
    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetBounds(8, 8, 235, 250);
    Panel1->SetBevelOuter(TPanelBevel::bvLowered);
    Panel1->SetCaption("");

    Label1 = NewCentredLabel(
        this, Panel1, "Севрола (Методика Ф. Герцберга)\nМодификация\nИ. А. Соколов, Н. В. Белова"_cp, 10, 56);
    Label1->Font()->SetName("Arial");
    Label1->Font()->SetSize(10);
    Label1->Font()->SetStyle(fsBold);
    Label1->Font()->SetColor(clMaroon);
    Label3 = NewCentredLabel(this, Panel1, "", 72, 18);
    Label3->SetName("Label3");
    Label3->Font()->SetStyle(fsBold);
    Label3->Font()->SetColor(clMaroon);

    Image1 = new TImage(this);
    Image1->SetName("Image1");
    Image1->SetParent(Panel1);
    Image1->SetBounds((235 - kPictureSize) / 2, 98, kPictureSize, kPictureSize);
    TImageList picture(nullptr);
    picture.SetSize(kPictureSize, kPictureSize);
    picture.AddImageData(AboutPicturePng, AboutPicturePng_SIZE);
    TBitmap* bitmap = Image1->Picture()->Bitmap();
    bitmap->SetSize(kPictureSize, kPictureSize);
    bitmap->Canvas()->Brush()->SetColor(clBtnFace);
    bitmap->Canvas()->FillRect(Rect(0, 0, kPictureSize, kPictureSize));
    picture.Draw(bitmap->Canvas(), 0, 0, 0);

    Label4 = NewLabel(this, Panel1, "E-mail:", 40, 180);
    EMailLabel = NewLabel(this, Panel1, MakerEMail(), 88, 180);
    EMailLabel->SetName("EMailLabel");
    EMailLabel->SetCaption(MakerEMail());
    EMailLabel->SetCursor(crHandPoint);
    EMailLabel->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        EmailLabelMouseMove(Sender, Shift, X, Y);
    };
    EMailLabel->OnMouseLeave = [this](TObject* Sender) { EMailLabelMouseLeave(Sender); };
    EMailLabel->OnClick = [this](TObject* Sender) { EmailLabelClick(Sender); };
    Label5 = NewCentredLabel(this, Panel1, "г. Новосибирск, 2007"_cp, 214, 18);
    Label5->Font()->SetStyle(fsBold);

    // Enter and Escape both close the box.
    Ok_But = NewButton(this, this, "Ok_But", "&OK", 88, 268, true, true);
    Ok_But->OnClick = [this](TObject* Sender) { OkButtonClick(Sender); };
    SetActiveControl(Ok_But);
}

void TAbout_Form::EmailLabelMouseMove(TObject*, TShiftState, int, int) {
    EMailLabel->Font()->SetColor(clBlue);
}

void TAbout_Form::EMailLabelMouseLeave(TObject*) {
    EMailLabel->Font()->SetColor(clBlack);
}

void TAbout_Form::EmailLabelClick(TObject*) {
    AnsiString error;
    if (!ShellOpen("mailto:" + MakerEMail(), &error))
        MessageBox("Не удалось открыть почтовую программу.\n"_cp + error, "Ошибка"_cp, MB_OK | MB_ICONERROR);
}

void TAbout_Form::OkButtonClick(TObject*) {
    SetModalResult(mrOk);
}

void ShowAbout() {
    auto form = std::make_unique<TAbout_Form>(nullptr);
    form->Label3->SetCaption("Версия 1.0"_cp);
    form->ShowModal();
}
