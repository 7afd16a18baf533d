// A clocked generator's sine samples formed a run ahead. One estimate is a
// long chain of dependent steps; the estimates of a run are independent of
// each other, so one loop over a run overlaps them where a sample at a time
// waits on each chain in turn. Runs start once calls come at a steady step,
// as a clock makes them; every other call forms its own sample.
#pragma once

#include <array>
#include <cstdint>

#include "GeneratorWaveforms.h"

class SamplesAhead {
 public:
  // Forgets the run and the step: at every parameter load.
  void Reset() {
    count_ = next_ = 0;
    haveLast_ = false;
    lastStep_ = 0;
  }
  // The sample of `kind` at `now`, as RoundedGeneratorSample forms it.
  int32_t Sample(int64_t now, int32_t kind, GeneratorParams& params, GeneratorState& state, int32_t& problem);

 private:
  static constexpr int kRun = 16;
  static_assert(kRun <= kMostEstimatedSamples);
  void Fill(int64_t now, int64_t step, int32_t kind, const GeneratorParams& params, const GeneratorState& state);

  int64_t start_ = 0, step_ = 0;
  int count_ = 0, next_ = 0;  // samples in the run, and the next one due
  int64_t last_ = 0, lastStep_ = 0;
  bool haveLast_ = false;
  std::array<int32_t, kRun> samples_{};
  std::array<bool, kRun> decided_{};
};
