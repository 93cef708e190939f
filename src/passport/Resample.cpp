#include "passport/Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace passport {

namespace {

// The source pixels one destination pixel covers along one axis, with their shares.
struct Tap {
    int first = 0;    // first source pixel
    int count = 0;    // how many follow from `first`
    int weights = 0;  // where their shares start in Axis::weights
    float fill = 0;   // the share that lies outside the source
};

struct Axis {
    std::vector<Tap> taps;
    std::vector<float> weights;
    int lo = 0;  // the source pixels any destination pixel needs: lo .. hi - 1
    int hi = 0;
};

// Covers [start, start + length) of a source `sourceLength` pixels long with `destLength`
// equal steps.
Axis axisTaps(double start, double length, int destLength, int sourceLength) {
    Axis axis;
    axis.taps.resize(static_cast<std::size_t>(destLength));
    axis.lo = sourceLength;
    for (int i = 0; i < destLength; ++i) {
        Tap& tap = axis.taps[static_cast<std::size_t>(i)];
        tap.weights = static_cast<int>(axis.weights.size());
        const double a = start + length * (static_cast<double>(i) / destLength);
        const double b = start + length * (static_cast<double>(i + 1) / destLength);
        const double total = b - a;
        if (!std::isfinite(a)) {
            tap.fill = 1;
            continue;
        }
        // No size to average over: the pixel under the point.
        const bool point = !(total > 0) || !std::isfinite(total);
        const double first = std::clamp(std::floor(a), 0.0, double(sourceLength));
        const double last = point ? (a >= 0 && a < sourceLength ? first : -1.0)
                                  : std::clamp(std::ceil(b) - 1, -1.0, double(sourceLength - 1));
        double inside = 0;
        for (double k = first; k <= last; ++k) {
            const double share = point ? 1.0 : std::min(b, k + 1) - std::max(a, k);
            if (share <= 0) continue;
            if (tap.count == 0) tap.first = static_cast<int>(k);
            ++tap.count;
            axis.weights.push_back(static_cast<float>(point ? 1.0 : share / total));
            inside += share;
        }
        tap.fill = point ? (tap.count ? 0.0f : 1.0f)
                         : static_cast<float>(std::max(0.0, (total - inside) / total));
        if (tap.count) {
            axis.lo = std::min(axis.lo, tap.first);
            axis.hi = std::max(axis.hi, tap.first + tap.count);
        }
    }
    if (axis.hi <= axis.lo) axis.lo = axis.hi = 0;
    return axis;
}

std::uint32_t toPixel(float r, float g, float b) {
    auto level = [](float v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    return 0xff000000u | level(r) << 16 | level(g) << 8 | level(b);
}

struct Channels {
    std::vector<float> r, g, b;
};

// acc = fill x fillShare + the source rows of `tap`, each weighted, over columns lo .. hi - 1.
void accumulateRows(const view::ConstPixels& source, const Axis& rows, const Tap& tap, int lo,
                    int hi, const float fill[3], Channels& acc) {
    const int n = hi - lo;
    std::fill_n(acc.r.begin(), n, fill[0] * tap.fill);
    std::fill_n(acc.g.begin(), n, fill[1] * tap.fill);
    std::fill_n(acc.b.begin(), n, fill[2] * tap.fill);
    float* r = acc.r.data();
    float* g = acc.g.data();
    float* b = acc.b.data();
    for (int t = 0; t < tap.count; ++t) {
        const float w = rows.weights[static_cast<std::size_t>(tap.weights + t)];
        const std::uint32_t* in =
            source.pixels + static_cast<std::ptrdiff_t>(tap.first + t) * source.stride + lo;
        for (int c = 0; c < n; ++c) {
            const std::uint32_t p = in[c];
            r[c] += w * static_cast<float>((p >> 16) & 0xff);
            g[c] += w * static_cast<float>((p >> 8) & 0xff);
            b[c] += w * static_cast<float>(p & 0xff);
        }
    }
}

}  // namespace

void resampleArea(const view::ConstPixels& source, const Area& area, const view::Pixels& dest,
                  std::uint32_t fill) {
    if (dest.width <= 0 || dest.height <= 0 || !dest.pixels) return;
    const bool empty = !source.pixels || source.width <= 0 || source.height <= 0;
    const Axis cols = axisTaps(area.x, area.width, dest.width, empty ? 0 : source.width);
    const Axis rows = axisTaps(area.y, area.height, dest.height, empty ? 0 : source.height);
    const float fillRgb[3] = {float((fill >> 16) & 0xff), float((fill >> 8) & 0xff),
                              float(fill & 0xff)};
    const int lo = cols.lo;
    const int n = cols.hi - cols.lo;
    Channels acc{std::vector<float>(std::size_t(n)), std::vector<float>(std::size_t(n)),
                 std::vector<float>(std::size_t(n))};
    for (int y = 0; y < dest.height; ++y) {
        const Tap& rowTap = rows.taps[std::size_t(y)];
        // Columns outside the source are fill whatever the row; rows outside it likewise.
        if (n > 0) accumulateRows(source, rows, rowTap, lo, cols.hi, fillRgb, acc);
        std::uint32_t* out = dest.pixels + static_cast<std::ptrdiff_t>(y) * dest.stride;
        for (int x = 0; x < dest.width; ++x) {
            const Tap& tap = cols.taps[std::size_t(x)];
            float r = fillRgb[0] * tap.fill, g = fillRgb[1] * tap.fill, b = fillRgb[2] * tap.fill;
            const float* w = cols.weights.data() + tap.weights;
            const int k0 = tap.first - lo;
            for (int t = 0; t < tap.count; ++t) {
                r += w[t] * acc.r[std::size_t(k0 + t)];
                g += w[t] * acc.g[std::size_t(k0 + t)];
                b += w[t] * acc.b[std::size_t(k0 + t)];
            }
            out[x] = toPixel(r, g, b);
        }
    }
}

}  // namespace passport
