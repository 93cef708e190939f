#include "sheets/CounterSheet.h"

#include <algorithm>

#include "sheets/SheetLayout.h"

namespace sheets {

void drawCounterSheet(const CounterSheetOptions& options, SheetCanvas& canvas) {
    const int rows = std::clamp(options.rows, 1, 5);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < 5; ++column) {
            const int x = kGridLeft + kColumnStep * column;
            const int y = kGridTop + kRowStep * row;
            canvas.drawPicture(Picture::Photo, x, y, kTruePhotoWidthTwips, kTruePhotoHeightTwips);
            if (!options.cutLines) continue;
            // Cut lines along the photo's own edges, reaching past its corners as the print
            // window's do.
            const int right = x + kTruePhotoWidthTwips;
            const int bottom = y + kTruePhotoHeightTwips;
            canvas.drawLine(x - kCutOverhang, y, right + kCutOverhang, y, kBlack);
            canvas.drawLine(x - kCutOverhang, bottom, right + kCutOverhang, bottom, kBlack);
            canvas.drawLine(x, y - kCutOverhang, x, bottom + kCutOverhang, kBlack);
            canvas.drawLine(right, y - kCutOverhang, right, bottom + kCutOverhang, kBlack);
        }
    }
    canvas.endPage();
}

}  // namespace sheets
