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

std::string ListCountProblem(const RecordField& list, size_t length, int64_t count, const char* countFrom) {
  if (static_cast<int64_t>(length) == count) return {};
  return "\"" + std::string(list.name) + "\" holds " + std::to_string(length) + " values but \"" + list.countedBy +
         "\" is " + std::to_string(count) +
         (countFrom != nullptr ? " (the length of \"" + std::string(countFrom) + "\")" : std::string()) +
         "; give both the same length";
}

namespace {
constexpr const RecordField& kTransformCode = RecordFieldNamed(RecordKind::Transform, "TransformCode");
constexpr const RecordField& kSignalLength = RecordFieldNamed(RecordKind::Transform, "Num_Points");
constexpr const RecordField& kGeneratorKind = RecordFieldNamed(RecordKind::Generator, "Kind");
constexpr const RecordField& kToneRelFreq = RecordFieldNamed(RecordKind::Generator, "ToneRelFreq");
constexpr const RecordField& kSinePeriod = RecordFieldNamed(RecordKind::Generator, "SinePeriod");
constexpr const RecordField& kBitsPerSample = RecordFieldNamed(RecordKind::Wave, "BitsPerSample");
constexpr const RecordField& kChannels = RecordFieldNamed(RecordKind::Wave, "Channels");
constexpr const RecordField& kSampleRate = RecordFieldNamed(RecordKind::Wave, "SampleRate");

int64_t IntegerField(const BlockEntry& b, const RecordLayout& layout, const RecordField& f) {
  if (b.record.size() != layout.size) return 0;
  const FieldValue v = GetField(layout, b.record.data(), f);
  const auto* i = std::get_if<int64_t>(&v);
  return i != nullptr ? *i : 0;
}
double NumberField(const BlockEntry& b, const RecordLayout& layout, const RecordField& f) {
  if (b.record.size() != layout.size) return 0;
  const FieldValue v = GetField(layout, b.record.data(), f);
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

bool NamesAFolder(std::string_view name) { return name.find_first_of("/\\:") != std::string_view::npos; }

std::string RecordingNameProblem(const BlockEntry& b, const BlockType& type, const char*& field) {
  constexpr const RecordField& kFileName = RecordFieldNamed(RecordKind::Wave, "FileName");
  const RecordLayout& layout = RecordOf(type.blockClass);
  if (type.blockClass != BlockClass::WaveSave || b.inputs.count("Test") != 0 || b.record.size() != layout.size)
    return {};
  const std::string name = std::get<std::string>(GetField(layout, b.record.data(), kFileName));
  if (!NamesAFolder(name)) return {};
  field = kFileName.name;
  return BlockWords(b, type) + ": \"" + field + "\" = \"" + name +
         "\" names a folder: a recording is written in the output folder (-o); give a bare file name, or run with "
         "--allow-paths to write where it says";
}

std::string BufferLengthProblem(const BlockEntry& b, const BlockType& type, const char*& field) {
  if (type.blockClass != BlockClass::Transform) return {};
  const RecordLayout& layout = RecordOf(type.blockClass);
  int64_t code = type.row->catalogueCode;
  if (code == ccFouriersGroup) code = IntegerField(b, layout, kTransformCode);
  if (code != ccFftRcPack && code != ccFftCcsRcPack) return {};
  const int64_t given = IntegerField(b, layout, kSignalLength);
  const int64_t n = std::min<int64_t>(given <= 0 ? 102 : given, kMaxSignalLength);
  if ((n & (n - 1)) == 0) return {};
  int64_t below = 1;
  while (below * 2 <= n) below *= 2;
  field = kSignalLength.name;
  return BlockWords(b, type) + ": \"" + field + "\" = " + std::to_string(given) + (given <= 0 ? " (102 samples)" : "") +
         " is not a power of two; this FFT would transform only the first " + std::to_string(below) + " samples. Use " +
         std::to_string(below) + (below * 2 <= kMaxSignalLength ? " or " + std::to_string(below * 2) : std::string());
}

std::string AliasingProblem(const BlockEntry& b, const BlockType& type, int64_t samplePeriod, const char*& field) {
  if (type.blockClass != BlockClass::Generator) return {};
  const RecordLayout& layout = RecordOf(type.blockClass);
  int64_t kind = type.row->generatorKind;
  if (kind == gkAllInOne) kind = IntegerField(b, layout, kGeneratorKind);
  const std::string period = " (one sample per " + std::to_string(samplePeriod) + " time units)";
  if (kind == gkTone) {
    const double f = NumberField(b, layout, kToneRelFreq);
    const double perSample = std::fabs(f) * static_cast<double>(samplePeriod);
    if (!(perSample >= 0.5)) return {};
    field = kToneRelFreq.name;
    return BlockWords(b, type) + ": \"" + field + "\" = " + Number(f) + " cycles per time unit is " +
           Number(perSample) + " cycles per sample" + period +
           ", at or above half the sample rate: the samples show an alias of a lower frequency";
  }
  if (kind == gkSine) {
    const int64_t p = IntegerField(b, layout, kSinePeriod);
    if (p == INT64_MIN || std::llabs(p) >= 2 * samplePeriod) return {};
    field = kSinePeriod.name;
    return BlockWords(b, type) + ": \"" + field + "\" = " + std::to_string(p) + " is under two samples" + period +
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

namespace {
// A WAVE recorder's header settings it cannot write.
std::string RecorderProblem(const BlockEntry& b, const RecordLayout& layout, const char*& field) {
  const int64_t bits = IntegerField(b, layout, kBitsPerSample), channels = IntegerField(b, layout, kChannels),
                rate = IntegerField(b, layout, kSampleRate);
  if (bits != 8 && bits != 16) {
    field = kBitsPerSample.name;
    return "\"" + std::string(field) + "\" = " + std::to_string(bits) +
           "; a WAVE recorder writes 8 or 16 bits per sample";
  }
  if (channels < kChannels.min || channels > kChannels.max) {
    field = kChannels.name;
    return "\"" + std::string(field) + "\" = " + std::to_string(channels) + "; a WAVE recorder writes " +
           Number(kChannels.min) + " to " + Number(kChannels.max) + " channels";
  }
  if (rate < kSampleRate.min) {
    field = kSampleRate.name;
    return "\"" + std::string(field) + "\" = " + std::to_string(rate) + " must be above 0";
  }
  return {};
}
}  // namespace

std::string RecordProblem(const BlockEntry& b, const BlockType& type, const char*& field) {
  const RecordLayout& layout = RecordOf(type.blockClass);
  const std::string who = BlockWords(b, type) + ": ";
  if (b.record.size() == layout.size)
    if (std::string problem = NonFiniteRecordProblem(layout, b.record.data(), field); !problem.empty())
      return who + problem;
  if (type.blockClass == BlockClass::WaveSave)
    if (std::string problem = RecorderProblem(b, layout, field); !problem.empty()) return who + problem;
  // A count past its list would be cut to the list without a word; the
  // buffer and filter records may serve any block of their group.
  if (type.blockClass != BlockClass::Transform && type.blockClass != BlockClass::FilterTransform) return {};
  for (const RecordField& list : layout.fields) {
    if (!list.IsCounted()) continue;
    const RecordField& count = CountOf(list);
    const int64_t n = IntegerField(b, layout, count);
    if (n < count.min || n > count.max) {
      field = count.name;
      return who + "\"" + count.name + "\" = " + std::to_string(n) + " is out of range " + FieldRangeText(count);
    }
  }
  return {};
}
