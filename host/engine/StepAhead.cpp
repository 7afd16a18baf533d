#include "StepAhead.h"

#include <algorithm>

uint32_t StepAhead::SlotOf(VarHandle h) {
  const auto it = std::find(slotHandles_.begin(), slotHandles_.end(), h);
  if (it != slotHandles_.end()) return static_cast<uint32_t>(it - slotHandles_.begin());
  slotHandles_.push_back(h);
  return static_cast<uint32_t>(slotHandles_.size() - 1);
}

void StepAhead::Build(std::vector<Member> members, VariableStore& store) {
  members_ = std::move(members);
  ports_.assign(members_.size(), Ports{});
  slotHandles_.clear();
  noted_.clear();
  std::vector<char> written(store.Size() + 1, 0);  // by a member
  for (size_t i = 0; i < members_.size(); ++i) {
    const SteppedBlock& core = *members_[i].core;
    Ports& p = ports_[i];
    // In the core's port order, as its array calls take them.
    for (VarHandle h : core.Inputs()) p.inputs.push_back(SlotOf(h));
    if (members_[i].gate != 0) p.gate = static_cast<int32_t>(SlotOf(members_[i].gate));
    for (VarHandle h : core.Outputs()) {
      p.outputs.push_back(SlotOf(h));
      written[h] = 1;
    }
    p.samples.resize(p.inputs.size());
    p.results.resize(p.outputs.size());
    for (auto& row : p.samples) p.sampleRows.push_back(row.data());
    for (auto& row : p.results) p.resultRows.push_back(row.data());
  }
  words_.assign(slotHandles_.size(), Words{});
  written_.assign(slotHandles_.size(), 0);
  samples_.assign(slotHandles_.size(), {});
  decoded_.assign(slotHandles_.size(), 0);
  // The store's layout is fixed: its values stay where they are.
  for (Ports& p : ports_)
    for (uint32_t s : p.outputs) {
      bool read = false;
      for (const Ports& q : ports_)
        read = read || q.gate == static_cast<int32_t>(s) ||
               std::find(q.inputs.begin(), q.inputs.end(), s) != q.inputs.end();
      p.read.push_back(read);
    }
  for (uint32_t s = 0; s < slotHandles_.size(); ++s) {
    const uint32_t index = slotHandles_[s] - 1;
    if (!written[index + 1])
      noted_.push_back(
          {&store.Get(index + 1)->value, index / 64, uint64_t{1} << (index % 64), words_[s].data(), &written_[s]});
  }
}

const int32_t* StepAhead::Samples(uint32_t slot, bool lowBits, uint32_t count) {
  int32_t* out = samples_[slot][lowBits ? 1 : 0].data();
  const uint8_t way = lowBits ? 2 : 1;
  if ((decoded_[slot] & way) != 0) return out;
  decoded_[slot] |= way;
  // Whole rows, past `count` too: loops of a fixed length run as vectors.
  const uint64_t* words = words_[slot].data();
  if (lowBits) {
    for (uint32_t k = 0; k < kStretch; ++k) out[k] = static_cast<int32_t>(static_cast<uint32_t>(words[k]));
    return out;
  }
  // A port's words have one length: the magnitude's mask is found once.
  const auto high = static_cast<uint32_t>(words[0] >> 32);
  uint32_t other = 0;
  for (uint32_t k = 0; k < kStretch; ++k) other |= static_cast<uint32_t>(words[k] >> 32) ^ high;
  if ((other & 0x7FFFFFFFu) != 0) {  // the length, not the lead digit
    for (uint32_t k = 0; k < count; ++k) out[k] = DecodeValueBits(0, ValueBits::FromWord(words[k]));
    return out;
  }
  const int n = ValueBits::FromWord(words[0]).Length();
  const uint32_t mask = n <= 1 || n - 1 >= 32 ? ~0u : (uint32_t{1} << (n - 1)) - 1;
  const uint32_t signs = n <= 1 ? 0u : ~0u;  // a one-digit text has no sign
  for (uint32_t k = 0; k < kStretch; ++k) {
    const uint32_t magnitude = static_cast<uint32_t>(words[k]) & mask;
    const uint32_t negative = static_cast<uint32_t>(static_cast<int32_t>(words[k] >> 32) >> 31) & signs;
    out[k] = static_cast<int32_t>((magnitude ^ negative) - negative);
  }
  return out;
}

