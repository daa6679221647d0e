// Shared by the tree tests: a tree that opens its protected parts, a window
// stand-in with fixed text metrics and a manual clock, the library's
// invariant checker after scripted steps, an event log and a path-based node
// finder.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesCheck.h"

struct TNodeRecord {
    int Key;
    int Tag;
};

class TTestTree;

// The window as the tree sees it: a client area of a set size, every
// character CharWidth pixels wide, images ImageWidth wide, and timers on a
// clock that only Advance moves.
class TTestView : public IVTView {
public:
    bool Window = true;
    int Width = 200;
    int Height = 100;
    int CharWidth = 6;
    int ImageWidth = 16;
    int BarSize = 16;
    int Lines = 3;
    TPoint Cursor{-1, -1};
    TShiftState Keys = 0;
    std::map<uint16_t, char16_t> KeyChars;
    int Beeps = 0;
    int Popups = 0;
    int HelpContext = 0;
    std::vector<int> HelpShown;
    int Invalidations = 0;
    int Frames = 0;
    int Recreations = 0;
    int HeaderRepaints = 0;
    bool Captured = false;
    TCursor ShownCursor = crDefault;
    int DragImageMoves = 0;
    bool DragImageShown = false;
    std::map<int, bool> BarShown;
    uint64_t Now = 0;

    bool HasFocus = false;
    bool HandleAllocated() const override { return Window; }
    bool Focused() const override { return HasFocus; }
    int ClientWidth() const override { return Width; }
    int ClientHeight() const override { return Height; }
    int ScrollBarSize() const override { return BarSize; }
    int WheelScrollLines() const override { return Lines; }
    TPoint CursorPos() const override { return Cursor; }
    TShiftState KeyboardShiftState() const override { return Keys; }
    char16_t CharOfKey(uint16_t Key) const override {
        auto it = KeyChars.find(Key);
        return it == KeyChars.end() ? 0 : it->second;
    }
    int TextWidth(const WideString& Text) const override { return int(Text.size()) * CharWidth; }
    int ImageListWidth(TCustomImageList* Images) const override { return Images ? ImageWidth : 0; }
    void Invalidate() override { ++Invalidations; }
    void RedrawFrame() override { ++Frames; }
    void RecreateWindow() override { ++Recreations; }
    void InvalidateRect(const TRect&) override { ++Invalidations; }
    void RepaintHeader(const TRect*) override { ++HeaderRepaints; }
    void ShowScrollBar(int Bar, bool Show) override { BarShown[Bar] = Show; }
    void SetCursor(TCursor Cursor) override { ShownCursor = Cursor; }
    void SetCapture() override { Captured = true; }
    void ReleaseCapture() override { Captured = false; }
    void ShowHeaderDragImage(TColumnIndex, TPoint, bool) override { DragImageShown = true; }
    void MoveHeaderDragImage(TPoint, bool) override { ++DragImageMoves; }
    void HideHeaderDragImage() override { DragImageShown = false; }
    void Popup(TPopupMenu*, TPoint) override { ++Popups; }
    void Beep() override { ++Beeps; }
    int ControlHelpContext() const override { return HelpContext; }
    void ShowHelp(int Context) override { HelpShown.push_back(Context); }

    // Timers: (re)started with their interval, repeating until killed.
    void SetTimer(unsigned TimerID, unsigned Milliseconds) override {
        FTimers[TimerID] = {Milliseconds, Now + Milliseconds};
    }
    void KillTimer(unsigned TimerID) override { FTimers.erase(TimerID); }
    int64_t TickCount() const override { return int64_t(Now); }
    bool TimerRunning(unsigned TimerID) const { return FTimers.count(TimerID) > 0; }
    // Moves the clock on, firing every timer that falls due on the way.
    void Advance(TBaseVirtualTree& Tree, uint64_t Milliseconds);

private:
    struct TTimer {
        unsigned Interval;
        uint64_t Due;
    };
    std::map<unsigned, TTimer> FTimers;
};

// An image list the tree only passes to the view, which measures it.
TCustomImageList* FakeImages();

class TTestTree : public TBaseVirtualTree {
public:
    TTestTree() : TBaseVirtualTree(nullptr) {}
    // A tree shown in View (ClientWidth x ClientHeight).
    explicit TTestTree(TTestView& View) : TBaseVirtualTree(nullptr) {
        SetView(&View);
        WMSize();
    }

    // The text of a cell, measured by the view; the search compares prefixes of it.
    std::function<WideString(PVirtualNode, TColumnIndex)> TextOf;
    // Check images for every kind but the custom one.
    TCustomImageList* SharedCheckImages = nullptr;

