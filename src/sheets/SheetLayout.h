#pragma once

#include <string>

#include "sheets/SheetCanvas.h"

namespace sheets {

// The selector runs from 1 to 16.
inline constexpr int kFirstLayout = 1;
inline constexpr int kLastLayout = 16;

// The five kinds of sheet the selector chooses from: 1-5 full rows of five photos, 6-9 one
// row in row position 2-5, 10-14 one column in column position 1-5, 15 the 42 stamps,
// 16 the poster.
enum class Family { Rows, Row, Column, Stamps, Poster };

// The family of selector value `layout`; values outside 1..16 count as the nearest end.
Family familyOf(int layout);

// What a sheet is drawn from besides the photo: the print window's options.
struct SheetOptions {
    int layout = kFirstLayout;
    // Cut lines round every photo of the rows, row and column sheets (Kniplijn).
    bool cutLines = false;
    // Stamp texts in black (Check1 checked) or in white.
    bool blackText = true;
    // The stamp texts as typed (Text1, Text2), UTF-8.
    std::string countryText = "Nederland";
    std::string valueText = "0.39";
};

// --- Page geometry in twips ----------------------------------------------------------------

// A standard photo of the rows, row and column sheets: 35.37 x 45.60 mm.
inline constexpr int kPhotoWidthTwips = 2005;
inline constexpr int kPhotoHeightTwips = 2585;
// The photo grid: column c starts at 450 + 2120 c, row r at 600 + 3000 r.
inline constexpr int kGridLeft = 450;
inline constexpr int kGridTop = 600;
inline constexpr int kColumnStep = 2120;
inline constexpr int kRowStep = 3000;
// Cut lines reach this far beyond each corner of a photo.
inline constexpr int kCutOverhang = 150;
// A drawing position past this has left the sheet's last column and wraps to the next row.
inline constexpr int kWrapLimit = 9900;

// The stamp sheet: 7 rows of 6 stamps whose frames overlap a little.
inline constexpr int kStampStart = 300;
inline constexpr int kStampWidth = 1785;
inline constexpr int kStampHeight = 2235;
inline constexpr int kStampStepX = 1770;
inline constexpr int kStampStepY = 2205;
inline constexpr int kStampCount = 42;
// The photo fills the frame's white window: 150 twips in from the top-left, 150 to spare at
// the right and the bottom.
inline constexpr int kStampPhotoInset = 150;
inline constexpr int kStampPhotoWidth = 1485;
inline constexpr int kStampPhotoHeight = 1935;
// Top-left corners of the value text and the country text, relative to the stamp.
inline constexpr int kStampTextLeft = 210;
inline constexpr int kValueTextTop = 210;
inline constexpr int kCountryTextTop = 1800;
inline constexpr int kStampTextPoints = 10;
inline constexpr char kStampFont[] = "Arial";
// "€ " (the euro sign in UTF-8 and a blank) starts the value text.
inline constexpr char kValuePrefix[] = "\xE2\x82\xAC ";

// The poster: 186.80 x 271.46 mm, stretched taller than the photo's own proportion.
inline constexpr int kPosterLeft = 450;
inline constexpr int kPosterTop = 450;
inline constexpr int kPosterWidth = 10590;
inline constexpr int kPosterHeight = 15390;

// The four cut lines round a photo at (x, y), `width` x `height` twips: along its edges,
// reaching kCutOverhang past its corners; top, bottom, left, right.
void drawCutLines(SheetCanvas& canvas, int x, int y, int width, int height);

// Draws the sheet for `options` on `canvas`, then ends the page. Every photo is drawn before
// its cut lines. The stamp and poster sheets never have cut lines.
void drawSheet(const SheetOptions& options, SheetCanvas& canvas);

}  // namespace sheets
