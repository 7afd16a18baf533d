#include "ValueRanges.h"

#include <algorithm>

#include "host/engine/SteppedBlock.h"

void ValueRanges::Begin(const VariableStore& store) {
  ranges_.clear();
  for (const HostVariable& v : store.All()) {
    const int64_t x = SampleOf(v);
    ranges_.push_back({v.name, x, x});
  }
}

void ValueRanges::Sample(int64_t, const VariableStore& store) {
  const auto& all = store.All();
  for (size_t i = 0; i < all.size() && i < ranges_.size(); ++i) {
    const int64_t x = SampleOf(all[i]);
    ranges_[i].min = std::min(ranges_[i].min, x);
    ranges_[i].max = std::max(ranges_[i].max, x);
  }
}
