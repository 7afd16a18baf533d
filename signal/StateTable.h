// The library's table of live states. A caller's state area holds only a
// 32-bit handle into this table; the table remembers the area's address, so
// a copy of the bytes elsewhere, a record from another run or garbage never
// reaches a state.
#pragma once

#include <cstdint>
#include <memory>

namespace nsp {

enum class StateKind : uint8_t {
  None,
  Fir,
  FirTaps,
  FirDelay,
  Iir,
  IirTaps,
  IirDelay,
  Lms,
  LmsTaps,
  LmsDelay,
  Goertz,
};

struct StateObject {
  virtual ~StateObject() = default;
};

// Releases every state the area at `area` held, then (when `state` is not
// null) makes `state` the area's state and writes its handle. A null state,
// or a full table, leaves the area holding nothing (handle 0).
void Attach(void* area, StateKind kind, std::unique_ptr<StateObject> state);

// The live state the area's handle names, or null when the bytes are not a
// live handle of this kind made for this very address.
StateObject* Find(const void* area, StateKind kind);

template <class T>
T* FindAs(const void* area) {
  return static_cast<T*>(Find(area, T::kKind));
}

// Frees the area's state when its handle is live and of this kind, and
// clears the handle; anything else is left alone.
void Release(void* area, StateKind kind);

// Number of live states (for tests of the library's own bookkeeping).
int LiveStates();

}  // namespace nsp
