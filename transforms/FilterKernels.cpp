#include "FilterKernels.h"

#include <algorithm>
#include <cstddef>

#include "numeric/Init_NSPDLL.h"

namespace {
// The record is packed: its areas and lists are reached through their offsets.
template <typename T>
T* At(FilterParams& p, size_t offset) {
  return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(&p) + offset);
}

struct AreaRow {
  size_t Offset;
  void (*Free)(void* state);
};

// Indexed by FilterArea.
constexpr AreaRow kAreas[kFilterAreaCount] = {
    {offsetof(FilterParams, HighFirState), [](void* s) { NspTable.nspsFirFree(static_cast<NSPFirState*>(s)); }},
    {offsetof(FilterParams, LowFirDlyState),
     [](void* s) { NspTable.nspsFirlFreeDlyl(static_cast<NSPFirDlyState*>(s)); }},
    {offsetof(FilterParams, LowFirTapState), [](void* s) { NspTable.nspsFirlFree(static_cast<NSPFirTapState*>(s)); }},
    {offsetof(FilterParams, HighIirState), [](void* s) { NspTable.nspsIirFree(static_cast<NSPIirState*>(s)); }},
    {offsetof(FilterParams, LowIirDlyState),
     [](void* s) { NspTable.nspsIirlFreeDlyl(static_cast<NSPIirDlyState*>(s)); }},
    {offsetof(FilterParams, LowIirTapState), [](void* s) { NspTable.nspsIirlFree(static_cast<NSPIirTapState*>(s)); }},
    {offsetof(FilterParams, HighLmsDesState), [](void* s) { NspTable.nspsLmsFree(static_cast<NSPLmsState*>(s)); }},
    {offsetof(FilterParams, HighLmsState), [](void* s) { NspTable.nspsLmsFree(static_cast<NSPLmsState*>(s)); }},
    {offsetof(FilterParams, LowLmsDlyState),
     [](void* s) { NspTable.nspsLmslFreeDlyl(static_cast<NSPLmsDlyState*>(s)); }},
    {offsetof(FilterParams, LowLmsTapState), [](void* s) { NspTable.nspsLmslFree(static_cast<NSPLmsTapState*>(s)); }},
};

template <typename T>
T* State(FilterParams& p, FilterArea a) {
  return At<T>(p, kAreas[a].Offset);
}

// The coefficient and delay-line lists. They hold kFilterMaxTaps values: a
// larger count in a stored record must not make the library read past them.
struct Lists {
  const float *FirTaps, *FirDelay, *IirTaps, *IirDelay, *LmsTaps, *LmsDelay;
  int32_t FirCount, IirCount, LmsCount;
  int32_t IirOrder;
};

Lists ListsOf(FilterParams& p) {
  Lists l{};
  l.FirTaps = At<const float>(p, offsetof(FilterParams, FirTaps));
  l.FirDelay = At<const float>(p, offsetof(FilterParams, FirDelay));
  l.IirTaps = At<const float>(p, offsetof(FilterParams, IirTaps));
  l.IirDelay = At<const float>(p, offsetof(FilterParams, IirDelay));
  l.LmsTaps = At<const float>(p, offsetof(FilterParams, LmsTaps));
  l.LmsDelay = At<const float>(p, offsetof(FilterParams, LmsDelay));
  l.FirCount = std::clamp(p.FirTapsCount, 0, kFilterMaxTaps);
  l.IirCount = std::clamp(p.IirTapsCount, 0, kFilterMaxTaps);
  l.LmsCount = std::clamp(p.LmsTapsCount, 0, kFilterMaxTaps);
  l.IirOrder = p.IirBiquad != 0 ? l.IirCount / 6 : (l.IirCount - 2) / 2;
  return l;
}

void InitHighFir(FilterParams& p) {
  const Lists l = ListsOf(p);
  auto* state = State<NSPFirState>(p, faHighFir);
  if (p.FirMultiRate != 0) {
    NspTable.nspsFirInitMr(l.FirTaps, l.FirCount, l.FirDelay, p.FirUpFactor, p.FirUpPhase, p.FirDownFactor,
                           p.FirDownPhase, state);
  } else {
    NspTable.nspsFirInit(l.FirTaps, l.FirCount, l.FirDelay, state);
  }
}

