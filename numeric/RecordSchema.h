// Every named field of the parameter records in one table: the name the
// design files and the dialogs use, where it lies, its type, the values the
// blocks take, the range its dialog control offers, its default, unit and
// meaning, and for a list the count field that says how many of its values
// count. The simulator, the block reference and the dialogs all read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "ParameterRecords.h"
#include "framework/BlockCatalogue.h"

enum class RecordKind : uint8_t { Generator, Transform, Filter, Wave };

enum class FieldType : uint8_t {
  Bool,  // one byte, 0 or 1
  UInt8,
  UInt16,
  Int32,
  Int64,
  Float32,
  Float64,
  Text,         // counted text: length byte + `count` characters
  Float32Array  // `count` floats
};

inline constexpr double kUnbounded = std::numeric_limits<double>::infinity();
inline constexpr double kNoControl = std::numeric_limits<double>::quiet_NaN();

struct RecordField {
  const char* name;  // as the dialogs name the control, or a descriptive name
  RecordKind record;
  uint32_t offset;
  FieldType type;
  uint32_t count;                 // text capacity or array length; 1 otherwise
  bool libraryState;              // an area owned by the signal library: never set by name
  double min, max;                // the values the blocks take; +-kUnbounded when open
  const char* rangeNote;          // said after the range, "" for nothing
  double controlMin, controlMax;  // what the dialog's control offers; kNoControl for none
  double defaultValue;            // numbers; the record defaults write it when it is not 0
  const char* defaultText;        // texts
  const char* unit;               // "" when the value has none
  const char* meaning;
  const char* countedBy;               // a list's count field, "" for none
  std::span<const float> listDefault;  // a list's leading default values (the rest are 0)

  constexpr bool HasControl() const { return controlMin == controlMin; }
  constexpr bool IsCounted() const { return countedBy[0] != '\0'; }
};

