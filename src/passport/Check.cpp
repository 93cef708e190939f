#include "passport/Check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "passport/CheckFormat.h"
#include "passport/PersonCheck.h"
#include "passport/PhotoQuality.h"

namespace passport {

namespace {

using format::number;
using format::shown;

bool within(double value, double low, double high) {
    return value >= low && value <= high;
}

CriterionCheck result(Criterion criterion, std::string limit) {
    CriterionCheck c;
    c.criterion = criterion;
    c.limit = std::move(limit);
    return c;
}

// A number with its unit, judged against [low, high] as shown with `decimals`.
CriterionCheck judged(Criterion criterion, std::string limit, double value, std::string unit,
                      int decimals, double low, double high) {
    CriterionCheck c = result(criterion, std::move(limit));
    c.value = value;
    c.unit = unit;
    c.measured = number(value, decimals) + (unit == "°" ? "" : " ") + unit;
    c.verdict = within(shown(value, decimals), low, high) ? Verdict::Pass : Verdict::Fail;
    return c;
}

CriterionCheck cannotTell(Criterion criterion, std::string limit, std::string why) {
    CriterionCheck c = result(criterion, std::move(limit));
    c.measured = std::move(why);
    c.verdict = Verdict::CannotTell;
    return c;
}

std::string range(double low, double high, const std::string& unit) {
    return number(low, 0) + "–" + number(high, 0) + " " + unit;
}

CriterionCheck oneFace(FaceCount faces) {
    CriterionCheck c = result(Criterion::OneFace, "exactly one in the frame");
    c.verdict = faces == FaceCount::One ? Verdict::Pass : Verdict::Fail;
    c.measured = faces == FaceCount::One    ? "one face in the frame"
                 : faces == FaceCount::None ? "no face found"
                                            : "more than one face in the frame";
    if (faces != FaceCount::Several) c.value = faces == FaceCount::One ? 1 : 0;
    return c;
}

CriterionCheck headHeight(const CheckInput& in, const Measures& m) {
    const double low = headMinMm(in.group), high = headMaxMm(in.group);
    const std::string limit =
        range(low, high, "mm") +
        (in.group == AgeGroup::From11 ? " (from 11 years)" : " (up to 10 years)");
    CriterionCheck c = judged(Criterion::HeadHeight, limit, m.headHeightMm, "mm", 1, low, high);
    if (in.marks.crownSource != CrownSource::Proportions) return c;
    // An estimated crown: fail only what its margin cannot save.
    const double least = shown(m.headHeightMm * (1 - kEstimatedCrownUncertainty), 1);
    const double most = shown(m.headHeightMm * (1 + kEstimatedCrownUncertainty), 1);
    c.verdict = most < low || least > high ? Verdict::Fail : Verdict::CannotTell;
    c.measured = "about " + c.measured + " (crown estimated from the face's proportions)";
    return c;
}

CriterionCheck faceWidth(const Measures& m) {
    const std::string limit = range(kFaceWidthMinMm, kFaceWidthMaxMm, "mm");
    if (!m.faceWidthMm) return cannotTell(Criterion::FaceWidth, limit, "unknown without jaw marks");
    return judged(Criterion::FaceWidth, limit, *m.faceWidthMm, "mm", 1, kFaceWidthMinMm,
                  kFaceWidthMaxMm);
}

CriterionCheck centred(const CheckInput& in, const Measures& m) {
    const double tolerance = kCentreToleranceMm;
    const std::string limit = "within " + number(tolerance, 1) + " mm";
    // The crown and chin markers stand on the crop's centre line until the face is known:
    // without eyes or jaw sides there is no face midline to measure.
    if (!(in.marks.leftEye && in.marks.rightEye) && !(in.marks.leftJaw && in.marks.rightJaw))
        return cannotTell(Criterion::Centred, limit, "unknown without eye or jaw marks");
    CriterionCheck c =
        judged(Criterion::Centred, limit, m.centreOffsetMm, "mm", 1, -tolerance, tolerance);
    const double offset = shown(m.centreOffsetMm, 1);
    c.measured = number(std::abs(offset), 1) + " mm" +
                 (offset > 0   ? " right of the middle"
                  : offset < 0 ? " left of the middle"
                               : "");
    return c;
}

CriterionCheck eyesLevel(const Measures& m) {
    const double tolerance = kTiltToleranceDegrees;
    const std::string limit = "tilt within " + number(tolerance, 0) + "°";
    if (!m.tiltDegrees) return cannotTell(Criterion::EyesLevel, limit, "unknown without eye marks");
    CriterionCheck c =
        judged(Criterion::EyesLevel, limit, *m.tiltDegrees, "°", 1, -tolerance, tolerance);
    c.measured = "tilted " + number(std::abs(shown(*m.tiltDegrees, 1)), 1) + "°";
    return c;
}

CriterionCheck eyeLine(const Measures& m) {
    const std::string limit = range(kEyeLineMinFraction * 100, kEyeLineMaxFraction * 100, "%") +
                              " of the height from the bottom";
    if (!m.eyeLineFraction)
        return cannotTell(Criterion::EyeLine, limit, "unknown without eye marks");
    return judged(Criterion::EyeLine, limit, *m.eyeLineFraction * 100, "%", 0,
                  kEyeLineMinFraction * 100, kEyeLineMaxFraction * 100);
}

CriterionCheck wholePhoto(const CheckInput& in) {
    const std::string limit = "no fill at any edge";
    if (!in.photo.pixels || in.photo.width <= 0 || in.photo.height <= 0)
        return cannotTell(Criterion::WholePhoto, limit, "no photo");
    const Overhang o = overhangOf(in.crop, in.photo.width, in.photo.height);
    CriterionCheck c = result(Criterion::WholePhoto, limit);
    c.verdict = o.any() ? Verdict::Fail : Verdict::Pass;
    if (!o.any()) {
        c.measured = "inside the photo";
        return c;
    }
    std::vector<std::string> edges;
    if (o.left) edges.push_back("left");
    if (o.top) edges.push_back("top");
    if (o.right) edges.push_back("right");
    if (o.bottom) edges.push_back("bottom");
    c.measured = "white fill at the ";
    for (std::size_t i = 0; i < edges.size(); ++i) {
        c.measured += (i == 0 ? "" : i + 1 == edges.size() ? " and " : ", ") + edges[i];
    }
    c.measured += edges.size() == 1 ? " edge" : " edges";
    return c;
}

CriterionCheck resolution(const CheckInput& in) {
    CriterionCheck c = judged(Criterion::Resolution, "at least " + number(kMinimumDpi, 0) + " dpi",
                              sourceDpi(in.crop), "dpi", 0, 0, std::numeric_limits<double>::max());
    c.verdict = belowMinimumDpi(in.crop) ? Verdict::Fail : Verdict::Pass;
    return c;
}

CriterionCheck notEdited() {
    // Made from the loaded photo's own pixels, never from the edited passport photo. What
    // was done to the photo before it was loaded cannot be seen, and is not claimed.
    CriterionCheck c = result(Criterion::NotEdited, "no edits made in Portrik");
    c.measured = "no edits made in Portrik (earlier edits cannot be seen)";
    c.verdict = Verdict::Pass;
    return c;
}

// The photo's pixels: the 600 dpi photo if there is one, else the loaded photo through the crop.
std::optional<PhotoPixels> pixelsOf(const CheckInput& in) {
    if (in.print && !in.print->pixels.empty())
        return PhotoPixels::ofPrint(*in.print, in.crop, in.photo.width, in.photo.height);
    if (in.photo.pixels && in.photo.width > 0 && in.photo.height > 0 && in.crop.width > 0)
        return PhotoPixels::through(in.photo, in.crop);
    return std::nullopt;
}

// The criteria measured on the face's pixels: its region must be known and in the photo.
struct FaceCriteria {
    CriterionCheck colour, sharp, exposure;
};

FaceCriteria faceCriteria(const CheckInput& in) {
    FaceCriteria f;
    f.colour = result(Criterion::InColour, "chroma at least " + number(kMinFaceChroma, 0));
    f.sharp = result(Criterion::Sharp, "at least " + number(kMinSharpness, 0));
    f.exposure = result(Criterion::Exposure,
                        "at most " + number(kMaxClippedShare * 100, 0) + " % of the face clipped");
    std::string problem;
    FaceSample sample;
    if (const auto pixels = pixelsOf(in)) {
        sample = sampleFace(*pixels, in.crop, in.marks);
        if (sample.insideShare < kMinFaceInside) problem = "the face is not inside the photo";
    } else {
        problem = "no photo";
    }
    if (!problem.empty()) {
        for (CriterionCheck* c : {&f.colour, &f.sharp, &f.exposure}) c->measured = problem;
        return f;
    }
    const std::string where = sample.fromEyes ? "" : " (face placed by the crown and chin)";
    const double chroma = meanChroma(sample.view());
    f.colour.value = chroma;
    f.colour.measured = "chroma " + number(chroma, 1) + where;
    f.colour.verdict = shown(chroma, 1) >= kMinFaceChroma ? Verdict::Pass : Verdict::Fail;
    const double detail = laplacianVariance(sample.view());
    f.sharp.value = detail;
    f.sharp.measured = "Laplacian variance " + number(detail, 0) + where;
    f.sharp.verdict = shown(detail, 0) >= kMinSharpness ? Verdict::Pass : Verdict::Fail;
    const Clipping clipped = clippingOf(sample.view());
    f.exposure.value = clipped.total() * 100;
    f.exposure.unit = "%";
    f.exposure.measured = number(clipped.burntOut * 100, 1) + " % burnt out, " +
                          number(clipped.black * 100, 1) + " % black" + where;
    f.exposure.verdict =
        shown(clipped.total() * 100, 1) <= kMaxClippedShare * 100 ? Verdict::Pass : Verdict::Fail;
    return f;
}

struct BackgroundCriteria {
    CriterionCheck background, shadow;
};

BackgroundCriteria backgroundCriteria(const CheckInput& in, const Measures& m) {
    BackgroundCriteria r;
    r.background = result(Criterion::Background,
                          "light (L* at least " + number(kMinBackgroundLightness, 0) +
                              "), even (spread at most " + number(kMaxBackgroundSpread, 0) +
                              "), grey, light blue or white");
    r.shadow = result(Criterion::NoShadowOnBackground,
                      "no part darker by more than " + number(kMaxShadowDepth, 0) + " L*");
    const auto pixels = pixelsOf(in);
    double gap = kStripGapMm;
    if (in.marks.crownSource == CrownSource::Proportions)
        gap += kEstimatedCrownUncertainty * m.headHeightMm;
    const Background b = pixels ? measureBackground(*pixels, in.crop, in.marks, gap) : Background{};
    if (!pixels || b.areaMm2 < kMinBackgroundAreaMm2) {
        const std::string why = !pixels ? "no photo"
                                : b.filledAreaMm2 > 0
                                    ? "too little of the photo's own background above and "
                                      "beside the head (the rest is white fill)"
                                    : "too little background above and beside the head";
        r.background.measured = r.shadow.measured = why;
        return r;
    }
    const std::string fill = b.filledAreaMm2 > 0 ? " (the photo's own pixels, not the fill)" : "";
    CriterionCheck& c = r.background;
    c.value = b.lightness;
    c.unit = "L*";
    const bool light = shown(b.lightness, 0) >= kMinBackgroundLightness;
    const bool even = shown(b.spread, 1) <= kMaxBackgroundSpread;
    const BackgroundColour colour = colourOf(b);
    c.measured =
        "L* " + number(b.lightness, 0) + (light ? "" : " (dark)") + ", spread " +
        number(b.spread, 1) + (even ? "" : " (uneven)") + ", " +
        (colour == BackgroundColour::GreyOrWhite ? "grey or white"
         : colour == BackgroundColour::LightBlue ? "light blue"
                                                 : "coloured (chroma " + number(b.chroma, 0) +
                                                       ", hue " + number(b.hueDegrees, 0) + "°)") +
        fill;
    c.verdict = light && even && colour != BackgroundColour::Other ? Verdict::Pass : Verdict::Fail;
    if (b.zones < 2) {
        r.shadow.measured = "too little background beside and above the head to compare";
        return r;
    }
    r.shadow.value = b.shadowDepth;
    r.shadow.unit = "L*";
    r.shadow.measured =
        "darkest part " + number(b.shadowDepth, 1) + " L* below the lightest" + fill;
    r.shadow.verdict = shown(b.shadowDepth, 1) <= kMaxShadowDepth ? Verdict::Pass : Verdict::Fail;
    return r;
}

}  // namespace

FaceCount facesInFrame(const std::vector<FoundFace>& faces, const Crop& crop) {
    int inside = 0;
    const double perMm = crop.pixelsPerMm();
    if (!(perMm > 0) || !std::isfinite(perMm)) return FaceCount::None;
    for (const FoundFace& face : faces) {
        // The box's corners in the crop's frame, and how far its extent reaches into it.
        double left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
        const raster::Rect& b = face.box;
        for (const Point corner :
             {Point{double(b.x), double(b.y)}, Point{double(b.x) + b.width, double(b.y)},
              Point{double(b.x), double(b.y) + b.height},
              Point{double(b.x) + b.width, double(b.y) + b.height}}) {
            const Point p = toCropFrame(crop, corner);
            left = std::min(left, p.x / perMm);
            right = std::max(right, p.x / perMm);
            top = std::min(top, p.y / perMm);
            bottom = std::max(bottom, p.y / perMm);
        }
        const double across = std::min(right, kPhotoWidthMm) - std::max(left, 0.0);
        const double down = std::min(bottom, kPhotoHeightMm) - std::max(top, 0.0);
        if (across >= kFaceInFrameMm && down >= kFaceInFrameMm) ++inside;
    }
    return inside == 0 ? FaceCount::None : inside == 1 ? FaceCount::One : FaceCount::Several;
}

std::vector<CriterionCheck> checkPhoto(const CheckInput& in) {
    const Measures m = measure(in.marks, in.crop);
    FaceCriteria face = faceCriteria(in);
    BackgroundCriteria background = backgroundCriteria(in, m);
    std::vector<CriterionCheck> checks = {oneFace(in.faces),
                                          headHeight(in, m),
                                          faceWidth(m),
                                          centred(in, m),
                                          eyesLevel(m),
                                          eyeLine(m),
                                          wholePhoto(in),
                                          resolution(in),
                                          std::move(face.colour),
                                          notEdited(),
                                          std::move(face.sharp),
                                          std::move(background.background),
                                          std::move(background.shadow),
                                          std::move(face.exposure)};
    for (CriterionCheck& c : checkPerson({in.landmarks, in.photo})) checks.push_back(std::move(c));
    for (CriterionCheck& c : checks)
        if (c.advice.empty()) c.advice = criterionAdvice(c.criterion);
    return checks;
}

}  // namespace passport
