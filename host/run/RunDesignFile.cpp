#include "RunDesignFile.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

#include "OutputSinks.h"
#include "host/design/DesignReader.h"
#include "host/design/RecordChecks.h"
#include "host/engine/Engine.h"
#include "host/engine/PluginLoader.h"

namespace fs = std::filesystem;

namespace {

// Hands every sample to every sink.
class Fanout : public Recorder {
 public:
  std::vector<std::unique_ptr<OutputSink>> sinks;
  std::vector<Recorder*> observers;  // the caller's own and the ranges, besides the files
  bool Empty() const { return sinks.empty() && observers.empty(); }
  void Begin(const VariableStore& s) override {
    for (auto& r : sinks) r->Begin(s);
    for (Recorder* r : observers) r->Begin(s);
  }
  void Sample(int64_t t, const VariableStore& s) override {
    for (auto& r : sinks) r->Sample(t, s);
    for (Recorder* r : observers) r->Sample(t, s);
  }
  void End(int64_t t) override {
    for (auto& r : sinks) r->End(t);
    for (Recorder* r : observers) r->End(t);
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

// "3 s", "2 min 5 s": what is left of a run.
std::string Remaining(double seconds) {
  const long s = static_cast<long>(seconds + 0.5);
  if (s < 1) return "under 1 s";
  if (s < 60) return std::to_string(s) + " s";
  if (s < 3600) return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
  return std::to_string(s / 3600) + " h " + std::to_string(s % 3600 / 60) + " min";
}

// One line on a terminal, rewritten in place; nothing elsewhere.
class StatusLine {
 public:
  explicit StatusLine(bool shown) : shown_(shown) {}
  ~StatusLine() { Clear(); }
  void Show(const std::string& text) {
    if (!shown_) return;
    std::fprintf(stderr, "\r%-72.72s", text.c_str());
    std::fflush(stderr);
    used_ = true;
  }
  void Clear() {
    if (used_) std::fprintf(stderr, "\r%-72s\r", "");
    used_ = false;
  }
  bool Shown() const { return shown_; }

 private:
  bool shown_, used_ = false;
};

// The design with the request's overrides; false (said on `err`) when it cannot run.
bool ReadRequestedDesign(const RunRequest& request, Design& design, std::ostream& err) {
  try {
    design = ReadDesign(request.design, request.overrides, request.anyPath ? DesignUse::RunAnyPath : DesignUse::Run);
    if (request.scheduling == "events") design.scheduling = Design::Scheduling::Events;
    if (request.scheduling == "dataflow") design.scheduling = Design::Scheduling::Dataflow;
    CheckOutputSettings(design, request.anyPath);
  } catch (const DesignError& e) {
    err << "rir-eda: " << e.what() << "\n";
    return false;
  }
  for (const std::string& w : design.warnings) err << "rir-eda: " << w << "\n";
  if (request.verbose)
    for (const BlockEntry& b : design.blocks)
      if (const std::string line = DescribeDefaultedFields(b); !line.empty()) err << "rir-eda: " << line << "\n";
  return true;
}

// Every output the design or the request names, opened; false (said on
// `err`) when one cannot be.
bool OpenSinks(const RunRequest& request, const Design& design, const Engine& engine, Fanout& fan, std::ostream& err) {
  const auto chosen = ChosenOutputs(design, request.outputFiles, request.outputDir);
  try {
    // Every check before any file is opened: a refused design keeps the old outputs.
    for (const auto& [kind, path] : chosen)
      if (kind->check != nullptr) kind->check(SinkContext{design, engine, request.outputDir, path});
    for (const auto& [kind, path] : chosen)
      fan.sinks.push_back(kind->make(SinkContext{design, engine, request.outputDir, path}));
  } catch (const DesignError& e) {
    err << "rir-eda: " << e.what() << "\n";
    return false;
  }
  for (const auto& sink : fan.sinks) {
    const fs::path folder = fs::path(sink->MainPath()).parent_path();
    if (!sink->Ok() || !fs::is_directory(folder.empty() ? fs::path(".") : folder)) {
      err << "rir-eda: cannot write to the output folder " << request.outputDir << "\n";
      return false;
    }
    if (sink->ReplacedPartial())
      err << "rir-eda: replacing " << sink->MainPath() << ", left partial by a run that did not finish\n";
  }
  return true;
}

struct RunOutcome {
  RunStats stats;
  double seconds = 0;
  int signal = 0;  // what interrupted the run, 0 = none
};

RunOutcome RunWithProgress(const RunRequest& request, const Design& design, Engine& engine, Fanout& fan,
                           StatusLine& status) {
  RunOutcome outcome;
  if (request.interruption) engine.SetStopCheck([&] { return (outcome.signal = request.interruption()) != 0; });
  int shown = -1;
  const auto start = std::chrono::steady_clock::now();
  auto progress = [&](int64_t t) {
    // Only runs that last show a bar.
    const auto now = std::chrono::steady_clock::now();
    if (!status.Shown() || design.endTime <= 0 || t <= 0 || now - start < std::chrono::milliseconds(300)) return;
    const int pct = static_cast<int>(static_cast<long double>(t) * 100 / design.endTime);
    if (pct == shown) return;
    shown = pct;
    const double elapsed = std::chrono::duration<double>(now - start).count();
    const double left = elapsed * static_cast<double>(design.endTime - t) / static_cast<double>(t);
    status.Show("[" + std::string(static_cast<size_t>(pct * 40 / 100), '#') + std::string(40 - pct * 40 / 100, ' ') +
                "] " +
                (pct < 10    ? "  "
                 : pct < 100 ? " "
                             : "") +
                std::to_string(pct) + "%  " + Remaining(left) + " left");
  };
  // A run that writes and watches nothing is not sampled at every time point.
  outcome.stats = engine.Run(fan.Empty() ? nullptr : &fan, progress);
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  status.Clear();
  return outcome;
}

// Commits every sink, naming each file written; the number that failed.
uint64_t CommitSinks(const RunRequest& request, HostLanguage lang, Fanout& fan, StatusLine& status, std::ostream& out,
                     std::ostream& err) {
  uint64_t failed = 0;
  for (auto& sink : fan.sinks) {
    status.Show("writing " + sink->MainPath() + " ...");
    std::vector<WrittenFile> files;
    std::string error;
    const bool ok = sink->Commit(files, error);
    status.Clear();
    if (!request.quiet)
      for (const WrittenFile& f : files) out << DescribeWrote(lang, f.what, f.path) << "\n";
    if (!ok) {
      err << "rir-eda: " << error << "\n";
      ++failed;
    }
  }
  return failed;
}

// The summary, then the exit status: 128 + the signal that interrupted the
// run, else 1 when it failed, else 0.
int Finish(const RunRequest& request, const Design& design, RunOutcome& run, uint64_t errors, std::ostream& out,
           std::ostream& err) {
  const RunStats& stats = run.stats;
  const HostLanguage lang = LanguageFromText(design.language);
  // The design's own warnings count with the run's.
  const uint64_t warnings = stats.warnings + design.warnings.size();
  if (request.counts != nullptr) {
    request.counts->errors = errors;
    request.counts->warnings = warnings;
    request.counts->timePoints = stats.timePoints;
    request.counts->steps = stats.steps;
    request.counts->notifications = stats.notifications;
    request.counts->events = stats.events;
  }
  if (!request.quiet) {
    out << DescribeSummary(lang, stats.endTime, stats.timePoints, stats.steps, stats.notifications, stats.events,
                           run.seconds)
        << DescribeProblems(lang, errors, warnings) << "\n";
    if (stats.aborted) out << DescribeRunAborted(lang) << "\n";
  }
  // Warnings are problems: quiet runs keep them.
  for (const std::string& line : stats.summary) err << "rir-eda: " << line << "\n";
  // A signal while the outputs were written leaves them whole, and is still said.
  if (run.signal == 0 && request.interruption) run.signal = request.interruption();
  const bool failed = stats.aborted || errors > 0 || (request.strict && warnings > 0);
  out.flush();
  if (failed) err << "rir-eda: " << DescribeRunFailed(lang, errors, warnings, stats.aborted, request.strict) << "\n";
  if (run.signal == 0) return failed ? 1 : 0;
  const int64_t samples = design.samplePeriod > 0 ? stats.endTime / design.samplePeriod : stats.endTime;
  err << "rir-eda: interrupted at t = " << stats.endTime << " after " << samples << " samples; outputs cover 0 … "
      << stats.endTime << "\n";
  return 128 + run.signal;
}

}  // namespace

int RunDesignFile(const RunRequest& request, std::ostream& out, std::ostream& err) {
  Design design;
  if (!ReadRequestedDesign(request, design, err)) return 2;
  PluginLoader plugin(request.pluginPath);
  if (!plugin.Loaded()) {
    err << "rir-eda: cannot load the plug-in: " << plugin.Error() << "\n";
    return 2;
  }
  Engine engine(design, &plugin, [&err](const std::string& line) { err << "rir-eda: " << line << "\n"; });
  std::error_code ec;
  fs::create_directories(request.outputDir, ec);
  engine.SetWaveFolders(BlockFolder(design.directory), BlockFolder(request.outputDir));
  if (request.verbose) engine.SetTrace([&err](const std::string& line) { err << "trace: " << line << "\n"; });
  if (!engine.Build()) return 2;
  Fanout fan;
  if (request.observer != nullptr) fan.observers.push_back(request.observer);
  ValueRanges ranges;
  if (request.counts != nullptr) fan.observers.push_back(&ranges);
  if (!OpenSinks(request, design, engine, fan, err)) return 2;

  StatusLine status(request.progress && !request.quiet && !request.verbose && isatty(STDERR_FILENO) != 0);
  RunOutcome run = RunWithProgress(request, design, engine, fan, status);

  const HostLanguage lang = LanguageFromText(design.language);
  const uint64_t failedOutputs = CommitSinks(request, lang, fan, status, out, err);
  if (!request.quiet)
    for (const std::string& name : engine.Recordings())
      out << DescribeWrote(lang, "WAVE", OutputPath(request.outputDir, name)) << "\n";
  if (request.counts != nullptr) request.counts->ranges = ranges.Ranges();
  return Finish(request, design, run, run.stats.errors + failedOutputs, out, err);
}
