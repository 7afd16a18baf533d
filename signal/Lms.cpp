// Leaky LMS adaptive filters, single-rate and down-sampling, high level (one
// state) and low level (tap state + delay-line state).
#include <cmath>
#include <memory>
#include <vector>

#include "BoundSteps.h"
#include "Ring.h"
#include "StateTable.h"
#include "nsp.h"

namespace {

using nsp::StateKind;

constexpr int kMaxTaps = 65536;
constexpr long long kMaxHistory = 1 << 20;

struct LmsTaps {
  std::vector<float> h;
  float step = 0, leak = 0;
  int errDly = 1;  // in outputs, at least 1
  int downFactor = 1, downPhase = 0;

  // Inputs kept: the newest one and those of the output errDly outputs back.
  int History() const { return errDly * downFactor + static_cast<int>(h.size()); }
};

struct LmsLine {
  explicit LmsLine(int size) : ring(size) {}
  nsp::Ring ring;
  int taps = 0, errDly = 1, downFactor = 1;  // the shape this line was made for
  int count = 0;                             // inputs since init, modulo downFactor
  float last = 0;
  bool adapt = true;
};

bool MakeTaps(LmsTaps& t, const float* taps, int len, float step, float leak, int errDly, int down, int downPhase) {
  if (!taps || len < 1 || len > kMaxTaps || !std::isfinite(step) || !std::isfinite(leak)) return false;
  if (down < 1 || downPhase < 0 || downPhase >= down) return false;
  const long long d = errDly < 1 ? 1 : errDly;
  if (d * down + len > kMaxHistory) return false;
  t.h.assign(taps, taps + len);
  t.step = step;
  t.leak = leak;
  t.errDly = static_cast<int>(d);
  t.downFactor = down;
  t.downPhase = downPhase;
  return true;
}

void ResetLine(LmsLine& line, const LmsTaps& t, const float* dlyVals, bool adapt) {
  line.ring.Load(dlyVals, static_cast<int>(t.h.size()));
  line.taps = static_cast<int>(t.h.size());
  line.errDly = t.errDly;
  line.downFactor = t.downFactor;
  line.count = 0;
  line.last = 0;
  line.adapt = adapt;
}

bool Fits(const LmsLine& line, const LmsTaps& t) {
  return line.taps == static_cast<int>(t.h.size()) && line.errDly == t.errDly && line.downFactor == t.downFactor &&
         line.ring.Size() == t.History();
}

// h[k] <- (1 - 2 mu lambda) h[k] + 2 mu e x[k], x the inputs of the output
// that e belongs to, most recent first: x[0] = newest, x[k] = rest[k - 1].
void Adapt(LmsTaps& t, float newest, const float* rest, float e) {
  const float keep = 1.0f - 2.0f * t.step * t.leak;
  const float g = 2.0f * t.step * e;
  float* h = t.h.data();
  const int n = static_cast<int>(t.h.size());
  h[0] = keep * h[0] + g * newest;
  for (int k = 1; k < n; ++k) h[k] = keep * h[k] + g * rest[k - 1];
}

enum class Mode { Error, Desired, Fixed };

// The window w of this input is {x, past[0], past[1], ...}; it is read before
// x is stored (nsp::DotNewest).
float Step(LmsTaps& t, LmsLine& line, float x, float value, Mode mode) {
  const float* past = line.ring.NextPast();
  const bool due = line.count == t.downPhase;
  if (++line.count == t.downFactor) line.count = 0;
  if (!due) {
    line.ring.Push(x);
    return line.last;
  }
  const int n = static_cast<int>(t.h.size());
  float y;
  if (mode == Mode::Error) {
    // The inputs of the output errDly outputs back start at w[errDly * downFactor].
    const int back = t.errDly * t.downFactor;
    if (line.adapt) Adapt(t, past[back - 1], past + back, value);
    y = nsp::DotNewest(t.h.data(), x, past, n);
  } else {
    y = nsp::DotNewest(t.h.data(), x, past, n);
    if (mode == Mode::Desired && line.adapt) Adapt(t, x, past, value - y);
  }
  line.ring.Push(x);
  line.last = y;
  return y;
}

struct LmsState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::Lms;
  explicit LmsState(int size) : line(size) {}
  LmsTaps taps;
  LmsLine line;
};

struct LmsTapState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::LmsTaps;
  LmsTaps taps;
};

struct LmsDlyState : nsp::StateObject {
  static constexpr StateKind kKind = StateKind::LmsDelay;
  explicit LmsDlyState(int size) : line(size) {}
  LmsLine line;
};

void InitHigh(const float* taps, int len, const float* dlyVals, float step, float leak, int errDly, int down,
              int downPhase, NSPLmsState* state) {
  if (!state) return;
  LmsTaps t;
  std::unique_ptr<LmsState> s;
  if (MakeTaps(t, taps, len, step, leak, errDly, down, downPhase)) {
    s = std::make_unique<LmsState>(t.History());
    s->taps = std::move(t);
    ResetLine(s->line, s->taps, dlyVals, true);
  }
  nsp::Attach(state, StateKind::Lms, std::move(s));
}

