// Position bookkeeping of the buffer transform block: how many samples are
// collected, which result goes out next, and when the transform runs.
// Collection of the next buffer goes on while the results of the last run
// are handed out.
#pragma once

#include <cstdint>

#include "signal/nsp.h"

struct BufferCursor {
  int32_t SampleCount = 0;  // samples collected, 0 … n
  int32_t OutIndex = 0;     // the next result to emit
  bool Emitting = false;    // results of the last run are being handed out

  // Index of the result to emit now; moves on, and ends the emission after
  // the last of outLen results.
  int32_t TakeEmission(int32_t outLen) {
    const int32_t i = OutIndex;
    if (++OutIndex >= outLen) {
      OutIndex = 0;
      Emitting = false;
    }
    return i;
  }

  // Stores sample v as (position, v) while the buffer of n has room;
  // samples of a full buffer are dropped.
  void Collect(SCplx* input, int32_t n, int32_t v) {
    if (SampleCount >= n) return;
    input[SampleCount] = SCplx{static_cast<float>(SampleCount), static_cast<float>(v)};
    ++SampleCount;
  }

  // The buffer is full and no result of the last run waits: run now. Results
  // never emitted (index still 0) are replaced.
  bool ReadyToRun(int32_t n) const { return SampleCount >= n && OutIndex == 0; }
  // The buffer is full while results still wait.
  bool Full(int32_t n) const { return SampleCount == n; }

  // After a run of outLen results: collect anew, emit from the first.
  void Ran(int32_t outLen) {
    OutIndex = 0;
    SampleCount = 0;
    Emitting = outLen > 0;
  }

  // A parameter load restarts both positions and keeps the emitting flag.
  void Rewind() {
    SampleCount = 0;
    OutIndex = 0;
  }
  // A simulation start: an emission cut short must not leave the output
  // index behind, since the transform runs only from index 0.
  void StopEmission() {
    Emitting = false;
    OutIndex = 0;
  }
};
