#include "BaseExtModel.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "HostServices.h"

namespace {
bool PromisesLibraryState(IPELMOR* host) {
  void* promise = nullptr;
  if (host->QueryInterface(&kLibraryStateHostId, &promise) != kQueryOk) return false;
  if (promise != nullptr) static_cast<IRirUnknown*>(promise)->Release();
  return true;
}

// The host itself when the block is built over the exports' link to it.
IPELMOR* HostBehind(IPELMOR* host) {
  const auto* link = dynamic_cast<const THostLink*>(host);
  return link != nullptr ? link->Target() : host;
}
}  // namespace

TBaseModel::TBaseModel(IPELMOR* host, int32_t auxValue, int32_t activation)
    : Host(host),
      Activation(activation),
      AuxValue(auxValue),
      Link(host),
      HostKeepsState(host != nullptr && PromisesLibraryState(host)) {
  if (Host != nullptr) Host->AddRef();
  FindExtension(HostBehind(Host));
  AddRef();
  SelfRef = &Guard;
}

void TBaseModel::FindExtension(IPELMOR* host) {
  Extension = HostExtensionFor(host);
  const bool typed = Extension != nullptr && RIR_TABLE_HOLDS(Extension, RoundedTime) &&
                     Extension->ReadValue != nullptr && Extension->WriteValue != nullptr &&
                     Extension->RoundedTime != nullptr;
  Typed = typed ? Extension : nullptr;
  FindValueWords();
}

void TBaseModel::FindValueWords() {
  WordBase = nullptr;
  WordStride = 0;
  WordCount = 0;
  TimeWord = nullptr;
  if (Typed == nullptr || !RIR_TABLE_HOLDS(Typed, ValueWords) || Typed->ValueWords == nullptr) return;
  const RirEdaValueWords* words = Typed->ValueWords(Typed->context);
  if (words == nullptr || !RIR_TABLE_HOLDS(words, count) || words->base == nullptr || words->stride < sizeof(uint64_t))
    return;
  WordBase = static_cast<const unsigned char*>(words->base);
  WordStride = words->stride;
  WordCount = words->count;
  if (RIR_TABLE_HOLDS(words, roundedTime)) TimeWord = words->roundedTime;
}

TBaseModel::~TBaseModel() {
  if (Host != nullptr) Host->Release();
}

int32_t RIR_STDCALL TBaseModel::QueryInterface(const GUID* iid, void** out) {
  if (out == nullptr) return kQueryNoInterface;
  if (!IsKnownInterfaceId(iid)) {
    *out = nullptr;
    return kQueryNoInterface;
  }
  AddRef();
  *out = static_cast<IModel*>(this);
  return kQueryOk;
}

uint32_t RIR_STDCALL TBaseModel::AddRef() { return RefCount.fetch_add(1, std::memory_order_relaxed) + 1; }

uint32_t RIR_STDCALL TBaseModel::Release() {
  const uint32_t left = RefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return left;
}

void RIR_STDCALL TBaseModel::Done() {
  // Drop the self reference; the host's own release then destroys the block.
  IModel* self = SelfRef;
  SelfRef = nullptr;
  if (self != nullptr) self->Release();
}

int32_t RIR_STDCALL TBaseModel::Reserved13(int32_t, const char** out) {
  if (out != nullptr) *out = "";
  return 1;
}

void RIR_STDCALL TBaseModel::Reserved21() { Report(rcReserved21, 0); }

bool TBaseModel::FindPort(const char* name, uint16_t mask, bool required, VarHandle& handle) {
  handle = Host->FindVariable(name);
  if (handle == 0) {
    if (required) Report(rcNotFound, reinterpret_cast<intptr_t>(name));
    return !required;
  }
  if ((Host->GetVariableFlags(handle) & mask) == mask) return true;
  Report(rcWrongKindOrFlags, static_cast<intptr_t>(handle));
  return false;
}

