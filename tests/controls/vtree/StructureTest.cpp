// Structure operations, driven by scripted tables; the invariant checker
// runs after every step.
#include <gtest/gtest.h>

#include "TreeHarness.h"

namespace {

// Every node reports three children down to the given depth.
void MakeBranchy(TTestTree& Tree, uint32_t Depth) {
    Tree.OnInitNode = [&Tree, Depth](TBaseVirtualTree*, PVirtualNode, PVirtualNode Node,
                                     TVirtualNodeInitStates& States) {
        if (Tree.GetNodeLevel(Node) < Depth) States.Include(ivsHasChildren);
    };
    Tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& Count) { Count = 3; };
}

TEST(VirtualTreeStructure, ChildCountsUpDownAndToZero) {
    TTestTree tree;
    RunScript(tree,
              {
                  {"root up to 5", [](TTestTree& t) { t.SetRootNodeCount(5); },
                   [](TTestTree& t) {
                       EXPECT_EQ(5u, t.VisibleCount());
                       EXPECT_EQ(5u * 18 + 18, t.RootNode()->TotalHeight);
                   }},
                  {"root up to 10", [](TTestTree& t) { t.SetRootNodeCount(10); }},
                  {"root down to 3", [](TTestTree& t) { t.SetRootNodeCount(3); }},
                  {"children of a collapsed node", [](TTestTree& t) { t.SetChildCount(At(t, {1}), 4); },
                   [](TTestTree& t) { EXPECT_EQ(3u, t.VisibleCount()); }},
                  {"expand it", [](TTestTree& t) { t.ToggleNode(At(t, {1})); },
                   [](TTestTree& t) { EXPECT_EQ(7u, t.VisibleCount()); }},
                  {"grandchildren under an expanded node",
                   [](TTestTree& t) {
                       t.ToggleNode(At(t, {1, 2}));
                       t.SetChildCount(At(t, {1, 2}), 5);
                       t.ToggleNode(At(t, {1, 2}));
                   },
                   [](TTestTree& t) { EXPECT_EQ(12u, t.VisibleCount()); }},
                  {"fewer children keeps the first", [](TTestTree& t) { t.SetChildCount(At(t, {1}), 3); },
                   [](TTestTree& t) {
                       EXPECT_EQ(3u, At(t, {1})->ChildCount);
                       EXPECT_EQ(11u, t.VisibleCount());
                   }},
                  {"count to 0 collapses", [](TTestTree& t) { t.SetChildCount(At(t, {1}), 0); },
                   [](TTestTree& t) {
                       EXPECT_FALSE(At(t, {1})->States.Contains(vsExpanded));
                       EXPECT_EQ(3u, t.VisibleCount());
                   }},
                  {"root to 0", [](TTestTree& t) { t.SetRootNodeCount(0); },
                   [](TTestTree& t) {
                       EXPECT_EQ(0u, t.VisibleCount());
                       EXPECT_EQ(1u, t.RootNode()->TotalCount);
                   }},
                  {"root back to 2", [](TTestTree& t) { t.SetRootNodeCount(2); }},
              });
}

