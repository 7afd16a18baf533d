#include "ParameterRecords.h"

#include <cstring>

void DefaultTransformRecord(TransformParams& r) {
  r.SignalLength = 102;
  r.GoertzelFrequency = 0.125f;
  r.SamplFactor = 2;
  r.Reserved116 = 256;
  r.CorrLags = 1;
  r.CorrType = 1;
  r.WinAlpha = 4.0f;
  r.WinBeta = 1.0f;
  r.Reserved136 = 256;
  r.UserFunc.Set("1/10*t");
  r.AddSubCoef = 13.0;
  r.MpyDivCoef = 4.0;
  r.ThreshParam = 10.0;
  r.ThreshRelOp = 1;
  r.BitRevOrder = 5;
  r.ConvTapsCount = 6;
  r.ConvTaps[0] = 1.0f;
}

void DefaultFilterRecord(FilterParams& r) {
  r.TransformCode = 12;
  r.FirTapsCount = 6;
  r.IirTapsCount = 6;
  r.LmsTapsCount = 6;
  r.LmsDownFactor = 1;
  static constexpr float kFirTaps[6] = {0.0f, 1.0f, -0.5f, 1.0f, -2.0f, 1.0f};
  std::memcpy(r.FirTaps, kFirTaps, sizeof kFirTaps);
  for (int i = 0; i < 5; ++i) {
    r.FirDelay[i] = 1.0f;
    r.IirTaps[i] = 1.0f;
    r.IirDelay[i] = 1.0f;
    r.LmsTaps[i] = 1.0f;
    r.LmsDelay[i] = 1.0f;
  }
}

void DefaultWaveRecord(WaveParams& r) {
  r.FileName.Set("test.wav");
  r.SampleRate = 8000;
  r.BitsPerSample = 8;
  r.Channels = 1;
}

GeneratorParams DefaultGeneratorParams() {
  GeneratorParams p;
  std::memset(&p, 0, sizeof p);
  p.Kind = 2;
  p.ModSinePeriod = 10;
  p.ModMainTone = 100;
  p.ModSineAmp = 100;
  p.SinePeriod = 10000;
  p.SineAmp = 100;
  p.MinValue = -1.0;
  p.MaxValue = 7.0;
  p.ConstantValue = 123.0;
  p.ToneInitValue = 1.0;
  p.ToneRelFreq = 0.0001;
  p.TonePhase = 0.0;
  p.ToneMag = 10.0;
  p.TrnglInitValue = 5.0;
  p.TrnglRelFreq = 0.0005;
  p.TrnglMag = 10.0;
  p.Low = -50.0;
  p.High = -20.0;
  p.Mean = 5.0;
  p.StDev = 7.0;
  p.WindowLen = 1024;
  p.BlackLen = 1024;
  p.KaiserLen = 1024;
  p.WindowAmp = 150;
  p.BlackAmp = 1;
  p.Alpha = 100;
  p.KaiserAmp = 1;
  p.Beta = 1;
  p.Formula.Set("1+2");
  return p;
}

int32_t TransformSignalLength(int32_t code, const TransformParams& record, int32_t& outputLength) {
  if (code == 46) outputLength = 1;
  return record.SignalLength <= 0 ? 102 : record.SignalLength;
}
