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

}  // namespace math::detail