void InitTaps(const float* taps, int len, float step, float leak, int errDly, int down, int downPhase,
              NSPLmsTapState* tapState) {
  if (!tapState) return;
  auto s = std::make_unique<LmsTapState>();
  if (!MakeTaps(s->taps, taps, len, step, leak, errDly, down, downPhase)) s.reset();
  nsp::Attach(tapState, StateKind::LmsTaps, std::move(s));
}

// The tap state as the filtering calls see it; adapting calls need it mutable.
LmsTapState* Taps(const NSPLmsTapState* tapState) { return nsp::FindAs<LmsTapState>(tapState); }

float LowStep(const NSPLmsTapState* tapState, NSPLmsDlyState* dlyState, float x, float value, Mode mode) {
  LmsTapState* t = Taps(tapState);
  LmsDlyState* d = nsp::FindAs<LmsDlyState>(dlyState);
  if (!t || !d || !Fits(d->line, t->taps)) return 0.0f;
  return Step(t->taps, d->line, x, value, mode);
}

// The filtering calls bound to their states: the LMS calls without the
// look-ups.
template <Mode M>
float BoundHighStep(const RirNspBoundStep* b, float x, float value) {
  auto* s = static_cast<LmsState*>(b->object);
  return Step(s->taps, s->line, x, value, M);
}

template <Mode M>
float BoundLowStep(const RirNspBoundStep* b, float x, float value) {
  return Step(static_cast<LmsTapState*>(b->object)->taps, static_cast<LmsDlyState*>(b->object2)->line, x, value, M);
}

}  // namespace

bool nsp::BindLmsStep(std::string_view name, const void* state, const void* dlyState, RirNspBoundStep& bound) {
  const bool high = name == "nspsLms" || name == "nspsLmsDes";
  if (high) {
    if (LmsState* s = FindAs<LmsState>(state))
      bound = {name == "nspsLms" ? BoundHighStep<Mode::Error> : BoundHighStep<Mode::Desired>, s, nullptr};
    return true;
  }
  if (name == "nspsLmsl" || name == "nspsLmslNa") {
    LmsTapState* t = Taps(static_cast<const NSPLmsTapState*>(state));
    auto* d = FindAs<LmsDlyState>(dlyState);
    if (t && d && Fits(d->line, t->taps))
      bound = {name == "nspsLmsl" ? BoundLowStep<Mode::Error> : BoundLowStep<Mode::Fixed>, t, d};
    return true;
  }
  return false;
}

// The bodies of the exports; Exports.cpp runs each in the library's
// floating-point state.
namespace nsp::unguarded {

void nspsLmsInit(int type, const float* taps, int tapsLen, const float* dlyVals, float step, float leak, int errDly,
                 NSPLmsState* state) {
  InitHigh(taps, tapsLen, dlyVals, step, leak, errDly, 1, 0, state);
}

void nspsLmsInitMr(int type, const float* taps, int tapsLen, const float* dlyVals, float step, float leak, int errDly,
                   int downFactor, int downPhase, NSPLmsState* state) {
  InitHigh(taps, tapsLen, dlyVals, step, leak, errDly, downFactor, downPhase, state);
}

float nspsLms(NSPLmsState* state, float x, float err) {
  LmsState* s = nsp::FindAs<LmsState>(state);
  return s ? Step(s->taps, s->line, x, err, Mode::Error) : 0.0f;
}

float nspsLmsDes(NSPLmsState* state, float x, float desired) {
  LmsState* s = nsp::FindAs<LmsState>(state);
  return s ? Step(s->taps, s->line, x, desired, Mode::Desired) : 0.0f;
}

void nspsLmsFree(NSPLmsState* state) { nsp::Release(state, StateKind::Lms); }

void nspsLmslInit(int type, const float* taps, int tapsLen, float step, float leak, int errDly,
                  NSPLmsTapState* tapState) {
  InitTaps(taps, tapsLen, step, leak, errDly, 1, 0, tapState);
}

void nspsLmslInitMr(int type, const float* taps, int tapsLen, float step, float leak, int errDly, int downFactor,
                    int downPhase, NSPLmsTapState* tapState) {
  InitTaps(taps, tapsLen, step, leak, errDly, downFactor, downPhase, tapState);
}

void nspsLmslInitDlyl(const NSPLmsTapState* tapState, const float* dlyVals, int adapt, NSPLmsDlyState* dlyState) {
  if (!dlyState) return;
  const LmsTapState* t = Taps(tapState);
  std::unique_ptr<LmsDlyState> s;
  if (t) {
    s = std::make_unique<LmsDlyState>(t->taps.History());
    ResetLine(s->line, t->taps, dlyVals, adapt != 0);
  }
  nsp::Attach(dlyState, StateKind::LmsDelay, std::move(s));
}

float nspsLmsl(NSPLmsTapState* tapState, NSPLmsDlyState* dlyState, float x, float err) {
  return LowStep(tapState, dlyState, x, err, Mode::Error);
}

float nspsLmslNa(const NSPLmsTapState* tapState, NSPLmsDlyState* dlyState, float x) {
  return LowStep(tapState, dlyState, x, 0.0f, Mode::Fixed);
}

void nspsLmslFree(NSPLmsTapState* tapState) { nsp::Release(tapState, StateKind::LmsTaps); }
void nspsLmslFreeDlyl(NSPLmsDlyState* dlyState) { nsp::Release(dlyState, StateKind::LmsDelay); }

}  // namespace nsp::unguarded
