#include "DesignReader.h"

#include <toml++/toml.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "BlockTypes.h"
#include "Messages.h"
#include "Overrides.h"
#include "PortRules.h"
#include "RecordChecks.h"
#include "RecordFields.h"
#include "WaveFileCheck.h"
#include "framework/BlockCatalogue.h"
#include "framework/interface/IntTypes.h"
#include "numeric/ValueText.h"

namespace {

constexpr int32_t kMaxWidth = 255;

PortWords WordsOf(const BlockType& type, const PortInfo& p) {
  return {p.name, p.direction == PortDirection::In, TypeRequiresPort(type, p.name)};
}

// "inputs DSrc (required), DDes; outputs DOut (required)"
std::string PortList(HostLanguage lang, const BlockType& type) {
  std::vector<PortWords> words;
  for (const PortInfo& p : PortsOf(type.blockClass)) words.push_back(WordsOf(type, p));
  return DescribePortList(lang, words);
}

class Reader {
 public:
  Reader(std::string file, OverrideOrigins origins, DesignUse use)
      : file_(std::move(file)), origins_(std::move(origins)), use_(use) {}

  Design Read(const toml::table& root) {
    Design d;
    d.file = file_;
    const std::filesystem::path dir = std::filesystem::path(file_).parent_path();
    d.directory = dir.empty() ? "./" : dir.string() + "/";
    Keys(root, {"simulation", "variable", "stimulus", "block", "output"});
    ReadSimulation(root, d);
    lang_ = LanguageFromText(d.language);
    for (const toml::table& t : Tables(root, "variable")) d.variables.push_back(ReadVariable(t, d));
    // The VCD names a bus's decoded value NAME_value beside it.
    for (const VariableEntry& v : d.variables)
      if (v.kind == vkBus || v.kind == vkDOTBus)
        if (const VariableEntry* other = d.Variable(v.name + "_value"))
          Fail(other->line, "variable \"" + other->name + "\" has the name the VCD gives the decoded value of bus \"" +
                                v.name + "\"; rename one of them");
    for (const toml::table& t : Tables(root, "stimulus")) d.stimuli.push_back(ReadStimulus(t, d));
    for (const toml::table& t : Tables(root, "block")) d.blocks.push_back(ReadBlock(t, d));
    CheckDrivers(d);
    CheckRequiredPorts(d);
    ReadOutput(root, d);
    d.warnings = std::move(warnings_);
    return d;
  }

 private:
  // A value an override placed is blamed on the override.
  [[noreturn]] void Fail(const toml::node* at, const std::string& message) const {
    if (const auto o = origins_.find(at); at != nullptr && o != origins_.end())
      throw DesignError("--set " + o->second, 0, message);
    throw DesignError(file_, at != nullptr ? static_cast<int>(at->source().begin.line) : 0, message);
  }
  [[noreturn]] void Fail(int line, const std::string& message) const { throw DesignError(file_, line, message); }
  static int Line(const toml::node& n) { return static_cast<int>(n.source().begin.line); }
  void Warn(const toml::node* at, int line, const std::string& message) const {
    if (const auto o = origins_.find(at); at != nullptr && o != origins_.end())
      warnings_.push_back(DesignError("--set " + o->second, 0, "warning: " + message).what());
    else
      warnings_.push_back(DesignError(file_, at != nullptr ? Line(*at) : line, "warning: " + message).what());
  }

  // Every key of `t` must be one of `allowed`: a misspelt key is an error.
  void Keys(const toml::table& t, std::initializer_list<std::string_view> allowed) const {
    for (auto&& [key, value] : t) {
      bool known = false;
      for (std::string_view a : allowed) known = known || key.str() == a;
      if (!known) Fail(&value, "unknown key \"" + std::string(key.str()) + "\"");
    }
  }

