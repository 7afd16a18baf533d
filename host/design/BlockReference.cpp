#include "BlockReference.h"

#include <algorithm>
#include <iomanip>
#include <string>

#include "BlockTypes.h"
#include "PortRules.h"
#include "RecordFields.h"

namespace {

const BlockType* FindByAnyName(std::string_view name) {
  if (const BlockType* t = FindBlockType(name)) return t;
  for (const BlockType& t : AllBlockTypes())
    if (t.exportName == std::string(name) + "_Init") return &t;
  for (const BlockType& t : AllBlockTypes())
    if (t.typeName == name) return &t;
  return nullptr;
}

// The stored parameter a block of this type reads its record from.
std::string RecordName(const BlockType& t) {
  switch (t.blockClass) {
    case BlockClass::Generator:
      return t.typeName + "_parameters";
    case BlockClass::WaveLoad:
    case BlockClass::WaveSave:
      return t.typeName;
    default:
      return t.typeName;  // the catalogue name of its transform
  }
}

void PrintLimits(const BlockType& t, std::ostream& out) {
  const auto line = [&out](const std::string& text) { out << "  " << text << "\n"; };
  const std::string text = std::to_string(kRecordTextLength);
  switch (t.blockClass) {
    case BlockClass::Generator:
      line("free-running: writes the first " + std::to_string(kGeneratorTableLength) +
           " samples from a table computed when the parameters load, then 0 (a Func generator computes every "
           "sample); clocked by Clk it computes every sample");
      line("Formula: at most " + text + " characters");
      break;
    case BlockClass::SimpleTransform:
      line("User_func: at most " + text + " characters");
      break;
    case BlockClass::Transform:
      line("N (Num_Points) <= " + std::to_string(kMaxSignalLength) + "; N <= 0 means 102");
      line("at most " + std::to_string(kRecordMaxTaps) + " convolution taps");
      break;
    case BlockClass::FilterTransform:
      line("at most " + std::to_string(kRecordMaxTaps) + " taps and delay values per filter");
      break;
    case BlockClass::WaveLoad:
    case BlockClass::WaveSave:
      line("FileName: at most " + text +
           " characters; a relative name lies in the design's folder for a player and in the output folder (-o) "
           "for a recorder; Test/Test_N.wav lies in the design's folder");
      break;
  }
  if (const std::string widths = CheckedWidthsText(BlockPorts(t.blockClass)); !widths.empty()) line(widths);
}

}  // namespace

void ListBlocks(std::ostream& out) {
  size_t width = 0;
  for (const BlockType& t : AllBlockTypes()) width = std::max(width, t.exportName.size());
  for (BlockClass c : {BlockClass::Generator, BlockClass::SimpleTransform, BlockClass::Transform,
                       BlockClass::FilterTransform, BlockClass::WaveLoad, BlockClass::WaveSave}) {
    out << ClassName(c) << "\n  types:\n";
    for (const BlockType& t : AllBlockTypes())
      if (t.blockClass == c)
        out << "    " << std::left << std::setw(static_cast<int>(width) + 2) << t.exportName << t.row->description
            << "\n";
    out << "  ports:\n";
    for (const PortInfo& p : PortsOf(c))
      out << "    " << std::left << std::setw(8) << p.name << (p.direction == PortDirection::Out ? "output" : "input ")
          << (p.required ? "  required  " : "  optional  ") << PortNote(p, BlockPorts(c).ports) << "\n";
    // The fields the class's types read, as each type's own page lists them.
    const RecordLayout& layout = RecordOf(c);
    out << "  parameters (" << layout.name << " record, " << layout.size << " bytes):";
    int column = 0;
    for (const RecordField& f : layout.fields) {
      if (f.libraryState || !ClassReadsField(c, f.name)) continue;
      if (column++ % 5 == 0) out << "\n   ";
      out << " " << f.name;
    }
    out << "\n\n";
  }
  out << "\"rir-eda blocks TYPE\" describes one type: its ports, the fields it reads, their defaults and its "
         "limits.\n";
}

bool DescribeBlock(std::string_view name, std::ostream& out) {
  const BlockType* found = FindByAnyName(name);
  if (found == nullptr) return false;
  const BlockType& t = *found;
  const BlockRow& row = *t.row;
  out << t.exportName << ": " << row.description << "\n";
  out << "  class " << row.className << ", type name \"" << t.typeName << "\", ordinal " << row.ordinal;
  if (row.generatorKind >= 0) out << ", generator kind " << row.generatorKind;
  if (row.catalogueCode > 0) out << ", catalogue code " << row.catalogueCode << ", dialog code " << row.dialogCode;
  if (row.group > 0) out << ", group " << row.group;
  out << "\n\nports:\n";
  for (const PortSpec& p : PortsOfType(t))
    out << "  " << std::left << std::setw(8) << p.name << (p.direction == PortDirection::Out ? "output" : "input ")
        << (p.required ? "  required  " : "  optional  ") << "kind " << KindsText(p.kinds) << ", width "
        << WidthText(p, PortsOfType(t)) << ": " << p.meaning << "\n";

  const RecordLayout& layout = RecordOf(t.blockClass);
  const std::vector<uint8_t> defaults = DefaultRecord(layout);
  out << "\nparameters (" << layout.name << " record, " << layout.size << " bytes, stored as \"" << RecordName(t)
      << "\"):\n";
  if (row.fields.empty()) out << "  none\n";
  for (const char* name : row.fields) {
    const RecordField* f = FindField(layout, name);
    if (f == nullptr) continue;
    out << "  " << f->name << "  " << FieldTypeName(*f) << "\n      default "
        << FieldValueText(GetField(layout, defaults.data(), *f));
    if (const std::string range = FieldRangeText(*f); !range.empty()) out << "; range " << range;
    if (f->unit[0] != '\0') out << "; unit " << f->unit;
    out << "\n      " << f->meaning << "\n";
    if (const std::string offered = FieldControlRangeText(*f); !offered.empty())
      out << "      the dialog offers " << offered << "\n";
  }
  out << "\nlimits:\n";
  PrintLimits(t, out);
  return true;
}
