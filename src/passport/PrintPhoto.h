#pragma once

#include <cstdint>
#include <vector>

#include "passport/Framing.h"
#include "raster/Pixels.h"

namespace passport {

// What the photo gets where the crop reaches outside the loaded photo: white, as the
// background the rules allow, and the overhang is recorded so it is never passed off as
// part of the photo.
inline constexpr std::uint32_t kFillColour = 0xffffffffu;

// The 35 x 45 mm photo at 600 dpi, cut from the loaded photo's own pixels.
struct PrintPhoto {
    std::vector<std::uint32_t> pixels;  // kPrintWidth x kPrintHeight, 0xffRRGGBB, row by row
    int width = kPrintWidth;
    int height = kPrintHeight;
    // The true density of the source: crop width in loaded-photo pixels across 35 mm, and
    // the same per inch. Below kMinimumSourceWidth pixels it prints below 400 dpi, however
    // many pixels the 600 dpi photo has.
    double sourceWidthPixels = 0;
    double sourceDpi = 0;
    bool belowMinimumDpi = false;
    // Edges where the crop reached outside the loaded photo and white was filled in.
    Overhang overhang;

    raster::ConstPixels view() const { return {pixels.data(), width, height, width}; }
};

// Cuts `crop` from `photo` and scales it once, by area averaging, to 827 x 1063 pixels.
PrintPhoto makePrintPhoto(const raster::ConstPixels& photo, const Crop& crop);

}  // namespace passport
