// A rectangle of an object copied onto the back surface with its colours changed: scaled,
// darkened, cut to some channels or turned grey; or the destination darkened by the source.
// Source pixels of raw 0 are transparent. Each returns 1 when done (also when clipped away) and
// 0 when refused (no such object, or a source rectangle not inside it) or when a surface could
// not be locked.
#pragma once

#include <cstdint>

namespace elDraw {

// Each 5-bit component of the destination lowered by the source's red component (a grey source
// darkens by its grey level), down to 0.
int SubBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
            std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);

// The source with the channels whose flag is 0 cleared.
int ChannelMaskBlit(std::int32_t x, std::int32_t y, std::int32_t keepR, std::int32_t keepG,
                    std::int32_t keepB, std::int32_t object, std::int32_t srcLeft,
                    std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);

// The source with each channel multiplied by a factor from 0.0 to 1.0 (rounded down); outside
// the range it is held to it, and NaN counts as 0.0.
int BrightBlit(std::int32_t x, std::int32_t y, float factor, std::int32_t object,
               std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
               std::int32_t srcBottom);
// The same with a factor for each channel.
int BrightBlitRGB(std::int32_t x, std::int32_t y, float factorR, float factorG, float factorB,
                  std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                  std::int32_t srcRight, std::int32_t srcBottom);

// The source's 5-bit components lowered by 31 - level: 31 keeps them, 0 makes black; outside
// 0..31 the level is held to the range.
int DarkBlit(std::int32_t x, std::int32_t y, std::int32_t level, std::int32_t object,
             std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
             std::int32_t srcBottom);
// The same with a level for each channel.
int DarkBlitRGB(std::int32_t x, std::int32_t y, std::int32_t levelR, std::int32_t levelG,
                std::int32_t levelB, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                std::int32_t srcRight, std::int32_t srcBottom);

// The grey of the source's three 5-bit components averaged (rounded down).
int GreyBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
             std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);

}  // namespace elDraw
