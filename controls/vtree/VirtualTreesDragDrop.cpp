// Drag and drop of nodes: the drag manager, the tree as drop target (drop
// modes, the drop target node, auto-expand, the proposed effect, the source's
// picture under the mouse) and as drag source (the drag selection, its
// picture and the deletion of moved nodes).
#include "controls/vtree/VirtualTreesDragDrop.h"

#include <algorithm>
#include <climits>

#include "controls/vtree/VirtualTreesClipboard.h"
#include "controls/vtree/VirtualTreesDragImage.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/rtl/ScopeGuard.h"

// ---- The drag manager --------------------------------------------------------------------

HRESULT TVTDragManager::DragEnter(const std::shared_ptr<IDataObject>& Data, unsigned KeyState,
                                  const TPoint& Pt, uint32_t& Effect) {
    if (!FOwner) return E_UNEXPECTED;
    FReceivedDataObject = Data;
    FIsOverTree = true;
    TBaseVirtualTree* source = FOwner->GetTreeFromDataObject(Data.get());
    FSourceToken = source ? source->TransferToken() : 0;
    return FOwner->DragEnter(KeyState, Pt, Effect);
}

HRESULT TVTDragManager::DragOver(unsigned KeyState, const TPoint& Pt, uint32_t& Effect) {
    if (!FOwner) return E_UNEXPECTED;
    return FOwner->DragOver(SourceTree(), KeyState, dsDragMove, Pt, Effect);
}

HRESULT TVTDragManager::DragLeave() {
    if (FOwner) FOwner->DragLeave();
    FIsOverTree = false;
    FSourceToken = 0;
    FReceivedDataObject.reset();
    return S_OK;
}

HRESULT TVTDragManager::Drop(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint& Pt,
                             uint32_t& Effect) {
    if (!FOwner) return E_UNEXPECTED;
    TScopeGuard done([&] {
        FIsOverTree = false;
        FReceivedDataObject.reset();
    });
    return FOwner->DragDrop(Data, KeyState, Pt, Effect);
}

