// The page set-up window: its controls and pictures, its texts, and the
// values it takes from the print component, the record and the printer and
// gives back to them.
#include "richtext/print/control/PageSetupRVFrm.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/gui/Mask.h"

namespace {
constexpr int WindowClientWidth = 426;
constexpr int WindowClientHeight = 442;
constexpr int HFFontSize = 8;
constexpr double MmPerFifthInch = 127; // 5 inches are 127 mm
constexpr int InchesMaxValue = 40;
constexpr int MmMaxValue = 100;
constexpr int PageNumberMaxValue = 10000;
// Papers whose sizes differ by no more than this (hundredths of a
// millimetre) are the same paper.
constexpr int PaperTolerance = 50;
constexpr TColor PictureMask = clFuchsia;

TLabel* NewLabel(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top) {
    auto* label = new TLabel(Form);
    label->SetName(Name);
    label->SetParent(Parent);
    label->SetBounds(Left, Top, 60, 13);
    return label;
}

TGroupBox* NewGroup(TForm* Form, TWinControl* Parent, const char* Name, const TRect& R) {
    auto* group = new TGroupBox(Form);
    group->SetName(Name);
    group->SetParent(Parent);
    group->SetBoundsRect(R);
    return group;
}

TRVSpinEdit* NewSpin(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
                     double MaxValue, TLabel* Label) {
    auto* spin = new TRVSpinEdit(Form);
    spin->SetName(Name);
    spin->SetParent(Parent);
    spin->SetBounds(Left, Top, Width, 21);
    spin->SetIncrement(1.0);
    spin->SetMaxValue(MaxValue);
    Label->SetFocusControl(spin);
    return spin;
}

TCheckBox* NewCheckBox(TForm* Form, TWinControl* Parent, const char* Name, const TRect& R) {
    auto* box = new TCheckBox(Form);
    box->SetName(Name);
    box->SetParent(Parent);
    box->SetBoundsRect(R);
    return box;
}

TButton* NewButton(TForm* Form, TWinControl* Parent, const char* Name, const TRect& R) {
    auto* button = new TButton(Form);
    button->SetName(Name);
    button->SetParent(Parent);
    button->SetBoundsRect(R);
    return button;
}

TComboBox* NewList(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top, TLabel* Label) {
    auto* combo = new TComboBox(Form);
    combo->SetName(Name);
    combo->SetParent(Parent);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetBounds(Left, Top, 185, 21);
    combo->DropDownCount = 20;
    Label->SetFocusControl(combo);
    return combo;
}

TRVOfficeRadioButton* NewAlignButton(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top,
                                     TImageList* Images, int ImageIndex, int Tag) {
    auto* button = new TRVOfficeRadioButton(Form);
    button->SetName(Name);
    button->SetParent(Parent);
    button->SetBounds(Left, Top, 56, 68);
    button->SetImages(Images);
    button->SetImageIndex(ImageIndex);
    button->SetSquare(true);
    button->Tag = Tag;
    return button;
}

// A page seen from above, with lines of text on it.
void DrawPage(TCanvas* Canvas, const TRect& Page) {
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Pen()->SetColor(clGray);
    Canvas->Rectangle(Page);
    Canvas->Pen()->SetColor(clNavy);
    for (int y = Page.Top + 4; y < Page.Bottom - 3; y += 4) {
        Canvas->MoveTo(Page.Left + 3, y);
        Canvas->LineTo(Page.Right - 3, y);
    }
}

// Lines of text set to the left (0), the right (1) or the centre (2).
void DrawAlignedLines(TCanvas* Canvas, int Size, int Alignment) {
    const int widths[] = {16, 10, 14, 8};
    Canvas->Pen()->SetColor(clNavy);
    int y = 5;
    for (int w : widths) {
        int x = Alignment == 0 ? 3 : Alignment == 1 ? Size - 3 - w : (Size - w) / 2;
        for (int row = 0; row < 2; ++row) {
            Canvas->MoveTo(x, y + row);
            Canvas->LineTo(x + w, y + row);
        }
        y += 4;
    }
}

std::unique_ptr<TBitmap> NewPicture(int Size) {
    auto picture = std::make_unique<TBitmap>(Size, Size);
    picture->Canvas()->Brush()->SetColor(PictureMask);
    picture->Canvas()->FillRect({0, 0, Size, Size});
    return picture;
}

int Alignment(const TRVOfficeRadioButton* Left, const TRVOfficeRadioButton* Center,
              const TRVOfficeRadioButton* Right, int Unchanged) {
    if (Left->Checked()) return 0;
    if (Right->Checked()) return 1;
    if (Center->Checked()) return 2;
    return Unchanged;
}
} // namespace

