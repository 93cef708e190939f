#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "passport/Landmarks.h"
#include "raster/Pixels.h"

namespace passport {

// Where Debian's libdlib-data puts the 68-point landmark model (99.7 MB).
inline constexpr char kFaceModelPath[] = "/usr/share/dlib/shape_predictor_68_face_landmarks.dat";
// The environment variable that names another model file, for the window and the command line
// alike (the command line's --model comes before it).
inline constexpr char kFaceModelVariable[] = "PORTRIK_FACE_MODEL";
// The model file to use: the variable's value when it is set and not empty, else
// kFaceModelPath.
std::string faceModelPath();

// Faces are looked for on a copy of the photo scaled to about this many pixels: finding
// takes time in proportion to the pixels, and a face large enough for a passport photo is
// found just as well. Landmarks are then fitted on the photo itself.
inline constexpr double kDetectionPixels = 1e6;

// A face the finder found, in the loaded photo's pixels.
struct FoundFace {
    raster::Rect box;         // the detector's square round eyes, nose and mouth
    FaceLandmarks landmarks;  // fitted on the full-resolution photo
    HeadMarks marks;          // from the landmarks; the crown found as Crown.h says
};

enum class FaceCount { None, One, Several };

struct FaceSearch {
    std::vector<FoundFace> faces;  // largest box first
    FaceCount count() const {
        return faces.empty()       ? FaceCount::None
               : faces.size() == 1 ? FaceCount::One
                                   : FaceCount::Several;
    }
};

// dlib's frontal face detector (HOG) and its 68-point shape predictor.
//
// Threads: load() blocks for about a second (it reads and unpacks the 100 MB landmark model;
// the detector was unpacked when the program was built); run it on a worker thread and hand
// the model over when it returns. A loaded model is never
// changed, and find() may be called from any thread, also from several at once (the
// detector's scratch state is guarded inside, so such calls take turns while detecting).
class FaceModel {
  public:
    ~FaceModel();
    FaceModel(const FaceModel&) = delete;
    FaceModel& operator=(const FaceModel&) = delete;

    // Loads the model file at `path`. Never throws: a missing, unreadable or damaged file
    // gives null and, in `error`, a sentence for the user naming the file and the Debian
    // package it comes with.
    static std::unique_ptr<FaceModel> load(const std::string& path = kFaceModelPath,
                                           std::string* error = nullptr);

    // Every frontal face in `photo` (0xffRRGGBB pixels, any size from 1 x 1), with its
    // landmarks and head marks. Never throws; a photo too small to hold a face gives none.
    // Once `cancelled` holds, the search stops at its next step (before detecting, before
    // each face's landmarks) and gives what it has, which nobody is waiting for.
    FaceSearch find(const raster::ConstPixels& photo,
                    const std::atomic<bool>* cancelled = nullptr) const;

  private:
    struct Impl;
    explicit FaceModel(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace passport
