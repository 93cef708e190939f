#include "passport/PhotoQuality.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "passport/Channels.h"
#include "passport/Resample.h"

namespace passport {

namespace {

using channels::blue;
using channels::green;
using channels::luma;
using channels::red;

struct Lab {
    double l = 0, a = 0, b = 0;
};

// sRGB levels to linear light, once.
const std::array<double, 256>& linearLevels() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            t[std::size_t(i)] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

double labF(double t) {
    constexpr double d = 6.0 / 29;
    return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29;
}

// sRGB (D65) to CIELAB.
Lab toLab(std::uint32_t p) {
    const auto& lin = linearLevels();
    const double r = lin[std::size_t(red(p))], g = lin[std::size_t(green(p))],
                 b = lin[std::size_t(blue(p))];
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const double fx = labF(x), fy = labF(y), fz = labF(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// The middle of the eyes and the eye distance, or their estimates from crown and chin.
struct EyeFrame {
    Point centre;
    double distance = 0;
    bool fromEyes = false;
};

EyeFrame eyeFrame(const HeadMarks& marks) {
    EyeFrame frame;
    if (marks.leftEye && marks.rightEye) {
        const Point l = *marks.leftEye, r = *marks.rightEye;
        frame.centre = {(l.x + r.x) / 2, (l.y + r.y) / 2};
        frame.distance = std::hypot(r.x - l.x, r.y - l.y);
        frame.fromEyes = true;
    } else {
        frame.centre = {faceMidlineX(marks), eyeLineY(marks)};
        frame.distance = kEyeDistancePerHead * headHeightPixels(marks);
    }
    return frame;
}

// The part of [from, to) that overlaps [0, length).
double overlap(double from, double to, double length) {
    return std::max(0.0, std::min(to, length) - std::max(from, 0.0));
}

bool finiteArea(const Area& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && a.width > 0 && a.height > 0 &&
           std::isfinite(a.width * a.height);
}

// The loaded photo's pixels as millimetres of the print through `crop`.
Point toMm(const Crop& crop, Point p) {
    const Point c = toCropFrame(crop, p);
    return {c.x / crop.pixelsPerMm(), c.y / crop.pixelsPerMm()};
}

}  // namespace

PhotoPixels PhotoPixels::ofPrint(const PrintPhoto& print, const Crop& crop, int photoWidth,
                                 int photoHeight) {
    return {print.view(),
            0,
            0,
            print.width / kPhotoWidthMm,
            print.height / kPhotoHeightMm,
            0,
            crop,
            photoWidth,
            photoHeight};
}

PhotoPixels PhotoPixels::through(const raster::ConstPixels& photo, const Crop& crop) {
    return {
        photo, crop.x,      crop.y,      crop.pixelsPerMm(), crop.pixelsPerMm(), crop.angleDegrees,
        crop,  photo.width, photo.height};
}

Point PhotoPixels::at(double xMm, double yMm) const {
    if (angleDegrees == 0) return {x + xMm * perMmX, y + yMm * perMmY};
    const double a = angleDegrees * std::numbers::pi / 180;
    const double u = xMm * perMmX, v = yMm * perMmY;
    return {x + std::cos(a) * u - std::sin(a) * v, y + std::sin(a) * u + std::cos(a) * v};
}

TurnedArea PhotoPixels::area(double xMm, double yMm, double widthMm, double heightMm) const {
    const Point corner = at(xMm, yMm);
    return {corner.x, corner.y, widthMm * perMmX, heightMm * perMmY, angleDegrees};
}

bool PhotoPixels::covers(double xMm, double yMm, double widthMm, double heightMm) const {
    const double perMm = source.pixelsPerMm();
    for (const Point mm : {Point{xMm, yMm}, Point{xMm + widthMm, yMm}, Point{xMm, yMm + heightMm},
                           Point{xMm + widthMm, yMm + heightMm}}) {
        const Point p = fromCropFrame(source, {mm.x * perMm, mm.y * perMm});
        // NaN fails every comparison: not covered.
        if (!(p.x >= 0 && p.y >= 0 && p.x <= sourceWidth && p.y <= sourceHeight)) return false;
    }
    return true;
}

FaceSample sampleFace(const PhotoPixels& pixels, const Crop& crop, const HeadMarks& marks) {
    FaceSample sample;
    const EyeFrame eyes = eyeFrame(marks);
    sample.fromEyes = eyes.fromEyes;
    if (!(crop.width > 0) || !pixels.image.pixels) return sample;
    // The region in millimetres of the print.
    const double d = eyes.distance / crop.pixelsPerMm();
    const Point c = toMm(crop, eyes.centre);
    const Area mm{c.x - kFaceHalfWidthEyes * d, c.y - kFaceAboveEyes * d,
                  2 * kFaceHalfWidthEyes * d, (kFaceAboveEyes + kFaceBelowEyes) * d};
    if (!finiteArea(mm)) return sample;
    sample.insideShare = overlap(mm.x, mm.x + mm.width, kPhotoWidthMm) *
                         overlap(mm.y, mm.y + mm.height, kPhotoHeightMm) / (mm.width * mm.height);
    if (sample.insideShare < kMinFaceInside) return sample;
    sample.width = int(std::lround(2 * kFaceHalfWidthEyes * kSharpnessEyeDistance));
    sample.height = int(std::lround((kFaceAboveEyes + kFaceBelowEyes) * kSharpnessEyeDistance));
    sample.pixels.resize(std::size_t(sample.width) * sample.height);
    resampleTurned(pixels.image, pixels.area(mm.x, mm.y, mm.width, mm.height),
                   {sample.pixels.data(), sample.width, sample.height, sample.width}, kFillColour);
    return sample;
}

double laplacianVariance(const raster::ConstPixels& pixels) {
    if (pixels.width < 3 || pixels.height < 3) return 0;
    std::vector<double> y(std::size_t(pixels.width) * pixels.height);
    for (int row = 0; row < pixels.height; ++row) {
        const std::uint32_t* in = pixels.pixels + std::ptrdiff_t(row) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x) y[std::size_t(row) * pixels.width + x] = luma(in[x]);
    }
    double sum = 0, squares = 0;
    const std::size_t w = std::size_t(pixels.width);
    for (std::size_t row = 1; row + 1 < std::size_t(pixels.height); ++row) {
        for (std::size_t x = 1; x + 1 < w; ++x) {
            const std::size_t i = row * w + x;
            const double l = y[i - 1] + y[i + 1] + y[i - w] + y[i + w] - 4 * y[i];
            sum += l;
            squares += l * l;
        }
    }
    const double n = double(pixels.width - 2) * (pixels.height - 2);
    const double mean = sum / n;
    return squares / n - mean * mean;
}

double meanChroma(const raster::ConstPixels& pixels) {
    double sum = 0;
    long n = 0;
    for (int row = 0; row < pixels.height; ++row) {
        const std::uint32_t* in = pixels.pixels + std::ptrdiff_t(row) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, ++n) {
            const Lab c = toLab(in[x]);
            sum += std::hypot(c.a, c.b);
        }
    }
    return n ? sum / double(n) : 0;
}

Clipping clippingOf(const raster::ConstPixels& pixels) {
    long burnt = 0, black = 0, n = 0;
    for (int row = 0; row < pixels.height; ++row) {
        const std::uint32_t* in = pixels.pixels + std::ptrdiff_t(row) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, ++n) {
            const double y = luma(in[x]);
            burnt += y >= kBurntOutLuma;
            black += y <= kBlackLuma;
        }
    }
    if (n == 0) return {};
    return {double(burnt) / double(n), double(black) / double(n)};
}

