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
#include "numeric/RecordFields.h"

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

// A folder as the blocks get it: with a trailing '/', and relative to the
// working folder when that is shorter (wave blocks keep 55 characters).
std::string BlockFolder(const fs::path& dir) {
  std::error_code ec;
  const fs::path abs = fs::absolute(dir, ec).lexically_normal();
  const fs::path rel = abs.lexically_relative(fs::current_path(ec));
  std::string s = (!rel.empty() && rel.string().size() < abs.string().size()) ? rel.string() : abs.string();
  if (s.empty() || s == ".") return "./";
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
  uint64_t errors = stats.errors;
  auto commit = [&](bool ok, const std::string& path, const char* what) {
    if (ok) {
      if (!request.quiet) out << DescribeWrote(lang, what, path) << "\n";
    } else {
      err << "rir-eda: " << DescribeCannotWrite(lang, path) << "\n";
      ++errors;
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
        << DescribeProblems(lang, errors, stats.warnings) << "\n";
    if (stats.aborted) out << DescribeRunAborted(lang) << "\n";
  }
  const bool failed = stats.aborted || errors > 0 || (request.strict && stats.warnings > 0);
  if (!failed) return 0;
  out.flush();
  err << "rir-eda: " << DescribeRunFailed(lang, errors, stats.warnings, stats.aborted, request.strict) << "\n";
  return 1;
}

void ListBlocks(std::ostream& out) {
  for (BlockClass c : {BlockClass::Generator, BlockClass::SimpleTransform, BlockClass::Transform,
                       BlockClass::FilterTransform, BlockClass::WaveLoad, BlockClass::WaveSave}) {
    out << ClassName(c) << "\n  types:";
    int column = 0;
    for (const BlockType& t : AllBlockTypes()) {
      if (t.blockClass != c) continue;
      if (column++ % 4 == 0) out << "\n   ";
      out << " " << t.exportName;
    }
    out << "\n  ports:\n";
    for (const PortInfo& p : PortsOf(c))
      out << "    " << std::left << std::setw(8) << p.name << (p.direction == PortDirection::Out ? "output" : "input ")
          << (p.required ? "  required  " : "  optional  ") << p.note << "\n";
    const RecordLayout& layout = RecordOf(c);
    out << "  parameters (" << layout.name << " record, " << layout.size << " bytes):";
    column = 0;
    for (const RecordField& f : layout.fields) {
      if (f.libraryState) continue;
      if (column++ % 5 == 0) out << "\n   ";
      out << " " << f.name;
    }
    out << "\n\n";
  }
}
