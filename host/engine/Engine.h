// Runs a design: constructs its blocks through the plug-in's exports, each
// in its own stepping core (SteppedBlock) over one shared VariableStore,
// and schedules their calls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "InProcessHost.h"
#include "StepAhead.h"
#include "SteppedBlock.h"
#include "Stimuli.h"
#include "host/design/Design.h"
#include "host/design/Messages.h"

class PluginLoader;
class Recorder;

struct RunStats {
  int64_t endTime = 0;         // model time reached
  uint64_t timePoints = 0;     // distinct times processed
  uint64_t steps = 0;          // TimeStep calls
  uint64_t notifications = 0;  // InputChanged calls
  uint64_t events = 0;         // value changes of variables
  bool aborted = false;        // a block called AbortRun
  bool stopped = false;        // the stop check asked to end the run early
  bool loop = false;           // the variables did not settle
  uint64_t errors = 0;         // block reports, library errors, loops, aborts
  uint64_t warnings = 0;       // e.g. a generator past its table
  // Warning lines for the summary: per block what events scheduling did to
  // its samples, per variable the values that did not come through its port.
  std::vector<std::string> summary;
};

class Engine : private SteppedBlock::Listener {
 public:
  // `say` receives every message line in the design's language. Without a
  // plug-in the exports come from SetExportLookup (tests build blocks so).
  Engine(const Design& design, PluginLoader* plugin, std::function<void(const std::string&)> say);
  ~Engine() override;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Constructs every block; false when one is missing or not valid (nothing
  // has run then).
  bool Build();
  // LoadParameters, Start, the time loop, Done. `progress` gets the model
  // time now and then.
  RunStats Run(Recorder* recorder, const std::function<void(int64_t)>& progress = {});

  const VariableStore& Store() const { return *store_; }
  // The file names (as their records give them) of the WAVE recorders that
  // opened their files in this run, in design order.
  std::vector<std::string> Recordings() const;
  // The sign mode of the block writing a variable (else of a block reading
  // it, else 0): what its store variable is decoded in.
  int32_t SignModeOf(const std::string& variable) const;
  static int32_t DesignSignMode(const Design& design, const std::string& variable);

  // Folders the hosts answer GetLibraryDirectory with: the plug-in's (or the
  // design's choice) for all blocks; wave blocks get the folders their files
  // are read from and written to.
  void SetWaveFolders(const std::string& loadFolder, const std::string& saveFolder);
  void SetExportLookup(std::function<InitExport(const std::string&)> lookup) { lookup_ = std::move(lookup); }
  // Time points between two looks at the stop check: a stop ends a run
  // within microseconds, and a run does not pay a call per time point.
  static constexpr uint32_t kCheckEvery = 64;
  static_assert(kCheckEvery == StepAhead::kStretch, "a stretch ends where the stop check is asked");
  // Asked after every kCheckEvery-th time point; true ends the run there, as
  // if it ended at that time (Done on every block, the recorder's End).
  void SetStopCheck(std::function<bool()> stop) { stop_ = std::move(stop); }
  // Receives a line for every block step, settle pass and notification.
  void SetTrace(std::function<void(const std::string&)> trace) { trace_ = std::move(trace); }

 private:
  struct SimBlock;
  // The progress is told at every so many looks (4096 time points).
  static constexpr uint32_t kChecksPerProgress = 64;
  void Say(const std::string& text) { say_(text); }
  void Said(const std::string& sentence) override { say_(sentence); }
  void BlockAborted() override { abort_ = true; }
  bool Settle(int64_t time, RunStats& stats);
  // Dataflow: the input-driven blocks in connection order, blocks that feed
  // each other in one loop group.
  struct Group {
    std::vector<size_t> blocks;
    bool loop = false;
    SimBlock* single = nullptr;  // the block of a group that is no loop
  };
  void OrderBlocks();
  std::vector<std::vector<size_t>> Successors() const;
  int FindComponents(const std::vector<std::vector<size_t>>& next, std::vector<int>& comp) const;
  void PrepareRun();
  bool StartBlocks(RunStats& stats);
  // What the time loop reads at every time point, see Run.
  struct Loop;
  [[gnu::always_inline]] static int64_t NextTime(const Loop& loop);
  [[gnu::always_inline]] bool RunTimePoint(int64_t t, RunStats& stats, Loop& loop, int64_t& next);
  // Stepping ahead: the blocks left out of the visits, and a stretch.
  void PlanStepAhead();
  uint32_t RunStretch(int64_t t, int64_t endTime, RunStats& stats, Loop& loop, int64_t& now, uint64_t& timePoints,
                      int64_t& next);
  [[gnu::always_inline]] bool Visit(int64_t time, RunStats& stats, Loop& loop);
  // One InputChanged call (traced, counted, the block named for its messages).
  [[gnu::always_inline]] void NotifyInputChanged(SimBlock& b, int64_t time, RunStats& stats);
  // The trace line of a call; out of line, so that the calls stay small.
  [[gnu::noinline, gnu::cold]] void TraceCall(int64_t time, const SimBlock& b, const char* what,
                                              const int64_t* delay) const;
  bool SettleGroup(Group& g, int64_t time, RunStats& stats);
  bool Written(const SimBlock& b) const;
  static bool AnyWritten(const VariableStore& store, const SimBlock& b);
  void PlanVisit();
  [[gnu::always_inline]] void EndTimePoint(const Loop& loop);
  void CountCalls();
  void CountEvents(RunStats& stats);
  void SummarizeCounts(RunStats& stats);
  void TraceWritten(int64_t time) const;
  void ReportLoop(int64_t time, const std::vector<size_t>& blocks);
  [[gnu::always_inline]] void Step(SimBlock& b, int64_t time, Loop& loop);
  void FinishBlocks();
  static void OnLibraryMessage(int32_t severity, const char* text, void* context);

  const Design& design_;
  PluginLoader* plugin_;
  std::function<InitExport(const std::string&)> lookup_;
  std::function<void(const std::string&)> say_;
  std::function<void(const std::string&)> trace_;
  std::function<bool()> stop_;
  HostLanguage lang_;
  std::shared_ptr<VariableStore> store_;
  std::vector<std::unique_ptr<SimBlock>> blocks_;
  std::vector<SimBlock*> timed_;  // the time-driven blocks, in design order
  std::vector<Stimulus> stimuli_;
  std::vector<VarHandle> stimulusTargets_;
  std::vector<uint64_t> mark_;                // change counts already seen
  std::vector<std::vector<size_t>> readers_;  // per variable: input-driven blocks reading it
  std::vector<char> notify_;
  std::vector<uint64_t> passStart_;  // change counts at the start of a loop group's pass
  std::vector<Group> groups_;
  struct InputMask {
    uint32_t word = 0;  // of the store's written bits
    uint64_t bits = 0;
  };
  // The dataflow visit, one entry per group in order (see Visit).
  struct PlanEntry {
    SimBlock* block = nullptr;
    InputMask first;            // its inputs in one word of written bits,
    uint32_t from = 0, to = 0;  // and in more words: planInputs_[from, to)
    Group* loop = nullptr;      // a loop group, settled by SettleGroup
    // The value of the variable the block acts on only while it reads high;
    // null for a block that acts on any call.
    const ValueBits* gate = nullptr;
    uint32_t index = 0;  // in plan_
  };
  std::vector<PlanEntry> plan_;
  // Under stepping ahead: plan_ without the blocks stepped ahead, those
  // blocks and their SimBlocks, and the plan index of the block whose
  // AbortRun ended the last visit (0: the visit did not start).
  std::vector<PlanEntry> headPlan_;
  StepAhead ahead_;
  std::vector<SimBlock*> aheadBlocks_;
  uint32_t abortPlanIndex_ = 0;
  std::vector<InputMask> planInputs_;
  bool tracing_ = false;
  std::vector<char> inLoop_;  // per block: a member of a loop group
  bool countEvents_ = false;  // events scheduling: count skipped and repeated notifications
  uint64_t errors_ = 0, warnings_ = 0;
  std::string loadFolder_, saveFolder_;
  SimBlock* current_ = nullptr;  // block being called, for library messages
  bool abort_ = false;
  bool finished_ = false;
};
