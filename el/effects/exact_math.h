// Cheap forms of a remainder and a truncated quotient, each exactly equal to the division it
// replaces, for effects that take many of them per call.
#pragma once

#include <cmath>
#include <cstdint>

namespace elDraw {

// n % d for any 32-bit n by a divisor fixed for many calls: two multiplications instead of a
// division (the remainder from the fraction's high bits, exact for every n and d > 0).
class Remainder {
  public:
    explicit Remainder(std::uint32_t d) : d_(d), m_(~std::uint64_t{0} / d + 1) {}
    std::uint32_t of(std::uint32_t n) const {
        __extension__ using Wide = unsigned __int128;
        const std::uint64_t fraction = m_ * n;
        return static_cast<std::uint32_t>((static_cast<Wide>(fraction) * d_) >> 64);
    }

  private:
    std::uint64_t d_, m_;
};

// trunc(n / z) in double precision for whole n, through a multiplication by 1 / z. The product
// is within a few units in the last place of the quotient, so its integer part is the
// quotient's unless it lies that close to a whole number; there, and for a quotient that is
// not finite or beyond 2^31, the division itself is done. A conversion to an integer
// truncates as trunc does, without a call into the maths library.
class TruncatedQuotient {
  public:
    enum class Kind { kNone, kWhole, kLarge };  // not finite; in `whole`; only in `large`
    explicit TruncatedQuotient(double z) : z_(z), reciprocal_(1.0 / z) {}
    Kind of(std::int64_t n, std::int64_t& whole, double& large) const {
        const double approx = static_cast<double>(n) * reciprocal_;
        if (approx > -kSmall && approx < kSmall) {
            whole = static_cast<std::int64_t>(approx);
            const double fraction = std::fabs(approx - static_cast<double>(whole));
            if (fraction > kMargin && fraction < 1.0 - kMargin) return Kind::kWhole;
        }
        const double q = static_cast<double>(n) / z_;
        if (!std::isfinite(q)) return Kind::kNone;
        if (q > -kLarge && q < kLarge) {
            whole = static_cast<std::int64_t>(q);
            return Kind::kWhole;
        }
        large = std::trunc(q);
        return Kind::kLarge;
    }

  private:
    static constexpr double kSmall = 2147483648.0;           // 2^31
    static constexpr double kLarge = 4611686018427387904.0;  // 2^62
    // Far above the product's error for quotients below 2^31 (2^31 x 2^-51 is about 1e-6).
    static constexpr double kMargin = 1.0 / 65536;
    double z_, reciprocal_;
};

}  // namespace elDraw