TEST(VirtualTreeStructure, AttachModes) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    tree.SetChildCount(At(tree, {0}), 2);
    tree.ToggleNode(At(tree, {0}));
    PVirtualNode moved = nullptr;
    RunScript(tree, {
                        {"insert before",
                         [&](TTestTree& t) {
                             moved = At(t, {2});
                             t.MoveTo(moved, At(t, {0, 1}), amInsertBefore, false);
                         },
                         [&](TTestTree& t) {
                             EXPECT_EQ(moved, At(t, {0, 1}));
                             EXPECT_EQ(1u, moved->Index);
                         }},
                        {"insert after",
                         [&](TTestTree& t) {
                             t.MoveTo(moved, At(t, {0, 2}), amInsertAfter, false);
                         },
                         [&](TTestTree& t) {
                             EXPECT_EQ(moved, At(t, {0, 2}));
                             EXPECT_EQ(2u, moved->Index);
                         }},
                        {"add child first into a collapsed leaf",
                         [&](TTestTree& t) { t.MoveTo(moved, At(t, {1}), amAddChildFirst, false); },
                         [&](TTestTree& t) {
                             EXPECT_EQ(moved, At(t, {1, 0}));
                             EXPECT_EQ(4u, t.VisibleCount());
                         }},
                        {"add child last",
                         [&](TTestTree& t) {
                             t.MoveTo(At(t, {0, 0}), At(t, {1}), amAddChildLast, false);
                         },
                         [&](TTestTree& t) { EXPECT_EQ(2u, At(t, {1})->ChildCount); }},
                        {"nowhere changes nothing",
                         [&](TTestTree& t) {
                             t.MoveTo(At(t, {0, 0}), At(t, {1}), amNoWhere, false);
                         }},
                        {"nil target puts it first at the top",
                         [&](TTestTree& t) { t.MoveTo(moved, nullptr, amAddChildLast, false); },
                         [&](TTestTree& t) { EXPECT_EQ(moved, At(t, {0})); }},
                        {"invisible node as an only child",
                         [](TTestTree& t) { t.AddInvisible(At(t, {0}), amAddChildLast); },
                         [](TTestTree& t) { EXPECT_TRUE(At(t, {0})->States.Contains(vsNoVisibleChild)); }},
                        {"invisible node before a visible one",
                         [](TTestTree& t) { t.AddInvisible(At(t, {1}), amInsertBefore); },
                         [](TTestTree& t) { EXPECT_FALSE(At(t, {1})->States.Contains(vsVisible)); }},
                        {"invisible node after, into an expanded list",
                         [](TTestTree& t) {
                             PVirtualNode parent = At(t, {2});
                             ASSERT_TRUE(parent->States.Contains(vsExpanded));
                             uint64_t height = parent->TotalHeight;
                             t.MoveTo(At(t, {1}), At(t, {2, 0}), amInsertAfter, false);
                             EXPECT_EQ(2u, parent->ChildCount);
                             EXPECT_EQ(height, parent->TotalHeight);
                         }},
                        {"invisible node as first child",
                         [](TTestTree& t) { t.AddInvisible(At(t, {0}), amAddChildFirst); }},
                    });
}

TEST(VirtualTreeStructure, TwoInsertsBeforeOneNodeGetConsecutiveIndexes) {
    TTestTree tree;
    tree.SetRootNodeCount(5);
    PVirtualNode target = At(tree, {1});
    tree.MoveTo(At(tree, {3}), target, amInsertBefore, false);
    EXPECT_EQ(2u, target->Index);
    tree.MoveTo(At(tree, {4}), target, amInsertBefore, false);
    EXPECT_EQ(2u, At(tree, {2})->Index);
    EXPECT_EQ(3u, target->Index);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStructure, DeletesWithAndWithoutReindexing) {
    TTestTree tree;
    MakeBranchy(tree, 2);
    tree.SetRootNodeCount(4);
    tree.FullExpand();
    RunScript(tree, {
                        {"expanded tree", [](TTestTree&) {},
                         [](TTestTree& t) { EXPECT_EQ(4u + 12 + 36, t.VisibleCount()); }},
                        {"delete a middle leaf without reindexing",
                         [](TTestTree& t) {
                             t.DeleteNode(At(t, {0, 0, 1}), false);
                         },
                         [](TTestTree& t) {
                             EXPECT_EQ(2u, At(t, {0, 0, 1})->Index);
                         },
                         false},
                        {"delete the first with reindexing closes the gap",
                         [](TTestTree& t) {
                             t.DeleteNode(At(t, {0, 0, 0}), true);
                         },
                         [](TTestTree& t) {
                             EXPECT_EQ(0u, At(t, {0, 0, 0})->Index);
                         }},
                        {"delete the last child: parent collapses",
                         [](TTestTree& t) {
                             t.DeleteNode(At(t, {0, 0, 0}));
                         },
                         [](TTestTree& t) {
                             EXPECT_FALSE(At(t, {0, 0})->States.Contains(vsExpanded));
                             EXPECT_FALSE(At(t, {0, 0})->States.Contains(vsHasChildren));
                         }},
                        {"delete a subtree", [](TTestTree& t) { t.DeleteNode(At(t, {1})); }},
                        {"delete the children of a collapsed node",
                         [](TTestTree& t) {
                             t.ToggleNode(At(t, {1}));
                             t.DeleteChildren(At(t, {1}));
                         }},
                        {"delete children of the root", [](TTestTree& t) { t.DeleteChildren(nullptr, true); },
                         [](TTestTree& t) { EXPECT_EQ(0u, t.VisibleCount()); }},
                    });
}

