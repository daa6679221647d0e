// Animations on the clock: the steps spread over the duration and end with
// one final call, whatever the step size; a refused step, a second run and
// a stop end or leave them as they should.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TreeHarness.h"

namespace {

struct TCall {
    uint64_t At;
    int Step;
    int StepSize;
};

struct TAnimationFixture {
    TTestView View;
    TTestTree Tree{View};
    std::vector<TCall> Calls;
    // The callback's answer from this call on (by index).
    size_t RefuseFrom = SIZE_MAX;

    void Run(uint32_t Steps, uint32_t Duration) {
        Tree.Animate(Steps, Duration, [this](int Step, int StepSize) {
            Calls.push_back({View.Now, Step, StepSize});
            return Calls.size() - 1 < RefuseFrom;
        });
    }
    bool Animating() const { return Tree.TreeStates().Contains(tsInAnimation); }
};

} // namespace

TEST(TreeAnimation, StepsSpreadOverTheDurationAndEndWithOneFinalCall) {
    struct TCase {
        uint32_t Steps, Duration;
    } cases[] = {{54, 200}, {255, 400}, {400, 200}, {32, 32}, {3, 500}};
    for (TCase c : cases) {
        TAnimationFixture f;
        f.Run(c.Steps, c.Duration);
        ASSERT_FALSE(f.Calls.empty()) << c.Steps;
        EXPECT_EQ(f.Calls[0].At, 0u) << "the first step at once";
        EXPECT_EQ(f.Calls[0].Step, 0);
        EXPECT_TRUE(f.Animating());
        f.View.Advance(f.Tree, c.Duration / 2);
        const TCall half = f.Calls.back();
        EXPECT_NEAR(half.Step, int(c.Steps) / 2, int(c.Steps) / 5 + 1)
            << c.Steps << " steps over " << c.Duration << " ms: half the time, half the steps";
        f.View.Advance(f.Tree, c.Duration);
        EXPECT_FALSE(f.Animating());
        const TCall last = f.Calls.back();
        EXPECT_EQ(last.Step, 0);
        EXPECT_EQ(last.StepSize, 0) << "the final call";
        EXPECT_LE(last.At, c.Duration);
        for (size_t i = 0; i + 1 < f.Calls.size(); ++i) {
            EXPECT_GE(f.Calls[i].StepSize, 1);
            if (i > 0) {
                EXPECT_GE(f.Calls[i].Step, f.Calls[i - 1].Step) << "steps only go forward";
            }
        }
        EXPECT_EQ(
            std::count_if(f.Calls.begin(), f.Calls.end(), [](const TCall& k) { return k.StepSize == 0; }), 1);
    }
}

TEST(TreeAnimation, ARefusedStepAStopOrASecondRunEndsOrLeavesTheRunAsItShould) {
    {
        TAnimationFixture f;
        f.Run(10, 0);
        EXPECT_TRUE(f.Calls.empty()) << "no duration, no call";
        EXPECT_FALSE(f.Animating());
    }
    {
        TAnimationFixture f;
        f.RefuseFrom = 2;
        f.Run(100, 100);
        f.View.Advance(f.Tree, 100);
        ASSERT_EQ(f.Calls.size(), 4u) << "two steps, the refusing one, the final call";
        EXPECT_EQ(f.Calls.back().StepSize, 0);
        EXPECT_FALSE(f.Animating());
    }
    {
        TAnimationFixture f;
        f.Run(100, 100);
        int second = 0;
        f.Tree.Animate(10, 10, [&](int, int) { return ++second, true; });
        EXPECT_EQ(second, 0) << "one run at a time";
        f.View.Advance(f.Tree, 10);
        f.Tree.StopAnimation();
        EXPECT_FALSE(f.Animating());
        EXPECT_EQ(f.Calls.back().StepSize, 0);
        EXPECT_EQ(f.Calls.back().At, 10u) << "stopped at once, with the final call";
        const size_t calls = f.Calls.size();
        f.View.Advance(f.Tree, 200);
        EXPECT_EQ(f.Calls.size(), calls) << "nothing after the stop";
    }
}
