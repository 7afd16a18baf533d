#include "BufferKernels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "numeric/Init_NSPDLL.h"

namespace {
constexpr int32_t kMax = kBufferCapacity;

// The record is packed: its arrays are reached through their offsets.
const float* Taps(TransformParams& p) {
  return reinterpret_cast<const float*>(reinterpret_cast<unsigned char*>(&p) + offsetof(TransformParams, ConvTaps));
}

void CopyInput(BufferArrays& a) { std::memcpy(a.Results, a.Input, sizeof a.Results); }
}  // namespace

NSPSGoertzState* GoertzelArea(TransformParams& p) {
  return reinterpret_cast<NSPSGoertzState*>(reinterpret_cast<unsigned char*>(&p) +
                                            offsetof(TransformParams, GoertzelState));
}

int32_t FloorLog2(int32_t n) {
  int32_t order = 0;
  while ((n >> 1) > 0) {
    n >>= 1;
    ++order;
  }
  return order;
}

void AssembleComputed(BufferArrays& a, int32_t n, int32_t outLen) {
  for (int32_t i = n; i < outLen; ++i) a.Positions[i] = static_cast<float>(i);
  NspTable.nspcb2RealToCplx(a.Positions, a.Computed, a.Results, outLen);
}

int32_t UpSampleTruncated(const float* values, int32_t n, float* computed, int32_t factor, int32_t& phase) {
  int32_t outLen = 0;
  if (factor < 1 || phase < 0 || phase >= factor) return 0;  // the library would compute nothing
  const int64_t full = int64_t{n} * factor;
  if (full <= kMax) {
    NspTable.nspsUpSample(values, n, computed, &outLen, factor, &phase);
    return outLen;
  }
  // Up-sample the samples whose whole slot fits, then place the one sample
  // that may still land inside.
  const int32_t fit = kMax / factor;
  if (fit > 0) NspTable.nspsUpSample(values, fit, computed, &outLen, factor, &phase);
  std::fill(computed + outLen, computed + kMax, 0.0f);
  const int64_t slot = int64_t{fit} * factor + phase;
  if (fit < n && slot < kMax) computed[slot] = values[fit];
  return kMax;
}

void FlipConjugate(const SCplx* input, SCplx* results, int32_t n) {
  for (int32_t i = 0; i < n; ++i) results[i].im = -input[n - 1 - i].im;
}

