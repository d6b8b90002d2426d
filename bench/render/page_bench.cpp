// A whole page through the driver: DrvNextBand (copy, dither, queue) and the page output it runs
// (rows into raster blocks through the spooler), for an 80 mm page of 2000 rows of a photo-like
// picture, in megapixels per second and as a multiple of a plain memcpy of the page's pixels.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "device_instance.h"
#include "driver_devmode.h"
#include "driver_entry_points.h"
#include "pictures.h"
#include "host/engine.h"
#include "host/testing.h"
#include "platform.h"

namespace {

constexpr int kWidth = 576;
constexpr int kRows = 2000;
constexpr int kPagesPerJob = 50; // the spooled job is sent and a new one started after so many pages

double g_memcpyNanos = 0;

const Picture& Page() {
    static const Picture page = PhotoLikePicture(kWidth, kRows);
    return page;
}

// A host printer with its port on /dev/null, a started job, and one device instance with its surface.
class PageRig {
public:
    explicit PageRig(SHORT colour) {
        folder_ = std::filesystem::temp_directory_path() / ("velt-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        setenv("VELT_HOME", folder_.c_str(), 1);
        HostUseTemporaryStore();

        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        DWORD dotCount = 24;
        RegSetValueExW(key, u"VerticalDotCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dotCount), 4);
        RegCloseKey(key);

        std::u16string name = u"Bench", driver = u"VELT", port = u"FILE:/dev/null";
        PRINTER_INFO_2W info{};
        info.pPrinterName = name.data();
        info.pDriverName = driver.data();
        info.pPortName = port.data();
        ClosePrinter(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        OpenPrinterW(name.data(), &printer_, &defaults);
        StartJob();

        DRIVER_DEVMODE dm{};
        DevmodeSetDefaults(&dm, name.c_str());
        dm.dmPublic.dmPaperWidth = 800;
        dm.dmPublic.dmPaperLength = 2725; // 2180 dots less the 180 of the margins: 2000 rows
        dm.dmPublic.dmColor = colour;
        hdev_ = HostEngineCreateDevice();
        GDIINFO gdi{};
        DEVINFO dev{};
        pdev_ = DrvEnablePDEV(&dm.dmPublic, nullptr, 0, nullptr, sizeof gdi, reinterpret_cast<ULONG*>(&gdi), sizeof dev,
                              &dev, hdev_, name.data(), printer_);
        HostEngineSetDevicePdev(hdev_, pdev_);
        DrvCompletePDEV(pdev_, hdev_);
        hsurf_ = DrvEnableSurface(pdev_);
        surface_ = hsurf_ != nullptr ? EngLockSurface(hsurf_) : nullptr;
        if (surface_ != nullptr) {
            DrvStartDoc(surface_, nullptr, 1);
        }
    }

    ~PageRig() {
        if (surface_ != nullptr) {
            DrvEndDoc(surface_, 0);
            EngUnlockSurface(surface_);
        }
        DrvDisableSurface(pdev_);
        DrvDisablePDEV(pdev_);
        HostEngineDeleteDevice(hdev_);
        EndDocPrinter(printer_);
        ClosePrinter(printer_);
        HostUseTemporaryStore();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    bool ok() const { return surface_ != nullptr; }

    // Everything of a page but the band's end: a new job now and then, the page start, the band start
    // and the picture drawn into the surface.
    void PreparePage() {
        if (++pages_ % kPagesPerJob == 0) {
            DrvEndDoc(surface_, 0);
            EndDocPrinter(printer_);
            StartJob();
            DrvStartDoc(surface_, nullptr, 1);
        }
        DrvStartPage(surface_);
        POINTL origin{};
        DrvStartBanding(surface_, &origin);
        const Picture& page = Page();
        auto* bits = static_cast<BYTE*>(surface_->pvScan0);
        for (int y = 0; y < kRows; ++y) {
            std::memcpy(bits + y * surface_->lDelta, page.bytes.data() + y * page.stride, size_t(kWidth) * 3);
        }
    }

    bool NextBand() {
        POINTL origin{};
        return DrvNextBand(surface_, &origin) != FALSE;
    }

private:
    void StartJob() {
        std::u16string document = u"Bench", datatype = u"RAW";
        DOC_INFO_1W doc{document.data(), nullptr, datatype.data()};
        StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&doc));
    }

    std::filesystem::path folder_;
    HANDLE printer_ = nullptr;
    HDEV hdev_ = nullptr;
    DHPDEV pdev_ = nullptr;
    HSURF hsurf_ = nullptr;
    SURFOBJ* surface_ = nullptr;
    int pages_ = 0;
};

// Processor time of the timed part only: the machine is shared, and the ratio should not depend on it.
void Report(benchmark::State& state, double nanosPerPage) {
    state.counters["MPix/s"] =
        benchmark::Counter(double(kWidth) * kRows * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
    if (g_memcpyNanos > 0) {
        state.counters["x_memcpy"] = nanosPerPage / g_memcpyNanos;
    }
}

void BM_MemcpyPage(benchmark::State& state) {
    const Picture& page = Page();
    std::vector<uint8_t> copy(page.bytes.size());
    std::clock_t start = std::clock();
    for (auto _ : state) {
        std::memcpy(copy.data(), page.bytes.data(), page.bytes.size());
        benchmark::ClobberMemory();
    }
    g_memcpyNanos = double(std::clock() - start) * 1e9 / CLOCKS_PER_SEC / double(state.iterations());
    Report(state, g_memcpyNanos);
}

void WholePage(benchmark::State& state, SHORT colour) {
    PageRig rig(colour);
    if (!rig.ok()) {
        state.SkipWithError("the driver could not be enabled");
        return;
    }
    double nanos = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.PreparePage();
        state.ResumeTiming();
        std::clock_t start = std::clock();
        if (!rig.NextBand()) {
            state.SkipWithError("DrvNextBand failed");
            break;
        }
        nanos += double(std::clock() - start) * 1e9 / CLOCKS_PER_SEC;
    }
    Report(state, nanos / double(state.iterations()));
}

void BM_NextBandAndPageOutputMono(benchmark::State& state) { WholePage(state, 1); }

void BM_NextBandAndPageOutputTwoColour(benchmark::State& state) { WholePage(state, 2); }

} // namespace

BENCHMARK(BM_MemcpyPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextBandAndPageOutputMono)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextBandAndPageOutputTwoColour)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
