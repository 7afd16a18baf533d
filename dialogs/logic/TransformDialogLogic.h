// What the transform dialog decides, free of any toolkit: the tree of kinds
// and its pruning, the page of each kind, every control's range and design
// value, the record <-> controls mappings of the transform and filter
// records, the limits that follow the signal length, the FFT flag word and
// the captions. The Qt dialog and the Win32 dialog both build on it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "DialogLanguage.h"
#include "TransformDialogLayout.h"
#include "framework/CatalogueCodes.h"
#include "numeric/ParameterRecords.h"
#include "numeric/RecordSchema.h"

// ---- Tree of kinds -------------------------------------------------------

// One item of the tree: a group (top level) or a kind under the group above
// it. The code is the dialog code; a negative code marks a disabled kind.
struct KindItem {
  const char* caption;
  int32_t code;
  bool child;
};
std::span<const KindItem> KindTree();

// The items a block keeps, in tree order. A group block (`groupMode`) keeps
// its own group `group` with its non-negative kinds; a single-kind block its
// group item and its own item. A deleted group takes its kinds with it.
std::vector<KindItem> PruneKindTree(int32_t dialogCode, bool groupMode, int32_t group);
// Index of the last item of `items` with this code, -1 when none.
int32_t SelectedKindIndex(const std::vector<KindItem>& items, int32_t dialogCode);
// Below 20 (a group block) every item opens expanded.
inline bool ExpandAllKinds(int32_t dialogCode) { return dialogCode < 20; }

// ---- Pages ---------------------------------------------------------------

// Page captions in the order the notebook holds them.
std::span<const char* const> TransformPages();
// The page a kind shows: "None" for other codes of 0 or more, "Disabled"
// for negative ones.
const char* PageOfCode(int32_t dialogCode);

// What selecting a kind does besides showing its page.
struct KindSelection {
  const char* page = "None";
  std::optional<double> threshMinimum;     // Thresh 0, Inverse Thresh 1
  std::optional<bool> threshRelOpEnabled;  // Inverse Thresh has no operator
  std::optional<bool> iirDelayShown;       // high-level IIR keeps no delay line
  bool adaptiveShown = false;              // LMSS_isAdaptB for the low-level LMS kinds
  bool formulaShown = true;                // LMSS_Formula and Result_label
  std::optional<uint32_t> flagEnableSet;   // bit n: number n is in the enable set
  bool snapsSamplingFactor = false;        // the sampling kinds re-run the factor rule
  bool previewEnabled = false;             // single kinds (codes above 20)
  int32_t helpContext = 0;                 // 10000 + 10 x code
};
KindSelection SelectKind(int32_t dialogCode);

// ---- Controls: ranges, design values, texts -------------------------------

// A number control: its range, step, design value and shown decimals (0
// for an integer control).
struct NumberControl {
  const char* name;
  double minimum;
  double maximum;
  double step;
  double value;
  int32_t decimals;
};
std::span<const NumberControl> TransformNumberControls();
// The control of this name; nullptr when there is none.
const NumberControl* FindNumberControl(std::string_view name);
// `value` as the control shows it: rounded to its decimals, then limited
// to [minimum, maximum] (the control's own minimum and maximum when absent).
double FitNumber(const NumberControl& control, double value, std::optional<double> minimum = std::nullopt,
                 std::optional<double> maximum = std::nullopt);
int32_t FitInteger(std::string_view name, double value, std::optional<double> minimum = std::nullopt,
                   std::optional<double> maximum = std::nullopt);

// Design texts of the list and formula fields.
struct TextControl {
  const char* name;
  const char* text;
};
std::span<const TextControl> TransformTextControls();
const char* DesignTextOf(std::string_view name);

// Drop-down lists.
struct ComboControl {
  const char* name;
  std::span<const char* const> items;
  int32_t selected;
  // The value each item stands for in the record; none: the item's index.
  std::span<const int32_t> values = {};
};
std::span<const ComboControl> TransformComboControls();
const ComboControl* FindComboControl(std::string_view name);
// The value the item at `index` stands for; without an item chosen, the
// last item's ("NSP_LT" 0, "NSP_AutoUnBiased" 2).
int32_t ComboValue(const ComboControl& combo, int32_t index);
// The item that stands for `value`, -1 for none.
int32_t ComboItemOf(const ComboControl& combo, int32_t value);

