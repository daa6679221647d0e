// The scripted drag of the tests.
#include "platform/testing/ScriptedDrag.h"

#include "platform/canvas/Graphics.h"

namespace {
std::shared_ptr<TBitmap> CopyOf(const TBitmap& Image) {
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(const_cast<TBitmap*>(&Image));
    return copy;
}
} // namespace

TScriptedDrag::TScriptedDrag() : FPrevious(SetDragService(this)) {}

TScriptedDrag::~TScriptedDrag() {
    SetDragService(FPrevious);
}

TScriptedDrag& TScriptedDrag::MoveTo(TControl* Over, TPoint At, unsigned KeyState) {
    Moves.push_back({Over, At, KeyState, false});
    return *this;
}

TScriptedDrag& TScriptedDrag::ReleaseAt(TControl* Over, TPoint At, unsigned KeyState) {
    Moves.push_back({Over, At, KeyState, false});
    return *this;
}

TScriptedDrag& TScriptedDrag::PressEscape() {
    TMove escape = Moves.empty() ? TMove{} : Moves.back();
    escape.Escape = true;
    Moves.push_back(escape);
    return *this;
}

HRESULT TScriptedDrag::DoDragDrop(const std::shared_ptr<IDataObject>& Data, IDropSource& Source,
                                  uint32_t OkEffects, uint32_t& Effect) {
    ++Drags;
    Effect = DROPEFFECT_NONE;
    std::vector<TMove> moves = std::move(Moves);
    Moves.clear();
    std::shared_ptr<IDropTarget> current;
    TWinControl* currentControl = nullptr;
    uint32_t lastEffect = DROPEFFECT_NONE;
    auto leave = [&] {
        if (!current) return;
        current->DragLeave();
        Calls.push_back({"leave", currentControl, {}, DROPEFFECT_NONE});
        current = nullptr;
        currentControl = nullptr;
    };
    for (const TMove& m : moves) {
        HRESULT next = Source.QueryContinueDrag(m.Escape, m.KeyState);
        if (next == DRAGDROP_S_CANCEL) {
            leave();
            return DRAGDROP_S_CANCEL;
        }
        TPoint at = m.Over ? m.Over->ClientToScreen(m.At) : m.At;
        TWinControl* control = nullptr;
        std::shared_ptr<IDropTarget> target = m.Over ? FindDropTarget(m.Over, &control) : nullptr;
        uint32_t effect = OkEffects;
        if (target != current) {
            leave();
            current = target;
            currentControl = control;
            if (current) {
                if (FAILED(current->DragEnter(Data, m.KeyState, at, effect))) effect = DROPEFFECT_NONE;
                Calls.push_back({"enter", control, at, effect});
                lastEffect = effect;
            }
        } else if (current && next != DRAGDROP_S_DROP) {
            if (FAILED(current->DragOver(m.KeyState, at, effect))) effect = DROPEFFECT_NONE;
            Calls.push_back({"over", control, at, effect});
            lastEffect = effect;
        }
        if (!current) lastEffect = DROPEFFECT_NONE;
        if (next == DRAGDROP_S_DROP) {
            // A target that would do nothing gets no drop.
            if ((lastEffect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE) {
                leave();
                return DRAGDROP_S_DROP;
            }
            uint32_t dropped = OkEffects;
            HRESULT result = current->Drop(Data, m.KeyState, at, dropped);
            Calls.push_back({"drop", currentControl, at, dropped});
            Effect = SUCCEEDED(result) ? dropped & OkEffects : DROPEFFECT_NONE;
            return DRAGDROP_S_DROP;
        }
        Feedback.push_back(lastEffect);
        Source.GiveFeedback(lastEffect);
    }
    leave();
    return DRAGDROP_S_CANCEL;
}

bool TScriptedDrag::SetDragPicture(const std::shared_ptr<IDataObject>&, const TDragPicture& Picture) {
    if (!TakesPictures || !Picture.Image) return false;
    Pictures.push_back({CopyOf(*Picture.Image), Picture.HotSpot});
    return true;
}

void TScriptedDrag::ShowDragPicture(const TBitmap& Image, TPoint ScreenPos) {
    PicturePositions.push_back(ScreenPos);
    ShownPicture = CopyOf(Image);
    PictureShown = true;
}

void TScriptedDrag::HideDragPicture() {
    PictureShown = false;
}
