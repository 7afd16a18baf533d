// The wave load/save block.
#pragma once

#include "../framework/BaseExtModel.h"

class TWaveIO : public TBaseModelExt {
 public:
  TWaveIO(IPELMOR* host, uint8_t mode);

 private:
  VarHandle C1Handle = 0;
  uint8_t Mode;
};
