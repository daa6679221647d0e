// The header: mouse scripts for resizing, reordering, clicking and fitting,
// hot tracking on the manual clock, the sort settings, and the header stream
// with its round trip and the streams it refuses.
#include <gtest/gtest.h>

#include <sstream>

#include "TreeHarness.h"

namespace {

struct THeaderFixture {
    TTestView View;
    std::vector<std::string> Log;
    TTestTree Tree{View};

    // Columns 40, 60 and 80 wide, the header visible; three top-level nodes
    // whose longest first-column text is ten characters.
    THeaderFixture() {
        Tree.Header()->SetOptions(Tree.Header()->Options() + TVTHeaderOptions{hoVisible});
        for (int width : {40, 60, 80})
            Tree.Header()->Columns()->Add()->SetWidth(width);
        Tree.SetRootNodeCount(3);
        Tree.TextOf = TextsByPath(Tree, {{"0", "abc"}, {"1", "abcdefghij"}, {"2", "ab"}});
        Tree.OnHeaderClick = [this](TVTHeader*, TColumnIndex c, TMouseButton, TShiftState s, int, int) {
            Log.push_back("click " + std::to_string(c) + (s & ssDouble ? " dbl" : ""));
        };
        Tree.OnHeaderDblClick = [this](TVTHeader*, TColumnIndex c, TMouseButton, TShiftState, int, int) {
            Log.push_back("dblclick " + std::to_string(c));
        };
        Tree.OnHeaderDragged = [this](TVTHeader*, TColumnIndex c, int from) {
            Log.push_back("dragged " + std::to_string(c) + " from " + std::to_string(from));
        };
        Tree.OnHeaderDraggedOut = [this](TVTHeader*, TColumnIndex c, TPoint) {
            Log.push_back("draggedout " + std::to_string(c));
        };
        Tree.OnColumnResize = [this](TVTHeader*, TColumnIndex c) {
            if (c >= 0) Log.push_back("resize " + std::to_string(c));
        };
        Tree.OnHeaderMouseDown = [this](TVTHeader*, TMouseButton, TShiftState, int, int) {
            Log.push_back("down");
        };
        Tree.OnHeaderMouseUp = [this](TVTHeader*, TMouseButton, TShiftState, int, int) {
            Log.push_back("up");
        };
    }

    // One mouse or key event of a script: "down X", "move X", "up X [Y]",
    // "dbl X", "cursor X" or "esc"; Y is -5 (inside the header) unless given.
    void Run(const std::string& Event) {
        std::istringstream in(Event);
        std::string kind;
        int x = 0, y = -5;
        in >> kind >> x;
        in >> y;
        TVTHeader* header = Tree.Header();
        const TPoint p{x, y};
        if (kind == "down")
            header->HandleMouseDown(TMouseButton::mbLeft, 0, p);
        else if (kind == "move")
            header->HandleMouseMove(0, p);
        else if (kind == "up")
            header->HandleMouseUp(TMouseButton::mbLeft, 0, p, false);
        else if (kind == "dbl")
            header->HandleDblClick(TMouseButton::mbLeft, 0, p);
        else if (kind == "cursor")
            header->HandleSetCursor(p);
        else if (kind == "esc")
            Tree.WMKeyDown(VK_ESCAPE, 0);
        else
            ADD_FAILURE() << "unknown event " << Event;
    }

