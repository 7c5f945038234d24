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

namespace {

// floor(a * b / c) for c > 0, in 64 bits so large screens cannot overflow.
int Scale(std::int64_t a, std::int64_t b, std::int64_t c) {
    const std::int64_t product = a * b;
    std::int64_t quotient = product / c;
    if ((product % c != 0) && ((product < 0) != (c < 0))) --quotient;
    return static_cast<int>(quotient);
}

bool Usable(const PointMapping& m) {
    return m.windowWidth > 0 && m.windowHeight > 0 && m.outputWidth > 0 && m.outputHeight > 0 &&
           m.pictureWidth > 0 && m.pictureHeight > 0;
}

}  // namespace

void WindowToPicture(const PointMapping& m, int x, int y, int& pictureX, int& pictureY) {
    pictureX = 0;
    pictureY = 0;
    if (!Usable(m)) return;
    const Viewport view =
        FitViewport(m.outputWidth, m.outputHeight, m.pictureWidth, m.pictureHeight);
    if (view.width <= 0 || view.height <= 0) return;
    // The point's centre in output pixels, then in picture pixels; all in integers, with the
    // window point's centre at (2x + 1) / 2 so that every pixel's share is the same.
    const std::int64_t outX2 =
        Scale(2 * static_cast<std::int64_t>(x) + 1, m.outputWidth, m.windowWidth);
    const std::int64_t outY2 =
        Scale(2 * static_cast<std::int64_t>(y) + 1, m.outputHeight, m.windowHeight);
    pictureX = Scale(outX2 - 2 * view.x, m.pictureWidth, 2 * static_cast<std::int64_t>(view.width));
    pictureY =
        Scale(outY2 - 2 * view.y, m.pictureHeight, 2 * static_cast<std::int64_t>(view.height));
    pictureX = std::clamp(pictureX, 0, m.pictureWidth - 1);
    pictureY = std::clamp(pictureY, 0, m.pictureHeight - 1);
}

void PictureToWindow(const PointMapping& m, int pictureX, int pictureY, int& x, int& y) {
    x = 0;
    y = 0;
    if (!Usable(m)) return;
    const Viewport view =
        FitViewport(m.outputWidth, m.outputHeight, m.pictureWidth, m.pictureHeight);
    pictureX = std::clamp(pictureX, 0, m.pictureWidth - 1);
    pictureY = std::clamp(pictureY, 0, m.pictureHeight - 1);
    // The centre of the picture pixel in output pixels (doubled), then in window points.
    const std::int64_t outX2 =
        2 * static_cast<std::int64_t>(view.x) +
        Scale(2 * static_cast<std::int64_t>(pictureX) + 1, view.width, m.pictureWidth);
    const std::int64_t outY2 =
        2 * static_cast<std::int64_t>(view.y) +
        Scale(2 * static_cast<std::int64_t>(pictureY) + 1, view.height, m.pictureHeight);
    x = std::clamp(Scale(outX2, m.windowWidth, 2 * static_cast<std::int64_t>(m.outputWidth)), 0,
                   m.windowWidth - 1);
    y = std::clamp(Scale(outY2, m.windowHeight, 2 * static_cast<std::int64_t>(m.outputHeight)), 0,
                   m.windowHeight - 1);
}

bool PictureRectToWindow(const PointMapping& m, const int* rect, int* windowRect) {
    if (!Usable(m) || rect == nullptr) return false;
    const int left = std::max(rect[0], 0);
    const int top = std::max(rect[1], 0);
    const int right = std::min(rect[2], m.pictureWidth);
    const int bottom = std::min(rect[3], m.pictureHeight);
    if (left >= right || top >= bottom) return false;
    const Viewport view =
        FitViewport(m.outputWidth, m.outputHeight, m.pictureWidth, m.pictureHeight);
    // Every window point whose centre maps into the rectangle: the edges in output pixels,
    // then the points that lie within them.
    auto edge = [](int picture, int viewStart, int viewSize, int pictureSize, int windowSize,
                   int outputSize) {
        const std::int64_t out = viewStart + Scale(picture, viewSize, pictureSize);
        return Scale(out, windowSize, outputSize);
    };
    windowRect[0] = edge(left, view.x, view.width, m.pictureWidth, m.windowWidth, m.outputWidth);
    windowRect[1] = edge(top, view.y, view.height, m.pictureHeight, m.windowHeight, m.outputHeight);
    windowRect[2] = edge(right, view.x, view.width, m.pictureWidth, m.windowWidth, m.outputWidth);
    windowRect[3] =
        edge(bottom, view.y, view.height, m.pictureHeight, m.windowHeight, m.outputHeight);
    if (windowRect[2] <= windowRect[0]) windowRect[2] = windowRect[0] + 1;
    if (windowRect[3] <= windowRect[1]) windowRect[3] = windowRect[1] + 1;
    return true;
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
