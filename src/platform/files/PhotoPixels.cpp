#include "platform/files/PhotoPixels.h"

std::shared_ptr<const raster::Photo> adoptPhoto(QImage image) {
    if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
    auto owner = std::make_shared<const QImage>(std::move(image));
    return std::make_shared<const raster::Photo>(constPixelsOf(*owner), owner);
}

QImage imageOf(const raster::Photo& photo) {
    const view::ConstPixels& pixels = photo.pixels();
    return QImage(reinterpret_cast<const uchar*>(pixels.pixels), pixels.width, pixels.height,
                  static_cast<qsizetype>(pixels.stride) * 4, QImage::Format_RGB32);
}

view::Pixels pixelsOf(QImage& image) {
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
            static_cast<int>(image.bytesPerLine() / 4)};
}

view::ConstPixels constPixelsOf(const QImage& image) {
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
            image.height(), static_cast<int>(image.bytesPerLine() / 4)};
}
