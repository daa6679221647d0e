// The tree's drag manager: the drop target registered for its window and
// the drag source of the drags it starts.
#pragma once

#include <memory>

#include "controls/vtree/VirtualTrees.h"
#include "platform/gui/DragDrop.h"

class TVTDragManager : public IDropTarget, public IDropSource {
public:
    explicit TVTDragManager(TBaseVirtualTree* AOwner) : FOwner(AOwner) {}

    HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint& Pt,
                      uint32_t& Effect) override;
    HRESULT DragOver(unsigned KeyState, const TPoint& Pt, uint32_t& Effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint& Pt,
                 uint32_t& Effect) override;

    HRESULT QueryContinueDrag(bool EscapePressed, unsigned KeyState) override;
    HRESULT GiveFeedback(uint32_t Effect) override;

    // The data of the drag over the tree, or a new data object of the tree.
    std::shared_ptr<IDataObject> DragDataObject();
    // The tree of this process the drag over the owner comes from, while it lives.
    TBaseVirtualTree* SourceTree() const;
    bool IsOverTree() const { return FIsOverTree; }
    // The owner is going: the manager answers nothing from now on.
    void Detach() { FOwner = nullptr; }

private:
    TBaseVirtualTree* FOwner;
    // The source by token, so that a source tree freed during the drag is never used.
    uint32_t FSourceToken = 0;
    bool FIsOverTree = false;
    std::shared_ptr<IDataObject> FReceivedDataObject;
};
