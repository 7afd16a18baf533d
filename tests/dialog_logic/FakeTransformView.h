// The transform presenter's view in tests: the recording view with the
// toolkit's echo, and a dialog opened over stored data.
#pragma once

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "RecordingDialogView.h"
#include "dialogs/logic/TransformDialogPresenter.h"
#include "framework/BlockCatalogue.h"

// The recording view with the toolkit's echo: a set number or check comes
// back as an event.
class FakeView : public RecordingDialogView, public TransformDialogView {
 public:
  TransformDialogPresenter* presenter = nullptr;
  std::vector<std::string> tableCells = {"1", "2"};
  int32_t tableShown = -1;

  void SetNumber(ControlName c, double v) override {
    RecordingDialogView::SetNumber(c, v);
    if (presenter != nullptr) presenter->NumberEdited(c, v);  // the echo
  }
  void SetChecked(ControlName c, bool on) override {
    RecordingDialogView::SetChecked(c, on);
    if (presenter != nullptr) presenter->Clicked(c);  // the echo
  }
  // A list nothing was chosen in reads as its first item.
  int32_t Index(ControlName c) const override {
    const auto it = indices.find(std::string(c));
    return it == indices.end() ? 0 : it->second;
  }

  void ShowKindTree(const std::vector<KindItem>&, int32_t, bool) override {}
  std::vector<std::string> EditTable(const float*, int32_t shown, int32_t) override {
    tableShown = shown;
    return tableCells;
  }
  std::optional<std::string> RecordText(ControlName c) const override {
    const std::string text = Text(c);
    if (text.find('\x80') != std::string::npos) return std::nullopt;  // stands for a character the coding lacks
    return text;
  }
  void SetRecordText(ControlName c, const std::string& t) override { texts[std::string(c)] = t; }
};

inline DialogHooks CatalogueHooks() {
  DialogHooks h;
  h.dialogCodeOf = [](const std::string& name) { return DialogCodeOf(name); };
  h.groupOfCode = GroupOfCode;
  h.isFilterCode = IsFilterCode;
  return h;
}

template <class Record>
Record FromBytes(const std::vector<uint8_t>& bytes) {
  alignas(8) Record record{};
  std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
  return record;
}

// A dialog of a block type opened over the stored data, shown.
struct Opened {
  FakeView view;
  TransformDialogPresenter presenter{view, view, CatalogueHooks()};
  explicit Opened(const std::string& type, const std::vector<uint8_t>& data = {}, const std::string& language = "") {
    view.presenter = &presenter;
    presenter.Start();
    presenter.LoadType(type);
    presenter.LoadSettings(language, data);
    presenter.Activate();
  }
};
