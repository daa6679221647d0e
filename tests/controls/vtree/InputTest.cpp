// Selection by clicks and by the rubber band, its constraints, keyboard
// scripts and incremental search on the manual clock.
#include <gtest/gtest.h>

#include <sstream>

#include "TreeHarness.h"

namespace {

std::string Selection(TTestTree& Tree) {
    std::string result;
    for (PVirtualNode n : Tree.GetSortedSelection(false))
        result += (result.empty() ? "" : ",") + PathOf(Tree, n);
    return result;
}

std::string Focus(TTestTree& Tree) {
    return Tree.FocusedNode() ? PathOf(Tree, Tree.FocusedNode()) : "nil";
}

PVirtualNode Path(TTestTree& Tree, const std::string& P) {
    if (P.empty() || P == "nil") return nullptr;
    PVirtualNode node = Tree.RootNode();
    std::istringstream in(P);
    std::string part;
    while (std::getline(in, part, '.')) {
        node = node->FirstChild;
        for (int i = std::stoi(part); node && i > 0; --i)
            node = node->NextSibling;
    }
    return node;
}

void AddSelectionOptions(TTestTree& Tree, TVTSelectionOptions Options) {
    Tree.TreeOptions()->SetSelectionOptions(Tree.TreeOptions()->SelectionOptions() + Options);
}

// Node "0" has children "0.0" and "0.1", collapsed unless Expanded; then
// top-level nodes up to Count.
void Hierarchy(TTestTree& Tree, uint32_t Count, bool Expanded) {
    Tree.OnInitNode = [Expanded](TBaseVirtualTree*, PVirtualNode Parent, PVirtualNode N,
                                 TVirtualNodeInitStates& S) {
        if (!Parent && N->Index == 0) {
            S.Include(ivsHasChildren);
            if (Expanded) S.Include(ivsExpanded);
        }
    };
    Tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& C) { C = 2; };
    Tree.SetRootNodeCount(Count);
    Tree.ValidateNode(nullptr, true);
}

// ---- Click selection ----

struct TClickCase {
    const char* Name;
    std::vector<std::string> Selected;
    std::string Anchor;
    std::string Clicked;
    TShiftState Shift;
    bool DragPending;
    std::string Expected;
    std::string ExpectedAnchor;
};

TEST(VirtualTreeSelection, ClickSelection) {
    const std::vector<TClickCase> cases = {
        {"plain click selects", {}, "", "2", 0, false, "2", "2"},
        {"plain click adds", {"1"}, "1", "3", 0, false, "1,3", "3"},
        {"ctrl click adds", {"1"}, "1", "3", ssCtrl, false, "1,3", "3"},
        {"ctrl click removes", {"1", "3"}, "1", "3", ssCtrl, false, "1", "3"},
        {"ctrl click waits for the release when a drag may start", {"1"}, "1", "3", ssCtrl, true, "1", "3"},
        {"shift click selects from the anchor", {"1"}, "1", "4", ssShift, false, "1,2,3,4", "1"},
        {"shift click upwards", {"4"}, "4", "1", ssShift, false, "1,2,3,4", "4"},
        {"shift click replaces the selection", {"0", "5"}, "2", "4", ssShift, false, "2,3,4", "2"},
        {"shift click without an anchor starts at the first node", {}, "", "2", ssShift, false, "0,1,2", "0"},
        {"ctrl shift click adds the range", {"5"}, "1", "3", ssCtrl | ssShift, false, "1,2,3,5", "1"},
    };
    for (const TClickCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree tree(view);
        AddSelectionOptions(tree, {toMultiSelect});
        tree.SetRootNodeCount(6);
        for (const std::string& p : c.Selected)
            tree.SetSelected(Path(tree, p), true);
        tree.FRangeAnchor = Path(tree, c.Anchor);
        tree.HandleClickSelection(Path(tree, c.Clicked), c.Shift, c.DragPending);
        EXPECT_EQ("", CheckInvariants(tree));
        EXPECT_EQ(c.Expected, Selection(tree));
        EXPECT_EQ(c.ExpectedAnchor, tree.FRangeAnchor ? PathOf(tree, tree.FRangeAnchor) : "");
        EXPECT_EQ(c.DragPending, tree.TreeStates().Contains(tsToggleFocusedSelection));
    }
}

