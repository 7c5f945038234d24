// Sine and exponential from + - * / alone, so that the generated sound is the same bit for bit on
// every machine: the C library's versions may differ in their last bits between releases.
#pragma once

namespace music {

// sin(2 * pi * cycles), absolute error below 1e-15.
double SinCycles(double cycles);

// e^x, relative error below 1e-15 for |x| < 700.
double Exp(double x);

// 2^x.
double Exp2(double x);

}  // namespace music