TEST(VirtualTreeStructure, DeletingSelectedNodesAcrossParents) {
    TTestTree tree;
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    MakeBranchy(tree, 1);
    tree.SetRootNodeCount(3);
    tree.SetChildCount(At(tree, {0}), 6);
    tree.FullExpand();
    RunScript(tree, {
                        {"select 0.2, 0.5 and 1.1",
                         [](TTestTree& t) {
                             for (PVirtualNode n : {At(t, {0, 2}), At(t, {0, 5}), At(t, {1, 1})})
                                 t.SetSelected(n, true);
                         },
                         [](TTestTree& t) { EXPECT_EQ(3, t.SelectedCount()); }},
                        {"delete them", [](TTestTree& t) { t.DeleteSelectedNodes(); },
                         [](TTestTree& t) {
                             EXPECT_EQ(0, t.SelectedCount());
                             EXPECT_EQ(4u, At(t, {0})->ChildCount);
                             EXPECT_EQ(2u, At(t, {1})->ChildCount);
                         }},
                        {"a node and its child: both go, once",
                         [](TTestTree& t) {
                             t.SetSelected(At(t, {2}), true);
                             t.SetSelected(At(t, {2, 1}), true);
                             t.SetSelected(At(t, {0, 0}), true);
                             t.DeleteSelectedNodes();
                         },
                         [](TTestTree& t) {
                             EXPECT_EQ(2u, t.GetRootNodeCount());
                             EXPECT_EQ(3u, At(t, {0})->ChildCount);
                         }},
                    });
}

TEST(VirtualTreeStructure, MovesAndTheSubtreeError) {
    TTestTree tree;
    MakeBranchy(tree, 2);
    tree.SetRootNodeCount(3);
    tree.FullExpand();
    std::vector<std::string> moved;
    tree.OnNodeMoved = [&](TBaseVirtualTree*, PVirtualNode n) { moved.push_back(PathOf(tree, n)); };
    RunScript(tree, {
                        {"into its own child raises 2001 and changes nothing",
                         [](TTestTree& t) {
                             std::string before = PathOf(t, At(t, {1, 2, 0}));
                             uint32_t count = t.RootNode()->TotalCount;
                             try {
                                 t.MoveTo(At(t, {1}), At(t, {1, 2}), amAddChildLast, false);
                                 ADD_FAILURE() << "no error";
                             } catch (const EVirtualTreeError& e) {
                                 EXPECT_EQ(2001, e.HelpContext);
                                 EXPECT_EQ("Target node cannot be a child node of the node to be moved.",
                                           e.Message);
                             }
                             EXPECT_EQ(count, t.RootNode()->TotalCount);
                             EXPECT_EQ(3u, t.GetRootNodeCount());
                         }},
                        {"a subtree to another parent",
                         [](TTestTree& t) {
                             t.MoveTo(At(t, {1, 0}), At(t, {2, 1}), amAddChildFirst, false);
                         },
                         [&](TTestTree& t) {
                             EXPECT_EQ(4u, At(t, {2, 1})->ChildCount);
                             EXPECT_EQ("2.1.0", moved.back());
                         }},
                        {"children only, keeping their order",
                         [&](TTestTree& t) {
                             PVirtualNode first = At(t, {0, 0}), last = At(t, {0, 2});
                             t.MoveTo(At(t, {0}), At(t, {2, 2}), amInsertAfter, true);
                             EXPECT_EQ(first, At(t, {2, 3}));
                             EXPECT_EQ(last, At(t, {2, 5}));
                             EXPECT_EQ(0u, At(t, {0})->ChildCount);
                         }},
                        {"children only, as first children",
                         [&](TTestTree& t) {
                             PVirtualNode first = At(t, {2, 0, 0});
                             t.MoveTo(At(t, {2, 0}), At(t, {1}), amAddChildFirst, true);
                             EXPECT_EQ(first, At(t, {1, 0}));
                         }},
                        {"a refused move stays put",
                         [](TTestTree& t) {
                             t.OnNodeMoving = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode,
                                                 bool& Allowed) { Allowed = false; };
                             PVirtualNode n = At(t, {1, 0});
                             t.MoveTo(n, nullptr, amAddChildFirst, false);
                             EXPECT_EQ(n, At(t, {1, 0}));
                             t.OnNodeMoving = nullptr;
                         }},
                    });
}