// TRVHFValues

void TRVHFValues::FontTo(TFont* Font) const {
    Font->SetName(FontName);
    Font->SetSize(FontSize);
    Font->SetStyle(FontStyle);
    Font->SetColor(FontColor);
}

void TRVHFValues::FontFrom(const TFont* Font) {
    FontName = Font->Name();
    FontSize = Font->Size();
    FontStyle = Font->Style();
    FontColor = Font->Color();
}

// TfrmRVPageSetup

TfrmRVPageSetup::TfrmRVPageSetup(TComponent* AOwner, const TRVADialogSettings& Settings)
    : TfrmRVBase(AOwner, Settings), FPrinter(Printer()) {
    SetName("frmRVPageSetup");
    SetCaption("Page Setup");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(WindowClientWidth);
    SetClientHeight(WindowClientHeight);
    CloseOnEscape = true;

    btnOk = NewButton(this, this, "btnOk", Bounds(212, 409, 100, 25));
    btnOk->SetCaption("OK");
    btnOk->SetDefault(true);
    btnOk->ModalResult = mrOk;
    btnOk->SetAnchors(akRight | akBottom);
    btnOk->OnClick = [this](TObject*) { FConfirming = true; };
    btnCancel = NewButton(this, this, "btnCancel", Bounds(318, 409, 100, 25));
    btnCancel->SetCaption("Cancel");
    btnCancel->Cancel = true;
    btnCancel->ModalResult = mrCancel;
    btnCancel->SetAnchors(akRight | akBottom);

    pc = new TPageControl(this);
    pc->SetName("pc");
    pc->SetParent(this);
    pc->SetBounds(4, 3, 418, 400);
    tsPage = new TTabSheet(this);
    tsPage->SetName("tsPage");
    tsPage->SetPageControl(pc);
    tsHF = new TTabSheet(this);
    tsHF->SetName("tsHF");
    tsHF->SetPageControl(pc);
    pc->SetActivePage(tsPage);
    // The tab order follows the order the controls are made in.
    pc->SetTabOrder(0);
    btnOk->SetTabOrder(1);
    btnCancel->SetTabOrder(2);

    BuildImages();
    BuildPageSheet();
    BuildHFSheet();
    fd = new TFontDialog(this);
    fd->SetName("fd");
    fd->Font()->SetName("MS Sans Serif");
    fd->Font()->SetHeight(-11);
    FormCreate(this);
}

void TfrmRVPageSetup::BuildImages() {
    il = new TImageList(this);
    il->SetName("il");
    il->SetSize(34, 34);
    auto portrait = NewPicture(34), landscape = NewPicture(34);
    DrawPage(portrait->Canvas(), Rect(8, 2, 27, 32));
    DrawPage(landscape->Canvas(), Rect(2, 8, 32, 27));
    il->AddMasked(portrait.get(), PictureMask);
    il->AddMasked(landscape.get(), PictureMask);

    ilAlign = new TImageList(this);
    ilAlign->SetName("ilAlign");
    ilAlign->SetSize(24, 24);
    for (int alignment : {0, 1, 2}) {
        auto picture = NewPicture(24);
        DrawAlignedLines(picture->Canvas(), 24, alignment);
        ilAlign->AddMasked(picture.get(), PictureMask);
    }
}

