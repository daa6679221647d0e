// Check states: the next state of a click, propagation down and up through
// three-state boxes, radio groups, refusals, the space key and the images.
#include <gtest/gtest.h>

#include "TreeHarness.h"

namespace {

// "0" three-state over "0.0" (three-state over two boxes) and the box "0.1";
// "1" holds three radio buttons; "2" a button; "3" a disabled box.
struct TCheckFixture {
    TTestView View;
    std::vector<std::string> Log;
    TTestTree Tree{View};

    TCheckFixture() {
        Tree.OnInitNode = [this](TBaseVirtualTree*, PVirtualNode, PVirtualNode N, TVirtualNodeInitStates& S) {
            std::string p = PathOf(Tree, N);
            if (p == "0" || p == "0.0" || p == "1") S = {ivsHasChildren, ivsExpanded};
            if (p == "3") S = {ivsDisabled};
            if (p == "0" || p == "0.0")
                Tree.SetCheckType(N, ctTriStateCheckBox);
            else if (p.rfind("0.", 0) == 0 || p == "3")
                Tree.SetCheckType(N, ctCheckBox);
            else if (p.rfind("1.", 0) == 0)
                Tree.SetCheckType(N, ctRadioButton);
            else if (p == "2")
                Tree.SetCheckType(N, ctButton);
        };
        Tree.OnInitChildren = [this](TBaseVirtualTree*, PVirtualNode N, uint32_t& Count) {
            Count = PathOf(Tree, N) == "1" ? 3 : 2;
        };
        Tree.SetRootNodeCount(4);
        Tree.ValidateNode(nullptr, true);
        Tree.OnChecking = [this](TBaseVirtualTree*, PVirtualNode N, TCheckState&, bool&) {
            Log.push_back("checking " + PathOf(Tree, N));
        };
        Tree.OnChecked = [this](TBaseVirtualTree*, PVirtualNode N) {
            Log.push_back("checked " + PathOf(Tree, N));
        };
    }

    PVirtualNode N(const std::string& P) {
        PVirtualNode node = Tree.RootNode();
        for (size_t i = 0; i < P.size(); i += 2) {
            node = node->FirstChild;
            for (int k = P[i] - '0'; k > 0; --k)
                node = node->NextSibling;
        }
        return node;
    }

