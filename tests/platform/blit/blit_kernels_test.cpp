// Every kernel variant against plain reference loops. Each case runs on a larger buffer whose
// guard rows and columns must come out untouched, so a comparison of the whole buffer checks
// both the pixels and the bounds.
#include "platform/blit/blit_kernels.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace platform::blit {
namespace {

using Pixels = std::vector<std::uint16_t>;

std::string IsaName(Isa isa);

constexpr std::uint16_t kKey = 0xF81F;

// --- Reference loops, written from the semantics and nothing else. ---

void RefCopyOpaque(std::uint16_t* dst, std::ptrdiff_t dp, const std::uint16_t* src,
                   std::ptrdiff_t sp, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dst[y * dp + x] = src[y * sp + x];
}

void RefCopyKeyed(std::uint16_t* dst, std::ptrdiff_t dp, const std::uint16_t* src,
                  std::ptrdiff_t sp, int w, int h, std::uint16_t key) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (src[y * sp + x] != key) dst[y * dp + x] = src[y * sp + x];
}

void RefFill(std::uint16_t* dst, std::ptrdiff_t dp, int w, int h, std::uint16_t value) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dst[y * dp + x] = value;
}

// A pixel with a bit that no channel uses (bit 15 of 5-5-5) is black, as the library's effect
// tables have it.
int Comp(const AddFormat& f, std::uint16_t p, int c) {
    unsigned used = 0;
    for (int k = 0; k < 3; ++k) used |= static_cast<unsigned>(f.Max(k)) << f.Shift(k);
    if ((p & ~used) != 0) return 0;
    return ((p >> f.Shift(c)) & f.Max(c)) >> (f.Max(c) == 63 ? 1 : 0);
}

void RefAddLight(std::uint16_t* dst, std::ptrdiff_t dp, const std::uint16_t* src, std::ptrdiff_t sp,
                 int w, int h, const AddFormat& f, int fade) {
    fade = std::clamp(fade, 0, 31);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint16_t s = src[y * sp + x];
            std::uint16_t& d = dst[y * dp + x];
            if (s == 0) continue;
            int out = 0;
            for (int c = 0; c < 3; ++c) {
                const int r = std::min(Comp(f, d, c) + std::max(Comp(f, s, c) - fade, 0), 31);
                out |= r << f.Shift5(c);
            }
            d = static_cast<std::uint16_t>(out);
        }
    }
}

// The blends, one pixel at a time from their definitions: 5-bit components as the effect tables
// read them, full-precision channels in double precision.
std::uint16_t RefBlendPixel(const BlendOp& op, std::uint16_t s, std::uint16_t d) {
    const AddFormat& f = op.format;
    const auto full = [&](std::uint16_t p, int c) { return (p >> f.Shift(c)) & f.Max(c); };
    unsigned out = 0;
    for (int c = 0; c < 3; ++c) {
        const int fade = std::clamp(op.fade[c], 0, 31);
        switch (op.kind) {
            case BlendKind::kHalf:
            case BlendKind::kMask:
                break;
            case BlendKind::kCrossFade:
                out |=
                    (std::max(Comp(f, s, c) - fade, 0) + std::max(Comp(f, d, c) - (31 - fade), 0))
                    << f.Shift5(c);
                break;
            case BlendKind::kDarken:
                out |= std::max(Comp(f, s, c) - fade, 0) << f.Shift5(c);
                break;
            case BlendKind::kSubtractRed:
                out |= std::max(Comp(f, d, c) - Comp(f, s, 0), 0) << f.Shift5(c);
                break;
            case BlendKind::kGrey:
                out |= (Comp(f, s, 0) + Comp(f, s, 1) + Comp(f, s, 2)) / 3 << f.Shift5(c);
                break;
            case BlendKind::kScale:
                out |= static_cast<unsigned>(full(s, c) * static_cast<double>(op.factor[c]))
                       << f.Shift(c);
                break;
            case BlendKind::kAlpha:
                out |= static_cast<unsigned>(full(s, c) * static_cast<double>(op.factor[c]) +
                                             full(d, c) * static_cast<double>(op.weight[c]))
                       << f.Shift(c);
                break;
        }
    }
    if (op.kind == BlendKind::kHalf) out = ((s >> 1) & op.bits) + ((d >> 1) & op.bits);
    if (op.kind == BlendKind::kMask) out = s & op.bits;
    return s == 0 ? d : static_cast<std::uint16_t>(out);
}

