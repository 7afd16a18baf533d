// Argument reduction for sine and cosine: x = k pi/2 + r, |r| <= about pi/4,
// r as head + tail with about 120 correct bits.
#pragma once

#include "Extended.h"

namespace math::detail {

struct Reduced {
  Pair r;
  int quadrant;  // k mod 4
};

// For finite x only.
Reduced ReduceHalfPi(long double x);

// |x| / (2 pi) modulo 1 as a 128-bit binary fraction, for pi/4 < |x| < 2^62,
// by integer arithmetic only; its error is below 2^-127.
struct Turns {
  uint64_t hi, lo;
};
Turns TurnsOf(long double ax);

}  // namespace math::detail
