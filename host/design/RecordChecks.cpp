#include "RecordChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "framework/BlockCatalogue.h"

std::string BlockWords(const BlockEntry& b, const BlockType& type) {
  return "block \"" + b.name + "\" (" + type.exportName + ")";
}

bool FieldValueFromToml(const toml::node& value, FieldValue& out, std::string& error) {
  if (value.is_integer()) {
    out = value.as_integer()->get();
  } else if (value.is_floating_point()) {
    out = value.as_floating_point()->get();
  } else if (value.is_boolean()) {
    out = int64_t{value.as_boolean()->get() ? 1 : 0};
  } else if (value.is_string()) {
    out = value.as_string()->get();
  } else if (const toml::array* a = value.as_array()) {
    std::vector<double> list;
    for (const toml::node& e : *a) {
      if (!e.is_number()) {
        error = "takes a list of numbers";
        return false;
      }
      list.push_back(e.value<double>().value_or(0));
    }
    out = std::move(list);
  } else {
    error = "cannot take this value";
    return false;
  }
  return true;
}

namespace {
int64_t IntegerField(const BlockEntry& b, const RecordLayout& layout, const char* name) {
  const RecordField* f = FindField(layout, name);
  if (f == nullptr || b.record.size() != layout.size) return 0;
  const FieldValue v = GetField(layout, b.record.data(), *f);
  const auto* i = std::get_if<int64_t>(&v);
  return i != nullptr ? *i : 0;
}
double NumberField(const BlockEntry& b, const RecordLayout& layout, const char* name) {
  const RecordField* f = FindField(layout, name);
  if (f == nullptr || b.record.size() != layout.size) return 0;
  const FieldValue v = GetField(layout, b.record.data(), *f);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  return 0;
}
std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}
}  // namespace

std::string BufferLengthProblem(const BlockEntry& b, const BlockType& type, const char*& field) {
  if (type.blockClass != BlockClass::Transform) return {};
  const RecordLayout& layout = RecordOf(type.blockClass);
  int64_t code = type.row->catalogueCode;
  if (code == ccFouriersGroup) code = IntegerField(b, layout, "TransformCode");
  if (code != ccFftRcPack && code != ccFftCcsRcPack) return {};
  const int64_t given = IntegerField(b, layout, "Num_Points");
  const int64_t n = std::min<int64_t>(given <= 0 ? 102 : given, kMaxSignalLength);
  if ((n & (n - 1)) == 0) return {};
  int64_t below = 1;
  while (below * 2 <= n) below *= 2;
  field = "Num_Points";
  return BlockWords(b, type) + ": \"Num_Points\" = " + std::to_string(given) + (given <= 0 ? " (102 samples)" : "") +
         " is not a power of two; this FFT would transform only the first " + std::to_string(below) + " samples. Use " +
         std::to_string(below) + (below * 2 <= kMaxSignalLength ? " or " + std::to_string(below * 2) : std::string());
}

std::string AliasingProblem(const BlockEntry& b, const BlockType& type, int64_t samplePeriod, const char*& field) {
  if (type.blockClass != BlockClass::Generator) return {};
  const RecordLayout& layout = RecordOf(type.blockClass);
  int64_t kind = type.row->generatorKind;
  if (kind == gkAllInOne) kind = IntegerField(b, layout, "Kind");
  const std::string period = " (one sample per " + std::to_string(samplePeriod) + " time units)";
  if (kind == gkTone) {
    const double f = NumberField(b, layout, "ToneRelFreq");
    const double perSample = std::fabs(f) * static_cast<double>(samplePeriod);
    if (!(perSample >= 0.5)) return {};
    field = "ToneRelFreq";
    return BlockWords(b, type) + ": \"ToneRelFreq\" = " + Number(f) + " cycles per time unit is " + Number(perSample) +
           " cycles per sample" + period +
           ", at or above half the sample rate: the samples show an alias of a lower frequency";
  }
  if (kind == gkSine) {
    const int64_t p = IntegerField(b, layout, "SinePeriod");
    if (p == INT64_MIN || std::llabs(p) >= 2 * samplePeriod) return {};
    field = "SinePeriod";
    return BlockWords(b, type) + ": \"SinePeriod\" = " + std::to_string(p) + " is under two samples" + period +
           ", at or above half the sample rate: the samples show an alias of a lower frequency";
  }
  return {};
}

std::string DescribeDefaultedFields(const BlockEntry& b) {
  const BlockType* type = FindBlockType(b.exportName);
  if (type == nullptr || b.defaulted.empty()) return {};
  const RecordLayout& layout = RecordOf(type->blockClass);
  std::string s;
  for (const std::string& name : b.defaulted)
    if (const RecordField* f = FindField(layout, name); f != nullptr && b.record.size() == layout.size)
      s += (s.empty() ? "" : ", ") + name + " = " + FieldValueText(GetField(layout, b.record.data(), *f));
  return s.empty() ? s : BlockWords(b, *type) + " takes from its defaults: " + s;
}

std::string RecordProblem(const BlockEntry& b, const BlockType& type, const char*& field) {
  const RecordLayout& layout = RecordOf(type.blockClass);
  auto integer = [&](const char* name) -> int64_t {
    const RecordField* f = FindField(layout, name);
    if (f == nullptr || b.record.size() != layout.size) return 0;
    const FieldValue v = GetField(layout, b.record.data(), *f);
    const auto* i = std::get_if<int64_t>(&v);
    return i != nullptr ? *i : 0;
  };
  const std::string who = BlockWords(b, type) + ": ";
  if (type.blockClass == BlockClass::WaveSave) {
    const int64_t bits = integer("BitsPerSample"), channels = integer("Channels"), rate = integer("SampleRate");
    if (bits != 8 && bits != 16) {
      field = "BitsPerSample";
      return who + "\"BitsPerSample\" = " + std::to_string(bits) + "; a WAVE recorder writes 8 or 16 bits per sample";
    }
    if (const RecordField& c = *FindField(layout, "Channels"); channels < c.min || channels > c.max) {
      field = "Channels";
      return who + "\"Channels\" = " + std::to_string(channels) + "; a WAVE recorder writes " + Number(c.min) + " to " +
             Number(c.max) + " channels";
    }
    if (rate < FindField(layout, "SampleRate")->min) {
      field = "SampleRate";
      return who + "\"SampleRate\" = " + std::to_string(rate) + " must be above 0";
    }
  }
  // A count past its list would be cut to the list without a word.
  static const char* const kFilterCounts[] = {"FIRS_TapsCount", "IIRS_TapsCount", "LMSS_TapsCount"};
  static const char* const kTransformCounts[] = {"Conv_H_Count"};
  std::span<const char* const> counts;
  if (type.blockClass == BlockClass::FilterTransform) counts = kFilterCounts;
  if (type.blockClass == BlockClass::Transform) counts = kTransformCounts;
  for (const char* count : counts) {
    const RecordField& f = *FindField(layout, count);
    const int64_t n = integer(count);
    if (n < f.min || n > f.max) {
      field = count;
      return who + "\"" + count + "\" = " + std::to_string(n) + " is out of range " + FieldRangeText(f);
    }
  }
  return {};
}
