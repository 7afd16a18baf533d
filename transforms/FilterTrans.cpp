#include "FilterTrans.h"

#include "../framework/BlockFactories.h"

TFilterTransform::TFilterTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  if (!BindRequired({{&SrcHandle, "DSrc"}, {&OutHandle, "DOut"}}, kWritableFlag)) return;
  TypeName = typeName;
}

IModel** CreateFilterTransform(IPELMOR* host, const char* typeName) {
  return (new TFilterTransform(host, typeName))->SelfRefAddress();
}
