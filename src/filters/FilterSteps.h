#pragma once

// What the filters share inside the module: the event point, the random draws, the arithmetic
// rules and the filter procedures RunFilter dispatches to. Pixel (x, y) here is 0-based; its
// bytes start at pixelOffset(x, y) in both buffers.

#include <cstddef>
#include <cstdint>

#include "arithmetic/Rounding.h"
#include "filters/Filters.h"

namespace Filters::detail {

// Lets the window handle its pending events. False once the run has been abandoned: the
// filter then returns at once and RunFilter writes nothing back.
bool rowDone();

// The random source of the current run.
RandomSource& random();

inline std::size_t pixelOffset(int x, int y) {
    return (static_cast<std::size_t>(y) * PictureWidth + x) * 4;
}

// Float to integer conversion: nearest, halfway cases to the even neighbour. Callers keep the
// value within the range of int.
inline int roundToInt(double value) {
    return static_cast<int>(arithmetic::roundHalfEven(value));
}

inline int clampByte(int value) {
    return value < 0 ? 0 : (value > 255 ? 255 : value);
}

// Fills ToneTable with the grey value of a channel sum: entry k = k / 3, truncated.
void fillGreyTable();

// The mean grey of SourceBuffer, truncated; ToneTable must hold the grey table.
int meanGrey();

// The row loop every filter runs: `row(y)` for y = first .. end - 1, the event point after each
// row and once more after the last. False when the run was abandoned on the way (the filter
// then returns at once).
template <typename Row>
bool overRows(int first, int end, Row row) {
    for (int y = first; y < end; ++y) {
        row(y);
        if (!rowDone()) return false;
    }
    return rowDone();
}

// `pixel(p, s)` for every pixel, row by row with the event points: p points at its bytes in
// PixelBuffer, s at the same pixel in SourceBuffer.
template <typename Pixel>
bool forEachPixel(Pixel pixel) {
    return overRows(0, PictureHeight, [&pixel](int y) {
        const std::size_t row = pixelOffset(0, y);
        std::uint8_t* p = &PixelBuffer[row];
        const std::uint8_t* s = &SourceBuffer[row];
        for (int x = 0; x < PictureWidth; ++x, p += 4, s += 4) pixel(p, s);
    });
}

// Brings a contrast-stretched colour (blue, green, red) into 0..255 by handing half of a
// channel's overshoot or undershoot to each of the other two, pass after pass.
int balanceColour(int (&value)[3]);

// Per-pixel colour filters.
void NegativeFilter();
void GrayscaleFilter();
void BrightnessFilter(int percent);
void ContrastFilter(int percent);
void SwapColoursFilter(int order);

// Block mean, emboss and the two random filters.
void PixelizeFilter(int blockSize);
void ReliefFilter();
void AddNoiseFilter(int amplitude);
void DiffuseFilter(int spread);

// 3 × 3 neighbourhood filters.
void SharpenFilter(int strength);
void BlurFilter();
void EdgeFilter(int strength);
void ContourFilter(int colour);

// Error-diffused dots and the edge-keeping smoothing.
void ScatteredFilter(int damping);
void AquarelFilter();

}  // namespace Filters::detail
