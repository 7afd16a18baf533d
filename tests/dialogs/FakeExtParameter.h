// An IExtParameter over plain fields, recording what the dialog hands back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/interface/UExtParameterTypes.h"

class FakeExtParameter : public IExtParameter {
 public:
  std::string language;
  std::string typeName = "Sine";
  std::string directory = "/plugins/";
  std::optional<std::vector<int32_t>> position;  // left, top
  std::vector<uint8_t> data;
  int32_t ownerWindow = 0;

  std::vector<std::vector<int32_t>> positionsSet;
  std::vector<std::vector<uint8_t>> dataSet;
  std::vector<std::string> helpShown;
  int refs = 1;
  // Called when the dialog reads the type name / the data (the QApplication
  // exists by then), so a test can schedule its clicks.
  std::function<void()> onTypeName;
  std::function<void()> onData;

  int32_t RIR_STDCALL QueryInterface(const GUID*, void** out) override;
  uint32_t RIR_STDCALL AddRef() override { return static_cast<uint32_t>(++refs); }
  uint32_t RIR_STDCALL Release() override { return static_cast<uint32_t>(--refs); }
  const char* RIR_STDCALL GetLanguage() override { return language.c_str(); }
  const char* RIR_STDCALL GetBlockTypeName() override;
  int32_t RIR_STDCALL GetPositionSize() override { return position ? 8 : 0; }
  const void* RIR_STDCALL GetPosition() override { return position ? position->data() : nullptr; }
  void RIR_STDCALL SetPosition(const void* p, int32_t size) override;
  int32_t RIR_STDCALL GetDataSize() override;
  const void* RIR_STDCALL GetData() override;
  void RIR_STDCALL SetData(const void* d, int32_t size) override;
  const char* RIR_STDCALL GetDirectory() override { return directory.c_str(); }
  void RIR_STDCALL ShowHelp(const char* topic) override { helpShown.emplace_back(topic); }
  int32_t RIR_STDCALL GetOwnerWindow() override { return ownerWindow; }
};
