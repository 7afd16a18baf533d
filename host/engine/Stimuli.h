// Host-made signals: a clock, a constant, a repeating pattern. Each knows
// the time of its next change and the value it takes then.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "host/design/Design.h"

class Stimulus {
 public:
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

  explicit Stimulus(const StimulusEntry& entry);
  int64_t Next() const { return next_; }
  // The value taken at Next(); moves on to the following change.
  const std::string& Fire() { return clock_ ? (FireClock() == '1' ? one_ : zero_) : FireOther(); }
  bool IsClock() const { return clock_; }
  // Fire for a clock: '1' on a rising edge, else '0'.
  char FireClock() {
    // Even edges rise at phase + k * period, odd ones fall `high` later;
    // the next rise follows the last by a period (no division per edge).
    rising_ = !rising_;
    if (rising_) {
      rise_ = next_;
      next_ += high_;
      return '1';
    }
    next_ = rise_ > kNever - period_ ? kNever : rise_ + period_;
    return '0';
  }
  const std::string& Variable() const { return entry_.variable; }

 private:
  const std::string& FireOther();

  const StimulusEntry& entry_;
  int64_t next_ = 0;
  uint64_t index_ = 0;  // pattern entries fired so far
  int64_t rise_ = 0;    // a clock's last rising edge
  bool clock_ = false;
  bool rising_ = false;  // the last edge fired rose
  int64_t high_ = 0, period_ = 0;
  std::string one_ = "1", zero_ = "0";
};
