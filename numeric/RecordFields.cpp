#include "RecordFields.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "ParameterRecords.h"

namespace {

#define FIELD(rec, member, name, type) \
  RecordField { name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::type, 1, false }
#define TEXT(rec, member, name) \
  RecordField { name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::Text, 55, false }
#define FLOATS(rec, member, name) \
  RecordField { name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::Float32Array, 65, false }
#define STATE(rec, member, name) \
  RecordField { name, static_cast<uint32_t>(offsetof(rec, member)), FieldType::UInt8, sizeof(rec::member), true }

const RecordField kGeneratorFields[] = {
    FIELD(GeneratorParams, Kind, "Kind", Int32),
    FIELD(GeneratorParams, IsSingle, "IsSingle", Bool),
    FIELD(GeneratorParams, ModSinePeriod, "ModSinePeriod", Int64),
    FIELD(GeneratorParams, ModMainTone, "ModMainTone", Int64),
    FIELD(GeneratorParams, ModSineAmp, "ModSineAmp", Int64),
    FIELD(GeneratorParams, SinePeriod, "SinePeriod", Int64),
    FIELD(GeneratorParams, SineAmp, "SineAmp", Int64),
    FIELD(GeneratorParams, MinValue, "MinValue", Float64),
    FIELD(GeneratorParams, MaxValue, "MaxValue", Float64),
    FIELD(GeneratorParams, ConstantValue, "ConstantValue", Float64),
    FIELD(GeneratorParams, ToneInitValue, "ToneInitValue", Float64),
    FIELD(GeneratorParams, ToneRelFreq, "ToneRelFreq", Float64),
    FIELD(GeneratorParams, TonePhase, "TonePhase", Float64),
    FIELD(GeneratorParams, ToneMag, "ToneMag", Float64),
    FIELD(GeneratorParams, TrnglInitValue, "TrnglInitValue", Float64),
    FIELD(GeneratorParams, TrnglRelFreq, "TrnglRelFreq", Float64),
    FIELD(GeneratorParams, TrnglPhase, "TrnglPhase", Float64),
    FIELD(GeneratorParams, TrnglMag, "TrnglMag", Float64),
    FIELD(GeneratorParams, TrnglASym, "TrnglASym", Float64),
    FIELD(GeneratorParams, Low, "Low", Float64),
    FIELD(GeneratorParams, High, "High", Float64),
    FIELD(GeneratorParams, Mean, "Mean", Float64),
    FIELD(GeneratorParams, StDev, "StDev", Float64),
    FIELD(GeneratorParams, WindowLen, "WindowLen", Int64),
    FIELD(GeneratorParams, BlackLen, "BlackLen", Int64),
    FIELD(GeneratorParams, KaiserLen, "KaiserLen", Int64),
    FIELD(GeneratorParams, WindowAmp, "WindowAmp", Int64),
    FIELD(GeneratorParams, BlackAmp, "BlackAmp", Int64),
    FIELD(GeneratorParams, Alpha, "Alpha", Int64),
    FIELD(GeneratorParams, KaiserAmp, "KaiserAmp", Int64),
    FIELD(GeneratorParams, Beta, "Beta", Int64),
    TEXT(GeneratorParams, Formula, "Formula"),
};

const RecordField kTransformFields[] = {
    FIELD(TransformParams, TransformCode, "TransformCode", Int32),
    FIELD(TransformParams, SignalLength, "Num_Points", Int32),
    FIELD(TransformParams, FftFlags, "FFT_Flags", Int32),
    FIELD(TransformParams, GoertzelFrequency, "Goertzel_Frequency", Float32),
    STATE(TransformParams, GoertzelState, "GoertzelState"),
    FIELD(TransformParams, SamplPhase, "Sampl_Phase", Int32),
    FIELD(TransformParams, SamplFactor, "Sampl_Factor", Int32),
    FIELD(TransformParams, CorrLags, "Corr_nLags", Int32),
    FIELD(TransformParams, CorrType, "corrType", UInt8),
    FIELD(TransformParams, WinAlpha, "Win_Alpha", Float32),
    FIELD(TransformParams, WinBeta, "Win_Beta", Float32),
    TEXT(TransformParams, UserFunc, "User_func"),
    TEXT(TransformParams, BasisFunc, "Basis_func"),
    FIELD(TransformParams, AddSubCoef, "Add_Sub_coef", Float64),
    FIELD(TransformParams, MpyDivCoef, "Mpy_Div_coef", Float64),
    FIELD(TransformParams, ThreshParam, "Thresh_param", Float64),
    FIELD(TransformParams, ThreshRelOp, "Thresh_RelOp", Int32),
    FIELD(TransformParams, BitRevOrder, "BitRev_Order", Int32),
    FIELD(TransformParams, ConvTapsCount, "Conv_H_Count", Int32),
    FLOATS(TransformParams, ConvTaps, "Conv_H_12D"),
};

const RecordField kFilterFields[] = {
    FIELD(FilterParams, TransformCode, "TransformCode", Int32),
    FIELD(FilterParams, FirTapsCount, "FIRS_TapsCount", Int32),
    FIELD(FilterParams, IirTapsCount, "IIRS_TapsCount", Int32),
    FIELD(FilterParams, LmsTapsCount, "LMSS_TapsCount", Int32),
    FIELD(FilterParams, FirUpFactor, "FIRH_UpFactor", Int32),
    FIELD(FilterParams, FirUpPhase, "FIRH_UpPhase", Int32),
    FIELD(FilterParams, FirDownFactor, "FIRH_DownFactor", Int32),
    FIELD(FilterParams, FirDownPhase, "FIRH_DownPhase", Int32),
    FIELD(FilterParams, FirMultiRate, "isMulti_Rate", Bool),
    FIELD(FilterParams, IirType, "IIRS_Type", Int32),
    FIELD(FilterParams, IirBiquad, "IIRS_isBiquads", Bool),
    FIELD(FilterParams, HighLmsError, "HighLevelLMSError", Float64),
    FIELD(FilterParams, LowLmsError, "LowLevelLMSError", Float64),
    FIELD(FilterParams, LmsType, "LMSS_Type", Int32),
    FIELD(FilterParams, LmsStep, "LMSS_Step", Float32),
    FIELD(FilterParams, LmsLeak, "LMSS_Leak", Float32),
    FIELD(FilterParams, LmsErrDly, "LMSS_ErrDly", Int32),
    FIELD(FilterParams, LmsDownFactor, "LMSS_DwnFactor", Int32),
    FIELD(FilterParams, LmsDownPhase, "LMSS_DwnPhase", Int32),
    FIELD(FilterParams, LmsMultiRate, "LMSH_isMulti", Bool),
    FIELD(FilterParams, LmsAdaptive, "LMSS_isAdaptB", Int32),
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
    FLOATS(FilterParams, FirTaps, "FIRS_Taps"),
    FLOATS(FilterParams, FirDelay, "FIRS_Delay"),
    FLOATS(FilterParams, IirTaps, "IIRS_Taps"),
    FLOATS(FilterParams, IirDelay, "IIRS_Delay"),
    FLOATS(FilterParams, LmsTaps, "LMSS_Taps"),
    FLOATS(FilterParams, LmsDelay, "LMSS_Delay"),
};

const RecordField kWaveFields[] = {
    TEXT(WaveParams, FileName, "FileName"),
    FIELD(WaveParams, Sound, "Sound", UInt8),
    FIELD(WaveParams, SampleRate, "SampleRate", Int32),
    FIELD(WaveParams, BitsPerSample, "BitsPerSample", UInt16),
    FIELD(WaveParams, Channels, "Channels", UInt16),
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
    case FieldType::UInt8: return static_cast<int64_t>(at[0]);
    case FieldType::UInt16: return static_cast<int64_t>(Load<uint16_t>(at));
    case FieldType::Int32: return static_cast<int64_t>(Load<int32_t>(at));
    case FieldType::Int64: return Load<int64_t>(at);
    case FieldType::Float32: return static_cast<double>(Load<float>(at));
    case FieldType::Float64: return Load<double>(at);
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
