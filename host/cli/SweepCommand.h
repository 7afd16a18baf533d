// `rir-eda sweep`: one design at every point of a grid, one run per point.
// Runs the points here one after another and writes the table, or writes
// job lists (GNU parallel, a Slurm job array) whose jobs run one point each
// (--point), and gathers their rows afterwards (--collect).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct SweepRequest {
  std::string design;
  std::vector<std::string> grid;  // "NAME=V1,V2,..."
  std::string outputDir = "sweep";
  std::string scheduling;
  bool anyPath = false;  // --allow-paths for every run
  std::string pluginPath;
  long point = -1;  // run this point alone
  bool jobs = false, collect = false, quiet = false;
};

// The subcommand and its options, bound to `request`.
CLI::App* AddSweepCommand(CLI::App& app, SweepRequest& request);
// Exit status: 0 every point ran clean, 1 a point failed or a row is
// missing, 2 a usage error; --point gives its point's status; 128 + N when
// signal N stopped the sweep.
int RunSweepCommand(const SweepRequest& request, const std::string& self, std::ostream& out, std::ostream& err);
