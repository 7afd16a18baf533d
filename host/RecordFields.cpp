#include "RecordFields.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "numeric/ParameterRecords.h"

namespace {

#define FIELD(rec, member, name, type, range, unit, meaning) \
  RecordField { name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::type, 1, false, range, unit, meaning }
#define TEXT(rec, member, name, range, unit, meaning) \
  RecordField { name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::Text, 55, false, range, unit, meaning }
#define FLOATS(rec, member, name, range, unit, meaning)                                                          \
  RecordField {                                                                                                  \
    name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::Float32Array, 65, false, range, unit, meaning \
  }
#define STATE(rec, member, name)                                                                             \
  RecordField {                                                                                              \
    name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::UInt8, sizeof(rec::member), true, "", "", \
        "signal-library state"                                                                               \
  }

const RecordField kGeneratorFields[] = {
    FIELD(GeneratorParams, Kind, "Kind", Int32, "0..16", "",
          "generator kind the All_in_One block makes (0 Func, 1 Sine, 2 ModSine, 3 Random, 4 Constant, 5 Tone, "
          "6 Triangle, 7 PseudoRandom, 8 Gaussian, 9 Blackman, 10 Kaiser, 11 Bartlett, 12 Hann, 13 Hamming, 14 "
          "BlackmanStd, 15 BlackmanOpt)"),
    FIELD(GeneratorParams, IsSingle, "IsSingle", Bool, "false/true", "", "one burst only instead of a repeating burst"),
    FIELD(GeneratorParams, ModSinePeriod, "ModSinePeriod", Int64, "any; 0 gives 0", "time units",
          "period of the sine inside a burst, also its decay constant"),
    FIELD(GeneratorParams, ModMainTone, "ModMainTone", Int64, "any", "samples", "samples per burst before it restarts"),
    FIELD(GeneratorParams, ModSineAmp, "ModSineAmp", Int64, "any", "", "burst amplitude"),
    FIELD(GeneratorParams, SinePeriod, "SinePeriod", Int64, "any; 0 gives 0", "time units", "sine period"),
    FIELD(GeneratorParams, SineAmp, "SineAmp", Int64, "any", "", "sine amplitude"),
    FIELD(GeneratorParams, MinValue, "MinValue", Float64, "any", "", "dialog only: the Random page's Min"),
    FIELD(GeneratorParams, MaxValue, "MaxValue", Float64, "any", "", "dialog only: the Random page's Max"),
    FIELD(GeneratorParams, ConstantValue, "ConstantValue", Float64, "any", "", "the constant written on every step"),
    FIELD(GeneratorParams, ToneInitValue, "ToneInitValue", Float64, "any", "", "dialog only"),
    FIELD(GeneratorParams, ToneRelFreq, "ToneRelFreq", Float64, "any", "cycles per time unit",
          "tone frequency relative to the time unit"),
    FIELD(GeneratorParams, TonePhase, "TonePhase", Float64, "any", "degrees", "tone phase"),
    FIELD(GeneratorParams, ToneMag, "ToneMag", Float64, "any", "", "tone amplitude"),
    FIELD(GeneratorParams, TrnglInitValue, "TrnglInitValue", Float64, "any", "", "dialog only"),
    FIELD(GeneratorParams, TrnglRelFreq, "TrnglRelFreq", Float64, "any", "cycles per time unit", "dialog only"),
    FIELD(GeneratorParams, TrnglPhase, "TrnglPhase", Float64, "any", "degrees", "dialog only"),
    FIELD(GeneratorParams, TrnglMag, "TrnglMag", Float64, "any", "", "dialog only"),
    FIELD(GeneratorParams, TrnglASym, "TrnglASym", Float64, "any", "degrees", "dialog only"),
    FIELD(GeneratorParams, Low, "Low", Float64, "any", "", "lowest value of the uniform noise"),
    FIELD(GeneratorParams, High, "High", Float64, "any", "",
          "Random: noise spans Low .. Low + High; PseudoRandom: Low .. High"),
    FIELD(GeneratorParams, Mean, "Mean", Float64, "any", "", "Gaussian: the values start at Mean - StDev"),
    FIELD(GeneratorParams, StDev, "StDev", Float64, "any", "",
          "Gaussian: the value is (Mean - StDev) + 2 (StDev + 1) |z|, z a Gaussian draw"),
    FIELD(GeneratorParams, WindowLen, "WindowLen", Int64, "> 0", "samples",
          "window length (Triangle, Bartlett, Hann, Hamming, BlackmanStd, BlackmanOpt)"),
    FIELD(GeneratorParams, BlackLen, "BlackLen", Int64, "> 0", "samples", "Blackman window length"),
    FIELD(GeneratorParams, KaiserLen, "KaiserLen", Int64, "> 0", "samples", "Kaiser window length"),
    FIELD(GeneratorParams, WindowAmp, "WindowAmp", Int64, "any", "", "window amplitude"),
    FIELD(GeneratorParams, BlackAmp, "BlackAmp", Int64, "any", "", "Blackman window amplitude"),
    FIELD(GeneratorParams, Alpha, "Alpha", Int64, "any", "", "Blackman and Kaiser window alpha"),
    FIELD(GeneratorParams, KaiserAmp, "KaiserAmp", Int64, "any", "", "Kaiser window amplitude"),
    FIELD(GeneratorParams, Beta, "Beta", Int64, "any", "", "dialog only"),
    TEXT(GeneratorParams, Formula, "Formula", "up to 55 characters", "",
         "F(t), evaluated at the time t; \"Err\" after a failed check"),
};

const RecordField kTransformFields[] = {
    FIELD(TransformParams, TransformCode, "TransformCode", Int32, "a catalogue code of the group", "",
          "operation a group block performs"),
    FIELD(TransformParams, SignalLength, "Num_Points", Int32, "1..10001; <= 0 means 102", "samples", "buffer length N"),
    FIELD(TransformParams, FftFlags, "FFT_Flags", Int32, "sum of 1, 2, 4, ... 1024", "",
          "FFT flag word (1 Forward, 2 Inverse, 4 Initialize, 8 No Scale, ...)"),
    FIELD(TransformParams, GoertzelFrequency, "Goertzel_Frequency", Float32, "0..1", "of the sample rate",
          "Goertzel frequency"),
    STATE(TransformParams, GoertzelState, "GoertzelState"),
    FIELD(TransformParams, SamplPhase, "Sampl_Phase", Int32, ">= 0", "samples", "up/down sampling phase"),
    FIELD(TransformParams, SamplFactor, "Sampl_Factor", Int32, ">= 1", "", "up/down sampling factor"),
    FIELD(TransformParams, CorrLags, "Corr_nLags", Int32, "0..N", "samples", "number of correlation lags"),
    FIELD(TransformParams, CorrType, "corrType", UInt8, "0..2", "", "correlation type: 0 normal, 1 biased, 2 unbiased"),
    FIELD(TransformParams, WinAlpha, "Win_Alpha", Float32, "any", "", "Blackman window alpha"),
    FIELD(TransformParams, WinBeta, "Win_Beta", Float32, "any", "", "Kaiser window beta"),
    TEXT(TransformParams, UserFunc, "User_func", "up to 55 characters", "", "F(x) of the Any Func transform"),
    TEXT(TransformParams, BasisFunc, "Basis_func", "up to 55 characters", "", "basis function of the user transforms"),
    FIELD(TransformParams, AddSubCoef, "Add_Sub_coef", Float64, "any", "", "coefficient added to the input"),
    FIELD(TransformParams, MpyDivCoef, "Mpy_Div_coef", Float64, "any", "", "coefficient the input is multiplied by"),
    FIELD(TransformParams, ThreshParam, "Thresh_param", Float64, "any", "", "threshold"),
    FIELD(TransformParams, ThreshRelOp, "Thresh_RelOp", Int32, "0..1", "",
          "0: limit values below, 1: limit values above"),
    FIELD(TransformParams, BitRevOrder, "BitRev_Order", Int32, "0..31", "bits", "number of low bits reversed"),
    FIELD(TransformParams, ConvTapsCount, "Conv_H_Count", Int32, "0..65", "taps", "number of convolution taps"),
    FLOATS(TransformParams, ConvTaps, "Conv_H_12D", "65 values", "", "convolution taps"),
};

const RecordField kFilterFields[] = {
    FIELD(FilterParams, TransformCode, "TransformCode", Int32, "a catalogue code of the group", "",
          "operation a group block performs"),
    FIELD(FilterParams, FirTapsCount, "FIRS_TapsCount", Int32, "0..65", "taps", "FIR taps count"),
    FIELD(FilterParams, IirTapsCount, "IIRS_TapsCount", Int32, "0..65", "taps", "IIR taps count"),
    FIELD(FilterParams, LmsTapsCount, "LMSS_TapsCount", Int32, "0..65", "taps", "LMS taps count"),
    FIELD(FilterParams, FirUpFactor, "FIRH_UpFactor", Int32, ">= 0", "", "multi-rate FIR up factor"),
    FIELD(FilterParams, FirUpPhase, "FIRH_UpPhase", Int32, ">= 0", "samples", "multi-rate FIR up phase"),
    FIELD(FilterParams, FirDownFactor, "FIRH_DownFactor", Int32, ">= 0", "", "multi-rate FIR down factor"),
    FIELD(FilterParams, FirDownPhase, "FIRH_DownPhase", Int32, ">= 0", "samples", "multi-rate FIR down phase"),
    FIELD(FilterParams, FirMultiRate, "isMulti_Rate", Bool, "false/true", "", "multi-rate FIR"),
    FIELD(FilterParams, IirType, "IIRS_Type", Int32, "0..1", "", "dialog only: IIR type"),
    FIELD(FilterParams, IirBiquad, "IIRS_isBiquads", Bool, "false/true", "",
          "IIR taps are biquad sections (6 per section)"),
    FIELD(FilterParams, HighLmsError, "HighLevelLMSError", Float64, "any", "",
          "error carried to the next sample (High-Level LMS)"),
    FIELD(FilterParams, LowLmsError, "LowLevelLMSError", Float64, "any", "",
          "error carried to the next sample (Low-Level LMS)"),
    FIELD(FilterParams, LmsType, "LMSS_Type", Int32, "0..1", "", "LMS type passed to the signal library"),
    FIELD(FilterParams, LmsStep, "LMSS_Step", Float32, "any", "", "LMS adaptation step"),
    FIELD(FilterParams, LmsLeak, "LMSS_Leak", Float32, "any", "", "LMS leak"),
    FIELD(FilterParams, LmsErrDly, "LMSS_ErrDly", Int32, ">= 0", "samples", "LMS error delay"),
    FIELD(FilterParams, LmsDownFactor, "LMSS_DwnFactor", Int32, ">= 1", "", "multi-rate LMS down factor"),
    FIELD(FilterParams, LmsDownPhase, "LMSS_DwnPhase", Int32, ">= 0", "samples", "multi-rate LMS down phase"),
    FIELD(FilterParams, LmsMultiRate, "LMSH_isMulti", Bool, "false/true", "", "multi-rate LMS"),
    FIELD(FilterParams, LmsAdaptive, "LMSS_isAdaptB", Int32, "0..1", "", "Low-Level LMS adapts its taps"),
    STATE(FilterParams, HighFirState, "HighLevelFIRState"),
    STATE(FilterParams, LowFirTapState, "LowLevelFIRTapState"),
    STATE(FilterParams, LowFirDlyState, "LowLevelFIRDelayState"),
    STATE(FilterParams, HighIirState, "HighLevelIIRState"),
    STATE(FilterParams, LowIirTapState, "LowLevelIIRTapState"),
    STATE(FilterParams, LowIirDlyState, "LowLevelIIRDelayState"),
    STATE(FilterParams, HighLmsDesState, "HighLevelLMSDESState"),
    STATE(FilterParams, HighLmsState, "HighLevelLMSState"),
    STATE(FilterParams, LowLmsTapState, "LowLevelLMSTapState"),
    STATE(FilterParams, LowLmsDlyState, "LowLevelLMSDelayState"),
    FLOATS(FilterParams, FirTaps, "FIRS_Taps", "65 values", "", "FIR taps"),
    FLOATS(FilterParams, FirDelay, "FIRS_Delay", "65 values", "", "FIR delay-line values"),
    FLOATS(FilterParams, IirTaps, "IIRS_Taps", "65 values", "", "IIR taps"),
    FLOATS(FilterParams, IirDelay, "IIRS_Delay", "65 values", "", "IIR delay-line values"),
    FLOATS(FilterParams, LmsTaps, "LMSS_Taps", "65 values", "", "LMS taps"),
    FLOATS(FilterParams, LmsDelay, "LMSS_Delay", "65 values", "", "LMS delay-line values"),
};

const RecordField kWaveFields[] = {
    TEXT(
        WaveParams, FileName, "FileName", "up to 55 characters", "",
        "WAVE file; in rir-eda a relative name lies in the design's folder (players) or the output folder (recorders)"),
    FIELD(WaveParams, Sound, "Sound", UInt8, "0..5", "", "dialog only: the sound played on OK"),
    FIELD(WaveParams, SampleRate, "SampleRate", Int32, "> 0", "Hz", "sample rate of a written file"),
    FIELD(WaveParams, BitsPerSample, "BitsPerSample", UInt16, "8 or 16", "bits", "sample size of a written file"),
    FIELD(WaveParams, Channels, "Channels", UInt16, "1..4", "", "channels of a written file"),
};

#undef FIELD
#undef TEXT
#undef FLOATS
#undef STATE

template <typename Record>
void FillDefaultsOf(uint8_t* bytes, void (*fill)(Record&)) {
  Record r;
  std::memset(&r, 0, sizeof r);
  fill(r);
  std::memcpy(bytes, &r, sizeof r);
}

void GeneratorDefaults(uint8_t* bytes) {
  const GeneratorParams p = DefaultGeneratorParams();
  std::memcpy(bytes, &p, sizeof p);
}
void TransformDefaults(uint8_t* bytes) { FillDefaultsOf<TransformParams>(bytes, DefaultTransformRecord); }
void FilterDefaults(uint8_t* bytes) { FillDefaultsOf<FilterParams>(bytes, DefaultFilterRecord); }
void WaveDefaults(uint8_t* bytes) { FillDefaultsOf<WaveParams>(bytes, DefaultWaveRecord); }

template <typename T>
T Load(const uint8_t* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

template <typename T>
void Store(uint8_t* at, T v) {
  std::memcpy(at, &v, sizeof v);
}

// An integral value of a field, or a reason why it is not one.
bool IntegerOf(const FieldValue& value, int64_t& out, std::string& error) {
  if (const auto* i = std::get_if<int64_t>(&value)) {
    out = *i;
    return true;
  }
  if (const auto* d = std::get_if<double>(&value)) {
    if (std::isfinite(*d) && std::floor(*d) == *d && std::fabs(*d) < 9.2e18) {
      out = static_cast<int64_t>(*d);
      return true;
    }
  }
  error = "expects an integer";
  return false;
}

bool RealOf(const FieldValue& value, double& out, std::string& error) {
  if (const auto* d = std::get_if<double>(&value)) {
    out = *d;
    return true;
  }
  if (const auto* i = std::get_if<int64_t>(&value)) {
    out = static_cast<double>(*i);
    return true;
  }
  error = "expects a number";
  return false;
}

bool InRange(int64_t v, int64_t lo, int64_t hi, std::string& error) {
  if (v >= lo && v <= hi) return true;
  error = "value " + std::to_string(v) + " is outside " + std::to_string(lo) + " .. " + std::to_string(hi);
  return false;
}

}  // namespace

const RecordLayout& GeneratorRecordLayout() {
  static const RecordLayout layout{"generator", sizeof(GeneratorParams), kGeneratorFields, GeneratorDefaults};
  return layout;
}
const RecordLayout& TransformRecordLayout() {
  static const RecordLayout layout{"transform", sizeof(TransformParams), kTransformFields, TransformDefaults};
  return layout;
}
const RecordLayout& FilterRecordLayout() {
  static const RecordLayout layout{"filter", sizeof(FilterParams), kFilterFields, FilterDefaults};
  return layout;
}
const RecordLayout& WaveRecordLayout() {
  static const RecordLayout layout{"wave", sizeof(WaveParams), kWaveFields, WaveDefaults};
  return layout;
}

const RecordField* FindField(const RecordLayout& layout, std::string_view name) {
  for (const RecordField& f : layout.fields) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

FieldValue GetField(const RecordLayout& layout, const uint8_t* record, const RecordField& field) {
  const uint8_t* at = record + field.offset;
  if (field.libraryState) return std::string(reinterpret_cast<const char*>(at), field.count);
  switch (field.type) {
    case FieldType::Bool:
    case FieldType::UInt8:
      return static_cast<int64_t>(at[0]);
    case FieldType::UInt16:
      return static_cast<int64_t>(Load<uint16_t>(at));
    case FieldType::Int32:
      return static_cast<int64_t>(Load<int32_t>(at));
    case FieldType::Int64:
      return Load<int64_t>(at);
    case FieldType::Float32:
      return static_cast<double>(Load<float>(at));
    case FieldType::Float64:
      return Load<double>(at);
    case FieldType::Text: {
      const size_t n = std::min<size_t>(at[0], field.count);
      return std::string(reinterpret_cast<const char*>(at + 1), n);
    }
    case FieldType::Float32Array: {
      std::vector<double> values(field.count);
      for (uint32_t i = 0; i < field.count; ++i) values[i] = Load<float>(at + 4 * i);
      return values;
    }
  }
  return int64_t{0};
}

bool SetField(const RecordLayout& layout, uint8_t* record, const RecordField& field, const FieldValue& value,
              std::string& error) {
  uint8_t* at = record + field.offset;
  if (field.libraryState) {
    error = "is owned by the signal library and cannot be set";
    return false;
  }
  int64_t i = 0;
  double d = 0;
  switch (field.type) {
    case FieldType::Bool:
      if (const auto* b = std::get_if<int64_t>(&value); b != nullptr && (*b == 0 || *b == 1)) {
        at[0] = static_cast<uint8_t>(*b);
        return true;
      }
      error = "expects true or false";
      return false;
    case FieldType::UInt8:
      if (!IntegerOf(value, i, error) || !InRange(i, 0, 255, error)) return false;
      at[0] = static_cast<uint8_t>(i);
      return true;
    case FieldType::UInt16:
      if (!IntegerOf(value, i, error) || !InRange(i, 0, 65535, error)) return false;
      Store(at, static_cast<uint16_t>(i));
      return true;
    case FieldType::Int32:
      if (!IntegerOf(value, i, error) || !InRange(i, INT32_MIN, INT32_MAX, error)) return false;
      Store(at, static_cast<int32_t>(i));
      return true;
    case FieldType::Int64:
      if (!IntegerOf(value, i, error)) return false;
      Store(at, i);
      return true;
    case FieldType::Float32:
      if (!RealOf(value, d, error)) return false;
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) {
        error = "does not fit a single-precision number";
        return false;
      }
      Store(at, static_cast<float>(d));
      return true;
    case FieldType::Float64:
      if (!RealOf(value, d, error)) return false;
      Store(at, d);
      return true;
    case FieldType::Text: {
      const auto* s = std::get_if<std::string>(&value);
      if (s == nullptr) {
        error = "expects a text";
        return false;
      }
      if (s->size() > field.count) {
        error = "text is longer than " + std::to_string(field.count) + " characters";
        return false;
      }
      at[0] = static_cast<uint8_t>(s->size());
      std::memset(at + 1, 0, field.count);
      std::memcpy(at + 1, s->data(), s->size());
      return true;
    }
    case FieldType::Float32Array: {
      const auto* list = std::get_if<std::vector<double>>(&value);
      if (list == nullptr) {
        error = "expects a list of numbers";
        return false;
      }
      if (list->size() > field.count) {
        error = "list has more than " + std::to_string(field.count) + " values";
        return false;
      }
      for (double v : *list) {
        if (std::isfinite(v) && std::fabs(v) > std::numeric_limits<float>::max()) {
          error = "a value does not fit a single-precision number";
          return false;
        }
      }
      // Values not given become 0.
      for (uint32_t k = 0; k < field.count; ++k) {
        Store(at + 4 * k, k < list->size() ? static_cast<float>((*list)[k]) : 0.0f);
      }
      return true;
    }
  }
  error = "has an unknown type";
  return false;
}

std::vector<uint8_t> DefaultRecord(const RecordLayout& layout) {
  std::vector<uint8_t> bytes(layout.size, 0);
  layout.fillDefaults(bytes.data());
  return bytes;
}

std::string FieldValueText(const FieldValue& value) {
  const auto number = [](double d) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
  };
  if (const auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) return number(*d);
  if (const auto* s = std::get_if<std::string>(&value)) return "\"" + *s + "\"";
  const auto& list = std::get<std::vector<double>>(value);
  size_t used = list.size();
  while (used > 0 && list[used - 1] == 0.0) --used;
  std::string text = "[";
  for (size_t k = 0; k < used; ++k) text += (k == 0 ? "" : ", ") + number(list[k]);
  text += "]";
  if (used < list.size()) text += used == 0 ? " (all 0)" : " then 0";
  return text;
}

std::string FieldTypeName(const RecordField& field) {
  if (field.libraryState) return "state(" + std::to_string(field.count) + ")";
  switch (field.type) {
    case FieldType::Bool:
      return "bool";
    case FieldType::UInt8:
      return "uint8";
    case FieldType::UInt16:
      return "uint16";
    case FieldType::Int32:
      return "int32";
    case FieldType::Int64:
      return "int64";
    case FieldType::Float32:
      return "float32";
    case FieldType::Float64:
      return "float64";
    case FieldType::Text:
      return "text(" + std::to_string(field.count) + ")";
    case FieldType::Float32Array:
      return "float32[" + std::to_string(field.count) + "]";
  }
  return "";
}
