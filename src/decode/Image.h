#pragma once

#include <cstdint>
#include <vector>

#include "raster/Pixels.h"

// Photos from phones and cameras, turned into the program's own pixels before anything else
// sees them. No Qt here.
namespace decode {

// The same limit as the rest of the program: a bigger photo is refused before it is decoded.
inline constexpr std::int64_t kMaxPixels = 100'000'000;

// A decoded picture that owns its pixels: 0xffRRGGBB, stride == width.
struct Image {
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;

    raster::ConstPixels view() const { return {pixels.data(), width, height, width}; }
    raster::Pixels view() { return {pixels.data(), width, height, width}; }
};

}  // namespace decode
