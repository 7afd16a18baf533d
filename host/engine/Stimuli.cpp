#include "Stimuli.h"

Stimulus::Stimulus(const StimulusEntry& entry) : entry_(entry) {
  next_ = entry.type == StimulusType::Constant ? 0 : entry.phase;
  clock_ = entry.type == StimulusType::Clock;
  high_ = entry.high;
  period_ = entry.period;
}

const std::string& Stimulus::FireOther() {
  switch (entry_.type) {
    case StimulusType::Constant:
      next_ = kNever;
      return entry_.values.front();
    case StimulusType::Clock:
      break;  // inline in Fire
    case StimulusType::Pattern: {
      const std::string& v = entry_.values[index_ % entry_.values.size()];
      ++index_;
      next_ = next_ > kNever - entry_.period ? kNever : next_ + entry_.period;
      return v;
    }
  }
  return zero_;
}
