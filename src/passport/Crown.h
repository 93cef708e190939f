#pragma once

#include "passport/Landmarks.h"
#include "raster/Pixels.h"

namespace passport {

// The crown is no landmark: the face finder knows the face from the brows down. It is found
// along the face's midline, upwards from the brows (the direction from the chin to the middle
// of the brows, so a tilted head is followed): the background is taken from the top of that
// path, and the crown is where, coming down, the path first leaves the background for good.

// Brow-to-chin distances above the middle of the brows where the search for the crown starts
// and ends; a crown found nearer than kCrownNearest or further than kCrownFurthest is taken
// for something else (a hairline, a hat, a second person) and the proportions are used.
inline constexpr double kCrownSearchStart = 0.30;
inline constexpr double kCrownSearchEnd = 1.50;
inline constexpr double kCrownNearest = 0.55;
inline constexpr double kCrownFurthest = 1.35;
// The crown of an average adult head, hair included, lies this many brow-to-chin distances
// above the middle of the brows (measured on the faces found in photos with a plain
// background).
inline constexpr double kCrownFromProportions = 0.80;

struct CrownFinding {
    Point crown;
    CrownSource source = CrownSource::Proportions;
};

// The crown from the face's proportions alone.
Point crownFromProportions(const FaceLandmarks& points);

// The crown found in `photo` above the face whose landmarks (in the photo's pixels) are
// given; the proportions when the photo shows no clear head edge there (a busy or dark
// background like the hair, the head cut off by the top edge).
CrownFinding findCrown(const raster::ConstPixels& photo, const FaceLandmarks& points);

}  // namespace passport
