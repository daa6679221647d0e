// The tree's hint window: measuring through the tree, a buffer drawn by the
// tree, and the fade or slide that shows it, step by step on the tree's
// animation timer.
#include "controls/vtree/VirtualTreesHintWindow.h"

#include <algorithm>

#include "platform/canvas/Graphics.h"
#include "platform/gui/Forms.h"

namespace {

bool gHintWindowGone = true;

THintWindow* NewTreeHintWindow(TComponent* AOwner) {
    return new TVirtualTreeHintWindow(AOwner);
}

// Constant alpha of a fade step of 255.
int FadeAlpha(int Step) {
    return std::clamp(Step * 256 / 255, 0, 256);
}

} // namespace

const THintWindowClass VirtualTreeHintWindowClass{"TVirtualTreeHintWindow", &NewTreeHintWindow};

bool HintWindowGone() {
    return gHintWindowGone;
}

void NoteTreeGoneWhileAnimating() {
    gHintWindowGone = true;
}

const THintWindowClass* TBaseVirtualTree::GetHintWindowClass() {
    return &VirtualTreeHintWindowClass;
}

TVirtualTreeHintWindow::TVirtualTreeHintWindow(TComponent* AOwner) : THintWindow(AOwner) {
    gHintWindowGone = false;
}

TVirtualTreeHintWindow::~TVirtualTreeHintWindow() {
    *FAlive = false;
    if (FAnimating && FTree) FTree->StopAnimation();
    SetTree(nullptr);
    gHintWindowGone = true;
}

void TVirtualTreeHintWindow::SetTree(TBaseVirtualTree* Tree) {
    if (Tree == FTree) return;
    if (FTree) FTree->RemoveFreeNotification(this);
    FTree = Tree;
    if (FTree) FTree->FreeNotification(this);
}

void TVirtualTreeHintWindow::Notification(TComponent* AComponent, TOperation Operation) {
    THintWindow::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || AComponent != FTree) return;
    // The tree goes: an animation of it ends here, and so does its hint.
    if (FAnimating) gHintWindowGone = true;
    FAnimating = false;
    FTree = nullptr;
    FHintData = TVTHintData{};
    ReleaseHandle();
}

TRect TVirtualTreeHintWindow::CalcHintRect(int MaxWidth, const AnsiString& Hint, void* Data) {
    (void)Hint;
    auto* data = static_cast<TVTHintData*>(Data);
    if (!data || !data->Tree) return TRect{};
    TBaseVirtualTree* tree = data->Tree;
    // The tree measures into its record, which Data is.
    const TRect r = tree->CalcHintRect(MaxWidth);
    FHintData = *data;
    SetTree(tree);
    return r;
}

void TVirtualTreeHintWindow::ActivateHint(const TRect& Rect, const AnsiString& Hint) {
    if (Rect.IsEmpty()) {
        Application->CancelHint();
        return;
    }
    if (!FTree) {
        THintWindow::ActivateHint(Rect, Hint);
        return;
    }
    // A newer hint ends an older animation.
    FTree->StopAnimation();
    THintWindow::ActivateHint(Rect, Hint);
    const TRect shown = BoundsRect();
    FBackground = std::make_unique<TBitmap>();
    FBuffer = std::make_unique<TBitmap>(shown.Width(), shown.Height());
    FShown = std::make_unique<TBitmap>(shown.Width(), shown.Height());
    FTree->Update();
    CaptureScreen(shown, FBackground.get());
    FAnimationType = FTree->DoGetAnimationType();
    PaintStep(0, 0);
    if (FAnimationType == hatNone) return;
    TBaseVirtualTree* tree = FTree;
    std::shared_ptr<bool> alive = FAlive;
    auto step = [this, tree, alive](int Step, int StepSize) {
        if (!*alive) return false;
        if (StepSize <= 0) FAnimating = false;
        const bool goOn =
            !gHintWindowGone && Showing() && !tree->TreeStates().Contains(tsCancelHintAnimation);
        if (goOn || StepSize <= 0) PaintStep(Step, StepSize);
        return goOn;
    };
    FAnimating = true;
    if (FAnimationType == hatFade)
        tree->Animate(255, 2 * tree->AnimationDuration(), step);
    else
        tree->Animate(uint32_t(shown.Height()), tree->AnimationDuration(), step);
    // Refused (no duration, say): the hint shows as it is.
    if (!tree->TreeStates().Contains(tsInAnimation)) FAnimating = false;
}

void TVirtualTreeHintWindow::PaintStep(int Step, int StepSize) {
    if (!FBuffer || !FShown || !FTree) return;
    const int width = FBuffer->Width(), height = FBuffer->Height();
    if (Step == 0) FTree->PaintHint(FBuffer->Canvas(), FHintData, width, height);
    const TRect all{0, 0, width, height};
    const bool background = FBackground && FBackground->Width() == width && FBackground->Height() == height;
    if (StepSize < 1 || !background) {
        // The last step shows the whole hint, also after a fade that ended short.
        FShown->Canvas()->DrawBitmapPart(all, FBuffer.get(), all);
    } else if (FAnimationType == hatFade) {
        FShown->Canvas()->DrawBitmapPart(all, FBackground.get(), all);
        BlendBitmaps(FBuffer.get(), FShown.get(), all, TPoint{0, 0}, bmConstantAlpha, FadeAlpha(Step), 0);
    } else {
        const int rows = std::clamp(Step, 0, height);
        FShown->Canvas()->DrawBitmapPart(all, FBackground.get(), all);
        if (rows > 0)
            FShown->Canvas()->DrawBitmapPart(TRect{0, 0, width, rows}, FBuffer.get(),
                                             TRect{0, height - rows, width, height});
    }
    Invalidate();
}

bool TVirtualTreeHintWindow::IsHintMsg(const TMessage& Msg) {
    if (Msg.Msg >= WM_KEYFIRST && Msg.Msg <= WM_KEYLAST) return false;
    return THintWindow::IsHintMsg(Msg);
}

void TVirtualTreeHintWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case CM_TEXTCHANGED:
        return;
    case CM_SHOWINGCHANGED:
        THintWindow::Dispatch(Message);
        if (!Showing()) {
            // Hidden: its animation ends, and it forgets the hint.
            if (FAnimating && FTree) FTree->StopAnimation();
            FAnimating = false;
            FHintData = TVTHintData{};
            SetTree(nullptr);
            gHintWindowGone = false;
        }
        return;
    default:
        THintWindow::Dispatch(Message);
    }
}

void TVirtualTreeHintWindow::Paint() {
    if (FShown && FTree) {
        Canvas()->Draw(0, 0, FShown.get());
        return;
    }
    THintWindow::Paint();
}
