// Turning single-precision results into port samples: round to the nearest
// integer, ties to even (the library's one rule), and decide what happens
// to values that do not fit a 32-bit sample.
#pragma once

#include <cmath>
#include <cstdint>

#include "numeric/Rounding.h"

// Samples span the whole 32-bit range.

// Element-wise blocks: a NaN or a rounded value outside the range is a
// failed computation; `problem` says which (rvpNotANumber, rvpOutOfRange).
// Buffer and filter blocks limit such values to the range instead, with
// RoundToSample.
inline bool RoundToSampleOrFail(double r, int32_t& v, int32_t& problem) {
  problem = std::isnan(r) ? rvpNotANumber : rvpOutOfRange;
  if (!std::isless(std::fabs(r), 0x1p62)) return false;  // NaN too, quietly
  int64_t rounded;
  if (!rounding_detail::NearestEvenSmall(r, rounded)) rounded = RoundToInt64(static_cast<long double>(r));
  if (rounded < INT32_MIN || rounded > INT32_MAX) return false;
  v = static_cast<int32_t>(rounded);
  problem = rvpNone;
  return true;
}