void RefBlend(std::uint16_t* dst, std::ptrdiff_t dp, const std::uint16_t* src, std::ptrdiff_t sp,
              int w, int h, const BlendOp& op) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dst[y * dp + x] = RefBlendPixel(op, src[y * sp + x], dst[y * dp + x]);
}

constexpr BlendKind kBlendKinds[] = {
    BlendKind::kHalf,        BlendKind::kMask, BlendKind::kCrossFade, BlendKind::kDarken,
    BlendKind::kSubtractRed, BlendKind::kGrey, BlendKind::kScale,     BlendKind::kAlpha};

// Opacities and factors with every kind of float: whole fractions, ones whose weight 1 - v is
// not a float (0.1), ones near the powers of two where the weight's rounding changes, and small
// ones down to the least that the kernels take.
std::vector<float> Factors() {
    std::vector<float> out = {
        0.0f,           1.0f,           0.5f,           0.25f,           0.1f,           0.2f,
        0.3f,           1.0f / 3,       0.7f,           0.999f,          0.004f,         0x1p-16f,
        0x1.000002p-2f, 0x1.fffffep-2f, 0x1.fffffep-1f, 0x1.234568p-10f, 0x1.fffffep-17f};
    for (int i = 1; i < 64; i += 5) out.push_back(static_cast<float>(i) / 64 + 0x1p-20f);
    return out;
}

// --- Pictures. ---

enum class Content { kThirdKeyed, kNoise, kRuns, kAllKey };

Pixels Picture(std::size_t count, Content content, std::mt19937& rng) {
    Pixels p(count);
    std::uniform_int_distribution<int> any(0, 0xFFFF);
    std::uniform_int_distribution<int> third(0, 2);
    std::uniform_int_distribution<int> run(1, 40);
    bool keyed = false;
    int left = 0;
    for (auto& px : p) {
        switch (content) {
            case Content::kThirdKeyed:
                px = third(rng) == 0 ? kKey : static_cast<std::uint16_t>(any(rng));
                break;
            case Content::kNoise:
                px = static_cast<std::uint16_t>(any(rng));
                break;
            case Content::kRuns:  // runs of key and of picture, as sprites have
                if (left-- == 0) {
                    keyed = !keyed;
                    left = run(rng);
                }
                px = keyed ? kKey : static_cast<std::uint16_t>(any(rng));
                break;
            case Content::kAllKey:
                px = kKey;
                break;
        }
    }
    return p;
}

// A destination rectangle inside a buffer with a guard row above and below and, when extra > 0,
// guard columns left and right; src gets its own pitch.
struct Layout {
    int width, height;
    int dstExtra, srcExtra;
    std::ptrdiff_t DstPitch() const { return width + dstExtra; }
    std::ptrdiff_t SrcPitch() const { return width + srcExtra; }
    std::size_t DstSize() const { return static_cast<std::size_t>(DstPitch()) * (height + 2); }
    std::size_t SrcSize() const { return static_cast<std::size_t>(SrcPitch()) * height; }
    std::ptrdiff_t Origin() const { return DstPitch() + (dstExtra > 0 ? 2 : 0); }
    std::string Name() const {
        return std::to_string(width) + "x" + std::to_string(height) + " +" +
               std::to_string(dstExtra) + "/+" + std::to_string(srcExtra);
    }
};

std::vector<Layout> Layouts() {
    std::vector<Layout> out;
    std::vector<int> widths;
    for (int w = 0; w <= 40; ++w) widths.push_back(w);
    widths.push_back(637);
    for (int w : widths)
        for (int h : {0, 1, 3})
            for (int extra : {0, 5}) out.push_back({w, h, extra, extra == 0 ? 0 : 9});
    out.push_back({640, 480, 0, 0});  // contiguous full frame
    out.push_back({2100, 2, 5, 9});   // rows long enough for the C library's copy
    return out;
}

