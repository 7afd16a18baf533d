// rir-eda: runs designs through the block plug-in.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>

#include "EditCommand.h"
#include "Interruption.h"
#include "ManPage.h"
#include "NewCommand.h"
#include "SweepCommand.h"
#include "host/design/BlockReference.h"
#include "host/design/BlockTypes.h"
#include "host/run/OutputSinks.h"
#include "host/run/RunDesignFile.h"

namespace fs = std::filesystem;

namespace {
// What "demo" runs: a sine through a Hann window and a power-spectrum FFT.
constexpr const char* kDemoDesign = "sine_hann_fft.toml";
// Every mistake on the command line, like a bad design.
constexpr int kUsageError = 2;

fs::path Executable(const char* argv0) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::absolute(argv0) : self;
}

// The bundled examples.
fs::path ExamplesFolder(const fs::path& exe) {
  // An installed simulator has its own copy, whatever checkout it was built from.
  const fs::path installed = exe.parent_path() / "../share/rir-eda/examples";
  if (fs::exists(installed)) return installed.lexically_normal();
#ifdef RIR_SOURCE_DIR
  if (fs::exists(fs::path(RIR_SOURCE_DIR) / "examples")) return fs::path(RIR_SOURCE_DIR) / "examples";
#endif
  const fs::path beside = exe.parent_path() / "../../examples";
  if (fs::exists(beside)) return beside.lexically_normal();
  return "examples";
}
// The plug-in folder: lib/ beside bin/ in a build tree, lib/rir-eda/ when installed.
fs::path DefaultPlugin(const fs::path& exe) {
  const fs::path built = (exe.parent_path() / "../lib/librir_eda.so").lexically_normal();
  const fs::path installed = (exe.parent_path() / "../lib/rir-eda/librir_eda.so").lexically_normal();
  return fs::exists(built) || !fs::exists(installed) ? built : installed;
}
}  // namespace

int main(int argc, char** argv) {
  const fs::path exe = Executable(argv[0]);
  CLI::App app{"rir-eda: simulates designs built from the Rir_Eda block library"};
  app.set_version_flag("--version", std::string("rir-eda ") + RIR_VERSION);
  app.require_subcommand(1);
  RunRequest request;
  request.pluginPath = DefaultPlugin(exe).string();

  CLI::App* run = app.add_subcommand("run", "run a design file");
  run->add_option("design", request.design, "the design file (TOML)")->required();
  run->add_option("-o,--output-dir", request.outputDir, "folder for the outputs (default: the working folder)");
  for (const OutputKind& kind : OutputKinds())
    run->add_option(std::string("--") + kind.designKey, request.outputFiles[kind.designKey], kind.help);
  run->add_option("--plugin", request.pluginPath, "the plug-in library to load");
  run->add_option("--set", request.overrides, "BLOCK.FIELD=VALUE: override a record field for this run (repeatable)");
  run->add_flag("-q,--quiet", request.quiet, "print only problems");
  run->add_option("--scheduling", request.scheduling, "dataflow or events: how blocks are notified, for this run")
      ->check(CLI::IsMember({"dataflow", "events"}));
  run->add_flag("--strict", request.strict, "warnings fail the run too (exit status 1)");
  run->add_flag("--allow-paths", request.anyPath,
                "let recorders' FileName and the design's output names hold folders (../x.wav, /tmp/x.wav): "
                "write them outside the output folder");
  run->add_flag("-v,--verbose", request.verbose, "trace every block step, settle pass and notification on stderr");

  std::string blockType;
  CLI::App* blocks =
      app.add_subcommand("blocks", "list the block types, or describe one: ports, parameter fields, limits");
  blocks->add_option("type", blockType, "a block type, e.g. Sine_Init");

  std::string demoOut = "out";
  CLI::App* demo = app.add_subcommand("demo", "run the bundled example");
  demo->add_option("-o,--output-dir", demoOut, "folder for the outputs (default: out)");
  demo->add_option("--plugin", request.pluginPath, "the plug-in library to load");

  EditRequest edit;
  CLI::App* editCmd = app.add_subcommand("edit", "open a block's parameter dialog and save the choice in the design");
  editCmd->add_option("design", edit.design, "the design file (TOML)")->required();
  editCmd->add_option("block", edit.block, "the block's name")->required();
  editCmd->add_option("--lang", edit.language, "dialog language, e.g. RUSSIAN (default: the design's)");
  editCmd->add_option(
      "-o,--output-dir", edit.outputDir,
      "the folder runs write to; recorders' file names are relative to it (default: the working folder)");
  editCmd->add_option("--plugin", request.pluginPath, "the plug-in library to load");

  NewRequest made;
  CLI::App* newCmd = app.add_subcommand(
      "new", "write a test design from one of the plug-in's templates (constant, random, sine, tone)");
  newCmd->add_option("type", made.type, "the template: constant, random, sine or tone (none: list them)");
  newCmd->add_option("--set", made.assignments, "PLACEHOLDER=VALUE: fill in a placeholder, e.g. Const=5 (repeatable)");
  newCmd->add_option("-o,--output", made.output, "the design file to write (default: the Name placeholder + .toml)");
  newCmd->add_flag("--force", made.force, "replace an existing file");
  newCmd->add_option("--plugin", request.pluginPath, "the plug-in library to load");

  SweepRequest sweep;
  sweep.pluginPath = request.pluginPath;
  CLI::App* sweepCmd = AddSweepCommand(app, sweep);
  // Hidden: the build writes the man page with it.
  app.add_flag_callback("--man-page",
                        [&app] {
                          WriteManPage(app, RIR_VERSION, std::cout);
                          throw CLI::Success();
                        })
      ->group("");

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help, --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kUsageError;
  }
  if (*editCmd) {
    edit.pluginPath = request.pluginPath;
    // The design is written only after the dialog: a signal before that leaves it as it was.
    interruption::InstallEndingNow("rir-eda: interrupted; " + edit.design + " is unchanged\n");
    const int status = EditDesignBlock(edit, std::cout, std::cerr);
    if (interruption::Received() == 0) return status;
    std::cerr << "rir-eda: interrupted; what the edit writes was finished first\n";
    return interruption::ExitStatus(interruption::Received());
  }
  if (*newCmd) {
    made.pluginPath = request.pluginPath;
    return NewDesign(made, std::cout, std::cerr);
  }
  if (*sweepCmd) {
    interruption::InstallForRun();
    return RunSweepCommand(sweep, exe.string(), std::cout, std::cerr);
  }
  if (*blocks) {
    if (blockType.empty()) {
      ListBlocks(std::cout);
      return 0;
    }
    if (DescribeBlock(blockType, std::cout)) return 0;
    const BlockType* nearest = NearestBlockType(blockType);
    std::cerr << "unknown block type \"" << blockType << "\""
              << (nearest != nullptr ? "; did you mean \"" + nearest->exportName + "\"?" : std::string())
              << " (see \"rir-eda blocks\")\n";
    return kUsageError;
  }
  if (*demo) {
    request.design = (ExamplesFolder(exe) / kDemoDesign).string();
    request.outputDir = demoOut;
    std::cout << "running " << request.design << "\nwriting to " << fs::absolute(demoOut).lexically_normal().string()
              << "/\n";
  }
  interruption::InstallForRun();
  request.interruption = interruption::Received;
  return RunDesignFile(request, std::cout, std::cerr);
}
