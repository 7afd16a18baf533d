// A host in the same process as the plug-in: the IPELMOR a block talks to.
//
// Variables live in a VariableStore that several block hosts may share (the
// simulator gives each block its own InProcessHost over one store, with the
// block's port names mapped to the design's variables). Without a port map a
// port name finds the variable of the same name, which is what tests want.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/ValueBits.h"
#include "framework/interface/HostExtension.h"
#include "framework/interface/IntTypes.h"

struct HostVariable {
  std::string name;
  uint16_t kind = vkBus;
  uint16_t flags = 0;
  int32_t width = 1;
  // The value: its text's integer form, and the text itself only when the
  // form does not give it back (odd: a text with other characters than
  // '0'/'1', or with digits beyond the low 32 bits and the first).
  ValueBits value;
  bool odd = false;
  std::string oddText;
  uint64_t changes = 0;  // times a block wrote a different value
  uint64_t writes = 0;   // times it was written at all
  // The sign mode its samples are read in: of the block writing it, else of
  // a block reading it (0 when none says).
  int32_t signMode = 0;
};

// Values of one kind (RirEdaValueProblem) that blocks wrote to a variable
// other than they computed them, and the model time of the first.
struct ValueProblemCount {
  uint64_t count = 0;
  int64_t first = 0;
};
using ValueProblemCounts = std::array<ValueProblemCount, kValueProblemKinds>;

// The variable's value text.
std::string TextOf(const HostVariable& v);
// Sets the value to `text` (nullptr: ""); true when it changed.
bool AssignText(HostVariable& v, const char* text);
// Sets the value to a form; true when it changed.
inline bool AssignBits(HostVariable& v, ValueBits bits) {
  if (v.value == bits && !v.odd) return false;
  v.value = bits;
  if (v.odd) [[unlikely]] {
    v.odd = false;
    v.oddText.clear();
  }
  return true;
}

class VariableStore {
 public:
  // Handles count from 1; 0 (nothing added) once the layout is fixed.
  VarHandle Add(HostVariable variable);
  // No variable is added from now on, so that every value word stays where
  // it is and blocks may read it there (ValueWords). Whoever builds blocks
  // on the store fixes it first.
  void FixLayout() { fixed_ = true; }
  // Where the value words lie: null before the layout is fixed, or with no
  // variable.
  const RirEdaValueWords* ValueWords();
  VarHandle Find(const std::string& name) const;
  HostVariable* Get(VarHandle handle) { return handle - 1u < count_ ? &variables_[handle - 1] : nullptr; }
  const HostVariable* Get(VarHandle handle) const { return handle - 1u < count_ ? &variables_[handle - 1] : nullptr; }
  // A write by a block or a stimulus: counts it, stores the value and lists
  // the variable until ClearWritten, so that a time point looks at the
  // variables written in it and no others. No allocation: the list is a bit
  // per variable. A text write stores what the text reads (nullptr: "").
  void WriteBits(VarHandle handle, ValueBits bits) {
    if (handle - 1u >= count_) return;
    const size_t i = handle - 1;
    HostVariable& v = variables_[i];
    ++v.writes;
    writtenBits_[i / 64] |= uint64_t{1} << (i % 64);
    if (AssignBits(v, bits)) ++v.changes;
  }
  void Write(VarHandle handle, const char* text) {
    if (handle - 1u >= count_) return;
    const size_t i = handle - 1;
    HostVariable& v = variables_[i];
    ++v.writes;
    writtenBits_[i / 64] |= uint64_t{1} << (i % 64);
    if (AssignText(v, text)) ++v.changes;
  }
  // Write for a one-character text (a clock edge).
  void WriteChar(VarHandle handle, char c) {
    if (c == '0' || c == '1') [[likely]] {
      WriteBits(handle, ValueBits::Digit(c == '1'));
      return;
    }
    const char text[2] = {c, '\0'};
    Write(handle, text);
  }
  // The listed variables, in handle order.
  std::vector<VarHandle> WrittenList() const;
  bool IsWritten(VarHandle handle) const {
    const size_t i = handle - 1u;
    return i < count_ && (writtenBits_[i / 64] >> (i % 64) & 1) != 0;
  }
  // One bit per variable index, set while listed: the engine tests a
  // block's inputs with a mask per word.
  const uint64_t* WrittenBits() const { return writtenBits_.data(); }
  void ClearWritten() {
    // Word by word: a memset call costs more than the few words a design has.
    for (uint64_t& word : writtenBits_)
      if (word != 0) word = 0;
  }
  size_t Size() const { return variables_.size(); }
  const std::vector<HostVariable>& All() const { return variables_; }
  // The model time every host on this store answers GetTime with.
  void SetTime(long double time);
  // A whole time, converted only when a block asks for it.
  void SetTimePoint(int64_t time) {
    roundedTime_ = time;
    whole_ = true;
  }
  long double Time() const { return whole_ ? static_cast<long double>(roundedTime_) : time_; }
  // Time() rounded to the nearest integer, ties to even.
  int64_t RoundedTime() const { return roundedTime_; }

