#include "counter/PreviewLevels.h"

#include "passport/PrintPhoto.h"
#include "passport/Resample.h"

namespace counter {

namespace {

// Each 2 x 2 block averaged, rounded; an odd last row or column is left out.
std::vector<std::uint32_t> halve(const raster::ConstPixels& in, int width, int height) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* a = in.pixels + static_cast<std::ptrdiff_t>(2 * y) * in.stride;
        const std::uint32_t* b = a + in.stride;
        std::uint32_t* o = out.data() + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p[4] = {a[2 * x], a[2 * x + 1], b[2 * x], b[2 * x + 1]};
            // Red with blue in one sum (their lanes cannot overflow into each other: four
            // bytes need ten bits), green in another.
            std::uint32_t rb = 0, g = 0;
            for (std::uint32_t q : p) {
                rb += q & 0x00ff00ffu;
                g += q & 0x0000ff00u;
            }
            rb = ((rb + 0x00020002u) >> 2) & 0x00ff00ffu;
            g = ((g + 0x00000200u) >> 2) & 0x0000ff00u;
            o[x] = 0xff000000u | rb | g;
        }
    }
    return out;
}

}  // namespace

PreviewLevels::PreviewLevels(const raster::ConstPixels& photo, std::shared_ptr<const void> owner)
    : owner_(std::move(owner)) {
    levels_.push_back({{}, photo});
}

std::shared_ptr<const PreviewLevels> PreviewLevels::build(const raster::ConstPixels& photo,
                                                          std::shared_ptr<const void> owner) {
    auto built = std::make_shared<PreviewLevels>(photo, std::move(owner));
    for (;;) {
        const raster::ConstPixels& last = built->levels_.back().view;
        const int width = last.width / 2;
        const int height = last.height / 2;
        if (width < kSmallestLevel || height < kSmallestLevel / 2 || !last.pixels) break;
        Level level{halve(last, width, height), {}};
        level.view = {level.pixels.data(), width, height, width};
        built->levels_.push_back(std::move(level));
    }
    return built;
}

void PreviewLevels::render(const passport::Crop& crop, const raster::Pixels& dest) const {
    // Level k holds one pixel per 2^k x 2^k photo pixels.
    std::size_t k = 0;
    double factor = 1;
    while (k + 1 < levels_.size() && crop.width * factor / 2 >= kSourcePerScreen * dest.width) {
        ++k;
        factor /= 2;
    }
    // Halving keeps a point's place (photo pixel p is level pixel p x factor), so the turned
    // crop is the same turned area on any level: corner and sides scaled, the angle kept. At
    // angle 0 this is the plain area average.
    const passport::TurnedArea area{crop.x * factor, crop.y * factor, crop.width * factor,
                                    crop.height() * factor, crop.angleDegrees};
    passport::resampleTurned(levels_[k].view, area, dest, passport::kFillColour);
}

}  // namespace counter
