// The blend kernels prepared once per call, shared by every variant; not part of the library's
// interface.
#pragma once

#include <cstdint>

#include "platform/blit/blit_kernels.h"

namespace platform::blit::detail {

struct BlendPlan {
    BlendKind kind = BlendKind::kHalf;
    bool wide = true;        // 5-6-5; otherwise 5-5-5
    std::uint16_t bits = 0;  // kHalf, kMask
    int fade[3] = {};        // kCrossFade, kDarken: 0..31
    // kScale: trunc(c * factor) == (c * scale) >> 15 for every value c of the channel.
    std::uint16_t scale[3] = {};
    // kAlpha: with t = s - d per channel, trunc(s * factor + d * weight) ==
    // d + ((t * alphaHigh + ((t * alphaLow + d * alphaSlack) >> 15)) >> alphaShift), each product
    // within 16 bits or, for the inner sum, 32.
    std::int16_t alphaHigh[3] = {};
    std::int16_t alphaLow[3] = {};
    std::int16_t alphaSlack[3] = {};
    int alphaShift[3] = {};
    // kAlpha when every weight is exactly 1 - factor (every slack 0): the result is
    // d + ((4t * alphaNear) >> 16) in 16-bit lanes.
    bool alphaExact = false;
    std::int16_t alphaNear[3] = {};
};

// False when the layout is neither 5-6-5 nor 5-5-5 (kHalf and kMask take any), or a value has
// no exact integer form here: a factor or weight outside 0..1, or an opacity too small to
// write over 2^40.
bool MakeBlendPlan(const BlendOp& op, BlendPlan* plan);

}  // namespace platform::blit::detail
