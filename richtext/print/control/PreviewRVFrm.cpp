// The print preview window: its tool bar, actions and pictures, its texts,
// the zoom box, and paging by the buttons, the keys and a typed number.
#include "richtext/print/control/PreviewRVFrm.h"

#include <algorithm>

#include "platform/gui/Mask.h"
#include "platform/gui/Menus.h"
#include "platform/win/MessageBox.h"
#include "richtext/print/control/RVPrint.h"

namespace {
constexpr int WindowClientWidth = 592;
constexpr int WindowClientHeight = 354;
constexpr int WindowMinWidth = 600;
constexpr int WindowMinHeight = 200;
constexpr int PanelHeight = 38;
constexpr int ImageSize = 16;
constexpr int ButtonWidth = 23;
constexpr int ButtonHeight = 22;
// The room between the page-count label and the next-page button.
constexpr int LabelGap = 5;
constexpr TColor PictureMask = clFuchsia;
constexpr char VK_RETURN_CHAR = '\r';
const char* const ZoomItems[] = {"200%", "150%", "100%", "75%", "50%", "25%", "10%"};

enum TPicture { piFirst, piPrior, piNext, piLast, piPageWidth, piFullPage, piPrint, piPageSetup };

// A triangle pointing left or right, Width wide, its point at X.
void Triangle(TCanvas* C, int X, bool Left, int Width) {
    for (int i = 0; i < Width; ++i) {
        int x = Left ? X + i : X - i;
        C->MoveTo(x, 8 - i);
        C->LineTo(x, 8 + i + 1);
    }
}

void Sheet(TCanvas* C, const TRect& R) {
    C->Pen()->SetColor(clGray);
    C->Brush()->SetColor(clWhite);
    C->Rectangle(R);
}

void DrawPicture(TCanvas* C, int Index) {
    C->Pen()->SetColor(clNavy);
    switch (Index) {
    case piFirst:
        C->MoveTo(4, 3);
        C->LineTo(4, 14);
        Triangle(C, 6, true, 6);
        break;
    case piPrior:
        Triangle(C, 5, true, 6);
        break;
    case piNext:
        Triangle(C, 10, false, 6);
        break;
    case piLast:
        Triangle(C, 9, false, 6);
        C->MoveTo(11, 3);
        C->LineTo(11, 14);
        break;
    case piPageWidth:
        Sheet(C, {3, 1, 13, 15});
        C->Pen()->SetColor(clNavy);
        C->MoveTo(1, 8);
        C->LineTo(15, 8);
        break;
    case piFullPage:
        Sheet(C, {3, 1, 13, 15});
        C->Pen()->SetColor(clNavy);
        for (int y = 4; y < 13; y += 2) {
            C->MoveTo(5, y);
            C->LineTo(11, y);
        }
        break;
    case piPrint:
        Sheet(C, {4, 1, 12, 7});
        C->Pen()->SetColor(clBlack);
        C->Brush()->SetColor(clSilver);
        C->Rectangle(1, 6, 15, 13);
        Sheet(C, {4, 10, 12, 15});
        break;
    case piPageSetup:
        Sheet(C, {2, 1, 14, 15});
        C->Pen()->SetColor(clRed);
        C->Brush()->SetStyle(TBrushStyle::bsClear);
        C->Rectangle(4, 3, 12, 13);
        break;
    }
}

TToolBar* NewBar(TForm* Form, TWinControl* Parent, const char* Name, int Left, TImageList* Images) {
    auto* bar = new TToolBar(Form);
    bar->SetName(Name);
    bar->SetParent(Parent);
    bar->SetAlign(TAlign::alNone);
    bar->SetImages(Images);
    bar->SetFlat(true);
    bar->SetButtonWidth(ButtonWidth);
    bar->SetButtonHeight(ButtonHeight);
    bar->SetBounds(Left, 8, 2 * ButtonWidth + 3, ButtonHeight);
    return bar;
}

TToolButton* NewButton(TForm* Form, TToolBar* Bar, const char* Name, TAction* Action) {
    auto* button = new TToolButton(Form);
    button->SetName(Name);
    button->SetParent(Bar);
    button->SetAction(Action);
    button->SetShowCaption(false);
    return button;
}

TAction* NewAction(TForm* Form, TActionList* List, const char* Name, const char* Hint, int Image,
                   TShortCut Key, std::function<void()> Execute) {
    auto* action = new TAction(Form);
    action->SetName(Name);
    action->SetActionList(List);
    action->SetHint(Hint);
    action->SetImageIndex(Image);
    action->SetShortCut(Key);
    if (Execute) action->OnExecute = [run = std::move(Execute)](TObject*) { run(); };
    return action;
}
} // namespace

TfrmRVPreview::TfrmRVPreview(TComponent* AOwner, const TRVADialogSettings& Settings)
    : TfrmRVBase(AOwner, Settings) {
    SetName("frmRVPreview");
    SetCaption("Print Preview");
    SetBorderIcons(biSystemMenu | biMaximize);
    SetClientWidth(WindowClientWidth);
    SetClientHeight(WindowClientHeight);
    Constraints()->SetMinWidth(WindowMinWidth);
    Constraints()->SetMinHeight(WindowMinHeight);
    SetPosition(TPosition::poScreenCenter);
    MakeImages();
    MakeActions();
    MakeControls();
    FormCreate(this);
}

