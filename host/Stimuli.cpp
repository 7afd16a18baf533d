#include "Stimuli.h"

Stimulus::Stimulus(const StimulusSpec& spec) : spec_(spec) {
  next_ = spec.type == StimulusType::Constant ? 0 : spec.phase;
}

const std::string& Stimulus::Fire() {
  switch (spec_.type) {
    case StimulusType::Constant:
      next_ = kNever;
      return spec_.values.front();
    case StimulusType::Clock: {
      // Even edges rise at phase + k * period, odd ones fall `high` later.
      const bool rising = index_ % 2 == 0;
      ++index_;
      const int64_t cycle = static_cast<int64_t>(index_ / 2);
      next_ = rising ? next_ + spec_.high
                     : (cycle > (kNever - spec_.phase) / spec_.period ? kNever : spec_.phase + cycle * spec_.period);
      return rising ? one_ : zero_;
    }
    case StimulusType::Pattern: {
      const std::string& v = spec_.values[index_ % spec_.values.size()];
      ++index_;
      next_ = next_ > kNever - spec_.period ? kNever : next_ + spec_.period;
      return v;
    }
  }
  return zero_;
}
