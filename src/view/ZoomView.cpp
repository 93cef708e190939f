#include "view/ZoomView.h"

#include <algorithm>

namespace view {

ZoomView::ZoomView(std::shared_ptr<const Photo> photo, int percent)
    : photo_(std::move(photo)), percent_(percent) {
    if (!photo_) return;
    columns_ = nearestSourceIndices(photo_->width(), zoomedPixels(photo_->width(), percent));
    rows_ = nearestSourceIndices(photo_->height(), zoomedPixels(photo_->height(), percent));
}

std::uint32_t ZoomView::pixel(int x, int y) const {
    const ConstPixels& photo = photo_->pixels();
    return photo.pixels[static_cast<std::ptrdiff_t>(rows_[y]) * photo.stride + columns_[x]];
}

void ZoomView::render(int left, int top, const Pixels& viewport, std::uint32_t background) const {
    // The columns of the viewport that lie over the zoomed photo.
    const int first = std::clamp(-left, 0, viewport.width);
    const int last = std::clamp(width() - left, first, viewport.width);
    for (int y = 0; y < viewport.height; ++y) {
        std::uint32_t* out = viewport.pixels + static_cast<std::ptrdiff_t>(y) * viewport.stride;
        const int zy = top + y;
        if (zy < 0 || zy >= height() || first == last) {
            std::fill(out, out + viewport.width, background);
            continue;
        }
        const ConstPixels& photo = photo_->pixels();
        const std::uint32_t* in =
            photo.pixels + static_cast<std::ptrdiff_t>(rows_[zy]) * photo.stride;
        std::fill(out, out + first, background);
        const int* columns = columns_.data();
        for (int x = first; x < last; ++x) out[x] = in[columns[left + x]];
        std::fill(out + last, out + viewport.width, background);
    }
}

}  // namespace view
