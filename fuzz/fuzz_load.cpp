// Photo loading from bytes: the decoding File / "Load Photo" runs on the chosen file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QColor>
#include <QImage>
#include <QString>

#include "platform/files/PhotoFile.h"

namespace {

// Inputs and pictures kept small so each one decodes in milliseconds: a file of a few bytes
// may claim a huge picture, and the decoder would fill all of it.
constexpr std::size_t kMaxInputBytes = 1 << 20;
constexpr std::int64_t kMaxPixels = 1 << 20;

void check(bool condition) {
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInputBytes) return -1;

    const int orientation = jpegExifOrientation(data, size);
    check(orientation >= 1 && orientation <= 8);

    PhotoError error;
    const QImage photo = decodePhoto(data, size, QColor(212, 208, 200), &error, kMaxPixels);
    if (photo.isNull()) {
        // Every refusal says why, in the program's words and the decoder's.
        check(error.problem != PhotoProblem::None && error.problem != PhotoProblem::Unreadable);
        check(!error.detail.isEmpty() && !photoErrorText(error).isEmpty());
        return 0;
    }
    check(error.problem == PhotoProblem::None);
    check(sniffPhotoFormat(data, size) != PhotoFormat::Unknown);
    check(photo.format() == QImage::Format_RGB32);
    check(photo.width() > 0 && photo.height() > 0);
    check(std::int64_t(photo.width()) * photo.height() <= kMaxPixels);
    check(photo.bytesPerLine() >= photo.width() * 4);
    return 0;
}
