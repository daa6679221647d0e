// Keys and focus: navigation and command keys, the space-bar check, the
// incremental search with its timeout, focus messages and the tree's timers
// beyond the change timers.
#include "controls/vtree/VirtualTrees.h"

#include <climits>

#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

using VTPrivate::CheckNormalForm;
using VTPrivate::CheckPressedForm;

namespace {

constexpr TShiftState Modifiers = ssShift | ssAlt | ssCtrl;

bool IsNavigationKey(uint16_t Key) {
    switch (Key) {
    case VK_BACK:
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- Key down ----------------------------------------------------------------------------

unsigned TBaseVirtualTree::WMGetDlgCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (WantTabs ? DLGC_WANTTAB : 0);
}

void TBaseVirtualTree::DropKeyCheck() {
    DoStateChange({}, {tsKeyCheckPending});
    if (!FCheckNode) return;
    FCheckNode->CheckState = uint8_t(CheckNormalForm(TCheckState(FCheckNode->CheckState)));
    RepaintNode(FCheckNode);
    FCheckNode = nullptr;
}

void TBaseVirtualTree::WMKeyDown(uint16_t CharCode, TShiftState Shift) {
    // A resize or a column drag in the header takes Escape first.
    if (CharCode == VK_ESCAPE && !FHeader->States().Empty() && FHeader->HandleCancel()) return;
    if (!DoKeyAction(CharCode, Shift)) return;
    if (FStates.Contains(tsKeyCheckPending) && CharCode != VK_SPACE) DropKeyCheck();
    if (IsNavigationKey(CharCode)) {
        HandleNavigationKey(CharCode, Shift);
        return;
    }
    if (HandleCommandKey(CharCode, Shift)) DoStateChange({tsIncrementalSearchPending});
}

void TBaseVirtualTree::HandleNavigationKey(uint16_t Key, TShiftState Shift) {
    const TVTSelectionOptions selection = FOptions->SelectionOptions();
    const bool multi = selection.Contains(toMultiSelect);
    const bool ctrl = Shift & ssCtrl;
    const bool modifier = Shift & Modifiers;
    const bool shiftSelect = (Shift & ssShift) && multi && !FStates.Contains(tsEditing);
    bool rangeToggle = shiftSelect && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME);
    const bool repaint = rangeToggle || FSelectionCount > 1;
    const bool actAsGrid = FOptions->MiscOptions().Contains(toGridExtensions);
    const bool clearNeeded =
        !(modifier && (!actAsGrid || (Shift & ssShift)) && multi && Key != VK_BACK && Key != VK_TAB);
    PVirtualNode lastFocused = FFocusedNode;
    if (!lastFocused && modifier) lastFocused = GetFirstVisible();
    if (!FRangeAnchor) {
        FRangeAnchor = GetFirstSelected();
        if (!FRangeAnchor) FRangeAnchor = GetFirst();
    }
    const int step = UseRightToLeftReading() ? -1 : 1;
    const int64_t clientHeight = FView->ClientHeight();
    TVirtualTreeColumns* columns = FHeader->Columns();

    switch (Key) {
    case VK_BACK:
        if (FStates.Contains(tsIncrementalSearching))
            DoStateChange({tsIncrementalSearchPending});
        else if (FFocusedNode && FFocusedNode->Parent != FRoot)
            SetFocusedNode(FFocusedNode->Parent);
        break;
    case VK_TAB: {
        if (!selection.Contains(toExtendedFocus) || !FHeader->HasColumns()) break;
        const bool backward = Shift & ssShift;
        PVirtualNode node = FFocusedNode ? FFocusedNode : GetFirstVisible();
        TColumnIndex column = FFocusedColumn;
        if (!node) break;
        if (!columns->IsValidIndex(column))
            column = backward ? columns->LastVisibleColumn() : columns->FirstVisibleColumn();
        else
            column = backward ? columns->PreviousVisibleColumn(column) : columns->NextVisibleColumn(column);
        while (node) {
            while (column >= 0) {
                if (DoFocusChanging(FFocusedNode, node, FFocusedColumn, column)) {
                    SetFocusedNodeAndColumn(node, column);
                    node = nullptr;
                    break;
                }
                column =
                    backward ? columns->PreviousVisibleColumn(column) : columns->NextVisibleColumn(column);
            }
            if (!node) break;
            node = backward ? GetPreviousVisible(node) : GetNextVisible(node);
            column = backward ? columns->LastVisibleColumn() : columns->FirstVisibleColumn();
        }
        break;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        const bool up = Key == VK_PRIOR;
        if (ctrl) {
            SetOffsetY(FOffsetY + (up ? clientHeight : -clientHeight));
            break;
        }
        if (!FFocusedNode) {
            SetFocusedNode(up ? GetFirstVisible() : GetLastVisible());
            break;
        }
        PVirtualNode node = FFocusedNode;
        int64_t passed = 0;
        while (true) {
            PVirtualNode next = up ? GetPreviousVisible(node) : GetNextVisible(node);
            if (!next || passed + GetNodeHeight(node) >= clientHeight) break;
            passed += GetNodeHeight(node);
            node = next;
        }
        SetFocusedNode(node);
        break;
    }
    case VK_HOME:
    case VK_END: {
        const bool first = (Key == VK_HOME) != UseRightToLeftReading();
        PVirtualNode node = first ? GetFirstVisible() : GetLastVisible();
        if (!node) break;
        if (ctrl && !actAsGrid) {
            ScrollIntoView(node, selection.Contains(toCenterScrollIntoView),
                           !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus));
            SetOffsetX(Key == VK_HOME && !UseRightToLeftReading() ? 0 : INT_MIN);
            break;
        }
        TColumnIndex column = NoColumn;
        bool allowed = false;
        if (FHeader->HasColumns()) {
            for (column = first ? columns->FirstVisibleColumn() : columns->LastVisibleColumn(); column >= 0;
                 column = first ? columns->NextVisibleColumn(column) : columns->PreviousVisibleColumn(column))
                if (DoFocusChanging(FFocusedNode, node, FFocusedColumn, column)) {
                    allowed = true;
                    break;
                }
        } else {
            allowed = DoFocusChanging(FFocusedNode, node, FFocusedColumn, NoColumn);
        }
        if (!allowed) break;
        if (actAsGrid) {
            const TColumnIndex old = FFocusedColumn;
            if (!selection.Contains(toFullRowSelect)) FFocusedColumn = column;
            if (ctrl)
                SetFocusedNode(node);
            else if (FFocusedColumn != old)
                DoFocusChange(FFocusedNode, FFocusedColumn);
        } else {
            SetFocusedNode(node);
        }
        break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
        const bool left = Key == VK_LEFT;
        if (ctrl) {
            SetOffsetX(FOffsetX + (left ? step : -step) * int(FIndent));
            break;
        }
        if (selection.Contains(toExtendedFocus) && actAsGrid) {
            TColumnIndex column = left ? columns->PreviousVisibleColumn(FFocusedColumn)
                                       : columns->NextVisibleColumn(FFocusedColumn);
            if (column >= 0) SetFocusedColumn(column);
            break;
        }
        if (!FFocusedNode) {
            SetFocusedNode(GetFirstVisible());
            break;
        }
        const bool expanded = FFocusedNode->States.Contains(vsExpanded);
        const bool hasChildren = FFocusedNode->States.Contains(vsHasChildren);
        if (left) {
            if (expanded && hasChildren && !modifier) {
                ToggleNode(FFocusedNode);
            } else if (FFocusedNode->Parent != FRoot) {
                PVirtualNode parent = FFocusedNode->Parent;
                if (shiftSelect) {
                    if (FFocusedNode->PrevSibling)
                        rangeToggle = true;
                    else if (CompareNodePositions(parent, FRangeAnchor) > 0)
                        RemoveFromSelection(FFocusedNode);
                }
                SetFocusedNode(parent);
            }
        } else {
            if (!expanded && hasChildren && !modifier) {
                ToggleNode(FFocusedNode);
            } else if (expanded) {
                PVirtualNode child = GetFirstVisibleChild(FFocusedNode);
                if (child) {
                    if (shiftSelect && CompareNodePositions(child, FRangeAnchor) < 0)
                        RemoveFromSelection(FFocusedNode);
                    SetFocusedNode(child);
                }
            }
        }
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        const bool up = Key == VK_UP;
        if (ctrl) {
            const int64_t height = FDefaultNodeHeight;
            SetOffsetY(FOffsetY + (up ? height : -height));
            break;
        }
        PVirtualNode node = FFocusedNode
                                ? (up ? GetPreviousVisible(FFocusedNode) : GetNextVisible(FFocusedNode))
                                : (up ? GetLastVisible() : GetFirstVisible());
        if (!node) {
            RepaintNode(FFocusedNode);
            break;
        }
        if (shiftSelect && FFocusedNode && lastFocused) {
            int side = CompareNodePositions(lastFocused, FRangeAnchor);
            if (up ? side > 0 : side < 0) RemoveFromSelection(FFocusedNode);
        }
        if (FFocusedColumn == NoColumn) FFocusedColumn = GetMainColumn();
        SetFocusedNode(node);
        break;
    }
    default:
        break;
    }

