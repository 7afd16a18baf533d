#include "SimpleTrans.h"

#include <utility>

#include "framework/BlockCatalogue.h"
#include "framework/CatalogueCodes.h"
#include "framework/BlockFactories.h"
#include "numeric/Calc.h"
#include "numeric/Init_NSPDLL.h"
#include "numeric/SupportRoutines.h"
#include "signal/Elements.h"
#include "OneOutputSteps.h"
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
  Prepare();
  OfferArraySteps(true, true);
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
  Prepare();
  FormulaChecked = false;
  if (Code == ccAnyFunc) UserFormula.Compile(FormulaText(Params.UserFunc, kFormulaCapacity));
}

TSimpleTransform::Operation TSimpleTransform::OperationOf(int32_t code) const {
  switch (code) {
    case ccThresh:
      return Params.ThreshRelOp == NSP_LT   ? Operation::ThreshBelow
             : Params.ThreshRelOp == NSP_GT ? Operation::ThreshAbove
                                            : Operation::Zero;
    case ccAdditionSubstraction:
      return HasSecondInput ? Operation::AddBoth : Operation::Add;
    case ccMultiplyDivision:
      return HasSecondInput ? Operation::MpyBoth : Operation::Mpy;
    default:
      break;
  }
  // The operations that need no record field to choose them.
  static constexpr std::pair<int32_t, Operation> kFixed[] = {
      {ccEToThePower, Operation::Exp},
      {ccNaturalLog, Operation::Ln},
      {ccAnyFunc, Operation::Formula},
      {ccBitReversed, Operation::BitRev},
      {ccSimpleConjugation, Operation::Negate},
      {ccAbsoluteValue, Operation::Abs},
      {ccSquare, Operation::Sqr},
      {ccSquareRoot, Operation::Sqrt},
      {ccInverseThresh, Operation::InvThresh},
  };
  for (const auto& [c, op] : kFixed)
    if (c == code) return op;
  return IsElementWiseCode(code) ? Operation::Fails : Operation::Nothing;
}

void TSimpleTransform::Prepare() {
  Op = OperationOf(Code);
  // Each operation converts only the record field it uses.
  Coefficient = 0.0f;
  if (Code == ccThresh || Code == ccInverseThresh) Coefficient = static_cast<float>(Params.ThreshParam);
  if (Code == ccAdditionSubstraction) Coefficient = static_cast<float>(Params.AddSubCoef);
  if (Code == ccMultiplyDivision) Coefficient = static_cast<float>(Params.MpyDivCoef);
  ZeroThreshold = Params.ThreshParam == 0.0;
}

bool TSimpleTransform::Compute(float x, float y, float& r) {
  namespace element = nsp::element;
  switch (Op) {
    case Operation::Exp:
      r = element::Exp(x);
      return true;
    case Operation::Ln:
      if (!(x > 0.0f)) return false;
      r = element::Ln(x);
      return true;
    case Operation::Formula: {
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
    case Operation::BitRev:
      r = static_cast<float>(element::BitRev(RoundToSample(x), Params.BitRevOrder));
      return true;
    case Operation::Negate:
      r = -x;
      return true;
    case Operation::Abs:
      r = element::Abs(x);
      return true;
    case Operation::Sqr:
      r = element::Sqr(x);
      return true;
    case Operation::Sqrt:
      if (x < 0.0f) return false;
      r = element::Sqrt(x);
      return true;
    case Operation::ThreshBelow:
      r = element::ThreshBelow(x, Coefficient);
      return true;
    case Operation::ThreshAbove:
      r = element::ThreshAbove(x, Coefficient);
      return true;
    case Operation::Zero:
      r = 0.0f;
      return true;
    case Operation::InvThresh:
      r = x == 0.0f && ZeroThreshold ? kInverseThreshAtZero : element::InvThresh(x, Coefficient);
      return true;
    case Operation::Add:
      r = element::Add(x, Coefficient);
      return true;
    case Operation::AddBoth:
      r = element::Add(element::Add(x, Coefficient), y);
      return true;
    case Operation::Mpy:
      r = element::Mpy(x, Coefficient);
      return true;
    case Operation::MpyBoth:
      r = element::Mpy(element::Mpy(x, Coefficient), y);
      return true;
    case Operation::Nothing:
    case Operation::Fails:
      return false;
  }
  return false;
}

int32_t TSimpleTransform::Result(float x, float y, int32_t& problem) {
  problem = rvpNone;
  if (Op == Operation::Nothing) return 0;
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

template <typename Emit>
bool TSimpleTransform::Steps(int32_t count, const RirEdaArrayPort* inputs, int32_t inputCount, Emit emit) {
  if (!Valid) return false;
  const int32_t* in = ArraySamples(InHandle, inputs, inputCount);
  const int32_t* in2 = HasSecondInput ? ArraySamples(In2Handle, inputs, inputCount) : nullptr;
  if (in == nullptr || (HasSecondInput && in2 == nullptr)) return false;
  for (int32_t k = 0; k < count; ++k) {
    int32_t problem = rvpNone;
    const int32_t v = Result(static_cast<float>(in[k]), in2 != nullptr ? static_cast<float>(in2[k]) : 0.0f, problem);
    problem = Out.Problem(v, problem);
    emit(k, v);
    if (problem != rvpNone) [[unlikely]]
      TellValueProblemAt(OutHandle, problem, k);
  }
  return true;
}

// InputChanged over arrays: the same values, without a text per step.
int32_t TSimpleTransform::InputChangedOver(int32_t count, const RirEdaArrayPort* ports, int32_t portCount) {
  return SamplesOver(
      count, ArraySamples(OutHandle, ports, portCount), Out,
      [&](auto emit) { return Steps(count, ports, portCount, emit); },
      [&](ValueBits last) { WriteValue(OutHandle, last); });
}

int32_t TSimpleTransform::InputChangedAt(int32_t count, const int64_t*, const RirEdaArrayPort* inputs,
                                         int32_t inputCount, const RirEdaWordPort* outputs, int32_t outputCount,
                                         uint8_t* wrote) {
  return WordsAt(count, ArrayWords(OutHandle, outputs, outputCount), wrote, Out,
                 [&](auto emit) { return Steps(count, inputs, inputCount, emit); });
}

IModel** CreateSimpleTransform(IPELMOR* host, const char* typeName) {
  return (new TSimpleTransform(host, typeName))->SelfRefAddress();
}