  std::vector<std::reference_wrapper<const toml::table>> Tables(const toml::table& root, const char* key) const {
    std::vector<std::reference_wrapper<const toml::table>> out;
    const toml::node* n = root.get(key);
    if (n == nullptr) return out;
    const toml::array* a = n->as_array();
    if (a == nullptr) Fail(n, std::string("\"") + key + "\" must be written as [[" + key + "]] tables");
    for (const toml::node& e : *a) {
      if (!e.is_table()) Fail(&e, std::string("\"") + key + "\" entries must be tables");
      out.push_back(*e.as_table());
    }
    return out;
  }

  std::string String(const toml::table& t, const char* key, int line, bool required) const {
    const toml::node* n = t.get(key);
    if (n == nullptr) {
      if (required) Fail(line, std::string("missing \"") + key + "\"");
      return {};
    }
    if (!n->is_string()) Fail(n, std::string("\"") + key + "\" must be a text");
    return n->as_string()->get();
  }

  std::optional<int64_t> Integer(const toml::table& t, const char* key, int64_t min, int64_t max) const {
    const toml::node* n = t.get(key);
    if (n == nullptr) return std::nullopt;
    if (!n->is_integer()) Fail(n, std::string("\"") + key + "\" must be an integer");
    const int64_t v = n->as_integer()->get();
    if (v < min || v > max)
      Fail(n, std::string("\"") + key + "\" = " + std::to_string(v) + " is out of range " + std::to_string(min) + ".." +
                  std::to_string(max));
    return v;
  }

  // A value text for a variable: an integer (encoded in `signMode`) or a
  // text of exactly `width` binary digits.
  std::string ValueText(const toml::node& n, const VariableEntry& v, int32_t signMode) const {
    if (n.is_integer()) {
      const int64_t x = n.as_integer()->get();
      if (x < INT32_MIN || x > INT32_MAX) Fail(&n, "value " + std::to_string(x) + " does not fit 32 bits");
      if (v.width < 32) {
        const int64_t limit = int64_t{1} << (signMode == 0 && v.width > 1 ? v.width - 1 : v.width);
        if ((signMode == 0 ? (x <= -limit || x >= limit) : (x < 0 || x >= limit)))
          Fail(&n, "value " + std::to_string(x) + " does not fit variable \"" + v.name + "\" of width " +
                       std::to_string(v.width));
      }
      return EncodeValueText(signMode, static_cast<int32_t>(x), v.width);
    }
    if (n.is_string()) {
      const std::string s = n.as_string()->get();
      if (static_cast<int32_t>(s.size()) != v.width || s.find_first_not_of("01") != std::string::npos)
        Fail(&n, "\"" + s + "\" is not a value of " + std::to_string(v.width) + " binary digits for variable \"" +
                     v.name + "\"");
      return s;
    }
    Fail(&n, "a value must be an integer or a text of binary digits");
  }

  void ReadSimulation(const toml::table& root, Design& d) const {
    const toml::node* n = root.get("simulation");
    if (n == nullptr) Fail(1, "missing [simulation] table");
    const toml::table* t = n->as_table();
    if (t == nullptr) Fail(n, "\"simulation\" must be a table");
    Keys(*t, {"sample_period", "steps", "end_time", "language", "library_directory", "max_passes", "scheduling",
              "time_unit"});
    d.samplePeriod = Integer(*t, "sample_period", 1, INT64_MAX / 4).value_or(1);
    const auto steps = Integer(*t, "steps", 0, INT64_MAX / 4);
    const auto end = Integer(*t, "end_time", 0, INT64_MAX / 4);
    if (steps && end) Fail(t->get("end_time"), "give either \"steps\" or \"end_time\", not both");
    if (!steps && !end) Fail(Line(*t), "missing \"steps\" or \"end_time\"");
    if (steps) {
      if (*steps > INT64_MAX / 4 / d.samplePeriod) Fail(t->get("steps"), "too many steps");
      d.endTime = *steps * d.samplePeriod;
    } else {
      d.endTime = *end;
    }
    d.language = String(*t, "language", Line(*t), false);
    d.libraryDirectory = String(*t, "library_directory", Line(*t), false);
    if (!d.libraryDirectory.empty() && d.libraryDirectory.back() != '/') d.libraryDirectory += '/';
    d.maxPasses = static_cast<int>(Integer(*t, "max_passes", 1, 1000000).value_or(1000));
    const std::string scheduling = String(*t, "scheduling", Line(*t), false);
    if (scheduling == "events")
      d.scheduling = Design::Scheduling::Events;
    else if (!scheduling.empty() && scheduling != "dataflow")
      Fail(t->get("scheduling"), "unknown scheduling \"" + scheduling + "\" (dataflow, events)");
    if (t->get("time_unit") != nullptr) d.timeUnit = ParseTimeUnit(t->get("time_unit"));
  }

