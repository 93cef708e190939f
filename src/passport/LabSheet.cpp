#include "passport/LabSheet.h"

#include <algorithm>
#include <cmath>

#include "passport/Resample.h"
#include "passport/Rules.h"

namespace passport {

namespace {

int toPixels(double mm) {
    return static_cast<int>(std::lround(mm * kPrintDpi / kMmPerInch));
}

void fillRect(LabSheet& sheet, int x, int y, int width, int height, std::uint32_t colour) {
    const int x0 = std::max(x, 0), x1 = std::min(x + width, sheet.width);
    const int y0 = std::max(y, 0), y1 = std::min(y + height, sheet.height);
    for (int row = y0; row < y1; ++row) {
        std::fill_n(sheet.pixels.begin() + std::ptrdiff_t(row) * sheet.width + x0,
                    std::max(0, x1 - x0), colour);
    }
}

// Eight marks: two at each corner, along the photo's edge lines, pointing away from it.
void drawCutMarks(LabSheet& sheet, const raster::Rect& photo) {
    const int offset = toPixels(kCutMarkOffsetMm);
    const int length = toPixels(kCutMarkLengthMm);
    const int half = kCutMarkThickness / 2;
    const int right = photo.x + photo.width;
    const int bottom = photo.y + photo.height;
    for (int y : {photo.y, bottom}) {
        fillRect(sheet, photo.x - offset - length, y - half, length, kCutMarkThickness,
                 kCutMarkColour);
        fillRect(sheet, right + offset, y - half, length, kCutMarkThickness, kCutMarkColour);
    }
    for (int x : {photo.x, right}) {
        fillRect(sheet, x - half, photo.y - offset - length, kCutMarkThickness, length,
                 kCutMarkColour);
        fillRect(sheet, x - half, bottom + offset, kCutMarkThickness, length, kCutMarkColour);
    }
}

}  // namespace

LabSheet makeLabSheet(const raster::ConstPixels& photo) {
    LabSheet sheet;
    sheet.pixels.assign(std::size_t(sheet.width) * sheet.height, 0xffffffffu);
    std::vector<std::uint32_t> scaled;
    raster::ConstPixels print = photo;
    if (photo.width != kPrintWidth || photo.height != kPrintHeight) {
        scaled.resize(std::size_t(kPrintWidth) * kPrintHeight);
        resampleArea(photo, {0, 0, double(photo.width), double(photo.height)},
                     {scaled.data(), kPrintWidth, kPrintHeight, kPrintWidth}, 0xffffffffu);
        print = {scaled.data(), kPrintWidth, kPrintHeight, kPrintWidth};
    }
    const int gap = toPixels(kLabGapMm);
    const int margin = toPixels(kLabMarginMm);
    const int columns = (sheet.width - 2 * margin + gap) / (kPrintWidth + gap);
    const int rows = (sheet.height - 2 * margin + gap) / (kPrintHeight + gap);
    const int left = (sheet.width - columns * (kPrintWidth + gap) + gap) / 2;
    const int top = (sheet.height - rows * (kPrintHeight + gap) + gap) / 2;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const raster::Rect place{left + c * (kPrintWidth + gap), top + r * (kPrintHeight + gap),
                                     kPrintWidth, kPrintHeight};
            for (int y = 0; y < place.height; ++y) {
                const std::uint32_t* in = print.pixels + std::ptrdiff_t(y) * print.stride;
                std::copy_n(
                    in, place.width,
                    sheet.pixels.begin() + std::ptrdiff_t(place.y + y) * sheet.width + place.x);
            }
            sheet.photos.push_back(place);
        }
    }
    for (const raster::Rect& place : sheet.photos) drawCutMarks(sheet, place);
    return sheet;
}

}  // namespace passport
