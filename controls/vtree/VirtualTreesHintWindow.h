// The tree's hint window: it measures a tree's hint, draws it into a buffer
// and shows it at once, fading or sliding in over what lies below it.
#pragma once

#include <memory>

#include "controls/vtree/VirtualTrees.h"
#include "platform/gui/Hints.h"

class TVirtualTreeHintWindow : public THintWindow {
public:
    explicit TVirtualTreeHintWindow(TComponent* AOwner);
    ~TVirtualTreeHintWindow() override;

    // Data is the tree's hint data record; the window keeps a copy.
    TRect CalcHintRect(int MaxWidth, const AnsiString& Hint, void* Data) override;
    // An empty Rect cancels the hint. Otherwise the window shows at Rect and
    // the animation of the tree's hint animation type starts.
    void ActivateHint(const TRect& Rect, const AnsiString& Hint) override;
    // Typing leaves the hint in place.
    bool IsHintMsg(const TMessage& Msg) override;
    void Dispatch(TMessage& Message) override;
    const TVTHintData& HintData() const { return FHintData; }

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // One step of the animation: step 0 draws the hint into the buffer;
    // StepSize 0 shows all of it.
    void PaintStep(int Step, int StepSize);
    void SetTree(TBaseVirtualTree* Tree);

    TVTHintData FHintData;
    TBaseVirtualTree* FTree = nullptr;
    THintAnimationType FAnimationType = hatNone;
    bool FAnimating = false;
    // What lies under the window, the hint drawn, and what the window shows.
    std::unique_ptr<TBitmap> FBackground;
    std::unique_ptr<TBitmap> FBuffer;
    std::unique_ptr<TBitmap> FShown;
    // Cleared when the window goes, so that an animation step finds out.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The class trees name in their answer to the hint query.
extern const THintWindowClass VirtualTreeHintWindowClass;

// True while no tree hint window exists (and after a tree went away in the
// middle of a hint's animation): the first header hint then needs no pause.
bool HintWindowGone();
// A tree goes in the middle of an animation: a hint's animation stops.
void NoteTreeGoneWhileAnimating();
