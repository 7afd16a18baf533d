#include "OutputSinks.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "host/design/BlockTypes.h"
#include "host/design/DesignReader.h"
#include "host/engine/Engine.h"
#include "host/outputs/CsvWriter.h"
#include "host/outputs/PlotWriter.h"
#include "host/outputs/VcdWriter.h"

namespace fs = std::filesystem;

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& n) {
  return std::find(names.begin(), names.end(), n) != names.end();
}

// The GTKWave traces: the VCD's clocks and strobes as lines, then the chosen
// buses (plotted or in the CSV; all when none is chosen) as analog traces.
std::vector<GtkwTrace> GtkwTraces(const Design& design) {
  std::vector<std::string> chosen = design.output.pngBuses;
  for (const std::string& n : design.output.csvBuses)
    if (!Contains(chosen, n)) chosen.push_back(n);
  const std::vector<std::string>& recorded = design.output.vcdVariables;
  auto inVcd = [&](const std::string& n) { return recorded.empty() || Contains(recorded, n); };
  auto isBus = [](const VariableEntry& v) { return v.kind == vkBus || v.kind == vkDOTBus; };
  std::vector<GtkwTrace> traces;
  for (const VariableEntry& v : design.variables)
    if (inVcd(v.name) && !isBus(v)) traces.push_back({v.name, false});
  for (const VariableEntry& v : design.variables)
    if (isBus(v) && (chosen.empty() || Contains(chosen, v.name)) && inVcd(v.name)) traces.push_back({v.name, true});
  return traces;
}

std::unique_ptr<OutputSink> MakeVcd(const SinkContext& c) {
  const Design& d = c.design;
  std::vector<VcdScope> scopes;
  for (const BlockEntry& b : d.blocks) {
    VcdScope scope{b.name, {}};
    for (const auto* ports : {&b.inputs, &b.outputs})
      for (const auto& [port, var] : *ports) scope.ports.emplace_back(port, var);
    scopes.push_back(std::move(scope));
  }
  std::map<std::string, int32_t> modes;
  for (const VariableEntry& v : d.variables) modes[v.name] = c.engine.SignModeOf(v.name);
  auto vcd = std::make_unique<VcdWriter>(c.path, d.output.vcdVariables, d.timeUnit.Text(), std::move(scopes),
                                         std::move(modes));
  if (!d.output.gtkw.empty()) vcd->AlsoSave(OutputPath(c.outputDir, d.output.gtkw), GtkwTraces(d));
  return vcd;
}

std::unique_ptr<OutputSink> MakeCsv(const SinkContext& c) {
  const std::vector<std::string>& names = c.design.output.csvBuses;
  std::vector<int32_t> modes;
  for (const std::string& n : names) modes.push_back(c.engine.SignModeOf(n));
  return std::make_unique<CsvWriter>(c.path, names, std::move(modes), c.design.output.csvClock);
}

// The block and port that write a variable, if a block does.
const BlockEntry* WriterOf(const Design& d, const std::string& variable, std::string* port) {
  for (const BlockEntry& b : d.blocks)
    for (const auto& [p, var] : b.outputs)
      if (var == variable) {
        *port = p;
        return &b;
      }
  return nullptr;
}

// What each panel of the plot draws; throws DesignError when a spectrum
// panel's bus is not a buffer block's result.
std::vector<PlotSeries> PlotPanels(const Design& d, const Engine& engine) {
  if (d.output.pngBuses.empty())
    throw DesignError(d.file, d.output.line, "the plot needs at least one bus in \"png_buses\"");
  std::vector<PlotSeries> series;
  for (const std::string& name : d.output.pngBuses) {
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

void CheckPlot(const SinkContext& c) { PlotPanels(c.design, c.engine); }

std::unique_ptr<OutputSink> MakePlot(const SinkContext& c) {
  const Design& d = c.design;
  PlotOptions options;
  options.image = c.path;
  options.series = PlotPanels(d, c.engine);
  options.kind = d.output.plotKind;
  options.window = d.output.plotWindow;
  options.timeUnit = d.timeUnit.Text();
  options.title = fs::path(d.file).filename().string() + (options.kind == PlotKind::Spectrum ? ": spectrum" : "");
  if (options.window)
    options.title += ", time " + std::to_string((*options.window)[0]) + " .. " + std::to_string((*options.window)[1]);
  return std::make_unique<PlotWriter>(std::move(options));
}

}  // namespace

std::string OutputPath(const std::string& dir, const std::string& name) {
  if (name.empty()) return {};
  const fs::path p(name);
  return p.is_absolute() ? name : (fs::path(dir) / p).lexically_normal().string();
}

const std::vector<OutputKind>& OutputKinds() {
  static const std::vector<OutputKind> kinds = {
      {"vcd", &OutputEntry::vcd, "--vcd", &RunRequest::vcd, "write a VCD file (overrides the design)", nullptr,
       MakeVcd},
      {"csv", &OutputEntry::csv, "--csv", &RunRequest::csv, "write a CSV file of the design's chosen buses", nullptr,
       MakeCsv},
      {"png", &OutputEntry::png, "--png", &RunRequest::png, "write a PNG plot of the design's chosen buses", CheckPlot,
       MakePlot},
  };
  return kinds;
}
