// The buffer and filter kernels called directly, with the signal library
// loaded from the plug-in folder: the edges the blocks' ports cannot show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>

#include "numeric/Init_NSPDLL.h"
#include "numeric/ParameterRecords.h"
#include "transforms/BufferCursor.h"
#include "transforms/BufferKernels.h"
#include "transforms/FilterKernels.h"

namespace {

struct LibraryLoaded {
  LibraryLoaded() {
    LibraryDirectory = RIR_PLUGIN_DIR;
    loaded = LoadSignalLibrary();
  }
  ~LibraryLoaded() { UnloadSignalLibrary(); }
  bool loaded = false;
};

// The handle word the library keeps in the first bytes of a live state area.
uint32_t HandleWord(const FilterParams& p, size_t offset) {
  uint32_t w = 0;
  std::memcpy(&w, reinterpret_cast<const unsigned char*>(&p) + offset, sizeof w);
  return w;
}

}  // namespace

TEST(BufferKernels, UpSamplingTruncationAndFlipConjugation) {
  LibraryLoaded lib;
  ASSERT_TRUE(lib.loaded);
  auto values = std::make_unique<float[]>(kBufferCapacity);
  auto computed = std::make_unique<float[]>(kBufferCapacity + kBufferMaxTaps);
  for (int32_t i = 0; i < kBufferCapacity; ++i) values[i] = static_cast<float>(i + 1);

  {
    // 6000 × 2 does not fit: 5000 samples fill 10000 slots, and sample 5000
    // still lands on the last slot at phase 0. Scratch left from an earlier
    // run must not show through.
    std::fill(computed.get(), computed.get() + kBufferCapacity, 99.0f);
    int32_t phase = 0;
    EXPECT_EQ(UpSampleTruncated(values.get(), 6000, computed.get(), 2, phase), kBufferCapacity);
    EXPECT_EQ(computed[0], 1.0f);
    EXPECT_EQ(computed[1], 0.0f);
    EXPECT_EQ(computed[9998], 5000.0f);
    EXPECT_EQ(computed[9999], 0.0f);
    EXPECT_EQ(computed[10000], 5001.0f);
  }
  {
    // At phase 1 the slot of sample 5000 is past the capacity.
    std::fill(computed.get(), computed.get() + kBufferCapacity, 99.0f);
    int32_t phase = 1;
    EXPECT_EQ(UpSampleTruncated(values.get(), 6000, computed.get(), 2, phase), kBufferCapacity);
    EXPECT_EQ(phase, 1);
    EXPECT_EQ(computed[0], 0.0f);
    EXPECT_EQ(computed[9999], 5000.0f);
    EXPECT_EQ(computed[10000], 0.0f);
  }
  {
    // 73 × 137 = 10001 fits whole.
    int32_t phase = 136;
    EXPECT_EQ(UpSampleTruncated(values.get(), 73, computed.get(), 137, phase), 10001);
    EXPECT_EQ(computed[136], 1.0f);
    EXPECT_EQ(computed[10000], 73.0f);
  }
  for (auto [factor, startPhase] : {std::pair{0, 0}, std::pair{-3, 0}, std::pair{4, -1}, std::pair{4, 4}}) {
    // Nothing computed, nothing touched.
    computed[0] = 42.0f;
    int32_t phase = startPhase;
    EXPECT_EQ(UpSampleTruncated(values.get(), 10, computed.get(), factor, phase), 0) << factor << " " << startPhase;
    EXPECT_EQ(phase, startPhase);
    EXPECT_EQ(computed[0], 42.0f);
  }

  // Flip conjugation writes imaginary parts only.
  const SCplx in[3] = {{0, 1}, {1, 2}, {2, 3}};
  SCplx res[4] = {{7, 7}, {8, 8}, {9, 9}, {5, 5}};
  FlipConjugate(in, res, 3);
  EXPECT_EQ(res[0].re, 7.0f);
  EXPECT_EQ(res[0].im, -3.0f);
  EXPECT_EQ(res[2].re, 9.0f);
  EXPECT_EQ(res[2].im, -1.0f);
  EXPECT_EQ(res[3].im, 5.0f);

  for (auto [n, order] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{2, 1}, std::pair{3, 1}, std::pair{1024, 10},
                          std::pair{1025, 10}, std::pair{kBufferCapacity, 13}}) {
    EXPECT_EQ(FloorLog2(n), order) << n;
  }
}

