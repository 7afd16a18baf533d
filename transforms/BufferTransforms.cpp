#include "BufferTransforms.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "../framework/BlockCatalogue.h"
#include "../framework/BlockFactories.h"
#include "../framework/Errors.h"
#include "../numeric/Init_NSPDLL.h"
#include "ResultRounding.h"

namespace {
constexpr int32_t kMax = TTransform::kBufferLength;

NSPSGoertzState* GoertzelArea(TransformParams& p) { return reinterpret_cast<NSPSGoertzState*>(p.GoertzelState); }

// log2 of the largest power of two not above n (n >= 1).
int32_t FloorLog2(int32_t n) {
  int32_t order = 0;
  while ((n >> 1) > 0) {
    n >>= 1;
    ++order;
  }
  return order;
}
}  // namespace

static_assert(TTransform::kBufferLength == kMaxSignalLength && TTransform::kMaxTaps == kRecordMaxTaps,
              "the catalogue states the limits");

TTransform::TTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  Valid = false;
  HoldsLibrary = AcquireSignalLibrary(Host);
  if (!HoldsLibrary) return;
  // An optional output without the writable flag is reported and, like any
  // reported port, leaves the block unusable.
  if (!BindPorts(BlockPorts(BlockClass::Transform),
                 {&InHandle, &WHandle, &RHandle, &ReOutHandle, &BusyHandle, &ImOutHandle, &PowerHandle}))
    return;
  for (VarHandle h : {ReOutHandle, ImOutHandle, PowerHandle}) {
    if (h != 0 && Host->GetVariableKind(h) != vkBus) {
      Report(rcWrongKindOrFlags, h);
      return;
    }
  }
  Width = Host->GetVariableWidth(ReOutHandle);
  if (ImOutHandle != 0 && Host->GetVariableWidth(ImOutHandle) != Width) {
    Report(rcWrongWidth, ImOutHandle);
    return;
  }
  if (PowerHandle != 0 && Host->GetVariableWidth(PowerHandle) != 2 * Width) {
    Report(rcWrongWidth, PowerHandle);
    return;
  }
  Valid = true;
  Code = CatalogueCodeOf(typeName);
  const int32_t dialogCode = DialogCodeOf(typeName);
  IsGroup = IsGroupDialogCode(dialogCode);
  GroupNumber = IsGroup ? dialogCode : -1;
  SignMode = GetIntParameter("SignValue", 0);
  ReText.Resize(Width);
  ImText.Resize(Width);
  PowerText.Resize(2 * Width);
  TypeName = std::string(typeName) + "_" + std::to_string(Width);
}

TTransform::~TTransform() {
  if (HoldsLibrary) {
    ReleaseStates();
    ReleaseSignalLibrary();
  }
}

void TTransform::ReleaseStates() {
  if (GoertzelLive) NspTable.nspsGoertzFree(GoertzelArea(Params));
  GoertzelLive = false;
}

void RIR_STDCALL TTransform::LoadParameters() {
  if (!Valid) return;
  SampleCount = 0;
  OutIndex = 0;
  // The stored bytes replace the Goertzel area: free what it held first.
  ReleaseStates();
  if (!GetRecordParameter(CatalogueName(Code), &Params, sizeof Params)) {
    Params = TransformParams{};
    DefaultTransformRecord(Params);
  }
  if (IsGroup) Code = Params.TransformCode;
  N = std::min(TransformSignalLength(Code, Params, OutLen), kMax);
  FftOrder = FloorLog2(N);
  if (Code == ccGoertzelDft) {
    // The frequency is fixed until the next load: one state serves every run.
    NspTable.nspsGoertzInit(Params.GoertzelFrequency, GoertzelArea(Params));
    GoertzelLive = true;
  }
  if ((Code == ccFftRcPack || Code == ccFftCcsRcPack) && (N & (N - 1)) != 0) {
    // Only the first 2^order samples are transformed; say so once per load.
    ShowLibError(msgSignalLengthPowerOfTwo, Language);
  }
}