// --- Fixture over the variants. ---

class BlitKernels : public ::testing::TestWithParam<Isa> {
  protected:
    void SetUp() override {
        kernels_ = KernelsFor(GetParam());
        if (kernels_ == nullptr) GTEST_SKIP() << "this processor or build lacks the variant";
    }
    const KernelTable* kernels_ = nullptr;
    std::mt19937 rng_{1234};
};

TEST_P(BlitKernels, CopyKeyedMatchesReference) {
    for (const Layout& l : Layouts()) {
        for (Content content :
             {Content::kThirdKeyed, Content::kNoise, Content::kRuns, Content::kAllKey}) {
            const Pixels src = Picture(l.SrcSize(), content, rng_);
            Pixels got = Picture(l.DstSize(), Content::kNoise, rng_);
            Pixels want = got;
            kernels_->copyKeyed(got.data() + l.Origin(), l.DstPitch(), src.data(), l.SrcPitch(),
                                l.width, l.height, kKey);
            RefCopyKeyed(want.data() + l.Origin(), l.DstPitch(), src.data(), l.SrcPitch(), l.width,
                         l.height, kKey);
            ASSERT_EQ(got, want) << l.Name() << " content " << static_cast<int>(content);
        }
    }
}

TEST_P(BlitKernels, CopyOpaqueMatchesReference) {
    for (const Layout& l : Layouts()) {
        const Pixels src = Picture(l.SrcSize(), Content::kNoise, rng_);
        Pixels got = Picture(l.DstSize(), Content::kNoise, rng_);
        Pixels want = got;
        kernels_->copyOpaque(got.data() + l.Origin(), l.DstPitch(), src.data(), l.SrcPitch(),
                             l.width, l.height);
        RefCopyOpaque(want.data() + l.Origin(), l.DstPitch(), src.data(), l.SrcPitch(), l.width,
                      l.height);
        ASSERT_EQ(got, want) << l.Name();
    }
}

TEST_P(BlitKernels, FillMatchesReference) {
    std::uniform_int_distribution<int> any(0, 0xFFFF);
    for (const Layout& l : Layouts()) {
        const auto value = static_cast<std::uint16_t>(any(rng_));
        Pixels got = Picture(l.DstSize(), Content::kNoise, rng_);
        Pixels want = got;
        kernels_->fill(got.data() + l.Origin(), l.DstPitch(), l.width, l.height, value);
        RefFill(want.data() + l.Origin(), l.DstPitch(), l.width, l.height, value);
        ASSERT_EQ(got, want) << l.Name();
    }
}

TEST_P(BlitKernels, AddLightMatchesReferenceInEveryLayout) {
    std::uniform_int_distribution<int> fades(-3, 34);  // out-of-range levels clamp
    std::uniform_int_distribution<int> any(0, 0xFFFF);
    std::uniform_int_distribution<int> quarter(0, 3);
    const AddFormat bgr565{{0, 5, 11}, {31, 63, 31}};  // any other layout takes the general path
    for (const AddFormat& format : {AddFormat::Rgb565(), AddFormat::Rgb555(), bgr565}) {
        for (const Layout& l : Layouts()) {
            const int fade = fades(rng_);
            // A quarter of the source is raw 0 (transparent); bright pixels on both sides make
            // saturation common.
            Pixels src(l.SrcSize());
            for (auto& p : src) {
                const int pick = quarter(rng_);
                p = pick == 0 ? 0 : pick == 1 ? 0xFFFF : static_cast<std::uint16_t>(any(rng_));
            }
            Pixels got = Picture(l.DstSize(), Content::kNoise, rng_);
            Pixels want = got;
            kernels_->addLight(got.data() + l.Origin(), l.DstPitch(), src.data(), l.SrcPitch(),
                               l.width, l.height, format, fade);
            RefAddLight(want.data() + l.Origin(), l.DstPitch(), src.data(), l.SrcPitch(), l.width,
                        l.height, format, fade);
            ASSERT_EQ(got, want) << l.Name() << " fade " << fade << " red shift "
                                 << format.Shift(0);
        }
    }
}

