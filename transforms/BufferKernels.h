// The arithmetic of the buffer transform block, apart from its ports,
// strobes and value texts: one full buffer in, the results and their count
// out. Everything goes through the signal library's function table, which
// must be loaded.
#pragma once

#include <cstdint>

#include "framework/BlockCatalogue.h"
#include "framework/CatalogueCodes.h"
#include "numeric/ParameterRecords.h"
#include "signal/nsp.h"

// Capacity of the input and result buffers.
constexpr int32_t kBufferCapacity = kMaxSignalLength;
// The transform record holds at most this many convolution taps.
constexpr int32_t kBufferMaxTaps = kRecordMaxTaps;

// The buffers and scratch arrays of the runs. Collected elements are
// (position, sample); most results are (position, computed value).
struct BufferArrays {
  SCplx Input[kBufferCapacity]{};
  SCplx Results[kBufferCapacity]{};
  float Positions[kBufferCapacity + kBufferMaxTaps]{};
  float Values[kBufferCapacity]{};
  float Computed[kBufferCapacity + kBufferMaxTaps]{};
  SCplx Extended[2 * kBufferCapacity]{};
};

// log2 of the largest power of two not above n (n >= 1); 0 for n < 2.
int32_t FloorLog2(int32_t n);

// Results := (positions, computed) for the first outLen elements; positions
// past the n collected ones keep counting.
void AssembleComputed(BufferArrays& a, int32_t n, int32_t outLen);

// The Goertzel state area inside the record (the record is packed).
NSPSGoertzState* GoertzelArea(TransformParams& p);

// Up-samples n values into at most kBufferCapacity values and returns their
// count; phase is updated as the library updates it. When the full result
// does not fit, the values past the capacity are dropped and the rest of
// the capacity is 0 but for the one sample whose slot still lands inside.
// A factor below 1 or a phase outside [0, factor) computes nothing.
int32_t UpSampleTruncated(const float* values, int32_t n, float* computed, int32_t factor, int32_t& phase);

// Result i := (unchanged real part, -imaginary part of input n-1-i).
void FlipConjugate(const SCplx* input, SCplx* results, int32_t n);

// Transforms the first n collected elements with the transform of the
// catalogue code and returns the number of results. fftOrder is FloorLog2(n);
// the record's sampling phase is updated and its Goertzel area must hold a
// live state for the Goertzel DFT. Codes without a computation pass the
// input through.
int32_t RunBufferTransform(CatalogueCode code, int32_t n, int32_t fftOrder, TransformParams& params, BufferArrays& a);
