#include "GeneratorWaveforms.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/BlockCatalogue.h"
#include "numeric/Calc.h"
#include "signal/math/Math.h"
#include "RandomSource.h"

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// The processor's sine answers 0 beyond its argument range (|x| >= 2^63).
long double ExtSin(long double x) { return std::fabs(x) < 0x1p63L ? math::Sin(x) : 0.0L; }

// Runs one window: f gets the index as a long double and the length; the
// index then advances and wraps at the length. A length <= 0 gives 0.
template <typename F>
long double WindowSample(int64_t& n, int64_t length, F f) {
  if (length <= 0) {
    n = 0;
    return 0.0L;
  }
  const long double value = f(static_cast<long double>(n), static_cast<long double>(length));
  if (++n >= length) n = 0;
  return value;
}

// c0 - c1 cos(2 pi n / N) + c2 cos(4 pi n / N)
long double CosineSum(long double n, long double len, long double c0, long double c1, long double c2) {
  const long double two = c0 - c1 * math::Cos(2.0L * kPi * n / len);
  return c2 == 0.0L ? two : two + c2 * math::Cos(4.0L * kPi * n / len);
}

// The Blackman family with a free alpha: (alpha + 1)/2 - cos/2 - alpha/2 cos.
long double BlackmanAlpha(long double n, long double len, long double alpha) {
  return (alpha + 1.0L) / 2.0L - 0.5L * math::Cos(2.0L * kPi * n / len) -
         (alpha / 2.0L) * math::Cos(4.0L * kPi * n / len);
}

long double Triangle(long double n, long double len) {
  return n <= len / 2.0L ? 2.0L * n / len : 2.0L - 2.0L * n / len;
}

// The arguments of the two sine kinds, formed the same way for the estimate
// and for the extended sine.
long double SineArgument(const GeneratorParams& params, long double time) {
  return 6.283185307L * time / params.SinePeriod;
}
long double ToneArgument(const GeneratorState& state, long double time) {
  return state.ToneOmega * time + state.TonePhase;
}

// The integer every value within `error` of y rounds to, if there is one
// (and it is well inside the sample range): then a value known to within
// that error rounds to it, whatever its exact bits.
[[gnu::always_inline]] inline bool DecidedRounding(double y, double error, int32_t& sample) {
  int64_t nearest;
  if (!(error < 0.25 && std::fabs(y) < 0x1p30 && rounding_detail::NearestEvenSmall(y, nearest))) return false;
  if (!(std::fabs(y - static_cast<double>(nearest)) < 0.5 - error)) return false;  // the rest is exact
  sample = static_cast<int32_t>(nearest);
  return true;
}

// The sample mag * sin x rounds to, from `sine`, an estimate of sin x within
// 2^-48: its product is within |mag| 2^-47 of the extended one.
bool DecidedSineSample(long double mag, double sine, int32_t& sample) {
  if (!(std::fabs(mag) < 0x1p30L)) return false;  // NaN too
  const auto m = static_cast<double>(mag);        // exact: a double or an integer below 2^30
  return DecidedRounding(m * sine, std::fabs(m) * 0x1p-46, sample);
}

// The random kinds' value for a draw u.
long double RandomValue(float u, const GeneratorParams& params) {
  return static_cast<long double>(u) * params.High + params.Low;
}

// The sample a random kind's value rounds to, from the same sum in doubles:
// two roundings to 53 bits against two to 64, within (|High| + |Low|) 2^-51.
bool DecidedRandomSample(float u, const GeneratorParams& params, int32_t& sample) {
  return DecidedRounding(static_cast<double>(u) * params.High + params.Low,
                         (std::fabs(params.High) + std::fabs(params.Low)) * 0x1p-50, sample);
}

}  // namespace

void PrepareGenerator(int32_t kind, GeneratorParams& params, GeneratorState& state) {
  switch (kind) {
    case gkFunc:  // "Err" marks a formula that failed its check
      state.FormulaFailed = params.Formula == "Err";
      state.Formula.Compile(FormulaText(params.Formula, kRecordTextLength));
      break;
    case gkModSine:
      state.BurstCount = 0;
      state.Omega = params.ModSinePeriod != 0 ? static_cast<double>(2.0L * kPi / params.ModSinePeriod) : 0.0;
      break;
    case gkTone: {
      const float degrees = static_cast<float>(params.TonePhase);
      params.TonePhase = static_cast<float>(degrees * kPi / 180.0L);
      // The same products a sample formed on its own, formed once.
      state.ToneOmega = 2.0L * kPi * params.ToneRelFreq;
      state.TonePhase = params.TonePhase;
      break;
    }
    case gkPseudoRandom:
      params.High = params.High - params.Low;
      break;
    case gkBlackman:
    case gkKaiser:
    case gkBartlett:
    case gkHann:
    case gkHamming:
    case gkBlackmanStd:
    case gkBlackmanOpt: {
      state.BlackmanIndex = state.BlackmanOptIndex = state.BlackmanStdIndex = 0;
      state.BartlettIndex = state.HannIndex = state.HammingIndex = state.KaiserIndex = 0;
      const long double len = static_cast<long double>(params.WindowLen);
      const long double q = math::Sin(kPi / len) / math::Sin(2.0L * kPi / len);
      // The quotient is taken at double precision: at length 4 it is exactly
      // 1/2 and extended rounding noise must not push the tie over to -1.
      // Length 2 overflows and clamps; length 0 gives NaN, hence 0.
      state.OptAlpha = params.WindowLen > 0 ? RoundToInt64(static_cast<double>(-(q * q))) : 0;
      break;
    }
    default:
      break;
  }
}

