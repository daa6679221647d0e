// The string tree: default texts, the cached main-column width, shortening
// and static text as drawn, and tooltips shown only over cut-off texts.
#include <gtest/gtest.h>

#include "TreeHarness.h"
#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesHintWindow.h"
#include "platform/canvas/Graphics.h"

namespace {

struct TStringFixture {
    TTestView View;
    struct TTree : TVirtualStringTree {
        using TVirtualStringTree::CMHintShow;
        using TVirtualStringTree::CMHintShowPause;
        using TVirtualStringTree::DoGetNodeWidth;
        using TVirtualStringTree::TVirtualStringTree;
        std::vector<AnsiString> Drawn;

    protected:
        void DrawCellText(TVTPaintInfo& PaintInfo, const WideString& Text, TRect R,
                          unsigned Format) override {
            Drawn.push_back(WideToAnsi(Text));
            TVirtualStringTree::DrawCellText(PaintInfo, Text, R, Format);
        }
    } Tree{nullptr};
    std::map<PVirtualNode, WideString> Texts;

    TStringFixture() {
        View.Width = 200;
        View.Height = 100;
        Tree.SetView(&View);
        Tree.WMSize();
        Tree.OnGetText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex, TVSTTextType Type,
                                WideString& Text) {
            auto it = Texts.find(Node);
            if (Type == ttNormal && it != Texts.end()) Text = it->second;
        };
    }
    // The texts one paint draws.
    std::vector<AnsiString> Drawn() {
        TBitmap image(View.Width, View.Height);
        Tree.Drawn.clear();
        Tree.PaintTree(image.Canvas(), TRect{0, 0, View.Width, View.Height}, {0, 0}, WindowPaintOptions);
        return Tree.Drawn;
    }
    // The answer to the hint query at a client point: the hint text, or
    // empty when no hint shows.
    AnsiString HintAt(TPoint P) {
        THintInfo info;
        info.CursorPos = P;
        TMessage m{CM_HINTSHOW, 0, LPARAM(&info), 0};
        Tree.CMHintShow(m);
        return m.Result == 0 ? info.HintStr : AnsiString();
    }
};

} // namespace

TEST(StringTree, CellsStartFromTheDefaultText) {
    TStringFixture f;
    f.Tree.OnGetText = nullptr;
    f.Tree.SetRootNodeCount(1);
    EXPECT_EQ(f.Tree.GetCellText(f.Tree.GetFirst(), NoColumn), u"Node");
    f.Tree.SetDefaultText(u"");
    EXPECT_EQ(f.Tree.GetCellText(f.Tree.GetFirst(), NoColumn), u"");
}

TEST(StringTree, TheMainColumnsWidthIsKeptUntilTheNodeIsInvalidated) {
    TStringFixture f;
    f.Tree.SetRootNodeCount(1);
    PVirtualNode node = f.Tree.GetFirst();
    f.Texts[node] = u"ab";
    const int narrow = f.Tree.DoGetNodeWidth(node, NoColumn, nullptr);
    f.Texts[node] = u"a much longer text";
    EXPECT_EQ(f.Tree.DoGetNodeWidth(node, NoColumn, nullptr), narrow);
    f.Tree.InvalidateNode(node);
    EXPECT_GT(f.Tree.DoGetNodeWidth(node, NoColumn, nullptr), narrow);
}

TEST(StringTree, TextsWiderThanTheCellAreShortenedUnlessTheOwnerDoes) {
    TStringFixture f;
    f.Tree.Header()->Columns()->Add()->SetWidth(80);
    f.Tree.Header()->Columns()->Add()->SetWidth(80);
    f.Tree.SetRootNodeCount(1);
    PVirtualNode node = f.Tree.GetFirst();
    f.Tree.OnGetText = [](TBaseVirtualTree*, PVirtualNode, TColumnIndex Column, TVSTTextType,
                          WideString& Text) { Text = Column == 1 ? u"abcdefghijklmnopqrstuvwxyz" : u"x"; };
    (void)node;
    std::vector<AnsiString> drawn = f.Drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].substr(0, 3), "abc");
    EXPECT_EQ(drawn[1].substr(drawn[1].size() - 3), "...");
    EXPECT_LT(drawn[1].size(), 26u);
    f.Tree.OnShortenString = [](TBaseVirtualTree*, TCanvas*, PVirtualNode, TColumnIndex, const WideString&,
                                int, WideString& Result, bool& Done) {
        Result = u"short";
        Done = true;
    };
    drawn = f.Drawn();
    EXPECT_EQ(drawn[1], "short");
}

