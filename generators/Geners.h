// The signal generator block: one integer sample per step on "Out", free
// running from a table computed once per parameter load, or on demand while
// an optional clock "Clk" is high.
#pragma once

#include <array>
#include <string>

#include "framework/BaseExtModel.h"
#include "numeric/ParameterRecords.h"
#include "numeric/SampleOutput.h"
#include "GeneratorWaveforms.h"
#include "SamplesAhead.h"

class TGenerator : public TBaseModelExt {
 public:
  static constexpr int kTableSize = 10001;

  TGenerator(IPELMOR* host, const char* typeName);

  void RIR_STDCALL InputChanged() override;
  TimeStepResult RIR_STDCALL TimeStep() override;
  void RIR_STDCALL LoadParameters() override;
  void RIR_STDCALL Reserved21() override {}

 protected:
  int32_t InputChangedAt(int32_t count, const int64_t* times, const RirEdaArrayPort* inputs, int32_t inputCount,
                         const RirEdaWordPort* outputs, int32_t outputCount, uint8_t* wrote) override;

 private:
  VarHandle ClkHandle = 0;
  VarHandle OutHandle = 0;
  int32_t Kind = -1;           // from the type name
  int32_t EffectiveKind = -1;  // the record's kind for "All_in_One"
  int32_t Width = 0;
  int64_t Now = 0;
  int64_t Period = 0;
  int32_t SignValue = 0;
  bool Clocked = false;
  bool Bound = false;  // "Out" bound and checked: the block may run
  GeneratorParams Params{};
  GeneratorState State;
  SamplesAhead Ahead;  // clocked samples
  std::array<int32_t, kTableSize> Table{};
  // What became of each table sample when it was rounded (RirEdaValueProblem).
  std::array<uint8_t, kTableSize> TableProblems{};
  int32_t TableIndex = 0;
  SampleOutput Out;
  std::string ParamsName;  // type name + "_parameters"
};
