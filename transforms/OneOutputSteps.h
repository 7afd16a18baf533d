// The two array steps of a transform that writes its one output at every
// step, around the block's own steps over the input samples: `steps(emit)`
// calls emit(k, v) with the sample v of every step k, and answers false
// when it made none.
#pragma once

#include <cstdint>

#include "framework/ValueBits.h"
#include "numeric/SampleOutput.h"

// InputChangedOver: out[k] receives what the port reads back, and
// `writeLast` the last value, which the port keeps.
template <typename Steps, typename WriteLast>
int32_t SamplesOver(int32_t count, int32_t* out, const SampleOutput& form, Steps steps, WriteLast writeLast) {
  if (out == nullptr) return 0;
  int32_t last = 0;
  if (!steps([&](int32_t k, int32_t v) { out[k] = form.Carried(last = v); })) return 0;
  writeLast(form.Encode(last));
  return count;
}

// InputChangedAt: out[k] receives the word step k writes; every step writes.
template <typename Steps>
int32_t WordsAt(int32_t count, uint64_t* out, uint8_t* wrote, const SampleOutput& form, Steps steps) {
  if (out == nullptr) return 0;
  const bool made = steps([&](int32_t k, int32_t v) {
    out[k] = form.Encode(v).Word();
    wrote[k] = 1;
  });
  return made ? count : 0;
}
