// In-place editing through an edit link: starting and refusing an edit,
// ending and cancelling it once, the editor's bounds over its cell, and an
// edit whose node is deleted.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TreeHarness.h"

namespace {

// Records what the tree asks of it; its answers are set by the test.
class TRecordingLink : public IVTEditLink {
public:
    std::vector<std::string> Calls;
    bool Prepare = true, Begin = true, End = true;
    bool Stopped = false;
    TRect Bounds;
    PVirtualNode Node = nullptr;

    bool BeginEdit() override {
        Calls.push_back("begin");
        return Begin;
    }
    bool CancelEdit() override {
        Calls.push_back("cancel");
        if (Stopped) return false;
        Stopped = true;
        return true;
    }
    bool EndEdit() override {
        Calls.push_back("end");
        if (Stopped || !End) return false;
        Stopped = true;
        return true;
    }
    bool PrepareEdit(TBaseVirtualTree*, PVirtualNode ANode, TColumnIndex) override {
        Calls.push_back("prepare");
        Node = ANode;
        return Prepare;
    }
    TRect GetBounds() override { return Bounds; }
    void ProcessMessage(TMessage&) override {}
    void SetBounds(TRect R) override {
        Calls.push_back("bounds");
        Bounds = R;
    }
};

struct TEditFixture {
    TTestView View;
    TTestTree Tree{View};
    std::shared_ptr<TRecordingLink> Link = std::make_shared<TRecordingLink>();
    std::vector<std::string> Events;

    TEditFixture() {
        View.Width = 300;
        Tree.WMSize();
        TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
        misc.Include(toEditable);
        Tree.TreeOptions()->SetMiscOptions(misc);
        Tree.SetRootNodeCount(3);
        Tree.TextOf = [](PVirtualNode, TColumnIndex) { return WideString(u"text"); };
        Tree.OnCreateEditor = [this](TBaseVirtualTree*, PVirtualNode, TColumnIndex,
                                     std::shared_ptr<IVTEditLink>& EditLink) { EditLink = Link; };
        Tree.OnEdited = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex) {
            Events.push_back("edited " + PathOf(Tree, Node));
        };
        Tree.OnEditCancelled = [this](TBaseVirtualTree*, TColumnIndex) { Events.push_back("cancelled"); };
    }
};

} // namespace

TEST(VirtualTreeEditor, AnEditRunsFromPreparationToItsEnd) {
    TEditFixture f;
    ASSERT_TRUE(f.Tree.EditNode(At(f.Tree, {1}), NoColumn));
    EXPECT_TRUE(f.Tree.IsEditing());
    EXPECT_EQ(At(f.Tree, {1}), f.Tree.FocusedNode());
    EXPECT_EQ((std::vector<std::string>{"prepare", "bounds", "begin"}), f.Link->Calls);
    // The editor lies over the node's text in its row.
    EXPECT_EQ(f.Tree.GetDisplayRect(At(f.Tree, {1}), NoColumn, true, true), f.Link->Bounds);
    EXPECT_TRUE(f.Tree.EndEditNode());
    EXPECT_FALSE(f.Tree.IsEditing());
    EXPECT_EQ(nullptr, f.Tree.EditLink());
    EXPECT_EQ((std::vector<std::string>{"edited 1"}), f.Events);
    // Ending again asks nothing of the link.
    EXPECT_TRUE(f.Tree.EndEditNode());
    EXPECT_EQ(4u, f.Link->Calls.size());
}

TEST(VirtualTreeEditor, AnEditThatIsRefusedNeverStarts) {
    struct TCase {
        const char* Name;
        std::function<void(TEditFixture&)> Setup;
        int Code; // the error raised, 0 for none
    };
    const std::vector<TCase> cases = {
        {"not editable",
         [](TEditFixture& f) {
             TVTMiscOptions misc = f.Tree.TreeOptions()->MiscOptions();
             misc.Exclude(toEditable);
             f.Tree.TreeOptions()->SetMiscOptions(misc);
         },
         0},
        {"read-only",
         [](TEditFixture& f) {
             TVTMiscOptions misc = f.Tree.TreeOptions()->MiscOptions();
             misc.Include(toReadOnly);
             f.Tree.TreeOptions()->SetMiscOptions(misc);
         },
         0},
        {"refused by OnEditing",
         [](TEditFixture& f) {
             f.Tree.OnEditing = [](TBaseVirtualTree*, PVirtualNode, TColumnIndex, bool& Allowed) {
                 Allowed = false;
             };
         },
         0},
        {"the link refuses the cell", [](TEditFixture& f) { f.Link->Prepare = false; }, 0},
        {"the link refuses to show", [](TEditFixture& f) { f.Link->Begin = false; }, 0},
        {"no link from OnCreateEditor",
         [](TEditFixture& f) {
             f.Tree.OnCreateEditor = [](TBaseVirtualTree*, PVirtualNode, TColumnIndex,
                                        std::shared_ptr<IVTEditLink>&) {};
         },
         ecEditLinkIsNil},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TEditFixture f;
        c.Setup(f);
        int code = 0;
        try {
            EXPECT_FALSE(f.Tree.EditNode(At(f.Tree, {0}), NoColumn));
        } catch (const EVirtualTreeError& e) {
            code = e.HelpContext;
        }
        EXPECT_EQ(c.Code, code);
        EXPECT_FALSE(f.Tree.IsEditing());
        EXPECT_EQ(nullptr, f.Tree.EditLink());
    }
}

