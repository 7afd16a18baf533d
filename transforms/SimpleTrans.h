// The element-wise transform block.
#pragma once

#include "../framework/BaseExtModel.h"

class TSimpleTransform : public TBaseModelExt {
 public:
  TSimpleTransform(IPELMOR* host, const char* typeName);

 protected:
  ~TSimpleTransform() override;

 private:
  bool UsesLibrary = false;  // holds one use of the signal-processing library
  VarHandle InHandle = 0, In2Handle = 0, OutHandle = 0;
};