// Every catalogue code, with records at their limits and a full buffer,
// yields a result count inside the buffers.
TEST(BufferKernels, EveryCodeKeepsItsResultsInsideTheBuffers) {
  LibraryLoaded lib;
  ASSERT_TRUE(lib.loaded);
  auto a = std::make_unique<BufferArrays>();
  for (int32_t n : {1, 2, 1000, kBufferCapacity}) {
    for (int32_t code = 0; code <= kCatalogueSize + 1; ++code) {
      TransformParams p{};
      DefaultTransformRecord(p);
      p.SamplFactor = code % 2 == 0 ? 7 : 1000000000;
      p.SamplPhase = 3;
      p.CorrLags = 100000;
      p.ConvTapsCount = 100000;
      std::fill(std::begin(p.ConvTaps), std::end(p.ConvTaps), 0.5f);
      for (int32_t i = 0; i < n; ++i) a->Input[i] = SCplx{static_cast<float>(i), static_cast<float>(i % 17)};
      auto* goertzel = reinterpret_cast<NSPSGoertzState*>(p.GoertzelState);
      NspTable.nspsGoertzInit(p.GoertzelFrequency, goertzel);
      const int32_t outLen = RunBufferTransform(static_cast<CatalogueCode>(code), n, FloorLog2(n), p, *a);
      NspTable.nspsGoertzFree(goertzel);
      EXPECT_GE(outLen, 0) << code << " " << n;
      EXPECT_LE(outLen, kBufferCapacity) << code << " " << n;
      if (code == ccOneDimConvolution && n == 1000) {
        EXPECT_EQ(outLen, 1064);
        // Positions past the collected ones keep counting.
        EXPECT_EQ(a->Results[1063].re, 1063.0f);
      }
    }
  }
}

// The collection/emission counters: an empty run emits nothing, and a full
// buffer drops further samples.
TEST(BufferKernels, CursorRunsEmitsAndDrops) {
  SCplx input[3]{};
  BufferCursor c;
  for (int32_t v : {5, 6, 7, 8}) c.Collect(input, 3, v);
  EXPECT_EQ(c.SampleCount, 3);
  EXPECT_EQ(input[2].re, 2.0f);
  EXPECT_EQ(input[2].im, 7.0f);
  EXPECT_TRUE(c.ReadyToRun(3));
  c.Ran(0);
  EXPECT_FALSE(c.Emitting);  // a run without results hands nothing out
  for (int32_t v : {1, 2, 3}) c.Collect(input, 3, v);
  c.Ran(2);
  EXPECT_TRUE(c.Emitting);
  EXPECT_EQ(c.TakeEmission(2), 0);
  for (int32_t v : {1, 2, 3}) c.Collect(input, 3, v);
  EXPECT_TRUE(c.Full(3));
  EXPECT_FALSE(c.ReadyToRun(3));  // one result still waits
  EXPECT_EQ(c.TakeEmission(2), 1);
  EXPECT_FALSE(c.Emitting);
  EXPECT_TRUE(c.ReadyToRun(3));
}

// Each filter row starts exactly the state areas it names, so freeing those
// leaves no live state behind, and its step filters: bound by the library,
// as its call through the function table does.
TEST(FilterKernels, EachRowStartsAndFreesExactlyItsAreas) {
  LibraryLoaded lib;
  ASSERT_TRUE(lib.loaded);
  // Indexed by FilterArea.
  const size_t offsets[kFilterAreaCount] = {
      offsetof(FilterParams, HighFirState),    offsetof(FilterParams, LowFirDlyState),
      offsetof(FilterParams, LowFirTapState),  offsetof(FilterParams, HighIirState),
      offsetof(FilterParams, LowIirDlyState),  offsetof(FilterParams, LowIirTapState),
      offsetof(FilterParams, HighLmsDesState), offsetof(FilterParams, HighLmsState),
      offsetof(FilterParams, LowLmsDlyState),  offsetof(FilterParams, LowLmsTapState)};
  int rows = 0;
  for (int32_t code = 0; code <= kCatalogueSize + 1; ++code) {
    const FilterKind* kind = FindFilterKind(code);
    const bool isFilter = code >= ccHighLevelFir && code <= ccLowLevelLmsNa;
    ASSERT_EQ(kind != nullptr, isFilter) << code;
    if (kind == nullptr) continue;
    ++rows;
    EXPECT_EQ(kind->Code, code);
    // p steps through the library's binding, q through the function table.
    FilterParams p{};
    DefaultFilterRecord(p);
    p.LmsStep = 0.001f;  // the LMS kinds adapt
    FilterParams q = p;
    kind->Init(p);
    kind->Init(q);
    for (uint32_t a = 0; a < kFilterAreaCount; ++a) {
      const bool named = (kind->Areas & AreaBit(static_cast<FilterArea>(a))) != 0;
      EXPECT_EQ(HandleWord(p, offsets[a]) != 0, named) << code << " area " << a;
    }
    const FilterStep bound = BindFilterStep(*kind, p);
    const FilterStep table = TableFilterStep(*kind, q);
    EXPECT_NE(bound.step, table.step) << code;
    float energy = 0.0f;
    for (int i = 0; i < 16; ++i) {
      const float x = i == 0 ? 100.0f : static_cast<float>(i * 37 % 11 - 5);
      const float r = FilterSample(*kind, p, bound, x, 1.0f);
      EXPECT_EQ(r, FilterSample(*kind, q, table, x, 1.0f)) << code << " step " << i;
      energy += std::abs(r);
    }
    EXPECT_GT(energy, 0.0f) << code;
    FreeFilterAreas(p, kind->Areas);
    FreeFilterAreas(q, kind->Areas);
    for (uint32_t a = 0; a < kFilterAreaCount; ++a) EXPECT_EQ(HandleWord(p, offsets[a]), 0u) << code << " area " << a;
  }
  EXPECT_EQ(rows, 8);
}
