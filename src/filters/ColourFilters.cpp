// Filters whose result for a pixel depends on that pixel alone (and, for contrast, on the
// mean grey of the whole picture): negative, greyscale, light/dark, contrast, colour swaps.

#include <algorithm>

#include "filters/FilterSteps.h"

namespace Filters::detail {

// Returns the number of passes that changed something, for the tests.
int balanceColour(int (&value)[3]) {
    auto inRange = [](int v) { return v >= 0 && v <= 255; };
    int passes = 0;
    while (!(inRange(value[0]) && inRange(value[1]) && inRange(value[2]))) {
        ++passes;
        if (value[0] <= 0 && value[1] <= 0 && value[2] <= 0) {
            value[0] = value[1] = value[2] = 0;
            continue;
        }
        if (value[0] >= 255 && value[1] >= 255 && value[2] >= 255) {
            value[0] = value[1] = value[2] = 255;
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            int share = 0;
            if (value[c] < 0) {
                share = value[c] / 2;
                value[c] = 0;
            } else if (value[c] > 255) {
                share = (value[c] - 255) / 2;
                value[c] = 255;
            } else {
                continue;
            }
            value[(c + 1) % 3] += share;
            value[(c + 2) % 3] += share;
        }
    }
    return passes;
}

namespace {

// Single precision on purpose: the halfway cases of the tables depend on the factor being
// rounded to float before it is multiplied in double.
float percentFactor(int percent) {
    return static_cast<float>((percent + 100) / 100.0);
}

// Truncated mean grey of SourceBuffer; ToneTable must hold the grey table.
int meanGrey() {
    long long sum = 0;
    const std::size_t end = SourceBuffer.size();
    for (std::size_t i = 0; i < end; i += 4) {
        sum += ToneTable[SourceBuffer[i] + SourceBuffer[i + 1] + SourceBuffer[i + 2]];
    }
    const long long count = static_cast<long long>(PictureWidth) * PictureHeight;
    return static_cast<int>(sum / count);
}

}  // namespace

void NegativeFilter() {
    for (int y = 0; y < PictureHeight; ++y) {
        std::uint8_t* p = &PixelBuffer[pixelOffset(0, y)];
        for (int x = 0; x < PictureWidth; ++x, p += 4) {
            p[0] = 255 - p[0];
            p[1] = 255 - p[1];
            p[2] = 255 - p[2];
        }
        if (!rowDone()) return;
    }
    rowDone();
}

void GrayscaleFilter() {
    fillGreyTable();
    for (int y = 0; y < PictureHeight; ++y) {
        std::uint8_t* p = &PixelBuffer[pixelOffset(0, y)];
        for (int x = 0; x < PictureWidth; ++x, p += 4) {
            const auto grey = static_cast<std::uint8_t>(ToneTable[p[0] + p[1] + p[2]]);
            p[0] = p[1] = p[2] = grey;
        }
        if (!rowDone()) return;
    }
    rowDone();
}

void BrightnessFilter(int percent) {
    const double factor = percentFactor(percent);
    for (int k = 0; k <= 255; ++k) {
        // Limited before converting so that no factor can overflow the integer.
        ToneTable[k] = clampByte(roundHalfEven(std::clamp(factor * k, -1.0, 256.0)));
    }
    for (int y = 0; y < PictureHeight; ++y) {
        const std::size_t row = pixelOffset(0, y);
        std::uint8_t* p = &PixelBuffer[row];
        const std::uint8_t* s = &SourceBuffer[row];
        for (int x = 0; x < PictureWidth; ++x, p += 4, s += 4) {
            p[0] = static_cast<std::uint8_t>(ToneTable[s[0]]);
            p[1] = static_cast<std::uint8_t>(ToneTable[s[1]]);
            p[2] = static_cast<std::uint8_t>(ToneTable[s[2]]);
        }
        if (!rowDone()) return;
    }
    rowDone();
}

void ContrastFilter(int percent) {
    fillGreyTable();
    const int mean = meanGrey();
    const double factor = percentFactor(percent);
    // Stretched away from (or towards) the mean; not clamped here, balancing does that.
    for (int k = 0; k <= 255; ++k) {
        const double stretched = factor * (k - mean) + mean;
        ToneTable[k] = roundHalfEven(std::clamp(stretched, -1e6, 1e6));
    }
    if (!rowDone()) return;
    for (int y = 0; y < PictureHeight; ++y) {
        const std::size_t row = pixelOffset(0, y);
        std::uint8_t* p = &PixelBuffer[row];
        const std::uint8_t* s = &SourceBuffer[row];
        for (int x = 0; x < PictureWidth; ++x, p += 4, s += 4) {
            int value[3] = {ToneTable[s[0]], ToneTable[s[1]], ToneTable[s[2]]};
            if ((value[0] | value[1] | value[2]) & ~255) balanceColour(value);
            p[0] = static_cast<std::uint8_t>(value[0]);
            p[1] = static_cast<std::uint8_t>(value[1]);
            p[2] = static_cast<std::uint8_t>(value[2]);
        }
        if (!rowDone()) return;
    }
    rowDone();
}

void SwapColoursFilter(int order) {
    // For each order: which old channel (0 blue, 1 green, 2 red) becomes the new blue, green
    // and red. "RGB --> BRG" reads the new red, green, blue off the letters after the arrow.
    static constexpr int kFrom[6][3] = {
        {0, 1, 2},  // not a menu order: nothing changes
        {1, 2, 0},  // "RGB --> BRG"
        {2, 0, 1},  // "RGB --> GBR"
        {1, 0, 2},  // "RGB --> RBG"
        {2, 1, 0},  // "RGB --> BGR"
        {0, 2, 1},  // "RGB --> GRB"
    };
    const int* from = kFrom[order >= 1 && order <= 5 ? order : 0];
    for (int y = 0; y < PictureHeight; ++y) {
        const std::size_t row = pixelOffset(0, y);
        std::uint8_t* p = &PixelBuffer[row];
        const std::uint8_t* s = &SourceBuffer[row];
        for (int x = 0; x < PictureWidth; ++x, p += 4, s += 4) {
            p[0] = s[from[0]];
            p[1] = s[from[1]];
            p[2] = s[from[2]];
        }
        if (!rowDone()) return;
    }
    rowDone();
}

}  // namespace Filters::detail
