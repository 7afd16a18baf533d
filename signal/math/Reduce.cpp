#include "Reduce.h"

namespace math::detail {
namespace {

#include "Tables.inc"

// pi/2 in four pieces: three of 32 bits, so that k * piece is exact for
// |k| < 2^32, and the rest.
constexpr long double kHalfPi1 = 0xC90FDAA2p-31L;
constexpr long double kHalfPi2 = 0x85A308D3p-65L;
constexpr long double kHalfPi3 = 0x98CC5170p-100L;
constexpr long double kHalfPi4 = 0xDC1CD129024E088Ap-167L;
// pi/2 as head + tail, for the exact path.
constexpr long double kHalfPiHi = 0xC90FDAA22168C235p-63L;
constexpr long double kHalfPiLo = -0xECE675D1FC8F8CBBp-129L;
constexpr long double kTwoOverPi = 0xA2F9836E4E44152Ap-64L;

// Below this the four pieces reduce in a few nanoseconds (k < 2^31).
constexpr long double kFastLimit = 0x1p30L;
// A fast result below this may have lost bits to cancellation.
constexpr long double kFastTiny = 0x1p-50L;

constexpr int kZeroWords = 3;  // leading zero words: bit positions down to -95

uint32_t TableWord(int index) {
  if (index < kZeroWords) return 0;
  return kTwoOverPiBits[index - kZeroWords];
}

// Payne and Hanek: the integer mantissa times the bits of 2/pi that matter,
// 256 of them, modulo 4. Exact for every finite long double.
Reduced ReduceExact(long double x) {
  const Bits b = BitsOf(x);
  const int exponent = (b.signExp & 0x7FFF) - 16383 - 63;  // x = mantissa * 2^exponent
  // The first bit of 2/pi whose product with the mantissa is below 4.
  const int first = exponent - 1;
  const int index = first - 1 + 32 * kZeroWords;  // index >= 0 for |x| >= 2^-62
  const int q = index >> 5, shift = index & 31;
  uint32_t window[8];  // least significant word first
  for (int t = 0; t < 8; ++t) {
    const uint32_t a = TableWord(q + t), c = TableWord(q + t + 1);
    window[7 - t] = shift == 0 ? a : (a << shift) | (c >> (32 - shift));
  }
  const uint32_t m[2] = {static_cast<uint32_t>(b.mantissa), static_cast<uint32_t>(b.mantissa >> 32)};
  uint32_t product[8] = {};  // mantissa * window modulo 2^256
  for (int i = 0; i < 2; ++i) {
    uint64_t carry = 0;
    for (int j = 0; i + j < 8; ++j) {
      const uint64_t t = uint64_t{product[i + j]} + uint64_t{m[i]} * window[j] + carry;
      product[i + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
  }
  // The top two bits count quarter turns; the other 254 are the fraction.
  int quadrant = static_cast<int>(product[7] >> 30);
  product[7] &= 0x3FFFFFFFu;
  const bool upper = (product[7] >> 29) != 0;
  if (upper) {  // fraction >= 1/2: take fraction - 1 as the negated 2^254 - fraction
    quadrant = (quadrant + 1) & 3;
    uint64_t borrow = 0;
    for (int i = 0; i < 8; ++i) {
      const uint64_t t = (i == 7 ? (uint64_t{1} << 30) : 0) - uint64_t{product[i]} - borrow;
      product[i] = static_cast<uint32_t>(t);
      borrow = (t >> 32) & 1;
    }
  }
  int top = 7;
  while (top >= 0 && product[top] == 0) --top;
  Pair r{0.0L, 0.0L};
  if (top >= 0) {
    int lead = 31;
    while (!(product[top] >> lead & 1)) --lead;
    const int msb = 32 * top + lead;  // bit number of the leading one
    auto word = [&](int i) -> uint64_t { return i >= 0 && i < 8 ? product[i] : 0; };
    auto bits32 = [&](int low) {  // bits low .. low + 31, zeros below bit 0
      const int i = low >= 0 ? low >> 5 : -((31 - low) >> 5);
      return static_cast<uint32_t>((word(i) | word(i + 1) << 32) >> (low - 32 * i));
    };
    auto bitsAt = [&](int high) {  // 64 bits with bit `high` on top
      return uint64_t{bits32(high - 31)} << 32 | bits32(high - 63);
    };
    const long double fh = static_cast<long double>(bitsAt(msb)) * Pow2(msb - 63 - 254);
    const long double fl = static_cast<long double>(bitsAt(msb - 64)) * Pow2(msb - 127 - 254);
    // r = f pi/2 for the fraction f of a quarter turn.
    const Pair p = TwoProd(fh, kHalfPiHi);
    r = FastTwoSum(p.hi, p.lo + (fh * kHalfPiLo + fl * kHalfPiHi));
    if (upper) r = {-r.hi, -r.lo};
  }
  if (b.signExp & 0x8000) {
    r = {-r.hi, -r.lo};
    quadrant = (4 - quadrant) & 3;
  }
  return {r, quadrant};
}

}  // namespace

Reduced ReduceHalfPi(long double x) {
  const long double ax = x < 0 ? -x : x;
  if (ax <= 0xC90FDAA22168C235p-64L) return {{x, 0.0L}, 0};  // |x| <= pi/4
  if (ax < kFastLimit) {
    // Cody and Waite: k nearest x 2/pi, then x - k pi/2 piece by piece,
    // keeping every rounding error.
    const Nearest n = NearestInteger(x * kTwoOverPi);
    const long double k = n.value;
    const long double a = x - k * kHalfPi1;  // exact
    const Pair s = TwoSum(a, -(k * kHalfPi2));
    const Pair u = TwoSum(s.hi, -(k * kHalfPi3));
    const long double lo = (s.lo + u.lo) - k * kHalfPi4;
    const long double au = u.hi < 0 ? -u.hi : u.hi;
    if (au >= kFastTiny) {
      return {FastTwoSum(u.hi, lo), static_cast<int>(n.integer & 3)};
    }
  }
  return ReduceExact(x);
}

}  // namespace math::detail
