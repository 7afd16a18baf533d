// The design reader on arbitrary texts: every text either reads as a design
// or fails with a DesignError naming the file; nothing else may escape, and
// a design that reads must hold only what the reader promises to check.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/design/DesignReader.h"
#include "host/run/OutputSinks.h"

namespace {
// An empty folder of its own, so that record files named relative to the
// design find nothing but what the design itself names.
const std::string& DesignPath() {
  static const std::string path = [] {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("rir_design_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "design.toml").string();
  }();
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const Design d = ParseDesign(text, DesignPath());
    CheckOutputSettings(d);
    for (const VariableEntry& v : d.variables) {
      if (v.width < 1 || v.width > 255 || v.initial.size() != static_cast<size_t>(v.width)) std::abort();
    }
    for (const BlockEntry& b : d.blocks) {
      // A block's record is always a whole record, its ports name variables.
      if (b.record.empty()) std::abort();
      for (const auto* ports : {&b.inputs, &b.outputs})
        for (const auto& [port, var] : *ports)
          if (d.Variable(var) == nullptr) std::abort();
    }
  } catch (const DesignError& e) {
    const std::string what = e.what();
    if (what.rfind(DesignPath(), 0) != 0) std::abort();  // the message names the file
  }
  return 0;
}
