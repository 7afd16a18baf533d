// What a dialog presenter asks of its front end. Controls are named as both
// front ends name them (the Qt object names, the Win32 id tables), so one
// presenter drives the Qt and the Win32 dialog alike. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class DialogView {
 public:
  virtual ~DialogView() = default;

  // Number controls: spin boxes, and delay editors in their base unit.
  virtual void SetNumber(std::string_view control, double value) = 0;
  virtual void SetRange(std::string_view control, double minimum, double maximum) = 0;

  // Text fields, labels, buttons, group boxes.
  virtual void SetText(std::string_view control, const std::string& text) = 0;
  virtual std::string Text(std::string_view control) const = 0;

  // Check boxes and radio buttons.
  virtual void SetChecked(std::string_view control, bool checked) = 0;
  virtual bool Checked(std::string_view control) const = 0;

  // Drop-down lists, tab and page controls: the current item (-1 for none).
  virtual void SetIndex(std::string_view control, int32_t index) = 0;
  virtual int32_t Index(std::string_view control) const = 0;

  virtual void SetVisible(std::string_view control, bool visible) = 0;
  virtual void SetEnabled(std::string_view control, bool enabled) = 0;
  // The tool tip; "" removes it.
  virtual void SetHint(std::string_view control, const std::string& hint) = 0;

  // A message box owned by the dialog.
  enum class MessageKind { Information, Warning, Error };
  virtual void ShowMessage(const std::string& text, MessageKind kind = MessageKind::Information) = 0;
};