TEST(VirtualTreeStructure, ExpandingAndCollapsing) {
    TTestTree tree;
    MakeBranchy(tree, 2);
    tree.SetRootNodeCount(2);
    RunScript(
        tree,
        {
            {"expand a top node", [](TTestTree& t) { t.ToggleNode(t.GetFirst()); },
             [](TTestTree& t) { EXPECT_EQ(5u, t.VisibleCount()); }},
            {"expand a grandchild level", [](TTestTree& t) { t.ToggleNode(t.GetFirstChild(At(t, {0}))); },
             [](TTestTree& t) { EXPECT_EQ(8u, t.VisibleCount()); }},
            {"collapse the top node hides its subtree", [](TTestTree& t) { t.ToggleNode(At(t, {0})); },
             [](TTestTree& t) {
                 EXPECT_EQ(2u, t.VisibleCount());
                 EXPECT_TRUE(At(t, {0, 0})->States.Contains(vsExpanded));
             }},
            {"full expand", [](TTestTree& t) { t.FullExpand(); },
             [](TTestTree& t) { EXPECT_EQ(2u + 6 + 18, t.VisibleCount()); }},
            {"full collapse of one subtree", [](TTestTree& t) { t.FullCollapse(At(t, {1})); },
             [](TTestTree& t) {
                 EXPECT_EQ(1u + 3 + 9 + 1, t.VisibleCount());
                 EXPECT_FALSE(At(t, {1, 0})->States.Contains(vsExpanded));
             }},
            {"full collapse", [](TTestTree& t) { t.FullCollapse(); },
             [](TTestTree& t) { EXPECT_EQ(2u, t.VisibleCount()); }},
            {"collapsing frees children with toAutoFreeOnCollapse",
             [](TTestTree& t) {
                 t.TreeOptions()->SetAutoOptions(t.TreeOptions()->AutoOptions() +
                                                 TVTAutoOptions{toAutoFreeOnCollapse});
                 t.ToggleNode(At(t, {0}));
                 t.ToggleNode(At(t, {0}));
             },
             [](TTestTree& t) {
                 EXPECT_EQ(0u, At(t, {0})->ChildCount);
                 EXPECT_TRUE(At(t, {0})->States.Contains(vsHasChildren));
             }},
            {"and the next expansion asks again", [](TTestTree& t) { t.ToggleNode(At(t, {0})); },
             [](TTestTree& t) { EXPECT_EQ(3u, At(t, {0})->ChildCount); }},
        });
}

TEST(VirtualTreeStructure, NodeHeights) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    tree.SetChildCount(At(tree, {1}), 2);
    RunScript(tree, {
                        {"a visible node grows", [](TTestTree& t) { t.SetNodeHeight(At(t, {0}), 40); },
                         [](TTestTree& t) { EXPECT_EQ(18u + 40 + 18 + 18, t.RootNode()->TotalHeight); }},
                        {"a hidden child changes only its parent's block",
                         [](TTestTree& t) {
                             t.SetNodeHeight(At(t, {1, 0}), 30);
                         },
                         [](TTestTree& t) { EXPECT_EQ(18u, At(t, {1})->TotalHeight); }},
                        {"expanding shows it", [](TTestTree& t) { t.ToggleNode(At(t, {1})); },
                         [](TTestTree& t) { EXPECT_EQ(18u + 30 + 18, At(t, {1})->TotalHeight); }},
                        {"heights beyond 16 bits are clamped",
                         [](TTestTree& t) { t.SetNodeHeight(At(t, {2}), 70000); },
                         [](TTestTree& t) { EXPECT_EQ(65535u, At(t, {2})->NodeHeight); }},
                        {"new default height applies to new nodes",
                         [](TTestTree& t) {
                             t.SetDefaultNodeHeight(25);
                             t.SetRootNodeCount(4);
                         },
                         [](TTestTree& t) { EXPECT_EQ(25u, At(t, {3})->NodeHeight); }},
                        {"measured heights",
                         [](TTestTree& t) {
                             t.OnMeasureItem = [](TBaseVirtualTree*, TCanvas*, PVirtualNode n, int& h) {
                                 h = 10 + int(n->Index);
                             };
                             t.TreeOptions()->SetMiscOptions(t.TreeOptions()->MiscOptions() +
                                                             TVTMiscOptions{toVariableNodeHeight});
                             for (PVirtualNode n = t.GetFirst(); n; n = t.GetNext(n))
                                 t.GetNodeHeight(n);
                         },
                         [](TTestTree& t) { EXPECT_EQ(13u, At(t, {3})->NodeHeight); }},
                    });
}