  // "1 ns", "10us", "100 ps": what a VCD $timescale can say.
  TimeUnit ParseTimeUnit(const toml::node* n) const {
    const std::string kWhat = "\"time_unit\" must be 1, 10 or 100 followed by s, ms, us, ns, ps or fs, like \"1 ns\"";
    if (!n->is_string()) Fail(n, kWhat);
    const std::string text = n->as_string()->get();
    size_t i = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    const std::string number = text.substr(0, i);
    while (i < text.size() && text[i] == ' ') ++i;
    TimeUnit u;
    u.unit = text.substr(i);
    if (number != "1" && number != "10" && number != "100") Fail(n, kWhat);
    u.count = std::stoi(number);
    for (const char* unit : {"s", "ms", "us", "ns", "ps", "fs"})
      if (u.unit == unit) return u;
    Fail(n, kWhat);
  }

  VariableEntry ReadVariable(const toml::table& t, const Design& d) const {
    Keys(t, {"name", "kind", "width", "initial"});
    VariableEntry v;
    v.line = Line(t);
    v.name = String(t, "name", v.line, true);
    if (v.name.empty()) Fail(v.line, "a variable needs a name");
    if (d.Variable(v.name) != nullptr) Fail(v.line, "duplicate variable \"" + v.name + "\"");
    const std::string kind = String(t, "kind", v.line, false);
    static const char* kKinds[] = {"Line", "DOT", "Clk", "DOTClk", "Bus", "DOTBus"};
    v.kind = 0xFFFF;
    for (uint16_t k = 0; k < 6; ++k)
      if (kind == kKinds[k]) v.kind = k;
    if (kind.empty()) v.kind = vkBus;
    if (v.kind == 0xFFFF)
      Fail(t.get("kind"), "unknown variable kind \"" + kind + "\" (Line, DOT, Clk, DOTClk, Bus, DOTBus)");
    const bool bus = v.kind == vkBus || v.kind == vkDOTBus;
    v.width = static_cast<int32_t>(Integer(t, "width", 1, kMaxWidth).value_or(1));
    if (!bus && v.width != 1) Fail(t.get("width"), "a " + kind + " variable is one bit wide");
    v.initial = std::string(static_cast<size_t>(v.width), '0');
    if (const toml::node* n = t.get("initial")) v.initial = ValueText(*n, v, 0);
    return v;
  }

