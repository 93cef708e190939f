#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "passport/Landmarks.h"
#include "raster/Pixels.h"

namespace passport {

// Where Debian's libdlib-data puts dlib's 68-point landmark model (99.7 MB). The build
// prepares it in a form that loads in milliseconds (ShapeModel.h); this file is what the
// program falls back on when that is missing or damaged.
inline constexpr char kFaceModelPath[] = "/usr/share/dlib/shape_predictor_68_face_landmarks.dat";
// The environment variable that names another model file, for the window and the command line
// alike (the command line's --model comes before it).
inline constexpr char kFaceModelVariable[] = "PORTRIK_FACE_MODEL";
// The model file to use, the first of: the variable's value when it is set and not empty; the
// prepared model installed with the program (share/portrik beside its bin folder); the one
// this build prepared; kFaceModelPath.
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
// Threads: load() blocks for a few milliseconds with the prepared model (half a second or
// more with dlib's own file, which it decodes); run it on a worker thread and hand the model
// over when it returns. A loaded model is never changed, and find() may be called from any
// thread, also from several at once: each search borrows a detector of its own (the detector
// keeps scratch state while it scans), so searches on several cores run side by side.
class FaceModel {
  public:
    ~FaceModel();
    FaceModel(const FaceModel&) = delete;
    FaceModel& operator=(const FaceModel&) = delete;

    // Loads the model file at `path`: the prepared form or dlib's own, told apart by their
    // first bytes; by default the best there is (faceModelPath()). Never throws: a missing,
    // unreadable or damaged file gives null and, in `error`, a sentence for the user naming
    // the file and the Debian package libdlib-data. When `path` is the prepared model that
    // came with the program (not one the user named) and it will not load, dlib's own file
    // at kFaceModelPath is loaded instead.
    static std::unique_ptr<FaceModel> load(const std::string& path = faceModelPath(),
                                           std::string* error = nullptr);

    // Every frontal face in `photo` (0xffRRGGBB pixels, any size from 1 x 1), with its
    // landmarks and head marks. Never throws; a photo too small to hold a face gives none.
    // Once `cancelled` holds, the search stops at its next step (before detecting, before
    // each face's landmarks) and gives what it has, which nobody is waiting for.
    FaceSearch find(const raster::ConstPixels& photo,
                    const std::atomic<bool>* cancelled = nullptr) const;

    // The 68 landmarks fitted in `box` of `photo`, as find() fits them in a box it found:
    // for a face whose box is already known. `photo` must hold pixels.
    FaceLandmarks landmarks(const raster::ConstPixels& photo, const raster::Rect& box) const;

  private:
    struct Impl;
    explicit FaceModel(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace passport
