// The counter photo on a 24-megapixel camera photo of a real face: finding the face and
// framing it against a plain dlib detection on the whole photo, and the 600 dpi photo against
// a plain nearest-pixel stretch; loading the model, and the two JPEG files.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <dlib/image_processing/frontal_face_detector.h>

#include "BenchPhotos.h"
#include "Report.h"
#include "passport/FaceFinder.h"
#include "passport/Framing.h"
#include "passport/JpegOutput.h"
#include "passport/LabSheet.h"
#include "passport/PrintPhoto.h"
#include "passport/Resample.h"
#include "platform/files/PhotoPixels.h"

// The test photo on light grey, enlarged smoothly to 4000 rows and widened to 6000 columns by
// repeating its edge columns: a face some 2700 pixels from crown to chin.
const QImage& faceCameraPhoto() {
    static QImage photo;
    if (!photo.isNull()) return photo;
    const QImage face(
        QStringLiteral(PORTRIK_SOURCE_DIR "/tests/data/faces/plain-grey-short-hair.jpg"));
    const QImage tall =
        face.convertToFormat(QImage::Format_RGB32).scaledToHeight(4000, Qt::SmoothTransformation);
    photo = QImage(6000, 4000, QImage::Format_RGB32);
    const int left = (6000 - tall.width()) / 2;
    for (int y = 0; y < 4000; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(tall.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < 6000; ++x) out[x] = in[std::clamp(x - left, 0, tall.width() - 1)];
    }
    return photo;
}

const QString& faceCameraJpeg() {
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("face-24mp.jpg"));
        faceCameraPhoto().save(path, "JPG", 92);
    }
    return path;
}

void measurePassportProgram(ProcessFigures& figures) {
    QTemporaryDir dir;
    const std::vector<std::string> args = {
        PORTRIK_PASSPORT_PROGRAM,
        faceCameraJpeg().toStdString(),
        "--out",
        dir.filePath(QStringLiteral("photo.jpg")).toStdString(),
        "--lab-sheet",
        dir.filePath(QStringLiteral("lab.jpg")).toStdString(),
        "--pdf",
        dir.filePath(QStringLiteral("sheet.pdf")).toStdString()};
    std::vector<double> times;
    for (int run = 0; run < 3; ++run) {
        const ProgramRun r = runProgram(args);
        if (r.status != 0) return;
        figures.passportMegabytes = std::max(figures.passportMegabytes, r.peakMegabytes);
        times.push_back(r.ms);
    }
    std::sort(times.begin(), times.end());
    figures.passportMs = times[1];
}

namespace {

const passport::FaceModel* model() {
    static const std::unique_ptr<passport::FaceModel> loaded = passport::FaceModel::load();
    return loaded.get();
}

// The crop the program makes of the camera photo.
passport::Crop framedCrop() {
    static const passport::Crop crop = [] {
        const passport::FaceSearch search = model()->find(constPixelsOf(faceCameraPhoto()));
        return search.faces.empty() ? passport::centredCrop(6000, 4000)
                                    : frameHead(search.faces[0].marks, passport::AgeGroup::From11);
    }();
    return crop;
}

// The model ready for use: loaded, and the landmarks of one face fitted, so that the pages of
// the mapped prepared file a fit reads count too. The prepared model against dlib's own file
// decoded, warm (the file in the page cache, as on a second start) and cold (both files
// dropped from the page cache before each round: as after a reboot).
void BM_Passport_ModelReady(benchmark::State& state, bool prepared, bool cold) {
    const std::string path = prepared ? passport::faceModelPath() : passport::kFaceModelPath;
    if (prepared && path == passport::kFaceModelPath) state.SkipWithError("no prepared model");
    const QImage face =
        QImage(QStringLiteral(PORTRIK_SOURCE_DIR "/tests/data/faces/plain-grey-short-hair.jpg"))
            .convertToFormat(QImage::Format_RGB32);
    const view::ConstPixels photo = constPixelsOf(face);
    // The face's box, found with a model of its own that is gone before the rounds: pages a
    // model still maps stay in the cache. (Run with other benchmarks, the shared model()
    // keeps the few hundred pages its fits read, which flatters the cold figure a little.)
    passport::FaceSearch found;
    if (const auto finder = passport::FaceModel::load(path)) found = finder->find(photo);
    if (found.count() != passport::FaceCount::One) state.SkipWithError("not one face");
    const auto dropFromCache = [](const std::string& file) {
        const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool dropped = fdatasync(fd) == 0 && posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
        close(fd);
        return dropped;
    };
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            if (!dropFromCache(path)) state.SkipWithError("cannot drop the file from the cache");
            state.ResumeTiming();
        }
        const std::unique_ptr<passport::FaceModel> loaded = passport::FaceModel::load(path);
        if (!loaded) {
            state.SkipWithError("the model did not load");
            break;
        }
        benchmark::DoNotOptimize(loaded->landmarks(photo, found.faces[0].box));
    }
    state.counters["model_MB"] = double(QFile(QString::fromStdString(path)).size()) / 1e6;
}
BENCHMARK_CAPTURE(BM_Passport_ModelReady, prepared_warm, true, false)
    ->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_CAPTURE(BM_Passport_ModelReady, dlib_warm, false, false)
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Passport_ModelReady, prepared_cold, true, true)
    ->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Passport_ModelReady, dlib_cold, false, true)
    ->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Passport_FindAndFrame(benchmark::State& state) {
    const view::ConstPixels photo = constPixelsOf(faceCameraPhoto());
    if (!model()) state.SkipWithError("no face model");
    for (auto _ : state) {
        const passport::FaceSearch search = model()->find(photo);
        if (search.count() != passport::FaceCount::One) state.SkipWithError("not one face");
        benchmark::DoNotOptimize(frameHead(search.faces[0].marks, passport::AgeGroup::From11));
    }
}
BENCHMARK(BM_Passport_FindAndFrame)->Unit(benchmark::kMillisecond)->MinTime(2);

