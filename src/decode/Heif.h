#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/Image.h"

namespace decode {

// True when the bytes start an ISO-BMFF 'ftyp' box whose major or compatible brands name a
// HEIF still image (heic, heix, heim, heis, hevc, hevx, mif1, msf1; also avif, so that an AVIF
// photo is taken here and gets a plain answer rather than "not a picture").
bool isHeif(const unsigned char* data, std::size_t size);

struct HeifPhoto {
    // The primary image, upright: libheif applies the file's turn and mirror (irot, imir).
    Image image;
    // Its ICC profile; or one made from its nclx colour primaries and transfer; empty when it
    // says nothing (then it is sRGB).
    std::vector<unsigned char> icc;
    // It has an alpha plane with some pixel not fully opaque. The pixels keep the colour stored
    // under the alpha, made opaque.
    bool transparent = false;
    // Empty on success; else for people, to follow the file's name: "is damaged or
    // incomplete", "uses a codec Portrik cannot decode (AV1)", "has 120 megapixels; at most 100
    // can be loaded".
    std::string problem;
};

// Decodes the primary image of a HEIF file held in memory (a file with several images gives
// its primary one). The size is checked against maxPixels before any pixel is decoded. Never
// throws, never crashes on hostile input.
HeifPhoto decodeHeif(const unsigned char* data, std::size_t size,
                     std::int64_t maxPixels = kMaxPixels);

}  // namespace decode
