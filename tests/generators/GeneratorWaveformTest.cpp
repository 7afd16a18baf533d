// The waveform routines and random sources on their own, as the generator
// dialog's preview uses them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/BlockCatalogue.h"
#include "generators/GeneratorWaveforms.h"
#include "generators/RandomSource.h"
#include "signal/math/Math.h"

namespace {

// The seed whose successor is `next`.
uint32_t SeedBefore(uint32_t next) {
  uint32_t inverse = 134775813u;  // Newton: inverse of an odd number mod 2^32
  for (int i = 0; i < 5; ++i) inverse *= 2u - 134775813u * inverse;
  return (next - 1u) * inverse;
}

}  // namespace

TEST(RandomSource, UniformStaysBelowOneAndGaussianSkipsTheOrigin) {
  UniformSeed = 0;
  EXPECT_EQ(UniformDraw(), 0x1p-32f);
  EXPECT_EQ(UniformSeed, 1u);
  UniformSeed = SeedBefore(0xFFFFFFFFu);  // rounds to 1.0f as a float
  EXPECT_EQ(UniformDraw(), std::nextafter(1.0f, 0.0f));
  EXPECT_EQ(UniformSeed, 0xFFFFFFFFu);
  UniformSeed = SeedBefore(0xFFFFFF7Fu);  // the last seed below the rounding edge
  EXPECT_EQ(UniformDraw(), std::nextafter(1.0f, 0.0f));

  // Seeds 2^31 and 2^31 + 1 in a row give a = b = 0, so s = 0: retried.
  UniformSeed = SeedBefore(0x80000000u);
  const float z = GaussianDraw();
  EXPECT_TRUE(std::isfinite(z));
  EXPECT_NE(UniformSeed, 0x80000001u);  // drew past the rejected pair
}

