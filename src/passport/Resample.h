#pragma once

#include <cstdint>

#include "raster/Pixels.h"

namespace passport {

// A rectangle of a photo in its own pixels; fractions allowed.
struct Area {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// Scales `area` of `source` (which may reach outside it) onto the whole of `dest` by exact
// area averaging: each destination pixel is the mean of the source it covers, every source
// pixel weighted by the part of it that falls inside (a box filter with fractional
// coverage). Where the area lies outside the source, `fill` counts instead. Nothing is
// sharpened or picked: a downscale keeps all the detail its size can hold and adds none.
// Pixels are 0xffRRGGBB; the result is rounded to the nearest level. An area of no size
// (or not a finite one) gives the pixel under its corner, or `fill`.
void resampleArea(const raster::ConstPixels& source, const Area& area, const raster::Pixels& dest,
                  std::uint32_t fill);

// A rectangle of a photo turned about its top-left corner (x, y): its top edge runs from
// there along (cos a, sin a) for `width` pixels and its left edge along (-sin a, cos a) for
// `height`, a = angleDegrees (y points down, so a positive angle turns it clockwise as seen).
struct TurnedArea {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double angleDegrees = 0;
};

// `area` of `source` onto the whole of `dest`, as resampleArea does, for a turned area: each
// destination pixel is the mean of the source under its turned square. At angle 0 it is
// resampleArea itself, pixel for pixel.
void resampleTurned(const raster::ConstPixels& source, const TurnedArea& area,
                    const raster::Pixels& dest, std::uint32_t fill);

}  // namespace passport
