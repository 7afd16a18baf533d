#include "InProcessHost.h"

#include <cmath>
#include <cstring>
#include <type_traits>

#include "numeric/Rounding.h"

std::string TextOf(const HostVariable& v) { return v.odd ? v.oddText : FormValueText(v.value); }

bool AssignText(HostVariable& v, const char* text) {
  bool exact = false;
  const ValueBits bits = ReadValueBits(text, &exact);
  if (exact) return AssignBits(v, bits);
  if (v.odd && v.oddText == text) return false;
  v.value = bits;
  v.odd = true;
  v.oddText = text;
  return true;
}

void VariableStore::SetTime(long double time) {
  time_ = time;
  roundedTime_ = RoundToInt64(time);
  whole_ = false;
}

VarHandle VariableStore::Add(HostVariable variable) {
  if (fixed_) return 0;
  variables_.push_back(std::move(variable));
  problems_.emplace_back();
  count_ = variables_.size();
  writtenBits_.resize((count_ + 63) / 64, 0);
  const auto handle = static_cast<VarHandle>(variables_.size());
  byName_[variables_.back().name] = handle;
  return handle;
}

// A value word is the form's one word, where the variable keeps it.
static_assert(sizeof(ValueBits) == sizeof(uint64_t) && std::is_trivially_copyable_v<ValueBits>);

const RirEdaValueWords* VariableStore::ValueWords() {
  if (!fixed_ || count_ == 0) return nullptr;
  words_.base = &variables_.front().value;
  words_.stride = static_cast<uint32_t>(sizeof(HostVariable));
  words_.count = static_cast<uint32_t>(count_);
  return &words_;
}

VarHandle VariableStore::Find(const std::string& name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? 0 : it->second;
}

void VariableStore::NoteValueProblem(VarHandle handle, int32_t problem, int64_t later) {
  if (handle - 1u >= count_ || problem < 1 || problem > kValueProblemKinds) return;
  ValueProblemCount& c = problems_[handle - 1][static_cast<size_t>(problem - 1)];
  if (c.count++ != 0) return;
  c.first = stepTimes_ != nullptr && later >= 0 && later < stepCount_ ? stepTimes_[later] : RoundedTime() + later;
}

const ValueProblemCounts& VariableStore::ValueProblems(VarHandle handle) const {
  static const ValueProblemCounts kNone{};
  return handle - 1u < count_ ? problems_[handle - 1] : kNone;
}

void VariableStore::ClearValueProblems(VarHandle handle) {
  if (handle - 1u < count_) problems_[handle - 1] = {};
}

std::vector<VarHandle> VariableStore::WrittenList() const {
  std::vector<VarHandle> list;
  for (VarHandle h = 1; h <= variables_.size(); ++h)
    if (IsWritten(h)) list.push_back(h);
  return list;
}
namespace {
// Only our own host objects have an extension; any other IPELMOR gets none.
const RirEdaHostExtension* RIR_STDCALL ExtensionOf(void*, IPELMOR* host) {
  const auto* ours = dynamic_cast<const InProcessHost*>(host);
  return ours != nullptr ? ours->Extension() : nullptr;
}
}  // namespace

const RirEdaHostServices* InProcessHostServices() {
  static const RirEdaHostServices services{sizeof(RirEdaHostServices), nullptr, &ExtensionOf};
  return &services;
}

InProcessHost::InProcessHost(std::shared_ptr<VariableStore> store) : store_(std::move(store)) {}

uint64_t RIR_STDCALL InProcessHost::OnReadValue(void* context, VarHandle variable) {
  const HostVariable* v = static_cast<VariableStore*>(context)->Get(variable);
  return v != nullptr ? v->value.Word() : 0;
}

void RIR_STDCALL InProcessHost::OnWriteValue(void* context, VarHandle variable, uint64_t word) {
  static_cast<VariableStore*>(context)->WriteBits(variable, ValueBits::FromWord(word));
}

int64_t RIR_STDCALL InProcessHost::OnRoundedTime(void* context) {
  return static_cast<VariableStore*>(context)->RoundedTime();
}

void RIR_STDCALL InProcessHost::OnValueProblem(void* context, VarHandle variable, int32_t problem) {
  static_cast<VariableStore*>(context)->NoteValueProblem(variable, problem);
}

void RIR_STDCALL InProcessHost::OnOfferArraySteps(void* context, const RirEdaArraySteps* steps) {
  static_cast<VariableStore*>(context)->OfferArraySteps(steps);
}

// Step k of an array call is k time units after the store's time.
void RIR_STDCALL InProcessHost::OnValueProblemAt(void* context, VarHandle variable, int32_t problem, int32_t step) {
  static_cast<VariableStore*>(context)->NoteValueProblem(variable, problem, step);
}

const RirEdaValueWords* RIR_STDCALL InProcessHost::OnValueWords(void* context) {
  return static_cast<VariableStore*>(context)->ValueWords();
}

