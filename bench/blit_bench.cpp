// The pixel kernels beside memcpy/memset of the same bytes, SDL2's software blitter and, for the
// additive blit, the table-driven loop it replaces. Every case reports pixels per second; the
// console output adds ratios to the baselines of its group (vs_memcpy or vs_memset, vs_sdl,
// vs_sdl_rle, vs_table) and a summary follows the run. On a shared machine run it with
// --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true: the summary keeps the
// best repetition of every case.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/ratio_summary.h"
#include "platform/blit/blit_kernels.h"

namespace {

namespace blit = platform::blit;
using Pixels = std::vector<std::uint16_t>;

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;
constexpr int kSpriteW = 200;
constexpr int kSpriteH = 150;
constexpr int kSprites = 16;
constexpr std::uint16_t kKey = 0xF81F;  // magenta in 5-6-5

enum class Content { kBlob, kNoise, kRuns };

const char* ContentName(Content content) {
    switch (content) {
        case Content::kBlob:
            return "Blob";
        case Content::kNoise:
            return "Noise";
        case Content::kRuns:
            return "Runs";
    }
    return "";
}

std::uint16_t Rgb565(int r, int g, int b) {
    return static_cast<std::uint16_t>((r & 31) << 11 | (g & 63) << 5 | (b & 31));
}

// Smooth blobs over a keyed background: a low-frequency field keyed below its 33rd percentile,
// gradients elsewhere. Noise: every pixel independently keyed with probability one third. Runs:
// key and picture in runs of 1 to 48 pixels, a third of them keyed, which defeats any guess of
// what the next sixteen pixels hold.
Pixels Picture(int w, int h, Content content, std::uint32_t seed) {
    Pixels p(static_cast<std::size_t>(w) * h);
    std::mt19937 rng(seed);
    if (content == Content::kRuns) {
        std::uniform_int_distribution<int> any(0, 0xFFFF);
        std::uniform_int_distribution<int> run(1, 48);
        std::uniform_int_distribution<int> third(0, 2);
        for (std::size_t i = 0; i < p.size();) {
            const bool keyed = third(rng) == 0;
            for (int n = run(rng); n > 0 && i < p.size(); --n, ++i)
                p[i] = keyed ? kKey : static_cast<std::uint16_t>(any(rng));
        }
        return p;
    }
    if (content == Content::kNoise) {
        std::uniform_int_distribution<int> any(0, 0xFFFF);
        std::uniform_int_distribution<int> third(0, 2);
        for (auto& px : p) {
            px = third(rng) == 0 ? kKey : static_cast<std::uint16_t>(any(rng));
        }
        return p;
    }
    std::uniform_real_distribution<double> phase(0.0, 6.283);
    const double a = phase(rng), b = phase(rng), c = phase(rng);
    std::vector<double> field(p.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            field[static_cast<std::size_t>(y) * w + x] =
                std::sin(x * 0.031 + a) * std::cos(y * 0.027 + b) +
                0.6 * std::sin((x + y) * 0.017 + c);
    std::vector<double> sorted = field;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 3, sorted.end());
    const double threshold = sorted[sorted.size() / 3];
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            std::uint16_t px = kKey;
            if (field[i] >= threshold) {
                px = Rgb565(x * 31 / w, 63 - y * 63 / h, (x + y) & 31);
                if (px == kKey) px ^= 1;
            }
            p[i] = px;
        }
    }
    return p;
}

// An SDL surface holding a copy of pixels.
struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

Surface MakeSurface(int w, int h, const Pixels* pixels) {
    Surface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565));
    if (!s) {
        std::fprintf(stderr, "SDL_CreateRGBSurfaceWithFormat: %s\n", SDL_GetError());
        std::abort();
    }
    if (pixels != nullptr) {
        for (int y = 0; y < h; ++y)
            std::memcpy(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch,
                        pixels->data() + static_cast<std::size_t>(y) * w, w * 2);
    }
    return s;
}

// --- Scenes: what one iteration draws. ---

struct Placement {
    int x, y;
};

std::vector<Placement> SpritePlaces() {
    std::vector<Placement> out;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> px(0, kScreenW - kSpriteW);
    std::uniform_int_distribution<int> py(0, kScreenH - kSpriteH);
    for (int i = 0; i < kSprites; ++i) out.push_back({px(rng), py(rng)});
    return out;
}

// Either one full-screen picture or kSprites sprites, with the screen they are drawn on.
struct Scene {
    bool sprites;
    int w, h;
    std::vector<Pixels> pictures;
    std::vector<Placement> places;
    Pixels screen;
    std::int64_t PixelsPerIteration() const {
        return static_cast<std::int64_t>(w) * h * static_cast<std::int64_t>(pictures.size());
    }
};

