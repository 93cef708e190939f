// Framing the counter photo from any marks at all: found by the face finder, dragged by the
// user, or nonsense (not a number, infinite, far outside the photo), on photos from 1 x 1 up.
// Whatever comes in, every crop is a finite rectangle of the photo's proportion, turned by a
// finite angle, every measure and mapped point a number, a point mapped to the print and back
// lands where it started, and the area scaling, turned or not, stays inside its pictures.
//
// The check against the rules follows every framing the user can reach, so it gets the same
// marks and crop on the small photo, with the faces the finder saw in the frame and, when
// the input asks, 68 landmarks round the marks: one verdict per criterion, every measured
// number finite, each with what was measured, its limit and advice. It costs milliseconds,
// so only inputs with bit 6 of the flags ask for it.
//
// Input, in this order (missing bytes read as zero):
//   flags, one byte: bit 0 the age group (set: up to 10), bit 1 eyes known, bit 2 jaw sides
//     known, bit 3 raw doubles, bits 4-5 the number of face boxes (0-3), bit 6 check the
//     rules, bit 7 levelling on for frameHead;
//   two 16-bit sizes (1..65536);
//   16 values: crown, chin, the eyes and the jaw sides (12 coordinates), a drag (dx, dy), a
//     scale factor and a head height in mm; raw 8-byte doubles, or 16-bit numbers scaled to
//     the photo;
//   more flags, one byte: bit 0 turn the crop by the angle below before dragging and scaling
//     it, bit 1 the check gets landmarks, bits 2-3 the number of landmarks overwritten with
//     raw doubles (0-3);
//   the crop angle: a raw double, or 16 bits mapped onto -45 .. 45 degrees;
//   per face box four 16-bit signed numbers: x, y, width, height in photo pixels;
//   only when the check gets landmarks: 68 x 2 signed bytes, each landmark's offset from a
//     generic face laid over the marks, up to a quarter of the eye distance either way, then
//     per overwritten landmark one byte (its index, modulo 68) and two raw doubles.
// The pixels of a photo of at most 48 x 48 to cut the crop from are read from the whole
// input over again, three bytes a pixel.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "passport/Check.h"
#include "passport/FaceFinder.h"
#include "passport/Framing.h"
#include "passport/Landmarks.h"
#include "passport/PersonCheck.h"
#include "passport/Resample.h"

using namespace passport;

