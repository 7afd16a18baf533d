// The transform dialog's behaviour, once for the Qt and the Win32 dialog:
// its state, every event rule and the record it hands back. It talks to the
// controls by name through a DialogView, and through a TransformDialogView
// to what only this dialog has (the tree of kinds, the table editor, the
// 8-bit texts of the records).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DialogHooks.h"
#include "DialogView.h"
#include "TransformDialogLogic.h"
#include "framework/interface/DialogModule.h"
#include "numeric/ParameterRecords.h"

class TransformDialogView {
 public:
  virtual ~TransformDialogView() = default;
  // The tree holds `items`, each child under the group above it; the item
  // at `selected` (-1 for none) is current; `expandAll` opens every group.
  virtual void ShowKindTree(const std::vector<KindItem>& items, int32_t selected, bool expandAll) = 0;
  // Runs the table editor on the first `shown` entries with at least
  // `minimumColumns` columns; gives back the cells of its entry row as typed,
  // one per column.
  virtual std::vector<std::string> EditTable(const float* entries, int32_t shown, int32_t minimumColumns) = 0;
  // A formula field's text in the records' 8-bit coding; nullopt when the
  // text holds a character that coding cannot store.
  virtual std::optional<std::string> RecordText(ControlName control) const = 0;
  virtual void SetRecordText(ControlName control, const std::string& text) = 0;
};

class TransformDialogPresenter {
 public:
  TransformDialogPresenter(DialogView& view, TransformDialogView& special, DialogHooks hooks);

  // Sets every control to its design state; run once the controls exist.
  void Start();
  // The block type first: an unknown name says so before anything is read.
  void LoadType(const std::string& typeName);
  // Language and stored record, then the tree of kinds.
  void LoadSettings(const std::string& language, const std::vector<uint8_t>& data);
  // The dialog is shown: the limits that follow the signal length; the
  // first time, the record the controls hold then (OK without a change
  // hands the stored record back).
  void Activate();

  // Events of the controls; ignored while the presenter sets controls itself.
  void KindSelected(int32_t code);
  void NumberEdited(std::string_view name, double value);
  // Text typed into a number field, taken when the field is left; text that
  // is not a number shows the value again.
  // False when the text reads as NaN or infinity: refused with a message.
  bool NumberTyped(std::string_view name, const std::string& text);
  void NumberStepped(std::string_view name, bool up);
  void Clicked(std::string_view name);
  void ComboChanged(std::string_view name);

  // OK: false (after a message) when a text cannot be stored or a list
  // holds an entry that is not a number.
  bool Accept();
  const std::vector<uint8_t>& Result() const { return result_; }
  // The position OK hands back: always, moved or not.
  std::optional<ScreenPoint> StoredPosition(ScreenPoint, ScreenPoint closedAt) const {
    return PositionToStore(PositionKept::Always, closedAt, closedAt);
  }
  // The record the controls describe now, as OK would build it.
  std::vector<uint8_t> ControlsRecord() { return ControlsToBytes(); }

  int32_t ComposeFlags();
  void EnableFlagBoxes(uint32_t set);

  int32_t DialogCode() const { return code_; }
  bool GroupMode() const { return groupMode_; }
  int32_t SignalLength() const { return signalLength_; }
  int32_t HelpContext() const { return helpContext_; }
  const char* Page() const { return page_; }
  double Number(std::string_view name) const;
  const TransformParams& WorkingTransform() const { return transform_; }
  const FilterParams& WorkingFilter() const { return filter_; }

 private:
  struct NumberState {
    const NumberControl* control;
    double minimum, maximum, value;
  };
  // Counts the presenter's own writes to the view, whose echoes it ignores.
  struct Writing {
    explicit Writing(int& depth) : depth_(depth) { ++depth_; }
    ~Writing() { --depth_; }
    int& depth_;
  };

  NumberState& State(std::string_view name);
  const NumberState& State(std::string_view name) const;
  void SetValue(std::string_view name, double value, bool notify = true);
  void SetRange(std::string_view name, std::optional<double> minimum, std::optional<double> maximum);
  void ValueChanged(std::string_view name);
  int32_t Int(std::string_view name) const { return static_cast<int32_t>(Number(name)); }
  void SamplFactorChange();
  void SamplPhaseChange();
  void ItemChosen(std::string_view name);
  void CheckRule(std::string_view name);
  int32_t CheckedFlags() const;
  void SetFlags(int32_t checked);
  void Select(int32_t code);
  void SetupTree();
  void EditList(CoefficientList list, ControlName field);
  bool IsFilter() const;
  bool SaysNotANumber(const std::optional<std::string>& field);
  void ShowTransform();
  void ShowFilter(const FilterParams& record);
  // The bound controls of one record, one way or the other.
  void ShowBound(RecordKind record, const std::vector<uint8_t>& bytes);
  void ShowBinding(const ControlBinding& binding, const std::vector<uint8_t>& bytes);
  void StoreBound(RecordKind record, std::vector<uint8_t>& bytes);
  std::vector<uint8_t> ControlsToBytes();

  DialogView& view_;
  TransformDialogView& special_;
  DialogHooks hooks_;
  int writing_ = 0;
  std::map<std::string, NumberState, std::less<>> numbers_;
  int32_t code_ = kRirUnknownDialogCode;
  bool groupMode_ = false;
  bool russian_ = false;
  int32_t signalLength_ = 102;
  int32_t previousFactor_ = 2;
  // What each drop-down list stores: its chosen item's value, or a stored
  // value no item stands for until the user chooses.
  std::map<std::string, int32_t, std::less<>> itemValues_;
  int32_t helpContext_ = 0;
  int32_t flagsEnabled_ = 0;
  const char* page_ = "None";
  bool snapped_ = false;
  std::vector<uint8_t> original_, shown_, result_;
  // Aligned so that the packed records' fields sit on their natural bounds.
  alignas(8) TransformParams source_{};
  alignas(8) TransformParams transform_{};
  alignas(8) FilterParams filter_{};
};
