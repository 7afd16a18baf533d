#include "BlockSession.h"

#include <algorithm>
#include <string_view>

#include "host/design/Design.h"
#include "host/design/Messages.h"
#include "host/design/RecordChecks.h"
#include "host/engine/PluginLoader.h"
#include "numeric/ValueText.h"

namespace {

const FieldValue* Given(const BlockSetup& setup, std::string_view name) {
  for (const auto& [field, value] : setup.fields)
    if (field == name) return &value;
  return nullptr;
}

// The record the setup asks for: defaults, the named fields in turn, and a
// list's count taken from the list when the count is not given.
std::vector<uint8_t> BuildRecord(const BlockType& type, const BlockSetup& setup) {
  const RecordLayout& layout = RecordOf(type.blockClass);
  std::vector<uint8_t> record = DefaultRecord(layout);
  const std::string words = "block type " + type.exportName;
  for (const auto& [name, value] : setup.fields) {
    const RecordField* field = FindField(layout, name);
    if (field == nullptr || field->libraryState || !TypeReadsField(type, name)) {
      std::string known;
      for (const RecordField& f : layout.fields)
        if (!f.libraryState && TypeReadsField(type, f.name)) known += std::string(known.empty() ? "" : ", ") + f.name;
      throw BlockSetupError(words + " never reads field \"" + name +
                            "\" (it reads: " + (known.empty() ? "none" : known) + ")");
    }
    std::string error;
    if (!SetField(layout, record.data(), *field, value, error))
      throw BlockSetupError(words + ", field \"" + name + "\": " + error);
  }
  // Lists of one count given without it must agree with the first of them.
  std::map<std::string_view, const char*> countFrom;
  for (const RecordField& list : layout.fields) {
    const FieldValue* given = list.IsCounted() ? Given(setup, list.name) : nullptr;
    const auto* values = given != nullptr ? std::get_if<std::vector<double>>(given) : nullptr;
    if (values == nullptr) continue;
    const RecordField& count = CountOf(list);
    std::string error;
    const bool derived = Given(setup, count.name) == nullptr;
    if (derived && countFrom.emplace(count.name, list.name).second) {
      if (!SetField(layout, record.data(), count, FieldValue(static_cast<int64_t>(values->size())), error))
        throw BlockSetupError(words + ", field \"" + list.name + "\": " + error);
      continue;
    }
    const FieldValue n = GetField(layout, record.data(), count);
    const std::string problem =
        ListCountProblem(list, values->size(), std::get_if<int64_t>(&n) != nullptr ? std::get<int64_t>(n) : 0,
                         derived ? countFrom[count.name] : nullptr);
    if (!problem.empty()) throw BlockSetupError(words + ": " + problem);
  }
  return record;
}

// A session's variable for a port: a clock for "Clk", a Line for a port
// meant for Lines only, a Bus otherwise.
uint16_t PortKind(const PortSpec& p) {
  if (std::string_view(p.name) == "Clk") return vkClk;
  return p.kinds == KindsOf(vkLine) ? vkLine : vkBus;
}

// A session's port width: one bit for a clock or a one-bit port, the
// multiple of `width` a port follows, `width` otherwise.
int32_t PortVariableWidth(const PortSpec& p, int32_t width) {
  if (IsOneBitPort(p)) return 1;
  return p.width.follows >= 0 ? p.width.factor * width : width;
}

}  // namespace

bool IsOneBitPort(const PortSpec& p) {
  return std::string_view(p.name) == "Clk" || (p.width.min == 1 && p.width.max == 1);
}