    // The states as letters: u unchecked, c checked, m mixed, upper case when pressed.
    std::string States(std::initializer_list<const char*> Paths) {
        std::string result;
        for (const char* p : Paths)
            result += "uUcCmM"[Tree.CheckState(N(p))];
        return result;
    }
};

struct TCheckStep {
    const char* Node;
    TCheckState State;
};

struct TCheckCase {
    const char* Name;
    std::vector<TCheckStep> Before;
    TCheckStep Step;
    const char* Refused;  // a node whose change the owner refuses, or ""
    std::string Expected; // 0, 0.0, 0.0.0, 0.0.1, 0.1
    std::vector<std::string> Log;
};

TEST(VirtualTreeChecks, Propagation) {
    const std::vector<TCheckCase> cases = {
        {"checking a three-state parent checks every box below",
         {},
         {"0", csCheckedNormal},
         "",
         "ccccc",
         {"checking 0", "checking 0.0", "checking 0.0.0", "checked 0.0.0", "checking 0.0.1", "checked 0.0.1",
          "checked 0.0", "checking 0.1", "checked 0.1", "checked 0"}},
        {"a refused child leaves the parent mixed",
         {},
         {"0", csCheckedNormal},
         "0.1",
         "mcccu",
         {"checking 0", "checking 0.0", "checking 0.0.0", "checked 0.0.0", "checking 0.0.1", "checked 0.0.1",
          "checked 0.0", "checking 0.1", "checked 0"}},
        {"one of two children checked makes the parent mixed",
         {},
         {"0.1", csCheckedNormal},
         "",
         "muuuc",
         {"checking 0.1", "checking 0", "checked 0", "checked 0.1"}},
        {"both children checked make the parent checked",
         {{"0.1", csCheckedNormal}},
         {"0.0", csCheckedNormal},
         "",
         "ccccc",
         {"checking 0.0", "checking 0.0.0", "checked 0.0.0", "checking 0.0.1", "checked 0.0.1", "checking 0",
          "checked 0", "checked 0.0"}},
        {"unchecking the last checked child unchecks the parent",
         {{"0.1", csCheckedNormal}},
         {"0.1", csUncheckedNormal},
         "",
         "uuuuu",
         {"checking 0.1", "checking 0", "checked 0", "checked 0.1"}},
        {"a grandchild reaches every ancestor once",
         {},
         {"0.0.0", csCheckedNormal},
         "",
         "mmcuu",
         {"checking 0.0.0", "checking 0.0", "checking 0", "checked 0", "checked 0.0", "checked 0.0.0"}},
        {"an ancestor that refuses stops the news",
         {},
         {"0.0.0", csCheckedNormal},
         "0",
         "umcuu",
         {"checking 0.0.0", "checking 0.0", "checking 0", "checked 0.0", "checked 0.0.0"}},
    };
    for (const TCheckCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TCheckFixture f;
        for (const TCheckStep& s : c.Before)
            f.Tree.SetCheckState(f.N(s.Node), s.State);
        f.Log.clear();
        std::string refused = c.Refused;
        auto log = f.Tree.OnChecking;
        f.Tree.OnChecking = [&](TBaseVirtualTree* T, PVirtualNode N, TCheckState& S, bool& Allowed) {
            log(T, N, S, Allowed);
            if (PathOf(f.Tree, N) == refused) Allowed = false;
        };
        f.Tree.SetCheckState(f.N(c.Step.Node), c.Step.State);
        EXPECT_EQ(c.Expected, f.States({"0", "0.0", "0.0.0", "0.0.1", "0.1"}));
        EXPECT_EQ(c.Log, f.Log);
        EXPECT_FALSE(f.Tree.TreeStates().Contains(tsCheckPropagation));
        EXPECT_EQ("", CheckInvariants(f.Tree));
    }
}

TEST(VirtualTreeChecks, NextStateOfAClick) {
    TCheckFixture f;
    EXPECT_EQ(csCheckedNormal, f.Tree.NextCheckState(ctCheckBox, csUncheckedNormal));
    EXPECT_EQ(csUncheckedNormal, f.Tree.NextCheckState(ctCheckBox, csCheckedNormal));
    EXPECT_EQ(csCheckedNormal, f.Tree.NextCheckState(ctTriStateCheckBox, csMixedNormal));
    EXPECT_EQ(csCheckedNormal, f.Tree.NextCheckState(ctRadioButton, csCheckedNormal));
    EXPECT_EQ(csUncheckedNormal, f.Tree.NextCheckState(ctButton, csCheckedNormal));
}

TEST(VirtualTreeChecks, RadioButtonsExcludeEachOtherSilently) {
    TCheckFixture f;
    f.Tree.SetCheckState(f.N("1.0"), csCheckedNormal);
    f.Log.clear();
    f.Tree.SetCheckState(f.N("1.2"), csCheckedNormal);
    EXPECT_EQ("uuc", f.States({"1.0", "1.1", "1.2"}));
    EXPECT_EQ((std::vector<std::string>{"checking 1.2", "checked 1.2"}), f.Log);
}

TEST(VirtualTreeChecks, ReadOnlyAndDisabledNodesStayAsTheyAre) {
    TCheckFixture f;
    f.Tree.SetCheckState(f.N("3"), csCheckedNormal);
    EXPECT_EQ("u", f.States({"3"}));
    f.Tree.TreeOptions()->SetMiscOptions(f.Tree.TreeOptions()->MiscOptions() + TVTMiscOptions{toReadOnly});
    f.Log.clear();
    f.Tree.SetCheckState(f.N("0.1"), csCheckedNormal);
    EXPECT_EQ("u", f.States({"0.1"}));
    EXPECT_TRUE(f.Log.empty());
}

TEST(VirtualTreeChecks, SpaceChecksOnRelease) {
    TCheckFixture f;
    f.Tree.TreeOptions()->SetMiscOptions(f.Tree.TreeOptions()->MiscOptions() +
                                         TVTMiscOptions{toCheckSupport});
    f.Tree.SetFocusedNode(f.N("0.1"));
    f.Tree.WMKeyDown(VK_SPACE, 0);
    EXPECT_EQ("U", f.States({"0.1"}));
    EXPECT_TRUE(f.Tree.TreeStates().Contains(tsKeyCheckPending));
    f.Tree.WMKeyDown(VK_SPACE, 0); // held: no second press
    f.Tree.WMKeyUp(VK_SPACE, 0);
    EXPECT_EQ("mc", f.States({"0", "0.1"}));
    // Another key before the release cancels.
    f.Tree.WMKeyDown(VK_SPACE, 0);
    EXPECT_EQ("C", f.States({"0.1"}));
    f.Tree.WMKeyDown(VK_DOWN, 0);
    EXPECT_EQ("c", f.States({"0.1"}));
    f.Tree.WMKeyUp(VK_SPACE, 0);
    EXPECT_EQ("c", f.States({"0.1"}));
    EXPECT_EQ("", CheckInvariants(f.Tree));
    // The disabled box ignores the key.
    f.Tree.SetFocusedNode(f.N("3"));
    f.Tree.WMKeyDown(VK_SPACE, 0);
    EXPECT_FALSE(f.Tree.TreeStates().Contains(tsKeyCheckPending));
}

TEST(VirtualTreeChecks, ANodeFreedWhileItsCheckIsHeldEndsTheCheck) {
    TCheckFixture f;
    f.Tree.TreeOptions()->SetMiscOptions(f.Tree.TreeOptions()->MiscOptions() +
                                         TVTMiscOptions{toCheckSupport});
    f.Tree.SetFocusedNode(f.N("2"));
    f.Tree.WMKeyDown(VK_SPACE, 0);
    EXPECT_EQ(f.N("2"), f.Tree.FCheckNode);
    f.Tree.DeleteNode(f.N("2"));
    EXPECT_EQ(nullptr, f.Tree.FCheckNode);
    EXPECT_FALSE(f.Tree.TreeStates().Contains(tsKeyCheckPending));
    EXPECT_EQ("", CheckInvariants(f.Tree));
    f.Tree.WMKeyUp(VK_SPACE, 0);
    EXPECT_EQ("", CheckInvariants(f.Tree));
}

struct TImageCase {
    TCheckType Type;
    TCheckState State;
    int Normal, Hot, Disabled;
};

TEST(VirtualTreeChecks, ImageIndexes) {
    const std::vector<TImageCase> cases = {
        {ctCheckBox, csUncheckedNormal, 9, 10, 12},
        {ctCheckBox, csUncheckedPressed, 11, 11, 12},
        {ctTriStateCheckBox, csCheckedNormal, 13, 14, 16},
        {ctCheckBox, csCheckedPressed, 15, 15, 16},
        {ctCheckBox, csMixedNormal, 17, 18, 20},
        {ctTriStateCheckBox, csMixedPressed, 19, 19, 20},
        {ctRadioButton, csUncheckedNormal, 1, 2, 4},
        {ctRadioButton, csUncheckedPressed, 3, 3, 4},
        {ctRadioButton, csCheckedNormal, 5, 6, 8},
        {ctRadioButton, csCheckedPressed, 7, 7, 8},
        {ctButton, csCheckedNormal, 21, 22, 24},
        {ctButton, csUncheckedPressed, 23, 23, 24},
        {ctButton, csMixedNormal, 17, 18, 20},
        {ctNone, csCheckedNormal, -1, -1, -1},
    };
    TTestView view;
    TTestTree tree(view);
    tree.SetRootNodeCount(1);
    PVirtualNode node = tree.GetFirst();
    for (const TImageCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Type) + "/" + std::to_string(c.State));
        node->CheckType = uint8_t(c.Type);
        node->CheckState = uint8_t(c.State);
        node->States.Exclude(vsDisabled);
        tree.FCurrentHotNode = nullptr;
        EXPECT_EQ(c.Normal, tree.GetCheckImage(node));
        tree.FCurrentHotNode = node;
        EXPECT_EQ(c.Hot, tree.GetCheckImage(node));
        node->States.Include(vsDisabled);
        EXPECT_EQ(c.Disabled, tree.GetCheckImage(node));
    }
}

} // namespace