long double GeneratorSample(int32_t kind, int64_t t, GeneratorParams& params, GeneratorState& state) {
  const long double time = static_cast<long double>(t);
  switch (kind) {
    case gkFunc:
      if (state.FormulaFailed) return -1.0L;
      if (!state.Formula.IsCompiled()) return FormulaValue(params.Formula, kRecordTextLength, static_cast<double>(t));
      return state.Formula.Evaluate(static_cast<double>(t));
    case gkSine:
      if (params.SinePeriod == 0) return 0.0L;
      return params.SineAmp * ExtSin(SineArgument(params, time));
    case gkModSine: {
      long double value = 0.0L;
      if (params.ModSinePeriod != 0)
        value = params.ModSineAmp * ExtSin(state.Omega * time) *
                math::Exp(-static_cast<long double>(state.BurstCount) / params.ModSinePeriod);
      state.BurstCount += 1;
      if (state.BurstCount > params.ModMainTone) {
        if (params.IsSingle != 0)
          state.Omega = 0;
        else
          state.BurstCount = 0;
      }
      return value;
    }
    case gkRandom:
    case gkPseudoRandom:
      return RandomValue(UniformDraw(), params);
    case gkConstant:
      return params.ConstantValue;
    case gkTone:
      return params.ToneMag * ExtSin(ToneArgument(state, time));
    case gkTriangle:
    case gkBartlett:
      return WindowSample(state.BartlettIndex, params.WindowLen,
                          [&](long double n, long double len) { return Triangle(n, len) * params.WindowAmp; });
    case gkGaussian: {
      const long double z = GaussianDraw();
      return (static_cast<long double>(params.Mean) - params.StDev) + 2.0L * (params.StDev + 1.0L) * std::fabs(z);
    }
    case gkBlackman:
      return WindowSample(state.BlackmanIndex, params.BlackLen, [&](long double n, long double len) {
        return params.BlackAmp * BlackmanAlpha(n, len, params.Alpha);
      });
    case gkKaiser:
      return WindowSample(state.KaiserIndex, params.KaiserLen, [&](long double n, long double len) {
        return params.KaiserAmp * BlackmanAlpha(n, len, params.Alpha);
      });
    case gkHann:
      return WindowSample(state.HannIndex, params.WindowLen, [&](long double n, long double len) {
        return params.WindowAmp * CosineSum(n, len, 0.5L, 0.5L, 0.0L);
      });
    case gkHamming:
      return WindowSample(state.HammingIndex, params.WindowLen, [&](long double n, long double len) {
        return params.WindowAmp * CosineSum(n, len, 0.54L, 0.46L, 0.0L);
      });
    case gkBlackmanStd:
      return WindowSample(state.BlackmanStdIndex, params.WindowLen, [&](long double n, long double len) {
        return params.WindowAmp * CosineSum(n, len, 0.42L, 0.5L, 0.08L);
      });
    case gkBlackmanOpt:
      return WindowSample(state.BlackmanOptIndex, params.WindowLen, [&](long double n, long double len) {
        return params.WindowAmp * BlackmanAlpha(n, len, state.OptAlpha);
      });
    default:
      return -1.0L;
  }
}

void EstimatedGeneratorSamples(int32_t kind, const int64_t* times, int count, const GeneratorParams& params,
                               const GeneratorState& state, int32_t* samples, bool* decided) {
  const bool tone = kind == gkTone;
  if (count <= 0 || count > kMostEstimatedSamples || !(tone || (kind == gkSine && params.SinePeriod != 0))) {
    std::fill(decided, decided + std::max(count, 0), false);
    return;
  }
  const long double mag = tone ? params.ToneMag : static_cast<long double>(params.SineAmp);
  // In passes: each pass's steps are independent across the samples, and
  // the sine reads the arguments' bits only once their stores are done.
  long double x[kMostEstimatedSamples];
  for (int k = 0; k < count; ++k) {
    const long double time = static_cast<long double>(times[k]);
    x[k] = tone ? ToneArgument(state, time) : SineArgument(params, time);
  }
  double sine[kMostEstimatedSamples];
  math::SinEstimates(x, count, sine, decided);
  for (int k = 0; k < count; ++k) decided[k] = decided[k] && DecidedSineSample(mag, sine[k], samples[k]);
}

int32_t RoundedGeneratorSample(int32_t kind, int64_t t, GeneratorParams& params, GeneratorState& state,
                               int32_t& problem) {
  int32_t sample;
  bool decided;
  if (kind == gkRandom || kind == gkPseudoRandom) {
    const float u = UniformDraw();
    decided = DecidedRandomSample(u, params, sample);
    if (!decided) return RoundToSample(RandomValue(u, params), problem);
  } else {
    EstimatedGeneratorSamples(kind, &t, 1, params, state, &sample, &decided);
    if (!decided) return RoundToSample(GeneratorSample(kind, t, params, state), problem);
  }
  problem = rvpNone;
  return sample;
}