namespace record_schema {

constexpr double kAny = kUnbounded;
constexpr double kMillion = 1000000;
constexpr double kBillion = 1000000000;
constexpr double kLongest = 2000000000;

// The lists' default values.
inline constexpr float kFirTaps[] = {0.0f, 1.0f, -0.5f, 1.0f, -2.0f, 1.0f};
inline constexpr float kFiveOnes[] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr float kUnitTap[] = {1.0f};
inline constexpr std::span<const float> kNoList;

// The numeric columns of a row: range, control range, default.
struct Numbers {
  double min = -kAny, max = kAny;
  const char* note = "";
  double controlMin = kNoControl, controlMax = kNoControl;
  double value = 0;
};

#define RIR_FIELD(kind, rec, member, name, type, numbers, unit, meaning)                                               \
  RecordField {                                                                                                        \
    name, RecordKind::kind, static_cast<uint32_t>(offsetof(rec, member)), FieldType::type, 1, false, (numbers).min,    \
        (numbers).max, (numbers).note, (numbers).controlMin, (numbers).controlMax, (numbers).value, "", unit, meaning, \
        "", kNoList                                                                                                    \
  }
#define RIR_TEXT(kind, rec, member, name, text, meaning)                                                             \
  RecordField {                                                                                                      \
    name, RecordKind::kind, static_cast<uint32_t>(offsetof(rec, member)), FieldType::Text, kRecordTextLength, false, \
        0, kRecordTextLength, "", kNoControl, kNoControl, 0, text, "", meaning, "", kNoList                          \
  }
// A list of `count` floats, of which the field named `counted` says how many count.
#define RIR_FLOATS(kind, rec, member, name, counted, defaults, meaning)                                            \
  RecordField {                                                                                                    \
    name, RecordKind::kind, static_cast<uint32_t>(offsetof(rec, member)), FieldType::Float32Array, kRecordMaxTaps, \
        false, -kAny, kAny, "", kNoControl, kNoControl, 0, "", "", meaning, counted, defaults                      \
  }
#define RIR_STATE(kind, rec, member, name)                                                             \
  RecordField {                                                                                        \
    name, RecordKind::kind, static_cast<uint32_t>(offsetof(rec, member)), FieldType::UInt8,            \
        static_cast<uint32_t>(sizeof(rec::member)), true, 0, 0, "", kNoControl, kNoControl, 0, "", "", \
        "signal-library state", "", kNoList                                                            \
  }

// Grouped by record, in record order.
inline constexpr RecordField kFields[] = {
    RIR_FIELD(Generator, GeneratorParams, Kind, "Kind", Int32, (Numbers{.min = 0, .max = gkAllInOne, .value = 2}), "",
              "generator kind the All_in_One block makes (0 Func, 1 Sine, 2 ModSine, 3 Random, 4 Constant, 5 Tone, "
              "6 Triangle, 7 PseudoRandom, 8 Gaussian, 9 Blackman, 10 Kaiser, 11 Bartlett, 12 Hann, 13 Hamming, 14 "
              "BlackmanStd, 15 BlackmanOpt)"),
    RIR_FIELD(Generator, GeneratorParams, IsSingle, "IsSingle", Bool,
              (Numbers{.min = 0, .max = 1, .controlMin = 0, .controlMax = 1}), "",
              "one burst only instead of a repeating burst"),
    RIR_FIELD(Generator, GeneratorParams, ModSinePeriod, "ModSinePeriod", Int64,
              (Numbers{.note = "0 gives 0", .controlMin = 0, .controlMax = kLongest, .value = 10}), "time units",
              "period of the sine inside a burst, also its decay constant"),
    RIR_FIELD(Generator, GeneratorParams, ModMainTone, "ModMainTone", Int64,
              (Numbers{.controlMin = 1, .controlMax = kLongest, .value = 100}), "samples",
              "samples per burst before it restarts"),
    RIR_FIELD(Generator, GeneratorParams, ModSineAmp, "ModSineAmp", Int64,
              (Numbers{.controlMin = 0, .controlMax = kLongest, .value = 100}), "", "burst amplitude"),
    RIR_FIELD(Generator, GeneratorParams, SinePeriod, "SinePeriod", Int64,
              (Numbers{.note = "0 gives 0", .controlMin = 1, .controlMax = kLongest, .value = 10000}), "time units",
              "sine period"),
    RIR_FIELD(Generator, GeneratorParams, SineAmp, "SineAmp", Int64,
              (Numbers{.controlMin = 0, .controlMax = kLongest, .value = 100}), "", "sine amplitude"),
    RIR_FIELD(Generator, GeneratorParams, MinValue, "MinValue", Float64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = -1}), "",
              "dialog only: the Random page's Min"),
    RIR_FIELD(Generator, GeneratorParams, MaxValue, "MaxValue", Float64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = 7}), "",
              "dialog only: the Random page's Max"),
    RIR_FIELD(Generator, GeneratorParams, ConstantValue, "ConstantValue", Float64,
              (Numbers{.controlMin = -kMillion, .controlMax = kMillion, .value = 123}), "",
              "the constant written on every step"),
    RIR_FIELD(Generator, GeneratorParams, ToneInitValue, "ToneInitValue", Float64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = 1}), "", "dialog only"),
    RIR_FIELD(Generator, GeneratorParams, ToneRelFreq, "ToneRelFreq", Float64,
              (Numbers{.controlMin = 0, .controlMax = 0.4999999999, .value = 0.0001}), "cycles per time unit",
              "tone frequency relative to the time unit"),
    RIR_FIELD(Generator, GeneratorParams, TonePhase, "TonePhase", Float64,
              (Numbers{.controlMin = 0, .controlMax = 359}), "degrees", "tone phase"),
    RIR_FIELD(Generator, GeneratorParams, ToneMag, "ToneMag", Float64,
              (Numbers{.controlMin = 1, .controlMax = kBillion, .value = 10}), "", "tone amplitude"),
    RIR_FIELD(Generator, GeneratorParams, TrnglInitValue, "TrnglInitValue", Float64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = 5}), "", "dialog only"),
    RIR_FIELD(Generator, GeneratorParams, TrnglRelFreq, "TrnglRelFreq", Float64,
              (Numbers{.controlMin = 0, .controlMax = 0.49999999999, .value = 0.0005}), "cycles per time unit",
              "dialog only"),
    RIR_FIELD(Generator, GeneratorParams, TrnglPhase, "TrnglPhase", Float64,
              (Numbers{.controlMin = 0, .controlMax = 359}), "degrees", "dialog only"),
    RIR_FIELD(Generator, GeneratorParams, TrnglMag, "TrnglMag", Float64,
              (Numbers{.controlMin = 1, .controlMax = kBillion, .value = 10}), "", "dialog only"),
    RIR_FIELD(Generator, GeneratorParams, TrnglASym, "TrnglASym", Float64,
              (Numbers{.controlMin = -89, .controlMax = 89}), "degrees", "dialog only"),
    RIR_FIELD(Generator, GeneratorParams, Low, "Low", Float64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = -50}), "",
              "lowest value of the uniform noise"),
    RIR_FIELD(Generator, GeneratorParams, High, "High", Float64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = -20}), "",
              "Random: noise spans Low .. Low + High; PseudoRandom: Low .. High"),
    RIR_FIELD(Generator, GeneratorParams, Mean, "Mean", Float64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = 5}), "",
              "Gaussian: the values start at Mean - StDev"),
    RIR_FIELD(Generator, GeneratorParams, StDev, "StDev", Float64,
              (Numbers{.controlMin = 1, .controlMax = kBillion, .value = 7}), "",
              "Gaussian: the value is (Mean - StDev) + 2 (StDev + 1) |z|, z a Gaussian draw"),
    RIR_FIELD(Generator, GeneratorParams, WindowLen, "WindowLen", Int64,
              (Numbers{.min = 1, .controlMin = 2, .controlMax = kLongest, .value = 1024}), "samples",
              "window length (Triangle, Bartlett, Hann, Hamming, BlackmanStd, BlackmanOpt)"),
    RIR_FIELD(Generator, GeneratorParams, BlackLen, "BlackLen", Int64,
              (Numbers{.min = 1, .controlMin = 2, .controlMax = kLongest, .value = 1024}), "samples",
              "Blackman window length"),
    RIR_FIELD(Generator, GeneratorParams, KaiserLen, "KaiserLen", Int64,
              (Numbers{.min = 1, .controlMin = 2, .controlMax = kLongest, .value = 1024}), "samples",
              "Kaiser window length"),
    RIR_FIELD(Generator, GeneratorParams, WindowAmp, "WindowAmp", Int64,
              (Numbers{.controlMin = -kLongest, .controlMax = kLongest, .value = 150}), "", "window amplitude"),
    RIR_FIELD(Generator, GeneratorParams, BlackAmp, "BlackAmp", Int64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = 1}), "", "Blackman window amplitude"),
    RIR_FIELD(Generator, GeneratorParams, Alpha, "Alpha", Int64,
              (Numbers{.controlMin = -kMillion, .controlMax = kMillion, .value = 100}), "",
              "Blackman and Kaiser window alpha"),
    RIR_FIELD(Generator, GeneratorParams, KaiserAmp, "KaiserAmp", Int64,
              (Numbers{.controlMin = -kBillion, .controlMax = kBillion, .value = 1}), "", "Kaiser window amplitude"),
    RIR_FIELD(Generator, GeneratorParams, Beta, "Beta", Int64,
              (Numbers{.controlMin = -11, .controlMax = 1, .value = 1}), "", "dialog only"),
    RIR_TEXT(Generator, GeneratorParams, Formula, "Formula", "1+2",
             "F(t), evaluated at the time t; \"Err\" after a failed check"),

    RIR_FIELD(Transform, TransformParams, TransformCode, "TransformCode", Int32,
              (Numbers{.min = 1, .max = kCatalogueSize, .note = "a catalogue code of the group"}), "",
              "operation a group block performs"),
    RIR_FIELD(Transform, TransformParams, SignalLength, "Num_Points", Int32,
              (Numbers{.min = 1,
                       .max = kMaxSignalLength,
                       .note = "<= 0 means 102",
                       .controlMin = 3,
                       .controlMax = kMillion,
                       .value = 102}),
              "samples", "buffer length N"),
    RIR_FIELD(Transform, TransformParams, FftFlags, "FFT_Flags", Int32,
              (Numbers{.min = 0, .max = 2047, .note = "a sum of 1, 2, 4, ... 1024"}), "",
              "FFT flag word (1 Forward, 2 Inverse, 4 Initialize, 8 No Scale, ...)"),
    RIR_FIELD(Transform, TransformParams, GoertzelFrequency, "Goertzel_Frequency", Float32,
              (Numbers{.min = 0, .max = 1, .controlMin = 0, .controlMax = 0.998, .value = 0.125}), "of the sample rate",
              "Goertzel frequency"),
    RIR_STATE(Transform, TransformParams, GoertzelState, "GoertzelState"),
    RIR_FIELD(Transform, TransformParams, SamplPhase, "Sampl_Phase", Int32,
              (Numbers{.min = 0, .controlMin = 0, .controlMax = kMillion}), "samples", "up/down sampling phase"),
    RIR_FIELD(Transform, TransformParams, SamplFactor, "Sampl_Factor", Int32,
              (Numbers{.min = 1, .controlMin = 1, .controlMax = kMillion, .value = 2}), "", "up/down sampling factor"),
    RIR_FIELD(Transform, TransformParams, CorrLags, "Corr_nLags", Int32,
              (Numbers{.min = 0,
                       .max = kMaxSignalLength,
                       .note = "at most N",
                       .controlMin = 1,
                       .controlMax = kMillion,
                       .value = 1}),
              "samples", "number of correlation lags"),
    RIR_FIELD(Transform, TransformParams, CorrType, "corrType", UInt8, (Numbers{.min = 0, .max = 2, .value = 1}), "",
              "correlation type: 0 normal, 1 biased, 2 unbiased"),
    RIR_FIELD(Transform, TransformParams, WinAlpha, "Win_Alpha", Float32,
              (Numbers{.controlMin = -kMillion, .controlMax = kMillion, .value = 4}), "", "Blackman window alpha"),
    RIR_FIELD(Transform, TransformParams, WinBeta, "Win_Beta", Float32,
              (Numbers{.controlMin = -10, .controlMax = 1, .value = 1}), "", "Kaiser window beta"),
    RIR_TEXT(Transform, TransformParams, UserFunc, "User_func", "1/10*t", "F(x) of the Any Func transform"),
    RIR_TEXT(Transform, TransformParams, BasisFunc, "Basis_func", "", "basis function of the user transforms"),
    RIR_FIELD(Transform, TransformParams, AddSubCoef, "Add_Sub_coef", Float64,
              (Numbers{.controlMin = -kMillion, .controlMax = kMillion, .value = 13}), "",
              "coefficient added to the input"),
    RIR_FIELD(Transform, TransformParams, MpyDivCoef, "Mpy_Div_coef", Float64,
              (Numbers{.controlMin = -kMillion, .controlMax = kMillion, .value = 4}), "",
              "coefficient the input is multiplied by"),
    RIR_FIELD(Transform, TransformParams, ThreshParam, "Thresh_param", Float64,
              (Numbers{.controlMin = 0, .controlMax = kMillion, .value = 10}), "", "threshold"),
    RIR_FIELD(Transform, TransformParams, ThreshRelOp, "Thresh_RelOp", Int32, (Numbers{.min = 0, .max = 1, .value = 1}),
              "", "0: limit values below, 1: limit values above"),
    RIR_FIELD(Transform, TransformParams, BitRevOrder, "BitRev_Order", Int32,
              (Numbers{.min = 0, .max = 31, .controlMin = 0, .controlMax = 31, .value = 5}), "bits",
              "number of low bits reversed"),
    RIR_FIELD(Transform, TransformParams, ConvTapsCount, "Conv_H_Count", Int32,
              (Numbers{.min = 0, .max = kRecordMaxTaps, .value = 6}), "taps", "number of convolution taps"),
    RIR_FLOATS(Transform, TransformParams, ConvTaps, "Conv_H_12D", "Conv_H_Count", kUnitTap, "convolution taps"),

    RIR_FIELD(Filter, FilterParams, TransformCode, "TransformCode", Int32,
              (Numbers{.min = ccHighLevelFir,
                       .max = ccLowLevelLmsNa,
                       .note = "a catalogue code of the group",
                       .value = ccHighLevelFir}),
              "", "operation a group block performs"),
    RIR_FIELD(Filter, FilterParams, FirTapsCount, "FIRS_TapsCount", Int32,
              (Numbers{.min = 0, .max = kRecordMaxTaps, .value = 6}), "taps", "FIR taps count"),
    RIR_FIELD(Filter, FilterParams, IirTapsCount, "IIRS_TapsCount", Int32,
              (Numbers{.min = 0, .max = kRecordMaxTaps, .value = 6}), "taps", "IIR taps count"),
    RIR_FIELD(Filter, FilterParams, LmsTapsCount, "LMSS_TapsCount", Int32,
              (Numbers{.min = 0, .max = kRecordMaxTaps, .value = 6}), "taps", "LMS taps count"),
    RIR_FIELD(Filter, FilterParams, FirUpFactor, "FIRH_UpFactor", Int32,
              (Numbers{.min = 0, .controlMin = 1, .controlMax = kMillion}), "", "multi-rate FIR up factor"),
    RIR_FIELD(Filter, FilterParams, FirUpPhase, "FIRH_UpPhase", Int32,
              (Numbers{.min = 0, .controlMin = 0, .controlMax = kMillion}), "samples", "multi-rate FIR up phase"),
    RIR_FIELD(Filter, FilterParams, FirDownFactor, "FIRH_DownFactor", Int32,
              (Numbers{.min = 0, .controlMin = 1, .controlMax = kMillion}), "", "multi-rate FIR down factor"),
    RIR_FIELD(Filter, FilterParams, FirDownPhase, "FIRH_DownPhase", Int32,
              (Numbers{.min = 0, .controlMin = 0, .controlMax = kMillion}), "samples", "multi-rate FIR down phase"),
    RIR_FIELD(Filter, FilterParams, FirMultiRate, "isMulti_Rate", Bool, (Numbers{.min = 0, .max = 1}), "",
              "multi-rate FIR"),
    RIR_FIELD(Filter, FilterParams, IirType, "IIRS_Type", Int32, (Numbers{.min = 0, .max = 1}), "",
              "dialog only: IIR type"),
    RIR_FIELD(Filter, FilterParams, IirBiquad, "IIRS_isBiquads", Bool, (Numbers{.min = 0, .max = 1}), "",
              "IIR taps are biquad sections (6 per section)"),
    RIR_FIELD(Filter, FilterParams, HighLmsError, "HighLevelLMSError", Float64, (Numbers{}), "",
              "error carried to the next sample (High-Level LMS)"),
    RIR_FIELD(Filter, FilterParams, LowLmsError, "LowLevelLMSError", Float64, (Numbers{}), "",
              "error carried to the next sample (Low-Level LMS)"),
    RIR_FIELD(Filter, FilterParams, LmsType, "LMSS_Type", Int32, (Numbers{.min = 0, .max = 1}), "",
              "LMS type passed to the signal library"),
    RIR_FIELD(Filter, FilterParams, LmsStep, "LMSS_Step", Float32, (Numbers{.controlMin = 0, .controlMax = 1}), "",
              "LMS adaptation step"),
    RIR_FIELD(Filter, FilterParams, LmsLeak, "LMSS_Leak", Float32, (Numbers{.controlMin = 0, .controlMax = 1}), "",
              "LMS leak"),
    RIR_FIELD(Filter, FilterParams, LmsErrDly, "LMSS_ErrDly", Int32,
              (Numbers{.min = 0, .controlMin = 0, .controlMax = kMillion}), "samples", "LMS error delay"),
    RIR_FIELD(Filter, FilterParams, LmsDownFactor, "LMSS_DwnFactor", Int32,
              (Numbers{.min = 1, .controlMin = 1, .controlMax = kMillion, .value = 1}), "",
              "multi-rate LMS down factor"),
    RIR_FIELD(Filter, FilterParams, LmsDownPhase, "LMSS_DwnPhase", Int32,
              (Numbers{.min = 0, .controlMin = 0, .controlMax = kMillion}), "samples", "multi-rate LMS down phase"),
    RIR_FIELD(Filter, FilterParams, LmsMultiRate, "LMSH_isMulti", Bool, (Numbers{.min = 0, .max = 1}), "",
              "multi-rate LMS"),
    RIR_FIELD(Filter, FilterParams, LmsAdaptive, "LMSS_isAdaptB", Int32, (Numbers{.min = 0, .max = 1}), "",
              "Low-Level LMS adapts its taps"),
    RIR_STATE(Filter, FilterParams, HighFirState, "HighLevelFIRState"),
    RIR_STATE(Filter, FilterParams, LowFirTapState, "LowLevelFIRTapState"),
    RIR_STATE(Filter, FilterParams, LowFirDlyState, "LowLevelFIRDelayState"),
    RIR_STATE(Filter, FilterParams, HighIirState, "HighLevelIIRState"),
    RIR_STATE(Filter, FilterParams, LowIirTapState, "LowLevelIIRTapState"),
    RIR_STATE(Filter, FilterParams, LowIirDlyState, "LowLevelIIRDelayState"),
    RIR_STATE(Filter, FilterParams, HighLmsDesState, "HighLevelLMSDESState"),
    RIR_STATE(Filter, FilterParams, HighLmsState, "HighLevelLMSState"),
    RIR_STATE(Filter, FilterParams, LowLmsTapState, "LowLevelLMSTapState"),
    RIR_STATE(Filter, FilterParams, LowLmsDlyState, "LowLevelLMSDelayState"),
    RIR_FLOATS(Filter, FilterParams, FirTaps, "FIRS_Taps", "FIRS_TapsCount", kFirTaps, "FIR taps"),
    RIR_FLOATS(Filter, FilterParams, FirDelay, "FIRS_Delay", "FIRS_TapsCount", kFiveOnes, "FIR delay-line values"),
    RIR_FLOATS(Filter, FilterParams, IirTaps, "IIRS_Taps", "IIRS_TapsCount", kFiveOnes, "IIR taps"),
    RIR_FLOATS(Filter, FilterParams, IirDelay, "IIRS_Delay", "IIRS_TapsCount", kFiveOnes, "IIR delay-line values"),
    RIR_FLOATS(Filter, FilterParams, LmsTaps, "LMSS_Taps", "LMSS_TapsCount", kFiveOnes, "LMS taps"),
    RIR_FLOATS(Filter, FilterParams, LmsDelay, "LMSS_Delay", "LMSS_TapsCount", kFiveOnes, "LMS delay-line values"),

    RIR_TEXT(
        Wave, WaveParams, FileName, "FileName", "test.wav",
        "WAVE file; in rir-eda a relative name lies in the design's folder (players) or the output folder (recorders)"),
    RIR_FIELD(Wave, WaveParams, Sound, "Sound", UInt8, (Numbers{.min = 0, .max = 5}), "",
              "dialog only: the sound played on OK"),
    RIR_FIELD(Wave, WaveParams, SampleRate, "SampleRate", Int32, (Numbers{.min = 1, .value = 8000}), "Hz",
              "sample rate of a written file"),
    RIR_FIELD(Wave, WaveParams, BitsPerSample, "BitsPerSample", UInt16,
              (Numbers{.min = 8, .max = 16, .note = "8 or 16 only", .value = 8}), "bits",
              "sample size of a written file"),
    RIR_FIELD(Wave, WaveParams, Channels, "Channels", UInt16, (Numbers{.min = 1, .max = 4, .value = 1}), "",
              "channels of a written file"),
};

