// Owners free their components and watchers hear of it.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Classes.h"

namespace {

std::vector<std::string> gEvents;

class TProbe : public TComponent {
public:
    TProbe(TComponent* AOwner, const char* Id) : TComponent(AOwner), Id(Id) {}
    ~TProbe() override { gEvents.push_back(std::string("free ") + Id); }
    std::string Id;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove) gEvents.push_back(Id + " told of " + AComponent->Name());
    }
};

TEST(ClassesTest, OwnerFreesItsComponentsAndWatchersAreTold) {
    gEvents.clear();
    auto* watcher = new TProbe(nullptr, "watcher");
    {
        TProbe owner(nullptr, "owner");
        auto* a = new TProbe(&owner, "a");
        new TProbe(&owner, "b");
        a->SetName("A");
        EXPECT_EQ(owner.FindComponent("a"), a);
        EXPECT_THROW((new TProbe(&owner, "c"))->SetName("A"), EComponentError);
        a->FreeNotification(watcher);
        watcher->FreeNotification(a); // both ways: watcher outlives a, so nothing happens later
    }
    EXPECT_EQ(gEvents,
              (std::vector<std::string>{"free owner", "free c", "free b", "free a", "watcher told of A"}));
    delete watcher;
}

} // namespace
