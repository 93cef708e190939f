// "Scattered": black and white dots by error diffusion against the mean grey of the photo.
// "Aquarel": edge-keeping smoothing that takes the calmest of four 3 × 3 quadrants.

#include <array>
#include <cstdlib>

#include "filters/FilterSteps.h"

namespace Filters::detail {

namespace {

// Shares of an error for the twelve pixels it is spread over, out of 42: two to the right in
// this row, five in each of the two rows below (x − 2 … x + 2).
constexpr int kShareWeights[12] = {8, 4, 2, 4, 8, 4, 2, 1, 2, 4, 2, 1};
constexpr int kShareCount = 12;
using ShareTable = std::array<std::array<int, kShareCount>, 511>;

// share(e, n) = w(n) × e / 42 for e = −255 … 255, truncated toward zero for negative errors too.
void buildShares(ShareTable& share) {
    for (int e = -255; e <= 255; ++e) {
        for (int n = 0; n < kShareCount; ++n) share[e + 255][n] = kShareWeights[n] * e / 42;
    }
}

// Mean (rounded down) and summed absolute deviation from it of one channel over the 3 × 3
// quadrant whose top-left byte is `s`.
struct Quadrant {
    int mean;
    int deviation;
};

inline Quadrant quadrant(const std::uint8_t* s, std::ptrdiff_t line) {
    const std::uint8_t* r[3] = {s, s + line, s + 2 * line};
    int sum = 0;
    for (const std::uint8_t* row : r) sum += row[0] + row[4] + row[8];
    const int mean = sum / 9;
    int deviation = 0;
    for (const std::uint8_t* row : r) {
        deviation += std::abs(row[0] - mean) + std::abs(row[4] - mean) + std::abs(row[8] - mean);
    }
    return {mean, deviation};
}

}  // namespace

void ScatteredFilter(int damping) {
    if (damping == 0) {  // the carried error cannot be damped by nothing; the picture stays
        rowDone();
        return;
    }
    fillGreyTable();
    ShareTable share;
    buildShares(share);
    // Error carried into this row, the next and the one after, with two spare columns on each
    // side: shares that fall outside the picture land there and are never read, and shares for
    // rows below the last are never read either.
    constexpr int kPad = 2;
    std::vector<int> rows[3];
    for (auto& row : rows) row.assign(PictureWidth + 2 * kPad, 0);
    if (!rowDone()) return;
    const int threshold = meanGrey();
    if (!rowDone()) return;

    overRows(0, PictureHeight, [&](int y) {
        std::uint8_t* p = &PixelBuffer[pixelOffset(0, y)];
        const std::uint8_t* s = &SourceBuffer[pixelOffset(0, y)];
        int* here = rows[0].data() + kPad;
        int* next = rows[1].data() + kPad;
        int* after = rows[2].data() + kPad;
        for (int x = 0; x < PictureWidth; ++x, p += 4, s += 4) {
            // The error is damped where it is read, never where it is stored.
            const int v = clampByte(ToneTable[s[0] + s[1] + s[2]] + here[x] * 10 / damping);
            const int out = v >= threshold ? 255 : 0;
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(out);
            const auto& part = share[v - out + 255];
            here[x + 1] += part[0];
            here[x + 2] += part[1];
            for (int d = -2; d <= 2; ++d) {
                next[x + d] += part[4 + d];
                after[x + d] += part[9 + d];
            }
        }
        rows[0].swap(rows[1]);
        rows[1].swap(rows[2]);
        std::fill(rows[2].begin(), rows[2].end(), 0);
    });
}

void AquarelFilter() {
    const std::ptrdiff_t line = 4 * static_cast<std::ptrdiff_t>(PictureWidth);
    // The four quadrants of pixel (x, y) are the 3 × 3 boxes centred on (x ± 1, y ± 1), and each
    // box serves up to four pixels: a box's mean and deviation are worked out once, for the box
    // rows centred on y − 1 and y + 1. Three rows are alive at a time, kept by row number mod 3.
    std::vector<Quadrant> boxes[3];
    int boxRow[3] = {-1, -1, -1};
    auto boxesCentredOn = [&](int r) -> const Quadrant* {
        std::vector<Quadrant>& row = boxes[r % 3];
        if (boxRow[r % 3] != r) {
            row.resize(static_cast<std::size_t>(PictureWidth) * 3);
            for (int x = 1; x < PictureWidth - 1; ++x) {
                const std::size_t corner = pixelOffset(x - 1, r - 1);
                for (int c = 0; c < 3; ++c)
                    row[x * 3 + c] = quadrant(&SourceBuffer[corner + c], line);
            }
            boxRow[r % 3] = r;
        }
        return boxes[r % 3].data();
    };
    overRows(2, PictureHeight - 2, [&](int y) {
        const Quadrant* above = boxesCentredOn(y - 1);
        const Quadrant* below = boxesCentredOn(y + 1);
        for (int x = 2; x < PictureWidth - 2; ++x) {
            const std::size_t at = pixelOffset(x, y);
            for (int c = 0; c < 3; ++c) {
                // Upper left, upper right, lower left, lower right: on equal deviations the
                // first in this order wins.
                const Quadrant* quadrants[4] = {&above[(x - 1) * 3 + c], &above[(x + 1) * 3 + c],
                                                &below[(x - 1) * 3 + c], &below[(x + 1) * 3 + c]};
                int best = 99999;
                int mean = 0;
                for (const Quadrant* q : quadrants) {
                    if (q->deviation < best) {
                        best = q->deviation;
                        mean = q->mean;
                    }
                }
                PixelBuffer[at + c] = static_cast<std::uint8_t>(mean);
            }
        }
    });
}

}  // namespace Filters::detail
