#include "el/effects/pixel_format.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/crt.h"

namespace elDraw {

namespace {

void ChannelFromMask(std::uint32_t mask, std::uint32_t& shift, std::uint32_t& maximum) {
    shift = 0;
    maximum = 0;
    if (mask == 0) return;  // no channel: nothing to find, and the search would never end
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    maximum = mask;
}

}  // namespace

std::uint32_t PixelFormatValues::Shift(int channel) const {
    return channel == 0 ? RedShift : channel == 1 ? GreenShift : BlueShift;
}
std::uint32_t PixelFormatValues::Max(int channel) const {
    return channel == 0 ? RedMax : channel == 1 ? GreenMax : BlueMax;
}
std::uint32_t PixelFormatValues::Shift5(int channel) const {
    return channel == 0 ? RedShift5 : channel == 1 ? GreenShift5 : BlueShift5;
}

PixelFormatValues ComputePixelFormat(std::uint32_t redMask, std::uint32_t greenMask,
                                     std::uint32_t blueMask) {
    PixelFormatValues f;
    f.RedMask = redMask;
    f.GreenMask = greenMask;
    f.BlueMask = blueMask;
    ChannelFromMask(redMask, f.RedShift, f.RedMax);
    ChannelFromMask(greenMask, f.GreenShift, f.GreenMax);
    ChannelFromMask(blueMask, f.BlueShift, f.BlueMax);
    f.RedShift5 = f.RedShift + (f.RedMax == 63 ? 1 : 0);
    f.GreenShift5 = f.GreenShift + (f.GreenMax == 63 ? 1 : 0);
    f.BlueShift5 = f.BlueShift + (f.BlueMax == 63 ? 1 : 0);
    f.HalfMask = ((f.RedMax >> 1) << f.RedShift) | ((f.GreenMax >> 1) << f.GreenShift) |
                 ((f.BlueMax >> 1) << f.BlueShift);
    f.WhiteColor =
        (f.RedMax << f.RedShift) | (f.GreenMax << f.GreenShift) | (f.BlueMax << f.BlueShift);
    return f;
}

void FillSineTable() {
    for (int d = 0; d < static_cast<int>(SineTable.size()); ++d) {
        const long double angle = 2.0L * static_cast<long double>(std::numbers::pi) * d / 360.0L;
        SineTable[static_cast<std::size_t>(d)] =
            static_cast<std::int32_t>(std::sin(static_cast<double>(angle)) * 360.0);
    }
}

void FillEffectTables() {
    const PixelFormatValues& f = PixelFormat;
    for (auto& entry : PixelToRgb) entry = {0, 0, 0};
    const std::uint32_t reds = f.RedMax == 63 ? 64 : 32;
    const std::uint32_t greens = f.GreenMax == 63 ? 64 : 32;
    const std::uint32_t blues = f.BlueMax == 63 ? 64 : 32;
    for (std::uint32_t r = 0; r < std::min(reds, f.RedMax + 1); ++r) {
        for (std::uint32_t g = 0; g < std::min(greens, f.GreenMax + 1); ++g) {
            for (std::uint32_t b = 0; b < std::min(blues, f.BlueMax + 1); ++b) {
                const std::uint32_t index = (r << f.RedShift) + (g << f.GreenShift) + b;
                if (index >= PixelToRgb.size()) continue;
                PixelToRgb[index] = {static_cast<std::uint8_t>(f.RedMax == 63 ? r >> 1 : r),
                                     static_cast<std::uint8_t>(f.GreenMax == 63 ? g >> 1 : g),
                                     static_cast<std::uint8_t>(f.BlueMax == 63 ? b >> 1 : b)};
            }
        }
    }
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t shift5 = f.Shift5(c);
        for (int p = 0; p < 32; ++p) {
            for (int a = 0; a < 32; ++a) {
                for (int b = 0; b < 32; ++b) {
                    const int cross = std::max(a - p, 0) + std::max(b - (31 - p), 0);
                    const int add = std::min(std::max(a - p, 0) + b, 31);
                    CrossFadeTable[FadeIndex(c, p, a, b)] =
                        static_cast<std::uint16_t>(cross << shift5);
                    FadeAddTable[FadeIndex(c, p, a, b)] = static_cast<std::uint16_t>(add << shift5);
                }
            }
        }
        for (int a = 0; a < 32; ++a) {
            for (int b = 0; b < 32; ++b) {
                SubtractTable[static_cast<std::size_t>(c * 1024 + a * 32 + b)] =
                    static_cast<std::uint16_t>(std::max(a - b, 0) << shift5);
            }
        }
    }
    for (int s = 0; s < static_cast<int>(AverageTable.size()); ++s) {
        AverageTable[static_cast<std::size_t>(s)] = static_cast<std::uint16_t>(s / 3);
    }
    for (auto& entry : RandomTable) entry = static_cast<std::uint8_t>(crt::rand() % 3);
}

}  // namespace elDraw