    bool addSelection = false;
    if (clearNeeded && !(FFocusedNode == lastFocused && FSelectionCount == 1)) {
        ClearSelection();
        addSelection = true;
    }
    if (!modifier) {
        FRangeAnchor = FFocusedNode;
        FLastSelectionLevel = FFocusedNode ? int(GetNodeLevel(FFocusedNode)) : NoSelectionLevel;
    }
    if (rangeToggle) ToggleSelection(lastFocused, FFocusedNode);
    if (FFocusedNode && (addSelection || FFocusedNode != lastFocused)) AddToSelection(FFocusedNode);
    if (repaint) InvalidateView();
}

bool TBaseVirtualTree::HandleCommandKey(uint16_t Key, TShiftState Shift) {
    // Characters of the main keyboard act as the keypad's.
    switch (FView->CharOfKey(Key)) {
    case u'*':
        Key = VTKey::Multiply;
        break;
    case u'+':
        Key = VTKey::Add;
        break;
    case u'-':
        Key = VTKey::Subtract;
        break;
    case u'/':
        Key = VTKey::Divide;
        break;
    default:
        break;
    }
    const bool ctrl = Shift & ssCtrl, shift = Shift & ssShift;
    const bool searching = FStates.Contains(tsIncrementalSearching);
    switch (Key) {
    case VTKey::F2:
        if (Shift == 0 && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            DoEdit();
        }
        return false;
    case VK_ESCAPE:
        if (IsMouseSelecting()) {
            DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
            InvalidateView();
        }
        return false;
    case VK_SPACE: {
        PVirtualNode node = FFocusedNode;
        if (!FOptions->MiscOptions().Contains(toCheckSupport) || !node || node->CheckType == ctNone)
            return true;
        if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
            node->States.Contains(vsDisabled))
            return false;
        TCheckState target = NextCheckState(TCheckType(node->CheckType), TCheckState(node->CheckState));
        if (DoChecking(node, target)) {
            DoStateChange({tsKeyCheckPending});
            FCheckNode = node;
            FPendingCheckState = target;
            node->CheckState = uint8_t(CheckPressedForm(TCheckState(node->CheckState)));
            RepaintNode(node);
        }
        return false;
    }
    case VTKey::Apps: {
        if (!FFocusedNode) return false;
        TRect r = GetDisplayRect(FFocusedNode, FFocusedColumn, false);
        int width = DoGetNodeWidth(FFocusedNode, FFocusedColumn, nullptr);
        width = std::min(width, FHeader->Columns()->IsValidIndex(FFocusedColumn)
                                    ? FHeader->Columns()->GetItem(FFocusedColumn)->Width()
                                    : FView->ClientWidth());
        TPoint p{r.Left + width / 2, (r.Top + r.Bottom) / 2};
        // A menu of the owner's; an assigned one shows through the context-menu
        // request that follows the key.
        DoStateChange({}, {tsPopupMenuShown});
        DoPopupMenu(FFocusedNode, FFocusedColumn, p);
        return false;
    }
    case VTKey::Multiply:
        if (searching) return true;
        if (FFocusedNode) FullExpand(FFocusedNode);
        return false;
    case VTKey::Add:
        if (searching) return true;
        if (ctrl && shift)
            FullExpand();
        else if (ctrl)
            FHeader->FitAllColumns(true);
        else if (FFocusedNode && !FFocusedNode->States.Contains(vsExpanded))
            ToggleNode(FFocusedNode);
        return false;
    case VTKey::Subtract:
        if (searching) return true;
        if (ctrl && shift)
            FullCollapse();
        else if (ctrl)
            FHeader->RestoreAllWidths();
        else if (FFocusedNode && FFocusedNode->States.Contains(vsExpanded))
            ToggleNode(FFocusedNode);
        return false;
    case VTKey::Divide:
        if (searching) return true;
        if (FFocusedNode) FullCollapse(FFocusedNode);
        return false;
    case VK_F1: {
        if (!OnGetHelpContext) return false;
        int context = 0;
        for (PVirtualNode run = FFocusedNode; run && run != FRoot && context == 0; run = run->Parent)
            OnGetHelpContext(this, run, 0, context);
        if (context == 0) context = FView->ControlHelpContext();
        if (context != 0) FView->ShowHelp(context);
        return false;
    }
    default:
        if ((Shift & (ssCtrl | ssAlt)) == ssCtrl && Key == 'A') {
            SelectAll(true);
            return false;
        }
        return !(Shift & (ssCtrl | ssAlt)) && Key >= 32;
    }
}

