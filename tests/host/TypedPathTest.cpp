// A block computes the same whether its host hands it typed values or value
// texts: every block type, with random records and inputs, through both.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/design/BlockTypes.h"
#include "host/design/RecordFields.h"
#include "host/session/BlockSession.h"
#include "host/engine/PluginLoader.h"

namespace {

namespace fs = std::filesystem;

// Some fields the type reads, at random values near the ranges blocks are
// used with (a field that refuses a value keeps its default).
void RandomFields(const BlockType& type, std::mt19937& rng, BlockSetup& setup) {
  std::uniform_int_distribution<int> coin(0, 2), small(-4, 40);
  std::uniform_real_distribution<double> real(-2.0, 2.0);
  for (const RecordField& f : RecordOf(type.blockClass).fields) {
    if (f.libraryState || !TypeReadsField(type, f.name) || coin(rng) != 0) continue;
    switch (f.type) {
      case FieldType::Text:
        break;
      case FieldType::Float32:
      case FieldType::Float64:
        if (f.count > 1) {
          std::vector<double> list(std::uniform_int_distribution<size_t>(1, 8)(rng));
          for (double& x : list) x = real(rng);
          setup.fields.emplace_back(f.name, list);
        } else {
          setup.fields.emplace_back(f.name, real(rng) * (coin(rng) == 0 ? 1000.0 : 1.0));
        }
        break;
      default:
        setup.fields.emplace_back(f.name, static_cast<int64_t>(small(rng)));
    }
  }
}

// A copy of the plug-in loaded on its own, with its own random generator
// state, beside the signal library of this build.
std::unique_ptr<PluginLoader> OwnPlugin(const fs::path& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path plugin = dir / fs::path(RIR_PLUGIN_PATH).filename();
  fs::copy_file(RIR_PLUGIN_PATH, plugin);
  fs::create_directory_symlink(fs::path(RIR_PLUGIN_DIR) / "NSPdllS", dir / "NSPdllS");
  return std::make_unique<PluginLoader>(plugin.string());
}

struct Outcome {
  std::string error;
  std::vector<std::vector<int64_t>> outputs;
  std::vector<std::string> messages;
  std::string recorded;  // a recorder's file
};

Outcome RunBlock(PluginLoader& plugin, BlockSetup setup, bool typed, const std::vector<std::vector<int64_t>>& inputs,
                 size_t count) {
  Outcome o;
  const fs::path folder = fs::temp_directory_path() / (typed ? "rir_typed_path" : "rir_text_path");
  const BlockType& type = *FindBlockType(setup.exportName);
  if (type.blockClass == BlockClass::WaveSave) {
    fs::create_directories(folder);
    setup.folder = folder.string() + "/";
  }
  setup.typedValues = typed;
  try {
    BlockSession session(plugin, setup);
    std::vector<const int64_t*> in;
    for (size_t i = 0; i < session.Inputs().size(); ++i) in.push_back(inputs[i].data());
    o.outputs.assign(session.Outputs().size(), std::vector<int64_t>(count));
    std::vector<int64_t*> out;
    for (auto& v : o.outputs) out.push_back(v.data());
    session.Process(count, in, out);
    session.Close();
    o.messages = session.TakeMessages();
  } catch (const BlockSetupError& e) {
    o.error = e.what();
  }
  if (type.blockClass == BlockClass::WaveSave) {
    std::ifstream file(folder / "typed.wav", std::ios::binary);
    o.recorded.assign(std::istreambuf_iterator<char>(file), {});
    fs::remove_all(folder);
  }
  return o;
}

}  // namespace

// Each path runs on a plug-in of its own, whose random generators draw the
// same sequence.
TEST(TypedPath, EveryBlockTypeComputesAsThroughTexts) {
  const fs::path plugins = fs::temp_directory_path() / "rir_typed_path_plugins";
  const std::unique_ptr<PluginLoader> typedPlugin = OwnPlugin(plugins / "typed");
  const std::unique_ptr<PluginLoader> textPlugin = OwnPlugin(plugins / "text");
  std::mt19937 rng(39);
  constexpr size_t kSamples = 300;
  int ran = 0;
  for (const BlockType& type : AllBlockTypes()) {
    for (int round = 0; round < 4; ++round) {
      BlockSetup setup;
      setup.exportName = type.exportName;
      setup.width = std::uniform_int_distribution<int>(1, 32)(rng);
      setup.signValue = round % 2;
      RandomFields(type, rng, setup);
      if (type.blockClass == BlockClass::WaveSave) setup.fields.emplace_back("FileName", std::string("typed.wav"));
      if (type.blockClass == BlockClass::WaveLoad) {
        setup.fields.emplace_back("FileName", std::string("abc.wav"));
        setup.folder = RIR_TEST_DATA;
      }
      if (type.blockClass == BlockClass::Generator && round >= 2) setup.optionalInputs = {"Clk"};
      if (type.blockClass == BlockClass::SimpleTransform && round >= 2) setup.optionalInputs = {"D2In"};
      // Inputs over each port's range, strobes and clocks at random.
      std::vector<std::vector<int64_t>> inputs;
      for (const PortSpec& p : PortsOfType(type)) {
        if (p.direction != PortDirection::In) continue;
        const int64_t w = IsOneBitPort(p) ? 1 : setup.width;
        const int64_t high = w == 1 ? 1 : setup.signValue == 0 ? (int64_t{1} << (w - 1)) - 1 : (int64_t{1} << w) - 1;
        const int64_t low = w == 1 || setup.signValue != 0 ? 0 : -high;
        std::uniform_int_distribution<int64_t> value(low, high);
        inputs.emplace_back(kSamples);
        for (int64_t& x : inputs.back()) x = value(rng);
      }
      const Outcome typed = RunBlock(*typedPlugin, setup, true, inputs, kSamples);
      const Outcome text = RunBlock(*textPlugin, setup, false, inputs, kSamples);
      const std::string what = type.exportName + " round " + std::to_string(round);
      EXPECT_EQ(typed.error, text.error) << what;
      EXPECT_EQ(typed.outputs, text.outputs) << what;
      EXPECT_EQ(typed.messages, text.messages) << what;
      EXPECT_EQ(typed.recorded, text.recorded) << what;
      ran += typed.error.empty() ? 1 : 0;
    }
  }
  // Most random records make usable blocks.
  EXPECT_GT(ran, static_cast<int>(AllBlockTypes().size()) * 2);
  fs::remove_all(plugins);
}
