// Sine and cosine: reduction to |r| <= pi/4, then Taylor polynomials that
// keep the error of the dropped terms below 2^-70.
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

}  // namespace

long double Sin(long double x) {
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

long double Cos(long double x) {
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
