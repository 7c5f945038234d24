// Arbitrary bytes as a BMP file: decoded or refused, never read past, never a huge allocation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/bitmap/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto bitmap = platform::DecodeBmp(std::span(data, size), &error);
    if (bitmap) {
        // A decoded picture has exactly the pixels its size says, within the limits.
        const std::int64_t pixels = std::int64_t{bitmap->width} * bitmap->height;
        if (bitmap->width <= 0 || bitmap->height <= 0 || bitmap->width > platform::kMaxBmpSide ||
            bitmap->height > platform::kMaxBmpSide || pixels > platform::kMaxBmpPixels ||
            bitmap->pixels.size() != static_cast<std::size_t>(pixels))
            std::abort();
        for (const std::uint32_t pixel : bitmap->pixels)
            if (pixel > 0xFFFFFFu) std::abort();
    } else if (error.empty()) {
        std::abort();  // a refusal always says why
    }
    return 0;
}
