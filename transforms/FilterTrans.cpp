#include "FilterTrans.h"

#include <algorithm>
#include <string_view>

#include "framework/BlockCatalogue.h"
#include "framework/BlockFactories.h"
#include "numeric/Init_NSPDLL.h"
#include "OneOutputSteps.h"
#include "ResultRounding.h"

static_assert(TFilterTransform::kMaxTaps == kRecordMaxTaps, "the catalogue states the limits");

TFilterTransform::TFilterTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  Valid = false;
  HoldsLibrary = AcquireSignalLibrary(Host);
  if (!HoldsLibrary) return;
  // The name is looked up first: it decides whether "DDes" is bound.
  const int32_t code = FindCatalogueCode(typeName);
  const PortHandles<FilterPort> ports = BindPorts<FilterPort>(BlockPorts(BlockClass::FilterTransform, code));
  if (!ports.bound) return;
  Code = CatalogueCodeOf(typeName);
  IsGroup = Code == ccFiltersGroup;
  TypeName = typeName;
  if (!ports.usable) return;
  SrcHandle = ports[FilterPort::DSrc];
  OutHandle = ports[FilterPort::DOut];
  // Without "DDes" the block is reported and still runs, adapting towards 0.
  DesHandle = ports[FilterPort::DDes];
  HasDesired = DesHandle != 0;
  SignMode = GetIntParameter("SignValue", 0);
  Width = Host->GetVariableWidth(OutHandle);
  Out.Resize(Width, SignMode);
  Valid = true;
  LoadParameters();
  OfferArraySteps(true, true);
}

TFilterTransform::~TFilterTransform() {
  if (HoldsLibrary) {
    ReleaseStates();
    ReleaseSignalLibrary();
  }
}

void RIR_STDCALL TFilterTransform::Done() {
  if (HoldsLibrary) {
    ReleaseStates();
    HoldsLibrary = false;
    ReleaseSignalLibrary();
  }
  TBaseModelExt::Done();
}

void TFilterTransform::ReleaseStates() {
  FreeFilterAreas(Params, LiveStates);
  LiveStates = 0;
  Stepper = FilterStep{};
}

void RIR_STDCALL TFilterTransform::LoadParameters() {
  if (!Valid || !HoldsLibrary) return;
  // The stored bytes replace the state areas: free what they held first.
  ReleaseStates();
  if (!GetRecordParameter(CatalogueName(Code), &Params, sizeof Params)) {
    Params = FilterParams{};
    DefaultFilterRecord(Params);
  }
  if (IsGroup) Code = Params.TransformCode;
  Kind = FindFilterKind(Code);
  if (Kind != nullptr) {
    Kind->Init(Params);
    LiveStates |= Kind->Areas;
    Stepper = BindFilterStep(*Kind, Params);
  }
}

void RIR_STDCALL TFilterTransform::InputChanged() {
  if (!Valid || !HoldsLibrary) return;
  const float x = static_cast<float>(ReadSample(SrcHandle, SignMode));
  const float d = HasDesired ? static_cast<float>(ReadSample(DesHandle, SignMode)) : 0.0f;
  const float r = Kind != nullptr ? FilterSample(*Kind, Params, Stepper, x, d) : 0.0f;
  int32_t problem = rvpNone;
  const int32_t v = RoundFloatToSample(r, problem);
  WriteOutput(OutHandle, Out.Encode(v), Out.Problem(v, problem));
}

void TFilterTransform::FilterChunk(const float* x, const int32_t* d, float* r, int n) {
  if (Kind == nullptr) {
    std::fill(r, r + n, 0.0f);
    return;
  }
  if (Kind->Steps != nullptr && Kind->Steps(Params, x, r, n)) return;
  for (int i = 0; i < n; ++i)
    r[i] = FilterSample(*Kind, Params, Stepper, x[i], d != nullptr ? static_cast<float>(d[i]) : 0.0f);
}

template <typename Emit>
bool TFilterTransform::Steps(int32_t count, const RirEdaArrayPort* inputs, int32_t inputCount, Emit emit) {
  if (!Valid || !HoldsLibrary) return false;
  const int32_t* src = ArraySamples(SrcHandle, inputs, inputCount);
  const int32_t* des = HasDesired ? ArraySamples(DesHandle, inputs, inputCount) : nullptr;
  if (src == nullptr || (HasDesired && des == nullptr)) return false;
  constexpr int kChunk = 256;
  float x[kChunk], r[kChunk];
  for (int32_t i = 0; i < count; i += kChunk) {
    const int n = static_cast<int>(std::min<int32_t>(kChunk, count - i));
    for (int k = 0; k < n; ++k) x[k] = static_cast<float>(src[i + k]);
    FilterChunk(x, des != nullptr ? des + i : nullptr, r, n);
    for (int k = 0; k < n; ++k) {
      int32_t problem = rvpNone;
      const int32_t v = RoundFloatToSample(r[k], problem);
      problem = Out.Problem(v, problem);
      emit(i + k, v);
      if (problem != rvpNone) [[unlikely]]
        TellValueProblemAt(OutHandle, problem, i + k);
    }
  }
  return true;
}

// InputChanged over arrays: the same values, rounded and written as InputChanged
// writes them, without a text per step.
int32_t TFilterTransform::InputChangedOver(int32_t count, const RirEdaArrayPort* ports, int32_t portCount) {
  return SamplesOver(
      count, ArraySamples(OutHandle, ports, portCount), Out,
      [&](auto emit) { return Steps(count, ports, portCount, emit); },
      [&](ValueBits last) { WriteValue(OutHandle, last); });
}

int32_t TFilterTransform::InputChangedAt(int32_t count, const int64_t*, const RirEdaArrayPort* inputs,
                                         int32_t inputCount, const RirEdaWordPort* outputs, int32_t outputCount,
                                         uint8_t* wrote) {
  return WordsAt(count, ArrayWords(OutHandle, outputs, outputCount), wrote, Out,
                 [&](auto emit) { return Steps(count, inputs, inputCount, emit); });
}

IModel** CreateFilterTransform(IPELMOR* host, const char* typeName) {
  return (new TFilterTransform(host, typeName))->SelfRefAddress();
}