  StimulusEntry ReadStimulus(const toml::table& t, const Design& d) const {
    StimulusEntry s;
    s.line = Line(t);
    const std::string type = String(t, "type", s.line, true);
    s.variable = String(t, "variable", s.line, true);
    const VariableEntry* v = d.Variable(s.variable);
    if (v == nullptr) Fail(t.get("variable"), "unknown variable \"" + s.variable + "\"");
    const int32_t signMode = static_cast<int32_t>(Integer(t, "sign_value", INT32_MIN, INT32_MAX).value_or(0));
    if (type == "clock") {
      Keys(t, {"type", "variable", "period", "phase", "duty"});
      s.type = StimulusType::Clock;
      if (v->width != 1) Fail(t.get("variable"), "a clock drives a one-bit variable, \"" + s.variable + "\" is wider");
      s.period = Integer(t, "period", 2, INT64_MAX / 4).value_or(d.samplePeriod * 2);
      s.phase = Integer(t, "phase", 0, INT64_MAX / 4).value_or(0);
      double duty = 0.5;
      if (const toml::node* n = t.get("duty")) {
        if (!n->is_number()) Fail(n, "\"duty\" must be a number");
        duty = n->value<double>().value_or(0.5);
        if (!(duty > 0 && duty < 1)) Fail(n, "\"duty\" must lie strictly between 0 and 1");
      }
      s.high = static_cast<int64_t>(static_cast<double>(s.period) * duty + 0.5);
      if (s.high < 1 || s.high >= s.period)
        Fail(t.get("duty"), "the clock's high time must be at least 1 and below the period");
    } else if (type == "constant") {
      Keys(t, {"type", "variable", "value", "sign_value"});
      s.type = StimulusType::Constant;
      const toml::node* n = t.get("value");
      if (n == nullptr) Fail(s.line, "missing \"value\"");
      s.values.push_back(ValueText(*n, *v, signMode));
    } else if (type == "pattern") {
      Keys(t, {"type", "variable", "bits", "values", "period", "phase", "sign_value"});
      s.type = StimulusType::Pattern;
      s.period = Integer(t, "period", 1, INT64_MAX / 4).value_or(d.samplePeriod);
      s.phase = Integer(t, "phase", 0, INT64_MAX / 4).value_or(0);
      if (const toml::node* n = t.get("bits")) {
        if (v->width != 1) Fail(n, "\"bits\" drives a one-bit variable; use \"values\" for \"" + s.variable + "\"");
        if (!n->is_string()) Fail(n, "\"bits\" must be a text of binary digits");
        for (char c : n->as_string()->get()) {
          if (c != '0' && c != '1') Fail(n, "\"bits\" must be a text of binary digits");
          s.values.emplace_back(1, c);
        }
      } else if (const toml::node* n = t.get("values")) {
        const toml::array* a = n->as_array();
        if (a == nullptr) Fail(n, "\"values\" must be a list");
        for (const toml::node& e : *a) s.values.push_back(ValueText(e, *v, signMode));
      }
      if (s.values.empty()) Fail(s.line, "a pattern needs \"bits\" or a non-empty \"values\" list");
    } else {
      Fail(t.get("type"), "unknown stimulus type \"" + type + "\" (clock, constant, pattern)");
    }
    for (const StimulusEntry& other : d.stimuli)
      if (other.variable == s.variable)
        Fail(s.line,
             "variable \"" + s.variable + "\" is already driven by the stimulus on line " + std::to_string(other.line));
    return s;
  }

  void ReadPorts(const toml::table& t, const char* key, const BlockType& type, const Design& d,
                 std::map<std::string, std::string>& out, const BlockEntry& b) const {
    const toml::node* n = t.get(key);
    if (n == nullptr) return;
    const toml::table* ports = n->as_table();
    if (ports == nullptr) Fail(n, std::string("\"") + key + "\" must be a table of port = \"variable\"");
    const std::string who = DescribeBlockWords(lang_, b.name, type.exportName);
    for (auto&& [port, value] : *ports) {
      const std::string p(port.str());
      const PortInfo* info = FindPort(type.blockClass, p);
      const PortDirection dir = std::string_view(key) == "inputs" ? PortDirection::In : PortDirection::Out;
      if (info == nullptr) {
        const PortInfo* nearest = nullptr;
        size_t best = 3;  // at most two edits away
        for (const PortInfo& q : PortsOf(type.blockClass))
          if (const size_t dist = TypoDistance(p, q.name); dist < best) {
            best = dist;
            nearest = &q;
          }
        const PortWords near = nearest != nullptr ? WordsOf(type, *nearest) : PortWords{};
        Fail(&value, DescribeNoSuchPort(lang_, who, p, nearest != nullptr ? &near : nullptr, PortList(lang_, type)));
      }
      if (info->direction != dir)
        Fail(&value, DescribeWrongDirection(lang_, who, WordsOf(type, *info), PortList(lang_, type)));
      if (b.inputs.count(p) != 0 || b.outputs.count(p) != 0 || out.count(p) != 0)
        Fail(&value, DescribeConnectedTwice(lang_, who, p));
      if (!value.is_string()) Fail(&value, "port \"" + p + "\" must name a variable");
      const std::string var = value.as_string()->get();
      const VariableEntry* v = d.Variable(var);
      if (v == nullptr) Fail(&value, DescribeUnknownVariableOnPort(lang_, var, p));
      // The block would refuse it at run time, without a line.
      if (!CheckedKinds(type.blockClass, p).Has(v->kind))
        Fail(&value, DescribeWrongKind(lang_, who, p, KindsText(info->kinds), var, KindName(v->kind)));
      out[p] = var;
    }
  }

