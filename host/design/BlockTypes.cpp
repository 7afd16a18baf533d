#include "BlockTypes.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "RecordFields.h"

namespace {
constexpr BlockClass kClasses[] = {BlockClass::Generator,       BlockClass::SimpleTransform, BlockClass::Transform,
                                   BlockClass::FilterTransform, BlockClass::WaveLoad,        BlockClass::WaveSave};
}  // namespace

const std::vector<BlockType>& AllBlockTypes() {
  static const std::vector<BlockType> types = [] {
    std::vector<BlockType> t;
    for (const BlockRow& row : BlockTable()) t.push_back({row.exportName, row.typeName, row.blockClass, &row});
    return t;
  }();
  return types;
}

const BlockType* FindBlockType(std::string_view exportName) {
  for (const BlockType& t : AllBlockTypes())
    if (t.exportName == exportName) return &t;
  return nullptr;
}

const std::vector<PortInfo>& PortsOf(BlockClass c) {
  static const std::array<std::vector<PortInfo>, std::size(kClasses)> ports = [] {
    std::array<std::vector<PortInfo>, std::size(kClasses)> all;
    for (size_t k = 0; k < std::size(kClasses); ++k) {
      std::vector<PortInfo>& list = all[k];
      std::vector<size_t> seen;  // rows of the class that have each port
      size_t rows = 0;
      for (const BlockRow& row : BlockTable()) {
        if (row.blockClass != kClasses[k]) continue;
        ++rows;
        for (const PortSpec& p : row.ports) {
          size_t i = 0;
          while (i < list.size() && std::string_view(list[i].name) != p.name) ++i;
          if (i == list.size()) {
            list.push_back(p);
            seen.push_back(0);
          }
          ++seen[i];
        }
      }
      for (size_t i = 0; i < list.size(); ++i)
        if (seen[i] != rows) list[i].required = false;
    }
    return all;
  }();
  for (size_t k = 0; k < std::size(kClasses); ++k)
    if (kClasses[k] == c) return ports[k];
  return ports[0];
}

const PortInfo* FindPort(BlockClass c, std::string_view port) {
  for (const PortInfo& p : PortsOf(c))
    if (port == p.name) return &p;
  return nullptr;
}

std::span<const PortSpec> PortsOfType(const BlockType& type) { return type.row->ports; }

const RecordLayout& RecordOf(BlockClass c) {
  switch (c) {
    case BlockClass::Generator:
      return GeneratorRecordLayout();
    case BlockClass::SimpleTransform:
    case BlockClass::Transform:
      return TransformRecordLayout();
    case BlockClass::FilterTransform:
      return FilterRecordLayout();
    case BlockClass::WaveLoad:
    case BlockClass::WaveSave:
      return WaveRecordLayout();
  }
  return GeneratorRecordLayout();
}

const char* ClassName(BlockClass c) {
  for (const BlockRow& row : BlockTable())
    if (row.blockClass == c) return row.className;
  return "";
}

bool TypeReadsField(const BlockType& type, std::string_view field) {
  for (const char* f : type.row->fields)
    if (field == f) return true;
  return false;
}

bool ClassReadsField(BlockClass c, std::string_view field) {
  for (const BlockType& t : AllBlockTypes())
    if (t.blockClass == c && TypeReadsField(t, field)) return true;
  return false;
}

bool TypeRequiresPort(const BlockType& type, std::string_view port) {
  for (const PortSpec& p : type.row->ports)
    if (port == p.name) return p.required;
  return false;
}

size_t TypoDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t up = row[j];
      const bool same =
          std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

const BlockType* NearestBlockType(std::string_view name) {
  const BlockType* nearest = nullptr;
  size_t best = 3;  // at most two edits away
  const std::string withInit = std::string(name) + "_Init";
  for (const BlockType& t : AllBlockTypes()) {
    const size_t d = std::min(TypoDistance(name, t.exportName), TypoDistance(withInit, t.exportName));
    if (d < best) {
      best = d;
      nearest = &t;
    }
  }
  return nearest;
}
