// The tree's colours, scroll-bar options and clipboard-format list, the
// dispatchers for pop-ups, images and column resizing, and focus columns.
#include <gtest/gtest.h>

#include "TreeHarness.h"

namespace {

TEST(VirtualTreeParts, ColoursReactByKind) {
    TTestView view;
    TTestTree tree(view);
    TVTColors* colors = tree.Colors();
    EXPECT_EQ(clBtnShadow, colors->DisabledColor());
    EXPECT_EQ(clBtnFace, colors->UnfocusedSelectionColor());
    EXPECT_EQ(clBtnShadow, colors->HeaderHotColor());
    view.Invalidations = view.Frames = 0;
    colors->SetColor(7, clRed); // the border: only the frame
    EXPECT_EQ(1, view.Frames);
    EXPECT_EQ(0, view.Invalidations);
    colors->SetColor(5, clBlue); // tree lines and button outlines
    EXPECT_EQ(1, view.Invalidations);
    colors->SetColor(5, clBlue); // unchanged: nothing
    EXPECT_EQ(1, view.Invalidations);
    // Copied whole, and without a repaint inside an update block.
    TTestView otherView;
    TTestTree other(otherView);
    other.BeginUpdate();
    otherView.Invalidations = 0;
    other.SetColors(colors);
    EXPECT_EQ(0, otherView.Invalidations);
    EXPECT_EQ(clRed, other.Colors()->BorderColor());
    EXPECT_EQ(clBlue, other.Colors()->TreeLineColor());
    other.EndUpdate();
    // A tree that is loading only stores the colour.
    TTestView loadingView;
    TTestTree loading(loadingView);
    loading.SetLoading(true);
    loadingView.Invalidations = 0;
    loading.Colors()->SetColor(3, clGreen);
    EXPECT_EQ(0, loadingView.Invalidations);
    EXPECT_EQ(clGreen, loading.Colors()->FocusedSelectionColor());
    loading.SetLoading(false);
}

TEST(VirtualTreeParts, ScrollBarOptionsRecreateTheWindowOnlyWhenShown) {
    TTestView view;
    TTestTree tree(view);
    TScrollBarOptions* options = tree.ScrollBarOptions();
    EXPECT_EQ(ssBoth, options->ScrollBars());
    EXPECT_EQ(20, options->VerticalIncrement);
    options->SetScrollBars(ssNone);
    EXPECT_EQ(1, view.Recreations);
    options->SetScrollBars(ssNone);
    EXPECT_EQ(1, view.Recreations);
    tree.SetLoading(true);
    options->SetScrollBars(ssVertical);
    EXPECT_EQ(1, view.Recreations);
    tree.SetLoading(false);
    TTestTree windowless;
    windowless.ScrollBarOptions()->VerticalIncrement = 7;
    windowless.ScrollBarOptions()->SetAlwaysVisible(true);
    tree.SetScrollBarOptions(windowless.ScrollBarOptions());
    EXPECT_EQ(7, options->VerticalIncrement);
    EXPECT_TRUE(options->AlwaysVisible());
    EXPECT_EQ(ssBoth, options->ScrollBars());
}

class TOtherTree : public TTestTree {};

TEST(VirtualTreeParts, ClipboardFormatsAdmitOnlyFormatsOfTheTreesClass) {
    RegisterVTClipboardFormat<TOtherTree>("Other Tree Data");
    RegisterVTClipboardFormat<TTestTree>("Test Tree Data");
    RegisterVTClipboardFormat<TOtherTree>("test tree data"); // a later registration decides
    TTestTree plain;
    TOtherTree other;
    EXPECT_EQ(-1, plain.ClipboardFormats()->Add("Other Tree Data"));
    EXPECT_EQ(-1, plain.ClipboardFormats()->Add("Test Tree Data"));
    EXPECT_EQ(-1, plain.ClipboardFormats()->Add("Never Registered"));
    EXPECT_EQ(0, other.ClipboardFormats()->Add("Other Tree Data"));
    EXPECT_EQ(1, other.ClipboardFormats()->Add("TEST TREE DATA"));
    EXPECT_EQ(1, other.ClipboardFormats()->Add("Test Tree Data"));
    EXPECT_EQ(2, other.ClipboardFormats()->Count());
    EXPECT_THROW(other.ClipboardFormats()->Insert(0, "Other Tree Data"), EStringListError);
    other.ClipboardFormats()->Insert(0, "Never Registered"); // refused quietly
    EXPECT_EQ(2, other.ClipboardFormats()->Count());
    // Copying keeps only what the target admits.
    plain.SetClipboardFormats(other.ClipboardFormats());
    EXPECT_EQ(0, plain.ClipboardFormats()->Count());
}

TEST(VirtualTreeParts, PopupMenuIsAskedUpTheParents) {
    TTestView view;
    TTestTree tree(view);
    tree.OnInitNode = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& S) {
        S = {ivsHasChildren, ivsExpanded};
    };
    tree.OnInitChildren = [](TBaseVirtualTree* T, PVirtualNode N, uint32_t& C) {
        C = T->GetNodeLevel(N) < 2 ? 1 : 0;
    };
    tree.SetRootNodeCount(1);
    tree.ValidateNode(nullptr, true);
    EXPECT_EQ(nullptr, tree.DoGetPopupMenu(At(tree, {0, 0, 0}), 0, TPoint{}));
    std::vector<std::string> asked;
    tree.OnGetPopupMenu = [&](TBaseVirtualTree*, PVirtualNode N, TColumnIndex C, TPoint, bool&,
                              TPopupMenu*&) {
        asked.push_back((N ? PathOf(tree, N) : "nil") + "/" + std::to_string(C));
    };
    tree.DoGetPopupMenu(At(tree, {0, 0, 0}), 1, TPoint{});
    EXPECT_EQ((std::vector<std::string>{"0.0.0/1", "0.0/1", "0/1"}), asked);
    asked.clear();
    tree.DoGetPopupMenu(nullptr, 1, TPoint{});
    EXPECT_EQ((std::vector<std::string>{"nil/-1"}), asked);
    asked.clear();
    tree.OnGetPopupMenu = [&](TBaseVirtualTree*, PVirtualNode N, TColumnIndex, TPoint, bool& AskParent,
                              TPopupMenu*&) {
        asked.push_back(PathOf(tree, N));
        AskParent = false;
    };
    tree.DoGetPopupMenu(At(tree, {0, 0, 0}), 1, TPoint{});
    EXPECT_EQ((std::vector<std::string>{"0.0.0"}), asked);
}

