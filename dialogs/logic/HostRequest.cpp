#include "HostRequest.h"

#include <cstring>

#include "framework/interface/UExtParameterTypes.h"

namespace {
const char* Text(const char* text) { return text != nullptr ? text : ""; }
}  // namespace

DialogRequest ReadRequest(IExtParameter* params) {
  DialogRequest request;
  request.typeName = Text(params->GetBlockTypeName());
  ReadSettings(params, request);
  return request;
}

void ReadSettings(IExtParameter* params, DialogRequest& request) {
  request.language = Text(params->GetLanguage());
  request.directory = Text(params->GetDirectory());
  if (params->GetPositionSize() == 8 && params->GetPosition() != nullptr) {
    int32_t at[2];
    std::memcpy(at, params->GetPosition(), sizeof at);
    request.position = std::make_pair(at[0], at[1]);
  }
  const int32_t size = params->GetDataSize();
  const void* data = params->GetData();
  if (size > 0 && size <= 65536 && data != nullptr) {
    request.data.resize(static_cast<size_t>(size));
    std::memcpy(request.data.data(), data, request.data.size());
  }
}

void WriteResult(IExtParameter* params, const DialogResult& result) {
  if (!result.accepted) return;
  if (result.position) {
    const int32_t at[2] = {result.position->first, result.position->second};
    params->SetPosition(at, sizeof at);
  }
  if (!result.data.empty()) params->SetData(result.data.data(), static_cast<int32_t>(result.data.size()));
}
