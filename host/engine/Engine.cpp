#include "Engine.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <queue>

#include "PluginLoader.h"
#include "Recorder.h"
#include "framework/BlockCatalogue.h"
#include "framework/Errors.h"
#include "framework/FloatingPointGuard.h"
#include "host/design/BlockTypes.h"
#include "host/design/RecordFields.h"

// A design's block: its stepping core and what scheduling keeps of it.
struct Engine::SimBlock {
  SimBlock(const BlockEntry& e, const BlockType& type, std::shared_ptr<VariableStore> store, HostLanguage lang,
           SteppedBlock::Listener& listener)
      : entry(&e), core(std::move(store), type, e.name, lang, listener) {}
  const BlockEntry* entry;
  int64_t next = Stimulus::kNever;  // next TimeStep of a time-driven block
  uint32_t calls = 0;               // InputChanged calls in this time point
  uint64_t skipped = 0;             // time points with written inputs and no call (events)
  uint64_t repeated = 0;            // time points with more than one call (events)
  bool recorded = false;            // a WAVE recorder that opened its file at Start
  SteppedBlock core;
  const std::vector<VarHandle>& Inputs() const { return core.Inputs(); }
  const std::vector<VarHandle>& Outputs() const { return core.Outputs(); }
  int32_t Activation() const { return core.Activation(); }
};

struct Engine::Loop {
  VariableStore& store;
  SimBlock* const* timed;
  size_t timedCount;
  Stimulus* stimuli;
  const VarHandle* targets;
  size_t stimulusCount;
  const PlanEntry* plan;
  const PlanEntry* planEnd;
  const InputMask* inputs;
  const uint64_t* written;  // the store's written bits
  bool tracing;
  bool events;  // events scheduling: Settle instead of Visit
  uint64_t steps = 0;
  uint64_t calls = 0;
};

// Whether a block's inputs were written in this time point.
inline bool Engine::AnyWritten(const VariableStore& store, const SimBlock& b) {
  for (VarHandle h : b.Inputs())
    if (store.IsWritten(h)) return true;
  return false;
}

Engine::Engine(const Design& design, PluginLoader* plugin, std::function<void(const std::string&)> say)
    : design_(design),
      plugin_(plugin),
      say_(std::move(say)),
      lang_(LanguageFromText(design.language)),
      store_(std::make_shared<VariableStore>()) {
  // Every variable some block writes carries the writable flag.
  for (const VariableEntry& v : design.variables) {
    uint16_t flags = 0;
    for (const BlockEntry& b : design.blocks)
      for (const auto& [port, var] : b.outputs)
        if (var == v.name) flags |= kWritableFlag;
    HostVariable hv;
    hv.name = v.name;
    hv.kind = v.kind;
    hv.width = v.width;
    hv.flags = flags;
    AssignText(hv, v.initial.c_str());
    hv.signMode = DesignSignMode(design, v.name);
    store_->Add(std::move(hv));
  }
  for (const StimulusEntry& s : design.stimuli) {
    stimuli_.emplace_back(s);
    stimulusTargets_.push_back(store_->Find(s.variable));
  }
}

Engine::~Engine() {
  FinishBlocks();
  if (plugin_ != nullptr) plugin_->SetMessageHandler(nullptr, nullptr);
}

void Engine::SetWaveFolders(const std::string& loadFolder, const std::string& saveFolder) {
  loadFolder_ = loadFolder;
  saveFolder_ = saveFolder;
}

void Engine::OnLibraryMessage(int32_t severity, const char* text, void* context) {
  auto* self = static_cast<Engine*>(context);
  if (self->current_ != nullptr) {
    self->current_->core.LibraryMessage(severity, text);
    return;
  }
  if (severity == msError) ++self->errors_;
  self->Say(DescribeLibraryMessage(self->lang_, std::string(), severity, text != nullptr ? text : ""));
}