// Hints (tool tips).
extern const char* const kBitRevOrderHint;
extern const char* const kThreshParamHint;
// Thresh_RelOp: "NSP_GT" stands for 1 (an upper bound), "NSP_LT" for 0.
const char* ThreshRelOpHint(int32_t tag);
// Auto-correlation types as the record stores them: the corrType items.
enum CorrType : int32_t { kCorrAutoNormal = 0, kCorrAutoBiased = 1, kCorrAutoUnbiased = 2 };
const char* CorrTypeHint(int32_t type);

// Captions: the dialog's own (under the name "TransformsOpt") and those of
// the controls that change with the language, then those with one text.
extern const Caption kTransformDialogCaption;
std::span<const Caption> TransformCaptions();
std::span<const Caption> TransformFixedCaptions();
// The English (design) caption of the control of this name, "" if none.
const char* TransformCaptionOf(std::string_view name);
// The two tabs of the LMS page.
extern const char* const kLmsTabs[2];

// ---- FFT flag word ---------------------------------------------------------

// The flag boxes, each with its bit of the flag word.
struct FlagBox {
  const char* name;
  int32_t value;
  bool checked;  // design state
};
std::span<const FlagBox> FftFlagBoxes();
constexpr int32_t kFlagForward = 1, kFlagInverse = 2, kFlagInit = 4, kFlagNoScale = 8, kFlagNoBitRev = 16,
                  kFlagInBitRev = 32, kFlagOutBitRev = 64, kFlagOutRcPack = 128, kFlagOutRcPerm = 256,
                  kFlagInRcPack = 512, kFlagInRcPerm = 1024;
// The checked boxes of the design state: Forward, Out RCPack, In RCPack.
int32_t DesignFlagBoxes();
// The boxes an enable set enables (as a mask of their values). 0 enables
// Forward and Inverse, but 1 decides them again, so a set without 1 leaves
// them disabled; 2 the bit-reversal boxes; 3 the "Out" pack boxes; 4 the
// "In" pack boxes.
int32_t EnabledFlagBoxes(uint32_t enableSet);
uint32_t EnableSetOf(std::initializer_list<int> numbers);
// A box counts only when it is both enabled and checked.
inline int32_t ComposeFlags(int32_t checked, int32_t enabled) { return checked & enabled; }
// The checked boxes after the user clicked `box` (whose own state in
// `checked` is already the new one): one direction of Forward, Initialize
// and Inverse; a bit-reversal box checked clears the ones it excludes; the
// pack boxes of each side are a pair of which the clicked one is checked.
int32_t FlagBoxesAfterClick(int32_t checked, int32_t box);

// ---- Limits that follow other controls -------------------------------------

// The down-sampling factor snaps to a divisor of the signal length, upward
// when it grew from `previous`, downward else; up-sampling takes any factor.
// Both stop at the signal length.
int32_t SnapSamplingFactor(int32_t value, int32_t previous, int32_t signalLength, bool upSample);
// The phase stays below the factor.
int32_t LimitSamplingPhase(int32_t phase, int32_t factor);
// At most the number of halvings of the signal length before it is odd, at
// least 1.
int32_t LimitBitReverseOrder(int32_t order, int32_t signalLength);
// Maximum of a phase control: factor - 1.
inline int32_t PhaseMaximum(int32_t factor) { return factor > 1 ? factor - 1 : 0; }
// A FIR down factor may lower Num_Points to signal length / factor.
std::optional<int32_t> NumPointsForDownFactor(int32_t numPoints, int32_t signalLength, int32_t factor);
// FIR down factor maximum on activation (signal length / 3) and after a
// Num_Points change of the FIR kinds (Num_Points maximum / signal length).
int32_t FirDownFactorMaximum(int32_t signalLength);
int32_t FirDownFactorMaximumForLength(int32_t signalLength);
inline bool IsFirDialogCode(int32_t dialogCode) {
  return dialogCode == DialogCodeOfCatalogueCode(ccHighLevelFir) ||
         dialogCode == DialogCodeOfCatalogueCode(ccLowLevelFir);
}
// A kind code a record can hold: negative codes are stored as 5.
inline int32_t StoredDialogCode(int32_t code) { return code < 0 ? 5 : code; }

// ---- Record <-> controls -----------------------------------------------------

