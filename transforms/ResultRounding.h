// Turning single-precision results into port samples: round to the nearest
// integer, ties to even (the library's one rule), and decide what happens
// to values that do not fit a 32-bit sample.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

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

namespace rounding_detail {
// A float result rounded to a sample in one conversion. A block step runs
// in the library's floating-point state, whose rounding is to the nearest,
// ties to even, as is all its arithmetic. False for -2^31, NaN and values
// beyond the range: the conversion gives its one "indefinite" answer for
// them, which the callers sort out the long way.
inline bool NearestEvenInRange(float r, int32_t& v) {
#if defined(__SSE__) || defined(__x86_64__)
  v = _mm_cvtss_si32(_mm_set_ss(r));
  return v != INT32_MIN;
#else
  (void)r;
  (void)v;
  return false;
#endif
}
}  // namespace rounding_detail

// The same for a float result.
inline bool RoundToSampleOrFail(float r, int32_t& v, int32_t& problem) {
  if (rounding_detail::NearestEvenInRange(r, v)) [[likely]] {
    problem = rvpNone;
    return true;
  }
  return RoundToSampleOrFail(static_cast<double>(r), v, problem);
}

// Filter blocks: RoundDoubleToSample for a float result.
inline int32_t RoundFloatToSample(float r, int32_t& problem) {
  int32_t v;
  if (rounding_detail::NearestEvenInRange(r, v)) [[likely]] {
    problem = rvpNone;
    return v;
  }
  return RoundDoubleToSample(r, problem);
}
