// What a block calls its host through: the host's own IPELMOR, each call
// made in the floating-point state in which the host entered the library,
// so that the host's code runs as it would without the library's guard.
#pragma once

#include "FloatingPointGuard.h"
#include "interface/IntTypes.h"

class THostLink final : public IPELMOR {
 public:
  explicit THostLink(IPELMOR* host) : Host(host) {}
  THostLink(const THostLink&) = delete;
  THostLink& operator=(const THostLink&) = delete;

  // The state the host called in; set by each entry that routes the
  // block's calls through the link.
  CallerFloatingPoint HostState;
  // Where the calls go from now on.
  void Retarget(IPELMOR* host) { Host = host; }
  IPELMOR* Target() const { return Host; }

  int32_t RIR_STDCALL QueryInterface(const GUID* iid, void** out) override;
  uint32_t RIR_STDCALL AddRef() override;
  uint32_t RIR_STDCALL Release() override;
  void RIR_STDCALL ReportError(int32_t code, intptr_t argument) override;
  void RIR_STDCALL AbortRun() override;
  long double RIR_STDCALL GetTime() override;
  void RIR_STDCALL GetParameter(const char* name, void** data, int32_t* size) override;
  uint16_t RIR_STDCALL GetVariableKind(VarHandle handle) override;
  uint16_t RIR_STDCALL GetVariableFlags(VarHandle handle) override;
  long double RIR_STDCALL GetSamplePeriod() override;
  int32_t RIR_STDCALL GetVariableWidth(VarHandle handle) override;
  VarHandle RIR_STDCALL FindVariable(const char* name) override;
  const char* RIR_STDCALL GetValueText(VarHandle handle) override;
  void RIR_STDCALL SetValueText(VarHandle handle, const char* text) override;
  const char* RIR_STDCALL GetLibraryDirectory() override;

 private:
  template <typename Call>
  auto InHostState(Call call) const;

  IPELMOR* Host;
};