TEST(VirtualTreeSelection, LevelAndSiblingConstraints) {
    TTestView view;
    TTestTree tree(view);
    AddSelectionOptions(tree, {toMultiSelect, toLevelSelectConstraint});
    Hierarchy(tree, 3, true);
    RunScript(tree,
              {
                  {"select a child", [](TTestTree& T) { T.HandleClickSelection(Path(T, "0.0"), 0, false); }},
                  {"ctrl click another level",
                   [](TTestTree& T) { T.HandleClickSelection(Path(T, "1"), ssCtrl, false); },
                   [](TTestTree& T) { EXPECT_EQ("0.0", Selection(T)); }},
                  {"ctrl click the same level",
                   [](TTestTree& T) { T.HandleClickSelection(Path(T, "0.1"), ssCtrl, false); },
                   [](TTestTree& T) { EXPECT_EQ("0.0,0.1", Selection(T)); }},
                  {"cleared, any level goes", [](TTestTree& T) { T.ClearSelection(); }},
                  {"ctrl click a top-level node",
                   [](TTestTree& T) { T.HandleClickSelection(Path(T, "1"), ssCtrl, false); },
                   [](TTestTree& T) { EXPECT_EQ("1", Selection(T)); }},
              });
    TTestView siblingsView;
    TTestTree siblings(siblingsView);
    AddSelectionOptions(siblings, {toMultiSelect, toSiblingSelectConstraint});
    Hierarchy(siblings, 3, true);
    RunScript(
        siblings,
        {
            {"select a child", [](TTestTree& T) { T.HandleClickSelection(Path(T, "0.0"), 0, false); }},
            {"its sibling", [](TTestTree& T) { T.HandleClickSelection(Path(T, "0.1"), ssCtrl, false); }},
            {"a node of another parent",
             [](TTestTree& T) { T.HandleClickSelection(Path(T, "2"), ssCtrl, false); },
             [](TTestTree& T) {
                 EXPECT_EQ("0.0,0.1", Selection(T));
                 EXPECT_EQ("0.0", PathOf(T, T.FRangeAnchor));
             }},
            {"a shift range across parents keeps to the siblings",
             [](TTestTree& T) { T.HandleClickSelection(Path(T, "2"), ssShift, false); },
             [](TTestTree& T) { EXPECT_EQ("0.0,0.1", Selection(T)); }},
        });
}

TEST(VirtualTreeSelection, DisabledNodesAreNotSelected) {
    TTestView view;
    TEventLog log;
    TTestTree tree(view);
    log.Attach(tree);
    tree.OnInitNode = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode N, TVirtualNodeInitStates& S) {
        if (N->Index == 1) S.Include(ivsDisabled);
    };
    tree.SetRootNodeCount(3);
    tree.ValidateNode(nullptr, true);
    log.Lines.clear();
    tree.SetSelected(Path(tree, "1"), true);
    tree.HandleClickSelection(Path(tree, "1"), 0, false);
    EXPECT_EQ("", Selection(tree));
    EXPECT_EQ(0, log.Count("change"));
}

// ---- The rubber band ----

struct TBandStep {
    int X, Y;
    std::string Expected;
};

struct TBandCase {
    const char* Name;
    TVTSelectionOptions Options;
    std::vector<std::string> Selected;
    TPoint Start;
    TShiftState Shift;
    std::vector<TBandStep> Steps;
};

TEST(VirtualTreeSelection, RubberBand) {
    // Texts are 30 pixels wide from x = 22 in rows 18 high.
    const std::vector<TBandCase> cases = {
        {"down over four rows and back",
         {},
         {},
         {30, 5},
         0,
         {{40, 60, "0,1,2,3"}, {40, 30, "0,1"}, {40, 5, ""}}},
        {"left of the text still overlaps it", {}, {}, {30, 5}, 0, {{10, 40, "0,1,2"}}},
        {"right of the text misses it", {}, {}, {60, 5}, 0, {{100, 40, ""}}},
        {"rows only with simple selection", {toSimpleDrawSelection}, {}, {60, 5}, 0, {{100, 40, "0,1,2"}}},
        {"ctrl toggles", {}, {"5"}, {30, 80}, ssCtrl, {{40, 100, "4"}, {40, 75, "4,5"}}},
        {"without ctrl the old selection stays", {}, {"5"}, {30, 80}, 0, {{40, 100, "4,5"}, {40, 75, "4"}}},
    };
    for (const TBandCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        view.Height = 200;
        TTestTree tree(view);
        AddSelectionOptions(tree, c.Options + TVTSelectionOptions{toMultiSelect});
        tree.TextOf = [](PVirtualNode, TColumnIndex) { return WideString(u"node0"); };
        tree.SetRootNodeCount(10);
        for (const std::string& p : c.Selected)
            tree.SetSelected(Path(tree, p), true);
        tree.StartDrawSelection(c.Start.X, c.Start.Y, c.Shift);
        for (const TBandStep& s : c.Steps) {
            SCOPED_TRACE(std::to_string(s.X) + "," + std::to_string(s.Y));
            if (tree.CalculateSelectionRect(s.X, s.Y)) tree.HandleDrawSelection(s.X, s.Y);
            EXPECT_EQ(s.Expected, Selection(tree));
            EXPECT_EQ("", CheckInvariants(tree));
        }
    }
}

