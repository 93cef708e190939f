// The 3 × 3 neighbourhood filters. Sharpen, blur and edge work in place: the row above and the
// pixel to the left already hold their new values when a pixel is computed, which is part of
// their look. Contour reads the untouched copy.

#include "filters/FilterSteps.h"

namespace Filters::detail {

namespace {

// Sum of the eight neighbours of the channel byte at `at`, rows `line` bytes apart.
inline int neighbourSum(const std::uint8_t* at, std::ptrdiff_t line) {
    return at[-line - 4] + at[-line] + at[-line + 4] + at[-4] + at[4] + at[line - 4] + at[line] +
           at[line + 4];
}

// Runs `rule(C, N)` over the inner pixels, reading C and N from `from` and storing the three
// channels of a pixel into PixelBuffer once all three are computed. The outermost rows and
// columns are never written.
template <typename Rule>
void overInnerPixels(const std::vector<std::uint8_t>& from, Rule rule) {
    const std::ptrdiff_t line = 4 * static_cast<std::ptrdiff_t>(PictureWidth);
    overRows(1, PictureHeight - 1, [&](int y) {
        for (int x = 1; x < PictureWidth - 1; ++x) {
            const std::size_t at = pixelOffset(x, y);
            const std::uint8_t* s = &from[at];
            const int blue = rule(0, s[0], neighbourSum(s, line));
            const int green = rule(1, s[1], neighbourSum(s + 1, line));
            const int red = rule(2, s[2], neighbourSum(s + 2, line));
            std::uint8_t* p = &PixelBuffer[at];
            p[0] = static_cast<std::uint8_t>(blue);
            p[1] = static_cast<std::uint8_t>(green);
            p[2] = static_cast<std::uint8_t>(red);
        }
    });
}

}  // namespace

void SharpenFilter(int strength) {
    const int divisor = strength + 8;
    if (divisor == 0) {  // no such sharpening; the picture stays
        rowDone();
        return;
    }
    // The weights sum to the divisor, so an even area keeps its colour.
    const int centre = strength + 24;
    overInnerPixels(PixelBuffer,
                    [=](int, int C, int N) { return clampByte((centre * C - 2 * N) / divisor); });
}

void BlurFilter() {
    // The pixel itself does not count: the truncated mean of its eight neighbours.
    overInnerPixels(PixelBuffer, [](int, int, int N) { return N / 8; });
}

void EdgeFilter(int strength) {
    const int divisor = strength + 1;
    if (divisor == 0) {
        rowDone();
        return;
    }
    const int centre = strength + 9;
    overInnerPixels(PixelBuffer,
                    [=](int, int C, int N) { return clampByte((centre * C - N) / divisor); });
}

void ContourFilter(int colour) {
    int red = 0;
    int green = 0;
    int blue = 0;
    SplitColour(colour, red, green, blue);
    const int offset[3] = {blue, green, red};
    // The Laplacian of the untouched picture, lifted by the offset colour: even areas take that
    // colour and the darker side of an edge shows as a line.
    overInnerPixels(SourceBuffer,
                    [&](int c, int C, int N) { return clampByte(8 * C - N + offset[c]); });
}

}  // namespace Filters::detail
