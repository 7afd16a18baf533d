// The fixed-layout parameter records that the host stores per block and the
// dialogs edit: little-endian, packed, exchanged as raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "CountedText.h"
#include "framework/RecordLimits.h"

static_assert(sizeof(float) == 4 && sizeof(double) == 8, "records hold IEEE single and double values");

#pragma pack(push, 1)

// Generator record, stored under the type name + "_parameters".
struct GeneratorParams {
  int32_t Kind;  // the kind an "All_in_One" block generates
  uint8_t IsSingle;
  uint8_t Unused5[3];
  int64_t ModSinePeriod;
  int64_t ModMainTone;
  int64_t ModSineAmp;
  int64_t SinePeriod;
  int64_t SineAmp;
  double MinValue;
  double MaxValue;
  double ConstantValue;
  double ToneInitValue;
  double ToneRelFreq;
  double TonePhase;  // degrees
  double ToneMag;
  double TrnglInitValue;
  double TrnglRelFreq;
  double TrnglPhase;
  double TrnglMag;
  double TrnglASym;
  double Low;
  double High;
  double Mean;
  double StDev;
  int64_t WindowLen;
  int64_t BlackLen;
  int64_t KaiserLen;
  int64_t WindowAmp;
  int64_t BlackAmp;
  int64_t Alpha;
  int64_t KaiserAmp;
  int64_t Beta;
  CountedText<kRecordTextLength> Formula;
};

// Transform record of the element-wise and buffer blocks, stored under the
// catalogue name of the block's transform.
struct TransformParams {
  int32_t TransformCode;
  int32_t SignalLength;  // <= 0 stands for 102
  uint8_t Reserved8[60];
  int32_t FftFlags;
  float GoertzelFrequency;
  uint8_t GoertzelState[32];  // owned by the signal library
  int32_t SamplPhase;
  int32_t SamplFactor;
  int32_t Reserved116;
  int32_t CorrLags;
  uint8_t CorrType;
  uint8_t Padding125[3];
  float WinAlpha;
  float WinBeta;
  int32_t Reserved136;
  CountedText<kRecordTextLength> UserFunc;
  CountedText<kRecordTextLength> BasisFunc;
  uint8_t Padding252[4];
  double AddSubCoef;
  double MpyDivCoef;
  double ThreshParam;
  int32_t ThreshRelOp;  // 0 "NSP_LT", 1 "NSP_GT"
  int32_t BitRevOrder;
  int32_t ConvTapsCount;
  float ConvTaps[65];
};

// Filter record, stored under the catalogue name of the block's filter. The
// state areas are owned by the signal library.
struct FilterParams {
  int32_t TransformCode;
  int32_t FirTapsCount;
  int32_t IirTapsCount;
  int32_t LmsTapsCount;
  int32_t FirUpFactor;
  int32_t FirUpPhase;
  int32_t FirDownFactor;
  int32_t FirDownPhase;
  uint8_t FirMultiRate;
  uint8_t Padding33[3];
  int32_t IirType;
  uint8_t IirBiquad;
  uint8_t Padding41[7];
  double HighLmsError;
  double LowLmsError;
  int32_t LmsType;
  float LmsStep;
  float LmsLeak;
  int32_t LmsErrDly;
  int32_t LmsDownFactor;
  int32_t LmsDownPhase;
  uint8_t LmsMultiRate;
  uint8_t Padding89[3];
  int32_t LmsAdaptive;
  uint8_t HighFirState[72];
  uint8_t LowFirTapState[36];
  uint8_t LowFirDlyState[12];
  uint8_t HighIirState[20];
  uint8_t LowIirTapState[12];
  uint8_t LowIirDlyState[4];
  uint8_t HighLmsDesState[72];
  uint8_t HighLmsState[72];
  uint8_t LowLmsTapState[48];
  uint8_t LowLmsDlyState[16];
  float FirTaps[65];
  float FirDelay[65];
  float IirTaps[65];
  float IirDelay[65];
  float LmsTaps[65];
  float LmsDelay[65];
  uint8_t Reserved2020[4];
};

// Wave record, stored under "Load Wave" or "Save Wave".
struct WaveParams {
  CountedText<kRecordTextLength> FileName;
  uint8_t Sound;  // 0 "All_waves" … 5 "Thank_You"
  uint8_t Padding57[3];
  int32_t SampleRate;
  uint16_t BitsPerSample;
  uint16_t Channels;
};

