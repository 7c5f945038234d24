// Where the 640 x 480 picture goes in a window or on a desktop of any size: letterboxed in
// black with its 4:3 aspect kept, and how it is scaled there.
#pragma once

#include <cstdint>

namespace platform::sdl {

enum class ScaleFilter {
    kSharp,    // whole factors exactly; otherwise nearest to the next whole factor, then smooth
    kNearest,  // nearest neighbour straight to the fitted size (uneven pixels)
    kLinear,   // smooth straight to the fitted size (blurred)
};

struct Viewport {
    int x = 0, y = 0, width = 0, height = 0;  // the picture's rectangle in the output
    int wholeFactor = 1;  // the sharp filter's intermediate size is the picture times this
    bool exact = false;   // the fitted size is a whole multiple: no smoothing at all
};

// The largest rectangle of the picture's aspect that fits the output, centred.
Viewport FitViewport(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);

// Where a point of the window falls on the picture. Window points and output pixels differ
// on HiDPI screens; points over the bars clamp to the picture's nearest edge.
struct PointMapping {
    int windowWidth = 0, windowHeight = 0;  // the window's size in points (mouse coordinates)
    int outputWidth = 0, outputHeight = 0;  // its drawable size in pixels
    int pictureWidth = 640, pictureHeight = 480;
};
void WindowToPicture(const PointMapping& mapping, int x, int y, int& pictureX, int& pictureY);
// The window point at the centre of a picture pixel: where to warp the pointer to.
void PictureToWindow(const PointMapping& mapping, int pictureX, int pictureY, int& x, int& y);
// The window's rectangle (left, top, right, bottom; right and bottom exclusive) covering the
// picture rectangle, clipped to the picture. False when nothing of it is on the picture.
bool PictureRectToWindow(const PointMapping& mapping, const int* rect, int* windowRect);

// The largest whole multiple of the picture that fits a desktop (at least 1).
int LargestWholeFactor(int desktopWidth, int desktopHeight, int pictureWidth, int pictureHeight);

bool ParseScaleFilter(const char* text, ScaleFilter& filter);

}  // namespace platform::sdl
