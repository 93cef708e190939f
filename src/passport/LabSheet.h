#pragma once

#include <cstdint>
#include <vector>

#include "raster/Pixels.h"

namespace passport {

// The photo-lab sheet: a 15 x 10 cm print (the "10 x 15" every lab makes) at 600 dpi, lying
// on its side, which holds eight 35 x 45 mm photos (upright it would hold six).
inline constexpr int kLabSheetWidth = 3543;   // 150 mm
inline constexpr int kLabSheetHeight = 2362;  // 100 mm
// Photos keep this far apart and this far from the sheet's edges, which a lab may trim.
inline constexpr double kLabGapMm = 2.0;
inline constexpr double kLabMarginMm = 2.0;
// Cut marks continue each photo's edges into the gaps, from this far beyond its corners for
// this long (the marks of neighbouring photos stay apart), two pixels (0.08 mm) thick.
inline constexpr double kCutMarkOffsetMm = 0.25;
inline constexpr double kCutMarkLengthMm = 0.6;
inline constexpr int kCutMarkThickness = 2;
inline constexpr std::uint32_t kCutMarkColour = 0xff000000u;

struct LabSheet {
    std::vector<std::uint32_t> pixels;  // white paper, the photos and their cut marks
    int width = kLabSheetWidth;
    int height = kLabSheetHeight;
    std::vector<raster::Rect> photos;  // where each photo lies, row by row

    raster::ConstPixels view() const { return {pixels.data(), width, height, width}; }
};

// As many copies of `photo` (the 827 x 1063 print photo; any other size is first scaled to
// it) as fit, in a centred grid, with cut marks.
LabSheet makeLabSheet(const raster::ConstPixels& photo);

}  // namespace passport
