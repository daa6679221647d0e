// The form placement component: taking over the form's events, saving and
// restoring the placement, the resize lock and the size limits.
#include "util/JvFormPlacement.h"

#include "util/JclAnsiStrings.h"
#include "util/JclStrings.h"
#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvFormPlacement.cpp", "1", "2026-12-11", "JvLib\\run")

namespace {
const char* const FormNameMacro = "%FORM_NAME%";

// The frame a maximised window keeps outside the screen, by border style.
TPoint FrameSize(TFormBorderStyle Style) {
    switch (Style) {
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow:
        return {1, 1};
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
        return {4, 4};
    case TFormBorderStyle::bsDialog:
        return {3, 3};
    default:
        return {0, 0};
    }
}
} // namespace

// TJvWinMinMaxInfo

void TJvWinMinMaxInfo::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TJvWinMinMaxInfo*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    FInfo = other->FInfo;
    if (FOwner) FOwner->MinMaxInfoModified();
}

void TJvWinMinMaxInfo::Set(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    if (FOwner) FOwner->MinMaxInfoModified();
}

bool TJvWinMinMaxInfo::HasMinMaxLimits() const {
    const TPoint* p[] = {&FInfo.ptMaxPosition, &FInfo.ptMaxSize, &FInfo.ptMaxTrackSize,
                         &FInfo.ptMinTrackSize};
    for (const TPoint* v : p)
        if (v->X != 0 || v->Y != 0) return true;
    return false;
}

// TJvFormPlacement

TJvFormPlacement::TJvFormPlacement(TComponent* AOwner)
    : TJvComponent(AOwner), FWinMinMaxInfo(std::make_unique<TJvWinMinMaxInfo>(this)),
      FWinHook(new TJvWindowHook(this)) {
    FWinHook->SetAfterMessage(
        [this](TObject* Sender, TMessage& Msg, bool& Handled) { HandleHookedMessage(Sender, Msg, Handled); });
    if (TCustomForm* form = Form()) {
        FOptions = fpState | fpSize | fpLocation;
        // Built in code, the form may be shown without anyone saying it is
        // complete: its first show takes it over then.
        HookManager()->AddHook(form,
                               MakeControlHook<TJvFormPlacement, &TJvFormPlacement::FirstShowHook>(this),
                               TJvHookOrder::HookBefore);
    }
}

TJvFormPlacement::~TJvFormPlacement() {
    if (TCustomForm* form = Form(); form && !FTakenOver)
        HookManager()->RemoveHook(form,
                                  MakeControlHook<TJvFormPlacement, &TJvFormPlacement::FirstShowHook>(this),
                                  TJvHookOrder::HookBefore);
    if (!(ComponentState() & csDesigning)) {
        FWinHook->SetActive(false);
        GiveBackFormEvents();
    }
}

TCustomForm* TJvFormPlacement::Form() const {
    return dynamic_cast<TCustomForm*>(Owner());
}

void TJvFormPlacement::Loaded() {
    ExpandFormNameMacro();
    if (!(ComponentState() & csDesigning)) TakeOverFormEvents();
    ToggleWindowHook();
}

bool TJvFormPlacement::FirstShowHook(TMessage& Msg) {
    TCustomForm* form = Form();
    if (Msg.Msg != CM_SHOWINGCHANGED || !form || !form->Showing()) return false;
    // The hook removes itself: the walk goes on with the next one.
    HookManager()->RemoveHook(form, MakeControlHook<TJvFormPlacement, &TJvFormPlacement::FirstShowHook>(this),
                              TJvHookOrder::HookBefore);
    if (!FTakenOver) Loaded();
    return false;
}

