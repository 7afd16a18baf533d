// The smallest and largest sample of every variable over a run, as SampleOf
// decodes it (what the CSV shows). A sweep's table holds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/engine/Recorder.h"

struct ValueRange {
  std::string variable;
  int64_t min = 0, max = 0;
};

class ValueRanges : public Recorder {
 public:
  void Begin(const VariableStore& store) override;
  void Sample(int64_t time, const VariableStore& store) override;
  void End(int64_t) override {}
  // In the store's order.
  const std::vector<ValueRange>& Ranges() const { return ranges_; }

 private:
  std::vector<ValueRange> ranges_;
};
