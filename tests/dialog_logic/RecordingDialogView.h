// A dialog view without a toolkit: every control is a named slot, and the
// messages a presenter shows are kept in order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialogs/logic/DialogView.h"

class RecordingDialogView : public DialogView {
 public:
  void SetNumber(std::string_view control, double value) override { numbers[Key(control)] = value; }
  void SetRange(std::string_view control, double minimum, double maximum) override {
    ranges[Key(control)] = {minimum, maximum};
  }
  void SetText(std::string_view control, const std::string& text) override { texts[Key(control)] = text; }
  std::string Text(std::string_view control) const override { return Get(texts, control); }
  void SetChecked(std::string_view control, bool checked) override { checks[Key(control)] = checked; }
  bool Checked(std::string_view control) const override { return Get(checks, control); }
  void SetIndex(std::string_view control, int32_t index) override { indices[Key(control)] = index; }
  int32_t Index(std::string_view control) const override {
    const auto it = indices.find(Key(control));
    return it == indices.end() ? -1 : it->second;
  }
  void SetVisible(std::string_view control, bool visible) override { visibles[Key(control)] = visible; }
  void SetEnabled(std::string_view control, bool enabled) override { enableds[Key(control)] = enabled; }
  void SetHint(std::string_view control, const std::string& hint) override { hints[Key(control)] = hint; }
  void ShowMessage(const std::string& text, MessageKind) override { messages.push_back(text); }

  std::map<std::string, double> numbers;
  std::map<std::string, std::pair<double, double>> ranges;
  std::map<std::string, std::string> texts;
  std::map<std::string, bool> checks;
  std::map<std::string, int32_t> indices;
  std::map<std::string, bool> visibles, enableds;
  std::map<std::string, std::string> hints;
  std::vector<std::string> messages;

 private:
  static std::string Key(std::string_view control) { return std::string(control); }
  template <typename T>
  static T Get(const std::map<std::string, T>& slots, std::string_view control) {
    const auto it = slots.find(Key(control));
    return it == slots.end() ? T{} : it->second;
  }
};
