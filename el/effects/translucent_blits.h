// A rectangle of an object laid over the back surface see-through: the result mixes source and
// destination, half and half, by an opacity, or by one of 32 cross-fade levels, for all channels
// or each its own, evenly or growing across the rectangle. Source pixels of raw 0 are
// transparent. Each returns 1 when done (also when clipped away) and 0 when refused (no such
// object, or a source rectangle not inside it) or when a surface could not be locked.
#pragma once

#include <cstdint>

namespace elDraw {

// Half source, half destination: each channel's halves added, their lowest bits dropped.
int HalfBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
             std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);

// opacity 1.0 is the source, 0.0 the destination; outside 0.0..1.0 it is held to the range, and
// NaN counts as 0.0.
int AlphaBlit(std::int32_t x, std::int32_t y, float opacity, std::int32_t object,
              std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom);
// The same with an opacity for each channel.
int AlphaBlitRGB(std::int32_t x, std::int32_t y, float opacityR, float opacityG, float opacityB,
                 std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                 std::int32_t srcRight, std::int32_t srcBottom);

// level 31 is the source, 0 the destination, both darkened between (a mid level dims the dark
// parts of both); outside 0..31 it is held to the range.
int CrossFadeBlit(std::int32_t x, std::int32_t y, std::int32_t level, std::int32_t object,
                  std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                  std::int32_t srcBottom);
// The same with a level for each channel.
int CrossFadeBlitRGB(std::int32_t x, std::int32_t y, std::int32_t levelR, std::int32_t levelG,
                     std::int32_t levelB, std::int32_t object, std::int32_t srcLeft,
                     std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);

// As AlphaBlitRGB and CrossFadeBlitRGB, with the source's share growing past `start` pixels of
// each row (vertical 0) or rows (otherwise), counted from the first drawn one: every `interval`
// positions (every one when interval < 1) the destination's share drops by 1/32, down to none.
int AlphaGradientBlit(std::int32_t x, std::int32_t y, float opacityR, float opacityG,
                      float opacityB, std::int32_t vertical, std::uint32_t start,
                      std::int32_t interval, std::int32_t object, std::int32_t srcLeft,
                      std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// The gradient of CrossFadeBlitRGB.
int CrossFadeGradientBlit(std::int32_t x, std::int32_t y, std::int32_t levelR, std::int32_t levelG,
                          std::int32_t levelB, std::int32_t vertical, std::uint32_t start,
                          std::int32_t interval, std::int32_t object, std::int32_t srcLeft,
                          std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);

}  // namespace elDraw