void TfrmRVPageSetup::BuildPageSheet() {
    gbMargins = NewGroup(this, tsPage, "gbMargins", Bounds(4, 4, 400, 117));
    lblTop = NewLabel(this, gbMargins, "lblTop", 13, 26);
    seTop = NewSpin(this, gbMargins, "seTop", 83, 22, 57, MmMaxValue, lblTop);
    lblBottom = NewLabel(this, gbMargins, "lblBottom", 13, 56);
    seBottom = NewSpin(this, gbMargins, "seBottom", 83, 52, 57, MmMaxValue, lblBottom);
    lblLeft = NewLabel(this, gbMargins, "lblLeft", 235, 26);
    seLeft = NewSpin(this, gbMargins, "seLeft", 305, 22, 57, MmMaxValue, lblLeft);
    lblRight = NewLabel(this, gbMargins, "lblRight", 235, 56);
    seRight = NewSpin(this, gbMargins, "seRight", 305, 52, 57, MmMaxValue, lblRight);
    cbMirrorMargins = NewCheckBox(this, gbMargins, "cbMirrorMargins", Bounds(13, 88, 300, 17));

    rgOrientation = new TRVOfficeRadioGroup(this);
    rgOrientation->SetName("rgOrientation");
    rgOrientation->SetParent(tsPage);
    rgOrientation->SetBounds(4, 126, 92, 196);
    rgOrientation->SetImages(il);
    rgOrientation->SetSquare(true);
    for (int image : {0, 1})
        rgOrientation->Items()->Add()->SetImageIndex(image);

    gbPaper = NewGroup(this, tsPage, "gbPaper", Bounds(105, 126, 299, 196));
    lblSize = NewLabel(this, gbPaper, "lblSize", 13, 24);
    cmbSize = NewList(this, gbPaper, "cmbSize", 13, 42, lblSize);
    lblSource = NewLabel(this, gbPaper, "lblSource", 13, 76);
    cmbSource = NewList(this, gbPaper, "cmbSource", 13, 94, lblSource);
}

void TfrmRVPageSetup::BuildHFSheet() {
    struct TParts {
        TGroupBox*& Group;
        TLabel*& Label;
        TEdit*& Text;
        TCheckBox*& OnFirstPage;
        TButton*& Font;
        TRVOfficeRadioButton*& Left;
        TRVOfficeRadioButton*& Center;
        TRVOfficeRadioButton*& Right;
        const char* Names[8];
        int Top;
    };
    TParts parts[] = {
        {gbHeader,
         lblHText,
         txtHText,
         cbHOnFirstPage,
         btnHFont,
         rbHLeft,
         rbHCenter,
         rbHRight,
         {"gbHeader", "lblHText", "txtHText", "cbHOnFirstPage", "btnHFont", "rbHLeft", "rbHCenter",
          "rbHRight"},
         4},
        {gbFooter,
         lblFText,
         txtFText,
         cbFOnFirstPage,
         btnFFont,
         rbFLeft,
         rbFCenter,
         rbFRight,
         {"gbFooter", "lblFText", "txtFText", "cbFOnFirstPage", "btnFFont", "rbFLeft", "rbFCenter",
          "rbFRight"},
         116},
    };
    for (TParts& p : parts) {
        p.Group = NewGroup(this, tsHF, p.Names[0], Bounds(4, p.Top, 400, 106));
        p.Label = NewLabel(this, p.Group, p.Names[1], 10, 24);
        p.Text = new TEdit(this);
        p.Text->SetName(p.Names[2]);
        p.Text->SetParent(p.Group);
        p.Text->SetBounds(60, 20, 140, 21);
        p.Label->SetFocusControl(p.Text);
        p.OnFirstPage = NewCheckBox(this, p.Group, p.Names[3], Bounds(10, 50, 214, 17));
        p.OnFirstPage->SetChecked(true);
        p.Font = NewButton(this, p.Group, p.Names[4], Bounds(10, 74, 100, 23));
        p.Left = NewAlignButton(this, p.Group, p.Names[5], 226, 22, ilAlign, 0, 0);
        p.Center = NewAlignButton(this, p.Group, p.Names[6], 284, 22, ilAlign, 2, 1);
        p.Right = NewAlignButton(this, p.Group, p.Names[7], 342, 22, ilAlign, 1, 2);
    }
    txtHText->SetText("- &p -");
    btnHFont->OnClick = [this](TObject* Sender) { btnHFontClick(Sender); };
    btnFFont->OnClick = [this](TObject* Sender) { btnFFontClick(Sender); };

    gbNumbers = NewGroup(this, tsHF, "gbNumbers", Bounds(4, 228, 400, 52));
    lblStartFrom = NewLabel(this, gbNumbers, "lblStartFrom", 10, 24);
    lblStartFrom->SetWidth(100);
    seStartFrom = NewSpin(this, gbNumbers, "seStartFrom", 120, 20, 80, PageNumberMaxValue, lblStartFrom);
    lblCodes = NewLabel(this, tsHF, "lblCodes", 6, 288);
    lblCodes->SetAutoSize(false);
    lblCodes->SetWordWrap(true);
    lblCodes->SetBounds(6, 288, 398, 51);
}

