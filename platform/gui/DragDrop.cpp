// Drop targets registered for windows, and the drag seam.
#include "platform/gui/DragDrop.h"

#include <map>
#include <utility>

#include "platform/gui/QtDataTransfer_p.h"

namespace {
IDragService* gDragService = nullptr;

// A registration, forgotten when its control is destroyed.
class TDropRegistration : public TComponent {
public:
    TDropRegistration(TWinControl* Control, std::shared_ptr<IDropTarget> Target);
    ~TDropRegistration() override;
    std::shared_ptr<IDropTarget> Target;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TWinControl* FControl;
};

std::map<TWinControl*, std::unique_ptr<TDropRegistration>>& Registrations() {
    static std::map<TWinControl*, std::unique_ptr<TDropRegistration>> registrations;
    return registrations;
}

TDropRegistration::TDropRegistration(TWinControl* Control, std::shared_ptr<IDropTarget> ATarget)
    : TComponent(nullptr), Target(std::move(ATarget)), FControl(Control) {
    FControl->FreeNotification(this);
}

TDropRegistration::~TDropRegistration() {
    if (FControl) FControl->RemoveFreeNotification(this);
}

void TDropRegistration::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || AComponent != FControl) return;
    TWinControl* control = std::exchange(FControl, nullptr);
    // Frees this registration: nothing of it may be touched afterwards.
    Registrations().erase(control);
}
} // namespace

HRESULT RegisterDragDrop(TWinControl* Control, std::shared_ptr<IDropTarget> Target) {
    if (!Control || !Target) return E_INVALIDARG;
    if (!Control->HandleAllocated()) return DRAGDROP_E_INVALIDHWND;
    auto& all = Registrations();
    if (all.count(Control)) return DRAGDROP_E_ALREADYREGISTERED;
    all.emplace(Control, std::make_unique<TDropRegistration>(Control, std::move(Target)));
    AcceptQtDrops(Control, true);
    return S_OK;
}

HRESULT RevokeDragDrop(TWinControl* Control) {
    auto& all = Registrations();
    auto it = all.find(Control);
    if (it == all.end()) return DRAGDROP_E_NOTREGISTERED;
    all.erase(it);
    if (Control->HandleAllocated()) AcceptQtDrops(Control, false);
    return S_OK;
}

std::shared_ptr<IDropTarget> FindDropTarget(TControl* Control, TWinControl** Registered) {
    auto& all = Registrations();
    for (TControl* c = Control; c; c = c->Parent()) {
        auto* w = dynamic_cast<TWinControl*>(c);
        auto it = w ? all.find(w) : all.end();
        if (it == all.end()) continue;
        if (Registered) *Registered = w;
        return it->second->Target;
    }
    if (Registered) *Registered = nullptr;
    return nullptr;
}

IDragService* SetDragService(IDragService* Service) {
    IDragService* old = gDragService;
    gDragService = Service;
    return old;
}

IDragService* DragService() {
    return gDragService ? gDragService : QtDragService();
}

HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& Data, const std::shared_ptr<IDropSource>& Source,
                   uint32_t OkEffects, uint32_t& Effect) {
    Effect = DROPEFFECT_NONE;
    if (!Data || !Source) return E_INVALIDARG;
    // The source stays alive for the whole drag, whatever its holders do.
    std::shared_ptr<IDropSource> source = Source;
    return DragService()->DoDragDrop(Data, *source, OkEffects, Effect);
}
