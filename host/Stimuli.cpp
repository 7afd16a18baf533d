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
      // Even edges rise at phase + k * period, odd ones fall `high` later;
      // the next rise follows the last by a period (no division per edge).
      const bool rising = index_ % 2 == 0;
      ++index_;
      if (rising) {
        rise_ = next_;
        next_ += entry_.high;
        return one_;
      }
      next_ = rise_ > kNever - entry_.period ? kNever : rise_ + entry_.period;
      return zero_;
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
