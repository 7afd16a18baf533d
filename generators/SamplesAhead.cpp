#include "SamplesAhead.h"

#include "framework/BlockCatalogue.h"

int32_t SamplesAhead::Sample(int64_t now, int32_t kind, GeneratorParams& params, GeneratorState& state,
                             int32_t& problem) {
  const bool due = next_ < count_ && now == start_ + next_ * step_;
  if (!due) {
    int64_t step = 0;
    if (!haveLast_ || now <= last_ || __builtin_sub_overflow(now, last_, &step)) step = 0;
    const bool steady = step > 0 && step == lastStep_ && (kind == gkTone || kind == gkSine);
    lastStep_ = step;
    if (steady) Fill(now, step, kind, params, state);
  }
  last_ = now;
  haveLast_ = true;
  if (next_ < count_ && now == start_ + next_ * step_) {
    const int k = next_++;
    if (decided_[k]) {
      problem = rvpNone;
      return samples_[k];
    }
    return RoundToSample(GeneratorSample(kind, now, params, state), problem);
  }
  count_ = next_ = 0;
  return RoundedGeneratorSample(kind, now, params, state, problem);
}

void SamplesAhead::Fill(int64_t now, int64_t step, int32_t kind, const GeneratorParams& params,
                        const GeneratorState& state) {
  next_ = 0;
  start_ = now;
  step_ = step;
  std::array<int64_t, kRun> times;
  times[0] = now;
  count_ = 1;
  // The run stops short of the end of time.
  while (count_ < kRun && !__builtin_add_overflow(times[count_ - 1], step, &times[count_])) ++count_;
  EstimatedGeneratorSamples(kind, times.data(), count_, params, state, samples_.data(), decided_.data());
}
