// Turns the floating-point blends into integer arithmetic that gives exactly the same results,
// so that the vector kernels need neither doubles nor tables.
#include "platform/blit/blend_plan.h"

#include <algorithm>
#include <cmath>

namespace platform::blit::detail {

namespace {

bool SameLayout(const AddFormat& a, const AddFormat& b) {
    for (int c = 0; c < 3; ++c) {
        if (a.Shift(c) != b.Shift(c) || a.Max(c) != b.Max(c)) return false;
    }
    return true;
}

bool InUnitRange(float v) {
    return v >= 0.0f && v <= 1.0f;  // false for NaN
}

// The least K with (c * K) >> 15 == trunc(c * factor) for every c in 0..max. One exists for every
// factor in 0..1: the truncated products hold the factor between two neighbouring fractions of
// denominators up to 63, which lie at least 1/3969 apart, wider than a step of 1/32768.
bool MakeScale(float factor, int max, std::uint16_t* scale) {
    const auto exact = [factor](int c) {
        return static_cast<std::int64_t>(static_cast<double>(c) * static_cast<double>(factor));
    };
    std::int64_t k = 0;
    for (int c = 1; c <= max; ++c) k = std::max(k, (exact(c) * 32768 + c - 1) / c);
    if (k > 32768) return false;
    for (int c = 0; c <= max; ++c) {
        if (((c * k) >> 15) != exact(c)) return false;
    }
    *scale = static_cast<std::uint16_t>(k);
    return true;
}

// With factor = A / 2^q and weight = B / 2^q, both whole for the least q from 24 to 40, the
// double-precision sum s * factor + d * weight is exact (under 2^47 units of 2^-q), so its
// truncation is floor((s * A + d * B) / 2^q) = d + floor((t * A + d * D) / 2^q) with t = s - d
// and D = A + B - 2^q. D is what the weight, rounded to a float, differs from 1 - factor; it is
// small, and A stays below 2^24 + 1, so the products fit the kernels' 16-bit lanes once A is
// split at bit 15.
bool MakeAlpha(float factor, float weight, BlendPlan* plan, int c) {
    if (!InUnitRange(factor) || !InUnitRange(weight)) return false;
    const auto whole = [](float v, int q) {
        const double scaled = std::ldexp(static_cast<double>(v), q);
        return scaled == std::floor(scaled);
    };
    int q = 24;
    while (q <= 40 && !(whole(factor, q) && whole(weight, q))) ++q;
    if (q > 40) return false;
    const auto a = static_cast<std::int64_t>(std::ldexp(static_cast<double>(factor), q));
    const auto b = static_cast<std::int64_t>(std::ldexp(static_cast<double>(weight), q));
    const std::int64_t slack = a + b - (std::int64_t{1} << q);
    if (a > (std::int64_t{1} << 24) || slack < -32767 || slack > 32767) return false;
    plan->alphaHigh[c] = static_cast<std::int16_t>(a >> 15);
    plan->alphaLow[c] = static_cast<std::int16_t>(a & 0x7FFF);
    plan->alphaSlack[c] = static_cast<std::int16_t>(slack);
    plan->alphaShift[c] = q - 15;
    return true;
}

}  // namespace

bool MakeBlendPlan(const BlendOp& op, BlendPlan* plan) {
    *plan = BlendPlan{};
    plan->kind = op.kind;
    plan->bits = op.bits;
    if (op.kind == BlendKind::kHalf || op.kind == BlendKind::kMask) return true;
    if (SameLayout(op.format, AddFormat::Rgb565())) {
        plan->wide = true;
    } else if (SameLayout(op.format, AddFormat::Rgb555())) {
        plan->wide = false;
    } else {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        plan->fade[c] = std::clamp(op.fade[c], 0, 31);
        if (op.kind == BlendKind::kScale) {
            if (!InUnitRange(op.factor[c]) ||
                !MakeScale(op.factor[c], op.format.Max(c), &plan->scale[c])) {
                return false;
            }
        } else if (op.kind == BlendKind::kAlpha) {
            if (!MakeAlpha(op.factor[c], op.weight[c], plan, c)) return false;
        }
    }
    return true;
}

}  // namespace platform::blit::detail
