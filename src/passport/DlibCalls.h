#pragma once

// The calls into dlib's own heavy code: the detector's scan over a picture and reading the
// models. They are compiled apart (DlibCalls.cpp), optimised and without the sanitizers'
// checks in every build: dlib is not ours to check, and instrumented it makes the sanitizer
// build's face searches six times slower. Included by the face finder only.

#include <istream>
#include <vector>

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/image_processing/shape_predictor.h>

namespace passport::dlibcalls {

// The boxes of the faces the detector finds on `grey`.
std::vector<dlib::rectangle> detect(dlib::frontal_face_detector& detector,
                                    const dlib::array2d<unsigned char>& grey);

// Read from `in` as dlib serialised them; throw dlib's exceptions on damaged data.
void read(dlib::frontal_face_detector& detector, std::istream& in);
void read(dlib::shape_predictor& predictor, std::istream& in);

}  // namespace passport::dlibcalls
