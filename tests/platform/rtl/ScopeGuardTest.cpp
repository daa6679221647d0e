// The scope guard and the first-error collector.
#include "platform/rtl/ScopeGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

TEST(ScopeGuardTest, RunsOnNormalExitAndWhileUnwindingButNotWhenDismissed) {
    int runs = 0;
    {
        TScopeGuard g([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    try {
        TScopeGuard g([&] { ++runs; });
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(runs, 2);
    {
        TScopeGuard g([&] { ++runs; });
        g.Dismiss();
    }
    EXPECT_EQ(runs, 2);
}

TEST(ScopeGuardTest, AStepErrorPropagatesOnlyWhenNothingElseIsUnwinding) {
    EXPECT_THROW({ TScopeGuard g([] { throw std::logic_error("step"); }); }, std::logic_error);
    try {
        TScopeGuard g([] { throw std::logic_error("step"); });
        throw std::runtime_error("first");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first");
    }
}

TEST(FirstErrorTest, RunsEveryStepAndRaisesTheFirstErrorOnce) {
    TFirstError errors;
    std::string done;
    errors.Run([&] { done += "a"; });
    errors.Run([&] {
        done += "b";
        throw std::runtime_error("b failed");
    });
    errors.Run([&] {
        done += "c";
        throw std::logic_error("c failed");
    });
    errors.Run([&] { done += "d"; });
    EXPECT_EQ(done, "abcd");
    EXPECT_TRUE(errors.Failed());
    try {
        errors.RaiseIfAny();
        FAIL() << "nothing raised";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "b failed");
    }
    EXPECT_FALSE(errors.Failed());
    EXPECT_NO_THROW(errors.RaiseIfAny());
}
