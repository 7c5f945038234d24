// 8-bit RGB PNG files from 16-bit frames (each 5- or 6-bit component widened by bit
// replication, so white stays white and the 16-bit value can be read back from the top bits)
// or from RGB rows. Both write under a temporary name and then rename, so no half file is left.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/host.h"

namespace platform {

// Converts one row of `width` 16-bit pixels into width * 3 bytes.
void PixelsToRgb(const std::uint16_t* pixels, int width, PixelLayout layout, std::uint8_t* rgb);

// False with a reason in *error; no file (nor temporary) is left behind then.
bool WriteFramePng(const std::string& path, const FrameView& frame, std::string* error);
// rgb: `height` rows of width * 3 bytes, top row first.
bool WriteRgbPng(const std::string& path, int width, int height, const std::uint8_t* rgb,
                 std::string* error);

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // rows of width * 4 bytes, R G B A, top row first
};

// Decodes a PNG held in memory (the window icon); nullopt when it is not one.
std::optional<RgbaImage> ReadPngRgba(std::span<const std::uint8_t> data);

}  // namespace platform
