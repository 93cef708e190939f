#include "passport/Framing.h"

#include <algorithm>
#include <cmath>

namespace passport {

namespace {

// No loaded photo is more than 100 million pixels long, so coordinates beyond this are
// nonsense; keeping them here keeps every product below finite.
constexpr double kCoordinateLimit = 1e9;
constexpr double kPi = 3.14159265358979323846;

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

}  // namespace

double targetHeadMm(AgeGroup group) {
    return group == AgeGroup::From11 ? kTargetHeadMmFrom11 : kTargetHeadMmUpTo10;
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

Crop frameHead(const HeadMarks& marks, AgeGroup group) {
    const double head = std::max(headHeightPixels(marks), kMinCropWidth);
    Crop crop;
    crop.width = saneWidth(head * kPhotoWidthMm / targetHeadMm(group));
    const double perMm = crop.pixelsPerMm();
    crop.x = faceMidlineX(marks) - crop.width / 2;
    crop.y = eyeLineY(marks) - kTargetEyeLineFromTopMm * perMm;
    // Keep the whole head inside with a margin: first the chin, then the crown, which wins
    // when both cannot be had (a head taller than the photo allows).
    const Point crown = sane(marks.crown);
    const Point chin = sane(marks.chin);
    const double top = std::min(crown.y, chin.y);
    const double bottom = std::max(crown.y, chin.y);
    const double margin = kMinHeadMarginMm * perMm;
    crop.y = std::max(crop.y, bottom + margin - crop.height());
    crop.y = std::min(crop.y, top - margin);
    return crop;
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

Measures measure(const HeadMarks& marks, const Crop& crop) {
    Measures m;
    const double perMm = std::max(saneWidth(crop.width) / kPhotoWidthMm, 1e-300);
    const double width = perMm * kPhotoWidthMm;
    const double height = perMm * kPhotoHeightMm;
    m.headHeightMm = headHeightPixels(marks) / perMm;
    if (bothKnown(marks.leftJaw, marks.rightJaw)) {
        const Point l = sane(*marks.leftJaw), r = sane(*marks.rightJaw);
        m.faceWidthMm = std::hypot(r.x - l.x, r.y - l.y) / perMm;
    }
    m.centreOffsetMm = (faceMidlineX(marks) - (sane(crop.x) + width / 2)) / perMm;
    if (bothKnown(marks.leftEye, marks.rightEye)) {
        const Point l = sane(*marks.leftEye), r = sane(*marks.rightEye);
        m.tiltDegrees = std::atan2(r.y - l.y, r.x - l.x) * 180 / kPi;
        m.eyeLineFraction = (sane(crop.y) + height - eyeLineY(marks)) / height;
    }
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
    o.left = !(crop.x >= -kSlack);
    o.top = !(crop.y >= -kSlack);
    o.right = !(crop.x + crop.width <= photoWidth + kSlack);
    o.bottom = !(crop.y + crop.height() <= photoHeight + kSlack);
    return o;
}

Crop moveCrop(const Crop& crop, double dx, double dy) {
    return {sane(sane(crop.x) + sane(dx)), sane(sane(crop.y) + sane(dy)), saneWidth(crop.width)};
}

Crop scaleCrop(const Crop& crop, double factor, Point anchor) {
    Crop scaled{sane(crop.x), sane(crop.y), saneWidth(crop.width)};
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
