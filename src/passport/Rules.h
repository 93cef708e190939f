#pragma once

// The Dutch passport-photo rules of today (Rijksoverheid, "Fotomatrix model 2020", which
// replaced the 2007 model) and the ICAO/ISO 19794-5 practice the counter follows where the
// matrix gives no figure. Every limit the counter photo is framed or checked by lives here,
// once, with its source.

#include "raster/AgeGroup.h"

namespace passport {

// The photo: 35 x 45 mm (Fotomatrix 2020).
inline constexpr double kPhotoWidthMm = 35.0;
inline constexpr double kPhotoHeightMm = 45.0;
inline constexpr double kMmPerInch = 25.4;

// Photo services print Dutch passport photos at 600 dpi: 35 x 45 mm is 827 x 1063 pixels.
inline constexpr int kPrintDpi = 600;
inline constexpr int kPrintWidth = 827;
inline constexpr int kPrintHeight = 1063;
// The nearest whole pixels to the size at that density (826.8 and 1063.0).
static_assert(kPrintWidth == int(kPhotoWidthMm / kMmPerInch * kPrintDpi + 0.5));
static_assert(kPrintHeight == int(kPhotoHeightMm / kMmPerInch * kPrintDpi + 0.5));

// Printed at no less than 400 dpi (Fotomatrix 2020). Across 35 mm that is 551.2 source
// pixels: a crop with fewer than 551 is below the minimum.
inline constexpr double kMinimumDpi = 400.0;
inline constexpr int kMinimumSourceWidth = 551;
// 551 is 551.2 rounded down, the count a crop just meeting 400 dpi has in whole pixels.
static_assert(kMinimumSourceWidth == int(kPhotoWidthMm / kMmPerInch * kMinimumDpi));

// Chin to crown (Fotomatrix 2020): 26-30 mm from 11 years, 19-30 mm up to 10 years.
inline constexpr double kHeadMinMmFrom11 = 26.0;
inline constexpr double kHeadMaxMmFrom11 = 30.0;
inline constexpr double kHeadMinMmUpTo10 = 19.0;
inline constexpr double kHeadMaxMmUpTo10 = 30.0;

// Face width, jaw side to jaw side (Fotomatrix 2020): 16-20 mm.
inline constexpr double kFaceWidthMinMm = 16.0;
inline constexpr double kFaceWidthMaxMm = 20.0;

// The face in the middle (Fotomatrix 2020 "recht van voren, in het midden"); ICAO practice
// allows the face midline this far from the photo's vertical centre line.
inline constexpr double kCentreToleranceMm = 1.5;

// Eyes on a horizontal line (Fotomatrix 2020); ICAO practice tolerates this much tilt.
inline constexpr double kTiltToleranceDegrees = 3.0;

// The eye line lies 50-70 % of the photo's height above its bottom edge (ISO/ICAO), that is
// 13.5-22.5 mm below the top edge of a 45 mm photo.
inline constexpr double kEyeLineMinFraction = 0.50;
inline constexpr double kEyeLineMaxFraction = 0.70;

// Which of the matrix's two head-size bands applies: the age groups of the main window's
// guides.
using AgeGroup = raster::AgeGroup;

inline constexpr double headMinMm(AgeGroup group) {
    return group == AgeGroup::From11 ? kHeadMinMmFrom11 : kHeadMinMmUpTo10;
}
inline constexpr double headMaxMm(AgeGroup group) {
    return group == AgeGroup::From11 ? kHeadMaxMmFrom11 : kHeadMaxMmUpTo10;
}

}  // namespace passport
