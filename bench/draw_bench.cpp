// The library's own calls on an open screen (headless host): BlitKeyed, BlitOpaque, AddBlit,
// ClearScreen and PresentFrame, each beside memcpy or memset of the same bytes, so the cost of
// clipping, checking and locking around the kernels shows. vs_mem is the speed as a share of
// memcpy's on the same bytes. The composite blits of the whole picture are timed against one
// BlitKeyed of it: x_keyed is the time of a call as a multiple of BlitKeyed's (processor time,
// both measured in the same run), and BlitKeyedRows shows what drawing the same picture one row
// at a time costs by itself.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "el/draw/blits.h"
#include "el/draw/composite_blits.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "el/draw/present.h"
#include "el/draw/screen.h"
#include "el/effects/add_blit.h"
#include "el/system/frame_timing.h"
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
// Processor seconds of this thread: the machine is shared, and a ratio of wall times would
// count the other programs' turns.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds per BlitKeyed of the whole picture.
double KeyedSeconds(std::int32_t picture) {
    const double start = ThreadSeconds();
    int rounds = 0;
    while (ThreadSeconds() - start < 0.3) {
        elDraw::BlitKeyed(0, 0, picture, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
        ++rounds;
    }
    return (ThreadSeconds() - start) / rounds;
}

// A composite blit of the whole picture, one frame of 16 ms a call so the phases move.
template <typename Draw>
void MeasureAgainstKeyed(benchmark::State& state, Draw draw) {
    OpenScreen screen;
    elSystem::FrameDelta = 0.016f;
    const double keyed = KeyedSeconds(screen.picture);
    const double start = ThreadSeconds();
    for (auto _ : state) {
        draw(screen.picture);
        benchmark::ClobberMemory();
    }
    const double seconds = ThreadSeconds() - start;
    state.counters["x_keyed"] = seconds / static_cast<double>(state.iterations()) / keyed;
}

// What a blit that needs a copy for every row cannot go below: the picture as 480 one-row
// BlitKeyed calls, each row shifted sideways as a wave of amplitude 10 would put it.
void BM_BlitKeyedRows(benchmark::State& state) {
    MeasureAgainstKeyed(state, [](std::int32_t p) {
        for (int r = 0; r < kHeight; ++r) {
            elDraw::BlitKeyed(r * 7 % 21 - 10, r, p, 0, r, kWidth, r + 1);
        }
    });
}
void BM_WaveBlit(benchmark::State& state) {
    MeasureAgainstKeyed(state, [](std::int32_t p) {
        elDraw::WaveBlit(0, 0, 10, 0, 90, p, 0, 0, kWidth, kHeight, 0);
    });
}
void BM_WaveBlitAlternate(benchmark::State& state) {
    MeasureAgainstKeyed(state, [](std::int32_t p) {
        elDraw::WaveBlit(0, 0, 10, 4, 90, p, 0, 0, kWidth, kHeight, 1);
    });
}
void BM_TileScrollBlit(benchmark::State& state) {
    MeasureAgainstKeyed(
        state, [](std::int32_t p) { elDraw::TileScrollBlit(37, 23, p, 0, 0, kWidth, kHeight); });
}
void BM_WaveScrollBlit(benchmark::State& state) {
    MeasureAgainstKeyed(state, [](std::int32_t p) {
        elDraw::WaveScrollBlit(0, 0, 10, 0, 90, 30, p, 0, 0, kWidth, kHeight);
    });
}
void BM_WaveBandBlit(benchmark::State& state) {
    MeasureAgainstKeyed(state, [](std::int32_t p) {
        elDraw::WaveBandBlit(0, kHeight, 10, 0, 90, 30, p, 0, 0, kWidth, kHeight);
    });
}
void BM_RowRepeatBlit(benchmark::State& state) {
    MeasureAgainstKeyed(
        state, [](std::int32_t p) { elDraw::RowRepeatBlit(0, 0, 4, p, 0, 0, kWidth, kHeight); });
}
void BM_ScanlineBlit(benchmark::State& state) {
    MeasureAgainstKeyed(
        state, [](std::int32_t p) { elDraw::ScanlineBlit(0, 0, -2, p, 0, 0, kWidth, kHeight); });
}
void BM_JitterBlit(benchmark::State& state) {
    MeasureAgainstKeyed(
        state, [](std::int32_t p) { elDraw::JitterBlit(0, 0, 8, p, 0, 0, kWidth, kHeight); });
}
void BM_RollBlit(benchmark::State& state) {
    MeasureAgainstKeyed(
        state, [](std::int32_t p) { elDraw::RollBlit(0, 0, 1, 30, p, 0, 0, kWidth, kHeight); });
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
BENCHMARK(BM_BlitKeyedRows);
BENCHMARK(BM_WaveBlit);
BENCHMARK(BM_WaveBlitAlternate);
BENCHMARK(BM_TileScrollBlit);
BENCHMARK(BM_WaveScrollBlit);
BENCHMARK(BM_WaveBandBlit);
BENCHMARK(BM_RowRepeatBlit);
BENCHMARK(BM_ScanlineBlit);
BENCHMARK(BM_JitterBlit);
BENCHMARK(BM_RollBlit);

}  // namespace

BENCHMARK_MAIN();