namespace {

void check(bool condition) {
    if (!condition) abort();
}

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <typename T>
    T next() {
        T value{};
        if (pos_ + sizeof(T) <= size_) std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    std::uint8_t byteAt(std::size_t i) const { return size_ ? data_[i % size_] : 0; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool isFinite(double v) {
    return std::isfinite(v);
}

bool isFinite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Coordinates the framing keeps as they are: beyond this it brings them back in.
constexpr double kSaneLimit = 1e9;

bool isSane(Point p) {
    return isFinite(p) && std::fabs(p.x) <= kSaneLimit && std::fabs(p.y) <= kSaneLimit;
}

bool near(Point a, Point b, double tolerance) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

void checkCrop(const Crop& crop) {
    check(isFinite(crop.x) && isFinite(crop.y) && isFinite(crop.width) && isFinite(crop.height()));
    check(crop.width >= kMinCropWidth && crop.width <= kMaxCropWidth);
    check(std::fabs(crop.height() * kPhotoWidthMm - crop.width * kPhotoHeightMm) <=
          1e-9 * crop.width * kPhotoHeightMm);
    check(isFinite(crop.angleDegrees) && std::fabs(crop.angleDegrees) <= 360);
}

void checkMeasures(const Measures& m) {
    check(isFinite(m.headHeightMm) && m.headHeightMm >= 0 && isFinite(m.centreOffsetMm) &&
          isFinite(m.sourceDpi) && isFinite(m.spaceAboveHeadMm));
    if (m.faceWidthMm) check(isFinite(*m.faceWidthMm));
    if (m.tiltDegrees) check(isFinite(*m.tiltDegrees) && std::fabs(*m.tiltDegrees) <= 180);
    if (m.eyeLineFraction) check(isFinite(*m.eyeLineFraction));
}

// Framing with levelling: turned only when asked, by the eyes' own tilt and no further than
// the limit, and then the eyes lie level in the crop; the note says what happened.
void checkLevelling(const HeadMarks& marks, const Crop& crop, Levelling levelling) {
    const std::optional<double> tilt = eyeTiltDegrees(marks);
    if (tilt) check(isFinite(*tilt) && std::fabs(*tilt) <= 180);
    const std::string note = levellingNote(marks, crop, levelling);
    if (levelling == Levelling::Off || !tilt || std::fabs(*tilt) > kMaxLevellingDegrees) {
        check(crop.angleDegrees == 0);
    } else {
        check(crop.angleDegrees == *tilt);
    }
    check(std::fabs(crop.angleDegrees) <= kMaxLevellingDegrees);
    if (crop.angleDegrees != 0) check(note.rfind("levelled: ", 0) == 0);
    if (levelling == Levelling::On && tilt && std::fabs(*tilt) > kMaxLevellingDegrees)
        check(note.rfind("not levelled: ", 0) == 0);
    if (crop.angleDegrees == 0 && (levelling == Levelling::Off || !tilt)) check(note.empty());
    // Eyes of a sane size and place come out level in the turned crop's frame.
    if (crop.angleDegrees != 0 && isSane(*marks.leftEye) && isSane(*marks.rightEye)) {
        const Point l = *marks.leftEye, r = *marks.rightEye;
        const double apart = std::hypot(r.x - l.x, r.y - l.y);
        const double reach = std::max({std::fabs(l.x), std::fabs(l.y), std::fabs(r.x),
                                       std::fabs(r.y), std::fabs(crop.x), std::fabs(crop.y)});
        if (apart >= 1e-6 * reach && apart >= 1e-3) {
            const std::optional<double> level = measure(marks, crop).tiltDegrees;
            check(level && std::fabs(*level) <= 1e-6);
        }
    }
}

// The crop's frame and the print's pixels map a point there and back to where it was, for
// points and crops the framing keeps as they are; every mapped point is a number.
void checkMapping(const Crop& crop, Point p) {
    const Point print = toPrintPixels(crop, p);
    const Point back = toPhotoPixels(crop, print);
    const Point inFrame = toCropFrame(crop, p);
    const Point outOfFrame = fromCropFrame(crop, inFrame);
    check(isFinite(print) && isFinite(back) && isFinite(inFrame) && isFinite(outOfFrame));
    if (!isSane(p)) return;
    const double reach = 1 + std::fabs(p.x) + std::fabs(p.y) + std::fabs(crop.x) +
                         std::fabs(crop.y) + crop.width;
    if (isSane(inFrame)) check(near(outOfFrame, p, 1e-9 * reach));
    if (isSane(print) && isSane(inFrame)) check(near(back, p, 1e-9 * reach));
}

// The marks in the crop's frame are the marks mapped one by one.
void checkMarksInFrame(const HeadMarks& marks, const Crop& crop) {
    const HeadMarks inFrame = marksInCropFrame(marks, crop);
    const auto same = [&](Point mark, Point mapped) {
        check(isFinite(mapped));
        const Point expected = toCropFrame(crop, mark);
        check(near(mapped, expected, 1e-9 * (1 + std::fabs(expected.x) + std::fabs(expected.y))));
    };
    same(marks.crown, inFrame.crown);
    same(marks.chin, inFrame.chin);
    check(inFrame.leftEye.has_value() == marks.leftEye.has_value());
    check(inFrame.leftJaw.has_value() == marks.leftJaw.has_value());
    if (marks.leftEye) same(*marks.leftEye, *inFrame.leftEye);
    if (marks.rightEye) same(*marks.rightEye, *inFrame.rightEye);
    if (marks.leftJaw) same(*marks.leftJaw, *inFrame.leftJaw);
    if (marks.rightJaw) same(*marks.rightJaw, *inFrame.rightJaw);
}

// The corners decide the overhang: a corner clearly beyond an edge marks it, and a crop whose
// corners all lie clearly inside has none.
void checkOverhang(const Crop& crop, int width, int height) {
    const Overhang o = overhangOf(crop, width, height);
    constexpr double kMargin = 1e-2;
    bool inside = true;
    for (const Point corner :
         {Point{0, 0}, Point{crop.width, 0}, Point{0, crop.height()}, Point{crop.width, crop.height()}}) {
        const Point p = fromCropFrame(crop, corner);
        if (p.x < -kMargin) check(o.left);
        if (p.y < -kMargin) check(o.top);
        if (p.x > width + kMargin) check(o.right);
        if (p.y > height + kMargin) check(o.bottom);
        inside = inside && p.x > kMargin && p.y > kMargin && p.x < width - kMargin &&
                 p.y < height - kMargin;
    }
    if (inside) check(!o.any());
}

std::vector<std::uint32_t> smallPhoto(const Input& in, int width, int height) {
    std::vector<std::uint32_t> photo(std::size_t(width) * height);
    for (std::size_t i = 0; i < photo.size(); ++i) {
        photo[i] = 0xff000000u | std::uint32_t(in.byteAt(3 * i)) << 16 |
                   std::uint32_t(in.byteAt(3 * i + 1)) << 8 | in.byteAt(3 * i + 2);
    }
    return photo;
}

constexpr std::uint32_t kFill = 0xff123456u;

// The crop cut from a small photo onto a small picture: every pixel opaque, and a crop
// wholly outside the photo gives nothing but the fill.
void checkCut(const std::vector<std::uint32_t>& photo, int width, int height, const Crop& crop) {
    std::vector<std::uint32_t> out(35 * 45);
    resampleArea({photo.data(), width, height, width}, {crop.x, crop.y, crop.width, crop.height()},
                 {out.data(), 35, 45, 35}, kFill);
    const bool outside = crop.x >= width || crop.y >= height || crop.x + crop.width <= 0 ||
                         crop.y + crop.height() <= 0;
    for (std::uint32_t p : out) {
        check(p >> 24 == 0xff);
        if (outside) check(p == kFill);
    }
}

// The same for a turned area, which may be anything at all: every pixel opaque, only fill
// when its corners all lie clearly beyond one edge, and unturned it is the plain area
// scaling pixel for pixel. A guard picture round the destination must stay untouched.
void checkTurnedCut(const std::vector<std::uint32_t>& photo, int width, int height,
                    const TurnedArea& area) {
    constexpr int kWidth = 35, kHeight = 45, kGuard = 64;
    constexpr std::uint32_t kUntouched = 0x00abcdefu;
    std::vector<std::uint32_t> buffer(kGuard + kWidth * kHeight + kGuard, kUntouched);
    std::uint32_t* out = buffer.data() + kGuard;
    resampleTurned({photo.data(), width, height, width}, area, {out, kWidth, kHeight, kWidth},
                   kFill);
    for (int i = 0; i < kGuard; ++i) check(buffer[i] == kUntouched && buffer[buffer.size() - 1 - i] == kUntouched);

    bool outside = false;
    const double a = area.angleDegrees * 3.14159265358979323846 / 180;
    const double c = std::cos(a), s = std::sin(a);
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    bool finite = isFinite(area.x) && isFinite(area.y) && isFinite(area.width) &&
                  isFinite(area.height) && isFinite(c) && isFinite(s) &&
                  std::fabs(area.angleDegrees) <= 360;
    if (finite) {
        for (const Point corner : {Point{0, 0}, Point{area.width, 0}, Point{0, area.height},
                                   Point{area.width, area.height}}) {
            const Point p{area.x + c * corner.x - s * corner.y, area.y + s * corner.x + c * corner.y};
            finite = finite && isFinite(p);
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        const double margin = 1e-6 * (1 + std::fabs(area.x) + std::fabs(area.y) +
                                      std::fabs(area.width) + std::fabs(area.height));
        outside = finite && (maxX < -margin || maxY < -margin || minX > width + margin ||
                             minY > height + margin);
    }
    for (int i = 0; i < kWidth * kHeight; ++i) {
        check(out[i] >> 24 == 0xff);
        if (outside) check(out[i] == kFill);
    }
    if (area.angleDegrees == 0) {
        std::vector<std::uint32_t> plain(kWidth * kHeight);
        resampleArea({photo.data(), width, height, width},
                     {area.x, area.y, area.width, area.height}, {plain.data(), kWidth, kHeight, kWidth},
                     kFill);
        check(std::equal(plain.begin(), plain.end(), out));
    }
}

// A generic face in eye distances: the middle of the eyes at the origin, the eyes at x = -0.5
// and 0.5, y down; close enough to a real face that the person's measures get past their
// first tests, and the fuzzed offsets take it from there.
constexpr std::array<std::array<double, 2>, kLandmarkCount> kGenericFace = {{
    // Jaw, 0-16: from beside the left eye round the chin (8) to beside the right eye.
    {-1.00, 0.10}, {-0.98, 0.37}, {-0.92, 0.64}, {-0.83, 0.89}, {-0.71, 1.10}, {-0.56, 1.28},
    {-0.38, 1.41}, {-0.20, 1.48}, {0.00, 1.50}, {0.20, 1.48}, {0.38, 1.41}, {0.56, 1.28},
    {0.71, 1.10}, {0.83, 0.89}, {0.92, 0.64}, {0.98, 0.37}, {1.00, 0.10},
    // Brows, 17-26.
    {-0.85, -0.30}, {-0.70, -0.40}, {-0.52, -0.43}, {-0.34, -0.40}, {-0.17, -0.35},
    {0.17, -0.35}, {0.34, -0.40}, {0.52, -0.43}, {0.70, -0.40}, {0.85, -0.30},
    // Nose bridge 27-30, nostrils 31-35.
    {0.00, -0.10}, {0.00, 0.15}, {0.00, 0.40}, {0.00, 0.62}, {-0.20, 0.74}, {-0.10, 0.78},
    {0.00, 0.80}, {0.10, 0.78}, {0.20, 0.74},
    // Left eye 36-41, right eye 42-47: outer corner, top, inner corner, bottom.
    {-0.70, 0.00}, {-0.57, -0.08}, {-0.43, -0.08}, {-0.30, 0.00}, {-0.43, 0.08}, {-0.57, 0.08},
    {0.30, 0.00}, {0.43, -0.08}, {0.57, -0.08}, {0.70, 0.00}, {0.57, 0.08}, {0.43, 0.08},
    // Lips outside 48-59 (corners 48 and 54), inside 60-67.
    {-0.40, 1.05}, {-0.25, 0.98}, {-0.10, 0.95}, {0.00, 0.97}, {0.10, 0.95}, {0.25, 0.98},
    {0.40, 1.05}, {0.25, 1.15}, {0.10, 1.19}, {0.00, 1.20}, {-0.10, 1.19}, {-0.25, 1.15},
    {-0.35, 1.05}, {-0.10, 1.03}, {0.00, 1.03}, {0.10, 1.03}, {0.35, 1.05}, {0.10, 1.07},
    {0.00, 1.07}, {-0.10, 1.07},
}};

// The generic face laid over the marks: along the eyes when there are eyes, else upright
// between crown and chin; every point then moved by its own fuzzed offset.
FaceLandmarks landmarksFrom(const HeadMarks& marks, Input& in) {
    Point middle, across;
    if (marks.leftEye && marks.rightEye) {
        middle = {(marks.leftEye->x + marks.rightEye->x) / 2,
                  (marks.leftEye->y + marks.rightEye->y) / 2};
        across = {marks.rightEye->x - marks.leftEye->x, marks.rightEye->y - marks.leftEye->y};
    } else {
        const Point down{marks.chin.x - marks.crown.x, marks.chin.y - marks.crown.y};
        middle = {marks.crown.x + down.x / 2, marks.crown.y + down.y / 2};
        across = {down.y * 0.35, -down.x * 0.35};
    }
    const Point down{-across.y, across.x};
    const double step = std::hypot(across.x, across.y) / 4 / 128;
    FaceLandmarks points;
    for (int i = 0; i < kLandmarkCount; ++i) {
        const double dx = in.next<std::int8_t>() * step;
        const double dy = in.next<std::int8_t>() * step;
        const double u = kGenericFace[i][0], v = kGenericFace[i][1];
        points[i] = {middle.x + u * across.x + v * down.x + dx,
                     middle.y + u * across.y + v * down.y + dy};
    }
    return points;
}

void checkPersonMeasures(const FaceLandmarks& landmarks, const std::vector<std::uint32_t>& photo,
                         int width, int height) {
    const PersonMeasures m = measurePerson({&landmarks, {photo.data(), width, height, width}});
    for (const std::optional<double>* v :
         {&m.mouthGap, &m.cornerLift, &m.mouthWidthShare, &m.teethShare, &m.leftEyeOpening,
          &m.rightEyeOpening, &m.leftEyeBrightness, &m.rightEyeBrightness, &m.leftGlare,
          &m.rightGlare, &m.cheekBalance, &m.leftCheekLuma, &m.rightCheekLuma, &m.cheekBurnt,
          &m.leftRed, &m.rightRed}) {
        if (*v) check(isFinite(**v));
    }
    if (m.pose) {
        check(isFinite(m.pose->yawDegrees) && isFinite(m.pose->pitchDegrees) &&
              isFinite(m.pose->rollDegrees) && isFinite(m.pose->residual));
    }
}

void checkRules(const std::vector<std::uint32_t>& photo, int width, int height,
                const CheckInput& input) {
    CheckInput on = input;
    on.photo = {photo.data(), width, height, width};
    const std::vector<CriterionCheck> checks = checkPhoto(on);
    check(checks.size() == std::size_t(kCriterionCount));
    for (std::size_t i = 0; i < checks.size(); ++i) {
        check(checks[i].criterion == Criterion(i));
        if (checks[i].value) check(isFinite(*checks[i].value));
        check(!checks[i].measured.empty() && !checks[i].limit.empty() &&
              !checks[i].advice.empty());
        check((groupOf(checks[i].criterion) == CriterionGroup::Person) ==
              (int(i) >= int(kFirstPersonCriterion)));
    }
    // Without landmarks the person cannot be judged.
    if (!input.landmarks) {
        for (int i = int(kFirstPersonCriterion); i < kCriterionCount; ++i)
            check(checks[i].verdict == Verdict::CannotTell);
    }
    check(checkLines(checks).size() > std::size_t(kCriterionCount));
    check(!outcomeLine(checks).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const auto flags = in.next<std::uint8_t>();
    const int width = in.next<std::uint16_t>() + 1;
    const int height = in.next<std::uint16_t>() + 1;
    const bool raw = flags & 8;
    const double scale = std::max(width, height);
    double v[16];
    for (double& value : v) {
        value = raw ? in.next<double>() : in.next<std::int16_t>() / 8192.0 * scale;
    }
    const auto more = in.next<std::uint8_t>();
    const double angle = raw ? in.next<double>() : -45 + in.next<std::uint16_t>() * 90.0 / 65535;
    HeadMarks marks;
    marks.crown = {v[0], v[1]};
    marks.chin = {v[2], v[3]};
    if (flags & 2) {
        marks.leftEye = Point{v[4], v[5]};
        marks.rightEye = Point{v[6], v[7]};
    }
    if (flags & 4) {
        marks.leftJaw = Point{v[8], v[9]};
        marks.rightJaw = Point{v[10], v[11]};
    }
    const AgeGroup group = flags & 1 ? AgeGroup::UpTo10 : AgeGroup::From11;
    const Levelling levelling = flags & 128 ? Levelling::On : Levelling::Off;
    const double factor = raw ? v[14] : std::exp2(v[14] / scale * 2);
    const double mm = raw ? v[15] : v[15] / scale * 10;

    const Crop framed = frameHead(marks, group, levelling);
    checkCrop(framed);
    checkLevelling(marks, framed, levelling);
    checkMeasures(measure(marks, framed));
    checkMarksInFrame(marks, framed);
    // The centred crop of a 1 x 1 photo is narrower than a pixel; it only has to fit.
    const Crop centred = centredCrop(width, height);
    check(isFinite(centred.x) && isFinite(centred.y) && centred.width > 0 &&
          centred.angleDegrees == 0);
    check(!overhangOf(centred, width, height).any());

    // The user's corrections, on the framed crop or on one turned by any angle at all.
    Crop start = framed;
    if (more & 1) start.angleDegrees = angle;
    const double keptAngle = std::isfinite(start.angleDegrees) ? std::fmod(start.angleDegrees, 360.0) : 0;
    const Crop moved = moveCrop(start, v[12], v[13]);
    checkCrop(moved);
    check(moved.angleDegrees == keptAngle);
    const Crop scaled = scaleCrop(moved, factor, marks.crown);
    checkCrop(scaled);
    check(scaled.angleDegrees == keptAngle);
    const Crop sized = cropForHeadHeight(scaled, marks, mm);
    checkCrop(sized);
    check(sized.angleDegrees == keptAngle);
    checkMeasures(measure(marks, scaled));
    checkMeasures(measure(marks, start));
    checkMarksInFrame(marks, scaled);
    (void)belowMinimumDpi(scaled);
    checkOverhang(scaled, width, height);
    checkOverhang(framed, width, height);
    (void)overhangOf(start, width, height);
    checkMapping(scaled, marks.chin);
    checkMapping(scaled, marks.crown);
    checkMapping(start, marks.chin);
    checkMapping(framed, {v[12], v[13]});

    const int smallWidth = std::min(width, 48);
    const int smallHeight = std::min(height, 48);
    const std::vector<std::uint32_t> photo = smallPhoto(in, smallWidth, smallHeight);
    checkCut(photo, smallWidth, smallHeight, scaled);
    checkCut(photo, smallWidth, smallHeight, centred);
    checkTurnedCut(photo, smallWidth, smallHeight,
                   {scaled.x, scaled.y, scaled.width, scaled.height(), scaled.angleDegrees});
    checkTurnedCut(photo, smallWidth, smallHeight,
                   {framed.x, framed.y, framed.width, framed.height(), framed.angleDegrees});
    if (raw) {
        // Any area at all, not a number and infinite included.
        checkTurnedCut(photo, smallWidth, smallHeight, {v[12], v[13], v[14], v[15], angle});
    }

    // The faces the finder saw, counted in the frame.
    std::vector<FoundFace> faces((flags >> 4) & 3);
    for (FoundFace& face : faces) {
        face.box = {in.next<std::int16_t>(), in.next<std::int16_t>(), in.next<std::int16_t>(),
                    in.next<std::int16_t>()};
        face.marks = marks;
    }
    const FaceCount seen = facesInFrame(faces, scaled);
    check(seen == FaceCount::None || seen == FaceCount::One || seen == FaceCount::Several);
    if (seen == FaceCount::One) check(faces.size() >= 1);
    if (seen == FaceCount::Several) check(faces.size() >= 2);
    (void)facesInFrame(faces, start);

    if (flags & 64) {
        FaceLandmarks landmarks{};
        const bool withLandmarks = more & 2;
        if (withLandmarks) {
            landmarks = landmarksFrom(marks, in);
            for (int i = 0; i < (more >> 2) % 4; ++i) {
                const int index = in.next<std::uint8_t>() % kLandmarkCount;
                const double x = in.next<double>();
                landmarks[index] = {x, in.next<double>()};
            }
            checkPersonMeasures(landmarks, photo, smallWidth, smallHeight);
        }
        checkRules(photo, smallWidth, smallHeight,
                   {seen, marks, scaled, {}, group, nullptr, withLandmarks ? &landmarks : nullptr});
    }
    return 0;
}
