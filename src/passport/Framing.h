#pragma once

#include <optional>
#include <string>

#include "passport/HeadMarks.h"
#include "passport/Rules.h"

namespace passport {

// The part of the loaded photo that becomes the 35 x 45 mm photo, in the photo's own pixels
// (fractions allowed). It always has the photo's proportion: height = width x 45 / 35. It
// may reach outside the photo; what lies outside is filled, and the check says so.
//
// A crop may be turned, as a photo service straightens the frame round a tilted head: its
// top edge runs from its top-left corner (x, y) along (cos a, sin a) and its left edge along
// (-sin a, cos a), a = angleDegrees. y points down, so a positive angle turns the frame
// clockwise as seen, which levels eyes whose right one (as seen) lies lower.
struct Crop {
    double x = 0;
    double y = 0;
    double width = 0;
    double angleDegrees = 0;
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
    double spaceAboveHeadMm = 0;            // from the top edge down to the crown
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
// some 4 mm below the top edge and the chin some 13 mm above the bottom edge.
inline constexpr double kTargetEyeLineFromTopMm =
    kPhotoHeightMm * (1 - (kEyeLineMinFraction + kEyeLineMaxFraction) / 2);
// Photo services leave 3-5 mm of background above the crown. Heads differ in how far the
// crown lies above the eyes (high hair 16 mm and more at a 28 mm head, a bald head 12), so the
// eye line leaves 60 % as far as it takes to keep the crown in that room, never nearer than
// kEyeBandMarginMm to the ends of its own band (the landmarks' jitter must not fail it).
inline constexpr double kCrownRoomMinMm = 3.0;
inline constexpr double kCrownRoomMaxMm = 5.0;
inline constexpr double kEyeBandMarginMm = 0.5;
// Crown and chin stay at least this far inside the top and bottom edges, even when the eye
// line must leave the middle of its band for it (a crown far above the eyes).
inline constexpr double kMinHeadMarginMm = 2.0;
// Where the eye line lies between crown and chin when the marks have no eyes (the user placed
// only crown and chin): halfway; on the test faces, hair included, 0.46 to 0.53.
inline constexpr double kEyeLineFromCrown = 0.5;

// Crops made by the helpers below are never narrower or wider than this (loaded-photo pixels).
inline constexpr double kMinCropWidth = 1.0;
inline constexpr double kMaxCropWidth = 1e7;

// The face width has a band of its own, 16-20 mm, and on most faces the jaw sides lie only
// 0.57-0.59 of chin to crown apart: at 28 mm such a face is 16.0-16.5 mm wide, on its lower
// limit. So where the marks know the jaw sides, the head is framed at the height nearest the
// target that keeps both the head and the face this far inside their bands; where no height
// can, the head's own band wins and the face comes as near its band as that allows.
inline constexpr double kBandMarginMm = 0.5;

double targetHeadMm(AgeGroup group);

// The head height framing aims at for these marks: targetHeadMm, moved (as little as it
// takes) to keep the face width inside its band as well, as set out above.
double framedHeadMm(const HeadMarks& marks, AgeGroup group);

// The vertical line through the middle of the face: halfway between the jaw sides; without
// them, halfway between the eyes; without those, halfway between crown and chin.
double faceMidlineX(const HeadMarks& marks);

// The height of the eye line: the middle of the two eye centres, so a tilted head is framed
// by the middle of its eyes. Without eyes, estimated from crown and chin.
double eyeLineY(const HeadMarks& marks);

// Chin to crown in loaded-photo pixels (the straight distance, so a tilted head keeps its
// size).
double headHeightPixels(const HeadMarks& marks);

// Levelling: a head tilted up to this far is framed by a crop turned about the middle of the
// eyes, so that the eyes lie level in the photo. The frame turns, nothing inside the face
// changes, as photo services straighten a crop. A head tilted further is framed unturned:
// the photo should be taken again, and "Eyes level" says so.
inline constexpr double kMaxLevellingDegrees = 10.0;
enum class Levelling { Off, On };

// The tilt of the eye line against the photo's horizontal, in degrees, positive when the
// right eye (as seen) lies lower; unknown without eye marks.
std::optional<double> eyeTiltDegrees(const HeadMarks& marks);

// The crop that puts the head where the rules want it, as set out above, turned to level the
// eyes when `levelling` is on and the tilt is within kMaxLevellingDegrees. Marks that are not
// finite or lie absurdly far out are brought to the nearest sane value first, so the crop is
// always a finite rectangle of at least kMinCropWidth.
Crop frameHead(const HeadMarks& marks, AgeGroup group, Levelling levelling = Levelling::Off);

// What levelling did, for people: "levelled: 8.3 degrees", "not levelled: the head is tilted
// 12.4 degrees, more than 10", or "" when nothing was turned and nothing needed it.
std::string levellingNote(const HeadMarks& marks, const Crop& crop, Levelling levelling);

// A point of the loaded photo in the crop's own frame (loaded-photo pixels from its top-left
// corner, along its edges), and back.
Point toCropFrame(const Crop& crop, Point photoPoint);
Point fromCropFrame(const Crop& crop, Point cropPoint);
// All the marks in the crop's own frame.
HeadMarks marksInCropFrame(const HeadMarks& marks, const Crop& crop);

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

// A point of the loaded photo in the pixels of the 600 dpi photo `crop` makes (827 x 1063),
// and back: for drawing marks over the framed photo and for markers dragged on it.
Point toPrintPixels(const Crop& crop, Point photoPoint);
Point toPhotoPixels(const Crop& crop, Point printPoint);

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