// How a bound control holds its record field's value.
enum class BoundAs : uint8_t {
  Number,  // a number control; an integer field takes its value as the control rounds it
  Item,    // a drop-down list: the value the chosen item stands for
  Check,   // a check box: 1 when checked
  Text,    // a formula field: the record's counted text
  List,    // a coefficient list: the working record's entries and count, shown as a brace list
};

// A control and the record field it shows and fills; both bear one name.
// The table of them is the dialog's whole record <-> controls mapping, read
// one way when a stored record is shown and the other way on OK.
struct ControlBinding {
  RecordKind record;
  size_t field;  // in the record schema
  BoundAs as;
  // The control's change rule runs as a stored record is shown (the limits
  // that follow it); otherwise the value is only shown.
  bool rulesWhenShown;
  // A phase: shown below this factor (a control of the same record).
  const char* phaseOf;

  const RecordField& Field() const;
  ControlName Control() const { return ControlName(Field().name); }
};
// In the order the controls are set: a factor before its phase.
std::span<const ControlBinding> TransformBindings();

// Whether the signal length is shown for a transform record of this kind:
// not for the arithmetic and filter groups.
bool ShowsSignalLength(int32_t group);
// The user function is lower-cased for "Any Func" (33), the basis function
// for the user transforms (80, 81).
bool LowerCasesFormula(std::string_view control, int32_t dialogCode);

// The kind a group block preselects from its stored record: the record's
// kind when it lies in the block's group (transform), any stored kind
// (filter, 5 when negative).
int32_t PreselectedTransformCode(int32_t dialogCode, int32_t recordGroup, int32_t recordCatalogueCode);
int32_t PreselectedFilterCode(int32_t recordCatalogueCode);

// The block type of a type name: cut before its first "_"
// ("Arithmetic_Group" becomes "Arithmetic").
std::string TransformTypeOf(const std::string& typeName);
// The stored data: 552 bytes are a transform record, 2024 a filter record,
// and either is kept as `stored`; data of any other size is ignored and the
// records keep what they hold (their defaults).
void ReadStoredRecord(const std::vector<uint8_t>& data, std::vector<uint8_t>& stored, TransformParams& transform,
                      FilterParams& filter);
std::vector<uint8_t> RecordBytes(const TransformParams& record);
std::vector<uint8_t> RecordBytes(const FilterParams& record);

// OK without a change hands the stored record back byte for byte: `now`
// equal to `shown` (the controls' record when first shown) gives `stored`.
std::vector<uint8_t> ResultRecord(const std::vector<uint8_t>& stored, const std::vector<uint8_t>& shown,
                                  std::vector<uint8_t> now);
// The first bound field of a stored record that holds no finite number
// ("Win_Alpha", "FIRS_Taps[1]"); nothing when every one does. Lists count
// up to their stored counts, limited to the lists.
std::optional<std::string> NonFiniteField(RecordKind record, const std::vector<uint8_t>& bytes);

// ---- Coefficient lists of the records ---------------------------------------

enum class CoefficientList { ConvTaps, FirTaps, FirDelay, IirTaps, IirDelay, LmsTaps, LmsDelay };
struct ListField {
  const char* name;  // the field that shows it
  CoefficientList list;
};
std::optional<CoefficientList> ListOfField(std::string_view name);

// Entries and shared count of a list in the working records.
float* ListEntries(CoefficientList list, TransformParams& transform, FilterParams& filter);
int32_t& ListCount(CoefficientList list, TransformParams& transform, FilterParams& filter);

// How the table editor is opened for a list: the entries shown (the FIR
// delay line is shorter than its taps) and the fewest columns it accepts.
struct ListEditPlan {
  int32_t shown = 0;
  int32_t minimumColumns = 1;
};
ListEditPlan PlanListEdit(CoefficientList list, const TransformParams& transform, const FilterParams& filter,
                          bool iirBiquads, int32_t firUpFactor);
// After the editor: `read` entries came back (already stored into the
// list). The count a taps list shares with its delay line follows; only a
// changed length of the FIR delay line changes the FIR count, mapped back
// to taps, so opening it and pressing OK keeps every tap.
void FinishListEdit(CoefficientList list, TransformParams& transform, FilterParams& filter, const ListEditPlan& plan,
                    int32_t read, int32_t firUpFactor);
