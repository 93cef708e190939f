#include "view/ZoomView.h"

#include <algorithm>

namespace view {

ZoomView::ZoomView(const ConstPixels& photo, int percent)
    : photo_(photo),
      percent_(percent),
      columns_(nearestSourceIndices(photo.width, zoomedPixels(photo.width, percent))),
      rows_(nearestSourceIndices(photo.height, zoomedPixels(photo.height, percent))) {}

std::uint32_t ZoomView::pixel(int x, int y) const {
    return photo_.pixels[static_cast<std::ptrdiff_t>(rows_[y]) * photo_.stride + columns_[x]];
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
        const std::uint32_t* in = photo_.pixels + static_cast<std::ptrdiff_t>(rows_[zy]) * photo_.stride;
        std::fill(out, out + first, background);
        const int* columns = columns_.data();
        for (int x = first; x < last; ++x) out[x] = in[columns[left + x]];
        std::fill(out + last, out + viewport.width, background);
    }
}

}  // namespace view
