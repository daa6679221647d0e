// The tree stream: the exact bytes of a small tree, what survives a round
// trip, the streams that are refused (leaving the tree as it was), and
// moving nodes into another tree.
#include <cstring>
#include <map>

#include <gtest/gtest.h>

#include "TreeHarness.h"
#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesStream.h"

namespace {

TVTBytes Save(TBaseVirtualTree& Tree, PVirtualNode Node = nullptr) {
    TVTMemoryStream stream;
    Tree.SaveToStream(stream, Node);
    return stream.TakeBytes();
}

void Load(TBaseVirtualTree& Tree, const TVTBytes& Bytes) {
    TVTMemoryStream stream(Bytes);
    Tree.LoadFromStream(stream);
}

int ErrorCode(const std::function<void()>& Step) {
    try {
        Step();
    } catch (const EVirtualTreeError& e) {
        return e.HelpContext;
    }
    return 0;
}

void PutU32(TVTBytes& Bytes, size_t At, uint32_t Value) {
    for (int i = 0; i < 4; ++i)
        Bytes[At + size_t(i)] = uint8_t(Value >> (8 * i));
}

// A string tree whose nodes carry a key, saved as the user chunk, and a
// caption, which the tree saves as its caption chunk: the main column's text
// that OnGetText gives and OnNewText takes back. Nodes without a caption have
// an empty text and no caption chunk.
class TKeyedTree : public TVirtualStringTree {
public:
    TKeyedTree() : TVirtualStringTree(nullptr) {
        SetNodeDataSize(sizeof(TNodeRecord));
        SetDefaultText(u"");
        OnSaveNode = [this](TBaseVirtualTree*, PVirtualNode Node, TStream& Stream) {
            if (SaveKeys) Stream.WriteBuffer(&GetNodeData<TNodeRecord>(Node)->Key, sizeof(int));
        };
        OnLoadNode = [this](TBaseVirtualTree*, PVirtualNode Node, TStream& Stream) {
            Stream.ReadBuffer(&GetNodeData<TNodeRecord>(Node)->Key, sizeof(int));
        };
        OnGetText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex, TVSTTextType,
                           WideString& Text) {
            auto it = Captions.find(Node);
            if (it != Captions.end()) Text = it->second;
        };
        OnNewText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex Column,
                           const WideString& Text) {
            Captions[Node] = Text;
            NewTexts.push_back(Column);
        };
    }
    int& Key(PVirtualNode Node) { return GetNodeData<TNodeRecord>(Node)->Key; }
    // Links a new node that starts invisible, as a loaded stream may.
    PVirtualNode AddInvisible() {
        PVirtualNode node = AllocateNode();
        node->States.Exclude(vsVisible);
        InternalConnectNode(node, RootNode(), amAddChildLast, this);
        return node;
    }
    bool SaveKeys = true;
    std::map<PVirtualNode, std::u16string> Captions;
    // The column of every OnNewText.
    std::vector<TColumnIndex> NewTexts;
};

// ---- The bytes of a small tree -----------------------------------------------------------

const TVTBytes OneNodeStream = {0x45, 0x20, 0x56, 0x00, 0x54, 0x00, 0x02, 0x00,
                                0x20, 0x00, 0x46, 0x20,                         // header
                                0x01, 0x00, 0x00, 0x00,                         // one record
                                0x01, 0x00, 0x00, 0x00, 0x19, 0x00, 0x00, 0x00, // anchor, 25 bytes
                                0x02, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, // base chunk, 17 bytes
                                0x00, 0x00, 0x00, 0x00,                         // no children
                                0x12, 0x00, 0x00, 0x00,                         // height 18
                                0x81, 0x00,                                     // initialised, visible
                                0x32, 0x00, 0x00,                               // align 50, no check
                                0x00, 0x00, 0x00, 0x00};

TEST(VirtualTreeStream, OneNodeIsWrittenAsTheDocumentedBytes) {
    TTestTree tree;
    tree.SetRootNodeCount(1);
    EXPECT_EQ(OneNodeStream, Save(tree));
}

