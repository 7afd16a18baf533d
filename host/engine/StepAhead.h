// Stepping ahead, under dataflow: a block that keeps to itself
// (SteppedBlock::StepsAhead) and feeds only such blocks is left out of the
// time points' visits. Over a stretch of up to kStretch time points the
// engine visits the other blocks and notes, time point by time point, the
// values the left-out blocks read and whether they were written (Note).
// Then each left-out block, in the order of the visits, makes the calls it
// would have been made in the stretch, in one array call (Step). The
// variables, their counts and the blocks' states end as the visits would
// have left them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "InProcessHost.h"
#include "SteppedBlock.h"

class StepAhead {
 public:
  static constexpr uint32_t kStretch = 64;  // time points; a bit each in a word

  // A left-out block: its core, the variable it acts on only while it reads
  // high (0: none) and its place in the visits' order.
  struct Member {
    SteppedBlock* core;
    VarHandle gate;
    uint32_t planIndex;
  };
  // Takes the left-out blocks, in the visits' order (none: no stepping ahead).
  void Build(std::vector<Member> members, VariableStore& store);
  bool Active() const { return !members_.empty(); }
  size_t Size() const { return members_.size(); }
  const Member& At(size_t i) const { return members_[i]; }

  // A stretch starts at time point 0 of it.
  void Begin() {
    for (const Noted& x : noted_) *x.written = 0;
    std::fill(decoded_.begin(), decoded_.end(), 0);
  }
  // Time point `n` of the stretch, at model time `time`, once its visit is
  // done and before the store forgets what was written.
  void Note(uint32_t n, int64_t time, const VariableStore& store) {
    times_[n] = time;
    const uint64_t* bits = store.WrittenBits();
    for (const Noted& x : noted_) {
      x.words[n] = x.value->Word();
      *x.written |= uint64_t{(bits[x.bitWord] & x.bit) != 0} << n;
    }
  }
  // A stretch that ends after `count` < kStretch time points: the rest of
  // each row repeats its last word, as Samples reads whole rows.
  void End(uint32_t count) {
    for (const Noted& x : noted_)
      for (uint32_t k = count; k < kStretch; ++k) x.words[k] = x.words[count - 1];
  }
  // Member i's calls among the stretch's first `count` time points; at an
  // abort in the last of them, only a member before the aborting block in
  // the visits' order (`abortPlanIndex`) is called there. Answers the calls
  // counted, those its gate left out included.
  uint64_t Step(size_t i, uint32_t count, bool aborted, uint32_t abortPlanIndex, VariableStore& store);

 private:
  using Words = std::array<uint64_t, kStretch>;
  struct Ports {
    std::vector<uint32_t> inputs, outputs;  // slots
    int32_t gate = -1;                      // slot, or -1
    std::vector<bool> read;                 // per output: a member reads it
    std::vector<std::array<int32_t, kStretch>> samples;
    std::vector<Words> results;
    std::vector<int32_t*> sampleRows;
    std::vector<uint64_t*> resultRows;
  };
  uint32_t SlotOf(VarHandle h);
  // A slot's samples at the stretch's first `count` time points as a block
  // reads them: in sign-magnitude, or (`lowBits`, any other sign mode) the
  // low 32 bits. Formed once per stretch and way.
  const int32_t* Samples(uint32_t slot, bool lowBits, uint32_t count);

  std::vector<Member> members_;
  std::vector<Ports> ports_;
  // Per slot, a variable the members read or write: its word at each time
  // point of the stretch, and a bit per time point it was written in.
  std::vector<VarHandle> slotHandles_;
  std::vector<Words> words_;
  std::vector<uint64_t> written_;
  std::vector<std::array<std::array<int32_t, kStretch>, 2>> samples_;
  std::vector<uint8_t> decoded_;  // per slot: bit 1 << way once samples_ holds that way
  // The variables the visits write, noted at each time point: where the
  // store keeps the value and the written bit, and their slot's rows.
  struct Noted {
    const ValueBits* value;
    uint32_t bitWord;
    uint64_t bit;
    uint64_t* words;
    uint64_t* written;
  };
  std::vector<Noted> noted_;
  std::array<uint8_t, kStretch> callAt_{};  // the time point of each call
  std::array<int64_t, kStretch> times_{};
  std::array<int64_t, kStretch> callTimes_{};
  std::array<uint8_t, kStretch> wrote_{};
};
