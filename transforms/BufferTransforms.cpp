#include "BufferTransforms.h"

#include "../framework/BlockFactories.h"
#include "../numeric/Init_NSPDLL.h"

TTransform::TTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  UsesLibrary = AcquireSignalLibrary(host);
  if (!UsesLibrary) {
    Valid = false;
    return;
  }
  if (!BindRequired({{&InHandle, "DIn"}, {&WHandle, "W"}, {&RHandle, "R"}}, 0)) return;
  if (!BindRequired({{&ReOutHandle, "DReOut"}}, kWritableFlag)) return;
  TypeName = typeName;
}

TTransform::~TTransform() {
  if (UsesLibrary) ReleaseSignalLibrary();
}

IModel** CreateTransform(IPELMOR* host, const char* typeName) {
  return (new TTransform(host, typeName))->SelfRefAddress();
}
