// The write-back of "rir-eda edit" on arbitrary design texts and edits. It
// either refuses with a DesignTextError or returns a text that still reads
// as TOML when the original did, with the same blocks and the edited values
// in place. Nothing else may escape.
#include <toml++/toml.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/design/DesignText.h"

namespace {
// Bare and quoted keys, names of real fields and a name of no record.
const char* const kNames[] = {"SineAmp", "SinePeriod", "Formula", "UserFunc", "FirTaps", "FileName",
                              "Kind",    "odd name",   "a.b",     "q\"uote",  "Sine Amp"};

struct Reader {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  int64_t Int() {
    int64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | Byte();
    return v;
  }
  std::string Text(size_t n) {
    n = std::min(n, size);
    std::string s(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return s;
  }
};

FieldValue MakeValue(Reader& r) {
  switch (r.Byte() % 4) {
    case 0:
      return r.Int();
    case 1: {
      double d;
      const int64_t bits = r.Int();
      std::memcpy(&d, &bits, sizeof d);
      return d;
    }
    case 2:
      return r.Text(r.Byte() % 16);
    default: {
      std::vector<double> list(r.Byte() % 5);
      for (double& d : list) d = static_cast<double>(r.Int() % 100000) / 8.0;
      return list;
    }
  }
}

bool SameValue(const toml::node* n, const FieldValue& v) {
  if (n == nullptr) return false;
  if (const auto* i = std::get_if<int64_t>(&v)) return n->is_integer() && n->as_integer()->get() == *i;
  if (const auto* d = std::get_if<double>(&v)) {
    if (!n->is_floating_point()) return false;
    const double got = n->as_floating_point()->get();
    return std::isnan(*d) ? std::isnan(got) : got == *d;
  }
  if (const auto* s = std::get_if<std::string>(&v)) return n->is_string() && n->as_string()->get() == *s;
  const auto& list = std::get<std::vector<double>>(v);
  const toml::array* a = n->as_array();
  if (a == nullptr || a->size() > list.size()) return false;
  for (size_t i = 0; i < list.size(); ++i) {
    const double want = list[i];
    if (i >= a->size()) {
      if (want != 0) return false;  // only trailing zeros are left out
      continue;
    }
    const toml::node& e = (*a)[i];
    const double got = e.is_floating_point() ? e.as_floating_point()->get()
                       : e.is_integer()      ? static_cast<double>(e.as_integer()->get())
                                             : NAN;
    if (got != want) return false;
  }
  return true;
}

const toml::table* BlockAt(const toml::table& root, size_t index) {
  const toml::array* blocks = root["block"].as_array();
  if (blocks == nullptr || index >= blocks->size()) return nullptr;
  return (*blocks)[index].as_table();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader r{data, size};
  const size_t blockIndex = r.Byte() % 4;
  const uint8_t flags = r.Byte();
  BlockEdits edits;
  edits.replaceOnly = (flags & 1) != 0;
  std::vector<std::pair<std::string, FieldValue>> wanted;
  const int count = (flags >> 1) % 4;
  bool used[std::size(kNames)] = {};
  for (int i = 0; i < count; ++i) {
    const size_t k = r.Byte() % std::size(kNames);
    FieldValue value = MakeValue(r);
    if (used[k]) continue;  // a field is edited once
    used[k] = true;
    try {
      edits.fields.push_back({kNames[k], TomlValueText(value)});
    } catch (const DesignTextError&) {
      continue;  // a text that is not UTF-8 has no TOML form
    }
    wanted.emplace_back(kNames[k], std::move(value));
  }
  std::array<int64_t, 2> position{};
  if (flags & 0x10) {
    position = {r.Int() % 100000, r.Int() % 100000};
    edits.position = "[" + std::to_string(position[0]) + ", " + std::to_string(position[1]) + "]";
  }
  const std::string text = r.Text(r.size);

  std::string out;
  try {
    out = EditBlockText(text, blockIndex, edits);
  } catch (const DesignTextError&) {
    return 0;
  }
  toml::table before;
  try {
    before = toml::parse(text);
  } catch (const toml::parse_error&) {
    return 0;  // no promise about texts that were not TOML
  }
  toml::table after;
  try {
    after = toml::parse(out);
  } catch (const toml::parse_error&) {
    std::abort();  // the edit broke a design that read before
  }
  const toml::array* b0 = before["block"].as_array();
  const toml::array* b1 = after["block"].as_array();
  if ((b0 == nullptr) != (b1 == nullptr) || (b0 != nullptr && b0->size() != b1->size())) std::abort();
  const toml::table* was = BlockAt(before, blockIndex);
  const toml::table* block = BlockAt(after, blockIndex);
  if (block == nullptr) return 0;  // the block was not a plain table
  const toml::table* params = (*block)["parameters"].as_table();
  const toml::table* oldParams = was != nullptr ? (*was)["parameters"].as_table() : nullptr;
  for (const auto& [name, value] : wanted) {
    const bool existed = oldParams != nullptr && oldParams->contains(name);
    if (edits.replaceOnly && !existed) {
      if (params != nullptr && params->contains(name)) std::abort();  // added against replace-only
      continue;
    }
    if (params == nullptr || !SameValue(params->get(name), value)) std::abort();
  }
  if (edits.position) {
    const toml::array* p = (*block)["dialog_position"].as_array();
    if (p == nullptr || p->size() != 2 || !(*p)[0].is_integer() || !(*p)[1].is_integer() ||
        (*p)[0].as_integer()->get() != position[0] || (*p)[1].as_integer()->get() != position[1])
      std::abort();
  }
  return 0;
}
