#include "tools/music/music_math.h"

#include <cstdint>

namespace music {
namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
// ln 2 split so that k * kLn2High is exact for the k we meet (|k| < 2^11).
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kLn2 = 0.69314718055994530941723212145818;

// Nearest integer, ties away from zero; exact for |x| < 2^52.
double Round(double x) {
    if (x >= 0.0) return static_cast<double>(static_cast<std::int64_t>(x + 0.5));
    return -static_cast<double>(static_cast<std::int64_t>(-x + 0.5));
}

}  // namespace

double SinCycles(double cycles) {
    // Reduce to [-1/2, 1/2] turn, then fold onto [-1/4, 1/4] where the series converges fast.
    double q = cycles - Round(cycles);
    if (q > 0.25) q = 0.5 - q;
    if (q < -0.25) q = -0.5 - q;
    const double x = kTwoPi * q;
    const double x2 = x * x;
    // Taylor series to x^19, Horner form; the next term is below 3e-16 at pi/2.
    double p = 1.0 / 121645100408832000.0;  // 1/19!
    p = p * -x2 + 1.0 / 355687428096000.0;  // 1/17!
    p = p * -x2 + 1.0 / 1307674368000.0;    // 1/15!
    p = p * -x2 + 1.0 / 6227020800.0;       // 1/13!
    p = p * -x2 + 1.0 / 39916800.0;         // 1/11!
    p = p * -x2 + 1.0 / 362880.0;           // 1/9!
    p = p * -x2 + 1.0 / 5040.0;             // 1/7!
    p = p * -x2 + 1.0 / 120.0;              // 1/5!
    p = p * -x2 + 1.0 / 6.0;                // 1/3!
    p = p * -x2 + 1.0;
    return x * p;
}

double Exp(double x) {
    if (x > 700.0) x = 700.0;
    if (x < -700.0) return 0.0;
    // x = k ln2 + r with |r| <= ln2 / 2; e^x = 2^k e^r.
    const double k = Round(x / kLn2);
    const double r = (x - k * kLn2High) - k * kLn2Low;
    double p = 1.0 / 6227020800.0;  // 1/13!
    p = p * r + 1.0 / 479001600.0;
    p = p * r + 1.0 / 39916800.0;
    p = p * r + 1.0 / 3628800.0;
    p = p * r + 1.0 / 362880.0;
    p = p * r + 1.0 / 40320.0;
    p = p * r + 1.0 / 5040.0;
    p = p * r + 1.0 / 720.0;
    p = p * r + 1.0 / 120.0;
    p = p * r + 1.0 / 24.0;
    p = p * r + 1.0 / 6.0;
    p = p * r + 0.5;
    p = p * r + 1.0;
    p = p * r + 1.0;
    // Scaling by powers of two is exact.
    const auto n = static_cast<int>(k);
    for (int i = 0; i < n; ++i) p *= 2.0;
    for (int i = 0; i > n; --i) p *= 0.5;
    return p;
}

double Exp2(double x) {
    return Exp(x * kLn2);
}

}  // namespace music
