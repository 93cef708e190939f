#pragma once

#include <memory>

#include <QString>

#include "view/ViewGeometry.h"

class QImage;

// The loaded photo as the counter-photo window reads it: plain pixels (0xffRRGGBB, at the
// photo's own size, upright as loaded) and whatever keeps them alive and unchanged while the
// window and its worker threads read them.
struct CounterPhoto {
    view::ConstPixels pixels;
    std::shared_ptr<const void> keepAlive;
    // Full path of the loaded photo: named in messages, and the start of default file names.
    QString fileName;

    bool isNull() const { return !pixels.pixels || pixels.width <= 0 || pixels.height <= 0; }

    // A Format_RGB32 image (any other format is converted once). The copy shares the image's
    // pixels without copying them, and keeps them when the original is replaced.
    static CounterPhoto fromImage(const QImage& image, const QString& fileName);
};
