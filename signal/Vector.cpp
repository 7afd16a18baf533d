// Element-wise vector functions, complex splitting, windows, correlation,
// convolution, sampling.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include "Elements.h"
#include "math/Math.h"
#include "nsp.h"

namespace {

bool Bad(const void* p, int n) { return !p || n <= 0; }

template <class F>
void Map(const float* src, float* dst, int n, F f) {
  if (Bad(src, n) || !dst) return;
  for (int i = 0; i < n; ++i) dst[i] = f(src[i]);
}

// Multiplies both parts of each element by w(k), computed in double.
template <class W>
void ApplyWindow(SCplx* vec, int n, W w) {
  if (Bad(vec, n)) return;
  if (n == 1) return;  // the one-point window is 1
  const double m = n - 1;
  for (int k = 0; k < n; ++k) {
    const float f = static_cast<float>(w(k, m));
    vec[k].re *= f;
    vec[k].im *= f;
  }
}

constexpr double kTwoPi = 2 * std::numbers::pi;

void Blackman(SCplx* vec, int n, double alpha) {
  // (alpha+1)/2 - 0.5 cos a - (alpha/2) cos 2a, grouped by alpha.
  ApplyWindow(vec, n, [alpha](int k, double m) {
    const double a = kTwoPi * k / m;
    return 0.5 * (1 - math::Cos(a)) + 0.5 * alpha * (1 - math::Cos(2 * a));
  });
}

// I0(x) = sum over k of (x^2/4)^k / (k!)^2; every term is positive, so the
// sum keeps its relative accuracy. For 0 <= x <= 700.
long double BesselI0(double x) {
  const long double q = 0.25L * x * x;
  long double term = 1, sum = 1;
  for (int k = 1; term > sum * 0x1p-66L; ++k) {
    term *= q / (static_cast<long double>(k) * k);
    sum += term;
  }
  return sum;
}

// Ratio I0(a)/I0(b) for 0 <= a <= b; the asymptotic form keeps large beta finite.
double BesselRatio(double a, double b) {
  if (b <= 700) return static_cast<double>(BesselI0(a) / BesselI0(b));
  if (a <= 0) return 0;
  return math::Exp(a - b) * std::sqrt(b / a);
}

}  // namespace

