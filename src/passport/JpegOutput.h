#pragma once

#include <string>
#include <vector>

#include "raster/Pixels.h"

namespace passport {

// A counter and a photo lab see no compression artefacts at this quality with colour kept
// at full resolution (4:4:4); the 600 dpi photo comes to some 400 KB.
inline constexpr int kJpegQuality = 95;

// `pixels` (0xffRRGGBB) as a baseline JPEG file: quality kJpegQuality, 4:4:4, accurate DCT,
// `dpi` as the density of its JFIF header. An Exif block repeats the density (programs that
// read only Exif find it too) and marks the colours as sRGB, which they are: the photo's
// pixels pass through unchanged from the camera's sRGB JPEG. Empty, with the reason in
// `error`, when the encoder fails.
std::vector<unsigned char> encodeJpeg(const raster::ConstPixels& pixels, int dpi,
                                      std::string* error = nullptr);

}  // namespace passport
