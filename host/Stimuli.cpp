#include "Stimuli.h"

Stimulus::Stimulus(const StimulusEntry& entry) : entry_(entry) {
  next_ = entry.type == StimulusType::Constant ? 0 : entry.phase;
}

const std::string& Stimulus::Fire() {
  switch (entry_.type) {
    case StimulusType::Constant:
      next_ = kNever;
      return entry_.values.front();
    case StimulusType::Clock: {
      // Even edges rise at phase + k * period, odd ones fall `high` later.
      const bool rising = index_ % 2 == 0;
      ++index_;
      const int64_t cycle = static_cast<int64_t>(index_ / 2);
      next_ = rising
                  ? next_ + entry_.high
                  : (cycle > (kNever - entry_.phase) / entry_.period ? kNever : entry_.phase + cycle * entry_.period);
      return rising ? one_ : zero_;
    }
    case StimulusType::Pattern: {
      const std::string& v = entry_.values[index_ % entry_.values.size()];
      ++index_;
      next_ = next_ > kNever - entry_.period ? kNever : next_ + entry_.period;
      return v;
    }
  }
  return zero_;
}
