#include "FilterTrans.h"

#include "../framework/BlockFactories.h"
#include "../numeric/Init_NSPDLL.h"

TFilterTransform::TFilterTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  UsesLibrary = AcquireSignalLibrary(host);
  if (!UsesLibrary) {
    Valid = false;
    return;
  }
  if (!BindRequired({{&SrcHandle, "DSrc"}, {&OutHandle, "DOut"}}, kWritableFlag)) return;
  TypeName = typeName;
}

TFilterTransform::~TFilterTransform() {
  if (UsesLibrary) ReleaseSignalLibrary();
}

void RIR_STDCALL TFilterTransform::Done() {
  if (UsesLibrary) {
    UsesLibrary = false;
    ReleaseSignalLibrary();
  }
  TBaseModelExt::Done();
}

IModel** CreateFilterTransform(IPELMOR* host, const char* typeName) {
  return (new TFilterTransform(host, typeName))->SelfRefAddress();
}
