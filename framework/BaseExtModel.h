// Base classes of every block: reference counting, the IModel defaults,
// port binding and value access.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "BlockCatalogue.h"
#include "BlockPorts.h"
#include "HostLink.h"
#include "ValueBits.h"
#include "interface/HostExtension.h"
#include "interface/IntTypes.h"

// One port to bind: where its handle goes and the port's name.
struct PortBinding {
  VarHandle* handle;
  const char* name;
};

// What binding a port table found. A port that is absent, or that was
// reported at binding, has handle 0.
struct BoundPorts {
  std::array<VarHandle, kMaxBlockPorts> handles{};
  bool bound = false;   // no port reported at binding left the block invalid
  bool usable = false;  // bound, and every checked rule holds
};

// The same, with the handles by port name.
template <typename Port>
struct PortHandles : BoundPorts {
  VarHandle operator[](Port p) const { return handles[static_cast<size_t>(p)]; }
  bool Has(Port p) const { return (*this)[p] != 0; }
};

class TBaseModel;

// What the host holds: every IModel slot of the block behind a barrier, so
// that no C++ exception crosses into the host and the host's floating-point
// state changes no value. A slot runs in the library's state and calls the
// host back in the host's; a host that promised to call in the library's
// state (kLibraryStateHostId) is taken at its word. A slot that throws
// reports the fault (code 8), leaves the block invalid and its step undone.
class TModelGuard final : public IModel {
 public:
  explicit TModelGuard(TBaseModel& block) : Block(block) {}
  TModelGuard(const TModelGuard&) = delete;
  TModelGuard& operator=(const TModelGuard&) = delete;

  int32_t RIR_STDCALL QueryInterface(const GUID* iid, void** out) override;
  uint32_t RIR_STDCALL AddRef() override;
  uint32_t RIR_STDCALL Release() override;
  int32_t RIR_STDCALL Reserved3() override;
  bool RIR_STDCALL IsValid() override;
  int32_t RIR_STDCALL GetActivation() override;
  int32_t RIR_STDCALL GetAuxValue() override;
  void RIR_STDCALL Start() override;
  void RIR_STDCALL InputChanged() override;
  TimeStepResult RIR_STDCALL TimeStep() override;
  void RIR_STDCALL LoadParameters() override;
  void RIR_STDCALL Reserved11() override;
  void RIR_STDCALL Done() override;
  int32_t RIR_STDCALL Reserved13(int32_t, const char** out) override;
  int32_t RIR_STDCALL Reserved14(int32_t) override;
  int32_t RIR_STDCALL Reserved15() override;
  int32_t RIR_STDCALL Reserved16() override;
  int32_t RIR_STDCALL Reserved17() override;
  void RIR_STDCALL Reserved18() override;
  void RIR_STDCALL Reserved19() override;
  const char* RIR_STDCALL GetTypeName() override;
  void RIR_STDCALL Reserved21() override;
  void RIR_STDCALL Reserved22() override;
  void RIR_STDCALL Reserved23(int32_t) override;
  int32_t RIR_STDCALL Reserved24(int32_t) override;
  void RIR_STDCALL Reserved25(int32_t) override;
  int32_t RIR_STDCALL Reserved26() override;

  // RirEdaArraySteps::InputChangedOver of the block: as InputChanged, guarded.
  static int32_t RIR_STDCALL InputChangedOver(void* guard, int32_t count, const RirEdaArrayPort* ports,
                                              int32_t portCount);
  // RirEdaArraySteps::InputChangedAt of the block: as InputChanged, guarded.
  static int32_t RIR_STDCALL InputChangedAt(void* guard, int32_t count, const int64_t* times,
                                            const RirEdaArrayPort* inputs, int32_t inputCount,
                                            const RirEdaWordPort* outputs, int32_t outputCount, uint8_t* wrote);

  // The block calls `host` from now on. The init exports build a block over
  // a link of their own, which calls the host in the state it entered with.
  void RetargetHost(IPELMOR* host);

 private:
  class SlotEntry;
  class FinalEntry;

  // Runs one slot; on an exception reports it and answers `failed`.
  template <typename F, typename R>
  [[gnu::always_inline]] inline R Guarded(const char* slot, F&& call, R failed);
  // The same for a host that did not promise the library's state: entered
  // through a SlotEntry, out of line, so that the promised path stays small.
  template <typename F, typename R>
  [[gnu::noinline]] R Entered(const char* slot, F&& call, R failed);
  // The same without entering the library's state (the caller has).
  template <typename F, typename R>
  [[gnu::always_inline]] inline R Caught(const char* slot, F&& call, R failed);
  template <typename F>
  void Guarded(const char* slot, F&& call);

  TBaseModel& Block;
};

class TBaseModel : public IModel {
  friend class TModelGuard;

