#pragma once

#include <memory>
#include <vector>

#include "raster/Photo.h"
#include "view/ViewGeometry.h"

namespace view {

using raster::Photo;

// The photo at a zoom percentage, as the viewport reads it. It never holds the zoomed
// pixels: a 6000 x 4000 photo at 200 % would need a 12000 x 8000 bitmap (384 MB). Instead
// it keeps, per zoomed column and row, which photo pixel a plain nearest-pixel stretch puts
// there, and fetches any section on demand from the photo it shares.
class ZoomView {
  public:
    ZoomView() = default;
    // `photo` may be null: an empty view (every pixel the background) at that percentage.
    ZoomView(std::shared_ptr<const Photo> photo, int percent);

    const std::shared_ptr<const Photo>& photo() const { return photo_; }
    int width() const { return static_cast<int>(columns_.size()); }
    int height() const { return static_cast<int>(rows_.size()); }
    int percent() const { return percent_; }

    // The zoomed pixel at (x, y), 0 <= x < width(), 0 <= y < height().
    std::uint32_t pixel(int x, int y) const;

    // Viewport pixel (x, y) shows zoomed pixel (left + x, top + y), 1 : 1; where that lies
    // outside the zoomed photo it shows `background`.
    void render(int left, int top, const Pixels& viewport, std::uint32_t background) const;

  private:
    std::shared_ptr<const Photo> photo_;
    int percent_ = 100;
    std::vector<int> columns_;
    std::vector<int> rows_;
};

}  // namespace view