// The bodies of the exports; Exports.cpp runs each in the library's
// floating-point state.
namespace nsp::unguarded {

void nspsbExp2(const float* src, float* dst, int n) {
  Map(src, dst, n, [](float x) { return element::Exp(x); });
}
void nspsbLn2(const float* src, float* dst, int n) {
  Map(src, dst, n, [](float x) { return element::Ln(x); });
}
void nspsbAbs2(const float* src, float* dst, int n) {
  Map(src, dst, n, [](float x) { return element::Abs(x); });
}
void nspsbSqr2(const float* src, float* dst, int n) {
  Map(src, dst, n, [](float x) { return element::Sqr(x); });
}
void nspsbSqrt2(const float* src, float* dst, int n) {
  Map(src, dst, n, [](float x) { return element::Sqrt(x); });
}

void nspsbThresh2(const float* src, float* dst, int n, float thresh, int relOp) {
  if (relOp == NSP_LT)
    Map(src, dst, n, [thresh](float x) { return element::ThreshBelow(x, thresh); });
  else if (relOp == NSP_GT)
    Map(src, dst, n, [thresh](float x) { return element::ThreshAbove(x, thresh); });
}

void nspsbInvThresh2(const float* src, float* dst, int n, float thresh) {
  Map(src, dst, n, [thresh](float x) { return element::InvThresh(x, thresh); });
}

void nspsbSet(float val, float* dst, int n) {
  if (Bad(dst, n)) return;
  for (int i = 0; i < n; ++i) dst[i] = val;
}

void nspsbAdd3(const float* a, const float* b, float* dst, int n) {
  if (Bad(a, n) || !b || !dst) return;
  for (int i = 0; i < n; ++i) dst[i] = element::Add(a[i], b[i]);
}

void nspsbMpy3(const float* a, const float* b, float* dst, int n) {
  if (Bad(a, n) || !b || !dst) return;
  for (int i = 0; i < n; ++i) dst[i] = element::Mpy(a[i], b[i]);
}

float nspsMin(const float* src, int n) {
  if (Bad(src, n)) return 0;
  float m = src[0];
  for (int i = 1; i < n; ++i)
    if (src[i] < m) m = src[i];
  return m;
}

int nspBitRev(int a, int order) { return element::BitRev(a, order); }

void nspcbReal(const SCplx* src, float* dst, int n) {
  if (Bad(src, n) || !dst) return;
  for (int i = 0; i < n; ++i) dst[i] = src[i].re;
}

void nspcbImag(const SCplx* src, float* dst, int n) {
  if (Bad(src, n) || !dst) return;
  for (int i = 0; i < n; ++i) dst[i] = src[i].im;
}

void nspcb2RealToCplx(const float* re, const float* im, SCplx* dst, int n) {
  if (Bad(dst, n)) return;
  for (int i = 0; i < n; ++i) dst[i] = SCplx{re ? re[i] : 0.0f, im ? im[i] : 0.0f};
}

void nspcWinBartlett(SCplx* vec, int n) {
  ApplyWindow(vec, n, [](int k, double m) { return 1 - std::fabs(2 * k / m - 1); });
}
void nspcWinHann(SCplx* vec, int n) {
  ApplyWindow(vec, n, [](int k, double m) { return 0.5 - 0.5 * math::Cos(kTwoPi * k / m); });
}
void nspcWinHamming(SCplx* vec, int n) {
  ApplyWindow(vec, n, [](int k, double m) { return 0.54 - 0.46 * math::Cos(kTwoPi * k / m); });
}
void nspcWinBlackman(SCplx* vec, int n, float alpha) { Blackman(vec, n, alpha); }
void nspcWinBlackmanStd(SCplx* vec, int n) { Blackman(vec, n, -0.16); }
void nspcWinBlackmanOpt(SCplx* vec, int n) {
  if (n < 2) return;
  const double c = math::Cos(std::numbers::pi / (n - 1));
  // M = 2 makes the alpha term's factor (1 - cos 4 pi k/M) vanish exactly.
  Blackman(vec, n, n == 3 ? 0.0 : -1 / (4 * c * c));
}
void nspcWinKaiser(SCplx* vec, int n, float beta) {
  if (!std::isfinite(beta)) return;
  const double b = std::fabs(double{beta});
  ApplyWindow(vec, n, [b](int k, double m) {
    const double t = 2 * k / m - 1;
    return BesselRatio(b * std::sqrt(std::fmax(0.0, 1 - t * t)), b);
  });
}

void nspsAutoCorr(const float* src, int len, float* dst, int nLags, int type) {
  if (Bad(src, len) || Bad(dst, nLags)) return;
  if (type < NSP_AutoNormal || type > NSP_AutoUnBiased) return;
  for (int k = 0; k < nLags; ++k) {
    if (k >= len) {
      dst[k] = 0;
      continue;
    }
    float r = 0;
    for (int i = 0; i + k < len; ++i) r += src[i] * src[i + k];
    if (type == NSP_AutoBiased) r /= static_cast<float>(len);
    if (type == NSP_AutoUnBiased) r /= static_cast<float>(len - k);
    dst[k] = r;
  }
}

void nspsConv(const float* x, int xLen, const float* h, int hLen, float* y) {
  if (Bad(x, xLen) || Bad(h, hLen) || !y) return;
  const int yLen = xLen + hLen - 1;
  for (int k = 0; k < yLen; ++k) {
    const int lo = k - hLen + 1 > 0 ? k - hLen + 1 : 0;
    const int hi = k < xLen - 1 ? k : xLen - 1;
    float s = 0;
    for (int i = lo; i <= hi; ++i) s += x[i] * h[k - i];
    y[k] = s;
  }
}

void nspsConv2D(const float* x, int xCols, int xRows, const float* h, int hCols, int hRows, float* y) {
  if (!x || !h || !y || xCols <= 0 || xRows <= 0 || hCols <= 0 || hRows <= 0) return;
  const int yCols = xCols + hCols - 1, yRows = xRows + hRows - 1;
  for (int r = 0; r < yRows; ++r)
    for (int c = 0; c < yCols; ++c) {
      float s = 0;
      for (int i = 0; i < hRows; ++i) {
        const int xr = r - i;
        if (xr < 0 || xr >= xRows) continue;
        for (int j = 0; j < hCols; ++j) {
          const int xc = c - j;
          if (xc < 0 || xc >= xCols) continue;
          s += h[i * hCols + j] * x[xr * xCols + xc];
        }
      }
      y[r * yCols + c] = s;
    }
}

void nspsFilter2D(const float* x, int xCols, int xRows, const float* h, int hCols, int hRows, float* y) {
  if (!x || !h || !y || xCols <= 0 || xRows <= 0 || hCols <= 0 || hRows <= 0) return;
  const int cr = hRows / 2, cc = hCols / 2;
  for (int r = 0; r < xRows; ++r)
    for (int c = 0; c < xCols; ++c) {
      float s = 0;
      for (int i = 0; i < hRows; ++i) {
        const int xr = r + i - cr;
        if (xr < 0 || xr >= xRows) continue;
        for (int j = 0; j < hCols; ++j) {
          const int xc = c + j - cc;
          if (xc < 0 || xc >= xCols) continue;
          s += h[i * hCols + j] * x[xr * xCols + xc];
        }
      }
      y[r * xCols + c] = s;
    }
}

void nspsUpSample(const float* src, int srcLen, float* dst, int* dstLen, int factor, int* phase) {
  if (Bad(src, srcLen) || !dst || !dstLen || !phase) return;
  if (factor < 1 || *phase < 0 || *phase >= factor) return;
  const long long total = static_cast<long long>(srcLen) * factor;
  if (total > 0x7FFFFFFF) return;
  std::memset(dst, 0, sizeof(float) * static_cast<size_t>(total));
  for (int i = 0; i < srcLen; ++i) dst[static_cast<long long>(i) * factor + *phase] = src[i];
  *dstLen = static_cast<int>(total);
}

void nspsDownSample(const float* src, int srcLen, float* dst, int* dstLen, int factor, int* phase) {
  if (Bad(src, srcLen) || !dst || !dstLen || !phase) return;
  if (factor < 1 || *phase < 0 || *phase >= factor) return;
  int count = 0;
  long long i = *phase;
  for (; i < srcLen; i += factor) dst[count++] = src[i];
  *dstLen = count;
  *phase = static_cast<int>(i - srcLen);
}

void nspcbConjExtend2(const SCplx* src, SCplx* dst, int n) {
  if (Bad(src, n) || !dst) return;
  if (dst != src) std::memmove(dst, src, sizeof(SCplx) * static_cast<size_t>(n));
  const int extra = 2 * (n / 2);
  for (int i = 0; i < extra; ++i) dst[n + i] = SCplx{dst[n - 1 - i].re, -dst[n - 1 - i].im};
}

}  // namespace nsp::unguarded
