// The one rounding rule of the library, its dialogs and its simulator: to the
// nearest integer, ties to even. Every period, time and sample is rounded
// with it. Independent of the floating-point rounding mode.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Nearest integral value, ties to even; NaN and infinities pass through.
inline long double RoundHalfEven(long double v) {
  if (!std::isfinite(v)) return v;
  const long double down = std::floor(v);
  const long double rest = v - down;  // exact: v and down share an exponent range
  if (rest > 0.5L) return down + 1.0L;
  if (rest < 0.5L) return down;
  return std::fmod(down, 2.0L) == 0.0L ? down : down + 1.0L;
}

// Nearest integer, ties to even, clamped to the 64-bit range; NaN gives 0.
inline int64_t RoundToInt64(long double value) {
  if (std::isnan(value)) return 0;
  const long double r = RoundHalfEven(value);
  if (r >= 0x1p63L) return std::numeric_limits<int64_t>::max();
  if (r < -0x1p63L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

// Nearest integer, ties to even, clamped to the 32-bit range; NaN gives 0.
inline int32_t RoundToSample(long double value) {
  if (std::isnan(value)) return 0;
  const long double r = RoundHalfEven(value);
  if (r > 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (r < -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}
