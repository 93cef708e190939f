#include "passport/DlibCalls.h"

namespace passport::dlibcalls {

std::vector<dlib::rectangle> detect(dlib::frontal_face_detector& detector,
                                    const dlib::array2d<unsigned char>& grey) {
    return detector(grey);
}

void read(dlib::frontal_face_detector& detector, std::istream& in) {
    dlib::deserialize(detector, in);
}

void read(dlib::shape_predictor& predictor, std::istream& in) {
    dlib::deserialize(predictor, in);
}

}  // namespace passport::dlibcalls