// Values worked out by hand, so the reference loop itself is checked once.
TEST_P(BlitKernels, AddLightKnownPixels) {
    const AddFormat f = AddFormat::Rgb565();
    // 17 pixels: one full vector and an overlapping last one in the vector bodies. Pixels
    // without a case stay 0x1234 under a transparent source.
    Pixels dst(17, 0x1234);
    Pixels src(17, 0);
    dst[0] = 0xF800;  // full red plus white: every channel saturates, green's low bit is 0
    src[0] = 0xFFFF;
    src[1] = 0xFFFF;  // white on an ordinary pixel saturates as well
    dst[2] = 0x0000;  // plain add of r=1, g=2 (5-bit 1), b=3
    src[2] = 0x0843;
    src[16] = 0xFFFF;  // the last pixel of the row
    kernels_->addLight(dst.data(), 17, src.data(), 17, 17, 1, f, 0);
    EXPECT_EQ(dst[0], 0xFFDF);
    EXPECT_EQ(dst[1], 0xFFDF);
    EXPECT_EQ(dst[2], 0x0843);
    EXPECT_EQ(dst[3], 0x1234);
    EXPECT_EQ(dst[15], 0x1234);
    EXPECT_EQ(dst[16], 0xFFDF);

    // Fully faded, white adds nothing but the destination is written back as 5-bit components:
    // r 2, g 17 -> 8, b 20. Levels beyond 0..31 act as the nearest end.
    const Pixels white(16, 0xFFFF);
    for (const auto& [fade, want] : {std::pair{31, 0x1214}, {99, 0x1214}, {-7, 0xFFDF}}) {
        Pixels d(16, 0x1234);
        kernels_->addLight(d.data(), 16, white.data(), 16, 16, 1, f, fade);
        EXPECT_EQ(d, Pixels(16, static_cast<std::uint16_t>(want))) << "fade " << fade;
    }
}

TEST_P(BlitKernels, AddLightRejectsLayoutsItCannotHonour) {
    AddFormat bad = AddFormat::Rgb565();
    bad.maximum[2] = 15;
    AddFormat tooHigh = AddFormat::Rgb555();
    tooHigh.shift[0] = 12;  // a 5-bit red would need bit 16
    for (const AddFormat& f : {bad, tooHigh}) {
        Pixels dst(40, 0x1234);
        const Pixels src(40, 0xFFFF);
        kernels_->addLight(dst.data(), 40, src.data(), 40, 40, 1, f, 0);
        EXPECT_EQ(dst, Pixels(40, 0x1234));
    }
}

TEST_P(BlitKernels, BlendMatchesReferenceInBothLayouts) {
    std::uniform_int_distribution<int> any(0, 0xFFFF);
    std::uniform_int_distribution<int> quarter(0, 3);
    std::uniform_int_distribution<int> fades(-3, 34);  // out-of-range levels clamp
    std::uniform_int_distribution<std::size_t> pick(0, Factors().size() - 1);
    const std::vector<float> factors = Factors();
    for (const AddFormat& format : {AddFormat::Rgb565(), AddFormat::Rgb555()}) {
        for (BlendKind kind : kBlendKinds) {
            for (const Layout& l : Layouts()) {
                if (l.height > 3) continue;  // the full frame adds time, not cases
                BlendOp op{kind, format, static_cast<std::uint16_t>(any(rng_)), {}, {}, {}};
                if (kind == BlendKind::kHalf) op.bits = format.Max(1) == 63 ? 0x7BEF : 0x3DEF;
                for (int c = 0; c < 3; ++c) {
                    op.fade[c] = fades(rng_);
                    op.factor[c] = factors[pick(rng_)];
                    op.weight[c] = static_cast<float>(1.0 - op.factor[c]);
                }
                // A quarter transparent, a quarter white, the rest anything, bit 15 included.
                Pixels src(l.SrcSize());
                for (auto& p : src) {
                    const int q = quarter(rng_);
                    p = q == 0 ? 0 : q == 1 ? 0xFFFF : static_cast<std::uint16_t>(any(rng_));
                }
                Pixels got = Picture(l.DstSize(), Content::kNoise, rng_);
                Pixels want = got;
                ASSERT_TRUE(kernels_->blend(got.data() + l.Origin(), l.DstPitch(), src.data(),
                                            l.SrcPitch(), l.width, l.height, op));
                RefBlend(want.data() + l.Origin(), l.DstPitch(), src.data(), l.SrcPitch(), l.width,
                         l.height, op);
                ASSERT_EQ(got, want) << l.Name() << " kind " << static_cast<int>(kind)
                                     << " red shift " << format.Shift(0);
            }
        }
    }
}

