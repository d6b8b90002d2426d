// What the engine's drawing costs for one page of an 80 mm roll (576 x 1020 dots, 24 bits): erasing
// the band, copying a page-sized picture into it, and fitting a 1000-pixel-wide photo to the width,
// both nearest-pixel and averaging. A plain memcpy of the page's bytes is the baseline.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "host/engine.h"
#include "platform.h"

namespace {

constexpr LONG kWidth = 576, kHeight = 1020;

class Bitmap {
public:
    Bitmap(LONG width, LONG height)
        : handle_(reinterpret_cast<HSURF>(EngCreateBitmap({width, height}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr))),
          obj_(EngLockSurface(handle_)) {}
    ~Bitmap() {
        EngUnlockSurface(obj_);
        EngDeleteSurface(handle_);
    }
    SURFOBJ* get() const { return obj_; }

private:
    HSURF handle_;
    SURFOBJ* obj_;
};

void Baseline_MemcpyOfThePage(benchmark::State& state) {
    std::vector<BYTE> from(static_cast<size_t>(kWidth) * 3 * kHeight, 0x80), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
    }
}
BENCHMARK(Baseline_MemcpyOfThePage);

void EngEraseSurface_Page(benchmark::State& state) {
    Bitmap page(kWidth, kHeight);
    RECTL all{0, 0, kWidth, kHeight};
    for (auto _ : state) EngEraseSurface(page.get(), &all, 0xFFFFFF);
}
BENCHMARK(EngEraseSurface_Page);

void EngCopyBits_Page(benchmark::State& state) {
    Bitmap page(kWidth, kHeight), picture(kWidth, kHeight);
    RECTL all{0, 0, kWidth, kHeight};
    POINTL origin{0, 0};
    for (auto _ : state) EngCopyBits(page.get(), picture.get(), nullptr, nullptr, &all, &origin);
}
BENCHMARK(EngCopyBits_Page);

void EngStretchBlt_PhotoToWidth(benchmark::State& state) {
    const ULONG mode = static_cast<ULONG>(state.range(0));
    Bitmap page(kWidth, kHeight), photo(1000, 1771);
    RECTL target{0, 0, kWidth, kHeight}, source{0, 0, 1000, 1771};
    for (auto _ : state)
        EngStretchBlt(page.get(), photo.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &target, &source, nullptr,
                      mode);
}
BENCHMARK(EngStretchBlt_PhotoToWidth)->Arg(COLORONCOLOR)->Arg(HALFTONE);

} // namespace

BENCHMARK_MAIN();
