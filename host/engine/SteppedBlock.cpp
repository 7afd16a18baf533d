#include "SteppedBlock.h"

#include "framework/Errors.h"
#include "host/design/RecordFields.h"

namespace {
// More reports than this from one block are counted, not shown.
constexpr uint64_t kReportsShown = 20;

// Free-running generators but Func play a table filled at each parameter load.
bool PlaysTable(const BlockType& type, const std::vector<uint8_t>& record) {
  if (type.blockClass != BlockClass::Generator || type.typeName == "Func") return false;
  if (type.typeName != "All_in_One") return true;
  const RecordLayout& layout = GeneratorRecordLayout();
  if (record.size() != layout.size) return true;
  const FieldValue v = GetField(layout, record.data(), RecordFieldNamed(RecordKind::Generator, "Kind"));
  const auto* k = std::get_if<int64_t>(&v);
  return k == nullptr || *k != 0;
}
}  // namespace

SteppedBlock::SteppedBlock(std::shared_ptr<VariableStore> store, const BlockType& type, std::string name,
                           HostLanguage lang, Listener& listener)
    : type_(type), name_(std::move(name)), lang_(lang), listener_(listener), host_(std::move(store)) {
  host_.AddRef();  // the host object is ours; the block only borrows it
  host_.SetReportListener([this](const HostReport& r) { OnReport(r); });
}

SteppedBlock::~SteppedBlock() {
  if (model_ != nullptr) model_->Release();
}

void SteppedBlock::ConnectInput(const std::string& port, VarHandle variable) {
  host_.MapPort(port, variable);
  inputs_.push_back(variable);
}

void SteppedBlock::ConnectOutput(const std::string& port, VarHandle variable) {
  host_.MapPort(port, variable);
  outputs_.push_back(variable);
}

bool SteppedBlock::Construct(InitExport init, const Settings& settings) {
  VariableStore& store = host_.Store();
  for (VarHandle h : inputs_) feedWidths_.push_back(store.Get(h)->width);
  for (VarHandle h : outputs_) outputVariables_.push_back(store.Get(h));
  host_.SetIntParameter("SignValue", settings.signValue);
  host_.SetRecord(settings.record);
  host_.SetSamplePeriod(settings.samplePeriod);
  host_.SetLibraryDirectory(settings.libraryDirectory);
  host_.OfferTypedValues(settings.typedValues);
  IPELMOR* ref = &host_;
  store.FixLayout();       // the block may read the value words where they lie
  store.TakeArraySteps();  // an offer is this block's only
  store.TakeHighGate();
  IModel** self = init(&ref, 0);
  model_ = self != nullptr ? *self : nullptr;
  if (model_ != nullptr) model_->AddRef();
  if (model_ == nullptr || !model_->IsValid()) {
    Finish();  // Done lets the block drop its own reference
    return false;
  }
  activation_ = model_->GetActivation();
  const VarHandle gate = store.TakeHighGate();
  if (store.Get(gate) != nullptr) highGate_ = gate;
  const RirEdaArraySteps* steps = store.TakeArraySteps();
  if (steps != nullptr && RIR_TABLE_HOLDS(steps, InputChangedOver)) {
    arraySteps_ = steps;
    stepsOver_ = steps->InputChangedOver;
    if (RIR_TABLE_HOLDS(steps, InputChangedAt)) stepsAt_ = steps->InputChangedAt;
    sharesSource_ = RIR_TABLE_HOLDS(steps, sharesSource) && steps->sharesSource != 0;
    for (VarHandle h : inputs_) arrayPorts_.push_back({h, nullptr});
    for (VarHandle h : outputs_) arrayPorts_.push_back({h, nullptr});
    for (VarHandle h : outputs_) wordPorts_.push_back({h, nullptr});
  }
  signMode_ = settings.signValue;
  playsTable_ = activation_ == kTimeDriven && PlaysTable(type_, settings.record);
  return true;
}

