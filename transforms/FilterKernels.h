// The filter block's arithmetic, apart from its ports and value texts: one
// table row per filter code names the library state areas of the filter
// record it keeps, how it starts them and how it filters one sample. The
// state areas are owned by the signal library, reached through its loaded
// function table.
#pragma once

#include <cstdint>

#include "framework/BlockCatalogue.h"
#include "framework/CatalogueCodes.h"
#include "numeric/ParameterRecords.h"
#include "signal/nsp.h"

// Each coefficient list of the filter record holds this many values.
constexpr int32_t kFilterMaxTaps = kRecordMaxTaps;

// The state areas of the filter record, in the order they are freed (a
// delay-line state before the tap state it was made from).
enum FilterArea : uint32_t {
  faHighFir,
  faLowFirDly,
  faLowFirTaps,
  faHighIir,
  faLowIirDly,
  faLowIirTaps,
  faHighLmsDes,
  faHighLms,
  faLowLmsDly,
  faLowLmsTaps,
  kFilterAreaCount
};
constexpr uint32_t AreaBit(FilterArea a) { return 1u << a; }

// A filtering call bound to a block's states (nsp.h).
using FilterStep = RirNspBoundStep;

// What a filtering call takes besides the sample.
enum class FilterValue : uint8_t {
  None,
  Desired,       // the desired sample
  HighLmsError,  // the High-Level LMS error the record carries; then d - r
  LowLmsError,   // the Low-Level LMS error the record carries; then d - r
};

struct FilterKind {
  CatalogueCode Code;
  uint32_t Areas;  // AreaBit of each state area the filter keeps live
  // Starts the states from the record's coefficients and delay lines.
  void (*Init)(FilterParams& p);
  // The library's call that filters one sample, the state areas it takes
  // (the second: the delay line of the low-level kinds, else
  // kFilterAreaCount) and what it takes besides the sample.
  const char* Call;
  FilterArea State, DelayState;
  FilterValue Value;
  // That call through the function table, on the areas FilterStep names.
  float (*TableCall)(const FilterStep* self, float x, float value);
  // n steps in a row, r[i] from x[i], for the kinds that read no desired
  // sample; false when the library offers no such call (then step each).
  bool (*Steps)(FilterParams& p, const float* x, float* r, int n);
};

// The kind's call on the states in p, bound to them by the library where it
// offers that, else through the function table. It holds until the states
// start again or are freed.
FilterStep BindFilterStep(const FilterKind& k, FilterParams& p);
// The same through the function table alone.
FilterStep TableFilterStep(const FilterKind& k, FilterParams& p);

// Filters sample x through `step` (d: the desired sample of the LMS kinds),
// carrying the LMS errors in p: the step of the block and of its arrays.
inline float FilterSample(const FilterKind& k, FilterParams& p, const FilterStep& step, float x, float d) {
  switch (k.Value) {
    case FilterValue::Desired:
      return step.step(&step, x, d);
    case FilterValue::HighLmsError: {
      const float r = step.step(&step, x, static_cast<float>(p.HighLmsError));
      p.HighLmsError = d - r;
      return r;
    }
    case FilterValue::LowLmsError: {
      const float r = step.step(&step, x, static_cast<float>(p.LowLmsError));
      p.LowLmsError = d - r;
      return r;
    }
    case FilterValue::None:
      break;
  }
  return step.step(&step, x, 0.0f);
}

// The row of a filter code; null for codes that filter nothing.
const FilterKind* FindFilterKind(int32_t code);

// Frees the live state areas (bits of AreaBit) in freeing order.
void FreeFilterAreas(FilterParams& p, uint32_t live);