Scene MakeScene(bool sprites, Content content) {
    Scene s;
    s.sprites = sprites;
    s.w = sprites ? kSpriteW : kScreenW;
    s.h = sprites ? kSpriteH : kScreenH;
    const int count = sprites ? kSprites : 1;
    for (int i = 0; i < count; ++i)
        s.pictures.push_back(Picture(s.w, s.h, content, 100 + static_cast<std::uint32_t>(i)));
    s.places = sprites ? SpritePlaces() : std::vector<Placement>{{0, 0}};
    s.screen = Picture(kScreenW, kScreenH, Content::kNoise, 3);
    return s;
}

void Finish(benchmark::State& state, const Scene& scene) {
    state.SetItemsProcessed(state.iterations() * scene.PixelsPerIteration());
    state.SetBytesProcessed(state.iterations() * scene.PixelsPerIteration() * 2);
}

// memcpy of the same bytes: each picture to a contiguous stretch of the screen.
void RunMemcpy(benchmark::State& state, Scene scene) {
    for (auto _ : state) {
        for (std::size_t i = 0; i < scene.pictures.size(); ++i) {
            const std::size_t off = static_cast<std::size_t>(scene.places[i].y) * kScreenW;
            const std::size_t n = std::min(scene.pictures[i].size(), scene.screen.size() - off);
            std::memcpy(scene.screen.data() + off, scene.pictures[i].data(), n * 2);
        }
        benchmark::ClobberMemory();
    }
    Finish(state, scene);
}

void RunMemset(benchmark::State& state, Scene scene) {
    for (auto _ : state) {
        for (std::size_t i = 0; i < scene.pictures.size(); ++i) {
            const std::size_t off = static_cast<std::size_t>(scene.places[i].y) * kScreenW;
            const std::size_t n = std::min(scene.pictures[i].size(), scene.screen.size() - off);
            std::memset(scene.screen.data() + off, 0x5A, n * 2);
        }
        benchmark::ClobberMemory();
    }
    Finish(state, scene);
}

// The same bytes moved row by row into the screen, as the kernels must: shows what the rows
// themselves cost beside the contiguous baselines.
void RunLibcRows(benchmark::State& state, Scene scene, bool fill) {
    for (auto _ : state) {
        for (std::size_t i = 0; i < scene.pictures.size(); ++i) {
            std::uint16_t* d =
                scene.screen.data() + scene.places[i].y * kScreenW + scene.places[i].x;
            for (int y = 0; y < scene.h; ++y) {
                if (fill) {
                    std::memset(d + y * kScreenW, 0x5A, static_cast<std::size_t>(scene.w) * 2);
                } else {
                    std::memcpy(d + y * kScreenW, scene.pictures[i].data() + y * scene.w,
                                static_cast<std::size_t>(scene.w) * 2);
                }
            }
        }
        benchmark::ClobberMemory();
    }
    Finish(state, scene);
}

enum class Op { kKeyed, kOpaque, kFill, kAdd };

void RunOurs(benchmark::State& state, Scene scene, Op op, const blit::KernelTable* k) {
    const blit::AddFormat format = blit::AddFormat::Rgb565();
    for (auto _ : state) {
        for (std::size_t i = 0; i < scene.pictures.size(); ++i) {
            std::uint16_t* d =
                scene.screen.data() + scene.places[i].y * kScreenW + scene.places[i].x;
            const std::uint16_t* s = scene.pictures[i].data();
            switch (op) {
                case Op::kKeyed:
                    k->copyKeyed(d, kScreenW, s, scene.w, scene.w, scene.h, kKey);
                    break;
                case Op::kOpaque:
                    k->copyOpaque(d, kScreenW, s, scene.w, scene.w, scene.h);
                    break;
                case Op::kFill:
                    k->fill(d, kScreenW, scene.w, scene.h, 0x5A5A);
                    break;
                case Op::kAdd:
                    k->addLight(d, kScreenW, s, scene.w, scene.w, scene.h, format, 0);
                    break;
            }
        }
        benchmark::ClobberMemory();
    }
    Finish(state, scene);
}

enum class SdlMode { kKeyed, kKeyedRle, kOpaque, kFill, kAdd };

