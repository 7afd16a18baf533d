#include "SimpleTrans.h"

#include "framework/BlockCatalogue.h"
#include "framework/CatalogueCodes.h"
#include "framework/BlockFactories.h"
#include "numeric/Calc.h"
#include "numeric/Init_NSPDLL.h"
#include "numeric/SupportRoutines.h"
#include "ResultRounding.h"

namespace {
constexpr int kFormulaCapacity = kRecordTextLength;
constexpr float kInverseThreshAtZero = 100000.0f;
}  // namespace

TSimpleTransform::TSimpleTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  Valid = false;
  HoldsLibrary = AcquireSignalLibrary(Host);
  if (!HoldsLibrary) return;
  const PortHandles<SimplePort> ports = BindPorts<SimplePort>(BlockPorts(BlockClass::SimpleTransform));
  if (!ports.usable) return;
  InHandle = ports[SimplePort::DIn];
  OutHandle = ports[SimplePort::DOut];
  In2Handle = ports[SimplePort::D2In];
  HasSecondInput = In2Handle != 0;
  Width = Host->GetVariableWidth(OutHandle);
  Valid = true;
  SignMode = GetIntParameter("SignValue", 0);
  Out.Resize(Width, SignMode);
  Code = CatalogueCodeOf(typeName);
  IsGroup = std::string_view(typeName) == "Arithmetic_Group";
  TypeName = typeName;
  OfferArraySteps();
}

TSimpleTransform::~TSimpleTransform() {
  if (HoldsLibrary) ReleaseSignalLibrary();
}

void RIR_STDCALL TSimpleTransform::LoadParameters() {
  if (!Valid) return;
  if (!GetRecordParameter(CatalogueName(Code), &Params, sizeof Params)) {
    Params = TransformParams{};
    DefaultTransformRecord(Params);
  }
  if (IsGroup) Code = Params.TransformCode;
  FormulaChecked = false;
  if (Code == ccAnyFunc) UserFormula.Compile(FormulaText(Params.UserFunc, kFormulaCapacity));
}

bool TSimpleTransform::Compute(float x, float y, float& r) {
  switch (Code) {
    case ccEToThePower:
      NspTable.nspsbExp2(&x, &r, 1);
      return true;
    case ccNaturalLog:
      if (!(NspTable.nspsMin(&x, 1) > 0.0f)) return false;
      NspTable.nspsbLn2(&x, &r, 1);
      return true;
    case ccAnyFunc: {
      if (Params.UserFunc == "Err") return false;
      // The formula cannot change between loads, so one check (and at most
      // one message) per load is enough.
      if (!FormulaChecked) {
        FormulaChecked = true;
        if (!CheckFormula(Params.UserFunc, kFormulaCapacity)) return false;
      }
      // A formula that cannot be evaluated at this input is worth 0, as the
      // evaluator answers it and as the Func generator writes it.
      r = static_cast<float>(UserFormula.IsCompiled() ? UserFormula.Evaluate(x)
                                                      : FormulaValue(Params.UserFunc, kFormulaCapacity, x));
      return true;
    }
    case ccBitReversed:
      r = static_cast<float>(NspTable.nspBitRev(RoundToSample(x), Params.BitRevOrder));
      return true;
    case ccSimpleConjugation:
      r = -x;
      return true;
    case ccAbsoluteValue:
      NspTable.nspsbAbs2(&x, &r, 1);
      return true;
    case ccSquare:
      NspTable.nspsbSqr2(&x, &r, 1);
      return true;
    case ccSquareRoot:
      if (NspTable.nspsMin(&x, 1) < 0.0f) return false;
      NspTable.nspsbSqrt2(&x, &r, 1);
      return true;
    case ccThresh:
      NspTable.nspsbThresh2(&x, &r, 1, static_cast<float>(Params.ThreshParam), Params.ThreshRelOp);
      return true;
    case ccInverseThresh:
      if (x == 0.0f && Params.ThreshParam == 0.0) {
        r = kInverseThreshAtZero;
      } else {
        NspTable.nspsbInvThresh2(&x, &r, 1, static_cast<float>(Params.ThreshParam));
      }
      return true;
    case ccAdditionSubstraction: {
      float k = 0.0f;
      NspTable.nspsbSet(static_cast<float>(Params.AddSubCoef), &k, 1);
      NspTable.nspsbAdd3(&x, &k, &r, 1);
      if (HasSecondInput) {
        const float sum = r;
        NspTable.nspsbAdd3(&sum, &y, &r, 1);
      }
      return true;
    }
    case ccMultiplyDivision: {
      float k = 0.0f;
      NspTable.nspsbSet(static_cast<float>(Params.MpyDivCoef), &k, 1);
      NspTable.nspsbMpy3(&x, &k, &r, 1);
      if (HasSecondInput) {
        const float product = r;
        NspTable.nspsbMpy3(&product, &y, &r, 1);
      }
      return true;
    }
    default:
      return false;
  }
}

int32_t TSimpleTransform::Result(float x, float y, int32_t& problem) {
  problem = rvpNone;
  // A group whose record selects another family computes nothing.
  if (!IsElementWiseCode(Code)) return 0;
  // A failed computation writes -1; one whose result is no sample also
  // tells what went wrong.
  float r = 0.0f;
  int32_t v = 0;
  if (!Compute(x, y, r) || !RoundToSampleOrFail(r, v, problem)) v = -1;
  return v;
}

void RIR_STDCALL TSimpleTransform::InputChanged() {
  if (!Valid) return;
  const float x = static_cast<float>(ReadSample(InHandle, SignMode));
  const float y = HasSecondInput ? static_cast<float>(ReadSample(In2Handle, SignMode)) : 0.0f;
  int32_t problem = rvpNone;
  const int32_t v = Result(x, y, problem);
  WriteOutput(OutHandle, Out.Encode(v), Out.Problem(v, problem));
}

// InputChanged over arrays: the same values, without a text per step.
int32_t TSimpleTransform::InputChangedOver(int32_t count, const RirEdaArrayPort* ports, int32_t portCount) {
  if (!Valid) return 0;
  const int32_t* in = ArraySamples(InHandle, ports, portCount);
  const int32_t* in2 = HasSecondInput ? ArraySamples(In2Handle, ports, portCount) : nullptr;
  int32_t* out = ArraySamples(OutHandle, ports, portCount);
  if (in == nullptr || out == nullptr || (HasSecondInput && in2 == nullptr)) return 0;
  int32_t v = 0;
  for (int32_t k = 0; k < count; ++k) {
    int32_t problem = rvpNone;
    v = Result(static_cast<float>(in[k]), in2 != nullptr ? static_cast<float>(in2[k]) : 0.0f, problem);
    out[k] = Out.Carried(v);
    problem = Out.Problem(v, problem);
    if (problem != rvpNone) [[unlikely]]
      TellValueProblemAt(OutHandle, problem, k);
  }
  WriteValue(OutHandle, Out.Encode(v));
  return count;
}

IModel** CreateSimpleTransform(IPELMOR* host, const char* typeName) {
  return (new TSimpleTransform(host, typeName))->SelfRefAddress();
}
