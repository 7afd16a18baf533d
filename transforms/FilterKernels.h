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

struct FilterKind {
  CatalogueCode Code;
  uint32_t Areas;  // AreaBit of each state area the filter keeps live
  // Starts the states from the record's coefficients and delay lines.
  void (*Init)(FilterParams& p);
  // Filters sample x; d is the desired sample of the LMS kinds.
  float (*Step)(FilterParams& p, float x, float d);
  // n Steps in a row, r[i] from x[i], for the kinds that read no desired
  // sample; false when the library offers no such call (then Step each).
  bool (*Steps)(FilterParams& p, const float* x, float* r, int n);
};

// The row of a filter code; null for codes that filter nothing.
const FilterKind* FindFilterKind(int32_t code);

// Frees the live state areas (bits of AreaBit) in freeing order.
void FreeFilterAreas(FilterParams& p, uint32_t live);
