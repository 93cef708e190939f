// The Flip menu and Edit / "Border": operations straight on the photo's bitmap. Every pixel's new
// colour comes from the picture as it was before, and a flip moves all four bytes of a pixel
// together.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "filters/Filters.h"

namespace Filters {

namespace {

using Pixel = std::array<std::uint8_t, 4>;
static_assert(sizeof(Pixel) == 4, "pixels must lie packed like the bitmap's bytes");

// Reads the bitmap as whole pixels, lets `change` rearrange or recolour them and writes them
// back.
template <typename Change>
void changePixels(Bitmap& bitmap, Change change) {
    const int width = bitmap.width();
    const int height = bitmap.height();
    if (width < 1 || height < 1) return;
    std::vector<Pixel> pixels(static_cast<std::size_t>(width) * height);
    auto* bytes = reinterpret_cast<std::uint8_t*>(pixels.data());
    if (!bitmap.readPixels(bytes, width, height)) return;
    change(pixels, width, height);
    bitmap.writePixels(bytes, width, height);
}

}  // namespace

void FlipHorizontal(Bitmap& bitmap) {
    changePixels(bitmap, [](std::vector<Pixel>& pixels, int width, int height) {
        for (int y = 0; y < height; ++y) {
            auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
            std::reverse(row, row + width);
        }
    });
}

void FlipVertical(Bitmap& bitmap) {
    changePixels(bitmap, [](std::vector<Pixel>& pixels, int width, int height) {
        for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(top) * width,
                             pixels.begin() + static_cast<std::ptrdiff_t>(top + 1) * width,
                             pixels.begin() + static_cast<std::ptrdiff_t>(bottom) * width);
        }
    });
}

void Border(Bitmap& bitmap) {
    changePixels(bitmap, [](std::vector<Pixel>& pixels, int width, int height) {
        const auto black = [&](int x, int y) {
            Pixel& p = pixels[static_cast<std::size_t>(y) * width + x];
            p[0] = p[1] = p[2] = 0;
        };
        for (int x = 0; x < width; ++x) {
            black(x, 0);
            black(x, height - 1);
        }
        for (int y = 0; y < height; ++y) {
            black(0, y);
            black(width - 1, y);
        }
    });
}

}  // namespace Filters
