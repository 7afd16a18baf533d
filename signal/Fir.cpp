// FIR filters, single-rate and multi-rate, high level (one state) and low
// level (tap state + delay-line state).
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "BoundSteps.h"
#include "DotLanes.h"
#include "Ring.h"
#include "StateTable.h"
#include "nsp.h"

namespace {

using nsp::StateKind;

constexpr int kMaxTaps = 65536;
constexpr int kMaxFactor = 65536;

struct FirTaps {
  std::vector<float> taps;
  int upFactor = 1, upPhase = 0, downFactor = 1, downPhase = 0;
};

// Inputs a block call takes into its history at a time.
int ChunkOf(int size) { return std::max(1024, size); }

struct FirLine {
  explicit FirLine(int size)
      : ring(size), history(static_cast<size_t>(size - 1 + ChunkOf(size) + nsp::kLaneGroup), 0.0f) {}
  nsp::Ring ring;
  // A block call's inputs, oldest first, after the size - 1 past ones; sized
  // once, so that a block call never allocates.
  std::vector<float> history;
  int upFactor = 1, downFactor = 1;  // the shape this line was made for
  int downCount = 0;                 // up-rate sample index modulo downFactor
  float last = 0;
};

bool ValidTaps(const float* taps, int len) { return taps && len >= 1 && len <= kMaxTaps; }
bool ValidRate(int factor, int phase) { return factor >= 1 && factor <= kMaxFactor && phase >= 0 && phase < factor; }

bool MakeTaps(FirTaps& t, const float* taps, int len, int up, int upPhase, int down, int downPhase) {
  if (!ValidTaps(taps, len) || !ValidRate(up, upPhase) || !ValidRate(down, downPhase)) return false;
  t.taps.assign(taps, taps + len);
  t.upFactor = up;
  t.upPhase = upPhase;
  t.downFactor = down;
  t.downPhase = downPhase;
  return true;
}

void ResetLine(FirLine& line, const FirTaps& t, const float* dlyVals) {
  line.ring.Load(dlyVals, static_cast<int>(t.taps.size()));
  line.upFactor = t.upFactor;
  line.downFactor = t.downFactor;
  line.downCount = 0;
  line.last = 0;
}

bool Fits(const FirLine& line, const FirTaps& t) {
  return line.ring.Size() == static_cast<int>(t.taps.size()) && line.upFactor == t.upFactor &&
         line.downFactor == t.downFactor;
}

bool SingleRate(const FirTaps& t) { return t.upFactor == 1 && t.downFactor == 1; }

// One input through a single-rate line: the window is read before the input
// is stored (nsp::DotNewest).
float StepSingleRate(const FirTaps& t, FirLine& line, float x) {
  line.last = nsp::DotNewest(t.taps.data(), x, line.ring.NextPast(), static_cast<int>(t.taps.size()));
  line.ring.Push(x);
  return line.last;
}

// One input through any line.
float Step(const FirTaps& t, FirLine& line, float x) {
  if (SingleRate(t)) return StepSingleRate(t, line, x);
  const int n = static_cast<int>(t.taps.size());
  for (int u = 0; u < t.upFactor; ++u) {
    const float in = u == t.upPhase ? x : 0.0f;
    if (line.downCount == t.downPhase) line.last = nsp::DotNewest(t.taps.data(), in, line.ring.NextPast(), n);
    line.ring.Push(in);
    if (++line.downCount == t.downFactor) line.downCount = 0;
  }
  return line.last;
}

// dst[i] = Step(t, line, src[i]) for i < n; single-rate lines compute many
// outputs at once (src may be dst: each chunk is read before it is written).
void StepBlock(const FirTaps& t, FirLine& line, const float* src, float* dst, int n) {
  if (!SingleRate(t)) {
    for (int i = 0; i < n; ++i) dst[i] = Step(t, line, src[i]);
    return;
  }
  const int size = line.ring.Size();
  const int past = size - 1;
  const int chunk = ChunkOf(size);
  float* h = line.history.data();
  const float* newest = line.ring.Newest();
  for (int j = 0; j < past; ++j) h[j] = newest[past - 1 - j];
  for (int i = 0; i < n; i += chunk) {
    const int c = std::min(chunk, n - i);
    std::memcpy(h + past, src + i, sizeof(float) * static_cast<size_t>(c));
    nsp::DotSlide(t.taps.data(), size, h, dst + i, c);
    std::memmove(h, h + c, sizeof(float) * static_cast<size_t>(past));
  }
  // Only the past inputs of the next output matter to the ring.
  for (int j = 0; j < past; ++j) line.ring.Push(h[j]);
  if (n > 0) line.last = dst[n - 1];
}

struct FirState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::Fir;
  explicit FirState(int size) : line(size) {}
  FirTaps taps;
  FirLine line;
};

struct FirTapState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::FirTaps;
  FirTaps taps;
};

struct FirDlyState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::FirDelay;
  explicit FirDlyState(int size) : line(size) {}
  FirLine line;
};

void InitHigh(const float* taps, int len, const float* dlyVals, int up, int upPhase, int down, int downPhase,
              NSPFirState* state) {
  if (!state) return;
  std::unique_ptr<FirState> s;
  if (ValidTaps(taps, len)) {
    s = std::make_unique<FirState>(len);
    if (MakeTaps(s->taps, taps, len, up, upPhase, down, downPhase))
      ResetLine(s->line, s->taps, dlyVals);
    else
      s.reset();
  }
  nsp::Attach(state, StateKind::Fir, std::move(s));
}