void RIR_STDCALL TTransform::Start() {
  if (!Valid) return;
  WriteValueText(ReOutHandle, ReText.Zero());
  if (ImOutHandle != 0) WriteValueText(ImOutHandle, ImText.Zero());
  if (PowerHandle != 0) WriteValueText(PowerHandle, PowerText.Zero());
  if (BusyHandle != 0) WriteValueText(BusyHandle, "0");
  Emitting = false;
}

void RIR_STDCALL TTransform::InputChanged() {
  if (!Valid) return;
  const int32_t v = DecodeValueText(SignMode, ReadValueText(InHandle));
  const bool read = IsHigh(RHandle);
  const bool write = IsHigh(WHandle);

  if (Emitting && write) {
    const SCplx& r = ResBuf[OutIndex];
    const int32_t re = RoundClamped(r.re);
    const int32_t im = RoundClamped(r.im);
    WriteValueText(ReOutHandle, ReText.Encode(SignMode, re));
    if (ImOutHandle != 0) WriteValueText(ImOutHandle, ImText.Encode(SignMode, im));
    if (PowerHandle != 0) {
      const long double p = static_cast<long double>(int64_t{re} * re) + static_cast<long double>(int64_t{im} * im);
      WriteValueText(PowerHandle, PowerText.Encode(SignMode, RoundClamped(p)));
    }
    if (++OutIndex >= OutLen) {
      OutIndex = 0;
      Emitting = false;
    }
  }

  if (read && SampleCount < N) {
    InBuf[SampleCount] = SCplx{static_cast<float>(SampleCount), static_cast<float>(v)};
    ++SampleCount;
  }

  // N is 0 until the parameters are loaded: nothing to transform then.
  if ((read || write) && N > 0) {
    if (SampleCount >= N && OutIndex == 0) {
      RunTransform();
      OutIndex = 0;
      SampleCount = 0;
      if (BusyHandle != 0) WriteValueText(BusyHandle, "0");
      Emitting = OutLen > 0;
    } else if (SampleCount == N && BusyHandle != 0) {
      WriteValueText(BusyHandle, "1");
    }
  }
}

void TTransform::AssembleComputed() {
  // Results past the N-th keep counting positions.
  for (int32_t i = N; i < OutLen; ++i) Positions[i] = static_cast<float>(i);
  NspTable.nspcb2RealToCplx(Positions, Computed, ResBuf, OutLen);
}

void TTransform::UpSample(int32_t factor, int32_t phase) {
  OutLen = 0;
  if (factor < 1 || phase < 0 || phase >= factor) return;  // the library would compute nothing
  const int64_t full = int64_t{N} * factor;
  if (full <= kMax) {
    NspTable.nspsUpSample(Values, N, Computed, &OutLen, factor, &phase);
  } else {
    // Only the first kMax values are kept: up-sample the samples whose whole
    // slot fits, then place the one sample that may still land inside.
    const int32_t fit = kMax / factor;
    if (fit > 0) NspTable.nspsUpSample(Values, fit, Computed, &OutLen, factor, &phase);
    std::fill(Computed + OutLen, Computed + kMax, 0.0f);
    const int64_t slot = int64_t{fit} * factor + phase;
    if (fit < N && slot < kMax) Computed[slot] = Values[fit];
    OutLen = kMax;
  }
  Params.SamplPhase = phase;
}

