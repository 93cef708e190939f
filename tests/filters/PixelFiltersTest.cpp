// Pixelize, relief, add noise and defuse.

#include "FilterTestSupport.h"

using namespace filtertest;
namespace Code = Filters::Code;

namespace {

TEST(PixelizeFilter, EveryPixelTakesTheTruncatedMeanOfItsBlockInsideThePicture) {
    // 127 × 163 in blocks of 3: 43 block columns and 55 block rows, the last ones one pixel.
    const Filters::MemoryBitmap original = noise(127, 163, 4);
    Filters::MemoryBitmap picture = original;
    run(Code::Pixelize, picture, 3);
    for (int y = 0; y < 163; ++y) {
        for (int x = 0; x < 127; ++x) {
            const int left = x / 3 * 3, top = y / 3 * 3;
            for (int c = 0; c < 3; ++c) {
                int sum = 0, count = 0;
                for (int v = top; v < std::min(top + 3, 163); ++v) {
                    for (int u = left; u < std::min(left + 3, 127); ++u, ++count) {
                        sum += original.at(c, u, v);
                    }
                }
                ASSERT_EQ(picture.at(c, x, y), sum / count) << x << "," << y << " c" << c;
            }
        }
    }
}

TEST(ReliefFilter, FlatAreaBecomesHalfPlusFifty) {
    for (auto [g, expected] : {std::pair{0, 50}, {100, 100}, {255, 177}}) {
        Filters::MemoryBitmap picture = uniform(5, 4, g, g, g);
        run(Code::Relief, picture, 0);
        EXPECT_EQ(row(picture, 1), (std::vector<int>{g, expected, expected, expected, g}));
        EXPECT_EQ(row(picture, 0), std::vector<int>(5, g));
        EXPECT_EQ(row(picture, 3), std::vector<int>(5, g));
    }
}

// One neighbour of a black 3 × 3 picture at 41: the centre shows that neighbour's weight,
// halved toward zero, plus 50; results outside 0..255 are clamped.
TEST(ReliefFilter, WeightsOfTheNeighbourhood) {
    const int expected[3][3] = {{91, 70, 50}, {70, 70, 30}, {50, 30, 9}};
    for (int v = 0; v < 3; ++v) {
        for (int u = 0; u < 3; ++u) {
            Filters::MemoryBitmap picture = uniform(3, 3, 0, 0, 0);
            for (int c = 0; c < 3; ++c) picture.at(c, u, v) = 41;
            run(Code::Relief, picture, 0);
            EXPECT_EQ(picture.at(1, 1, 1), expected[v][u]) << u << "," << v;
        }
    }
    Filters::MemoryBitmap bright = fromRows({{255, 0, 0}, {0, 255, 0}, {0, 0, 0}});
    Filters::MemoryBitmap dark = fromRows({{0, 0, 0}, {0, 0, 0}, {0, 0, 255}});
    run(Code::Relief, bright, 0);
    run(Code::Relief, dark, 0);
    EXPECT_EQ(bright.at(0, 1, 1), 255);
    EXPECT_EQ(dark.at(0, 1, 1), 0);
}

TEST(AddNoiseFilter, ThreeDrawsPerPixelBlueGreenRedRoundedHalfToEven) {
    Filters::MemoryBitmap picture(2, 1);
    const int source[2][3] = {{100, 0, 255}, {3, 3, 205}};
    for (int x = 0; x < 2; ++x) {
        for (int c = 0; c < 3; ++c) picture.at(c, x, 0) = static_cast<std::uint8_t>(source[x][c]);
    }
    // 0 subtracts the amplitude, 0.5 adds exactly one half, just below 1 adds 51.
    ScriptedRandom draws({0.0f, 0.5f, 0.99999994f, 0.5f, 0.0f, 0.0f});
    run(Code::AddNoise, picture, 50, &draws);
    EXPECT_EQ(draws.drawn(), 6u);
    const int expected[2][3] = {{50, 0, 255}, {4, 0, 155}};
    for (int x = 0; x < 2; ++x) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(picture.at(c, x, 0), expected[x][c]) << x << c;
    }
}

TEST(AddNoiseFilter, WhiteAndBlackStayWithinTheirBandsAndNoRunRepeatsTheLast) {
    Filters::MemoryBitmap white = uniform(127, 163, 255, 255, 255);
    Filters::MemoryBitmap black = uniform(127, 163, 0, 0, 0);
    run(Code::AddNoise, white, 50);
    run(Code::AddNoise, black, 50);
    for (int y = 0; y < 163; ++y) {
        for (int x = 0; x < 127; ++x) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_GE(white.at(c, x, y), 205);
                ASSERT_LE(black.at(c, x, y), 51);
            }
        }
    }
    // The generator goes on where it was: a second run on the same photo differs.
    Filters::MemoryBitmap again = uniform(127, 163, 255, 255, 255);
    run(Code::AddNoise, again, 50);
    EXPECT_NE(again.bytes(), white.bytes());
}

TEST(DiffuseFilter, DisplacementsRoundHalfToEvenStayInsideAndReadTheWrittenBuffer) {
    // Grey value 10 × row + column tells where a colour came from.
    Filters::MemoryBitmap picture(5, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            for (int c = 0; c < 3; ++c) picture.at(c, x, y) = static_cast<std::uint8_t>(10 * y + x);
        }
    }
    std::vector<float> draws(50, 0.5f);  // 6 × 0.5 − 3 = 0: stay
    // (0,0): dx −3 leaves the picture and becomes 0; dy 2.9999996 rounds to 3.
    draws[0] = 0.0f;
    draws[1] = 0.99999994f;
    // (1,0): dx −1.5 rounds to −2, outside, so 0; dy 1.5 rounds to 2.
    draws[2] = 0.25f;
    draws[3] = 0.75f;
    // (2,0): dx −1.2 gives −1 and fetches what (1,0) took a moment ago.
    draws[4] = 0.3f;
    ScriptedRandom random(draws);
    run(Code::Diffuse, picture, 6, &random);
    EXPECT_EQ(random.drawn(), 50u);
    EXPECT_EQ(row(picture, 0), (std::vector<int>{30, 21, 21, 3, 4}));
    for (int y = 1; y < 5; ++y) EXPECT_EQ(row(picture, y)[4], 10 * y + 4);
}

TEST(DiffuseFilter, OddSpreadHalvesToTheEvenNeighbour) {
    Filters::MemoryBitmap picture = fromRows({{0, 1, 2, 3, 4}});
    // Spread 5: half is 2 (2.5 to even); 5 × 0.4 − 2 stays, 5 × 0 − 2 moves two left.
    std::vector<float> draws(10, 0.4f);
    draws[8] = 0.0f;
    ScriptedRandom random(draws);
    run(Code::Diffuse, picture, 5, &random);
    EXPECT_EQ(row(picture, 0), (std::vector<int>{0, 1, 2, 3, 2}));
}

}  // namespace

namespace {

TEST(ProcessRandom, UniformInUnitIntervalAndOneSourceForTheProcess) {
    Filters::RandomSource& random = Filters::processRandom();
    EXPECT_EQ(&random, &Filters::processRandom());
    double sum = 0;
    int low = 0;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const float r = random.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        sum += r;
        low += r < 0.25f;
    }
    EXPECT_NEAR(sum / kDraws, 0.5, 0.005);
    EXPECT_NEAR(static_cast<double>(low) / kDraws, 0.25, 0.005);
}

}  // namespace
