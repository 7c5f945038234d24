// 8-bit RGB images made from 16-bit frames: what PNG files, the video and the contact sheet
// take. Each 5- or 6-bit component is widened by bit replication, so white stays white and the
// 16-bit value can be read back from the top bits.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/host.h"

namespace render {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // rows of width * 3 bytes, top row first

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}
    std::uint8_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
    const std::uint8_t* Row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * width * 3;
    }
};

// Converts the whole frame into `out` (resized to the frame).
void FrameToRgb(const platform::FrameView& frame, RgbImage& out);

}  // namespace render