TEST(VirtualTreeStream, TheDocumentedBytesLoadAndSaveUnchanged) {
    TTestTree tree;
    int inits = 0;
    tree.OnInitNode = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates&) {
        ++inits;
    };
    Load(tree, OneNodeStream);
    ASSERT_EQ(1u, tree.GetRootNodeCount());
    PVirtualNode node = At(tree, {0});
    EXPECT_EQ(TVirtualNodeStates({vsInitDone, vsVisible}), node->States);
    EXPECT_EQ(18, node->NodeHeight);
    EXPECT_EQ(50, node->Align);
    EXPECT_EQ(OneNodeStream, Save(tree));
    EXPECT_EQ(0, inits) << "a node saved initialised is not initialised again";
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStream, AnEmptyTreeIsItsHeaderAndACountOfZero) {
    TTestTree empty;
    TVTBytes bytes = Save(empty);
    EXPECT_EQ(TVTBytes(OneNodeStream.begin(), OneNodeStream.begin() + 12),
              TVTBytes(bytes.begin(), bytes.begin() + 12));
    EXPECT_EQ(16u, bytes.size());
    TTestTree tree;
    tree.SetRootNodeCount(3);
    Load(tree, bytes);
    EXPECT_EQ(0u, tree.GetRootNodeCount());
    EXPECT_EQ("", CheckInvariants(tree));
}

// ---- Round trips -------------------------------------------------------------------------

struct TRoundTrip {
    const char* Name;
    // Shapes the source: three top-level nodes, the first with two children.
    std::function<void(TKeyedTree&)> Shape;
    // Checks the loaded copy.
    std::function<void(TKeyedTree& Copy)> Expect;
    bool MultiSelectCopy = true;
    // The copy saves to the same bytes.
    bool SameBytes = true;
};

