#include "RecordFields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "numeric/ParameterRecords.h"

namespace {

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
  static const RecordLayout layout{"generator", sizeof(GeneratorParams), RecordFieldsOf(RecordKind::Generator),
                                   GeneratorDefaults};
  return layout;
}
const RecordLayout& TransformRecordLayout() {
  static const RecordLayout layout{"transform", sizeof(TransformParams), RecordFieldsOf(RecordKind::Transform),
                                   TransformDefaults};
  return layout;
}
const RecordLayout& FilterRecordLayout() {
  static const RecordLayout layout{"filter", sizeof(FilterParams), RecordFieldsOf(RecordKind::Filter), FilterDefaults};
  return layout;
}
const RecordLayout& WaveRecordLayout() {
  static const RecordLayout layout{"wave", sizeof(WaveParams), RecordFieldsOf(RecordKind::Wave), WaveDefaults};
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

namespace {
bool SetBool(uint8_t* at, const FieldValue& value, std::string& error) {
  if (const auto* b = std::get_if<int64_t>(&value); b != nullptr && (*b == 0 || *b == 1)) {
    at[0] = static_cast<uint8_t>(*b);
    return true;
  }
  error = "expects true or false";
  return false;
}

bool FitsFloat(double d) { return !std::isfinite(d) || std::fabs(d) <= std::numeric_limits<float>::max(); }

bool SetFloat32(uint8_t* at, const RecordField& field, const FieldValue& value, std::string& error) {
  double d = 0;
  if (!RealOf(value, d, error)) return false;
  if (error = NonFiniteProblem(field, d); !error.empty()) return false;
  if (!FitsFloat(d)) {
    error = "does not fit a single-precision number";
    return false;
  }
  Store(at, static_cast<float>(d));
  return true;
}

bool SetText(uint8_t* at, const RecordField& field, const FieldValue& value, std::string& error) {
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

bool SetFloat32Array(uint8_t* at, const RecordField& field, const FieldValue& value, std::string& error) {
  const auto* list = std::get_if<std::vector<double>>(&value);
  if (list == nullptr) {
    error = "expects a list of numbers";
    return false;
  }
  if (list->size() > field.count) {
    error = "list has more than " + std::to_string(field.count) + " values";
    return false;
  }
  for (size_t k = 0; k < list->size(); ++k)
    if (error = NonFiniteProblem(field, (*list)[k], static_cast<int>(k)); !error.empty()) return false;
  if (!std::all_of(list->begin(), list->end(), FitsFloat)) {
    error = "a value does not fit a single-precision number";
    return false;
  }
  // Values not given become 0.
  for (uint32_t k = 0; k < field.count; ++k) {
    Store(at + 4 * k, k < list->size() ? static_cast<float>((*list)[k]) : 0.0f);
  }
  return true;
}
}  // namespace

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
      return SetBool(at, value, error);
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
      return SetFloat32(at, field, value, error);
    case FieldType::Float64:
      if (!RealOf(value, d, error)) return false;
      if (error = NonFiniteProblem(field, d); !error.empty()) return false;
      Store(at, d);
      return true;
    case FieldType::Text:
      return SetText(at, field, value, error);
    case FieldType::Float32Array:
      return SetFloat32Array(at, field, value, error);
  }
  error = "has an unknown type";
  return false;
}

std::string NonFiniteProblem(const RecordField& field, double value, int index) {
  if (std::isfinite(value)) return {};
  const std::string name = std::string(field.name) + (index >= 0 ? "[" + std::to_string(index) + "]" : "");
  return name + (std::isnan(value) ? " is not a number" : " is infinite");
}

std::string NonFiniteRecordProblem(const RecordLayout& layout, const uint8_t* record, const char*& field) {
  for (const RecordField& f : layout.fields) {
    if (f.libraryState) continue;
    const FieldValue v = GetField(layout, record, f);
    std::string problem;
    if (const auto* d = std::get_if<double>(&v)) problem = NonFiniteProblem(f, *d);
    if (const auto* list = std::get_if<std::vector<double>>(&v)) {
      // Entries past the count are never read.
      int64_t used = static_cast<int64_t>(list->size());
      const FieldValue count = f.IsCounted() ? GetField(layout, record, CountOf(f)) : FieldValue(used);
      if (const auto* n = std::get_if<int64_t>(&count)) used = std::clamp<int64_t>(*n, 0, used);
      for (int64_t k = 0; k < used && problem.empty(); ++k)
        problem = NonFiniteProblem(f, (*list)[static_cast<size_t>(k)], static_cast<int>(k));
    }
    if (!problem.empty()) {
      field = f.name;
      return problem;
    }
  }
  return {};
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

namespace {
std::string NumberText(double v) {
  char buf[64];
  const auto r = std::fabs(v) < 9e15 && std::floor(v) == v
                     ? std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(v))
                     : std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string Span(double lo, double hi) {
  if (lo == -kUnbounded && hi == kUnbounded) return "any";
  if (hi == kUnbounded) return ">= " + NumberText(lo);
  if (lo == -kUnbounded) return "<= " + NumberText(hi);
  return NumberText(lo) + ".." + NumberText(hi);
}
}  // namespace

std::string FieldRangeText(const RecordField& field) {
  if (field.libraryState) return "";
  switch (field.type) {
    case FieldType::Bool:
      return "false/true";
    case FieldType::Text:
      return "up to " + std::to_string(field.count) + " characters";
    case FieldType::Float32Array:
      return std::to_string(field.count) + " values";
    default:
      break;
  }
  const std::string span = Span(field.min, field.max);
  return field.rangeNote[0] == '\0' ? span : span + "; " + field.rangeNote;
}

std::string FieldControlRangeText(const RecordField& field) {
  return field.HasControl() ? Span(field.controlMin, field.controlMax) : "";
}
