#include "counter/CounterPhoto.h"

#include <QImage>

CounterPhoto CounterPhoto::fromImage(const QImage& image, const QString& fileName) {
    auto held = std::make_shared<const QImage>(image.format() == QImage::Format_RGB32
                                                   ? image
                                                   : image.convertToFormat(QImage::Format_RGB32));
    CounterPhoto photo;
    photo.fileName = fileName;
    if (!held->isNull()) {
        // constBits() on a const image never detaches: the pointer stays valid while `held`
        // lives, whatever happens to the original.
        photo.pixels = {reinterpret_cast<const std::uint32_t*>(held->constBits()), held->width(),
                        held->height(), static_cast<int>(held->bytesPerLine() / 4)};
    }
    photo.keepAlive = std::move(held);
    return photo;
}
