// The outputs a run can write, one row each: the design key that names the
// file (also the command-line option, "--" before it), the further keys of
// the design's [output] table it reads, what it checks of them, and the
// factory that makes its sink. A new format is a writer and a row here.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/design/Design.h"
#include "host/outputs/OutputSink.h"

class Engine;

// What a factory may read: the design, the built engine (sign modes), the
// output folder and the file name, already resolved against that folder.
struct SinkContext {
  const Design& design;
  const Engine& engine;
  const std::string& outputDir;
  const std::string& path;
};

// What a key of the [output] table holds.
enum class OutputKeyForm {
  Text,       // "name"
  FileName,   // "name.ext": a file in the output folder
  Variables,  // ["x", "y"]: names of the design's variables
  TimeSpan,   // [t0, t1]: two times in the design's time unit, 0 <= t0 < t1
};

struct OutputKey {
  const char* name;
  OutputKeyForm form;
};

struct OutputKind {
  const char* designKey;  // names the file in the [output] table; "--" before it is the option
  const char* help;
  std::vector<OutputKey> keys;  // its further keys
  // What its keys must say of each other and of the design, checked with
  // every design whether this output is written or not; throws DesignError.
  // May be null.
  void (*checkKeys)(const Design& design);
  // Throws DesignError for a design that cannot have this output; run for
  // every chosen output before any file is opened. May be null.
  void (*check)(const SinkContext& context);
  std::unique_ptr<OutputSink> (*make)(const SinkContext& context);
};

const std::vector<OutputKind>& OutputKinds();

// Every key of the design's [output] table belongs to an output and holds
// what that output reads: throws DesignError with the key's line otherwise.
// A file name that names a folder is refused unless `anyPath`.
void CheckOutputSettings(const Design& design, bool anyPath = false);

// The outputs to write: per chosen kind, its file resolved against
// `outputDir`; a name in `files` (by design key, from the command line)
// overrides the design's.
std::vector<std::pair<const OutputKind*, std::string>> ChosenOutputs(const Design& design,
                                                                     const std::map<std::string, std::string>& files,
                                                                     const std::string& outputDir);

// Where an output named `name` goes: relative names lie in `dir`; "" stays "".
std::string OutputPath(const std::string& dir, const std::string& name);