void TfrmRVPageSetup::Localize() {
    TfrmRVBase::Localize();
    btnOk->SetCaption(Text(204));
    btnCancel->SetCaption(Text(205));
    SetCaption(Text(586));
    tsPage->SetCaption(TextPadded(587));
    tsHF->SetCaption(TextPadded(588));
    gbMargins->SetCaption(TextPadded(589));
    lblLeft->SetCaption(Text(591));
    lblTop->SetCaption(Text(592));
    lblRight->SetCaption(Text(593));
    lblBottom->SetCaption(Text(594));
    cbMirrorMargins->SetCaption(Text(595));
    rgOrientation->SetCaption(TextPadded(596));
    rgOrientation->Items()->Items(0)->SetCaption(Text(597));
    rgOrientation->Items()->Items(1)->SetCaption(Text(598));
    gbPaper->SetCaption(TextPadded(599));
    lblSize->SetCaption(Text(600));
    lblSource->SetCaption(Text(601));
    gbHeader->SetCaption(TextPadded(602));
    lblHText->SetCaption(Text(603));
    cbHOnFirstPage->SetCaption(Text(604));
    btnHFont->SetCaption(Text(605));
    rbHLeft->SetCaption(Text(606));
    rbHCenter->SetCaption(Text(607));
    rbHRight->SetCaption(Text(608));
    gbFooter->SetCaption(TextPadded(609));
    lblFText->SetCaption(Text(610));
    cbFOnFirstPage->SetCaption(Text(611));
    btnFFont->SetCaption(Text(612));
    rbFLeft->SetCaption(Text(613));
    rbFCenter->SetCaption(Text(614));
    rbFRight->SetCaption(Text(615));
    gbNumbers->SetCaption(TextPadded(616));
    lblStartFrom->SetCaption(Text(617));
    lblCodes->SetCaption(Text(618));
}

void TfrmRVPageSetup::UseInches() {
    gbMargins->SetCaption(TextPadded(590));
    for (TRVSpinEdit* box : {seTop, seBottom, seRight, seLeft}) {
        box->SetIntegerValue(false);
        box->SetMaxValue(InchesMaxValue);
        box->SetIncrement(0.01);
        box->SetDigits(3);
    }
    FInInches = true;
}

TfrmRVPageSetup::THFControls TfrmRVPageSetup::Header() const {
    return {txtHText, cbHOnFirstPage, rbHLeft, rbHCenter, rbHRight, FHeaderFont.get()};
}

TfrmRVPageSetup::THFControls TfrmRVPageSetup::Footer() const {
    return {txtFText, cbFOnFirstPage, rbFLeft, rbFCenter, rbFRight, FFooterFont.get()};
}

void TfrmRVPageSetup::ShowFont(TEdit* Edit, TFont* Font) {
    Edit->Font()->Assign(Font);
    Edit->Font()->SetSize(HFFontSize);
}

void TfrmRVPageSetup::ShowHF(const THFControls& C, const TRVHFValues& Values) {
    C.Text->SetText(Values.Text);
    C.OnFirstPage->SetChecked(Values.PrintOnFirstPage);
    switch (Values.Alignment) {
    case 0:
        C.Left->SetChecked(true);
        break;
    case 1:
        C.Right->SetChecked(true);
        break;
    case 2:
        C.Center->SetChecked(true);
        break;
    default:
        break;
    }
    Values.FontTo(C.Font);
    ShowFont(C.Text, C.Font);
}