void InitLowFir(FilterParams& p) {
  const Lists l = ListsOf(p);
  auto* taps = State<NSPFirTapState>(p, faLowFirTaps);
  auto* dly = State<NSPFirDlyState>(p, faLowFirDly);
  if (p.FirMultiRate != 0) {
    NspTable.nspsFirlInitMr(l.FirTaps, l.FirCount, p.FirUpFactor, p.FirUpPhase, p.FirDownFactor, p.FirDownPhase, taps);
  } else {
    NspTable.nspsFirlInit(l.FirTaps, l.FirCount, taps);
  }
  NspTable.nspsFirlInitDlyl(taps, l.FirDelay, dly);
  NspTable.nspsFirlSetDlyl(taps, l.FirDelay, dly);
}

// The IIR type passed to the library is always 1.
void InitHighIir(FilterParams& p) {
  const Lists l = ListsOf(p);
  auto* state = State<NSPIirState>(p, faHighIir);
  if (p.IirBiquad != 0) {
    NspTable.nspsIirInitBq(1, l.IirTaps, l.IirOrder, state);
  } else {
    NspTable.nspsIirInit(1, l.IirTaps, l.IirOrder, state);
  }
}

void InitLowIir(FilterParams& p) {
  const Lists l = ListsOf(p);
  auto* taps = State<NSPIirTapState>(p, faLowIirTaps);
  auto* dly = State<NSPIirDlyState>(p, faLowIirDly);
  if (p.IirBiquad != 0) {
    NspTable.nspsIirlInitBq(1, l.IirTaps, l.IirOrder, taps);
  } else {
    NspTable.nspsIirlInit(1, l.IirTaps, l.IirOrder, taps);
  }
  NspTable.nspsIirlInitDlyl(taps, l.IirDelay, dly);
}

// High-Level LMS and LMS DES differ only in their area.
template <FilterArea A>
void InitHighLms(FilterParams& p) {
  const Lists l = ListsOf(p);
  auto* state = State<NSPLmsState>(p, A);
  if (p.LmsMultiRate == 1) {
    NspTable.nspsLmsInitMr(p.LmsType, l.LmsTaps, l.LmsCount, l.LmsDelay, p.LmsStep, p.LmsLeak, p.LmsErrDly,
                           p.LmsDownFactor, p.LmsDownPhase, state);
  } else {
    NspTable.nspsLmsInit(p.LmsType, l.LmsTaps, l.LmsCount, l.LmsDelay, p.LmsStep, p.LmsLeak, p.LmsErrDly, state);
  }
  p.HighLmsError = 0.0;
}

// The Low-Level LMS error is carried over a reload.
void InitLowLms(FilterParams& p) {
  const Lists l = ListsOf(p);
  auto* taps = State<NSPLmsTapState>(p, faLowLmsTaps);
  auto* dly = State<NSPLmsDlyState>(p, faLowLmsDly);
  if (p.LmsMultiRate == 1) {
    NspTable.nspsLmslInitMr(p.LmsType, l.LmsTaps, l.LmsCount, p.LmsStep, p.LmsLeak, p.LmsErrDly, p.LmsDownFactor,
                            p.LmsDownPhase, taps);
  } else {
    NspTable.nspsLmslInit(p.LmsType, l.LmsTaps, l.LmsCount, p.LmsStep, p.LmsLeak, p.LmsErrDly, taps);
  }
  NspTable.nspsLmslInitDlyl(taps, l.LmsDelay, p.LmsAdaptive, dly);
}

// The filtering calls through the function table.
float TableHighFir(const FilterStep* s, float x, float) {
  return NspTable.nspsFir(static_cast<NSPFirState*>(s->object), x);
}

float TableLowFir(const FilterStep* s, float x, float) {
  return NspTable.nspsFirl(static_cast<NSPFirTapState*>(s->object), static_cast<NSPFirDlyState*>(s->object2), x);
}

float TableHighIir(const FilterStep* s, float x, float) {
  return NspTable.nspsIir(static_cast<NSPIirState*>(s->object), x);
}

float TableLowIir(const FilterStep* s, float x, float) {
  return NspTable.nspsIirl(static_cast<NSPIirTapState*>(s->object), static_cast<NSPIirDlyState*>(s->object2), x);
}

float TableHighLms(const FilterStep* s, float x, float err) {
  return NspTable.nspsLms(static_cast<NSPLmsState*>(s->object), x, err);
}

