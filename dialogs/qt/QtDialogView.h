// The Qt side of a dialog presenter's view: every control found by its
// object name under the dialog, and set or read by what kind of widget it is.
// A dialog with widgets of its own kind derives and answers for them first.
#pragma once

#include <QWidget>

#include "dialogs/logic/DialogView.h"

class QtDialogView : public DialogView {
 public:
  explicit QtDialogView(QWidget& dialog) : dialog_(dialog) {}

  void SetNumber(std::string_view control, double value) override;
  void SetRange(std::string_view control, double minimum, double maximum) override;
  void SetText(std::string_view control, const std::string& text) override;
  std::string Text(std::string_view control) const override;
  void SetChecked(std::string_view control, bool checked) override;
  bool Checked(std::string_view control) const override;
  void SetIndex(std::string_view control, int32_t index) override;
  int32_t Index(std::string_view control) const override;
  void SetVisible(std::string_view control, bool visible) override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetHint(std::string_view control, const std::string& hint) override;
  void ShowMessage(const std::string& text, MessageKind kind) override;

 protected:
  // The control of this name; the dialog itself for its own name. A name
  // that no control has is a fault of the presenter's tables: it throws.
  QWidget& Control(std::string_view name) const;

 private:
  QWidget& dialog_;
};
