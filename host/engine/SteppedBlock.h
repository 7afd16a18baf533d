// One block over its own host object, as every host of ours steps it: the
// simulator's engine for each block of a design, and the Python module for
// a block on its own. It owns the host object and the block, makes the
// calls (LoadParameters, Start, TimeStep, InputChanged, Done), words the
// block's reports, warns when a free-running generator has used up its
// table, writes values onto its inputs and decodes what it wrote on its
// outputs. What the block says reaches the owner as sentences.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "InProcessHost.h"
#include "framework/RecordLimits.h"
#include "host/design/BlockTypes.h"
#include "host/design/Messages.h"
#include "framework/ValueBits.h"

// A port's sample as the block computes with it: the variable's value read
// in its sign mode, a 32-bit signed integer (a one-bit value reads 0 or 1).
inline int32_t SampleOf(const HostVariable& v) { return DecodeValueBits(v.signMode, v.value); }

class SteppedBlock {
 public:
  // Where the block's sentences go.
  class Listener {
   public:
    virtual ~Listener() = default;
    // A report, a library message or a warning, worded in the block's language.
    virtual void Said(const std::string& sentence) = 0;
    // The block called AbortRun (after the sentence that says so).
    virtual void BlockAborted() = 0;
  };

  // What the host object answers the block with.
  struct Settings {
    int32_t signValue = 0;
    std::vector<uint8_t> record;  // the stored record
    long double samplePeriod = 1;
    std::string libraryDirectory;
    bool typedValues = true;  // false: the block reads and writes value texts
  };

  // `name` is how the sentences name the block.
  SteppedBlock(std::shared_ptr<VariableStore> store, const BlockType& type, std::string name, HostLanguage lang,
               Listener& listener);
  ~SteppedBlock();
  SteppedBlock(const SteppedBlock&) = delete;
  SteppedBlock& operator=(const SteppedBlock&) = delete;

  // Set-up, before Construct: a port on a variable of the store.
  void ConnectInput(const std::string& port, VarHandle variable);
  void ConnectOutput(const std::string& port, VarHandle variable);
  // Applies the settings and constructs the block through its init export,
  // fixing the store's layout first. False when the block is not valid (it
  // is finished then, unstarted).
  bool Construct(InitExport init, const Settings& settings);

  // The calls of a run. LoadParameters also starts the count of a
  // free-running generator's table; TimeStep, at model time `time`, warns
  // once when the block has stepped past it.
  void LoadParameters() {
    model_->LoadParameters();
    tableLeft_ = playsTable_ ? kGeneratorTableLength : -1;
  }
  void Start() { model_->Start(); }
  [[gnu::always_inline]] int64_t TimeStep(int64_t time) {
    const int64_t delay = model_->TimeStep();
    if (tableLeft_ >= 0 && tableLeft_-- == 0) [[unlikely]]
      SayTableEnd(time);
    return delay;
  }
  [[gnu::always_inline]] void InputChanged() { model_->InputChanged(); }
  // The variable the block acts on only while it reads high (0: none): while
  // it does not, an InputChanged call may be left out.
  VarHandle HighGate() const { return highGate_; }
  // Whether the block offered its steps over arrays.
  bool HasArraySteps() const { return model_ != nullptr && stepsOver_ != nullptr; }
  // Whether it offered steps ahead (RirEdaArraySteps::InputChangedAt): it
  // keeps to itself, so its steps may run before or after other blocks' steps
  // of the same time points.
  bool StepsAhead() const { return model_ != nullptr && stepsAt_ != nullptr; }
  // Whether those steps draw on a source other blocks share: then only as
  // the one block of a run that says so.
  bool SharesSource() const { return StepsAhead() && sharesSource_; }
  // `count` InputChanged calls through them, the k-th at model time
  // times[k] with input i holding inputs[i][k] (a sample in the block's sign
  // mode); wrote[k] says whether step k wrote the outputs, and where it did
  // outputs[j][k] receives the word it wrote to output j. The store's
  // variables are left as they are. False when the block made none.
  bool InputChangedAt(int32_t count, const int64_t* times, int32_t* const* inputs, uint64_t* const* outputs,
                      uint8_t* wrote);
  // The sign mode the block reads its inputs in.
  int32_t SignMode() const { return signMode_; }
  // `count` InputChanged calls in a row through the block's array steps, the
  // k-th with input i holding inputs[i][k] (a value the port carries), at
  // model time now + k; outputs[j][k] receives what output j reads back.
  // False when the block made none (no array steps, or not now).
  bool InputChangedOver(int32_t count, int32_t* const* inputs, int32_t* const* outputs);
  // Done and the block's release; says how many reports were not shown.
  // Nothing is called afterwards.
  void Finish();
  bool Finished() const { return model_ == nullptr; }

  // The k-th input takes `value` as the block would read it back: its low
  // bits (unsigned) or its sign and magnitude (sign mode 0), written as any
  // write reaches the store.
  void Feed(size_t k, int64_t value);
  // What the block wrote on its k-th output, as SampleOf decodes it.
  int32_t Output(size_t k) const { return SampleOf(*outputVariables_[k]); }

  // A message the signal library sent while this block was being called.
  void LibraryMessage(int32_t severity, const char* text);
  // The values the block wrote since the last call that are not the ones it
  // computed (wrapped, out of the sample range, not a number), as warnings
  // per output and kind; the counts start again.
  std::vector<std::string> TakeValueProblems();

  const BlockType& Type() const { return type_; }
  const std::string& Name() const { return name_; }
  int32_t Activation() const { return activation_; }
  bool TimeDriven() const { return activation_ == kTimeDriven; }
  const std::vector<VarHandle>& Inputs() const { return inputs_; }
  const std::vector<VarHandle>& Outputs() const { return outputs_; }
  InProcessHost& Host() { return host_; }
  // Reports and library errors, and warnings, said so far.
  uint64_t Errors() const { return errors_; }
  uint64_t Warnings() const { return warnings_; }

 private:
  void OnReport(const HostReport& r);
  [[gnu::noinline, gnu::cold]] void SayTableEnd(int64_t time);

  // What every call reads first, together.
  IModel* model_ = nullptr;
  int64_t tableLeft_ = -1;  // steps left in a free-running generator's table, -1 = no table
  int32_t activation_ = 0;
  bool playsTable_ = false;
  const BlockType& type_;
  std::string name_;
  HostLanguage lang_;
  Listener& listener_;
  InProcessHost host_;
  std::vector<VarHandle> inputs_, outputs_;
  std::vector<HostVariable*> outputVariables_;
  std::vector<int32_t> feedWidths_;  // per input
  const RirEdaArraySteps* arraySteps_ = nullptr;
  VarHandle highGate_ = 0;
  std::vector<RirEdaArrayPort> arrayPorts_;  // inputs, then outputs; sized once
  decltype(RirEdaArraySteps::InputChangedOver) stepsOver_ = nullptr;
  decltype(RirEdaArraySteps::InputChangedAt) stepsAt_ = nullptr;
  bool sharesSource_ = false;
  std::vector<RirEdaWordPort> wordPorts_;  // the outputs, for InputChangedAt
  int32_t signMode_ = 0;
  uint64_t reports_ = 0;
  uint64_t errors_ = 0, warnings_ = 0;
};
