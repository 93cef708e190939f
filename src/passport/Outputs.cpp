#include "passport/Outputs.h"

#include "passport/JpegOutput.h"
#include "passport/LabSheet.h"
#include "passport/Rules.h"

namespace passport {

namespace {

OutputFile jpeg(const raster::ConstPixels& pixels) {
    OutputFile file;
    file.bytes = encodeJpeg(pixels, kPrintDpi, &file.error);
    if (file.bytes.empty() && file.error.empty()) file.error = "the JPEG could not be made";
    return file;
}

}  // namespace

OutputFile photoJpeg(const raster::ConstPixels& printPhoto) {
    return jpeg(printPhoto);
}

OutputFile labSheetJpeg(const raster::ConstPixels& printPhoto) {
    return jpeg(makeLabSheet(printPhoto).view());
}

}  // namespace passport
