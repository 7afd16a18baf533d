#include "EightDecimals.h"

#include <bit>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

// n / 10^8 is divided in double arithmetic and must be rounded once, to
// double (the 32-bit build does its doubles in SSE registers).
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must round to double");

namespace {

constexpr uint64_t kScale = 100000000;  // 10^8

struct Wide {
  uint64_t hi, lo;
};

// |x| = m 2^(e-64) with m in [2^63, 2^64), or m = 0 for 0. The 80-bit
// format holds m as it is; elsewhere frexp and ldexp find it.
void MantissaAndExponent(long double x, uint64_t& m, int& e) {
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    uint16_t signAndExponent = 0;
    std::memcpy(&m, &x, sizeof m);
    std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&x) + sizeof m, sizeof signAndExponent);
    const int biased = signAndExponent & 0x7FFF;
    // Subnormals (far below 10^-8) keep their place value.
    e = biased == 0 ? -16381 : biased - 16382;
  } else {
    const long double fraction = std::frexp(std::fabs(x), &e);  // in [0.5, 1), or 0
    m = static_cast<uint64_t>(std::ldexp(fraction, 64));
  }
}

// m 10^8 2^(e-64) rounded to an integer, half to even on the bits shifted
// out, as the C library rounds; for e <= 55, where it is below 2^82. Only
// 64-bit integers: the 32-bit build has no wider ones.
Wide ScaledMantissa(uint64_t m, int e) {
  // m 10^8 as hi 2^64 + lo.
  const uint64_t low = (m & 0xFFFFFFFFu) * kScale, high = (m >> 32) * kScale;
  const uint64_t lo = low + (high << 32);
  const uint64_t hi = (high >> 32) + (lo < low ? 1 : 0);
  const int shift = 64 - e;  // at least 9
  Wide n{0, 0};
  bool above = false, half = false;  // the bits shifted out against one half; far below it from 2^128 on
  if (shift < 64) {
    n = {hi >> shift, (hi << (64 - shift)) | (lo >> shift)};
    const uint64_t rest = lo & ((uint64_t{1} << shift) - 1), halfway = uint64_t{1} << (shift - 1);
    above = rest > halfway, half = rest == halfway;
  } else if (shift == 64) {
    n.lo = hi;
    above = lo > (uint64_t{1} << 63), half = lo == (uint64_t{1} << 63);
  } else if (shift < 128) {
    n.lo = hi >> (shift - 64);
    const uint64_t rest = hi & ((uint64_t{1} << (shift - 64)) - 1), halfway = uint64_t{1} << (shift - 65);
    above = rest > halfway || (rest == halfway && lo != 0), half = rest == halfway && lo == 0;
  }
  if (above || (half && (n.lo & 1) != 0)) {
    ++n.lo;
    n.hi += n.lo == 0 ? 1 : 0;
  }
  return n;
}

// The double nearest n / 10^8, ties to even, for n < 2^83.
double NearestQuotient(Wide n) {
  // Both operands exact in a double: the division rounds once.
  if (n.hi == 0 && n.lo < (uint64_t{1} << 53)) return static_cast<double>(n.lo) / static_cast<double>(kScale);
  // Otherwise q = n 2^k / 10^8 with 56 or 57 bits, by long division in
  // 32-bit digits, and q rounded to 53 bits with the remainder as sticky bit.
  const int bits = n.hi != 0 ? 128 - std::countl_zero(n.hi) : 64 - std::countl_zero(n.lo);
  const int k = 83 - bits;  // 1..29
  const Wide shifted{(n.hi << k) | (n.lo >> (64 - k)), n.lo << k};
  const uint64_t digits[4] = {shifted.hi >> 32, shifted.hi & 0xFFFFFFFFu, shifted.lo >> 32, shifted.lo & 0xFFFFFFFFu};
  uint64_t q = 0, rest = 0;
  for (const uint64_t digit : digits) {
    const uint64_t current = rest << 32 | digit;  // below 2^59
    q = q << 32 | current / kScale;
    rest = current % kScale;
  }
  const int drop = 64 - std::countl_zero(q) - 53;
  uint64_t mantissa = q >> drop;
  const uint64_t dropped = q & ((uint64_t{1} << drop) - 1), halfway = uint64_t{1} << (drop - 1);
  if (dropped > halfway || (dropped == halfway && (rest != 0 || (mantissa & 1) != 0))) ++mantissa;
  return std::ldexp(static_cast<double>(mantissa), drop - k);
}

}  // namespace

bool ScaledEightDecimals(long double x, uint64_t& n) {
  if (!std::isfinite(x) || std::fegetround() != FE_TONEAREST) return false;
  uint64_t m = 0;
  int e = 0;
  MantissaAndExponent(x, m, e);
  if (e > 37) return false;
  n = ScaledMantissa(m, e).lo;
  return true;
}

double EightDecimalValue(long double x) {
  uint64_t m = 0;
  int e = 0;
  MantissaAndExponent(x, m, e);
  // From 2^55 on x is a multiple of 2^-8, which eight decimals hold exactly.
  const double magnitude = e >= 56 ? static_cast<double>(std::fabs(x)) : NearestQuotient(ScaledMantissa(m, e));
  return std::signbit(x) ? -magnitude : magnitude;
}
