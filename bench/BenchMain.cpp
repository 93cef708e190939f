// The benchmark program's main: Qt's application object (offscreen) exists for the whole run,
// so window and picture benchmarks run beside the plain ones. After the usual table it prints
// one report of every figure with its baseline and target.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "CounterBench.h"
#include "Report.h"
#include "workspace/Startup.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    if (runPeakMemoryChild(argc, argv)) return 0;
    if (runCounterWindowChild(argc, argv)) return 0;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ReportCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    printReport(collector, measureProcesses(argv[0]));
    return 0;
}
