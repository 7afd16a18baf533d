#include "ValueRanges.h"

#include <algorithm>

#include "host/engine/InProcessHost.h"
#include "numeric/ValueText.h"

namespace {
int64_t Decoded(const HostVariable& v, int32_t signMode) {
  if (v.width == 1) return v.value == "1" ? 1 : 0;
  return DecodeValueText(signMode, v.value);
}
}  // namespace

void ValueRanges::Begin(const VariableStore& store) {
  ranges_.clear();
  signModes_.clear();
  for (const HostVariable& v : store.All()) {
    signModes_.push_back(signModeOf_(v.name));
    const int64_t x = Decoded(v, signModes_.back());
    ranges_.push_back({v.name, x, x});
  }
}

void ValueRanges::Sample(int64_t, const VariableStore& store) {
  const auto& all = store.All();
  for (size_t i = 0; i < all.size() && i < ranges_.size(); ++i) {
    const int64_t x = Decoded(all[i], signModes_[i]);
    ranges_[i].min = std::min(ranges_[i].min, x);
    ranges_[i].max = std::max(ranges_[i].max, x);
  }
}
