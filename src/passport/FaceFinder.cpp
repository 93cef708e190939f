// One of the two files that include dlib (with DlibCalls.cpp, which holds its heavy code):
// its headers are heavy to compile and stay out of every header of the program.
#include "passport/FaceFinder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>

#include <dlib/image_transforms/interpolation.h>

#include "passport/Crown.h"
#include "passport/DlibCalls.h"
#include "passport/Resample.h"
#include "passport/ShapeModel.h"

namespace passport {

namespace {

// The loaded photo as a dlib image, without copying: 0xffRRGGBB in memory is blue, green,
// red, alpha, which is dlib's bgr_alpha_pixel. Read-only; dlib's const image view needs no
// more than the functions below.
struct PhotoImage {
    raster::ConstPixels photo;
};

long num_rows(const PhotoImage& image) {
    return image.photo.height;
}
long num_columns(const PhotoImage& image) {
    return image.photo.width;
}
long width_step(const PhotoImage& image) {
    return long(image.photo.stride) * 4;
}
const void* image_data(const PhotoImage& image) {
    return image.photo.pixels;
}

}  // namespace

}  // namespace passport

namespace dlib {
template <>
struct image_traits<passport::PhotoImage> {
    typedef bgr_alpha_pixel pixel_type;
};
}  // namespace dlib

namespace passport {

// The face detector, serialised at build time.
extern const unsigned char kFaceDetectorData[];
extern const std::size_t kFaceDetectorSize;

namespace {

using GreyImage = dlib::array2d<unsigned char>;

// Detectors for searches running at once. The detector keeps scratch state while it scans, so
// each search borrows one of its own: a free one, or a copy of the prototype when all are
// out (a copy is a few small filters). Borrowing holds the lock only to take or give back.
class DetectorPool {
  public:
    explicit DetectorPool(dlib::frontal_face_detector prototype)
        : prototype_(std::move(prototype)) {}

    class Borrowed {
      public:
        Borrowed(DetectorPool& pool, std::unique_ptr<dlib::frontal_face_detector> detector)
            : pool_(pool), detector_(std::move(detector)) {}
        Borrowed(const Borrowed&) = delete;
        Borrowed& operator=(const Borrowed&) = delete;
        ~Borrowed() {
            try {
                const std::lock_guard<std::mutex> lock(pool_.lock_);
                pool_.free_.push_back(std::move(detector_));
            } catch (...) {
                // No memory to keep it: the next search copies the prototype again.
            }
        }
        dlib::frontal_face_detector& operator*() const { return *detector_; }

      private:
        DetectorPool& pool_;
        std::unique_ptr<dlib::frontal_face_detector> detector_;
    };

    Borrowed borrow() {
        {
            const std::lock_guard<std::mutex> lock(lock_);
            if (!free_.empty()) {
                std::unique_ptr<dlib::frontal_face_detector> detector = std::move(free_.back());
                free_.pop_back();
                return Borrowed(*this, std::move(detector));
            }
        }
        // The prototype never scans, so copying it needs no lock.
        return Borrowed(*this, std::make_unique<dlib::frontal_face_detector>(prototype_));
    }

  private:
    const dlib::frontal_face_detector prototype_;
    std::mutex lock_;
    std::vector<std::unique_ptr<dlib::frontal_face_detector>> free_;
};

// The landmark model: dlib's own predictor when it was read from dlib's file, else the
// prepared file, mapped, walked as dlib walks its trees. What is relative to the face's
// shape (where each compared pixel lies, the similarity transform, the rounding to pixels)
// is dlib's own code on dlib's own types, so both give the same points to the bit.
struct Landmarker {
    dlib::shape_predictor predictor;
    std::unique_ptr<MappedShapeModel> prepared;
    dlib::matrix<float, 0, 1> initialShape;
    std::vector<std::vector<unsigned long>> anchors;
    std::vector<std::vector<dlib::vector<float, 2>>> deltas;

    int parts() const {
        return prepared ? int(prepared->header().parts) : int(predictor.num_parts());
    }

