#pragma once

#include <memory>

#include "raster/Pixels.h"

namespace raster {

// A loaded photo at its own size: 32-bit pixels (0xffRRGGBB), top row first, never changed once
// made. It is held through std::shared_ptr<const Photo>, so everyone who reads it (the zoomed
// view, another window) shares the one copy of its pixels and can keep it alive.
//
// The pixels may belong to someone else, typically the image the platform layer decoded: the
// photo then adopts them without copying, and `owner` keeps that storage alive for as long as
// the photo lives.
class Photo {
  public:
    Photo(const ConstPixels& pixels, std::shared_ptr<const void> owner)
        : pixels_(pixels), owner_(std::move(owner)) {}
    Photo(const Photo&) = delete;
    Photo& operator=(const Photo&) = delete;

    const ConstPixels& pixels() const { return pixels_; }
    int width() const { return pixels_.width; }
    int height() const { return pixels_.height; }

  private:
    ConstPixels pixels_;
    std::shared_ptr<const void> owner_;
};

}  // namespace raster
