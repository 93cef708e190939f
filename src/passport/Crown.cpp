#include "passport/Crown.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace passport {

namespace {

// The path: this many rows from the start to the end of the search, each of this many
// samples across the band round the midline.
constexpr int kRows = 150;
constexpr int kSamplesAcross = 16;
// The band reaches this share of the face width (jaw side to jaw side) each side of the
// midline: the crown's round top drops less than 1 % of the head's height within it.
constexpr double kHalfBand = 0.2;
// The background is the top tenth of a brow-to-chin distance of the path.
constexpr double kBackgroundLength = 0.10;
// A background whose colours spread more than this (RMS, in 0-255 levels) is too busy to
// tell the head from; a head must differ from it by at least kMinContrast levels, and by
// kSpreadFactor times the background's own spread.
constexpr double kMaxBackgroundSpread = 24;
constexpr double kMinContrast = 28;
constexpr double kSpreadFactor = 3;
// A row belongs to the head when at least this share of its samples does; the crown is the
// first such row, coming down, that is followed by kConfirmRows more.
constexpr double kHeadShare = 0.5;
constexpr int kConfirmRows = 3;

struct Colour {
    double r = 0, g = 0, b = 0;
};

double distance(const Colour& a, const Colour& b) {
    return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) +
                     (a.b - b.b) * (a.b - b.b));
}

// The face's own frame: origin at the middle of the brows, `up` from the chin through it.
struct FaceAxis {
    Point origin;
    Point up;           // unit length
    Point across;       // unit length, to the viewer's right when the face is upright
    double length = 0;  // brow to chin
    double halfBand = 0;
};

FaceAxis faceAxis(const FaceLandmarks& points) {
    FaceAxis axis;
    axis.origin =
        meanOf(points, landmark::kBrowsFirst, landmark::kBrowsLast - landmark::kBrowsFirst + 1);
    const Point chin = points[landmark::kChin];
    const double dx = axis.origin.x - chin.x;
    const double dy = axis.origin.y - chin.y;
    axis.length = std::hypot(dx, dy);
    axis.up = axis.length > 0 ? Point{dx / axis.length, dy / axis.length} : Point{0, -1};
    axis.across = {-axis.up.y, axis.up.x};
    const Point l = points[landmark::kLeftJaw];
    const Point r = points[landmark::kRightJaw];
    axis.halfBand = kHalfBand * std::hypot(r.x - l.x, r.y - l.y);
    return axis;
}

Point along(const FaceAxis& axis, double t, double s) {
    return {axis.origin.x + t * axis.up.x + s * axis.across.x,
            axis.origin.y + t * axis.up.y + s * axis.across.y};
}

// The mean colour of a box of `box` x `box` pixels centred on `at`; false when it lies
// outside the photo.
bool sample(const raster::ConstPixels& photo, Point at, int box, Colour& colour) {
    const long x0 = std::lround(at.x - box / 2.0);
    const long y0 = std::lround(at.y - box / 2.0);
    if (x0 < 0 || y0 < 0 || x0 + box > photo.width || y0 + box > photo.height) return false;
    Colour sum;
    for (long y = y0; y < y0 + box; ++y) {
        const std::uint32_t* row = photo.pixels + y * static_cast<long>(photo.stride);
        for (long x = x0; x < x0 + box; ++x) {
            sum.r += (row[x] >> 16) & 0xff;
            sum.g += (row[x] >> 8) & 0xff;
            sum.b += row[x] & 0xff;
        }
    }
    const double n = double(box) * box;
    colour = {sum.r / n, sum.g / n, sum.b / n};
    return true;
}

// The samples of the path, row by row from the bottom; it ends where its middle leaves the
// photo.
std::vector<std::vector<Colour>> pathSamples(const raster::ConstPixels& photo, const FaceAxis& axis,
                                             double step) {
    const int box = std::max(1, static_cast<int>(std::lround(step)));
    std::vector<std::vector<Colour>> rows;
    for (int i = 0; i < kRows; ++i) {
        const double t = (kCrownSearchStart * axis.length) + i * step;
        Colour middle;
        if (!sample(photo, along(axis, t, 0), box, middle)) break;
        std::vector<Colour> row;
        for (int k = 0; k < kSamplesAcross; ++k) {
            const double s = axis.halfBand * (2.0 * k / (kSamplesAcross - 1) - 1);
            Colour c;
            if (sample(photo, along(axis, t, s), box, c)) row.push_back(c);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

double headShare(const std::vector<Colour>& row, const Colour& background, double contrast) {
    if (row.empty()) return 0;
    const auto head = std::count_if(row.begin(), row.end(), [&](const Colour& c) {
        return distance(c, background) > contrast;
    });
    return double(head) / double(row.size());
}

// The row where the path, coming down from the background, enters the head; -1 if none.
int crownRow(const std::vector<std::vector<Colour>>& rows, int backgroundRows) {
    const int count = static_cast<int>(rows.size());
    Colour mean;
    int n = 0;
    for (int i = count - backgroundRows; i < count; ++i) {
        for (const Colour& c : rows[std::size_t(i)]) {
            mean.r += c.r, mean.g += c.g, mean.b += c.b, ++n;
        }
    }
    if (n == 0) return -1;
    mean = {mean.r / n, mean.g / n, mean.b / n};
    double spread = 0;
    for (int i = count - backgroundRows; i < count; ++i) {
        for (const Colour& c : rows[std::size_t(i)])
            spread += distance(c, mean) * distance(c, mean);
    }
    spread = std::sqrt(spread / n);
    if (spread > kMaxBackgroundSpread) return -1;
    const double contrast = std::max(kMinContrast, kSpreadFactor * spread);
    for (int i = count - backgroundRows - 1; i >= kConfirmRows; --i) {
        bool head = true;
        for (int k = 0; k <= kConfirmRows && head; ++k) {
            head = headShare(rows[std::size_t(i - k)], mean, contrast) >= kHeadShare;
        }
        if (head) return i;
    }
    return -1;
}

}  // namespace

Point crownFromProportions(const FaceLandmarks& points) {
    const FaceAxis axis = faceAxis(points);
    return along(axis, kCrownFromProportions * axis.length, 0);
}

CrownFinding findCrown(const raster::ConstPixels& photo, const FaceLandmarks& points) {
    const FaceAxis axis = faceAxis(points);
    const CrownFinding estimate{crownFromProportions(points), CrownSource::Proportions};
    if (!photo.pixels || !(axis.length >= 4)) return estimate;
    const double step = (kCrownSearchEnd - kCrownSearchStart) * axis.length / kRows;
    const auto rows = pathSamples(photo, axis, step);
    const int backgroundRows = static_cast<int>(std::ceil(kBackgroundLength * axis.length / step));
    if (static_cast<int>(rows.size()) < backgroundRows + kConfirmRows + 1) return estimate;
    const int row = crownRow(rows, backgroundRows);
    if (row < 0) return estimate;
    // The crown is the top edge of the first head row.
    const double t = kCrownSearchStart * axis.length + (row + 0.5) * step;
    if (t < kCrownNearest * axis.length || t > kCrownFurthest * axis.length) return estimate;
    return {along(axis, t, 0), CrownSource::Image};
}

}  // namespace passport
