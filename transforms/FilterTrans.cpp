#include "FilterTrans.h"

#include <string_view>

#include "framework/BlockCatalogue.h"
#include "framework/BlockFactories.h"
#include "numeric/Init_NSPDLL.h"
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
  }
}

void RIR_STDCALL TFilterTransform::InputChanged() {
  if (!Valid || !HoldsLibrary) return;
  const float x = static_cast<float>(ReadSample(SrcHandle, SignMode));
  const float d = HasDesired ? static_cast<float>(ReadSample(DesHandle, SignMode)) : 0.0f;
  const float r = Kind != nullptr ? Kind->Step(Params, x, d) : 0.0f;
  int32_t problem = rvpNone;
  const int32_t v = RoundDoubleToSample(r, problem);
  WriteOutput(OutHandle, Out.Encode(v), Out.Problem(v, problem));
}

IModel** CreateFilterTransform(IPELMOR* host, const char* typeName) {
  return (new TFilterTransform(host, typeName))->SelfRefAddress();
}
