#pragma once

#include <cstddef>
#include <utility>

#include "decode/Image.h"

namespace decode {

// The EXIF orientation (1..8) in an EXIF block (TIFF header "II*\0" or "MM\0*", optionally
// preceded by "Exif\0\0"); 1 when there is none or the block is damaged (never reads outside
// the block).
int exifOrientation(const unsigned char* data, std::size_t size);

// The EXIF block inside a PNG file (its eXIf chunk) or a WebP file (the RIFF 'EXIF' chunk);
// {nullptr, 0} when there is none, or the file is cut short before it ends.
std::pair<const unsigned char*, std::size_t> exifBlockOf(const unsigned char* data,
                                                         std::size_t size);

// `image` turned upright by EXIF orientation 1..8 (anything else: an unchanged copy).
// 6 means the camera was held turned: the picture is turned 90° clockwise to stand upright.
Image upright(const raster::ConstPixels& image, int orientation);

}  // namespace decode