void TBaseVirtualTree::WMKeyUp(uint16_t CharCode, TShiftState) {
    if (CharCode != VK_SPACE || !FStates.Contains(tsKeyCheckPending)) return;
    DoStateChange({}, {tsKeyCheckPending});
    PVirtualNode node = FCheckNode;
    FCheckNode = nullptr;
    if (!node) return;
    if (node == FFocusedNode)
        DoCheckClick(node, FPendingCheckState);
    else
        node->CheckState = uint8_t(CheckNormalForm(TCheckState(node->CheckState)));
    RepaintNode(node);
}

void TBaseVirtualTree::WMChar(uint16_t CharCode) {
    if (!FStates.Contains(tsIncrementalSearchPending)) return;
    TScopeGuard leave([&] { DoStateChange({}, {tsIncrementalSearchPending}); });
    HandleIncrementalSearch(CharCode);
}

// ---- Incremental search ------------------------------------------------------------------

void TBaseVirtualTree::SetIncrementalSearch(TVTIncrementalSearch Value) {
    if (Value == FIncrementalSearch) return;
    FIncrementalSearch = Value;
    if (Value == isNone) {
        FView->KillTimer(SearchTimer);
        ResetSearch();
    }
}

void TBaseVirtualTree::ResetSearch() {
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
}

