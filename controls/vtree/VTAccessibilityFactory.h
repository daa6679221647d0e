// The accessibility factory: providers registered here make the accessible
// objects of trees, which a tree hands out when asked for its client object
// and tells of its state, focus and name changes.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/Accessibility.h"

class TBaseVirtualTree;

// The accessible object of a tree (or of its focused item): what screen
// readers ask the tree's client object through the GUI layer.
class IAccessible : public TAccessibleObject {
public:
    virtual ~IAccessible() = default;
    // An accessibility event of the tree's client object (VTAccessibleEvent).
    virtual void NotifyEvent(unsigned Event) { (void)Event; }
};

class IAccessibleProvider {
public:
    virtual ~IAccessibleProvider() = default;
    // Nil when this provider has no object for the tree.
    virtual std::shared_ptr<IAccessible> CreateIAccessible(TBaseVirtualTree* Tree) = 0;
};

class TVTAccessibilityFactory {
public:
    std::shared_ptr<IAccessible> CreateIAccessible(TBaseVirtualTree* Tree);
    void RegisterAccessibleProvider(std::shared_ptr<IAccessibleProvider> Provider);
    void UnRegisterAccessibleProvider(const std::shared_ptr<IAccessibleProvider>& Provider);

private:
    std::vector<std::shared_ptr<IAccessibleProvider>> FAccessibleProviders;
};

// The process's factory, made on first use.
TVTAccessibilityFactory* GetAccessibilityFactory();