uint64_t StepAhead::Step(size_t i, uint32_t count, bool aborted, uint32_t abortPlanIndex, VariableStore& store) {
  const Member& m = members_[i];
  Ports& p = ports_[i];
  // Called where an input was written, as the visits call.
  uint64_t calls = 0;
  for (uint32_t s : p.inputs) calls |= written_[s];
  if (count < kStretch) calls &= (uint64_t{1} << count) - 1;
  // The visit that aborted ended at the aborting block.
  if (aborted && count > 0 && m.planIndex >= abortPlanIndex) calls &= ~(uint64_t{1} << (count - 1));
  const auto counted = static_cast<uint64_t>(__builtin_popcountll(calls));
  // A call the block said it would do nothing in is counted, not made.
  if (p.gate >= 0)
    for (uint64_t c = calls; c != 0; c &= c - 1) {
      const int k = __builtin_ctzll(c);
      if (!ValueBits::FromWord(words_[static_cast<size_t>(p.gate)][k]).IsHigh()) calls &= ~(uint64_t{1} << k);
    }
  uint32_t made = 0;
  for (uint64_t c = calls; c != 0; c &= c - 1) {
    const auto k = static_cast<uint8_t>(__builtin_ctzll(c));
    callAt_[made] = k;
    callTimes_[made] = times_[k];
    ++made;
  }
  const bool lowBits = m.core->SignMode() != 0;
  for (size_t q = 0; q < p.inputs.size(); ++q) {
    const int32_t* from = Samples(p.inputs[q], lowBits, count);
    if (made == count) {
      // Called at every time point: the row itself, which the call only reads.
      p.sampleRows[q] = const_cast<int32_t*>(from);
      continue;
    }
    int32_t* to = p.samples[q].data();
    p.sampleRows[q] = to;
    for (uint32_t j = 0; j < made; ++j) to[j] = from[callAt_[j]];
  }
  // A block that makes none (it cannot step now) does nothing, as its calls would.
  bool stepped = false;
  if (made > 0) {
    store.SetStepTimes(callTimes_.data(), static_cast<int32_t>(made));
    stepped = m.core->InputChangedAt(static_cast<int32_t>(made), callTimes_.data(), p.sampleRows.data(),
                                     p.resultRows.data(), wrote_.data());
    store.SetStepTimes(nullptr, 0);
  }
  for (size_t o = 0; o < p.outputs.size(); ++o) {
    const uint32_t s = p.outputs[o];
    const uint64_t* result = p.resultRows[o];
    // Counted as the store counts a block's writes (WriteBits).
    HostVariable& v = *store.Get(slotHandles_[s]);
    const uint64_t before = v.value.Word();
    uint64_t word = before, writes = 0, changes = 0, mask = 0;
    bool odd = v.odd;
    for (uint32_t j = 0; stepped && j < made; ++j) {
      if (wrote_[j] == 0) continue;
      changes += result[j] != word || odd ? 1 : 0;
      odd = false;
      word = result[j];
      ++writes;
      mask |= uint64_t{1} << callAt_[j];
    }
    written_[s] = mask;
    if (p.read[o]) {
      // What later members read at each time point: the last word written.
      uint64_t* words = words_[s].data();
      uint64_t now = before;
      uint32_t k = 0;
      for (uint32_t j = 0; stepped && j < made; ++j) {
        if (wrote_[j] == 0) continue;
        for (; k < callAt_[j]; ++k) words[k] = now;
        now = result[j];
      }
      for (; k < kStretch; ++k) words[k] = now;  // whole rows, as Samples reads them
    }
    if (writes == 0) continue;
    v.writes += writes;
    v.changes += changes;
    AssignBits(v, ValueBits::FromWord(word));
  }
  return counted;
}
