// The print-preview action: the pages in the preview window, set up again
// from there, and printed with the same print component when the user
// chooses to print.
#include "richtext/print/control/ZoroZudoActions.h"

#include "platform/gui/Mask.h"
#include "richtext/print/control/PreviewRVFrm.h"

TrvActionPrintPreview::TrvActionPrintPreview(TComponent* AOwner) : TrvCustomPrintAction(AOwner) {
    MessageIndex = 28;
    Localize();
}

TrvActionPrintPreview::~TrvActionPrintPreview() {
    SetActionPrint(nullptr);
    SetActionPageSetup(nullptr);
}

void TrvActionPrintPreview::Notification(TComponent* AComponent, TOperation Operation) {
    TrvCustomPrintAction::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FActionPrint) FActionPrint = nullptr;
    if (AComponent == FActionPageSetup) FActionPageSetup = nullptr;
}

void TrvActionPrintPreview::ExecuteTarget(TObject* Target) {
    TrvActionPrint* printAction = FActionPrint ? FActionPrint : FindComponentOfClass<TrvActionPrint>(Owner());
    TRVAControlPanel& panel = ControlPanel();
    TRVPreviewFormFactory factory = [](TComponent* AOwner, const TRVADialogSettings& Settings) {
        return new TfrmRVPreview(AOwner, Settings);
    };
    if (OnGetPreviewFormClass) OnGetPreviewFormClass(this, factory);
    std::unique_ptr<TfrmRVPreview> window(factory ? factory(nullptr, panel.DialogSettings()) : nullptr);
    if (!window) throw EZoroZudoError("Preview form must be inherited from TfrmRVPreview");
    if (Maximized) window->SetWindowState(TWindowState::wsMaximized);

    TCustomZoroZudoEdit* editor = GetControl(Target);
    if (!editor) return;
    TPrintUse use(*this, *editor);
    TRVPrint& print = use.Print();
    window->actPrint->SetEnabled(printAction != nullptr);
    if (FormatFor(print, *editor) == 0) {
        Beep();
        return;
    }
    window->rvpp->SetRVPrint(&print);
    window->actFirst->Execute();
    if (FActionPageSetup) {
        window->SetPageSetupAction(FActionPageSetup);
    } else {
        // The window's own page set-up works on the pages it shows, through
        // a panel of its own with this window's settings.
        auto* own = new TRVAControlPanel(window.get());
        own->SetLanguage(panel.Language());
        own->DialogFontName = panel.DialogFontName;
        own->UseXPThemes = panel.UseXPThemes;
        own->ActionsEnabled = panel.ActionsEnabled;
        own->SetRVPrint(&print);
        auto* setup = new TrvActionPageSetup(window.get());
        setup->SetName("rvActionPageSetup");
        setup->SetActionList(window->ActionList1);
        setup->SetImageIndex(window->rvActionPageSetup1->ImageIndex());
        TfrmRVPreview* w = window.get();
        setup->OnChange = [w](TObject* Sender) { w->rvActionPageSetup1Change(Sender); };
        window->SetPageSetupAction(setup);
    }
    if (window->ShowModal() == mrOk && printAction) printAction->PrintWith(print, *editor);
}
