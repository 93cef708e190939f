#include "passport/Resample.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "raster/Threads.h"

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
    // Every share is positive, so the sums are too: adding a half and truncating rounds.
    auto level = [](float v) { return std::min(static_cast<std::uint32_t>(v + 0.5f), 255u); };
    return 0xff000000u | level(r) << 16 | level(g) << 8 | level(b);
}

struct Channels {
    std::vector<float> r, g, b;
};

// acc = fill x fillShare + the source rows of `tap`, each weighted, over columns lo .. hi - 1.
void accumulateRows(const raster::ConstPixels& source, const Axis& rows, const Tap& tap, int lo,
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

void resampleArea(const raster::ConstPixels& source, const Area& area, const raster::Pixels& dest,
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

namespace {

// Four channels (blue, green, red, alpha: the bytes of a pixel in memory order) as floats,
// one SSE register where there is one: a column's mean costs a few instructions, not a dozen
// per channel.
#if defined(__SSE2__)
struct Lanes {
    __m128 v;
    static Lanes zero() { return {_mm_setzero_ps()}; }
    static Lanes of(std::uint32_t p) {
        const __m128i z = _mm_setzero_si128();
        const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), z);
        return {_mm_cvtepi32_ps(_mm_unpacklo_epi16(b, z))};
    }
    Lanes operator+(Lanes o) const { return {_mm_add_ps(v, o.v)}; }
    Lanes operator-(Lanes o) const { return {_mm_sub_ps(v, o.v)}; }
    Lanes operator*(float f) const { return {_mm_mul_ps(v, _mm_set1_ps(f))}; }
    std::uint32_t pixel() const {
        alignas(16) float f[4];
        _mm_store_ps(f, v);
        return toPixel(f[2], f[1], f[0]);
    }
};
#else
struct Lanes {
    float v[4];
    static Lanes zero() { return {{0, 0, 0, 0}}; }
    static Lanes of(std::uint32_t p) {
        return {{float(p & 0xff), float(p >> 8 & 0xff), float(p >> 16 & 0xff), float(p >> 24)}};
    }
    Lanes operator+(Lanes o) const {
        return {{v[0] + o.v[0], v[1] + o.v[1], v[2] + o.v[2], v[3] + o.v[3]}};
    }
    Lanes operator-(Lanes o) const {
        return {{v[0] - o.v[0], v[1] - o.v[1], v[2] - o.v[2], v[3] - o.v[3]}};
    }
    Lanes operator*(float f) const { return {{v[0] * f, v[1] * f, v[2] * f, v[3] * f}}; }
    std::uint32_t pixel() const { return toPixel(v[2], v[1], v[0]); }
};
#endif

// The highest band: past one pixel a band meets a third now and then, which costs less than
// a line more (four lines of 1.006 pixels, not five of 0.805, for a crop four pixels per
// print pixel turned 8 degrees).
constexpr double kMaxBand = 1.25;

// Pixels narrower than this many source columns read their partly covered columns exactly.
constexpr double kFewColumns = 3;

// The work of one turned area, seen along its more level edge. Everything is in "along" and
// "across" coordinates: x and y when the area's top edge lies nearer the horizontal, swapped
// (the source read transposed) when it lies nearer the vertical.
//
// Each destination row is read as `strips` lines running along the area's top edge, evenly
// spaced down it. A line is a band of the source `band` pixels high (at most kMaxBand, so it
// meets two source pixels, now and then three, in every source column it crosses); within
// each column the band is taken as an upright box of that height round the line, and its
// average there is those pixels weighted by the part of each inside it. Along the line each
// destination pixel then takes the exact mean of the columns its part of the line spans,
// every column weighted by the part of it inside. So the mean is exact along the edge, and
// across it exact but for where a band meets a row boundary on a slant; and the footprint's
// sides run straight across each band instead of slanting over it. Those shapes share area
// and centre with the true ones, so only a pixel edge crossing them moves the mean: by a
// level or two at the turns a crop takes (within 10 degrees), more on hard edges as the
// slant nears 45 degrees. At whole quarter turns every box is exact.
struct TurnedJob {
    const std::uint32_t* pixels = nullptr;
    std::ptrdiff_t alongStep = 1, acrossStep = 0;  // between neighbouring source pixels
    int alongSize = 0, acrossSize = 0;             // 0 when the source is empty
    double cornerAlong = 0, cornerAcross = 0;
    double edgeAlong = 1, edgeAcross = 0;  // the top edge's direction, |along| >= |across|
    double downAlong = 0, downAcross = 1;  // the left edge's direction
    double pixelWidth = 0;                 // the area's width per destination pixel
    double stripStep = 0;                  // between lines, down the left edge
    int strips = 1;                        // lines per destination row
    double band = 1, halfBand = 0.5, inverseBand = 1;
    Lanes fill = Lanes::zero();
    raster::Pixels dest;
};

// The band of `job` from across-coordinate `top` to top + band in one source column (or
// row), whose first pixel is `line`.
inline Lanes bandMean(const TurnedJob& job, const std::uint32_t* line, double top) {
    if (top >= 0 && top < job.acrossSize - 2) {
        const int i = static_cast<int>(top);
        const double f = top - i;
        const std::uint32_t* upper = line + i * job.acrossStep;
        const Lanes middle = Lanes::of(upper[job.acrossStep]);
        const float w = static_cast<float>(std::min(1 - f, job.band) * job.inverseBand);
        if (f + job.band <= 2) return middle + (Lanes::of(upper[0]) - middle) * w;
        // A band over one pixel high reaching into a third.
        const float w2 = static_cast<float>((f + job.band - 2) * job.inverseBand);
        return middle * static_cast<float>(job.inverseBand) + Lanes::of(upper[0]) * w +
               Lanes::of(upper[2 * job.acrossStep]) * w2;
    }
    // On or beyond the source's edge, or at no finite place (NaN fails every test): what
    // lies outside is fill, and a huge number is never converted.
    if (!(top >= -2 && top < job.acrossSize)) return job.fill;
    const double first = std::floor(top);
    Lanes sum = Lanes::zero();
    for (int k = 0; k < 3; ++k) {
        const double share = std::min(top + job.band, first + k + 1) - std::max(top, first + k);
        if (!(share > 0)) continue;
        const int i = static_cast<int>(first) + k;
        const Lanes p =
            i >= 0 && i < job.acrossSize ? Lanes::of(line[i * job.acrossStep]) : job.fill;
        sum = sum + p * static_cast<float>(share * job.inverseBand);
    }
    return sum;
}

// Destination rows first .. last - 1.
void turnedRows(const TurnedJob& job, int first, int last) {
    const int width = job.dest.width;
    const double slope = job.edgeAcross / job.edgeAlong;
    const double run = job.pixelWidth * job.edgeAlong;  // along-length of one pixel's part
    std::vector<Lanes> acc(std::size_t(width), Lanes::zero());
    std::vector<Lanes> columns;  // the band's mean in each source column the line crosses
    const float perStrip = 1.0f / static_cast<float>(job.strips);
    const bool exactEnds = std::abs(run) < kFewColumns;
    for (int y = first; y < last; ++y) {
        std::fill(acc.begin(), acc.end(), Lanes::zero());
        for (int n = 0; n < job.strips; ++n) {
            const double v = (static_cast<double>(y) * job.strips + n + 0.5) * job.stripStep;
            const double originAlong = job.cornerAlong + v * job.downAlong;
            const double originAcross = job.cornerAcross + v * job.downAcross;
            // The columns inside the source that the line crosses.
            const double ends[2] = {originAlong, originAlong + run * width};
            const double lo = std::max(0.0, std::floor(std::min(ends[0], ends[1])));
            const double hi =
                std::min(double(job.alongSize), std::ceil(std::max(ends[0], ends[1])));
            const int from = lo < hi ? static_cast<int>(lo) : 0;
            const int to = lo < hi ? static_cast<int>(hi) : 0;
            columns.resize(std::size_t(to - from));
            // The band's top where the line crosses the middle of column `from`.
            const double top0 = originAcross + (from + 0.5 - originAlong) * slope - job.halfBand;
            // Stepped, not multiplied: over a few thousand columns the sum drifts by some
            // billionths of a pixel.
            double top = top0;
            const std::uint32_t* line = job.pixels + from * job.alongStep;
            for (Lanes& column : columns) {
                column = bandMean(job, line, top);
                top += slope;
                line += job.alongStep;
            }
            for (int x = 0; x < width; ++x) {
                const double e0 = originAlong + run * x, e1 = originAlong + run * (x + 1);
                const double a = std::min(e0, e1), b = std::max(e0, e1);
                Lanes& out = acc[std::size_t(x)];
                if (!(b > a)) {
                    // No size along the edge: the pixel under the point itself.
                    const double p = std::floor(a);
                    const double top = originAcross + (a - originAlong) * slope - job.halfBand;
                    out = out + (p >= 0 && p < job.alongSize
                                     ? bandMean(job, job.pixels + int(p) * job.alongStep, top)
                                     : job.fill);
                    continue;
                }
                const double inA = std::max(a, lo), inB = std::min(b, hi);
                Lanes sum = Lanes::zero();
                double inside = 0;
                if (inB > inA) {
                    inside = inB - inA;
                    // lo <= inA < inB <= hi, all inside the source: converting truncates
                    // down. The first and last columns count in part, those between whole.
                    const int c0 = static_cast<int>(inA);
                    int c1 = static_cast<int>(inB);
                    if (c1 == inB) --c1;
                    const Lanes* col = columns.data() + (c0 - from);
                    const Lanes* end = col + (c1 - c0);
                    // A column the pixel covers only in part is read where the line crosses
                    // that part, when the part is a large share of the pixel; otherwise where
                    // it crosses the column's middle (at a slant of s the band there sits up
                    // to s / 2 pixels off: a share of the pixel that shrinks with its size
                    // squared, under a level from kFewColumns up).
                    auto piece = [&](const Lanes* column, double left, double right) {
                        if (!exactEnds || (right - left == 1)) return *column;
                        const std::ptrdiff_t c = column - columns.data() + from;
                        const double mid = (left + right) / 2;
                        return bandMean(job, job.pixels + c * job.alongStep,
                                        originAcross + (mid - originAlong) * slope - job.halfBand);
                    };
                    if (c1 == c0) {
                        sum = piece(col, inA, inB) * static_cast<float>(inside);
                    } else {
                        sum = piece(col, inA, c0 + 1) * static_cast<float>(c0 + 1 - inA) +
                              piece(end, c1, inB) * static_cast<float>(inB - c1);
                        for (const Lanes* m = col + 1; m < end; ++m) sum = sum + *m;
                    }
                }
                const double length = b - a;
                out = out + sum * static_cast<float>(1 / length) +
                      job.fill * static_cast<float>((length - inside) / length);
            }
        }
        std::uint32_t* row = job.dest.pixels + static_cast<std::ptrdiff_t>(y) * job.dest.stride;
        for (int x = 0; x < width; ++x) row[x] = (acc[std::size_t(x)] * perStrip).pixel();
    }
}

// cos and sin of an angle in degrees, exact at whole quarter turns (so a quarter-turned area
// of whole pixels lands on pixel edges, not a rounding error beside them).
void cosSin(double degrees, double& c, double& s) {
    const double quarters = degrees / 90;
    if (quarters == std::round(quarters) && std::abs(quarters) < 1e15) {
        static constexpr double kCos[4] = {1, 0, -1, 0}, kSin[4] = {0, 1, 0, -1};
        const int q = static_cast<int>(std::fmod(quarters, 4.0) + 4) % 4;
        c = kCos[q];
        s = kSin[q];
        return;
    }
    const double a = degrees * (std::acos(-1.0) / 180);
    c = std::cos(a);
    s = std::sin(a);
}

// Below this many source columns read, the rows take less time than starting a thread.
constexpr double kColumnsPerThread = 1 << 18;

}  // namespace