void RunSdl(benchmark::State& state, Scene scene, SdlMode mode) {
    Surface screen = MakeSurface(kScreenW, kScreenH, &scene.screen);
    std::vector<Surface> sources;
    for (const Pixels& p : scene.pictures) {
        Surface s = MakeSurface(scene.w, scene.h, &p);
        if (mode == SdlMode::kKeyed || mode == SdlMode::kKeyedRle)
            SDL_SetColorKey(s.get(), SDL_TRUE, kKey);
        SDL_SetSurfaceRLE(s.get(), mode == SdlMode::kKeyedRle ? 1 : 0);
        SDL_SetSurfaceBlendMode(s.get(),
                                mode == SdlMode::kAdd ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_NONE);
        sources.push_back(std::move(s));
    }
    auto draw = [&] {
        for (std::size_t i = 0; i < sources.size(); ++i) {
            SDL_Rect to{scene.places[i].x, scene.places[i].y, scene.w, scene.h};
            if (mode == SdlMode::kFill) {
                SDL_FillRect(screen.get(), &to, 0x5A5A);
            } else if (SDL_BlitSurface(sources[i].get(), nullptr, screen.get(), &to) != 0) {
                state.SkipWithError(SDL_GetError());
                return false;
            }
        }
        return true;
    };
    if (!draw()) return;  // the first blit builds the run-length encoding; keep it untimed
    for (auto _ : state) {
        draw();
        benchmark::ClobberMemory();
    }
    Finish(state, scene);
}

// The loop the additive blit replaces: a pixel-to-components table and one add table per channel
// and fade level.
struct AddTables {
    std::vector<std::uint8_t> rgb = std::vector<std::uint8_t>(65536 * 3);
    std::vector<std::uint16_t> fadeAdd = std::vector<std::uint16_t>(3 * 32 * 32 * 32);
    AddTables() {
        const blit::AddFormat f = blit::AddFormat::Rgb565();
        for (int p = 0; p < 65536; ++p)
            for (int c = 0; c < 3; ++c)
                rgb[p * 3 + c] = static_cast<std::uint8_t>(((p >> f.Shift(c)) & f.Max(c)) >>
                                                           (f.Max(c) == 63 ? 1 : 0));
        for (int c = 0; c < 3; ++c)
            for (int fade = 0; fade < 32; ++fade)
                for (int a = 0; a < 32; ++a)
                    for (int b = 0; b < 32; ++b)
                        fadeAdd[((c * 32 + fade) * 32 + a) * 32 + b] = static_cast<std::uint16_t>(
                            std::min(std::max(a - fade, 0) + b, 31) << f.Shift5(c));
    }
};

void RunTableAdd(benchmark::State& state, Scene scene) {
    static const AddTables t;
    const int fade = 0;
    const std::uint16_t* fr = &t.fadeAdd[(0 * 32 + fade) * 1024];
    const std::uint16_t* fg = &t.fadeAdd[(1 * 32 + fade) * 1024];
    const std::uint16_t* fb = &t.fadeAdd[(2 * 32 + fade) * 1024];
    for (auto _ : state) {
        for (std::size_t i = 0; i < scene.pictures.size(); ++i) {
            std::uint16_t* d =
                scene.screen.data() + scene.places[i].y * kScreenW + scene.places[i].x;
            const std::uint16_t* s = scene.pictures[i].data();
            for (int y = 0; y < scene.h; ++y) {
                for (int x = 0; x < scene.w; ++x) {
                    const std::uint16_t sp = s[y * scene.w + x];
                    if (sp == 0) continue;
                    std::uint16_t& dp = d[y * kScreenW + x];
                    const std::uint8_t* sc = &t.rgb[sp * 3];
                    const std::uint8_t* dc = &t.rgb[dp * 3];
                    dp = fr[sc[0] * 32 + dc[0]] | fg[sc[1] * 32 + dc[1]] | fb[sc[2] * 32 + dc[2]];
                }
            }
        }
        benchmark::ClobberMemory();
    }
    Finish(state, scene);
}

// Lights for the additive blit: the key of the keyed pictures becomes raw 0 (transparent).
Scene LightScene(bool sprites, Content content) {
    Scene s = MakeScene(sprites, content);
    for (Pixels& p : s.pictures)
        for (auto& px : p)
            if (px == kKey) px = 0;
    return s;
}

// --- Registration and the ratio reporter. ---

using bench::Register;

const char* VariantSuffix(blit::Isa isa) {
    switch (isa) {
        case blit::Isa::kScalar:
            return "ours_portable";
        case blit::Isa::kSse2:
            return "ours_sse2";
        case blit::Isa::kAvx2:
            return "ours_avx2";
    }
    return "";
}

// Baselines of a group are registered before our kernels so that their rates are known when the
// kernels' rows are printed.
void RegisterOurs(const std::string& group, const Scene& scene, Op op) {
    Register(group + "/ours", RunOurs, scene, op, &blit::ActiveKernels());
    for (blit::Isa isa : {blit::Isa::kSse2, blit::Isa::kScalar}) {
        if (const blit::KernelTable* k = blit::KernelsFor(isa))
            Register(group + "/" + VariantSuffix(isa), RunOurs, scene, op, k);
    }
}