TEST(VirtualTreeStructure, ReadOnlyRefusesStructureChanges) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOptions{toReadOnly});
    tree.SetRootNodeCount(5);
    tree.DeleteNode(At(tree, {0}));
    tree.MoveTo(At(tree, {2}), nullptr, amAddChildFirst, false);
    tree.Clear();
    EXPECT_EQ(3u, tree.GetRootNodeCount());
    EXPECT_EQ(At(tree, {2})->Index, 2u);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStructure, FreeNodeFailureStillEmptiesTheTree) {
    TTestTree tree;
    tree.SetRootNodeCount(5);
    for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n)) {
    }
    int freed = 0;
    tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode) {
        if (++freed == 2) throw Exception("handler failed");
    };
    EXPECT_THROW(tree.Clear(), Exception);
    EXPECT_EQ(5, freed);
    EXPECT_EQ(0u, tree.UpdateCount());
    EXPECT_EQ(0u, tree.GetRootNodeCount());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeStructure, LoadingDefersTheRootCount) {
    TTestTree tree;
    tree.SetLoading(true);
    tree.SetRootNodeCount(5);
    tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOptions{toReadOnly});
    tree.SetLoading(false);
    tree.Loaded();
    EXPECT_EQ(5u, tree.GetRootNodeCount());
    EXPECT_TRUE(tree.TreeOptions()->MiscOptions().Contains(toReadOnly));
    EXPECT_FALSE(tree.TreeStates().Contains(tsNeedRootCountUpdate));
    EXPECT_EQ("", CheckInvariants(tree));
}

} // namespace

namespace {

// The position cache holds node pointers: a delete whose OnFreeNode fails must
// still drop it, or the next position query walks from the freed node.
TEST(VirtualTreeStructure, FreeNodeFailureDropsThePositionCache) {
    TTestTree tree;
    tree.SetRootNodeCount(3 * CacheThreshold);
    for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n)) {
    }
    ASSERT_TRUE(tree.EnsurePositionCache(true));
    PVirtualNode cached = At(tree, {int(CacheThreshold)});
    ASSERT_EQ(cached, tree.FPositionCache[1].Node);
    tree.OnFreeNode = [](TBaseVirtualTree*, PVirtualNode) { throw Exception("handler failed"); };
    EXPECT_THROW(tree.DeleteNode(cached), Exception);
    tree.OnFreeNode = nullptr;
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    int top = -1;
    EXPECT_EQ(At(tree, {int(CacheThreshold)}), tree.GetNodeAt(0, 18 * int(CacheThreshold) + 1, false, top));
    EXPECT_EQ(18 * int(CacheThreshold), top);
    EXPECT_EQ("", CheckInvariants(tree));
}

} // namespace

namespace {

// Re-initialising on a read-only tree cannot delete children, so the node
// must not lose the flag that leads to them.
TEST(VirtualTreeStructure, ReadOnlyKeepsChildrenWhenAskedForNone) {
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.SetChildCount(At(tree, {0}), 2);
    tree.ToggleNode(At(tree, {0}));
    tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOptions{toReadOnly});
    tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& Count) { Count = 0; };
    tree.ReinitChildren(At(tree, {0}), false);
    EXPECT_EQ(2u, At(tree, {0})->ChildCount);
    EXPECT_EQ(At(tree, {0, 0}), tree.GetFirstChild(At(tree, {0})));
    EXPECT_EQ("", CheckInvariants(tree));
}

} // namespace

