#include "Simulation.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <ostream>

#include "BlockTypes.h"
#include "CsvWriter.h"
#include "DesignReader.h"
#include "Engine.h"
#include "PluginLoader.h"
#include "PngPlot.h"
#include "VcdWriter.h"
#include "RecordFields.h"

namespace fs = std::filesystem;

namespace {

// Hands every sample to several writers.
class Fanout : public Recorder {
 public:
  std::vector<Recorder*> to;
  void Begin(const VariableStore& s) override {
    for (Recorder* r : to) r->Begin(s);
  }
  void Sample(int64_t t, const VariableStore& s) override {
    for (Recorder* r : to) r->Sample(t, s);
  }
  void End(int64_t t) override {
    for (Recorder* r : to) r->End(t);
  }
};

// A folder as the blocks get it: absolute, with a trailing '/'.
std::string BlockFolder(const fs::path& dir) {
  std::error_code ec;
  std::string s = fs::absolute(dir, ec).lexically_normal().string();
  if (s.empty()) return "./";
  if (s.back() != '/') s += '/';
  return s;
}

std::string Join(const std::string& dir, const std::string& name) {
  if (name.empty()) return {};
  const fs::path p(name);
  return p.is_absolute() ? name : (fs::path(dir) / p).lexically_normal().string();
}

std::vector<int32_t> SignModes(const Engine& e, const std::vector<std::string>& names) {
  std::vector<int32_t> modes;
  for (const std::string& n : names) modes.push_back(e.SignModeOf(n));
  return modes;
}

}  // namespace

int RunDesignFile(const RunRequest& request, std::ostream& out, std::ostream& err) {
  Design design;
  try {
    design = ReadDesign(request.design);
  } catch (const DesignError& e) {
    err << "rir-eda: " << e.what() << "\n";
    return 2;
  }
  for (const std::string& w : design.warnings) err << "rir-eda: " << w << "\n";
  PluginLoader plugin(request.pluginPath);
  if (!plugin.Loaded()) {
    err << "rir-eda: cannot load the plug-in: " << plugin.Error() << "\n";
    return 2;
  }
  std::error_code ec;
  fs::create_directories(request.outputDir, ec);
  const std::string vcd = Join(request.outputDir, request.vcd.empty() ? design.output.vcd : request.vcd);
  const std::string csv = Join(request.outputDir, request.csv.empty() ? design.output.csv : request.csv);
  const std::string png = Join(request.outputDir, request.png.empty() ? design.output.png : request.png);

  Engine engine(design, &plugin, [&err](const std::string& line) { err << "rir-eda: " << line << "\n"; });
  engine.SetWaveFolders(BlockFolder(design.directory), BlockFolder(request.outputDir));
  if (!engine.Build()) return 2;

  Fanout fan;
  std::unique_ptr<VcdWriter> vcdWriter;
  std::unique_ptr<CsvWriter> csvWriter;
  std::unique_ptr<PngPlot> plot;
  if (!vcd.empty()) {
    vcdWriter = std::make_unique<VcdWriter>(vcd, design.output.vcdVariables);
    fan.to.push_back(vcdWriter.get());
  }
  if (!csv.empty()) {
    std::vector<std::string> names = design.output.csvBuses;
    csvWriter = std::make_unique<CsvWriter>(csv, names, SignModes(engine, names));
    fan.to.push_back(csvWriter.get());
  }
  if (!png.empty()) {
    std::vector<std::string> names = design.output.pngBuses;
    plot = std::make_unique<PngPlot>(png, names, SignModes(engine, names));
    fan.to.push_back(plot.get());
  }

  if ((vcdWriter && !vcdWriter->Ok()) || (csvWriter && !csvWriter->Ok()) ||
      (plot && !fs::is_directory(fs::path(png).parent_path().empty() ? fs::path(".") : fs::path(png).parent_path()))) {
    err << "rir-eda: cannot write to the output folder " << request.outputDir << "\n";
    return 2;
  }
  const bool bar = request.progress && !request.quiet && isatty(STDERR_FILENO) != 0;
  int shown = -1;
  const auto start = std::chrono::steady_clock::now();
  auto progress = [&](int64_t t) {
    // Only runs that last show a bar.
    if (!bar || design.endTime <= 0 || std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300))
      return;
    const int pct = static_cast<int>(static_cast<long double>(t) * 100 / design.endTime);
    if (pct == shown) return;
    shown = pct;
    std::fprintf(stderr, "\r[%-40s] %3d%%", std::string(static_cast<size_t>(pct * 40 / 100), '#').c_str(), pct);
    std::fflush(stderr);
  };
  const RunStats stats = engine.Run(&fan, progress);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (shown >= 0) std::fprintf(stderr, "\r%-48s\r", "");

  const HostLanguage lang = LanguageFromText(design.language);
  int status = stats.aborted || stats.loop ? 1 : 0;
  auto commit = [&](bool ok, const std::string& path, const char* what) {
    if (ok) {
      if (!request.quiet) out << DescribeWrote(lang, what, path) << "\n";
    } else {
      err << "rir-eda: " << DescribeCannotWrite(lang, path) << "\n";
      status = 1;
    }
  };
  if (vcdWriter) commit(vcdWriter->Commit(), vcd, "VCD");
  if (csvWriter) commit(csvWriter->Commit(), csv, "CSV");
  if (plot) {
    commit(plot->Commit(), png, "plot");
    if (!request.quiet) out << plot->Legend();
  }
  if (!request.quiet) {
    out << DescribeSummary(lang, stats.endTime, stats.timePoints, stats.steps, stats.notifications, stats.events,
                           seconds)
        << "\n";
    if (stats.aborted) out << DescribeRunAborted(lang) << "\n";
  }
  return status;
}