void RegisterAll() {
    for (bool sprites : {false, true}) {
        const std::string shape = sprites ? "Sprites200x150" : "Full640x480";
        for (Content content : {Content::kBlob, Content::kNoise, Content::kRuns}) {
            const std::string group = "Keyed/" + shape + "/" + ContentName(content);
            const Scene scene = MakeScene(sprites, content);
            Register(group + "/memcpy", RunMemcpy, scene);
            Register(group + "/sdl", RunSdl, scene, SdlMode::kKeyed);
            Register(group + "/sdl_rle", RunSdl, scene, SdlMode::kKeyedRle);
            RegisterOurs(group, scene, Op::kKeyed);
        }
        const Scene scene = MakeScene(sprites, Content::kNoise);
        Register("Opaque/" + shape + "/memcpy", RunMemcpy, scene);
        Register("Opaque/" + shape + "/sdl", RunSdl, scene, SdlMode::kOpaque);
        if (sprites) Register("Opaque/" + shape + "/memcpy_rows", RunLibcRows, scene, false);
        RegisterOurs("Opaque/" + shape, scene, Op::kOpaque);
        Register("Fill/" + shape + "/memset", RunMemset, scene);
        Register("Fill/" + shape + "/sdl", RunSdl, scene, SdlMode::kFill);
        if (sprites) Register("Fill/" + shape + "/memset_rows", RunLibcRows, scene, true);
        RegisterOurs("Fill/" + shape, scene, Op::kFill);
        for (Content content : {Content::kBlob, Content::kNoise}) {
            const std::string group = "AddLight/" + shape + "/" + ContentName(content);
            const Scene lights = LightScene(sprites, content);
            Register(group + "/memcpy", RunMemcpy, lights);
            Register(group + "/table", RunTableAdd, lights);
            Register(group + "/sdl", RunSdl, lights, SdlMode::kAdd);
            RegisterOurs(group, lights, Op::kAdd);
        }
    }
}

std::string GroupOf(const std::string& name) {
    return name.substr(0, name.rfind('/'));
}
std::string LeafOf(const std::string& name) {
    return name.substr(name.rfind('/') + 1);
}

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown = runs;
        for (Run& run : shown) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto it = run.counters.find("items_per_second");
            if (it == run.counters.end()) continue;
            const std::string name = run.benchmark_name();
            const double rate = it->second.value;
            // With --benchmark_repetitions the best run of each case counts: on a shared machine
            // the slower runs measure the neighbours.
            const auto known = rates_.find(name);
            if (known == rates_.end()) {
                rates_[name] = rate;
            } else {
                known->second = std::max(known->second, rate);
            }
            run.counters.erase("bytes_per_second");  // the ratios say more in less room
            const std::string group = GroupOf(name);
            for (const char* base : {"memcpy", "memset", "sdl", "sdl_rle", "table"}) {
                const auto b = rates_.find(group + "/" + base);
                if (b != rates_.end() && b->first != name && b->second > 0)
                    run.counters[std::string("vs_") + base] =
                        benchmark::Counter(rate / b->second);  // this run against the best base
            }
        }
        ConsoleReporter::ReportRuns(shown);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf(
            "\nSummary (Gpx/s, best of the repetitions; ratios to the baselines of the same "
            "group; vs_libc is memcpy, or memset for Fill)\n");
        std::printf("%-32s %-14s %8s %8s %8s %8s %8s\n", "group", "case", "Gpx/s", "vs_libc",
                    "vs_sdl", "vs_rle", "vs_table");
        for (const std::string& name : bench::RegisteredOrder()) {
            if (rates_.count(name) == 0) continue;  // filtered out or failed
            const std::string group = GroupOf(name);
            const std::string leaf = LeafOf(name);
            auto ratio = [&](const char* base) {
                const auto b = rates_.find(group + "/" + base);
                return b == rates_.end() || b->second <= 0 ? std::string("-")
                                                           : Format(rates_[name] / b->second);
            };
            const bool fill = name.rfind("Fill/", 0) == 0;
            std::printf("%-32s %-14s %8.2f %8s %8s %8s %8s\n", group.c_str(), leaf.c_str(),
                        rates_[name] / 1e9, ratio(fill ? "memset" : "memcpy").c_str(),
                        ratio("sdl").c_str(), ratio("sdl_rle").c_str(), ratio("table").c_str());
        }
    }

  private:
    static std::string Format(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", v);
        return buf;
    }
    std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("kernels in use: %s\n", platform::blit::ActiveKernels().name);
    RegisterAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
