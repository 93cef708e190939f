#include "passport/Landmarks.h"

namespace passport {

Point meanOf(const FaceLandmarks& points, int first, int count) {
    Point sum;
    for (int i = first; i < first + count; ++i) {
        sum.x += points[static_cast<std::size_t>(i)].x;
        sum.y += points[static_cast<std::size_t>(i)].y;
    }
    return {sum.x / count, sum.y / count};
}

HeadMarks headMarksFrom(const FaceLandmarks& points, Point crown, CrownSource source) {
    HeadMarks marks;
    marks.crown = crown;
    marks.chin = points[landmark::kChin];
    marks.leftEye = meanOf(points, landmark::kLeftEyeFirst, landmark::kEyePoints);
    marks.rightEye = meanOf(points, landmark::kRightEyeFirst, landmark::kEyePoints);
    marks.leftJaw = points[landmark::kLeftJaw];
    marks.rightJaw = points[landmark::kRightJaw];
    marks.crownSource = source;
    return marks;
}

}  // namespace passport