TEST(VirtualTreeStream, RoundTripsKeepWhatTheNodesCarry) {
    const std::vector<TRoundTrip> cases = {
        {"expanded parent", [](TKeyedTree& t) { t.ToggleNode(At(t, {0})); },
         [](TKeyedTree& c) {
             EXPECT_TRUE(At(c, {0})->States.Contains(vsExpanded));
             EXPECT_EQ(5u, c.VisibleCount());
         }},
        {"collapsed parent keeps its children", [](TKeyedTree&) {},
         [](TKeyedTree& c) {
             EXPECT_EQ(2u, At(c, {0})->ChildCount);
             EXPECT_EQ(3u, c.VisibleCount());
         }},
        {"heights at the ends of their field",
         [](TKeyedTree& t) {
             t.ToggleNode(At(t, {0}));
             t.SetNodeHeight(At(t, {0, 0}), 0);
             t.SetNodeHeight(At(t, {0, 1}), 65535);
             t.SetNodeHeight(At(t, {1}), 40);
         },
         [](TKeyedTree& c) {
             EXPECT_EQ(0, At(c, {0, 0})->NodeHeight);
             EXPECT_EQ(65535, At(c, {0, 1})->NodeHeight);
             EXPECT_EQ(40, At(c, {1})->NodeHeight);
             EXPECT_EQ(18u + 0 + 65535 + 40 + 18, c.RootNode()->TotalHeight - c.RootNode()->NodeHeight);
         }},
        {"check fields",
         [](TKeyedTree& t) {
             t.SetCheckType(At(t, {1}), ctCheckBox);
             t.SetCheckState(At(t, {1}), csCheckedNormal);
             t.SetCheckType(At(t, {2}), ctRadioButton);
             At(t, {2})->CheckState = csCheckedPressed; // held down while saved
         },
         [](TKeyedTree& c) {
             EXPECT_EQ(ctCheckBox, c.CheckType(At(c, {1})));
             EXPECT_EQ(csCheckedNormal, c.CheckState(At(c, {1})));
             EXPECT_EQ(ctRadioButton, c.CheckType(At(c, {2})));
             EXPECT_EQ(csCheckedNormal, c.CheckState(At(c, {2}))) << "a pressed box comes back released";
         },
         true, false},
        {"invisible node", [](TKeyedTree& t) { t.AddInvisible(); },
         [](TKeyedTree& c) {
             EXPECT_FALSE(At(c, {3})->States.Contains(vsVisible));
             EXPECT_EQ(3u, c.VisibleCount());
         }},
        {"selected nodes with multi-selection",
         [](TKeyedTree& t) {
             t.SetSelected(At(t, {1}), true);
             t.SetSelected(At(t, {0, 1}), true);
         },
         [](TKeyedTree& c) {
             EXPECT_EQ(2, c.SelectedCount());
             EXPECT_TRUE(c.Selected(At(c, {0, 1})));
         }},
        {"selected nodes into a tree without multi-selection",
         [](TKeyedTree& t) { t.SetSelected(At(t, {1}), true); },
         [](TKeyedTree& c) {
             EXPECT_EQ(0, c.SelectedCount());
             EXPECT_FALSE(At(c, {1})->States.Contains(vsSelected));
         },
         false, false},
        {"user chunks and captions",
         [](TKeyedTree& t) {
             t.Captions[At(t, {0})] = u"Первый";
             t.Captions[At(t, {0, 1})] = u"x";
         },
         [](TKeyedTree& c) {
             EXPECT_EQ(u"Первый", c.Captions[At(c, {0})]);
             EXPECT_EQ(u"x", c.Captions[At(c, {0, 1})]);
             EXPECT_EQ((std::vector<TColumnIndex>{NoColumn, NoColumn}), c.NewTexts)
                 << "the nodes without a caption have no chunk";
             EXPECT_EQ(2, c.Key(At(c, {0, 1})));
             EXPECT_EQ(3, c.Key(At(c, {1})));
         }},
    };
    for (const TRoundTrip& c : cases) {
        SCOPED_TRACE(c.Name);
        TKeyedTree source;
        TVTMiscOptions misc = source.TreeOptions()->MiscOptions();
        source.TreeOptions()->SetSelectionOptions({toMultiSelect});
        source.TreeOptions()->SetMiscOptions(misc);
        source.SetRootNodeCount(3);
        source.SetChildCount(At(source, {0}), 2);
        int key = 0;
        for (PVirtualNode n = source.GetFirstNoInit(); n; n = source.GetNextNoInit(n))
            source.Key(n) = key++;
        c.Shape(source);
        ASSERT_EQ("", CheckInvariants(source));
        TVTBytes bytes = Save(source);

        TKeyedTree copy;
        if (c.MultiSelectCopy) copy.TreeOptions()->SetSelectionOptions({toMultiSelect});
        Load(copy, bytes);
        EXPECT_EQ("", CheckInvariants(copy));
        c.Expect(copy);
        if (c.SameBytes) {
            EXPECT_EQ(bytes, Save(copy)) << "saved again unchanged";
        }
    }
}

TEST(VirtualTreeStream, WithoutInitOnSaveUninitialisedNodesGoOutWithoutChildren) {
    TTestTree tree;
    tree.TreeOptions()->SetMiscOptions({});
    tree.SetRootNodeCount(1);
    // Children made directly for a node never initialised.
    tree.SetChildCount(At(tree, {0}), 3);
    TVTBytes bytes = Save(tree);
    TTestTree copy;
    Load(copy, bytes);
    PVirtualNode node = At(copy, {0});
    EXPECT_EQ(0u, node->ChildCount);
    EXPECT_FALSE(node->States.Contains(vsHasChildren));
    EXPECT_FALSE(node->States.Contains(vsInitDone));
    EXPECT_EQ("", CheckInvariants(copy));

    // With it, every node is initialised and every child list made first.
    TTestTree full;
    int inits = 0;
    full.OnInitNode = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& s) {
        ++inits;
        if (inits == 1) s.Include(ivsHasChildren);
    };
    full.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& count) { count = 2; };
    full.SetRootNodeCount(2);
    Load(copy, Save(full));
    EXPECT_EQ(4, inits);
    EXPECT_EQ(2u, At(copy, {0})->ChildCount);
    EXPECT_TRUE(At(copy, {0, 1})->States.Contains(vsInitDone));
}

