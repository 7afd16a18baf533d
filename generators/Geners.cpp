#include "Geners.h"

#include "../framework/BlockCatalogue.h"
#include "../framework/BlockFactories.h"

TGenerator::TGenerator(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kTimeDriven) {
  if (!BindRequired({{&OutHandle, "Out"}}, kWritableFlag)) return;
  const uint16_t kind = Host->GetVariableKind(OutHandle);
  if (kind != vkLine && kind != vkBus) {
    Report(rcWrongKindOrFlags, OutHandle);
    Valid = false;
    return;
  }
  BindOptional({{&ClkHandle, "Clk"}}, 0);
  if (ClkHandle != 0) Activation = kInputDriven;
  Kind = GeneratorKindOf(typeName);
  if (Kind < 0) Valid = false;  // no waveform for an unknown name
  TypeName = typeName;
}

IModel** CreateGenerator(IPELMOR* host, const char* typeName) {
  return (new TGenerator(host, typeName))->SelfRefAddress();
}
