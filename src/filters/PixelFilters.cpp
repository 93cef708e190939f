// Block mean ("Pixelize"), emboss ("Reliëf"), and the two filters that draw random numbers
// ("Add noise", "Defuse").

#include <algorithm>

#include "filters/FilterSteps.h"

namespace Filters::detail {

namespace {

// Mean colour of the block whose top-left pixel is (left, top), over its pixels inside the
// picture; the last blocks of a row or column may be narrower or shorter.
void blockMean(int left, int top, int blockSize, int (&mean)[3]) {
    const int right = std::min(left + blockSize, PictureWidth);
    const int bottom = std::min(top + blockSize, PictureHeight);
    long long sum[3] = {0, 0, 0};
    long long count = 0;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* s = &SourceBuffer[pixelOffset(left, y)];
        for (int x = left; x < right; ++x, s += 4) {
            sum[0] += s[0];
            sum[1] += s[1];
            sum[2] += s[2];
            ++count;
        }
    }
    if (count == 0) return;
    for (int c = 0; c < 3; ++c) mean[c] = static_cast<int>(sum[c] / count);
}

// A random displacement of spread × r − half, rounded half to even. One that cannot stay
// inside 0..size − 1 from `at` becomes 0, so nothing is fetched from outside the picture.
int displacement(int spread, int half, int at, int size) {
    const long long moved =
        arithmetic::roundHalfEven(static_cast<double>(spread) * random().next() - half);
    if (moved < -at || moved > size - 1 - at) return 0;
    return static_cast<int>(moved);
}

}  // namespace

void PixelizeFilter(int blockSize) {
    if (blockSize < 1) {  // no block to take a mean of; the picture stays
        rowDone();
        return;
    }
    int mean[3] = {0, 0, 0};
    overRows(0, PictureHeight, [&](int y) {
        const int top = y / blockSize * blockSize;
        std::uint8_t* p = &PixelBuffer[pixelOffset(0, y)];
        for (int x = 0; x < PictureWidth; ++x, p += 4) {
            // The block's mean is taken anew at its first column, on each of its rows.
            if (x % blockSize == 0) blockMean(x, top, blockSize, mean);
            p[0] = static_cast<std::uint8_t>(mean[0]);
            p[1] = static_cast<std::uint8_t>(mean[1]);
            p[2] = static_cast<std::uint8_t>(mean[2]);
        }
    });
}

void ReliefFilter() {
    const std::ptrdiff_t line = 4 * static_cast<std::ptrdiff_t>(PictureWidth);
    overRows(1, PictureHeight - 1, [line](int y) {
        for (int x = 1; x < PictureWidth - 1; ++x) {
            const std::size_t at = pixelOffset(x, y);
            const std::uint8_t* s = &SourceBuffer[at];
            std::uint8_t* p = &PixelBuffer[at];
            for (int c = 0; c < 3; ++c) {
                // Light from the top-left: weights 2, 1, 1 there against -1, -1, -2 opposite.
                const int k = 2 * s[c - line - 4] + s[c - 4] + s[c - line] - s[c + line] -
                              s[c + 4] - 2 * s[c + line + 4];
                p[c] = static_cast<std::uint8_t>(clampByte((k + s[c]) / 2 + 50));
            }
        }
    });
}

void AddNoiseFilter(int amplitude) {
    const double width = 2.0 * amplitude + 1;
    forEachPixel([=](std::uint8_t* p, const std::uint8_t* s) {
        // Blue, green, red: three draws per pixel, in this order.
        for (int c = 0; c < 3; ++c) {
            const double noisy = static_cast<double>(random().next()) * width - amplitude + s[c];
            const long long rounded = arithmetic::roundHalfEven(noisy);
            p[c] = static_cast<std::uint8_t>(std::clamp(rounded, 0LL, 255LL));
        }
    });
}

void DiffuseFilter(int spread) {
    const int half = roundToInt(spread / 2.0);
    overRows(0, PictureHeight, [=](int y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const int dx = displacement(spread, half, x, PictureWidth);
            const int dy = displacement(spread, half, y, PictureHeight);
            // Read from the buffer being written, so a colour fetched earlier may travel on.
            const std::uint8_t* from = &PixelBuffer[pixelOffset(x + dx, y + dy)];
            std::uint8_t* p = &PixelBuffer[pixelOffset(x, y)];
            p[0] = from[0];
            p[1] = from[1];
            p[2] = from[2];
        }
    });
}

}  // namespace Filters::detail