void TTransform::RunTransform() {
  NspTable.nspcbReal(InBuf, Positions, N);
  NspTable.nspcbImag(InBuf, Values, N);
  OutLen = N;

  const bool inFamily = Code >= 1 && Code <= kCatalogueSize && GroupOfCode(DialogCodeOfCatalogueCode(Code)) == GroupNumber;
  if (IsGroup && !inFamily) {
    // The record selects a transform of another family: the results are 0.
    std::fill(ResBuf, ResBuf + N, SCplx{0.0f, 0.0f});
    return;
  }

  switch (Code) {
    case 5:
      NspTable.nspcWinBlackman(InBuf, N, Params.WinAlpha);
      std::memcpy(ResBuf, InBuf, sizeof ResBuf);
      break;
    case 6:
      NspTable.nspcWinKaiser(InBuf, N, Params.WinBeta);
      std::memcpy(ResBuf, InBuf, sizeof ResBuf);
      break;
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
      switch (Code) {
        case 7: NspTable.nspcWinBartlett(InBuf, N); break;
        case 8: NspTable.nspcWinHann(InBuf, N); break;
        case 9: NspTable.nspcWinHamming(InBuf, N); break;
        case 10: NspTable.nspcWinBlackmanStd(InBuf, N); break;
        default: NspTable.nspcWinBlackmanOpt(InBuf, N); break;
      }
      std::memcpy(ResBuf, InBuf, sizeof ResBuf);
      break;
    case 20:
      UpSample(Params.SamplFactor, Params.SamplPhase);
      AssembleComputed();
      break;
    case 21: {
      int32_t phase = Params.SamplPhase;
      OutLen = 0;
      NspTable.nspsDownSample(Values, N, Computed, &OutLen, Params.SamplFactor, &phase);
      OutLen = std::clamp(OutLen, 0, N);
      Params.SamplPhase = phase;
      AssembleComputed();
      break;
    }
    case 22: {
      // Values past the lags are 0.
      const int32_t lags = std::clamp(Params.CorrLags, 0, N);
      std::fill(Computed, Computed + N, 0.0f);
      NspTable.nspsAutoCorr(Values, N, Computed, lags, 0);
      AssembleComputed();
      break;
    }
    case 23:
      // Nothing computes a cross correlation here: emit 0 values.
      std::fill(Computed, Computed + N, 0.0f);
      AssembleComputed();
      break;
    case 25:
      for (int32_t i = 0; i < N; ++i) ResBuf[i].im = -InBuf[N - 1 - i].im;
      break;
    case 26: {
      NspTable.nspcbConjExtend2(InBuf, Extended, N);
      OutLen = std::min(N + 2 * (N / 2), kMax);
      std::memcpy(ResBuf, Extended, sizeof(SCplx) * static_cast<size_t>(OutLen));
      break;
    }
    case 27:
    case 28:
    case 29: {
      const int32_t hLen = std::clamp(Params.ConvTapsCount, 0, kMaxTaps);
      const int32_t full = std::max(N + hLen - 1, 0);
      std::fill(Computed, Computed + full, 0.0f);
      if (Code == 28) {
        NspTable.nspsConv2D(Values, 1, N, Taps(), 1, hLen, Computed);
      } else {
        if (Code == 29) NspTable.nspsFilter2D(Values, 1, N, Taps(), 1, hLen, Computed);
        NspTable.nspsConv(Values, N, Taps(), hLen, Computed);
      }
      OutLen = std::min(full, kMax);
      AssembleComputed();
      break;
    }
    case 40:
    case 41:
    case 44:
      std::memcpy(ResBuf, InBuf, sizeof ResBuf);
      break;
    case 42: {
      const int32_t n = int32_t{1} << FftOrder;
      NspTable.nspsRealFftNip(Values, InBuf, FftOrder, 1);
      OutLen = n / 2 + 1;
      NspTable.nspcbPowerSpectr(InBuf, Computed, OutLen);
      AssembleComputed();
      break;
    }
    case 43:
      OutLen = int32_t{1} << FftOrder;
      NspTable.nspsCcsFftNip(InBuf, Computed, FftOrder, Params.FftFlags);
      AssembleComputed();
      break;
    case 46:
      ResBuf[0] = NspTable.nspsbGoertz(GoertzelArea(Params), Values, N);
      OutLen = 1;
      break;
    default:
      // Everything else passes its input through.
      NspTable.nspcb2RealToCplx(Positions, Values, ResBuf, N);
      break;
  }
}

IModel** CreateTransform(IPELMOR* host, const char* typeName) {
  return (new TTransform(host, typeName))->SelfRefAddress();
}