// ---- Keys ----

struct TKey {
    uint16_t Code;
    TShiftState Shift = 0;
};

struct TKeyCase {
    const char* Name;
    std::function<void(TTestTree&)> Setup;
    std::string Focus;
    std::vector<std::string> Selected;
    std::vector<TKey> Keys;
    std::string ExpectedFocus;
    std::string ExpectedSelection;
    int64_t ExpectedOffsetY = 0;
};

void Press(TTestTree& Tree, TKey Key) {
    Tree.WMKeyDown(Key.Code, Key.Shift);
    Tree.WMKeyUp(Key.Code, Key.Shift);
}

TEST(VirtualTreeKeys, NavigationScripts) {
    auto flat = [](TTestTree& T) { T.SetRootNodeCount(20); };
    auto multi = [](TTestTree& T) {
        AddSelectionOptions(T, {toMultiSelect});
        T.SetRootNodeCount(20);
    };
    auto tree = [](TTestTree& T) { Hierarchy(T, 3, false); };
    const std::vector<TKeyCase> cases = {
        {"down moves and selects", flat, "0", {"0"}, {{VK_DOWN}}, "1", "1"},
        {"down without a focus takes the first", flat, "nil", {}, {{VK_DOWN}}, "0", "0"},
        {"up without a focus takes the last", flat, "nil", {}, {{VK_UP}}, "19", "19", -260},
        {"shift down extends", multi, "0", {"0"}, {{VK_DOWN, ssShift}, {VK_DOWN, ssShift}}, "2", "0,1,2"},
        {"shift up shrinks again",
         multi,
         "0",
         {"0"},
         {{VK_DOWN, ssShift}, {VK_DOWN, ssShift}, {VK_UP, ssShift}},
         "1",
         "0,1"},
        {"ctrl down only scrolls", flat, "0", {"0"}, {{VK_DOWN, ssCtrl}}, "0", "0", -18},
        {"ctrl page down scrolls a page", flat, "0", {"0"}, {{VK_NEXT, ssCtrl}}, "0", "0", -100},
        {"end and home", flat, "3", {"3"}, {{VK_END}}, "19", "19", -260},
        {"home after end", flat, "3", {"3"}, {{VK_END}, {VK_HOME}}, "0", "0", 0},
        {"page down stops before the page is passed", flat, "0", {"0"}, {{VK_NEXT}}, "5", "5", -8},
        {"page up from the middle", flat, "10", {"10"}, {{VK_PRIOR}}, "5", "5", -90},
        {"shift page down selects the range",
         multi,
         "0",
         {"0"},
         {{VK_NEXT, ssShift}},
         "5",
         "0,1,2,3,4,5",
         -8},
        {"right expands, then enters", tree, "0", {"0"}, {{VK_RIGHT}, {VK_RIGHT}}, "0.0", "0.0"},
        {"left goes to the parent, then collapses",
         tree,
         "0",
         {"0"},
         {{VK_RIGHT}, {VK_RIGHT}, {VK_LEFT}, {VK_LEFT}},
         "0",
         "0"},
        {"backspace goes to the parent",
         tree,
         "0",
         {"0"},
         {{VK_RIGHT}, {VK_DOWN}, {VK_DOWN}, {VK_BACK}},
         "0",
         "0"},
        {"ctrl a selects all",
         multi,
         "0",
         {"0"},
         {{'A', ssCtrl}},
         "0",
         "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19"},
    };
    for (const TKeyCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree t(view);
        c.Setup(t);
        if (c.Focus != "nil") t.SetFocusedNode(Path(t, c.Focus));
        for (const std::string& p : c.Selected)
            t.SetSelected(Path(t, p), true);
        t.FRangeAnchor = t.FocusedNode();
        for (TKey k : c.Keys) {
            Press(t, k);
            EXPECT_EQ("", CheckInvariants(t));
        }
        EXPECT_EQ(c.ExpectedFocus, Focus(t));
        EXPECT_EQ(c.ExpectedSelection, Selection(t));
        EXPECT_EQ(c.ExpectedOffsetY, t.OffsetY());
    }
}

