#pragma once

#include <cstdint>
#include <vector>

#include "passport/Framing.h"
#include "passport/HeadMarks.h"
#include "passport/PrintPhoto.h"
#include "passport/Resample.h"
#include "raster/Pixels.h"

namespace passport {

// What the photo's pixels show: the face's sharpness, colour and exposure, and the
// background round the head. Measured on the 600 dpi photo when there is one, or on the
// loaded photo through the crop (the pixels the 600 dpi photo is averaged from, white where
// the crop reaches outside): both are averaged down to the same coarser scale first, so they
// measure alike. Nothing is ever changed.

// The 35 x 45 mm photo's pixels in some image: where its top-left corner lies there, how
// many of the image's pixels one millimetre of the print spans, and how far the crop is
// turned in it.
struct PhotoPixels {
    raster::ConstPixels image;
    double x = 0;
    double y = 0;
    double perMmX = 0;
    double perMmY = 0;
    double angleDegrees = 0;
    // The crop of the loaded photo these pixels show, and that photo's size: what lies
    // beyond it is fill, even where the image has pixels (the 600 dpi photo's white).
    Crop source;
    int sourceWidth = 0;
    int sourceHeight = 0;

    // The 600 dpi photo made from `crop` of a loaded photo of the size given.
    static PhotoPixels ofPrint(const PrintPhoto& print, const Crop& crop, int photoWidth,
                               int photoHeight);
    static PhotoPixels through(const raster::ConstPixels& photo, const Crop& crop);
    // A rectangle of the print, in millimetres from its top-left corner, in the image's pixels.
    TurnedArea area(double xMm, double yMm, double widthMm, double heightMm) const;
    // A point of the print, in millimetres from its top-left corner, in the image's pixels.
    Point at(double xMm, double yMm) const;
    // Whether a rectangle of the print lies wholly on the image's own pixels (no fill).
    bool covers(double xMm, double yMm, double widthMm, double heightMm) const;
};

// --- The face, at a scale of its own ---------------------------------------------------------
//
// The face region is the rectangle round eyes, nose and mouth: 0.7 eye distances left and
// right of the middle of the eyes, from 0.4 eye distances above the eye line to 1.0 below it
// (the mouth). On the faces in tests/data/faces that stays on skin, brows, eyes, nose and
// mouth, inside the jaw line and clear of background and hair.
inline constexpr double kFaceHalfWidthEyes = 0.7;
inline constexpr double kFaceAboveEyes = 0.4;
inline constexpr double kFaceBelowEyes = 1.0;
// Without eye marks (the user placed only crown and chin) the eye distance is taken as this
// share of chin to crown: 0.24-0.25 on the faces of tests/data/faces whose crown was found.
inline constexpr double kEyeDistancePerHead = 0.25;
// The region is measured with this many pixels between the eye centres, whatever the photo's
// resolution: sharpness is then the detail of the face itself (1/64 of the eye distance is
// about 0.11 mm on the print, the finest a counter clerk sees at reading distance), not the
// number of pixels that happen to cover it. A photo that meets 400 dpi has some 110 source
// pixels between the eyes, so every photo the rules allow has this detail to show.
inline constexpr double kSharpnessEyeDistance = 64;
// A face region less than this share inside the photo is not measured.
inline constexpr double kMinFaceInside = 0.9;

// The face region averaged down to kSharpnessEyeDistance pixels between the eyes.
struct FaceSample {
    std::vector<std::uint32_t> pixels;  // 0xffRRGGBB, row by row
    int width = 0;
    int height = 0;
    double insideShare = 0;  // share of the region inside the photo (the rest is fill)
    bool fromEyes = false;   // placed by the eye marks (else estimated from crown and chin)
    raster::ConstPixels view() const { return {pixels.data(), width, height, width}; }
};
FaceSample sampleFace(const PhotoPixels& pixels, const Crop& crop, const HeadMarks& marks);

// Sharp: the variance of the 4-neighbour Laplacian of the luma (0-255) over the sample.
// Tuned on the two plain-background faces of tests/data/faces (bald on white, short hair on
// grey), each levelled and enlarged (1.35 to 2 times) so the crop, framed at a 29-29.5 mm
// head, has 450-540 dpi, and measured on the 600 dpi photo: sharp 61 and 137; turned
// 5 degrees 57 and 126; reduced to 350 dpi 54 and 117 (each within 1 at any of those
// enlargements); blurred by a Gaussian of 1.5 % of the eye distance (0.11 mm on the print)
// 19 and 41, of 2 % 11 and 27. The limit passes every sharp one and fails every blur from
// 1.5 % on; a milder blur on a face with much texture can pass. Measured on the loaded photo
// through the crop instead, the figures are 2-7 % higher (one rounding to 8-bit levels less).
// Enlarging adds pixels, not detail, and the measure sees what the face had: the bald face
// had 75 pixels between the eyes before it was doubled (96 unenlarged, 61 after the bilinear
// doubling, which softens a little); the curly-haired face, enlarged from 53, measures 17
// and is rightly not sharp, although its crop has 535 dpi.
inline constexpr double kMinSharpness = 45;
double laplacianVariance(const raster::ConstPixels& pixels);

// In colour: the mean CIELAB chroma C*ab of the face. The faces of tests/data/faces measure
// 23-30, the same turned grey 0.0; a limit of 5 leaves room for pale faces in cool light and
// none for a grey photo. (A photo toned in one colour, sepia say, is not told from colour.)
inline constexpr double kMinFaceChroma = 5;
double meanChroma(const raster::ConstPixels& pixels);

// Exposure: luma (Rec. 601, 0-255) at or over 250 is burnt out, at or under 5 black: no
// detail survives there. Glints in the eyes and a shine on the forehead stay far under
// 1 % of the face region (tests/data/faces: 0.0 %; the bald face brightened 1.3 times,
// 0.3 %); 5 % of it clipped is a patch the counter calls overexposed (or lost in shadow).
// The same faces brightened 1.5 times measure 33 and 43 %.
inline constexpr int kBurntOutLuma = 250;
inline constexpr int kBlackLuma = 5;
inline constexpr double kMaxClippedShare = 0.05;
struct Clipping {
    double burntOut = 0;  // shares of the region
    double black = 0;
    double total() const { return burntOut + black; }
};
Clipping clippingOf(const raster::ConstPixels& pixels);

// --- The background --------------------------------------------------------------------------
//
// Measured on strips where the head is not: the full width above the crown (up to
// kStripGapMm above it), and beside the head down to the eye line, kSideStripMm wide at the
// edges and never nearer the head than kStripGapMm. The head reaches kHeadPerJawHalf half
// jaw widths out from its midline (ears, short hair); without jaw marks the jaw width is
// kJawPerHead of chin to crown (0.56-0.59 measured on the faces found in dlib's examples).
inline constexpr double kSideStripMm = 3.0;
inline constexpr double kStripGapMm = 1.0;
inline constexpr double kHeadPerJawHalf = 1.3;
inline constexpr double kJawPerHead = 0.57;
// Strips are averaged down to pixels of kBackgroundPixelMm (0.125 mm, 203 dpi: the grain of
// a cheap camera or a JPEG block is gone, a patterned wall or an object is not), and less
// than kMinBackgroundAreaMm2 of them is too little to judge a background by.
inline constexpr double kBackgroundPixelMm = 0.125;
inline constexpr double kMinBackgroundAreaMm2 = 20;

// Light: mean CIELAB lightness L* at least 50 (18 % grey, the photographer's middle grey,
// is L* 50; the backgrounds of tests/data/faces measure 71-94, a dark grey one pasted behind
// the head 25).
inline constexpr double kMinBackgroundLightness = 50;
// Even: the colours' RMS distance from their mean (CIELAB delta E) at most 6. The plain
// backgrounds of tests/data/faces, shading and JPEG noise included, measure 0.9-3.0, beside
// the white fill of a crop over the edge 2.4-5.1; a gradient from grey 150 to 250 across the
// photo 8.5-11; clutter pasted behind the head 62-65.
inline constexpr double kMaxBackgroundSpread = 6;
// Grey or white: a mean chroma C*ab of at most 8 (the grey and white of tests/data/faces
// measure 0.4-2.4, warm white 245/240/230 5.4, pale pink 255/224/232 12, the curly-haired
// face's grey-green 15). Light blue: hue 200-300 degrees (cyan-blue to blue) with chroma up
// to 40 (200/220/240: hue 258, chroma 12; sky blue 135/206/235: 235, 26).
inline constexpr double kMaxGreyChroma = 8;
inline constexpr double kLightBlueHueFrom = 200;
inline constexpr double kLightBlueHueTo = 300;
inline constexpr double kMaxLightBlueChroma = 40;

// Shadow: the strips fall into four zones (above the head left and right of its midline,
// beside it left and right), and a head's shadow on the wall darkens the zone it falls in.
// The darkest zone's mean L* may lie at most kMaxShadowDepth below the lightest's. Measured
// on tests/data/faces: the white and grey backgrounds, made good as the check's test makes
// them, 0.7; the grey-green one 6.3 (its rows added above the head blend from one side's
// colour to the other's); the white and grey ones with a soft shadow beside the head, the
// wall there darkened by a fifth and fading out over half a face width (what a flash above
// the lens or a lamp to one side throws), 10.3-10.4. A zone of less than kMinShadowZoneMm2
// is left out.
inline constexpr double kMaxShadowDepth = 8;
inline constexpr double kMinShadowZoneMm2 = 4;

struct Background {
    double areaMm2 = 0;    // of the strips measured (the photo's own pixels only)
    double lightness = 0;  // mean L*
    double spread = 0;     // RMS delta E from the mean colour
    double chroma = 0;     // C*ab of the mean colour
    double hueDegrees = 0;
    double shadowDepth = 0;    // lightest zone's mean L* less the darkest's
    int zones = 0;             // zones large enough to compare
    double filledAreaMm2 = 0;  // of the strips, where the crop reaches beyond the photo
};
// `crownGapMm`: how far above the crown mark the top strip ends (more when the crown is an
// estimate).
Background measureBackground(const PhotoPixels& pixels, const Crop& crop, const HeadMarks& marks,
                             double crownGapMm);

enum class BackgroundColour { GreyOrWhite, LightBlue, Other };
BackgroundColour colourOf(const Background& background);

}  // namespace passport
