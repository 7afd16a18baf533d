// The floating-point state the library computes in, and the guard that puts
// it in force at every entry from outside: a host may leave the x87 unit at
// 53- or 24-bit precision, another rounding mode, unmasked exceptions, or
// SSE flush-to-zero, and none of it may change a value. Depends on nothing,
// so the signal library's exports use it as well.
//
// Loading a state costs more than reading it, so a part is loaded only where
// the caller's differs from ours. Where there is no x87 unit or no
// SSE, that part is left alone; elsewhere than x86 the guard does nothing.
#pragma once

#include <cstdint>

// x87 control word: 64-bit precision, round to nearest, every exception masked.
constexpr uint16_t kLibraryX87ControlWord = 0x037F;
// MXCSR: round to nearest, every exception masked, no flush-to-zero, no
// denormals-are-zero, no flags.
constexpr uint32_t kLibraryMxcsr = 0x1F80;

// The bits that change results or traps: exception masks, precision and
// rounding (not the reserved bit 6 or the ignored infinity bit 12).
constexpr uint16_t kX87ControlBits = 0x0F3F;
// Denormals-are-zero, exception masks, rounding and flush-to-zero (not the
// sticky flags, which a callee may change).
constexpr uint32_t kMxcsrControlBits = 0xFFC0;

#if defined(__i386__) || defined(__x86_64__)
#define RIR_HAS_X87 1
#else
#define RIR_HAS_X87 0
#endif
#if defined(__SSE__) || defined(__x86_64__)
#define RIR_HAS_MXCSR 1
#else
#define RIR_HAS_MXCSR 0
#endif

namespace floating_point {

inline uint16_t ReadX87ControlWord() {
  uint16_t cw = kLibraryX87ControlWord;
#if RIR_HAS_X87
  __asm__ volatile("fnstcw %0" : "=m"(cw));
#endif
  return cw;
}

inline uint32_t ReadMxcsr() {
  uint32_t csr = kLibraryMxcsr;
#if RIR_HAS_MXCSR
  __asm__ volatile("stmxcsr %0" : "=m"(csr));
#endif
  return csr;
}

// Pending x87 exception flags are dropped first: under a control word that
// unmasks them they would trap at the next x87 instruction. The status
// word is the caller's to lose on every call anyway.
inline void LoadX87ControlWord(uint16_t cw) {
#if RIR_HAS_X87
  if ((cw & 0x3F) != 0x3F) __asm__ volatile("fnclex" ::: "memory");
  __asm__ volatile("fldcw %0" ::"m"(cw) : "memory");
#else
  (void)cw;
#endif
}

inline void LoadMxcsr(uint32_t csr) {
#if RIR_HAS_MXCSR
  __asm__ volatile("ldmxcsr %0" ::"m"(csr) : "memory");
#else
  (void)csr;
#endif
}

}  // namespace floating_point

// The state a caller left, and which of its parts differ from the library's
// (eight bytes, copied as one).
struct CallerFloatingPoint {
  static constexpr uint8_t kX87Part = 1;
  static constexpr uint8_t kMxcsrPart = 2;

  uint16_t x87 = kLibraryX87ControlWord;
  uint8_t differing = 0;  // the parts that differ
  uint32_t mxcsr = kLibraryMxcsr;

  bool Differs() const { return differing != 0; }

  static CallerFloatingPoint Read() {
    const uint16_t x87 = floating_point::ReadX87ControlWord();
    const uint32_t mxcsr = floating_point::ReadMxcsr();
    const bool x87Differs = (x87 & kX87ControlBits) != (kLibraryX87ControlWord & kX87ControlBits);
    const bool mxcsrDiffers = (mxcsr & kMxcsrControlBits) != kLibraryMxcsr;
    return {x87, static_cast<uint8_t>((x87Differs ? kX87Part : 0) | (mxcsrDiffers ? kMxcsrPart : 0)), mxcsr};
  }
  // The library's state where the caller's differs.
  void EnterLibrary() const {
    if (differing & kX87Part) floating_point::LoadX87ControlWord(kLibraryX87ControlWord);
    if (differing & kMxcsrPart) floating_point::LoadMxcsr(kLibraryMxcsr);
  }
  // The caller's state back where it differed.
  void LeaveLibrary() const {
    if (differing & kX87Part) floating_point::LoadX87ControlWord(x87);
    if (differing & kMxcsrPart) floating_point::LoadMxcsr(mxcsr);
  }
};
static_assert(sizeof(CallerFloatingPoint) == 8);

// For the length of a call into the library: the library's state, and the
// caller's again on every way out, an exception included.
class FloatingPointGuard {
 public:
  FloatingPointGuard() noexcept : State(CallerFloatingPoint::Read()) { State.EnterLibrary(); }
  ~FloatingPointGuard() { State.LeaveLibrary(); }
  FloatingPointGuard(const FloatingPointGuard&) = delete;
  FloatingPointGuard& operator=(const FloatingPointGuard&) = delete;

  const CallerFloatingPoint& Caller() const { return State; }

 private:
  CallerFloatingPoint State;
};

// The inverse, for a call out of the library to the caller's code: the
// caller's state during it, the library's again afterwards.
class CallerStateScope {
 public:
  explicit CallerStateScope(const CallerFloatingPoint& caller) noexcept : Caller(caller) { Caller.LeaveLibrary(); }
  ~CallerStateScope() { Caller.EnterLibrary(); }
  CallerStateScope(const CallerStateScope&) = delete;
  CallerStateScope& operator=(const CallerStateScope&) = delete;

 private:
  const CallerFloatingPoint Caller;  // a copy: the caller may enter again meanwhile
};
