// The framed photo on screen drawn from the halved copies looks as it would drawn from the
// whole photo: whatever the crop's size and turn, the copy it is drawn from still has enough
// pixels per screen pixel, and its pixels lie where the photo's do.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "counter/CounterFraming.h"
#include "counter/PreviewLevels.h"

namespace {

// Soft waves of several sizes (periods of 27 to 300 pixels) with a few hard edges: detail of
// every size a screen pixel may cover.
std::vector<std::uint32_t> wavyPhoto(int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double a = std::sin(x / 300.0 * 6.283) + std::sin((x + 2 * y) / 60.0 * 6.283);
            const double b = std::cos(y / 90.0 * 6.283) + std::sin((x - y) / 47.0 * 6.283);
            const bool block = (x / 500 + y / 400) % 2 == 0;
            const auto channel = [](double v) {
                return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0)));
            };
            const std::uint32_t r = channel(128 + 50 * a + (block ? 40 : -40));
            const std::uint32_t g = channel(128 + 50 * b);
            const std::uint32_t bl = channel(128 + 25 * (a - b));
            pixels[static_cast<std::size_t>(y) * width + x] = 0xff000000u | r << 16 | g << 8 | bl;
        }
    }
    return pixels;
}

TEST(PreviewLevels, DrawTheCropAsTheWholePhotoWouldWhateverItsSizeAndTurn) {
    constexpr int kWidth = 4000, kHeight = 3000;
    const std::vector<std::uint32_t> photo = wavyPhoto(kWidth, kHeight);
    const raster::ConstPixels pixels{photo.data(), kWidth, kHeight, kWidth};
    const auto levels = counter::PreviewLevels::build(pixels, nullptr);
    const counter::PreviewLevels whole(pixels, nullptr);
    ASSERT_GT(levels->levelCount(), 2) << "a 4000-pixel photo is halved at least twice";

    struct Case {
        const char* what;
        passport::Crop crop;
    };
    const auto crop = [](double x, double y, double width, double degrees) {
        return passport::Crop{x, y, width, degrees};
    };
    const Case cases[] = {
        {"nearly the whole photo", crop(100, 200, 3800, 0)},
        {"just enough for one halving", crop(700, 500, 1100, 0)},
        {"just too little for one halving", crop(900, 600, 1000, 0)},
        {"close up, from the photo itself", crop(1500, 1100, 500, 0)},
        {"turned, at an odd place", crop(333.3, 277.7, 2611.1, 8.4)},
        {"turned the other way, reaching off the photo", crop(-150, -80, 3300, -6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint32_t> drawn(counter::kViewWidth * counter::kViewHeight);
        std::vector<std::uint32_t> reference(drawn.size());
        const auto dest = [](std::vector<std::uint32_t>& out) {
            return raster::Pixels{out.data(), counter::kViewWidth, counter::kViewHeight,
                                  counter::kViewWidth};
        };
        levels->render(c.crop, dest(drawn));
        whole.render(c.crop, dest(reference));
        double sum = 0;
        int worst = 0;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = std::abs(int(drawn[i] >> shift & 0xff) -
                                       int(reference[i] >> shift & 0xff));
                sum += d;
                worst = std::max(worst, d);
            }
        }
        const double mean = sum / (3.0 * drawn.size());
        EXPECT_LT(mean, 1.5) << "worst " << worst;
        EXPECT_LE(worst, 24) << "mean " << mean;
    }
}

}  // namespace