// Baseline: dlib's detector alone, on the whole photo in grey.
void BM_Passport_PlainDlibWholePhoto(benchmark::State& state) {
    const QImage grey = faceCameraPhoto().convertToFormat(QImage::Format_Grayscale8);
    dlib::array2d<unsigned char> image(grey.height(), grey.width());
    for (int y = 0; y < grey.height(); ++y) {
        std::copy_n(grey.constScanLine(y), grey.width(), &image[y][0]);
    }
    dlib::frontal_face_detector detector = dlib::get_frontal_face_detector();
    for (auto _ : state) benchmark::DoNotOptimize(detector(image));
}
BENCHMARK(BM_Passport_PlainDlibWholePhoto)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Passport_PrintPhoto(benchmark::State& state) {
    const view::ConstPixels photo = constPixelsOf(faceCameraPhoto());
    const passport::Crop crop = framedCrop();
    for (auto _ : state) benchmark::DoNotOptimize(passport::makePrintPhoto(photo, crop));
    state.counters["crop_px"] = crop.width;
}
BENCHMARK(BM_Passport_PrintPhoto)->Unit(benchmark::kMillisecond);

// Baseline: the same crop stretched to 827 x 1063 by picking the nearest pixel.
void BM_Passport_NearestPixelBaseline(benchmark::State& state) {
    const view::ConstPixels photo = constPixelsOf(faceCameraPhoto());
    const passport::Crop crop = framedCrop();
    std::vector<std::uint32_t> out(std::size_t(passport::kPrintWidth) * passport::kPrintHeight);
    const view::Rect from{int(crop.x), int(crop.y), int(crop.width), int(crop.height())};
    for (auto _ : state) {
        view::stretchRect(
            photo, from,
            {out.data(), passport::kPrintWidth, passport::kPrintHeight, passport::kPrintWidth},
            0xffffffffu);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Passport_NearestPixelBaseline)->Unit(benchmark::kMillisecond);

// A crop turned to level the eyes: 3293 pixels wide (about four photo pixels per print pixel)
// round the framed head, turned 8.3 degrees.
passport::TurnedArea turnedCrop(double angleDegrees) {
    const passport::Crop framed = framedCrop();
    constexpr double kWidth = 3293;
    const double height = kWidth * passport::kPhotoHeightMm / passport::kPhotoWidthMm;
    // The corner that keeps the framed crop's centre where it is, once turned.
    const double a = angleDegrees * std::acos(-1.0) / 180;
    const double cx = framed.x + framed.width / 2, cy = framed.y + framed.height() / 2;
    return {cx - (kWidth / 2 * std::cos(a) - height / 2 * std::sin(a)),
            cy - (kWidth / 2 * std::sin(a) + height / 2 * std::cos(a)), kWidth, height,
            angleDegrees};
}

void BM_Passport_TurnedPrintPhoto(benchmark::State& state) {
    const view::ConstPixels photo = constPixelsOf(faceCameraPhoto());
    const passport::TurnedArea area = turnedCrop(8.3);
    std::vector<std::uint32_t> out(std::size_t(passport::kPrintWidth) * passport::kPrintHeight);
    for (auto _ : state) {
        passport::resampleTurned(
            photo, area,
            {out.data(), passport::kPrintWidth, passport::kPrintHeight, passport::kPrintWidth},
            passport::kFillColour);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["crop_px"] = area.width;
    state.counters["degrees"] = area.angleDegrees;
}
BENCHMARK(BM_Passport_TurnedPrintPhoto)->Unit(benchmark::kMillisecond);

// Baseline: the same crop unturned, through the upright area average.
void BM_Passport_UnturnedCropBaseline(benchmark::State& state) {
    const view::ConstPixels photo = constPixelsOf(faceCameraPhoto());
    const passport::TurnedArea area = turnedCrop(0);
    std::vector<std::uint32_t> out(std::size_t(passport::kPrintWidth) * passport::kPrintHeight);
    for (auto _ : state) {
        passport::resampleArea(
            photo, {area.x, area.y, area.width, area.height},
            {out.data(), passport::kPrintWidth, passport::kPrintHeight, passport::kPrintWidth},
            passport::kFillColour);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Passport_UnturnedCropBaseline)->Unit(benchmark::kMillisecond);

void BM_Passport_PhotoJpeg(benchmark::State& state) {
    const passport::PrintPhoto print =
        passport::makePrintPhoto(constPixelsOf(faceCameraPhoto()), framedCrop());
    std::size_t bytes = 0;
    for (auto _ : state) bytes = passport::encodeJpeg(print.view(), passport::kPrintDpi).size();
    state.counters["file_KB"] = double(bytes) / 1024;
}
BENCHMARK(BM_Passport_PhotoJpeg)->Unit(benchmark::kMillisecond);

void BM_Passport_LabSheetJpeg(benchmark::State& state) {
    const passport::PrintPhoto print =
        passport::makePrintPhoto(constPixelsOf(faceCameraPhoto()), framedCrop());
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes =
            passport::encodeJpeg(passport::makeLabSheet(print.view()).view(), passport::kPrintDpi)
                .size();
    }
    state.counters["file_KB"] = double(bytes) / 1024;
}
BENCHMARK(BM_Passport_LabSheetJpeg)->Unit(benchmark::kMillisecond);

}  // namespace
