// The element-wise transform block: each new input value becomes one output
// value at once, computed in single precision by the signal library.
#pragma once

#include <cstdint>

#include "framework/BaseExtModel.h"
#include "numeric/CompiledFormula.h"
#include "numeric/ParameterRecords.h"
#include "numeric/SampleOutput.h"

class TSimpleTransform : public TBaseModelExt {
 public:
  TSimpleTransform(IPELMOR* host, const char* typeName);

  void RIR_STDCALL InputChanged() override;
  void RIR_STDCALL LoadParameters() override;

  int32_t TransformCode() const { return Code; }

 protected:
  ~TSimpleTransform() override;
  int32_t InputChangedOver(int32_t count, const RirEdaArrayPort* ports, int32_t portCount) override;
  int32_t InputChangedAt(int32_t count, const int64_t* times, const RirEdaArrayPort* inputs, int32_t inputCount,
                         const RirEdaWordPort* outputs, int32_t outputCount, uint8_t* wrote) override;

 private:
  // What a step computes, chosen once per code and record (Prepare).
  enum class Operation : uint8_t {
    Nothing,  // a group whose record selects another family: writes 0
    Fails,
    Exp,
    Ln,
    Formula,
    BitRev,
    Negate,
    Abs,
    Sqr,
    Sqrt,
    ThreshBelow,
    ThreshAbove,
    Zero,  // a threshold operator the library does not know leaves 0
    InvThresh,
    Add,
    AddBoth,
    Mpy,
    MpyBoth,
  };
  // The operation of a code under the record.
  Operation OperationOf(int32_t code) const;
  // Chooses the operation and its constants from the code and the record.
  void Prepare();
  // r from x (and y) by the operation; false when the computation fails.
  // Inlined into both steps, whose every sample runs it.
  [[gnu::always_inline]] inline bool Compute(float x, float y, float& r);
  // The sample written for x (and y), and what became of the result.
  [[gnu::always_inline]] inline int32_t Result(float x, float y, int32_t& problem);
  // The steps of an array call over the input samples among `inputs`:
  // emit(k, v) takes step k's sample, and its problem is told. False when
  // an input is not there.
  template <typename Emit>
  bool Steps(int32_t count, const RirEdaArrayPort* inputs, int32_t inputCount, Emit emit);

  VarHandle InHandle = 0, In2Handle = 0, OutHandle = 0;
  bool HasSecondInput = false;
  bool HoldsLibrary = false;
  bool IsGroup = false;
  bool FormulaChecked = false;  // the user formula passed (or failed) its check since the last load
  CompiledFormula UserFormula;  // the user formula, compiled at each load
  int32_t Code = 0;
  int32_t Width = 0;
  int32_t SignMode = 0;
  TransformParams Params{};
  Operation Op = Operation::Nothing;
  float Coefficient = 0.0f;    // the record's addition or multiplication coefficient, or threshold
  bool ZeroThreshold = false;  // the record's threshold is exactly 0
  SampleOutput Out;
};
