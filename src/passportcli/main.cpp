// portrik-passport: the counter photo from the command line (see PassportCommand.h).
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "passportcli/PassportCommand.h"

namespace {

// Qt's own notices (no runtime folder, no fonts configured) are no business of the user of a
// command; real failures are reported by the command itself.
void onlyFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

// Set by Ctrl-C or SIGTERM during a run of many photos.
std::atomic<bool> interrupted{false};
std::atomic<int> interruption{0};
std::atomic<long long> firstInterruptionNs{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
              std::atomic<long long>::is_always_lock_free);

long long nowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);  // safe in a signal handler
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// The first signal stops the run cleanly. One that follows within a second is the same
// stop come twice (Ctrl-C reaches a wrapper such as timeout or a job runner too, which
// passes it on); one later than that is the user insisting, and ends the program at once.
void onInterrupt(int signal) {
    const long long now = nowNs();
    long long first = 0;
    if (firstInterruptionNs.compare_exchange_strong(first, now)) {
        interruption = signal;
        interrupted = true;
    } else if (now - first > 1'000'000'000LL) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

void stopCleanlyOn(int signal) {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The PDF is drawn off screen: no display is needed, and a display that is set but gone
    // (a closed remote session) does not stop the program. Qt sees none of the arguments.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(onlyFailures);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    // Qt takes the C library's locale from the environment, and printf would then write
    // "28,1 mm" on a Dutch machine, beside the check's "28.1 mm": figures keep their point.
    std::setlocale(LC_NUMERIC, "C");
    passportcli::Services services;
    const auto options = passportcli::parseArguments(args, nullptr);
    if (options && options->isBatch()) {
        stopCleanlyOn(SIGINT);
        stopCleanlyOn(SIGTERM);
        services.interrupted = &interrupted;
        services.terminal = isatty(STDERR_FILENO) == 1;
        // Each photo allocates and frees the same few dozen megabytes of scratch (the copy
        // faces are looked for on, the detector's pyramids, the 600 dpi photo). By default
        // the C library hands such blocks back to the kernel and every photo faults them in
        // again; with several workers that took a quarter of the time. Kept, they are reused:
        // each worker's scratch stays allocated between photos (the photos themselves, larger
        // than the threshold, still go back at once).
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
    }
    const int status = passportcli::runCommand(args, std::cout, std::cerr, services);
    if (status == passportcli::kExitInterrupted && interruption != 0) {
        // Ended by the signal, as whatever started the program (a shell loop, a job runner)
        // expects of a program the user stopped.
        std::signal(interruption, SIG_DFL);
        std::raise(interruption);
    }
    return status;
}