  BlockEntry ReadBlock(const toml::table& t, const Design& d) const {
    Keys(t, {"name", "type", "inputs", "outputs", "sign_value", "record_file", "parameters", "dialog_position"});
    BlockEntry b;
    b.line = Line(t);
    b.name = String(t, "name", b.line, true);
    if (b.name.empty()) Fail(b.line, "a block needs a name");
    for (const BlockEntry& other : d.blocks)
      if (other.name == b.name) Fail(b.line, "duplicate block name \"" + b.name + "\"");
    b.exportName = String(t, "type", b.line, true);
    const BlockType* type = FindBlockType(b.exportName);
    if (type == nullptr) {
      const BlockType* nearest = NearestBlockType(b.exportName);
      Fail(t.get("type"), "unknown block type \"" + b.exportName + "\"" +
                              (nearest != nullptr ? "; did you mean \"" + nearest->exportName + "\"?" : std::string()) +
                              " (see \"rir-eda blocks\")");
    }
    ReadPorts(t, "inputs", *type, d, b.inputs, b);
    ReadPorts(t, "outputs", *type, d, b.outputs, b);
    b.signValue = static_cast<int32_t>(Integer(t, "sign_value", INT32_MIN, INT32_MAX).value_or(0));
    if (const toml::node* n = t.get("dialog_position")) {
      const toml::array* a = n->as_array();
      if (a == nullptr || a->size() != 2 || !(*a)[0].is_integer() || !(*a)[1].is_integer())
        Fail(n, "\"dialog_position\" must be [left, top]");
      std::array<int32_t, 2> pos{};
      for (size_t i = 0; i < 2; ++i) {
        const int64_t v = (*a)[i].as_integer()->get();
        if (v < INT32_MIN || v > INT32_MAX) Fail(n, "\"dialog_position\" is out of range");
        pos[i] = static_cast<int32_t>(v);
      }
      b.dialogPosition = pos;
    }

    const RecordLayout& layout = RecordOf(type->blockClass);
    b.record = DefaultRecord(layout);
    if (const toml::node* n = t.get("record_file")) {
      if (!n->is_string()) Fail(n, "\"record_file\" must be a file name");
      std::filesystem::path p = n->as_string()->get();
      if (p.is_relative()) p = std::filesystem::path(d.directory) / p;
      // A device or a FIFO would never end (or never start) reading.
      std::error_code ec;
      const std::filesystem::file_status st = std::filesystem::status(p, ec);
      if (std::filesystem::exists(st) && !std::filesystem::is_regular_file(st))
        Fail(n, "record file " + p.string() + " is not a regular file");
      std::ifstream in(p, std::ios::binary);
      if (!in) Fail(n, "cannot read record file " + p.string());
      std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (bytes.size() != layout.size)
        Fail(n, "record file " + p.string() + " holds " + std::to_string(bytes.size()) + " bytes, a " + layout.name +
                    " record has " + std::to_string(layout.size));
      b.record = std::move(bytes);
      b.recordFile = p.string();
    }
    if (const toml::node* n = t.get("parameters")) {
      const toml::table* fields = n->as_table();
      if (fields == nullptr) Fail(n, "\"parameters\" must be a table of field = value");
      for (auto&& [key, value] : *fields) {
        const std::string name(key.str());
        SetRecordField(layout, b, name, value);
        if (!TypeReadsField(*type, name))
          Warn(&value, 0,
               "block \"" + b.name + "\" (" + type->exportName + ") sets field \"" + name +
                   "\", which this block type never reads (see \"rir-eda blocks " + type->exportName + "\")");
      }
    }
    const toml::table* given = t.get("parameters") != nullptr ? t.get("parameters")->as_table() : nullptr;
    if (b.recordFile.empty())
      for (const char* field : type->row->fields)
        if (given == nullptr || given->get(field) == nullptr) b.defaulted.emplace_back(field);
    CheckRecord(t, *type, b, d);
    return b;
  }

