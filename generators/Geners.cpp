#include "Geners.h"

#include "framework/BlockCatalogue.h"
#include "framework/BlockFactories.h"
#include "numeric/SupportRoutines.h"

static_assert(TGenerator::kTableSize == kGeneratorTableLength, "the catalogue states the table length");

TGenerator::TGenerator(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kTimeDriven) {
  const PortHandles<GeneratorPort> ports = BindPorts<GeneratorPort>(BlockPorts(BlockClass::Generator));
  if (!ports.usable) return;
  OutHandle = ports[GeneratorPort::Out];
  ClkHandle = ports[GeneratorPort::Clk];
  Clocked = ClkHandle != 0;
  if (Clocked) Activation = kInputDriven;
  if (Clocked) ActsOnlyWhileHigh(ClkHandle);  // InputChanged steps on a high clock only
  const int32_t width = Host->GetVariableWidth(OutHandle);
  Width = width > 0 ? width : 0;
  Period = RoundToInt64(Host->GetSamplePeriod());
  SignValue = GetIntParameter("SignValue", 0);
  Out.Resize(Width, SignValue);
  Kind = GeneratorKindOf(typeName);
  if (Kind < 0) Valid = false;  // no waveform for an unknown name
  TypeName = typeName;
  ParamsName = TypeName + "_parameters";
  Bound = true;
  LoadParameters();
  // The random kinds draw on one source in the order of their steps.
  const bool draws = Kind == gkRandom || Kind == gkPseudoRandom || Kind == gkGaussian || Kind == gkAllInOne;
  if (Clocked) OfferArraySteps(false, true, draws);
}

void RIR_STDCALL TGenerator::LoadParameters() {
  if (!Bound) return;
  if (!GetRecordParameter(ParamsName.c_str(), &Params, sizeof Params)) Params = DefaultGeneratorParams();
  EffectiveKind = Kind == gkAllInOne ? Params.Kind : Kind;
  if (EffectiveKind == gkFunc) CheckFormula(Params.Formula, kRecordTextLength);  // message 15 and "Err" on failure
  PrepareGenerator(EffectiveKind, Params, State);
  TableIndex = 0;
  Ahead.Reset();
  if (EffectiveKind == gkFunc) return;
  // Free-running steps only read this table; it also moves the waveform's
  // state on by 10001 samples, where a clocked generator continues.
  for (int i = 0; i < kTableSize; ++i) {
    int32_t problem = rvpNone;
    Table[i] = RoundedGeneratorSample(EffectiveKind, RoundToInt64(static_cast<long double>(i) * Period), Params, State,
                                      problem);
    TableProblems[i] = static_cast<uint8_t>(problem);
  }
}

TimeStepResult RIR_STDCALL TGenerator::TimeStep() {
  if (!Bound) return -1;
  Now = RoundedTime(RoundToInt64);
  int32_t value = 0;
  int32_t problem = rvpNone;
  if (Clocked) {
    value = Ahead.Sample(Now, EffectiveKind, Params, State, problem);
  } else if (TableIndex >= kTableSize) {
    value = 0;
  } else if (EffectiveKind != gkFunc) {
    problem = TableProblems[TableIndex];
    value = Table[TableIndex++];
  } else {
    value = RoundedGeneratorSample(gkFunc, Now, Params, State, problem);
  }
  WriteOutput(OutHandle, Out.Encode(value), Out.Problem(value, problem));
  return Period;
}

void RIR_STDCALL TGenerator::InputChanged() {
  if (Clocked && IsHigh(ClkHandle)) TimeStep();
}

// A clocked generator over arrays: the samples of the steps whose clock
// reads 1, at their times. A host that steps ahead leaves out the calls in
// which the clock does not read high (ActsOnlyWhileHigh), so a clock that
// reads 1 there is a high one.
int32_t TGenerator::InputChangedAt(int32_t count, const int64_t* times, const RirEdaArrayPort* inputs,
                                   int32_t inputCount, const RirEdaWordPort* outputs, int32_t outputCount,
                                   uint8_t* wrote) {
  if (!Bound || !Clocked) return 0;
  const int32_t* clock = ArraySamples(ClkHandle, inputs, inputCount);
  uint64_t* out = ArrayWords(OutHandle, outputs, outputCount);
  if (clock == nullptr || out == nullptr) return 0;
  for (int32_t k = 0; k < count; ++k) {
    wrote[k] = clock[k] == 1 ? 1 : 0;
    if (wrote[k] == 0) continue;
    Now = times[k];
    int32_t problem = rvpNone;
    const int32_t value = Ahead.Sample(Now, EffectiveKind, Params, State, problem);
    out[k] = Out.Encode(value).Word();
    problem = Out.Problem(value, problem);
    if (problem != rvpNone) [[unlikely]]
      TellValueProblemAt(OutHandle, problem, k);
  }
  return count;
}

IModel** CreateGenerator(IPELMOR* host, const char* typeName) {
  return (new TGenerator(host, typeName))->SelfRefAddress();
}