// Every pair of channel values, for every factor above: the integer forms of the scale and the
// mix must agree with double precision everywhere, not only on likely pixels.
TEST_P(BlitKernels, ScaleAndAlphaAreExactForEveryPairOfChannelValues) {
    for (const AddFormat& f : {AddFormat::Rgb565(), AddFormat::Rgb555()}) {
        Pixels src, dst;
        for (int a = 0; a < 64; ++a) {
            for (int b = 0; b < 64; ++b) {
                const auto pack = [&](int v, int blue) {
                    return static_cast<std::uint16_t>((v & 31) << f.Shift(0) |
                                                      (v & f.Max(1)) << f.Shift(1) | (blue & 31));
                };
                src.push_back(pack(a, a + 1));  // never 0: blue is 0 only where red is 31
                dst.push_back(pack(b, b + 1));
            }
        }
        for (float v : Factors()) {
            for (BlendKind kind : {BlendKind::kScale, BlendKind::kAlpha}) {
                const float w = static_cast<float>(1.0 - v);
                const BlendOp op{kind, f, 0, {}, {v, v, v}, {w, w, w}};
                Pixels got = dst;
                Pixels want = dst;
                ASSERT_TRUE(kernels_->blend(got.data(), 64, src.data(), 64, 64, 64, op)) << v;
                RefBlend(want.data(), 64, src.data(), 64, 64, 64, op);
                ASSERT_EQ(got, want) << "factor " << v << " kind " << static_cast<int>(kind);
            }
        }
    }
}

TEST_P(BlitKernels, BlendLeavesToTheCallerWhatItCannotDoExactly) {
    AddFormat bgr = AddFormat::Rgb565();
    std::swap(bgr.shift[0], bgr.shift[2]);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const BlendOp refused[] = {
        {BlendKind::kCrossFade, bgr, 0, {}, {}, {}},
        {BlendKind::kGrey, bgr, 0, {}, {}, {}},
        {BlendKind::kScale, AddFormat::Rgb565(), 0, {}, {1.5f, 1, 1}, {}},
        {BlendKind::kScale, AddFormat::Rgb565(), 0, {}, {1, nan, 1}, {}},
        {BlendKind::kAlpha, AddFormat::Rgb555(), 0, {}, {0.5f, 0.5f, -0.1f}, {0.5f, 0.5f, 1}},
        {BlendKind::kAlpha, AddFormat::Rgb555(), 0, {}, {1, 1, 1}, {1, 1, 1}},
        // Too small to write over 2^40 with its weight: 1e-30 and 1 - 1e-30 = 1.
        {BlendKind::kAlpha, AddFormat::Rgb565(), 0, {}, {1e-30f, 0, 0}, {1, 1, 1}},
    };
    for (const BlendOp& op : refused) {
        Pixels dst(40, 0x1234);
        const Pixels src(40, 0xFFFF);
        EXPECT_FALSE(kernels_->blend(dst.data(), 40, src.data(), 40, 40, 1, op));
        EXPECT_EQ(dst, Pixels(40, 0x1234));
    }
    // Halving and masking work on the bits they are given, in any layout.
    Pixels dst(3, 0x0000);
    const Pixels src = {0xFFFF, 0x0000, 0x8421};
    EXPECT_TRUE(kernels_->blend(dst.data(), 3, src.data(), 3, 3, 1,
                                {BlendKind::kHalf, bgr, 0x7BEF, {}, {}, {}}));
    EXPECT_EQ(dst, (Pixels{0x7BEF, 0x0000, 0x4200}));
}

