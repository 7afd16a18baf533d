// The Win32 side of a dialog presenter's view: a control name leads through
// the dialog's id table to its window, which is set or read by its class.
// A dialog with controls of its own kind (a delay editor, a list field)
// derives and answers for them first.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

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

  void SetNumber(ControlName control, double value) override;
  void SetRange(ControlName control, double minimum, double maximum) override;
  void SetText(ControlName control, const std::string& text) override;
  std::string Text(ControlName control) const override;
  void SetChecked(ControlName control, bool checked) override;
  bool Checked(ControlName control) const override;
  void SetIndex(ControlName control, int32_t index) override;
  int32_t Index(ControlName control) const override;
  // A standard list cannot grey an item: one not offered is left out, and
  // the indices are counted over every item all the same.
  void SetItems(ControlName control, const std::vector<ListItem>& items) override;
  void SetVisible(ControlName control, bool visible) override;
  void SetEnabled(ControlName control, bool enabled) override;
  void SetHint(ControlName control, const std::string& hint) override;
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
  std::map<int, std::vector<int32_t>> listed_;  // by list id: the item each line stands for
};
