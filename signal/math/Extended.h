// Exact building blocks of the math layer on 80-bit long doubles: error-free
// sums and products (a value as head + tail) and direct access to the bits.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

static_assert(LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384, "the math layer needs the x87 80-bit long double");

namespace math::detail {

struct Pair {
  long double hi, lo;
};

// a + b exactly, whatever their sizes.
inline Pair TwoSum(long double a, long double b) {
  const long double s = a + b;
  const long double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly when |a| >= |b| (or a == 0).
inline Pair FastTwoSum(long double a, long double b) {
  const long double s = a + b;
  return {s, b - (s - a)};
}

// Veltkamp's split into two halves of 32 bits each.
inline Pair Split(long double a) {
  const long double t = a * 4294967297.0L;  // 2^32 + 1
  const long double hi = t - (t - a);
  return {hi, a - hi};
}

// a * b exactly (Dekker), away from overflow and underflow.
inline Pair TwoProd(long double a, long double b) {
  const long double p = a * b;
  const Pair x = Split(a), y = Split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// The 64-bit mantissa and the biased exponent with its sign bit.
struct Bits {
  uint64_t mantissa;
  uint16_t signExp;
};

// Two loads inside the value's ten bytes: a wider load of the sign and
// exponent would overlap the x87 store that wrote them and wait for it. The
// address passes through an empty asm: knowing that a long double argument
// has a slot of 16 bytes, the compiler would load the exponent with 8.
inline Bits BitsOf(const long double& x) {
  const long double* p = &x;
  asm("" : "+r"(p));
  Bits b;
  std::memcpy(&b.mantissa, p, 8);
  std::memcpy(&b.signExp, reinterpret_cast<const char*>(p) + 8, 2);
  return b;
}

inline long double FromBits(uint64_t mantissa, uint16_t signExp) {
  long double x = 0.0L;
  std::memcpy(&x, &mantissa, 8);
  std::memcpy(reinterpret_cast<char*>(&x) + 8, &signExp, 2);
  return x;
}

// 2^k exactly for -16445 <= k <= 16383 (subnormal below -16382).
inline long double Pow2(int k) {
  if (k >= -16382) return FromBits(uint64_t{1} << 63, static_cast<uint16_t>(k + 16383));
  return FromBits(uint64_t{1} << (k + 16445), 0);
}

// The integer nearest x (ties to even) for |x| < 2^62, without the x87's
// slow rounding-mode switch: adding 1.5 * 2^63 leaves it in the mantissa.
struct Nearest {
  long double value;
  int64_t integer;
};
inline Nearest NearestInteger(long double x) {
  constexpr long double kShift = 0x1.8p63L;
  const long double shifted = x + kShift;
  return {shifted - kShift, static_cast<int64_t>(BitsOf(shifted).mantissa - (uint64_t{3} << 62))};
}

// Unsigned 128-bit integers from two words, for the integer reductions; the
// same code on every target (i686 has no 128-bit type).
struct U128 {
  uint64_t hi, lo;
};

// a * b exactly.
inline U128 MulWide(uint64_t a, uint64_t b) {
#ifdef __SIZEOF_INT128__
  const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
  return {static_cast<uint64_t>(p >> 64), static_cast<uint64_t>(p)};
#else
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
#endif
}

// A binary fraction of a turn, 128 bits.
struct Turns {
  uint64_t hi, lo;
};

// a + b modulo 2^128; with a 128-bit type the carry is an add-with-carry
// rather than a comparison, a shorter chain.
inline U128 Add(U128 a, U128 b) {
#ifdef __SIZEOF_INT128__
  using Wide = unsigned __int128;
  const Wide s = (static_cast<Wide>(a.hi) << 64 | a.lo) + (static_cast<Wide>(b.hi) << 64 | b.lo);
  return {static_cast<uint64_t>(s >> 64), static_cast<uint64_t>(s)};
#else
  const uint64_t lo = a.lo + b.lo;
  return {a.hi + b.hi + (lo < a.lo), lo};
#endif
}

inline constexpr long double kInf = __builtin_infl();
inline constexpr long double kNaN = __builtin_nanl("");

}  // namespace math::detail
