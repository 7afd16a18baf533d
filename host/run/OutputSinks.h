// The outputs a run can write, one row each: the design key that names the
// file, the command-line option that overrides it, and the factory that
// makes its sink. A new format is a writer and a row here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "RunDesignFile.h"
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

struct OutputKind {
  const char* designKey;                 // in the design's [output] table
  std::string OutputEntry::*designName;  // the file the design names
  const char* option;                    // "--vcd"
  std::string RunRequest::*requestName;  // the option's value
  const char* help;
  // Throws DesignError for a design that cannot have this output; every
  // row's check runs before any file is opened. May be null.
  void (*check)(const SinkContext& context);
  std::unique_ptr<OutputSink> (*make)(const SinkContext& context);
};

const std::vector<OutputKind>& OutputKinds();

// Where an output named `name` goes: relative names lie in `dir`; "" stays "".
std::string OutputPath(const std::string& dir, const std::string& name);
