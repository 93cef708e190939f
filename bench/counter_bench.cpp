// The counter-photo window on a 24-megapixel photo of a real face, framed as it opens: the
// face found, the crop turned to level the eyes. One drag step (the turned framed photo
// redrawn from the halved copies, the whole check with the person's criteria, the repaint)
// against the same framed photo averaged from the whole photo; the 600 dpi photo of one
// framing. In a child process of its own, where the model is not loaded yet: the model's load
// beside the event loop, the time to the framed photo, and the peak memory.
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "BenchPhotos.h"
#include "CounterBench.h"
#include "ScriptedDialogs.h"
#include "counter/CheckRows.h"
#include "counter/CounterView.h"
#include "counter/CounterWindow.h"
#include "counter/FaceModelSource.h"
#include "counter/PreviewLevels.h"
#include "passport/FaceFinder.h"
#include "passport/Resample.h"
#include "platform/files/PhotoFile.h"
#include "platform/files/PhotoPixels.h"
#include "workspace/Main.h"

double faceModelFileMegabytes() {
    const QFileInfo model(QString::fromStdString(passport::faceModelPath()));
    return model.exists() ? model.size() / (1024.0 * 1024.0) : -1;
}

namespace {

// Processor time this thread has used.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double peakResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

// The window on the 24-megapixel face, framed as it opens: the program's own model source
// (loaded once per run, kept for every later opening) finds the face, and the framing levels
// its eyes.
struct OpenCounter {
    ScriptedDialogs dialogs;
    QImage photo = loadPhoto(faceCameraJpeg(), Qt::white);
    std::unique_ptr<CounterWindow> window;
    OpenCounter() {
        window = std::make_unique<CounterWindow>(adoptPhoto(photo), faceCameraJpeg(),
                                                 passport::AgeGroup::From11, dialogs,
                                                 PrinterChoice{}, FaceModelSource::shared());
        window->show();
        while (!window->settled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    raster::ConstPixels pixels() const { return constPixelsOf(photo); }
    // True when the face framed the photo; else the benchmark is skipped.
    bool framedByFace(benchmark::State& state) const {
        if (window->framing().finding() == counter::Finding::OneFace &&
            window->framing().landmarks()) {
            return true;
        }
        state.SkipWithError("the window found no single face (is libdlib-data installed?)");
        return false;
    }
};

// Made for each benchmark and gone before the application object: a window must not
// outlive it.
std::unique_ptr<OpenCounter> openCounter() {
    return std::make_unique<OpenCounter>();
}

void moveMouse(QWidget* view, QEvent::Type type, QPointF pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, view->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

// Milliseconds per call of `work`, over `times` calls.
template <typename Work>
double msPerCall(int times, Work work) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < times; ++i) work();
    return timer.nsecsElapsed() / 1e6 / times;
}

// One step of a drag: the framing moves, the framed photo is redrawn through the turned crop
// from the halved copies, the check list (all 22 criteria, the person's from the face's
// landmarks) and the slider follow, and the view repaints. Afterwards, on the last framing,
// the two parts of the step alone: the turned preview (PreviewLevels::render) and the check
// rows (checkRows).
void BM_Counter_DragStep(benchmark::State& state) {
    const std::unique_ptr<OpenCounter> open = openCounter();
    if (!open->framedByFace(state)) return;
    CounterWindow& window = *open->window;
    QWidget* view = window.View;
    moveMouse(view, QEvent::MouseButtonPress, {175, 420}, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 40;
        moveMouse(view, QEvent::MouseMove, {175.0 + (step < 20 ? step : 40 - step), 420},
                  Qt::NoButton, Qt::LeftButton);
        view->repaint();
        QCoreApplication::processEvents();  // the check that follows the frame
    }
    moveMouse(view, QEvent::MouseButtonRelease, {175, 420}, Qt::LeftButton, Qt::NoButton);

    const counter::CounterFraming& framing = window.framing();
    const passport::Crop crop = framing.crop();
    const auto levels = counter::PreviewLevels::build(open->pixels(), nullptr);
    QImage preview(counter::kViewWidth, counter::kViewHeight, QImage::Format_RGB32);
    state.counters["preview_ms"] = msPerCall(20, [&] {
        levels->render(crop, {reinterpret_cast<std::uint32_t*>(preview.bits()), preview.width(),
                              preview.height(), int(preview.bytesPerLine() / 4)});
    });
    std::vector<counter::CheckRow> rows;
    state.counters["rows_ms"] = msPerCall(10, [&] {
        rows = counter::checkRows({open->pixels(), framing});
    });
    int personTold = 0;
    for (const counter::CheckRow& row : rows) {
        if (row.group == passport::CriterionGroup::Person &&
            row.verdict != counter::Verdict::CannotTell) {
            ++personTold;
        }
    }
    state.counters["rows"] = double(rows.size());
    state.counters["person_told"] = personTold;
    state.counters["degrees"] = crop.angleDegrees;
    char label[96];
    std::snprintf(label, sizeof label, "%.0f px crop turned %.1f degrees, %d of 8 person rows told",
                  crop.width, crop.angleDegrees, personTold);
    state.SetLabel(label);
}
BENCHMARK(BM_Counter_DragStep)->Unit(benchmark::kMillisecond);

// Baseline: the same framed photo, through the same turned crop, averaged from the whole
// photo, as it would be without the halved copies.
void BM_Counter_PreviewFromWholePhoto(benchmark::State& state) {
    const std::unique_ptr<OpenCounter> open = openCounter();
    if (!open->framedByFace(state)) return;
    const passport::Crop crop = open->window->framing().crop();
    QImage preview(counter::kViewWidth, counter::kViewHeight, QImage::Format_RGB32);
    const view::ConstPixels photo = open->pixels();
    for (auto _ : state) {
        passport::resampleTurned(photo,
                                 {crop.x, crop.y, crop.width, crop.height(), crop.angleDegrees},
                                 {reinterpret_cast<std::uint32_t*>(preview.bits()), preview.width(),
                                  preview.height(), int(preview.bytesPerLine() / 4)},
                                 0xffffffffu);
        benchmark::DoNotOptimize(preview.constBits());
    }
}
BENCHMARK(BM_Counter_PreviewFromWholePhoto)->Unit(benchmark::kMillisecond);

// The 600 dpi photo of the levelled framing, made anew after a change of the framing, when
// an output asks for it.
void BM_Counter_PrintPhoto(benchmark::State& state) {
    const std::unique_ptr<OpenCounter> open = openCounter();
    if (!open->framedByFace(state)) return;
    CounterWindow& window = *open->window;
    QWidget* view = window.View;
    bool right = false;
    for (auto _ : state) {
        state.PauseTiming();
        right = !right;
        moveMouse(view, QEvent::MouseButtonPress, {175, 420}, Qt::LeftButton, Qt::LeftButton);
        moveMouse(view, QEvent::MouseMove, {right ? 176.0 : 174.0, 420}, Qt::NoButton,
                  Qt::LeftButton);
        moveMouse(view, QEvent::MouseButtonRelease, {175, 420}, Qt::LeftButton, Qt::NoButton);
        state.ResumeTiming();
        benchmark::DoNotOptimize(window.printPhoto().constBits());
    }
    state.counters["crop_px"] = window.framing().crop().width;
    state.counters["degrees"] = window.framing().crop().angleDegrees;
}
BENCHMARK(BM_Counter_PrintPhoto)->Unit(benchmark::kMillisecond);

}  // namespace

CounterFigures measureCounterWindow(const char* selfPath) {
    CounterFigures figures;
    QProcess child;
    child.start(QString::fromLocal8Bit(selfPath),
                {QStringLiteral("--counter-window=") + faceCameraJpeg()});
    if (!child.waitForFinished(300000)) return figures;
    const QStringList values =
        QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    double* fields[] = {&figures.peakMegabytes,  &figures.photoOnlyMegabytes,
                        &figures.modelLoadMs,    &figures.openingMs,
                        &figures.longestStallMs, &figures.longestStallWorkMs,
                        &figures.ticks,          &figures.framedMs};
    if (values.size() != std::size(fields)) return figures;
    for (std::size_t i = 0; i < values.size(); ++i) *fields[i] = values[i].toDouble();
    return figures;
}

bool runCounterWindowChild(int argc, char** argv) {
    const std::string flag = "--counter-window=";
    QString path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(flag, 0) == 0) path = QString::fromLocal8Bit(arg.substr(flag.size()).c_str());
    }
    if (path.isEmpty()) return false;
    ScriptedDialogs dialogs;
    Main main(MainServices{&dialogs});
    main.show();
    dialogs.openAnswers.push_back(path);
    main.onFileLoad();
    QCoreApplication::processEvents();
    const double photoOnly = peakResidentMb();

    // A 10 ms timer notes the waits between its ticks while the model loads. The first wait
    // holds the window's own making and first paint; the others what the load leaves the
    // event loop.
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceTick;
    double opening = -1;
    double longest = 0;
    double longestWork = 0;  // the window thread's own processor time in the longest wait
    double tickCpu = threadCpuMs();
    int ticks = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double gap = sinceTick.nsecsElapsed() / 1e6;
        const double work = threadCpuMs() - tickCpu;
        sinceTick.restart();
        tickCpu = threadCpuMs();
        if (opening < 0) {
            opening = gap;
        } else if (gap > longest) {
            longest = gap;
            longestWork = work;
        }
        ++ticks;
    });
    QElapsedTimer opened;
    opened.start();
    sinceTick.start();
    ticker.start(10);
    FaceModelSource& faces = FaceModelSource::shared();
    const auto& photo = main.session().photo();
    CounterWindow window(photo, QString::fromStdString(main.session().PhotoFileName()),
                         passport::AgeGroup::From11, dialogs, main.printerChoice(), faces, &main);
    window.show();
    while (faces.state() != FaceModelSource::State::Ready &&
           faces.state() != FaceModelSource::State::Failed) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const double modelMs = opened.nsecsElapsed() / 1e6;
    ticker.stop();
    const int loadTicks = ticks;
    while (!window.settled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double framedMs = opened.nsecsElapsed() / 1e6;
    QCoreApplication::processEvents();
    std::printf("%.1f %.1f %.1f %.1f %.1f %.1f %d %.1f\n", peakResidentMb(), photoOnly, modelMs,
                opening, longest, longestWork, loadTicks, framedMs);
    return true;
}
