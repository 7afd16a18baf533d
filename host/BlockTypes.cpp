#include "BlockTypes.h"

#include "framework/ExportList.h"
#include "numeric/RecordFields.h"

namespace {
constexpr BlockClass ClassOfFactory(std::string_view factory, int mode) {
  if (factory == "CreateGenerator") return BlockClass::Generator;
  if (factory == "CreateSimpleTransform") return BlockClass::SimpleTransform;
  if (factory == "CreateFilterTransform") return BlockClass::FilterTransform;
  if (factory == "CreateTransform") return BlockClass::Transform;
  return mode == 0 ? BlockClass::WaveLoad : BlockClass::WaveSave;
}

// The factory argument is a type name or a wave mode.
std::string TypeText(const char* name) { return name; }
std::string TypeText(int mode) { return mode == 0 ? "Load Wave" : "Save Wave"; }
constexpr int ModeOf(const char*) { return 0; }
constexpr int ModeOf(int mode) { return mode; }
}  // namespace

const std::vector<BlockType>& AllBlockTypes() {
  static const std::vector<BlockType> types = [] {
    std::vector<BlockType> t;
#define RIR_TYPE(ordinal, name, factory, arg) \
  t.push_back({#name, TypeText(arg), ClassOfFactory(#factory, ModeOf(arg))});
    RIR_INIT_EXPORTS(RIR_TYPE)
#undef RIR_TYPE
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
  static const std::vector<PortInfo> generator = {
      {"Out", PortDirection::Out, true, "Line or Bus, the sample"},
      {"Clk", PortDirection::In, false, "any; when bound the block samples while it reads \"1\""},
  };
  static const std::vector<PortInfo> simple = {
      {"DIn", PortDirection::In, true, "Bus, width w"},
      {"D2In", PortDirection::In, false, "Bus, width w"},
      {"DOut", PortDirection::Out, true, "Bus, width w"},
  };
  static const std::vector<PortInfo> buffer = {
      {"DIn", PortDirection::In, true, "Bus, the sample"},
      {"W", PortDirection::In, true, "Line, write strobe: emit the next result"},
      {"R", PortDirection::In, true, "Line, read strobe: take the sample"},
      {"DReOut", PortDirection::Out, true, "Bus, width w"},
      {"DImOut", PortDirection::Out, false, "Bus, width w"},
      {"DSOut", PortDirection::Out, false, "Bus, width 2w"},
      {"IBusy", PortDirection::Out, false, "Line, results pending"},
  };
  static const std::vector<PortInfo> filter = {
      {"DSrc", PortDirection::In, true, "Bus, the sample"},
      {"DDes", PortDirection::In, false, "Bus, desired value (LMS filters)"},
      {"DOut", PortDirection::Out, true, "Bus"},
  };
  static const std::vector<PortInfo> load = {
      {"C1", PortDirection::Out, true, "Bus, width 1..255, first channel"},
      {"C2", PortDirection::Out, false, "Bus, same width, second channel"},
      {"isMono", PortDirection::Out, false, "Line"},
      {"Clk", PortDirection::In, false, "Clk or DOTClk, steps the block"},
      {"Test", PortDirection::In, false, "at least 4 bits, test-file number"},
  };
  static const std::vector<PortInfo> save = {
      {"C1", PortDirection::In, true, "Bus, width 1..255, the sample"},
      {"C2", PortDirection::In, false, "Bus, same width, unused"},
      {"isMono", PortDirection::In, false, "Line, unused"},
      {"Clk", PortDirection::In, false, "Clk or DOTClk, sampling clock"},
      {"Test", PortDirection::In, false, "at least 4 bits"},
  };
  switch (c) {
    case BlockClass::Generator: return generator;
    case BlockClass::SimpleTransform: return simple;
    case BlockClass::Transform: return buffer;
    case BlockClass::FilterTransform: return filter;
    case BlockClass::WaveLoad: return load;
    case BlockClass::WaveSave: return save;
  }
  return generator;
}

const PortInfo* FindPort(BlockClass c, std::string_view port) {
  for (const PortInfo& p : PortsOf(c))
    if (port == p.name) return &p;
  return nullptr;
}

const RecordLayout& RecordOf(BlockClass c) {
  switch (c) {
    case BlockClass::Generator: return GeneratorRecordLayout();
    case BlockClass::SimpleTransform:
    case BlockClass::Transform: return TransformRecordLayout();
    case BlockClass::FilterTransform: return FilterRecordLayout();
    case BlockClass::WaveLoad:
    case BlockClass::WaveSave: return WaveRecordLayout();
  }
  return GeneratorRecordLayout();
}

const char* ClassName(BlockClass c) {
  switch (c) {
    case BlockClass::Generator: return "TGenerator";
    case BlockClass::SimpleTransform: return "TSimpleTransform";
    case BlockClass::Transform: return "TTransform";
    case BlockClass::FilterTransform: return "TFilterTransform";
    case BlockClass::WaveLoad: return "TWaveIO (load)";
    case BlockClass::WaveSave: return "TWaveIO (save)";
  }
  return "";
}