TEST(VirtualTreeStream, AVersionOneStateByteWithItsHighBitLoadsSelectedAndVisible) {
    TVTBytes v1 = {0x45, 0x20, 0x56, 0x00, 0x54, 0x00, 0x01, 0x00, 0x20, 0x00, 0x46, 0x20};
    auto record = [&](uint8_t States) {
        const uint8_t r[] = {1, 0, 0, 0, 20, 0, 0,  0, 2, 0, 0,      0,  12, 0,
                             0, 0, 0, 0, 0,  0, 22, 0, 0, 0, States, 50, 0,  0};
        v1.insert(v1.end(), std::begin(r), std::end(r));
    };
    record(0x81);
    record(0x01);
    TTestTree tree;
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    Load(tree, v1);
    ASSERT_EQ(2u, tree.GetRootNodeCount());
    EXPECT_TRUE(tree.Selected(At(tree, {0})));
    EXPECT_TRUE(At(tree, {0})->States.Contains(vsVisible));
    EXPECT_FALSE(tree.Selected(At(tree, {1})));
    EXPECT_TRUE(At(tree, {1})->States.Contains(vsVisible));
    EXPECT_EQ(22, At(tree, {1})->NodeHeight);
    EXPECT_EQ(1, tree.SelectedCount());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStream, AUserChunkIsReadWithinItsBoundsWhateverTheHandlerReads) {
    TKeyedTree source;
    source.SetRootNodeCount(2);
    source.Captions[At(source, {0})] = u"cap";
    source.OnSaveNode = [](TBaseVirtualTree*, PVirtualNode, TStream& Stream) {
        const char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        Stream.WriteBuffer(bytes, 8);
    };
    TVTBytes bytes = Save(source);
    for (int64_t wanted : {0, 3, 8, 100}) {
        SCOPED_TRACE(wanted);
        TKeyedTree copy;
        int64_t got = -1;
        copy.OnLoadNode = [&](TBaseVirtualTree*, PVirtualNode, TStream& Stream) {
            char buffer[100];
            got = Stream.Read(buffer, wanted);
        };
        Load(copy, bytes);
        EXPECT_EQ(std::min<int64_t>(wanted, 8), got);
        EXPECT_EQ(u"cap", copy.Captions[At(copy, {0})]) << "the next chunk is untouched";
        EXPECT_EQ(2u, copy.GetRootNodeCount());
    }
}

// ---- The string tree's caption chunk -----------------------------------------------------

