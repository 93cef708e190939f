// The check of one framing of the counter photo, all 22 criteria, as the window runs it while
// the user drags: on the 24-megapixel photo of a real face (bench/BenchPhotos.h), framed as the
// window frames it (the face found, the crop turned to level the eyes, the person's criteria
// measured from the face's landmarks). Against two baselines of the same run: the 14 photo
// criteria alone (no landmarks), and making the 600 dpi photo of the same framing.
#include <cmath>
#include <memory>
#include <string>

#include <QImage>

#include <benchmark/benchmark.h>

#include "BenchPhotos.h"
#include "passport/Check.h"
#include "passport/FaceFinder.h"
#include "passport/PrintPhoto.h"
#include "platform/files/PhotoPixels.h"

namespace {

struct Portrait {
    const QImage* photo = nullptr;  // RGB32: 0xffRRGGBB, as the pixel views want
    passport::FaceSearch faces;
    passport::Crop crop;

    raster::ConstPixels view() const { return constPixelsOf(*photo); }
};

// Made once: the face found and framed as the window does when it opens (levelling on).
const Portrait& portrait() {
    static const std::unique_ptr<Portrait> made = [] {
        auto p = std::make_unique<Portrait>();
        p->photo = &faceCameraPhoto();
        const auto model = passport::FaceModel::load();
        if (model) p->faces = model->find(p->view());
        if (p->faces.count() == passport::FaceCount::One) {
            p->crop = passport::frameHead(p->faces.faces[0].marks, passport::AgeGroup::From11,
                                          passport::Levelling::On);
        }
        return p;
    }();
    return *made;
}

// The whole check: the person's criteria get the face's landmarks.
passport::CheckInput checkInput(const Portrait& p, const passport::Crop& crop,
                                const passport::PrintPhoto* print) {
    passport::CheckInput input;
    input.faces = p.faces.count();
    input.marks = p.faces.faces[0].marks;
    input.crop = crop;
    input.photo = p.view();
    input.group = passport::AgeGroup::From11;
    input.print = print;
    input.landmarks = &p.faces.faces[0].landmarks;
    return input;
}

bool ready(benchmark::State& state, const Portrait& p) {
    if (p.faces.count() == passport::FaceCount::One) return true;
    state.SkipWithError("no single face in the benchmark portrait (is libdlib-data installed?)");
    return false;
}

// How many criteria came to a verdict, and how many of the person's did: a person's
// criterion that cannot tell has measured nothing, so the figure would not be the real one.
void countVerdicts(benchmark::State& state, const std::vector<passport::CriterionCheck>& checks) {
    int told = 0, personTold = 0;
    for (const passport::CriterionCheck& c : checks) {
        if (c.verdict == passport::Verdict::CannotTell) continue;
        ++told;
        if (passport::groupOf(c.criterion) == passport::CriterionGroup::Person) ++personTold;
    }
    state.counters["criteria"] = double(checks.size());
    state.counters["told"] = told;
    state.counters["person_told"] = personTold;
}

void cropCounters(benchmark::State& state, const passport::Crop& crop) {
    state.counters["crop_px"] = crop.width;
    state.counters["degrees"] = crop.angleDegrees;
}

// The whole check through the crop (no 600 dpi photo made), the crop moved by a pixel each
// time: what the window runs at every step of a drag.
void BM_CheckFramingThroughCrop(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    double dx = 1;
    std::vector<passport::CriterionCheck> checks;
    for (auto _ : state) {
        checks = passport::checkPhoto(checkInput(p, passport::moveCrop(p.crop, dx, 0), nullptr));
        dx = -dx;
        benchmark::DoNotOptimize(checks.data());
    }
    countVerdicts(state, checks);
    cropCounters(state, p.crop);
}
BENCHMARK(BM_CheckFramingThroughCrop)->Unit(benchmark::kMillisecond);

// Baseline: the 14 photo criteria alone, the same way (without landmarks the person's
// criteria cannot tell and measure nothing).
void BM_CheckBaseline_PhotoCriteria(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    double dx = 1;
    std::vector<passport::CriterionCheck> checks;
    for (auto _ : state) {
        passport::CheckInput input = checkInput(p, passport::moveCrop(p.crop, dx, 0), nullptr);
        input.landmarks = nullptr;
        checks = passport::checkPhoto(input);
        dx = -dx;
        benchmark::DoNotOptimize(checks.data());
    }
    countVerdicts(state, checks);
}
BENCHMARK(BM_CheckBaseline_PhotoCriteria)->Unit(benchmark::kMillisecond);

// Baseline: the 600 dpi photo of the same framing.
void BM_CheckBaseline_PrintPhoto(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    for (auto _ : state) {
        auto print = passport::makePrintPhoto(p.view(), p.crop);
        benchmark::DoNotOptimize(print.pixels.data());
    }
    cropCounters(state, p.crop);
}
BENCHMARK(BM_CheckBaseline_PrintPhoto)->Unit(benchmark::kMillisecond);

// The whole check given the 600 dpi photo, as the outputs run it: the face and the
// background measured on the pixels the counter gets.
void BM_CheckFraming(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    const passport::PrintPhoto print = passport::makePrintPhoto(p.view(), p.crop);
    std::vector<passport::CriterionCheck> checks;
    for (auto _ : state) {
        checks = passport::checkPhoto(checkInput(p, p.crop, &print));
        benchmark::DoNotOptimize(checks.data());
    }
    countVerdicts(state, checks);
    state.counters["source_dpi"] = print.sourceDpi;
}
BENCHMARK(BM_CheckFraming)->Unit(benchmark::kMillisecond);

// A drag step that would remake the 600 dpi photo: a moved crop, its 600 dpi photo and the
// whole check on it (the window does not: it checks through the crop).
void BM_CheckDragStep(benchmark::State& state) {
    const Portrait& p = portrait();
    if (!ready(state, p)) return;
    double dx = 1;
    for (auto _ : state) {
        const passport::Crop crop = passport::moveCrop(p.crop, dx, 0);
        dx = -dx;
        const passport::PrintPhoto print = passport::makePrintPhoto(p.view(), crop);
        auto checks = passport::checkPhoto(checkInput(p, crop, &print));
        benchmark::DoNotOptimize(checks.data());
    }
}
BENCHMARK(BM_CheckDragStep)->Unit(benchmark::kMillisecond);

}  // namespace
