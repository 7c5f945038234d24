// The filter, rotation, screen-filter, warp and tunnel effects on an open headless 640 x 480
// screen, each beside memcpy of a screen's bytes and, where a speed goal compares them, the
// plain per-pixel loop the effect's algorithm describes (every pixel visited, every address
// multiplied out, every division done). Before timing, each plain loop is run against the
// effect on the same picture and must leave the same pixels, so a ratio never compares two
// different results. On a shared machine run it with --benchmark_repetitions=5: the summary
// keeps the best repetition. The tunnel's line says what share of a 60 Hz frame it takes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/noise_pixels.h"
#include "bench/ratio_summary.h"
#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/effects/back_filters.h"
#include "el/effects/filter_blits.h"
#include "el/effects/pixel_format.h"
#include "el/effects/rotate_blits.h"
#include "el/effects/warp_blits.h"
#include "el/system/library_reset.h"
#include "platform/crt.h"
#include "platform/display/surface.h"
#include "platform/headless/headless_host.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kTexture = 256;
constexpr std::int64_t kScreenPixels = std::int64_t{kWidth} * kHeight;

using Pixels = std::vector<std::uint16_t>;

using bench::Noise;

struct Locked {
    explicit Locked(platform::Surface* s) : surface(s) { surface->Lock(desc); }
    ~Locked() { surface->Unlock(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    std::uint16_t* row(std::int64_t y) const { return desc.memory + y * (desc.pitch / 2); }
    platform::Surface* surface;
    platform::SurfaceDesc desc;
};

void Write(platform::Surface* surface, const Pixels& pixels) {
    const Locked l(surface);
    for (int y = 0; y < l.desc.height; ++y) {
        std::memcpy(l.row(y), pixels.data() + std::size_t(y) * l.desc.width,
                    std::size_t(l.desc.width) * 2);
    }
}

Pixels Read(platform::Surface* surface) {
    const Locked l(surface);
    Pixels out(std::size_t(l.desc.width) * l.desc.height);
    for (int y = 0; y < l.desc.height; ++y) {
        std::memcpy(out.data() + std::size_t(y) * l.desc.width, l.row(y),
                    std::size_t(l.desc.width) * 2);
    }
    return out;
}

// An open 5-6-5 screen with a screen-sized noise picture (object 1) and a 256 x 256 tunnel
// texture (object 2); the back surface holds noise too.
struct OpenScreen {
    OpenScreen() {
        elSystem::ResetLibrary();
        platform::InstallHost(std::make_unique<platform::HeadlessHost>());
        elDraw::Screen(kWidth, kHeight, 1);
        picture = elDraw::CreateObject(kWidth, kHeight, 2);
        texture = elDraw::CreateObject(kTexture, kTexture, 2);
        Write(elDraw::ObjectSurface(picture), Noise(std::size_t(kScreenPixels), 5));
        Write(elDraw::ObjectSurface(texture), Noise(std::size_t{kTexture} * kTexture, 7));
        elDraw::BuildTunnelMap(kTexture, kTexture, kWidth, kHeight, -1, -1, 8, 0, 0, 0);
        Restart();
    }
    ~OpenScreen() {
        elSystem::ResetLibrary();
        platform::InstallHost(nullptr);
    }
    // The back surface, the noise cursors and rand() as they were at the start.
    void Restart() const {
        Write(elDraw::BackSurface.get(), Noise(std::size_t(kScreenPixels), 6));
        elDraw::RiseCounter = elDraw::RiseCursor = 0;
        elDraw::NoiseCursor = 0;
        crt::srand(1);
    }
    std::int32_t picture = 0, texture = 0;
};

struct Frame {
    Locked source, back;
};
using Effect = std::function<void(const OpenScreen&)>;
using Loop = std::function<void(const OpenScreen&, Frame&)>;

void Pack(std::uint16_t* to, unsigned r, unsigned g, unsigned b) {
    const auto& f = elDraw::PixelFormat;
    *to = static_cast<std::uint16_t>(r << f.RedShift5 | g << f.GreenShift5 | b << f.BlueShift5);
}

// --- The plain loops. ---

// The rotations' frame: every pixel of the destination rectangle 0, 0, 640, 480 visited, u and
// v stepped, the source position worked out by place() and the pixel (if not 0) painted.
template <class Place, class Paint, class NextRow>
void PlainRotation(Frame& f, int angle, Place place, Paint paint, NextRow nextRow) {
    const std::int64_t W = kWidth, H = kHeight, sw = kWidth, sh = kHeight;
    const std::int64_t cosA = elDraw::SineTable[std::size_t(angle + 90)];
    const std::int64_t sinA = elDraw::SineTable[std::size_t(angle)];
    const std::int64_t hx = W >> 1, hy = H >> 1, cx = (W - sw) >> 1, cy = (H - sh) >> 1;
    std::int64_t rowU = 360 * hx + sinA * hy - cosA * hx;
    std::int64_t rowV = 360 * hy - sinA * hx - cosA * hy;
    const std::int64_t pitch = f.source.desc.pitch / 2, backPitch = f.back.desc.pitch / 2;
    for (std::int64_t row = 0; row < H; ++row) {
        std::int64_t u = rowU, v = rowV;
        for (std::int64_t col = 0; col < W; ++col) {
            std::int64_t sx = 0, sy = 0;
            if (place(u / 360 - cx, v / 360 - cy, sw, sh, sx, sy) && col < W && row < H) {
                const std::uint16_t p = f.source.desc.memory[sy * pitch + sx];
                if (p != 0) f.back.desc.memory[row * backPitch + col] = paint(p);
            }
            u += cosA;
            v += sinA;
        }
        rowU -= sinA;
        rowV += cosA;
        nextRow();
    }
}

bool Inside(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    return x >= 0 && x < w && y >= 0 && y < h;
}

constexpr int kAngle = 30;
constexpr float kZoom = 1.5f, kTileZoom = 0.75f;

auto Copy() {
    return [](std::uint16_t p) { return p; };
}
auto NoRow() {
    return [] {};
}

Loop PlainRotate() {
    return [](const OpenScreen&, Frame& f) {
        PlainRotation(
            f, kAngle,
            [](std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h, std::int64_t& sx,
               std::int64_t& sy) {
                sx = u;
                sy = v;
                return Inside(sx, sy, w, h);
            },
            Copy(), NoRow());
    };
}

Loop PlainRotateTile() {
    return [](const OpenScreen&, Frame& f) {
        PlainRotation(
            f, kAngle,
            [](std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h, std::int64_t& sx,
               std::int64_t& sy) {
                sx = std::llabs(u) % w;
                sy = std::llabs(v) % h;
                return true;
            },
            Copy(), NoRow());
    };
}

Loop PlainRotateZoom(bool tiled) {
    return [tiled](const OpenScreen&, Frame& f) {
        const double zoom = tiled ? kTileZoom : kZoom;
        PlainRotation(
            f, kAngle,
            [&](std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h, std::int64_t& sx,
                std::int64_t& sy) {
                sx = static_cast<std::int64_t>(static_cast<double>(u) / zoom);
                sy = static_cast<std::int64_t>(static_cast<double>(v) / zoom);
                if (!tiled) return Inside(sx, sy, w, h);
                sx = std::llabs(sx) % w;
                sy = std::llabs(sy) % h;
                return true;
            },
            Copy(), NoRow());
    };
}

constexpr float kFloorZoom = 0.2f, kFloorStep = 0.02f;
constexpr float kFactors[3] = {1.0f, 0.8f, 0.6f};

Loop PlainFloor() {
    return [](const OpenScreen&, Frame& f) {
        float zx = kFloorZoom, zy = kFloorZoom;
        PlainRotation(
            f, kAngle,
            [&](std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h, std::int64_t& sx,
                std::int64_t& sy) {
                sx = std::llabs(static_cast<std::int64_t>(static_cast<double>(u) / zx)) % w;
                sy = std::llabs(static_cast<std::int64_t>(static_cast<double>(v) / zy)) % h;
                return true;
            },
            [](std::uint16_t p) {
                const auto& rgb = elDraw::PixelToRgb[p];
                std::uint16_t out = 0;
                Pack(&out, static_cast<unsigned>(rgb[0] * double{kFactors[0]}),
                     static_cast<unsigned>(rgb[1] * double{kFactors[1]}),
                     static_cast<unsigned>(rgb[2] * double{kFactors[2]}));
                return out;
            },
            [&] {
                zx += kFloorStep;
                zy += kFloorStep;
            });
    };
}

constexpr int kScrollU = 100, kScrollV = 37;

Loop PlainTunnel() {
    return [](const OpenScreen&, Frame& f) {
        const Locked& texture = f.source;
        const Locked& back = f.back;
        const std::int64_t pitch = texture.desc.pitch / 2, backPitch = back.desc.pitch / 2;
        for (std::int64_t r = 0; r < elDraw::TunnelMapH; ++r) {
            for (std::int64_t c = 0; c < elDraw::TunnelMapW; ++c) {
                const auto& e = elDraw::TunnelMap[std::size_t(r * elDraw::TunnelMapW + c)];
                std::int64_t u = kScrollU + e[0], v = kScrollV + e[1];
                if (u >= elDraw::TunnelTexW) u -= elDraw::TunnelTexW;
                if (v >= elDraw::TunnelTexH) v -= elDraw::TunnelTexH;
                back.desc.memory[r * backPitch + c] = texture.desc.memory[v * pitch + u];
            }
        }
    };
}

Loop PlainMirror() {
    return [](const OpenScreen&, Frame& f) {
        const std::int64_t pitch = f.source.desc.pitch / 2, backPitch = f.back.desc.pitch / 2;
        for (std::int64_t j = 0; j < kHeight; ++j) {
            for (std::int64_t i = 0; i < kWidth; ++i) {
                const std::uint16_t p =
                    f.source.desc.memory[(kHeight - 1 - j) * pitch + (kWidth - 1 - i)];
                if (p != 0) f.back.desc.memory[j * backPitch + i] = p;
            }
        }
    };
}

// The four-neighbour average written in place (blur) or one row up (rise, with the noise
// deciding which pixels are plain copies), over the whole screen less its border.
std::uint16_t Average(const std::uint16_t* p, std::int64_t pitch) {
    unsigned sum[3] = {0, 0, 0};
    for (const std::uint16_t* n : {p - 1, p + 1, p - pitch, p + pitch}) {
        for (int c = 0; c < 3; ++c) sum[c] += elDraw::PixelToRgb[*n][c];
    }
    std::uint16_t out = 0;
    Pack(&out, sum[0] >> 2, sum[1] >> 2, sum[2] >> 2);
    return out;
}

void AdvanceCursor(std::int32_t& cursor) {
    cursor = cursor == 9999 ? crt::rand() % 1000 : cursor + 1;
}

Loop PlainBlur() {
    return [](const OpenScreen&, Frame& f) {
        const std::int64_t pitch = f.back.desc.pitch / 2;
        for (std::int64_t y = 1; y <= kHeight - 2; ++y) {
            for (std::int64_t x = 1; x <= kWidth - 2; ++x) {
                std::uint16_t* p = f.back.desc.memory + y * pitch + x;
                *p = Average(p, pitch);
            }
        }
    };
}

constexpr int kRiseHeight = kHeight - 1;  // the last pass reads the row below

Loop PlainRise() {
    return [](const OpenScreen&, Frame& f) {
        const std::int64_t pitch = f.back.desc.pitch / 2;
        std::int32_t& k = elDraw::RiseCounter;
        std::int32_t& cursor = elDraw::RiseCursor;
        for (std::int64_t y = 2; y <= kRiseHeight - 1; ++y) {
            for (std::int64_t x = 1; x <= kWidth - 2; ++x) {
                std::uint16_t* p = f.back.desc.memory + y * pitch + x;
                ++k;
                if (k >= elDraw::RandomTable[std::size_t(cursor)]) {
                    p[-pitch] = *p;
                    k = 0;
                    AdvanceCursor(cursor);
                } else {
                    p[-pitch] = Average(p, pitch);
                }
            }
        }
    };
}

constexpr int kMosaicRadius = 240, kMosaicBlock = 8;

Loop PlainMosaic() {
    return [](const OpenScreen&, Frame& f) {
        const std::int64_t pitch = f.back.desc.pitch / 2, cx = kWidth / 2, cy = kHeight / 2;
        const std::int64_t r = kMosaicRadius;
        const std::int64_t firstX = std::max(-r, -cx), endX = cx + r >= kWidth ? kWidth - cx : r;
        const std::int64_t firstY = std::max(-r, -cy), endY = cy + r >= kHeight ? kHeight - cy : r;
        for (std::int64_t by = firstY; by < endY; by += kMosaicBlock) {
            for (std::int64_t bx = firstX; bx < endX; bx += kMosaicBlock) {
                const std::uint16_t p = f.back.desc.memory[(cy + by) * pitch + cx + bx];
                for (std::int64_t dy = by; dy < std::min(by + kMosaicBlock, kHeight - cy); ++dy) {
                    for (std::int64_t dx = bx; dx < std::min(bx + kMosaicBlock, kWidth - cx);
                         ++dx) {
                        if (static_cast<std::int64_t>(std::sqrt(double(dx * dx + dy * dy))) < r) {
                            f.back.desc.memory[(cy + dy) * pitch + cx + dx] = p;
                        }
                    }
                }
            }
        }
    };
}

constexpr int kNoiseShift = 2;

Loop PlainNoise() {
    return [](const OpenScreen&, Frame& f) {
        const std::int64_t pitch = f.back.desc.pitch / 2;
        std::int32_t& cursor = elDraw::NoiseCursor;
        for (std::int64_t y = 0; y < kHeight; ++y) {
            for (std::int64_t x = 0; x < kWidth; ++x) {
                const unsigned v = unsigned{elDraw::RandomTable[std::size_t(cursor)]}
                                   << kNoiseShift;
                AdvanceCursor(cursor);
                std::uint16_t* p = f.back.desc.memory + y * pitch + x;
                const auto& rgb = elDraw::PixelToRgb[*p];
                Pack(p, std::min(rgb[0] + v, 31u), std::min(rgb[1] + v, 31u),
                     std::min(rgb[2] + v, 31u));
            }
        }
    };
}

// --- The cases. ---

struct Case {
    const char* name;
    std::int64_t pixels;  // pixels the effect covers per call
    Effect ours;
    Loop loop;                 // empty where no goal compares the effect with a plain loop
    bool fromTexture = false;  // the plain loop reads the tunnel texture, not the picture
};

std::vector<Case> Cases() {
    using namespace elDraw;
    constexpr std::int64_t kAll = kScreenPixels;
    return {
        {"Rotate", kAll,
         [](const OpenScreen& s) {
             RotateBlit(0, 0, kWidth, kHeight, kAngle, s.picture, 0, 0, kWidth, kHeight);
         },
         PlainRotate()},
        {"RotateTile", kAll,
         [](const OpenScreen& s) {
             RotateTileBlit(0, 0, kWidth, kHeight, kAngle, s.picture, 0, 0, kWidth, kHeight);
         },
         PlainRotateTile()},
        {"RotateZoom", kAll,
         [](const OpenScreen& s) {
             RotateZoomBlit(0, 0, kWidth, kHeight, kAngle, kZoom, s.picture, 0, 0, kWidth, kHeight);
         },
         PlainRotateZoom(false)},
        {"RotateZoomTile", kAll,
         [](const OpenScreen& s) {
             RotateZoomTileBlit(0, 0, kWidth, kHeight, kAngle, kTileZoom, s.picture, 0, 0, kWidth,
                                kHeight);
         },
         PlainRotateZoom(true)},
        {"Floor", kAll,
         [](const OpenScreen& s) {
             FloorBlit(0, 0, kWidth, kHeight, kAngle, kFloorZoom, kFloorStep, kFloorZoom,
                       kFloorStep, kFactors[0], kFactors[1], kFactors[2], s.picture, 0, 0, kWidth,
                       kHeight);
         },
         PlainFloor()},
        {"Tunnel", kAll,
         [](const OpenScreen& s) { TunnelBlit(0, 0, kScrollU, kScrollV, s.texture); },
         PlainTunnel(), true},
        {"Mirror", kAll,
         [](const OpenScreen& s) { MirrorBlit(0, 0, 3, s.picture, 0, 0, kWidth, kHeight); },
         PlainMirror()},
        {"BlurRect", kAll, [](const OpenScreen&) { BlurRect(0, 0, kWidth, kHeight); }, PlainBlur()},
        {"RiseRect", kAll, [](const OpenScreen&) { RiseRect(0, 0, kWidth, kRiseHeight); },
         PlainRise()},
        {"MosaicDisc", kAll,
         [](const OpenScreen&) {
             MosaicDisc(kWidth / 2, kHeight / 2, kMosaicRadius, kMosaicBlock);
         },
         PlainMosaic()},
        {"NoiseRect", kAll,
         [](const OpenScreen&) { NoiseRect(kNoiseShift, 0, 0, kWidth, kHeight); }, PlainNoise()},
        // The rest, beside memcpy only.
        {"SoftEdge",
         kAll,
         [](const OpenScreen& s) { SoftEdgeBlit(0, 0, s.picture, 0, 0, kWidth, kHeight); },
         {}},
        {"BlurBlit3",
         kAll,
         [](const OpenScreen& s) { BlurBlit(0, 0, 3, s.picture, 0, 0, kWidth, kHeight); },
         {}},
        {"Displace",
         kAll,
         [](const OpenScreen& s) { DisplaceBlit(0, 0, 4.0f, s.picture, 0, 0, kWidth, kHeight); },
         {}},
        {"Glow",
         kAll,
         [](const OpenScreen& s) {
             GlowBlit(0, 0, 2, 2, 2, 0x40 | 0x20 | 0x80, 1, s.picture, 0, 0, kWidth, kHeight);
         },
         {}},
        {"Warp",
         kAll,
         [](const OpenScreen& s) {
             WarpBlit(0, 0, 8, 8, 1, 1.0f, 0.2f, s.picture, 0, 0, kWidth, kHeight);
         },
         {}},
        {"Smear",
         kAll,
         [](const OpenScreen& s) { SmearBlit(0, 0, 2, 100, s.picture, 0, 0, kWidth, kHeight); },
         {}},
        {"RiseRectFade",
         kAll,
         [](const OpenScreen&) { RiseRectFade(1, 0, 1, 0, 0, kWidth, kRiseHeight); },
         {}},
        {"BlurRectFade",
         kAll,
         [](const OpenScreen&) { BlurRectFade(1, 1, 1, 0, 0, kWidth, kHeight); },
         {}},
        {"Zoom2Rect",
         kAll,
         [](const OpenScreen&) { Zoom2Rect(0, 0, kWidth / 2, kHeight / 2, 0); },
         {}},
        {"Zoom4Rect",
         kAll,
         [](const OpenScreen&) { Zoom4Rect(0, 0, kWidth / 4, kHeight / 4, 0); },
         {}},
        {"NoiseRectRGB",
         kAll,
         [](const OpenScreen&) { NoiseRectRGB(1, 0, 1, kNoiseShift, 0, 0, kWidth, kHeight); },
         {}},
        {"InvertRectangle",
         kAll,
         [](const OpenScreen&) { InvertRectangle(0, 0, kWidth, kHeight); },
         {}},
    };
}

void RunLoop(const OpenScreen& s, const Case& c) {
    Frame frame{Locked(elDraw::ObjectSurface(c.fromTexture ? s.texture : s.picture)),
                Locked(elDraw::BackSurface.get())};
    c.loop(s, frame);
}

// The effect and its plain loop from the same start must leave the same back surface.
bool SameResult(const Case& c) {
    const OpenScreen screen;
    c.ours(screen);
    const Pixels ours = Read(elDraw::BackSurface.get());
    screen.Restart();
    RunLoop(screen, c);
    const Pixels plain = Read(elDraw::BackSurface.get());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (ours[i] != plain[i]) {
            std::fprintf(stderr, "shape_effects_bench: %s and its plain loop differ at %zu, %zu\n",
                         c.name, i % kWidth, i / kWidth);
            return false;
        }
    }
    return true;
}

void Finish(benchmark::State& state, std::int64_t pixels) {
    state.SetItemsProcessed(state.iterations() * pixels);
}

void RunOurs(benchmark::State& state, const Case& c) {
    const OpenScreen screen;
    for (auto _ : state) {
        c.ours(screen);
        benchmark::ClobberMemory();
    }
    Finish(state, c.pixels);
}

void RunPlain(benchmark::State& state, const Case& c) {
    const OpenScreen screen;
    for (auto _ : state) {
        RunLoop(screen, c);
        benchmark::ClobberMemory();
    }
    Finish(state, c.pixels);
}

void RunMemcpy(benchmark::State& state, std::int64_t pixels) {
    const Pixels from = Noise(std::size_t(pixels), 5);
    Pixels to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 2);
        benchmark::ClobberMemory();
    }
    Finish(state, pixels);
}

std::vector<Case>& AllCases() {
    static std::vector<Case> cases = Cases();
    return cases;
}

bool RegisterAll() {
    bool same = true;
    for (const Case& c : AllCases()) {
        if (c.loop && !SameResult(c)) same = false;
        const std::string group = std::string(c.name) + "/Full640x480";
        bench::Register(group + "/memcpy", RunMemcpy, c.pixels);
        if (c.loop) bench::Register(group + "/loop", RunPlain, c);
        bench::Register(group + "/ours", RunOurs, c);
    }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    bool same = true;
    const int status = bench::RunWithRatios(argc, argv, [&] { same = RegisterAll(); });
    return status != 0 ? status : same ? 0 : 1;
}