TEST(StringTree, StaticTextFollowsTheNodeTextOnlyWhenAskedFor) {
    TStringFixture f;
    f.Tree.SetRootNodeCount(1);
    f.Tree.OnGetText = [](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVSTTextType Type,
                          WideString& Text) { Text = Type == ttNormal ? u"main" : u"extra"; };
    EXPECT_EQ(f.Drawn().size(), 1u);
    f.Tree.StringTreeOptions()->SetStringOptions({toShowStaticText});
    std::vector<AnsiString> drawn = f.Drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1], "extra");
    f.Tree.SetAlignment(taCenter);
    EXPECT_EQ(f.Drawn().size(), 1u) << "no static text in centred trees";
}

TEST(StringTree, ATooltipShowsOnlyWhereTheTextIsCutOff) {
    TStringFixture f;
    f.Tree.Header()->Columns()->Add()->SetWidth(80);
    f.Tree.Header()->Columns()->Add()->SetWidth(80);
    f.Tree.HintMode = hmTooltip;
    f.Tree.SetShowHint(true);
    f.Tree.SetRootNodeCount(2);
    PVirtualNode first = f.Tree.GetFirst();
    f.Tree.OnGetText = [&](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex Column, TVSTTextType,
                           WideString& Text) {
        Text = Node == first && Column == 1 ? u"a text far too wide for its column" : u"ok";
    };
    EXPECT_EQ(f.HintAt({100, 9}), "a text far too wide for its column");
    EXPECT_EQ(f.HintAt({100, 27}), "") << "a text that fits shows none";
    EXPECT_EQ(f.HintAt({30, 9}), "") << "nor does the first column's short text";
    EXPECT_FALSE(f.Tree.TreeStates().Contains(tsHint));
}

TEST(StringTree, HintsComeFromTheOwnerOrTheControl) {
    TStringFixture f;
    f.Tree.HintMode = hmHint;
    f.Tree.SetShowHint(true);
    f.Tree.SetHint("control");
    f.Tree.SetRootNodeCount(1);
    EXPECT_EQ(f.HintAt({10, 9}), "control");
    f.Tree.OnGetHint = [](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVTTooltipLineBreakStyle&,
                          WideString& Text) { Text = u"owner"; };
    EXPECT_EQ(f.HintAt({10, 9}), "control") << "the mouse stayed inside the last hint's rectangle";
    f.HintAt({10, 80});
    EXPECT_EQ(f.HintAt({10, 9}), "owner");
}

TEST(StringTree, TooltipsAndTheFirstHeaderHintNeedNoPause) {
    struct TCase {
        const char* Name;
        TVTHintMode Mode;
        bool HeaderHints;
        TPoint Cursor; // client coordinates; the header lies above 0
        int Pause;
    } cases[] = {
        {"tooltips", hmTooltip, false, {10, 9}, 0},
        {"node hints wait", hmHint, true, {10, 9}, 500},
        {"a header hint before any hint window", hmDefault, true, {10, -5}, 0},
        {"header without its hints", hmDefault, false, {10, -5}, 500},
    };
    // No hint window now.
    delete new TVirtualTreeHintWindow(nullptr);
    ASSERT_TRUE(HintWindowGone());
    for (const TCase& c : cases) {
        TStringFixture f;
        f.Tree.Header()->Columns()->Add()->SetWidth(80);
        f.Tree.Header()->SetOptions(f.Tree.Header()->Options() + TVTHeaderOptions{hoVisible} +
                                    (c.HeaderHints ? TVTHeaderOptions{hoShowHint} : TVTHeaderOptions{}));
        f.Tree.HintMode = c.Mode;
        f.View.Cursor = c.Cursor;
        int pause = 500;
        TMessage m{CM_HINTSHOWPAUSE, 0, LPARAM(&pause), 0};
        f.Tree.CMHintShowPause(m);
        EXPECT_EQ(pause, c.Pause) << c.Name;
    }
}