PVirtualNode TBaseVirtualTree::SearchStep(PVirtualNode Node, bool Forward) {
    PVirtualNode next = nullptr;
    switch (FIncrementalSearch) {
    case isAll:
        next = Node ? (Forward ? GetNext(Node) : GetPrevious(Node)) : nullptr;
        if (!next) next = Forward ? GetFirst() : GetLast();
        break;
    case isInitializedOnly:
        next = Node ? (Forward ? GetNextNoInit(Node) : GetPreviousNoInit(Node)) : nullptr;
        if (!next) next = Forward ? GetFirstNoInit() : GetLastNoInit();
        break;
    case isVisibleOnly:
        next = Node ? (Forward ? GetNextVisible(Node) : GetPreviousVisible(Node)) : nullptr;
        if (!next) next = Forward ? GetFirstVisible() : GetLastVisible();
        break;
    default:
        break;
    }
    return next;
}

void TBaseVirtualTree::HandleIncrementalSearch(uint16_t CharCode) {
    FView->KillTimer(SearchTimer);
    if (FIncrementalSearch == isNone) return;
    TScopeGuard restartTimer([&] { FView->SetTimer(SearchTimer, IncrementalSearchTimeout); });
    if (CharCode == 0) return;
    DoStateChange({tsIncrementalSearching});
    const char16_t newChar = CharCode < 256 ? Cp1251ToUnicode((unsigned char)CharCode) : char16_t(CharCode);
    const bool isBack = CharCode == VK_BACK;
    if (isBack && FSearchBuffer.size() <= 1) return;

    PVirtualNode start = nullptr;
    if (IncrementalSearchStart == ssFocusedNode)
        start = FFocusedNode;
    else if (IncrementalSearchStart == ssLastHit)
        start = FLastSearchNode;
    if (start && FIncrementalSearch == isInitializedOnly && !start->States.Contains(vsInitDone))
        start = nullptr;
    if (start && FIncrementalSearch == isVisibleOnly && !IsFullyVisible(start)) start = nullptr;

    bool forward = IncrementalSearchDirection == sdForward;
    if (isBack) forward = !forward;
    bool singleLetter = FSearchBuffer.size() == 1 && !isBack && FSearchBuffer[0] == newChar;
    if (singleLetter && start) singleLetter = DoIncrementalSearch(start, FSearchBuffer + newChar) != 0;

    WideString text;
    if (singleLetter) {
        text = FSearchBuffer;
    } else if (isBack) {
        FSearchBuffer.pop_back();
        text = FSearchBuffer;
    } else {
        text = FSearchBuffer + newChar;
    }

    PVirtualNode run = start;
    if (FSearchBuffer.empty() || !start || singleLetter || isBack) run = SearchStep(start, forward);
    // A walk that began at no node ends where it first looked, so it always ends.
    const PVirtualNode stop = start ? start : run;
    PVirtualNode found = nullptr;
    // A handler that reshapes the tree cannot make the walk endless either.
    for (uint64_t steps = 0; run && steps <= FRoot->TotalCount; ++steps) {
        if (DoIncrementalSearch(run, text) == 0) {
            found = run;
            break;
        }
        run = SearchStep(run, forward);
        if (run == stop) break;
    }
    if (found) {
        ClearSelection();
        FSearchBuffer = text;
        FLastSearchNode = found;
        SetFocusedNode(found);
        SetSelected(found, true);
    } else if (!run || DoIncrementalSearch(run, text) != 0) {
        FView->Beep();
    }
}