float TableHighLmsDes(const FilterStep* s, float x, float desired) {
  return NspTable.nspsLmsDes(static_cast<NSPLmsState*>(s->object), x, desired);
}

float TableLowLms(const FilterStep* s, float x, float err) {
  return NspTable.nspsLmsl(static_cast<NSPLmsTapState*>(s->object), static_cast<NSPLmsDlyState*>(s->object2), x, err);
}

float TableLowLmsNa(const FilterStep* s, float x, float) {
  return NspTable.nspsLmslNa(static_cast<NSPLmsTapState*>(s->object), static_cast<NSPLmsDlyState*>(s->object2), x);
}

bool StepsHighFir(FilterParams& p, const float* x, float* r, int n) {
  if (NspTable.nspsbFir == nullptr) return false;
  NspTable.nspsbFir(State<NSPFirState>(p, faHighFir), x, r, n);
  return true;
}

bool StepsLowFir(FilterParams& p, const float* x, float* r, int n) {
  if (NspTable.nspsbFirl == nullptr) return false;
  NspTable.nspsbFirl(State<NSPFirTapState>(p, faLowFirTaps), State<NSPFirDlyState>(p, faLowFirDly), x, r, n);
  return true;
}

constexpr uint32_t kLowFir = AreaBit(faLowFirTaps) | AreaBit(faLowFirDly);
constexpr uint32_t kLowIir = AreaBit(faLowIirTaps) | AreaBit(faLowIirDly);
constexpr uint32_t kLowLms = AreaBit(faLowLmsTaps) | AreaBit(faLowLmsDly);

constexpr FilterArea kNone = kFilterAreaCount;
constexpr FilterKind kKinds[] = {
    {ccHighLevelFir, AreaBit(faHighFir), InitHighFir, "nspsFir", faHighFir, kNone, FilterValue::None, TableHighFir,
     StepsHighFir},
    {ccLowLevelFir, kLowFir, InitLowFir, "nspsFirl", faLowFirTaps, faLowFirDly, FilterValue::None, TableLowFir,
     StepsLowFir},
    {ccHighLevelIir, AreaBit(faHighIir), InitHighIir, "nspsIir", faHighIir, kNone, FilterValue::None, TableHighIir,
     nullptr},
    {ccLowLevelIir, kLowIir, InitLowIir, "nspsIirl", faLowIirTaps, faLowIirDly, FilterValue::None, TableLowIir,
     nullptr},
    {ccHighLevelLms, AreaBit(faHighLms), InitHighLms<faHighLms>, "nspsLms", faHighLms, kNone, FilterValue::HighLmsError,
     TableHighLms, nullptr},
    {ccHighLevelLmsDes, AreaBit(faHighLmsDes), InitHighLms<faHighLmsDes>, "nspsLmsDes", faHighLmsDes, kNone,
     FilterValue::Desired, TableHighLmsDes, nullptr},
    {ccLowLevelLms, kLowLms, InitLowLms, "nspsLmsl", faLowLmsTaps, faLowLmsDly, FilterValue::LowLmsError, TableLowLms,
     nullptr},
    {ccLowLevelLmsNa, kLowLms, InitLowLms, "nspsLmslNa", faLowLmsTaps, faLowLmsDly, FilterValue::None, TableLowLmsNa,
     nullptr},
};
}  // namespace

const FilterKind* FindFilterKind(int32_t code) {
  for (const FilterKind& k : kKinds) {
    if (k.Code == code) return &k;
  }
  return nullptr;
}

void FreeFilterAreas(FilterParams& p, uint32_t live) {
  for (uint32_t a = 0; a < kFilterAreaCount; ++a) {
    if (live & AreaBit(static_cast<FilterArea>(a))) kAreas[a].Free(At<void>(p, kAreas[a].Offset));
  }
}

FilterStep TableFilterStep(const FilterKind& k, FilterParams& p) {
  void* delayState = k.DelayState != kNone ? State<void>(p, k.DelayState) : nullptr;
  return FilterStep{k.TableCall, State<void>(p, k.State), delayState};
}

FilterStep BindFilterStep(const FilterKind& k, FilterParams& p) {
  FilterStep bound{};
  const FilterStep table = TableFilterStep(k, p);
  if (NspTable.BindStep != nullptr && NspTable.BindStep(k.Call, table.object, table.object2, &bound) != 0) return bound;
  return table;
}
