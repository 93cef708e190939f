// A program run as a process of its own, timed from start to end, with its peak resident
// memory (see Report.h).
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

#include "Report.h"

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

