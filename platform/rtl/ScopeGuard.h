// The one scope guard and the one "finish the rest, then raise the first
// error" collector that every layer uses instead of its own.
#pragma once

#include <exception>
#include <utility>

// Runs a step when the scope ends, also when an exception passes. While an
// exception unwinds, an error of the step itself is swallowed, so it cannot
// end the program; otherwise it propagates.
template <class F> class TScopeGuard {
public:
    explicit TScopeGuard(F Step) : FStep(std::move(Step)) {}
    ~TScopeGuard() noexcept(false) {
        if (!FActive) return;
        if (std::uncaught_exceptions() > FUncaught) {
            try {
                FStep();
            } catch (...) {
            }
        } else {
            FStep();
        }
    }
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;

    // The step is not needed any more (the work it undoes succeeded).
    void Dismiss() { FActive = false; }

private:
    F FStep;
    int FUncaught = std::uncaught_exceptions();
    bool FActive = true;
};

// Runs every step handed to it, keeps the first error and raises it once the
// caller is done: cleanup that must reach every item even when one fails.
class TFirstError {
public:
    template <class F> void Run(F&& Step) {
        try {
            std::forward<F>(Step)();
        } catch (...) {
            Keep(std::current_exception());
        }
    }
    // Keeps an error caught elsewhere unless an earlier one is kept.
    void Keep(std::exception_ptr Error) {
        if (!FError) FError = std::move(Error);
    }
    bool Failed() const { return FError != nullptr; }
    void RaiseIfAny() {
        if (FError) std::rethrow_exception(std::exchange(FError, nullptr));
    }

private:
    std::exception_ptr FError;
};