void TfrmRVPreview::MakeImages() {
    ImageList1 = new TImageList(this);
    ImageList1->SetName("ImageList1");
    ImageList1->SetSize(ImageSize, ImageSize);
    for (int i = piFirst; i <= piPageSetup; ++i) {
        TBitmap picture(ImageSize, ImageSize);
        picture.Canvas()->Brush()->SetColor(PictureMask);
        picture.Canvas()->FillRect({0, 0, ImageSize, ImageSize});
        DrawPicture(picture.Canvas(), i);
        ImageList1->AddMasked(&picture, PictureMask);
    }
}

void TfrmRVPreview::MakeActions() {
    ActionList1 = new TActionList(this);
    ActionList1->SetName("ActionList1");
    ActionList1->SetImages(ImageList1);
    auto page = [this](void (TCustomRVPrintPreview::*Step)()) {
        return [this, Step] {
            (rvpp->*Step)();
            UpdatePageInfo();
        };
    };
    actFirst = NewAction(this, ActionList1, "actFirst", "First Page", piFirst, ShortCut(VK_HOME, ssCtrl),
                         page(&TCustomRVPrintPreview::First));
    actPrior = NewAction(this, ActionList1, "actPrior", "Prior Page", piPrior, ShortCut(VK_PRIOR, 0),
                         page(&TCustomRVPrintPreview::Prev));
    actNext = NewAction(this, ActionList1, "actNext", "Next Page", piNext, ShortCut(VK_NEXT, 0),
                        page(&TCustomRVPrintPreview::Next));
    actLast = NewAction(this, ActionList1, "actLast", "Last Page", piLast, ShortCut(VK_END, ssCtrl),
                        page(&TCustomRVPrintPreview::Last));
    actPrint = NewAction(this, ActionList1, "actPrint", "Print...", piPrint, ShortCut('P', ssCtrl),
                         [this] { SetModalResult(mrOk); });
    // The page set-up action proper comes from whoever shows the window.
    rvActionPageSetup1 = NewAction(this, ActionList1, "rvActionPageSetup1", "", piPageSetup, scNone, nullptr);
    rvActionPageSetup1->SetCaption("rvActionPageSetup1");
    rvActionPageSetup1->SetCategory("RVE File");
}

void TfrmRVPreview::MakeControls() {
    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetAlign(TAlign::alTop);
    Panel1->SetHeight(PanelHeight);
    Panel1->SetBevelInner(TPanelBevel::bvRaised);
    Panel1->SetBevelOuter(TPanelBevel::bvLowered);
    Panel1->SetShowHint(true);

    tbPrint = NewBar(this, Panel1, "tbPrint", 9, ImageList1);
    SpeedButton5 = NewButton(this, tbPrint, "SpeedButton5", actPrint);
    SpeedButton6 = NewButton(this, tbPrint, "SpeedButton6", rvActionPageSetup1);

    ZoomCombo = new TComboBox(this);
    ZoomCombo->SetName("ZoomCombo");
    ZoomCombo->SetParent(Panel1);
    ZoomCombo->SetBounds(61, 9, 157, 21);
    ZoomCombo->SetTabOrder(1);
    for (const char* item : ZoomItems)
        ZoomCombo->Items()->Add(item);
    ZoomCombo->Items()->Add(Text(547));
    ZoomCombo->Items()->Add(Text(548));
    ZoomCombo->DropDownCount = 10;
    ZoomCombo->OnExit = [this](TObject*) { ApplyZoomText(); };
    ZoomCombo->OnSelect = [this](TObject*) { ApplyZoomText(); };
    ZoomCombo->OnKeyDown = [this](TObject* Sender, uint16_t& Key, TShiftState Shift) {
        cmb1KeyDown(Sender, Key, Shift);
    };

    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(Panel1);
    Label1->SetAutoSize(false);
    Label1->SetAlignment(TAlignment::taRightJustify);
    Label1->SetBounds(222, 13, 74, 13);
    Label1->SetCaption("Pages:");

    tbPrior = NewBar(this, Panel1, "tbPrior", 298, ImageList1);
    SpeedButton1 = NewButton(this, tbPrior, "SpeedButton1", actFirst);
    SpeedButton2 = NewButton(this, tbPrior, "SpeedButton2", actPrior);

    txtPageNo = new TEdit(this);
    txtPageNo->SetName("txtPageNo");
    txtPageNo->SetParent(Panel1);
    txtPageNo->SetBounds(353, 9, 52, 21);
    txtPageNo->SetMaxLength(5);
    txtPageNo->SetText("0");
    txtPageNo->OnKeyPress = [this](TObject* Sender, char& Key) { txtPageNoKeyPress(Sender, Key); };
    txtPageNo->OnExit = [this](TObject*) { GoToTypedPage(); };

    Label2 = new TLabel(this);
    Label2->SetName("Label2");
    Label2->SetParent(Panel1);
    Label2->SetBounds(411, 13, 30, 13);
    Label2->SetCaption("");

    tbNext = NewBar(this, Panel1, "tbNext", 460, ImageList1);
    SpeedButton3 = NewButton(this, tbNext, "SpeedButton3", actNext);
    SpeedButton4 = NewButton(this, tbNext, "SpeedButton4", actLast);

    Button1 = new TButton(this);
    Button1->SetName("Button1");
    Button1->SetParent(Panel1);
    Button1->SetCaption("Close");
    Button1->ModalResult = mrCancel;
    Button1->Cancel = true;
    Button1->SetBounds(512, 6, 75, 25);
    Button1->SetAnchors(akTop | akRight);

    rvpp = new TRVPrintPreview(this);
    rvpp->SetName("rvpp");
    rvpp->SetParent(this);
    rvpp->SetAlign(TAlign::alClient);
    rvpp->MarginsPen()->SetStyle(TPenStyle::psDot);
    rvpp->SetBorderStyle(TBorderStyle::bsSingle);
    rvpp->OnZoomChanged = [this](TObject* Sender) { rvppZoomChanged(Sender); };
    rvpp->SetTabOrder(1);
}

