// The check of one framing of the counter photo, as the window runs it while the user drags:
// on a 24-megapixel portrait (a real face from tests/data/faces enlarged into a 6000 x 4000
// photo), against making the 600 dpi photo of the same framing, which every drag costs anyway.
#include <memory>

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "passport/Check.h"
#include "passport/FaceFinder.h"
#include "passport/PrintPhoto.h"

namespace {

struct Portrait {
    QImage photo;  // RGB32: 0xffRRGGBB, as the pixel views want
    passport::FaceSearch faces;
    passport::Crop crop;

    view::ConstPixels view() const {
        return {reinterpret_cast<const std::uint32_t*>(photo.constBits()), photo.width(),
                photo.height(), int(photo.bytesPerLine() / 4)};
    }
};

// Made once: the face found and framed as the window does when it opens.
const Portrait& portrait() {
    static const std::unique_ptr<Portrait> made = [] {
        auto p = std::make_unique<Portrait>();
        const QImage face =
            QImage(QStringLiteral(PORTRIK_SOURCE_DIR "/tests/data/faces/plain-grey-short-hair.jpg"))
                .convertToFormat(QImage::Format_RGB32);
        p->photo = QImage(6000, 4000, QImage::Format_RGB32);
        p->photo.fill(face.pixel(0, 0));
        const QImage large = face.scaledToHeight(3200, Qt::SmoothTransformation);
        QPainter(&p->photo).drawImage((6000 - large.width()) / 2, 400, large);
        const auto model = passport::FaceModel::load();
        if (model) p->faces = model->find(p->view());
        if (p->faces.count() == passport::FaceCount::One)
            p->crop = passport::frameHead(p->faces.faces[0].marks, passport::AgeGroup::From11);
        return p;
    }();
    return *made;
}

passport::CheckInput checkInput(const Portrait& p, const passport::PrintPhoto* print) {
    return {p.faces.count(), p.faces.faces[0].marks,     p.crop,
            p.view(),        passport::AgeGroup::From11, print};
}

bool ready(benchmark::State& state, const Portrait& p) {
    if (p.faces.count() == passport::FaceCount::One) return true;
    state.SkipWithError("no single face in the benchmark portrait (is libdlib-data installed?)");
    return false;
}

// The check alone, given the 600 dpi photo.
void BM_CheckFraming(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    const passport::PrintPhoto print = passport::makePrintPhoto(p.view(), p.crop);
    for (auto _ : state) {
        auto checks = passport::checkPhoto(checkInput(p, &print));
        benchmark::DoNotOptimize(checks.data());
    }
    state.counters["source_dpi"] = print.sourceDpi;
}
BENCHMARK(BM_CheckFraming)->Unit(benchmark::kMillisecond);

// The check alone, measured on the loaded photo through the crop (no 600 dpi photo made):
// what the window can run at every step of a drag.
void BM_CheckFramingThroughCrop(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    double dx = 1;
    for (auto _ : state) {
        passport::CheckInput input = checkInput(p, nullptr);
        input.crop = passport::moveCrop(p.crop, dx, 0);
        dx = -dx;
        auto checks = passport::checkPhoto(input);
        benchmark::DoNotOptimize(checks.data());
    }
}
BENCHMARK(BM_CheckFramingThroughCrop)->Unit(benchmark::kMillisecond);

// Baseline: the 600 dpi photo of the same framing.
void BM_CheckBaseline_PrintPhoto(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    for (auto _ : state) {
        auto print = passport::makePrintPhoto(p.view(), p.crop);
        benchmark::DoNotOptimize(print.pixels.data());
    }
}
BENCHMARK(BM_CheckBaseline_PrintPhoto)->Unit(benchmark::kMillisecond);

// What one drag step costs the window: a moved crop, its 600 dpi photo and its check.
void BM_CheckDragStep(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    double dx = 1;
    for (auto _ : state) {
        const passport::Crop crop = passport::moveCrop(p.crop, dx, 0);
        dx = -dx;
        const passport::PrintPhoto print = passport::makePrintPhoto(p.view(), crop);
        passport::CheckInput input = checkInput(p, &print);
        input.crop = crop;
        auto checks = passport::checkPhoto(input);
        benchmark::DoNotOptimize(checks.data());
    }
}
BENCHMARK(BM_CheckDragStep)->Unit(benchmark::kMillisecond);

}  // namespace
