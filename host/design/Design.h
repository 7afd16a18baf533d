// A design as read from its file: settings, variables, stimuli, blocks and
// what to record. Every item remembers the line it came from.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A fault in a design file, with where it is.
struct DesignError : std::runtime_error {
  DesignError(std::string file, int line, const std::string& message)
      : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + message),
        file(std::move(file)),
        line(line) {}
  std::string file;
  int line;
};

struct VariableEntry {
  std::string name;
  uint16_t kind = 4;
  int32_t width = 1;
  std::string initial;  // value text of `width` characters
  int line = 0;
};

enum class StimulusType { Clock, Constant, Pattern };

struct StimulusEntry {
  StimulusType type = StimulusType::Clock;
  std::string variable;
  int64_t period = 1;               // clock period, or time per pattern entry
  int64_t phase = 0;                // time of the first rising edge / first entry
  int64_t high = 1;                 // clock: time the clock stays high in each period
  std::vector<std::string> values;  // constant: one text; pattern: one per entry
  int line = 0;
};

struct BlockEntry {
  std::string name;
  std::string exportName;
  std::map<std::string, std::string> inputs;   // port -> variable
  std::map<std::string, std::string> outputs;  // port -> variable
  int32_t signValue = 0;
  std::vector<uint8_t> record;         // the stored record, complete
  std::string recordFile;              // where the record's bytes came from, "" = defaults and named fields
  std::vector<std::string> defaulted;  // fields the type reads that keep their defaults
  std::optional<std::array<int32_t, 2>> dialogPosition;  // left, top of the block's dialog
  int line = 0;
};

// One value of the [output] table as written: a text, an integer or
// anything else (which no key takes).
struct OutputValue {
  enum class Kind { Text, Integer, Other } kind = Kind::Other;
  std::string text;
  int64_t integer = 0;
  int line = 0;
};

// A key of the [output] table with its value or list of values. What a key
// means belongs to the output that reads it (host/run/OutputSinks), which
// checks it; the reader only keeps it.
struct OutputSetting {
  std::string key;
  bool list = false;
  std::vector<OutputValue> values;  // one when not a list
  int line = 0;
};

struct OutputEntry {
  std::vector<OutputSetting> settings;  // by key
  int line = 0;                         // of the [output] table

  const OutputSetting* Find(const std::string& key) const {
    for (const OutputSetting& s : settings)
      if (s.key == key) return &s;
    return nullptr;
  }
};

// The model's time unit: `count` (1, 10 or 100) of `unit` (s, ms, us, ns, ps, fs).
struct TimeUnit {
  int count = 1;
  std::string unit = "ns";
  std::string Text() const { return std::to_string(count) + " " + unit; }
};

struct Design {
  std::string file;
  std::string directory;  // the design's folder, with a trailing '/'
  int64_t samplePeriod = 1;
  int64_t endTime = 0;  // exclusive
  std::string language;
  std::string libraryDirectory;  // "" = the plug-in's folder
  int maxPasses = 1000;          // settle passes per time point (per loop group in dataflow)
  // dataflow: every block once per time point in connection order, notified
  // when an input was written; events: notified on a change of value, pass
  // after pass, as a circuit host does.
  enum class Scheduling { Dataflow, Events } scheduling = Scheduling::Dataflow;
  TimeUnit timeUnit;
  std::vector<VariableEntry> variables;
  std::vector<StimulusEntry> stimuli;
  std::vector<BlockEntry> blocks;
  OutputEntry output;
  std::vector<std::string> warnings;  // "file:line: warning: ...", for the user

  const VariableEntry* Variable(const std::string& name) const {
    for (const VariableEntry& v : variables)
      if (v.name == name) return &v;
    return nullptr;
  }
};
