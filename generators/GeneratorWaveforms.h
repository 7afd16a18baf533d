// The sixteen generator waveforms, usable without a block: the generator
// block fills its table with them and the generator dialog draws its preview.
//
// Arithmetic is 80-bit extended (long double). Lengths or periods of 0 (and
// negative window lengths) give samples of 0; kinds outside 0..15 give -1.
#pragma once

#include <cstdint>

#include "numeric/CompiledFormula.h"
#include "numeric/ParameterRecords.h"
#include "numeric/Rounding.h"

// Running state of one waveform, private to its owner.
struct GeneratorState {
  double BurstCount = 0;  // ModSine: samples into the current burst
  double Omega = 0;       // ModSine: angular frequency, 0 once a single burst is over
  // One running index per window kind; Triangle shares Bartlett's.
  int64_t BlackmanIndex = 0;
  int64_t BlackmanOptIndex = 0;
  int64_t BlackmanStdIndex = 0;
  int64_t BartlettIndex = 0;
  int64_t HannIndex = 0;
  int64_t HammingIndex = 0;
  int64_t KaiserIndex = 0;
  int64_t OptAlpha = 0;        // BlackmanOpt's alpha, fixed by the window length
  long double ToneOmega = 0;   // Tone: 2 pi ToneRelFreq, the factor of t
  long double TonePhase = 0;   // Tone: the phase in radians
  bool FormulaFailed = false;  // Func: the formula failed its check
  CompiledFormula Formula;     // Func: the formula, compiled by PrepareGenerator
};

// Once per parameter load, before any sample. May rewrite fields of params
// (Tone's phase becomes radians, PseudoRandom's High becomes the span), so
// call it once on a freshly loaded record.
void PrepareGenerator(int32_t kind, GeneratorParams& params, GeneratorState& state);

// The next sample of `kind` at time t (host time units). Window kinds ignore
// t and advance their index; random kinds draw from the shared source.
long double GeneratorSample(int32_t kind, int64_t t, GeneratorParams& params, GeneratorState& state);

// The samples GeneratorSample rounds to at times[0..count), for the sine
// kinds, from an estimate of the sine where that decides them (nearly
// always): decided[k] says whether samples[k] holds one; the rest are left
// to RoundToSample(GeneratorSample(...)). Changes no state. count is at most
// kMostEstimatedSamples.
constexpr int kMostEstimatedSamples = 64;
void EstimatedGeneratorSamples(int32_t kind, const int64_t* times, int count, const GeneratorParams& params,
                               const GeneratorState& state, int32_t* samples, bool* decided);

// GeneratorSample rounded to a sample (RoundToSample), with what became of
// it on the way; the sine kinds mostly from the estimate.
int32_t RoundedGeneratorSample(int32_t kind, int64_t t, GeneratorParams& params, GeneratorState& state,
                               int32_t& problem);
