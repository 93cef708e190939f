// The Flip menu: mirrors the photo in place. Every pixel's new colour comes from the picture as
// it was before, and all four bytes of a pixel move together.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "filters/Filters.h"

namespace Filters {

namespace {

using Pixel = std::array<std::uint8_t, 4>;
static_assert(sizeof(Pixel) == 4, "pixels must lie packed like the bitmap's bytes");

// Reads the bitmap as whole pixels, lets `mirror` rearrange them and writes them back.
template <typename Mirror>
void mirrorBitmap(Bitmap& bitmap, Mirror mirror) {
    const int width = bitmap.width();
    const int height = bitmap.height();
    if (width < 1 || height < 1) return;
    std::vector<Pixel> pixels(static_cast<std::size_t>(width) * height);
    auto* bytes = reinterpret_cast<std::uint8_t*>(pixels.data());
    if (!bitmap.readPixels(bytes, width, height)) return;
    mirror(pixels, width, height);
    bitmap.writePixels(bytes, width, height);
}

}  // namespace

void FlipHorizontal(Bitmap& bitmap) {
    mirrorBitmap(bitmap, [](std::vector<Pixel>& pixels, int width, int height) {
        for (int y = 0; y < height; ++y) {
            auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
            std::reverse(row, row + width);
        }
    });
}

void FlipVertical(Bitmap& bitmap) {
    mirrorBitmap(bitmap, [](std::vector<Pixel>& pixels, int width, int height) {
        for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(top) * width,
                             pixels.begin() + static_cast<std::ptrdiff_t>(top + 1) * width,
                             pixels.begin() + static_cast<std::ptrdiff_t>(bottom) * width);
        }
    });
}

}  // namespace Filters
