// The object model: components with owners, names and free notification.
#include "platform/rtl/Classes.h"

#include <algorithm>
#include <typeinfo>

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        AssignTo(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    (void)Dest;
    throw EConvertError("Cannot assign to this object");
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell everyone watching us, then free what we own, newest first.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& theirs = other->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, TOperation::opRemove);
    }
    while (!FComponents.empty()) {
        TComponent* child = FComponents.back();
        FComponents.pop_back();
        child->FOwner = nullptr;
        delete child;
    }
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const AnsiString& NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && FOwner) {
        if (TComponent* other = FOwner->FindComponent(NewName); other && other != this)
            throw EComponentError("A component named " + NewName + " already exists");
    }
    FName = NewName;
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it == FComponents.end()) return;
    Notification(AComponent, TOperation::opRemove);
    FComponents.erase(std::find(FComponents.begin(), FComponents.end(), AComponent));
    AComponent->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& theirs = AComponent->FFreeNotifies;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
    auto& theirs = AComponent->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Destroying() {
    if (FComponentState & csDestroying) return;
    FComponentState |= csDestroying;
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    (void)Proc;
    (void)Root;
}

void TComponent::SetChildOrder(TComponent* Child, int Order) {
    (void)Child;
    (void)Order;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == TOperation::opRemove && AComponent) {
        // Forward to owned components, as the run-time does.
        for (TComponent* c : FComponents)
            if (c != AComponent) c->Notification(AComponent, Operation);
    }
}

void TComponent::SetComponentState(unsigned Flag, bool On) {
    if (On)
        FComponentState |= Flag;
    else
        FComponentState &= ~Flag;
}
