// The buffer transform block: collects N samples on the "R" strobe,
// transforms the whole buffer at once through the signal library and hands
// the results out one per "W" strobe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../framework/BaseExtModel.h"
#include "../numeric/ParameterRecords.h"
#include "../numeric/ValueText.h"
#include "../signal/nsp.h"

class TTransform : public TBaseModelExt {
 public:
  // Capacity of the input and result buffers.
  static constexpr int32_t kBufferLength = 10001;
  // The record holds at most this many convolution taps.
  static constexpr int32_t kMaxTaps = 65;

  TTransform(IPELMOR* host, const char* typeName);

  void RIR_STDCALL Start() override;
  void RIR_STDCALL InputChanged() override;
  void RIR_STDCALL LoadParameters() override;

  int32_t TransformCode() const { return Code; }
  int32_t SignalLength() const { return N; }
  int32_t OutputLength() const { return OutLen; }

 protected:
  ~TTransform() override;

 private:
  void RunTransform();
  // Result buffer := (positions, computed) for the first OutLen elements.
  void AssembleComputed();
  void UpSample(int32_t factor, int32_t phase);
  void ReleaseStates();
  // The record's taps; the record is aligned in the block, so the float
  // field is too.
  const float* Taps() const {
    return reinterpret_cast<const float*>(reinterpret_cast<const unsigned char*>(&Params) +
                                          offsetof(TransformParams, ConvTaps));
  }

  VarHandle InHandle = 0, WHandle = 0, RHandle = 0, ReOutHandle = 0;
  VarHandle BusyHandle = 0, ImOutHandle = 0, PowerHandle = 0;
  bool HoldsLibrary = false;
  bool IsGroup = false;
  int32_t GroupNumber = -1;
  int32_t Code = 0;
  int32_t Width = 0;
  int32_t SignMode = 0;
  int32_t N = 0;
  int32_t OutLen = 0;
  int32_t FftOrder = 0;  // FFT codes: log2 of the largest power of two not above N
  int32_t SampleCount = 0;
  int32_t OutIndex = 0;
  bool Emitting = false;
  bool GoertzelLive = false;  // the record's Goertzel area holds a live library state

  alignas(16) TransformParams Params{};
  ValueTextBuffer ReText, ImText, PowerText;

  // No step allocates: buffers and scratch arrays live in the block.
  SCplx InBuf[kBufferLength]{};
  SCplx ResBuf[kBufferLength]{};
  float Positions[kBufferLength + kMaxTaps]{};
  float Values[kBufferLength]{};
  float Computed[kBufferLength + kMaxTaps]{};
  SCplx Extended[2 * kBufferLength]{};
};
