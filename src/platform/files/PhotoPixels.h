#pragma once

#include <memory>

#include <QImage>

#include "raster/Photo.h"
#include "view/ViewGeometry.h"

// Between Qt's images and the view library's pixels, without copying: Format_RGB32 holds
// exactly the view's 32-bit 0xffRRGGBB pixels, top row first.

// The decoded photo as a raster::Photo that adopts its pixels: the photo keeps the image's
// storage alive, so the pixels are held once. (An image in another format is converted first.)
std::shared_ptr<const raster::Photo> adoptPhoto(QImage image);

// A read-only image over the photo's pixels, valid while the photo lives (tests, benchmarks
// and windows that draw the photo with Qt).
QImage imageOf(const raster::Photo& photo);

// The pixels of a Format_RGB32 image. pixelsOf() detaches a shared image first, so copies held
// elsewhere keep theirs.
view::Pixels pixelsOf(QImage& image);
view::ConstPixels constPixelsOf(const QImage& image);
