// Sheets written as PDF files through QPrinter: every layout, the 42-stamp sheet above all,
// against a blank A4 page written the same way. The pdf_bytes counter is the file's size; the
// photo is drawn from one QImage throughout, so the file holds it once however many times the
// sheet shows it.
#include <random>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "printing/SheetPrinter.h"

namespace {

// A passport photo with a photo's detail: a gradient with noise, so it compresses like one.
QImage benchPhoto() {
    QImage photo(127, 163, QImage::Format_RGB32);
    std::minstd_rand engine(7);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) {
            const int noise = static_cast<int>(engine() % 48);
            photo.setPixel(x, y, qRgb(80 + x + noise / 2, 60 + y / 2 + noise, 40 + noise));
        }
    return photo;
}

void BM_BlankA4Pdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("blank.pdf"));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&printer);
        painter.end();
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_BlankA4Pdf)->Unit(benchmark::kMillisecond);

void BM_SheetPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    const QImage photo = benchPhoto();
    const QImage stamp(QStringLiteral(":/pictures/stamp.png"));
    sheets::SheetOptions options;
    options.layout = static_cast<int>(state.range(0));
    options.cutLines = options.layout <= 14;
    for (auto _ : state) {
        const PrintOutcome outcome = saveSheetAsPdf(path, options, photo, stamp);
        if (!outcome.printed) state.SkipWithError(outcome.problem.toUtf8().constData());
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_SheetPdf)->DenseRange(1, 16)->Unit(benchmark::kMillisecond);

}  // namespace
