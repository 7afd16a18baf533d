// IIR filters in transposed direct form II: one direct-form section of any
// order, or a cascade of biquads. High level (one state) and low level (tap
// state + register state).
#include <algorithm>
#include <memory>
#include <vector>

#include "BoundSteps.h"
#include "StateTable.h"
#include "nsp.h"

namespace {

using nsp::StateKind;

constexpr int kMaxOrder = 4096;
constexpr int kMaxQuads = 2048;

// Coefficients normalised by a0: b[0..order], a[1..order] (a[0] unused).
struct IirTaps {
  bool biquad = false;
  int order = 0;     // direct form
  int numQuads = 0;  // biquads
  std::vector<float> b, a;
  std::vector<char> silent;  // per section: a0 was 0, the section outputs 0

  int Registers() const { return biquad ? 2 * numQuads : order; }
};

bool MakeTaps(IirTaps& t, const float* taps, int count, bool biquad) {
  if (!taps) return false;
  if (biquad ? (count < 1 || count > kMaxQuads) : (count < 0 || count > kMaxOrder)) return false;
  t.biquad = biquad;
  const int sections = biquad ? count : 1;
  const int width = biquad ? 3 : count + 1;  // b (or a) values per section
  t.order = biquad ? 0 : count;
  t.numQuads = biquad ? count : 0;
  t.b.assign(static_cast<size_t>(sections) * width, 0.0f);
  t.a.assign(static_cast<size_t>(sections) * width, 0.0f);
  t.silent.assign(sections, 0);
  for (int s = 0; s < sections; ++s) {
    const float* b = taps + static_cast<size_t>(s) * 2 * width;
    const float* a = b + width;
    if (a[0] == 0) {
      t.silent[s] = 1;
      continue;
    }
    for (int k = 0; k < width; ++k) {
      t.b[s * width + k] = b[k] / a[0];
      t.a[s * width + k] = a[k] / a[0];
    }
  }
  return true;
}

float Step(const IirTaps& t, float* z, float x) {
  if (t.biquad) {
    for (int s = 0; s < t.numQuads; ++s) {
      float* r = z + 2 * s;
      if (t.silent[s]) {
        x = 0;
        continue;
      }
      const float* b = &t.b[3 * s];
      const float* a = &t.a[3 * s];
      const float y = b[0] * x + r[0];
      r[0] = b[1] * x - a[1] * y + r[1];
      r[1] = b[2] * x - a[2] * y;
      x = y;
    }
    return x;
  }
  if (t.silent[0]) return 0;
  const float* b = t.b.data();
  const float* a = t.a.data();
  const int n = t.order;
  if (n == 0) return b[0] * x;
  const float y = b[0] * x + z[0];
  for (int i = 0; i + 1 < n; ++i) z[i] = b[i + 1] * x - a[i + 1] * y + z[i + 1];
  z[n - 1] = b[n] * x - a[n] * y;
  return y;
}

struct IirState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::Iir;
  IirTaps taps;
  std::vector<float> z;
};

struct IirTapState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::IirTaps;
  IirTaps taps;
};

struct IirDlyState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::IirDelay;
  bool biquad = false;
  std::vector<float> z;
};

void InitHigh(const float* taps, int count, bool biquad, NSPIirState* state) {
  if (!state) return;
  auto s = std::make_unique<IirState>();
  if (MakeTaps(s->taps, taps, count, biquad))
    s->z.assign(s->taps.Registers(), 0.0f);
  else
    s.reset();
  nsp::Attach(state, StateKind::Iir, std::move(s));
}

void InitTaps(const float* taps, int count, bool biquad, NSPIirTapState* tapState) {
  if (!tapState) return;
  auto s = std::make_unique<IirTapState>();
  if (!MakeTaps(s->taps, taps, count, biquad)) s.reset();
  nsp::Attach(tapState, StateKind::IirTaps, std::move(s));
}

// The filtering calls bound to their states: nspsIir and nspsIirl without
// the look-ups.
float BoundHighStep(const RirNspBoundStep* b, float x, float) {
  auto* s = static_cast<IirState*>(b->object);
  return Step(s->taps, s->z.data(), x);
}

float BoundLowStep(const RirNspBoundStep* b, float x, float) {
  return Step(static_cast<const IirTapState*>(b->object)->taps, static_cast<IirDlyState*>(b->object2)->z.data(), x);
}

bool Fits(const IirDlyState& d, const IirTaps& t) {
  return d.biquad == t.biquad && static_cast<int>(d.z.size()) == t.Registers();
}

}  // namespace

bool nsp::BindIirStep(std::string_view name, const void* state, const void* dlyState, RirNspBoundStep& bound) {
  if (name == "nspsIir") {
    if (IirState* s = FindAs<IirState>(state)) bound = {BoundHighStep, s, nullptr};
    return true;
  }
  if (name == "nspsIirl") {
    auto* t = FindAs<IirTapState>(state);
    auto* d = FindAs<IirDlyState>(dlyState);
    if (t && d && Fits(*d, t->taps)) bound = {BoundLowStep, t, d};
    return true;
  }
  return false;
}

// The bodies of the exports; Exports.cpp runs each in the library's
// floating-point state.
namespace nsp::unguarded {

void nspsIirInit(int type, const float* taps, int order, NSPIirState* state) { InitHigh(taps, order, false, state); }

void nspsIirInitBq(int type, const float* taps, int numQuads, NSPIirState* state) {
  InitHigh(taps, numQuads, true, state);
}

float nspsIir(NSPIirState* state, float x) {
  IirState* s = nsp::FindAs<IirState>(state);
  return s ? Step(s->taps, s->z.data(), x) : 0.0f;
}

void nspsIirFree(NSPIirState* state) { nsp::Release(state, StateKind::Iir); }

void nspsIirlInit(int type, const float* taps, int order, NSPIirTapState* tapState) {
  InitTaps(taps, order, false, tapState);
}

void nspsIirlInitBq(int type, const float* taps, int numQuads, NSPIirTapState* tapState) {
  InitTaps(taps, numQuads, true, tapState);
}

void nspsIirlInitDlyl(const NSPIirTapState* tapState, const float* dlyVals, NSPIirDlyState* dlyState) {
  if (!dlyState) return;
  const IirTapState* t = nsp::FindAs<IirTapState>(tapState);
  std::unique_ptr<IirDlyState> s;
  if (t) {
    s = std::make_unique<IirDlyState>();
    s->biquad = t->taps.biquad;
    const int n = t->taps.Registers();
    if (dlyVals)
      s->z.assign(dlyVals, dlyVals + n);
    else
      s->z.assign(n, 0.0f);
  }
  nsp::Attach(dlyState, StateKind::IirDelay, std::move(s));
}

float nspsIirl(const NSPIirTapState* tapState, NSPIirDlyState* dlyState, float x) {
  const IirTapState* t = nsp::FindAs<IirTapState>(tapState);
  IirDlyState* d = nsp::FindAs<IirDlyState>(dlyState);
  if (!t || !d || !Fits(*d, t->taps)) return 0.0f;
  return Step(t->taps, d->z.data(), x);
}

void nspsIirlFree(NSPIirTapState* tapState) { nsp::Release(tapState, StateKind::IirTaps); }
void nspsIirlFreeDlyl(NSPIirDlyState* dlyState) { nsp::Release(dlyState, StateKind::IirDelay); }

}  // namespace nsp::unguarded
