#include "view/PhotoSession.h"

#include <algorithm>

namespace view {

namespace {

constexpr Axis kAxes[] = {Axis::Horizontal, Axis::Vertical};

// The scroll maximum along each axis of a (zoomed) photo width x height, nullopt where it fits
// the viewport; or, when a maximum is beyond what the scroll values reach, the refusal.
struct Ranges {
    std::optional<long long> max[2];
    std::optional<ScrollRefusal> refusal;
};

Ranges rangesFor(int width, int height) {
    Ranges ranges;
    for (const Axis axis : kAxes) {
        const int length = axis == Axis::Horizontal ? width : height;
        if (length > longestScrollable(axis) && !ranges.refusal) {
            ranges.refusal = ScrollRefusal{axis, width, height, longestScrollable(axis)};
        }
        ranges.max[axis == Axis::Horizontal ? 0 : 1] = scrollMax(axis, length);
    }
    return ranges;
}

}  // namespace

std::optional<ScrollRefusal> PhotoSession::load(std::shared_ptr<const Photo> photo) {
    const Ranges ranges = rangesFor(photo->width(), photo->height());
    if (ranges.refusal) return ranges.refusal;
    zoom_ = ZoomView(std::move(photo), 100);
    for (const Axis axis : kAxes) {
        const auto& max = ranges.max[axis == Axis::Horizontal ? 0 : 1];
        if (max) scrollState(axis) = {0, static_cast<int>(*max), 0};
    }
    return std::nullopt;
}

std::variant<Zoomed, ScrollRefusal> PhotoSession::zoom(int percent) {
    const int width = photo() ? photo()->width() : 0;
    const int height = photo() ? photo()->height() : 0;
    const int zoomedWidth = zoomedPixels(width, percent);
    const int zoomedHeight = zoomedPixels(height, percent);
    const Ranges ranges = rangesFor(zoomedWidth, zoomedHeight);
    if (ranges.refusal) return *ranges.refusal;
    zoom_ = ZoomView(photo(), percent);
    for (const Axis axis : kAxes) {
        const auto& max = ranges.max[axis == Axis::Horizontal ? 0 : 1];
        scrollState(axis) = {0, static_cast<int>(max.value_or(viewportLength(axis))), 0};
    }
    return Zoomed{percent, zoomedLength(width, percent), zoomedLength(height, percent)};
}

void PhotoSession::scrollTo(Axis axis, int value) {
    ScrollState& state = scrollState(axis);
    state.value = std::clamp(value, std::min(state.min, state.max), std::max(state.min, state.max));
}

void PhotoSession::renderViewport(const Pixels& viewport, std::uint32_t background) const {
    zoom_.render(horizontal_.value, vertical_.value, viewport, background);
}

void PhotoSession::setGrabWidth(int width) {
    grabWidth_ = std::clamp(width, kMinGrabWidth, kMaxGrabWidth);
}

const Rect& PhotoSession::placeFrame(int pointerX, int pointerY) {
    frame_ = captureRect(pointerX, pointerY, grabWidth_);
    return *frame_;
}

std::optional<Rect> PhotoSession::capture(int pointerX, int pointerY, const ConstPixels& viewport,
                                          const Pixels& passportPhoto,
                                          std::uint32_t background) const {
    if (!PhotoLoaded()) return std::nullopt;
    const Rect from = captureRect(pointerX, pointerY, grabWidth_);
    stretchRect(viewport, from, passportPhoto, background);
    return from;
}

}  // namespace view
