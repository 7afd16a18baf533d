// Turning single-precision results into port samples: round to the nearest
// integer, ties to even (the library's one rule), and decide what happens
// to values that do not fit a 32-bit sample.
#pragma once

#include <cmath>
#include <cstdint>

#include "../numeric/Rounding.h"

// Samples are sign-magnitude at heart: the range is symmetric, since -2^31
// has no sign-magnitude text of 32 bits.
constexpr int32_t kLargestSample = 2147483647;

// Element-wise blocks: a NaN or a rounded value outside the range is a
// failed computation.
inline bool RoundToSampleOrFail(double r, int32_t& v) {
  const double rounded = static_cast<double>(RoundHalfEven(r));
  if (!(rounded >= -2147483647.0 && rounded <= 2147483647.0)) return false;  // NaN too
  v = static_cast<int32_t>(rounded);
  return true;
}

// Buffer and filter blocks: out-of-range values are limited to the range; a
// NaN carries no value and becomes 0.
inline int32_t RoundClamped(long double r) {
  if (std::isnan(r)) return 0;
  const long double rounded = RoundHalfEven(r);
  if (rounded <= -2147483647.0L) return -kLargestSample;
  if (rounded >= 2147483647.0L) return kLargestSample;
  return static_cast<int32_t>(rounded);
}
