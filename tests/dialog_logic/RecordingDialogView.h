// A dialog view without a toolkit: every control is a named slot, and the
// messages a presenter shows are kept in order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialogs/logic/DialogView.h"

class RecordingDialogView : public DialogView {
 public:
  void SetNumber(ControlName control, double value) override { numbers[Key(control)] = value; }
  void SetRange(ControlName control, double minimum, double maximum) override {
    ranges[Key(control)] = {minimum, maximum};
  }
  void SetText(ControlName control, const std::string& text) override { texts[Key(control)] = text; }
  std::string Text(ControlName control) const override { return Get(texts, control); }
  void SetChecked(ControlName control, bool checked) override { checks[Key(control)] = checked; }
  bool Checked(ControlName control) const override { return Get(checks, control); }
  void SetIndex(ControlName control, int32_t index) override { indices[Key(control)] = index; }
  int32_t Index(ControlName control) const override {
    const auto it = indices.find(Key(control));
    return it == indices.end() ? -1 : it->second;
  }
  void SetItems(ControlName control, const std::vector<ListItem>& list) override { items[Key(control)] = list; }
  void SetVisible(ControlName control, bool visible) override { visibles[Key(control)] = visible; }
  void SetEnabled(ControlName control, bool enabled) override { enableds[Key(control)] = enabled; }
  void SetHint(ControlName control, const std::string& hint) override { hints[Key(control)] = hint; }
  void ShowMessage(const std::string& text, MessageKind) override { messages.push_back(text); }

  std::map<std::string, double> numbers;
  std::map<std::string, std::pair<double, double>> ranges;
  std::map<std::string, std::string> texts;
  std::map<std::string, bool> checks;
  std::map<std::string, int32_t> indices;
  std::map<std::string, std::vector<ListItem>> items;
  std::map<std::string, bool> visibles, enableds;
  std::map<std::string, std::string> hints;
  std::vector<std::string> messages;

 private:
  static std::string Key(ControlName control) { return std::string(control); }
  template <typename T>
  static T Get(const std::map<std::string, T>& slots, ControlName control) {
    const auto it = slots.find(Key(control));
    return it == slots.end() ? T{} : it->second;
  }
};