bool Engine::Build() {
  // The engine calls its blocks only in the library's floating-point state
  // (here and in Run), as its hosts promise them.
  const FloatingPointGuard libraryState;
  if (plugin_ != nullptr) {
    plugin_->SetLanguage(design_.language.c_str());
    plugin_->SetMessageHandler(&Engine::OnLibraryMessage, this);
  }
  const std::string libraryDir = !design_.libraryDirectory.empty() ? design_.libraryDirectory
                                 : plugin_ != nullptr              ? plugin_->Directory()
                                                                   : std::string("./");
  bool ok = true;
  for (const BlockEntry& entry : design_.blocks) {
    const BlockType* type = FindBlockType(entry.exportName);
    const InitExport init = type == nullptr      ? nullptr
                            : lookup_            ? lookup_(entry.exportName)
                            : plugin_ != nullptr ? plugin_->Init(entry.exportName.c_str())
                                                 : nullptr;
    if (init == nullptr) {
      Say(DescribeMissingExport(lang_, entry.name, entry.exportName));
      ok = false;
      continue;
    }
    auto b = std::make_unique<SimBlock>(entry, *type, store_, lang_, static_cast<SteppedBlock::Listener&>(*this));
    for (const auto& [port, var] : entry.inputs) b->core.ConnectInput(port, store_->Find(var));
    for (const auto& [port, var] : entry.outputs) b->core.ConnectOutput(port, store_->Find(var));
    SteppedBlock::Settings settings{entry.signValue, entry.record, static_cast<long double>(design_.samplePeriod),
                                    libraryDir};
    if (type->blockClass == BlockClass::WaveLoad && !loadFolder_.empty()) settings.libraryDirectory = loadFolder_;
    if (type->blockClass == BlockClass::WaveSave && !saveFolder_.empty()) settings.libraryDirectory = saveFolder_;
    b->core.Host().PromiseLibraryState();
    current_ = b.get();
    if (!b->core.Construct(init, settings)) {
      Say(DescribeInvalid(lang_, entry.name, entry.exportName));
      ok = false;
    }
    current_ = nullptr;
    blocks_.push_back(std::move(b));
  }
  return ok;
}

namespace {
// The file a WAVE recorder writes, as its record names it; "" for other
// blocks and for one that takes its file from its "Test" port.
std::string RecordingName(const BlockEntry& entry) {
  const BlockType* type = FindBlockType(entry.exportName);
  const RecordLayout& layout = WaveRecordLayout();
  if (type == nullptr || type->blockClass != BlockClass::WaveSave || entry.inputs.count("Test") != 0 ||
      entry.record.size() != layout.size)
    return {};
  const FieldValue name = GetField(layout, entry.record.data(), RecordFieldNamed(RecordKind::Wave, "FileName"));
  const auto* text = std::get_if<std::string>(&name);
  return text != nullptr ? *text : std::string();
}
}  // namespace

std::vector<std::string> Engine::Recordings() const {
  std::vector<std::string> names;
  for (const auto& b : blocks_)
    if (b->recorded) names.push_back(RecordingName(*b->entry));
  return names;
}

int32_t Engine::DesignSignMode(const Design& design, const std::string& variable) {
  for (const BlockEntry& b : design.blocks)
    for (const auto& [port, var] : b.outputs)
      if (var == variable) return b.signValue;
  for (const BlockEntry& b : design.blocks)
    for (const auto& [port, var] : b.inputs)
      if (var == variable) return b.signValue;
  return 0;
}

int32_t Engine::SignModeOf(const std::string& variable) const {
  const HostVariable* v = store_->Get(store_->Find(variable));
  return v != nullptr ? v->signMode : 0;
}