TEST(VirtualTreeEditor, CancellingEndsTheEditOnceWithoutStoringIt) {
    TEditFixture f;
    f.Tree.EditNode(At(f.Tree, {0}), NoColumn);
    EXPECT_TRUE(f.Tree.CancelEditNode());
    EXPECT_FALSE(f.Tree.IsEditing());
    EXPECT_EQ((std::vector<std::string>{"cancelled"}), f.Events);
    EXPECT_TRUE(f.Tree.EndEditNode());
    EXPECT_EQ((std::vector<std::string>{"cancelled"}), f.Events);

    // A link that will not end keeps the edit running.
    TEditFixture g;
    g.Link->End = false;
    g.Tree.EditNode(At(g.Tree, {0}), NoColumn);
    EXPECT_FALSE(g.Tree.EndEditNode());
    EXPECT_TRUE(g.Tree.IsEditing());
    EXPECT_TRUE(g.Events.empty());
}

TEST(VirtualTreeEditor, DeletingTheEditedNodeCancelsTheEdit) {
    for (bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "clear" : "delete");
        TEditFixture f;
        f.Tree.EditNode(At(f.Tree, {1}), NoColumn);
        if (clear)
            f.Tree.Clear();
        else
            f.Tree.DeleteNode(At(f.Tree, {1}));
        EXPECT_FALSE(f.Tree.IsEditing());
        EXPECT_EQ(nullptr, f.Tree.EditLink());
        EXPECT_EQ(nullptr, f.Tree.EditingNode());
        EXPECT_EQ((std::vector<std::string>{"cancelled"}), f.Events);
        // Nothing is left to apply to another node.
        EXPECT_TRUE(f.Tree.EndEditNode());
        EXPECT_EQ((std::vector<std::string>{"cancelled"}), f.Events);
        EXPECT_EQ("", CheckInvariants(f.Tree));
    }
}

TEST(VirtualTreeEditor, F2EditsTheFocusedCell) {
    TEditFixture f;
    f.Tree.SetFocusedNode(At(f.Tree, {2}));
    f.Tree.WMKeyDown(VK_F2, ssShift);
    EXPECT_FALSE(f.Tree.IsEditing());
    f.Tree.WMKeyDown(VK_F2, 0);
    EXPECT_TRUE(f.Tree.IsEditing());
    EXPECT_EQ(At(f.Tree, {2}), f.Link->Node);
}

TEST(VirtualTreeEditor, WithGridExtensionsTheEditorTakesTheRestOfTheColumn) {
    for (TAlignment alignment : {taLeftJustify, taRightJustify}) {
        SCOPED_TRACE(alignment == taLeftJustify ? "left" : "right");
        TEditFixture f;
        AddColumns(f.Tree, 2, 120);
        f.Tree.Header()->Columns()->GetItem(1)->SetAlignment(alignment);
        TVTMiscOptions misc = f.Tree.TreeOptions()->MiscOptions();
        misc.Include(toGridExtensions);
        f.Tree.TreeOptions()->SetMiscOptions(misc);
        f.Tree.EditNode(At(f.Tree, {0}), 1);
        const TRect cell = f.Tree.GetDisplayRect(At(f.Tree, {0}), 1, false, true);
        const TRect text = f.Tree.GetDisplayRect(At(f.Tree, {0}), 1, true, true);
        if (alignment == taLeftJustify) {
            EXPECT_EQ(text.Left, f.Link->Bounds.Left);
            EXPECT_EQ(cell.Right, f.Link->Bounds.Right);
        } else {
            EXPECT_EQ(cell.Left, f.Link->Bounds.Left);
            EXPECT_EQ(text.Right, f.Link->Bounds.Right);
        }
    }
}

TEST(VirtualTreeEditor, ATreeDestroyedWhileEditingTellsItsOwnerNothing) {
    std::vector<std::string> events;
    auto link = std::make_shared<TRecordingLink>();
    {
        TEditFixture f;
        f.Link = link;
        f.Tree.OnEditCancelled = [&](TBaseVirtualTree*, TColumnIndex) { events.push_back("cancelled"); };
        ASSERT_TRUE(f.Tree.EditNode(At(f.Tree, {0}), NoColumn));
    }
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(1, link.use_count());
}