    std::vector<int> Widths() {
        std::vector<int> result;
        for (int i = 0; i < Tree.Header()->Columns()->Count(); ++i)
            result.push_back(Tree.Header()->Columns()->GetItem(i)->Width());
        return result;
    }
};

struct TMouseScript {
    const char* Name;
    std::function<void(THeaderFixture&)> Setup;
    std::vector<std::string> Events;
    std::vector<std::string> Log;
    std::vector<int> Widths;
    std::vector<TColumnIndex> Positions;
};

TEST(VirtualTreeHeader, MouseScripts) {
    auto none = [](THeaderFixture&) {};
    const std::vector<TMouseScript> scripts = {
        {"drag an edge wider",
         none,
         {"down 40", "move 45", "move 70", "up 70"},
         {"down", "resize 0", "up"},
         {70, 60, 80},
         {0, 1, 2}},
        {"drag an edge below the minimum",
         none,
         {"down 40", "move 41", "move 5", "up 5"},
         {"down", "resize 0", "up"},
         {10, 60, 80},
         {0, 1, 2}},
        {"press and release is a click",
         none,
         {"down 110", "up 110"},
         {"down", "click 2", "up"},
         {40, 60, 80},
         {0, 1, 2}},
        {"a move within the threshold is still a click",
         none,
         {"down 110", "move 113", "up 113"},
         {"down", "click 2", "up"},
         {40, 60, 80},
         {0, 1, 2}},
        {"drop on the right half of the third column",
         none,
         {"down 10", "move 149", "move 150", "up 150"},
         {"down", "dragged 0 from 0", "up"},
         {40, 60, 80},
         {1, 2, 0}},
        {"drop on the left half of the third column",
         none,
         {"down 10", "move 129", "move 130", "up 130"},
         {"down", "dragged 0 from 0", "up"},
         {40, 60, 80},
         {1, 0, 2}},
        {"drop on the left half of the first column",
         none,
         {"down 150", "move 6", "move 5", "up 5"},
         {"down", "dragged 2 from 2", "up"},
         {40, 60, 80},
         {2, 0, 1}},
        {"drop outside the window",
         none,
         {"down 10", "move 149", "move 150", "up 150 300"},
         {"down", "draggedout 0", "up"},
         {40, 60, 80},
         {0, 1, 2}},
        {"escape ends a drag",
         none,
         {"down 10", "move 149", "move 150", "esc", "up 150"},
         {"down"},
         {40, 60, 80},
         {0, 1, 2}},
        {"escape ends a resize",
         none,
         {"down 40", "move 45", "move 60", "esc", "move 90", "up 90"},
         {"down", "resize 0"},
         {60, 60, 80},
         {0, 1, 2}},
        {"an edge without the resize option is a press on the column",
         [](THeaderFixture& F) {
             F.Tree.Header()->SetOptions(F.Tree.Header()->Options() - TVTHeaderOptions{hoColumnResize});
         },
         {"down 40", "up 40"},
         {"down", "click 1", "up"},
         {40, 60, 80},
         {0, 1, 2}},
        {"a refused drag stays a press",
         [](THeaderFixture& F) {
             F.Tree.OnHeaderDragging = [](TVTHeader*, TColumnIndex, bool& A) { A = false; };
         },
         {"down 10", "move 150", "up 150"},
         {"down", "up"},
         {40, 60, 80},
         {0, 1, 2}},
        {"double click on an edge fits the column",
         [](THeaderFixture& F) {
             F.Tree.Header()->SetOptions(F.Tree.Header()->Options() + TVTHeaderOptions{hoDblClickResize});
         },
         {"cursor 40", "dbl 40"},
         {"resize 0"},
         {82, 60, 80},
         {0, 1, 2}},
        {"double click on a button clicks twice over",
         [](THeaderFixture& F) {
             F.Tree.Header()->SetOptions(F.Tree.Header()->Options() + TVTHeaderOptions{hoDblClickResize});
         },
         {"cursor 110", "dbl 110"},
         {"click 2 dbl", "dblclick 2"},
         {40, 60, 80},
         {0, 1, 2}},
        {"right to left: the left edge is dragged",
         [](THeaderFixture& F) { F.Tree.SetBiDiMode(bdRightToLeft); },
         {"down 22", "move 20", "move 10", "up 10"},
         {"down", "resize 0", "up"},
         {50, 60, 80},
         {0, 1, 2}},
    };
    for (const TMouseScript& s : scripts) {
        SCOPED_TRACE(s.Name);
        THeaderFixture f;
        s.Setup(f);
        for (const std::string& e : s.Events) {
            f.Run(e);
            EXPECT_EQ("", CheckInvariants(f.Tree)) << "after " << e;
        }
        EXPECT_EQ(s.Log, f.Log);
        EXPECT_EQ(s.Widths, f.Widths());
        EXPECT_EQ(s.Positions, f.Tree.Header()->Columns()->PositionToIndex());
        EXPECT_TRUE(f.Tree.Header()->States().Empty());
        EXPECT_FALSE(f.View.Captured);
    }
}

TEST(VirtualTreeHeader, SplitCursorOnlyOverResizableEdges) {
    THeaderFixture f;
    EXPECT_TRUE(f.Tree.Header()->HandleSetCursor(TPoint{40, -5}));
    EXPECT_EQ(crHeaderSplit, f.View.ShownCursor);
    f.View.ShownCursor = crDefault;
    EXPECT_FALSE(f.Tree.Header()->HandleSetCursor(TPoint{20, -5}));
    f.Tree.OnGetHeaderCursor = [](TVTHeader*, TCursor& C) { C = crDefault; };
    EXPECT_FALSE(f.Tree.Header()->HandleSetCursor(TPoint{40, -5}));
    EXPECT_EQ(crDefault, f.View.ShownCursor);
}

TEST(VirtualTreeHeader, HotColumnClearsOneTimerTickAfterTheMouseLeaves) {
    THeaderFixture f;
    TVirtualTreeColumns* columns = f.Tree.Header()->Columns();
    f.View.Cursor = TPoint{50, -5};
    f.Tree.Header()->HandleHoverMove(0, TPoint{50, -5});
    EXPECT_EQ(1, columns->HoverIndex);
    EXPECT_TRUE(f.View.TimerRunning(HeaderTimer));
    f.View.Advance(f.Tree, 50);
    EXPECT_EQ(1, columns->HoverIndex); // still over the header
    f.View.Cursor = TPoint{50, 40};
    f.View.Advance(f.Tree, 49);
    EXPECT_EQ(1, columns->HoverIndex);
    f.View.Advance(f.Tree, 1);
    EXPECT_EQ(NoColumn, columns->HoverIndex);
    EXPECT_FALSE(f.View.TimerRunning(HeaderTimer));
}

TEST(VirtualTreeHeader, SortAndMainColumnsAreClamped) {
    THeaderFixture f;
    TVTHeader* header = f.Tree.Header();
    header->SetSortColumn(7);
    EXPECT_EQ(2, header->SortColumn());
    header->SetSortColumn(-5);
    EXPECT_EQ(NoColumn, header->SortColumn());
    header->SetMainColumn(9);
    EXPECT_EQ(2, header->MainColumn());
    header->SetMainColumn(-3);
    EXPECT_EQ(0, header->MainColumn());
}

TEST(VirtualTreeHeader, SortSettingsSortTheTreeWithAutoSort) {
    THeaderFixture f;
    f.Tree.SetNodeDataSize(sizeof(TNodeRecord));
    f.Tree.OnInitNode = [](TBaseVirtualTree* T, PVirtualNode, PVirtualNode N, TVirtualNodeInitStates&) {
        T->GetNodeData<TNodeRecord>(N)->Key = int(N->Index);
    };
    f.Tree.OnCompareNodes = [](TBaseVirtualTree* T, PVirtualNode A, PVirtualNode B, TColumnIndex, int& R) {
        R = T->GetNodeData<TNodeRecord>(A)->Key - T->GetNodeData<TNodeRecord>(B)->Key;
    };
    f.Tree.TreeOptions()->SetAutoOptions(f.Tree.TreeOptions()->AutoOptions() + TVTAutoOptions{toAutoSort});
    f.Tree.Header()->SetSortColumn(0);
    f.Tree.Header()->SetSortDirection(sdDescending);
    EXPECT_EQ(2, f.Tree.GetNodeData<TNodeRecord>(f.Tree.GetFirst())->Key);
    EXPECT_EQ("", CheckInvariants(f.Tree));
}

// ---- The header stream ----

// A header with everything set away from its defaults.
void Configure(TTestTree& Tree) {
    TVTHeader* header = Tree.Header();
    TVirtualTreeColumns* columns = header->Columns();
    for (int i = 0; i < 3; ++i) {
        TVirtualTreeColumn* c = columns->Add();
        c->SetText(u"Col\u0416" + std::u16string(1, char16_t(u'0' + i)));
        c->Hint = u"hint";
    }
    columns->GetItem(0)->SetMinWidth(0);
    columns->GetItem(0)->SetWidth(5);
    columns->GetItem(1)->SetMaxWidth(20000);
    columns->GetItem(1)->SetMinWidth(12000);
    columns->GetItem(1)->SetWidth(15000);
    columns->GetItem(2)->SetOptions(columns->GetItem(2)->Options() + TVTColumnOptions{coAutoSpring, coFixed});
    columns->GetItem(2)->SetAlignment(taCenter);
    columns->GetItem(2)->SetColor(clRed);
    columns->GetItem(2)->Tag = 42;
    columns->GetItem(2)->SetImageIndex(3);
    columns->GetItem(2)->SetLayout(blGlyphBottom);
    columns->GetItem(2)->SetMargin(7);
    columns->GetItem(2)->SetSpacing(9);
    columns->GetItem(2)->SetStyle(vsOwnerDraw);
    columns->GetItem(2)->SetBiDiMode(bdRightToLeft);
    columns->GetItem(0)->SetPosition(2);
    header->SetSortColumn(1);
    header->SetSortDirection(sdDescending);
    header->SetMainColumn(2);
    header->SetAutoSizeIndex(1);
    header->SetBackground(clYellow);
    header->SetHeight(25);
    header->SetStyle(hsXPStyle);
    header->SetOptions(TVTHeaderOptions{hoVisible, hoShowSortGlyphs, hoDrag, hoHotTrack});
    TVTHeaderFont font;
    font.Name = "Arial";
    font.Height = -13;
    font.Color = clNavy;
    font.Style = 3;
    font.Pitch = 2;
    header->SetFont(font);
}

TVTBytes Save(TTestTree& Tree) {
    TVTBytes bytes;
    Tree.Header()->SaveToStream(bytes);
    return bytes;
}

TEST(VirtualTreeHeader, StreamRoundTrip) {
    TTestView sourceView, targetView;
    TTestTree source(sourceView), target(targetView);
    Configure(source);
    TVTBytes bytes = Save(source);
    bytes.push_back(0xAB); // what follows the header stays unread
    size_t position = 0;
    target.Header()->LoadFromStream(bytes, position);
    EXPECT_EQ(bytes.size() - 1, position);
    EXPECT_EQ("", CheckInvariants(target));
    EXPECT_TRUE(target.Header()->Columns()->SameAs(*source.Header()->Columns()));
    EXPECT_EQ(1, target.Header()->SortColumn());
    EXPECT_EQ(sdDescending, target.Header()->SortDirection());
    EXPECT_EQ(2, target.Header()->MainColumn());
    EXPECT_EQ(25u, target.Header()->Height());
    EXPECT_EQ(source.Header()->Options(), target.Header()->Options());
    EXPECT_EQ(source.Header()->Font(), target.Header()->Font());
    EXPECT_EQ(5, target.Header()->Columns()->GetItem(0)->Width());
    EXPECT_EQ(15000, target.Header()->Columns()->GetItem(1)->Width());
    bytes.pop_back();
    EXPECT_EQ(bytes, Save(target));
}

void PutInt(TVTBytes& S, int32_t V) {
    for (int i = 0; i < 4; ++i)
        S.push_back(uint8_t(uint32_t(V) >> (8 * i)));
}

TEST(VirtualTreeHeader, StreamWithoutVersionMarkConvertsOldOptions) {
    TVTBytes s;
    PutInt(s, 1); // one column, no marker: version -1
    PutInt(s, 0); // caption
    PutInt(s, 0); // hint
    for (int32_t v : {70, 10, 10000, 0, -1, 0, 4, 4, 0})
        PutInt(s, v);
    PutInt(s, 0x7F); // old options: bits 0-6
    PutInt(s, 0);    // position array
    for (int32_t v : {0, int32_t(clBtnFace), 17, 0, 0, 0, -11})
        PutInt(s, v);
    PutInt(s, 0); // font name
    PutInt(s, 0);
    PutInt(s, 0);
    TTestView view;
    TTestTree tree(view);
    tree.Header()->SetSortColumn(NoColumn);
    size_t position = 0;
    tree.Header()->LoadFromStream(s, position);
    EXPECT_EQ(s.size(), position);
    ASSERT_EQ(1, tree.Header()->Columns()->Count());
    // Bits 4-6 moved up to 5-7; parent colour stays off.
    EXPECT_EQ(TVTColumnOptions::FromBits(0xEF), tree.Header()->Columns()->GetItem(0)->Options());
    EXPECT_EQ(70, tree.Header()->Columns()->GetItem(0)->Width());
    EXPECT_EQ(NoColumn, tree.Header()->SortColumn());
    EXPECT_EQ("", CheckInvariants(tree));
}

struct TBadStream {
    const char* Name;
    std::function<void(TVTBytes&)> Spoil;
};

// Offsets into the stream Configure makes: marker, version, count, then the
// first column's caption length.
constexpr size_t CountAt = 8, CaptionLengthAt = 12;

void Poke(TVTBytes& S, size_t At, int32_t V) {
    for (int i = 0; i < 4; ++i)
        S[At + size_t(i)] = uint8_t(uint32_t(V) >> (8 * i));
}

int32_t Peek(const TVTBytes& S, size_t At) {
    return int32_t(uint32_t(S[At]) | uint32_t(S[At + 1]) << 8 | uint32_t(S[At + 2]) << 16 |
                   uint32_t(S[At + 3]) << 24);
}

// Where the position array starts: after the count and the three column records.
size_t PositionsAt(const TVTBytes& S) {
    size_t at = CountAt + 4;
    for (int c = 0; c < 3; ++c) {
        at += 4 + 2 * size_t(Peek(S, at));
        at += 4 + 2 * size_t(Peek(S, at));
        at += 13 * 4;
    }
    return at;
}

TEST(VirtualTreeHeader, BadStreamsRaiseAndChangeNothing) {
    const std::vector<TBadStream> cases = {
        {"empty", [](TVTBytes& S) { S.clear(); }},
        {"cut inside the columns", [](TVTBytes& S) { S.resize(40); }},
        {"cut before the last field", [](TVTBytes& S) { S.resize(S.size() - 2); }},
        {"a column count beyond the data", [](TVTBytes& S) { Poke(S, CountAt, 0x7FFFFFFF); }},
        {"a negative caption length", [](TVTBytes& S) { Poke(S, CaptionLengthAt, -2); }},
        {"a caption longer than the data", [](TVTBytes& S) { Poke(S, CaptionLengthAt, 0x40000000); }},
        {"a position twice", [](TVTBytes& S) { Poke(S, PositionsAt(S) + 4, Peek(S, PositionsAt(S))); }},
        {"a position beyond the columns", [](TVTBytes& S) { Poke(S, PositionsAt(S), 3); }},
        {"a negative position", [](TVTBytes& S) { Poke(S, PositionsAt(S), -1); }},
        {"an unknown column style", [](TVTBytes& S) { Poke(S, CaptionLengthAt + 4 + 10 + 4 + 8 + 12, 7); }},
        {"a font name longer than the data", [](TVTBytes& S) { Poke(S, S.size() - 6 * 4 - 5, 0x10000); }},
    };
    TTestView sourceView;
    TTestTree source(sourceView);
    Configure(source);
    const TVTBytes good = Save(source);
    for (const TBadStream& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree target(view);
        target.Header()->Columns()->Add()->SetText(u"kept");
        target.Header()->SetSortColumn(0);
        const TVTBytes before = Save(target);
        TVTBytes bad = good;
        c.Spoil(bad);
        size_t position = 0;
        EXPECT_THROW(target.Header()->LoadFromStream(bad, position), EVirtualTreeError);
        EXPECT_EQ(0u, position);
        EXPECT_EQ(before, Save(target));
        EXPECT_EQ("", CheckInvariants(target));
    }
}

TEST(VirtualTreeHeader, EveryPrefixAndEveryByteFlipLoadsOrLeavesTheHeaderAlone) {
    TTestView sourceView;
    TTestTree source(sourceView);
    Configure(source);
    const TVTBytes good = Save(source);
    TTestView view;
    TTestTree target(view);
    for (size_t length = 0; length < good.size(); ++length) {
        const TVTBytes before = Save(target);
        TVTBytes prefix(good.begin(), good.begin() + std::ptrdiff_t(length));
        size_t position = 0;
        EXPECT_THROW(target.Header()->LoadFromStream(prefix, position), EVirtualTreeError) << length;
        EXPECT_EQ(before, Save(target)) << length;
    }
    for (size_t at = 0; at < good.size(); ++at) {
        TVTBytes flipped = good;
        flipped[at] ^= 0xFF;
        const TVTBytes before = Save(target);
        size_t position = 0;
        try {
            target.Header()->LoadFromStream(flipped, position);
        } catch (const EVirtualTreeError&) {
            EXPECT_EQ(before, Save(target)) << at;
        }
        EXPECT_EQ("", CheckInvariants(target)) << at;
    }
}

} // namespace
