// The translucent and colour effects on an open headless screen, over a full 640 x 480 picture
// and over sixteen 128 x 128 sprites, each beside memcpy of the same bytes, the plain loop over
// the effect tables that the effect replaces (run in the same clip-and-lock frame), and, for
// HalfBlit, SDL2's alpha blend at 50% on RGB565 surfaces. The pictures are noise with a third of
// the pixels transparent. Ratios are to the baselines of the same group in the same run; on a
// shared machine run it with --benchmark_repetitions=5: the summary keeps the best repetition.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/noise_pixels.h"
#include "bench/ratio_summary.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/effects/colour_blits.h"
#include "el/effects/effect_loop.h"
#include "el/effects/pixel_format.h"
#include "el/effects/translucent_blits.h"
#include "el/system/library_reset.h"
#include "platform/display/surface.h"
#include "platform/headless/headless_host.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSprite = 128;
constexpr int kSprites = 16;

using Pixels = std::vector<std::uint16_t>;

using bench::Noise;

struct Place {
    int x, y;
};

struct Shape {
    bool sprites;
    int w() const { return sprites ? kSprite : kWidth; }
    int h() const { return sprites ? kSprite : kHeight; }
    int count() const { return sprites ? kSprites : 1; }
    std::int64_t PixelsPerIteration() const { return std::int64_t{w()} * h() * count(); }
    std::vector<Place> Places() const {
        if (!sprites) return {{0, 0}};
        std::mt19937 rng(7);
        std::vector<Place> out;
        for (int i = 0; i < kSprites; ++i) {
            out.push_back({static_cast<int>(rng() % (kWidth - kSprite)),
                           static_cast<int>(rng() % (kHeight - kSprite))});
        }
        return out;
    }
};

// An open 640 x 480 5-6-5 screen holding noise, with one picture object of the shape's size.
struct OpenScreen {
    explicit OpenScreen(const Shape& shape) {
        elSystem::ResetLibrary();
        platform::InstallHost(std::make_unique<platform::HeadlessHost>());
        elDraw::Screen(kWidth, kHeight, 1);
        picture = elDraw::CreateObject(shape.w(), shape.h() - 1, 2);
        Write(elDraw::ObjectSurface(picture), Noise(std::size_t(shape.w()) * shape.h(), 5));
        Write(elDraw::BackSurface.get(), Noise(std::size_t{kWidth} * kHeight, 6));
    }
    ~OpenScreen() {
        elSystem::ResetLibrary();
        platform::InstallHost(nullptr);
    }
    static void Write(platform::Surface* surface, const Pixels& pixels) {
        platform::SurfaceDesc desc;
        surface->Lock(desc);
        for (int y = 0; y < desc.height; ++y) {
            std::memcpy(desc.memory + y * (desc.pitch / 2), pixels.data() + y * desc.width,
                        static_cast<std::size_t>(desc.width) * 2);
        }
        surface->Unlock();
    }
    std::int32_t picture = 0;
};

using Draw = std::function<int(std::int32_t x, std::int32_t y, std::int32_t object, int w, int h)>;

void Finish(benchmark::State& state, const Shape& shape) {
    state.SetItemsProcessed(state.iterations() * shape.PixelsPerIteration());
}

void RunOurs(benchmark::State& state, Shape shape, Draw draw) {
    OpenScreen screen(shape);
    const std::vector<Place> places = shape.Places();
    for (auto _ : state) {
        for (const Place& p : places) draw(p.x, p.y, screen.picture, shape.w(), shape.h());
        benchmark::ClobberMemory();
    }
    Finish(state, shape);
}

// The same bytes copied to a contiguous stretch of a screen-sized buffer.
void RunMemcpy(benchmark::State& state, Shape shape) {
    const Pixels picture = Noise(std::size_t(shape.w()) * shape.h(), 5);
    Pixels screen = Noise(std::size_t{kWidth} * kHeight, 6);
    const std::vector<Place> places = shape.Places();
    for (auto _ : state) {
        for (const Place& p : places) {
            std::memcpy(screen.data() + p.y * kWidth, picture.data(), picture.size() * 2);
        }
        benchmark::ClobberMemory();
    }
    Finish(state, shape);
}

