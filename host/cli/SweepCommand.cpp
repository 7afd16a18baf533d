#include "SweepCommand.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "Interruption.h"
#include "host/run/RunDesignFile.h"
#include "SweepTable.h"

namespace fs = std::filesystem;

namespace {
constexpr int kUsageError = 2;
constexpr const char* kTable = "sweep.csv";
constexpr const char* kJobList = "jobs.txt";
constexpr const char* kSlurmScript = "sweep.sbatch";

// Where point K keeps its row until the table gathers it.
fs::path RowFile(const fs::path& outputDir, const std::string& folder) {
  return outputDir / "rows" / (folder + ".csv");
}

std::string ShellQuoted(const std::string& word) {
  std::string q = "'";
  for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

SweepRow RunPoint(const SweepRequest& request, size_t point, const std::vector<std::string>& assignments,
                  const std::string& folder) {
  RunRequest run;
  run.design = request.design;
  run.pluginPath = request.pluginPath;
  run.outputDir = (fs::path(request.outputDir) / folder).string();
  run.overrides = assignments;
  run.scheduling = request.scheduling;
  run.anyPath = request.anyPath;
  run.progress = false;
  run.interruption = interruption::Received;
  RunCounts counts;
  run.counts = &counts;
  std::ostringstream out, err;
  const int status = RunDesignFile(run, out, err);
  return MakeSweepRow(point, assignments, status, counts, folder, err.str());
}

bool WriteRow(const fs::path& file, const SweepRow& row, std::ostream& err) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  std::ofstream f(file);
  WriteSweepTable({row}, f);
  if (f.flush()) return true;
  err << "rir-eda: cannot write " << file.string() << "\n";
  return false;
}

bool WriteTable(const fs::path& file, const std::vector<SweepRow>& rows, std::ostream& out, std::ostream& err) {
  std::ofstream f(file);
  WriteSweepTable(rows, f);
  if (!f.flush()) {
    err << "rir-eda: cannot write " << file.string() << "\n";
    return false;
  }
  out << "wrote table " << file.string() << " (" << rows.size() << " points)\n";
  return true;
}

// The row's exit status; -1 when it has none (a row file someone changed).
int StatusOf(const SweepRow& row) {
  for (const auto& [column, value] : row) {
    int status = -1;
    if (column == "status" && std::from_chars(value.data(), value.data() + value.size(), status).ec == std::errc())
      return status;
  }
  return -1;
}

int WriteJobs(const SweepRequest& request, const std::string& self, size_t count, std::ostream& out,
              std::ostream& err) {
  const fs::path dir = fs::absolute(request.outputDir);
  std::error_code ec;
  fs::create_directories(dir, ec);
  std::string command = ShellQuoted(self) + " sweep " + ShellQuoted(fs::absolute(request.design).string());
  for (const std::string& axis : request.grid) command += " --grid " + ShellQuoted(axis);
  command += " -o " + ShellQuoted(dir.string()) + " --plugin " + ShellQuoted(fs::absolute(request.pluginPath));
  if (!request.scheduling.empty()) command += " --scheduling " + request.scheduling;
  if (request.anyPath) command += " --allow-paths";
  std::ofstream jobs(dir / kJobList);
  for (size_t k = 0; k < count; ++k) jobs << command << " -q --point " << k << "\n";
  std::ofstream slurm(dir / kSlurmScript);
  slurm << "#!/bin/bash\n#SBATCH --job-name=rir-eda-sweep\n#SBATCH --array=0-" << (count - 1) << "\n"
        << "#SBATCH --output=" << (dir / "slurm-%A_%a.out").string() << "\n"
        << "# One point per array task: line TASK + 1 of the job list.\n"
        << "sed -n \"$((SLURM_ARRAY_TASK_ID + 1))p\" " << ShellQuoted((dir / kJobList).string()) << " | bash\n";
  if (!jobs.flush() || !slurm.flush()) {
    err << "rir-eda: cannot write the job lists in " << dir.string() << "\n";
    return 1;
  }
  out << "wrote " << (dir / kJobList).string() << " (" << count << " jobs, for GNU parallel) and "
      << (dir / kSlurmScript).string() << " (a Slurm job array); then: rir-eda sweep ... --collect\n";
  return 0;
}

int Collect(const SweepRequest& request, size_t count, std::ostream& out, std::ostream& err) {
  std::vector<SweepRow> rows;
  std::string missing;
  for (size_t k = 0; k < count; ++k) {
    std::ifstream f(RowFile(request.outputDir, PointFolder(k, count)));
    std::vector<SweepRow> read;
    if (!f || !ReadSweepTable(f, read) || read.size() != 1 || StatusOf(read[0]) < 0)
      missing += (missing.empty() ? "" : ", ") + std::to_string(k);
    else
      rows.push_back(read[0]);
  }
  if (!missing.empty()) {
    err << "rir-eda: no row for point " << missing << " in " << request.outputDir << " (run its job first)\n";
    return 1;
  }
  if (!WriteTable(fs::path(request.outputDir) / kTable, rows, out, err)) return 1;
  for (const SweepRow& row : rows)
    if (StatusOf(row) != 0) return 1;
  return 0;
}

int RunAll(const SweepRequest& request, const std::vector<std::vector<std::string>>& points, std::ostream& out,
           std::ostream& err) {
  std::vector<SweepRow> rows;
  bool failed = false;
  for (size_t k = 0; k < points.size(); ++k) {
    const std::string folder = PointFolder(k, points.size());
    rows.push_back(RunPoint(request, k, points[k], folder));
    if (!WriteRow(RowFile(request.outputDir, folder), rows.back(), err)) return 1;
    const int status = StatusOf(rows.back());
    failed = failed || status != 0;
    if (interruption::Received() != 0) {
      err << "rir-eda: interrupted at point " << k << "; --collect gathers the rows written so far\n";
      return interruption::ExitStatus(interruption::Received());
    }
    if (!request.quiet || status != 0)
      (status != 0 ? err : out) << (status != 0 ? "rir-eda: " : "") << folder << ": exit status " << status << "\n";
  }
  if (!WriteTable(fs::path(request.outputDir) / kTable, rows, out, err)) return 1;
  return failed ? 1 : 0;
}
}  // namespace

