#include "Engine.h"

#include <algorithm>

#include "BlockTypes.h"
#include "PluginLoader.h"
#include "Recorder.h"
#include "numeric/RecordFields.h"

namespace {
// More reports than this from one block are counted, not shown.
constexpr uint64_t kReportsShown = 20;
}  // namespace

struct Engine::SimBlock {
  const BlockEntry* entry = nullptr;
  const BlockType* type = nullptr;
  std::unique_ptr<InProcessHost> host;
  IModel* model = nullptr;
  int32_t activation = 0;
  std::vector<VarHandle> inputs;
  int64_t next = Stimulus::kNever;  // next TimeStep of a time-driven block
  uint64_t reports = 0;
};

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
    hv.value = v.initial;
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
  const std::string block = self->current_ != nullptr ? self->current_->entry->name : std::string();
  self->Say(DescribeLibraryMessage(self->lang_, block, severity, text != nullptr ? text : ""));
}

void Engine::OnReport(SimBlock& b, const HostReport& r) {
  if (r.abort) {
    abort_ = true;
    Say(DescribeAbort(lang_, b.entry->name));
    return;
  }
  if (++b.reports > kReportsShown) return;
  const auto handle = static_cast<VarHandle>(r.argument);
  std::string port, variable;
  if (r.code == rcWrongKindOrFlags || r.code == rcWrongWidth) {
    port = b.host->PortOf(handle);
    if (const HostVariable* v = store_->Get(handle)) variable = v->name;
  }
  Say(DescribeReport(lang_, b.entry->name, r.code, port, variable, r.text));
}

// A wave block keeps at most 55 characters of its folder and file name.
void Engine::WarnLongWaveName(const BlockEntry& entry, const std::string& dir) {
  const RecordLayout& layout = WaveRecordLayout();
  const RecordField* field = FindField(layout, "FileName");
  if (field == nullptr || entry.record.size() != layout.size) return;
  const FieldValue value = GetField(layout, entry.record.data(), *field);
  const auto* name = std::get_if<std::string>(&value);
  if (name == nullptr || name->find(':') != std::string::npos) return;
  const std::string path = dir + *name;
  if (path.size() > 55) Say(DescribeLongWaveName(lang_, entry.name, path));
}

bool Engine::Build() {
  if (plugin_ != nullptr) {
    plugin_->SetLanguage(design_.language.c_str());
    plugin_->SetMessageHandler(&Engine::OnLibraryMessage, this);
  }
  const std::string libraryDir = !design_.libraryDirectory.empty() ? design_.libraryDirectory
                                 : plugin_ != nullptr                ? plugin_->Directory()
                                                                     : std::string("./");
  bool ok = true;
  for (const BlockEntry& entry : design_.blocks) {
    auto b = std::make_unique<SimBlock>();
    b->entry = &entry;
    b->type = FindBlockType(entry.exportName);
    b->host = std::make_unique<InProcessHost>(store_);
    InProcessHost& host = *b->host;
    host.AddRef();  // the host object is ours; blocks only borrow it
    for (const auto* ports : {&entry.inputs, &entry.outputs})
      for (const auto& [port, var] : *ports) host.MapPort(port, store_->Find(var));
    for (const auto& [port, var] : entry.inputs) b->inputs.push_back(store_->Find(var));
    host.SetIntParameter("SignValue", entry.signValue);
    host.SetRecord(entry.record);
    host.SetSamplePeriod(static_cast<long double>(design_.samplePeriod));
    host.SetTime(0);
    std::string dir = libraryDir;
    if (b->type != nullptr && b->type->blockClass == BlockClass::WaveLoad && !loadFolder_.empty()) dir = loadFolder_;
    if (b->type != nullptr && b->type->blockClass == BlockClass::WaveSave && !saveFolder_.empty()) dir = saveFolder_;
    host.SetLibraryDirectory(dir);
    if (b->type != nullptr && (b->type->blockClass == BlockClass::WaveLoad || b->type->blockClass == BlockClass::WaveSave))
      WarnLongWaveName(entry, dir);
    SimBlock* raw = b.get();
    host.SetReportListener([this, raw](const HostReport& r) { OnReport(*raw, r); });
    blocks_.push_back(std::move(b));

    const InitExport init = lookup_          ? lookup_(entry.exportName)
                            : plugin_ != nullptr ? plugin_->Init(entry.exportName.c_str())
                                                 : nullptr;
    if (init == nullptr) {
      Say(DescribeMissingExport(lang_, entry.name, entry.exportName));
      ok = false;
      continue;
    }
    current_ = raw;
    IPELMOR* ref = &host;
    IModel** self = init(&ref, 0);
    raw->model = self != nullptr ? *self : nullptr;
    if (raw->model != nullptr) raw->model->AddRef();
    if (raw->model == nullptr || !raw->model->IsValid()) {
      Say(DescribeInvalid(lang_, entry.name, entry.exportName));
      ok = false;
    } else {
      raw->activation = raw->model->GetActivation();
    }
    current_ = nullptr;
  }
  return ok;
}

