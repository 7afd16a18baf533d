// The signal generator block.
#pragma once

#include "../framework/BaseExtModel.h"

class TGenerator : public TBaseModelExt {
 public:
  TGenerator(IPELMOR* host, const char* typeName);

 private:
  VarHandle ClkHandle = 0;
  VarHandle OutHandle = 0;
  int32_t Kind = -1;
};
