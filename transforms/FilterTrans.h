// The filter block: every input change pushes one sample through a FIR, IIR
// or LMS filter of the signal library. The library's filter states live in
// the block's copy of the filter record; FilterKernels holds the table of
// what each filter code keeps there and how it filters.
#pragma once

#include <cstdint>

#include "framework/BaseExtModel.h"
#include "numeric/ParameterRecords.h"
#include "numeric/SampleOutput.h"
#include "FilterKernels.h"

class TFilterTransform : public TBaseModelExt {
 public:
  // Each coefficient list of the record holds this many values.
  static constexpr int32_t kMaxTaps = kFilterMaxTaps;

  TFilterTransform(IPELMOR* host, const char* typeName);

  void RIR_STDCALL InputChanged() override;
  void RIR_STDCALL LoadParameters() override;
  // Frees the filter states, drops the block's use of the signal library and
  // releases the self reference.
  void RIR_STDCALL Done() override;

 protected:
  ~TFilterTransform() override;
  int32_t InputChangedOver(int32_t count, const RirEdaArrayPort* ports, int32_t portCount) override;
  int32_t InputChangedAt(int32_t count, const int64_t* times, const RirEdaArrayPort* inputs, int32_t inputCount,
                         const RirEdaWordPort* outputs, int32_t outputCount, uint8_t* wrote) override;

 private:
  void ReleaseStates();
  // r[i] for the samples x[i] (and d[i], null for none) of one chunk.
  void FilterChunk(const float* x, const int32_t* d, float* r, int n);
  // The steps of an array call over the input samples among `inputs`:
  // emit(k, v) takes step k's sample, and its problem is told. False when
  // an input is not there or the block cannot filter.
  template <typename Emit>
  bool Steps(int32_t count, const RirEdaArrayPort* inputs, int32_t inputCount, Emit emit);

  VarHandle SrcHandle = 0, DesHandle = 0, OutHandle = 0;
  bool HasDesired = false;
  bool HoldsLibrary = false;
  bool IsGroup = false;
  int32_t Code = 0;
  int32_t Width = 0;
  int32_t SignMode = 0;
  // The filter code's row; null for codes that filter nothing.
  const FilterKind* Kind = nullptr;
  // Which state areas hold live library states (bits of AreaBit).
  uint32_t LiveStates = 0;
  // The kind's filtering call on the live states; set at each load.
  FilterStep Stepper{};

  alignas(16) FilterParams Params{};
  SampleOutput Out;
};