bool Engine::Settle(int64_t time, RunStats& stats) {
  const std::vector<HostVariable>& vars = store_->All();
  std::vector<char>& notify = notify_;
  notify.resize(blocks_.size());
  for (int pass = 0; pass < design_.maxPasses; ++pass) {
    bool any = false;
    std::string changed;
    std::fill(notify.begin(), notify.end(), 0);
    for (size_t i = 0; i < vars.size(); ++i) {
      if (vars[i].changes == mark_[i]) continue;
      stats.events += vars[i].changes - mark_[i];
      mark_[i] = vars[i].changes;
      any = true;
      for (size_t k : readers_[i]) notify[k] = 1;
      if (trace_) changed += " " + vars[i].name + "=" + TextOf(vars[i]);
    }
    if (!any) return true;
    if (trace_) trace_("t=" + std::to_string(time) + " pass " + std::to_string(pass + 1) + ": changed" + changed);
    for (size_t k = 0; k < blocks_.size() && !abort_; ++k) {
      if (!notify[k]) continue;
      NotifyInputChanged(*blocks_[k], time, stats);
    }
    current_ = nullptr;
    if (abort_) return true;
  }
  // Blocks still busy after the last pass, without those merely downstream.
  std::vector<size_t> busy, looping;
  for (size_t k = 0; k < blocks_.size(); ++k)
    if (notify[k]) (inLoop_[k] ? looping : busy).push_back(k);
  ReportLoop(time, looping.empty() ? busy : looping);
  stats.loop = true;
  return false;
}

// The blocks and the variables they pass round among themselves.
void Engine::ReportLoop(int64_t time, const std::vector<size_t>& blocks) {
  std::vector<std::string> names, variables;
  for (size_t k : blocks) {
    names.push_back(blocks_[k]->entry->name);
    for (VarHandle out : blocks_[k]->Outputs())
      for (size_t r : blocks)
        if (std::find(blocks_[r]->Inputs().begin(), blocks_[r]->Inputs().end(), out) != blocks_[r]->Inputs().end()) {
          const std::string& v = store_->Get(out)->name;
          if (std::find(variables.begin(), variables.end(), v) == variables.end()) variables.push_back(v);
        }
  }
  ++errors_;
  Say(DescribeLoop(lang_, time, design_.maxPasses, names, variables));
}

// Per input-driven block, the input-driven blocks reading what it writes.
std::vector<std::vector<size_t>> Engine::Successors() const {
  std::vector<std::vector<size_t>> next(blocks_.size());
  for (size_t a = 0; a < blocks_.size(); ++a) {
    if (blocks_[a]->Activation() != kInputDriven) continue;
    for (VarHandle v : blocks_[a]->Outputs())
      for (size_t r : readers_[v - 1])
        if (std::find(next[a].begin(), next[a].end(), r) == next[a].end()) next[a].push_back(r);
  }
  return next;
}

// Strongly connected components (Tarjan) of the input-driven blocks: per
// block its component, -1 for the others; returns the number of components.
// The stack is its own: a chain of many thousand blocks must not exhaust
// the call stack.
int Engine::FindComponents(const std::vector<std::vector<size_t>>& next, std::vector<int>& comp) const {
  const size_t n = blocks_.size();
  std::vector<int> index(n, -1), low(n, 0);
  comp.assign(n, -1);
  std::vector<char> onStack(n, 0);
  std::vector<size_t> stack;
  std::vector<std::pair<size_t, size_t>> calls;  // block, next successor to look at
  int counter = 0, comps = 0;
  auto enter = [&](size_t v) {
    index[v] = low[v] = counter++;
    stack.push_back(v);
    onStack[v] = 1;
    calls.emplace_back(v, 0);
  };
  for (size_t root = 0; root < n; ++root) {
    if (blocks_[root]->Activation() != kInputDriven || index[root] >= 0) continue;
    enter(root);
    while (!calls.empty()) {
      auto& [v, i] = calls.back();
      if (i < next[v].size()) {
        const size_t w = next[v][i++];
        if (index[w] < 0) {
          enter(w);  // may move `calls`: v and i are not used after this
        } else if (onStack[w]) {
          low[v] = std::min(low[v], index[w]);
        }
        continue;
      }
      const size_t done = v;
      calls.pop_back();
      if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[done]);
      if (low[done] != index[done]) continue;
      size_t w;
      do {
        w = stack.back();
        stack.pop_back();
        onStack[w] = 0;
        comp[w] = comps;
      } while (w != done);
      ++comps;
    }
  }
  return comps;
}