BlockSession::BlockSession(PluginLoader& plugin, const BlockSetup& setup)
    : plugin_(plugin), signValue_(setup.signValue) {
  type_ = FindBlockType(setup.exportName);
  if (type_ == nullptr) throw BlockSetupError("unknown block type \"" + setup.exportName + "\" (see block_types())");
  if (setup.width < 1 || setup.width > 32)
    throw BlockSetupError("width " + std::to_string(setup.width) + " is out of range (1 to 32 bits)");
  const std::span<const PortSpec> ports = PortsOfType(*type_);
  for (const std::string& name : setup.optionalInputs) {
    const auto p = std::find_if(ports.begin(), ports.end(), [&](const PortSpec& s) { return name == s.name; });
    if (p == ports.end() || p->direction != PortDirection::In) {
      std::string known;
      for (const PortSpec& s : ports)
        if (s.direction == PortDirection::In) known += std::string(known.empty() ? "" : ", ") + s.name;
      throw BlockSetupError("block type " + type_->exportName + " has no input port \"" + name +
                            "\" (inputs: " + (known.empty() ? "none" : known) + ")");
    }
  }
  const std::vector<uint8_t> record = BuildRecord(*type_, setup);
  BlockEntry entry;
  entry.name = type_->exportName;
  entry.exportName = type_->exportName;
  entry.record = record;
  const char* problemField = nullptr;
  const std::string problem = RecordProblem(entry, *type_, problemField);
  if (!problem.empty()) throw BlockSetupError(problem);

  core_ = std::make_unique<SteppedBlock>(store_, *type_, type_->exportName, HostLanguage::English,
                                         static_cast<SteppedBlock::Listener&>(*this));
  Connect(setup);
  const InitExport init = plugin_.Init(type_->exportName.c_str());
  if (init == nullptr) throw BlockSetupError(DescribeMissingExport(HostLanguage::English, "", type_->exportName));
  const bool wave = type_->blockClass == BlockClass::WaveLoad || type_->blockClass == BlockClass::WaveSave;
  store_->SetTime(0);
  plugin_.SetMessageHandler(&BlockSession::OnLibraryMessage, this);
  const bool valid = core_->Construct(
      init, {setup.signValue, record, 1, wave ? setup.folder : plugin_.Directory(), setup.typedValues});
  plugin_.SetMessageHandler(nullptr, nullptr);
  if (!valid) {
    std::string why = "block type " + type_->exportName + " is not valid";
    for (const std::string& m : messages_) why += "; " + m;
    throw BlockSetupError(why);
  }
}

// Every output and the required and chosen inputs, each on a variable of its own.
void BlockSession::Connect(const BlockSetup& setup) {
  for (const PortSpec& p : PortsOfType(*type_)) {
    const bool in = p.direction == PortDirection::In;
    const bool wanted =
        !in || p.required ||
        std::find(setup.optionalInputs.begin(), setup.optionalInputs.end(), p.name) != setup.optionalInputs.end();
    if (!wanted) continue;
    HostVariable v;
    v.name = p.name;
    v.kind = PortKind(p);
    v.width = PortVariableWidth(p, setup.width);
    v.flags = in ? 0 : kWritableFlag;
    v.value = ValueBits::OfBits(0, v.width);
    v.signMode = setup.signValue;
    widths_[p.name] = v.width;
    const VarHandle h = store_->Add(std::move(v));
    if (in) {
      inputs_.push_back(p.name);
      core_->ConnectInput(p.name, h);
    } else {
      outputs_.push_back(p.name);
      core_->ConnectOutput(p.name, h);
    }
  }
}

BlockSession::~BlockSession() { Close(); }

void BlockSession::Close() {
  if (Closed()) return;
  plugin_.SetMessageHandler(&BlockSession::OnLibraryMessage, this);
  core_->Finish();
  plugin_.SetMessageHandler(nullptr, nullptr);
}

int32_t BlockSession::PortWidth(const std::string& port) const {
  const auto w = widths_.find(port);
  return w != widths_.end() ? w->second : -1;
}

std::pair<int64_t, int64_t> BlockSession::PortRange(const std::string& port) const {
  const int64_t w = std::max(PortWidth(port), 1);
  // One-bit strobes and clocks carry 0 or 1 whatever the sign mode.
  if (w == 1) return {0, 1};
  if (signValue_ == 0) return {-((int64_t{1} << (w - 1)) - 1), (int64_t{1} << (w - 1)) - 1};
  if (w >= 32) return {INT32_MIN, UINT32_MAX};
  return {0, (int64_t{1} << w) - 1};
}

void BlockSession::OnLibraryMessage(int32_t severity, const char* text, void* context) {
  static_cast<BlockSession*>(context)->core_->LibraryMessage(severity, text);
}

std::vector<std::string> BlockSession::TakeMessages() {
  std::vector<std::string> m;
  m.swap(messages_);
  return m;
}