bool TBaseModel::Bind(std::initializer_list<PortBinding> ports, uint16_t mask, bool required) {
  bool result = true;
  for (const PortBinding& port : ports) result = FindPort(port.name, mask, required, *port.handle) && result;
  Valid = Valid && result;
  return result;
}

void TBaseModel::Fault(const char* where, const char* what) noexcept {
  Valid = false;
  Faulted = true;
  try {
    const std::string text = (TypeName.empty() ? std::string("block") : TypeName) + ": " + where + ": " + what;
    ReportText(text);
  } catch (...) {
    try {
      Report(rcMessage, reinterpret_cast<intptr_t>(what));
    } catch (...) {
      // The host cannot even take the report; the block stays invalid.
    }
  }
}

// One call of the host into a block: the library's floating-point state for
// its length (unless the host promised to call in it); where the host's
// differs, the block calls the host through its link, in the host's state
// (put back on the way out for a host that enters again from such a call).
class TModelGuard::SlotEntry {
 public:
  explicit SlotEntry(TBaseModel& block) : Block(block), Checked(!block.HostKeepsState) {
    if (!Checked) return;
    Caller = CallerFloatingPoint::Read();
    Caller.EnterLibrary();
    OuterHost = Block.Host;
    IPELMOR* host = Block.Link.Target();
    Rebound = Caller.Differs() || OuterHost != host;
    if (!Rebound) return;  // the usual case: the block calls its host directly
    OuterState = Block.Link.HostState;
    Block.Link.HostState = Caller;
    Block.Host = Caller.Differs() && host != nullptr ? &Block.Link : host;
  }
  ~SlotEntry() {
    if (!Checked) return;
    if (Rebound) {
      Block.Link.HostState = OuterState;
      Block.Host = OuterHost;
    }
    Caller.LeaveLibrary();
  }
  SlotEntry(const SlotEntry&) = delete;
  SlotEntry& operator=(const SlotEntry&) = delete;

 private:
  TBaseModel& Block;
  const bool Checked;
  CallerFloatingPoint Caller;
  IPELMOR* OuterHost = nullptr;
  bool Rebound = false;
  CallerFloatingPoint OuterState;
};

// The same for a call after which the block may be gone (Done, Release):
// nothing of it is touched on the way out, and what it calls the host with
// (its destructor releases the host) stays.
class TModelGuard::FinalEntry {
 public:
  explicit FinalEntry(TBaseModel& block) {
    if (!Fp.Caller().Differs() || block.Link.Target() == nullptr) return;
    block.Link.HostState = Fp.Caller();
    block.Host = &block.Link;
  }
  FinalEntry(const FinalEntry&) = delete;
  FinalEntry& operator=(const FinalEntry&) = delete;

 private:
  FloatingPointGuard Fp;
};

template <typename F, typename R>
R TModelGuard::Guarded(const char* slot, F&& call, R failed) {
  // A host that promised the library's state has no entry to make.
  if (Block.HostKeepsState) return Caught(slot, call, failed);
  return Entered(slot, call, failed);
}

template <typename F, typename R>
R TModelGuard::Entered(const char* slot, F&& call, R failed) {
  SlotEntry entry(Block);
  return Caught(slot, call, failed);
}

template <typename F, typename R>
R TModelGuard::Caught(const char* slot, F&& call, R failed) {
  try {
    return call();
  } catch (const std::exception& e) {
    Block.Fault(slot, e.what());
  } catch (...) {
    Block.Fault(slot, "unknown exception");
  }
  return failed;
}

template <typename F>
void TModelGuard::Guarded(const char* slot, F&& call) {
  Guarded(
      slot,
      [&] {
        call();
        return 0;
      },
      0);
}

int32_t RIR_STDCALL TModelGuard::QueryInterface(const GUID* iid, void** out) {
  SlotEntry entry(Block);
  if (out == nullptr) return kQueryNoInterface;
  if (!IsKnownInterfaceId(iid)) {
    *out = nullptr;
    return kQueryNoInterface;
  }
  Block.AddRef();
  *out = static_cast<IModel*>(this);
  return kQueryOk;
}

