// Negative, greyscale, light/dark, contrast with its balancing, and the colour swaps.

#include "filters/FilterSteps.h"
#include "FilterTestSupport.h"

using namespace filtertest;
namespace Code = Filters::Code;

namespace {

// One pixel per (blue, green, red) triple, in a row.
Filters::MemoryBitmap pixels(std::initializer_list<std::array<int, 3>> colours) {
    Filters::MemoryBitmap picture(static_cast<int>(colours.size()), 1);
    int x = 0;
    for (const auto& colour : colours) {
        for (int c = 0; c < 3; ++c) picture.at(c, x, 0) = static_cast<std::uint8_t>(colour[c]);
        ++x;
    }
    return picture;
}

std::array<int, 3> colourAt(const Filters::MemoryBitmap& picture, int x) {
    return {picture.at(0, x, 0), picture.at(1, x, 0), picture.at(2, x, 0)};
}

TEST(NegativeFilter, TwiceGivesThePictureBack) {
    const Filters::MemoryBitmap original = noise(13, 7, 1);
    Filters::MemoryBitmap picture = original;
    run(Code::Negative, picture, 0);
    EXPECT_EQ(picture.at(0, 3, 2), 255 - original.at(0, 3, 2));
    run(Code::Negative, picture, 0);
    EXPECT_EQ(picture.bytes(), original.bytes());
}

TEST(GrayscaleFilter, TruncatedMeanOfTheThreeChannels) {
    Filters::MemoryBitmap picture = pixels({{255, 255, 254}, {0, 0, 2}, {1, 1, 1}, {10, 20, 60}});
    run(Code::Grayscale, picture, 0);
    EXPECT_EQ(colourAt(picture, 0), (std::array<int, 3>{254, 254, 254}));
    EXPECT_EQ(colourAt(picture, 1), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(colourAt(picture, 2), (std::array<int, 3>{1, 1, 1}));
    EXPECT_EQ(colourAt(picture, 3), (std::array<int, 3>{30, 30, 30}));
}

// Every byte value through "Light" and "Dark": the nearest integer to 1.04 k or 0.96 k, capped.
// No product lies near a halfway point, so the integer rounding below is exact.
TEST(BrightnessFilter, LightAndDarkOverEveryValue) {
    Filters::MemoryBitmap light(256, 1);
    for (int k = 0; k < 256; ++k) light.at(0, k, 0) = light.at(1, k, 0) = light.at(2, k, 0) = k;
    Filters::MemoryBitmap dark = light;
    run(Code::Brightness, light, 4);
    run(Code::Brightness, dark, -4);
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(light.at(2, k, 0), std::min((104 * k + 50) / 100, 255)) << k;
        EXPECT_EQ(dark.at(0, k, 0), (96 * k + 50) / 100) << k;
    }
    EXPECT_EQ(light.at(1, 12, 0), 12);
    EXPECT_EQ(light.at(1, 13, 0), 14);
    EXPECT_EQ(light.at(1, 245, 0), 255);
    EXPECT_EQ(dark.at(1, 13, 0), 12);
    EXPECT_EQ(dark.at(1, 255, 0), 245);
}

TEST(ContrastFilter, UniformGreyStaysForEitherDirection) {
    for (int g : {0, 1, 100, 128, 254, 255}) {
        for (int percent : {10, -10}) {
            Filters::MemoryBitmap picture = uniform(3, 2, g, g, g);
            const Filters::MemoryBitmap original = picture;
            run(Code::Contrast, picture, percent);
            EXPECT_EQ(picture.bytes(), original.bytes()) << g << " " << percent;
        }
    }
}

// Mean grey 100 from two grey pixels; the single-precision factor decides the halfway cases.
TEST(ContrastFilter, TableAroundMeanHundred) {
    Filters::MemoryBitmap positive = pixels({{115, 115, 115}, {85, 85, 85}});
    Filters::MemoryBitmap negative = positive;
    run(Code::Contrast, positive, 10);
    EXPECT_EQ(Filters::ToneTable[255], 271);  // before balancing
    EXPECT_EQ(colourAt(positive, 0), (std::array<int, 3>{117, 117, 117}));
    EXPECT_EQ(colourAt(positive, 1), (std::array<int, 3>{83, 83, 83}));
    run(Code::Contrast, negative, -10);
    EXPECT_EQ(colourAt(negative, 0), (std::array<int, 3>{113, 113, 113}));
    EXPECT_EQ(colourAt(negative, 1), (std::array<int, 3>{87, 87, 87}));
}

TEST(ContrastFilter, BalancingExamples) {
    struct Case {
        std::array<int, 3> in, out;
        int passes;
    };
    const Case cases[] = {
        {{-20, 100, 100}, {0, 90, 90}, 1},  {{270, 100, -10}, {254, 106, 0}, 1},
        {{300, 300, 0}, {255, 255, 86}, 4}, {{260, 260, 100}, {255, 255, 106}, 2},
        {{-26, -26, 46}, {0, 0, 0}, 4},     {{-5, -5, 10}, {0, 0, 4}, 2},
        {{0, 128, 255}, {0, 128, 255}, 0},
    };
    for (const Case& c : cases) {
        int value[3] = {c.in[0], c.in[1], c.in[2]};
        EXPECT_EQ(Filters::detail::balanceColour(value), c.passes) << c.in[0];
        EXPECT_EQ((std::array<int, 3>{value[0], value[1], value[2]}), c.out) << c.in[0];
    }
}

TEST(ContrastFilter, BalancingEndsInRangeWithinFourPassesForEveryTableValue) {
    int worst = 0;
    for (int b = -26; b <= 281; ++b) {
        for (int g = -26; g <= 281; ++g) {
            for (int r = -26; r <= 281; r += (b + g) % 7 == 0 ? 1 : 13) {
                int value[3] = {b, g, r};
                worst = std::max(worst, Filters::detail::balanceColour(value));
                for (int v : value) ASSERT_TRUE(v >= 0 && v <= 255) << b << " " << g << " " << r;
            }
        }
    }
    EXPECT_LE(worst, 4);
}

TEST(SwapColoursFilter, EachOrderMovesTheChannelsOfItsCaption) {
    struct Case {
        int order;
        std::array<int, 3> out;  // from blue 10, green 20, red 30
    };
    const Case cases[] = {{1, {20, 30, 10}}, {2, {30, 10, 20}}, {3, {20, 10, 30}},
                          {4, {30, 20, 10}}, {5, {10, 30, 20}}, {0, {10, 20, 30}},
                          {6, {10, 20, 30}}};
    for (const Case& c : cases) {
        Filters::MemoryBitmap picture = pixels({{10, 20, 30}});
        EXPECT_EQ(runCounting(Code::SwapColours, picture, c.order), 2);
        EXPECT_EQ(colourAt(picture, 0), c.out) << c.order;
    }
}

TEST(SwapColoursFilter, InverseRelations) {
    const Filters::MemoryBitmap original = noise(6, 4, 9);
    auto swapped = [&](std::initializer_list<int> orders) {
        Filters::MemoryBitmap picture = original;
        for (int order : orders) run(Code::SwapColours, picture, order);
        return picture.bytes();
    };
    EXPECT_EQ(swapped({4, 4}), original.bytes());
    EXPECT_EQ(swapped({1, 1, 1}), original.bytes());
    EXPECT_EQ(swapped({1, 2}), original.bytes());
    EXPECT_EQ(swapped({3, 3}), original.bytes());
    EXPECT_EQ(swapped({5, 5}), original.bytes());
    EXPECT_NE(swapped({1}), original.bytes());
}

}  // namespace