  // A value a block wrote to `handle` that is not the one it computed: counted
  // per kind, with the time of the first (the store's time plus `later`, or
  // the time of step `later` while step times are set).
  void NoteValueProblem(VarHandle handle, int32_t problem, int64_t later = 0);
  // The model times of the steps of an array call (null: none), for the
  // call's value problems.
  void SetStepTimes(const int64_t* times, int32_t count) {
    stepTimes_ = times;
    stepCount_ = count;
  }
  // The array steps a block offered while it was being built on a host of
  // this store; whoever built it takes them as the init export returns (the
  // next block's offer replaces them).
  void OfferArraySteps(const RirEdaArraySteps* steps) { offeredSteps_ = steps; }
  const RirEdaArraySteps* TakeArraySteps() { return std::exchange(offeredSteps_, nullptr); }
  // The same for the variable a block acts on only while it reads high.
  void OfferHighGate(VarHandle handle) { offeredGate_ = handle; }
  VarHandle TakeHighGate() { return std::exchange(offeredGate_, 0); }
  // The counts of a variable (all 0 for an unknown handle), and their reset.
  const ValueProblemCounts& ValueProblems(VarHandle handle) const;
  void ClearValueProblems(VarHandle handle);

 private:
  std::vector<HostVariable> variables_;
  std::vector<ValueProblemCounts> problems_;  // per variable, apart from what every step reads
  const RirEdaArraySteps* offeredSteps_ = nullptr;
  VarHandle offeredGate_ = 0;
  const int64_t* stepTimes_ = nullptr;
  int32_t stepCount_ = 0;
  RirEdaValueWords words_{sizeof(RirEdaValueWords), 0, nullptr, 0, &roundedTime_};
  bool fixed_ = false;
  std::vector<uint64_t> writtenBits_;
  size_t count_ = 0;  // variables_.size(), without a division per look-up
  long double time_ = 0;
  int64_t roundedTime_ = 0;  // kept with every time set, for blocks to read in place
  bool whole_ = false;
  std::map<std::string, VarHandle> byName_;
};

// One ReportError or AbortRun as the host saw it.
struct HostReport {
  int32_t code = 0;
  intptr_t argument = 0;
  std::string text;    // the name (code 4) or free text (code 8), copied at once
  bool abort = false;  // an AbortRun call
};

// The host services of our hosts (framework/interface/HostExtension.h): the
// extension of every InProcessHost. PluginLoader hands them to each plug-in
// it loads.
const RirEdaHostServices* InProcessHostServices();

class InProcessHost : public IPELMOR {
 public:
  explicit InProcessHost(std::shared_ptr<VariableStore> store = std::make_shared<VariableStore>());
  // The extension points back at its host object.
  InProcessHost(const InProcessHost&) = delete;
  InProcessHost& operator=(const InProcessHost&) = delete;

  // Set-up.
  VarHandle AddVariable(const std::string& name, uint16_t kind, int32_t width, uint16_t flags = 0,
                        const std::string& value = "");
  void MapPort(const std::string& port, VarHandle variable);
  void SetParameter(const std::string& name, std::vector<uint8_t> bytes);
  void SetIntParameter(const std::string& name, int32_t value);
  void RemoveParameter(const std::string& name);
  // Answers every record request (any name but "SignValue" not stored under
  // its own name) with these bytes; a block asks under a name that may
  // depend on its record, so the simulator stores one record per block.
  void SetRecord(std::vector<uint8_t> bytes) { record_ = std::move(bytes); }
  // Sets the time of every host on this host's store.
  void SetTime(long double time) { store_->SetTime(time); }
  void SetSamplePeriod(long double period) { period_ = period; }
  void SetLibraryDirectory(const std::string& dir) { libraryDirectory_ = dir; }

  // Values by variable name ("" for an unknown name).
  std::string Value(const std::string& name) const;
  void SetValue(const std::string& name, const std::string& text);

