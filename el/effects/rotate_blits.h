// A rectangle of an object drawn onto the back surface turned over or turned round: mirrored,
// rotated by whole degrees about the destination's centre, zoomed, tiled, or as a receding
// coloured floor. Source pixels of raw 0 are transparent. Each returns 1 when done (also when
// nothing is visible) and 0 when refused (no such object, or a source rectangle not inside it)
// or when a surface could not be locked.
#pragma once

#include <cstdint>

namespace elDraw {

// mode 0 plain, 1 left to right, 2 upside down, 3 both; any other mode copies plainly.
int MirrorBlit(std::int32_t x, std::int32_t y, std::int32_t mode, std::int32_t object,
               std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
               std::int32_t srcBottom);

// The source turned by angle degrees (any whole number; taken modulo 360) about the centre of
// the destination rectangle left, top, right, bottom. The tiled forms fill the rectangle with
// the pattern mirrored at the source's left and top edges. A zoom of 0 or NaN draws nothing.
int RotateBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
               std::int32_t angle, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
               std::int32_t srcRight, std::int32_t srcBottom);
// The rotation with the rectangle tiled.
int RotateTileBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t angle, std::int32_t object, std::int32_t srcLeft,
                   std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// The rotation at a zoom (1.0 the source's own size).
int RotateZoomBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t angle, float zoom, std::int32_t object, std::int32_t srcLeft,
                   std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// The zoomed rotation with the rectangle tiled.
int RotateZoomTileBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                       std::int32_t angle, float zoom, std::int32_t object, std::int32_t srcLeft,
                       std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// A tiled rotation whose zooms grow by their steps from row to row, each channel scaled by its
// factor (0.0 to 1.0; held to that range, NaN as 0.0). Rows whose zoom is 0 draw nothing.
int FloorBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              std::int32_t angle, float zoomX, float zoomXStep, float zoomY, float zoomYStep,
              float factorR, float factorG, float factorB, std::int32_t object,
              std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom);

}  // namespace elDraw
