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

}  // namespace

void NegativeFilter() {
    forEachPixel([](std::uint8_t* p, const std::uint8_t*) {
        p[0] = 255 - p[0];
        p[1] = 255 - p[1];
        p[2] = 255 - p[2];
    });
}

void GrayscaleFilter() {
    fillGreyTable();
    forEachPixel([](std::uint8_t* p, const std::uint8_t*) {
        const auto grey = static_cast<std::uint8_t>(ToneTable[p[0] + p[1] + p[2]]);
        p[0] = p[1] = p[2] = grey;
    });
}

void BrightnessFilter(int percent) {
    const double factor = percentFactor(percent);
    for (int k = 0; k <= 255; ++k) {
        // Limited before converting so that no factor can overflow the integer.
        ToneTable[k] = clampByte(roundToInt(std::clamp(factor * k, -1.0, 256.0)));
    }
    forEachPixel([](std::uint8_t* p, const std::uint8_t* s) {
        p[0] = static_cast<std::uint8_t>(ToneTable[s[0]]);
        p[1] = static_cast<std::uint8_t>(ToneTable[s[1]]);
        p[2] = static_cast<std::uint8_t>(ToneTable[s[2]]);
    });
}

void ContrastFilter(int percent) {
    fillGreyTable();
    const int mean = meanGrey();
    const double factor = percentFactor(percent);
    // Stretched away from (or towards) the mean; not clamped here, balancing does that.
    for (int k = 0; k <= 255; ++k) {
        const double stretched = factor * (k - mean) + mean;
        ToneTable[k] = roundToInt(std::clamp(stretched, -1e6, 1e6));
    }
    if (!rowDone()) return;
    forEachPixel([](std::uint8_t* p, const std::uint8_t* s) {
        int value[3] = {ToneTable[s[0]], ToneTable[s[1]], ToneTable[s[2]]};
        if ((value[0] | value[1] | value[2]) & ~255) balanceColour(value);
        p[0] = static_cast<std::uint8_t>(value[0]);
        p[1] = static_cast<std::uint8_t>(value[1]);
        p[2] = static_cast<std::uint8_t>(value[2]);
    });
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
    forEachPixel([from](std::uint8_t* p, const std::uint8_t* s) {
        p[0] = s[from[0]];
        p[1] = s[from[1]];
        p[2] = s[from[2]];
    });
}

}  // namespace Filters::detail