void SteppedBlock::Finish() {
  if (reports_ > kReportsShown) {
    listener_.Said(DescribeSuppressed(lang_, name_, reports_ - kReportsShown));
    reports_ = kReportsShown;
  }
  if (model_ == nullptr) return;
  arraySteps_ = nullptr;  // they go with the block
  stepsOver_ = nullptr;
  stepsAt_ = nullptr;
  model_->Done();
  model_->Release();
  model_ = nullptr;
}

bool SteppedBlock::InputChangedOver(int32_t count, int32_t* const* inputs, int32_t* const* outputs) {
  if (!HasArraySteps() || count <= 0) return false;
  for (size_t i = 0; i < inputs_.size(); ++i) arrayPorts_[i].samples = inputs[i];
  for (size_t j = 0; j < outputs_.size(); ++j) arrayPorts_[inputs_.size() + j].samples = outputs[j];
  const int32_t made =
      stepsOver_(arraySteps_->context, count, arrayPorts_.data(), static_cast<int32_t>(arrayPorts_.size()));
  return made == count;
}

bool SteppedBlock::InputChangedAt(int32_t count, const int64_t* times, int32_t* const* inputs, uint64_t* const* outputs,
                                  uint8_t* wrote) {
  if (!StepsAhead() || count <= 0) return false;
  for (size_t i = 0; i < inputs_.size(); ++i) arrayPorts_[i].samples = inputs[i];
  for (size_t j = 0; j < outputs_.size(); ++j) wordPorts_[j].words = outputs[j];
  const int32_t made =
      stepsAt_(arraySteps_->context, count, times, arrayPorts_.data(), static_cast<int32_t>(inputs_.size()),
               wordPorts_.data(), static_cast<int32_t>(wordPorts_.size()), wrote);
  return made == count;
}

void SteppedBlock::Feed(size_t k, int64_t value) {
  const int width = feedWidths_[k];
  const int32_t sign = host_.Store().Get(inputs_[k])->signMode;
  host_.Store().WriteBits(inputs_[k], sign == 0 ? EncodeValueBits(0, static_cast<int32_t>(value), width)
                                                : ValueBits::OfBits(static_cast<uint32_t>(value), width));
}

std::vector<std::string> SteppedBlock::TakeValueProblems() {
  std::vector<std::string> lines;
  VariableStore& store = host_.Store();
  // An element-wise transform writes -1 for a result that is no sample.
  const bool failureValue = type_.blockClass == BlockClass::SimpleTransform;
  for (VarHandle h : outputs_) {
    const ValueProblemCounts& counts = store.ValueProblems(h);
    for (size_t k = 0; k < counts.size(); ++k)
      if (counts[k].count > 0)
        lines.push_back(DescribeValueProblem(lang_, store.Get(h)->name, static_cast<int32_t>(k + 1), counts[k].count,
                                             store.Get(h)->width, counts[k].first, failureValue));
    store.ClearValueProblems(h);
  }
  return lines;
}

void SteppedBlock::LibraryMessage(int32_t severity, const char* text) {
  if (severity == msError) ++errors_;
  listener_.Said(DescribeLibraryMessage(lang_, name_, severity, text != nullptr ? text : ""));
}

void SteppedBlock::OnReport(const HostReport& r) {
  if (r.abort) {
    listener_.Said(DescribeAbort(lang_, name_));
    listener_.BlockAborted();
    return;
  }
  ++errors_;
  if (++reports_ > kReportsShown) return;
  const auto handle = static_cast<VarHandle>(r.argument);
  std::string port, variable;
  if (r.code == rcWrongKindOrFlags || r.code == rcWrongWidth) {
    port = host_.PortOf(handle);
    if (const HostVariable* v = host_.Store().Get(handle)) variable = v->name;
  }
  listener_.Said(DescribeReport(lang_, name_, r.code, port, variable, r.text));
}

void SteppedBlock::SayTableEnd(int64_t time) {
  ++warnings_;
  listener_.Said(DescribeTableEnd(lang_, name_, time, kGeneratorTableLength));
}
