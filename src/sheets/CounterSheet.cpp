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
            // Cut lines along the photo's own edges, as the print window's sheets have them.
            if (options.cutLines)
                drawCutLines(canvas, x, y, kTruePhotoWidthTwips, kTruePhotoHeightTwips);
        }
    }
    canvas.endPage();
}

}  // namespace sheets
