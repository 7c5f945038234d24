// The cheap remainder and quotient against the plain operators, on values chosen to sit on the
// edges where a multiplication by a reciprocal goes wrong: whole quotients (n / 49 is one: n x (1 /
// 49) falls just short of it), quotients a hair below a whole number, divisors whose reciprocal is
// inexact, and zooms that are not finite.
#include "el/effects/exact_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

using elDraw::Remainder;
using elDraw::TruncatedQuotient;

TEST(Remainder, EqualsTheRemainderOperator) {
    std::mt19937 rng(3);
    const std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    for (std::uint32_t d : {1u, 2u, 3u, 7u, 37u, 320u, 640u, 641u, 65535u, 1u << 31, kMax}) {
        const Remainder r(d);
        for (std::uint32_t n : {0u, 1u, d - 1, d, d + 1, 2 * d - 1, kMax, kMax - 1}) {
            ASSERT_EQ(r.of(n), n % d) << n << " % " << d;
        }
        for (int k = 0; k < 20000; ++k) {
            const std::uint32_t n = rng();
            ASSERT_EQ(r.of(n), n % d) << n << " % " << d;
        }
    }
}

// trunc(n / z) done the slow way.
bool Plain(std::int64_t n, double z, double& out) {
    const double q = static_cast<double>(n) / z;
    if (!std::isfinite(q)) return false;
    out = std::trunc(q);
    return true;
}

TEST(TruncatedQuotient, EqualsTheTruncatedDivision) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> zooms(-4.0f, 4.0f);
    std::vector<double> zs = {1.0,  2.0,   0.5,  0.1f, 0.3f, 1.0 / 3, 1.7f, 0.75f, 3.0,  -0.2,
                              1e-7, 1e-30, 1e30, 0.0,  -0.0, inf,     -inf, nan,   49.0, -49.0};
    for (int k = 0; k < 200; ++k) zs.push_back(zooms(rng));
    for (double z : zs) {
        const TruncatedQuotient q(z);
        for (std::int64_t n = -5000; n <= 5000; ++n) {
            double plain = 0;
            const bool finite = Plain(n, z, plain);
            std::int64_t whole = 0;
            double large = 0;
            const auto kind = q.of(n, whole, large);
            ASSERT_EQ(kind != TruncatedQuotient::Kind::kNone, finite) << n << " / " << z;
            if (!finite) continue;
            const double got =
                kind == TruncatedQuotient::Kind::kWhole ? static_cast<double>(whole) : large;
            ASSERT_EQ(got, plain) << n << " / " << z;
        }
    }
}

}  // namespace
