// Turns the floating-point blends into integer arithmetic that gives exactly the same results,
// so that the vector kernels need neither doubles nor tables.
#include "platform/blit/blend_plan.h"

#include <algorithm>
#include <bit>
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

// A K with (c * K) >> 15 == trunc(c * factor) for every c in 0..max. The truncated products hold
// the factor between two neighbouring fractions of denominators up to max, at least 1/max^2
// apart (wider than 8 steps of 1/32768) and the lower one included: of the two steps around the
// factor, the one above lies between them unless the factor is within a step of the upper
// fraction, and then the one below does.
bool MakeScale(float factor, int max, std::uint16_t* scale) {
    const double scaled = static_cast<double>(factor) * 32768.0;
    for (const double k : {std::ceil(scaled), std::floor(scaled)}) {
        bool fits = k <= 32768.0;
        for (int c = 1; c <= max && fits; ++c) {
            const auto exact = static_cast<std::int64_t>(c * static_cast<double>(factor));
            fits = ((c * static_cast<std::int64_t>(k)) >> 15) == exact;
        }
        if (fits) {
            *scale = static_cast<std::uint16_t>(k);
            return true;
        }
    }
    return false;
}

// A K with (t * K) >> 14 == floor(t * factor) for every t in -max..max, found as the scale's K
// is: the floors hold the factor strictly between two neighbouring fractions of denominators up
// to max (at least 4 steps of 1/16384 apart), or at one of them, which a float can only be when
// it is a multiple of 1/32 and so K exact.
bool MakeNear(float factor, int max, std::int16_t* near) {
    const double scaled = static_cast<double>(factor) * 16384.0;
    for (const double k : {std::ceil(scaled), std::floor(scaled)}) {
        bool fits = true;
        for (int t = -max; t <= max && fits; ++t) {
            const double product = t * static_cast<double>(factor);  // exact
            auto exact = static_cast<std::int64_t>(product);
            if (product < static_cast<double>(exact)) --exact;  // truncated up, toward zero
            fits = ((t * static_cast<std::int64_t>(k)) >> 14) == exact;
        }
        if (fits) {
            *near = static_cast<std::int16_t>(k);
            return true;
        }
    }
    return false;
}

// The least q that makes v * 2^q whole: the position of the lowest bit of its significand.
int WholeFrom(float v) {
    const auto bits = std::bit_cast<std::uint32_t>(v);
    if ((bits & 0x7FFFFFFFu) == 0) return 0;
    int exponent = static_cast<int>((bits >> 23) & 0xFF);
    std::uint32_t significand = bits & 0x7FFFFFu;
    if (exponent != 0) {
        significand |= 0x800000u;
    } else {
        exponent = 1;  // subnormal
    }
    return 150 - exponent - std::countr_zero(significand);
}

// With factor = A / 2^q and weight = B / 2^q, both whole for the least q from 24 to 40, the
// double-precision sum s * factor + d * weight is exact (under 2^47 units of 2^-q), so its
// truncation is floor((s * A + d * B) / 2^q) = d + floor((t * A + d * D) / 2^q) with t = s - d
// and D = A + B - 2^q. D is what the weight, rounded to a float, differs from 1 - factor; it is
// small, and A stays below 2^24 + 1, so the products fit the kernels' 16-bit lanes once A is
// split at bit 15.
bool MakeAlpha(float factor, float weight, int max, BlendPlan* plan, int c) {
    if (!InUnitRange(factor) || !InUnitRange(weight)) return false;
    const int q = std::max({24, WholeFrom(factor), WholeFrom(weight)});
    if (q > 40) return false;
    const double unit = static_cast<double>(std::int64_t{1} << q);
    const auto a = static_cast<std::int64_t>(static_cast<double>(factor) * unit);
    const auto b = static_cast<std::int64_t>(static_cast<double>(weight) * unit);
    const std::int64_t slack = a + b - (std::int64_t{1} << q);
    if (a > (std::int64_t{1} << 24) || slack < -32767 || slack > 32767) return false;
    plan->alphaHigh[c] = static_cast<std::int16_t>(a >> 15);
    plan->alphaLow[c] = static_cast<std::int16_t>(a & 0x7FFF);
    plan->alphaSlack[c] = static_cast<std::int16_t>(slack);
    plan->alphaShift[c] = q - 15;
    // With no slack the sum is d + floor(t * factor), which needs no more than 14 bits of it.
    if (slack != 0 || !MakeNear(factor, max, &plan->alphaNear[c])) plan->alphaExact = false;
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
    if (op.kind == BlendKind::kAlpha) plan->alphaExact = true;
    // Green first: its range covers the others', so a channel with the same values takes its
    // numbers instead of searching again.
    for (const int c : {1, 0, 2}) {
        plan->fade[c] = std::clamp(op.fade[c], 0, 31);
        const bool asGreen = c != 1 && op.factor[c] == op.factor[1] &&
                             op.weight[c] == op.weight[1] && op.format.Max(c) <= op.format.Max(1);
        if (asGreen) {
            plan->scale[c] = plan->scale[1];
            plan->alphaHigh[c] = plan->alphaHigh[1];
            plan->alphaLow[c] = plan->alphaLow[1];
            plan->alphaSlack[c] = plan->alphaSlack[1];
            plan->alphaShift[c] = plan->alphaShift[1];
            plan->alphaNear[c] = plan->alphaNear[1];
        } else if (op.kind == BlendKind::kScale) {
            if (!InUnitRange(op.factor[c]) ||
                !MakeScale(op.factor[c], op.format.Max(c), &plan->scale[c])) {
                return false;
            }
        } else if (op.kind == BlendKind::kAlpha) {
            if (!MakeAlpha(op.factor[c], op.weight[c], op.format.Max(c), plan, c)) return false;
        }
    }
    return true;
}

}  // namespace platform::blit::detail
