// The smallest and largest value of every variable over a run, decoded as
// the CSV decodes it: a bus in the sign mode of the block that writes it, a
// one-bit variable as 0 or 1. A sweep's table holds them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/engine/Recorder.h"

struct ValueRange {
  std::string variable;
  int64_t min = 0, max = 0;
};

class ValueRanges : public Recorder {
 public:
  explicit ValueRanges(std::function<int32_t(const std::string&)> signModeOf) : signModeOf_(std::move(signModeOf)) {}
  void Begin(const VariableStore& store) override;
  void Sample(int64_t time, const VariableStore& store) override;
  void End(int64_t) override {}
  // In the store's order.
  const std::vector<ValueRange>& Ranges() const { return ranges_; }

 private:
  std::function<int32_t(const std::string&)> signModeOf_;
  std::vector<int32_t> signModes_;
  std::vector<ValueRange> ranges_;
};
