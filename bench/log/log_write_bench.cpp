// What one log line costs: VLK_LogWrite of a 60-byte text with time stamp into a fresh log folder,
// against a plain WriteFile of the same 75 bytes (stamp, text, CR LF) as baseline, in the same run.
// Both run a fixed number of lines so that the files stay small; the log's figure includes the one
// rotation that its 1.5 MB of lines bring about.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "VELTlog.h"
#include "host/testing.h"

namespace {

constexpr int kLines = 20000;
const char kText[] = "Entering the function DrvStartPage with a sixty byte message";
static_assert(sizeof kText - 1 == 60);

// A temporary folder with a "logs" folder and a printer whose log settings point at it.
class BenchSetup {
public:
    BenchSetup() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velt-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        root_ = pattern;
        setenv("VELT_HOME", (root_ / "home").c_str(), 1);
        std::filesystem::create_directory(root_ / "logs");
        HostUseTemporaryStore();

        std::u16string name = u"Bench Printer", driver = u"VELT", port = u"FILE:/dev/null";
        PRINTER_INFO_2W info{};
        info.pPrinterName = name.data();
        info.pDriverName = driver.data();
        info.pPortName = port.data();
        HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        if (added == nullptr) return;
        ClosePrinter(added);
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(name.data(), &printer_, &defaults)) return;

        DRIVER_LOG_SETTINGS settings{};
        settings.dlEnabled = 1;
        settings.dlMaxSizeIndex = LOG_MAX_SIZE_10MB;
        const std::u16string folder = HostWide((root_ / "logs").string());
        std::memcpy(settings.dlFolder, folder.data(), folder.size() * sizeof(WCHAR));
        WCHAR value[] = DRIVER_LOG_FILE_VALUE;
        ready_ = SetPrinterDataW(printer_, value, REG_BINARY, reinterpret_cast<LPBYTE>(&settings), sizeof settings) ==
                 ERROR_SUCCESS;
    }
    ~BenchSetup() {
        if (printer_ != nullptr) ClosePrinter(printer_);
        std::error_code ignored;
        if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
    }

    bool Ready() const { return ready_; }
    HANDLE Printer() const { return printer_; }
    std::u16string PathIn(const char* name) const { return HostWide((root_ / name).string()); }

private:
    std::filesystem::path root_;
    HANDLE printer_ = nullptr;
    bool ready_ = false;
};

BenchSetup* g_setup = nullptr;

void BM_VLK_LogWrite(benchmark::State& state) {
    HANDLE file = VLK_LogCreateFile(LOG_MODULE_PRINTER_DRIVER, g_setup->Printer());
    if (file == nullptr) {
        state.SkipWithError("VLK_LogCreateFile failed");
        return;
    }
    for (auto _ : state) {
        if (!VLK_LogWrite(file, kText, 1)) {
            state.SkipWithError("VLK_LogWrite failed");
            break;
        }
    }
    VKL_LogFileClose(file);
}
BENCHMARK(BM_VLK_LogWrite)->Iterations(kLines);

void BM_PlainWriteFile(benchmark::State& state) {
    const std::u16string path = g_setup->PathIn("plain.log");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        state.SkipWithError("CreateFileW failed");
        return;
    }
    char record[13 + 60 + 2];
    std::memcpy(record, "10:30:00.000", 13);
    std::memcpy(record + 13, kText, 60);
    std::memcpy(record + 73, "\r\n", 2);
    for (auto _ : state) {
        DWORD written = 0;
        if (!WriteFile(file, record, sizeof record, &written, nullptr)) {
            state.SkipWithError("WriteFile failed");
            break;
        }
    }
    CloseHandle(file);
}
BENCHMARK(BM_PlainWriteFile)->Iterations(kLines);

// Prints the usual table, then how many plain writes one log line costs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred) nanoseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio() const {
        const auto log = nanoseconds_.find("BM_VLK_LogWrite");
        const auto plain = nanoseconds_.find("BM_PlainWriteFile");
        if (log == nanoseconds_.end() || plain == nanoseconds_.end() || plain->second <= 0) return;
        std::printf("VLK_LogWrite %.0f ns/op, WriteFile %.0f ns/op, ratio %.1f\n", log->second, plain->second,
                    log->second / plain->second);
    }

private:
    std::map<std::string, double> nanoseconds_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BenchSetup setup;
    if (!setup.Ready()) {
        std::fprintf(stderr, "could not set up a printer with log settings\n");
        return 1;
    }
    g_setup = &setup;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    benchmark::Shutdown();
    return 0;
}
