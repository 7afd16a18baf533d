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

#include "framework/interface/HostExtension.h"

namespace rounding_detail {
// |v| < 2^61 rounded without a library call and without changing the x87
// control word, on which a plain conversion of a long double stalls. This
// runs at every block step. Adding and taking away 1.5 * 2^63 leaves an
// integer within one of v (in any rounding mode), converted exactly by a
// store of an integral value; the exact remainder then decides, ties to
// even. False for larger magnitudes, infinities and NaN. The range test is
// a quiet comparison: a NaN raises no invalid-operation trap where a host
// unmasked it.
inline bool NearestEvenSmall(long double v, int64_t& out) {
#if LDBL_MANT_DIG == 64
  if (!(std::isgreater(v, -0x1p61L) && std::isless(v, 0x1p61L))) return false;
  const long double whole = (v + 0x1.8p63L) - 0x1.8p63L;  // exact: the sum lies in [2^63, 2^64)
  // Reading the integer from the stored sum's bits instead waits for the
  // 80-bit store to reach memory.
  int64_t n;
  __asm__("fistpll %0" : "=m"(n) : "t"(whole) : "st");
  const long double rest = v - whole;  // exact
  if (rest > 0.5L || (rest == 0.5L && (n & 1) != 0))
    ++n;
  else if (rest < -0.5L || (rest == -0.5L && (n & 1) != 0))
    --n;
  out = n;
  return true;
#else
  (void)v;
  (void)out;
  return false;
#endif
}

// The same for a double below 2^50 in magnitude, in its own registers: a
// float or double result needs no round trip through the x87 unit.
inline bool NearestEvenSmall(double v, int64_t& out) {
  if (!(std::isgreater(v, -0x1p50) && std::isless(v, 0x1p50))) return false;
  const double shifted = v + 0x1.8p52;
  uint64_t bits;
  std::memcpy(&bits, &shifted, sizeof bits);
  int64_t n = static_cast<int64_t>(bits - uint64_t{0x4338000000000000});  // the bits of 1.5 * 2^52
  const double rest = v - static_cast<double>(n);                         // exact
  if (rest > 0.5 || (rest == 0.5 && (n & 1) != 0))
    ++n;
  else if (rest < -0.5 || (rest == -0.5 && (n & 1) != 0))
    --n;
  out = n;
  return true;
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

// RoundToSample for a float or double result (filters, transforms).
inline int32_t RoundDoubleToSample(double value) {
  int64_t n;
  if (rounding_detail::NearestEvenSmall(value, n))
    return static_cast<int32_t>(
        std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  return RoundToSample(static_cast<long double>(value));
}

namespace rounding_detail {
inline int32_t LimitToSample(int64_t n, int32_t& problem) {
  const int64_t limited =
      std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  problem = limited != n ? rvpOutOfRange : rvpNone;
  return static_cast<int32_t>(limited);
}
}  // namespace rounding_detail

// RoundToSample, and what became of the value on its way: rvpNone,
// rvpOutOfRange (limited to the range) or rvpNotANumber (0).
inline int32_t RoundToSample(long double value, int32_t& problem) {
  int64_t n;
  if (rounding_detail::NearestEvenSmall(value, n)) return rounding_detail::LimitToSample(n, problem);
  problem = std::isnan(value) ? rvpNotANumber : rvpOutOfRange;
  return RoundToSample(value);
}

// The same for a float or double result; inlined, since loops over many
// results (the blocks' array steps) call it once a sample.
[[gnu::always_inline]] inline int32_t RoundDoubleToSample(double value, int32_t& problem) {
  int64_t n;
  if (rounding_detail::NearestEvenSmall(value, n)) return rounding_detail::LimitToSample(n, problem);
  return RoundToSample(static_cast<long double>(value), problem);
}
