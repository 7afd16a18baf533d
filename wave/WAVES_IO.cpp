#include "WAVES_IO.h"

#include "../framework/BlockFactories.h"

TWaveIO::TWaveIO(IPELMOR* host, uint8_t mode)
    : TBaseModelExt(host, 0, mode == 0 ? kTimeDriven : kInputDriven), Mode(mode) {
  if (!BindRequired({{&C1Handle, "C1"}}, Mode == 0 ? kWritableFlag : 0)) return;
  TypeName = Mode == 0 ? "Load Wave" : "Save Wave";
}

IModel** CreateWaveIO(IPELMOR* host, uint8_t mode) { return (new TWaveIO(host, mode))->SelfRefAddress(); }
