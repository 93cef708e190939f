#pragma once

#include <string>
#include <vector>

#include "raster/Pixels.h"

namespace passport {

// The files the counter photo is handed on in, made the same way for the window and the
// command line, which only write them: the bytes of a whole file, or none and why.
struct OutputFile {
    std::vector<unsigned char> bytes;
    std::string error;  // for people, when `bytes` is empty
    bool ok() const { return !bytes.empty(); }
};

// The 600 dpi photo (827 x 1063 pixels, from makePrintPhoto) as its JPEG file.
OutputFile photoJpeg(const raster::ConstPixels& printPhoto);

// Eight copies of the 600 dpi photo with cut marks on one 15 x 10 cm JPEG at 600 dpi, for a
// photo lab.
OutputFile labSheetJpeg(const raster::ConstPixels& printPhoto);

}  // namespace passport
