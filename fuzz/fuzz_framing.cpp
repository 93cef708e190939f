// Framing the counter photo from any marks at all: found by the face finder, dragged by the
// user, or nonsense (not a number, infinite, far outside the photo), on photos from 1 x 1 up.
// Whatever comes in, every crop is a finite rectangle of the photo's proportion, every
// measure and mapped point a number, and the area scaling stays inside its pictures.
//
// The check against the rules follows every framing the user can reach, so it gets the same
// marks and crop on the small photo: one verdict per criterion, every measured number finite.
// It costs milliseconds, so only inputs with bit 6 of the flags ask for it.
//
// Input: one byte of flags (bit 0 the age group, bit 1 eyes known, bit 2 jaw sides known,
// bit 3 raw doubles, bits 4-5 the number of faces found, bit 6 check the rules), two 16-bit
// sizes (1..65536), then 16 values: crown, chin, the eyes and the jaw sides (12 coordinates),
// a drag (dx, dy), a scale factor and a head height in mm; raw 8-byte doubles, or 16-bit
// numbers scaled to the photo. What remains are the pixels of a
// photo of at most 48 x 48 to cut the crop from.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "passport/Check.h"
#include "passport/Framing.h"
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

void checkCrop(const Crop& crop) {
    check(isFinite(crop.x) && isFinite(crop.y) && isFinite(crop.width) && isFinite(crop.height()));
    check(crop.width >= kMinCropWidth && crop.width <= kMaxCropWidth);
    check(std::fabs(crop.height() * kPhotoWidthMm - crop.width * kPhotoHeightMm) <=
          1e-9 * crop.width * kPhotoHeightMm);
}

void checkMeasures(const Measures& m) {
    check(isFinite(m.headHeightMm) && m.headHeightMm >= 0 && isFinite(m.centreOffsetMm) &&
          isFinite(m.sourceDpi));
    if (m.faceWidthMm) check(isFinite(*m.faceWidthMm));
    if (m.tiltDegrees) check(isFinite(*m.tiltDegrees) && std::fabs(*m.tiltDegrees) <= 180);
    if (m.eyeLineFraction) check(isFinite(*m.eyeLineFraction));
}

std::vector<std::uint32_t> smallPhoto(const Input& in, int width, int height) {
    std::vector<std::uint32_t> photo(std::size_t(width) * height);
    for (std::size_t i = 0; i < photo.size(); ++i) {
        photo[i] = 0xff000000u | std::uint32_t(in.byteAt(3 * i)) << 16 |
                   std::uint32_t(in.byteAt(3 * i + 1)) << 8 | in.byteAt(3 * i + 2);
    }
    return photo;
}

// The crop cut from a small photo onto a small picture: every pixel opaque, and a crop
// wholly outside the photo gives nothing but the fill.
void checkCut(const std::vector<std::uint32_t>& photo, int width, int height, const Crop& crop) {
    constexpr std::uint32_t kFill = 0xff123456u;
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

void checkRules(const std::vector<std::uint32_t>& photo, int width, int height,
                const CheckInput& input) {
    CheckInput on = input;
    on.photo = {photo.data(), width, height, width};
    const std::vector<CriterionCheck> checks = checkPhoto(on);
    check(checks.size() == std::size_t(kCriterionCount));
    for (std::size_t i = 0; i < checks.size(); ++i) {
        check(checks[i].criterion == Criterion(i));
        if (checks[i].value) check(isFinite(*checks[i].value));
        check(!checks[i].measured.empty() && !checks[i].limit.empty());
    }
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
    const double factor = raw ? v[14] : std::exp2(v[14] / scale * 2);
    const double mm = raw ? v[15] : v[15] / scale * 10;

    const Crop framed = frameHead(marks, group);
    checkCrop(framed);
    checkMeasures(measure(marks, framed));
    // The centred crop of a 1 x 1 photo is narrower than a pixel; it only has to fit.
    const Crop centred = centredCrop(width, height);
    check(isFinite(centred.x) && isFinite(centred.y) && centred.width > 0);
    check(!overhangOf(centred, width, height).any());
    const Crop moved = moveCrop(framed, v[12], v[13]);
    checkCrop(moved);
    const Crop scaled = scaleCrop(moved, factor, marks.crown);
    checkCrop(scaled);
    checkCrop(cropForHeadHeight(scaled, marks, mm));
    checkMeasures(measure(marks, scaled));
    (void)belowMinimumDpi(scaled);
    const Point print = toPrintPixels(scaled, marks.chin);
    const Point back = toPhotoPixels(scaled, print);
    check(isFinite(print.x) && isFinite(print.y) && isFinite(back.x) && isFinite(back.y));

    const int smallWidth = std::min(width, 48);
    const int smallHeight = std::min(height, 48);
    const std::vector<std::uint32_t> photo = smallPhoto(in, smallWidth, smallHeight);
    checkCut(photo, smallWidth, smallHeight, scaled);
    checkCut(photo, smallWidth, smallHeight, centred);
    if (flags & 64) {
        const FaceCount faces = FaceCount((flags >> 4) % 4 % 3);
        checkRules(photo, smallWidth, smallHeight, {faces, marks, scaled, {}, group});
    }
    return 0;
}
