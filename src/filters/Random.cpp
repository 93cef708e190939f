// The process's random generator for "Add noise" and "Defuse".
//
// Algorithm: the 32-bit Mersenne Twister MT19937 (std::mt19937, whose output sequence the C++
// standard fixes, so every build and platform draws the same values), seeded once with 5489
// when the generator is first used and never reseeded. A draw keeps the top 24 bits of one
// output and scales them by 2^-24: every value k / 2^24, k = 0 .. 2^24 - 1, is exactly a
// single-precision number, equally likely, and 1 itself can never come out.

#include <random>

#include "filters/Filters.h"

namespace Filters {

namespace {

constexpr std::uint32_t kSeed = 5489;

class ProcessRandom final : public RandomSource {
  public:
    float next() override { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

  private:
    std::mt19937 engine_{kSeed};
};

}  // namespace

RandomSource& processRandom() {
    static ProcessRandom generator;
    return generator;
}

}  // namespace Filters
