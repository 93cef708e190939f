#pragma once

// The geometry of the main window's photo work, as plain functions on numbers and pixel
// arrays: zoomed sizes, scroll ranges, the capture frame, the nearest-pixel stretch. No Qt
// here, so every rule can be tested on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "raster/Pixels.h"

namespace view {

inline constexpr int kViewportWidth = 480;
inline constexpr int kViewportHeight = 360;
inline constexpr int kPhotoWidth = 127;  // PassportPhoto, in pixels
inline constexpr int kPhotoHeight = 163;

inline constexpr int kMinGrabWidth = 50;
inline constexpr int kMaxGrabWidth = 270;
inline constexpr int kStartGrabWidth = 127;

// The capture frame's hot spot: the mouse pointer sits this far right of and below the
// frame's top-left corner, whatever the frame's size.
inline constexpr int kHotSpotX = 50;
inline constexpr int kHotSpotY = 65;

// The two directions of the viewport: across (HScroll1) and down (VScroll1).
enum class Axis { Horizontal, Vertical };

using raster::Rect;

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

// The one scroll-range rule of loading and zooming. Along `axis`, a (zoomed) photo `length`
// pixels long scrolls from 0 to length - 530 across, or length - 397 down, when it is longer
// than the viewport; the maximum may be negative (481 wide gives -49). nullopt when it fits
// inside the viewport: loading then leaves the range as it was, zooming sets it to the
// viewport's length.
std::optional<long long> scrollMax(Axis axis, int length);

// The viewport's length along `axis`: 480 across, 360 down.
int viewportLength(Axis axis);

// Scroll values are signed 16-bit numbers: the longest photo whose scroll maximum they reach,
// 33297 pixels across and 33164 down.
int longestScrollable(Axis axis);

// For a stretch of `srcLength` pixels onto `dstLength` pixels without smoothing: which
// source pixel each destination pixel shows. This is the same sampling as Qt's plain
// (non-smooth) image stretch, fixed-point steps included, so a zoomed view is pixel for
// pixel what QImage::scaled(..., Qt::FastTransformation) would hold.
std::vector<int> nearestSourceIndices(int srcLength, int dstLength);

using raster::ConstPixels;
using raster::Pixels;

// Copies `src` (the part `from` of `source`, which may reach outside it) stretched onto the
// whole of `dest`, nearest pixel, no blending. Where the rectangle lies outside the source,
// the destination gets `background`.
void stretchRect(const ConstPixels& source, const Rect& from, const Pixels& dest,
                 std::uint32_t background);

}  // namespace view
