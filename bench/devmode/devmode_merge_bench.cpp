// DevmodeMerge of a full incoming record under both libraries' rules, against a plain copy of the
// 236-byte record measured in the same run. Prints each merge's time as a multiple of the copy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "driver_devmode.h"

namespace {

// Every field this driver takes over is declared, with a private part of its own.
DRIVER_DEVMODE FullIncomingRecord() {
    DRIVER_DEVMODE incoming;
    DevmodeSetDefaults(&incoming, TEXT("VELT"));
    DEVMODEW& pub = incoming.dmPublic;
    pub.dmOrientation = DMORIENT_LANDSCAPE;
    pub.dmPaperSize = 261;
    pub.dmPaperWidth = 800;
    pub.dmPaperLength = 2000;
    pub.dmCopies = 5;
    pub.dmColor = DMCOLOR_COLOR;
    pub.dmDuplex = 2;
    incoming.dmUserSize = 2;
    incoming.dmCuttingControl = 1;
    return incoming;
}

constexpr const char* kBaseline = "CopyRecord236";

void CopyRecord236(benchmark::State& state) {
    const DRIVER_DEVMODE incoming = FullIncomingRecord();
    DRIVER_DEVMODE working;
    for (auto _ : state) {
        benchmark::DoNotOptimize(&incoming);
        std::memcpy(&working, &incoming, sizeof(working));
        benchmark::DoNotOptimize(&working);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CopyRecord236)->Name(kBaseline);

template <const DEVMODE_MERGE_RULES& Rules>
void MergeFullRecord(benchmark::State& state) {
    const DRIVER_DEVMODE incoming = FullIncomingRecord();
    DRIVER_DEVMODE working;
    DevmodeSetDefaults(&working, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(&incoming);
        benchmark::DoNotOptimize(DevmodeMerge(&working, &incoming.dmPublic, Rules));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(MergeFullRecord<CONFIGURATION_INTERFACE_MERGE_RULES>)->Name("DevmodeMerge/ConfigurationInterface");
BENCHMARK(MergeFullRecord<RENDERING_DRIVER_MERGE_RULES>)->Name("DevmodeMerge/RenderingDriver");

// The console report, followed by every benchmark's time relative to the baseline copy.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto baseline = times_.find(kBaseline);
        if (baseline == times_.end() || baseline->second <= 0) {
            return;
        }
        std::printf("\nTime relative to %s:\n", kBaseline);
        for (const auto& [name, time] : times_) {
            std::printf("  %-40s %8.2fx\n", name.c_str(), time / baseline->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
