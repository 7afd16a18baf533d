// The buffer transform block: collects N samples on the "R" strobe,
// transforms the whole buffer at once through the signal library and hands
// the results out one per "W" strobe. The arithmetic lives in BufferKernels
// and BufferCursor; the block keeps the ports, strobes and value texts.
#pragma once

#include <cstdint>

#include "framework/BaseExtModel.h"
#include "numeric/ParameterRecords.h"
#include "numeric/SampleOutput.h"
#include "BufferCursor.h"
#include "BufferKernels.h"

class TTransform : public TBaseModelExt {
 public:
  // Capacity of the input and result buffers.
  static constexpr int32_t kBufferLength = kBufferCapacity;
  // The record holds at most this many convolution taps.
  static constexpr int32_t kMaxTaps = kBufferMaxTaps;

  TTransform(IPELMOR* host, const char* typeName);

  void RIR_STDCALL Start() override;
  void RIR_STDCALL InputChanged() override;
  void RIR_STDCALL LoadParameters() override;

  int32_t TransformCode() const { return Code; }
  int32_t SignalLength() const { return N; }

 protected:
  ~TTransform() override;

 private:
  void RunTransform();
  void ReleaseStates();

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
  BufferCursor Cursor;
  bool GoertzelLive = false;  // the record's Goertzel area holds a live library state

  alignas(16) TransformParams Params{};
  SampleOutput ReOut, ImOut, PowerOut;

  // No step allocates: buffers and scratch arrays live in the block.
  BufferArrays Arrays;
};
