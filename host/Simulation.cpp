#include "Simulation.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <map>
#include <memory>
#include <ostream>

#include "BlockTypes.h"
#include "CsvWriter.h"
#include "DesignReader.h"
#include "Engine.h"
#include "OutputFile.h"
#include "Overrides.h"
#include "PluginLoader.h"
#include "Plot.h"
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

// The block and port that write a variable, if a block does.
const BlockEntry* WriterOf(const Design& d, const std::string& variable, std::string* port = nullptr) {
  for (const BlockEntry& b : d.blocks)
    for (const auto& [p, var] : b.outputs)
      if (var == variable) {
        if (port != nullptr) *port = p;
        return &b;
      }
  return nullptr;
}

// What each panel of the plot draws; throws DesignError when a spectrum
// panel's bus is not a buffer block's result.
std::vector<PlotSeries> PlotPanels(const Design& d, const Engine& engine, const std::vector<std::string>& names) {
  std::vector<PlotSeries> series;
  for (const std::string& name : names) {
    PlotSeries s;
    s.variable = name;
    s.signMode = engine.SignModeOf(name);
    std::string port;
    const BlockEntry* b = WriterOf(d, name, &port);
    if (b != nullptr) s.writer = b->name + " (" + b->exportName + ")";
    if (d.output.plotKind == PlotKind::Spectrum) {
      const BlockType* type = b != nullptr ? FindBlockType(b->exportName) : nullptr;
      const auto bin = b != nullptr ? b->outputs.find("DReOut") : std::map<std::string, std::string>::const_iterator{};
      if (type == nullptr || type->blockClass != BlockClass::Transform || port == "DReOut" || bin == b->outputs.end())
        throw DesignError(d.file, d.output.line,
                          "plot_kind \"spectrum\" draws the results of buffer blocks: \"" + name +
                              "\" must be written by a buffer block's \"DImOut\" or \"DSOut\" with its \"DReOut\" "
                              "connected");
      s.binVariable = bin->second;
    }
    series.push_back(std::move(s));
  }
  return series;
}

// "3 s", "2 min 5 s": what is left of a run.
std::string Remaining(double seconds) {
  const long s = static_cast<long>(seconds + 0.5);
  if (s < 1) return "under 1 s";
  if (s < 60) return std::to_string(s) + " s";
  if (s < 3600) return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
  return std::to_string(s / 3600) + " h " + std::to_string(s % 3600 / 60) + " min";
}

}  // namespace

