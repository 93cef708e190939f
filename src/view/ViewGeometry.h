#pragma once

// The geometry of the main window's photo work, as plain functions on numbers and pixel
// arrays: zoomed sizes, scroll ranges, the capture frame, the nearest-pixel stretch. No Qt
// here, so every rule can be tested on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace view {

inline constexpr int kViewportWidth = 480;
inline constexpr int kViewportHeight = 360;
inline constexpr int kPhotoWidth = 127;   // PassportPhoto
inline constexpr int kPhotoHeight = 163;

inline constexpr int kMinGrabWidth = 50;
inline constexpr int kMaxGrabWidth = 270;
inline constexpr int kStartGrabWidth = 127;

// The capture frame's hot spot: the mouse pointer sits this far right of and below the
// frame's top-left corner, whatever the frame's size.
inline constexpr int kHotSpotX = 50;
inline constexpr int kHotSpotY = 65;

// Scroll values are signed 16-bit numbers.
inline constexpr int kScrollLimitLow = -32768;
inline constexpr int kScrollLimitHigh = 32767;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// GrabHeight for a frame width: width x 1.285 in double precision, ties to even
// (100 -> 128, 127 -> 163, 270 -> 347).
int grabHeight(int grabWidth);

// "127 x 163 pixels".
std::string frameSizeCaption(int grabWidth, int grabHeight);

// The frame for a pointer at (x, y): top-left corner at the hot-spot offset.
Rect captureRect(int pointerX, int pointerY, int grabWidth);

// The zoomed size in double precision: size / (100 / percent), as the status line shows it.
double zoomedLength(int length, int percent);

// The zoomed size in whole pixels (ties to even), at least 1 for a photo of at least 1 pixel.
int zoomedPixels(int length, int percent);

// A number in general format: at most 15 significant digits, no trailing zeros, no
// decimal separator for whole numbers; `decimalPoint` is the locale's separator.
std::string generalNumber(double value, char decimalPoint);

// "Zoomformat : 50%  /  Photo : 320 x 240 pixels".
std::string zoomCaption(int percent, double zoomedWidth, double zoomedHeight, char decimalPoint);

// The scroll range after loading a photo of `length` pixels along an axis whose viewport is
// `viewport` long and whose range subtracts `reserve` (530 across, 397 down): nullopt when the
// photo fits (the range is left alone). The maximum may be negative (481 wide -> -49).
std::optional<long long> loadScrollMax(int length, int viewport, int reserve);

// The scroll maximum after zooming: zoomed length - reserve when longer than the viewport,
// else the viewport length itself (480 or 360).
long long zoomScrollMax(int zoomedLength, int viewport, int reserve);

bool fitsScrollValue(long long value);

// For a stretch of `srcLength` pixels onto `dstLength` pixels without smoothing: which
// source pixel each destination pixel shows. This is the same sampling as Qt's plain
// (non-smooth) image stretch, fixed-point steps included, so a zoomed view is pixel for
// pixel what QImage::scaled(..., Qt::FastTransformation) would hold.
std::vector<int> nearestSourceIndices(int srcLength, int dstLength);

// Pixels are 32-bit values (Qt's RGB32: 0xffRRGGBB); strides are in pixels.
struct ConstPixels {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};
struct Pixels {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// Copies `src` (the part `from` of `source`, which may reach outside it) stretched onto the
// whole of `dest`, nearest pixel, no blending. Where the rectangle lies outside the source,
// the destination gets `background`.
void stretchRect(const ConstPixels& source, const Rect& from, const Pixels& dest,
                 std::uint32_t background);

}  // namespace view