// ---- Focus and timers --------------------------------------------------------------------

void TBaseVirtualTree::WMSetFocus() {
    if (FSelectionCount == 0 && FOptions->PaintOptions().Contains(toGhostedIfUnfocused)) return;
    InvalidateView();
}

void TBaseVirtualTree::WMKillFocus() {
    FHeader->HandleCancel();
    for (unsigned timer : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
        FView->KillTimer(timer);
    ResetSearch();
    DoStateChange({}, {tsEditPending, tsIncrementalSearching, tsLeftButtonDown, tsMiddleButtonDown,
                       tsOLEDragPending, tsRightButtonDown, tsScrolling, tsScrollPending, tsVCLDragPending});
    if (FSelectionCount == 0 && FOptions->PaintOptions().Contains(toGhostedIfUnfocused))
        InvalidateNode(FFocusedNode);
    else
        InvalidateView();
}

void TBaseVirtualTree::OtherTimer(unsigned TimerID) {
    switch (TimerID) {
    case ExpandTimer:
        DoDragExpand();
        break;
    case EditTimer:
        DoEdit();
        break;
    case HeaderTimer:
        FHeader->HandleTimer();
        break;
    case ScrollTimer:
        if (FStates.Contains(tsScrollPending)) {
            FView->CancelHint();
            FView->KillTimer(ScrollTimer);
            FView->SetTimer(ScrollTimer, AutoScrollInterval);
            DoStateChange({tsScrolling}, {tsScrollPending});
        }
        DoTimerScroll();
        break;
    case SearchTimer:
        DoStateChange({}, {tsIncrementalSearching});
        FView->KillTimer(SearchTimer);
        ResetSearch();
        break;
    case AnimationTimer:
        AnimationTimerFired();
        break;
    default:
        break;
    }
}
