#include "FakeExtParameter.h"

#include <cstring>

int32_t RIR_STDCALL FakeExtParameter::QueryInterface(const GUID* iid, void** out) {
  if (out == nullptr) return kQueryNoInterface;
  *out = IsKnownInterfaceId(iid) ? this : nullptr;
  if (*out == nullptr) return kQueryNoInterface;
  AddRef();
  return kQueryOk;
}

const char* RIR_STDCALL FakeExtParameter::GetBlockTypeName() {
  if (onTypeName) onTypeName();
  return typeName.c_str();
}

void RIR_STDCALL FakeExtParameter::SetPosition(const void* p, int32_t size) {
  std::vector<int32_t> xy(2);
  if (size == 8) std::memcpy(xy.data(), p, 8);
  positionsSet.push_back(xy);
}

int32_t RIR_STDCALL FakeExtParameter::GetDataSize() {
  if (onData) onData();
  return static_cast<int32_t>(data.size());
}

const void* RIR_STDCALL FakeExtParameter::GetData() { return data.empty() ? nullptr : data.data(); }

void RIR_STDCALL FakeExtParameter::SetData(const void* d, int32_t size) {
  const auto* bytes = static_cast<const uint8_t*>(d);
  dataSet.emplace_back(bytes, bytes + size);
}

// Under the sanitizer build: the font libraries keep their caches for the
// life of the process; they are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libfreetype.so\n"; }
