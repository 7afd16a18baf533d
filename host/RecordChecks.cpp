#include "RecordChecks.h"

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
    if (channels < 1 || channels > 4) {
      field = "Channels";
      return who + "\"Channels\" = " + std::to_string(channels) + "; a WAVE recorder writes 1 to 4 channels";
    }
    if (rate <= 0) {
      field = "SampleRate";
      return who + "\"SampleRate\" = " + std::to_string(rate) + " must be above 0";
    }
  }
  if (type.blockClass == BlockClass::FilterTransform) {
    for (const char* count : {"FIRS_TapsCount", "IIRS_TapsCount", "LMSS_TapsCount"}) {
      const int64_t n = integer(count);
      if (n < 0 || n > kRecordMaxTaps) {
        field = count;
        return who + "\"" + count + "\" = " + std::to_string(n) + " is out of range 0.." +
               std::to_string(kRecordMaxTaps);
      }
    }
  }
  return {};
}
