// The state areas hold only handles: bytes that did not come from a live
// initialisation at that very address never reach a state.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "StateTable.h"
#include "support/AllocationCounter.h"
#include "signal/nsp.h"

namespace {

// A filter record's state areas at their offsets and sizes.
struct Record {
  std::array<uint8_t, 2024> bytes{};
  template <class T>
  T* At(std::size_t offset) {
    return reinterpret_cast<T*>(bytes.data() + offset);
  }
  NSPFirState* Fir() { return At<NSPFirState>(96); }
  NSPFirTapState* FirTaps() { return At<NSPFirTapState>(168); }
  NSPFirDlyState* FirLine() { return At<NSPFirDlyState>(204); }
  NSPIirState* Iir() { return At<NSPIirState>(216); }
  NSPIirTapState* IirTaps() { return At<NSPIirTapState>(236); }
  NSPIirDlyState* IirLine() { return At<NSPIirDlyState>(248); }
  NSPLmsState* LmsDes() { return At<NSPLmsState>(252); }
  NSPLmsState* Lms() { return At<NSPLmsState>(324); }
  NSPLmsTapState* LmsTaps() { return At<NSPLmsTapState>(396); }
  NSPLmsDlyState* LmsLine() { return At<NSPLmsDlyState>(444); }
  NSPSGoertzState* Goertz() { return At<NSPSGoertzState>(500); }
};

const float kTaps[8] = {0.5f, -1, 0.25f, 2, 1, 1, -0.5f, 0.75f};
const float kDelay[8] = {1, 1, 1, 1, 1, 0, 0, 0};

void InitAll(Record& r) {
  nspsFirInit(kTaps, 6, kDelay, r.Fir());
  nspsFirlInit(kTaps, 6, r.FirTaps());
  nspsFirlInitDlyl(r.FirTaps(), kDelay, r.FirLine());
  nspsIirInit(1, kTaps, 2, r.Iir());
  nspsIirlInitBq(1, kTaps, 1, r.IirTaps());
  nspsIirlInitDlyl(r.IirTaps(), kDelay, r.IirLine());
  nspsLmsInit(1, kTaps, 6, kDelay, 0.01f, 0.1f, 2, r.Lms());
  nspsLmsInit(1, kTaps, 6, kDelay, 0.01f, 0.1f, 2, r.LmsDes());
  nspsLmslInitMr(1, kTaps, 6, 0.01f, 0, 1, 2, 1, r.LmsTaps());
  nspsLmslInitDlyl(r.LmsTaps(), kDelay, 1, r.LmsLine());
  nspsGoertzInit(0.25f, r.Goertz());
}

void FreeAll(Record& r) {
  nspsFirFree(r.Fir()), nspsFirlFree(r.FirTaps()), nspsFirlFreeDlyl(r.FirLine());
  nspsIirFree(r.Iir()), nspsIirlFree(r.IirTaps()), nspsIirlFreeDlyl(r.IirLine());
  nspsLmsFree(r.Lms()), nspsLmsFree(r.LmsDes());
  nspsLmslFree(r.LmsTaps()), nspsLmslFreeDlyl(r.LmsLine());
  nspsGoertzFree(r.Goertz());
}

// Every call that takes a state; returns the sum of what they returned.
float CallAll(Record& r, float x) {
  const float samples[4] = {x, 1, 2, 3};
  const SCplx g = nspsbGoertz(r.Goertz(), samples, 4);
  nspsFirlSetDlyl(r.FirTaps(), kDelay, r.FirLine());
  return nspsFir(r.Fir(), x) + nspsFirl(r.FirTaps(), r.FirLine(), x) + nspsIir(r.Iir(), x) +
         nspsIirl(r.IirTaps(), r.IirLine(), x) + nspsLms(r.Lms(), x, 0.5f) + nspsLmsDes(r.LmsDes(), x, 1) +
         nspsLmsl(r.LmsTaps(), r.LmsLine(), x, 0.5f) + nspsLmslNa(r.LmsTaps(), r.LmsLine(), x) + g.re + g.im;
}

}  // namespace

