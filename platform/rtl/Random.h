// The random-number seam: one process-wide source of random bits, seeded
// from the clock, which tests replace by a source with a fixed seed.
#pragma once

#include <cstdint>
#include <memory>
#include <random>

class TRandomSource {
public:
    virtual ~TRandomSource() = default;
    // 32 random bits.
    virtual uint32_t Next() = 0;
};

// A Mersenne twister with a given seed: the same seed draws the same
// numbers on every platform.
class TSeededRandomSource : public TRandomSource {
public:
    explicit TSeededRandomSource(uint32_t Seed) : FGenerator(Seed) {}
    uint32_t Next() override { return uint32_t(FGenerator()); }

private:
    std::mt19937 FGenerator;
};

// The source every caller draws from.
TRandomSource& RandomSource();
// Replaces the source; nil goes back to one seeded from the clock.
void SetRandomSource(std::unique_ptr<TRandomSource> Source);
// A number from Low to High, both included, evenly spread (no modulo bias);
// Low when High < Low.
int64_t RandomInRange(int64_t Low, int64_t High);
