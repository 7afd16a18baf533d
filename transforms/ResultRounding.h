// Turning single-precision results into port samples: round to the nearest
// integer, ties to even (the library's one rule), and decide what happens
// to values that do not fit a 32-bit sample.
#pragma once

#include <cmath>
#include <cstdint>

#include "../numeric/Rounding.h"

// Samples span the whole 32-bit range; -2^31 is encoded with the magnitude
// 2^31, as the generators encode it.
constexpr long double kSmallestSample = -2147483648.0L;
constexpr long double kLargestSample = 2147483647.0L;

// Element-wise blocks: a NaN or a rounded value outside the range is a
// failed computation. Buffer and filter blocks limit such values to the range
// instead, with RoundToSample.
inline bool RoundToSampleOrFail(double r, int32_t& v) {
  const long double rounded = RoundHalfEven(r);
  if (!(rounded >= kSmallestSample && rounded <= kLargestSample)) return false;  // NaN too
  v = static_cast<int32_t>(rounded);
  return true;
}
