#pragma once

#include <optional>

namespace passport {

// Where the crown mark came from: found in the photo (where hair or head meets the background
// above the brows), estimated from the face's proportions when no such edge was found, or
// placed by the user.
enum class CrownSource { Image, Proportions, Manual };

// A point in the loaded photo's own pixels (x to the right, y down); fractions allowed.
struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// What framing and the checks need to know of a head, in the loaded photo's pixels: from the
// face finder, or from the markers the user drags when there is no detection. "Left" and
// "right" are as the viewer sees the photo.
struct HeadMarks {
    Point crown;  // top of the head (hair included), on the face's midline
    Point chin;   // bottom of the chin
    // Eye centres and the jaw sides at the face's widest; unknown when the user placed only
    // the crown and chin markers.
    std::optional<Point> leftEye;
    std::optional<Point> rightEye;
    std::optional<Point> leftJaw;
    std::optional<Point> rightJaw;
    CrownSource crownSource = CrownSource::Manual;
};

}  // namespace passport
