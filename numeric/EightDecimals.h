// The formula evaluator's eight-decimal rounding in integers: the decimals
// that a number text of a value holds, and the double that the text reads
// back as, without forming or reading the text.
#pragma once

#include <cstdint>

// |x| 10^8 rounded to an integer, half to even, as "%.8Lf" rounds in the
// default rounding mode. False when x is not finite, |x| >= 2^37 (the
// integer would not fit 64 bits) or another rounding mode is set.
bool ScaledEightDecimals(long double x, uint64_t& n);

// The double that the eight-decimal number text of x reads back as: x
// rounded to eight decimals, then to the nearest double, with the sign of x
// (a negative x that rounds to 0 gives -0). For finite x with |x| <= DBL_MAX,
// in the default rounding mode.
double EightDecimalValue(long double x);
