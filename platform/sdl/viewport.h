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

// The largest whole multiple of the picture that fits a desktop (at least 1).
int LargestWholeFactor(int desktopWidth, int desktopHeight, int pictureWidth, int pictureHeight);

bool ParseScaleFilter(const char* text, ScaleFilter& filter);

}  // namespace platform::sdl
