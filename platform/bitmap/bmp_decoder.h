// Windows device-independent bitmaps (.bmp files and BITMAP resources) decoded to plain RGB, as
// the Windows bitmap loader would have read them: 1, 2, 4 and 8 bits with a palette, RLE4 and
// RLE8, 16 and 32 bits with any colour masks, 24 bits; OS/2 core, INFO, V2-V5 headers; top-down
// or bottom-up rows. Alpha is dropped: the library draws opaque RGB.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct DecodedBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

// Pictures beyond these are refused before anything is allocated: a run-length stream of a few
// bytes may declare any size, so the file's own size is no bound for them.
inline constexpr int kMaxBmpSide = 16384;
inline constexpr std::int64_t kMaxBmpPixels = std::int64_t{1} << 24;

// Decodes a Windows BMP held in memory; nullopt when the data is not a picture that can be read
// safely (reason in *error when given). Pixels that a palette index points past the palette are
// black; pixels an RLE stream skips take palette colour 0.
std::optional<DecodedBitmap> DecodeBmp(std::span<const std::uint8_t> data,
                                       std::string* error = nullptr);

}  // namespace platform