  // Settings a block would take without a word but cannot use.
  void CheckRecord(const toml::table& t, const BlockType& type, const BlockEntry& b, const Design& d) const {
    const toml::table* given = t.get("parameters") != nullptr ? t.get("parameters")->as_table() : nullptr;
    // Where a field's value was written: its own line, else the record file, else the block.
    auto fail = [&](const char* field, const std::string& problem) {
      if (given != nullptr && field != nullptr && given->get(field) != nullptr) Fail(given->get(field), problem);
      if (t.get("record_file") != nullptr) Fail(t.get("record_file"), problem);
      Fail(b.line, problem);
    };
    auto warn = [&](const char* field, const std::string& problem) {
      if (given != nullptr && field != nullptr && given->get(field) != nullptr)
        Warn(given->get(field), 0, problem);
      else
        Warn(t.get("record_file"), b.line, problem);
    };
    const char* field = nullptr;
    if (std::string problem = RecordProblem(b, type, field); !problem.empty()) fail(field, problem);
    // A generator clocked by a clock stimulus samples at that clock's period.
    int64_t period = d.samplePeriod;
    if (const auto clk = b.inputs.find("Clk"); clk != b.inputs.end())
      for (const StimulusEntry& st : d.stimuli)
        if (st.variable == clk->second && st.type == StimulusType::Clock) period = st.period;
    if (std::string problem = AliasingProblem(b, type, period, field); !problem.empty()) warn(field, problem);
    // What only a run needs: a design being edited may still be on its way there.
    if (use_ != DesignUse::Edit) {
      if (std::string problem = BufferLengthProblem(b, type, field); !problem.empty()) fail(field, problem);
    }
    if (use_ == DesignUse::Run)
      if (std::string problem = RecordingNameProblem(b, type, field); !problem.empty()) fail(field, problem);
    if (use_ != DesignUse::Edit && type.blockClass == BlockClass::WaveLoad && b.inputs.count("Test") == 0) {
      // The player looks for a relative name in the design's folder.
      constexpr const RecordField& kFileName = RecordFieldNamed(RecordKind::Wave, "FileName");
      const FieldValue name = GetField(RecordOf(type.blockClass), b.record.data(), kFileName);
      std::string path = std::get<std::string>(name);
      if (!(!path.empty() && path[0] == '/') && path.find(':') == std::string::npos) path = d.directory + path;
      const WaveFileVerdict verdict = CheckWaveFile(lang_, path);
      const std::string words = DescribeBlockWords(lang_, b.name, type.exportName) + ": ";
      if (!verdict.problem.empty()) fail(kFileName.name, words + verdict.problem);
      if (!verdict.warning.empty()) warn(kFileName.name, words + verdict.warning);
    }
    // A list written beside its count must agree with it.
    if (given == nullptr) return;
    const RecordLayout& layout = RecordOf(type.blockClass);
    for (const RecordField& list : layout.fields) {
      const toml::node* n = list.IsCounted() ? given->get(list.name) : nullptr;
      if (n == nullptr || n->as_array() == nullptr) continue;
      const RecordField& count = CountOf(list);
      const FieldValue v = GetField(layout, b.record.data(), count);
      const std::string problem =
          ListCountProblem(list, n->as_array()->size(), std::get_if<int64_t>(&v) != nullptr ? std::get<int64_t>(v) : 0);
      if (problem.empty()) continue;
      // A count set on the command line is what disagrees with the file's list.
      const toml::node* countNode = given->get(count.name);
      const bool countOverridden = countNode != nullptr && origins_.count(countNode) != 0 && origins_.count(n) == 0;
      Fail(countOverridden ? countNode : n, BlockWords(b, type) + ": " + problem);
    }
  }

