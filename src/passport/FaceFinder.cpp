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

#include <dlib/image_transforms/interpolation.h>

#include "passport/Crown.h"
#include "passport/DlibCalls.h"
#include "passport/Resample.h"

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

struct FaceModel::Impl {
    // The detector keeps scratch state while it runs; find() takes turns on it.
    mutable std::mutex detectorLock;
    mutable dlib::frontal_face_detector detector;
    dlib::shape_predictor predictor;
};

namespace {

using GreyImage = dlib::array2d<unsigned char>;

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

FoundFace fitFace(const dlib::shape_predictor& predictor, const raster::ConstPixels& photo,
                  const DetectionCopy& copy, const dlib::rectangle& found) {
    const double s = copy.scale;
    // From the copy's pixel edges to the photo's.
    const dlib::rectangle box(std::lround(found.left() / s), std::lround(found.top() / s),
                              std::lround((found.right() + 1) / s) - 1,
                              std::lround((found.bottom() + 1) / s) - 1);
    FoundFace face;
    face.box = {int(box.left()), int(box.top()), int(box.width()), int(box.height())};
    const dlib::full_object_detection shape = predictor(PhotoImage{photo}, box);
    for (int i = 0; i < kLandmarkCount; ++i)
        face.landmarks[std::size_t(i)] = continuous(shape.part(i));
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

}  // namespace

std::string faceModelPath() {
    const char* path = std::getenv(kFaceModelVariable);
    return path && *path ? path : kFaceModelPath;
}

FaceModel::FaceModel(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FaceModel::~FaceModel() = default;

std::unique_ptr<FaceModel> FaceModel::load(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error) *error = loadProblem(path, reason);
        return nullptr;
    };
    try {
        if (std::filesystem::is_directory(path)) return fail("it is a folder, not a file");
        std::ifstream in(path, std::ios::binary);
        if (!in) return fail(errno == ENOENT ? "there is no such file" : std::strerror(errno));
        auto impl = std::make_unique<Impl>();
        dlibcalls::read(impl->predictor, in);
        impl->detector = unpackedDetector();
        if (impl->predictor.num_parts() != kLandmarkCount) {
            return fail("it holds " + std::to_string(impl->predictor.num_parts()) +
                        " face points instead of 68");
        }
        return std::unique_ptr<FaceModel>(new FaceModel(std::move(impl)));
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
            const std::lock_guard<std::mutex> lock(impl_->detectorLock);
            boxes = dlibcalls::detect(impl_->detector, copy.grey);
        }
        std::sort(boxes.begin(), boxes.end(),
                  [](const auto& a, const auto& b) { return a.area() > b.area(); });
        for (const dlib::rectangle& box : boxes) {
            if (stop()) break;
            search.faces.push_back(fitFace(impl_->predictor, photo, copy, box));
        }
    } catch (...) {
        // Out of memory while finding: as good as no face; the caller says so.
        search.faces.clear();
    }
    return search;
}

}  // namespace passport