TEST(VirtualTreeKeys, TabWalksTheCellsWithExtendedFocus) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 3, 50);
    AddSelectionOptions(tree, {toExtendedFocus});
    tree.SetRootNodeCount(3);
    tree.SetFocusedNode(Path(tree, "0"));
    tree.SetFocusedColumn(0);
    std::vector<std::string> cells;
    for (TShiftState shift : {0u, 0u, 0u, TShiftState(ssShift)}) {
        Press(tree, {VK_TAB, shift});
        cells.push_back(Focus(tree) + "/" + std::to_string(tree.FocusedColumn()));
    }
    EXPECT_EQ((std::vector<std::string>{"0/1", "0/2", "1/0", "0/2"}), cells);
    tree.OnFocusChanging = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex, TColumnIndex C,
                              bool& Allowed) { Allowed = C != 0; };
    Press(tree, {VK_TAB});
    EXPECT_EQ("1/1", Focus(tree) + "/" + std::to_string(tree.FocusedColumn()));
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeKeys, KeypadKeysExpandCollapseAndFitColumns) {
    TTestView view;
    TTestTree tree(view);
    Hierarchy(tree, 3, false);
    tree.SetFocusedNode(Path(tree, "0"));
    view.KeyChars[0xBB] = u'+';
    Press(tree, {0xBB}); // the main keyboard's plus acts as the keypad's
    EXPECT_TRUE(Path(tree, "0")->States.Contains(vsExpanded));
    Press(tree, {VTKey::Subtract});
    EXPECT_FALSE(Path(tree, "0")->States.Contains(vsExpanded));
    Press(tree, {VTKey::Multiply});
    EXPECT_TRUE(Path(tree, "0")->States.Contains(vsExpanded));
    Press(tree, {VTKey::Divide});
    EXPECT_FALSE(Path(tree, "0")->States.Contains(vsExpanded));
    AddColumns(tree, 2, 50);
    tree.TextOf = TextsByPath(tree, {{"1", "abcdefghijklmnop"}});
    Press(tree, {VTKey::Add, ssCtrl});
    EXPECT_EQ(4 + 18 + 96, tree.Header()->Columns()->GetItem(0)->Width());
    Press(tree, {VTKey::Subtract, ssCtrl});
    EXPECT_EQ(50, tree.Header()->Columns()->GetItem(0)->Width());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeKeys, HelpAsksTheNodeThenItsParents) {
    TTestView view;
    TTestTree tree(view);
    Hierarchy(tree, 3, true);
    tree.SetFocusedNode(Path(tree, "0.1"));
    Press(tree, {VK_F1});
    EXPECT_TRUE(view.HelpShown.empty()); // no handler, no help
    std::vector<std::string> asked;
    tree.OnGetHelpContext = [&](TBaseVirtualTree*, PVirtualNode N, TColumnIndex, int& Context) {
        asked.push_back(PathOf(tree, N));
        if (PathOf(tree, N) == "0") Context = 77;
    };
    Press(tree, {VK_F1});
    EXPECT_EQ((std::vector<std::string>{"0.1", "0"}), asked);
    EXPECT_EQ((std::vector<int>{77}), view.HelpShown);
    tree.OnGetHelpContext = [](TBaseVirtualTree*, PVirtualNode, TColumnIndex, int&) {};
    view.HelpContext = 5;
    Press(tree, {VK_F1});
    EXPECT_EQ((std::vector<int>{77, 5}), view.HelpShown);
}

TEST(VirtualTreeKeys, EscapeDropsTheRubberBand) {
    TTestView view;
    TTestTree tree(view);
    tree.SetRootNodeCount(3);
    tree.StartDrawSelection(5, 5, 0);
    EXPECT_TRUE(tree.TreeStates().Contains(tsDrawSelecting));
    Press(tree, {VK_ESCAPE});
    EXPECT_FALSE(tree.TreeStates().Contains(tsDrawSelecting));
    EXPECT_FALSE(tree.TreeStates().Contains(tsIncrementalSearchPending));
}