 public:
  TBaseModel(IPELMOR* host, int32_t auxValue, int32_t activation);
  TBaseModel(const TBaseModel&) = delete;
  TBaseModel& operator=(const TBaseModel&) = delete;

  // IUnknown
  int32_t RIR_STDCALL QueryInterface(const GUID* iid, void** out) override;
  uint32_t RIR_STDCALL AddRef() override;
  uint32_t RIR_STDCALL Release() override;

  // IModel with the base answers
  int32_t RIR_STDCALL Reserved3() override { return 0; }
  bool RIR_STDCALL IsValid() override { return Valid; }
  int32_t RIR_STDCALL GetActivation() override { return Activation; }
  int32_t RIR_STDCALL GetAuxValue() override { return AuxValue; }
  void RIR_STDCALL Start() override {}
  void RIR_STDCALL InputChanged() override {}
  TimeStepResult RIR_STDCALL TimeStep() override { return -1; }
  void RIR_STDCALL LoadParameters() override {}
  void RIR_STDCALL Reserved11() override {}
  void RIR_STDCALL Done() override;
  int32_t RIR_STDCALL Reserved13(int32_t, const char** out) override;
  int32_t RIR_STDCALL Reserved14(int32_t) override { return 0; }
  int32_t RIR_STDCALL Reserved15() override { return 1; }
  int32_t RIR_STDCALL Reserved16() override { return 0; }
  int32_t RIR_STDCALL Reserved17() override { return 8; }
  void RIR_STDCALL Reserved18() final {}
  void RIR_STDCALL Reserved19() final {}
  const char* RIR_STDCALL GetTypeName() override { return TypeName.c_str(); }
  void RIR_STDCALL Reserved21() override;
  void RIR_STDCALL Reserved22() override {}
  void RIR_STDCALL Reserved23(int32_t) override {}
  int32_t RIR_STDCALL Reserved24(int32_t) override { return 0; }
  void RIR_STDCALL Reserved25(int32_t) override {}
  int32_t RIR_STDCALL Reserved26() override { return 0; }

  // What the init exports hand to the host: a reference to the block's
  // guarded interface.
  IModel** SelfRefAddress() { return &SelfRef; }

  // Reports an exception that reached the block's boundary and leaves the
  // block invalid; steps are not run afterwards. Never throws.
  void Fault(const char* where, const char* what) noexcept;

 protected:
  virtual ~TBaseModel();

  // Binds each port by name; mask is demanded of each found variable's flags.
  // Every port is tried; each failure is reported once; Valid &= result.
  bool BindRequired(std::initializer_list<PortBinding> ports, uint16_t mask);
  bool BindOptional(std::initializer_list<PortBinding> ports, uint16_t mask);
  // Binds a port table. Consecutive ports of the same presence and direction
  // are bound as one call of the two above (outputs demand the writable
  // flag); binding ends after a call in which a port whose fault leaves the
  // block invalid was reported. Then the table's checks run in order and
  // the first that fails is reported. Valid is cleared by every fault but
  // those of ports that only count as absent.
  template <typename Port>
  PortHandles<Port> BindPorts(const PortTable& table) {
    PortHandles<Port> ports;
    BindTable(table, ports);
    return ports;
  }

  // The one read and the one write of a port's value. Both go through the
  // host's typed slots when its extension offers them (chosen once, at
  // construction), else through its texts; a read is a load of the host's
  // value word where it offers those. A block computes the same either way.
  // A read of a host without a value gives the form of "".
  ValueBits ReadValue(VarHandle handle) const {
    if (WordCount != 0) return ReadWord(handle);
    if (Typed != nullptr) return ValueBits::FromWord(Typed->ReadValue(Typed->context, handle));
    return ReadValueAsText(handle);
  }
  void WriteValue(VarHandle handle, ValueBits value) const {
    if (Typed != nullptr)
      Typed->WriteValue(Typed->context, handle, value.Word());
    else
      WriteValueAsText(handle, value);
  }
  // The model time rounded to the nearest integer by `round` (ties to even),
  // or by the host when it offers typed values.
  template <typename Round>
  int64_t RoundedTime(Round round) const {
    if (TimeWord != nullptr) return *TimeWord;
    return Typed != nullptr ? Typed->RoundedTime(Typed->context) : round(Host->GetTime());
  }
  // A port's sample in the block's sign mode.
  int32_t ReadSample(VarHandle handle, int32_t signMode) const { return DecodeValueBits(signMode, ReadValue(handle)); }
  // True when the variable's text is exactly "1" (a high clock or strobe).
  bool IsHigh(VarHandle handle) const { return ReadValue(handle).IsHigh(); }
  // Tells the host that InputChanged does nothing while `handle` does not
  // read high (IsHigh), so that it may skip those calls; in construction.
  void ActsOnlyWhileHigh(VarHandle handle) const;
  // Offers the host the block's array steps where the host takes them:
  // InputChangedOver below when `over`, InputChangedAt when `ahead` (a block
  // that keeps to itself as stepping ahead asks, but for the source it
  // `shares`). The last step of construction.
  void OfferArraySteps(bool over, bool ahead, bool shares = false);
  // `count` input changes over arrays (RirEdaArraySteps); 0: none made.
  virtual int32_t InputChangedOver(int32_t count, const RirEdaArrayPort* ports, int32_t portCount) { return 0; }
  // The same at given times, into output words (RirEdaArraySteps::InputChangedAt).
  virtual int32_t InputChangedAt(int32_t count, const int64_t* times, const RirEdaArrayPort* inputs, int32_t inputCount,
                                 const RirEdaWordPort* outputs, int32_t outputCount, uint8_t* wrote) {
    return 0;
  }
  // The words of `handle` among `ports`; null when it is not there.
  static uint64_t* ArrayWords(VarHandle handle, const RirEdaWordPort* ports, int32_t portCount);
  // The samples of `handle` among `ports`; null when it is not there.
  static int32_t* ArraySamples(VarHandle handle, const RirEdaArrayPort* ports, int32_t portCount);
  // WriteOutput's telling, for the value of step `step` of an array call.
  void TellValueProblemAt(VarHandle handle, int32_t problem, int32_t step) const;
  // Writes an output's value, then tells a host with the extension when the
  // value is not the one the block computed (`problem`, a
  // RirEdaValueProblem; rvpNone for a value that came through).
  void WriteOutput(VarHandle handle, ValueBits value, int32_t problem) const {
    WriteValue(handle, value);
    if (problem != rvpNone) [[unlikely]]
      TellValueProblem(handle, problem);
  }

