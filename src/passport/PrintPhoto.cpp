#include "passport/PrintPhoto.h"

#include "passport/Resample.h"

namespace passport {

PrintPhoto makePrintPhoto(const raster::ConstPixels& photo, const Crop& crop) {
    PrintPhoto print;
    print.pixels.resize(static_cast<std::size_t>(print.width) * print.height);
    const raster::Pixels dest{print.pixels.data(), print.width, print.height, print.width};
    resampleTurned(photo, {crop.x, crop.y, crop.width, crop.height(), crop.angleDegrees}, dest,
                   kFillColour);
    print.sourceWidthPixels = crop.width;
    print.sourceDpi = sourceDpi(crop);
    print.belowMinimumDpi = belowMinimumDpi(crop);
    print.overhang = overhangOf(crop, photo.width, photo.height);
    return print;
}

}  // namespace passport
