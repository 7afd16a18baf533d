// The one rounding rule of the library, its dialogs and its simulator: to the
// nearest integer, ties to even. Every period, time and sample is rounded
// with it. Independent of the floating-point rounding mode.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace rounding_detail {
// |v| < 2^62 rounded from the bits of the value, in integer arithmetic: no
// library call and no change of the x87 control word, on which a plain
// conversion of a long double stalls. This runs at every block step. False
// for larger magnitudes, infinities and NaN.
inline bool NearestEvenSmall(long double v, int64_t& out) {
#if LDBL_MANT_DIG == 64
  // 80-bit extended: a 64-bit significand with its integer bit, then the
  // sign and a 15-bit exponent biased by 16383.
  uint64_t m;
  uint16_t signExponent;
  std::memcpy(&m, &v, sizeof m);
  std::memcpy(&signExponent, reinterpret_cast<const unsigned char*>(&v) + sizeof m, sizeof signExponent);
  const int e = (signExponent & 0x7FFF) - 16383;
  if (e >= 62) return false;
  uint64_t q = 0;
  if (e >= -1) {               // |v| >= 0.5; below that it rounds to 0
    const int shift = 63 - e;  // fraction bits, 2..64
    const uint64_t fraction = shift == 64 ? m : m & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    q = shift == 64 ? 0 : m >> shift;
    if (fraction > half || (fraction == half && (q & 1) != 0)) ++q;
  }
  out = (signExponent & 0x8000) != 0 ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
  return true;
#else
  (void)v;
  (void)out;
  return false;
#endif
}
}  // namespace rounding_detail

// Nearest integral value, ties to even; NaN and infinities pass through.
inline long double RoundHalfEven(long double v) {
  int64_t n;
  if (rounding_detail::NearestEvenSmall(v, n)) return n != 0 ? static_cast<long double>(n) : v == 0 ? v : 0.0L;
  if (!std::isfinite(v)) return v;
  const long double down = std::floor(v);
  const long double rest = v - down;  // exact: v and down share an exponent range
  if (rest > 0.5L) return down + 1.0L;
  if (rest < 0.5L) return down;
  return std::fmod(down, 2.0L) == 0.0L ? down : down + 1.0L;
}

// Nearest integer, ties to even, clamped to the 64-bit range; NaN gives 0.
inline int64_t RoundToInt64(long double value) {
  int64_t n;
  if (rounding_detail::NearestEvenSmall(value, n)) return n;
  if (std::isnan(value)) return 0;
  const long double r = RoundHalfEven(value);
  if (r >= 0x1p63L) return std::numeric_limits<int64_t>::max();
  if (r < -0x1p63L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

// Nearest integer, ties to even, clamped to the 32-bit range; NaN gives 0.
inline int32_t RoundToSample(long double value) {
  int64_t n;
  if (rounding_detail::NearestEvenSmall(value, n))
    return static_cast<int32_t>(
        std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  if (std::isnan(value)) return 0;
  const long double r = RoundHalfEven(value);
  if (r > 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (r < -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}