  // Stored 32-bit integer parameter, or `def` when absent or not 4 bytes.
  int32_t GetIntParameter(const char* name, int32_t def) const;
  // Copies a stored record of exactly `size` bytes into `dest`; false otherwise.
  bool GetRecordParameter(const char* name, void* dest, int32_t size) const;

  void Report(int32_t code, intptr_t argument) const { Host->ReportError(code, argument); }
  void ReportText(const std::string& text) const {
    Host->ReportError(rcMessage, reinterpret_cast<intptr_t>(text.c_str()));
  }

  IModel* SelfRef = nullptr;
  // What the block calls: the host, or its link while a slot runs for a host
  // whose floating-point state differs from the library's; null for none.
  IPELMOR* Host = nullptr;
  // The host's extension (null for a host that offers none), asked for once.
  const RirEdaHostExtension* Extension = nullptr;
  // The extension when it offers typed values, else null: values as texts.
  const RirEdaHostExtension* Typed = nullptr;
  // The host's value words when it offers them with typed values (WordCount
  // 0: it does not), read without a call.
  const unsigned char* WordBase = nullptr;
  size_t WordStride = 0;
  uint32_t WordCount = 0;
  const int64_t* TimeWord = nullptr;  // the host's rounded time, where it offers it
  std::string TypeName;
  bool Valid = true;
  int32_t Activation;
  int32_t AuxValue;

 private:
  bool Bind(std::initializer_list<PortBinding> ports, uint16_t mask, bool required);
  // Asks `host` for its extension once (Extension, Typed, the value words).
  void FindExtension(IPELMOR* host);
  // A value as a load of its word; an unknown handle reads as "", as ReadValue answers it.
  ValueBits ReadWord(VarHandle handle) const {
    const uint32_t index = handle - 1u;
    uint64_t word = 0;
    if (index < WordCount) [[likely]]
      std::memcpy(&word, WordBase + index * WordStride, sizeof word);
    return ValueBits::FromWord(word);
  }
  void FindValueWords();
  ValueBits ReadValueAsText(VarHandle handle) const;
  void WriteValueAsText(VarHandle handle, ValueBits value) const;
  [[gnu::cold, gnu::noinline]] void TellValueProblem(VarHandle handle, int32_t problem) const;
  // Finds one port into `handle`; false, reported, when it is missing though
  // required or lacks a flag of `mask`.
  bool FindPort(const char* name, uint16_t mask, bool required, VarHandle& handle);
  void BindTable(const PortTable& table, BoundPorts& ports);
  bool RuleHolds(const PortSpec& port, PortRule rule, VarHandle handle, const BoundPorts& ports) const;
  std::atomic<uint32_t> RefCount{0};
  THostLink Link;       // the host, called in the state it entered with
  bool HostKeepsState;  // the host promised to call in the library's state
  TModelGuard Guard{*this};
  RirEdaArraySteps ArraySteps{sizeof(RirEdaArraySteps), &Guard, &TModelGuard::InputChangedOver, nullptr, 0};
  bool Faulted = false;
};

class TBaseModelExt : public TBaseModel {
 public:
  using TBaseModel::TBaseModel;
  // A run starts by computing from the current inputs.
  void RIR_STDCALL Start() override { InputChanged(); }
};