int32_t Engine::SignModeOf(const std::string& variable) const {
  for (const BlockEntry& b : design_.blocks)
    for (const auto& [port, var] : b.outputs)
      if (var == variable) return b.signValue;
  for (const BlockEntry& b : design_.blocks)
    for (const auto& [port, var] : b.inputs)
      if (var == variable) return b.signValue;
  return 0;
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
      if (trace_) changed += " " + vars[i].name + "=" + vars[i].value;
    }
    if (!any) return true;
    if (trace_) trace_("t=" + std::to_string(time) + " pass " + std::to_string(pass + 1) + ": changed" + changed);
    for (size_t k = 0; k < blocks_.size() && !abort_; ++k) {
      if (!notify[k]) continue;
      if (trace_) trace_("t=" + std::to_string(time) + "   InputChanged " + blocks_[k]->entry->name);
      current_ = blocks_[k].get();
      blocks_[k]->model->InputChanged();
      ++stats.notifications;
    }
    current_ = nullptr;
    if (abort_) return true;
  }
  Say(DescribeLoop(lang_, time, design_.maxPasses));
  stats.loop = true;
  return false;
}

RunStats Engine::Run(Recorder* recorder, const std::function<void(int64_t)>& progress) {
  RunStats stats;
  readers_.assign(store_->Size(), {});
  for (size_t k = 0; k < blocks_.size(); ++k) {
    if (blocks_[k]->activation != kInputDriven) continue;
    for (VarHandle h : blocks_[k]->inputs) {
      auto& r = readers_[h - 1];
      if (std::find(r.begin(), r.end(), k) == r.end()) r.push_back(k);
    }
  }
  for (auto& b : blocks_) {
    current_ = b.get();
    b->model->LoadParameters();
  }
  // Stimuli take their values at time 0 before the run starts.
  for (size_t i = 0; i < stimuli_.size(); ++i)
    while (stimuli_[i].Next() == 0) {
      HostVariable* v = store_->Get(stimulusTargets_[i]);
      const std::string& value = stimuli_[i].Fire();
      if (v->value != value) v->value = value;
    }
  mark_.assign(store_->Size(), 0);
  for (size_t i = 0; i < store_->Size(); ++i) mark_[i] = store_->All()[i].changes;
  for (auto& b : blocks_) {
    current_ = b.get();
    b->model->Start();
    b->next = b->activation == kTimeDriven ? 0 : Stimulus::kNever;
  }
  current_ = nullptr;
  bool ok = !abort_ && Settle(0, stats);
  stats.timePoints = 1;
  if (recorder != nullptr) recorder->Begin(*store_);

  int64_t now = 0;
  uint64_t sinceProgress = 0;
  while (ok && !abort_) {
    int64_t t = Stimulus::kNever;
    for (const Stimulus& s : stimuli_) t = std::min(t, s.Next());
    for (const auto& b : blocks_) t = std::min(t, b->next);
    if (t >= design_.endTime) break;
    now = t;
    if (t > 0) ++stats.timePoints;
    for (auto& b : blocks_) b->host->SetTime(static_cast<long double>(t));
    for (size_t i = 0; i < stimuli_.size(); ++i)
      while (stimuli_[i].Next() == t) {
        HostVariable* v = store_->Get(stimulusTargets_[i]);
        const std::string& value = stimuli_[i].Fire();
        if (v->value != value) {
          v->value = value;
          ++v->changes;
        }
      }
    for (auto& b : blocks_) {
      if (b->next != t || abort_) continue;
      current_ = b.get();
      const int64_t delay = b->model->TimeStep();
      ++stats.steps;
      if (trace_) trace_("t=" + std::to_string(t) + " TimeStep " + b->entry->name + " -> next in " + std::to_string(delay));
      // A block that asks for no positive delay is not stepped again.
      b->next = delay > 0 && t <= Stimulus::kNever - delay ? t + delay : Stimulus::kNever;
    }
    current_ = nullptr;
    ok = Settle(t, stats);
    if (recorder != nullptr) recorder->Sample(t, *store_);
    if (progress && ++sinceProgress >= 4096) {
      sinceProgress = 0;
      progress(t);
    }
  }
  stats.endTime = abort_ || !ok ? now : design_.endTime;
  stats.aborted = abort_;
  if (recorder != nullptr) recorder->End(stats.endTime);
  FinishBlocks();
  return stats;
}

void Engine::FinishBlocks() {
  if (finished_) return;
  finished_ = true;
  for (auto& b : blocks_) {
    if (b->reports > kReportsShown) Say(DescribeSuppressed(lang_, b->entry->name, b->reports - kReportsShown));
    if (b->model == nullptr) continue;
    current_ = b.get();
    b->model->Done();
    b->model->Release();
    b->model = nullptr;
  }
  current_ = nullptr;
}
