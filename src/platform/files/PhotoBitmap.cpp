#include "platform/files/PhotoBitmap.h"

#include <bit>
#include <cstring>

#include <QImage>

namespace {

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// Copies one row of RGB32 pixels into blue, green, red, fourth-byte order.
void rowToBytes(const QRgb* from, std::uint8_t* to, int width) {
    if constexpr (kLittleEndian) {
        std::memcpy(to, from, static_cast<std::size_t>(width) * 4);
    } else {
        for (int x = 0; x < width; ++x, to += 4) {
            const QRgb p = from[x];
            to[0] = static_cast<std::uint8_t>(qBlue(p));
            to[1] = static_cast<std::uint8_t>(qGreen(p));
            to[2] = static_cast<std::uint8_t>(qRed(p));
            to[3] = static_cast<std::uint8_t>(qAlpha(p));
        }
    }
}

void bytesToRow(const std::uint8_t* from, QRgb* to, int width) {
    if constexpr (kLittleEndian) {
        std::memcpy(to, from, static_cast<std::size_t>(width) * 4);
    } else {
        for (int x = 0; x < width; ++x, from += 4)
            to[x] = qRgba(from[2], from[1], from[0], from[3]);
    }
}

}  // namespace

int PhotoBitmap::width() const {
    return image_.width();
}

int PhotoBitmap::height() const {
    return image_.height();
}

bool PhotoBitmap::readPixels(std::uint8_t* pixels, int width, int height) const {
    if (image_.isNull() || image_.width() != width || image_.height() != height) return false;
    const QImage rgb = image_.format() == QImage::Format_RGB32
                           ? image_
                           : image_.convertToFormat(QImage::Format_RGB32);
    const std::size_t line = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        rowToBytes(reinterpret_cast<const QRgb*>(rgb.constScanLine(y)), pixels + y * line, width);
    }
    return true;
}

bool PhotoBitmap::writePixels(const std::uint8_t* pixels, int width, int height) {
    // The photo was replaced by one of another size meanwhile: the filtered pixels no longer
    // belong to it.
    if (image_.isNull() || image_.width() != width || image_.height() != height) return false;
    if (image_.format() != QImage::Format_RGB32) {
        image_ = image_.convertToFormat(QImage::Format_RGB32);
    }
    const std::size_t line = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        // scanLine() detaches a shared image, so copies held elsewhere keep their pixels.
        bytesToRow(pixels + y * line, reinterpret_cast<QRgb*>(image_.scanLine(y)), width);
    }
    return true;
}
