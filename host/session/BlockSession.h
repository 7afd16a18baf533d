// One block over its own variables, stepped sample by sample the way the
// dataflow engine steps it in a design, through the same stepping core: the
// Python module's blocks.
//
// Sample 0 opens the run (LoadParameters, then Start: an input-driven block
// takes its first sample there); each later sample is one InputChanged. A
// time-driven block gets one TimeStep per sample after Start. Ports are
// variables of their own, named as the ports.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/design/BlockTypes.h"
#include "host/design/RecordFields.h"
#include "host/engine/SteppedBlock.h"

class PluginLoader;

// A block that cannot be built as asked; the text names what was wrong.
struct BlockSetupError : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

struct BlockSetup {
  std::string exportName;                                  // "High_Level_FIR_Init"
  int32_t width = 16;                                      // of every bus port ("DSOut" gets twice this)
  int32_t signValue = 0;                                   // 0 sign-magnitude, else unsigned
  std::vector<std::pair<std::string, FieldValue>> fields;  // record fields by name, set in turn
  std::vector<std::string> optionalInputs;                 // optional input ports to connect ("Clk", "D2In")
  std::string folder;                                      // wave blocks' library directory, with a trailing '/'
  bool typedValues = true;  // false: the block reads and writes value texts, as on a circuit host
};

// A port a session gives one bit whatever the width of its buses: a clock or
// a port meant for one bit.
bool IsOneBitPort(const PortSpec& port);

class BlockSession : private SteppedBlock::Listener {
 public:
  // Throws BlockSetupError for an unknown type, field or port, a value a field
  // cannot take, a record the block could not use, or a block that is not
  // valid (with its reports).
  BlockSession(PluginLoader& plugin, const BlockSetup& setup);
  ~BlockSession() override;
  BlockSession(const BlockSession&) = delete;
  BlockSession& operator=(const BlockSession&) = delete;

  const BlockType& Type() const { return *type_; }
  const std::vector<std::string>& Inputs() const { return inputs_; }
  const std::vector<std::string>& Outputs() const { return outputs_; }
  bool TimeDriven() const { return core_->TimeDriven(); }
  // Width of a port's variable; -1 when the block has no such port.
  int32_t PortWidth(const std::string& port) const;
  int32_t SignValue() const { return signValue_; }
  // The integers a port takes: what its value text holds in the block's sign
  // mode; an unsigned 32-bit port also takes the negative samples it reads
  // back (its text's bits as a 32-bit signed integer).
  std::pair<int64_t, int64_t> PortRange(const std::string& port) const;

  // `count` samples: inputs[i] holds count values for Inputs()[i] (already in
  // range), outputs[j] receives count values for Outputs()[j], the samples
  // the block wrote as 32-bit signed integers, as the simulator's outputs
  // decode them.
  void Process(size_t count, const std::vector<const int64_t*>& inputs, const std::vector<int64_t*>& outputs);
  // Whether Process may hand whole arrays to a block that offers its steps
  // over them (on at first); off, every sample is one call.
  void UseArraySteps(bool on) { useArraySteps_ = on; }
  // The next Process starts a new run: parameters reloaded, Start again.
  void Restart() { started_ = false; }
  // Done: a recorder writes its file. Nothing may be processed afterwards.
  void Close();
  bool Closed() const { return core_ == nullptr || core_->Finished(); }

  // Block reports and library messages since the last call, as sentences.
  std::vector<std::string> TakeMessages();
  bool Aborted() const { return aborted_; }

 private:
  static void OnLibraryMessage(int32_t severity, const char* text, void* context);
  void Said(const std::string& sentence) override { messages_.push_back(sentence); }
  void BlockAborted() override { aborted_ = true; }
  void Connect(const BlockSetup& setup);
  // LoadParameters and Start, with sample n of `inputs` written.
  void StartRun(const std::vector<const int64_t*>& inputs, size_t n);
  // Sample n as one call (the run's opening at the first).
  void StepOne(const std::vector<const int64_t*>& inputs, const std::vector<int64_t*>& outputs, size_t n);
  // Samples from..to through the block's array steps; the count made (0 when
  // the block made none).
  size_t StepArrays(const std::vector<const int64_t*>& inputs, const std::vector<int64_t*>& outputs, size_t from,
                    size_t to);

  PluginLoader& plugin_;
  const BlockType* type_ = nullptr;
  int32_t signValue_ = 0;
  std::shared_ptr<VariableStore> store_ = std::make_shared<VariableStore>();
  std::unique_ptr<SteppedBlock> core_;
  std::vector<std::string> inputs_, outputs_;
  std::vector<std::string> messages_;
  bool started_ = false;
  int64_t sample_ = 0;  // since Start: the host's time, whatever the Process calls' sizes
  bool aborted_ = false;
  std::map<std::string, int32_t> widths_;  // per port
  bool useArraySteps_ = true;
  std::vector<std::vector<int32_t>> arrayIn_, arrayOut_;  // one chunk per port, sized at first use
};
