#include "BufferTransforms.h"

#include "../framework/BlockFactories.h"

TTransform::TTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  if (!BindRequired({{&InHandle, "DIn"}, {&WHandle, "W"}, {&RHandle, "R"}}, 0)) return;
  if (!BindRequired({{&ReOutHandle, "DReOut"}}, kWritableFlag)) return;
  TypeName = typeName;
}

IModel** CreateTransform(IPELMOR* host, const char* typeName) {
  return (new TTransform(host, typeName))->SelfRefAddress();
}
