// The control panel and the base actions: which panel, language and editor
// an action works with, and when it is enabled.
#include "richtext/print/control/ZoroZudoActions.h"

#include "platform/gui/Printers.h"
#include "richtext/editor/tables/RVTable.h"

// ---------------------------------------------------------------- TRVAControlPanel

TRVAControlPanel::TRVAControlPanel(TComponent* AOwner)
    : TComponent(AOwner), FLanguage(&RVALanguages().Current()) {}

TRVAControlPanel::~TRVAControlPanel() {
    SetDefaultControl(nullptr);
    SetColorDialog(nullptr);
    SetRVPrint(nullptr);
}

template <class T> void TRVAControlPanel::SetReference(T*& Field, T* Value) {
    if (Field == Value) return;
    if (Field) Field->RemoveFreeNotification(this);
    Field = Value;
    if (Field) Field->FreeNotification(this);
}

void TRVAControlPanel::SetDefaultControl(TCustomZoroZudoEdit* Value) {
    SetReference(FDefaultControl, Value);
}

void TRVAControlPanel::SetColorDialog(TColorDialog* Value) {
    SetReference(FColorDialog, Value);
}

void TRVAControlPanel::SetRVPrint(TRVPrint* Value) {
    SetReference(FRVPrint, Value);
}

void TRVAControlPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FDefaultControl) FDefaultControl = nullptr;
    if (AComponent == FColorDialog) FColorDialog = nullptr;
    if (AComponent == FRVPrint) FRVPrint = nullptr;
}

void TRVAControlPanel::SetTableGridStyle(TPenStyle Value) {
    FTableGridStyle = Value;
    // A grid switched off stays off until a panel is loaded.
    if (RVTableGridStyle != TPenStyle::psClear) RVTableGridStyle = Value;
}

void TRVAControlPanel::Loaded() {
    TComponent::Loaded();
    RVTableGridStyle = FTableGridStyle;
}

void TRVAControlPanel::SetLanguage(const TRVALanguageName& Value) {
    FLanguage = RVALanguages().Get(Value);
    // The window's actions speak the panel's language from now on.
    if (Owner()) RVALocalizeActions(Owner());
}

TRVADialogSettings TRVAControlPanel::DialogSettings() const {
    TRVADialogSettings settings;
    settings.Language = FLanguage;
    settings.DialogFontName = DialogFontName;
    settings.UseXPThemes = UseXPThemes;
    return settings;
}

bool TRVAControlPanel::CustomFileOperation(TrvAction* Sender, TCustomZoroZudoEdit* Edit,
                                           const AnsiString& FileName, TRVAFileOperation Operation,
                                           TrvFileSaveFilter& Format, int& CustomFilterIndex) {
    if (!OnCustomFileOperation) return false;
    TrvFileSaveFilter format = Format;
    int index = CustomFilterIndex;
    bool success = false;
    try {
        OnCustomFileOperation(Sender, Edit, FileName, Operation, format, index, success);
    } catch (const std::exception&) {
        return false;
    }
    if (success && Operation == rvafoOpen) {
        Format = format;
        CustomFilterIndex = index;
    }
    return success;
}

TRVAControlPanel& RVADefaultControlPanel() {
    static TRVAControlPanel panel(nullptr);
    return panel;
}

// ---------------------------------------------------------------- TrvCustomAction

TrvCustomAction::TrvCustomAction(TComponent* AOwner) : TAction(AOwner) {}

TrvCustomAction::~TrvCustomAction() {
    SetControlPanel(nullptr);
}

TRVAControlPanel& TrvCustomAction::ControlPanel() const {
    if (FControlPanel) return *FControlPanel;
    if (auto* panel = FindComponentOfClass<TRVAControlPanel>(Owner())) return *panel;
    return RVADefaultControlPanel();
}

void TrvCustomAction::SetControlPanel(TRVAControlPanel* Value) {
    SetReference(FControlPanel, Value);
}

void TrvCustomAction::Localize() {
    if (MessageIndex == 0) return;
    const TRVALanguageInfo& language = ControlPanel().LanguageInfo();
    SetCaption(language.Text(MessageIndex));
    SetHint(language.Text(TRVAMessageID(MessageIndex + 1)));
}

void TrvCustomAction::Notification(TComponent* AComponent, TOperation Operation) {
    TAction::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FControlPanel) FControlPanel = nullptr;
}

void RVALocalizeActions(TComponent* Form) {
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* action = dynamic_cast<TrvCustomAction*>(Form->Components(i))) action->Localize();
}

bool RVAHasPrinter() {
    TPrinter* printer = Printer();
    return printer && printer->CanPrint();
}

// ---------------------------------------------------------------- TrvAction

TObject* TrvAction::ResolveTarget(TObject* Target) const {
    if (FControl) return FControl;
    if (TCustomZoroZudoEdit* editor = ControlPanel().DefaultControl()) return editor;
    return Target;
}

bool TrvAction::HandlesTarget(TObject* Target) {
    return dynamic_cast<TCustomZoroZudoEdit*>(ResolveTarget(Target)) != nullptr;
}

void TrvAction::UpdateTarget(TObject*) {
    SetEnabled(ControlPanel().ActionsEnabled && !Disabled);
}

TCustomZoroZudoEdit* TrvAction::GetControl(TObject* Target) const {
    // A table cell edited in place would hand over its table's editor here;
    // the editor has no in-place cell editor of its own kind, so the
    // resolved control is the editor itself.
    return dynamic_cast<TCustomZoroZudoEdit*>(ResolveTarget(Target));
}

void TrvAction::Notification(TComponent* AComponent, TOperation Operation) {
    TrvCustomAction::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FControl) FControl = nullptr;
}
