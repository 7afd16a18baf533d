#include "OutputSinks.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>

#include "host/design/BlockTypes.h"
#include "host/design/RecordChecks.h"
#include "host/engine/Engine.h"
#include "host/outputs/CsvWriter.h"
#include "host/outputs/PlotWriter.h"
#include "host/outputs/VcdWriter.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const Design& d, int line, const std::string& message) {
  throw DesignError(d.file, line, message);
}

// The line of a key, else of the [output] table.
int LineOf(const Design& d, const char* key) {
  const OutputSetting* s = d.output.Find(key);
  return s != nullptr ? s->line : d.output.line;
}

// A key's value, once CheckOutputSettings has passed; empty when not given.
std::string TextOf(const Design& d, const char* key) {
  const OutputSetting* s = d.output.Find(key);
  return s != nullptr ? s->values.front().text : std::string();
}
std::vector<std::string> NamesOf(const Design& d, const char* key) {
  std::vector<std::string> names;
  if (const OutputSetting* s = d.output.Find(key))
    for (const OutputValue& v : s->values) names.push_back(v.text);
  return names;
}
std::optional<std::array<int64_t, 2>> TimeSpanOf(const Design& d, const char* key) {
  const OutputSetting* s = d.output.Find(key);
  if (s == nullptr) return std::nullopt;
  return std::array<int64_t, 2>{s->values[0].integer, s->values[1].integer};
}

bool Contains(const std::vector<std::string>& names, const std::string& n) {
  return std::find(names.begin(), names.end(), n) != names.end();
}

// The GTKWave traces: the VCD's clocks and strobes as lines, then the chosen
// buses (plotted or in the CSV; all when none is chosen) as analog traces.
std::vector<GtkwTrace> GtkwTraces(const Design& design) {
  std::vector<std::string> chosen = NamesOf(design, "png_buses");
  for (const char* key : {"png_spectra", "csv_buses"})
    for (const std::string& n : NamesOf(design, key))
      if (!Contains(chosen, n)) chosen.push_back(n);
  const std::vector<std::string> recorded = NamesOf(design, "vcd_variables");
  auto inVcd = [&](const std::string& n) { return recorded.empty() || Contains(recorded, n); };
  auto isBus = [](const VariableEntry& v) { return v.kind == vkBus || v.kind == vkDOTBus; };
  std::vector<GtkwTrace> traces;
  for (const VariableEntry& v : design.variables)
    if (inVcd(v.name) && !isBus(v)) traces.push_back({v.name, false});
  for (const VariableEntry& v : design.variables)
    if (isBus(v) && (chosen.empty() || Contains(chosen, v.name)) && inVcd(v.name)) traces.push_back({v.name, true});
  return traces;
}

void CheckVcdKeys(const Design& d) {
  if (!TextOf(d, "gtkw").empty() && TextOf(d, "vcd").empty())
    Fail(d, LineOf(d, "gtkw"), "\"gtkw\" needs a \"vcd\" to open");
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
  auto vcd = std::make_unique<VcdWriter>(c.path, NamesOf(d, "vcd_variables"), d.timeUnit.Text(), std::move(scopes),
                                         std::move(modes));
  if (const std::string gtkw = TextOf(d, "gtkw"); !gtkw.empty())
    vcd->AlsoSave(OutputPath(c.outputDir, gtkw), GtkwTraces(d));
  return vcd;
}

void CheckCsvKeys(const Design& d) {
  const std::string clock = TextOf(d, "csv_clock");
  if (clock.empty()) return;
  const VariableEntry* v = d.Variable(clock);
  if (v == nullptr) Fail(d, LineOf(d, "csv_clock"), "unknown variable \"" + clock + "\"");
  if (v->width != 1) Fail(d, LineOf(d, "csv_clock"), "\"csv_clock\" must name a one-bit variable");
}

// The chosen buses; every bus of the design when none is chosen, as the
// GTKWave save file takes them.
std::vector<std::string> CsvBuses(const Design& d) {
  if (d.output.Find("csv_buses") != nullptr) return NamesOf(d, "csv_buses");
  std::vector<std::string> names;
  for (const VariableEntry& v : d.variables)
    if (v.kind == vkBus || v.kind == vkDOTBus) names.push_back(v.name);
  return names;
}

