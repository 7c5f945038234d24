#include "tools/render/rgb_image.h"

#include "platform/png_file.h"

namespace render {
void FrameToRgb(const platform::FrameView& frame, RgbImage& out) {
    const int width = frame.pixels != nullptr && frame.width > 0 ? frame.width : 0;
    const int height = width > 0 && frame.height > 0 ? frame.height : 0;
    if (out.width != width || out.height != height) out = RgbImage(width, height);
    for (int y = 0; y < height; ++y) {
        platform::PixelsToRgb(frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch, width,
                              frame.layout, out.Row(y));
    }
}

}  // namespace render
