// The generator dialog's presenter: the pages a block type offers, the
// record <-> controls, the rules that run when a value changes (periods,
// lengths, the random ranges), the preview, the formula check, help and the
// record OK hands back, written once for both front ends.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DialogHooks.h"
#include "DialogView.h"
#include "GeneratorDialogLogic.h"

// What the generator dialog asks of its front end beyond the common view
// (a front end's view class derives from both).
class GeneratorView {
 public:
  virtual ~GeneratorView() = default;
  // The page shown, by page index.
  virtual void SetPage(int32_t page) = 0;
  // A time editor: its whole time in "ps", and the number in the unit shown.
  struct DelayState {
    bool empty = false;
    int64_t delay = 0;
    int64_t number = 0;
  };
  virtual DelayState Delay(ControlName control) const = 0;
  // A whole time, shown in the largest unit that shows it exactly.
  virtual void SetDelay(ControlName control, int64_t delay) = 0;
  // A number in the unit shown.
  virtual void SetDelayNumber(ControlName control, int64_t number) = 0;
  // A spin box's number as typed; nothing while its text is empty or
  // unfinished.
  virtual std::optional<double> Typed(ControlName control) const = 0;
  virtual void ShowPreview(const std::vector<int64_t>& points, int32_t length) = 0;
};

// The record's formula is 8-bit text in the system's encoding; the view's
// texts are UTF-8.
struct FormulaCodec {
  // Nothing when a character has no form there.
  std::function<std::optional<std::string>(const std::string& text)> toLocal;
  std::function<std::string(const std::string& local)> fromLocal;
};
// ISO 8859-1, the Qt module's formula encoding.
FormulaCodec Latin1FormulaCodec();

class GeneratorPresenter {
 public:
  GeneratorPresenter(DialogView& view, GeneratorView& pages, const DialogHooks& hooks, FormulaCodec codec);

  // The block type: which pages are offered and where the dialog opens.
  void SetType(const std::string& typeName);
  void SetLanguage(const std::string& language) { russian_ = IsRussianLanguage(language); }
  bool Russian() const { return russian_; }
  bool Offered(int32_t page) const;
  bool AllPages() const { return setup_.allPages; }
  // The controls exist: the window list holds the block's own window types.
  void Start();
  // The stored record (296 bytes) or the defaults into the controls.
  void Open(const std::vector<uint8_t>& stored);
  // When first shown: the page of the record's kind, the preview, and the
  // record the controls show then.
  void Activate();

  // The events, from the controls.
  void PageSelected(int32_t page);
  void RadioClicked() { PageChanged(); }
  void WindowTypeChanged();
  void ValueChanged(std::string_view control);
  // An up or down button of a real spin whose toolkit does not step it.
  void NumberStepped(std::string_view control, bool up);
  void DrawPreview();
  void CheckFormula();
  void ShowHelp(const std::string& directory) const;
  // OK: false (after a message) when the formula cannot be stored or a
  // number field holds no finite number.
  bool Ok();
  // The record OK hands back.
  std::vector<uint8_t> Result();
  // The position OK hands back: only when the user moved the dialog.
  std::optional<ScreenPoint> StoredPosition(ScreenPoint shownAt, ScreenPoint closedAt) const {
    return PositionToStore(PositionKept::WhenMoved, shownAt, closedAt);
  }

  // A spin box's last number.
  double Value(std::string_view control) const;
  int32_t PageCode() const { return pageCode_; }
  int32_t Page() const { return page_; }
  int32_t PreviewLength() const { return previewLength_; }
  bool Activated() const { return activated_; }
  // The record the controls describe now.
  GeneratorParams ReadRecord();

 private:
  void PageChanged();
  // The Wind_type choice as a window type (item i is kind 11 + i).
  int32_t WindowType() const;
  void ShowValues(const GeneratorValues& values);
  void RangeRules(std::string_view control);
  void SetRange(size_t index, double minimum, double maximum);
  void SetQuietly(size_t index, double value);
  std::string FormulaBytes(bool* storable);

  DialogView& view_;
  GeneratorView& pages_;
  const DialogHooks& hooks_;
  FormulaCodec codec_;
  GeneratorPageSetup setup_;
  int32_t pageCode_ = kPageCodeFromRecord;
  int32_t page_ = -1;
  int32_t lastPage_ = -1;
  int32_t previewLength_ = 1024;
  bool russian_ = false;
  bool activated_ = false;
  bool loading_ = false;
  std::vector<uint8_t> stored_;           // the stored record as it came
  std::optional<GeneratorParams> shown_;  // the controls' record when first shown
  GeneratorValues values_;                // the spins' last numbers
  std::vector<std::pair<double, double>> ranges_;
};