std::string IsaName(Isa isa) {
    switch (isa) {
        case Isa::kScalar:
            return "Scalar";
        case Isa::kSse2:
            return "Sse2";
        case Isa::kAvx2:
            return "Avx2";
    }
    return "Unknown";
}

// Pixels that end where a page without access begins: a read past the last one faults.
class BeforeGuardPage {
  public:
    explicit BeforeGuardPage(const Pixels& pixels) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t bytes = pixels.size() * sizeof(std::uint16_t);
        size_ = (bytes + page - 1) / page * page + page;
        base_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base_ == MAP_FAILED) return;
        char* guard = static_cast<char*>(base_) + size_ - page;
        if (mprotect(guard, page, PROT_NONE) != 0) return;
        pixels_ = reinterpret_cast<std::uint16_t*>(guard - bytes);
        std::copy(pixels.begin(), pixels.end(), pixels_);
    }
    ~BeforeGuardPage() {
        if (base_ != MAP_FAILED) munmap(base_, size_);
    }
    BeforeGuardPage(const BeforeGuardPage&) = delete;
    BeforeGuardPage& operator=(const BeforeGuardPage&) = delete;
    const std::uint16_t* data() const { return pixels_; }

  private:
    void* base_ = MAP_FAILED;
    std::size_t size_ = 0;
    std::uint16_t* pixels_ = nullptr;
};

// The texture's last pixel is the last readable byte pair, so a read past it faults; the maps
// address that pixel often, wrap every way, and hold pairs outside the texture, which must
// leave the destination alone.
TEST_P(BlitKernels, GatherWrappedMatchesAPlainLookup) {
    for (const auto& [texW, texH, pitch] : {std::tuple{16, 8, 16}, std::tuple{37, 23, 41},
                                            std::tuple{1, 1, 1}, std::tuple{256, 256, 256}}) {
        const Pixels texture =
            Picture(static_cast<std::size_t>((texH - 1) * pitch + texW), Content::kNoise, rng_);
        const BeforeGuardPage guarded(texture);
        ASSERT_NE(guarded.data(), nullptr);
        const int count = 301;
        std::vector<std::int16_t> map(2 * count);
        std::uniform_int_distribution<int> any(-3, 3);
        for (int k = 0; k < count; ++k) {
            switch (k % 4) {
                case 0:  // the last pixel, through the wrap
                    map[2 * k] = static_cast<std::int16_t>(texW - 1);
                    map[2 * k + 1] = static_cast<std::int16_t>(texH - 1);
                    break;
                case 1:  // outside, before and after
                    map[2 * k] = static_cast<std::int16_t>(any(rng_) * texW);
                    map[2 * k + 1] = static_cast<std::int16_t>(any(rng_) * texH - 1);
                    break;
                default:
                    map[2 * k] = static_cast<std::int16_t>(rng_() % texW);
                    map[2 * k + 1] = static_cast<std::int16_t>(rng_() % texH);
            }
        }
        for (int scroll : {0, 1, 7}) {
            const platform::blit::WrapGather g{
                guarded.data(), pitch, static_cast<std::ptrdiff_t>(texture.size()),
                texW,           texH,  scroll % texW,
                scroll % texH};
            Pixels got = Picture(count, Content::kNoise, rng_);
            Pixels want = got;
            kernels_->gatherWrapped(got.data(), map.data(), count, g);
            for (int k = 0; k < count; ++k) {
                int u = g.scrollU + map[2 * k], v = g.scrollV + map[2 * k + 1];
                if (u >= texW) u -= texW;
                if (v >= texH) v -= texH;
                if (u >= 0 && u < texW && v >= 0 && v < texH) want[k] = texture[v * pitch + u];
            }
            ASSERT_EQ(got, want) << texW << " x " << texH << " scroll " << scroll;
        }
    }
}