#pragma pack(pop)

#define RIR_CHECK_OFFSET(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)

static_assert(sizeof(GeneratorParams) == 296);
RIR_CHECK_OFFSET(GeneratorParams, IsSingle, 4);
RIR_CHECK_OFFSET(GeneratorParams, ModSinePeriod, 8);
RIR_CHECK_OFFSET(GeneratorParams, ModMainTone, 16);
RIR_CHECK_OFFSET(GeneratorParams, ModSineAmp, 24);
RIR_CHECK_OFFSET(GeneratorParams, SinePeriod, 32);
RIR_CHECK_OFFSET(GeneratorParams, SineAmp, 40);
RIR_CHECK_OFFSET(GeneratorParams, MinValue, 48);
RIR_CHECK_OFFSET(GeneratorParams, MaxValue, 56);
RIR_CHECK_OFFSET(GeneratorParams, ConstantValue, 64);
RIR_CHECK_OFFSET(GeneratorParams, ToneInitValue, 72);
RIR_CHECK_OFFSET(GeneratorParams, ToneRelFreq, 80);
RIR_CHECK_OFFSET(GeneratorParams, TonePhase, 88);
RIR_CHECK_OFFSET(GeneratorParams, ToneMag, 96);
RIR_CHECK_OFFSET(GeneratorParams, TrnglInitValue, 104);
RIR_CHECK_OFFSET(GeneratorParams, TrnglRelFreq, 112);
RIR_CHECK_OFFSET(GeneratorParams, TrnglPhase, 120);
RIR_CHECK_OFFSET(GeneratorParams, TrnglMag, 128);
RIR_CHECK_OFFSET(GeneratorParams, TrnglASym, 136);
RIR_CHECK_OFFSET(GeneratorParams, Low, 144);
RIR_CHECK_OFFSET(GeneratorParams, High, 152);
RIR_CHECK_OFFSET(GeneratorParams, Mean, 160);
RIR_CHECK_OFFSET(GeneratorParams, StDev, 168);
RIR_CHECK_OFFSET(GeneratorParams, WindowLen, 176);
RIR_CHECK_OFFSET(GeneratorParams, BlackLen, 184);
RIR_CHECK_OFFSET(GeneratorParams, KaiserLen, 192);
RIR_CHECK_OFFSET(GeneratorParams, WindowAmp, 200);
RIR_CHECK_OFFSET(GeneratorParams, BlackAmp, 208);
RIR_CHECK_OFFSET(GeneratorParams, Alpha, 216);
RIR_CHECK_OFFSET(GeneratorParams, KaiserAmp, 224);
RIR_CHECK_OFFSET(GeneratorParams, Beta, 232);
RIR_CHECK_OFFSET(GeneratorParams, Formula, 240);

static_assert(sizeof(TransformParams) == 552);
RIR_CHECK_OFFSET(TransformParams, SignalLength, 4);
RIR_CHECK_OFFSET(TransformParams, Reserved8, 8);
RIR_CHECK_OFFSET(TransformParams, FftFlags, 68);
RIR_CHECK_OFFSET(TransformParams, GoertzelFrequency, 72);
RIR_CHECK_OFFSET(TransformParams, GoertzelState, 76);
RIR_CHECK_OFFSET(TransformParams, SamplPhase, 108);
RIR_CHECK_OFFSET(TransformParams, SamplFactor, 112);
RIR_CHECK_OFFSET(TransformParams, Reserved116, 116);
RIR_CHECK_OFFSET(TransformParams, CorrLags, 120);
RIR_CHECK_OFFSET(TransformParams, CorrType, 124);
RIR_CHECK_OFFSET(TransformParams, WinAlpha, 128);
RIR_CHECK_OFFSET(TransformParams, WinBeta, 132);
RIR_CHECK_OFFSET(TransformParams, Reserved136, 136);
RIR_CHECK_OFFSET(TransformParams, UserFunc, 140);
RIR_CHECK_OFFSET(TransformParams, BasisFunc, 196);
RIR_CHECK_OFFSET(TransformParams, AddSubCoef, 256);
RIR_CHECK_OFFSET(TransformParams, MpyDivCoef, 264);
RIR_CHECK_OFFSET(TransformParams, ThreshParam, 272);
RIR_CHECK_OFFSET(TransformParams, ThreshRelOp, 280);
RIR_CHECK_OFFSET(TransformParams, BitRevOrder, 284);
RIR_CHECK_OFFSET(TransformParams, ConvTapsCount, 288);
RIR_CHECK_OFFSET(TransformParams, ConvTaps, 292);

