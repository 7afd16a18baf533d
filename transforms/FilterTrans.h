// The filter block.
#pragma once

#include "../framework/BaseExtModel.h"

class TFilterTransform : public TBaseModelExt {
 public:
  TFilterTransform(IPELMOR* host, const char* typeName);

 private:
  VarHandle SrcHandle = 0, OutHandle = 0;
};