// ---- Incremental search ----

struct TSearchStep {
    std::string Do; // characters to type, "wait N", "back", or "delete P"
    std::string Focus;
    std::string Buffer;
};

struct TSearchCase {
    const char* Name;
    TVTIncrementalSearch Mode;
    TVTSearchStart Start;
    std::string InitialFocus;
    std::vector<TSearchStep> Steps;
    int Beeps;
};

void Type(TTestTree& Tree, char16_t Ch) {
    uint16_t key = Ch >= u'a' && Ch <= u'z' ? uint16_t(Ch - u'a' + 'A') : uint16_t(Ch);
    Tree.WMKeyDown(key, 0);
    Tree.WMChar(uint16_t(Ch));
    Tree.WMKeyUp(key, 0);
}

TEST(VirtualTreeSearch, Scripts) {
    // apple, banana, blueberry, cherry, avocado, apricot
    const std::vector<TSearchCase> cases = {
        {"letters extend the text within the timeout",
         isAll,
         ssFocusedNode,
         "nil",
         {{"bl", "2", "bl"}, {"wait 999", "2", "bl"}, {"wait 1", "2", ""}, {"c", "3", "c"}},
         0},
        {"a pause starts a new search",
         isAll,
         ssFocusedNode,
         "nil",
         {{"b", "1", "b"}, {"wait 1000", "1", ""}, {"a", "4", "a"}},
         0},
        {"a repeated letter cycles and wraps",
         isAll,
         ssFocusedNode,
         "nil",
         {{"a", "0", "a"}, {"a", "4", "a"}, {"a", "5", "a"}, {"a", "0", "a"}},
         0},
        {"backspace shortens and searches backwards",
         isAll,
         ssFocusedNode,
         "nil",
         {{"apr", "5", "apr"}, {"back", "0", "ap"}},
         0},
        {"no match from no node ends after one round",
         isAll,
         ssAlwaysStartOver,
         "nil",
         {{"z", "nil", ""}},
         1},
        {"no match keeps the focus", isVisibleOnly, ssFocusedNode, "3", {{"z", "3", ""}}, 1},
        {"nothing happens without incremental search", isNone, ssFocusedNode, "3", {{"ab", "3", ""}}, 0},
        {"the last hit is the start", isAll, ssLastHit, "nil", {{"b", "1", "b"}, {"r", "1", "b"}}, 1},
        {"a deleted hit is forgotten",
         isAll,
         ssLastHit,
         "nil",
         {{"bl", "2", "bl"}, {"delete 2", "nil", "bl"}, {"wait 1000", "nil", ""}, {"b", "1", "b"}},
         0},
    };
    for (const TSearchCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree tree(view);
        tree.TextOf = TextsByPath(tree, {{"0", "apple"},
                                         {"1", "banana"},
                                         {"2", "blueberry"},
                                         {"3", "cherry"},
                                         {"4", "avocado"},
                                         {"5", "apricot"}});
        SearchByPrefix(tree);
        tree.SetRootNodeCount(6);
        tree.SetIncrementalSearch(c.Mode);
        tree.IncrementalSearchStart = c.Start;
        if (c.InitialFocus != "nil") tree.SetFocusedNode(Path(tree, c.InitialFocus));
        for (const TSearchStep& s : c.Steps) {
            SCOPED_TRACE(s.Do);
            if (s.Do.rfind("wait ", 0) == 0) {
                view.Advance(tree, std::stoul(s.Do.substr(5)));
            } else if (s.Do == "back") {
                tree.WMKeyDown(VK_BACK, 0);
                tree.WMChar(VK_BACK);
            } else if (s.Do.rfind("delete ", 0) == 0) {
                // The texts follow the paths, so the renumbered nodes keep their words.
                tree.DeleteNode(Path(tree, s.Do.substr(7)));
                tree.TextOf = TextsByPath(tree, {{"0", "apple"}, {"1", "banana"}, {"2", "cherry"}});
            } else {
                for (char ch : s.Do)
                    Type(tree, char16_t(ch));
            }
            EXPECT_EQ(s.Focus, Focus(tree));
            EXPECT_EQ(s.Buffer, WideToUtf8(tree.SearchBuffer()));
            EXPECT_EQ("", CheckInvariants(tree));
        }
        EXPECT_EQ(c.Beeps, view.Beeps);
    }
}

} // namespace
