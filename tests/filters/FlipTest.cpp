// The two flips, mirrors that take every colour from the picture as it was before, and Border.

#include "FilterTestSupport.h"

using namespace filtertest;

namespace {

std::array<std::uint8_t, 4> pixel(const Filters::MemoryBitmap& picture, int x, int y) {
    return {picture.at(0, x, y), picture.at(1, x, y), picture.at(2, x, y), picture.at(3, x, y)};
}

class Flip : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(Flip, MirrorsWholePixelsAndUndoesItself) {
    const auto [w, h] = GetParam();
    const Filters::MemoryBitmap original = noise(w, h, 8);
    Filters::MemoryBitmap horizontal = original;
    Filters::MemoryBitmap vertical = original;
    Filters::FlipHorizontal(horizontal);
    Filters::FlipVertical(vertical);
    Filters::MemoryBitmap turned = horizontal;
    Filters::FlipVertical(turned);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(pixel(horizontal, x, y), pixel(original, w - 1 - x, y));
            ASSERT_EQ(pixel(vertical, x, y), pixel(original, x, h - 1 - y));
            ASSERT_EQ(pixel(turned, x, y), pixel(original, w - 1 - x, h - 1 - y));
        }
    }
    Filters::FlipHorizontal(horizontal);
    Filters::FlipVertical(vertical);
    EXPECT_EQ(horizontal.bytes(), original.bytes());
    EXPECT_EQ(vertical.bytes(), original.bytes());
}

TEST_P(Flip, BorderBlackensTheOutermostPixelsOnlyAndASecondTimeNothingMore) {
    const auto [w, h] = GetParam();
    const Filters::MemoryBitmap original = noise(w, h, 9);
    Filters::MemoryBitmap framed = original;
    Filters::Border(framed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            const auto before = pixel(original, x, y);
            const std::array<std::uint8_t, 4> expected =
                edge ? std::array<std::uint8_t, 4>{0, 0, 0, before[3]} : before;
            ASSERT_EQ(pixel(framed, x, y), expected) << x << "," << y;
        }
    }
    const Filters::MemoryBitmap once = framed;
    Filters::Border(framed);
    EXPECT_EQ(framed.bytes(), once.bytes());
}

// Odd sizes keep the middle column or row where it is; 127 × 163 is the photo.
INSTANTIATE_TEST_SUITE_P(Sizes, Flip,
                         testing::Values(std::pair{1, 1}, std::pair{2, 1}, std::pair{1, 2},
                                         std::pair{3, 3}, std::pair{4, 5}, std::pair{127, 163}));

}  // namespace
