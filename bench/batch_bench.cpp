// portrik-passport as a studio runs it: one 24-megapixel photo end to end, and a folder of
// photos with one job and with two, each a process of its own (ProgramRun.cpp) timed from
// start to end, with its peak resident memory.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "BenchPhotos.h"
#include "Report.h"
#include "platform/files/AnyPhoto.h"

BatchFigures measureBatches() {
    BatchFigures figures;
    QTemporaryDir dir;
    const std::string program = PORTRIK_PASSPORT_PROGRAM;
    const std::string photo24 = faceCameraJpeg().toStdString();

    // Decoding alone, in this process: what one photo cannot take less than.
    {
        QFile file(faceCameraJpeg());
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        std::vector<double> times;
        for (int i = 0; i < 3; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const OpenedPhoto opened = decodeAnyPhoto(
                reinterpret_cast<const unsigned char*>(bytes.constData()), std::size_t(bytes.size()));
            times.push_back(std::chrono::duration<double, std::milli>(
                                std::chrono::steady_clock::now() - start)
                                .count());
        }
        std::sort(times.begin(), times.end());
        figures.decodeMs = times[1];
    }
    // One photo, the passport photo only.
    {
        std::vector<double> times;
        const std::string out = dir.filePath(QStringLiteral("one.jpg")).toStdString();
        for (int i = 0; i < 3; ++i) {
            const ProgramRun run = runProgram({program, photo24, "--out", out});
            if (run.status != 0) return figures;
            times.push_back(run.ms);
            figures.oneMegabytes = std::max(figures.oneMegabytes, run.peakMegabytes);
        }
        std::sort(times.begin(), times.end());
        figures.oneMs = times[1];
    }
    // 24 photos of 12 megapixels (4243 x 2829) with one job and with two: enough that the
    // program's start and the last photo's wait weigh little against the photos themselves.
    const QString folder12 = dir.filePath(QStringLiteral("twelve"));
    const QString folder24 = dir.filePath(QStringLiteral("twentyfour"));
    {
        QDir().mkpath(folder12);
        QDir().mkpath(folder24);
        const QImage twelve = faceCameraPhoto().scaled(4243, 2829, Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation);
        for (int i = 0; i < 24; ++i) {
            twelve.save(QStringLiteral("%1/pupil-%2.jpg").arg(folder12).arg(i), "JPG", 92);
            if (i < 4) QFile::copy(faceCameraJpeg(), QStringLiteral("%1/pupil-%2.jpg").arg(folder24).arg(i));
        }
    }
    // One job and two in turn, seven times each, so that the machine's drift over the minute
    // this takes falls on both alike; the medians.
    std::vector<double> times[2];
    for (int i = 0; i < 7; ++i) {
        for (int jobs : {1, 2}) {
            const std::string out =
                dir.filePath(QStringLiteral("out-%1-%2").arg(jobs).arg(i)).toStdString();
            const ProgramRun run = runProgram({program, folder12.toStdString(), "--out-dir", out,
                                               "--jobs", std::to_string(jobs)},
                                              false);
            if (run.status != 0 && run.status != 1) return figures;
            times[jobs - 1].push_back(run.ms);
        }
    }
    for (auto& t : times) std::sort(t.begin(), t.end());
    figures.batchOneJobMs = times[0][3];
    figures.batchTwoJobsMs = times[1][3];
    figures.batchPhotos = 24;
    // Four 24-megapixel photos with two jobs, every file: the peak memory.
    const ProgramRun run =
        runProgram({program, folder24.toStdString(), "--out-dir",
                    dir.filePath(QStringLiteral("out-24")).toStdString(), "--jobs", "2",
                    "--lab-sheets", "--pdfs", "--report",
                    dir.filePath(QStringLiteral("report.csv")).toStdString()});
    if (run.status == 0 || run.status == 1) figures.batchPeakMegabytes = run.peakMegabytes;
    return figures;
}