TEST(StringTreeStream, AnInitialisedNodeWithTextSavesItAsItsLastChunk) {
    struct TCase {
        const char* Name;
        std::u16string Text;
        bool SaveCaptions, InitOnSave;
        TVTBytes Chunk;
    };
    const TCase cases[] = {
        {"a caption", u"Ab", true, true, {3, 0, 0, 0, 4, 0, 0, 0, 'A', 0, 'b', 0}},
        {"a character beyond one byte", u"Я", true, true, {3, 0, 0, 0, 2, 0, 0, 0, 0x2F, 0x04}},
        {"an empty text", u"", true, true, {}},
        {"without toSaveCaptions", u"Ab", false, true, {}},
        {"a node never initialised", u"Ab", true, false, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TVirtualStringTree tree(nullptr);
        tree.OnGetText = [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVSTTextType, WideString& Text) {
            Text = c.Text;
        };
        tree.OnSaveNode = [](TBaseVirtualTree*, PVirtualNode, TStream& Stream) {
            Stream.WriteBuffer("k", 1);
        };
        if (!c.SaveCaptions) tree.TreeOptions()->SetStringOptions({});
        if (!c.InitOnSave) tree.TreeOptions()->SetMiscOptions({});
        tree.SetRootNodeCount(1);
        const TVTBytes bytes = Save(tree);
        // The base chunk, a user chunk of one byte, then the caption.
        const size_t userEnd = OneNodeStream.size() + 9;
        ASSERT_EQ(userEnd + c.Chunk.size(), bytes.size());
        EXPECT_EQ(25 + 9 + c.Chunk.size(), bytes[20]) << "the anchor holds the caption";
        EXPECT_EQ(c.Chunk, TVTBytes(bytes.begin() + ptrdiff_t(userEnd), bytes.end()));
    }
}

TEST(StringTreeStream, ACaptionChunkGivesTheMainColumnItsText) {
    struct TCase {
        const char* Name;
        TVTBytes Body;
        std::u16string Text;
        TColumnIndex MainColumn;
    };
    const TCase cases[] = {
        {"two characters", {'A', 0, 'b', 0}, u"Ab", NoColumn},
        {"an odd last byte is dropped", {'A', 0, 'b'}, u"A", NoColumn},
        {"one byte", {'x'}, u"", NoColumn},
        {"no bytes", {}, u"", NoColumn},
        {"the header's main column", {0x2F, 0x04}, u"Я", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TVTBytes bytes = OneNodeStream;
        bytes.insert(bytes.end(), {3, 0, 0, 0, uint8_t(c.Body.size()), 0, 0, 0});
        bytes.insert(bytes.end(), c.Body.begin(), c.Body.end());
        PutU32(bytes, 20, uint32_t(25 + 8 + c.Body.size()));
        TKeyedTree tree;
        if (c.MainColumn >= 0) {
            tree.Header()->Columns()->Add();
            tree.Header()->Columns()->Add();
            tree.Header()->SetMainColumn(c.MainColumn);
        }
        Load(tree, bytes);
        ASSERT_EQ(1u, tree.GetRootNodeCount());
        EXPECT_EQ((std::vector<TColumnIndex>{c.MainColumn}), tree.NewTexts);
        EXPECT_EQ(c.Text, tree.GetCellText(At(tree, {0}), c.MainColumn));
    }
}

// ---- Refused streams ---------------------------------------------------------------------

struct TBadStream {
    const char* Name;
    int Code;
    std::function<void(TVTBytes&)> Spoil;
};

// Two top-level nodes, the first with one child, saved without user chunks.
TVTBytes TwoNodeStream() {
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.SetChildCount(At(tree, {0}), 1);
    return Save(tree);
}

// Offsets into TwoNodeStream: the first anchor, its base chunk, the child's anchor.
constexpr size_t FirstAnchor = 16, FirstBase = 24, ChildAnchor = 49;

TVTBytes Nested(uint32_t Levels) {
    TVTBytes bytes(OneNodeStream.begin(), OneNodeStream.begin() + 16);
    std::vector<size_t> starts;
    for (uint32_t i = 0; i < Levels; ++i) {
        starts.push_back(bytes.size());
        const uint8_t r[] = {1, 0, 0, 0,  0, 0, 0, 0,    2, 0,  0, 0, 0, 0, 0, 0, 1,
                             0, 0, 0, 18, 0, 0, 0, 0x81, 0, 50, 0, 0, 0, 0, 0, 0};
        bytes.insert(bytes.end(), std::begin(r), std::end(r));
    }
    PutU32(bytes, starts.back() + 16, 0); // the deepest node has no children
    for (size_t start : starts) {
        PutU32(bytes, start + 4, uint32_t(bytes.size() - start - 8));
        PutU32(bytes, start + 12, uint32_t(bytes.size() - start - 16));
    }
    return bytes;
}

TEST(VirtualTreeStream, RefusedStreamsLeaveTheTreeAsItWas) {
    const std::vector<TBadStream> cases = {
        {"eleven bytes", ecStreamTooSmall, [](TVTBytes& b) { b.resize(11); }},
        {"no count", ecStreamTooSmall, [](TVTBytes& b) { b.resize(14); }},
        {"wrong magic", ecWrongStreamFormat, [](TVTBytes& b) { b[0] = 0x46; }},
        {"wrong last magic unit", ecWrongStreamFormat, [](TVTBytes& b) { b[10] = 0; }},
        {"version 3", ecWrongStreamVersion, [](TVTBytes& b) { b[6] = 3; }},
        {"version 0", ecWrongStreamVersion, [](TVTBytes& b) { b[6] = 0; }},
        {"record without anchor", ecCorruptStream1, [](TVTBytes& b) { b[FirstAnchor] = 4; }},
        {"anchor beyond the input", ecCorruptStream1, [](TVTBytes& b) { PutU32(b, FirstAnchor + 4, 1000); }},
        {"anchor of negative size", ecCorruptStream1,
         [](TVTBytes& b) { PutU32(b, FirstAnchor + 4, 0xFFFFFFF0u); }},
        {"cut inside a record", ecCorruptStream1, [](TVTBytes& b) { b.resize(FirstAnchor + 5); }},
        {"child without anchor", ecCorruptStream1, [](TVTBytes& b) { b[ChildAnchor] = 2; }},
        {"four bytes after the last chunk", ecCorruptStream2,
         [](TVTBytes& b) {
             b = OneNodeStream;
             PutU32(b, 20, 25 + 4);
             b.insert(b.end(), {0, 0, 0, 0});
         }},
        {"base chunk beyond its anchor", ecCorruptStream2,
         [](TVTBytes& b) { PutU32(b, FirstBase + 4, 200); }},
        {"base chunk too short for its fields", ecCorruptStream2,
         [](TVTBytes& b) { PutU32(b, FirstBase + 4, 16); }},
        {"more children than the chunk holds", ecCorruptStream2,
         [](TVTBytes& b) { PutU32(b, FirstBase + 8, 0x7FFFFFFF); }},
        {"fewer children than the chunk holds", ecCorruptStream2,
         [](TVTBytes& b) { PutU32(b, FirstBase + 8, 0); }},
        {"two base chunks", ecCorruptStream2,
         [](TVTBytes& b) {
             b = OneNodeStream;
             b.insert(b.end(), OneNodeStream.begin() + 24, OneNodeStream.end());
             PutU32(b, 20, 2 * 25);
         }},
        {"nesting beyond the limit", ecCorruptStream2,
         [](TVTBytes& b) { b = Nested(MaxStreamNodeLevels + 1); }},
        {"caption chunk beyond its anchor", ecCorruptStream2,
         [](TVTBytes& b) {
             b = OneNodeStream;
             b.insert(b.end(), {3, 0, 0, 0, 40, 0, 0, 0, 'A', 0});
             PutU32(b, 20, 25 + 10);
         }},
    };
    for (const TBadStream& c : cases) {
        SCOPED_TRACE(c.Name);
        TVTBytes bytes = TwoNodeStream();
        c.Spoil(bytes);
        int freed = 0;
        TKeyedTree tree;
        tree.SetRootNodeCount(4);
        tree.ToggleNode(At(tree, {1}));
        tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode) { ++freed; };
        TVTBytes before = Save(tree);
        EXPECT_EQ(c.Code, ErrorCode([&] { Load(tree, bytes); }));
        EXPECT_EQ(before, Save(tree));
        EXPECT_EQ(0, freed);
        EXPECT_TRUE(tree.NewTexts.empty()) << "no caption reached the owner";
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

TEST(VirtualTreeStream, NestingUpToTheLimitLoads) {
    TTestTree tree;
    Load(tree, Nested(MaxStreamNodeLevels));
    EXPECT_EQ(MaxStreamNodeLevels, tree.GetTotalCount());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStream, InconsistentStatesAreMadeConsistent) {
    TVTBytes bytes = TwoNodeStream();
    // The second node claims to be expanded, to have children, to be marked
    // and to need freeing, with no children stored; the first node's child
    // count is stored without its children flag.
    size_t second = bytes.size() - 33;
    bytes[second + 24] = uint8_t(0x81 | 1u << vsExpanded | 1u << vsHasChildren | 1u << vsCutCopyMarked);
    bytes[second + 25] = uint8_t(1u << (vsDataNeedsFree - 8) | 1u << (vsClearingChildren - 8));
    bytes[FirstBase + 16] = 0x81;
    PutU32(bytes, second + 20, 0x12345); // a height beyond its field
    TTestTree tree;
    Load(tree, bytes);
    PVirtualNode first = At(tree, {0}), last = At(tree, {1});
    EXPECT_TRUE(first->States.Contains(vsHasChildren));
    EXPECT_EQ(TVirtualNodeStates({vsInitDone, vsVisible}), last->States);
    EXPECT_EQ(65535, last->NodeHeight);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStream, AFailingLoadHandlerLeavesTheTreeAsItWasAndFreesWhatItLoaded) {
    TKeyedTree source;
    source.SetRootNodeCount(3);
    for (int i = 0; i < 3; ++i)
        source.Key(At(source, {i})) = i;
    TVTBytes bytes = Save(source);
    int loads = 0;
    std::vector<int> freed;
    TKeyedTree tree;
    tree.SetRootNodeCount(2);
    TVTBytes before = Save(tree);
    tree.OnLoadNode = [&](TBaseVirtualTree*, PVirtualNode Node, TStream& Stream) {
        if (++loads == 3) throw Exception("the owner cannot read it");
        Stream.ReadBuffer(&tree.Key(Node), sizeof(int));
    };
    tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode Node) { freed.push_back(tree.Key(Node)); };
    EXPECT_THROW(Load(tree, bytes), Exception);
    EXPECT_EQ((std::vector<int>{0, 1}), freed) << "the two nodes loaded, not the one that failed";
    EXPECT_EQ(before, Save(tree));
    EXPECT_EQ("", CheckInvariants(tree));
    // The tree's own nodes go with it, after its key accessor.
    tree.OnFreeNode = nullptr;
}

TEST(VirtualTreeStream, LoadingReplacesTheNodesAndForgetsWhatPointedAtThem) {
    TTestTree source;
    source.SetRootNodeCount(2);
    TVTBytes bytes = Save(source);
    int freed = 0, copied = 0;
    TTestTree tree;
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(5);
    tree.GetTotalCount(); // initialises them, so that they are freed through the handler
    tree.SetFocusedNode(At(tree, {4}));
    tree.SetSelected(At(tree, {3}), true);
    tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode) { ++freed; };
    tree.OnNodeCopied = [&](TBaseVirtualTree*, PVirtualNode Node) {
        EXPECT_EQ(nullptr, Node);
        ++copied;
    };
    Load(tree, bytes);
    EXPECT_EQ(2u, tree.GetRootNodeCount());
    EXPECT_EQ(5, freed);
    EXPECT_EQ(1, copied);
    EXPECT_EQ(nullptr, tree.FocusedNode());
    EXPECT_EQ(0, tree.SelectedCount());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStream, AReadOnlyTreeLoadsNothing) {
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.TreeOptions()->SetMiscOptions({toReadOnly});
    Load(tree, OneNodeStream);
    EXPECT_EQ(2u, tree.GetRootNodeCount());
}

// ---- Moving into another tree ------------------------------------------------------------

struct TMoveCase {
    const char* Name;
    TVTNodeAttachMode Mode;
    bool ChildrenOnly;
    std::vector<int> TargetKeys; // keys of the target's top level, then of the children of 100
};

TEST(VirtualTreeStream, MovingIntoAnotherTreeCarriesTheNodesAndRemovesThem) {
    // Source: 0 (children 1, 2), 3. Target: 100 (child 101), 102.
    const std::vector<TMoveCase> cases = {
        {"node after a target", amInsertAfter, false, {100, 0, 102, 101}},
        {"node before a target", amInsertBefore, false, {0, 100, 102, 101}},
        {"node as first child", amAddChildFirst, false, {100, 102, 0, 101}},
        {"node as last child", amAddChildLast, false, {100, 102, 101, 0}},
        {"children after a target", amInsertAfter, true, {100, 1, 2, 102, 101}},
        {"children as first children", amAddChildFirst, true, {100, 102, 1, 2, 101}},
        {"children before a target", amInsertBefore, true, {1, 2, 100, 102, 101}},
    };
    for (const TMoveCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TKeyedTree source, target;
        source.SetRootNodeCount(2);
        source.SetChildCount(At(source, {0}), 2);
        target.SetRootNodeCount(2);
        target.SetChildCount(At(target, {0}), 1);
        int key = 0;
        for (PVirtualNode n = source.GetFirstNoInit(); n; n = source.GetNextNoInit(n))
            source.Key(n) = key++;
        key = 100;
        for (PVirtualNode n = target.GetFirstNoInit(); n; n = target.GetNextNoInit(n))
            target.Key(n) = key++;
        source.ToggleNode(At(source, {0}));
        std::vector<int> moved;
        target.OnNodeMoved = [&](TBaseVirtualTree*, PVirtualNode Node) { moved.push_back(target.Key(Node)); };
        source.MoveTo(At(source, {0}), At(target, {0}), c.Mode, c.ChildrenOnly);

        std::vector<int> keys;
        for (PVirtualNode n = target.RootNode()->FirstChild; n; n = n->NextSibling)
            keys.push_back(target.Key(n));
        PVirtualNode first = target.RootNode()->FirstChild;
        while (target.Key(first) != 100)
            first = first->NextSibling;
        for (PVirtualNode n = first->FirstChild; n; n = n->NextSibling)
            keys.push_back(target.Key(n));
        EXPECT_EQ(c.TargetKeys, keys);
        EXPECT_EQ(c.ChildrenOnly ? 2u : 1u, moved.size());
        if (c.ChildrenOnly) {
            EXPECT_EQ(2u, source.GetRootNodeCount());
            EXPECT_EQ(0u, At(source, {0})->ChildCount);
        } else {
            EXPECT_EQ(1u, source.GetRootNodeCount());
            EXPECT_EQ(3, source.Key(At(source, {0})));
        }
        EXPECT_EQ("", CheckInvariants(source));
        EXPECT_EQ("", CheckInvariants(target));
    }
}

TEST(VirtualTreeStream, AMoveIntoAnotherTreeThatIsRefusedChangesNeither) {
    TKeyedTree source, target;
    source.SetRootNodeCount(2);
    target.SetRootNodeCount(1);
    source.OnNodeMoving = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, bool& Allowed) {
        Allowed = false;
    };
    source.MoveTo(At(source, {0}), At(target, {0}), amInsertAfter, false);
    EXPECT_EQ(2u, source.GetRootNodeCount());
    EXPECT_EQ(1u, target.GetRootNodeCount());
}

