// Host-made signals: a clock, a constant, a repeating pattern. Each knows
// the time of its next change and the value it takes then.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "Design.h"

class Stimulus {
 public:
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

  explicit Stimulus(const StimulusEntry& entry);
  int64_t Next() const { return next_; }
  // The value taken at Next(); moves on to the following change.
  const std::string& Fire();
  const std::string& Variable() const { return entry_.variable; }

 private:
  const StimulusEntry& entry_;
  int64_t next_ = 0;
  uint64_t index_ = 0;  // edges or pattern entries fired so far
  int64_t rise_ = 0;    // a clock's last rising edge
  std::string one_ = "1", zero_ = "0";
};
