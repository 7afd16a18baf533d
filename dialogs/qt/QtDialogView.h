// The Qt side of a dialog presenter's view: every control found by its
// object name under the dialog, and set or read by what kind of widget it is.
// A dialog with widgets of its own kind derives and answers for them first.
#pragma once

#include <QWidget>

#include "dialogs/logic/DialogView.h"

class QtDialogView : public DialogView {
 public:
  explicit QtDialogView(QWidget& dialog) : dialog_(dialog) {}

  void SetNumber(ControlName control, double value) override;
  void SetRange(ControlName control, double minimum, double maximum) override;
  void SetText(ControlName control, const std::string& text) override;
  std::string Text(ControlName control) const override;
  void SetChecked(ControlName control, bool checked) override;
  bool Checked(ControlName control) const override;
  void SetIndex(ControlName control, int32_t index) override;
  int32_t Index(ControlName control) const override;
  // Items not offered stay in the list, greyed and hidden from its popup.
  void SetItems(ControlName control, const std::vector<ListItem>& items) override;
  void SetVisible(ControlName control, bool visible) override;
  void SetEnabled(ControlName control, bool enabled) override;
  void SetHint(ControlName control, const std::string& hint) override;
  void ShowMessage(const std::string& text, MessageKind kind) override;

 protected:
  // The control of this name; the dialog itself for its own name. A name
  // that no control has is a fault of the presenter's tables: it throws.
  QWidget& Control(std::string_view name) const;

 private:
  QWidget& dialog_;
};
