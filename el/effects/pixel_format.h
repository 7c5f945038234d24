// The 16-bit pixel layout read from the back surface, and the lookup tables that turn the
// pixel effects' colour arithmetic into table reads.
#pragma once

#include <array>
#include <cstdint>

namespace elDraw {

struct PixelFormatValues {
    std::uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0;
    std::uint32_t RedShift = 0, GreenShift = 0, BlueShift = 0;
    std::uint32_t RedMax = 0, GreenMax = 0, BlueMax = 0;
    std::uint32_t RedShift5 = 0, GreenShift5 = 0, BlueShift5 = 0;
    std::uint32_t HalfMask = 0;
    std::uint32_t WhiteColor = 0;

    std::uint32_t Shift(int channel) const;
    std::uint32_t Max(int channel) const;
    std::uint32_t Shift5(int channel) const;
};

extern PixelFormatValues& PixelFormat;

extern std::array<std::int32_t, 450>& SineTable;
extern std::array<std::array<std::uint8_t, 3>, 65536>& PixelToRgb;
extern std::array<std::uint16_t, 3 * 32 * 32 * 32>& CrossFadeTable;  // [channel][P][a][b]
extern std::array<std::uint16_t, 3 * 32 * 32 * 32>& FadeAddTable;    // [channel][P][a][b]
extern std::array<std::uint16_t, 3 * 32 * 32>& SubtractTable;        // [channel][a][b]
extern std::array<std::uint16_t, 94>& AverageTable;
extern std::array<std::uint8_t, 10000>& RandomTable;

// The layout's values from the three channel masks; a zero mask gives zero values.
PixelFormatValues ComputePixelFormat(std::uint32_t redMask, std::uint32_t greenMask,
                                     std::uint32_t blueMask);
void FillSineTable();
// PixelToRgb, CrossFadeTable, FadeAddTable, SubtractTable, AverageTable and RandomTable, in
// that order, for the layout in PixelFormat. RandomTable draws 10000 numbers from rand().
void FillEffectTables();

inline std::size_t FadeIndex(int channel, int p, int a, int b) {
    return static_cast<std::size_t>(channel * 32768 + p * 1024 + a * 32 + b);
}

}  // namespace elDraw