void TJvFormPlacement::TakeOverFormEvents() {
    TCustomForm* form = Form();
    if (!form || FTakenOver || form->IsDestroying()) return;
    FTakenOver = true;
    FSaveFormShow = form->OnShow;
    FSaveFormCloseQuery = form->OnCloseQuery;
    FSaveFormDestroy = form->OnDestroy;
    form->OnShow = [this](TObject* Sender) { HandleFormShow(Sender); };
    form->OnCloseQuery = [this](TObject* Sender, bool& CanClose) { HandleFormCloseQuery(Sender, CanClose); };
    form->OnDestroy = [this](TObject* Sender) { HandleFormDestroy(Sender); };
    FDefMaximize = form->BorderIcons() & biMaximize;
    if (FPreventResize) ApplyPreventResize();
}

void TJvFormPlacement::GiveBackFormEvents() {
    TCustomForm* form = Form();
    if (!FTakenOver || !form || form->IsDestroying()) return;
    FTakenOver = false;
    form->OnShow = FSaveFormShow;
    form->OnCloseQuery = FSaveFormCloseQuery;
    form->OnDestroy = FSaveFormDestroy;
}

void TJvFormPlacement::Guarded(const std::function<void()>& Step) {
    try {
        Step();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TJvFormPlacement::HandleFormShow(TObject* Sender) {
    if (Operational() && !FRestored) Guarded([this] { RestoreState(); });
    if (FSaveFormShow) FSaveFormShow(Sender);
}

void TJvFormPlacement::HandleFormCloseQuery(TObject* Sender, bool& CanClose) {
    if (FSaveFormCloseQuery) FSaveFormCloseQuery(Sender, CanClose);
    TCustomForm* form = Form();
    if (CanClose && Operational() && form && form->HandleAllocated()) Guarded([this] { SaveState(); });
}

void TJvFormPlacement::HandleFormDestroy(TObject* Sender) {
    // A form never restored (never shown) keeps what was stored before.
    if (Operational() && FRestored && !FSaved) Guarded([this] { SaveState(); });
    if (FSaveFormDestroy) FSaveFormDestroy(Sender);
}

void TJvFormPlacement::SetAppStorage(TJvCustomAppStorage* Value) {
    if (Value == FAppStorage) return;
    if (FAppStorage) FAppStorage->RemoveFreeNotification(this);
    FAppStorage = Value;
    if (FAppStorage) FAppStorage->FreeNotification(this);
}

void TJvFormPlacement::SetAppStoragePath(const AnsiString& Value) {
    AnsiString path = Value;
    if (!path.empty() && path.back() != '\\') path += '\\';
    FAppStoragePath = path;
    if (!(ComponentState() & (csDesigning | csLoading))) ExpandFormNameMacro();
}

void TJvFormPlacement::ExpandFormNameMacro() {
    TCustomForm* form = Form();
    if (!form || FindTextNoCase(FormNameMacro, FAppStoragePath, 1) == 0) return;
    ReplaceSubstrings(FAppStoragePath, FormNameMacro, form->Name(), IgnoreCase);
}

void TJvFormPlacement::Notification(TComponent* AComponent, TOperation Operation) {
    TJvComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FAppStorage) FAppStorage = nullptr;
}

void TJvFormPlacement::SetPreventResize(bool Value) {
    if (!Form() || Value == FPreventResize) return;
    FPreventResize = Value;
    AdjustMaximizedPosition();
    ApplyPreventResize();
}

void TJvFormPlacement::ApplyPreventResize() {
    TCustomForm* form = Form();
    if (!form || (ComponentState() & csDesigning)) return;
    if (FPreventResize) FDefMaximize = form->BorderIcons() & biMaximize;
    bool active = FActive;
    FActive = false;
    if (!FPreventResize && FDefMaximize && form->BorderStyle() != TFormBorderStyle::bsDialog)
        form->SetBorderIcons(form->BorderIcons() | biMaximize);
    else
        form->SetBorderIcons(form->BorderIcons() & ~biMaximize);
    FActive = active;
    if (!(ComponentState() & csLoading)) ToggleWindowHook();
}

void TJvFormPlacement::MinMaxInfoModified() {
    AdjustMaximizedPosition();
    if (!(ComponentState() & csLoading)) ToggleWindowHook();
}

void TJvFormPlacement::ToggleWindowHook() {
    TCustomForm* form = Form();
    if (!form || (ComponentState() & csDesigning)) return;
    bool wanted = FWinMinMaxInfo->HasMinMaxLimits() || FPreventResize;
    FWinHook->SetControl(form);
    FWinHook->SetActive(wanted);
    // The form asks for its limits again, now that the answer differs.
    form->UpdateSizeLimits();
}

void TJvFormPlacement::HandleHookedMessage(TObject*, TMessage& Msg, bool&) {
    TCustomForm* form = Form();
    if (FPreventResize && form) {
        switch (Msg.Msg) {
        case WM_GETMINMAXINFO:
            if (form->HandleAllocated() && form->Visible()) {
                auto* info = reinterpret_cast<TMinMaxInfo*>(Msg.LParam);
                info->ptMinTrackSize = {form->Width(), form->Height()};
                info->ptMaxTrackSize = info->ptMinTrackSize;
                Msg.Result = 1;
            }
            break;
        case WM_NCHITTEST:
            if (Msg.Result >= HTLEFT && Msg.Result <= HTBOTTOMRIGHT) Msg.Result = HTNOWHERE;
            break;
        default:
            break;
        }
        return;
    }
    if (Msg.Msg != WM_GETMINMAXINFO) return;
    auto* info = reinterpret_cast<TMinMaxInfo*>(Msg.LParam);
    const TMinMaxInfo& limits = FWinMinMaxInfo->Info();
    if (FWinMinMaxInfo->HasMinMaxLimits()) {
        auto take = [](int& Field, int Limit) {
            if (Limit != 0) Field = Limit;
        };
        take(info->ptMaxPosition.X, limits.ptMaxPosition.X);
        take(info->ptMaxPosition.Y, limits.ptMaxPosition.Y);
        take(info->ptMaxSize.X, limits.ptMaxSize.X);
        take(info->ptMaxSize.Y, limits.ptMaxSize.Y);
        take(info->ptMaxTrackSize.X, limits.ptMaxTrackSize.X);
        take(info->ptMaxTrackSize.Y, limits.ptMaxTrackSize.Y);
        take(info->ptMinTrackSize.X, limits.ptMinTrackSize.X);
        take(info->ptMinTrackSize.Y, limits.ptMinTrackSize.Y);
    } else {
        info->ptMaxPosition = {0, 0};
    }
    Msg.Result = 1;
}

void TJvFormPlacement::AdjustMaximizedPosition() {
    TCustomForm* form = Form();
    if (!form || !form->HandleAllocated() || (ComponentState() & csLoading) || FPreventResize ||
        FWinMinMaxInfo->HasMinMaxLimits())
        return;
    TWindowPlacement placement;
    GetWindowPlacement(form, placement);
    if (!form->Visible()) placement.showCmd = SW_HIDE;
    TPoint frame = FrameSize(form->BorderStyle());
    placement.ptMaxPosition = {-frame.X, -frame.Y};
    SetWindowPlacement(form, placement);
}

void TJvFormPlacement::SaveState() {
    if (!FAppStorage) return;
    FAppStorage->Batch([this] {
        if (BeforeSavePlacement) BeforeSavePlacement(this);
        if (FVersionCheck != TJvFormPlacementVersionCheck::fpvcNocheck) StoreInteger("FormVersion", FVersion);
        DoSavePlacement();
        PersistPlacement();
        if (AfterSavePlacement) AfterSavePlacement(this);
    });
    FSaved = true;
}

void TJvFormPlacement::RestoreState() {
    if (FAppStorage) {
        FSaved = false;
        int32_t stored = FetchInteger("FormVersion", 0);
        bool goOn =
            FVersionCheck == TJvFormPlacementVersionCheck::fpvcNocheck ||
            (FVersionCheck == TJvFormPlacementVersionCheck::fpvcCheckGreaterEqual && stored >= FVersion) ||
            (FVersionCheck == TJvFormPlacementVersionCheck::fpvcCheckEqual && stored == FVersion);
        if (goOn) {
            if (BeforeRestorePlacement) BeforeRestorePlacement(this);
            ApplyPlacement();
            FRestored = true;
            DoRestorePlacement();
            TCustomForm* form = Form();
            if ((FOptions & fpActiveControl) && form) {
                AnsiString name = FAppStorage->FetchString(JoinPaths({FAppStoragePath, "ActiveControl"}), "");
                if (auto* control = dynamic_cast<TWinControl*>(form->FindComponent(name));
                    control && control->CanFocus())
                    form->SetActiveControl(control);
            }
            if (AfterRestorePlacement) AfterRestorePlacement(this);
        }
        FRestored = true;
    }
    AdjustMaximizedPosition();
}

void TJvFormPlacement::DoSavePlacement() {
    if (OnSavePlacement) OnSavePlacement(this);
}

void TJvFormPlacement::DoRestorePlacement() {
    if (OnRestorePlacement) OnRestorePlacement(this);
}

void TJvFormPlacement::PersistPlacement() {
    TCustomForm* form = Form();
    if (!form || FOptions == fpActiveControl) return;
    WriteWindowPlacement(form, FAppStorage, FAppStoragePath, FOptions);
    if ((FOptions & fpActiveControl) && form->ActiveControl())
        FAppStorage->StoreString(JoinPaths({FAppStoragePath, "ActiveControl"}),
                                 form->ActiveControl()->Name());
}

void TJvFormPlacement::ApplyPlacement() {
    if (TCustomForm* form = Form()) ReadWindowPlacement(form, FAppStorage, FAppStoragePath, FOptions);
}

AnsiString TJvFormPlacement::JoinPaths(const std::vector<AnsiString>& Parts) const {
    return FAppStorage ? CombineStoragePaths(Parts) : AnsiString();
}

// The typed values work only with a storage and a name.
#define JV_PLACEMENT_VALUE(Type, Name, Fetch, Store)                                                         \
    Type TJvFormPlacement::Fetch(const AnsiString& ValueName, Type Default) {                                \
        if (!FAppStorage || ValueName.empty()) return Default;                                               \
        return FAppStorage->Fetch(                                                                           \
            CombineStoragePaths({FAppStoragePath, FAppStorage->MapPropertyName(this, ValueName, true)}),     \
            Default);                                                                                        \
    }                                                                                                        \
    void TJvFormPlacement::Store(const AnsiString& ValueName, Type Value) {                                  \
        if (!FAppStorage || ValueName.empty()) return;                                                       \
        FAppStorage->Store(                                                                                  \
            CombineStoragePaths({FAppStoragePath, FAppStorage->MapPropertyName(this, ValueName, false)}),    \
            Value);                                                                                          \
    }

JV_PLACEMENT_VALUE(int32_t, Integer, FetchInteger, StoreInteger)
JV_PLACEMENT_VALUE(bool, Boolean, FetchBoolean, StoreBoolean)
JV_PLACEMENT_VALUE(double, Float, FetchFloat, StoreFloat)
JV_PLACEMENT_VALUE(TDateTime, DateTime, FetchDateTime, StoreDateTime)
#undef JV_PLACEMENT_VALUE

AnsiString TJvFormPlacement::FetchString(const AnsiString& Name, const AnsiString& Default) {
    if (!FAppStorage || Name.empty()) return Default;
    return FAppStorage->FetchString(
        CombineStoragePaths({FAppStoragePath, FAppStorage->MapPropertyName(this, Name, true)}), Default);
}

void TJvFormPlacement::StoreString(const AnsiString& Name, const AnsiString& Value) {
    if (!FAppStorage || Name.empty()) return;
    FAppStorage->StoreString(
        CombineStoragePaths({FAppStoragePath, FAppStorage->MapPropertyName(this, Name, false)}), Value);
}
