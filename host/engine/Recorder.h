// What a simulation hands to its output writers: the settled variables at
// each time point where something happened.
#pragma once

#include <cstdint>

class VariableStore;

class Recorder {
 public:
  virtual ~Recorder() = default;
  // Values after Start, at time 0.
  virtual void Begin(const VariableStore& store) = 0;
  // Settled values at `time` (non-decreasing; may repeat time 0).
  virtual void Sample(int64_t time, const VariableStore& store) = 0;
  virtual void End(int64_t time) = 0;
};
