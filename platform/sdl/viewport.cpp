#include "platform/sdl/viewport.h"

#include <algorithm>
#include <cstring>

namespace platform::sdl {

Viewport FitViewport(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight) {
    Viewport view;
    if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return view;
    }
    // Compare the aspects in integers: output wider than the picture means bars at the sides.
    const std::int64_t wide = static_cast<std::int64_t>(outputWidth) * pictureHeight;
    const std::int64_t tall = static_cast<std::int64_t>(outputHeight) * pictureWidth;
    if (wide >= tall) {
        view.height = outputHeight;
        view.width = static_cast<int>(tall / pictureHeight);
    } else {
        view.width = outputWidth;
        view.height = static_cast<int>(wide / pictureWidth);
    }
    view.x = (outputWidth - view.width) / 2;
    view.y = (outputHeight - view.height) / 2;
    const int whole = std::min(view.width / pictureWidth, view.height / pictureHeight);
    view.exact =
        whole >= 1 && view.width == whole * pictureWidth && view.height == whole * pictureHeight;
    if (view.exact) {
        view.wholeFactor = whole;
    } else {
        // Up to the next whole factor with sharp pixels, then down to the fit with smoothing.
        view.wholeFactor = std::max(1, whole + 1);
    }
    return view;
}

int LargestWholeFactor(int desktopWidth, int desktopHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
    return std::max(1, std::min(desktopWidth / pictureWidth, desktopHeight / pictureHeight));
}

bool ParseScaleFilter(const char* text, ScaleFilter& filter) {
    if (std::strcmp(text, "sharp") == 0) {
        filter = ScaleFilter::kSharp;
    } else if (std::strcmp(text, "nearest") == 0) {
        filter = ScaleFilter::kNearest;
    } else if (std::strcmp(text, "linear") == 0) {
        filter = ScaleFilter::kLinear;
    } else {
        return false;
    }
    return true;
}

}  // namespace platform::sdl