TEST(GeneratorWaveforms, PreparationAndRanges) {
  GeneratorState state;
  auto optAlpha = [&](int64_t len) {
    GeneratorParams p = DefaultGeneratorParams();
    p.WindowLen = len;
    state.OptAlpha = 12345;
    PrepareGenerator(15, p, state);
    return state.OptAlpha;
  };
  EXPECT_EQ(optAlpha(1), 0);
  EXPECT_EQ(optAlpha(3), -1);
  for (int64_t len : {4, 5, 6, 7, 8, 1024, 1 << 30}) EXPECT_EQ(optAlpha(len), 0) << len;
  EXPECT_EQ(optAlpha(2), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(optAlpha(0), 0);

  GeneratorParams tone = DefaultGeneratorParams();
  tone.TonePhase = 45;
  PrepareGenerator(5, tone, state);
  EXPECT_EQ(tone.TonePhase, static_cast<double>(static_cast<float>(3.141592653589793238L / 4)));

  GeneratorParams pseudo = DefaultGeneratorParams(), random = DefaultGeneratorParams();
  PrepareGenerator(7, pseudo, state);
  PrepareGenerator(3, random, state);
  EXPECT_EQ(pseudo.High, 30.0);
  EXPECT_EQ(random.High, -20.0);
  UniformSeed = 0;
  for (int i = 0; i < 100000; ++i) {
    const long double p = GeneratorSample(7, i, pseudo, state);
    const long double r = GeneratorSample(3, i, random, state);
    ASSERT_TRUE(p >= -50 && p < -20) << static_cast<double>(p);
    ASSERT_TRUE(r > -70 && r <= -50) << static_cast<double>(r);
  }
  EXPECT_EQ(GeneratorSample(16, 0, random, state), -1);
  EXPECT_EQ(GeneratorSample(-1, 0, random, state), -1);
}

TEST(GeneratorWaveforms, WindowIndicesAreSeparateExceptTriangleAndBartlett) {
  GeneratorParams p = DefaultGeneratorParams();
  p.WindowLen = 4;
  p.WindowAmp = 150;
  GeneratorState state;
  PrepareGenerator(12, p, state);
  EXPECT_EQ(GeneratorSample(6, 0, p, state), 0);    // Triangle, index 0
  EXPECT_EQ(GeneratorSample(11, 0, p, state), 75);  // Bartlett continues at 1
  EXPECT_EQ(GeneratorSample(12, 0, p, state), 0);   // Hann has its own
  EXPECT_EQ(state.BartlettIndex, 2);
  EXPECT_EQ(state.HannIndex, 1);
  state.HannIndex = 3;
  GeneratorSample(12, 0, p, state);
  EXPECT_EQ(state.HannIndex, 0);  // wraps at the length
}

TEST(GeneratorWaveforms, RoundingIsToEvenAndClamped) {
  EXPECT_EQ(RoundToSample(2.5L), 2);
  EXPECT_EQ(RoundToSample(-2.5L), -2);
  EXPECT_EQ(RoundToSample(3.5L), 4);
  EXPECT_EQ(RoundToSample(2147483647.5L), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToSample(-2147483648.5L), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToSample(-std::numeric_limits<long double>::infinity()), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToSample(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToInt64(0x1p63L), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(RoundToInt64(-0x1p63L), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(RoundToInt64(-0x1p64L), std::numeric_limits<int64_t>::min());
}

// The sine and random kinds round a double estimate where it decides the
// sample: every sample must still be the one the extended value rounds to,
// also where that lies next to a half (the magnitude or offset is chosen so).
TEST(GeneratorWaveforms, SineAndRandomKindsRoundAsTheExtendedValue) {
  uint64_t seed = 0x9E3779B97F4A7C15u;
  auto next = [&] {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    return seed >> 11;
  };
  int decidedNearHalf = 0;
  for (int i = 0; i < 20000; ++i) {
    GeneratorParams p = DefaultGeneratorParams();
    p.ToneRelFreq = static_cast<double>(next() % 100000) / 1e5 + 1e-6;
    p.TonePhase = static_cast<double>(next() % 360);
    p.SinePeriod = static_cast<int64_t>(next() % 5000) + 1;
    GeneratorState state;
    PrepareGenerator(gkTone, p, state);
    const auto t = static_cast<int64_t>(next() % (int64_t{1} << (next() % 40 + 1)));
    const long double x = state.ToneOmega * static_cast<long double>(t) + state.TonePhase;
    double estimate = 0;
    if (math::SinEstimate(x, estimate)) {
      ASSERT_LE(std::fabs(estimate - math::Sin(x)), 0x1p-48L) << "x " << x;
    }
    const long double sine = math::Sin(x);
    const double half = static_cast<double>(next() % 20000) + 0.5;
    p.ToneMag = i % 2 == 0 ? static_cast<double>(next() % 100000) / 7.0 : half / static_cast<double>(sine);
    p.SineAmp = static_cast<int64_t>(next() % 70000) - 35000;
    // The next draw, for an offset that puts the random value next to a half.
    const uint32_t seed = UniformSeed;
    const long double u = UniformDraw();
    UniformSeed = seed;
    p.High = static_cast<double>(next() % 100000) / 3.0 - 10000;
    p.Low = i % 2 == 0 ? static_cast<double>(next() % 1000) : static_cast<double>(half - u * p.High);
    for (int32_t kind : {gkTone, gkSine, gkRandom}) {
      int32_t problem = rvpOutOfRange, exactProblem = rvpOutOfRange;
      const int32_t got = RoundedGeneratorSample(kind, t, p, state, problem);
      UniformSeed = seed;  // the same draw again
      const int32_t want = RoundToSample(GeneratorSample(kind, t, p, state), exactProblem);
      ASSERT_EQ(got, want) << "kind " << kind << " t " << t << " mag " << p.ToneMag;
      ASSERT_EQ(problem, exactProblem);
      if (kind == gkTone && i % 2 == 1 &&
          std::fabs(std::fabs(static_cast<long double>(p.ToneMag) * sine) - half) < 1e-6L)
        ++decidedNearHalf;
      if (kind == gkRandom && i % 2 == 1 && std::fabs(u * p.High + p.Low - half) < 1e-6L) ++decidedNearHalf;
    }
  }
  EXPECT_GT(decidedNearHalf, 15000);  // the near-half cases did come up
}
