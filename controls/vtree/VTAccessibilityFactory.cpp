// The accessibility factory and the tree's answer to the question for its
// client object.
#include "controls/vtree/VTAccessibilityFactory.h"

#include <algorithm>

#include "controls/vtree/VirtualTrees.h"

std::shared_ptr<IAccessible> TVTAccessibilityFactory::CreateIAccessible(TBaseVirtualTree* Tree) {
    if (!Tree) return nullptr;
    if (!Tree->FAccessible && !FAccessibleProviders.empty())
        return FAccessibleProviders[0]->CreateIAccessible(Tree);
    if (Tree->FAccessibleItem) return Tree->FAccessibleItem;
    if (FAccessibleProviders.empty()) return nullptr;
    for (size_t i = FAccessibleProviders.size() - 1; i >= 1; --i)
        if (std::shared_ptr<IAccessible> answer = FAccessibleProviders[i]->CreateIAccessible(Tree))
            return answer;
    return FAccessibleProviders[0]->CreateIAccessible(Tree);
}

void TVTAccessibilityFactory::RegisterAccessibleProvider(std::shared_ptr<IAccessibleProvider> Provider) {
    if (Provider && std::find(FAccessibleProviders.begin(), FAccessibleProviders.end(), Provider) ==
                        FAccessibleProviders.end())
        FAccessibleProviders.push_back(std::move(Provider));
}

void TVTAccessibilityFactory::UnRegisterAccessibleProvider(
    const std::shared_ptr<IAccessibleProvider>& Provider) {
    FAccessibleProviders.erase(
        std::remove(FAccessibleProviders.begin(), FAccessibleProviders.end(), Provider),
        FAccessibleProviders.end());
}

TVTAccessibilityFactory* GetAccessibilityFactory() {
    static TVTAccessibilityFactory factory;
    return &factory;
}

void TBaseVirtualTree::WMGetObject(TMessage& Message) {
    TVTAccessibilityFactory* factory = GetAccessibilityFactory();
    if (!FAccessible) FAccessible = factory->CreateIAccessible(this);
    if (!FAccessibleItem) FAccessibleItem = factory->CreateIAccessible(this);
    Message.Result = 0;
    if (long(Message.LParam) == OBJID_CLIENT && FAccessible)
        Message.Result =
            LRESULT(reinterpret_cast<intptr_t>(static_cast<TAccessibleObject*>(FAccessible.get())));
}
