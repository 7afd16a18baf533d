// Sine and cosine. Beyond pi/4 and below 2^62 (every argument a long run
// forms): integer reduction to a 256th of a turn, a table and short
// polynomials. Elsewhere, and in the rare case that the reduced argument is
// too small for the table path's precision: reduction to |r| <= pi/4, then
// Taylor polynomials that keep the error of the dropped terms below 2^-70.
#include <bit>

#include "Math.h"
#include "MathC.h"
#include "Reduce.h"

namespace math {
namespace {

using detail::Pair;

constexpr long double kSinCoeff[] = {-1.0L / 6,
                                     1.0L / 120,
                                     -1.0L / 5040,
                                     1.0L / 362880,
                                     -1.0L / 39916800,
                                     1.0L / 6227020800,
                                     -1.0L / 1307674368000,
                                     1.0L / 355687428096000,
                                     -1.0L / 121645100408832000};  // up to x^19
constexpr long double kCosCoeff[] = {1.0L / 24,
                                     -1.0L / 720,
                                     1.0L / 40320,
                                     -1.0L / 3628800,
                                     1.0L / 479001600,
                                     -1.0L / 87178291200,
                                     1.0L / 20922789888000,
                                     -1.0L / 6402373705728000,
                                     1.0L / 2432902008176640000};  // up to x^20

template <size_t N>
long double Horner(const long double (&c)[N], long double z) {
  long double p = c[N - 1];
  for (size_t i = N - 1; i-- > 0;) p = c[i] + z * p;
  return p;
}

// sin(hi + lo) for |hi| <= pi/4 + a little.
long double SinKernel(Pair r) {
  const long double z = r.hi * r.hi;
  const long double p = z * Horner(kSinCoeff, z);
  return r.hi + (r.hi * p + r.lo * (1.0L - 0.5L * z));
}

// cos(hi + lo): 1 - z/2 is formed exactly from the exact square.
long double CosKernel(Pair r) {
  const Pair z = detail::TwoProd(r.hi, r.hi);
  const long double hz = 0.5L * z.hi;
  const long double w = 1.0L - hz;
  const long double c = z.hi * z.hi * Horner(kCosCoeff, z.hi);
  return w + (((1.0L - w) - hz) + (c - (0.5L * z.lo + r.hi * r.lo)));
}

namespace table {

#include "Tables.inc"

// The table path's range, pi/4 < |x| < 2^62, by the bits.
constexpr uint64_t kQuarterPiMantissa = 0xC90FDAA22168C235u;
constexpr int kHalfExponent = 16382;  // [0.5, 1)
constexpr int kLimitExponent = 16383 + 62;

bool InTableRange(detail::Bits b) {
  const int e = b.signExp & 0x7FFF;
  return e < kLimitExponent && (e > kHalfExponent || (e == kHalfExponent && b.mantissa > kQuarterPiMantissa));
}

// Bits 1..64, 65..128 and 129..192 of 2/pi after the binary point.
constexpr uint64_t TwoOverPiWord(int k) { return uint64_t{kTwoOverPiBits[2 * k]} << 32 | kTwoOverPiBits[2 * k + 1]; }

// |x| / (2 pi) modulo 1 as a 128-bit binary fraction, negated for odd
// functions of a negative x, by integer arithmetic only; the error is below
// 2^-127. |x| = m 2^e with -64 <= e <= -2, and |x| / (2 pi) = m W 2^(e - 194)
// for the 192 leading bits W of 2/pi.
[[gnu::always_inline]] inline detail::Turns TurnsOf(detail::Bits b, bool odd) {
  using detail::MulWide;
  const int e = (b.signExp & 0x7FFF) - 16383 - 63;
  const detail::U128 p0 = MulWide(b.mantissa, TwoOverPiWord(2));
  const detail::U128 p1 = MulWide(b.mantissa, TwoOverPiWord(1));
  const detail::U128 p2 = MulWide(b.mantissa, TwoOverPiWord(0));
  // The 256-bit product m W; its least word lies below every bit used.
  const detail::U128 low = detail::Add(p1, {0, p0.hi});
  const detail::U128 high = detail::Add(p2, {0, low.hi});
  const uint64_t w1 = low.lo, w2 = high.lo, w3 = high.hi;
  // The binary point of the turns lies above bit 194 - e; the fraction is
  // the 128 bits below it, from bit 66 - e (68..130): from word 1 or 2 on,
  // picked in registers rather than through an indexed array.
  const int shift = 66 - e;
  const bool fromWord1 = shift < 128;
  const uint64_t first = fromWord1 ? w1 : w2, mid = fromWord1 ? w2 : w3, last = fromWord1 ? w3 : 0;
  const int s = shift & 63;
  auto join = [s](uint64_t lower, uint64_t upper) { return (lower >> s) | ((upper << 1) << (63 - s)); };
  detail::Turns f{join(mid, last), join(first, mid)};
  if (odd && (b.signExp & 0x8000) != 0) {
    f.lo = ~f.lo + 1;
    f.hi = ~f.hi + (f.lo == 0 ? 1 : 0);
  }
  return f;
}
// 2 pi 2^125 as a 128-bit integer.
constexpr detail::U128 kTwoPi{0xC90FDAA22168C234u, 0xC4C6628B80DC1CD1u};

// Powers of two as floats: exact, and cheaper to load than long doubles.
struct PowersOfHalf {
  float v[136];
  constexpr PowersOfHalf() : v() {
    v[0] = 1.0f;
    for (int k = 1; k < 136; ++k) v[k] = v[k - 1] * 0.5f;
  }
};
constexpr PowersOfHalf kHalf;  // kHalf.v[k] = 2^-k

// A long double as two doubles whose sum is exact in 64 bits: two double
// loads and an exact addition cost less than one long double load.
struct DoublePair {
  double hi, lo;
};
constexpr DoublePair Split(long double k) {
  const double hi = static_cast<double>(k);
  return {hi, static_cast<double>(k - hi)};
}
inline long double Join(const double* pair) { return static_cast<long double>(pair[0]) + pair[1]; }
// Keeps the compiler from folding a Join of constants back into one long
// double constant.
template <typename T>
const T* Opaque(const T* p) {
  asm("" : "+r"(p));
  return p;
}

// sin r - r = r^3 (s3 + s5 z + s7 z^2 + s9 z^3) and cos r - 1 =
// -z/2 + z^2 (c4 + c6 z + c8 z^2), z = r^2, |r| <= pi/256: the dropped
// terms are below 2^-85 of the result.
enum Coefficient { kS3, kS5, kS7, kS9, kC4, kC6, kC8, kCoefficients };
constexpr DoublePair kPolynomial[kCoefficients] = {Split(-1.0L / 6),     Split(1.0L / 120), Split(-1.0L / 5040),
                                                   Split(1.0L / 362880), Split(1.0L / 24),  Split(-1.0L / 720),
                                                   Split(1.0L / 40320)};

// 2 pi a 2^-128 for a < 2^119, as the integer q with the value q 2^-125.
[[gnu::always_inline]] inline detail::U128 TimesTwoPi(detail::U128 a) {
  using detail::MulWide;
  const detail::U128 t0 = MulWide(a.lo, kTwoPi.lo), t1 = MulWide(a.hi, kTwoPi.lo);
  const detail::U128 t2 = MulWide(a.lo, kTwoPi.hi), t3 = MulWide(a.hi, kTwoPi.hi);
  // The middle words' sum only carries into the result; its low word is dropped.
  const detail::U128 middle = detail::Add(detail::Add({0, t0.hi}, {0, t1.lo}), {0, t2.lo});
  return detail::Add(t3, detail::Add({0, t1.hi}, detail::Add({0, t2.hi}, {0, middle.hi})));
}

// The polynomial part of sin(2 pi f), given r = 2 pi u to 63 bits, and its
// top 32 bits R1 and next 63 bits R2 as integers scaled by 2^-r1Scale and
// 2^-r2Scale; the table row of j (S, its tail, C and C's rest below its top
// 32 bits) and C's top 32 bits.
[[gnu::always_inline]] inline long double SinPolynomial(const double* row, double cHead, long double r, int64_t r1,
                                                        float r1Scale, int64_t r2, float r2Scale) {
  const DoublePair* k = Opaque(kPolynomial);
  const auto coefficient = [k](Coefficient i) { return Join(&k[i].hi); };
  const long double z = r * r;
  const long double z2 = z * z;
  const long double sinPart =
      (coefficient(kS3) + z * coefficient(kS5)) + z2 * (coefficient(kS7) + z * coefficient(kS9));
  const long double sinTail = ((Join(row + 4) * r) * z) * sinPart;
  const long double cosPart = (coefficient(kC4) + z * coefficient(kC6)) + z2 * coefficient(kC8);
  const long double sz = Join(row) * z;
  const long double cosTail = (sz * z) * cosPart - 0.5L * sz;
  // R1 and R2 are formed only now: formed early, they would stay live
  // through the polynomial, and the x87 register stack would spill.
  asm("" : "+m"(r1), "+m"(r2) : "f"(cosTail));
  const long double R1 = static_cast<long double>(r1) * r1Scale;
  const long double R2 = static_cast<long double>(r2) * r2Scale;
  const long double small = ((Join(row + 6) * R1 + Join(row + 4) * R2) + Join(row + 2)) + cosTail;
  const detail::Pair head = detail::FastTwoSum(Join(row), cHead * R1);
  return head.hi + ((head.lo + small) + sinTail);
}

// sin(2 pi f) for the turns f of an argument: f = j/256 + u, r = 2 pi u, and
// sin = S cos r + C sin r with S, C of j from the table. C's 32-bit head
// times r's 32-bit head is exact, and S is at least twice that product
// unless S = 0, so one exact sum and one rounding give the result. False
// when S = 0 and r is below 2^-40, where r lacks bits: the caller reduces
// exactly.
[[gnu::always_inline]] inline bool SinOfTurns(detail::Turns f, long double& result) {
  // j the nearest 256th of a turn, uHi the top word of f - j/256: the low
  // 56 bits of f + 1/512, less 1/512.
  const uint64_t rounded = f.hi + (uint64_t{1} << 55);
  const int j = static_cast<int>(rounded >> 56);
  const int64_t uHi = static_cast<int64_t>((rounded & ((uint64_t{1} << 56) - 1)) - (uint64_t{1} << 55));
  const uint64_t sign = uHi < 0 ? ~uint64_t{0} : 0;
  // |u| in units of 2^-128 turns, below 2^119.
  const uint64_t aLo = (f.lo ^ sign) - sign;
  const uint64_t aHi = (static_cast<uint64_t>(uHi) ^ sign) + (sign & uint64_t{f.lo == 0});
  const detail::U128 q = TimesTwoPi({aHi, aLo});
  const double* row = kSinCosTurnTable[j];
  if (q.hi < (uint64_t{1} << 21)) [[unlikely]] {  // |r| < 2^-40
    if ((j & 127) == 0) return false;
    // S >= sin(pi/128) dwarfs r: sin = S + C r, r to 64 bits is plenty.
    const long double r = static_cast<long double>(static_cast<int64_t>(q.hi)) * kHalf.v[61] +
                          static_cast<long double>(static_cast<int64_t>(q.lo >> 1)) * kHalf.v[124];
    result = Join(row) + (Join(row + 2) + Join(row + 4) * (sign != 0 ? -r : r));
    return true;
  }
  const int lz = std::countl_zero(q.hi);
  const uint64_t n1 = (q.hi << lz) | ((q.lo >> 1) >> (63 - lz));
  const uint64_t n0 = q.lo << lz;
  // r = R1 + R2: R1 the top 32 bits, R2 the next 63, both with r's sign;
  // and r to 63 bits for the tails, straight from the integer.
  const int64_t r1 = static_cast<int64_t>(((n1 >> 32) ^ sign) - sign);
  const int64_t r2 = static_cast<int64_t>(((((n1 << 32) | (n0 >> 32)) >> 1) ^ sign) - sign);
  const int64_t rTop = static_cast<int64_t>(((n1 >> 1) ^ sign) - sign);
  const long double r = static_cast<long double>(rTop) * kHalf.v[60 + lz];
  result = SinPolynomial(row, kCosTurnHead[j], r, r1, kHalf.v[29 + lz], r2, kHalf.v[92 + lz]);
  return true;
}

// sin(2 pi f) in doubles from the nearest 256th of a turn: S cos r + C sin r
// with the table's heads and short polynomials (the dropped terms are below
// 2^-60). Each step rounds at most to 2^-52 of a term, so the sum is within
// 2^-49 of the sine.
inline double SinOfTurnsEstimate(detail::Turns f) {
  const uint64_t rounded = f.hi + (uint64_t{1} << 55);
  const int j = static_cast<int>(rounded >> 56);
  const int64_t uHi = static_cast<int64_t>((rounded & ((uint64_t{1} << 56) - 1)) - (uint64_t{1} << 55));
  constexpr double kTwoPiPerTurnWord = 0x1.921fb54442d18p-62;  // 2 pi 2^-64
  const double r = static_cast<double>(uHi) * kTwoPiPerTurnWord;
  const double z = r * r;
  const double sinR = r + (r * z) * (-1.0 / 6 + z * (1.0 / 120 - z * (1.0 / 5040)));
  const double cosR = 1.0 + z * (-0.5 + z * (1.0 / 24 - z * (1.0 / 720)));
  const double* row = kSinCosTurnTable[j];
  return row[0] * cosR + row[4] * sinR;
}
}  // namespace table
}  // namespace

long double Sin(long double x) {
  const detail::Bits b = detail::BitsOf(x);
  if (table::InTableRange(b)) {
    long double y;
    if (table::SinOfTurns(table::TurnsOf(b, true), y)) return y;
  }
  if (!(x - x == 0.0L)) return x - x;  // NaN for NaN and the infinities
  if (x == 0) return x;                // keeps the sign of zero
  const detail::Reduced d = detail::ReduceHalfPi(x);
  switch (d.quadrant) {
    case 0:
      return SinKernel(d.r);
    case 1:
      return CosKernel(d.r);
    case 2:
      return -SinKernel(d.r);
    default:
      return -CosKernel(d.r);
  }
}

void SinEstimates(const long double* x, int count, double* sine, bool* known) {
  for (int k = 0; k < count; ++k) {
    const detail::Bits b = detail::BitsOf(x[k]);
    known[k] = table::InTableRange(b);
    sine[k] = known[k] ? table::SinOfTurnsEstimate(table::TurnsOf(b, true)) : 0.0;
  }
}

bool SinEstimate(const long double& x, double& sine) {
  bool known;
  SinEstimates(&x, 1, &sine, &known);
  return known;
}

long double Cos(long double x) {
  const detail::Bits b = detail::BitsOf(x);
  if (table::InTableRange(b)) {
    detail::Turns f = table::TurnsOf(b, false);
    f.hi += uint64_t{1} << 62;  // cos x = sin(x + pi/2)
    long double y;
    if (table::SinOfTurns(f, y)) return y;
  }
  if (!(x - x == 0.0L)) return x - x;
  const detail::Reduced d = detail::ReduceHalfPi(x);
  switch (d.quadrant) {
    case 0:
      return CosKernel(d.r);
    case 1:
      return -SinKernel(d.r);
    case 2:
      return -CosKernel(d.r);
    default:
      return SinKernel(d.r);
  }
}

}  // namespace math

extern "C" double rir_math_sin(double x) { return math::Sin(x); }
extern "C" double rir_math_cos(double x) { return math::Cos(x); }