    using TBaseVirtualTree::AddToTempCache;
    using TBaseVirtualTree::CalculateSelectionRect;
    using TBaseVirtualTree::CanAutoScroll;
    using TBaseVirtualTree::ComputeRTLOffset;
    using TBaseVirtualTree::DetermineScrollDirections;
    using TBaseVirtualTree::DoAutoScroll;
    using TBaseVirtualTree::DoGetImageIndex;
    using TBaseVirtualTree::DoGetPopupMenu;
    using TBaseVirtualTree::DoSetOffsetXY;
    using TBaseVirtualTree::FCheckNode;
    using TBaseVirtualTree::FCurrentHotNode;
    using TBaseVirtualTree::FLastSearchNode;
    using TBaseVirtualTree::FTempNodeCache;
    using TBaseVirtualTree::FTempNodeCount;
    using TBaseVirtualTree::GetCheckImage;
    using TBaseVirtualTree::GetMaxRightExtend;
    using TBaseVirtualTree::HandleClickSelection;
    using TBaseVirtualTree::HandleDrawSelection;
    using TBaseVirtualTree::HandleIncrementalSearch;
    using TBaseVirtualTree::NextCheckState;
    using TBaseVirtualTree::SelectNodes;
    using TBaseVirtualTree::SetFocusedNodeAndColumn;
    using TBaseVirtualTree::StartDrawSelection;
    using TBaseVirtualTree::ToggleSelection;
    using TBaseVirtualTree::UnselectNodes;

    using TBaseVirtualTree::AddNodesToSelection;
    using TBaseVirtualTree::AllocateInternalDataArea;
    using TBaseVirtualTree::CacheEntryForNode;
    using TBaseVirtualTree::CacheEntryForPosition;
    using TBaseVirtualTree::CacheLaidOut;
    using TBaseVirtualTree::Change;
    using TBaseVirtualTree::DoStateChange;
    using TBaseVirtualTree::EnsurePositionCache;
    using TBaseVirtualTree::FDropTargetNode;
    using TBaseVirtualTree::FEditNode;
    using TBaseVirtualTree::FFocusedNode;
    using TBaseVirtualTree::FindNodeInSelection;
    using TBaseVirtualTree::FLastChangedNode;
    using TBaseVirtualTree::FLastDropTarget;
    using TBaseVirtualTree::FLastStructureChangeNode;
    using TBaseVirtualTree::FPositionCache;
    using TBaseVirtualTree::FRangeAnchor;
    using TBaseVirtualTree::FSelection;
    using TBaseVirtualTree::FSelectionCount;
    using TBaseVirtualTree::InternalAddToSelection;
    using TBaseVirtualTree::InternalConnectNode;
    using TBaseVirtualTree::InternalRemoveFromSelection;
    using TBaseVirtualTree::IsFullyVisible;
    using TBaseVirtualTree::PackSelection;
    using TBaseVirtualTree::StructureChange;

    // Links a new node that starts invisible, as a loaded stream may.
    PVirtualNode AddInvisible(PVirtualNode Destination, TVTNodeAttachMode Mode) {
        PVirtualNode node = AllocateNode();
        node->States.Exclude(vsVisible);
        InternalConnectNode(node, Destination ? Destination : RootNode(), Mode, this);
        return node;
    }
    void SetLoading(bool On) { SetComponentState(csLoading, On); }

    // False: every position query walks the nodes.
    bool CacheEnabled = true;
    int CacheBuilds = 0;

protected:
    bool DoValidateCache() override {
        if (!CacheEnabled) return false;
        ++CacheBuilds;
        return TBaseVirtualTree::DoValidateCache();
    }
    int DoGetNodeWidth(PVirtualNode Node, TColumnIndex Column, TCanvas*) override {
        return TextOf ? View()->TextWidth(TextOf(Node, Column)) : 0;
    }
    TCustomImageList* GetCheckImageListFor(TCheckImageKind) override { return SharedCheckImages; }
};

// Cell texts by node key (the node's index path "0.2" when the data is not set).
std::function<WideString(PVirtualNode, TColumnIndex)> TextsByPath(TTestTree& Tree,
                                                                  std::map<std::string, std::string> Texts);
// Search by prefix of the cell text of column 0 (or -1).
void SearchByPrefix(TTestTree& Tree);

// Adds Count columns of Width each, with the default options.
void AddColumns(TTestTree& Tree, int Count, int Width);

// The library's checker (CheckTreeInvariants): empty when the tree is sound.
std::string CheckInvariants(TBaseVirtualTree& Tree, bool DenseIndexes = true);

// The node reached by child positions from the root, without initialising.
PVirtualNode At(TBaseVirtualTree& Tree, std::initializer_list<int> Path);

// Node's path as "0.2.1".
std::string PathOf(TTestTree& Tree, PVirtualNode Node);

// One step of a scripted table: the checker runs after each.
struct TStep {
    std::string Name;
    std::function<void(TTestTree&)> Do;
    std::function<void(TTestTree&)> Expect = nullptr;
    bool DenseIndexes = true;
};
void RunScript(TTestTree& Tree, const std::vector<TStep>& Steps);

// Collects events as text lines.
struct TEventLog {
    std::vector<std::string> Lines;
    void Attach(TTestTree& Tree);
    int Count(const std::string& Prefix) const;
};