#undef RIR_FIELD
#undef RIR_TEXT
#undef RIR_FLOATS
#undef RIR_STATE

}  // namespace record_schema

// The fields of one record, in record order.
constexpr std::span<const RecordField> RecordFieldsOf(RecordKind record) {
  size_t first = 0;
  while (first < std::size(record_schema::kFields) && record_schema::kFields[first].record != record) ++first;
  size_t last = first;
  while (last < std::size(record_schema::kFields) && record_schema::kFields[last].record == record) ++last;
  return std::span<const RecordField>(record_schema::kFields).subspan(first, last - first);
}

// The field of a name known when compiling; a wrong name does not compile.
// Found by index: a sanitizer's null checks make pointer tests non-constant.
consteval size_t RecordFieldIndex(RecordKind record, std::string_view name) {
  for (size_t i = 0; i < std::size(record_schema::kFields); ++i)
    if (record_schema::kFields[i].record == record && name == record_schema::kFields[i].name) return i;
  throw "no such record field";
}
consteval const RecordField& RecordFieldNamed(RecordKind record, std::string_view name) {
  return record_schema::kFields[RecordFieldIndex(record, name)];
}

// The count field of a counted list.
constexpr const RecordField& CountOf(const RecordField& list) {
  for (const RecordField& f : record_schema::kFields)
    if (f.record == list.record && std::string_view(f.name) == list.countedBy) return f;
  return list;  // not reached for a counted list: the table is checked below
}

// Every list's count is an integer field of its own record, and its
// defaults fit the list.
consteval bool CountedListsAreSound() {
  for (const RecordField& f : record_schema::kFields) {
    if (f.listDefault.size() > f.count) return false;
    if (!f.IsCounted()) continue;
    const RecordField& count = CountOf(f);
    if (&count == &f || count.type != FieldType::Int32 || count.max > f.count) return false;
  }
  return true;
}
static_assert(CountedListsAreSound());

// Writes the fields' non-zero defaults; every other byte keeps what it held.
void WriteFieldDefaults(RecordKind record, uint8_t* bytes);
