// Exponential, logarithm and power. The logarithm is carried as head + tail
// (about 2^-80 relative) so that pow(x, y) = exp(y log x) stays within an ulp
// even where y log x is in the thousands.
#include "Extended.h"
#include "Math.h"

namespace math {
namespace {

using detail::FastTwoSum;
using detail::Pair;
using detail::Pow2;
using detail::TwoProd;
using detail::TwoSum;

#include "Tables.inc"

// ln2/32 in three pieces; k * piece is exact for the first two (|k| < 2^20).
constexpr long double kLn2By32_1 = 0xB17217F7D1Cp-49L;
constexpr long double kLn2By32_2 = 0xF79ABC9E3B3p-93L;
constexpr long double kLn2By32_3 = 0x9803F2F6AF40F343p-157L;
constexpr long double k32ByLn2 = 0xB8AA3B295C17F0BCp-58L;
// ln2/128 likewise, for |k| < 2^22.
constexpr long double kLn2By128_1 = 0x2C5C85FDF47p-49L;
constexpr long double kLn2By128_2 = 0x3DE6AF278ECp-93L;
constexpr long double kLn2By128_3 = 0xE600FCBDABD03CD1p-157L;

constexpr long double kOverflow = 11357.3L;    // above ln(LDBL_MAX) + ln2/64
constexpr long double kUnderflow = -11400.0L;  // below ln(half the least subnormal)

// r * 2^k with one rounding, also where 2^k itself is out of range.
long double Scale(long double r, int k) {
  if (k > 16383) {
    r *= Pow2(k - 16383);
    k = 16383;
  } else if (k < -16445) {
    r *= Pow2(k + 16445);
    k = -16445;
  }
  return r * Pow2(k);
}

// exp(hi + lo), |lo| tiny against hi.
long double ExpPair(long double hi, long double lo) {
  if (hi != hi) return hi;
  if (hi > kOverflow) return detail::kInf;
  if (hi < kUnderflow) return 0.0L;
  // hi + lo = (32k + j) ln2/32 + r, |r| <= ln2/64.
  const detail::Nearest nearest = detail::NearestInteger(hi * k32ByLn2);
  const int64_t n = nearest.integer;
  const long double kn = nearest.value;
  const long double a = hi - kn * kLn2By32_1;  // exact
  const Pair s = TwoSum(a, -(kn * kLn2By32_2));
  const long double r = s.hi, rl = s.lo + (lo - kn * kLn2By32_3);
  // exp(r) - 1, the Taylor terms to r^9/9!.
  constexpr long double c[] = {1.0L / 2,   1.0L / 6,    1.0L / 24,    1.0L / 120,
                               1.0L / 720, 1.0L / 5040, 1.0L / 40320, 1.0L / 362880};
  long double poly = c[7];
  for (int i = 6; i >= 0; --i) poly = c[i] + r * poly;
  const long double p = r + r * r * poly;
  const long double q = p + rl * (1.0L + p);  // exp(r + rl) - 1
  const int j = static_cast<int>(n & 31);
  const int k = static_cast<int>((n - j) / 32);
  const long double th = kExp2Table[j][0], tl = kExp2Table[j][1];
  return Scale(th + (th * q + tl * (1.0L + q)), k);
}

// log(x) as head + tail for finite x > 0.
Pair LogPair(long double x) {
  detail::Bits b = detail::BitsOf(x);
  int e = (b.signExp & 0x7FFF) - 16383;
  if ((b.signExp & 0x7FFF) == 0) {  // subnormal: scale into the normal range
    b = detail::BitsOf(x * Pow2(64));
    e = (b.signExp & 0x7FFF) - 16383 - 64;
  }
  // x = 2^e m, m in [1, 2); m = 2^(j/128) (1 + f) with |f| < 0.005.
  const int j = kLogBucket[(b.mantissa >> 55) & 0xFF];
  const long double m = detail::FromBits(b.mantissa, 16383);
  const Pair mp = TwoProd(m, kInvRootTable[j][0]);
  const Pair f = TwoSum(mp.hi - 1.0L, mp.lo + m * kInvRootTable[j][1]);
  // log(1 + f) = 2 atanh(s), s = f / (2 + f), s as q + ds.
  const long double d = 2.0L + f.hi;
  const long double q = f.hi / d;
  const Pair qf = TwoProd(q, f.hi);
  const long double ds = ((((f.hi - 2.0L * q) - qf.hi) - qf.lo) + f.lo * (1.0L - q)) / d;
  const long double z = q * q;
  const long double series = q * z * (2.0L / 3 + z * (2.0L / 5 + z * (2.0L / 7 + z * (2.0L / 9 + z * (2.0L / 11)))));
  const long double n = static_cast<long double>(128 * e + j);
  const Pair head = TwoSum(n * kLn2By128_1, 2.0L * q);
  const long double tail = head.lo + (n * kLn2By128_2 + (n * kLn2By128_3 + (2.0L * ds + series)));
  return FastTwoSum(head.hi, tail);
}

}  // namespace

long double Exp(long double x) { return ExpPair(x, 0.0L); }

long double Log(long double x) {
  if (x != x) return x;
  if (x < 0) return detail::kNaN;
  if (x == 0) return -detail::kInf;
  if (x == detail::kInf) return x;
  return LogPair(x).hi;
}

long double Pow(long double x, long double y) {
  if (y == 0 || x == 1.0L) return 1.0L;
  if (x != x || y != y) return x + y;
  const long double ax = x < 0 ? -x : x, ay = y < 0 ? -y : y;
  if (ay == detail::kInf) {
    if (ax == 1.0L) return 1.0L;
    return (ax < 1.0L) == (y > 0) ? 0.0L : detail::kInf;
  }
  // Integer and odd: every long double of 2^64 or more is even.
  bool isInt = true, isOdd = false;
  if (ay < 0x1p64L) {
    const uint64_t u = static_cast<uint64_t>(ay);
    isInt = static_cast<long double>(u) == ay;
    isOdd = isInt && (u & 1) != 0;
  }
  const bool negative = (detail::BitsOf(x).signExp & 0x8000) != 0 && isOdd;  // -0 too
  if (x == 0 || ax == detail::kInf) {
    const bool big = (x == 0) == (y < 0);  // 0^negative and inf^positive
    const long double magnitude = big ? detail::kInf : 0.0L;
    return negative ? -magnitude : magnitude;
  }
  if (x < 0 && !isInt) return detail::kNaN;
  const Pair l = LogPair(ax);
  const long double guess = y * l.hi;
  long double r;
  if (guess > 2 * kOverflow) {
    r = detail::kInf;
  } else if (guess < 2 * kUnderflow) {
    r = 0.0L;
  } else {
    const Pair t = TwoProd(y, l.hi);
    const Pair s = FastTwoSum(t.hi, t.lo + y * l.lo);
    r = ExpPair(s.hi, s.lo);
  }
  return negative ? -r : r;
}

}  // namespace math
