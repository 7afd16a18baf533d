// Goertzel single-frequency DFT.
#include <cmath>
#include <memory>
#include <numbers>

#include "StateTable.h"
#include "math/Math.h"
#include "nsp.h"

namespace {

struct GoertzState : nsp::StateObject {
  static constexpr nsp::StateKind kKind = nsp::StateKind::Goertz;
  double omega = 0, cosw = 1, sinw = 0;
};

}  // namespace

// The bodies of the exports; Exports.cpp runs each in the library's
// floating-point state.
namespace nsp::unguarded {

void nspsGoertzInit(float freq, NSPSGoertzState* state) {
  if (!state) return;
  if (!std::isfinite(freq)) {
    nsp::Attach(state, nsp::StateKind::Goertz, nullptr);
    return;
  }
  auto s = std::make_unique<GoertzState>();
  // Only the fractional part matters; reducing it keeps the phase accurate.
  const double f = double{freq} - std::floor(double{freq});
  s->omega = 2 * std::numbers::pi * f;
  s->cosw = math::Cos(s->omega);
  s->sinw = math::Sin(s->omega);
  nsp::Attach(state, nsp::StateKind::Goertz, std::move(s));
}

SCplx nspsbGoertz(NSPSGoertzState* state, const float* src, int len) {
  const GoertzState* s = nsp::FindAs<GoertzState>(state);
  if (!s || !src || len <= 0) return SCplx{0, 0};
  // s[j] = x[j] + 2 cos w s[j-1] - s[j-2]; then
  // sum x[j] e^(-iwj) = e^(-iw(len-1)) (s[len-1] - e^(-iw) s[len-2]).
  const double coeff = 2 * s->cosw;
  double s1 = 0, s2 = 0;
  for (int j = 0; j < len; ++j) {
    const double s0 = src[j] + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double yr = s1 - s->cosw * s2, yi = s->sinw * s2;
  const double phase = -s->omega * (len - 1);
  const double c = math::Cos(phase), sn = math::Sin(phase);
  return SCplx{static_cast<float>(yr * c - yi * sn), static_cast<float>(yr * sn + yi * c)};
}

void nspsGoertzFree(NSPSGoertzState* state) { nsp::Release(state, nsp::StateKind::Goertz); }

}  // namespace nsp::unguarded