void InitTaps(const float* taps, int len, int up, int upPhase, int down, int downPhase, NSPFirTapState* tapState) {
  if (!tapState) return;
  auto s = std::make_unique<FirTapState>();
  if (!MakeTaps(s->taps, taps, len, up, upPhase, down, downPhase)) s.reset();
  nsp::Attach(tapState, StateKind::FirTaps, std::move(s));
}

// The filtering calls bound to their states: nspsFir and nspsFirl without
// the look-ups, and without the multi-rate paths for single-rate taps.
template <float (*S)(const FirTaps&, FirLine&, float)>
float BoundHighStep(const RirNspBoundStep* b, float x, float) {
  auto* s = static_cast<FirState*>(b->object);
  return S(s->taps, s->line, x);
}

template <float (*S)(const FirTaps&, FirLine&, float)>
float BoundLowStep(const RirNspBoundStep* b, float x, float) {
  return S(static_cast<const FirTapState*>(b->object)->taps, static_cast<FirDlyState*>(b->object2)->line, x);
}

}  // namespace

bool nsp::BindFirStep(std::string_view name, const void* state, const void* dlyState, RirNspBoundStep& bound) {
  if (name == "nspsFir") {
    if (FirState* s = FindAs<FirState>(state))
      bound = {SingleRate(s->taps) ? BoundHighStep<StepSingleRate> : BoundHighStep<Step>, s, nullptr};
    return true;
  }
  if (name == "nspsFirl") {
    auto* t = FindAs<FirTapState>(state);
    auto* d = FindAs<FirDlyState>(dlyState);
    if (t && d && Fits(d->line, t->taps))
      bound = {SingleRate(t->taps) ? BoundLowStep<StepSingleRate> : BoundLowStep<Step>, t, d};
    return true;
  }
  return false;
}

// The bodies of the exports; Exports.cpp runs each in the library's
// floating-point state.
namespace nsp::unguarded {

void nspsFirInit(const float* taps, int tapsLen, const float* dlyVals, NSPFirState* state) {
  InitHigh(taps, tapsLen, dlyVals, 1, 0, 1, 0, state);
}

void nspsFirInitMr(const float* taps, int tapsLen, const float* dlyVals, int upFactor, int upPhase, int downFactor,
                   int downPhase, NSPFirState* state) {
  InitHigh(taps, tapsLen, dlyVals, upFactor, upPhase, downFactor, downPhase, state);
}

float nspsFir(NSPFirState* state, float x) {
  FirState* s = nsp::FindAs<FirState>(state);
  return s ? Step(s->taps, s->line, x) : 0.0f;
}

void nspsbFir(NSPFirState* state, const float* src, float* dst, int n) {
  if (!src || !dst || n <= 0) return;
  FirState* s = nsp::FindAs<FirState>(state);
  if (s)
    StepBlock(s->taps, s->line, src, dst, n);
  else
    std::fill(dst, dst + n, 0.0f);
}

void nspsFirFree(NSPFirState* state) { nsp::Release(state, StateKind::Fir); }

void nspsFirlInit(const float* taps, int tapsLen, NSPFirTapState* tapState) {
  InitTaps(taps, tapsLen, 1, 0, 1, 0, tapState);
}

void nspsFirlInitMr(const float* taps, int tapsLen, int upFactor, int upPhase, int downFactor, int downPhase,
                    NSPFirTapState* tapState) {
  InitTaps(taps, tapsLen, upFactor, upPhase, downFactor, downPhase, tapState);
}

void nspsFirlInitDlyl(const NSPFirTapState* tapState, const float* dlyVals, NSPFirDlyState* dlyState) {
  if (!dlyState) return;
  const FirTapState* t = nsp::FindAs<FirTapState>(tapState);
  std::unique_ptr<FirDlyState> s;
  if (t) {
    s = std::make_unique<FirDlyState>(static_cast<int>(t->taps.taps.size()));
    ResetLine(s->line, t->taps, dlyVals);
  }
  nsp::Attach(dlyState, StateKind::FirDelay, std::move(s));
}

void nspsFirlSetDlyl(const NSPFirTapState* tapState, const float* dlyVals, NSPFirDlyState* dlyState) {
  const FirTapState* t = nsp::FindAs<FirTapState>(tapState);
  FirDlyState* d = nsp::FindAs<FirDlyState>(dlyState);
  if (t && d && Fits(d->line, t->taps)) ResetLine(d->line, t->taps, dlyVals);
}

float nspsFirl(const NSPFirTapState* tapState, NSPFirDlyState* dlyState, float x) {
  const FirTapState* t = nsp::FindAs<FirTapState>(tapState);
  FirDlyState* d = nsp::FindAs<FirDlyState>(dlyState);
  if (!t || !d || !Fits(d->line, t->taps)) return 0.0f;
  return Step(t->taps, d->line, x);
}

void nspsbFirl(const NSPFirTapState* tapState, NSPFirDlyState* dlyState, const float* src, float* dst, int n) {
  if (!src || !dst || n <= 0) return;
  const FirTapState* t = nsp::FindAs<FirTapState>(tapState);
  FirDlyState* d = nsp::FindAs<FirDlyState>(dlyState);
  if (t && d && Fits(d->line, t->taps))
    StepBlock(t->taps, d->line, src, dst, n);
  else
    std::fill(dst, dst + n, 0.0f);
}

void nspsFirlFree(NSPFirTapState* tapState) { nsp::Release(tapState, StateKind::FirTaps); }
void nspsFirlFreeDlyl(NSPFirDlyState* dlyState) { nsp::Release(dlyState, StateKind::FirDelay); }

}  // namespace nsp::unguarded
