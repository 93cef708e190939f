#pragma once

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "CounterBench.h"

// Prints the usual benchmark table while collecting the results, then one report: every
// figure next to its baseline and its target.
class ReportCollector : public benchmark::ConsoleReporter {
public:
    struct Result {
        double realMs = 0;
        double cpuMs = 0;
        std::map<std::string, double> counters;
        std::string label;
    };

    void ReportRuns(const std::vector<Run>& runs) override;

    // Result by benchmark name (for repeated benchmarks: the median).
    const std::map<std::string, Result>& results() const { return results_; }

private:
    std::map<std::string, Result> results_;
};

// A program run as a process of its own: its exit status (-1: did not run or end normally),
// wall time and peak resident memory.
struct ProgramRun {
    int status = -1;
    double ms = -1;
    double peakMegabytes = -1;
};
// `watchMemory`: read its peak resident memory every millisecond while it runs.
ProgramRun runProgram(const std::vector<std::string>& args, bool watchMemory = true);

// portrik-passport as a studio runs it (bench/batch_bench.cpp).
struct BatchFigures {
    double decodeMs = -1;            // the 24 MP JPEG decoded alone, in-process
    double oneMs = -1;               // one 24 MP photo end to end, the passport photo only
    double oneMegabytes = -1;
    int batchPhotos = 0;             // 12 MP photos in a folder
    double batchOneJobMs = -1;       // the folder with --jobs 1
    double batchTwoJobsMs = -1;      // and with --jobs 2
    double batchPeakMegabytes = -1;  // four 24 MP photos, two jobs, every file
};
BatchFigures measureBatches();

struct ProcessFigures {
    double startupMs = -1;        // program start to its window on screen (median), -1: not run
    double peakMegabytes = -1;    // peak resident memory with the photo loaded and zoomed
    double idleMegabytes = -1;    // peak resident memory of the window alone
    double passportMs = -1;       // portrik-passport end to end on a 24 MP photo (median of 3)
    double passportMegabytes = -1;  // its peak resident memory
    CounterFigures counter;       // the counter-photo window on a 24-megapixel face
    BatchFigures batch;
};

// portrik-passport run on the 24-megapixel face photo, writing all three files: wall time
// (median of three runs) and peak resident memory, into `figures`.
void measurePassportProgram(ProcessFigures& figures);

// Measurements made on separate processes: the real program's start-up under Xvfb, the
// peak memory of a window holding a 24-megapixel photo zoomed to 200 %, and the counter-photo
// window opened on a 24-megapixel face.
ProcessFigures measureProcesses(const char* selfPath);

// The bench program itself, started as a child to measure peak memory: returns true (and
// has printed the figure) when argv asked for that.
bool runPeakMemoryChild(int argc, char** argv);

void printReport(const ReportCollector& collector, const ProcessFigures& process);
