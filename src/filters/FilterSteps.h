#pragma once

// What the filters share inside the module: the event point, the random draws, the arithmetic
// rules and the filter procedures RunFilter dispatches to. Pixel (x, y) here is 0-based; its
// bytes start at pixelOffset(x, y) in both buffers.

#include <cmath>
#include <cstddef>
#include <cstdint>

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

// Float to integer conversion rounds to the nearest integer and halfway cases to the even one
// (2.5 gives 2, -2.5 gives -2): nearbyint in the default rounding mode, which this program
// never changes.
inline int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

inline int clampByte(int value) {
    return value < 0 ? 0 : (value > 255 ? 255 : value);
}

// Fills ToneTable with the grey value of a channel sum: entry k = k / 3, truncated.
void fillGreyTable();

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
