// One simulator command from start to finish: read the design, build and
// run it, write the chosen outputs, print the summary. Exit statuses:
// 0 done, 1 the run had errors (a block report, a library error, an abort,
// a loop, an output not written; with `strict` also warnings),
// 2 nothing ran (bad design, a block not valid, no plug-in), 128 + N the
// run was interrupted by signal N (130 for SIGINT) and ended early as usual,
// its outputs written up to the time point it reached.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "ValueRanges.h"

// The numbers of a run's summary and every variable's range, for callers
// that keep them (the Python module, sweeps).
struct RunCounts {
  uint64_t errors = 0, warnings = 0;
  uint64_t timePoints = 0, steps = 0, notifications = 0, events = 0;
  std::vector<ValueRange> ranges;
};

struct RunRequest {
  std::string design;
  std::string pluginPath;
  std::string outputDir = ".";  // design output names are relative to it
  // Output files by design key ("vcd", "csv", "png"): a name overrides the design's.
  std::map<std::string, std::string> outputFiles;
  std::vector<std::string> overrides;  // "BLOCK.FIELD=VALUE", applied in turn
  bool quiet = false;
  std::string scheduling;  // "dataflow" or "events" overrides the design's; "" keeps it
  bool strict = false;     // warnings fail the run too
  bool anyPath = false;    // recorders and outputs may name folders (--allow-paths)
  bool verbose = false;    // trace every block step, settle pass and notification
  bool progress = true;    // a progress bar when stderr is a terminal
  // Asked after every time point: a signal number ends the run there.
  std::function<int()> interruption;
  // Also sees every sample (the Python module's run() keeps the values).
  Recorder* observer = nullptr;
  // Filled in at the end of a run that ran.
  RunCounts* counts = nullptr;
};

int RunDesignFile(const RunRequest& request, std::ostream& out, std::ostream& err);