// A block that writes over its own inputs in Start (a WAVE recorder clears
// "C1") is given the sample again and notified, as a block whose upstream
// writes at time 0 is notified after Start in a design.
void BlockSession::StartRun(const std::vector<const int64_t*>& inputs, size_t n) {
  SteppedBlock& core = *core_;
  core.LoadParameters();
  std::vector<uint64_t> writes;
  for (VarHandle h : core.Inputs()) writes.push_back(store_->Get(h)->writes);
  core.Start();
  bool overwritten = false;
  for (size_t i = 0; i < writes.size(); ++i)
    overwritten = overwritten || store_->Get(core.Inputs()[i])->writes != writes[i];
  if (!overwritten || core.TimeDriven()) return;
  for (size_t i = 0; i < inputs.size(); ++i) core.Feed(i, inputs[i][n]);
  core.InputChanged();
}

// Sample 0 opens the run; every sample's inputs are written first, as the
// engine's stimuli and upstream blocks write them before a block is called.
void BlockSession::Process(size_t count, const std::vector<const int64_t*>& inputs,
                           const std::vector<int64_t*>& outputs) {
  if (Closed() || count == 0) return;
  SteppedBlock& core = *core_;
  plugin_.SetMessageHandler(&BlockSession::OnLibraryMessage, this);
  for (size_t n = 0; n < count && !aborted_;) {
    const bool arrays = useArraySteps_ && started_ && !core.TimeDriven() && core.HasArraySteps();
    const size_t made = arrays ? StepArrays(inputs, outputs, n, count) : 0;
    if (made == 0) StepOne(inputs, outputs, n++);
    n += made;
  }
  for (std::string& line : core.TakeValueProblems()) messages_.push_back(std::move(line));
  plugin_.SetMessageHandler(nullptr, nullptr);
}

void BlockSession::StepOne(const std::vector<const int64_t*>& inputs, const std::vector<int64_t*>& outputs, size_t n) {
  SteppedBlock& core = *core_;
  sample_ = started_ ? sample_ + 1 : 0;
  const int64_t time = sample_;
  store_->SetTimePoint(time);
  for (size_t i = 0; i < inputs.size(); ++i) core.Feed(i, inputs[i][n]);
  if (!started_) {
    started_ = true;
    StartRun(inputs, n);
    if (core.TimeDriven()) core.TimeStep(time);
  } else if (core.TimeDriven()) {
    core.TimeStep(time);
  } else {
    core.InputChanged();
  }
  store_->ClearWritten();
  for (size_t j = 0; j < outputs.size(); ++j) outputs[j][n] = core.Output(j);
}

// In chunks, so that the 32-bit copies stay small; the inputs' variables
// end holding the last sample, as after the calls one by one.
size_t BlockSession::StepArrays(const std::vector<const int64_t*>& inputs, const std::vector<int64_t*>& outputs,
                                size_t from, size_t to) {
  constexpr size_t kChunk = 4096;
  SteppedBlock& core = *core_;
  arrayIn_.resize(inputs.size());
  arrayOut_.resize(outputs.size());
  std::vector<int32_t*> in, out;
  for (auto& a : arrayIn_) in.push_back((a.resize(kChunk), a.data()));
  for (auto& a : arrayOut_) out.push_back((a.resize(kChunk), a.data()));
  size_t n = from;
  while (n < to) {
    const size_t c = std::min(kChunk, to - n);
    // Inputs are in range: their low 32 bits are what the block reads back.
    for (size_t i = 0; i < inputs.size(); ++i)
      for (size_t k = 0; k < c; ++k) in[i][k] = static_cast<int32_t>(static_cast<uint64_t>(inputs[i][n + k]));
    store_->SetTimePoint(sample_ + 1);
    if (!core.InputChangedOver(static_cast<int32_t>(c), in.data(), out.data())) break;
    for (size_t j = 0; j < outputs.size(); ++j)
      for (size_t k = 0; k < c; ++k) outputs[j][n + k] = out[j][k];
    sample_ += static_cast<int64_t>(c);
    n += c;
  }
  if (n > from) {
    store_->SetTimePoint(sample_);
    for (size_t i = 0; i < inputs.size(); ++i) core.Feed(i, inputs[i][n - 1]);
    store_->ClearWritten();
  }
  return n - from;
}