CLI::App* AddSweepCommand(CLI::App& app, SweepRequest& request) {
  CLI::App* sweep = app.add_subcommand("sweep", "run a design at every point of a grid and write a table of the runs");
  sweep->add_option("design", request.design, "the design file (TOML)")->required();
  sweep
      ->add_option("--grid", request.grid,
                   "NAME=V1,V2,...: one axis of the grid, values as --set takes them (repeatable)")
      ->required();
  sweep->add_option("-o,--output-dir", request.outputDir,
                    "folder for the table and the points' folders (default: sweep)");
  sweep->add_option("--plugin", request.pluginPath, "the plug-in library to load");
  sweep->add_option("--scheduling", request.scheduling, "dataflow or events: how blocks are notified")
      ->check(CLI::IsMember({"dataflow", "events"}));
  sweep->add_flag("--allow-paths", request.anyPath, "as \"rir-eda run --allow-paths\", for every run");
  sweep->add_flag("-q,--quiet", request.quiet, "print only problems");
  auto* jobs = sweep->add_flag("--jobs", request.jobs,
                               "write jobs.txt (GNU parallel) and sweep.sbatch (a Slurm job array) instead of running");
  auto* point = sweep->add_option("--point", request.point, "run point K alone and keep its row (what a job runs)")
                    ->check(CLI::NonNegativeNumber);
  auto* collect = sweep->add_flag("--collect", request.collect, "gather the rows the jobs kept into sweep.csv");
  jobs->excludes(point)->excludes(collect);
  point->excludes(collect);
  return sweep;
}

int RunSweepCommand(const SweepRequest& request, const std::string& self, std::ostream& out, std::ostream& err) {
  std::vector<SweepAxis> axes;
  for (const std::string& text : request.grid) {
    try {
      axes.push_back(ParseGridAxis(text));
    } catch (const std::invalid_argument& e) {
      err << "rir-eda: --grid " << text << ": " << e.what() << "\n";
      return kUsageError;
    }
  }
  const auto points = GridPoints(axes);
  if (request.jobs) return WriteJobs(request, self, points.size(), out, err);
  if (request.collect) return Collect(request, points.size(), out, err);
  if (request.point < 0) return RunAll(request, points, out, err);
  const size_t k = static_cast<size_t>(request.point);
  if (k >= points.size()) {
    err << "rir-eda: --point " << k << ": the grid has points 0 to " << points.size() - 1 << "\n";
    return kUsageError;
  }
  const std::string folder = PointFolder(k, points.size());
  const SweepRow row = RunPoint(request, k, points[k], folder);
  if (!WriteRow(RowFile(request.outputDir, folder), row, err)) return 1;
  return StatusOf(row);
}