std::unique_ptr<OutputSink> MakeCsv(const SinkContext& c) {
  std::vector<std::string> names = CsvBuses(c.design);
  std::vector<int32_t> modes;
  for (const std::string& n : names) modes.push_back(c.engine.SignModeOf(n));
  return std::make_unique<CsvWriter>(c.path, std::move(names), std::move(modes), TextOf(c.design, "csv_clock"));
}

void CheckPlotKeys(const Design& d) {
  const std::string kind = TextOf(d, "plot_kind");
  if (!kind.empty() && kind != "time" && kind != "spectrum")
    Fail(d, LineOf(d, "plot_kind"), "unknown \"plot_kind\" \"" + kind + "\" (time, spectrum)");
}

PlotKind PlotKindOf(const Design& d) {
  return TextOf(d, "plot_kind") == "spectrum" ? PlotKind::Spectrum : PlotKind::Time;
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

// A panel's bus drawn over model time, or over its bins: a buffer block's
// results, each at the bin its "DReOut" holds.
PlotSeries PlotPanel(const Design& d, const Engine& engine, const std::string& name, PlotKind kind) {
  PlotSeries s;
  s.variable = name;
  s.signMode = engine.SignModeOf(name);
  s.kind = kind;
  std::string port;
  const BlockEntry* b = WriterOf(d, name, &port);
  if (b != nullptr) s.writer = b->name + " (" + b->exportName + ")";
  if (kind != PlotKind::Spectrum) return s;
  const BlockType* type = b != nullptr ? FindBlockType(b->exportName) : nullptr;
  const auto bin = b != nullptr ? b->outputs.find("DReOut") : std::map<std::string, std::string>::const_iterator{};
  if (type == nullptr || type->blockClass != BlockClass::Transform || port == "DReOut" || bin == b->outputs.end())
    Fail(d, d.output.line,
         "a spectrum panel draws the results of buffer blocks: \"" + name +
             "\" must be written by a buffer block's \"DImOut\" or \"DSOut\" with its \"DReOut\" connected");
  s.binVariable = bin->second;
  return s;
}

// What each panel of the plot draws: png_buses over time (over their bins
// with plot_kind "spectrum"), then png_spectra over their bins; throws
// DesignError for a plot without buses and for a spectrum panel whose bus
// is not a buffer block's result.
std::vector<PlotSeries> PlotPanels(const Design& d, const Engine& engine) {
  const std::vector<std::string> buses = NamesOf(d, "png_buses"), spectra = NamesOf(d, "png_spectra");
  if (buses.empty() && spectra.empty())
    Fail(d, LineOf(d, "png"), "the plot needs at least one bus in \"png_buses\" or \"png_spectra\"");
  std::vector<PlotSeries> series;
  for (const std::string& name : buses) series.push_back(PlotPanel(d, engine, name, PlotKindOf(d)));
  for (const std::string& name : spectra) series.push_back(PlotPanel(d, engine, name, PlotKind::Spectrum));
  return series;
}

void CheckPlot(const SinkContext& c) { PlotPanels(c.design, c.engine); }

std::unique_ptr<OutputSink> MakePlot(const SinkContext& c) {
  const Design& d = c.design;
  PlotOptions options;
  options.image = c.path;
  options.series = PlotPanels(d, c.engine);
  options.window = TimeSpanOf(d, "plot_window");
  options.timeUnit = d.timeUnit.Text();
  options.title = fs::path(d.file).filename().string() + (PlotKindOf(d) == PlotKind::Spectrum ? ": spectrum" : "");
  if (options.window)
    options.title += ", time " + std::to_string((*options.window)[0]) + " .. " + std::to_string((*options.window)[1]);
  return std::make_unique<PlotWriter>(std::move(options));
}

// Whether a key's value has the form the key takes.
void CheckForm(const Design& d, const OutputSetting& s, OutputKeyForm form, bool anyPath) {
  const std::string quoted = "\"" + s.key + "\"";
  switch (form) {
    case OutputKeyForm::Text:
    case OutputKeyForm::FileName:
      if (s.list || s.values.front().kind != OutputValue::Kind::Text) Fail(d, s.line, quoted + " must be a text");
      if (form == OutputKeyForm::FileName && !anyPath && NamesAFolder(s.values.front().text))
        Fail(d, s.line,
             quoted + " = \"" + s.values.front().text +
                 "\" names a folder: outputs are written in the output folder (-o); give a bare file name, or run "
                 "with --allow-paths to write where it says");
      return;
    case OutputKeyForm::Variables:
      if (!s.list) Fail(d, s.line, quoted + " must be a list of variable names");
      for (const OutputValue& v : s.values) {
        if (v.kind != OutputValue::Kind::Text) Fail(d, v.line, quoted + " must be a list of variable names");
        if (d.Variable(v.text) == nullptr) Fail(d, v.line, "unknown variable \"" + v.text + "\"");
      }
      return;
    case OutputKeyForm::TimeSpan:
      if (!s.list || s.values.size() != 2 || s.values[0].kind != OutputValue::Kind::Integer ||
          s.values[1].kind != OutputValue::Kind::Integer)
        Fail(d, s.line, quoted + " must be [t0, t1], two times in the design's time unit");
      if (s.values[0].integer < 0 || s.values[1].integer <= s.values[0].integer)
        Fail(d, s.line, quoted + " needs 0 <= t0 < t1");
      return;
  }
}

// The form a key takes; false for a key no output reads.
bool FormOf(const std::string& key, OutputKeyForm& form) {
  for (const OutputKind& kind : OutputKinds()) {
    if (key == kind.designKey) {
      form = OutputKeyForm::FileName;
      return true;
    }
    for (const OutputKey& k : kind.keys)
      if (key == k.name) {
        form = k.form;
        return true;
      }
  }
  return false;
}

}  // namespace