    void usePrepared(std::unique_ptr<MappedShapeModel> model) {
        const PreparedModelHeader& h = model->header();
        initialShape.set_size(long(model->shapeSize()));
        for (std::size_t i = 0; i < model->shapeSize(); ++i)
            initialShape(long(i)) = model->initialShape()[i];
        anchors.assign(h.cascades, {});
        deltas.assign(h.cascades, {});
        for (std::size_t c = 0; c < h.cascades; ++c) {
            const std::uint32_t* a = model->anchors(c);
            const float* d = model->deltas(c);
            anchors[c].assign(a, a + h.featuresPerCascade);
            deltas[c].resize(h.featuresPerCascade);
            for (std::size_t i = 0; i < h.featuresPerCascade; ++i)
                deltas[c][i] = dlib::vector<float, 2>(d[2 * i], d[2 * i + 1]);
        }
        prepared = std::move(model);
    }

    // shape_predictor::operator() with the prepared trees.
    template <typename Image>
    dlib::full_object_detection fit(const Image& image, const dlib::rectangle& box) const {
        if (!prepared) return predictor(image, box);
        dlib::matrix<float, 0, 1> shape = initialShape;
        std::vector<float> features;
        for (std::size_t c = 0; c < anchors.size(); ++c) {
            dlib::impl::extract_feature_pixel_values(image, box, shape, initialShape, anchors[c],
                                                     deltas[c], features);
            prepared->addCascade(c, features.data(), &shape(0));
        }
        const dlib::point_transform_affine toImage = dlib::impl::unnormalizing_tform(box);
        std::vector<dlib::point> points(std::size_t(shape.size() / 2));
        for (std::size_t i = 0; i < points.size(); ++i)
            points[i] = toImage(dlib::impl::location(shape, i));
        return dlib::full_object_detection(box, points);
    }
};

}  // namespace

struct FaceModel::Impl {
    explicit Impl(dlib::frontal_face_detector detector) : detectors(std::move(detector)) {}
    mutable DetectorPool detectors;
    Landmarker landmarker;
};

namespace {

// Grey as dlib reads a colour pixel: the mean of red, green and blue.
void toGrey(const raster::ConstPixels& photo, GreyImage& grey) {
    grey.set_size(photo.height, photo.width);
    for (int y = 0; y < photo.height; ++y) {
        const std::uint32_t* in = photo.pixels + std::ptrdiff_t(y) * photo.stride;
        unsigned char* out = &grey[y][0];
        for (int x = 0; x < photo.width; ++x) {
            const std::uint32_t p = in[x];
            out[x] = static_cast<unsigned char>(
                (((p >> 16) & 0xff) + ((p >> 8) & 0xff) + (p & 0xff)) / 3);
        }
    }
}

// The copy faces are looked for on, and the scale from the photo to it. A photo larger
// than kDetectionPixels is averaged down; a smaller one is enlarged up to twice, so the
// detector (which needs faces of some 80 pixels) still finds a face of 40.
struct DetectionCopy {
    double scale = 1;
    std::vector<std::uint32_t> colour;  // the averaged copy when scale < 1
    raster::ConstPixels colourView;     // what the crown is searched on
    GreyImage grey;
};

void makeDetectionCopy(const raster::ConstPixels& photo, DetectionCopy& copy) {
    const double pixels = double(photo.width) * photo.height;
    copy.scale = std::min(std::sqrt(kDetectionPixels / pixels), 2.0);
    if (copy.scale < 1) {
        const int width = std::max(1, int(std::lround(photo.width * copy.scale)));
        const int height = std::max(1, int(std::lround(photo.height * copy.scale)));
        copy.colour.resize(std::size_t(width) * height);
        resampleArea(photo, {0, 0, double(photo.width), double(photo.height)},
                     {copy.colour.data(), width, height, width}, 0xff000000u);
        copy.colourView = {copy.colour.data(), width, height, width};
        // The scale as it came out in whole pixels.
        copy.scale = double(width) / photo.width;
        toGrey(copy.colourView, copy.grey);
        return;
    }
    copy.colourView = photo;
    toGrey(photo, copy.grey);
    if (copy.scale > 1) {
        GreyImage larger(std::lround(photo.height * copy.scale),
                         std::lround(photo.width * copy.scale));
        dlib::resize_image(copy.grey, larger, dlib::interpolate_bilinear());
        copy.scale = double(larger.nc()) / photo.width;
        dlib::swap(copy.grey, larger);
    }
}

Point continuous(const dlib::point& p) {
    return {p.x() + 0.5, p.y() + 0.5};
}

dlib::rectangle dlibBox(const raster::Rect& box) {
    return {box.x, box.y, long(box.x) + box.width - 1, long(box.y) + box.height - 1};
}

FaceLandmarks fitLandmarks(const Landmarker& landmarker, const raster::ConstPixels& photo,
                           const dlib::rectangle& box) {
    const dlib::full_object_detection shape = landmarker.fit(PhotoImage{photo}, box);
    FaceLandmarks landmarks;
    for (int i = 0; i < kLandmarkCount; ++i)
        landmarks[std::size_t(i)] = continuous(shape.part(unsigned(i)));
    return landmarks;
}

FoundFace fitFace(const Landmarker& landmarker, const raster::ConstPixels& photo,
                  const DetectionCopy& copy, const dlib::rectangle& found) {
    const double s = copy.scale;
    // From the copy's pixel edges to the photo's.
    const dlib::rectangle box(std::lround(found.left() / s), std::lround(found.top() / s),
                              std::lround((found.right() + 1) / s) - 1,
                              std::lround((found.bottom() + 1) / s) - 1);
    FoundFace face;
    face.box = {int(box.left()), int(box.top()), int(box.width()), int(box.height())};
    face.landmarks = fitLandmarks(landmarker, photo, box);
    // The crown is looked for on the averaged copy when there is one: smoother, and the
    // same edge. Its landmarks are the photo's, scaled.
    const double crownScale = std::min(s, 1.0);
    FaceLandmarks scaled = face.landmarks;
    for (Point& p : scaled) p = {p.x * crownScale, p.y * crownScale};
    CrownFinding crown = findCrown(copy.colourView, scaled);
    crown.crown = {crown.crown.x / crownScale, crown.crown.y / crownScale};
    face.marks = headMarksFrom(face.landmarks, crown.crown, crown.source);
    return face;
}

// dlib's frontal face detector as the build unpacked it (DumpFaceDetector.cpp), or as dlib
// unpacks it, a second slower, should that ever fail.
dlib::frontal_face_detector unpackedDetector() {
    dlib::frontal_face_detector detector;
    try {
        std::istringstream in(
            std::string(reinterpret_cast<const char*>(kFaceDetectorData), kFaceDetectorSize));
        dlibcalls::read(detector, in);
        return detector;
    } catch (const std::exception&) {
        return dlib::get_frontal_face_detector();
    }
}

std::string loadProblem(const std::string& path, const std::string& reason) {
    return "The face model \"" + path + "\" could not be loaded: " + reason +
           ". It comes with the Debian package libdlib-data (install it with "
           "\"sudo apt install libdlib-data\").";
}

std::string preparedProblem(const std::string& path, const std::string& reason) {
    return "The face model \"" + path + "\" could not be loaded: " + reason +
           ". It is dlib's model as Portrik prepares it when built: install Portrik again, or "
           "use dlib's own model from the Debian package libdlib-data (install it with "
           "\"sudo apt install libdlib-data\").";
}

// The prepared model as the program ships it: installed beside the program, and as this
// build made it. Either is used only when it is there.
std::vector<std::string> shippedModelPaths() {
    std::vector<std::string> paths;
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (!failed) {
        paths.push_back(
            (program.parent_path() / PORTRIK_FACE_MODEL_FROM_PROGRAM).lexically_normal().string());
    }
#ifdef PORTRIK_BUILT_FACE_MODEL
    paths.push_back(PORTRIK_BUILT_FACE_MODEL);
#endif
    return paths;
}

bool isShipped(const std::string& path) {
    const std::vector<std::string> shipped = shippedModelPaths();
    return std::find(shipped.begin(), shipped.end(), path) != shipped.end();
}

// load() without the fallback.
std::unique_ptr<Landmarker> loadFile(const std::string& path, std::string& error) {
    const bool prepared = MappedShapeModel::isPrepared(path);
    auto fail = [&](const std::string& reason) {
        error = prepared ? preparedProblem(path, reason) : loadProblem(path, reason);
        return nullptr;
    };
    try {
        if (std::filesystem::is_directory(path)) return fail("it is a folder, not a file");
        auto landmarker = std::make_unique<Landmarker>();
        if (prepared) {
            std::string reason;
            std::unique_ptr<MappedShapeModel> model = MappedShapeModel::open(path, reason);
            if (!model) return fail(reason);
            landmarker->usePrepared(std::move(model));
        } else {
            std::ifstream in(path, std::ios::binary);
            if (!in) return fail(errno == ENOENT ? "there is no such file" : std::strerror(errno));
            dlibcalls::read(landmarker->predictor, in);
        }
        if (landmarker->parts() != kLandmarkCount) {
            return fail("it holds " + std::to_string(landmarker->parts()) +
                        " face points instead of 68");
        }
        return landmarker;
    } catch (const std::bad_alloc&) {
        return fail("the file is damaged or there is not enough memory");
    } catch (const std::exception& e) {
        std::string what = e.what();
        what = what.substr(0, what.find('\n'));
        return fail("the file is damaged (" + what + ")");
    } catch (...) {
        return fail("the file is damaged");
    }
}

}  // namespace

std::string faceModelPath() {
    const char* path = std::getenv(kFaceModelVariable);
    if (path && *path) return path;
    for (const std::string& shipped : shippedModelPaths()) {
        std::error_code failed;
        if (std::filesystem::is_regular_file(shipped, failed)) return shipped;
    }
    return kFaceModelPath;
}

FaceModel::FaceModel(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FaceModel::~FaceModel() = default;

std::unique_ptr<FaceModel> FaceModel::load(const std::string& path, std::string* error) {
    std::string problem;
    std::unique_ptr<Landmarker> landmarker = loadFile(path, problem);
    // A damaged prepared model the program came with is no reason to go without faces:
    // dlib's own file, when there, holds the same model.
    if (!landmarker && path != kFaceModelPath && isShipped(path))
        landmarker = loadFile(kFaceModelPath, problem);
    if (!landmarker) {
        if (error) *error = problem;
        return nullptr;
    }
    try {
        auto impl = std::make_unique<Impl>(unpackedDetector());
        impl->landmarker = std::move(*landmarker);
        return std::unique_ptr<FaceModel>(new FaceModel(std::move(impl)));
    } catch (const std::bad_alloc&) {
        if (error) *error = loadProblem(path, "there is not enough memory");
        return nullptr;
    }
}

FaceLandmarks FaceModel::landmarks(const raster::ConstPixels& photo,
                                   const raster::Rect& box) const {
    return fitLandmarks(impl_->landmarker, photo, dlibBox(box));
}

FaceSearch FaceModel::find(const raster::ConstPixels& photo,
                           const std::atomic<bool>* cancelled) const {
    FaceSearch search;
    if (!photo.pixels || photo.width <= 0 || photo.height <= 0) return search;
    const auto stop = [cancelled] { return cancelled && cancelled->load(); };
    if (stop()) return search;
    try {
        DetectionCopy copy;
        makeDetectionCopy(photo, copy);
        std::vector<dlib::rectangle> boxes;
        if (stop()) return search;
        {
            const DetectorPool::Borrowed detector = impl_->detectors.borrow();
            boxes = dlibcalls::detect(*detector, copy.grey);
        }
        std::sort(boxes.begin(), boxes.end(),
                  [](const auto& a, const auto& b) { return a.area() > b.area(); });
        for (const dlib::rectangle& box : boxes) {
            if (stop()) break;
            search.faces.push_back(fitFace(impl_->landmarker, photo, copy, box));
        }
    } catch (...) {
        // Out of memory while finding: as good as no face; the caller says so.
        search.faces.clear();
    }
    return search;
}

}  // namespace passport
