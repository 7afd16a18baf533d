// The Win32 side of a dialog presenter's view: a control name leads through
// the dialog's id table to its window, which is set or read by its class.
// A dialog with controls of its own kind (a delay editor, a list field)
// derives and answers for them first.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "WinDialog.h"
#include "dialogs/logic/DialogView.h"

struct WinControlRef {
  int id = 0;
  int spinId = 0;    // the up-down of a spin box, 0 for none
  int decimals = 0;  // shown decimals of a number in an edit
};

class WinDialogView : public DialogView {
 public:
  using Lookup = std::function<std::optional<WinControlRef>(std::string_view)>;
  WinDialogView(WinDialog& dialog, Lookup lookup) : dialog_(dialog), lookup_(std::move(lookup)) {}

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
  // The table entry of a name; an unknown name is a fault of the
  // presenter's tables: it throws.
  WinControlRef Ref(std::string_view name) const;
  HWND Window(std::string_view name) const;
  WinDialog& Dialog() const { return dialog_; }

 private:
  WinDialog& dialog_;
  Lookup lookup_;
};