namespace {
// Windows the input in place; false for a code that names no window.
bool ApplyWindow(CatalogueCode code, int32_t n, const TransformParams& params, SCplx* input) {
  switch (code) {
    case ccBlackmanTrans:
      NspTable.nspcWinBlackman(input, n, params.WinAlpha);
      return true;
    case ccKaiserTrans:
      NspTable.nspcWinKaiser(input, n, params.WinBeta);
      return true;
    case ccBartlettTrans:
      NspTable.nspcWinBartlett(input, n);
      return true;
    case ccHannTrans:
      NspTable.nspcWinHann(input, n);
      return true;
    case ccHammingTrans:
      NspTable.nspcWinHamming(input, n);
      return true;
    case ccBlackmanStdTrans:
      NspTable.nspcWinBlackmanStd(input, n);
      return true;
    case ccBlackmanOptTrans:
      NspTable.nspcWinBlackmanOpt(input, n);
      return true;
    default:
      return false;
  }
}

int32_t UpSample(int32_t n, TransformParams& params, BufferArrays& a) {
  int32_t phase = params.SamplPhase;
  const int32_t outLen = UpSampleTruncated(a.Values, n, a.Computed, params.SamplFactor, phase);
  params.SamplPhase = phase;
  AssembleComputed(a, n, outLen);
  return outLen;
}

int32_t DownSample(int32_t n, TransformParams& params, BufferArrays& a) {
  int32_t phase = params.SamplPhase;
  int32_t outLen = 0;
  NspTable.nspsDownSample(a.Values, n, a.Computed, &outLen, params.SamplFactor, &phase);
  outLen = std::clamp(outLen, 0, n);
  params.SamplPhase = phase;
  AssembleComputed(a, n, outLen);
  return outLen;
}

int32_t AutoCorrelate(int32_t n, const TransformParams& params, BufferArrays& a) {
  // Values past the lags are 0.
  const int32_t lags = std::clamp(params.CorrLags, 0, n);
  std::fill(a.Computed, a.Computed + n, 0.0f);
  NspTable.nspsAutoCorr(a.Values, n, a.Computed, lags, 0);
  AssembleComputed(a, n, n);
  return n;
}

int32_t ExtendConjugate(int32_t n, BufferArrays& a) {
  NspTable.nspcbConjExtend2(a.Input, a.Extended, n);
  const int32_t outLen = std::min(n + 2 * (n / 2), kMax);
  std::memcpy(a.Results, a.Extended, sizeof(SCplx) * static_cast<size_t>(outLen));
  return outLen;
}

int32_t Convolve(CatalogueCode code, int32_t n, TransformParams& params, BufferArrays& a) {
  const int32_t hLen = std::clamp(params.ConvTapsCount, 0, kBufferMaxTaps);
  const int32_t full = std::max(n + hLen - 1, 0);
  std::fill(a.Computed, a.Computed + full, 0.0f);
  if (code == ccTwoDimConvolution) {
    NspTable.nspsConv2D(a.Values, 1, n, Taps(params), 1, hLen, a.Computed);
  } else {
    if (code == ccFilter2D) NspTable.nspsFilter2D(a.Values, 1, n, Taps(params), 1, hLen, a.Computed);
    NspTable.nspsConv(a.Values, n, Taps(params), hLen, a.Computed);
  }
  const int32_t outLen = std::min(full, kMax);
  AssembleComputed(a, n, outLen);
  return outLen;
}

int32_t RealFftPowerSpectrum(int32_t n, int32_t fftOrder, BufferArrays& a) {
  NspTable.nspsRealFftNip(a.Values, a.Input, fftOrder, 1);
  const int32_t outLen = (int32_t{1} << fftOrder) / 2 + 1;
  NspTable.nspcbPowerSpectr(a.Input, a.Computed, outLen);
  AssembleComputed(a, n, outLen);
  return outLen;
}

int32_t CcsFft(int32_t n, int32_t fftOrder, const TransformParams& params, BufferArrays& a) {
  const int32_t outLen = int32_t{1} << fftOrder;
  NspTable.nspsCcsFftNip(a.Input, a.Computed, fftOrder, params.FftFlags);
  AssembleComputed(a, n, outLen);
  return outLen;
}
}  // namespace

int32_t RunBufferTransform(CatalogueCode code, int32_t n, int32_t fftOrder, TransformParams& params, BufferArrays& a) {
  NspTable.nspcbReal(a.Input, a.Positions, n);
  NspTable.nspcbImag(a.Input, a.Values, n);
  if (ApplyWindow(code, n, params, a.Input)) {
    CopyInput(a);
    return n;
  }
  switch (code) {
    case ccUpSample:
      return UpSample(n, params, a);
    case ccDownSample:
      return DownSample(n, params, a);
    case ccAutoCorrelation:
      return AutoCorrelate(n, params, a);
    case ccCrossCorrelation:
      // Nothing computes a cross correlation here: emit 0 values.
      std::fill(a.Computed, a.Computed + n, 0.0f);
      AssembleComputed(a, n, n);
      return n;
    case ccFlipConjugation:
      FlipConjugate(a.Input, a.Results, n);
      return n;
    case ccExtendedConjugation:
      return ExtendConjugate(n, a);
    case ccOneDimConvolution:
    case ccTwoDimConvolution:
    case ccFilter2D:
      return Convolve(code, n, params, a);
    case ccDiscreteFourier:
    case ccFastFourier:
    case ccFftRealSignal:
      CopyInput(a);
      return n;
    case ccFftRcPack:
      return RealFftPowerSpectrum(n, fftOrder, a);
    case ccFftCcsRcPack:
      return CcsFft(n, fftOrder, params, a);
    case ccGoertzelDft:
      a.Results[0] = NspTable.nspsbGoertz(GoertzelArea(params), a.Values, n);
      return 1;
    default:
      // Everything else passes its input through.
      NspTable.nspcb2RealToCplx(a.Positions, a.Values, a.Results, n);
      return n;
  }
}
