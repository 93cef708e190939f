#pragma once

#include <optional>

#include "passport/HeadMarks.h"
#include "passport/Rules.h"

namespace passport {

// The part of the loaded photo that becomes the 35 x 45 mm photo, in the photo's own pixels
// (fractions allowed). It always has the photo's proportion: height = width x 45 / 35. It
// may reach outside the photo; what lies outside is filled, and the check says so.
struct Crop {
    double x = 0;
    double y = 0;
    double width = 0;
    double height() const { return width * kPhotoHeightMm / kPhotoWidthMm; }
    // Loaded-photo pixels per millimetre of the printed photo.
    double pixelsPerMm() const { return width / kPhotoWidthMm; }
    friend bool operator==(const Crop&, const Crop&) = default;
};

// The head measured against the photo a crop makes, in printed millimetres. Optional values
// are unknown when the marks lack what they need (no eyes, no jaw sides).
struct Measures {
    double headHeightMm = 0;                // chin to crown
    std::optional<double> faceWidthMm;      // jaw side to jaw side
    double centreOffsetMm = 0;              // face midline right of the photo's centre line
    std::optional<double> tiltDegrees;      // eye line against the horizontal, signed
    std::optional<double> eyeLineFraction;  // eye line height above the bottom edge / height
    double sourceDpi = 0;                   // loaded-photo pixels per inch of print
};

// --- Where framing puts the head -----------------------------------------------------------
//
// Head height (chin to crown): the middle of the age group's band, so that an error in the
// crown or chin of up to 2 mm (from 11) or 5.5 mm (up to 10) still passes. Children's heads
// are framed smaller, as the band asks, which also leaves room for a child who moves.
inline constexpr double kTargetHeadMmFrom11 = (kHeadMinMmFrom11 + kHeadMaxMmFrom11) / 2;  // 28
inline constexpr double kTargetHeadMmUpTo10 = (kHeadMinMmUpTo10 + kHeadMaxMmUpTo10) / 2;  // 24.5
// The eye line in the middle of the ISO/ICAO band: 60 % of the height above the bottom edge,
// 18 mm below the top. With a 28 mm head and eyes about halfway down it, the crown comes
// some 5 mm below the top edge and the chin some 12 mm above the bottom edge.
inline constexpr double kTargetEyeLineFromTopMm =
    kPhotoHeightMm * (1 - (kEyeLineMinFraction + kEyeLineMaxFraction) / 2);
// Crown and chin stay at least this far inside the top and bottom edges, even when the eye
// line must leave the middle of its band for it (a crown far above the eyes).
inline constexpr double kMinHeadMarginMm = 2.0;
// Where the eye line lies between crown and chin when the marks have no eyes (the user placed
// only crown and chin): measured on adult faces, hair included, it is a little under half.
inline constexpr double kEyeLineFromCrown = 0.48;

// Crops made by the helpers below are never narrower or wider than this (loaded-photo pixels).
inline constexpr double kMinCropWidth = 1.0;
inline constexpr double kMaxCropWidth = 1e7;

double targetHeadMm(AgeGroup group);

// The vertical line through the middle of the face: halfway between the jaw sides; without
// them, halfway between the eyes; without those, halfway between crown and chin.
double faceMidlineX(const HeadMarks& marks);

// The height of the eye line: the middle of the two eye centres, so a tilted head is framed
// by the middle of its eyes. Without eyes, estimated from crown and chin.
double eyeLineY(const HeadMarks& marks);

// Chin to crown in loaded-photo pixels (the straight distance, so a tilted head keeps its
// size).
double headHeightPixels(const HeadMarks& marks);

// The crop that puts the head where the rules want it, as set out above. The crop is never
// rotated: rotating the photo would be editing it, and a tilted head must be reported, not
// hidden. Marks that are not finite or lie absurdly far out are brought to the nearest sane
// value first, so the crop is always a finite rectangle of at least kMinCropWidth.
Crop frameHead(const HeadMarks& marks, AgeGroup group);

// The start of manual framing when no single face was found: the largest 35 : 45 crop
// centred on the photo.
Crop centredCrop(int photoWidth, int photoHeight);

// Measures the head through `crop`.
Measures measure(const HeadMarks& marks, const Crop& crop);

// Loaded-photo pixels per inch of print: crop width in pixels per 35 mm.
double sourceDpi(const Crop& crop);
// A crop narrower than kMinimumSourceWidth pixels prints below 400 dpi.
bool belowMinimumDpi(const Crop& crop);

// Which edges of the photo a crop reaches beyond (where the photo gets filled).
struct Overhang {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    bool any() const { return left || top || right || bottom; }
    friend bool operator==(const Overhang&, const Overhang&) = default;
};
// A crop edge within a thousandth of a pixel of the photo's edge counts as inside.
Overhang overhangOf(const Crop& crop, int photoWidth, int photoHeight);

// The user's corrections in the window: drag by (dx, dy) loaded-photo pixels, and scale by
// `factor` (> 1 takes in more of the photo, so the head gets smaller) keeping `anchor` (for
// example the point under the mouse wheel) where it is on the photo. The width stays within
// kMinCropWidth .. kMaxCropWidth; a factor that is not a positive finite number changes nothing.
Crop moveCrop(const Crop& crop, double dx, double dy);
Crop scaleCrop(const Crop& crop, double factor, Point anchor);
// The same crop with the head `mm` tall on the print (the window's size slider), scaled
// about the head's middle.
Crop cropForHeadHeight(const Crop& crop, const HeadMarks& marks, double mm);

}  // namespace passport
