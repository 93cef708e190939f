#include "view/ViewGeometry.h"

#include <cmath>
#include <cstdio>

#include "arithmetic/Rounding.h"

namespace view {

int grabHeight(int grabWidth) {
    return static_cast<int>(arithmetic::roundHalfEven(grabWidth * 1.285));
}

std::string frameSizeCaption(int grabWidth, int grabHeight) {
    return std::to_string(grabWidth) + " x " + std::to_string(grabHeight) + " pixels";
}

Rect captureRect(int pointerX, int pointerY, int grabWidth) {
    return {pointerX - kHotSpotX, pointerY - kHotSpotY, grabWidth, grabHeight(grabWidth)};
}

double zoomedLength(int length, int percent) {
    return static_cast<double>(length) / (100.0 / static_cast<double>(percent));
}

int zoomedPixels(int length, int percent) {
    if (length <= 0) return 0;
    const long long pixels = arithmetic::roundHalfEven(zoomedLength(length, percent));
    return pixels < 1 ? 1 : static_cast<int>(pixels);
}

std::string generalNumber(double value, char decimalPoint) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    std::string result(text);
    // %g may choose an exponent for very large or small values; zoomed sizes never get there.
    for (char& c : result) {
        if (c == '.') c = decimalPoint;
    }
    return result;
}

std::string zoomCaption(int percent, double zoomedWidth, double zoomedHeight, char decimalPoint) {
    return "Zoomformat : " + std::to_string(percent) +
           "%  /  Photo : " + generalNumber(zoomedWidth, decimalPoint) + " x " +
           generalNumber(zoomedHeight, decimalPoint) + " pixels";
}

namespace {

// What the range subtracts from the photo's length: not the viewport's length but these.
int reserve(Axis axis) {
    return axis == Axis::Horizontal ? 530 : 397;
}

constexpr int kScrollValueMax = 32767;

}  // namespace

std::optional<long long> scrollMax(Axis axis, int length) {
    if (length <= viewportLength(axis)) return std::nullopt;
    return static_cast<long long>(length) - reserve(axis);
}

int viewportLength(Axis axis) {
    return axis == Axis::Horizontal ? kViewportWidth : kViewportHeight;
}

int longestScrollable(Axis axis) {
    return kScrollValueMax + reserve(axis);
}

std::vector<int> nearestSourceIndices(int srcLength, int dstLength) {
    std::vector<int> indices(dstLength > 0 ? dstLength : 0);
    if (srcLength <= 0 || dstLength <= 0) return indices;
    // Qt maps the source rectangle through a scale of dst/src and steps through it in 16.16
    // fixed point, starting half a destination pixel in.
    const double scale = static_cast<double>(dstLength) / srcLength;
    const double step = srcLength / (srcLength * scale);
    const auto fixedStep = static_cast<std::uint32_t>(static_cast<int>(0x00010000 * step));
    auto position = static_cast<std::uint32_t>(static_cast<int>(std::ceil(0.5 * step * 65536)) - 1);
    for (int i = 0; i < dstLength; ++i) {
        int index = static_cast<int>(position >> 16);
        indices[i] = index < srcLength ? index : srcLength - 1;
        position += fixedStep;
    }
    return indices;
}

void stretchRect(const ConstPixels& source, const Rect& from, const Pixels& dest,
                 std::uint32_t background) {
    if (dest.width <= 0 || dest.height <= 0) return;
    const std::vector<int> columns = nearestSourceIndices(from.width, dest.width);
    const std::vector<int> rows = nearestSourceIndices(from.height, dest.height);
    for (int y = 0; y < dest.height; ++y) {
        std::uint32_t* out = dest.pixels + static_cast<std::ptrdiff_t>(y) * dest.stride;
        const int sy = from.y + rows[y];
        if (sy < 0 || sy >= source.height || from.width <= 0 || from.height <= 0) {
            for (int x = 0; x < dest.width; ++x) out[x] = background;
            continue;
        }
        const std::uint32_t* in = source.pixels + static_cast<std::ptrdiff_t>(sy) * source.stride;
        for (int x = 0; x < dest.width; ++x) {
            const int sx = from.x + columns[x];
            out[x] = (sx >= 0 && sx < source.width) ? in[sx] : background;
        }
    }
}

}  // namespace view