void RunSdlHalf(benchmark::State& state, Shape shape) {
    const auto make = [](int w, int h, const Pixels& pixels) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
        for (int y = 0; y < h; ++y) {
            std::memcpy(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch,
                        pixels.data() + std::size_t(y) * w, std::size_t(w) * 2);
        }
        return s;
    };
    SDL_Surface* screen = make(kWidth, kHeight, Noise(std::size_t{kWidth} * kHeight, 6));
    SDL_Surface* sprite = make(shape.w(), shape.h(), Noise(std::size_t(shape.w()) * shape.h(), 5));
    SDL_SetSurfaceBlendMode(sprite, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(sprite, 128);
    const std::vector<Place> places = shape.Places();
    for (auto _ : state) {
        for (const Place& p : places) {
            SDL_Rect to{p.x, p.y, shape.w(), shape.h()};
            SDL_BlitSurface(sprite, nullptr, screen, &to);
        }
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(screen);
    Finish(state, shape);
}

// --- The effects, and the plain loops over the tables they replace. ---

std::size_t Fade(int c, int p, int a, int b) {
    return elDraw::FadeIndex(c, p, a, b);
}
std::uint16_t SubtractEntry(int c, int a, int b) {
    return elDraw::SubtractTable[static_cast<std::size_t>(c * 1024 + a * 32 + b)];
}

// The plain loop in the effects' own frame: clip, lock, then one table lookup per pixel.
template <class Pixel>
Draw PlainLoop(Pixel pixel) {
    return [pixel](std::int32_t x, std::int32_t y, std::int32_t object, int w, int h) {
        return elDraw::DrawOverBackSurface(x, y, object, 0, 0, w, h,
                                           [&](const elDraw::EffectPixels& p) {
                                               Pixel op = pixel;
                                               elDraw::ForEachPixel(p, op);
                                           });
    };
}

struct FullMix {
    double a, w;
    std::uint16_t operator()(std::uint16_t s, std::uint16_t d) const {
        unsigned out = 0;
        for (int c = 0; c < 3; ++c) {
            const unsigned shift = elDraw::PixelFormat.Shift(c), max = elDraw::PixelFormat.Max(c);
            out |= static_cast<unsigned>(((s >> shift) & max) * a + ((d >> shift) & max) * w)
                   << shift;
        }
        return static_cast<std::uint16_t>(out);
    }
};

struct Case {
    const char* name;
    Draw ours, loop;
};

std::vector<Case> Cases() {
    using namespace elDraw;
    const auto& rgb = PixelToRgb;
    return {
        {"Half", [](auto x, auto y, auto o, int w, int h) { return HalfBlit(x, y, o, 0, 0, w, h); },
         PlainLoop([](std::uint16_t s, std::uint16_t d) {
             return static_cast<std::uint16_t>(((s >> 1) & PixelFormat.HalfMask) +
                                               ((d >> 1) & PixelFormat.HalfMask));
         })},
        {"CrossFade",
         [](auto x, auto y, auto o, int w, int h) {
             return CrossFadeBlit(x, y, 16, o, 0, 0, w, h);
         },
         PlainLoop([&rgb](std::uint16_t s, std::uint16_t d) {
             return static_cast<std::uint16_t>(CrossFadeTable[Fade(0, 15, rgb[s][0], rgb[d][0])] |
                                               CrossFadeTable[Fade(1, 15, rgb[s][1], rgb[d][1])] |
                                               CrossFadeTable[Fade(2, 15, rgb[s][2], rgb[d][2])]);
         })},
        {"Alpha",
         [](auto x, auto y, auto o, int w, int h) { return AlphaBlit(x, y, 0.3f, o, 0, 0, w, h); },
         PlainLoop(FullMix{0.3f, static_cast<float>(1.0 - 0.3f)})},
        {"Alpha0.1",  // a weight that is not 1 - opacity exactly
         [](auto x, auto y, auto o, int w, int h) { return AlphaBlit(x, y, 0.1f, o, 0, 0, w, h); },
         PlainLoop(FullMix{0.1f, static_cast<float>(1.0 - 0.1f)})},
        {"Sub", [](auto x, auto y, auto o, int w, int h) { return SubBlit(x, y, o, 0, 0, w, h); },
         PlainLoop([&rgb](std::uint16_t s, std::uint16_t d) {
             const int red = rgb[s][0];
             return static_cast<std::uint16_t>(SubtractEntry(0, rgb[d][0], red) |
                                               SubtractEntry(1, rgb[d][1], red) |
                                               SubtractEntry(2, rgb[d][2], red));
         })},
        {"Dark",
         [](auto x, auto y, auto o, int w, int h) { return DarkBlit(x, y, 20, o, 0, 0, w, h); },
         PlainLoop([&rgb](std::uint16_t s, std::uint16_t) {
             return static_cast<std::uint16_t>(SubtractEntry(0, rgb[s][0], 11) |
                                               SubtractEntry(1, rgb[s][1], 11) |
                                               SubtractEntry(2, rgb[s][2], 11));
         })},
        {"Grey", [](auto x, auto y, auto o, int w, int h) { return GreyBlit(x, y, o, 0, 0, w, h); },
         PlainLoop([&rgb](std::uint16_t s, std::uint16_t) {
             const unsigned g =
                 AverageTable[static_cast<std::size_t>(rgb[s][0] + rgb[s][1] + rgb[s][2])];
             return static_cast<std::uint16_t>(g << PixelFormat.RedShift5 |
                                               g << PixelFormat.GreenShift5 |
                                               g << PixelFormat.BlueShift5);
         })},
        {"Bright",
         [](auto x, auto y, auto o, int w, int h) { return BrightBlit(x, y, 0.6f, o, 0, 0, w, h); },
         PlainLoop(FullMix{0.6f, 0.0})},
        {"ChannelMask",
         [](auto x, auto y, auto o, int w, int h) {
             return ChannelMaskBlit(x, y, 1, 0, 1, o, 0, 0, w, h);
         },
         PlainLoop([](std::uint16_t s, std::uint16_t) {
             return static_cast<std::uint16_t>(s & (PixelFormat.RedMask | PixelFormat.BlueMask));
         })},
    };
}

// --- Registration. ---

void RegisterAll() {
    for (bool sprites : {false, true}) {
        const Shape shape{sprites};
        const std::string size = sprites ? "Sprites128x128" : "Full640x480";
        for (const Case& c : Cases()) {
            const std::string group = std::string(c.name) + "/" + size;
            bench::Register(group + "/memcpy", RunMemcpy, shape);
            bench::Register(group + "/loop", RunOurs, shape, c.loop);
            if (std::string(c.name) == "Half") bench::Register(group + "/sdl", RunSdlHalf, shape);
            bench::Register(group + "/ours", RunOurs, shape, c.ours);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv, RegisterAll);
}
