#include "SimpleTrans.h"

#include "../framework/BlockFactories.h"
#include "../numeric/Init_NSPDLL.h"

TSimpleTransform::TSimpleTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  UsesLibrary = AcquireSignalLibrary(host);
  if (!UsesLibrary) {
    Valid = false;
    return;
  }
  if (!BindRequired({{&InHandle, "DIn"}}, 0)) return;
  if (!BindRequired({{&OutHandle, "DOut"}}, kWritableFlag)) return;
  BindOptional({{&In2Handle, "D2In"}}, 0);
  TypeName = typeName;
}

TSimpleTransform::~TSimpleTransform() {
  if (UsesLibrary) ReleaseSignalLibrary();
}

IModel** CreateSimpleTransform(IPELMOR* host, const char* typeName) {
  return (new TSimpleTransform(host, typeName))->SelfRefAddress();
}
