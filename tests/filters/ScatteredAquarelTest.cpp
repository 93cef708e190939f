// Scattered dots and aquarel: the worked examples, and whole pictures against a direct reading
// of each rule (the twelve-share table with its conditions; the four quadrants per pixel).

#include <cstdlib>

#include "FilterTestSupport.h"

using namespace filtertest;
namespace Code = Filters::Code;

namespace {

// Scattered, written out with the distribution conditions instead of spare columns.
std::vector<int> scatteredByTheTable(const Filters::MemoryBitmap& picture, int damping) {
    const int w = picture.width(), h = picture.height();
    auto grey = [&](int x, int y) {
        return (picture.at(0, x, y) + picture.at(1, x, y) + picture.at(2, x, y)) / 3;
    };
    long long total = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) total += grey(x, y);
    }
    const int threshold = static_cast<int>(total / (w * h));
    struct Target {
        int weight, row, dx;
    };
    const Target targets[12] = {{8, 0, 1},  {4, 0, 2}, {2, 1, -2}, {4, 1, -1},
                                {8, 1, 0},  {4, 1, 1}, {2, 1, 2},  {1, 2, -2},
                                {2, 2, -1}, {4, 2, 0}, {2, 2, 1},  {1, 2, 2}};
    std::vector<std::vector<int>> error(h, std::vector<int>(w, 0));
    std::vector<int> out(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int v = std::clamp(grey(x, y) + error[y][x] * 10 / damping, 0, 255);
            const int o = v >= threshold ? 255 : 0;
            out[static_cast<std::size_t>(y) * w + x] = o;
            for (const Target& t : targets) {
                const int tx = x + t.dx, ty = y + t.row;
                if (tx >= 0 && tx < w && ty < h) error[ty][tx] += t.weight * (v - o) / 42;
            }
        }
    }
    return out;
}

std::vector<int> greys(const Filters::MemoryBitmap& picture) {
    std::vector<int> values;
    for (int y = 0; y < picture.height(); ++y) {
        for (int v : row(picture, y)) values.push_back(v);
    }
    return values;
}

TEST(ScatteredFilter, Examples) {
    Filters::MemoryBitmap black = uniform(7, 5, 0, 0, 0);
    Filters::MemoryBitmap white = uniform(7, 5, 255, 255, 255);
    Filters::MemoryBitmap six = fromRows({{128, 128, 128, 128, 128, 128}});
    Filters::MemoryBitmap grey = uniform(5, 3, 100, 100, 100);
    for (auto* picture : {&black, &white, &six, &grey}) run(Code::Scattered, *picture, 15);
    EXPECT_EQ(greys(black), std::vector<int>(35, 255));
    EXPECT_EQ(greys(white), std::vector<int>(35, 255));
    EXPECT_EQ(row(six, 0), (std::vector<int>{255, 0, 255, 0, 255, 0}));
    EXPECT_EQ(row(grey, 0), (std::vector<int>{255, 0, 255, 0, 255}));
    EXPECT_EQ(row(grey, 1), (std::vector<int>{0, 255, 0, 0, 0}));
    EXPECT_EQ(row(grey, 2), (std::vector<int>{0, 255, 0, 255, 0}));
}

TEST(ScatteredFilter, MatchesTheDistributionTableOnWholePictures) {
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 3}, {3, 2}, {9, 4}, {17, 13}, {127, 163}};
    for (auto [w, h] : sizes) {
        Filters::MemoryBitmap picture = noise(w, h, static_cast<unsigned>(w * 31 + h));
        const std::vector<int> expected = scatteredByTheTable(picture, 15);
        run(Code::Scattered, picture, 15);
        EXPECT_EQ(greys(picture), expected) << w << "x" << h;
    }
}

// Aquarel for one channel at one pixel, quadrant by quadrant.
int aquarelAt(const Filters::MemoryBitmap& picture, int c, int x, int y) {
    const int corners[4][2] = {{x - 2, y - 2}, {x, y - 2}, {x - 2, y}, {x, y}};
    int best = 99999, chosen = 0;
    for (const auto& corner : corners) {
        int sum = 0;
        for (int v = 0; v < 3; ++v) {
            for (int u = 0; u < 3; ++u) sum += picture.at(c, corner[0] + u, corner[1] + v);
        }
        const int mean = sum / 9;
        int deviation = 0;
        for (int v = 0; v < 3; ++v) {
            for (int u = 0; u < 3; ++u) {
                deviation += std::abs(picture.at(c, corner[0] + u, corner[1] + v) - mean);
            }
        }
        if (deviation < best) {
            best = deviation;
            chosen = mean;
        }
    }
    return chosen;
}

TEST(AquarelFilter, MatchesTheQuadrantRuleOnWholePictures) {
    for (auto [w, h] : {std::pair{5, 5}, {6, 9}, {127, 163}}) {
        // Few distinct values, so equal deviations (ties between quadrants) are common.
        Filters::MemoryBitmap picture = noise(w, h, 3);
        for (auto& byte : picture.bytes()) byte &= 0x31;
        const Filters::MemoryBitmap original = picture;
        run(Code::Aquarel, picture, 0);
        for (int y = 2; y < h - 2; ++y) {
            for (int x = 2; x < w - 2; ++x) {
                for (int c = 0; c < 3; ++c) {
                    ASSERT_EQ(picture.at(c, x, y), aquarelAt(original, c, x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(AquarelFilter, Examples) {
    Filters::MemoryBitmap even = uniform(8, 7, 40, 90, 200);
    const Filters::MemoryBitmap evenBefore = even;
    run(Code::Aquarel, even, 0);
    EXPECT_EQ(even.bytes(), evenBefore.bytes());

    const std::vector<int> step{10, 10, 10, 200, 200, 200, 200};
    Filters::MemoryBitmap sharp = fromRows({step, step, step, step, step});
    run(Code::Aquarel, sharp, 0);
    EXPECT_EQ(row(sharp, 2), step);

    // Means 4, 5, 7, 5 and deviations 56, 60, 56, 60: upper left beats lower left on the tie.
    Filters::MemoryBitmap tie = fromRows(
        {{0, 0, 0, 0, 0}, {0, 0, 18, 0, 0}, {18, 0, 0, 18, 9}, {9, 0, 18, 0, 0}, {9, 9, 0, 0, 0}});
    run(Code::Aquarel, tie, 0);
    EXPECT_EQ(tie.at(0, 2, 2), 4);
}

}  // namespace
