#pragma once

#include <cstdint>

// The types every picture of the program is handled in, below the main window's view and the
// counter photo alike: plain views of 32-bit pixels and rectangles of them. No Qt here.
namespace raster {

// Pixels are 32-bit values (Qt's RGB32: 0xffRRGGBB); strides are in pixels.
struct ConstPixels {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};
struct Pixels {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace raster
