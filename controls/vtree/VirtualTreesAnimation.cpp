// Animations of the tree: the timed steps of Animate, and the sliding
// pictures of a node that expands or collapses and of a column that is
// fitted. Every step runs from the animation timer; nothing waits.
#include <algorithm>
#include <climits>
#include <memory>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace {
// A fitted column slides in this many steps, one a millisecond.
constexpr int ColumnResizeSteps = 32;
} // namespace

// ---- The timed steps ---------------------------------------------------------------------

void TBaseVirtualTree::Animate(uint32_t Steps, uint32_t Duration, TVTAnimationCallback Callback) {
    if (FStates.Contains(tsInAnimation) || Duration == 0 || !Callback) return;
    DoStateChange({tsInAnimation});
    TAnimationRun& run = FAnimation;
    run.Callback = std::move(Callback);
    run.Steps = int(std::min<uint32_t>(Steps, INT_MAX));
    run.StepSize = std::max(1, int(Round(double(Steps) / Duration)));
    run.RemainingSteps = run.Steps / run.StepSize;
    run.RemainingTime = Duration;
    run.Step = 0;
    ++run.Generation;
    RunAnimationStep();
}

void TBaseVirtualTree::RunAnimationStep() {
    TAnimationRun& run = FAnimation;
    if (run.RemainingSteps <= 0 || run.RemainingTime <= 0 || Application->Terminated()) {
        EndAnimation();
        return;
    }
    run.StartTime = FView->TickCount();
    const int64_t deadline = run.StartTime + run.RemainingTime / run.RemainingSteps;
    const uint64_t generation = run.Generation;
    // The callback may end this run, or start another.
    TVTAnimationCallback callback = run.Callback;
    const bool goOn = callback(run.Step, run.StepSize);
    if (!FStates.Contains(tsInAnimation) || run.Generation != generation) return;
    if (!goOn) {
        EndAnimation();
        return;
    }
    FView->SetTimer(AnimationTimer, unsigned(std::max<int64_t>(1, deadline - FView->TickCount())));
}

void TBaseVirtualTree::AnimationTimerFired() {
    FView->KillTimer(AnimationTimer);
    if (!FStates.Contains(tsInAnimation)) return;
    TAnimationRun& run = FAnimation;
    // The time a step really took counts: the steps grow when time runs short.
    const int64_t elapsed = FView->TickCount() - run.StartTime;
    if (elapsed > run.RemainingTime) {
        run.RemainingSteps = 0;
    } else {
        run.RemainingTime -= elapsed;
        --run.RemainingSteps;
    }
    while (run.RemainingSteps > 0 && run.RemainingTime / run.RemainingSteps == 0) {
        ++run.StepSize;
        run.RemainingSteps = int(run.RemainingTime / run.StepSize);
    }
    // How far the run has come, in steps of any size.
    run.Step = std::max(0, run.Steps - run.RemainingSteps * run.StepSize);
    RunAnimationStep();
}

void TBaseVirtualTree::EndAnimation() {
    FView->KillTimer(AnimationTimer);
    TVTAnimationCallback callback = std::move(FAnimation.Callback);
    FAnimation.Callback = nullptr;
    ++FAnimation.Generation;
    TScopeGuard leave([this] { DoStateChange({}, {tsCancelHintAnimation, tsInAnimation}); });
    if (callback && !Application->Terminated()) callback(0, 0);
}

void TBaseVirtualTree::StopAnimation() {
    if (FStates.Contains(tsInAnimation)) EndAnimation();
}

// ---- Sliding pictures --------------------------------------------------------------------

void TBaseVirtualTree::FillColumnBackgrounds(TCanvas* Canvas, const TRect& R) {
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(R);
    TVirtualTreeColumns* columns = FHeader->Columns();
    if (!FHeader->Options().Contains(hoVisible)) return;
    for (TColumnIndex c = columns->FirstVisibleColumn(); c >= 0; c = columns->NextVisibleColumn(c)) {
        TVirtualTreeColumn* column = columns->GetItem(c);
        if (column->Options().Contains(coParentColor)) continue;
        int left = 0, right = 0;
        columns->ColumnBounds(c, left, right);
        const int shift = column->Options().Contains(coFixed) ? 0 : EffectiveOffsetX();
        TRect r{std::max(R.Left, left - shift), R.Top, std::min(R.Right, right - shift), R.Bottom};
        if (r.IsEmpty()) continue;
        Canvas->Brush()->SetColor(column->Color());
        Canvas->FillRect(r);
    }
}

