// Free-form distortions of an object onto the back surface: a rippling warp, a smear that
// stretches one column or row out to a side, and a tunnel drawn through a precomputed map of
// texture coordinates.
#pragma once

#include <array>
#include <cstdint>

namespace elDraw {

inline constexpr int kTunnelMapSize = 640 * 480;

// Per map pixel the texture column u and row v; and the sizes of the last BuildTunnelMap.
extern std::array<std::array<std::int16_t, 2>, kTunnelMapSize>& TunnelMap;
extern std::int32_t& TunnelTexW;
extern std::int32_t& TunnelTexH;
extern std::int32_t& TunnelMapW;
extern std::int32_t& TunnelMapH;

// Samples every step-th pixel (a step below 1 counts as 1) pushed down by a radial cosine
// ripple of the given amplitude and frequency, sheared sideways by shear per row and scaled;
// pixels are written whatever their value. 1 when done, 0 when refused or a lock failed.
int WarpBlit(std::int32_t x, std::int32_t y, std::int32_t amplitude, std::int32_t frequency,
             std::int32_t step, float scale, float shear, std::int32_t object, std::int32_t srcLeft,
             std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);

// Column (modes 0 right, 1 left) or row (2 down, 3 up) pos of the drawn rectangle repeated out
// to one side; modes 1 and 3 also fill the back surface from its edge to the rectangle. Only
// the pixels read must lie in the object (modes 0 and 2 widen the rectangle on purpose); a pos
// beyond the rectangle counts as its last column or row. Other modes draw nothing.
int SmearBlit(std::int32_t x, std::int32_t y, std::int32_t mode, std::int32_t pos,
              std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom);

// Fills TunnelMap for a texture of texW x texH and a map of mapW x mapH around a centre (-1:
// the map's middle). Sizes of 0 or less, textures beyond 32767 or maps beyond 640 x 480 pixels
// leave the map as it was.
void BuildTunnelMap(std::int32_t texW, std::int32_t texH, std::int32_t mapW, std::int32_t mapH,
                    std::int32_t centreX, std::int32_t centreY, std::int32_t fov,
                    std::int32_t motion, std::int32_t metric, std::int32_t depthMode);

// The map drawn at x, y with the texture (object's top-left texW x texH) scrolled; the part on
// the back surface only. 0 when the object is missing, smaller than the texture, or a lock
// failed.
int TunnelBlit(std::int32_t x, std::int32_t y, std::int32_t scrollU, std::int32_t scrollV,
               std::int32_t object);

}  // namespace elDraw