// Strongly connected components of "writes a variable the other reads"
// among the input-driven blocks, emitted so that writers come before
// readers; among blocks free to go, the one listed first in the design.
void Engine::OrderBlocks() {
  const size_t n = blocks_.size();
  const std::vector<std::vector<size_t>> next = Successors();
  std::vector<int> comp;
  const int comps = FindComponents(next, comp);
  std::vector<Group> groups(static_cast<size_t>(comps));
  for (size_t v = 0; v < n; ++v)
    if (comp[v] >= 0) groups[static_cast<size_t>(comp[v])].blocks.push_back(v);
  std::vector<int> indegree(groups.size(), 0);
  std::vector<std::vector<size_t>> after(groups.size());
  for (size_t a = 0; a < n; ++a)
    for (size_t b : next[a]) {
      const auto ca = static_cast<size_t>(comp[a]), cb = static_cast<size_t>(comp[b]);
      if (ca == cb) {
        groups[ca].loop = true;  // also a block that reads its own output
      } else if (std::find(after[ca].begin(), after[ca].end(), cb) == after[ca].end()) {
        after[ca].push_back(cb);
        ++indegree[cb];
      }
    }
  inLoop_.assign(n, 0);
  for (const Group& g : groups)
    if (g.loop)
      for (size_t k : g.blocks) inLoop_[k] = 1;
  using Item = std::pair<size_t, size_t>;  // first block, group
  std::priority_queue<Item, std::vector<Item>, std::greater<>> ready;
  for (size_t g = 0; g < groups.size(); ++g)
    if (indegree[g] == 0) ready.emplace(groups[g].blocks.front(), g);
  groups_.clear();
  while (!ready.empty()) {
    const size_t g = ready.top().second;
    ready.pop();
    for (size_t h : after[g])
      if (--indegree[h] == 0) ready.emplace(groups[h].blocks.front(), h);
    groups_.push_back(std::move(groups[g]));
    if (!groups_.back().loop) groups_.back().single = blocks_[groups_.back().blocks.front()].get();
  }
}

bool Engine::Written(const SimBlock& b) const { return AnyWritten(*store_, b); }

void Engine::TraceCall(int64_t time, const SimBlock& b, const char* what, const int64_t* delay) const {
  std::string line = "t=" + std::to_string(time) + what + b.entry->name;
  if (delay != nullptr) line += " -> next in " + std::to_string(*delay);
  trace_(line);
}

inline void Engine::NotifyInputChanged(SimBlock& b, int64_t time, RunStats& stats) {
  if (tracing_) TraceCall(time, b, "   InputChanged ", nullptr);
  current_ = &b;
  b.core.InputChanged();
  ++stats.notifications;
  ++b.calls;
}

// The groups in order, each from its plan entry: a block is notified when
// one of its inputs (its first mask, then any in planInputs_) was written,
// upstream blocks' writes in this visit included.
inline bool Engine::Visit(int64_t time, RunStats& stats, Loop& loop) {
  if (loop.tracing) TraceWritten(time);
  bool ok = true;
  // A block's AbortRun ends the visit; only a call can make it, so it is
  // looked at after each.
  for (const PlanEntry* e = abort_ ? loop.planEnd : loop.plan; e != loop.planEnd; ++e) {
    if (e->loop != nullptr) [[unlikely]] {
      if (!SettleGroup(*e->loop, time, stats)) {
        ok = false;
        break;
      }
      if (abort_) {
        abortPlanIndex_ = e->index;
        break;
      }
      continue;
    }
    uint64_t any = loop.written[e->first.word] & e->first.bits;
    for (uint32_t k = e->from; k < e->to; ++k) any |= loop.written[loop.inputs[k].word] & loop.inputs[k].bits;
    if (any == 0) continue;
    if (loop.tracing) TraceCall(time, *e->block, "   InputChanged ", nullptr);
    ++loop.calls;
    // A call the block said it would do nothing in is counted and traced, not made.
    if (e->gate != nullptr && !e->gate->IsHigh()) continue;
    current_ = e->block;
    e->block->core.InputChanged();
    if (abort_) [[unlikely]] {
      abortPlanIndex_ = e->index;
      break;
    }
  }
  current_ = nullptr;
  return ok;
}

