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

struct ProcessFigures {
    double startupMs = -1;        // program start to its window on screen (median), -1: not run
    double peakMegabytes = -1;    // peak resident memory with the photo loaded and zoomed
    double idleMegabytes = -1;    // peak resident memory of the window alone
    double passportMs = -1;       // portrik-passport end to end on a 24 MP photo (median of 3)
    double passportMegabytes = -1;  // its peak resident memory
    CounterFigures counter;       // the counter-photo window on a 24-megapixel face
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