int32_t RIR_STDCALL TModelGuard::InputChangedOver(void* guard, int32_t count, const RirEdaArrayPort* ports,
                                                  int32_t portCount) {
  auto& self = *static_cast<TModelGuard*>(guard);
  if (self.Block.Faulted || count <= 0 || (ports == nullptr && portCount != 0)) return 0;
  return self.Guarded(
      "InputChanged", [&] { return self.Block.InputChangedOver(count, ports, portCount); }, 0);
}

int32_t RIR_STDCALL TModelGuard::InputChangedAt(void* guard, int32_t count, const int64_t* times,
                                                const RirEdaArrayPort* inputs, int32_t inputCount,
                                                const RirEdaWordPort* outputs, int32_t outputCount, uint8_t* wrote) {
  auto& self = *static_cast<TModelGuard*>(guard);
  if (self.Block.Faulted || count <= 0 || times == nullptr || wrote == nullptr ||
      (inputs == nullptr && inputCount != 0) || (outputs == nullptr && outputCount != 0))
    return 0;
  return self.Guarded(
      "InputChanged",
      [&] { return self.Block.InputChangedAt(count, times, inputs, inputCount, outputs, outputCount, wrote); }, 0);
}

void TModelGuard::RetargetHost(IPELMOR* host) {
  Block.Link.Retarget(host);
  Block.Host = host;
  // The construction link is no host of its own: ask the real one.
  Block.FindExtension(host);
}

uint32_t RIR_STDCALL TModelGuard::AddRef() {
  SlotEntry entry(Block);
  return Block.AddRef();
}
uint32_t RIR_STDCALL TModelGuard::Release() {
  FinalEntry entry(Block);
  return Block.Release();
}

int32_t RIR_STDCALL TModelGuard::Reserved3() {
  return Guarded(
      "Reserved3", [&] { return Block.Reserved3(); }, 0);
}
bool RIR_STDCALL TModelGuard::IsValid() {
  return Guarded(
      "IsValid", [&] { return !Block.Faulted && Block.IsValid(); }, false);
}
int32_t RIR_STDCALL TModelGuard::GetActivation() {
  return Guarded(
      "GetActivation", [&] { return Block.GetActivation(); }, Block.Activation);
}
int32_t RIR_STDCALL TModelGuard::GetAuxValue() {
  return Guarded(
      "GetAuxValue", [&] { return Block.GetAuxValue(); }, Block.AuxValue);
}
void RIR_STDCALL TModelGuard::Start() {
  if (!Block.Faulted) Guarded("Start", [&] { Block.Start(); });
}
void RIR_STDCALL TModelGuard::InputChanged() {
  if (!Block.Faulted) Guarded("InputChanged", [&] { Block.InputChanged(); });
}
TimeStepResult RIR_STDCALL TModelGuard::TimeStep() {
  if (Block.Faulted) return -1;
  return Guarded(
      "TimeStep", [&] { return Block.TimeStep(); }, TimeStepResult{-1});
}
void RIR_STDCALL TModelGuard::LoadParameters() {
  if (!Block.Faulted) Guarded("LoadParameters", [&] { Block.LoadParameters(); });
}
void RIR_STDCALL TModelGuard::Reserved11() {
  Guarded("Reserved11", [&] { Block.Reserved11(); });
}
void RIR_STDCALL TModelGuard::Done() {
  // A block's own finishing work may throw; its self reference still goes.
  FinalEntry entry(Block);
  const bool finished = Caught(
      "Done",
      [&] {
        Block.Done();
        return true;
      },
      false);
  if (!finished) Block.TBaseModel::Done();
}
int32_t RIR_STDCALL TModelGuard::Reserved13(int32_t a, const char** out) {
  return Guarded(
      "Reserved13", [&] { return Block.Reserved13(a, out); }, 0);
}
int32_t RIR_STDCALL TModelGuard::Reserved14(int32_t a) {
  return Guarded(
      "Reserved14", [&] { return Block.Reserved14(a); }, 0);
}
int32_t RIR_STDCALL TModelGuard::Reserved15() {
  return Guarded(
      "Reserved15", [&] { return Block.Reserved15(); }, 0);
}
int32_t RIR_STDCALL TModelGuard::Reserved16() {
  return Guarded(
      "Reserved16", [&] { return Block.Reserved16(); }, 0);
}
int32_t RIR_STDCALL TModelGuard::Reserved17() {
  return Guarded(
      "Reserved17", [&] { return Block.Reserved17(); }, 0);
}
void RIR_STDCALL TModelGuard::Reserved18() {
  Guarded("Reserved18", [&] { Block.Reserved18(); });
}
void RIR_STDCALL TModelGuard::Reserved19() {
  Guarded("Reserved19", [&] { Block.Reserved19(); });
}
const char* RIR_STDCALL TModelGuard::GetTypeName() {
  return Guarded(
      "GetTypeName", [&] { return Block.GetTypeName(); }, "");
}
void RIR_STDCALL TModelGuard::Reserved21() {
  Guarded("Reserved21", [&] { Block.Reserved21(); });
}
void RIR_STDCALL TModelGuard::Reserved22() {
  Guarded("Reserved22", [&] { Block.Reserved22(); });
}
void RIR_STDCALL TModelGuard::Reserved23(int32_t a) {
  Guarded("Reserved23", [&] { Block.Reserved23(a); });
}
int32_t RIR_STDCALL TModelGuard::Reserved24(int32_t a) {
  return Guarded(
      "Reserved24", [&] { return Block.Reserved24(a); }, 0);
}
void RIR_STDCALL TModelGuard::Reserved25(int32_t a) {
  Guarded("Reserved25", [&] { Block.Reserved25(a); });
}
int32_t RIR_STDCALL TModelGuard::Reserved26() {
  return Guarded(
      "Reserved26", [&] { return Block.Reserved26(); }, 0);
}