void TfrmRVPreview::Localize() {
    TfrmRVBase::Localize();
    SetCaption(Text(546));
    Button1->SetCaption(Text(206));
    Label1->SetCaption(Text(549));
    // A linked button shows its action's hint again at every change of the
    // action, so the navigation actions carry the buttons' texts too.
    const std::pair<TToolButton*, TAction*> steps[] = {
        {SpeedButton1, actFirst}, {SpeedButton2, actPrior}, {SpeedButton3, actNext}, {SpeedButton4, actLast}};
    TRVAMessageID hint = 552;
    for (auto [button, action] : steps) {
        action->SetHint(Text(hint));
        button->SetHint(Text(hint++));
    }
    actPrint->SetHint(Text(31));
    SpeedButton6->SetCaption("");
}

void TfrmRVPreview::SetPageSetupAction(TBasicAction* Action) {
    SpeedButton6->SetAction(Action);
    SpeedButton6->SetCaption("");
}

void TfrmRVPreview::rvActionPageSetup1Change(TObject*) {
    if (TCustomRVPrint* print = rvpp->RVPrint()) print->FormatPages();
    rvpp->UpdateZoom();
}

// ---------------------------------------------------------------- zoom

void TfrmRVPreview::ApplyZoomText() {
    AnsiString s = Trim(ZoomCombo->Text());
    if (s == Text(547)) {
        rvpp->SetZoomMode(rvzmPageWidth);
        return;
    }
    if (s == Text(548)) {
        rvpp->SetZoomMode(rvzmFullPage);
        return;
    }
    if (!s.empty() && s.back() == '%') s.pop_back();
    const int n = StrToIntDef(s, 0);
    if (n < RVMinZoomPercent || n > RVMaxZoomPercent) {
        MessageBox(Text(550), Text(546), MB_OK | MB_ICONWARNING);
        return;
    }
    rvpp->SetZoomPercent(n);
}

void TfrmRVPreview::rvppZoomChanged(TObject*) {
    ZoomCombo->SetText(IntToStr(rvpp->ZoomPercent()) + "%");
}

void TfrmRVPreview::cmb1KeyDown(TObject*, uint16_t& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    Key = 0;
    ApplyZoomText();
}

// ---------------------------------------------------------------- pages

int TfrmRVPreview::PagesCount() const {
    TCustomRVPrint* print = rvpp->RVPrint();
    return print ? print->GetPagesCount() : 0;
}

void TfrmRVPreview::UpdatePageInfo() {
    const int count = PagesCount();
    actFirst->SetEnabled(rvpp->PageNo() > 1);
    actPrior->SetEnabled(rvpp->PageNo() > 1);
    actNext->SetEnabled(rvpp->PageNo() < count);
    actLast->SetEnabled(rvpp->PageNo() < count);
    Label2->SetCaption(Language().FormatText(551, {count}));
    txtPageNo->SetText(IntToStr(rvpp->PageNo()));
    // The next-page buttons stay just right of the label, however wide.
    const int d = Label2->Left() + Label2->Width() + LabelGap - tbNext->Left();
    tbNext->SetLeft(tbNext->Left() + d);
}

void TfrmRVPreview::GoToTypedPage() {
    const int n =
        std::clamp(StrToIntDef(Trim(txtPageNo->Text()), rvpp->PageNo()), 1, std::max(PagesCount(), 1));
    rvpp->SetPageNo(n);
    UpdatePageInfo();
}

void TfrmRVPreview::txtPageNoKeyPress(TObject*, char& Key) {
    if (Key == VK_RETURN_CHAR) {
        Key = 0;
        GoToTypedPage();
        return;
    }
    const auto c = static_cast<unsigned char>(Key);
    if (c > 31 && (c < '0' || c > '9')) {
        Beep();
        Key = 0;
    }
}
