#pragma once

#include "sheets/SheetCanvas.h"

namespace sheets {

// The A4 sheet of the counter photo of today's rules: one to five rows of five photos of
// exactly 35 x 45 mm, for a home printer at 100 %. The photos take the places of the print
// window's row layouts (the same top-left corners), but at their true size: the 2006 photo
// of those layouts is 2005 x 2585 twips, 35.37 x 45.60 mm, which would print a head framed at
// 29.7 mm as 30.0 mm, over the limit.

// 35 x 45 mm in twips is 1984.25 x 2551.18: whole twips, as the page is addressed, 0.004 mm
// short at most.
inline constexpr double kTwipsPerMm = 1440 / 25.4;
inline constexpr int kTruePhotoWidthTwips = 1984;
inline constexpr int kTruePhotoHeightTwips = 2551;
static_assert(kTruePhotoWidthTwips - 35 * kTwipsPerMm < 0.5 &&
              35 * kTwipsPerMm - kTruePhotoWidthTwips < 0.5);
static_assert(kTruePhotoHeightTwips - 45 * kTwipsPerMm < 0.5 &&
              45 * kTwipsPerMm - kTruePhotoHeightTwips < 0.5);

struct CounterSheetOptions {
    int rows = 1;  // 1-5; values outside count as the nearest end
    bool cutLines = false;
};

// Draws the sheet on `canvas`, every photo before its cut lines, then ends the page.
void drawCounterSheet(const CounterSheetOptions& options, SheetCanvas& canvas);

}  // namespace sheets