namespace {

TEST(VirtualTreeStructure, AFailingMovedHandlerDropsThePositionCache) {
    TTestTree tree;
    tree.SetRootNodeCount(3 * CacheThreshold);
    ASSERT_TRUE(tree.EnsurePositionCache(true));
    PVirtualNode first = At(tree, {0});
    tree.OnNodeMoved = [](TBaseVirtualTree*, PVirtualNode) { throw Exception("handler failed"); };
    EXPECT_THROW(tree.MoveTo(first, At(tree, {int(CacheThreshold) + 5}), amInsertAfter, false), Exception);
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    EXPECT_EQ(At(tree, {int(CacheThreshold)}), tree.GetNodeAt(0, 18 * int(CacheThreshold) + 1));
    EXPECT_EQ("", CheckInvariants(tree));
}

} // namespace

namespace {

// Expanding, collapsing and adding sorted children change positions before
// their handlers run; a failing handler must not leave the cache in use.
TEST(VirtualTreeStructure, FailingHandlersAfterPositionChangesDropTheCache) {
    auto fail = [](TBaseVirtualTree*, PVirtualNode) { throw Exception("handler failed"); };
    struct TCase {
        const char* Name;
        std::function<void(TTestTree&)> Arm;
        std::function<void(TTestTree&)> Change;
    };
    std::vector<TCase> cases{
        {"collapse", [&](TTestTree& t) { t.OnCollapsed = fail; },
         [](TTestTree& t) { t.ToggleNode(At(t, {0})); }},
        {"expand", [&](TTestTree& t) { t.OnExpanded = fail; },
         [](TTestTree& t) { t.ToggleNode(At(t, {1})); }},
        {"auto-sorted children",
         [](TTestTree& t) {
             t.TreeOptions()->SetAutoOptions(t.TreeOptions()->AutoOptions() + TVTAutoOptions{toAutoSort});
             t.OnCompareNodes = [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex, int&) {
                 throw Exception("handler failed");
             };
         },
         [](TTestTree& t) { t.SetChildCount(At(t, {0}), 8); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestTree tree;
        tree.SetRootNodeCount(3 * CacheThreshold);
        tree.SetChildCount(At(tree, {0}), 4);
        tree.SetChildCount(At(tree, {1}), 4);
        tree.ToggleNode(At(tree, {0}));
        ASSERT_TRUE(tree.EnsurePositionCache(true));
        c.Arm(tree);
        EXPECT_THROW(c.Change(tree), Exception);
        EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
        PVirtualNode expected = tree.GetFirstVisibleNoInit();
        for (uint32_t i = 0; i < CacheThreshold; ++i)
            expected = tree.GetNextVisibleNoInit(expected);
        EXPECT_EQ(expected, tree.GetNodeAt(0, 18 * int(CacheThreshold) + 1));
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

} // namespace

namespace {

// A focus handler failing while the focused node goes must not keep the node
// linked or unfreed.
TEST(VirtualTreeStructure, FailingFocusHandlerStillFreesTheFocusedNode) {
    struct TCase {
        const char* Name;
        std::initializer_list<int> Focused;
        std::function<void(TTestTree&)> Delete;
        int Freed;
        uint32_t RootCount;
    };
    for (const TCase& c :
         {TCase{"the focused node", {2}, [](TTestTree& t) { t.DeleteNode(At(t, {2})); }, 1, 4},
          TCase{"its parent", {1, 1}, [](TTestTree& t) { t.DeleteNode(At(t, {1})); }, 3, 4},
          TCase{"its siblings", {1, 1}, [](TTestTree& t) { t.DeleteChildren(At(t, {1})); }, 2, 5}}) {
        SCOPED_TRACE(c.Name);
        int freed = 0; // outlives the tree, whose end still frees nodes
        TTestTree tree;
        tree.SetRootNodeCount(5);
        tree.SetChildCount(At(tree, {1}), 2);
        tree.ValidateNode(nullptr, true);
        tree.SetFocusedNode(At(tree, c.Focused));
        tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode) { ++freed; };
        tree.OnFocusChanged = [](TBaseVirtualTree*, PVirtualNode, TColumnIndex) {
            throw Exception("handler failed");
        };
        EXPECT_THROW(c.Delete(tree), Exception);
        EXPECT_EQ(c.Freed, freed);
        EXPECT_EQ(c.RootCount, tree.GetRootNodeCount());
        EXPECT_EQ(nullptr, tree.FocusedNode());
        EXPECT_EQ(0u, tree.UpdateCount());
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

} // namespace
