// Speed of the page conversions on an 80 mm page of 2000 rows of a photo-like picture, in megapixels
// per second and as a multiple of the time a plain memcpy of the same page's pixels takes in this run.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstring>
#include <vector>

#include "pictures.h"
#include "raster_conversion.h"

namespace {

constexpr int kWidth = 576;
constexpr int kRows = 2000;

const Picture& Page() {
    static const Picture page = PhotoLikePicture(kWidth, kRows);
    return page;
}

double g_memcpyNanos = 0; // per page, measured first

// Runs `work` once per iteration and reports megapixels per second and the ratio to the memcpy baseline.
template <typename Work>
void Measure(benchmark::State& state, double pixels, Work&& work, bool baseline = false) {
    // Processor time, not wall time: the machine is shared, and the ratio should not depend on its load.
    std::clock_t start = std::clock();
    for (auto _ : state) {
        work();
        benchmark::ClobberMemory();
    }
    double nanos = double(std::clock() - start) * 1e9 / CLOCKS_PER_SEC / static_cast<double>(state.iterations());
    state.counters["MPix/s"] =
        benchmark::Counter(pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
    if (baseline) {
        g_memcpyNanos = nanos; // the library's last, longest run of the baseline is the one kept
    } else if (g_memcpyNanos > 0) {
        state.counters["x_memcpy"] = nanos / g_memcpyNanos;
    }
}

void BM_MemcpyPage(benchmark::State& state) {
    const Picture& page = Page();
    std::vector<uint8_t> copy(page.bytes.size());
    Measure(
        state, double(kWidth) * kRows, [&] { std::memcpy(copy.data(), page.bytes.data(), page.bytes.size()); }, true);
}

void BM_ConvertMono(benchmark::State& state) {
    const Picture& page = Page();
    std::vector<BYTE> out(page.bytes.size() / 3);
    Measure(state, double(kWidth) * kRows,
            [&] { benchmark::DoNotOptimize(ConvertMono(page.bytes.data(), kRows, page.stride, kWidth, out.data())); });
}

void BM_ConvertTwoColour(benchmark::State& state) {
    const Picture& page = Page();
    std::vector<BYTE> out(page.bytes.size() / 3);
    Measure(state, double(kWidth) * kRows, [&] {
        benchmark::DoNotOptimize(ConvertTwoColour(page.bytes.data(), kRows, page.stride, kWidth, out.data()));
    });
}

// A landscape 80 mm page of the same pixel count: 2000 dots along the paper, 576 across.
void BM_RotateClockwise(benchmark::State& state) {
    static const Picture landscape = PhotoLikePicture(kRows, kWidth);
    std::vector<BYTE> upright(PixelStride(kWidth) * kRows);
    Measure(state, double(kWidth) * kRows,
            [&] { RotateClockwiseInto(landscape.bytes.data(), kRows, kWidth, landscape.stride, upright.data()); });
}

} // namespace

// The baseline runs first; the others report against it.
BENCHMARK(BM_MemcpyPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertMono)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertTwoColour)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RotateClockwise)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
