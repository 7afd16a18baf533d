// The buffer transform block.
#pragma once

#include "../framework/BaseExtModel.h"

class TTransform : public TBaseModelExt {
 public:
  TTransform(IPELMOR* host, const char* typeName);

 protected:
  ~TTransform() override;

 private:
  bool UsesLibrary = false;  // holds one use of the signal-processing library
  VarHandle InHandle = 0, WHandle = 0, RHandle = 0, ReOutHandle = 0;
};
