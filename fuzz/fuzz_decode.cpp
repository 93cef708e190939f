// Photos from phones and cameras, from bytes: the decoding the counter photo's Open Photo and
// portrik-passport run on a chosen file (HEIC, PNG, WebP, TIFF besides JPEG, BMP and GIF, with
// EXIF orientation and colour profiles), and the colour conversion alone on a profile made of
// the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "decode/Colour.h"
#include "decode/Exif.h"
#include "platform/files/AnyPhoto.h"

namespace {

// Small inputs and pictures, so each one decodes in milliseconds: a few bytes may claim a
// huge picture.
constexpr std::size_t kMaxInputBytes = 1 << 20;
constexpr std::int64_t kMaxPixels = 1 << 20;

void check(bool condition) {
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInputBytes) return -1;

    const int orientation = decode::exifOrientation(data, size);
    check(orientation >= 1 && orientation <= 8);
    const auto [exif, exifSize] = decode::exifBlockOf(data, size);
    check(exif == nullptr || (exif >= data && exif + exifSize <= data + size));

    const OpenedPhoto opened = decodeAnyPhoto(data, size, kMaxPixels);
    if (!opened.photo) {
        // Every refusal says why.
        check(opened.problem != AnyPhotoProblem::None && !opened.reason.isEmpty());
    } else {
        check(opened.problem == AnyPhotoProblem::None && !opened.colour.isEmpty());
        const raster::ConstPixels& pixels = opened.photo->pixels();
        check(pixels.pixels && pixels.width > 0 && pixels.height > 0);
        check(std::int64_t(pixels.width) * pixels.height <= kMaxPixels);
        check(pixels.stride >= pixels.width);
        // Every pixel opaque: see-through photos are refused.
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                check(pixels.pixels[std::ptrdiff_t(y) * pixels.stride + x] >> 24 == 0xff);
            }
        }
    }

    // The same bytes as a colour profile: a damaged one changes nothing and says so.
    std::vector<std::uint32_t> grey(16 * 4);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        grey[i] = 0xff000000u | std::uint32_t(i * 4) * 0x010101u;
    }
    const std::vector<std::uint32_t> before = grey;
    const decode::ColourResult colour =
        decode::convertToSrgb({grey.data(), 16, 4, 16}, data, size, 2);
    if (!colour.problem.empty()) check(!colour.converted && grey == before);
    for (std::uint32_t pixel : grey) check(pixel >> 24 == 0xff);
    return 0;
}