// A loop group: first the members whose inputs were written, then, pass
// after pass, those whose inputs changed in the pass before.
bool Engine::SettleGroup(Group& g, int64_t time, RunStats& stats) {
  const std::vector<HostVariable>& vars = store_->All();
  std::vector<char>& notify = notify_;
  notify.resize(blocks_.size());
  for (size_t k : g.blocks) notify[k] = Written(*blocks_[k]) ? 1 : 0;
  for (int pass = 0; pass < design_.maxPasses; ++pass) {
    bool any = false;
    for (size_t k : g.blocks) any = any || notify[k] != 0;
    if (!any) return true;
    for (size_t k : g.blocks)
      for (VarHandle h : blocks_[k]->Outputs()) passStart_[h - 1] = vars[h - 1].changes;
    if (trace_) trace_("t=" + std::to_string(time) + " loop pass " + std::to_string(pass + 1));
    for (size_t k : g.blocks) {
      if (!notify[k] || abort_) continue;
      notify[k] = 0;
      NotifyInputChanged(*blocks_[k], time, stats);
    }
    current_ = nullptr;
    if (abort_) return true;
    for (size_t k : g.blocks)
      for (VarHandle h : blocks_[k]->Outputs())
        if (vars[h - 1].changes != passStart_[h - 1])
          for (size_t r : readers_[h - 1])
            if (std::find(g.blocks.begin(), g.blocks.end(), r) != g.blocks.end()) notify[r] = 1;
  }
  std::vector<size_t> looping;
  for (size_t k : g.blocks)
    if (notify[k]) looping.push_back(k);
  ReportLoop(time, looping.empty() ? g.blocks : looping);
  stats.loop = true;
  return false;
}

// The variables written at this time point, before the blocks are visited.
void Engine::TraceWritten(int64_t time) const {
  const std::vector<HostVariable>& vars = store_->All();
  std::string written;
  for (size_t i = 0; i < vars.size(); ++i)
    if (store_->IsWritten(static_cast<VarHandle>(i + 1))) written += " " + vars[i].name + "=" + TextOf(vars[i]);
  if (!written.empty()) trace_("t=" + std::to_string(time) + " written:" + written);
}

// Value changes are counted once, at the end of the run (CountEvents).
inline void Engine::EndTimePoint(const Loop& loop) {
  if (loop.events) CountCalls();
  loop.store.ClearWritten();
}

// Events scheduling: blocks notified more than once, or not at all though
// their inputs were written.
void Engine::CountCalls() {
  for (auto& b : blocks_) {
    if (b->calls > 1) ++b->repeated;
    if (b->calls == 0 && b->Activation() == kInputDriven && Written(*b)) ++b->skipped;
    b->calls = 0;
  }
}

// The value changes since the last settle pass counted them.
void Engine::CountEvents(RunStats& stats) {
  const std::vector<HostVariable>& vars = store_->All();
  for (size_t i = 0; i < vars.size(); ++i) {
    stats.events += vars[i].changes - mark_[i];
    mark_[i] = vars[i].changes;
  }
}

void Engine::SummarizeCounts(RunStats& stats) {
  for (const auto& b : blocks_)
    if (b->skipped > 0 || b->repeated > 0) {
      ++warnings_;
      stats.summary.push_back(DescribeEventEffects(lang_, b->entry->name, b->skipped, b->repeated));
    }
  for (const auto& b : blocks_)
    for (std::string& line : b->core.TakeValueProblems()) {
      ++warnings_;
      stats.summary.push_back(std::move(line));
    }
}

