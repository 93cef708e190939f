#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "passport/Framing.h"
#include "raster/Pixels.h"

namespace counter {

// The loaded photo at halved sizes, so the framed photo on screen is averaged from a few
// source pixels per screen pixel whatever the photo's size: a head on a 24-megapixel photo
// is drawn from some 0.5 million pixels instead of 12 million. Made once per opening, on a
// worker thread (about 30 ms for 24 megapixels, a third more memory than the photo at most);
// never changed afterwards, so any thread may read it.
class PreviewLevels {
  public:
    // The photo alone, unhalved; `owner` keeps its pixels alive for as long as this lives.
    PreviewLevels(const raster::ConstPixels& photo, std::shared_ptr<const void> owner);

    // The photo and its halved copies, down to about kSmallestLevel pixels across.
    static std::shared_ptr<const PreviewLevels> build(const raster::ConstPixels& photo,
                                                      std::shared_ptr<const void> owner);

    // `crop` of the photo (turned, if it is) averaged onto the whole of `dest` (white outside
    // the photo), from the smallest level that still has kSourcePerScreen pixels per screen
    // pixel.
    void render(const passport::Crop& crop, const raster::Pixels& dest) const;

    int levelCount() const { return static_cast<int>(levels_.size()); }

    static constexpr int kSmallestLevel = 256;
    static constexpr double kSourcePerScreen = 1.5;

  private:
    struct Level {
        std::vector<std::uint32_t> pixels;  // empty for the photo itself
        raster::ConstPixels view;
    };
    std::shared_ptr<const void> owner_;
    std::vector<Level> levels_;
};

}  // namespace counter
