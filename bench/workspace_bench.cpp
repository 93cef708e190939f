// The main window's photo work: loading a camera-sized JPEG against a plain TurboJPEG decode,
// zooming against a full QImage::scaled, one scroll step, one capture, start-up.
#include <malloc.h>

#include <cstdio>
#include <memory>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include "BenchPhotos.h"
#include "workspace/Main.h"
#include "platform/files/PhotoFile.h"
#include "platform/files/PhotoPixels.h"
#include "ScriptedDialogs.h"
#include "platform/widgets/ScrollBar.h"

// Smooth gradients with fine texture, like a camera photo as the encoder sees it.
const QString& cameraJpeg() {
    static QTemporaryDir dir;
    static QString path;
    if (!path.isEmpty()) return path;
    const int width = 6000, height = 4000;
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<unsigned char>((x / 24 + ((x * 7 + y * 13) & 15)) & 255);
            p[1] = static_cast<unsigned char>((y / 16 + ((x ^ y) & 7)) & 255);
            p[2] = static_cast<unsigned char>(((x + y) / 40) & 255);
        }
    }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0);
    path = dir.filePath(QStringLiteral("camera.jpg"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(jpeg), static_cast<qint64>(size));
    tjFree(jpeg);
    tjDestroy(tj);
    return path;
}

namespace {

// Heap in use, large blocks (which malloc maps separately) included.
double heapMegabytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// Baseline: read the file and decode it with TurboJPEG into 32-bit blue-green-red-x pixels.
void BM_Load_PlainTurboJpeg(benchmark::State& state) {
    const QString& path = cameraJpeg();
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        int w = 0, h = 0, sub = 0, cs = 0;
        tjDecompressHeader3(tj, reinterpret_cast<const unsigned char*>(bytes.constData()),
                            bytes.size(), &w, &h, &sub, &cs);
        // Uninitialised, like a fresh QImage: the decoder writes every byte.
        std::unique_ptr<unsigned char[]> pixels(new unsigned char[static_cast<size_t>(w) * h * 4]);
        tjDecompress2(tj, reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(),
                      pixels.get(), w, w * 4, h, TJPF_BGRX, 0);
        benchmark::DoNotOptimize(pixels.get());
    }
    tjDestroy(tj);
}
BENCHMARK(BM_Load_PlainTurboJpeg)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The program's load: File / "Load Photo" end to end (decode, viewport, status, menus).
void BM_Load_FileLoadPhoto(benchmark::State& state) {
    ScriptedDialogs dialogs;
    std::unique_ptr<Main> window;
    double held = 0;
    for (auto _ : state) {
        // Each load into a window that holds no photo yet, so the growth is what one load keeps.
        state.PauseTiming();
        window.reset();
        window = std::make_unique<Main>(MainServices{&dialogs});
        const double before = heapMegabytes();
        state.ResumeTiming();
        dialogs.openAnswers.push_back(cameraJpeg());
        window->onFileLoad();
        state.PauseTiming();
        held = heapMegabytes() - before;
        if (!window->session().PhotoLoaded()) state.SkipWithError("the photo did not load");
        state.ResumeTiming();
    }
    // One decoded copy of a 6000 x 4000 photo is 91.6 MB.
    state.counters["held_MB"] = held;
}
BENCHMARK(BM_Load_FileLoadPhoto)->Unit(benchmark::kMillisecond)->MinTime(2.0);

struct LoadedWindow {
    ScriptedDialogs dialogs;
    std::unique_ptr<Main> window;
    LoadedWindow() {
        dialogs.openAnswers.push_back(cameraJpeg());
        window = std::make_unique<Main>(MainServices{&dialogs});
        window->onFileLoad();
    }
};

LoadedWindow& loaded() {
    static LoadedWindow instance;
    return instance;
}

void BM_Zoom_Program(benchmark::State& state) {
    Main& window = *loaded().window;
    const int index = static_cast<int>(state.range(0));
    double growth = 0;
    for (auto _ : state) {
        window.onSizeProcent(10);
        const double before = heapMegabytes();
        window.onSizeProcent(index);
        growth = heapMegabytes() - before;
    }
    state.counters["growth_MB"] = growth;
    state.SetLabel(std::to_string(10 * index) + "% (includes a zoom back to 100%)");
}
BENCHMARK(BM_Zoom_Program)
    ->DenseRange(1, 10)
    ->Arg(15)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond);

// Baseline: the zoomed bitmap made in full by Qt's plain stretch.
void BM_Zoom_FullQImageScaled(benchmark::State& state) {
    const QImage photo = imageOf(*loaded().window->session().photo());
    const int percent = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const QImage zoomed = photo.scaled(photo.width() * percent / 100,
                                           photo.height() * percent / 100, Qt::IgnoreAspectRatio,
                                           Qt::FastTransformation);
        benchmark::DoNotOptimize(zoomed.constBits());
    }
    state.counters["bitmap_MB"] = photo.width() * percent / 100.0 * photo.height() * percent /
                                  100.0 * 4 / (1024 * 1024);
}
BENCHMARK(BM_Zoom_FullQImageScaled)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_ScrollStep(benchmark::State& state) {
    Main& window = *loaded().window;
    window.onSizeProcent(20);
    int value = 0;
    for (auto _ : state) {
        value = value == 1000 ? 0 : value + 1;
        window.HScroll1->setValue(value);  // raises the change event: one viewport redraw
    }
    window.onSizeProcent(10);
}
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMicrosecond);

void BM_Capture(benchmark::State& state) {
    Main& window = *loaded().window;
    window.HScroll2->setValue(static_cast<int>(state.range(0)));
    window.onPicMouseMove(QPoint(240, 180));
    for (auto _ : state) window.onPicMouseDown(QPoint(240, 180));
    window.HScroll2->setValue(127);
}
BENCHMARK(BM_Capture)->Arg(127)->Arg(270)->Unit(benchmark::kMicrosecond);

// Building and showing the main window, start-up drawing included.
void BM_Startup_MainWindow(benchmark::State& state) {
    for (auto _ : state) {
        ScriptedDialogs dialogs;
        Main window(MainServices{&dialogs});
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.winId());
    }
}
BENCHMARK(BM_Startup_MainWindow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace
