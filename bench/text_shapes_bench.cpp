// Text and shapes on an open screen (headless host). A 40-character line at 16 pixels once its
// glyphs are made, in a run of its own and inside an open run; a 640 x 480 hatched polygon
// beside a colour fill and a solid rectangle of the same area.
#include <benchmark/benchmark.h>

#include <memory>

#include "el/draw/fills.h"
#include "el/draw/screen.h"
#include "el/system/gdi_draw.h"
#include "el/system/library_reset.h"
#include "el/system/text.h"
#include "platform/headless/headless_host.h"

namespace {

constexpr const char* kLatinLine = "The quick brown fox jumps over the dogs!";  // 40
constexpr const char* kJapaneseLine =
    "いろはにほへとちりぬるをわかよたれそつねならむうゐのおくやまけふこえてあさきゆめ";

struct OpenScreen {
    OpenScreen() {
        elSystem::ResetLibrary();
        platform::InstallHost(std::make_unique<platform::HeadlessHost>());
        elDraw::Screen(640, 480, 1);
    }
    ~OpenScreen() {
        elSystem::ResetLibrary();
        platform::InstallHost(nullptr);
    }
};

void LineInOpenRun(benchmark::State& state, const char* line) {
    OpenScreen screen;
    elSystem::SelectFont(1, 16, 0, 0, 0, 0);
    elSystem::SetTextColors(0xFFFFFF, 0x800000, 0);
    elSystem::PutText(0, 100, line);  // makes the glyphs
    for (auto _ : state) {
        elSystem::PutText(0, 100, line);
        benchmark::ClobberMemory();
    }
    elSystem::EndText();
}

void LineInRunOfItsOwn(benchmark::State& state, const char* line) {
    OpenScreen screen;
    elSystem::DrawDebugText(0, 100, line);
    for (auto _ : state) {
        elSystem::SelectFont(1, 16, 0, 0, 0, 0);
        elSystem::SetTextColors(0xFFFFFF, 0x800000, 1);
        elSystem::PutText(0, 100, line);
        elSystem::EndText();
        benchmark::ClobberMemory();
    }
}

void BM_LatinLineInOpenRun(benchmark::State& state) {
    LineInOpenRun(state, kLatinLine);
}
void BM_JapaneseLineInOpenRun(benchmark::State& state) {
    LineInOpenRun(state, kJapaneseLine);
}
void BM_LatinLineInRunOfItsOwn(benchmark::State& state) {
    LineInRunOfItsOwn(state, kLatinLine);
}
void BM_JapaneseLineInRunOfItsOwn(benchmark::State& state) {
    LineInRunOfItsOwn(state, kJapaneseLine);
}

void BM_FillRect(benchmark::State& state) {
    OpenScreen screen;
    for (auto _ : state) {
        elDraw::FillRect(0, 0, 640, 480, 0x1234);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void BM_DrawRectSolid(benchmark::State& state) {
    OpenScreen screen;
    for (auto _ : state) {
        elSystem::DrawRect(0, 0, 640, 480, 0x204080, 0xFFFFFF, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

// Fill mode 1 (hatch over its background) paints every pixel; mode 2 only the hatch.
void BM_DrawPolygonHatched(benchmark::State& state) {
    OpenScreen screen;
    const elSystem::Point corners[] = {{0, 0}, {640, 0}, {640, 480}, {0, 480}};
    for (auto _ : state) {
        elSystem::DrawPolygon(corners, 4, 0xFFFFFF, 0x204080, 1, static_cast<int>(state.range(0)));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

BENCHMARK(BM_LatinLineInOpenRun);
BENCHMARK(BM_JapaneseLineInOpenRun);
BENCHMARK(BM_LatinLineInRunOfItsOwn);
BENCHMARK(BM_JapaneseLineInRunOfItsOwn);
BENCHMARK(BM_FillRect);
BENCHMARK(BM_DrawRectSolid);
BENCHMARK(BM_DrawPolygonHatched)->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
