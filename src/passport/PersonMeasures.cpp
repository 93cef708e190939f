// The person's measures: mouth, eyes, pose and light read from the 68 landmarks and the
// pixels round them, each at a scale of its own so that it does not depend on the photo's
// resolution.
#include "passport/PersonCheck.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "passport/Channels.h"
#include "passport/PersonRules.h"
#include "passport/Resample.h"

namespace passport {

namespace {

using channels::blue;
using channels::green;
using channels::luma;
using channels::red;

Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
Point operator*(Point a, double k) {
    return {a.x * k, a.y * k};
}
double dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y;
}
double length(Point a) {
    return std::hypot(a.x, a.y);
}
Point mid(Point a, Point b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// The face's own axes: along the eye line (u, to the viewer's right) and across it (n,
// towards the chin), with the eye distance d and eye-chin distance T.
struct FaceFrame {
    Point leftEye, rightEye, eyes;
    Point u, n;
    double d = 0;
    double t = 0;
    double across(Point p) const { return dot(p - eyes, n); }  // below the eye line
    double along(Point p) const { return dot(p - eyes, u); }
};

std::optional<FaceFrame> frameOf(const FaceLandmarks& points) {
    for (const Point& p : points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::abs(p.x) > 1e9 ||
            std::abs(p.y) > 1e9)
            return std::nullopt;
    FaceFrame f;
    f.leftEye = meanOf(points, landmark::kLeftEyeFirst, landmark::kEyePoints);
    f.rightEye = meanOf(points, landmark::kRightEyeFirst, landmark::kEyePoints);
    f.eyes = mid(f.leftEye, f.rightEye);
    f.d = length(f.rightEye - f.leftEye);
    if (!(f.d >= kMinEyeDistancePixels)) return std::nullopt;
    f.u = (f.rightEye - f.leftEye) * (1 / f.d);
    f.n = {-f.u.y, f.u.x};
    f.t = length(points[landmark::kChin] - f.eyes);
    // The chin must lie below the eyes, as far as a face allows.
    const double chinBelow = f.across(points[landmark::kChin]);
    if (!(chinBelow >= kMinChinPerEyeDistance * f.d && f.t <= kMaxChinPerEyeDistance * f.d))
        return std::nullopt;
    return f;
}

// How much redder than green and blue a colour is.
double redness(double r, double g, double b) {
    return r / std::max(1.0, std::max(g, b));
}

// A region of the photo lined up with the face: centred on `centre`, `width` eye distances
// along the eye line and `height` across it, averaged down to `scale` pixels per eye
// distance. Nothing when any of it lies outside the photo: no verdict from made-up pixels.
struct Sample {
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
};

std::optional<Sample> sampleAt(const raster::ConstPixels& photo, const FaceFrame& f, Point centre,
                               double width, double height, double scale) {
    const double w = width * f.d, h = height * f.d;
    const Point corner = centre - f.u * (w / 2) - f.n * (h / 2);
    const Point corners[] = {corner, corner + f.u * w, corner + f.n * h,
                             corner + f.u * w + f.n * h};
    double x0 = photo.width, y0 = photo.height, x1 = 0, y1 = 0;
    for (const Point c : corners) {
        if (!(c.x >= 0 && c.y >= 0 && c.x <= photo.width && c.y <= photo.height))
            return std::nullopt;
        x0 = std::min(x0, c.x), y0 = std::min(y0, c.y);
        x1 = std::max(x1, c.x), y1 = std::max(y1, c.y);
    }
    Sample s;
    s.width = std::clamp(int(std::lround(width * scale)), 1, 512);
    s.height = std::clamp(int(std::lround(height * scale)), 1, 512);
    s.pixels.resize(std::size_t(s.width) * std::size_t(s.height));
    const double angle = std::atan2(f.u.y, f.u.x) * 180 / std::numbers::pi;
    const raster::Pixels dest{s.pixels.data(), s.width, s.height, s.width};
    // A face of thousands of pixels is read at every k-th pixel of every k-th row, still
    // kSourcePerSample or more of them across each sample pixel: the means and shares come
    // out the same, and a region costs the same at any resolution.
    const int k = std::max(1, int(std::min(f.d / (kSourcePerSample * scale), 1e6)));
    if (k == 1) {
        resampleTurned(photo, {corner.x, corner.y, w, h, angle}, dest, 0xff000000u);
        return s;
    }
    const int left = int(x0) / k * k, top = int(y0) / k * k;
    const int across = std::max(1, (std::min(int(std::ceil(x1)), photo.width) - left) / k);
    const int down = std::max(1, (std::min(int(std::ceil(y1)), photo.height) - top) / k);
    std::vector<std::uint32_t> few(std::size_t(across) * std::size_t(down));
    const int o = k / 2;
    for (int y = 0; y < down; ++y) {
        const int sy = std::min(photo.height - 1, top + y * k + o);
        const std::uint32_t* row = photo.pixels + std::ptrdiff_t(sy) * photo.stride;
        for (int x = 0; x < across; ++x)
            few[std::size_t(y) * across + x] = row[std::min(photo.width - 1, left + x * k + o)];
    }
    resampleTurned({few.data(), across, down, across},
                   {(corner.x - left) / k, (corner.y - top) / k, w / k, h / k, angle}, dest,
                   0xff000000u);
    return s;
}

double meanRedness(const Sample& s) {
    double r = 0, g = 0, b = 0;
    for (std::uint32_t p : s.pixels) r += red(p), g += green(p), b += blue(p);
    return redness(r / double(s.pixels.size()), g / double(s.pixels.size()),
                   b / double(s.pixels.size()));
}

double meanLuma(const Sample& s) {
    double sum = 0;
    for (std::uint32_t p : s.pixels) sum += luma(p);
    return sum / double(s.pixels.size());
}

std::optional<double> divided(double a, double b) {
    const double q = a / b;
    if (!std::isfinite(q)) return std::nullopt;
    return q;
}

double eyeOpening(const FaceLandmarks& p, int first) {
    const double open = (length(p[std::size_t(first + 1)] - p[std::size_t(first + 5)]) +
                         length(p[std::size_t(first + 2)] - p[std::size_t(first + 4)])) /
                        2;
    return open / length(p[std::size_t(first + 3)] - p[std::size_t(first)]);
}

// Inside the polygon `poly` (even-odd rule).
bool inside(const std::array<Point, 8>& poly, Point q) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point a = poly[i], b = poly[j];
        if ((a.y > q.y) != (b.y > q.y) && q.x < (b.x - a.x) * (q.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

// The share of the inner-lip outline's inside that shows teeth; 0 when it is too small to
// show any.
std::optional<double> teethShare(const raster::ConstPixels& photo, const FaceFrame& f,
                                 const FaceLandmarks& p, double cheekLuma) {
    std::array<Point, 8> poly;  // in eye distances along and across the eye line
    double s0 = 1e300, s1 = -1e300, t0 = 1e300, t1 = -1e300;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Point q = p[60 + i];
        poly[i] = {f.along(q) / f.d, f.across(q) / f.d};
        s0 = std::min(s0, poly[i].x), s1 = std::max(s1, poly[i].x);
        t0 = std::min(t0, poly[i].y), t1 = std::max(t1, poly[i].y);
    }
    const double scale = kPersonSampleEyeDistance;
    if ((s1 - s0) * (t1 - t0) * scale * scale < kMinTeethSamplePixels) return 0.0;
    const Point centre = f.eyes + f.u * ((s0 + s1) / 2 * f.d) + f.n * ((t0 + t1) / 2 * f.d);
    const auto s = sampleAt(photo, f, centre, s1 - s0, t1 - t0, scale);
    if (!s) return std::nullopt;
    int in = 0, teeth = 0;
    for (int y = 0; y < s->height; ++y) {
        for (int x = 0; x < s->width; ++x) {
            const Point q{s0 + (x + 0.5) * (s1 - s0) / s->width,
                          t0 + (y + 0.5) * (t1 - t0) / s->height};
            if (!inside(poly, q)) continue;
            ++in;
            const std::uint32_t c = s->pixels[std::size_t(y) * s->width + x];
            const double l = luma(c);
            const int chroma =
                std::max({red(c), green(c), blue(c)}) - std::min({red(c), green(c), blue(c)});
            if (l >= kTeethLumaPerCheek * cheekLuma && chroma <= kTeethMaxChroma * l) ++teeth;
        }
    }
    if (in < kMinTeethSamplePixels) return 0.0;
    return double(teeth) / in;
}

// The share of an eye region that is burnt out.
double glareShare(const Sample& s) {
    int burnt = 0;
    for (std::uint32_t c : s.pixels)
        if (luma(c) >= kGlareLuma) ++burnt;
    return double(burnt) / double(s.pixels.size());
}

// The share of the pupil's square that is flash red: far redder than green and blue, and
// far redder than the skin (a warm photo makes skin and brown eyes red too).
std::optional<double> redShare(const raster::ConstPixels& photo, const FaceFrame& f, Point eye,
                               double skinRedness) {
    const auto s = sampleAt(photo, f, eye, kPupilSide, kPupilSide, kPupilSampleEyeDistance);
    if (!s) return std::nullopt;
    const double least = std::max(kRedOverOthers, kRedOverSkin * skinRedness);
    int reds = 0;
    for (std::uint32_t c : s->pixels)
        if (red(c) >= kMinRedLevel && redness(red(c), green(c), blue(c)) > least) ++reds;
    return double(reds) / double(s->pixels.size());
}

}  // namespace

PersonMeasures measurePerson(const PersonInput& input) {
    PersonMeasures m;
    if (!input.landmarks) {
        m.whyNot = "no face marks: placed by hand";
        return m;
    }
    if (!input.photo.pixels || input.photo.width < 1 || input.photo.height < 1) {
        m.whyNot = "no photo pixels";
        return m;
    }
    const FaceLandmarks& p = *input.landmarks;
    const auto frame = frameOf(p);
    if (!frame) {
        m.whyNot = "face marks not usable";
        return m;
    }
    const FaceFrame& f = *frame;
    const raster::ConstPixels& photo = input.photo;
    const auto inPhoto = [&](Point q) {
        return q.x >= 0 && q.y >= 0 && q.x <= photo.width && q.y <= photo.height;
    };
    if (!inPhoto(f.leftEye) || !inPhoto(f.rightEye) || !inPhoto(p[landmark::kChin])) {
        m.whyNot = "the face lies outside the photo";
        return m;
    }

    m.mouthGap = divided((f.across(p[66]) - f.across(p[62]) + f.across(p[67]) - f.across(p[61]) +
                          f.across(p[65]) - f.across(p[63])) /
                             3,
                         f.t);
    const double lipsMiddle = (f.across(p[62]) + f.across(p[66])) / 2;
    m.cornerLift = divided(lipsMiddle - (f.across(p[48]) + f.across(p[54])) / 2, f.t);
    m.mouthWidthShare = divided(length(p[54] - p[48]), length(p[16] - p[0]));
    m.leftEyeOpening = divided(eyeOpening(p, landmark::kLeftEyeFirst), 1);
    m.rightEyeOpening = divided(eyeOpening(p, landmark::kRightEyeFirst), 1);
    m.pose = estimateHeadPose(p);

    // Cheeks: half the eye-mouth distance below each eye.
    const double eyeMouth = f.across(mid(p[48], p[54]));
    std::optional<double> cheekLuma, skinRedness;
    if (eyeMouth > 0) {
        const auto left = sampleAt(photo, f, f.leftEye + f.n * (eyeMouth / 2), kCheekSide,
                                   kCheekSide, kPersonSampleEyeDistance);
        const auto right = sampleAt(photo, f, f.rightEye + f.n * (eyeMouth / 2), kCheekSide,
                                    kCheekSide, kPersonSampleEyeDistance);
        if (left && right) {
            m.leftCheekLuma = meanLuma(*left);
            m.rightCheekLuma = meanLuma(*right);
            m.cheekBurnt = std::max(glareShare(*left), glareShare(*right));
            m.cheekBalance = std::min(*m.leftCheekLuma, *m.rightCheekLuma) /
                             std::max({*m.leftCheekLuma, *m.rightCheekLuma, 1.0});
            cheekLuma = (*m.leftCheekLuma + *m.rightCheekLuma) / 2;
            skinRedness = std::max(meanRedness(*left), meanRedness(*right));
        }
    }
    if (m.mouthGap && *m.mouthGap < kMinTeethGap)
        m.teethShare = 0.0;
    else if (cheekLuma)
        m.teethShare = teethShare(photo, f, p, *cheekLuma);

    // Eye regions: how bright against the cheeks (dark lenses, hair) and how much burnt out
    // (glare on glasses).
    const auto leftEye =
        sampleAt(photo, f, f.leftEye, kEyeRegionWidth, kEyeRegionHeight, kPersonSampleEyeDistance);
    const auto rightEye =
        sampleAt(photo, f, f.rightEye, kEyeRegionWidth, kEyeRegionHeight, kPersonSampleEyeDistance);
    if (leftEye && rightEye) {
        m.leftGlare = glareShare(*leftEye);
        m.rightGlare = glareShare(*rightEye);
        if (cheekLuma && *cheekLuma >= kMinCheekLuma) {
            m.leftEyeBrightness = meanLuma(*leftEye) / *cheekLuma;
            m.rightEyeBrightness = meanLuma(*rightEye) / *cheekLuma;
        }
    }
    if (skinRedness) {
        m.leftRed = redShare(photo, f, f.leftEye, *skinRedness);
        m.rightRed = redShare(photo, f, f.rightEye, *skinRedness);
    }
    return m;
}

}  // namespace passport
