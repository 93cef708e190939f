#include "passport/Framing.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

namespace passport {

namespace {

// No loaded photo is more than 100 million pixels long, so coordinates beyond this are
// nonsense; keeping them here keeps every product below finite.
constexpr double kCoordinateLimit = 1e9;
constexpr double kRadiansPerDegree = std::numbers::pi / 180;

double sane(double value) {
    if (!std::isfinite(value)) return 0;
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

Point sane(Point p) {
    return {sane(p.x), sane(p.y)};
}

double saneWidth(double width) {
    if (!std::isfinite(width)) return kMinCropWidth;
    return std::clamp(width, kMinCropWidth, kMaxCropWidth);
}

bool bothKnown(const std::optional<Point>& a, const std::optional<Point>& b) {
    return a.has_value() && b.has_value();
}

Point middle(Point a, Point b) {
    a = sane(a);
    b = sane(b);
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// Turns are kept within a full turn either way; a turn that is not a number is none.
double saneAngle(double degrees) {
    return std::isfinite(degrees) ? std::fmod(degrees, 360.0) : 0.0;
}

// `p` turned by `degrees` about `pivot` (clockwise as seen for a positive angle).
Point turned(Point p, Point pivot, double degrees) {
    if (degrees == 0) return p;
    const double a = degrees * kRadiansPerDegree;
    const double c = std::cos(a), s = std::sin(a);
    const double dx = p.x - pivot.x, dy = p.y - pivot.y;
    return {pivot.x + c * dx - s * dy, pivot.y + s * dx + c * dy};
}

std::optional<Point> turned(const std::optional<Point>& p, Point pivot, double degrees) {
    if (!p) return std::nullopt;
    return turned(sane(*p), pivot, degrees);
}

HeadMarks turnedMarks(const HeadMarks& marks, Point pivot, double degrees) {
    HeadMarks t = marks;
    t.crown = turned(sane(marks.crown), pivot, degrees);
    t.chin = turned(sane(marks.chin), pivot, degrees);
    t.leftEye = turned(marks.leftEye, pivot, degrees);
    t.rightEye = turned(marks.rightEye, pivot, degrees);
    t.leftJaw = turned(marks.leftJaw, pivot, degrees);
    t.rightJaw = turned(marks.rightJaw, pivot, degrees);
    return t;
}

std::string fixed1(double value) {
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, std::abs(value), std::chars_format::fixed, 1).ptr;
    return std::string(text, end);
}

// The eye line's height below the crop's top edge, in millimetres, that keeps the crown
// kCrownRoomMinMm-kCrownRoomMaxMm below that edge, as near 60 % as that allows.
double eyeLineFromTopMm(double crownToEyesMm) {
    double mm = std::clamp(kTargetEyeLineFromTopMm, crownToEyesMm + kCrownRoomMinMm,
                           crownToEyesMm + kCrownRoomMaxMm);
    const double bandTop = kPhotoHeightMm * (1 - kEyeLineMaxFraction) + kEyeBandMarginMm;
    const double bandBottom = kPhotoHeightMm * (1 - kEyeLineMinFraction) - kEyeBandMarginMm;
    if (!std::isfinite(mm)) return kTargetEyeLineFromTopMm;
    return std::clamp(mm, bandTop, bandBottom);
}

// The unturned crop for marks whose eyes are level (or unknown).
Crop frameUpright(const HeadMarks& marks, AgeGroup group) {
    const double head = std::max(headHeightPixels(marks), kMinCropWidth);
    Crop crop;
    crop.width = saneWidth(head * kPhotoWidthMm / framedHeadMm(marks, group));
    const double perMm = crop.pixelsPerMm();
    const Point crown = sane(marks.crown);
    const Point chin = sane(marks.chin);
    const double top = std::min(crown.y, chin.y);
    const double bottom = std::max(crown.y, chin.y);
    const double eyes = eyeLineY(marks);
    crop.x = faceMidlineX(marks) - crop.width / 2;
    crop.y = eyes - eyeLineFromTopMm((eyes - top) / perMm) * perMm;
    // Keep the whole head inside with a margin: first the chin, then the crown, which wins
    // when both cannot be had (a head taller than the photo allows).
    const double margin = kMinHeadMarginMm * perMm;
    crop.y = std::max(crop.y, bottom + margin - crop.height());
    crop.y = std::min(crop.y, top - margin);
    return crop;
}

}  // namespace

double targetHeadMm(AgeGroup group) {
    return group == AgeGroup::From11 ? kTargetHeadMmFrom11 : kTargetHeadMmUpTo10;
}

double framedHeadMm(const HeadMarks& marks, AgeGroup group) {
    const double target = targetHeadMm(group);
    const double headLow = headMinMm(group) + kBandMarginMm;
    const double headHigh = headMaxMm(group) - kBandMarginMm;
    const double head = headHeightPixels(marks);
    if (!bothKnown(marks.leftJaw, marks.rightJaw) || !(head > 0)) return target;
    const Point l = sane(*marks.leftJaw), r = sane(*marks.rightJaw);
    // The face's width for each millimetre of head height; it scales with the head.
    const double ratio = std::hypot(r.x - l.x, r.y - l.y) / head;
    if (!(ratio > 0) || !std::isfinite(ratio)) return target;
    const double faceLow = (kFaceWidthMinMm + kBandMarginMm) / ratio;
    const double faceHigh = (kFaceWidthMaxMm - kBandMarginMm) / ratio;
    const double low = std::max(headLow, faceLow);
    const double high = std::min(headHigh, faceHigh);
    if (low <= high) return std::clamp(target, low, high);
    // No height suits both: the head stays in its band, at the end nearer the face's.
    return faceLow > headHigh ? headHigh : headLow;
}

double faceMidlineX(const HeadMarks& marks) {
    if (bothKnown(marks.leftJaw, marks.rightJaw)) return middle(*marks.leftJaw, *marks.rightJaw).x;
    if (bothKnown(marks.leftEye, marks.rightEye)) return middle(*marks.leftEye, *marks.rightEye).x;
    return middle(marks.crown, marks.chin).x;
}

double eyeLineY(const HeadMarks& marks) {
    if (bothKnown(marks.leftEye, marks.rightEye)) return middle(*marks.leftEye, *marks.rightEye).y;
    const Point crown = sane(marks.crown);
    const Point chin = sane(marks.chin);
    return crown.y + kEyeLineFromCrown * (chin.y - crown.y);
}

double headHeightPixels(const HeadMarks& marks) {
    const Point crown = sane(marks.crown);
    const Point chin = sane(marks.chin);
    return std::hypot(chin.x - crown.x, chin.y - crown.y);
}

std::optional<double> eyeTiltDegrees(const HeadMarks& marks) {
    if (!bothKnown(marks.leftEye, marks.rightEye)) return std::nullopt;
    const Point l = sane(*marks.leftEye), r = sane(*marks.rightEye);
    if (l == r) return std::nullopt;
    return std::atan2(r.y - l.y, r.x - l.x) / kRadiansPerDegree;
}

Crop frameHead(const HeadMarks& marks, AgeGroup group, Levelling levelling) {
    const std::optional<double> tilt = eyeTiltDegrees(marks);
    if (levelling == Levelling::Off || !tilt || std::abs(*tilt) > kMaxLevellingDegrees ||
        *tilt == 0) {
        return frameUpright(marks, group);
    }
    // Framed upright in a frame turned about the middle of the eyes, then turned back: the
    // crop's corner goes round the same middle, and the crop takes the eyes' angle.
    const Point pivot = middle(*marks.leftEye, *marks.rightEye);
    Crop crop = frameUpright(turnedMarks(marks, pivot, -*tilt), group);
    const Point corner = turned(Point{crop.x, crop.y}, pivot, *tilt);
    crop.x = sane(corner.x);
    crop.y = sane(corner.y);
    crop.angleDegrees = *tilt;
    return crop;
}

std::string levellingNote(const HeadMarks& marks, const Crop& crop, Levelling levelling) {
    if (crop.angleDegrees != 0 && std::isfinite(crop.angleDegrees))
        return "levelled: " + fixed1(crop.angleDegrees) + " degrees";
    const std::optional<double> tilt = eyeTiltDegrees(marks);
    if (levelling == Levelling::On && tilt && std::abs(*tilt) > kMaxLevellingDegrees) {
        return "not levelled: the head is tilted " + fixed1(*tilt) + " degrees, more than " +
               std::to_string(int(kMaxLevellingDegrees));
    }
    return "";
}

HeadMarks marksInCropFrame(const HeadMarks& marks, const Crop& crop) {
    const Point corner = sane(Point{crop.x, crop.y});
    HeadMarks t = turnedMarks(marks, corner, -saneAngle(crop.angleDegrees));
    auto shift = [&](Point& p) { p = {p.x - corner.x, p.y - corner.y}; };
    shift(t.crown);
    shift(t.chin);
    for (auto* p : {&t.leftEye, &t.rightEye, &t.leftJaw, &t.rightJaw})
        if (*p) shift(**p);
    return t;
}

Point toCropFrame(const Crop& crop, Point photoPoint) {
    const Point corner = sane(Point{crop.x, crop.y});
    const Point p = turned(sane(photoPoint), corner, -saneAngle(crop.angleDegrees));
    return {p.x - corner.x, p.y - corner.y};
}

Point fromCropFrame(const Crop& crop, Point cropPoint) {
    const Point corner = sane(Point{crop.x, crop.y});
    const Point p = sane(cropPoint);
    return turned({corner.x + p.x, corner.y + p.y}, corner, saneAngle(crop.angleDegrees));
}

Crop centredCrop(int photoWidth, int photoHeight) {
    const double width = std::max(photoWidth, 1);
    const double height = std::max(photoHeight, 1);
    Crop crop;
    crop.width = std::min(width, height * kPhotoWidthMm / kPhotoHeightMm);
    crop.x = (width - crop.width) / 2;
    crop.y = (height - crop.height()) / 2;
    return crop;
}

Measures measure(const HeadMarks& marksInPhoto, const Crop& crop) {
    // Everything is measured in the crop's own frame, so a turned crop sees its own level.
    const HeadMarks marks = marksInCropFrame(marksInPhoto, crop);
    Measures m;
    const double perMm = std::max(saneWidth(crop.width) / kPhotoWidthMm, 1e-300);
    const double width = perMm * kPhotoWidthMm;
    const double height = perMm * kPhotoHeightMm;
    m.headHeightMm = headHeightPixels(marks) / perMm;
    if (bothKnown(marks.leftJaw, marks.rightJaw)) {
        const Point l = *marks.leftJaw, r = *marks.rightJaw;
        m.faceWidthMm = std::hypot(r.x - l.x, r.y - l.y) / perMm;
    }
    m.centreOffsetMm = (faceMidlineX(marks) - width / 2) / perMm;
    if (bothKnown(marks.leftEye, marks.rightEye)) {
        const Point l = *marks.leftEye, r = *marks.rightEye;
        m.tiltDegrees = std::atan2(r.y - l.y, r.x - l.x) / kRadiansPerDegree;
        m.eyeLineFraction = (height - eyeLineY(marks)) / height;
    }
    m.spaceAboveHeadMm = std::min(marks.crown.y, marks.chin.y) / perMm;
    m.sourceDpi = sourceDpi(crop);
    return m;
}

double sourceDpi(const Crop& crop) {
    return crop.width / kPhotoWidthMm * kMmPerInch;
}

bool belowMinimumDpi(const Crop& crop) {
    return !(crop.width >= kMinimumSourceWidth);
}

Overhang overhangOf(const Crop& crop, int photoWidth, int photoHeight) {
    constexpr double kSlack = 1e-3;
    Overhang o;
    const double w = crop.width;
    const double h = crop.height();
    const double a = std::isfinite(crop.angleDegrees) ? crop.angleDegrees * kRadiansPerDegree : 0;
    const double c = std::cos(a), s = std::sin(a);
    // The corners decide: the crop is a rectangle, turned or not. NaN counts as outside.
    for (const Point corner : {Point{0, 0}, Point{w, 0}, Point{0, h}, Point{w, h}}) {
        const Point p{crop.x + c * corner.x - s * corner.y, crop.y + s * corner.x + c * corner.y};
        o.left = o.left || !(p.x >= -kSlack);
        o.top = o.top || !(p.y >= -kSlack);
        o.right = o.right || !(p.x <= photoWidth + kSlack);
        o.bottom = o.bottom || !(p.y <= photoHeight + kSlack);
    }
    return o;
}

Point toPrintPixels(const Crop& crop, Point photoPoint) {
    const double scale = kPrintWidth / saneWidth(crop.width);
    const Point p = toCropFrame(crop, photoPoint);
    return {p.x * scale, p.y * scale};
}

Point toPhotoPixels(const Crop& crop, Point printPoint) {
    const double scale = saneWidth(crop.width) / kPrintWidth;
    return fromCropFrame(crop, {sane(printPoint.x) * scale, sane(printPoint.y) * scale});
}

Crop moveCrop(const Crop& crop, double dx, double dy) {
    return {sane(sane(crop.x) + sane(dx)), sane(sane(crop.y) + sane(dy)), saneWidth(crop.width),
            saneAngle(crop.angleDegrees)};
}

Crop scaleCrop(const Crop& crop, double factor, Point anchor) {
    Crop scaled{sane(crop.x), sane(crop.y), saneWidth(crop.width), saneAngle(crop.angleDegrees)};
    if (!(factor > 0) || !std::isfinite(factor)) return scaled;
    anchor = sane(anchor);
    const double width = saneWidth(scaled.width * factor);
    // The anchor keeps its place relative to the crop's corners.
    const double ratio = width / scaled.width;
    scaled.x = sane(anchor.x - (anchor.x - scaled.x) * ratio);
    scaled.y = sane(anchor.y - (anchor.y - scaled.y) * ratio);
    scaled.width = width;
    return scaled;
}

Crop cropForHeadHeight(const Crop& crop, const HeadMarks& marks, double mm) {
    const double head = headHeightPixels(marks);
    if (!(mm > 0) || !std::isfinite(mm) || !(head > 0)) return scaleCrop(crop, 1, {});
    const double width = head * kPhotoWidthMm / mm;
    return scaleCrop(crop, width / saneWidth(crop.width), middle(marks.crown, marks.chin));
}

}  // namespace passport
