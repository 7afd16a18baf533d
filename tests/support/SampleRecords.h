// Stored records for the dialog tests (Qt, the shared logic and the Windows
// dialogs alike).
#pragma once

#include <cstdint>
#include <string>

#include "framework/BlockCatalogue.h"
#include "numeric/ParameterRecords.h"

// A Blackman record whose every field differs from the defaults: periods in
// several units, the largest amplitudes the controls take, a single impulse.
inline GeneratorParams GeneratorRecordOffDefaults() {
  GeneratorParams r{};
  r.Kind = gkBlackman;
  r.IsSingle = 1;
  r.ModSinePeriod = 2000;  // shown as 2 ns, stored back as 2000
  r.ModMainTone = 77;
  r.ModSineAmp = 5;
  r.SinePeriod = 3000000000000LL;
  r.SineAmp = 2000000000;
  r.MinValue = -9;
  r.MaxValue = 9;
  r.ConstantValue = -1000;
  r.ToneInitValue = 4;
  r.ToneRelFreq = 0.1234567891;
  r.TonePhase = 359;
  r.ToneMag = 1;
  r.TrnglInitValue = -3;
  r.TrnglRelFreq = 0.25;
  r.TrnglPhase = 45;
  r.TrnglMag = 8;
  r.TrnglASym = -89;
  r.Low = -7;
  r.High = 7;
  r.Mean = 2;
  r.StDev = 3;
  r.WindowLen = 300;
  r.BlackLen = 1024;  // reopens as stored, beyond the typing limit
  r.KaiserLen = 2;
  r.WindowAmp = -2000000000;
  r.BlackAmp = 6;
  r.Alpha = -11;
  r.KaiserAmp = 10;
  r.Beta = -11;
  r.Formula.Set("sin(t)*100");
  return r;
}

// A wave record of a file name (in the record's 8-bit encoding) and its format.
inline WaveParams WaveRecord(const std::string& name, int32_t rate, uint16_t bits, uint16_t channels,
                             uint8_t sound = 0) {
  WaveParams r{};
  r.FileName.Set(name);
  r.SampleRate = rate;
  r.BitsPerSample = bits;
  r.Channels = channels;
  r.Sound = sound;
  return r;
}

// A filter record (low-level LMS) with every setting off its default and
// run-time state that must pass through the dialog untouched.
inline FilterParams FilterRecordOffDefaults() {
  FilterParams f{};
  DefaultFilterRecord(f);
  f.TransformCode = 18;
  f.FirUpFactor = 3;
  f.FirUpPhase = 2;
  f.FirDownFactor = 2;
  f.FirDownPhase = 1;
  f.FirMultiRate = 1;
  f.IirType = 1;
  f.IirBiquad = 1;
  f.LmsType = 1;
  f.LmsStep = 0.25f;
  f.LmsLeak = 0.5f;
  f.LmsErrDly = 7;
  f.LmsDownFactor = 4;
  f.LmsDownPhase = 3;
  f.LmsMultiRate = 1;
  f.LmsAdaptive = 1;
  f.HighFirState[5] = 0xAB;
  f.HighLmsError = 1.5;
  return f;
}
