// portrik-passport as a studio runs it: one 24-megapixel photo end to end, and a folder of
// photos with one job and with two, each a process of its own timed from start to end, with
// its peak resident memory.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "BenchPhotos.h"
#include "Report.h"
#include "platform/files/AnyPhoto.h"

namespace {

// The high-water mark of a process's resident memory, in MB; -1 once it has ended. (The
// rusage of a spawned child would start from this program's own size, which its address
// space was copied from.)
double residentPeakOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

}  // namespace

ProgramRun runProgram(const std::vector<std::string>& args, bool watchMemory) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProgramRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    // Read the child's peak every millisecond until it ends (a timed run that does not need
    // it leaves both cores to the child).
    while (watchMemory && waitpid(pid, &status, WNOHANG) == 0) {
        run.peakMegabytes = std::max(run.peakMegabytes, residentPeakOf(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!watchMemory) waitpid(pid, &status, 0);
    run.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

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