void resampleTurned(const raster::ConstPixels& source, const TurnedArea& area,
                    const raster::Pixels& dest, std::uint32_t fill) {
    if (area.angleDegrees == 0) {
        resampleArea(source, {area.x, area.y, area.width, area.height}, dest, fill);
        return;
    }
    if (dest.width <= 0 || dest.height <= 0 || !dest.pixels) return;
    const bool empty = !source.pixels || source.width <= 0 || source.height <= 0;
    double c = 1, s = 0;
    cosSin(area.angleDegrees, c, s);

    TurnedJob job;
    job.dest = dest;
    job.fill = Lanes::of(fill);
    if (!std::isfinite(area.x) || !std::isfinite(area.y) || !std::isfinite(c) ||
        !std::isfinite(s) || empty) {
        // Nowhere on the photo: all fill (an empty source is read as one of no size).
    } else {
        job.pixels = source.pixels;
        // Along the more level edge: x when the top edge is nearer the horizontal.
        const bool transposed = std::abs(s) > std::abs(c);
        job.alongStep = transposed ? source.stride : 1;
        job.acrossStep = transposed ? 1 : source.stride;
        job.alongSize = transposed ? source.height : source.width;
        job.acrossSize = transposed ? source.width : source.height;
        job.cornerAlong = transposed ? area.y : area.x;
        job.cornerAcross = transposed ? area.x : area.y;
        job.edgeAlong = transposed ? s : c;
        job.edgeAcross = transposed ? c : s;
        job.downAlong = transposed ? c : -s;
        job.downAcross = transposed ? -s : c;
    }
    // An edge of no size (or not a finite one) reads every pixel at the corner, as
    // resampleArea takes the pixel under it.
    // So does a pixel far smaller than any photo's pixel: its reciprocal would not fit a
    // float.
    constexpr double kLeastPixel = 1e-20;
    const double perColumn = area.width / dest.width;
    job.pixelWidth = perColumn > kLeastPixel && std::isfinite(perColumn) ? perColumn : 0;
    const double perRow = area.height / dest.height;
    const bool rowSize = perRow > kLeastPixel && std::isfinite(perRow);
    // Lines close enough that each band is at most kMaxBand high (a line spaced d down the
    // left edge is d / |edgeAlong| high in the across direction).
    const double bandPerRow = rowSize ? perRow / std::abs(job.edgeAlong) : 0;
    // The work stays near the source rows the area can cover, however tall the area: past
    // that (an area absurdly tall) the lines thin out, each band still kMaxBand high.
    const double maxStrips =
        std::max(1.0, (4.0 * job.acrossSize + dest.height) / double(dest.height));
    // And no higher than a third of a pixel's run along the line: the footprint's sides run
    // straight across each band, off the slant by a share of the pixel that grows with the
    // band's height over the run.
    const double run = job.pixelWidth * std::abs(job.edgeAlong);
    const double bandLimit = run > 0 ? std::min(kMaxBand, run / 3) : kMaxBand;
    job.strips = static_cast<int>(std::clamp(std::ceil(bandPerRow / bandLimit), 1.0, maxStrips));
    job.stripStep = rowSize ? perRow / job.strips : 0;
    const double band = bandPerRow / job.strips;
    if (band > 1e-9) {
        job.band = std::min(band, kMaxBand);
        job.halfBand = job.band / 2;
    } else {
        // No size: the pixel under the line itself.
        job.band = 1e-9;
        job.halfBand = 0;
    }
    job.inverseBand = 1 / job.band;

    const double work =
        double(dest.height) * job.strips *
        (std::min(double(job.alongSize), job.pixelWidth * dest.width + 2) + dest.width);
    const int cores = raster::photoThreads();
    const int threads = static_cast<int>(std::min<double>(
        {double(cores), double(dest.height), std::floor(work / kColumnsPerThread)}));
    if (threads <= 1) {
        turnedRows(job, 0, dest.height);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(std::size_t(threads - 1));
    auto rowAt = [&](int part) {
        return static_cast<int>(static_cast<long long>(dest.height) * part / threads);
    };
    for (int part = 1; part < threads; ++part) {
        helpers.emplace_back(turnedRows, std::cref(job), rowAt(part), rowAt(part + 1));
    }
    turnedRows(job, 0, rowAt(1));
    for (std::thread& t : helpers) t.join();
}

}  // namespace passport