TEST(VirtualTreeStream, AMoveWhoseTargetFailsToReadKeepsTheSource) {
    TKeyedTree source, target;
    source.SetRootNodeCount(1);
    source.SetChildCount(At(source, {0}), 2);
    target.SetRootNodeCount(1);
    target.OnLoadNode = [](TBaseVirtualTree*, PVirtualNode, TStream&) { throw Exception("no"); };
    EXPECT_THROW(source.MoveTo(At(source, {0}), At(target, {0}), amAddChildLast, false), Exception);
    EXPECT_EQ(3u, source.GetTotalCount());
    EXPECT_EQ("", CheckInvariants(source));
    EXPECT_EQ("", CheckInvariants(target));
}

TEST(VirtualTreeStream, TheTargetOfAMoveIsInitialisedByItsOwnTree) {
    TKeyedTree source, target;
    source.SetRootNodeCount(1);
    target.SetRootNodeCount(1);
    int sourceInits = 0, targetInits = 0;
    source.OnInitNode = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode Node, TVirtualNodeInitStates&) {
        EXPECT_EQ(&source, OwnerTreeOfNode(Node));
        ++sourceInits;
    };
    target.OnInitNode = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates&) {
        ++targetInits;
    };
    source.MoveTo(At(source, {0}), At(target, {0}), amAddChildLast, false);
    EXPECT_EQ(1, sourceInits) << "the moved node, initialised to be written";
    EXPECT_EQ(1, targetInits);
}

} // namespace