inline void Engine::Step(SimBlock& b, int64_t time, Loop& loop) {
  current_ = &b;
  const int64_t delay = b.core.TimeStep(time);
  ++loop.steps;
  if (loop.tracing) TraceCall(time, b, " TimeStep ", &delay);
  // A block that asks for no positive delay is not stepped again.
  b.next = delay > 0 && time <= Stimulus::kNever - delay ? time + delay : Stimulus::kNever;
}

// Flat per group: its block and model, and its inputs as bit masks of the
// store's written words.
void Engine::PlanVisit() {
  plan_.clear();
  planInputs_.clear();
  for (Group& g : groups_) {
    PlanEntry e;
    e.index = static_cast<uint32_t>(plan_.size());
    if (g.loop) {
      e.loop = &g;
    } else {
      e.block = g.single;
      if (const HostVariable* gate = store_->Get(g.single->core.HighGate())) e.gate = &gate->value;
      e.from = static_cast<uint32_t>(planInputs_.size());
      for (VarHandle h : g.single->Inputs()) {
        const uint32_t word = (h - 1) / 64;
        const uint64_t bit = uint64_t{1} << ((h - 1) % 64);
        auto same = std::find_if(planInputs_.begin() + e.from, planInputs_.end(),
                                 [&](const InputMask& m) { return m.word == word; });
        if (same != planInputs_.end())
          same->bits |= bit;
        else
          planInputs_.push_back({word, bit});
      }
      // The first word is tested in the entry itself.
      if (planInputs_.size() > e.from) {
        e.first = planInputs_[e.from];
        planInputs_.erase(planInputs_.begin() + e.from);
      }
      e.to = static_cast<uint32_t>(planInputs_.size());
    }
    plan_.push_back(e);
  }
}

// Readers, the dataflow order, the parameters.
void Engine::PrepareRun() {
  readers_.assign(store_->Size(), {});
  for (size_t k = 0; k < blocks_.size(); ++k) {
    if (blocks_[k]->Activation() != kInputDriven) continue;
    for (VarHandle h : blocks_[k]->Inputs()) {
      auto& r = readers_[h - 1];
      if (std::find(r.begin(), r.end(), k) == r.end()) r.push_back(k);
    }
  }
  countEvents_ = design_.scheduling != Design::Scheduling::Dataflow;
  OrderBlocks();  // events use it only to name a loop
  PlanVisit();
  tracing_ = static_cast<bool>(trace_);
  PlanStepAhead();
  passStart_.assign(store_->Size(), 0);
  for (auto& b : blocks_) {
    current_ = b.get();
    b->core.LoadParameters();
  }
  current_ = nullptr;
}

// Stimuli take their values at time 0, then every block starts; what Start
// wrote settles by change of value in both modes: no sample has been taken
// yet. False when that does not settle.
bool Engine::StartBlocks(RunStats& stats) {
  for (size_t i = 0; i < stimuli_.size(); ++i)
    while (stimuli_[i].Next() == 0) {
      HostVariable* v = store_->Get(stimulusTargets_[i]);
      AssignText(*v, stimuli_[i].Fire().c_str());
    }
  mark_.assign(store_->Size(), 0);
  for (size_t i = 0; i < store_->Size(); ++i) mark_[i] = store_->All()[i].changes;
  timed_.clear();
  for (auto& b : blocks_) {
    current_ = b.get();
    const uint64_t reports = b->core.Errors();
    b->core.Start();
    // A recorder that cannot open its file says so at Start.
    b->recorded = !RecordingName(*b->entry).empty() && b->core.Errors() == reports;
    b->next = b->Activation() == kTimeDriven ? 0 : Stimulus::kNever;
    if (b->Activation() == kTimeDriven) timed_.push_back(b.get());
  }
  current_ = nullptr;
  const bool ok = !abort_ && Settle(0, stats);
  store_->ClearWritten();
  for (auto& b : blocks_) b->calls = 0;  // settling Start counts for no time point
  return ok;
}

