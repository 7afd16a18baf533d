#include "BufferTransforms.h"

#include <algorithm>
#include <string>

#include "framework/BlockCatalogue.h"
#include "framework/BlockFactories.h"
#include "framework/Errors.h"
#include "numeric/Init_NSPDLL.h"
#include "ResultRounding.h"

namespace {}  // namespace

static_assert(TTransform::kBufferLength == kMaxSignalLength && TTransform::kMaxTaps == kRecordMaxTaps,
              "the catalogue states the limits");

TTransform::TTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  Valid = false;
  HoldsLibrary = AcquireSignalLibrary(Host);
  if (!HoldsLibrary) return;
  // An optional output without the writable flag is reported and, like any
  // reported port, leaves the block unusable.
  const PortHandles<BufferPort> ports = BindPorts<BufferPort>(BlockPorts(BlockClass::Transform));
  if (!ports.usable) return;
  InHandle = ports[BufferPort::DIn];
  WHandle = ports[BufferPort::W];
  RHandle = ports[BufferPort::R];
  ReOutHandle = ports[BufferPort::DReOut];
  BusyHandle = ports[BufferPort::IBusy];
  ImOutHandle = ports[BufferPort::DImOut];
  PowerHandle = ports[BufferPort::DSOut];
  Width = Host->GetVariableWidth(ReOutHandle);
  Valid = true;
  Code = CatalogueCodeOf(typeName);
  const int32_t dialogCode = DialogCodeOf(typeName);
  IsGroup = IsGroupDialogCode(dialogCode);
  GroupNumber = IsGroup ? dialogCode : -1;
  SignMode = GetIntParameter("SignValue", 0);
  ReOut.Resize(Width, SignMode);
  ImOut.Resize(Width, SignMode);
  PowerOut.Resize(2 * Width, SignMode);
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
  Cursor.Rewind();
  // The stored bytes replace the Goertzel area: free what it held first.
  ReleaseStates();
  if (!GetRecordParameter(CatalogueName(Code), &Params, sizeof Params)) {
    Params = TransformParams{};
    DefaultTransformRecord(Params);
  }
  if (IsGroup) Code = Params.TransformCode;
  N = std::min(TransformSignalLength(Code, Params, OutLen), kBufferCapacity);
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
  WriteValue(ReOutHandle, ReOut.Zero());
  if (ImOutHandle != 0) WriteValue(ImOutHandle, ImOut.Zero());
  if (PowerHandle != 0) WriteValue(PowerHandle, PowerOut.Zero());
  if (BusyHandle != 0) WriteValue(BusyHandle, ValueBits::Digit(false));
  // A run cut short in mid-emission must not leave the output index behind:
  // the transform runs only from index 0, so the block would never run again.
  Cursor.StopEmission();
}

void RIR_STDCALL TTransform::InputChanged() {
  if (!Valid) return;
  const int32_t v = ReadSample(InHandle, SignMode);
  const bool read = IsHigh(RHandle);
  const bool write = IsHigh(WHandle);

  if (Cursor.Emitting && write) {
    const SCplx& r = Arrays.Results[Cursor.TakeEmission(OutLen)];
    int32_t reProblem = rvpNone, imProblem = rvpNone, powerProblem = rvpNone;
    const int32_t re = RoundToSample(r.re, reProblem);
    const int32_t im = RoundToSample(r.im, imProblem);
    WriteOutput(ReOutHandle, ReOut.Encode(re), ReOut.Problem(re, reProblem));
    if (ImOutHandle != 0) WriteOutput(ImOutHandle, ImOut.Encode(im), ImOut.Problem(im, imProblem));
    if (PowerHandle != 0) {
      const long double p = static_cast<long double>(int64_t{re} * re) + static_cast<long double>(int64_t{im} * im);
      const int32_t power = RoundToSample(p, powerProblem);
      WriteOutput(PowerHandle, PowerOut.Encode(power), PowerOut.Problem(power, powerProblem));
    }
  }

  if (read) Cursor.Collect(Arrays.Input, N, v);

  // N is 0 until the parameters are loaded: nothing to transform then.
  if ((read || write) && N > 0) {
    if (Cursor.ReadyToRun(N)) {
      RunTransform();
      Cursor.Ran(OutLen);
      if (BusyHandle != 0) WriteValue(BusyHandle, ValueBits::Digit(false));
    } else if (Cursor.Full(N) && BusyHandle != 0) {
      WriteValue(BusyHandle, ValueBits::Digit(true));
    }
  }
}

void TTransform::RunTransform() {
  const bool inFamily =
      Code >= 1 && Code <= kCatalogueSize && GroupOfCode(DialogCodeOfCatalogueCode(Code)) == GroupNumber;
  if (IsGroup && !inFamily) {
    // The record selects a transform of another family: the results are 0.
    std::fill(Arrays.Results, Arrays.Results + N, SCplx{0.0f, 0.0f});
    OutLen = N;
    return;
  }
  OutLen = RunBufferTransform(static_cast<CatalogueCode>(Code), N, FftOrder, Params, Arrays);
}

IModel** CreateTransform(IPELMOR* host, const char* typeName) {
  return (new TTransform(host, typeName))->SelfRefAddress();
}
