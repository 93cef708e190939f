#include "sheets/SheetLayout.h"

#include <algorithm>

namespace sheets {

namespace {

int clampLayout(int layout) {
    return std::clamp(layout, kFirstLayout, kLastLayout);
}

// A standard photo at (x, y) and, when asked for, its four cut lines right after it.
void drawPhoto(SheetCanvas& canvas, int x, int y, bool cutLines) {
    canvas.drawPicture(Picture::Photo, x, y, kPhotoWidthTwips, kPhotoHeightTwips);
    if (cutLines) drawCutLines(canvas, x, y, kPhotoWidthTwips, kPhotoHeightTwips);
}

void drawRows(SheetCanvas& canvas, int rows, bool cutLines) {
    int x = kGridLeft;
    int y = kGridTop;
    for (int i = 1; i <= 5 * rows; ++i) {
        drawPhoto(canvas, x, y, cutLines);
        x += kColumnStep;
        // Tested after the step: the sixth position of a row is never drawn.
        if (x > kWrapLimit) {
            x = kGridLeft;
            y += kRowStep;
        }
    }
}

void drawRow(SheetCanvas& canvas, int rowIndex, bool cutLines) {
    int x = kGridLeft;
    const int y = kGridTop + kRowStep * rowIndex;
    for (int i = 0; i < 5; ++i) {
        drawPhoto(canvas, x, y, cutLines);
        x += kColumnStep;
    }
}

void drawColumn(SheetCanvas& canvas, int columnIndex, bool cutLines) {
    const int x = kGridLeft + kColumnStep * columnIndex;
    int y = kGridTop;
    for (int i = 0; i < 5; ++i) {
        drawPhoto(canvas, x, y, cutLines);
        y += kRowStep;
    }
}

void drawStamps(SheetCanvas& canvas, const SheetOptions& options) {
    const std::string value = kValuePrefix + options.valueText;
    const Rgb textColour = options.blackText ? kBlack : kWhite;
    int x = kStampStart;
    int y = kStampStart;
    for (int i = 1; i <= kStampCount; ++i) {
        canvas.drawPicture(Picture::StampFrame, x, y, kStampWidth, kStampHeight);
        canvas.drawPicture(Picture::Photo, x + kStampPhotoInset, y + kStampPhotoInset,
                           kStampPhotoWidth, kStampPhotoHeight);
        canvas.setFont(kStampFont, true, kStampTextPoints);
        canvas.setTextColour(textColour);
        canvas.drawText(x + kStampTextLeft, y + kValueTextTop, value);
        canvas.drawText(x + kStampTextLeft, y + kCountryTextTop, options.countryText);
        x += kStampStepX;
        if (x > kWrapLimit) {
            x = kStampStart;
            y += kStampStepY;
        }
    }
}

}  // namespace

void drawCutLines(SheetCanvas& canvas, int x, int y, int width, int height) {
    const int right = x + width;
    const int bottom = y + height;
    canvas.drawLine(x - kCutOverhang, y, right + kCutOverhang, y, kBlack);
    canvas.drawLine(x - kCutOverhang, bottom, right + kCutOverhang, bottom, kBlack);
    canvas.drawLine(x, y - kCutOverhang, x, bottom + kCutOverhang, kBlack);
    canvas.drawLine(right, y - kCutOverhang, right, bottom + kCutOverhang, kBlack);
}

Family familyOf(int layout) {
    layout = clampLayout(layout);
    if (layout <= 5) return Family::Rows;
    if (layout <= 9) return Family::Row;
    if (layout <= 14) return Family::Column;
    if (layout == 15) return Family::Stamps;
    return Family::Poster;
}

void drawSheet(const SheetOptions& options, SheetCanvas& canvas) {
    const int v = clampLayout(options.layout);
    switch (familyOf(v)) {
        case Family::Rows:
            drawRows(canvas, v, options.cutLines);
            break;
        case Family::Row:
            drawRow(canvas, v - 5, options.cutLines);
            break;
        case Family::Column:
            drawColumn(canvas, v - 10, options.cutLines);
            break;
        case Family::Stamps:
            drawStamps(canvas, options);
            break;
        case Family::Poster:
            canvas.drawPicture(Picture::Photo, kPosterLeft, kPosterTop, kPosterWidth,
                               kPosterHeight);
            break;
    }
    canvas.endPage();
}

}  // namespace sheets
