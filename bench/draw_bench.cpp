// The library's own calls on an open screen (headless host): BlitKeyed, BlitOpaque, AddBlit,
// ClearScreen and PresentFrame, each beside memcpy or memset of the same bytes, so the cost of
// clipping, checking and locking around the kernels shows. vs_mem is the speed as a share of
// memcpy's on the same bytes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "el/draw/blits.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "el/draw/present.h"
#include "el/draw/screen.h"
#include "el/effects/add_blit.h"
#include "el/system/library_reset.h"
#include "platform/display/surface.h"
#include "platform/headless/headless_host.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// An open 640 x 480 screen with one full-screen picture object, a third of it keyed black.
struct OpenScreen {
    OpenScreen() {
        elSystem::ResetLibrary();
        platform::InstallHost(std::make_unique<platform::HeadlessHost>());
        elDraw::Screen(kWidth, kHeight, 1);
        elDraw::SetVSyncWait(0);  // measure the copy, not the virtual clock
        picture = elDraw::CreateObject(kWidth, kHeight, 2);
        platform::SurfaceDesc desc;
        platform::Surface* surface = elDraw::ObjectSurface(picture);
        surface->Lock(desc);
        std::mt19937 rng(5);
        for (int i = 0; i < kWidth * (kHeight + 1); ++i) {
            desc.memory[i] = rng() % 3 == 0 ? 0 : static_cast<std::uint16_t>(rng() | 1);
        }
        surface->Unlock();
    }
    ~OpenScreen() {
        elSystem::ResetLibrary();
        platform::InstallHost(nullptr);
    }
    std::int32_t picture = 0;
};

double MemcpyRate() {
    std::vector<std::uint16_t> from(kWidth * kHeight, 1), to(kWidth * kHeight);
    const auto start = std::chrono::steady_clock::now();
    int rounds = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(200)) {
        std::memcpy(to.data(), from.data(), to.size() * 2);
        benchmark::DoNotOptimize(to.data());
        ++rounds;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return rounds * static_cast<double>(kWidth * kHeight) / seconds;
}

template <typename Draw>
void Measure(benchmark::State& state, Draw draw) {
    OpenScreen screen;
    const double memcpyRate = MemcpyRate();
    for (auto _ : state) {
        draw(screen.picture);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.counters["vs_mem"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kWidth * kHeight / memcpyRate,
                           benchmark::Counter::kIsRate);
}

void BM_BlitKeyed(benchmark::State& state) {
    Measure(state, [](std::int32_t p) { elDraw::BlitKeyed(0, 0, p, 0, 0, kWidth, kHeight); });
}
void BM_BlitOpaque(benchmark::State& state) {
    Measure(state, [](std::int32_t p) { elDraw::BlitOpaque(0, 0, p, 0, 0, kWidth, kHeight); });
}
void BM_AddBlit(benchmark::State& state) {
    Measure(state, [](std::int32_t p) { elDraw::AddBlit(0, 0, p, 0, 0, kWidth, kHeight); });
}
void BM_ClearScreen(benchmark::State& state) {
    Measure(state, [](std::int32_t) { elDraw::ClearScreen(); });
}
void BM_PresentFrame(benchmark::State& state) {
    Measure(state, [](std::int32_t) { elDraw::PresentFrame(); });
}
void BM_Memcpy(benchmark::State& state) {
    std::vector<std::uint16_t> from(kWidth * kHeight, 1), to(kWidth * kHeight);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size() * 2);
        benchmark::DoNotOptimize(to.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_BlitKeyed);
BENCHMARK(BM_BlitOpaque);
BENCHMARK(BM_AddBlit);
BENCHMARK(BM_ClearScreen);
BENCHMARK(BM_PresentFrame);

}  // namespace

BENCHMARK_MAIN();
