// The IExtParameter a parameter dialog talks to: one design block's stored
// record and dialog position, handed back by the dialog on OK.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "framework/interface/UExtParameterTypes.h"

class BlockParameters final : public IExtParameter {
 public:
  BlockParameters(std::string typeName, std::vector<uint8_t> record, std::optional<std::array<int32_t, 2>> position,
                  std::string language, std::string directory, std::ostream& out);
  ~BlockParameters() = default;

  // What the dialog handed back; empty when it did not.
  const std::optional<std::vector<uint8_t>>& NewRecord() const { return newRecord_; }
  const std::optional<std::array<int32_t, 2>>& NewPosition() const { return newPosition_; }
  // Whether a dialog got as far as reading the request.
  bool DialogReached() const { return reached_; }

  int32_t RIR_STDCALL QueryInterface(const GUID*, void** out) override;
  uint32_t RIR_STDCALL AddRef() override { return 1; }
  uint32_t RIR_STDCALL Release() override { return 1; }
  const char* RIR_STDCALL GetLanguage() override { return language_.c_str(); }
  // Every dialog asks for the type name first; a dialog that never did was not shown.
  const char* RIR_STDCALL GetBlockTypeName() override {
    reached_ = true;
    return typeName_.c_str();
  }
  int32_t RIR_STDCALL GetPositionSize() override { return position_ ? 8 : 0; }
  const void* RIR_STDCALL GetPosition() override { return position_ ? position_->data() : nullptr; }
  void RIR_STDCALL SetPosition(const void* position, int32_t size) override;
  int32_t RIR_STDCALL GetDataSize() override { return static_cast<int32_t>(record_.size()); }
  const void* RIR_STDCALL GetData() override { return record_.data(); }
  void RIR_STDCALL SetData(const void* data, int32_t size) override;
  const char* RIR_STDCALL GetDirectory() override { return directory_.c_str(); }
  void RIR_STDCALL ShowHelp(const char* topic) override;
  int32_t RIR_STDCALL GetOwnerWindow() override { return 0; }

 private:
  std::string typeName_;
  std::vector<uint8_t> record_;
  std::optional<std::array<int32_t, 2>> position_;
  std::string language_;
  std::string directory_;
  std::ostream& out_;
  std::optional<std::vector<uint8_t>> newRecord_;
  std::optional<std::array<int32_t, 2>> newPosition_;
  bool reached_ = false;
};

// Opens a help topic ("dir/Geners.htm#Sine") with the desktop's viewer, run
// detached; false when there is none.
bool OpenHelpTopic(const std::string& topic);