TEST(StateHandles, GarbageAndForeignRecordsAreNeverUsed) {
  Record live;
  InitAll(live);
  const int states = nsp::LiveStates();
  ASSERT_EQ(states, 11);
  ASSERT_NE(CallAll(live, 1), 0.0f);

  // Garbage of every kind, including a record holding live handle values at
  // the wrong address (a copy), live slots with other generations, and
  // live slots and generations under the wrong kinds.
  std::vector<Record> bad(6);
  bad[1].bytes.fill(0xFF);
  uint32_t seed = 99;
  for (auto& b : bad[2].bytes) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
  bad[3] = live;
  bad[4] = live;
  for (std::size_t off : {96, 168, 204, 216, 236, 248, 252, 324, 396, 444, 500})
    bad[4].bytes[off + 2] ^= 1;  // generation changed, slot kept
  uint32_t slot = 0;             // first-generation handles of other live slots
  for (std::size_t off : {96, 168, 204, 216, 236, 248, 252, 324, 396, 444, 500}) {
    const uint32_t handle = (1u << 16) | ((slot++ + 3) % 11 + 1);
    std::memcpy(bad[5].bytes.data() + off, &handle, 4);
  }
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const Record before = bad[i];
    EXPECT_EQ(CallAll(bad[i], 1), 0.0f) << "record " << i;
    FreeAll(bad[i]);
    EXPECT_EQ(bad[i].bytes, before.bytes) << "record " << i;
    EXPECT_EQ(nsp::LiveStates(), states) << "record " << i;
  }
  // A state of one kind handed in as another is refused.
  EXPECT_EQ(nspsIir(reinterpret_cast<NSPIirState*>(live.Fir()), 1), 0.0f);
  EXPECT_EQ(nspsLms(reinterpret_cast<NSPLmsState*>(live.Iir()), 1, 1), 0.0f);
  EXPECT_EQ(nspsFirl(live.FirTaps(), reinterpret_cast<NSPFirDlyState*>(live.IirLine()), 1), 0.0f);
  EXPECT_EQ(nspsbGoertz(reinterpret_cast<NSPSGoertzState*>(live.Fir()), kTaps, 4).re, 0.0f);
  // Null areas are refused too.
  EXPECT_EQ(nspsFir(nullptr, 1), 0.0f);
  EXPECT_EQ(nspsLmslNa(nullptr, live.LmsLine(), 1), 0.0f);

  // Initialising the copy gives it states of its own and leaves the
  // original's alone.
  Record copy = live;
  InitAll(copy);
  EXPECT_EQ(nsp::LiveStates(), 2 * states);
  FreeAll(copy);
  EXPECT_EQ(nsp::LiveStates(), states);
  EXPECT_NE(CallAll(live, 1), 0.0f);
  FreeAll(live);
  EXPECT_EQ(nsp::LiveStates(), 0);
}