void TfrmRVPageSetup::TakeHF(const THFControls& C, TRVHFValues& Values) {
    Values.Text = C.Text->Text();
    Values.PrintOnFirstPage = C.OnFirstPage->Checked();
    Values.Alignment = uint8_t(Alignment(C.Left, C.Center, C.Right, Values.Alignment));
    Values.FontFrom(C.Font);
}

bool TfrmRVPageSetup::InitFromSettings(const TRVPrint& Print, const TRVPageSetupValues& Values) {
    // A PDF file counts as a printer; without either there is nothing to
    // set up.
    if (!FPrinter || !FPrinter->CanPrint()) return false;

    cmbSource->Items()->Clear();
    for (const TPrinterBin& bin : FPrinter->Bins()) {
        int index = cmbSource->Items()->AddObject(bin.Name, reinterpret_cast<TObject*>(intptr_t(bin.Id)));
        if (bin.Id == FPrinter->PaperBin()) cmbSource->SetItemIndex(index);
    }
    cmbSize->Items()->Clear();
    FPapers = FPrinter->Papers();
    for (std::size_t i = 0; i < FPapers.size(); ++i) {
        const TPrinterPaper& paper = FPapers[i];
        int index = cmbSize->Items()->AddObject(paper.Name, reinterpret_cast<TObject*>(intptr_t(i)));
        if (std::abs(paper.Width - FPrinter->PaperWidth()) <= PaperTolerance &&
            std::abs(paper.Height - FPrinter->PaperHeight()) <= PaperTolerance)
            cmbSize->SetItemIndex(index);
    }
    rgOrientation->SetItemIndex(FPrinter->Orientation() == TPrinterOrientation::poPortrait ? 0 : 1);

    FMarginsMM[0] = Print.LeftMarginMM();
    FMarginsMM[1] = Print.RightMarginMM();
    FMarginsMM[2] = Print.TopMarginMM();
    FMarginsMM[3] = Print.BottomMarginMM();
    TRVSpinEdit* boxes[] = {seLeft, seRight, seTop, seBottom};
    for (int i = 0; i < 4; ++i)
        boxes[i]->SetValue(FInInches ? FMarginsMM[i] * 5 / MmPerFifthInch : FMarginsMM[i]);
    cbMirrorMargins->SetChecked(Print.MirrorMargins());
    ShowHF(Header(), Values.Header);
    ShowHF(Footer(), Values.Footer);
    seStartFrom->SetValue(Values.FirstPageNumber);
    return true;
}

int TfrmRVPageSetup::MarginMM(const TRVSpinEdit* Box, int Unchanged) const {
    double v = 0;
    if (Box->Indeterminate() || !TryStrToFloat(Box->Text(), v)) return Unchanged;
    // Enter confirms without leaving the box: bound the value as leaving
    // it would.
    v = Box->CheckValue(v);
    double mm = FInInches ? v * MmPerFifthInch / 5 : v;
    if (!(std::fabs(mm) < INT_MAX)) return Unchanged;
    return int(Round(mm));
}

TSize TfrmRVPageSetup::ChosenPaper() const {
    TSize paper{FPrinter->PaperWidth(), FPrinter->PaperHeight()};
    if (int i = cmbSize->ItemIndex(); i >= 0) {
        const TPrinterPaper& chosen = FPapers.at(std::size_t(intptr_t(cmbSize->Items()->Objects(i))));
        paper = {chosen.Width, chosen.Height};
    }
    bool landscape = rgOrientation->ItemIndex() < 0
                         ? FPrinter->Orientation() == TPrinterOrientation::poLandscape
                         : rgOrientation->ItemIndex() == 1;
    if (landscape) std::swap(paper.cx, paper.cy);
    return paper;
}

TRVSpinEdit* TfrmRVPageSetup::MarginLeavingNoRoom() const {
    int left = MarginMM(seLeft, FMarginsMM[0]), right = MarginMM(seRight, FMarginsMM[1]);
    int top = MarginMM(seTop, FMarginsMM[2]), bottom = MarginMM(seBottom, FMarginsMM[3]);
    TSize paper = ChosenPaper();
    // The box to change is the wider margin of the pair that is too wide.
    if (!RVMarginsLeaveRoom(left, right, 0, 0, paper.cx, INT_MAX)) return left >= right ? seLeft : seRight;
    if (!RVMarginsLeaveRoom(0, 0, top, bottom, INT_MAX, paper.cy)) return top >= bottom ? seTop : seBottom;
    return nullptr;
}

