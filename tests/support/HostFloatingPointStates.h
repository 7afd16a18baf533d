// The floating-point states hosts leave when they call the library: the
// x87 control word with the matching MXCSR. Every entry must give the same
// values under each of them and hand the state back unchanged.
#pragma once

#include <cstdint>
#include <cstring>

#include "framework/FloatingPointGuard.h"

struct HostFloatingPointState {
  const char* name;
  uint16_t x87;
  uint32_t mxcsr;
};

inline constexpr HostFloatingPointState kHostFloatingPointStates[] = {
    {"default", 0x037F, 0x1F80},       {"x87-53bit", 0x027F, 0x1F80},  // every Windows thread; MSVC-built hosts keep it
    {"x87-24bit", 0x007F, 0x1F80},                                     // some graphics libraries
    {"toward-zero", 0x0F7F, 0x7F80},                                   // a host that calls fesetround
    {"unmasked", 0x1332, 0x1900},       // Borland/Delphi: overflow, zero-divide, invalid trap
    {"flush-to-zero", 0x037F, 0x9FC0},  // audio hosts: FTZ and DAZ
};

inline const HostFloatingPointState* FindHostFloatingPointState(const char* name) {
  for (const HostFloatingPointState& s : kHostFloatingPointStates)
    if (std::strcmp(s.name, name) == 0) return &s;
  return nullptr;
}

inline void LoadHostFloatingPointState(const HostFloatingPointState& s) {
  floating_point::LoadX87ControlWord(s.x87);
  floating_point::LoadMxcsr(s.mxcsr);
}

// True when the state in force is `s` (the MXCSR's sticky flags and the
// control word's reserved bit 6, which reads as 1, aside).
inline bool HostFloatingPointStateIs(const HostFloatingPointState& s) {
  return (floating_point::ReadX87ControlWord() | 0x40) == (s.x87 | 0x40) &&
         (floating_point::ReadMxcsr() & kMxcsrControlBits) == (s.mxcsr & kMxcsrControlBits);
}
