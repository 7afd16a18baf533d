// The filter block.
#pragma once

#include "../framework/BaseExtModel.h"

class TFilterTransform : public TBaseModelExt {
 public:
  TFilterTransform(IPELMOR* host, const char* typeName);
  // Drops the block's use of the signal-processing library, then the self reference.
  void RIR_STDCALL Done() override;

 protected:
  ~TFilterTransform() override;

 private:
  bool UsesLibrary = false;  // holds one use of the signal-processing library
  VarHandle SrcHandle = 0, OutHandle = 0;
};
