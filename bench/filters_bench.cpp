// The filters on the 127 x 163 passport photo, without event processing, against the bare frame
// of a run (read, copy, write back: code 0); and each Edit/Flip menu command end to end
// (filter with the window's event processing, then the repaint of Orgineel) against a command
// that only repaints.
#include <cstring>
#include <random>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QWindow>

#include <benchmark/benchmark.h>

#include "filters/EditMenu.h"
#include "filters/Filters.h"
#include "workspace/Main.h"

namespace {

constexpr int kPhotoWidth = 127;
constexpr int kPhotoHeight = 163;

Filters::MemoryBitmap benchPhoto() {
    Filters::MemoryBitmap photo(kPhotoWidth, kPhotoHeight);
    std::minstd_rand engine(1);
    for (auto& byte : photo.bytes()) byte = static_cast<std::uint8_t>(engine() >> 8);
    return photo;
}

// The filter of one Edit item, with its code and parameter from the Edit menu's table; a null
// item runs the bare frame (code 0).
void BM_Filter(benchmark::State& state, Filters::EditSubmenu submenu, int index) {
    const Filters::EditItem* item = Filters::findEditItem(submenu, index);
    const int code = item ? item->code : 0;
    const int parameter = item ? item->parameter : 0;
    const Filters::MemoryBitmap original = benchPhoto();
    Filters::MemoryBitmap photo = original;
    for (auto _ : state) {
        Filters::RunFilter(code, photo, parameter);
        benchmark::DoNotOptimize(photo.bytes().data());
        benchmark::ClobberMemory();
    }
}

#define FILTER_BENCH(name, submenu, index)                                     \
    BENCHMARK_CAPTURE(BM_Filter, name, Filters::EditSubmenu::submenu, index) \
        ->Unit(benchmark::kMicrosecond)

FILTER_BENCH(Baseline_FrameOnly, None, -1);
FILTER_BENCH(Grayscale, None, 0);
FILTER_BENCH(Negative, None, 1);
FILTER_BENCH(Light, None, 2);
FILTER_BENCH(Dark, None, 3);
FILTER_BENCH(Sharpen, None, 4);
FILTER_BENCH(ContrastPositive, Contrast, 1);
FILTER_BENCH(ContrastNegative, Contrast, 2);
FILTER_BENCH(Pixelize, None, 6);
FILTER_BENCH(Relief, None, 7);
FILTER_BENCH(SwapColours, Swap, 1);
FILTER_BENCH(Scattered, None, 9);
FILTER_BENCH(Blur, None, 10);
FILTER_BENCH(Aquarel, None, 11);
FILTER_BENCH(Defuse, None, 12);
FILTER_BENCH(AddNoise, None, 13);
FILTER_BENCH(Edge, None, 14);
FILTER_BENCH(Contour, None, 15);

void BM_Flip(benchmark::State& state, bool horizontal) {
    Filters::MemoryBitmap photo = benchPhoto();
    for (auto _ : state) {
        if (horizontal) Filters::FlipHorizontal(photo);
        if (!horizontal) Filters::FlipVertical(photo);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(BM_Flip, Horizontal, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Flip, Vertical, false)->Unit(benchmark::kMicrosecond);

void BM_Border(benchmark::State& state) {
    Filters::MemoryBitmap photo = benchPhoto();
    for (auto _ : state) {
        Filters::Border(photo);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Border)->Unit(benchmark::kMicrosecond);

// A whole menu command in the shown window. Kind 0: EditConvert, 1: EditContrastConvert,
// 2: EditSwap, 3: FlipConvert. EditConvert 5 ("Contrast", a submenu) runs no filter and is
// the baseline: the pointer and the repaint alone.
void BM_MenuCommand(benchmark::State& state, int kind, int index) {
    static Main* window = nullptr;
    if (!window) {
        window = new Main;
        window->show();
        // Repaints reach the window only once it is on the screen.
        QDeadlineTimer deadline(5000);
        while (!window->windowHandle()->isExposed() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    const Filters::MemoryBitmap pixels = benchPhoto();
    QImage photo(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
    for (int y = 0; y < kPhotoHeight; ++y) {
        std::memcpy(photo.scanLine(y),
                    &pixels.bytes()[static_cast<std::size_t>(y) * 4 * kPhotoWidth],
                    4 * kPhotoWidth);
    }
    window->passportPhoto() = photo;
    for (auto _ : state) {
        switch (kind) {
            case 0:
                window->onEditConvert(index);
                break;
            case 1:
                window->onEditContrastConvert(index);
                break;
            case 2:
                window->onEditSwap(index);
                break;
            default:
                window->onFlipConvert(index);
                break;
        }
    }
}

#define MENU_BENCH(name, kind, index) \
    BENCHMARK_CAPTURE(BM_MenuCommand, name, kind, index)->Unit(benchmark::kMillisecond)

MENU_BENCH(Baseline_RepaintOnly, 0, 5);
MENU_BENCH(Grayscale, 0, 0);
MENU_BENCH(Negative, 0, 1);
MENU_BENCH(Light, 0, 2);
MENU_BENCH(Dark, 0, 3);
MENU_BENCH(Sharpen, 0, 4);
MENU_BENCH(Pixelize, 0, 6);
MENU_BENCH(Relief, 0, 7);
MENU_BENCH(Scattered, 0, 9);
MENU_BENCH(Blur, 0, 10);
MENU_BENCH(Aquarel, 0, 11);
MENU_BENCH(Defuse, 0, 12);
MENU_BENCH(AddNoise, 0, 13);
MENU_BENCH(Edge, 0, 14);
MENU_BENCH(Contour, 0, 15);
MENU_BENCH(ContrastPositive, 1, 1);
MENU_BENCH(ContrastNegative, 1, 2);
MENU_BENCH(SwapBRG, 2, 1);
MENU_BENCH(FlipHorizontal, 3, 0);
MENU_BENCH(FlipVertical, 3, 1);

}  // namespace