namespace {

// A strip of the print in millimetres, and the zone its shadow is judged in.
struct Strip {
    double x = 0, y = 0, width = 0, height = 0;
    int zone = 0;
};
constexpr int kZoneCount = 4;

// Above the head (left and right of its midline), and beside it down to the eye line.
std::array<Strip, 4> stripsOf(const Crop& crop, const HeadMarks& photoMarks, double crownGapMm) {
    // In the crop's own frame: the crop's corner at the origin, its edges along the axes.
    const HeadMarks marks = marksInCropFrame(photoMarks, crop);
    const double perMm = crop.pixelsPerMm();
    double jaw = kJawPerHead * headHeightPixels(marks);
    if (marks.leftJaw && marks.rightJaw)
        jaw =
            std::hypot(marks.rightJaw->x - marks.leftJaw->x, marks.rightJaw->y - marks.leftJaw->y);
    const double half = kHeadPerJawHalf * jaw / 2 / perMm;
    const double midline = std::clamp(faceMidlineX(marks) / perMm, 0.0, kPhotoWidthMm);
    const auto clampX = [](double mm) { return std::clamp(mm, 0.0, kPhotoWidthMm); };
    const auto clampY = [](double mm) { return std::clamp(mm, 0.0, kPhotoHeightMm); };
    const double topEnd = clampY(std::min(marks.crown.y, marks.chin.y) / perMm - crownGapMm);
    const double sideEnd = std::max(topEnd, clampY(eyeLineY(marks) / perMm));
    const double leftEnd = clampX(std::min(kSideStripMm, midline - half - kStripGapMm));
    const double rightFrom = std::max(
        leftEnd, clampX(std::max(kPhotoWidthMm - kSideStripMm, midline + half + kStripGapMm)));
    return {Strip{0, 0, midline, topEnd, 0}, Strip{midline, 0, kPhotoWidthMm - midline, topEnd, 1},
            Strip{0, topEnd, leftEnd, sideEnd - topEnd, 2},
            Strip{rightFrom, topEnd, kPhotoWidthMm - rightFrom, sideEnd - topEnd, 3}};
}

struct Samples {
    std::vector<Lab> colours;
    std::array<double, kZoneCount> lightness{};
    std::array<long, kZoneCount> count{};
    long filled = 0;
};

// The strip averaged down to pixels of kBackgroundPixelMm, in CIELAB. Only pixels wholly on
// the photo's own pixels count: the white filled in beyond its edges is no background.
void addStrip(const PhotoPixels& pixels, const Strip& strip, Samples& samples) {
    // NaN compares false: a strip of no finite size adds nothing.
    if (!(strip.width >= kBackgroundPixelMm) || !(strip.height >= kBackgroundPixelMm)) return;
    const int width = int(std::lround(strip.width / kBackgroundPixelMm));
    const int height = int(std::lround(strip.height / kBackgroundPixelMm));
    std::vector<std::uint32_t> small(std::size_t(width) * height);
    resampleTurned(pixels.image, pixels.area(strip.x, strip.y, strip.width, strip.height),
                   {small.data(), width, height, width}, kFillColour);
    const double w = strip.width / width, h = strip.height / height;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            if (!pixels.covers(strip.x + column * w, strip.y + row * h, w, h)) {
                ++samples.filled;
                continue;
            }
            const Lab c = toLab(small[std::size_t(row) * width + column]);
            samples.colours.push_back(c);
            samples.lightness[std::size_t(strip.zone)] += c.l;
            ++samples.count[std::size_t(strip.zone)];
        }
    }
}

}  // namespace

