#include "HostLink.h"

template <typename Call>
auto THostLink::InHostState(Call call) const {
  CallerStateScope host(HostState);
  return call();
}

int32_t RIR_STDCALL THostLink::QueryInterface(const GUID* iid, void** out) {
  return InHostState([&] { return Host->QueryInterface(iid, out); });
}
uint32_t RIR_STDCALL THostLink::AddRef() {
  return InHostState([&] { return Host->AddRef(); });
}
uint32_t RIR_STDCALL THostLink::Release() {
  return InHostState([&] { return Host->Release(); });
}
void RIR_STDCALL THostLink::ReportError(int32_t code, intptr_t argument) {
  InHostState([&] { Host->ReportError(code, argument); });
}
void RIR_STDCALL THostLink::AbortRun() {
  InHostState([&] { Host->AbortRun(); });
}
long double RIR_STDCALL THostLink::GetTime() {
  return InHostState([&] { return Host->GetTime(); });
}
void RIR_STDCALL THostLink::GetParameter(const char* name, void** data, int32_t* size) {
  InHostState([&] { Host->GetParameter(name, data, size); });
}
uint16_t RIR_STDCALL THostLink::GetVariableKind(VarHandle handle) {
  return InHostState([&] { return Host->GetVariableKind(handle); });
}
uint16_t RIR_STDCALL THostLink::GetVariableFlags(VarHandle handle) {
  return InHostState([&] { return Host->GetVariableFlags(handle); });
}
long double RIR_STDCALL THostLink::GetSamplePeriod() {
  return InHostState([&] { return Host->GetSamplePeriod(); });
}
int32_t RIR_STDCALL THostLink::GetVariableWidth(VarHandle handle) {
  return InHostState([&] { return Host->GetVariableWidth(handle); });
}
VarHandle RIR_STDCALL THostLink::FindVariable(const char* name) {
  return InHostState([&] { return Host->FindVariable(name); });
}
const char* RIR_STDCALL THostLink::GetValueText(VarHandle handle) {
  return InHostState([&] { return Host->GetValueText(handle); });
}
void RIR_STDCALL THostLink::SetValueText(VarHandle handle, const char* text) {
  InHostState([&] { Host->SetValueText(handle, text); });
}
const char* RIR_STDCALL THostLink::GetLibraryDirectory() {
  return InHostState([&] { return Host->GetLibraryDirectory(); });
}