bool TBaseModel::BindRequired(std::initializer_list<PortBinding> ports, uint16_t mask) {
  return Bind(ports, mask, true);
}

bool TBaseModel::BindOptional(std::initializer_list<PortBinding> ports, uint16_t mask) {
  return Bind(ports, mask, false);
}

void TBaseModel::BindTable(const PortTable& table, BoundPorts& bound) {
  const std::span<const PortSpec> ports = table.ports.first(std::min(table.ports.size(), kMaxBlockPorts));
  size_t i = 0;
  while (i < ports.size()) {
    const bool required = ports[i].required;
    const PortDirection direction = ports[i].direction;
    const uint16_t mask = direction == PortDirection::Out ? kWritableFlag : 0;
    bool invalid = false;
    for (; i < ports.size() && ports[i].required == required && ports[i].direction == direction; ++i) {
      VarHandle& handle = bound.handles[i];
      if (FindPort(ports[i].name, mask, required, handle)) continue;
      handle = 0;
      invalid = invalid || ports[i].fault == BindFault::Invalid;
    }
    if (invalid) {
      Valid = false;
      return;
    }
  }
  bound.bound = true;
  for (const PortCheck& check : table.checks) {
    const VarHandle handle = check.port < ports.size() ? bound.handles[check.port] : 0;
    if (handle == 0 || RuleHolds(ports[check.port], check.rule, handle, bound)) continue;
    Report(check.rule == PortRule::Kind ? rcWrongKindOrFlags : rcWrongWidth, static_cast<intptr_t>(handle));
    Valid = false;
    return;
  }
  bound.usable = true;
}