Background measureBackground(const PhotoPixels& pixels, const Crop& crop, const HeadMarks& marks,
                             double crownGapMm) {
    Background result;
    if (!pixels.image.pixels || !(crop.width > 0)) return result;
    Samples samples;
    for (const Strip& strip : stripsOf(crop, marks, crownGapMm)) addStrip(pixels, strip, samples);
    const double pixelMm2 = kBackgroundPixelMm * kBackgroundPixelMm;
    result.areaMm2 = double(samples.colours.size()) * pixelMm2;
    result.filledAreaMm2 = double(samples.filled) * pixelMm2;
    if (samples.colours.empty()) return result;
    Lab mean;
    for (const Lab& c : samples.colours) mean.l += c.l, mean.a += c.a, mean.b += c.b;
    const double n = double(samples.colours.size());
    mean = {mean.l / n, mean.a / n, mean.b / n};
    double squares = 0;
    for (const Lab& c : samples.colours) {
        squares += (c.l - mean.l) * (c.l - mean.l) + (c.a - mean.a) * (c.a - mean.a) +
                   (c.b - mean.b) * (c.b - mean.b);
    }
    result.lightness = mean.l;
    result.spread = std::sqrt(squares / n);
    result.chroma = std::hypot(mean.a, mean.b);
    const double hue = std::atan2(mean.b, mean.a) * 180 / std::numbers::pi;
    result.hueDegrees = hue < 0 ? hue + 360 : hue;
    double lightest = 0, darkest = 100;
    for (int z = 0; z < kZoneCount; ++z) {
        const long count = samples.count[std::size_t(z)];
        if (double(count) * pixelMm2 < kMinShadowZoneMm2) continue;
        const double l = samples.lightness[std::size_t(z)] / double(count);
        lightest = std::max(lightest, l);
        darkest = std::min(darkest, l);
        ++result.zones;
    }
    result.shadowDepth = result.zones >= 2 ? lightest - darkest : 0;
    return result;
}

BackgroundColour colourOf(const Background& background) {
    if (background.chroma <= kMaxGreyChroma) return BackgroundColour::GreyOrWhite;
    if (background.hueDegrees >= kLightBlueHueFrom && background.hueDegrees <= kLightBlueHueTo &&
        background.chroma <= kMaxLightBlueChroma) {
        return BackgroundColour::LightBlue;
    }
    return BackgroundColour::Other;
}

}  // namespace passport