  void SetRecordField(const RecordLayout& layout, BlockEntry& b, const std::string& name,
                      const toml::node& value) const {
    const RecordField* field = FindField(layout, name);
    if (field == nullptr || field->libraryState) {
      std::string known;
      for (const RecordField& f : layout.fields)
        if (!f.libraryState) known += std::string(known.empty() ? "" : ", ") + f.name;
      Fail(&value, "the " + std::string(layout.name) + " record has no field \"" + name + "\" (fields: " + known + ")");
    }
    FieldValue v;
    std::string why;
    if (!FieldValueFromToml(value, v, why)) Fail(&value, "field \"" + name + "\" " + why);
    std::string error;
    if (!SetField(layout, b.record.data(), *field, v, error)) Fail(&value, "field \"" + name + "\": " + error);
  }

  void CheckRequiredPorts(const Design& d) const {
    for (const BlockEntry& b : d.blocks) {
      const BlockType* type = FindBlockType(b.exportName);
      for (const PortSpec& p : PortsOfType(*type))
        if (p.required && b.inputs.count(p.name) == 0 && b.outputs.count(p.name) == 0)
          Fail(b.line, DescribeUnconnected(lang_, DescribeBlockWords(lang_, b.name, b.exportName), WordsOf(*type, p),
                                           PortList(lang_, *type)));
    }
  }

  // One driver per variable: a block output or a stimulus.
  void CheckDrivers(const Design& d) const {
    std::map<std::string, std::string> driver;
    for (const StimulusEntry& s : d.stimuli) driver[s.variable] = DescribeStimulusDriver(lang_, s.line);
    for (const BlockEntry& b : d.blocks)
      for (const auto& [port, var] : b.outputs) {
        const auto it = driver.find(var);
        if (it != driver.end()) Fail(b.line, DescribeDrivenTwice(lang_, var, port, b.name, it->second));
        driver[var] = DescribeBlockDriver(lang_, b.name);
      }
  }

  // The [output] table as written; its outputs check what their keys hold.
  void ReadOutput(const toml::table& root, Design& d) const {
    const toml::node* n = root.get("output");
    if (n == nullptr) return;
    const toml::table* t = n->as_table();
    if (t == nullptr) Fail(n, "\"output\" must be a table");
    d.output.line = Line(*t);
    auto value = [](const toml::node& v) {
      OutputValue out;
      out.line = Line(v);
      if (v.is_string()) {
        out.kind = OutputValue::Kind::Text;
        out.text = v.as_string()->get();
      } else if (v.is_integer()) {
        out.kind = OutputValue::Kind::Integer;
        out.integer = v.as_integer()->get();
      }
      return out;
    };
    for (auto&& [key, v] : *t) {
      OutputSetting s;
      s.key = std::string(key.str());
      s.line = Line(v);
      if (const toml::array* a = v.as_array()) {
        s.list = true;
        for (const toml::node& e : *a) s.values.push_back(value(e));
      } else {
        s.values.push_back(value(v));
      }
      d.output.settings.push_back(std::move(s));
    }
  }

  std::string file_;
  OverrideOrigins origins_;
  DesignUse use_;
  HostLanguage lang_ = HostLanguage::English;
  mutable std::vector<std::string> warnings_;
};

}  // namespace

Design ParseDesign(const std::string& text, const std::string& path, const std::vector<std::string>& overrides,
                   DesignUse use) {
  toml::table root;
  try {
    root = toml::parse(text, path);
  } catch (const toml::parse_error& e) {
    throw DesignError(path, static_cast<int>(e.source().begin.line), std::string(e.description()));
  }
  OverrideOrigins origins = ApplyOverrides(root, overrides);
  return Reader(path, std::move(origins), use).Read(root);
}

Design ReadDesign(const std::string& path, const std::vector<std::string>& overrides, DesignUse use) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (std::filesystem::exists(st) && !std::filesystem::is_regular_file(st))
    throw DesignError(path, 0, "the design is not a regular file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DesignError(path, 0, "cannot open the design file");
  std::ostringstream text;
  text << in.rdbuf();
  return ParseDesign(text.str(), path, overrides, use);
}
