// Real FFT and its CCS inverse through KissFFT, and the power spectrum.
#include <kiss_fftr.h>

#include <array>

#include "nsp.h"

static_assert(sizeof(kiss_fft_cpx) == sizeof(SCplx), "KissFFT must work on float pairs");

namespace {

constexpr int kMaxOrder = 24;

// One plan per order and direction, made on first use and kept while the
// library is loaded.
struct Plans {
  std::array<kiss_fftr_cfg, kMaxOrder + 1> forward{}, inverse{};
  ~Plans() {
    for (auto c : forward) kiss_fftr_free(c);
    for (auto c : inverse) kiss_fftr_free(c);
  }
};

Plans& ThePlans() {
  static Plans plans;
  return plans;
}

kiss_fftr_cfg Plan(int order, bool inverse) {
  auto& slot = inverse ? ThePlans().inverse[order] : ThePlans().forward[order];
  if (!slot) slot = kiss_fftr_alloc(1 << order, inverse ? 1 : 0, nullptr, nullptr);
  return slot;
}

}  // namespace

// The bodies of the exports; Exports.cpp runs each in the library's
// floating-point state.
namespace nsp::unguarded {

void nspsRealFftNip(const float* src, SCplx* dst, int order, int flags) {
  if (!src || !dst || order < 0 || order > kMaxOrder) return;
  if (order <= 1) {  // KissFFT's real transform wants at least two complex points
    if (order == 0) {
      dst[0] = SCplx{src[0], 0};
    } else {
      dst[0] = SCplx{src[0] + src[1], 0};
      dst[1] = SCplx{src[0] - src[1], 0};
    }
    return;
  }
  kiss_fftr_cfg plan = Plan(order, false);
  if (!plan) return;
  kiss_fftr(plan, src, reinterpret_cast<kiss_fft_cpx*>(dst));
}

void nspsCcsFftNip(const SCplx* src, float* dst, int order, int flags) {
  if (!src || !dst || order < 0 || order > kMaxOrder) return;
  const int n = 1 << order;
  const float scale = (flags & NSP_NoScale) ? 1.0f : 1.0f / static_cast<float>(n);
  if (order <= 1) {
    if (order == 0) {
      dst[0] = src[0].re * scale;
    } else {
      const float a = src[0].re, b = src[1].re;
      dst[0] = (a + b) * scale;
      dst[1] = (a - b) * scale;
    }
    return;
  }
  kiss_fftr_cfg plan = Plan(order, true);
  if (!plan) return;
  kiss_fftri(plan, reinterpret_cast<const kiss_fft_cpx*>(src), dst);
  if (scale != 1.0f)
    for (int i = 0; i < n; ++i) dst[i] *= scale;
}

void nspcbPowerSpectr(const SCplx* src, float* dst, int n) {
  if (!src || !dst || n <= 0) return;
  for (int i = 0; i < n; ++i) dst[i] = src[i].re * src[i].re + src[i].im * src[i].im;
}

}  // namespace nsp::unguarded