TEST(VirtualTreeParts, ImageIndexPrefersTheExtendedEvent) {
    TTestView view;
    TTestTree tree(view);
    tree.SetRootNodeCount(1);
    bool ghosted = false;
    int index = -1;
    EXPECT_EQ(nullptr, tree.DoGetImageIndex(tree.GetFirst(), ikNormal, 0, ghosted, index));
    EXPECT_EQ(-1, index);
    tree.OnGetImageIndex = [](TBaseVirtualTree*, PVirtualNode, TVTImageKind, TColumnIndex, bool&, int& I) {
        I = 1;
    };
    tree.DoGetImageIndex(tree.GetFirst(), ikNormal, 0, ghosted, index);
    EXPECT_EQ(1, index);
    tree.OnGetImageIndexEx = [](TBaseVirtualTree*, PVirtualNode, TVTImageKind, TColumnIndex, bool& G, int& I,
                                TCustomImageList*& L) {
        I = 2;
        G = true;
        L = FakeImages();
    };
    EXPECT_EQ(FakeImages(), tree.DoGetImageIndex(tree.GetFirst(), ikNormal, 0, ghosted, index));
    EXPECT_EQ(2, index);
    EXPECT_TRUE(ghosted);
}

TEST(VirtualTreeParts, ColumnResizeRemeasuresMultilineRowsAndRepaints) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 2, 50);
    tree.OnInitNode = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& S) {
        S = {ivsMultiline};
    };
    tree.SetRootNodeCount(2);
    tree.ValidateNode(nullptr, true);
    tree.GetFirst()->States.Include(vsHeightMeasured);
    std::vector<TColumnIndex> resized;
    tree.OnColumnResize = [&](TVTHeader*, TColumnIndex C) { resized.push_back(C); };
    view.Invalidations = 0;
    tree.Header()->Columns()->GetItem(1)->SetWidth(80);
    EXPECT_EQ((std::vector<TColumnIndex>{1}), resized);
    EXPECT_FALSE(tree.GetFirst()->States.Contains(vsHeightMeasured));
    EXPECT_GE(view.Invalidations, 1);
    // Without a window nothing reacts.
    TTestTree windowless;
    AddColumns(windowless, 1, 50);
    windowless.OnColumnResize = [&](TVTHeader*, TColumnIndex C) { resized.push_back(C); };
    windowless.Header()->Columns()->GetItem(0)->SetWidth(70);
    EXPECT_EQ(1u, resized.size());
}

TEST(VirtualTreeParts, FocusedColumnChangesAskAndTell) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 3, 50);
    tree.SetRootNodeCount(2);
    std::vector<std::string> log;
    tree.OnFocusChanged = [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex C) {
        log.push_back("changed " + std::to_string(C));
    };
    tree.SetFocusedNode(tree.GetFirst());
    log.clear();
    tree.SetFocusedColumn(2);
    tree.SetFocusedColumn(2);
    EXPECT_EQ((std::vector<std::string>{"changed 2"}), log);
    tree.OnFocusChanging = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex, TColumnIndex,
                              bool& Allowed) { Allowed = false; };
    tree.SetFocusedColumn(1);
    tree.SetFocusedNodeAndColumn(tree.GetFirst()->NextSibling, 1);
    EXPECT_EQ(2, tree.FocusedColumn());
    EXPECT_EQ(tree.GetFirst(), tree.FocusedNode());
    EXPECT_EQ(1u, log.size());
    tree.OnFocusChanging = nullptr;
    tree.SetFocusedNodeAndColumn(tree.GetFirst()->NextSibling, 0);
    EXPECT_EQ(0, tree.FocusedColumn());
    EXPECT_EQ((std::vector<std::string>{"changed 2", "changed 0"}), log);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeParts, SelectingWithoutAFocusedColumnTakesTheMainColumn) {
    TTestView view;
    TTestTree tree(view);
    tree.TreeOptions()->SetSelectionOptions({toExtendedFocus});
    AddColumns(tree, 3, 50);
    tree.Header()->SetMainColumn(1);
    tree.SetRootNodeCount(2);
    EXPECT_EQ(NoColumn, tree.FocusedColumn());
    tree.SetSelected(tree.GetFirst(), true);
    EXPECT_EQ(1, tree.FocusedColumn());
    TVirtualTreeColumn* main = tree.Header()->Columns()->GetItem(1);
    main->SetOptions(main->Options() - TVTColumnOptions{coVisible});
    tree.ClearSelection();
    tree.SetSelected(tree.GetFirst(), true);
    EXPECT_EQ(0, tree.FocusedColumn()); // the main column is hidden: the first visible one
}

} // namespace