HRESULT TVTDragManager::QueryContinueDrag(bool EscapePressed, unsigned KeyState) {
    const bool left = KeyState & MK_LBUTTON, right = KeyState & MK_RBUTTON;
    if (EscapePressed || (left && right)) return DRAGDROP_S_CANCEL;
    if (!left && !right) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT TVTDragManager::GiveFeedback(uint32_t) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

std::shared_ptr<IDataObject> TVTDragManager::DragDataObject() {
    if (FReceivedDataObject) return FReceivedDataObject;
    if (!FOwner) return nullptr;
    std::shared_ptr<IDataObject> data = FOwner->DoCreateDataObject();
    return data ? data : std::make_shared<TVTDataObject>(FOwner, false);
}

TBaseVirtualTree* TVTDragManager::SourceTree() const {
    return FSourceToken ? TreeFromTransferToken(FSourceToken) : nullptr;
}

// ---- The tree's manager and its window ---------------------------------------------------

std::shared_ptr<TVTDragManager> TBaseVirtualTree::DragManager() {
    if (!FDragManager) FDragManager = std::make_shared<TVTDragManager>(this);
    return FDragManager;
}

void TBaseVirtualTree::UpdateDropRegistration(bool Accept) {
    if (!TWinControl::HandleAllocated()) return;
    if (Accept && !FDropRegistered)
        FDropRegistered = RegisterDragDrop(this, DragManager()) == S_OK;
    else if (!Accept && FDropRegistered) {
        RevokeDragDrop(this);
        FDropRegistered = false;
    }
}

// ---- The drag image ----------------------------------------------------------------------

TVTDragImage* TBaseVirtualTree::DragImage() {
    if (!FDragImage) {
        FDragImage = std::make_shared<TVTDragImage>(this);
        FDragImage->Fade = true;
        FDragImage->Transparency = 200;
    }
    return FDragImage.get();
}

bool TBaseVirtualTree::CanShowDragImage() const {
    return DragImageKind != diNoImage;
}

void TBaseVirtualTree::PrepareTreeDragPicture(TPoint HotSpot,
                                              const std::shared_ptr<IDataObject>& DataObject) {
    if (!CanShowDragImage()) return;
    // DragWidth x DragHeight around the hot spot, in tree coordinates, cut
    // where the tree begins.
    const int64_t x = int64_t(HotSpot.X) + EffectiveOffsetX(), y = int64_t(HotSpot.Y) - FOffsetY;
    const int64_t halfWidth = DragWidth / 2, halfHeight = DragHeight / 2;
    auto clip = [](int64_t V) { return int(std::clamp<int64_t>(V, 0, INT_MAX)); };
    const TRect area{clip(x - halfWidth), clip(y - halfHeight), clip(x + halfWidth), clip(y + halfHeight)};
    if (area.IsEmpty()) return;
    TBitmap picture(area.Width(), area.Height());
    picture.Canvas()->Brush()->SetColor(FColor);
    picture.Canvas()->FillRect(TRect{0, 0, area.Width(), area.Height()});
    TVTInternalPaintOptions options{poDrawSelection, poSelectedOnly};
    if (DragImageKind == diMainColumnOnly) options.Include(poMainOnly);
    PaintTree(picture.Canvas(), area, TPoint{0, 0}, options);
    const TPoint position =
        FView->ClientToScreen(TPoint{area.Left - EffectiveOffsetX(), int(area.Top + FOffsetY)});
    TVTDragImage* image = DragImage();
    image->ColorKey = FColor;
    image->Prepare(&picture, position, FView->ClientToScreen(HotSpot), DataObject);
}

TShiftState TBaseVirtualTree::DragShiftState(unsigned KeyState) const {
    TShiftState shift = KeysToShiftState(KeyState);
    if (KeyState & MK_ALT) shift |= ssAlt;
    if (FStates.Contains(tsLeftButtonDown)) shift |= ssLeft;
    if (FStates.Contains(tsMiddleButtonDown)) shift |= ssMiddle;
    if (FStates.Contains(tsRightButtonDown)) shift |= ssRight;
    return shift;
}

TPoint TBaseVirtualTree::ScreenToTreeClient(TPoint Screen) const {
    const TPoint origin = FView->ClientToScreen(TPoint{0, 0});
    return TPoint{Screen.X - origin.X, Screen.Y - origin.Y};
}

// ---- The target side ---------------------------------------------------------------------

uint32_t TBaseVirtualTree::ProposeDropEffect(TBaseVirtualTree* Source, TShiftState Shift,
                                             uint32_t AllowedEffects, TPoint) {
    uint32_t result = AllowedEffects;
    if (Source == this && (AllowedEffects & DROPEFFECT_MOVE))
        result = DROPEFFECT_MOVE;
    else if (Source != this && (AllowedEffects & DROPEFFECT_COPY))
        result = DROPEFFECT_COPY;
    auto allowedOr = [&](uint32_t Effect) { return (AllowedEffects & Effect) ? Effect : result; };
    const bool ctrl = Shift & ssCtrl, shift = Shift & ssShift, alt = Shift & ssAlt;
    if (ctrl && shift) return allowedOr(DROPEFFECT_LINK);
    if (ctrl) return allowedOr(DROPEFFECT_COPY);
    if (shift) return allowedOr(DROPEFFECT_MOVE);
    if (alt) return allowedOr(DROPEFFECT_LINK);
    return result;
}

bool TBaseVirtualTree::DoDragOver(TBaseVirtualTree* Source, TShiftState Shift, TDragState State, TPoint Pt,
                                  TDropMode Mode, uint32_t& Effect) {
    bool accept = false;
    if (OnDragOver) OnDragOver(this, Source, Shift, State, Pt, Mode, Effect, accept);
    return accept;
}

void TBaseVirtualTree::DoDragDrop(TBaseVirtualTree* Source, const std::shared_ptr<IDataObject>& DataObject,
                                  const TFormatArray& Formats, TShiftState Shift, TPoint Pt, uint32_t& Effect,
                                  TDropMode Mode) {
    if (OnDragDrop) OnDragDrop(this, Source, DataObject.get(), Formats, Shift, Pt, Effect, Mode);
}

HRESULT TBaseVirtualTree::DragEnter(unsigned KeyState, TPoint Pt, uint32_t& Effect) {
    try {
        const TPoint p = ScreenToTreeClient(Pt);
        TBaseVirtualTree* source = DragManager()->SourceTree();
        const TShiftState shift = DragShiftState(KeyState);
        Effect = ProposeDropEffect(source, shift, Effect, p);
        if (DoDragOver(source, shift, dsDragEnter, p, FLastDropMode, Effect)) {
            THitInfo hit;
            GetHitTestInfoAt(p.X, p.Y, true, hit);
            if (hit.HitNode) {
                FDropTargetNode = hit.HitNode;
                const TRect r = GetDisplayRect(hit.HitNode, GetMainColumn(), false);
                FLastDropMode = hit.HitPositions.Contains(hpOnItemLabel) ? dmOnNode
                                : p.Y < (r.Top + r.Bottom) / 2           ? dmAbove
                                                                         : dmBelow;
            } else {
                FLastDropMode = dmNowhere;
            }
        } else {
            Effect = DROPEFFECT_NONE;
        }
        if (source) source->DragImage()->Show();
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT TBaseVirtualTree::DragOver(TBaseVirtualTree* Source, unsigned KeyState, TDragState State, TPoint Pt,
                                   uint32_t& Effect) {
    try {
        const TPoint p = ScreenToTreeClient(Pt);
        // Near an edge the view scrolls by a step per move, as far as there is content.
        int dx = 0;
        int64_t dy = 0;
        const TScrollDirections directions = DetermineScrollDirections(p.X, p.Y);
        const int clientWidth = FView->ClientWidth();
        const int64_t clientHeight = FView->ClientHeight();
        if (directions.Contains(sdUp) && FOffsetY != 0)
            dy = std::min<int64_t>(FScrollBarOptions->VerticalIncrement, clientHeight);
        if (directions.Contains(sdDown) && clientHeight - FOffsetY != RangeY())
            dy = -std::min<int64_t>(FScrollBarOptions->VerticalIncrement, clientHeight);
        if (directions.Contains(sdLeft) && EffectiveOffsetX() != 0)
            dx = FScrollBarOptions->HorizontalIncrement;
        if (directions.Contains(sdRight) && clientWidth + EffectiveOffsetX() != RangeX())
            dx = -FScrollBarOptions->HorizontalIncrement;
        const bool scrolled = (dx != 0 || dy != 0) && DoSetOffsetXY(FOffsetX + dx, FOffsetY + dy,
                                                                    {suoRepaintHeader, suoRepaintScrollbars,
                                                                     suoScrollClientArea, suoUpdateNCArea});
        const TShiftState shift = DragShiftState(KeyState);
        THitInfo hit;
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        const bool onIcon = hit.HitPositions.Contains(hpOnItemLabel) ||
                            hit.HitPositions.Contains(hpOnNormalIcon) ||
                            hit.HitPositions.Contains(hpOnStateIcon);
        if (hit.HitNode && FOptions->MiscOptions().Contains(toReportMode) &&
            !(onIcon && hit.HitColumn == GetMainColumn()))
            hit.HitNode = nullptr;
        TDropMode mode = dmNowhere;
        TRect row;
        if (hit.HitNode) {
            row = GetDisplayRect(hit.HitNode, NoColumn, false);
            if (!onIcon && FOptions->PaintOptions().Contains(toShowDropmark))
                mode = p.Y < (row.Top + row.Bottom) / 2 ? dmAbove : dmBelow;
            else
                mode = dmOnNode;
        }
        if (hit.HitNode != FDropTargetNode || mode != FLastDropMode) {
            FLastDropMode = mode;
            if (hit.HitNode == FDropTargetNode) {
                InvalidateNode(hit.HitNode);
            } else {
                FView->KillTimer(ExpandTimer);
                PVirtualNode old = FDropTargetNode;
                FDropTargetNode = hit.HitNode;
                if (FFocusedColumn == NoColumn) FFocusedColumn = GetMainColumn();
                InvalidateNode(old);
                InvalidateNode(FDropTargetNode);
                // Resting on a collapsed parent opens it after a while.
                if (FOptions->AutoOptions().Contains(toAutoDropExpand) && FDropTargetNode &&
                    (FDropTargetNode->ChildCount > 0 || FDropTargetNode->States.Contains(vsHasChildren)))
                    FView->SetTimer(ExpandTimer, AutoExpandDelay);
            }
        }
        if (HandleAllocated()) FView->UpdateWindow();
        // The picture of a tree's nodes follows the mouse over the tree.
        if (Source && Source->DragImage()->WouldMove(Pt)) Source->DragImage()->MoveTo(Pt, false);
        Effect = ProposeDropEffect(Source, shift, Effect, p);
        if (!DoDragOver(Source, shift, State, p, FLastDropMode, Effect)) Effect = DROPEFFECT_NONE;
        if (scrolled) Effect |= DROPEFFECT_SCROLL;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void TBaseVirtualTree::DragLeave() {
    FView->KillTimer(ExpandTimer);
    if (TBaseVirtualTree* source = DragManager()->SourceTree()) source->DragImage()->Hide();
    InvalidateNode(FDropTargetNode);
    FDropTargetNode = nullptr;
    if (HandleAllocated()) FView->UpdateWindow();
    uint32_t effect = DROPEFFECT_NONE;
    DoDragOver(nullptr, 0, dsDragLeave, TPoint{0, 0}, FLastDropMode, effect);
}

HRESULT TBaseVirtualTree::DragDrop(const std::shared_ptr<IDataObject>& DataObject, unsigned KeyState,
                                   TPoint Pt, uint32_t& Effect) {
    FView->KillTimer(ExpandTimer);
    FView->KillTimer(ScrollTimer);
    DoStateChange({}, {tsScrollPending, tsScrolling});
    TScopeGuard clear([&] {
        InvalidateNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    });
    if (!DataObject) return E_FAIL;
    TBaseVirtualTree* source = DragManager()->SourceTree();
    if (FAILED(DragOver(source, KeyState, dsDragMove, Pt, Effect))) return E_FAIL;
    if ((Effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE) return E_FAIL;
    TFormatArray formats;
    for (const FORMATETC& f : OfferedFormats(*DataObject))
        formats.push_back(f.cfFormat);
    // The drop target stays set while the handler runs, so that it can insert there.
    DoDragDrop(source, DataObject, formats, DragShiftState(KeyState), ScreenToTreeClient(Pt), Effect,
               FLastDropMode);
    return S_OK;
}

void TBaseVirtualTree::DoDragExpand() {
    FView->KillTimer(ExpandTimer);
    if (!FDropTargetNode || FDropTargetNode->States.Contains(vsExpanded)) return;
    if (FDropTargetNode->ChildCount == 0 && !FDropTargetNode->States.Contains(vsHasChildren)) return;
    TBaseVirtualTree* source = DragManager()->SourceTree();
    if (source) source->DragImage()->Hide();
    ToggleNode(FDropTargetNode);
    if (HandleAllocated()) FView->UpdateWindow();
    if (source) source->DragImage()->Show();
}

// ---- The source side ---------------------------------------------------------------------

void TBaseVirtualTree::DoDragging(TPoint P) {
    if (FStates.Contains(tsEditing)) DoCancelEdit();
    if (FCurrentHotNode) {
        InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = nullptr;
    }
    if (FFocusedNode && !FFocusedNode->States.Contains(vsSelected)) {
        InternalAddToSelection(FFocusedNode, false);
        InvalidateNode(FFocusedNode);
    }
    FDragSelection = GetSortedSelection(true);
    DoStateChange({tsOLEDragging}, {tsOLEDragPending, tsClearPending});
    TScopeGuard done([&] {
        DoStateChange({}, {tsOLEDragging});
        FDragSelection.clear();
        DragImage()->Finish();
    });
    std::shared_ptr<TVTDragManager> manager = DragManager();
    std::shared_ptr<IDataObject> data = manager->DragDataObject();
    PrepareTreeDragPicture(P, data);
    FLastDropMode = dmOnNode;
    uint32_t allowed = 0;
    if (DragOperations.Contains(doCopy)) allowed |= DROPEFFECT_COPY;
    if (DragOperations.Contains(doMove)) allowed |= DROPEFFECT_MOVE;
    if (DragOperations.Contains(doLink)) allowed |= DROPEFFECT_LINK;
    if (allowed == 0) allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    uint32_t effect = DROPEFFECT_NONE;
    ::DoDragDrop(data, manager, allowed, effect);
    DragImage()->Finish();
    // The drag loop took the button's release.
    DoStateChange({},
                  {tsLeftButtonDown, tsMiddleButtonDown, tsRightButtonDown, tsVCLDragging, tsVCLDragPending});
    FView->ReleaseCapture();

    if (effect == DROPEFFECT_MOVE && FOptions->AutoOptions().Contains(toAutoDeleteMovedNodes)) {
        BeginUpdate();
        TScopeGuard end([&] { EndUpdate(); });
        // Nodes the target moved, or that went with another, have left the
        // drag selection already; each is looked for again before it goes.
        const TNodeArray dragged = FDragSelection;
        for (PVirtualNode node : dragged)
            if (std::find(FDragSelection.begin(), FDragSelection.end(), node) != FDragSelection.end())
                DeleteNode(node);
    }
}