static_assert(sizeof(FilterParams) == 2024);
RIR_CHECK_OFFSET(FilterParams, FirTapsCount, 4);
RIR_CHECK_OFFSET(FilterParams, IirTapsCount, 8);
RIR_CHECK_OFFSET(FilterParams, LmsTapsCount, 12);
RIR_CHECK_OFFSET(FilterParams, FirUpFactor, 16);
RIR_CHECK_OFFSET(FilterParams, FirUpPhase, 20);
RIR_CHECK_OFFSET(FilterParams, FirDownFactor, 24);
RIR_CHECK_OFFSET(FilterParams, FirDownPhase, 28);
RIR_CHECK_OFFSET(FilterParams, FirMultiRate, 32);
RIR_CHECK_OFFSET(FilterParams, IirType, 36);
RIR_CHECK_OFFSET(FilterParams, IirBiquad, 40);
RIR_CHECK_OFFSET(FilterParams, HighLmsError, 48);
RIR_CHECK_OFFSET(FilterParams, LowLmsError, 56);
RIR_CHECK_OFFSET(FilterParams, LmsType, 64);
RIR_CHECK_OFFSET(FilterParams, LmsStep, 68);
RIR_CHECK_OFFSET(FilterParams, LmsLeak, 72);
RIR_CHECK_OFFSET(FilterParams, LmsErrDly, 76);
RIR_CHECK_OFFSET(FilterParams, LmsDownFactor, 80);
RIR_CHECK_OFFSET(FilterParams, LmsDownPhase, 84);
RIR_CHECK_OFFSET(FilterParams, LmsMultiRate, 88);
RIR_CHECK_OFFSET(FilterParams, LmsAdaptive, 92);
RIR_CHECK_OFFSET(FilterParams, HighFirState, 96);
RIR_CHECK_OFFSET(FilterParams, LowFirTapState, 168);
RIR_CHECK_OFFSET(FilterParams, LowFirDlyState, 204);
RIR_CHECK_OFFSET(FilterParams, HighIirState, 216);
RIR_CHECK_OFFSET(FilterParams, LowIirTapState, 236);
RIR_CHECK_OFFSET(FilterParams, LowIirDlyState, 248);
RIR_CHECK_OFFSET(FilterParams, HighLmsDesState, 252);
RIR_CHECK_OFFSET(FilterParams, HighLmsState, 324);
RIR_CHECK_OFFSET(FilterParams, LowLmsTapState, 396);
RIR_CHECK_OFFSET(FilterParams, LowLmsDlyState, 444);
RIR_CHECK_OFFSET(FilterParams, FirTaps, 460);
RIR_CHECK_OFFSET(FilterParams, FirDelay, 720);
RIR_CHECK_OFFSET(FilterParams, IirTaps, 980);
RIR_CHECK_OFFSET(FilterParams, IirDelay, 1240);
RIR_CHECK_OFFSET(FilterParams, LmsTaps, 1500);
RIR_CHECK_OFFSET(FilterParams, LmsDelay, 1760);
RIR_CHECK_OFFSET(FilterParams, Reserved2020, 2020);

static_assert(sizeof(WaveParams) == 68);
RIR_CHECK_OFFSET(WaveParams, Sound, 56);
RIR_CHECK_OFFSET(WaveParams, SampleRate, 60);
RIR_CHECK_OFFSET(WaveParams, BitsPerSample, 64);
RIR_CHECK_OFFSET(WaveParams, Channels, 66);

#undef RIR_CHECK_OFFSET

// Write the non-zero defaults; every other byte keeps what the record held.
// A zeroed record therefore becomes exactly the default record.
void DefaultTransformRecord(TransformParams& record);
void DefaultFilterRecord(FilterParams& record);
void DefaultWaveRecord(WaveParams& record);
// The default generator record; bytes the defaults do not name are zero.
GeneratorParams DefaultGeneratorParams();

// The record's signal length, 102 when it is <= 0; the Goertzel DFT also
// sets the output length to 1.
int32_t TransformSignalLength(int32_t code, const TransformParams& record, int32_t& outputLength);