int RunDesignFile(const RunRequest& request, std::ostream& out, std::ostream& err) {
  Design design;
  try {
    design = ReadDesign(request.design);
    for (const std::string& o : request.overrides) ApplyOverride(design, o);
    if (request.scheduling == "events") design.scheduling = Design::Scheduling::Events;
    if (request.scheduling == "dataflow") design.scheduling = Design::Scheduling::Dataflow;
    if (!request.png.empty() && design.output.pngBuses.empty())
      throw DesignError(design.file, design.output.line, "the plot needs at least one bus in \"png_buses\"");
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
  const std::string vcd = Join(request.outputDir, request.vcd.empty() ? design.output.vcd : request.vcd);
  const std::string gtkw = vcd.empty() ? std::string() : Join(request.outputDir, design.output.gtkw);
  const std::string csv = Join(request.outputDir, request.csv.empty() ? design.output.csv : request.csv);
  const std::string png = Join(request.outputDir, request.png.empty() ? design.output.png : request.png);

  Engine engine(design, &plugin, [&err](const std::string& line) { err << "rir-eda: " << line << "\n"; });
  std::vector<PlotSeries> panels;
  try {
    if (!png.empty()) panels = PlotPanels(design, engine, design.output.pngBuses);
  } catch (const DesignError& e) {
    err << "rir-eda: " << e.what() << "\n";
    return 2;
  }
  std::error_code ec;
  fs::create_directories(request.outputDir, ec);
  engine.SetWaveFolders(BlockFolder(design.directory), BlockFolder(request.outputDir));
  if (request.verbose) engine.SetTrace([&err](const std::string& line) { err << "trace: " << line << "\n"; });
  if (!engine.Build()) return 2;

  Fanout fan;
  if (request.observer != nullptr) fan.to.push_back(request.observer);
  std::unique_ptr<VcdWriter> vcdWriter;
  std::unique_ptr<CsvWriter> csvWriter;
  std::unique_ptr<Plot> plot;
  if (!vcd.empty()) {
    std::vector<VcdScope> scopes;
    std::map<std::string, int32_t> modes;
    for (const BlockEntry& b : design.blocks) {
      VcdScope scope{b.name, {}};
      for (const auto* ports : {&b.inputs, &b.outputs})
        for (const auto& [port, var] : *ports) scope.ports.emplace_back(port, var);
      scopes.push_back(std::move(scope));
    }
    for (const VariableEntry& v : design.variables) modes[v.name] = engine.SignModeOf(v.name);
    vcdWriter = std::make_unique<VcdWriter>(vcd, design.output.vcdVariables, design.timeUnit.Text(), std::move(scopes),
                                            std::move(modes));
    fan.to.push_back(vcdWriter.get());
  }
  if (!csv.empty()) {
    std::vector<std::string> names = design.output.csvBuses;
    csvWriter = std::make_unique<CsvWriter>(csv, names, SignModes(engine, names), design.output.csvClock);
    fan.to.push_back(csvWriter.get());
  }
  if (!png.empty()) {
    PlotOptions options;
    options.image = png;
    options.series = panels;
    options.kind = design.output.plotKind;
    options.window = design.output.plotWindow;
    options.timeUnit = design.timeUnit.Text();
    options.title = fs::path(design.file).filename().string() +
                    (design.output.plotKind == PlotKind::Spectrum ? ": spectrum" : std::string());
    if (options.window)
      options.title += ", time " + std::to_string((*options.window)[0]) + " .. " + std::to_string((*options.window)[1]);
    plot = std::make_unique<Plot>(std::move(options));
    fan.to.push_back(plot.get());
  }

  if ((vcdWriter && !vcdWriter->Ok()) || (csvWriter && !csvWriter->Ok()) ||
      (plot && !fs::is_directory(fs::path(png).parent_path().empty() ? fs::path(".") : fs::path(png).parent_path()))) {
    err << "rir-eda: cannot write to the output folder " << request.outputDir << "\n";
    return 2;
  }
  // Coarse file clocks: a second's slack still tells this run's files from old ones.
  const auto runStart = fs::file_time_type::clock::now() - std::chrono::seconds(1);
  const bool bar = request.progress && !request.quiet && !request.verbose && isatty(STDERR_FILENO) != 0;
  int shown = -1;
  const auto start = std::chrono::steady_clock::now();
  auto progress = [&](int64_t t) {
    // Only runs that last show a bar.
    const auto now = std::chrono::steady_clock::now();
    if (!bar || design.endTime <= 0 || t <= 0 || now - start < std::chrono::milliseconds(300)) return;
    const int pct = static_cast<int>(static_cast<long double>(t) * 100 / design.endTime);
    if (pct == shown) return;
    shown = pct;
    const double elapsed = std::chrono::duration<double>(now - start).count();
    const double left = elapsed * static_cast<double>(design.endTime - t) / static_cast<double>(t);
    std::fprintf(stderr, "\r[%-40s] %3d%%  %s left   ", std::string(static_cast<size_t>(pct * 40 / 100), '#').c_str(),
                 pct, Remaining(left).c_str());
    std::fflush(stderr);
  };
  const RunStats stats = engine.Run(&fan, progress);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (shown >= 0) std::fprintf(stderr, "\r%-72s\r", "");

  const HostLanguage lang = LanguageFromText(design.language);
  uint64_t errors = stats.errors;
  // The design's own warnings count with the run's.
  const uint64_t warnings = stats.warnings + design.warnings.size();
  auto commit = [&](bool ok, const std::string& path, const char* what) {
    if (ok) {
      if (!request.quiet) out << DescribeWrote(lang, what, path) << "\n";
    } else {
      err << "rir-eda: " << DescribeCannotWrite(lang, path) << "\n";
      ++errors;
    }
  };
  if (vcdWriter) {
    const bool written = vcdWriter->Commit();
    commit(written, vcd, "VCD");
    if (written && !gtkw.empty()) {
      std::vector<GtkwTrace> traces;
      std::vector<std::string> chosen = design.output.pngBuses;
      for (const std::string& n : design.output.csvBuses)
        if (std::find(chosen.begin(), chosen.end(), n) == chosen.end()) chosen.push_back(n);
      const std::vector<std::string>& recorded = design.output.vcdVariables;
      auto inVcd = [&](const std::string& n) {
        return recorded.empty() || std::find(recorded.begin(), recorded.end(), n) != recorded.end();
      };
      for (const VariableEntry& v : design.variables) {
        const bool bus = v.kind == vkBus || v.kind == vkDOTBus;
        if (!inVcd(v.name)) continue;
        if (!bus) traces.push_back({v.name, false});
      }
      for (const VariableEntry& v : design.variables) {
        const bool bus = v.kind == vkBus || v.kind == vkDOTBus;
        const bool wanted = chosen.empty() || std::find(chosen.begin(), chosen.end(), v.name) != chosen.end();
        if (bus && wanted && inVcd(v.name)) traces.push_back({v.name, true});
      }
      // The save file sits beside the VCD in most designs: name it relative then.
      const fs::path absVcd = fs::absolute(vcd).lexically_normal();
      const fs::path rel = absVcd.lexically_relative(fs::absolute(gtkw).lexically_normal().parent_path());
      const bool beside = !rel.empty() && *rel.begin() != "..";
      const std::string dump = beside ? rel.string() : absVcd.string();
      const std::string save =
          beside ? fs::path(gtkw).filename().string() : fs::absolute(gtkw).lexically_normal().string();
      OutputFile file(gtkw);
      file.Write(GtkwSaveText(dump, save, traces, stats.endTime));
      commit(file.Commit(), gtkw, "GTKWave save file");
    }
  }
  if (csvWriter) commit(csvWriter->Commit(), csv, "CSV");
  if (plot) {
    std::string error;
    if (plot->Commit(error)) {
      commit(true, png, "plot");
      commit(true, plot->Svg(), "plot");
      commit(true, plot->Script(), "plot script");
      commit(true, plot->Data(), "plot data");
    } else {
      err << "rir-eda: " << error << "\n";
      ++errors;
    }
  }
  // The recordings the wave blocks made.
  for (const BlockEntry& b : design.blocks) {
    const BlockType* type = FindBlockType(b.exportName);
    if (type == nullptr || type->blockClass != BlockClass::WaveSave) continue;
    const RecordLayout& layout = RecordOf(type->blockClass);
    const RecordField* field = FindField(layout, "FileName");
    if (field == nullptr || b.record.size() != layout.size) continue;
    const FieldValue name = GetField(layout, b.record.data(), *field);
    const auto* text = std::get_if<std::string>(&name);
    if (text == nullptr || text->empty()) continue;
    const std::string path = Join(request.outputDir, *text);
    std::error_code e;
    const auto when = fs::last_write_time(path, e);
    if (!e && when >= runStart && !request.quiet) out << DescribeWrote(lang, "WAVE", path) << "\n";
  }
  if (!request.quiet) {
    out << DescribeSummary(lang, stats.endTime, stats.timePoints, stats.steps, stats.notifications, stats.events,
                           seconds)
        << DescribeProblems(lang, errors, warnings) << "\n";
    if (stats.aborted) out << DescribeRunAborted(lang) << "\n";
  }
  const bool failed = stats.aborted || errors > 0 || (request.strict && warnings > 0);
  if (!failed) return 0;
  out.flush();
  err << "rir-eda: " << DescribeRunFailed(lang, errors, warnings, stats.aborted, request.strict) << "\n";
  return 1;
}