bool TBaseModel::RuleHolds(const PortSpec& port, PortRule rule, VarHandle handle, const BoundPorts& bound) const {
  switch (rule) {
    case PortRule::Kind:
      return port.kinds.Has(Host->GetVariableKind(handle));
    case PortRule::Range:
      return port.width.InRange(Host->GetVariableWidth(handle));
    case PortRule::Follows: {
      const int8_t of = port.width.follows;
      if (of < 0 || static_cast<size_t>(of) >= bound.handles.size() || bound.handles[static_cast<size_t>(of)] == 0)
        return true;
      const int64_t expected =
          int64_t{port.width.factor} * Host->GetVariableWidth(bound.handles[static_cast<size_t>(of)]);
      return Host->GetVariableWidth(handle) == expected;
    }
  }
  return false;
}

ValueBits TBaseModel::ReadValueAsText(VarHandle handle) const { return ReadValueBits(Host->GetValueText(handle)); }

void TBaseModel::WriteValueAsText(VarHandle handle, ValueBits value) const {
  // Every port a block writes is at most kMaxPortWidth wide; the text is
  // sized for that once, so a step does not allocate.
  std::array<char, kMaxPortWidth + 1> text;
  if (value.Length() <= kMaxPortWidth) [[likely]] {
    FormValueText(value, text.data());
    Host->SetValueText(handle, text.data());
  } else {
    Host->SetValueText(handle, FormValueText(value).c_str());
  }
}

void TBaseModel::TellValueProblem(VarHandle handle, int32_t problem) const {
  if (Extension != nullptr && RIR_TABLE_HOLDS(Extension, ValueProblem) && Extension->ValueProblem != nullptr)
    Extension->ValueProblem(Extension->context, handle, problem);
}

void TBaseModel::ActsOnlyWhileHigh(VarHandle handle) const {
  if (handle != 0 && Extension != nullptr && RIR_TABLE_HOLDS(Extension, ActsOnlyWhileHigh) &&
      Extension->ActsOnlyWhileHigh != nullptr)
    Extension->ActsOnlyWhileHigh(Extension->context, handle);
}

void TBaseModel::OfferArraySteps(bool over, bool ahead, bool shares) {
  ArraySteps.InputChangedOver = over ? &TModelGuard::InputChangedOver : nullptr;
  ArraySteps.InputChangedAt = ahead ? &TModelGuard::InputChangedAt : nullptr;
  ArraySteps.sharesSource = shares ? 1 : 0;
  // A host that cannot be told the problems of array steps gets none.
  if (Extension != nullptr && RIR_TABLE_HOLDS(Extension, ValueProblemAt) && Extension->OfferArraySteps != nullptr &&
      Extension->ValueProblemAt != nullptr)
    Extension->OfferArraySteps(Extension->context, &ArraySteps);
}

uint64_t* TBaseModel::ArrayWords(VarHandle handle, const RirEdaWordPort* ports, int32_t portCount) {
  for (int32_t i = 0; i < portCount; ++i)
    if (ports[i].variable == handle) return ports[i].words;
  return nullptr;
}

int32_t* TBaseModel::ArraySamples(VarHandle handle, const RirEdaArrayPort* ports, int32_t portCount) {
  for (int32_t i = 0; i < portCount; ++i)
    if (ports[i].variable == handle) return ports[i].samples;
  return nullptr;
}

void TBaseModel::TellValueProblemAt(VarHandle handle, int32_t problem, int32_t step) const {
  if (Extension != nullptr && RIR_TABLE_HOLDS(Extension, ValueProblemAt) && Extension->ValueProblemAt != nullptr)
    Extension->ValueProblemAt(Extension->context, handle, problem, step);
}

int32_t TBaseModel::GetIntParameter(const char* name, int32_t def) const {
  void* data = nullptr;
  int32_t size = 4;
  Host->GetParameter(name, &data, &size);
  if (data == nullptr || size != 4) return def;
  int32_t value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

bool TBaseModel::GetRecordParameter(const char* name, void* dest, int32_t size) const {
  void* data = nullptr;
  int32_t got = size;
  Host->GetParameter(name, &data, &got);
  if (data == nullptr || got != size) return false;
  std::memcpy(dest, data, static_cast<size_t>(size));
  return true;
}