// The earliest stimulus change or block step.
inline int64_t Engine::NextTime(const Loop& loop) {
  int64_t t = Stimulus::kNever;
  for (size_t i = 0; i < loop.stimulusCount; ++i) t = std::min(t, loop.stimuli[i].Next());
  for (size_t i = 0; i < loop.timedCount; ++i) t = std::min(t, loop.timed[i]->next);
  return t;
}

// Stimuli, due steps, notifications; false when the variables do not
// settle. `next` becomes the time point after this one.
inline bool Engine::RunTimePoint(int64_t t, RunStats& stats, Loop& loop, int64_t& next) {
  VariableStore& store = loop.store;
  store.SetTimePoint(t);
  int64_t earliest = Stimulus::kNever;
  for (size_t i = 0; i < loop.stimulusCount; ++i) {
    Stimulus& s = loop.stimuli[i];
    while (s.Next() == t)
      if (s.IsClock())
        store.WriteChar(loop.targets[i], s.FireClock());
      else
        store.Write(loop.targets[i], s.Fire().c_str());
    earliest = std::min(earliest, s.Next());
  }
  for (size_t i = 0; i < loop.timedCount; ++i) {
    SimBlock& b = *loop.timed[i];
    if (b.next == t && !abort_) Step(b, t, loop);
    earliest = std::min(earliest, b.next);
  }
  current_ = nullptr;
  next = earliest;
  return loop.events ? Settle(t, stats) : Visit(t, stats, loop);
}

// The blocks that keep to themselves and feed only such blocks, under
// dataflow with no trace and no loop, where no variable has two writers; a
// block that shares a source only where it is the one.
void Engine::PlanStepAhead() {
  headPlan_ = plan_;
  aheadBlocks_.clear();
  ahead_.Build({}, *store_);
  if (countEvents_ || tracing_) return;
  for (const PlanEntry& e : plan_)
    if (e.loop != nullptr) return;
  std::vector<int> writers(store_->Size(), 0);
  std::vector<char> readByTimed(store_->Size(), 0);
  for (VarHandle h : stimulusTargets_) ++writers[h - 1];
  for (const auto& b : blocks_) {
    for (VarHandle h : b->Outputs()) ++writers[h - 1];
    if (b->Activation() != kInputDriven)
      for (VarHandle h : b->Inputs()) readByTimed[h - 1] = 1;
  }
  if (std::any_of(writers.begin(), writers.end(), [](int n) { return n > 1; })) return;
  // Blocks that share a source keep the order of their steps among them.
  const auto sharing =
      std::count_if(blocks_.begin(), blocks_.end(), [](const auto& b) { return b->core.SharesSource(); });
  // From the last entry back: every reader of a block's outputs comes later.
  std::vector<char> ahead(blocks_.size(), 0);
  for (size_t p = plan_.size(); p-- > 0;) {
    const size_t k = groups_[p].blocks.front();
    bool keeps = blocks_[k]->core.StepsAhead() && (sharing <= 1 || !blocks_[k]->core.SharesSource());
    for (VarHandle h : blocks_[k]->Outputs()) {
      keeps = keeps && !readByTimed[h - 1];
      for (size_t r : readers_[h - 1]) keeps = keeps && ahead[r];
    }
    ahead[k] = keeps ? 1 : 0;
  }
  std::vector<StepAhead::Member> members;
  headPlan_.clear();
  for (size_t p = 0; p < plan_.size(); ++p) {
    SimBlock* b = blocks_[groups_[p].blocks.front()].get();
    if (ahead[groups_[p].blocks.front()] == 0) {
      headPlan_.push_back(plan_[p]);
      continue;
    }
    members.push_back({&b->core, b->core.HighGate(), static_cast<uint32_t>(p)});
    aheadBlocks_.push_back(b);
  }
  ahead_.Build(std::move(members), *store_);
}

