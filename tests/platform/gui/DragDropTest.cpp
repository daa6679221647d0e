// Drag and drop through the layer without a display: drags played by the
// scripted drag over registered targets, within one target and between
// two, with the effects the keys choose, cancelled and refused.
#include <gtest/gtest.h>

#include "platform/gui/Clipbrd.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/Forms.h"
#include "platform/testing/ScriptedDrag.h"

namespace {
const TClipFormat SourceFormat = RegisterClipboardFormat("Test List Source");

// A list that takes dropped text: within itself it moves by default, from
// elsewhere it copies; Ctrl copies, Shift moves, both link.
class TList : public TCustomControl {
public:
    explicit TList(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::vector<AnsiString> Items;
    uint32_t Propose(bool FromSelf, unsigned Keys, uint32_t Allowed) const {
        uint32_t wanted = FromSelf ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
        if ((Keys & MK_CONTROL) && (Keys & MK_SHIFT))
            wanted = DROPEFFECT_LINK;
        else if (Keys & MK_CONTROL)
            wanted = DROPEFFECT_COPY;
        else if (Keys & MK_SHIFT)
            wanted = DROPEFFECT_MOVE;
        if (Allowed & wanted) return wanted;
        uint32_t fallback = FromSelf ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
        return Allowed & fallback ? fallback : DROPEFFECT_NONE;
    }
};

class TListTarget : public IDropTarget {
public:
    explicit TListTarget(TList* List) : FList(List) {}
    HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint&,
                      uint32_t& Effect) override {
        FFromSelf = false;
        FHasText = Data->QueryGetData(MakeFormatEtc(CF_TEXT)) == S_OK;
        if (auto source = GetDataBytes(*Data, SourceFormat))
            FFromSelf = TextFromBlock(*source) == FList->Name();
        return Answer(KeyState, Effect);
    }
    HRESULT DragOver(unsigned KeyState, const TPoint&, uint32_t& Effect) override {
        return Answer(KeyState, Effect);
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint&,
                 uint32_t& Effect) override {
        Answer(KeyState, Effect);
        if (Effect != DROPEFFECT_NONE) FList->Items.push_back(TextFromBlock(*GetDataBytes(*Data, CF_TEXT)));
        return S_OK;
    }

private:
    HRESULT Answer(unsigned KeyState, uint32_t& Effect) {
        Effect = FHasText ? FList->Propose(FFromSelf, KeyState, Effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    TList* FList;
    bool FFromSelf = false;
    bool FHasText = false;
};

// Drops on Escape or with both main buttons down, drops once neither is.
class TListSource : public IDropSource {
public:
    HRESULT QueryContinueDrag(bool EscapePressed, unsigned KeyState) override {
        bool left = KeyState & MK_LBUTTON, right = KeyState & MK_RBUTTON;
        if (EscapePressed || (left && right)) return DRAGDROP_S_CANCEL;
        return left || right ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(uint32_t) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

struct DragDropTest : ::testing::Test {
    void SetUp() override {
        Form.SetBounds(0, 0, 400, 200);
        for (TList* list : {A, B}) {
            list->SetParent(&Form);
            list->HandleNeeded();
            ASSERT_EQ(RegisterDragDrop(list, std::make_shared<TListTarget>(list)), S_OK);
        }
        A->SetName("A");
        A->SetBounds(0, 0, 200, 200);
        A->Items = {"one", "two"};
        B->SetName("B");
        B->SetBounds(200, 0, 200, 200);
    }
    // Drags item Index of List as the scripted moves say; a move takes the
    // item from its list.
    HRESULT DragItem(TList* List, int Index, uint32_t Allowed, uint32_t& Effect) {
        auto data = std::make_shared<TBlockDataObject>();
        AnsiString item = List->Items[std::size_t(Index)];
        data->SetBlock(CF_TEXT, TextBlock(item));
        data->SetBlock(SourceFormat, TextBlock(List->Name()));
        HRESULT result = DoDragDrop(data, std::make_shared<TListSource>(), Allowed, Effect);
        if (result == DRAGDROP_S_DROP && Effect == DROPEFFECT_MOVE)
            List->Items.erase(List->Items.begin() + Index);
        return result;
    }
    std::vector<AnsiString> CallNames() const {
        std::vector<AnsiString> names;
        for (const auto& c : Drag.Calls)
            names.push_back(c.Name + (c.Target ? "@" + c.Target->Name() : AnsiString()));
        return names;
    }

    TScriptedDrag Drag;
    TForm Form{nullptr};
    TList* A = new TList(&Form);
    TList* B = new TList(&Form);
};
} // namespace

TEST_F(DragDropTest, TheKeysChooseTheEffectWithinOneTargetAndBetweenTwo) {
    struct {
        const char* Case;
        bool ToOther;
        unsigned Keys;
        uint32_t Allowed;
        uint32_t Effect;
    } cases[] = {
        {"within one target it moves", false, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {"Ctrl copies within one target", false, MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE,
         DROPEFFECT_COPY},
        {"to another target it copies", true, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {"Shift moves to another target", true, MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {"Ctrl with Shift links", true, MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_LINK,
         DROPEFFECT_LINK},
        {"a move the source forbids copies", true, MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_COPY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        A->Items = {"one", "two"};
        B->Items.clear();
        Drag.Calls.clear();
        TList* to = c.ToOther ? B : A;
        Drag.MoveTo(A, {10, 10}).MoveTo(A, {10, 40}, MK_LBUTTON | c.Keys);
        if (c.ToOther) Drag.MoveTo(B, {20, 40}, MK_LBUTTON | c.Keys);
        Drag.ReleaseAt(to, {20, 50}, c.Keys);
        uint32_t effect = DROPEFFECT_NONE;
        ASSERT_EQ(DragItem(A, 0, c.Allowed, effect), DRAGDROP_S_DROP);
        EXPECT_EQ(effect, c.Effect);
        EXPECT_EQ(to->Items.back(), "one");
        bool moved = effect == DROPEFFECT_MOVE;
        EXPECT_EQ(A->Items.size() + B->Items.size(), moved ? 2u : 3u);
        std::vector<AnsiString> expected =
            c.ToOther ? std::vector<AnsiString>{"enter@A", "over@A", "leave@A", "enter@B", "drop@B"}
                      : std::vector<AnsiString>{"enter@A", "over@A", "drop@A"};
        EXPECT_EQ(CallNames(), expected);
    }
    TPoint at = B->ClientToScreen({20, 50});
    EXPECT_EQ(Drag.Calls.back().At, at) << "targets get screen points";
}

TEST_F(DragDropTest, EscapeCancelsAndADropNowhereOrRefusedDoesNothing) {
    uint32_t effect = DROPEFFECT_COPY;
    Drag.MoveTo(A, {10, 10}).MoveTo(B, {10, 10}).PressEscape();
    EXPECT_EQ(DragItem(A, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(CallNames(), (std::vector<AnsiString>{"enter@A", "leave@A", "enter@B", "leave@B"}));
    EXPECT_TRUE(B->Items.empty());

    Drag.Calls.clear();
    Drag.MoveTo(B, {10, 10}).ReleaseAt(nullptr, {900, 900});
    EXPECT_EQ(DragItem(A, 0, DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE) << "released outside every window";
    EXPECT_EQ(CallNames(), (std::vector<AnsiString>{"enter@B", "leave@B"}));
    EXPECT_EQ(A->Items.size(), 2u);

    // A target that would do nothing gets a leave instead of the drop.
    Drag.Calls.clear();
    Drag.MoveTo(B, {10, 10}).ReleaseAt(B, {10, 10});
    HRESULT result = DoDragDrop(std::make_shared<TBlockDataObject>(), std::make_shared<TListSource>(),
                                DROPEFFECT_COPY, effect);
    EXPECT_EQ(result, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(CallNames(), (std::vector<AnsiString>{"enter@B", "leave@B"}));

    // A drag whose mouse is never released ends cancelled.
    Drag.MoveTo(A, {10, 10});
    EXPECT_EQ(DragItem(A, 0, DROPEFFECT_MOVE, effect), DRAGDROP_S_CANCEL);
}

TEST_F(DragDropTest, AChildDropsOnItsRegisteredParentAndADestroyedTargetIsForgotten) {
    auto* inner = new TCustomControl(&Form);
    inner->SetParent(B);
    inner->SetBounds(5, 5, 20, 20);
    TWinControl* registered = nullptr;
    EXPECT_TRUE(FindDropTarget(inner, &registered));
    EXPECT_EQ(registered, B);
    Drag.MoveTo(inner, {1, 1}).ReleaseAt(inner, {2, 2});
    uint32_t effect = DROPEFFECT_NONE;
    ASSERT_EQ(DragItem(A, 1, DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(B->Items, (std::vector<AnsiString>{"two"}));

    delete B;
    B = nullptr;
    EXPECT_FALSE(FindDropTarget(A->Parent()));
    auto* fresh = new TCustomControl(&Form);
    fresh->SetParent(&Form);
    EXPECT_FALSE(FindDropTarget(fresh));
}