  const std::vector<HostReport>& Reports() const { return reports_; }
  // Called for every ReportError and AbortRun as it arrives.
  void SetReportListener(std::function<void(const HostReport&)> listener) { listener_ = std::move(listener); }
  // The port a handle is mapped to ("" when none).
  std::string PortOf(VarHandle handle) const;
  int AbortCount() const;
  VariableStore& Store() { return *store_; }
  const VariableStore& Store() const { return *store_; }
  // The variable a block would find under `port` (0 for none).
  VarHandle Resolve(const std::string& port) const;
  // What the blocks built on this host find through the host services: value
  // problems go to the store.
  const RirEdaHostExtension* Extension() const { return &extension_; }

  // Whether the blocks built from now on find the typed values (on unless
  // turned off): without them they read and write value texts, as on a
  // circuit host, and take no array steps.
  void OfferTypedValues(bool offer) {
    extension_.size = offer ? sizeof(RirEdaHostExtension) : offsetof(RirEdaHostExtension, ReadValue);
  }

  // Promise the blocks made from now on that every call into them is made in
  // the library's floating-point state (the engine runs in it), so that
  // their slots do not check it (kLibraryStateHostId).
  void PromiseLibraryState() { promisesLibraryState_ = true; }

  // IUnknown: the host object is owned by its creator, the count is advisory.
  int32_t RIR_STDCALL QueryInterface(const GUID* iid, void** out) override;
  uint32_t RIR_STDCALL AddRef() override { return ++refs_; }
  uint32_t RIR_STDCALL Release() override { return --refs_; }
  uint32_t RefCount() const { return refs_; }

  // IPELMOR
  void RIR_STDCALL ReportError(int32_t code, intptr_t argument) override;
  void RIR_STDCALL AbortRun() override;
  long double RIR_STDCALL GetTime() override { return store_->Time(); }
  void RIR_STDCALL GetParameter(const char* name, void** data, int32_t* size) override;
  uint16_t RIR_STDCALL GetVariableKind(VarHandle handle) override;
  uint16_t RIR_STDCALL GetVariableFlags(VarHandle handle) override;
  long double RIR_STDCALL GetSamplePeriod() override { return period_; }
  int32_t RIR_STDCALL GetVariableWidth(VarHandle handle) override;
  VarHandle RIR_STDCALL FindVariable(const char* name) override;
  const char* RIR_STDCALL GetValueText(VarHandle handle) override;
  void RIR_STDCALL SetValueText(VarHandle handle, const char* text) override;
  const char* RIR_STDCALL GetLibraryDirectory() override { return libraryDirectory_.c_str(); }

 private:
  std::shared_ptr<VariableStore> store_;
  std::map<std::string, VarHandle> ports_;
  std::map<std::string, std::vector<uint8_t>> parameters_;
  std::vector<uint8_t> record_;
  std::function<void(const HostReport&)> listener_;
  std::vector<HostReport> reports_;
  long double period_ = 1;
  std::string libraryDirectory_;
  uint32_t refs_ = 0;
  static void RIR_STDCALL OnValueProblem(void* context, VarHandle variable, int32_t problem);
  static uint64_t RIR_STDCALL OnReadValue(void* context, VarHandle variable);
  static void RIR_STDCALL OnWriteValue(void* context, VarHandle variable, uint64_t word);
  static int64_t RIR_STDCALL OnRoundedTime(void* context);
  static void RIR_STDCALL OnOfferArraySteps(void* context, const RirEdaArraySteps* steps);
  static void RIR_STDCALL OnValueProblemAt(void* context, VarHandle variable, int32_t problem, int32_t step);
  static const RirEdaValueWords* RIR_STDCALL OnValueWords(void* context);
  static void RIR_STDCALL OnActsOnlyWhileHigh(void* context, VarHandle variable);
  // Every slot works on the store: it is the slots' context.
  RirEdaHostExtension extension_{sizeof(RirEdaHostExtension),       store_.get(),
                                 &InProcessHost::OnValueProblem,    &InProcessHost::OnReadValue,
                                 &InProcessHost::OnWriteValue,      &InProcessHost::OnRoundedTime,
                                 &InProcessHost::OnOfferArraySteps, &InProcessHost::OnValueProblemAt,
                                 &InProcessHost::OnValueWords,      &InProcessHost::OnActsOnlyWhileHigh};
  std::string text_;  // the last text GetValueText formed
  bool promisesLibraryState_ = false;
};
