// The one implementation of the transcendental functions that the blocks,
// windows, FFT twiddles, formula evaluator and generators use, so that every
// build (Linux, Windows x86-64 and i686) gives the same bits. Only IEEE basic
// operations and integer arithmetic are used; the long double work runs on the
// x87 unit, whose results are deterministic while its precision control is
// extended (64-bit mantissa), the state every supported runtime starts with.
// The float and double functions compute through the 80-bit core and round
// once, so they are within about half an ulp of the exact value.
#pragma once

namespace math {

long double Sin(long double x);
long double Cos(long double x);
long double Exp(long double x);
long double Log(long double x);
long double Pow(long double x, long double y);  // C99 Annex F special cases

// sin x within 2^-48, at a fraction of Sin's cost, for pi/4 < |x| < 2^62
// (false elsewhere): for callers that only need Sin's result where the
// estimate cannot tell, such as the nearest integer to a multiple of it.
bool SinEstimate(const long double& x, double& sine);
// The same for x[0..count): known[k] says whether sine[k] holds one.
void SinEstimates(const long double* x, int count, double* sine, bool* known);

inline double Sin(double x) { return static_cast<double>(Sin(static_cast<long double>(x))); }
inline double Cos(double x) { return static_cast<double>(Cos(static_cast<long double>(x))); }
inline double Exp(double x) { return static_cast<double>(Exp(static_cast<long double>(x))); }
inline double Log(double x) { return static_cast<double>(Log(static_cast<long double>(x))); }
inline double Pow(double x, double y) {
  return static_cast<double>(Pow(static_cast<long double>(x), static_cast<long double>(y)));
}

inline float Sin(float x) { return static_cast<float>(Sin(static_cast<long double>(x))); }
inline float Cos(float x) { return static_cast<float>(Cos(static_cast<long double>(x))); }
inline float Exp(float x) { return static_cast<float>(Exp(static_cast<long double>(x))); }
inline float Log(float x) { return static_cast<float>(Log(static_cast<long double>(x))); }
inline float Pow(float x, float y) {
  return static_cast<float>(Pow(static_cast<long double>(x), static_cast<long double>(y)));
}

}  // namespace math