// Rows of the rotations' lookup against the plain loop: u and v crossing zero and landing on
// multiples of 360 (where a rounded quotient would go one off), steps of every size, tables
// with holes, and the source's last pixel, which a read past would fault on.
TEST_P(BlitKernels, GatherTabledMatchesAPlainLookup) {
    const int sw = 29, sh = 17, pitch = 31;
    const Pixels source =
        Picture(static_cast<std::size_t>((sh - 1) * pitch + sw), Content::kThirdKeyed, rng_);
    const BeforeGuardPage guarded(source);
    ASSERT_NE(guarded.data(), nullptr);
    const int span = 2 * 2048 + 8;  // offsets -2052 .. 2051, beyond the fast range as well
    std::vector<std::int32_t> xs(span), ys(span);
    for (int o = 0; o < span; ++o) {
        xs[o] = o % 7 == 0 ? -1 : (o == 100 ? sw - 1 : static_cast<std::int32_t>(rng_() % sw));
        ys[o] =
            o % 5 == 0 ? -1 : (o == 100 ? sh - 1 : static_cast<std::int32_t>(rng_() % sh)) * pitch;
    }
    const platform::blit::TableGather g{guarded.data(), static_cast<std::ptrdiff_t>(source.size()),
                                        xs.data(),      ys.data(),
                                        -2052,          -2052};
    const int count = 97;
    for (const auto& [u0, v0, du, dv] :
         {std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>{-7200, 7200, 360,
                                                                             -360},
          {-36000, -36001, 180, 311},
          {0, 0, 0, 0},
          {359, -359, -1, 1},
          {100 * 360, 100 * 360, 0, 0},
          {-737000, 737000, 360, -360},
          {738000, -738000, -360, 360},
          {17, 4000, 312, -180}}) {
        Pixels got = Picture(count, Content::kNoise, rng_);
        Pixels want = got;
        kernels_->gatherTabled(got.data(), count, u0, v0, du, dv, g);
        for (int k = 0; k < count; ++k) {
            const std::int64_t u = u0 + k * du, v = v0 + k * dv;
            const std::int32_t x = xs[u / 360 + 2052], y = ys[v / 360 + 2052];
            if (x < 0 || y < 0 || source[x + y] == 0) continue;
            want[k] = source[x + y];
        }
        ASSERT_EQ(got, want) << "from " << u0 << ", " << v0 << " by " << du << ", " << dv;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, BlitKernels,
                         ::testing::Values(Isa::kScalar, Isa::kSse2, Isa::kAvx2),
                         [](const ::testing::TestParamInfo<Isa>& param) {
                             return IsaName(param.param);
                         });

TEST(BlitDispatch, PicksTheWidestVariantAndRoutesEveryKernel) {
    const KernelTable* want = KernelsFor(Isa::kAvx2);
    if (want == nullptr) want = KernelsFor(Isa::kSse2);
    if (want == nullptr) want = KernelsFor(Isa::kScalar);
#if defined(__x86_64__) && !defined(GREETING_BLIT_PORTABLE_ONLY)
    EXPECT_NE(KernelsFor(Isa::kSse2), nullptr) << "every x86-64 processor has SSE2";
#endif
    EXPECT_EQ(&ActiveKernels(), want);

    std::mt19937 rng(99);
    const Pixels src = Picture(33 * 4, Content::kThirdKeyed, rng);
    const Pixels start = Picture(33 * 4, Content::kNoise, rng);
    Pixels got = start;
    Pixels want2 = start;
    CopyKeyed(got.data(), 33, src.data(), 33, 33, 4, kKey);
    RefCopyKeyed(want2.data(), 33, src.data(), 33, 33, 4, kKey);
    EXPECT_EQ(got, want2);
    AddLight(got.data(), 33, src.data(), 33, 33, 4, AddFormat::Rgb555(), 3);
    RefAddLight(want2.data(), 33, src.data(), 33, 33, 4, AddFormat::Rgb555(), 3);
    EXPECT_EQ(got, want2);
    CopyOpaque(got.data(), 33, src.data(), 33, 30, 4);
    RefCopyOpaque(want2.data(), 33, src.data(), 33, 30, 4);
    EXPECT_EQ(got, want2);
    Fill(got.data() + 1, 33, 31, 3, 0x0F0F);
    RefFill(want2.data() + 1, 33, 31, 3, 0x0F0F);
    EXPECT_EQ(got, want2);
}

}  // namespace

// Names the variant in failure messages.
void PrintTo(Isa isa, std::ostream* os) {
    *os << IsaName(isa);
}

}  // namespace platform::blit
