// rir-eda: runs designs through the block plug-in.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>

#include "EditCommand.h"
#include "Simulation.h"

namespace fs = std::filesystem;

namespace {
// What "demo" runs: a sine through a Hann window and a power-spectrum FFT.
constexpr const char* kDemoDesign = "sine_hann_fft.toml";

fs::path Executable(const char* argv0) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::absolute(argv0) : self;
}

// The bundled examples: next to the build tree's source, else beside the program.
fs::path ExamplesFolder(const fs::path& exe) {
#ifdef RIR_SOURCE_DIR
  if (fs::exists(fs::path(RIR_SOURCE_DIR) / "examples")) return fs::path(RIR_SOURCE_DIR) / "examples";
#endif
  for (const fs::path& p : {exe.parent_path() / "../../examples", exe.parent_path() / "../share/rir-eda/examples"})
    if (fs::exists(p)) return p.lexically_normal();
  return "examples";
}
}  // namespace

int main(int argc, char** argv) {
  const fs::path exe = Executable(argv[0]);
  CLI::App app{"rir-eda: simulates designs built from the Rir_Eda block library"};
  app.require_subcommand(1);
  RunRequest request;
  request.pluginPath = (exe.parent_path() / "../lib/librir_eda.so").lexically_normal().string();

  CLI::App* run = app.add_subcommand("run", "run a design file");
  run->add_option("design", request.design, "the design file (TOML)")->required();
  run->add_option("-o,--output-dir", request.outputDir, "folder for the outputs (default: the working folder)");
  run->add_option("--vcd", request.vcd, "write a VCD file (overrides the design)");
  run->add_option("--csv", request.csv, "write a CSV file of the design's chosen buses");
  run->add_option("--png", request.png, "write a PNG plot of the design's chosen buses");
  run->add_option("--plugin", request.pluginPath, "the plug-in library to load");
  run->add_flag("-q,--quiet", request.quiet, "print only problems");

  CLI::App* blocks = app.add_subcommand("blocks", "list every block type with its ports and parameter fields");

  std::string demoOut = "out";
  CLI::App* demo = app.add_subcommand("demo", "run the bundled example");
  demo->add_option("-o,--output-dir", demoOut, "folder for the outputs (default: out)");
  demo->add_option("--plugin", request.pluginPath, "the plug-in library to load");

  EditRequest edit;
  CLI::App* editCmd = app.add_subcommand("edit", "open a block's parameter dialog and save the choice in the design");
  editCmd->add_option("design", edit.design, "the design file (TOML)")->required();
  editCmd->add_option("block", edit.block, "the block's name")->required();
  editCmd->add_option("--lang", edit.language, "dialog language, e.g. RUSSIAN (default: the design's)");
  editCmd->add_option("-o,--output-dir", edit.outputDir,
                      "the folder runs write to; recorders' file names are relative to it (default: the working folder)");
  editCmd->add_option("--plugin", request.pluginPath, "the plug-in library to load");

  CLI11_PARSE(app, argc, argv);
  if (*editCmd) {
    edit.pluginPath = request.pluginPath;
    return EditDesignBlock(edit, std::cout, std::cerr);
  }
  if (*blocks) {
    ListBlocks(std::cout);
    return 0;
  }
  if (*demo) {
    request.design = (ExamplesFolder(exe) / kDemoDesign).string();
    request.outputDir = demoOut;
    std::cout << "running " << request.design << "\nwriting to " << fs::absolute(demoOut).lexically_normal().string()
              << "/\n";
  }
  return RunDesignFile(request, std::cout, std::cerr);
}