void CheckOutputSettings(const Design& d, bool anyPath) {
  std::vector<OutputKeyForm> forms;
  for (const OutputSetting& s : d.output.settings) {
    OutputKeyForm form;
    if (!FormOf(s.key, form)) Fail(d, s.line, "unknown key \"" + s.key + "\"");
    forms.push_back(form);
  }
  for (size_t i = 0; i < forms.size(); ++i) CheckForm(d, d.output.settings[i], forms[i], anyPath);
  for (const OutputKind& kind : OutputKinds())
    if (kind.checkKeys != nullptr) kind.checkKeys(d);
}

std::vector<std::pair<const OutputKind*, std::string>> ChosenOutputs(const Design& design,
                                                                     const std::map<std::string, std::string>& files,
                                                                     const std::string& outputDir) {
  std::vector<std::pair<const OutputKind*, std::string>> chosen;
  for (const OutputKind& kind : OutputKinds()) {
    const auto given = files.find(kind.designKey);
    const std::string name =
        given != files.end() && !given->second.empty() ? given->second : TextOf(design, kind.designKey);
    if (const std::string path = OutputPath(outputDir, name); !path.empty()) chosen.emplace_back(&kind, path);
  }
  return chosen;
}

std::string OutputPath(const std::string& dir, const std::string& name) {
  if (name.empty()) return {};
  const fs::path p(name);
  return p.is_absolute() ? name : (fs::path(dir) / p).lexically_normal().string();
}

const std::vector<OutputKind>& OutputKinds() {
  using F = OutputKeyForm;
  static const std::vector<OutputKind> kinds = {
      {"vcd",
       "write a VCD file (overrides the design)",
       {{"vcd_variables", F::Variables}, {"gtkw", F::FileName}},
       CheckVcdKeys,
       nullptr,
       MakeVcd},
      {"csv",
       "write a CSV file of the design's chosen buses (default: every bus)",
       {{"csv_buses", F::Variables}, {"csv_clock", F::Text}},
       CheckCsvKeys,
       nullptr,
       MakeCsv},
      {"png",
       "write a PNG plot of the design's chosen buses",
       {{"png_buses", F::Variables},
        {"png_spectra", F::Variables},
        {"plot_window", F::TimeSpan},
        {"plot_kind", F::Text}},
       CheckPlotKeys,
       CheckPlot,
       MakePlot},
  };
  return kinds;
}