void TBaseVirtualTree::AnimateToggle(PVirtualNode Node, bool Expanding) {
    // The picture is painted: not from inside a paint.
    if (FStates.Contains(tsPainting)) return;
    // A newer change ends an older animation; its picture is out of date.
    StopAnimation();
    FView->UpdateWindow();
    const TRect r = GetDisplayRect(Node, NoColumn, false);
    const int rowBottom = r.Top + int(Node->NodeHeight);
    const int clientHeight = FView->ClientHeight();
    if (rowBottom >= clientHeight) return;
    // What appears below the row (expanding) or goes under it (collapsing).
    int64_t extent = 0;
    if (Expanding) {
        for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
            if (child->States.Contains(vsVisible)) extent += child->TotalHeight;
    } else {
        extent = int64_t(Node->TotalHeight) - Node->NodeHeight;
    }
    const int steps = int(std::min<int64_t>(clientHeight - rowBottom + 1, extent));
    if (steps <= 0) return;
    const TRect region{r.Left, rowBottom, r.Right, clientHeight};
    FView->TakePicture();
    auto moved = std::make_shared<int>(0);
    Animate(uint32_t(steps), FAnimationDuration, [this, region, steps, Expanding, moved](int, int StepSize) {
        if (StepSize <= 0) {
            FView->DropPicture();
            return true;
        }
        *moved = std::min(steps, *moved + StepSize);
        TVTSlide slide{region, region, TPoint{0, Expanding ? *moved : -*moved},
                       [this](TCanvas* Canvas, const TRect& R) { FillColumnBackgrounds(Canvas, R); }};
        FView->ShowSlides({slide});
        return true;
    });
    if (!FStates.Contains(tsInAnimation)) FView->DropPicture();
}

void TBaseVirtualTree::AnimateColumnResize(TColumnIndex Column, int NewWidth) {
    TVirtualTreeColumns* columns = FHeader->Columns();
    TVirtualTreeColumn* column = columns->GetItem(Column);
    const int step = (NewWidth - column->Width()) / ColumnResizeSteps;
    if (step == 0) return;
    StopAnimation();
    int left = 0, right = 0;
    columns->ColumnBounds(Column, left, right);
    const int scrolled = column->Options().Contains(coFixed) ? 0 : EffectiveOffsetX();
    const int edge = right - scrolled;
    const int width = FView->ClientWidth();
    const int header = FHeader->Options().Contains(hoVisible) ? int(FHeader->Height()) : 0;
    if (edge >= width) return;
    // The header strip and the client strip from the column's left edge on:
    // the column keeps its old picture, what lies right of it slides.
    const TRect strips[2] = {TRect{left - scrolled, -header, width, 0},
                             TRect{left - scrolled, 0, width, FView->ClientHeight()}};
    const TColor fills[2] = {FHeader->Background(), FColor};
    FView->TakePicture();
    auto done = std::make_shared<int>(0);
    Animate(ColumnResizeSteps, ColumnResizeSteps, [this, strips, fills, edge, step, done](int, int StepSize) {
        if (StepSize <= 0) {
            FView->DropPicture();
            return true;
        }
        *done = std::min(ColumnResizeSteps, *done + StepSize);
        const int shift = step * *done;
        std::vector<TVTSlide> slides;
        for (int i = 0; i < 2; ++i) {
            if (strips[i].IsEmpty()) continue;
            const TColor colour = fills[i];
            auto fill = [colour](TCanvas* Canvas, const TRect& R) {
                Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
                Canvas->Brush()->SetColor(colour);
                Canvas->FillRect(R);
            };
            TRect still = strips[i];
            still.Right = edge;
            slides.push_back(TVTSlide{strips[i], still, TPoint{}, fill});
            TRect moving = strips[i];
            moving.Left = edge;
            TRect area = moving;
            // A shrinking column is covered by what lies right of it.
            area.Left += std::min(0, shift);
            slides.push_back(TVTSlide{area, moving, TPoint{shift, 0}, fill});
        }
        FView->ShowSlides(std::move(slides));
        return true;
    });
    if (!FStates.Contains(tsInAnimation)) FView->DropPicture();
}