void RIR_STDCALL InProcessHost::OnActsOnlyWhileHigh(void* context, VarHandle variable) {
  static_cast<VariableStore*>(context)->OfferHighGate(variable);
}

VarHandle InProcessHost::AddVariable(const std::string& name, uint16_t kind, int32_t width, uint16_t flags,
                                     const std::string& value) {
  HostVariable v;
  v.name = name;
  v.kind = kind;
  v.width = width;
  v.flags = flags;
  if (value.empty())
    v.value = ValueBits::OfBits(0, width);
  else
    AssignText(v, value.c_str());
  return store_->Add(std::move(v));
}

void InProcessHost::MapPort(const std::string& port, VarHandle variable) { ports_[port] = variable; }

void InProcessHost::SetParameter(const std::string& name, std::vector<uint8_t> bytes) {
  parameters_[name] = std::move(bytes);
}

void InProcessHost::SetIntParameter(const std::string& name, int32_t value) {
  std::vector<uint8_t> bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  parameters_[name] = std::move(bytes);
}

void InProcessHost::RemoveParameter(const std::string& name) { parameters_.erase(name); }

std::string InProcessHost::Value(const std::string& name) const {
  const HostVariable* v = store_->Get(store_->Find(name));
  return v != nullptr ? TextOf(*v) : std::string();
}

void InProcessHost::SetValue(const std::string& name, const std::string& text) {
  if (HostVariable* v = store_->Get(store_->Find(name))) AssignText(*v, text.c_str());
}

int InProcessHost::AbortCount() const {
  int n = 0;
  for (const HostReport& r : reports_) n += r.abort ? 1 : 0;
  return n;
}

VarHandle InProcessHost::Resolve(const std::string& port) const {
  if (!ports_.empty()) {
    const auto it = ports_.find(port);
    return it == ports_.end() ? 0 : it->second;
  }
  return store_->Find(port);
}

int32_t RIR_STDCALL InProcessHost::QueryInterface(const GUID* iid, void** out) {
  if (out == nullptr) return kQueryNoInterface;
  if (!IsKnownInterfaceId(iid) && !(promisesLibraryState_ && IsInterfaceId(iid, kLibraryStateHostId))) {
    *out = nullptr;
    return kQueryNoInterface;
  }
  AddRef();
  *out = static_cast<IPELMOR*>(this);
  return kQueryOk;
}

void RIR_STDCALL InProcessHost::ReportError(int32_t code, intptr_t argument) {
  HostReport r;
  r.code = code;
  r.argument = argument;
  if ((code == rcNotFound || code == rcMessage) && argument != 0) r.text = reinterpret_cast<const char*>(argument);
  reports_.push_back(std::move(r));
  if (listener_) listener_(reports_.back());
}

void RIR_STDCALL InProcessHost::AbortRun() {
  HostReport r;
  r.abort = true;
  reports_.push_back(std::move(r));
  if (listener_) listener_(reports_.back());
}

std::string InProcessHost::PortOf(VarHandle handle) const {
  for (const auto& [port, h] : ports_)
    if (h == handle) return port;
  return {};
}

void RIR_STDCALL InProcessHost::GetParameter(const char* name, void** data, int32_t* size) {
  if (data == nullptr) return;
  *data = nullptr;
  const auto it = name != nullptr ? parameters_.find(name) : parameters_.end();
  if (it == parameters_.end() && name != nullptr && !record_.empty() && std::strcmp(name, "SignValue") != 0) {
    *data = record_.data();
    if (size != nullptr) *size = static_cast<int32_t>(record_.size());
    return;
  }
  if (it == parameters_.end()) {
    if (size != nullptr) *size = 0;
    return;
  }
  *data = it->second.data();
  if (size != nullptr) *size = static_cast<int32_t>(it->second.size());
}

uint16_t RIR_STDCALL InProcessHost::GetVariableKind(VarHandle handle) {
  const HostVariable* v = store_->Get(handle);
  return v != nullptr ? v->kind : 0;
}

uint16_t RIR_STDCALL InProcessHost::GetVariableFlags(VarHandle handle) {
  const HostVariable* v = store_->Get(handle);
  return v != nullptr ? v->flags : 0;
}

int32_t RIR_STDCALL InProcessHost::GetVariableWidth(VarHandle handle) {
  const HostVariable* v = store_->Get(handle);
  return v != nullptr ? v->width : 0;
}

VarHandle RIR_STDCALL InProcessHost::FindVariable(const char* name) { return name != nullptr ? Resolve(name) : 0; }

const char* RIR_STDCALL InProcessHost::GetValueText(VarHandle handle) {
  const HostVariable* v = store_->Get(handle);
  if (v == nullptr) return "";
  if (v->odd) return v->oddText.c_str();
  text_.resize(static_cast<size_t>(v->value.Length()) + 1);
  FormValueText(v->value, text_.data());
  return text_.c_str();
}

void RIR_STDCALL InProcessHost::SetValueText(VarHandle handle, const char* text) { store_->Write(handle, text); }