bool TfrmRVPageSetup::CloseQuery() {
    if (std::exchange(FConfirming, false)) {
        if (TRVSpinEdit* box = MarginLeavingNoRoom()) {
            Beep();
            pc->SetActivePage(tsPage);
            box->SetFocus();
            box->SelectAll();
            return false;
        }
    }
    return TfrmRVBase::CloseQuery();
}

void TfrmRVPageSetup::ApplySettings(TRVPrint& Print, TRVPageSetupValues& Values) {
    int left = MarginMM(seLeft, Print.LeftMarginMM()), right = MarginMM(seRight, Print.RightMarginMM());
    int top = MarginMM(seTop, Print.TopMarginMM()), bottom = MarginMM(seBottom, Print.BottomMarginMM());
    // Checked against the paper to come before anything changes, so that a
    // refusal leaves the printer as it was.
    TSize paper = ChosenPaper();
    if (!RVMarginsLeaveRoom(left, right, top, bottom, paper.cx, paper.cy))
        throw EZoroZudoError("The margins leave no room to print on the paper");

    if (rgOrientation->ItemIndex() >= 0)
        FPrinter->SetOrientation(rgOrientation->ItemIndex() == 0 ? TPrinterOrientation::poPortrait
                                                                 : TPrinterOrientation::poLandscape);
    if (int i = cmbSize->ItemIndex(); i >= 0) {
        const TPrinterPaper& chosen = FPapers.at(std::size_t(intptr_t(cmbSize->Items()->Objects(i))));
        FPrinter->SetPaperSize(chosen.Width, chosen.Height);
    }
    if (int i = cmbSource->ItemIndex(); i >= 0)
        FPrinter->SetPaperBin(int(intptr_t(cmbSource->Items()->Objects(i))));
    Print.SetMarginsMM(left, right, top, bottom);
    Print.SetMirrorMargins(cbMirrorMargins->Checked());

    TakeHF(Header(), Values.Header);
    TakeHF(Footer(), Values.Footer);
    double first = 0;
    if (!seStartFrom->Indeterminate() && TryStrToFloat(seStartFrom->Text(), first))
        first = seStartFrom->CheckValue(first);
    Values.FirstPageNumber = int(Round(first));
}

void TfrmRVPageSetup::ChooseFont(TEdit* Edit, TFont* Font) {
    fd->SetFont(Font);
    if (!fd->Execute()) return;
    Font->Assign(fd->Font());
    ShowFont(Edit, Font);
}

void TfrmRVPageSetup::btnHFontClick(TObject*) {
    ChooseFont(txtHText, FHeaderFont.get());
}

void TfrmRVPageSetup::btnFFontClick(TObject*) {
    ChooseFont(txtFText, FFooterFont.get());
}

bool ExecutePageSetup(TRVPrint& Print, TRVPageSetupValues& Values, bool Inches,
                      const TRVADialogSettings& Settings) {
    TfrmRVPageSetup form(nullptr, Settings);
    if (Inches) form.UseInches();
    if (!form.InitFromSettings(Print, Values) || form.ShowModal() != mrOk) return false;
    form.ApplySettings(Print, Values);
    return true;
}

bool ExecutePageSetup(TRVPageSetupValues& Values, bool Inches, const TRVADialogSettings& Settings) {
    TRVPrint print(nullptr);
    print.SetMarginsMM(Values.LeftMarginMM, Values.RightMarginMM, Values.TopMarginMM, Values.BottomMarginMM);
    print.SetMirrorMargins(Values.MirrorMargins);
    if (!ExecutePageSetup(print, Values, Inches, Settings)) return false;
    Values.LeftMarginMM = print.LeftMarginMM();
    Values.RightMarginMM = print.RightMarginMM();
    Values.TopMarginMM = print.TopMarginMM();
    Values.BottomMarginMM = print.BottomMarginMM();
    Values.MirrorMargins = print.MirrorMargins();
    return true;
}
