#pragma once

#include <array>

#include "passport/HeadMarks.h"

namespace passport {

// The 68 face landmarks of the iBUG 300-W scheme that dlib's shape predictor fits, in the
// loaded photo's pixels. "Left" and "right" are as the viewer sees the photo.
inline constexpr int kLandmarkCount = 68;
using FaceLandmarks = std::array<Point, kLandmarkCount>;

namespace landmark {
inline constexpr int kLeftJaw = 0;  // face outline at the left, about eye height
inline constexpr int kChin = 8;     // bottom of the chin
inline constexpr int kRightJaw = 16;
inline constexpr int kBrowsFirst = 17;  // 17-21 left brow, 22-26 right brow
inline constexpr int kBrowsLast = 26;
inline constexpr int kLeftEyeFirst = 36;   // 36-41 round the left eye
inline constexpr int kRightEyeFirst = 42;  // 42-47 round the right eye
inline constexpr int kEyePoints = 6;
}  // namespace landmark

// The mean of landmarks first .. first + count - 1.
Point meanOf(const FaceLandmarks& points, int first, int count);

// Eye centres, chin and jaw sides from the landmarks, with the crown found separately.
HeadMarks headMarksFrom(const FaceLandmarks& points, Point crown, CrownSource source);

}  // namespace passport
