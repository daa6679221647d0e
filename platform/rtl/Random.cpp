// The process-wide random source and even draws from a range.
#include "platform/rtl/Random.h"

#include <chrono>

namespace {

std::unique_ptr<TRandomSource> ClockSeeded() {
    return std::make_unique<TSeededRandomSource>(
        uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
}

std::unique_ptr<TRandomSource>& Current() {
    static std::unique_ptr<TRandomSource> source = ClockSeeded();
    return source;
}

} // namespace

TRandomSource& RandomSource() {
    return *Current();
}

void SetRandomSource(std::unique_ptr<TRandomSource> Source) {
    Current() = Source ? std::move(Source) : ClockSeeded();
}

int64_t RandomInRange(int64_t Low, int64_t High) {
    if (High <= Low) return Low;
    uint64_t span = uint64_t(High - Low) + 1;
    // Draws above the largest multiple of span are drawn again.
    uint64_t limit = span > 0xFFFFFFFFull ? 0 : (0x100000000ull / span) * span;
    for (;;) {
        uint64_t draw = RandomSource().Next();
        if (span > 0xFFFFFFFFull) draw = draw << 32 | RandomSource().Next();
        if (limit == 0 || draw < limit) return Low + int64_t(draw % span);
    }
}
