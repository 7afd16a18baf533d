// Turning single-precision results into port samples: round to the nearest
// integer, ties to even (the library's one rule), and decide what happens
// to values that do not fit a 32-bit sample.
#pragma once

#include <cmath>
#include <cstdint>

#include "numeric/Rounding.h"
#include "numeric/ValueText.h"

// Samples span the whole 32-bit range.

// Element-wise blocks: a NaN or a rounded value outside the range is a
// failed computation. Buffer and filter blocks limit such values to the range
// instead, with RoundToSample.
inline bool RoundToSampleOrFail(double r, int32_t& v) {
  if (!std::isless(std::fabs(r), 0x1p62)) return false;  // NaN too, quietly
  int64_t rounded;
  if (!rounding_detail::NearestEvenSmall(r, rounded)) rounded = RoundToInt64(static_cast<long double>(r));
  if (rounded < INT32_MIN || rounded > INT32_MAX) return false;
  v = static_cast<int32_t>(rounded);
  return true;
}

// A result as its port's text. A sign-magnitude text of up to 32 characters
// cannot carry -2^31: its magnitude bits are all zero and it reads back as 0.
// Such a port gets the most negative value it carries (magnitude all ones).
inline const char* EncodeResult(ValueTextBuffer& text, int32_t signMode, int32_t v) {
  if (v == INT32_MIN && signMode == 0 && text.Width() <= 32) v = INT32_MIN + 1;
  return text.Encode(signMode, v);
}
