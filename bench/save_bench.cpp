// Saving the 127 x 163 passport photo: the program's BMP and JPEG saves (complete file beside
// the old one, then renamed) against Qt's own writers as the baseline, and BmpToJpeg alone.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bmptojpeg/BmpToJpeg.h"
#include "platform/files/PhotoSave.h"

namespace {

// A photo-like picture: soft gradients with some grain, so the JPEG has real work to do.
QImage benchPhoto() {
    QImage image(127, 163, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grain = (x * 7 + y * 13) % 9;
            image.setPixel(x, y, qRgb(150 + x / 2 + grain, 110 + y / 3 + grain, 90 + grain));
        }
    }
    return image;
}

void reportSize(benchmark::State& state, const QString& path) {
    state.counters["file_bytes"] = double(QFileInfo(path).size());
}

void BM_SaveBmp_QtBaseline(benchmark::State& state) {
    const QImage photo = benchPhoto();
    QTemporaryDir dir;
    const QString path = dir.filePath("foto.bmp");
    for (auto _ : state) benchmark::DoNotOptimize(photo.save(path, "BMP"));
    reportSize(state, path);
}
BENCHMARK(BM_SaveBmp_QtBaseline)->Unit(benchmark::kMicrosecond);

void BM_SaveBmp(benchmark::State& state) {
    const QImage photo = benchPhoto();
    QTemporaryDir dir;
    const QString path = dir.filePath("foto.bmp");
    for (auto _ : state) {
        if (savePhotoAsBmp(photo, path) != SaveResult::Saved) state.SkipWithError("not saved");
    }
    reportSize(state, path);
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMicrosecond);

void BM_SaveJpeg_QtBaseline(benchmark::State& state) {
    const QImage photo = benchPhoto();
    QTemporaryDir dir;
    const QString path = dir.filePath("foto.jpg");
    for (auto _ : state) benchmark::DoNotOptimize(photo.save(path, "JPG", 100));
    reportSize(state, path);
}
BENCHMARK(BM_SaveJpeg_QtBaseline)->Unit(benchmark::kMicrosecond);

void BM_SaveJpeg(benchmark::State& state) {
    const QImage photo = benchPhoto();
    QTemporaryDir dir;
    const QString path = dir.filePath("foto.jpg");
    SaveServices services;
    services.programFolder = dir.path();
    for (auto _ : state) {
        if (savePhotoAsJpeg(photo, path, nullptr, services) != SaveResult::Saved) {
            state.SkipWithError("not saved");
        }
    }
    reportSize(state, path);
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMicrosecond);

void BM_BmpToJpeg(benchmark::State& state) {
    QTemporaryDir dir;
    const QString bmp = dir.filePath("mydummy.bmp");
    const QString jpeg = dir.filePath("foto.jpg");
    if (!writeFileAtomically(bmp, encodeBmp24(benchPhoto()))) state.SkipWithError("no BMP");
    const QByteArray bmpPath = QFile::encodeName(bmp);
    const QByteArray jpegPath = QFile::encodeName(jpeg);
    for (auto _ : state) {
        if (BmpToJpeg(bmpPath.constData(), jpegPath.constData(), 100) != BMPTOJPEG_OK) {
            state.SkipWithError("not converted");
        }
    }
    reportSize(state, jpeg);
}
BENCHMARK(BM_BmpToJpeg)->Unit(benchmark::kMicrosecond);

}  // namespace
