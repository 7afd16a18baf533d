// What a dialog presenter asks of its front end. Controls are named as both
// front ends name them (the Qt object names, the Win32 id tables), through
// the checked names of the dialog's layout table, so one presenter drives
// the Qt and the Win32 dialog alike. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ControlName.h"

// An item of a drop-down list; one not offered stays out of the user's reach.
struct ListItem {
  std::string text;
  bool offered = true;
};

class DialogView {
 public:
  virtual ~DialogView() = default;

  // Number controls: spin boxes, and delay editors in their base unit.
  virtual void SetNumber(ControlName control, double value) = 0;
  virtual void SetRange(ControlName control, double minimum, double maximum) = 0;

  // Text fields, labels, buttons, group boxes.
  virtual void SetText(ControlName control, const std::string& text) = 0;
  virtual std::string Text(ControlName control) const = 0;

  // Check boxes and radio buttons.
  virtual void SetChecked(ControlName control, bool checked) = 0;
  virtual bool Checked(ControlName control) const = 0;

  // Drop-down lists, tab and page controls: the current item (-1 for none),
  // counted over every item of the list, offered or not.
  virtual void SetIndex(ControlName control, int32_t index) = 0;
  virtual int32_t Index(ControlName control) const = 0;
  // A drop-down list's items.
  virtual void SetItems(ControlName control, const std::vector<ListItem>& items) = 0;

  virtual void SetVisible(ControlName control, bool visible) = 0;
  virtual void SetEnabled(ControlName control, bool enabled) = 0;
  // The tool tip; "" removes it.
  virtual void SetHint(ControlName control, const std::string& hint) = 0;

  // A message box owned by the dialog.
  enum class MessageKind { Information, Warning, Error };
  virtual void ShowMessage(const std::string& text, MessageKind kind = MessageKind::Information) = 0;
};
