#include "StateTable.h"

#include <cstring>
#include <vector>

namespace nsp {
namespace {

// handle = generation << 16 | (slot index + 1); 0 is never a live handle.
constexpr uint32_t kMaxSlots = 0xFFFF;

struct Slot {
  std::unique_ptr<StateObject> state;
  const void* owner = nullptr;
  StateKind kind = StateKind::None;
  uint16_t generation = 1;
};

struct Table {
  std::vector<Slot> slots;
  std::vector<uint32_t> freeSlots;
  int live = 0;
};

Table& TheTable() {
  static Table table;
  return table;
}

uint32_t ReadHandle(const void* area) {
  uint32_t h;
  std::memcpy(&h, area, sizeof h);
  return h;
}

void WriteHandle(void* area, uint32_t h) { std::memcpy(area, &h, sizeof h); }

Slot* LiveSlot(const void* area, StateKind kind) {
  if (!area) return nullptr;
  Table& t = TheTable();
  const uint32_t h = ReadHandle(area);
  const uint32_t index = (h & 0xFFFF);
  if (index == 0 || index > t.slots.size()) return nullptr;
  Slot& s = t.slots[index - 1];
  if (!s.state || s.kind != kind || s.owner != area || s.generation != (h >> 16)) return nullptr;
  return &s;
}

void Free(Slot& s, uint32_t index) {
  Table& t = TheTable();
  s.state.reset();
  s.owner = nullptr;
  s.kind = StateKind::None;
  s.generation = static_cast<uint16_t>(s.generation == 0xFFFF ? 1 : s.generation + 1);
  t.freeSlots.push_back(index);
  --t.live;
}

}  // namespace

void Attach(void* area, StateKind kind, std::unique_ptr<StateObject> state) {
  if (!area) return;
  Table& t = TheTable();
  // Whatever this address held goes, even when its handle bytes were
  // overwritten since (a record reloaded over a live state).
  for (uint32_t i = 0; i < t.slots.size(); ++i)
    if (t.slots[i].state && t.slots[i].owner == area) Free(t.slots[i], i);
  WriteHandle(area, 0);
  if (!state) return;
  uint32_t index;
  if (!t.freeSlots.empty()) {
    index = t.freeSlots.back();
    t.freeSlots.pop_back();
  } else {
    if (t.slots.size() >= kMaxSlots) return;
    index = static_cast<uint32_t>(t.slots.size());
    t.slots.emplace_back();
  }
  Slot& s = t.slots[index];
  s.state = std::move(state);
  s.owner = area;
  s.kind = kind;
  ++t.live;
  WriteHandle(area, (uint32_t{s.generation} << 16) | (index + 1));
}

StateObject* Find(const void* area, StateKind kind) {
  Slot* s = LiveSlot(area, kind);
  return s ? s->state.get() : nullptr;
}

void Release(void* area, StateKind kind) {
  Slot* s = LiveSlot(area, kind);
  if (!s) return;
  Free(*s, static_cast<uint32_t>(s - TheTable().slots.data()));
  WriteHandle(area, 0);
}

int LiveStates() { return TheTable().live; }

}  // namespace nsp
