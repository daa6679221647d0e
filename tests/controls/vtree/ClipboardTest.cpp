// Copy, cut and paste through the clipboard seam, the data object's answers,
// the checked reading of clipboard blocks, and what a tree that is gone
// leaves behind.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TreeHarness.h"
#include "controls/vtree/VirtualTreesClipboard.h"
#include "platform/testing/MemoryClipboard.h"
#include "platform/win/WinBase.h"

namespace {

// Nodes carry a key, saved as their user chunk, so that copies show where
// they came from.
class TKeyTree : public TTestTree {
public:
    explicit TKeyTree(int FirstKey) {
        SetNodeDataSize(sizeof(int));
        TreeOptions()->SetSelectionOptions({toMultiSelect});
        ClipboardFormats()->Add(CFSTR_VIRTUALTREE);
        OnSaveNode = [this](TBaseVirtualTree*, PVirtualNode Node, TStream& Stream) {
            Stream.WriteBuffer(&Key(Node), sizeof(int));
        };
        OnLoadNode = [this](TBaseVirtualTree*, PVirtualNode Node, TStream& Stream) {
            Stream.ReadBuffer(&Key(Node), sizeof(int));
        };
        // k, k+1 [k+2, k+3], k+4
        SetRootNodeCount(3);
        SetChildCount(At(*this, {1}), 2);
        int key = FirstKey;
        for (PVirtualNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
            Key(n) = key++;
    }
    int& Key(PVirtualNode Node) { return *GetNodeData<int>(Node); }
    // The keys level by level: "0 1[2 3] 4".
    std::string Shape(PVirtualNode Parent = nullptr) {
        std::string text;
        for (PVirtualNode n = (Parent ? Parent : RootNode())->FirstChild; n; n = n->NextSibling) {
            if (!text.empty()) text += ' ';
            text += std::to_string(Key(n));
            if (n->FirstChild) text += '[' + Shape(n) + ']';
        }
        return text;
    }
    PVirtualNode ByKey(int Wanted) {
        for (PVirtualNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
            if (Key(n) == Wanted) return n;
        return nullptr;
    }
    void Select(std::initializer_list<int> Keys) {
        for (int k : Keys)
            SetSelected(ByKey(k), true);
    }
};

TBytes NodeBlock(TKeyTree& Tree, std::initializer_list<int> Keys) {
    Tree.ClearSelection();
    Tree.Select(Keys);
    STGMEDIUM medium;
    EXPECT_EQ(S_OK, Tree.RenderOLEData(MakeFormatEtc(TreeDataFormat()), medium, false));
    TBytes block = *medium.hGlobal;
    ReleaseStgMedium(medium);
    return block;
}

int ErrorCode(const std::function<void()>& Step) {
    try {
        Step();
    } catch (const EVirtualTreeError& e) {
        return e.HelpContext;
    }
    return 0;
}

// ---- Paste -------------------------------------------------------------------------------

struct TPasteCase {
    const char* Name;
    bool Cut;
    bool OtherTree;
    std::vector<int> Selected;
    int FocusKey; // -1: no focused node, the nodes go to the root
    TVTNodeAttachMode Mode;
    std::string Target;
    std::string Source; // the source tree afterwards, when it is another
};

TEST(VirtualTreeClipboard, PasteCopiesOrMovesTheNodesToTheFocusedNode) {
    const std::vector<TPasteCase> cases = {
        {"copy after a node of the same tree", false, false, {0}, 4, amInsertAfter, "0 1[2 3] 4 0", ""},
        {"copy of a node with children", false, false, {1}, 0, amAddChildLast, "0[1[2 3]] 1[2 3] 4", ""},
        {"copy of two as first children keeps their order",
         false,
         true,
         {0, 4},
         11,
         amAddChildFirst,
         "10 11[0 4 12 13] 14",
         "0 1[2 3] 4"},
        {"copy before a node", false, true, {0, 4}, 11, amInsertBefore, "10 0 4 11[12 13] 14", "0 1[2 3] 4"},
        {"copy after a node keeps the order",
         false,
         true,
         {4, 0},
         10,
         amInsertAfter,
         "10 0 4 11[12 13] 14",
         "0 1[2 3] 4"},
        {"copy to no focused node ends the top level",
         false,
         true,
         {2},
         -1,
         amInsertAfter,
         "10 11[12 13] 14 2",
         "0 1[2 3] 4"},
        {"copy before the root adds first children",
         false,
         true,
         {0, 4},
         -1,
         amInsertBefore,
         "0 4 10 11[12 13] 14",
         "0 1[2 3] 4"},
        {"cut to another tree moves the subtree",
         true,
         true,
         {1},
         10,
         amAddChildLast,
         "10[1[2 3]] 11[12 13] 14",
         "0 4"},
        {"cut of a parent and its child moves the parent",
         true,
         true,
         {1, 2},
         14,
         amInsertAfter,
         "10 11[12 13] 14 1[2 3]",
         "0 4"},
        {"cut within a tree moves the node", true, false, {0}, 1, amAddChildLast, "1[2 3 0] 4", ""},
        {"cut within a tree skips a target below the node",
         true,
         false,
         {1},
         2,
         amInsertAfter,
         "0 1[2 3] 4",
         ""},
    };
    for (const TPasteCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryClipboard clipboard;
        TKeyTree source(0), other(10);
        TKeyTree& target = c.OtherTree ? other : source;
        for (int k : c.Selected)
            source.SetSelected(source.ByKey(k), true);
        if (c.Cut)
            source.CutToClipboard();
        else
            source.CopyToClipboard();
        ASSERT_TRUE(source.TreeStates().Contains(c.Cut ? tsCutPending : tsCopyPending));
        int copying = 0;
        target.OnNodeCopying = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, bool&) { ++copying; };
        target.DefaultPasteMode = c.Mode;
        target.SetFocusedNode(c.FocusKey < 0 ? nullptr : target.ByKey(c.FocusKey));
        EXPECT_TRUE(target.PasteFromClipboard());
        EXPECT_EQ(c.Target, target.Shape());
        if (c.OtherTree) {
            EXPECT_EQ(c.Source, source.Shape());
        }
        // A cut is over once pasted; the copied nodes stay marked for another paste.
        EXPECT_FALSE(source.TreeStates().Contains(tsCutPending));
        EXPECT_EQ(!c.Cut, source.TreeStates().Contains(tsCopyPending));
        EXPECT_EQ(c.Cut ? 0 : int(c.Selected.size()), copying);
        EXPECT_EQ("", CheckInvariants(source));
        EXPECT_EQ("", CheckInvariants(other));
    }
}

TEST(VirtualTreeClipboard, ANodeRefusedByOnNodeCopyingGoesAndTheNextTakesItsPlace) {
    TMemoryClipboard clipboard;
    TKeyTree source(0), target(10);
    source.Select({0, 1, 4});
    source.CopyToClipboard();
    std::vector<int> copied, targets;
    target.OnNodeCopying = [&](TBaseVirtualTree*, PVirtualNode Node, PVirtualNode Target, bool& Allowed) {
        targets.push_back(target.Key(Target));
        Allowed = target.Key(Node) != 1;
    };
    target.OnNodeCopied = [&](TBaseVirtualTree*, PVirtualNode Node) { copied.push_back(target.Key(Node)); };
    target.DefaultPasteMode = amAddChildFirst;
    target.SetFocusedNode(target.ByKey(11));
    EXPECT_TRUE(target.PasteFromClipboard());
    EXPECT_EQ("10 11[0 4 12 13] 14", target.Shape());
    EXPECT_EQ((std::vector<int>{0, 4}), copied);
    // Each node after the first follows the last one kept, never the refused one.
    EXPECT_EQ((std::vector<int>{11, 0, 0}), targets);
    EXPECT_EQ("", CheckInvariants(target));
}

TEST(VirtualTreeClipboard, APasteReportsACopyWithinATreeAndAnAdditionAcrossTrees) {
    for (bool otherTree : {false, true}) {
        SCOPED_TRACE(otherTree ? "across" : "within");
        TMemoryClipboard clipboard;
        TKeyTree source(0), other(10);
        TKeyTree& target = otherTree ? other : source;
        source.Select({4});
        source.CopyToClipboard();
        std::vector<TChangeReason> reasons;
        target.OnStructureChange = [&](TBaseVirtualTree*, PVirtualNode, TChangeReason Reason) {
            reasons.push_back(Reason);
        };
        target.PasteFromClipboard();
        ASSERT_FALSE(reasons.empty());
        EXPECT_EQ(otherTree ? crNodeAdded : crNodeCopied, reasons.back());
    }
}

TEST(VirtualTreeClipboard, TheClipboardMarksLastWhileItHoldsTheTreesData) {
    TMemoryClipboard clipboard;
    TKeyTree first(0), second(10);
    first.Select({0, 4});
    first.ByKey(4)->States.Include(vsDisabled);
    first.CopyToClipboard();
    EXPECT_TRUE(first.ByKey(0)->States.Contains(vsCutCopyMarked));
    EXPECT_FALSE(first.ByKey(4)->States.Contains(vsCutCopyMarked));
    second.Select({10});
    second.CutToClipboard();
    // Taking the clipboard over ended the first tree's copy.
    EXPECT_FALSE(first.ByKey(0)->States.Contains(vsCutCopyMarked));
    EXPECT_FALSE(first.TreeStates().Contains(tsCopyPending));
    EXPECT_TRUE(second.TreeStates().Contains(tsCutPending));
    second.Clear();
    EXPECT_FALSE(second.TreeStates().Contains(tsCutPending));
    std::shared_ptr<IDataObject> content;
    ASSERT_EQ(S_OK, OleGetClipboard(content));
    EXPECT_TRUE(OfferedFormats(*content).empty());
}

TEST(VirtualTreeClipboard, AnOlderCopyLetGoLaterLeavesTheNewMarks) {
    TMemoryClipboard clipboard;
    TKeyTree tree(0);
    tree.Select({0});
    tree.CopyToClipboard();
    std::shared_ptr<IDataObject> older;
    ASSERT_EQ(S_OK, OleGetClipboard(older));
    tree.ClearSelection();
    tree.Select({4});
    tree.CopyToClipboard();
    EXPECT_FALSE(tree.ByKey(0)->States.Contains(vsCutCopyMarked));
    older.reset();
    EXPECT_TRUE(tree.ByKey(4)->States.Contains(vsCutCopyMarked));
    EXPECT_TRUE(tree.TreeStates().Contains(tsCopyPending));
}

TEST(VirtualTreeClipboard, ALockedClipboardMarksNothingAndFailsAPaste) {
    TMemoryClipboard clipboard;
    TKeyTree tree(0);
    tree.Select({0});
    clipboard.Locked = true;
    tree.CopyToClipboard();
    tree.CutToClipboard();
    EXPECT_FALSE(tree.ByKey(0)->States.Contains(vsCutCopyMarked));
    EXPECT_FALSE(tree.TreeStates().Contains(tsCopyPending) || tree.TreeStates().Contains(tsCutPending));
    EXPECT_EQ(ecClipboardFailed, ErrorCode([&] { tree.PasteFromClipboard(); }));
}

TEST(VirtualTreeClipboard, AReadOnlyTreeNeitherCutsNorPastes) {
    TMemoryClipboard clipboard;
    TKeyTree source(0), target(10);
    source.Select({0});
    source.CopyToClipboard();
    TVTMiscOptions misc = target.TreeOptions()->MiscOptions();
    misc.Include(toReadOnly);
    target.TreeOptions()->SetMiscOptions(misc);
    EXPECT_FALSE(target.PasteFromClipboard());
    EXPECT_EQ("10 11[12 13] 14", target.Shape());
    target.Select({10});
    target.CutToClipboard();
    EXPECT_FALSE(target.TreeStates().Contains(tsCutPending));
}

// ---- The source tree named in the data -------------------------------------------------

TEST(VirtualTreeClipboard, OnlyALiveTreeOfThisProcessIsTakenAsTheSource) {
    TMemoryClipboard clipboard;
    TKeyTree source(0), target(10);
    const TBytes nodes = NodeBlock(source, {0});
    struct TCase {
        const char* Name;
        uint32_t ProcessId;
        uint32_t Token;
        bool Found;
    };
    const std::vector<TCase> cases = {
        {"this process, the tree's token", GetCurrentProcessId(), source.TransferToken(), true},
        {"another process", GetCurrentProcessId() + 1, source.TransferToken(), false},
        {"a token no tree has", GetCurrentProcessId(), source.TransferToken() + 1000, false},
        {"no token", GetCurrentProcessId(), 0, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto data = std::make_shared<TBlockDataObject>();
        data->SetBlock(TreeDataFormat(), nodes);
        data->SetBlock(TreeReferenceFormat(), MakeTreeReferenceBlock({c.ProcessId, c.Token}));
        EXPECT_EQ(c.Found ? &source : nullptr, target.GetTreeFromDataObject(data.get()));
    }
    auto shortReference = std::make_shared<TBlockDataObject>();
    shortReference->SetBlock(TreeReferenceFormat(), TBytes(7, 0));
    EXPECT_EQ(nullptr, target.GetTreeFromDataObject(shortReference.get()));

    // Data of another process is copied, even when it calls itself a cut.
    source.ClearSelection();
    source.Select({0});
    source.CutToClipboard();
    auto foreign = std::make_shared<TBlockDataObject>();
    foreign->SetBlock(TreeDataFormat(), nodes);
    foreign->SetBlock(TreeReferenceFormat(), MakeTreeReferenceBlock({GetCurrentProcessId() + 1, 1}));
    ASSERT_EQ(S_OK, OleSetClipboard(foreign));
    target.SetFocusedNode(nullptr);
    EXPECT_TRUE(target.PasteFromClipboard());
    EXPECT_EQ("10 11[12 13] 14 0", target.Shape());
    EXPECT_EQ("0 1[2 3] 4", source.Shape());
}

TEST(VirtualTreeClipboard, TheDataOfATreeThatIsGoneRendersNothing) {
    TMemoryClipboard clipboard;
    TKeyTree target(10);
    std::shared_ptr<IDataObject> kept;
    {
        TKeyTree source(0);
        source.Select({0});
        source.CopyToClipboard();
        ASSERT_EQ(S_OK, OleGetClipboard(kept));
        ASSERT_NE(nullptr, kept);
    }
    // The tree took its data off the clipboard as it went.
    std::shared_ptr<IDataObject> content;
    ASSERT_EQ(S_OK, OleGetClipboard(content));
    EXPECT_TRUE(OfferedFormats(*content).empty());

    STGMEDIUM medium;
    EXPECT_EQ(E_FAIL, kept->GetData(MakeFormatEtc(TreeDataFormat()), medium));
    EXPECT_EQ(TYMED_NULL, medium.tymed);
    EXPECT_EQ(E_FAIL, kept->GetData(MakeFormatEtc(TreeReferenceFormat()), medium));
    EXPECT_EQ(nullptr, target.GetTreeFromDataObject(kept.get()));
    EXPECT_FALSE(target.InsertOLEData(nullptr, kept.get(), nullptr, amAddChildLast, false));
    EXPECT_EQ("10 11[12 13] 14", target.Shape());
}

// ---- The data object ---------------------------------------------------------------------

TEST(VirtualTreeClipboard, TheDataObjectAnswersWhatItOffers) {
    TKeyTree tree(0);
    tree.Select({0});
    TVTDataObject data(&tree, false);
    static const DVTARGETDEVICE* device = reinterpret_cast<const DVTARGETDEVICE*>(&device);
    struct TCase {
        const char* Name;
        FORMATETC Format;
        HRESULT Query;
    };
    const std::vector<TCase> cases = {
        {"offered", MakeFormatEtc(TreeDataFormat()), S_OK},
        {"as a stream too", MakeFormatEtc(TreeDataFormat(), TYMED_ISTREAM | TYMED_HGLOBAL), S_OK},
        {"another format", MakeFormatEtc(CF_BITMAP), DV_E_CLIPFORMAT},
        {"another medium", MakeFormatEtc(TreeDataFormat(), TYMED_GDI), DV_E_TYMED},
        {"another aspect", {TreeDataFormat(), nullptr, 4, -1, TYMED_HGLOBAL}, DV_E_DVASPECT},
        {"another part", {TreeDataFormat(), nullptr, DVASPECT_CONTENT, 0, TYMED_HGLOBAL}, DV_E_LINDEX},
        {"another device", {TreeDataFormat(), device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, S_OK},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Query, data.QueryGetData(c.Format));
    }
    // Nothing renders for another device: no success with an empty medium.
    STGMEDIUM medium;
    EXPECT_TRUE(FAILED(data.GetData(cases.back().Format, medium)));
    EXPECT_EQ(TYMED_NULL, medium.tymed);
    // The reference is answered whatever it is asked as, yet never listed.
    EXPECT_EQ(S_OK, data.GetData(MakeFormatEtc(TreeReferenceFormat(), TYMED_GDI), medium));
    EXPECT_EQ(TreeReferenceSize, GlobalSize(medium.hGlobal));
    for (const FORMATETC& f : data.Formats())
        EXPECT_NE(TreeReferenceFormat(), f.cfFormat);
}

TEST(VirtualTreeClipboard, StoredDataIsHandedOutAndOutlivesTheObject) {
    TKeyTree tree(0);
    auto data = std::make_shared<TVTDataObject>(&tree, false);
    const TClipFormat extra = RegisterClipboardFormat("Tree test extra");
    STGMEDIUM in;
    in.tymed = TYMED_HGLOBAL;
    in.hGlobal = GlobalBlock("abc", 3);
    EXPECT_EQ(S_OK, data->SetData(MakeFormatEtc(extra), in, false));
    // A copy was stored: changing the caller's block changes nothing.
    (*in.hGlobal)[0] = 'x';
    STGMEDIUM out;
    ASSERT_EQ(S_OK, data->GetData(MakeFormatEtc(extra), out));
    data.reset();
    ASSERT_TRUE(out.hGlobal);
    EXPECT_EQ((TBytes{'a', 'b', 'c'}), *out.hGlobal);
    ReleaseStgMedium(out);
}

TEST(VirtualTreeClipboard, TheNodesRenderAsABlockOrAStream) {
    TKeyTree tree(0);
    const TBytes block = NodeBlock(tree, {1});
    const TVTStreamImage image = ReadTreeDataBlock(block);
    EXPECT_EQ(1u, image.TopLevel.size());
    EXPECT_EQ(3u, image.Nodes.size());

    STGMEDIUM medium;
    ASSERT_EQ(S_OK, tree.RenderOLEData(MakeFormatEtc(TreeDataFormat(), TYMED_ISTREAM), medium, false));
    ASSERT_EQ(TYMED_ISTREAM, medium.tymed);
    std::optional<TBytes> stream = MediumBytes(medium);
    ASSERT_TRUE(stream);
    EXPECT_EQ(TBytes(block.begin() + 4, block.end()), *stream);
    ReleaseStgMedium(medium);

    tree.ClearSelection();
    EXPECT_EQ(E_FAIL, tree.RenderOLEData(MakeFormatEtc(TreeDataFormat()), medium, false));
    EXPECT_EQ(E_FAIL, tree.RenderOLEData(MakeFormatEtc(CF_BITMAP), medium, false));
}

// ---- Blocks from outside -----------------------------------------------------------------

TEST(VirtualTreeClipboard, AnUnsoundBlockIsRefusedBeforeTheTreeChanges) {
    TKeyTree source(0);
    const TBytes sound = NodeBlock(source, {1});
    auto withLength = [&](uint32_t Length) {
        TBytes b = sound;
        for (int i = 0; i < 4; ++i)
            b[size_t(i)] = uint8_t(Length >> (8 * i));
        return b;
    };
    TBytes cutShort = sound;
    cutShort.resize(sound.size() - 3);
    TBytes badAnchor = sound;
    badAnchor[4] = 7;
    TBytes childBeyond = sound;
    // The anchor of the first record claims more than its block holds.
    childBeyond[8] = 0xFF;
    struct TCase {
        const char* Name;
        TBytes Block;
        int Code;
    };
    const std::vector<TCase> cases = {
        {"no length", TBytes{1, 0}, ecStreamTooSmall},
        {"length beyond the block", withLength(uint32_t(sound.size())), ecStreamTooSmall},
        {"length near 4 GiB", withLength(0xFFFFFFFFu), ecStreamTooSmall},
        {"block cut short", cutShort, ecStreamTooSmall},
        {"no anchor chunk", badAnchor, ecCorruptStream1},
        {"anchor beyond the block", childBeyond, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TKeyTree target(10);
        auto data = std::make_shared<TBlockDataObject>();
        data->SetBlock(TreeDataFormat(), c.Block);
        const int code =
            ErrorCode([&] { target.InsertOLEData(nullptr, data.get(), nullptr, amAddChildLast, false); });
        if (c.Code)
            EXPECT_EQ(c.Code, code);
        else
            EXPECT_NE(0, code);
        EXPECT_EQ("10 11[12 13] 14", target.Shape());
        EXPECT_EQ("", CheckInvariants(target));
    }
}

} // namespace