TEST(StateHandles, ReleaseAndReinitialisationFreeWhatTheAreaHeld) {
  Record r;
  InitAll(r);
  const Record stale = r;
  FreeAll(r);
  EXPECT_EQ(nsp::LiveStates(), 0);
  for (uint8_t b : r.bytes) ASSERT_EQ(b, 0);  // released handles are cleared

  // The handles of released states, written back, lead nowhere, even when
  // the slots have been reused since.
  InitAll(r);
  FreeAll(r);
  r = stale;
  EXPECT_EQ(CallAll(r, 1), 0.0f);

  // Re-initialising never piles up states, also when the handle bytes were
  // overwritten in between (a stored record reloaded over live states).
  for (int i = 0; i < 5; ++i) InitAll(r);
  EXPECT_EQ(nsp::LiveStates(), 11);
  r.bytes.fill(0x5A);
  InitAll(r);
  EXPECT_EQ(nsp::LiveStates(), 11);

  // A failed initialisation releases too, and leaves nothing to call.
  nspsFirInit(nullptr, 6, kDelay, r.Fir());
  nspsFirInitMr(kTaps, 6, kDelay, 0, 0, 1, 0, r.Fir());
  nspsIirInit(1, kTaps, -1, r.Iir());
  nspsLmsInitMr(1, kTaps, 6, kDelay, 0.1f, 0, 1, 2, 2, r.Lms());
  nspsGoertzInit(std::numeric_limits<float>::quiet_NaN(), r.Goertz());
  EXPECT_EQ(nsp::LiveStates(), 7);
  EXPECT_EQ(nspsFir(r.Fir(), 1), 0.0f);
  EXPECT_EQ(nspsIir(r.Iir(), 1), 0.0f);
  EXPECT_EQ(nspsLms(r.Lms(), 1, 1), 0.0f);
  FreeAll(r);
  EXPECT_EQ(nsp::LiveStates(), 0);
}

TEST(StateHandles, DelayLinesOnlyServeTheTapShapeTheyWereMadeFor) {
  Record r;
  InitAll(r);
  EXPECT_EQ(nspsFirl(r.FirTaps(), r.FirLine(), 1), 3.75f);  // 0.5 + (-1 + 0.25 + 2 + 1 + 1)
  // New taps of another length: the old delay line no longer fits.
  nspsFirlInit(kTaps, 8, r.FirTaps());
  nspsIirlInit(1, kTaps, 3, r.IirTaps());
  nspsLmslInit(1, kTaps, 6, 0.01f, 0, 1, r.LmsTaps());  // single-rate now
  EXPECT_EQ(nspsFirl(r.FirTaps(), r.FirLine(), 1), 0.0f);
  EXPECT_EQ(nspsIirl(r.IirTaps(), r.IirLine(), 1), 0.0f);
  EXPECT_EQ(nspsLmsl(r.LmsTaps(), r.LmsLine(), 1, 0), 0.0f);
  EXPECT_EQ(nspsLmslNa(r.LmsTaps(), r.LmsLine(), 1), 0.0f);
  nspsFirlSetDlyl(r.FirTaps(), kDelay, r.FirLine());  // refused as well
  EXPECT_EQ(nspsFirl(r.FirTaps(), r.FirLine(), 1), 0.0f);
  // A delay line made anew for them works again.
  nspsFirlInitDlyl(r.FirTaps(), nullptr, r.FirLine());
  EXPECT_EQ(nspsFirl(r.FirTaps(), r.FirLine(), 2), 1.0f);
  FreeAll(r);
}

TEST(StateHandles, PerSampleCallsNeverAllocate) {
  Record r;
  InitAll(r);
  std::vector<float> block(5000, 1.0f);
  const long before = AllocationCount();
  float sum = 0;
  for (int i = 0; i < 1000; ++i) {
    const float x = static_cast<float>(i % 7) - 3;
    sum += nspsFir(r.Fir(), x) + nspsFirl(r.FirTaps(), r.FirLine(), x) + nspsIir(r.Iir(), x) +
           nspsIirl(r.IirTaps(), r.IirLine(), x) + nspsLms(r.Lms(), x, 0.1f) + nspsLmsDes(r.LmsDes(), x, 0.2f) +
           nspsLmsl(r.LmsTaps(), r.LmsLine(), x, 0.1f) + nspsLmslNa(r.LmsTaps(), r.LmsLine(), x);
  }
  // Nor do the FIR's block calls, whatever the count.
  nspsbFir(r.Fir(), block.data(), block.data(), 5000);
  nspsbFirl(r.FirTaps(), r.FirLine(), block.data(), block.data(), 5000);
  EXPECT_EQ(AllocationCount(), before);
  EXPECT_TRUE(std::isfinite(sum));
  FreeAll(r);
}