// Time points from `t` up to a stretch's worth, the visits without the
// blocks stepped ahead, then those blocks over them; the time points that
// ran. Ends early at the end time and at an abort.
uint32_t Engine::RunStretch(int64_t t, int64_t endTime, RunStats& stats, Loop& loop, int64_t& now, uint64_t& timePoints,
                            int64_t& next) {
  ahead_.Begin();
  abortPlanIndex_ = 0;
  uint32_t n = 0;
  for (;;) {
    now = t;
    if (t > 0) ++timePoints;
    RunTimePoint(t, stats, loop, next);  // no loop to settle
    ahead_.Note(n, t, loop.store);
    EndTimePoint(loop);
    ++n;
    if (abort_ || n == StepAhead::kStretch || next >= endTime) break;
    t = next;
  }
  if (n < StepAhead::kStretch) ahead_.End(n);
  for (size_t i = 0; i < ahead_.Size(); ++i) {
    current_ = aheadBlocks_[i];
    loop.calls += ahead_.Step(i, n, abort_, abortPlanIndex_, loop.store);
  }
  current_ = nullptr;
  return n;
}

RunStats Engine::Run(Recorder* recorder, const std::function<void(int64_t)>& progress) {
  const FloatingPointGuard libraryState;  // what the hosts promised the blocks
  RunStats stats;
  PrepareRun();
  bool ok = StartBlocks(stats);
  if (recorder != nullptr) recorder->Begin(*store_);
  // Blocks are stepped ahead only where no recorder samples every time point.
  const bool ahead = ahead_.Active() && recorder == nullptr;
  const std::vector<PlanEntry>& visited = ahead ? headPlan_ : plan_;
  // Nothing here changes while the loop runs; in locals it is not read
  // again from the engine after every call into a block.
  Loop loop{*store_,
            timed_.data(),
            timed_.size(),
            stimuli_.data(),
            stimulusTargets_.data(),
            stimuli_.size(),
            visited.data(),
            visited.data() + visited.size(),
            planInputs_.data(),
            store_->WrittenBits(),
            tracing_,
            countEvents_};
  const int64_t endTime = design_.endTime;
  int64_t now = 0;
  uint64_t timePoints = 1;
  int64_t next = 0;
  const bool hasProgress = static_cast<bool>(progress), hasStop = static_cast<bool>(stop_);
  const bool checking = hasProgress || hasStop;
  uint32_t untilCheck = kCheckEvery, checks = 0;
  for (int64_t t = NextTime(loop); ok && !abort_; t = next) {
    if (t >= endTime) break;
    if (ahead) {
      // A stretch ends where the check is asked, or the run ends with it.
      if (RunStretch(t, endTime, stats, loop, now, timePoints, next) < StepAhead::kStretch || !checking) continue;
    } else {
      now = t;
      if (t > 0) ++timePoints;
      ok = RunTimePoint(t, stats, loop, next);
      EndTimePoint(loop);
      if (recorder != nullptr) recorder->Sample(t, *store_);
      if (!checking || --untilCheck != 0) [[likely]]
        continue;
      untilCheck = kCheckEvery;
    }
    if (hasProgress && ++checks % kChecksPerProgress == 0) progress(now);
    if (hasStop && stop_()) {
      stats.stopped = true;
      break;
    }
  }
  stats.timePoints = timePoints;
  stats.steps += loop.steps;
  stats.notifications += loop.calls;
  stats.endTime = abort_ || !ok || stats.stopped ? now : design_.endTime;
  stats.aborted = abort_;
  CountEvents(stats);
  if (recorder != nullptr) recorder->End(stats.endTime);
  FinishBlocks();
  SummarizeCounts(stats);
  stats.errors = errors_;
  stats.warnings = warnings_;
  for (const auto& b : blocks_) {
    stats.errors += b->core.Errors();
    stats.warnings += b->core.Warnings();
  }
  return stats;
}

void Engine::FinishBlocks() {
  if (finished_) return;
  finished_ = true;
  for (auto& b : blocks_) {
    current_ = b.get();
    b->core.Finish();
  }
  current_ = nullptr;
}
